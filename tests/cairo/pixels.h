// Pixel snapshots of a vcCairoScope for the image-level tests: where a color lies.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/uirect.h>

struct vcPixels {
  long width = 0, height = 0;
  std::vector<std::uint32_t> argb;

  explicit vcPixels(const vcCairoScope& s) : width(s.size().x()), height(s.size().y()) {
    for (long y = 0; y < height; ++y)
      for (long x = 0; x < width; ++x) argb.push_back(s.argb(x, y));
  }
  std::uint32_t at(long x, long y) const { return argb[static_cast<std::size_t>(y * width + x)]; }

  // The bounding box of the pixels for which keep(x, y) holds.
  template <class Keep>
  vcUIRect boxWhere(Keep keep) const {
    long x0 = width, y0 = height, x1 = -1, y1 = -1;
    for (long y = 0; y < height; ++y)
      for (long x = 0; x < width; ++x)
        if (keep(x, y)) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    return x1 < 0 ? vcUIRect() : vcUIRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
  }
  vcUIRect boxOf(std::uint32_t c) const {
    return boxWhere([&](long x, long y) { return at(x, y) == c; });
  }
  long count(std::uint32_t c) const {
    long n = 0;
    for (std::uint32_t v : argb) n += v == c;
    return n;
  }
};

constexpr std::uint32_t kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u,
                        kBlue = 0xFF0000FFu;
