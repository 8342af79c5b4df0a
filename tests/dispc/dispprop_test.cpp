#include <vc/dispprop.h>

#include <gtest/gtest.h>

#include <vector>

TEST(GraphicProps, DefaultsValidationEqualityAndMutationCount) {
  vcGraphicProps p;
  EXPECT_EQ(p, vcGraphicProps(vcColor::cyanColor(), 1, vcGraphicProps::ePenSolid, false));
  EXPECT_TRUE(p.arrowHead());
  EXPECT_TRUE(p.arrowHeadForward());
  EXPECT_FALSE(p.showVertex());
  EXPECT_THROW(vcGraphicProps(vcColor::redColor(), -1), vcGraphicProps::BadParams);
  p.penWidth(4);
  EXPECT_THROW(p.penWidth(-1), vcGraphicProps::BadParams);
  EXPECT_EQ(p.penWidth(), 4);

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

  vcGraphicProps m;
  m.penWidth(3);
  EXPECT_EQ(m.mutationCount(), 0u);
  m.mutationFlag(true);
  m.fill(true);
  m = vcGraphicProps();
  EXPECT_EQ(m.mutationCount(), 2u);
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
  rec[2] = rec[3] = rec[4] = rec[5] = 0xFF;
  EXPECT_THROW(vcGraphicProps::readRecord(q, rec + 1), vcGraphicProps::BadParams);
  EXPECT_EQ(q, p);
}
