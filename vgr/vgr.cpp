// The graphics-list stand-in: appending records and reading them back under
// bounds checks. Layouts are documented in <vgr/vgr.h>.
#include <vgr/vgr.h>

#include <cmath>
#include <cstring>
#include <limits>

#include <vc/core/byteio.h>
#include <vgr/vmath.h>

namespace {

constexpr std::size_t kMaxBytes = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
constexpr std::size_t kMaxText = std::size_t{1} << 20;
// The smallest record: a head and an empty segment set.
constexpr std::size_t kMinRecord = VGR_HEAD_SIZE + 4;

bool finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// One record being built: the head, then the payload written in order.
class RecordBuilder {
public:
  RecordBuilder(std::int32_t type, vgr_color color) {
    i32(type);
    i32(color);
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void u32(std::uint32_t v) {
    unsigned char b[4];
    vc_bytes::put32(b, v);
    bytes_.insert(bytes_.end(), b, b + 4);
  }
  void f32(double v) {
    unsigned char b[4];
    vc_bytes::putF32(b, static_cast<float>(v));
    bytes_.insert(bytes_.end(), b, b + 4);
  }
  void f64(double v) {
    unsigned char b[8];
    vc_bytes::putF64(b, v);
    bytes_.insert(bytes_.end(), b, b + 8);
  }
  void raw(const unsigned char* p, std::size_t n) { bytes_.insert(bytes_.end(), p, p + n); }

  // Appends the record to list, or returns VGR_ERR_FULL and changes nothing.
  int appendTo(vgr_list* list) const {
    if (list->count == std::numeric_limits<std::int32_t>::max() || list->records.size() > kMaxBytes ||
        bytes_.size() > kMaxBytes - list->records.size())
      return VGR_ERR_FULL;
    list->records.insert(list->records.end(), bytes_.begin(), bytes_.end());
    ++list->count;
    return VGR_OK;
  }

private:
  std::vector<unsigned char> bytes_;
};

}  // namespace

const char* vgr_resultText(int code) {
  switch (code) {
    case VGR_OK: return "no error";
    case VGR_ERR_NULL: return "a null list or argument";
    case VGR_ERR_VALUE: return "a non-finite coordinate or a value out of range";
    case VGR_ERR_FULL: return "the list is full";
    case VGR_ERR_TRUNCATED: return "a record runs past the end of the list's bytes";
    case VGR_ERR_COUNT: return "the record count does not match the list's bytes";
    case VGR_ERR_STRING: return "a text record without its terminating zero";
    default: return "unknown result code";
  }
}

int vgr_list_reset(vgr_list* list) {
  if (!list) return VGR_ERR_NULL;
  list->count = 0;
  list->records.clear();
  return VGR_OK;
}

int vgr_list_appendPoint(vgr_list* list, vgr_color color, double x, double y) {
  if (!list) return VGR_ERR_NULL;
  if (!finite({x, y})) return VGR_ERR_VALUE;
  RecordBuilder r(VGR_POINT, color);
  r.f64(x);
  r.f64(y);
  return r.appendTo(list);
}

namespace {
int appendFour(vgr_list* list, std::int32_t type, vgr_color color, double a, double b, double c, double d) {
  if (!list) return VGR_ERR_NULL;
  if (!finite({a, b, c, d})) return VGR_ERR_VALUE;
  RecordBuilder r(type, color);
  for (double v : {a, b, c, d}) r.f64(v);
  return r.appendTo(list);
}
}  // namespace

int vgr_list_appendLineSeg(vgr_list* list, vgr_color color, double x1, double y1, double x2, double y2) {
  return appendFour(list, VGR_LINESEG, color, x1, y1, x2, y2);
}

int vgr_list_appendLineDirPoint(vgr_list* list, vgr_color color, double dx, double dy, double px, double py) {
  return appendFour(list, VGR_LINE, color, dx, dy, px, py);
}

int vgr_list_appendRect(vgr_list* list, vgr_color color, double x, double y, double w, double h) {
  return appendFour(list, VGR_RECT, color, x, y, w, h);
}

int vgr_list_appendGenRect(vgr_list* list, vgr_color color, double cx, double cy, double w, double h,
                           double orientation, double rx, double ry) {
  if (!list) return VGR_ERR_NULL;
  if (!finite({cx, cy, w, h, orientation, rx, ry})) return VGR_ERR_VALUE;
  RecordBuilder r(VGR_GENRECT, color);
  for (double v : {cx, cy, w, h, orientation, rx, ry}) r.f64(v);
  return r.appendTo(list);
}

int vgr_list_appendEllipse(vgr_list* list, vgr_color color, double cx, double cy, double a, double b,
                           double rotation) {
  if (!list) return VGR_ERR_NULL;
  const double big = std::numeric_limits<float>::max();
  for (double v : {cx, cy, a, b, rotation})
    if (!std::isfinite(v) || std::fabs(v) > big) return VGR_ERR_VALUE;
  RecordBuilder r(VGR_ELLIPSE, color);
  for (double v : {cx, cy, a, b, rotation}) r.f32(v);
  r.u32(0);
  return r.appendTo(list);
}

int vgr_list_appendShapeEllipse(vgr_list* list, vgr_color color, const unsigned char* shapeEllipse) {
  if (!list || !shapeEllipse) return VGR_ERR_NULL;
  double xform[6];
  if (int rc = vmath_shapeEllipse_getXform(shapeEllipse, xform); rc != VGR_OK) return rc;
  RecordBuilder r(VGR_SHAPE_ELLIPSE, color);
  r.raw(shapeEllipse, VGR_SHAPE_ELLIPSE_SIZE);
  return r.appendTo(list);
}

int vgr_list_appendPolyline(vgr_list* list, vgr_color color, std::int32_t n, const double* xy, bool closed) {
  if (!list || (n > 0 && !xy)) return VGR_ERR_NULL;
  if (n < 0 || static_cast<std::size_t>(n) > kMaxBytes / 16) return VGR_ERR_VALUE;
  for (std::int32_t i = 0; i < 2 * n; ++i)
    if (!std::isfinite(xy[i])) return VGR_ERR_VALUE;
  RecordBuilder r(VGR_POLYLINE, color);
  r.i32(n);
  r.i32(closed ? 1 : 0);
  for (std::int32_t i = 0; i < 2 * n; ++i) r.f64(xy[i]);
  return r.appendTo(list);
}

int vgr_list_appendShapeAffineRect(vgr_list* list, vgr_color color, const unsigned char* shapeAffineRect) {
  if (!list || !shapeAffineRect) return VGR_ERR_NULL;
  double pts[6];
  if (int rc = vmath_shapeAffineRect_getPoints(shapeAffineRect, pts); rc != VGR_OK) return rc;
  RecordBuilder r(VGR_SHAPE_AFFINE_RECT, color);
  r.raw(shapeAffineRect, VGR_SHAPE_AFFINE_RECT_SIZE);
  return r.appendTo(list);
}

int vgr_list_appendTextEx(vgr_list* list, vgr_color color, vgr_color background, const char* text, double x,
                          double y, double dx, double dy, std::int32_t fontId, std::uint32_t alignment) {
  if (!list || !text) return VGR_ERR_NULL;
  const std::size_t k = ::strnlen(text, kMaxText + 1);
  if (k > kMaxText || alignment > 8 || !finite({x, y, dx, dy})) return VGR_ERR_VALUE;
  RecordBuilder r(VGR_TEXT, color);
  r.i32(background);
  for (double v : {x, y, dx, dy}) r.f64(v);
  r.i32(fontId);
  r.u32(alignment);
  r.raw(reinterpret_cast<const unsigned char*>(text), k + 1);
  return r.appendTo(list);
}

int vgr_list_appendLineSegSet(vgr_list* list, vgr_color color, std::int32_t n, const double* xy) {
  if (!list || (n > 0 && !xy)) return VGR_ERR_NULL;
  if (n < 0 || static_cast<std::size_t>(n) > kMaxBytes / 32) return VGR_ERR_VALUE;
  for (std::int32_t i = 0; i < 4 * n; ++i)
    if (!std::isfinite(xy[i])) return VGR_ERR_VALUE;
  RecordBuilder r(VGR_LINESEG_SET, color);
  r.i32(n);
  for (std::int32_t i = 0; i < 4 * n; ++i) r.f64(xy[i]);
  return r.appendTo(list);
}

// ---- reading -------------------------------------------------------------------

namespace {

// A failed read: the result code, carried out of the walk.
struct DecodeError {
  int code;
};

class Cursor {
public:
  Cursor(const unsigned char* p, std::size_t n) : p_(p), end_(p + n) {}
  std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }
  const unsigned char* take(std::size_t n) {
    if (n > remaining()) throw DecodeError{VGR_ERR_TRUNCATED};
    const unsigned char* at = p_;
    p_ += n;
    return at;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(vc_bytes::get32(take(4))); }
  std::uint32_t u32() { return vc_bytes::get32(take(4)); }
  double f64() { return checked(vc_bytes::getF64(take(8))); }
  double f32() { return checked(vc_bytes::getF32(take(4))); }
  // Appends n doubles after checking that they are there.
  void f64s(std::vector<double>& out, std::size_t n) {
    if (n > remaining() / 8) throw DecodeError{VGR_ERR_TRUNCATED};
    out.reserve(out.size() + n);
    for (std::size_t i = 0; i < n; ++i) out.push_back(f64());
  }
  // An element count that the remaining bytes can hold at elemSize each.
  std::size_t count(std::size_t elemSize) {
    const std::int32_t n = i32();
    if (n < 0) throw DecodeError{VGR_ERR_VALUE};
    if (static_cast<std::size_t>(n) > remaining() / elemSize) throw DecodeError{VGR_ERR_TRUNCATED};
    return static_cast<std::size_t>(n);
  }

private:
  static double checked(double v) {
    if (!std::isfinite(v)) throw DecodeError{VGR_ERR_VALUE};
    return v;
  }
  const unsigned char* p_;
  const unsigned char* end_;
};

vgr_record readRecord(Cursor& in) {
  vgr_record r;
  r.type = in.i32();
  r.color = in.i32();
  if (r.type < 0 || r.type > VGR_LINESEG_SET) r.type = VGR_POINT;
  switch (r.type) {
    case VGR_POINT: in.f64s(r.values, 2); break;
    case VGR_LINESEG:
    case VGR_LINE:
    case VGR_RECT: in.f64s(r.values, 4); break;
    case VGR_GENRECT: in.f64s(r.values, 7); break;
    case VGR_ELLIPSE:
      for (int i = 0; i < 5; ++i) r.values.push_back(in.f32());
      in.take(4);
      break;
    case VGR_SHAPE_ELLIPSE: {
      const unsigned char* rec = in.take(VGR_SHAPE_ELLIPSE_SIZE);
      double xform[6];
      if (vmath_shapeEllipse_getXform(rec, xform) != VGR_OK) throw DecodeError{VGR_ERR_VALUE};
      r.raw.assign(rec, rec + VGR_SHAPE_ELLIPSE_SIZE);
      break;
    }
    case VGR_POLYLINE: {
      const std::int32_t n = in.i32();
      r.closed = in.i32() != 0;
      if (n < 0) throw DecodeError{VGR_ERR_VALUE};
      in.f64s(r.values, 2 * static_cast<std::size_t>(n));
      break;
    }
    case VGR_SHAPE_AFFINE_RECT: {
      const unsigned char* rec = in.take(VGR_SHAPE_AFFINE_RECT_SIZE);
      double pts[6];
      if (vmath_shapeAffineRect_getPoints(rec, pts) != VGR_OK) throw DecodeError{VGR_ERR_VALUE};
      r.raw.assign(rec, rec + VGR_SHAPE_AFFINE_RECT_SIZE);
      break;
    }
    case VGR_TEXT: {
      r.background = in.i32();
      in.f64s(r.values, 4);
      r.fontId = in.i32();
      r.alignment = in.u32();
      if (r.alignment > 8) throw DecodeError{VGR_ERR_VALUE};
      const std::size_t left = in.remaining();
      const unsigned char* s = in.take(0);
      const void* zero = std::memchr(s, 0, left);
      if (!zero) throw DecodeError{VGR_ERR_STRING};
      const std::size_t k = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - s);
      r.text.assign(reinterpret_cast<const char*>(s), k);
      in.take(k + 1);
      break;
    }
    case VGR_LINESEG_SET: {
      const std::size_t n = in.count(32);
      in.f64s(r.values, 4 * n);
      break;
    }
  }
  return r;
}

}  // namespace

int vgr_list_decode(const vgr_list* list, std::vector<vgr_record>* out, std::int32_t* badRecord) {
  if (!list || !out) return VGR_ERR_NULL;
  auto fail = [&](int code, std::int32_t at) {
    if (badRecord) *badRecord = at;
    return code;
  };
  const std::size_t bytes = list->records.size();
  if (list->count < 0 || static_cast<std::size_t>(list->count) > bytes / kMinRecord) return fail(VGR_ERR_COUNT, -1);
  Cursor in(list->records.data(), bytes);
  std::vector<vgr_record> records;
  records.reserve(static_cast<std::size_t>(list->count));
  std::int32_t i = 0;
  try {
    for (; i < list->count; ++i) records.push_back(readRecord(in));
  } catch (const DecodeError& e) {
    return fail(e.code, i);
  }
  if (in.remaining() != 0) return fail(VGR_ERR_COUNT, -1);
  out->swap(records);
  return VGR_OK;
}
