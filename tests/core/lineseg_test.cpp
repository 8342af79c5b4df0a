#include <vc/core/lineseg.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <vc/core/archive.h>
#include <vc/core/rect.h>

#include "support/test_shapes.h"

namespace {

}  // namespace

TEST(LineSegTest, PointsBeyondAnEndAreNearestToThatEnd) {
  std::mt19937 rng(21);
  for (int i = 0; i < 100; ++i) {
    const vcLineSeg s(vc_test::randomPoint(rng, 500.0), vc_test::randomPoint(rng, 500.0));
    const vcVector<2> past = s.p2() + (s.p2() - s.p1()) * 0.25;
    EXPECT_EQ(s.closestPoint(past), s.p2());
    EXPECT_NEAR(s.distanceToPoint(past), s.length() * 0.25, 1e-9);
    EXPECT_NEAR(s.distanceToPoint(s.p1() + (s.p2() - s.p1()).perp().unit() * 0.5), 0.5, 1e-9);
  }
}

// A straight contour needs only its ends for any tolerance; spacings and
// point limits divide it evenly; a hostile spacing is bounded.
TEST(LineSegTest, SamplingDividesTheSegmentEvenly) {
  const vcLineSeg s(vcVector<2>(0.0, 0.0), vcVector<2>(100.0, 0.0));
  const auto count = [&](const vcShape::vcSampleParams& params) {
    std::vector<vcVector<2>> pts;
    s.sample(params, pts);
    return pts;
  };
  EXPECT_EQ(count(vcShape::vcSampleParams(0.01)).size(), 2u);
  EXPECT_EQ(count(vcShape::vcSampleParams(0.0, 7.0)).size(), 16u);  // ceil(100 / 7) chords
  vcShape::vcSampleParams capped(0.0, 1e-6);
  capped.maxPoints(9);
  EXPECT_NEAR(count(capped).at(1).x(), 12.5, 1e-12);
  EXPECT_LE(count(vcShape::vcSampleParams(0.0, 1e-300)).size(), 10000000u);
}

TEST(LineSegTest, EndsMustBeFinite) {
  for (const vcVector<2>& bad : {vcVector<2>(NAN, 0.0), vcVector<2>(0.0, INFINITY)}) {
    EXPECT_THROW(vcLineSeg(bad, vcVector<2>(1.0, 1.0)), vcShapesError::BadGeom);
    EXPECT_THROW(vcLineSeg(vcVector<2>(1.0, 1.0), bad), vcShapesError::BadGeom);
  }
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

