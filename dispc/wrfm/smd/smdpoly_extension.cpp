// The pieces that a poly's segment extensions add beyond the segments' ends,
// along the same line or circle, as the extension checks walk them.
#include <algorithm>
#include <cmath>

#include <vc/wrfm/smdpoly.h>

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
