#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <vector>

#include <vc/uierror.h>
#include <vc/uiscope.h>
#include <vc/uistring.h>

#include "support/bytes.h"
#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

namespace {

using Rec = vcTestRecord;
std::vector<unsigned char> bytesOf(const vcColor& c) { return vcTestBytes().color(c).bytes(); }

// A visible, drawing and recording root tablet on a 100 x 100 image scope.
struct Drawn {
  vcRecordingScope scope{vcPair<long>(0, 0), vcPair<long>(100, 100)};
  vcUITablet tablet{&scope, nullptr};
  Drawn() {
    tablet.visible(true);
    tablet.recordOn() = true;
    scope.clearLog();
  }
};

// A tablet that counts its repaints.
struct Painter : vcUITablet {
  using vcUITablet::vcUITablet;
  int redraws = 0;
  void redraw_() override { ++redraws; }
};

const vcUITablet::Layers I = vcUITablet::eImage, O = vcUITablet::eOverlay, B = vcUITablet::eBoth;

}  // namespace

TEST(TabletArea, SetConvertsClientRectToScopePixels) {
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
  EXPECT_EQ(d.scope.calls("set(all)").size(), 1u);
  EXPECT_EQ(d.scope.calls("newDisplayClipRect").size(), 2u);  // clipped again

  d.tablet.set(vcColor::red, B);
  r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].layer, 2);
  EXPECT_TRUE(r[0].withProps);
  d.tablet.set(vcColor::red, O);  // the overlay's clip rectangle was never set
  EXPECT_EQ(vfTestRecords(d.tablet.sketch()).size(), 1u);
}

TEST(TabletArea, SetComplementTilesTheOutsideLikeAPinwheelAndRecordsOnce) {
  Drawn d;
  d.tablet.setComplement(vcUIRect(10, 20, 30, 40), vcColor::blue, I);
  d.tablet.setComplement(vcRect(10, 20, 30, 40), vcColor::blue, I);
  const auto c = d.scope.calls("set(rect)");
  ASSERT_EQ(c.size(), 8u);
  const vcUIRect bands[4] = {vcUIRect(0, 0, 40, 20), vcUIRect(40, 0, 60, 60), vcUIRect(10, 60, 90, 40),
                             vcUIRect(0, 20, 10, 80)};
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(c[i].rect, bands[i % 4]) << i;
  EXPECT_EQ(d.scope.log().front().op, "lockScreenUpdatesPush");
  EXPECT_EQ(d.scope.log()[5].op, "lockScreenUpdatesPop");
  const std::vector<Rec> r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1].op, 18);
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
  const long size = t.sketch().size();
  EXPECT_THROW(t.drawClipRect(vcRect(5, 5, 5, 5), static_cast<vcUITablet::Layers>(3)), vcUIError::BadLayer);
  EXPECT_EQ(t.sketch().size(), size);
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
  EXPECT_EQ(root.redraws, 2);
  EXPECT_EQ(scope.calls("newChild").back().rect, vcUIRect(15, 15, 20, 20));
  EXPECT_FALSE(kid.modified(I));
  kid.erase(I);  // nothing left to erase
  EXPECT_EQ(root.redraws, 2);
  for (const vcRecordingScope* s : scope.liveChildren()) EXPECT_EQ(s->lockDepth(), 0);

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
