// The rounded outline the SMD geometry benchmarks share, and its densified
// form for the polygon libraries they are measured beside.
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include <vc/wrfm/smdpoly.h>

// A closed poly of 64 segments: a gear of 32 teeth around centre, tips at 200
// px and roots at 140 px, every corner rounded with radius 6 px, turned by
// turnDeg degrees.
inline vcSMDGDPoly vcBenchGear(vcVector<2> centre, double turnDeg = 0.0) {
  std::vector<vcSMDGDPolyVertex> vs;
  for (int i = 0; i < 64; ++i) {
    const double a = i * std::numbers::pi / 32 + turnDeg * std::numbers::pi / 180, r = i % 2 ? 140.0 : 200.0;
    vs.emplace_back(centre + vcVector<2>(r * std::cos(a), r * std::sin(a)), 6.0, 0.5, 0.5, -1);
  }
  vcSMDGDPoly poly;
  poly.vertices(vs);
  poly.close();
  return poly;
}

// The rounded outline as a closed ring (first point repeated last): straight
// sides kept, each rounding arc cut into chords whose sagitta is at most 0.01 px.
inline std::vector<vcVector<2>> vcBenchDensified(const vcSMDGDPoly& p) {
  std::vector<vcVector<2>> ring;
  for (int v = 0; v < p.numVertices(); ++v) {
    const vc2SegmentArc arc = vcSMDGDPolyPrivate::roundedArcVertex_(p, v);
    const double r = arc.localRadius(), span = std::abs(arc.localAngleSpan().toDouble()) * std::numbers::pi / 180;
    const int k = int(std::ceil(span / (2 * std::acos(1 - 0.01 / r))));
    for (int i = 0; i <= k; ++i) ring.push_back(arc.segPoint(double(i) / k));
  }
  ring.push_back(ring.front());
  return ring;
}
