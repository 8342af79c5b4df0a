// Point-in-outline on a closed SMD poly of 64 segments with rounded corners
// (a gear of 32 teeth, tips at 200 px and roots at 140 px from its centre,
// corner radius 6 px), for a million random points in its box, tested in
// batches of 10,000: vcSMDGDPoly's inside test, exact on the arcs, beside
// GEOS (C API) on the same outline densified to 0.01 px chord error,
// unprepared (GEOSContains) and prepared (GEOSPreparedContains), in the same
// run. Prepared GEOS is the fair baseline (it indexes the ring once, as the
// poly keeps its geometry); target: at least as fast as it. Throughput is in
// points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

#include <geos_c.h>

#include <vc/wrfm/smdpoly.h>

#include "gear_outline.h"

namespace {

using V = vcVector<2>;
constexpr int kPoints = 1000000;

const vcSMDGDPoly& outline() {
  static const vcSMDGDPoly p = vcBenchGear(V(256, 256));
  return p;
}

const std::vector<V>& points() {
  static const std::vector<V> pts = [] {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(46.0, 466.0);
    std::vector<V> v;
    v.reserve(kPoints);
    for (int i = 0; i < kPoints; ++i) v.emplace_back(u(rng), u(rng));
    return v;
  }();
  return pts;
}

struct Geos {
  GEOSContextHandle_t h = GEOS_init_r();
  GEOSGeometry* poly = nullptr;
  const GEOSPreparedGeometry* prepared = nullptr;
  std::size_t vertices = 0;
  Geos() {
    const std::vector<V> ring = vcBenchDensified(outline());
    vertices = ring.size() - 1;
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(h, static_cast<unsigned>(ring.size()), 2);
    for (unsigned i = 0; i < ring.size(); ++i) GEOSCoordSeq_setXY_r(h, seq, i, ring[i].x(), ring[i].y());
    poly = GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, seq), nullptr, 0);
    prepared = GEOSPrepare_r(h, poly);
  }
  ~Geos() {
    GEOSPreparedGeom_destroy_r(h, prepared);
    GEOSGeom_destroy_r(h, poly);
    GEOS_finish_r(h);
  }
  static Geos& get() {
    static Geos g;
    return g;
  }
};

// Each iteration tests the next batch of the million points, so that the
// slow unprepared baseline fits the same repetitions as the others.
constexpr int kBatch = 10000;

template <class Test>
void runBatches(benchmark::State& state, Test test) {
  const std::vector<V>& pts = points();
  std::size_t at = 0;
  long in = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) in += test(pts[at + std::size_t(i)]);
    at = (at + kBatch) % pts.size();
    benchmark::DoNotOptimize(in);
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

bool geosContains(bool prepared, const V& q) {
  Geos& g = Geos::get();
  GEOSGeometry* pt = GEOSGeom_createPointFromXY_r(g.h, q.x(), q.y());
  const bool in = (prepared ? GEOSPreparedContains_r(g.h, g.prepared, pt) : GEOSContains_r(g.h, g.poly, pt)) == 1;
  GEOSGeom_destroy_r(g.h, pt);
  return in;
}

void BM_SMDPolyInside(benchmark::State& state) {
  const vcSMDGDPoly& p = outline();
  runBatches(state, [&](const V& q) { return vcSMDGDPolyPrivate::inside(p, q); });
  state.counters["target_vs_geos_prepared"] = 1.0;
}

void BM_GeosUnprepared(benchmark::State& state) {
  runBatches(state, [](const V& q) { return geosContains(false, q); });
  state.counters["ring_vertices"] = double(Geos::get().vertices);
}

void BM_GeosPrepared(benchmark::State& state) {
  runBatches(state, [](const V& q) { return geosContains(true, q); });
  // How many of the million points the exact and the densified outline
  // classify differently (points within the 0.01 px chord error).
  static const double disagree = [] {
    long n = 0;
    for (const V& q : points()) n += vcSMDGDPolyPrivate::inside(outline(), q) != geosContains(true, q);
    return double(n);
  }();
  state.counters["disagree_of_1M"] = disagree;
}

BENCHMARK(BM_SMDPolyInside)->Name("inside/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeosUnprepared)->Name("inside/geos")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeosPrepared)->Name("inside/geos_prepared")->Unit(benchmark::kMillisecond);

}  // namespace
