// 8-bit pel buffers and NumPy arrays, both ways without copying: a buffer
// made from an array views the array's memory (and keeps the array alive),
// and a buffer's pixels are readable and writable as an array that views the
// buffer's storage (and keeps it alive).
#include <memory>

#include <vc/core/pelbuffer.h>

#include <pybind11/numpy.h>

#include "vcpy.h"
#include "vcpy_image.h"

namespace {

using Buffer = vcPelBuffer<unsigned char>;

// The window's pixels as a (height, width) uint8 array over the buffer's
// storage; owner keeps the storage alive.
py::array viewOf(const Buffer& buf, py::handle owner) {
  const long w = buf.width(), h = buf.height();
  if (w == 0 || h == 0) return py::array_t<unsigned char>(std::vector<py::ssize_t>{h, w});
  unsigned char* first = const_cast<unsigned char*>(buf.pointToPel(buf.offset().x(), buf.offset().y()));
  return py::array_t<unsigned char>({h, w}, {buf.rowPitch(), 1L}, first, owner);
}

}  // namespace

std::shared_ptr<void> vc_py_keepAlive(py::handle owner) {
  owner.inc_ref();
  // The last view of the pixels may go away in a thread without the GIL.
  return std::shared_ptr<void>(owner.ptr(), [](void* p) {
    py::gil_scoped_acquire locked;
    py::handle(static_cast<PyObject*>(p)).dec_ref();
  });
}

vc_PyArrayView vc_py_checkedArray(const py::array& a, int dims, long lastDim, const char* what) {
  const py::dtype type = a.dtype();
  if (type.kind() != 'u' || type.itemsize() != 1)
    throw py::type_error(std::string(what) + ": expected a uint8 array, got dtype " +
                         py::repr(type).cast<std::string>());
  if (a.ndim() != dims || (dims == 3 && a.shape(2) != lastDim))
    throw py::value_error(std::string(what) + ": expected an array of shape " +
                          (dims == 2 ? "(height, width)" : "(height, width, " + std::to_string(lastDim) + ")") +
                          ", got " + py::str(py::getattr(a, "shape")).cast<std::string>());
  if (a.shape(0) == 0 || a.shape(1) == 0)
    throw py::value_error(std::string(what) + ": empty image: the array has shape " +
                          py::str(py::getattr(a, "shape")).cast<std::string>() +
                          "; an image needs at least one row and one column");
  if (!a.writeable()) throw py::value_error(std::string(what) + ": the array is read-only");
  const py::ssize_t pel = dims == 3 ? lastDim : 1;
  const bool packed = a.strides(dims - 1) == 1 && (dims == 2 || a.strides(1) == pel);
  if (!packed || a.strides(0) < a.shape(1) * pel || a.strides(0) % pel != 0)
    throw py::value_error(std::string(what) +
                          ": the array's rows must be contiguous and not overlap (a C-contiguous array or a "
                          "slice of rows of one); copy it with numpy.ascontiguousarray first");
  return {static_cast<unsigned char*>(const_cast<py::array&>(a).mutable_data()), static_cast<long>(a.shape(0)), static_cast<long>(a.shape(1)),
          static_cast<long>(a.strides(0))};
}

Buffer vc_py_bufferOfArray(const py::array& a) {
  const vc_PyArrayView v = vc_py_checkedArray(a, 2, 1, "vcPelBuffer");
  return Buffer::wrap(v.data, v.width, v.height, v.rowStride, vc_py_keepAlive(a));
}

void vc_py_bindImage(py::module_& m) {
  py::class_<Buffer> cls(m, "vcPelBuffer", py::buffer_protocol(),
                     "vcPelBuffer<unsigned char>: an 8-bit image, a view onto shared pixels in image coordinates "
                     "(x right, y down, one unit per pixel). vcPelBuffer(array) views a writable uint8 NumPy "
                     "array of shape (height, width) without copying; numpy.asarray(buf) and buf.array() view "
                     "the buffer's window without copying. A uint8 array is accepted wherever a vcPelBuffer is.");
  cls.def(py::init<>())
      .def(py::init<long, long>(), py::arg("width"), py::arg("height"), "width x height zeroed pixels.")
      .def(py::init(&vc_py_bufferOfArray), py::arg("array"))
      // Members of the read-only base class, which is not bound itself.
      .def("width", [](const Buffer& b) { return b.width(); }, "Width of the window, pixels.")
      .def("height", [](const Buffer& b) { return b.height(); }, "Height of the window, pixels.")
      .def("rowPitch", [](const Buffer& b) { return b.rowPitch(); }, "Elements from one row to the next.")
      .def("isNull", [](const Buffer& b) { return b.isNull(); }, "True when the buffer has no storage.")
      .def("offset", [](const Buffer& b) { return b.offset(); }, "The window's upper-left corner, image coordinates.")
      .def("window", [](const Buffer& b) { const auto& r = b.window(); return py::make_tuple(r.x(), r.y(), r.width(), r.height()); },
           "(x, y, width, height) of the window, image coordinates.")
      .def("window", [](Buffer& b, long x, long y, long w, long h) { b.window(vcRectangle<long>(x, y, w, h)); },
           py::arg("x"), py::arg("y"), py::arg("width"), py::arg("height"),
           "Moves the window within the storage; vcBadArgument outside it.")
      .def("clientFromImageXform", [](const Buffer& b) { return b.clientFromImageXform(); },
           "The transform from image to client coordinates.")
      .def("clientFromImageXform", [](Buffer& b, const vcXform<2>& x) { b.clientFromImageXform(x); }, py::arg("x"))
      .def("pel", [](const Buffer& b, long x, long y) { return *b.pointToPel(x, y); }, py::arg("x"), py::arg("y"),
           "The pixel at image (x, y); vcBadArgument outside the window.")
      .def("setPel", [](Buffer& b, long x, long y, unsigned char v) { *b.pointToPel(x, y) = v; }, py::arg("x"),
           py::arg("y"), py::arg("value"))
      .def("fill", &Buffer::fill, py::arg("value"))
      .def("clone", [](const Buffer& b) { return b.clone(); }, "A deep copy of the window in fresh storage.")
      .def("sharesPels", [](const Buffer& a, const Buffer& b) { return a.sharesPels(b); }, py::arg("other"))
      .def("array", [](py::object self) { return viewOf(self.cast<const Buffer&>(), self); },
           "The window as a (height, width) uint8 array viewing these pixels.")
      .def_buffer([](Buffer& b) {
        const long w = b.width(), h = b.height();
        unsigned char* first = w && h ? b.pointToPel(b.offset().x(), b.offset().y()) : nullptr;
        return py::buffer_info(first, 1, py::format_descriptor<unsigned char>::format(), 2, {h, w},
                               {b.rowPitch(), 1L});
      })
      .def("__eq__", [](const Buffer& a, const Buffer& b) { return a == b; })
      .def("__repr__", [](const Buffer& b) {
        return "vcPelBuffer(" + std::to_string(b.width()) + " x " + std::to_string(b.height()) + ")";
      });
  py::implicitly_convertible<py::array, Buffer>();

  // Functions over buffers take uint8 arrays in their place, without copying,
  // so that writing into a buffer writes into the caller's array.
  m.def("vfPelSet", [](Buffer& buf, unsigned char value) { vfPelSet(buf, value); }, py::arg("buf"),
        py::arg("value"), "Sets every pixel of buf's window to value.");
  m.def("vfPelMap", [](const Buffer& src, Buffer& dst, const std::vector<unsigned char>& map) {
          py::gil_scoped_release unlocked;
          vfPelMap(src, dst, map);
        },
        py::arg("src"), py::arg("dst"), py::arg("map"),
        "dst = map[src] over the common window size; values beyond the end of map stay as they are. dst may "
        "share pixels with src.");
  vc_py_defArchive(cls);
}
