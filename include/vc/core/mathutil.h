// Small numeric helpers shared by the geometry and pixel code.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <vc/core/exception.h>

namespace vc_detail {
// Checks that an already rounded value is a usable 32-bit pixel coordinate.
inline long checkedPixel(double rounded, double original, const char* fn) {
  if (!std::isfinite(original))
    throw vcMathError(std::string(fn) + ": value is not finite");
  if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    throw vcMathError(std::string(fn) + ": " + std::to_string(original) + " does not fit in 32 bits");
  return static_cast<long>(rounded);
}
}  // namespace vc_detail

// The largest integer <= v (so -0.5 gives -1). Pixel coordinates are 32-bit:
// throws vcMathError when v is not finite or the result does not fit in 32 bits.
inline long vfIFloor(double v) { return vc_detail::checkedPixel(std::floor(v), v, "vfIFloor"); }

// The smallest integer >= v (so -0.5 gives 0). Throws vcMathError when v is not
// finite or the result does not fit in 32 bits.
inline long vfICeil(double v) { return vc_detail::checkedPixel(std::ceil(v), v, "vfICeil"); }

// True when a and b are equal within eps, taken as an absolute tolerance while
// both magnitudes are at most 1 and relative to the larger magnitude above
// that: |a - b| <= eps * max(1, |a|, |b|). Equal infinities are equal; NaN
// equals nothing.
inline bool vfRealEq(double a, double b, double eps = 1e-12) {
  if (a == b) return true;
  if (!std::isfinite(a) || !std::isfinite(b)) return false;
  const double scale = std::max({1.0, std::fabs(a), std::fabs(b)});
  return std::fabs(a - b) <= eps * scale;
}
