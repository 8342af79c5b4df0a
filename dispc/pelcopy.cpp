// Row copies and row replication with SSE2 and AVX2 kernels chosen at run
// time. Every vector kernel has a plain counterpart that writes the same
// bytes, used on other processors and for the row ends the kernels leave.
#include <vc/pelcopy.h>

#include <cstdint>
#include <cstring>
#include <string>

#include <vc/core/cputype.h>
#include <vc/core/exception.h>

#if defined(__x86_64__)
#include <immintrin.h>
#define VC_X86_KERNELS 1
#define VC_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace {

using Byte = unsigned char;

void copyRowsPlain(Byte* d, long ds, const Byte* s, long ss, long w, long rows) {
  for (long r = 0; r < rows; ++r, d += ds, s += ss) std::memcpy(d, s, static_cast<std::size_t>(w));
}

// Pixel values are moved as unsigned integers of their size; memcpy keeps
// the accesses free of aliasing assumptions and compiles to plain moves.
template <class U>
U load(const Byte* p) {
  U v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <class U>
void store(Byte* p, U v) {
  std::memcpy(p, &v, sizeof v);
}

template <class U>
void replicatePlain(Byte* d, const Byte* s, long count, long factor) {
  for (long i = 0; i < count; ++i, s += sizeof(U)) {
    const U v = load<U>(s);
    for (long k = 0; k < factor; ++k, d += sizeof(U)) store<U>(d, v);
  }
}

// 16-bit pixels of an even factor go out two per 32-bit store.
void replicatePlain16(Byte* d, const Byte* s, long count, long factor) {
  if (factor % 2 != 0) return replicatePlain<std::uint16_t>(d, s, count, factor);
  for (long i = 0; i < count; ++i, s += 2) {
    const std::uint32_t v = load<std::uint16_t>(s) * 0x10001u;
    for (long k = 0; k < factor; k += 2, d += 4) store<std::uint32_t>(d, v);
  }
}

void replicatePlainAny(Byte* d, const Byte* s, long count, long factor, int pelBytes) {
  if (pelBytes == 1) {
    for (long i = 0; i < count; ++i, d += factor) std::memset(d, s[i], static_cast<std::size_t>(factor));
  } else if (pelBytes == 2) {
    replicatePlain16(d, s, count, factor);
  } else {
    replicatePlain<std::uint32_t>(d, s, count, factor);
  }
}

#if defined(VC_X86_KERNELS)

__m128i ld(const Byte* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void st(Byte* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// One unaligned move at each end of the row and aligned stores between them;
// the end moves overlap the middle with the same bytes.
void copyRowsSSE2(Byte* d, long ds, const Byte* s, long ss, long w, long rows) {
  for (long r = 0; r < rows; ++r, d += ds, s += ss) {
    if (w < 16) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(d + w - 8),
                       _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + w - 8)));
      continue;
    }
    st(d, ld(s));
    long i = 16 - static_cast<long>(reinterpret_cast<std::uintptr_t>(d) & 15);
    for (; i + 16 <= w; i += 16) _mm_store_si128(reinterpret_cast<__m128i*>(d + i), ld(s + i));
    st(d + w - 16, ld(s + w - 16));
  }
}

VC_TARGET_AVX2 void copyRowsAVX2(Byte* d, long ds, const Byte* s, long ss, long w, long rows) {
  for (long r = 0; r < rows; ++r, d += ds, s += ss) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s)));
    long i = 32 - static_cast<long>(reinterpret_cast<std::uintptr_t>(d) & 31);
    for (; i + 32 <= w; i += 32)
      _mm256_store_si256(reinterpret_cast<__m256i*>(d + i),
                         _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + w - 32),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + w - 32)));
  }
}

// The vector replication kernels below handle whole blocks of 16 source
// bytes and return how many pixels they did; the caller finishes the rest.

long replicateSSE2(Byte* d, const Byte* s, long count, long factor, int pelBytes) {
  const long per = 16 / pelBytes;
  long i = 0;
  if (pelBytes == 1 && factor == 2) {
    for (; i + per <= count; i += per, s += 16, d += 32) {
      const __m128i v = ld(s);
      st(d, _mm_unpacklo_epi8(v, v));
      st(d + 16, _mm_unpackhi_epi8(v, v));
    }
  } else if (pelBytes == 1 && factor == 4) {
    for (; i + per <= count; i += per, s += 16, d += 64) {
      const __m128i v = ld(s), lo = _mm_unpacklo_epi8(v, v), hi = _mm_unpackhi_epi8(v, v);
      st(d, _mm_unpacklo_epi16(lo, lo));
      st(d + 16, _mm_unpackhi_epi16(lo, lo));
      st(d + 32, _mm_unpacklo_epi16(hi, hi));
      st(d + 48, _mm_unpackhi_epi16(hi, hi));
    }
  } else if (pelBytes == 2 && factor == 2) {
    for (; i + per <= count; i += per, s += 16, d += 32) {
      const __m128i v = ld(s);
      st(d, _mm_unpacklo_epi16(v, v));
      st(d + 16, _mm_unpackhi_epi16(v, v));
    }
  } else if (pelBytes == 2 && factor == 4) {
    for (; i + per <= count; i += per, s += 16, d += 64) {
      const __m128i v = ld(s), lo = _mm_unpacklo_epi16(v, v), hi = _mm_unpackhi_epi16(v, v);
      st(d, _mm_unpacklo_epi32(lo, lo));
      st(d + 16, _mm_unpackhi_epi32(lo, lo));
      st(d + 32, _mm_unpacklo_epi32(hi, hi));
      st(d + 48, _mm_unpackhi_epi32(hi, hi));
    }
  } else if (pelBytes == 4 && factor == 2) {
    for (; i + per <= count; i += per, s += 16, d += 32) {
      const __m128i v = ld(s);
      st(d, _mm_unpacklo_epi32(v, v));
      st(d + 16, _mm_unpackhi_epi32(v, v));
    }
  } else if (pelBytes == 4 && factor == 3) {
    for (; i + per <= count; i += per, s += 16, d += 48) {
      const __m128i v = ld(s);
      st(d, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));
      st(d + 16, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
      st(d + 32, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));
    }
  } else if (pelBytes == 4 && factor == 4) {
    for (; i + per <= count; i += per, s += 16, d += 64) {
      const __m128i v = ld(s);
      st(d, _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 0, 0, 0)));
      st(d + 16, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 1)));
      st(d + 32, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 2)));
      st(d + 48, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3)));
    }
  }
  return i;
}

// The byte shuffle that makes output bytes [16k, 16k + 16) of a threefold
// replication of 16 source bytes holding pixels of pelBytes bytes.
VC_TARGET_AVX2 __m128i tripleMask(int k, int pelBytes) {
  alignas(16) Byte m[16];
  for (int j = 0; j < 16; ++j) {
    const int out = 16 * k + j, pel = out / pelBytes / 3;
    m[j] = static_cast<Byte>(pel * pelBytes + out % pelBytes);
  }
  return _mm_load_si128(reinterpret_cast<const __m128i*>(m));
}

VC_TARGET_AVX2 long replicateAVX2(Byte* d, const Byte* s, long count, long factor, int pelBytes) {
  const long per = 16 / pelBytes;
  long i = 0;
  if (factor == 2 && pelBytes < 4) {
    // 32 source bytes at a time; the in-lane unpacks are put back in order.
    for (; i + 2 * per <= count; i += 2 * per, s += 32, d += 64) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
      const __m256i lo = pelBytes == 1 ? _mm256_unpacklo_epi8(v, v) : _mm256_unpacklo_epi16(v, v);
      const __m256i hi = pelBytes == 1 ? _mm256_unpackhi_epi8(v, v) : _mm256_unpackhi_epi16(v, v);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_permute2x128_si256(lo, hi, 0x20));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 32), _mm256_permute2x128_si256(lo, hi, 0x31));
    }
  } else if (factor == 3 && pelBytes < 4) {
    const __m128i m0 = tripleMask(0, pelBytes), m1 = tripleMask(1, pelBytes), m2 = tripleMask(2, pelBytes);
    for (; i + per <= count; i += per, s += 16, d += 48) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_shuffle_epi8(v, m0));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), _mm_shuffle_epi8(v, m1));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm_shuffle_epi8(v, m2));
    }
  }
  return i + replicateSSE2(d, s, count - i, factor, pelBytes);
}

#endif

}  // namespace

void vf_PelCopyVid(void* dst, long dstStride, const void* src, long srcStride, long widthBytes, long rows) {
  if (widthBytes < 0) throw vcBadArgument("vf_PelCopyVid: negative row width " + std::to_string(widthBytes));
  if (rows < 1 || widthBytes == 0) return;
  if (!dst || !src) throw vcBadArgument("vf_PelCopyVid: null row pointer");
  Byte* d = static_cast<Byte*>(dst);
  const Byte* s = static_cast<const Byte*>(src);
#if defined(VC_X86_KERNELS)
  if (widthBytes >= 64 && vcCpuType::avx2Present()) return copyRowsAVX2(d, dstStride, s, srcStride, widthBytes, rows);
  if (widthBytes >= 8 && vcCpuType::mmxPresent()) return copyRowsSSE2(d, dstStride, s, srcStride, widthBytes, rows);
#endif
  copyRowsPlain(d, dstStride, s, srcStride, widthBytes, rows);
}

void vf_PelReplicateRow(void* dst, const void* src, long count, long factor, int pelBytes) {
  if (pelBytes != 1 && pelBytes != 2 && pelBytes != 4)
    throw vcBadArgument("vf_PelReplicateRow: pixels of " + std::to_string(pelBytes) + " bytes (1, 2 or 4 expected)");
  if (count < 0 || factor < 0)
    throw vcBadArgument("vf_PelReplicateRow: negative pixel count " + std::to_string(count) + " or factor " +
                        std::to_string(factor));
  if (count == 0 || factor == 0) return;
  if (!dst || !src) throw vcBadArgument("vf_PelReplicateRow: null row pointer");
  Byte* d = static_cast<Byte*>(dst);
  const Byte* s = static_cast<const Byte*>(src);
  if (factor == 1) {
    std::memcpy(d, s, static_cast<std::size_t>(count * pelBytes));
    return;
  }
  long done = 0;
#if defined(VC_X86_KERNELS)
  if (vcCpuType::avx2Present())
    done = replicateAVX2(d, s, count, factor, pelBytes);
  else if (vcCpuType::mmxPresent())
    done = replicateSSE2(d, s, count, factor, pelBytes);
#endif
  replicatePlainAny(d + done * factor * pelBytes, s + done * pelBytes, count - done, factor, pelBytes);
}
