// Straight shapes and point shapes: lines, segments, axes, points and crosses.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/coordaxes.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/points.h>
#include <vc/core/rect.h>

#include "support/test_shapes.h"

namespace {
using V = vcVector<2>;
using vc_test::randomPoint;
}  // namespace

TEST(LineTest, DistanceClosestPointDirectionAndIntersection) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> a(-7.0, 7.0), t(-500.0, 500.0);
  for (int i = 0; i < 100; ++i) {
    const vcLine l(vcRadian(a(rng)), randomPoint(rng, 1000.0));
    const V on = l.point() + l.direction() * t(rng), off = on + l.direction().perp() * 3.0;
    EXPECT_NEAR(l.distanceToPoint(off), 3.0, 1e-9);
    EXPECT_NEAR(l.closestPoint(off).distance(on), 0.0, 1e-9);
    const vcFLine f(l), g(vcLine(vcRadian(a(rng)), on));
    EXPECT_NEAR(f.signedDistance(off), 3.0, 1e-9);  // the normal is on the +angle side
    if (std::fabs(f.direction().cross(g.direction())) > 0.05) {
      EXPECT_NEAR(f.intersection(g).at(0).distance(on), 0.0, 1e-6);
    }
    // Mapped lines keep their type and the direction of travel, mirrored or not.
    const vcXform<2> x = vc_test::randomAffine(rng);
    EXPECT_NEAR(l.map(x).direction().dot(x.mapVector(l.direction()).unit()), 1.0, 1e-12);
    EXPECT_NE(vc_test::as<vcFLine>(f.mapShape(x)), nullptr);
  }
  EXPECT_EQ(vcFLine(V(0.0, 2.0), 4.0), vcFLine(V(0.0, 1.0), 2.0));  // the normal need not be a unit
  const vcFLine h(V(0.0, 0.0), V(1.0, 0.0));
  EXPECT_TRUE(h.intersection(vcFLine(V(0.0, 5.0), V(1.0, 5.0))).empty());
  EXPECT_TRUE(h.intersection(h).empty());
  EXPECT_THROW(vcLine(V(0.0, 0.0), V(1.0, 1.0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcFLine(V(2.0, 2.0), V(2.0, 2.0)), vcShapesError::DegenerateShape);
  EXPECT_THROW(vcLine(V(0.0, 1.0), V()).map(vcXform<2>::scale(1.0, 0.0)), vcShapesError::BadGeom);
  EXPECT_THROW(h.boundingBox(), vcShapesError::BadGeom);
}

TEST(LineSegTest, NearestPointsSamplingAndDegenerateSegments) {
  std::mt19937 rng(21);
  for (int i = 0; i < 100; ++i) {
    const vcLineSeg s(randomPoint(rng, 500.0), randomPoint(rng, 500.0));
    const V past = s.p2() + (s.p2() - s.p1()) * 0.25;
    EXPECT_EQ(s.closestPoint(past), s.p2());
    EXPECT_NEAR(s.distanceToPoint(past), s.length() * 0.25, 1e-9);
  }
  const vcLineSeg dot(V(3.0, 4.0), V(3.0, 4.0));
  EXPECT_FALSE(dot.hasTangent());
  EXPECT_THROW(dot.line(), vcShapesError::DegenerateShape);
  for (const V& bad : {V(NAN, 0.0), V(0.0, INFINITY)}) {
    EXPECT_THROW(vcLineSeg(bad, V(1.0, 1.0)), vcShapesError::BadGeom);
    EXPECT_THROW(vcLineSeg(V(1.0, 1.0), bad), vcShapesError::BadGeom);
  }
}

TEST(ShapeSetTest, DistanceIsToTheNearestMemberAndBoundsHoldThemAll) {
  std::mt19937 rng(23);
  std::vector<vcLineSeg> segs;
  std::vector<V> pts;
  for (int i = 0; i < 12; ++i) {
    segs.emplace_back(randomPoint(rng, 500.0), randomPoint(rng, 500.0));
    pts.push_back(randomPoint(rng, 500.0));
  }
  const vcLineSegSet set(segs);
  const vcPointSet points(pts);
  vcRect box;
  for (const auto& s : segs) box.enclose(s.boundingBox());
  EXPECT_EQ(set.boundingBox(), box);
  for (int k = 0; k < 50; ++k) {
    const V p = randomPoint(rng, 500.0);
    double bestSeg = 1e300, bestPt = 1e300;
    for (const auto& s : segs) bestSeg = std::min(bestSeg, s.distanceToPoint(p));
    for (const auto& q : pts) bestPt = std::min(bestPt, q.distance(p));
    EXPECT_EQ(set.distanceToPoint(p), bestSeg);
    EXPECT_EQ(points.distanceToPoint(p), bestPt);
    const vcCoordAxes a(pts[k % 12], segs[k % 12].p1(), segs[k % 12].p2());
    EXPECT_EQ(a.distanceToPoint(p), std::min(a.xAxis().distanceToPoint(p), a.yAxis().distanceToPoint(p)));
  }
  EXPECT_TRUE(*set.decompose().at(7) == segs[7] && *points.decompose().at(7) == vc2Point(pts[7]));
  EXPECT_THROW(vcPointSet().distanceToPoint(V()), vcShapesError::DegenerateShape);
  EXPECT_TRUE(vcCoordAxes(V(1.0, 1.0), V(1.0, 1.0), V(1.0, 2.0)).degen());
  EXPECT_FALSE(vcCoordAxes(V(1.0, 1.0), V(2.0, 1.0), V(3.0, 1.0)).degen());  // collinear axes still have lengths
}

TEST(PointsTest, PointAndCrossMapTheirCentreButACrossKeepsItsPixelSize) {
  EXPECT_EQ(vc2Point(3.0, -4.0).distanceToPoint(V(0.0, 0.0)), 5.0);
  EXPECT_THROW(vc2Point(std::nan(""), 0.0), vcShapesError::BadGeom);
  const vcCross c(V(2.0, 0.0), vcRadian(0.0), 5);
  const vcXform<2> rot =
      vcXform<2>(vcMatrix<2>::rotation(vcRadian(std::numbers::pi / 2)), V()) * vcXform<2>::scale(3.0, 3.0);
  const vcCross m = c.map(rot);
  EXPECT_NEAR(m.center().distance(V(0.0, 6.0)), 0.0, 1e-12);
  EXPECT_NEAR(m.angle().toDouble(), std::numbers::pi / 2, 1e-12);
  EXPECT_EQ(m.size(), 5);
}
