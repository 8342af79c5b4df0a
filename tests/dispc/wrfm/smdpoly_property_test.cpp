// Fixed-seed property tests of SMD polys: random convex, concave, arc-heavy,
// rounded, open and closed polys under random edits, an independent
// even-odd test on a densely sampled outline, boxes and mirror identities.
#include <vc/wrfm/smdpoly.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
using Vx = vcSMDGDPolyVertex;
using P = vcSMDGDPolyPrivate;
constexpr double kPi = std::numbers::pi;

enum class Kind { convex, concave, arcs, rounded };

struct PolyGen {
  std::mt19937 rng;
  explicit PolyGen(unsigned seed) : rng(seed) {}
  double u() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); }
  bool chance(double p) { return u() < p; }

  // A star-shaped ring about the origin, decorated with arcs and roundings by kind.
  std::vector<Vx> ring(Kind kind) {
    const int n = kind == Kind::concave ? 5 + int(rng() % 6) : 3 + int(rng() % 6);
    std::vector<double> angles;
    for (int i = 0; i < n; ++i) angles.push_back((i + 0.8 * u()) * 2 * kPi / n);
    std::vector<Vx> vs;
    for (double a : angles) {
      const double r = kind == Kind::concave ? 3 + 7 * u() : 8 + 0.5 * u();
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

// The poly's own archive reloads: loading re-derives every rounding and runs
// the complete check, which must agree with the edits' incremental one.
void expectFullyValid(const vcSMDGDPoly& p) {
  vcSMDGDPoly back;
  ASSERT_NO_THROW(vc_test::loadInto(vc_test::archiveBytes(p), back));
  EXPECT_EQ(back.roundingStartPoints(), p.roundingStartPoints());
  EXPECT_EQ(back.roundingEndPoints(), p.roundingEndPoints());
  EXPECT_EQ(back.roundingSpans(), p.roundingSpans());
}

bool isPolyError(const vcException& e) {
  return dynamic_cast<const vcSMDGDPoly::Errors*>(&e) || dynamic_cast<const vcSMDGDPolyVertex::Errors*>(&e);
}

// ---- an independent outline: dense samples from the public rounding data ----

// Centre of the circle through a and b swept by span degrees (positive toward +angle).
V arcCentre(V a, V b, double spanDeg) {
  const V m = (a + b) * 0.5, d = b - a;
  const double h = d.len() / 2, half = spanDeg * kPi / 360;
  const V left = V(-d.y(), d.x()) / d.len();
  return m + left * (h / std::tan(half));
}

struct Outline {
  std::vector<V> pts;      // closed or open polyline, in order
  std::vector<V> extreme;  // exact axis extremes of the arcs
};

void addArc(Outline& o, V c, double r, double from, double sweep, double chord, double rot) {
  const int k = std::max(1, int(std::ceil(std::abs(sweep) / std::sqrt(8 * chord / r))));
  for (int i = 0; i < k; ++i) {
    const double t = from + sweep * i / k;
    o.pts.push_back(c + V(std::cos(t), std::sin(t)) * r);
  }
  for (int q = -8; q <= 8; ++q) {
    const double t = q * kPi / 2 - rot;  // extremes after a rotation by rot
    const double into = sweep > 0 ? t - from : from - t;
    if (into >= 0 && into <= std::abs(sweep)) o.extreme.push_back(c + V(std::cos(t), std::sin(t)) * r);
  }
}

void addArcBetween(Outline& o, V c, V a, V b, double sign, double chord, double rot) {
  const double from = std::atan2(a.y() - c.y(), a.x() - c.x()), to = std::atan2(b.y() - c.y(), b.x() - c.x());
  double sweep = sign > 0 ? to - from : from - to;
  while (sweep < 0) sweep += 2 * kPi;
  addArc(o, c, a.distance(c), from, sign > 0 ? sweep : -sweep, chord, rot);
}

Outline sample(const vcSMDGDPoly& p, double chord, double rot = 0) {
  Outline o;
  const int n = int(p.numVertices());
  const auto& rs = p.roundingStartPoints();
  const auto& re = p.roundingEndPoints();
  for (int s = 0; s < n; ++s) {
    if (p.isClosed() || s > 0) {
      const int a = (s + n - 1) % n;
      const double span = p.vertex(s).segmentAngleSpan().toDouble();
      if (span == 0)
        o.pts.push_back(re[a]);
      else
        addArcBetween(o, arcCentre(p.vertex(a).point(), p.vertex(s).point(), span), re[a], rs[s], span, chord, rot);
    }
    if (p.roundingSpans()[s] != 0)
      addArcBetween(o, arcCentre(rs[s], re[s], p.roundingSpans()[s]), rs[s], re[s], p.roundingSpans()[s], chord, rot);
  }
  if (p.isOpen()) o.pts.push_back(p.vertex(n - 1).point());
  return o;
}

// Even-odd crossing count and distance to a closed polyline, with edges
// sorted into horizontal bands so that each query reads few of them.
struct Banded {
  std::vector<V> pts;
  double y0, height;
  std::vector<std::vector<int>> bands;
  Banded(const std::vector<V>& p, double margin) : pts(p) {
    double lo = 1e300, hi = -1e300;
    for (V q : pts) lo = std::min(lo, q.y()), hi = std::max(hi, q.y());
    y0 = lo - 1, height = (hi - lo + 2) / 256;
    bands.resize(256);
    for (int i = 0; i < int(pts.size()); ++i) {
      const V a = pts[i], b = pts[(i + 1) % pts.size()];
      for (int k = band(std::min(a.y(), b.y()) - margin); k <= band(std::max(a.y(), b.y()) + margin); ++k)
        bands[k].push_back(i);
    }
  }
  int band(double y) const { return std::clamp(int((y - y0) / height), 0, 255); }
  // -1 when within `near` of the polyline, else 1 inside and 0 outside.
  int classify(V p, double near) const {
    bool in = false;
    for (int i : bands[band(p.y())]) {
      const V a = pts[i], b = pts[(i + 1) % pts.size()];
      const V d = b - a;
      const double t = std::clamp((p - a).dot(d) / d.len2(), 0.0, 1.0);
      if ((a + d * t).distance(p) < near) return -1;
      if ((a.y() > p.y()) != (b.y() > p.y()) && a.x() + (p.y() - a.y()) * d.x() / d.y() > p.x()) in = !in;
    }
    return in ? 1 : 0;
  }
};

vcSMDGDPoly reversed(const vcSMDGDPoly& p) {
  const int n = int(p.numVertices());
  std::vector<Vx> vs;
  for (int j = 0; j < n; ++j) {
    Vx v = p.vertex(n - 1 - j);
    const Vx& owner = p.vertex((n - j) % n);  // the old segment now ending here
    v.segmentAngleSpan(-owner.segmentAngleSpan());
    v.segmentLengthTol(owner.segmentLengthTol());
    const double prev = v.percentPrevSegment();
    v.percentPrevSegment(v.percentNextSegment());
    v.percentNextSegment(prev);
    vs.push_back(v);
  }
  vcSMDGDPoly r;
  r.vertices(vs);
  r.close();
  return r;
}

vcSMDGDPoly mirrored(const vcSMDGDPoly& p) {
  std::vector<Vx> vs;
  for (Vx v : p.vertices()) {
    v.point(V(v.point().x(), -v.point().y()));
    v.segmentAngleSpan(-v.segmentAngleSpan());
    vs.push_back(v);
  }
  vcSMDGDPoly r;
  r.vertices(vs);
  r.close();
  return r;
}

const Kind kKinds[] = {Kind::convex, Kind::concave, Kind::arcs, Kind::rounded};

}  // namespace

// Random edits: each accepted one leaves a poly that passes the complete
// check with the same roundings; each refused one throws a poly error and
// leaves the archive bytes as they were.
TEST(SMDPolyPropertyTest, EditsLeaveValidPolysOrChangeNothing) {
  int accepted = 0, refused = 0;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    PolyGen g(seed);
    for (Kind kind : kKinds) {
      vcSMDGDPoly p = g.poly(kind, seed % 2 == 0);
      for (int step = 0; step < 40; ++step) {
        const int n = int(p.numVertices());
        const auto before = vc_test::archiveBytes(p);
        const int i = n ? int(g.rng() % unsigned(n)) : 0;
        Vx v = n ? p.vertex(i) : Vx(V(0, 0), 0.5, 0.5, -1);
        v.point(v.point() + V(4 * g.u() - 2, 4 * g.u() - 2));
        v.vertexRadius(g.chance(0.5) ? 0 : 3 * g.u());
        v.segmentAngleSpan(vcDegree(g.chance(0.6) ? 0 : 200 * g.u() - 100));
        v.subModelLabel(long(g.rng() % 3) - 1);
        v.percentNextSegment(0.3 + 0.5 * g.u());
        try {
          switch (g.rng() % 6) {
            case 0:
              p.insertVertex(int(g.rng() % unsigned(n + 2)) - 1, v);
              break;
            case 1:
              p.replaceVertex(i, v);
              break;
            case 2:
              p.deleteVertex(i);
              break;
            case 3:
              p.isOpen() ? p.close() : p.open();
              break;
            case 4:
              p.vertices({v});
              break;
            default:
              p.replaceVertex(i, 1.0 * v);
              break;
          }
          ++accepted;
          expectFullyValid(p);
        } catch (const vcException& e) {
          ++refused;
          EXPECT_TRUE(isPolyError(e)) << e.what();
          EXPECT_EQ(vc_test::archiveBytes(p), before) << e.what();
        }
        if (p.numVertices() < 3) p = g.poly(kind, g.chance(0.5));
      }
    }
  }
  EXPECT_GT(accepted, 150);
  EXPECT_GT(refused, 150);
}

// inside_ agrees with an even-odd count on the outline sampled to 1e-7,
// for 10,000 random points per poly away from the outline.
TEST(SMDPolyPropertyTest, InsideAgreesWithEvenOddOnTheDenseOutline) {
  for (unsigned seed = 11; seed <= 13; ++seed) {
    PolyGen g(seed);
    for (Kind kind : kKinds) {
      const vcSMDGDPoly p = g.poly(kind, true);
      const Banded ref(sample(p, 1e-7).pts, 1e-6);
      const vcRect box = p.boundingBox();
      int in = 0, compared = 0;
      for (int k = 0; k < 10000; ++k) {
        const V q(box.x() - 1 + (box.width() + 2) * g.u(), box.y() - 1 + (box.height() + 2) * g.u());
        const int expected = ref.classify(q, 1e-6);
        if (expected < 0) continue;
        ++compared;
        in += expected;
        ASSERT_EQ(P::inside(p, q), expected == 1) << "seed " << seed << " point " << q;
      }
      EXPECT_GT(in, 1000);
      EXPECT_GT(compared - in, 1000);
    }
  }
}

// Boxes hold every sample of the outline and touch its extremes, arcs
// included, under rotations and scales too.
TEST(SMDPolyPropertyTest, BoxesTouchTheOutlineExtremes) {
  PolyGen g(21);
  for (int k = 0; k < 24; ++k) {
    const vcSMDGDPoly p = g.poly(kKinds[k % 4], k % 3 != 0);
    const double rot = 2 * kPi * g.u(), scale = 0.5 + 2 * g.u();
    const vcXform<2> x(
        vcMatrix<2>(scale * std::cos(rot), -scale * std::sin(rot), scale * std::sin(rot), scale * std::cos(rot)),
        V(10 * g.u(), -5 * g.u()));
    const Outline o = sample(p, 1e-3, rot);
    const vcRect box = p.boundingBox(x);
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    std::vector<V> all = o.pts;
    all.insert(all.end(), o.extreme.begin(), o.extreme.end());
    for (V q : all) {
      const V m = x.mapPoint(q);
      for (int a = 0; a < 2; ++a) lo[a] = std::min(lo[a], m[a]), hi[a] = std::max(hi[a], m[a]);
    }
    EXPECT_NEAR(box.x(), lo[0], 1e-9);
    EXPECT_NEAR(box.y(), lo[1], 1e-9);
    EXPECT_NEAR(box.x() + box.width(), hi[0], 1e-9);
    EXPECT_NEAR(box.y() + box.height(), hi[1], 1e-9);
  }
}

// Reversing the vertex order or mirroring flips the direction and keeps
// lengths, boxes (mirrored) and insideness; the direction flag flips it back.
TEST(SMDPolyPropertyTest, ReversalAndMirroringFlipTheDirection) {
  PolyGen g(31);
  for (int k = 0; k < 16; ++k) {
    vcSMDGDPoly p = g.poly(kKinds[k % 4], true);
    const vcSMDGDPoly r = reversed(p), m = mirrored(p);
    EXPECT_NE(r.isDirectionPositive(), p.isDirectionPositive());
    EXPECT_NE(m.isDirectionPositive(), p.isDirectionPositive());
    EXPECT_NEAR(P::perimeter(r, 0.0), P::perimeter(p, 0.0), 1e-9);
    EXPECT_NEAR(P::perimeter(m, 0.0), P::perimeter(p, 0.0), 1e-9);
    const vcRect b = p.boundingBox(), bm = m.boundingBox();
    EXPECT_NEAR(bm.y(), -(b.y() + b.height()), 1e-9);
    EXPECT_NEAR(bm.height(), b.height(), 1e-9);
    for (int t = 0; t < 50; ++t) {
      const V q(b.x() + b.width() * g.u(), b.y() + b.height() * g.u());
      EXPECT_EQ(P::inside(r, q), P::inside(p, q));
      EXPECT_EQ(P::inside(m, V(q.x(), -q.y())), P::inside(p, q));
    }
    const vcSMDGDPoly moved = vc2Rigid(vcRadian(2 * kPi * g.u()), V(3, -4)) * p;
    EXPECT_EQ(moved.isDirectionPositive(), p.isDirectionPositive());
    p.toggleDirection();
    EXPECT_EQ(p.isDirectionPositive(), r.isDirectionPositive());
  }
}
