#include <vc/uisketch.h>

#include <gtest/gtest.h>


#include <vc/core/archive.h>

namespace {

std::vector<unsigned char> bytesOf(const vcUISketch& s) {
  return std::vector<unsigned char>(s.data(), s.data() + s.size());
}

vcUISketch sketchOf(std::initializer_list<unsigned char> bytes) {
  vcUISketch s;
  s.append(std::data(bytes), static_cast<long>(bytes.size()));
  return s;
}

}  // namespace

TEST(UISketch, GrowthRuleDoublesOrFitsExactly) {
  vcUISketch s;
  EXPECT_TRUE(s.isNull());
  EXPECT_EQ(s.capacity(), 0);
  EXPECT_EQ(s.mark(), vcUISketchMark());
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
}

TEST(UISketch, PropsRecordOnlyWhenPropsChange) {
  vcUISketch s;
  s.opcode(40, vcGraphicProps());
  EXPECT_EQ(s.size(), 0);
  vcGraphicProps red(vcColor::redColor(), 1);
  s.opcode(40, red);
  EXPECT_EQ(s.size(), 22);
  EXPECT_EQ(s.data()[0], 40);
  EXPECT_EQ(s.data()[1], 0);
  s.opcode(40, red);
  EXPECT_EQ(s.size(), 22);
  // After erase the current props are the defaults again.
  s.erase();
  s.opcode(40, vcGraphicProps());
  EXPECT_EQ(s.size(), 0);
  s.opcode(40, red);
  EXPECT_EQ(s.size(), 22);
  EXPECT_EQ(s.capacity(), 22);
}

TEST(UISketch, CutJoinInsertRemove) {
  vcUISketch a = sketchOf({1, 2, 3});
  vcUISketch b = sketchOf({4, 5});
  vcUISketch sum = a + b;
  EXPECT_EQ(bytesOf(sum), (std::vector<unsigned char>{1, 2, 3, 4, 5}));
  EXPECT_EQ(sum.capacity(), 5);
  EXPECT_EQ(bytesOf(a), (std::vector<unsigned char>{1, 2, 3}));

  vcUISketch front = a;
  front.insert(b, vcUISketchMark());
  EXPECT_EQ(bytesOf(front), (std::vector<unsigned char>{4, 5, 1, 2, 3}));
  vcUISketch back = a;
  back.insert(b, back.mark());
  vcUISketch appended = a;
  appended += b;
  EXPECT_EQ(bytesOf(back), bytesOf(appended));

  vcUISketch self = a;
  self.insert(self, vcUISketchMark());
  EXPECT_EQ(bytesOf(self), (std::vector<unsigned char>{1, 2, 3, 1, 2, 3}));
  self += self;
  EXPECT_EQ(self.size(), 12);

  vcUISketch cut = sum;
  vcUISketch piece = cut.subSketch(a.mark() /* 3 */, sum.mark() /* 5 */);
  EXPECT_EQ(bytesOf(piece), (std::vector<unsigned char>{4, 5}));
  EXPECT_EQ(piece.capacity(), 2);
  EXPECT_TRUE(cut.subSketch(sum.mark(), a.mark()).isNull());
  cut.remove(a.mark(), a.mark());
  EXPECT_EQ(cut.size(), 5);
  cut.remove(a.mark(), cut.mark());
  EXPECT_EQ(bytesOf(cut), bytesOf(a));
}

TEST(UISketch, MarksOutsideTheSketchAreRejected) {
  vcUISketch small = sketchOf({1});
  vcUISketch big = sketchOf({1, 2, 3, 4});
  EXPECT_THROW(small.insert(big, big.mark()), vcBadArgument);
  EXPECT_THROW(small.remove(vcUISketchMark(), big.mark()), vcBadArgument);
  EXPECT_THROW(small.subSketch(vcUISketchMark(), big.mark()), vcBadArgument);
  EXPECT_EQ(small.size(), 1);
}

TEST(UISketch, CopiesKeepBytesAndCapacityButNotProps) {
  vcUISketch s;
  s.opcode(40, vcGraphicProps(vcColor::redColor(), 1));
  s.append(10);
  vcUISketch copy(s);
  EXPECT_EQ(bytesOf(copy), bytesOf(s));
  EXPECT_EQ(copy.capacity(), s.capacity());
  // The copy's current props are the defaults, so red props are recorded again.
  copy.opcode(40, vcGraphicProps(vcColor::redColor(), 1));
  EXPECT_EQ(copy.size(), s.size() + 22);

  vcUISketch assigned;
  assigned.opcode(40, vcGraphicProps(vcColor::redColor(), 1));
  assigned = sketchOf({9});
  assigned.opcode(40, vcGraphicProps(vcColor::redColor(), 1));
  EXPECT_EQ(assigned.size(), 1);

  s.eraseAndDelete();
  EXPECT_EQ(s.capacity(), 0);
  EXPECT_EQ(s.data(), nullptr);
}

