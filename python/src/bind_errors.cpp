// The library's exceptions as Python exceptions: one base class, Error, and
// one subclass per C++ exception family, each carrying the library's message
// (what()), the qualified C++ class name and the error number.
#include <exception>

#include <vc/cairo/cairoscope.h>
#include <vc/core/exception.h>
#include <vc/dimtol.h>
#include <vc/dispprop.h>
#include <vc/graphic.h>
#include <vc/uierror.h>
#include <vc/wrfm/smdmodel.h>

#include "vcpy.h"

namespace {

template <class E>
bool isA(const vcException& e) {
  return dynamic_cast<const E*>(&e) != nullptr;
}

struct Family {
  const char* name;
  // A Python built-in exception the family also derives from, or null.
  PyObject* builtin;
  bool (*matches)(const vcException&);
  const char* doc;
  PyObject* type;
};

// One row per family; the first that matches names the Python class.
Family gFamilies[] = {
    {"vcUIError", nullptr, &isA<vcUIError::Errors>, "vcUIError: the display classes' errors.", nullptr},
    {"vcArchiveError", nullptr, &isA<vcArchive::Errors>,
     "vcArchive::Errors: malformed, truncated or unreadable archives and files.", nullptr},
    {"vcShapesError", nullptr, &isA<vcShapesError::Errors>,
     "vcShapesError: parameters that describe no valid shape.", nullptr},
    {"vcGraphicPropsError", PyExc_ValueError, &isA<vcGraphicProps::BadParams>,
     "vcGraphicProps::BadParams: a negative pen width.", nullptr},
    {"vcGraphicError", nullptr, &isA<vcGraphic::Errors>, "vcGraphic::Errors: retained graphics' errors.", nullptr},
    {"vcSMDDimensionError", PyExc_ValueError, &isA<vcSMDDimensionErrors>,
     "vcSMDDimensionErrors: dimension values that break the rules.", nullptr},
    {"vcSMDGDPolyError", nullptr, &isA<vcSMDGDPoly::Errors>,
     "vcSMDGDPoly::Errors: rejected SMD poly edits and indices.", nullptr},
    {"vcSMDGDPolyVertexError", PyExc_ValueError, &isA<vcSMDGDPolyVertex::Errors>,
     "vcSMDGDPolyVertex::Errors: invalid SMD poly vertex values.", nullptr},
    {"vcSMDGDModelError", nullptr, &isA<vcSMDGDModel::Errors>, "vcSMDGDModel::Errors: SMD model errors.", nullptr},
    {"vcCairoError", nullptr, &isA<vcCairoError>, "vcCairoError: Cairo surfaces that cannot be made or written.",
     nullptr},
    {"vcBadArgument", PyExc_ValueError, &isA<vcBadArgument>, "vcBadArgument: an argument outside what is accepted.",
     nullptr},
    {"vcBadPointer", PyExc_ValueError, &isA<vcBadPointer>, "vcBadPointer: a null object where one is needed.",
     nullptr},
    {"vcMathError", PyExc_ArithmeticError, &isA<vcMathError>,
     "vcMathError: a singular matrix, a value out of range, a non-finite number.", nullptr},
    {"vcFailure", nullptr, &isA<vcFailure>, "vcFailure: a failure status code from a lower layer.", nullptr},
};

PyObject* gError = nullptr;

// Messages may quote bytes of a corrupt file: bytes that are not UTF-8 are
// kept as backslash escapes rather than failing the translation.
py::str text(const std::string& s) {
  PyObject* u = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "backslashreplace");
  if (!u) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(u);
}

void raise(const vcException& e) {
  PyObject* type = gError;
  for (const Family& f : gFamilies)
    if (f.matches(e)) {
      type = f.type;
      break;
    }
  py::object err = py::reinterpret_borrow<py::object>(type)(text(e.what()));
  err.attr("cpp_class") = text(e.className());
  err.attr("error_number") = e.errorNumber();
  err.attr("message") = text(e.message());
  PyErr_SetObject(type, err.ptr());
}

}  // namespace

void vc_py_bindErrors(py::module_& m) {
  // The classes live as long as the interpreter: the module keeps them.
  gError = PyErr_NewExceptionWithDoc("vcdisplay.Error",
                                     "Base of every exception the library raises. Attributes: cpp_class (the "
                                     "qualified C++ class name), error_number and message.",
                                     PyExc_Exception, nullptr);
  m.add_object("Error", py::handle(gError));
  for (Family& f : gFamilies) {
    py::tuple bases = f.builtin ? py::make_tuple(py::handle(gError), py::handle(f.builtin))
                                : py::make_tuple(py::handle(gError));
    const std::string qualified = std::string("vcdisplay.") + f.name;
    f.type = PyErr_NewExceptionWithDoc(qualified.c_str(), f.doc, bases.ptr(), nullptr);
    if (!f.type) throw py::error_already_set();
    m.add_object(f.name, py::handle(f.type));
  }
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const vcException& e) {
      raise(e);
    }
  });
  m.def("vfThrowExceptionOnFailure", &vfThrowExceptionOnFailure, py::arg("status"),
        "Raises vcFailure when status is negative (a failure code of a lower layer).");
}
