#include <vc/core/points.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/rect.h>

#include "support/test_shapes.h"

TEST(PointsTest, PointShapeIsItsPositionWithAZeroSizeBox) {
  const vc2Point p(3.0, -4.0);
  const vcPoint v = p;
  EXPECT_EQ(v, vcPoint(3.0, -4.0));
  EXPECT_EQ(p.boundingBox(), vcRect(3.0, -4.0, 0.0, 0.0));
  EXPECT_EQ(p.distanceToPoint(vcVector<2>(0.0, 0.0)), 5.0);
  EXPECT_FALSE(p.isOpenContour() || p.isClosedContour() || p.isRegion());
  EXPECT_EQ(p.map(vcXform<2>::translation(vcVector<2>(1.0, 1.0))), vc2Point(4.0, -3.0));
  EXPECT_THROW(vc2Point(std::nan(""), 0.0), vcShapesError::BadGeom);
}

TEST(PointsTest, PointSetDistanceIsToTheNearestPoint) {
  std::mt19937 rng(31);
  std::vector<vcVector<2>> pts;
  for (int i = 0; i < 40; ++i) pts.push_back(vc_test::randomPoint(rng, 500.0));
  const vcPointSet set(pts);
  for (int k = 0; k < 50; ++k) {
    const vcVector<2> q = vc_test::randomPoint(rng, 500.0);
    double best = 1e300;
    for (const auto& p : pts) best = std::min(best, p.distance(q));
    EXPECT_EQ(set.distanceToPoint(q), best);
  }
  const auto parts = set.decompose();
  ASSERT_EQ(parts.size(), pts.size());
  EXPECT_TRUE(*parts[7] == vc2Point(pts[7]));
  EXPECT_THROW(set.point(40), vcBadArgument);

  const vcPointSet empty;
  EXPECT_THROW(empty.boundingBox(), vcShapesError::DegenerateShape);
  EXPECT_THROW(empty.distanceToPoint(vcVector<2>()), vcShapesError::DegenerateShape);
}

TEST(PointsTest, CrossMapMovesCenterAndTurnsAngleButKeepsPixelSize) {
  const vcCross c(vcVector<2>(2.0, 0.0), vcRadian(0.0), 5);
  const vcXform<2> rot = vcXform<2>(vcMatrix<2>::rotation(vcRadian(std::numbers::pi / 2)), vcVector<2>()) *
                         vcXform<2>::scale(3.0, 3.0);
  const vcCross m = c.map(rot);
  EXPECT_NEAR(m.center().distance(vcVector<2>(0.0, 6.0)), 0.0, 1e-12);
  EXPECT_NEAR(m.angle().toDouble(), std::numbers::pi / 2, 1e-12);
  EXPECT_EQ(m.size(), 5);
  EXPECT_NE(dynamic_cast<const vcCross*>(c.mapShape(vcXform<2>::scale(1.0, 4.0)).ptr()), nullptr);
  EXPECT_EQ(c.boundingBox(), vcRect(2.0, 0.0, 0.0, 0.0));
  EXPECT_EQ(c.distanceToPoint(vcVector<2>(2.0, 3.0)), 3.0);
}

