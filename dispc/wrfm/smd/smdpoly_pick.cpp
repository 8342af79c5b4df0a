// Picking the parts of SMD outlines: the segment, vertex and poly nearest a
// point, measured exactly on the rounded outline.
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>

#include <cmath>

#include <vc/core/exception.h>

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
