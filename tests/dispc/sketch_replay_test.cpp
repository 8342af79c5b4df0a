#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <vc/display.h>

#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

using L = vcUITablet::Layers;
using V = vcVector<2>;

namespace {

constexpr L I = vcUITablet::eImage;
constexpr L O = vcUITablet::eOverlay;
constexpr L B = vcUITablet::eBoth;

const vcGraphicProps P(vcColor(200, 10, 10), 2, vcGraphicProps::ePenDash, false);

// A visible, drawing tablet on a 200 x 100 image scope and overlay scope.
struct Drawn {
  vcRecordingScope image{vcPair<long>(0, 0), vcPair<long>(200, 100)};
  vcRecordingScope overlay{vcPair<long>(0, 0), vcPair<long>(200, 100)};
  vcUITablet tablet{&image, &overlay};
  explicit Drawn(const vcXform<2>& base = vcXform<2>::I) {
    tablet.visible(true);
    tablet.baseMap(base);
    image.clearLog();
    overlay.clearLog();
  }
};

// The log of a replay less the lock and optimisation calls around it.
std::string inner(const vcRecordingScope& s) {
  const vcRecordingScope::Log& log = const_cast<vcRecordingScope&>(s).log();
  EXPECT_GE(log.size(), 4u);
  if (log.size() < 4) return {};
  EXPECT_EQ(log[0].op, "lockScreenUpdatesPush");
  EXPECT_EQ(log[1].op, "optimizeDrawing");
  EXPECT_EQ(log[1].ints, std::vector<long>{1});
  EXPECT_EQ(log[log.size() - 2].ints, std::vector<long>{0});
  EXPECT_EQ(log.back().op, "lockScreenUpdatesPop");
  std::string out;
  for (std::size_t i = 2; i + 2 < log.size(); ++i) out += log[i].text + "\n";
  return out;
}

std::set<long> opcodesOf(const vcUISketch& s) {
  std::set<long> ops;
  for (const vcUISketchRecord& r : vcUISketchRecords(s)) ops.insert(r.opcode());
  return ops;
}

vcUISketch withBadTail(const vcUISketch& s) {
  vcUISketch bad(s);
  bad.opcode(13, 0, vcColor(1));  // an opcode without a record class
  return bad;
}

}  // namespace

// Record -> bytes -> parse -> replay makes exactly the scope calls that the
// direct drawing made, in every scale mode.
TEST(SketchReplay, ReplayMakesTheCallsOfTheDirectDrawing) {
  const vcXform<2> base = vcXform<2>::translation(V(10, 20));
  for (const vcPair<double> scale : {vcPair<double>(1, 1), vcPair<double>(2, 3), vcPair<double>(0.5, 0.25)}) {
    Drawn direct(base), replayed(base);
    direct.tablet.scaleExact(scale);
    replayed.tablet.scaleExact(scale);
    direct.tablet.recordOn() = true;
    for (vcRecordingScope* sc : {&direct.image, &replayed.image, &replayed.overlay}) sc->clearLog();
    vfDrawEveryOpcode(direct.tablet, I);
    replayed.tablet.draw(direct.tablet.sketch(), vcPoint(0, 0), I);
    EXPECT_EQ(inner(replayed.image), direct.image.logText()) << scale.x();
    EXPECT_TRUE(replayed.overlay.log().empty());
    EXPECT_EQ(replayed.tablet.scaledMap(), direct.tablet.scaledMap());
  }
  // Replaying at an offset equals drawing under a map shifted by it.
  const vcXform<2> scale2 = vcXform<2>::scale(2, 2);
  Drawn shifted(scale2 * vcXform<2>::translation(V(10, 5))), replayed(scale2);
  vfDrawEveryOpcode(shifted.tablet, I);
  replayed.tablet.draw(vfSketchOfEveryOpcode(), vcPoint(10, 5), I);
  EXPECT_EQ(inner(replayed.image), shifted.image.logText());
  EXPECT_EQ(replayed.tablet.scaledMap(), scale2);
}

TEST(SketchReplay, LayerFilterDrawsOnlyTheReplayLayerAndBothLayerRecordsEverywhere) {
  vcUITablet rec;
  rec.draw(vcPoint(1, 1), P, I);
  rec.draw(vcPoint(2, 2), P, O);
  rec.drawClipRect(vcRect(0, 0, 50, 40), B);
  const vcUISketch& s = rec.sketch();
  Drawn o, b;
  o.tablet.draw(s, vcPoint(0, 0), O);
  b.tablet.draw(s, vcPoint(0, 0), B);
  EXPECT_TRUE(o.image.log().empty());
  const std::string clip = "[0] newDisplayClipRect([0,0,50,40])\n";
  EXPECT_EQ(inner(o.overlay), o.overlay.log()[2].text + "\n" + clip);
  EXPECT_EQ(inner(b.overlay), inner(o.overlay));
  EXPECT_EQ(inner(b.image), b.image.log()[2].text + "\n" + clip);
  EXPECT_EQ(o.overlay.calls("draw(vcPoint)").at(0).points[0], vcPoint(2, 2));
}

TEST(SketchReplay, RecordingTabletAppendsOneNestedSketchRecord) {
  vcUITablet rec;
  rec.draw(vcPoint(1, 1), P, I);
  const vcUISketch s = rec.sketch();

  Drawn d;
  d.tablet.recordOn() = true;
  d.tablet.draw(s, vcPoint(2.5, -1), O);
  // Default props: no props record; the replay itself is not recorded record
  // by record (the record's layout: opcodes_test).
  ASSERT_EQ(d.tablet.sketch().size(), 8 + 16 + 4 + s.size());
  EXPECT_EQ(d.tablet.sketch().data()[1], 1);  // the replay's layer

  // Props left in force by an earlier drawing come back to the defaults first.
  d.tablet.sketch().erase();
  d.tablet.draw(vcPoint(0, 0), P, I);
  const long before = d.tablet.sketch().size();
  d.tablet.draw(s, vcPoint(0, 0), I);
  EXPECT_EQ(d.tablet.sketch().size() - before, 22 + 8 + 16 + 4 + s.size());
  EXPECT_EQ(d.tablet.sketch().data()[before], vcUISketch::kPropsMarker);

  // A tablet can record the replay of its own sketch.
  d.tablet.draw(d.tablet.sketch(), vcPoint(0, 0), I);
  EXPECT_EQ(opcodesOf(d.tablet.sketch()), (std::set<long>{0, 15}));

  // A null sketch changes nothing; with drawing off the replay is recorded only.
  Drawn e;
  e.tablet.recordOn() = true;
  e.tablet.draw(vcUISketch(), vcPoint(1, 1), I);
  EXPECT_TRUE(e.tablet.sketch().isNull());
  e.tablet.drawOn() = false;
  e.tablet.draw(vfSketchOfEveryOpcode(), vcPoint(0, 0), I);
  EXPECT_TRUE(e.image.log().empty());
  EXPECT_EQ(opcodesOf(e.tablet.sketch()), std::set<long>{15});
  EXPECT_THROW(e.tablet.draw(vfSketchOfEveryOpcode(), vcPoint(0, 0), static_cast<L>(3)), vcUIError::BadLayer);
}

// A malformed record ends the replay with the tablet's state restored: map,
// screen locks, optimisation calls and the recording stack.
TEST(SketchReplay, ExceptionLeavesTabletStateBalanced) {
  const vcUISketch bad = withBadTail(vfSketchOfEveryOpcode());
  for (L layer : {I, O, B}) {
    Drawn d(vcXform<2>::scale(2, 3) * vcXform<2>::translation(V(1, 1)));
    d.tablet.recordOn().push(true);
    const vcXform<2> map = d.tablet.scaledMap();
    const long depth = d.tablet.recordOn().depth();
    EXPECT_THROW(d.tablet.draw(bad, vcPoint(4, 4), layer), vcUIError::InvalidUISketch);
    EXPECT_EQ(d.tablet.scaledMap(), map);
    EXPECT_EQ(d.tablet.recordOn().depth(), depth);
    EXPECT_TRUE(d.tablet.recordOn());
    EXPECT_TRUE(d.tablet.sketch().isNull());  // a failed replay is not recorded
    for (vcRecordingScope* s : {&d.image, &d.overlay}) {
      EXPECT_EQ(s->lockDepth(), 0);
      long on = 0, off = 0;
      for (const vcScopeCall& c : s->calls("optimizeDrawing")) (c.ints[0] ? on : off)++;
      EXPECT_EQ(on, off);
    }
    // The records before the bad one were drawn.
    EXPECT_EQ(d.image.calls("draw(vcPoint)").empty(), layer == O);
  }
}

TEST(SketchReplay, EncloseRectMeasuresWithoutDrawing) {
  vcUITablet rec;
  vcGraphicProps thick = P;
  thick.penWidth(5);
  rec.draw(vcLineSeg(V(10, 20), V(30, 40)), thick, I);
  rec.draw(vcPoint(50, 60), P, I);

  Drawn d;
  EXPECT_EQ(d.tablet.encloseRect(rec.sketch(), vcPoint(0, 0), I), vcUIRect(8, 18, 44, 44));
  EXPECT_EQ(d.tablet.encloseRect(rec.sketch(), vcPoint(5, -5), I), vcUIRect(13, 13, 44, 44));
  EXPECT_TRUE(d.image.log().empty());

  Drawn scaled(vcXform<2>::scale(2, 2));
  EXPECT_EQ(scaled.tablet.encloseRect(rec.sketch(), vcPoint(0, 0), I), vcUIRect(18, 38, 84, 84));

  // A pixel stroke is widened by half the pen, like a client-coordinate one.
  vcUITablet pels;
  pels.drawStart(vcPoint(100, 100), I);
  pels.drawToRelPels(10, 0, thick, I);
  EXPECT_EQ(d.tablet.encloseRect(pels.sketch(), vcPoint(0, 0), I), vcUIRect(98, 98, 15, 5));

  vcUITablet imageOnly(&d.image, nullptr);
  EXPECT_TRUE(imageOnly.encloseRect(rec.sketch(), vcPoint(0, 0), O).isNull());
}

// Replay refills one image per record class from record to record: a scope
// that copies what it is given sees each record's own pixels, and an image a
// scope still holds from an earlier record keeps its pixels.
TEST(SketchReplay, ImagesReplayWithTheirOwnPixelsWhetherTheScopeHoldsThemOrNot) {
  struct Keeper : vcRecordingScope {
    explicit Keeper(bool hold) : vcRecordingScope(vcPair<long>(0, 0), vcPair<long>(200, 100)), hold(hold) {}
    void draw(const vcPelBuffer_const<unsigned char>& img, const vcPoint&, bool, unsigned char, bool) override {
      pels.push_back(hold ? img : img.clone());
    }
    void draw(const vcRLEBuffer& img, const vcPoint&, const std::vector<unsigned char>&, bool, unsigned char) override {
      runs.push_back(hold ? img : vcRLEBuffer::encode(img.decode()));
    }
    bool hold;
    std::vector<vcPelBuffer_const<unsigned char>> pels;
    std::vector<vcRLEBuffer> runs;
  };
  std::vector<vcPelBuffer<unsigned char>> images;
  vcUITablet rec;
  for (int k = 0; k < 3; ++k) {
    vcPelBuffer<unsigned char> img(6, 3);
    for (long y = 0; y < 3; ++y)
      for (long x = 0; x < 6; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(k * 10 + (x < k ? 1 : y));
    images.push_back(img);
    rec.draw(img, vcPoint(k, 0), false, 0, false, I);
    rec.draw(vcRLEBuffer::encode(img), vcPoint(k, 0), std::vector<unsigned char>{}, false, 0, false, I);
  }
  for (const bool hold : {false, true}) {
    Keeper scope(hold);
    vcUITablet tablet(&scope, nullptr);
    tablet.visible(true);
    for (int pass = 0; pass < 2; ++pass) tablet.draw(rec.sketch(), vcPoint(0, 0), I);
    ASSERT_EQ(scope.pels.size(), 6u);
    ASSERT_EQ(scope.runs.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
      EXPECT_TRUE(scope.pels[i] == images[i % 3]) << "hold " << hold << " record " << i;
      EXPECT_TRUE(scope.runs[i].decode() == images[i % 3]) << "hold " << hold << " record " << i;
    }
  }
}

// A click names the record whose ink lies nearest, as the tablet shows the
// sketch (map and offset included), and nothing beyond the radius.
TEST(SketchPick, NearestRecordIsTheOneDrawnNearestThePixel) {
  vcUITablet rec;
  const vcGraphicProps thin(vcColor(1, 2, 3), 1, vcGraphicProps::ePenSolid, false);
  const vcGraphicProps filled(vcColor(1, 2, 3), 1, vcGraphicProps::ePenSolid, true);
  rec.draw(vcLineSeg(V(0, 0), V(10, 0)), thin, I);                        // record 0
  rec.draw(vcCircle(V(30, 0), 5), P, I);                                  // record 1: props, then head
  rec.draw(vcEllipse(V(60, 0), V(4, 4), vcRadian(0)), filled, I);         // record 2
  rec.draw(vcLineSeg(V(0, 10), V(10, 10)), thin, O);                      // record 3, overlay only
  const vcUISketch sketch = rec.sketch();
  // Mirrored and scaled by 2, shifted: client x maps to 190 - 2x, y to 2y + 30,
  // after the replay offset of (0, 5).
  Drawn d(vcXform<2>(vcMatrix<2>(-2, 0, 0, 2), V(190, 30)));
  const auto at = [](double x, double y) { return V(190 - 2 * x, 2 * (y + 5) + 30); };
  struct Case {
    V pixel;
    long record;
    double distance;
  } cases[] = {
      {at(5, 0) + V(0, 3), 0, 2.5},    // 3 pixels off a 1-pixel line
      {at(30, 0) + V(13, 0), 1, 2.0},  // circle of radius 10 pixels, pen 2
      {at(60, 0), 2, 0.0},             // inside the filled ellipse
      {at(60, 0) + V(0, 7), 2, 0.0},
  };
  for (const Case& c : cases) {
    const std::optional<vcUISketchPick> pick = d.tablet.nearestRecord(sketch, vcPoint(0, 5), c.pixel, 50.0, I);
    ASSERT_TRUE(pick.has_value());
    EXPECT_EQ(pick->record, c.record);
    EXPECT_NEAR(pick->distance, c.distance, 1e-9);
  }
  const std::optional<vcUISketchPick> second = d.tablet.nearestRecord(sketch, vcPoint(0, 5), at(30, 0), 50.0, I);
  ASSERT_TRUE(second.has_value());
  // A mark lies on a record boundary: record 1 starts with its props record.
  EXPECT_EQ(sketch.data()[second->offset], static_cast<unsigned char>(vcUISketch::kPropsMarker));
  EXPECT_FALSE(d.tablet.nearestRecord(sketch, vcPoint(0, 5), at(30, 0) + V(100, 0), 5.0, I).has_value());
  const std::optional<vcUISketchPick> overlay = d.tablet.nearestRecord(sketch, vcPoint(0, 5), at(60, 0), 500.0, O);
  ASSERT_TRUE(overlay.has_value());
  EXPECT_EQ(overlay->record, 3);
  EXPECT_THROW(d.tablet.nearestRecord(sketch, vcPoint(0, 5), V(NAN, 0), 1.0, I), vcBadArgument);
}
