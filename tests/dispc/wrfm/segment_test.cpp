// Line and arc segments: fixed-seed properties over twelve orders of magnitude, end cases and archive forms.
#include <vc/wrfm/arc.h>
#include <vc/wrfm/lineseg.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <vector>

#include <vc/core/ellipse.h>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;

struct ArcGen {
  std::mt19937 rng;
  std::uniform_real_distribution<double> unit{0.0, 1.0};
  explicit ArcGen(unsigned seed) : rng(seed) {}
  double u() { return unit(rng); }
  double size() { return std::pow(10.0, -6 + 12 * u()); }
  V point(double size, double range = 1.0) { return V(size * range * (u() - 0.5), size * range * (u() - 0.5)); }
  double span() {
    const double sign = u() < 0.5 ? -1.0 : 1.0;
    const unsigned k = rng() % 4;  // near 0, near a full turn, a full turn, or between
    const double e = k < 2 ? std::pow(10.0, -6 * u()) : 0;
    return sign * (k == 0 ? e : k == 1 ? 360 - e : k == 2 ? 360 : 1 + 358 * u());
  }
  vc2SegmentArc arc(double size) {
    return vc2SegmentArc(point(size), size * (0.05 + u()), vcDegree(720 * u() - 360), vcDegree(span()));
  }
  vcXform<2> similarity(double size, bool mirror) {
    const double a = 2 * kPi * u(), k = std::pow(10.0, 2 * u() - 1);
    return vcXform<2>(vcMatrix<2>::rotation(vcRadian(a)) * vcMatrix<2>::scale(k, mirror ? -k : k), point(size));
  }
  vcXform<2> affine(double size) {
    vcMatrix<2> m;
    do m = vcMatrix<2>(0.3 + u(), u() - 0.5, u() - 0.5, (u() < 0.5 ? -1 : 1) * (0.3 + u()));
    while (std::fabs(m.determinant()) < 0.05);
    return vcXform<2>(m, point(size));
  }
};

// The arc's own extent: what "1e-9 of the size" is measured against.
double extent(const vc2SegmentArc& a) {
  return std::fmax(a.radius(a.startAngle()), std::fmax(a.center().len(), a.radius(a.midAngle())));
}

template <class A, class B>
void expectOnBoth(const std::vector<V>& pts, const A& a, const B& b, double tol, int i) {
  for (const V& p : pts) {
    EXPECT_LE(a.distToPoint(p), tol) << i;
    EXPECT_LE(b.distToPoint(p), tol) << i;
  }
}

}  // namespace

TEST(SegmentArcTest, TwoPointConstructionRunsFromP1ToP2WithTheAskedSpan) {
  for (double bad : {0.5e-15, 361.0, -360.5})
    EXPECT_THROW(vc2SegmentArc(V(0, 0), V(1, 0), vcDegree(bad)), vcShapesError::DegenerateShape) << bad;
  EXPECT_THROW(vc2SegmentArc(V(2, 2), V(2, 2), vcDegree(90)), vcShapesError::DegenerateShape);
  EXPECT_THROW(vc2SegmentArc(V(0, 0), NAN, vcDegree(0), vcDegree(90)), vcShapesError::BadGeom);
  EXPECT_NEAR(vc2SegmentArc(V(1, 0), V(-1, 0), vcDegree(-180)).midPoint().y(), -1, 1e-15);  // clockwise: below
  ArcGen g(3);
  for (int i = 0; i < 1000; ++i) {
    const double size = g.size();
    const V p1 = g.point(size), p2 = g.point(size);
    double span = g.span();
    if (std::fabs(span) >= 360.0 - 1e-3 || std::fabs(span) < 1e-3) span = 1 + 358 * g.u();
    const vc2SegmentArc a(p1, p2, vcDegree(span));
    const double tol = 1e-9 * std::fmax(size, extent(a));
    EXPECT_LE(a.p1().distance(p1), tol);
    EXPECT_LE(a.p2().distance(p2), tol);
    EXPECT_DOUBLE_EQ(a.angleSpan().toDouble(), span);
  }
}

TEST(SegmentArcTest, AngleTestsHonourTheEndsAndFullTurns) {
  EXPECT_TRUE(vc2SegmentArc(V(0, 0), 2.0, vcDegree(30), vcDegree(360)).validAngle(vcDegree(29), false));
  const struct {
    double angle;
    bool inclusive, expected;
  } rows[] = {{0, false, true},   {350, true, true}, {350, false, false},
              {80, false, false}, {81, true, false}, {80 + 1e-12, true, true}};
  // 350 through 80 counter-clockwise, and the same points clockwise.
  for (const vc2SegmentArc& a : {vc2SegmentArc(V(0, 0), 2.0, vcDegree(350), vcDegree(90)),
                                 vc2SegmentArc(V(0, 0), 2.0, vcDegree(80), vcDegree(-90))})
    for (const auto& r : rows) EXPECT_EQ(a.validAngle(vcDegree(r.angle), r.inclusive), r.expected) << r.angle;
}

// Circular, mirrored and elliptical arcs: the closest point is the arg-min over dense samples, and the direction is the
// tangent the arc runs along.
TEST(SegmentArcTest, ClosestPointDirectionAndLengthAgreeWithSamples) {
  ArcGen g(7);
  for (int i = 0; i < 300; ++i) {
    const double size = g.size();
    vc2SegmentArc a = g.arc(size);
    if (i % 3 == 1) a = g.similarity(size, true) * a;
    if (i % 3 == 2) a = g.affine(size) * a;
    const V p = g.point(size, 3.0);
    double best = INFINITY;
    for (int k = 0; k <= 20000; ++k) best = std::fmin(best, a.segPoint(k / 20000.0).distance(p));
    const double tol = 1e-9 * std::fmax(size, extent(a));
    EXPECT_LE(a.distToPoint(p), best + tol) << i;
    EXPECT_GE(a.distToPoint(p), best - std::fmax(tol, 1e-3 * best + 2e-4 * a.length())) << i;
    const double t = 0.1 + 0.8 * g.u(), dir = a.direction(t).toDouble() * kPi / 180;
    const V step = a.segPoint(t + 1e-3) - a.segPoint(t - 1e-3);
    EXPECT_GT(step.x() * std::cos(dir) + step.y() * std::sin(dir), 0.99 * step.len()) << i;
  }
}

// A mirror (or the half turn -I, which is not one) maps the arc onto an arc with the same swept points and length; the
// span changes sign only under a mirror.
TEST(SegmentArcTest, MappedArcsKeepTheirPointSetLengthAndOrientation) {
  ArcGen g(13);
  for (int i = 0; i < 400; ++i) {
    const double size = g.size();
    const vc2SegmentArc a = g.arc(size);
    const bool mirror = i % 2 == 0;
    vcXform<2> x = g.similarity(size, mirror);
    if (i % 10 == 1) x = vcXform<2>(vcMatrix<2>(-1, 0, 0, -1), V(0, 0));
    const vc2SegmentArc m = x * a;
    const double scale = std::sqrt(std::fabs(x.determinant())), tol = 1e-9 * std::fmax(extent(a), extent(m));
    EXPECT_NEAR(m.length(), a.length() * scale, 1e-12 * m.length());
    EXPECT_EQ(m.angleSpan().toDouble(), mirror ? -a.angleSpan().toDouble() : a.angleSpan().toDouble());
    for (int k = 0; k <= 64; ++k) {
      EXPECT_LE(m.distToPoint(x * a.segPoint(k / 64.0)), tol);
      EXPECT_LE(a.distToPoint(x.inverse() * m.segPoint(k / 64.0)), tol / scale);
    }
  }
}

// Lines and arcs built through a point of an arc, crossing at any angle down to touching and nearly touching, are never
// reported disjoint, and every reported point lies on both.
TEST(SegmentArcTest, IntersectionsAreFoundAndLieOnBothPrimitives) {
  ArcGen g(23);
  for (int i = 0; i < 3000; ++i) {
    const double size = g.size();
    vc2SegmentArc a = g.arc(size);
    if (i % 5 == 3) a = g.similarity(size, true) * a;
    const double t = 0.05 + 0.9 * g.u();
    const V x = a.segPoint(t);
    const int kind = i % 4;
    if (kind < 2) {
      // Any direction, or the tangent turned by a hair.
      double dir = 360 * g.u();
      if (kind == 1) dir = a.direction(t).toDouble() + (g.u() < 0.3 ? 0.0 : std::pow(10.0, -8 * g.u()));
      const V d(std::cos(dir * kPi / 180), std::sin(dir * kPi / 180));
      const double len = extent(a) * (0.1 + g.u()), s = 0.05 + 0.9 * g.u();
      const vc2SegmentLine line(x - d * (len * s), x + d * (len * (1 - s)));
      const auto pts = a.intersection(line, false);
      ASSERT_FALSE(pts.empty()) << i;
      expectOnBoth(pts, a, line, 1e-9 * std::fmax(size, extent(a)), i);
      continue;
    }
    // An arc crossing, or touching from outside or inside.
    const V radial = (x - a.center()) / (x - a.center()).len();
    const double r2 = extent(a) * (0.05 + g.u());
    V c2(x.x() + r2 * (2 * g.u() - 1), x.y() + r2 * (2 * g.u() - 1));
    if (kind == 3) c2 = g.u() < 0.5 ? x + radial * r2 : x - radial * std::fmin(r2, 0.5 * a.radius(a.startAngle()));
    const V toX = x - c2;
    const double span2 = g.u() < 0.5 ? 360.0 : (20 + 300 * g.u()) * (g.u() < 0.5 ? -1 : 1);
    const double at = std::atan2(toX.y(), toX.x()) * 180 / kPi - span2 * (0.1 + 0.8 * g.u());
    vc2SegmentArc b(c2, toX.len(), vcDegree(at), vcDegree(span2));
    if (i % 8 == 7) {
      const vcXform<2> shear = g.affine(size);  // the pair stays two circles in a's frame
      a = shear * a;
      b = shear * b;
    }
    const auto pts = a.intersection(b, false);
    ASSERT_FALSE(pts.empty()) << i;
    expectOnBoth(pts, a, b, 1e-9 * std::fmax(extent(a), extent(b)), i);
  }
}

// The crossings of the circle a with the whole ellipse b, by a dense walk along b: the sign changes of its distance
// to a's centre less a's radius, sampled between the walk's grid points so that a meeting at b's local angle 0 counts
// once. nearTouch tells that the distance came within a hair of the radius without crossing it, where a walk cannot
// tell a touch from two close crossings or none.
int denseCrossings(const vc2SegmentArc& a, const vc2SegmentArc& b, bool& nearTouch) {
  constexpr int kSteps = 6000;
  std::vector<double> f(kSteps);
  for (int k = 0; k < kSteps; ++k) {
    const double rad = 2 * kPi * (k + 0.5) / kSteps;
    const V onB = b.xform() * (b.localCenter() + V(std::cos(rad), std::sin(rad)) * b.localRadius());
    f[k] = (onB - a.center()).len() - a.radius(vcDegree(0));
  }
  int count = 0;
  nearTouch = false;
  for (int k = 0; k < kSteps; ++k) {
    const double prev = f[(k + kSteps - 1) % kSteps], next = f[(k + 1) % kSteps];
    count += (f[k] < 0) != (next < 0);
    if ((f[k] - prev) * (next - f[k]) <= 0 && std::fabs(f[k]) < 1e-3 * a.radius(vcDegree(0))) nearTouch = true;
  }
  return count;
}

// Under a map that is not a similarity one circle is an ellipse in the other's frame, found by a scan of its local
// angle: every meeting point comes once, as many as a dense walk finds, including one at the scan's seam (local angle
// 0, also 360) and touching ones, which a walk does not see.
TEST(SegmentArcTest, EllipticMeetingsAreReportedOnceEach) {
  const auto circle = [](V c, double r) { return vc2SegmentArc(c, r, vcDegree(0), vcDegree(360)); };
  const vc2SegmentArc unitCircle = circle(V(0, 0), 1);
  const vcXform<2> squash(vcMatrix<2>(2, 0, 0, 1), V(0, 0));
  const vc2SegmentArc ellipse = squash * unitCircle;  // x^2/4 + y^2 = 1, local angle 0 at (2, 0)
  const struct {
    vc2SegmentArc a;
    std::size_t meetings;
  } fixed[] = {
      {circle(V(0, 0), 2), 2},    // touching at (2, 0), the seam, and (-2, 0)
      {circle(V(0, 0), 1), 2},    // touching at (0, 1) and (0, -1)
      {circle(V(2, 1), 1), 2},    // crossing at the seam, and once more
      {circle(V(3, 0), 1), 1},    // touching at the seam from outside
      {circle(V(0, 0), 1.5), 4},  // crossing four times
  };
  for (const auto& c : fixed) {
    SCOPED_TRACE(c.a.center());
    for (const auto& pts : {c.a.intersection(ellipse, false), ellipse.intersection(c.a, false)}) {
      ASSERT_EQ(pts.size(), c.meetings);
      expectOnBoth(pts, c.a, ellipse, 1e-7, 0);
    }
  }
  ArcGen g(31);
  int compared = 0;
  for (int i = 0; i < 120; ++i) {
    const double size = g.size();
    const vc2SegmentArc b = g.affine(size) * circle(g.point(size), size * (0.2 + g.u()));
    const vc2SegmentArc a = circle(b.segPoint(g.u()) + g.point(size, 0.5), size * (0.1 + 2 * g.u()));
    const auto pts = a.intersection(b, false);
    SCOPED_TRACE(i);
    expectOnBoth(pts, a, b, 1e-7 * size, i);
    for (std::size_t j = 0; j < pts.size(); ++j)
      for (std::size_t k = j + 1; k < pts.size(); ++k) EXPECT_GT(pts[j].distance(pts[k]), 1e-6 * size);
    bool nearTouch = false;
    const int expected = denseCrossings(a, b, nearTouch);
    if (nearTouch) continue;
    EXPECT_EQ(pts.size(), static_cast<std::size_t>(expected));
    ++compared;
  }
  EXPECT_GT(compared, 90);
}

TEST(SegmentArcTest, TouchingConcentricAndEndPointCases) {
  const vc2SegmentArc unit(V(0, 0), 1.0, vcDegree(0), vcDegree(360));
  // Touching from outside, and from inside either way round.
  const struct {
    V c;
    double r;
    V at;
  } rows[] = {{V(3e6 + 2, 0) - V(3e6, 0), 1.0, V(1, 0)}, {V(0, 0.5), 0.5, V(0, 1)}, {V(0, -1), 2.0, V(0, 1)}};
  for (const auto& r : rows) {
    const auto pts = unit.intersection(vc2SegmentArc(r.c, r.r, vcDegree(0), vcDegree(360)), false);
    ASSERT_EQ(pts.size(), 1u) << r.c;
    EXPECT_LE(pts[0].distance(r.at), 1e-15) << r.c;
  }
  EXPECT_TRUE(unit.intersection(vc2SegmentArc(V(0, 0), 1.0, vcDegree(0), vcDegree(90)), false).empty());
  const vc2SegmentArc left(V(0, 0), V(2, 0), vcDegree(90)), right(V(2, 0), V(4, 0), vcDegree(-90));
  EXPECT_EQ(left.intersection(right, false).size(), 1u);
  EXPECT_TRUE(left.intersection(right, true).empty());
}

TEST(SegmentArcTest, EllipseArcsConvertBothWaysAndPrintingUsesClientTerms) {
  for (double span : {-1.2, -2 * kPi}) {
    const vcEllipseArc core(vcEllipse(V(5, -2), V(4, 1.5), vcRadian(0.7)), vcRadian(0.4), vcRadian(span));
    const vc2SegmentArc a{vcEllipseArc2(core)};
    EXPECT_NEAR(a.length(), core.perimeter(), 1e-9);
    for (int k = 0; k <= 16; ++k) EXPECT_LE(core.distanceToPoint(a.segPoint(k / 16.0)), 1e-9);
    EXPECT_LE(a.ellipseArc2().endPoint().distance(core.endPoint()), 1e-12);
  }
  std::ostringstream os;
  os << vc2SegmentArc(V(1, 2), 3.0, vcDegree(90), vcDegree(-45)) << vc2SegmentLine(V(1, 2), V(3, 4));
  EXPECT_EQ(os.str(), "center=1 2\nradius=3\nstartAngle=90\nangleSpan=-45\n\np1_=12\np2_=34\n\n");
  EXPECT_NEAR(vc2SegmentArc(V(0, 0), V(2, 0), vcDegree(180)).centerOfMass().y(), -2 / kPi, 1e-15);
}

TEST(SegmentArcTest, ArchiveRejectsBadInput) {
  const auto same = [](const vc2SegmentArc& a, const vc2SegmentArc& b) {
    EXPECT_EQ(vc_test::store(a), vc_test::store(b));
  };
  const vc2SegmentArc a =
      vcXform<2>(vcMatrix<2>(0, -2, 2, 0), V(3, 4)) * vc2SegmentArc(V(1, 1), 2.5, vcDegree(10), vcDegree(-200));
  const vc_test::Bytes bytes = vc_test::store(a);
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 2), vc2SegmentArc(), "dispc/wrfm/arc", 147);
  for (std::size_t n = 0; n < bytes.size(); n += 7)
    vc_test::expectRejected(a, vc_test::Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)), same);
  vc_test::expectRejected(a, vc_test::withF64(bytes, 17, 0.0), same);  // zero radius
  vc_test::Bytes singular = vc_test::store(vc2SegmentArc());
  for (int k = 0; k < 32; ++k) singular[41 + k] = 0;  // all four matrix elements
  vc_test::expectRejected(a, singular, same);
}

TEST(SegmentLineTest, OnlyCoincidentOrNonFiniteEndsAreRefusedAndRangesHaveRelativeSlack) {
  EXPECT_NO_THROW(vc2SegmentLine(V(0, 0), V(1e-300, 0)));
  EXPECT_THROW(vc2SegmentLine(V(0, 0), V(NAN, 1)), vcShapesError::BadGeom);
  EXPECT_THROW(vcXform<2>(vcMatrix<2>(1, 0, 0, 0), V(0, 0)) * vc2SegmentLine(V(3, 0), V(3, 5)),
               vcShapesError::DegenerateShape);
  const vc2SegmentLine s(V(0, 0), V(10, 0));
  const struct {
    V p;
    bool inclusive, expected;
  } rows[] = {{V(10 + 1e-14, 0), true, true}, {V(10, 0), false, false}, {V(0, 5), true, true},
              {V(-1e-12, 0), true, false},    {V(1e-14, 0), false, false}, {V(10.001, 0), true, false}};
  for (const auto& r : rows) EXPECT_EQ(s.inRange(r.p, r.inclusive), r.expected) << r.p << " " << r.inclusive;
  EXPECT_TRUE(s.validPoint(V(4, 1e-14)));
  EXPECT_FALSE(s.validPoint(V(4, 1e-12)));
  // Maps move both ends; equality allows rounding.
  EXPECT_EQ(vc2Rigid(vcDegree(90), V(10, 0)) * vc2SegmentLine(V(1, 2), V(4, 6)), vc2SegmentLine(V(8, 1), V(4, 4)));
  EXPECT_TRUE(vc2SegmentLine(V(0, 0), V(0.25, 0)) == vc2SegmentLine(V(9e-16, -9e-16), V(0.25 + 9e-16, 0)));
  EXPECT_FALSE(vc2SegmentLine(V(0, 0), V(0.25, 0)) == vc2SegmentLine(V(0, 2e-15), V(0.25, 0)));
}

TEST(SegmentLineTest, EndsAndOverlapsFollowTheExclusiveFlagAndCollinearGivesNoPoint) {
  const vc2SegmentLine a(V(0, 0), V(4, 0));
  for (const vc2SegmentLine& touching : {vc2SegmentLine(V(4, 0), V(4, 3)), vc2SegmentLine(V(2, 0), V(2, 3))}) {
    EXPECT_EQ(a.intersection(touching, false).size(), 1u) << touching;
    EXPECT_TRUE(a.intersection(touching, true).empty()) << touching;
  }
  for (const vc2SegmentLine& o : {vc2SegmentLine(V(1, 0), V(6, 0)), vc2SegmentLine(V(5, -1), V(5, 1))})
    EXPECT_TRUE(a.intersection(o, false).empty()) << o;
}

TEST(SegmentLineTest, DegenerateLinesReloadAndBadInputLeavesTheTargetAlone) {
  const vc2SegmentLine s(V(-1.5, 2.25), V(1e10, -3e-7));
  const vc_test::Bytes bytes = vc_test::store(s);
  const auto same = [](const vc2SegmentLine& a, const vc2SegmentLine& b) {
    EXPECT_EQ(vc_test::store(a), vc_test::store(b));
  };
  const vc2SegmentLine def = vc_test::load(vc_test::store(vc2SegmentLine()), s);  // degenerate, yet reloads
  EXPECT_EQ(def.p1(), def.p2());
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 1), s, "dispc/wrfm/lineseg", 105);
  vc_test::expectRejected(s, vc_test::Bytes(bytes.begin(), bytes.end() - 1), same);
  vc_test::expectRejected(s, vc_test::withF64(bytes, 25, NAN), same);  // p2.y
}
