// One part of an SMD poly's outline, a line or an arc, with the few queries
// that the poly's checks and measures need whatever its kind.
#pragma once

#include <vector>

#include <vc/core/rect.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/lineseg.h>

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
