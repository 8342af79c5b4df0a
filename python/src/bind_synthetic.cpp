// Synthetic rendering into 8-bit images. Every function takes the image as a
// vcPelBuffer or directly as a writable (height, width) uint8 NumPy array
// whose rows are contiguous; the array's own memory is written, never a copy.
// The GIL is released while rendering. Image coordinates: x right, y down,
// one unit per pixel; transforms map client coordinates into them.
//
// vc2XformBase can be subclassed in Python for non-linear transforms
// (mapPoint, linearXform, isLinear); the renderer calls those methods back,
// taking the GIL for each call.
#include <string>
#include <type_traits>

#include <vc/core/xform.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/synthetic.h>

#include <pybind11/numpy.h>

#include "vcpy.h"
#include "vcpy_image.h"

// An image argument of a renderer: a vcPelBuffer (sharing its pixels), or a
// writable (height, width) uint8 array whose own memory is written. Arrays
// that cannot be written in place raise TypeError or ValueError saying why.
// The caller's argument keeps the array alive for the call, so the view
// takes no reference of its own.
struct vc_PyImage {
  vcPelBuffer<unsigned char> buf;
};

namespace pybind11::detail {
template <>
struct type_caster<vc_PyImage> {
  PYBIND11_TYPE_CASTER(vc_PyImage, const_name("vcPelBuffer"));
  bool load(handle src, bool) {
    if (isinstance<vcPelBuffer<unsigned char>>(src)) {
      value.buf = src.cast<const vcPelBuffer<unsigned char>&>();
      return true;
    }
    if (!isinstance<array>(src)) return false;
    const vc_PyArrayView v = vc_py_checkedArray(reinterpret_borrow<array>(src), 2, 1, "image");
    value.buf = vcPelBuffer<unsigned char>::wrap(v.data, v.width, v.height, v.rowStride, nullptr);
    return true;
  }
};
}  // namespace pybind11::detail

namespace {

using Buffer = vcPelBuffer<unsigned char>;
using XformHandle = vcPtrHandle_const<vc2XformBase>;
using PP = vcSMDGDPolyPrivate;

// Lets Python classes derive from vc2XformBase. A method that is missing or
// returns something of the wrong type raises TypeError saying which method
// returned what and what it must return.
class PyXform : public vc2XformBase {
public:
  vcVector<2> mapPoint(const vcVector<2>& p) const override {
    return call<vcVector<2>>("mapPoint", "a point (a vcVector or a pair of numbers)", p);
  }
  vcXform<2> linearXform(const vcVector<2>& at) const override {
    return call<vcXform<2>>("linearXform", "a vcXform", at);
  }
  bool isLinear() const override { return call<bool>("isLinear", "a bool"); }
  vcPtrHandle_const<vc2XformBase> inverseBase() const override {
    throw vcBadArgument("a transform defined in Python has no inverse");
  }
  vcPtrHandle<vc2XformBase> clone() const override {
    throw vcBadArgument("a transform defined in Python cannot be cloned");
  }

private:
  template <class R, class... Args>
  R call(const char* name, const char* must, const Args&... args) const {
    py::gil_scoped_acquire locked;
    const py::function f = py::get_override(static_cast<const vc2XformBase*>(this), name);
    if (!f) throw py::type_error(std::string("vc2XformBase.") + name + "() is not defined; a subclass must define it");
    // The subclass's name, as the bound method knows its instance.
    const auto where = [&] {
      return f.attr("__self__").attr("__class__").attr("__name__").cast<std::string>() + "." + name + "()";
    };
    const py::object r = f(args...);
    // bool is strict: a truthy object is not taken for True.
    if constexpr (std::is_same_v<R, bool>) {
      if (py::isinstance<py::bool_>(r)) return r.cast<bool>();
    } else {
      try {
        return r.cast<R>();
      } catch (const py::cast_error&) {
        // Reported below, with what was returned.
      } catch (const py::reference_cast_error&) {
        // None for a class: pybind11 would take this for a mismatched overload.
      }
    }
    throw py::type_error(where() + " returned " + py::repr(r).cast<std::string>() + "; it must return " + must);
  }
};

XformHandle handleOf(const vcPtrHandle<vc2XformBase>& x) { return XformHandle(x.ptr()); }

// Both transform forms of one rendering call: f(x, buffer) runs without the GIL.
template <class Cls, class F>
void defBoth(Cls& c, const char* name, F f, const char* doc) {
  c.def(
      name,
      [f](const typename Cls::type& self, const vcXform<2>& x, vc_PyImage image) {
        py::gil_scoped_release unlocked;
        f(self, x, image.buf);
      },
      py::arg("x"), py::arg("image"), doc);
  c.def(
      name,
      [f](const typename Cls::type& self, const vcPtrHandle<vc2XformBase>& x, vc_PyImage image) {
        const XformHandle h = handleOf(x);
        py::gil_scoped_release unlocked;
        f(self, h, image.buf);
      },
      py::arg("x"), py::arg("image"), "The same through a possibly non-linear transform (a vc2XformBase subclass).");
}

// The four (x0, y0, x1, y1) outputs of the arc functions as a tuple.
template <class F>
py::tuple arcEnds(F f) {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  {
    py::gil_scoped_release unlocked;
    f(&x0, &y0, &x1, &y1);
  }
  return py::make_tuple(x0, y0, x1, y1);
}

signed char sideOf(int side) { return static_cast<signed char>(side > 0 ? 1 : side < 0 ? -1 : 0); }
signed char grey(unsigned char v) { return static_cast<signed char>(v); }

}  // namespace

void vc_py_bindSynthetic(py::module_& m) {
  py::class_<vc2XformBase, PyXform, vcPtrHandle<vc2XformBase>>(
      m, "vc2XformBase",
      "A 2-D transform that may be non-linear. Subclass it in Python and define mapPoint(p) -> point, "
      "linearXform(at) -> vcXform (the affine map that best approximates it near at) and isLinear() -> bool; "
      "the synthetic renderers accept it where a transform is expected.")
      .def(py::init<>())
      .def("mapPoint", &vc2XformBase::mapPoint, py::arg("p"), "Maps a point of the source frame.")
      .def("linearXform", &vc2XformBase::linearXform, py::arg("at"),
           "The affine transform closest to this one near the source point at.")
      .def("isLinear", &vc2XformBase::isLinear, "True when linearXform is the same everywhere.");

  auto poly = py::reinterpret_borrow<py::class_<vcSMDGDPoly>>(m.attr("vcSMDGDPoly"));
  defBoth(
      poly, "drawSynthetic", [](const vcSMDGDPoly& p, const auto& x, Buffer& b) { p.drawSynthetic(x, b); },
      "Fills the closed poly into image (a vcPelBuffer or a uint8 array, written in place) with the grey level of "
      "its synthetic color; x maps poly coordinates to image coordinates. An open poly draws nothing.");
  auto model = py::reinterpret_borrow<py::class_<vcSMDGDModel>>(m.attr("vcSMDGDModel"));
  defBoth(
      model, "drawSynthetic", [](const vcSMDGDModel& md, const auto& x, Buffer& b) { md.drawSynthetic(x, b); },
      "Every poly's synthetic image in turn, each in its own synthetic color, into image (a vcPelBuffer or a "
      "uint8 array, written in place); x maps model coordinates to image coordinates.");

  auto pp = py::reinterpret_borrow<py::class_<PP>>(m.attr("vcSMDGDPolyPrivate"));
  pp.def_static(
        "drawSynthetic",
        [](const vcSMDGDPoly& p, const vcXform<2>& x, vc_PyImage image, unsigned char value, bool smooth,
           bool fill) {
          py::gil_scoped_release unlocked;
          PP::drawSynthetic(p, x, image.buf, value, smooth, fill);
        },
        py::arg("p"), py::arg("x"), py::arg("image"), py::arg("value"), py::arg("smooth"), py::arg("fill"),
        "Renders p mapped by x into image (vcPelBuffer or uint8 array, in place) with grey level value (0 to 255). "
        "smooth: boundary pixels take their exact coverage; fill: the interior too.")
      .def_static(
          "drawSynthetic",
          [](const vcSMDGDPoly& p, const vcPtrHandle<vc2XformBase>& x, vc_PyImage image, unsigned char value,
             bool smooth, bool fill) {
            const XformHandle h = handleOf(x);
            py::gil_scoped_release unlocked;
            PP::drawSynthetic(p, h, image.buf, value, smooth, fill);
          },
          py::arg("p"), py::arg("x"), py::arg("image"), py::arg("value"), py::arg("smooth"), py::arg("fill"));

  m.def(
      "vfDrawSynthetic",
      [](const vcGenPoly& g, const vcXform<2>& x, vc_PyImage image, unsigned char value) {
        py::gil_scoped_release unlocked;
        vfDrawSynthetic(g, x, image.buf, value);
      },
      py::arg("g"), py::arg("x"), py::arg("image"), py::arg("value"),
      "Fills the closed generalised polygon g (its own xform first, then x: client to image) into image "
      "(vcPelBuffer or uint8 array, in place) with grey level value (0 to 255); an open g raises vcShapesError.");
  m.def(
      "vfDrawSynthetic",
      [](const vcGenPoly& g, const vcPtrHandle<vc2XformBase>& x, vc_PyImage image, unsigned char value) {
        const XformHandle h = handleOf(x);
        py::gil_scoped_release unlocked;
        vfDrawSynthetic(g, h, image.buf, value);
      },
      py::arg("g"), py::arg("x"), py::arg("image"), py::arg("value"));

  m.def(
      "drawLinePelBuf",
      [](vc_PyImage image, const vc2SegmentLine& line, const vcXform<2>& x, unsigned char value, int side) {
        py::gil_scoped_release unlocked;
        drawLinePelBuf(image.buf, line, x, grey(value), sideOf(side));
      },
      py::arg("image"), py::arg("line"), py::arg("x"), py::arg("value"), py::arg("side"),
      "Blends the pixels one boundary segment (mapped by x, client to image) passes through toward grey level "
      "value (0 to 255); side > 0: the region lies on the segment's +90 degree side, < 0: the other side, 0: the "
      "pixels are set to value. Writes image (vcPelBuffer or uint8 array) in place.");
  m.def(
      "drawArcPelBuf",
      [](vc_PyImage image, const vc2SegmentArc& arc, const vcXform<2>& x, unsigned char value, int side) {
        return arcEnds([&](double* x0, double* y0, double* x1, double* y1) {
          drawArcPelBuf(image.buf, arc, x, grey(value), sideOf(side), x0, y0, x1, y1);
        });
      },
      py::arg("image"), py::arg("arc"), py::arg("x"), py::arg("value"), py::arg("side"),
      "The same for an arc; returns (x0, y0, x1, y1), the image coordinates of the arc's first and last points "
      "as drawn.");
  m.def(
      "drawHorizontalExtentsPelBuf",
      [](vc_PyImage image, const vc2SegmentLine& line, const vcXform<2>& x, unsigned char value) {
        py::gil_scoped_release unlocked;
        drawHorizontalExtentsPelBuf(image.buf, line, x, grey(value));
      },
      py::arg("image"), py::arg("line"), py::arg("x"), py::arg("value"),
      "Sets to value (0 to 255) the pixel where the segment (mapped by x) crosses each pixel row's centre line. "
      "Writes image (vcPelBuffer or uint8 array) in place.");
  m.def(
      "drawHorizontalExtentsPelBuf",
      [](vc_PyImage image, const vc2SegmentArc& arc, const vcXform<2>& x, unsigned char value) {
        return arcEnds([&](double* x0, double* y0, double* x1, double* y1) {
          drawHorizontalExtentsPelBuf(image.buf, arc, x, grey(value), x0, y0, x1, y1);
        });
      },
      py::arg("image"), py::arg("arc"), py::arg("x"), py::arg("value"),
      "The same along an arc's chords; returns (x0, y0, x1, y1) as drawArcPelBuf does.");
}
