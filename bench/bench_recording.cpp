// Recording cost of the tablet: a line segment recorded with unchanged props
// (an 8-byte head and a 32-byte payload) and a line segment drawn onto a
// surface that does nothing, beside the baseline of appending the same 40
// bytes to a std::vector<unsigned char>. Target: recording within 3x of the
// baseline.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include <vc/core/lineseg.h>
#include <vc/uitablet.h>

#include "null_scope.h"

namespace {

constexpr int kBatch = 4096;

void BM_VectorAppend40(benchmark::State& state) {
  std::vector<unsigned char> out;
  unsigned char record[40];
  std::memset(record, 7, sizeof record);
  for (auto _ : state) {
    out.clear();
    for (int i = 0; i < kBatch; ++i) out.insert(out.end(), record, record + sizeof record);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_VectorAppend40)->Name("record_lineseg/vector_append");

void BM_RecordLineSeg(benchmark::State& state) {
  vcUITablet tablet;  // records, draws nothing
  const vcLineSeg seg(vcVector<2>(1, 2), vcVector<2>(30, 40));
  const vcGraphicProps props(vcColor::redColor(), 1);
  for (auto _ : state) {
    tablet.sketch().erase();
    for (int i = 0; i < kBatch; ++i) tablet.draw(seg, props, vcUITablet::eOverlay);
    benchmark::DoNotOptimize(tablet.sketch().data());
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_RecordLineSeg)->Name("record_lineseg/ours");

void BM_DrawLineSegOnNullScope(benchmark::State& state) {
  vcNullScope scope(vcPair<long>(1024, 1024));
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  const vcLineSeg seg(vcVector<2>(1, 2), vcVector<2>(30, 40));
  const vcGraphicProps props(vcColor::redColor(), 1);
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) tablet.draw(seg, props, vcUITablet::eImage);
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_DrawLineSegOnNullScope)->Name("draw_lineseg/ours");

}  // namespace
