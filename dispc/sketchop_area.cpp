// The record classes of text, images, nested sketches, area operations, the
// pen and application shapes: opcodes 11, 12, 14 to 23, 25, 33 and 35.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <cstdint>
#include <string>
#include <vector>

#include <vc/core/genshape.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rect.h>
#include <vc/core/rle.h>
#include <vc/uirect.h>
#include <vc/uistring.h>

#include "sketchop_impl.h"
#include "tablet_record.h"

namespace {

// The text a record draws: its bytes as they stand, or its UTF-16 code units
// as UTF-8 (a lone surrogate becomes U+FFFD).
const std::string& textOf(const std::string& bytes) { return bytes; }
std::string textOf(const std::vector<std::uint16_t>& units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    std::uint32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    else if (c >= 0xD800 && c <= 0xDFFF)
      c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Text as an archive keeps it: a length counting the terminating NUL, then
// each character as a C. Loading keeps the text up to its first NUL.
template <class C, class Text>
void archiveText(vcArchive& ar, Text& text) {
  // The characters and a terminating NUL, counted as a signed 32-bit length.
  std::vector<C> chars;
  if (ar.isStoring()) {
    std::transform(text.begin(), text.end(), std::back_inserter(chars), [](auto ch) { return static_cast<C>(ch); });
    chars.push_back(0);
  }
  vcExchangeCounted(ar, chars, [&ar](C& c) { ar || c; }, sizeof(C), 0x7FFFFFFFu);
  if (ar.isStoring()) return;
  const auto end = std::find(chars.begin(), chars.end(), C(0));
  if (end == chars.end()) vcArchive::fail("text record without its terminating NUL");
  Text read;
  std::transform(chars.begin(), end, std::back_inserter(read),
                 [](C c) { return static_cast<typename Text::value_type>(c); });
  text.swap(read);
}

// A version-0 area rectangle: kind 1 as now, kind 0 two vectors (origin and
// size) instead of the rectangle's image.
void readAreaVersion0(vc_PayloadReader& r, vc_AreaRect& a) {
  r.u8(a.kind);
  if (a.kind == 1) {
    vfUIRect(r, a.ui);
  } else if (a.kind == 0) {
    vcVector<2> origin, size;
    r.vec(origin);
    r.vec(size);
    vfCheckFinite(origin, "rectangle origin");
    vfCheckFinite(size, "rectangle size");
    a.rect = vcRect(origin, size);
  } else {
    vc_PayloadReader::fail("bad rectangle kind");
  }
}

// The kind, then the vcUIRect (kind 1) or the vcRect as a persistent object.
void archiveArea(vcArchive& ar, vcPtrHandle<vcRect>& held, vc_AreaRect& a) {
  signed char kind = static_cast<signed char>(a.kind);
  ar || kind;
  if (kind == 1)
    ar || a.ui;
  else if (kind == 0)
    vfExchangeShape(ar, held, a.rect);
  else
    vcArchive::fail("area record with rectangle kind " + std::to_string(kind));
  a.kind = static_cast<unsigned char>(kind);
}

// Nested sketches replay only this deep. Each level is a native call and a
// push of the tablet's recording switch, whose stack holds 32 entries; a
// crafted stream that nests deeper is reported as malformed before either
// runs out.
constexpr int kMaxSketchNesting = 16;
thread_local int tSketchNesting = 0;

}  // namespace

// ---- text ----------------------------------------------------------------------------------------

// Text records (11 and 13): the same fields, the text in bytes or in UTF-16
// code units (archived as C each, drawn as UTF-8).
template <class P, class C>
class vc_TextRecord : public vc_UISketchOpPayload<P> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    const P& p = this->payload_;
    tablet.draw(textOf(p.text), vcPoint(p.position), header.color(), p.background, p.format, header.layer());
  }

private:
  void check_() override { vfCheckFinite(this->payload_.position, "text position"); }
  void archive_(vcArchive& ar) override {
    P& p = this->payload_;
    vcPoint at(p.position);
    ar || at || p.background || p.format;
    archiveText<C>(ar, p.text);
    p.position = vcVector<2>(at);
  }
};

class vc_UISketchOpString final : public vc_TextRecord<vc_StringPayload, signed char> {
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpString);

class vc_UISketchOpUnicodeString final : public vc_TextRecord<vc_UnicodeStringPayload, unsigned short> {
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpUnicodeString);

// ---- images --------------------------------------------------------------------------------------

class vc_UISketchOpPelBuf8 final : public vc_UISketchOpPayload<vc_PelBuf8Payload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.draw(payload_.image, vcPoint(payload_.position), payload_.passThrough, payload_.passValue, payload_.mapped,
                header.layer());
  }

private:
  void check_() override { vfCheckFinite(payload_.position, "image position"); }
  // The transform and window offset come before the image, which carries
  // them too; a load whose copies disagree is corrupt.
  void archive_(vcArchive& ar) override {
    vcPoint at(payload_.position);
    vcXform<2> xform = payload_.image.clientFromImageXform();
    long x = payload_.image.offset().x(), y = payload_.image.offset().y();
    ar || at || payload_.passThrough || payload_.passValue || xform || x || y || payload_.mapped || payload_.image;
    if (ar.isStoring()) return;
    if (!(payload_.image.clientFromImageXform() == xform) || payload_.image.offset() != vcPair<long>(x, y))
      vcArchive::fail("image record: transform or window offset disagrees with its image");
    payload_.position = vcVector<2>(at);
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpPelBuf8);

class vc_UISketchOpRleBuf final : public vc_UISketchOpPayload<vc_RleBufPayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.draw(payload_.image, vcPoint(payload_.position), payload_.colorMap, payload_.passThrough, payload_.passValue,
                payload_.mapped, header.layer());
  }

private:
  void check_() override { vfCheckFinite(payload_.position, "image position"); }
  void archive_(vcArchive& ar) override {
    vcPoint at(payload_.position);
    ar || at || payload_.passThrough || payload_.passValue || payload_.mapped;
    vcExchangeCountedBytes(ar, payload_.colorMap, 0x7FFFFFFFu);
    ar || payload_.image;
    payload_.position = vcVector<2>(at);
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpRleBuf);

// ---- nested sketches -------------------------------------------------------------------------------

class vc_UISketchOpSketch final : public vc_UISketchOpPayload<vc_SketchPayload> {
public:
  // A nested sketch is checked as it is replayed, record by record.
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    if (tSketchNesting >= kMaxSketchNesting) throw vcUIError::InvalidUISketch();
    struct Level {
      Level() { ++tSketchNesting; }
      ~Level() { --tSketchNesting; }
    } level;
    tablet.draw(payload_.sketch, vcPoint(payload_.offset), header.layer());
  }

private:
  void check_() override { vfCheckFinite(payload_.offset, "nested sketch offset"); }
  // Archives hold records field by field; a nested sketch has no such form.
  void serialize_(vcArchive&, unsigned char) override { throw vcUIError::NotImplemented(); }
  void archive_(vcArchive&) override { throw vcUIError::NotImplemented(); }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpSketch);

// ---- area operations ---------------------------------------------------------------------------

// Set (16) and setComplement (18): a vcUIRect or a vcRect, in the head's color.
class vc_AreaRecord : public vc_UISketchOpPayload<vc_AreaRect> {
public:
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return read_(p, n, [this](vc_PayloadReader& r) { readAreaVersion0(r, payload_); });
  }

private:
  void archive_(vcArchive& ar) override { archiveArea(ar, held_, payload_); }
  vcPtrHandle<vcRect> held_;
};

class vc_UISketchOpSet final : public vc_AreaRecord {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    if (payload_.kind == 1)
      tablet.set(payload_.ui, header.color(), header.layer());
    else
      tablet.set(payload_.rect, header.color(), header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpSet);

class vc_UISketchOpSetComp final : public vc_AreaRecord {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    if (payload_.kind == 1)
      tablet.setComplement(payload_.ui, header.color(), header.layer());
    else
      tablet.setComplement(payload_.rect, header.color(), header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpSetComp);

class vc_UISketchOpSetAll final : public vc_UISketchOpPayload<vc_EmptyPayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.set(header.color(), header.layer());
  }

private:
  void archive_(vcArchive&) override {}
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpSetAll);

class vc_UISketchOpFill final : public vc_UISketchOpPayload<vc_FillPayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    const auto type = static_cast<vcUITablet::FillType>(payload_.type);
    if (payload_.kind == 1)
      tablet.fill(vcPair<long>(payload_.sx, payload_.sy), header.color(), payload_.color2, type, header.layer());
    else
      tablet.fill(vcPoint(payload_.point), header.color(), payload_.color2, type, header.layer());
  }

private:
  void check_() override {
    if (payload_.kind == 0) vfCheckFinite(payload_.point, "fill seed");
    if (payload_.type != vcUITablet::eFillToBorder && payload_.type != vcUITablet::eFillSurface)
      throw vcShapesError::BadGeom("sketch record: fill type " + std::to_string(payload_.type));
  }
  void archive_(vcArchive& ar) override {
    signed char kind = static_cast<signed char>(payload_.kind);
    ar || kind;
    if (kind == 1) {
      ar || payload_.sx || payload_.sy;
    } else if (kind == 0) {
      vcPoint seed(payload_.point);
      ar || seed;
      payload_.point = vcVector<2>(seed);
    } else {
      vcArchive::fail("fill record with seed kind " + std::to_string(kind));
    }
    ar || payload_.color2 || payload_.type;
    payload_.kind = static_cast<unsigned char>(kind);
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpFill);

// The first color is the head's; version 0 carried only the second.
class vc_UISketchOpOutline3d final : public vc_UISketchOpPayload<vc_Outline3dPayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    if (payload_.area.kind == 1)
      tablet.outline3D(payload_.area.ui, header.color(), payload_.c2, payload_.width, header.layer());
    else
      tablet.outline3D(payload_.area.rect, header.color(), payload_.c2, payload_.width, header.layer());
  }
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return read_(p, n, [this](vc_PayloadReader& r) {
      readAreaVersion0(r, payload_.area);
      payload_.c1 = vcColor();
      r.color(payload_.c2);
      r.i32(payload_.width);
    });
  }

private:
  void archive_(vcArchive& ar) override {
    archiveArea(ar, held_, payload_.area);
    ar || payload_.c1 || payload_.c2 || payload_.width;
  }
  vcPtrHandle<vcRect> held_;
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpOutline3d);

// ---- the pen ---------------------------------------------------------------------------------------

class vc_UISketchOpDrawStart final : public vc_UISketchOpPointBase {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.drawStart(point(), header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpDrawStart);

class vc_UISketchOpDrawTo final : public vc_UISketchOpPointBase {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.drawTo(point(), header.props(), header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpDrawTo);

// Pixel offsets of the pen (22 and 23).
class vc_PelOffsetRecord : public vc_UISketchOpPayload<vc_PelOffsetPayload> {
private:
  void archive_(vcArchive& ar) override { ar || payload_.dx || payload_.dy; }
};

class vc_UISketchOpDrawToRelPels final : public vc_PelOffsetRecord {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.drawToRelPels(payload_.dx, payload_.dy, header.props(), header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpDrawToRelPels);

class vc_UISketchOpMoveToRelPels final : public vc_PelOffsetRecord {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.moveToRelPels(payload_.dx, payload_.dy, header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpMoveToRelPels);

// ---- application shapes ------------------------------------------------------------------------

// The shape is rebuilt by the factory registered for its identifier, drawn in
// the head's color and released. A kind this process does not know, or data
// its class rejects, makes the record unusable here.
class vc_UISketchOpGenShape final : public vc_UISketchOpPayload<vc_GenShapePayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    const vcPtrHandle<vcGenShape> shape(vcGenShape::newGenShape(payload_.id));
    if (!shape) throw vcUIError::InvalidUISketch();
    try {
      shape->load(payload_.data.data(), static_cast<long>(payload_.data.size()));
    } catch (const vcShapesError::BadGeom&) {
      throw vcUIError::InvalidUISketch();
    }
    tablet.draw(*shape, header.color(), header.layer());
  }
  // No color: the identifier, the data length and the data.
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return read_(p, n, [this](vc_PayloadReader& r) {
      r.bytes(payload_.id.bytes, sizeof payload_.id.bytes);
      vfCountedBytes(r, payload_.data);
      payload_.color = vcColor();
    });
  }

private:
  void archive_(vcArchive& ar) override {
    ar || payload_.color;
    ar.raw(payload_.id.bytes, sizeof payload_.id.bytes);
    vcExchangeCountedBytes(ar, payload_.data, 0x7FFFFFFFu);
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpGenShape);
