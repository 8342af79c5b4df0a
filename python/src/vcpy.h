// Shared pieces of the Python extension: one bind function per class family
// (each in its own translation unit, called in order by module.cpp), the
// conversions every family uses, and the archive helpers.
#pragma once

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <vc/core/archive.h>
#include <vc/core/handle.h>
#include <vc/core/pair.h>

namespace py = pybind11;

// Intrusively counted objects (retained graphics) travel as vcPtrHandle, so
// that a graphic shared by C++ lists and Python objects is counted once.
PYBIND11_DECLARE_HOLDER_TYPE(T, vcPtrHandle<T>, true)
namespace pybind11::detail {
template <class T>
struct holder_helper<vcPtrHandle<T>> {
  static T* get(const vcPtrHandle<T>& p) { return p.ptr(); }
};

// vcPair<T> is a Python 2-tuple; any sequence of two numbers (a vcVector, a
// vcPoint, a list, a NumPy array of shape (2,)) is accepted.
template <class T>
struct type_caster<vcPair<T>> {
  PYBIND11_TYPE_CASTER(vcPair<T>, const_name("tuple[") + make_caster<T>::name + const_name(", ") +
                                      make_caster<T>::name + const_name("]"));
  bool load(handle src, bool convert) {
    if (!src || PyUnicode_Check(src.ptr()) || PyBytes_Check(src.ptr()) || !PySequence_Check(src.ptr())) return false;
    const Py_ssize_t n = PySequence_Size(src.ptr());
    if (n != 2) {
      if (n < 0) PyErr_Clear();
      return false;
    }
    make_caster<T> x, y;
    object ox = reinterpret_steal<object>(PySequence_GetItem(src.ptr(), 0));
    object oy = reinterpret_steal<object>(PySequence_GetItem(src.ptr(), 1));
    if (!ox || !oy) {
      PyErr_Clear();
      return false;
    }
    if (!x.load(ox, convert) || !y.load(oy, convert)) return false;
    value = vcPair<T>(cast_op<T>(x), cast_op<T>(y));
    return true;
  }
  static handle cast(const vcPair<T>& p, return_value_policy, handle) {
    return pybind11::make_tuple(p.x(), p.y()).release();
  }
};
}  // namespace pybind11::detail

void vc_py_bindErrors(py::module_& m);
void vc_py_bindGeometry(py::module_& m);
void vc_py_bindColor(py::module_& m);
void vc_py_bindSmd(py::module_& m);
void vc_py_bindWrfm(py::module_& m);
void vc_py_bindImage(py::module_& m);
void vc_py_bindSketch(py::module_& m);
void vc_py_bindGraphics(py::module_& m);
void vc_py_bindTablet(py::module_& m);
void vc_py_bindCairo(py::module_& m);
void vc_py_bindModels(py::module_& m);
void vc_py_bindSynthetic(py::module_& m);
void vc_py_bindOffsets(py::module_& m);

// "Name(<value streamed by operator<<>)", the __repr__ of value types.
template <class T>
std::string vc_py_repr(const char* name, const T& v) {
  std::ostringstream os;
  os << name << v;
  return os.str();
}

// The archive form of v as bytes.
template <class T>
py::bytes vc_py_toBytes(T& v) {
  vcBufferArchive ar(vcArchive::eStore);
  ar || v;
  const std::vector<unsigned char>& b = ar.bytes();
  return py::bytes(reinterpret_cast<const char*>(b.data()), b.size());
}

// Reads the archive form into a fresh value; bytes left over are malformed
// input. The GIL is released while the untrusted bytes are parsed.
template <class T>
T vc_py_fromBytes(const py::bytes& data) {
  const std::string s = data;
  T v;
  {
    py::gil_scoped_release unlocked;
    vcBufferArchive ar(reinterpret_cast<const unsigned char*>(s.data()), s.size());
    ar || v;
    if (ar.remaining() != 0)
      throw vcArchive::BadData(std::to_string(ar.remaining()) + " bytes after the archived object");
  }
  return v;
}

template <class T>
void vc_py_save(T& v, const std::string& path) {
  py::gil_scoped_release unlocked;
  vcFileArchive ar(path, vcArchive::eStore);
  ar || v;
  ar.close();
}

template <class T>
T vc_py_load(const std::string& path) {
  T v;
  {
    py::gil_scoped_release unlocked;
    vcFileArchive ar(path, vcArchive::eLoad);
    ar || v;
    if (ar.remaining() != 0)
      throw vcArchive::BadData(path + ": " + std::to_string(ar.remaining()) + " bytes after the archived object");
  }
  return v;
}

// toBytes/fromBytes and save/load on a bound class of an archivable type.
template <class T, class... Extra>
void vc_py_defArchive(py::class_<T, Extra...>& c) {
  c.def("toBytes", &vc_py_toBytes<T>, "The archive form of this object.");
  c.def_static("fromBytes", &vc_py_fromBytes<T>, py::arg("data"),
               "The object read from its archive form; malformed bytes raise vcArchiveError.");
  c.def("save", &vc_py_save<T>, py::arg("path"), "Writes the archive form to a file.");
  c.def_static("load", &vc_py_load<T>, py::arg("path"),
               "Reads the archive form from a file; a missing, truncated or corrupt file raises vcArchiveError.");
}
