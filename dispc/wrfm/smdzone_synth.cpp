// Synthetic images of tolerance zones, through the poly renderer.
#include <vc/wrfm/smdzone.h>

namespace {

void fill(const vcSMDGDModel& m, const vcXform<2>& x, vcPelBuffer<unsigned char>& image, unsigned char value) {
  for (const vcSMDGDPoly& p : m.polys()) vcSMDGDPolyPrivate::drawSynthetic(p, x, image, value, true, true);
}

}  // namespace

void vcSMDToleranceZone::drawBandSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                           unsigned char value, unsigned char background) const {
  fill(outer_, x, image, value);
  fill(inner_, x, image, background);
}

void vcSMDToleranceZone::drawMinMaterialSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                                  unsigned char value) const {
  fill(inner_, x, image, value);
}

void vcSMDToleranceZone::drawMaxMaterialSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                                  unsigned char value) const {
  fill(outer_, x, image, value);
}
