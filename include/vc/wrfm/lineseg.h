// vc2SegmentLine: the straight boundary segment of wireframes, SMD polys and
// the outline rasteriser.
//
// A small value type. Points are client coordinates; angles are vcDegree
// values from +x toward +y (the convention of <vc/core/angle.h>). Range and
// closeness tests allow a relative slack of 1e-14 of the segment's length,
// so that points computed on the segment (intersections, ends of other
// segments) count as on it.
#pragma once

#include <iosfwd>
#include <vector>

#include <vc/core/angle.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;

class vc2SegmentLine {
public:
  // Both ends at (0, 0): a placeholder, to be assigned before use.
  vc2SegmentLine() = default;
  // p1, p2: start and end, client coordinates. Throws
  // vcShapesError::DegenerateShape when they are exactly equal and
  // vcShapesError::BadGeom when a coordinate is not finite.
  vc2SegmentLine(const vcVector<2>& p1, const vcVector<2>& p2);
  // The segment's two end points, with the same checks.
  explicit vc2SegmentLine(const vcLineSeg& s);

  const vcVector<2>& p1() const noexcept { return p1_; }
  const vcVector<2>& p2() const noexcept { return p2_; }
  vcVector<2> midPoint() const { return (p1_ + p2_) * 0.5; }
  // p1 + (p2 - p1) t: t = 0 at p1, 1 at p2; other t lie on the extension.
  vcVector<2> segPoint(double t) const { return p1_ + (p2_ - p1_) * t; }

  // The direction of p2 - p1; the same at every point of the segment.
  vcDegree angle() const { return vcDegree((p2_ - p1_).angle()); }
  vcDegree direction(double) const { return angle(); }
  vcDegree startDirection() const { return angle(); }
  vcDegree midDirection() const { return angle(); }
  vcDegree endDirection() const { return angle(); }
  // The line through the segment, running from p1 toward p2 (tangent() is
  // the same line wherever t is).
  vcFLine tangent(double) const { return line(); }
  vcFLine line() const { return vcFLine(p1_, p2_); }
  vcLineSeg lineSeg() const { return vcLineSeg(p1_, p2_); }

  double length() const { return p1_.distance(p2_); }
  // Origin at the smaller coordinates of the ends, size their differences.
  vcRect boundingBox() const;

  // The point of the segment nearest p: the foot of p on the line when it is
  // in range, else the nearer end (p2 on a tie).
  vcVector<2> closestPoint(const vcVector<2>& p) const;
  double distToPoint(const vcVector<2>& p) const { return closestPoint(p).distance(p); }
  // Whether p's projection onto the line falls between the ends. inclusive:
  // the ends and anything within 1e-14 of the length of them count;
  // otherwise the ends and their neighbourhood are excluded.
  bool inRange(const vcVector<2>& p, bool inclusive) const;
  // p lies on the segment within 1e-14 of its length. The flag is unused.
  bool validPoint(const vcVector<2>& p, bool inclusive = true) const;

  // The point where f crosses the segment; empty when they are parallel or
  // the crossing is out of range. exclusive leaves out the ends.
  std::vector<vcVector<2>> intersection(const vcFLine& f, bool exclusive) const;
  // The crossing point of two segments, when it is in range of both.
  // Parallel segments, collinear overlapping ones included, give none.
  std::vector<vcVector<2>> intersection(const vc2SegmentLine& o, bool exclusive) const;

  // Each coordinate within 1e-15 (absolute).
  bool operator==(const vc2SegmentLine& o) const;
  bool operator!=(const vc2SegmentLine& o) const { return !(*this == o); }

  // Version byte 0, then p1 and p2. Loading rejects non-finite points with
  // vcArchive::BadData and leaves s unchanged on any failure.
  friend vcArchive& operator||(vcArchive& ar, vc2SegmentLine& s);

private:
  vcVector<2> p1_;
  vcVector<2> p2_;
};

// Each end moved by the rigid motion. Throws vcShapesError::DegenerateShape
// when the moved ends coincide.
vc2SegmentLine operator*(const vc2Rigid& r, const vc2SegmentLine& s);
// Each end mapped. Throws vcShapesError::DegenerateShape when the mapped ends coincide.
vc2SegmentLine operator*(const vcXform<2>& x, const vc2SegmentLine& s);

// "p1_=" x y, "p2_=" x y (no separator between the coordinates), then an empty line.
std::ostream& operator<<(std::ostream& os, const vc2SegmentLine& s);
