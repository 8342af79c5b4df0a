#include <vc/core/line.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include <vc/core/rect.h>

#include "support/test_shapes.h"

namespace {

vcVector<2> randomPoint(std::mt19937& rng) { return vc_test::randomPoint(rng, 1000.0); }

}  // namespace

TEST(LineTest, PointsAlongTheDirectionAreOnTheLineAndNormalOffsetsAreTheirDistance) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> a(-7.0, 7.0), t(-500.0, 500.0);
  for (int i = 0; i < 200; ++i) {
    const vcLine l(vcRadian(a(rng)), randomPoint(rng));
    EXPECT_NEAR(l.direction().len(), 1.0, 1e-15);
    const vcVector<2> on = l.point() + l.direction() * t(rng);
    EXPECT_NEAR(l.distanceToPoint(on), 0.0, 1e-9);
    const double h = t(rng);
    const vcVector<2> off = on + l.direction().perp() * h;
    EXPECT_NEAR(l.distanceToPoint(off), std::fabs(h), 1e-9);
    EXPECT_NEAR(l.closestPoint(off).distance(on), 0.0, 1e-9);
  }
}

TEST(LineTest, TwoVectorFormNormalisesButKeepsAUnitDirectionBitForBit) {
  const vcLine scaled(vcVector<2>(3.0, 4.0), vcVector<2>(1.0, 2.0));
  EXPECT_EQ(scaled.direction(), vcVector<2>(0.6, 0.8));
  const vcLine a(vcRadian(0.3), vcVector<2>(5.0, 6.0));
  const vcLine b(a.direction(), a.point());
  EXPECT_EQ(a, b);
  EXPECT_THROW(vcLine(vcVector<2>(0.0, 0.0), vcVector<2>(1.0, 1.0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcLine(vcVector<2>(1.0, 0.0), vcVector<2>(std::nan(""), 1.0)), vcShapesError::BadGeom);
}

TEST(LineTest, InfiniteLinesHaveTangentsButNoBoundsEndsOrSamples) {
  const vcLine l(vcRadian(std::numbers::pi / 2), vcVector<2>(2.0, 0.0));
  const vcFLine f(l);
  for (const vcShape* s : {static_cast<const vcShape*>(&l), static_cast<const vcShape*>(&f)}) {
    EXPECT_FALSE(s->isFinite());
    EXPECT_TRUE(s->hasTangent());
    EXPECT_FALSE(s->isOpenContour() || s->isClosedContour() || s->isRegion());
    EXPECT_THROW(s->boundingBox(), vcShapesError::BadGeom);
    EXPECT_THROW(s->startPoint(), vcShapesError::NotOpenContour);
    std::vector<vcVector<2>> pts;
    EXPECT_THROW(s->sample(vcShape::vcSampleParams(), pts), vcShapesError::BadGeom);
    EXPECT_NEAR(s->tangentAt(vcVector<2>(9.0, 9.0)).distance(vcVector<2>(0.0, 1.0)), 0.0, 1e-15);
  }
}

// Mapped lines keep their type and the direction of travel, mirrored or not
// (that they hold the mapped points: shape_contract_test); a map that
// collapses the line is refused.
TEST(LineTest, MappedLineKeepsItsTypeAndDirectionAndSingularMapsThrow) {
  std::mt19937 rng(12);
  std::uniform_real_distribution<double> a(-4.0, 4.0);
  for (int i = 0; i < 100; ++i) {
    const vcLine l(vcRadian(a(rng)), randomPoint(rng));
    const vcFLine f(l);
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcLine ml = l.map(x);
    EXPECT_NEAR(ml.direction().dot(x.mapVector(l.direction()).unit()), 1.0, 1e-12);
    EXPECT_NEAR(f.map(x).direction().dot(ml.direction()), 1.0, 1e-12);
    EXPECT_NE(dynamic_cast<const vcLine*>(l.mapShape(x).ptr()), nullptr);
    EXPECT_NE(dynamic_cast<const vcFLine*>(f.mapShape(x).ptr()), nullptr);
  }
  const vcXform<2> collapse(vcMatrix<2>(1.0, 0.0, 0.0, 0.0), vcVector<2>());
  EXPECT_THROW(vcLine(vcVector<2>(0.0, 1.0), vcVector<2>()).map(collapse), vcShapesError::BadGeom);
  EXPECT_THROW(vcFLine(vcVector<2>(0.0, 0.0), vcVector<2>(0.0, 1.0)).map(collapse), vcShapesError::BadGeom);
}

TEST(FLineTest, TwoPointFormRunsFromFirstToSecondWithNormalOnThePlusAngleSide) {
  const vcFLine f(vcVector<2>(1.0, 1.0), vcVector<2>(4.0, 1.0));
  EXPECT_EQ(f.direction(), vcVector<2>(1.0, 0.0));
  EXPECT_EQ(f.normal(), vcVector<2>(0.0, 1.0));
  EXPECT_EQ(f.offset(), 1.0);
  EXPECT_GT(f.signedDistance(vcVector<2>(0.0, 3.0)), 0.0);
  EXPECT_NEAR(f.angle().toDouble(), 0.0, 1e-15);
  EXPECT_THROW(vcFLine(vcVector<2>(2.0, 2.0), vcVector<2>(2.0, 2.0)), vcShapesError::DegenerateShape);
  EXPECT_THROW(vcFLine(vcVector<2>(0.0, 0.0), 1.0), vcShapesError::BadGeom);
  // A non-unit normal scales the offset with it.
  EXPECT_EQ(vcFLine(vcVector<2>(0.0, 2.0), 4.0), vcFLine(vcVector<2>(0.0, 1.0), 2.0));
}

TEST(FLineTest, ClosestPointIsThePerpendicularFoot) {
  std::mt19937 rng(13);
  for (int i = 0; i < 200; ++i) {
    const vcVector<2> p1 = randomPoint(rng), p2 = randomPoint(rng), p = randomPoint(rng);
    const vcFLine f(p1, p2);
    const vcVector<2> foot = f.closestPoint(p);
    EXPECT_NEAR(f.distanceToPoint(foot), 0.0, 1e-9);
    EXPECT_NEAR((p - foot).dot(p2 - p1) / (p2 - p1).len(), 0.0, 1e-8);
    EXPECT_NEAR(f.distanceToPoint(p), foot.distance(p), 1e-9);
    EXPECT_NEAR(vcFLine(vcLine(p2 - p1, p1)).distanceToPoint(p), f.distanceToPoint(p), 1e-9);
  }
}

TEST(FLineTest, IntersectionFindsTheCommonPointAndNoneForParallelOrSameLines) {
  std::mt19937 rng(14);
  std::uniform_real_distribution<double> a(-3.0, 3.0);
  for (int i = 0; i < 200; ++i) {
    const vcVector<2> x = randomPoint(rng);
    const double a1 = a(rng), a2 = a1 + 0.05 + std::fabs(a(rng));
    const vcFLine f(vcLine(vcRadian(a1), x)), g(vcLine(vcRadian(a2), x));
    const auto pts = f.intersection(g);
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_NEAR(pts[0].distance(x), 0.0, 1e-6);
  }
  const vcFLine h(vcVector<2>(0.0, 0.0), vcVector<2>(1.0, 0.0));
  EXPECT_TRUE(h.intersection(vcFLine(vcVector<2>(0.0, 5.0), vcVector<2>(1.0, 5.0))).empty());
  EXPECT_TRUE(h.intersection(vcFLine(vcVector<2>(3.0, 0.0), vcVector<2>(-1.0, 0.0))).empty());
  EXPECT_TRUE(h.intersection(h).empty());
}

