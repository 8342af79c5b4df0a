// Elliptical arcs and sections: vcEllipseArc (an arc of a vcEllipse),
// vcEllipseArc2 (the radii/rotation/center/phase form of segment code) and
// vcEllipseAnnulusSection (the part of an elliptical annulus between two
// angles).
//
// Arcs are measured in the parametric angle t of <vc/core/ellipse.h>
// (P(t) = c + R(r) (a cos t, s b sin t)), not in the polar angle of the
// points: an arc from start over span is P(t) for t from start to
// start + span. The sign of span gives the direction of travel; a span of
// 2 pi or more goes all the way round. Angles are radians; coordinates are
// client units.
#pragma once

#include <cstddef>
#include <vector>

#include <vc/core/angle.h>
#include <vc/core/ellipse.h>
#include <vc/core/rect.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcEllipseArc2;

class vcEllipseArc : public vcShapeBase<vcEllipseArc> {
public:
  static constexpr std::size_t kImageSize = 192;

  // The empty arc of the point ellipse at the origin.
  vcEllipseArc() = default;
  // start, span: parametric angles; a non-finite one throws vcShapesError::BadGeom.
  vcEllipseArc(const vcEllipse& ellipse, const vcRadian& start, const vcRadian& span);
  // The same arc: the phase of arc is added to its start.
  explicit vcEllipseArc(const vcEllipseArc2& arc);

  const vcEllipse& ellipse() const noexcept { return ellipse_; }
  const vcRadian& start() const noexcept { return start_; }
  const vcRadian& span() const noexcept { return span_; }
  // start + span.
  vcRadian end() const { return start_ + span_; }
  // The ellipse's point at parametric angle t.
  vcVector<2> pointAt(const vcRadian& t) const { return ellipse_.pointAt(t); }

  // The exact image; the angles shift with the ellipse's parametrisation
  // (not at all under similarities), the span keeps its value and sign.
  vcEllipseArc map(const vcXform<2>& x) const;
  // The same as distanceToPoint(p).
  double distToPoint(const vcVector<2>& p) const { return distanceToPoint(p); }

  // The ellipse's 48-byte image at bytes 0..47, start at 176, span at 184.
  template <class Codec>
  static void image_(Codec& c, vcEllipse::vcEllipseGeom& g, double& start, double& span) {
    g.image_(c, 0);
    c.f64(176, start);
    c.f64(184, span);
  }
  void writeImage(unsigned char* out) const;
  // Throws vcShapesError::BadGeom for bytes that describe no valid arc.
  static vcEllipseArc readImage(const unsigned char* in);

  bool operator==(const vcEllipseArc& o) const;
  bool operator!=(const vcEllipseArc& o) const { return !(*this == o); }

  // vcShape: an open contour from startPoint() to endPoint().
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  // Exact distance to the nearest point of the arc.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isOpenContour() const override { return true; }
  bool hasTangent() const override { return ellipse_.hasTangent(); }
  vcVector<2> startPoint() const override;
  vcVector<2> endPoint() const override;
  double perimeter() const override;
  // In the direction of travel.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // From start + span over -span.
  vcShapeHandle reverse() const override;

private:
  friend class vcShapeBase<vcEllipseArc>;
  void archiveFields_(vcArchive& ar);

  vcEllipse ellipse_;
  vcRadian start_;
  vcRadian span_;
};
extern template class vcShapeBase<vcEllipseArc>;

// An arc as the image of the unit circle's arc from start over span under
//   E = translation(center) R(rotation) diag(a, s b) R(phase),
// s = +1 when right-handed. So the point at angle t is E (cos t, sin t): the
// phase turns the parametrisation, letting any affine image of a circular arc
// keep its start and span.
class vcEllipseArc2 : public vcShapeBase<vcEllipseArc2> {
public:
  // The empty arc of the point ellipse at the origin.
  vcEllipseArc2() = default;
  // radii: (a, b), client units, each >= 0 (else vcShapesError::BadRadius);
  // rotation: direction of radius a; center: client units; handedness: true
  // when the parametrisation runs in the +angle direction; phase, start,
  // span: radians (non-finite values throw BadGeom).
  vcEllipseArc2(const vcVector<2>& radii, const vcRadian& rotation, const vcVector<2>& center, bool handedness,
                const vcRadian& phase, const vcRadian& start, const vcRadian& span);
  // The same arc with phase 0.
  explicit vcEllipseArc2(const vcEllipseArc& arc);

  const vcVector<2>& radii() const noexcept { return radii_; }
  const vcRadian& rotation() const noexcept { return rotation_; }
  const vcVector<2>& center() const noexcept { return center_; }
  bool handedness() const noexcept { return rightHanded_; }
  const vcRadian& phase() const noexcept { return phase_; }
  const vcRadian& start() const noexcept { return start_; }
  const vcRadian& span() const noexcept { return span_; }

  // The map E above.
  vcXform<2> ellFromUnitCirc() const;
  // The arc's ellipse as a point set.
  vcEllipse2 ellipse2() const { return vcEllipse2(radii_, rotation_, center_); }
  // The same arc as a vcEllipseArc.
  vcEllipseArc ellipseArc() const { return vcEllipseArc(*this); }
  // E (cos t, sin t).
  vcVector<2> pointAt(const vcRadian& t) const;

  // The exact image: start and span are kept, phase and handedness follow the map.
  vcEllipseArc2 map(const vc2XformLinear& x) const;
  vcEllipseArc2 map(const vcXform<2>& x) const;

  bool operator==(const vcEllipseArc2& o) const;
  bool operator!=(const vcEllipseArc2& o) const { return !(*this == o); }

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isOpenContour() const override { return true; }
  bool hasTangent() const override { return !(radii_.x() == 0.0 && radii_.y() == 0.0); }
  vcVector<2> startPoint() const override;
  vcVector<2> endPoint() const override;
  double perimeter() const override;
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  vcShapeHandle reverse() const override;

private:
  friend class vcShapeBase<vcEllipseArc2>;
  void archiveFields_(vcArchive& ar);

  vcVector<2> radii_;
  vcRadian rotation_;
  vcVector<2> center_;
  bool rightHanded_ = true;
  vcRadian phase_;
  vcRadian start_;
  vcRadian span_;
};
extern template class vcShapeBase<vcEllipseArc2>;

// The part of an elliptical annulus between two parametric angles: the
// region bounded by the outer ellipse's arc from start over span, the line
// from its end to the inner ellipse's point at start + span, the inner arc
// back to start, and the line back to the outer arc's start (the boundary
// contour, in that order). A span of 2 pi or more is the whole annulus.
class vcEllipseAnnulusSection : public vcShapeBase<vcEllipseAnnulusSection> {
public:
  static constexpr std::size_t kImageSize = 500;

  // The empty section of point ellipses at the origin.
  vcEllipseAnnulusSection() = default;
  // start, span: parametric angles of both ellipses (non-finite ones throw
  // vcShapesError::BadGeom); forward: arrows drawn on the section point
  // along +span when set, against it otherwise.
  vcEllipseAnnulusSection(const vcEllipseAnnulus& annulus, const vcRadian& start, const vcRadian& span, bool forward);
  // Throws BadGeom when inner does not lie within outer.
  vcEllipseAnnulusSection(const vcEllipse& inner, const vcEllipse& outer, const vcRadian& start, const vcRadian& span,
                          bool forward);

  // True when either ellipse is degenerate or the span is 0.
  bool degen() const;
  const vcRadian& start() const noexcept { return start_; }
  const vcRadian& span() const noexcept { return span_; }
  bool forward() const noexcept { return forward_; }
  const vcEllipse& innerEllipse() const noexcept { return annulus_.inner(); }
  const vcEllipse& outerEllipse() const noexcept { return annulus_.outer(); }
  const vcEllipseAnnulus& annulus() const noexcept { return annulus_; }
  // The point at parametric angle t of each ellipse.
  vcVector<2> pointOnInner(const vcRadian& t) const { return innerEllipse().pointAt(t); }
  vcVector<2> pointOnOuter(const vcRadian& t) const { return outerEllipse().pointAt(t); }

  // Both ellipses mapped exactly; start shifts with the outer ellipse's
  // parametrisation. Similarities, and any map when the inner ellipse is a
  // scaled copy of the outer one about its center, keep the section exact;
  // otherwise the inner arc's ends slide along the mapped inner ellipse.
  vcEllipseAnnulusSection map(const vcXform<2>& x) const;
  // The same as distanceToPoint(p).
  double distToPoint(const vcVector<2>& p) const { return distanceToPoint(p); }

  // Outer ellipse image at 0, inner at 176, start at 352, span at 360,
  // forward flag at 368, and a reserved flag byte at 369 that is always 0.
  template <class Codec>
  static void image_(Codec& c, vcEllipse::vcEllipseGeom& outer, vcEllipse::vcEllipseGeom& inner, double& start,
                     double& span, bool& forward, bool& reserved) {
    outer.image_(c, 0);
    inner.image_(c, 176);
    c.f64(352, start);
    c.f64(360, span);
    c.flag(368, forward);
    c.flag(369, reserved);
  }
  void writeImage(unsigned char* out) const;
  // Throws vcShapesError::BadGeom for bytes that describe no valid section.
  static vcEllipseAnnulusSection readImage(const unsigned char* in);

  bool operator==(const vcEllipseAnnulusSection& o) const;
  bool operator!=(const vcEllipseAnnulusSection& o) const { return !(*this == o); }

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  // 0 inside; outside, the exact distance to the boundary.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isClosedContour() const override { return true; }
  bool isRegion() const override { return true; }
  bool hasTangent() const override { return !degen(); }
  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  // Along the nearest boundary piece, in the boundary's direction of travel.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The boundary contour, starting at the outer arc's start. Each of its four
  // pieces gets at least one chord; corners are the pieces' ends.
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // From start + span over -span, forward kept: arrows turn round.
  vcShapeHandle reverse() const override;

private:
  friend class vcShapeBase<vcEllipseAnnulusSection>;
  void archiveFields_(vcArchive& ar);

  vcEllipseAnnulus annulus_;
  vcRadian start_;
  vcRadian span_;
  bool forward_ = true;
};
extern template class vcShapeBase<vcEllipseAnnulusSection>;
