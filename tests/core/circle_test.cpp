#include <vc/core/circle.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>

#include "support/test_shapes.h"

namespace {
using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;
}  // namespace

TEST(Circle, BadRadiusAndCenterAreRejected) {
  EXPECT_THROW(vcCircle(V(0, 0), -1.0), vcShapesError::BadRadius);
  EXPECT_THROW(vcCircle(V(0, 0), NAN), vcShapesError::BadRadius);
  EXPECT_THROW(vcCircle(V(NAN, 0), 1.0), vcShapesError::BadGeom);
  EXPECT_THROW(vcAnnulus(V(0, 0), 3.0, 2.0), vcShapesError::BadRadius);
  EXPECT_THROW(vcAnnulus(V(0, 0), -1.0, 2.0), vcShapesError::BadRadius);
}

// Similarities keep a circle; other maps give an ellipse whose handedness
// follows the determinant and which holds the mapped points.
TEST(Circle, MapsKeepACircleOnlyUnderSimilarities) {
  const vcCircle c(V(1, 2), 3.0);
  for (const vcXform<2>& x : vc_test::similarities()) {
    const vcShapeHandle h = c.mapShape(x);
    ASSERT_NE(vc_test::as<vcCircle>(h), nullptr);
    EXPECT_NEAR(vc_test::as<vcCircle>(h)->radius(), 3.0 * std::sqrt(std::fabs(x.determinant())), 1e-12);
  }
  EXPECT_EQ(vc_test::as<vcEllipse2>(c.mapShape(vcXform<2>::scale(2, 1)))->radii(), V(6, 3));
  const vcXform<2> mirror(vcMatrix<2>(1, 0.5, 0, -2), V(4, 0));
  const vcEllipse e = c.map(mirror);
  EXPECT_TRUE(e.isLeftHanded());
  EXPECT_FALSE(c.map(vcXform<2>::scale(1, 3)).isLeftHanded());
  const vcEllipseArc whole(e, vcRadian(0), vcRadian(2 * kPi));
  for (double t = 0; t < 6.2; t += 0.3)
    EXPECT_NEAR(whole.distanceToPoint(mirror.mapPoint(c.center() + V(std::cos(t), std::sin(t)) * 3.0)), 0.0, 1e-11);
}

TEST(Circle, DiscAndAnnulusMeasuresDistancesAndTangents) {
  const vcCircle c(V(-2, 5), 4.0);
  EXPECT_EQ(c.distanceToPoint(V(-2, 6)), 0.0);
  EXPECT_NEAR(c.distanceToPoint(V(5, 5)), 3.0, 1e-12);
  EXPECT_NEAR(c.area(), 16 * kPi, 1e-12);
  EXPECT_NEAR(c.perimeter(), 8 * kPi, 1e-12);
  EXPECT_NEAR(c.tangentAt(V(-2, 0)).x(), 1.0, 1e-12);  // running toward +angle at angle -pi/2
  EXPECT_THROW(vcCircle(V(), 0.0).tangentAt(V(1, 1)), vcShapesError::NoTangent);

  const vcAnnulus a(V(0, 0), 2.0, 5.0);
  EXPECT_TRUE(a.within(V(0, 2)));
  EXPECT_FALSE(a.within(V(1, 0)));
  EXPECT_NEAR(a.distanceToPoint(V(0.5, 0)), 1.5, 1e-12);
  EXPECT_NEAR(a.distanceToPoint(V(0, -7)), 2.0, 1e-12);
  EXPECT_NEAR(a.area(), 21 * kPi, 1e-12);
  // The inner contour runs against the outer one.
  EXPECT_NEAR(a.tangentAt(V(5, 0)).y(), 1.0, 1e-12);
  EXPECT_NEAR(a.tangentAt(V(2, 0)).y(), -1.0, 1e-12);
  const vcXform<2> skew(vcMatrix<2>(1, 1, 0, 2), V(3, 0));
  const vcShapeHandle h = a.mapShape(skew);
  const vcGenAnnulus* g = vc_test::as<vcGenAnnulus>(h);
  ASSERT_NE(g, nullptr);
  for (const V& p : {V(3, 0), V(0, 4.5), V(1, 0), V(6, 0)}) EXPECT_EQ(g->within(skew.mapPoint(p)), a.within(p));
  EXPECT_NEAR(g->area(), a.area() * 2.0, 1e-6);
}
