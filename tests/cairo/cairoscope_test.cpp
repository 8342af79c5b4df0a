#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <vc/cairo/cairoscope.h>
#include <vc/core/ellipse.h>
#include <vc/core/lineseg.h>
#include <vc/core/rect.h>
#include <vc/dispprop.h>
#include <vc/uitablet.h>

#include "cairo/pixels.h"

namespace {

using Props = vcGraphicProps;

std::string scratchPath(const std::string& name) { return ::testing::TempDir() + "vccairo_" + name; }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const vcEllipse kHuge(vcVector<2>(0, 0), vcVector<2>(500, 500), vcRadian(0));

TEST(CairoScope, SubScopeDrawsNothingOutsideItsRectangle) {
  for (bool clipOnly : {false, true}) {
    vcCairoScope root(vcPair<long>(60, 50), vcCairoScope::eImage, vcPair<long>(10, 20));
    std::unique_ptr<vcUIScope> child(root.newChild(vcUIRect(25, 30, 20, 15), clipOnly));
    child->draw(kHuge, Props(vcColor::whiteColor(), 1, Props::ePenSolid, true));
    EXPECT_EQ(vcPixels(root).boxOf(kWhite), vcUIRect(15, 10, 20, 15)) << clipOnly;
    EXPECT_EQ(vcPixels(root).count(kWhite), 20 * 15) << clipOnly;
    // The change is the child's whole surface, in the child's coordinates.
    EXPECT_EQ(child->changeRect(), vcUIRect(clipOnly ? 25 : 0, clipOnly ? 30 : 0, 20, 15)) << clipOnly;
  }
}

TEST(CairoScope, SubScopesKeepTheirOwnOriginAndNestTheirClips) {
  vcCairoScope root(vcPair<long>(60, 50));
  std::unique_ptr<vcUIScope> child(root.newChild(vcUIRect(10, 10, 30, 30), false));
  std::unique_ptr<vcUIScope> grandchild(child->newChild(vcUIRect(20, -5, 30, 12), false));
  // The grandchild's part above its parent is cut off: it shows (20, 0)-(30, 7) of the child.
  EXPECT_EQ(grandchild->size(), vcPair<long>(10, 7));
  grandchild->draw(vcPoint(0.5, 5.2), Props(vcColor::redColor(), 1));
  EXPECT_EQ(root.argb(30, 10), kRed);
  grandchild->draw(kHuge, Props(vcColor::greenColor(), 1, Props::ePenSolid, true));
  EXPECT_EQ(vcPixels(root).boxOf(kGreen), vcUIRect(30, 10, 10, 7));
}

TEST(CairoScope, DisplayClipRectLimitsDrawing) {
  vcCairoScope scope(vcPair<long>(40, 40), vcCairoScope::eImage, vcPair<long>(5, 5));
  scope.setDisplayClipRect(vcUIRect(10, 12, 8, 6));
  scope.draw(kHuge, Props(vcColor::whiteColor(), 1, Props::ePenSolid, true));
  EXPECT_EQ(vcPixels(scope).boxOf(kWhite), vcUIRect(5, 7, 8, 6));
  EXPECT_EQ(scope.changeRect(), vcUIRect(10, 12, 8, 6));
}

TEST(CairoScope, SetReplacesPixelsAndReportsAnOpaqueChange) {
  vcCairoScope scope(vcPair<long>(20, 10), vcCairoScope::eImage, vcPair<long>(-3, 0));
  scope.set(vcUIRect(-1, 2, 5, 4), vcColor(0, 0, 255));
  EXPECT_EQ(vcPixels(scope).boxOf(kBlue), vcUIRect(2, 2, 5, 4));
  EXPECT_FALSE(scope.opaque());
  scope.set(vcColor::redColor());
  EXPECT_EQ(vcPixels(scope).count(kRed), 200);
  EXPECT_TRUE(scope.opaque());
  EXPECT_TRUE(scope.allChanged());
}

TEST(CairoScope, IndexColorsComeFromThePaletteAndStockColorsFromTheirRGB) {
  vcCairoScope scope(vcPair<long>(4, 1));
  EXPECT_EQ(scope.argbOf(vcColor(static_cast<unsigned char>(100))), 0xFF646464u);
  EXPECT_EQ(scope.argbOf(vcColor(static_cast<unsigned char>(249))), kRed);  // red's stock index
  scope.colorMap({vcRGB(1, 2, 3), vcRGB(1, 2, 3), vcRGB(1, 2, 3), vcRGB(4, 5, 6)});
  EXPECT_EQ(scope.argbOf(vcColor(static_cast<unsigned char>(3))), 0xFF040506u);
  // Indices 0, 1 and 2 belong to black, dark red and dark green.
  EXPECT_EQ(scope.argbOf(vcColor(static_cast<unsigned char>(0))), kBlack);
  EXPECT_EQ(scope.argbOf(vcColor(static_cast<unsigned char>(1))), 0xFF800000u);
  scope.colorMapEx({vcRGB(1, 2, 3)});
  EXPECT_EQ(scope.argbOf(vcColor(static_cast<unsigned char>(0))), 0xFF010203u);
  EXPECT_EQ(scope.argbOf(vcColor::blackColor()), kBlack);
  // Sub-scopes share the palette.
  std::unique_ptr<vcUIScope> child(scope.newChild(vcUIRect(0, 0, 2, 1), false));
  child->set(vcColor(static_cast<unsigned char>(0)));
  EXPECT_EQ(scope.argb(1, 0), 0xFF010203u);
  EXPECT_THROW(scope.colorMap(std::vector<vcRGB>(257)), vcBadArgument);
}

TEST(CairoScope, OverlayStartsTransparentAndThePassColorClearsIt) {
  vcCairoScope image(vcPair<long>(10, 10)), overlay(vcPair<long>(10, 10), vcCairoScope::eOverlay);
  EXPECT_EQ(vcPixels(overlay).count(0), 100);
  image.set(vcColor::blueColor());
  overlay.set(vcUIRect(2, 2, 4, 4), vcColor::redColor());
  overlay.draw(vcLineSeg(vcVector<2>(2, 3), vcVector<2>(5, 3)), Props(vcColor::passColor(), 1));
  EXPECT_EQ(overlay.argb(3, 3), 0u);
  EXPECT_EQ(overlay.changeRect(), vcUIRect(2, 2, 4, 4));
  const std::unique_ptr<vcCairoScope> out = vfCairoComposite(image, overlay);
  EXPECT_EQ(out->argb(2, 2), kRed);
  EXPECT_EQ(out->argb(3, 3), kBlue);
  EXPECT_EQ(out->argb(8, 8), kBlue);
}

TEST(CairoScope, ScreenUpdateLocksNestAsAStack) {
  vcCairoScope scope(vcPair<long>(4, 4));
  scope.lockScreenUpdatesPush(true);
  scope.lockScreenUpdatesPush(false);
  EXPECT_FALSE(scope.screenUpdatesLocked());
  EXPECT_TRUE(scope.lockScreenUpdatesPop());
  EXPECT_FALSE(scope.lockScreenUpdatesPop());
  EXPECT_FALSE(scope.lockScreenUpdatesPop());
  // The tablet draws a rectangle outline between a push and a pop.
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  tablet.draw(vcRect(0, 0, 3, 3), Props(vcColor::whiteColor(), 1), vcUITablet::eImage);
  EXPECT_FALSE(scope.screenUpdatesLocked());
}

TEST(CairoScope, PngHasTheScopeSize) {
  vcCairoScope root(vcPair<long>(30, 20));
  std::unique_ptr<vcUIScope> child(root.newChild(vcUIRect(5, 5, 7, 3), false));
  const std::string path = scratchPath("child.png");
  dynamic_cast<vcCairoScope&>(*child).writePng(path);
  const std::string png = slurp(path);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(static_cast<unsigned char>(png[19]), 7);  // IHDR width, big-endian
  EXPECT_EQ(static_cast<unsigned char>(png[23]), 3);
  std::remove(path.c_str());
  EXPECT_THROW(root.writePng("/nonexistent-dir/x.png"), vcCairoError);
}

TEST(CairoScope, VectorFilesRecordShapesAndRefusePixelOperations) {
  for (auto format : {vcCairoScope::eSVG, vcCairoScope::ePDF}) {
    const std::string path = scratchPath(format == vcCairoScope::eSVG ? "v.svg" : "v.pdf");
    {
      vcCairoScope scope(path, format, vcPair<long>(100, 80));
      EXPECT_FALSE(scope.isRaster());
      scope.draw(vcEllipse(vcVector<2>(50, 40), vcVector<2>(20, 10), vcRadian(0)), Props(vcColor::redColor(), 2));
      EXPECT_FALSE(scope.changeRect().isNull());
      EXPECT_THROW(
          scope.fill(vcPair<long>(1, 1), vcColor::redColor(), vcColor::blueColor(), vcCairoScope::eFillSurface),
          vcCairoError);
      EXPECT_THROW(scope.argb(0, 0), vcCairoError);
      scope.finish();
      EXPECT_TRUE(scope.isNull());
    }
    const std::string bytes = slurp(path);
    EXPECT_NE(bytes.find(format == vcCairoScope::eSVG ? "<svg" : "%PDF"), std::string::npos);
    std::remove(path.c_str());
  }
}

TEST(CairoScope, BadArgumentsThrow) {
  EXPECT_THROW(vcCairoScope(vcPair<long>(-1, 5)), vcBadArgument);
  EXPECT_THROW(vcCairoScope(vcPair<long>(40000, 5)), vcBadArgument);
  EXPECT_THROW(vcCairoScope(vcPair<long>(4, 4), vcUITablet::eBoth), vcBadArgument);
  vcCairoScope scope(vcPair<long>(4, 4));
  EXPECT_THROW(scope.argb(4, 0), vcBadArgument);
  EXPECT_THROW(scope.textSize(0.0), vcBadArgument);
}

}  // namespace
