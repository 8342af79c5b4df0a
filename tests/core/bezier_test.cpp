#include <vc/core/bezier.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/rect.h>

namespace {

using Pts = std::vector<vcVector<2>>;

// Random curves of every awkward kind: general, rational, heavy weights,
// collinear (backtracking) polygons, cusps, doubled control points, loops.
vcBezierCurve randomCurve(std::mt19937& g, int kind) {
  std::uniform_real_distribution<double> u(-100.0, 100.0), lw(-2.0, 2.0);
  auto pt = [&] { return vcVector<2>(u(g), u(g)); };
  vcVector<2> p0 = pt(), p1 = pt(), p2 = pt(), p3 = pt();
  double w[4] = {1, 1, 1, 1};
  switch (kind % 7) {
    case 1:
      for (double& x : w) x = std::pow(10.0, lw(g));
      break;
    case 2:
      w[1 + g() % 2] = (g() % 2) ? 1e3 : 1e-3;
      break;
    case 3: {
      const vcVector<2> d = pt() * 0.01;
      p1 = p0 + d * u(g), p2 = p0 + d * u(g), p3 = p0 + d * u(g);
      break;
    }
    case 4: {
      // The cubic (0,0) (1,1) (0,1) (1,0) has a cusp at t = 1/2; any affine image keeps it.
      const vcVector<2> ex = pt() * 0.5, ey = pt() * 0.5;
      p1 = p0 + ex + ey, p2 = p0 + ey, p3 = p0 + ex;
      break;
    }
    case 5:
      p1 = p0, p2 = p3;
      break;
    case 6:
      p3 = p0;
      break;
    default:
      break;
  }
  return vcBezierCurve(p0, p1, p2, p3, w[0], w[1], w[2], w[3]);
}

double size(const vcBezierCurve& c) {
  double s = 0.0;
  for (const vcVector<2>& q : c.controlPoints()) s = std::max(s, q.distance(c.controlPoint(0)));
  return std::max(s, 1e-300);
}

Pts dense(const vcBezierCurve& c, int n) {
  Pts r;
  for (int i = 0; i <= n; ++i) r.push_back(c.point(static_cast<double>(i) / n));
  return r;
}

double segDist(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p) {
  const vcVector<2> d = b - a;
  const double t = d.len2() > 0 ? std::clamp(d.dot(p - a) / d.len2(), 0.0, 1.0) : 0.0;
  return (a + d * t).distance(p);
}

double polyDist(const Pts& poly, const vcVector<2>& p) {
  double best = poly.front().distance(p);
  for (std::size_t i = 1; i < poly.size(); ++i) best = std::min(best, segDist(poly[i - 1], poly[i], p));
  return best;
}

// The chord property both ways: chord points near the curve, curve points near the chords.
void expectWithinTolerance(const vcBezierCurve& c, const Pts& s, double tol) {
  ASSERT_GE(s.size(), 2u);
  const double slack = 1e-9 * size(c);
  for (std::size_t i = 1; i < s.size(); ++i)
    for (double f : {0.25, 0.5, 0.75})
      ASSERT_LE(c.distanceToPoint(s[i - 1] + (s[i] - s[i - 1]) * f), tol + slack) << "chord " << i;
  for (const vcVector<2>& q : dense(c, 400)) ASSERT_LE(polyDist(s, q), tol + slack);
}

}  // namespace

// Samples keep every chord within the tolerance, and the box holds the
// curve tightly (no wider than the curve itself, as a hull box would be).
TEST(BezierCurve, SamplingAndBoxesFollowAwkwardCurves) {
  std::mt19937 g(2024);
  for (int i = 0; i < 140; ++i) {
    const vcBezierCurve c = randomCurve(g, i);
    for (double rel : {1e-1, 1e-3, 1e-6}) {
      if (rel < 1e-4 && i % 5) continue;
      const double tol = rel * size(c);
      Pts s;
      c.sample(vcShape::vcSampleParams(tol), s);
      EXPECT_EQ(s.front(), c.startPoint());
      EXPECT_EQ(s.back(), c.endPoint());
      expectWithinTolerance(c, s, tol);
    }
    if (i % 2) continue;
    const vcRect box = c.boundingBox();
    vcRect denseBox;
    for (const vcVector<2>& q : dense(c, 20000)) {
      ASSERT_TRUE(box.contains(q)) << q << " outside " << box;
      denseBox.enclose(q);
    }
    const double slack = 1e-3 * size(c);
    EXPECT_NEAR(box.x(), denseBox.x(), slack);
    EXPECT_NEAR(box.y(), denseBox.y(), slack);
    EXPECT_NEAR(box.corner().x(), denseBox.corner().x(), slack);
    EXPECT_NEAR(box.corner().y(), denseBox.corner().y(), slack);
  }
}

TEST(BezierCurve, DistanceIsExactOnTheCurveAndTheTrueMinimumOffIt) {
  std::mt19937 g(99);
  std::uniform_real_distribution<double> u(-150.0, 150.0), t01(0.0, 1.0);
  for (int i = 0; i < 70; ++i) {
    const vcBezierCurve c = randomCurve(g, i);
    for (int k = 0; k < 10; ++k) EXPECT_LE(c.distanceToPoint(c.point(t01(g))), 1e-9 * size(c));
    const Pts d = dense(c, 4000);
    double gap = 0.0;
    for (std::size_t k = 1; k < d.size(); ++k) gap = std::max(gap, d[k].distance(d[k - 1]));
    for (int k = 0; k < 10; ++k) {
      const vcVector<2> p(u(g), u(g));
      double bruteForce = std::numeric_limits<double>::infinity();
      for (const vcVector<2>& q : d) bruteForce = std::min(bruteForce, q.distance(p));
      const double dist = c.distanceToPoint(p);
      EXPECT_LE(dist, bruteForce + 1e-9 * size(c));
      EXPECT_GE(dist, bruteForce - gap);
      EXPECT_NEAR(c.point(c.nearestParam(p)).distance(p), dist, 1e-12 * size(c));
    }
  }
}

TEST(BezierCurve, AffineMapSplitAndReverseAreExact) {
  std::mt19937 g(17);
  std::uniform_real_distribution<double> u(-2.0, 2.0), t01(0.0, 1.0);
  for (int i = 0; i < 35; ++i) {
    const vcBezierCurve c = randomCurve(g, i);
    const vcXform<2> x(vcMatrix<2>(u(g), u(g), u(g), u(g)), vcVector<2>(u(g) * 50, u(g) * 50));
    const vcShapeHandle mapped = c.mapShape(x);
    const auto* mc = dynamic_cast<const vcBezierCurve*>(mapped.ptr());
    ASSERT_NE(mc, nullptr);
    const vcShapeHandle rev = c.reverse();
    const auto& rc = dynamic_cast<const vcBezierCurve&>(*rev);
    const double at = t01(g);
    const auto [left, right] = c.split(at);
    for (int k = 0; k <= 10; ++k) {
      const double t = k / 10.0;
      const double tol = 1e-9 * (size(c) + 100.0);
      EXPECT_NEAR(mc->point(t).distance(x.mapPoint(c.point(t))), 0.0, 1e-9 * (size(*mc) + 100.0));
      EXPECT_NEAR(rc.point(1.0 - t).distance(c.point(t)), 0.0, tol);
      EXPECT_NEAR(left.point(t).distance(c.point(t * at)), 0.0, tol);
      EXPECT_NEAR(right.point(t).distance(c.point(at + t * (1.0 - at))), 0.0, tol);
    }
  }
}

TEST(BezierCurve, RationalQuarterCircleIsExact) {
  // The quadratic arc (r,0) (r,r) (0,r) with middle weight cos 45deg, raised to a cubic.
  const double r = 3.0, w = std::sqrt(0.5), w1 = (1.0 + 2.0 * w) / 3.0;
  const vcVector<2> p1 = (vcVector<2>(r, 0) + vcVector<2>(r, r) * (2.0 * w)) / (1.0 + 2.0 * w);
  const vcVector<2> p2 = (vcVector<2>(0, r) + vcVector<2>(r, r) * (2.0 * w)) / (1.0 + 2.0 * w);
  const vcBezierCurve arc(vcVector<2>(r, 0), p1, p2, vcVector<2>(0, r), 1.0, w1, w1, 1.0);
  for (int k = 0; k <= 20; ++k) EXPECT_NEAR(arc.point(k / 20.0).len(), r, 1e-12);
  EXPECT_NEAR(arc.length(), std::numbers::pi * r / 2.0, 1e-10);
  EXPECT_NEAR(arc.distanceToPoint(vcVector<2>(0, 0)), r, 1e-12);
  EXPECT_NEAR(arc.distanceToPoint(vcVector<2>(5, 5)), std::hypot(5, 5) - r, 1e-12);
  const vcRect box = arc.boundingBox();
  EXPECT_NEAR(box.width(), r, 1e-12);
  EXPECT_NEAR(box.height(), r, 1e-12);
  const vcVector<2> tan = arc.tangentAt(vcVector<2>(4, 4));
  EXPECT_NEAR(tan.x(), -std::sqrt(0.5), 1e-9);
  EXPECT_NEAR(tan.y(), std::sqrt(0.5), 1e-9);
}

TEST(BezierCurve, TangentExistsAtCuspsAndDoubledPointsButNotOnAPointCurve) {
  const vcBezierCurve cusp(vcVector<2>(0, 0), vcVector<2>(1, 1), vcVector<2>(0, 1), vcVector<2>(1, 0));
  const vcVector<2> t = cusp.tangentAt(cusp.point(0.5));
  EXPECT_NEAR(t.len(), 1.0, 1e-12);
  const vcBezierCurve doubled(vcVector<2>(0, 0), vcVector<2>(0, 0), vcVector<2>(5, 0), vcVector<2>(5, 0));
  EXPECT_NEAR(doubled.tangentAt(vcVector<2>(-1, 0)).x(), 1.0, 1e-12);
  EXPECT_NEAR(doubled.tangentAt(vcVector<2>(6, 0)).x(), 1.0, 1e-12);
  EXPECT_NEAR(doubled.length(), 5.0, 1e-10);
  const vcBezierCurve dot;
  EXPECT_FALSE(dot.hasTangent());
  EXPECT_THROW(dot.tangentAt(vcVector<2>(1, 1)), vcShapesError::NoTangent);
  Pts s;
  dot.sample(vcShape::vcSampleParams(0.1, 0.1), s);
  EXPECT_EQ(s, (Pts{vcVector<2>(), vcVector<2>()}));
}

TEST(BezierCurve, BadCoefficientsAndIndicesAreRejected) {
  const vcVector<2> o(0, 0), a(1, 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(vcBezierCurve(o, a, a, vcVector<2>(nan, 0)), vcShapesError::BadCoef);
  EXPECT_THROW(vcBezierCurve(o, a, a, o, 1, 0, 1, 1), vcShapesError::BadCoef);
  EXPECT_THROW(vcBezierCurve(o, a, a, o, 1, -1, 1, 1), vcShapesError::BadCoef);
  EXPECT_THROW(vcBezierCurve(o, a, a, o, 1, 1, std::numeric_limits<double>::infinity(), 1), vcShapesError::BadCoef);
  const vcBezierCurve c(o, a, a, o);
  EXPECT_THROW(c.controlPoint(4), vcBadArgument);
  EXPECT_THROW(c.weight(-1), vcBadArgument);
  EXPECT_THROW(c.point(1.5), vcBadArgument);
  EXPECT_THROW(c.point(nan), vcBadArgument);
}

// Curves from untrusted files may have extreme control points or ask for
// absurd tolerances; sampling under a point limit must finish with at most
// that many points (it once spent minutes measuring arc lengths), and where
// lengths overflow the curve is still sampled, evenly in t.
TEST(BezierCurve, HostileSamplingRequestsStayWithinThePointLimit) {
  const vcBezierCurve c(vcVector<2>(0, 0), vcVector<2>(1, 5), vcVector<2>(4, -5), vcVector<2>(5, 0));
  const vcBezierCurve huge(vcVector<2>(-1e47, 3e46), vcVector<2>(2e47, -1e47), vcVector<2>(-3e46, 5e47),
                           vcVector<2>(1e47, 1e47));
  const vcBezierCurve overflowing(vcVector<2>(-1e308, 0), vcVector<2>(1e308, 1e308), vcVector<2>(-1e308, -1e308),
                                  vcVector<2>(1e308, 0));
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
    if (k.exactly) {
      EXPECT_EQ(s.size(), k.exactly);
    } else {
      EXPECT_LE(s.size(), static_cast<std::size_t>(k.limit));
    }
    EXPECT_EQ(s.front(), k.curve.startPoint());
    for (const vcVector<2>& q : s) EXPECT_TRUE(std::isfinite(q.x()) && std::isfinite(q.y()));
  }
  EXPECT_TRUE(std::isfinite(huge.length()));
}
