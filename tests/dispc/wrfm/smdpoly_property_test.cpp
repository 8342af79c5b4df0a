// Fixed-seed property tests of SMD polys (convex, concave, arc-heavy, rounded, open and closed): edits, inside tests
// and boxes against the dense outline, crops, filters, reversal and rectilinear snapping.
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <list>
#include <numbers>
#include <random>
#include <thread>

#include "support/archive_roundtrip.h"
#include "support/smd_outline_ref.h"

namespace {

using V = vcVector<2>;
using Vx = vcSMDGDPolyVertex;
using P = vcSMDGDPolyPrivate;
using Polys = std::list<vcSMDGDPoly>;
using vc_test::archiveBytes;
using smd_ref::Part;
using smd_ref::outline;
using smd_ref::distance;
using smd_ref::evenOdd;
constexpr double kPi = std::numbers::pi;

enum class Kind { convex, concave, arcs, rounded };
const Kind kKinds[] = {Kind::convex, Kind::concave, Kind::arcs, Kind::rounded};

struct PolyGen {
  std::mt19937 rng;
  explicit PolyGen(unsigned seed) : rng(seed) {}
  double u() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); }
  bool chance(double p) { return u() < p; }
  // A star-shaped ring about the origin, decorated with arcs and roundings by kind.
  std::vector<Vx> ring(Kind kind) {
    const int n = kind == Kind::concave ? 5 + int(rng() % 6) : 3 + int(rng() % 6);
    std::vector<Vx> vs;
    for (int i = 0; i < n; ++i) {
      const double a = (i + 0.8 * u()) * 2 * kPi / n, r = kind == Kind::concave ? 3 + 7 * u() : 8 + 0.5 * u();
      vs.emplace_back(V(r * std::cos(a), r * std::sin(a)), 0.5, 0.5, long(rng() % 3) - 1);
    }
    if (chance(0.5)) std::reverse(vs.begin(), vs.end());
    for (std::size_t i = 0; i < vs.size(); ++i) {
      const V at = vs[i].point();
      const double side = std::min(at.distance(vs[(i + 1) % vs.size()].point()),
                                   at.distance(vs[(i + vs.size() - 1) % vs.size()].point()));
      if (kind == Kind::rounded || chance(0.3)) vs[i].vertexRadius((chance(0.2) ? -1 : 1) * side * 0.3 * u());
      if (kind == Kind::arcs || chance(0.2)) vs[i].segmentAngleSpan(vcDegree((chance(0.5) ? -1 : 1) * (5 + 80 * u())));
    }
    return vs;
  }
  // A valid poly of the kind: decorations are dropped until it is accepted.
  vcSMDGDPoly poly(Kind kind, bool closed) {
    for (int attempt = 0;; ++attempt) {
      std::vector<Vx> vs = ring(kind);
      if (attempt > 20)
        for (Vx& v : vs) v.vertexRadius(0), v.segmentAngleSpan(vcDegree(0));
      try {
        vcSMDGDPoly p;
        p.vertices(vs);
        if (closed) p.close();
        return p;
      } catch (const vcException&) {
      }
    }
  }
};

// Points along the outline at most `step` apart, and at least 16 on each part.
std::vector<V> dense(const vcSMDGDPoly& p, double step) {
  std::vector<V> pts;
  for (const Part& part : outline(p)) {
    const int n = 16 + int((part.arc ? part.a.length() : part.line.length()) / step);
    for (int k = 0; k < n; ++k) pts.push_back(part.at(double(k) / n));
  }
  return pts;
}

void forSegments(const vcSMDGDPoly& p, const std::function<void(int)>& f) {
  for (int s = p.isOpen() ? 1 : 0; p.numVertices() > 1 && s < p.numVertices(); ++s) f(s);
}
// The full length of segment s, along the arc for an arc segment.
double segLen(const vcSMDGDPoly& p, int s) {
  return p.vertex(s).segmentAngleSpan().toDouble() == 0.0 ? P::lineSegment_(p, s).length()
                                                          : P::arcSegment_(p, s).length();
}

}  // namespace

// Each accepted random edit leaves a poly whose archive reloads (the load re-derives every rounding and runs the
// complete check) to the same roundings; each refused one throws a poly error and changes no byte.
TEST(SMDPolyPropertyTest, EditsLeaveValidPolysOrChangeNothing) {
  int accepted = 0, refused = 0;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    PolyGen g(seed);
    for (Kind kind : kKinds) {
      vcSMDGDPoly p = g.poly(kind, seed % 2 == 0);
      for (int step = 0; step < 40; ++step) {
        const int n = int(p.numVertices());
        const auto before = archiveBytes(p);
        const int i = n ? int(g.rng() % unsigned(n)) : 0;
        Vx v = n ? p.vertex(i) : Vx(V(0, 0), 0.5, 0.5, -1);
        v.point(v.point() + V(4 * g.u() - 2, 4 * g.u() - 2));
        v.vertexRadius(g.chance(0.5) ? 0 : 3 * g.u());
        v.segmentAngleSpan(vcDegree(g.chance(0.6) ? 0 : 200 * g.u() - 100));
        v.subModelLabel(long(g.rng() % 3) - 1);
        v.percentNextSegment(0.3 + 0.5 * g.u());
        try {
          switch (g.rng() % 6) {
            case 0: p.insertVertex(int(g.rng() % unsigned(n + 2)) - 1, v); break;
            case 1: p.replaceVertex(i, v); break;
            case 2: p.deleteVertex(i); break;
            case 3: p.isOpen() ? p.close() : p.open(); break;
            case 4: p.vertices({v}); break;
            default: p.replaceVertex(i, 1.0 * v); break;
          }
          ++accepted;
          vcSMDGDPoly back;
          ASSERT_NO_THROW(vc_test::loadInto(archiveBytes(p), back));
          EXPECT_EQ(back.roundingStartPoints(), p.roundingStartPoints());
          EXPECT_EQ(back.roundingEndPoints(), p.roundingEndPoints());
          EXPECT_EQ(back.roundingSpans(), p.roundingSpans());
        } catch (const vcException& e) {
          ++refused;
          EXPECT_TRUE(dynamic_cast<const vcSMDGDPoly::Errors*>(&e) || dynamic_cast<const Vx::Errors*>(&e)) << e.what();
          EXPECT_EQ(archiveBytes(p), before) << e.what();
        }
        if (p.numVertices() < 3) p = g.poly(kind, g.chance(0.5));
      }
    }
  }
  EXPECT_GT(accepted, 150);
  EXPECT_GT(refused, 150);
}

// inside agrees with an even-odd count on the densely sampled outline away from it; boxes under rotations and scales
// hold the outline and touch it.
TEST(SMDPolyPropertyTest, InsideAndBoxesAgreeWithTheDenseOutline) {
  PolyGen g(11);
  for (int k = 0; k < 24; ++k) {
    const vcSMDGDPoly p = g.poly(kKinds[k % 4], k % 3 != 0);
    const std::vector<V> ring = dense(p, 0.1);
    const std::vector<Part> parts = outline(p);
    const vcRect box = p.boundingBox();
    if (p.isClosed()) {
      int in = 0;
      for (int t = 0; t < 1000; ++t) {
        const V q(box.x() - 1 + (box.width() + 2) * g.u(), box.y() - 1 + (box.height() + 2) * g.u());
        if (distance(parts, q) < 1e-3) continue;
        const bool expected = evenOdd(ring, q);
        in += expected;
        ASSERT_EQ(P::inside(p, q), expected) << k << ": " << q;
      }
      EXPECT_GT(in, 100);
    }
    const double rot = 2 * kPi * g.u(), scale = 0.5 + 2 * g.u();
    const vcXform<2> x(
        vcMatrix<2>(scale * std::cos(rot), -scale * std::sin(rot), scale * std::sin(rot), scale * std::cos(rot)),
        V(10 * g.u(), -5 * g.u()));
    vcRect hull(0, 0, -1, -1);
    for (const V& q : dense(p, 0.01)) hull.enclose(x * q);
    if (p.isOpen()) hull.enclose(x * p.vertex(-1, true).point());
    const vcRect mapped = p.boundingBox(x);
    EXPECT_LT(mapped.origin().distance(hull.origin()) + mapped.size().distance(hull.size()), 1e-3) << k;
  }
}

// The inside test's index is made on first use and shared by copies: a copy taken before an edit keeps answering for
// its own outline, the edited poly for the new one, and polys that share a not yet built index answer the same when
// their first tests run on several threads at once.
TEST(SMDPolyPropertyTest, CopiesAndThreadsShareTheInsideIndexSafely) {
  PolyGen g(5);
  for (int k = 0; k < 8; ++k) {
    vcSMDGDPoly p = g.poly(kKinds[k % 4], true);
    const vcRect box = p.boundingBox();
    std::vector<V> probes;
    for (int t = 0; t < 400; ++t)
      probes.emplace_back(box.x() - 1 + (box.width() + 2) * g.u(), box.y() - 1 + (box.height() + 2) * g.u());
    const auto answers = [&](const vcSMDGDPoly& q) {
      std::vector<char> in;
      for (const V& pt : probes) in.push_back(P::inside(q, pt));
      return in;
    };
    // Rebuilt from the vertices: an index of its own.
    const auto fresh = [](const vcSMDGDPoly& q) {
      vcSMDGDPoly r;
      r.vertices(q.vertices());
      r.close();
      return r;
    };
    const std::vector<char> expected = answers(fresh(p));
    P::inside(p, probes[0]);  // builds the index the copies below share
    const vcSMDGDPoly before(p);
    vcSMDGDPoly assigned;
    assigned = p;
    p.replaceVertex(0, p.vertex(0));  // an accepted edit that moves nothing
    const double grow = 1.5;
    p = grow * p;
    EXPECT_EQ(answers(before), expected) << k;
    EXPECT_EQ(answers(assigned), expected) << k;
    EXPECT_EQ(answers(p), answers(fresh(p))) << k;

    const vcSMDGDPoly unbuilt = fresh(before), twin(unbuilt);
    std::vector<std::vector<char>> seen(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i)
      threads.emplace_back([&, i] { seen[i] = answers(i % 2 ? twin : unbuilt); });
    for (std::thread& t : threads) t.join();
    for (const auto& s : seen) EXPECT_EQ(s, expected) << k;
  }
}

// The walk of the outline that the measures, the drawing and cropping share: the summed perimeter with a minimum
// length equals the reference outline's, and reInit empties the outline but keeps its name, colors and weight.
TEST(SMDPolyPropertyTest, PerimetersFollowTheOutlineAndReInitKeepsTheLook) {
  PolyGen g(9);
  for (int k = 0; k < 16; ++k) {
    const vcSMDGDPoly p = g.poly(kKinds[k % 4], k % 2 == 0);
    const std::vector<Part> parts = outline(p);
    for (double minLength : {0.0, 1.0, 3.0}) {
      double sum = 0;
      for (const Part& part : parts)
        if (part.length() > minLength) sum += part.length();
      EXPECT_NEAR(P::perimeter(p, minLength), sum, 1e-9 * (1 + sum)) << k << " " << minLength;
    }
  }
  vcSMDGDPoly p = vcSMDGDPoly::rectangle(4, 2, V(1, 1));
  p.weight(2.5);
  p.positiveArrowColor(vcColor::redColor());
  p.toggleDirection();
  p.mutationFlag(true);
  const unsigned long mutations = p.mutationCount();
  p.reInit();
  EXPECT_EQ(p.mutationCount(), mutations + 1);
  EXPECT_EQ(p.numVertices(), 0);
  EXPECT_TRUE(p.isOpen());
  EXPECT_FALSE(p.isDirectionReversed());
  EXPECT_TRUE(p.subModelLabels().empty() && p.roundingStartPoints().empty() && p.roundingSpans().empty());
  EXPECT_EQ(p.weight(), 2.5);
  EXPECT_EQ(p.positiveArrowColor(), vcColor::redColor());
  EXPECT_EQ(p.name(), "poly");
  // Assignment is a change too: it asks for the mutation notice first.
  p = vcSMDGDPoly::triangle(3, 3, V(0, 0));
  EXPECT_EQ(p.mutationCount(), mutations + 2);
  EXPECT_TRUE(P::inside(p, V(0, 0)));
}

// Keep-inside and keep-outside pieces: lengths add up to m's, and a dense sample of m away from c's outline lies in a
// piece of exactly one of them, the one its side of c says. Returns whether both kept something.
bool expectCoverage(const vcSMDGDPoly& c, const vcSMDGDPoly& m) {
  const vcSMDGDModel in = P::crop(c, m, true), out = P::crop(c, m, false);
  double length = 0;
  std::vector<Part> inParts, outParts;
  for (auto [model, parts] : {std::pair{&in, &inParts}, std::pair{&out, &outParts}})
    for (const auto& p : model->polys()) {
      length += P::perimeter(p, 0.0);
      for (const Part& pt : outline(p)) parts->push_back(pt);
    }
  EXPECT_NEAR(length, P::perimeter(m, 0.0), 1e-9 * length);
  const std::vector<Part> cParts = outline(c);
  for (const Part& part : outline(m))
    for (int k = 0; k <= 40; ++k) {
      const V q = part.at(k / 40.0);
      if (distance(cParts, q) < 1e-6) continue;  // at a crossing the side is not defined
      const bool inside = P::inside(c, q);
      EXPECT_EQ(distance(inParts, q) < 1e-9, inside) << q;
      EXPECT_EQ(distance(outParts, q) < 1e-9, !inside) << q;
    }
  return in.numPolys() > 0 && out.numPolys() > 0;
}

TEST(SMDPolyCrop, PiecesCoverExactlyTheKeptPartOfRandomOutlines) {
  PolyGen g(20261207);
  int split = 0;
  for (int trial = 0; trial < 48; ++trial) {
    const vcSMDGDPoly c = g.poly(kKinds[trial % 4], true);
    const V shift(16 * g.u() - 8, 16 * g.u() - 8);
    const vcSMDGDPoly m = vc2Rigid(vcRadian(0), shift) * g.poly(kKinds[trial / 4 % 4], trial % 3 != 0);
    SCOPED_TRACE("trial " + std::to_string(trial));
    split += expectCoverage(c, m);
  }
  EXPECT_GT(split, 20);  // most pairs really cross
  // Two gears with large roundings at narrow tips: cuts leave whole corners too little of their shortened segments, so
  // those pieces write their roundings out.
  auto gear = [](V centre, double turn) {
    std::vector<Vx> vs;
    for (int i = 0; i < 64; ++i) {
      const double a = i * kPi / 32 + turn, r = i % 2 ? 140.0 : 200.0;
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
  for (const V& q : pts) p << Vx(q, 0.5, 0.5, -1);
  if (closed) p.close();
  return p;
}

TEST(SMDPolyCrop, WholeOutlinesTouchesAndSingleCrossings) {
  const vcSMDGDPoly c = vcSMDGDPoly::rectangle(4, 4, V(0, 0));
  const vcSMDGDPoly inner = vcSMDGDPoly::rectangle(2, 2, V(0.5, 0));
  // A diamond whose left corner touches c's right side from outside, and one whose corner rests on c's corner.
  const vcSMDGDPoly touching = polyOf({V(2, 0), V(4, 1), V(6, 0), V(4, -1)}, true);
  const vcSMDGDPoly cornerToCorner = polyOf({V(2, 2), V(3, 2.5), V(4, 4), V(2.5, 3)}, true);
  // Whole or nothing: m comes back whole, or no piece of it.
  const std::tuple<const vcSMDGDPoly&, bool, bool> cases[] = {
      {inner, true, true},     {inner, false, false}, {touching, false, true},
      {touching, true, false}, {cornerToCorner, false, true}};
  for (const auto& [m, keepInside, whole] : cases) {
    const vcSMDGDModel r = P::crop(c, m, keepInside);
    ASSERT_EQ(r.numPolys(), whole ? 1 : 0);
    if (whole) {
      EXPECT_TRUE(r.poly(0) == m);
    }
  }
  const vcSMDGDModel r = P::crop(c, polyOf({V(10, 0), V(0, 1)}, false), true);
  ASSERT_EQ(r.numPolys(), 1);
  EXPECT_NEAR(r.poly(0).vertex(0).point().distance(V(2, 0.8)), 0, 1e-12);
  // A line through c twice: its two ends outside, in walk order.
  const vcSMDGDModel o = P::crop(c, polyOf({V(-5, 0), V(5, 0)}, false), false);
  ASSERT_EQ(o.numPolys(), 2);
  EXPECT_EQ(o.poly(0).vertex(0).point(), V(-5, 0));
  EXPECT_EQ(o.poly(1).vertex(1).point(), V(5, 0));
  EXPECT_THROW(P::crop(polyOf({V(0, 0), V(1, 1)}, false), o.poly(0), true), vcSMDGDPoly::notClosed);
}

TEST(SMDPolyCrop, ACutPieceKeepsThePolysAttributesAndOnlyTheWholeSegmentsTolerances) {
  // Absolute limits about 10 would reject the shortened segment outright.
  const vcDimTol tight(10, 9.9, 10.1, vcDimTol::eLimits);
  vcSMDGDPoly m("m");
  for (V q : {V(-5, -5), V(5, -5), V(5, 5), V(-5, 5)}) m << Vx(q, 1.0, vcDegree(0.0), 0.5, 0.5, 7, tight);
  m.close();
  m.toggleDirection();
  m.weight(2.5);
  vcSMDGDModel r;
  ASSERT_NO_THROW(r = P::crop(vcSMDGDPoly::rectangle(20, 20, V(10, 0)), m, true));  // the right half of m
  ASSERT_EQ(r.numPolys(), 1);
  const vcSMDGDPoly& p = r.poly(0);
  EXPECT_TRUE(p.name() == "m" && p.isDirectionReversed() && p.weight() == 2.5);
  // Cut at (0, -5), then the whole right side (vertices 1 and 2, rounded), cut at (0, 5).
  ASSERT_EQ(p.numVertices(), 4);
  EXPECT_EQ(p.vertex(0).subModelLabel(), -1);
  EXPECT_TRUE(p.vertex(1).segmentLengthTol() == vcDimTol());  // shortened
  EXPECT_TRUE(p.vertex(2).segmentLengthTol() == tight);       // whole
}

// On random lists: what stays obeys the filter, no length goes missing, and a list filters as its polys one by one.
TEST(SMDPolyFilters, WhatRemainsObeysTheFilterAndNoLengthGoesMissing) {
  const vcRange lengths(3.0, 9.0), perimeters(20.0, 40.0);
  const vcAngleRange corners{vcRadian(vcDegree(120.0)), vcRadian(vcDegree(120.0))};  // turns under 60 degrees
  const auto badCorner = [&](const vcSMDGDPoly& p, int v) {
    const bool end = p.isOpen() && (v == 0 || v == p.numVertices() - 1);
    return !end && !corners.isWithin(vcRadian(P::vertexAngle(p, v)));
  };
  // Each filter with the segments it must remove.
  const std::pair<std::function<void(Polys&)>, std::function<bool(const vcSMDGDPoly&, int)>> filters[] = {
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
    PolyGen g(seed);
    Polys polys;
    for (int i = 0; i < 12; ++i)
      polys.push_back(vc2Rigid(vcRadian(0), V(30.0 * (i % 5), 30.0 * (i / 5))) * g.poly(kKinds[i % 4], g.chance(0.6)));
    for (const auto& [run, removes] : filters) {
      SCOPED_TRACE(testing::Message() << "seed " << seed);
      Polys whole = polys, expected;
      run(whole);
      for (const vcSMDGDPoly& p : polys) {
        Polys one{p};
        run(one);
        double kept = 0.0, removed = 0.0, total = 0.0;
        for (const vcSMDGDPoly& piece : one)
          forSegments(piece, [&](int s) {
            EXPECT_FALSE(removes(piece, s));
            kept += segLen(piece, s);
          });
        forSegments(p, [&](int s) {
          total += segLen(p, s);
          if (removes(p, s)) removed += segLen(p, s);
        });
        EXPECT_NEAR(kept + removed, total, 1e-9);
        expected.splice(expected.end(), one);
      }
      EXPECT_EQ(whole, expected);
    }
    // Whole polys by perimeter and by closure.
    Polys byPerimeter = polys, open = polys, expected;
    P::perimeterFilter(byPerimeter, perimeters);
    P::closureFilter(open, true, false);
    for (const vcSMDGDPoly& p : polys)
      if (perimeters.isWithin(P::perimeter(p, 0.0))) expected.push_back(p);
    EXPECT_EQ(byPerimeter, expected);
    EXPECT_EQ(long(open.size()), std::count_if(polys.begin(), polys.end(), [](const auto& p) { return p.isOpen(); }));
  }
}

TEST(SMDPolyUtilities, ReversingTwiceGivesThePolyBack) {
  PolyGen g(7);
  for (int i = 0; i < 40; ++i) {
    vcSMDGDPoly p = g.poly(kKinds[i % 4], i % 3 != 0);
    std::vector<Vx> vs = p.vertices();
    for (std::size_t k = 0; k < vs.size(); ++k) {
      vs[k].percentPrevSegment(0.2 + 0.1 * static_cast<double>(k % 3));
      vs[k].segmentLengthTol(vcDimTol(-1, 0.1 * static_cast<double>(k), 0.5, vcDimTol::eOffsets));
    }
    if (p.isOpen()) vs[0].segmentAngleSpan(vcDegree(17.0));  // belongs to no segment
    p.vertices(vs);
    vcSMDGDPoly once, twice;
    P::reversePoly(p, once);
    EXPECT_NEAR(P::perimeter(once, 0.0), P::perimeter(p, 0.0), 1e-9);
    EXPECT_TRUE(p.isOpen() || once.isDirectionPositive() == p.isDirectionPositive());
    P::reversePoly(once, twice);
    EXPECT_EQ(archiveBytes(twice), archiveBytes(p)) << i;
  }
}

TEST(SMDPolyRectilinear, ClosedAndSnappedOutlinesAreRectilinearAndRectilinearOnesStay) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> step(3.0, 9.0), jitter(-0.4, 0.4);
  for (int i = 0; i < 30; ++i) {
    // A staircase rising to the right, closed.
    const int corners = 3 + i % 6;
    std::vector<V> pts{V(0, 0)};
    for (int k = 1; k < corners; ++k) pts.push_back(pts.back() + (k % 2 ? V(step(rng), 0) : V(0, step(rng))));
    vcSMDGDPoly p = polyOf(pts, false);
    P::closeRectilinear(p);
    ASSERT_TRUE(P::isRectilinear(p)) << i;
    EXPECT_EQ(p.numVertices(), corners + corners % 2);
    const auto rectilinear = archiveBytes(p);
    P::snapRectilinear(p);
    EXPECT_EQ(archiveBytes(p), rectilinear);
    // Shaken corners, snapped: straight sides along the axes of the dominant angle; the name and weight stay.
    std::vector<Vx> vs = p.vertices();
    for (Vx& v : vs) v.point(v.point() + V(jitter(rng), jitter(rng)));
    vcSMDGDPoly snapped;
    snapped.vertices(vs);
    snapped.close();
    snapped.weight(2.5);
    const double d = P::dominantAngle(snapped).toDouble() * kPi / 180.0;
    P::snapRectilinear(snapped);
    const int n = static_cast<int>(snapped.numVertices());
    forSegments(snapped, [&](int s) {
      const V side = snapped.vertex(s).point() - snapped.vertex((s + n - 1) % n).point();
      EXPECT_LT(std::abs(std::sin(2 * (side.angle().toDouble() - d))), 1e-9) << i;
      EXPECT_EQ(snapped.vertex(s).segmentAngleSpan().toDouble(), 0.0);
    });
    EXPECT_EQ(snapped.weight(), 2.5);
  }
}
