// Offsetting SMD outlines exactly (vcSMDGDPolyPrivate::offset, and
// offsetUnion where grown outlines merge) beside Clipper (ClipperOffset, round
// joins) and GEOS (GEOSBuffer, round joins) in the same run, on the same
// outlines densified to 0.01 px chord error, the baselines asked for the same
// 0.01 px arc tolerance. Cases, each /ours beside /clipper and /geos, by the
// distance d4 in quarter pixels:
//   offset_gear:  the 64-segment gear of the other SMD benchmarks (tips at
//                 200 px, roots at 140 px, corners rounded by 6 px), shrunk
//                 and grown;
//   offset_board: 300 pads (20 x 15, 12 x 8 px rounded by 2 px, on a 20 px
//                 pitch), shrunk pad by pad, grown apart, and grown by 4.5 px
//                 into strips.
// Counters: vertices, the output's vertex count (an arc counts once in ours),
// and deviation_px, the largest distance of an output point (each baseline
// vertex; 16 points along each of our segments) from the exact offset, that is
// | distance from the input outline - |d| |.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include <clipper.hpp>
#include <geos_c.h>

#include <vc/wrfm/smdmodel.h>

#include "gear_outline.h"

namespace {

using V = vcVector<2>;
using P = vcSMDGDPolyPrivate;

constexpr double kClipperScale = 1000.0;  // Clipper works on integers: 0.001 px
constexpr double kTolerance = 0.01;       // arc tolerance of the baselines, px

const std::vector<vcSMDGDPoly>& gear() {
  static const std::vector<vcSMDGDPoly> g = {vcBenchGear(V(256, 256))};
  return g;
}

const std::vector<vcSMDGDPoly>& board() {
  static const std::vector<vcSMDGDPoly> b = [] {
    std::vector<vcSMDGDPoly> pads;
    for (int j = 0; j < 15; ++j)
      for (int i = 0; i < 20; ++i) {
        std::vector<vcSMDGDPolyVertex> vs;
        const V c(20.0 * i, 20.0 * j);
        for (V corner : {V(6, 4), V(-6, 4), V(-6, -4), V(6, -4)}) vs.emplace_back(c + corner, 2.0, 0.5, 0.5, -1);
        vcSMDGDPoly p;
        p.vertices(vs);
        p.close();
        pads.push_back(p);
      }
    return pads;
  }();
  return b;
}

const std::vector<vcSMDGDPoly>& input(int which) { return which == 0 ? gear() : board(); }

// Distance from q to the nearest input outline region (signed, negative inside).
double exactDistance(const std::vector<vcSMDGDPoly>& polys, const std::vector<vcRect>& boxes, const V& q, double reach) {
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < polys.size(); ++i) {
    const vcRect& b = boxes[i];
    if (q.x() < b.x() - reach || q.x() > b.x() + b.width() + reach || q.y() < b.y() - reach ||
        q.y() > b.y() + b.height() + reach)
      continue;
    best = std::min(best, P::signedDistance(polys[i], q));
  }
  return best;
}

double deviation(int which, double d, const std::vector<V>& pts) {
  const auto& polys = input(which);
  std::vector<vcRect> boxes;
  for (const auto& p : polys) boxes.push_back(p.boundingBox());
  double worst = 0.0;
  for (const V& q : pts)
    worst = std::max(worst, std::abs(std::abs(exactDistance(polys, boxes, q, std::abs(d) + 1.0)) - std::abs(d)));
  return worst;
}

// Grown: the union's outlines; shrunk: each outline's offset on its own,
// kept as returned (a poly is copied whole, never moved).
std::vector<std::vector<vcSMDGDPoly>> exactOffset(int which, double d) {
  const auto& polys = input(which);
  std::vector<std::vector<vcSMDGDPoly>> out;
  if (d > 0) {
    out.push_back(P::offsetUnion(polys, d));
    return out;
  }
  out.reserve(polys.size());
  for (const auto& p : polys) out.push_back(P::offset(p, d));
  return out;
}

template <int which>
void BM_SMDOffset(benchmark::State& state) {
  const double d = static_cast<double>(state.range(0)) / 4.0;
  std::vector<std::vector<vcSMDGDPoly>> r;
  for (auto _ : state) {
    r = exactOffset(which, d);
    benchmark::DoNotOptimize(r.data());
  }
  long vertices = 0;
  std::vector<V> pts;
  for (const auto& one : r)
    for (const auto& q : one) {
      vertices += q.numVertices();
      for (int s = 0; s < q.numVertices(); ++s) {
        const bool line = q.vertex(s).segmentAngleSpan().toDouble() == 0.0;
        for (int k = 0; k < 16; ++k)
          pts.push_back(line ? P::lineSegment_(q, s).segPoint(k / 16.0) : P::arcSegment_(q, s).segPoint(k / 16.0));
      }
    }
  state.counters["vertices"] = static_cast<double>(vertices);
  state.counters["deviation_px"] = deviation(which, d, pts);
  state.counters["target_vs_clipper"] = 1.0;
  state.counters["target_vs_geos"] = 1.0;
}

template <int which>
void BM_ClipperOffset(benchmark::State& state) {
  const double d = static_cast<double>(state.range(0)) / 4.0;
  ClipperLib::Paths in;
  for (const auto& p : input(which)) {
    ClipperLib::Path path;
    for (const V& q : vcBenchDensified(p))
      path.emplace_back(std::llround(q.x() * kClipperScale), std::llround(q.y() * kClipperScale));
    path.pop_back();  // the ring's repeated first point
    in.push_back(path);
  }
  ClipperLib::Paths out;
  for (auto _ : state) {
    ClipperLib::ClipperOffset co(2.0, kTolerance * kClipperScale);
    co.AddPaths(in, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    out.clear();
    co.Execute(out, d * kClipperScale);
    benchmark::DoNotOptimize(out.data());
  }
  std::vector<V> pts;
  for (const auto& path : out)
    for (const auto& q : path) pts.emplace_back(q.X / kClipperScale, q.Y / kClipperScale);
  state.counters["vertices"] = static_cast<double>(pts.size());
  state.counters["deviation_px"] = deviation(which, d, pts);
}

template <int which>
void BM_GeosBuffer(benchmark::State& state) {
  const double d = static_cast<double>(state.range(0)) / 4.0;
  GEOSContextHandle_t h = GEOS_init_r();
  std::vector<GEOSGeometry*> parts;
  for (const auto& p : input(which)) {
    const std::vector<V> ring = vcBenchDensified(p);
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(h, static_cast<unsigned>(ring.size()), 2);
    for (unsigned i = 0; i < ring.size(); ++i) GEOSCoordSeq_setXY_r(h, seq, i, ring[i].x(), ring[i].y());
    parts.push_back(GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, seq), nullptr, 0));
  }
  GEOSGeometry* geom =
      GEOSGeom_createCollection_r(h, GEOS_MULTIPOLYGON, parts.data(), static_cast<unsigned>(parts.size()));
  // Segments per quarter turn for a sagitta of at most kTolerance at radius |d|.
  const int quadsegs =
      std::max(1, int(std::ceil(0.25 * std::numbers::pi / std::acos(1.0 - kTolerance / std::max(std::abs(d), kTolerance)))));
  GEOSGeometry* out = nullptr;
  for (auto _ : state) {
    if (out) GEOSGeom_destroy_r(h, out);
    out = GEOSBuffer_r(h, geom, d, quadsegs);
    benchmark::DoNotOptimize(out);
  }
  std::vector<V> pts;
  const int n = GEOSGetNumGeometries_r(h, out);
  for (int g = 0; g < n; ++g) {
    const GEOSGeometry* poly = GEOSGetGeometryN_r(h, out, g);
    std::vector<const GEOSGeometry*> rings = {GEOSGetExteriorRing_r(h, poly)};
    for (int k = 0; k < GEOSGetNumInteriorRings_r(h, poly); ++k) rings.push_back(GEOSGetInteriorRingN_r(h, poly, k));
    for (const GEOSGeometry* ring : rings) {
      const GEOSCoordSequence* seq = GEOSGeom_getCoordSeq_r(h, ring);
      unsigned size = 0;
      GEOSCoordSeq_getSize_r(h, seq, &size);
      for (unsigned i = 0; i + 1 < size; ++i) {
        double x = 0, y = 0;
        GEOSCoordSeq_getXY_r(h, seq, i, &x, &y);
        pts.emplace_back(x, y);
      }
    }
  }
  state.counters["vertices"] = static_cast<double>(pts.size());
  state.counters["deviation_px"] = deviation(which, d, pts);
  GEOSGeom_destroy_r(h, out);
  GEOSGeom_destroy_r(h, geom);
  GEOS_finish_r(h);
}

// The distances in quarter pixels.
void gearCases(benchmark::internal::Benchmark* b) {
  b->ArgName("d4");
  for (long d4 : {-12, 8, 32}) b->Arg(d4);
  b->Unit(benchmark::kMicrosecond);
}

void boardCases(benchmark::internal::Benchmark* b) {
  b->ArgName("d4");
  for (long d4 : {-6, 4, 18}) b->Arg(d4);
  b->Unit(benchmark::kMicrosecond);
}

BENCHMARK_TEMPLATE(BM_SMDOffset, 0)->Name("offset_gear/ours")->Apply(gearCases);
BENCHMARK_TEMPLATE(BM_ClipperOffset, 0)->Name("offset_gear/clipper")->Apply(gearCases);
BENCHMARK_TEMPLATE(BM_GeosBuffer, 0)->Name("offset_gear/geos")->Apply(gearCases);
BENCHMARK_TEMPLATE(BM_SMDOffset, 1)->Name("offset_board/ours")->Apply(boardCases);
BENCHMARK_TEMPLATE(BM_ClipperOffset, 1)->Name("offset_board/clipper")->Apply(boardCases);
BENCHMARK_TEMPLATE(BM_GeosBuffer, 1)->Name("offset_board/geos")->Apply(boardCases);

}  // namespace
