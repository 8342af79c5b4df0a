// The graphics of generalised polygons and wireframes, and their steps of
// vcGraphic::makeShapeGraphic.
#include <vc/wrfm/graphic_wrfm.h>

#include "graphic_shapes_impl.h"
#include "graphic_steps.h"

template class vcGraphicBuiltin<vcGenPoly>;
template class vcGraphicBuiltin<vc2Wireframe>;
template class vcGraphicSimple<vcGenPoly>;
template class vcGraphicSimple<vc2Wireframe>;

namespace {

// Step 13 leaves wireframes to step 14: as a poly graphic a wireframe would
// archive and record as a plain poly.
vcPtrHandle<vcGraphic> genPolyGraphic(const vcShape& shape, const vcGraphicProps& props) {
  const auto* g = dynamic_cast<const vcGenPoly*>(&shape);
  if (!g || dynamic_cast<const vc2Wireframe*>(&shape)) return vcPtrHandle<vcGraphic>();
  return vcPtrHandle<vcGraphic>(new vcGraphicSimple<vcGenPoly>(*g, props));
}

vcPtrHandle<vcGraphic> wireframeGraphic(const vcShape& shape, const vcGraphicProps& props) {
  const auto* w = dynamic_cast<const vc2Wireframe*>(&shape);
  if (!w) return vcPtrHandle<vcGraphic>();
  return vcPtrHandle<vcGraphic>(new vcGraphicSimple<vc2Wireframe>(*w, props));
}

const vc_ShapeGraphicStep kGenPolyStep(13, &genPolyGraphic);
const vc_ShapeGraphicStep kWireframeStep(14, &wireframeGraphic);

}  // namespace
