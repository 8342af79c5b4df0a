// Synthetic images of tolerance zones, through the poly renderer.
#include <vc/wrfm/smdzone.h>

namespace {

// The region of m: its outlines filled with value, then its holes with background.
void fill(const vcSMDGDModel& m, const std::vector<bool>& hole, const vcXform<2>& x,
          vcPelBuffer<unsigned char>& image, unsigned char value, unsigned char background) {
  for (bool holes : {false, true})
    for (std::size_t i = 0; i < m.polys().size(); ++i)
      if (hole[i] == holes)
        vcSMDGDPolyPrivate::drawSynthetic(m.polys()[i], x, image, holes ? background : value, true, true);
}

}  // namespace

void vcSMDToleranceZone::drawBandSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                           unsigned char value, unsigned char background) const {
  fill(outer_, outerHole_, x, image, value, background);
  fill(inner_, innerHole_, x, image, background, value);
}

void vcSMDToleranceZone::drawMinMaterialSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                                  unsigned char value, unsigned char background) const {
  fill(inner_, innerHole_, x, image, value, background);
}

void vcSMDToleranceZone::drawMaxMaterialSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                                  unsigned char value, unsigned char background) const {
  fill(outer_, outerHole_, x, image, value, background);
}
