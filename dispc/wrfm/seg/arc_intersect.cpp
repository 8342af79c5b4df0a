// Intersections of arcs with lines, line segments and other arcs.
//
// Each is solved in the local frame of one arc, where that arc is a circle,
// and the points are mapped back. Tangency is decided with a tolerance of a
// few rounding errors of the magnitudes involved, so that a touching pair is
// found however large its coordinates, and the circle-circle half chord is
// taken as a product of the triangle's factors (Heron's form), which keeps
// near-tangent crossings accurate.
#include <vc/wrfm/arc.h>

#include <cmath>
#include <limits>

#include "arcmath.h"

using vc_arc::angleOf;

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();

// The points common to the circles (c1, r1) and (c2, r2).
std::vector<vcVector<2>> circleCircle(const vcVector<2>& c1, double r1, const vcVector<2>& c2, double r2) {
  const vcVector<2> dv = c2 - c1;
  const double d = dv.len();
  if (!(d > 0.0)) return {};  // concentric: none, or a whole circle in common
  const double tol = 16 * kEps * (r1 + r2 + d + c1.len() + c2.len());
  const double f1 = r1 + r2 - d, f2 = d + r1 - r2, f3 = d - r1 + r2;
  if (f1 < -tol || f2 < -tol || f3 < -tol) return {};
  const vcVector<2> u = dv / d;
  if (f1 <= tol) return {c1 + u * r1};  // touching from outside
  if (f2 <= tol) return {c1 - u * r1};  // the first inside the second
  if (f3 <= tol) return {c1 + u * r1};  // the second inside the first
  const double a = 0.5 * (d + (r1 - r2) * (r1 + r2) / d);
  const double h = std::sqrt(f1 * f2 * f3 * (r1 + r2 + d)) / (2.0 * d);
  const vcVector<2> m = c1 + u * a;
  return {m + u.perp() * h, m - u.perp() * h};
}

}  // namespace

std::vector<vcVector<2>> vc2SegmentArc::intersection(const vcFLine& f, bool exclusive) const {
  const vcFLine g = f.map(x_.inverse());
  const vcVector<2> n = g.normal();
  const double s = n.dot(c_) - g.offset();  // signed distance of the center
  const double dist = std::fabs(s);
  const double tol = 16 * kEps * (r_ + c_.len() + std::fabs(g.offset()));
  std::vector<vcVector<2>> candidates;
  const vcVector<2> foot = c_ - n * s;
  if (dist > r_ + tol) return {};
  if (std::fabs(dist - r_) <= tol) {
    candidates.push_back(foot);
  } else {
    const double h = std::sqrt((r_ - dist) * (r_ + dist));
    const vcVector<2> u = g.direction();
    candidates = {foot + u * h, foot - u * h};
  }
  std::vector<vcVector<2>> out;
  for (const vcVector<2>& q : candidates)
    if (q != c_ && validAngle_(vcDegree(angleOf(q - c_)), !exclusive)) out.push_back(x_ * q);
  // Near tangency the computed crossings can fall just past the end of a
  // short arc that the line does touch; the end itself is then on the line.
  if (out.empty() && !exclusive)
    for (const vcVector<2>& e : {localPoint_(s_), localPoint_(s_ + a_)})
      if (std::fabs(g.signedDistance(e)) <= tol) return {x_ * e};
  return out;
}

std::vector<vcVector<2>> vc2SegmentArc::intersection(const vc2SegmentLine& s, bool exclusive) const {
  std::vector<vcVector<2>> out;
  for (const vcVector<2>& p : intersection(s.line(), exclusive))
    if (s.inRange(p, !exclusive)) out.push_back(p);
  return out;
}

std::vector<vcVector<2>> vc2SegmentArc::intersection(const vc2SegmentArc& o, bool exclusive) const {
  // o's local frame carried into this arc's local frame.
  const vcXform<2> m = x_.inverse() * o.x_;
  std::vector<vcVector<2>> local;  // this arc's local frame
  double scale = 1.0;
  if (vc_arc::isSimilarity(m.matrix(), &scale)) {
    local = circleCircle(c_, r_, m * o.c_, o.r_ * scale);
  } else {
    // o is an ellipse here: find where its points are at distance r_ from c_.
    auto at = [&](double deg) { return m * o.localPoint_(deg); };
    const double size = r_ + c_.len() + (at(0.0) - at(180.0)).len() + (at(90.0) - at(270.0)).len();
    for (double deg :
         vc_arc::periodicZeros([&](double u) { return (at(u) - c_).len() - r_; }, 0.0, 360.0, 720, 64 * kEps * size))
      local.push_back(at(deg));
  }
  const vcXform<2> back = o.x_.inverse() * x_;
  auto onBoth = [&](const vcVector<2>& q, const vcVector<2>& qo) {
    return q != c_ && qo != o.c_ && validAngle_(vcDegree(angleOf(q - c_)), !exclusive) &&
           o.validAngle_(vcDegree(angleOf(qo - o.c_)), !exclusive);
  };
  std::vector<vcVector<2>> out;
  for (const vcVector<2>& q : local)
    if (onBoth(q, back * q)) out.push_back(x_ * q);
  // Concentric circles stay without points, as coincident lines do.
  if (!out.empty() || exclusive || (m * o.c_).distance(c_) <= 16 * kEps * (c_.len() + r_)) return out;
  // Near tangency the computed points can fall just past the end of a short
  // arc that the other does touch; that end is then on both.
  const double tol = 64 * kEps * (r_ + c_.len() + o.r_ * scale + (m * o.c_).len());
  for (const vcVector<2>& e : {localPoint_(s_), localPoint_(s_ + a_)}) {
    const vcVector<2> eo = back * e;
    if (std::fabs(eo.distance(o.c_) - o.r_) * scale <= tol && onBoth(e, eo)) return {x_ * e};
  }
  for (const vcVector<2>& eo : {o.localPoint_(o.s_), o.localPoint_(o.s_ + o.a_)}) {
    const vcVector<2> e = m * eo;
    if (std::fabs(e.distance(c_) - r_) <= tol && onBoth(e, eo)) return {x_ * e};
  }
  return out;
}
