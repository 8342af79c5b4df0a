// Infinite straight lines: vcLine (a point and a unit direction, the form the
// drawing code uses) and vcFLine (a unit normal and an offset, the form for
// computing feet, distances and intersections).
//
// Coordinates are client coordinates; angles are vcRadian values from +x
// toward +y (see <vc/core/shape.h>). Both lines are unbounded: isFinite() is
// false and boundingBox() throws vcShapesError::BadGeom. They are not
// contours (they have no ends) but have a tangent everywhere.
#pragma once

#include <vector>

#include <vc/core/angle.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

// The line through point() running along direction().
//
// It keeps two vectors, in this order: the unit direction, then a point on the
// line. That order is the one of the two-vector constructor, of the archive
// form and of any record that stores "the line's two vectors".
class vcLine : public vcShapeBase<vcLine> {
public:
  // The x axis: direction (1, 0) through (0, 0).
  vcLine();
  // angle: direction of the line (radians, from +x toward +y);
  // point: any point of the line, client coordinates.
  vcLine(const vcRadian& angle, const vcVector<2>& point);
  // direction: any non-zero vector along the line, scaled here to unit length
  //   (a direction already of unit length within rounding is kept bit for bit);
  // point: any point of the line, client coordinates.
  // Throws vcShapesError::BadGeom for a zero or non-finite direction or a
  // non-finite point.
  vcLine(const vcVector<2>& direction, const vcVector<2>& point);

  const vcVector<2>& direction() const noexcept { return dir_; }
  const vcVector<2>& point() const noexcept { return point_; }
  // The angle of direction(), in (-pi, pi].
  vcRadian angle() const { return dir_.angle(); }

  // The foot of the perpendicular from p.
  vcVector<2> closestPoint(const vcVector<2>& p) const;

  // The image line: point and direction mapped. Throws vcShapesError::BadGeom
  // when x collapses the direction to zero.
  vcLine map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isFinite() const override { return false; }
  bool hasTangent() const override { return true; }
  // direction(), wherever p is.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The same line run the other way (direction negated, same point).
  vcShapeHandle reverse() const override;

  // Same point and direction, exactly (not the same set of points).
  bool operator==(const vcLine& o) const { return dir_ == o.dir_ && point_ == o.point_; }
  bool operator!=(const vcLine& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcLine>;
  void archiveFields_(vcArchive& ar);

  vcVector<2> dir_{1.0, 0.0};
  vcVector<2> point_;
};
extern template class vcShapeBase<vcLine>;

// The line of the points p with normal() . p == offset().
//
// The normal is the direction turned by +90 degrees, so a line built from p1
// to p2 runs along direction() = unit(p2 - p1) and has the normal on the +angle
// side of that direction. offset() is the signed distance of the line from the
// origin along the normal.
class vcFLine : public vcShapeBase<vcFLine> {
public:
  // The x axis: normal (0, 1), offset 0.
  vcFLine();
  // The line through p1 and p2 (client coordinates), running from p1 toward
  // p2. Throws vcShapesError::DegenerateShape when the points are equal and
  // vcShapesError::BadGeom when a coordinate is not finite.
  vcFLine(const vcVector<2>& p1, const vcVector<2>& p2);
  // normal: any non-zero vector normal to the line; offset: normal . p for
  // the points p of the line. Both are scaled so that the normal is of unit
  // length. Throws vcShapesError::BadGeom for a zero or non-finite normal or
  // a non-finite offset.
  vcFLine(const vcVector<2>& normal, double offset);
  // The same line as l, running the same way.
  explicit vcFLine(const vcLine& l);

  const vcVector<2>& normal() const noexcept { return n_; }
  double offset() const noexcept { return d_; }
  // The unit direction of travel: the normal turned by -90 degrees.
  vcVector<2> direction() const { return vcVector<2>(n_.y(), -n_.x()); }
  // The angle of direction(), in (-pi, pi].
  vcRadian angle() const { return direction().angle(); }
  // The point of the line nearest the origin.
  vcVector<2> point() const { return n_ * d_; }
  // Signed distance of p from the line: positive on the normal's side.
  double signedDistance(const vcVector<2>& p) const { return n_.dot(p) - d_; }

  // The foot of the perpendicular from p.
  vcVector<2> closestPoint(const vcVector<2>& p) const;
  // The point common to both lines: one point, or none when the lines are
  // parallel (their normals' cross product within 1e-15 of 0). The same line
  // is parallel to itself, so it too gives none.
  std::vector<vcVector<2>> intersection(const vcFLine& other) const;

  // The image line, running the image way. Throws vcShapesError::BadGeom when
  // x collapses the line's direction to zero.
  vcFLine map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isFinite() const override { return false; }
  bool hasTangent() const override { return true; }
  // direction(), wherever p is.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The same line run the other way (normal and offset negated).
  vcShapeHandle reverse() const override;

  // Same normal and offset, exactly.
  bool operator==(const vcFLine& o) const { return n_ == o.n_ && d_ == o.d_; }
  bool operator!=(const vcFLine& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcFLine>;
  void archiveFields_(vcArchive& ar);

  vcVector<2> n_{0.0, 1.0};
  double d_ = 0.0;
};
extern template class vcShapeBase<vcFLine>;
