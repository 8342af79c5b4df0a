// vcCairoScope: flood fill, which reads and writes the surface's pixels.
#include <vc/cairo/cairoscope.h>

#include <string>

#include "cairo_impl.h"

void vcCairoScope::fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type) {
  if (type != eFillToBorder && type != eFillSurface)
    throw vcBadArgument("vcCairoScope::fill: fill type " + std::to_string(static_cast<int>(type)) +
                        " is neither eFillToBorder nor eFillSurface");
  if (!shared_->raster) throw vcCairoError("vcCairoScope::fill: flood fill needs a raster surface");
  if (isNull()) return;
  const vcUIRect clip = clipRect();
  const vcPair<long> start = seed - org() + base_;
  if (!clip.within(start)) return;

  cairo_surface_t* s = surface();
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const long stride = cairo_image_surface_get_stride(s);
  const bool opaque = cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24;
  // RGB24 pixels carry an undefined top byte; ARGB32 ones compare whole
  // (premultiplied, but every color drawn here has alpha 0 or 255).
  const std::uint32_t mask = opaque ? 0x00FFFFFFu : 0xFFFFFFFFu;
  const auto pel = [&](long x, long y) -> std::uint32_t& {
    return reinterpret_cast<std::uint32_t*>(data + y * stride)[x];
  };
  const auto word = [](std::uint32_t argb) { return (argb >> 24) == 0 ? 0u : argb; };
  const vcUIRect filled =
      vfScopeFloodFill(clip, start, pel, mask, word(argbOf(color)), word(argbOf(color2)) & mask, type == eFillToBorder);
  if (filled.isNull()) return;
  cairo_surface_mark_dirty_rectangle(s, static_cast<int>(filled.left()), static_cast<int>(filled.top()),
                                     static_cast<int>(filled.width()), static_cast<int>(filled.height()));
  change(filled - base_);
}
