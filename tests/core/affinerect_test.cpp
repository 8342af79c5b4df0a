#include <vc/core/affinerect.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include <vc/core/rect.h>

namespace {
using V = vcVector<2>;

TEST(AffineRectangleTest, CenterFormPlacesSidesByRotationAndSkew) {
  const vcAffineRectangle r(V(10, 5), 4.0, 2.0, vcRadian(0.0), vcRadian(0.0));
  EXPECT_LT(r.cornerPx().distance(V(12, 4)), 1e-12);
  EXPECT_LT(r.cornerPy().distance(V(8, 6)), 1e-12);
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
  }
  EXPECT_THROW(vcAffineRectangle(V(), -1.0, 1.0, vcRadian(0), vcRadian(0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcAffineRectangle(V(), 1.0, 1.0, vcRadian(std::nan("")), vcRadian(0)), vcShapesError::BadGeom);
}

// The region queries are those of the equivalent general rectangle, maps
// carry the corners, and collinear corners make a segment with no area.
TEST(AffineRectangleTest, RegionQueriesAndMapsAgreeWithTheEquivalentGenRect) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-6, 6);
  for (int i = 0; i < 20; ++i) {
    const vcAffineRectangle a(V(u(rng), u(rng)), V(u(rng), u(rng)), V(u(rng), u(rng)));
    const vcGenRect g = a.genRect();
    EXPECT_NEAR(a.area(), g.area(), 1e-9 * (1 + g.area()));
    EXPECT_NEAR(a.perimeter(), g.perimeter(), 1e-9 * g.perimeter());
    for (int j = 0; j < 30; ++j) {
      const V p(2 * u(rng), 2 * u(rng));
      EXPECT_NEAR(a.distanceToPoint(p), g.distanceToPoint(p), 1e-9) << i << ' ' << p;
    }
    const vcXform<2> x(vcMatrix<2>(u(rng), u(rng), u(rng), u(rng)), V(u(rng), u(rng)));
    const vcAffineRectangle m = a.map(x);
    EXPECT_EQ(m.cornerPo(), x.mapPoint(a.cornerPo()));
    EXPECT_EQ(m.cornerPx(), x.mapPoint(a.cornerPx()));
    EXPECT_EQ(m.cornerPy(), x.mapPoint(a.cornerPy()));
  }
  const vcAffineRectangle flat(V(0, 0), V(2, 0), V(-1, 0));
  EXPECT_TRUE(flat.isEmpty());
  EXPECT_TRUE(flat.within(V(1.5, 0)));
  EXPECT_NEAR(flat.distanceToPoint(V(1, 2)), 2.0, 1e-12);
  EXPECT_EQ(flat.tangentAt(V(1, 0.5)), V(1, 0));
}

}  // namespace
