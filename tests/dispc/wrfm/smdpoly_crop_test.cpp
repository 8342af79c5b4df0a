// Cropping SMD polys: the kept pieces cover exactly the kept part of the
// cropped outline, on random outlines with arcs and rounded corners.
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include <vc/wrfm/smdmodel.h>

namespace {

using P = vcSMDGDPolyPrivate;
using V = vcVector<2>;

struct Part {
  bool arc;
  vc2SegmentLine line;
  vc2SegmentArc a;
  V at(double t) const { return arc ? a.segPoint(t) : line.segPoint(t); }
  double dist(const V& q) const { return arc ? a.distToPoint(q) : line.distToPoint(q); }
};

// The drawn outline, read through the poly's public geometry.
std::vector<Part> outline(const vcSMDGDPoly& p) {
  std::vector<Part> out;
  const long n = p.numVertices();
  for (long i = 0; i < n && n > 1; ++i) {
    const bool end = p.isOpen() && (i == 0 || i == n - 1);
    if (!end && std::abs(p.vertex(i).vertexRadius()) > 1e-15)
      out.push_back({true, {}, P::roundedArcVertex_(p, int(i))});
    if (p.isOpen() && i == n - 1) break;
    const int s = int((i + 1) % n);
    if (std::abs(p.vertex(s).segmentAngleSpan().toDouble()) <= 1e-15)
      out.push_back({false, P::roundedLineSegment_(p, s), {}});
    else
      out.push_back({true, {}, P::roundedArcSegment_(p, s)});
  }
  return out;
}

double distance(const std::vector<Part>& parts, const V& q) {
  double d = std::numeric_limits<double>::infinity();
  for (const Part& pt : parts) d = std::min(d, pt.dist(q));
  return d;
}

// A star-shaped outline about c: corners at increasing angles, some sides
// bowed into arcs, some corners rounded. Nullopt-like empty poly when the
// random choice breaks the poly's rules.
vcSMDGDPoly randomOutline(std::mt19937& rng, V c, bool closed) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const int n = 4 + int(u(rng) * 6);
  std::vector<vcSMDGDPolyVertex> vs;
  for (int i = 0; i < n; ++i) {
    const double ang = 2 * std::numbers::pi * (i + 0.3 * u(rng)) / n, r = 3.0 + 3.0 * u(rng);
    const double round = u(rng) < 0.5 ? 0.1 + 0.4 * u(rng) : 0.0;
    const double span = u(rng) < 0.4 ? 30.0 * (u(rng) - 0.5) : 0.0;
    vs.emplace_back(c + V(r * std::cos(ang), r * std::sin(ang)), round, vcDegree(span), 0.5, 0.5, i, vcDimTol());
  }
  vcSMDGDPoly p("m");
  try {
    p.vertices(vs);
    if (closed) p.close();
  } catch (const vcException&) {
    return vcSMDGDPoly("m");
  }
  return p;
}

double length(const vcSMDGDModel& m) {
  double s = 0;
  for (const auto& p : m.polys()) s += P::perimeter(p, 0.0);
  return s;
}

// Keep-inside and keep-outside pieces: lengths add up to m's, and a dense
// sample of m away from c's outline lies in a piece of exactly one of them,
// the one its side of c says. Returns whether both kept something.
bool expectCoverage(const vcSMDGDPoly& c, const vcSMDGDPoly& m) {
  const vcSMDGDModel in = P::crop(c, m, true), out = P::crop(c, m, false);
  const double total = P::perimeter(m, 0.0);
  EXPECT_NEAR(length(in) + length(out), total, 1e-9 * total);
  const std::vector<Part> cParts = outline(c), mParts = outline(m);
  std::vector<Part> inParts, outParts;
  for (const auto& p : in.polys())
    for (const Part& pt : outline(p)) inParts.push_back(pt);
  for (const auto& p : out.polys())
    for (const Part& pt : outline(p)) outParts.push_back(pt);
  for (const Part& pt : mParts)
    for (int k = 0; k <= 40; ++k) {
      const V q = pt.at(k / 40.0);
      if (distance(cParts, q) < 1e-6) continue;  // at a crossing the side is not defined
      const bool inside = P::inside(c, q);
      EXPECT_EQ(distance(inParts, q) < 1e-9, inside) << q.x() << ", " << q.y();
      EXPECT_EQ(distance(outParts, q) < 1e-9, !inside) << q.x() << ", " << q.y();
    }
  return in.numPolys() > 0 && out.numPolys() > 0;
}

TEST(SMDPolyCrop, PiecesCoverExactlyTheKeptPartOfRandomOutlines) {
  std::mt19937 rng(20261207);
  std::uniform_real_distribution<double> off(-4.0, 4.0);
  int pairs = 0, split = 0;
  for (int trial = 0; trial < 60; ++trial) {
    const vcSMDGDPoly c = randomOutline(rng, V(0, 0), true);
    const vcSMDGDPoly m = randomOutline(rng, V(off(rng), off(rng)), trial % 3 != 0);
    if (c.numVertices() == 0 || m.numVertices() == 0) continue;
    ++pairs;
    SCOPED_TRACE("trial " + std::to_string(trial));
    split += expectCoverage(c, m);
  }
  EXPECT_GT(pairs, 40);
  EXPECT_GT(split, 20);  // most pairs really cross
}

// Two gears with large roundings at narrow tips: cuts leave whole corners too
// little of their shortened segments, so those pieces write their roundings out.
TEST(SMDPolyCrop, CutsBesideLargeRoundingsStillCover) {
  auto gear = [](V centre, double turn) {
    std::vector<vcSMDGDPolyVertex> vs;
    for (int i = 0; i < 64; ++i) {
      const double a = i * std::numbers::pi / 32 + turn, r = i % 2 ? 140.0 : 200.0;
      vs.emplace_back(centre + V(r * std::cos(a), r * std::sin(a)), 6.0, 0.5, 0.5, i);
    }
    vcSMDGDPoly p("gear");
    p.vertices(vs);
    p.close();
    return p;
  };
  EXPECT_TRUE(expectCoverage(gear(V(256, 256), 0.0), gear(V(296, 281), 0.05)));
}

vcSMDGDPoly polyOf(std::vector<V> pts, bool closed) {
  vcSMDGDPoly p("m");
  for (const V& q : pts) p << vcSMDGDPolyVertex(q, 0.5, 0.5, -1);
  if (closed) p.close();
  return p;
}

TEST(SMDPolyCrop, WholeOutlinesAndTouchesAreNotSplit) {
  const vcSMDGDPoly c = vcSMDGDPoly::rectangle(4, 4, V(0, 0));
  const vcSMDGDPoly inner = vcSMDGDPoly::rectangle(2, 2, V(0.5, 0));
  // A diamond whose left corner touches c's right side from outside, and one
  // whose corner rests on c's corner.
  const vcSMDGDPoly touching = polyOf({V(2, 0), V(4, 1), V(6, 0), V(4, -1)}, true);
  const vcSMDGDPoly cornerToCorner = polyOf({V(2, 2), V(3, 2.5), V(4, 4), V(2.5, 3)}, true);
  struct Case {
    const char* what;
    const vcSMDGDPoly& m;
    bool keepInside;
    int pieces;  // -1: m comes back whole
  } cases[] = {
      {"inside, keep inside", inner, true, -1},
      {"inside, keep outside", inner, false, 0},
      {"touching, keep outside", touching, false, -1},
      {"touching, keep inside", touching, true, 0},
      {"corner on corner, keep outside", cornerToCorner, false, -1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const vcSMDGDModel r = P::crop(c, k.m, k.keepInside);
    EXPECT_EQ(r.name(), "");
    if (k.pieces < 0) {
      ASSERT_EQ(r.numPolys(), 1);
      EXPECT_TRUE(r.poly(0) == k.m);
      EXPECT_TRUE(r.poly(0).isClosed());
    } else {
      EXPECT_EQ(r.numPolys(), k.pieces);
    }
  }
}

TEST(SMDPolyCrop, ALineCrossingOnceKeepsTheInnerPartInWalkOrder) {
  const vcSMDGDPoly c = vcSMDGDPoly::rectangle(4, 4, V(0, 0));
  const vcSMDGDModel r = P::crop(c, polyOf({V(10, 0), V(0, 1)}, false), true);
  ASSERT_EQ(r.numPolys(), 1);
  const vcSMDGDPoly& p = r.poly(0);
  ASSERT_EQ(p.numVertices(), 2);
  EXPECT_TRUE(p.isOpen());
  EXPECT_NEAR(p.vertex(0).point().distance(V(2, 0.8)), 0, 1e-12);
  EXPECT_EQ(p.vertex(1).point(), V(0, 1));
  // A line through c twice: its middle inside, its two ends outside, in order.
  const vcSMDGDModel o = P::crop(c, polyOf({V(-5, 0), V(5, 0)}, false), false);
  ASSERT_EQ(o.numPolys(), 2);
  EXPECT_EQ(o.poly(0).vertex(0).point(), V(-5, 0));
  EXPECT_EQ(o.poly(1).vertex(1).point(), V(5, 0));
}

TEST(SMDPolyCrop, ACutPieceKeepsThePolysAttributesAndOnlyTheWholeSegmentsTolerances) {
  // Absolute limits about 10 would reject the shortened segment outright.
  const vcDimTol tight(10, 9.9, 10.1, vcDimTol::eLimits);
  vcSMDGDPoly m("m");
  for (V q : {V(-5, -5), V(5, -5), V(5, 5), V(-5, 5)})
    m << vcSMDGDPolyVertex(q, 1.0, vcDegree(0.0), 0.5, 0.5, 7, tight);
  m.close();
  m.toggleDirection();
  m.weight(2.5);
  const vcSMDGDPoly c = vcSMDGDPoly::rectangle(20, 20, V(10, 0));  // holds the right half of m
  vcSMDGDModel r;
  ASSERT_NO_THROW(r = P::crop(c, m, true));
  ASSERT_EQ(r.numPolys(), 1);
  const vcSMDGDPoly& p = r.poly(0);
  EXPECT_EQ(p.name(), "m");  // and the direction and weight
  EXPECT_TRUE(p.isDirectionReversed());
  EXPECT_EQ(p.weight(), 2.5);
  // Cut at (0, -5), then the whole right side (vertices 1 and 2, rounded), cut at (0, 5).
  ASSERT_EQ(p.numVertices(), 4);
  EXPECT_EQ(p.vertex(0).subModelLabel(), -1);
  EXPECT_TRUE(p.vertex(1).segmentLengthTol() == vcDimTol());  // shortened
  EXPECT_TRUE(p.vertex(2).segmentLengthTol() == tight);       // whole
  EXPECT_EQ(p.vertex(2).vertexRadius(), 1.0);
  EXPECT_TRUE(p.vertex(3).segmentLengthTol() == vcDimTol());
}

TEST(SMDPolyCrop, AnOpenCropperIsRefused) {
  EXPECT_THROW(P::crop(polyOf({V(0, 0), V(1, 1)}, false), polyOf({V(0, 0), V(1, 0)}, false), true),
               vcSMDGDPoly::notClosed);
}

TEST(SMDPolyCrop, PointContactTellsTouchesFromCrossings) {
  const vcSMDGDPoly c = vcSMDGDPoly::rectangle(4, 4, V(0, 0));
  const vcSMDGDPoly touching = polyOf({V(2, 0), V(4, 1), V(6, 0), V(4, -1)}, true);
  const vcSMDGDPoly crossing = polyOf({V(-3, 0), V(3, 0)}, false);
  const vcSMDGDPoly ending = polyOf({V(0, 0), V(2, 0)}, false);
  EXPECT_TRUE(P::pointContact(touching, V(2, 0), c));
  EXPECT_TRUE(P::pointContact(c, V(2, 0), touching));
  EXPECT_FALSE(P::pointContact(crossing, V(2, 0), c));
  EXPECT_TRUE(P::pointContact(ending, V(2, 0), c));     // the end of an open outline
  EXPECT_TRUE(P::pointContact(ending, V(2.0005, 0), c));  // within 0.001 counts as on it
  EXPECT_FALSE(P::pointContact(crossing, V(0, 1), c));  // not on the outline at all
  EXPECT_FALSE(P::pointContact(c, V(2, 0), crossing));  // c passes from one side of the line to the other
}

}  // namespace
