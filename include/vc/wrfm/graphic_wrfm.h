// The shape graphics of generalised polygons and wireframes (see
// <vc/graphic_shapes.h>): the item in client coordinates, drawn through the
// tablet's vcGenPoly and vc2Wireframe overloads, mapped by the item's own
// map, archived as the item's persistent form. vcGraphic::makeShapeGraphic
// makes them at its steps 13 (vcGenPoly) and 14 (vc2Wireframe); a wireframe
// gets the wireframe graphic, so that it keeps its class and polarity.
#pragma once

#include <vc/graphic_shapes.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

extern template class vcGraphicBuiltin<vcGenPoly>;
extern template class vcGraphicBuiltin<vc2Wireframe>;
extern template class vcGraphicSimple<vcGenPoly>;
extern template class vcGraphicSimple<vc2Wireframe>;
