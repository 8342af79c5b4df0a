// The sketch record payload codec. Each payload layout is described once, by a
// struct whose io() member template names its fields in order; the same
// description measures (vc_PayloadSizer), writes (vc_PayloadWriter) and reads
// (vc_PayloadReader) it, so the tablet's recorder, the record parsers and
// populateSketch cannot disagree. All values are little-endian and unaligned:
// a long is 4 bytes, a double 8, a float 4, a vector two doubles, a color the
// 6-byte vcColor value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <vc/color.h>
#include <vc/core/byteio.h>
#include <vc/core/vector.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>

// The one narrowing of a long into a record's 4-byte field: a value the
// field cannot hold is refused with vcUIError::BadParams, never cut short.
[[noreturn]] void vfFailNarrowing(long v);
inline std::uint32_t vfNarrowI32(long v) {
  if (v < INT32_MIN || v > INT32_MAX) [[unlikely]]
    vfFailNarrowing(v);
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
}

// Measures a payload, and refuses one holding a value that its 4-byte
// fields cannot (vfNarrowI32): every record is measured before it is
// written, so a refused one leaves nothing behind.
class vc_PayloadSizer {
public:
  static constexpr bool isReading = false;
  void f64(const double&) { n_ += 8; }
  void f32(const float&) { n_ += 4; }
  void i32(const long& v) {
    vfNarrowI32(v);
    n_ += 4;
  }
  void u8(const unsigned char&) { n_ += 1; }
  void flag(const bool&) { n_ += 1; }
  void vec(const vcVector<2>&) { n_ += 16; }
  void color(const vcColor&) { n_ += 6; }
  void bytes(const unsigned char*, std::size_t n) { n_ += n; }
  template <class S>
  void image(const S&) { n_ += S::kImageSize; }
  // A count of items read before them.
  void count(const long& n, std::uint64_t) { i32(n); }

  std::size_t size() const noexcept { return n_; }

private:
  std::size_t n_ = 0;
};

// Lists a payload's fields as text, in order: numbers, (x, y) vectors,
// colors as their six bytes in hex, printable byte runs as quoted text.
class vc_PayloadPrinter {
public:
  static constexpr bool isReading = false;
  void f64(const double& v);
  void f32(const float& v) { f64(v); }
  void i32(const long& v) { add(std::to_string(v)); }
  void u8(const unsigned char& v) { add(std::to_string(v)); }
  void flag(const bool& v) { add(v ? "true" : "false"); }
  void vec(const vcVector<2>& v);
  void color(const vcColor& c);
  void bytes(const unsigned char* b, std::size_t n);
  template <class S>
  void image(const S&) {
    add("<" + std::to_string(S::kImageSize) + "-byte shape image>");
  }
  void count(const long& n, std::uint64_t) { add("count " + std::to_string(n)); }

  const std::string& text() const noexcept { return text_; }

private:
  void add(const std::string& field);
  std::string text_;
  int fields_ = 0;
};

// Writes a payload into memory that holds exactly its size.
class vc_PayloadWriter {
public:
  static constexpr bool isReading = false;
  explicit vc_PayloadWriter(unsigned char* out) noexcept : p_(out) {}
  void f64(const double& v) { vc_bytes::putF64(take(8), v); }
  void f32(const float& v) { vc_bytes::putF32(take(4), v); }
  void i32(const long& v) { vc_bytes::put32(take(4), vfNarrowI32(v)); }
  void u8(const unsigned char& v) { *take(1) = v; }
  void flag(const bool& v) { *take(1) = v ? 1 : 0; }
  void vec(const vcVector<2>& v) {
    f64(v.x());
    f64(v.y());
  }
  void color(const vcColor& c) { c.toBytes(take(6)); }
  void bytes(const unsigned char* b, std::size_t n) {
    unsigned char* at = take(n);
    for (std::size_t i = 0; i < n; ++i) at[i] = b[i];
  }
  template <class S>
  void image(const S& s) {
    s.writeImage(take(S::kImageSize));
  }
  void count(const long& n, std::uint64_t) { i32(n); }

private:
  unsigned char* take(std::size_t n) {
    unsigned char* at = p_;
    p_ += n;
    return at;
  }
  unsigned char* p_;
};

// Reads a payload from untrusted bytes: every read is checked against the
// end, and malformed values throw vcUIError::InvalidUISketch.
class vc_PayloadReader {
public:
  static constexpr bool isReading = true;
  vc_PayloadReader(const unsigned char* data, std::size_t size) noexcept : start_(data), r_(data, size, &fail) {}

  void f64(double& v) { v = r_.f64(); }
  void f32(float& v) { v = r_.f32(); }
  void i32(long& v) { v = r_.i32(); }
  void u8(unsigned char& v) { v = r_.u8(); }
  void flag(bool& v) {
    const unsigned char b = r_.u8();
    if (b > 1) fail("flag byte other than 0 or 1");
    v = b != 0;
  }
  void vec(vcVector<2>& v) {
    const unsigned char* b = r_.take(16);
    v = vcVector<2>(vc_bytes::getF64(b), vc_bytes::getF64(b + 8));
  }
  void color(vcColor& c) {
    if (!vcColor::fromBytes(r_.take(6), c)) fail("bad color kind");
  }
  // Reads n bytes into b (which must hold n).
  void bytes(unsigned char* b, std::size_t n) { r_.bytes(b, n); }
  template <class S>
  void image(S& s) {
    s = decodeImage<S>(r_.take(S::kImageSize));
  }
  // Reads a count of items of at least itemSize bytes each; rejects a
  // negative count or one the remaining bytes cannot hold.
  void count(long& n, std::uint64_t itemSize);

  std::size_t consumed() const noexcept { return static_cast<std::size_t>(r_.position() - start_); }
  std::size_t remaining() const noexcept { return r_.remaining(); }
  const unsigned char* position() const noexcept { return r_.position(); }
  // Moves past n bytes and returns where they start.
  const unsigned char* take(std::size_t n) { return r_.take(n); }
  [[noreturn]] static void fail(const std::string& why);

private:
  template <class S>
  static S decodeImage(const unsigned char* p);

  const unsigned char* start_;
  vcByteReader r_;
};

// Rethrows e, a malformed record's error, naming the record: the byte offset
// of its start in the sketch and its opcode (-1: its head did not parse).
[[noreturn]] void vfFailAtRecord(const vcUIError::InvalidUISketch& e, long offset, long opcode);

// Shape images reject invalid values with a core exception; in a sketch that
// is a malformed record.
template <class S>
S vc_PayloadReader::decodeImage(const unsigned char* p) {
  try {
    return S::readImage(p);
  } catch (const vcException& e) {
    fail(std::string("bad shape image: ") + e.what());
  }
}

// Refuses a payload holding a value its record cannot (vcUIError::BadParams).
template <class P>
void vfCheckRecordable(const P& payload) {
  vc_PayloadSizer sizer;
  const_cast<P&>(payload).io(sizer);
}

// Appends a payload to a sketch: measured, then written in place.
template <class P>
void vfAppendPayload(vcUISketch& sketch, const P& payload) {
  vc_PayloadSizer sizer;
  const_cast<P&>(payload).io(sizer);
  vc_PayloadWriter writer(sketch.append(static_cast<long>(sizer.size())));
  const_cast<P&>(payload).io(writer);
}

// Reads a payload; returns the bytes consumed.
template <class P>
std::size_t vfReadPayload(const unsigned char* data, std::size_t size, P& payload) {
  vc_PayloadReader reader(data, size);
  payload.io(reader);
  return reader.consumed();
}
