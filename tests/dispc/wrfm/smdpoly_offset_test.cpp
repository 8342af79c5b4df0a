// Offsets of SMD outlines against a reference written here: the outlines are read through the polys' public
// segments, sampled densely, and distances and sides measured point by point.
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "support/smd_outline_ref.h"

namespace {

using V = vcVector<2>;
using Vx = vcSMDGDPolyVertex;
using P = vcSMDGDPolyPrivate;
constexpr double kPi = std::numbers::pi;
using smd_ref::Part;
using smd_ref::outline;
using smd_ref::distance;
using smd_ref::evenOdd;

std::vector<Part> outline(const std::vector<vcSMDGDPoly>& polys) {
  std::vector<Part> all;
  for (const auto& p : polys)
    for (const Part& part : outline(p)) all.push_back(part);
  return all;
}

// Points along the outline: n per part.
std::vector<V> dense(const vcSMDGDPoly& p, int n) {
  std::vector<V> pts;
  for (const Part& part : outline(p))
    for (int k = 0; k < n; ++k) pts.push_back(part.at((k + 0.5) / n));
  return pts;
}

double size(const vcSMDGDPoly& p) {
  const vcRect b = p.boundingBox();
  return std::max({std::abs(b.x()), std::abs(b.y()), std::abs(b.x() + b.width()), std::abs(b.y() + b.height()),
                   b.width(), b.height()});
}

// Area (counter-clockwise positive) and length of the outline, from its parts' own descriptions.
std::pair<double, double> areaAndLength(const vcSMDGDPoly& p) {
  double a2 = 0, len = 0;
  for (const Part& part : outline(p)) {
    const V s = part.at(0), e = part.at(1);
    a2 += s.cross(e);
    len += part.length();
    if (part.arc) {
      const double r = part.a.radius(part.a.startAngle()), sp = part.a.angleSpan().toDouble() * kPi / 180;
      a2 += r * r * (sp - std::sin(sp));
    }
  }
  return {0.5 * a2, len};
}

// A valid closed poly from random corners on a star about the origin; convex keeps every corner convex and bulges
// arcs outward, so that growing and shrinking back restores it exactly.
vcSMDGDPoly randomPoly(std::mt19937& rng, bool convex, bool closed = true) {
  const auto u = [&] { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); };
  for (int attempt = 0;; ++attempt) {
    const int n = 4 + int(rng() % 6);
    std::vector<Vx> vs;
    for (int i = 0; i < n; ++i) {
      const double a = (i + 0.6 * u()) * 2 * kPi / n, r = convex ? 8 : 3 + 7 * u();
      vs.emplace_back(V(r * std::cos(a), r * std::sin(a)), 0.5, 0.5, -1);
    }
    for (std::size_t i = 0; i < vs.size() && attempt < 30; ++i) {
      if (u() < 0.5) vs[i].vertexRadius(u() * 2.5);
      if (u() < 0.4) vs[i].segmentAngleSpan(vcDegree((convex || u() < 0.5 ? 1 : -1) * (5 + 40 * u())));
    }
    try {
      vcSMDGDPoly p;
      p.vertices(vs);
      if (closed) p.close();
      return p;
    } catch (const vcException&) {
    }
  }
}

// Every point of the offset is at |d| from the outlines ps on the side asked for (outside every closed one when
// growing, inside when shrinking), and every point at |d| on that side (the outlines' points moved along their
// normals, and the circles about their corners) is on the offset. Each result passes the full check of an edit and
// tells inside from outside as that checked copy does, near its outline.
void expectExactOffset(const std::vector<vcSMDGDPoly>& ps, double d, const std::vector<vcSMDGDPoly>& res) {
  double sz = 0;
  for (const auto& p : ps) sz = std::max(sz, size(p));
  const double eps = 1e-9 * sz;
  const std::vector<Part> orig = outline(ps), got = outline(res);
  std::vector<std::vector<V>> rings;
  for (const auto& p : ps)
    if (p.isClosed()) rings.push_back(dense(p, 40));
  const auto inside = [&](const V& x) {
    return std::any_of(rings.begin(), rings.end(), [&](const std::vector<V>& r) { return evenOdd(r, x); });
  };
  for (const auto& q : res) {
    ASSERT_TRUE(q.isClosed());
    vcSMDGDPoly checked;  // built from nothing, so that every pair of its parts is checked
    ASSERT_NO_THROW(checked.vertices(q.vertices()));
    ASSERT_NO_THROW(checked.close());
    for (const V& x : dense(q, 3))
      for (const V& off : {V(1, 1), V(-1, -1), V(1, -1), V(-1, 1)}) {
        const V y = x + off * (1e-3 * sz);
        ASSERT_EQ(P::inside(q, y), P::inside(checked, y)) << "at " << y;
      }
    for (const V& x : dense(q, 12)) {
      ASSERT_NEAR(distance(orig, x), std::abs(d), eps) << "at " << x;
      if (!rings.empty()) {
        ASSERT_EQ(inside(x), d < 0) << "at " << x;
      }
    }
  }
  std::vector<V> probes;
  const double h = 1e-6;
  for (const Part& part : orig)
    for (int k = 0; k < 16; ++k) {
      const double t = (k + 0.5) / 16;
      const V a = part.at(t - h), b = part.at(t + h), n = V((b - a).y(), -(b - a).x()).unit();
      probes.push_back(part.at(t) + n * std::abs(d));
      probes.push_back(part.at(t) - n * std::abs(d));
    }
  for (const auto& p : ps)
    for (const auto& v : p.vertices())
      for (int k = 0; k < 72; ++k)
        probes.push_back(v.point() + V(std::cos(k * kPi / 36), std::sin(k * kPi / 36)) * std::abs(d));
  int hits = 0;
  for (const V& x : probes) {
    if (std::abs(distance(orig, x) - std::abs(d)) > 1e-12 * sz) continue;
    if (!rings.empty() && inside(x) != (d < 0)) continue;
    ++hits;
    ASSERT_LE(distance(got, x), eps) << "missing " << x;
  }
  EXPECT_GT(hits, 0);
}

void expectExactOffset(const vcSMDGDPoly& p, double d, const std::vector<vcSMDGDPoly>& res) {
  expectExactOffset(std::vector<vcSMDGDPoly>{p}, d, res);
}

}  // namespace

TEST(SMDPolyOffsetTest, RandomOutlinesOffsetExactlyBothWays) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 rng(seed);
    for (bool convex : {true, false}) {
      const vcSMDGDPoly p = randomPoly(rng, convex);
      for (double d : {0.3, 1.7, 6.0, -0.3, -1.1, -3.0}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " convex " << convex << " d " << d);
        expectExactOffset(p, d, P::offset(p, d));
      }
    }
  }
}

TEST(SMDPolyOffsetTest, OpenOutlinesGiveTheirBand) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 rng(seed + 100);
    const vcSMDGDPoly p = randomPoly(rng, false, false);
    for (double d : {0.4, -2.0}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " d " << d);
      expectExactOffset(p, d, P::offset(p, d));
    }
  }
  // A straight stroke: a stadium of area 2dL + pi d^2.
  vcSMDGDPoly s;
  s << Vx(V(0, 0), 0.5, 0.5, -1) << Vx(V(10, 0), 0.5, 0.5, -1);
  const auto band = P::offset(s, 1.5);
  ASSERT_EQ(band.size(), 1u);
  EXPECT_NEAR(std::abs(areaAndLength(band[0]).first), 2 * 1.5 * 10 + kPi * 1.5 * 1.5, 1e-9);
}

// A w x h rectangle rounded by r grown by d: area (w+2d)(h+2d) - (4-pi)(r+d)^2, perimeter 2(w+h) - 8r + 2pi(r+d),
// while r + d >= 0; sharp corners once d < -r; nothing once -d reaches half the smaller side.
TEST(SMDPolyOffsetTest, RoundedRectangleAreaPerimeterAndVanishing) {
  struct Row {
    double w, h, r, d;
  };
  for (const Row& c : {Row{10, 4, 1, 0.5}, Row{10, 4, 1, 7}, Row{10, 4, 0, 2}, Row{10, 4, 1.5, -1}, Row{10, 4, 1.5, -1.5},
                       Row{6, 6, 2.5, -2}, Row{10, 4, 1, -1.5}, Row{10, 4, 1, -2.0001}, Row{10, 4, 1, -30}}) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " r " << c.r << " d " << c.d);
    vcSMDGDPoly p = vcSMDGDPoly::rectangle(c.w, c.h, V(3, -2));
    std::vector<Vx> vs = p.vertices();
    for (Vx& v : vs) v.vertexRadius(c.r);
    p.vertices(vs);
    const auto res = P::offset(p, c.d);
    if (-c.d >= c.h / 2) {
      EXPECT_TRUE(res.empty());
      continue;
    }
    ASSERT_EQ(res.size(), 1u);
    const double w = c.w + 2 * c.d, h = c.h + 2 * c.d, r = std::max(c.r + c.d, 0.0);
    const auto [area, len] = areaAndLength(res[0]);
    EXPECT_NEAR(area, w * h - (4 - kPi) * r * r, 1e-9 * w * h);
    EXPECT_NEAR(len, 2 * (w + h) - 8 * r + 2 * kPi * r, 1e-9 * (w + h));
    EXPECT_EQ(res[0].isDirectionPositive(), p.isDirectionPositive());
  }
}

// Mitred corners keep a grown rectangle sharp; square joins cut each corner at d from it, taking off a triangle of
// area (d (sqrt 2 - 1))^2; a mitre limit below sqrt 2 cuts too, farther out.
TEST(SMDPolyOffsetTest, MitreAndSquareJoins) {
  const vcSMDGDPoly p = vcSMDGDPoly::rectangle(10, 4, V(1, 1));
  const double d = 1.5, full = (10 + 2 * d) * (4 + 2 * d), tip = d * (std::sqrt(2.0) - 1);
  struct Row {
    P::OffsetJoin join;
    double limit, area;
    std::size_t vertices;
  };
  const double cut = d * (std::sqrt(2.0) - 1.2);  // the tip beyond a cut at 1.2 d
  for (const Row& r : {Row{P::eMitreJoin, 2.0, full, 4}, Row{P::eSquareJoin, 2.0, full - 4 * tip * tip, 8},
                       Row{P::eMitreJoin, 1.2, full - 4 * cut * cut, 8}}) {
    const auto res = P::offset(p, d, r.join, r.limit);
    ASSERT_EQ(res.size(), 1u);
    EXPECT_NEAR(areaAndLength(res[0]).first, r.area, 1e-9);
    EXPECT_EQ(res[0].vertices().size(), r.vertices);
    for (const V& x : dense(res[0], 8)) EXPECT_GE(distance(outline(p), x), d - 1e-9);
  }
  EXPECT_THROW(P::offset(p, d, P::eMitreJoin, 0.5), vcShapesError::BadGeom);
}

TEST(SMDPolyOffsetTest, ShrinkSplitsANeckAndGrowthMergesOrEnclosesAHole) {
  // Two 10 x 10 squares joined by a neck 2 wide: shrinking by more than 1 parts them.
  vcSMDGDPoly dumbbell;
  for (V v : {V(0, 0), V(10, 0), V(10, 4), V(14, 4), V(14, 0), V(24, 0), V(24, 10), V(14, 10), V(14, 6), V(10, 6),
              V(10, 10), V(0, 10)})
    dumbbell << Vx(v, 0.5, 0.5, -1);
  dumbbell.close();
  EXPECT_EQ(P::offset(dumbbell, -0.9).size(), 1u);
  const auto parts = P::offset(dumbbell, -1.2);
  ASSERT_EQ(parts.size(), 2u);
  expectExactOffset(dumbbell, -1.2, parts);
  // A cavity behind a mouth 2 wide: growing by 1.5 closes the mouth and leaves the cavity as a hole, an outline
  // turning the other way round.
  vcSMDGDPoly bottle;
  for (V v : {V(0, 0), V(20, 0), V(20, 20), V(0, 20), V(0, 11), V(4, 11), V(4, 13), V(16, 13), V(16, 7), V(4, 7),
              V(4, 9), V(0, 9)})
    bottle << Vx(v, 0.5, 0.5, -1);
  bottle.close();
  const auto ringed = P::offset(bottle, 1.5);
  ASSERT_EQ(ringed.size(), 2u);
  expectExactOffset(bottle, 1.5, ringed);
  EXPECT_LT(areaAndLength(ringed[0]).first * areaAndLength(ringed[1]).first, 0);
  EXPECT_EQ(P::offset(bottle, 0.5).size(), 1u);
}

TEST(SMDPolyOffsetTest, GrowThenShrinkRestoresConvexOutlines) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 rng(seed + 50);
    const vcSMDGDPoly p = randomPoly(rng, true);
    for (double d : {0.4, 2.5}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " d " << d);
      const auto g = P::offset(p, d);
      ASSERT_EQ(g.size(), 1u);
      const auto back = P::offset(g[0], -d);
      ASSERT_EQ(back.size(), 1u);
      const double eps = 1e-9 * size(p);
      const auto ob = outline(back[0]), op = outline(p);
      for (const V& x : dense(p, 16)) ASSERT_LE(distance(ob, x), eps);
      for (const V& x : dense(back[0], 16)) ASSERT_LE(distance(op, x), eps);
    }
  }
}

TEST(SMDPolyOffsetTest, ResultKeepsAttributesAndRefusesBadDistances) {
  vcSMDGDPoly p = vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  p.weight(2.5);
  p.toggleDirection();
  const auto r = P::offset(p, 1);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_DOUBLE_EQ(r[0].weight(), 2.5);
  EXPECT_TRUE(r[0].isDirectionReversed());
  for (const auto& v : r[0].vertices()) {
    EXPECT_EQ(v.subModelLabel(), -1);
    EXPECT_EQ(v.vertexRadius(), 0.0);
  }
  EXPECT_EQ(P::offset(p, 0.0)[0], p);
  EXPECT_THROW(P::offset(p, std::nan("")), vcShapesError::BadGeom);
  EXPECT_THROW(P::offsetUnion({p}, 0.0), vcShapesError::BadGeom);
  EXPECT_NEAR(P::signedDistance(p, V(0, 0)), -1.0, 1e-12);
  EXPECT_NEAR(P::signedDistance(p, V(5, 0)), 3.0, 1e-12);
}

// The courtyard is the outline of the union of the grown polys: every point at exactly the clearance from the
// nearest poly and outside all of them; overlapping grown pads merge, distant ones stay apart.
TEST(SMDPolyOffsetTest, CourtyardIsTheUnionOfGrownPolys) {
  vcSMDGDModel m("part");
  vcSMDGDPoly clockwise;  // outlines running either way round merge alike
  P::reversePoly(vcSMDGDPoly::rectangle(3, 2, V(2.5, 0)), clockwise);
  m << vcSMDGDPoly::rectangle(3, 2, V(-2.5, 0)) << clockwise << vcSMDGDPoly::circle(1, V(0, 3))
    << vcSMDGDPoly::rectangle(2, 2, V(30, 0));
  const vcSMDGDModel cy = vcSMDGDModelPrivate::courtyard(m, 1.2);
  EXPECT_EQ(cy.name(), "part");
  ASSERT_EQ(cy.numPolys(), 2);
  std::vector<std::vector<V>> rings;
  for (const auto& p : m.polys()) rings.push_back(dense(p, 100));
  const std::vector<Part> pads = outline(m.polys());
  for (const auto& q : cy.polys())
    for (const V& x : dense(q, 24)) {
      ASSERT_NEAR(distance(pads, x), 1.2, 1e-9 * 40);
      for (const auto& ring : rings) ASSERT_FALSE(evenOdd(ring, x));
    }
  const vcSMDGDModel each = vcSMDGDModelPrivate::offset(m, -0.5);
  EXPECT_EQ(each.numPolys(), 4);
  EXPECT_EQ(vcSMDGDModelPrivate::offset(m, -1.5).numPolys(), 0);
}

// Boards of random outlines scattered so that many overlap once grown, some run clockwise: the union of the grown
// outlines is exact wherever pieces of many outlines cross.
TEST(SMDPolyOffsetTest, UnionOfRandomBoardsIsExact) {
  for (unsigned seed = 1; seed <= 2; ++seed) {
    std::mt19937 rng(seed + 90);
    std::vector<vcSMDGDPoly> board;
    for (int i = 0; i < 10; ++i) {
      const vcSMDGDPoly p = randomPoly(rng, i % 2 == 0);
      std::vector<Vx> vs = p.vertices();
      const V at(double(rng() % 300) / 10, double(rng() % 300) / 10);
      for (Vx& v : vs) v.point(v.point() + at);
      vcSMDGDPoly q;
      q.vertices(vs);
      q.close();
      if (i % 3 == 0) P::reversePoly(vcSMDGDPoly(q), q);
      board.push_back(q);
    }
    for (double d : {0.4, 2.5}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " d " << d);
      expectExactOffset(board, d, P::offsetUnion(board, d));
    }
  }
}
