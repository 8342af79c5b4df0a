// The graphics-list library's interface as the display library uses it.
#pragma once

#include <cstdint>

// A color of the graphics-list library, as one 32-bit code:
// - when bit 7 is set (the low byte, read as a signed byte, is negative), an RGB
//   value: red in bits 24-31, green in bits 16-23, blue in bits 8-15;
// - otherwise a stock color code 0 to 15 (black, dark grey, grey, light grey,
//   white, red, dark red, orange, yellow, green, dark green, cyan, blue,
//   purple, magenta, pass), in that order.
// vfColor (<vc/color.h>) converts between this code and vcColor.
using vgr_color = std::int32_t;
