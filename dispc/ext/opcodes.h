// The sketch opcodes, each described once: number, name, payload layout
// (payloads.h) and the payload's size when it is fixed. The record-class
// factory, the names tools print, the number of opcode slots and the
// opcode -> payload trait that the tablet's recorder checks all come from
// these rows. Numbers are frozen: stored sketches use them.
#pragma once

#include <algorithm>

#include <vc/core/affinerect.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/points.h>

#include "payloads.h"

// The size column of a payload whose length depends on its contents.
inline constexpr long kVariablePayload = -1;

// X(opcode, name, payload type, fixed payload size in bytes, record class)
#define VC_SKETCH_OPCODES(X) \
  X(0, Point, vc_PointPayload, 16, vc_UISketchOpPoint) \
  X(1, PointIcon, vc_PointPayload, 16, vc_UISketchOpPointIcon) \
  X(2, LineSeg, vc_TwoVectorPayload, 32, vc_UISketchOpLineSeg) \
  X(3, Line, vc_TwoVectorPayload, 32, vc_UISketchOpLine) \
  X(4, Circle, vc_CirclePayload, 24, vc_UISketchOpCircle) \
  X(5, Ellipse, vc_ImagePayload<vcEllipse>, vcEllipse::kImageSize, vc_UISketchOpEllipse) \
  X(6, EllipseArc, vc_ImagePayload<vcEllipseArc>, vcEllipseArc::kImageSize, vc_UISketchOpEllipseArc) \
  X(7, EllipseAnnSect, vc_ImagePayload<vcEllipseAnnulusSection>, vcEllipseAnnulusSection::kImageSize, \
    vc_UISketchOpEllipseAnnSect) \
  X(8, GenRect, vc_ImagePayload<vcGenRect>, vcGenRect::kImageSize, vc_UISketchOpGenRect) \
  X(9, GenAnn, vc_ImagePayload<vcGenAnnulus>, vcGenAnnulus::kImageSize, vc_UISketchOpGenAnn) \
  X(10, CoordAxes, vc_ThreeVectorPayload, 48, vc_UISketchOpCoordAxes) \
  X(11, String, vc_StringPayload, kVariablePayload, vc_UISketchOpString) \
  X(12, PelBuf8, vc_PelBuf8Payload, kVariablePayload, vc_UISketchOpPelBuf8) \
  X(14, RleBuf, vc_RleBufPayload, kVariablePayload, vc_UISketchOpRleBuf) \
  X(15, Sketch, vc_SketchPayload, kVariablePayload, vc_UISketchOpSketch) \
  X(16, Set, vc_AreaRect, kVariablePayload, vc_UISketchOpSet) \
  X(17, SetAll, vc_EmptyPayload, 0, vc_UISketchOpSetAll) \
  X(18, SetComp, vc_AreaRect, kVariablePayload, vc_UISketchOpSetComp) \
  X(19, Fill, vc_FillPayload, kVariablePayload, vc_UISketchOpFill) \
  X(20, DrawStart, vc_PointPayload, 16, vc_UISketchOpDrawStart) \
  X(21, DrawTo, vc_PointPayload, 16, vc_UISketchOpDrawTo) \
  X(22, DrawToRelPels, vc_PelOffsetPayload, 8, vc_UISketchOpDrawToRelPels) \
  X(23, MoveToRelPels, vc_PelOffsetPayload, 8, vc_UISketchOpMoveToRelPels) \
  X(25, Outline3d, vc_Outline3dPayload, kVariablePayload, vc_UISketchOpOutline3d) \
  X(26, Arrow, vc_ArrowPayload, 36, vc_UISketchOpArrow) \
  X(27, AffineRect, vc_ImagePayload<vcAffineRectangle>, vcAffineRectangle::kImageSize, vc_UISketchOpAffineRect) \
  X(28, Polygon, vc_PolygonPayload, kVariablePayload, vc_UISketchOpPolygon) \
  X(29, Circle, vc_CirclePayload, 24, vc_UISketchOpCircle) \
  X(30, Ellipse, vc_ImagePayload<vcEllipse>, vcEllipse::kImageSize, vc_UISketchOpEllipse) \
  X(31, GenRect, vc_ImagePayload<vcGenRect>, vcGenRect::kImageSize, vc_UISketchOpGenRect) \
  X(32, Rect, vc_RectPayload, 32, vc_UISketchOpRect) \
  X(33, GenShape, vc_GenShapePayload, kVariablePayload, vc_UISketchOpGenShape) \
  X(34, GenPoly, vc_GenPolyPayload, kVariablePayload, vc_UISketchOpGenPoly) \
  X(35, UnicodeString, vc_UnicodeStringPayload, kVariablePayload, vc_UISketchOpUnicodeString) \
  X(37, Cross, vc_ImagePayload<vcCross>, vcCross::kImageSize, vc_UISketchOpCross) \
  X(38, GenPoly, vc_GenPolyPayload, kVariablePayload, vc_UISketchOpGenPoly) \
  X(39, EllipseAnnSectArrowheadFlag, vc_SectionArrowPayload<vcEllipseAnnulusSection>, \
    vcEllipseAnnulusSection::kImageSize + 2, vc_UISketchOpEllipseAnnSectArrowheadFlag) \
  X(41, Wireframe, vc_GenPolyPayload, kVariablePayload, vc_UISketchOpWireframe) \
  X(42, BezierCurve, vc_BezierPayload, 96, vc_UISketchOpBezierCurve) \
  X(43, CubicSpline, vc_CubicSplinePayload, kVariablePayload, vc_UISketchOpCubicSpline) \
  X(44, Polyline, vc_PolylinePayload, kVariablePayload, vc_UISketchOpPolyline) \
  X(45, Ellipse2, vc_Ellipse2Payload, 40, vc_UISketchOpEllipse2) \
  X(46, EllipseArc2, vc_EllipseArc2Payload, 65, vc_UISketchOpEllipseArc2) \
  X(47, ClipRect, vc_RectPayload, 32, vc_UISketchOpClipRect)

// Numbers taken by no record class (X(opcode, name)): the props marker (the
// record that precedes a head, not a record of its own).
#define VC_SKETCH_RESERVED_OPCODES(X) X(40, Props)

#define VC_SKETCH_OPCODE_NUMBER_(op, ...) op,

// Opcodes 0 .. kSketchOpcodeSlots-1 can name a record; the stream's byte
// holds more.
inline constexpr long kSketchOpcodeSlots =
    std::max({VC_SKETCH_OPCODES(VC_SKETCH_OPCODE_NUMBER_) VC_SKETCH_RESERVED_OPCODES(VC_SKETCH_OPCODE_NUMBER_)}) + 1;

// The payload of opcode Op and its fixed size (kVariablePayload when it
// has none). An opcode without a row has no definition, so recording it does
// not compile.
template <int Op>
struct vc_OpPayload;

#define VC_SKETCH_OPCODE_TRAIT_(op, name, P, size, R) \
  template <>                                      \
  struct vc_OpPayload<op> {                        \
    using type = P;                                \
    static constexpr long kFixedSize = size;       \
  };
VC_SKETCH_OPCODES(VC_SKETCH_OPCODE_TRAIT_)
#undef VC_SKETCH_OPCODE_TRAIT_
