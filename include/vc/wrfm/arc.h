// vc2SegmentArc: the circular (or, under an affine map, elliptical) boundary
// segment of wireframes, SMD polys and the outline rasteriser.
//
// The arc is a circle arc in a local frame (center, radius, start angle and
// signed span, all in that frame) carried into client coordinates by an
// affine xform. Members whose names end in an underscore, and the local*()
// accessors, work in the local frame; every other member takes and returns
// client coordinates. Angles are vcDegree values from +x toward +y (the
// convention of <vc/core/angle.h>); a positive span sweeps toward +angle in
// the local frame. A mirroring xform reverses the sweep in client
// coordinates, which angleSpan() reports.
#pragma once

#include <iosfwd>
#include <vector>

#include <vc/core/angle.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/line.h>
#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/wrfm/lineseg.h>

class vcArchive;

// The largest |span| (degrees) that is still a straight line: a segment whose
// span lies within it of 0 is a line, and no arc is made with such a span.
inline constexpr double vcStraightSpan = 1e-15;

class vc2SegmentArc {
public:
  // The full unit circle about the origin: radius 1, start 0, span 360.
  vc2SegmentArc() = default;
  // center: local = client coordinates (the xform is the identity);
  // radius: client units, > 0 (else vcShapesError::DegenerateShape);
  // startAngle, angleSpan: degrees. Non-finite values throw vcShapesError::BadGeom.
  vc2SegmentArc(const vcVector<2>& center, double radius, vcDegree startAngle, vcDegree angleSpan);
  // The arc from p1 to p2 (client coordinates) sweeping angleSpan degrees.
  // Throws vcShapesError::DegenerateShape when |angleSpan| <= vcStraightSpan, when it
  // lies outside [-360, 360], or when p1 equals p2.
  vc2SegmentArc(const vcVector<2>& p1, const vcVector<2>& p2, vcDegree angleSpan);
  // The same point set, traversed the same way: the arc of the unit circle
  // carried by the ellipse's unit-circle map. The span is kept as given
  // (a full turn stays a full turn, a negative span keeps its points), only
  // limited to one turn either way. A degenerate ellipse throws
  // vcShapesError::DegenerateShape.
  explicit vc2SegmentArc(const vcEllipseArc& arc);
  explicit vc2SegmentArc(const vcEllipseArc2& arc);

  // The stored local description.
  const vcVector<2>& localCenter() const noexcept { return c_; }
  double localRadius() const noexcept { return r_; }
  vcDegree localStartAngle() const noexcept { return vcDegree(s_); }
  vcDegree localAngleSpan() const noexcept { return vcDegree(a_); }
  // Local to client coordinates.
  const vcXform<2>& xform() const noexcept { return x_; }

  // Client-coordinate queries. Angles are the directions of the mapped
  // radius vectors; t runs from 0 at p1() to 1 at p2().
  vcVector<2> center() const { return x_ * c_; }
  vcDegree startAngle() const;
  vcDegree endAngle() const;
  vcDegree midAngle() const;
  vcDegree angle(double t) const;
  vcVector<2> p1() const { return segPoint(0.0); }
  vcVector<2> p2() const { return segPoint(1.0); }
  vcVector<2> midPoint() const { return segPoint(0.5); }
  vcVector<2> segPoint(double t) const;
  // Directions of travel (from p1 toward p2) at those points.
  vcDegree startDirection() const { return direction(0.0); }
  vcDegree endDirection() const { return direction(1.0); }
  vcDegree midDirection() const { return direction(0.5); }
  vcDegree direction(double t) const;

  // Distance from center() to arcPoint(a): the radius in client units under
  // a similarity, the radius in the direction a otherwise.
  double radius(const vcDegree& a) const;
  // The point of the (full) mapped circle in the client direction a from center().
  vcVector<2> arcPoint(vcDegree a) const;
  // The tangent line at arcPoint(a), running toward +angle in the local frame.
  vcFLine tangent(vcDegree a) const;
  // The tangent line at the parameter t.
  vcFLine tangent(double t) const;

  // The signed sweep in client coordinates: the local span, negated by a
  // mirroring xform (negative determinant), adjusted to the mapped end angles
  // under non-similar maps.
  vcDegree angleSpan() const;
  // Length of the arc in client units (exact also for elliptical arcs).
  double length() const;
  // The chord |p2 - p1|.
  double segmentLength() const { return p1().distance(p2()); }
  // Centroid of the arc curve (not of the sector), client coordinates.
  vcVector<2> centerOfMass() const;
  vcRect boundingBox() const;
  // The arc as core shapes, client coordinates.
  vcEllipseArc ellipseArc() const;
  vcEllipseArc2 ellipseArc2() const;

  // The point of the arc nearest p (client coordinates). Exact for every
  // xform: elliptical arcs are searched along the arc.
  vcVector<2> closestPoint(const vcVector<2>& p) const;
  double distToPoint(const vcVector<2>& p) const { return closestPoint(p).distance(p); }
  // Whether the client direction a, seen from center(), falls on the arc.
  // inclusive: the ends and anything within 1e-13 of the span of them count;
  // otherwise they are excluded. A span of a full turn or more takes every angle.
  bool validAngle(const vcDegree& a, bool inclusive) const;
  // p lies on the arc within 1e-15 of its radius. The flag is unused.
  bool validPoint(const vcVector<2>& p, bool inclusive = true) const;
  // Whether the direction of p from center() falls on the arc (validAngle);
  // false at center() itself.
  bool inRange(const vcVector<2>& p, bool inclusive) const;

  // Points common to both (client coordinates). exclusive leaves out points
  // at the ends of either. A touching pair gives its one point; concentric
  // circles give none, even when they coincide.
  std::vector<vcVector<2>> intersection(const vc2SegmentArc& o, bool exclusive) const;
  std::vector<vcVector<2>> intersection(const vcFLine& f, bool exclusive) const;
  std::vector<vcVector<2>> intersection(const vc2SegmentLine& s, bool exclusive) const;

  // Local frame: the point nearest q, and the angle test of validAngle.
  vcVector<2> closestPoint_(const vcVector<2>& q) const;
  bool validAngle_(const vcDegree& a, bool inclusive) const;

  // Mapped start angle, client span, mapped center and three radii, each
  // within 1e-15 (absolute); identical descriptions are always equal.
  bool operator==(const vc2SegmentArc& o) const;
  bool operator!=(const vc2SegmentArc& o) const { return !(*this == o); }

  // The same local arc under x composed after the arc's xform. A singular
  // result throws vcShapesError::DegenerateShape.
  friend vc2SegmentArc operator*(const vcXform<2>& x, const vc2SegmentArc& a);
  friend vc2SegmentArc operator*(const vc2Rigid& r, const vc2SegmentArc& a);
  // Version byte 1, center, radius, start, span, xform. Version 0 (no xform)
  // is read with the identity. Loading rejects a non-finite value, a radius
  // <= 0 or a singular xform with vcArchive::BadData, and leaves a unchanged
  // on any failure.
  friend vcArchive& operator||(vcArchive& ar, vc2SegmentArc& a);

private:
  // Local point and direction of travel at local angle deg.
  vcVector<2> localPoint_(double deg) const;
  bool similar_() const;

  vcVector<2> c_;
  double r_ = 1.0;
  double s_ = 0.0;
  double a_ = 360.0;
  vcXform<2> x_;
};

// "center=" x " " y, "radius=" radius(0), "startAngle=", "angleSpan=", each
// on its own line in client terms, then an empty line.
std::ostream& operator<<(std::ostream& os, const vc2SegmentArc& a);
