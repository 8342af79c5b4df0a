// Picking and damage. 100,000 mixed graphics: building the list's pick index
// (target <= 50 ms) and its nearest-graphic query (target median <= 5 us),
// beside a scan of every graphic and Boost.Geometry's R-tree answering the
// same queries with the same exact distances (the R-tree yields boxes by
// distance; each box's graphic is measured until no box can hold a nearer
// one). Damage: moving one graphic of a 1,000-graphic overlay on a
// 4096 x 4096 surface, the pixels and graphics repainted with a damage list
// beside one bounding box.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>

#include <vc/core/core.h>
#include <vc/glist.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>

#include "null_scope.h"

namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using BPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using BBox = bg::model::box<BPoint>;
using BValue = std::pair<BBox, long>;
using Handle = vcPtrHandle<vcGraphic>;

// n mixed graphics over a side x side field.
vcGraphicList mixed(int n, double side, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0.0, side), r(1.0, side / 200.0);
  const vcColor c = vcColor::redColor();
  vcGraphicList list;
  for (int i = 0; i < n; ++i) {
    const vcVector<2> p(u(rng), u(rng)), d(r(rng), r(rng));
    switch (i % 5) {
      case 0: list.append(Handle(new vcGraphicSimple<vcLineSeg>(vcLineSeg(p, p + d), c)), false); break;
      case 1: list.append(Handle(new vcGraphicWithFill<vcRect, vcGenRect>(vcRect(p, d), c, false)), false); break;
      case 2: list.append(Handle(new vcGraphicWithFill<vcCircle, vcEllipse2>(vcCircle(p, d.x()), c, false)), false); break;
      case 3: {
        const std::vector<vcVector<2>> pts{p, p + vcVector<2>(d.x(), 0), p + d, p + vcVector<2>(0, 2 * d.y())};
        list.append(Handle(new vcGraphicSimple<vcPolyline>(vcPolyline(pts, false), c)), false);
        break;
      }
      default: list.append(Handle(new vcGraphicPointIcon(vcPoint(p.x(), p.y()), c)), false);
    }
  }
  return list;
}

constexpr int kItems = 100000;
constexpr double kSide = 10000.0;

struct Scene {
  vcGraphicList list = mixed(kItems, kSide, 3);
  std::vector<vcVector<2>> queries;
  Scene() {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(0.0, kSide);
    for (int i = 0; i < 4096; ++i) queries.emplace_back(u(rng), u(rng));
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

std::vector<BValue> boxes(const vcGraphicList& list) {
  std::vector<BValue> out;
  for (std::size_t i = 0; i < list.items().size(); ++i) {
    const vcRect r = list.items()[i]->encloseRect();
    out.emplace_back(BBox(BPoint(r.x(), r.y()), BPoint(r.x() + r.width(), r.y() + r.height())), static_cast<long>(i));
  }
  return out;
}

using BTree = bgi::rtree<BValue, bgi::rstar<16>>;

// The exact nearest graphic through the Boost R-tree: the k nearest boxes,
// each graphic measured in box order until a box lies beyond the best found;
// k grows when every one of them could still hold a nearer graphic.
std::pair<long, double> boostNearest(const BTree& tree, const vcGraphicList& list, const vcVector<2>& p) {
  const BPoint q(p.x(), p.y());
  thread_local std::vector<std::pair<double, long>> found;
  for (unsigned k = 8;; k *= 4) {
    found.clear();
    tree.query(bgi::nearest(q, k), boost::make_function_output_iterator([&](const BValue& v) {
                 found.emplace_back(bg::distance(q, v.first), v.second);
               }));
    std::sort(found.begin(), found.end());
    long best = -1;
    double bestD = std::numeric_limits<double>::infinity();
    bool settled = false;
    for (const auto& [boxD, i] : found) {
      if (boxD > bestD) {
        settled = true;
        break;
      }
      const double d = list.items()[static_cast<std::size_t>(i)]->distToPoint(p);
      if (d < bestD || (d == bestD && i < best)) bestD = d, best = i;
    }
    if (settled || found.size() < k) return {best, bestD};
  }
}

std::pair<long, double> scanNearest(const vcGraphicList& list, const vcVector<2>& p) {
  long best = -1;
  double bestD = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < list.items().size(); ++i) {
    const double d = list.items()[i]->distToPoint(p);
    if (d < bestD) bestD = d, best = static_cast<long>(i);
  }
  return {best, bestD};
}

void BM_IndexBuild(benchmark::State& state) {
  const vcGraphicList& list = scene().list;
  for (auto _ : state) list.buildPickIndex();
  state.counters["graphics"] = kItems;
}
BENCHMARK(BM_IndexBuild)->Name("index_build/ours")->Unit(benchmark::kMillisecond);

void BM_BoostBuild(benchmark::State& state) {
  const std::vector<BValue> values = boxes(scene().list);
  for (auto _ : state) {
    BTree tree(values.begin(), values.end());
    benchmark::DoNotOptimize(tree.size());
  }
}
BENCHMARK(BM_BoostBuild)->Name("index_build/boost")->Unit(benchmark::kMillisecond);

// Per-query times, reported as their median in microseconds.
template <class Query>
void timedQueries(benchmark::State& state, Query query) {
  const std::vector<vcVector<2>>& qs = scene().queries;
  std::vector<double> us;
  std::size_t i = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(query(qs[i % qs.size()]));
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    ++i;
  }
  std::nth_element(us.begin(), us.begin() + static_cast<std::ptrdiff_t>(us.size() / 2), us.end());
  state.counters["median_us"] = us[us.size() / 2];
}

void BM_IndexNearest(benchmark::State& state) {
  const vcGraphicList& list = scene().list;
  list.buildPickIndex();
  timedQueries(state, [&](const vcVector<2>& p) { return list.nearest(p)->distance; });
}
BENCHMARK(BM_IndexNearest)->Name("nearest/ours");

void BM_BoostNearest(benchmark::State& state) {
  const vcGraphicList& list = scene().list;
  const std::vector<BValue> values = boxes(list);
  const BTree tree(values.begin(), values.end());
  // The same answers as the index, or the comparison means nothing.
  for (std::size_t i = 0; i < 512; ++i) {
    const vcVector<2>& p = scene().queries[i];
    const std::optional<vcGraphicPick> ours = list.nearest(p);
    const std::pair<long, double> theirs = boostNearest(tree, list, p);
    if (!ours || ours->index != theirs.first || ours->distance != theirs.second) {
      state.SkipWithError("the R-tree and the index disagree");
      return;
    }
  }
  timedQueries(state, [&](const vcVector<2>& p) { return boostNearest(tree, list, p).second; });
}
BENCHMARK(BM_BoostNearest)->Name("nearest/boost");

void BM_ScanNearest(benchmark::State& state) {
  const vcGraphicList& list = scene().list;
  timedQueries(state, [&](const vcVector<2>& p) { return scanNearest(list, p).second; });
}
BENCHMARK(BM_ScanNearest)->Name("nearest/scan")->Unit(benchmark::kMicrosecond);

// ---- damage --------------------------------------------------------------------------

// The pixels of a graphic's box on the surface (1:1 map), grown by a pixel
// for the pen.
vcUIRect pixelsOf(const vcGraphic& g) {
  const vcRect r = g.encloseRect();
  const long x0 = static_cast<long>(std::floor(r.x())) - 1, y0 = static_cast<long>(std::floor(r.y())) - 1;
  const long x1 = static_cast<long>(std::ceil(r.x() + r.width())) + 2, y1 = static_cast<long>(std::ceil(r.y() + r.height())) + 2;
  return vcUIRect(x0, y0, x1 - x0, y1 - y0);
}

// Moving one graphic of the overlay: its old and new places are damaged;
// repainting redraws every graphic whose box meets the damage.
void BM_DamageMove(benchmark::State& state, bool useList) {
  const vcGraphicList overlay = mixed(1000, 4096.0, 5);
  vcNullScope surface(vcPair<long>(4096, 4096));
  if (useList) surface.changeListLimit(16);
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> u(0.0, 4000.0);
  double pixels = 0, redrawn = 0, moves = 0;
  for (auto _ : state) {
    const Handle& g = overlay.items()[rng() % overlay.items().size()];
    const vcUIRect before = pixelsOf(*g);
    const vcRect box = g->encloseRect();
    const Handle moved = g->map(vcXform<2>::translation(vcVector<2>(u(rng), u(rng)) - box.origin()));
    surface.noChange();
    surface.change(before);
    surface.change(pixelsOf(*moved));
    std::vector<vcUIRect> damage = surface.changeList();
    if (damage.empty()) damage.push_back(surface.changeRect());
    for (const vcUIRect& d : damage) {
      pixels += static_cast<double>(d.width()) * static_cast<double>(d.height());
      redrawn += static_cast<double>(
          overlay.intersecting(vcRect(double(d.left()), double(d.top()), double(d.width() - 1), double(d.height() - 1)))
              .size());
    }
    ++moves;
  }
  state.counters["pixels_per_move"] = pixels / moves;
  state.counters["graphics_redrawn"] = redrawn / moves;
}
// "ours" keeps a change list; "one_box" repaints the box around all the damage.
BENCHMARK_CAPTURE(BM_DamageMove, list, true)->Name("damage_move/ours");
BENCHMARK_CAPTURE(BM_DamageMove, box, false)->Name("damage_move/one_box");

}  // namespace
