// SMD outlines: dimension tolerances, SMD colors, poly vertices and polys.
// Points, lengths and radii are in the poly's client units; angles are
// vcDegree values from +x toward +y.
#include <vc/dimtol.h>
#include <vc/wrfm/smdgd.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/smdvertex.h>

#include <pybind11/operators.h>

#include "vcpy.h"

namespace {

std::string dimTolRepr(const vcDimTol& t) {
  std::ostringstream os;
  static const char* const kTypes[] = {"eLimits", "eOffsets", "ePercentages"};
  os << "vcDimTol(" << t.nomDim() << ", " << t.minTol() << ", " << t.maxTol() << ", vcDimTol."
     << (t.tolType() <= vcDimTol::ePercentages ? kTypes[t.tolType()] : "eLimits") << ")";
  return os.str();
}

std::string dimensionRepr(const vcSMDDimension& d) {
  std::ostringstream os;
  static const char* const kScales[] = {"eScaleNone", "eScaleNominal", "eScaleProportional"};
  os << "vcSMDDimension(" << d.nomDim() << ", " << d.minDim() << ", " << d.maxDim() << ", vcSMDDimension."
     << (d.scaleType() <= vcSMDDimension::eScaleProportional ? kScales[d.scaleType()] : "eScaleNone") << ")";
  return os.str();
}

std::string vertexRepr(const vcSMDGDPolyVertex& v) {
  std::ostringstream os;
  os << "vcSMDGDPolyVertex(" << v.point() << ", radius=" << v.vertexRadius() << ", span=" << v.segmentAngleSpan()
     << ", label=" << v.subModelLabel() << ")";
  return os.str();
}

std::string polyRepr(const vcSMDGDPoly& p) {
  std::ostringstream os;
  os << "vcSMDGDPoly('" << p.name() << "', " << p.numVertices() << " vertices, " << (p.isOpen() ? "open" : "closed")
     << ")";
  return os.str();
}

}  // namespace

void vc_py_bindSmd(py::module_& m) {
  py::class_<vcDimTol> tol(m, "vcDimTol",
                           "The editable tolerance of one dimension (client units); -1 marks an unset value.");
  py::enum_<vcDimTol::TolType>(tol, "TolType")
      .value("eLimits", vcDimTol::eLimits)
      .value("eOffsets", vcDimTol::eOffsets)
      .value("ePercentages", vcDimTol::ePercentages)
      .export_values();
  tol.def(py::init<>())
      .def(py::init<double, double, double, vcDimTol::TolType>(), py::arg("nom"), py::arg("minTol"),
           py::arg("maxTol"), py::arg("type"), "Invalid values raise vcShapesError.")
      .def("nomDim", py::overload_cast<>(&vcDimTol::nomDim, py::const_))
      .def("nomDim", py::overload_cast<double>(&vcDimTol::nomDim), py::arg("nom"))
      .def("minTol", &vcDimTol::minTol)
      .def("maxTol", &vcDimTol::maxTol)
      .def("tolType", py::overload_cast<>(&vcDimTol::tolType, py::const_))
      .def("tolType", py::overload_cast<vcDimTol::TolType>(&vcDimTol::tolType), py::arg("type"))
      .def("minDim", &vcDimTol::minDim)
      .def("maxDim", &vcDimTol::maxDim)
      .def("minOffset", &vcDimTol::minOffset)
      .def("maxOffset", &vcDimTol::maxOffset)
      .def("minPerc", &vcDimTol::minPerc)
      .def("maxPerc", &vcDimTol::maxPerc)
      .def("limits", py::overload_cast<double, double, double>(&vcDimTol::limits), py::arg("nom"), py::arg("min"),
           py::arg("max"))
      .def("offsets", py::overload_cast<double, double, double>(&vcDimTol::offsets), py::arg("nom"),
           py::arg("min"), py::arg("max"))
      .def("percentages", py::overload_cast<double, double, double>(&vcDimTol::percentages), py::arg("nom"),
           py::arg("min"), py::arg("max"))
      .def("isWithin", &vcDimTol::isWithin, py::arg("v"))
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__rmul__", [](const vcDimTol& t, double s) { return s * t; })
      .def("__repr__", &dimTolRepr);
  vc_py_defArchive(tol);

  py::class_<vcSMDDimension> dim(m, "vcSMDDimension",
                                 "The checked range of one dimension: nominal, minimum and maximum, each -1 "
                                 "(unset) or > 0. Values that break the rules raise vcSMDDimensionError.");
  py::enum_<vcSMDDimension::ScaleType>(dim, "ScaleType")
      .value("eScaleNone", vcSMDDimension::eScaleNone)
      .value("eScaleNominal", vcSMDDimension::eScaleNominal)
      .value("eScaleProportional", vcSMDDimension::eScaleProportional)
      .export_values();
  dim.def(py::init<>())
      .def(py::init<double, double, double, vcSMDDimension::ScaleType>(), py::arg("nom"), py::arg("min"),
           py::arg("max"), py::arg("scale"))
      .def(py::init<const vcDimTol&>(), py::arg("tol"))
      .def("set", &vcSMDDimension::set, py::arg("nom"), py::arg("min"), py::arg("max"), py::arg("scale"))
      .def("nomDim", &vcSMDDimension::nomDim)
      .def("minDim", &vcSMDDimension::minDim)
      .def("maxDim", &vcSMDDimension::maxDim)
      .def("scaleType", &vcSMDDimension::scaleType)
      .def("withinTolerance", &vcSMDDimension::withinTolerance, py::arg("value"), py::arg("scale"))
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__rmul__", [](const vcSMDDimension& d, double s) { return s * d; })
      .def("__repr__", &dimensionRepr);
  vc_py_defArchive(dim);

  py::class_<vcSMDColors>(m, "vcSMDColors", "The wireframe, synthetic and background colors of an SMD outline.")
      .def(py::init<>())
      .def(py::init<const vcColor&, const vcColor&, const vcColor&>(), py::arg("wireframe"), py::arg("synthetic"),
           py::arg("background"))
      .def_property("wireframeDefaultColor", py::overload_cast<>(&vcSMDColors::wireframeDefaultColor, py::const_),
                    py::overload_cast<const vcColor&>(&vcSMDColors::wireframeDefaultColor))
      .def_property("syntheticDefaultColor", py::overload_cast<>(&vcSMDColors::syntheticDefaultColor, py::const_),
                    py::overload_cast<const vcColor&>(&vcSMDColors::syntheticDefaultColor))
      .def_property("syntheticBackgroundColor", py::overload_cast<>(&vcSMDColors::syntheticBackgroundColor, py::const_),
                    py::overload_cast<const vcColor&>(&vcSMDColors::syntheticBackgroundColor))
      .def(py::self == py::self)
      .def(py::self != py::self);

  py::class_<vcSMDGDPolyVertex> vertex(m, "vcSMDGDPolyVertex",
                                       "One corner of an SMD poly with the attributes of the segment ending at it.");
  vertex.def(py::init<>())
      .def(py::init<const vcVector<2>&, double, double, long>(), py::arg("point"), py::arg("percentPrev") = 0.5,
           py::arg("percentNext") = 0.5, py::arg("label") = -1)
      .def(py::init<const vcVector<2>&, double, double, double, long>(), py::arg("point"), py::arg("radius"),
           py::arg("percentPrev"), py::arg("percentNext"), py::arg("label"))
      .def(py::init<const vcVector<2>&, double, const vcDegree&, double, double, long, const vcDimTol&>(),
           py::arg("point"), py::arg("radius"), py::arg("span"), py::arg("percentPrev") = 0.5,
           py::arg("percentNext") = 0.5, py::arg("label") = -1, py::arg("tolerance") = vcDimTol())
#define VC_PY_VPROP(name, T)                                                       \
  def_property(#name, py::overload_cast<>(&vcSMDGDPolyVertex::name, py::const_), \
               py::overload_cast<T>(&vcSMDGDPolyVertex::name))
      .VC_PY_VPROP(point, const vcVector<2>&)
      .VC_PY_VPROP(vertexRadius, double)
      .VC_PY_VPROP(segmentAngleSpan, const vcDegree&)
      .VC_PY_VPROP(percentPrevSegment, double)
      .VC_PY_VPROP(percentNextSegment, double)
      .VC_PY_VPROP(subModelLabel, long)
      .VC_PY_VPROP(segmentLengthTol, const vcDimTol&)
      .VC_PY_VPROP(forwardExtension, double)
      .VC_PY_VPROP(backwardExtension, double)
#undef VC_PY_VPROP
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__repr__", &vertexRepr);

  py::class_<vcSMDGDPoly> poly(m, "vcSMDGDPoly",
                               "One outline of an SMD component: vertices joined by straight or arc segments, "
                               "open or closed. Every edit is checked; a rejected edit raises and changes nothing.");
  poly.def(py::init<const std::string&>(), py::arg("name") = "poly")
      .def(py::init([](const std::vector<vcSMDGDPolyVertex>& vs, bool closed, const std::string& name) {
             vcSMDGDPoly p(name);
             p.vertices(vs);
             if (closed) p.close();
             return p;
           }),
           py::arg("vertices"), py::arg("closed") = true, py::arg("name") = "poly",
           "A poly of the given vertices, closed unless closed is False.")
      .def_static("rectangle", &vcSMDGDPoly::rectangle, py::arg("length"), py::arg("width"), py::arg("center"))
      .def_static("triangle", &vcSMDGDPoly::triangle, py::arg("base"), py::arg("height"), py::arg("center"))
      .def_static("circle", &vcSMDGDPoly::circle, py::arg("radius"), py::arg("center"))
      .def_static("isCircle", &vcSMDGDPoly::isCircle, py::arg("poly"))
      .def("name", [](const vcSMDGDPoly& p) { return p.name(); })
      .def("numVertices", &vcSMDGDPoly::numVertices)
      .def("numSegments", &vcSMDGDPoly::numSegments)
      .def("vertices", py::overload_cast<>(&vcSMDGDPoly::vertices, py::const_))
      .def("vertices", py::overload_cast<const std::vector<vcSMDGDPolyVertex>&>(&vcSMDGDPoly::vertices),
           py::arg("list"))
      .def("vertex", &vcSMDGDPoly::vertex, py::arg("i"), py::arg("wrap") = false,
           "Vertex i; vcSMDGDPolyError (invalidIndex) outside [0, n-1] unless wrap.")
      .def("isOpen", &vcSMDGDPoly::isOpen)
      .def("isClosed", &vcSMDGDPoly::isClosed)
      .def("isDirectionReversed", &vcSMDGDPoly::isDirectionReversed)
      .def("isDirectionPositive", &vcSMDGDPoly::isDirectionPositive)
      .def("weight", py::overload_cast<>(&vcSMDGDPoly::weight, py::const_))
      .def("weight", py::overload_cast<double>(&vcSMDGDPoly::weight), py::arg("w"))
      .def("colors", py::overload_cast<>(&vcSMDGDPoly::colors, py::const_))
      .def("colors", py::overload_cast<const vcSMDColors&>(&vcSMDGDPoly::colors), py::arg("c"))
      .def("subModelLabels", &vcSMDGDPoly::subModelLabels)
      .def("segmentDimension", &vcSMDGDPoly::segmentDimension, py::arg("s"))
      .def("segmentsOutOfTolerance", &vcSMDGDPoly::segmentsOutOfTolerance, py::arg("nominal"), py::arg("measured"))
      .def("boundingBox", &vcSMDGDPoly::boundingBox, py::arg("x") = vcXform<2>::I)
      .def("insertVertex", &vcSMDGDPoly::insertVertex, py::arg("after"), py::arg("v"))
      .def("append", [](vcSMDGDPoly& p, const vcSMDGDPolyVertex& v) -> vcSMDGDPoly& { return p << v; },
           py::arg("v"), py::return_value_policy::reference_internal, "Appends v (C++ operator<<).")
      .def("__lshift__", [](vcSMDGDPoly& p, const vcSMDGDPolyVertex& v) -> vcSMDGDPoly& { return p << v; },
           py::return_value_policy::reference_internal)
      .def("replaceVertex", &vcSMDGDPoly::replaceVertex, py::arg("i"), py::arg("v"))
      .def("deleteVertex", &vcSMDGDPoly::deleteVertex, py::arg("i"))
      .def("deleteAllVertices", &vcSMDGDPoly::deleteAllVertices)
      .def("close", &vcSMDGDPoly::close)
      .def("open", &vcSMDGDPoly::open)
      .def("toggleDirection", &vcSMDGDPoly::toggleDirection)
      .def("reset", &vcSMDGDPoly::reset)
      .def("__len__", &vcSMDGDPoly::numVertices)
      .def("__iter__", [](const vcSMDGDPoly& p) { return py::iter(py::cast(p.vertices())); })
      .def("__copy__", [](const vcSMDGDPoly& p) { return vcSMDGDPoly(p); })
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__repr__", &polyRepr);
  vc_py_defArchive(poly);
}
