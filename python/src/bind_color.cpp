// Display value types: RGB triples, colors, pen properties, integer
// rectangles, text formats, flag stacks and the tablet enumerations.
#include <vc/color.h>
#include <vc/dispprop.h>
#include <vc/flagstack.h>
#include <vc/uirect.h>
#include <vc/uistring.h>
#include <vc/uitypes.h>

#include <pybind11/operators.h>

#include "vcpy.h"

namespace {

// The C++ stock color names, in code order.
const char* const kStockNames[vcColor::kNumStockColors] = {
    "black", "dkGrey", "grey", "ltGrey", "white",  "red",    "dkRed",   "orange",
    "yellow", "green", "dkGreen", "cyan", "blue", "purple", "magenta", "pass"};

std::string propsRepr(const vcGraphicProps& p) {
  std::ostringstream os;
  os << "vcGraphicProps(" << p.penColor() << ", width=" << p.penWidth() << ", style=" << p.penStyle()
     << ", fill=" << (p.fill() ? "True" : "False") << ", join=" << p.penJoin() << ", cap=" << p.penEndCap()
     << ", arrowHead=" << (p.arrowHead() ? "True" : "False")
     << ", arrowHeadForward=" << (p.arrowHeadForward() ? "True" : "False")
     << ", showVertex=" << (p.showVertex() ? "True" : "False") << ")";
  return os.str();
}

// vcColor.red, vcColor(1, 2, 3) or vcColor(7): what builds the same color.
std::string colorRepr(const vcColor& c) {
  if (c.isStockColor())
    for (int i = 0; i < vcColor::kNumStockColors; ++i)
      if (vcColor::stockColor(i).index() == c.index())
        return std::string("vcColor.") + (i == vcColor::kNumStockColors - 1 ? "pass_" : kStockNames[i]);
  const vcRGB& v = c.rgbStruct();
  if (c.isRGBColor())
    return "vcColor(" + std::to_string(v.r()) + ", " + std::to_string(v.g()) + ", " + std::to_string(v.b()) + ")";
  return "vcColor(" + std::to_string(c.index()) + ")";
}

}  // namespace

void vc_py_bindColor(py::module_& m) {
  py::class_<vcRGB>(m, "vcRGB", "Red, green and blue intensities, 0 to 255 each.")
      .def(py::init<>())
      .def(py::init<unsigned char, unsigned char, unsigned char>(), py::arg("r"), py::arg("g"), py::arg("b"))
      .def_property("r", py::overload_cast<>(&vcRGB::r, py::const_), py::overload_cast<unsigned char>(&vcRGB::r))
      .def_property("g", py::overload_cast<>(&vcRGB::g, py::const_), py::overload_cast<unsigned char>(&vcRGB::g))
      .def_property("b", py::overload_cast<>(&vcRGB::b, py::const_), py::overload_cast<unsigned char>(&vcRGB::b))
      .def("rgb", py::overload_cast<>(&vcRGB::rgb, py::const_), "r * 65536 + g * 256 + b.")
      .def("bgr", &vcRGB::bgr)
      .def("brightness", &vcRGB::brightness)
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__hash__", [](const vcRGB& c) { return py::hash(py::int_(c.rgb())); })
      .def("__repr__", [](const vcRGB& c) {
        return "vcRGB(" + std::to_string(c.r()) + ", " + std::to_string(c.g()) + ", " + std::to_string(c.b()) + ")";
      });

  py::class_<vcColor> color(m, "vcColor",
                            "A color: a palette index, an RGB value or a stock color carrying both. "
                            "vcColor(i) is the index color i; vcColor(r, g, b) an RGB color.");
  color.def(py::init<>())
      .def(py::init<unsigned char>(), py::arg("index"))
      .def(py::init<unsigned char, unsigned char, unsigned char>(), py::arg("r"), py::arg("g"), py::arg("b"))
      .def(py::init<const vcRGB&>(), py::arg("rgb"))
      .def("isStockColor", &vcColor::isStockColor)
      .def("isRGBColor", &vcColor::isRGBColor)
      .def("isIndexColor", &vcColor::isIndexColor)
      .def("flags", &vcColor::flags)
      .def("index", &vcColor::index, "The palette index; vcUIError (NotIndexColor) when the color has none.")
      .def("rgb", &vcColor::rgb, "r * 65536 + g * 256 + b; vcUIError (NotRGBColor) when the color has none.")
      .def("bgr", &vcColor::bgr)
      .def("rgbStruct", &vcColor::rgbStruct)
      .def_static("stockColor", &vcColor::stockColor, py::arg("code"), "The stock color of code 0 to 15.")
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__repr__", &colorRepr);
  // The stock colors as class attributes (vcColor.red; vcColor.pass_, "pass" being a Python keyword) and as
  // C++'s functions (vcColor.redColor()).
  for (int i = 0; i < vcColor::kNumStockColors; ++i) {
    const std::string name = kStockNames[i];
    color.attr(name == "pass" ? "pass_" : name.c_str()) = vcColor::stockColor(i);
    color.def_static((std::string(kStockNames[i]) + "Color").c_str(), [i]() { return vcColor::stockColor(i); });
  }

  py::class_<vcGraphicProps> props(m, "vcGraphicProps",
                                   "How a shape is drawn: pen color, width (surface pixels), style, fill, join, "
                                   "end cap, arrow heads and vertex marks.");
  py::enum_<vcGraphicProps::vePenStyle>(props, "vePenStyle")
      .value("ePenSolid", vcGraphicProps::ePenSolid)
      .value("ePenDash", vcGraphicProps::ePenDash)
      .value("ePenDot", vcGraphicProps::ePenDot)
      .value("ePenDashDot", vcGraphicProps::ePenDashDot)
      .value("ePenDashDotDot", vcGraphicProps::ePenDashDotDot)
      .value("ePenNull", vcGraphicProps::ePenNull)
      .export_values();
  py::enum_<vcGraphicProps::vePenJoin>(props, "vePenJoin")
      .value("eJoinRound", vcGraphicProps::eJoinRound)
      .value("eJoinBevel", vcGraphicProps::eJoinBevel)
      .value("eJoinMiter", vcGraphicProps::eJoinMiter)
      .export_values();
  py::enum_<vcGraphicProps::vePenEndCap>(props, "vePenEndCap")
      .value("eCapRound", vcGraphicProps::eCapRound)
      .value("eCapSquare", vcGraphicProps::eCapSquare)
      .value("eCapFlat", vcGraphicProps::eCapFlat)
      .export_values();
  props.def(py::init<>())
      .def(py::init<const vcColor&, long, vcGraphicProps::vePenStyle, bool>(), py::arg("color"),
           py::arg("penWidth") = 1, py::arg("penStyle") = vcGraphicProps::ePenSolid, py::arg("fill") = false,
           "penWidth in surface pixels; a negative width raises vcGraphicPropsError.")
#define VC_PY_PROP(name, T)                                                                  \
  def_property(#name, py::overload_cast<>(&vcGraphicProps::name, py::const_),                \
               py::overload_cast<T>(&vcGraphicProps::name))
      .VC_PY_PROP(penWidth, long)
      .VC_PY_PROP(penStyle, vcGraphicProps::vePenStyle)
      .VC_PY_PROP(fill, bool)
      .VC_PY_PROP(penJoin, vcGraphicProps::vePenJoin)
      .VC_PY_PROP(penEndCap, vcGraphicProps::vePenEndCap)
      .VC_PY_PROP(arrowHead, bool)
      .VC_PY_PROP(arrowHeadForward, bool)
      .VC_PY_PROP(showVertex, bool)
#undef VC_PY_PROP
      .def_property("penColor", py::overload_cast<>(&vcGraphicProps::penColor, py::const_),
                    py::overload_cast<const vcColor&>(&vcGraphicProps::penColor))
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__copy__", [](const vcGraphicProps& p) { return vcGraphicProps(p); })
      .def("__repr__", &propsRepr);
  py::implicitly_convertible<vcColor, vcGraphicProps>();

  py::class_<vcUIRect>(m, "vcUIRect",
                       "An integer rectangle in scope or surface pixels (x right, y down); a size below 1 makes "
                       "the null rectangle.")
      .def(py::init<>())
      .def(py::init<long, long, long, long>(), py::arg("left"), py::arg("top"), py::arg("width"), py::arg("height"))
      .def("left", &vcUIRect::left)
      .def("top", &vcUIRect::top)
      .def("width", &vcUIRect::width)
      .def("height", &vcUIRect::height)
      .def("right", &vcUIRect::right)
      .def("bottom", &vcUIRect::bottom)
      .def("ul", py::overload_cast<>(&vcUIRect::ul, py::const_))
      .def("sz", py::overload_cast<>(&vcUIRect::sz, py::const_))
      .def("isNull", &vcUIRect::isNull)
      .def("within", py::overload_cast<vcPair<long>>(&vcUIRect::within, py::const_), py::arg("p"))
      .def("nullIntersection", &vcUIRect::nullIntersection, py::arg("r"))
      .def(py::self & py::self)
      .def(py::self | py::self)
      .def(py::self == py::self)
      .def(py::self != py::self)
      .def("__hash__", [](const vcUIRect& r) { return py::hash(py::make_tuple(r.left(), r.top(), r.width(), r.height())); })
      .def("__repr__", [](const vcUIRect& r) { return vc_py_repr("vcUIRect", r); });

  py::class_<vcUIFormat> format(m, "vcUIFormat", "Where text goes relative to its anchor, and its font.");
  py::enum_<vcUIFormat::Alignment>(format, "Alignment")
      .value("eTopLeft", vcUIFormat::eTopLeft)
      .value("eTopCenter", vcUIFormat::eTopCenter)
      .value("eTopRight", vcUIFormat::eTopRight)
      .value("eCenterLeft", vcUIFormat::eCenterLeft)
      .value("eCenter", vcUIFormat::eCenter)
      .value("eCenterRight", vcUIFormat::eCenterRight)
      .value("eBottomLeft", vcUIFormat::eBottomLeft)
      .value("eBottomCenter", vcUIFormat::eBottomCenter)
      .value("eBottomRight", vcUIFormat::eBottomRight)
      .export_values();
  format.def(py::init<vcUIFormat::Alignment>(), py::arg("alignment") = vcUIFormat::eTopLeft)
      .def(py::init<long, vcUIFormat::Alignment>(), py::arg("fontId"), py::arg("alignment"))
      .def_property("fontId", py::overload_cast<>(&vcUIFormat::fontId, py::const_),
                    py::overload_cast<long>(&vcUIFormat::fontId))
      .def_property("alignment", py::overload_cast<>(&vcUIFormat::alignment, py::const_),
                    py::overload_cast<vcUIFormat::Alignment>(&vcUIFormat::alignment));

  py::class_<vcFlagStack>(m, "vcFlagStack", "A bounded stack of booleans whose top is a switch.")
      .def("push", &vcFlagStack::push, py::arg("on"))
      .def("pop", &vcFlagStack::pop, "Removes the top; vcUIError (FlagStackUnderflow) when one entry is left.")
      .def("depth", &vcFlagStack::depth)
      .def("top", [](const vcFlagStack& s) { return static_cast<bool>(s); })
      .def("set", [](vcFlagStack& s, bool on) { s = on; }, py::arg("on"), "Replaces the top.")
      .def("__getitem__", &vcFlagStack::operator[], py::arg("i"), "Entry i from the top.")
      .def("__bool__", [](const vcFlagStack& s) { return static_cast<bool>(s); });

  py::class_<vcUITabletTypes> types(m, "vcUITabletTypes", "The enumerations shared by tablets and scopes.");
  py::enum_<vcUITabletTypes::Layers>(types, "Layers")
      .value("eImage", vcUITabletTypes::eImage)
      .value("eOverlay", vcUITabletTypes::eOverlay)
      .value("eBoth", vcUITabletTypes::eBoth)
      .export_values();
  py::enum_<vcUITabletTypes::ScaleModes>(types, "ScaleModes")
      .value("eNoScale", vcUITabletTypes::eNoScale)
      .value("eExpand", vcUITabletTypes::eExpand)
      .value("eSample", vcUITabletTypes::eSample)
      .export_values();
  py::enum_<vcUITabletTypes::InterpolationModes>(types, "InterpolationModes")
      .value("eNoInterpolation", vcUITabletTypes::eNoInterpolation)
      .value("eBilinear", vcUITabletTypes::eBilinear)
      .value("eBicubic", vcUITabletTypes::eBicubic)
      .export_values();
  py::enum_<vcUITabletTypes::FillType>(types, "FillType")
      .value("eFillToBorder", vcUITabletTypes::eFillToBorder)
      .value("eFillSurface", vcUITabletTypes::eFillSurface)
      .export_values();
  m.attr("Layers") = types.attr("Layers");
}
