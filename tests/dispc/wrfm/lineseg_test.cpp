#include <vc/wrfm/lineseg.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;

}  // namespace

TEST(SegmentLineTest, OnlyExactlyCoincidentOrNonFiniteEndsAreRefused) {
  EXPECT_THROW(vc2SegmentLine(V(0, 0), V(0, 0)), vcShapesError::DegenerateShape);
  EXPECT_NO_THROW(vc2SegmentLine(V(0, 0), V(1e-300, 0)));
  EXPECT_THROW(vc2SegmentLine(vcLineSeg(V(2, 3), V(2, 3))), vcShapesError::DegenerateShape);
  EXPECT_THROW(vc2SegmentLine(V(0, 0), V(NAN, 1)), vcShapesError::BadGeom);
  // A map that folds the segment onto a point is refused too.
  EXPECT_THROW(vcXform<2>(vcMatrix<2>(1, 0, 0, 0), V(0, 0)) * vc2SegmentLine(V(3, 0), V(3, 5)),
               vcShapesError::DegenerateShape);
}

TEST(SegmentLineTest, RangeIsInclusiveWithinRelativeSlackAndExclusiveOtherwise) {
  const vc2SegmentLine s(V(0, 0), V(10, 0));
  struct Row {
    V p;
    bool inclusive, expected;
  } rows[] = {{V(10 + 1e-14, 0), true, true}, {V(10, 0), false, false}, {V(0, 5), true, true},
              {V(-1e-12, 0), true, false},    {V(5, 7), false, true},   {V(1e-14, 0), false, false},
              {V(10.001, 0), true, false},    {V(0, 0), true, true}};
  for (const Row& r : rows) EXPECT_EQ(s.inRange(r.p, r.inclusive), r.expected) << r.p << " " << r.inclusive;
  EXPECT_TRUE(s.validPoint(V(4, 1e-14)));
  EXPECT_FALSE(s.validPoint(V(4, 1e-12)));
}

// Random segments and points: the closest point is the arg-min over dense
// samples. Random pairs through one common point, at every scale and down to
// nearly parallel: never reported disjoint, and the point lies on both.
TEST(SegmentLineTest, ClosestPointsAndIntersectionsHoldOnRandomSegments) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 2000; ++i) {
    const double size = std::pow(10.0, -6 + 12 * unit(rng));
    const V x(size * (unit(rng) - 0.5), size * (unit(rng) - 0.5));
    const double a = 6.283185307179586 * unit(rng);
    const double b = a + ((i % 3 == 0) ? std::pow(10.0, -7 * unit(rng)) : 3.0 * unit(rng) + 0.05);
    const double la = size * (0.1 + unit(rng)), lb = size * (0.1 + unit(rng));
    const double ta = 0.05 + 0.9 * unit(rng), tb = 0.05 + 0.9 * unit(rng);
    const V da(std::cos(a), std::sin(a)), db(std::cos(b), std::sin(b));
    const vc2SegmentLine sa(x - da * (la * ta), x + da * (la * (1 - ta)));
    const vc2SegmentLine sb(x - db * (lb * tb), x + db * (lb * (1 - tb)));
    const auto pts = sa.intersection(sb, false);
    ASSERT_EQ(pts.size(), 1u) << i;
    EXPECT_LE(sa.distToPoint(pts[0]), 1e-9 * size);
    EXPECT_LE(sb.distToPoint(pts[0]), 1e-9 * size);
    EXPECT_EQ(sa.intersection(vcFLine(sb.p1(), sb.p2()), false).size(), 1u);
    if (i % 10) continue;
    const V p(size * (3 * unit(rng) - 1.5), size * (3 * unit(rng) - 1.5));
    double best = INFINITY;
    for (int k = 0; k <= 4000; ++k) best = std::fmin(best, sa.segPoint(k / 4000.0).distance(p));
    EXPECT_LE(sa.distToPoint(p), best + 1e-12 * size) << i;
    EXPECT_TRUE(sa.validPoint(sa.closestPoint(p), true)) << i;
  }
}

TEST(SegmentLineTest, EndsAndOverlapsFollowTheExclusiveFlagAndCollinearGivesNoPoint) {
  const vc2SegmentLine a(V(0, 0), V(4, 0));
  for (const vc2SegmentLine& touching : {vc2SegmentLine(V(4, 0), V(4, 3)), vc2SegmentLine(V(2, 0), V(2, 3))}) {
    EXPECT_EQ(a.intersection(touching, false).size(), 1u) << touching;
    EXPECT_TRUE(a.intersection(touching, true).empty()) << touching;
  }
  for (const vc2SegmentLine& o : {vc2SegmentLine(V(1, 0), V(6, 0)), vc2SegmentLine(V(0, 1), V(4, 1)),
                                  vc2SegmentLine(V(5, -1), V(5, 1))})
    EXPECT_TRUE(a.intersection(o, false).empty()) << o;
}

TEST(SegmentLineTest, MapsMoveBothEndsAndEqualityAllowsRounding) {
  const vc2SegmentLine s(V(1, 2), V(4, 6));
  const vc2Rigid r(vcDegree(90), V(10, 0));
  EXPECT_EQ(r * s, vc2SegmentLine(V(8, 1), V(4, 4)));
  EXPECT_EQ(r.linear() * s, r * s);
  EXPECT_NEAR(s.angle().toDouble(), std::atan2(4.0, 3.0) * 57.29577951308232, 1e-13);
  const vc2SegmentLine z(V(0, 0), V(0.25, 0));
  EXPECT_TRUE(z == vc2SegmentLine(V(9e-16, -9e-16), V(0.25 + 9e-16, 0)));
  EXPECT_FALSE(z == vc2SegmentLine(V(0, 2e-15), V(0.25, 0)));
  const vcRect box = vc2SegmentLine(V(4, 1), V(1, 5)).boundingBox();
  EXPECT_EQ(box.origin(), V(1, 1));
  EXPECT_EQ(box.size(), V(3, 4));
  std::ostringstream os;
  os << vc2SegmentLine(V(1, 2), V(3, 4));
  EXPECT_EQ(os.str(), "p1_=12\np2_=34\n\n");  // no separator: stored logs rely on it
}

TEST(SegmentLineTest, ArchiveRoundTripsAndBadInputLeavesTheTargetAlone) {
  const vc2SegmentLine s(V(-1.5, 2.25), V(1e10, -3e-7));
  const std::vector<unsigned char> bytes = vc_test::store(s);
  // Version byte, then p1 and p2 as x, y doubles.
  ASSERT_EQ(bytes.size(), 1u + 32u);
  double stored[4];
  std::memcpy(stored, bytes.data() + 1, sizeof stored);
  EXPECT_EQ(V(stored[0], stored[1]), s.p1());
  EXPECT_EQ(V(stored[2], stored[3]), s.p2());
  auto same = [](const vc2SegmentLine& a, const vc2SegmentLine& b) {
    EXPECT_EQ(a.p1(), b.p1());
    EXPECT_EQ(a.p2(), b.p2());
  };
  same(vc_test::load(bytes, vc2SegmentLine()), s);
  const vc2SegmentLine def = vc_test::load(vc_test::store(vc2SegmentLine()), s);  // degenerate, yet reloads
  EXPECT_EQ(def.p1(), def.p2());
  std::vector<unsigned char> wrong = bytes, nan = bytes;
  wrong[0] = 1;
  vc_test::expectUnknownVersion(wrong, s, "dispc/wrfm/lineseg", 105);
  vc_test::expectRejected(s, wrong, same);
  vc_test::expectRejected(s, std::vector<unsigned char>(bytes.begin(), bytes.end() - 1), same);
  for (int k = 0; k < 8; ++k) nan[25 + k] = 0xFF;  // p2.y
  vc_test::expectRejected(s, nan, same);
}
