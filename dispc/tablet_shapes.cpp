// Shape drawing on the tablet: each core shape mapped through scaledMap onto
// the layer's scope and recorded in client coordinates, arrow heads, and the
// run-time dispatcher that draws any vcShape through the typed overloads.
#include <vc/uitablet.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>
#include <utility>
#include <vector>

#include <vc/core/affinerect.h>
#include <vc/core/bezier.h>
#include <vc/core/circle.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/exception.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/points.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/core/shapetree.h>
#include <vc/core/spline.h>
#include <vc/graphic.h>
#include <vc/uierror.h>
#include <vc/uiscope.h>

#include "payloads.h"
#include "shape_classes.h"
#include "shape_payloads.h"
#include "tablet_guards.h"
#include "tablet_record.h"

namespace {

using Layers = vcUITablet::Layers;
using vcXformHandle = vcPtrHandle_const<vc2XformBase>;

// The drawing half of a shape that maps whole: kept out of line so that the
// recording half of the caller stays lean when nothing is drawn.
template <class S>
[[gnu::noinline]] void drawMapped(vcUIScope& scope, const S& shape, const vcXform<2>& map,
                                  const vcGraphicProps& props) {
  scope.draw(shape.map(map), props);
}

// Polygons and polylines map into a scratch shape kept per thread, so that
// drawing them does not allocate once the scratch has grown; a draw nested in
// another (a scope that draws on a tablet) maps into a shape of its own.
template <class S>
[[gnu::noinline]] void drawMappedReusing(vcUIScope& scope, const S& shape, const vcXform<2>& map,
                                         const vcGraphicProps& props) {
  thread_local S scratch;
  thread_local bool inUse = false;
  if (inUse) return drawMapped(scope, shape, map, props);
  inUse = true;
  runThen(
      [&] {
        shape.map(map, scratch);
        scope.draw(scratch, props);
      },
      [&] { inUse = false; });
}

// The closed outline through corners (scope coordinates) in the scope's pen strokes.
void penOutline(vcUIScope& scope, std::span<const vcVector<2>> corners, const vcGraphicProps& props) {
  scope.drawStart(vcPoint(corners[0]));
  for (std::size_t k = 1; k <= corners.size(); ++k) scope.drawTo(vcPoint(corners[k % corners.size()]), props);
}

// The largest factor by which m stretches a vector (its largest singular value).
double largestStretch(const vcMatrix<2>& m) {
  const double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
  const double s = a * a + b * b + c * c + d * d, det = a * d - b * c;
  return std::sqrt(0.5 * (s + std::sqrt(std::max(0.0, s * s - 4.0 * det * det))));
}

// True when the directions of a and b agree to within 1/100 in both components.
bool sameDirection(const vcRadian& a, const vcRadian& b) {
  return std::trunc(100.0 * cos(a)) == std::trunc(100.0 * cos(b)) &&
         std::trunc(100.0 * sin(a)) == std::trunc(100.0 * sin(b));
}

}  // namespace

// ---- typed shapes -------------------------------------------------------------------------

void vcUITablet::draw(const vc2Point& p, const vcGraphicProps& props, Layers layer) { draw(p.point(), props, layer); }

void vcUITablet::draw(const vcLineSeg& s, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) drawMapped(*drawScope_[layer], s, scaledMap_, props);
  record_<2>(layer, props, vfPayloadOf(s));
}

// The line is drawn as the segment of it that crosses the scope's rectangle:
// its parameter runs between the rectangle's edges, each moved on by half a
// pixel.
void vcUITablet::draw(const vcLine& l, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) {
    vcUIScope& scope = *drawScope_[layer];
    const vcLine m = l.map(scaledMap_);
    const double x0 = m.point().x(), y0 = m.point().y(), dx = m.direction().x(), dy = m.direction().y();
    const double left = static_cast<double>(scope.org().x()), top = static_cast<double>(scope.org().y());
    const vcPair<long> size = scope.size();
    const auto range = [](double from, double extent, double p0, double d) {
      return std::pair<double, double>((from - p0 + 0.5) / d, (from + extent - p0 + 0.5) / d);
    };
    std::pair<double, double> t;
    if (std::fabs(dx) < 1e-12) {
      t = range(top, static_cast<double>(size.y()), y0, dy);
    } else if (std::fabs(dy) < 1e-12) {
      t = range(left, static_cast<double>(size.x()), x0, dx);
    } else {
      const auto [ax, bx] = range(left, static_cast<double>(size.x()), x0, dx);
      const auto [ay, by] = range(top, static_cast<double>(size.y()), y0, dy);
      t = {std::max(std::min(ax, bx), std::min(ay, by)), std::min(std::max(ax, bx), std::max(ay, by))};
    }
    scope.drawStart(vcPoint(x0 + t.first * dx, y0 + t.first * dy));
    scope.drawTo(vcPoint(x0 + t.second * dx, y0 + t.second * dy), props);
  }
  record_<3>(layer, props, vfPayloadOf(l));
}

// The strokes are measured in whole surface pixels from the mapped center, so
// the cross keeps its size whatever the map's scale.
void vcUITablet::draw(const vcCross& c, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) {
    vcUIScope& scope = *drawScope_[layer];
    const vcCross m = c.map(scaledMap_);
    const double a = m.angle().norm().toDouble(), size = static_cast<double>(m.size());
    const long dx = static_cast<long>(std::trunc(size * std::cos(a)));
    const long dy = static_cast<long>(std::trunc(size * std::sin(a)));
    const double cx = m.center().x(), cy = m.center().y();
    scope.drawStart(vcPoint(cx + static_cast<double>(dx), cy + static_cast<double>(dy)));
    scope.drawToRelPels(-2 * dx, -2 * dy, props);
    scope.drawStart(vcPoint(cx - static_cast<double>(dy), cy + static_cast<double>(dx)));
    scope.drawToRelPels(2 * dy, -2 * dx, props);
  }
  record_<37>(layer, props, vc_ImagePayload<vcCross>{c});
}

void vcUITablet::draw(const vcCircle& c, const vcGraphicProps& props, Layers layer) {
  {
    const vc_RecordingOff off(recordOn_);
    draw(c.ellipse(), props, layer);
  }
  if (props.fill())
    record_<29>(layer, props, vfPayloadOf(c));
  else
    record_<4>(layer, props, vfPayloadOf(c));
}

void vcUITablet::draw(const vcAnnulus& a, const vcGraphicProps& props, Layers layer) {
  draw(a.outerCircle(), props, layer);
  draw(a.innerCircle(), props, layer);
}

void vcUITablet::draw(const vcEllipse& e, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) drawMapped(*drawScope_[layer], e, scaledMap_, props);
  if (props.fill())
    record_<30>(layer, props, vc_ImagePayload<vcEllipse>{e});
  else
    record_<5>(layer, props, vc_ImagePayload<vcEllipse>{e});
}

void vcUITablet::draw(const vcEllipseArc& a, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) drawMapped(*drawScope_[layer], a, scaledMap_, props);
  record_<6>(layer, props, vc_ImagePayload<vcEllipseArc>{a});
}

void vcUITablet::draw(const vcEllipse2& e, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) drawScope_[layer]->draw(e.map(vc2XformLinear(scaledMap_)), props);
  record_<45>(layer, props, vfPayloadOf(e));
}

void vcUITablet::draw(const vcEllipseArc2& a, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) drawScope_[layer]->draw(a.map(vc2XformLinear(scaledMap_)), props);
  record_<46>(layer, props, vfPayloadOf(a));
}

void vcUITablet::draw(const vcPolygon& p, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) drawMappedReusing(*drawScope_[layer], p, scaledMap_, props);
  if (recording()) record_<28>(layer, props, vc_PolygonPayload{static_cast<long>(p.fillMode()), p.vertices()});
}

void vcUITablet::draw(const vcPolyline& p, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) drawMappedReusing(*drawScope_[layer], p, scaledMap_, props);
  if (recording()) record_<44>(layer, props, vc_PolylinePayload{p.points(), p.isClosed()});
}

void vcUITablet::draw(const vcRect& r, const vcGraphicProps& props, Layers layer) {
  vfCheckRect(r);
  if (okToDraw(layer)) {
    vcUIScope& scope = *drawScope_[layer];
    const vcVector<2> o = r.origin(), c = r.corner();
    const std::array<vcVector<2>, 4> corners = {scaledMap_.mapPoint(o), scaledMap_.mapPoint(vcVector<2>(c.x(), o.y())),
                                                scaledMap_.mapPoint(c), scaledMap_.mapPoint(vcVector<2>(o.x(), c.y()))};
    if (props.fill()) {
      scope.draw(vcPolygon({corners.begin(), corners.end()}, vcPolygon::eWinding), props);
    } else {
      const vc_ScreenLock lock(scope);
      penOutline(scope, corners, props);
    }
  }
  record_<32>(layer, props, vfPayloadOf(r));
}

// Square corners go to the scope as an outline or a polygon, full rounding
// as the inscribed ellipse; only partial rounding needs the scope's own
// generalised-rectangle operation.
void vcUITablet::draw(const vcGenRect& r, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) {
    vcUIScope& scope = *drawScope_[layer];
    const vcGenRect m = r.map(scaledMap_);
    const vc_ScreenLock lock(scope);
    if (m.rounding().x() == 0.0 && m.rounding().y() == 0.0) {
      const vcGenRect::vcGenRectData d = m.data();
      const std::vector<vcVector<2>> corners(std::begin(d.corners), std::end(d.corners));
      if (props.fill())
        scope.draw(vcPolygon(corners, vcPolygon::eWinding), props);
      else
        penOutline(scope, corners, props);
    } else if (m.isEllipse()) {
      scope.draw(m.ellipse(), props);
    } else {
      scope.draw(m, props);
    }
  }
  if (props.fill())
    record_<31>(layer, props, vc_ImagePayload<vcGenRect>{r});
  else
    record_<8>(layer, props, vc_ImagePayload<vcGenRect>{r});
}

void vcUITablet::draw(const vcGenAnnulus& a, const vcGraphicProps& props, Layers layer) {
  {
    const vc_RecordingOff off(recordOn_);
    draw(a.inner(), props, layer);
    draw(a.outer(), props, layer);
  }
  record_<9>(layer, props, vc_ImagePayload<vcGenAnnulus>{a});
}

void vcUITablet::draw(const vcAffineRectangle& r, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) {
    const vcAffineRectangle m = r.map(scaledMap_);
    drawScope_[layer]->draw(vcPolygon({m.cornerPo(), m.cornerPx(), m.cornerPopp(), m.cornerPy()}, vcPolygon::eWinding),
                            props);
  }
  record_<27>(layer, props, vc_ImagePayload<vcAffineRectangle>{r});
}

void vcUITablet::draw(const vcCoordAxes& a, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) {
    const vc_ScreenLock lock(*drawScope_[layer]);
    const vc_RecordingOff off(recordOn_);
    draw(a.xAxis(), props, layer);
    draw(a.yAxis(), props, layer);
    if (!a.degen()) {
      const float arm = arrowArmLength(props);
      arrowHead(vcPoint(a.xEnd()), a.xEnd() - a.origin(), arm, props, layer);
      arrowHead(vcPoint(a.yEnd()), a.yEnd() - a.origin(), arm, props, layer);
    }
  }
  record_<10>(layer, props, vfPayloadOf(a));
}

// Two or more points also show the circle about point 0 through point 1 and
// the segment between them, each drawn and recorded as itself; the points
// themselves are dots of width 1.
void vcUITablet::draw(const vcPointSet& s, const vcGraphicProps& props, Layers layer) {
  const std::vector<vcVector<2>>& pts = s.points();
  // Checked before the circle and segment are drawn, so that a point the map
  // sends out of the doubles leaves nothing drawn or recorded.
  if (okToDraw(layer))
    for (const vcVector<2>& p : pts) vfCheckPosition(vcPoint(scaledMap_.mapPoint(p)), "point mapped to scope coordinates");
  if (pts.size() >= 2) {
    draw(vcCircle(pts[0], pts[0].distance(pts[1])), props, layer);
    draw(vcLineSeg(pts[0], pts[1]), props, layer);
  }
  if (okToDraw(layer)) {
    const vcGraphicProps dot(props.penColor(), 1, vcGraphicProps::ePenSolid, false);
    for (const vcVector<2>& p : pts) drawScope_[layer]->draw(vcPoint(scaledMap_.mapPoint(p)), dot);
  }
  for (const vcVector<2>& p : pts) record_<0>(layer, props, vc_PointPayload{p});
}

void vcUITablet::draw(const vcLineSegSet& s, const vcGraphicProps& props, Layers layer) {
  for (const vcLineSeg& seg : s.segments()) draw(seg, props, layer);
}

// The radial edges, then both ellipses, whole or as arcs over the section.
// Whole needs a signed span of a full turn: a negative one is drawn as arcs.
// A section whose ends point the same way to within 1/100 and that runs
// more than half way round is shown whole: the gap it leaves is below what
// its end directions resolve. The optional arrow sits midway between the
// ellipses at the middle of the section and points along its run (against
// it unless both the props and the section ask for forward arrows).
void vcUITablet::draw(const vcEllipseAnnulusSection& s, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer) && !s.degen()) {
    const vc_RecordingOff off(recordOn_);
    constexpr double kTurn = 2.0 * std::numbers::pi;
    const vcRadian start = s.start(), span = s.span(), end = start + span;
    draw(vcLineSeg(s.pointOnOuter(end), s.pointOnInner(end)), props, layer);
    draw(vcLineSeg(s.pointOnOuter(start), s.pointOnInner(start)), props, layer);
    const double extent = span.toDouble();
    if (extent >= kTurn - 1e-6 || (extent > std::numbers::pi && sameDirection(start, end))) {
      draw(s.outerEllipse(), props, layer);
      draw(s.innerEllipse(), props, layer);
    } else {
      draw(vcEllipseArc(s.outerEllipse(), start, span), props, layer);
      draw(vcEllipseArc(s.innerEllipse(), start, span), props, layer);
    }
    if (props.arrowHead()) {
      const vcRadian mid = start + std::clamp(span.toDouble(), -kTurn, kTurn) / 2.0;
      const auto between = [&s](const vcRadian& t) { return (s.pointOnOuter(t) + s.pointOnInner(t)) * 0.5; };
      vcVector<2> d = between(mid + 1e-10) - between(mid - 1e-10);
      if (span.toDouble() < 0.0) d = -d;
      if (!(props.arrowHeadForward() && s.forward())) d = -d;
      if (d.len2() > 0.0) arrowHead(vcPoint(between(mid)), d, arrowArmLength(props), props, layer);
    }
  }
  if (props.arrowHead() && props.arrowHeadForward())
    record_<7>(layer, props, vc_ImagePayload<vcEllipseAnnulusSection>{s});
  else
    record_<39>(layer, props,
            vc_SectionArrowPayload<vcEllipseAnnulusSection>{s, props.arrowHead(), props.arrowHeadForward()});
}

// Sampled to within one scope pixel: the tolerance is the client length that
// the map stretches to one pixel at most.
void vcUITablet::draw(const vcBezierCurve& c, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) {
    const double s = largestStretch(scaledMap_.matrix());
    vcShape::vcSampleParams params(0.0, 0.0, 2, false, true);
    params.spacing(0);
    params.tolerance(s == 0.0 ? 0.0 : 1.0 / s);
    params.maxPoints(5000);
    params.duplicateCorners(false);
    std::vector<vcVector<2>> points;
    points.reserve(500);
    c.sample(params, points);
    const vc_RecordingOff off(recordOn_);
    draw(vcPolyline(points, false), props, layer);
  }
  record_<42>(layer, props, vfPayloadOf(c));
}

void vcUITablet::draw(const vcCubicSpline& c, const vcGraphicProps& props, Layers layer) {
  {
    const vc_RecordingOff off(recordOn_);
    for (const vcBezierCurve& b : c.bezierCurves()) draw(b, props, layer);
  }
  if (!recording()) return;
  vc_CubicSplinePayload p;
  for (const vcBezierCurve& b : c.bezierCurves()) p.segments.push_back(vfPayloadOf(b));
  record_<43>(layer, props, p);
}

// ---- arrow heads ----------------------------------------------------------------------------

// Two arms from the tip, each length pixels long and at atan(1/2) from the
// reversed direction; the pen ends where it started, at the tip.
void vcUITablet::arrowHead(const vcPoint& tip, const vcVector<2>& direction, float length, const vcGraphicProps& props,
                           Layers layer) {
  vfCheckPosition(tip, "arrow tip");
  vfCheckPosition(vcPoint(direction), "arrow direction");
  if (!std::isfinite(length)) throw vcUIError::BadParams("vcUITablet: arrow length is not finite");
  if (okToDraw(layer)) {
    const vc_RecordingOff off(recordOn_);
    const vcVector<2> h(-0.5 * direction.y(), 0.5 * direction.x());
    drawStart(tip, layer);
    vcUIScope& scope = *drawScope_[layer];
    const vcPoint pen = scope.drawPoint();
    const vc_ScreenLock lock(scope);
    drawToRelPels(direction + h, -length, props, layer);
    scope.drawStart(pen);
    drawToRelPels(direction - h, -length, props, layer);
    scope.drawStart(pen);
  }
  record_<26>(layer, props, vc_ArrowPayload{vcVector<2>(tip), direction, length});
}

// ---- the color forms ----------------------------------------------------------------------

void vcUITablet::draw(const vcLineSeg& s, const vcColor& color, Layers layer) { draw(s, vfPropsOf(color), layer); }
void vcUITablet::draw(const vcLine& l, const vcColor& color, Layers layer) { draw(l, vfPropsOf(color), layer); }
void vcUITablet::draw(const vcCross& c, const vcColor& color, Layers layer) { draw(c, vfPropsOf(color), layer); }
void vcUITablet::draw(const vcEllipse& e, const vcColor& color, Layers layer, bool fill) {
  draw(e, vfPropsOf(color, fill), layer);
}
void vcUITablet::draw(const vcEllipseArc& a, const vcColor& color, Layers layer) { draw(a, vfPropsOf(color), layer); }
void vcUITablet::draw(const vcPolygon& p, const vcColor& color, Layers layer) { draw(p, vfPropsOf(color), layer); }
void vcUITablet::draw(const vcCircle& c, const vcColor& color, Layers layer, bool fill) {
  draw(c, vfPropsOf(color, fill), layer);
}
void vcUITablet::draw(const vcEllipseAnnulusSection& s, const vcColor& color, Layers layer, bool arrowHead,
                      bool arrowHeadForward) {
  vcGraphicProps p = vfPropsOf(color);
  p.arrowHead(arrowHead);
  p.arrowHeadForward(arrowHeadForward);
  draw(s, p, layer);
}
void vcUITablet::draw(const vcCoordAxes& a, const vcColor& color, Layers layer) { draw(a, vfPropsOf(color), layer); }
void vcUITablet::draw(const vcPointSet& s, const vcColor& color, Layers layer) { draw(s, vfPropsOf(color), layer); }
void vcUITablet::draw(const vcRect& r, const vcColor& color, Layers layer, bool fill) {
  draw(r, vfPropsOf(color, fill), layer);
}
void vcUITablet::draw(const vcGenRect& r, const vcColor& color, Layers layer, bool fill) {
  draw(r, vfPropsOf(color, fill), layer);
}
void vcUITablet::draw(const vcGenAnnulus& a, const vcColor& color, Layers layer) { draw(a, vfPropsOf(color), layer); }
void vcUITablet::draw(const vcAffineRectangle& r, const vcColor& color, Layers layer) {
  draw(r, vfPropsOf(color), layer);
}
void vcUITablet::draw(const vcAnnulus& a, const vcColor& color, Layers layer) {
  draw(vcGenAnnulus(a.center(), a.innerRadius(), a.outerRadius()), color, layer);
}

// The scope draws an application's shape itself, from the shape as given;
// the record carries what rebuilds it: its kind's identifier and its data.
void vcUITablet::draw(const vcGenShape& s, const vcColor& color, Layers layer) {
  // The data is copied only for a record.
  const vc_GenShapePayload payload = recording() ? vc_GenShapePayload{color, s.shapeID(), s.data()} : vc_GenShapePayload{};
  checkRecordable_<33>(payload);
  if (okToDraw(layer)) drawScope_[layer]->draw(s, color);
  record_<33>(layer, vfPropsOf(color), payload);
}

// ---- any shape ------------------------------------------------------------------------------

namespace {

// A transform applied after another, for chains that are not both linear.
class vc_ChainedXform : public vc2XformBase {
public:
  vc_ChainedXform(vcXformHandle outer, vcXformHandle inner) : outer_(std::move(outer)), inner_(std::move(inner)) {}

  vcVector<2> mapPoint(const vcVector<2>& p) const override { return outer_->mapPoint(inner_->mapPoint(p)); }
  vcXform<2> linearXform(const vcVector<2>& at) const override {
    return outer_->linearXform(inner_->mapPoint(at)) * inner_->linearXform(at);
  }
  bool isLinear() const override { return outer_->isLinear() && inner_->isLinear(); }
  vcXformHandle inverseBase() const override {
    return vcXformHandle(vfMakeHandle<vc_ChainedXform>(inner_->inverseBase(), outer_->inverseBase()));
  }
  vcPtrHandle<vc2XformBase> clone() const override {
    return vcPtrHandle<vc2XformBase>(vfMakeHandle<vc_ChainedXform>(*this));
  }

private:
  vcXformHandle outer_;
  vcXformHandle inner_;
};

// The composition of the accumulated transform with a mapped shape's own
// map: outer after inner. vc2XformBase has no composition of its own, so
// linear pairs multiply into one vc2XformLinear and others chain.
vcXformHandle compose(const vcXformHandle& outer, const vcXformHandle& inner) {
  if (outer->isLinear() && inner->isLinear()) {
    const vcXform<2> product = outer->linearXform(vcVector<2>()) * inner->linearXform(vcVector<2>());
    return vcXformHandle(vfMakeHandle<vc2XformLinear>(product));
  }
  return vcXformHandle(vfMakeHandle<vc_ChainedXform>(outer, inner));
}

// The affine transform that stands for x on shape: x itself when linear,
// else its approximation at the centre of the shape's bounding box (at the
// origin for shapes without one: infinite or empty ones).
vcXform<2> linearFor(const vc2XformBase& x, const vcShape& shape) {
  vcVector<2> at;
  if (!x.isLinear() && shape.isFinite()) {
    try {
      const vcRect box = shape.boundingBox();
      at = (box.origin() + box.corner()) * 0.5;
    } catch (const vcShapesError::DegenerateShape&) {
    }
  }
  return x.linearXform(at);
}

struct vc_Dispatch {
  vcUITablet& tablet;
  const vcGraphicProps& props;
  Layers layer;

  void shape(const vcShape& s, const vcXformHandle& acc);

  template <class S>
  void leaf(const S& s) {
    tablet.draw(s, props, layer);
  }
  void leaf(const vcEllipseAnnulus& a) {
    tablet.draw(a.outer(), props, layer);
    tablet.draw(a.inner(), props, layer);
  }

  // Draws s when it is an S, mapped by acc when there is one.
  template <class S>
  bool as(const vcShape& s, const vcXformHandle& acc) {
    const S* typed = dynamic_cast<const S*>(&s);
    if (!typed) return false;
    if (acc)
      leaf(typed->map(linearFor(*acc, s)));
    else
      leaf(*typed);
    return true;
  }
  template <class... S>
  bool anyOf(const vcShape& s, const vcXformHandle& acc) {
    return (as<S>(s, acc) || ...);
  }

  // The straight piece a contour tree implies between two members.
  void join(const vcVector<2>& from, const vcVector<2>& to, const vcXformHandle& acc) {
    if (!(from == to)) shape(vcLineSeg(from, to), acc);
  }
  void tree(const vcShapeTree& t, const vcXformHandle& acc);

  // Draws s through the registered class that claims it, if one does.
  bool registered(const vcShape& s, const vcXformHandle& acc) {
    for (const vc_ShapeClass& c : vf_registeredShapeClasses()) {
      if (!c.claims(s)) continue;
      if (acc) {
        const vcXform<2> map = linearFor(*acc, s);
        c.draw(tablet, s, &map, props, layer);
      } else {
        c.draw(tablet, s, nullptr, props, layer);
      }
      return true;
    }
    return false;
  }
};

void vc_Dispatch::shape(const vcShape& s, const vcXformHandle& acc) {
  if (const auto* mapped = dynamic_cast<const vcMappedShape*>(&s)) {
    if (!mapped->overallMapXform()) throw vcBadPointer("vcUITablet::draw: a mapped shape without a transform");
    if (!mapped->underlyingShape()) throw vcBadPointer("vcUITablet::draw: a mapped shape without a shape");
    shape(*mapped->underlyingShape(), acc ? compose(acc, mapped->overallMapXform()) : mapped->overallMapXform());
    return;
  }
  if (const auto* t = dynamic_cast<const vcShapeTree*>(&s)) {
    tree(*t, acc);
    return;
  }
  // The generic draw's leaf types in their order of precedence, then the
  // other shapes that have a typed overload.
  anyOf<vc2Point, vcLineSeg, vcLine, vcRect, vcCircle, vcAnnulus, vcEllipseArc2, vcEllipse2, vcGenRect, vcGenAnnulus,
        vcPolyline, vcAffineRectangle, vcBezierCurve, vcDeBoorSpline, vcInterpSpline, vcHermiteSpline, vcEllipseAnnulus,
        vcLineSegSet>(s, acc) ||
      anyOf<vcEllipse, vcEllipseArc, vcPolygon, vcCross, vcPointSet, vcCoordAxes, vcEllipseAnnulusSection>(s, acc) ||
      registered(s, acc);
}

void vc_Dispatch::tree(const vcShapeTree& t, const vcXformHandle& acc) {
  if (const auto* region = dynamic_cast<const vcRegionTree*>(&t); region && !(region->isHole() && region->isRoot())) {
    if (!region->boundary()) throw vcBadPointer("vcUITablet::draw: a region tree without a boundary");
    shape(*region->boundary(), acc);
  }
  const auto* contour = dynamic_cast<const vcContourTree*>(&t);
  const long n = t.numChildren();
  for (long i = 0; i < n; ++i) {
    const vcShape& child = *t.child(i);
    shape(child, acc);
    if (!contour) continue;
    if (i + 1 < n)
      join(child.endPoint(), t.child(i + 1)->startPoint(), acc);
    else if (contour->isClosed())
      join(child.endPoint(), t.child(0)->startPoint(), acc);
  }
}

}  // namespace

void vcUITablet::draw(const vcShape& shape, const vcGraphicProps& props, Layers layer) {
  vc_Dispatch{*this, props, layer}.shape(shape, vcXformHandle());
}

// Only the library's own graphics are known to draw through this tablet.
void vcUITablet::draw(const vcGraphic& g, Layers layer) {
  if (!g.builtin()) throw vcUIError::NotImplemented();
  g.draw(*this, layer);
}
