#include <vc/core/affinerect.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/core/rect.h>

namespace {
TEST(AffineRectangleTest, CenterFormPlacesSidesByRotationAndSkew) {
  const vcAffineRectangle r(vcVector<2>(10, 5), 4.0, 2.0, vcRadian(0.0), vcRadian(0.0));
  EXPECT_LT(r.cornerPo().distance(vcVector<2>(8, 4)), 1e-12);
  EXPECT_LT(r.cornerPx().distance(vcVector<2>(12, 4)), 1e-12);
  EXPECT_LT(r.cornerPy().distance(vcVector<2>(8, 6)), 1e-12);
  EXPECT_LT(r.cornerPopp().distance(vcVector<2>(12, 6)), 1e-12);

  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1.2, 1.2);
  for (int i = 0; i < 20; ++i) {
    const vcVector<2> c(10 * u(rng), 10 * u(rng));
    const double x = 3 + u(rng), y = 2 + u(rng), r1 = 2 * u(rng), r2 = u(rng);
    const vcAffineRectangle a(c, x, y, vcRadian(r1), vcRadian(r2));
    EXPECT_LT(a.center().distance(c), 1e-12);
    EXPECT_NEAR(a.xLength(), x, 1e-12);
    EXPECT_NEAR(a.yLength(), y, 1e-12);
    EXPECT_NEAR(a.rotation().toDouble(), r1, 1e-12);
    EXPECT_NEAR(a.skew().toDouble(), r2, 1e-12);
    EXPECT_NEAR(a.area(), x * y * std::cos(r2), 1e-9);
  }
  EXPECT_THROW(vcAffineRectangle(vcVector<2>(), -1.0, 1.0, vcRadian(0), vcRadian(0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcAffineRectangle(vcVector<2>(), 1.0, 1.0, vcRadian(std::nan("")), vcRadian(0)),
               vcShapesError::BadGeom);
  EXPECT_THROW(vcAffineRectangle(vcVector<2>(), vcVector<2>(std::numeric_limits<double>::infinity(), 0),
                                 vcVector<2>()),
               vcShapesError::BadGeom);
}

TEST(AffineRectangleTest, RegionQueriesAgreeWithTheEquivalentGenRect) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-6, 6);
  for (int i = 0; i < 20; ++i) {
    const vcAffineRectangle a(vcVector<2>(u(rng), u(rng)), vcVector<2>(u(rng), u(rng)), vcVector<2>(u(rng), u(rng)));
    const vcGenRect g = a.genRect();
    EXPECT_NEAR(a.area(), g.area(), 1e-9 * (1 + g.area()));
    EXPECT_NEAR(a.perimeter(), g.perimeter(), 1e-9 * g.perimeter());
    for (int j = 0; j < 30; ++j) {
      const vcVector<2> p(2 * u(rng), 2 * u(rng));
      EXPECT_NEAR(a.distanceToPoint(p), g.distanceToPoint(p), 1e-9) << i << ' ' << p;
    }
    std::vector<vcVector<2>> pts;
    a.sample(vcShape::vcSampleParams(0.0, 0.5), pts);
    const vcRect box = a.boundingBox();
    for (const vcVector<2>& p : pts) {
      EXPECT_TRUE(box.contains(p));
      EXPECT_LT(g.distanceToPoint(p), 1e-12);
      EXPECT_GT(a.distanceToPoint(a.center() + (p - a.center()) * 1.001), 0.0);
    }
    EXPECT_EQ(pts[0], a.cornerPo());
  }
  // Collinear corners: a segment with no area.
  const vcAffineRectangle flat(vcVector<2>(0, 0), vcVector<2>(2, 0), vcVector<2>(-1, 0));
  EXPECT_TRUE(flat.isEmpty());
  EXPECT_TRUE(flat.within(vcVector<2>(1.5, 0)));
  EXPECT_NEAR(flat.distanceToPoint(vcVector<2>(1, 2)), 2.0, 1e-12);
  EXPECT_EQ(flat.tangentAt(vcVector<2>(1, 0.5)), vcVector<2>(1, 0));
}

TEST(AffineRectangleTest, MapCarriesTheCornersAndStaysAnAffineRectangle) {
  const vcAffineRectangle a(vcVector<2>(1, 1), vcVector<2>(4, 2), vcVector<2>(0, 3));
  const vcXform<2> x(vcMatrix<2>(1, 2, -0.5, 3), vcVector<2>(7, -1));
  const vcShapeHandle h = a.mapShape(x);
  const auto* m = dynamic_cast<const vcAffineRectangle*>(h.ptr());
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->cornerPo(), x.mapPoint(a.cornerPo()));
  EXPECT_EQ(m->cornerPx(), x.mapPoint(a.cornerPx()));
  EXPECT_EQ(m->cornerPy(), x.mapPoint(a.cornerPy()));
  EXPECT_LT(m->cornerPopp().distance(x.mapPoint(a.cornerPopp())), 1e-12);
  EXPECT_NEAR(m->area(), a.area() * std::fabs(x.matrix().determinant()), 1e-9);
  const vcVector<2> t(3, -4);
  const vcRect moved = a.map(vcXform<2>::translation(t)).boundingBox(), box = a.boundingBox();
  EXPECT_EQ(moved, vcRect(box.origin() + t, box.size()));
}

}  // namespace
