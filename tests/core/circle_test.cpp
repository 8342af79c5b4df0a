#include <vc/core/circle.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/ellipsearc.h>

#include "support/test_shapes.h"

namespace {

constexpr double kPi = std::numbers::pi;

}  // namespace

TEST(Circle, BadRadiusAndCenterAreRejected) {
  EXPECT_THROW(vcCircle(vcVector<2>(0, 0), -1.0), vcShapesError::BadRadius);
  EXPECT_THROW(vcCircle(vcVector<2>(0, 0), NAN), vcShapesError::BadRadius);
  EXPECT_THROW(vcCircle(vcVector<2>(NAN, 0), 1.0), vcShapesError::BadGeom);
  EXPECT_THROW(vcAnnulus(vcVector<2>(0, 0), 3.0, 2.0), vcShapesError::BadRadius);
  EXPECT_THROW(vcAnnulus(vcVector<2>(0, 0), -1.0, 2.0), vcShapesError::BadRadius);
}

TEST(Circle, MapShapeKeepsACircleUnderSimilaritiesAndWidensOtherwise) {
  const vcCircle c(vcVector<2>(1, 2), 3.0);
  for (const vcXform<2>& x : vc_test::similarities()) {
    const vcShapeHandle h = c.mapShape(x);
    const vcCircle* m = vc_test::as<vcCircle>(h);
    ASSERT_NE(m, nullptr);
    EXPECT_NEAR(m->radius(), 3.0 * std::sqrt(std::fabs(x.determinant())), 1e-12);
    EXPECT_LT((m->center() - x.mapPoint(c.center())).len(), 1e-12);
  }
  const vcXform<2> stretch(vcMatrix<2>(2, 0, 0, 1), vcVector<2>(0, 0));
  const vcShapeHandle h = c.mapShape(stretch);
  ASSERT_NE(vc_test::as<vcEllipse2>(h), nullptr);
  EXPECT_EQ(vc_test::as<vcEllipse2>(h)->radii(), vcVector<2>(6, 3));
}

TEST(Circle, MapGivesAnEllipseWhoseHandednessFollowsTheDeterminant) {
  const vcCircle c(vcVector<2>(1, 2), 3.0);
  const vcXform<2> mirror(vcMatrix<2>(1, 0.5, 0, -2), vcVector<2>(4, 0));
  const vcEllipse e = c.map(mirror);
  EXPECT_TRUE(e.isLeftHanded());
  EXPECT_FALSE(c.map(vcXform<2>::scale(1, 3)).isLeftHanded());
  const vcEllipseArc whole(e, vcRadian(0), vcRadian(2 * kPi));
  for (double t = 0; t < 6.2; t += 0.3) {
    const vcVector<2> p = c.center() + vcVector<2>(std::cos(t), std::sin(t)) * 3.0;
    EXPECT_NEAR(whole.distanceToPoint(mirror.mapPoint(p)), 0.0, 1e-12 * 10);
  }
}

TEST(Circle, DistanceMeasuresAndTangentOfTheDisc) {
  const vcCircle c(vcVector<2>(-2, 5), 4.0);
  EXPECT_EQ(c.distanceToPoint(vcVector<2>(-2, 6)), 0.0);
  EXPECT_NEAR(c.distanceToPoint(vcVector<2>(5, 5)), 3.0, 1e-12);
  EXPECT_NEAR(c.area(), 16 * kPi, 1e-12);
  EXPECT_NEAR(c.perimeter(), 8 * kPi, 1e-12);
  const vcVector<2> t = c.tangentAt(vcVector<2>(-2, 0));
  EXPECT_NEAR(t.x(), 1.0, 1e-12);  // running toward +angle at angle -pi/2
  EXPECT_THROW(vcCircle(vcVector<2>(), 0.0).tangentAt(vcVector<2>(1, 1)), vcShapesError::NoTangent);
}

TEST(Annulus, RegionBetweenTheCirclesAndItsMaps) {
  const vcAnnulus a(vcVector<2>(0, 0), 2.0, 5.0);
  EXPECT_EQ(a.innerCircle(), vcCircle(vcVector<2>(), 2.0));
  EXPECT_EQ(a.outerCircle(), vcCircle(vcVector<2>(), 5.0));
  EXPECT_TRUE(a.within(vcVector<2>(3, 0)));
  EXPECT_TRUE(a.within(vcVector<2>(0, 2)));
  EXPECT_FALSE(a.within(vcVector<2>(1, 0)));
  EXPECT_NEAR(a.distanceToPoint(vcVector<2>(0.5, 0)), 1.5, 1e-12);
  EXPECT_NEAR(a.distanceToPoint(vcVector<2>(0, -7)), 2.0, 1e-12);
  EXPECT_NEAR(a.area(), 21 * kPi, 1e-12);
  // The inner contour runs against the outer one.
  EXPECT_NEAR(a.tangentAt(vcVector<2>(5, 0)).y(), 1.0, 1e-12);
  EXPECT_NEAR(a.tangentAt(vcVector<2>(2, 0)).y(), -1.0, 1e-12);

  for (const vcXform<2>& x : vc_test::similarities()) ASSERT_NE(vc_test::as<vcAnnulus>(a.mapShape(x)), nullptr);
  const vcXform<2> skew(vcMatrix<2>(1, 1, 0, 2), vcVector<2>(3, 0));
  const vcShapeHandle h = a.mapShape(skew);
  const vcGenAnnulus* g = vc_test::as<vcGenAnnulus>(h);
  ASSERT_NE(g, nullptr);
  for (const vcVector<2>& p : {vcVector<2>(3, 0), vcVector<2>(0, 4.5), vcVector<2>(1, 0), vcVector<2>(6, 0)})
    EXPECT_EQ(g->within(skew.mapPoint(p)), a.within(p));
  EXPECT_NEAR(g->area(), a.area() * 2.0, 1e-6);
}
