// Picking in graphic lists: the index must answer exactly as a scan of every
// graphic would, while the list is edited and its graphics change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include <vc/core/circle.h>
#include <vc/core/lineseg.h>
#include <vc/core/points.h>
#include <vc/core/poly.h>
#include <vc/glist.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>
#include <vc/uitablet.h>

namespace {

using Handle = vcPtrHandle<vcGraphic>;
constexpr double kInf = std::numeric_limits<double>::infinity();

// A random graphic of one of the kinds a viewer shows, some of them empty
// (a text measures no distance, an empty group is null).
Handle randomGraphic(std::mt19937& rng) {
  std::uniform_real_distribution<double> at(0.0, 1000.0), size(0.5, 40.0);
  const vcVector<2> c(at(rng), at(rng));
  const vcVector<2> d(size(rng), size(rng));
  const vcColor red = vcColor::redColor();
  switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
    case 0:
    case 1: return Handle(new vcGraphicSimple<vcLineSeg>(vcLineSeg(c, c + d), red));
    case 2: return Handle(new vcGraphicWithFill<vcRect, vcGenRect>(vcRect(c, d), red, rng() % 2 == 0));
    case 3: return Handle(new vcGraphicWithFill<vcCircle, vcEllipse2>(vcCircle(c, d.x()), red, rng() % 2 == 0));
    case 4: {
      const std::vector<vcVector<2>> pts{c, c + vcVector<2>(d.x(), 0), c + vcVector<2>(0, d.y())};
      return Handle(new vcGraphicSimple<vcPolyline>(vcPolyline(pts, rng() % 2 == 0), red));
    }
    case 5: return Handle(new vcGraphicPointIcon(vcPoint(c.x(), c.y()), red));
    case 6: return Handle(new vcGraphicCross(vcCross(c, vcRadian(0.3), 5), red));
    case 7: return Handle(new vcGraphicText("label", vcPoint(c.x(), c.y()), red, red, vcUIFormat(), vcVector<2>()));
    case 8: {
      auto* group = new vcGraphicGroup;
      if (rng() % 4 != 0)
        group->items({randomGraphic(rng), Handle(new vcGraphicSimple<vcLineSeg>(vcLineSeg(c, c - d), red))}, false);
      return Handle(group);
    }
    default: return rng() % 3 == 0 ? Handle() : Handle(new vcGraphicSimple<vcLineSeg>(vcLineSeg(c, c), red));
  }
}

// What a scan of every graphic finds, by (distance, position).
std::vector<vcGraphicPick> scan(const vcGraphicList& list, const vcVector<2>& p, double limit) {
  std::vector<vcGraphicPick> out;
  const auto& items = list.items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i] || items[i]->isNull()) continue;
    const double d = items[i]->distToPoint(p);
    if (d < 1e308 && d <= limit) out.push_back({items[i], static_cast<long>(i), d});
  }
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.distance < b.distance; });
  return out;
}

// The box the index stands each graphic in: a cross at its center, a text
// nowhere, a group around its items.
std::optional<vcRect> boxOf(const vcGraphic& g) {
  if (dynamic_cast<const vcGraphicText*>(&g) || g.isNull()) return std::nullopt;
  if (const auto* x = dynamic_cast<const vcGraphicCross*>(&g)) return vcRect(x->item().center(), vcVector<2>(0, 0));
  if (const auto* group = dynamic_cast<const vcGraphicGroup*>(&g)) {
    vcRect all;
    for (long i = 0; i < group->numItems(); ++i)
      if (const auto item = group->item(i))
        if (const std::optional<vcRect> b = boxOf(*item)) all.enclose(*b);
    return all.isNull() ? std::nullopt : std::optional<vcRect>(all);
  }
  const vcRect r = g.encloseRect();
  if (r.isNull()) return std::nullopt;
  return r;
}

std::vector<long> scanIntersecting(const vcGraphicList& list, const vcRect& q) {
  std::vector<std::pair<double, long>> hits;
  const auto& items = list.items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i]) continue;
    const std::optional<vcRect> b = boxOf(*items[i]);
    if (!b || b->x() > q.x() + q.width() || q.x() > b->x() + b->width() || b->y() > q.y() + q.height() ||
        q.y() > b->y() + b->height())
      continue;
    hits.emplace_back(items[i]->distToPoint(vcVector<2>(q.x() + q.width() / 2, q.y() + q.height() / 2)),
                      static_cast<long>(i));
  }
  std::sort(hits.begin(), hits.end());
  std::vector<long> out;
  for (const auto& h : hits) out.push_back(h.second);
  return out;
}

std::vector<long> positions(const std::vector<vcGraphicPick>& picks) {
  std::vector<long> out;
  for (const auto& p : picks) out.push_back(p.index);
  return out;
}

// Each of the three picks at a few random places equals the scan.
void expectPicksMatchScan(const vcGraphicList& list, std::mt19937& rng) {
  std::uniform_real_distribution<double> at(-50.0, 1050.0), radius(0.0, 60.0);
  for (int q = 0; q < 20; ++q) {
    const vcVector<2> p(at(rng), at(rng));
    const double limit = q % 4 == 0 ? kInf : radius(rng);
    const std::vector<vcGraphicPick> expected = scan(list, p, limit);
    const std::optional<vcGraphicPick> got = list.nearest(p, limit);
    ASSERT_EQ(got.has_value(), !expected.empty());
    if (got) {
      EXPECT_EQ(got->index, expected.front().index);
      EXPECT_EQ(got->distance, expected.front().distance);
      EXPECT_EQ(got->graphic, list.items()[static_cast<std::size_t>(got->index)]);
    }
    if (limit < kInf) {
      EXPECT_EQ(positions(list.within(p, limit)), positions(expected));
    }
    const vcRect q2(p, vcVector<2>(radius(rng), radius(rng)));
    EXPECT_EQ(positions(list.intersecting(q2)), scanIntersecting(list, q2));
  }
}

}  // namespace

TEST(GraphicListPick, AnswersAsAScanWhileTheListAndItsGraphicsChange) {
  std::mt19937 rng(31);
  vcGraphicList list;
  for (int i = 0; i < 400; ++i) list.append(randomGraphic(rng), false);
  const vcGraphicList& view = list;
  for (int round = 0; round < 42; ++round) {
    expectPicksMatchScan(view, rng);
    const long n = static_cast<long>(view.items().size());
    const auto pos = [&](long extra) { return std::uniform_int_distribution<long>(0, n - 1 + extra)(rng); };
    switch (round % 6) {
      case 0: list.insert(pos(1), randomGraphic(rng), false); break;
      case 1: {
        const long at = pos(0);
        list.remove(at, std::min(3L, n - at));
        break;
      }
      case 2:  // moved through the graphic's own setter
        for (const Handle& g : view.items())
          if (auto* seg = dynamic_cast<vcGraphicSimple<vcLineSeg>*>(g.ptr())) {
            seg->item() = vcLineSeg(vcVector<2>(500, 500), vcVector<2>(500 + round, 510));
            break;
          }
        break;
      case 3: list.items()[static_cast<std::size_t>(pos(0))] = randomGraphic(rng); break;
      case 4:  // a graphic shared twice, then a whole list appended
        list.append(view.items()[static_cast<std::size_t>(pos(0))], false);
        for (int i = 0; i < 100; ++i) list.append(randomGraphic(rng), false);
        break;
      default: {
        auto* group = new vcGraphicGroup;
        group->items({randomGraphic(rng)}, false);
        list.insert(0, Handle(group), false);
        group->items({Handle(new vcGraphicSimple<vcLineSeg>(vcLineSeg(vcVector<2>(1, 1), vcVector<2>(2, 2)),
                                                             vcColor::redColor()))},
                     false);
      }
    }
  }
}

TEST(GraphicListPick, RejectsBadQueriesAndEdits) {
  vcGraphicList list;
  EXPECT_FALSE(list.nearest(vcVector<2>(0, 0)).has_value());
  EXPECT_THROW(list.nearest(vcVector<2>(std::nan(""), 0)), vcBadArgument);
  EXPECT_THROW(list.within(vcVector<2>(0, 0), std::nan("")), vcBadArgument);
  EXPECT_THROW(list.intersecting(vcRect()), vcBadArgument);
  EXPECT_THROW(list.insert(1, Handle(), false), vcGraphic::BadParams);
  EXPECT_THROW(list.remove(0), vcGraphic::BadParams);
  EXPECT_TRUE(list.items().empty());
}

// Picks on a tablet measure on the screen: a scan of the graphics mapped by
// the tablet's map must agree, for similarities and for uneven scales.
TEST(GraphicListPick, TabletPicksMeasureInScreenPixelsUnderEveryMap) {
  std::mt19937 rng(7);
  vcGraphicList list;
  for (int i = 0; i < 300; ++i) list.append(randomGraphic(rng), false);
  const std::vector<vcXform<2>> maps = {
      vcXform<2>(vcMatrix<2>::rotation(vcRadian(0.9)) * vcMatrix<2>(0.5, 0, 0, 0.5), vcVector<2>(100, -40)),
      vcXform<2>(vcMatrix<2>(-2, 0, 0, 2), vcVector<2>(2000, 0)),  // mirrored
      vcXform<2>(vcMatrix<2>(3, 0, 0, 0.5), vcVector<2>(0, 0)),    // uneven
      vcXform<2>(vcMatrix<2>::rotation(vcRadian(-0.4)) * vcMatrix<2>(1, 0.3, 0, 1.5), vcVector<2>(5, 5))};
  for (const vcXform<2>& m : maps) {
    vcUITablet t;
    t.baseMap(m);
    std::uniform_real_distribution<double> at(0.0, 1000.0);
    for (int q = 0; q < 25; ++q) {
      const vcVector<2> screen = t.scaledMap().mapPoint(vcVector<2>(at(rng), at(rng)));
      const double radius = 25.0;
      std::vector<std::pair<double, long>> expected;
      for (std::size_t i = 0; i < list.items().size(); ++i) {
        const Handle& g = std::as_const(list).items()[i];
        if (!g || g->isNull()) continue;
        const double d = g->map(t.scaledMap())->distToPoint(screen);
        if (d <= radius && d < 1e308) expected.emplace_back(d, static_cast<long>(i));
      }
      std::sort(expected.begin(), expected.end());
      const std::vector<vcGraphicPick> got = std::as_const(list).within(t, screen, radius);
      const std::optional<vcGraphicPick> best = std::as_const(list).nearest(t, screen, radius);
      ASSERT_EQ(got.size(), expected.size());
      ASSERT_EQ(best.has_value(), !expected.empty());
      for (std::size_t k = 0; k < got.size(); ++k) {
        EXPECT_NEAR(got[k].distance, expected[k].first, 1e-9 * (1 + expected[k].first));
        // Positions may trade places only between graphics at the same distance.
        if (k + 1 < got.size() && expected[k + 1].first - expected[k].first > 1e-6) {
          EXPECT_EQ(got[k].index, expected[k].second);
        }
      }
      if (best) {
        EXPECT_NEAR(best->distance, expected.front().first, 1e-9 * (1 + expected.front().first));
      }
    }
  }
  vcUITablet flat;
  flat.baseMap(vcXform<2>(vcMatrix<2>(1, 2, 2, 4), vcVector<2>(0, 0)));
  EXPECT_THROW(std::as_const(list).nearest(flat, vcVector<2>(0, 0), 5), vcBadArgument);
}
