// The graphics-list library's interface as the display library uses it: the
// vgr_color code, the vgr_list record list, the functions that append
// records to it and the bounded reader that walks it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A color of the graphics-list library, as one 32-bit code:
// - when bit 7 is set (the low byte, read as a signed byte, is negative), an RGB
//   value: red in bits 24-31, green in bits 16-23, blue in bits 8-15;
// - otherwise a stock color code 0 to 15 (black, dark grey, grey, light grey,
//   white, red, dark red, orange, yellow, green, dark green, cyan, blue,
//   purple, magenta, pass), in that order.
// vfColor (<vc/color.h>) converts between this code and vcColor.
using vgr_color = std::int32_t;

// ---- record layout ------------------------------------------------------------
//
// A vgr_list is a count and a packed sequence of records. Every value is
// little-endian and of fixed width: i32/u32 are 4 bytes, f64 is an 8-byte IEEE
// 754 double. Offsets below are from the start of the payload.
//
// Every record: type (i32) at 0, color (vgr_color, i32) at 4, then its payload.
//
//  type  payload  fields
//  0     16       point: x f64 @0, y f64 @8. Codes above 10 are read as type 0.
//  1     32       segment: p1 x @0, y @8, p2 x @16, y @24 (f64)
//  2     32       line: direction x @0, y @8, a point of the line x @16, y @24
//  3     32       rectangle: origin x @0, y @8, size width @16, height @24
//  4     56       generalised rectangle: center x @0, y @8; side lengths
//                 first @16, second @24; orientation (radians, angle of the
//                 first side) @32; rounding along the first side @40, along
//                 the second @48. A skewed rectangle has no room for its skew:
//                 it is stored as the rectangle of its side lengths and
//                 orientation, and reads back unskewed. Side lengths and
//                 orientation are recomputed from the rectangle when it is
//                 written, so a rotated one comes back within rounding.
//  5     24       ellipse: center x @0, y @4, radius a @8, radius b @12,
//                 rotation of radius a (radians) @16 (f32 each), 4 zero bytes
//  6     104      maths-library ellipse, <vgr/vmath.h>: vmath_shapeEllipse
//  7     8+16n    polyline: vertex count n (i32) @0, closed flag (i32,
//                 non-zero: closed) @4, then n points of x, y (f64)
//  8     48       maths-library affine rectangle, <vgr/vmath.h>:
//                 vmath_shapeAffineRect
//  9     44+k+1   text: background color (vgr_color) @0; location x @4, y @12;
//                 offset in pixels x @20, y @28 (f64); font id (i32) @36;
//                 alignment (u32, 0..8) @40; then the k text bytes and a zero
//  10    4+32n    segment set: segment count n (i32) @0, then n segments of
//                 p1 x, y, p2 x, y (f64)
//
// Readers of a list treat its bytes as untrusted: see vgr_list_decode.

inline constexpr std::int32_t VGR_POINT = 0;
inline constexpr std::int32_t VGR_LINESEG = 1;
inline constexpr std::int32_t VGR_LINE = 2;
inline constexpr std::int32_t VGR_RECT = 3;
inline constexpr std::int32_t VGR_GENRECT = 4;
inline constexpr std::int32_t VGR_ELLIPSE = 5;
inline constexpr std::int32_t VGR_SHAPE_ELLIPSE = 6;
inline constexpr std::int32_t VGR_POLYLINE = 7;
inline constexpr std::int32_t VGR_SHAPE_AFFINE_RECT = 8;
inline constexpr std::int32_t VGR_TEXT = 9;
inline constexpr std::int32_t VGR_LINESEG_SET = 10;

// Bytes of the record head (type and color).
inline constexpr std::int32_t VGR_HEAD_SIZE = 8;
// Fixed payload sizes of types 0 to 6 and 8.
inline constexpr std::int32_t VGR_POINT_SIZE = 16;
inline constexpr std::int32_t VGR_LINESEG_SIZE = 32;
inline constexpr std::int32_t VGR_LINE_SIZE = 32;
inline constexpr std::int32_t VGR_RECT_SIZE = 32;
inline constexpr std::int32_t VGR_GENRECT_SIZE = 56;
inline constexpr std::int32_t VGR_ELLIPSE_SIZE = 24;
inline constexpr std::int32_t VGR_SHAPE_ELLIPSE_SIZE = 104;
inline constexpr std::int32_t VGR_SHAPE_AFFINE_RECT_SIZE = 48;
// The fixed part of a text payload, before its bytes.
inline constexpr std::int32_t VGR_TEXT_FIXED_SIZE = 44;

// Result codes of the functions below: VGR_OK, or a negative code (which the
// display library hands to vfThrowExceptionOnFailure).
inline constexpr int VGR_OK = 0;
inline constexpr int VGR_ERR_NULL = -1;        // a null list or argument
inline constexpr int VGR_ERR_VALUE = -2;       // a non-finite coordinate or a count out of range
inline constexpr int VGR_ERR_FULL = -3;        // the list would exceed 2^31 - 1 bytes or records
inline constexpr int VGR_ERR_TRUNCATED = -4;   // a record runs past the end of the bytes
inline constexpr int VGR_ERR_COUNT = -5;       // the count does not match the records held
inline constexpr int VGR_ERR_STRING = -6;      // a text without its terminating zero

// A text describing a result code.
const char* vgr_resultText(int code);

// A list of graphics records. The fields are public so that a list can be
// filled from a file or a peer; records.size() is the byte length the readers
// check every record against.
struct vgr_list {
  std::int32_t count = 0;               // number of records
  std::vector<unsigned char> records;   // the packed records, layout above
};

// Empties the list.
int vgr_list_reset(vgr_list* list);

// Appenders: each adds one record at the end of the list, or changes nothing
// and returns a negative code. Coordinates are in the client frame of the
// drawing that uses the list; lengths in the same units; angles in radians,
// from +x toward +y.
int vgr_list_appendPoint(vgr_list* list, vgr_color color, double x, double y);
int vgr_list_appendLineSeg(vgr_list* list, vgr_color color, double x1, double y1, double x2, double y2);
// The line through (px, py) along (dx, dy).
int vgr_list_appendLineDirPoint(vgr_list* list, vgr_color color, double dx, double dy, double px, double py);
// The rectangle with origin (x, y) and size (w, h).
int vgr_list_appendRect(vgr_list* list, vgr_color color, double x, double y, double w, double h);
// center (cx, cy); side lengths w (first side), h (second side);
// orientation: angle of the first side; rounding rx, ry in [0, 1].
int vgr_list_appendGenRect(vgr_list* list, vgr_color color, double cx, double cy, double w, double h,
                           double orientation, double rx, double ry);
// center (cx, cy); radii a, b >= 0; rotation: direction of radius a. Stored as f32.
int vgr_list_appendEllipse(vgr_list* list, vgr_color color, double cx, double cy, double a, double b,
                           double rotation);
// shapeEllipse: a VGR_SHAPE_ELLIPSE_SIZE-byte maths-library ellipse record.
int vgr_list_appendShapeEllipse(vgr_list* list, vgr_color color, const unsigned char* shapeEllipse);
// xy: 2n coordinates x0, y0, x1, y1, ...
int vgr_list_appendPolyline(vgr_list* list, vgr_color color, std::int32_t n, const double* xy, bool closed);
// shapeAffineRect: a VGR_SHAPE_AFFINE_RECT_SIZE-byte maths-library affine rectangle.
int vgr_list_appendShapeAffineRect(vgr_list* list, vgr_color color, const unsigned char* shapeAffineRect);
// text: zero-terminated, no longer than 2^20 bytes; (x, y): location;
// (dx, dy): offset in display pixels; alignment 0..8.
int vgr_list_appendTextEx(vgr_list* list, vgr_color color, vgr_color background, const char* text, double x,
                          double y, double dx, double dy, std::int32_t fontId, std::uint32_t alignment);
// xy: 4n coordinates x1, y1, x2, y2 of each segment in turn.
int vgr_list_appendLineSegSet(vgr_list* list, vgr_color color, std::int32_t n, const double* xy);

// One record as read from a list: its type (codes above 10 already turned
// into VGR_POINT), its color and its fields.
struct vgr_record {
  std::int32_t type = VGR_POINT;
  vgr_color color = 0;
  // The f64 (or, for type 5, f32) values of the payload in layout order; for
  // types 7 and 10 the points; for type 6 and 8 empty (see raw).
  std::vector<double> values;
  bool closed = false;                 // type 7
  vgr_color background = 0;            // type 9
  std::int32_t fontId = 0;             // type 9
  std::uint32_t alignment = 0;         // type 9
  std::string text;                    // type 9
  std::vector<unsigned char> raw;      // types 6 and 8: the maths-library record
};

// Reads every record of list into out. Checks every record against the byte
// length of the list: a record that runs past the end (VGR_ERR_TRUNCATED), a
// count the bytes cannot hold, a count that leaves bytes over or a negative
// one (VGR_ERR_COUNT), a text without its zero (VGR_ERR_STRING), a
// non-finite coordinate, a negative or oversized element count or an
// alignment above 8 (VGR_ERR_VALUE). On failure out is unchanged and, when
// badRecord is not null, *badRecord is the index of the offending record
// (-1 for the count itself).
int vgr_list_decode(const vgr_list* list, std::vector<vgr_record>* out, std::int32_t* badRecord);
