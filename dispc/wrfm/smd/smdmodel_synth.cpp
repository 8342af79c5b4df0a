// Synthetic images of SMD models: every poly rendered in turn.
#include <vc/core/exception.h>
#include <vc/core/pelbuffer.h>
#include <vc/wrfm/smdmodel.h>

void vcSMDGDModel::drawSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image) const {
  drawSynthetic(vcPtrHandle_const<vc2XformBase>(new vc2XformLinear(x)), image);
}

void vcSMDGDModel::drawSynthetic(const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image) const {
  if (!x) throw vcBadPointer("vcSMDGDModel::drawSynthetic: null transform handle");
  for (const vcSMDGDPoly& p : polys_) p.drawSynthetic(x, image);
}
