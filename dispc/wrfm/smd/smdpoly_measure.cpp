// SMD poly measures: perimeters, boxes, tolerances, segment extensions and
// the shape tests (circle, rectilinear, rectangular).
#include <cmath>

#include <vc/core/shape.h>
#include <vc/wrfm/smdpoly.h>

#include "smdpoly_piece.h"

using P = vcSMDGDPolyPrivate;

namespace {

bool hasSegment(const vcSMDGDPoly& p, int s) { return p.numVertices() > 1 && !(p.isOpen() && s == 0); }

// A |cosine| this close to 1 or 0 is a direction along an axis, or a right angle.
constexpr double kAxisCos = 1e-15;

}  // namespace

// ---- lengths and boxes -------------------------------------------------------------

double vcSMDGDPoly::perimeter_(double minLength) const {
  double sum = 0.0;
  vc_forEachOutlinePart(*this, [&](const vc_SMDPiece& piece) {
    const double l = piece.length();
    if (l > minLength) sum += l;
  });
  return sum;
}

double vcSMDGDPoly::perimeter_(const vcXform<2>& x) const {
  double sum = 0.0;
  vc_forEachOutlinePart(*this, [&](const vc_SMDPiece& piece) { sum += piece.mappedLength(x); });
  return sum;
}

vcRect vcSMDGDPoly::boundingBox(const vcXform<2>& x) const {
  vcRect box(0, 0, -1, -1);
  if (v_.size() == 1) box.enclose(x.mapPoint(v_[0].point()));
  vc_forEachOutlinePart(*this, [&](const vc_SMDPiece& piece) { box.enclose(piece.mappedBox(x)); });
  return box;
}

std::vector<long> vcSMDGDPoly::segmentsOutOfTolerance(const vcXform<2>& nominal, const vcXform<2>& measured) const {
  std::vector<long> out;
  const int n = static_cast<int>(v_.size());
  for (int s = 0; s < n; ++s) {
    if (!hasSegment(*this, s)) continue;
    const vcSMDDimension dim = segmentDimension(s);
    const vc_SMDPiece full = vc_fullSegmentPiece(*this, s);
    const double scale = full.mappedLength(nominal) / full.length();
    if (!dim.withinTolerance(full.mappedLength(measured), scale)) out.push_back(s);
  }
  return out;
}

// ---- extensions --------------------------------------------------------------------

double vcSMDGDPoly::extensionPerimeter_() const {
  double sum = 0.0;
  for (int s = 0; s < static_cast<int>(v_.size()); ++s)
    if (hasSegment(*this, s)) sum += segmentLength_(s) * (backwardPercExtension_(s) + forwardPercExtension_(s));
  return sum;
}

void vcSMDGDPoly::setExtensions_(double e) {
  notifyMutation_();
  auto turns = [&](int v) {
    return !isEndVertex(v) && std::abs(P::vertexAngle(*this, v).norm().toDouble() - 180.0) >= 45.0;
  };
  for (int s = 0; s < static_cast<int>(v_.size()); ++s) {
    if (!hasSegment(*this, s)) continue;
    int a = 0, b = 0;
    getVertexIndices_(a, b, s);
    backwardPercExtension_(s, turns(a) ? e : 0.0);
    forwardPercExtension_(s, turns(b) ? e : 0.0);
  }
}

namespace {

// The point of a's extension `dist` beyond its start (backward) or end, and
// the direction of travel there.
void probe(const vc_SMDPiece& a, double dist, bool backward, vcVector<2>& at, vcVector<2>& dir) {
  if (!a.isArc) {
    const vcVector<2> u = (a.line.p2() - a.line.p1()).unit();
    at = backward ? a.line.p1() - u * dist : a.line.p2() + u * dist;
    dir = u;
    return;
  }
  const vcVector<2> c = a.arc.localCenter();
  const double r = a.arc.localRadius(), span = a.arc.localAngleSpan().toDouble();
  const double sign = span > 0 ? 1.0 : -1.0;
  const double s0 = a.arc.localStartAngle().toDouble();
  const double deg = vcDegree(vcRadian(dist / r)).toDouble();
  const double ang = vcRadian(vcDegree(backward ? s0 - sign * deg : s0 + span + sign * deg)).toDouble();
  at = c + vcVector<2>(std::cos(ang), std::sin(ang)) * r;
  dir = vcVector<2>(-std::sin(ang), std::cos(ang)) * sign;
}

void checkExtension(double& extension, const vc_SMDPiece& a, const vc_SMDPiece& b, double minDistance,
                    const vcDegree& angleTol, double step, bool backward) {
  if (!(step > 0) || !std::isfinite(step)) throw vcShapesError::BadGeom();
  const double length = a.length();
  const double reach = extension * length;
  if (!(reach > 0)) return;
  // A step so small that the walk would not end in reasonable time is a caller's mistake.
  if (!(reach / step <= 1e7)) throw vcShapesError::BadGeom();
  const double tolSin = std::abs(std::sin(vcRadian(angleTol).toDouble()));
  for (double walked = 0.0; walked < reach; walked += step) {
    vcVector<2> at, dir;
    probe(a, std::min(walked + step, reach), backward, at, dir);
    const vcFLine across(at, at + dir.perp());
    const std::vector<vcVector<2>> hits =
        b.isArc ? b.arc.intersection(across, false) : b.line.intersection(across, false);
    for (const vcVector<2>& h : hits) {
      if (!(h.distance(at) < minDistance)) continue;
      const vcRadian bdir = vcRadian(b.directionNear(h));
      const double sinAngle = dir.cross(vcVector<2>(std::cos(bdir.toDouble()), std::sin(bdir.toDouble())));
      if (std::abs(sinAngle) > tolSin) continue;
      extension = walked / length;
      return;
    }
  }
}

}  // namespace

void P::checkSegmentExtension_(double& e, const vc2SegmentLine& a, const vc2SegmentLine& b, double d, const vcDegree& t,
                               double step, bool backward) {
  checkExtension(e, vc_SMDPiece(a), vc_SMDPiece(b), d, t, step, backward);
}
void P::checkSegmentExtension_(double& e, const vc2SegmentLine& a, const vc2SegmentArc& b, double d, const vcDegree& t,
                               double step, bool backward) {
  checkExtension(e, vc_SMDPiece(a), vc_SMDPiece(b), d, t, step, backward);
}
void P::checkSegmentExtension_(double& e, const vc2SegmentArc& a, const vc2SegmentLine& b, double d, const vcDegree& t,
                               double step, bool backward) {
  checkExtension(e, vc_SMDPiece(a), vc_SMDPiece(b), d, t, step, backward);
}
void P::checkSegmentExtension_(double& e, const vc2SegmentArc& a, const vc2SegmentArc& b, double d, const vcDegree& t,
                               double step, bool backward) {
  checkExtension(e, vc_SMDPiece(a), vc_SMDPiece(b), d, t, step, backward);
}

void vcSMDGDPoly::checkExtensions_(const vcSMDGDPoly& other, double minDistance, const vcDegree& angleTol, double step,
                                   bool same) {
  if (!(step > 0) || !std::isfinite(step)) throw vcShapesError::BadGeom();
  const int n = static_cast<int>(v_.size());
  // Parts of other: its rounded segments and its rounding arcs.
  struct Other {
    vc_SMDPiece piece;
    int segment, vertex;
  };
  std::vector<Other> parts;
  vc_walkOutline(other, vc_SMDWalkFrom::eSegment0, [&](const vc_SMDPart& w) {
    parts.push_back({w.piece(), w.corner ? -1 : w.index, w.corner ? w.index : -1});
  });
  notifyMutation_();
  for (int s = 0; s < n; ++s) {
    if (!hasSegment(*this, s)) continue;
    int a = 0, b = 0;
    getVertexIndices_(a, b, s);
    const vc_SMDPiece full = vc_fullSegmentPiece(*this, s);
    double back = backwardPercExtension_(s), fwd = forwardPercExtension_(s);
    for (const Other& o : parts) {
      if (same && (o.segment == s ||
                   (o.segment >= 0 && (o.segment == previousSegmentIndex_(a) || o.segment == nextSegmentIndex_(b))) ||
                   o.vertex == a || o.vertex == b))
        continue;
      checkExtension(back, full, o.piece, minDistance, angleTol, step, true);
      checkExtension(fwd, full, o.piece, minDistance, angleTol, step, false);
    }
    backwardPercExtension_(s, back);
    forwardPercExtension_(s, fwd);
  }
}

// ---- shape tests -------------------------------------------------------------------

bool vcSMDGDPoly::isCircle(const vcSMDGDPoly& p) {
  double sum = 0.0, radius = -1.0, sign = 0.0;
  const int n = static_cast<int>(p.v_.size());
  bool any = false;
  for (int s = 0; s < n; ++s) {
    if (!hasSegment(p, s)) continue;
    if (p.isLineSegment_(s)) return false;
    const vc2SegmentArc arc = P::roundedArcSegment_(p, s);
    const double span = arc.localAngleSpan().toDouble();
    const double sg = span > 0 ? 1.0 : -1.0;
    if (!any) radius = arc.localRadius(), sign = sg, any = true;
    if (sg != sign || std::abs(arc.localRadius() - radius) > 0.01) return false;
    sum += span;
  }
  return any && std::abs(std::abs(sum) - 360.0) <= 1.0;
}

bool P::isRectilinear(const vcSMDGDPoly& p) {
  const int n = static_cast<int>(p.numVertices());
  if (n < 2) return false;
  const double c = std::abs(std::cos((p.vertexPoint_(1) - p.vertexPoint_(0)).angle().toDouble()));
  if (!(std::abs(c - 1.0) <= kAxisCos || c <= kAxisCos)) return false;
  for (int s = 0; s < n; ++s)
    if (hasSegment(p, s) && std::abs(p.segmentAngleSpan_(s).signedNorm().toDouble()) > vcStraightSpan) return false;
  for (int v = 0; v < n; ++v)
    if (!p.isEndVertex(v) && std::abs(std::cos(vcRadian(vertexAngle(p, v)).toDouble())) > kAxisCos) return false;
  return true;
}

bool P::isRectangular(const vcSMDGDPoly& p) {
  if (p.numVertices() != 4 || p.isOpen()) return false;
  for (int v = 0; v < 4; ++v)
    if (p.vertexIsRounded_(v)) return false;
  return isRectilinear(p);
}

vcRect P::rectangle(const vcSMDGDPoly& p) { return isRectangular(p) ? p.boundingBox() : vcRect(); }

vcSMDDimension P::rectDim(const vcSMDGDPoly& p, long which) {
  if (!isRectangular(p)) return vcSMDDimension();
  const double s = std::abs(std::sin((p.vertexPoint_(0) - p.vertexPoint_(1)).angle().toDouble()));
  const bool firstHorizontal = s < std::sin(std::numbers::pi / 4);
  const long seg = (which == 0) == firstHorizontal ? 1 : 2;
  return p.segmentDimension(seg);
}

vcDegree P::dominantAngle(const vcSMDGDPoly& p) {
  const int n = static_cast<int>(p.numVertices());
  if (n < 2) return vcDegree(0.0);
  constexpr double kDeg = 180.0 / std::numbers::pi;
  const double a0 = (p.vertexPoint_(1) - p.vertexPoint_(0)).angle().toDouble() * kDeg;
  const double sin45 = std::sin(std::numbers::pi / 4);
  double sy = 0.0, sx = 0.0;
  for (int i = p.isOpen() ? 1 : 0; i < n; ++i) {
    const vcVector<2> d = p.vertexPoint_(i) - p.vertexPoint_((i + n - 1) % n);
    const double len = d.len();
    double theta = (d.angle().toDouble() * kDeg - a0) / kDeg;
    if (std::abs(std::sin(theta)) < sin45) theta += std::numbers::pi / 2;
    sy += std::abs(std::sin(theta)) * len;
    sx += std::cos(theta) * len;
  }
  const double t = vcRadian(std::atan2(sy, sx)).norm().toDouble() * kDeg + a0;
  const double q = t / 90.0;
  const double k = q >= 0.0 ? std::trunc(q + 0.5) : std::trunc(q - 0.5);
  return vcDegree(t - 90.0 * k);
}
