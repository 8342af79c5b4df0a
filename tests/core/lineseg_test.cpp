#include <vc/core/lineseg.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <vc/core/archive.h>
#include <vc/core/rect.h>

#include "support/test_shapes.h"

namespace {

}  // namespace

TEST(LineSegTest, SamplesLieOnTheSegmentAndOffsetPointsAreAway) {
  std::mt19937 rng(21);
  std::uniform_real_distribution<double> sp(0.5, 80.0);
  for (int i = 0; i < 100; ++i) {
    const vcLineSeg s(vc_test::randomPoint(rng, 500.0), vc_test::randomPoint(rng, 500.0));
    std::vector<vcVector<2>> pts;
    s.sample(vcShape::vcSampleParams(0.0, sp(rng)), pts);
    ASSERT_GE(pts.size(), 2u);
    EXPECT_EQ(pts.front(), s.p1());
    EXPECT_EQ(pts.back(), s.p2());
    for (const auto& p : pts) {
      EXPECT_NEAR(s.distanceToPoint(p), 0.0, 1e-9 * (1.0 + p.len()));
      EXPECT_GT(s.distanceToPoint(p + (s.p2() - s.p1()).perp().unit() * 0.5), 0.49);
    }
    // Beyond an end, the nearest point is that end.
    const vcVector<2> past = s.p2() + (s.p2() - s.p1()) * 0.25;
    EXPECT_EQ(s.closestPoint(past), s.p2());
    EXPECT_NEAR(s.distanceToPoint(past), s.length() * 0.25, 1e-9);
  }
}

TEST(LineSegTest, SamplingObeysSpacingMinPointsMaxPointsAndIncludeEnd) {
  const vcLineSeg s(vcVector<2>(0.0, 0.0), vcVector<2>(100.0, 0.0));
  std::vector<vcVector<2>> pts;
  s.sample(vcShape::vcSampleParams(0.01), pts);
  EXPECT_EQ(pts.size(), 2u) << "a tolerance alone needs only the ends";

  pts.clear();
  s.sample(vcShape::vcSampleParams(0.0, 7.0), pts);
  ASSERT_EQ(pts.size(), 16u);  // ceil(100 / 7) chords
  for (std::size_t i = 1; i < pts.size(); ++i) EXPECT_LE(pts[i].distance(pts[i - 1]), 7.0);

  pts.clear();
  s.sample(vcShape::vcSampleParams(0.0, 0.0, 5), pts);
  EXPECT_EQ(pts.size(), 5u);

  pts.clear();
  vcShape::vcSampleParams capped(0.0, 1e-6);
  capped.maxPoints(9);
  s.sample(capped, pts);
  ASSERT_EQ(pts.size(), 9u);
  EXPECT_NEAR(pts[1].x(), 12.5, 1e-12);
  EXPECT_EQ(pts.back(), s.p2());

  pts.clear();
  s.sample(vcShape::vcSampleParams(0.0, 50.0, 2, false, false), pts);
  EXPECT_EQ(pts, (std::vector<vcVector<2>>{vcVector<2>(0.0, 0.0), vcVector<2>(50.0, 0.0)}));

  // A hostile spacing is bounded rather than exhausting memory.
  pts.clear();
  s.sample(vcShape::vcSampleParams(0.0, 1e-300), pts);
  EXPECT_LE(pts.size(), 10000000u);
}

TEST(LineSegTest, ZeroLengthSegmentIsAPointWithoutTangentOrLine) {
  const vcLineSeg s(vcVector<2>(3.0, 4.0), vcVector<2>(3.0, 4.0));
  EXPECT_FALSE(s.hasTangent());
  EXPECT_THROW(s.tangentAt(vcVector<2>()), vcShapesError::NoTangent);
  EXPECT_THROW(s.line(), vcShapesError::DegenerateShape);
  EXPECT_EQ(s.distanceToPoint(vcVector<2>(6.0, 8.0)), 5.0);
  EXPECT_EQ(s.boundingBox(), vcRect(3.0, 4.0, 0.0, 0.0));
  std::vector<vcVector<2>> pts;
  s.sample(vcShape::vcSampleParams(0.0, 1.0), pts);
  EXPECT_EQ(pts, (std::vector<vcVector<2>>{s.p1(), s.p1()}));
}

TEST(LineSegTest, ContourRunsFromP1ToP2AndReverseSwapsTheEnds) {
  const vcLineSeg s(vcVector<2>(1.0, 1.0), vcVector<2>(1.0, -3.0));
  EXPECT_EQ(s.tangentAt(vcVector<2>(50.0, 50.0)), vcVector<2>(0.0, -1.0));
  EXPECT_EQ(s.line().direction(), vcVector<2>(0.0, -1.0));
  EXPECT_EQ(s.endPoint(), s.p2());
  EXPECT_TRUE(*s.reverse() == vcLineSeg(s.p2(), s.p1()));
}

TEST(LineSegSetTest, BoundsDistanceAndDecomposeCoverEverySegment) {
  std::mt19937 rng(23);
  std::vector<vcLineSeg> segs;
  for (int i = 0; i < 12; ++i) segs.emplace_back(vc_test::randomPoint(rng, 500.0), vc_test::randomPoint(rng, 500.0));
  const vcLineSegSet set(segs);
  EXPECT_EQ(set.numSegments(), 12u);
  EXPECT_FALSE(set.isOpenContour() || set.isClosedContour() || set.isRegion());
  vcRect expected;
  for (const auto& s : segs) expected.enclose(s.boundingBox());
  EXPECT_EQ(set.boundingBox(), expected);
  for (int k = 0; k < 50; ++k) {
    const vcVector<2> p = vc_test::randomPoint(rng, 500.0);
    double best = 1e300;
    for (const auto& s : segs) best = std::min(best, s.distanceToPoint(p));
    EXPECT_EQ(set.distanceToPoint(p), best);
  }
  const auto parts = set.decompose();
  ASSERT_EQ(parts.size(), segs.size());
  for (std::size_t i = 0; i < segs.size(); ++i) EXPECT_TRUE(*parts[i] == segs[i]);
  EXPECT_THROW(set.segment(12), vcBadArgument);
  const vcLineSegSet empty;
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_THROW(empty.boundingBox(), vcShapesError::DegenerateShape);
  EXPECT_THROW(empty.distanceToPoint(vcVector<2>()), vcShapesError::DegenerateShape);
}

