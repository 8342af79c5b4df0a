#include <vc/core/line.h>

#include <cmath>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/rect.h>

namespace {

bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }

// A direction already of unit length within rounding is kept as it is, so
// that stored lines reload and replay bit for bit.
// A squared length this close to 1 is a unit length.
constexpr double kUnitLen2 = 1e-15;
// Normals whose cross product is this close to 0 belong to parallel lines.
constexpr double kParallel = 1e-15;

bool nearlyUnit(const vcVector<2>& v) { return std::fabs(v.len2() - 1.0) <= kUnitLen2; }

vcVector<2> unitOrThrow(const vcVector<2>& v, const char* what) {
  if (!finite(v) || !(v.len2() > 0.0)) throw vcShapesError::BadGeom(std::string(what) + " has no direction");
  if (nearlyUnit(v)) return v;
  const double l = v.len();
  if (!(l > 0.0) || !std::isfinite(l)) throw vcShapesError::BadGeom(std::string(what) + " has no direction");
  return v / l;
}

}  // namespace

// ---- vcLine ------------------------------------------------------------------

template class vcShapeBase<vcLine>;

vcLine::vcLine() = default;

vcLine::vcLine(const vcRadian& angle, const vcVector<2>& point)
    : vcLine(vcVector<2>(cos(angle), sin(angle)), point) {}

vcLine::vcLine(const vcVector<2>& direction, const vcVector<2>& point)
    : dir_(unitOrThrow(direction, "vcLine: direction")), point_(point) {
  if (!finite(point_)) throw vcShapesError::BadGeom("vcLine: point is not finite");
}

vcVector<2> vcLine::closestPoint(const vcVector<2>& p) const { return point_ + dir_ * dir_.dot(p - point_); }

vcLine vcLine::map(const vcXform<2>& x) const {
  return vcLine(unitOrThrow(x.mapVector(dir_), "vcLine::map: the mapped line"), x.mapPoint(point_));
}

vcShapeHandle vcLine::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcLine::boundingBox() const { throw vcShapesError::BadGeom("vcLine is infinite and has no bounding box"); }

double vcLine::distanceToPoint(const vcVector<2>& p) const { return std::fabs(dir_.cross(p - point_)); }

vcVector<2> vcLine::tangentAt(const vcVector<2>&) const { return dir_; }

vcShapeHandle vcLine::reverse() const {
  vcLine r(*this);
  r.dir_ = -dir_;
  return vfShapeHandle(r);
}

void vcLine::archiveFields_(vcArchive& ar) {
  vcVector<2> dir = dir_, point = point_;
  ar || dir || point;
  if (ar.isLoading()) {
    if (!(std::fabs(dir.len2() - 1.0) <= 1e-12)) vcArchive::fail("vcLine: stored direction is not of unit length");
    *this = vcLine(dir, point);
  }
}

// ---- vcFLine -----------------------------------------------------------------

template class vcShapeBase<vcFLine>;

vcFLine::vcFLine() = default;

vcFLine::vcFLine(const vcVector<2>& p1, const vcVector<2>& p2) {
  if (!finite(p1) || !finite(p2)) throw vcShapesError::BadGeom("vcFLine: points are not finite");
  if (p1 == p2) throw vcShapesError::DegenerateShape("vcFLine: the two points are equal");
  n_ = unitOrThrow(p2 - p1, "vcFLine: p2 - p1").perp();
  d_ = n_.dot(p1);
}

vcFLine::vcFLine(const vcVector<2>& normal, double offset) {
  if (!finite(normal) || !std::isfinite(offset) || !(normal.len2() > 0.0))
    throw vcShapesError::BadGeom("vcFLine: normal or offset unusable");
  if (nearlyUnit(normal)) {
    n_ = normal;
    d_ = offset;
  } else {
    const double l = normal.len();
    n_ = normal / l;
    d_ = offset / l;
  }
  if (!std::isfinite(d_)) throw vcShapesError::BadGeom("vcFLine: offset is not finite after scaling");
}

vcFLine::vcFLine(const vcLine& l) : n_(l.direction().perp()), d_(n_.dot(l.point())) {}

vcVector<2> vcFLine::closestPoint(const vcVector<2>& p) const { return p - n_ * signedDistance(p); }

std::vector<vcVector<2>> vcFLine::intersection(const vcFLine& o) const {
  const double det = n_.cross(o.n_);
  if (std::fabs(det) <= kParallel) return {};
  // Cramer's rule on n1 . p = d1, n2 . p = d2.
  const double x = (d_ * o.n_.y() - o.d_ * n_.y()) / det;
  const double y = (n_.x() * o.d_ - o.n_.x() * d_) / det;
  return {vcVector<2>(x, y)};
}

vcFLine vcFLine::map(const vcXform<2>& x) const {
  const vcVector<2> n = unitOrThrow(x.mapVector(direction()), "vcFLine::map: the mapped line").perp();
  return vcFLine(n, n.dot(x.mapPoint(point())));
}

vcShapeHandle vcFLine::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcFLine::boundingBox() const { throw vcShapesError::BadGeom("vcFLine is infinite and has no bounding box"); }

double vcFLine::distanceToPoint(const vcVector<2>& p) const { return std::fabs(signedDistance(p)); }

vcVector<2> vcFLine::tangentAt(const vcVector<2>&) const { return direction(); }

vcShapeHandle vcFLine::reverse() const {
  vcFLine r(*this);
  r.n_ = -n_;
  r.d_ = -d_;
  return vfShapeHandle(r);
}

void vcFLine::archiveFields_(vcArchive& ar) {
  vcVector<2> n = n_;
  double d = d_;
  ar || n || d;
  if (ar.isLoading()) {
    if (!(std::fabs(n.len2() - 1.0) <= 1e-12)) vcArchive::fail("vcFLine: stored normal is not of unit length");
    *this = vcFLine(n, d);
  }
}
