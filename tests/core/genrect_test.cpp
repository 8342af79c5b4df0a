#include <vc/core/genrect.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/core/ellipse.h>
#include <vc/core/rect.h>

namespace {
constexpr double kPi = std::numbers::pi;

// Random rectangles: rotated, skewed, mirrored, thin, with every kind of rounding.
struct Gen {
  std::mt19937 rng{20240611u};
  double uni(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
  vcVector<2> vec(double r) { return vcVector<2>(uni(-r, r), uni(-r, r)); }
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
  vcGenRect rect() { return vcGenRect(vec(20), matrix(), vcVector<2>(rounding(), rounding())); }
  vcXform<2> xform() { return vcXform<2>(matrix(), vec(10)); }
};

std::vector<vcVector<2>> sampled(const vcShape& s, double tol) {
  std::vector<vcVector<2>> pts;
  s.sample(vcShape::vcSampleParams(tol), pts);
  return pts;
}

// Distance from p to the polyline through pts.
double polylineDistance(const std::vector<vcVector<2>>& pts, const vcVector<2>& p) {
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 1; i < pts.size(); ++i) {
    const vcVector<2> d = pts[i] - pts[i - 1];
    const double t = d.len2() > 0 ? std::clamp((p - pts[i - 1]).dot(d) / d.len2(), 0.0, 1.0) : 0.0;
    best = std::min(best, p.distance(pts[i - 1] + d * t));
  }
  return best;
}

// The distance from a point inside r to r's boundary: an annulus with r as
// its hole measures it.
double boundaryDistance(const vcGenRect& r, const vcVector<2>& p) {
  const vcRect box = r.boundingBox();
  const vcGenRect big(box.center(), vcMatrix<2>::scale(box.width() + 1, box.height() + 1), vcVector<2>());
  return vcGenAnnulus(r, big).distanceToPoint(p);
}

TEST(GenRectTest, ConstructorsPlaceCornersAndDescribeOrientationAndSkew) {
  const vcGenRect r(vcVector<2>(10, 20), vcVector<2>(8, 4), vcRadian(kPi / 2), vcVector<2>(0.25, 0.5));
  EXPECT_LT(r.corner(0).distance(vcVector<2>(12, 16)), 1e-12);
  EXPECT_LT(r.corner(1).distance(vcVector<2>(12, 24)), 1e-12);
  EXPECT_LT(r.corner(2).distance(vcVector<2>(8, 24)), 1e-12);
  EXPECT_LT(r.sideLengths().distance(vcVector<2>(8, 4)), 1e-12);
  const vcGenRect::vcGenRectData d = r.data();
  EXPECT_NEAR(d.orientation.toDouble(), kPi / 2, 1e-12);
  EXPECT_NEAR(d.skew.toDouble(), 0.0, 1e-12);
  EXPECT_EQ(d.xRounding, 0.25);
  EXPECT_EQ(d.yRounding, 0.5);

  const vcGenRect skewed(vcVector<2>(), vcMatrix<2>(1, 1, 0, 1), vcVector<2>());
  EXPECT_NEAR(skewed.data().skew.toDouble(), -kPi / 4, 1e-12);  // second side leans back toward the first
  EXPECT_NEAR(skewed.area(), 4.0, 1e-12);

  EXPECT_THROW(vcGenRect(vcVector<2>(), vcMatrix<2>(), vcVector<2>(1.5, 0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcGenRect(vcVector<2>(), vcMatrix<2>(), vcVector<2>(std::nan(""), 0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcGenRect(vcVector<2>(), vcVector<2>(-1, 1), vcRadian(0), vcVector<2>()), vcShapesError::BadGeom);
  EXPECT_THROW(vcGenRect(vcVector<2>(std::numeric_limits<double>::infinity(), 0), vcMatrix<2>(), vcVector<2>()),
               vcShapesError::BadGeom);
}

TEST(GenRectTest, FullyRoundedRectangleIsItsInscribedEllipse) {
  Gen g;
  for (int i = 0; i < 20; ++i) {
    const vcGenRect r(g.vec(10), g.matrix(), vcVector<2>(1, 1));
    const vcEllipse e = r.ellipse();
    EXPECT_NEAR(r.area(), e.area(), 1e-9 * e.area());
    EXPECT_NEAR(r.perimeter(), e.perimeter(), 1e-9 * e.perimeter());
    for (int j = 0; j < 20; ++j) {
      const vcVector<2> p = g.vec(30);
      EXPECT_NEAR(r.distanceToPoint(p), e.distanceToPoint(p), 1e-8) << p;
    }
  }
}

TEST(GenRectTest, SampledPointsLieOnTheBoundaryAndChordsStayWithinTolerance) {
  Gen g;
  for (int i = 0; i < 40; ++i) {
    const vcGenRect r = g.rect();
    const double tol = g.uni(1e-3, 0.5);
    const std::vector<vcVector<2>> pts = sampled(r, tol);
    ASSERT_EQ(pts.front(), pts.back());
    const double scale = r.boundingBox().width() + r.boundingBox().height();
    for (std::size_t k = 0; k < pts.size(); ++k) {
      // Convex about its center: along the ray through a boundary point the
      // shape ends exactly there.
      const vcVector<2> v = pts[k] - r.center();
      EXPECT_TRUE(r.within(r.center() + v * (1 - 1e-9))) << i << ' ' << k;
      EXPECT_FALSE(r.within(r.center() + v * (1 + 1e-9))) << i << ' ' << k;
      EXPECT_GT(r.distanceToPoint(r.center() + v * (1 + 1e-6)), 0.0);
      if (k > 0) {
        const vcVector<2> mid = (pts[k] + pts[k - 1]) * 0.5;
        EXPECT_LE(boundaryDistance(r, mid), tol * (1 + 1e-9) + 1e-12 * scale) << i << ' ' << k;
      }
    }
  }
}

TEST(GenRectTest, DistanceOutsideMatchesADenseBoundaryAndTangentFollowsIt) {
  Gen g;
  for (int i = 0; i < 15; ++i) {
    const vcGenRect r = g.rect();
    const std::vector<vcVector<2>> dense = sampled(r, 1e-6);
    for (int j = 0; j < 20; ++j) {
      const vcVector<2> p = g.vec(40);
      const double ref = polylineDistance(dense, p);
      if (r.within(p)) {
        EXPECT_EQ(r.distanceToPoint(p), 0.0);
        continue;
      }
      EXPECT_NEAR(r.distanceToPoint(p), ref, 2e-6) << i << ' ' << p;
    }
  }
  const vcGenRect circle(vcVector<2>(1, 1), vcMatrix<2>::scale(2, 2), vcVector<2>(1, 1));
  const vcVector<2> t = circle.tangentAt(vcVector<2>(5, 1));
  EXPECT_NEAR(t.x(), 0.0, 1e-9);
  EXPECT_NEAR(t.y(), 1.0, 1e-9);  // the contour turns from +x toward +y
}

TEST(GenRectTest, AreaAndPerimeterAgreeWithTheSampledPolygon) {
  Gen g;
  for (int i = 0; i < 30; ++i) {
    const vcGenRect r = g.rect();
    const std::vector<vcVector<2>> pts = sampled(r, 1e-7);
    double area2 = 0, length = 0;
    for (std::size_t k = 1; k < pts.size(); ++k) {
      area2 += pts[k - 1].cross(pts[k]);
      length += pts[k - 1].distance(pts[k]);
    }
    EXPECT_NEAR(r.area(), std::fabs(area2) / 2, 1e-5 * r.area()) << i;
    EXPECT_NEAR(r.perimeter(), length, 1e-5 * length) << i;
  }
  const vcGenRect thin(vcVector<2>(), vcMatrix<2>(3, 6, 1, 2), vcVector<2>(0.5, 0.5));  // collapsed onto a segment
  EXPECT_TRUE(thin.isEmpty());
  EXPECT_EQ(thin.area(), 0.0);
  EXPECT_TRUE(thin.within(vcVector<2>(1.5, 0.5)));
  EXPECT_NEAR(thin.distanceToPoint(vcVector<2>(1.0, 3.5)), 9.5 / std::sqrt(10.0), 1e-9);
}

TEST(GenRectTest, SamplingDuplicatesOnlyTheSquareCorners) {
  const vcGenRect square(vcVector<2>(1, 1), vcMatrix<2>(2, 0, 0, 1), vcVector<2>(0.6, 0.0));  // one zero rounding
  std::vector<vcVector<2>> pts;
  square.sample(vcShape::vcSampleParams(0, 0, 2, true, true), pts);
  ASSERT_EQ(pts.size(), 8u);
  EXPECT_EQ(pts[0], square.corner(0));
  EXPECT_EQ(pts[1], square.corner(1));
  EXPECT_EQ(pts[2], square.corner(1));
}

TEST(GenAnnulusTest, CircularAnnulusHasExactMeasuresAndDistances) {
  const vcGenAnnulus a(vcVector<2>(2, 3), 1.0, 4.0);
  EXPECT_NEAR(a.area(), kPi * 15.0, 1e-12);
  EXPECT_NEAR(a.perimeter(), 2 * kPi * 5.0, 1e-12);
  EXPECT_FALSE(a.within(vcVector<2>(2.5, 3)));
  EXPECT_TRUE(a.within(vcVector<2>(4, 3)));
  EXPECT_TRUE(a.within(vcVector<2>(3, 3)));  // the inner boundary belongs to the region
  EXPECT_NEAR(a.distanceToPoint(vcVector<2>(2.25, 3)), 0.75, 1e-9);
  EXPECT_NEAR(a.distanceToPoint(vcVector<2>(2, 9)), 2.0, 1e-9);
  EXPECT_EQ(a.boundingBox(), a.outer().boundingBox());
  const vcVector<2> t = a.tangentAt(vcVector<2>(2, 3.8));  // nearer the inner contour, which runs backward
  EXPECT_NEAR(t.x(), 1.0, 1e-9);
  std::vector<vcVector<2>> pts;
  EXPECT_THROW(a.sample(vcShape::vcSampleParams(), pts), vcShapesError::BadGeom);
  const std::vector<vcShapeHandle> parts = a.decompose();
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_TRUE(*parts[0] == a.outer());

  EXPECT_THROW(vcGenAnnulus(vcVector<2>(), 2.0, 1.0), vcShapesError::BadRadius);
  EXPECT_THROW(vcGenAnnulus(vcVector<2>(), -1.0, 1.0), vcShapesError::BadRadius);
}

TEST(GenAnnulusTest, NestingIsRequiredAndKeptByMaps) {
  Gen g;
  const vcGenRect outer(vcVector<2>(), vcMatrix<2>(3, 1, 0, 2), vcVector<2>(0.4, 0.9));
  // A rectangle touching itself is nested; one poking out is not.
  EXPECT_NO_THROW(vcGenAnnulus(outer, outer));
  EXPECT_THROW(vcGenAnnulus(outer.map(vcXform<2>::scale(1.01, 1.01)), outer), vcShapesError::BadGeom);
  EXPECT_THROW(vcGenAnnulus(outer, outer.map(vcXform<2>::translation(vcVector<2>(0.01, 0)))),
               vcShapesError::BadGeom);
  const vcGenAnnulus a(outer.map(vcXform<2>::scale(0.5, 0.5)), outer);
  for (int i = 0; i < 20; ++i) {
    const vcXform<2> x = g.xform();
    const vcShapeHandle h = a.mapShape(x);
    const auto* m = dynamic_cast<const vcGenAnnulus*>(h.ptr());
    ASSERT_NE(m, nullptr);
    EXPECT_NEAR(m->area(), a.area() * std::fabs(x.matrix().determinant()), 1e-9 * m->area());
    EXPECT_EQ(m->inner(), a.inner().map(x));
  }
}

}  // namespace
