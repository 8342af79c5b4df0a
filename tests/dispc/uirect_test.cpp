// The display layer's small value types: rectangles, text formats, flag
// stacks and sketch buffers.
#include <vc/uirect.h>

#include <gtest/gtest.h>

#include <vc/core/exception.h>
#include <vc/flagstack.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>
#include <vc/uistring.h>

using P = vcPair<long>;

TEST(UIRect, EmptyIsNullAndEdgesAreExclusive) {
  EXPECT_EQ(vcUIRect(5, 5, 0, 10), vcUIRect::null);
  EXPECT_EQ(vcUIRect(P(5, 5), P(4, -1)), vcUIRect::null);
  vcUIRect r(1, 2, 3, 4);
  r.sz(P(0, 4));
  EXPECT_EQ(r, vcUIRect::null);
  r.ul(P(7, 7));  // moving a null rectangle does nothing
  EXPECT_EQ(r, vcUIRect::null);
  const vcUIRect s(0, 0, 10, 10);
  EXPECT_FALSE(s.within(P(10, 0)));
  EXPECT_FALSE(s.within(P(-1, 5)));
  EXPECT_FALSE(s.within(vcUIRect(5, 5, 6, 1)));
  // Shifted far enough, the edges pass 32 bits without wrapping.
  EXPECT_EQ(vcUIRect::inf.right(), 1073741824);
  const vcUIRect far = vcUIRect::inf + P(2000000000, 0);
  EXPECT_EQ(far.right(), 3073741824L);
  EXPECT_EQ((vcUIRect::inf | far).width(), 4147483647L);
}

TEST(UIRect, IntersectionUnionAndShifts) {
  EXPECT_EQ(vcUIRect(0, 0, 10, 10) & vcUIRect(10, 0, 5, 5), vcUIRect::null);
  EXPECT_EQ(vcUIRect(0, 0, 10, 10) & vcUIRect(4, -2, 10, 5), vcUIRect(4, 0, 6, 3));
  EXPECT_TRUE(vcUIRect::inf.nullIntersection(vcUIRect::null));
  EXPECT_FALSE(vcUIRect(0, 0, 10, 10).nullIntersection(vcUIRect(9, 9, 10, 10)));
  vcUIRect moved = vcUIRect::null;
  moved += P(3, 3);  // null but not (0, 0, 0, 0): &= leaves a null left operand alone
  moved &= vcUIRect::inf;
  EXPECT_EQ(moved.left(), 3);
  EXPECT_TRUE(moved.isNull());
  EXPECT_EQ(vcUIRect(-4, 3, 1, 1) | vcUIRect(2, -5, 2, 2), vcUIRect(-4, -5, 8, 9));
  EXPECT_EQ(vcUIRect::null | vcUIRect(3, 3, 1, 1), vcUIRect(3, 3, 1, 1));
  EXPECT_EQ(vcUIRect(1, 2, 3, 4) - P(1, 2), vcUIRect(0, 0, 3, 4));
  EXPECT_EQ(vcUIRect::null + P(4, 4), vcUIRect::null);
}

TEST(UIFormat, DefaultFontIdReachesOnlyFormatsBuiltLaterAndAlignmentIsChecked) {
  // Nothing else in the library sets the default, so the first read sees the initial value.
  ASSERT_EQ(vcUIFormat::defaultFontId(), -1);
  const vcUIFormat before(vcUIFormat::eCenter);
  vcUIFormat::defaultFontId(12);
  EXPECT_EQ(before.fontId(), -1);
  EXPECT_EQ(vcUIFormat().fontId(), 12);
  vcUIFormat::defaultFontId(-1);
  vcUIFormat f(3, vcUIFormat::eCenter);
  EXPECT_THROW(f.alignment(static_cast<vcUIFormat::Alignment>(9)), vcBadArgument);
  EXPECT_EQ(f.alignment(), vcUIFormat::eCenter);
}

TEST(UIFormat, AlignRectMovesTheNamedPointToTheAnchor) {
  const vcUIRect text(100, 50, 7, 5);
  const struct {
    vcUIFormat::Alignment a;
    vcUIRect expected;
  } cases[] = {
      {vcUIFormat::eTopLeft, {100, 50, 7, 5}},    {vcUIFormat::eTopCenter, {97, 50, 7, 5}},
      {vcUIFormat::eTopRight, {93, 50, 7, 5}},    {vcUIFormat::eCenterLeft, {100, 48, 7, 5}},
      {vcUIFormat::eCenter, {97, 48, 7, 5}},      {vcUIFormat::eCenterRight, {93, 48, 7, 5}},
      {vcUIFormat::eBottomLeft, {100, 45, 7, 5}}, {vcUIFormat::eBottomCenter, {97, 45, 7, 5}},
      {vcUIFormat::eBottomRight, {93, 45, 7, 5}},
  };
  for (const auto& c : cases) EXPECT_EQ(vcUIFormat(0, c.a).alignRect(text), c.expected) << c.a;
  // Negative anchors: halves truncate the size, not the moved coordinate.
  EXPECT_EQ(vcUIFormat(0, vcUIFormat::eCenter).alignRect(vcUIRect(-3, -4, 9, 3)), vcUIRect(-7, -5, 9, 3));
  EXPECT_EQ(vcUIFormat(0, vcUIFormat::eCenter).alignRect(vcUIRect::null), vcUIRect::null);
}

// Alternating values make a lost or shifted bit visible.
TEST(FlagStack, KeepsItsEntriesInOrderAndRefusesUnderflowOverflowAndBadIndexes) {
  vcFlagStack s(true);
  EXPECT_THROW(s.pop(), vcUIError::FlagStackUnderflow);
  for (int i = 1; i < vcFlagStack::maxDepth; ++i) s.push(i % 2 == 0);
  EXPECT_THROW(s.push(true), vcUIError::FlagStackOverflow);
  EXPECT_EQ(s.depth(), vcFlagStack::maxDepth);
  for (long i = 0; i < vcFlagStack::maxDepth; ++i) EXPECT_EQ(s[i], (31 - i) % 2 == 0) << i;
  EXPECT_THROW(s[32], vcUIError::FlagStackOutOfRange);
  EXPECT_THROW(s[-1], vcUIError::FlagStackOutOfRange);
  s = true;  // assigning sets the top only
  EXPECT_FALSE(s[2]);
  EXPECT_TRUE(s.pop());
  for (int i = vcFlagStack::maxDepth - 2; i >= 1; --i) EXPECT_EQ(s.pop(), i % 2 == 0) << i;
  EXPECT_EQ(s.depth(), 1);
  EXPECT_TRUE(s);
  EXPECT_THROW(s[1], vcUIError::FlagStackOutOfRange);
}

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const vcUISketch& s) { return Bytes(s.data(), s.data() + s.size()); }

vcUISketch sketchOf(std::initializer_list<unsigned char> bytes) {
  vcUISketch s;
  s.append(std::data(bytes), static_cast<long>(bytes.size()));
  return s;
}

}  // namespace

TEST(UISketch, GrowthDoublesOrFitsExactlyAndCopiesKeepCapacity) {
  vcUISketch s;
  EXPECT_TRUE(s.isNull());
  EXPECT_TRUE(s.subSketch(s.mark(), s.mark()).isNull());
  s.append(100);
  EXPECT_EQ(s.capacity(), 100);
  // Capacity 100 holding 90: +20 doubles, +300 fits exactly.
  vcUISketch b = s;
  b.erase();
  b.append(90);
  b.append(20);
  EXPECT_EQ(b.capacity(), 200);
  vcUISketch c = s;
  c.erase();
  c.append(90);
  c.append(300);
  EXPECT_EQ(c.capacity(), 390);
  EXPECT_EQ(c.size(), 390);
  EXPECT_THROW(c.append(-1), vcBadArgument);
  c.eraseAndDelete();
  EXPECT_EQ(c.capacity(), 0);
  EXPECT_EQ(c.data(), nullptr);
}

// A props record is written only when the props differ from the current
// ones, which start as the defaults in a new, erased or copied sketch.
TEST(UISketch, PropsRecordOnlyWhenPropsChange) {
  const vcGraphicProps red(vcColor::redColor(), 1);
  vcUISketch s;
  s.opcode(40, vcGraphicProps());
  EXPECT_EQ(s.size(), 0);
  s.opcode(40, red);
  EXPECT_EQ(s.size(), 22);
  EXPECT_EQ(s.data()[0], 40);
  s.opcode(40, red);
  EXPECT_EQ(s.size(), 22);
  vcUISketch copy(s);
  copy.opcode(40, red);
  EXPECT_EQ(copy.size(), 44);
  s.erase();
  s.opcode(40, vcGraphicProps());
  EXPECT_EQ(s.size(), 0);
  s.opcode(40, red);
  EXPECT_EQ(s.size(), 22);
}

TEST(UISketch, CutJoinInsertRemoveAndMarksOutsideAreRejected) {
  const vcUISketch a = sketchOf({1, 2, 3}), b = sketchOf({4, 5});
  const vcUISketch sum = a + b;
  EXPECT_EQ(bytesOf(sum), (Bytes{1, 2, 3, 4, 5}));
  vcUISketch front = a;
  front.insert(b, vcUISketchMark());
  EXPECT_EQ(bytesOf(front), (Bytes{4, 5, 1, 2, 3}));
  vcUISketch self = a;
  self.insert(self, vcUISketchMark());
  EXPECT_EQ(bytesOf(self), (Bytes{1, 2, 3, 1, 2, 3}));
  self += self;
  EXPECT_EQ(self.size(), 12);

  vcUISketch cut = sum;
  const vcUISketch piece = cut.subSketch(a.mark() /* 3 */, sum.mark() /* 5 */);
  EXPECT_EQ(bytesOf(piece), (Bytes{4, 5}));
  EXPECT_EQ(piece.capacity(), 2);
  EXPECT_TRUE(cut.subSketch(sum.mark(), a.mark()).isNull());
  cut.remove(a.mark(), cut.mark());
  EXPECT_EQ(bytesOf(cut), bytesOf(a));

  vcUISketch small = sketchOf({1});
  EXPECT_THROW(small.insert(sum, sum.mark()), vcBadArgument);
  EXPECT_THROW(small.remove(vcUISketchMark(), sum.mark()), vcBadArgument);
  EXPECT_EQ(small.size(), 1);
}
