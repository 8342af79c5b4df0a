// vcCairoScope as a surface: sub-scopes and clips, set and palettes, the
// overlay layer, locks, files, flood fills, text, and replay at an offset.
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

std::string scratchPath(const std::string& name) { return ::testing::TempDir() + "vccairo_" + name; }

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
  EXPECT_EQ(grandchild->size(), vcPair<long>(10, 7));
  grandchild->draw(vcPoint(0.5, 5.2), Props(vcColor::redColor(), 1));
  EXPECT_EQ(root.argb(30, 10), kRed);
  grandchild->draw(kHuge, Props(vcColor::greenColor(), 1, Props::ePenSolid, true));
  EXPECT_EQ(vcPixels(root).boxOf(kGreen), vcUIRect(30, 10, 10, 7));

  vcCairoScope clipped(vcPair<long>(40, 40), vcCairoScope::eImage, vcPair<long>(5, 5));
  clipped.setDisplayClipRect(vcUIRect(10, 12, 8, 6));
  clipped.draw(kHuge, kFilled);
  EXPECT_EQ(vcPixels(clipped).boxOf(kWhite), vcUIRect(5, 7, 8, 6));
  EXPECT_EQ(clipped.changeRect(), vcUIRect(10, 12, 8, 6));
}

TEST(CairoScope, SetReplacesPixelsAndIndexColorsComeFromThePalette) {
  vcCairoScope scope(vcPair<long>(20, 10), vcCairoScope::eImage, vcPair<long>(-3, 0));
  scope.set(vcUIRect(-1, 2, 5, 4), vcColor(0, 0, 255));
  EXPECT_EQ(vcPixels(scope).boxOf(kBlue), vcUIRect(2, 2, 5, 4));
  EXPECT_FALSE(scope.opaque());
  scope.set(vcColor::redColor());
  EXPECT_EQ(vcPixels(scope).count(kRed), 200);
  EXPECT_TRUE(scope.opaque() && scope.allChanged());

  vcCairoScope p(vcPair<long>(4, 1));
  EXPECT_EQ(p.argbOf(vcColor(static_cast<unsigned char>(249))), kRed);  // red's stock index
  // colorMap keeps the stock colors (indices 0, 1 and 2 are black, dark red
  // and dark green); colorMapEx replaces them too.
  p.colorMap({vcRGB(1, 2, 3), vcRGB(1, 2, 3), vcRGB(1, 2, 3), vcRGB(4, 5, 6)});
  EXPECT_EQ(p.argbOf(vcColor(static_cast<unsigned char>(3))), 0xFF040506u);
  EXPECT_EQ(p.argbOf(vcColor(static_cast<unsigned char>(1))), 0xFF800000u);
  p.colorMapEx({vcRGB(1, 2, 3)});
  EXPECT_EQ(p.argbOf(vcColor(static_cast<unsigned char>(0))), 0xFF010203u);
  EXPECT_EQ(p.argbOf(vcColor::blackColor()), kBlack);
  std::unique_ptr<vcUIScope> child(p.newChild(vcUIRect(0, 0, 2, 1), false));  // sharing the palette
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
  EXPECT_EQ(overlay.argb(3, 3), 0u);
  EXPECT_EQ(overlay.changeRect(), vcUIRect(2, 2, 4, 4));
  const std::unique_ptr<vcCairoScope> out = vfCairoComposite(image, overlay);
  EXPECT_EQ(out->argb(2, 2), kRed);
  EXPECT_EQ(out->argb(3, 3), kBlue);
}

TEST(CairoScope, FilesHaveTheScopeSizeAndVectorFilesRefusePixelOperations) {
  vcCairoScope root(vcPair<long>(30, 20));
  std::unique_ptr<vcUIScope> child(root.newChild(vcUIRect(5, 5, 7, 3), false));
  const std::string path = scratchPath("child.png");
  dynamic_cast<vcCairoScope&>(*child).writePng(path);
  const std::string png = slurp(path);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png[19] * 256 + png[23], 7 * 256 + 3);  // IHDR width and height, big-endian
  std::remove(path.c_str());
  EXPECT_THROW(root.writePng("/nonexistent-dir/x.png"), vcCairoError);
  for (auto format : {vcCairoScope::eSVG, vcCairoScope::ePDF}) {
    const std::string file = scratchPath(format == vcCairoScope::eSVG ? "v.svg" : "v.pdf");
    vcCairoScope scope(file, format, vcPair<long>(100, 80));
    scope.draw(vcEllipse(V(50, 40), V(20, 10), vcRadian(0)), Props(vcColor::redColor(), 2));
    EXPECT_FALSE(scope.changeRect().isNull());
    EXPECT_THROW(scope.argb(0, 0), vcCairoError);
    scope.finish();
    EXPECT_NE(slurp(file).find(format == vcCairoScope::eSVG ? "<svg" : "%PDF"), std::string::npos);
    std::remove(file.c_str());
  }
}

TEST(CairoScope, LocksNestAsAStackAndBadArgumentsThrow) {
  vcCairoScope scope(vcPair<long>(4, 4));
  scope.lockScreenUpdatesPush(true);
  scope.lockScreenUpdatesPush(false);
  EXPECT_FALSE(scope.screenUpdatesLocked());
  EXPECT_TRUE(scope.lockScreenUpdatesPop());
  EXPECT_FALSE(scope.lockScreenUpdatesPop());
  EXPECT_FALSE(scope.lockScreenUpdatesPop());
  EXPECT_THROW(vcCairoScope(vcPair<long>(-1, 5)), vcBadArgument);
  EXPECT_THROW(vcCairoScope(vcPair<long>(40000, 5)), vcBadArgument);
  EXPECT_THROW(vcCairoScope(vcPair<long>(4, 4), vcUITablet::eBoth), vcBadArgument);
  EXPECT_THROW(scope.argb(4, 0), vcBadArgument);
  EXPECT_THROW(scope.textSize(0.0), vcBadArgument);
}

// A red square outline (surface pixels 5..15) with a blue bar across its inside.
void frame(vcCairoScope& scope) {
  const double o = static_cast<double>(scope.org().x());
  scope.drawStart(vcPoint(o + 5, o + 5));
  for (const vcPoint& p : {vcPoint(o + 15, o + 5), vcPoint(o + 15, o + 15), vcPoint(o + 5, o + 15), vcPoint(o + 5, o + 5)})
    scope.drawTo(p, Props(vcColor::redColor(), 1));
  scope.set(vcUIRect(scope.org().x() + 6, scope.org().y() + 9, 9, 2), vcColor::blueColor());
  scope.noChange();
}

// Fill to border passes the blue bar; fill surface stops at it and spreads
// up as well as down from the seed; neither leaves its sub-scope.
TEST(CairoFill, FillsSpreadFromTheSeedAsTheirModeSays) {
  vcCairoScope border(vcPair<long>(30, 30));
  frame(border);
  border.fill(vcPair<long>(8, 12), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillToBorder);
  EXPECT_EQ(vcPixels(border).boxOf(kGreen), vcUIRect(6, 6, 9, 9));
  EXPECT_EQ(vcPixels(border).count(kGreen), 81);
  EXPECT_EQ(border.changeRect(), vcUIRect(6, 6, 9, 9));

  vcCairoScope surface(vcPair<long>(30, 30), vcCairoScope::eImage, vcPair<long>(100, 100));
  frame(surface);
  surface.fill(vcPair<long>(108, 108), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillSurface);
  EXPECT_EQ(vcPixels(surface).boxOf(kGreen), vcUIRect(6, 6, 9, 3));
  EXPECT_EQ(surface.changeRect(), vcUIRect(106, 106, 9, 3));

  vcCairoScope scope(vcPair<long>(30, 30));
  std::unique_ptr<vcUIScope> child(scope.newChild(vcUIRect(4, 4, 10, 10), false));
  child->fill(vcPair<long>(0, 0), vcColor::greenColor(), vcColor::redColor(), vcCairoScope::eFillSurface);
  EXPECT_EQ(vcPixels(scope).boxOf(kGreen), vcUIRect(4, 4, 10, 10));
  child->fill(vcPair<long>(20, 0), vcColor::blueColor(), vcColor::redColor(), vcCairoScope::eFillSurface);
  EXPECT_EQ(vcPixels(scope).count(kBlue), 0);
}

// The ink lies inside the text rectangle, which every alignment places on
// the anchor; the background fills exactly that rectangle.
TEST(CairoText, InkAndBackgroundLieInTheTextRectPlacedByEveryAlignment) {
  for (std::uint32_t a = vcUIFormat::eTopLeft; a <= vcUIFormat::eBottomRight; ++a) {
    const vcUIFormat format(static_cast<vcUIFormat::Alignment>(a));
    for (bool aa : {false, true}) {
      vcCairoScope scope(vcPair<long>(120, 80));
      scope.antialias(aa);
      vcUIRect r;
      EXPECT_EQ(scope.textRect("Wjg, Qy!", vcPoint(60, 40), format, r), r);
      scope.draw(std::string("Wjg, Qy!"), vcPoint(60, 40), vcColor::whiteColor(), vcColor::passColor(), format);
      const vcUIRect ink = vcPixels(scope).boxWhere([&](long x, long y) { return scope.argb(x, y) != kBlack; });
      ASSERT_FALSE(ink.isNull()) << a;
      EXPECT_TRUE(r.within(ink)) << "alignment " << a << " rect " << r << " ink " << ink;
      EXPECT_EQ(scope.changeRect(), ink) << a;
      const long h = a % 3, v = a / 3;
      EXPECT_EQ(r.left(), 60 - (h == 1 ? r.width() / 2 : h == 2 ? r.width() : 0)) << a;
      EXPECT_EQ(r.top(), 40 - (v == 1 ? r.height() / 2 : v == 2 ? r.height() : 0)) << a;
    }
  }
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

TEST(CairoText, FontIdIsTheTextHeightAndOddTextIsHandled) {
  vcCairoScope scope(vcPair<long>(60, 30));
  vcUIRect small, large, none;
  scope.textRect("Ag", vcPoint(0, 0), vcUIFormat(10, vcUIFormat::eTopLeft), small);
  scope.textRect("Ag", vcPoint(0, 0), vcUIFormat(30, vcUIFormat::eTopLeft), large);
  EXPECT_NEAR(double(large.height()) / double(small.height()), 3.0, 0.5);
  EXPECT_TRUE(scope.textRect("", vcPoint(0, 0), vcUIFormat(), none).isNull());
  // Invalid UTF-8 is drawn rather than dropped.
  scope.draw(std::string("caf\xE9 \xFF"), vcPoint(2, 2), vcColor::whiteColor(), vcColor::passColor(), vcUIFormat());
  EXPECT_GT(vcPixels(scope).count(kWhite), 20);
}

// Replaying a recorded sketch at an offset gives the same image shifted by it.
TEST(CairoReplay, ReplayAtAnOffsetShiftsTheImageByIt) {
  const vcPair<long> size(120, 100);
  vcCairoScope direct(size), replayed(size);
  vcUITablet recorder(&direct, nullptr), player(&replayed, nullptr);
  recorder.recordOn() = true;
  recorder.visible(true);
  player.visible(true);
  const vcUITablet::Layers l = vcUITablet::eImage;
  recorder.draw(vcLineSeg(V(5, 5), V(40, 20)), Props(vcColor::redColor(), 1), l);
  recorder.draw(vcCircle(V(30, 40), 12), Props(vcColor::greenColor(), 2), l);
  recorder.draw(vcRect(50, 10, 20, 15), Props(vcColor::blueColor(), 1, Props::ePenSolid, true), l);
  recorder.draw(vcPolygon({V(10, 60), V(30, 70), V(15, 80)}, vcPolygon::eEvenOdd),
                Props(vcColor::cyanColor(), 1, Props::ePenSolid, true), l);
  recorder.drawPointIcon(vcPoint(60, 70), vcColor::magentaColor(), l);
  const long dx = 7, dy = 5;
  player.draw(recorder.sketch(), vcPoint(dx, dy), l);
  const vcPixels original(direct), shifted(replayed);
  long inked = 0;
  for (long y = 0; y < size.y(); ++y)
    for (long x = 0; x < size.x(); ++x) {
      const bool uncovered = x < dx || y < dy;
      ASSERT_EQ(shifted.at(x, y), uncovered ? kBlack : original.at(x - dx, y - dy)) << x << "," << y;
      inked += original.at(x, y) != kBlack;
    }
  EXPECT_GT(inked, 500);  // the scene drew something to compare
}

}  // namespace
