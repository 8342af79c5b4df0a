// Sketch record objects, beyond what every record kind shares (opcodes_test):
// the record factory, version-0 layouts, rejection of malformed payloads and
// nesting; record heads and sketch archives.
#include <vc/sketchop.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <vc/display.h>

#include "support/archive_roundtrip.h"
#include "support/bytes.h"
#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

namespace {

using Bytes = std::vector<unsigned char>;
using V = vcVector<2>;
using T = vcUITablet;
using OpPtr = std::unique_ptr<vc_UISketchOpData>;

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

TEST(SketchOpTest, FactoryKnowsExactlyTheRecordClasses) {
  for (long op : {-1L, 13L, 24L, 36L, 40L, 48L, 255L})
    EXPECT_THROW(OpPtr(vfCreateUISketchOpData(op)), vcUIError::InvalidUISketch) << op;
  EXPECT_EQ(OpPtr(vfCreateUISketchOpData(17))->parseByteStream(nullptr, 0), 0);
}

TEST(SketchOpTest, ImpossibleValuesAreRejected) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // An 8-bit image payload: position, flags, the client map, window corner, size, then pixels.
  const auto image8 = [](long w, long h, const Bytes& tail) {
    return vcTestBytes().vec(0, 0).u8(0).u8(0).f64(1).f64(0).f64(0).f64(1).f64(0).f64(0).f64(1).i32(0).i32(0).i32(w)
        .i32(h).raw(tail).bytes();
  };
  const struct {
    const char* name;
    int op;
    Bytes payload;
  } bad[] = {
      {"NaN point", 0, vcTestBytes().vec(nan, 0).bytes()},
      {"infinite segment end", 2, vcTestBytes().vec(0, 0).vec(INFINITY, 1).bytes()},
      {"line without direction", 3, vcTestBytes().vec(0, 0).vec(1, 1).bytes()},
      {"negative radius", 4, vcTestBytes().vec(0, 0).f64(-1).bytes()},
      {"polygon fill mode", 28, vcTestBytes().i32(7).i32(1).vec(0, 0).bytes()},
      {"polygon count beyond the record", 28, vcTestBytes().i32(0).i32(1000).vec(0, 0).bytes()},
      {"negative polyline count", 44, vcTestBytes().i32(-1).u8(0).bytes()},
      {"polyline closed flag", 44, vcTestBytes().i32(0).u8(2).bytes()},
      {"bezier weight 0", 42, vcTestBytes().vec(0, 0).vec(1, 1).vec(2, 1).vec(3, 0).f64(1).f64(0).f64(1).f64(1).bytes()},
      {"negative image size", 12, image8(-2, 1, {0})},
      {"image larger than the record", 12, image8(1 << 30, 1 << 30, {0, 1})},
      {"RLE row of the wrong width", 14,
       vcTestBytes().vec(0, 0).u8(0).u8(0).u8(0).i32(0).i32(3).i32(1).u8(1).u8(2).u8(0).u8(0).bytes()},
      {"rectangle kind", 16, vcTestBytes().u8(3).i32(0).i32(0).i32(1).i32(1).bytes()},
      {"fill type", 19, vcTestBytes().u8(1).i32(0).i32(0).color(vcColor(1)).i32(5).bytes()},
      {"negative shape data length", 33, vcTestBytes().color(vcColor(1)).raw(Bytes(16)).i32(-4).bytes()},
      {"shape data beyond the record", 33, vcTestBytes().color(vcColor(1)).raw(Bytes(16)).i32(0x7F000000).bytes()},
      {"NaN nested sketch offset", 15, vcTestBytes().vec(nan, 0).i32(0).bytes()},
      {"NaN text position", 11, vcTestBytes().vec(0, nan).color(vcColor(1)).i32(0).i32(0).u8(0).bytes()},
      {"text alignment", 11, vcTestBytes().vec(0, 0).color(vcColor(1)).i32(0).i32(9).u8(0).bytes()},
  };
  for (const auto& b : bad) {
    const OpPtr op(vfCreateUISketchOpData(b.op));
    EXPECT_THROW(op->parseByteStream(b.payload.data(), static_cast<long>(b.payload.size())), vcUIError::InvalidUISketch)
        << b.name;
  }
}

TEST(SketchOpTest, Version0LayoutsReadIntoCurrentRecords) {
  const vcGenRect inner(V(3, 4), vcMatrix<2>(1, 0, 0, 1), V(0, 0));
  Bytes wrongDegenerate = vcTestBytes().image(kEllipse).bytes();
  wrongDegenerate[41] = 1;
  Bytes crossTail = vcTestBytes().image(kCross).bytes();
  crossTail[30] = 0xEE;
  const struct {
    const char* name;
    int op;
    Bytes version0, current;
  } cases[] = {
      {"ellipse", 5, wrongDegenerate, vcTestBytes().image(kEllipse).bytes()},
      {"section", 7, vcTestBytes().image(section(), 440).bytes(), vcTestBytes().image(section()).bytes()},
      {"generalised annulus", 9, vcTestBytes().image(inner, 96).image(kGenRect, 96).bytes(),
       vcTestBytes().image(vcGenAnnulus(inner, kGenRect)).bytes()},
      {"affine rectangle", 27, vcTestBytes().image(kAffine, 176).bytes(), vcTestBytes().image(kAffine).bytes()},
      {"cross", 37, crossTail, vcTestBytes().image(kCross).bytes()},
      {"rectangle", 32, vcTestBytes().u8(0xAB).vec(1, 2).vec(3, 4).bytes(), vcTestBytes().vec(1, 2).vec(3, 4).bytes()},
      {"bevel", 25, vcTestBytes().u8(1).i32(1).i32(2).i32(3).i32(4).color(vcColor(9)).i32(2).bytes(),
       vcTestBytes().u8(1).i32(1).i32(2).i32(3).i32(4).color(vcColor()).color(vcColor(9)).i32(2).bytes()},
      {"application shape", 33, vcTestBytes().raw(Bytes(16, 7)).i32(2).u8(1).u8(2).bytes(),
       vcTestBytes().color(vcColor()).raw(Bytes(16, 7)).i32(2).u8(1).u8(2).bytes()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(populated(*parsed(c.op, c.version0, true)), c.current) << c.name;
    for (std::size_t n = 0; n < c.version0.size(); ++n) {
      const OpPtr op(vfCreateUISketchOpData(c.op));
      EXPECT_THROW(op->parseVersion0ByteStream(c.version0.data(), static_cast<long>(n)), vcUIError::InvalidUISketch)
          << c.name << " cut at " << n;
    }
  }
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

namespace {

constexpr vcUITablet::Layers I = vcUITablet::eImage;

const vcGraphicProps P(vcColor(200, 10, 10), 2, vcGraphicProps::ePenDash, false);

vcUISketch sketchOf(const Bytes& b) {
  vcUISketch s;
  s.append(b.data(), static_cast<long>(b.size()));
  return s;
}

// Walks the whole sketch; throws what a record parser throws.
long walk(const vcUISketch& s) {
  long records = 0;
  for ([[maybe_unused]] const vcUISketchRecord& r : vcUISketchRecords(s)) ++records;
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
  EXPECT_EQ(std::tuple(h.props(), h.color(), h.opcode(), h.layer()),
            std::tuple(saved.props(), saved.color(), saved.opcode(), saved.layer()));
  EXPECT_THROW(vfParseUISketch(sketchOf(good), static_cast<long>(good.size()), h, nullptr), vcUIError::InvalidUISketch);
}

namespace {

// What a header holds: props, color, opcode, layer, whether it saw props.
using HeadState = std::tuple<vcGraphicProps, vcColor, long, long, bool>;
HeadState stateOf(const vc_UISketchOpHeader& h) {
  return {h.props(), h.color(), h.opcode(), static_cast<long>(h.layer()), h.hasProps()};
}

// A plain reading of a props record (when b starts with its marker) and a
// head as the format lays them out, after state s: the bytes taken and the
// state then, or nothing for malformed bytes.
std::optional<std::pair<long, HeadState>> plainHead(const Bytes& b, HeadState s) {
  auto& [props, color, opcode, layer, hasProps] = s;
  std::size_t at = 0;
  if (!b.empty() && b[0] == 40) {
    if (b.size() < 22 || b[1] != 0 || b[2] > 1 || b[19] > 1 || b[20] > 1 || b[21] > 1 || vfTestGet32(&b[3]) < 0 ||
        (b.size() > 22 && b[22] == 40))
      return {};
    props.penWidth(vfTestGet32(&b[3]));
    props.fill(b[2] != 0);
    props.penStyle(static_cast<vcGraphicProps::vePenStyle>(vfTestGet32(&b[7])));
    props.penJoin(static_cast<vcGraphicProps::vePenJoin>(vfTestGet32(&b[11])));
    props.penEndCap(static_cast<vcGraphicProps::vePenEndCap>(vfTestGet32(&b[15])));
    props.arrowHead(b[19] != 0);
    props.arrowHeadForward(b[20] != 0);
    props.showVertex(b[21] != 0);
    hasProps = true;
    at = 22;
  }
  if (b.size() < at + 8 || b[at + 1] > 2 || !vcColor::fromBytes(&b[at + 2], color)) return {};
  props.penColor(color);
  opcode = b[at];
  layer = b[at + 1];
  return std::pair(static_cast<long>(at + 8), s);
}

}  // namespace

// One header reads random and damaged heads, with and without props records,
// exactly as a plain reading of the format does, props carrying over from
// record to record; bytes it refuses leave it as it was.
TEST(SketchStream, HeadsReadAsThePlainFormatOnRandomAndDamagedBytes) {
  std::mt19937 rng(41);
  std::uniform_int_distribution<int> byte(0, 255), pick(0, 9);
  const unsigned char telling[] = {0, 1, 2, 3, 4, 7, 40, 0x80, 0xFF};
  vc_UISketchOpHeader h;
  int accepted = 0, refused = 0;
  for (int trial = 0; trial < 1500; ++trial) {
    vcGraphicProps props(vcColor(static_cast<unsigned char>(byte(rng))), byte(rng) % 4,
                         static_cast<vcGraphicProps::vePenStyle>(byte(rng) % 3), byte(rng) % 2 == 0);
    props.arrowHead(byte(rng) % 2 == 0);
    // A point's record after another drawn with the same props (a plain head)
    // or others (a props record first); its 16-byte payload left out.
    vcUITablet t;
    t.draw(vcPoint(1, 2), pick(rng) < 4 ? props : vcGraphicProps(), I);
    const long from = t.sketch().size();
    t.draw(vcPoint(3, 4), props, pick(rng) < 3 ? T::eOverlay : I);
    Bytes b(t.sketch().data() + from, t.sketch().data() + t.sketch().size() - 16);
    for (int k = pick(rng) % 3; k > 0; --k)
      b[static_cast<std::size_t>(byte(rng)) % b.size()] = telling[static_cast<std::size_t>(byte(rng)) % 9];
    if (pick(rng) == 0) b.resize(static_cast<std::size_t>(byte(rng)) % (b.size() + 1));
    const Bytes held(b);  // its own allocation: a read past the end shows
    const HeadState before = stateOf(h);
    const auto expected = plainHead(held, before);
    try {
      const long used = h.parseByteStream(held.data(), static_cast<long>(held.size()));
      ASSERT_TRUE(expected) << "trial " << trial;
      EXPECT_EQ(std::pair(used, stateOf(h)), *expected) << "trial " << trial;
      ++accepted;
    } catch (const vcUIError::InvalidUISketch&) {
      EXPECT_FALSE(expected) << "trial " << trial;
      EXPECT_EQ(stateOf(h), before) << "trial " << trial;
      ++refused;
    }
  }
  EXPECT_GT(accepted, 300);
  EXPECT_GT(refused, 300);
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
  // The record gains the current layout's first color (default) before the stored one.
  Bytes want(raw.begin(), raw.begin() + 25);
  want = vcTestBytes().raw(want).color(vcColor()).raw(Bytes(raw.begin() + 25, raw.end())).bytes();
  EXPECT_EQ(bytesOf(s), want);
  EXPECT_EQ(walk(s), 2);
}

// A load cut anywhere, of an unknown version, or whose record objects do not
// match their headers leaves the target sketch as it was (corrupt bytes: the
// sketch fuzz corpus); a count or length of 0 or less adds nothing.
TEST(SketchArchive, RefusedLoadsLeaveTheSketchUnchanged) {
  Loaded l;
  vc_test::expectUnknownVersion({2, 0, 0, 0, 0}, l.target, "dispc/uisketch", 286);
  for (const Bytes& empty : {Bytes{1, 0, 0, 0, 0}, Bytes{0, 0, 0, 0, 0}, Bytes{1, 0xFF, 0xFF, 0xFF, 0xFF},
                             Bytes{0, 0xFF, 0xFF, 0xFF, 0xFF}, Bytes{1, 0, 0, 0, 0x80}})
    l.load(empty);
  EXPECT_EQ(bytesOf(l.target), l.before);
  // Beyond the record limit, or more records than bytes left: refused.
  for (const Bytes& tooMany : {Bytes{1, 0xFF, 0xFF, 0xFF, 0x7F}, Bytes{0, 3, 0, 0, 0, 1, 2}}) {
    EXPECT_THROW(l.load(tooMany), vcArchive::BadData);
    EXPECT_EQ(bytesOf(l.target), l.before);
  }
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
