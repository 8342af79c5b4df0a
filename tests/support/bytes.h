// Little-endian bytes for tests: vcTestBytes builds a byte stream field by
// field (as the sketch and archive formats lay them out), vfTestGet* read
// fields back at an offset, and vfReadTestFile / vfWriteTestFile move whole
// files of test data.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <vc/color.h>
#include <vc/core/vector.h>

class vcTestBytes {
public:
  vcTestBytes& u8(unsigned v) {
    b_.push_back(static_cast<unsigned char>(v));
    return *this;
  }
  vcTestBytes& u16(unsigned v) { return le(v, 2); }
  vcTestBytes& i32(long v) { return le(static_cast<std::uint32_t>(static_cast<std::int32_t>(v)), 4); }
  vcTestBytes& f64(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, 8);
    return le(u, 8);
  }
  vcTestBytes& vec(double x, double y) { return f64(x).f64(y); }
  vcTestBytes& vec(const vcVector<2>& v) { return vec(v.x(), v.y()); }
  vcTestBytes& color(const vcColor& c) {
    unsigned char p[6];
    c.toBytes(p);
    return raw(p, 6);
  }
  vcTestBytes& raw(const unsigned char* p, std::size_t n) {
    b_.insert(b_.end(), p, p + n);
    return *this;
  }
  vcTestBytes& raw(const std::vector<unsigned char>& more) { return raw(more.data(), more.size()); }
  // A shape's fixed-size image, or its first keep bytes.
  template <class S>
  vcTestBytes& image(const S& s, std::size_t keep = S::kImageSize) {
    std::vector<unsigned char> p(S::kImageSize);
    s.writeImage(p.data());
    return raw(p.data(), keep);
  }

  const unsigned char* data() const noexcept { return b_.data(); }
  std::size_t size() const noexcept { return b_.size(); }
  const std::vector<unsigned char>& bytes() const noexcept { return b_; }

private:
  vcTestBytes& le(std::uint64_t u, int n) {
    for (int i = 0; i < n; ++i) u8(static_cast<unsigned>((u >> (8 * i)) & 0xFF));
    return *this;
  }
  std::vector<unsigned char> b_;
};

inline std::int32_t vfTestGet32(const unsigned char* p) {
  return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

inline double vfTestGetF64(const unsigned char* p) {
  std::uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = (u << 8) | p[i];
  double d;
  std::memcpy(&d, &u, 8);
  return d;
}

inline std::vector<unsigned char> vfReadTestFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void vfWriteTestFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}
