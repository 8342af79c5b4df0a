// Archive helpers shared by the test programs: the bytes of an object's
// archive form, loading bytes into a target, round trips, little-endian
// edits of stored bytes, and the checks that rejected bytes throw and leave
// the target as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/core/exception.h>
#include <vc/core/shape.h>

namespace vc_test {

using Bytes = std::vector<unsigned char>;

// The value archive of obj: its fields exchanged in place, no class name.
inline Bytes archiveBytes(vcPersistent& obj) {
  vcBufferArchive out(vcArchive::eStore);
  out || obj;
  return out.bytes();
}
template <class T>
Bytes archiveBytes(const T& obj) {
  T copy = obj;
  return archiveBytes(static_cast<vcPersistent&>(copy));
}

// Reads a value archive into target in place (throws as the loader does).
inline void loadInto(const Bytes& bytes, vcPersistent& target) {
  vcBufferArchive in(bytes);
  in || target;
}

// A copy of obj made through its value archive.
template <class T>
T valueRoundTrip(const T& obj) {
  T back;
  loadInto(archiveBytes(obj), back);
  return back;
}

// A copy of s made through a handle archive (class name, then fields).
inline vcShapeHandle handleRoundTrip(const vcShape& s) {
  vcBufferArchive out(vcArchive::eStore);
  vcShapeHandle h = s.clone();
  out || h;
  vcBufferArchive in(out.bytes());
  vcShapeHandle back;
  in || back;
  return back;
}

// Little-endian edits of stored bytes, in the width of the stored field.
inline Bytes withF64(Bytes b, std::size_t at, double v) {
  vc_bytes::putF64(b.data() + at, v);
  return b;
}
inline Bytes withU32(Bytes b, std::size_t at, std::uint32_t v) {
  vc_bytes::put32(b.data() + at, v);
  return b;
}
inline Bytes withU8(Bytes b, std::size_t at, std::uint8_t v) {
  b.at(at) = v;
  return b;
}

// The operator|| form of a value: store, and load into a copy of target.
template <class T>
std::vector<unsigned char> store(T v) {
  vcBufferArchive out(vcArchive::eStore);
  out || v;
  return out.bytes();
}

template <class T>
T load(const std::vector<unsigned char>& bytes, T target) {
  vcBufferArchive in(bytes);
  in || target;
  return target;
}

// Loading `bytes` over a copy of `initial` throws, and `same(copy, initial)`
// checks that the copy is untouched.
template <class T, class Same>
void expectRejected(const T& initial, const std::vector<unsigned char>& bytes, Same same) {
  T target = initial;
  vcBufferArchive in(bytes);
  EXPECT_THROW(in || target, vcException);
  same(target, initial);
}

// Every stream cut short of `bytes` is rejected as expectRejected checks.
template <class T, class Same>
void expectEveryPrefixRejected(const T& initial, const Bytes& bytes, Same same) {
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    SCOPED_TRACE("cut at " + std::to_string(n));
    expectRejected(initial, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)), same);
  }
}

// Loading `bytes` throws vcArchive::UnknownVersion naming `source` (and
// `line`, when it is part of the stored-file contract).
template <class T>
void expectUnknownVersion(const std::vector<unsigned char>& bytes, T target, const std::string& source,
                          int line = -1) {
  vcBufferArchive in(bytes);
  try {
    in || target;
    ADD_FAILURE() << "an unknown version was accepted";
  } catch (const vcArchive::UnknownVersion& e) {
    EXPECT_EQ(e.source(), source);
    if (line >= 0) {
      EXPECT_EQ(e.line(), line);
    }
  }
}

}  // namespace vc_test
