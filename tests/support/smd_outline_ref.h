// The drawn outline of an SMD poly read through its public segments, with the
// distance and even-odd tests the geometry tests measure results against.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <vc/wrfm/smdpoly.h>

namespace smd_ref {

using V = vcVector<2>;

struct Part {
  bool arc;
  vc2SegmentLine line;
  vc2SegmentArc a;
  V at(double t) const { return arc ? a.segPoint(t) : line.segPoint(t); }
  double length() const { return arc ? a.length() : line.length(); }
  double dist(const V& q) const { return arc ? a.distToPoint(q) : line.distToPoint(q); }
};

// Rounding arcs and rounded segments in walk order.
inline std::vector<Part> outline(const vcSMDGDPoly& p) {
  using P = vcSMDGDPolyPrivate;
  std::vector<Part> out;
  const long n = p.numVertices();
  for (long i = 0; i < n && n > 1; ++i) {
    const bool end = p.isOpen() && (i == 0 || i == n - 1);
    if (!end && p.vertex(i).vertexRadius() != 0) out.push_back({true, {}, P::roundedArcVertex_(p, int(i))});
    if (p.isOpen() && i == n - 1) break;
    const int s = int((i + 1) % n);
    if (std::abs(p.vertex(s).segmentAngleSpan().toDouble()) <= 1e-15)
      out.push_back({false, P::roundedLineSegment_(p, s), {}});
    else
      out.push_back({true, {}, P::roundedArcSegment_(p, s)});
  }
  return out;
}

inline double distance(const std::vector<Part>& parts, const V& q) {
  double d = std::numeric_limits<double>::infinity();
  for (const Part& pt : parts) d = std::min(d, pt.dist(q));
  return d;
}

inline bool evenOdd(const std::vector<V>& ring, V p) {
  bool in = false;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const V a = ring[i], b = ring[(i + 1) % ring.size()];
    if ((a.y() > p.y()) != (b.y() > p.y()) && a.x() + (p.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y()) > p.x())
      in = !in;
  }
  return in;
}

}  // namespace smd_ref
