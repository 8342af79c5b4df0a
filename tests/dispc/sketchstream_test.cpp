#include <vc/sketchop.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>
#include <vc/uistring.h>
#include <vc/uitablet.h>

#include "support/archive_roundtrip.h"
#include "support/bytes.h"
#include "support/opcode_catalogue.h"

namespace {

using Bytes = std::vector<unsigned char>;
using V = vcVector<2>;
constexpr vcUITablet::Layers I = vcUITablet::eImage;

const vcGraphicProps P(vcColor(200, 10, 10), 2, vcGraphicProps::ePenDash, false);

Bytes bytesOf(const vcUISketch& s) { return Bytes(s.data(), s.data() + s.size()); }

vcUISketch sketchOf(const Bytes& b) {
  vcUISketch s;
  s.append(b.data(), static_cast<long>(b.size()));
  return s;
}

// Walks the whole sketch; throws what a record parser throws.
long walk(const vcUISketch& s) {
  long records = 0;
  for (long at = 0; at < s.size(); ++records) {
    vc_UISketchOpHeader h;
    at += vfParseUISketch(s, at, h, nullptr);
  }
  return records;
}

Bytes archived(vcUISketch s) {
  vcBufferArchive ar(vcArchive::eStore);
  ar || s;
  return ar.bytes();
}

// Loads bytes into a sketch that already holds a record.
struct Loaded {
  vcUISketch target;
  Bytes before;
  Loaded() {
    vcUITablet t;
    t.draw(vcPoint(1, 2), P, I);
    target = t.sketch();
    before = bytesOf(target);
  }
  void load(const Bytes& b) {
    vcBufferArchive ar(b);
    ar || target;
  }
};

}  // namespace

TEST(SketchStream, HeaderCarriesPropsToRecordsWithoutPropsRecord) {
  vcUITablet t;
  t.draw(vcPoint(3, 4), P, I);
  t.draw(vcLineSeg(V(0, 0), V(1, 1)), P, I);
  t.draw(std::string("ab"), vcPoint(0, 0), vcColor(5), vcColor(6), vcUIFormat(), I);
  const vcUISketch& s = t.sketch();

  vc_UISketchOpHeader h;
  EXPECT_EQ(vfParseUISketch(s, 0, h, nullptr), 22 + 8 + 16);
  EXPECT_EQ(vfParseUISketch(s, 46, h, nullptr), 8 + 32);
  EXPECT_TRUE(h.hasProps());
  EXPECT_EQ(h.props(), P);
  // The text carries default props and its color in the head; the color
  // becomes the props' pen color.
  vfParseUISketch(s, 86, h, nullptr);
  vcGraphicProps text;
  text.penColor(vcColor(5));
  EXPECT_EQ(h.props(), text);

  vc_UISketchOpHeader fresh;
  vfParseUISketch(s, 46, fresh, nullptr);
  EXPECT_FALSE(fresh.hasProps());
  EXPECT_EQ(fresh.props().penColor(), P.penColor());
}

TEST(SketchStream, MalformedHeadThrowsAndLeavesHeaderUnchanged) {
  vcUITablet t;
  t.draw(vcPoint(3, 4), P, I);
  const Bytes good = bytesOf(t.sketch());  // props record, head at 22, payload at 30
  struct Case {
    const char* what;
    std::size_t at;
    unsigned char value;
  };
  const Case cases[] = {{"props version", 1, 1},   {"fill flag", 2, 2},      {"negative width", 6, 0x80},
                        {"props twice", 22, 40},  {"layer", 23, 3},         {"color kind", 24, 0xEE},
                        {"opcode 13", 22, 13},    {"opcode 48", 22, 48}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b = good;
    b[c.at] = c.value;
    vc_UISketchOpHeader h;
    EXPECT_THROW(vfParseUISketch(sketchOf(b), 0, h, nullptr), vcUIError::InvalidUISketch);
  }
  vc_UISketchOpHeader h;
  h.parseByteStream(good.data(), static_cast<long>(good.size()));
  const vc_UISketchOpHeader saved(h);
  for (long n = 0; n < 30; ++n) EXPECT_THROW(h.parseByteStream(good.data(), n), vcUIError::InvalidUISketch) << n;
  Bytes b = good;
  b[22 + 2] = 0xEE;
  EXPECT_THROW(h.parseByteStream(b.data(), 30), vcUIError::InvalidUISketch);
  EXPECT_EQ(h.props(), saved.props());
  EXPECT_EQ(h.color(), saved.color());
  EXPECT_EQ(h.opcode(), saved.opcode());
  EXPECT_EQ(h.layer(), saved.layer());
  EXPECT_THROW(vfParseUISketch(sketchOf(good), static_cast<long>(good.size()), h, nullptr), vcUIError::InvalidUISketch);
}

// The loaded records are appended and their props become the sketch's
// current ones: drawing on with them adds no props record, drawing with the
// earlier ones adds one. Props records that only a pen color (not carried by
// the stream) told apart come back too.
TEST(SketchArchive, LoadAppendsByteForByteAndItsPropsStayInForce) {
  const vcGraphicProps q(vcColor(1, 2, 3), 4);
  vcUITablet t;
  t.draw(vcLineSeg(V(0, 0), V(1, 1)), q, I);
  t.draw(std::string("x"), vcPoint(0, 0), vcColor(5), vcColor(6), vcUIFormat(), I);
  t.draw(vcLineSeg(V(0, 0), V(1, 1)), vcColor(5), I);
  t.draw(vcLineSeg(V(0, 0), V(1, 1)), q, I);
  Loaded l;
  l.load(archived(t.sketch()));
  Bytes want = l.before;
  const Bytes added = bytesOf(t.sketch());
  want.insert(want.end(), added.begin(), added.end());
  EXPECT_EQ(bytesOf(l.target), want);
  l.target.opcode(vcUISketch::kPropsMarker, q);
  EXPECT_EQ(bytesOf(l.target), want);
  l.target.opcode(vcUISketch::kPropsMarker, P);
  EXPECT_EQ(l.target.size(), static_cast<long>(want.size()) + 1 + vcGraphicProps::kRecordSize);
  EXPECT_EQ(archived(vcUISketch()), (Bytes{1, 0, 0, 0, 0}));
  EXPECT_THROW(archived(vfSketchOfEveryOpcode()), vcUIError::NotImplemented);  // nested sketches
}

TEST(SketchArchive, Version0BytesReadBackInTheCurrentLayout) {
  vcUITablet t;
  t.draw(vcPoint(3, 4), P, I);
  const Bytes point = bytesOf(t.sketch());
  // An outline3d record of kind 1 in the older layout: one color, 27 bytes.
  Bytes raw = vcTestBytes().u8(25).u8(0).color(vcColor(1, 2, 3)).u8(1).i32(5).i32(6).i32(20).i32(10)
                  .color(vcColor(7, 8, 9)).i32(3).bytes();
  raw.insert(raw.end(), point.begin(), point.end());

  vcBufferArchive ar(vcArchive::eStore);
  signed char version = 0;
  long n = static_cast<long>(raw.size());
  ar || version || n;
  ar.raw(raw.data(), n);

  vcUISketch s;
  vcBufferArchive in(ar.bytes());
  in || s;
  const Bytes got = bytesOf(s);
  ASSERT_EQ(got.size(), 8 + 33 + point.size());
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 25), Bytes(raw.begin(), raw.begin() + 25));
  EXPECT_EQ(Bytes(got.begin() + 31, got.begin() + 41), Bytes(raw.begin() + 25, raw.begin() + 35));  // second color, width
  EXPECT_EQ(Bytes(got.begin() + 41, got.end()), point);
  EXPECT_EQ(walk(s), 2);
}

// A load cut anywhere, of an unknown version, or whose record objects do not
// match their headers leaves the target sketch as it was (corrupt bytes: the
// sketch fuzz corpus); an empty or count-zero load adds nothing.
TEST(SketchArchive, RefusedLoadsLeaveTheSketchUnchanged) {
  Loaded l;
  vc_test::expectUnknownVersion({2, 0, 0, 0, 0}, l.target, "dispc/uisketch", 286);
  for (const Bytes& empty : {Bytes{1, 0, 0, 0, 0}, Bytes{1, 0xFF, 0xFF, 0xFF, 0xFF}, Bytes{0, 0, 0, 0, 0}}) l.load(empty);
  EXPECT_EQ(bytesOf(l.target), l.before);
  vcUITablet t;
  t.draw(vcLineSeg(V(0, 0), V(1, 1)), P, I);
  t.draw(std::string("ab"), vcPoint(0, 0), vcColor(5), vcColor(6), vcUIFormat(), I);
  t.outline3D(vcRect(1, 2, 3, 4), vcColor(1), vcColor(2), 2, I);
  t.draw(vcPolygon({V(0, 0), V(4, 0), V(0, 3)}, vcPolygon::eWinding), P, I);
  const Bytes good = archived(t.sketch());
  for (std::size_t n = 1; n < good.size(); ++n) {
    EXPECT_THROW(l.load(Bytes(good.begin(), good.begin() + static_cast<long>(n))), vcException) << n;
    ASSERT_EQ(bytesOf(l.target), l.before) << n;
  }
  // A segment head over a text payload, and null records.
  auto header = vfMakeHandle<vc_UISketchOpHeader>();
  vc_UISketchOpHeader second;
  vc_UISketchOpData* made = nullptr;
  vfParseUISketch(t.sketch(), vfParseUISketch(t.sketch(), 0, *header, nullptr), second, &made);
  vcPtrHandle<vc_UISketchOpData> text(made);
  signed char version = 1;
  long count = 1;
  vcBufferArchive mismatched(vcArchive::eStore), null(vcArchive::eStore);
  mismatched || version || count || header || text;
  EXPECT_THROW(l.load(mismatched.bytes()), vcArchive::BadData);
  vcPtrHandle<vc_UISketchOpHeader> none;
  null || version || count || none || none;
  EXPECT_THROW(l.load(null.bytes()), vcBadPointer);
  EXPECT_EQ(bytesOf(l.target), l.before);
}
