#include <vc/core/ellipse.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/ellipsearc.h>

#include "support/test_shapes.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

vcEllipse randomEllipse(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double a = 1.0 + 10.0 * std::fabs(u(rng));
  const double b = a * (rng() % 5 == 0 ? 1e-3 : 0.1 + std::fabs(u(rng)));
  return vcEllipse(vcVector<2>(40.0 * u(rng), 40.0 * u(rng)), vcVector<2>(a, b), vcRadian(4.0 * u(rng)),
                   rng() % 2 == 0);
}

// Distance to the contour itself (distanceToPoint of a region is 0 inside).
double contourDistance(const vcEllipse& e, const vcVector<2>& p) {
  return vcEllipseArc(e, vcRadian(0.0), vcRadian(kTwoPi)).distanceToPoint(p);
}

}  // namespace

TEST(Ellipse, ConstructorsRejectBadValuesAndDeriveTheDegenerateFlag) {
  EXPECT_THROW(vcEllipse(vcVector<2>(0, 0), vcVector<2>(-1, 1), vcRadian(0)), vcShapesError::BadRadius);
  EXPECT_THROW(vcEllipse(vcVector<2>(0, 0), vcVector<2>(1, NAN), vcRadian(0)), vcShapesError::BadRadius);
  EXPECT_THROW(vcEllipse(vcVector<2>(INFINITY, 0), vcVector<2>(1, 1), vcRadian(0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcEllipse(vcVector<2>(0, 0), vcVector<2>(1, 1), vcRadian(NAN)), vcShapesError::BadGeom);
  vcEllipse::vcEllipseGeom g;
  g.a = 2.0;
  g.b = 1.0;
  g.degenerate = true;
  EXPECT_FALSE(vcEllipse(g).isDegenerate());
  EXPECT_TRUE(vcEllipse(vcVector<2>(1, 1), vcVector<2>(3, 0), vcRadian(0.5)).isDegenerate());
  EXPECT_TRUE(vcEllipse().isDegenerate());
}

TEST(Ellipse, MapIsExactKeepsOrientationAndFlipsHandednessUnderMirrors) {
  std::mt19937 rng(21);
  for (int i = 0; i < 60; ++i) {
    const vcEllipse e = randomEllipse(rng);
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipse m = e.map(x);
    EXPECT_EQ(m.isLeftHanded(), e.isLeftHanded() != (x.determinant() < 0.0));
    const double scale = std::max(m.radii().x(), 1.0);
    for (double t = 0.1; t < kTwoPi; t += 0.7) {
      const vcVector<2> p = x.mapPoint(e.pointAt(vcRadian(t)));
      EXPECT_NEAR(contourDistance(m, p), 0.0, 1e-9 * scale);
      // The image runs the way the mapped contour runs.
      const vcVector<2> dir = x.mapVector(e.tangentAt(e.pointAt(vcRadian(t))));
      if (dir.len() > 1e-3 && m.radii().y() > 1e-2) {
        EXPECT_GT(dir.dot(m.tangentAt(p)), 0.0);
      }
    }
    // The unit map of the result carries the unit circle onto it.
    EXPECT_NEAR(contourDistance(m, m.unit().mapPoint(vcVector<2>(0.6, 0.8))), 0.0, 1e-9 * scale);
  }
  // Similarities keep each point's parametric angle.
  const vcEllipse e = randomEllipse(rng);
  const vcXform<2> mirror(vcMatrix<2>(0.0, 2.0, 2.0, 0.0), vcVector<2>(3, -1));
  for (double t = 0.0; t < kTwoPi; t += 0.5) {
    const vcVector<2> d = e.map(mirror).pointAt(vcRadian(t)) - mirror.mapPoint(e.pointAt(vcRadian(t)));
    EXPECT_LT(d.len(), 1e-9 * 40.0);
  }
}

TEST(Ellipse, UnitMapConstructorGivesTheImageOfTheUnitCircle) {
  std::mt19937 rng(22);
  for (int i = 0; i < 40; ++i) {
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipse e(x);
    EXPECT_GE(e.radii().x(), e.radii().y());
    for (double t = 0.0; t < kTwoPi; t += 0.4)
      EXPECT_NEAR(contourDistance(e, x.mapPoint(vcVector<2>(std::cos(t), std::sin(t)))), 0.0, 1e-9 * 10.0);
  }
}

TEST(Ellipse, DistanceIsZeroOnTheRegionAndExactOutside) {
  std::mt19937 rng(24);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 40; ++i) {
    const vcEllipse e = randomEllipse(rng);
    std::vector<vcVector<2>> pts;
    e.sample(vcShape::vcSampleParams(0.0, 0.0, 64), pts);
    for (const vcVector<2>& p : pts) {
      EXPECT_EQ(e.distanceToPoint(p), 0.0);
      EXPECT_TRUE(e.within(p));
    }
    // Pushed out along the normal, a contour point is exactly that far away.
    const vcVector<2> p = e.pointAt(vcRadian(u(rng) * 3.0));
    const vcVector<2> normal = e.tangentAt(p).perp() * (e.isLeftHanded() ? 1.0 : -1.0);
    const double off = 0.01 * e.radii().y() + 1e-3;
    EXPECT_NEAR(e.distanceToPoint(p + normal * off), off, 1e-9 * off + 1e-12);
    EXPECT_FALSE(e.within(p + normal * off));
  }
}

TEST(Ellipse, ReverseRunsTheOtherWayFromTheSameStart) {
  std::mt19937 rng(26);
  const vcEllipse e = randomEllipse(rng);
  const vcShapeHandle r = e.reverse();
  std::vector<vcVector<2>> a, b;
  e.sample(vcShape::vcSampleParams(0.0, 0.0, 9), a);
  r->sample(vcShape::vcSampleParams(0.0, 0.0, 9), b);
  EXPECT_LT((a[0] - b[0]).len(), 1e-12 * 100.0);
  EXPECT_LT((a[1] - b[7]).len(), 1e-9 * 100.0);
}

TEST(Ellipse2, MapKeepsTheTypeAndIsExactUnderMirrors) {
  std::mt19937 rng(28);
  const vcEllipse2 e(vcVector<2>(4, 2), vcRadian(0.3), vcVector<2>(1, -2));
  EXPECT_THROW(vcEllipse2(vcVector<2>(4, -2), vcRadian(0), vcVector<2>()), vcShapesError::BadRadius);
  for (int i = 0; i < 20; ++i) {
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipse2 m = e.map(vc2XformLinear(x));
    const vcEllipse asEllipse = m.ellipse();
    for (double t = 0.0; t < kTwoPi; t += 0.5) {
      const vcVector<2> p = x.mapPoint(e.ellFromUnitCirc().mapPoint(vcVector<2>(std::cos(t), std::sin(t))));
      EXPECT_NEAR(contourDistance(asEllipse, p), 0.0, 1e-9 * 20.0);
    }
  }
  // Even when the image is a circle the result stays a vcEllipse2.
  const vcEllipse2 upright(vcVector<2>(4, 2), vcRadian(0), vcVector<2>(1, -2));
  const vcShapeHandle h = upright.mapShape(vcXform<2>(vcMatrix<2>(0.5, 0, 0, 1), vcVector<2>()));
  ASSERT_NE(dynamic_cast<const vcEllipse2*>(h.ptr()), nullptr);
  EXPECT_NEAR(dynamic_cast<const vcEllipse2&>(*h).radii().x(), 2.0, 1e-12);
  EXPECT_NEAR(dynamic_cast<const vcEllipse2&>(*h).radii().y(), 2.0, 1e-12);

}

TEST(EllipseAnnulus, RegionDistanceAndContainmentRule) {
  const vcEllipse outer(vcVector<2>(0, 0), vcVector<2>(10, 5), vcRadian(0.0));
  const vcEllipse inner(vcVector<2>(1, 0), vcVector<2>(4, 2), vcRadian(0.3));
  EXPECT_THROW(vcEllipseAnnulus(outer, inner), vcShapesError::BadGeom);
  const vcEllipseAnnulus ring(inner, outer);
  EXPECT_TRUE(ring.within(vcVector<2>(8, 0)));
  EXPECT_TRUE(ring.within(inner.pointAt(vcRadian(1.0))));
  EXPECT_FALSE(ring.within(vcVector<2>(1, 0)));
  EXPECT_EQ(ring.distanceToPoint(vcVector<2>(8, 0)), 0.0);
  EXPECT_NEAR(ring.distanceToPoint(vcVector<2>(13, 0)), 3.0, 1e-12);
  EXPECT_NEAR(ring.distanceToPoint(vcVector<2>(1, 0)), contourDistance(inner, vcVector<2>(1, 0)), 1e-12);
  EXPECT_NEAR(ring.area(), std::numbers::pi * (50.0 - 8.0), 1e-9);
  std::vector<vcVector<2>> none;
  EXPECT_THROW(ring.sample(vcShape::vcSampleParams(), none), vcShapesError::BadGeom);
  ASSERT_EQ(ring.decompose().size(), 2u);

  const vcXform<2> shear(vcMatrix<2>(1, 2, 0, -1), vcVector<2>(5, 5));
  const vcShapeHandle mapped = ring.mapShape(shear);
  const auto* m = dynamic_cast<const vcEllipseAnnulus*>(mapped.ptr());
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->within(shear.mapPoint(vcVector<2>(8, 0))));
  EXPECT_FALSE(m->within(shear.mapPoint(vcVector<2>(1, 0))));
  EXPECT_NEAR(m->area(), ring.area(), 1e-9);
}
