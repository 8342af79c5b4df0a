// Picking graphics of a list: in client coordinates through the list's
// index, and on a tablet's view in scope pixels.
#include <vc/glist.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <vc/core/exception.h>
#include <vc/uitablet.h>

#include "glist_index.h"

vc_GraphicIndex& vcGraphicList::pickIndex() const {
  if (!pickIndex_) pickIndex_ = std::make_unique<vc_GraphicIndex>(items_);
  return *pickIndex_;
}

void vcGraphicList::buildPickIndex() const { pickIndex().build(); }

std::optional<vcGraphicPick> vcGraphicList::nearest(const vcVector<2>& p, double maxDistance) const {
  return pickIndex().nearest(p, maxDistance);
}

std::vector<vcGraphicPick> vcGraphicList::within(const vcVector<2>& p, double radius) const {
  return pickIndex().within(p, radius);
}

std::vector<vcGraphicPick> vcGraphicList::intersecting(const vcRect& r) const { return pickIndex().intersecting(r); }

namespace {

// How a tablet's map stretches distances: a similarity scales every one by
// the same factor; otherwise they stretch between the two singular values.
struct Stretch {
  vcXform<2> map;      // client to scope
  vcVector<2> client;  // the pick point in client coordinates
  double least = 0.0;  // smallest singular value
  bool similar = false;
};

Stretch stretchOf(const vcUITablet& t, const vcVector<2>& scopePoint, double radius) {
  if (!std::isfinite(scopePoint.x()) || !std::isfinite(scopePoint.y()) || std::isnan(radius))
    throw vcBadArgument("vcGraphicList pick: the point must be finite and the radius a number");
  Stretch s;
  s.map = t.scaledMap();
  const vcMatrix<2>& m = s.map.matrix();
  const double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
  const double det = a * d - b * c;
  const double sum = a * a + b * b + c * c + d * d;
  if (!(std::abs(det) > 1e-300) || !std::isfinite(sum))
    throw vcBadArgument("vcGraphicList pick: the tablet's map cannot be inverted");
  const double gap = std::sqrt(std::max(0.0, sum * sum - 4.0 * det * det));
  const double most = std::sqrt((sum + gap) / 2.0);
  s.least = std::abs(det) / most;
  s.similar = gap <= 1e-12 * sum;
  s.client = s.map.inverse().mapPoint(scopePoint);
  return s;
}

// Every graphic within radius scope pixels of the pick point, nearest first.
std::vector<vcGraphicPick> screenWithin(const vcGraphicList& list, const Stretch& s, const vcVector<2>& scopePoint,
                                        double radius) {
  // The client disk that holds the screen disk.
  std::vector<vcGraphicPick> picks = list.within(s.client, radius / s.least);
  if (s.similar) {
    for (vcGraphicPick& p : picks) p.distance *= s.least;
  } else {
    for (vcGraphicPick& p : picks) {
      try {
        const vcPtrHandle<vcGraphic> shown = p.graphic->map(s.map);
        p.distance = shown ? shown->distToPoint(scopePoint) : std::numeric_limits<double>::infinity();
      } catch (const vcShapesError::DegenerateShape&) {
        // Collapsed on the screen: nothing there to pick.
        p.distance = std::numeric_limits<double>::infinity();
      }
    }
    std::stable_sort(picks.begin(), picks.end(), [](const vcGraphicPick& x, const vcGraphicPick& y) {
      return x.distance != y.distance ? x.distance < y.distance : x.index < y.index;
    });
  }
  picks.erase(std::find_if(picks.begin(), picks.end(), [&](const vcGraphicPick& p) { return !(p.distance <= radius); }),
              picks.end());
  return picks;
}

}  // namespace

std::vector<vcGraphicPick> vcGraphicList::within(const vcUITablet& t, const vcVector<2>& scopePoint,
                                                 double radiusPixels) const {
  return screenWithin(*this, stretchOf(t, scopePoint, radiusPixels), scopePoint, radiusPixels);
}

std::optional<vcGraphicPick> vcGraphicList::nearest(const vcUITablet& t, const vcVector<2>& scopePoint,
                                                    double radiusPixels) const {
  const Stretch s = stretchOf(t, scopePoint, radiusPixels);
  if (s.similar) {
    std::optional<vcGraphicPick> p = nearest(s.client, radiusPixels / s.least);
    if (p) p->distance *= s.least;
    if (p && !(p->distance <= radiusPixels)) p.reset();
    return p;
  }
  std::vector<vcGraphicPick> picks = screenWithin(*this, s, scopePoint, radiusPixels);
  if (picks.empty()) return std::nullopt;
  return picks.front();
}
