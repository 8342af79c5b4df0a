#include <gtest/gtest.h>

#include <string>

#include <vc/cairo/cairoscope.h>
#include <vc/uistring.h>
#include <vc/uitablet.h>

#include "cairo/pixels.h"

// Fontconfig, which Cairo's fonts come through, keeps its configuration for
// the life of the process: not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

const vcPoint kAnchor(60.0, 40.0);

TEST(CairoText, InkLiesInsideTextRectPlacedByEveryAlignment) {
  for (std::uint32_t a = vcUIFormat::eTopLeft; a <= vcUIFormat::eBottomRight; ++a) {
    const vcUIFormat format(static_cast<vcUIFormat::Alignment>(a));
    for (bool aa : {false, true}) {
      vcCairoScope scope(vcPair<long>(120, 80));
      scope.antialias(aa);
      vcUIRect r;
      const vcUIRect extent = scope.textRect("Wjg, Qy!", kAnchor, format, r);
      EXPECT_EQ(extent, r);
      scope.draw(std::string("Wjg, Qy!"), kAnchor, vcColor::whiteColor(), vcColor::passColor(), format);
      const vcUIRect ink = vcPixels(scope).boxWhere([&](long x, long y) { return scope.argb(x, y) != kBlack; });
      ASSERT_FALSE(ink.isNull()) << a;
      EXPECT_TRUE(r.within(ink)) << "alignment " << a << " rect " << r << " ink " << ink;
      EXPECT_EQ(scope.changeRect(), ink) << a;
      // The alignment's point of the rectangle sits on the anchor's pixel.
      const long h = a % 3, v = a / 3;
      EXPECT_EQ(r.left(), 60 - (h == 1 ? r.width() / 2 : h == 2 ? r.width() : 0)) << a;
      EXPECT_EQ(r.top(), 40 - (v == 1 ? r.height() / 2 : v == 2 ? r.height() : 0)) << a;
    }
  }
}

TEST(CairoText, BackgroundFillsExactlyTheTextRect) {
  vcCairoScope scope(vcPair<long>(120, 60), vcCairoScope::eImage, vcPair<long>(30, 0));
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  const vcUIFormat format(vcUIFormat::eCenterRight);
  vcUIRect r;
  tablet.textRect("label 42", vcPoint(100, 30), format, r, vcUITablet::eImage);
  tablet.draw("label 42", vcPoint(100, 30), vcColor::redColor(), vcColor::blueColor(), format, vcUITablet::eImage);
  const vcPixels px(scope);
  EXPECT_EQ(px.boxWhere([&](long x, long y) { return px.at(x, y) != kBlack; }), r - vcPair<long>(30, 0));
  EXPECT_GT(px.count(kRed), 20);
  EXPECT_EQ(scope.changeRect(), r);
}

TEST(CairoText, FontIdIsTheTextHeightAndEmptyTextHasNoRect) {
  vcCairoScope scope(vcPair<long>(10, 10));
  vcUIRect small, large, none;
  scope.textRect("Ag", vcPoint(0, 0), vcUIFormat(10, vcUIFormat::eTopLeft), small);
  scope.textRect("Ag", vcPoint(0, 0), vcUIFormat(30, vcUIFormat::eTopLeft), large);
  EXPECT_NEAR(static_cast<double>(large.height()) / static_cast<double>(small.height()), 3.0, 0.5);
  EXPECT_TRUE(scope.textRect("", vcPoint(0, 0), vcUIFormat(), none).isNull());
}

TEST(CairoText, InvalidUtf8IsDrawnRatherThanDropped) {
  vcCairoScope scope(vcPair<long>(60, 30));
  scope.draw(std::string("caf\xE9 \xFF"), vcPoint(2, 2), vcColor::whiteColor(), vcColor::passColor(), vcUIFormat());
  EXPECT_GT(vcPixels(scope).count(kWhite), 20);
}

}  // namespace
