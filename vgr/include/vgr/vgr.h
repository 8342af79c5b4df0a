// The graphics-list library's interface as the display library uses it: the
// vgr_color code, the vgr_list record list, its record types, the functions
// that append records to it and the bounded reader that walks it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
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
// Each payload is described once, by a record struct below, which both
// writes and reads it. Readers of a list treat its bytes as untrusted: see
// vgr_list_decode.

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

// ---- record types ---------------------------------------------------------------
//
// One struct per payload layout. Its io(IO&) names the fields in layout order
// through the IO's calls, and the same description writes a record
// (vgr_list_append) and reads one (vgr_list_decode):
//   f64(double&)        a finite f64;
//   f32(double&)        a finite value within float range, stored as f32;
//   i32 / u32           a 32-bit integer;
//   bytes(std::array&)  a fixed run of bytes; zeros(n): n padding bytes;
//   check(bool)         false: a value the record cannot hold (VGR_ERR_VALUE);
//   sizeOf(v, size)     the count of v written ahead of its items (0 when
//                       reading); too many items of size bytes: VGR_ERR_VALUE;
//   items(v, n, size)   n items of at least size bytes each, through their
//                       own io(); a negative count is VGR_ERR_VALUE, one the
//                       bytes left cannot hold VGR_ERR_TRUNCATED;
//   text(std::string&)  zero-terminated text, at most 2^20 bytes and no zero
//                       inside (VGR_ERR_VALUE); unterminated: VGR_ERR_STRING.

// A point or a vector (x, y), two f64.
struct vgr_xy {
  double x = 0, y = 0;
  bool operator==(const vgr_xy&) const = default;
  template <class IO>
  void io(IO& io) {
    io.f64(x);
    io.f64(y);
  }
};

// A segment from p1 to p2.
struct vgr_seg {
  vgr_xy p1, p2;
  bool operator==(const vgr_seg&) const = default;
  template <class IO>
  void io(IO& io) {
    p1.io(io);
    p2.io(io);
  }
};

// Types 0 to 3: a point; a segment; the line through point along direction;
// the rectangle with origin and size.
struct vgr_pointRecord {
  vgr_xy p;
  bool operator==(const vgr_pointRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    p.io(io);
  }
};
struct vgr_lineSegRecord {
  vgr_seg s;
  bool operator==(const vgr_lineSegRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    s.io(io);
  }
};
struct vgr_lineRecord {
  vgr_xy direction, point;
  bool operator==(const vgr_lineRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    direction.io(io);
    point.io(io);
  }
};
struct vgr_rectRecord {
  vgr_xy origin, size;
  bool operator==(const vgr_rectRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    origin.io(io);
    size.io(io);
  }
};

// Type 4: sides are the side lengths (first, second), orientation the angle
// of the first side, rounding along the first and second side.
struct vgr_genRectRecord {
  vgr_xy center, sides;
  double orientation = 0;
  vgr_xy rounding;
  bool operator==(const vgr_genRectRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    center.io(io);
    sides.io(io);
    io.f64(orientation);
    rounding.io(io);
  }
};

// Type 5: radii a, b and the rotation of radius a, all stored as f32.
struct vgr_ellipseRecord {
  vgr_xy center;
  double a = 0, b = 0, rotation = 0;
  bool operator==(const vgr_ellipseRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    io.f32(center.x);
    io.f32(center.y);
    io.f32(a);
    io.f32(b);
    io.f32(rotation);
    io.zeros(4);
  }
};

// Types 6 and 8: a maths-library record (<vgr/vmath.h>) that its reader accepts.
struct vgr_shapeEllipseRecord {
  std::array<unsigned char, VGR_SHAPE_ELLIPSE_SIZE> bytes{};
  bool valid() const;
  bool operator==(const vgr_shapeEllipseRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    io.bytes(bytes);
    io.check(valid());
  }
};
struct vgr_shapeAffineRectRecord {
  std::array<unsigned char, VGR_SHAPE_AFFINE_RECT_SIZE> bytes{};
  bool valid() const;
  bool operator==(const vgr_shapeAffineRectRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    io.bytes(bytes);
    io.check(valid());
  }
};

// Type 7: the count, the closed flag (any non-zero i32 reads as closed), then the points.
struct vgr_polylineRecord {
  std::vector<vgr_xy> points;
  bool closed = false;
  bool operator==(const vgr_polylineRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    std::int32_t n = io.sizeOf(points, 16);
    io.i32(n);
    std::int32_t flag = closed ? 1 : 0;
    io.i32(flag);
    closed = flag != 0;
    io.items(points, n, 16);
  }
};

// Type 9: offset in display pixels from location; alignment 0..8.
struct vgr_textRecord {
  vgr_color background = 0;
  vgr_xy location, offset;
  std::int32_t fontId = 0;
  std::uint32_t alignment = 0;
  std::string text;
  bool operator==(const vgr_textRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    io.i32(background);
    location.io(io);
    offset.io(io);
    io.i32(fontId);
    io.u32(alignment);
    io.check(alignment <= 8);
    io.text(text);
  }
};

// Type 10: the count, then the segments.
struct vgr_lineSegSetRecord {
  std::vector<vgr_seg> segments;
  bool operator==(const vgr_lineSegSetRecord&) const = default;
  template <class IO>
  void io(IO& io) {
    std::int32_t n = io.sizeOf(segments, 32);
    io.i32(n);
    io.items(segments, n, 32);
  }
};

// A record's payload; the index of the alternative is the record's type code.
using vgr_payload =
    std::variant<vgr_pointRecord, vgr_lineSegRecord, vgr_lineRecord, vgr_rectRecord, vgr_genRectRecord,
                 vgr_ellipseRecord, vgr_shapeEllipseRecord, vgr_polylineRecord, vgr_shapeAffineRectRecord,
                 vgr_textRecord, vgr_lineSegSetRecord>;
static_assert(std::variant_size_v<vgr_payload> == VGR_LINESEG_SET + 1, "one alternative per record type");

// One record as read from a list.
struct vgr_record {
  vgr_color color = 0;
  vgr_payload payload;
  // The type code (codes above 10 were read as VGR_POINT).
  std::int32_t type() const noexcept { return static_cast<std::int32_t>(payload.index()); }
  bool operator==(const vgr_record&) const = default;
};

// Appends the record of payload with color, or changes nothing and returns
// VGR_ERR_NULL, VGR_ERR_VALUE (a value its layout cannot hold, as listed with
// the record types) or VGR_ERR_FULL. The appenders above build their record
// and append it here.
int vgr_list_append(vgr_list* list, vgr_color color, const vgr_payload& payload);

// Reads every record of list into out. Checks every record against the byte
// length of the list: a record that runs past the end (VGR_ERR_TRUNCATED), a
// count the bytes cannot hold, a count that leaves bytes over or a negative
// one (VGR_ERR_COUNT), a text without its zero (VGR_ERR_STRING), a
// non-finite coordinate, a negative or oversized element count or an
// alignment above 8 (VGR_ERR_VALUE). On failure out is unchanged and, when
// badRecord is not null, *badRecord is the index of the offending record
// (-1 for the count itself).
int vgr_list_decode(const vgr_list* list, std::vector<vgr_record>* out, std::int32_t* badRecord);
