// vcUIRect: the integer rectangle of the display classes (scope rectangles,
// change rectangles, clip rectangles), in pixels of the scope or surface it
// belongs to, x to the right and y down.
#pragma once

#include <iosfwd>

#include <vc/core/pair.h>

class vcArchive;

// The pixels x, y with left <= x < left + width and top <= y < top + height.
// A rectangle is null when its width is 0. Rectangles built from a size are
// kept in normal form: a width or height below 1 makes the null rectangle
// (0, 0, 0, 0).
//
// The fields are the archive's signed 32-bit values, but all arithmetic is
// done in 64-bit long: right() and bottom() of rectangles near the 32-bit
// limits (inf shifted, unions of far-apart rectangles) exceed 32 bits and stay
// exact. A rectangle whose fields do not fit in 32 bits cannot be archived
// (storing it throws vcArchive::BadData).
class vcUIRect {
public:
  // The null rectangle.
  constexpr vcUIRect() noexcept = default;
  // left, top: upper-left pixel; width, height: size in pixels.
  constexpr vcUIRect(long left, long top, long width, long height) noexcept
      : ul_(left, top), sz_(width, height) {
    normalise_();
  }
  // ul: upper-left pixel; sz: width and height in pixels.
  constexpr vcUIRect(vcPair<long> ul, vcPair<long> sz) noexcept : ul_(ul), sz_(sz) { normalise_(); }

  static const vcUIRect null;
  // Every pixel a display can address: (-1073741823, -1073741823, 2147483647, 2147483647).
  static const vcUIRect inf;
  // The pixels of non-negative coordinates: (0, 0, 1073741823, 1073741823).
  static const vcUIRect firstQuad;

  constexpr long left() const noexcept { return ul_.x(); }
  constexpr long top() const noexcept { return ul_.y(); }
  constexpr long width() const noexcept { return sz_.x(); }
  constexpr long height() const noexcept { return sz_.y(); }
  // Exclusive right and bottom edges.
  constexpr long right() const noexcept { return ul_.x() + sz_.x(); }
  constexpr long bottom() const noexcept { return ul_.y() + sz_.y(); }
  // The upper-left corner and the size.
  constexpr const vcPair<long>& ul() const noexcept { return ul_; }
  constexpr const vcPair<long>& sz() const noexcept { return sz_; }
  // (right, top), (left, bottom), (right, bottom), the edges exclusive.
  constexpr vcPair<long> ur() const noexcept { return {right(), top()}; }
  constexpr vcPair<long> ll() const noexcept { return {left(), bottom()}; }
  constexpr vcPair<long> lr() const noexcept { return {right(), bottom()}; }
  constexpr bool isNull() const noexcept { return sz_.x() == 0; }

  // Moves the upper-left corner to p; a null rectangle is left as it is.
  constexpr void ul(vcPair<long> p) noexcept {
    if (!isNull()) ul_ = p;
  }
  // Sets the size (pixels) and normalises.
  constexpr void sz(vcPair<long> s) noexcept {
    sz_ = s;
    normalise_();
  }

  constexpr bool operator==(const vcUIRect& o) const noexcept { return ul_ == o.ul_ && sz_ == o.sz_; }
  constexpr bool operator!=(const vcUIRect& o) const noexcept { return !(*this == o); }

  // p lies inside.
  constexpr bool within(vcPair<long> p) const noexcept {
    return p.x() >= left() && p.x() < right() && p.y() >= top() && p.y() < bottom();
  }
  // r's upper-left pixel and its lower-right pixel (right - 1, bottom - 1) lie inside.
  constexpr bool within(const vcUIRect& r) const noexcept {
    return within(r.ul_) && within(vcPair<long>(r.right() - 1, r.bottom() - 1));
  }
  // Either rectangle is null, or they share no pixel.
  bool nullIntersection(const vcUIRect& r) const noexcept;

  // The overlap, null when either operand is null or they share no pixel.
  vcUIRect operator&(const vcUIRect& r) const noexcept;
  // As &, except that a null rectangle stays as it is.
  vcUIRect& operator&=(const vcUIRect& r) noexcept;
  // The smallest rectangle containing both; a null operand gives the other.
  vcUIRect operator|(const vcUIRect& r) const noexcept;
  vcUIRect& operator|=(const vcUIRect& r) noexcept;

  // The rectangle moved by d pixels, normalised.
  constexpr vcUIRect operator+(vcPair<long> d) const noexcept { return vcUIRect(ul_ + d, sz_); }
  constexpr vcUIRect operator-(vcPair<long> d) const noexcept { return vcUIRect(ul_ - d, sz_); }
  // Moves the corner by d pixels in place, without normalising: a null
  // rectangle keeps width 0 and so stays null, though it may then differ
  // from vcUIRect::null under ==.
  constexpr vcUIRect& operator+=(vcPair<long> d) noexcept {
    ul_ += d;
    return *this;
  }
  constexpr vcUIRect& operator-=(vcPair<long> d) noexcept {
    ul_ -= d;
    return *this;
  }

private:
  friend vcArchive& operator||(vcArchive& ar, vcUIRect& r);

  constexpr void normalise_() noexcept {
    if (sz_.x() < 1 || sz_.y() < 1) {
      ul_ = vcPair<long>();
      sz_ = vcPair<long>();
    }
  }

  vcPair<long> ul_;
  vcPair<long> sz_;
};

// Constant-initialised, so usable from any static initialiser.
inline constexpr vcUIRect vcUIRect::null{};
inline constexpr vcUIRect vcUIRect::inf{-1073741823L, -1073741823L, 2147483647L, 2147483647L};
inline constexpr vcUIRect vcUIRect::firstQuad{0L, 0L, 1073741823L, 1073741823L};

// Archive form (ar << r stores, ar >> r loads): version byte 0; then the
// corner and the size, each a version byte 0 and two signed 32-bit values.
// A loaded rectangle is taken as stored, not normalised. A stored version
// other than 0 throws vcArchive::UnknownVersion; a failed load leaves r unchanged.
vcArchive& operator||(vcArchive& ar, vcUIRect& r);

// "(left, top, width, height)", for diagnostics.
std::ostream& operator<<(std::ostream& os, const vcUIRect& r);
