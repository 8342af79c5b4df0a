// Pixel transfer for display buffers on a 2048 x 2048 8-bit image:
// replication by 2 and 3 (vcUIScope::pelExpand) beside memcpy of the same
// destination bytes (target: at least half of memcpy's throughput), and
// nearest-neighbour scaling by 1.5 and 0.5 (vcUIScope::pelScale), also on
// the same image in RGB32, beside OpenCV's cv::resize with
// INTER_NEAREST, which runs on the same images in the same run (target for the
// reduction by 0.5: at least as fast as OpenCV). Throughput is in destination
// bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include <vc/core/pelbuffer.h>
#include <vc/uiscope.h>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

namespace {

constexpr long kSide = 2048;

// Opens the static buffer helpers of the scope base class.
struct Helpers : vcUIScope {
  using vcUIScope::pelExpand;
  using vcUIScope::pelScale;
};

const vcPelBuffer<unsigned char>& source() {
  static const vcPelBuffer<unsigned char> img = [] {
    vcPelBuffer<unsigned char> b(kSide, kSide);
    for (long y = 0; y < kSide; ++y)
      for (long x = 0; x < kSide; ++x) *b.pointToPel(x, y) = static_cast<unsigned char>((x * 7 + y * 13) ^ (x >> 3));
    return b;
  }();
  return img;
}

const vcPelBuffer<vcPackedRGB32Pel>& source32() {
  static const vcPelBuffer<vcPackedRGB32Pel> img = [] {
    vcPelBuffer<vcPackedRGB32Pel> b(kSide, kSide);
    for (long y = 0; y < kSide; ++y)
      for (long x = 0; x < kSide; ++x) {
        const auto v = static_cast<unsigned char>((x * 7 + y * 13) ^ (x >> 3));
        *b.pointToPel(x, y) = vcPackedRGB32Pel(v, static_cast<unsigned char>(v + 1), static_cast<unsigned char>(x));
      }
    return b;
  }();
  return img;
}

// Destination side of a scale.
long scaled(double s) { return static_cast<long>(static_cast<double>(kSide) * s); }

void BM_Memcpy(benchmark::State& state) {
  const long side = kSide * state.range(0);
  std::vector<unsigned char> from(static_cast<std::size_t>(side * side), 1), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_Memcpy)->Name("expand/memcpy")->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// The display buffer is kept from call to call, as a scope keeps it.
void BM_PelExpand(benchmark::State& state) {
  const long f = state.range(0), side = kSide * f;
  vcPelBuffer<unsigned char> dst;
  for (auto _ : state) {
    vcUIRect rect(0, 0, side, side);
    Helpers::pelExpand(source(), dst, f, f, rect, vcPair<long>(0, 0));
    benchmark::DoNotOptimize(dst.pointToPel(0, 0));
  }
  state.SetBytesProcessed(state.iterations() * side * side);
  state.counters["target_vs_memcpy"] = 2.0;
}
BENCHMARK(BM_PelExpand)->Name("expand/ours")->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// A fresh buffer on every call: adds allocating and zeroing the destination.
void BM_PelExpandFreshBuffer(benchmark::State& state) {
  const long f = state.range(0), side = kSide * f;
  for (auto _ : state) {
    vcPelBuffer<unsigned char> dst;
    vcUIRect rect(0, 0, side, side);
    Helpers::pelExpand(source(), dst, f, f, rect, vcPair<long>(0, 0));
    benchmark::DoNotOptimize(dst.pointToPel(0, 0));
  }
  state.SetBytesProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_PelExpandFreshBuffer)->Name("expand_fresh/ours")->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// The argument is the scale in percent.
void BM_PelScaleNearest(benchmark::State& state) {
  const double s = static_cast<double>(state.range(0)) / 100.0;
  const long side = scaled(s);
  vcPelBuffer<unsigned char> dst;
  for (auto _ : state) {
    vcUIRect rect(0, 0, side, side);
    Helpers::pelScale(source(), dst, s, rect, vcPair<long>(0, 0), vcUITabletTypes::eNoInterpolation);
    benchmark::DoNotOptimize(dst.pointToPel(0, 0));
  }
  state.SetBytesProcessed(state.iterations() * side * side);
  if (state.range(0) == 50) state.counters["target_vs_opencv"] = 1.0;
}
BENCHMARK(BM_PelScaleNearest)->Name("zoom_8bit/ours")->Arg(150)->Arg(50)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_PelScaleNearestRGB32(benchmark::State& state) {
  const double s = static_cast<double>(state.range(0)) / 100.0;
  const long side = scaled(s);
  vcPelBuffer<vcPackedRGB32Pel> dst;
  for (auto _ : state) {
    vcUIRect rect(0, 0, side, side);
    Helpers::pelScale(source32(), dst, s, rect, vcPair<long>(0, 0), vcUITabletTypes::eNoInterpolation);
    benchmark::DoNotOptimize(dst.pointToPel(0, 0));
  }
  state.SetBytesProcessed(state.iterations() * side * side * 4);
}
BENCHMARK(BM_PelScaleNearestRGB32)->Name("zoom_rgb32/ours")->Arg(50)->Arg(150)->Unit(benchmark::kMillisecond);

// The same pixels wrapped without a copy; the destination Mat is reused.
// OpenCV runs on one thread, as the library's kernels do.
void BM_OpenCVResizeNearest(benchmark::State& state) {
  cv::setNumThreads(1);
  const double s = static_cast<double>(state.range(0)) / 100.0;
  const vcPelBuffer<unsigned char>& img = source();
  const cv::Mat from(static_cast<int>(kSide), static_cast<int>(kSide), CV_8UC1,
                     const_cast<unsigned char*>(img.pointToPel(0, 0)), static_cast<std::size_t>(img.rowPitch()));
  cv::Mat to;
  const long side = scaled(s);
  for (auto _ : state) {
    cv::resize(from, to, cv::Size(static_cast<int>(side), static_cast<int>(side)), 0, 0, cv::INTER_NEAREST);
    benchmark::DoNotOptimize(to.data);
  }
  state.SetBytesProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_OpenCVResizeNearest)->Name("zoom_8bit/opencv")->Arg(150)->Arg(50)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_OpenCVResizeNearestRGB32(benchmark::State& state) {
  cv::setNumThreads(1);
  const double s = static_cast<double>(state.range(0)) / 100.0;
  const vcPelBuffer<vcPackedRGB32Pel>& img = source32();
  const cv::Mat from(static_cast<int>(kSide), static_cast<int>(kSide), CV_8UC4,
                     const_cast<vcPackedRGB32Pel*>(img.pointToPel(0, 0)), static_cast<std::size_t>(img.rowPitch()) * 4);
  cv::Mat to;
  const long side = scaled(s);
  for (auto _ : state) {
    cv::resize(from, to, cv::Size(static_cast<int>(side), static_cast<int>(side)), 0, 0, cv::INTER_NEAREST);
    benchmark::DoNotOptimize(to.data);
  }
  state.SetBytesProcessed(state.iterations() * side * side * 4);
}
BENCHMARK(BM_OpenCVResizeNearestRGB32)->Name("zoom_rgb32/opencv")->Arg(50)->Arg(150)->Unit(benchmark::kMillisecond);

}  // namespace
