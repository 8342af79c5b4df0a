// PNG files read into scopes. The image's size is checked in the header
// before Cairo decodes a pixel: a file of a few bytes may declare 32767 x
// 32767 pixels, four gigabytes once decoded.
#include <vc/cairo/cairoscope.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "cairo_impl.h"

namespace {

struct Reader {
  const std::vector<unsigned char>* bytes;
  std::size_t at;
};

cairo_status_t readBytes(void* closure, unsigned char* out, unsigned int n) {
  Reader& r = *static_cast<Reader*>(closure);
  if (n > r.bytes->size() - r.at) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, r.bytes->data() + r.at, n);
  r.at += n;
  return CAIRO_STATUS_SUCCESS;
}

std::uint32_t be32(const unsigned char* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

std::unique_ptr<vcCairoScope> vfCairoReadPng(const std::vector<unsigned char>& png, long maxPixels) {
  // The signature, then the IHDR chunk: length 13, "IHDR", width, height.
  static const unsigned char kHead[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  if (png.size() < sizeof kHead + 8 || !std::equal(std::begin(kHead), std::end(kHead), png.begin()))
    throw vcCairoError("vfCairoReadPng: not a PNG image");
  const std::uint32_t w = be32(png.data() + 16), h = be32(png.data() + 20);
  if (w < 1 || h < 1 || w > 32767 || h > 32767 || static_cast<double>(w) * h > static_cast<double>(maxPixels))
    throw vcCairoError("vfCairoReadPng: a PNG image of " + std::to_string(w) + " x " + std::to_string(h) +
                       " pixels (at most 32767 x 32767 and " + std::to_string(maxPixels) + " pixels are read)");
  Reader r{&png, 0};
  vc_CairoSurfacePtr s(cairo_image_surface_create_from_png_stream(&readBytes, &r));
  vfCairoCheck(cairo_surface_status(s.get()), "vfCairoReadPng");
  const cairo_format_t format = cairo_image_surface_get_format(s.get());
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
    throw vcCairoError("vfCairoReadPng: a PNG image without 8-bit color channels");
  const vcPair<long> size(cairo_image_surface_get_width(s.get()), cairo_image_surface_get_height(s.get()));
  return std::make_unique<vcCairoScope>(s.get(), size, vcCairoScope::eImage);
}
