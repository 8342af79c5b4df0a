// What the sources of vcQtScope share: the state of a scope tree and the
// pixel helpers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include <QImage>

#include <vc/qt/qtscope.h>

#include "scope_kit.h"

struct vcQtScope::Shared {
  QImage surface;
  QImage drag;
  std::vector<vcRGB> palette;
  std::vector<bool> locks;
  bool dragging = false;
  bool animate = false;
  vcUIRect damage;   // root pixels not yet brought to the screen
  vcUIRect dragInk;  // root pixels of the drag image holding feedback
  std::function<void()> screen;
  QImage mask;  // scratch Alpha8 mask, all 0 between calls
};

// The integer rectangle covering [x0, x1) x [y0, y1), kept to what an image can address.
inline vcUIRect vfQtCover(double x0, double y0, double x1, double y1) {
  const auto at = [](double v) { return static_cast<long>(std::clamp(std::floor(v), -1e9, 1e9)); };
  const auto to = [](double v) { return static_cast<long>(std::clamp(std::ceil(v), -1e9, 1e9)); };
  return vcUIRect(at(x0), at(y0), to(x1) - at(x0), to(y1) - at(y0));
}

// The scratch mask, at least size pixels; grown by half again when too small.
inline QImage& vfQtScratchMask(QImage& mask, const vcPair<long>& size) {
  if (mask.width() >= size.x() && mask.height() >= size.y()) return mask;
  const auto grown = [](long need, long had) {
    return static_cast<int>(std::max(need, std::min(had + had / 2, 32767L)));
  };
  mask = QImage(grown(size.x(), mask.width()), grown(size.y(), mask.height()), QImage::Format_Alpha8);
  mask.fill(0);
  return mask;
}

inline void vfQtClearMask(QImage& mask, const vcPair<long>& size) {
  for (long j = 0; j < size.y(); ++j) std::fill_n(mask.scanLine(static_cast<int>(j)), size.x(), uchar{0});
}
