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

TEST(UIFormat, ArchiveBytesRoundTripAndBadInput) {
  vcBufferArchive out(vcArchive::eStore);
  out << vcUIFormat(-2, vcUIFormat::eBottomCenter);
  const std::vector<unsigned char> good{0, 0xFE, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0};
  ASSERT_EQ(out.bytes(), good);
  vcUIFormat back(1, vcUIFormat::eTopLeft);
  vcBufferArchive in(good);
  in >> back;
  EXPECT_EQ(back, vcUIFormat(-2, vcUIFormat::eBottomCenter));

  const vcUIFormat before(44, vcUIFormat::eCenterRight);
  for (std::size_t n = 0; n < good.size(); ++n) {
    vcUIFormat f = before;
    vcBufferArchive cut(std::vector<unsigned char>(good.begin(), good.begin() + static_cast<long>(n)));
    EXPECT_THROW(cut >> f, vcArchive::BadData) << n;
    EXPECT_EQ(f, before);
  }
  std::vector<unsigned char> version = good;
  version[0] = 1;
  vcUIFormat f = before;
  vcBufferArchive badVersion(version);
  try {
    badVersion >> f;
    ADD_FAILURE() << "no throw for version 1";
  } catch (const vcArchive::UnknownVersion& e) {
    EXPECT_EQ(e.source(), "dispc/uistring");
    EXPECT_GT(e.line(), 0);
  }
  EXPECT_EQ(f, before);
  std::vector<unsigned char> alignment = good;
  alignment[5] = 9;
  vcBufferArchive badAlignment(alignment);
  EXPECT_THROW(badAlignment >> f, vcArchive::BadData);
  EXPECT_EQ(f, before);
}
