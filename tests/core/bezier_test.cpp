#include <vc/core/bezier.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include <vc/core/rect.h>

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

double polyDist(const Pts& poly, const V& p) {
  double best = poly.front().distance(p);
  for (std::size_t i = 1; i < poly.size(); ++i) {
    const V d = poly[i] - poly[i - 1];
    const double t = d.len2() > 0 ? std::clamp(d.dot(p - poly[i - 1]) / d.len2(), 0.0, 1.0) : 0.0;
    best = std::min(best, (poly[i - 1] + d * t).distance(p));
  }
  return best;
}

}  // namespace

// Over awkward curves, the curve stays within the tolerance of its samples
// (the samples' side is the shape contract's), and the distance is the true
// minimum off the curve.
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
      for (std::size_t k = 0; k < d.size(); k += 50) ASSERT_LE(polyDist(s, d[k]), tol + slack);
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

// A rational quarter circle is exact; tangents exist at cusps and doubled
// points but not on a point curve; bad coefficients and parameters are refused.
TEST(BezierCurve, RationalQuarterCircleTangentsAndBadCoefficients) {
  // The quadratic arc (r,0) (r,r) (0,r) with middle weight cos 45deg, raised to a cubic.
  const double r = 3.0, w = std::sqrt(0.5), w1 = (1.0 + 2.0 * w) / 3.0;
  const V p1 = (V(r, 0) + V(r, r) * (2.0 * w)) / (1.0 + 2.0 * w);
  const V p2 = (V(0, r) + V(r, r) * (2.0 * w)) / (1.0 + 2.0 * w);
  const vcBezierCurve arc(V(r, 0), p1, p2, V(0, r), 1.0, w1, w1, 1.0);
  for (int k = 0; k <= 20; ++k) EXPECT_NEAR(arc.point(k / 20.0).len(), r, 1e-12);
  EXPECT_NEAR(arc.length(), std::numbers::pi * r / 2.0, 1e-10);
  EXPECT_NEAR(arc.distanceToPoint(V(5, 5)), std::hypot(5, 5) - r, 1e-12);
  EXPECT_NEAR(arc.boundingBox().width(), r, 1e-12);
  EXPECT_NEAR(arc.tangentAt(V(4, 4)).x(), -std::sqrt(0.5), 1e-9);
  const vcBezierCurve cusp(V(0, 0), V(1, 1), V(0, 1), V(1, 0));
  EXPECT_NEAR(cusp.tangentAt(cusp.point(0.5)).len(), 1.0, 1e-12);
  const vcBezierCurve doubled(V(0, 0), V(0, 0), V(5, 0), V(5, 0));
  EXPECT_NEAR(doubled.tangentAt(V(-1, 0)).x(), 1.0, 1e-12);
  EXPECT_NEAR(doubled.length(), 5.0, 1e-10);
  EXPECT_THROW(vcBezierCurve().tangentAt(V(1, 1)), vcShapesError::NoTangent);

  const V o(0, 0), a(1, 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(vcBezierCurve(o, a, a, V(nan, 0)), vcShapesError::BadCoef);
  EXPECT_THROW(vcBezierCurve(o, a, a, o, 1, 0, 1, 1), vcShapesError::BadCoef);
  EXPECT_THROW(vcBezierCurve(o, a, a, o, 1, 1, INFINITY, 1), vcShapesError::BadCoef);
  EXPECT_THROW(cusp.point(1.5), vcBadArgument);
  EXPECT_THROW(cusp.point(nan), vcBadArgument);
}

// Curves from untrusted files may have extreme control points or ask for
// absurd tolerances; sampling under a point limit must finish with at most
// that many points, and where lengths overflow the curve is still sampled,
// evenly in t.
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
