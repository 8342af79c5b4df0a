// The outline parts of SMD polys, whatever their kind.
#include "smdpoly_piece.h"

#include <cmath>
#include <limits>

vcDegree vc_SMDPiece::directionNear(const vcVector<2>& p) const {
  if (!isArc) return line.angle();
  const vcVector<2> q = arc.closestPoint(p) - arc.center();
  const double turn = arc.angleSpan().toDouble() >= 0 ? 90.0 : -90.0;
  return vcDegree(vcRadian(q.angle())) + turn;
}

vcRect vc_SMDPiece::looseBox() const {
  if (!isArc) return line.boundingBox();
  const double r = arc.localRadius();
  const vcVector<2> c = arc.center();
  return vcRect(c.x() - r, c.y() - r, 2 * r, 2 * r);
}

double vc_SMDPiece::mappedLength(const vcXform<2>& x) const {
  if (isArc) return (x * arc).length();
  return x.mapPoint(line.p1()).distance(x.mapPoint(line.p2()));
}

vcRect vc_SMDPiece::mappedBox(const vcXform<2>& x) const {
  if (isArc) {
    const vc_SMDPiece chordOrArc = forMeeting();
    return chordOrArc.isArc ? (x * arc).boundingBox() : chordOrArc.mappedBox(x);
  }
  vcRect r(x.mapPoint(line.p1()), vcVector<2>(0, 0));
  r.enclose(x.mapPoint(line.p2()));
  return r;
}

double vc_SMDPiece::meetingTolerance() const {
  constexpr double kEps = std::numeric_limits<double>::epsilon();
  if (isArc) return 64 * kEps * (arc.localRadius() + arc.localCenter().len());
  return 64 * kEps * (line.p1().len() + line.p2().len());
}

vc_SMDPiece vc_SMDPiece::forMeeting() const {
  if (!isArc || !arc.xform().isIdentity()) return *this;
  // The sagitta, r (1 - cos(span / 2)), written so that it stays exact for tiny spans.
  const double quarter = std::fabs(vcRadian(arc.localAngleSpan()).toDouble()) / 4;
  const double sagitta = 2 * arc.localRadius() * std::sin(quarter) * std::sin(quarter);
  if (!(sagitta <= meetingTolerance()) || from == to) return *this;
  return vc_SMDPiece(vc2SegmentLine(from, to));
}

vc_SMDPiece vc_roundedSegmentPiece(const vcSMDGDPoly& p, int s) {
  const long n = p.numVertices();
  if (p.vertex(s).endsStraightSegment())
    return vc_SMDPiece(vcSMDGDPolyPrivate::roundedLineSegment_(p, s));
  const std::size_t a = static_cast<std::size_t>((s + n - 1) % n), b = static_cast<std::size_t>(s);
  return vc_SMDPiece(vcSMDGDPolyPrivate::roundedArcSegment_(p, s), p.roundingEndPoints()[a],
                     p.roundingStartPoints()[b]);
}

vc_SMDPiece vc_fullSegmentPiece(const vcSMDGDPoly& p, int s) {
  if (p.vertex(s).endsStraightSegment()) return vc_SMDPiece(vcSMDGDPolyPrivate::lineSegment_(p, s));
  return vc_SMDPiece(vcSMDGDPolyPrivate::arcSegment_(p, s));
}

vc_SMDPiece vc_roundedCornerPiece(const vcSMDGDPoly& p, int v) {
  const std::size_t i = static_cast<std::size_t>(v);
  return vc_SMDPiece(vcSMDGDPolyPrivate::roundedArcVertex_(p, v), p.roundingStartPoints()[i],
                     p.roundingEndPoints()[i]);
}

std::vector<vcVector<2>> vc_intersect(const vc_SMDPiece& pa, const vc_SMDPiece& pb, bool exclusive) {
  const vc_SMDPiece a = pa.forMeeting(), b = pb.forMeeting();
  if (a.isArc) return b.isArc ? a.arc.intersection(b.arc, exclusive) : a.arc.intersection(b.line, exclusive);
  if (b.isArc) return b.arc.intersection(a.line, exclusive);
  return a.line.intersection(b.line, exclusive);
}
