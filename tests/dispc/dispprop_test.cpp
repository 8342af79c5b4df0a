#include <vc/dispprop.h>

#include <gtest/gtest.h>

#include <vc/core/archive.h>
#include <vc/uisketch.h>

TEST(GraphicProps, DefaultsAndConstructorValidation) {
  vcGraphicProps p;
  EXPECT_TRUE(p.penColor() == vcColor::cyanColor());
  EXPECT_EQ(p.penWidth(), 1);
  EXPECT_EQ(p.penStyle(), 0);
  EXPECT_FALSE(p.fill());
  EXPECT_EQ(p.penJoin(), 0);
  EXPECT_EQ(p.penEndCap(), 0);
  EXPECT_TRUE(p.arrowHead());
  EXPECT_TRUE(p.arrowHeadForward());
  EXPECT_FALSE(p.showVertex());
  EXPECT_THROW(vcGraphicProps(vcColor::redColor(), -1), vcGraphicProps::BadParams);
  vcGraphicProps q(vcColor::redColor(), 0, vcGraphicProps::ePenDot, true);
  EXPECT_EQ(q.penWidth(), 0);
  EXPECT_TRUE(q.fill());
  EXPECT_TRUE(q.arrowHead());
}

TEST(GraphicProps, NegativeWidthSetterThrowsAndKeepsWidth) {
  vcGraphicProps p;
  p.penWidth(4);
  EXPECT_THROW(p.penWidth(-1), vcGraphicProps::BadParams);
  EXPECT_EQ(p.penWidth(), 4);
}

TEST(GraphicProps, EqualityLooksAtEveryField) {
  const vcGraphicProps base;
  std::vector<vcGraphicProps> changed(9, base);
  changed[0].penColor(vcColor::redColor());
  changed[1].penWidth(2);
  changed[2].penStyle(vcGraphicProps::ePenDash);
  changed[3].fill(true);
  changed[4].penJoin(vcGraphicProps::eJoinMiter);
  changed[5].penEndCap(vcGraphicProps::eCapFlat);
  changed[6].arrowHead(false);
  changed[7].arrowHeadForward(false);
  changed[8].showVertex(true);
  for (std::size_t i = 0; i < changed.size(); ++i) EXPECT_NE(changed[i], base) << "field " << i;
  // A stock color equals the RGB color with its value.
  vcGraphicProps rgb;
  rgb.penColor(vcColor(0, 255, 255));
  EXPECT_EQ(rgb, base);
}

TEST(GraphicProps, SettersNotifyOnlyWhenTheMutationFlagIsSet) {
  vcGraphicProps p;
  p.penWidth(3);
  EXPECT_EQ(p.mutationCount(), 0u);
  p.mutationFlag(true);
  p.fill(true);
  p = vcGraphicProps();
  EXPECT_EQ(p.mutationCount(), 2u);
}

TEST(GraphicProps, RecordBytesAreFixedAndReadBackExceptColor) {
  vcGraphicProps p(vcColor::redColor(), 0x01020304, vcGraphicProps::ePenDashDot, true);
  p.penJoin(vcGraphicProps::eJoinBevel);
  p.penEndCap(vcGraphicProps::eCapSquare);
  p.arrowHead(false);
  p.showVertex(true);
  unsigned char rec[21];
  vcGraphicProps::writeRecord(p, rec);
  const unsigned char expected[21] = {0, 1, 4, 3, 2, 1, 3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1};
  EXPECT_EQ(std::vector<unsigned char>(rec, rec + 21), std::vector<unsigned char>(expected, expected + 21));

  vcGraphicProps q;
  q.penColor(vcColor::blueColor());
  vcGraphicProps::readRecord(q, rec + 1);
  EXPECT_TRUE(q.penColor() == vcColor::blueColor());
  q.penColor(vcColor::redColor());
  EXPECT_EQ(q, p);

  // A negative width in a record throws and leaves the target alone.
  unsigned char bad[21];
  vcGraphicProps::writeRecord(vcGraphicProps(), bad);
  bad[2] = bad[3] = bad[4] = bad[5] = 0xFF;
  vcGraphicProps r = p;
  EXPECT_THROW(vcGraphicProps::readRecord(r, bad + 1), vcGraphicProps::BadParams);
  EXPECT_EQ(r, p);
}

