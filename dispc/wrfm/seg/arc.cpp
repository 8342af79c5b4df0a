// vc2SegmentArc: construction, mapped queries, printing and the archive form.
// Intersections live in arc_intersect.cpp.
#include <vc/wrfm/arc.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/circle.h>
#include <vc/core/ellipse.h>
#include <vc/core/exception.h>

#include "arcmath.h"

using vc_arc::angleOf;
using vc_arc::unitAt;

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;

bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }
// Values of two descriptions this close are the same value.
constexpr double kSameValue = 1e-15;
// How far from its circle, as a fraction of its radius, a point still lies on an arc.
constexpr double kOnArc = 1e-15;

bool near(double a, double b) { return std::fabs(a - b) <= kSameValue; }

void requireRegular(const vcXform<2>& x, const char* who) {
  if (x.matrix().isSingular()) throw vcShapesError::DegenerateShape(std::string(who) + ": the transform is singular");
}

// The arc of the unit circle from start over span (radians) carried by T.
vc2SegmentArc unitArc(const vcXform<2>& t, const vcRadian& start, const vcRadian& span, const char* who) {
  requireRegular(t, who);
  double sweep = vcDegree(span).toDouble();
  if (!std::isfinite(sweep)) throw vcShapesError::BadGeom(std::string(who) + ": span is not finite");
  // Beyond one turn the point set is the whole ellipse.
  sweep = std::fmax(-360.0, std::fmin(360.0, sweep));
  return t * vc2SegmentArc(vcVector<2>(), 1.0, vcDegree(start), vcDegree(sweep));
}

}  // namespace

vc2SegmentArc::vc2SegmentArc(const vcVector<2>& center, double radius, vcDegree startAngle, vcDegree angleSpan)
    : c_(center), r_(radius), s_(startAngle.toDouble()), a_(angleSpan.toDouble()) {
  if (!finite(center) || !std::isfinite(radius) || !std::isfinite(s_) || !std::isfinite(a_))
    throw vcShapesError::BadGeom("vc2SegmentArc: a value is not finite");
  if (!(radius > 0.0)) throw vcShapesError::DegenerateShape("vc2SegmentArc: radius must be > 0");
}

vc2SegmentArc::vc2SegmentArc(const vcVector<2>& p1, const vcVector<2>& p2, vcDegree angleSpan) {
  const double span = angleSpan.toDouble();
  if (!finite(p1) || !finite(p2) || !std::isfinite(span))
    throw vcShapesError::BadGeom("vc2SegmentArc: a value is not finite");
  if (std::fabs(span) <= vcStraightSpan || span < -360.0 || span > 360.0)
    throw vcShapesError::DegenerateShape("vc2SegmentArc: span must be non-zero and within one turn");
  if (p1 == p2) throw vcShapesError::DegenerateShape("vc2SegmentArc: the end points coincide");
  // The center lies on the chord's bisector, to the left of p1 -> p2 for
  // a counter-clockwise sweep under a half turn (and for a clockwise one
  // over a half turn), at |h / tan(span / 2)| from the chord's middle.
  const bool left = (span > 0.0 && span < 180.0) || (span > -360.0 && span < -180.0);
  const vcVector<2> chord = p2 - p1;
  const vcVector<2> u = chord / chord.len();
  const vcVector<2> m = (p1 + p2) * 0.5;
  const double h = chord.len() * 0.5;
  const vcVector<2> half = unitAt(span * 0.5);
  // A full turn cannot end at another point; it keeps the far center that
  // the rounded tangent of a half turn gives, as it always has.
  const double d =
      half.y() == 0.0 ? std::fabs(h / std::tan(span * 0.5 * kRadPerDeg)) : std::fabs(h * half.x() / half.y());
  c_ = m + (left ? u.perp() : -u.perp()) * d;
  s_ = angleOf(p1 - c_);
  r_ = (p1 - c_).len();
  a_ = span;
}

vc2SegmentArc::vc2SegmentArc(const vcEllipseArc& arc)
    : vc2SegmentArc(unitArc(arc.ellipse().unit(), arc.start(), arc.span(), "vc2SegmentArc(vcEllipseArc)")) {}

vc2SegmentArc::vc2SegmentArc(const vcEllipseArc2& arc)
    : vc2SegmentArc(unitArc(arc.ellFromUnitCirc(), arc.start(), arc.span(), "vc2SegmentArc(vcEllipseArc2)")) {}

vcVector<2> vc2SegmentArc::localPoint_(double deg) const { return c_ + unitAt(deg) * r_; }

bool vc2SegmentArc::similar_() const { return vc_arc::isSimilarity(x_.matrix()); }

namespace {
double mappedAngle(const vcXform<2>& x, double deg) { return angleOf(x.mapVector(unitAt(deg))); }
}  // namespace

vcDegree vc2SegmentArc::startAngle() const { return vcDegree(mappedAngle(x_, s_)); }
vcDegree vc2SegmentArc::endAngle() const { return vcDegree(mappedAngle(x_, s_ + a_)); }
vcDegree vc2SegmentArc::midAngle() const { return vcDegree(mappedAngle(x_, s_ + a_ * 0.5)); }
vcDegree vc2SegmentArc::angle(double t) const { return vcDegree(mappedAngle(x_, s_ + a_ * t)); }

vcVector<2> vc2SegmentArc::segPoint(double t) const { return x_ * localPoint_(s_ + a_ * t); }

vcDegree vc2SegmentArc::direction(double t) const {
  return vcDegree(mappedAngle(x_, s_ + a_ * t + (a_ < 0.0 ? -90.0 : 90.0)));
}

vcVector<2> vc2SegmentArc::arcPoint(vcDegree a) const {
  const double local = angleOf(x_.invMapVector(unitAt(a.toDouble())));
  return x_ * localPoint_(local);
}

double vc2SegmentArc::radius(const vcDegree& a) const { return center().distance(arcPoint(a)); }

vcFLine vc2SegmentArc::tangent(vcDegree a) const {
  const double local = angleOf(x_.invMapVector(unitAt(a.toDouble())));
  return vcFLine(vcLine(x_.mapVector(unitAt(local + 90.0)), x_ * localPoint_(local)));
}

vcFLine vc2SegmentArc::tangent(double t) const {
  const double local = s_ + a_ * t;
  return vcFLine(vcLine(x_.mapVector(unitAt(local + 90.0)), x_ * localPoint_(local)));
}

vcDegree vc2SegmentArc::angleSpan() const {
  // Decide orientation by the determinant's sign: comparing the two axes'
  // rotations without normalising their difference takes a half turn for a
  // mirror.
  const double sweep = x_.determinant() < 0.0 ? -a_ : a_;
  if (similar_()) return vcDegree(sweep);
  // Under a shear or unequal scales the mapped angles move; keep the mapped
  // end-to-end difference, taken the way the arc turns.
  const double d = (endAngle() - startAngle()).norm().toDouble();
  return vcDegree(sweep - vcDegree(sweep - d).signedNorm().toDouble());
}

double vc2SegmentArc::length() const {
  double scale = 1.0;
  if (vc_arc::isSimilarity(x_.matrix(), &scale)) return std::fabs(a_ * kRadPerDeg) * r_ * scale;
  return ellipseArc().perimeter();
}

vcVector<2> vc2SegmentArc::centerOfMass() const {
  const double span = a_ * kRadPerDeg;
  if (span == 0.0) return segPoint(0.0);
  const vcVector<2> s = unitAt(s_), e = unitAt(s_ + a_);
  return x_ * (c_ + vcVector<2>(e.y() - s.y(), s.x() - e.x()) * (r_ / span));
}

vcRect vc2SegmentArc::boundingBox() const { return ellipseArc().boundingBox(); }

vcEllipseArc vc2SegmentArc::ellipseArc() const {
  return vcEllipseArc(vcEllipse(vcCircle(c_, r_)), vcRadian(vcDegree(s_)), vcRadian(vcDegree(a_))).map(x_);
}

vcEllipseArc2 vc2SegmentArc::ellipseArc2() const {
  const vcEllipseArc2 local(vcVector<2>(r_, r_), vcRadian(0.0), c_, true, vcRadian(0.0), vcRadian(vcDegree(s_)),
                            vcRadian(vcDegree(a_)));
  return local.map(vc2XformLinear(x_));
}

bool vc2SegmentArc::validAngle_(const vcDegree& a, bool inclusive) const {
  const double span = std::fabs(a_);
  if (span >= 360.0) return true;
  const double tol = span * 1e-13;
  const double d = (a_ >= 0.0 ? a - vcDegree(s_) : vcDegree(s_) - a).norm().toDouble();
  const bool nearEnd = std::fabs(d - span) <= tol || std::fabs(d) <= tol || std::fabs(d - 360.0) <= tol;
  if (inclusive) return d <= span || nearEnd;
  return d < span && !nearEnd;
}

bool vc2SegmentArc::validAngle(const vcDegree& a, bool inclusive) const {
  return validAngle_(vcDegree(angleOf(x_.invMapVector(unitAt(a.toDouble())))), inclusive);
}

bool vc2SegmentArc::inRange(const vcVector<2>& p, bool inclusive) const {
  const vcVector<2> local = x_.invMapPoint(p);
  if (local == c_) return false;
  return validAngle_(vcDegree(angleOf(local - c_)), inclusive);
}

vcVector<2> vc2SegmentArc::closestPoint_(const vcVector<2>& q) const {
  if (q == c_) return localPoint_(0.0);
  const double a = angleOf(q - c_);
  if (validAngle_(vcDegree(a), true)) return c_ + (q - c_) * (r_ / (q - c_).len());
  const vcVector<2> first = localPoint_(s_), last = localPoint_(s_ + a_);
  return last.distance(q) < first.distance(q) ? last : first;
}

vcVector<2> vc2SegmentArc::closestPoint(const vcVector<2>& p) const {
  if (similar_()) return x_ * closestPoint_(x_.invMapPoint(p));
  // An elliptical arc: the nearest point of the ellipse is not the image of
  // the nearest point of the circle, so search along the arc.
  const double span = std::fmax(-360.0, std::fmin(360.0, a_));
  const double t =
      vc_arc::argMin([&](double u) { return (x_ * localPoint_(s_ + span * u) - p).len2(); }, 0.0, 1.0, 256);
  return x_ * localPoint_(s_ + span * t);
}

bool vc2SegmentArc::validPoint(const vcVector<2>& p, bool) const {
  double scale = 1.0;
  if (!vc_arc::isSimilarity(x_.matrix(), &scale)) scale = std::fmax(x_.matrix().xScale(), x_.matrix().yScale());
  return p.distance(closestPoint(p)) <= r_ * scale * kOnArc;
}

bool vc2SegmentArc::operator==(const vc2SegmentArc& o) const {
  if (c_ == o.c_ && r_ == o.r_ && s_ == o.s_ && a_ == o.a_ && x_ == o.x_) return true;
  const vcVector<2> ca = center(), cb = o.center();
  return near(startAngle().toDouble(), o.startAngle().toDouble()) &&
         near(angleSpan().toDouble(), o.angleSpan().toDouble()) && near(ca.x(), cb.x()) && near(ca.y(), cb.y()) &&
         near(radius(startAngle()), o.radius(o.startAngle())) && near(radius(endAngle()), o.radius(o.endAngle())) &&
         near(radius(midAngle()), o.radius(o.midAngle()));
}

vc2SegmentArc operator*(const vcXform<2>& x, const vc2SegmentArc& a) {
  vc2SegmentArc r(a);
  r.x_ = x * a.x_;
  requireRegular(r.x_, "vc2SegmentArc: mapping");
  return r;
}

vc2SegmentArc operator*(const vc2Rigid& r, const vc2SegmentArc& a) { return r.linear() * a; }

std::ostream& operator<<(std::ostream& os, const vc2SegmentArc& a) {
  const vcVector<2> c = a.center();
  return os << "center=" << c.x() << ' ' << c.y() << '\n'
            << "radius=" << a.radius(vcDegree(0.0)) << '\n'
            << "startAngle=" << a.startAngle().toDouble() << '\n'
            << "angleSpan=" << a.angleSpan().toDouble() << "\n\n";
}

vcArchive& operator||(vcArchive& ar, vc2SegmentArc& a) {
  unsigned char version = 1;
  ar || version;
  // The line number is part of the stored-file contract of this error.
  if (version > 1) throw vcArchive::UnknownVersion("dispc/wrfm/arc", 147);
  vcVector<2> c = a.c_;
  double r = a.r_, s = a.s_, span = a.a_;
  vcXform<2> x = a.x_;
  ar || c || r || s || span;
  if (version == 1)
    ar || x;
  else
    x = vcXform<2>::I;
  if (ar.isLoading()) {
    if (!finite(c) || !std::isfinite(r) || !std::isfinite(s) || !std::isfinite(span))
      vcArchive::fail("vc2SegmentArc: stored value is not finite");
    if (!(r > 0.0)) vcArchive::fail("vc2SegmentArc: stored radius is not > 0");
    if (x.matrix().isSingular()) vcArchive::fail("vc2SegmentArc: stored transform is singular");
    a.c_ = c, a.r_ = r, a.s_ = s, a.a_ = span, a.x_ = x;
  }
  return ar;
}
