// vcAffineRectangle: a parallelogram, the affine image of a rectangle.
//
// It is kept as three corners: Po (the origin corner), Px (the corner at the
// end of the first side from Po) and Py (the corner at the end of the second
// side from Po); the fourth corner, Popp = Px + Py - Po, is opposite Po. The
// boundary runs Po -> Px -> Popp -> Py -> Po. Coordinates are client
// coordinates; angles follow <vc/core/angle.h>.
#pragma once

#include <cstddef>
#include <vector>

#include <vc/core/angle.h>
#include <vc/core/genrect.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

class vcAffineRectangle : public vcShapeBase<vcAffineRectangle> {
public:
  // The unit square: Po (0, 0), Px (1, 0), Py (0, 1).
  vcAffineRectangle();
  // center: the middle of the parallelogram (client units); x, y: the lengths
  // of the first and the second side (client units, >= 0); r1: rotation, the
  // angle of the first side from +x; r2: skew, the angle of the second side
  // less r1 + pi/2 (0 gives a rectangle; a positive skew turns the second side
  // further from the first). Throws vcShapesError::BadGeom for a non-finite
  // value or a negative side length.
  vcAffineRectangle(const vcVector<2>& center, double x, double y, const vcRadian& r1, const vcRadian& r2);
  // v0: Po; v1: Px; v2: Py (client units). Collinear corners give a
  // parallelogram without area. Throws vcShapesError::BadGeom for a non-finite value.
  vcAffineRectangle(const vcVector<2>& v0, const vcVector<2>& v1, const vcVector<2>& v2);

  const vcVector<2>& cornerPo() const noexcept { return v0_; }
  const vcVector<2>& cornerPx() const noexcept { return v1_; }
  const vcVector<2>& cornerPy() const noexcept { return v2_; }
  vcVector<2> cornerPopp() const { return v1_ + v2_ - v0_; }
  vcVector<2> center() const { return (v1_ + v2_) * 0.5; }
  // Length of the first side (Po to Px) and of the second (Po to Py).
  double xLength() const { return v0_.distance(v1_); }
  double yLength() const { return v0_.distance(v2_); }
  // The angle of the first side.
  vcRadian rotation() const { return (v1_ - v0_).angle(); }
  // The angle of the second side less rotation() + pi/2, in [-pi, pi).
  vcRadian skew() const;
  // The same parallelogram as a vcGenRect with square corners (corner 0 at Po,
  // corner 1 at Px, corner 3 at Py).
  vcGenRect genRect() const;

  // The parallelogram through the mapped corners.
  vcAffineRectangle map(const vcXform<2>& x) const;

  // Always a vcAffineRectangle.
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // The box of the four corners.
  vcRect boundingBox() const override;
  // 0 inside, else the distance to the nearest side.
  double distanceToPoint(const vcVector<2>& p) const override;

  bool isClosedContour() const override { return true; }
  bool isRegion() const override { return true; }
  // No area: the corners are collinear.
  bool isEmpty() const override;
  bool hasTangent() const override { return true; }

  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  // Direction of the side nearest to p, following the boundary's direction.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The boundary through the four corners (vcGenRect::sampleOutline).
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;

  // Exact comparison of the three corners.
  bool operator==(const vcAffineRectangle& o) const { return v0_ == o.v0_ && v1_ == o.v1_ && v2_ == o.v2_; }
  bool operator!=(const vcAffineRectangle& o) const { return !(*this == o); }

  // Fixed image: Po, Px, Py as little-endian double pairs at bytes 56, 72 and
  // 88; every other byte zero.
  static constexpr std::size_t kImageSize = 204;
  void writeImage(unsigned char* out) const;
  // Throws vcShapesError::BadGeom when a value is not finite.
  static vcAffineRectangle readImage(const unsigned char* in);

private:
  friend class vcShapeBase<vcAffineRectangle>;
  // Archive form: version byte 0, the vcShape part, Po, Px, Py.
  void archiveFields_(vcArchive& ar);
  template <class Codec>
  void image_(Codec& c);

  vcVector<2> v0_;
  vcVector<2> v1_{1.0, 0.0};
  vcVector<2> v2_{0.0, 1.0};
};
extern template class vcShapeBase<vcAffineRectangle>;
