// The shape graphics: the members of vcGraphicBuiltin, vcGraphicSimple and
// vcGraphicWithFill (graphic_shapes_impl.h), compiled once here for the
// instances the library offers.
#include "graphic_shapes_impl.h"

// ---- the instances -----------------------------------------------------------

template class vcGraphicBuiltin<vcPoint>;
template class vcGraphicBuiltin<vc2Point>;
template class vcGraphicBuiltin<vcLineSeg>;
template class vcGraphicBuiltin<vcLine>;
template class vcGraphicBuiltin<vcFLine>;
template class vcGraphicBuiltin<vcRect>;
template class vcGraphicBuiltin<vcCircle>;
template class vcGraphicBuiltin<vcAnnulus>;
template class vcGraphicBuiltin<vcEllipseArc2>;
template class vcGraphicBuiltin<vcEllipse2>;
template class vcGraphicBuiltin<vcGenRect>;
template class vcGraphicBuiltin<vcGenAnnulus>;
template class vcGraphicBuiltin<vcPolyline>;
template class vcGraphicBuiltin<vcAffineRectangle>;
template class vcGraphicBuiltin<vcBezierCurve>;
template class vcGraphicBuiltin<vcDeBoorSpline>;
template class vcGraphicBuiltin<vcInterpSpline>;
template class vcGraphicBuiltin<vcHermiteSpline>;
template class vcGraphicBuiltin<vcEllipseAnnulus>;
template class vcGraphicBuiltin<vcLineSegSet>;
template class vcGraphicBuiltin<vcCoordAxes>;
template class vcGraphicBuiltin<vcPointSet>;
template class vcGraphicBuiltin<vcPolygon>;
template class vcGraphicBuiltin<vcEllipseArc>;
template class vcGraphicBuiltin<vcEllipse>;

template class vcGraphicSimple<vcPoint>;
template class vcGraphicSimple<vc2Point>;
template class vcGraphicSimple<vcLineSeg>;
template class vcGraphicSimple<vcLine>;
template class vcGraphicSimple<vcFLine>;
template class vcGraphicSimple<vcEllipseArc2>;
template class vcGraphicSimple<vcGenAnnulus>;
template class vcGraphicSimple<vcPolyline>;
template class vcGraphicSimple<vcAffineRectangle>;
template class vcGraphicSimple<vcBezierCurve>;
template class vcGraphicSimple<vcDeBoorSpline>;
template class vcGraphicSimple<vcInterpSpline>;
template class vcGraphicSimple<vcHermiteSpline>;
template class vcGraphicSimple<vcLineSegSet>;
template class vcGraphicSimple<vcCoordAxes>;
template class vcGraphicSimple<vcPointSet>;
template class vcGraphicSimple<vcPolygon>;
template class vcGraphicSimple<vcEllipseArc>;

template class vcGraphicWithFill<vcRect, vcGenRect>;
template class vcGraphicWithFill<vcCircle, vcEllipse2>;
template class vcGraphicWithFill<vcAnnulus, vcGenAnnulus>;
template class vcGraphicWithFill<vcEllipse2, vcEllipse2>;
template class vcGraphicWithFill<vcGenRect, vcGenRect>;
template class vcGraphicWithFill<vcGenAnnulus, vcGenAnnulus>;
template class vcGraphicWithFill<vcEllipseAnnulus, vcEllipseAnnulus>;
template class vcGraphicWithFill<vcCircle, vcEllipse>;
template class vcGraphicWithFill<vcEllipse, vcEllipse>;
