// Cropping one closed SMD poly of 64 segments with rounded corners (a gear of
// 32 teeth, tips at 200 px and roots at 140 px from its centre, corner radius
// 6 px) by another of the same shape, turned by 3 degrees and moved by
// (40, 25) px, keeping the inside and the outside: vcSMDGDPolyPrivate::crop,
// exact on the arcs, beside GEOS (C API) in the same run on the same outlines
// densified to 0.01 px chord error: the cropped outline as a line string,
// intersected with (GEOSIntersection) and cut by (GEOSDifference) the cropper
// polygon, which is the same curve-by-region operation. The counters give the
// kept length of each, so that the two results can be compared.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include <geos_c.h>

#include <vc/wrfm/smdmodel.h>

#include "gear_outline.h"

namespace {

using V = vcVector<2>;

const vcSMDGDPoly& cropper() {
  static const vcSMDGDPoly p = vcBenchGear(V(256, 256), 0.0);
  return p;
}
const vcSMDGDPoly& cropped() {
  static const vcSMDGDPoly p = vcBenchGear(V(296, 281), 3.0);
  return p;
}

struct Geos {
  GEOSContextHandle_t h = GEOS_init_r();
  GEOSGeometry* region = nullptr;
  GEOSGeometry* line = nullptr;
  GEOSCoordSequence* seqOf(const std::vector<V>& ring) {
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(h, static_cast<unsigned>(ring.size()), 2);
    for (unsigned i = 0; i < ring.size(); ++i) GEOSCoordSeq_setXY_r(h, seq, i, ring[i].x(), ring[i].y());
    return seq;
  }
  Geos() {
    region = GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, seqOf(vcBenchDensified(cropper()))), nullptr, 0);
    line = GEOSGeom_createLineString_r(h, seqOf(vcBenchDensified(cropped())));
  }
  ~Geos() {
    GEOSGeom_destroy_r(h, line);
    GEOSGeom_destroy_r(h, region);
    GEOS_finish_r(h);
  }
  static Geos& get() {
    static Geos g;
    return g;
  }
};

void BM_SMDPolyCrop(benchmark::State& state) {
  const bool keepInside = state.range(0) != 0;
  double length = 0;
  int pieces = 0;
  for (auto _ : state) {
    const vcSMDGDModel r = vcSMDGDPolyPrivate::crop(cropper(), cropped(), keepInside);
    pieces = r.numPolys();
    benchmark::DoNotOptimize(pieces);
    length = vcSMDGDModelPrivate::perimeter(r, 0.0);
  }
  state.counters["pieces"] = pieces;
  state.counters["length_px"] = length;
}

void BM_GeosCrop(benchmark::State& state) {
  const bool keepInside = state.range(0) != 0;
  Geos& g = Geos::get();
  double length = 0;
  int pieces = 0;
  for (auto _ : state) {
    GEOSGeometry* r = keepInside ? GEOSIntersection_r(g.h, g.line, g.region) : GEOSDifference_r(g.h, g.line, g.region);
    pieces = GEOSGetNumGeometries_r(g.h, r);
    benchmark::DoNotOptimize(pieces);
    GEOSLength_r(g.h, r, &length);
    GEOSGeom_destroy_r(g.h, r);
  }
  state.counters["pieces"] = pieces;
  state.counters["length_px"] = length;
}

BENCHMARK(BM_SMDPolyCrop)->Name("crop/ours")->ArgName("inside")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GeosCrop)->Name("crop/geos")->ArgName("inside")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
