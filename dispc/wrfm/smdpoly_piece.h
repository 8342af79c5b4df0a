// One part of an SMD poly's outline, a line or an arc, with the few queries
// that the poly's checks and measures need whatever its kind.
#pragma once

#include <cmath>
#include <vector>

#include <vc/core/rect.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/lineseg.h>
#include <vc/wrfm/smdpoly.h>

struct vc_SMDPiece {
  bool isArc = false;
  vc2SegmentLine line;
  vc2SegmentArc arc;

  vc_SMDPiece() = default;
  explicit vc_SMDPiece(const vc2SegmentLine& l) : line(l) {}
  explicit vc_SMDPiece(const vc2SegmentArc& a) : isArc(true), arc(a) {}

  vcVector<2> start() const { return isArc ? arc.p1() : line.p1(); }
  vcVector<2> end() const { return isArc ? arc.p2() : line.p2(); }
  double length() const { return isArc ? arc.length() : line.length(); }
  vcVector<2> closestPoint(const vcVector<2>& p) const { return isArc ? arc.closestPoint(p) : line.closestPoint(p); }
  // The direction of travel at the piece's point nearest to p.
  vcDegree directionNear(const vcVector<2>& p) const;
  // A box that holds the piece: exact for a line, the whole circle for an arc.
  vcRect looseBox() const;
  // The piece's length after mapping by x.
  double mappedLength(const vcXform<2>& x) const;
  // The exact box of the piece mapped by x.
  vcRect mappedBox(const vcXform<2>& x) const;
};

// The points common to a and b; exclusive leaves out the ends of either.
std::vector<vcVector<2>> vc_intersect(const vc_SMDPiece& a, const vc_SMDPiece& b, bool exclusive);

// The parts of p's outline in order, each handed to visit as a vc_SMDPiece:
// for every vertex i, the rounded segment ending at i (none before vertex 0
// of an open poly), then i's rounding arc (none at the ends of an open poly).
// For a closed poly the parts join into one loop.
template <class Visit>
void vc_forEachOutlinePart(const vcSMDGDPoly& p, Visit visit) {
  const int n = static_cast<int>(p.numVertices());
  for (int i = 0; i < n; ++i) {
    const vcSMDGDPolyVertex& v = p.vertices()[static_cast<std::size_t>(i)];
    if (n > 1 && !(p.isOpen() && i == 0)) {
      const bool line = std::abs(v.segmentAngleSpan().toDouble()) <= 1e-15;
      visit(line ? vc_SMDPiece(vcSMDGDPolyPrivate::roundedLineSegment_(p, i))
                 : vc_SMDPiece(vcSMDGDPolyPrivate::roundedArcSegment_(p, i)));
    }
    if (n > 1 && std::abs(v.vertexRadius()) > 1e-15 && !(p.isOpen() && (i == 0 || i == n - 1)))
      visit(vc_SMDPiece(vcSMDGDPolyPrivate::roundedArcVertex_(p, i)));
  }
}
