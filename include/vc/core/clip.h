// Clipping of polygons and polygonal paths to an axis-aligned rectangle.
//
// Points and the rectangle share one frame, whichever the caller uses (client
// coordinates, scope pixels, ...); nothing here depends on its unit. The
// rectangle is closed: points on its border are inside. A null rectangle
// (negative width or height) holds no point, so everything is cut away.
#pragma once

#include <vector>

#include <vc/core/rect.h>
#include <vc/core/vector.h>

// The polygon cut to box (Sutherland-Hodgman, one edge of the box after the
// other). The polygon is closed implicitly, last vertex back to the first.
// Inside the box the winding number of every point is kept, so the result
// fills the same area under either fill rule; parts of the result may run
// along the box's border. Empty when nothing of the polygon is inside.
std::vector<vcVector<2>> vfClipPolygon(std::vector<vcVector<2>> polygon, const vcRect& box);

// Cuts the segment p-q to box in place (Liang-Barsky); false, with p and q
// unchanged, when no point of it lies in box. The cut segment keeps its
// direction from p to q.
bool vfClipSegment(vcVector<2>& p, vcVector<2>& q, const vcRect& box);

// The polygonal path (closed: last vertex back to the first) cut to box, as
// the runs of it that lie inside, in path order. Edges that meet inside the
// box stay in one run, so a pen draws their join; a run leaves the box where
// the path does. A path of fewer than two vertices gives no runs.
std::vector<std::vector<vcVector<2>>> vfClipPath(const std::vector<vcVector<2>>& path, bool closed, const vcRect& box);
