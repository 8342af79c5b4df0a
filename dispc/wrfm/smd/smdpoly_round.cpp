// SMD poly geometry: segment primitives, corner rounding and the meeting tests
// that keep a poly valid.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include <vc/wrfm/smdpoly.h>

#include "smdpoly_piece.h"

using P = vcSMDGDPolyPrivate;

namespace {

bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }

// The straight segment a-b, or invalidVertices when it has no length.
vc2SegmentLine lineBetween(const vcVector<2>& a, const vcVector<2>& b) {
  if (!finite(a) || !finite(b) || a == b) throw vcSMDGDPoly::invalidVertices();
  return vc2SegmentLine(a, b);
}

// Sweep from angle `from` to angle `to` (degrees) in the sense of `sign`, in [0, 360).
double sweep(double from, double to, double sign) {
  const double d = sign > 0 ? to - from : from - to;
  return vcDegree(d).norm().toDouble();
}

vc2SegmentArc slid(const vc2SegmentArc& a, double d, double part0, double part1) {
  const double span = a.localAngleSpan().toDouble();
  const double r = a.localRadius() + (span > 0 ? d : -d);
  if (!(r > 0)) throw vcSMDGDPoly::invalidRounding();
  const double start = a.localStartAngle().toDouble() + span * part0;
  return vc2SegmentArc(a.localCenter(), r, vcDegree(start), vcDegree(span * (part1 - part0)));
}

vc2SegmentLine slid(const vc2SegmentLine& l, double d, double part0, double part1) {
  const vcVector<2> u = (l.p2() - l.p1()).unit();
  const vcVector<2> off(u.y() * d, -u.x() * d);  // d toward direction - 90 degrees
  return vc2SegmentLine(l.segPoint(part0) + off, l.segPoint(part1) + off);
}

}  // namespace

// ---- segment primitives ----------------------------------------------------------

vc2SegmentLine P::lineSegment_(const vcSMDGDPoly& p, int s) {
  int a = 0, b = 0;
  p.getVertexIndices_(a, b, s);
  return lineBetween(p.vertexPoint_(a), p.vertexPoint_(b));
}

vc2SegmentArc P::arcSegment_(const vcSMDGDPoly& p, int s) {
  int a = 0, b = 0;
  p.getVertexIndices_(a, b, s);
  const double span = p.segmentAngleSpan_(b).toDouble();
  const vcVector<2> pa = p.vertexPoint_(a), pb = p.vertexPoint_(b);
  // A whole turn cannot join two distinct points.
  if (!finite(pa) || !finite(pb) || pa == pb || !(std::abs(span) < 360.0 - 1e-9) || std::abs(span) <= vcStraightSpan)
    throw vcSMDGDPoly::invalidVertices();
  return vc2SegmentArc(pa, pb, vcDegree(span));
}

vc2SegmentLine P::roundedLineSegment_(const vcSMDGDPoly& p, int s) {
  int a = 0, b = 0;
  p.getVertexIndices_(a, b, s);
  const vc2SegmentLine full = lineSegment_(p, s);
  const vcVector<2> from = p.rEnd_[static_cast<std::size_t>(a)], to = p.rStart_[static_cast<std::size_t>(b)];
  // The roundings of both ends must leave some of the segment between them.
  const vcVector<2> u = full.p2() - full.p1();
  if (!((to - from).dot(u) > 1e-12 * u.len2()) || from == to) throw vcSMDGDPoly::invalidRounding();
  return vc2SegmentLine(from, to);
}

vc2SegmentArc P::roundedArcSegment_(const vcSMDGDPoly& p, int s) {
  int a = 0, b = 0;
  p.getVertexIndices_(a, b, s);
  const vc2SegmentArc full = arcSegment_(p, s);
  const double span = full.localAngleSpan().toDouble();
  const double sign = span > 0 ? 1.0 : -1.0;
  const double a0 = full.localStartAngle().toDouble();
  const vcVector<2> c = full.localCenter();
  const std::size_t ia = static_cast<std::size_t>(a), ib = static_cast<std::size_t>(b);
  const double t1 = p.vertexIsRounded_(a) ? sweep(a0, vcDegree((p.rEnd_[ia] - c).angle()).toDouble(), sign) : 0.0;
  const double t2 =
      p.vertexIsRounded_(b) ? sweep(a0, vcDegree((p.rStart_[ib] - c).angle()).toDouble(), sign) : std::abs(span);
  if (!(t2 - t1 > 1e-12 * std::abs(span)) || t2 > std::abs(span) + 1e-9) throw vcSMDGDPoly::invalidRounding();
  return vc2SegmentArc(c, full.localRadius(), vcDegree(a0 + sign * t1), vcDegree(sign * (t2 - t1)));
}

vc2SegmentArc P::roundedArcVertex_(const vcSMDGDPoly& p, int v) {
  if (!p.vertexIsRounded_(v)) throw vcSMDGDPoly::invalidIndex();
  const std::size_t i = static_cast<std::size_t>(v);
  const vcVector<2> c = p.rCenter_[i];
  return vc2SegmentArc(c, p.vertexRadius_(v), vcDegree((p.rStart_[i] - c).angle()), vcDegree(p.rSpan_[i]));
}

vc2SegmentLine P::slideLineSegment_(const vcSMDGDPoly& p, int s, double d) { return slid(lineSegment_(p, s), d, 0, 1); }
vc2SegmentLine P::firstHalfSlideLineSegment_(const vcSMDGDPoly& p, int s, double d) {
  return slid(lineSegment_(p, s), d, 0, 0.5);
}
vc2SegmentLine P::secondHalfSlideLineSegment_(const vcSMDGDPoly& p, int s, double d) {
  return slid(lineSegment_(p, s), d, 0.5, 1);
}
vc2SegmentArc P::slideArc_(const vcSMDGDPoly& p, int s, double d) { return slid(arcSegment_(p, s), d, 0, 1); }
vc2SegmentArc P::firstHalfSlideArc_(const vcSMDGDPoly& p, int s, double d) {
  return slid(arcSegment_(p, s), d, 0, 0.5);
}
vc2SegmentArc P::secondHalfSlideArc_(const vcSMDGDPoly& p, int s, double d) {
  return slid(arcSegment_(p, s), d, 0.5, 1);
}

// ---- corners -----------------------------------------------------------------------

vcDegree P::vertexAngle(const vcSMDGDPoly& p, int v) {
  int prev = 0, next = 0;
  p.getSegmentIndices_(prev, next, v);
  if (prev < 0 || next < 0) throw vcSMDGDPoly::invalidIndex();
  const vcDegree e = p.segmentEndDirection_(prev), b = p.segmentStartDirection_(next);
  return (vcDegree(180.0) - (e - b)).signedNorm();
}

vcVector<2> vcSMDGDPoly::roundPoint_(int v) const {
  const double r = vertexRadius_(v);
  // The centre lies on the side the outline turns to: a corner angle >= 0 is
  // a turn toward -angle, whose inner side is at direction - 90 degrees.
  const double d = P::vertexAngle(*this, v).toDouble() >= 0 ? r : -r;
  int prev = 0, next = 0;
  getSegmentIndices_(prev, next, v);
  // A rounding may take up to half of an interior segment, all of a free end's.
  const bool prevWhole = open_ && prev == firstSegmentIndex_();
  const bool nextWhole = open_ && next == lastSegmentIndex_();
  const vc_SMDPiece in = isLineSegment_(prev)
                             ? vc_SMDPiece(slid(P::lineSegment_(*this, prev), d, prevWhole ? 0 : 0.5, 1))
                             : vc_SMDPiece(slid(P::arcSegment_(*this, prev), d, prevWhole ? 0 : 0.5, 1));
  const vc_SMDPiece out = isLineSegment_(next)
                              ? vc_SMDPiece(slid(P::lineSegment_(*this, next), d, 0, nextWhole ? 1 : 0.5))
                              : vc_SMDPiece(slid(P::arcSegment_(*this, next), d, 0, nextWhole ? 1 : 0.5));
  const std::vector<vcVector<2>> pts = vc_intersect(in, out, true);
  if (pts.size() == 1) return pts[0];
  if (pts.size() == 2) {
    const vcVector<2>& at = vertexPoint_(v);
    return pts[0].distance(at) <= pts[1].distance(at) ? pts[0] : pts[1];
  }
  throw invalidRounding();
}

void vcSMDGDPoly::deriveRoundings_() {
  const std::size_t n = v_.size();
  rStart_.assign(n, vcVector<2>());
  rEnd_.assign(n, vcVector<2>());
  rSpan_.assign(n, 0.0);
  rCenter_.assign(n, vcVector<2>());
  for (int i = 0; i < static_cast<int>(n); ++i) computeVertexRounding_(i);
}

void vcSMDGDPoly::computeVertexRounding_(int v) {
  const std::size_t i = static_cast<std::size_t>(vertexIndex_(v, false));
  if (!vertexIsRounded_(v)) {
    rStart_[i] = rEnd_[i] = rCenter_[i] = v_[i].point();
    rSpan_[i] = 0.0;
    return;
  }
  const vcVector<2> c = roundPoint_(v);
  int prev = 0, next = 0;
  getSegmentIndices_(prev, next, v);
  rStart_[i] = closestSegmentPoint_(prev, c);
  rEnd_[i] = closestSegmentPoint_(next, c);
  rCenter_[i] = c;
  rSpan_[i] = vcDegree(((rEnd_[i] - c).angle() - (rStart_[i] - c).angle()).signedNorm()).toDouble();
}

vcVector<2> vcSMDGDPoly::closestSegmentPoint_(int s, const vcVector<2>& p) const {
  return vc_fullSegmentPiece(*this, s).closestPoint(p);
}

vcVector<2> vcSMDGDPoly::closestRoundedSegmentPoint_(int s, const vcVector<2>& p) const {
  return vc_roundedSegmentPiece(*this, s).closestPoint(p);
}

double vcSMDGDPoly::segmentLength_(int s) const { return vc_fullSegmentPiece(*this, s).length(); }

double vcSMDGDPoly::roundedSegmentLength_(int s) const {
  return vc_roundedSegmentPiece(*this, s).length();
}

vcDegree vcSMDGDPoly::segmentStartDirection_(int s) const {
  return isLineSegment_(s) ? P::lineSegment_(*this, s).angle() : P::arcSegment_(*this, s).startDirection();
}

vcDegree vcSMDGDPoly::segmentEndDirection_(int s) const {
  return isLineSegment_(s) ? P::lineSegment_(*this, s).angle() : P::arcSegment_(*this, s).endDirection();
}

// ---- meeting tests ---------------------------------------------------------------------

std::vector<vcVector<2>> vcSMDGDPoly::segmentIntersection_(int s, int t) const {
  int sa = 0, sb = 0;
  getVertexIndices_(sa, sb, s);
  const bool adjacent = t == previousSegmentIndex_(sa) || t == nextSegmentIndex_(sb);
  const bool sLine = isLineSegment_(s), tLine = isLineSegment_(t);
  if (adjacent && sLine && tLine) return {};
  const vc_SMDPiece a = vc_roundedSegmentPiece(*this, s), b = vc_roundedSegmentPiece(*this, t);
  std::vector<vcVector<2>> pts = vc_intersect(a, b, adjacent);
  if (!adjacent) return pts;
  // Neighbours meet at their sharp corner. The end tests of an arc go by
  // angle, which misses that corner when the arc is nearly straight (its
  // circle is then huge and its points known only to its meeting tolerance),
  // so a point found that close to the corner is the corner.
  const double tol = a.forMeeting().meetingTolerance() + b.forMeeting().meetingTolerance();
  for (const int v : {sa, sb}) {
    if (vertexIsRounded_(v) || (v == sa ? t != previousSegmentIndex_(sa) : t != nextSegmentIndex_(sb))) continue;
    const vcVector<2>& corner = vertexPoint_(v);
    std::erase_if(pts, [&](const vcVector<2>& q) { return q.distance(corner) <= tol; });
  }
  return pts;
}

std::vector<vcVector<2>> vcSMDGDPoly::vertexIntersection_(int v, int w) const {
  if (!vertexIsRounded_(v) || !vertexIsRounded_(w)) return {};
  return P::roundedArcVertex_(*this, v).intersection(P::roundedArcVertex_(*this, w), false);
}

std::vector<vcVector<2>> vcSMDGDPoly::segmentVertexIntersection_(int s, int v) const {
  int sa = 0, sb = 0;
  getVertexIndices_(sa, sb, s);
  if (!vertexIsRounded_(v) || v == sa || v == sb) return {};
  return vc_intersect(vc_roundedSegmentPiece(*this, s), vc_roundedCornerPiece(*this, v), false);
}

bool vcSMDGDPoly::segmentIntersectsPoly_(int s, int last) const {
  if (last < 0) last = lastVertexIndex_();
  for (int j = 0; j <= last; ++j) {
    if (segmentIntersectsVertex_(s, j)) return true;
    if (j != s && !(open_ && j == 0) && segmentIntersectsSegment_(s, j)) return true;
  }
  return false;
}

bool vcSMDGDPoly::vertexIntersectsPoly_(int v, int last) const {
  if (!vertexIsRounded_(v)) return false;
  if (last < 0) last = lastVertexIndex_();
  for (int j = 0; j <= last; ++j) {
    if (j != v && vertexIntersectsVertex_(v, j)) return true;
    if (!(open_ && j == 0) && segmentIntersectsVertex_(j, v)) return true;
  }
  return false;
}

// ---- the check of every edit -------------------------------------------------------------

namespace {

// One part of the outline: a rounded segment (vertex < 0) or a rounding arc.
struct Part {
  int segment = -1;
  int vertex = -1;
  vc_SMDPiece piece;
  vcRect box;
  std::array<double, 6> key{};
};

std::array<double, 6> keyOf(const Part& p) {
  const vcVector<2> a = p.piece.start(), b = p.piece.end();
  const double span = p.piece.isArc ? p.piece.arc.localAngleSpan().toDouble() : 0.0;
  return {p.segment >= 0 ? 0.0 : 1.0, a.x(), a.y(), b.x(), b.y(), span};
}

// Every rounded segment, then every rounding arc.
std::vector<Part> partsOf(const vcSMDGDPoly& p) {
  std::vector<Part> parts;
  vc_walkOutline(p, vc_SMDWalkFrom::eSegment0, [&](const vc_SMDPart& w) {
    Part part;
    (w.corner ? part.vertex : part.segment) = w.index;
    part.piece = w.piece();
    part.box = part.piece.looseBox();
    part.key = keyOf(part);
    parts.push_back(part);
  });
  std::stable_partition(parts.begin(), parts.end(), [](const Part& part) { return part.segment >= 0; });
  return parts;
}

bool boxesApart(const vcRect& a, const vcRect& b) {
  const double slack = 1e-9 * (1.0 + std::max({std::abs(a.x()), std::abs(a.y()), a.width(), a.height()}));
  return a.x() > b.x() + b.width() + slack || b.x() > a.x() + a.width() + slack || a.y() > b.y() + b.height() + slack ||
         b.y() > a.y() + a.height() + slack;
}

}  // namespace

void vcSMDGDPoly::check_(const vcSMDGDPoly* before) {
  const int n = static_cast<int>(v_.size());
  if (!open_ && n < 2) throw invalidVertices();
  for (int i = 0; i < n; ++i) {
    if (!finite(v_[static_cast<std::size_t>(i)].point()) ||
        !std::isfinite(v_[static_cast<std::size_t>(i)].vertexRadius()))
      throw invalidVertices();
    if (!(open_ && i == 0) && n > 1) vc_fullSegmentPiece(*this, i);
  }
  deriveRoundings_();

  // Every pair of parts is tested once, unless neither part changed: such a
  // pair was tested when the poly was last accepted.
  std::vector<Part> parts = partsOf(*this);
  std::vector<std::array<double, 6>> old;
  if (before && before->v_.size() > 1 && before->rStart_.size() == before->v_.size()) {
    for (const Part& part : partsOf(*before)) old.push_back(part.key);
    std::sort(old.begin(), old.end());
  }
  std::vector<bool> changed(parts.size(), true);
  if (before)
    for (std::size_t i = 0; i < parts.size(); ++i)
      changed[i] = !std::binary_search(old.begin(), old.end(), parts[i].key);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    for (std::size_t j = i + 1; j < parts.size(); ++j) {
      if (!changed[i] && !changed[j]) continue;
      const Part& a = parts[i];
      const Part& b = parts[j];
      if (boxesApart(a.box, b.box)) continue;
      bool meet = false;
      if (a.segment >= 0 && b.segment >= 0)
        meet = segmentIntersectsSegment_(a.segment, b.segment);
      else if (a.vertex >= 0 && b.vertex >= 0)
        meet = vertexIntersectsVertex_(a.vertex, b.vertex);
      else if (a.segment >= 0)
        meet = segmentIntersectsVertex_(a.segment, b.vertex);
      else
        meet = segmentIntersectsVertex_(b.segment, a.vertex);
      if (meet) throw crossingSegments();
    }
  }

  // Two same-label pieces may not claim more than the whole of their segment.
  for (int s = 0; s < n && n > 1; ++s) {
    if (open_ && s == 0) continue;
    const auto& a = v_[static_cast<std::size_t>(previousVertexIndex_(s))];
    const auto& b = v_[static_cast<std::size_t>(s)];
    if (b.subModelLabel() != -1 && a.subModelLabel() == b.subModelLabel() &&
        a.percentNextSegment() + b.percentPrevSegment() > 1.0)
      throw crossingSegments();
  }
  for (int s = 0; s < n && n > 1; ++s)
    if (!(open_ && s == 0)) segmentDimension(s);
  resetInsideIndex_();
}
