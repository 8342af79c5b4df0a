// Shapes made of other shapes:
//   vcMappedShape — a shape seen through a shared, possibly non-linear transform;
//   vcShapeTree   — an ordered group of shapes;
//   vcContourTree — a group whose members, joined in order, form one contour;
//   vcRegionTree  — a region given by a boundary, with nested holes and islands.
//
// Members are held through vcShapeHandle_const: they are shared, not copied,
// so a member must not be changed while a container holds it. Coordinates are
// client coordinates (see <vc/core/shape.h>). In archives the members are
// persistent handles, so a member shared by several containers is written
// once and shared again on reading.
#pragma once

#include <vector>

#include <vc/core/shape.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

using vcXformHandle_const = vcPtrHandle_const<vc2XformBase>;

// underlyingShape() mapped by overallMapXform(). Either handle may be empty
// (a default-constructed shape has neither); every geometric query on such a
// shape throws vcBadPointer, and isEmpty() is true.
//
// Under a linear transform (a vc2XformLinear) every query is exact: it is
// answered by the underlying shape's own mapShape image. A non-linear
// transform bends straight lines, so the shape is then known through samples:
// a contour or region is sampled as sample() does with a tolerance of 1e-4 of
// the mapped size of its bounding box, so bounds, distances, area and
// perimeter are those of that polyline; start and end points are mapped
// exactly; within() maps the point back through the transform's inverse when
// it has one. A vcShapeTree (other than a contour tree) is
// answered member by member, each seen through the transform. Any other
// shape is mapped by the transform's linear approximation at the centre of
// its bounding box (at the origin for an infinite shape).
class vcMappedShape : public vcShape {
public:
  vcMappedShape() = default;
  // shape: in the transform's source frame; xform: source to client frame.
  vcMappedShape(const vcShapeHandle_const& shape, const vcXformHandle_const& xform);
  vcMappedShape(const vcShapeHandle_const& shape, const vcXform<2>& xform);

  const vcShapeHandle_const& underlyingShape() const noexcept { return shape_; }
  const vcXformHandle_const& overallMapXform() const noexcept { return xform_; }

  // The same underlying shape through x after the current transform (one
  // vc2XformLinear when the current one is linear). Throws vcBadPointer when
  // there is no transform.
  vcMappedShape map(const vcXform<2>& x) const;

  vcShapeHandle clone() const override;
  // A vcMappedShape: map(x).
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  // Equal underlying shapes (isEqual) and the same transform: equal linear
  // transforms of the same class, or the same non-linear transform object.
  bool isEqual(const vcShape& other) const override;
  bool isOpenContour() const override;
  bool isClosedContour() const override;
  bool isRegion() const override;
  bool isEmpty() const override;
  bool isFinite() const override;
  bool hasTangent() const override;
  vcVector<2> startPoint() const override;
  vcVector<2> endPoint() const override;
  double perimeter() const override;
  double area() const override;
  bool within(const vcVector<2>& p) const override;
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // Linear: the image shape samples itself. Non-linear: the underlying shape
  // is sampled with half the tolerance and the spacing divided by the
  // transform's largest stretch (measured at the corners and centre of its
  // bounding box), then sampled again with a shorter spacing while the
  // transform bends a chord (measured at its midpoint) by more than the other
  // half; the points are mapped. The tolerance therefore holds as far as the
  // stretch and the bend at those points stand for the whole chord.
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // Linear: the pieces of the image shape. Non-linear: each piece of the
  // underlying shape through the same transform.
  std::vector<vcShapeHandle> decompose() const override;
  // The reversed underlying shape through the same transform.
  vcShapeHandle reverse() const override;

  // Version byte 0, the vcShape part, the shape as a persistent handle, then
  // a transform kind byte: 0 none, 1 a linear transform (its vcXform<2>),
  // 2 a vc2Rigid (angle in radians as a double, then its translation). Other
  // classes derived from vc2XformLinear are stored as kind 1. Storing a
  // non-linear transform throws vcArchive::BadData: it has no archive form.
  void dispatchSerialize(vcArchive& ar) override;

private:
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;

  struct View;
  View view_() const;
  void require_() const;
  // Samples of a curve through a non-linear transform, in the client frame.
  void sampleThrough_(const vcSampleParams& params, std::vector<vcVector<2>>& out) const;

  vcShapeHandle_const shape_;
  vcXformHandle_const xform_;
};

// An ordered group of shapes. The group itself is neither a contour nor a
// region: its bounding box encloses every member, its distance is the
// smallest distance to a member, and sample() throws vcShapesError::BadGeom.
// Empty members are skipped; a group with no non-empty member isEmpty() and
// its boundingBox() and distanceToPoint() throw vcShapesError::DegenerateShape.
class vcShapeTree : public vcShape {
public:
  vcShapeTree() = default;
  explicit vcShapeTree(const std::vector<vcShapeHandle_const>& children);

  long numChildren() const noexcept { return static_cast<long>(children_.size()); }
  // Member i (0 .. numChildren() - 1); another index throws vcBadArgument.
  const vcShapeHandle_const& child(long i) const;
  const std::vector<vcShapeHandle_const>& children() const noexcept { return children_; }
  // Appends a member. Throws vcBadPointer for an empty handle, vcBadArgument
  // when the member contains this tree (a cycle), and the kind's own error
  // for a member that the kind does not accept.
  void addChild(const vcShapeHandle_const& child);
  // Appends a copy of shape.
  void addChild(const vcShape& shape) { addChild(vcShapeHandle_const(shape.clone())); }

  // A group of each member's mapShape(x).
  vcShapeTree map(const vcXform<2>& x) const;
  // A tree of the same kind whose members are this tree's members, each seen
  // through xform as a vcMappedShape (nested region trees recursively).
  virtual vcShapeHandle mapMembers(const vcXformHandle_const& xform) const;

  vcShapeHandle clone() const override;
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  // The same kind, flags and members, members compared with isEqual.
  bool isEqual(const vcShape& other) const override;
  bool isEmpty() const override;
  // A copy of each member.
  std::vector<vcShapeHandle> decompose() const override;

  // Version byte 0, the vcShape part, a 32-bit member count, each member as
  // a persistent handle.
  void dispatchSerialize(vcArchive& ar) override;

protected:
  // Throws when the kind does not accept s as a member.
  virtual void checkChild_(const vcShape& s) const;
  // Exchanges the member count and handles; a loaded list is checked with checkChild_.
  void exchangeChildren_(vcArchive& ar, std::vector<vcShapeHandle_const>& children) const;
  bool sameChildren_(const vcShapeTree& o) const;
  void setChildren_(std::vector<vcShapeHandle_const> c) { children_.swap(c); }

private:
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;

  std::vector<vcShapeHandle_const> children_;
};

// One contour made of open contours (segments, arcs, curves, ...), run in
// order. Where member i ends away from where member i+1 starts, a straight
// segment between the two is implied; a closed tree also implies one from the
// last member's end back to the first member's start. Only non-empty open
// contours are accepted as members (others throw vcShapesError::NotOpenContour). An open
// tree is an open contour from member 0's start to the last member's end; a
// closed tree is a closed contour and has no start or end point. An empty
// tree has no geometry (vcShapesError::DegenerateShape) and samples to nothing.
class vcContourTree : public vcShapeTree {
public:
  explicit vcContourTree(bool closed = false) : closed_(closed) {}
  vcContourTree(const std::vector<vcShapeHandle_const>& children, bool closed);

  bool isClosed() const noexcept { return closed_; }
  void setClosed(bool closed);

  // Each member's mapShape(x), same closed flag.
  vcContourTree map(const vcXform<2>& x) const;
  vcShapeHandle mapMembers(const vcXformHandle_const& xform) const override;

  vcShapeHandle clone() const override;
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // Members and implied segments.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isEqual(const vcShape& other) const override;
  bool isOpenContour() const override { return !closed_; }
  bool isClosedContour() const override { return closed_; }
  bool hasTangent() const override;
  vcVector<2> startPoint() const override;
  vcVector<2> endPoint() const override;
  // Members' perimeters plus the implied segments' lengths.
  double perimeter() const override;
  // The tangent of the nearest member or implied segment.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // Each member samples itself (minPoints shared out among them, maxPoints
  // applied to each); implied segments are split by the spacing alone. A
  // point shared by two members comes once, or twice under duplicateCorners.
  // A result longer than maxPoints is resampled evenly along its polyline.
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // Each member copied, with a vcLineSeg for each implied segment of non-zero length.
  std::vector<vcShapeHandle> decompose() const override;
  // The members reversed, in reverse order.
  vcShapeHandle reverse() const override;

  // Version byte 0, the vcShape part, the members as vcShapeTree stores
  // them, the closed flag.
  void dispatchSerialize(vcArchive& ar) override;

protected:
  void checkChild_(const vcShape& s) const override;

private:
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;

  bool closed_ = false;
};

// A region with holes. Each node has a boundary (a closed contour or a
// region, in client coordinates) and nested nodes inside it, its members,
// which must be vcRegionTree nodes that are not roots. A node is material
// (isHole() false) or a hole; a point belongs to the region when the
// innermost node whose boundary holds it is material, or when it lies on a
// boundary. A root that is a hole has no boundary of its own: it stands for
// the unbounded empty plane and only groups its members, the top-level
// regions. Nesting is the caller's promise: members lie inside their parent's
// boundary and do not overlap one another. sample() throws
// vcShapesError::BadGeom (a region tree has several boundaries: sample
// boundary() and the members instead).
class vcRegionTree : public vcShapeTree {
public:
  // A root hole with no members: the empty region.
  vcRegionTree();
  // Throws vcShapesError::NotRegion for a boundary that is neither a closed
  // contour nor a region, and vcBadPointer for an empty boundary unless the
  // node is a root hole (whose boundary is ignored).
  vcRegionTree(const vcShapeHandle_const& boundary, bool isHole = false, bool isRoot = true);

  const vcShapeHandle_const& boundary() const noexcept { return boundary_; }
  bool isHole() const noexcept { return hole_; }
  bool isRoot() const noexcept { return root_; }

  // Boundary and members mapped (each mapShape(x)), same flags.
  vcRegionTree map(const vcXform<2>& x) const;
  vcShapeHandle mapMembers(const vcXformHandle_const& xform) const override;

  vcShapeHandle clone() const override;
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // The boundary's box and every member's.
  vcRect boundingBox() const override;
  // 0 within the region, else the distance to the nearest boundary.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isEqual(const vcShape& other) const override;
  bool isRegion() const override { return true; }
  bool isEmpty() const override;
  // The total length of every boundary in the tree.
  double perimeter() const override;
  // The material area: a node's boundary area less what its members take
  // out of it (exact for region boundaries; a closed-contour boundary's area
  // is that of its polygon sampled at 1e-7 of its size).
  double area() const override;
  bool within(const vcVector<2>& p) const override;

  // Version byte 0, the vcShape part, the members as vcShapeTree stores
  // them, the boundary as a persistent handle, the hole flag, the root flag.
  void dispatchSerialize(vcArchive& ar) override;

protected:
  void checkChild_(const vcShape& s) const override;

private:
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;

  bool hasBoundary_() const { return !(hole_ && root_); }
  // 1: material, 0: hole, -1: p is outside this node.
  int classify_(const vcVector<2>& p) const;
  bool onBoundary_(const vcVector<2>& p) const;
  double boundaryDistance_(const vcVector<2>& p) const;
  double material_() const;

  vcShapeHandle_const boundary_;
  bool hole_ = true;
  bool root_ = true;
};
