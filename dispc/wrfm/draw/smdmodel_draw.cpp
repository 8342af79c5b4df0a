// Drawing SMD models on a tablet: every poly in turn.
#include <vc/uitablet.h>
#include <vc/wrfm/smdmodel.h>

void vcSMDGDModel::drawWireframe(const vcXform<2>& x, vcUITablet& tablet) const {
  for (const vcSMDGDPoly& p : polys_) p.drawWireframe(x, tablet);
}

void vcSMDGDModel::drawDirectionArrows(const vcXform<2>& x, vcUITablet& tablet) const {
  for (const vcSMDGDPoly& p : polys_) p.drawDirectionArrows(x, tablet, 2.0);
}

void vcSMDGDModelPrivate::drawNegWireframe(const vcSMDGDModel& m, const vcXform<2>& x, vcUITablet& tablet) {
  for (const vcSMDGDPoly& p : m.polys())
    vcSMDGDPolyPrivate::drawNegWireframe(p, x, tablet, vcColor::redColor(), vcUITablet::eImage);
}
