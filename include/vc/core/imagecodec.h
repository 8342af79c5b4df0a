// Fixed-size byte images of values: each field at a fixed offset,
// little-endian, the rest of the image zero. A type describes its layout once,
// in a member template that takes a codec, and the same description writes and
// reads:
//
//   template <class Codec> void image_(Codec& c) {
//     c.f64(0, center_x_); c.f64(8, center_y_); c.flag(40, filled_);
//   }
//
// vc_ImageWriter fills a zeroed buffer from the fields; vc_ImageReader sets the
// fields from a buffer, rejecting a flag byte other than 0 or 1. Validation of
// the decoded values (finite numbers, positive radii) belongs to the type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <vc/core/byteio.h>
#include <vc/core/exception.h>

class vc_ImageWriter {
public:
  // out must hold size bytes; they are zeroed first.
  vc_ImageWriter(unsigned char* out, std::size_t size) : p_(out), size_(size) { std::memset(out, 0, size); }
  static constexpr bool isWriting = true;

  void f64(std::size_t off, const double& v) { vc_bytes::putF64(at(off, 8), v); }
  void f32(std::size_t off, const float& v) { vc_bytes::putF32(at(off, 4), v); }
  void i32(std::size_t off, const long& v) {
    vc_bytes::put32(at(off, 4), static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
  }
  void u8(std::size_t off, const unsigned char& v) { *at(off, 1) = v; }
  void flag(std::size_t off, const bool& v) { *at(off, 1) = v ? 1 : 0; }

private:
  unsigned char* at(std::size_t off, std::size_t n) {
    // Layouts are fixed at compile time; an offset past the end is a programming error.
    if (off + n > size_) throw vcBadArgument("image field outside its layout");
    return p_ + off;
  }
  unsigned char* p_;
  std::size_t size_;
};

class vc_ImageReader {
public:
  // in must hold size bytes.
  vc_ImageReader(const unsigned char* in, std::size_t size) : p_(in), size_(size) {}
  static constexpr bool isWriting = false;

  void f64(std::size_t off, double& v) { v = vc_bytes::getF64(at(off, 8)); }
  void f32(std::size_t off, float& v) { v = vc_bytes::getF32(at(off, 4)); }
  void i32(std::size_t off, long& v) { v = static_cast<std::int32_t>(vc_bytes::get32(at(off, 4))); }
  void u8(std::size_t off, unsigned char& v) { v = *at(off, 1); }
  void flag(std::size_t off, bool& v) {
    const unsigned char b = *at(off, 1);
    if (b > 1) ok_ = false;
    v = b != 0;
  }
  // False when a flag byte held something other than 0 or 1.
  bool ok() const noexcept { return ok_; }

private:
  const unsigned char* at(std::size_t off, std::size_t n) {
    if (off + n > size_) throw vcBadArgument("image field outside its layout");
    return p_ + off;
  }
  const unsigned char* p_;
  std::size_t size_;
  bool ok_ = true;
};
