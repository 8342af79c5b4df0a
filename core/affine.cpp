// Affine resampling of 8-bit and packed 32-bit RGB images.
#include <vc/core/affine.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <vc/core/exception.h>

vcAffineSamplingParams::vcAffineSamplingParams(const vcAffineRectangle& area, long xSamples, long ySamples,
                                               int interpolation)
    : area_(area), xSamples_(xSamples), ySamples_(ySamples), interpolation_(interpolation) {
  if (xSamples < 0 || ySamples < 0)
    throw vcBadArgument("vcAffineSamplingParams: negative grid " + std::to_string(xSamples) + " x " +
                        std::to_string(ySamples));
  if (interpolation < eNearest || interpolation > eBicubic)
    throw vcBadArgument("vcAffineSamplingParams: interpolation " + std::to_string(interpolation) +
                        " (1 nearest, 2 bilinear or 3 bicubic expected)");
}

vcVector<2> vcAffineSamplingParams::columnStep() const {
  return xSamples_ > 0 ? (area_.cornerPx() - area_.cornerPo()) * (1.0 / static_cast<double>(xSamples_))
                       : vcVector<2>(0.0, 0.0);
}

vcVector<2> vcAffineSamplingParams::rowStep() const {
  return ySamples_ > 0 ? (area_.cornerPy() - area_.cornerPo()) * (1.0 / static_cast<double>(ySamples_))
                       : vcVector<2>(0.0, 0.0);
}

vcVector<2> vcAffineSamplingParams::samplePoint(long i, long j) const {
  return area_.cornerPo() + columnStep() * (static_cast<double>(i) + 0.5) + rowStep() * (static_cast<double>(j) + 0.5);
}

namespace {

using Byte = unsigned char;

// The source pixels one axis of the kernel reads and their weights.
struct Taps {
  int n = 0;
  long idx[4] = {};
  double w[4] = {};
};

// Cubic convolution weight for a distance d in [0, 2).
double cubic(double d) {
  constexpr double a = -0.5;
  return d <= 1.0 ? ((a + 2.0) * d - (a + 3.0)) * d * d + 1.0 : ((a * d - 5.0 * a) * d + 8.0 * a) * d - 4.0 * a;
}

// u: the sample position along an axis of size pixels, measured so that
// pixel k's centre is at k; u lies in [-0.5, size - 0.5).
Taps tapsAt(double u, long size, int interpolation) {
  Taps t;
  const auto at = [size](long k) { return std::clamp(k, 0L, size - 1); };
  if (interpolation == vcAffineSamplingParams::eNearest) {
    t.n = 1;
    t.idx[0] = at(static_cast<long>(std::floor(u + 0.5)));
    t.w[0] = 1.0;
    return t;
  }
  const double f = std::floor(u), d = u - f;
  const long k = static_cast<long>(f);
  if (interpolation == vcAffineSamplingParams::eBilinear) {
    t.n = 2;
    t.idx[0] = at(k);
    t.idx[1] = at(k + 1);
    t.w[0] = 1.0 - d;
    t.w[1] = d;
    return t;
  }
  t.n = 4;
  for (int m = 0; m < 4; ++m) {
    t.idx[m] = at(k - 1 + m);
    t.w[m] = cubic(std::fabs(d - static_cast<double>(m - 1)));
  }
  return t;
}

// Channels is 1 for 8-bit pixels, 3 for the b, g, r bytes of packed 32-bit ones.
template <class T, int Channels>
class Sampler {
public:
  explicit Sampler(const vcPelBuffer_const<T>& src)
      : w_(src.width()),
        h_(src.height()),
        base_(reinterpret_cast<const Byte*>(src.pointToPel(src.offset().x(), src.offset().y()))),
        pitch_(src.rowPitch() * static_cast<long>(sizeof(T))) {}

  long width() const { return w_; }
  long height() const { return h_; }

  void write(Byte* out, const Taps& cols, const Taps& rows) const {
    double acc[Channels] = {};
    for (int r = 0; r < rows.n; ++r) {
      const Byte* row = base_ + rows.idx[r] * pitch_;
      for (int c = 0; c < cols.n; ++c) {
        const Byte* p = row + cols.idx[c] * static_cast<long>(sizeof(T));
        const double wt = rows.w[r] * cols.w[c];
        for (int ch = 0; ch < Channels; ++ch) acc[ch] += wt * p[ch];
      }
    }
    for (int ch = 0; ch < Channels; ++ch)
      out[ch] = static_cast<Byte>(std::clamp(std::floor(acc[ch] + 0.5), 0.0, 255.0));
    if constexpr (sizeof(T) == 4) out[3] = 0;
  }

private:
  long w_, h_;
  const Byte* base_;
  long pitch_;
};

template <class T, int Channels>
vcRectangle<long> transform(const vcPelBuffer_const<T>& src, const vcAffineSamplingParams& p, vcPelBuffer<T>& dst) {
  const long nx = p.xSamples(), ny = p.ySamples();
  if (dst.isNull() || dst.width() < nx || dst.height() < ny)
    throw vcBadArgument("vfAffineTransformImage: the destination window " + std::to_string(dst.width()) + " x " +
                        std::to_string(dst.height()) + " is smaller than the grid " + std::to_string(nx) + " x " +
                        std::to_string(ny));
  if (src.isNull() || src.width() == 0 || src.height() == 0 || nx == 0 || ny == 0) return {};
  const Sampler<T, Channels> s(src);
  const double w = static_cast<double>(s.width()), h = static_cast<double>(s.height());
  // Sample points relative to the window's upper-left corner.
  const vcVector<2> origin =
      p.samplePoint(0, 0) - vcVector<2>(static_cast<double>(src.offset().x()), static_cast<double>(src.offset().y()));
  const vcVector<2> cs = p.columnStep(), rs = p.rowStep();
  const auto inside = [w, h](double x, double y) { return x >= 0.0 && x < w && y >= 0.0 && y < h; };
  const int mode = p.interpolation();

  // An upright area has one set of column taps for every row.
  const bool upright = cs.y() == 0.0 && rs.x() == 0.0;
  std::vector<Taps> colTaps;
  std::vector<char> colIn;
  if (upright) {
    colTaps.resize(static_cast<std::size_t>(nx));
    colIn.resize(static_cast<std::size_t>(nx));
    for (long i = 0; i < nx; ++i) {
      const double x = origin.x() + static_cast<double>(i) * cs.x();
      colIn[static_cast<std::size_t>(i)] = x >= 0.0 && x < w;
      if (colIn[static_cast<std::size_t>(i)]) colTaps[static_cast<std::size_t>(i)] = tapsAt(x - 0.5, s.width(), mode);
    }
  }

  long minI = nx, maxI = -1, minJ = ny, maxJ = -1;
  const vcPair<long> d0 = dst.offset();
  for (long j = 0; j < ny; ++j) {
    Byte* out = reinterpret_cast<Byte*>(dst.pointToPel(d0.x(), d0.y() + j));
    const auto hit = [&](long i) {
      minI = std::min(minI, i);
      maxI = std::max(maxI, i);
      minJ = std::min(minJ, j);
      maxJ = j;
    };
    if (upright) {
      const double y = origin.y() + static_cast<double>(j) * rs.y();
      if (!(y >= 0.0 && y < h)) continue;
      const Taps rowTaps = tapsAt(y - 0.5, s.height(), mode);
      for (long i = 0; i < nx; ++i) {
        if (!colIn[static_cast<std::size_t>(i)]) continue;
        s.write(out + i * static_cast<long>(sizeof(T)), colTaps[static_cast<std::size_t>(i)], rowTaps);
        hit(i);
      }
      continue;
    }
    for (long i = 0; i < nx; ++i) {
      const vcVector<2> q = origin + cs * static_cast<double>(i) + rs * static_cast<double>(j);
      if (!inside(q.x(), q.y())) continue;
      s.write(out + i * static_cast<long>(sizeof(T)), tapsAt(q.x() - 0.5, s.width(), mode),
              tapsAt(q.y() - 0.5, s.height(), mode));
      hit(i);
    }
  }
  if (maxI < 0) return {};
  return vcRectangle<long>(d0.x() + minI, d0.y() + minJ, maxI - minI + 1, maxJ - minJ + 1);
}

}  // namespace

vcRectangle<long> vfAffineTransformImage(const vcPelBuffer_const<unsigned char>& src,
                                         const vcAffineSamplingParams& params, vcPelBuffer<unsigned char>& dst) {
  return transform<unsigned char, 1>(src, params, dst);
}

vcRectangle<long> vfAffineTransformImage(const vcPelBuffer_const<vcPackedRGB32Pel>& src,
                                         const vcAffineSamplingParams& params, vcPelBuffer<vcPackedRGB32Pel>& dst) {
  return transform<vcPackedRGB32Pel, 3>(src, params, dst);
}
