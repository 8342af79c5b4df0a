#include <vc/uisketch.h>

#include <gtest/gtest.h>

#include <vector>

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
  EXPECT_EQ(bytesOf(copy), bytesOf(s));
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
  EXPECT_THROW(small.subSketch(vcUISketchMark(), sum.mark()), vcBadArgument);
  EXPECT_EQ(small.size(), 1);
}
