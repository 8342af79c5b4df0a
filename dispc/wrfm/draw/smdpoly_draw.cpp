// Drawing SMD polys and models: the outline as a wireframe, the segment extensions and
// the direction arrows, on a tablet or into a graphic list.
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include <vc/glist.h>
#include <vc/graphic_shapes.h>
#include <vc/uitablet.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/wireframe.h>

#include "smdpoly_piece.h"
#include "tablet_guards.h"

namespace {

using P = vcSMDGDPolyPrivate;
constexpr vcUITablet::Layers kImage = vcUITablet::eImage;

struct Stroke {
  vcVector<2> from, to;
  bool positive;
};

// The glyph's five strokes in tablet client coordinates, in drawing order.
std::array<Stroke, 5> arrowStrokes(const vcXform<2>& xform, const vc2Rigid& pose, double s) {
  const vcXform<2> m = xform * pose.linear();
  const vcVector<2> a = m * vcVector<2>(-s, s), b = m * vcVector<2>(-s, -s);
  const vcVector<2> plus = m * vcVector<2>(0, s), minus = m * vcVector<2>(0, -s);
  const vcVector<2> tip = m * vcVector<2>(0, 0);
  const vcVector<2> dx(1, 0), dy(0, 1);
  return {{{b, tip, false},
           {a, tip, true},
           {plus + dx, plus - dx, true},
           {plus + dy, plus - dy, true},
           {minus + dx, minus - dx, false}}};
}

// Where and which way each segment's arrow sits (poly client coordinates):
// at the middle of the rounded segment, along its travel there.
std::vector<vc2Rigid> arrowPoses(const vcSMDGDPoly& p) {
  std::vector<vc2Rigid> poses;
  const vcRadian turn(p.isDirectionReversed() ? std::numbers::pi : 0.0);
  vc_walkOutline(p, vc_SMDWalkFrom::eSegment0, [&](const vc_SMDPart& part) {
    if (part.corner) return;
    const vc_SMDPiece piece = part.piece();
    if (piece.isArc)
      poses.emplace_back(vcRadian(piece.arc.midDirection()) + turn, piece.arc.midPoint());
    else
      poses.emplace_back(vcRadian(piece.line.angle()) + turn, piece.line.midPoint());
  });
  return poses;
}

}  // namespace

void vcSMDGDPoly::drawWireframe(const vcXform<2>& xform, vcUITablet& tablet) const {
  P::drawWireframe(*this, xform, tablet, colors().wireframeDefaultColor(), kImage);
}

void vcSMDGDPoly::drawDirectionArrows(const vcXform<2>& xform, vcUITablet& tablet, double size) const {
  for (const vc2Rigid& pose : arrowPoses(*this))
    drawArrow(xform, tablet, pose, size, positiveArrowColor(), negativeArrowColor());
}

void vcSMDGDPoly::drawDirectionArrows(const vcXform<2>& xform, vcGraphicList& list, double size) const {
  for (const vc2Rigid& pose : arrowPoses(*this))
    drawArrow(xform, list, pose, size, positiveArrowColor(), negativeArrowColor());
}

void vcSMDGDPoly::drawArrow(const vcXform<2>& xform, vcUITablet& tablet, const vc2Rigid& pose, double size,
                            const vcColor& positive, const vcColor& negative) {
  for (const Stroke& k : arrowStrokes(xform, pose, size))
    tablet.drawLineSeg(vcPair<double>(k.from.x(), k.from.y()), vcPair<double>(k.to.x(), k.to.y()),
                       k.positive ? positive : negative, kImage);
}

void vcSMDGDPoly::drawArrow(const vcXform<2>& xform, vcGraphicList& list, const vc2Rigid& pose, double size,
                            const vcColor& positive, const vcColor& negative) {
  for (const Stroke& k : arrowStrokes(xform, pose, size))
    list.append(vcPtrHandle<vcGraphic>(new vcGraphicSimple<vcLineSeg>(vcLineSeg(k.from, k.to),
                                                                      vfPropsOf(k.positive ? positive : negative))),
                false);
}

void P::drawWireframe(const vcSMDGDPoly& p, const vcXform<2>& xform, vcUITablet& tablet, const vcColor& color,
                      vcUITabletTypes::Layers layer) {
  const vc2Wireframe w(vcGenPoly(p, vcXform<2>::I, false));
  tablet.draw(w.map(xform), color, layer, false);
}

void P::drawNegWireframe(const vcSMDGDPoly& p, const vcXform<2>& xform, vcUITablet& tablet, const vcColor& color,
                         vcUITabletTypes::Layers layer) {
  const int n = static_cast<int>(p.numVertices());
  for (int s = (p.isOpen() ? 1 : 0); n > 1 && s < n; ++s) {
    const bool line = p.isLineSegment_(s);
    if (p.forwardPercExtension_(s) > 0) {
      if (line)
        overlayLineSegment_(tablet, forwardLineSegmentExtension_(p, s), xform, color, layer);
      else
        overlayArc_(tablet, forwardArcSegmentExtension_(p, s), xform, color, layer);
    }
    if (p.backwardPercExtension_(s) > 0) {
      if (line)
        overlayLineSegment_(tablet, backwardLineSegmentExtension_(p, s), xform, color, layer);
      else
        overlayArc_(tablet, backwardArcSegmentExtension_(p, s), xform, color, layer);
    }
  }
}

void P::overlayLineSegment_(vcUITablet& tablet, const vc2SegmentLine& line, const vcXform<2>& xform,
                            const vcColor& color, vcUITabletTypes::Layers layer) {
  const vcVector<2> a = xform * line.p1(), b = xform * line.p2();
  tablet.drawLineSeg(vcPair<double>(a.x(), a.y()), vcPair<double>(b.x(), b.y()), color, layer);
}

void P::overlayArc_(vcUITablet& tablet, const vc2SegmentArc& arc, const vcXform<2>& xform, const vcColor& color,
                    vcUITabletTypes::Layers layer) {
  tablet.draw((xform * arc).ellipseArc(), color, layer);
}

// Drawing SMD models on a tablet: every poly in turn.
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
