// vcSMDGDPoly: one outline of an SMD component model, an ordered list of
// vertices joined by straight or circular-arc segments, open or closed, with
// rounded corners and toleranced segment lengths.
//
// Frame and units: every point, length and radius is in the poly's own client
// coordinates; angles are vcDegree values from +x toward +y (the convention of
// <vc/core/angle.h>), a positive arc span sweeping toward +angle.
//
// Indices (n vertices): vertex i runs 0..n-1. Segment i ends at vertex i and
// starts at vertex i-1 (wrapped): a closed poly has segments 0..n-1 (segment 0
// from vertex n-1 to vertex 0), an open one 1..n-1. A vertex's span and length
// tolerance belong to the segment that ends at it.
//
// A poly is always valid: no two of its parts (rounded segments, rounding
// arcs) meet except where adjacent ones join, every rounding has a centre,
// same-label fractions fit their segment and every length is within its
// tolerance. Each edit re-checks every part whose geometry it changed; a
// rejected edit throws and leaves the poly exactly as it was.
#pragma once

#include <limits>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include <vc/core/range.h>
#include <vc/core/rect.h>
#include <vc/uitypes.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/lineseg.h>
#include <vc/wrfm/smdvertex.h>

class vc2Wireframe;
class vcGraphicList;
class vcSMDGDPolyPrivate;
class vcSMDGDModel;
class vcPolygon;
struct vc_SMDInsideIndex;

// Internal: the state of a vcSMDGDPoly in the two groups that its copy,
// assignment and reInit take whole. The outline is what reInit empties, with
// all that is derived from it.
struct vc_SMDPolyOutline {
  std::vector<vcSMDGDPolyVertex> v_;
  bool open_ = true;
  bool reversed_ = false;
  // The distinct vertex labels in the order the edits brought them.
  std::vector<long> labels_;
  // Derived afresh by every accepted change and never edited otherwise: each
  // corner's rounding start and end points, span and centre.
  std::vector<vcVector<2>> rStart_;
  std::vector<vcVector<2>> rEnd_;
  std::vector<double> rSpan_;
  std::vector<vcVector<2>> rCenter_;
  // The inside test's index of the outline, made on its first use and then
  // only read: copies share it, a change drops it.
  std::shared_ptr<vc_SMDInsideIndex> insideIndex_;
};
// How the outline is shown and weighed; reInit keeps it.
struct vc_SMDPolyLook {
  vcSMDColors colors_;
  vcColor posColor_ = vcColor::greenColor();
  vcColor negColor_ = vcColor::greenColor();
  double weight_ = 1.0;
};

// The part of an outline nearest a point (vcSMDGDPoly::nearestPart), for
// outline editors. Distances in client units, exact (arcs included).
struct vcSMDPolyPick {
  // The poly's index in its model; 0 for a lone poly; -1 when there is none.
  int poly = -1;
  // To the outline as drawn: rounded segments and rounding arcs (a poly
  // without segments: its nearest vertex).
  double distance = std::numeric_limits<double>::infinity();
  // The segment whose rounded piece is nearest; -1 without segments.
  long segment = -1;
  double segmentDistance = std::numeric_limits<double>::infinity();
  // The vertex whose point is nearest; -1 without vertices.
  long vertex = -1;
  double vertexDistance = std::numeric_limits<double>::infinity();
};

class vcSMDGDPoly : public vcSMDGeometricDescription, private vc_SMDPolyOutline, private vc_SMDPolyLook {
public:
  class Errors : public vcException {
  protected:
    Errors() = default;
  };
  VC_SMD_ERROR(invalidVertices);   // "Invalid poly vertices."
  VC_SMD_ERROR(crossingSegments);  // "Two or more poly segments cross."
  VC_SMD_ERROR(invalidRounding);   // "Invalid radius for poly vertex rounding."
  VC_SMD_ERROR(invalidIndex);      // "Invalid index for poly vertex or segment."
  VC_SMD_ERROR(noPelBuffer);       // "No pel buffer to draw on."
  VC_SMD_ERROR(badSubModel);       // "The specified sub-model is not 2D"
  VC_SMD_ERROR(notClosed);         // "An operation was performed which requires a closed poly."

  // Empty, open, not reversed, default colors, weight 1.
  explicit vcSMDGDPoly(const std::string& name = "poly");
  vcSMDGDPoly(const vcSMDGDPoly& o) = default;
  // A copy of the poly the wireframe w holds (vertices, rounding, open state,
  // direction flag, colors and weight), named name. Its points are in w's
  // poly frame: w.xform() is not applied.
  vcSMDGDPoly(const vc2Wireframe& w, const std::string& name);
  vcSMDGDPoly& operator=(const vcSMDGDPoly& o);

  // Closed shapes named "poly" (client units): a length x width rectangle
  // about center, labels 0..3 from the (+x, +y) corner turning toward -x; a
  // triangle of the given base and height with its centroid at center; a
  // circle of two 180-degree arcs through (cx - r, cy) and (cx + r, cy).
  static vcSMDGDPoly rectangle(double length, double width, vcVector<2> center);
  static vcSMDGDPoly triangle(double base, double height, vcVector<2> center);
  static vcSMDGDPoly circle(double radius, vcVector<2> center);
  // No straight segment, arcs turning one way with radii within 0.01 of the
  // first, spans adding up to 360 degrees within 1.
  static bool isCircle(const vcSMDGDPoly& p);

  long numVertices() const noexcept { return static_cast<long>(v_.size()); }
  long numSegments() const noexcept;
  const std::vector<vcSMDGDPolyVertex>& vertices() const noexcept { return v_; }
  // Vertex i; wrap takes i modulo n, else i outside [0, n-1] throws invalidIndex.
  const vcSMDGDPolyVertex& vertex(long i, bool wrap = false) const;
  bool isOpen() const noexcept { return open_; }
  bool isClosed() const noexcept { return !open_; }
  bool isDirectionReversed() const noexcept { return reversed_; }
  // Whether the interior lies left of the outline's travel (toward +angle),
  // the answer inverted when the direction is reversed. Open polys throw notClosed.
  bool isDirectionPositive() const;
  bool isDirectionNegative() const { return !isDirectionPositive(); }
  double weight() const noexcept { return weight_; }
  const vcSMDColors& colors() const noexcept { return colors_; }
  const vcColor& positiveArrowColor() const noexcept { return posColor_; }
  const vcColor& negativeArrowColor() const noexcept { return negColor_; }
  // Distinct vertex labels (never -1).
  const std::vector<long>& subModelLabels() const noexcept { return labels_; }
  // Derived rounding data, one entry per vertex: where each corner's rounding
  // arc leaves the incoming and joins the outgoing segment, and its signed
  // span in degrees (the vertex point and 0 for a sharp corner).
  const std::vector<vcVector<2>>& roundingStartPoints() const noexcept { return rStart_; }
  const std::vector<vcVector<2>>& roundingEndPoints() const noexcept { return rEnd_; }
  const std::vector<double>& roundingSpans() const noexcept { return rSpan_; }

  // The tolerance of segment s around its present (full) length. Throws
  // invalidIndex for a missing segment and invalidSegmentLength when the
  // length breaks its tolerance.
  vcSMDDimension segmentDimension(long s) const;
  // Indices, increasing, of the segments whose length is out of tolerance.
  // The value compared is the segment's length mapped by `measured`; the
  // dimension is scaled (by its scale type) by the ratio of the length mapped
  // by `nominal` to the unmapped length. Both map client coordinates to the
  // frame the lengths are compared in.
  std::vector<long> segmentsOutOfTolerance(const vcXform<2>& nominal, const vcXform<2>& measured) const;
  // The box of the outline (rounded segments and rounding arcs, arcs bounded
  // exactly) mapped by x; a null box (negative size) for an empty poly.
  vcRect boundingBox(const vcXform<2>& x = vcXform<2>::I) const;

  // Editing. Each throws the class's errors (invalidIndex, invalidVertices,
  // invalidRounding, crossingSegments, invalidSegmentLength) and then leaves
  // the poly unchanged.
  // Inserts v at index after + 1; after in [-1, n-1].
  void insertVertex(int after, const vcSMDGDPolyVertex& v);
  // Appends v.
  vcSMDGDPoly& operator<<(const vcSMDGDPolyVertex& v);
  void replaceVertex(int i, const vcSMDGDPolyVertex& v);
  void deleteVertex(int i);
  void vertices(const std::vector<vcSMDGDPolyVertex>& list);
  void deleteAllVertices() { vertices(std::vector<vcSMDGDPolyVertex>()); }
  void close();
  void open();
  void toggleDirection();
  // A fresh poly named "poly".
  void reset();
  void weight(double w);
  void colors(const vcSMDColors& c);
  void positiveArrowColor(const vcColor& c);
  void negativeArrowColor(const vcColor& c);

  // Drawing. xform maps the poly's client coordinates to the tablet's (or
  // the graphic list's) client coordinates.
  // The outline in colors().wireframeDefaultColor() on the image layer.
  void drawWireframe(const vcXform<2>& xform, vcUITablet& tablet) const override;
  // One arrow glyph (see drawArrow) per segment, its tip at the middle of the
  // rounded segment and pointing along the outline's travel, or against it
  // when the direction is reversed; size is the glyph's reach in poly units.
  // On the image layer in positiveArrowColor() and negativeArrowColor(); the
  // list form appends the glyph's line segments as graphics instead.
  void drawDirectionArrows(const vcXform<2>& xform, vcUITablet& tablet, double size) const;
  void drawDirectionArrows(const vcXform<2>& xform, vcGraphicList& list, double size) const;

  // Vertex count, open state, vertices, direction flag, colors and weights
  // The parts nearest p (client coordinates); ties go to the lower index.
  // A non-finite p throws vcBadArgument.
  vcSMDPolyPick nearestPart(const vcVector<2>& p) const;

  // (within 1e-15) equal; the name and derived data are not compared.
  bool operator==(const vcSMDGDPoly& o) const;
  bool operator!=(const vcSMDGDPoly& o) const { return !(*this == o); }
  friend bool vfRealEq(const vcSMDGDPoly& a, const vcSMDGDPoly& b, double eps);

  // Fills the closed poly into image with the grey level of its synthetic
  // default color (see <vc/wrfm/synthetic.h>); an open poly draws nothing.
  void drawSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image) const override;
  void drawSynthetic(const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image) const override;

  // Version 1 (0 is read with weight 1). Loading builds the poly aside,
  // re-derives the roundings, checks it as an edit would and replaces the
  // target only on success; malformed or invalid data throws a vcArchive error.
  void dispatchSerialize(vcArchive& ar) override;
  // Empty, open, not reversed (the archive machinery calls this before loading).
  void reInit() override;

protected:
  friend class vcSMDGDPolyPrivate;
  friend class vcSMDGDModel;

  // The arrow glyph: a chevron whose tip is pose's origin and which points
  // along pose's x axis, its arms reaching back size (poly units) and size
  // to either side. The arm on pose's +y side (toward +angle of its
  // direction) is drawn in `positive` with a plus sign beside it, the other in
  // `negative` with a minus sign; the signs' strokes reach 1 tablet unit from
  // their centres. Every point goes through xform, so a mirroring xform
  // carries both sides with the outline they mark. Five line segments on the
  // image layer, or five vcGraphicSimple<vcLineSeg> appended to the list.
  static void drawArrow(const vcXform<2>& xform, vcUITablet& tablet, const vc2Rigid& pose, double size,
                        const vcColor& positive, const vcColor& negative);
  static void drawArrow(const vcXform<2>& xform, vcGraphicList& list, const vc2Rigid& pose, double size,
                        const vcColor& positive, const vcColor& negative);

  // Index rules (see the header comment); each throws invalidIndex when broken.
  int vertexIndex_(int i, bool wrap) const;
  int segmentIndex_(int i, bool wrap) const;
  int previousSegmentIndex_(int v) const;
  int nextSegmentIndex_(int v) const;
  void getSegmentIndices_(int& prev, int& next, int v) const;
  int previousVertexIndex_(int s) const;
  int nextVertexIndex_(int s) const;
  void getVertexIndices_(int& start, int& end, int s) const;
  int firstVertexIndex_() const { return 0; }
  int lastVertexIndex_() const { return static_cast<int>(v_.size()) - 1; }
  int firstSegmentIndex_() const { return nextSegmentIndex_(0); }
  int lastSegmentIndex_() const { return previousSegmentIndex_(lastVertexIndex_()); }
  bool isEndVertex(int v) const;
  bool vertexIsRounded_(int v) const;
  bool isLineSegment_(int s) const;
  bool isArcSegment_(int s) const { return !isLineSegment_(s); }

  const vcVector<2>& vertexPoint_(int v) const { return vertex(v).point(); }
  double vertexRadius_(int v) const;
  bool roundingIsUncertain_(int v) const { return vertex(v).vertexRadius() < 0; }
  vcDegree segmentAngleSpan_(int s) const { return vertex(s).segmentAngleSpan(); }
  double percentPrevSegment_(int v) const { return vertex(v).percentPrevSegment(); }
  double percentNextSegment_(int v) const { return vertex(v).percentNextSegment(); }
  long vertexLabel_(int v) const { return vertex(v).subModelLabel(); }
  double forwardPercExtension_(int s) const;
  void forwardPercExtension_(int s, double e);
  double backwardPercExtension_(int s) const;
  void backwardPercExtension_(int s, double e);

  // Geometry of segments (full and rounded, client units).
  double segmentLength_(int s) const;
  double roundedSegmentLength_(int s) const;
  vcDegree segmentStartDirection_(int s) const;
  vcDegree segmentEndDirection_(int s) const;
  vcVector<2> closestSegmentPoint_(int s, const vcVector<2>& p) const;
  vcVector<2> closestRoundedSegmentPoint_(int s, const vcVector<2>& p) const;
  // Centre of corner v's rounding circle; invalidRounding when it has none.
  vcVector<2> roundPoint_(int v) const;
  void computeVertexRounding_(int v);

  // Meeting tests between rounded segments and rounding arcs.
  std::vector<vcVector<2>> segmentIntersection_(int s, int t) const;
  std::vector<vcVector<2>> vertexIntersection_(int v, int w) const;
  std::vector<vcVector<2>> segmentVertexIntersection_(int s, int v) const;
  bool segmentIntersectsSegment_(int s, int t) const { return !segmentIntersection_(s, t).empty(); }
  bool vertexIntersectsVertex_(int v, int w) const { return !vertexIntersection_(v, w).empty(); }
  bool segmentIntersectsVertex_(int s, int v) const { return !segmentVertexIntersection_(s, v).empty(); }
  // Segment s (rounding arc v) against every part with index 0..last (-1: all).
  bool segmentIntersectsPoly_(int s, int last) const;
  bool vertexIntersectsPoly_(int v, int last) const;

  // Sum of rounded segment and rounding arc lengths longer than minLength.
  double perimeter_(double minLength) const;
  // The outline's length after mapping by x.
  double perimeter_(const vcXform<2>& x) const;
  // Sum of segment length times its two extensions.
  double extensionPerimeter_() const;
  // Extends both ends of every segment by the fraction e where the corner
  // turns by 45 degrees or more; free ends and near-straight joints get 0.
  void setExtensions_(double e);
  void setDefaultExtensions_() { setExtensions_(0.5); }
  // Cuts this poly's extensions back so that no extended segment runs within
  // minDistance (client units) alongside a part of `other` that is parallel
  // within angleTol; probes every `step` (client units, > 0 and at most 1e7
  // probes per extension, else vcShapesError::BadGeom). same: other is this
  // poly, whose own neighbouring parts are skipped.
  void checkExtensions_(const vcSMDGDPoly& other, double minDistance, const vcDegree& angleTol, double step, bool same);
  // Chord direction from vertex 0 to vertex 1 in degrees; 0 with fewer than 2.
  double orientation_() const;
  // Points where this outline meets `other` (client coordinates, ends
  // included): along corner v's rounding arc, along rounded segment s, and
  // along the whole outline in vertex order (each corner's arc, then the
  // segment leaving it), a point at a joint of two parts reported once.
  std::vector<vcVector<2>> intersectionVertex_(int v, const vcSMDGDPoly& other) const;
  std::vector<vcVector<2>> intersectionSegment_(int s, const vcSMDGDPoly& other) const;
  std::vector<vcVector<2>> intersection_(const vcSMDGDPoly& other) const;
  // Whether p (client coordinates) lies inside the closed outline (notClosed
  // for an open poly). Exact on arcs; a point on the outline has no defined answer.
  bool inside_(const vcVector<2>& p) const;

  // Checks of the edits. validateReplacement_ re-checks vertex v and every
  // part whose geometry changed; validate_ checks everything.
  void validateReplacement_(int v);
  void validate_();

private:
  void rebuildLabels_();
  void addLabel_(long label);
  // Works out every corner's rounding data (rStart_ to rCenter_) afresh.
  void deriveRoundings_();
  // Drops the inside test's index for a new, not yet built one; throws
  // invalidVertices when a closed outline's box is not finite.
  void resetInsideIndex_();
  // Re-derives the roundings and checks the poly; parts whose geometry equals
  // one of `before` (the parts of the poly as it was) are not re-checked
  // against each other. An empty `before` checks every pair.
  void check_(const vcSMDGDPoly* before);
  template <class Edit>
  void edit_(Edit&& e);

  static vcPersistent* make();
  static const vc_Instantiator sExemplar;
  void serialize_(vcArchive& ar, unsigned char version);
};

bool vfRealEq(const vcSMDGDPoly& a, const vcSMDGDPoly& b, double eps);
// Every vertex scaled (tolerance nominals only) or moved, then fully re-checked.
vcSMDGDPoly operator*(double s, const vcSMDGDPoly& p);
vcSMDGDPoly operator*(const vc2Rigid& r, const vcSMDGDPoly& p);

// Static operations on polys. Segment and vertex indices follow the poly's
// rules and throw vcSMDGDPoly::invalidIndex when broken.
class vcSMDGDPolyPrivate {
public:
  // The scale type that corresponds to a tolerance form, and back:
  // eLimits/eScaleNone, eOffsets/eScaleNominal, ePercentages/eScaleProportional;
  // any other value maps to the middle one.
  static vcSMDDimension::ScaleType scaleType(vcDimTol::TolType t);
  static vcDimTol::TolType tolType(vcSMDDimension::ScaleType s);
  // d as a tolerance in the form of its scale type. Throws vcShapesError::BadGeom
  // when d's limits do not make a valid tolerance.
  static vcDimTol dimTol(const vcSMDDimension& d);

  // Segment s from vertex s-1 to vertex s, in full and cut back by the
  // roundings of its two corners.
  static vc2SegmentLine lineSegment_(const vcSMDGDPoly& p, int s);
  static vc2SegmentArc arcSegment_(const vcSMDGDPoly& p, int s);
  static vc2SegmentLine roundedLineSegment_(const vcSMDGDPoly& p, int s);
  static vc2SegmentArc roundedArcSegment_(const vcSMDGDPoly& p, int s);
  // The rounding arc of corner v (which must be rounded).
  static vc2SegmentArc roundedArcVertex_(const vcSMDGDPoly& p, int v);
  // Segment s moved sideways by d toward (direction - 90 degrees); arcs move
  // to the concentric arc d farther on that side. Halves: start to middle,
  // middle to end.
  static vc2SegmentLine slideLineSegment_(const vcSMDGDPoly& p, int s, double d);
  static vc2SegmentLine firstHalfSlideLineSegment_(const vcSMDGDPoly& p, int s, double d);
  static vc2SegmentLine secondHalfSlideLineSegment_(const vcSMDGDPoly& p, int s, double d);
  static vc2SegmentArc slideArc_(const vcSMDGDPoly& p, int s, double d);
  static vc2SegmentArc firstHalfSlideArc_(const vcSMDGDPoly& p, int s, double d);
  static vc2SegmentArc secondHalfSlideArc_(const vcSMDGDPoly& p, int s, double d);

  // Corner angle of v: 180 - (incoming end direction - outgoing start
  // direction), in [-180, 180); negative where the outline turns toward +angle.
  static vcDegree vertexAngle(const vcSMDGDPoly& p, int v);
  static vcVector<2> roundPoint(const vcSMDGDPoly& p, int v) { return p.roundPoint_(v); }
  static double perimeter(const vcSMDGDPoly& p, double minLength) { return p.perimeter_(minLength); }
  static double perimeter(const vcSMDGDPoly& p, const vcXform<2>& x) { return p.perimeter_(x); }
  static bool inside(const vcSMDGDPoly& p, const vcVector<2>& pt) { return p.inside_(pt); }
  static vcRect boundingBox(const vcSMDGDPoly& p, const vcXform<2>& x) { return p.boundingBox(x); }

  // Renders p mapped by x (client to image coordinates) into image with grey
  // level value, as <vc/wrfm/synthetic.h> describes. smooth: boundary pixels
  // take their exact coverage; otherwise pixels are set by their centres.
  // fill: the interior too (an open poly then draws nothing); otherwise only
  // the pixels the outline passes through, an open poly's set to value. The
  // handle form follows a non-linear transform piece by piece within 0.001
  // pixel and throws vcBadPointer for a null handle.
  static void drawSynthetic(const vcSMDGDPoly& p, const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                            unsigned char value, bool smooth, bool fill);
  static void drawSynthetic(const vcSMDGDPoly& p, const vcPtrHandle_const<vc2XformBase>& x,
                            vcPelBuffer<unsigned char>& image, unsigned char value, bool smooth, bool fill);

  // Cuts back one extension (a fraction of |a|, in and out) of segment a so
  // that, walking out from a's start (backward) or end in steps of `step`,
  // no probe comes within minDistance of b where b runs parallel to a within
  // angleTol. Arcs extend along their circle. Client units throughout.
  static void checkSegmentExtension_(double& extension, const vc2SegmentLine& a, const vc2SegmentLine& b,
                                     double minDistance, const vcDegree& angleTol, double step, bool backward);
  static void checkSegmentExtension_(double& extension, const vc2SegmentLine& a, const vc2SegmentArc& b,
                                     double minDistance, const vcDegree& angleTol, double step, bool backward);
  static void checkSegmentExtension_(double& extension, const vc2SegmentArc& a, const vc2SegmentLine& b,
                                     double minDistance, const vcDegree& angleTol, double step, bool backward);
  static void checkSegmentExtension_(double& extension, const vc2SegmentArc& a, const vc2SegmentArc& b,
                                     double minDistance, const vcDegree& angleTol, double step, bool backward);

  // Rectilinear: axis-parallel first chord, straight segments, right-angled
  // inner corners. Rectangular: also closed, sharp and of 4 vertices.
  static bool isRectilinear(const vcSMDGDPoly& p);
  static bool isRectangular(const vcSMDGDPoly& p);
  // The box of a rectangular poly; an empty vcRect otherwise.
  static vcRect rectangle(const vcSMDGDPoly& p);
  // which 0: length, the dimension of the more horizontal of the first two
  // sides; 1: width, the other. All unset for a non-rectangular poly.
  static vcSMDDimension rectDim(const vcSMDGDPoly& p, long which);
  static vcSMDDimension rectLength(const vcSMDGDPoly& p) { return rectDim(p, 0); }
  static vcSMDDimension rectWidth(const vcSMDGDPoly& p) { return rectDim(p, 1); }

  // The parts of segment s's extensions (see setExtensions_): the forward
  // piece runs from the full segment's end on along its line or circle by
  // the forward extension times the segment's length, the backward piece
  // from that far before its start up to the start. Both run in the
  // segment's direction of travel; an arc piece is at most a full turn.
  static vc2SegmentLine forwardLineSegmentExtension_(const vcSMDGDPoly& p, int s);
  static vc2SegmentLine backwardLineSegmentExtension_(const vcSMDGDPoly& p, int s);
  static vc2SegmentArc forwardArcSegmentExtension_(const vcSMDGDPoly& p, int s);
  static vc2SegmentArc backwardArcSegmentExtension_(const vcSMDGDPoly& p, int s);

  // Drawing; xform maps poly client coordinates to the tablet's client
  // coordinates. The outline as a wireframe in color on layer.
  static void drawWireframe(const vcSMDGDPoly& p, const vcXform<2>& xform, vcUITablet& tablet,
                            const vcColor& color, vcUITabletTypes::Layers layer);
  // Every extension piece longer than 0, forward piece before backward piece
  // segment by segment, in color on layer.
  static void drawNegWireframe(const vcSMDGDPoly& p, const vcXform<2>& xform, vcUITablet& tablet,
                               const vcColor& color, vcUITabletTypes::Layers layer);
  // The piece mapped by xform, as a line segment or an elliptical arc.
  static void overlayLineSegment_(vcUITablet& tablet, const vc2SegmentLine& line, const vcXform<2>& xform,
                                  const vcColor& color, vcUITabletTypes::Layers layer);
  static void overlayArc_(vcUITablet& tablet, const vc2SegmentArc& arc, const vcXform<2>& xform,
                          const vcColor& color, vcUITabletTypes::Layers layer);

  // The outline's orientation modulo 90 degrees, in [-45, 45]: the chords
  // (arcs count as chords) are folded onto the first chord's axes and their
  // length-weighted mean direction taken. 0 with fewer than 2 vertices.
  static vcDegree dominantAngle(const vcSMDGDPoly& p);

  // Cropping. The pieces of m (open or closed) that lie inside the closed
  // cropper c (keepInside) or outside it, as open polys in the order the walk
  // along m from vertex 0 meets them; a closed m that no crossing cuts comes
  // back whole. A meeting point where the outlines only touch does not cut.
  // Vertices of m are copied, except that a vertex whose incoming segment a
  // cut shortened loses its length tolerance; vertices made at a cut are
  // sharp, label -1, fractions 0.5, no tolerance. Where a cut leaves a
  // rounding less room than a poly allows (half of a segment that is not a
  // free end), each rounded corner of that piece is written out instead: sharp
  // vertices at its tangent points (the first carrying the corner's
  // attributes) joined by its rounding arc. Pieces keep m's name,
  // direction flag, colors and weight. An open c throws notClosed.
  static vcSMDGDModel crop(const vcSMDGDPoly& c, const vcSMDGDPoly& m, bool keepInside);
  // Whether the outline of a meets b at p (client coordinates, within 0.001
  // of a) without passing from one side of b to the other: a touch, or an
  // end of an open a. False when p is not on a.
  static bool pointContact(const vcSMDGDPoly& a, const vcVector<2>& p, const vcSMDGDPoly& b);

  // The mirror image in the x axis: every point's y and every span negated,
  // the direction flag inverted; name and the rest kept.
  static vcSMDGDPoly flip(const vcSMDGDPoly& p);
  // Angle of the chord from vertex 0 to vertex 1 (0 with fewer than 2
  // vertices) and translation at the mean of the vertex points.
  static vc2Rigid position(const vcSMDGDPoly& p);
  // The open piece of p that belongs to vertex v: from the point of the
  // incoming segment at v's percentPrevSegment before v (measured along the
  // segment, an arc along the arc), through v, to the point of the outgoing
  // segment at v's percentNextSegment after it; wholeSegments takes both
  // segments entirely. An end vertex of an open poly gives only the side that
  // exists. v is copied (its incoming tolerance dropped when that segment is
  // shortened) and keeps its rounding where it still fits, else turns sharp.
  // An end at a fraction below 1 is a new vertex (sharp, label -1, fractions
  // 0.5, no tolerance); at 1 it is the neighbouring vertex, made sharp.
  static vcSMDGDPoly subPoly(const vcSMDGDPoly& p, int v, bool wholeSegments);
  // The polygon's outline as a closed poly of straight, sharp segments named
  // "poly" (vertex order kept, the fill mode plays no part).
  static vcSMDGDPoly convert(const vcPolygon& polygon);
  // The archive form without the visited mark, for polys read into
  // temporaries whose addresses an archive may have seen before.
  static void exchange_(vcArchive& ar, vcSMDGDPoly& p);

  // ---- utilities for tools that build SMD models ----------------------------
  // Lengths are client units. A filter keeps the order of the polys it keeps
  // and puts the pieces of a poly it takes apart where the poly stood, in
  // outline order. Pieces are open polys with the name, colors, weight and
  // direction flag of the poly they came from. A filter that throws (a piece
  // failing the poly checks) leaves the list as it was.

  // Erases every poly whose perimeter_(0.0) is outside range.
  static void perimeterFilter(std::list<vcSMDGDPoly>& polys, const vcRange& range);
  // With exactly one flag set, erases every poly of the other kind (open or
  // closed); with both or neither set, changes nothing.
  static void closureFilter(std::list<vcSMDGDPoly>& polys, bool keepOpen, bool keepClosed);
  // Removes every segment whose full length (segmentLength_) is outside
  // range, through deleteSegments.
  static void segmentLengthFilter(std::list<vcSMDGDPoly>& polys, const vcRange& range);
  // Removes both segments of every corner whose vertexAngle is outside
  // range, through deleteSegments, so that every corner left has its angle
  // in range (the ends of an open poly are no corners).
  static void vertexAngleFilter(std::list<vcSMDGDPoly>& polys, const vcAngleRange& range);
  // Removes every arc segment whose |span| exceeds |maxSpan|; straight
  // segments always stay.
  static void segmentAngleSpanFilter(std::list<vcSMDGDPoly>& polys, const vcDegree& maxSpan);
  // Removes from the polys of `polys` every segment whose rounded part meets
  // (crosses or touches) a poly of `others`, through deleteSegments; the
  // polys of `others` are not changed.
  static void crossingPolysResolve(std::list<vcSMDGDPoly>& polys, const std::list<vcSMDGDPoly>& others);
  // The runs of consecutive segments of p not named in `segments`, each as an
  // open poly of the run's vertices, in outline order; on a closed poly the
  // run across segment 0 is one piece, and with nothing removed p comes back
  // whole. A run's first vertex keeps the span and tolerance of the segment
  // it no longer ends. An index that names no segment throws invalidIndex;
  // `pieces` is replaced only on success.
  static void deleteSegments(const vcSMDGDPoly& p, const std::vector<long>& segments,
                             std::vector<vcSMDGDPoly>& pieces);
  // Sets every vertex's segmentLengthTol to tol through replaceVertex on a
  // copy, which replaces p only when every step passed its checks.
  static void autoSegmentLengthTolerance(vcSMDGDPoly& p, const vcDimTol& tol);
  // Joins two open polys into result: a, reversed unless aAtEnd (so the join
  // is at a's last vertex, or its first), then the vertices of b from its
  // first (from its last when bAtEnd), the first of them made sharp with a
  // straight joining segment. A closed a or b throws invalidVertices; result
  // is set only on success.
  static void connectPolys(const vcSMDGDPoly& a, bool aAtEnd, const vcSMDGDPoly& b, bool bAtEnd,
                           vcSMDGDPoly& result);
  // Closes a rectilinear chain into a rectilinear outline: an odd vertex
  // count (3 or more) gains the missing corner after the last vertex; an
  // even count of 4 or more has its last vertex moved onto the axis lines
  // through its neighbours, keeping its rounding, label and tolerance; 2
  // vertices just close. One vertex throws invalidVertices; p changes only
  // on success.
  static void closeRectilinear(vcSMDGDPoly& p);
  // Makes p rectilinear in the frame turned by dominantAngle(p): each corner
  // moves halfway toward the axis lines through its two neighbours,
  // alternately horizontal and vertical, arcs become straight, roundings,
  // name, colors and weight stay, and an odd closed outline gains a corner.
  // The result's sides run along the axes turned by that angle (within
  // rounding), so it passes isRectilinear when the angle is 0; turned back
  // by other angles it is only near enough for a tolerance looser than
  // isRectilinear's. An already rectilinear p is not changed;
  // fewer than 2 vertices throw invalidIndex; p changes only on success.
  static void snapRectilinear(vcSMDGDPoly& p);
  // Replaces vertex i of a rectilinear p by v and keeps p rectilinear by
  // moving i's neighbours along their other segments: a neighbour joined to
  // i by a horizontal segment takes v's y, one joined by a vertical segment
  // v's x. A p that is not rectilinear throws invalidVertices, an i outside
  // [0, n-1] invalidIndex; p changes only on success.
  static void replaceVertexRectilinear(vcSMDGDPoly& p, long i, const vcSMDGDPolyVertex& v);
  // a with its vertex order reversed (new vertex j is old vertex n-1-j), the
  // same open state and the direction flag toggled. Each vertex takes the
  // negated span and the length tolerance of the old segment that now ends
  // at it, and has its segment fractions and its extensions swapped. Vertex
  // 0 of an open result ends no segment: it takes old vertex 0's negated
  // span and tolerance, so that reversing twice gives a back exactly.
  static void reversePoly(const vcSMDGDPoly& a, vcSMDGDPoly& result);

  // ---- offsets ----------------------------------------------------------------
  // The exact offset of p by distance (client units): the outline of the
  // points whose distance from p's region is `distance` (> 0, grows) or that
  // lie |distance| deep inside it (< 0, shrinks). Lines move parallel, arcs
  // and roundings stay concentric, corners that the offset turns around get
  // round joins of radius |distance| about the corner, and where offsets
  // overlap (concave corners, narrow parts) they are trimmed, so that every
  // point of the result is exactly |distance| from p's outline. A shrink can
  // split an outline into several or remove it (an empty result); a growth
  // can enclose a hole, whose outline then runs the other way round. An open
  // p gives the closed band of half-width |distance| around it (the sign is
  // ignored), with round caps at its ends. distance 0 returns p itself.
  // Each result is a closed poly of sharp vertices joined by straight and arc
  // segments (a rounding becomes an arc segment), running the same way round
  // as p, with p's name, colors, arrow colors, weight and direction flag.
  // Its vertices carry no sub-model label (-1), fractions 0.5 and no length
  // tolerance: none of p's segment lengths survive an offset. A non-finite
  // distance throws vcShapesError::BadGeom.
  // join eMitreJoin instead continues the two offsets along their tangents
  // to where they meet, as long as that point lies within mitreLimit x
  // |distance| of the corner (mitreLimit >= 1, else vcShapesError::BadGeom),
  // and cuts the corner square at that reach otherwise; eSquareJoin cuts
  // every such corner square at |distance| from it. Those corners are then
  // farther than |distance| from p; the ends of an open p stay round.
  enum OffsetJoin { eRoundJoin, eMitreJoin, eSquareJoin };
  static std::vector<vcSMDGDPoly> offset(const vcSMDGDPoly& p, double distance, OffsetJoin join = eRoundJoin,
                                         double mitreLimit = 2.0);
  // The outline of the union of the polys grown by distance (> 0, else
  // vcShapesError::BadGeom): closed polys by their regions, open ones by
  // their bands. Result polys are made as offset makes them, each with the
  // attributes of the poly its first part came from.
  static std::vector<vcSMDGDPoly> offsetUnion(const std::vector<vcSMDGDPoly>& polys, double distance);
  // Distance (client units) from pt to p's outline (rounded segments and
  // rounding arcs), signed for a closed p: negative inside.
  static double signedDistance(const vcSMDGDPoly& p, const vcVector<2>& pt);
};
