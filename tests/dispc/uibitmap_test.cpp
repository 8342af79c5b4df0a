#include <vc/uibitmap.h>

#include <gtest/gtest.h>

TEST(UIBitmap, DefaultIsEmptyWithoutPassValue) {
  const vcUIBitmap b;
  EXPECT_FALSE(b.isInit());
  EXPECT_TRUE(b.colorMap().empty());
  EXPECT_FALSE(b.passThrough());
  EXPECT_EQ(b.passColor(), 0);
}

TEST(UIBitmap, CopiesCarryEveryMember) {
  const vcRLEBuffer image(3, 1, {5, 2, 6, 1, 0, 0});
  vcUIBitmap b(image, {3, 2, 1}, true, 7);
  vcUIBitmap copy(b);
  EXPECT_TRUE(copy.isInit());
  EXPECT_EQ(copy.rleBuf(), image);
  EXPECT_EQ(copy.colorMap(), (std::vector<unsigned char>{3, 2, 1}));
  EXPECT_TRUE(copy.passThrough());
  EXPECT_EQ(copy.passColor(), 7);
  b.colorMap({9});
  b.passThrough(false);
  b.passColor(1);
  b.rleBuf(vcRLEBuffer());
  copy = b;
  EXPECT_FALSE(copy.isInit());
  EXPECT_EQ(copy.colorMap(), std::vector<unsigned char>{9});
  EXPECT_FALSE(copy.passThrough());
  EXPECT_EQ(copy.passColor(), 1);
}
