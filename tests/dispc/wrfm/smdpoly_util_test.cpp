// Poly utilities: the filters on fixed-seed random lists (what stays obeys
// the filter and no length goes missing), joining, reversing, one tolerance
// for all segments, and rectilinear outlines.
#include <vc/wrfm/smdpoly.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <list>
#include <numbers>
#include <random>
#include <vector>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
using P = vcSMDGDPolyPrivate;
using Vx = vcSMDGDPolyVertex;
using Polys = std::list<vcSMDGDPoly>;
using vc_test::archiveBytes;

vcSMDGDPoly make(const std::vector<V>& pts, bool closed) {
  vcSMDGDPoly p;
  for (const V& q : pts) p << Vx(q, 0.5, 0.5, -1);
  if (closed) p.close();
  return p;
}

std::vector<V> points(const vcSMDGDPoly& p) {
  std::vector<V> out;
  for (const Vx& v : p.vertices()) out.push_back(v.point());
  return out;
}

void forSegments(const vcSMDGDPoly& p, const std::function<void(int)>& f) {
  for (int s = p.isOpen() ? 1 : 0; p.numVertices() > 1 && s < p.numVertices(); ++s) f(s);
}
// The full length of segment s, along the arc for an arc segment.
double segLen(const vcSMDGDPoly& p, int s) {
  return p.vertex(s).segmentAngleSpan().toDouble() == 0.0 ? P::lineSegment_(p, s).length()
                                                          : P::arcSegment_(p, s).length();
}
bool isEnd(const vcSMDGDPoly& p, int v) { return p.isOpen() && (v == 0 || v == p.numVertices() - 1); }

// Star-shaped rings, open or closed, some sides arcs and some corners
// rounded; a decoration the poly's checks refuse is tried again.
vcSMDGDPoly randomPoly(std::mt19937& rng, V at) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const int n = 3 + static_cast<int>(rng() % 7);
  const bool closed = u(rng) < 0.6;
  std::vector<Vx> vs;
  for (int i = 0; i < n; ++i) {
    const double a = (i + 0.7 * u(rng)) * 2 * std::numbers::pi / n, r = 2 + 8 * u(rng);
    vs.emplace_back(at + V(r * std::cos(a), r * std::sin(a)), 0.5, 0.5, -1);
  }
  for (int attempt = 0;; ++attempt) {
    std::vector<Vx> decorated = vs;
    for (Vx& v : decorated) {
      if (attempt < 10 && u(rng) < 0.3) v.segmentAngleSpan(vcDegree((u(rng) < 0.5 ? -1 : 1) * (10 + 60 * u(rng))));
      if (attempt < 10 && u(rng) < 0.3) v.vertexRadius(0.4 * u(rng));
    }
    try {
      vcSMDGDPoly p;
      p.vertices(decorated);
      if (closed) p.close();
      return p;
    } catch (const vcSMDGDPoly::Errors&) {
      if (attempt >= 10) throw;
    }
  }
}

TEST(SMDPolyFilters, WhatRemainsObeysTheFilterAndNoLengthGoesMissing) {
  const vcRange lengths(3.0, 9.0), perimeters(20.0, 40.0);
  const vcAngleRange corners{vcRadian(vcDegree(120.0)), vcRadian(vcDegree(120.0))};  // turns under 60 degrees
  const auto badCorner = [&](const vcSMDGDPoly& p, int v) {
    return !isEnd(p, v) && !corners.isWithin(vcRadian(P::vertexAngle(p, v)));
  };
  // Each filter with the segments it must remove; a piece it leaves has none.
  struct Filter {
    std::function<void(Polys&)> run;
    std::function<bool(const vcSMDGDPoly&, int)> removes;
  };
  const std::vector<Filter> filters = {
      {[&](Polys& l) { P::segmentLengthFilter(l, lengths); },
       [&](const vcSMDGDPoly& p, int s) { return !lengths.isWithin(segLen(p, s)); }},
      {[&](Polys& l) { P::segmentAngleSpanFilter(l, vcDegree(40.0)); },
       [&](const vcSMDGDPoly& p, int s) { return std::abs(p.vertex(s).segmentAngleSpan().toDouble()) > 40.0; }},
      {[&](Polys& l) { P::vertexAngleFilter(l, corners); },
       [&](const vcSMDGDPoly& p, int s) {
         return badCorner(p, s) || badCorner(p, static_cast<int>((s + p.numVertices() - 1) % p.numVertices()));
       }},
  };
  for (unsigned seed : {1u, 2u, 3u}) {
    std::mt19937 rng(seed);
    Polys polys;
    for (int i = 0; i < 12; ++i) polys.push_back(randomPoly(rng, V(30.0 * (i % 5), 30.0 * (i / 5))));
    for (std::size_t f = 0; f < filters.size(); ++f) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", filter " << f);
      // Filtered one by one and as a list: the list is the pieces in order.
      Polys whole = polys, expected;
      filters[f].run(whole);
      for (const vcSMDGDPoly& p : polys) {
        Polys one{p};
        filters[f].run(one);
        double kept = 0.0, removed = 0.0, total = 0.0;
        for (const vcSMDGDPoly& piece : one)
          forSegments(piece, [&](int s) {
            EXPECT_FALSE(filters[f].removes(piece, s));
            kept += segLen(piece, s);
          });
        forSegments(p, [&](int s) {
          total += segLen(p, s);
          if (filters[f].removes(p, s)) removed += segLen(p, s);
        });
        EXPECT_NEAR(kept + removed, total, 1e-9);
        expected.splice(expected.end(), one);
      }
      ASSERT_EQ(whole.size(), expected.size());
      for (auto a = whole.begin(), b = expected.begin(); a != whole.end(); ++a, ++b)
        EXPECT_EQ(archiveBytes(*a), archiveBytes(*b));
    }

    Polys byPerimeter = polys, expected;
    P::perimeterFilter(byPerimeter, perimeters);
    for (const vcSMDGDPoly& p : polys)
      if (perimeters.isWithin(P::perimeter(p, 0.0))) expected.push_back(p);
    EXPECT_EQ(byPerimeter, expected);
    for (bool keep : {false, true}) {
      Polys same = polys;
      P::closureFilter(same, keep, keep);
      EXPECT_EQ(same, polys);
    }
    Polys open = polys, closed = polys;
    P::closureFilter(open, true, false);
    P::closureFilter(closed, false, true);
    EXPECT_EQ(open.size() + closed.size(), polys.size());
    for (const vcSMDGDPoly& p : open) EXPECT_TRUE(p.isOpen());
    for (const vcSMDGDPoly& p : closed) EXPECT_TRUE(p.isClosed());
  }
}

TEST(SMDPolyFilters, CrossedSegmentsGoAndThePiecesLeftFollowTheOutline) {
  // A square crossed top and bottom by a vertical line keeps its two sides.
  Polys polys{make({V(0, 0), V(10, 0), V(10, 10), V(0, 10)}, true)};
  const Polys others{make({V(5, -5), V(5, 15)}, false)};
  P::crossingPolysResolve(polys, others);
  ASSERT_EQ(polys.size(), 2u);
  EXPECT_EQ(points(polys.front()), (std::vector<V>{V(10, 0), V(10, 10)}));
  EXPECT_EQ(points(polys.back()), (std::vector<V>{V(0, 10), V(0, 0)}));

  std::vector<vcSMDGDPoly> pieces;
  const vcSMDGDPoly chain = make({V(0, 0), V(1, 0), V(2, 0), V(3, 1)}, false);
  P::deleteSegments(chain, {2}, pieces);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(points(pieces[1]), (std::vector<V>{V(2, 0), V(3, 1)}));
  EXPECT_THROW(P::deleteSegments(chain, {0}, pieces), vcSMDGDPoly::invalidIndex);
  EXPECT_EQ(pieces.size(), 2u);
}

TEST(SMDPolyUtilities, ReversingTwiceGivesThePolyBack) {
  std::mt19937 rng(7);
  for (int i = 0; i < 40; ++i) {
    vcSMDGDPoly p = randomPoly(rng, V(0, 0));
    std::vector<Vx> vs = p.vertices();
    for (std::size_t k = 0; k < vs.size(); ++k) {
      vs[k].percentPrevSegment(0.2 + 0.1 * static_cast<double>(k % 3));
      vs[k].segmentLengthTol(vcDimTol(-1, 0.1 * static_cast<double>(k), 0.5, vcDimTol::eOffsets));
    }
    if (p.isOpen()) vs[0].segmentAngleSpan(vcDegree(17.0));  // belongs to no segment
    p.vertices(vs);
    vcSMDGDPoly once, twice;
    P::reversePoly(p, once);
    EXPECT_NE(once.isDirectionReversed(), p.isDirectionReversed());
    EXPECT_NEAR(P::perimeter(once, 0.0), P::perimeter(p, 0.0), 1e-9);
    EXPECT_TRUE(p.isOpen() || once.isDirectionPositive() == p.isDirectionPositive());
    P::reversePoly(once, twice);
    EXPECT_EQ(archiveBytes(twice), archiveBytes(p)) << i;
  }
}

TEST(SMDPolyUtilities, ConnectJoinsOpenPolysAtTheChosenEndsAndRefusesClosedOnes) {
  const vcSMDGDPoly a = make({V(0, 0), V(1, 0)}, false), b = make({V(2, 0), V(3, 0)}, false);
  vcSMDGDPoly r;
  P::connectPolys(a, true, b, false, r);
  EXPECT_EQ(points(r), (std::vector<V>{V(0, 0), V(1, 0), V(2, 0), V(3, 0)}));
  // At a's first and c's last vertex; the join is straight though c ends in an arc.
  vcSMDGDPoly c = make({V(1, 1)}, false);
  c << Vx(V(0, 1), 0, vcDegree(30), 0.5, 0.5, -1, vcDimTol());
  P::connectPolys(a, false, c, true, r);
  EXPECT_EQ(points(r), (std::vector<V>{V(1, 0), V(0, 0), V(0, 1), V(1, 1)}));
  EXPECT_EQ(r.vertex(2).segmentAngleSpan().toDouble(), 0.0);

  const auto before = archiveBytes(r);
  const vcSMDGDPoly closed = make({V(0, 5), V(5, 5), V(5, 9)}, true);
  EXPECT_THROW(P::connectPolys(closed, true, b, false, r), vcSMDGDPoly::invalidVertices);
  EXPECT_THROW(P::connectPolys(a, true, closed, false, r), vcSMDGDPoly::invalidVertices);
  EXPECT_EQ(archiveBytes(r), before);
}

TEST(SMDPolyUtilities, OneToleranceForAllSegmentsOrNoChange) {
  vcSMDGDPoly p = make({V(0, 0), V(10, 0), V(10, 4)}, true);
  const vcDimTol loose(-1, 1, 1, vcDimTol::eOffsets);
  P::autoSegmentLengthTolerance(p, loose);
  for (const Vx& v : p.vertices()) EXPECT_EQ(v.segmentLengthTol(), loose);
  // Limits of [3, 5] hold the side of 4 but not the others.
  const auto before = archiveBytes(p);
  EXPECT_THROW(P::autoSegmentLengthTolerance(p, vcDimTol(4, 3, 5, vcDimTol::eLimits)), vcException);
  EXPECT_EQ(archiveBytes(p), before);
}

TEST(SMDPolyRectilinear, CloseAddsOrMovesTheLastCornerAndRefusesOneVertex) {
  const std::vector<V> corners{V(0, 0), V(10, 0), V(10, 5), V(0, 5)};
  for (const std::vector<V>& chain :
       {std::vector<V>{V(0, 0), V(10, 0), V(10, 5)}, std::vector<V>{V(0, 0), V(10, 0), V(10, 5), V(1, 6)}}) {
    vcSMDGDPoly p = make(chain, false);
    P::closeRectilinear(p);
    EXPECT_TRUE(p.isClosed());
    EXPECT_EQ(points(p), corners);
  }
  vcSMDGDPoly two = make({V(0, 0), V(10, 0)}, false);
  P::closeRectilinear(two);
  EXPECT_TRUE(two.isClosed());
  EXPECT_EQ(two.numVertices(), 2);

  vcSMDGDPoly one = make({V(3, 3)}, false);
  const auto before = archiveBytes(one);
  EXPECT_THROW(P::closeRectilinear(one), vcSMDGDPoly::invalidVertices);
  EXPECT_EQ(archiveBytes(one), before);
  EXPECT_THROW(P::snapRectilinear(one), vcSMDGDPoly::invalidIndex);
}

TEST(SMDPolyRectilinear, ClosedAndSnappedOutlinesAreRectilinearAndRectilinearOnesStay) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> step(3.0, 9.0), jitter(-0.4, 0.4);
  for (int i = 0; i < 30; ++i) {
    // A staircase rising to the right, closed.
    const int corners = 3 + i % 6;
    std::vector<V> pts{V(0, 0)};
    for (int k = 1; k < corners; ++k) pts.push_back(pts.back() + (k % 2 ? V(step(rng), 0) : V(0, step(rng))));
    vcSMDGDPoly p = make(pts, false);
    P::closeRectilinear(p);
    ASSERT_TRUE(P::isRectilinear(p)) << i;
    EXPECT_EQ(p.numVertices(), corners + corners % 2);

    const auto rectilinear = archiveBytes(p);
    P::closeRectilinear(p);
    P::snapRectilinear(p);
    EXPECT_EQ(archiveBytes(p), rectilinear);

    // Arcs on the axis-parallel outline: snapping straightens them and moves no corner.
    std::vector<Vx> vs = p.vertices();
    for (std::size_t k = 1; k < vs.size(); k += 2) vs[k].segmentAngleSpan(vcDegree(20.0));
    vcSMDGDPoly arcs = p;
    arcs.vertices(vs);
    P::snapRectilinear(arcs);
    EXPECT_TRUE(P::isRectilinear(arcs)) << i;
    EXPECT_EQ(points(arcs), points(p));

    // Shaken corners, snapped: straight sides along the axes of the dominant
    // angle; the name, colors and weight stay.
    vs = p.vertices();
    for (Vx& v : vs) v.point(v.point() + V(jitter(rng), jitter(rng)));
    vcSMDGDPoly shaken("body");
    shaken.vertices(vs);
    shaken.close();
    shaken.weight(2.5);
    shaken.colors(vcSMDColors(vcColor::redColor(), vcColor::whiteColor(), vcColor::blackColor()));
    const double d = P::dominantAngle(shaken).toDouble() * std::numbers::pi / 180.0;
    vcSMDGDPoly snapped = shaken;
    P::snapRectilinear(snapped);
    const int n = static_cast<int>(snapped.numVertices());
    forSegments(snapped, [&](int s) {
      const V side = snapped.vertex(s).point() - snapped.vertex((s + n - 1) % n).point();
      EXPECT_LT(std::abs(std::sin(2 * (side.angle().toDouble() - d))), 1e-9) << i;
      EXPECT_EQ(snapped.vertex(s).segmentAngleSpan().toDouble(), 0.0);
    });
    EXPECT_EQ(snapped.name(), "body");
    EXPECT_EQ(snapped.weight(), 2.5);
    EXPECT_EQ(snapped.colors(), shaken.colors());
  }
}

TEST(SMDPolyRectilinear, ReplacingAVertexMovesItsNeighboursAlongTheirOtherSides) {
  vcSMDGDPoly p = make({V(0, 0), V(10, 0), V(10, 5), V(0, 5)}, true);
  P::replaceVertexRectilinear(p, 0, Vx(V(-2, -1), 0.5, 0.5, -1));
  EXPECT_EQ(points(p), (std::vector<V>{V(-2, -1), V(10, -1), V(10, 5), V(-2, 5)}));
  vcSMDGDPoly slanted = make({V(0, 0), V(10, 1), V(10, 5)}, true);
  EXPECT_THROW(P::replaceVertexRectilinear(slanted, 0, Vx(V(1, 1), 0.5, 0.5, -1)), vcSMDGDPoly::invalidVertices);
}

}  // namespace
