// The payload layouts of the sketch records, one struct per layout. Each
// struct's io() names the fields in order for vc_PayloadSizer, vc_PayloadWriter
// and vc_PayloadReader (payload.h). Shape images are the fixed-size images of
// the core shapes (writeImage/readImage).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <vc/core/genshape.h>
#include <vc/core/matrix.h>
#include <vc/core/pair.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rect.h>
#include <vc/core/rle.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/sketchop.h>
#include <vc/uirect.h>
#include <vc/uistring.h>
#include <vc/uisketch.h>
#include <vc/uitypes.h>

#include "payload.h"

// The record head (8 bytes): opcode, layer (0 image, 1 overlay, 2 both), the
// head color's 6-byte value.
struct vc_HeadPayload {
  unsigned char opcode = 0;
  unsigned char layer = 0;
  vcColor color;
  template <class IO>
  void io(IO& io) {
    io.u8(opcode);
    io.u8(layer);
    if constexpr (IO::isReading)
      if (layer > vcUITabletTypes::eBoth) vc_PayloadReader::fail("layer " + std::to_string(layer));
    io.color(color);
  }
  // Reads a well-formed head from the 8 bytes at p, which the caller has
  // checked are there, as io() reads it; false, and head unusable, for a head
  // io() would refuse.
  bool decode(const unsigned char* p) noexcept {
    opcode = p[0];
    layer = p[1];
    return layer <= vcUITabletTypes::eBoth && vcColor::fromBytes(p + 2, color);
  }
};

// The props record's body after its marker byte (21 bytes): version 0, fill,
// pen width, style, join, end cap, arrowHead, arrowHeadForward, showVertex.
// The pen color travels in the head, not here.
struct vc_PropsPayload {
  unsigned char version = 0;
  bool fill = false;
  long width = 0, style = 0, join = 0, cap = 0;
  bool arrowHead = false, arrowHeadForward = false, showVertex = false;

  template <class IO>
  void io(IO& io) {
    io.u8(version);
    if constexpr (IO::isReading)
      if (version != 0) vc_PayloadReader::fail("props record version " + std::to_string(version));
    fields(io);
  }
  // The 20 bytes after the version.
  template <class IO>
  void fields(IO& io) {
    io.flag(fill);
    io.i32(width);
    io.i32(style);
    io.i32(join);
    io.i32(cap);
    io.flag(arrowHead);
    io.flag(arrowHeadForward);
    io.flag(showVertex);
  }

  static vc_PropsPayload of(const vcGraphicProps& p) {
    return {0,
            p.fill(),
            p.penWidth(),
            static_cast<long>(p.penStyle()),
            static_cast<long>(p.penJoin()),
            static_cast<long>(p.penEndCap()),
            p.arrowHead(),
            p.arrowHeadForward(),
            p.showVertex()};
  }
  // Reads a well-formed body from the 21 bytes at p (version byte first),
  // which the caller has checked are there, as io() reads it; false, and the
  // body unusable, for one that io() or applyTo() would refuse.
  bool decode(const unsigned char* p) noexcept {
    if (p[0] != 0 || p[1] > 1 || p[18] > 1 || p[19] > 1 || p[20] > 1) return false;
    version = 0;
    fill = p[1] != 0;
    width = static_cast<std::int32_t>(vc_bytes::get32(p + 2));
    style = static_cast<std::int32_t>(vc_bytes::get32(p + 6));
    join = static_cast<std::int32_t>(vc_bytes::get32(p + 10));
    cap = static_cast<std::int32_t>(vc_bytes::get32(p + 14));
    arrowHead = p[18] != 0;
    arrowHeadForward = p[19] != 0;
    showVertex = p[20] != 0;
    return width >= 0;
  }
  // As applyTo() for a decoded body, calling only the setters of fields that
  // differ: consecutive props records of a stream mostly change a field or two.
  void applyChanged(vcGraphicProps& p) const {
    if (p.penWidth() != width) p.penWidth(width);
    if (p.fill() != fill) p.fill(fill);
    if (p.penStyle() != style) p.penStyle(static_cast<vcGraphicProps::vePenStyle>(style));
    if (p.penJoin() != join) p.penJoin(static_cast<vcGraphicProps::vePenJoin>(join));
    if (p.penEndCap() != cap) p.penEndCap(static_cast<vcGraphicProps::vePenEndCap>(cap));
    if (p.arrowHead() != arrowHead) p.arrowHead(arrowHead);
    if (p.arrowHeadForward() != arrowHeadForward) p.arrowHeadForward(arrowHeadForward);
    if (p.showVertex() != showVertex) p.showVertex(showVertex);
  }
  // Sets these fields of p through its setters (its pen color stays), so a
  // negative width throws vcGraphicProps::BadParams; the width is set first,
  // so that p is then left as it was.
  void applyTo(vcGraphicProps& p) const {
    p.penWidth(width);
    p.fill(fill);
    p.penStyle(static_cast<vcGraphicProps::vePenStyle>(style));
    p.penJoin(static_cast<vcGraphicProps::vePenJoin>(join));
    p.penEndCap(static_cast<vcGraphicProps::vePenEndCap>(cap));
    p.arrowHead(arrowHead);
    p.arrowHeadForward(arrowHeadForward);
    p.showVertex(showVertex);
  }
};

// The short way through well-formed records, for the record walk and the
// header's parser alike: takes the head, and the props record before it,
// from the n bytes at p into header when all are there and well formed, and
// returns the bytes taken; 0, and the header unchanged, otherwise (the
// header's parser then says what is wrong). Inline: a walk takes one per record.
struct vc_HeadReader {
  static long take(vc_UISketchOpHeader& header, const unsigned char* p, long n) noexcept {
    constexpr unsigned char kMarker = static_cast<unsigned char>(vcUISketch::kPropsMarker);
    constexpr long kBody = vcGraphicProps::kRecordSize, kPropsHead = 1 + kBody + vcUISketch::kHeadSize;
    vc_HeadPayload head;
    if (n >= vcUISketch::kHeadSize && p[0] != kMarker) {
      if (!head.decode(p)) return 0;
      header.commitHead_(head.opcode, head.layer, head.color);
      return vcUISketch::kHeadSize;
    }
    // A props record: its body, then a head that is not another props record.
    vc_PropsPayload body;
    if (n < kPropsHead || p[1 + kBody] == kMarker || !body.decode(p + 1) || !head.decode(p + 1 + kBody)) return 0;
    body.applyChanged(header.props_);
    header.hasProps_ = true;
    header.propsVersion_ = 0;
    header.commitHead_(head.opcode, head.layer, head.color);
    return kPropsHead;
  }
};

// Opcodes 0, 1, 20, 21: one point.
struct vc_PointPayload {
  vcVector<2> p;
  template <class IO>
  void io(IO& io) {
    io.vec(p);
  }
};

// Opcodes 22, 23: a pixel offset.
struct vc_PelOffsetPayload {
  long dx = 0, dy = 0;
  template <class IO>
  void io(IO& io) {
    io.i32(dx);
    io.i32(dy);
  }
};

// Opcodes 2 (segment end points) and 3 (a line's point and direction).
struct vc_TwoVectorPayload {
  vcVector<2> a, b;
  template <class IO>
  void io(IO& io) {
    io.vec(a);
    io.vec(b);
  }
};

// Opcodes 32 and 47: a vcRect's four doubles.
struct vc_RectPayload {
  double x = 0, y = 0, w = 0, h = 0;
  template <class IO>
  void io(IO& io) {
    io.f64(x);
    io.f64(y);
    io.f64(w);
    io.f64(h);
  }
};

// Opcodes 4 and 29: center and radius.
struct vc_CirclePayload {
  vcVector<2> center;
  double radius = 0;
  template <class IO>
  void io(IO& io) {
    io.vec(center);
    io.f64(radius);
  }
};

// Opcode 10: origin, x-axis end, y-axis end.
struct vc_ThreeVectorPayload {
  vcVector<2> a, b, c;
  template <class IO>
  void io(IO& io) {
    io.vec(a);
    io.vec(b);
    io.vec(c);
  }
};

// Opcode 26: tip, direction and arm length.
struct vc_ArrowPayload {
  vcVector<2> tip, direction;
  float length = 0;
  template <class IO>
  void io(IO& io) {
    io.vec(tip);
    io.vec(direction);
    io.f32(length);
  }
};

// A count, then that many items, each at least itemSize bytes: the count is
// written from the container and a read resizes the container to it.
template <class IO, class T, class Item>
void vfCounted(IO& io, std::vector<T>& items, std::uint64_t itemSize, Item&& item) {
  long n = static_cast<long>(items.size());
  io.count(n, itemSize);
  if constexpr (IO::isReading) items.assign(static_cast<std::size_t>(n), T());
  for (T& x : items) item(x);
}

// A count, then that many bytes.
template <class IO>
void vfCountedBytes(IO& io, std::vector<unsigned char>& bytes) {
  long n = static_cast<long>(bytes.size());
  io.count(n, 1);
  if constexpr (IO::isReading) {
    const unsigned char* from = io.take(static_cast<std::size_t>(n));
    bytes.assign(from, from + n);
  } else {
    io.bytes(bytes.data(), bytes.size());
  }
}

// A run of vectors preceded by its count. Read in one piece: the count is
// checked against the bytes left, and a reused vector keeps its storage and
// is written once, not cleared first.
template <class IO>
void vfVectorRun(IO& io, std::vector<vcVector<2>>& v) {
  if constexpr (IO::isReading) {
    long n = 0;
    io.count(n, 16);
    const unsigned char* at = io.take(16 * static_cast<std::size_t>(n));
    v.resize(static_cast<std::size_t>(n));
    for (vcVector<2>& p : v) {
      p = vcVector<2>(vc_bytes::getF64(at), vc_bytes::getF64(at + 8));
      at += 16;
    }
  } else {
    vfCounted(io, v, 16, [&io](vcVector<2>& p) { io.vec(p); });
  }
}

// Opcode 28: fill mode, vertex count, vertices.
struct vc_PolygonPayload {
  long mode = 0;
  std::vector<vcVector<2>> vertices;
  template <class IO>
  void io(IO& io) {
    io.i32(mode);
    vfVectorRun(io, vertices);
  }
};

// Opcode 44: vertex count, vertices, closed flag.
struct vc_PolylinePayload {
  std::vector<vcVector<2>> points;
  bool closed = false;
  template <class IO>
  void io(IO& io) {
    vfVectorRun(io, points);
    io.flag(closed);
  }
};

// A vcUIRect as four longs.
template <class IO>
void vfUIRect(IO& io, vcUIRect& r) {
  long l = r.left(), t = r.top(), w = r.width(), h = r.height();
  io.i32(l);
  io.i32(t);
  io.i32(w);
  io.i32(h);
  if constexpr (IO::isReading) r = vcUIRect(l, t, w, h);
}

// Either rectangle of the area records: kind 1 a vcUIRect (16 bytes), kind 0
// the 60-byte image of a vcRect.
struct vc_AreaRect {
  unsigned char kind = 1;
  vcUIRect ui;
  vcRect rect;
  template <class IO>
  void io(IO& io) {
    io.u8(kind);
    if (kind == 1) {
      vfUIRect(io, ui);
    } else if (kind == 0) {
      io.image(rect);
    } else {
      vc_PayloadReader::fail("bad rectangle kind");
    }
  }
};

// Opcode 17: no payload.
struct vc_EmptyPayload {
  template <class IO>
  void io(IO&) {}
};

// Opcodes 16 and 18.
using vc_SetPayload = vc_AreaRect;

// Opcode 19: the seed (kind 1 pixel pair, kind 0 client point), second color, fill type.
struct vc_FillPayload {
  unsigned char kind = 1;
  long sx = 0, sy = 0;
  vcVector<2> point;
  vcColor color2;
  long type = 0;
  template <class IO>
  void io(IO& io) {
    io.u8(kind);
    if (kind == 1) {
      io.i32(sx);
      io.i32(sy);
    } else if (kind == 0) {
      io.vec(point);
    } else {
      vc_PayloadReader::fail("bad fill kind");
    }
    io.color(color2);
    io.i32(type);
  }
};

// Opcode 25: the rectangle, both colors and the width.
struct vc_Outline3dPayload {
  vc_AreaRect area;
  vcColor c1, c2;
  long width = 0;
  template <class IO>
  void io(IO& io) {
    area.io(io);
    io.color(c1);
    io.color(c2);
    io.i32(width);
  }
};

// vcUIFormat: font id, then the alignment (0 to 8).
template <class IO>
void vfFormat(IO& io, vcUIFormat& f) {
  long font = f.fontId();
  long align = static_cast<long>(f.alignment());
  io.i32(font);
  io.i32(align);
  if constexpr (IO::isReading) {
    if (align < 0 || align > 8) vc_PayloadReader::fail("bad text alignment");
    f = vcUIFormat(font, static_cast<vcUIFormat::Alignment>(align));
  }
}

// Opcode 11: position, background, format, the text's bytes and a NUL.
struct vc_StringPayload {
  vcVector<2> position;
  vcColor background;
  vcUIFormat format;
  std::string text;
  template <class IO>
  void io(IO& io) {
    io.vec(position);
    io.color(background);
    vfFormat(io, format);
    if constexpr (IO::isReading) {
      const unsigned char* p = io.position();
      const void* nul = std::memchr(p, 0, io.remaining());
      if (!nul) vc_PayloadReader::fail("text without its terminating NUL");
      const std::size_t n = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - p);
      text.assign(reinterpret_cast<const char*>(io.take(n + 1)), n);
    } else {
      io.bytes(reinterpret_cast<const unsigned char*>(text.c_str()), text.size() + 1);
    }
  }
};

// Opcode 35: as a text record, the text as 16-bit code units ending with a 0 unit.
struct vc_UnicodeStringPayload {
  vcVector<2> position;
  vcColor background;
  vcUIFormat format;
  std::vector<std::uint16_t> text;  // without the terminating 0
  template <class IO>
  void io(IO& io) {
    io.vec(position);
    io.color(background);
    vfFormat(io, format);
    if constexpr (IO::isReading) {
      const unsigned char* p = io.position();
      const std::size_t units = io.remaining() / 2;
      std::size_t n = 0;
      while (n < units && (p[2 * n] | p[2 * n + 1]) != 0) ++n;
      if (n == units) vc_PayloadReader::fail("text without its terminating 0 unit");
      text.resize(n);
      for (std::size_t i = 0; i < n; ++i)
        text[i] = static_cast<std::uint16_t>(p[2 * i] | (static_cast<unsigned>(p[2 * i + 1]) << 8));
      io.take(2 * (n + 1));
    } else {
      for (const std::uint16_t u : text) {
        const unsigned char lo = static_cast<unsigned char>(u & 0xFF), hi = static_cast<unsigned char>(u >> 8);
        io.u8(lo);
        io.u8(hi);
      }
      const unsigned char end = 0;
      io.u8(end);
      io.u8(end);
    }
  }
};

// Opcode 15: where the nested sketch is drawn (client coordinates), then its
// byte count and bytes. The recorder writes straight from source; a read
// fills sketch, reusing its buffer.
struct vc_SketchPayload {
  vcVector<2> offset;
  const vcUISketch* source = nullptr;
  vcUISketch sketch;
  template <class IO>
  void io(IO& io) {
    io.vec(offset);
    if constexpr (IO::isReading) {
      long n = 0;
      io.count(n, 1);
      sketch.erase();
      if (n > 0) io.bytes(sketch.append(n), static_cast<std::size_t>(n));
    } else {
      const vcUISketch& s = source ? *source : sketch;
      long n = s.size();
      io.count(n, 1);
      io.bytes(s.data(), static_cast<std::size_t>(n));
    }
  }
};

// Opcodes with one fixed-size shape image (5, 6, 7, 8, 9, 27, 30, 31, 37).
template <class S>
struct vc_ImagePayload {
  S shape;
  template <class IO>
  void io(IO& io) {
    io.image(shape);
  }
};

// Opcode 39: a section image and the two arrow flags.
template <class S>
struct vc_SectionArrowPayload {
  S section;
  bool arrowHead = true, arrowHeadForward = true;
  template <class IO>
  void io(IO& io) {
    io.image(section);
    io.flag(arrowHead);
    io.flag(arrowHeadForward);
  }
};

// Opcode 42: four control points and four weights.
struct vc_BezierPayload {
  vcVector<2> points[4];
  double weights[4] = {1, 1, 1, 1};
  template <class IO>
  void io(IO& io) {
    for (auto& p : points) io.vec(p);
    for (auto& w : weights) io.f64(w);
  }
};

// Opcode 43: a count of Bézier segments, each as opcode 42.
struct vc_CubicSplinePayload {
  std::vector<vc_BezierPayload> segments;
  template <class IO>
  void io(IO& io) {
    vfCounted(io, segments, 96, [&io](vc_BezierPayload& s) { s.io(io); });
  }
};

// Opcode 45: radii, rotation, center.
struct vc_Ellipse2Payload {
  vcVector<2> radii;
  double rotation = 0;
  vcVector<2> center;
  template <class IO>
  void io(IO& io) {
    io.vec(radii);
    io.f64(rotation);
    io.vec(center);
  }
};

// Opcode 46: radii, rotation, center, handedness, phase, start, span (65 bytes).
struct vc_EllipseArc2Payload {
  vcVector<2> radii;
  double rotation = 0;
  vcVector<2> center;
  bool handedness = true;
  double phase = 0, start = 0, span = 0;
  template <class IO>
  void io(IO& io) {
    io.vec(radii);
    io.f64(rotation);
    io.vec(center);
    io.flag(handedness);
    io.f64(phase);
    io.f64(start);
    io.f64(span);
  }
};

// The 56-byte image of a vcXform<2>: the matrix elements a, b, c, d of
// [[a b] [c d]], the translation x and y, then the determinant (written;
// recomputed on reading). Non-finite values are malformed.
template <class IO>
void vfXformImage(IO& io, vcXform<2>& x) {
  if constexpr (IO::isReading) {
    // Taken whole: one check of the length for the seven values.
    const unsigned char* at = io.take(56);
    double v[6];
    for (int i = 0; i < 6; ++i) v[i] = vc_bytes::getF64(at + 8 * i);
    if (!(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]) && std::isfinite(v[3]) &&
          std::isfinite(v[4]) && std::isfinite(v[5])))
      vc_PayloadReader::fail("non-finite transform value");
    x = vcXform<2>(vcMatrix<2>(v[0], v[1], v[2], v[3]), vcVector<2>(v[4], v[5]));
  } else {
    const vcMatrix<2>& m = x.matrix();
    double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
    double tx = x.trans().x(), ty = x.trans().y(), det = x.determinant();
    for (double* v : {&a, &b, &c, &d, &tx, &ty, &det}) io.f64(*v);
  }
}

// Copies n bytes (sizeof(Word) <= n <= 2 sizeof(Word)) as two words that
// may overlap.
template <class Word>
inline void vfCopyOverlapping(unsigned char* to, const unsigned char* from, std::size_t n) {
  Word head = 0, tail = 0;
  std::memcpy(&head, from, sizeof(Word));
  std::memcpy(&tail, from + n - sizeof(Word), sizeof(Word));
  std::memcpy(to, &head, sizeof(Word));
  std::memcpy(to + n - sizeof(Word), &tail, sizeof(Word));
}

// Copies a row of n bytes; rows of image records are often only a few bytes
// long, too short to pay for a call.
inline void vfCopyRow(unsigned char* to, const unsigned char* from, std::size_t n) {
  if (n > 16) {
    std::memcpy(to, from, n);
  } else if (n >= 8) {
    vfCopyOverlapping<std::uint64_t>(to, from, n);
  } else if (n >= 4) {
    vfCopyOverlapping<std::uint32_t>(to, from, n);
  } else {
    for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
  }
}

// Opcode 12: position, passThrough, pass value, the image's transform image,
// window offset, width, height, the mapped flag, then the window's pixels row
// by row. A read image gets fresh storage covering exactly its window.
struct vc_PelBuf8Payload {
  vcVector<2> position;
  bool passThrough = false;
  unsigned char passValue = 0;
  bool mapped = false;
  vcPelBuffer_const<unsigned char> image;
  template <class IO>
  void io(IO& io) {
    // A read takes nothing from the image read before.
    vcXform<2> xform;
    long x = 0, y = 0, w = 0, h = 0;
    if constexpr (!IO::isReading) {
      xform = image.clientFromImageXform();
      x = image.offset().x();
      y = image.offset().y();
      w = image.width();
      h = image.height();
    }
    io.vec(position);
    io.flag(passThrough);
    io.u8(passValue);
    vfXformImage(io, xform);
    io.i32(x);
    io.i32(y);
    io.i32(w);
    io.i32(h);
    io.flag(mapped);
    if constexpr (IO::isReading) {
      if (w < 0 || h < 0) vc_PayloadReader::fail("negative image size");
      // Both below 2^31: their product cannot overflow.
      if (static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > io.remaining())
        vc_PayloadReader::fail("image larger than its record");
      // The pixels of the record read before are refilled when nothing else
      // holds them. The rows lie one after another: checked once, copied row
      // by row.
      const std::size_t row = static_cast<std::size_t>(w);
      const unsigned char* pels = io.take(row * static_cast<std::size_t>(h));
      unsigned char* to = vcPelBuffer<unsigned char>::refill(image, vcRectangle<long>(x, y, w, h));
      image.clientFromImageXform(xform);
      const std::size_t pitch = static_cast<std::size_t>(image.rowPitch());
      for (long r = 0; r < h && w > 0; ++r, to += pitch, pels += row) vfCopyRow(to, pels, row);
    } else {
      for (long r = 0; r < h && w > 0; ++r) io.bytes(image.pointToPel(x, y + r), static_cast<std::size_t>(w));
    }
  }
};

// Opcode 14: position, passThrough, pass value, the mapped flag, the color
// table, width, row count, then each row's runs with its terminator.
struct vc_RleBufPayload {
  vcVector<2> position;
  bool passThrough = false;
  unsigned char passValue = 0;
  bool mapped = false;
  std::vector<unsigned char> colorMap;
  vcRLEBuffer image;
  template <class IO>
  void io(IO& io) {
    io.vec(position);
    io.flag(passThrough);
    io.u8(passValue);
    io.flag(mapped);
    vfCountedBytes(io, colorMap);
    long w = image.width(), h = image.height();
    io.i32(w);
    io.i32(h);
    if constexpr (IO::isReading) {
      std::size_t used = 0;
      try {
        image.assignRows(w, h, io.position(), io.remaining(), &used);
      } catch (const vcException& e) {
        vc_PayloadReader::fail(std::string("bad run-length image: ") + e.what());
      }
      io.take(used);
    } else {
      for (long r = 0; r < h; ++r) io.bytes(image.pointToRow(r), static_cast<std::size_t>(image.rowBytes(r)));
    }
  }
};

// Opcode 33: a color, the shape kind's 16-byte identifier, the data bytes.
struct vc_GenShapePayload {
  vcColor color;
  vcGenShape::tagShapeID id{};
  std::vector<unsigned char> data;
  template <class IO>
  void io(IO& io) {
    io.color(color);
    io.bytes(id.bytes, sizeof id.bytes);
    vfCountedBytes(io, data);
  }
};

// One vertex of opcodes 34, 38 and 41 (64 bytes): point, rounding size,
// span of the segment ending here (degrees), then the length tolerance as
// nominal, minimum, maximum, its form as a long and 4 unused bytes.
struct vc_GenPolyVertexPayload {
  vcVector<2> point;
  double radius = 0, span = 0;
  double nom = -1, min = -1, max = -1;
  long type = 0;
  template <class IO>
  void io(IO& io) {
    io.vec(point);
    for (double* v : {&radius, &span, &nom, &min, &max}) io.f64(*v);
    io.i32(type);
    long unused = 0;
    io.i32(unused);
  }
};

// Opcodes 34, 38 and 41: the placement transform, the mutable flag (4
// bytes), the vertices, the derived rounding start points, end points and
// spans (one each per vertex), then the open flag (4 bytes).
struct vc_GenPolyPayload {
  vcXform<2> xform;
  bool isMutable = true;
  std::vector<vc_GenPolyVertexPayload> vertices;
  std::vector<vcVector<2>> roundStart, roundEnd;
  std::vector<double> roundSpan;
  bool open = true;
  template <class IO>
  void io(IO& io) {
    vfXformImage(io, xform);
    flag32(io, isMutable);
    // Per vertex: its 64-byte record and 40 bytes of rounding data.
    vfCounted(io, vertices, 104, [&io](vc_GenPolyVertexPayload& v) { v.io(io); });
    if constexpr (IO::isReading) {
      roundStart.assign(vertices.size(), vcVector<2>());
      roundEnd.assign(vertices.size(), vcVector<2>());
      roundSpan.assign(vertices.size(), 0.0);
    }
    for (vcVector<2>& p : roundStart) io.vec(p);
    for (vcVector<2>& p : roundEnd) io.vec(p);
    for (double& s : roundSpan) io.f64(s);
    flag32(io, open);
  }

private:
  template <class IO>
  static void flag32(IO& io, bool& b) {
    long v = b ? 1 : 0;
    io.i32(v);
    if constexpr (IO::isReading) {
      if (v != 0 && v != 1) vc_PayloadReader::fail("4-byte flag other than 0 or 1");
      b = v == 1;
    }
  }
};
