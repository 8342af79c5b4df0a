// vcCairoScope: flood fill, which reads and writes the surface's pixels.
#include <vc/cairo/cairoscope.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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
  const std::uint32_t paintWord = word(argbOf(color));
  const std::uint32_t border = word(argbOf(color2)) & mask;
  const std::uint32_t region = pel(start.x(), start.y()) & mask;
  const auto inside = [&](long x, long y) {
    const std::uint32_t v = pel(x, y) & mask;
    return type == eFillToBorder ? v != border : v == region;
  };

  std::vector<unsigned char> seen(static_cast<std::size_t>(clip.width() * clip.height()), 0);
  const auto visit = [&](long x, long y) -> unsigned char& {
    return seen[static_cast<std::size_t>((y - clip.top()) * clip.width() + (x - clip.left()))];
  };
  // Span filling: each popped seed fills its whole run of the row, then seeds
  // one pixel per run of fillable pixels in the rows above and below.
  long x0 = clip.right(), y0 = clip.bottom(), x1 = clip.left() - 1, y1 = clip.top() - 1;
  const auto fillable = [&](long x, long y) { return !visit(x, y) && inside(x, y); };
  std::vector<std::pair<long, long>> todo{{start.x(), start.y()}};
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    if (!fillable(x, y)) continue;
    long l = x, r = x;
    while (l > clip.left() && fillable(l - 1, y)) --l;
    while (r + 1 < clip.right() && fillable(r + 1, y)) ++r;
    for (long i = l; i <= r; ++i) {
      visit(i, y) = 1;
      pel(i, y) = paintWord;
    }
    x0 = std::min(x0, l);
    x1 = std::max(x1, r);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
    for (const long ny : {y - 1, y + 1}) {
      if (ny < clip.top() || ny >= clip.bottom()) continue;
      bool inRun = false;
      for (long i = l; i <= r; ++i) {
        const bool f = fillable(i, ny);
        if (f && !inRun) todo.emplace_back(i, ny);
        inRun = f;
      }
    }
  }
  if (x1 < x0) return;
  const vcUIRect filled(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
  cairo_surface_mark_dirty_rectangle(s, static_cast<int>(filled.left()), static_cast<int>(filled.top()),
                                     static_cast<int>(filled.width()), static_cast<int>(filled.height()));
  change(filled - base_);
}
