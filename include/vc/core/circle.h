// Circles: vcCircle (a disk and its circle) and vcAnnulus (the ring between
// two concentric circles).
//
// Coordinates and radii are client units; angles follow <vc/core/shape.h>.
// Circles carry no handedness: the contour of a circle starts at
// center + (radius, 0) and runs in the +angle direction, and a mirrored circle
// is the same circle.
#pragma once

#include <vector>

#include <vc/core/ellipse.h>
#include <vc/core/genrect.h>
#include <vc/core/rect.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;

class vcCircle : public vcShapeBase<vcCircle> {
public:
  // The circle of radius 0 at the origin.
  vcCircle() = default;
  // radius >= 0 (else vcShapesError::BadRadius); a non-finite center throws BadGeom.
  vcCircle(const vcVector<2>& center, double radius);

  const vcVector<2>& center() const noexcept { return center_; }
  double radius() const noexcept { return radius_; }
  // The circle as a right-handed vcEllipse with rotation 0.
  vcEllipse ellipse() const { return vcEllipse(*this); }

  // The exact image under any affine map, mirrored ones giving left-handed ellipses.
  vcEllipse map(const vcXform<2>& x) const;

  bool operator==(const vcCircle& o) const { return center_ == o.center_ && radius_ == o.radius_; }
  bool operator!=(const vcCircle& o) const { return !(*this == o); }

  // A vcCircle under a similarity (uniform scale, rotation, reflection,
  // translation, within 1e-12 of the matrix's size), a vcEllipse2 otherwise.
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  // 0 inside; outside, the distance to the circle.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isClosedContour() const override { return true; }
  bool isRegion() const override { return true; }
  bool hasTangent() const override { return radius_ > 0.0; }
  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;

private:
  friend class vcShapeBase<vcCircle>;
  // Archive form: center, radius.
  void archiveFields_(vcArchive& ar);

  vcVector<2> center_;
  double radius_ = 0.0;
};
extern template class vcShapeBase<vcCircle>;

// The closed ring of points whose distance from center lies between the two
// radii. Its boundary is the outer circle, run in the +angle direction, and
// the inner circle run the other way.
class vcAnnulus : public vcShapeBase<vcAnnulus> {
public:
  // Both radii 0 at the origin.
  vcAnnulus() = default;
  // 0 <= innerRadius <= outerRadius, client units (else vcShapesError::BadRadius).
  vcAnnulus(const vcVector<2>& center, double innerRadius, double outerRadius);

  const vcVector<2>& center() const noexcept { return center_; }
  double innerRadius() const noexcept { return inner_; }
  double outerRadius() const noexcept { return outer_; }
  vcCircle innerCircle() const { return vcCircle(center_, inner_); }
  vcCircle outerCircle() const { return vcCircle(center_, outer_); }

  // The exact image under any affine map: two fully rounded generalised
  // rectangles (the mapped circles).
  vcGenAnnulus map(const vcXform<2>& x) const;

  bool operator==(const vcAnnulus& o) const { return center_ == o.center_ && inner_ == o.inner_ && outer_ == o.outer_; }
  bool operator!=(const vcAnnulus& o) const { return !(*this == o); }

  // A vcAnnulus under a similarity, a vcGenAnnulus otherwise.
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isRegion() const override { return true; }
  bool hasTangent() const override { return outer_ > 0.0; }
  // Length of both circles.
  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  // Along the nearer circle, in its direction of travel.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The boundary has two contours: sample() throws BadGeom; sample the
  // circles that decompose() gives.
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The outer circle, then the inner one.
  std::vector<vcShapeHandle> decompose() const override;

private:
  friend class vcShapeBase<vcAnnulus>;
  // Archive form: center, inner radius, outer radius.
  void archiveFields_(vcArchive& ar);

  vcVector<2> center_;
  double inner_ = 0.0;
  double outer_ = 0.0;
};
extern template class vcShapeBase<vcAnnulus>;
