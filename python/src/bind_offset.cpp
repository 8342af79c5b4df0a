// Exact offsets of SMD outlines, courtyards and profile tolerance zones.
// Distances, tolerances and points are client units of the polys.
#include <vc/glist.h>
#include <vc/uitablet.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdzone.h>

#include "vcpy.h"

namespace {

using PP = vcSMDGDPolyPrivate;
using MP = vcSMDGDModelPrivate;
using Zone = vcSMDToleranceZone;
using Buffer = vcPelBuffer<unsigned char>;

}  // namespace

void vc_py_bindOffsets(py::module_& m) {
  auto pp = py::reinterpret_borrow<py::class_<PP>>(m.attr("vcSMDGDPolyPrivate"));
  py::enum_<PP::OffsetJoin>(pp, "OffsetJoin", "How offsets turn round the corners they grow around.")
      .value("eRoundJoin", PP::eRoundJoin)
      .value("eMitreJoin", PP::eMitreJoin)
      .value("eSquareJoin", PP::eSquareJoin)
      .export_values();
  pp.def_static("offset", &PP::offset, py::arg("p"), py::arg("distance"), py::arg("join") = PP::eRoundJoin,
                py::arg("mitreLimit") = 2.0,
                "The exact offset of p by distance (> 0 grows, < 0 shrinks; an open p gives its band) as a list "
                "of closed polys: empty when it vanishes, several when it splits.")
      .def_static("offsetUnion", &PP::offsetUnion, py::arg("polys"), py::arg("distance"),
                  "The outline of the union of the polys grown by distance (> 0), as a list of closed polys.")
      .def_static("signedDistance", &PP::signedDistance, py::arg("p"), py::arg("pt"),
                  "Distance from pt to p's outline, negative inside a closed p.");
  auto mp = py::reinterpret_borrow<py::class_<MP>>(m.attr("vcSMDGDModelPrivate"));
  mp.def_static("offset", &MP::offset, py::arg("m"), py::arg("distance"), "Every poly offset by distance.")
      .def_static("courtyard", &MP::courtyard, py::arg("m"), py::arg("clearance"),
                  "The outline of the union of every poly grown by clearance (> 0).");

  py::class_<Zone> zone(m, "vcSMDToleranceZone",
                        "The profile tolerance zone of width tolerance centred on a model's outlines.");
  py::class_<Zone::Report>(zone, "Report", "Measured points checked against a zone.")
      .def_readonly("count", &Zone::Report::count)
      .def_readonly("inside", &Zone::Report::inside)
      .def_readonly("fractionInside", &Zone::Report::fractionInside)
      .def_readonly("worstDeviation", &Zone::Report::worstDeviation)
      .def_readonly("worstPoint", &Zone::Report::worstPoint)
      .def_readonly("worstIndex", &Zone::Report::worstIndex);
  zone.def(py::init<const vcSMDGDModel&, double>(), py::arg("nominal"), py::arg("tolerance"))
      .def("nominal", &Zone::nominal)
      .def("tolerance", &Zone::tolerance)
      .def("inner", &Zone::inner, "The nominal shrunk by tolerance / 2 (least material).")
      .def("outer", &Zone::outer, "The nominal grown by tolerance / 2 (most material).")
      .def("deviation", &Zone::deviation, py::arg("p"),
           "Signed distance from the nearest nominal outline, negative inside a closed poly.")
      .def("inZone", &Zone::inZone, py::arg("p"))
      .def("report", &Zone::report, py::arg("points"))
      .def("draw",
           py::overload_cast<vcUITablet&, const vcXform<2>&, const vcColor&, const vcColor&, vcUITabletTypes::Layers>(
               &Zone::draw, py::const_),
           py::arg("tablet"), py::arg("xform"), py::arg("lineColor"), py::arg("bandColor"), py::arg("layer"),
           "The band filled in bandColor, then both outlines in lineColor.")
      .def("draw",
           py::overload_cast<vcGraphicList&, const vcXform<2>&, const vcColor&, const vcColor&>(&Zone::draw,
                                                                                               py::const_),
           py::arg("list"), py::arg("xform"), py::arg("lineColor"), py::arg("bandColor"))
      .def("drawBandSynthetic", &Zone::drawBandSynthetic, py::arg("x"), py::arg("image"), py::arg("value"),
           py::arg("background"), "The outer outlines filled with value, then the inner ones with background.")
      .def("drawMinMaterialSynthetic", &Zone::drawMinMaterialSynthetic, py::arg("x"), py::arg("image"),
           py::arg("value"), py::arg("background"), "The inner region in value, its holes in background.")
      .def("drawMaxMaterialSynthetic", &Zone::drawMaxMaterialSynthetic, py::arg("x"), py::arg("image"),
           py::arg("value"), py::arg("background"), "The outer region in value, its holes in background.");
}
