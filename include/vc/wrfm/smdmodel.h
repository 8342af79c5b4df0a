// SMD models: several polys that together describe a component.
//
// Frame and units: as <vc/wrfm/smdpoly.h> — client coordinates, angles in
// degrees from +x toward +y. A model's position is the rigid motion that
// places its own frame in the frame it was taken from (see subModel).
#pragma once

#include <string>
#include <vector>

#include <vc/core/xform.h>
#include <vc/wrfm/smdpoly.h>

class vc2Wireframe;
class vcPolygon;

class vcSMDGDModel : public vcSMDGeometricDescription {
public:
  class Errors : public vcException {
  protected:
    Errors() = default;
  };
  VC_SMD_ERROR(invalidIndex);   // "Invalid poly index specified."
  VC_SMD_ERROR(crossingPolys);  // "At least two polys intersect."
  VC_SMD_ERROR(nestedPolys);    // "At least one of the polys is nested."

  // No polys, no labels, identity position.
  explicit vcSMDGDModel(const std::string& name = std::string());
  vcSMDGDModel(const vcSMDGDModel& o);
  vcSMDGDModel& operator=(const vcSMDGDModel& o);

  const std::vector<vcSMDGDPoly>& polys() const noexcept { return polys_; }
  // Poly i; invalidIndex outside [0, numPolys() - 1].
  const vcSMDGDPoly& poly(int i) const;
  int numPolys() const noexcept { return static_cast<int>(polys_.size()); }
  // The polys' labels, each once, in order of first appearance.
  const std::vector<long>& subModelLabels() const noexcept { return labels_; }
  long numVertices() const noexcept;
  // Open when any poly is open; a model without polys is closed.
  bool isOpen() const noexcept;
  bool isClosed() const noexcept { return !isOpen(); }

  // Appending (no check against the other polys): a poly, every poly of a
  // model in order, or the poly of every wireframe (its outline in client
  // coordinates, named after this model). A wireframe whose transform is not
  // a similarity (rotation, uniform scale, mirror, shift) cannot carry its
  // arcs and throws vcShapesError::BadGeom; nothing is appended then.
  vcSMDGDModel& operator<<(const vcSMDGDPoly& p);
  vcSMDGDModel& operator<<(const vcSMDGDModel& m);
  vcSMDGDModel& operator<<(const std::vector<vc2Wireframe>& w);
  // Replaces the list; labels rebuilt.
  void polys(const std::vector<vcSMDGDPoly>& list);
  void colors(const vcSMDColors& c);
  void positiveArrowColor(const vcColor& c);
  void negativeArrowColor(const vcColor& c);

  // out becomes the pieces of the outlines that belong to the vertices
  // labelled `label` (vcSMDGDPolyPrivate::subPoly, in poly and vertex order),
  // moved to their own frame: out's position is their normalized position
  // and its polys are expressed relative to it. No such vertex: out empty.
  void subModel(long label, vcSMDGDModel& out) const;
  // Every poly mirrored in the x axis (vcSMDGDPolyPrivate::flip); name and position kept.
  vcSMDGDModel flip() const;
  // Indices, increasing, of the polys with a segment out of tolerance
  // (vcSMDGDPoly::segmentsOutOfTolerance with the same transforms).
  std::vector<int> polysOutOfTolerance(const vcXform<2>& nominal, const vcXform<2>& measured) const;
  // The poly whose outline is nearest p (client coordinates; ties: the lower
  // index) with its nearest segment and vertex (vcSMDGDPoly::nearestPart).
  vcSMDPolyPick nearestPart(const vcVector<2>& p) const;
  // vcSMDGDModelPrivate::boundingBox(*this, x).
  vcRect boundingBox(const vcXform<2>& x = vcXform<2>::I) const;

  // Drawing on a tablet, poly by poly in order: each outline in its
  // wireframe color, and each poly's direction arrows at size 2 (tablet
  // pixels). x maps model coordinates to the tablet's client coordinates.
  void drawWireframe(const vcXform<2>& x, vcUITablet& tablet) const override;
  void drawDirectionArrows(const vcXform<2>& x, vcUITablet& tablet) const;
  // The synthetic image of every poly in turn, each in its own synthetic
  // color, so later polys win where they overlap (see <vc/wrfm/synthetic.h>).
  // x maps model coordinates to image coordinates; the handle form maps
  // through a possibly non-linear transform and rejects a null handle with
  // vcBadPointer.
  void drawSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image) const override;
  void drawSynthetic(const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image) const override;

  // Equivalent polys and equal positions; names are not compared.
  bool operator==(const vcSMDGDModel& o) const;
  bool operator!=(const vcSMDGDModel& o) const { return !(*this == o); }

  // Version 0: description, polys (version byte 0, 32-bit count, each poly),
  // labels (32-bit count, signed 32-bit each), position. Any other version
  // throws vcArchive::UnknownVersion; loading builds the model aside (each
  // poly checked as its own archive form requires) and replaces the target
  // only on success.
  void dispatchSerialize(vcArchive& ar) override;
  void reInit() override;

protected:
  friend class vcSMDGDModelPrivate;
  friend vcSMDGDModel operator*(const vc2Rigid& r, const vcSMDGDModel& m);

  // Poly i replaced / removed, labels rebuilt, position kept, name emptied;
  // invalidIndex for a missing poly.
  void replacePoly(int i, const vcSMDGDPoly& p);
  void deletePoly(int i);
  void deleteAllPolys();
  // A new model with an empty name.
  void reset();
  void addPolyLabels_(const vcSMDGDPoly& p);
  // The mean of all vertex points; (0, 0) without polys.
  vcVector<2> centerOfMass_() const;
  // Orientation (degrees) of poly 0; 0 without polys.
  double orientation_() const;
  double perimeter_(double minLength) const;
  double extensionPerimeter_() const;
  // Extensions of fraction e on every poly, then cut back against every poly
  // (itself included) at minDistance, angleTol and step (client units).
  void setExtensions_(double minDistance, const vcDegree& angleTol, double step, double e);

private:
  void rebuildLabels_();
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;

  std::vector<vcSMDGDPoly> polys_;
  std::vector<long> labels_;
  vc2Rigid position_;
};

// Every poly scaled by s (re-checked; poly errors pass through); position kept.
vcSMDGDModel operator*(double s, const vcSMDGDModel& m);
// Every poly moved by r; the position becomes r * position, so the model's
// own frame moves with it.
vcSMDGDModel operator*(const vc2Rigid& r, const vcSMDGDModel& m);

// Static operations on models.
class vcSMDGDModelPrivate {
public:
  static vc2Rigid position(const vcSMDGDModel& m) { return m.position_; }
  // A model of one 3-vertex poly: the model's orientation, translation at
  // vertex 1. Otherwise the orientation and the centre of mass.
  static vc2Rigid normalizedPosition(const vcSMDGDModel& m);
  // Same number of polys, equal in order (vcSMDGDPoly::operator==).
  static bool equivalent(const vcSMDGDModel& a, const vcSMDGDModel& b);
  static double perimeter(const vcSMDGDModel& m, double minLength) { return m.perimeter_(minLength); }
  // Extensions of fraction e cut back at minDistance (client units), with an
  // angle tolerance of 10 degrees and probes every minDistance / 2; a
  // minDistance <= 0 throws vcShapesError::BadGeom.
  static void setExtensions(vcSMDGDModel& m, double minDistance, double e);

  // Cropping (vcSMDGDPolyPrivate::crop, pieces in cropper-poly then
  // model-poly order, result named ""). With a cropper model or a list of
  // polygons the pieces inside any cropper poly are kept, after checking that
  // no cropper poly starts inside another (nestedPolys); a single poly or
  // polygon keeps the inside or outside as keepInside says.
  static vcSMDGDModel crop(const vcSMDGDModel& cropper, const vcSMDGDModel& m);
  static vcSMDGDModel crop(const vcSMDGDModel& m, const vcSMDGDPoly& cropper, bool keepInside);
  static vcSMDGDModel crop(const vcSMDGDModel& m, const vcPolygon& cropper, bool keepInside);
  static vcSMDGDModel crop(const vcSMDGDModel& m, const std::vector<vcPolygon>& croppers);

  // out becomes a model named after m holding one poly: the piece of poly
  // `polyIndex` at vertex `vertexIndex` (vcSMDGDPolyPrivate::subPoly with
  // wholeSegments), in m's frame, identity position. invalidIndex for a
  // missing poly; a missing vertex throws vcSMDGDPoly::invalidIndex. out is
  // unchanged on failure.
  static void corner(const vcSMDGDModel& m, vcSMDGDModel& out, int polyIndex, int vertexIndex, bool wholeSegments);
  // A model named "" of the polygons' outlines (vcSMDGDPolyPrivate::convert), in order.
  static vcSMDGDModel convert(const std::vector<vcPolygon>& polygons);
  // The wireframes of positive weight, in order, as polys in client
  // coordinates (as operator<< builds them) whose weight is the given one.
  // The lists must have equal sizes and the weights be finite and >= 0, else
  // vcShapesError::BadGeom.
  static vcSMDGDModel weightedWireframesToModel(std::vector<vc2Wireframe> w, std::vector<double> weights);
  // For the same selection, each wireframe's transform (poly frame to client
  // coordinates): entry k belongs to poly k of weightedWireframesToModel.
  static std::vector<vcXform<2>> wireframeXforms(std::vector<vc2Wireframe> w, std::vector<double> weights);
  // Probes needed to sample every poly's outline every `spacing` units of
  // the frame it is mapped into: for the model mapped by x, and again by
  // (p * x) for every p of `poses`, each poly contributes ceil(mapped
  // perimeter / spacing) (at least 1 for a poly with vertices). A spacing
  // that is not finite and > 0 throws vcShapesError::BadGeom.
  static long numPosProbesRequired(const vcSMDGDModel& m, const vcXform<2>& x, const std::vector<vcXform<2>>& poses,
                                   double spacing);
  // The box of every poly's outline mapped by x (exact on arcs); the box of
  // the model at each of the transforms; null (negative size) for nothing.
  static vcRect boundingBox(const vcSMDGDModel& m, const vcXform<2>& x);
  static vcRect boundingBox(const vcSMDGDModel& m, const std::vector<vcXform<2>>& xs);
  // The same over the closed polys whose direction is negative / positive
  // (vcSMDGDPoly::isDirectionPositive); open polys count in neither.
  static vcRect boundingBoxNeg(const vcSMDGDModel& m, const vcXform<2>& x);
  static vcRect boundingBoxPositive(const vcSMDGDModel& m, const vcXform<2>& x);
  // Every poly's segment extensions in red on the image layer
  // (vcSMDGDPolyPrivate::drawNegWireframe).
  static void drawNegWireframe(const vcSMDGDModel& m, const vcXform<2>& x, vcUITablet& tablet);
  // The perimeter-weighted mean of the polys' dominant angles, folded into
  // [-45, 45] degrees; 0 without polys.
  static vcDegree dominantAngle(const vcSMDGDModel& m);

  // Offsets (vcSMDGDPolyPrivate::offset): every poly offset by distance
  // (client units, > 0 grows, < 0 shrinks), the results in poly order, a
  // poly that vanishes contributing none; name and position kept.
  static vcSMDGDModel offset(const vcSMDGDModel& m, double distance);
  // The courtyard: the outline of the union of every poly grown by
  // clearance (client units, finite and > 0, else vcShapesError::BadGeom),
  // exact on lines and arcs (vcSMDGDPolyPrivate::offsetUnion); an open poly
  // counts by its band. Name and position kept.
  static vcSMDGDModel courtyard(const vcSMDGDModel& m, double clearance);
};
