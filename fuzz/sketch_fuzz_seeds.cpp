// Valid inputs for the sketch fuzz target: each record kind the tablet
// records, alone, for the walk and the replay; its archive form for the
// archive reader; and a version-0 archive.
#include <cstdint>
#include <cstring>
#include <vector>

#include <vc/core/archive.h>
#include <vc/uitablet.h>

#include "sketch_drawings.h"

namespace {

using L = vcUITablet::Layers;

std::vector<std::uint8_t> with(std::uint8_t selector, const unsigned char* p, std::size_t n) {
  std::vector<std::uint8_t> s(n + 1, selector);
  if (n) std::memcpy(s.data() + 1, p, n);
  return s;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> vc_fuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  const L layers[] = {vcUITablet::eImage, vcUITablet::eOverlay, vcUITablet::eBoth};
  int i = 0;
  for (const vc_FuzzDrawing& draw : vc_fuzzSketchDrawings()) {
    const L layer = layers[i++ % 3];
    vcUITablet t;
    draw(t, layer == vcUITablet::eBoth ? vcUITablet::eImage : layer);
    vcUISketch s = t.sketch();
    if (layer == vcUITablet::eBoth) {
      // The first record made on both layers: drawn on the replay layer.
      vcUISketch both;
      unsigned char* w = both.append(s.size());
      std::memcpy(w, s.data(), static_cast<std::size_t>(s.size()));
      w[(w[0] == 40 ? 22 : 0) + 1] = 2;
      s = both;
    }
    const auto replayOn = static_cast<std::uint8_t>(1 + 3 * (i % 3));
    seeds.push_back(with(0, s.data(), static_cast<std::size_t>(s.size())));
    seeds.push_back(with(replayOn, s.data(), static_cast<std::size_t>(s.size())));
    if (s.size() > 0 && s.data()[s.data()[0] == 40 ? 22 : 0] == 15) continue;  // nested sketches have no archive form
    vcBufferArchive ar(vcArchive::eStore);
    ar || s;
    seeds.push_back(with(2, ar.bytes().data(), ar.bytes().size()));
  }

  // A version-0 archive: an outline in the older layout, then a point.
  const unsigned char v0[] = {0, 59, 0, 0, 0,                                 // version 0, 59 bytes
                              25, 0, 4, 3, 0, 0, 0, 0,                        // outline3d head
                              1, 5, 0, 0, 0, 6, 0, 0, 0, 20, 0, 0, 0, 10, 0, 0, 0,  // kind 1, vcUIRect
                              2, 0, 7, 8, 9, 0, 3, 0, 0, 0,                   // one color, width
                              0, 1, 4, 5, 0, 0, 0, 0,                         // point head on the overlay
                              0, 0, 0, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0x08, 0x40};
  seeds.push_back(with(2, v0, sizeof v0));
  return seeds;
}
