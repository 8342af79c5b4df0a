// Ellipses: vcEllipse (an oriented ellipse with a fixed 48-byte image),
// vcEllipse2 (the plain radii/rotation/center form), and vcEllipseAnnulus
// (the region between two ellipses).
//
// Coordinates are client coordinates; angles are vcRadian values from +x
// toward +y (see <vc/core/shape.h>). An ellipse with center c, radii (a, b)
// and rotation r is parametrised by its parametric angle t:
//
//   P(t) = c + R(r) (a cos t, s b sin t),   s = +1, or -1 when left-handed,
//
// so radius a lies along the direction r and radius b along r + pi/2. A
// right-handed ellipse runs in the +angle direction as t grows; the mirror
// image of one (a map with negative determinant) is left-handed and runs the
// other way. Its closed contour starts and ends at P(0).
#pragma once

#include <cstddef>
#include <vector>

#include <vc/core/angle.h>
#include <vc/core/imagecodec.h>
#include <vc/core/rect.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcCircle;

class vcEllipse : public vcShapeBase<vcEllipse> {
public:
  // The ellipse's parameters as plain data: the layout of its fixed image.
  struct vcEllipseGeom {
    double x = 0.0;  // center, client units
    double y = 0.0;
    double a = 0.0;         // radius along the rotated x axis, client units, >= 0
    double b = 0.0;         // radius along the rotated y axis, client units, >= 0
    double rotation = 0.0;  // radians, direction of radius a
    // The parametrisation runs in the -angle direction (a mirror image).
    bool leftHanded = false;
    // A radius is 0: the ellipse is a line segment or a point, with no area.
    // Always recomputed from the radii when an ellipse is made from a geom.
    bool degenerate = false;

    // Five doubles at off + 0..39, flag bytes at off + 40 (leftHanded) and
    // off + 41 (degenerate); the 48 bytes from off are the ellipse's image.
    template <class Codec>
    void image_(Codec& c, std::size_t off = 0) {
      c.f64(off + 0, x);
      c.f64(off + 8, y);
      c.f64(off + 16, a);
      c.f64(off + 24, b);
      c.f64(off + 32, rotation);
      c.flag(off + 40, leftHanded);
      c.flag(off + 41, degenerate);
    }
    bool operator==(const vcEllipseGeom&) const = default;
  };

  static constexpr std::size_t kImageSize = 48;

  // The point ellipse at the origin.
  vcEllipse();
  // Throws vcShapesError::BadRadius for a negative or non-finite radius and
  // BadGeom for a non-finite center or rotation. g.degenerate is recomputed.
  explicit vcEllipse(const vcEllipseGeom& g);
  // center: client units; radii: (a, b), client units, each >= 0;
  // rotation: direction of radius a.
  vcEllipse(const vcVector<2>& center, const vcVector<2>& radii, const vcRadian& rotation, bool leftHanded = false);
  // The image of the unit circle under unitMap (any affine map, singular ones
  // giving degenerate ellipses). The result has a >= b; its parametric angle
  // may differ from the unit circle's by a constant.
  explicit vcEllipse(const vcXform<2>& unitMap);
  // The circle as a right-handed ellipse with rotation 0.
  explicit vcEllipse(const vcCircle& c);

  const vcEllipseGeom& geom() const noexcept { return g_; }
  vcVector<2> center() const { return vcVector<2>(g_.x, g_.y); }
  // (a, b).
  vcVector<2> radii() const { return vcVector<2>(g_.a, g_.b); }
  vcRadian rotation() const { return vcRadian(g_.rotation); }
  bool isLeftHanded() const noexcept { return g_.leftHanded; }
  bool isDegenerate() const noexcept { return g_.degenerate; }

  // The affine map that takes the unit circle's point (cos t, sin t) to P(t).
  vcXform<2> unit() const;
  // P(t) for the parametric angle t.
  vcVector<2> pointAt(const vcRadian& t) const;
  // The parametric angle of the point of the ellipse nearest p.
  vcRadian nearestAngle(const vcVector<2>& p) const;

  // The ellipse mapped by x: the exact image, with handedness flipped by a
  // mirroring map. Similarities keep the parametric angle of each point;
  // other maps re-derive the axes (a >= b) from the mapped conic.
  vcEllipse map(const vcXform<2>& x) const;
  // The same as distanceToPoint(p).
  double distToPoint(const vcVector<2>& p) const { return distanceToPoint(p); }

  void writeImage(unsigned char* out) const;
  // Throws vcShapesError::BadGeom for bytes that describe no valid ellipse
  // (non-finite numbers, negative radii, flag bytes other than 0 or 1, a
  // degenerate flag that disagrees with the radii).
  static vcEllipse readImage(const unsigned char* in);

  bool operator==(const vcEllipse& o) const { return g_ == o.g_; }
  bool operator!=(const vcEllipse& o) const { return !(g_ == o.g_); }

  // vcShape: a closed region bounded by the contour P(t), t from 0 to 2 pi.
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  // 0 inside; outside, the exact distance to the contour.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isClosedContour() const override { return true; }
  bool isRegion() const override { return true; }
  bool hasTangent() const override { return !(g_.a == 0.0 && g_.b == 0.0); }
  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  // Throws NoTangent at the ends of a degenerate ellipse and for a point ellipse.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The same ellipse with the other handedness: the same start point, run
  // the other way.
  vcShapeHandle reverse() const override;

private:
  friend class vcShapeBase<vcEllipse>;
  void archiveFields_(vcArchive& ar);

  vcEllipseGeom g_;
};
extern template class vcShapeBase<vcEllipse>;

// Archive form of a geom: center, radii, rotation as doubles, then the two
// flags. Loading validates it (vcArchive::BadData) and changes g only on success.
vcArchive& operator||(vcArchive& ar, vcEllipse::vcEllipseGeom& g);

// An ellipse given by its radii, rotation and center, without a handedness:
// its contour runs in the +angle direction, mirrored or not.
class vcEllipse2 : public vcShapeBase<vcEllipse2> {
public:
  // The point ellipse at the origin.
  vcEllipse2() = default;
  // radii: (a, b), client units, each >= 0 (else vcShapesError::BadRadius);
  // rotation: direction of radius a; center: client units.
  vcEllipse2(const vcVector<2>& radii, const vcRadian& rotation, const vcVector<2>& center);

  const vcVector<2>& radii() const noexcept { return radii_; }
  const vcRadian& rotation() const noexcept { return rotation_; }
  const vcVector<2>& center() const noexcept { return center_; }
  // The affine map from the unit circle: center + R(rotation) diag(a, b).
  vcXform<2> ellFromUnitCirc() const;
  // The same ellipse as a right-handed vcEllipse.
  vcEllipse ellipse() const;

  // The exact image; axes re-derived from the mapped conic unless x is a
  // similarity, which keeps radii order and rotation.
  vcEllipse2 map(const vc2XformLinear& x) const;
  vcEllipse2 map(const vcXform<2>& x) const;

  bool operator==(const vcEllipse2& o) const;
  bool operator!=(const vcEllipse2& o) const { return !(*this == o); }

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isClosedContour() const override { return true; }
  bool isRegion() const override { return true; }
  bool hasTangent() const override { return !(radii_.x() == 0.0 && radii_.y() == 0.0); }
  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;

private:
  friend class vcShapeBase<vcEllipse2>;
  void archiveFields_(vcArchive& ar);

  vcVector<2> radii_;
  vcRadian rotation_;
  vcVector<2> center_;
};
extern template class vcShapeBase<vcEllipse2>;

// The region between two ellipses: inside the outer one (boundary included)
// and not strictly inside the inner one. The inner ellipse must lie within
// the outer one. The boundary is the outer contour, run as the outer ellipse
// runs, and the inner contour run the other way.
class vcEllipseAnnulus : public vcShapeBase<vcEllipseAnnulus> {
public:
  // Both ellipses the point ellipse at the origin.
  vcEllipseAnnulus() = default;
  // Throws vcShapesError::BadGeom when inner does not lie within outer
  // (within 1e-9 of outer's size).
  vcEllipseAnnulus(const vcEllipse& inner, const vcEllipse& outer);

  const vcEllipse& inner() const noexcept { return inner_; }
  const vcEllipse& outer() const noexcept { return outer_; }

  vcEllipseAnnulus map(const vcXform<2>& x) const;

  bool operator==(const vcEllipseAnnulus& o) const { return inner_ == o.inner_ && outer_ == o.outer_; }
  bool operator!=(const vcEllipseAnnulus& o) const { return !(*this == o); }

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isRegion() const override { return true; }
  bool hasTangent() const override { return outer_.hasTangent(); }
  // Length of both boundary contours.
  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  // Along the nearer boundary contour, in its direction of travel.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The boundary has two contours: sample() throws BadGeom; sample the
  // ellipses that decompose() gives.
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The outer ellipse, then the inner one.
  std::vector<vcShapeHandle> decompose() const override;

private:
  friend class vcShapeBase<vcEllipseAnnulus>;
  void archiveFields_(vcArchive& ar);

  vcEllipse inner_;
  vcEllipse outer_;
};
extern template class vcShapeBase<vcEllipseAnnulus>;
