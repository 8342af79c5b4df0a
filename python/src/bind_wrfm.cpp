// Wireframe geometry: straight and arc segments, generalised polygons and
// wireframes. vcGenPoly keeps its vertices in an SMD poly in the poly's own
// frame; xform() carries that frame into client coordinates. Angles of the
// generalised polygons are vcRadian values, those of segments vcDegree.
#include <vc/core/circle.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/lineseg.h>
#include <vc/wrfm/wireframe.h>

#include <pybind11/operators.h>

#include "vcpy.h"

namespace {

std::string genPolyRepr(const char* name, const vcGenPoly& g) {
  std::ostringstream os;
  os << name << "(" << g.numVertices() << " vertices, " << (g.isOpen() ? "open" : "closed") << ")";
  return os.str();
}

}  // namespace

void vc_py_bindWrfm(py::module_& m) {
  py::class_<vc2SegmentLine>(m, "vc2SegmentLine", "A straight segment from p1 to p2 (client coordinates).")
      .def(py::init<const vcVector<2>&, const vcVector<2>&>(), py::arg("p1"), py::arg("p2"),
           "Equal ends raise vcShapesError.")
      .def("p1", &vc2SegmentLine::p1)
      .def("p2", &vc2SegmentLine::p2)
      .def("midPoint", &vc2SegmentLine::midPoint)
      .def("segPoint", &vc2SegmentLine::segPoint, py::arg("t"))
      .def("angle", &vc2SegmentLine::angle)
      .def("length", &vc2SegmentLine::length)
      .def("boundingBox", &vc2SegmentLine::boundingBox)
      .def("closestPoint", &vc2SegmentLine::closestPoint, py::arg("p"))
      .def("distToPoint", &vc2SegmentLine::distToPoint, py::arg("p"))
      .def("intersection", py::overload_cast<const vc2SegmentLine&, bool>(&vc2SegmentLine::intersection, py::const_),
           py::arg("other"), py::arg("exclusive") = false)
      .def(py::self == py::self)
      .def("__repr__", [](const vc2SegmentLine& s) {
        return vc_py_repr("vc2SegmentLine(", s.p1()) + vc_py_repr(", ", s.p2()) + ")";
      });

  py::class_<vc2SegmentArc>(m, "vc2SegmentArc", "A circular arc segment (client coordinates, vcDegree angles).")
      .def(py::init<const vcVector<2>&, double, vcDegree, vcDegree>(), py::arg("center"), py::arg("radius"),
           py::arg("startAngle"), py::arg("angleSpan"))
      .def(py::init<const vcVector<2>&, const vcVector<2>&, vcDegree>(), py::arg("p1"), py::arg("p2"),
           py::arg("angleSpan"))
      .def("center", &vc2SegmentArc::center)
      .def("p1", &vc2SegmentArc::p1)
      .def("p2", &vc2SegmentArc::p2)
      .def("midPoint", &vc2SegmentArc::midPoint)
      .def("segPoint", &vc2SegmentArc::segPoint, py::arg("t"))
      .def("startAngle", &vc2SegmentArc::startAngle)
      .def("endAngle", &vc2SegmentArc::endAngle)
      .def("angleSpan", &vc2SegmentArc::angleSpan)
      .def("length", &vc2SegmentArc::length)
      .def("boundingBox", &vc2SegmentArc::boundingBox)
      .def("closestPoint", &vc2SegmentArc::closestPoint, py::arg("p"))
      .def("distToPoint", &vc2SegmentArc::distToPoint, py::arg("p"))
      .def(py::self == py::self)
      .def("__repr__", [](const vc2SegmentArc& a) {
        std::ostringstream os;
        os << "vc2SegmentArc(" << a.center() << ", " << a.localRadius() << ", " << a.startAngle() << ", "
           << a.angleSpan() << ")";
        return os.str();
      });

  py::class_<vcGenPoly> gp(m, "vcGenPoly",
                           "A generalised polygon: vertices joined by straight or circular segments, optional "
                           "corner rounding, open or closed. Client coordinates; spans are vcRadian values in "
                           "the poly's frame. SMD errors arrive as vcShapesError.");
  gp.def(py::init<>())
      .def(py::init<const vcCircle&>(), py::arg("circle"))
      .def(py::init<const vcRect&>(), py::arg("rect"))
      .def(py::init<const vcPolygon&>(), py::arg("polygon"))
      .def(py::init<const vcLineSeg&>(), py::arg("seg"))
      .def(py::init<const vcSMDGDPoly&, const vcXform<2>&, bool>(), py::arg("poly"), py::arg("xform") = vcXform<2>::I,
           py::arg("isMutable") = true, "The outline of an SMD poly carried into client coordinates by xform.")
      .def("numVertices", &vcGenPoly::numVertices)
      .def("numSegments", &vcGenPoly::numSegments)
      .def("vertexPoint", py::overload_cast<long>(&vcGenPoly::vertexPoint, py::const_), py::arg("i"))
      .def("vertexPoint", py::overload_cast<long, const vcVector<2>&>(&vcGenPoly::vertexPoint), py::arg("i"),
           py::arg("p"))
      .def("vertexRoundingSize", py::overload_cast<long>(&vcGenPoly::vertexRoundingSize, py::const_), py::arg("i"))
      .def("vertexRoundingSize", py::overload_cast<long, double>(&vcGenPoly::vertexRoundingSize), py::arg("i"),
           py::arg("r"))
      .def("vertexRoundingSizes", &vcGenPoly::vertexRoundingSizes, py::arg("r"))
      .def("segmentAngleSpan", py::overload_cast<long>(&vcGenPoly::segmentAngleSpan, py::const_), py::arg("i"))
      .def("segmentAngleSpan", py::overload_cast<long, const vcRadian&>(&vcGenPoly::segmentAngleSpan), py::arg("i"),
           py::arg("span"))
      .def("isLineSegment", &vcGenPoly::isLineSegment, py::arg("i"))
      .def("isArcSegment", &vcGenPoly::isArcSegment, py::arg("i"))
      .def("lineSegment", &vcGenPoly::lineSegment, py::arg("i"), py::arg("full") = true)
      .def("previousVertexIndex", &vcGenPoly::previousVertexIndex, py::arg("i"))
      .def("nextVertexIndex", &vcGenPoly::nextVertexIndex, py::arg("i"))
      .def("isOpen", &vcGenPoly::isOpen)
      .def("isMutable", &vcGenPoly::isMutable)
      .def("setMutable", &vcGenPoly::setMutable, py::arg("m"))
      .def("poly", &vcGenPoly::poly, "A copy of the vertex store, in the poly's frame.")
      .def("xform", &vcGenPoly::xform)
      .def("insertVertex",
           py::overload_cast<long, const vcVector<2>&, double, const vcRadian&>(&vcGenPoly::insertVertex),
           py::arg("i"), py::arg("p"), py::arg("roundingSize") = 0.0, py::arg("span") = vcRadian(0.0))
      .def("insertVertex", py::overload_cast<const vcVector<2>&, double, const vcRadian&>(&vcGenPoly::insertVertex),
           py::arg("p"), py::arg("roundingSize") = 0.0, py::arg("span") = vcRadian(0.0))
      .def("replaceVertex",
           py::overload_cast<long, const vcVector<2>&, double, const vcRadian&>(&vcGenPoly::replaceVertex),
           py::arg("i"), py::arg("p"), py::arg("roundingSize"), py::arg("span"))
      .def("deleteVertex", &vcGenPoly::deleteVertex, py::arg("i"))
      .def("open", &vcGenPoly::open)
      .def("close", &vcGenPoly::close, py::arg("span") = vcRadian(0.0))
      .def("startPoint", &vcGenPoly::startPoint)
      .def("endPoint", &vcGenPoly::endPoint)
      .def("within", &vcGenPoly::within, py::arg("p"))
      .def("distanceToPoint", &vcGenPoly::distanceToPoint, py::arg("p"))
      .def("boundingBox", &vcGenPoly::boundingBox)
      .def("perimeter", &vcGenPoly::perimeter)
      .def("encloseRect", py::overload_cast<const vcXform<2>&>(&vcGenPoly::encloseRect, py::const_),
           py::arg("x") = vcXform<2>::I)
      .def("map", py::overload_cast<const vcXform<2>&>(&vcGenPoly::map, py::const_), py::arg("x"))
      .def("map", py::overload_cast<const vc2Rigid&, double>(&vcGenPoly::map, py::const_), py::arg("r"),
           py::arg("scale"))
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__repr__", [](const vcGenPoly& g) { return genPolyRepr("vcGenPoly", g); });
  vc_py_defArchive(gp);

  py::class_<vc2Wireframe, vcGenPoly> wf(m, "vc2Wireframe",
                                         "A generalised polygon with a polarity (which side is inside) and a "
                                         "length tolerance per segment.");
  wf.def(py::init<>())
      .def(py::init<const vcGenPoly&>(), py::arg("g"))
      .def(py::init<const vcGenPoly&, const vcDimTol&>(), py::arg("g"), py::arg("tol"))
      .def("isPolarityReversed", &vc2Wireframe::isPolarityReversed)
      .def("polarity", &vc2Wireframe::polarity, py::arg("reversed"))
      .def("isInsidePositive", &vc2Wireframe::isInsidePositive)
      .def("insidePolarity", &vc2Wireframe::insidePolarity, py::arg("insidePositive"))
      .def("segmentLengthTol", py::overload_cast<long>(&vc2Wireframe::segmentLengthTol, py::const_), py::arg("i"))
      .def("segmentLengthTol", py::overload_cast<long, const vcDimTol&>(&vc2Wireframe::segmentLengthTol),
           py::arg("i"), py::arg("tol"))
      .def("map", py::overload_cast<const vcXform<2>&>(&vc2Wireframe::map, py::const_), py::arg("x"))
      .def("map", py::overload_cast<const vc2Rigid&, double>(&vc2Wireframe::map, py::const_), py::arg("r"),
           py::arg("scale"))
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__repr__", [](const vc2Wireframe& w) { return genPolyRepr("vc2Wireframe", w); });
  vc_py_defArchive(wf);
}
