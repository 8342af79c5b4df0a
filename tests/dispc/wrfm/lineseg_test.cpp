#include <vc/wrfm/lineseg.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

namespace {

using V = vcVector<2>;

std::vector<unsigned char> store(vc2SegmentLine s) {
  vcBufferArchive out(vcArchive::eStore);
  out || s;
  return out.bytes();
}

}  // namespace

TEST(SegmentLineTest, OnlyExactlyCoincidentEndsAreDegenerate) {
  EXPECT_THROW(vc2SegmentLine(V(0, 0), V(0, 0)), vcShapesError::DegenerateShape);
  EXPECT_NO_THROW(vc2SegmentLine(V(0, 0), V(1e-300, 0)));
  EXPECT_THROW(vc2SegmentLine(vcLineSeg(V(2, 3), V(2, 3))), vcShapesError::DegenerateShape);
  EXPECT_THROW(vc2SegmentLine(V(0, 0), V(NAN, 1)), vcShapesError::BadGeom);
  // A map that folds the segment onto a point is refused too.
  const vcXform<2> flatten(vcMatrix<2>(1, 0, 0, 0), V(0, 0));
  EXPECT_THROW(flatten * vc2SegmentLine(V(3, 0), V(3, 5)), vcShapesError::DegenerateShape);
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
  EXPECT_EQ(s.closestPoint(V(5, 3)), V(5, 0));
  EXPECT_EQ(s.closestPoint(V(-1, 0)), V(0, 0));
  EXPECT_EQ(s.closestPoint(V(11, -2)), V(10, 0));
  EXPECT_TRUE(s.validPoint(V(4, 1e-14)));
  EXPECT_FALSE(s.validPoint(V(4, 1e-12)));
}

TEST(SegmentLineTest, ClosestPointIsTheArgMinOverDenseSamples) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-50, 50);
  for (int i = 0; i < 200; ++i) {
    const vc2SegmentLine s(V(u(rng), u(rng)), V(u(rng), u(rng)));
    const V p(u(rng), u(rng));
    double best = INFINITY;
    for (int k = 0; k <= 4000; ++k) best = std::fmin(best, s.segPoint(k / 4000.0).distance(p));
    const V c = s.closestPoint(p);
    EXPECT_LE(s.distToPoint(p), best + 1e-12 * 100);
    EXPECT_TRUE(s.validPoint(c, true));
  }
}

// Two segments built through one common point, at every scale and down to
// nearly parallel directions: they are never reported disjoint, and what is
// reported lies on both.
TEST(SegmentLineTest, SegmentsThatMeetAreFoundAndTheirPointLiesOnBoth) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 2000; ++i) {
    const double size = std::pow(10.0, -6 + 12 * unit(rng));
    const V x(size * (unit(rng) - 0.5), size * (unit(rng) - 0.5));
    const double a = 6.283185307179586 * unit(rng);
    const double turn = (i % 3 == 0) ? std::pow(10.0, -7 * unit(rng)) : 3.0 * unit(rng) + 0.05;
    const double b = a + turn;
    const double la = size * (0.1 + unit(rng)), lb = size * (0.1 + unit(rng));
    const double ta = 0.05 + 0.9 * unit(rng), tb = 0.05 + 0.9 * unit(rng);
    const V da(std::cos(a), std::sin(a)), db(std::cos(b), std::sin(b));
    const vc2SegmentLine sa(x - da * (la * ta), x + da * (la * (1 - ta)));
    const vc2SegmentLine sb(x - db * (lb * tb), x + db * (lb * (1 - tb)));
    const auto pts = sa.intersection(sb, false);
    ASSERT_EQ(pts.size(), 1u) << "size " << size << " turn " << turn;
    EXPECT_LE(sa.distToPoint(pts[0]), 1e-9 * size);
    EXPECT_LE(sb.distToPoint(pts[0]), 1e-9 * size);
    EXPECT_EQ(sa.intersection(vcFLine(sb.p1(), sb.p2()), false).size(), 1u);
  }
}

TEST(SegmentLineTest, EndsAndOverlapsFollowTheExclusiveFlagAndCollinearGivesNoPoint) {
  const vc2SegmentLine a(V(0, 0), V(4, 0));
  const vc2SegmentLine touching(V(4, 0), V(4, 3));
  EXPECT_EQ(a.intersection(touching, false).size(), 1u);
  EXPECT_TRUE(a.intersection(touching, true).empty());
  EXPECT_TRUE(a.intersection(vc2SegmentLine(V(1, 0), V(6, 0)), false).empty());
  EXPECT_TRUE(a.intersection(vc2SegmentLine(V(0, 1), V(4, 1)), false).empty());
  EXPECT_TRUE(a.intersection(vc2SegmentLine(V(5, -1), V(5, 1)), false).empty());
}

TEST(SegmentLineTest, MapsMoveBothEnds) {
  const vc2SegmentLine s(V(1, 2), V(4, 6));
  const vc2Rigid r(vcDegree(90), V(10, 0));
  EXPECT_EQ(r * s, vc2SegmentLine(V(8, 1), V(4, 4)));
  EXPECT_EQ(r.linear() * s, r * s);
  EXPECT_NEAR((r * s).length(), 5.0, 1e-14);
  EXPECT_NEAR(s.angle().toDouble(), std::atan2(4.0, 3.0) * 57.29577951308232, 1e-13);
  // Equality allows 1e-15 per coordinate (near 0, where that is representable).
  const vc2SegmentLine z(V(0, 0), V(0.25, 0));
  EXPECT_TRUE(z == vc2SegmentLine(V(9e-16, -9e-16), V(0.25 + 9e-16, 0)));
  EXPECT_FALSE(z == vc2SegmentLine(V(0, 2e-15), V(0.25, 0)));
  const vcRect box = vc2SegmentLine(V(4, 1), V(1, 5)).boundingBox();
  EXPECT_EQ(box.origin(), V(1, 1));
  EXPECT_EQ(box.size(), V(3, 4));
}

TEST(SegmentLineTest, PrintsCoordinatesWithoutSeparator) {
  std::ostringstream os;
  os << vc2SegmentLine(V(1, 2), V(3, 4));
  EXPECT_EQ(os.str(), "p1_=12\np2_=34\n\n");
}

TEST(SegmentLineTest, ArchiveRoundTripsAndBadInputLeavesTheTargetAlone) {
  const vc2SegmentLine s(V(-1.5, 2.25), V(1e10, -3e-7));
  const std::vector<unsigned char> bytes = store(s);
  ASSERT_EQ(bytes.size(), 1u + 32u);
  vc2SegmentLine back;
  vcBufferArchive in(bytes);
  in >> back;
  EXPECT_EQ(back.p1(), s.p1());
  EXPECT_EQ(back.p2(), s.p2());
  vc2SegmentLine def;
  vcBufferArchive defIn(store(def));
  defIn || def;  // the default segment reloads although it is degenerate
  EXPECT_EQ(def.p1(), def.p2());

  const vc2SegmentLine keep(V(7, 7), V(8, 8));
  auto expectRejected = [&](std::vector<unsigned char> b) {
    vc2SegmentLine target = keep;
    vcBufferArchive ar(b);
    EXPECT_THROW(ar || target, vcException);
    EXPECT_EQ(target.p1(), keep.p1());
    EXPECT_EQ(target.p2(), keep.p2());
  };
  std::vector<unsigned char> wrong = bytes;
  wrong[0] = 1;
  {
    vc2SegmentLine target = keep;
    vcBufferArchive ar(wrong);
    try {
      ar || target;
      ADD_FAILURE() << "version 1 accepted";
    } catch (const vcArchive::UnknownVersion& e) {
      EXPECT_EQ(e.source(), "dispc/wrfm/lineseg");
      EXPECT_EQ(e.line(), 105);
    }
  }
  expectRejected(wrong);
  expectRejected(std::vector<unsigned char>(bytes.begin(), bytes.end() - 1));
  std::vector<unsigned char> nan = store(s);
  for (int k = 0; k < 8; ++k) nan[1 + k] = 0xFF;
  expectRejected(nan);
}
