// Straight segments: vcLineSeg, one segment as an open contour, and
// vcLineSegSet, an unordered collection of segments. Also the two helpers that
// every polygonal shape shares: the nearest point of a segment and the
// sampling of a polygonal path.
//
// Coordinates are client coordinates (see <vc/core/shape.h>).
#pragma once

#include <cstddef>
#include <vector>

#include <vc/core/line.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

// The point of the closed segment from a to b nearest p (a when a == b).
vcVector<2> vfSegmentClosestPoint(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p);

// Appends samples of the polygonal path through vertices, and back to the
// first vertex when closed, to result. Straight edges need only their ends,
// so the tolerance never adds points; spacing splits each edge evenly; a path
// that would still have fewer than minPoints samples has its edges split
// further; one that would have more than maxPoints (or 10^7 without a limit)
// is sampled evenly along its length with that many, corners cut. Interior
// vertices come twice under duplicateCorners; the end vertex comes last
// unless includeEnd is off. A single vertex is a path of one zero-length edge.
// Throws vcShapesError::DegenerateShape for an empty path.
void vfSamplePolyPath(const std::vector<vcVector<2>>& vertices, bool closed, const vcShape::vcSampleParams& params,
                      std::vector<vcVector<2>>& result);

// The segment from p1 to p2, an open contour starting at p1. The two points
// may be equal: such a segment is a point with no tangent.
class vcLineSeg : public vcShapeBase<vcLineSeg> {
public:
  // The zero-length segment at (0, 0).
  vcLineSeg();
  // p1, p2: the end points, client coordinates. Throws vcShapesError::BadGeom
  // when a coordinate is not finite.
  vcLineSeg(const vcVector<2>& p1, const vcVector<2>& p2);

  const vcVector<2>& p1() const noexcept { return p1_; }
  const vcVector<2>& p2() const noexcept { return p2_; }
  double length() const { return p1_.distance(p2_); }
  // The infinite line through the segment, running from p1 toward p2. Throws
  // vcShapesError::DegenerateShape for a zero-length segment.
  vcFLine line() const;
  // The point of the segment nearest p.
  vcVector<2> closestPoint(const vcVector<2>& p) const { return vfSegmentClosestPoint(p1_, p2_, p); }

  vcLineSeg map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isOpenContour() const override { return true; }
  // False for a zero-length segment.
  bool hasTangent() const override { return !(p1_ == p2_); }
  vcVector<2> startPoint() const override { return p1_; }
  vcVector<2> endPoint() const override { return p2_; }
  double perimeter() const override { return length(); }
  // unit(p2 - p1); throws vcShapesError::NoTangent for a zero-length segment.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // Evenly spaced points from p1 to p2 (see vfSamplePolyPath).
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The segment from p2 to p1.
  vcShapeHandle reverse() const override;

  // Same end points in the same order, exactly.
  bool operator==(const vcLineSeg& o) const { return p1_ == o.p1_ && p2_ == o.p2_; }
  bool operator!=(const vcLineSeg& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcLineSeg>;
  void archiveFields_(vcArchive& ar);

  vcVector<2> p1_;
  vcVector<2> p2_;
};
extern template class vcShapeBase<vcLineSeg>;

// Segments kept in the order given, unconnected: not a contour and not a
// region. An empty set isEmpty(); its boundingBox and distanceToPoint throw
// vcShapesError::DegenerateShape.
class vcLineSegSet : public vcShapeBase<vcLineSegSet> {
public:
  vcLineSegSet() = default;
  explicit vcLineSegSet(const std::vector<vcLineSeg>& segments);

  std::size_t numSegments() const noexcept { return segs_.size(); }
  // Segment i; throws vcBadArgument when i is not below numSegments().
  const vcLineSeg& segment(std::size_t i) const;
  const std::vector<vcLineSeg>& segments() const noexcept { return segs_; }
  void addSegment(const vcLineSeg& s) { segs_.push_back(s); }

  // Each segment mapped.
  vcLineSegSet map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  // The smallest distance to a segment.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isEmpty() const override { return segs_.empty(); }
  // The segments, each in its own handle.
  std::vector<vcShapeHandle> decompose() const override;

  bool operator==(const vcLineSegSet& o) const { return segs_ == o.segs_; }
  bool operator!=(const vcLineSegSet& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcLineSegSet>;
  // A 32-bit count, then each segment's two points.
  void archiveFields_(vcArchive& ar);

  std::vector<vcLineSeg> segs_;
};
extern template class vcShapeBase<vcLineSegSet>;
