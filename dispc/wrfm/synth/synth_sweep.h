// The row sweep of the scan converter in fixed point: cells hold signed
// area in units of 1 / kSynthOne of a pixel, so that the running sums are
// exact in any order and every instruction set writes the same bytes.
#pragma once

#include <cstdint>

// A pixel's whole area in cell units.
inline constexpr std::int32_t kSynthOne = 1 << 14;

// The instruction sets the sweep may use, slowest first.
enum class vc_SynthIsa { Scalar, Sse2, Avx2 };

// Whether this machine can run isa.
bool vf_synthIsaAvailable(vc_SynthIsa isa);

// The set in use (the fastest available unless forced), and a way to force
// one (for tests comparing them; one that is not available is refused with
// false). The choice holds for the whole process.
vc_SynthIsa vf_synthIsa();
bool vf_synthForceIsa(vc_SynthIsa isa);

// Cells [from, to) of a row in order: each is added to running and reset to
// zero, and pixel row[i] becomes old + coverage * (value - old), rounded to
// nearest, the coverage being min(1, |running| / kSynthOne). Returns the
// running sum after cell to - 1.
using vf_SynthSweepFn = std::int32_t (*)(unsigned char* row, std::int32_t* cells, long from, long to,
                                         std::int32_t running, int value);
vf_SynthSweepFn vf_synthSweepFor(vc_SynthIsa isa);

// One pixel blended by fixed-point coverage q (0 .. kSynthOne).
inline unsigned char vf_synthBlend(int old, std::int32_t q, int value) {
  return static_cast<unsigned char>(old + ((q * (value - old) + kSynthOne / 2) >> 14));
}

// min(kSynthOne, |running|): the coverage of a running sum.
inline std::int32_t vf_synthCover(std::int32_t running) {
  const std::int32_t a = running < 0 ? -running : running;
  return a < kSynthOne ? a : kSynthOne;
}
