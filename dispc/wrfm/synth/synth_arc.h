// What the outline code hands the scan converter besides the points: the box
// of the points, grown as they are made so that no second pass is needed.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/wrfm/arc.h>

#include "synth_raster.h"

// The box of a chain of image points, and a running sum of their coordinates
// that turns infinite or NaN when one of them is (a finite sum says every
// point is finite; a sum that overflowed only asks for the exact check).
struct vf_SynthBox {
  double x0 = std::numeric_limits<double>::infinity(), y0 = x0;
  double x1 = -x0, y1 = -x0;
  double sum = 0.0;

  void add(const vcVector<2>& p) {
    x0 = std::min(x0, p.x()), x1 = std::max(x1, p.x());
    y0 = std::min(y0, p.y()), y1 = std::max(y1, p.y());
    sum += p.x() + p.y();
  }
  // Whether every point added is finite and within `farthest` of 0 on both
  // axes; false may also mean that the sum overflowed.
  bool surelyWithin(double farthest) const {
    return std::isfinite(sum) && x0 >= -farthest && x1 <= farthest && y0 >= -farthest && y1 <= farthest;
  }
};

// Hands arc mapped by x (client to image coordinates) to the scan converter
// whole where it can follow it exactly: under a map that keeps shapes, a
// mapped radius of at least 4 pixels, the arc at least 2 pixels inside
// window. Then appends the arc's end to out (its start is out.back()), the
// arc to arcs, grows box by the arc's box, and returns true; else changes
// nothing and returns false (the arc then wants chords).
bool vf_synthExactArc(const vc2SegmentArc& arc, const vcXform<2>& x, const vcRectangle<long>& window,
                      std::vector<vcVector<2>>& out, vf_SynthBox& box, std::vector<vc_SynthArc>& arcs);

// vf_synthArcPoints (see synth_raster.h) that also adds every point it
// appends to box.
void vf_synthArcPoints(const vc2SegmentArc& arc, const vcXform<2>& x, bool withStart, const vcRectangle<long>& window,
                       std::vector<vcVector<2>>& out, vf_SynthBox& box);
