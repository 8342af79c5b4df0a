// Sketch playback cost, on a sketch of a million mixed records (points,
// segments, circles, rectangles, polylines, polygons, pen moves, text and
// ellipses, with a props change every few records):
// - parse only: the record walk replay makes, without drawing (MB/s);
// - replay onto a surface that does nothing (a million records, so ms per
//   run is ns per record);
// - beside it, the baseline: the same calls drawn directly, in the same run.
// Heap allocations are counted through a replaced global operator new and
// reported per record for replay and direct drawing. Targets: replay within
// 1.2x of direct drawing, no allocation per record.
// A second sketch of a million 8-bit and run-length image records is replayed
// beside drawing the same images directly. Targets: within 2x, and no
// allocation per record (the record objects keep their image from record to
// record; what is left is a fixed cost per replay).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <vc/core/bezier.h>
#include <vc/core/circle.h>
#include <vc/core/ellipse.h>
#include <vc/core/lineseg.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/poly.h>
#include <vc/core/rle.h>
#include <vc/sketchop.h>
#include <vc/uistring.h>
#include <vc/uitablet.h>

#include "null_scope.h"

namespace {

std::size_t gAllocations = 0;

}  // namespace

void* operator new(std::size_t n) {
  ++gAllocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
// Out of line, so that the compiler does not pair an inlined free with operator new.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using V = vcVector<2>;
constexpr long kRecords = 1000000;
constexpr vcUITablet::Layers kLayer = vcUITablet::eImage;

const vcPelBuffer<unsigned char>& smallImage() {
  static const vcPelBuffer<unsigned char> image = [] {
    vcPelBuffer<unsigned char> b(8, 6);
    for (long y = 0; y < 6; ++y)
      for (long x = 0; x < 8; ++x) *b.pointToPel(x, y) = static_cast<unsigned char>(x < 3 ? 1 : x + y);
    return b;
  }();
  return image;
}

// Call i of the mixed sequence; the same for recording and direct drawing.
void drawMixed(vcUITablet& t, long i) {
  static const vcGraphicProps thin(vcColor(200, 10, 10), 1);
  static const vcGraphicProps thick(vcColor(20, 100, 10), 3, vcGraphicProps::ePenDash);
  const vcGraphicProps& p = (i / 7) % 2 ? thick : thin;
  const double x = static_cast<double>(i % 500), y = static_cast<double>((i / 500) % 400);
  switch (i % 10) {
    case 0: t.draw(vcPoint(x, y), p, kLayer); break;
    case 1: t.draw(vcLineSeg(V(x, y), V(x + 20, y + 7)), p, kLayer); break;
    case 2: t.draw(vcCircle(V(x, y), 6), p, kLayer); break;
    case 3: t.draw(vcRect(x, y, 12, 9), p, kLayer); break;
    case 4: t.draw(vcPolyline({V(x, y), V(x + 5, y + 9), V(x + 11, y)}, false), p, kLayer); break;
    case 5: t.draw(vcPolygon({V(x, y), V(x + 8, y), V(x + 4, y + 6)}, vcPolygon::eWinding), p, kLayer); break;
    case 6:
      t.drawStart(vcPoint(x, y), kLayer);
      break;
    case 7: t.drawTo(vcPoint(x + 3, y + 4), p, kLayer); break;
    case 8: t.draw(std::string("label"), vcPoint(x, y), vcColor(3), vcColor(0), vcUIFormat(), kLayer); break;
    default: t.draw(vcEllipse2(V(5, 3), vcRadian(0.3), V(x, y)), p, kLayer); break;
  }
}

// Image call i: an 8-bit or a run-length image.
void drawImage(vcUITablet& t, long i) {
  static const vcRLEBuffer runs = vcRLEBuffer::encode(smallImage());
  static const std::vector<unsigned char> colorMap{0, 200, 100, 50};
  const vcPoint at(static_cast<double>(i % 500), static_cast<double>((i / 500) % 400));
  if (i % 2)
    t.draw(runs, at, colorMap, true, 0, false, kLayer);
  else
    t.draw(smallImage(), at, true, 0, false, kLayer);
}

void drawImageOrMixed(vcUITablet& t, long i, bool images) {
  if (images)
    drawImage(t, i);
  else
    drawMixed(t, i);
}

const vcUISketch& recorded(bool images) {
  static const auto record = [](bool withImages) {
    vcUITablet recorder;  // records, draws nothing
    for (long i = 0; i < kRecords; ++i) drawImageOrMixed(recorder, i, withImages);
    return recorder.sketch();
  };
  static const vcUISketch mixed = record(false), pictures = record(true);
  return images ? pictures : mixed;
}

struct NullTablet {
  vcNullScope scope{vcPair<long>(1024, 1024)};
  vcUITablet tablet{&scope, nullptr};
  NullTablet() { tablet.visible(true); }
};

void perRecord(benchmark::State& state, std::size_t allocations) {
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.counters["allocs/record"] = static_cast<double>(allocations) / static_cast<double>(kRecords);
}

// The records' walk without drawing: one header, one record object per opcode.
void BM_ParseMixedSketch(benchmark::State& state) {
  const vcUISketch& s = recorded(false);
  for (auto _ : state) {
    long last = 0;
    for (const vcUISketchRecord& r : vcUISketchRecords(s)) last = r.opcode();
    benchmark::DoNotOptimize(last);
  }
  state.SetBytesProcessed(state.iterations() * s.size());
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ParseMixedSketch)->Name("parse/ours")->Unit(benchmark::kMillisecond);

// The argument: 1 for the image sketch, 0 for the mixed one.
void BM_DrawDirectly(benchmark::State& state) {
  const bool images = state.range(0) != 0;
  NullTablet t;
  std::size_t allocations = 0;
  for (auto _ : state) {
    const std::size_t before = gAllocations;
    for (long i = 0; i < kRecords; ++i) drawImageOrMixed(t.tablet, i, images);
    allocations = gAllocations - before;
  }
  perRecord(state, allocations);
}
BENCHMARK(BM_DrawDirectly)->Name("replay/direct")->ArgName("images")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReplaySketch(benchmark::State& state) {
  const vcUISketch& s = recorded(state.range(0) != 0);
  NullTablet t;
  std::size_t allocations = 0;
  for (auto _ : state) {
    const std::size_t before = gAllocations;
    t.tablet.draw(s, vcPoint(0, 0), kLayer);
    allocations = gAllocations - before;
  }
  perRecord(state, allocations);
  state.counters["target_vs_direct"] = state.range(0) != 0 ? 2.0 : 1.2;
}
BENCHMARK(BM_ReplaySketch)->Name("replay/ours")->ArgName("images")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
