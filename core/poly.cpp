#include <vc/core/poly.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/lineseg.h>
#include <vc/core/points.h>
#include <vc/core/rect.h>

namespace {

void requireFinite(const std::vector<vcVector<2>>& v, const char* owner) {
  for (const vcVector<2>& p : v)
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
      throw vcShapesError::BadGeom(std::string(owner) + ": vertex coordinates are not finite");
}

vcRect boundsOf(const std::vector<vcVector<2>>& v, const char* owner) {
  if (v.empty()) throw vcShapesError::DegenerateShape(std::string(owner) + " without vertices has no bounding box");
  vcRect r;
  for (const vcVector<2>& p : v) r.enclose(p);
  return r;
}

// Writes v mapped through x into out (which may be v), reusing its storage;
// checks every mapped vertex before anything is written.
void mapInto(const std::vector<vcVector<2>>& v, const vcXform<2>& x, std::vector<vcVector<2>>& out,
             const char* owner) {
  for (const vcVector<2>& p : v) {
    const vcVector<2> q = x.mapPoint(p);
    if (!std::isfinite(q.x()) || !std::isfinite(q.y()))
      throw vcShapesError::BadGeom(std::string(owner) + ": vertex coordinates are not finite");
  }
  out.resize(v.size());
  for (std::size_t k = 0; k < v.size(); ++k) out[k] = x.mapPoint(v[k]);
}

void checkFillMode(vcPolygon::PolyFillMode mode) {
  if (mode != vcPolygon::eEvenOdd && mode != vcPolygon::eWinding)
    throw vcShapesError::BadGeom("vcPolygon: fill mode " + std::to_string(static_cast<long>(mode)) +
                                 " is neither even-odd (0) nor winding (1)");
}

// The distance from p to the nearest edge of the chain (closed: with the
// edge back to the first vertex); a single vertex is its own edge.
double chainDistance(const std::vector<vcVector<2>>& v, bool closed, const vcVector<2>& p, const char* owner) {
  if (v.empty()) throw vcShapesError::DegenerateShape(std::string(owner) + " without vertices has no distance");
  const std::size_t n = v.size();
  const std::size_t edges = n == 1 ? 1 : (closed ? n : n - 1);
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < edges; ++k)
    best = std::min(best, vfSegmentClosestPoint(v[k], v[(k + 1) % n], p).distance(p));
  return best;
}

bool anyEdge(const std::vector<vcVector<2>>& v) {
  for (const vcVector<2>& q : v)
    if (!(q == v.front())) return true;
  return false;
}

// The direction of the non-degenerate edge of the chain nearest p.
vcVector<2> chainTangent(const std::vector<vcVector<2>>& v, bool closed, const vcVector<2>& p, const char* owner) {
  const std::size_t n = v.size();
  const std::size_t edges = n < 2 ? 0 : (closed ? n : n - 1);
  double best = std::numeric_limits<double>::infinity();
  vcVector<2> dir;
  for (std::size_t k = 0; k < edges; ++k) {
    const vcVector<2>& a = v[k];
    const vcVector<2>& b = v[(k + 1) % n];
    if (a == b) continue;
    const double d = vfSegmentClosestPoint(a, b, p).distance(p);
    if (d < best) {
      best = d;
      dir = b - a;
    }
  }
  if (!(best < std::numeric_limits<double>::infinity()))
    throw vcShapesError::NoTangent(std::string(owner) + ": every edge has zero length");
  return dir.unit();
}

// Same first vertex, the rest in reverse order: the closed outline run the
// other way.
std::vector<vcVector<2>> reversedClosed(const std::vector<vcVector<2>>& v) {
  std::vector<vcVector<2>> r(v);
  if (r.size() > 2) std::reverse(r.begin() + 1, r.end());
  return r;
}

}  // namespace

// ---- vcPolygon ---------------------------------------------------------------

template class vcShapeBase<vcPolygon>;

vcPolygon::vcPolygon(const std::vector<vcVector<2>>& vertices, PolyFillMode mode) { assign(vertices, mode); }

void vcPolygon::assign(const std::vector<vcVector<2>>& vertices, PolyFillMode mode) {
  checkFillMode(mode);
  requireFinite(vertices, "vcPolygon");
  notifyMutation_();
  v_.assign(vertices.begin(), vertices.end());
  mode_ = mode;
}

vcPolygon vcPolygon::map(const vcXform<2>& x) const {
  vcPolygon r;
  map(x, r);
  return r;
}

void vcPolygon::map(const vcXform<2>& x, vcPolygon& into) const {
  into.notifyMutation_();
  mapInto(v_, x, into.v_, "vcPolygon");
  into.mode_ = mode_;
}

vcShapeHandle vcPolygon::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcPolygon::boundingBox() const { return boundsOf(v_, "vcPolygon"); }

double vcPolygon::boundaryDistance_(const vcVector<2>& p) const { return chainDistance(v_, true, p, "vcPolygon"); }

double vcPolygon::distanceToPoint(const vcVector<2>& p) const {
  const double d = boundaryDistance_(p);
  return within(p) ? 0.0 : d;
}

double vcPolygon::perimeter() const {
  double s = 0.0;
  const std::size_t n = v_.size();
  for (std::size_t k = 0; k < n; ++k) s += v_[k].distance(v_[(k + 1) % n]);
  return s;
}

double vcPolygon::area() const {
  // Shoelace sum about vertex 0, which keeps the products small for outlines
  // far from the origin.
  double twice = 0.0;
  for (std::size_t k = 1; k + 1 < v_.size(); ++k) twice += (v_[k] - v_[0]).cross(v_[k + 1] - v_[0]);
  return std::fabs(twice) * 0.5;
}

bool vcPolygon::within(const vcVector<2>& p) const {
  if (v_.empty()) return false;
  double scale = std::max({1.0, std::fabs(p.x()), std::fabs(p.y())});
  for (const vcVector<2>& q : v_) scale = std::max({scale, std::fabs(q.x()), std::fabs(q.y())});
  if (boundaryDistance_(p) <= 1e-12 * scale) return true;

  // Signed crossings of the ray from p toward +x: +1 where the outline passes
  // upward (toward +y) with p on its +angle side, -1 downward with p on the
  // other side. Their sum is the winding number; its parity is the crossing
  // parity.
  long winding = 0;
  const std::size_t n = v_.size();
  for (std::size_t k = 0; k < n; ++k) {
    const vcVector<2>& a = v_[k];
    const vcVector<2>& b = v_[(k + 1) % n];
    const double side = (b - a).cross(p - a);
    if (a.y() <= p.y()) {
      if (b.y() > p.y() && side > 0.0) ++winding;
    } else if (b.y() <= p.y() && side < 0.0) {
      --winding;
    }
  }
  return mode_ == eWinding ? winding != 0 : (winding % 2) != 0;
}

bool vcPolygon::hasTangent() const { return anyEdge(v_); }

vcVector<2> vcPolygon::tangentAt(const vcVector<2>& p) const { return chainTangent(v_, true, p, "vcPolygon"); }

void vcPolygon::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  vfSamplePolyPath(v_, true, params, result);
}

vcShapeHandle vcPolygon::reverse() const { return vfShapeHandle(vcPolygon(reversedClosed(v_), mode_)); }

void vcPolygon::archiveFields_(vcArchive& ar) {
  long mode = mode_;
  ar || mode;
  if (ar.isLoading() && mode != eEvenOdd && mode != eWinding)
    vcArchive::fail("vcPolygon: stored fill mode " + std::to_string(mode) + " is neither 0 nor 1");
  std::vector<vcVector<2>> v;
  vfSerializePoints(ar, ar.isStoring() ? v_ : v, "vcPolygon");
  if (ar.isLoading()) *this = vcPolygon(v, static_cast<PolyFillMode>(mode));
}

// ---- vcPolyline --------------------------------------------------------------

template class vcShapeBase<vcPolyline>;

vcPolyline::vcPolyline(const std::vector<vcVector<2>>& points, bool closed) { assign(points, closed); }

void vcPolyline::assign(const std::vector<vcVector<2>>& points, bool closed) {
  requireFinite(points, "vcPolyline");
  notifyMutation_();
  v_.assign(points.begin(), points.end());
  closed_ = closed;
}

double vcPolyline::length() const {
  double s = 0.0;
  for (std::size_t k = 1; k < v_.size(); ++k) s += v_[k - 1].distance(v_[k]);
  if (closed_ && v_.size() > 1) s += v_.back().distance(v_.front());
  return s;
}

vcPolyline vcPolyline::map(const vcXform<2>& x) const {
  vcPolyline r;
  map(x, r);
  return r;
}

void vcPolyline::map(const vcXform<2>& x, vcPolyline& into) const {
  into.notifyMutation_();
  mapInto(v_, x, into.v_, "vcPolyline");
  into.closed_ = closed_;
}

vcShapeHandle vcPolyline::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcPolyline::boundingBox() const { return boundsOf(v_, "vcPolyline"); }

double vcPolyline::distanceToPoint(const vcVector<2>& p) const { return chainDistance(v_, closed_, p, "vcPolyline"); }

bool vcPolyline::hasTangent() const { return anyEdge(v_); }

vcVector<2> vcPolyline::startPoint() const {
  if (v_.empty()) throw vcShapesError::DegenerateShape("vcPolyline without points has no start point");
  return v_.front();
}

vcVector<2> vcPolyline::endPoint() const {
  if (v_.empty()) throw vcShapesError::DegenerateShape("vcPolyline without points has no end point");
  return closed_ ? v_.front() : v_.back();
}

vcVector<2> vcPolyline::tangentAt(const vcVector<2>& p) const { return chainTangent(v_, closed_, p, "vcPolyline"); }

void vcPolyline::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  vfSamplePolyPath(v_, closed_, params, result);
}

std::vector<vcShapeHandle> vcPolyline::decompose() const {
  std::vector<vcShapeHandle> r;
  const std::size_t n = v_.size();
  if (n == 1) r.push_back(vfShapeHandle(vcLineSeg(v_[0], v_[0])));
  const std::size_t edges = n < 2 ? 0 : (closed_ ? n : n - 1);
  r.reserve(edges);
  for (std::size_t k = 0; k < edges; ++k) r.push_back(vfShapeHandle(vcLineSeg(v_[k], v_[(k + 1) % n])));
  return r;
}

vcShapeHandle vcPolyline::reverse() const {
  if (closed_) return vfShapeHandle(vcPolyline(reversedClosed(v_), true));
  return vfShapeHandle(vcPolyline(std::vector<vcVector<2>>(v_.rbegin(), v_.rend()), false));
}

void vcPolyline::archiveFields_(vcArchive& ar) {
  std::vector<vcVector<2>> v;
  bool closed = closed_;
  vfSerializePoints(ar, ar.isStoring() ? v_ : v, "vcPolyline");
  ar || closed;
  if (ar.isLoading()) *this = vcPolyline(v, closed);
}
