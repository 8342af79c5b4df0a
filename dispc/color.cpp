// Colors: the stock color table, the vgr_color conversions and the archive forms.
#include <vc/color.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/uierror.h>

namespace {

struct StockEntry {
  unsigned char index, r, g, b;
};

// The stock colors in vgr_color code order: the position is the code.
constexpr std::array<StockEntry, vcColor::kNumStockColors> kStockTable{{
    {0, 0, 0, 0},          // black
    {248, 128, 128, 128},  // dkGrey
    {247, 160, 160, 164},  // grey
    {7, 192, 192, 192},    // ltGrey
    {255, 255, 255, 255},  // white
    {249, 255, 0, 0},      // red
    {1, 128, 0, 0},        // dkRed
    {245, 250, 125, 50},   // orange
    {251, 255, 255, 0},    // yellow
    {250, 0, 255, 0},      // green
    {2, 0, 128, 0},        // dkGreen
    {254, 0, 255, 255},    // cyan
    {252, 0, 0, 255},      // blue
    {244, 160, 20, 200},   // purple
    {253, 255, 0, 255},    // magenta
    {243, 243, 243, 243},  // pass
}};

constexpr unsigned char kRGBCodeBit = 0x80;

}  // namespace

const vcColor& vcColor::stockColor(int code) {
  if (code < 0 || code >= kNumStockColors)
    throw vcBadArgument("stock color code " + std::to_string(code) + " is outside 0 to 15");
  // Built on first call (thread-safe), so usable from any static initialiser.
  static const std::array<vcColor, kNumStockColors> colors = [] {
    std::array<vcColor, kNumStockColors> out;
    for (std::size_t i = 0; i < out.size(); ++i) {
      const StockEntry& e = kStockTable[i];
      out[i] = vcColor(e.index, e.r, e.g, e.b);
    }
    return out;
  }();
  return colors[static_cast<std::size_t>(code)];
}

const vcColor& vcColor::blackColor() { return stockColor(0); }
const vcColor& vcColor::dkGreyColor() { return stockColor(1); }
const vcColor& vcColor::greyColor() { return stockColor(2); }
const vcColor& vcColor::ltGreyColor() { return stockColor(3); }
const vcColor& vcColor::whiteColor() { return stockColor(4); }
const vcColor& vcColor::redColor() { return stockColor(5); }
const vcColor& vcColor::dkRedColor() { return stockColor(6); }
const vcColor& vcColor::orangeColor() { return stockColor(7); }
const vcColor& vcColor::yellowColor() { return stockColor(8); }
const vcColor& vcColor::greenColor() { return stockColor(9); }
const vcColor& vcColor::dkGreenColor() { return stockColor(10); }
const vcColor& vcColor::cyanColor() { return stockColor(11); }
const vcColor& vcColor::blueColor() { return stockColor(12); }
const vcColor& vcColor::purpleColor() { return stockColor(13); }
const vcColor& vcColor::magentaColor() { return stockColor(14); }
const vcColor& vcColor::passColor() { return stockColor(15); }

const vcColor vcColor::black = vcColor::blackColor();
const vcColor vcColor::dkGrey = vcColor::dkGreyColor();
const vcColor vcColor::grey = vcColor::greyColor();
const vcColor vcColor::ltGrey = vcColor::ltGreyColor();
const vcColor vcColor::white = vcColor::whiteColor();
const vcColor vcColor::red = vcColor::redColor();
const vcColor vcColor::dkRed = vcColor::dkRedColor();
const vcColor vcColor::orange = vcColor::orangeColor();
const vcColor vcColor::yellow = vcColor::yellowColor();
const vcColor vcColor::green = vcColor::greenColor();
const vcColor vcColor::dkGreen = vcColor::dkGreenColor();
const vcColor vcColor::cyan = vcColor::cyanColor();
const vcColor vcColor::blue = vcColor::blueColor();
const vcColor vcColor::purple = vcColor::purpleColor();
const vcColor vcColor::magenta = vcColor::magentaColor();
const vcColor vcColor::pass = vcColor::passColor();
const vcColor& vcColor::dkGray = vcColor::dkGrey;
const vcColor& vcColor::gray = vcColor::grey;
const vcColor& vcColor::ltGray = vcColor::ltGrey;

unsigned char vcColor::index() const {
  if (!isIndexColor()) throw vcUIError::NotIndexColor();
  return index_;
}

unsigned long vcColor::rgb() const {
  if (!isRGBColor()) throw vcUIError::NotRGBColor();
  return rgb_.rgb();
}

unsigned long vcColor::bgr() const {
  if (!isRGBColor()) throw vcUIError::NotRGBColor();
  return rgb_.bgr();
}

unsigned long vcColor::rgb15() const {
  if (!isRGBColor()) throw vcUIError::NotRGBColor();
  return rgb_.rgb15();
}

unsigned long vcColor::rgb16() const {
  if (!isRGBColor()) throw vcUIError::NotRGBColor();
  return rgb_.rgb16();
}

vcColor vfColor(vgr_color c) {
  const auto u = static_cast<std::uint32_t>(c);
  if (u & kRGBCodeBit)
    return vcColor(static_cast<unsigned char>(u >> 24), static_cast<unsigned char>(u >> 16),
                   static_cast<unsigned char>(u >> 8));
  if (c >= 0 && c < vcColor::kNumStockColors) return vcColor::stockColor(c);
  return vcColor::blackColor();
}

vgr_color vfColor(const vcColor& k) {
  if (k.isStockColor()) {
    for (int code = 0; code < vcColor::kNumStockColors; ++code)
      if (vcColor::stockColor(code) == k) return code;
    return 0;
  }
  const vcRGB& v = k.rgbStruct();
  const std::uint32_t u = (std::uint32_t{v.r()} << 24) | (std::uint32_t{v.g()} << 16) |
                          (std::uint32_t{v.b()} << 8) | kRGBCodeBit;
  return static_cast<vgr_color>(u);
}

vcArchive& operator||(vcArchive& ar, vcRGB& c) {
  signed char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/color", __LINE__);
  unsigned char r = c.r(), g = c.g(), b = c.b();
  ar || r || g || b;
  if (ar.isLoading()) c.rgb(r, g, b);
  return ar;
}

vcArchive& operator||(vcArchive& ar, vcColor& c) {
  signed char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/color", __LINE__);
  unsigned char flags = c.flags_, index = c.index_;
  vcRGB rgb = c.rgb_;
  ar || flags || index || rgb;
  if (ar.isLoading()) {
    constexpr unsigned char kStockFlags = vcColor::kStock | vcColor::kRGB | vcColor::kIndex;
    if (flags != vcColor::kIndex && flags != vcColor::kRGB && flags != kStockFlags)
      vcArchive::fail("dispc/color: stored color kind flags " + std::to_string(flags) +
                      " are none of 2 (RGB), 4 (index), 7 (stock)");
    c.flags_ = flags;
    c.index_ = index;
    c.rgb_ = rgb;
  }
  return ar;
}

std::ostream& operator<<(std::ostream& os, const vcRGB& c) {
  return os << "rgb(" << int{c.r()} << ", " << int{c.g()} << ", " << int{c.b()} << ')';
}

std::ostream& operator<<(std::ostream& os, const vcColor& c) {
  if (c.isStockColor()) return os << "stock(" << int{c.index()} << ", " << c.rgbStruct() << ')';
  if (c.isIndexColor()) return os << "index(" << int{c.index()} << ')';
  return os << c.rgbStruct();
}
