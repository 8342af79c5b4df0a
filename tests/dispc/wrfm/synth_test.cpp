// Synthetic rendering against an exact coverage reference, plain, mirrored and under a non-linear map; the window, its
// rim, the centre rule, the outline-only mode and the entry points.
#include <vc/wrfm/synthetic.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <string>

#include <vc/core/exception.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>

#include "../../../dispc/wrfm/synth/synth_raster.h"
#include "../../../dispc/wrfm/synth/synth_sweep.h"
#include "support/synth_reference.h"

namespace {

using V = vcVector<2>;
using P = vcSMDGDPolyPrivate;
using synth_ref::Outline;
using synth_ref::Pt;
constexpr double kPi = std::numbers::pi;
constexpr long kSize = 400;

// A shape twice: as a poly and as the exact outline it stands for, built from the same parameters, not from the poly.
struct Shape {
  std::string name;
  vcSMDGDPoly poly;
  Outline outline;
};

vcSMDGDPoly closedPoly(const std::vector<V>& pts, double radius) {
  vcSMDGDPoly p;
  for (const V& q : pts) p << vcSMDGDPolyVertex(q, radius, 0.5, 0.5, -1);
  p.close();
  return p;
}

Shape polygon(const std::string& name, const std::vector<V>& pts) {
  Outline o;
  for (const V& q : pts) o.push_back({q.x(), q.y()});
  return {name, closedPoly(pts, 0), o};
}

// A w x h rectangle about c turned by deg degrees, every corner rounded by r: quarter circles about the corners moved
// in by r along both sides.
Shape roundedRect(double w, double h, V c, double deg, double r) {
  const double a = deg * kPi / 180, ca = std::cos(a), sa = std::sin(a);
  const auto at = [&](double x, double y) { return Pt{c.x() + ca * x - sa * y, c.y() + sa * x + ca * y}; };
  std::vector<V> corners;
  Outline o;
  const double sx[4] = {1, -1, -1, 1}, sy[4] = {1, 1, -1, -1};
  for (int k = 0; k < 4; ++k) {
    const Pt p = at(sx[k] * w / 2, sy[k] * h / 2), m = at(sx[k] * (w / 2 - r), sy[k] * (h / 2 - r));
    corners.push_back(V(p.x, p.y));
    const double from = std::atan2(sy[k], sx[k]) + a - kPi / 4;
    if (r > 0)
      synth_ref::arc(o, m, r, from, from + kPi / 2);
    else
      o.push_back(p);
  }
  return {"rounded rectangle", closedPoly(corners, r), o};
}

Shape circle(V c, double r) {
  Outline o;
  synth_ref::arc(o, {c.x(), c.y()}, r, 0, 2 * kPi);
  return {"circle", vcSMDGDPoly::circle(r, c), o};
}

// A concave star of n vertices alternating between two radii.
Shape star(V c, int n, double r1, double r2, double deg) {
  std::vector<V> pts;
  for (int k = 0; k < n; ++k) {
    const double a = deg * kPi / 180 + 2 * kPi * k / n, r = k % 2 ? r2 : r1;
    pts.push_back(V(c.x() + r * std::cos(a), c.y() + r * std::sin(a)));
  }
  return polygon("star", pts);
}

std::vector<Shape> shapes() {
  const V a(50.2, 100.1), b(350.7, 180.4), n = V(-(b - a).unit().y(), (b - a).unit().x()) * 0.3;
  return {
      roundedRect(260, 100, V(200.3, 199.6), 17, 10),
      roundedRect(61.3, 23.7, V(100.2, 80.9), -33, 0.7),
      circle(V(200.3, 199.6), 150),
      circle(V(20.4, 370.7), 100),  // over the left and bottom edges
      star(V(201.2, 198.7), 40, 170, 70, 3.7),
      polygon("sliver", {a, b, b + n, a + n}),       // 0.3 pixels wide along a slanted line
      roundedRect(500, 80, V(210.5, 20.25), 4, 5),  // over three edges
  };
}

vcPelBuffer<unsigned char> image(unsigned char background, long size = kSize) {
  vcPelBuffer<unsigned char> img(size, size);
  img.fill(background);
  return img;
}

// Every pixel is what the exact reference says: old + coverage * (value - old) within one grey level, and in the
// outermost 2 pixels either old or value, old where nothing is covered and value where everything is.
void expectExact(const vcPelBuffer<unsigned char>& before, const vcPelBuffer<unsigned char>& after,
                 const std::vector<double>& cov, unsigned char value, const std::string& what) {
  const long w = after.width(), h = after.height();
  int failures = 0;
  for (long j = 0; j < h && failures < 5; ++j)
    for (long i = 0; i < w && failures < 5; ++i) {
      const double c = cov[static_cast<std::size_t>(j * w + i)];
      const double old = *before.pointToPel(i, j), got = *after.pointToPel(i, j);
      const bool ok = i < 2 || j < 2 || i >= w - 2 || j >= h - 2
                          ? (got == old || got == value) && !(c < 1e-9 && got != old) && !(c > 1 - 1e-9 && got != value)
                          : std::fabs(got - (old + c * (value - old))) <= 1.0;
      if (!ok && ++failures)
        ADD_FAILURE() << what << ": pixel (" << i << ", " << j << ") is " << got << ", coverage " << c << " of "
                      << +value << " over " << old;
    }
}

template <class F>
void forEachPixel(const vcPelBuffer<unsigned char>& img, F f) {
  for (long j = img.offset().y(); j < img.offset().y() + img.height(); ++j)
    for (long i = img.offset().x(); i < img.offset().x() + img.width(); ++i) f(i, j, *img.pointToPel(i, j));
}

// A smooth non-linear map: a barrel distortion about the image centre.
class Barrel : public vc2XformBase {
public:
  explicit Barrel(double k) : k_(k) {}
  V mapPoint(const V& p) const override {
    const V d = p - V(200, 200);
    return V(200, 200) + d * (1 + k_ * (d.x() * d.x() + d.y() * d.y()));
  }
  vcXform<2> linearXform(const V& at) const override {
    const V d = at - V(200, 200);
    const double s = 1 + k_ * (d.x() * d.x() + d.y() * d.y());
    const vcMatrix<2> m(s + 2 * k_ * d.x() * d.x(), 2 * k_ * d.x() * d.y(), 2 * k_ * d.x() * d.y(),
                        s + 2 * k_ * d.y() * d.y());
    return vcXform<2>(m, mapPoint(at) - m * at);
  }
  bool isLinear() const override { return false; }
  vcPtrHandle_const<vc2XformBase> inverseBase() const override { throw vcMathError("no inverse"); }
  vcPtrHandle<vc2XformBase> clone() const override { return vcPtrHandle<vc2XformBase>(new Barrel(*this)); }

private:
  double k_;
};

using Handle = vcPtrHandle_const<vc2XformBase>;
Handle linear(const vcXform<2>& x) { return Handle(new vc2XformLinear(x)); }

}  // namespace

// Each shape plain, mirrored and under the barrel map, light on dark and dark on light; then a second poly over the
// first blends against what it left.
TEST(Synthetic, FilledOutlinesCoverTheExactAreaOfEveryPixel) {
  const Handle maps[] = {linear(vcXform<2>::translation(V(0.37, -0.21))),
                         linear(vcXform<2>::translation(V(kSize - 0.63, 0.12)) * vcXform<2>::scale(-1, 1)),
                         Handle(new Barrel(-2e-6))};
  const char* names[] = {" plain", " mirrored", " barrel"};
  for (const Shape& s : shapes())
    for (int k = 0; k < 3; ++k) {
      const Outline exact = synth_ref::map(k == 2 ? synth_ref::densify(s.outline, 0.25) : s.outline, [&](Pt p) {
        const V q = maps[k]->mapPoint(V(p.x, p.y));
        return Pt{q.x(), q.y()};
      });
      const std::vector<double> cov = synth_ref::coverage(exact, kSize, kSize);
      for (const auto& [bg, value] : {std::pair<unsigned char, unsigned char>{20, 235}, {255, 0}}) {
        if (k == 2 && bg == 255) continue;
        auto img = image(bg);
        const auto before = img.clone();
        P::drawSynthetic(s.poly, maps[k], img, value, true, true);
        expectExact(before, img, cov, value, s.name + names[k]);
      }
    }
  const Shape a = roundedRect(200, 120, V(180.2, 170.6), 9, 12), b = circle(V(250.7, 230.3), 90);
  auto img = image(40);
  P::drawSynthetic(a.poly, vcXform<2>::I, img, 120, true, true);
  const auto between = img.clone();
  P::drawSynthetic(b.poly, vcXform<2>::I, img, 230, true, true);
  expectExact(between, img, synth_ref::coverage(b.outline, kSize, kSize), 230, "second poly");
  // A model draws the same: its polys in order, each in its own synthetic color, through either entry.
  vcSMDGDPoly pa = a.poly, pb = b.poly;
  pa.colors(vcSMDColors(vcColor::greenColor(), vcColor(120, 120, 120), vcColor::dkGreyColor()));
  pb.colors(vcSMDColors(vcColor::greenColor(), vcColor(230, 230, 230), vcColor::dkGreyColor()));
  vcSMDGDModel m;
  m << pa << pb;
  auto viaHandle = image(40);
  static_cast<const vcSMDGeometricDescription&>(m).drawSynthetic(linear(vcXform<2>::I), viaHandle);
  EXPECT_TRUE(viaHandle == img);
  EXPECT_THROW(m.drawSynthetic(Handle(), viaHandle), vcBadPointer);
}

// Larger than the window: fills exactly the window. Over its edge: the rim pixels are old or new, never between. Open
// or empty outlines draw nothing.
TEST(Synthetic, WritesStayInsideTheWindowAndItsRimIsNeverBlended) {
  vcPelBuffer<unsigned char> img(60, 50);
  const auto inWindow = [](long i, long j) { return i >= 10 && i < 40 && j >= 8 && j < 33; };
  for (const bool whole : {true, false}) {
    img.fill(7);
    img.window(vcRectangle<long>(10, 8, 30, 25));
    const vcSMDGDPoly poly =
        whole ? vcSMDGDPoly::rectangle(1000, 1000, V(0, 0)) : vcSMDGDPoly::circle(12.3, V(11.1, 20.2));
    P::drawSynthetic(poly, vcXform<2>::I, img, 200, true, true);
    img.window(vcRectangle<long>(0, 0, 60, 50));
    forEachPixel(img, [&](long i, long j, unsigned char v) {
      const bool rim = inWindow(i, j) && (i < 12 || i >= 38 || j < 10 || j >= 31);
      if (!inWindow(i, j) || whole) {
        EXPECT_EQ(v, inWindow(i, j) ? 200 : 7) << i << ", " << j;
      } else if (rim) {
        EXPECT_TRUE(v == 7 || v == 200) << i << ", " << j << ": " << +v;
      }
    });
  }
  vcSMDGDPoly open = vcSMDGDPoly::triangle(60, 50, V(40, 40));
  open.open();
  auto blank = image(33, 100);
  const auto before = blank.clone();
  P::drawSynthetic(open, vcXform<2>::I, blank, 200, true, true);
  P::drawSynthetic(vcSMDGDPoly::circle(5, V(-50, 40)), vcXform<2>::I, blank, 200, true, true);
  P::drawSynthetic(vcSMDGDPoly(), vcXform<2>::I, blank, 200, true, true);
  EXPECT_TRUE(blank == before);
}

// Without blending a pixel takes the value when its centre is inside; without fill only the partly covered pixels
// change, by their coverage. The upright rectangle's top and bottom run inside pixel rows.
TEST(Synthetic, CentreRuleAndOutlineOnlyModes) {
  for (const Shape& s : {star(V(50.3, 49.8), 12, 40, 18, 11), roundedRect(50, 30.6, V(50.2, 50), 0, 0)}) {
    auto hard = image(10, 100), edge = image(10, 100);
    P::drawSynthetic(s.poly, vcXform<2>::I, hard, 200, false, true);
    P::drawSynthetic(s.poly, vcXform<2>::I, edge, 200, true, false);
    const std::vector<double> cov = synth_ref::coverage(s.outline, 100, 100);
    for (long j = 0; j < 100; ++j)
      for (long i = 0; i < 100; ++i) {
        const Pt c{i + 0.5, j + 0.5};
        const double cv = cov[static_cast<std::size_t>(j * 100 + i)];
        if (synth_ref::distance(s.outline, c) > 1e-6) {
          EXPECT_EQ(*hard.pointToPel(i, j), synth_ref::winding(s.outline, c) ? 200 : 10) << i << ", " << j;
        }
        if (cv > 0.99 && cv < 1 - 1e-9) continue;
        EXPECT_LE(std::fabs(*edge.pointToPel(i, j) - (cv >= 1 - 1e-9 ? 10 : 10 + cv * 190)), 1.0) << i << ", " << j;
      }
  }
}

TEST(Synthetic, EntryPointsUseTheirValuesAndCheckTheirArguments) {
  auto plain = image(50, 100);
  vcSMDGDPoly::rectangle(20, 10, V(50, 40)).drawSynthetic(vcXform<2>::I, plain);  // default color: light grey
  EXPECT_EQ(*plain.pointToPel(40, 35), 150);
  EXPECT_EQ(*plain.pointToPel(39, 35), 50);
  vcSMDGDPoly sq = vcSMDGDPoly::rectangle(20, 20, V(0, 0));
  sq.colors(vcSMDColors(vcColor::greenColor(), vcColor(10, 20, 33), vcColor::dkGreyColor()));
  const vcXform<2> x = vcXform<2>::translation(V(50, 50));
  auto img = image(0, 100);
  sq.drawSynthetic(linear(x), img);
  EXPECT_EQ(*img.pointToPel(50, 50), 21);  // the mean of the RGB color, rounded
  EXPECT_THROW(static_cast<const vcSMDGeometricDescription&>(sq).drawSynthetic(Handle(), img), vcBadPointer);
  EXPECT_THROW(sq.drawSynthetic(vcXform<2>(vcMatrix<2>(std::nan(""), 0, 0, 1), V(0, 0)), img), vcShapesError::BadGeom);
  // A generalised polygon: its placement first, then the given transform.
  const vcXform<2> place = vcXform<2>::rotation(vcRadian(0.3)) * vcXform<2>::scale(1.5, 0.8);
  const vcSMDGDPoly circ = vcSMDGDPoly::circle(20, V(3, -2));
  const vcGenPoly g(circ, place, true);
  auto viaGen = image(5, 100), viaPoly = image(5, 100), viaHandle = image(5, 100);
  vfDrawSynthetic(g, x, viaGen, 180);
  P::drawSynthetic(circ, x * place, viaPoly, 180, true, true);
  vfDrawSynthetic(g, linear(x), viaHandle, 180);
  EXPECT_TRUE(viaGen == viaPoly && viaHandle == viaPoly);
  const vcGenPoly openGen(vcLineSeg(V(0, 0), V(10, 10)));
  EXPECT_THROW(vfDrawSynthetic(openGen, x, viaGen, 1), vcShapesError::BadGeom);
  EXPECT_THROW(vfDrawSynthetic(openGen, Handle(new Barrel(1e-6)), viaGen, 1), vcShapesError::BadGeom);
}

// A long edge across a uniform image: each crossed pixel takes the exact area on the chosen side (the half-plane on its
// +90 degree side for 1), the rest stay as they were.
TEST(Synthetic, LineBlendingWeighsTheAreaOnTheRegionSide) {
  const V a(-20.3, 31.7), b(130.9, 61.2);
  for (const signed char side : {1, -1}) {
    auto img = image(40, 100);
    drawLinePelBuf(img, vc2SegmentLine(a, b), vcXform<2>::I, static_cast<signed char>(240), side);
    const V n = V(a.y() - b.y(), b.x() - a.x()).unit() * (400.0 * side), e = (b - a).unit() * 400.0;
    const Outline half{{a.x() - e.x(), a.y() - e.y()},
                       {b.x() + e.x(), b.y() + e.y()},
                       {b.x() + e.x() + n.x(), b.y() + e.y() + n.y()},
                       {a.x() - e.x() + n.x(), a.y() - e.y() + n.y()}};
    const std::vector<double> cov = synth_ref::coverage(half, 100, 100);
    for (long j = 0; j < 100; ++j)
      for (long i = 0; i < 100; ++i) {
        const double share = cov[static_cast<std::size_t>(j * 100 + i)];
        const bool crossed = share > 1e-12 && share < 1 - 1e-12, work = i >= 2 && i < 98 && j >= 2 && j < 98;
        EXPECT_LE(std::fabs(*img.pointToPel(i, j) - (crossed && work ? 40 + share * 200 : 40)), 0.5 + 1e-9)
            << i << ", " << j;
      }
  }
}

// Arcs report their mapped ends and are drawn on the arc only; row marks
// fall on the pixel where the line or arc crosses each row's centre line.
TEST(Synthetic, ArcsReportTheirEndsAndMarkTheirRows) {
  const vc2SegmentArc arc(V(20, 20), 10, vcDegree(0), vcDegree(90));
  const vcXform<2> x = vcXform<2>::translation(V(5, 5));
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  auto img = image(0, 50);
  drawArcPelBuf(img, arc, x, 100, 1, &x0, &y0, &x1, &y1);
  EXPECT_LT(V(x0, y0).distance(V(35, 25)) + V(x1, y1).distance(V(25, 35)), 1e-9);
  EXPECT_GT(*img.pointToPel(32, 32), 0);  // on the arc (radius 10 about (25, 25)), not inside it
  EXPECT_EQ(*img.pointToPel(27, 27), 0);
  auto marks = image(0, 30), arcMarks = image(0, 50);
  drawHorizontalExtentsPelBuf(marks, vc2SegmentLine(V(10.2, 5.3), V(14.7, 9.9)), vcXform<2>::I, 1);
  forEachPixel(marks, [](long i, long j, unsigned char v) {
    EXPECT_EQ(v, j >= 5 && j <= 9 && i == j + 5 ? 1 : 0) << i << ", " << j;  // rows 5 to 9
  });
  drawHorizontalExtentsPelBuf(arcMarks, arc, x, 1, nullptr, nullptr, &x1, nullptr);
  EXPECT_NEAR(x1, 25, 1e-9);
  forEachPixel(arcMarks, [&](long i, long j, unsigned char v) {
    EXPECT_TRUE(!v || std::fabs(std::hypot(i + 0.5 - 25, j + 0.5 - 25) - 10) < 1.5) << i << ", " << j;
  });
}

// Circles far larger than the image: centred on it they fill all of it; crossing it they cover the exact area there;
// the work stays bounded by what the window shows (radius 1e13 used to take gigabytes, 1e14 cast infinity to an index).
// Under a non-linear map such a circle exceeds the point budget and is refused, the image unchanged.
TEST(Synthetic, HugeCirclesFillWhatTheWindowShowsWithBoundedWork) {
  constexpr long kSide = 160;
  for (const double r : {1e12, 1e13, 1e14, 1e20, 1e200}) {
    auto img = image(20, kSide);
    P::drawSynthetic(vcSMDGDPoly::circle(r, V(80.3, 79.6)), vcXform<2>::I, img, 235, true, true);
    forEachPixel(img, [&](long i, long j, unsigned char v) { ASSERT_EQ(v, 235) << r << ": " << i << ", " << j; });
  }
  for (const double r : {1e5, 1e12, 1e13}) {
    // The centre lies r away toward 200 degrees: the edge crosses the image at a slant.
    const double dir = 200 * kPi / 180, span = 400 / r;
    const Pt c{80.3 + r * std::cos(dir), 79.6 + r * std::sin(dir)};
    Outline exact;
    synth_ref::arc(exact, c, r, dir + kPi - span, dir + kPi + span);
    for (const double rr : {r, r - 1000})  // the arc's end, then back inside
      for (const double a : {dir + kPi + span, dir + kPi - span}) {
        if (rr == r && a < dir + kPi) continue;
        exact.push_back({c.x + rr * std::cos(a), c.y + rr * std::sin(a)});
      }
    auto img = image(20, kSide);
    const auto before = img.clone();
    const vcSMDGDPoly circle = vcSMDGDPoly::circle(r, V(c.x, c.y));
    P::drawSynthetic(circle, vcXform<2>::I, img, 235, true, true);
    // Positions r away from the origin are known to about r * 1e-16 pixel.
    if (r < 1e13)
      expectExact(before, img, synth_ref::coverage(exact, kSide, kSide), 235, "radius " + std::to_string(r));
    auto edge = image(20, kSide), marks = image(0, kSide);
    const double spanDeg = span * 180 / kPi;
    const vc2SegmentArc arc(V(c.x, c.y), r, vcDegree(20 - spanDeg), vcDegree(2 * spanDeg));
    drawArcPelBuf(edge, arc, vcXform<2>::I, static_cast<signed char>(235), 1, nullptr, nullptr, nullptr, nullptr);
    drawHorizontalExtentsPelBuf(marks, arc, vcXform<2>::I, 1, nullptr, nullptr, nullptr, nullptr);
    long blended = 0, marked = 0;
    forEachPixel(edge, [&](long, long, unsigned char v) { blended += v != 20; });
    forEachPixel(marks, [&](long, long, unsigned char v) { marked += v; });
    EXPECT_GT(blended, kSide / 2) << r;
    EXPECT_GE(marked, kSide) << r;
    if (r < 1e13) continue;
    auto mapped = image(20, kSide);
    EXPECT_THROW(P::drawSynthetic(circle, Handle(new Barrel(1e-9)), mapped, 235, true, true), vcShapesError::BadGeom);
    EXPECT_TRUE(mapped == image(20, kSide));
  }
}

// Rows split over threads give the very bytes one thread gives, on random stars, circles and rounded rectangles
// (fixed seed) tall enough to be split.
TEST(Synthetic, ThreadedFillsWriteTheSameBytesAsOneThread) {
  EXPECT_THROW(vcSynthThreads(0), vcBadArgument);
  std::mt19937 rng(29);
  std::uniform_real_distribution<double> u(0, 1);
  constexpr long kTall = 1100;
  for (int trial = 0; trial < 6; ++trial) {
    const V c(450 + 200 * u(rng), 450 + 200 * u(rng));
    const vcSMDGDPoly poly =
        trial % 3 == 0   ? star(c, 4 + 2 * static_cast<int>(300 * u(rng)), 520, 100 + 300 * u(rng), 360 * u(rng)).poly
        : trial % 3 == 1 ? circle(c, 200 + 320 * u(rng)).poly
                         : roundedRect(900 * u(rng) + 50, 1000, c, 90 * u(rng), 20 * u(rng)).poly;
    auto one = image(30, kTall);
    P::drawSynthetic(poly, vcXform<2>::I, one, 220, true, true);
    for (const int t : {2, 4}) {
      const vcSynthThreads threads(t);
      auto many = image(30, kTall);
      P::drawSynthetic(poly, vcXform<2>::I, many, 220, true, true);
      EXPECT_TRUE(many == one) << trial << ": " << t << " threads";
    }
  }
}

// An edge rising by 1e-310 (its slope not finite) covers the exact area with the rest; a point beyond 1e300, whose
// differences could overflow, is refused with the image unchanged.
TEST(Synthetic, FlatEdgesAreHarmlessAndFarPointsRefused) {
  const Shape flat = polygon("flat edge", {V(10, 0), V(90, 1e-310), V(60, 50.3)});
  // The image reaches to -50, so that the edge, at y = 0, lies where pixels are blended.
  vcPelBuffer<unsigned char> img(vcRectangle<long>(-50, -50, 150, 150));
  img.fill(20);
  P::drawSynthetic(flat.poly, vcXform<2>::I, img, 235, true, true);
  const std::vector<double> cov = synth_ref::coverage(flat.outline, 100, 100);
  for (long j = 0; j < 100; ++j)
    for (long i = 0; i < 100; ++i)
      ASSERT_LE(std::fabs(*img.pointToPel(i, j) - (20 + 215 * cov[static_cast<std::size_t>(j * 100 + i)])), 1.0)
          << i << ", " << j;
  auto far = image(20, 100);
  const vcXform<2> away = vcXform<2>::translation(V(2e300, 0));
  EXPECT_THROW(P::drawSynthetic(flat.poly, away, far, 235, true, true), vcShapesError::BadGeom);
  EXPECT_TRUE(far == image(20, 100));
}

namespace {

// Keeps small regions from taking their edges straight into their cells while alive.
class Banded {
public:
  Banded() : previous_(vf_synthAllowDirect(false)) {}
  ~Banded() { vf_synthAllowDirect(previous_); }

private:
  bool previous_;
};

// Forces one instruction set for the sweep while alive.
class ForcedIsa {
public:
  explicit ForcedIsa(vc_SynthIsa isa) : previous_(vf_synthIsa()) { ok_ = vf_synthForceIsa(isa); }
  ~ForcedIsa() { vf_synthForceIsa(previous_); }
  bool ok() const { return ok_; }

private:
  vc_SynthIsa previous_;
  bool ok_;
};

std::vector<vc_SynthIsa> availableIsas() {
  std::vector<vc_SynthIsa> r;
  for (const vc_SynthIsa isa : {vc_SynthIsa::Scalar, vc_SynthIsa::Sse2, vc_SynthIsa::Avx2})
    if (vf_synthIsaAvailable(isa)) r.push_back(isa);
  return r;
}

}  // namespace

// The sweep kernels on random rows of cells (runs of every length from every offset, sums near and beyond a whole
// pixel, both signs): each instruction set writes the pixels and running sums of the plain loop and clears the cells.
TEST(Synthetic, SweepKernelsAgreeWithThePlainLoop) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> cell(-2 * kSynthOne, 2 * kSynthOne), pel(0, 255);
  const vf_SynthSweepFn plain = vf_synthSweepFor(vc_SynthIsa::Scalar);
  for (int trial = 0; trial < 400; ++trial) {
    const long from = trial % 11, to = from + trial % 70;
    std::vector<std::int32_t> cells(96);
    std::vector<unsigned char> row(96);
    for (auto& c : cells) c = trial % 3 == 0 ? cell(rng) / 64 : cell(rng);
    for (auto& p : row) p = static_cast<unsigned char>(pel(rng));
    const std::int32_t start = cell(rng);
    const int value = pel(rng);
    auto wantCells = cells;
    auto wantRow = row;
    const std::int32_t want = plain(wantRow.data(), wantCells.data(), from, to, start, value);
    for (const vc_SynthIsa isa : availableIsas()) {
      auto gotCells = cells;
      auto gotRow = row;
      const std::int32_t got = vf_synthSweepFor(isa)(gotRow.data(), gotCells.data(), from, to, start, value);
      EXPECT_EQ(got, want) << trial << " isa " << static_cast<int>(isa);
      EXPECT_TRUE(gotRow == wantRow && gotCells == wantCells) << trial << " isa " << static_cast<int>(isa);
    }
    for (long i = from; i < to; ++i) ASSERT_EQ(wantCells[static_cast<std::size_t>(i)], 0);
  }
  EXPECT_TRUE(vf_synthIsaAvailable(vc_SynthIsa::Scalar));
}

// Random outlines (fixed seed) of every kind: polygons with long edges at every slope, circles, rounded corners, stars, tiny
// ones inside a pixel and huge ones, placed so that many are cut by the window; filled and outline only, over a
// random background. Every instruction set and thread count, with edges taken straight into the cells of small
// regions or kept and walked band by band, writes the bytes of the plain sweep on one thread in bands.
TEST(Synthetic, EveryInstructionSetAndThreadCountWritesTheSameBytes) {
  std::mt19937 rng(1729);
  std::uniform_real_distribution<double> u(0, 1);
  constexpr long kSide = 700;
  auto background = image(0, kSide);
  forEachPixel(background, [&](long i, long j, unsigned char) {
    *background.pointToPel(i, j) = static_cast<unsigned char>((i * 7 + j * 13) % 256);
  });
  for (int trial = 0; trial < 24; ++trial) {
    const V c(-100 + 900 * u(rng), -100 + 900 * u(rng));
    const double size = trial % 6 == 4 ? 0.3 * u(rng) : trial % 6 == 5 ? 1e5 * (1 + u(rng)) : 20 + 600 * u(rng);
    vcSMDGDPoly poly;
    switch (trial % 4) {
      case 0: {  // vertices at rising angles and random distances: a simple polygon
        std::vector<V> pts;
        const int n = 3 + trial % 7;
        for (int k = 0; k < n; ++k) {
          const double a = 2 * kPi * (k + 0.8 * u(rng)) / n, r = size * (0.2 + 0.8 * u(rng));
          pts.push_back(c + V(r * std::cos(a), r * std::sin(a)));
        }
        poly = closedPoly(pts, 0);
        break;
      }
      case 1:
        poly = circle(c, size).poly;
        break;
      case 2:
        poly = roundedRect(size, 0.6 * size, c, 360 * u(rng), 0.2 * size * u(rng)).poly;
        break;
      default:
        poly = star(c, 4 + 2 * static_cast<int>(200 * u(rng)), size, size * u(rng), 360 * u(rng)).poly;
    }
    const bool fill = trial % 5 != 3;
    const unsigned char value = static_cast<unsigned char>(256 * u(rng));
    auto want = background.clone();
    {
      const ForcedIsa plain(vc_SynthIsa::Scalar);
      ASSERT_TRUE(plain.ok());
      const Banded banded;
      P::drawSynthetic(poly, vcXform<2>::I, want, value, true, fill);
    }
    for (const vc_SynthIsa isa : availableIsas())
      for (const int threads : {1, 3}) {
        const ForcedIsa forced(isa);
        const vcSynthThreads count(threads);
        auto got = background.clone();
        P::drawSynthetic(poly, vcXform<2>::I, got, value, true, fill);
        EXPECT_TRUE(got == want) << trial << ": isa " << static_cast<int>(isa) << ", " << threads << " threads";
      }
  }
}

// Long edges at slopes either side of one pixel across per row (where whole rows change method), nearly upright ones,
// and ones starting on pixel borders, rising and falling: thin quadrilaterals against the exact coverage.
TEST(Synthetic, SteepAndFlatEdgesCoverTheExactArea) {
  const double across[] = {0.0, 1e-9, 1e-5, 0.013, 0.5, 0.999999, 1.0, 1.000001, 1.7, 6.0};
  for (const double dxdy : across)
    for (const double x0 : {20.0, 20.37})
      for (const double sense : {1.0, -1.0}) {
        const double h = std::min(300.0, 330.0 / std::max(dxdy, 1.0)), x1 = x0 + sense * dxdy * h;
        const double base = sense > 0 ? 0 : 350;
        const V a(base + x0, 10.5), b(base + x1, 10.5 + h), c = b + V(4.1, 0.3), d = a + V(4.1, -0.3);
        const Shape s = polygon("quad", {a, b, c, d});
        auto img = image(20);
        const auto before = img.clone();
        P::drawSynthetic(s.poly, vcXform<2>::I, img, 235, true, true);
        expectExact(before, img, synth_ref::coverage(s.outline, kSize, kSize), 235,
                    "across " + std::to_string(dxdy) + " from " + std::to_string(x0) + " sense " + std::to_string(sense));
      }
}
