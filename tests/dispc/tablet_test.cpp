// The tablet tree: links, scopes, hiding, moving, maps and copies; then
// updates, stacking order, repaints and the forwarded scope switches.
#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <vc/core/exception.h>
#include <vc/core/rle.h>
#include <vc/uierror.h>

#include "support/recording_scope.h"

namespace {

using Layers = vcUITablet::Layers;
constexpr Layers kImage = vcUITablet::eImage;
constexpr Layers kOverlay = vcUITablet::eOverlay;
constexpr Layers kBoth = vcUITablet::eBoth;
using Strings = std::vector<std::string>;
using Painter = vcLoggingTablet;

// A root scope that reports its own deletion.
class WatchedScope : public vcRecordingScope {
public:
  WatchedScope(bool& deleted) : vcRecordingScope(vcPair<long>(0, 0), vcPair<long>(60, 40)), deleted_(deleted) {}
  ~WatchedScope() override { deleted_ = true; }

private:
  bool& deleted_;
};

vcRecordingScope* recording(vcUIScope* s) { return static_cast<vcRecordingScope*>(s); }

// The rectangles of the clip scopes asked of a scope tree, in order.
std::vector<vcUIRect> clipRects(const vcRecordingScope& root) {
  std::vector<vcUIRect> out;
  for (const vcScopeCall& c : root.calls("newChild"))
    if (c.ints.at(0) == 1) out.push_back(c.rect);
  return out;
}

size_t pointDraws(const vcRecordingScope& s) { return s.calls("draw(vcPoint)").size(); }

// A root P on a 100 x 100 scope with kid K at (10, 10, 20, 20) and its kid G, all shown.
struct Family {
  vcRecordingScope root{vcPair<long>(0, 0), vcPair<long>(100, 100)};
  Strings log;
  Painter p{"P", log, &root};
  Painter k{"K", log, p, vcUIRect(10, 10, 20, 20)};
  Painter g{"G", log, k, vcUIRect(0, 0, 5, 5)};
  Family() {
    for (Painter* t : {&p, &k, &g}) t->visible(true);
    k.modified(kImage, true);
    log.clear();
    root.clearLog();
  }
};

}  // namespace

// The other refusals (hidden, drawing off, both layers, no scope) run for
// every operation in tablet_shapes_test.
TEST(Tablet, OverlaySwitchAndSurfacelessScopes) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcRecordingScope overlay(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcUITablet t(&image, &overlay);
  const vcPoint p(1, 2);
  t.visible(true);
  t.drawOnOverlay() = false;
  t.draw(p, vcColor::red, kOverlay);
  EXPECT_EQ(pointDraws(overlay), 0u);
  t.drawOnOverlay() = true;
  t.draw(p, vcColor::red, kOverlay);
  EXPECT_EQ(pointDraws(overlay), 1u);

  // A scope without a surface takes drawing only while it tracks client changes.
  vcRecordingScope none(vcPair<long>(0, 0), vcPair<long>(0, 0), true);
  vcUITablet n(&none, nullptr);
  n.visible(true);
  n.draw(p, vcColor::red, kImage);
  EXPECT_EQ(pointDraws(none), 0u);
  n.recordChanges(true);
  n.draw(p, vcColor::red, kImage);
  EXPECT_EQ(pointDraws(none), 1u);
}

TEST(Tablet, TreeLinksAndWhatEachDestructionLeaves) {
  vcRecordingScope root(vcPair<long>(0, 0), vcPair<long>(100, 100));
  Strings log;
  auto p = std::make_unique<Painter>("P", log, &root);
  Painter a("A", log, *p, vcUIRect(10, 20, 30, 40));
  auto b = std::make_unique<Painter>("B", log, *p, vcUIRect(50, 50, 10, 10));
  Painter c("C", log, *p, vcUIRect(0, 0, 5, 5));
  Painter g("G", log, a, vcUIRect(5, 5, 10, 10));
  EXPECT_EQ(p->numKids(), 3);
  EXPECT_EQ(b->prevSib(), &a);
  EXPECT_EQ(b->nextSib(), &c);
  EXPECT_EQ(g.absRect(), vcUIRect(15, 25, 10, 10));
  EXPECT_EQ(recording(a.ownScope(kImage))->attachedRect(), vcUIRect(10, 20, 30, 40));

  // A visible kid is erased on its way out: the opaque parent repaints its area.
  p->visible(true);
  b->visible(true);
  b->modified(kImage, true);
  log.clear();
  b.reset();
  EXPECT_EQ(log, Strings({"P"}));
  EXPECT_EQ(clipRects(root), std::vector<vcUIRect>({vcUIRect(50, 50, 10, 10)}));
  EXPECT_EQ(root.liveChildren().size(), 3u);

  // The parent going first leaves its kids alive, parentless and without scopes.
  p.reset();
  EXPECT_EQ(a.parent(), nullptr);
  EXPECT_EQ(g.currentScope(kImage), vcUIRect::null);
  EXPECT_TRUE(root.liveChildren().empty());
  a.draw(vcPoint(1, 1), vcColor::red, kImage);
}

TEST(Tablet, SetParentMovesTheKidAndItsKidsOntoFreshScopesButMakesNoCycle) {
  Family f;
  Painter q("Q", f.log, f.p, vcUIRect(30, 30, 40, 40));
  q.visible(true);
  f.k.modified(kImage, false);
  f.log.clear();
  f.k.setParent(q, vcUIRect(10, 10, 20, 20));
  EXPECT_EQ(f.k.oldParent, &f.p);
  EXPECT_EQ(q.lastKid(), &f.k);
  // Same rectangle, new parent: the absolute origins follow the parent.
  EXPECT_EQ(f.g.scopeOrg(), vcPair<long>(40, 40));
  EXPECT_EQ(recording(f.k.ownScope(kImage))->parent(), q.ownScope(kImage));
  EXPECT_EQ(f.root.liveChildren().size(), 3u);  // the old sub-scopes are gone
  // Each kid is shown again as it moves, then the tablet with its kids.
  EXPECT_EQ(f.log, Strings({"G", "K", "G"}));
  EXPECT_THROW(f.k.setParent(f.g, vcUIRect(0, 0, 5, 5)), vcBadArgument);
  EXPECT_EQ(f.k.parent(), &q);
}

TEST(Tablet, HidesAndShowsAreCountedAndOnlyTransitionsEraseOrDraw) {
  Family f;
  EXPECT_TRUE(f.p.opaque(kImage));  // its repaint covered it whole
  EXPECT_FALSE(f.k.visible(true));
  EXPECT_TRUE(f.k.visible(false));
  EXPECT_EQ(f.log, Strings({"P"}));  // the parent repaints what the kid covered
  EXPECT_EQ(clipRects(f.root), std::vector<vcUIRect>({vcUIRect(10, 10, 20, 20)}));
  EXPECT_FALSE(f.k.visible(false));
  EXPECT_FALSE(f.k.visible(true));
  EXPECT_TRUE(f.k.visible(true));
  EXPECT_EQ(f.log, Strings({"P", "K", "G"}));
}

TEST(Tablet, ScopeRectErasesOnlyWhenTheNewRectangleLeavesPartOfTheOld) {
  Family f;
  f.k.size(vcPair<long>(30, 30));  // grows: repainted in place
  EXPECT_EQ(f.log, Strings({"K:resize", "K"}));
  EXPECT_TRUE(clipRects(f.root).empty());
  f.log.clear();
  f.k.moveRel(vcPair<long>(5, 0));
  EXPECT_EQ(f.log, Strings({"P", "K:move", "K", "G"}));
  EXPECT_EQ(clipRects(f.root), std::vector<vcUIRect>({vcUIRect(10, 10, 30, 30)}));
  f.log.clear();
  f.k.moveAbs(vcPair<long>(15, 10));
  EXPECT_TRUE(f.log.empty());
  // A hidden tablet moves without erasing or drawing, and stays hidden.
  f.k.visible(false);
  f.log.clear();
  f.k.scopeRect(vcUIRect(60, 60, 10, 10));
  EXPECT_EQ(f.log, Strings({"K:move", "K:resize"}));
  EXPECT_FALSE(f.k.visible());
}

TEST(Tablet, ScaleModesMapsAndScopeCoords) {
  Family f;
  const vcXform<2> base = vcXform<2>::translation(vcVector<2>(5, 7));
  f.p.baseMap(base);
  EXPECT_EQ(f.log, Strings({"K:parentMap", "P"}));
  f.p.scaleExact(vcPair<double>(1.0000005, 3.0));  // the x factor alone decides
  EXPECT_EQ(f.p.scaleMode(), vcUITablet::eNoScale);
  EXPECT_EQ(f.p.scaledMap(), base);
  f.p.scaleExact(vcPair<double>(0.5, 0.5));
  EXPECT_EQ(f.p.scaleMode(), vcUITablet::eSample);
  EXPECT_EQ(f.p.scale(), vcPair<long>(2, 2));
  f.p.scaleExact(vcPair<double>(3, 2));
  EXPECT_EQ(f.p.scaleMode(), vcUITablet::eExpand);
  EXPECT_EQ(f.p.scaledMap().mapPoint(vcVector<2>(1, 1)), vcVector<2>(18, 16));
  // A zero factor has no whole form; asking for it must not overflow.
  f.p.scaleExact(vcPair<double>(0.0, 0.25));
  EXPECT_EQ(f.p.scale(), vcPair<long>(0, 4));

  vcUITablet t(&f.root, nullptr);
  vcUITablet k(t, vcUIRect(20, 30, 10, 10));
  EXPECT_EQ(t.scopeCoords(vcPoint(2.9999999999999, -0.5)), vcPair<long>(3, -1));
  EXPECT_EQ(k.screenCoords(vcPoint(1.5, 2)), vcPair<long>(21, 32));
  t.scaleExact(vcPair<double>(4, 4));
  EXPECT_EQ(t.tabletCoords(vcPair<long>(6, 2)), vcPoint(1.5, 0.5));
}

// A copy takes the values but never shares what would be deleted twice or
// left dangling: a root copy draws on the scopes the root was given (not on
// one it owns), a child copy is a new kid of the same parent with sub-scopes
// of its own, and no copy takes kids. The sanitizers catch a double delete.
TEST(Tablet, CopiesTakeTheValuesButNeitherOwnedScopesNorKids) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(100, 100));
  bool overlayDeleted = false;
  auto root = std::make_unique<vcUITablet>(&image, nullptr);
  root->setScope(kOverlay, new WatchedScope(overlayDeleted), true);
  root->baseMap(vcXform<2>::translation(vcVector<2>(3, 4)));
  root->recordOn() = true;
  root->recordOn().push(false);
  root->visible(true);
  auto kid = std::make_unique<vcUITablet>(*root, vcUIRect(10, 20, 30, 40));
  auto grandkid = std::make_unique<vcUITablet>(*kid, vcUIRect(1, 2, 3, 4));
  kid->scaleExact(vcPair<double>(3.0, 3.0));

  auto rootCopy = std::make_unique<vcUITablet>(*root);
  EXPECT_EQ(rootCopy->scaledMap(), root->scaledMap());
  EXPECT_TRUE(rootCopy->recordOn()[1]);
  image.clearLog();
  rootCopy->draw(vcPoint(0, 0), vcColor::red, kImage);
  EXPECT_EQ(pointDraws(image), 1u);

  const std::size_t subScopes = image.liveChildren().size();
  auto kidCopy = std::make_unique<vcUITablet>(*kid);
  EXPECT_EQ(root->lastKid(), kidCopy.get());
  EXPECT_EQ(kidCopy->scaleExact(), vcPair<double>(3.0, 3.0));
  EXPECT_EQ(image.liveChildren().size(), subScopes + 1);

  // Gone in an order that would delete a shared scope twice.
  kid.reset();
  EXPECT_EQ(grandkid->parent(), nullptr);
  root.reset();
  EXPECT_TRUE(overlayDeleted);
  EXPECT_EQ(kidCopy->currentScope(kImage), vcUIRect::null);
}

// Assignment copies the values but keeps the target's place, kids and scopes;
// its sub-scope is attached again at the new rectangle.
TEST(Tablet, AssignmentKeepsTheTreeAndMovesTheOwnScopes) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(100, 100));
  vcUITablet root(&image, nullptr);
  vcUITablet a(root, vcUIRect(10, 20, 30, 40));
  vcUITablet b(root, vcUIRect(50, 50, 20, 20));
  vcUITablet bKid(b, vcUIRect(1, 1, 5, 5));
  vcUITablet inner(a, vcUIRect(2, 3, 4, 5));
  const std::size_t subScopes = image.liveChildren().size();
  image.clearLog();
  b = inner;
  EXPECT_EQ(root.lastKid(), &b);
  EXPECT_EQ(b.firstKid(), &bKid);
  EXPECT_EQ(image.liveChildren().size(), subScopes);
  ASSERT_FALSE(image.calls("attached").empty());
  EXPECT_EQ(image.calls("attached").front().rect, vcUIRect(2, 3, 4, 5));
  root = inner;  // a root stays at the origin of its tree
  EXPECT_EQ(root.currentScope(kImage), vcUIRect(0, 0, 100, 100));
}

namespace {

std::string text(const vcUIRect& r) {
  return "[" + std::to_string(r.left()) + "," + std::to_string(r.top()) + "," + std::to_string(r.width()) + "," +
         std::to_string(r.height()) + "]";
}

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

  // Once one tablet is repainted, every later one is, however new it is.
  s.a.set(vcUIRect(10, 10, 40, 40), vcColor::red, kImage);
  s.c.redraw(kImage);
  s.log.clear();
  s.root.clearLog();
  s.a.update(kImage);
  EXPECT_EQ(s.log, Strings({"B", "C"}));
  EXPECT_EQ(s.clips({&s.a, &s.b, &s.c}), Strings({"B[-10,-10,40,40]", "C[-30,-30,40,40]"}));
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

TEST(TabletUpdate, RectangleUpdateClipsRedrawReportsWhatWasPaintedAndSkipsHiddenKids) {
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
  EXPECT_EQ(s.log, Strings({"P"}));  // this tablet only
  EXPECT_EQ(s.p.ownScope(kImage)->changeRect(), vcUIRect(30, 30, 20, 20));

  // Kids are updated too, but for hidden tablets and their kids.
  Painter k("K", s.log, s.b, vcUIRect(0, 0, 10, 10));
  k.visible(true);
  s.b.visible(false);
  s.p.during = nullptr;
  s.p.set(vcUIRect(5, 5, 10, 10), vcColor::red, kImage);
  s.log.clear();
  s.p.update(vcUIRect(0, 0, 100, 100), kImage, false);
  EXPECT_EQ(s.log, Strings({"P", "A", "C"}));
  EXPECT_FALSE(s.p.ownScope(kImage)->someChanged());  // painted over: nothing left to pass on
  EXPECT_THROW(s.p.update(vcUIRect(0, 0, 1, 1), kBoth, false), vcUIError::BadLayer);
}

TEST(TabletUpdate, FrontRepaintsTheOverlapsThenItself) {
  Stack s;
  s.a.front();
  EXPECT_EQ(s.order(), std::vector<vcUITablet*>({&s.b, &s.c, &s.a}));
  EXPECT_EQ(s.clips({&s.a}), Strings({"A[20,20,30,30]", "A[40,40,10,10]", "A[0,0,50,50]"}));
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

  p.during = [](Painter&) { throw std::runtime_error("hook failed"); };
  EXPECT_THROW(p.redraw(kImage), std::runtime_error);
  EXPECT_EQ(p.recordOn().depth(), 1);
  EXPECT_EQ(p.updateLayers(), kBoth);
  EXPECT_EQ(root.lockDepth(), 0);
  EXPECT_THROW(p.update(vcUIRect(0, 0, 5, 5), kImage, true), std::runtime_error);
  EXPECT_FALSE(p.updating());
  EXPECT_TRUE(root.liveChildren().empty());
}

TEST(TabletUpdate, ChangeRecordsPerLayer) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcRecordingScope overlay(vcPair<long>(0, 0), vcPair<long>(50, 50));
  vcUITablet both(&image, &overlay);
  vcUITablet imageOnly(&image, nullptr);
  EXPECT_FALSE(both.recordChanges());
  overlay.clientChangeEnable(true);
  both.recordChanges(true);
  image.change(vcUIRect(-5, 1, 10, 2));
  overlay.change(vcUIRect(3, 4, 5, 6));
  vcUIRect changes[2];
  both.getChanges(changes, true);
  EXPECT_EQ(changes[0], vcUIRect(-5, 1, 10, 2));  // as reported, not clipped
  EXPECT_EQ(changes[1], vcUIRect(3, 4, 5, 6));

  changes[1] = vcUIRect(1, 1, 1, 1);
  imageOnly.getChanges(changes, false);
  EXPECT_EQ(changes[1], vcUIRect::null);
  EXPECT_FALSE(image.clientChangeEnable());  // not kept tracking
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
  EXPECT_EQ(image.log().size(), 5u);
  // The overlay has no surface: it gets the optimisation switch only.
  EXPECT_EQ(overlay.calls("optimizeDrawing").size(), 1u);
  EXPECT_TRUE(overlay.calls("dragStart").empty());
}

TEST(TabletUpdate, DragDelShiftsOnlyThisTabletsMapUntilTheMapIsRebuilt) {
  Family f;
  f.p.scaleExact(vcPair<double>(2.0, 2.0));
  f.p.dragDel(vcPair<long>(5, 5));
  f.p.dragDel(vcPair<long>(3, -4));  // a second drag replaces the first
  EXPECT_EQ(f.p.scaledMap(), vcXform<2>(vcMatrix<2>(2, 0, 0, 2), vcVector<2>(3, -4)));
  EXPECT_EQ(f.k.scaledMap(), vcXform<2>::I);
  f.p.baseMap(vcXform<2>::I);
  EXPECT_EQ(f.p.scaledMap().trans(), vcVector<2>(0, 0));
}

TEST(TabletUpdate, IconsMapDigitsAndTouchOnlyTheirDrawnCells) {
  const vcPelBuffer<unsigned char> pels = vcUITablet::makeIcon("/01/1 ", {5, 7}).decode();
  ASSERT_EQ(pels.width(), 2);
  EXPECT_EQ(*pels.pointToPel(1, 0), 7);
  EXPECT_EQ(*pels.pointToPel(1, 1), vcColor::pass.index());  // background is the pass index
  for (const char* bad : {"/01/1", "/0x", "/", ""})
    EXPECT_THROW(vcUITablet::makeIcon(bad, {}), vcUIError::BadIconPattern) << bad;
  EXPECT_TRUE(vcUITablet::iconTouched("/+0./ 00/", vcPair<long>(2, 1), 4));
  EXPECT_FALSE(vcUITablet::iconTouched("/+0./ 00/", vcPair<long>(2, 0), -1));
  // Every drawn pixel of the point icon is touched, and nothing beyond it.
  const vcPelBuffer<unsigned char> icon = vcUITablet::pointIcon().decode();
  for (long y = -8; y <= 8; ++y)
    for (long x = -8; x <= 8; ++x) {
      const bool inside = x >= -6 && x <= 6 && y >= -6 && y <= 6;
      if (!inside || *icon.pointToPel(x + 6, y + 6) == 0) {
        EXPECT_EQ(vcUITablet::pointIconTouched(vcPair<long>(x, y)), inside) << x << "," << y;
      }
    }
}
