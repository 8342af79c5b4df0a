// Synthetic images: one outline filled into a 2048 x 2048 8-bit image, by
// the library (vcSMDGDPolyPrivate::drawSynthetic) and, in the same run, by
// Cairo (A8 surface, antialiased fill) and OpenCV (cv::fillPoly, LINE_AA)
// drawing the same outline. Outlines (argument): 0 a 300 x 120 rectangle
// turned by 17 degrees with corners rounded by 10, 1 a circle of radius 150,
// 2 a concave star of 40 vertices. Each benchmark reports, as the counter
// max_err, the largest difference in grey levels (fill 255 on 0) from the
// exact area the outline covers in each pixel. Target: the library faster
// than both, with max_err <= 1.
//
// What each timing holds: the library and Cairo build their outline from the
// shape on every call (arcs turned into chords inside the timing); OpenCV is
// handed its chord points ready made, flattened once outside the timing, as
// it has no curves. The comparison with OpenCV so favours OpenCV. Each draws
// again and again into its own image; max_err is taken from the first call.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include <vc/core/pelbuffer.h>
#include <vc/wrfm/smdpoly.h>

#include "support/synth_reference.h"

#if defined(VC_BENCH_CAIRO)
#include <cairo.h>
#endif
#if defined(VC_BENCH_OPENCV)
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

using V = vcVector<2>;
constexpr long kSide = 2048;
constexpr double kPi = std::numbers::pi;
const V kCentre(1024.37, 1023.71);

// One outline: as a poly, as a path description for Cairo (straight runs and
// circle arcs) and as the exact reference outline.
struct Piece {
  bool arc;
  V p;               // line: end point; arc: centre
  double r, a0, a1;  // arc radius and angles (radians)
};
struct Outline {
  vcSMDGDPoly poly;
  std::vector<Piece> path;
  synth_ref::Outline exact;
};

Outline roundedRect() {
  const double w = 300, h = 120, r = 10, a = 17 * kPi / 180, ca = std::cos(a), sa = std::sin(a);
  const auto at = [&](double x, double y) { return kCentre + V(ca * x - sa * y, sa * x + ca * y); };
  Outline o;
  const double sx[4] = {1, -1, -1, 1}, sy[4] = {1, 1, -1, -1};
  for (int k = 0; k < 4; ++k) {
    o.poly << vcSMDGDPolyVertex(at(sx[k] * w / 2, sy[k] * h / 2), r, 0.5, 0.5, -1);
    const V m = at(sx[k] * (w / 2 - r), sy[k] * (h / 2 - r));
    const double from = std::atan2(sy[k], sx[k]) + a - kPi / 4;
    o.path.push_back({true, m, r, from, from + kPi / 2});
    synth_ref::arc(o.exact, {m.x(), m.y()}, r, from, from + kPi / 2);
  }
  o.poly.close();
  return o;
}

Outline circle() {
  Outline o;
  o.poly = vcSMDGDPoly::circle(150, kCentre);
  o.path.push_back({true, kCentre, 150, 0, 2 * kPi});
  synth_ref::arc(o.exact, {kCentre.x(), kCentre.y()}, 150, 0, 2 * kPi);
  return o;
}

Outline star() {
  Outline o;
  for (int k = 0; k < 40; ++k) {
    const double a = 0.1 + 2 * kPi * k / 40, r = k % 2 ? 120 : 300;
    const V p = kCentre + V(r * std::cos(a), r * std::sin(a));
    o.poly << vcSMDGDPolyVertex(p, 0, 0.5, 0.5, -1);
    o.path.push_back({false, p, 0, 0, 0});
    o.exact.push_back({p.x(), p.y()});
  }
  o.poly.close();
  return o;
}

const Outline& outline(long which) {
  static const std::vector<Outline> all = {roundedRect(), circle(), star()};
  return all[static_cast<std::size_t>(which)];
}

// Exact coverage of every pixel of the image, computed once per outline.
const std::vector<double>& coverage(long which) {
  static std::vector<std::vector<double>> cache(3);
  auto& c = cache[static_cast<std::size_t>(which)];
  if (c.empty()) c = synth_ref::coverage(outline(which).exact, kSide, kSide);
  return c;
}

// Largest grey-level difference of a rendering (255 on 0) from the exact one.
double maxError(long which, const unsigned char* pels, long pitch) {
  const std::vector<double>& cov = coverage(which);
  double worst = 0;
  for (long y = 0; y < kSide; ++y)
    for (long x = 0; x < kSide; ++x)
      worst = std::max(worst, std::fabs(pels[y * pitch + x] - 255.0 * cov[static_cast<std::size_t>(y * kSide + x)]));
  return worst;
}

void BM_Synthetic(benchmark::State& state) {
  const Outline& o = outline(state.range(0));
  vcPelBuffer<unsigned char> img(kSide, kSide);
  vcSMDGDPolyPrivate::drawSynthetic(o.poly, vcXform<2>::I, img, 255, true, true);
  state.counters["max_err"] = maxError(state.range(0), img.pointToPel(0, 0), img.rowPitch());
  for (auto _ : state) {
    vcSMDGDPolyPrivate::drawSynthetic(o.poly, vcXform<2>::I, img, 255, true, true);
    benchmark::DoNotOptimize(img.pointToPel(0, 0));
  }
}
BENCHMARK(BM_Synthetic)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

#if defined(VC_BENCH_CAIRO)
// The path is built on every call, as the library flattens on every call.
void fillCairo(cairo_t* cr, const Outline& o) {
  for (std::size_t k = 0; k < o.path.size(); ++k) {
    const Piece& p = o.path[k];
    if (p.arc)
      cairo_arc(cr, p.p.x(), p.p.y(), p.r, p.a0, p.a1);
    else if (k == 0)
      cairo_move_to(cr, p.p.x(), p.p.y());
    else
      cairo_line_to(cr, p.p.x(), p.p.y());
  }
  cairo_close_path(cr);
  cairo_fill(cr);
}

void BM_Cairo(benchmark::State& state) {
  const Outline& o = outline(state.range(0));
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, kSide, kSide);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  fillCairo(cr, o);
  cairo_surface_flush(surface);
  state.counters["max_err"] =
      maxError(state.range(0), cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface));
  for (auto _ : state) {
    fillCairo(cr, o);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_Cairo)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
#endif

#if defined(VC_BENCH_OPENCV)
// The outline as OpenCV's fixed-point polygon (8 fraction bits), pixel
// centres at integers as OpenCV counts them, arcs as chords within 0.01
// pixel; made once, outside the timing.
std::vector<cv::Point> cvOutline(const Outline& o) {
  std::vector<cv::Point> pts;
  const auto add = [&](double x, double y) {
    pts.emplace_back(static_cast<int>(std::lround((x - 0.5) * 256)), static_cast<int>(std::lround((y - 0.5) * 256)));
  };
  for (const Piece& p : o.path) {
    if (!p.arc) {
      add(p.p.x(), p.p.y());
      continue;
    }
    const int n = static_cast<int>(std::ceil(std::fabs(p.a1 - p.a0) / (2 * std::acos(1 - 0.01 / p.r))));
    for (int k = 0; k <= n; ++k) {
      const double a = p.a0 + (p.a1 - p.a0) * k / n;
      add(p.p.x() + p.r * std::cos(a), p.p.y() + p.r * std::sin(a));
    }
  }
  return pts;
}

void BM_OpenCV(benchmark::State& state) {
  cv::setNumThreads(1);
  const std::vector<std::vector<cv::Point>> polys = {cvOutline(outline(state.range(0)))};
  cv::Mat img(static_cast<int>(kSide), static_cast<int>(kSide), CV_8UC1, cv::Scalar(0));
  cv::fillPoly(img, polys, cv::Scalar(255), cv::LINE_AA, 8);
  state.counters["max_err"] = maxError(state.range(0), img.data, static_cast<long>(img.step));
  for (auto _ : state) {
    cv::fillPoly(img, polys, cv::Scalar(255), cv::LINE_AA, 8);
    benchmark::DoNotOptimize(img.data);
  }
}
BENCHMARK(BM_OpenCV)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
