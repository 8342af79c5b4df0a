// Generalised rectangles: vcGenRect (a rotated, skewed rectangle with rounded
// corners) and vcGenAnnulus (the region between two of them).
//
// A vcGenRect is the unit square [-1, 1] x [-1, 1] mapped by a 2x2 matrix M and
// moved to a center c: every point is c + M u for u in the (rounded) unit
// square. The columns of M are therefore half the sides: corner k is
// c + M (+-1, +-1), in the order (-1, -1), (1, -1), (1, 1), (-1, 1). M may be
// any finite matrix: rotated, skewed, mirrored, or singular (a rectangle
// collapsed onto a segment or a point, which has no area).
//
// Rounding (rx, ry), each in [0, 1], rounds the corners of the unit square
// with quarter ellipses of radii rx (along the unit x axis) and ry (along the
// unit y axis): 0 gives square corners, 1 makes the rounding take the whole
// half-side along that axis. A rounding of 0 on either axis gives square
// corners; (1, 1) makes the rectangle the ellipse inscribed in its corners.
// Mapped by M the corner roundings become elliptic arcs.
//
// The boundary is one closed contour. It runs from the start of the first side
// (unit point (-1 + rx, -1), corner 0 itself for square corners) toward
// corner 1, then round through corners 2, 3 and 0: from +x toward +y in the unit
// frame, the library's positive angle sense unless M mirrors. Coordinates are
// client coordinates; angles follow <vc/core/angle.h>.
#pragma once

#include <cstddef>
#include <vector>

#include <vc/core/angle.h>
#include <vc/core/matrix.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcEllipse;
class vcRect;

class vcGenRect : public vcShapeBase<vcGenRect> {
public:
  // The description used by drawing code.
  struct vcGenRectData {
    // c + M (-1, -1), c + M (1, -1), c + M (1, 1), c + M (-1, 1): the corners
    // of the unrounded rectangle, in contour order.
    vcVector<2> corners[4];
    // The rounding of the corners along the first and the second side, in [0, 1].
    double xRounding = 0.0;
    double yRounding = 0.0;
    // Angle of the first side (corner 0 to corner 1).
    vcRadian orientation;
    // Angle of the second side (corner 0 to corner 3) less orientation + pi/2,
    // in [-pi, pi): 0 for a rectangle, within (-pi/2, pi/2) unless M mirrors.
    vcRadian skew;
  };

  // The square [-1, 1] x [-1, 1] with square corners.
  vcGenRect();
  // center: c (client units); m: M, the map of the unit square onto the
  // rectangle about its center; rounding: (rx, ry), each in [0, 1].
  // Throws vcShapesError::BadGeom for a non-finite value or a rounding outside [0, 1].
  vcGenRect(const vcVector<2>& center, const vcMatrix<2>& m, const vcVector<2>& rounding);
  // center: c; size: (width, height), the full side lengths (client units, >= 0);
  // angle: rotation of the width side from +x; rounding: (rx, ry) in [0, 1].
  // M is rotation(angle) * diag(width / 2, height / 2). Throws vcShapesError::BadGeom
  // for a non-finite value, a negative size or a rounding outside [0, 1].
  vcGenRect(const vcVector<2>& center, const vcVector<2>& size, const vcRadian& angle, const vcVector<2>& rounding);
  // The rectangle r with square corners: corner 0 is r.origin(), the first side
  // runs along +x. A negative size mirrors M; the corners stay r's corners.
  // Throws vcShapesError::BadGeom when r has a non-finite value.
  explicit vcGenRect(const vcRect& r);

  const vcVector<2>& center() const noexcept { return center_; }
  const vcMatrix<2>& matrix() const noexcept { return m_; }
  // (rx, ry).
  const vcVector<2>& rounding() const noexcept { return rounding_; }
  // Full lengths of the first and second side (twice the column lengths of M).
  vcVector<2> sideLengths() const;
  // Corner k (0..3) of the unrounded rectangle; other k throw vcBadArgument.
  vcVector<2> corner(int k) const;
  vcGenRectData data() const;
  // True when both roundings are 1: the rectangle is an ellipse.
  bool isEllipse() const noexcept { return rounding_.x() == 1.0 && rounding_.y() == 1.0; }
  // The ellipse inscribed in the corners: the unit circle mapped by M and moved
  // to the center. It is this shape when isEllipse(). Defined with vcEllipse
  // (<vc/core/ellipse.h>).
  vcEllipse ellipse() const;

  // The rectangle mapped by x: center x(c), matrix x.matrix() * M, same rounding.
  vcGenRect map(const vcXform<2>& x) const;

  // Samples the closed outline corners[0] -> corners[1] -> corners[2] ->
  // corners[3] -> corners[0] under params, as a vcGenRect with square corners
  // samples its boundary; shapes with exact corners of their own sample
  // through it so that their points are those corners.
  static void sampleOutline(const vcVector<2> (&corners)[4], const vcSampleParams& params,
                            std::vector<vcVector<2>>& result);

  // Always a vcGenRect.
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // Exact up to rounding: a rounded rectangle's box may exceed the exact one
  // by a few units in the last place, so that it holds every sampled point.
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;

  bool isClosedContour() const override { return true; }
  bool isRegion() const override { return true; }
  // No area: M is singular.
  bool isEmpty() const override;
  bool hasTangent() const override { return true; }

  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  // Direction of the contour at the boundary point nearest to p (at a square
  // corner, of the side that leaves it). Throws vcShapesError::NoTangent where
  // the boundary collapsed to a point.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // Sides are sampled by spacing; corner arcs by tolerance and spacing, evenly
  // in their parameter. When maxPoints caps the count the whole contour is
  // sampled evenly (in a length-weighted parameter) and corners are not kept.
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;

  // Exact comparison of center, matrix and rounding.
  bool operator==(const vcGenRect& o) const;
  bool operator!=(const vcGenRect& o) const { return !(*this == o); }

  // Fixed image, little-endian doubles: center at 0..15, the matrix elements
  // a, b, c, d of [[a b] [c d]] at 16..47, its determinant at 48..55 (written,
  // recomputed on reading), rounding (rx, ry) at 56..71, zeros to 124.
  static constexpr std::size_t kImageSize = 124;
  void writeImage(unsigned char* out) const;
  // Throws vcShapesError::BadGeom for values that make no vcGenRect.
  static vcGenRect readImage(const unsigned char* in);

private:
  friend class vcShapeBase<vcGenRect>;
  // Archive form: version byte 0, the vcShape part, center, the matrix elements
  // a, b, c, d, rounding.
  void archiveFields_(vcArchive& ar);
  friend class vcGenAnnulus;
  template <class Codec>
  void image_(Codec& c, std::size_t at);

  vcVector<2> center_;
  vcMatrix<2> m_;
  vcVector<2> rounding_;
};
extern template class vcShapeBase<vcGenRect>;

// The region between two nested generalised rectangles: the points of outer
// that are not strictly inside inner (inner's boundary belongs to the region).
// The boundary is two closed contours: outer's, run as outer runs, and
// inner's, run the other way.
class vcGenAnnulus : public vcShapeBase<vcGenAnnulus> {
public:
  // The unit square around a point at the origin (inner collapsed to (0, 0)).
  vcGenAnnulus();
  // Throws vcShapesError::BadGeom unless inner lies inside outer (checked at
  // inner's corners and at points along its corner arcs, to a relative 1e-9).
  vcGenAnnulus(const vcGenRect& inner, const vcGenRect& outer);
  // Two concentric circles as fully rounded squares: center in client units,
  // radii in client units with 0 <= innerRadius <= outerRadius, else
  // vcShapesError::BadRadius.
  vcGenAnnulus(const vcVector<2>& center, double innerRadius, double outerRadius);

  const vcGenRect& inner() const noexcept { return inner_; }
  const vcGenRect& outer() const noexcept { return outer_; }

  // Both rectangles mapped by x.
  vcGenAnnulus map(const vcXform<2>& x) const;

  // Always a vcGenAnnulus.
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // outer's box.
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;

  bool isRegion() const override { return true; }
  bool isEmpty() const override;
  bool hasTangent() const override { return true; }

  // The lengths of both boundaries.
  double perimeter() const override;
  // outer's area less inner's.
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  // Along the nearer boundary contour, in its direction of travel.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The boundary has two contours: sample() throws vcShapesError::BadGeom;
  // sample the rectangles that decompose() gives.
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The outer rectangle, then the inner one.
  std::vector<vcShapeHandle> decompose() const override;

  bool operator==(const vcGenAnnulus& o) const { return inner_ == o.inner_ && outer_ == o.outer_; }
  bool operator!=(const vcGenAnnulus& o) const { return !(*this == o); }

  // Fixed image: inner's vcGenRect image at 0..123, outer's at 124..247,
  // zeros to 284.
  static constexpr std::size_t kImageSize = 284;
  void writeImage(unsigned char* out) const;
  // Throws vcShapesError::BadGeom for values that make no vcGenAnnulus.
  static vcGenAnnulus readImage(const unsigned char* in);

private:
  friend class vcShapeBase<vcGenAnnulus>;
  // Archive form: version byte 0, the vcShape part, then inner's and outer's
  // fields as in the vcGenRect form (without their version and shape part).
  void archiveFields_(vcArchive& ar);
  template <class Codec>
  void image_(Codec& c);

  vcGenRect inner_;
  vcGenRect outer_;
};
extern template class vcShapeBase<vcGenAnnulus>;
