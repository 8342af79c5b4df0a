// Valid inputs for the render target: each record kind alone and all of
// them in one sketch, each at several scales, offsets and layers.
#include <cstdint>
#include <vector>

#include <vc/uitablet.h>

#include "sketch_drawings.h"

std::vector<std::vector<std::uint8_t>> vc_fuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  const auto add = [&](std::uint8_t choice, const vcUISketch& s) {
    std::vector<std::uint8_t> seed = {choice};
    seed.insert(seed.end(), s.data(), s.data() + s.size());
    seeds.push_back(seed);
  };
  vcUITablet all;
  std::uint8_t choice = 0;
  for (const vc_FuzzDrawing& draw : vc_fuzzSketchDrawings()) {
    vcUITablet t;
    draw(t, vcUITablet::eImage);
    draw(all, choice % 2 ? vcUITablet::eOverlay : vcUITablet::eImage);
    add(choice, t.sketch());
    choice = static_cast<std::uint8_t>((choice + 5) % 48);
  }
  // Every prefix of a seed is replayed in the test suite: the whole sketch twice only.
  for (const std::uint8_t c : {4, 41}) add(c, all.sketch());
  return seeds;
}
