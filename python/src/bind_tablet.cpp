// vcUITablet: drawing in client coordinates onto scopes (one per layer),
// recording every call into its sketch. A tablet keeps the Python objects of
// its scopes and of its parent alive, so none can be freed under it.
#include <vc/core/circle.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/graphic.h>
#include <vc/uiscope.h>
#include <vc/uistring.h>
#include <vc/uitablet.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

#include "vcpy.h"
#include "vcpy_image.h"

namespace {

using Layers = vcUITabletTypes::Layers;

// Each shape draws with props or with a color, as in C++.
template <class Shape>
void defShapeDraw(py::class_<vcUITablet, vcUITabletTypes>& c) {
  c.def("draw", py::overload_cast<const Shape&, const vcGraphicProps&, Layers>(&vcUITablet::draw), py::arg("shape"),
        py::arg("props"), py::arg("layer"));
}

// A (height, width, 4) uint8 array as 32-bit RGB pixels (bytes B, G, R,
// spare: the order of the Cairo scope's surface array), without copying.
vcPelBuffer<vcPackedRGB32Pel> rgbOfArray(const py::array& a) {
  const vc_PyArrayView v = vc_py_checkedArray(a, 3, 4, "vcUITablet.draw");
  return vcPelBuffer<vcPackedRGB32Pel>::wrap(reinterpret_cast<vcPackedRGB32Pel*>(v.data), v.width, v.height,
                                             v.rowStride / 4, vc_py_keepAlive(a));
}

unsigned char pass8(unsigned long v) {
  if (v > 255) throw py::value_error("passValue of an 8-bit image must be 0 to 255");
  return static_cast<unsigned char>(v);
}

}  // namespace

void vc_py_bindTablet(py::module_& m) {
  py::class_<vcUIScope>(m, "vcUIScope", "A pixel surface that tablets draw on (see vcCairoScope).")
      .def("size", &vcUIScope::size, "(width, height) in pixels.")
      .def("org", &vcUIScope::org, "The scope coordinate shown at surface pixel (0, 0).")
      .def("isNull", &vcUIScope::isNull)
      .def("changeRect", &vcUIScope::changeRect)
      .def("modified", py::overload_cast<>(&vcUIScope::modified, py::const_));

  py::class_<vcUITablet, vcUITabletTypes> t(m, "vcUITablet",
                                            "The client-coordinate drawing surface. Every drawing call draws (when "
                                            "visible, with drawing on and a scope for the layer) and records into "
                                            "sketch() (when recordOn() is on).");
  t.def(py::init<>(), "A tablet without scopes that records but does not draw (a sketch builder).")
      .def(py::init<vcUIScope*, vcUIScope*>(), py::arg("image"), py::arg("overlay") = nullptr, py::keep_alive<1, 2>(),
           py::keep_alive<1, 3>(),
           "A root tablet drawing on the given scopes (either may be None). It draws, does not record, and is "
           "hidden until visible(True).")
      .def(py::init<vcUITablet&, const vcUIRect&>(), py::arg("parent"), py::arg("rect"), py::keep_alive<1, 2>(),
           "A child covering rect (the parent's scope pixels).")
      // Python owns every scope, so the tablet never does.
      .def("setScope", [](vcUITablet& tab, Layers layer, vcUIScope* scope) { tab.setScope(layer, scope, false); },
           py::arg("layer"), py::arg("scope"), py::keep_alive<1, 3>(),
           "Gives a root tablet a new scope for one layer (None: no scope).")
      .def("parent", &vcUITablet::parent, py::return_value_policy::reference)
      .def("numKids", &vcUITablet::numKids)
      .def("scopeRect", py::overload_cast<>(&vcUITablet::scopeRect, py::const_))
      .def("baseMap", py::overload_cast<>(&vcUITablet::baseMap, py::const_))
      .def("baseMap", py::overload_cast<const vcXform<2>&>(&vcUITablet::baseMap), py::arg("m"),
           py::return_value_policy::reference_internal, "Client coordinates to unscaled scope coordinates.")
      .def("scaleMode", py::overload_cast<>(&vcUITablet::scaleMode, py::const_))
      .def("scaleExact", py::overload_cast<>(&vcUITablet::scaleExact, py::const_))
      .def("scaleExact", py::overload_cast<const vcPair<double>&>(&vcUITablet::scaleExact), py::arg("s"),
           py::return_value_policy::reference_internal)
      .def("scaledMap", &vcUITablet::scaledMap, "Client coordinates to scope coordinates.")
      .def("scopeCoords", &vcUITablet::scopeCoords, py::arg("p"))
      .def("tabletCoords", &vcUITablet::tabletCoords, py::arg("p"))
      .def("visible", py::overload_cast<>(&vcUITablet::visible, py::const_))
      .def("visible", py::overload_cast<bool>(&vcUITablet::visible), py::arg("show"))
      .def("drawOn", &vcUITablet::drawOn, py::return_value_policy::reference_internal)
      .def("drawOnOverlay", &vcUITablet::drawOnOverlay, py::return_value_policy::reference_internal)
      .def("recordOn", &vcUITablet::recordOn, py::return_value_policy::reference_internal)
      .def("sketch", py::overload_cast<>(&vcUITablet::sketch), py::return_value_policy::reference_internal,
           "The sketch this tablet records into (a live view).")
      // Primitives.
      .def("drawPixel", &vcUITablet::drawPixel, py::arg("p"), py::arg("color"), py::arg("layer"))
      .def("drawLineSeg", &vcUITablet::drawLineSeg, py::arg("p1"), py::arg("p2"), py::arg("color"), py::arg("layer"))
      .def("drawLine", &vcUITablet::drawLine, py::arg("p"), py::arg("angle"), py::arg("color"), py::arg("layer"))
      .def("drawCircle", &vcUITablet::drawCircle, py::arg("center"), py::arg("radius"), py::arg("color"),
           py::arg("layer"), py::arg("fill") = false)
      .def("drawEllipse", &vcUITablet::drawEllipse, py::arg("center"), py::arg("radii"), py::arg("rotation"),
           py::arg("color"), py::arg("layer"), py::arg("fill") = false)
      .def("drawEllipseArc", &vcUITablet::drawEllipseArc, py::arg("center"), py::arg("radii"), py::arg("rotation"),
           py::arg("a1"), py::arg("a2"), py::arg("color"), py::arg("layer"))
      .def("drawPolygon", &vcUITablet::drawPolygon, py::arg("vertices"), py::arg("mode"), py::arg("color"),
           py::arg("layer"))
      .def("drawRect", &vcUITablet::drawRect, py::arg("p1"), py::arg("p2"), py::arg("color"), py::arg("layer"),
           py::arg("fill") = false)
      .def("drawCross", &vcUITablet::drawCross, py::arg("p"), py::arg("angle"), py::arg("color"), py::arg("layer"))
      .def("drawStart", &vcUITablet::drawStart, py::arg("p"), py::arg("layer"))
      .def("drawTo", py::overload_cast<const vcPoint&, const vcGraphicProps&, Layers>(&vcUITablet::drawTo),
           py::arg("p"), py::arg("props"), py::arg("layer"))
      .def("drawPointIcon",
           py::overload_cast<const vcPoint&, const vcGraphicProps&, Layers>(&vcUITablet::drawPointIcon), py::arg("p"),
           py::arg("props"), py::arg("layer"))
      .def("arrowHead", &vcUITablet::arrowHead, py::arg("tip"), py::arg("direction"), py::arg("length"),
           py::arg("props"), py::arg("layer"))
      // Areas.
      .def("set", py::overload_cast<const vcColor&, Layers>(&vcUITablet::set), py::arg("color"), py::arg("layer"),
           "Fills the whole layer; a recording tablet starts its sketch afresh.")
      .def("set", py::overload_cast<const vcRect&, const vcColor&, Layers>(&vcUITablet::set), py::arg("rect"),
           py::arg("color"), py::arg("layer"), "Fills rect (client coordinates).")
      .def("set", py::overload_cast<const vcUIRect&, const vcColor&, Layers>(&vcUITablet::set), py::arg("rect"),
           py::arg("color"), py::arg("layer"), "Fills rect (scope pixels).")
      .def("outline", py::overload_cast<const vcRect&, const vcColor&, long, Layers>(&vcUITablet::outline),
           py::arg("rect"), py::arg("color"), py::arg("width"), py::arg("layer"))
      .def("fill", py::overload_cast<const vcPoint&, const vcColor&, const vcColor&, vcUITabletTypes::FillType, Layers>(
                       &vcUITablet::fill),
           py::arg("seed"), py::arg("color"), py::arg("color2"), py::arg("type"), py::arg("layer"))
      .def("erase", py::overload_cast<Layers>(&vcUITablet::erase), py::arg("layer"))
      .def("drawClipRect", &vcUITablet::drawClipRect, py::arg("rect"), py::arg("layer"))
      // Text and images.
      .def("draw",
           py::overload_cast<const std::string&, const vcPoint&, const vcColor&, const vcColor&, const vcUIFormat&,
                             Layers>(&vcUITablet::draw),
           py::arg("text"), py::arg("p"), py::arg("color"), py::arg("background"), py::arg("format"),
           py::arg("layer"))
      .def("draw",
           [](vcUITablet& tab, const vcPelBuffer<unsigned char>& image, const vcPoint& p, bool passThrough,
              unsigned long passValue, bool mapped, Layers layer) {
             tab.draw(image, p, passThrough, pass8(passValue), mapped, layer);
           },
           py::arg("image"), py::arg("p"), py::arg("passThrough") = false, py::arg("passValue") = 0,
           py::arg("mapped") = false, py::arg("layer") = vcUITabletTypes::eImage,
           "Draws an 8-bit image with its upper-left corner at client point p.")
      .def("draw",
           [](vcUITablet& tab, const py::array& image, const vcPoint& p, bool passThrough, unsigned long passValue,
              bool mapped, Layers layer) {
             if (image.ndim() == 2)
               tab.draw(vc_py_bufferOfArray(image), p, passThrough, pass8(passValue), mapped, layer);
             else
               tab.draw(rgbOfArray(image), p, passThrough, passValue, layer);
           },
           py::arg("image"), py::arg("p"), py::arg("passThrough") = false, py::arg("passValue") = 0,
           py::arg("mapped") = false, py::arg("layer") = vcUITabletTypes::eImage,
           "Draws a NumPy image, not copied, with its upper-left corner at client point p: a (height, width) "
           "uint8 array as 8-bit pixels, or a (height, width, 4) uint8 array of B, G, R, spare bytes (the order "
           "of vcCairoScope.surfaceArray()) as RGB pixels, whose passValue is r * 65536 + g * 256 + b.")
      .def("draw",
           [](vcUITablet& tab, const vcUISketch& sketch, const vcPoint& offset, Layers layer) {
             py::gil_scoped_release unlocked;
             tab.draw(sketch, offset, layer);
           },
           py::arg("sketch"), py::arg("offset"), py::arg("layer"),
           "Replays a sketch, client points shifted by offset; malformed records raise vcUIError.")
      .def("draw", py::overload_cast<const vcGraphic&, Layers>(&vcUITablet::draw), py::arg("graphic"),
           py::arg("layer"))
      .def("encloseRect", &vcUITablet::encloseRect, py::arg("sketch"), py::arg("offset"), py::arg("layer"));
  defShapeDraw<vcPoint>(t);
  defShapeDraw<vcLineSeg>(t);
  defShapeDraw<vcCircle>(t);
  defShapeDraw<vcRect>(t);
  defShapeDraw<vcPolygon>(t);
  defShapeDraw<vc2Wireframe>(t);
  defShapeDraw<vcGenPoly>(t);
}
