#include "payload.h"

#include <cstdio>

#include <vc/sketchop.h>
#include <vc/uierror.h>

void vfFailNarrowing(long v) {
  throw vcUIError::BadParams("value " + std::to_string(v) + " does not fit the record's 32-bit field");
}

void vc_PayloadReader::fail(const std::string& why) { throw vcUIError::InvalidUISketch(why); }

void vfFailAtRecord(const vcUIError::InvalidUISketch& e, long offset, long opcode) {
  std::string where = "record at byte " + std::to_string(offset);
  if (opcode >= 0) where += " (opcode " + std::to_string(opcode) + ", " + vfSketchOpcodeName(opcode) + ")";
  throw vcUIError::InvalidUISketch(where + ": " + (e.reason().empty() ? "malformed" : e.reason()));
}

// Long payloads (image rows) are cut short.
void vc_PayloadPrinter::add(const std::string& field) {
  constexpr int kMaxFields = 16;
  if (fields_ < kMaxFields) text_ += (fields_ ? " " : "") + field;
  else if (fields_ == kMaxFields) text_ += " ...";
  ++fields_;
}

void vc_PayloadPrinter::f64(const double& v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  add(buf);
}

void vc_PayloadPrinter::vec(const vcVector<2>& v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "(%g, %g)", v.x(), v.y());
  add(buf);
}

void vc_PayloadPrinter::color(const vcColor& c) {
  unsigned char b[6];
  c.toBytes(b);
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x%02x%02x%02x", b[0], b[1], b[2], b[3], b[4], b[5]);
  add(buf);
}

void vc_PayloadPrinter::bytes(const unsigned char* b, std::size_t n) {
  // A zero-terminated string is shown as text, with every byte outside
  // printable ASCII escaped so that a corrupt file cannot drive a terminal;
  // other byte runs are shown as text only when all of them are printable.
  std::size_t shown = n;
  const bool terminated = shown > 0 && b[shown - 1] == 0;
  if (terminated) --shown;
  bool text = shown > 0 && shown <= 4096;
  bool printable = true;
  for (std::size_t i = 0; i < shown && text; ++i) {
    text = b[i] != 0;
    printable = printable && b[i] >= 0x20 && b[i] < 0x7F;
  }
  if (!text || !(terminated || printable)) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "<%zu bytes>", n);
    add(buf);
    return;
  }
  std::string out = "\"";
  for (std::size_t i = 0; i < shown; ++i) {
    const unsigned char c = b[i];
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  add(out + "\"");
}

void vc_PayloadReader::count(long& n, std::uint64_t itemSize) {
  const long v = r_.i32();
  if (v < 0) fail("negative count");
  r_.require(static_cast<std::uint64_t>(v), itemSize);
  n = v;
}
