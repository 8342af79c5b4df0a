// Geometry value types: vectors, points, typed angles, matrices, transforms
// and the core shapes the tablet draws. Coordinates carry no frame; angles
// turn from +x toward +y (counter-clockwise in a y-up frame, clockwise on a
// y-down screen).
#include <vc/core/angle.h>
#include <vc/core/circle.h>
#include <vc/core/lineseg.h>
#include <vc/core/matrix.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

#include <pybind11/operators.h>

#include "vcpy.h"

namespace {

// A 2-sequence of numbers as (x, y); anything else raises TypeError.
vcVector<2> fromSequence(const py::sequence& s) {
  if (py::isinstance<py::str>(s) || py::len(s) != 2)
    throw py::type_error("expected a sequence of two numbers (x, y)");
  return vcVector<2>(s[0].cast<double>(), s[1].cast<double>());
}

// x, y, len() == 2, indexing and iteration, so that vectors and points unpack
// like tuples and pass wherever a sequence of two numbers is accepted.
template <class C>
void defPairProtocol(C& c) {
  using T = typename C::type;
  c.def("__len__", [](const T&) { return 2; });
  c.def("__getitem__", [](const T& v, long i) {
    if (i < 0) i += 2;
    if (i != 0 && i != 1) throw py::index_error("index out of range (0 or 1)");
    return i == 0 ? v.x() : v.y();
  });
  c.def("__iter__", [](const T& v) { return py::iter(py::make_tuple(v.x(), v.y())); });
  c.def("__hash__", [](const T& v) { return py::hash(py::make_tuple(v.x(), v.y())); });
}

// vcRadian and vcDegree offer the same operations, each built from the other
// as well as from a number in its own unit.
template <class A, class Other>
void bindAngle(py::module_& m, const char* name, const char* doc, const char* arg, const char* otherArg,
               const char* valueDoc, const char* normDoc, const char* signedNormDoc) {
  py::class_<A>(m, name, doc)
      .def(py::init<>())
      .def(py::init<double>(), py::arg(arg))
      .def(py::init<const Other&>(), py::arg(otherArg))
      .def("toDouble", &A::toDouble, valueDoc)
      .def("norm", &A::norm, normDoc)
      .def("signedNorm", &A::signedNorm, signedNormDoc)
      .def("__float__", &A::toDouble)
      .def(py::self == py::self)
      .def(py::self + py::self)
      .def(py::self - py::self)
      .def(py::self * double())
      .def(-py::self)
      .def("__hash__", [](const A& a) { return py::hash(py::float_(a.toDouble())); })
      .def("__repr__", [name = std::string(name)](const A& a) {
        return name + "(" + py::repr(py::float_(a.toDouble())).cast<std::string>() + ")";
      });
}

}  // namespace

void vc_py_bindGeometry(py::module_& m) {
  bindAngle<vcRadian, vcDegree>(m, "vcRadian", "An angle in radians. Converts to and from vcDegree.", "rad", "deg",
                                "The value in radians.", "The same angle in [0, 2pi).", "The same angle in [-pi, pi).");
  bindAngle<vcDegree, vcRadian>(m, "vcDegree", "An angle in degrees. Converts to and from vcRadian.", "deg", "rad",
                                "The value in degrees.", "The same angle in [0, 360).",
                                "The same angle in [-180, 180).");
  py::implicitly_convertible<vcDegree, vcRadian>();
  py::implicitly_convertible<vcRadian, vcDegree>();

  py::class_<vcVector<2>> vec(m, "vcVector",
                              "vcVector<2>: a 2-D vector of doubles. Any sequence of two numbers converts to it.");
  vec.def(py::init<>())
      .def(py::init<double, double>(), py::arg("x"), py::arg("y"))
      .def(py::init(&fromSequence), py::arg("xy"))
      .def_property("x", py::overload_cast<>(&vcVector<2>::x, py::const_), py::overload_cast<double>(&vcVector<2>::x))
      .def_property("y", py::overload_cast<>(&vcVector<2>::y, py::const_), py::overload_cast<double>(&vcVector<2>::y))
      .def("len", &vcVector<2>::len, "The length.")
      .def("angle", &vcVector<2>::angle, "atan2(y, x) as a vcRadian.")
      .def("unit", &vcVector<2>::unit, "The vector of length 1 in the same direction; vcMathError for (0, 0).")
      .def("distance", &vcVector<2>::distance, py::arg("other"))
      .def("dot", &vcVector<2>::dot, py::arg("other"))
      .def("cross", &vcVector<2>::cross, py::arg("other"), "x * other.y - y * other.x.")
      .def("perp", &vcVector<2>::perp, "This vector turned by +90 degrees: (-y, x).")
      .def(py::self + py::self)
      .def(py::self - py::self)
      .def(py::self * double())
      .def(double() * py::self)
      .def(py::self / double())
      .def(-py::self)
      .def(py::self == py::self)
      .def("__repr__", [](const vcVector<2>& v) { return vc_py_repr("vcVector", v); });
  defPairProtocol(vec);

  py::class_<vcPoint> pt(m, "vcPoint", "A position; converts to and from vcVector and from any 2-sequence.");
  pt.def(py::init<>())
      .def(py::init<double, double>(), py::arg("x"), py::arg("y"))
      .def(py::init<const vcVector<2>&>(), py::arg("v"))
      .def(py::init([](const py::sequence& s) { return vcPoint(fromSequence(s)); }), py::arg("xy"))
      .def_property("x", py::overload_cast<>(&vcPoint::x, py::const_), py::overload_cast<double>(&vcPoint::x))
      .def_property("y", py::overload_cast<>(&vcPoint::y, py::const_), py::overload_cast<double>(&vcPoint::y))
      .def("__eq__", [](const vcPoint& a, const vcPoint& b) { return a == b; })
      .def("__repr__", [](const vcPoint& p) { return vc_py_repr("vcPoint", p); });
  defPairProtocol(pt);
  vec.def(py::init([](const vcPoint& p) { return vcVector<2>(p); }), py::arg("p"));
  py::implicitly_convertible<vcPoint, vcVector<2>>();
  py::implicitly_convertible<vcVector<2>, vcPoint>();
  py::implicitly_convertible<py::sequence, vcVector<2>>();
  py::implicitly_convertible<py::sequence, vcPoint>();

  py::class_<vcMatrix<2>>(m, "vcMatrix", "vcMatrix<2>(a, b, c, d) = [[a b] [c d]], the linear part of a transform.")
      .def(py::init<>())
      .def(py::init<double, double, double, double>(), py::arg("a"), py::arg("b"), py::arg("c"), py::arg("d"))
      .def_static("rotation", &vcMatrix<2>::rotation, py::arg("angle"))
      .def_static("scale", &vcMatrix<2>::scale, py::arg("sx"), py::arg("sy"))
      .def("element", &vcMatrix<2>::element, py::arg("r"), py::arg("c"), "Element at row r, column c (0 or 1).")
      .def("determinant", &vcMatrix<2>::determinant)
      .def("isSingular", &vcMatrix<2>::isSingular)
      .def("inverse", &vcMatrix<2>::inverse, "vcMathError when singular.")
      .def("transpose", &vcMatrix<2>::transpose)
      .def("xRot", &vcMatrix<2>::xRot)
      .def("yRot", &vcMatrix<2>::yRot)
      .def("xScale", &vcMatrix<2>::xScale)
      .def("yScale", &vcMatrix<2>::yScale)
      .def(py::self * py::self)
      .def(py::self * vcVector<2>())
      .def(py::self == py::self)
      .def("__repr__", [](const vcMatrix<2>& x) { return vc_py_repr("vcMatrix", x); });

  py::class_<vcXform<2>>(m, "vcXform", "vcXform<2>: the affine map p -> matrix * p + trans.")
      .def(py::init<>())
      .def(py::init<const vcMatrix<2>&, const vcVector<2>&>(), py::arg("matrix"), py::arg("trans"))
      .def_readonly_static("I", &vcXform<2>::I, "The identity.")
      .def_static("translation", &vcXform<2>::translation, py::arg("d"))
      .def_static("rotation", py::overload_cast<const vcRadian&>(&vcXform<2>::rotation), py::arg("angle"))
      .def_static("rotation", py::overload_cast<const vcRadian&, const vcVector<2>&>(&vcXform<2>::rotation),
                  py::arg("angle"), py::arg("center"))
      .def_static("scale", &vcXform<2>::scale, py::arg("sx"), py::arg("sy"))
      .def("matrix", py::overload_cast<>(&vcXform<2>::matrix, py::const_))
      .def("trans", py::overload_cast<>(&vcXform<2>::trans, py::const_))
      .def("determinant", &vcXform<2>::determinant)
      .def("inverse", &vcXform<2>::inverse, "vcMathError when singular.")
      .def("mapPoint", &vcXform<2>::mapPoint, py::arg("p"))
      .def("mapVector", &vcXform<2>::mapVector, py::arg("v"))
      .def("mapAngle", &vcXform<2>::mapAngle, py::arg("a"))
      .def("invMapPoint", &vcXform<2>::invMapPoint, py::arg("p"))
      .def("invMapVector", &vcXform<2>::invMapVector, py::arg("v"))
      .def("invMapAngle", &vcXform<2>::invMapAngle, py::arg("a"))
      .def("isIdentity", &vcXform<2>::isIdentity)
      .def("__mul__", [](const vcXform<2>& a, const vcXform<2>& b) { return a * b; }, "Composition: b first.")
      .def("__mul__", [](const vcXform<2>& a, const vcVector<2>& p) { return a.mapPoint(p); })
      .def(py::self == py::self)
      .def("__repr__", [](const vcXform<2>& x) { return vc_py_repr("vcXform", x); });

  py::class_<vc2Rigid>(m, "vc2Rigid", "A rigid motion: rotation by angle about the origin, then translation.")
      .def(py::init<>())
      .def(py::init<const vcRadian&, const vcVector<2>&>(), py::arg("angle"), py::arg("trans"))
      .def("angle", &vc2Rigid::angle)
      .def("trans", &vc2Rigid::trans)
      .def("xform", &vc2Rigid::linear, "This motion as a vcXform.")
      .def("inverse", &vc2Rigid::inverse)
      .def("mapPoint", [](const vc2Rigid& r, const vcVector<2>& p) { return r.mapPoint(p); }, py::arg("p"))
      .def("__mul__", [](const vc2Rigid& a, const vc2Rigid& b) { return a * b; })
      .def(py::self == py::self)
      .def("__repr__", [](const vc2Rigid& r) {
        return vc_py_repr("vc2Rigid", r.angle()) + ", " + vc_py_repr("", r.trans());
      });
  py::implicitly_convertible<vc2Rigid, vcXform<2>>();

  py::class_<vcRect>(m, "vcRect", "An axis-aligned rectangle: origin (x, y) and size (w, h), client units.")
      .def(py::init<>())
      .def(py::init<double, double, double, double>(), py::arg("x"), py::arg("y"), py::arg("w"), py::arg("h"))
      .def(py::init<const vcVector<2>&, const vcVector<2>&>(), py::arg("origin"), py::arg("size"))
      .def("origin", py::overload_cast<>(&vcRect::origin, py::const_))
      .def("size", py::overload_cast<>(&vcRect::size, py::const_))
      .def("x", &vcRect::x)
      .def("y", &vcRect::y)
      .def("width", &vcRect::width)
      .def("height", &vcRect::height)
      .def("corner", &vcRect::corner)
      .def("center", &vcRect::center)
      .def("isEmpty", &vcRect::isEmpty)
      .def("isNull", &vcRect::isNull)
      .def("contains", &vcRect::contains, py::arg("p"))
      .def("area", &vcRect::area)
      .def(py::self & py::self)
      .def(py::self == py::self)
      .def("__repr__", [](const vcRect& r) {
        std::ostringstream os;
        os << "vcRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
        return os.str();
      });

  py::class_<vcCircle>(m, "vcCircle", "A circle: center (client units) and radius.")
      .def(py::init<>())
      .def(py::init<const vcVector<2>&, double>(), py::arg("center"), py::arg("radius"))
      .def("center", &vcCircle::center)
      .def("radius", &vcCircle::radius)
      .def("boundingBox", &vcCircle::boundingBox)
      .def(py::self == py::self)
      .def("__repr__", [](const vcCircle& c) {
        return vc_py_repr("vcCircle(", c.center()) + ", " + py::repr(py::float_(c.radius())).cast<std::string>() + ")";
      });

  py::class_<vcLineSeg>(m, "vcLineSeg", "A line segment from p1 to p2 (client units).")
      .def(py::init<>())
      .def(py::init<const vcVector<2>&, const vcVector<2>&>(), py::arg("p1"), py::arg("p2"))
      .def("p1", &vcLineSeg::p1)
      .def("p2", &vcLineSeg::p2)
      .def("length", &vcLineSeg::length)
      .def(py::self == py::self)
      .def("__repr__", [](const vcLineSeg& s) {
        return vc_py_repr("vcLineSeg(", s.p1()) + vc_py_repr(", ", s.p2()) + ")";
      });

  py::class_<vcPolygon> poly(m, "vcPolygon", "A polygon of vertices (client units) with a fill rule.");
  py::enum_<vcPolygon::PolyFillMode>(poly, "PolyFillMode")
      .value("eEvenOdd", vcPolygon::eEvenOdd)
      .value("eWinding", vcPolygon::eWinding)
      .export_values();
  poly.def(py::init<>())
      .def(py::init<const std::vector<vcVector<2>>&, vcPolygon::PolyFillMode>(), py::arg("vertices"),
           py::arg("mode") = vcPolygon::eEvenOdd)
      .def("vertices", &vcPolygon::vertices)
      .def("fillMode", &vcPolygon::fillMode)
      .def("boundingBox", &vcPolygon::boundingBox)
      .def(py::self == py::self)
      .def("__repr__", [](const vcPolygon& p) {
        return "vcPolygon(" + std::to_string(p.vertices().size()) + " vertices)";
      });
}
