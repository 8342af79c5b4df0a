// What `vcdraw render` does with a sketch, on arbitrary bytes: the first byte
// chooses the scale (from the range vcdraw accepts), the replay offset and
// the layer; the rest is a sketch's byte stream, replayed onto Cairo image
// and overlay scopes and composited for a PNG. A sketch may be refused only
// with the library's exceptions; a replay that fails leaves the tablet's map
// as it was.
#include <vc/cairo/cairoscope.h>
#include <vc/uisketch.h>
#include <vc/uitablet.h>

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const double kScales[] = {1, 0.5, 2, 1e-3, 1000, 0.1, 7.3, 1e-9};
  const double scale = kScales[data[0] % 8];
  const vcPoint offset = data[0] / 8 % 2 ? vcPoint(13.5, -7) : vcPoint(0, 0);
  const auto layer = static_cast<vcUITablet::Layers>(data[0] / 16 % 3);
  vcUISketch sketch;
  sketch.append(data + 1, static_cast<long>(size - 1));

  vcCairoScope image(vcPair<long>(64, 48), vcCairoScope::eImage);
  vcCairoScope overlay(vcPair<long>(64, 48), vcCairoScope::eOverlay);
  vcUITablet tablet(&image, &overlay);
  if (scale != 1.0) tablet.scaleExact(vcPair<double>(scale, scale));
  tablet.visible(true);
  tablet.set(vcColor::blackColor(), vcUITablet::eImage);
  const vcXform<2> map = tablet.scaledMap();
  try {
    tablet.draw(sketch, offset, layer);
  } catch (const vcException&) {
    if (!(tablet.scaledMap() == map)) vc_fuzzFailure("failed replay left the map shifted");
    return 0;
  }
  vfCairoComposite(image, overlay);
  return 0;
}
