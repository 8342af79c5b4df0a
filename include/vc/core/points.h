// Point shapes: vc2Point (one point), vcPointSet (a list of points) and
// vcCross (a cross marker whose arms are measured in display pixels).
//
// vcPoint of <vc/core/vector.h> stays the plain position value; vc2Point is
// the same position as a vcShape, for code that handles shapes generically.
// Coordinates are client coordinates; angles are vcRadian values from +x
// toward +y (see <vc/core/shape.h>).
#pragma once

#include <cstddef>
#include <vector>

#include <vc/core/angle.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

// Exchanges a list of points: a 32-bit count, then each point's x and y.
// Loading checks the count against the remaining input before allocating,
// rejects non-finite coordinates with vcArchive::BadData (owner names the
// class in the message) and leaves pts unchanged on failure.
void vfSerializePoints(vcArchive& ar, std::vector<vcVector<2>>& pts, const char* owner);

// A point as a shape: neither contour nor region. Its distance is the
// Euclidean one; its bounding box is the zero-size rectangle at the point.
class vc2Point : public vcShapeBase<vc2Point> {
public:
  // (0, 0).
  vc2Point() = default;
  // x, y: client coordinates. Throws vcShapesError::BadGeom when not finite.
  vc2Point(double x, double y);
  explicit vc2Point(const vcVector<2>& p);

  double x() const noexcept { return p_.x(); }
  double y() const noexcept { return p_.y(); }
  vcPoint point() const { return vcPoint(p_); }
  const vcVector<2>& vector() const noexcept { return p_; }
  operator vcPoint() const { return vcPoint(p_); }

  vc2Point map(const vcXform<2>& x) const { return vc2Point(x.mapPoint(p_)); }

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override { return p_.distance(p); }

  bool operator==(const vc2Point& o) const { return p_ == o.p_; }
  bool operator!=(const vc2Point& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vc2Point>;
  void archiveFields_(vcArchive& ar);

  vcVector<2> p_;
};
extern template class vcShapeBase<vc2Point>;

// Points kept in the order given: neither contour nor region. An empty set
// isEmpty(); its boundingBox and distanceToPoint throw
// vcShapesError::DegenerateShape.
class vcPointSet : public vcShapeBase<vcPointSet> {
public:
  vcPointSet() = default;
  // points: client coordinates. Throws vcShapesError::BadGeom when a
  // coordinate is not finite.
  explicit vcPointSet(const std::vector<vcVector<2>>& points);
  explicit vcPointSet(const std::vector<vcPoint>& points);

  const std::vector<vcVector<2>>& points() const noexcept { return pts_; }
  std::size_t numPoints() const noexcept { return pts_.size(); }
  // Point i; throws vcBadArgument when i is not below numPoints().
  const vcVector<2>& point(std::size_t i) const;
  // Throws vcShapesError::BadGeom when p is not finite.
  void addPoint(const vcVector<2>& p);

  vcPointSet map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  // The distance to the nearest point of the set.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isEmpty() const override { return pts_.empty(); }
  // Each point as a vc2Point.
  std::vector<vcShapeHandle> decompose() const override;

  bool operator==(const vcPointSet& o) const { return pts_ == o.pts_; }
  bool operator!=(const vcPointSet& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcPointSet>;
  void archiveFields_(vcArchive& ar);

  std::vector<vcVector<2>> pts_;
};
extern template class vcShapeBase<vcPointSet>;

// A cross marker: two perpendicular strokes through center, the first along
// angle. size is the arm length in display pixels, which the drawing code
// keeps in pixels whatever the client-to-display map, so as geometry the cross
// is its center: distanceToPoint is the distance to the center and the
// bounding box is the zero-size rectangle there. map moves the center and maps
// the angle, leaving size unchanged.
//
// Fixed image (kImageSize = 32 bytes, little-endian): center x and y (doubles
// at 0 and 8), angle in radians (double at 16), size (32-bit integer at 24),
// then 4 zero bytes.
class vcCross : public vcShapeBase<vcCross> {
public:
  static constexpr std::size_t kImageSize = 32;

  // Center (0, 0), angle 0, size 0.
  vcCross() = default;
  // center: client coordinates; angle: direction of the first stroke (radians,
  // from +x toward +y); size: arm length in pixels, 0 to 2^31 - 1.
  // Throws vcShapesError::BadGeom for a non-finite center or angle or a size
  // out of range.
  vcCross(const vcVector<2>& center, const vcRadian& angle, long size);

  const vcVector<2>& center() const noexcept { return center_; }
  const vcRadian& angle() const noexcept { return angle_; }
  long size() const noexcept { return size_; }

  // Throws vcMathError when x collapses the stroke direction to zero.
  vcCross map(const vcXform<2>& x) const;

  // out must hold kImageSize bytes.
  void writeImage(unsigned char* out) const;
  // in must hold kImageSize bytes. Throws vcShapesError::BadGeom for a
  // non-finite number or a negative size.
  static vcCross readImage(const unsigned char* in);

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override { return center_.distance(p); }

  bool operator==(const vcCross& o) const {
    return center_ == o.center_ && angle_ == o.angle_ && size_ == o.size_;
  }
  bool operator!=(const vcCross& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcCross>;
  void archiveFields_(vcArchive& ar);

  template <class Codec>
  void image_(Codec& c);
  void check_() const;

  vcVector<2> center_;
  vcRadian angle_;
  long size_ = 0;
};
extern template class vcShapeBase<vcCross>;

// The archive form of a cross value: its persistent form exchanged in place
// (version bytes and fields, no class name).
vcArchive& operator||(vcArchive& ar, vcCross& c);
