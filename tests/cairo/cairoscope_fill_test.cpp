#include <gtest/gtest.h>

#include <memory>

#include <vc/cairo/cairoscope.h>
#include <vc/dispprop.h>

#include "cairo/pixels.h"

namespace {

using Props = vcGraphicProps;

// A red square outline (surface pixels 5..15) with a blue bar across its inside.
void frame(vcCairoScope& scope) {
  const double o = static_cast<double>(scope.org().x());
  scope.drawStart(vcPoint(o + 5, o + 5));
  for (const vcPoint& p :
       {vcPoint(o + 15, o + 5), vcPoint(o + 15, o + 15), vcPoint(o + 5, o + 15), vcPoint(o + 5, o + 5)})
    scope.drawTo(p, Props(vcColor::redColor(), 1));
  scope.set(vcUIRect(scope.org().x() + 6, scope.org().y() + 9, 9, 2), vcColor::blueColor());
  scope.noChange();
}

TEST(CairoFill, FillToBorderStopsAtTheBorderColorOnly) {
  vcCairoScope scope(vcPair<long>(30, 30));
  frame(scope);
  scope.fill(vcPair<long>(8, 7), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillToBorder);
  const vcPixels px(scope);
  // The blue bar is no border: the whole inside turns green.
  EXPECT_EQ(px.boxOf(kGreen), vcUIRect(6, 6, 9, 9));
  EXPECT_EQ(px.count(kGreen), 81);
  EXPECT_EQ(scope.changeRect(), vcUIRect(6, 6, 9, 9));
  EXPECT_EQ(px.at(2, 2), kBlack);
}

TEST(CairoFill, FillSurfaceFillsOnlyTheSeedsConnectedRegion) {
  vcCairoScope scope(vcPair<long>(30, 30), vcCairoScope::eImage, vcPair<long>(100, 100));
  frame(scope);
  scope.fill(vcPair<long>(108, 107), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillSurface);
  const vcPixels px(scope);
  // Black above the bar only: the bar splits the inside.
  EXPECT_EQ(px.boxOf(kGreen), vcUIRect(6, 6, 9, 3));
  EXPECT_EQ(scope.changeRect(), vcUIRect(106, 106, 9, 3));
  EXPECT_EQ(px.at(8, 12), kBlack);
}

TEST(CairoFill, FillStaysInsideItsSubScope) {
  vcCairoScope scope(vcPair<long>(30, 30));
  std::unique_ptr<vcUIScope> child(scope.newChild(vcUIRect(4, 4, 10, 10), false));
  child->fill(vcPair<long>(0, 0), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillSurface);
  EXPECT_EQ(vcPixels(scope).boxOf(kGreen), vcUIRect(4, 4, 10, 10));
  child->fill(vcPair<long>(20, 0), vcColor::blueColor(), vcColor::redColor(), vcCairoScope::eFillSurface);
  EXPECT_EQ(vcPixels(scope).count(kBlue), 0);
}

}  // namespace
