// The tablet's primitive operations: shapes built from numbers, the pen
// operations that draw connected strokes, the point draw and the point icon.
#include <vc/uitablet.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <vc/core/affinerect.h>
#include <vc/core/circle.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/exception.h>
#include <vc/core/genrect.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/points.h>
#include <vc/core/rle.h>
#include <vc/uiscope.h>

#include "payloads.h"
#include "tablet_guards.h"
#include "tablet_record.h"

namespace {

// length * u truncated toward zero; an offset that is no 32-bit pixel count
// (a non-finite length, or one beyond any surface) is refused.
long pelOffset(float length, double u) {
  const double v = std::trunc(static_cast<double>(length) * u);
  if (!(v >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
        v <= static_cast<double>(std::numeric_limits<std::int32_t>::max())))
    throw vcMathError("vcUITablet: pixel offset " + std::to_string(static_cast<double>(length) * u) +
                      " does not fit in 32 bits");
  return static_cast<long>(v);
}

vcEllipse ellipseOf(const vcPair<double>& center, const vcPair<double>& radii, vcRadian rotation) {
  vcEllipse::vcEllipseGeom g;
  g.x = center.x();
  g.y = center.y();
  g.a = radii.x();
  g.b = radii.y();
  g.rotation = rotation.toDouble();
  return vcEllipse(g);
}

}  // namespace

// ---- shape-building primitives ---------------------------------------------------

void vcUITablet::drawPixel(const vcPair<double>& p, const vcColor& color, Layers layer) {
  draw(vcPoint(p), color, layer);
}

void vcUITablet::drawLineSeg(const vcPair<double>& p1, const vcPair<double>& p2, const vcColor& color,
                             Layers layer) {
  draw(vcLineSeg(vcVector<2>(p1), vcVector<2>(p2)), color, layer);
}

void vcUITablet::drawLine(const vcPair<double>& p, vcRadian angle, const vcColor& color, Layers layer) {
  draw(vcLine(angle, vcVector<2>(p)), color, layer);
}

void vcUITablet::drawCircle(const vcPair<double>& center, double radius, const vcColor& color, Layers layer,
                            bool fill) {
  draw(vcCircle(vcVector<2>(center), radius), color, layer, fill);
}

void vcUITablet::drawEllipse(const vcPair<double>& center, const vcPair<double>& radii, vcRadian rotation,
                             const vcColor& color, Layers layer, bool fill) {
  draw(ellipseOf(center, radii, rotation), color, layer, fill);
}

void vcUITablet::drawEllipseArc(const vcPair<double>& center, const vcPair<double>& radii, vcRadian rotation,
                                vcRadian a1, vcRadian a2, const vcColor& color, Layers layer) {
  draw(vcEllipseArc(ellipseOf(center, radii, rotation), a1, a2), color, layer);
}

void vcUITablet::drawPolygon(const std::vector<vcVector<2>>& vertices, vcPolygon::PolyFillMode mode,
                             const vcColor& color, Layers layer) {
  draw(vcPolygon(vertices, mode), color, layer);
}

void vcUITablet::drawGenRect(const vcPair<double>& a, const vcPair<double>& b, vcRadian& angle,
                             const vcPair<double>& c, const vcColor& color, Layers layer) {
  draw(vcGenRect(vcVector<2>(a), vcVector<2>(b), angle, vcVector<2>(c)), color, layer, false);
}

void vcUITablet::drawAffineRect(const vcPair<double>& center, double x, double y, const vcRadian& r1,
                                const vcRadian& r2, const vcColor& color, Layers layer) {
  draw(vcAffineRectangle(vcVector<2>(center), x, y, r1, r2), color, layer);
}

void vcUITablet::drawRect(const vcPair<double>& p1, const vcPair<double>& p2, const vcColor& color, Layers layer,
                          bool fill) {
  draw(vcRect(vcVector<2>(p1), vcVector<2>(p2 - p1)), color, layer, fill);
}

void vcUITablet::drawCross(const vcPair<double>& p, const vcRadian& angle, const vcColor& color, Layers layer) {
  draw(vcCross(vcVector<2>(p), angle, 7), color, layer);
}

// ---- the point ---------------------------------------------------------------------

void vcUITablet::draw(const vcPoint& p, const vcGraphicProps& props, Layers layer) {
  vfCheckPosition(p, "point");
  if (okToDraw(layer)) {
    vcPoint scratch;
    drawScope_[layer]->draw(mapPoint(p, layer, scratch), props);
  }
  record_<0>(layer, props, vc_PointPayload{p});
}

void vcUITablet::draw(const vcPoint& p, const vcColor& color, Layers layer) { draw(p, vfPropsOf(color), layer); }

// ---- the pen -------------------------------------------------------------------------

void vcUITablet::drawStart(const vcPoint& p, Layers layer) {
  vfCheckPosition(p, "pen position");
  if (okToDraw(layer)) {
    vcPoint scratch;
    vcUIScope* s = drawScope_[layer];
    s->drawStart(mapPoint(p, layer, scratch));
  }
  record_<20>(layer, vcGraphicProps(), vcColor(), vc_PointPayload{p});
}

void vcUITablet::drawTo(const vcPoint& p, const vcGraphicProps& props, Layers layer) {
  vfCheckPosition(p, "pen position");
  if (okToDraw(layer)) {
    vcPoint scratch;
    drawScope_[layer]->drawTo(mapPoint(p, layer, scratch), props);
  }
  record_<21>(layer, props, vc_PointPayload{p});
}

void vcUITablet::drawTo(const vcPoint& p, const vcColor& color, Layers layer) { drawTo(p, vfPropsOf(color), layer); }

void vcUITablet::drawToRelPels(long dx, long dy, const vcGraphicProps& props, Layers layer) {
  const vc_PelOffsetPayload payload{dx, dy};
  checkRecordable_<22>(payload);
  if (okToDraw(layer)) drawScope_[layer]->drawToRelPels(dx, dy, props);
  record_<22>(layer, props, payload);
}

void vcUITablet::drawToRelPels(long dx, long dy, const vcColor& color, Layers layer) {
  drawToRelPels(dx, dy, vfPropsOf(color), layer);
}

void vcUITablet::moveToRelPels(long dx, long dy, Layers layer) {
  const vc_PelOffsetPayload payload{dx, dy};
  checkRecordable_<23>(payload);
  if (okToDraw(layer)) drawScope_[layer]->moveToRel(dx, dy);
  record_<23>(layer, vcGraphicProps(), vcColor(), payload);
}

// The direction forms turn the client direction into a whole-pixel offset of
// the given length on the surface, whatever the map's scale; a direction that
// the map collapses has no unit vector and throws vcMathError.
void vcUITablet::drawToRelPels(const vcVector<2>& direction, float length, const vcGraphicProps& props,
                               Layers layer) {
  const vcVector<2> u = scaledMap_.mapVector(direction).unit();
  drawToRelPels(pelOffset(length, u.x()), pelOffset(length, u.y()), props, layer);
}

void vcUITablet::drawToRelPels(const vcVector<2>& direction, float length, const vcColor& color, Layers layer) {
  drawToRelPels(direction, length, vfPropsOf(color), layer);
}

void vcUITablet::moveToRelPels(const vcVector<2>& direction, float length, Layers layer) {
  const vcVector<2> u = scaledMap_.mapVector(direction).unit();
  moveToRelPels(pelOffset(length, u.x()), pelOffset(length, u.y()), layer);
}

// ---- the point icon ---------------------------------------------------------------------

const vcRLEBuffer& vcUITablet::pointIcon() {
  static const vcRLEBuffer icon = makeIcon(pointIconData_, {0});
  return icon;
}

void vcUITablet::drawPointIcon(const vcPoint& p, const vcGraphicProps& props, Layers layer) {
  vfCheckPosition(p, "point icon");
  if (okToDraw(layer)) {
    const std::vector<vcColor> colors{props.penColor()};
    vcPoint scratch;
    const vcPoint& q = mapPoint(p, layer, scratch);
    // The icon's centre pixel (6, 6) lands on the point.
    const vcPoint corner(q.x() - 6.0, q.y() - 6.0);
    drawScope_[layer]->draw(pointIcon(), corner, colors, true, vcColor::passColor().index());
  }
  record_<1>(layer, props, vc_PointPayload{p});
}

void vcUITablet::drawPointIcon(const vcPoint& p, const vcColor& color, Layers layer) {
  drawPointIcon(p, vfPropsOf(color), layer);
}
