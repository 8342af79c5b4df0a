// Line and circle-arc pieces of the offset: parameters, crossings, distances.
#include "smdpoly_offset_geom.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace vc_offset {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kEps = std::numeric_limits<double>::epsilon();
// Crossings this close to a piece's ends (as a fraction of it) still count.
constexpr double kEndSlack = 1e-12;

V polar(const V& c, double r, double t) { return c + V(r * std::cos(t), r * std::sin(t)); }

// The fraction of the sweep at which angle t lies, or -1 off the arc.
double fractionOf(const Seg& s, double t) {
  double d = s.sp > 0 ? t - s.a0 : s.a0 - t;
  d -= kTwoPi * std::floor(d / kTwoPi);
  const double span = std::abs(s.sp);
  const double slack = kEndSlack * span + 64 * kEps;
  if (d <= span + slack) return std::min(d / span, 1.0);
  if (kTwoPi - d <= slack) return 0.0;
  return -1.0;
}

void setBox(Seg& s) {
  s.x0 = std::min(s.a.x(), s.b.x());
  s.x1 = std::max(s.a.x(), s.b.x());
  s.y0 = std::min(s.a.y(), s.b.y());
  s.y1 = std::max(s.a.y(), s.b.y());
  if (!s.arc) return;
  for (int k = 0; k < 4; ++k) {
    if (fractionOf(s, k * 0.5 * kPi) < 0) continue;
    const V q = polar(s.c, s.r, k * 0.5 * kPi);
    s.x0 = std::min(s.x0, q.x());
    s.x1 = std::max(s.x1, q.x());
    s.y0 = std::min(s.y0, q.y());
    s.y1 = std::max(s.y1, q.y());
  }
}

}  // namespace

Seg lineSeg(const V& a, const V& b) {
  Seg s;
  s.a = a;
  s.b = b;
  setBox(s);
  return s;
}

Seg arcSeg(const V& c, double r, double a0, double sp) {
  Seg s;
  s.arc = true;
  s.c = c;
  s.r = r;
  s.a0 = a0;
  s.sp = sp;
  s.a = polar(c, r, a0);
  s.b = polar(c, r, a0 + sp);
  setBox(s);
  return s;
}

V Seg::pointAt(double t) const {
  if (t <= 0) return a;
  if (t >= 1) return b;
  return arc ? polar(c, r, a0 + sp * t) : a + (b - a) * t;
}

V Seg::startTangent() const {
  if (!arc) return (b - a).unit();
  const double k = sp > 0 ? 1.0 : -1.0;
  return V(-std::sin(a0) * k, std::cos(a0) * k);
}

V Seg::endTangent() const {
  if (!arc) return (b - a).unit();
  const double k = sp > 0 ? 1.0 : -1.0;
  return V(-std::sin(a0 + sp) * k, std::cos(a0 + sp) * k);
}

double Seg::length() const { return arc ? r * std::abs(sp) : a.distance(b); }

Seg Seg::sub(double t0, double t1) const {
  if (t0 <= 0 && t1 >= 1) return *this;
  Seg s = arc ? arcSeg(c, r, a0 + sp * t0, sp * (t1 - t0)) : lineSeg(pointAt(t0), pointAt(t1));
  // Keep the ends exact where they are this piece's own.
  if (t0 <= 0) s.a = a;
  if (t1 >= 1) s.b = b;
  s.owner = owner;
  return s;
}

Seg Seg::reversed() const {
  Seg s = *this;
  std::swap(s.a, s.b);
  if (arc) {
    s.a0 = a0 + sp;
    s.sp = -sp;
  }
  return s;
}

double Seg::distance(const V& q) const {
  if (!arc) {
    const V d = b - a;
    if (!(d.len2() > 0)) return q.distance(a);
    const double t = std::clamp((q - a).dot(d) / d.len2(), 0.0, 1.0);
    return q.distance(a + d * t);
  }
  if (fractionOf(*this, (q - c).angle().toDouble()) >= 0 && q != c) return std::abs(q.distance(c) - r);
  return std::min(q.distance(a), q.distance(b));
}

int crossings(const Seg& p, const Seg& q, double tp[2], double tq[2]) {
  if (!p.arc && !q.arc) {
    const V d1 = p.b - p.a, d2 = q.b - q.a, w = q.a - p.a;
    const double den = d1.cross(d2);
    if (std::abs(den) <= 1e-13 * d1.len() * d2.len()) return 0;
    const double t = w.cross(d2) / den, u = w.cross(d1) / den;
    if (t < -kEndSlack || t > 1 + kEndSlack || u < -kEndSlack || u > 1 + kEndSlack) return 0;
    tp[0] = std::clamp(t, 0.0, 1.0);
    tq[0] = std::clamp(u, 0.0, 1.0);
    return 1;
  }
  if (!p.arc) return crossings(q, p, tq, tp);
  int n = 0;
  if (!q.arc) {
    // The line a + t d against the circle.
    const V d = q.b - q.a;
    const double len2 = d.len2();
    const double t0 = (p.c - q.a).dot(d) / len2;
    const V foot = q.a + d * t0;
    const double h2 = p.r * p.r - foot.distance(p.c) * foot.distance(p.c);
    const double tol = 64 * kEps * (p.r + p.c.len() + q.a.len()) * p.r;
    if (h2 < -tol) return 0;
    const double h = h2 > tol ? std::sqrt(h2 / len2) : 0.0;
    const double ts[2] = {t0 - h, t0 + h};
    for (int k = 0; k < (h > 0 ? 2 : 1); ++k) {
      const double t = ts[k];
      if (t < -kEndSlack || t > 1 + kEndSlack) continue;
      const double tc = std::clamp(t, 0.0, 1.0);
      const double f = fractionOf(p, (q.a + d * tc - p.c).angle().toDouble());
      if (f < 0) continue;
      tp[n] = f;
      tq[n++] = tc;
    }
    return n;
  }
  // Two circles; the half chord from the triangle's factors keeps near-tangent
  // crossings accurate.
  const V dv = q.c - p.c;
  const double dd = dv.len();
  if (!(dd > 64 * kEps * (p.r + q.r))) return 0;
  const double tol = 16 * kEps * (p.r + q.r + dd + p.c.len() + q.c.len());
  const double f1 = p.r + q.r - dd, f2 = dd + p.r - q.r, f3 = dd - p.r + q.r;
  if (f1 < -tol || f2 < -tol || f3 < -tol) return 0;
  const V u = dv / dd;
  V pts[2];
  int k = 1;
  if (f1 <= tol || f3 <= tol) {
    pts[0] = p.c + u * p.r;
  } else if (f2 <= tol) {
    pts[0] = p.c - u * p.r;
  } else {
    const double a = 0.5 * (dd + (p.r - q.r) * (p.r + q.r) / dd);
    const double h = std::sqrt(f1 * f2 * f3 * (p.r + q.r + dd)) / (2.0 * dd);
    const V m = p.c + u * a;
    pts[0] = m + u.perp() * h;
    pts[1] = m - u.perp() * h;
    k = 2;
  }
  for (int i = 0; i < k; ++i) {
    const double fp = fractionOf(p, (pts[i] - p.c).angle().toDouble());
    const double fq = fractionOf(q, (pts[i] - q.c).angle().toDouble());
    if (fp >= 0 && fq >= 0) {
      tp[n] = fp;
      tq[n++] = fq;
    }
  }
  return n;
}

namespace {

// The arc from a to b sweeping sp (radians, signed, 0 < |sp| < 2 pi): its
// centre lies off the chord's middle by half the chord over tan(sp / 2).
Seg arcFromTo(const V& a, const V& b, double sp) {
  const V chord = b - a;
  const V c = (a + b) * 0.5 + chord.perp() * (0.5 / std::tan(0.5 * sp));
  return arcSeg(c, c.distance(a), (a - c).angle().toDouble(), sp);
}

// The part of the arc `full` from a to b (points on its circle), sweeping
// the way full does.
Seg subArc(const Seg& full, const V& a, const V& b) {
  const V u = a - full.c, w = b - full.c;
  double sp = std::atan2(u.cross(w), u.dot(w));
  if (full.sp > 0 && sp < 0) sp += kTwoPi;
  if (full.sp < 0 && sp > 0) sp -= kTwoPi;
  return arcSeg(full.c, full.r, u.angle().toDouble(), sp);
}

}  // namespace

std::vector<Seg> outlineOf(const vcSMDGDPoly& p) {
  // Read from the poly's rounding points: a segment runs from the end of its
  // first corner's rounding to the start of its second's.
  const std::vector<vcSMDGDPolyVertex>& vs = p.vertices();
  const std::vector<V>&rs = p.roundingStartPoints(), &re = p.roundingEndPoints();
  const std::vector<double>& rspan = p.roundingSpans();
  const std::size_t n = vs.size();
  std::vector<Seg> out;
  if (n < 2) return out;
  out.reserve(2 * n);
  const bool open = p.isOpen();
  constexpr double kDeg = kPi / 180.0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!(open && i == 0)) {
      const std::size_t a = (i + n - 1) % n;
      const double span = vs[i].segmentAngleSpan().toDouble();
      Seg s = vs[i].endsStraightSegment()
                  ? lineSeg(re[a], rs[i])
                  : subArc(arcFromTo(vs[a].point(), vs[i].point(), span * kDeg), re[a], rs[i]);
      // The ends the neighbouring parts share.
      s.a = re[a];
      s.b = rs[i];
      out.push_back(s);
    }
    if (vs[i].hasRounding() && rspan[i] != 0.0 && !(open && (i == 0 || i == n - 1))) {
      Seg s = arcFromTo(rs[i], re[i], rspan[i] * kDeg);
      s.a = rs[i];
      s.b = re[i];
      out.push_back(s);
    }
  }
  return out;
}

double twiceArea(const std::vector<Seg>& parts) {
  double s = 0.0;
  for (const Seg& g : parts) {
    s += g.a.cross(g.b);
    if (g.arc) s += g.r * g.r * (g.sp - std::sin(g.sp));
  }
  return s;
}

}  // namespace vc_offset
