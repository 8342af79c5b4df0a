#include <vc/uistring.h>

#include <gtest/gtest.h>

#include <vector>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

TEST(UIFormat, DefaultFontIdReachesOnlyFormatsBuiltLater) {
  // Nothing else in the library sets the default, so the first read sees the initial value.
  ASSERT_EQ(vcUIFormat::defaultFontId(), -1);
  const vcUIFormat before(vcUIFormat::eCenter);
  EXPECT_EQ(before.fontId(), -1);
  EXPECT_EQ(before.alignment(), vcUIFormat::eCenter);
  vcUIFormat::defaultFontId(12);
  EXPECT_EQ(vcUIFormat::defaultFontId(), 12);
  EXPECT_EQ(before.fontId(), -1);
  EXPECT_EQ(vcUIFormat().fontId(), 12);
  EXPECT_EQ(vcUIFormat().alignment(), vcUIFormat::eTopLeft);
  vcUIFormat::defaultFontId(-1);
  EXPECT_EQ(vcUIFormat(5, vcUIFormat::eBottomLeft).fontId(), 5);
}

TEST(UIFormat, AlignRectMovesTheNamedPointToTheAnchor) {
  const vcUIRect text(100, 50, 7, 5);
  const struct {
    vcUIFormat::Alignment a;
    vcUIRect expected;
  } cases[] = {
      {vcUIFormat::eTopLeft, {100, 50, 7, 5}},     {vcUIFormat::eTopCenter, {97, 50, 7, 5}},
      {vcUIFormat::eTopRight, {93, 50, 7, 5}},     {vcUIFormat::eCenterLeft, {100, 48, 7, 5}},
      {vcUIFormat::eCenter, {97, 48, 7, 5}},       {vcUIFormat::eCenterRight, {93, 48, 7, 5}},
      {vcUIFormat::eBottomLeft, {100, 45, 7, 5}},  {vcUIFormat::eBottomCenter, {97, 45, 7, 5}},
      {vcUIFormat::eBottomRight, {93, 45, 7, 5}},
  };
  for (const auto& c : cases) EXPECT_EQ(vcUIFormat(0, c.a).alignRect(text), c.expected) << c.a;
  // Negative anchors: halves truncate the size, not the moved coordinate.
  EXPECT_EQ(vcUIFormat(0, vcUIFormat::eCenter).alignRect(vcUIRect(-3, -4, 9, 3)), vcUIRect(-7, -5, 9, 3));
  EXPECT_EQ(vcUIFormat(0, vcUIFormat::eBottomRight).alignRect(vcUIRect(-1, 0, 1, 1)), vcUIRect(-2, -1, 1, 1));
  EXPECT_EQ(vcUIFormat(0, vcUIFormat::eCenter).alignRect(vcUIRect::null), vcUIRect::null);
}

TEST(UIFormat, AlignmentOutsideTheNineIsRejected) {
  const auto bad = static_cast<vcUIFormat::Alignment>(9);
  EXPECT_THROW(vcUIFormat(0, bad), vcBadArgument);
  vcUIFormat f(3, vcUIFormat::eCenter);
  EXPECT_THROW(f.alignment(bad), vcBadArgument);
  EXPECT_EQ(f.alignment(), vcUIFormat::eCenter);
  f.alignment(vcUIFormat::eTopRight);
  f.fontId(8);
  EXPECT_EQ(f, vcUIFormat(8, vcUIFormat::eTopRight));
}

