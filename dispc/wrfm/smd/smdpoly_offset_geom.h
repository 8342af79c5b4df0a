// Plain line and circle-arc pieces for the offset of SMD outlines: the raw
// offset curve, its crossings and the distance of a point from an outline.
// Arcs are kept as centre, radius, start angle and signed sweep (radians),
// so that cut pieces stay on their exact circle.
#pragma once

#include <vector>

#include <vc/core/vector.h>
#include <vc/wrfm/smdpoly.h>

namespace vc_offset {

using V = vcVector<2>;

// A line from a to b, or the arc of the circle (c, r) from angle a0 sweeping
// sp (signed: > 0 toward +angle), running from a to b.
struct Seg {
  bool arc = false;
  V a, b, c;
  double r = 0.0, a0 = 0.0, sp = 0.0;
  int owner = 0;  // index of the outline the piece was made from
  double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;  // box

  V pointAt(double t) const;
  // Unit direction of travel at the start and at the end.
  V startTangent() const;
  V endTangent() const;
  double length() const;
  // The part from parameter t0 to t1 (0 at a, 1 at b).
  Seg sub(double t0, double t1) const;
  Seg reversed() const;
  double distance(const V& q) const;
};

Seg lineSeg(const V& a, const V& b);
Seg arcSeg(const V& c, double r, double a0, double sp);

// Parameters (on a, on b) of the points where a and b cross or touch; lines
// that are parallel give none.
void crossings(const Seg& a, const Seg& b, std::vector<double>& ta, std::vector<double>& tb);

// The parts of p's outline in walk order (rounded segments and rounding arcs).
std::vector<Seg> outlineOf(const vcSMDGDPoly& p);
// Twice the signed area enclosed by a closed chain of parts (> 0: counter-clockwise
// in a frame whose y axis points 90 degrees counter-clockwise from x).
double twiceArea(const std::vector<Seg>& parts);

}  // namespace vc_offset
