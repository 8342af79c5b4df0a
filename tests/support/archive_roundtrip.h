// Archive helpers shared by the test programs: the bytes of an object's
// archive form, loading bytes into a target, round trips, and little-endian
// edits of stored bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
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

}  // namespace vc_test
