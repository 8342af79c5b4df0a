// How graphics of shape classes defined above the display layer (generalised
// polygons, step 13, and wireframes, step 14) join vcGraphic::makeShapeGraphic.
#pragma once

#include <vc/graphic.h>

// Returns the graphic of shape with props when shape is of the maker's class,
// else a null handle.
using vc_ShapeGraphicMaker = vcPtrHandle<vcGraphic> (*)(const vcShape& shape, const vcGraphicProps& props);

// A static object of this type, in the file that defines the graphic, adds its
// maker to the factory at the given step; lower steps are tried first.
struct vc_ShapeGraphicStep {
  vc_ShapeGraphicStep(int number, vc_ShapeGraphicMaker make);
};
