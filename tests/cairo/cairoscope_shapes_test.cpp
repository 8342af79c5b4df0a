// Shapes on a vcCairoScope: exact pixels, fill rules, dashes, far geometry, the pen, and for every shape kind the
// pixels a call sets and the change it reports.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <random>
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
using V = vcVector<2>;

Props pen(long width, Props::vePenStyle style = Props::ePenSolid, bool fill = false) {
  return Props(vcColor::whiteColor(), width, style, fill);
}

TEST(CairoShapes, ThinSegmentsAndFlatCappedPensCoverExactlyTheirPixels) {
  vcCairoScope thin(vcPair<long>(40, 20));
  thin.draw(vcLineSeg(V(3.2, 5.7), V(12.9, 5.1)), pen(1));
  EXPECT_EQ(vcPixels(thin).boxOf(kWhite), vcUIRect(3, 5, 10, 1));
  EXPECT_EQ(thin.changeRect(), vcUIRect(3, 5, 10, 1));
  for (long w : {1L, 2L, 3L, 4L}) {
    vcCairoScope scope(vcPair<long>(30, 30));
    Props p = pen(w);
    p.penEndCap(Props::eCapFlat);
    scope.draw(vcLineSeg(V(10, 5), V(10, 20)), p);
    const vcUIRect box = vcPixels(scope).boxOf(kWhite);
    EXPECT_EQ(box.width(), w) << w;
    EXPECT_TRUE(box.within(vcPair<long>(10, 12))) << w;
    EXPECT_EQ(box.height(), 15) << w;
  }
  // Corners (4.5, 6) and (14.5, 14) land in pixels (4, 6) and (14, 14); the outline touches only the border.
  for (const bool fill : {true, false}) {
    vcCairoScope scope(vcPair<long>(40, 30));
    vcUITablet tablet(&scope, nullptr);
    tablet.visible(true);
    tablet.draw(vcRect(fill ? 4.5 : 4.0, 6.0, 10.0, 8.0), pen(1, Props::ePenSolid, fill), vcUITablet::eImage);
    EXPECT_EQ(vcPixels(scope).boxOf(kWhite), vcUIRect(4, 6, 11, 9));
    EXPECT_EQ(vcPixels(scope).count(kWhite), fill ? 11 * 9 : 2 * 11 + 2 * 7);
  }
}

TEST(CairoShapes, FillRulesDashesAndNullPens) {
  // A five-pointed star drawn in one stroke: its centre is wound twice.
  const std::vector<V> star{{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
  vcCairoScope evenOdd(vcPair<long>(40, 40)), winding(vcPair<long>(40, 40));
  evenOdd.draw(vcPolygon(star, vcPolygon::eEvenOdd), pen(1, Props::ePenNull, true));
  winding.draw(vcPolygon(star, vcPolygon::eWinding), pen(1, Props::ePenNull, true));
  EXPECT_EQ(evenOdd.argb(20, 20), kBlack);
  EXPECT_EQ(winding.argb(20, 20), kWhite);
  EXPECT_EQ(evenOdd.argb(20, 8), kWhite);
  // Dashes of 6 and gaps of 3 pixels; a null pen draws nothing.
  vcCairoScope scope(vcPair<long>(60, 10));
  scope.draw(vcLineSeg(V(0, 2), V(59, 2)), pen(1, Props::ePenDash));
  scope.draw(vcLineSeg(V(0, 6), V(59, 6)), pen(1, Props::ePenNull));
  long on = 0;
  for (long x = 0; x < 60; ++x) on += scope.argb(x, 2) == kWhite;
  EXPECT_NEAR(static_cast<double>(on), 60.0 * 6.0 / 9.0, 4.0);
  EXPECT_EQ(scope.argb(7, 2), kBlack);
  EXPECT_EQ(vcPixels(scope).boxOf(kWhite).height(), 1);
}

// Cairo's fixed-point coordinates wrap near 8 million pixels.
TEST(CairoShapes, GeometryFarOutsideTheSurfaceIsCutNotWrapped) {
  vcCairoScope line(vcPair<long>(40, 20)), area(vcPair<long>(40, 20));
  line.draw(vcLineSeg(V(-3e9, 10.5), V(3e9, 10.5)), pen(3));
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
  EXPECT_EQ(vcPixels(scope).boxOf(kWhite), vcUIRect(2, 3, 9, 6));
  EXPECT_EQ(scope.drawPoint(), vcPoint(110.2, 208.0));
}

}  // namespace

// One scope draws a run of random shapes of every kind, anti-aliased or not, reusing its working memory from call to
// call, some of them cut by a clip rectangle. Each call must set exactly the pixels the same call sets on a fresh
// scope, and report their box: a change rectangle too small leaves stale pixels on screen.
TEST(CairoShapes, EachCallOfARunSetsAndReportsExactlyItsOwnPixels) {
  std::mt19937 rng(21);
  const auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  vcCairoScope run(vcPair<long>(90, 70));
  for (int call = 0; call < 200; ++call) {
    const auto shade = static_cast<unsigned char>(call + 1);
    Props p(vcColor(shade, static_cast<unsigned char>(255 - shade), 77), 1 + pick(6),
            static_cast<Props::vePenStyle>(pick(3)), pick(3) == 0);
    p.penJoin(static_cast<Props::vePenJoin>(pick(3)));
    p.penEndCap(static_cast<Props::vePenEndCap>(pick(3)));
    const V a(real(-20, 110), real(-20, 90)), b(real(-20, 110), real(-20, 90)), c(real(-20, 110), real(-20, 90));
    const int kind = pick(9);
    // Five corners can wind twice about some points, where the rules differ.
    const V d(real(-20, 110), real(-20, 90)), e(real(-20, 110), real(-20, 90));
    const auto rule = pick(2) ? vcPolygon::eWinding : vcPolygon::eEvenOdd;
    const bool aa = pick(2) == 0;
    const V radii(real(1, 40), real(1, 30));
    const double angle = real(0, 3), span = real(-6, 6), u = real(0, 1), v = real(0, 1);
    const int dx = pick(21) - 10, dy = pick(21) - 10;
    const vcEllipse ellipse(a, radii, vcRadian(angle));
    const vcUIRect clip = pick(3) == 0 ? vcUIRect(pick(40), pick(30), 10 + pick(50), 10 + pick(40)) : vcUIRect();
    const auto draw = [&](vcCairoScope& s) {
      s.antialias(aa);
      s.setDisplayClipRect(clip);
      switch (kind) {
        case 0: s.draw(vcLineSeg(a, b), p); break;
        case 1: s.draw(vcPolygon({a, b, c, d, e}, rule), p); break;
        case 2: s.draw(vcEllipse2(radii, vcRadian(angle), a), p); break;
        case 3: s.draw(vcPolyline({a, b, c}, false), p); break;
        case 4: s.draw(vcPoint(a.x(), a.y()), p); break;
        case 5: s.draw(ellipse, p); break;
        case 6: s.draw(vcEllipseArc(ellipse, vcRadian(angle), vcRadian(span)), p); break;
        case 7: s.draw(vcGenRect(a, radii, vcRadian(angle), V(u, v)), p); break;
        default:
          s.drawStart(vcPoint(a.x(), a.y()));
          s.drawTo(vcPoint(b.x(), b.y()), p);
          s.drawToRelPels(dx, dy, p);
      }
    };
    SCOPED_TRACE(testing::Message() << "call " << call << " kind " << kind << " clip " << clip << " width "
                                    << p.penWidth() << " style " << p.penStyle() << " fill " << p.fill());
    vcCairoScope fresh(vcPair<long>(90, 70));
    const vcPixels blank(fresh);
    draw(fresh);
    const vcPixels own(fresh), before(run);
    run.noChange();
    draw(run);
    const vcPixels after(run);
    const std::uint32_t ink = 0xFF000000u | (std::uint32_t{shade} << 16) | (std::uint32_t(255 - shade) << 8) | 77u;
    EXPECT_EQ(run.changeRect(), own.boxWhere([&](long x, long y) { return own.at(x, y) != blank.at(x, y); }));
    // Anti-aliased ink blends with what lies under it; all else is exact.
    for (long y = 0; y < after.height; ++y)
      for (long x = 0; x < after.width; ++x)
        if (!aa || own.at(x, y) == blank.at(x, y)) {
          ASSERT_EQ(after.at(x, y), own.at(x, y) != blank.at(x, y) ? ink : before.at(x, y)) << x << ", " << y;
        }
  }
}

// Curves whose box, widened by the pen, misses the clip are not drawn at all. Swept from well outside a clip edge to
// just inside it, with pens thick enough that only their edge reaches in, a curve must draw nothing only where the
// unclipped curve inks nothing inside the clip, never ink outside the clip, and report exactly its pixels.
TEST(CairoShapes, CurvesNearTheClipAreSkippedOnlyWhenNoneOfTheirInkShows) {
  const vcUIRect clip(30, 30, 20, 20);
  using Make = std::function<void(vcCairoScope&, const V&, const Props&)>;
  // Each reaches about 10 pixels right of and below its centre.
  const std::vector<std::pair<const char*, Make>> shapes{
      {"ellipse", [](vcCairoScope& s, const V& c, const Props& p) { s.draw(vcEllipse(c, V(10, 7), vcRadian(0)), p); }},
      {"rotated",
       [](vcCairoScope& s, const V& c, const Props& p) { s.draw(vcEllipse2(V(10, 4), vcRadian(0.7), c), p); }},
      {"arc",
       [](vcCairoScope& s, const V& c, const Props& p) {
         s.draw(vcEllipseArc(vcEllipse(c, V(10, 10), vcRadian(0)), vcRadian(-1), vcRadian(2.5)), p);
       }},
      {"arc2",
       [](vcCairoScope& s, const V& c, const Props& p) {
         s.draw(vcEllipseArc2(V(10, 6), vcRadian(0.4), c, false, vcRadian(0.2), vcRadian(-1.5), vcRadian(3)), p);
       }},
      {"rounded", [](vcCairoScope& s, const V& c, const Props& p) {
         s.draw(vcGenRect(c, V(20, 20), vcRadian(0.3), V(0.5, 0.5)), p);
       }}};
  int skipped = 0, drawn = 0;
  for (const auto& [name, make] : shapes)
    for (const long width : {1L, 4L, 7L})
      for (const bool square : {false, true})
        for (double d = -11.5; d <= 3.0; d += 1.0) {
          // Square caps and miter joins reach furthest beyond the path.
          Props p = pen(width);
          p.penEndCap(square ? Props::eCapSquare : Props::eCapRound);
          p.penJoin(square ? Props::eJoinMiter : Props::eJoinRound);
          // Left of the clip, then above it: the shape's far side d pixels from the edge.
          for (const V centre : {V(20.0 + d, 40.0), V(40.0, 20.0 + d)}) {
            SCOPED_TRACE(testing::Message() << name << " width " << width << " square " << square << " d " << d);
            vcCairoScope whole(vcPair<long>(60, 60)), clipped(vcPair<long>(60, 60));
            clipped.setDisplayClipRect(clip);
            make(whole, centre, p);
            make(clipped, centre, p);
            const vcPixels all(whole), cut(clipped);
            const auto inClip = [&](long x, long y) { return clip.within(vcPair<long>(x, y)); };
            const vcUIRect shows = all.boxWhere([&](long x, long y) { return inClip(x, y) && all.at(x, y) == kWhite; });
            const vcUIRect inked = cut.boxOf(kWhite);
            EXPECT_EQ(inked.isNull(), shows.isNull());
            EXPECT_EQ(inked & clip, inked);
            EXPECT_EQ(clipped.changeRect(), inked);
            ++(inked.isNull() ? skipped : drawn);
          }
        }
  // The sweep holds curves of both kinds.
  EXPECT_GT(skipped, 0);
  EXPECT_GT(drawn, 0);
}

// The scratch mask's context keeps the pen, fill rule and antialiasing of the last call and only sets what a call
// changes. Runs of calls that change one setting at a time back and forth must each draw on a reused scope exactly
// what they draw on a fresh one.
TEST(CairoShapes, SettingsLeftByOneCallNeverLeakIntoTheNext) {
  // A five-pointed star, its centre wound twice: the fill rules differ there.
  const std::vector<V> star{{30, 3}, {47, 56}, {3, 22}, {57, 22}, {13, 56}};
  struct Step {
    long width;
    Props::vePenStyle style;
    Props::vePenJoin join;
    Props::vePenEndCap cap;
    vcPolygon::PolyFillMode rule;
    bool antialias;
  };
  const Step kSteps[] = {
      {3, Props::ePenSolid, Props::eJoinRound, Props::eCapRound, vcPolygon::eEvenOdd, false},
      {3, Props::ePenSolid, Props::eJoinRound, Props::eCapRound, vcPolygon::eWinding, false},
      {3, Props::ePenSolid, Props::eJoinRound, Props::eCapRound, vcPolygon::eEvenOdd, false},
      {5, Props::ePenDash, Props::eJoinMiter, Props::eCapRound, vcPolygon::eEvenOdd, false},
      {5, Props::ePenDash, Props::eJoinMiter, Props::eCapFlat, vcPolygon::eEvenOdd, false},
      {2, Props::ePenDash, Props::eJoinMiter, Props::eCapFlat, vcPolygon::eEvenOdd, false},
      {2, Props::ePenSolid, Props::eJoinBevel, Props::eCapSquare, vcPolygon::eEvenOdd, false},
      {2, Props::ePenDot, Props::eJoinBevel, Props::eCapSquare, vcPolygon::eWinding, true},
      {2, Props::ePenDot, Props::eJoinRound, Props::eCapSquare, vcPolygon::eWinding, false},
      {4, Props::ePenSolid, Props::eJoinRound, Props::eCapRound, vcPolygon::eEvenOdd, false},
  };
  vcCairoScope reused(vcPair<long>(60, 60));
  int step = 0;
  for (const Step& s : kSteps) {
    for (const bool fill : {true, false}) {
      Props p(vcColor::whiteColor(), s.width, s.style, fill);
      p.penJoin(s.join);
      p.penEndCap(s.cap);
      vcCairoScope fresh(vcPair<long>(60, 60));
      reused.set(vcColor::blackColor());
      for (vcCairoScope* scope : {&fresh, &reused}) {
        scope->antialias(s.antialias);
        scope->draw(vcPolygon(star, s.rule), p);
      }
      EXPECT_EQ(vcPixels(reused).argb, vcPixels(fresh).argb) << "step " << step << " fill " << fill;
    }
    ++step;
  }
}

// Crisp ink is stamped from a scratch mask straight into the pixels. Random polygons and polylines of every pen
// width, filled or not, must leave a reused scope's surface exactly as plain Cairo leaves its own when it draws
// the same paths (through pixel centres for odd widths, corners for even ones) with an opaque source.
TEST(CairoShapes, CrispInkMatchesPlainCairoPixelForPixel) {
  constexpr int kSide = 150;
  std::mt19937 rng(7);
  const auto coord = [&] { return static_cast<double>(rng() % (kSide + 40)) - 20.0; };
  vcCairoScope scope(vcPair<long>(kSide, kSide));
  cairo_surface_t* plain = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSide, kSide);
  cairo_t* cr = cairo_create(plain);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  for (int call = 0; call < 300; ++call) {
    const long width = 1 + call % 7;
    const bool closed = call % 3 != 0, fill = closed && call % 2 == 0;
    const auto c = static_cast<unsigned char>(call % 250 + 5);
    std::vector<V> points(2 + rng() % 5);
    for (V& v : points) v = V(coord(), coord());
    const Props p(vcColor(c, static_cast<unsigned char>(255 - c), 99), width, Props::ePenSolid, fill);
    if (closed)
      scope.draw(vcPolygon(points, vcPolygon::eWinding), p);
    else
      scope.draw(vcPolyline(points, false), p);
    const double o = width % 2 ? 0.5 : 0.0;
    cairo_set_source_rgb(cr, c / 255.0, (255 - c) / 255.0, 99 / 255.0);
    cairo_set_line_width(cr, static_cast<double>(width));
    cairo_move_to(cr, points[0].x() + o, points[0].y() + o);
    for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x() + o, points[i].y() + o);
    if (closed) cairo_close_path(cr);
    if (fill) cairo_fill_preserve(cr);
    cairo_stroke(cr);
  }
  cairo_destroy(cr);
  cairo_surface_flush(plain);
  const unsigned char* data = cairo_image_surface_get_data(plain);
  const int stride = cairo_image_surface_get_stride(plain);
  long differ = 0;
  for (long y = 0; y < kSide; ++y)
    for (long x = 0; x < kSide; ++x)
      differ += scope.argb(x, y) != (reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] | 0xFF000000u);
  cairo_surface_destroy(plain);
  EXPECT_EQ(differ, 0);
}
