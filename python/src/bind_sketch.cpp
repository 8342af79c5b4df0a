// Sketches (display lists): their bytes, their records one by one, and their
// archive form in memory and in .vcs files.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <vc/sketchop.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>
#include <vc/uitablet.h>

#include "vcpy.h"

namespace {

// One parsed record: where it lies, its header (opcode, layer, color and the
// props in force) and its payload object.
struct SketchRecord {
  long offset = 0;
  long size = 0;
  bool hasProps = false;
  vc_UISketchOpHeader header;
  std::shared_ptr<const vc_UISketchOpData> data;
  std::string bytes;
};

// Every record of s, in order. Malformed bytes raise InvalidUISketch.
std::vector<SketchRecord> parseAll(const vcUISketch& s) {
  std::vector<SketchRecord> out;
  vcUISketchRecords walk(s);
  for (const vcUISketchRecord& r : walk) {
    SketchRecord& kept = out.emplace_back();
    kept.offset = r.offset;
    kept.size = r.size;
    kept.hasProps = r.ownProps;
    kept.header = *r.header;
    kept.data = walk.takeData();
    kept.bytes.assign(reinterpret_cast<const char*>(s.data() + r.offset), static_cast<std::size_t>(r.size));
  }
  return out;
}

std::vector<SketchRecord> records(const vcUISketch& s) {
  py::gil_scoped_release unlocked;
  return parseAll(s);
}

py::bytes sketchBytes(const vcUISketch& s) {
  return py::bytes(reinterpret_cast<const char*>(s.data()), static_cast<std::size_t>(s.size()));
}

}  // namespace

void vc_py_bindSketch(py::module_& m) {
  py::class_<vcUISketchMark>(m, "vcUISketchMark", "A byte offset into a sketch, on a record boundary.")
      .def("offset", &vcUISketchMark::offset)
      .def("__eq__", [](const vcUISketchMark& a, const vcUISketchMark& b) { return a == b; })
      .def("__lt__", [](const vcUISketchMark& a, const vcUISketchMark& b) { return a < b; })
      .def("__repr__", [](const vcUISketchMark& k) { return "vcUISketchMark(" + std::to_string(k.offset()) + ")"; });

  py::class_<SketchRecord>(m, "SketchRecord",
                           "One record of a sketch: its place (offset, size in bytes), head (opcode, name, "
                           "layer, color), the pen properties in force, and its payload described as text.")
      .def_readonly("offset", &SketchRecord::offset)
      .def_readonly("size", &SketchRecord::size)
      .def_property_readonly("opcode", [](const SketchRecord& r) { return r.header.opcode(); })
      .def_property_readonly("name", [](const SketchRecord& r) { return std::string(vfSketchOpcodeName(r.header.opcode())); })
      .def_property_readonly("layer", [](const SketchRecord& r) { return r.header.layer(); })
      .def_property_readonly("color", [](const SketchRecord& r) { return r.header.color(); })
      .def_property_readonly("props", [](const SketchRecord& r) { return vcGraphicProps(r.header.props()); })
      .def_readonly("hasProps", &SketchRecord::hasProps,
                             "Whether a props record precedes this record's head.")
      .def_property_readonly("payload", [](const SketchRecord& r) { return r.data->describe(); },
                             "The payload's fields in order, as text.")
      .def_property_readonly("bytes", [](const SketchRecord& r) { return py::bytes(r.bytes); },
                             "The record's bytes: props record (if any), head and payload.")
      .def("draw", [](const SketchRecord& r, vcUITablet& t) {
             vc_UISketchOpHeader h(r.header);
             r.data->draw(t, h);
           }, py::arg("tablet"), "Draws this record alone on the tablet, on its own layer.")
      .def("__repr__", [](const SketchRecord& r) {
        return "SketchRecord(" + std::to_string(r.offset) + ", " + vfSketchOpcodeName(r.header.opcode()) + ": " +
               r.data->describe() + ")";
      });

  py::class_<vcUISketch> sk(m, "vcUISketch",
                            "A display list: the byte stream of drawing records a recording tablet appends to. "
                            "Iterating gives one SketchRecord per record. save/load read and write .vcs files.");
  sk.def(py::init<>())
      .def(py::init<const vcUISketch&>(), py::arg("other"))
      .def("data", &sketchBytes, "A copy of the byte stream.")
      .def("size", &vcUISketch::size, "Bytes in the stream.")
      .def("capacity", &vcUISketch::capacity)
      .def("isNull", &vcUISketch::isNull)
      .def("append", [](vcUISketch& s, const py::bytes& b) {
             const std::string raw = b;
             s.append(raw.data(), static_cast<long>(raw.size()));
           }, py::arg("bytes"),
           "Appends raw record bytes as they are; they are checked when parsed or replayed.")
      .def("mark", &vcUISketch::mark)
      .def("subSketch", &vcUISketch::subSketch, py::arg("from"), py::arg("to"))
      .def("insert", &vcUISketch::insert, py::arg("other"), py::arg("at"), py::return_value_policy::reference_internal)
      .def("remove", &vcUISketch::remove, py::arg("from"), py::arg("to"), py::return_value_policy::reference_internal)
      .def("erase", &vcUISketch::erase, py::return_value_policy::reference_internal)
      .def("eraseAndDelete", &vcUISketch::eraseAndDelete, py::return_value_policy::reference_internal)
      .def("records", &records, "Every record, parsed; malformed bytes raise vcUIError.")
      .def("__iter__", [](const vcUISketch& s) { return py::iter(py::cast(records(s))); })
      .def("__add__", [](const vcUISketch& a, const vcUISketch& b) { return a + b; })
      .def("__iadd__", [](vcUISketch& a, const vcUISketch& b) -> vcUISketch& { return a += b; },
           py::return_value_policy::reference_internal)
      .def("__eq__", [](const vcUISketch& a, const vcUISketch& b) {
        return a.size() == b.size() && std::equal(a.data(), a.data() + a.size(), b.data());
      }, "Equal byte streams.")
      .def("__copy__", [](const vcUISketch& s) { return vcUISketch(s); })
      .def("__repr__", [](const vcUISketch& s) { return "vcUISketch(" + std::to_string(s.size()) + " bytes)"; });
  vc_py_defArchive(sk);
  m.def("vfSketchOpcodeName", &vfSketchOpcodeName, py::arg("opcode"), "The record kind of an opcode, '?' if none.");
}
