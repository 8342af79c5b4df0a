// Polygonal shapes: vcPolygon, a filled region bounded by straight edges, and
// vcPolyline, a chain of straight edges that is an open or closed contour.
//
// Vertices are client coordinates (see <vc/core/shape.h>). Either shape may
// have any number of vertices, none included; one without vertices
// isEmpty(), and its boundingBox, distanceToPoint and sample throw
// vcShapesError::DegenerateShape.
#pragma once

#include <cstddef>
#include <vector>

#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

// The region enclosed by the vertices in order, the edge from the last vertex
// back to the first included. Which points are inside follows the fill mode,
// so the vertices may run either way round and the edges may cross. Like the
// other simple regions it is also a closed contour: its outline, from vertex 0
// round and back.
class vcPolygon : public vcShapeBase<vcPolygon> {
public:
  // How a self-overlapping outline is filled. The values are the ones stored
  // in archives and display records.
  enum PolyFillMode {
    // Alternate: inside where a ray from the point crosses the outline an odd
    // number of times.
    eEvenOdd = 0,
    // Non-zero winding: inside where the outline winds around the point a
    // non-zero number of times.
    eWinding = 1
  };

  // No vertices, even-odd.
  vcPolygon() = default;
  // vertices: client coordinates; mode: the fill rule. Throws
  // vcShapesError::BadGeom when a coordinate is not finite or mode is neither
  // value.
  vcPolygon(const std::vector<vcVector<2>>& vertices, PolyFillMode mode);

  // Replaces the vertices and fill mode as the constructor would, reusing
  // this polygon's storage; throws as the constructor does, leaving the
  // polygon unchanged.
  void assign(const std::vector<vcVector<2>>& vertices, PolyFillMode mode);

  const std::vector<vcVector<2>>& vertices() const noexcept { return v_; }
  std::size_t numVertices() const noexcept { return v_.size(); }
  PolyFillMode fillMode() const noexcept { return mode_; }

  // The vertices mapped; the fill mode is kept (a reflection reverses the
  // outline's turning sense, which neither rule depends on).
  vcPolygon map(const vcXform<2>& x) const;
  // The same into `into` (which may be this polygon), reusing its storage.
  // Throws vcShapesError::BadGeom, leaving `into` unchanged, when a mapped
  // coordinate is not finite.
  void map(const vcXform<2>& x, vcPolygon& into) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  // 0 inside, else the distance to the nearest edge.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isClosedContour() const override { return true; }
  bool isRegion() const override { return true; }
  bool isEmpty() const override { return v_.empty(); }
  // True when some edge has non-zero length.
  bool hasTangent() const override;
  // Length of the outline, closing edge included.
  double perimeter() const override;
  // The absolute value of the signed (shoelace) area. For an outline that
  // crosses itself the signed parts cancel, so this is then the net area, not
  // the area covered.
  double area() const override;
  // Inside by the fill rule; points on the outline (within 1e-12 of the
  // coordinates' magnitude) are inside.
  bool within(const vcVector<2>& p) const override;
  // The direction of the outline's non-degenerate edge nearest p (the first
  // such edge on a tie); throws vcShapesError::NoTangent when there is none.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // Points along the outline from vertex 0 round and back to vertex 0 (see
  // vfSamplePolyPath of <vc/core/lineseg.h>).
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The outline run the other way from the same first vertex; same region.
  vcShapeHandle reverse() const override;

  // Same vertices in the same order and the same fill mode, exactly.
  bool operator==(const vcPolygon& o) const { return mode_ == o.mode_ && v_ == o.v_; }
  bool operator!=(const vcPolygon& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcPolygon>;
  // Version byte, fill mode (32-bit), vertex count (32-bit), vertices.
  void archiveFields_(vcArchive& ar);

  double boundaryDistance_(const vcVector<2>& p) const;

  std::vector<vcVector<2>> v_;
  PolyFillMode mode_ = eEvenOdd;
};
extern template class vcShapeBase<vcPolygon>;

// The chain of edges through points() in order, and back to the first point
// when isClosed(). An open polyline runs from its first point to its last; a
// closed one starts and ends at its first point.
class vcPolyline : public vcShapeBase<vcPolyline> {
public:
  // No points, open.
  vcPolyline() = default;
  // points: client coordinates; closed: whether an edge joins the last point
  // back to the first. Throws vcShapesError::BadGeom when a coordinate is not
  // finite.
  vcPolyline(const std::vector<vcVector<2>>& points, bool closed);

  // Replaces the points and closed flag as the constructor would, reusing
  // this polyline's storage; throws as the constructor does, leaving the
  // polyline unchanged.
  void assign(const std::vector<vcVector<2>>& points, bool closed);

  const std::vector<vcVector<2>>& points() const noexcept { return v_; }
  std::size_t numVertices() const noexcept { return v_.size(); }
  bool isClosed() const noexcept { return closed_; }
  // Total length of the edges, the closing edge included.
  double length() const;

  vcPolyline map(const vcXform<2>& x) const;
  // The same into `into` (which may be this polyline), reusing its storage.
  // Throws vcShapesError::BadGeom, leaving `into` unchanged, when a mapped
  // coordinate is not finite.
  void map(const vcXform<2>& x, vcPolyline& into) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isOpenContour() const override { return !closed_; }
  bool isClosedContour() const override { return closed_; }
  bool isEmpty() const override { return v_.empty(); }
  // True when some edge has non-zero length.
  bool hasTangent() const override;
  // Throw vcShapesError::DegenerateShape without points.
  vcVector<2> startPoint() const override;
  vcVector<2> endPoint() const override;
  double perimeter() const override { return length(); }
  // The direction of the non-degenerate edge nearest p (the first such edge
  // on a tie); throws vcShapesError::NoTangent when every edge has zero length.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // Points along the chain (see vfSamplePolyPath of <vc/core/lineseg.h>).
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The edges as vcLineSeg shapes in order, the closing edge last; a single
  // point gives one zero-length segment.
  std::vector<vcShapeHandle> decompose() const override;
  // The chain run the other way; a closed polyline keeps its first point.
  vcShapeHandle reverse() const override;

  bool operator==(const vcPolyline& o) const { return closed_ == o.closed_ && v_ == o.v_; }
  bool operator!=(const vcPolyline& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcPolyline>;
  // Version byte, point count (32-bit), points, closed flag byte.
  void archiveFields_(vcArchive& ar);

  std::vector<vcVector<2>> v_;
  bool closed_ = false;
};
extern template class vcShapeBase<vcPolyline>;
