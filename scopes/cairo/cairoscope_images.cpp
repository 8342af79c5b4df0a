// vcCairoScope: images of every pixel type, plain and resampled. Each image
// becomes premultiplied ARGB pixels for the part that can be seen, pass
// pixels transparent, and is painted over the surface.
#include <vc/cairo/cairoscope.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <vc/core/pel.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/pelcopy.h>

#include "cairo_impl.h"

namespace {

constexpr long kExtentLimit = 1L << 30;

// The scaled pixels that show a source pixel (the display layer's rule).
long scaledExtent(long n, double s) { return vfScaledExtent(n, s, kExtentLimit); }

// Nearest-neighbour scaling with a scale per axis into the part of the
// scaled image (its corner at rect's corner plus offset) that lies in rect;
// rect becomes that part. False when nothing of it lies there.
template <class T>
bool scaleNearest(const vcPelBuffer_const<T>& src, vcPelBuffer<T>& dst, const vcPair<double>& scale, vcUIRect& rect,
                  const vcPair<long>& offset) {
  const double sx = vfScopeSettled(scale.x()), sy = vfScopeSettled(scale.y());
  const vcUIRect whole(rect.left() + offset.x(), rect.top() + offset.y(), scaledExtent(src.width(), sx),
                       scaledExtent(src.height(), sy));
  const vcUIRect d = whole & rect;
  if (d.isNull()) return false;
  vcPelBuffer<T> out(d.width(), d.height());
  std::vector<long> cols(static_cast<std::size_t>(d.width()));
  for (long i = 0; i < d.width(); ++i)
    cols[static_cast<std::size_t>(i)] =
        std::min(src.width() - 1, static_cast<long>(static_cast<double>(d.left() - whole.left() + i) / sx));
  for (long j = 0; j < d.height(); ++j) {
    const long row = std::min(src.height() - 1, static_cast<long>(static_cast<double>(d.top() - whole.top() + j) / sy));
    const T* in = src.pointToPel(src.offset().x(), src.offset().y() + row);
    T* o = out.pointToPel(0, j);
    for (long i = 0; i < d.width(); ++i) o[i] = in[cols[static_cast<std::size_t>(i)]];
  }
  dst = out;
  rect = d;
  return true;
}

// The window part (left, top relative to the window) of src as an image at
// root pixels `at`, each pixel through convert.
template <class T, class Convert>
vc_CairoImage toImage(const vcPelBuffer_const<T>& src, long left, long top, const vcUIRect& at, Convert convert) {
  vc_CairoImage img;
  img.at = at;
  img.pels.resize(static_cast<std::size_t>(at.width() * at.height()));
  long x0 = at.width(), y0 = at.height(), x1 = -1, y1 = -1;
  std::uint32_t* o = img.pels.data();
  for (long j = 0; j < at.height(); ++j) {
    const T* in = src.pointToPel(src.offset().x() + left, src.offset().y() + top + j);
    for (long i = 0; i < at.width(); ++i) {
      const std::uint32_t v = convert(in[i]);
      *o++ = v;
      if (v == vkScopePass) continue;
      x0 = std::min(x0, i);
      x1 = std::max(x1, i);
      y0 = std::min(y0, j);
      y1 = j;
    }
  }
  if (x1 >= 0) img.ink = vcUIRect(at.left() + x0, at.top() + y0, x1 - x0 + 1, y1 - y0 + 1);
  return img;
}

}  // namespace

vcUIRect vcCairoScope::imageArea_(const vcPoint& corner, long width, long height) const {
  return vcUIRect(xCoord(corner) + base_.x(), yCoord(corner) + base_.y(), width, height) & clipRect();
}

void vcCairoScope::blit_(const vc_CairoImage& image) {
  if (image.ink.isNull()) return;
  const vcUIRect& at = image.at;
  vc_CairoSurfacePtr src(cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(image.pels.data())), CAIRO_FORMAT_ARGB32,
      static_cast<int>(at.width()), static_cast<int>(at.height()), static_cast<int>(at.width() * 4)));
  vfCairoCheck(cairo_surface_status(src.get()), "vcCairoScope: cannot wrap an image");
  vc_CairoPtr cr = vfCairoContext(surface(), "vcCairoScope: cannot draw an image");
  cairo_rectangle(cr.get(), static_cast<double>(at.left()), static_cast<double>(at.top()),
                  static_cast<double>(at.width()), static_cast<double>(at.height()));
  cairo_clip(cr.get());
  cairo_set_source_surface(cr.get(), src.get(), static_cast<double>(at.left()), static_cast<double>(at.top()));
  cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_NEAREST);
  cairo_paint(cr.get());
  vfCairoCheck(cairo_status(cr.get()), "vcCairoScope: drawing an image failed");
  cr.reset();
  src.reset();
  change(image.ink - base_);
}

template <class T, class Convert>
void vcCairoScope::drawPels_(const vcPelBuffer_const<T>& image, const vcPoint& corner, Convert convert) {
  if (isNull() || image.isNull() || image.width() == 0 || image.height() == 0) return;
  const vcUIRect at = imageArea_(corner, image.width(), image.height());
  if (at.isNull()) return;
  const long left = at.left() - (xCoord(corner) + base_.x()), top = at.top() - (yCoord(corner) + base_.y());
  blit_(toImage(image, left, top, at, convert));
}

template <class T, class Convert>
void vcCairoScope::drawScaled_(const vcPelBuffer_const<T>& image, const vcPoint& corner, const vcPair<double>& scale,
                               InterpolationModes mode, Convert convert) {
  if (isNull() || image.isNull() || image.width() == 0 || image.height() == 0) return;
  const vcUIRect clip = clipRect();
  if (clip.isNull()) return;
  vcUIRect d = clip - base_;
  const vcPair<long> offset(xCoord(corner) - d.left(), yCoord(corner) - d.top());
  vcPelBuffer<T> scaled;
  const bool shown = scale.x() == scale.y() ? pelScale(image, scaled, scale.x(), d, offset, mode)
                                            : scaleNearest(image, scaled, scale, d, offset);
  if (shown) blit_(toImage(vcPelBuffer_const<T>(scaled), 0, 0, d + base_, convert));
}

// ---- images at their size ---------------------------------------------------------------

void vcCairoScope::draw(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner, bool passThrough,
                        unsigned long passValue) {
  drawPels_(image, corner, vc_ScopeRgb32{passThrough, passValue});
}
void vcCairoScope::draw(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner, bool passThrough,
                        unsigned short passValue) {
  drawPels_(image, corner, vc_ScopeRgb16{passThrough, passValue});
}
void vcCairoScope::draw(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner, bool passThrough,
                        unsigned short passValue) {
  drawPels_(image, corner, vc_ScopeGrey16{passThrough, passValue});
}
void vcCairoScope::draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, bool passThrough,
                        unsigned char passValue, bool mapped) {
  drawPels_(image, corner, vfScopeTable8(palette(), mapped, passThrough, passValue));
}

void vcCairoScope::draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<vcColor>& colorMap,
                        bool passThrough, unsigned char passValue) {
  if (image.isNull()) return;
  vc_ScopeTable8 t = vfScopeTable8(palette(), true, passThrough, passValue);
  for (std::size_t v = 0; v < std::min<std::size_t>(colorMap.size(), 256); ++v) t.table[v] = argbOf(colorMap[v]);
  // A transparent map entry (the pass color on an overlay) leaves its pixels alone too.
  drawPels_(vcPelBuffer_const<unsigned char>(image.decode()), corner, t);
}

void vcCairoScope::draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<unsigned char>& colorMap,
                        bool passThrough, unsigned char passValue) {
  if (image.isNull()) return;
  vcPelBuffer<unsigned char> pels = image.decode();
  vfPelMap(pels, pels, colorMap);
  drawPels_(vcPelBuffer_const<unsigned char>(pels), corner, vfScopeTable8(palette(), true, passThrough, passValue));
}

// ---- resampled images -------------------------------------------------------------------
// sample takes a tablet's stored factors: whole reductions (2.0) or scales (0.5).

void vcCairoScope::sample(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                          const vcPair<double>& scale, bool passThrough, unsigned long passValue) {
  vfScopeCheckScale(scale, "vcCairoScope::sample");
  drawScaled_(image, corner, sampleScale(scale), eNoInterpolation, vc_ScopeRgb32{passThrough, passValue});
}
void vcCairoScope::sample(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                          const vcPair<double>& scale, bool passThrough, unsigned short passValue) {
  vfScopeCheckScale(scale, "vcCairoScope::sample");
  drawScaled_(image, corner, sampleScale(scale), eNoInterpolation, vc_ScopeRgb16{passThrough, passValue});
}
void vcCairoScope::sample(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                          const vcPair<double>& scale, bool passThrough, unsigned short passValue) {
  vfScopeCheckScale(scale, "vcCairoScope::sample");
  drawScaled_(image, corner, sampleScale(scale), eNoInterpolation, vc_ScopeGrey16{passThrough, passValue});
}
void vcCairoScope::sample(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                          const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped) {
  vfScopeCheckScale(scale, "vcCairoScope::sample");
  drawScaled_(image, corner, sampleScale(scale), eNoInterpolation,
              vfScopeTable8(palette(), mapped, passThrough, passValue));
}

void vcCairoScope::expand(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                          const vcPair<double>& scale, bool passThrough, unsigned long passValue,
                          InterpolationModes mode) {
  vfScopeCheckScale(scale, "vcCairoScope::expand");
  drawScaled_(image, corner, scale, mode, vc_ScopeRgb32{passThrough, passValue});
}
void vcCairoScope::expand(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                          const vcPair<double>& scale, bool passThrough, unsigned short passValue,
                          InterpolationModes mode) {
  vfScopeCheckScale(scale, "vcCairoScope::expand");
  drawScaled_(image, corner, scale, mode, vc_ScopeRgb16{passThrough, passValue});
}
void vcCairoScope::expand(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                          const vcPair<double>& scale, bool passThrough, unsigned short passValue,
                          InterpolationModes mode) {
  vfScopeCheckScale(scale, "vcCairoScope::expand");
  drawScaled_(image, corner, scale, mode, vc_ScopeGrey16{passThrough, passValue});
}
// Palette indices are not blended: mapped images are replicated whatever the mode.
void vcCairoScope::expand(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                          const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped,
                          InterpolationModes mode) {
  vfScopeCheckScale(scale, "vcCairoScope::expand");
  drawScaled_(image, corner, scale, mapped ? eNoInterpolation : mode,
              vfScopeTable8(palette(), mapped, passThrough, passValue));
}
