// An SMD poly's outline as a chain of parts (rounding arcs and rounded
// segments) measured by arc length, and the builder that turns a stretch of
// it back into an open poly. Cropping and sub-poly extraction share both.
#pragma once

#include <vector>

#include <vc/wrfm/smdpoly.h>

#include "smdpoly_piece.h"

struct vc_SMDOutline {
  struct Part {
    vc_SMDPiece piece;
    int vertex = 0;       // the corner of a rounding arc; the end vertex of a segment
    bool corner = false;  // rounding arc of `vertex`
    double s0 = 0.0;      // arc length at the part's start
    double len = 0.0;
  };

  const vcSMDGDPoly& poly;
  std::vector<Part> parts;
  double length = 0.0;
  bool closed = false;

  // Parts in walk order: for each vertex its rounding arc, then the segment
  // leaving it. Needs at least two vertices for any part.
  explicit vc_SMDOutline(const vcSMDGDPoly& p);

  // Arc length of q (on or near part k) along the outline.
  double along(int k, const vcVector<2>& q) const;
  // The point at arc length s: wrapped for a closed outline, clamped for an open one.
  vcVector<2> pointAt(double s) const;
  // The part nearest q and q's arc length on it; returns the distance.
  double locate(const vcVector<2>& q, int& k, double& s) const;
  // Unwrapped index of the part holding s (0 <= s < 2 * length); an s at a
  // joint belongs to the part it ends (endInclusive) or starts.
  int partIndex(double s, bool endInclusive) const;

  // The stretch from arc length a to b (a < b <= a + length; a in
  // [0, length)) as an open poly's vertices. atStart/atEnd: the stretch
  // begins at vertex 0 / ends at the last vertex of an open outline, which
  // are then copied. Parts of the stretch keep their exact geometry.
  // explicitRoundings: every whole rounded corner becomes two sharp vertices
  // at its tangent points joined by its rounding arc, for stretches whose
  // shortened segments leave a rounding too little room.
  std::vector<vcSMDGDPolyVertex> stretch(double a, double b, bool atStart, bool atEnd, bool explicitRoundings) const;
};

// Signed sweep (degrees) from `from` to `to` about centre, in the turning
// sense of span (> 0: toward +angle); never larger than |span| in size.
double vc_subSpan(const vcVector<2>& centre, double span, const vcVector<2>& from, const vcVector<2>& to);
// The vertex made at a cut: sharp, label -1, fractions 0.5, no length tolerance.
vcSMDGDPolyVertex vc_cutVertex(const vcVector<2>& p, double spanDeg);
// Whether two points are the same up to rounding.
bool vc_samePoint(const vcVector<2>& a, const vcVector<2>& b);
