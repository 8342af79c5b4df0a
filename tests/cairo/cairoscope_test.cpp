// vcCairoScope as a surface: sub-scopes and clips, set and palettes, the
// overlay layer, locks, files, flood fills and text.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <vc/cairo/cairoscope.h>
#include <vc/display.h>
#include <vc/uistring.h>

#include "cairo/pixels.h"

// Fontconfig, which Cairo's fonts come through, keeps its configuration for
// the life of the process: not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

using Props = vcGraphicProps;
using V = vcVector<2>;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const vcEllipse kHuge(V(0, 0), V(500, 500), vcRadian(0));
const Props kFilled(vcColor::whiteColor(), 1, Props::ePenSolid, true);

TEST(CairoScope, SubScopesAndClipRectsDrawNothingOutsideTheirRectangles) {
  for (bool clipOnly : {false, true}) {
    vcCairoScope root(vcPair<long>(60, 50), vcCairoScope::eImage, vcPair<long>(10, 20));
    std::unique_ptr<vcUIScope> child(root.newChild(vcUIRect(25, 30, 20, 15), clipOnly));
    child->draw(kHuge, kFilled);
    EXPECT_EQ(vcPixels(root).boxOf(kWhite), vcUIRect(15, 10, 20, 15)) << clipOnly;
    // The change is the child's whole surface, in the child's coordinates.
    EXPECT_EQ(child->changeRect(), vcUIRect(clipOnly ? 25 : 0, clipOnly ? 30 : 0, 20, 15)) << clipOnly;
  }
  // The grandchild's part above its parent is cut off: it shows (20, 0)-(30, 7) of the child.
  vcCairoScope root(vcPair<long>(60, 50));
  std::unique_ptr<vcUIScope> child(root.newChild(vcUIRect(10, 10, 30, 30), false));
  std::unique_ptr<vcUIScope> grandchild(child->newChild(vcUIRect(20, -5, 30, 12), false));
  grandchild->draw(kHuge, Props(vcColor::greenColor(), 1, Props::ePenSolid, true));
  EXPECT_EQ(vcPixels(root).boxOf(kGreen), vcUIRect(30, 10, 10, 7));
  vcCairoScope clipped(vcPair<long>(40, 40), vcCairoScope::eImage, vcPair<long>(5, 5));
  clipped.setDisplayClipRect(vcUIRect(10, 12, 8, 6));
  clipped.draw(kHuge, kFilled);
  EXPECT_EQ(vcPixels(clipped).boxOf(kWhite), vcUIRect(5, 7, 8, 6));
  EXPECT_EQ(clipped.changeRect(), vcUIRect(10, 12, 8, 6));
}

// colorMap keeps the stock colors (indices 0 and 1 are black and dark red);
// colorMapEx replaces them too; sub-scopes share the palette.
TEST(CairoScope, SetReplacesPixelsAndIndexColorsComeFromThePalette) {
  vcCairoScope scope(vcPair<long>(20, 10), vcCairoScope::eImage, vcPair<long>(-3, 0));
  scope.set(vcUIRect(-1, 2, 5, 4), vcColor(0, 0, 255));
  EXPECT_EQ(vcPixels(scope).boxOf(kBlue), vcUIRect(2, 2, 5, 4));
  EXPECT_FALSE(scope.opaque());
  scope.set(vcColor::redColor());
  EXPECT_TRUE(scope.opaque() && scope.allChanged());
  vcCairoScope p(vcPair<long>(4, 1));
  EXPECT_EQ(p.argbOf(vcColor(static_cast<unsigned char>(249))), kRed);  // red's stock index
  p.colorMap({vcRGB(1, 2, 3), vcRGB(1, 2, 3), vcRGB(1, 2, 3), vcRGB(4, 5, 6)});
  EXPECT_EQ(p.argbOf(vcColor(static_cast<unsigned char>(3))), 0xFF040506u);
  EXPECT_EQ(p.argbOf(vcColor(static_cast<unsigned char>(1))), 0xFF800000u);
  p.colorMapEx({vcRGB(1, 2, 3)});
  EXPECT_EQ(p.argbOf(vcColor::blackColor()), kBlack);
  std::unique_ptr<vcUIScope> child(p.newChild(vcUIRect(0, 0, 2, 1), false));
  child->set(vcColor(static_cast<unsigned char>(0)));
  EXPECT_EQ(p.argb(1, 0), 0xFF010203u);
  EXPECT_THROW(p.colorMap(std::vector<vcRGB>(257)), vcBadArgument);
}

TEST(CairoScope, OverlayStartsTransparentAndThePassColorClearsIt) {
  vcCairoScope image(vcPair<long>(10, 10)), overlay(vcPair<long>(10, 10), vcCairoScope::eOverlay);
  EXPECT_EQ(vcPixels(overlay).count(0), 100);
  image.set(vcColor::blueColor());
  overlay.set(vcUIRect(2, 2, 4, 4), vcColor::redColor());
  overlay.draw(vcLineSeg(V(2, 3), V(5, 3)), Props(vcColor::passColor(), 1));
  EXPECT_EQ(overlay.changeRect(), vcUIRect(2, 2, 4, 4));
  const std::unique_ptr<vcCairoScope> out = vfCairoComposite(image, overlay);
  EXPECT_EQ(out->argb(2, 2), kRed);
  EXPECT_EQ(out->argb(3, 3), kBlue);
}

TEST(CairoScope, FilesLocksAndBadArguments) {
  vcCairoScope root(vcPair<long>(30, 20));
  std::unique_ptr<vcUIScope> child(root.newChild(vcUIRect(5, 5, 7, 3), false));
  const std::string png = ::testing::TempDir() + "vccairo_child.png", svg = ::testing::TempDir() + "vccairo_v.svg";
  dynamic_cast<vcCairoScope&>(*child).writePng(png);
  const std::string bytes = slurp(png);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  EXPECT_EQ(bytes[19] * 256 + bytes[23], 7 * 256 + 3);  // IHDR width and height, big-endian
  std::remove(png.c_str());
  EXPECT_THROW(root.writePng("/nonexistent-dir/x.png"), vcCairoError);
  {
    vcCairoScope vector(svg, vcCairoScope::eSVG, vcPair<long>(100, 80));
    vector.draw(vcEllipse(V(50, 40), V(20, 10), vcRadian(0)), Props(vcColor::redColor(), 2));
    EXPECT_THROW(vector.argb(0, 0), vcCairoError);
  }
  EXPECT_NE(slurp(svg).find("<svg"), std::string::npos);
  std::remove(svg.c_str());
  root.lockScreenUpdatesPush(true);
  root.lockScreenUpdatesPush(false);
  EXPECT_FALSE(root.screenUpdatesLocked());
  EXPECT_TRUE(root.lockScreenUpdatesPop());
  EXPECT_FALSE(root.lockScreenUpdatesPop());
  EXPECT_FALSE(root.lockScreenUpdatesPop());
  EXPECT_THROW(vcCairoScope(vcPair<long>(40000, 5)), vcBadArgument);
  EXPECT_THROW(vcCairoScope(vcPair<long>(4, 4), vcUITablet::eBoth), vcBadArgument);
  EXPECT_THROW(root.argb(30, 0), vcBadArgument);
  EXPECT_THROW(root.textSize(0.0), vcBadArgument);
}

// A red square outline (surface pixels 5..15) with a blue bar across its
// inside. Fill to border passes the bar; fill surface stops at it and
// spreads up as well as down from the seed; neither leaves its sub-scope.
TEST(CairoFill, FillsSpreadFromTheSeedAsTheirModeSays) {
  const auto frame = [](vcCairoScope& scope) {
    const double o = static_cast<double>(scope.org().x());
    scope.drawStart(vcPoint(o + 5, o + 5));
    for (const V& p : {V(15, 5), V(15, 15), V(5, 15), V(5, 5)})
      scope.drawTo(vcPoint(o + p.x(), o + p.y()), Props(vcColor::redColor(), 1));
    scope.set(vcUIRect(scope.org().x() + 6, scope.org().y() + 9, 9, 2), vcColor::blueColor());
    scope.noChange();
  };
  vcCairoScope border(vcPair<long>(30, 30));
  vcCairoScope surface(vcPair<long>(30, 30), vcCairoScope::eImage, vcPair<long>(100, 100));
  frame(border);
  border.fill(vcPair<long>(8, 12), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillToBorder);
  EXPECT_EQ(vcPixels(border).count(kGreen), 81);
  EXPECT_EQ(border.changeRect(), vcUIRect(6, 6, 9, 9));
  frame(surface);
  surface.fill(vcPair<long>(108, 108), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillSurface);
  EXPECT_EQ(vcPixels(surface).boxOf(kGreen), vcUIRect(6, 6, 9, 3));
  EXPECT_EQ(surface.changeRect(), vcUIRect(106, 106, 9, 3));
  vcCairoScope scope(vcPair<long>(30, 30));
  std::unique_ptr<vcUIScope> child(scope.newChild(vcUIRect(4, 4, 10, 10), false));
  child->fill(vcPair<long>(0, 0), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillSurface);
  EXPECT_EQ(vcPixels(scope).boxOf(kGreen), vcUIRect(4, 4, 10, 10));
}

// The ink lies inside the text rectangle, which every alignment places on
// the anchor; the background fills exactly that rectangle; the font id is
// the text height; invalid UTF-8 is drawn rather than dropped.
TEST(CairoText, InkAndBackgroundLieInTheTextRectPlacedByEveryAlignment) {
  for (std::uint32_t a = vcUIFormat::eTopLeft; a <= vcUIFormat::eBottomRight; ++a)
    for (bool aa : {false, true}) {
      const vcUIFormat format(static_cast<vcUIFormat::Alignment>(a));
      vcCairoScope scope(vcPair<long>(120, 80));
      scope.antialias(aa);
      vcUIRect r;
      EXPECT_EQ(scope.textRect("Wjg, Qy!", vcPoint(60, 40), format, r), r);
      scope.draw(std::string("Wjg, Qy!"), vcPoint(60, 40), vcColor::whiteColor(), vcColor::passColor(), format);
      const vcUIRect ink = vcPixels(scope).boxWhere([&](long x, long y) { return scope.argb(x, y) != kBlack; });
      EXPECT_TRUE(!ink.isNull() && r.within(ink)) << "alignment " << a << " rect " << r << " ink " << ink;
      EXPECT_EQ(scope.changeRect(), ink) << a;
      const long h = a % 3, v = a / 3;
      EXPECT_EQ(r.left(), 60 - (h == 1 ? r.width() / 2 : h == 2 ? r.width() : 0)) << a;
      EXPECT_EQ(r.top(), 40 - (v == 1 ? r.height() / 2 : v == 2 ? r.height() : 0)) << a;
    }
  vcCairoScope scope(vcPair<long>(120, 60), vcCairoScope::eImage, vcPair<long>(30, 0));
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  const vcUIFormat format(vcUIFormat::eCenterRight);
  vcUIRect r, small, large;
  tablet.textRect("label 42", vcPoint(100, 30), format, r, vcUITablet::eImage);
  tablet.draw("label 42", vcPoint(100, 30), vcColor::redColor(), vcColor::blueColor(), format, vcUITablet::eImage);
  const vcPixels px(scope);
  EXPECT_EQ(px.boxWhere([&](long x, long y) { return px.at(x, y) != kBlack; }), r - vcPair<long>(30, 0));
  EXPECT_GT(px.count(kRed), 20);
  EXPECT_EQ(scope.changeRect(), r);
  scope.textRect("Ag", vcPoint(0, 0), vcUIFormat(10, vcUIFormat::eTopLeft), small);
  scope.textRect("Ag", vcPoint(0, 0), vcUIFormat(30, vcUIFormat::eTopLeft), large);
  EXPECT_NEAR(double(large.height()) / double(small.height()), 3.0, 0.5);
  vcCairoScope odd(vcPair<long>(60, 30));
  odd.draw(std::string("caf\xE9 \xFF"), vcPoint(2, 2), vcColor::whiteColor(), vcColor::passColor(), vcUIFormat());
  EXPECT_GT(vcPixels(odd).count(kWhite), 20);
}

}  // namespace
