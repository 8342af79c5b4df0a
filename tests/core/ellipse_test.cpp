#include <vc/core/ellipse.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/ellipsearc.h>

#include "support/test_shapes.h"

namespace {
using V = vcVector<2>;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

vcEllipse randomEllipse(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double a = 1.0 + 10.0 * std::fabs(u(rng));
  const double b = a * (rng() % 5 == 0 ? 1e-3 : 0.1 + std::fabs(u(rng)));
  return vcEllipse(V(40.0 * u(rng), 40.0 * u(rng)), V(a, b), vcRadian(4.0 * u(rng)), rng() % 2 == 0);
}

// Distance to the contour itself (distanceToPoint of a region is 0 inside).
double contourDistance(const vcEllipse& e, const V& p) {
  return vcEllipseArc(e, vcRadian(0.0), vcRadian(kTwoPi)).distanceToPoint(p);
}
}  // namespace

TEST(Ellipse, ConstructorsRejectBadValuesAndDeriveTheDegenerateFlag) {
  EXPECT_THROW(vcEllipse(V(0, 0), V(-1, 1), vcRadian(0)), vcShapesError::BadRadius);
  EXPECT_THROW(vcEllipse(V(0, 0), V(1, NAN), vcRadian(0)), vcShapesError::BadRadius);
  EXPECT_THROW(vcEllipse(V(INFINITY, 0), V(1, 1), vcRadian(0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcEllipse(V(0, 0), V(1, 1), vcRadian(NAN)), vcShapesError::BadGeom);
  vcEllipse::vcEllipseGeom g;
  g.a = 2.0;
  g.b = 1.0;
  g.degenerate = true;  // derived, not taken
  EXPECT_FALSE(vcEllipse(g).isDegenerate());
  EXPECT_TRUE(vcEllipse(V(1, 1), V(3, 0), vcRadian(0.5)).isDegenerate());
}

// Maps are exact, keep the direction of travel and flip handedness under
// mirrors; the unit map (and the ellipse made from a map) carries the unit
// circle onto the contour; the reverse runs back from the same start.
TEST(Ellipse, MapsAndUnitMapsAreExactAndKeepTheDirectionOfTravel) {
  std::mt19937 rng(21);
  for (int i = 0; i < 60; ++i) {
    const vcEllipse e = randomEllipse(rng);
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipse m = e.map(x), fromMap(x);
    EXPECT_EQ(m.isLeftHanded(), e.isLeftHanded() != (x.determinant() < 0.0));
    EXPECT_GE(fromMap.radii().x(), fromMap.radii().y());
    const double scale = std::max(m.radii().x(), 1.0);
    for (double t = 0.1; t < kTwoPi; t += 0.7) {
      const V p = x.mapPoint(e.pointAt(vcRadian(t)));
      EXPECT_NEAR(contourDistance(m, p), 0.0, 1e-9 * scale);
      EXPECT_NEAR(contourDistance(fromMap, x.mapPoint(V(std::cos(t), std::sin(t)))), 0.0, 1e-9 * 10.0);
      const V dir = x.mapVector(e.tangentAt(e.pointAt(vcRadian(t))));
      if (dir.len() > 1e-3 && m.radii().y() > 1e-2) {
        EXPECT_GT(dir.dot(m.tangentAt(p)), 0.0);
      }
    }
    EXPECT_NEAR(contourDistance(m, m.unit().mapPoint(V(0.6, 0.8))), 0.0, 1e-9 * scale);
  }
  // Similarities keep each point's parametric angle.
  const vcEllipse e = randomEllipse(rng);
  const vcXform<2> mirror(vcMatrix<2>(0.0, 2.0, 2.0, 0.0), V(3, -1));
  for (double t = 0.0; t < kTwoPi; t += 0.5)
    EXPECT_LT((e.map(mirror).pointAt(vcRadian(t)) - mirror.mapPoint(e.pointAt(vcRadian(t)))).len(), 1e-9 * 40.0);
  std::vector<V> a, b;
  e.sample(vcShape::vcSampleParams(0.0, 0.0, 9), a);
  e.reverse()->sample(vcShape::vcSampleParams(0.0, 0.0, 9), b);
  EXPECT_LT((a[0] - b[0]).len(), 1e-10);
  EXPECT_LT((a[1] - b[7]).len(), 1e-7);
}

TEST(Ellipse, DistanceIsZeroOnTheRegionAndExactOutside) {
  std::mt19937 rng(24);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 40; ++i) {
    const vcEllipse e = randomEllipse(rng);
    std::vector<V> pts;
    e.sample(vcShape::vcSampleParams(0.0, 0.0, 64), pts);
    for (const V& p : pts) EXPECT_TRUE(e.within(p) && e.distanceToPoint(p) == 0.0);
    // Pushed out along the normal, a contour point is exactly that far away.
    const V p = e.pointAt(vcRadian(u(rng) * 3.0));
    const V normal = e.tangentAt(p).perp() * (e.isLeftHanded() ? 1.0 : -1.0);
    const double off = 0.01 * e.radii().y() + 1e-3;
    EXPECT_NEAR(e.distanceToPoint(p + normal * off), off, 1e-9 * off + 1e-12);
    EXPECT_FALSE(e.within(p + normal * off));
  }
}

TEST(Ellipse2, MapKeepsTheTypeAndIsExactUnderMirrors) {
  std::mt19937 rng(28);
  const vcEllipse2 e(V(4, 2), vcRadian(0.3), V(1, -2));
  EXPECT_THROW(vcEllipse2(V(4, -2), vcRadian(0), V()), vcShapesError::BadRadius);
  for (int i = 0; i < 20; ++i) {
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipse asEllipse = e.map(vc2XformLinear(x)).ellipse();
    for (double t = 0.0; t < kTwoPi; t += 0.5)
      EXPECT_NEAR(contourDistance(asEllipse, x.mapPoint(e.ellFromUnitCirc().mapPoint(V(std::cos(t), std::sin(t))))),
                  0.0, 1e-9 * 20.0);
  }
  // Even when the image is a circle the result stays a vcEllipse2.
  const vcEllipse2 upright(V(4, 2), vcRadian(0), V(1, -2));
  const vcShapeHandle h = upright.mapShape(vcXform<2>::scale(0.5, 1));
  const vcEllipse2* m = vc_test::as<vcEllipse2>(h);
  ASSERT_NE(m, nullptr);
  EXPECT_NEAR(m->radii().x(), 2.0, 1e-12);
  EXPECT_NEAR(m->radii().y(), 2.0, 1e-12);
}

TEST(EllipseAnnulus, RegionDistanceAndContainmentRule) {
  const vcEllipse outer(V(0, 0), V(10, 5), vcRadian(0.0));
  const vcEllipse inner(V(1, 0), V(4, 2), vcRadian(0.3));
  EXPECT_THROW(vcEllipseAnnulus(outer, inner), vcShapesError::BadGeom);
  const vcEllipseAnnulus ring(inner, outer);
  EXPECT_TRUE(ring.within(inner.pointAt(vcRadian(1.0))));
  EXPECT_FALSE(ring.within(V(1, 0)));
  EXPECT_EQ(ring.distanceToPoint(V(8, 0)), 0.0);
  EXPECT_NEAR(ring.distanceToPoint(V(13, 0)), 3.0, 1e-12);
  EXPECT_NEAR(ring.distanceToPoint(V(1, 0)), contourDistance(inner, V(1, 0)), 1e-12);
  EXPECT_NEAR(ring.area(), std::numbers::pi * (50.0 - 8.0), 1e-9);
  const vcXform<2> shear(vcMatrix<2>(1, 2, 0, -1), V(5, 5));
  const vcShapeHandle h = ring.mapShape(shear);
  const auto* m = vc_test::as<vcEllipseAnnulus>(h);
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->within(shear.mapPoint(V(8, 0))));
  EXPECT_FALSE(m->within(shear.mapPoint(V(1, 0))));
}
