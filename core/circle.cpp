#include <vc/core/circle.h>

#include <cmath>
#include <numbers>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "ellipsemath.h"

namespace el = vc_ellipse;

namespace {

constexpr double kPi = std::numbers::pi;

void checkCenter(const vcVector<2>& c, const char* who) {
  if (!std::isfinite(c.x()) || !std::isfinite(c.y()))
    throw vcShapesError::BadGeom(std::string(who) + ": center is not finite");
}

void checkRadius(double r, const char* who) {
  if (!(r >= 0.0) || !std::isfinite(r))
    throw vcShapesError::BadRadius(std::string(who) + ": radius " + std::to_string(r) + " is negative or not finite");
}

// Rounding of |p - c| moves a point of the circle by far less than this.
double slack(double r) { return 1e-12 * r; }

vcVector<2> circleTangent(const vcVector<2>& center, const vcVector<2>& p, double dir) {
  const double a = (p - center).angle().toDouble();
  return vcVector<2>(-std::sin(a), std::cos(a)) * dir;
}

el::Geom circleGeom(const vcVector<2>& c, double r) {
  el::Geom g;
  g.x = c.x();
  g.y = c.y();
  g.a = g.b = r;
  return g;
}

}  // namespace

// ---- vcCircle -------------------------------------------------------------------

template class vcShapeBase<vcCircle>;

vcCircle::vcCircle(const vcVector<2>& center, double radius) : center_(center), radius_(radius) {
  checkCenter(center, "vcCircle");
  checkRadius(radius, "vcCircle");
}

vcEllipse vcCircle::map(const vcXform<2>& x) const { return ellipse().map(x); }

vcShapeHandle vcCircle::mapShape(const vcXform<2>& x) const {
  double k = 0.0, theta = 0.0;
  bool mirrors = false;
  if (el::isSimilarity(x.matrix(), k, theta, mirrors)) return vfShapeHandle(vcCircle(x.mapPoint(center_), k * radius_));
  const vcEllipse e = map(x);
  return vfShapeHandle(vcEllipse2(e.radii(), e.rotation(), e.center()));
}

vcRect vcCircle::boundingBox() const {
  vcRect box;
  box.enclose(center_ - vcVector<2>(radius_, radius_));
  box.enclose(center_ + vcVector<2>(radius_, radius_));
  return box;
}

double vcCircle::distanceToPoint(const vcVector<2>& p) const {
  const double d = (p - center_).len() - radius_;
  return d > slack(radius_) ? d : 0.0;
}

double vcCircle::perimeter() const { return 2.0 * kPi * radius_; }
double vcCircle::area() const { return kPi * radius_ * radius_; }
bool vcCircle::within(const vcVector<2>& p) const { return (p - center_).len() <= radius_ + slack(radius_); }

vcVector<2> vcCircle::tangentAt(const vcVector<2>& p) const {
  if (!(radius_ > 0.0)) throw vcShapesError::NoTangent("vcCircle: a circle of radius 0 has no tangent");
  return circleTangent(center_, p, 1.0);
}

void vcCircle::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  const el::Geom g = circleGeom(center_, radius_);
  el::sampleClosed(g, el::chords(g, el::kTwoPi, params), params.includeEnd(), result);
}

void vcCircle::archiveFields_(vcArchive& ar) {
  vcVector<2> center = center_;
  double radius = radius_;
  ar || center || radius;
  if (ar.isLoading()) *this = vcCircle(center, radius);
}

// ---- vcAnnulus ------------------------------------------------------------------

template class vcShapeBase<vcAnnulus>;

vcAnnulus::vcAnnulus(const vcVector<2>& center, double innerRadius, double outerRadius)
    : center_(center), inner_(innerRadius), outer_(outerRadius) {
  checkCenter(center, "vcAnnulus");
  checkRadius(innerRadius, "vcAnnulus");
  checkRadius(outerRadius, "vcAnnulus");
  if (innerRadius > outerRadius)
    throw vcShapesError::BadRadius("vcAnnulus: inner radius " + std::to_string(innerRadius) + " exceeds outer radius " +
                                   std::to_string(outerRadius));
}

vcShapeHandle vcAnnulus::mapShape(const vcXform<2>& x) const {
  double k = 0.0, theta = 0.0;
  bool mirrors = false;
  if (el::isSimilarity(x.matrix(), k, theta, mirrors))
    return vfShapeHandle(vcAnnulus(x.mapPoint(center_), k * inner_, k * outer_));
  return vfShapeHandle(map(x));
}

vcGenAnnulus vcAnnulus::map(const vcXform<2>& x) const { return vcGenAnnulus(center_, inner_, outer_).map(x); }

vcRect vcAnnulus::boundingBox() const { return outerCircle().boundingBox(); }

double vcAnnulus::distanceToPoint(const vcVector<2>& p) const {
  const double d = (p - center_).len();
  if (d > outer_ + slack(outer_)) return d - outer_;
  if (d < inner_ - slack(inner_)) return inner_ - d;
  return 0.0;
}

double vcAnnulus::perimeter() const { return 2.0 * kPi * (inner_ + outer_); }
double vcAnnulus::area() const { return kPi * (outer_ - inner_) * (outer_ + inner_); }
bool vcAnnulus::within(const vcVector<2>& p) const { return distanceToPoint(p) == 0.0; }

vcVector<2> vcAnnulus::tangentAt(const vcVector<2>& p) const {
  if (!(outer_ > 0.0)) throw vcShapesError::NoTangent("vcAnnulus: an annulus of radius 0 has no tangent");
  const double d = (p - center_).len();
  const bool outer = std::fabs(d - outer_) <= std::fabs(d - inner_) || !(inner_ > 0.0);
  return circleTangent(center_, p, outer ? 1.0 : -1.0);
}

void vcAnnulus::sample(const vcSampleParams&, std::vector<vcVector<2>>&) const {
  throw vcShapesError::BadGeom("vcAnnulus: the boundary has two contours; sample its decompose() circles");
}

std::vector<vcShapeHandle> vcAnnulus::decompose() const {
  return {vfShapeHandle(outerCircle()), vfShapeHandle(innerCircle())};
}

void vcAnnulus::archiveFields_(vcArchive& ar) {
  vcVector<2> center = center_;
  double inner = inner_, outer = outer_;
  ar || center || inner || outer;
  if (ar.isLoading()) *this = vcAnnulus(center, inner, outer);
}
