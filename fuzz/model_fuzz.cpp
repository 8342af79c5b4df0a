// What `vcdraw synth` does with a model file, on arbitrary bytes: the first
// byte chooses the placement (scale, rotation, offset), the rest is read as
// the archive of an SMD model. A model that reads is rendered synthetically
// into an 8-bit image, which must change no pixel outside its window, and
// drawn as wireframes, negative wireframes and direction arrows on a tablet
// over Cairo scopes. Drawing may refuse what cannot be drawn only with the
// library's exceptions.
#include <numbers>

#include <vc/cairo/cairoscope.h>
#include <vc/core/archive.h>
#include <vc/core/pelbuffer.h>
#include <vc/uitablet.h>
#include <vc/wrfm/smdmodel.h>

#include "fuzz_target.h"

namespace {

// Model units to pixels, as vcdraw synth builds it (--scale, --rotate, --offset).
vcXform<2> placement(std::uint8_t choice) {
  static const double kScales[] = {1, 4, 0.01, 1000, 1e-9, 1e9, 0.37, 60};
  static const double kDegrees[] = {0, 10, 90, -33.3};
  const double scale = kScales[choice % 8];
  const double degrees = kDegrees[choice / 8 % 4];
  const vcVector<2> at = choice / 32 % 2 ? vcVector<2>(32, 24) : vcVector<2>(-500, 7);
  return vcXform<2>::translation(at) * vcXform<2>::rotation(vcRadian(degrees * std::numbers::pi / 180)) *
         vcXform<2>::scale(scale, scale);
}

void synthetic(const vcSMDGDModel& model, const vcXform<2>& x) {
  // The image is a window inside a larger buffer whose frame must stay as it was.
  constexpr long kW = 64, kH = 48, kFrame = 3;
  constexpr unsigned char kOutside = 77;
  vcPelBuffer<unsigned char> whole(kW + 2 * kFrame, kH + 2 * kFrame);
  whole.fill(kOutside);
  vcPelBuffer<unsigned char> image = whole;
  image.window(vcRectangle<long>(kFrame, kFrame, kW, kH));
  try {
    model.drawSynthetic(x, image);
  } catch (const vcException&) {
    // A model that cannot be drawn may be refused; the frame is checked all the same.
  }
  for (long y = 0; y < whole.height(); ++y)
    for (long px = 0; px < whole.width(); ++px) {
      const bool inside = px >= kFrame && px < kFrame + kW && y >= kFrame && y < kFrame + kH;
      if (!inside && *whole.pointToPel(px, y) != kOutside) vc_fuzzFailure("synthetic rendering wrote outside its window");
    }
}

void wireframes(const vcSMDGDModel& model, const vcXform<2>& x) {
  vcCairoScope image(vcPair<long>(64, 48), vcCairoScope::eImage);
  vcCairoScope overlay(vcPair<long>(64, 48), vcCairoScope::eOverlay);
  vcUITablet tablet(&image, &overlay);
  tablet.visible(true);
  try {
    model.drawWireframe(x, tablet);
    vcSMDGDModelPrivate::drawNegWireframe(model, x, tablet);
    model.drawDirectionArrows(x, tablet);
  } catch (const vcException&) {
    // Refused as undrawable: fine, as long as nothing else went wrong.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  vcSMDGDModel model;
  try {
    vcBufferArchive in(data + 1, size - 1);
    in || model;
  } catch (const vcException&) {
    return 0;
  }
  const vcXform<2> x = placement(data[0]);
  synthetic(model, x);
  wireframes(model, x);
  return 0;
}
