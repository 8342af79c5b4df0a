// Drawing tolerance zones on a tablet or into a graphic list: the band as one
// even-odd polygon, then both outlines as wireframes.
#include <cmath>
#include <numbers>

#include <vc/core/poly.h>
#include <vc/glist.h>
#include <vc/graphic_shapes.h>
#include <vc/uitablet.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/graphic_wrfm.h>
#include <vc/wrfm/smdzone.h>
#include <vc/wrfm/wireframe.h>

#include "tablet_guards.h"
#include "smdpoly_piece.h"

namespace {

// Every closed outline of both models, its arcs followed by chords of at most
// 2 degrees, mapped by x, joined into one ring: each outline is entered from
// the previous one's start and the bridges are walked back at the end, so
// that they cancel and the even-odd fill is the band.
vcPolygon bandPolygon(const vcSMDGDModel& inner, const vcSMDGDModel& outer, const vcXform<2>& x) {
  std::vector<vcVector<2>> pts, starts;
  for (const vcSMDGDModel* m : {&outer, &inner})
    for (const vcSMDGDPoly& p : m->polys()) {
      if (p.isOpen() || p.numVertices() < 2) continue;
      std::vector<vcVector<2>> ring;
      vc_forEachOutlinePart(p, [&](const vc_SMDPiece& pc) {
        const int n = pc.isArc ? 1 + static_cast<int>(std::abs(pc.arc.angleSpan().toDouble()) / 2.0) : 1;
        for (int k = 0; k < n; ++k)
          ring.push_back(x * (pc.isArc ? pc.arc.segPoint(double(k) / n) : pc.line.p1()));
      });
      ring.push_back(ring.front());
      starts.push_back(ring.front());
      pts.insert(pts.end(), ring.begin(), ring.end());
    }
  for (std::size_t i = starts.size(); i-- > 1;) pts.push_back(starts[i - 1]);
  return vcPolygon(pts, vcPolygon::eEvenOdd);
}

vc2Wireframe wireframeOf(const vcSMDGDPoly& p, const vcXform<2>& x) {
  return vc2Wireframe(vcGenPoly(p, vcXform<2>::I, false)).map(x);
}

}  // namespace

void vcSMDToleranceZone::draw(vcUITablet& tablet, const vcXform<2>& xform, const vcColor& lineColor,
                              const vcColor& bandColor, vcUITabletTypes::Layers layer) const {
  const vcPolygon band = bandPolygon(inner_, outer_, xform);
  if (band.numVertices() > 2) tablet.draw(band, vfPropsOf(bandColor, true), layer);
  for (const vcSMDGDModel* m : {&inner_, &outer_})
    for (const vcSMDGDPoly& p : m->polys()) tablet.draw(wireframeOf(p, xform), lineColor, layer, false);
}

void vcSMDToleranceZone::draw(vcGraphicList& list, const vcXform<2>& xform, const vcColor& lineColor,
                              const vcColor& bandColor) const {
  const vcPolygon band = bandPolygon(inner_, outer_, xform);
  if (band.numVertices() > 2)
    list.append(vcPtrHandle<vcGraphic>(new vcGraphicSimple<vcPolygon>(band, vfPropsOf(bandColor, true))), false);
  for (const vcSMDGDModel* m : {&inner_, &outer_})
    for (const vcSMDGDPoly& p : m->polys())
      list.append(vcPtrHandle<vcGraphic>(new vcGraphicSimple<vc2Wireframe>(wireframeOf(p, xform), vfPropsOf(lineColor))),
                  false);
}
