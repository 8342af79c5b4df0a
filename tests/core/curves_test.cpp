// Bezier curves and the cubic splines made of them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/bezier.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/core/spline.h>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
using Pts = std::vector<V>;

// Random curves of every awkward kind: general, rational, heavy weights,
// collinear (backtracking) polygons, cusps, doubled control points, loops.
vcBezierCurve randomCurve(std::mt19937& g, int kind) {
  std::uniform_real_distribution<double> u(-100.0, 100.0), lw(-2.0, 2.0);
  auto pt = [&] { return V(u(g), u(g)); };
  V p0 = pt(), p1 = pt(), p2 = pt(), p3 = pt();
  double w[4] = {1, 1, 1, 1};
  const V d = pt() * 0.01, ex = pt() * 0.5, ey = pt() * 0.5;
  if (kind % 7 == 1)
    for (double& x : w) x = std::pow(10.0, lw(g));
  if (kind % 7 == 2) w[1 + g() % 2] = (g() % 2) ? 1e3 : 1e-3;
  if (kind % 7 == 3) p1 = p0 + d * u(g), p2 = p0 + d * u(g), p3 = p0 + d * u(g);
  // The cubic (0,0) (1,1) (0,1) (1,0) has a cusp at t = 1/2; any affine image keeps it.
  if (kind % 7 == 4) p1 = p0 + ex + ey, p2 = p0 + ey, p3 = p0 + ex;
  if (kind % 7 == 5) p1 = p0, p2 = p3;
  if (kind % 7 == 6) p3 = p0;
  return vcBezierCurve(p0, p1, p2, p3, w[0], w[1], w[2], w[3]);
}

double size(const vcBezierCurve& c) {
  double s = 0.0;
  for (const V& q : c.controlPoints()) s = std::max(s, q.distance(c.controlPoint(0)));
  return std::max(s, 1e-300);
}

Pts dense(const vcBezierCurve& c, int n) {
  Pts r;
  for (int i = 0; i <= n; ++i) r.push_back(c.point(static_cast<double>(i) / n));
  return r;
}

}  // namespace

// The samples' side of the tolerance is the shape contract's; here the curve's side.
TEST(BezierCurve, SamplingAndDistanceFollowAwkwardCurves) {
  std::mt19937 g(2024);
  std::uniform_real_distribution<double> u(-150.0, 150.0);
  for (int i = 0; i < 70; ++i) {
    const vcBezierCurve c = randomCurve(g, i);
    const double slack = 1e-9 * size(c);
    const Pts d = dense(c, 20000);
    for (double rel : {1e-1, 1e-3}) {
      const double tol = rel * size(c);
      Pts s;
      c.sample(vcShape::vcSampleParams(tol), s);
      for (std::size_t k = 0; k < d.size(); k += 50) ASSERT_LE(vcPolyline(s, false).distanceToPoint(d[k]), tol + slack);
    }
    double gap = 0.0;
    for (std::size_t k = 1; k < d.size(); ++k) gap = std::max(gap, d[k].distance(d[k - 1]));
    for (int k = 0; k < 5; ++k) {
      const V p(u(g), u(g));
      double brute = INFINITY;
      for (const V& q : d) brute = std::min(brute, q.distance(p));
      const double dist = c.distanceToPoint(p);
      EXPECT_LE(dist, brute + slack);
      EXPECT_GE(dist, brute - gap);
      EXPECT_NEAR(c.point(c.nearestParam(p)).distance(p), dist, 1e-12 * size(c));
    }
  }
}

TEST(BezierCurve, AffineMapSplitAndReverseAreExact) {
  std::mt19937 g(17);
  std::uniform_real_distribution<double> u(-2.0, 2.0), t01(0.0, 1.0);
  for (int i = 0; i < 35; ++i) {
    const vcBezierCurve c = randomCurve(g, i);
    const vcXform<2> x(vcMatrix<2>(u(g), u(g), u(g), u(g)), V(u(g) * 50, u(g) * 50));
    const vcShapeHandle mapped = c.mapShape(x), rev = c.reverse();
    const auto* mc = dynamic_cast<const vcBezierCurve*>(mapped.ptr());
    ASSERT_NE(mc, nullptr);
    const auto& rc = dynamic_cast<const vcBezierCurve&>(*rev);
    const double at = t01(g);
    const auto [left, right] = c.split(at);
    const double tol = 1e-9 * (size(c) + 100.0);
    for (int k = 0; k <= 10; ++k) {
      const double t = k / 10.0;
      EXPECT_NEAR(mc->point(t).distance(x.mapPoint(c.point(t))), 0.0, 1e-9 * (size(*mc) + 100.0));
      EXPECT_NEAR(rc.point(1.0 - t).distance(c.point(t)), 0.0, tol);
      EXPECT_NEAR(left.point(t).distance(c.point(t * at)), 0.0, tol);
      EXPECT_NEAR(right.point(t).distance(c.point(at + t * (1.0 - at))), 0.0, tol);
    }
  }
}

TEST(BezierCurve, RationalQuarterCircleTangentsAndBadCoefficients) {
  // The quadratic arc (r,0) (r,r) (0,r) with middle weight cos 45deg, raised to a cubic.
  const double r = 3.0, w = std::sqrt(0.5), w1 = (1.0 + 2.0 * w) / 3.0;
  const V p1 = (V(r, 0) + V(r, r) * (2.0 * w)) / (1.0 + 2.0 * w);
  const V p2 = (V(0, r) + V(r, r) * (2.0 * w)) / (1.0 + 2.0 * w);
  const vcBezierCurve arc(V(r, 0), p1, p2, V(0, r), 1.0, w1, w1, 1.0);
  for (int k = 0; k <= 20; ++k) EXPECT_NEAR(arc.point(k / 20.0).len(), r, 1e-12);
  EXPECT_NEAR(arc.length(), std::numbers::pi * r / 2.0, 1e-10);
  EXPECT_NEAR(arc.distanceToPoint(V(5, 5)), std::hypot(5, 5) - r, 1e-12);
  EXPECT_NEAR(arc.tangentAt(V(4, 4)).x(), -std::sqrt(0.5), 1e-9);
  const vcBezierCurve cusp(V(0, 0), V(1, 1), V(0, 1), V(1, 0));
  EXPECT_NEAR(cusp.tangentAt(cusp.point(0.5)).len(), 1.0, 1e-12);
  const vcBezierCurve doubled(V(0, 0), V(0, 0), V(5, 0), V(5, 0));
  EXPECT_NEAR(doubled.tangentAt(V(-1, 0)).x(), 1.0, 1e-12);
  EXPECT_THROW(vcBezierCurve().tangentAt(V(1, 1)), vcShapesError::NoTangent);

  const V o(0, 0), a(1, 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(vcBezierCurve(o, a, a, V(nan, 0)), vcShapesError::BadCoef);
  EXPECT_THROW(vcBezierCurve(o, a, a, o, 1, 0, 1, 1), vcShapesError::BadCoef);
  EXPECT_THROW(cusp.point(1.5), vcBadArgument);
  EXPECT_THROW(cusp.point(nan), vcBadArgument);
}

// Curves from untrusted files may have extreme control points or ask for absurd
// tolerances; where lengths overflow the curve is still sampled, evenly in t.
TEST(BezierCurve, HostileSamplingRequestsStayWithinThePointLimit) {
  const vcBezierCurve c(V(0, 0), V(1, 5), V(4, -5), V(5, 0));
  const vcBezierCurve huge(V(-1e47, 3e46), V(2e47, -1e47), V(-3e46, 5e47), V(1e47, 1e47));
  const vcBezierCurve overflowing(V(-1e308, 0), V(1e308, 1e308), V(-1e308, -1e308), V(1e308, 0));
  const struct {
    const vcBezierCurve& curve;
    double tol, spacing;
    long limit;
    std::size_t exactly;  // 0: at most the limit
  } cases[] = {{c, 1e-300, 0, 1000, 1000}, {huge, 1e-3, 0, 5000, 0}, {overflowing, 0, 1, 100, 100}};
  for (const auto& k : cases) {
    vcShape::vcSampleParams params(k.tol, k.spacing);
    params.maxPoints(k.limit);
    Pts s;
    k.curve.sample(params, s);
    EXPECT_EQ(s.size() == k.exactly, k.exactly != 0);
    EXPECT_LE(s.size(), static_cast<std::size_t>(k.limit));
    EXPECT_EQ(s.front(), k.curve.startPoint());
    for (const V& q : s) EXPECT_TRUE(std::isfinite(q.x()) && std::isfinite(q.y()));
  }
  EXPECT_TRUE(std::isfinite(huge.length()));
}

namespace {

Pts randomPoints(std::mt19937& g, std::size_t n) {
  std::uniform_real_distribution<double> u(-50.0, 50.0);
  Pts p;
  for (std::size_t i = 0; i < n; ++i) p.emplace_back(u(g), u(g));
  return p;
}

// Cox-de Boor evaluation of the cubic B-spline (knots, ctrl) at u, the reference.
V deBoorReference(const std::vector<double>& k, const Pts& c, double u) {
  std::size_t span = 3;
  while (span + 1 < c.size() && k[span + 1] <= u) ++span;
  Pts d(c.begin() + static_cast<std::ptrdiff_t>(span) - 3, c.begin() + static_cast<std::ptrdiff_t>(span) + 1);
  for (std::size_t r = 1; r <= 3; ++r)
    for (std::size_t j = 3; j >= r; --j) {
      const std::size_t i = span - 3 + j;
      const double a = (u - k[i]) / (k[i + 4 - r] - k[i]);
      d[j] = d[j - 1] * (1.0 - a) + d[j] * a;
    }
  return d[3];
}

// First and second derivatives of a polynomial Bézier piece at its start or end.
V d1(const vcBezierCurve& b, bool end) {
  return end ? (b.controlPoint(3) - b.controlPoint(2)) * 3.0 : (b.controlPoint(1) - b.controlPoint(0)) * 3.0;
}
V d2(const vcBezierCurve& b, bool end) {
  return end ? (b.controlPoint(3) - b.controlPoint(2) * 2.0 + b.controlPoint(1)) * 6.0
             : (b.controlPoint(2) - b.controlPoint(1) * 2.0 + b.controlPoint(0)) * 6.0;
}

// Pieces meet with equal position, first and (when c2) second derivative, around the loop when closed.
void expectSmoothJoints(const vcCubicSpline& s, bool c2) {
  const long n = s.numBezierCurves();
  for (long i = 0; i + (s.isClosed() ? 0 : 1) < n; ++i) {
    const vcBezierCurve &a = s.bezierCurve(i), &b = s.bezierCurve((i + 1) % n);
    EXPECT_NEAR(a.endPoint().distance(b.startPoint()), 0.0, 1e-9) << "joint " << i;
    EXPECT_NEAR(d1(a, true).distance(d1(b, false)), 0.0, 1e-8) << "joint " << i;
    if (c2) {
      EXPECT_NEAR(d2(a, true).distance(d2(b, false)), 0.0, 1e-7) << "joint " << i;
    }
  }
}

}  // namespace

TEST(CubicSpline, OpenDeBoorSplineMatchesTheClampedBSplineDefinition) {
  std::mt19937 g(41);
  for (std::size_t n = 4; n < 12; ++n) {
    const Pts c = randomPoints(g, n);
    const vcDeBoorSpline s(c);
    ASSERT_EQ(s.numBezierCurves(), static_cast<long>(n - 3));
    std::vector<double> knots(4, 0.0);
    for (std::size_t i = 1; i < n - 3; ++i) knots.push_back(static_cast<double>(i));
    knots.insert(knots.end(), 4, static_cast<double>(n - 3));
    for (long i = 0; i < s.numBezierCurves(); ++i)
      for (double t : {0.0, 0.3, 0.7})
        EXPECT_NEAR(s.bezierCurve(i).point(t).distance(deBoorReference(knots, c, static_cast<double>(i) + t)), 0.0, 1e-9);
    expectSmoothJoints(s, true);
  }
}

TEST(CubicSpline, ClosedSplinesAreC2AllAroundAndInterpolantsHitTheirPoints) {
  std::mt19937 g(8);
  for (int i = 0; i < 10; ++i) {
    const Pts p = randomPoints(g, 3 + g() % 7);
    const vcDeBoorSpline db(p, true);
    EXPECT_EQ(db.numBezierCurves(), static_cast<long>(p.size()));
    EXPECT_NEAR(db.bezierCurve(0).startPoint().distance((p.back() + p[0] * 4.0 + p[1]) / 6.0), 0.0, 1e-12);
    expectSmoothJoints(db, true);
    for (bool closed : {false, true}) {
      const vcInterpSpline in(p, closed);
      ASSERT_EQ(in.numBezierCurves(), static_cast<long>(closed ? p.size() : p.size() - 1));
      for (long k = 0; k < in.numBezierCurves(); ++k) EXPECT_EQ(in.bezierCurve(k).startPoint(), p[k]);
      expectSmoothJoints(in, true);
      if (!closed) {
        // Natural ends: no curvature.
        EXPECT_NEAR(d2(in.bezierCurves().front(), false).len(), 0.0, 1e-9);
        EXPECT_NEAR(d2(in.bezierCurves().back(), true).len(), 0.0, 1e-9);
      }
    }
    const Pts t = randomPoints(g, p.size());
    const vcHermiteSpline h(p, t, true);
    for (long k = 0; k < h.numBezierCurves(); ++k)
      EXPECT_NEAR(d1(h.bezierCurve(k), false).distance(t[static_cast<std::size_t>(k)]), 0.0, 1e-12);
    expectSmoothJoints(h, false);
  }
}

TEST(CubicSpline, MapReverseAndDuplicatedJoinsFollowEveryPiece) {
  std::mt19937 g(12);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (int i = 0; i < 24; ++i) {
    const bool closed = i % 2;
    const std::size_t n = 4 + g() % 6;
    std::unique_ptr<vcCubicSpline> s;
    if (i % 3 == 0) s = std::make_unique<vcDeBoorSpline>(randomPoints(g, n), closed);
    if (i % 3 == 1) s = std::make_unique<vcInterpSpline>(randomPoints(g, n), closed);
    if (i % 3 == 2) s = std::make_unique<vcHermiteSpline>(randomPoints(g, n), randomPoints(g, n), closed);
    const vcXform<2> x(vcMatrix<2>(u(g), u(g), u(g), u(g)), V(u(g) * 10, u(g) * 10));
    const vcShapeHandle m = s->mapShape(x), r = s->reverse();
    ASSERT_EQ(typeid(*m), typeid(*s));
    ASSERT_EQ(typeid(*r), typeid(*s));
    const auto& rs = dynamic_cast<const vcCubicSpline&>(*r);
    EXPECT_EQ(dynamic_cast<const vcCubicSpline&>(*m).isClosed(), s->isClosed());
    Pts back, pts, dup;
    rs.sample(vcShape::vcSampleParams(0.01), back);
    for (const V& q : back) EXPECT_LE(s->distanceToPoint(q), 1e-8);
    if (!closed) {
      EXPECT_NEAR(back.front().distance(s->endPoint()), 0.0, 1e-9);
    }
    EXPECT_TRUE(*rs.reverse() == *s);
    s->sample(vcShape::vcSampleParams(0.01), pts);
    s->sample(vcShape::vcSampleParams(0.01, 0.0, 2, true), dup);
    EXPECT_EQ(dup.size(), pts.size() + static_cast<std::size_t>(s->numBezierCurves() - 1));
  }
}

TEST(CubicSpline, BadCoefficientsAndEmptySplines) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Pts three{{0, 0}, {1, 1}, {2, 0}};
  EXPECT_THROW(vcDeBoorSpline{three}, vcShapesError::BadCoef);
  EXPECT_NO_THROW(vcDeBoorSpline(three, true));
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}, {nan, 0}, {1, 0}}), vcShapesError::BadCoef);
  EXPECT_THROW(vcHermiteSpline(three, Pts{{1, 0}}), vcShapesError::BadCoef);
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}, {1e308, 0}, {-1e308, 0}}), vcShapesError::BadCoef);  // overflows
  EXPECT_THROW(vcInterpSpline(three).bezierCurve(2), vcBadArgument);

  const vcHermiteSpline e;
  EXPECT_THROW(e.boundingBox(), vcShapesError::DegenerateShape);
  Pts pts;
  e.sample(vcShape::vcSampleParams(0.1), pts);
  EXPECT_TRUE(pts.empty());
  EXPECT_EQ(vc_test::load(vc_test::store(e), vcHermiteSpline(Pts{{0, 0}, {1, 0}}, Pts{{1, 0}, {1, 0}})), e);
}
