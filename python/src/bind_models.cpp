// SMD models, the static operations on polys and models, the utilities over
// lists of polys, and the wireframe drawing of polys and models on tablets.
// Points, lengths and radii are client units; angles vcDegree values.
//
// Out-parameters of C++ come back as return values. Functions that take a
// std::list of polys and change it in place take a Python list and return a
// new list; the list passed in is not changed. Functions that change one poly
// in place (closeRectilinear, snapRectilinear, ...) change the poly object
// passed in, as in C++, and leave it as it was when they raise.
#include <list>

#include <vc/core/poly.h>
#include <vc/core/range.h>
#include <vc/glist.h>
#include <vc/uitablet.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/wireframe.h>

#include <pybind11/operators.h>

#include "vcpy.h"

namespace {

using PolyList = std::list<vcSMDGDPoly>;
using Layers = vcUITabletTypes::Layers;
using PP = vcSMDGDPolyPrivate;
using MP = vcSMDGDModelPrivate;

// A list filter as Python sees it: a new list, the argument untouched.
template <class... A>
auto listFilter(void (*f)(PolyList&, A...)) {
  return [f](std::vector<vcSMDGDPoly> polys, A... a) {
    PolyList l(polys.begin(), polys.end());
    f(l, a...);
    return std::vector<vcSMDGDPoly>(l.begin(), l.end());
  };
}

std::string modelRepr(const vcSMDGDModel& m) {
  std::ostringstream os;
  os << "vcSMDGDModel('" << m.name() << "', " << m.numPolys() << " polys)";
  return os.str();
}

void bindRanges(py::module_& m) {
  py::class_<vcRange>(m, "vcRange", "The closed interval [lo, hi] in the caller's unit; empty when lo > hi.")
      .def(py::init<>(), "The empty range.")
      .def(py::init<double, double>(), py::arg("lo"), py::arg("hi"))
      .def("lo", &vcRange::lo)
      .def("hi", &vcRange::hi)
      .def("isEmpty", &vcRange::isEmpty)
      .def("length", &vcRange::length, "hi - lo, 0 when empty.")
      .def("contains", &vcRange::contains, py::arg("v"))
      .def(py::self == py::self)
      .def("__repr__", [](const vcRange& r) { return vc_py_repr("vcRange", r); });
  py::class_<vcAngleRange>(m, "vcAngleRange",
                           "The directions swept from start through span (toward +angle when span > 0), both "
                           "ends inside.")
      .def(py::init<>(), "The single direction 0.")
      .def(py::init<const vcRadian&, const vcRadian&>(), py::arg("start"), py::arg("span"),
           "Radians (a vcDegree converts); non-finite values raise vcMathError.")
      .def("start", &vcAngleRange::start)
      .def("span", &vcAngleRange::span)
      .def("isFullCircle", &vcAngleRange::isFullCircle)
      .def("contains", &vcAngleRange::contains, py::arg("a"))
      .def(py::self == py::self)
      .def("__repr__", [](const vcAngleRange& r) { return vc_py_repr("vcAngleRange", r); });
}

void bindPolyExtras(py::module_& m) {
  auto colors = py::reinterpret_borrow<py::class_<vcSMDColors>>(m.attr("vcSMDColors"));
  colors.def_static("colorToGrayScale", &vcSMDColors::colorToGrayScale, py::arg("color"),
                    "The grey level (0 to 255) the color gives in synthetic images; a color with neither a "
                    "palette index nor RGB raises vcUIError.");

  auto poly = py::reinterpret_borrow<py::class_<vcSMDGDPoly>>(m.attr("vcSMDGDPoly"));
  poly.def_property("positiveArrowColor", &vcSMDGDPoly::positiveArrowColor,
                    py::overload_cast<const vcColor&>(&vcSMDGDPoly::positiveArrowColor),
                    "Color of the direction arrows' positive side.")
      .def_property("negativeArrowColor", &vcSMDGDPoly::negativeArrowColor,
                    py::overload_cast<const vcColor&>(&vcSMDGDPoly::negativeArrowColor),
                    "Color of the direction arrows' negative side.")
      .def("drawWireframe", &vcSMDGDPoly::drawWireframe, py::arg("xform"), py::arg("tablet"),
           "The outline in its wireframe color on the image layer; xform maps poly coordinates to the tablet's "
           "client coordinates.")
      .def("drawDirectionArrows",
           py::overload_cast<const vcXform<2>&, vcUITablet&, double>(&vcSMDGDPoly::drawDirectionArrows, py::const_),
           py::arg("xform"), py::arg("tablet"), py::arg("size"),
           "One arrow per segment at its middle, along the travel; size is the glyph's reach in poly units.")
      .def("drawDirectionArrows",
           py::overload_cast<const vcXform<2>&, vcGraphicList&, double>(&vcSMDGDPoly::drawDirectionArrows,
                                                                        py::const_),
           py::arg("xform"), py::arg("list"), py::arg("size"),
           "The same arrows appended to a graphic list as line-segment graphics.")
      .def("__rmul__", [](const vcSMDGDPoly& p, double s) { return s * p; }, py::is_operator(),
           "Every vertex scaled by s (re-checked).");
  auto rigid = py::reinterpret_borrow<py::class_<vc2Rigid>>(m.attr("vc2Rigid"));
  rigid.def("__mul__", [](const vc2Rigid& r, const vcSMDGDPoly& p) { return r * p; }, py::arg("poly"),
            "The poly moved by this motion.");
}

void bindModel(py::module_& m) {
  py::class_<vcSMDGDModel> model(m, "vcSMDGDModel",
                                 "Several SMD polys that together describe a component, with a position: the rigid "
                                 "motion placing the model's own frame in the frame it was taken from.");
  model.def(py::init<const std::string&>(), py::arg("name") = "")
      .def(py::init([](const std::vector<vcSMDGDPoly>& polys, const std::string& name) {
             vcSMDGDModel md(name);
             md.polys(polys);
             return md;
           }),
           py::arg("polys"), py::arg("name") = "", "A model of the given polys, in order.")
      .def("name", [](const vcSMDGDModel& md) { return md.name(); })
      .def("polys", py::overload_cast<>(&vcSMDGDModel::polys, py::const_), "Copies of the polys, in order.")
      .def("polys", py::overload_cast<const std::vector<vcSMDGDPoly>&>(&vcSMDGDModel::polys), py::arg("list"),
           "Replaces the polys.")
      .def("poly", &vcSMDGDModel::poly, py::arg("i"), "A copy of poly i; vcSMDGDModelError outside [0, n-1].")
      .def("numPolys", &vcSMDGDModel::numPolys)
      .def("subModelLabels", &vcSMDGDModel::subModelLabels, "The polys' labels, each once, in order.")
      .def("numVertices", &vcSMDGDModel::numVertices)
      .def("isOpen", &vcSMDGDModel::isOpen, "True when any poly is open.")
      .def("isClosed", &vcSMDGDModel::isClosed)
      .def("append", [](vcSMDGDModel& md, const vcSMDGDPoly& p) -> vcSMDGDModel& { return md << p; }, py::arg("p"),
           py::return_value_policy::reference_internal, "Appends a poly (C++ operator<<).")
      .def("__lshift__", [](vcSMDGDModel& md, const vcSMDGDPoly& p) -> vcSMDGDModel& { return md << p; },
           py::return_value_policy::reference_internal)
      .def("__lshift__", [](vcSMDGDModel& md, const vcSMDGDModel& o) -> vcSMDGDModel& { return md << o; },
           py::return_value_policy::reference_internal)
      .def("__lshift__",
           [](vcSMDGDModel& md, const std::vector<vc2Wireframe>& w) -> vcSMDGDModel& { return md << w; },
           py::return_value_policy::reference_internal)
      .def("colors", &vcSMDGDModel::colors, py::arg("c"), "Sets every poly's colors.")
      .def("positiveArrowColor", &vcSMDGDModel::positiveArrowColor, py::arg("c"))
      .def("negativeArrowColor", &vcSMDGDModel::negativeArrowColor, py::arg("c"))
      .def("subModel",
           [](const vcSMDGDModel& md, long label) {
             vcSMDGDModel out;
             md.subModel(label, out);
             return out;
           },
           py::arg("label"),
           "The pieces of the outlines belonging to the vertices labelled label, in their own frame (returned; "
           "empty when no vertex has the label).")
      .def("flip", &vcSMDGDModel::flip, "Every poly mirrored in the x axis.")
      .def("polysOutOfTolerance", &vcSMDGDModel::polysOutOfTolerance, py::arg("nominal"), py::arg("measured"))
      .def("boundingBox", &vcSMDGDModel::boundingBox, py::arg("x") = vcXform<2>::I)
      .def("drawWireframe", &vcSMDGDModel::drawWireframe, py::arg("x"), py::arg("tablet"),
           "Each poly's outline in its wireframe color; x maps model to tablet client coordinates.")
      .def("drawDirectionArrows", &vcSMDGDModel::drawDirectionArrows, py::arg("x"), py::arg("tablet"),
           "Each poly's direction arrows at size 2 (tablet pixels).")
      .def("__rmul__", [](const vcSMDGDModel& md, double s) { return s * md; }, py::is_operator(),
           "Every poly scaled by s; position kept.")
      .def("__len__", &vcSMDGDModel::numPolys)
      .def("__iter__", [](const vcSMDGDModel& md) { return py::iter(py::cast(md.polys())); })
      .def("__copy__", [](const vcSMDGDModel& md) { return vcSMDGDModel(md); })
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__repr__", &modelRepr);
  vc_py_defArchive(model);
  auto rigid = py::reinterpret_borrow<py::class_<vc2Rigid>>(m.attr("vc2Rigid"));
  rigid.def("__mul__", [](const vc2Rigid& r, const vcSMDGDModel& md) { return r * md; }, py::arg("model"),
            "The model moved by this motion, its position with it.");

  py::class_<MP>(m, "vcSMDGDModelPrivate", "Static operations on SMD models.")
      .def_static("position", &MP::position, py::arg("m"))
      .def_static("normalizedPosition", &MP::normalizedPosition, py::arg("m"))
      .def_static("equivalent", &MP::equivalent, py::arg("a"), py::arg("b"))
      .def_static("perimeter", &MP::perimeter, py::arg("m"), py::arg("minLength"))
      .def_static("setExtensions", &MP::setExtensions, py::arg("m"), py::arg("minDistance"), py::arg("e"),
                  "Sets the extensions of the model passed in (in place).")
      .def_static("crop", py::overload_cast<const vcSMDGDModel&, const vcSMDGDModel&>(&MP::crop), py::arg("cropper"),
                  py::arg("m"), "The pieces of m inside any cropper poly; nested cropper polys raise.")
      .def_static("crop", py::overload_cast<const vcSMDGDModel&, const vcSMDGDPoly&, bool>(&MP::crop), py::arg("m"),
                  py::arg("cropper"), py::arg("keepInside"))
      .def_static("crop", py::overload_cast<const vcSMDGDModel&, const vcPolygon&, bool>(&MP::crop), py::arg("m"),
                  py::arg("cropper"), py::arg("keepInside"))
      .def_static("crop", py::overload_cast<const vcSMDGDModel&, const std::vector<vcPolygon>&>(&MP::crop),
                  py::arg("m"), py::arg("croppers"))
      .def_static("corner",
                  [](const vcSMDGDModel& md, int polyIndex, int vertexIndex, bool wholeSegments) {
                    vcSMDGDModel out;
                    MP::corner(md, out, polyIndex, vertexIndex, wholeSegments);
                    return out;
                  },
                  py::arg("m"), py::arg("polyIndex"), py::arg("vertexIndex"), py::arg("wholeSegments"),
                  "A model of the piece of one poly at one vertex (returned).")
      .def_static("convert", &MP::convert, py::arg("polygons"))
      .def_static("weightedWireframesToModel", &MP::weightedWireframesToModel, py::arg("w"), py::arg("weights"))
      .def_static("wireframeXforms", &MP::wireframeXforms, py::arg("w"), py::arg("weights"))
      .def_static("numPosProbesRequired", &MP::numPosProbesRequired, py::arg("m"), py::arg("x"), py::arg("poses"),
                  py::arg("spacing"))
      .def_static("boundingBox", py::overload_cast<const vcSMDGDModel&, const vcXform<2>&>(&MP::boundingBox),
                  py::arg("m"), py::arg("x"))
      .def_static("boundingBox",
                  py::overload_cast<const vcSMDGDModel&, const std::vector<vcXform<2>>&>(&MP::boundingBox),
                  py::arg("m"), py::arg("xs"))
      .def_static("boundingBoxNeg", &MP::boundingBoxNeg, py::arg("m"), py::arg("x"))
      .def_static("boundingBoxPositive", &MP::boundingBoxPositive, py::arg("m"), py::arg("x"))
      .def_static("drawNegWireframe", &MP::drawNegWireframe, py::arg("m"), py::arg("x"), py::arg("tablet"),
                  "Every poly's segment extensions in red on the image layer.")
      .def_static("dominantAngle", &MP::dominantAngle, py::arg("m"));
}

void bindPolyPrivate(py::module_& m) {
  py::class_<PP>(m, "vcSMDGDPolyPrivate",
                 "Static operations on SMD polys. List utilities return a new list (the list passed in is not "
                 "changed); out-parameters are return values; functions that edit one poly edit the poly passed "
                 "in, and leave it unchanged when they raise.")
      .def_static("crop", &PP::crop, py::arg("c"), py::arg("m"), py::arg("keepInside"),
                  "The pieces of m inside (or outside) the closed cropper c, as a model.")
      .def_static("pointContact", &PP::pointContact, py::arg("a"), py::arg("p"), py::arg("b"))
      .def_static("flip", &PP::flip, py::arg("p"))
      .def_static("position", &PP::position, py::arg("p"))
      .def_static("subPoly", &PP::subPoly, py::arg("p"), py::arg("v"), py::arg("wholeSegments"))
      .def_static("convert", &PP::convert, py::arg("polygon"))
      .def_static("dominantAngle", &PP::dominantAngle, py::arg("p"))
      .def_static("vertexAngle", &PP::vertexAngle, py::arg("p"), py::arg("v"))
      .def_static("perimeter", py::overload_cast<const vcSMDGDPoly&, double>(&PP::perimeter), py::arg("p"),
                  py::arg("minLength"))
      .def_static("isRectilinear", &PP::isRectilinear, py::arg("p"))
      .def_static("isRectangular", &PP::isRectangular, py::arg("p"))
      .def_static("perimeterFilter", listFilter(&PP::perimeterFilter), py::arg("polys"), py::arg("range"),
                  "The polys whose perimeter lies in range.")
      .def_static("closureFilter", listFilter(&PP::closureFilter), py::arg("polys"), py::arg("keepOpen"),
                  py::arg("keepClosed"))
      .def_static("segmentLengthFilter", listFilter(&PP::segmentLengthFilter), py::arg("polys"), py::arg("range"))
      .def_static("vertexAngleFilter", listFilter(&PP::vertexAngleFilter), py::arg("polys"), py::arg("range"))
      .def_static("segmentAngleSpanFilter", listFilter(&PP::segmentAngleSpanFilter), py::arg("polys"),
                  py::arg("maxSpan"))
      .def_static("crossingPolysResolve", listFilter(&PP::crossingPolysResolve), py::arg("polys"),
                  py::arg("others"), "polys without the segments that meet a poly of others.")
      .def_static("deleteSegments",
                  [](const vcSMDGDPoly& p, const std::vector<long>& segments) {
                    std::vector<vcSMDGDPoly> pieces;
                    PP::deleteSegments(p, segments, pieces);
                    return pieces;
                  },
                  py::arg("p"), py::arg("segments"), "The runs of segments left, as open polys (returned).")
      .def_static("autoSegmentLengthTolerance", &PP::autoSegmentLengthTolerance, py::arg("p"), py::arg("tol"),
                  "Sets every vertex's length tolerance of p (in place).")
      .def_static("connectPolys",
                  [](const vcSMDGDPoly& a, bool aAtEnd, const vcSMDGDPoly& b, bool bAtEnd) {
                    vcSMDGDPoly out;
                    PP::connectPolys(a, aAtEnd, b, bAtEnd, out);
                    return out;
                  },
                  py::arg("a"), py::arg("aAtEnd"), py::arg("b"), py::arg("bAtEnd"), "The joined poly (returned).")
      .def_static("closeRectilinear", &PP::closeRectilinear, py::arg("p"), "Closes p (in place).")
      .def_static("snapRectilinear", &PP::snapRectilinear, py::arg("p"), "Makes p rectilinear (in place).")
      .def_static("replaceVertexRectilinear", &PP::replaceVertexRectilinear, py::arg("p"), py::arg("i"),
                  py::arg("v"), "Replaces vertex i of p keeping it rectilinear (in place).")
      .def_static("reversePoly",
                  [](const vcSMDGDPoly& a) {
                    vcSMDGDPoly out;
                    PP::reversePoly(a, out);
                    return out;
                  },
                  py::arg("a"), "a with its vertex order reversed (returned).")
      .def_static("drawWireframe", &PP::drawWireframe, py::arg("p"), py::arg("xform"), py::arg("tablet"),
                  py::arg("color"), py::arg("layer"), "The outline in color on layer.")
      .def_static("drawNegWireframe", &PP::drawNegWireframe, py::arg("p"), py::arg("xform"), py::arg("tablet"),
                  py::arg("color"), py::arg("layer"), "Every extension piece in color on layer.");
}

}  // namespace

void vc_py_bindModels(py::module_& m) {
  bindRanges(m);
  bindPolyExtras(m);
  bindModel(m);
  bindPolyPrivate(m);
}
