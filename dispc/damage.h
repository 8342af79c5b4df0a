// Damage lists: a bounded set of disjoint rectangles standing for changed
// pixels, for scopes that keep their changes rectangle by rectangle.
#pragma once

#include <cstddef>
#include <vector>

#include <vc/uirect.h>

// Adds r (not null) to list (disjoint rectangles, at most limit of them,
// limit >= 1). A rectangle that meets r, or whose merge with it wastes
// little area, is merged with it; when the list then holds more than limit
// rectangles, the two whose merge wastes least are merged. Every pixel of
// the list and r is in the new list, and the new list's bounding box is
// the old one's merged with r.
void vf_AddDamage(std::vector<vcUIRect>& list, const vcUIRect& r, std::size_t limit);
