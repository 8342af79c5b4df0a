// Packed color pixel types of the pel buffers: vcPackedRGB16Pel (5-6-5 in
// one 16-bit value) and vcPackedRGB32Pel (one byte per channel plus a spare).
// Both are plain values that can be copied as bytes.
#pragma once

#include <cstdint>
#include <type_traits>

// A 16-bit color: red in bits 15..11, green in bits 10..5, blue in bits 4..0
// of value(). The default pixel is black (0).
class vcPackedRGB16Pel {
public:
  constexpr vcPackedRGB16Pel() = default;
  // r, g, b: 8-bit channel intensities 0..255; the low bits that do not fit
  // (3 of red and blue, 2 of green) are dropped.
  constexpr vcPackedRGB16Pel(unsigned char r, unsigned char g, unsigned char b)
      : v_(static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3))) {}
  // The pixel whose packed 5-6-5 value is v.
  static constexpr vcPackedRGB16Pel fromValue(std::uint16_t v) {
    vcPackedRGB16Pel p;
    p.v_ = v;
    return p;
  }

  // The channels expanded back to 8 bits (0..255): the top bits are repeated
  // into the low ones, so full intensity stays 255 and zero stays 0.
  constexpr unsigned char r() const { return expand5(static_cast<unsigned>(v_ >> 11) & 0x1fu); }
  constexpr unsigned char g() const { return expand6(static_cast<unsigned>(v_ >> 5) & 0x3fu); }
  constexpr unsigned char b() const { return expand5(static_cast<unsigned>(v_) & 0x1fu); }
  // The packed value.
  constexpr std::uint16_t value() const { return v_; }

  constexpr bool operator==(const vcPackedRGB16Pel& o) const { return v_ == o.v_; }

private:
  static constexpr unsigned char expand5(unsigned c) { return static_cast<unsigned char>((c << 3) | (c >> 2)); }
  static constexpr unsigned char expand6(unsigned c) { return static_cast<unsigned char>((c << 2) | (c >> 4)); }

  std::uint16_t v_ = 0;
};

// A 32-bit color laid out in memory as the bytes b, g, r, x, the order of
// 32-bit display surfaces. x is a spare byte: the constructor and the setters
// leave it 0, and it takes no part in comparison. The default pixel is black.
class vcPackedRGB32Pel {
public:
  constexpr vcPackedRGB32Pel() = default;
  // r, g, b: 8-bit channel intensities 0..255.
  constexpr vcPackedRGB32Pel(unsigned char r, unsigned char g, unsigned char b) : b_(b), g_(g), r_(r) {}

  constexpr unsigned char r() const { return r_; }
  constexpr unsigned char g() const { return g_; }
  constexpr unsigned char b() const { return b_; }
  constexpr void r(unsigned char v) { r_ = v; }
  constexpr void g(unsigned char v) { g_ = v; }
  constexpr void b(unsigned char v) { b_ = v; }

  // Equal when red, green and blue are equal.
  constexpr bool operator==(const vcPackedRGB32Pel& o) const { return r_ == o.r_ && g_ == o.g_ && b_ == o.b_; }

private:
  unsigned char b_ = 0;
  unsigned char g_ = 0;
  unsigned char r_ = 0;
  [[maybe_unused]] unsigned char x_ = 0;
};

static_assert(sizeof(vcPackedRGB16Pel) == 2 && std::is_trivially_copyable_v<vcPackedRGB16Pel>);
static_assert(sizeof(vcPackedRGB32Pel) == 4 && std::is_trivially_copyable_v<vcPackedRGB32Pel>);
