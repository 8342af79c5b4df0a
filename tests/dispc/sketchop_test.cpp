// Sketch record objects: byte-exact parse and write-back of every record the
// tablet records, replay through the recording operation, archive forms,
// version-0 layouts and rejection of malformed payloads.
#include <vc/sketchop.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include <vc/core/affinerect.h>
#include <vc/core/archive.h>
#include <vc/core/bezier.h>
#include <vc/core/circle.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/points.h>
#include <vc/core/poly.h>
#include <vc/core/rle.h>
#include <vc/core/spline.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>
#include <vc/uistring.h>
#include <vc/uitablet.h>

#include "support/recording_scope.h"

namespace {

using Bytes = std::vector<unsigned char>;
using V = vcVector<2>;
using T = vcUITablet;
using OpPtr = std::unique_ptr<vc_UISketchOpData>;

// Little-endian field writer for hand-made payloads.
struct Out {
  Bytes b;
  Out& u8(unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    return *this;
  }
  Out& i32(long v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<unsigned>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
    return *this;
  }
  Out& f64(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, 8);
    for (int i = 0; i < 8; ++i) u8(static_cast<unsigned>((u >> (8 * i)) & 0xFF));
    return *this;
  }
  Out& vec(double x, double y) { return f64(x).f64(y); }
  Out& color(const vcColor& c) {
    unsigned char p[6];
    c.toBytes(p);
    b.insert(b.end(), p, p + 6);
    return *this;
  }
  Out& raw(const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
  template <class S>
  Out& image(const S& s, std::size_t keep = S::kImageSize) {
    Bytes p(S::kImageSize);
    s.writeImage(p.data());
    p.resize(keep);
    return raw(p);
  }
};

class AppShape : public vcGenShape {
public:
  static constexpr tagShapeID kID{{0x53, 0x6b, 0x4f, 0x70, 1, 2, 3}};
  tagShapeID shapeID() const override { return kID; }
  std::vector<unsigned char> data() const override { return {4, 5, 6}; }
  void load(const unsigned char*, long n) override {
    if (n != 3) throw vcShapesError::BadGeom("AppShape: three bytes expected");
  }
  vcShapeHandle mapShape(const vcXform<2>&) const override { return vfShapeHandle(*this); }
  vcRect boundingBox() const override { return vcRect(0, 0, 0, 0); }
  double distanceToPoint(const V&) const override { return 0; }
};
const bool kAppShapeRegistered =
    (vcGenShape::registerGenShape(AppShape::kID, [] { return static_cast<vcGenShape*>(new AppShape); }), true);

vcPelBuffer<unsigned char> image3x2() {
  vcPelBuffer<unsigned char> img(vcRectangle<long>(1, 2, 3, 2));
  for (long y = 2; y < 4; ++y)
    for (long x = 1; x < 4; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(10 * x + y);
  img.clientFromImageXform(vcXform<2>(vcMatrix<2>(2, 0, 0, 2), V(5, 6)));
  return img;
}

vcEllipseAnnulusSection section() {
  return vcEllipseAnnulusSection(vcEllipse(V(1, 2), V(2, 1), vcRadian(0.1)), vcEllipse(V(1, 2), V(6, 4), vcRadian(0.1)),
                                 vcRadian(0.5), vcRadian(2), true);
}
const vcGenRect kGenRect(V(3, 4), vcMatrix<2>(2, 0.5, -1, 3), V(0.25, 0.5));
const vcAffineRectangle kAffine(V(1, 1), V(5, 2), V(0, 4));
const vcCross kCross(V(7, 8), vcRadian(0.3), 9);
const vcEllipse kEllipse(V(4, 5), V(3, 2), vcRadian(0.7), true);

vcUISketch innerSketch() {
  vcUITablet t;
  t.draw(vcPoint(1, 2), vcColor(3), T::eImage);
  return t.sketch();
}

// The unicode text record: "hé" and U+1F600 as a surrogate pair.
Bytes unicodeRecord() {
  Out o;
  o.u8(35).u8(T::eOverlay).color(vcColor(4)).vec(3, 4).color(vcColor(5)).i32(6).i32(4);
  for (unsigned u : {0x68u, 0xE9u, 0xD83Du, 0xDE00u, 0u}) o.u8(u & 0xFF).u8(u >> 8);
  return o.b;
}

// One record of every kind the record classes read: made by the tablet that
// records it, or by hand for the record no tablet operation writes.
struct Sample {
  const char* name;
  std::function<void(vcUITablet&)> record;
  Bytes bytes = {};  // a hand-made record instead
};

const std::vector<Sample>& samples() {
  const vcGraphicProps props(vcColor(1, 2, 3), 3, vcGraphicProps::ePenDash);
  vcGraphicProps filled = props, noArrow = props;
  filled.fill(true);
  noArrow.arrowHead(false);
  const T::Layers I = T::eImage, O = T::eOverlay;
  static const std::vector<Sample> all = {
      {"point", [=](T& t) { t.draw(vcPoint(1.5, -2), props, I); }},
      {"point icon", [=](T& t) { t.drawPointIcon(vcPoint(3, 4), props, O); }},
      {"segment", [=](T& t) { t.draw(vcLineSeg(V(1, 2), V(3, 4)), props, I); }},
      {"line", [=](T& t) { t.draw(vcLine(vcRadian(0.25), V(1, 2)), props, I); }},
      {"circle", [=](T& t) { t.draw(vcCircle(V(1, 2), 3), props, I); }},
      {"filled circle", [=](T& t) { t.draw(vcCircle(V(1, 2), 3), filled, I); }},
      {"ellipse", [=](T& t) { t.draw(kEllipse, props, I); }},
      {"filled ellipse", [=](T& t) { t.draw(kEllipse, filled, O); }},
      {"ellipse arc", [=](T& t) { t.draw(vcEllipseArc(kEllipse, vcRadian(1), vcRadian(-2)), props, I); }},
      {"section", [=](T& t) { t.draw(section(), props, I); }},
      {"section without arrow", [=](T& t) { t.draw(section(), noArrow, I); }},
      {"generalised rectangle", [=](T& t) { t.draw(kGenRect, props, I); }},
      {"filled generalised rectangle", [=](T& t) { t.draw(kGenRect, filled, I); }},
      {"generalised annulus",
       [=](T& t) { t.draw(vcGenAnnulus(vcGenRect(V(3, 4), vcMatrix<2>(1, 0, 0, 1), V(0, 0)), kGenRect), props, I); }},
      {"axes", [=](T& t) { t.draw(vcCoordAxes(V(0, 0), V(5, 0), V(1, 4)), props, I); }},
      {"text",
       [](T& t) { t.draw("abc", vcPoint(3, 4), vcColor(1, 2, 3), vcColor(4), vcUIFormat(5, vcUIFormat::eCenter), O); }},
      {"8-bit image", [](T& t) { t.draw(image3x2(), vcPoint(3, 4), true, 7, true, I); }},
      {"RLE image",
       [](T& t) {
         t.draw(vcRLEBuffer::encode(image3x2()), vcPoint(3, 4), {5, 6}, false, 9, true, O);
       }},
      {"nested sketch", [](T& t) { t.draw(innerSketch(), vcPoint(10, 5), O); }},
      {"set pixels", [](T& t) { t.set(vcUIRect(1, 2, 3, 4), vcColor(7), I); }},
      {"set client rectangle", [](T& t) { t.set(vcRect(1, 2, 3, 4), vcColor(7), I); }},
      {"set all", [](T& t) { t.set(vcColor(8), O); }},
      {"set complement", [](T& t) { t.setComplement(vcUIRect(1, 2, 3, 4), vcColor(7), I); }},
      {"set client complement", [](T& t) { t.setComplement(vcRect(1, 2, 3, 4), vcColor(7), O); }},
      {"fill from pixel", [](T& t) { t.fill(vcPair<long>(3, 4), vcColor(1), vcColor(2), T::eFillSurface, I); }},
      {"fill from point", [](T& t) { t.fill(vcPoint(3.5, 4), vcColor(1), vcColor(2), T::eFillToBorder, I); }},
      {"draw start", [](T& t) { t.drawStart(vcPoint(3, 4), I); }},
      {"draw to", [=](T& t) { t.drawTo(vcPoint(3, 4), props, I); }},
      {"draw to pixels", [=](T& t) { t.drawToRelPels(-3, 4, props, I); }},
      {"move by pixels", [](T& t) { t.moveToRelPels(5, -6, O); }},
      {"bevel", [](T& t) { t.outline3D(vcUIRect(1, 2, 30, 40), vcColor(1), vcColor(2), 3, I); }},
      {"client bevel", [](T& t) { t.outline3D(vcRect(1, 2, 30, 40), vcColor(1), vcColor(2), 3, I); }},
      {"arrow head", [=](T& t) { t.arrowHead(vcPoint(1, 2), V(3, 4), 5.5f, props, I); }},
      {"affine rectangle", [=](T& t) { t.draw(kAffine, props, I); }},
      {"polygon",
       [=](T& t) {
         t.draw(vcPolygon({V(0, 0), V(4, 0), V(2, 3)}, vcPolygon::eWinding), props, I);
       }},
      {"rectangle", [=](T& t) { t.draw(vcRect(1, 2, 3, 4), props, I); }},
      {"application shape", [](T& t) { t.draw(AppShape(), vcColor(9), I); }},
      {"unicode text", nullptr, unicodeRecord()},
      {"cross", [=](T& t) { t.draw(kCross, props, I); }},
      {"bezier", [=](T& t) { t.draw(vcBezierCurve(V(0, 0), V(1, 2), V(3, 2), V(4, 0), 1, 2, 2, 1), props, I); }},
      {"cubic spline",
       [=](T& t) {
         t.draw(vcDeBoorSpline({V(0, 0), V(1, 1), V(2, 1), V(3, 0), V(4, 2)}), props, I);
       }},
      {"polyline",
       [=](T& t) {
         t.draw(vcPolyline({V(0, 0), V(4, 0), V(2, 3)}, true), props, I);
       }},
      {"ellipse2", [=](T& t) { t.draw(vcEllipse2(V(3, 2), vcRadian(0.5), V(1, 1)), props, I); }},
      {"ellipse arc2",
       [=](T& t) {
         t.draw(vcEllipseArc2(V(3, 2), vcRadian(0.5), V(1, 1), false, vcRadian(0.1), vcRadian(1), vcRadian(2)), props,
                I);
       }},
      {"clip rectangle", [](T& t) { t.drawClipRect(vcRect(1, 2, 30, 40), T::eOverlay); }},
  };
  return all;
}

// A sample's record: its bytes, where its head starts and its payload.
struct Record {
  Bytes bytes;
  std::size_t head = 0;
  int op() const { return bytes[head]; }
  Bytes payload() const { return Bytes(bytes.begin() + static_cast<long>(head) + 8, bytes.end()); }
};

Record recordOf(const Sample& s) {
  Record r;
  if (s.record) {
    vcUITablet t;
    s.record(t);
    r.bytes.assign(t.sketch().data(), t.sketch().data() + t.sketch().size());
  } else {
    r.bytes = s.bytes;
  }
  r.head = r.bytes[0] == 40 ? 22 : 0;
  return r;
}

Bytes bytesOf(const vcUISketch& s) { return Bytes(s.data(), s.data() + s.size()); }

// Parses a payload held in memory of exactly its size, so that a read past
// the end is caught.
OpPtr parsed(int op, const Bytes& payload, bool version0 = false) {
  OpPtr r(vfCreateUISketchOpData(op));
  const Bytes copy(payload);
  const long n = static_cast<long>(copy.size());
  const long used = version0 ? r->parseVersion0ByteStream(copy.data(), n) : r->parseByteStream(copy.data(), n);
  EXPECT_EQ(used, n) << "op " << op;
  return r;
}

Bytes populated(const vc_UISketchOpData& r) {
  vcUISketch s;
  r.populateSketch(s);
  return bytesOf(s);
}

TEST(SketchOpTest, EveryRecordReadsWhollyAndWritesBackTheSameBytes) {
  for (const Sample& s : samples()) {
    const Record r = recordOf(s);
    EXPECT_EQ(populated(*parsed(r.op(), r.payload())), r.payload()) << s.name;
  }
}

TEST(SketchOpTest, DrawRepeatsTheOperationThatRecordedIt) {
  for (const Sample& s : samples()) {
    if (!s.record) continue;
    const Record r = recordOf(s);
    if (r.op() == 43) continue;  // redrawn as its Bézier segments, below
    vc_UISketchOpHeader header;
    const long used = header.parseByteStream(r.bytes.data(), static_cast<long>(r.bytes.size()));
    ASSERT_EQ(used, static_cast<long>(r.head) + 8) << s.name;
    vcUITablet again;
    parsed(r.op(), r.payload())->draw(again, header);
    EXPECT_EQ(bytesOf(again.sketch()), r.bytes) << s.name;
  }
}

TEST(SketchOpTest, SplineIsRedrawnSegmentBySegment) {
  const Record r = recordOf(*std::find_if(samples().begin(), samples().end(),
                                          [](const Sample& s) { return std::string(s.name) == "cubic spline"; }));
  vc_UISketchOpHeader header;
  header.parseByteStream(r.bytes.data(), static_cast<long>(r.bytes.size()));
  vcUITablet again;
  const OpPtr spline = parsed(r.op(), r.payload());
  spline->draw(again, header);
  const Bytes got = bytesOf(again.sketch());
  ASSERT_EQ(got.size(), 22u + 2 * (8 + 96));
  EXPECT_EQ(got[22], 42);
  EXPECT_EQ(got[22 + 8 + 96], 42);
  EXPECT_TRUE(std::equal(got.begin() + 30, got.begin() + 126, r.bytes.begin() + 34));
}

TEST(SketchOpTest, UnicodeTextIsDrawnAsUtf8) {
  const Bytes rec = unicodeRecord();
  vc_UISketchOpHeader header;
  header.parseByteStream(rec.data(), 8);
  vcUITablet t;
  parsed(35, Bytes(rec.begin() + 8, rec.end()))->draw(t, header);
  Out want;
  want.u8(11).u8(T::eOverlay).color(vcColor(4)).vec(3, 4).color(vcColor(5)).i32(6).i32(4);
  for (unsigned c : {0x68u, 0xC3u, 0xA9u, 0xF0u, 0x9Fu, 0x98u, 0x80u, 0u}) want.u8(c);
  EXPECT_EQ(bytesOf(t.sketch()), want.b);
}

TEST(SketchOpTest, SectionRecordOverridesTheHeadersArrowProps) {
  Out o;
  o.image(section()).u8(0).u8(1);
  vc_UISketchOpHeader header;
  header.layer(T::eImage);
  vcUITablet t;
  parsed(39, o.b)->draw(t, header);
  EXPECT_FALSE(header.props().arrowHead());
  EXPECT_TRUE(header.props().arrowHeadForward());
}

// Archives a record object as a persistent pointer and reads it back.
vcPtrHandle<vc_UISketchOpData> archived(vc_UISketchOpData& r) {
  vcBufferArchive out(vcArchive::eStore);
  vcPersistent* p = &r;
  out.serializePointer(p);
  vcBufferArchive in(out.bytes());
  vcPersistent* q = nullptr;
  in.serializePointer(q);
  return vcPtrHandle<vc_UISketchOpData>(dynamic_cast<vc_UISketchOpData*>(q));
}

TEST(SketchOpTest, ArchivedRecordsLoadBackToTheSameBytes) {
  for (const Sample& s : samples()) {
    const Record r = recordOf(s);
    const OpPtr op = parsed(r.op(), r.payload());
    if (r.op() == 15) {
      vcBufferArchive out(vcArchive::eStore);
      vcPersistent* p = op.get();
      EXPECT_THROW(out.serializePointer(p), vcUIError::NotImplemented);
      continue;
    }
    const vcPtrHandle<vc_UISketchOpData> back = archived(*op);
    ASSERT_TRUE(back) << s.name;
    const vc_UISketchOpData &loaded = *back, &stored = *op;
    EXPECT_EQ(typeid(loaded), typeid(stored)) << s.name;
    EXPECT_EQ(populated(*back), r.payload()) << s.name;
  }
}

TEST(SketchOpTest, EveryTruncatedArchiveOfARecordThrows) {
  for (const Sample& s : samples()) {
    const Record r = recordOf(s);
    if (r.op() == 15) continue;
    const OpPtr op = parsed(r.op(), r.payload());
    vcBufferArchive out(vcArchive::eStore);
    vcPersistent* p = op.get();
    out.serializePointer(p);
    for (std::size_t n = 0; n < out.bytes().size(); ++n) {
      vcBufferArchive in(Bytes(out.bytes().begin(), out.bytes().begin() + static_cast<long>(n)));
      vcPersistent* q = nullptr;
      EXPECT_THROW(in.serializePointer(q), vcArchive::Errors) << s.name << " cut at " << n;
    }
  }
}

TEST(SketchOpTest, RecordVersionOtherThanZeroIsRejected) {
  const OpPtr op(vfCreateUISketchOpData(0));
  vcBufferArchive out(vcArchive::eStore);
  vcPersistent* p = op.get();
  out.serializePointer(p);
  Bytes b = out.bytes();
  b[1 + 4 + std::strlen("vc_UISketchOpPoint")] = 1;  // tag, name length, name, then the version
  vcBufferArchive in(b);
  vcPersistent* q = nullptr;
  try {
    in.serializePointer(q);
    FAIL() << "loaded";
  } catch (const vcArchive::UnknownVersion& e) {
    EXPECT_EQ(e.source(), "dispc/sketchop");
  }
}

TEST(SketchOpTest, FactoryKnowsExactlyTheRecordClasses) {
  for (long op : {-1L, 13L, 24L, 34L, 36L, 38L, 40L, 41L, 48L, 255L})
    EXPECT_THROW(OpPtr(vfCreateUISketchOpData(op)), vcUIError::InvalidUISketch) << op;
  EXPECT_EQ(OpPtr(vfCreateUISketchOpData(47))->className(), "vc_UISketchOpClipRect");
  for (const auto& [a, b] : std::vector<std::pair<long, long>>{{4, 29}, {5, 30}, {8, 31}}) {
    const OpPtr x(vfCreateUISketchOpData(a)), y(vfCreateUISketchOpData(b));
    const vc_UISketchOpData &first = *x, &second = *y;
    EXPECT_EQ(typeid(first), typeid(second)) << a;
  }
  EXPECT_EQ(OpPtr(vfCreateUISketchOpData(17))->parseByteStream(nullptr, 0), 0);
}

TEST(SketchOpTest, EveryTruncationOfEveryRecordThrows) {
  for (const Sample& s : samples()) {
    const Record r = recordOf(s);
    const Bytes payload = r.payload();
    for (std::size_t n = 0; n < payload.size(); ++n) {
      const OpPtr op(vfCreateUISketchOpData(r.op()));
      const Bytes cut(payload.begin(), payload.begin() + static_cast<long>(n));
      EXPECT_THROW(op->parseByteStream(cut.data(), static_cast<long>(n)), vcUIError::InvalidUISketch)
          << s.name << " cut at " << n;
    }
  }
}

TEST(SketchOpTest, ImpossibleValuesAreRejected) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    int op;
    Bytes payload;
  } bad[] = {
      {"NaN point", 0, Out().vec(nan, 0).b},
      {"infinite segment end", 2, Out().vec(0, 0).vec(INFINITY, 1).b},
      {"line without direction", 3, Out().vec(0, 0).vec(1, 1).b},
      {"negative radius", 4, Out().vec(0, 0).f64(-1).b},
      {"polygon fill mode", 28, Out().i32(7).i32(1).vec(0, 0).b},
      {"polygon count beyond the record", 28, Out().i32(0).i32(1000).vec(0, 0).b},
      {"negative polyline count", 44, Out().i32(-1).u8(0).b},
      {"polyline closed flag", 44, Out().i32(0).u8(2).b},
      {"bezier weight 0", 42, Out().vec(0, 0).vec(1, 1).vec(2, 1).vec(3, 0).f64(1).f64(0).f64(1).f64(1).b},
      {"negative image size", 12,
       Out()
           .vec(0, 0)
           .u8(0)
           .u8(0)
           .f64(1)
           .f64(0)
           .f64(0)
           .f64(1)
           .f64(0)
           .f64(0)
           .f64(1)
           .i32(0)
           .i32(0)
           .i32(-2)
           .i32(1)
           .u8(0)
           .b},
      {"image larger than the record", 12,
       Out()
           .vec(0, 0)
           .u8(0)
           .u8(0)
           .f64(1)
           .f64(0)
           .f64(0)
           .f64(1)
           .f64(0)
           .f64(0)
           .f64(1)
           .i32(0)
           .i32(0)
           .i32(1 << 30)
           .i32(1 << 30)
           .u8(0)
           .u8(1)
           .b},
      {"RLE row of the wrong width", 14,
       Out().vec(0, 0).u8(0).u8(0).u8(0).i32(0).i32(3).i32(1).u8(1).u8(2).u8(0).u8(0).b},
      {"rectangle kind", 16, Out().u8(3).i32(0).i32(0).i32(1).i32(1).b},
      {"fill type", 19, Out().u8(1).i32(0).i32(0).color(vcColor(1)).i32(5).b},
      {"negative shape data length", 33, Out().color(vcColor(1)).raw(Bytes(16)).i32(-4).b},
      {"NaN nested sketch offset", 15, Out().vec(nan, 0).i32(0).b},
      {"NaN text position", 11, Out().vec(0, nan).color(vcColor(1)).i32(0).i32(0).u8(0).b},
      {"text alignment", 11, Out().vec(0, 0).color(vcColor(1)).i32(0).i32(9).u8(0).b},
  };
  for (const auto& b : bad) {
    const OpPtr op(vfCreateUISketchOpData(b.op));
    EXPECT_THROW(op->parseByteStream(b.payload.data(), static_cast<long>(b.payload.size())), vcUIError::InvalidUISketch)
        << b.name;
  }
}

TEST(SketchOpTest, Version0LayoutsReadIntoCurrentRecords) {
  const vcEllipseArc arc(kEllipse, vcRadian(1), vcRadian(-2));
  const vcGenRect inner(V(3, 4), vcMatrix<2>(1, 0, 0, 1), V(0, 0));
  Bytes wrongDegenerate = Out().image(kEllipse).b;
  wrongDegenerate[41] = 1;
  Bytes crossTail = Out().image(kCross).b;
  crossTail[30] = 0xEE;
  const struct {
    const char* name;
    int op;
    Bytes version0, current;
  } cases[] = {
      {"ellipse", 5, wrongDegenerate, Out().image(kEllipse).b},
      {"ellipse arc", 6, Out().image(arc).b, Out().image(arc).b},
      {"section", 7, Out().image(section(), 440).b, Out().image(section()).b},
      {"generalised rectangle", 31, Out().image(kGenRect, 96).b, Out().image(kGenRect).b},
      {"generalised annulus", 9, Out().image(inner, 96).image(kGenRect, 96).b,
       Out().image(vcGenAnnulus(inner, kGenRect)).b},
      {"affine rectangle", 27, Out().image(kAffine, 176).b, Out().image(kAffine).b},
      {"axes", 10, Out().vec(0, 0).vec(5, 0).vec(1, 4).b, Out().vec(0, 0).vec(5, 0).vec(1, 4).b},
      {"cross", 37, crossTail, Out().image(kCross).b},
      {"rectangle", 32, Out().u8(0xAB).vec(1, 2).vec(3, 4).b, Out().vec(1, 2).vec(3, 4).b},
      {"clip rectangle", 47, Out().u8(0).vec(1, 2).vec(3, 4).b, Out().vec(1, 2).vec(3, 4).b},
      {"set client rectangle", 16, Out().u8(0).vec(1, 2).vec(3, 4).b, Out().u8(0).image(vcRect(1, 2, 3, 4)).b},
      {"set complement pixels", 18, Out().u8(1).i32(1).i32(2).i32(3).i32(4).b,
       Out().u8(1).i32(1).i32(2).i32(3).i32(4).b},
      {"bevel", 25, Out().u8(1).i32(1).i32(2).i32(3).i32(4).color(vcColor(9)).i32(2).b,
       Out().u8(1).i32(1).i32(2).i32(3).i32(4).color(vcColor()).color(vcColor(9)).i32(2).b},
      {"client bevel", 25, Out().u8(0).vec(1, 2).vec(3, 4).color(vcColor(9)).i32(2).b,
       Out().u8(0).image(vcRect(1, 2, 3, 4)).color(vcColor()).color(vcColor(9)).i32(2).b},
      {"application shape", 33, Out().raw(Bytes(16, 7)).i32(2).u8(1).u8(2).b,
       Out().color(vcColor()).raw(Bytes(16, 7)).i32(2).u8(1).u8(2).b},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(populated(*parsed(c.op, c.version0, true)), c.current) << c.name;
    for (std::size_t n = 0; n < c.version0.size(); ++n) {
      const OpPtr op(vfCreateUISketchOpData(c.op));
      EXPECT_THROW(op->parseVersion0ByteStream(c.version0.data(), static_cast<long>(n)), vcUIError::InvalidUISketch)
          << c.name << " cut at " << n;
    }
  }
  EXPECT_EQ(Out().u8(1).i32(1).i32(2).i32(3).i32(4).color(vcColor(9)).i32(2).b.size(), 27u);
  EXPECT_THROW(parsed(5, wrongDegenerate), vcUIError::InvalidUISketch);
}

TEST(SketchOpTest, NestingBeyondTheLimitIsReportedAsMalformed) {
  vcUISketch nested = innerSketch();
  vcUISketch shallow;
  for (int level = 1; level <= 20; ++level) {
    vcUITablet t;
    t.draw(nested, vcPoint(1, 0), T::eImage);
    nested = t.sketch();
    if (level == 10) shallow = nested;
  }
  vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(100, 100));
  vcUITablet t(&scope, nullptr);
  t.visible(true);
  scope.clearLog();
  t.draw(shallow, vcPoint(0, 0), T::eImage);
  ASSERT_EQ(scope.calls("draw(vcPoint)").size(), 1u);
  EXPECT_EQ(scope.calls("draw(vcPoint)")[0].points.at(0), vcPoint(11, 2));
  EXPECT_THROW(t.draw(nested, vcPoint(0, 0), T::eImage), vcUIError::InvalidUISketch);
}

}  // namespace
