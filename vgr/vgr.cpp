// The graphics-list stand-in: appending records and reading them back under
// bounds checks. Layouts are documented in <vgr/vgr.h>, and each is written
// and read by its record struct's io().
#include <vgr/vgr.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include <vc/core/byteio.h>
#include <vgr/vmath.h>

namespace {

constexpr std::size_t kMaxBytes = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
constexpr std::size_t kMaxText = std::size_t{1} << 20;
// The smallest record: a head and an empty segment set.
constexpr std::size_t kMinRecord = VGR_HEAD_SIZE + 4;

// A record that cannot be written or read: the result code, carried out of io().
struct Failure {
  int code;
};

[[noreturn]] void fail(int code) { throw Failure{code}; }

// Writes a record's fields, refusing values its layout cannot hold.
class Writer {
public:
  explicit Writer(std::vector<unsigned char>& out) noexcept : w_(out) {}

  void f64(const double& v) {
    if (!std::isfinite(v)) fail(VGR_ERR_VALUE);
    w_.f64(v);
  }
  void f32(const double& v) {
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) fail(VGR_ERR_VALUE);
    w_.f32(static_cast<float>(v));
  }
  void i32(const std::int32_t& v) { w_.i32(v); }
  void u32(const std::uint32_t& v) { w_.u32(v); }
  template <std::size_t N>
  void bytes(const std::array<unsigned char, N>& b) {
    w_.bytes(b.data(), N);
  }
  void zeros(std::size_t n) { w_.zeros(n); }
  void check(bool ok) {
    if (!ok) fail(VGR_ERR_VALUE);
  }
  template <class T>
  std::int32_t sizeOf(const std::vector<T>& v, std::size_t itemSize) {
    if (v.size() > kMaxBytes / itemSize) fail(VGR_ERR_VALUE);
    return static_cast<std::int32_t>(v.size());
  }
  template <class T>
  void items(std::vector<T>& v, std::int32_t, std::size_t) {
    for (T& item : v) item.io(*this);
  }
  void text(const std::string& s) {
    if (s.size() > kMaxText || s.find('\0') != std::string::npos) fail(VGR_ERR_VALUE);
    w_.bytes(s.data(), s.size());
    w_.u8(0);
  }

private:
  vcByteWriter w_;
};

// Reads a record's fields from untrusted bytes through the core's bounded
// reader: a read past the end is VGR_ERR_TRUNCATED.
class Reader {
public:
  Reader(const unsigned char* p, std::size_t n) noexcept : r_(p, n, [](const std::string&) { fail(VGR_ERR_TRUNCATED); }) {}

  std::size_t remaining() const noexcept { return r_.remaining(); }
  void f64(double& v) { v = finite(r_.f64()); }
  void f32(double& v) { v = finite(r_.f32()); }
  void i32(std::int32_t& v) { v = r_.i32(); }
  void u32(std::uint32_t& v) { v = r_.u32(); }
  template <std::size_t N>
  void bytes(std::array<unsigned char, N>& b) {
    r_.bytes(b.data(), N);
  }
  void zeros(std::size_t n) { r_.skip(n); }
  void check(bool ok) {
    if (!ok) fail(VGR_ERR_VALUE);
  }
  template <class T>
  std::int32_t sizeOf(const std::vector<T>&, std::size_t) {
    return 0;
  }
  template <class T>
  void items(std::vector<T>& v, std::int32_t n, std::size_t itemSize) {
    if (n < 0) fail(VGR_ERR_VALUE);
    r_.require(static_cast<std::uint64_t>(n), itemSize);
    v.resize(static_cast<std::size_t>(n));
    for (T& item : v) item.io(*this);
  }
  void text(std::string& s) {
    const unsigned char* at = r_.position();
    const void* zero = r_.atEnd() ? nullptr : std::memchr(at, 0, r_.remaining());
    if (!zero) fail(VGR_ERR_STRING);
    const std::size_t k = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - at);
    s.assign(reinterpret_cast<const char*>(r_.take(k)), k);
    r_.skip(1);
  }

private:
  static double finite(double v) {
    if (!std::isfinite(v)) fail(VGR_ERR_VALUE);
    return v;
  }
  vcByteReader r_;
};

// Appends whole records to list, or returns VGR_ERR_FULL and changes nothing.
int appendBytes(vgr_list* list, const std::vector<unsigned char>& bytes) {
  if (list->count == std::numeric_limits<std::int32_t>::max() || list->records.size() > kMaxBytes ||
      bytes.size() > kMaxBytes - list->records.size())
    return VGR_ERR_FULL;
  list->records.insert(list->records.end(), bytes.begin(), bytes.end());
  ++list->count;
  return VGR_OK;
}

template <std::size_t I>
vgr_payload readAs(Reader& in) {
  std::variant_alternative_t<I, vgr_payload> payload;
  payload.io(in);
  return payload;
}

// The reader of each record type, indexed by type code.
template <std::size_t... I>
vgr_payload readPayload(std::int32_t type, Reader& in, std::index_sequence<I...>) {
  using ReadFn = vgr_payload (*)(Reader&);
  static constexpr ReadFn kRead[] = {&readAs<I>...};
  return kRead[type](in);
}

vgr_record readRecord(Reader& in) {
  std::int32_t type = 0;
  vgr_record r;
  in.i32(type);
  in.i32(r.color);
  if (type < 0 || type > VGR_LINESEG_SET) type = VGR_POINT;
  r.payload = readPayload(type, in, std::make_index_sequence<std::variant_size_v<vgr_payload>>());
  return r;
}

}  // namespace

bool vgr_shapeEllipseRecord::valid() const {
  double xform[6];
  return vmath_shapeEllipse_getXform(bytes.data(), xform) == VGR_OK;
}

bool vgr_shapeAffineRectRecord::valid() const {
  double pts[6];
  return vmath_shapeAffineRect_getPoints(bytes.data(), pts) == VGR_OK;
}

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

int vgr_list_append(vgr_list* list, vgr_color color, const vgr_payload& payload) {
  if (!list) return VGR_ERR_NULL;
  std::vector<unsigned char> bytes;
  try {
    Writer w(bytes);
    w.i32(static_cast<std::int32_t>(payload.index()));
    w.i32(color);
    std::visit([&w](const auto& p) { const_cast<std::remove_cvref_t<decltype(p)>&>(p).io(w); }, payload);
  } catch (const Failure& f) {
    return f.code;
  }
  return appendBytes(list, bytes);
}

int vgr_list_appendPoint(vgr_list* list, vgr_color color, double x, double y) {
  return vgr_list_append(list, color, vgr_pointRecord{{x, y}});
}

int vgr_list_appendLineSeg(vgr_list* list, vgr_color color, double x1, double y1, double x2, double y2) {
  return vgr_list_append(list, color, vgr_lineSegRecord{{{x1, y1}, {x2, y2}}});
}

int vgr_list_appendLineDirPoint(vgr_list* list, vgr_color color, double dx, double dy, double px, double py) {
  return vgr_list_append(list, color, vgr_lineRecord{{dx, dy}, {px, py}});
}

int vgr_list_appendRect(vgr_list* list, vgr_color color, double x, double y, double w, double h) {
  return vgr_list_append(list, color, vgr_rectRecord{{x, y}, {w, h}});
}

int vgr_list_appendGenRect(vgr_list* list, vgr_color color, double cx, double cy, double w, double h,
                           double orientation, double rx, double ry) {
  return vgr_list_append(list, color, vgr_genRectRecord{{cx, cy}, {w, h}, orientation, {rx, ry}});
}

int vgr_list_appendEllipse(vgr_list* list, vgr_color color, double cx, double cy, double a, double b,
                           double rotation) {
  return vgr_list_append(list, color, vgr_ellipseRecord{{cx, cy}, a, b, rotation});
}

int vgr_list_appendShapeEllipse(vgr_list* list, vgr_color color, const unsigned char* shapeEllipse) {
  if (!list || !shapeEllipse) return VGR_ERR_NULL;
  vgr_shapeEllipseRecord r;
  std::memcpy(r.bytes.data(), shapeEllipse, r.bytes.size());
  return vgr_list_append(list, color, r);
}

int vgr_list_appendPolyline(vgr_list* list, vgr_color color, std::int32_t n, const double* xy, bool closed) {
  if (!list || (n > 0 && !xy)) return VGR_ERR_NULL;
  if (n < 0 || static_cast<std::size_t>(n) > kMaxBytes / 16) return VGR_ERR_VALUE;
  vgr_polylineRecord r;
  r.closed = closed;
  r.points.reserve(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) r.points.push_back({xy[2 * i], xy[2 * i + 1]});
  return vgr_list_append(list, color, std::move(r));
}

int vgr_list_appendShapeAffineRect(vgr_list* list, vgr_color color, const unsigned char* shapeAffineRect) {
  if (!list || !shapeAffineRect) return VGR_ERR_NULL;
  vgr_shapeAffineRectRecord r;
  std::memcpy(r.bytes.data(), shapeAffineRect, r.bytes.size());
  return vgr_list_append(list, color, r);
}

int vgr_list_appendTextEx(vgr_list* list, vgr_color color, vgr_color background, const char* text, double x,
                          double y, double dx, double dy, std::int32_t fontId, std::uint32_t alignment) {
  if (!list || !text) return VGR_ERR_NULL;
  const std::size_t k = ::strnlen(text, kMaxText + 1);
  if (k > kMaxText) return VGR_ERR_VALUE;
  return vgr_list_append(list, color,
                         vgr_textRecord{background, {x, y}, {dx, dy}, fontId, alignment, std::string(text, k)});
}

int vgr_list_appendLineSegSet(vgr_list* list, vgr_color color, std::int32_t n, const double* xy) {
  if (!list || (n > 0 && !xy)) return VGR_ERR_NULL;
  if (n < 0 || static_cast<std::size_t>(n) > kMaxBytes / 32) return VGR_ERR_VALUE;
  vgr_lineSegSetRecord r;
  r.segments.reserve(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    const double* s = xy + 4 * i;
    r.segments.push_back({{s[0], s[1]}, {s[2], s[3]}});
  }
  return vgr_list_append(list, color, std::move(r));
}

// ---- reading -------------------------------------------------------------------

int vgr_list_decode(const vgr_list* list, std::vector<vgr_record>* out, std::int32_t* badRecord) {
  if (!list || !out) return VGR_ERR_NULL;
  auto failed = [&](int code, std::int32_t at) {
    if (badRecord) *badRecord = at;
    return code;
  };
  const std::size_t bytes = list->records.size();
  if (list->count < 0 || static_cast<std::size_t>(list->count) > bytes / kMinRecord)
    return failed(VGR_ERR_COUNT, -1);
  Reader in(list->records.data(), bytes);
  std::vector<vgr_record> records;
  records.reserve(static_cast<std::size_t>(list->count));
  std::int32_t i = 0;
  try {
    for (; i < list->count; ++i) records.push_back(readRecord(in));
  } catch (const Failure& e) {
    return failed(e.code, i);
  }
  if (in.remaining() != 0) return failed(VGR_ERR_COUNT, -1);
  out->swap(records);
  return VGR_OK;
}
