#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/dispprop.h>
#include <vc/uitablet.h>

#include "cairo/pixels.h"

namespace {

using Props = vcGraphicProps;

Props pen(long width, Props::vePenStyle style = Props::ePenSolid, bool fill = false) {
  return Props(vcColor::whiteColor(), width, style, fill);
}

TEST(CairoShapes, OnePixelHorizontalSegmentSetsExactlyItsPixels) {
  vcCairoScope scope(vcPair<long>(40, 20));
  scope.draw(vcLineSeg(vcVector<2>(3.2, 5.7), vcVector<2>(12.9, 5.1)), pen(1));
  const vcPixels px(scope);
  EXPECT_EQ(px.count(kWhite), 10);
  EXPECT_EQ(px.boxOf(kWhite), vcUIRect(3, 5, 10, 1));
  EXPECT_EQ(scope.changeRect(), vcUIRect(3, 5, 10, 1));
}

TEST(CairoShapes, PenOfWidthWCoversWPixelsAcrossWithFlatCaps) {
  for (long w : {1L, 2L, 3L, 4L}) {
    vcCairoScope scope(vcPair<long>(30, 30));
    Props p = pen(w);
    p.penEndCap(Props::eCapFlat);
    scope.draw(vcLineSeg(vcVector<2>(10, 5), vcVector<2>(10, 20)), p);
    const vcUIRect box = vcPixels(scope).boxOf(kWhite);
    EXPECT_EQ(box.width(), w) << "width " << w;
    EXPECT_TRUE(box.within(vcPair<long>(10, 12))) << "width " << w;
    EXPECT_EQ(box.height(), 15) << "width " << w;
  }
}

// Corners (4.5, 6) and (14.5, 14) land in pixels (4, 6) and (14, 14); the
// outline touches only the border.
TEST(CairoShapes, RectanglesThroughTheTabletCoverExactlyTheirPixels) {
  for (const bool fill : {true, false}) {
    vcCairoScope scope(vcPair<long>(40, 30));
    vcUITablet tablet(&scope, nullptr);
    tablet.visible(true);
    tablet.draw(vcRect(fill ? 4.5 : 4.0, 6.0, 10.0, 8.0), pen(1, Props::ePenSolid, fill), vcUITablet::eImage);
    const vcPixels px(scope);
    EXPECT_EQ(px.boxOf(kWhite), vcUIRect(4, 6, 11, 9));
    EXPECT_EQ(px.count(kWhite), fill ? 11 * 9 : 2 * 11 + 2 * 7);
  }
}

// Every operation must report exactly what it changed, or the application
// repaints too little (a bug on screen) or too much.
TEST(CairoShapes, ChangeRectEqualsThePixelsThatChangedForEveryShapeKind) {
  const vcEllipse ellipse(vcVector<2>(30.3, 20.7), vcVector<2>(14.2, 6.5), vcRadian(0.4));
  Props dashed = pen(2, Props::ePenDashDot);
  dashed.penEndCap(Props::eCapSquare);
  Props thick = pen(5);
  thick.penJoin(Props::eJoinMiter);
  const std::vector<std::pair<std::string, std::function<void(vcCairoScope&)>>> ops{
      {"segment w3 square caps",
       [&](vcCairoScope& s) {
         Props p = pen(3);
         p.penEndCap(Props::eCapSquare);
         s.draw(vcLineSeg(vcVector<2>(5, 7), vcVector<2>(40.6, 33.2)), p);
       }},
      {"point w3", [](vcCairoScope& s) { s.draw(vcPoint(9.5, 9.5), pen(3)); }},
      {"polyline miter",
       [&](vcCairoScope& s) {
         s.draw(vcPolyline({{5, 5}, {30, 8}, {8, 30}}, false), thick);
       }},
      {"polygon even-odd filled",
       [](vcCairoScope& s) {
         s.draw(vcPolygon({{10, 2}, {40, 30}, {2, 14}, {45, 12}, {12, 35}}, vcPolygon::eEvenOdd),
                pen(1, Props::ePenSolid, true));
       }},
      {"ellipse dashed", [&](vcCairoScope& s) { s.draw(ellipse, dashed); }},
      {"ellipse2 filled",
       [](vcCairoScope& s) {
         s.draw(vcEllipse2(vcVector<2>(12, 7), vcRadian(-0.3), vcVector<2>(25, 22)), pen(2, Props::ePenSolid, true));
       }},
      {"arc", [&](vcCairoScope& s) { s.draw(vcEllipseArc(ellipse, vcRadian(0.2), vcRadian(2.5)), pen(4)); }},
      {"arc2",
       [](vcCairoScope& s) {
         s.draw(vcEllipseArc2(vcVector<2>(15, 9), vcRadian(0.1), vcVector<2>(25, 25), false, vcRadian(0.3),
                              vcRadian(-1.0), vcRadian(3.0)),
                pen(1, Props::ePenDot));
       }},
      {"generalised rectangle",
       [](vcCairoScope& s) {
         s.draw(vcGenRect(vcVector<2>(25, 20), vcVector<2>(30, 16), vcRadian(0.3), vcVector<2>(0.4, 0.7)),
                pen(3, Props::ePenSolid, true));
       }},
      {"pen",
       [](vcCairoScope& s) {
         s.drawStart(vcPoint(3.7, 40.2));
         s.drawTo(vcPoint(44.1, 3.3), pen(2));
         s.drawToRelPels(-10, 20, pen(1));
       }},
  };
  for (bool aa : {false, true}) {
    for (const auto& [name, op] : ops) {
      vcCairoScope scope(vcPair<long>(50, 45));
      scope.antialias(aa);
      const vcPixels before(scope);
      op(scope);
      const vcUIRect diff = vfDiffBox(before, vcPixels(scope));
      EXPECT_FALSE(diff.isNull()) << name;
      EXPECT_EQ(scope.changeRect(), diff) << name << (aa ? " anti-aliased" : "");
    }
  }
}

TEST(CairoShapes, FillModesDifferInTheOverlapOfASelfCrossingPolygon) {
  // A five-pointed star drawn in one stroke: its centre is wound twice.
  const std::vector<vcVector<2>> star{{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
  vcCairoScope evenOdd(vcPair<long>(40, 40)), winding(vcPair<long>(40, 40));
  evenOdd.draw(vcPolygon(star, vcPolygon::eEvenOdd), pen(1, Props::ePenNull, true));
  winding.draw(vcPolygon(star, vcPolygon::eWinding), pen(1, Props::ePenNull, true));
  EXPECT_EQ(evenOdd.argb(20, 20), kBlack);
  EXPECT_EQ(winding.argb(20, 20), kWhite);
  EXPECT_EQ(evenOdd.argb(20, 8), kWhite);
}

TEST(CairoShapes, DashedPenLeavesGapsAndNullPenDrawsNothing) {
  vcCairoScope scope(vcPair<long>(60, 10));
  scope.draw(vcLineSeg(vcVector<2>(0, 2), vcVector<2>(59, 2)), pen(1, Props::ePenDash));
  scope.draw(vcLineSeg(vcVector<2>(0, 6), vcVector<2>(59, 6)), pen(1, Props::ePenNull));
  long on = 0;
  for (long x = 0; x < 60; ++x) on += scope.argb(x, 2) == kWhite;
  // Dashes of 6 and gaps of 3 pixels.
  EXPECT_NEAR(static_cast<double>(on), 60.0 * 6.0 / 9.0, 4.0);
  EXPECT_EQ(scope.argb(0, 2), kWhite);
  EXPECT_EQ(scope.argb(7, 2), kBlack);
  EXPECT_EQ(vcPixels(scope).boxOf(kWhite).height(), 1);
}

// Cairo's fixed-point coordinates wrap near 8 million pixels.
TEST(CairoShapes, GeometryFarOutsideTheSurfaceIsCutNotWrapped) {
  vcCairoScope line(vcPair<long>(40, 20)), area(vcPair<long>(40, 20));
  line.draw(vcLineSeg(vcVector<2>(-3e9, 10.5), vcVector<2>(3e9, 10.5)), pen(3));
  EXPECT_EQ(vcPixels(line).boxOf(kWhite), vcUIRect(0, 9, 40, 3));
  EXPECT_EQ(vcPixels(line).count(kWhite), 120);
  area.draw(vcPolygon({{-1e10, -1e10}, {1e10, -1e10}, {0, 1e10}}, vcPolygon::eWinding), pen(1, Props::ePenNull, true));
  EXPECT_EQ(vcPixels(area).count(kWhite), 800);
}

TEST(CairoShapes, PenContinuesFromItsPixelAndMovesWithDrawTo) {
  vcCairoScope scope(vcPair<long>(20, 20), vcCairoScope::eImage, vcPair<long>(100, 200));
  scope.drawStart(vcPoint(102.5, 203.9));
  scope.drawTo(vcPoint(110.2, 203.0), pen(1));
  scope.drawToRelPels(0, 5, pen(1));
  const vcPixels px(scope);
  EXPECT_EQ(px.boxOf(kWhite), vcUIRect(2, 3, 9, 6));
  EXPECT_EQ(scope.drawPoint(), vcPoint(110.2, 208.0));
  EXPECT_EQ(px.at(10, 8), kWhite);
}

}  // namespace

// One scope draws a run of random shapes, reusing its working memory from call
// to call, some of them cut by a clip rectangle. Each call must set exactly
// the pixels the same call sets on a fresh scope, and report their box.
TEST(CairoShapes, EachCallOfARunSetsAndReportsExactlyItsOwnPixels) {
  std::mt19937 rng(21);
  const auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  vcCairoScope run(vcPair<long>(90, 70));
  for (int call = 0; call < 120; ++call) {
    const auto shade = static_cast<unsigned char>(call + 1);
    Props p(vcColor(shade, static_cast<unsigned char>(255 - shade), 77), 1 + pick(6),
            static_cast<Props::vePenStyle>(pick(3)), pick(3) == 0);
    p.penJoin(static_cast<Props::vePenJoin>(pick(3)));
    p.penEndCap(static_cast<Props::vePenEndCap>(pick(3)));
    const vcVector<2> a(real(-20, 110), real(-20, 90)), b(real(-20, 110), real(-20, 90)), c(real(-20, 110), real(-20, 90));
    const int kind = pick(4);
    const vcVector<2> radii(real(1, 40), real(1, 30));
    const double angle = real(0, 3);
    const vcUIRect clip = pick(3) == 0 ? vcUIRect(pick(40), pick(30), 10 + pick(50), 10 + pick(40)) : vcUIRect();
    const auto draw = [&](vcCairoScope& s) {
      s.setDisplayClipRect(clip);
      if (kind == 0)
        s.draw(vcLineSeg(a, b), p);
      else if (kind == 1)
        s.draw(vcPolygon({a, b, c}, vcPolygon::eWinding), p);
      else if (kind == 2)
        s.draw(vcEllipse2(radii, vcRadian(angle), a), p);
      else
        s.draw(vcPolyline({a, b, c}, false), p);
    };
    SCOPED_TRACE(testing::Message() << "kind " << kind << " clip " << clip << " width " << p.penWidth() << " style "
                                    << p.penStyle() << " fill " << p.fill() << " a " << a << " b " << b << " c " << c);
    vcCairoScope fresh(vcPair<long>(90, 70));
    const vcPixels blank(fresh);
    draw(fresh);
    const vcPixels own(fresh);
    const vcPixels before(run);
    run.noChange();
    draw(run);
    const vcPixels after(run);
    const std::uint32_t ink = 0xFF000000u | (std::uint32_t{shade} << 16) | (std::uint32_t(255 - shade) << 8) | 77u;
    const vcUIRect set = own.boxWhere([&](long x, long y) { return own.at(x, y) != blank.at(x, y); });
    EXPECT_EQ(run.changeRect(), set) << "call " << call;
    for (long y = 0; y < after.height; ++y)
      for (long x = 0; x < after.width; ++x) {
        const bool inked = own.at(x, y) != blank.at(x, y);
        ASSERT_EQ(after.at(x, y), inked ? ink : before.at(x, y)) << "call " << call << " at " << x << ", " << y;
      }
  }
}
