// The archive form of vcGenPoly. Stored bytes are untrusted: the poly, the
// transform and the flag are read into temporaries and replace the shape's
// only when all three are sound.
#include <memory>

#include <vc/core/archive.h>
#include <vc/wrfm/genpoly.h>

void vcGenPoly::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcGenPoly))) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/wrfm/genpoly", 751);
  vcShape::dispatchSerialize(ar);
  serializeCommon(ar);
  setVisited(this, sizeof(vcGenPoly));
}

void vcGenPoly::serializeCommon(vcArchive& ar) {
  if (ar.isStoring()) {
    ar || *poly_ || xform_ || mutable_;
    return;
  }
  auto p = std::make_unique<vcSMDGDPoly>("poly");
  vcXform<2> x;
  bool m = true;
  ar || *p || x || m;
  if (x.matrix().isSingular()) vcArchive::fail("vcGenPoly: stored transform is singular");
  notifyMutation_();
  poly_ = std::move(p);
  xform_ = x;
  mutable_ = m;
}

void vcGenPoly::loadSimple(vcArchive& ar) {
  if (ar.isLoading())
    serializeCommon(ar);
  else
    dispatchSerialize(ar);
}
