// Little-endian, fixed-width encoding of values into byte streams, the one
// bounded reader that every parser of untrusted bytes uses (each read is
// checked against the end of the input, and counts are checked against what
// remains before anything is allocated) and its writing counterpart.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vc_bytes {

inline void put8(unsigned char* p, std::uint8_t v) { p[0] = v; }
// On little-endian hosts the value's bytes are the stream's bytes and one
// copy does it; elsewhere the bytes are assembled one by one.
inline void put16(unsigned char* p, std::uint16_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, 2);
  } else {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
  }
}
inline void put32(unsigned char* p, std::uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) std::memcpy(p, &v, 4);
  else
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void put64(unsigned char* p, std::uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) std::memcpy(p, &v, 8);
  else
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void putF32(unsigned char* p, float v) {
  std::uint32_t u;
  std::memcpy(&u, &v, 4);
  put32(p, u);
}
inline void putF64(unsigned char* p, double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, 8);
  put64(p, u);
}

inline std::uint16_t get16(const unsigned char* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t get32(const unsigned char* p) {
  std::uint32_t v = 0;
  if constexpr (std::endian::native == std::endian::little) std::memcpy(&v, p, 4);
  else
    for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}
inline std::uint64_t get64(const unsigned char* p) {
  std::uint64_t v = 0;
  if constexpr (std::endian::native == std::endian::little) std::memcpy(&v, p, 8);
  else
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}
inline float getF32(const unsigned char* p) {
  std::uint32_t u = get32(p);
  float v;
  std::memcpy(&v, &u, 4);
  return v;
}
inline double getF64(const unsigned char* p) {
  std::uint64_t u = get64(p);
  double v;
  std::memcpy(&v, &u, 8);
  return v;
}

}  // namespace vc_bytes

// A cursor over untrusted bytes. Every read that would pass the end calls the
// failure function given at construction, which must throw.
class vcByteReader {
public:
  using FailFn = void (*)(const std::string& why);

  vcByteReader(const unsigned char* data, std::size_t size, FailFn fail) noexcept
      : p_(data), end_(data + size), fail_(fail) {}

  std::size_t remaining() const noexcept { return static_cast<std::size_t>(end_ - p_); }
  const unsigned char* position() const noexcept { return p_; }
  bool atEnd() const noexcept { return p_ == end_; }

  // Fails unless count elements of elemSize bytes each can still be read.
  void require(std::uint64_t count, std::uint64_t elemSize) const {
    // A product rather than a quotient: readers check a count per record.
    std::uint64_t bytes = 0;
    if (elemSize != 0 && (__builtin_mul_overflow(count, elemSize, &bytes) || bytes > remaining()))
      fail("count exceeds the remaining input");
  }
  // Returns a pointer to the next n bytes and moves past them.
  const unsigned char* take(std::size_t n) {
    if (n > remaining()) [[unlikely]] failEnd();
    const unsigned char* at = p_;
    p_ += n;
    return at;
  }
  void skip(std::size_t n) { take(n); }
  void bytes(void* out, std::size_t n) {
    if (n) std::memcpy(out, take(n), n);
  }

  std::uint8_t u8() { return *take(1); }
  std::int8_t i8() { return static_cast<std::int8_t>(u8()); }
  std::uint16_t u16() { return vc_bytes::get16(take(2)); }
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32() { return vc_bytes::get32(take(4)); }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  std::uint64_t u64() { return vc_bytes::get64(take(8)); }
  float f32() { return vc_bytes::getF32(take(4)); }
  double f64() { return vc_bytes::getF64(take(8)); }

  [[noreturn]] void fail(const std::string& why) const;

private:
  // The failure for a read past the end, kept out of line so that the reads
  // inline to a compare and a load.
  [[noreturn]] void failEnd() const;

  const unsigned char* p_;
  const unsigned char* end_;
  FailFn fail_;
};

// Appends values in the encoding above to a byte vector: the writing side of
// vcByteReader.
class vcByteWriter {
public:
  explicit vcByteWriter(std::vector<unsigned char>& out) noexcept : out_(out) {}

  void u8(std::uint8_t v) { out_.push_back(v); }
  void u32(std::uint32_t v) { vc_bytes::put32(grow(4), v); }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f32(float v) { vc_bytes::putF32(grow(4), v); }
  void f64(double v) { vc_bytes::putF64(grow(8), v); }
  void bytes(const void* p, std::size_t n) {
    if (n) std::memcpy(grow(n), p, n);
  }
  void zeros(std::size_t n) { out_.resize(out_.size() + n); }

private:
  unsigned char* grow(std::size_t n) {
    out_.resize(out_.size() + n);
    return out_.data() + out_.size() - n;
  }
  std::vector<unsigned char>& out_;
};
