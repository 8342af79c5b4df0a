// Static operations on SMD models, and the poly-level helpers they use:
// mirroring, position, sub-poly extraction and polygon conversion.
#include <cmath>
#include <numbers>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/poly.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/wireframe.h>

#include "smdpoly_outline.h"

using P = vcSMDGDPolyPrivate;
using M = vcSMDGDModelPrivate;

// ---- poly helpers ------------------------------------------------------------

vcSMDGDPoly vcSMDGDPolyPrivate::flip(const vcSMDGDPoly& p) {
  std::vector<vcSMDGDPolyVertex> vs = p.vertices();
  for (auto& v : vs) {
    v.point(vcVector<2>(v.point().x(), -v.point().y()));
    v.segmentAngleSpan(-v.segmentAngleSpan());
  }
  vcSMDGDPoly q(p);
  q.open_ = true;  // re-checked below as the flipped outline
  q.vertices(vs);
  if (p.isClosed()) q.close();
  q.toggleDirection();
  return q;
}

vc2Rigid vcSMDGDPolyPrivate::position(const vcSMDGDPoly& p) {
  vcVector<2> sum(0, 0);
  for (const auto& v : p.vertices()) sum = sum + v.point();
  if (p.numVertices() > 0) sum = sum * (1.0 / double(p.numVertices()));
  return vc2Rigid(vcRadian(vcDegree(p.orientation_())), sum);
}

vcSMDGDPoly vcSMDGDPolyPrivate::subPoly(const vcSMDGDPoly& p, int v, bool wholeSegments) {
  v = p.vertexIndex_(v, false);
  const int prevSeg = p.previousSegmentIndex_(v), nextSeg = p.nextSegmentIndex_(v);
  const vcSMDGDPolyVertex& at = p.vertices()[std::size_t(v)];
  // The point of segment s at the fraction f of its length from its start.
  auto pointOf = [&](int s, double f) {
    if (p.isLineSegment_(s)) return lineSegment_(p, s).segPoint(f);
    const vc2SegmentArc a = arcSegment_(p, s);
    const double r = a.localRadius();
    const double ang = vcRadian(a.localStartAngle() + a.localAngleSpan() * f).toDouble();
    return a.localCenter() + vcVector<2>(r * std::cos(ang), r * std::sin(ang));
  };
  const double fPrev = wholeSegments ? 1.0 : at.percentPrevSegment();
  const double fNext = wholeSegments ? 1.0 : at.percentNextSegment();
  std::vector<vcSMDGDPolyVertex> vs;
  if (prevSeg >= 0) {
    const int u = p.previousVertexIndex_(prevSeg);
    vs.push_back(fPrev >= 1.0 ? p.vertices()[std::size_t(u)] : vc_cutVertex(pointOf(prevSeg, 1.0 - fPrev), 0.0));
    vs.front().segmentAngleSpan(vcDegree(0.0));
    vcSMDGDPolyVertex mid = at;
    mid.segmentAngleSpan(at.segmentAngleSpan() * fPrev);
    if (fPrev < 1.0) mid.segmentLengthTol(vcDimTol());  // the shortened segment has no tolerance
    vs.push_back(mid);
  } else {
    vs.push_back(at);
  }
  if (nextSeg >= 0) {
    const vcSMDGDPolyVertex& w = p.vertices()[std::size_t(nextSeg)];
    if (fNext >= 1.0)
      vs.push_back(w);
    else
      vs.push_back(vc_cutVertex(pointOf(nextSeg, fNext), w.segmentAngleSpan().toDouble() * fNext));
  }
  if (vs.size() > 1) vs.front().vertexRadius(0.0);
  if (vs.size() > 1) vs.back().vertexRadius(0.0);
  vcSMDGDPoly q(p);
  q.open_ = true;
  try {
    q.vertices(vs);
  } catch (const vcSMDGDPoly::Errors&) {
    // The corner's rounding does not fit on the shortened segments.
    for (auto& x : vs) x.vertexRadius(0.0);
    q.vertices(vs);
  }
  return q;
}

vcSMDGDPoly vcSMDGDPolyPrivate::convert(const vcPolygon& polygon) {
  vcSMDGDPoly q(vcGenPoly(polygon).poly());
  return q;
}

void vcSMDGDPolyPrivate::exchange_(vcArchive& ar, vcSMDGDPoly& p) {
  unsigned char version = 1;
  ar || version;
  p.serialize_(ar, version);
}

// ---- model queries -------------------------------------------------------------

vc2Rigid vcSMDGDModelPrivate::normalizedPosition(const vcSMDGDModel& m) {
  const vcRadian angle(vcDegree(m.orientation_()));
  if (m.numPolys() == 1 && m.poly(0).numVertices() == 3) return vc2Rigid(angle, m.poly(0).vertices()[1].point());
  return vc2Rigid(angle, m.centerOfMass_());
}

bool vcSMDGDModelPrivate::equivalent(const vcSMDGDModel& a, const vcSMDGDModel& b) {
  if (a.numPolys() != b.numPolys()) return false;
  for (int i = 0; i < a.numPolys(); ++i)
    if (a.polys_[std::size_t(i)] != b.polys_[std::size_t(i)]) return false;
  return true;
}

void vcSMDGDModelPrivate::setExtensions(vcSMDGDModel& m, double minDistance, double e) {
  if (!(minDistance > 0) || !std::isfinite(minDistance))
    throw vcShapesError::BadGeom("vcSMDGDModelPrivate::setExtensions: the minimum distance must be > 0");
  m.setExtensions_(minDistance, vcDegree(10.0), minDistance / 2, e);
}

// ---- cropping ------------------------------------------------------------------

vcSMDGDModel vcSMDGDModelPrivate::crop(const vcSMDGDModel& cropper, const vcSMDGDModel& m) {
  for (int a = 0; a < cropper.numPolys(); ++a)
    for (int b = 0; b < cropper.numPolys(); ++b)
      if (a != b && cropper.poly(b).numVertices() > 0 &&
          P::inside(cropper.poly(a), cropper.poly(b).vertices().front().point()))
        throw vcSMDGDModel::nestedPolys();
  vcSMDGDModel out("");
  for (const auto& a : cropper.polys())
    for (const auto& p : m.polys()) out << P::crop(a, p, true);
  return out;
}

vcSMDGDModel vcSMDGDModelPrivate::crop(const vcSMDGDModel& m, const vcSMDGDPoly& cropper, bool keepInside) {
  vcSMDGDModel out("");
  for (const auto& p : m.polys()) out << P::crop(cropper, p, keepInside);
  return out;
}

vcSMDGDModel vcSMDGDModelPrivate::crop(const vcSMDGDModel& m, const vcPolygon& cropper, bool keepInside) {
  return crop(m, P::convert(cropper), keepInside);
}

vcSMDGDModel vcSMDGDModelPrivate::crop(const vcSMDGDModel& m, const std::vector<vcPolygon>& croppers) {
  return crop(convert(croppers), m);
}

// ---- the chosen family -----------------------------------------------------------

void vcSMDGDModelPrivate::corner(const vcSMDGDModel& m, vcSMDGDModel& out, int polyIndex, int vertexIndex,
                                 bool wholeSegments) {
  vcSMDGDModel r(m.name());
  r << P::subPoly(m.poly(polyIndex), vertexIndex, wholeSegments);
  out = r;
}

vcSMDGDModel vcSMDGDModelPrivate::convert(const std::vector<vcPolygon>& polygons) {
  vcSMDGDModel out("");
  for (const auto& p : polygons) out << P::convert(p);
  return out;
}

namespace {

// The indices of the wireframes that take part: those of positive weight.
std::vector<std::size_t> weighted(const std::vector<vc2Wireframe>& w, const std::vector<double>& weights) {
  if (w.size() != weights.size())
    throw vcShapesError::BadGeom("vcSMDGDModelPrivate: one weight per wireframe is needed");
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < w.size(); ++i) {
    if (!std::isfinite(weights[i]) || weights[i] < 0)
      throw vcShapesError::BadGeom("vcSMDGDModelPrivate: a weight must be finite and >= 0");
    if (weights[i] > 0) out.push_back(i);
  }
  return out;
}

}  // namespace

vcSMDGDModel vcSMDGDModelPrivate::weightedWireframesToModel(std::vector<vc2Wireframe> w,
                                                            std::vector<double> weights) {
  vcSMDGDModel out("");
  for (std::size_t i : weighted(w, weights)) {
    vcSMDGDModel one("");
    one << std::vector<vc2Wireframe>{w[i]};
    vcSMDGDPoly p = one.poly(0);
    p.weight(weights[i]);
    out << p;
  }
  return out;
}

std::vector<vcXform<2>> vcSMDGDModelPrivate::wireframeXforms(std::vector<vc2Wireframe> w,
                                                             std::vector<double> weights) {
  std::vector<vcXform<2>> out;
  for (std::size_t i : weighted(w, weights)) out.push_back(w[i].xform());
  return out;
}

long vcSMDGDModelPrivate::numPosProbesRequired(const vcSMDGDModel& m, const vcXform<2>& x,
                                               const std::vector<vcXform<2>>& poses, double spacing) {
  if (!(spacing > 0) || !std::isfinite(spacing))
    throw vcShapesError::BadGeom("vcSMDGDModelPrivate::numPosProbesRequired: the spacing must be > 0");
  std::vector<vcXform<2>> all{x};
  for (const auto& p : poses) all.push_back(p * x);
  double n = 0;
  for (const auto& t : all)
    for (const auto& p : m.polys())
      if (p.numVertices() > 0) n += std::max(1.0, std::ceil(P::perimeter(p, t) / spacing));
  if (!(n < 2147483647.0)) throw vcShapesError::BadGeom("vcSMDGDModelPrivate::numPosProbesRequired: too many probes");
  return static_cast<long>(n);
}

namespace {

template <class Take>
vcRect boxOf(const vcSMDGDModel& m, const vcXform<2>& x, Take take) {
  vcRect r;
  for (const auto& p : m.polys())
    if (p.numVertices() > 0 && take(p)) r.enclose(p.boundingBox(x));
  return r;
}

}  // namespace

vcRect vcSMDGDModelPrivate::boundingBox(const vcSMDGDModel& m, const vcXform<2>& x) {
  return boxOf(m, x, [](const vcSMDGDPoly&) { return true; });
}

vcRect vcSMDGDModelPrivate::boundingBox(const vcSMDGDModel& m, const std::vector<vcXform<2>>& xs) {
  vcRect r;
  for (const auto& x : xs) {
    const vcRect b = boundingBox(m, x);
    if (!b.isNull()) r.enclose(b);
  }
  return r;
}

vcRect vcSMDGDModelPrivate::boundingBoxNeg(const vcSMDGDModel& m, const vcXform<2>& x) {
  return boxOf(m, x, [](const vcSMDGDPoly& p) { return p.isClosed() && p.numVertices() > 1 && !p.isDirectionPositive(); });
}

vcRect vcSMDGDModelPrivate::boundingBoxPositive(const vcSMDGDModel& m, const vcXform<2>& x) {
  return boxOf(m, x, [](const vcSMDGDPoly& p) { return p.isClosed() && p.numVertices() > 1 && p.isDirectionPositive(); });
}

vcDegree vcSMDGDModelPrivate::dominantAngle(const vcSMDGDModel& m) {
  if (m.numPolys() == 0) return vcDegree(0.0);
  double sy = 0, sx = 0;
  for (const auto& p : m.polys()) {
    const double a = vcRadian(P::dominantAngle(p)).toDouble(), w = P::perimeter(p, 0.0);
    sy += std::sin(a) * w;
    sx += std::cos(a) * w;
  }
  const double t = vcDegree(vcRadian(std::atan2(sy, sx)).norm()).toDouble();
  const double k = std::trunc(t / 90.0 + 0.5);
  return vcDegree(t - 90.0 * k);
}
