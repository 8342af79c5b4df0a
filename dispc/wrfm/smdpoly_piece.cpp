// The outline parts of SMD polys, whatever their kind.
#include "smdpoly_piece.h"

#include <cmath>

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
  if (isArc) return (x * arc).boundingBox();
  vcRect r(x.mapPoint(line.p1()), vcVector<2>(0, 0));
  r.enclose(x.mapPoint(line.p2()));
  return r;
}

std::vector<vcVector<2>> vc_intersect(const vc_SMDPiece& a, const vc_SMDPiece& b, bool exclusive) {
  if (a.isArc) return b.isArc ? a.arc.intersection(b.arc, exclusive) : a.arc.intersection(b.line, exclusive);
  if (b.isArc) return b.arc.intersection(a.line, exclusive);
  return a.line.intersection(b.line, exclusive);
}
