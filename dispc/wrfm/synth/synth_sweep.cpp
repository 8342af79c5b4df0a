// Row sweeps of fixed-point cells, plain and with SSE2 or AVX2: running sums
// taken four or eight cells at a time (a prefix sum within the register),
// coverage and blend in 16-bit products. Integer sums make every path write
// the same bytes; AVX2 is chosen at run time, never assumed at build time.
#include "synth_sweep.h"

#include <atomic>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64)
#define VC_SYNTH_X86 1
#include <immintrin.h>
#endif

namespace {

std::int32_t sweepScalar(unsigned char* row, std::int32_t* cells, long from, long to, std::int32_t running,
                         int value) {
  for (long i = from; i < to; ++i) {
    running += cells[i];
    cells[i] = 0;
    row[i] = vf_synthBlend(row[i], vf_synthCover(running), value);
  }
  return running;
}

#ifdef VC_SYNTH_X86

// Blends four pixels by coverage q (32-bit lanes, 0 .. kSynthOne) toward
// value (32-bit lanes): pmaddwd forms q * (value - old) + half in one step
// from the pairs (q, 1) and (value - old, half).
inline __m128i blend4(__m128i old, __m128i q, __m128i value) {
  const __m128i d = _mm_and_si128(_mm_sub_epi32(value, old), _mm_set1_epi32(0xFFFF));
  const __m128i prod = _mm_madd_epi16(_mm_or_si128(q, _mm_set1_epi32(1 << 16)),
                                      _mm_or_si128(d, _mm_set1_epi32((kSynthOne / 2) << 16)));
  return _mm_add_epi32(old, _mm_srai_epi32(prod, 14));
}

std::int32_t sweepSse2(unsigned char* row, std::int32_t* cells, long from, long to, std::int32_t running, int value) {
  const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi32(kSynthOne), v = _mm_set1_epi32(value);
  __m128i run = _mm_set1_epi32(running);
  long i = from;
  for (; i + 4 <= to; i += 4) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cells + i), zero);
    x = _mm_add_epi32(x, _mm_slli_si128(x, 4));
    x = _mm_add_epi32(x, _mm_slli_si128(x, 8));
    x = _mm_add_epi32(x, run);
    run = _mm_shuffle_epi32(x, 0xFF);
    const __m128i s = _mm_srai_epi32(x, 31);
    __m128i q = _mm_sub_epi32(_mm_xor_si128(x, s), s);
    const __m128i big = _mm_cmpgt_epi32(q, one);
    q = _mm_or_si128(_mm_andnot_si128(big, q), _mm_and_si128(big, one));
    std::int32_t w;
    std::memcpy(&w, row + i, 4);
    const __m128i old = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(w), zero), zero);
    __m128i px = blend4(old, q, v);
    px = _mm_packs_epi32(px, px);
    px = _mm_packus_epi16(px, px);
    w = _mm_cvtsi128_si32(px);
    std::memcpy(row + i, &w, 4);
  }
  return sweepScalar(row, cells, i, to, _mm_cvtsi128_si32(run), value);
}

__attribute__((target("avx2"))) std::int32_t sweepAvx2(unsigned char* row, std::int32_t* cells, long from, long to,
                                                       std::int32_t running, int value) {
  const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi32(kSynthOne), v = _mm256_set1_epi32(value);
  const __m256i lo16 = _mm256_set1_epi32(0xFFFF), pair = _mm256_set1_epi32(1 << 16),
                half = _mm256_set1_epi32((kSynthOne / 2) << 16), last = _mm256_set1_epi32(7);
  __m256i run = _mm256_set1_epi32(running);
  long i = from;
  for (; i + 8 <= to; i += 8) {
    __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells + i), zero);
    x = _mm256_add_epi32(x, _mm256_slli_si256(x, 4));
    x = _mm256_add_epi32(x, _mm256_slli_si256(x, 8));
    // The low half's total carried into the high half.
    x = _mm256_add_epi32(x, _mm256_shuffle_epi32(_mm256_permute2x128_si256(x, x, 0x08), 0xFF));
    x = _mm256_add_epi32(x, run);
    run = _mm256_permutevar8x32_epi32(x, last);
    const __m256i q = _mm256_min_epi32(_mm256_abs_epi32(x), one);
    const __m256i old = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i)));
    const __m256i d = _mm256_and_si256(_mm256_sub_epi32(v, old), lo16);
    const __m256i prod = _mm256_madd_epi16(_mm256_or_si256(q, pair), _mm256_or_si256(d, half));
    __m256i px = _mm256_add_epi32(old, _mm256_srai_epi32(prod, 14));
    px = _mm256_packus_epi16(_mm256_packs_epi32(px, px), zero);
    const std::uint32_t a = static_cast<std::uint32_t>(_mm256_cvtsi256_si32(px)),
                        b = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm256_extracti128_si256(px, 1)));
    const std::uint64_t both = a | (static_cast<std::uint64_t>(b) << 32);
    std::memcpy(row + i, &both, 8);
  }
  running = _mm256_cvtsi256_si32(run);
  // The upper halves cleared before any SSE code runs again: mixing them
  // costs far more than the sweep itself on some processors.
  _mm256_zeroupper();
  for (; i < to; ++i) {
    running += cells[i];
    cells[i] = 0;
    row[i] = vf_synthBlend(row[i], vf_synthCover(running), value);
  }
  return running;
}

#endif

vc_SynthIsa bestIsa() {
#ifdef VC_SYNTH_X86
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? vc_SynthIsa::Avx2 : vc_SynthIsa::Sse2;
#else
  return vc_SynthIsa::Scalar;
#endif
}

std::atomic<vc_SynthIsa>& chosen() {
  static std::atomic<vc_SynthIsa> isa{bestIsa()};
  return isa;
}

}  // namespace

bool vf_synthIsaAvailable(vc_SynthIsa isa) {
  static const vc_SynthIsa best = bestIsa();
  return static_cast<int>(isa) <= static_cast<int>(best);
}

vc_SynthIsa vf_synthIsa() { return chosen().load(std::memory_order_relaxed); }

bool vf_synthForceIsa(vc_SynthIsa isa) {
  if (!vf_synthIsaAvailable(isa)) return false;
  chosen().store(isa, std::memory_order_relaxed);
  return true;
}

vf_SynthSweepFn vf_synthSweepFor(vc_SynthIsa isa) {
  switch (isa) {
#ifdef VC_SYNTH_X86
    case vc_SynthIsa::Avx2:
      return sweepAvx2;
    case vc_SynthIsa::Sse2:
      return sweepSse2;
#endif
    default:
      return sweepScalar;
  }
}
