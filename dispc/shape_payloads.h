// The shapes that sketch records carry as their own fields rather than as a
// shape image: one codec per shape turns it into its payload (for the
// tablet's recorder and for archive loads) and builds it back (for replay,
// which so validates it through the shape's constructor).
#pragma once

#include <cmath>
#include <string>

#include <vc/core/bezier.h>
#include <vc/core/circle.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/exception.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>

#include "payloads.h"

template <class S>
struct vc_ShapeCodec;

template <>
struct vc_ShapeCodec<vcLineSeg> {
  using Payload = vc_TwoVectorPayload;
  static Payload of(const vcLineSeg& s) { return {s.p1(), s.p2()}; }
  static vcLineSeg shape(const Payload& p) { return vcLineSeg(p.a, p.b); }
};

// A line's payload holds its direction, then its point.
template <>
struct vc_ShapeCodec<vcLine> {
  using Payload = vc_TwoVectorPayload;
  static Payload of(const vcLine& l) { return {l.direction(), l.point()}; }
  static vcLine shape(const Payload& p) { return vcLine(p.a, p.b); }
};

template <>
struct vc_ShapeCodec<vcCircle> {
  using Payload = vc_CirclePayload;
  static Payload of(const vcCircle& c) { return {c.center(), c.radius()}; }
  static vcCircle shape(const Payload& p) { return vcCircle(p.center, p.radius); }
};

template <>
struct vc_ShapeCodec<vcCoordAxes> {
  using Payload = vc_ThreeVectorPayload;
  static Payload of(const vcCoordAxes& a) { return {a.origin(), a.xEnd(), a.yEnd()}; }
  static vcCoordAxes shape(const Payload& p) { return vcCoordAxes(p.a, p.b, p.c); }
};

template <>
struct vc_ShapeCodec<vcBezierCurve> {
  using Payload = vc_BezierPayload;
  static Payload of(const vcBezierCurve& c) {
    Payload p;
    for (int i = 0; i < 4; ++i) {
      p.points[i] = c.controlPoint(i);
      p.weights[i] = c.weight(i);
    }
    return p;
  }
  static vcBezierCurve shape(const Payload& p) {
    return vcBezierCurve(vcBezierCurve::Points{p.points[0], p.points[1], p.points[2], p.points[3]},
                         vcBezierCurve::Weights{p.weights[0], p.weights[1], p.weights[2], p.weights[3]});
  }
};

template <>
struct vc_ShapeCodec<vcEllipse2> {
  using Payload = vc_Ellipse2Payload;
  static Payload of(const vcEllipse2& e) { return {e.radii(), e.rotation().toDouble(), e.center()}; }
  static vcEllipse2 shape(const Payload& p) { return vcEllipse2(p.radii, vcRadian(p.rotation), p.center); }
};

template <>
struct vc_ShapeCodec<vcEllipseArc2> {
  using Payload = vc_EllipseArc2Payload;
  static Payload of(const vcEllipseArc2& a) {
    return {a.radii(),          a.rotation().toDouble(), a.center(),
            a.handedness(),     a.phase().toDouble(),    a.start().toDouble(),
            a.span().toDouble()};
  }
  static vcEllipseArc2 shape(const Payload& p) {
    return vcEllipseArc2(p.radii, vcRadian(p.rotation), p.center, p.handedness, vcRadian(p.phase), vcRadian(p.start),
                         vcRadian(p.span));
  }
};

// vcRect takes any doubles; a record's four must be finite.
template <>
struct vc_ShapeCodec<vcRect> {
  using Payload = vc_RectPayload;
  static Payload of(const vcRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
  static vcRect shape(const Payload& p) {
    for (double v : {p.x, p.y, p.w, p.h})
      if (!std::isfinite(v)) throw vcShapesError::BadGeom("sketch record: rectangle value is not finite");
    return vcRect(p.x, p.y, p.w, p.h);
  }
};

// A polygon record's fill mode field as the polygon takes it; any other
// value throws vcShapesError::BadGeom.
inline vcPolygon::PolyFillMode vfPolygonFillMode(long mode) {
  if (mode != vcPolygon::eEvenOdd && mode != vcPolygon::eWinding)
    throw vcShapesError::BadGeom("sketch record: polygon fill mode " + std::to_string(mode));
  return static_cast<vcPolygon::PolyFillMode>(mode);
}

// Shapes recorded as their fixed-size image.
template <class S>
struct vc_ImageCodec {
  using Payload = vc_ImagePayload<S>;
  static Payload of(const S& s) { return {s}; }
  static S shape(const Payload& p) { return p.shape; }
};

// The payload that records s.
template <class S>
typename vc_ShapeCodec<S>::Payload vfPayloadOf(const S& s) {
  return vc_ShapeCodec<S>::of(s);
}
