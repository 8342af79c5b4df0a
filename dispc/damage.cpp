// Damage lists (see damage.h).
#include "damage.h"

#include <cstdint>
#include <limits>

namespace {

std::int64_t area(const vcUIRect& r) {
  return static_cast<std::int64_t>(r.width()) * static_cast<std::int64_t>(r.height());
}

// Pixels the bounding box of a and b covers beyond a and b themselves.
std::int64_t waste(const vcUIRect& a, const vcUIRect& b) {
  return area(a | b) - area(a) - area(b) + area(a & b);
}

// Merging pays when the box wastes at most an eighth of what it joins: two
// touching pieces of one stroke, or a small change next to a large one.
bool cheap(const vcUIRect& a, const vcUIRect& b) {
  return 8 * waste(a, b) <= area(a) + area(b);
}

bool meet(const vcUIRect& a, const vcUIRect& b) { return !(a & b).isNull(); }

// Adds r, merging with every rectangle it meets or merges cheaply with;
// the merged rectangle is checked against the rest again.
void absorb(std::vector<vcUIRect>& list, vcUIRect r) {
  for (std::size_t i = 0; i < list.size();) {
    if (list[i].within(r)) return;
    if (meet(list[i], r) || cheap(list[i], r)) {
      r |= list[i];
      list[i] = list.back();
      list.pop_back();
      i = 0;
    } else {
      ++i;
    }
  }
  list.push_back(r);
}

}  // namespace

void vf_AddDamage(std::vector<vcUIRect>& list, const vcUIRect& r, std::size_t limit) {
  absorb(list, r);
  while (list.size() > limit) {
    std::size_t bi = 0, bj = 1;
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < list.size(); ++i)
      for (std::size_t j = i + 1; j < list.size(); ++j)
        if (const std::int64_t w = waste(list[i], list[j]); w < best) best = w, bi = i, bj = j;
    const vcUIRect merged = list[bi] | list[bj];
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(bj));
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(bi));
    absorb(list, merged);
  }
}
