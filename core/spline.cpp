// Cubic splines: conversion of each kind's data into Bézier pieces, and the
// queries that every kind answers through its pieces.
#include <vc/core/spline.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/rect.h>

namespace {

using Points = std::vector<vcVector<2>>;

void checkData(const Points& pts, std::size_t fewest, const char* cls, const char* what) {
  if (pts.size() < fewest)
    throw vcShapesError::BadCoef(std::string(cls) + ": " + std::to_string(pts.size()) + " " + what + ", at least " +
                                 std::to_string(fewest) + " needed");
  for (std::size_t i = 0; i < pts.size(); ++i)
    if (!std::isfinite(pts[i].x()) || !std::isfinite(pts[i].y()))
      throw vcShapesError::BadCoef(std::string(cls) + ": " + what + " " + std::to_string(i) + " is not finite");
}

// Inserts knot u once into the cubic B-spline (knots, ctrl) (Boehm's algorithm).
void insertKnot(std::vector<double>& knots, Points& ctrl, double u) {
  constexpr std::size_t p = 3;
  std::size_t k = p;
  while (k + 1 < knots.size() && knots[k + 1] <= u) ++k;
  Points q(ctrl.size() + 1);
  for (std::size_t i = 0; i < q.size(); ++i) {
    if (i + p <= k) q[i] = ctrl[i];
    else if (i > k) q[i] = ctrl[i - 1];
    else {
      const double a = (u - knots[i]) / (knots[i + p] - knots[i]);
      q[i] = ctrl[i - 1] * (1.0 - a) + ctrl[i] * a;
    }
  }
  knots.insert(knots.begin() + static_cast<std::ptrdiff_t>(k) + 1, u);
  ctrl.swap(q);
}

std::vector<vcBezierCurve> deBoorPieces(const Points& c, bool closed) {
  if (c.empty()) return {};
  checkData(c, closed ? 3 : 4, "vcDeBoorSpline", "control points");
  std::vector<vcBezierCurve> pieces;
  const std::size_t n = c.size();
  if (closed) {
    for (std::size_t i = 0; i < n; ++i) {
      const vcVector<2>& a = c[(i + n - 1) % n];
      const vcVector<2>& b = c[i];
      const vcVector<2>& d = c[(i + 1) % n];
      const vcVector<2>& e = c[(i + 2) % n];
      pieces.emplace_back((a + b * 4.0 + d) / 6.0, (b * 2.0 + d) / 3.0, (b + d * 2.0) / 3.0, (b + d * 4.0 + e) / 6.0);
    }
    return pieces;
  }
  // Clamped knots; raising every interior knot to multiplicity 3 leaves the Bézier control points.
  const std::size_t spans = n - 3;
  std::vector<double> knots(4, 0.0);
  for (std::size_t i = 1; i < spans; ++i) knots.push_back(static_cast<double>(i));
  knots.insert(knots.end(), 4, static_cast<double>(spans));
  Points ctrl = c;
  for (std::size_t i = 1; i < spans; ++i) {
    insertKnot(knots, ctrl, static_cast<double>(i));
    insertKnot(knots, ctrl, static_cast<double>(i));
  }
  for (std::size_t i = 0; i < spans; ++i) pieces.emplace_back(ctrl[3 * i], ctrl[3 * i + 1], ctrl[3 * i + 2], ctrl[3 * i + 3]);
  return pieces;
}

// Solves the tridiagonal system sub x_{i-1} + diag_i x_i + sup x_{i+1} = r_i (Thomas).
Points solveTridiagonal(double sub, std::vector<double> diag, double sup, Points r) {
  const std::size_t n = r.size();
  for (std::size_t i = 1; i < n; ++i) {
    const double m = sub / diag[i - 1];
    diag[i] -= m * sup;
    r[i] -= r[i - 1] * m;
  }
  r[n - 1] = r[n - 1] / diag[n - 1];
  for (std::size_t i = n - 1; i-- > 0;) r[i] = (r[i] - r[i + 1] * sup) / diag[i];
  return r;
}

// Derivatives at the points of the uniform-parameter cubic spline through pts.
Points interpDerivatives(const Points& pts, bool closed) {
  const std::size_t n = pts.size();
  Points r(n);
  if (!closed) {
    std::vector<double> diag(n, 4.0);
    diag.front() = diag.back() = 2.0;
    r.front() = (pts[1] - pts[0]) * 3.0;
    r.back() = (pts[n - 1] - pts[n - 2]) * 3.0;
    for (std::size_t i = 1; i + 1 < n; ++i) r[i] = (pts[i + 1] - pts[i - 1]) * 3.0;
    return solveTridiagonal(1.0, diag, 1.0, r);
  }
  // The cyclic system, by Sherman-Morrison on a tridiagonal one.
  for (std::size_t i = 0; i < n; ++i) r[i] = (pts[(i + 1) % n] - pts[(i + n - 1) % n]) * 3.0;
  const double gamma = -4.0;
  std::vector<double> diag(n, 4.0);
  diag.front() -= gamma;
  diag.back() -= 1.0 / gamma;
  const Points x = solveTridiagonal(1.0, diag, 1.0, r);
  Points u(n);
  u.front() = vcVector<2>(gamma, gamma);
  u.back() = vcVector<2>(1.0, 1.0);
  const Points z = solveTridiagonal(1.0, diag, 1.0, u);
  const double zf = z.front().x() + z.back().x() / gamma;
  const vcVector<2> xf = x.front() + x.back() / gamma;
  const vcVector<2> fact(xf.x() / (1.0 + zf), xf.y() / (1.0 + zf));
  Points d(n);
  for (std::size_t i = 0; i < n; ++i) d[i] = vcVector<2>(x[i].x() - fact.x() * z[i].x(), x[i].y() - fact.y() * z[i].x());
  return d;
}

std::vector<vcBezierCurve> hermitePieces(const Points& p, const Points& t, bool closed) {
  std::vector<vcBezierCurve> pieces;
  const std::size_t n = p.size();
  const std::size_t count = closed ? n : n - 1;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t j = (i + 1) % n;
    pieces.emplace_back(p[i], p[i] + t[i] / 3.0, p[j] - t[j] / 3.0, p[j]);
  }
  return pieces;
}

std::vector<vcBezierCurve> interpPieces(const Points& p, bool closed) {
  if (p.empty()) return {};
  checkData(p, closed ? 3 : 2, "vcInterpSpline", "points");
  return hermitePieces(p, interpDerivatives(p, closed), closed);
}

std::vector<vcBezierCurve> checkedHermitePieces(const Points& p, const Points& t, bool closed) {
  if (p.size() != t.size())
    throw vcShapesError::BadCoef("vcHermiteSpline: " + std::to_string(p.size()) + " points but " +
                                 std::to_string(t.size()) + " tangents");
  if (p.empty()) return {};
  checkData(p, 2, "vcHermiteSpline", "points");
  checkData(t, 2, "vcHermiteSpline", "tangents");
  return hermitePieces(p, t, closed);
}

Points mapPoints(const Points& pts, const vcXform<2>& x) {
  Points r;
  r.reserve(pts.size());
  for (const vcVector<2>& p : pts) r.push_back(x.mapPoint(p));
  return r;
}

// The data reversed; a closed spline keeps its first item first.
Points reversed(const Points& pts, bool closed) {
  Points r(pts.rbegin(), pts.rend());
  if (closed && !r.empty()) std::rotate(r.begin(), r.end() - 1, r.end());
  return r;
}

// A 32-bit count, then the vectors; the count is checked against the input before allocating.
void exchangePoints(vcArchive& ar, Points& pts) {
  vcExchangeCounted(ar, pts, [&ar](vcVector<2>& p) { ar || p; }, 16);
}

}  // namespace

// ---- vcCubicSpline ----------------------------------------------------------

const vcBezierCurve& vcCubicSpline::bezierCurve(long i) const {
  if (i < 0 || i >= numBezierCurves())
    throw vcBadArgument("vcCubicSpline::bezierCurve: index " + std::to_string(i) + " of " +
                        std::to_string(pieces_.size()) + " pieces");
  return pieces_[static_cast<std::size_t>(i)];
}

double vcCubicSpline::length() const {
  double s = 0.0;
  for (const vcBezierCurve& b : pieces_) s += b.length();
  return s;
}

vcRect vcCubicSpline::boundingBox() const {
  if (pieces_.empty()) throw vcShapesError::DegenerateShape("vcCubicSpline: an empty spline has no bounding box");
  vcRect r;
  for (const vcBezierCurve& b : pieces_) r.enclose(b.boundingBox());
  return r;
}

double vcCubicSpline::distanceToPoint(const vcVector<2>& p) const {
  if (pieces_.empty()) throw vcShapesError::DegenerateShape("vcCubicSpline: an empty spline has no distance");
  double best = std::numeric_limits<double>::infinity();
  for (const vcBezierCurve& b : pieces_) {
    // The control points' box holds the piece: no need to look closer when it is farther than the best.
    vcRect hull;
    for (const vcVector<2>& q : b.controlPoints()) hull.enclose(q);
    const double dx = std::max({hull.x() - p.x(), 0.0, p.x() - hull.corner().x()});
    const double dy = std::max({hull.y() - p.y(), 0.0, p.y() - hull.corner().y()});
    if (std::hypot(dx, dy) >= best) continue;
    best = std::min(best, b.distanceToPoint(p));
  }
  return best;
}

bool vcCubicSpline::hasTangent() const {
  return std::any_of(pieces_.begin(), pieces_.end(), [](const vcBezierCurve& b) { return b.hasTangent(); });
}

vcVector<2> vcCubicSpline::startPoint() const {
  if (pieces_.empty()) throw vcShapesError::DegenerateShape("vcCubicSpline: an empty spline has no start point");
  if (closed_) return vcShape::startPoint();
  return pieces_.front().startPoint();
}

vcVector<2> vcCubicSpline::endPoint() const {
  if (pieces_.empty()) throw vcShapesError::DegenerateShape("vcCubicSpline: an empty spline has no end point");
  if (closed_) return vcShape::endPoint();
  return pieces_.back().endPoint();
}

vcVector<2> vcCubicSpline::tangentAt(const vcVector<2>& p) const {
  const vcBezierCurve* nearest = nullptr;
  double best = std::numeric_limits<double>::infinity();
  for (const vcBezierCurve& b : pieces_) {
    if (!b.hasTangent()) continue;
    const double d = b.distanceToPoint(p);
    if (d < best) best = d, nearest = &b;
  }
  if (!nearest) throw vcShapesError::NoTangent("vcCubicSpline: the spline is empty or a single point");
  return nearest->tangentAt(p);
}

void vcCubicSpline::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  vcBezierCurve::sampleChain(pieces_, params, result);
}

std::vector<vcShapeHandle> vcCubicSpline::decompose() const {
  std::vector<vcShapeHandle> r;
  r.reserve(pieces_.size());
  for (const vcBezierCurve& b : pieces_) r.push_back(b.clone());
  return r;
}

// ---- vcDeBoorSpline -----------------------------------------------------------

template class vcShapeBase<vcDeBoorSpline, vcCubicSpline>;

vcDeBoorSpline::vcDeBoorSpline(const std::vector<vcVector<2>>& controlPoints, bool closed)
    : vcShapeBase(deBoorPieces(controlPoints, closed), closed), ctrl_(controlPoints) {}

vcDeBoorSpline vcDeBoorSpline::map(const vcXform<2>& x) const {
  return vcDeBoorSpline(mapPoints(ctrl_, x), isClosed());
}

vcShapeHandle vcDeBoorSpline::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcShapeHandle vcDeBoorSpline::reverse() const {
  return vfShapeHandle(vcDeBoorSpline(reversed(ctrl_, isClosed()), isClosed()));
}

void vcDeBoorSpline::archiveFields_(vcArchive& ar) {
  bool closed = isClosed();
  Points ctrl = ctrl_;
  ar || closed;
  exchangePoints(ar, ctrl);
  if (ar.isLoading()) *this = vcDeBoorSpline(ctrl, closed);
}

// ---- vcInterpSpline -----------------------------------------------------------

template class vcShapeBase<vcInterpSpline, vcCubicSpline>;

vcInterpSpline::vcInterpSpline(const std::vector<vcVector<2>>& points, bool closed)
    : vcShapeBase(interpPieces(points, closed), closed), pts_(points) {}

vcInterpSpline vcInterpSpline::map(const vcXform<2>& x) const { return vcInterpSpline(mapPoints(pts_, x), isClosed()); }

vcShapeHandle vcInterpSpline::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcShapeHandle vcInterpSpline::reverse() const {
  return vfShapeHandle(vcInterpSpline(reversed(pts_, isClosed()), isClosed()));
}

void vcInterpSpline::archiveFields_(vcArchive& ar) {
  bool closed = isClosed();
  Points pts = pts_;
  ar || closed;
  exchangePoints(ar, pts);
  if (ar.isLoading()) *this = vcInterpSpline(pts, closed);
}

// ---- vcHermiteSpline ----------------------------------------------------------

template class vcShapeBase<vcHermiteSpline, vcCubicSpline>;

vcHermiteSpline::vcHermiteSpline(const std::vector<vcVector<2>>& points, const std::vector<vcVector<2>>& tangents,
                                 bool closed)
    : vcShapeBase(checkedHermitePieces(points, tangents, closed), closed), pts_(points), tans_(tangents) {}

vcHermiteSpline vcHermiteSpline::map(const vcXform<2>& x) const {
  Points t;
  t.reserve(tans_.size());
  for (const vcVector<2>& v : tans_) t.push_back(x.mapVector(v));
  return vcHermiteSpline(mapPoints(pts_, x), t, isClosed());
}

vcShapeHandle vcHermiteSpline::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcShapeHandle vcHermiteSpline::reverse() const {
  Points t = reversed(tans_, isClosed());
  for (vcVector<2>& v : t) v = -v;
  return vfShapeHandle(vcHermiteSpline(reversed(pts_, isClosed()), t, isClosed()));
}

void vcHermiteSpline::archiveFields_(vcArchive& ar) {
  bool closed = isClosed();
  Points pts = pts_, tans = tans_;
  ar || closed;
  exchangePoints(ar, pts);
  exchangePoints(ar, tans);
  if (ar.isLoading()) *this = vcHermiteSpline(pts, tans, closed);
}
