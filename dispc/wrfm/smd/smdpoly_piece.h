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
// ends p keeps for them; the full segment s, from vertex to vertex.
vc_SMDPiece vc_roundedSegmentPiece(const vcSMDGDPoly& p, int s);
vc_SMDPiece vc_roundedCornerPiece(const vcSMDGDPoly& p, int v);
vc_SMDPiece vc_fullSegmentPiece(const vcSMDGDPoly& p, int s);

// One part of an outline as the walk meets it: the rounded segment that ends
// at vertex `index`, or the rounding arc of corner `index`.
struct vc_SMDPart {
  const vcSMDGDPoly* poly;
  int index;
  bool corner;
  // Made only on demand: a segment's rounded form is checked on the way
  // (invalidRounding where the roundings of its ends overlap).
  vc_SMDPiece piece() const {
    return corner ? vc_roundedCornerPiece(*poly, index) : vc_roundedSegmentPiece(*poly, index);
  }
};

// Where the walk enters a closed outline's loop: at the segment that ends at
// vertex 0, or at vertex 0's rounding (that segment then comes last). An
// open outline has no segment 0, and both walks are the same.
enum class vc_SMDWalkFrom { eSegment0, eCorner0 };

// The one walk along p's outline: every rounded segment and every rounding
// arc (none at the ends of an open poly), each once and in outline order, as
// vc_SMDParts. Fewer than two vertices make no parts.
template <class Visit>
void vc_walkOutline(const vcSMDGDPoly& p, vc_SMDWalkFrom from, Visit visit) {
  const int n = static_cast<int>(p.numVertices());
  if (n < 2) return;
  const bool open = p.isOpen();
  const auto segment = [&](int s) {
    if (!(open && s == 0)) visit(vc_SMDPart{&p, s, false});
  };
  const auto corner = [&](int v) {
    if (p.vertices()[static_cast<std::size_t>(v)].hasRounding() && !(open && (v == 0 || v == n - 1)))
      visit(vc_SMDPart{&p, v, true});
  };
  for (int i = 0; i < n; ++i) {
    if (from == vc_SMDWalkFrom::eSegment0) {
      segment(i);
      corner(i);
    } else {
      corner(i);
      segment(i + 1 == n ? 0 : i + 1);
    }
  }
}

// The walk from segment 0, each part handed over as its vc_SMDPiece.
template <class Visit>
void vc_forEachOutlinePart(const vcSMDGDPoly& p, Visit visit) {
  vc_walkOutline(p, vc_SMDWalkFrom::eSegment0, [&](const vc_SMDPart& part) { visit(part.piece()); });
}
