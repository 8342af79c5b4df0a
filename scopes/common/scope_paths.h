// The drawing forms the Cairo and Qt scopes build the same way from their
// path primitives: points, segments, the pen's moves and every shape. A scope
// class S that includes this defines them with VC_SCOPE_PATH_FORMS(S), having
// these private members:
//   devX_(p, w), devY_(p, w)  where a scope point lands in root pixels under a pen of width w;
//   drawPath_(points, closed, fill, fillRule, props)     a path through scope points;
//   drawDevPath_(devPoints, closed, fill, fillRule, props) the same through root pixels
//                                                        (a vector lvalue the call may change);
//   drawSampled_(shape, closed, fill, props)             a curve sampled to a path;
//   base_                                                the scope's corner on the root surface.
#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/dispprop.h>

// The pen width drawn, pixels: 1 to 32767.
inline long vfScopePenWidth(const vcGraphicProps& p) { return std::clamp(p.penWidth(), 1L, 32767L); }

// Paths run through pixel centres for odd widths and pixel corners for even
// ones, so that the edges of a straight pen fall between pixels.
inline double vfScopePenCentre(long w) { return w % 2 ? 0.5 : 0.0; }

// clang-format off
#define VC_SCOPE_PATH_FORMS(S)                                                                                         \
  void S::draw(const vcPoint& point, const vcGraphicProps& props) {                                                    \
    const long w = vfScopePenWidth(props);                                                                             \
    std::vector<std::pair<double, double>> dev{{devX_(point, w), devY_(point, w)}};                                   \
    drawDevPath_(dev, false, false, vcPolygon::eWinding, props);                                                       \
  }                                                                                                                    \
  void S::draw(const vcLineSeg& segment, const vcGraphicProps& props) {                                                \
    drawPath_({segment.p1(), segment.p2()}, false, false, vcPolygon::eWinding, props);                                 \
  }                                                                                                                    \
  void S::drawTo(const vcPoint& p, const vcGraphicProps& props) {                                                      \
    const long w = vfScopePenWidth(props);                                                                             \
    std::vector<std::pair<double, double>> dev{{devX_(drawPoint(), w), devY_(drawPoint(), w)},                         \
                                               {devX_(p, w), devY_(p, w)}};                                            \
    const vcPoint to = p; /* p may be the pen itself */                                                                \
    drawDevPath_(dev, false, false, vcPolygon::eWinding, props);                                                       \
    drawStart(to);                                                                                                     \
  }                                                                                                                    \
  void S::drawToRelPels(long dx, long dy, const vcGraphicProps& props) {                                               \
    const long w = vfScopePenWidth(props);                                                                             \
    const double x0 = static_cast<double>(drawX() + base_.x()) + vfScopePenCentre(w);                                  \
    const double y0 = static_cast<double>(drawY() + base_.y()) + vfScopePenCentre(w);                                  \
    std::vector<std::pair<double, double>> dev{{x0, y0},                                                               \
                                               {x0 + static_cast<double>(dx), y0 + static_cast<double>(dy)}};          \
    drawDevPath_(dev, false, false, vcPolygon::eWinding, props);                                                       \
    moveToRel(dx, dy);                                                                                                 \
  }                                                                                                                    \
  void S::draw(const vcPolygon& polygon, const vcGraphicProps& props) {                                                \
    drawPath_(polygon.vertices(), true, props.fill(), polygon.fillMode(), props);                                      \
  }                                                                                                                    \
  void S::draw(const vcPolyline& polyline, const vcGraphicProps& props) {                                              \
    drawPath_(polyline.points(), polyline.isClosed(), polyline.isClosed() && props.fill(), vcPolygon::eWinding,        \
              props);                                                                                                  \
  }                                                                                                                    \
  void S::draw(const vcEllipse& e, const vcGraphicProps& props) { drawSampled_(e, true, props.fill(), props); }        \
  void S::draw(const vcEllipse2& e, const vcGraphicProps& props) { drawSampled_(e, true, props.fill(), props); }       \
  void S::draw(const vcGenRect& rect, const vcGraphicProps& props) { drawSampled_(rect, true, props.fill(), props); }  \
  void S::draw(const vcEllipseArc& arc, const vcGraphicProps& props) { drawSampled_(arc, false, false, props); }       \
  void S::draw(const vcEllipseArc2& arc, const vcGraphicProps& props) { drawSampled_(arc, false, false, props); }      \
  void S::draw(const vcGenShape& shape, const vcColor& color) {                                                        \
    drawSampled_(shape, shape.isClosedContour(), false, vcGraphicProps(color, 1));                                     \
  }
// clang-format on
