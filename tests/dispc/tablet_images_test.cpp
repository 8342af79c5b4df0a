#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <vc/core/lineseg.h>
#include <vc/core/pel.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/uierror.h>
#include <vc/uistring.h>

#include "../../dispc/payloads.h"
#include "support/recording_scope.h"

namespace {

using V = vcVector<2>;
constexpr vcUITablet::Layers I = vcUITablet::eImage;

vcPelBuffer<unsigned char> windowedImage() {
  vcPelBuffer<unsigned char> img(4, 3);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 4; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(10 * y + x);
  img.window(vcRectangle<long>(1, 1, 3, 2));
  img.clientFromImageXform(vcXform<2>(vcMatrix<2>(2, 0, 0.5, 3), V(-1, 7)));
  return img;
}

// The text record ends at a NUL, so text is drawn and recorded up to its
// first NUL; the record is written with the default props, in the text color.
TEST(TabletImages, TextStopsAtItsFirstNulAndRecordsWithDefaultProps) {
  vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcUITablet t(&scope, nullptr);
  t.visible(true);
  t.recordOn() = true;
  t.draw(vcLineSeg(V(0, 0), V(1, 1)), vcColor(200, 0, 0), I);
  const long before = t.sketch().size();
  t.draw(std::string("ab\0cd", 5), vcPoint(2, 3), vcColor(1), vcColor(2), vcUIFormat(), I);
  EXPECT_NE(scope.log().back().text.find("\"ab\" "), std::string::npos);
  const unsigned char* rec = t.sketch().data() + before;
  ASSERT_EQ(t.sketch().size() - before, 22 + 8 + 16 + 6 + 8 + 3);
  EXPECT_EQ(rec[0], vcUISketch::kPropsMarker);
  unsigned char defaults[vcGraphicProps::kRecordSize];
  vcGraphicProps::writeRecord(vcGraphicProps(), defaults);
  EXPECT_EQ(std::vector<unsigned char>(rec + 1, rec + 22), std::vector<unsigned char>(defaults, defaults + 21));
  vc_StringPayload back;
  vfReadPayload(rec + 30, static_cast<std::size_t>(t.sketch().size() - before - 30), back);
  EXPECT_EQ(back.text, "ab");
}

// Images follow the pen when placed at drawPointArg(), and magnification
// passes the tablet's interpolation on to the scope.
TEST(TabletImages, ImagesAtThePenAndExpandedWithTheTabletsInterpolation) {
  vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcUITablet t(&scope, nullptr);
  t.visible(true);
  t.interpolation(vcUITablet::eBicubic);
  t.scaleExact(vcPair<double>(4.0, 4.0));
  t.drawStart(vcPoint(1.5, 2.5), I);
  scope.clearLog();
  t.draw(windowedImage(), vcUITablet::drawPointArg(), false, 0, false, I);
  ASSERT_EQ(scope.log().size(), 1u);
  EXPECT_EQ(scope.log()[0].op, "expand(u8)");
  EXPECT_EQ(scope.log()[0].points, std::vector<vcPoint>{vcPoint(6, 10)});
  EXPECT_EQ(scope.log()[0].ints.back(), vcUITablet::eBicubic);
}

}  // namespace

// In eSample the scope gets the tablet's stored factors unchanged: whole
// reductions when they were set with scale(), fractions with scaleExact().
// An RLE image reaches the base's RLE sample, which reads its x factor as a
// plain scale: 2.0 goes through the 8-bit form with the factors as given,
// 0.5 takes the run-length path.
TEST(TabletImages, SampleGetsTheStoredFactorsUnchanged) {
  vcPelBuffer<unsigned char> grey(8, 8);
  const vcRLEBuffer runs = vcRLEBuffer::encode(grey);
  for (const bool whole : {true, false}) {
    vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(50, 50));
    vcUITablet t(&scope, nullptr);
    t.visible(true);
    if (whole) {
      t.scaleMode(vcUITablet::eSample);
      t.scale(vcPair<long>(2, 4));
    } else {
      t.scaleExact(vcPair<double>(0.5, 0.25));
    }
    const std::vector<double> factors = whole ? std::vector<double>{2.0, 4.0} : std::vector<double>{0.5, 0.25};
    scope.clearLog();
    t.draw(grey, vcPoint(0, 0), false, 0, false, I);
    t.draw(vcPelBuffer<unsigned short>(8, 8), vcPoint(0, 0), false, 0, I);
    t.draw(vcPelBuffer<vcPackedRGB16Pel>(8, 8), vcPoint(0, 0), false, 0, I);
    t.draw(vcPelBuffer<vcPackedRGB32Pel>(8, 8), vcPoint(0, 0), false, 0, I);
    t.draw(runs, vcPoint(0, 0), std::vector<unsigned char>(256, 9), false, 0, false, I);
    const std::vector<std::string> ops{"sample(u8)", "sample(u16)", "sample(rgb16)", "sample(rgb32)",
                                       whole ? "sample(u8)" : "draw(rle)"};
    ASSERT_EQ(scope.log().size(), ops.size()) << scope.logText();
    for (std::size_t i = 0; i < ops.size(); ++i) {
      EXPECT_EQ(scope.log()[i].op, ops[i]) << whole << " " << i;
      EXPECT_EQ(scope.log()[i].reals, ops[i] == "draw(rle)" ? std::vector<double>{} : factors) << whole << " " << i;
    }
    EXPECT_EQ(vcUIScope::sampleScale(vcPair<double>(factors[0], factors[1])), vcPair<double>(0.5, 0.25));
  }
}
