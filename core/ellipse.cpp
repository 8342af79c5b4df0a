// vcEllipse, vcEllipse2 and vcEllipseAnnulus: thin shells over the kernels
// of ellipsemath, which do the geometry for the whole ellipse family.
#include <vc/core/ellipse.h>

#include <cmath>
#include <numbers>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/circle.h>
#include <vc/core/exception.h>

#include "ellipsemath.h"

namespace el = vc_ellipse;

namespace {

el::Geom makeGeom(const vcVector<2>& center, const vcVector<2>& radii, double rotation, bool leftHanded) {
  el::Geom g;
  g.x = center.x();
  g.y = center.y();
  g.a = radii.x();
  g.b = radii.y();
  g.rotation = rotation;
  g.leftHanded = leftHanded;
  return g;
}

void sampleClosed(const el::Geom& g, const vcShape::vcSampleParams& params, std::vector<vcVector<2>>& result) {
  el::sampleClosed(g, el::chords(g, el::kTwoPi, params), params.includeEnd(), result);
}

double region(const el::Geom& g, const vcVector<2>& p) {
  return el::insideOrOn(g, p) ? 0.0 : el::contourDistance(g, p);
}

}  // namespace

// ---- vcEllipse ----------------------------------------------------------------

template class vcShapeBase<vcEllipse>;

vcEllipse::vcEllipse() { g_.degenerate = true; }

vcEllipse::vcEllipse(const vcEllipseGeom& g) : g_(el::checked(g, "vcEllipse")) {}

vcEllipse::vcEllipse(const vcVector<2>& center, const vcVector<2>& radii, const vcRadian& rotation, bool leftHanded)
    : g_(el::checked(makeGeom(center, radii, rotation.toDouble(), leftHanded), "vcEllipse")) {}

vcEllipse::vcEllipse(const vcXform<2>& unitMap) {
  double phase = 0.0;
  g_ = el::checked(el::fromUnitMap(unitMap, false, phase), "vcEllipse");
}

vcEllipse::vcEllipse(const vcCircle& c) : vcEllipse(c.center(), vcVector<2>(c.radius(), c.radius()), vcRadian(0.0)) {}

vcXform<2> vcEllipse::unit() const { return vcXform<2>(el::unitMatrix(g_), center()); }
vcVector<2> vcEllipse::pointAt(const vcRadian& t) const { return el::point(g_, t.toDouble()); }
vcRadian vcEllipse::nearestAngle(const vcVector<2>& p) const { return vcRadian(el::nearestParam(g_, p)); }

vcEllipse vcEllipse::map(const vcXform<2>& x) const {
  double phase = 0.0;
  return vcEllipse(el::mapped(g_, x, phase));
}

void vcEllipse::writeImage(unsigned char* out) const {
  vc_ImageWriter w(out, kImageSize);
  vcEllipseGeom g = g_;
  g.image_(w);
}

vcEllipse vcEllipse::readImage(const unsigned char* in) {
  vc_ImageReader r(in, kImageSize);
  vcEllipseGeom g;
  g.image_(r);
  el::checkStored(g, false, r.ok(), "vcEllipse image");
  return vcEllipse(g);
}

vcShapeHandle vcEllipse::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcEllipse::boundingBox() const { return el::arcBox(g_, 0.0, el::kTwoPi); }
double vcEllipse::distanceToPoint(const vcVector<2>& p) const { return region(g_, p); }

double vcEllipse::perimeter() const { return el::perimeter(g_); }
double vcEllipse::area() const { return std::numbers::pi * g_.a * g_.b; }
bool vcEllipse::within(const vcVector<2>& p) const { return el::insideOrOn(g_, p); }

vcVector<2> vcEllipse::tangentAt(const vcVector<2>& p) const { return el::tangent(g_, el::nearestParam(g_, p), 1.0); }

void vcEllipse::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  sampleClosed(g_, params, result);
}

vcShapeHandle vcEllipse::reverse() const {
  vcEllipseGeom g = g_;
  g.leftHanded = !g.leftHanded;
  return vfShapeHandle(vcEllipse(g));
}

void vcEllipse::archiveFields_(vcArchive& ar) {
  ar || g_;  // checked as it is read
}

vcArchive& operator||(vcArchive& ar, vcEllipse::vcEllipseGeom& g) {
  vcEllipse::vcEllipseGeom t = g;
  ar || t.x || t.y || t.a || t.b || t.rotation || t.leftHanded || t.degenerate;
  if (ar.isLoading()) {
    el::checkStored(t, true, true, "vcEllipse");
    g = t;
  }
  return ar;
}

// ---- vcEllipse2 ---------------------------------------------------------------

namespace {
el::Geom geomOf(const vcEllipse2& e) { return makeGeom(e.center(), e.radii(), e.rotation().toDouble(), false); }
}  // namespace

template class vcShapeBase<vcEllipse2>;

vcEllipse2::vcEllipse2(const vcVector<2>& radii, const vcRadian& rotation, const vcVector<2>& center)
    : radii_(radii), rotation_(rotation), center_(center) {
  el::checked(geomOf(*this), "vcEllipse2");
}

vcXform<2> vcEllipse2::ellFromUnitCirc() const { return vcXform<2>(el::unitMatrix(geomOf(*this)), center_); }
vcEllipse vcEllipse2::ellipse() const { return vcEllipse(center_, radii_, rotation_); }

vcEllipse2 vcEllipse2::map(const vc2XformLinear& x) const { return map(x.xform()); }

vcEllipse2 vcEllipse2::map(const vcXform<2>& x) const {
  double phase = 0.0;
  const el::Geom g = el::mapped(geomOf(*this), x, phase);
  return vcEllipse2(vcVector<2>(g.a, g.b), vcRadian(g.rotation), vcVector<2>(g.x, g.y));
}

bool vcEllipse2::operator==(const vcEllipse2& o) const {
  return radii_ == o.radii_ && rotation_ == o.rotation_ && center_ == o.center_;
}

vcShapeHandle vcEllipse2::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcEllipse2::boundingBox() const { return el::arcBox(geomOf(*this), 0.0, el::kTwoPi); }
double vcEllipse2::distanceToPoint(const vcVector<2>& p) const { return region(geomOf(*this), p); }

double vcEllipse2::perimeter() const { return el::perimeter(geomOf(*this)); }
double vcEllipse2::area() const { return std::numbers::pi * radii_.x() * radii_.y(); }
bool vcEllipse2::within(const vcVector<2>& p) const { return el::insideOrOn(geomOf(*this), p); }

vcVector<2> vcEllipse2::tangentAt(const vcVector<2>& p) const {
  const el::Geom g = geomOf(*this);
  return el::tangent(g, el::nearestParam(g, p), 1.0);
}

void vcEllipse2::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  sampleClosed(geomOf(*this), params, result);
}

void vcEllipse2::archiveFields_(vcArchive& ar) {
  vcVector<2> radii = radii_, center = center_;
  double rotation = rotation_.toDouble();
  ar || radii || rotation || center;
  if (ar.isLoading()) *this = vcEllipse2(radii, vcRadian(rotation), center);
}

// ---- vcEllipseAnnulus -----------------------------------------------------------

template class vcShapeBase<vcEllipseAnnulus>;

vcEllipseAnnulus::vcEllipseAnnulus(const vcEllipse& inner, const vcEllipse& outer) : inner_(inner), outer_(outer) {
  if (!el::contains(outer.geom(), inner.geom()))
    throw vcShapesError::BadGeom("vcEllipseAnnulus: the inner ellipse does not lie within the outer one");
}

vcEllipseAnnulus vcEllipseAnnulus::map(const vcXform<2>& x) const {
  // An affine map keeps the inner ellipse inside the outer one.
  vcEllipseAnnulus r;
  r.inner_ = inner_.map(x);
  r.outer_ = outer_.map(x);
  return r;
}

vcShapeHandle vcEllipseAnnulus::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcEllipseAnnulus::boundingBox() const { return outer_.boundingBox(); }

double vcEllipseAnnulus::distanceToPoint(const vcVector<2>& p) const {
  if (!el::insideOrOn(outer_.geom(), p)) return el::contourDistance(outer_.geom(), p);
  if (!el::insideOrOn(inner_.geom(), p)) return 0.0;
  return el::contourDistance(inner_.geom(), p);
}

double vcEllipseAnnulus::perimeter() const { return outer_.perimeter() + inner_.perimeter(); }
double vcEllipseAnnulus::area() const { return outer_.area() - inner_.area(); }

bool vcEllipseAnnulus::within(const vcVector<2>& p) const {
  if (!el::insideOrOn(outer_.geom(), p)) return false;
  const el::Geom& in = inner_.geom();
  return !el::insideOrOn(in, p) || el::contourDistance(in, p) <= 1e-12 * std::max(in.a, in.b);
}

vcVector<2> vcEllipseAnnulus::tangentAt(const vcVector<2>& p) const {
  const el::Geom &o = outer_.geom(), &i = inner_.geom();
  if (el::contourDistance(o, p) <= el::contourDistance(i, p)) return el::tangent(o, el::nearestParam(o, p), 1.0);
  return el::tangent(i, el::nearestParam(i, p), -1.0);
}

void vcEllipseAnnulus::sample(const vcSampleParams&, std::vector<vcVector<2>>&) const {
  throw vcShapesError::BadGeom("vcEllipseAnnulus: the boundary has two contours; sample its decompose() ellipses");
}

std::vector<vcShapeHandle> vcEllipseAnnulus::decompose() const { return {outer_.clone(), inner_.clone()}; }

void vcEllipseAnnulus::archiveFields_(vcArchive& ar) {
  vcEllipse::vcEllipseGeom inner = inner_.geom(), outer = outer_.geom();
  ar || inner || outer;
  if (ar.isLoading()) *this = vcEllipseAnnulus(vcEllipse(inner), vcEllipse(outer));
}
