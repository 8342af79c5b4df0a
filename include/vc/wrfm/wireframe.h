// vc2Wireframe: a generalised polygon (<vc/wrfm/genpoly.h>) with a polarity,
// which side of its outline counts as inside, and a length tolerance per
// segment. Coordinates, angles and indices follow vcGenPoly.
//
// The polarity is the SMD poly's direction flag (isDirectionReversed()); the
// tolerance of segment i is stored in its end vertex, nextVertexIndex(i).
#pragma once

#include <vc/dimtol.h>
#include <vc/wrfm/genpoly.h>

class vc2Wireframe : public vcShapeBase<vc2Wireframe, vcGenPoly> {
public:
  // No vertices, open, polarity not reversed.
  vc2Wireframe() = default;
  // The same outline, tolerances as stored.
  explicit vc2Wireframe(const vcGenPoly& g);
  // The same outline with every segment's length tolerance set to tol
  // (client units, as vcDimTol describes); the mutable flag is kept.
  vc2Wireframe(const vcGenPoly& g, const vcDimTol& tol);

  bool isPolarityReversed() const noexcept { return poly().isDirectionReversed(); }
  // Sets the polarity; when it changes, calls polarity_(reversed).
  void polarity(bool reversed);
  // For a closed wireframe: whether the inside lies to the +angle side of
  // the outline's travel in client coordinates (the poly's direction sense,
  // inverted when xform() mirrors). An open wireframe throws BadGeom.
  bool isInsidePositive() const;
  // Flips the polarity when insidePositive differs from isInsidePositive();
  // polarity_ is not called.
  void insidePolarity(bool insidePositive);

  // Segment i's length tolerance (poly-frame units). The setter requires a
  // mutable wireframe (else BadGeom); a tolerance the segment's length
  // breaks is rejected with BadGeom.
  void segmentLengthTol(long i, const vcDimTol& tol);
  vcDimTol segmentLengthTol(long i) const;

  // vcGenPoly's editing, plus the tolerance of the segment ending at the new
  // vertex. Inserting into segment i leaves its first part (vertex i to the
  // new vertex) with tol and its second part with no tolerance.
  using vcGenPoly::insertVertex;
  void insertVertex(long i, const vcVector<2>& p, double roundingSize, const vcRadian& span, const vcDimTol& tol);
  void insertVertex(const vcVector<2>& p, double roundingSize, const vcRadian& span, const vcDimTol& tol);
  using vcGenPoly::close;
  // Closes an open wireframe, the closing segment taking span and tol; does
  // nothing to a closed one.
  void close(const vcRadian& span, const vcDimTol& tol);

  // As vcGenPoly::map, returning a wireframe.
  vc2Wireframe map(const vcXform<2>& x) const { return vc2Wireframe(vcGenPoly::map(x)); }
  vc2Wireframe map(const vc2Rigid& r, double scale) const { return vc2Wireframe(vcGenPoly::map(r, scale)); }

  // vcGenPoly equality; the polarity lives in the poly and takes part.
  bool operator==(const vc2Wireframe& o) const { return vcGenPoly::operator==(o); }
  bool operator!=(const vc2Wireframe& o) const { return !(*this == o); }

  // Version byte 0 (another throws vcArchive::UnknownVersion naming
  // "dispc/wrfm/wirefrm"), then the vcGenPoly part.
  void dispatchSerialize(vcArchive& ar) override;

protected:
  // Called after polarity() changed the polarity; nothing here.
  virtual void polarity_(bool reversed);

private:
  friend class vcShapeBase<vc2Wireframe, vcGenPoly>;
  void archiveFields_(vcArchive& ar) { serializeCommon(ar); }
  // The no-tolerance value.
  static vcDimTol noTol_() { return vcDimTol(-1, -1, -1, vcDimTol::eLimits); }
  void setTol_(vcSMDGDPoly& p, long i, const vcDimTol& tol) const;
};
extern template class vcShapeBase<vc2Wireframe, vcGenPoly>;
