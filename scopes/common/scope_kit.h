// What the scopes on other drawing libraries (Cairo, Qt) share: the palette
// they start with and its loading, 0xAARRGGBB pixel words (0 for pass
// pixels), the image pixel converters, the scale checks of the resampled
// image forms, and the span flood fill. Header only, so that every scope
// target compiles its own copy and none depends on another.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <vc/color.h>
#include <vc/core/exception.h>
#include <vc/core/pel.h>
#include <vc/uirect.h>

// The word of a pixel that lets the surface show through.
constexpr std::uint32_t vkScopePass = 0;

inline std::uint32_t vfScopeOpaque(unsigned char r, unsigned char g, unsigned char b) {
  return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
inline std::uint32_t vfScopeOpaque(const vcRGB& c) { return vfScopeOpaque(c.r(), c.g(), c.b()); }
inline std::uint32_t vfScopeGrey(unsigned v) { return 0xFF000000u | (v << 16) | (v << 8) | v; }

// Puts the stock colors at their indices of a 256-entry palette.
inline void vfScopeStockColors(std::vector<vcRGB>& palette) {
  for (int code = 0; code < vcColor::kNumStockColors; ++code) {
    const vcColor& c = vcColor::stockColor(code);
    palette[c.index()] = c.rgbStruct();
  }
}

// The palette every surface starts with: grey levels, the stock colors at their indices.
inline std::vector<vcRGB> vfScopeDefaultPalette() {
  std::vector<vcRGB> p(256);
  for (std::size_t i = 0; i < p.size(); ++i) {
    const auto v = static_cast<unsigned char>(i);
    p[i] = vcRGB(v, v, v);
  }
  vfScopeStockColors(p);
  return p;
}

// Entries 0 to map.size() - 1 of the 256-entry palette from map, then the
// stock colors again when keepStock. A map of more than 256 entries throws
// vcBadArgument naming who, palette unchanged.
inline void vfScopeColorMap(std::vector<vcRGB>& palette, const std::vector<vcRGB>& map, bool keepStock,
                            const char* who) {
  if (map.size() > 256)
    throw vcBadArgument(std::string(who) + ": a color map of " + std::to_string(map.size()) + " entries (256 at most)");
  std::copy(map.begin(), map.end(), palette.begin());
  if (keepStock) vfScopeStockColors(palette);
}

// Throws vcBadArgument "<op>: scale v ..." unless both scales are finite and above 0.
inline void vfScopeCheckScale(const vcPair<double>& s, const std::string& op) {
  for (const double v : {s.x(), s.y()})
    if (!(std::isfinite(v) && v > 0.0))
      throw vcBadArgument(op + ": scale " + std::to_string(v) + " (a finite value above 0 expected)");
}

// A scale within 1e-6 of a whole number of at least 1 counts as it.
inline double vfScopeSettled(double s) {
  const double whole = std::round(s);
  return whole >= 1.0 && std::fabs(s - whole) <= 1e-6 ? whole : s;
}

// Image pixels to words, pass pixels (when pass is on) to vkScopePass.
struct vc_ScopeRgb32 {
  bool pass;
  unsigned long value;
  std::uint32_t operator()(const vcPackedRGB32Pel& p) const {
    const unsigned long v =
        (static_cast<unsigned long>(p.r()) << 16) | (static_cast<unsigned long>(p.g()) << 8) | p.b();
    return pass && v == value ? vkScopePass : vfScopeOpaque(p.r(), p.g(), p.b());
  }
};

struct vc_ScopeRgb16 {
  bool pass;
  unsigned short value;
  std::uint32_t operator()(const vcPackedRGB16Pel& p) const {
    return pass && p.value() == value ? vkScopePass : vfScopeOpaque(p.r(), p.g(), p.b());
  }
};

// 16-bit grey shows its top 8 bits.
struct vc_ScopeGrey16 {
  bool pass;
  unsigned short value;
  std::uint32_t operator()(unsigned short v) const { return pass && v == value ? vkScopePass : vfScopeGrey(v >> 8u); }
};

// 8-bit values through a table of 256 words.
struct vc_ScopeTable8 {
  bool pass;
  unsigned char value;
  std::vector<std::uint32_t> table;
  std::uint32_t operator()(unsigned char v) const { return pass && v == value ? vkScopePass : table[v]; }
};

// mapped: values are palette indices; otherwise grey levels.
inline vc_ScopeTable8 vfScopeTable8(const std::vector<vcRGB>& palette, bool mapped, bool pass, unsigned char value) {
  vc_ScopeTable8 t{pass, value, std::vector<std::uint32_t>(256)};
  for (unsigned v = 0; v < 256; ++v) t.table[v] = mapped ? vfScopeOpaque(palette[v]) : vfScopeGrey(v);
  return t;
}

// Span flood fill over the 4-connected pixels of clip (root pixels) from
// start, which lies in clip: with toBorder, the pixels whose word (under
// mask) is not border; otherwise those of start's word. pel(x, y) gives a
// pixel's word by reference; filled pixels get paint. Returns the box of the
// filled pixels (null when none).
template <class Pel>
vcUIRect vfScopeFloodFill(const vcUIRect& clip, const vcPair<long>& start, Pel pel, std::uint32_t mask,
                          std::uint32_t paint, std::uint32_t border, bool toBorder) {
  const std::uint32_t region = pel(start.x(), start.y()) & mask;
  std::vector<unsigned char> seen(static_cast<std::size_t>(clip.width() * clip.height()), 0);
  const auto visit = [&](long x, long y) -> unsigned char& {
    return seen[static_cast<std::size_t>((y - clip.top()) * clip.width() + (x - clip.left()))];
  };
  const auto fillable = [&](long x, long y) {
    if (visit(x, y)) return false;
    const std::uint32_t v = pel(x, y) & mask;
    return toBorder ? v != border : v == region;
  };
  // Each popped seed fills its whole run of the row, then seeds one pixel per
  // run of fillable pixels in the rows above and below.
  long x0 = clip.right(), y0 = clip.bottom(), x1 = clip.left() - 1, y1 = clip.top() - 1;
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
      pel(i, y) = paint;
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
  return x1 < x0 ? vcUIRect::null : vcUIRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}
