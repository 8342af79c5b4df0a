// Poly utilities for tools that build SMD models: taking polys apart
// (deleteSegments and the filters over lists of candidate outlines), one
// length tolerance for every segment, joining and reversing polys; the pieces
// that segment extensions add, and picking the part of an outline nearest a
// point.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <list>
#include <vector>

#include <vc/core/exception.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>

#include "smdpoly_util.h"

namespace {

using P = vcSMDGDPolyPrivate;

// Replaces, in order, every poly for which take(poly, pieces) returns true
// by the pieces it made. The list changes only when every poly succeeded.
template <class Take>
void replaceEach(std::list<vcSMDGDPoly>& polys, Take take) {
  std::list<vcSMDGDPoly> out;
  for (const vcSMDGDPoly& p : polys) {
    std::vector<vcSMDGDPoly> pieces;
    if (take(p, pieces))
      out.insert(out.end(), pieces.begin(), pieces.end());
    else
      out.push_back(p);
  }
  polys.swap(out);
}

// Takes p apart at the segments for which remove(s) holds, through deleteSegments.
template <class Remove>
bool removeSegments(const vcSMDGDPoly& p, std::vector<vcSMDGDPoly>& pieces, Remove remove) {
  std::vector<long> doomed;
  const long n = p.numVertices();
  for (long s = p.isOpen() ? 1 : 0; n > 1 && s < n; ++s)
    if (remove(static_cast<int>(s))) doomed.push_back(s);
  if (doomed.empty()) return false;
  P::deleteSegments(p, doomed, pieces);
  return true;
}

}  // namespace

vcSMDGDPoly vf_SMDPolyLike(const vcSMDGDPoly& p) {
  vcSMDGDPoly q(p.name());
  q.colors(p.colors());
  q.positiveArrowColor(p.positiveArrowColor());
  q.negativeArrowColor(p.negativeArrowColor());
  q.weight(p.weight());
  if (p.isDirectionReversed()) q.toggleDirection();
  return q;
}

void vf_SMDSplitPoly(const vcSMDGDPoly& p, const std::vector<bool>& removed, std::vector<vcSMDGDPoly>& pieces) {
  const int n = static_cast<int>(p.numVertices());
  std::vector<vcSMDGDPoly> out;
  const bool any = std::find(removed.begin(), removed.end(), true) != removed.end();
  if (n < 2 || !any) {
    out.push_back(p);
    pieces.swap(out);
    return;
  }
  // Unroll the outline into a walk over n - 1 segments: an open poly from
  // vertex 0, a closed one from the end of its first removed segment round
  // to the start of that segment.
  int start = 0;
  if (p.isClosed())
    while (!removed[static_cast<std::size_t>(start)]) ++start;
  const int steps = n - 1;
  std::vector<vcSMDGDPolyVertex> run{p.vertex(start)};
  const auto finish = [&] {
    if (run.size() >= 2) {
      vcSMDGDPoly piece = vf_SMDPolyLike(p);
      piece.vertices(run);
      out.push_back(std::move(piece));
    }
    run.clear();
  };
  for (int k = 1; k <= steps; ++k) {
    const int v = (start + k) % n;
    // Segment v ends at vertex v: removed, it ends the run, and v starts the next.
    if (removed[static_cast<std::size_t>(v)]) finish();
    run.push_back(p.vertex(v));
  }
  finish();
  pieces.swap(out);
}

void P::deleteSegments(const vcSMDGDPoly& p, const std::vector<long>& segments, std::vector<vcSMDGDPoly>& pieces) {
  const long n = p.numVertices();
  std::vector<bool> removed(static_cast<std::size_t>(n), false);
  for (long s : segments) {
    if (s < 0 || s >= n || n < 2 || (p.isOpen() && s == 0)) throw vcSMDGDPoly::invalidIndex();
    removed[static_cast<std::size_t>(s)] = true;
  }
  vf_SMDSplitPoly(p, removed, pieces);
}

void P::perimeterFilter(std::list<vcSMDGDPoly>& polys, const vcRange& range) {
  polys.remove_if([&](const vcSMDGDPoly& p) { return !range.isWithin(p.perimeter_(0.0)); });
}

void P::closureFilter(std::list<vcSMDGDPoly>& polys, bool keepOpen, bool keepClosed) {
  if (keepOpen == keepClosed) return;
  polys.remove_if([&](const vcSMDGDPoly& p) { return keepOpen ? p.isClosed() : p.isOpen(); });
}

void P::segmentLengthFilter(std::list<vcSMDGDPoly>& polys, const vcRange& range) {
  replaceEach(polys, [&](const vcSMDGDPoly& p, std::vector<vcSMDGDPoly>& pieces) {
    return removeSegments(p, pieces, [&](int s) { return !range.isWithin(p.segmentLength_(s)); });
  });
}

void P::segmentAngleSpanFilter(std::list<vcSMDGDPoly>& polys, const vcDegree& maxSpan) {
  const double limit = std::abs(maxSpan.toDouble());
  replaceEach(polys, [&](const vcSMDGDPoly& p, std::vector<vcSMDGDPoly>& pieces) {
    return removeSegments(p, pieces, [&](int s) { return std::abs(p.segmentAngleSpan_(s).toDouble()) > limit; });
  });
}

void P::crossingPolysResolve(std::list<vcSMDGDPoly>& polys, const std::list<vcSMDGDPoly>& others) {
  replaceEach(polys, [&](const vcSMDGDPoly& p, std::vector<vcSMDGDPoly>& pieces) {
    return removeSegments(p, pieces, [&](int s) {
      return std::any_of(others.begin(), others.end(),
                         [&](const vcSMDGDPoly& o) { return !p.intersectionSegment_(s, o).empty(); });
    });
  });
}

void P::vertexAngleFilter(std::list<vcSMDGDPoly>& polys, const vcAngleRange& range) {
  replaceEach(polys, [&](const vcSMDGDPoly& p, std::vector<vcSMDGDPoly>& pieces) {
    const auto bad = [&](int v) { return !p.isEndVertex(v) && !range.isWithin(vcRadian(vertexAngle(p, v))); };
    return removeSegments(p, pieces, [&](int s) {
      int a = 0, b = 0;
      p.getVertexIndices_(a, b, s);
      return bad(a) || bad(b);
    });
  });
}

void P::autoSegmentLengthTolerance(vcSMDGDPoly& p, const vcDimTol& tol) {
  if (p.numVertices() == 0) return;
  vcSMDGDPoly copy = p;
  for (int i = 0; i < static_cast<int>(p.numVertices()); ++i) {
    vcSMDGDPolyVertex v = copy.vertex(i);
    v.segmentLengthTol(tol);
    copy.replaceVertex(i, v);
  }
  p = copy;
}

void P::reversePoly(const vcSMDGDPoly& a, vcSMDGDPoly& result) {
  const long n = a.numVertices();
  std::vector<vcSMDGDPolyVertex> vs;
  vs.reserve(static_cast<std::size_t>(n));
  for (long j = 0; j < n; ++j) {
    vcSMDGDPolyVertex v = a.vertex(n - 1 - j);
    // The segment that now ends here is the old one that ended at old
    // vertex n - j; for j = 0 that is old vertex 0, whose data an open poly
    // keeps for no segment, handed over so that a double reversal restores it.
    const vcSMDGDPolyVertex& ended = a.vertex((n - j) % n);
    v.segmentAngleSpan(vcDegree(-ended.segmentAngleSpan().toDouble()));
    v.segmentLengthTol(ended.segmentLengthTol());
    const double prev = v.percentPrevSegment(), fwd = v.forwardExtension();
    v.percentPrevSegment(v.percentNextSegment());
    v.percentNextSegment(prev);
    v.forwardExtension(v.backwardExtension());
    v.backwardExtension(fwd);
    vs.push_back(v);
  }
  vcSMDGDPoly r = a;
  r.vertices(vs);
  r.toggleDirection();
  result = r;
}

void P::connectPolys(const vcSMDGDPoly& a, bool aAtEnd, const vcSMDGDPoly& b, bool bAtEnd, vcSMDGDPoly& result) {
  if (a.isClosed() || b.isClosed()) throw vcSMDGDPoly::invalidVertices();
  vcSMDGDPoly r = a;
  if (!aAtEnd) reversePoly(a, r);
  vcSMDGDPoly second = b;
  if (bAtEnd) reversePoly(b, second);
  bool first = true;
  for (vcSMDGDPolyVertex v : second.vertices()) {
    if (first) {
      v.vertexRadius(0.0);
      v.segmentAngleSpan(vcDegree(0.0));
      first = false;
    }
    r.insertVertex(static_cast<int>(r.numVertices()) - 1, v);
  }
  result = r;
}

// The pieces that a poly's segment extensions add beyond the segments' ends,
// along the same line or circle, as the extension checks walk them.
namespace {

using P = vcSMDGDPolyPrivate;

vc2SegmentLine linePiece(const vc2SegmentLine& full, double fraction, bool forward) {
  const vcVector<2> reach = (full.p2() - full.p1()) * fraction;
  return forward ? vc2SegmentLine(full.p2(), full.p2() + reach) : vc2SegmentLine(full.p1() - reach, full.p1());
}

vc2SegmentArc arcPiece(const vc2SegmentArc& full, double fraction, bool forward) {
  // In the arc's local frame, where it is a circle arc; its xform carries the
  // piece to client coordinates as it does the arc.
  const double span = full.localAngleSpan().toDouble();
  const double sweep = std::min(360.0, std::abs(span) * fraction) * (span < 0 ? -1.0 : 1.0);
  const double start = full.localStartAngle().toDouble() + (forward ? span : -sweep);
  const vc2SegmentArc local(full.localCenter(), full.localRadius(), vcDegree(start), vcDegree(sweep));
  return full.xform() * local;
}

}  // namespace

vc2SegmentLine P::forwardLineSegmentExtension_(const vcSMDGDPoly& p, int s) {
  return linePiece(lineSegment_(p, s), p.forwardPercExtension_(s), true);
}

vc2SegmentLine P::backwardLineSegmentExtension_(const vcSMDGDPoly& p, int s) {
  return linePiece(lineSegment_(p, s), p.backwardPercExtension_(s), false);
}

vc2SegmentArc P::forwardArcSegmentExtension_(const vcSMDGDPoly& p, int s) {
  return arcPiece(arcSegment_(p, s), p.forwardPercExtension_(s), true);
}

vc2SegmentArc P::backwardArcSegmentExtension_(const vcSMDGDPoly& p, int s) {
  return arcPiece(arcSegment_(p, s), p.backwardPercExtension_(s), false);
}

// Picking the parts of SMD outlines: the segment, vertex and poly nearest a
// point, measured exactly on the rounded outline.
vcSMDPolyPick vcSMDGDPoly::nearestPart(const vcVector<2>& p) const {
  if (!std::isfinite(p.x()) || !std::isfinite(p.y())) throw vcBadArgument("vcSMDGDPoly::nearestPart: a non-finite point");
  vcSMDPolyPick pick;
  const int n = static_cast<int>(numVertices());
  if (n == 0) return pick;
  pick.poly = 0;
  for (int v = 0; v < n; ++v) {
    const double d = (vertexPoint_(v) - p).len();
    if (d < pick.vertexDistance) pick.vertexDistance = d, pick.vertex = v;
    if (vertexIsRounded_(v))
      pick.distance = std::fmin(pick.distance, vcSMDGDPolyPrivate::roundedArcVertex_(*this, v).distToPoint(p));
  }
  if (numSegments() == 0) {
    pick.distance = pick.vertexDistance;
    return pick;
  }
  for (int s = isOpen() ? 1 : 0; s < n; ++s) {
    const double d = isLineSegment_(s) ? vcSMDGDPolyPrivate::roundedLineSegment_(*this, s).distToPoint(p)
                                       : vcSMDGDPolyPrivate::roundedArcSegment_(*this, s).distToPoint(p);
    if (d < pick.segmentDistance) pick.segmentDistance = d, pick.segment = s;
  }
  pick.distance = std::fmin(pick.distance, pick.segmentDistance);
  return pick;
}

vcSMDPolyPick vcSMDGDModel::nearestPart(const vcVector<2>& p) const {
  vcSMDPolyPick best;
  for (int i = 0; i < numPolys(); ++i) {
    vcSMDPolyPick pick = polys_[static_cast<std::size_t>(i)].nearestPart(p);
    if (pick.poly < 0 || !(pick.distance < best.distance)) continue;
    pick.poly = i;
    best = pick;
  }
  return best;
}
