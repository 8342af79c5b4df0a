// vcUIScope image transfer: the sample and expand forms the base class
// implements, the run-length paths for RLE images with whole factors, the
// buffer helpers pelExpand and pelScale, and nearestColor.
#include <vc/uiscope.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <vc/core/affine.h>
#include <vc/core/affinerect.h>
#include <vc/core/exception.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/pelcopy.h>

namespace {

using Byte = unsigned char;

// A factor within this of a whole number counts as that number.
constexpr double kWholeTolerance = 1e-6;
// Coordinates are kept within this so that sums of a few of them cannot overflow.
constexpr long kCoordLimit = 1L << 48;
// The largest run-length image a magnification may build (bytes of runs).
constexpr long kMaxExpandedRunBytes = 1L << 28;
constexpr long kMaxRun = 255;

vcPair<double> inverse(const vcPair<long>& f) {
  return vcPair<double>(1.0 / static_cast<double>(f.x()), 1.0 / static_cast<double>(f.y()));
}
vcPair<double> asDouble(const vcPair<long>& f) {
  return vcPair<double>(static_cast<double>(f.x()), static_cast<double>(f.y()));
}

void checkScale(double s, const char* op) {
  if (!std::isfinite(s) || s <= 0.0)
    throw vcBadArgument(std::string(op) + ": scale " + std::to_string(s) + " is not a positive finite number");
}

// The RLE image decoded and passed through its color map.
vcPelBuffer<Byte> mappedImage(const vcRLEBuffer& image, const std::vector<Byte>& colorMap) {
  vcPelBuffer<Byte> pels = image.decode();
  vfPelMap(pels, pels, colorMap);
  return pels;
}

// Which way an RLE image is scaled by the factor f (the reduction for
// sample, the magnification for expand): by run-length arithmetic with the
// whole factor n when f is within the tolerance of trunc(f) or trunc(f) + 1,
// else through an 8-bit image. So 2.9999999 and 3.0000001 both count as 3.
struct FactorChoice {
  bool runs = true;
  double n = 0.0;  // below 1: nothing is drawn
};

FactorChoice chooseFactor(double f) {
  const double first = std::trunc(f), end = std::trunc(f + 2.0), imageAt = std::trunc(f + 1.0);
  for (double n = first; n < end; n += 1.0) {
    if (std::fabs(f - n) <= kWholeTolerance) return {true, n};
    if (n == imageAt) return {false, 0.0};
  }
  return {};
}

// Run-length reduction by n: every n-th row from the first, and along it
// each n-pixel block takes the value of its last pixel, which carrying the
// remainder of each run into the next gives without decoding.
vcRLEBuffer reduceRuns(const vcRLEBuffer& image, long n) {
  const long w = image.width() / n, h = image.height() / n;
  std::vector<Byte> bytes;
  for (long y = 0; y < h; ++y) {
    long carry = 0;
    for (const Byte* run = image.pointToRow(y * n); run[1] != 0; run += 2) {
      const long total = run[1] + carry;
      carry = total % n;
      if (total / n == 0) continue;
      bytes.push_back(run[0]);
      bytes.push_back(static_cast<Byte>(total / n));
    }
    bytes.push_back(0);
    bytes.push_back(0);
  }
  return vcRLEBuffer(w, h, std::move(bytes));
}

// The source pixels along one axis of a magnification by n that can show on
// a surface of the given size when the image starts at surface pixel pos:
// the first `skip` lie wholly before the surface, `keep` follow (at most
// `have` - skip), and the first kept one lands at surface pixel `first`.
struct Span {
  long skip = 0;
  long keep = 0;
  long first = 0;
};

Span visibleSpan(long pos, long surface, long n, long have) {
  Span s;
  s.skip = pos < 0 ? -pos / n : 0;
  s.first = pos + s.skip * n;
  const double v = static_cast<double>(surface - s.first) / static_cast<double>(n);
  const double k = std::ceil(v * (1.0 - std::copysign(1e-11, v)));
  s.keep = static_cast<long>(std::clamp(k, 0.0, static_cast<double>(std::max(have - s.skip, 0L))));
  return s;
}

// Appends a run of value v and length len, split into runs of at most 255.
void appendRun(std::vector<Byte>& bytes, Byte v, long len) {
  for (; len > 0; len -= kMaxRun) {
    bytes.push_back(v);
    bytes.push_back(static_cast<Byte>(std::min(len, kMaxRun)));
  }
}

// Run-length magnification by n of the kept columns and rows: run lengths
// multiplied by n and each row repeated n times.
vcRLEBuffer expandRuns(const vcRLEBuffer& image, long n, const Span& xs, const Span& ys) {
  const long w = xs.keep * n, h = ys.keep * n;
  const long rowBound = 2 * (xs.keep + w / kMaxRun + 1) + 2;
  if (h > kMaxExpandedRunBytes / rowBound)
    throw vcBadArgument("vcUIScope::expand: magnifying an RLE image by " + std::to_string(n) + " gives " +
                        std::to_string(w) + " x " + std::to_string(h) + " pixels, too many to draw");
  std::vector<Byte> bytes, row;
  bytes.reserve(static_cast<std::size_t>(h * rowBound));
  const long from = xs.skip, to = xs.skip + xs.keep;
  for (long y = ys.skip; y < ys.skip + ys.keep; ++y) {
    row.clear();
    long x = 0;
    for (const Byte* run = image.pointToRow(y); run[1] != 0 && x < to; run += 2) {
      const long lo = std::max(x, from), hi = std::min(x + run[1], to);
      if (lo < hi) appendRun(row, run[0], (hi - lo) * n);
      x += run[1];
    }
    row.push_back(0);
    row.push_back(0);
    for (long k = 0; k < n; ++k) bytes.insert(bytes.end(), row.begin(), row.end());
  }
  return vcRLEBuffer(w, h, std::move(bytes));
}

// ---- pel buffer scaling ------------------------------------------------------

long clampCoord(long v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }

long clampedProduct(long a, long b) {
  long r = 0;
  return __builtin_mul_overflow(a, b, &r) ? kCoordLimit : clampCoord(r);
}

// The part of rect that the scaled image (w x h, placed at offset from
// rect's corner) covers, and the scaled image's pixel it starts with.
struct Cover {
  vcUIRect d;
  long sx = 0, sy = 0;
};

bool coverOf(long w, long h, const vcUIRect& rect, const vcPair<long>& offset, Cover& c) {
  const long left = clampCoord(rect.left() + clampCoord(offset.x()));
  const long top = clampCoord(rect.top() + clampCoord(offset.y()));
  c.d = vcUIRect(left, top, w, h) & rect;
  if (c.d.isNull()) return false;
  c.sx = c.d.left() - left;
  c.sy = c.d.top() - top;
  return true;
}

template <class T>
const Byte* rowOf(const vcPelBuffer_const<T>& b, long y) {
  return reinterpret_cast<const Byte*>(b.pointToPel(b.offset().x(), b.offset().y() + y));
}
template <class T>
Byte* rowOf(vcPelBuffer<T>& b, long y) {
  return reinterpret_cast<Byte*>(b.pointToPel(b.offset().x(), b.offset().y() + y));
}
template <class T>
long pitchBytes(const vcPelBuffer_const<T>& b) {
  return b.rowPitch() * static_cast<long>(sizeof(T));
}

// Integer replication into dst, which shows the scaled image from its pixel
// (sx, sy) on: each destination row band is built once and copied down.
template <class T>
void replicate(const vcPelBuffer_const<T>& src, vcPelBuffer<T>& dst, long fx, long fy, long sx, long sy) {
  constexpr int pel = static_cast<int>(sizeof(T));
  const long w = dst.width(), h = dst.height();
  const long col0 = sx / fx, firstW = std::min(fx - sx % fx, w);
  const long whole = (w - firstW) / fx, rest = w - firstW - whole * fx;
  long srow = sy / fy, band = fy - sy % fy;
  for (long y = 0; y < h; y += band, ++srow, band = fy) {
    const Byte* in = rowOf(src, srow) + col0 * pel;
    Byte* out = rowOf(dst, y);
    vf_PelReplicateRow(out, in, 1, firstW, pel);
    vf_PelReplicateRow(out + firstW * pel, in + pel, whole, fx, pel);
    if (rest > 0) vf_PelReplicateRow(out + (firstW + whole * fx) * pel, in + (1 + whole) * pel, 1, rest, pel);
    const long rows = std::min(band, h - y);
    if (rows > 1) vf_PelCopyVid(out + pitchBytes(dst), pitchBytes(dst), out, 0, w * pel, rows - 1);
  }
}

long scaledExtent(long n, double s) { return vfScaledExtent(n, s, kCoordLimit); }

// One destination row of a nearest-neighbour scale whose columns are evenly
// spaced: out[i] = in[step * i]. A fixed step lets the compiler vectorise.
template <class T, long kStep>
void stridedRow(T* __restrict out, const T* __restrict in, long w) {
  for (long i = 0; i < w; ++i) out[i] = in[kStep * i];
}

// Halving rows with SSE2 (part of every x86-64): even bytes or even 32-bit
// pixels are packed together. Returns how many output pixels it wrote; it
// reads no further than the last source pixel the row shows.
template <class T>
long halveRow(T* out, const T* in, long w) {
#if defined(__SSE2__)
  long i = 0;
  if constexpr (sizeof(T) == 1) {
    const __m128i low = _mm_set1_epi16(0x00FF);
    for (; i + 16 < w; i += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i + 16));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                       _mm_packus_epi16(_mm_and_si128(a, low), _mm_and_si128(b, low)));
    }
  } else if constexpr (sizeof(T) == 4) {
    for (; i + 4 < w; i += 4) {
      const __m128 a = _mm_loadu_ps(reinterpret_cast<const float*>(in + 2 * i));
      const __m128 b = _mm_loadu_ps(reinterpret_cast<const float*>(in + 2 * i + 4));
      _mm_storeu_ps(reinterpret_cast<float*>(out + i), _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    }
  }
  return i;
#else
  (void)out;
  (void)in;
  (void)w;
  return 0;
#endif
}

template <class T>
void stridedRow(T* __restrict out, const T* __restrict in, long w, long step) {
  if (step == 2) {
    const long done = halveRow(out, in, w);
    out += done;
    in += 2 * done;
    w -= done;
  }
  switch (step) {
    case 1: std::copy(in, in + w, out); return;
    case 2: stridedRow<T, 2>(out, in, w); return;
    case 3: stridedRow<T, 3>(out, in, w); return;
    case 4: stridedRow<T, 4>(out, in, w); return;
    default:
      for (long i = 0; i < w; ++i) out[i] = in[step * i];
  }
}

// Nearest neighbour: destination pixel x of the scaled image shows source
// column trunc(x / s); the column table is made once, and rows that show the
// same source row as the one above are copied. Reductions by a whole factor
// (scale 1/2, 1/3, ...) pick every step-th column without the table.
template <class T>
void nearest(const vcPelBuffer_const<T>& src, vcPelBuffer<T>& dst, double s, long sx, long sy) {
  const long w = dst.width(), h = dst.height();
  const auto source = [s](long x, long n) {
    const double c = static_cast<double>(x) / s;
    return c < static_cast<double>(n - 1) ? static_cast<long>(c) : n - 1;
  };
  std::vector<std::uint32_t> cols(static_cast<std::size_t>(w));
  const long first = w > 0 ? source(sx, src.width()) : 0;
  long step = w > 1 ? source(sx + 1, src.width()) - first : 1;
  for (long i = 0; i < w; ++i) {
    const long c = source(sx + i, src.width());
    cols[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(c);
    if (c != first + step * i) step = 0;
  }
  long last = -1;
  for (long j = 0; j < h; ++j) {
    const long sr = source(sy + j, src.height());
    T* out = reinterpret_cast<T*>(rowOf(dst, j));
    if (sr == last) {
      vf_PelCopyVid(out, 0, rowOf(dst, j - 1), 0, w * static_cast<long>(sizeof(T)), 1);
      continue;
    }
    const T* in = src.pointToPel(src.offset().x(), src.offset().y() + sr);
    if (step > 0)
      stridedRow(out, in + first, w, step);
    else
      for (long i = 0; i < w; ++i) out[i] = in[cols[static_cast<std::size_t>(i)]];
    last = sr;
  }
}

// Interpolated magnification through the affine resampler, sampling at
// pixel centres; what the source does not cover is set to grey.
template <class T>
void interpolate(const vcPelBuffer_const<T>& src, vcPelBuffer<T>& dst, double s, long sx, long sy,
                 vcUITabletTypes::InterpolationModes mode, const T& grey) {
  const double w = static_cast<double>(dst.width()), h = static_cast<double>(dst.height());
  const vcVector<2> po(static_cast<double>(src.offset().x()) + static_cast<double>(sx) / s,
                       static_cast<double>(src.offset().y()) + static_cast<double>(sy) / s);
  const vcAffineRectangle area(po, po + vcVector<2>(w / s, 0.0), po + vcVector<2>(0.0, h / s));
  const int kind =
      mode == vcUITabletTypes::eBilinear ? vcAffineSamplingParams::eBilinear : vcAffineSamplingParams::eBicubic;
  const vcRectangle<long> all = dst.window();
  vcRectangle<long> done =
      vfAffineTransformImage(src, vcAffineSamplingParams(area, dst.width(), dst.height(), kind), dst);
  if (done.isEmpty()) done = vcRectangle<long>(all.x(), all.y(), 0, 0);
  vfPelSet(dst, vcRectangle<long>(all.x(), all.y(), all.width(), done.y() - all.y()), grey);
  vfPelSet(dst, vcRectangle<long>(all.x(), done.bottom(), all.width(), all.bottom() - done.bottom()), grey);
  vfPelSet(dst, vcRectangle<long>(all.x(), done.y(), done.x() - all.x(), done.height()), grey);
  vfPelSet(dst, vcRectangle<long>(done.right(), done.y(), all.right() - done.right(), done.height()), grey);
}

// Which pixel types interpolate, and the grey they show where the source
// does not reach.
template <class T>
struct Smooth {
  static constexpr bool kSupported = false;
  static T grey() { return T(); }
};
template <>
struct Smooth<Byte> {
  static constexpr bool kSupported = true;
  static Byte grey() { return 128; }
};
template <>
struct Smooth<vcPackedRGB32Pel> {
  static constexpr bool kSupported = true;
  static vcPackedRGB32Pel grey() { return vcPackedRGB32Pel(128, 128, 128); }
};

// The buffer for the covered area d: dst itself when its window already has
// d's size and its pixels are not the source's, so that a scope keeping one
// display buffer does not pay for fresh zeroed memory on every call.
template <class T>
vcPelBuffer<T> bufferFor(const vcUIRect& d, const vcPelBuffer<T>& dst, const vcPelBuffer_const<T>& src) {
  if (!dst.isNull() && dst.width() == d.width() && dst.height() == d.height() && !dst.sharesPels(src)) return dst;
  return vcPelBuffer<T>(d.width(), d.height());
}

template <class T>
bool expandBuffer(const vcPelBuffer_const<T>& src, vcPelBuffer<T>& dst, long fx, long fy, vcUIRect& rect,
                  const vcPair<long>& offset) {
  if (fx < 1 || fy < 1)
    throw vcBadArgument("vcUIScope::pelExpand: factors " + std::to_string(fx) + " x " + std::to_string(fy) +
                        " (at least 1 expected)");
  if (src.isNull() || src.width() == 0 || src.height() == 0) return false;
  Cover c;
  if (!coverOf(clampedProduct(src.width(), fx), clampedProduct(src.height(), fy), rect, offset, c)) return false;
  vcPelBuffer<T> out = bufferFor(c.d, dst, src);
  replicate<T>(src, out, fx, fy, c.sx, c.sy);
  dst = out;
  rect = c.d;
  return true;
}

template <class T>
bool scaleBuffer(const vcPelBuffer_const<T>& src, vcPelBuffer<T>& dst, double scale, vcUIRect& rect,
                 const vcPair<long>& offset, vcUITabletTypes::InterpolationModes mode) {
  checkScale(scale, "vcUIScope::pelScale");
  if (src.isNull() || src.width() == 0 || src.height() == 0) return false;
  long n = 0;
  for (const double whole : {std::trunc(scale), std::trunc(scale) + 1.0})
    if (scale >= 1.0 && n == 0 && std::fabs(scale - whole) <= kWholeTolerance && whole < kCoordLimit)
      n = static_cast<long>(whole);
  const double s = n > 0 ? static_cast<double>(n) : scale;
  const long w = n > 0 ? clampedProduct(src.width(), n) : scaledExtent(src.width(), s);
  const long h = n > 0 ? clampedProduct(src.height(), n) : scaledExtent(src.height(), s);
  Cover c;
  if (!coverOf(w, h, rect, offset, c)) return false;
  vcPelBuffer<T> out = bufferFor(c.d, dst, src);
  bool smooth = false;
  if constexpr (Smooth<T>::kSupported) {
    smooth = mode != vcUITabletTypes::eNoInterpolation && s > 1.0 && src.width() >= 8 && src.height() >= 8;
    if (smooth) interpolate<T>(src, out, s, c.sx, c.sy, mode, Smooth<T>::grey());
  }
  if (!smooth && n > 0)
    replicate<T>(src, out, n, n, c.sx, c.sy);
  else if (!smooth)
    nearest<T>(src, out, s, c.sx, c.sy);
  dst = out;
  rect = c.d;
  return true;
}

}  // namespace

// The same reading of reduction factors as the tablet's eSample map.
vcPair<double> vcUIScope::sampleScale(const vcPair<double>& factors) {
  if (factors.x() > 1.0 && factors.y() > 1.0) return vcPair<double>(1.0 / factors.x(), 1.0 / factors.y());
  return factors;
}

// ---- RLE images ----------------------------------------------------------------

void vcUIScope::sample(const vcRLEBuffer& image, const vcPoint& corner, const vcPair<double>& scale,
                       const std::vector<unsigned char>& colorMap, bool passThrough, unsigned char passValue) {
  checkScale(scale.x(), "vcUIScope::sample");
  const FactorChoice choice = chooseFactor(1.0 / scale.x());
  if (!choice.runs) {
    if (image.isNull()) return;
    sample(mappedImage(image, colorMap), corner, scale, passThrough, passValue, true);
    return;
  }
  if (choice.n < 1.0 || image.isNull() || choice.n > static_cast<double>(std::min(image.width(), image.height())))
    return;
  const vcRLEBuffer reduced = reduceRuns(image, static_cast<long>(choice.n));
  draw(reduced, corner, colorMap, passThrough, passValue);
}

void vcUIScope::sample(const vcRLEBuffer& image, const vcPoint& corner, const vcPair<long>& factors,
                       const std::vector<unsigned char>& colorMap, bool passThrough, unsigned char passValue) {
  sample(image, corner, inverse(factors), colorMap, passThrough, passValue);
}

void vcUIScope::expand(const vcRLEBuffer& image, const vcPoint& corner, const vcPair<double>& scale,
                       const std::vector<unsigned char>& colorMap, bool passThrough, unsigned char passValue) {
  checkScale(scale.x(), "vcUIScope::expand");
  const FactorChoice choice = chooseFactor(scale.x());
  if (!choice.runs) {
    if (image.isNull()) return;
    expand(mappedImage(image, colorMap), corner, scale, passThrough, passValue, true,
           vcUITabletTypes::eNoInterpolation);
    return;
  }
  if (choice.n < 1.0 || image.isNull() || image.width() == 0 || image.height() == 0) return;
  if (choice.n > static_cast<double>(kCoordLimit))
    throw vcBadArgument("vcUIScope::expand: factor " + std::to_string(scale.x()) + " is too large");
  const long n = static_cast<long>(choice.n);
  const vcPair<long> surface = size();
  const Span xs = visibleSpan(xCoord(corner), surface.x(), n, image.width());
  const Span ys = visibleSpan(yCoord(corner), surface.y(), n, image.height());
  if (xs.keep == 0 || ys.keep == 0) return;
  const vcRLEBuffer grown = expandRuns(image, n, xs, ys);
  draw(grown, vcPoint(static_cast<double>(xs.first + org().x()), static_cast<double>(ys.first + org().y())), colorMap,
       passThrough, passValue);
}

void vcUIScope::expand(const vcRLEBuffer& image, const vcPoint& corner, const vcPair<long>& factors,
                       const std::vector<unsigned char>& colorMap, bool passThrough, unsigned char passValue) {
  expand(image, corner, asDouble(factors), colorMap, passThrough, passValue);
}

// ---- pel buffers: whole factors reach the exact forms ----------------------------

void vcUIScope::sample(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                       const vcPair<long>& factors, bool passThrough, unsigned long passValue) {
  sample(image, corner, inverse(factors), passThrough, passValue);
}
void vcUIScope::sample(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                       const vcPair<long>& factors, bool passThrough, unsigned short passValue) {
  sample(image, corner, inverse(factors), passThrough, passValue);
}
void vcUIScope::sample(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                       const vcPair<long>& factors, bool passThrough, unsigned short passValue) {
  sample(image, corner, inverse(factors), passThrough, passValue);
}
void vcUIScope::sample(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                       const vcPair<long>& factors, bool passThrough, unsigned char passValue, bool mapped) {
  sample(image, corner, inverse(factors), passThrough, passValue, mapped);
}

void vcUIScope::expand(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                       const vcPair<long>& factors, bool passThrough, unsigned long passValue,
                       InterpolationModes mode) {
  expand(image, corner, asDouble(factors), passThrough, passValue, mode);
}
void vcUIScope::expand(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                       const vcPair<long>& factors, bool passThrough, unsigned short passValue,
                       InterpolationModes mode) {
  expand(image, corner, asDouble(factors), passThrough, passValue, mode);
}
void vcUIScope::expand(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                       const vcPair<long>& factors, bool passThrough, unsigned short passValue,
                       InterpolationModes mode) {
  expand(image, corner, asDouble(factors), passThrough, passValue, mode);
}
void vcUIScope::expand(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                       const vcPair<long>& factors, bool passThrough, unsigned char passValue, bool mapped,
                       InterpolationModes mode) {
  expand(image, corner, asDouble(factors), passThrough, passValue, mapped, mode);
}

// ---- helpers for derived scopes --------------------------------------------------

bool vcUIScope::pelExpand(const vcPelBuffer_const<unsigned char>& src, vcPelBuffer<unsigned char>& dst, long fx,
                          long fy, vcUIRect& rect, const vcPair<long>& offset) {
  return expandBuffer(src, dst, fx, fy, rect, offset);
}
bool vcUIScope::pelExpand(const vcPelBuffer_const<vcPackedRGB16Pel>& src, vcPelBuffer<vcPackedRGB16Pel>& dst, long fx,
                          long fy, vcUIRect& rect, const vcPair<long>& offset) {
  return expandBuffer(src, dst, fx, fy, rect, offset);
}
bool vcUIScope::pelExpand(const vcPelBuffer_const<vcPackedRGB32Pel>& src, vcPelBuffer<vcPackedRGB32Pel>& dst, long fx,
                          long fy, vcUIRect& rect, const vcPair<long>& offset) {
  return expandBuffer(src, dst, fx, fy, rect, offset);
}

bool vcUIScope::pelScale(const vcPelBuffer_const<unsigned char>& src, vcPelBuffer<unsigned char>& dst, double scale,
                         vcUIRect& rect, const vcPair<long>& offset, InterpolationModes mode) {
  return scaleBuffer(src, dst, scale, rect, offset, mode);
}
bool vcUIScope::pelScale(const vcPelBuffer_const<unsigned short>& src, vcPelBuffer<unsigned short>& dst, double scale,
                         vcUIRect& rect, const vcPair<long>& offset, InterpolationModes mode) {
  return scaleBuffer(src, dst, scale, rect, offset, mode);
}
bool vcUIScope::pelScale(const vcPelBuffer_const<vcPackedRGB16Pel>& src, vcPelBuffer<vcPackedRGB16Pel>& dst,
                         double scale, vcUIRect& rect, const vcPair<long>& offset, InterpolationModes mode) {
  return scaleBuffer(src, dst, scale, rect, offset, mode);
}
bool vcUIScope::pelScale(const vcPelBuffer_const<vcPackedRGB32Pel>& src, vcPelBuffer<vcPackedRGB32Pel>& dst,
                         double scale, vcUIRect& rect, const vcPair<long>& offset, InterpolationModes mode) {
  return scaleBuffer(src, dst, scale, rect, offset, mode);
}

vcColor vcUIScope::nearestColor(const vcColor& c, const std::vector<vcRGB>& palette) {
  const vcRGB& want = c.rgbStruct();
  const auto sq = [](int a, int b) { return (a - b) * (a - b); };
  std::size_t best = 0;
  long bestDistance = std::numeric_limits<long>::max();
  // Squared distances order the entries as the distances do, exactly.
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const vcRGB& p = palette[i];
    const long d = sq(want.r(), p.r()) + sq(want.g(), p.g()) + sq(want.b(), p.b());
    if (d == 0) return vcColor(static_cast<unsigned char>(i));
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return vcColor(static_cast<unsigned char>(best));
}

long vfScaledExtent(long n, double s, long limit) {
  const double e = std::ceil(static_cast<double>(n) * s);
  if (!(e < static_cast<double>(limit))) return limit;
  long x = static_cast<long>(e);
  const auto shows = [n, s](long c) { return c >= 0 && static_cast<double>(c) / s < static_cast<double>(n); };
  while (x > 0 && !shows(x - 1)) --x;
  while (shows(x)) ++x;
  return x;
}
