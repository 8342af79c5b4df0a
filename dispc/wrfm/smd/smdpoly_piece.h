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
  // The ends. An arc's circle gives them back only to within its meeting
  // tolerance; a poly knows them exactly (its vertices and rounding points).
  vcVector<2> from, to;

  vc_SMDPiece() = default;
  explicit vc_SMDPiece(const vc2SegmentLine& l) : line(l), from(l.p1()), to(l.p2()) {}
  explicit vc_SMDPiece(const vc2SegmentArc& a) : isArc(true), arc(a), from(a.p1()), to(a.p2()) {}
  vc_SMDPiece(const vc2SegmentArc& a, const vcVector<2>& start, const vcVector<2>& end)
      : isArc(true), arc(a), from(start), to(end) {}

  vcVector<2> start() const { return from; }
  vcVector<2> end() const { return to; }
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
  // How far a meeting point computed with the piece may lie from the true
  // one: a few rounding errors of the largest magnitude the computation
  // handles. An arc's is its circle's, and so grows with its radius.
  double meetingTolerance() const;
  // The piece as the meeting tests take it: a nearly straight arc (of a
  // radius up to 1e16 times its chord, when its span is a rounding error)
  // whose chord stays within its meeting tolerance of it is its chord, which
  // is intersected as precisely as its ends are known.
  vc_SMDPiece forMeeting() const;
};

// The points common to a and b (each taken forMeeting()); exclusive leaves
// out the ends of either.
std::vector<vcVector<2>> vc_intersect(const vc_SMDPiece& a, const vc_SMDPiece& b, bool exclusive);

// Rounded segment s of p, and the rounding arc of corner v, with the exact
// ends p keeps for them.
vc_SMDPiece vc_roundedSegmentPiece(const vcSMDGDPoly& p, int s);
vc_SMDPiece vc_roundedCornerPiece(const vcSMDGDPoly& p, int v);

// The parts of p's outline in order, each handed to visit as a vc_SMDPiece:
// for every vertex i, the rounded segment ending at i (none before vertex 0
// of an open poly), then i's rounding arc (none at the ends of an open poly).
// For a closed poly the parts join into one loop.
template <class Visit>
void vc_forEachOutlinePart(const vcSMDGDPoly& p, Visit visit) {
  const int n = static_cast<int>(p.numVertices());
  for (int i = 0; i < n; ++i) {
    const vcSMDGDPolyVertex& v = p.vertices()[static_cast<std::size_t>(i)];
    if (n > 1 && !(p.isOpen() && i == 0)) visit(vc_roundedSegmentPiece(p, i));
    if (n > 1 && std::abs(v.vertexRadius()) > 1e-15 && !(p.isOpen() && (i == 0 || i == n - 1)))
      visit(vc_roundedCornerPiece(p, i));
  }
}
