// The picking index of a graphic list (see glist_index.h).
#include "glist_index.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <typeinfo>

#include <vc/core/exception.h>
#include <vc/core/points.h>
#include <vc/graphic_special.h>

namespace {

using Box = vc_GraphicIndex::Box;

// Children per tree node.
constexpr std::size_t kFanout = 8;
// Distances at or above this are "no distance" (a text measures 1e308).
constexpr double kNoDistance = 1e308;

bool finite(const Box& b) {
  return std::isfinite(b.x0) && std::isfinite(b.y0) && std::isfinite(b.x1) && std::isfinite(b.y1);
}

// A box that holds every point whose distance the graphic measures, or
// nothing when it has none. Texts measure no distance and hold nothing.
// A cross measures from its center but reports no rectangle. A group is
// bounded only when all its items are.
// The classes are told apart by typeid: a failing dynamic_cast through the
// virtual bases costs more than the rest of the box.
std::optional<Box> boxOf(const vcGraphic& g) {
  const std::type_info& type = typeid(g);
  if (type == typeid(vcGraphicText)) return Box{0, 0, -1, -1};
  if (type == typeid(vcGraphicCross)) {
    const vcVector<2>& c = static_cast<const vcGraphicCross&>(g).item().center();
    return Box{c.x(), c.y(), c.x(), c.y()};
  }
  if (type == typeid(vcGraphicGroup)) {
    const auto* group = static_cast<const vcGraphicGroup*>(&g);
    Box all{0, 0, -1, -1};
    for (long i = 0; i < group->numItems(); ++i) {
      const vcPtrHandle_const<vcGraphic> item = group->item(i);
      if (!item || item->isNull()) continue;
      const std::optional<Box> b = boxOf(*item);
      if (!b) return std::nullopt;
      if (b->x1 < b->x0) continue;
      if (all.x1 < all.x0) all = *b;
      else all = {std::min(all.x0, b->x0), std::min(all.y0, b->y0), std::max(all.x1, b->x1), std::max(all.y1, b->y1)};
    }
    return all;
  }
  const vcRect r = g.encloseRect();
  if (r.isNull()) return std::nullopt;
  const Box b{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
  if (!finite(b)) return std::nullopt;
  return b;
}

// Distance from (px, py) to the box, 0 inside.
double boxDistance(const Box& b, double px, double py) {
  const double dx = std::max({b.x0 - px, 0.0, px - b.x1});
  const double dy = std::max({b.y0 - py, 0.0, py - b.y1});
  return std::sqrt(dx * dx + dy * dy);
}

// Position along a Hilbert curve over a 65536 x 65536 grid.
std::uint32_t hilbert(std::uint32_t x, std::uint32_t y) {
  std::uint32_t d = 0;
  for (std::uint32_t s = 1u << 15; s > 0; s >>= 1) {
    const std::uint32_t rx = (x & s) ? 1 : 0, ry = (y & s) ? 1 : 0;
    d += s * s * ((3 * rx) ^ ry);
    if (ry == 0) {
      if (rx == 1) {
        x = s - 1 - (x & (s - 1));
        y = s - 1 - (y & (s - 1));
      }
      std::swap(x, y);
    }
  }
  return d;
}

}  // namespace

void vc_GraphicIndex::Slot::graphicChanging(const vcGraphic&) noexcept {
  if (dirty) return;
  dirty = true;
  owner->dirty_.push_back(self);  // capacity kept at the slot count: never throws
}

bool vc_GraphicIndex::CandAfter::operator()(const Cand& a, const Cand& b) const {
  if (a.key != b.key) return a.key > b.key;
  // At equal keys bounds come first, so every equally near graphic is
  // measured before one is handed out; then the lower list position.
  if ((a.level == -2) != (b.level == -2)) return a.level == -2;
  if (a.level != -2) return false;
  return ix->slots_[static_cast<std::size_t>(a.idx)].pos > ix->slots_[static_cast<std::size_t>(b.idx)].pos;
}

vc_GraphicIndex::~vc_GraphicIndex() {
  for (Slot& s : slots_)
    if (s.g) s.g->unwatch(s);
}

// ---- slots ------------------------------------------------------------------------

int vc_GraphicIndex::newSlot(long pos, const vcPtrHandle<vcGraphic>& g) {
  int s;
  if (!freeSlots_.empty()) {
    s = freeSlots_.back();
    freeSlots_.pop_back();
  } else {
    s = static_cast<int>(slots_.size());
    slots_.emplace_back();
    dirty_.reserve(slots_.size());
  }
  Slot& sl = slots_[static_cast<std::size_t>(s)];
  sl.owner = this;
  sl.self = s;
  sl.pos = pos;
  sl.g = g;
  if (g) g->watch(sl);
  takeBox(sl);
  loosen(sl);
  return s;
}

void vc_GraphicIndex::dropSlot(int s) {
  Slot& sl = slots_[static_cast<std::size_t>(s)];
  if (sl.g) sl.g->unwatch(sl);
  if (sl.leaf >= 0) {
    leafSlot_[static_cast<std::size_t>(sl.leaf)] = -1;
    sl.leaf = -1;
    ++holes_;
  }
  unloose(sl);
  if (sl.dirty) dirty_.erase(std::find(dirty_.begin(), dirty_.end(), s));
  sl.dirty = false;
  sl.g = nullptr;
  sl.pickable = false;
  sl.pos = -1;
  freeSlots_.push_back(s);
}

void vc_GraphicIndex::takeBox(Slot& s) {
  s.dirty = false;
  s.bounded = false;
  s.pickable = s.g && !s.g->isNull();
  if (!s.pickable) return;
  if (const std::optional<Box> b = boxOf(*s.g)) {
    // An empty box: nothing the graphic measures is nearer than kNoDistance.
    if (b->x1 < b->x0) {
      s.pickable = false;
      return;
    }
    s.box = *b;
    s.bounded = true;
  }
}

void vc_GraphicIndex::loosen(Slot& s) {
  if (!s.pickable || s.looseAt >= 0 || s.leaf >= 0) return;
  s.looseAt = static_cast<int>(loose_.size());
  loose_.push_back(s.self);
  if (s.bounded) ++looseBounded_;
}

void vc_GraphicIndex::unloose(Slot& s) {
  if (s.looseAt < 0) return;
  const int last = loose_.back();
  loose_[static_cast<std::size_t>(s.looseAt)] = last;
  slots_[static_cast<std::size_t>(last)].looseAt = s.looseAt;
  loose_.pop_back();
  s.looseAt = -1;
  if (s.bounded) --looseBounded_;
}

void vc_GraphicIndex::renumber(long from) {
  for (std::size_t i = static_cast<std::size_t>(from); i < order_.size(); ++i)
    slots_[static_cast<std::size_t>(order_[i])].pos = static_cast<long>(i);
}

// ---- keeping up with the list ------------------------------------------------------

void vc_GraphicIndex::inserted(long at, long count) {
  if (!built_ || unverified_) return;
  if (order_.size() + static_cast<std::size_t>(count) != items_.size()) {
    unverified_ = true;
    return;
  }
  std::vector<int> added;
  added.reserve(static_cast<std::size_t>(count));
  for (long i = at; i < at + count; ++i) added.push_back(newSlot(i, items_[static_cast<std::size_t>(i)]));
  order_.insert(order_.begin() + at, added.begin(), added.end());
  renumber(at);
}

void vc_GraphicIndex::removed(long at, long count) {
  if (!built_ || unverified_) return;
  for (long i = at; i < at + count; ++i) dropSlot(order_[static_cast<std::size_t>(i)]);
  order_.erase(order_.begin() + at, order_.begin() + at + count);
  renumber(at);
}

void vc_GraphicIndex::build() {
  rebuildAll();
}

void vc_GraphicIndex::rebuildAll() {
  for (Slot& s : slots_)
    if (s.g) s.g->unwatch(s);
  slots_.clear();
  freeSlots_.clear();
  dirty_.clear();
  loose_.clear();
  looseBounded_ = 0;
  order_.clear();
  levels_.clear();
  leafSlot_.clear();
  holes_ = 0;
  built_ = false;
  order_.reserve(items_.size());
  for (std::size_t i = 0; i < items_.size(); ++i) order_.push_back(newSlot(static_cast<long>(i), items_[i]));
  buildTree();
  built_ = true;
  unverified_ = false;
}

void vc_GraphicIndex::buildTree() {
  // Every bounded graphic, in the tree or loose, goes into the new tree.
  std::vector<int> members;
  members.reserve(order_.size());
  for (int s : order_) {
    Slot& sl = slots_[static_cast<std::size_t>(s)];
    if (!sl.pickable || !sl.bounded) continue;
    unloose(sl);
    members.push_back(s);
  }
  Box all{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (int s : members) {
    const Box& b = slots_[static_cast<std::size_t>(s)].box;
    all = {std::min(all.x0, b.x0 + b.x1), std::min(all.y0, b.y0 + b.y1), std::max(all.x1, b.x0 + b.x1),
           std::max(all.y1, b.y0 + b.y1)};
  }
  const double sx = all.x1 > all.x0 ? 65535.0 / (all.x1 - all.x0) : 0.0;
  const double sy = all.y1 > all.y0 ? 65535.0 / (all.y1 - all.y0) : 0.0;
  std::vector<std::pair<std::uint32_t, int>> keyed;
  keyed.reserve(members.size());
  for (int s : members) {
    const Box& b = slots_[static_cast<std::size_t>(s)].box;
    const auto gx = static_cast<std::uint32_t>((b.x0 + b.x1 - all.x0) * sx);
    const auto gy = static_cast<std::uint32_t>((b.y0 + b.y1 - all.y0) * sy);
    keyed.emplace_back(hilbert(gx, gy), s);
  }
  std::sort(keyed.begin(), keyed.end());

  levels_.assign(1, {});
  leafSlot_.clear();
  levels_[0].reserve(keyed.size());
  leafSlot_.reserve(keyed.size());
  for (const auto& [key, s] : keyed) {
    Slot& sl = slots_[static_cast<std::size_t>(s)];
    sl.leaf = static_cast<int>(leafSlot_.size());
    leafSlot_.push_back(s);
    levels_[0].push_back(sl.box);
  }
  holes_ = 0;
  if (keyed.empty()) {
    levels_.clear();
    return;
  }
  while (levels_.back().size() > 1) {
    const std::vector<Box>& below = levels_.back();
    std::vector<Box> up;
    up.reserve((below.size() + kFanout - 1) / kFanout);
    for (std::size_t i = 0; i < below.size(); i += kFanout) {
      Box b = below[i];
      for (std::size_t j = i + 1; j < std::min(i + kFanout, below.size()); ++j) {
        const Box& c = below[j];
        b = {std::min(b.x0, c.x0), std::min(b.y0, c.y0), std::max(b.x1, c.x1), std::max(b.y1, c.y1)};
      }
      up.push_back(b);
    }
    levels_.push_back(std::move(up));
  }
}

void vc_GraphicIndex::prepare() {
  if (built_ && unverified_) {
    bool same = order_.size() == items_.size();
    for (std::size_t i = 0; same && i < items_.size(); ++i)
      same = slots_[static_cast<std::size_t>(order_[i])].g.ptr() == items_[i].ptr();
    if (same) unverified_ = false;
  }
  if (!built_ || unverified_) {
    rebuildAll();
    return;
  }
  for (int s : dirty_) {
    Slot& sl = slots_[static_cast<std::size_t>(s)];
    if (sl.leaf >= 0) {
      leafSlot_[static_cast<std::size_t>(sl.leaf)] = -1;
      sl.leaf = -1;
      ++holes_;
    }
    unloose(sl);
    takeBox(sl);
    loosen(sl);
  }
  dirty_.clear();
  const long leaves = static_cast<long>(leafSlot_.size());
  if (looseBounded_ > 64 + leaves / 8 || holes_ > 64 + leaves / 4) buildTree();
}

// ---- queries -------------------------------------------------------------------------

double vc_GraphicIndex::exactDistance(const Slot& s, const vcVector<2>& p) const {
  try {
    return s.g->distToPoint(p);
  } catch (const vcShapesError::DegenerateShape&) {
    // A shape that collapsed measures no distance.
    return std::numeric_limits<double>::infinity();
  }
}

template <class Visit>
void vc_GraphicIndex::search(const vcVector<2>& p, double limit, Visit visit) {
  const double px = p.x(), py = p.y();
  // Keys are lowered a little below the box distance, so that rounding in a
  // graphic's own measure can never put it ahead of its box.
  const double slack = 1e-10 * (1.0 + std::abs(px) + std::abs(py));
  const auto lower = [&](const Box& b) {
    const double d = boxDistance(b, px, py);
    return d - slack - 1e-12 * d;
  };
  const CandAfter after{this};
  heap_.clear();
  const auto push = [&](double key, int level, int idx) {
    if (!(key <= limit)) return;
    heap_.push_back({key, level, idx});
    std::push_heap(heap_.begin(), heap_.end(), after);
  };
  const auto measure = [&](int s) {
    const double d = exactDistance(slots_[static_cast<std::size_t>(s)], p);
    if (d < kNoDistance) push(d, -2, s);
  };
  if (!levels_.empty()) push(lower(levels_.back()[0]), static_cast<int>(levels_.size()) - 1, 0);
  for (int s : loose_) {
    const Slot& sl = slots_[static_cast<std::size_t>(s)];
    if (sl.bounded) push(lower(sl.box), -1, s);
    else measure(s);
  }
  while (!heap_.empty()) {
    std::pop_heap(heap_.begin(), heap_.end(), after);
    const Cand c = heap_.back();
    heap_.pop_back();
    if (c.level == -2) {
      if (!visit(c.idx, c.key)) return;
    } else if (c.level == -1) {
      measure(c.idx);
    } else if (c.level == 0) {
      const int s = leafSlot_[static_cast<std::size_t>(c.idx)];
      if (s >= 0) measure(s);
    } else {
      const std::vector<Box>& below = levels_[static_cast<std::size_t>(c.level - 1)];
      const std::size_t first = static_cast<std::size_t>(c.idx) * kFanout;
      const std::size_t last = std::min(first + kFanout, below.size());
      for (std::size_t i = first; i < last; ++i) {
        if (c.level == 1 && leafSlot_[i] < 0) continue;
        push(lower(below[i]), c.level - 1, static_cast<int>(i));
      }
    }
  }
}

namespace {

void checkQuery(const vcVector<2>& p, double limit, const char* what) {
  if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::isnan(limit))
    throw vcBadArgument(std::string("vcGraphicList::") + what + ": the point must be finite and the distance a number");
}

}  // namespace

std::optional<vcGraphicPick> vc_GraphicIndex::nearest(const vcVector<2>& p, double maxDistance) {
  checkQuery(p, maxDistance, "nearest");
  prepare();
  std::optional<vcGraphicPick> best;
  search(p, maxDistance, [&](int s, double d) {
    const Slot& sl = slots_[static_cast<std::size_t>(s)];
    best = vcGraphicPick{sl.g, sl.pos, d};
    return false;
  });
  return best;
}

std::vector<vcGraphicPick> vc_GraphicIndex::within(const vcVector<2>& p, double radius) {
  checkQuery(p, radius, "within");
  prepare();
  std::vector<vcGraphicPick> out;
  search(p, radius, [&](int s, double d) {
    const Slot& sl = slots_[static_cast<std::size_t>(s)];
    out.push_back({sl.g, sl.pos, d});
    return true;
  });
  return out;
}

std::vector<vcGraphicPick> vc_GraphicIndex::intersecting(const vcRect& r) {
  const Box q{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
  if (r.isNull() || !finite(q)) throw vcBadArgument("vcGraphicList::intersecting: the rectangle must be finite and not null");
  prepare();
  const auto meets = [&](const Box& b) { return b.x0 <= q.x1 && q.x0 <= b.x1 && b.y0 <= q.y1 && q.y0 <= b.y1; };
  std::vector<int> hits;
  for (int s : loose_) {
    const Slot& sl = slots_[static_cast<std::size_t>(s)];
    if (sl.bounded && meets(sl.box)) hits.push_back(s);
  }
  if (!levels_.empty()) {
    std::vector<std::pair<int, int>> stack{{static_cast<int>(levels_.size()) - 1, 0}};
    while (!stack.empty()) {
      const auto [level, idx] = stack.back();
      stack.pop_back();
      if (!meets(levels_[static_cast<std::size_t>(level)][static_cast<std::size_t>(idx)])) continue;
      if (level == 0) {
        if (leafSlot_[static_cast<std::size_t>(idx)] >= 0) hits.push_back(leafSlot_[static_cast<std::size_t>(idx)]);
        continue;
      }
      const std::size_t first = static_cast<std::size_t>(idx) * kFanout;
      const std::size_t last = std::min(first + kFanout, levels_[static_cast<std::size_t>(level - 1)].size());
      for (std::size_t i = first; i < last; ++i) stack.emplace_back(level - 1, static_cast<int>(i));
    }
  }
  const vcVector<2> center((q.x0 + q.x1) / 2, (q.y0 + q.y1) / 2);
  std::vector<vcGraphicPick> out;
  out.reserve(hits.size());
  for (int s : hits) {
    const Slot& sl = slots_[static_cast<std::size_t>(s)];
    out.push_back({sl.g, sl.pos, exactDistance(sl, center)});
  }
  std::sort(out.begin(), out.end(), [](const vcGraphicPick& a, const vcGraphicPick& b) {
    return a.distance != b.distance ? a.distance < b.distance : a.index < b.index;
  });
  return out;
}
