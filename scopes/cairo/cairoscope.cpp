// vcCairoScope: surfaces, the scope tree, clipping, colors, the one painting
// routine every drawing operation goes through, and output.
#include <vc/cairo/cairoscope.h>

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cairo_impl.h"

VC_DEFINE_EXCEPTION_LEAF(vcCairoError, 0x10003001)

// ---- shared helpers -------------------------------------------------------------

void vfCairoThrow(cairo_status_t status, const std::string& what) {
  throw vcCairoError(what + ": " + cairo_status_to_string(status));
}

vc_CairoPtr vfCairoContext(cairo_surface_t* s, const char* what) {
  vc_CairoPtr cr(cairo_create(s));
  vfCairoCheck(cairo_status(cr.get()), what);
  return cr;
}

void vfCairoSource(cairo_t* cr, std::uint32_t argb) {
  const auto channel = [argb](int shift) { return static_cast<double>((argb >> shift) & 0xFFu) / 255.0; };
  cairo_set_source_rgba(cr, channel(16), channel(8), channel(0), channel(24));
}

vcUIRect vfCairoCover(double x0, double y0, double x1, double y1) {
  const auto clampPx = [](double v) { return static_cast<long>(std::clamp(v, -1073741823.0, 1073741823.0)); };
  const long l = clampPx(std::floor(x0)), t = clampPx(std::floor(y0));
  return vcUIRect(l, t, clampPx(std::ceil(x1)) - l, clampPx(std::ceil(y1)) - t);
}

namespace {

constexpr long kMaxSide = 32767;

bool isRasterSurface(cairo_surface_t* s) {
  if (cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE) return false;
  const cairo_format_t f = cairo_image_surface_get_format(s);
  return f == CAIRO_FORMAT_RGB24 || f == CAIRO_FORMAT_ARGB32;
}

void checkSize(const vcPair<long>& size) {
  if (size.x() < 0 || size.y() < 0 || size.x() > kMaxSide || size.y() > kMaxSide)
    throw vcBadArgument("vcCairoScope: surface size " + std::to_string(size.x()) + " x " + std::to_string(size.y()) +
                        " is outside 0 to 32767 pixels");
}

// Offsets of the first and one past the last non-zero byte of row[0, n); n, n when there is none.
// Whole words are tested first: most of a mask row is empty.
std::pair<long, long> inkOfRow(const unsigned char* row, long n) {
  long first = 0;
  for (std::uint64_t word = 0; first + 8 <= n; first += 8) {
    std::memcpy(&word, row + first, 8);
    if (word) break;
  }
  while (first < n && !row[first]) ++first;
  if (first == n) return {n, n};
  long end = n;
  for (std::uint64_t word = 0; end - 8 >= first; end -= 8) {
    std::memcpy(&word, row + end - 8, 8);
    if (word) break;
  }
  while (!row[end - 1]) --end;
  return {first, end};
}

// The bounding box of the non-zero pixels of the w x h top-left corner of an A8 surface.
vcUIRect inkOf(cairo_surface_t* mask, long w, long h) {
  cairo_surface_flush(mask);
  const unsigned char* data = cairo_image_surface_get_data(mask);
  const long stride = cairo_image_surface_get_stride(mask);
  long x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (long y = 0; y < h; ++y) {
    const auto [first, end] = inkOfRow(data + y * stride, w);
    if (first == w) continue;
    x0 = std::min(x0, first);
    x1 = std::max(x1, end - 1);
    y0 = std::min(y0, y);
    y1 = y;
  }
  return x1 < 0 ? vcUIRect::null : vcUIRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

// Sets px[i] to word and row[i] to 0 wherever row[i] is not 0, for i in
// [0, n); returns the offsets of the first and one past the last such byte
// (n, n when there is none). Sixteen mask bytes at a time where the processor
// allows: most are all empty (inside outlines) or all full (fills). room:
// the bytes from row on that may be read (not written) past n.
std::pair<long, long> stampRow(unsigned char* row, std::uint32_t* px, long n, long room, std::uint32_t word) {
  long first = n, end = n, x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i ink = _mm_set1_epi32(static_cast<int>(word));
  for (; x + 16 <= n; x += 16) {
    auto* at = reinterpret_cast<__m128i*>(row + x);
    const __m128i empty = _mm_cmpeq_epi8(_mm_loadu_si128(at), zero);
    const unsigned bits = ~static_cast<unsigned>(_mm_movemask_epi8(empty)) & 0xFFFFu;
    if (!bits) continue;
    if (first == n) first = x + std::countr_zero(bits);
    end = x + 32 - std::countl_zero(bits);
    if (bits == 0xFFFFu) {
      auto* out = reinterpret_cast<__m128i*>(px + x);
      for (int k = 0; k < 4; ++k) _mm_storeu_si128(out + k, ink);
    } else {
      // Only stores: reading the surface's pixels would wait on memory.
      for (unsigned b = bits; b; b &= b - 1) px[x + std::countr_zero(b)] = word;
    }
    _mm_storeu_si128(at, zero);
  }
  if (x < n && x + 16 <= room) {
    // The last partial chunk, read whole and cut to the row.
    const __m128i empty = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)), zero);
    const unsigned bits = ~static_cast<unsigned>(_mm_movemask_epi8(empty)) & ((1u << (n - x)) - 1u);
    if (bits) {
      if (first == n) first = x + std::countr_zero(bits);
      end = x + 32 - std::countl_zero(bits);
      for (unsigned b = bits; b; b &= b - 1) {
        const long i = x + std::countr_zero(b);
        px[i] = word;
        row[i] = 0;
      }
    }
    x = n;
  }
#endif
  for (; x < n; ++x)
    if (row[x]) {
      if (first == n) first = x;
      end = x + 1;
      px[x] = word;
      row[x] = 0;
    }
  return {first, end};
}

// Without anti-aliasing the mask holds only 0 and 255, and painting an opaque
// color (OVER) or clearing (DEST_OUT) through it sets each masked pixel to
// word: that is done here in one pass that also finds the masked pixels' box
// and zeroes the mask again. w x h: the mask's used corner; at: where it lies
// on the raster surface (root pixels). Returns the box in mask pixels.
vcUIRect stampMask(cairo_surface_t* mask, long w, long h, cairo_surface_t* target, const vcPair<long>& at,
                   std::uint32_t word) {
  cairo_surface_flush(mask);
  cairo_surface_flush(target);
  unsigned char* data = cairo_image_surface_get_data(mask);
  const long stride = cairo_image_surface_get_stride(mask);
  const long maskHeight = cairo_image_surface_get_height(mask);
  unsigned char* out = cairo_image_surface_get_data(target);
  const long outStride = cairo_image_surface_get_stride(target);
  long x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (long y = 0; y < h; ++y) {
    auto* px = reinterpret_cast<std::uint32_t*>(out + (at.y() + y) * outStride) + at.x();
    const auto [first, end] = stampRow(data + y * stride, px, w, (maskHeight - y) * stride, word);
    if (first == w) continue;
    x0 = std::min(x0, first);
    x1 = std::max(x1, end - 1);
    y0 = std::min(y0, y);
    y1 = y;
  }
  if (x1 < 0) return vcUIRect::null;
  const vcUIRect ink(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
  cairo_surface_mark_dirty_rectangle(mask, static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(ink.width()),
                                     static_cast<int>(ink.height()));
  cairo_surface_mark_dirty_rectangle(target, static_cast<int>(at.x() + x0), static_cast<int>(at.y() + y0),
                                     static_cast<int>(ink.width()), static_cast<int>(ink.height()));
  return ink;
}

// Zeroes r of an A8 surface.
void clearMask(cairo_surface_t* mask, const vcUIRect& r) {
  unsigned char* data = cairo_image_surface_get_data(mask);
  const long stride = cairo_image_surface_get_stride(mask);
  for (long y = r.top(); y < r.bottom(); ++y)
    std::memset(data + y * stride + r.left(), 0, static_cast<std::size_t>(r.width()));
  cairo_surface_mark_dirty_rectangle(mask, static_cast<int>(r.left()), static_cast<int>(r.top()),
                                     static_cast<int>(r.width()), static_cast<int>(r.height()));
}

void clipTo(cairo_t* cr, const vcUIRect& r) {
  cairo_rectangle(cr, static_cast<double>(r.left()), static_cast<double>(r.top()), static_cast<double>(r.width()),
                  static_cast<double>(r.height()));
  cairo_clip(cr);
}

}  // namespace

// ---- surfaces and the tree ------------------------------------------------------------

vcCairoScope::Shared::Shared(vc_CairoSurfacePtr s)
    : surface(std::move(s)), raster(isRasterSurface(surface.get())), palette(vcCairoScope::defaultPalette()) {}

vcCairoScope::Shared::~Shared() = default;

vcCairoScope::vcCairoScope(const vcPair<long>& size, Layers layer, const vcPair<long>& org)
    : vcUIScope(org), layer_(layer), size_(size) {
  checkLayer_();
  checkSize(size);
  vc_CairoSurfacePtr s(cairo_image_surface_create(layer == eOverlay ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                                  static_cast<int>(size.x()), static_cast<int>(size.y())));
  vfCairoCheck(cairo_surface_status(s.get()), "vcCairoScope: cannot make a surface");
  shared_ = std::make_shared<Shared>(std::move(s));
}

vcCairoScope::vcCairoScope(cairo_surface_t* surface, const vcPair<long>& size, Layers layer, const vcPair<long>& org)
    : vcUIScope(org), layer_(layer), size_(size) {
  checkLayer_();
  checkSize(size);
  if (!surface) throw vcBadPointer("vcCairoScope: null surface");
  vfCairoCheck(cairo_surface_status(surface), "vcCairoScope: the surface is in error");
  if (isRasterSurface(surface) &&
      (size.x() > cairo_image_surface_get_width(surface) || size.y() > cairo_image_surface_get_height(surface)))
    throw vcBadArgument("vcCairoScope: size " + std::to_string(size.x()) + " x " + std::to_string(size.y()) +
                        " exceeds the image surface");
  shared_ = std::make_shared<Shared>(vc_CairoSurfacePtr(cairo_surface_reference(surface)));
}

vcCairoScope::vcCairoScope(const std::string& path, VectorFormat format, const vcPair<long>& size,
                           const vcPair<long>& org)
    : vcUIScope(org), layer_(eImage), size_(size) {
  checkSize(size);
  const auto w = static_cast<double>(size.x()), h = static_cast<double>(size.y());
  vc_CairoSurfacePtr s;
  if (format == eSVG)
    s.reset(cairo_svg_surface_create(path.c_str(), w, h));
  else if (format == ePDF)
    s.reset(cairo_pdf_surface_create(path.c_str(), w, h));
  else
    throw vcBadArgument("vcCairoScope: unknown vector format " + std::to_string(static_cast<int>(format)));
  vfCairoCheck(cairo_surface_status(s.get()), "vcCairoScope: cannot write '" + path + "'");
  shared_ = std::make_shared<Shared>(std::move(s));
}

vcCairoScope::vcCairoScope(std::shared_ptr<Shared> shared, Layers layer, bool antialias, double textSize)
    : vcUIScope(vcPair<long>()),
      shared_(std::move(shared)),
      layer_(layer),
      antialias_(antialias),
      textSize_(textSize) {}

vcCairoScope::~vcCairoScope() = default;

void vcCairoScope::checkLayer_() const {
  if (layer_ != eImage && layer_ != eOverlay)
    throw vcBadArgument("vcCairoScope: layer " + std::to_string(static_cast<int>(layer_)) +
                        " is neither eImage nor eOverlay");
}

void vcCairoScope::textSize(double pixels) {
  if (!(pixels >= 1.0 && pixels <= 1000.0))
    throw vcBadArgument("vcCairoScope::textSize: " + std::to_string(pixels) + " is outside 1 to 1000 pixels");
  textSize_ = pixels;
}

bool vcCairoScope::isRaster() const noexcept { return shared_->raster; }
cairo_surface_t* vcCairoScope::surface() const noexcept { return shared_->surface.get(); }
bool vcCairoScope::isNull() const { return size_.x() <= 0 || size_.y() <= 0 || shared_->finished; }

void vcCairoScope::attached(const vcUIScope& parent, const vcUIRect& surfaceRect) {
  const auto* p = dynamic_cast<const vcCairoScope*>(&parent);
  if (!p) throw vcBadArgument("vcCairoScope: a sub-scope's parent must be a vcCairoScope");
  shared_ = p->shared_;
  // The part of the rectangle on the parent's surface becomes this surface.
  const vcUIRect shown = surfaceRect & vcUIRect(0, 0, p->size_.x(), p->size_.y());
  base_ = p->base_ + shown.ul();
  size_ = shown.sz();
}

vcUIScope* vcCairoScope::newChild(const vcUIRect& rect, bool clipOnly) {
  std::unique_ptr<vcCairoScope> child(new vcCairoScope(shared_, layer_, antialias_, textSize_));
  if (clipOnly)
    child->subset(*this, rect);
  else
    child->move(*this, rect);
  return child.release();
}

vcUIRect vcCairoScope::clipRect() const {
  vcUIRect r = surfaceArea();
  if (!displayClipRect().isNull()) r = r & (displayClipRect() - org() + base_);
  if (const auto* p = dynamic_cast<const vcCairoScope*>(parent())) r = r & p->clipRect();
  return r;
}

// ---- locks ------------------------------------------------------------------------------

void vcCairoScope::lockScreenUpdatesPush(bool lock) { locks_.push_back(lock); }

bool vcCairoScope::lockScreenUpdatesPop() {
  if (!locks_.empty()) locks_.pop_back();
  return screenUpdatesLocked();
}

void vcCairoScope::updateScreen() { cairo_surface_flush(surface()); }

// ---- colors -------------------------------------------------------------------------------

std::vector<vcRGB> vcCairoScope::defaultPalette() { return vfScopeDefaultPalette(); }

const std::vector<vcRGB>& vcCairoScope::palette() const noexcept { return shared_->palette; }

void vcCairoScope::setPalette_(const std::vector<vcRGB>& map, bool keepStock) {
  vfScopeColorMap(shared_->palette, map, keepStock, "vcCairoScope");
}

void vcCairoScope::colorMap(const std::vector<vcRGB>& map) { setPalette_(map, true); }
void vcCairoScope::colorMapEx(const std::vector<vcRGB>& map) { setPalette_(map, false); }

std::uint32_t vcCairoScope::argbOf(const vcColor& c) const {
  if (layer_ == eOverlay && c == vcColor::passColor()) return 0;
  if (c.isRGBColor()) return vfScopeOpaque(c.rgbStruct());
  return vfScopeOpaque(palette()[c.index()]);
}

// ---- painting -------------------------------------------------------------------------------

// The ink is rendered into an A8 mask covering its bound (given, or the
// bounds Cairo finds for a recording of it); the mask's non-zero pixels are
// exactly the pixels that change, and the color is painted through it.
vcUIRect vcCairoScope::paint_(const Render& render, std::uint32_t argb, const vcUIRect* bound) {
  if (isNull()) return vcUIRect::null;
  const vcUIRect clip = clipRect();
  if (clip.isNull()) return vcUIRect::null;
  const cairo_antialias_t aa = antialias_ ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE;

  // Vector surfaces report the tighter box of the recording as their change.
  vcUIRect box, whole;
  if (bound && shared_->raster) {
    whole = *bound;
    box = whole & clip;
  } else {
    vc_CairoSurfacePtr rec(cairo_recording_surface_create(CAIRO_CONTENT_ALPHA, nullptr));
    vc_CairoPtr cr = vfCairoContext(rec.get(), "vcCairoScope: cannot record");
    cairo_set_antialias(cr.get(), aa);
    render(cr.get(), 0.0, 0.0);
    cr.reset();
    double x = 0, y = 0, w = 0, h = 0;
    cairo_recording_surface_ink_extents(rec.get(), &x, &y, &w, &h);
    if (!(w > 0.0 && h > 0.0)) return vcUIRect::null;
    whole = vfCairoCover(x - 1.0, y - 1.0, x + w + 1.0, y + h + 1.0);
    box = whole & clip;
  }
  if (box.isNull()) return vcUIRect::null;

  // Colors are opaque, or have alpha 0 and clear.
  const bool clear = (argb >> 24) == 0;
  const auto context = [&] {
    vc_CairoPtr out = vfCairoContext(surface(), "vcCairoScope: cannot draw");
    vfCairoSource(out.get(), clear ? 0xFF000000u : argb);
    cairo_set_operator(out.get(), clear ? CAIRO_OPERATOR_DEST_OUT : CAIRO_OPERATOR_OVER);
    return out;
  };
  if (!shared_->raster) {
    vc_CairoPtr out = context();
    clipTo(out.get(), box);
    cairo_set_antialias(out.get(), aa);
    render(out.get(), 0.0, 0.0);
    change(box - base_);
    return box;
  }

  cairo_surface_t* mask = scratchMask_(box.sz());
  vcUIRect ink;
  try {
    // The mask's pixel (0, 0) is the box's corner; the context stays
    // untransformed and the shift goes into the coordinates render makes.
    cairo_t* cr = shared_->maskContext.get();
    vc_CairoSettings& known = shared_->maskSettings;
    if (known.antialias != static_cast<int>(aa)) {
      cairo_set_antialias(cr, aa);
      known.antialias = static_cast<int>(aa);
    }
    // All the ink lies in whole: only a box cut by the clip needs clipping.
    const bool cut = !(box == whole);
    if (cut) clipTo(cr, vcUIRect(0, 0, box.width(), box.height()));
    render(cr, -static_cast<double>(box.left()), -static_cast<double>(box.top()));
    if (cut) cairo_reset_clip(cr);
    cairo_new_path(cr);
    vfCairoCheck(cairo_status(cr), "vcCairoScope: drawing a mask failed");
    if (!antialias_) {
      ink = stampMask(mask, box.width(), box.height(), surface(), box.ul(), clear ? 0u : argb);
    } else {
      ink = inkOf(mask, box.width(), box.height());
      if (ink.isNull()) return vcUIRect::null;
      vc_CairoPtr out = context();
      clipTo(out.get(), ink + box.ul());
      cairo_mask_surface(out.get(), mask, static_cast<double>(box.left()), static_cast<double>(box.top()));
      vfCairoCheck(cairo_status(out.get()), "vcCairoScope: drawing failed");
      clearMask(mask, ink);
    }
    if (ink.isNull()) return vcUIRect::null;
  } catch (...) {
    // Its pixels and its context's state are unknown now; the next call makes new ones.
    shared_->maskContext.reset();
    shared_->mask.reset();
    throw;
  }
  const vcUIRect touched = ink + box.ul();
  change(touched - base_);
  return touched;
}

cairo_surface_t* vcCairoScope::scratchMask_(const vcPair<long>& size) {
  vc_CairoSurfacePtr& m = shared_->mask;
  if (m && cairo_image_surface_get_width(m.get()) >= size.x() && cairo_image_surface_get_height(m.get()) >= size.y())
    return m.get();
  // Grown by half again, so a run of growing calls makes few masks.
  const auto grown = [](long need, long had) { return std::max(need, std::min(had + had / 2, kMaxSide)); };
  const long w = grown(size.x(), m ? cairo_image_surface_get_width(m.get()) : 0);
  const long h = grown(size.y(), m ? cairo_image_surface_get_height(m.get()) : 0);
  shared_->maskContext.reset();
  m.reset();
  vc_CairoSurfacePtr made(cairo_image_surface_create(CAIRO_FORMAT_A8, static_cast<int>(w), static_cast<int>(h)));
  vfCairoCheck(cairo_surface_status(made.get()), "vcCairoScope: cannot make a mask");
  shared_->maskContext = vfCairoContext(made.get(), "vcCairoScope: cannot draw a mask");
  shared_->maskSettings = vc_CairoSettings{};
  m = std::move(made);
  return m.get();
}

void vcCairoScope::setRoot_(const vcUIRect& r, const vcColor& color) {
  if (isNull()) return;
  const vcUIRect area = r & clipRect();
  if (area.isNull()) return;
  vc_CairoPtr cr = vfCairoContext(surface(), "vcCairoScope::set");
  clipTo(cr.get(), area);
  vfCairoSource(cr.get(), argbOf(color));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr.get());
  change(area - base_, true);
}

void vcCairoScope::set(const vcUIRect& rect, const vcColor& color) { setRoot_(rect - org() + base_, color); }
void vcCairoScope::set(const vcColor& color) { setRoot_(surfaceArea(), color); }

// ---- pixels and output ---------------------------------------------------------------------

std::uint32_t vcCairoScope::argb(long x, long y) const {
  if (!shared_->raster) throw vcCairoError("vcCairoScope::argb: a vector surface has no pixels to read");
  if (x < 0 || y < 0 || x >= size_.x() || y >= size_.y())
    throw vcBadArgument("vcCairoScope::argb: pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                        ") is outside the surface");
  cairo_surface_t* s = surface();
  cairo_surface_flush(s);
  const unsigned char* row = cairo_image_surface_get_data(s) + (y + base_.y()) * cairo_image_surface_get_stride(s);
  const std::uint32_t v = reinterpret_cast<const std::uint32_t*>(row)[x + base_.x()];
  if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24) return v | 0xFF000000u;
  const std::uint32_t a = v >> 24;
  if (a == 0) return 0;
  const auto un = [v, a](int shift) { return (((v >> shift) & 0xFFu) * 255u + a / 2) / a; };
  return (a << 24) | (un(16) << 16) | (un(8) << 8) | un(0);
}

void vcCairoScope::writePng(const std::string& path) const {
  if (!shared_->raster) throw vcCairoError("vcCairoScope::writePng: a vector surface has no pixels to write");
  cairo_surface_t* s = surface();
  vc_CairoSurfacePtr copy(cairo_image_surface_create(cairo_image_surface_get_format(s), static_cast<int>(size_.x()),
                                                     static_cast<int>(size_.y())));
  vfCairoCheck(cairo_surface_status(copy.get()), "vcCairoScope::writePng");
  {
    vc_CairoPtr cr = vfCairoContext(copy.get(), "vcCairoScope::writePng");
    cairo_set_source_surface(cr.get(), s, -static_cast<double>(base_.x()), -static_cast<double>(base_.y()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
  }
  vfCairoCheck(cairo_surface_write_to_png(copy.get(), path.c_str()),
               "vcCairoScope::writePng: cannot write '" + path + "'");
}

void vcCairoScope::finish() {
  if (shared_->finished) return;
  cairo_surface_finish(surface());
  shared_->finished = true;
  vfCairoCheck(cairo_surface_status(surface()), "vcCairoScope::finish");
}

std::unique_ptr<vcCairoScope> vfCairoComposite(const vcCairoScope& image, const vcCairoScope& overlay) {
  if (!image.isRaster() || !overlay.isRaster())
    throw vcCairoError("vfCairoComposite: both scopes need raster surfaces");
  auto out = std::make_unique<vcCairoScope>(image.size(), vcCairoScope::eImage);
  vc_CairoPtr cr = vfCairoContext(out->surface(), "vfCairoComposite");
  const vcUIRect a = image.surfaceArea(), b = overlay.surfaceArea();
  cairo_set_source_surface(cr.get(), image.surface(), -static_cast<double>(a.left()), -static_cast<double>(a.top()));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr.get());
  clipTo(cr.get(), vcUIRect(0, 0, b.width(), b.height()));
  cairo_set_source_surface(cr.get(), overlay.surface(), -static_cast<double>(b.left()), -static_cast<double>(b.top()));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
  cairo_paint(cr.get());
  vfCairoCheck(cairo_status(cr.get()), "vfCairoComposite");
  cairo_surface_flush(out->surface());
  return out;
}
