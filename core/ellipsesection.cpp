// vcEllipseAnnulusSection: a region bounded by two elliptic arcs and two
// lines. Membership counts ray crossings of the boundary (exact for any pair
// of ellipses); the area follows from Green's theorem, exactly.
#include <vc/core/ellipsearc.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "ellipsemath.h"

namespace el = vc_ellipse;

namespace {

// The boundary of a section: outer arc from s over span, line to the inner
// arc's end, inner arc back to s, line back to the start.
struct Boundary {
  el::Geom o, i;
  double s, span;

  vcVector<2> outerAt(double t) const { return el::point(o, t); }
  vcVector<2> innerAt(double t) const { return el::point(i, t); }
  double end() const { return s + span; }
  bool full() const { return std::fabs(span) >= el::kTwoPi; }
  double dir() const { return span < 0.0 ? -1.0 : 1.0; }

  // Distances to the four pieces, in boundary order.
  void distances(const vcVector<2>& p, double d[4]) const {
    d[0] = el::arcDistance(o, s, span, p);
    d[1] = el::segmentDistance(outerAt(end()), innerAt(end()), p);
    d[2] = el::arcDistance(i, s, span, p);
    d[3] = el::segmentDistance(innerAt(s), outerAt(s), p);
  }
  double distance(const vcVector<2>& p) const {
    double d[4];
    distances(p, d);
    return *std::min_element(d, d + 4);
  }
  bool inside(const vcVector<2>& p) const {
    if (distance(p) <= 1e-12 * std::max(o.a, o.b)) return true;
    // Crossings do not depend on the direction a piece is run in.
    const int n = el::rayCrossings(o, s, span, p) + el::rayCrossings(outerAt(end()), innerAt(end()), p) +
                  el::rayCrossings(i, s, span, p) + el::rayCrossings(innerAt(s), outerAt(s), p);
    return n % 2 == 1;
  }
};

Boundary boundaryOf(const vcEllipseAnnulusSection& sec) {
  const double span = std::clamp(sec.span().toDouble(), -el::kTwoPi, el::kTwoPi);
  return Boundary{sec.outerEllipse().geom(), sec.innerEllipse().geom(), sec.start().toDouble(), span};
}

// Shares total chords among pieces in proportion to what each needs alone,
// giving each at least one.
void share(long n[4], long total) {
  const long need = n[0] + n[1] + n[2] + n[3];
  if (total < 4) total = 4;
  if (need == total) return;
  long given = 0;
  for (int k = 0; k < 4; ++k) {
    n[k] = std::max(
        1L, static_cast<long>(static_cast<double>(n[k]) * static_cast<double>(total) / static_cast<double>(need)));
    given += n[k];
  }
  long* most = std::max_element(n, n + 4);
  *most += total - given;
  if (*most < 1) *most = 1;
}

void checkAngles(double start, double span, const char* who) {
  if (!std::isfinite(start) || !std::isfinite(span))
    throw vcShapesError::BadGeom(std::string(who) + ": angle is not finite");
}

}  // namespace

template class vcShapeBase<vcEllipseAnnulusSection>;

vcEllipseAnnulusSection::vcEllipseAnnulusSection(const vcEllipseAnnulus& annulus, const vcRadian& start,
                                                 const vcRadian& span, bool forward)
    : annulus_(annulus), start_(start), span_(span), forward_(forward) {
  checkAngles(start.toDouble(), span.toDouble(), "vcEllipseAnnulusSection");
}

vcEllipseAnnulusSection::vcEllipseAnnulusSection(const vcEllipse& inner, const vcEllipse& outer, const vcRadian& start,
                                                 const vcRadian& span, bool forward)
    : vcEllipseAnnulusSection(vcEllipseAnnulus(inner, outer), start, span, forward) {}

bool vcEllipseAnnulusSection::degen() const {
  return innerEllipse().isDegenerate() || outerEllipse().isDegenerate() || span_.toDouble() == 0.0;
}

vcEllipseAnnulusSection vcEllipseAnnulusSection::map(const vcXform<2>& x) const {
  double phase = 0.0;
  el::mapped(outerEllipse().geom(), x, phase);
  return vcEllipseAnnulusSection(annulus_.map(x), start_ + phase, span_, forward_);
}

void vcEllipseAnnulusSection::writeImage(unsigned char* out) const {
  vc_ImageWriter w(out, kImageSize);
  vcEllipse::vcEllipseGeom outer = outerEllipse().geom(), inner = innerEllipse().geom();
  double start = start_.toDouble(), span = span_.toDouble();
  bool forward = forward_, reserved = false;
  image_(w, outer, inner, start, span, forward, reserved);
}

vcEllipseAnnulusSection vcEllipseAnnulusSection::readImage(const unsigned char* in) {
  vc_ImageReader r(in, kImageSize);
  vcEllipse::vcEllipseGeom outer, inner;
  double start = 0.0, span = 0.0;
  bool forward = false, reserved = false;
  image_(r, outer, inner, start, span, forward, reserved);
  const char* who = "vcEllipseAnnulusSection image";
  el::checkStored(outer, false, r.ok(), who);
  el::checkStored(inner, false, r.ok(), who);
  if (reserved) throw vcShapesError::BadGeom(std::string(who) + ": reserved flag byte is not 0");
  return vcEllipseAnnulusSection(vcEllipse(inner), vcEllipse(outer), vcRadian(start), vcRadian(span), forward);
}

bool vcEllipseAnnulusSection::operator==(const vcEllipseAnnulusSection& o) const {
  return annulus_ == o.annulus_ && start_ == o.start_ && span_ == o.span_ && forward_ == o.forward_;
}

vcShapeHandle vcEllipseAnnulusSection::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcEllipseAnnulusSection::boundingBox() const {
  const Boundary b = boundaryOf(*this);
  vcRect box = el::arcBox(b.o, b.s, b.span);
  return box.enclose(el::arcBox(b.i, b.s, b.span));
}

double vcEllipseAnnulusSection::distanceToPoint(const vcVector<2>& p) const {
  const Boundary b = boundaryOf(*this);
  return b.inside(p) ? 0.0 : b.distance(p);
}

double vcEllipseAnnulusSection::perimeter() const {
  const Boundary b = boundaryOf(*this);
  double len = el::arcLength(b.o, b.s, b.end()) + el::arcLength(b.i, b.s, b.end());
  // A whole annulus has no seam.
  if (!b.full()) len += (b.outerAt(b.end()) - b.innerAt(b.end())).len() + (b.outerAt(b.s) - b.innerAt(b.s)).len();
  return len;
}

double vcEllipseAnnulusSection::area() const {
  const Boundary b = boundaryOf(*this);
  const vcVector<2> oe = b.outerAt(b.end()), ie = b.innerAt(b.end()), is = b.innerAt(b.s), os = b.outerAt(b.s);
  const double twice =
      2.0 * (el::areaTerm(b.o, b.s, b.end()) - el::areaTerm(b.i, b.s, b.end())) + oe.cross(ie) + is.cross(os);
  return 0.5 * std::fabs(twice);
}

bool vcEllipseAnnulusSection::within(const vcVector<2>& p) const { return boundaryOf(*this).inside(p); }

vcVector<2> vcEllipseAnnulusSection::tangentAt(const vcVector<2>& p) const {
  const Boundary b = boundaryOf(*this);
  double d[4];
  b.distances(p, d);
  const int k = static_cast<int>(std::min_element(d, d + 4) - d);
  if (k == 0) return el::tangent(b.o, el::nearestParamOnArc(b.o, b.s, b.span, p), b.dir());
  if (k == 2) return el::tangent(b.i, el::nearestParamOnArc(b.i, b.s, b.span, p), -b.dir());
  const vcVector<2> line = k == 1 ? b.innerAt(b.end()) - b.outerAt(b.end()) : b.outerAt(b.s) - b.innerAt(b.s);
  if (!(line.len() > 0.0)) throw vcShapesError::NoTangent("vcEllipseAnnulusSection: boundary line of length 0");
  return line.unit();
}

void vcEllipseAnnulusSection::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  const Boundary b = boundaryOf(*this);
  const vcVector<2> os = b.outerAt(b.s), oe = b.outerAt(b.end()), ie = b.innerAt(b.end()), is = b.innerAt(b.s);
  vcSampleParams alone = params;
  alone.minPoints(2);
  alone.maxPoints(0);
  long n[4] = {el::chords(b.o, b.span, alone), alone.chordsFor((ie - oe).len(), 0.0), el::chords(b.i, b.span, alone),
               alone.chordsFor((os - is).len(), 0.0)};
  const long need = n[0] + n[1] + n[2] + n[3];
  long total = std::max(need, params.minPoints() - 1);
  if (params.maxPoints() > 1) total = std::min(total, params.maxPoints() - 1);
  share(n, total);

  std::vector<vcVector<2>> pts;
  auto piece = [&](long chords, auto&& at, bool first, bool last) {
    const long from = first || params.duplicateCorners() ? 0 : 1;
    const long to = last && !params.includeEnd() ? chords - 1 : chords;
    for (long k = from; k <= to; ++k) pts.push_back(at(k, chords));
  };
  auto frac = [](long k, long m) { return static_cast<double>(k) / static_cast<double>(m); };
  auto line = [&](const vcVector<2>& a, const vcVector<2>& c) {
    return [&, a, c](long k, long m) { return k == m ? c : a + (c - a) * frac(k, m); };
  };
  piece(
      n[0], [&](long k, long m) { return k == m ? oe : el::point(b.o, b.s + b.span * frac(k, m)); }, true, false);
  piece(n[1], line(oe, ie), false, false);
  piece(
      n[2], [&](long k, long m) { return k == m ? is : el::point(b.i, b.end() - b.span * frac(k, m)); }, false, false);
  piece(n[3], line(is, os), false, true);
  result.insert(result.end(), pts.begin(), pts.end());
}

vcShapeHandle vcEllipseAnnulusSection::reverse() const {
  return vfShapeHandle(vcEllipseAnnulusSection(annulus_, start_ + span_, -span_, forward_));
}

void vcEllipseAnnulusSection::archiveFields_(vcArchive& ar) {
  vcEllipse::vcEllipseGeom outer = outerEllipse().geom(), inner = innerEllipse().geom();
  double start = start_.toDouble(), span = span_.toDouble();
  bool forward = forward_;
  ar || outer || inner || start || span || forward;
  if (ar.isLoading())
    *this = vcEllipseAnnulusSection(vcEllipse(inner), vcEllipse(outer), vcRadian(start), vcRadian(span), forward);
}
