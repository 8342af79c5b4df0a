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

#include <string>
#include <vector>

#include <vc/core/rect.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/lineseg.h>
#include <vc/wrfm/smdvertex.h>

class vcSMDGDPolyPrivate;

class vcSMDGDPoly : public vcSMDGeometricDescription {
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
  vcSMDGDPoly(const vcSMDGDPoly& o);
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

  // Vertex count, open state, vertices, direction flag, colors and weights
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
  // One y-monotone piece of the closed outline, for the crossing count of
  // inside_: a line from a to b, or an arc piece on the circle (c, r) whose
  // x is c.x + side * sqrt(r^2 - (y - c.y)^2).
  struct RayPiece {
    vcVector<2> a, b, c;
    double r2 = 0.0;
    double side = 0.0;  // 0 for a line, +1 or -1 for an arc piece
  };
  void rebuildRay_();
  void rebuildLabels_();
  void addLabel_(long label);
  // Re-derives the roundings and checks the poly; parts whose geometry equals
  // one of `before` (the parts of the poly as it was) are not re-checked
  // against each other. An empty `before` checks every pair.
  void check_(const vcSMDGDPoly* before);
  template <class Edit>
  void edit_(Edit&& e);

  std::vector<vcSMDGDPolyVertex> v_;
  std::vector<long> labels_;
  std::vector<vcVector<2>> rStart_;
  std::vector<vcVector<2>> rEnd_;
  std::vector<double> rSpan_;
  std::vector<vcVector<2>> rCenter_;  // derived: rounding centres, not stored
  bool open_ = true;
  bool reversed_ = false;
  vcSMDColors colors_;
  vcColor posColor_;
  vcColor negColor_;
  double weight_ = 1.0;
  // Derived, for inside_: the closed outline's monotone pieces, its box, and
  // horizontal bands listing the pieces that reach into each.
  std::vector<RayPiece> ray_;
  vcRect rayBox_;
  std::vector<int> bandStart_;
  std::vector<int> bandItems_;
  double bandScale_ = 0.0;
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

  // The outline's orientation modulo 90 degrees, in [-45, 45]: the chords
  // (arcs count as chords) are folded onto the first chord's axes and their
  // length-weighted mean direction taken. 0 with fewer than 2 vertices.
  static vcDegree dominantAngle(const vcSMDGDPoly& p);
};
