// Circles, annuli, axis-aligned, affine and general (rounded) rectangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include <vc/core/affinerect.h>
#include <vc/core/circle.h>
#include <vc/core/ellipse.h>
#include <vc/core/genrect.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>

#include "support/test_shapes.h"

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
};

std::vector<V> sampled(const vcShape& s, const vcShape::vcSampleParams& params) {
  std::vector<V> pts;
  s.sample(params, pts);
  return pts;
}
}  // namespace

TEST(Circle, BadRadiusAndCenterAreRejected) {
  EXPECT_THROW(vcCircle(V(0, 0), -1.0), vcShapesError::BadRadius);
  EXPECT_THROW(vcCircle(V(0, 0), NAN), vcShapesError::BadRadius);
  EXPECT_THROW(vcCircle(V(NAN, 0), 1.0), vcShapesError::BadGeom);
  EXPECT_THROW(vcAnnulus(V(0, 0), 3.0, 2.0), vcShapesError::BadRadius);
  EXPECT_THROW(vcAnnulus(V(0, 0), -1.0, 2.0), vcShapesError::BadRadius);
}

TEST(Circle, DiscAndAnnulusMeasuresTangentsAndMaps) {
  const vcCircle c(V(-2, 5), 4.0);
  EXPECT_NEAR(c.area(), 16 * kPi, 1e-12);
  EXPECT_NEAR(c.tangentAt(V(-2, 0)).x(), 1.0, 1e-12);  // running toward +angle at angle -pi/2
  EXPECT_THROW(vcCircle(V(), 0.0).tangentAt(V(1, 1)), vcShapesError::NoTangent);
  for (const vcXform<2>& x : vc_test::similarities()) {
    const vcShapeHandle h = c.mapShape(x);
    ASSERT_NE(vc_test::as<vcCircle>(h), nullptr);
    EXPECT_NEAR(vc_test::as<vcCircle>(h)->radius(), 4.0 * std::sqrt(std::fabs(x.determinant())), 1e-12);
  }
  EXPECT_TRUE(c.map(vcXform<2>(vcMatrix<2>(1, 0.5, 0, -2), V(4, 0))).isLeftHanded());
  EXPECT_FALSE(c.map(vcXform<2>::scale(1, 3)).isLeftHanded());

  const vcAnnulus a(V(0, 0), 2.0, 5.0);
  EXPECT_TRUE(a.within(V(0, 2)) && !a.within(V(1, 0)));
  EXPECT_NEAR(a.area(), 21 * kPi, 1e-12);
  EXPECT_NEAR(a.tangentAt(V(2, 0)).y(), -1.0, 1e-12);  // the inner contour runs against the outer one
  const vcShapeHandle h = a.mapShape(vcXform<2>(vcMatrix<2>(1, 1, 0, 2), V(3, 0)));
  ASSERT_NE(vc_test::as<vcGenAnnulus>(h), nullptr);
  EXPECT_NEAR(h->area(), a.area() * 2.0, 1e-6);
}

TEST(RectTest, EncloseIntersectAndContainClosedAndPixelRectangles) {
  vcRect r;
  EXPECT_FALSE(r.contains(V(0.0, 0.0)));
  r.enclose(vcRect()).enclose(V(2.0, 3.0));
  EXPECT_TRUE(r.isEmpty() && !r.isNull() && r.contains(V(2.0, 3.0)));
  r.enclose(vcRect(0.0, 1.0, 5.0, 0.0)).enclose(V(-1.0, 5.0));
  EXPECT_EQ(r, vcRect(-1.0, 1.0, 6.0, 4.0));
  for (double v : {0.1, -0.39, 1.01, 1e-300, 12345.678901}) {
    r.enclose(V(v, -v));
    EXPECT_TRUE(r.contains(V(v, -v))) << v;  // despite rounding of the stored size
  }
  const vcRect a(0.0, 0.0, 4.0, 4.0);
  EXPECT_EQ(a & vcRect(2.0, 1.0, 5.0, 1.0), vcRect(2.0, 1.0, 2.0, 1.0));
  EXPECT_TRUE((a & vcRect(5.0, 0.0, 1.0, 1.0)).isNull());
  EXPECT_EQ(a & vcRect(4.0, 1.0, 2.0, 2.0), vcRect(4.0, 1.0, 0.0, 2.0));
  EXPECT_TRUE(a.contains(V(4.0, 4.0)) && !a.contains(V(4.000001, 2.0)));
  EXPECT_TRUE(vcRect(10.0, 10.0, -6.0, -4.0).isNull());
  const vcRectangle<long> w(0, 0, 10, 10);
  EXPECT_TRUE(w.contains(9, 9) && !w.contains(vcPair<long>(10, 0)));
  EXPECT_FALSE(w.contains(vcRectangle<long>(5, 5, 6, 5)));
  EXPECT_EQ(w & vcRectangle<long>(5, -5, 10, 10), vcRectangle<long>(5, 0, 5, 5));
  EXPECT_EQ(w & vcRectangle<long>(10, 0, 5, 5), vcRectangle<long>());
}

TEST(RectShapeTest, CornersTangentsAndMapsThatKeepARectOrNot) {
  const vcRect r(1.0, 2.0, 4.0, 3.0);
  EXPECT_EQ(r.tangentAt(V(6.0, 3.5)), V(0.0, 1.0));
  EXPECT_THROW(vcRect(0.0, 0.0, -2.0, 3.0).distanceToPoint(V()), vcShapesError::DegenerateShape);
  EXPECT_EQ(sampled(r, vcShape::vcSampleParams(0.0, 0.0, 2, false, false)),
            (std::vector<V>{r.origin(), V(5.0, 2.0), r.corner(), V(1.0, 5.0)}));
  EXPECT_EQ(*r.mapShape(vcXform<2>(vcMatrix<2>(2.0, 0.0, 0.0, 0.5), V(1.0, -1.0))), vcRect(3.0, 0.0, 8.0, 1.5));
  EXPECT_NE(vc_test::as<vcGenRect>(r.mapShape(vcXform<2>::scale(-1.0, 1.0))), nullptr);
}

TEST(AffineRectangleTest, CenterFormAndRegionQueriesAgreeWithTheEquivalentGenRect) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1.2, 1.2);
  for (int i = 0; i < 20; ++i) {
    const V c(10 * u(rng), 10 * u(rng));
    const double x = 3 + u(rng), y = 2 + u(rng), r1 = 2 * u(rng), r2 = u(rng);
    const vcAffineRectangle a(c, x, y, vcRadian(r1), vcRadian(r2));
    EXPECT_LT(a.center().distance(c), 1e-12);
    EXPECT_NEAR(a.xLength(), x, 1e-12);
    EXPECT_NEAR(a.yLength(), y, 1e-12);
    EXPECT_NEAR(a.rotation().toDouble(), r1, 1e-12);
    EXPECT_NEAR(a.skew().toDouble(), r2, 1e-12);
    EXPECT_NEAR(a.area(), x * y * std::cos(r2), 1e-9);
    const vcGenRect g = a.genRect();
    EXPECT_NEAR(a.perimeter(), g.perimeter(), 1e-9 * g.perimeter());
    for (int j = 0; j < 30; ++j) {
      const V p(8 * u(rng), 8 * u(rng));
      EXPECT_NEAR(a.distanceToPoint(p), g.distanceToPoint(p), 1e-9) << i << ' ' << p;
    }
  }
  EXPECT_LT(vcAffineRectangle(V(10, 5), 4.0, 2.0, vcRadian(0), vcRadian(0)).cornerPy().distance(V(8, 6)), 1e-12);
  const vcAffineRectangle flat(V(0, 0), V(2, 0), V(-1, 0));
  EXPECT_TRUE(flat.isEmpty() && flat.within(V(1.5, 0)));
  EXPECT_NEAR(flat.distanceToPoint(V(1, 2)), 2.0, 1e-12);
  EXPECT_THROW(vcAffineRectangle(V(), -1.0, 1.0, vcRadian(0), vcRadian(0)), vcShapesError::BadGeom);
}

TEST(GenRectTest, MeasuresAndDistancesAgreeWithADenseBoundary) {
  Gen g;
  for (int i = 0; i < 30; ++i) {
    const vcGenRect r(g.vec(20), g.matrix(), V(g.rounding(), g.rounding()));
    const std::vector<V> pts = sampled(r, vcShape::vcSampleParams(0.05)), dense = sampled(r, vcShape::vcSampleParams(1e-7));
    for (const V& p : pts) {
      EXPECT_TRUE(r.within(r.center() + (p - r.center()) * (1 - 1e-9))) << i;
      EXPECT_FALSE(r.within(r.center() + (p - r.center()) * (1 + 1e-9))) << i;
    }
    double area2 = 0, length = 0;
    for (std::size_t k = 1; k < dense.size(); ++k) {
      area2 += dense[k - 1].cross(dense[k]);
      length += dense[k - 1].distance(dense[k]);
    }
    EXPECT_NEAR(r.area(), std::fabs(area2) / 2, 1e-5 * r.area()) << i;
    EXPECT_NEAR(r.perimeter(), length, 1e-5 * length) << i;
    const vcPolyline outline(dense, false);
    for (int j = 0; j < 20; ++j) {
      const V p = g.vec(40);
      EXPECT_NEAR(r.distanceToPoint(p), r.within(p) ? 0.0 : outline.distanceToPoint(p), 2e-6) << i << ' ' << p;
    }
    const vcGenRect round(r.center(), g.matrix(), V(1, 1));
    EXPECT_NEAR(round.perimeter(), round.ellipse().perimeter(), 1e-9 * round.perimeter());
  }
  const vcGenRect r(V(10, 20), V(8, 4), vcRadian(kPi / 2), V(0.25, 0.5));
  EXPECT_LT(r.corner(1).distance(V(12, 24)), 1e-12);
  EXPECT_NEAR(vcGenRect(V(), vcMatrix<2>(1, 1, 0, 1), V()).data().skew.toDouble(), -kPi / 4, 1e-12);
  const vcGenRect thin(V(), vcMatrix<2>(3, 6, 1, 2), V(0.5, 0.5));  // collapsed onto a segment
  EXPECT_TRUE(thin.isEmpty() && thin.within(V(1.5, 0.5)));
  EXPECT_NEAR(thin.distanceToPoint(V(1.0, 3.5)), 9.5 / std::sqrt(10.0), 1e-9);
  const vcGenRect square(V(1, 1), vcMatrix<2>(2, 0, 0, 1), V(0.6, 0.0));  // only the square corners doubled
  EXPECT_EQ(sampled(square, vcShape::vcSampleParams(0, 0, 2, true, true)).size(), 8u);
  EXPECT_THROW(vcGenRect(V(), vcMatrix<2>(), V(1.5, 0)), vcShapesError::BadGeom);
}

TEST(GenAnnulusTest, CircularAnnulusMeasuresAndNesting) {
  const vcGenAnnulus a(V(2, 3), 1.0, 4.0);
  EXPECT_NEAR(a.area(), kPi * 15.0, 1e-12);
  EXPECT_TRUE(a.within(V(3, 3)));  // the inner boundary belongs to the region
  EXPECT_NEAR(a.distanceToPoint(V(2.25, 3)), 0.75, 1e-9);
  EXPECT_NEAR(a.tangentAt(V(2, 3.8)).x(), 1.0, 1e-9);  // nearer the inner contour, which runs backward
  const vcGenRect outer(V(), vcMatrix<2>(3, 1, 0, 2), V(0.4, 0.9));
  EXPECT_NO_THROW(vcGenAnnulus(outer, outer));  // touching itself is nested
  EXPECT_THROW(vcGenAnnulus(outer.map(vcXform<2>::scale(1.01, 1.01)), outer), vcShapesError::BadGeom);
  EXPECT_THROW(vcGenAnnulus(outer, outer.map(vcXform<2>::translation(V(0.01, 0)))), vcShapesError::BadGeom);
  EXPECT_THROW(vcGenAnnulus(V(), 2.0, 1.0), vcShapesError::BadRadius);
}
