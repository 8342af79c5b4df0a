// Retained graphics (a shape with the props that say how to draw it) and
// graphic lists. Graphics are shared: a graphic appended to a list without
// copying is the same object as the Python one.
#include <vc/core/circle.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/glist.h>
#include <vc/graphic.h>
#include <vc/graphic_special.h>
#include <vc/uitablet.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

#include "vcpy.h"

namespace {

using GraphicHandle = vcPtrHandle<vcGraphic>;

// None or a graphic; anything else raises TypeError.
GraphicHandle graphicOrNull(const py::object& o) {
  if (o.is_none()) return GraphicHandle();
  return o.cast<GraphicHandle>();
}

template <class Shape>
void defMakeShapeGraphic(py::class_<vcGraphic, GraphicHandle>& c) {
  c.def_static("makeShapeGraphic",
               [](const Shape& s, const vcGraphicProps& props) { return vcGraphic::makeShapeGraphic(s, props); },
               py::arg("shape"), py::arg("props"));
}

long listIndex(const vcGraphicList& l, long i) {
  const long n = static_cast<long>(l.items().size());
  if (i < 0) i += n;
  if (i < 0 || i >= n) throw py::index_error("graphic list index out of range");
  return i;
}

py::object graphicOrNone(const GraphicHandle& g) { return g ? py::cast(g) : py::none(); }

}  // namespace

void vc_py_bindGraphics(py::module_& m) {
  py::class_<vcGraphic, GraphicHandle> g(m, "vcGraphic",
                                         "A retained graphic: a shape (client coordinates) and the props that say "
                                         "how to draw it. Made by makeShapeGraphic or makeGroup.");
  g.def_property("props", [](const vcGraphic& x) { return vcGraphicProps(x.props()); },
                 py::overload_cast<const vcGraphicProps&>(&vcGraphic::props))
      .def_property("color", py::overload_cast<>(&vcGraphic::color, py::const_),
                    py::overload_cast<const vcColor&>(&vcGraphic::color))
      .def("map", &vcGraphic::map, py::arg("x"), "A new graphic mapped by x.")
      .def("clone", &vcGraphic::clone)
      .def("encloseRect", &vcGraphic::encloseRect)
      .def("distToPoint", &vcGraphic::distToPoint, py::arg("p"))
      .def("isNull", &vcGraphic::isNull)
      .def("className", [](const vcGraphic& x) { return x.className(); }, "The qualified C++ class name.")
      .def_static("makeGroup", [](const py::list& items, bool copy) {
             std::vector<GraphicHandle> v;
             for (const py::handle& h : items) v.push_back(graphicOrNull(py::reinterpret_borrow<py::object>(h)));
             vcPtrHandle<vcGraphicGroup> group(new vcGraphicGroup);
             group->items(v, copy);
             return GraphicHandle(group);
           }, py::arg("items"), py::arg("copy") = false, "A vcGraphicGroup of the given graphics.")
      .def("numItems", [](const vcGraphic& x) {
             const auto* group = dynamic_cast<const vcGraphicGroup*>(&x);
             if (!group) throw py::type_error("not a graphic group");
             return group->numItems();
           })
      .def("item", [](const vcGraphic& x, long i) {
             const auto* group = dynamic_cast<const vcGraphicGroup*>(&x);
             if (!group) throw py::type_error("not a graphic group");
             return graphicOrNone(GraphicHandle(const_cast<vcGraphic*>(group->item(i).ptr())));
           }, py::arg("i"), "Item i of a group; vcGraphicError outside 0..numItems()-1.")
      .def("__repr__", [](const vcGraphic& x) { return "vcGraphic(" + x.className() + ")"; });
  defMakeShapeGraphic<vcLineSeg>(g);
  defMakeShapeGraphic<vcCircle>(g);
  defMakeShapeGraphic<vcRect>(g);
  defMakeShapeGraphic<vcPolygon>(g);
  defMakeShapeGraphic<vc2Wireframe>(g);
  defMakeShapeGraphic<vcGenPoly>(g);

  py::class_<vcGraphicList> list(m, "vcGraphicList",
                                 "An ordered list of graphics, drawn, recorded into a sketch or archived whole.");
  list.def(py::init<>())
      .def(py::init<const vcGraphicList&>(), py::arg("other"), "A deep copy: every graphic cloned.")
      .def("append", [](vcGraphicList& l, const py::object& x, bool copy) { l.append(graphicOrNull(x), copy); },
           py::arg("graphic"), py::arg("copy") = false,
           "Appends the graphic (a clone when copy); None appends a null item, which raises vcBadPointer when drawn.")
      .def("extend", [](vcGraphicList& l, vcGraphicList& other, bool copy) { l.append(other, copy); },
           py::arg("other"), py::arg("copy") = false)
      .def("reset", &vcGraphicList::reset)
      .def("draw", [](const vcGraphicList& l, vcUITablet& t, vcUITabletTypes::Layers layers) { l.draw(t, layers); },
           py::arg("tablet"), py::arg("layers"))
      .def("sketch", &vcGraphicList::sketch, py::arg("layers"),
           "The sketch that drawing the list on a recording tablet records.")
      .def("__len__", [](const vcGraphicList& l) { return l.items().size(); })
      .def("__getitem__", [](const vcGraphicList& l, long i) { return graphicOrNone(l.items()[listIndex(l, i)]); })
      .def("__setitem__", [](vcGraphicList& l, long i, const py::object& x) {
        l.items()[listIndex(l, i)] = graphicOrNull(x);
      })
      .def("__delitem__", [](vcGraphicList& l, long i) { l.items().erase(l.items().begin() + listIndex(l, i)); })
      .def("__iter__", [](const vcGraphicList& l) {
        py::list out;
        for (const GraphicHandle& h : l.items()) out.append(graphicOrNone(h));
        return py::iter(out);
      })
      .def("__repr__", [](const vcGraphicList& l) {
        return "vcGraphicList(" + std::to_string(l.items().size()) + " graphics)";
      });
  vc_py_defArchive(list);
}
