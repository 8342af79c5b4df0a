// vc2Wireframe: polarity, segment tolerances and the archive form.
#include <vc/wrfm/wireframe.h>

#include <cmath>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

template class vcShapeBase<vc2Wireframe, vcGenPoly>;

// Defined beside the wireframe so that the SMD poly's files need not know it.
vcSMDGDPoly::vcSMDGDPoly(const vc2Wireframe& w, const std::string& name) : vcSMDGDPoly(w.poly()) {
  vcSMDGeometricDescription::operator=(vcSMDGeometricDescription(name));
}

vc2Wireframe::vc2Wireframe(const vcGenPoly& g) { vcGenPoly::operator=(g); }

vc2Wireframe::vc2Wireframe(const vcGenPoly& g, const vcDimTol& tol) : vc2Wireframe(g) {
  editPoly_([&](vcSMDGDPoly& p) {
    for (long i = 0; i < p.numSegments(); ++i) setTol_(p, i, tol);
  });
}

void vc2Wireframe::polarity(bool reversed) {
  if (reversed == isPolarityReversed()) return;
  notifyMutation_();
  mutablePoly_().toggleDirection();
  polarity_(reversed);
}

void vc2Wireframe::polarity_(bool) {}

bool vc2Wireframe::isInsidePositive() const {
  if (isOpen() || degen()) throw vcShapesError::BadGeom("vc2Wireframe::isInsidePositive: the wireframe is open");
  const bool positive = smd_([&] { return poly().isDirectionPositive(); });
  const vcMatrix<2>& m = xform().matrix();
  const bool mirrors = std::cos(m.xRot().toDouble() - m.yRot().toDouble()) < 0.0;
  return positive != mirrors;
}

void vc2Wireframe::insidePolarity(bool insidePositive) {
  if (insidePositive == isInsidePositive()) return;
  notifyMutation_();
  mutablePoly_().toggleDirection();
}

void vc2Wireframe::setTol_(vcSMDGDPoly& p, long i, const vcDimTol& tol) const {
  if (i < 0 || i >= p.numSegments())
    throw vcShapesError::BadCoef("vc2Wireframe: segment " + std::to_string(i) + " does not exist");
  const int end = static_cast<int>((i + 1) % p.numVertices());
  vcSMDGDPolyVertex v = p.vertex(end);
  v.segmentLengthTol(tol);
  p.replaceVertex(end, v);
}

void vc2Wireframe::segmentLengthTol(long i, const vcDimTol& tol) {
  requireMutable_("segmentLengthTol");
  editPoly_([&](vcSMDGDPoly& p) { setTol_(p, i, tol); });
}

vcDimTol vc2Wireframe::segmentLengthTol(long i) const {
  const int s = smdSegment_(i);
  return smd_([&] { return vcSMDGDPolyPrivate::dimTol(poly().segmentDimension(s)); });
}

void vc2Wireframe::insertVertex(long i, const vcVector<2>& p, double roundingSize, const vcRadian& span,
                                const vcDimTol& tol) {
  requireMutable_("insertVertex");
  notifyMutation_();
  const vcSMDGDPoly saved = poly();
  try {
    if (i != -1 && nextSegmentIndex(i) != -1) editPoly_([&](vcSMDGDPoly& q) { setTol_(q, nextSegmentIndex(i), noTol_()); });
    vcGenPoly::insertVertex(i, p, roundingSize, span);
    if (i != -1) editPoly_([&](vcSMDGDPoly& q) { setTol_(q, nextSegmentIndex(i), tol); });
  } catch (...) {
    mutablePoly_() = saved;
    throw;
  }
}

void vc2Wireframe::insertVertex(const vcVector<2>& p, double roundingSize, const vcRadian& span, const vcDimTol& tol) {
  insertVertex(numVertices() - 1, p, roundingSize, span, tol);
}

void vc2Wireframe::close(const vcRadian& span, const vcDimTol& tol) {
  if (!isOpen()) return;
  requireMutable_("close");
  const vcSMDGDPoly saved = poly();
  try {
    vcGenPoly::close(span);
    editPoly_([&](vcSMDGDPoly& q) { setTol_(q, nextSegmentIndex(numVertices() - 1), tol); });
  } catch (...) {
    mutablePoly_() = saved;
    throw;
  }
}

void vc2Wireframe::dispatchSerialize(vcArchive& ar) {
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/wrfm/wirefrm", 148);
  vcGenPoly::dispatchSerialize(ar);
}
