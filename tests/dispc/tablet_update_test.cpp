#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <vc/core/rle.h>
#include <vc/uierror.h>

#include "support/recording_scope.h"

namespace {

using Layers = vcUITablet::Layers;
constexpr Layers kImage = vcUITablet::eImage;
constexpr Layers kOverlay = vcUITablet::eOverlay;
constexpr Layers kBoth = vcUITablet::eBoth;

std::string text(const vcUIRect& r) {
  return "[" + std::to_string(r.left()) + "," + std::to_string(r.top()) + "," + std::to_string(r.width()) + "," +
         std::to_string(r.height()) + "]";
}

using Painter = vcLoggingTablet;

// A parent tablet P (100 x 100) with three overlapping kids stacked A, B, C,
// all shown in that order and with nothing left to update.
struct Stack {
  vcRecordingScope root{vcPair<long>(0, 0), vcPair<long>(100, 100)};
  std::vector<std::string> log;
  Painter p{"P", log, &root};
  Painter a{"A", log, p, vcUIRect(0, 0, 50, 50)};
  Painter b{"B", log, p, vcUIRect(20, 20, 50, 50)};
  Painter c{"C", log, p, vcUIRect(40, 40, 50, 50)};

  Stack() {
    p.visible(true);
    // Tablets holding the newest stamp take no new one, and a fresh process
    // starts with every stamp equal: move the clock so that each stamp below
    // is distinct.
    p.update(vcUIRect(0, 0, 1, 1), kImage, true);
    for (Painter* t : {&a, &b, &c}) t->visible(true);
    p.update(kImage);
    log.clear();
    root.clearLog();
  }

  // The clip rectangles update asked of the tablets' scopes, "name[rect]" in order.
  std::vector<std::string> clips(std::initializer_list<const Painter*> tablets) const {
    std::map<const vcUIScope*, std::string> names;
    for (const Painter* t : tablets) names[t->ownScope(kImage)] = t->name();
    std::vector<std::string> out;
    for (const vcScopeCall& call : root.calls("newChild"))
      if (call.ints.at(0) == 1) out.push_back(names[call.scope] + text(call.rect));
    return out;
  }
  std::vector<vcUITablet*> order() const {
    std::vector<vcUITablet*> out;
    for (vcUITablet* t = p.firstKid(); t; t = t->nextSib()) out.push_back(t);
    return out;
  }
};

using Strings = std::vector<std::string>;

}  // namespace

TEST(TabletUpdate, RepaintsOnlyTabletsAboveThatAreOlderThanTheChange) {
  Stack s;
  s.p.update(kImage);  // shown in stacking order: nothing to repaint
  EXPECT_TRUE(s.log.empty());
  s.a.set(vcUIRect(10, 10, 40, 40), vcColor::red, kImage);
  s.b.redraw(kImage);  // B is newer than A's drawing and stays; C is older and is repainted
  s.log.clear();
  s.root.clearLog();
  s.a.update(kImage);
  EXPECT_EQ(s.log, Strings({"C"}));
  EXPECT_EQ(s.clips({&s.a, &s.b, &s.c}), Strings({"C[-30,-30,40,40]"}));
  EXPECT_FALSE(s.a.ownScope(kImage)->someChanged());
  EXPECT_TRUE(s.b.ownScope(kImage)->someChanged());  // B's own redraw is B's to pass on

  // Once one tablet is repainted, every later one is, however new it is.
  s.a.set(vcUIRect(10, 10, 40, 40), vcColor::red, kImage);
  s.c.redraw(kImage);
  s.log.clear();
  s.root.clearLog();
  s.a.update(kImage);
  EXPECT_EQ(s.log, Strings({"B", "C"}));
  EXPECT_EQ(s.clips({&s.a, &s.b, &s.c}), Strings({"B[-10,-10,40,40]", "C[-30,-30,40,40]"}));
  for (vcRecordingScope* scope : s.root.liveChildren()) EXPECT_EQ(scope->lockDepth(), 0);
  EXPECT_EQ(s.root.liveChildren().size(), 3u);  // the clip scopes are gone
}

TEST(TabletUpdate, FullDrawGoesDepthFirstAndAKidsChangeRepaintsTabletsAboveItsAncestors) {
  Stack s;
  Painter k("K", s.log, s.a, vcUIRect(25, 25, 20, 20));
  k.visible(true);
  s.log.clear();
  s.p.fullDraw(kBoth);
  EXPECT_EQ(s.log, Strings({"P", "A", "K", "B", "C"}));
  s.p.update(kImage);
  // K draws after B and C were last repainted; both lie above its parent A.
  k.set(vcUIRect(0, 0, 5, 5), vcColor::red, kImage);
  s.log.clear();
  s.root.clearLog();
  s.p.update(kImage);
  EXPECT_EQ(s.log, Strings({"B", "C"}));
  EXPECT_EQ(s.clips({&s.b, &s.c}), Strings({"B[5,5,5,5]", "C[-15,-15,5,5]"}));
}

TEST(TabletUpdate, RectangleUpdateClipsRedrawAndReportsWhatWasPainted) {
  Stack s;
  bool inside = false;
  s.p.during = [&](Painter& t) {
    inside = true;
    EXPECT_TRUE(t.updating());
    EXPECT_NE(t.drawScope(kImage), t.ownScope(kImage));
  };
  s.p.opaque(kImage, false);
  s.p.update(vcUIRect(30, 30, 20, 20), kImage, true);
  EXPECT_TRUE(inside);
  EXPECT_FALSE(s.p.updating());
  EXPECT_EQ(s.p.drawScope(kImage), s.p.ownScope(kImage));
  EXPECT_EQ(s.log, Strings({"P"}));  // this tablet only
  EXPECT_EQ(s.p.ownScope(kImage)->changeRect(), vcUIRect(30, 30, 20, 20));
  EXPECT_FALSE(s.p.opaque(kImage));
  // The painted rectangle goes to the own scope with the clip's opaque hint.
  s.p.update(vcUIRect(0, 0, 100, 100), kImage, true);
  EXPECT_TRUE(s.p.ownScope(kImage)->allChanged());
  EXPECT_TRUE(s.p.opaque(kImage));
}

TEST(TabletUpdate, RectangleUpdateOfKidsSkipsHiddenTabletsAndTheirKids) {
  Stack s;
  Painter k("K", s.log, s.b, vcUIRect(0, 0, 10, 10));
  k.visible(true);
  s.b.visible(false);
  s.p.set(vcUIRect(5, 5, 10, 10), vcColor::red, kImage);
  s.log.clear();
  s.p.update(vcUIRect(0, 0, 100, 100), kImage, false);
  EXPECT_EQ(s.log, Strings({"P", "A", "C"}));
  EXPECT_FALSE(s.p.ownScope(kImage)->someChanged());  // painted over: nothing left to pass on
  // A change reaching outside the repainted rectangle is kept.
  s.p.set(vcUIRect(5, 5, 10, 10), vcColor::red, kImage);
  s.p.update(vcUIRect(0, 0, 8, 8), kImage, false);
  EXPECT_EQ(s.p.ownScope(kImage)->changeRect(), vcUIRect(5, 5, 10, 10));
  EXPECT_THROW(s.p.update(vcUIRect(0, 0, 1, 1), kBoth, false), vcUIError::BadLayer);
}

TEST(TabletUpdate, FrontRepaintsTheOverlapsThenItself) {
  Stack s;
  s.a.front();
  EXPECT_EQ(s.order(), std::vector<vcUITablet*>({&s.b, &s.c, &s.a}));
  EXPECT_EQ(s.clips({&s.a}), Strings({"A[20,20,30,30]", "A[40,40,10,10]", "A[0,0,50,50]"}));
  EXPECT_EQ(s.a.ownScope(kImage)->changeRect(), vcUIRect(0, 0, 50, 50));
  EXPECT_EQ(s.log, Strings({"A", "A", "A"}));

  // Hidden tablets cover nothing; a hidden tablet brought to the front paints
  // nothing but still reports the overlaps and stamps itself for each.
  Stack t;
  t.b.visible(false);
  t.a.visible(false);
  t.a.ownScope(kImage)->noChange();
  t.root.clearLog();
  t.log.clear();
  const std::uint32_t before = vcUITablet::timeStamp();
  t.a.front();
  EXPECT_EQ(t.clips({&t.a}), Strings({"A[40,40,10,10]"}));
  EXPECT_TRUE(t.log.empty());
  EXPECT_EQ(t.a.ownScope(kImage)->changeRect(), vcUIRect(40, 40, 10, 10));
  EXPECT_EQ(vcUITablet::timeStamp(), before + 1);
}

TEST(TabletUpdate, BackLetsTheTabletsNowAboveRepaintOverIt) {
  Stack s;
  s.c.back();
  EXPECT_EQ(s.order(), std::vector<vcUITablet*>({&s.c, &s.a, &s.b}));
  EXPECT_TRUE(s.c.ownScope(kImage)->allChanged());
  EXPECT_TRUE(s.log.empty());  // nothing is painted until the update
  s.c.update(kImage);
  EXPECT_EQ(s.log, Strings({"A", "B"}));
  EXPECT_EQ(s.clips({&s.a, &s.b}), Strings({"A[40,40,50,50]", "B[20,20,50,50]"}));
}

TEST(TabletUpdate, RedrawSwitchesRecordingOffAndRestoresEverythingEvenOnThrow) {
  vcRecordingScope root(vcPair<long>(0, 0), vcPair<long>(10, 10));
  Strings log;
  Painter p("P", log, &root);
  p.recordOn() = true;
  p.visible(true);
  p.during = [&](Painter& t) {
    EXPECT_FALSE(t.recordOn());
    EXPECT_EQ(t.updateLayers(), kImage);
    EXPECT_TRUE(t.screenUpdatesLocked(kImage));
  };
  p.redraw(kImage);
  EXPECT_EQ(p.sketch().size(), 0);  // the repaint is not recorded
  EXPECT_TRUE(p.recordOn());

  p.during = [](Painter&) { throw std::runtime_error("hook failed"); };
  EXPECT_THROW(p.redraw(kImage), std::runtime_error);
  EXPECT_EQ(p.recordOn().depth(), 1);
  EXPECT_EQ(p.updateLayers(), kBoth);
  EXPECT_EQ(root.lockDepth(), 0);
  EXPECT_THROW(p.update(vcUIRect(0, 0, 5, 5), kImage, true), std::runtime_error);
  EXPECT_FALSE(p.updating());
  EXPECT_EQ(p.drawScope(kImage), p.ownScope(kImage));
  EXPECT_TRUE(root.liveChildren().empty());
  EXPECT_EQ(root.lockDepth(), 0);
}

TEST(TabletUpdate, ChangeRecordsPerLayer) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcRecordingScope overlay(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcUITablet both(&image, &overlay);
  vcUITablet imageOnly(&image, nullptr);
  EXPECT_FALSE(both.recordChanges());
  overlay.clientChangeEnable(true);
  EXPECT_TRUE(both.recordChanges());  // either layer counts
  both.recordChanges(true);
  image.change(vcUIRect(-5, 1, 10, 2));
  overlay.change(vcUIRect(3, 4, 5, 6));
  vcUIRect changes[2];
  both.getChanges(changes, true);
  EXPECT_EQ(changes[0], vcUIRect(-5, 1, 10, 2));  // as reported, not clipped
  EXPECT_EQ(changes[1], vcUIRect(3, 4, 5, 6));

  changes[1] = vcUIRect(1, 1, 1, 1);
  imageOnly.getChanges(changes, false);
  EXPECT_EQ(changes[0], vcUIRect(-5, 1, 10, 2));
  EXPECT_EQ(changes[1], vcUIRect::null);
  EXPECT_FALSE(image.clientChangeEnable());  // not kept tracking
  EXPECT_TRUE(overlay.clientChangeEnable());
  EXPECT_THROW(both.getChanges(nullptr, true), vcBadPointer);
}

TEST(TabletUpdate, ForwardedSwitchesReachTheRightScopesAndRefuseBadLayers) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcRecordingScope overlay(vcPair<long>(0, 0), vcPair<long>(50, 50), true);
  vcUITablet t(&image, &overlay);
  t.lockScreenUpdatesPush(true, kBoth);
  EXPECT_TRUE(t.screenUpdatesLocked(kImage));
  EXPECT_FALSE(t.screenUpdatesLocked(kOverlay));  // a scope without surface is not asked
  t.lockScreenUpdatesPop(kOverlay);
  EXPECT_EQ(overlay.lockDepth(), 0);
  EXPECT_EQ(image.lockDepth(), 1);
  EXPECT_THROW(t.screenUpdatesLocked(kBoth), vcUIError::BadLayer);

  image.clearLog();
  for (Layers l : {kImage, kOverlay}) {
    t.optimizeDrawing(true, l);
    t.dragStart(l);
    t.dragAnimate(true, l);
    t.dragErase(l);
    t.dragStop(l);
  }
  EXPECT_EQ(image.logText(),
            "[0] optimizeDrawing(1)\n[0] dragStart()\n[0] dragAnimate(1)\n[0] dragErase()\n[0] dragStop()\n");
  // The overlay has no surface: it gets the optimisation switch only.
  EXPECT_EQ(overlay.calls("optimizeDrawing").size(), 1u);
  EXPECT_TRUE(overlay.calls("dragStart").empty());
}

TEST(TabletUpdate, DragDelShiftsOnlyThisTabletsMapUntilTheMapIsRebuilt) {
  vcRecordingScope root(vcPair<long>(0, 0), vcPair<long>(100, 100));
  Strings log;
  Painter p("P", log, &root);
  Painter k("K", log, p, vcUIRect(0, 0, 10, 10));
  p.visible(true);
  k.visible(true);
  p.scaleExact(vcPair<double>(2.0, 2.0));
  log.clear();
  p.dragDel(vcPair<long>(5, 5));
  p.dragDel(vcPair<long>(3, -4));  // a second drag replaces the first
  EXPECT_EQ(p.scaledMap(), vcXform<2>(vcMatrix<2>(2, 0, 0, 2), vcVector<2>(3, -4)));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(k.scaledMap(), vcXform<2>::I);
  p.baseMap(vcXform<2>::I);
  EXPECT_EQ(p.dragDel(), vcPair<long>(0, 0));
  EXPECT_EQ(p.scaledMap().trans(), vcVector<2>(0, 0));
}

TEST(TabletUpdate, IconsMapDigitsAndTouchOnlyTheirDrawnCells) {
  const vcPelBuffer<unsigned char> pels = vcUITablet::makeIcon("/01/10", {5, 7}).decode();
  ASSERT_EQ(pels.width(), 2);
  ASSERT_EQ(pels.height(), 2);
  EXPECT_EQ(*pels.pointToPel(0, 0), 5);
  EXPECT_EQ(*pels.pointToPel(1, 0), 7);
  // A digit beyond the colors stands for itself; background is the pass index.
  const vcPelBuffer<unsigned char> row = vcUITablet::makeIcon("|9 .+|", {}).decode();
  ASSERT_EQ(row.width(), 4);
  EXPECT_EQ(*row.pointToPel(0, 0), 9);
  for (long x = 1; x < 4; ++x) EXPECT_EQ(*row.pointToPel(x, 0), vcColor::pass.index());
  for (const char* bad : {"/01/1", "/01/100", "/0x", "/01//10", "/", "", "//"})
    EXPECT_THROW(vcUITablet::makeIcon(bad, {}), vcUIError::BadIconPattern) << bad;
  EXPECT_THROW(vcUITablet::makeIcon(nullptr, {}), vcUIError::BadIconPattern);

  const char* pattern = "/+0./ 00/";
  const long big = std::numeric_limits<long>::max();
  const struct {
    long x, y, stride;
    bool touched;
  } cells[] = {{0, 0, -1, true},  {1, 0, -1, true},  {2, 0, -1, false},  {3, 0, -1, false},
               {0, 1, -1, false}, {2, 1, 4, true},   {0, 2, -1, false},  {-1, 0, -1, false},
               {0, -1, -1, false}, {1, big, -1, false}, {big, 0, big, false}};
  for (const auto& c : cells)
    EXPECT_EQ(vcUITablet::iconTouched(pattern, vcPair<long>(c.x, c.y), c.stride), c.touched) << c.x << "," << c.y;
  EXPECT_FALSE(vcUITablet::iconTouched(nullptr, vcPair<long>(0, 0), -1));
  // Every drawn pixel of the point icon is touched; with the "+" cells, 85 are.
  const vcPelBuffer<unsigned char> icon = vcUITablet::pointIcon().decode();
  int touched = 0;
  for (long y = -8; y <= 8; ++y)
    for (long x = -8; x <= 8; ++x) {
      const bool t = vcUITablet::pointIconTouched(vcPair<long>(x, y));
      touched += t;
      if (x < -6 || x > 6 || y < -6 || y > 6) {
        EXPECT_FALSE(t) << x << "," << y;
      } else if (*icon.pointToPel(x + 6, y + 6) == 0) {
        EXPECT_TRUE(t) << x << "," << y;
      }
    }
  EXPECT_EQ(touched, 85);
}
