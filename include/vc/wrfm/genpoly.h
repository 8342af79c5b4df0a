// vcGenPoly: the general outline shape of the wireframe geometry, a sequence
// of vertices joined by straight or circular segments, with optional rounding
// of each corner, open or closed.
//
// The vertices live in an SMD poly (<vc/wrfm/smdpoly.h>) in the poly's own
// frame; xform() carries that frame into client coordinates (see
// <vc/core/shape.h>). Unless a member says otherwise, points, lengths and
// radii given to or returned by a member are client coordinates; angles are
// vcRadian values from +x toward +y. A span is the signed sweep of a segment
// in the poly's frame, in (-360, 360) degrees: 0 (|span| <= vcStraightSpan) is a
// straight segment, any other value a circular arc. A full turn or more is
// rejected with BadGeom, as the SMD poly rejects it: an arc between two
// distinct vertices cannot sweep a whole circle.
//
// Indices: vertex i runs 0..n-1. Segment i runs from vertex i to vertex i + 1
// (to vertex 0 after the last vertex of a closed poly); an open poly has n - 1
// segments, a closed one n. A segment's span is stored at its end vertex.
//
// Errors of the SMD poly are translated into shape errors: invalidVertices,
// crossingSegments, notClosed, invalidSegmentLength and DegenerateShape
// become vcShapesError::BadGeom, invalidRounding BadRadius, invalidIndex
// BadCoef. A rejected edit leaves the shape unchanged.
#pragma once

#include <memory>
#include <vector>

#include <vc/core/angle.h>
#include <vc/core/exception.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/lineseg.h>
#include <vc/core/shapebase.h>
#include <vc/core/xform.h>
#include <vc/wrfm/smdpoly.h>

class vcAnnulus;
class vcCircle;
class vcEllipse;
class vcEllipse2;
class vcEllipseAnnulus;
class vcGenAnnulus;
class vcGenRect;
class vcGraphicProps;
class vcPolygon;
class vcRect;
class vcUIScope;
class vcUITablet;

class vcGenPoly : public vcShapeBase<vcGenPoly> {
public:
  // No vertices, open, mutable, identity xform.
  vcGenPoly();
  // Two vertices at (cx - r, cy) and (cx + r, cy) joined by two 180-degree arcs.
  explicit vcGenPoly(const vcCircle& c);
  // The unit circle so made, with the ellipse's unit-circle map as xform.
  explicit vcGenPoly(const vcEllipse& e);
  explicit vcGenPoly(const vcEllipse2& e);
  // An open poly of two vertices at the arc's ends on the unit circle, joined
  // by an arc of the arc's span; xform is the ellipse's unit-circle map.
  explicit vcGenPoly(const vcEllipseArc& a);
  explicit vcGenPoly(const vcEllipseArc2& a);
  // The section's boundary in the outer ellipse's unit frame (xform its
  // unit-circle map): the outer arc, a line, the inner arc back, and the
  // closing line. Throws vcShapesError::BadGeom unless the inner ellipse is a
  // circle in that frame (for instance a scaled copy of the outer one with
  // the same center), the one case an outline of circular arcs represents.
  explicit vcGenPoly(const vcEllipseAnnulusSection& s);
  // (x + w, y), (x + w, y + h), (x, y + h), (x, y): sharp, straight, closed.
  explicit vcGenPoly(const vcRect& r);
  // The square [-1, 1]^2 with xform the rectangle's matrix and center. The
  // corners are rounded with the smaller of the two roundings (the unit frame
  // has circular roundings only); a full rounding of 1 is kept just below 1
  // so that the straight sides do not vanish.
  explicit vcGenPoly(const vcGenRect& r);
  // The polygon's vertices in order, sharp, straight, closed.
  explicit vcGenPoly(const vcPolygon& p);
  // An open poly of the two end points.
  explicit vcGenPoly(const vcLineSeg& s);
  // A copy of poly (vertices in its own frame) placed by xform (poly frame to
  // client coordinates; non-singular, else vcShapesError::BadGeom).
  vcGenPoly(const vcSMDGDPoly& poly, const vcXform<2>& xform, bool isMutable);
  vcGenPoly(const vcGenPoly& o);
  vcGenPoly& operator=(const vcGenPoly& o);
  ~vcGenPoly() override;

  // Two polys each: inner outline first, then outer.
  static std::vector<vcGenPoly> convert(const vcAnnulus& a);
  static std::vector<vcGenPoly> convert(const vcGenAnnulus& a);
  static std::vector<vcGenPoly> convert(const vcEllipseAnnulus& a);

  // ---- vertices and segments -------------------------------------------
  long numVertices() const noexcept { return poly_->numVertices(); }
  long numSegments() const noexcept { return poly_->numSegments(); }
  // Vertex i in client coordinates.
  vcVector<2> vertexPoint(long i) const;
  // The rounding size of vertex i as drawn, client units: 0 for a sharp
  // corner and for the ends of an open poly, else the radius of its rounding
  // arc (under a non-similar xform the geometric mean of the arc's radii),
  // negative when the stored size is negative (rounded, radius uncertain).
  double vertexRoundingSize(long i) const;
  // Neighbours; -1 where an open poly has none. Segment indices name the
  // segment ending at (previous) or leaving (next) vertex i.
  long previousVertexIndex(long i) const;
  long nextVertexIndex(long i) const;
  long previousSegmentIndex(long i) const;
  long nextSegmentIndex(long i) const;
  bool isLineSegment(long i) const;
  bool isArcSegment(long i) const { return !isLineSegment(i); }
  // The span stored for segment i (poly frame).
  vcRadian segmentAngleSpan(long i) const;
  // Segment i in client coordinates: whole (full) or cut back by the
  // roundings of its end vertices. lineSegment throws BadGeom for an arc.
  vcLineSeg lineSegment(long i, bool full) const;
  vcEllipseArc arcSegment(long i, bool full) const;
  vcEllipseArc2 ellipseSegment(long i, bool full) const;
  // The rounding arc of vertex i, client coordinates (vertex i must be rounded).
  vcEllipseArc roundedVertex(long i) const;
  vcEllipseArc2 roundedVertexArc(long i) const;
  vcVector<2> pos() const { return vertexPoint(0); }
  // The mean of the vertex points (the translation of the SMD poly's
  // position, vcSMDGDPolyPrivate::position), mapped by xform() into client
  // coordinates; the poly frame's origin so mapped when there are no vertices.
  vcVector<2> center() const;

  bool isOpen() const noexcept { return poly_->isOpen(); }
  bool isMutable() const noexcept { return mutable_; }
  // Whether vertex editing, open() and close() are allowed.
  void setMutable(bool m) noexcept { mutable_ = m; }
  bool degen() const noexcept { return numVertices() == 0; }
  // The vertex store, in the poly's frame.
  const vcSMDGDPoly& poly() const noexcept { return *poly_; }
  // Poly frame to client coordinates.
  const vcXform<2>& xform() const noexcept { return xform_; }

  // ---- editing (each throws BadGeom unless isMutable()) -----------------
  // Inserts a vertex after vertex i (i in [-1, n - 1], else BadCoef).
  // p: poly frame; roundingSize: poly-frame units, signed as stored; span:
  // of the segment ending at the new vertex. New vertices take fractions
  // 0.5, no label and no length tolerance.
  void insertVertex(long i, const vcVector<2>& p, double roundingSize, const vcRadian& span);
  void insertVertex(const vcVector<2>& p, double roundingSize, const vcRadian& span);
  // Replaces vertex i as insertVertex would make it (poly frame).
  void replaceVertex(long i, const vcVector<2>& p, double roundingSize, const vcRadian& span);
  // Replaces point and rounding (poly frame), keeping the vertex's other data.
  void replaceVertex(long i, const vcVector<2>& p, double roundingSize);
  void deleteVertex(long i);
  // Moves vertex i to the client point p, keeping its rounding as read.
  void vertexPoint(long i, const vcVector<2>& p);
  // Sets the rounding of vertex i to the client size r (signed as read).
  void vertexRoundingSize(long i, double r);
  void vertexRoundingSizes(double r);
  void segmentAngleSpan(long i, const vcRadian& span);
  void open();
  // Stores span as the closing segment's and closes the poly.
  void close(const vcRadian& span);

  // ---- vcShape ------------------------------------------------------------
  bool isOpenContour() const override { return isOpen() && !degen(); }
  bool isClosedContour() const override { return isRegion(); }
  bool isRegion() const override { return !isOpen() && !degen(); }
  bool isEmpty() const override { return degen(); }
  // At least two vertices, not all at vertex 0's point.
  bool hasTangent() const override;
  // Ends of an open contour, client coordinates; NotOpenContour otherwise.
  vcVector<2> startPoint() const override;
  vcVector<2> endPoint() const override;
  // Client direction from vertex 0 to vertex 1, and from the one before the
  // last to the last; NotOpenContour for a closed poly, NoTangent for fewer
  // than two vertices.
  vcRadian startAngle() const;
  vcRadian endAngle() const;
  // For a region, whether the client point p lies inside; NotRegion otherwise.
  bool within(const vcVector<2>& p) const override;
  // Client distance to the outline; 0 inside a region.
  double distanceToPoint(const vcVector<2>& p) const override;
  double distToPoint(const vcVector<2>& p) const { return distanceToPoint(p); }
  // Answered by decomposeShape().
  vcRect boundingBox() const override;
  double perimeter() const override;
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The box of the outline under x composed after xform().
  vcRect encloseRect(const vcXform<2>& x) const;
  vcRect encloseRect() const { return encloseRect(vcXform<2>::I); }
  // The outline as core shapes in client coordinates: an empty vcContourTree
  // (closed unless open) without vertices; a zero-length vcLineSeg for one
  // vertex; else a vcContourTree of, per vertex, its rounding arc (when
  // rounded) and the rounded segment leaving it.
  vcShapeHandle decomposeShape() const;
  // The members of decomposeShape() (the line segment itself for one vertex).
  std::vector<vcShapeHandle> decompose() const override;
  // map(x) as a shape.
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // The outline run the other way, as vcSMDGDPolyPrivate::reversePoly
  // builds it (vertex j is old vertex n - 1 - j), in a shape of this one's
  // class: the direction flag toggles, so the inside stays on its side
  // (isDirectionPositive(), and a wireframe's isInsidePositive(), unchanged).
  vcShapeHandle reverse() const override;

  // A copy whose xform is x * xform() (x non-singular, else BadGeom).
  vcGenPoly map(const vcXform<2>& x) const;
  // A copy whose stored poly is scaled by scale about the poly frame's
  // origin, then moved by r (poly frame); the xform is kept.
  vcGenPoly map(const vc2Rigid& r, double scale) const;

  // Equal polys (vcSMDGDPoly::operator==) and equal xforms.
  bool operator==(const vcGenPoly& o) const;
  bool operator!=(const vcGenPoly& o) const { return !(*this == o); }
  friend bool vfRealEq(const vcGenPoly& a, const vcGenPoly& b, double tol);

  // Version byte 0 (another throws vcArchive::UnknownVersion naming
  // "dispc/wrfm/genpoly"), the vcShape part, then serializeCommon's items.
  void dispatchSerialize(vcArchive& ar) override;
  // The poly (in place), the xform and the mutable flag. Loading builds them
  // aside and replaces this shape's only on success; a singular xform is
  // rejected with vcArchive::BadData.
  void serializeCommon(vcArchive& ar);
  void loadSimple(vcArchive& ar) override;

protected:
  friend class vcUITablet;
  // Draws the outline on scope (geometry in scope coordinates: the poly is
  // expected to be mapped there already) as line segments with props, in
  // this order: every segment (whole from vertex to vertex when
  // props.showVertex(), else between the roundings), arcs as chords within
  // 0.05 of the curve (of an arc needing more than 4096 chords, only the
  // chords that can reach the scope's rectangle, so that the work follows
  // what can be seen); when props.arrowHead(), a chevron at the middle of
  // every segment at least a fifth as long as the longest, pointing along
  // the outline (backward when the poly's direction is reversed); last the
  // rounding arcs of the rounded vertices.
  void drawToScope(const vcGraphicProps& props, vcUIScope& scope) const;
  // The number of chords for the arc a (whose xform maps to scope
  // coordinates) and their local angle step in degrees: steps of 5 degrees,
  // finer for large radii, so that no chord leaves the arc by more than 0.05
  // (up to 2^52 chords). Throws vcShapesError::BadGeom when the mapped
  // radius is not finite.
  static long chordCount_(const vc2SegmentArc& a, double& stepDeg);

  // Throws the shape error that stands for e (see the header comment), or
  // rethrows the exception being handled when there is none. Must be called
  // from within a handler of e.
  [[noreturn]] virtual void remapAndThrowError_(const vcException& e) const;
  // Runs f, translating SMD errors through remapAndThrowError_.
  template <class F>
  decltype(auto) smd_(F&& f) const {
    try {
      return f();
    } catch (const vcException& e) {
      remapAndThrowError_(e);
      throw;  // not reached: an override must throw
    }
  }
  void requireMutable_(const char* what) const;
  // Index of class segment i in the SMD poly; BadCoef when there is none.
  int smdSegment_(long i) const;
  int vertexIndex_(long i) const;
  // Poly-frame units per client unit (1 / sqrt|det|).
  double invScale_() const;
  vcSMDGDPoly& mutablePoly_() { return *poly_; }
  // Applies an edit to a copy of the poly and keeps it only on success.
  template <class Edit>
  void editPoly_(Edit&& e) {
    vcSMDGDPoly p(*poly_);
    smd_([&] { e(p); });
    notifyMutation_();
    *poly_ = std::move(p);
  }

private:
  friend class vcShapeBase<vcGenPoly>;
  void archiveFields_(vcArchive& ar) { serializeCommon(ar); }
  // local: in the poly's frame; drawn mapped by xform().
  void drawArc_(const vc2SegmentArc& local, const vcGraphicProps& props, vcUIScope& scope) const;
  void drawDirectionFigures_(const vcGraphicProps& props, vcUIScope& scope) const;

  std::unique_ptr<vcSMDGDPoly> poly_;
  bool mutable_ = true;
  vcXform<2> xform_ = vcXform<2>::I;
};
extern template class vcShapeBase<vcGenPoly>;

bool vfRealEq(const vcGenPoly& a, const vcGenPoly& b, double tol);
