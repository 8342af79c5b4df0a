#include <vc/color.h>

#include <gtest/gtest.h>

#include <vector>

#include <vc/core/archive.h>
#include <vc/dispprop.h>
#include <vc/uierror.h>

TEST(Color, KindsCompareAndAnswerOnlyForWhatTheyCarry) {
  EXPECT_EQ(vcColor(255, 0, 0), vcColor::redColor());
  EXPECT_EQ(vcColor(249), vcColor::redColor());
  EXPECT_NE(vcColor(249), vcColor(255, 0, 0));
  EXPECT_NE(vcColor(0), vcColor(0, 0, 0));  // index 0 and RGB black are different kinds
  EXPECT_THROW(vcColor(1, 2, 3).index(), vcUIError::NotIndexColor);
  for (auto f : {&vcColor::rgb, &vcColor::bgr, &vcColor::rgb15, &vcColor::rgb16})
    EXPECT_THROW((vcColor(7).*f)(), vcUIError::NotRGBColor);
  EXPECT_EQ(vcColor::orangeColor().rgb(), 0xFA7D32u);
  EXPECT_EQ(vcColor(7).rgbStruct(), vcRGB(0, 0, 0));
  // Packings place each channel; 5-bit green drops the low three bits.
  EXPECT_EQ(vcRGB(1, 2, 3).bgr(), 0x030201u);
  EXPECT_EQ(vcRGB(0xF8, 0x04, 0).rgb15(), 0x7C00u);
  EXPECT_EQ(vcRGB(0, 0xFC, 0xF8).rgb16(), 0x07FFu);
  // Ordering is by integer brightness.
  EXPECT_FALSE(vcRGB(10, 10, 10) < vcRGB(0, 0, 31));
  EXPECT_TRUE(vcRGB(10, 10, 10) < vcRGB(0, 0, 33));
}

TEST(Color, StockTableConstantsAndVgrCodesAgree) {
  const vcColor* constants[] = {&vcColor::black,  &vcColor::dkGrey, &vcColor::grey,    &vcColor::ltGrey,
                                &vcColor::white,  &vcColor::red,    &vcColor::dkRed,   &vcColor::orange,
                                &vcColor::yellow, &vcColor::green,  &vcColor::dkGreen, &vcColor::cyan,
                                &vcColor::blue,   &vcColor::purple, &vcColor::magenta, &vcColor::pass};
  for (int code = 0; code < vcColor::kNumStockColors; ++code) {
    const vcColor& c = vcColor::stockColor(code);
    EXPECT_EQ(c.flags(), 7) << code;
    EXPECT_EQ(c.index(), constants[code]->index()) << code;
    EXPECT_EQ(c.rgbStruct(), constants[code]->rgbStruct()) << code;
    EXPECT_EQ(vfColor(c), code);
    EXPECT_EQ(vfColor(code).index(), c.index());
  }
  EXPECT_EQ(vcColor::grey.rgbStruct(), vcRGB(160, 160, 164));
  EXPECT_THROW(vcColor::stockColor(16), vcBadArgument);

  EXPECT_EQ(vfColor(vcColor(1, 2, 3)), 0x01020380);
  // Red above 127 sets the sign bit of the code and must survive the round trip.
  const vgr_color bright = vfColor(vcColor(200, 100, 50));
  EXPECT_LT(bright, 0);
  EXPECT_EQ(vfColor(bright).rgbStruct(), vcRGB(200, 100, 50));
  // Codes without bit 7 outside 0..15 are black, whether positive or negative.
  for (vgr_color c : {16, 127, 0x100, -256}) {
    EXPECT_EQ(vfColor(c).flags(), 7) << c;
    EXPECT_EQ(vfColor(c).index(), 0) << c;
  }
  EXPECT_EQ(vfColor(vcColor(7)), 0x80);  // an index color has no RGB: black
  // A stock color equal to no table entry (only reachable through an archive) gives 0.
  vcBufferArchive out(vcArchive::eStore);
  out << vcColor::redColor();
  std::vector<unsigned char> bytes = out.bytes();
  bytes[2] = 9;
  vcColor odd;
  vcBufferArchive in(bytes);
  in >> odd;
  EXPECT_EQ(vfColor(odd), 0);
}

TEST(GraphicProps, DefaultsValidationEqualityAndMutationCount) {
  vcGraphicProps p;
  EXPECT_EQ(p, vcGraphicProps(vcColor::cyanColor(), 1, vcGraphicProps::ePenSolid, false));
  EXPECT_TRUE(p.arrowHead() && p.arrowHeadForward() && !p.showVertex());
  EXPECT_THROW(vcGraphicProps(vcColor::redColor(), -1), vcGraphicProps::BadParams);
  // A width beyond the 4-byte field of the props record would replay as another width.
  EXPECT_THROW(vcGraphicProps(vcColor::redColor(), 1L << 31), vcGraphicProps::BadParams);
  vcGraphicProps widest(vcColor::redColor(), vcGraphicProps::kMaxPenWidth);
  EXPECT_THROW(widest.penWidth(vcGraphicProps::kMaxPenWidth + 1), vcGraphicProps::BadParams);
  EXPECT_EQ(widest.penWidth(), 2147483647L);

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
