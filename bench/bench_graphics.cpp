// Retained graphics: drawing a list of 100,000 mixed shape graphics on a
// recording tablet, beside drawing the same shapes with the same props
// directly (target: within 1.2x of the direct draws); and storing and loading
// that list through an in-memory archive, in MB/s of archive bytes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include <vc/core/core.h>
#include <vc/glist.h>
#include <vc/graphic_shapes.h>
#include <vc/uitablet.h>

namespace {

constexpr int kItems = 100000;

// The shapes in drawing order, by kind, and their props.
struct Scene {
  enum Kind { eSeg, eRect, eCircle, eEllipse, ePolyline, eGenRect, eKinds };
  struct Item {
    Kind kind;
    std::size_t index;
    std::size_t props;
  };
  std::vector<Item> order;
  std::vector<vcLineSeg> segs;
  std::vector<vcRect> rects;
  std::vector<vcCircle> circles;
  std::vector<vcEllipse2> ellipses;
  std::vector<vcPolyline> polylines;
  std::vector<vcGenRect> genRects;
  std::vector<vcGraphicProps> props;
  vcGraphicList list;

  Scene() {
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> u(0.0, 500.0), r(1.0, 40.0), a(0.0, 3.0);
    props = {vcGraphicProps(vcColor::redColor(), 1), vcGraphicProps(vcColor::greenColor(), 2),
             vcGraphicProps(vcColor::blueColor(), 1, vcGraphicProps::ePenDash, true)};
    for (int i = 0; i < kItems; ++i) {
      const Kind k = static_cast<Kind>(rng() % eKinds);
      const std::size_t p = (rng() % 8 == 0) ? rng() % props.size() : 0;
      const vcVector<2> c(u(rng), u(rng));
      std::size_t index = 0;
      vcPtrHandle<vcGraphic> g;
      switch (k) {
        case eSeg:
          index = segs.size();
          segs.emplace_back(c, c + vcVector<2>(r(rng), r(rng)));
          g = vcGraphic::makeShapeGraphic(segs.back(), props[p]);
          break;
        case eRect:
          index = rects.size();
          rects.emplace_back(c, vcVector<2>(r(rng), r(rng)));
          g = vcGraphic::makeShapeGraphic(rects.back(), props[p]);
          break;
        case eCircle:
          index = circles.size();
          circles.emplace_back(c, r(rng));
          g = vcGraphic::makeShapeGraphic(circles.back(), props[p]);
          break;
        case eEllipse:
          index = ellipses.size();
          ellipses.emplace_back(vcVector<2>(r(rng), r(rng)), vcRadian(a(rng)), c);
          g = vcGraphic::makeShapeGraphic(ellipses.back(), props[p]);
          break;
        case ePolyline:
          index = polylines.size();
          polylines.emplace_back(std::vector<vcVector<2>>{c, c + vcVector<2>(r(rng), 0), c + vcVector<2>(0, r(rng)),
                                                          c + vcVector<2>(r(rng), r(rng))},
                                 rng() % 2 == 0);
          g = vcGraphic::makeShapeGraphic(polylines.back(), props[p]);
          break;
        default:
          index = genRects.size();
          genRects.emplace_back(c, vcVector<2>(r(rng), r(rng)), vcRadian(a(rng)), vcVector<2>(0.25, 0.25));
          g = vcGraphic::makeShapeGraphic(genRects.back(), props[p]);
          break;
      }
      order.push_back({k, index, p});
      list.append(g, false);
    }
  }

  void drawDirect(vcUITablet& t) const {
    for (const Item& it : order) {
      const vcGraphicProps& p = props[it.props];
      switch (it.kind) {
        case eSeg: t.draw(segs[it.index], p, vcUITablet::eOverlay); break;
        case eRect: t.draw(rects[it.index], p, vcUITablet::eOverlay); break;
        case eCircle: t.draw(circles[it.index], p, vcUITablet::eOverlay); break;
        case eEllipse: t.draw(ellipses[it.index], p, vcUITablet::eOverlay); break;
        case ePolyline: t.draw(polylines[it.index], p, vcUITablet::eOverlay); break;
        default: t.draw(genRects[it.index], p, vcUITablet::eOverlay); break;
      }
    }
  }
};

const Scene& scene() {
  static const Scene s;
  return s;
}

void BM_DrawShapesDirect(benchmark::State& state) {
  const Scene& s = scene();
  vcUITablet tablet;
  for (auto _ : state) {
    tablet.sketch().erase();
    s.drawDirect(tablet);
    benchmark::DoNotOptimize(tablet.sketch().data());
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_DrawShapesDirect)->Name("glist_draw/direct")->Unit(benchmark::kMillisecond);

void BM_DrawGraphicList(benchmark::State& state) {
  const Scene& s = scene();
  vcUITablet tablet;
  for (auto _ : state) {
    tablet.sketch().erase();
    s.list.draw(tablet, vcUITablet::eOverlay);
    benchmark::DoNotOptimize(tablet.sketch().data());
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_DrawGraphicList)->Name("glist_draw/ours")->Unit(benchmark::kMillisecond);

std::vector<unsigned char> storedList() {
  vcGraphicList list = scene().list;
  vcBufferArchive out(vcArchive::eStore);
  out || list;
  return out.bytes();
}

void BM_ArchiveStoreList(benchmark::State& state) {
  vcGraphicList& list = const_cast<Scene&>(scene()).list;
  std::size_t bytes = 0;
  for (auto _ : state) {
    vcBufferArchive out(vcArchive::eStore);
    out || list;
    bytes = out.bytes().size();
    benchmark::DoNotOptimize(out.bytes().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ArchiveStoreList)->Name("archive_store/ours")->Unit(benchmark::kMillisecond);

void BM_ArchiveLoadList(benchmark::State& state) {
  const std::vector<unsigned char> bytes = storedList();
  for (auto _ : state) {
    vcBufferArchive in(bytes);
    vcGraphicList list;
    in || list;
    benchmark::DoNotOptimize(list.items().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ArchiveLoadList)->Name("archive_load/ours")->Unit(benchmark::kMillisecond);

}  // namespace
