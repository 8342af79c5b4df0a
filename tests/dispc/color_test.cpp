#include <vc/color.h>

#include <gtest/gtest.h>

#include <vector>

#include <vc/core/archive.h>
#include <vc/uierror.h>

TEST(Color, KindsCompareAndAnswerOnlyForWhatTheyCarry) {
  EXPECT_EQ(vcColor(255, 0, 0), vcColor::redColor());
  EXPECT_EQ(vcColor(249), vcColor::redColor());
  EXPECT_NE(vcColor(249), vcColor(255, 0, 0));
  EXPECT_NE(vcColor(0), vcColor(0, 0, 0));  // index 0 and RGB black are different kinds
  EXPECT_NE(vcColor::dkGreyColor(), vcColor::greyColor());
  EXPECT_THROW(vcColor(1, 2, 3).index(), vcUIError::NotIndexColor);
  for (auto f : {&vcColor::rgb, &vcColor::bgr, &vcColor::rgb15, &vcColor::rgb16})
    EXPECT_THROW((vcColor(7).*f)(), vcUIError::NotRGBColor);
  EXPECT_EQ(vcColor::orangeColor().rgb(), 0xFA7D32u);
  EXPECT_EQ(vcColor(7).rgbStruct(), vcRGB(0, 0, 0));
  // Packings place each channel; 5-bit green drops the low three bits.
  EXPECT_EQ(vcRGB(1, 2, 3).bgr(), 0x030201u);
  EXPECT_EQ(vcRGB(0xF8, 0, 0).rgb15(), 0x7C00u);
  EXPECT_EQ(vcRGB(0, 0x04, 0).rgb15(), 0u);
  EXPECT_EQ(vcRGB(0, 0xFC, 0).rgb16(), 0x07E0u);
  EXPECT_EQ(vcColor(0, 0, 0xF8).rgb16(), 0x1Fu);
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
