// The tablet's primitives, area operations and images: what each asks of
// the scope and what it records.
#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <vc/core/exception.h>
#include <vc/core/lineseg.h>
#include <vc/core/pel.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/points.h>
#include <vc/core/rect.h>
#include <vc/core/rle.h>
#include <vc/uierror.h>
#include <vc/uiscope.h>
#include <vc/uistring.h>

#include "../../dispc/ext/payloads.h"
#include "support/bytes.h"
#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

namespace {

using V = vcVector<2>;
using Rec = vcTestRecord;
std::vector<unsigned char> bytesOf(const vcColor& c) { return vcTestBytes().color(c).bytes(); }
const vcUITablet::Layers I = vcUITablet::eImage, O = vcUITablet::eOverlay, B = vcUITablet::eBoth;

// A visible, drawing and recording root tablet on a 100 x 100 image scope.
struct Drawn {
  vcRecordingScope scope{vcPair<long>(0, 0), vcPair<long>(100, 100)};
  vcUITablet tablet{&scope, nullptr};
  Drawn() {
    tablet.visible(true);
    tablet.recordOn() = true;
    scope.clearLog();
  }
  std::vector<vcScopeCall>& log() { return scope.log(); }
};

// A tablet that counts its repaints.
struct Painter : vcUITablet {
  using vcUITablet::vcUITablet;
  int redraws = 0;
  void redraw_() override { ++redraws; }
};

vcPelBuffer<unsigned char> windowedImage() {
  vcPelBuffer<unsigned char> img(4, 3);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 4; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(10 * y + x);
  img.window(vcRectangle<long>(1, 1, 3, 2));
  img.clientFromImageXform(vcXform<2>(vcMatrix<2>(2, 0, 0.5, 3), V(-1, 7)));
  return img;
}

}  // namespace

TEST(TabletPrim, PenOperationsMapPointsAndMoveTheScopePen) {
  Drawn d;
  d.tablet.baseMap(vcXform<2>(vcMatrix<2>(2, 0, 0, 2), vcVector<2>(10, 20)));
  d.scope.clearLog();
  d.tablet.drawStart(vcPoint(1, 1), I);
  EXPECT_EQ(vcPair<long>(d.scope.drawX(), d.scope.drawY()), vcPair<long>(12, 22));
  d.tablet.drawTo(vcPoint(5, 2), vcColor::blue, I);
  d.tablet.drawToRelPels(3, -1, vcColor::blue, I);
  d.tablet.moveToRelPels(-5, 2, I);
  EXPECT_EQ(vcPair<long>(d.scope.drawX(), d.scope.drawY()), vcPair<long>(18, 25));
  ASSERT_EQ(d.log().size(), 2u);
  EXPECT_EQ(d.log()[0].points[0], vcPoint(20, 24));
  EXPECT_EQ(d.log()[1].ints, (std::vector<long>{3, -1}));
}

// drawPointArg() means the pen even under a singular map, and is recorded as is.
TEST(TabletPrim, DrawPointArgMeansThePenEvenUnderASingularMap) {
  Drawn d;
  d.tablet.drawStart(vcPoint(7, 9), I);
  d.tablet.baseMap(vcXform<2>(vcMatrix<2>(0, 0, 0, 0), vcVector<2>(50, 50)));
  d.scope.clearLog();
  d.tablet.drawTo(vcUITablet::drawPointArg(), vcColor::green, I);
  d.tablet.draw(vcUITablet::drawPointArg(), vcColor::green, I);
  ASSERT_EQ(d.log().size(), 2u);
  EXPECT_EQ(d.log()[0].ints, (std::vector<long>{7, 9}));
  EXPECT_EQ(d.log()[1].points[0], vcPoint(7, 9));
  const std::vector<Rec> r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[2].f64s(0, 2), (std::vector<double>{1.234567e89, 9.876543e21}));
}

TEST(TabletPrim, DirectionFormsTruncateTowardZeroInSurfacePixelsAndRefuseNoLength) {
  Drawn d;
  const vcVector<2> right(1, 0), left(-1, 0), diag(1, 1);
  d.tablet.drawToRelPels(right, 2.9f, vcColor::red, I);
  d.tablet.drawToRelPels(left, 2.9f, vcColor::red, I);
  d.tablet.drawToRelPels(diag, 10.0f, vcColor::red, I);
  d.tablet.scaleExact(vcPair<double>(4.0, 4.0));
  d.tablet.baseMap(vcXform<2>(vcMatrix<2>(0, -1, 1, 0), vcVector<2>()));  // +x becomes +y
  d.scope.clearLog();
  d.tablet.drawToRelPels(right, 5.0f, vcColor::red, I);
  d.tablet.drawStart(vcPoint(0, 0), I);
  d.tablet.moveToRelPels(diag, -10.0f, I);
  ASSERT_EQ(d.scope.calls("drawToRelPels").size(), 1u);
  EXPECT_EQ(d.scope.calls("drawToRelPels")[0].ints, (std::vector<long>{0, 5}));
  EXPECT_EQ(vcPair<long>(d.scope.drawX(), d.scope.drawY()), vcPair<long>(7, -7));
  const std::vector<Rec> r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 6u);
  const long expected[6][2] = {{2, 0}, {-2, 0}, {7, 7}, {0, 5}, {0, 0}, {7, -7}};
  for (std::size_t i : {0u, 1u, 2u, 3u, 5u}) {
    EXPECT_EQ(r[i].op, i == 5 ? 23 : 22);
    EXPECT_EQ(r[i].i32(0), expected[i][0]) << i;
    EXPECT_EQ(r[i].i32(4), expected[i][1]) << i;
  }
  // Without a length, or past 32 bits, they throw and record nothing.
  d.tablet.sketch().erase();
  EXPECT_THROW(d.tablet.drawToRelPels(vcVector<2>(0, 0), 3.0f, vcColor::red, I), vcMathError);
  EXPECT_THROW(d.tablet.moveToRelPels(vcVector<2>(1, 0), 1e20f, I), vcMathError);
  EXPECT_EQ(d.tablet.sketch().size(), 0);
}

TEST(TabletPrim, PointIconIsBuiltOnceAndCentredInThePropsColor) {
  EXPECT_EQ(&vcUITablet::pointIcon(), &vcUITablet::pointIcon());
  const unsigned char pass = vcColor::passColor().index();

  Drawn d;
  d.tablet.baseMap(vcXform<2>::translation(vcVector<2>(0.5, 10)));
  d.scope.clearLog();
  d.tablet.drawPointIcon(vcPoint(20, 30), vcColor::magenta, I);
  ASSERT_EQ(d.log().size(), 1u);
  const vcScopeCall& c = d.log()[0];
  EXPECT_EQ(c.op, "draw(rle,colors)");
  EXPECT_EQ(c.points[0], vcPoint(14.5, 34));
  EXPECT_EQ(c.ints, (std::vector<long>{1, pass}));
  EXPECT_EQ(c.color, vcColor::magenta);  // the one-entry color map
  EXPECT_EQ(vfTestRecords(d.tablet.sketch()).at(0).color, bytesOf(vcColor::magenta));
}

TEST(TabletPrim, ShapePrimitivesPassTheirArgumentsOnInTheShapesOrder) {
  vcUITablet t;
  vcRadian angle(0.25);
  t.drawLineSeg(vcPair<double>(1, 2), vcPair<double>(3, 4), vcColor::red, I);
  t.drawRect(vcPair<double>(10, 10), vcPair<double>(4, 6), vcColor::red, I, false);
  t.drawCircle(vcPair<double>(5, 6), 7, vcColor::red, I, true);
  t.drawEllipse(vcPair<double>(1, 2), vcPair<double>(3, 4), vcRadian(0.5), vcColor::red, I, false);
  t.drawGenRect(vcPair<double>(1, 2), vcPair<double>(3, 4), angle, vcPair<double>(0, 0), vcColor::red, I);
  t.drawPolygon({vcVector<2>(0, 0), vcVector<2>(1, 0), vcVector<2>(0, 1)}, vcPolygon::eWinding, vcColor::red, I);
  t.drawEllipseArc(vcPair<double>(1, 2), vcPair<double>(3, 4), vcRadian(0), vcRadian(1), vcRadian(2), vcColor::red, I);
  t.drawAffineRect(vcPair<double>(1, 2), 3, 4, vcRadian(0), vcRadian(0), vcColor::red, I);
  t.drawCross(vcPair<double>(8, 9), vcRadian(0.5), vcColor::red, I);
  t.drawPixel(vcPair<double>(2, 3), vcColor::red, I);
  const std::vector<Rec> r = vfTestRecords(t.sketch());
  ASSERT_EQ(r.size(), 10u);
  const int opcodes[10] = {2, 32, 29, 5, 8, 28, 6, 27, 37, 0};  // 8, not 31: a generalised rectangle never fills
  for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(r[i].op, opcodes[i]) << i;
  EXPECT_EQ(r[1].f64s(16, 2), (std::vector<double>{-6, -4}));  // p2 is the opposite corner: size p2 - p1
  EXPECT_EQ(r[3].f64s(0, 5), (std::vector<double>{1, 2, 3, 4, 0.5}));
  EXPECT_EQ(r[8].i32(24), 7);  // arms of 7 pixels
  EXPECT_EQ(r[9].f64(8), 3.0);
}

TEST(TabletArea, SetAndSetComplementConvertClientRectsToScopePixels) {
  Drawn d;
  d.tablet.baseMap(vcXform<2>(vcMatrix<2>(2, 0, 0, 2), vcVector<2>()));
  d.scope.clearLog();
  d.tablet.set(vcUIRect(1, 2, 3, 4), vcColor::red, I);
  d.tablet.set(vcRect(0.5, 1.5, 10, 5), vcColor::red, I);
  const auto c = d.scope.calls("set(rect)");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].rect, vcUIRect(1, 2, 3, 4));
  EXPECT_EQ(c[1].rect, vcUIRect(1, 3, 20, 10));
  EXPECT_EQ(vfTestRecords(d.tablet.sketch()).size(), 2u);
  // The complement is tiled like a pinwheel, under one screen lock, and recorded once.
  d.tablet.baseMap(vcXform<2>::I);
  d.scope.clearLog();
  d.tablet.setComplement(vcUIRect(10, 20, 30, 40), vcColor::blue, I);
  d.tablet.setComplement(vcRect(10, 20, 30, 40), vcColor::blue, I);
  const auto t = d.scope.calls("set(rect)");
  ASSERT_EQ(t.size(), 8u);
  const vcUIRect bands[4] = {vcUIRect(0, 0, 40, 20), vcUIRect(40, 0, 60, 60), vcUIRect(10, 60, 90, 40),
                             vcUIRect(0, 20, 10, 80)};
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(t[i].rect, bands[i % 4]) << i;
  EXPECT_EQ(d.scope.log()[5].op, "lockScreenUpdatesPop");
  EXPECT_EQ(vfTestRecords(d.tablet.sketch()).back().op, 18);
}

TEST(TabletArea, SetAllRestartsTheSketchWithTheClipRecordFirstOnlyForASingleLayer) {
  Drawn d;
  d.tablet.set(vcUIRect(1, 2, 3, 4), vcColor::red, I);
  d.tablet.drawClipRect(vcRect(1, 2, 30, 40), I);
  d.tablet.set(vcUIRect(5, 5, 5, 5), vcColor::red, I);
  d.tablet.set(vcColor::cyan, I);
  std::vector<Rec> r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].op, 47);
  EXPECT_EQ(r[0].layer, 0);
  EXPECT_EQ(r[0].color, bytesOf(vcColor::cyan));
  EXPECT_EQ(r[0].f64s(0, 4), (std::vector<double>{1, 2, 30, 40}));
  EXPECT_EQ(r[1].op, 17);
  EXPECT_FALSE(r[1].withProps);  // a fresh sketch starts from the default (cyan) props
  EXPECT_EQ(d.scope.calls("newDisplayClipRect").size(), 2u);  // clipped again

  d.tablet.set(vcColor::red, B);
  r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].layer, 2);
  EXPECT_TRUE(r[0].withProps);
  d.tablet.set(vcColor::red, O);  // the overlay's clip rectangle was never set
  EXPECT_EQ(vfTestRecords(d.tablet.sketch()).size(), 1u);
}

TEST(TabletArea, Outline3DDrawsShrinkingRingsTopLeftFirstColorBottomRightSecond) {
  Drawn d;
  d.tablet.outline3D(vcUIRect(3, 4, 10, 6), vcColor::white, vcColor::black, 5, I);
  const auto c = d.scope.calls("drawToRelPels");
  ASSERT_EQ(c.size(), 12u);  // rings (9, 5), (7, 3), (5, 1); then b < 1
  for (long ring = 0; ring < 3; ++ring) {
    const long a = 9 - 2 * ring, b = 5 - 2 * ring;
    const std::vector<long> steps[4] = {{a, 0}, {0, b}, {-a, 0}, {0, -b}};
    const vcColor colors[4] = {vcColor::white, vcColor::black, vcColor::black, vcColor::white};
    for (std::size_t k = 0; k < 4; ++k) {
      const vcScopeCall& s = c[4 * static_cast<std::size_t>(ring) + k];
      EXPECT_EQ(s.ints, steps[k]);
      EXPECT_EQ(s.props, vcGraphicProps(colors[k], 1));
    }
  }
  // Each ring starts one pixel further in.
  EXPECT_EQ(vcPair<long>(d.scope.drawX(), d.scope.drawY()), vcPair<long>(6, 7));
  EXPECT_EQ(d.scope.lockDepth(), 0);
  EXPECT_EQ(vfTestRecords(d.tablet.sketch()).size(), 1u);

  // outline of a client rectangle: one frame in one color, pixels (2, 3) to (5, 7).
  d.scope.clearLog();
  d.tablet.outline(vcRect(2, 3, 4, 5), vcColor::red, 1, I);
  std::vector<long> frame;
  for (const vcScopeCall& s : d.scope.calls("drawToRelPels")) frame.insert(frame.end(), s.ints.begin(), s.ints.end());
  EXPECT_EQ(frame, (std::vector<long>{3, 0, 0, 4, -3, 0, 0, -4}));
}

TEST(TabletArea, FillPassesSeedAndTypeThrough) {
  Drawn d;
  d.tablet.baseMap(vcXform<2>::translation(vcVector<2>(10, 10)));
  d.scope.clearLog();
  d.tablet.fill(vcPair<long>(3, 4), vcColor::red, vcColor::blue, vcUITablet::eFillSurface, I);
  d.tablet.fill(vcPoint(2.5, -0.5), vcColor::red, vcColor::blue, vcUITablet::eFillToBorder, I);
  const auto c = d.scope.calls("fill");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].ints, (std::vector<long>{3, 4, 1}));
  EXPECT_EQ(c[1].ints, (std::vector<long>{12, 9, 0}));
  EXPECT_EQ(c[1].color2, vcColor::blue);
}

TEST(TabletArea, ClipRectIsTheIntegerBoundOfTheMappedCornersOnEveryDrawableLayer) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(100, 100));
  vcRecordingScope overlay(vcPair<long>(0, 0), vcPair<long>(100, 100));
  vcUITablet t(&image, &overlay);
  t.visible(true);
  t.recordOn() = true;
  // Rotated by 30 degrees, then shifted: corners (0, 0), (17.32, 10), (12.32, 18.66), (-5, 8.66) + (50, 10).
  t.baseMap(vcXform<2>::translation(vcVector<2>(50, 10)) * vcXform<2>::rotation(vcRadian(0.5235987755982988)));
  t.drawClipRect(vcRect(0, 0, 20, 10), B);
  EXPECT_EQ(image.displayClipRect(), vcUIRect(45, 10, 23, 19));
  EXPECT_EQ(overlay.displayClipRect(), vcUIRect(45, 10, 23, 19));
  // With drawing off the rectangle is still kept and recorded, but no scope is clipped.
  t.drawOn() = false;
  t.drawClipRect(vcRect(1, 1, 1, 1), I);
  EXPECT_EQ(image.displayClipRect(), vcUIRect(45, 10, 23, 19));
  t.set(vcColor::cyan, I);
  ASSERT_EQ(vfTestRecords(t.sketch()).size(), 2u);
  EXPECT_EQ(vfTestRecords(t.sketch())[0].f64s(0, 4), (std::vector<double>{1, 1, 1, 1}));
}

TEST(TabletArea, TextRectAsksTheScopeAtTheMappedPointAndIsNullWithoutScope) {
  vcUITablet none;
  vcUIRect out(1, 1, 1, 1);
  EXPECT_EQ(none.textRect("abc", vcPoint(1, 1), vcUIFormat(), out, I), vcUIRect(0, 0, 0, 0));
  Drawn d;
  d.tablet.baseMap(vcXform<2>::translation(vcVector<2>(10, 20)));
  d.scope.clearLog();
  EXPECT_EQ(d.tablet.textRect("abc", vcPoint(1, 2), vcUIFormat(), out, I), vcUIRect(11, 22, 24, 12));
  EXPECT_EQ(out, vcUIRect(11, 22, 24, 12));
  EXPECT_EQ(d.scope.log().size(), 1u);
  EXPECT_EQ(d.tablet.sketch().size(), 0);
}

TEST(TabletArea, EraseRepaintsFromTheNearestOpaqueAncestorAndClearsModifiedOnlyForTheWhole) {
  vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(100, 100));
  Painter root(&scope, nullptr);
  Painter mid(root, vcUIRect(10, 10, 50, 50));
  Painter kid(mid, vcUIRect(5, 5, 20, 20));
  for (Painter* p : {&root, &mid, &kid}) p->visible(true);
  root.opaque(I, true);
  kid.modified(I, true);
  root.redraws = mid.redraws = kid.redraws = 0;
  scope.clearLog();

  kid.erase(vcUIRect(2, 3, 4, 5), I);
  EXPECT_EQ(root.redraws, 1);
  EXPECT_EQ(mid.redraws + kid.redraws, 0);  // mid is not opaque: passed over
  ASSERT_EQ(scope.calls("newChild").size(), 1u);
  EXPECT_EQ(scope.calls("newChild")[0].rect, vcUIRect(17, 18, 4, 5));  // absolute scope pixels
  EXPECT_TRUE(kid.modified(I));
  EXPECT_TRUE(kid.visible());

  kid.erase(I);
  EXPECT_EQ(scope.calls("newChild").back().rect, vcUIRect(15, 15, 20, 20));
  EXPECT_FALSE(kid.modified(I));
  kid.erase(I);  // nothing left to erase
  EXPECT_EQ(root.redraws, 2);

  // Without an opaque ancestor nothing is repainted; erasing clears the
  // sketch of a recording tablet and is not itself recorded.
  root.opaque(I, false);
  kid.recordOn() = true;
  kid.set(vcUIRect(1, 1, 2, 2), vcColor::red, I);
  kid.modified(I, true);
  kid.erase(B);
  EXPECT_EQ(root.redraws, 2);
  EXPECT_FALSE(kid.modified(I));
  EXPECT_EQ(kid.sketch().size(), 0);
}

// The text record ends at a NUL, so text is drawn and recorded up to its
// first NUL; the record is written with the default props, in the text color.
TEST(TabletImages, TextStopsAtItsFirstNulAndRecordsWithDefaultProps) {
  Drawn d;
  vcUITablet& t = d.tablet;
  t.draw(vcLineSeg(V(0, 0), V(1, 1)), vcColor(200, 0, 0), I);
  const long before = t.sketch().size();
  t.draw(std::string("ab\0cd", 5), vcPoint(2, 3), vcColor(1), vcColor(2), vcUIFormat(), I);
  EXPECT_NE(d.log().back().text.find("\"ab\" "), std::string::npos);
  const unsigned char* rec = t.sketch().data() + before;
  ASSERT_EQ(t.sketch().size() - before, 22 + 8 + 16 + 6 + 8 + 3);
  unsigned char defaults[vcGraphicProps::kRecordSize];
  vcGraphicProps::writeRecord(vcGraphicProps(), defaults);
  EXPECT_EQ(std::vector<unsigned char>(rec + 1, rec + 22), std::vector<unsigned char>(defaults, defaults + 21));
  vc_StringPayload back;
  vfReadPayload(rec + 30, static_cast<std::size_t>(t.sketch().size() - before - 30), back);
  EXPECT_EQ(back.text, "ab");
}

// Images follow the pen when placed at drawPointArg(), and magnification
// passes the tablet's interpolation on to the scope.
TEST(TabletImages, ImagesAtThePenAndExpandedWithTheTabletsInterpolation) {
  Drawn d;
  d.tablet.interpolation(vcUITablet::eBicubic);
  d.tablet.scaleExact(vcPair<double>(4.0, 4.0));
  d.tablet.drawStart(vcPoint(1.5, 2.5), I);
  d.scope.clearLog();
  d.tablet.draw(windowedImage(), vcUITablet::drawPointArg(), false, 0, false, I);
  ASSERT_EQ(d.scope.calls("expand(u8)").size(), 1u);
  EXPECT_EQ(d.log()[0].points, std::vector<vcPoint>{vcPoint(6, 10)});
  EXPECT_EQ(d.log()[0].ints.back(), vcUITablet::eBicubic);
}

// A position that is not finite, or not finite once mapped, and a value that
// its record's 4-byte field cannot hold, are refused before anything reaches
// the scope or the sketch: such records could not be replayed, or would
// replay as another drawing.
TEST(TabletRefusals, NonFinitePositionsAndValuesBeyondTheirRecordFieldsLeaveScopeAndSketchUntouched) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  const long big = 1L << 31;  // one past the largest 4-byte value
  const vcColor red = vcColor::red, blue = vcColor::blue;
  const vcRLEBuffer rle = vcRLEBuffer::encode(windowedImage());
  vcUITablet recorder;
  recorder.draw(vcPoint(1, 1), red, I);
  const vcUISketch nested = recorder.sketch();
  const struct {
    const char* what;
    bool zoomed;  // drawn under a map that scales by 1e10
    std::function<void(vcUITablet&)> call;
  } cases[] = {
      {"point", false, [&](vcUITablet& t) { t.draw(vcPoint(nan, 0), red, I); }},
      {"pen start", false, [&](vcUITablet& t) { t.drawStart(vcPoint(0, inf), I); }},
      {"pen stroke", false, [&](vcUITablet& t) { t.drawTo(vcPoint(-inf, 0), red, I); }},
      {"point icon", false, [&](vcUITablet& t) { t.drawPointIcon(vcPoint(nan, nan), red, I); }},
      {"text", false, [&](vcUITablet& t) { t.draw("a", vcPoint(nan, 0), red, blue, vcUIFormat(), I); }},
      {"image", false, [&](vcUITablet& t) { t.draw(windowedImage(), vcPoint(0, nan), false, 0, false, I); }},
      {"16-bit image", false,
       [&](vcUITablet& t) { t.draw(vcPelBuffer<unsigned short>(2, 2), vcPoint(inf, 0), false, 0, I); }},
      {"run-length image", false, [&](vcUITablet& t) { t.draw(rle, vcPoint(nan, 0), {}, false, 0, false, I); }},
      {"fill seed", false, [&](vcUITablet& t) { t.fill(vcPoint(nan, 0), red, blue, vcUITablet::eFillSurface, I); }},
      {"client rectangle", false, [&](vcUITablet& t) { t.set(vcRect(0, 0, nan, 1), red, I); }},
      {"client frame", false, [&](vcUITablet& t) { t.outline(vcRect(inf, 0, 1, 1), red, 1, I); }},
      {"rectangle shape", false, [&](vcUITablet& t) { t.draw(vcRect(0, nan, 1, 1), red, I); }},
      {"clip rectangle", false, [&](vcUITablet& t) { t.drawClipRect(vcRect(0, 0, inf, 1), I); }},
      {"sketch offset", false, [&](vcUITablet& t) { t.draw(nested, vcPoint(nan, 0), I); }},
      {"arrow tip", false, [&](vcUITablet& t) { t.arrowHead(vcPoint(nan, 0), V(1, 0), 5.0f, vcGraphicProps(), I); }},
      {"mapped point", true, [&](vcUITablet& t) { t.draw(vcPoint(1e300, 0), red, I); }},
      {"mapped pen", true, [&](vcUITablet& t) { t.drawStart(vcPoint(0, -1e300), I); }},
      {"mapped text", true, [&](vcUITablet& t) { t.draw("a", vcPoint(1e300, 1), red, blue, vcUIFormat(), I); }},
      {"mapped image", true, [&](vcUITablet& t) { t.draw(rle, vcPoint(1, -1e300), {}, false, 0, false, I); }},
      {"mapped point set", true, [&](vcUITablet& t) { t.draw(vcPointSet(std::vector<V>{V(0, 0), V(1, 0), V(1e300, 0)}), red, I); }},
      {"pixel offset", false, [&](vcUITablet& t) { t.drawToRelPels(big, 0, red, I); }},
      {"pen move", false, [&](vcUITablet& t) { t.moveToRelPels(0, -big - 1, I); }},
      {"pixel rectangle", false, [&](vcUITablet& t) { t.set(vcUIRect(0, 0, big, 1), red, I); }},
      {"complement", false, [&](vcUITablet& t) { t.setComplement(vcUIRect(-big - 1, 0, 1, 1), red, I); }},
      {"seed pixel", false,
       [&](vcUITablet& t) { t.fill(vcPair<long>(0, big), red, blue, vcUITablet::eFillSurface, I); }},
      {"frame width", false, [&](vcUITablet& t) { t.outline3D(vcUIRect(0, 0, 9, 9), red, blue, big, I); }},
      {"client frame width", false, [&](vcUITablet& t) { t.outline(vcRect(0, 0, 9, 9), red, big, I); }},
      {"font id", false,
       [&](vcUITablet& t) { t.draw("a", vcPoint(0, 0), red, blue, vcUIFormat(big, vcUIFormat::eTopLeft), I); }},
  };
  for (const auto& c : cases) {
    Drawn d;
    if (c.zoomed) d.tablet.baseMap(vcXform<2>(vcMatrix<2>(1e10, 0, 0, 1e10), V()));
    d.scope.clearLog();
    EXPECT_THROW(c.call(d.tablet), vcUIError::BadParams) << c.what;
    EXPECT_EQ(d.scope.logText(), "") << c.what;
    EXPECT_EQ(d.tablet.sketch().size(), 0) << c.what;
  }
}

// The limits of a 4-byte field are recorded exactly; a tablet that does not
// record hands larger values to its scope.
TEST(TabletRefusals, FieldLimitsAreRecordedExactlyAndOnlyARecordingTabletRefusesMore) {
  Drawn d;
  d.tablet.drawToRelPels(2147483647L, -2147483648L, vcColor::red, I);
  d.tablet.outline3D(vcUIRect(-2147483648L, 0, 2147483647L, 5), vcColor::red, vcColor::blue, 2147483647L, I);
  const std::vector<Rec> r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].i32(0), 2147483647L);
  EXPECT_EQ(r[0].i32(4), -2147483648L);
  EXPECT_EQ(r[1].i32(1), -2147483648L);
  EXPECT_EQ(r[1].i32(1 + 16 + 12), 2147483647L);
  d.tablet.recordOn() = false;
  d.scope.clearLog();
  d.tablet.drawToRelPels(1L << 40, 0, vcColor::red, I);
  EXPECT_EQ(d.scope.calls("drawToRelPels").at(0).ints, (std::vector<long>{1L << 40, 0}));
}

// A frame far larger than the scope draws only the rings that reach the
// scope's area, exactly those a ring-by-ring walk would have drawn there,
// and leaves the pen where that walk leaves it.
TEST(TabletArea, Outline3DDrawsOnlyTheRingsThatReachTheScope) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<long> pos(-150, 150), size(0, 400), width(0, 300);
  const vcUIRect area(0, 0, 100, 100);
  for (int trial = 0; trial < 200; ++trial) {
    const vcUIRect r(pos(rng), pos(rng), size(rng), size(rng));
    const long w = width(rng);
    Drawn d;
    d.tablet.outline3D(r, vcColor::white, vcColor::black, w, I);
    std::vector<long> want;
    long rings = 0;
    for (long a = r.width() - 1, b = r.height() - 1; rings < w && a >= 1 && b >= 1; ++rings, a -= 2, b -= 2) {
      const long x0 = r.left() + rings, y0 = r.top() + rings;
      const vcUIRect edges[4] = {vcUIRect(x0, y0, a + 1, 1), vcUIRect(x0 + a, y0, 1, b + 1),
                                 vcUIRect(x0, y0 + b, a + 1, 1), vcUIRect(x0, y0, 1, b + 1)};
      if (std::any_of(std::begin(edges), std::end(edges), [&](const vcUIRect& e) { return !(e & area).isNull(); }))
        want.push_back(rings);
    }
    std::vector<long> got;
    const auto strokes = d.scope.calls("drawToRelPels");
    for (std::size_t k = 0; k < strokes.size(); k += 4) got.push_back(static_cast<long>(strokes[k].from.x()) - r.left());
    SCOPED_TRACE(testing::Message() << "trial " << trial << " width " << w);
    EXPECT_EQ(got, want);
    EXPECT_EQ(vcPair<long>(d.scope.drawX(), d.scope.drawY()), vcPair<long>(r.left() + rings, r.top() + rings));
  }
  // The widest frame of the widest rectangle: a ring-by-ring walk would take a billion rings.
  Drawn d;
  d.tablet.outline3D(vcUIRect(-1073741824L, -1073741824L, 2147483647L, 2147483647L), vcColor::white, vcColor::black,
                     2147483647L, I);
  EXPECT_LE(d.scope.calls("drawToRelPels").size(), 4u * 100u);
  EXPECT_EQ(vcPair<long>(d.scope.drawX(), d.scope.drawY()), vcPair<long>(-1073741824L + 1073741823L, -1L));
}
