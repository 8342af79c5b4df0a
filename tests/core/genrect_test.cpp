#include <vc/core/genrect.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include <vc/core/ellipse.h>
#include <vc/core/rect.h>

namespace {
using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;

// Random rectangles: rotated, skewed, mirrored, thin, with every kind of rounding.
struct Gen {
  std::mt19937 rng{20240611u};
  double uni(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
  V vec(double r) { return V(uni(-r, r), uni(-r, r)); }
  vcMatrix<2> matrix() {
    for (;;) {
      const vcMatrix<2> m(uni(-5, 5), uni(-5, 5), uni(-5, 5), uni(-5, 5));
      if (std::fabs(m.determinant()) > 0.5) return m;
    }
  }
  double rounding() {
    const double pick[4] = {0.0, 1.0, uni(0.0, 1.0), uni(0.0, 1.0)};
    return pick[rng() % 4];
  }
  vcGenRect rect() { return vcGenRect(vec(20), matrix(), V(rounding(), rounding())); }
};

std::vector<V> sampled(const vcShape& s, double tol) {
  std::vector<V> pts;
  s.sample(vcShape::vcSampleParams(tol), pts);
  return pts;
}

double polylineDistance(const std::vector<V>& pts, const V& p) {
  double best = INFINITY;
  for (std::size_t i = 1; i < pts.size(); ++i) {
    const V d = pts[i] - pts[i - 1];
    const double t = d.len2() > 0 ? std::clamp((p - pts[i - 1]).dot(d) / d.len2(), 0.0, 1.0) : 0.0;
    best = std::min(best, p.distance(pts[i - 1] + d * t));
  }
  return best;
}

TEST(GenRectTest, ConstructorsPlaceCornersAndDescribeOrientationAndSkew) {
  const vcGenRect r(V(10, 20), V(8, 4), vcRadian(kPi / 2), V(0.25, 0.5));
  EXPECT_LT(r.corner(0).distance(V(12, 16)), 1e-12);
  EXPECT_LT(r.corner(1).distance(V(12, 24)), 1e-12);
  EXPECT_LT(r.corner(2).distance(V(8, 24)), 1e-12);
  EXPECT_NEAR(r.data().orientation.toDouble(), kPi / 2, 1e-12);
  const vcGenRect skewed(V(), vcMatrix<2>(1, 1, 0, 1), V());
  EXPECT_NEAR(skewed.data().skew.toDouble(), -kPi / 4, 1e-12);  // second side leans back toward the first
  EXPECT_THROW(vcGenRect(V(), vcMatrix<2>(), V(1.5, 0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcGenRect(V(), V(-1, 1), vcRadian(0), V()), vcShapesError::BadGeom);
}

// Over random rectangles: the boundary samples are where the shape ends
// along rays from the (convex) centre; distance outside, area and perimeter
// agree with a dense sampling; a fully rounded one is its ellipse.
TEST(GenRectTest, MeasuresAndDistancesAgreeWithADenseBoundary) {
  Gen g;
  for (int i = 0; i < 30; ++i) {
    const vcGenRect r = g.rect();
    const std::vector<V> pts = sampled(r, 0.05), dense = sampled(r, 1e-7);
    for (const V& p : pts) {
      const V v = p - r.center();
      EXPECT_TRUE(r.within(r.center() + v * (1 - 1e-9))) << i;
      EXPECT_FALSE(r.within(r.center() + v * (1 + 1e-9))) << i;
    }
    double area2 = 0, length = 0;
    for (std::size_t k = 1; k < dense.size(); ++k) {
      area2 += dense[k - 1].cross(dense[k]);
      length += dense[k - 1].distance(dense[k]);
    }
    EXPECT_NEAR(r.area(), std::fabs(area2) / 2, 1e-5 * r.area()) << i;
    EXPECT_NEAR(r.perimeter(), length, 1e-5 * length) << i;
    for (int j = 0; j < 20; ++j) {
      const V p = g.vec(40);
      EXPECT_NEAR(r.distanceToPoint(p), r.within(p) ? 0.0 : polylineDistance(dense, p), 2e-6) << i << ' ' << p;
    }
    const vcGenRect round(r.center(), g.matrix(), V(1, 1));
    EXPECT_NEAR(round.perimeter(), round.ellipse().perimeter(), 1e-9 * round.perimeter());
  }
  const vcGenRect thin(V(), vcMatrix<2>(3, 6, 1, 2), V(0.5, 0.5));  // collapsed onto a segment
  EXPECT_TRUE(thin.isEmpty() && thin.within(V(1.5, 0.5)));
  EXPECT_NEAR(thin.distanceToPoint(V(1.0, 3.5)), 9.5 / std::sqrt(10.0), 1e-9);
  const vcGenRect circle(V(1, 1), vcMatrix<2>::scale(2, 2), V(1, 1));
  EXPECT_NEAR(circle.tangentAt(V(5, 1)).y(), 1.0, 1e-9);  // the contour turns from +x toward +y
}

TEST(GenRectTest, SamplingDuplicatesOnlyTheSquareCorners) {
  const vcGenRect square(V(1, 1), vcMatrix<2>(2, 0, 0, 1), V(0.6, 0.0));  // one zero rounding
  std::vector<V> pts;
  square.sample(vcShape::vcSampleParams(0, 0, 2, true, true), pts);
  ASSERT_EQ(pts.size(), 8u);
  EXPECT_EQ(pts[1], square.corner(1));
  EXPECT_EQ(pts[2], square.corner(1));
}

TEST(GenAnnulusTest, CircularAnnulusMeasuresAndNestingKeptByMaps) {
  const vcGenAnnulus a(V(2, 3), 1.0, 4.0);
  EXPECT_NEAR(a.area(), kPi * 15.0, 1e-12);
  EXPECT_NEAR(a.perimeter(), 2 * kPi * 5.0, 1e-12);
  EXPECT_FALSE(a.within(V(2.5, 3)));
  EXPECT_TRUE(a.within(V(3, 3)));  // the inner boundary belongs to the region
  EXPECT_NEAR(a.distanceToPoint(V(2.25, 3)), 0.75, 1e-9);
  EXPECT_NEAR(a.tangentAt(V(2, 3.8)).x(), 1.0, 1e-9);  // nearer the inner contour, which runs backward
  EXPECT_THROW(vcGenAnnulus(V(), 2.0, 1.0), vcShapesError::BadRadius);

  const vcGenRect outer(V(), vcMatrix<2>(3, 1, 0, 2), V(0.4, 0.9));
  EXPECT_NO_THROW(vcGenAnnulus(outer, outer));  // touching itself is nested
  EXPECT_THROW(vcGenAnnulus(outer.map(vcXform<2>::scale(1.01, 1.01)), outer), vcShapesError::BadGeom);
  EXPECT_THROW(vcGenAnnulus(outer, outer.map(vcXform<2>::translation(V(0.01, 0)))), vcShapesError::BadGeom);
  const vcGenAnnulus ring(outer.map(vcXform<2>::scale(0.5, 0.5)), outer);
  Gen g;
  for (int i = 0; i < 20; ++i) {
    const vcXform<2> x(g.matrix(), g.vec(10));
    const vcShapeHandle h = ring.mapShape(x);
    const auto* m = dynamic_cast<const vcGenAnnulus*>(h.ptr());
    ASSERT_NE(m, nullptr);
    EXPECT_NEAR(m->area(), ring.area() * std::fabs(x.matrix().determinant()), 1e-9 * m->area());
    EXPECT_EQ(m->inner(), ring.inner().map(x));
  }
}

}  // namespace
