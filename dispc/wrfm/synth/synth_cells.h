// Small helpers shared by the walks that add edges and arcs to the cells of
// a band: marking the cells a row's piece touched, and fixed-point rounding.
#pragma once

#include <cstddef>
#include <cstdint>

#include "synth_sweep.h"

// Marks cells from .. to of a band row.
inline void vf_synthMarkCells(std::uint64_t* marks, long from, long to) {
  const std::size_t w0 = static_cast<std::size_t>(from) >> 6, w1 = static_cast<std::size_t>(to) >> 6;
  const std::uint64_t lo = ~std::uint64_t{0} << (from & 63), hi = ~std::uint64_t{0} >> (63 - (to & 63));
  if (w0 == w1) {
    marks[w0] |= lo & hi;
  } else {
    marks[w0] |= lo;
    for (std::size_t k = w0 + 1; k < w1; ++k) marks[k] = ~std::uint64_t{0};
    marks[w1] |= hi;
  }
}

// A position within a row (0 .. 1) in cell units.
inline std::int32_t vf_synthFixedRow(double f) { return static_cast<std::int32_t>(f * kSynthOne + 0.5); }

// Rounds to nearest, for values within 2^16 of zero (every running sum of a
// row's piece lies within 2 kSynthOne of it).
inline std::int32_t vf_synthRoundCell(double x) { return static_cast<std::int32_t>(x + 65536.5) - 65536; }
