// vcEllipseArc and vcEllipseArc2. Both reduce to an ellipse geom and a
// parametric range, whose geometry lives in ellipsemath.
#include <vc/core/ellipsearc.h>

#include <cmath>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "ellipsemath.h"

namespace el = vc_ellipse;

namespace {

// An arc as the kernels see it: P(t) of g for t from s over span.
struct Arc {
  el::Geom g;
  double s;
  double span;

  vcRect box() const { return el::arcBox(g, s, span); }
  double distance(const vcVector<2>& p) const { return el::arcDistance(g, s, span, p); }
  vcVector<2> first() const { return el::point(g, s); }
  vcVector<2> last() const { return el::point(g, s + span); }
  double length() const { return el::arcLength(g, s, s + span); }
  vcVector<2> tangent(const vcVector<2>& p) const {
    return el::tangent(g, el::nearestParamOnArc(g, s, span, p), span < 0.0 ? -1.0 : 1.0);
  }
  void sample(const vcShape::vcSampleParams& params, std::vector<vcVector<2>>& out) const {
    el::sampleArc(g, s, span, el::chords(g, span, params), params.includeEnd(), out);
  }
};

void checkAngles(double a, double b, const char* who) {
  if (!std::isfinite(a) || !std::isfinite(b)) throw vcShapesError::BadGeom(std::string(who) + ": angle is not finite");
}

el::Geom geomOf(const vcVector<2>& radii, double rotation, const vcVector<2>& center, bool rightHanded) {
  el::Geom g;
  g.x = center.x();
  g.y = center.y();
  g.a = radii.x();
  g.b = radii.y();
  g.rotation = rotation;
  g.leftHanded = !rightHanded;
  return el::checked(g, "vcEllipseArc2");
}

}  // namespace

// ---- vcEllipseArc -------------------------------------------------------------

template class vcShapeBase<vcEllipseArc>;

vcEllipseArc::vcEllipseArc(const vcEllipse& ellipse, const vcRadian& start, const vcRadian& span)
    : ellipse_(ellipse), start_(start), span_(span) {
  checkAngles(start.toDouble(), span.toDouble(), "vcEllipseArc");
}

vcEllipseArc::vcEllipseArc(const vcEllipseArc2& arc)
    : vcEllipseArc(vcEllipse(arc.center(), arc.radii(), arc.rotation(), !arc.handedness()), arc.start() + arc.phase(),
                   arc.span()) {}

vcEllipseArc vcEllipseArc::map(const vcXform<2>& x) const {
  double phase = 0.0;
  const vcEllipse e(el::mapped(ellipse_.geom(), x, phase));
  return vcEllipseArc(e, start_ + phase, span_);
}

void vcEllipseArc::writeImage(unsigned char* out) const {
  vc_ImageWriter w(out, kImageSize);
  vcEllipse::vcEllipseGeom g = ellipse_.geom();
  double start = start_.toDouble(), span = span_.toDouble();
  image_(w, g, start, span);
}

vcEllipseArc vcEllipseArc::readImage(const unsigned char* in) {
  vc_ImageReader r(in, kImageSize);
  vcEllipse::vcEllipseGeom g;
  double start = 0.0, span = 0.0;
  image_(r, g, start, span);
  el::checkStored(g, false, r.ok(), "vcEllipseArc image");
  return vcEllipseArc(vcEllipse(g), vcRadian(start), vcRadian(span));
}

bool vcEllipseArc::operator==(const vcEllipseArc& o) const {
  return ellipse_ == o.ellipse_ && start_ == o.start_ && span_ == o.span_;
}

namespace {
Arc arcOf(const vcEllipseArc& a) { return Arc{a.ellipse().geom(), a.start().toDouble(), a.span().toDouble()}; }
}  // namespace

vcShapeHandle vcEllipseArc::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcEllipseArc::boundingBox() const { return arcOf(*this).box(); }
double vcEllipseArc::distanceToPoint(const vcVector<2>& p) const { return arcOf(*this).distance(p); }

vcVector<2> vcEllipseArc::startPoint() const { return arcOf(*this).first(); }
vcVector<2> vcEllipseArc::endPoint() const { return arcOf(*this).last(); }
double vcEllipseArc::perimeter() const { return arcOf(*this).length(); }
vcVector<2> vcEllipseArc::tangentAt(const vcVector<2>& p) const { return arcOf(*this).tangent(p); }

void vcEllipseArc::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  arcOf(*this).sample(params, result);
}

vcShapeHandle vcEllipseArc::reverse() const { return vfShapeHandle(vcEllipseArc(ellipse_, end(), -span_)); }

void vcEllipseArc::archiveFields_(vcArchive& ar) {
  vcEllipse::vcEllipseGeom g = ellipse_.geom();
  double start = start_.toDouble(), span = span_.toDouble();
  ar || g || start || span;
  if (ar.isLoading()) *this = vcEllipseArc(vcEllipse(g), vcRadian(start), vcRadian(span));
}

// ---- vcEllipseArc2 ------------------------------------------------------------

template class vcShapeBase<vcEllipseArc2>;

vcEllipseArc2::vcEllipseArc2(const vcVector<2>& radii, const vcRadian& rotation, const vcVector<2>& center,
                             bool handedness, const vcRadian& phase, const vcRadian& start, const vcRadian& span)
    : radii_(radii),
      rotation_(rotation),
      center_(center),
      rightHanded_(handedness),
      phase_(phase),
      start_(start),
      span_(span) {
  geomOf(radii, rotation.toDouble(), center, handedness);
  checkAngles(start.toDouble(), span.toDouble(), "vcEllipseArc2");
  checkAngles(phase.toDouble(), 0.0, "vcEllipseArc2");
}

vcEllipseArc2::vcEllipseArc2(const vcEllipseArc& arc)
    : vcEllipseArc2(arc.ellipse().radii(), arc.ellipse().rotation(), arc.ellipse().center(),
                    !arc.ellipse().isLeftHanded(), vcRadian(0.0), arc.start(), arc.span()) {}

namespace {
Arc arcOf(const vcEllipseArc2& a) {
  return Arc{geomOf(a.radii(), a.rotation().toDouble(), a.center(), a.handedness()),
             a.start().toDouble() + a.phase().toDouble(), a.span().toDouble()};
}
}  // namespace

vcXform<2> vcEllipseArc2::ellFromUnitCirc() const {
  const el::Geom g = geomOf(radii_, rotation_.toDouble(), center_, rightHanded_);
  return vcXform<2>(el::unitMatrix(g) * vcMatrix<2>::rotation(phase_), center_);
}

vcVector<2> vcEllipseArc2::pointAt(const vcRadian& t) const {
  return el::point(geomOf(radii_, rotation_.toDouble(), center_, rightHanded_), (t + phase_).toDouble());
}

vcEllipseArc2 vcEllipseArc2::map(const vc2XformLinear& x) const { return map(x.xform()); }

vcEllipseArc2 vcEllipseArc2::map(const vcXform<2>& x) const {
  double shift = 0.0;
  const el::Geom g = el::mapped(geomOf(radii_, rotation_.toDouble(), center_, rightHanded_), x, shift);
  return vcEllipseArc2(vcVector<2>(g.a, g.b), vcRadian(g.rotation), vcVector<2>(g.x, g.y), !g.leftHanded,
                       phase_ + shift, start_, span_);
}

bool vcEllipseArc2::operator==(const vcEllipseArc2& o) const {
  return radii_ == o.radii_ && rotation_ == o.rotation_ && center_ == o.center_ && rightHanded_ == o.rightHanded_ &&
         phase_ == o.phase_ && start_ == o.start_ && span_ == o.span_;
}

vcShapeHandle vcEllipseArc2::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcEllipseArc2::boundingBox() const { return arcOf(*this).box(); }
double vcEllipseArc2::distanceToPoint(const vcVector<2>& p) const { return arcOf(*this).distance(p); }

vcVector<2> vcEllipseArc2::startPoint() const { return arcOf(*this).first(); }
vcVector<2> vcEllipseArc2::endPoint() const { return arcOf(*this).last(); }
double vcEllipseArc2::perimeter() const { return arcOf(*this).length(); }
vcVector<2> vcEllipseArc2::tangentAt(const vcVector<2>& p) const { return arcOf(*this).tangent(p); }

void vcEllipseArc2::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  arcOf(*this).sample(params, result);
}

vcShapeHandle vcEllipseArc2::reverse() const {
  return vfShapeHandle(vcEllipseArc2(radii_, rotation_, center_, rightHanded_, phase_, start_ + span_, -span_));
}

void vcEllipseArc2::archiveFields_(vcArchive& ar) {
  vcVector<2> radii = radii_, center = center_;
  double rotation = rotation_.toDouble(), phase = phase_.toDouble(), start = start_.toDouble(), span = span_.toDouble();
  bool right = rightHanded_;
  ar || radii || rotation || center || right || phase || start || span;
  if (ar.isLoading())
    *this = vcEllipseArc2(radii, vcRadian(rotation), center, right, vcRadian(phase), vcRadian(start), vcRadian(span));
}
