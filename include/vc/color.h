// Colors of the display classes: vcRGB, a red/green/blue triple, and vcColor,
// the color of every drawing operation — a palette index, an RGB value, or one
// of sixteen stock colors that carry both. vfColor converts to and from the
// graphics-list library's vgr_color code.
#pragma once

#include <cstddef>
#include <cstring>
#include <iosfwd>

#include <vgr/vgr.h>

class vcArchive;

// Red, green and blue intensities, 0 to 255 each. Four bytes, so that a palette
// (std::vector<vcRGB>) has a 4-byte stride; the fourth byte is spare: it is
// copied with the value but never compared or archived.
class vcRGB {
public:
  // Black.
  constexpr vcRGB() noexcept = default;
  constexpr vcRGB(unsigned char r, unsigned char g, unsigned char b) noexcept : r_(r), g_(g), b_(b) {}

  constexpr unsigned char r() const noexcept { return r_; }
  constexpr unsigned char g() const noexcept { return g_; }
  constexpr unsigned char b() const noexcept { return b_; }
  constexpr void r(unsigned char v) noexcept { r_ = v; }
  constexpr void g(unsigned char v) noexcept { g_ = v; }
  constexpr void b(unsigned char v) noexcept { b_ = v; }
  constexpr void rgb(unsigned char r, unsigned char g, unsigned char b) noexcept {
    r_ = r;
    g_ = g;
    b_ = b;
  }

  // Packings: r·65536 + g·256 + b, b·65536 + g·256 + r, and the 16-bit
  // 5-5-5 (bit 15 clear) and 5-6-5 forms with red in the top bits.
  constexpr unsigned long rgb() const noexcept { return (r_ * 65536ul) + (g_ * 256ul) + b_; }
  constexpr unsigned long bgr() const noexcept { return (b_ * 65536ul) + (g_ * 256ul) + r_; }
  constexpr unsigned long rgb15() const noexcept {
    return ((r_ & 0xF8ul) << 7) | ((g_ & 0xF8ul) << 2) | (b_ >> 3);
  }
  constexpr unsigned long rgb16() const noexcept {
    return ((r_ & 0xF8ul) << 8) | ((g_ & 0xFCul) << 3) | (b_ >> 3);
  }

  // Brightness, (r + g + b) / 3 rounded down; what < and > compare.
  constexpr int brightness() const noexcept { return (r_ + g_ + b_) / 3; }

  constexpr bool operator==(const vcRGB& o) const noexcept { return r_ == o.r_ && g_ == o.g_ && b_ == o.b_; }
  constexpr bool operator!=(const vcRGB& o) const noexcept { return !(*this == o); }
  // Brighter and darker; values of equal brightness are neither.
  constexpr bool operator<(const vcRGB& o) const noexcept { return brightness() < o.brightness(); }
  constexpr bool operator>(const vcRGB& o) const noexcept { return brightness() > o.brightness(); }

private:
  unsigned char r_ = 0;
  unsigned char g_ = 0;
  unsigned char b_ = 0;
  [[maybe_unused]] unsigned char spare_ = 0;
};

// A color: an index into the display's palette (flags 4), an RGB value
// (flags 2, index 0) or a stock color (flags 7) that carries both an index
// and an RGB value. The default color is the index color 0.
class vcColor {
public:
  // Kind flags.
  static constexpr unsigned char kStock = 1;
  static constexpr unsigned char kRGB = 2;
  static constexpr unsigned char kIndex = 4;

  constexpr vcColor() noexcept : flags_(kIndex), index_(0) {}
  // Palette index color; its RGB bytes are 0.
  constexpr explicit vcColor(unsigned char index) noexcept : flags_(kIndex), index_(index) {}
  // RGB color; its index is 0.
  constexpr vcColor(unsigned char r, unsigned char g, unsigned char b) noexcept
      : flags_(kRGB), index_(0), rgb_(r, g, b) {}
  constexpr vcColor(const vcRGB& rgb) noexcept : flags_(kRGB), index_(0), rgb_(rgb) {}

  constexpr bool isStockColor() const noexcept { return (flags_ & kStock) != 0; }
  constexpr bool isRGBColor() const noexcept { return (flags_ & kRGB) != 0; }
  constexpr bool isIndexColor() const noexcept { return (flags_ & kIndex) != 0; }
  // The raw kind flags (kStock | kRGB | kIndex).
  constexpr unsigned char flags() const noexcept { return flags_; }

  // The palette index; throws vcUIError::NotIndexColor when the color has none.
  unsigned char index() const;
  // Packings of the RGB value (see vcRGB); each throws vcUIError::NotRGBColor
  // when the color has no RGB value.
  unsigned long rgb() const;
  unsigned long bgr() const;
  unsigned long rgb15() const;
  unsigned long rgb16() const;
  // The RGB member without a check (black for an index color).
  constexpr const vcRGB& rgbStruct() const noexcept { return rgb_; }

  // Equal when both carry an index and the indexes match; otherwise when both
  // carry an RGB value and the values match. So stock colors compare by index,
  // a stock color equals the RGB color of its value, and an index color never
  // equals a pure RGB color.
  constexpr bool operator==(const vcColor& o) const noexcept {
    if (isIndexColor() && o.isIndexColor()) return index_ == o.index_;
    if (isRGBColor() && o.isRGBColor()) return rgb_ == o.rgb_;
    return false;
  }
  constexpr bool operator!=(const vcColor& o) const noexcept { return !(*this == o); }

  // The 6-byte value that sketch record heads carry: flags, index, red,
  // green, blue, then a spare byte written as 0.
  void toBytes(unsigned char* out) const noexcept {
    out[0] = flags_;
    out[1] = index_;
    out[2] = rgb_.r();
    out[3] = rgb_.g();
    out[4] = rgb_.b();
    out[5] = 0;
  }
  // Reads those 6 bytes into c; returns false, leaving c alone, when the kind
  // flags are not those of an RGB (2), index (4) or stock (7) color.
  static bool fromBytes(const unsigned char* in, vcColor& c) noexcept {
    if (in[0] != kRGB && in[0] != kIndex && in[0] != (kStock | kRGB | kIndex)) return false;
    // The bytes are the members in order, the spare byte last (kept 0). The
    // value is stored as whole words: assembled byte by byte, it would stall
    // the wider loads that copy it on.
    static_assert(sizeof(vcColor) == 6 && sizeof(vcRGB) == 4 && offsetof(vcColor, index_) == 1 &&
                  offsetof(vcColor, rgb_) == 2);
    const unsigned char tail[2] = {in[4], 0};
    unsigned char* out = reinterpret_cast<unsigned char*>(&c);
    std::memcpy(out, in, 4);
    std::memcpy(out + 4, tail, 2);
    return true;
  }

  // The stock colors. Each function builds its value on first call, so it is
  // safe to use during the static initialisation of other files.
  static const vcColor& blackColor();
  static const vcColor& dkGreyColor();
  static const vcColor& greyColor();
  static const vcColor& ltGreyColor();
  static const vcColor& whiteColor();
  static const vcColor& redColor();
  static const vcColor& dkRedColor();
  static const vcColor& orangeColor();
  static const vcColor& yellowColor();
  static const vcColor& greenColor();
  static const vcColor& dkGreenColor();
  static const vcColor& cyanColor();
  static const vcColor& blueColor();
  static const vcColor& purpleColor();
  static const vcColor& magentaColor();
  // The color that image and icon drawing treats as transparent.
  static const vcColor& passColor();

  // The stock color with vgr_color code 0 to 15, in the order above; throws
  // vcBadArgument for any other code.
  static const vcColor& stockColor(int code);
  static constexpr int kNumStockColors = 16;

  // Copies of the stock colors, set when the library is loaded. Code that runs
  // during static initialisation must use the functions instead.
  static const vcColor black, dkGrey, grey, ltGrey, white, red, dkRed, orange, yellow, green, dkGreen,
      cyan, blue, purple, magenta, pass;
  static const vcColor &dkGray, &gray, &ltGray;

private:
  friend vcArchive& operator||(vcArchive& ar, vcColor& c);

  // A stock color.
  constexpr vcColor(unsigned char index, unsigned char r, unsigned char g, unsigned char b) noexcept
      : flags_(kStock | kRGB | kIndex), index_(index), rgb_(r, g, b) {}

  unsigned char flags_;
  unsigned char index_;
  vcRGB rgb_;
};

static_assert(sizeof(vcRGB) == 4, "a palette of vcRGB has a 4-byte stride");
static_assert(sizeof(vcColor) == 6, "vcColor is flags, index and a vcRGB");

// vgr_color code to color: an RGB code gives the RGB color, codes 0 to 15 the
// stock colors, anything else black.
vcColor vfColor(vgr_color c);
// Color to vgr_color code: a stock color gives the code of the first stock
// color equal to it (0 if none is); any other color gives its RGB code (an
// index color thus gives black, 0x80).
vgr_color vfColor(const vcColor& k);

// Archive forms (ar << c stores, ar >> c loads). vcRGB: version byte 0, then
// r, g, b. vcColor: version byte 0, flags, index, then the vcRGB form. A
// stored version other than 0 throws vcArchive::UnknownVersion, stored kind
// flags other than 2, 4 or 7 throw vcArchive::BadData; a failed load leaves
// the value unchanged.
vcArchive& operator||(vcArchive& ar, vcRGB& c);
vcArchive& operator||(vcArchive& ar, vcColor& c);

// Readable forms for diagnostics: "rgb(1, 2, 3)", "index(7)", "stock(249, rgb(255, 0, 0))".
std::ostream& operator<<(std::ostream& os, const vcRGB& c);
std::ostream& operator<<(std::ostream& os, const vcColor& c);
