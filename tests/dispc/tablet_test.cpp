#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <vc/core/exception.h>
#include <vc/uierror.h>

#include "support/recording_scope.h"

namespace {

using Layers = vcUITablet::Layers;
constexpr Layers kImage = vcUITablet::eImage;
constexpr Layers kOverlay = vcUITablet::eOverlay;
constexpr Layers kBoth = vcUITablet::eBoth;
using Strings = std::vector<std::string>;
using Hooked = vcLoggingTablet;

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
  Hooked p{"P", log, &root};
  Hooked k{"K", log, p, vcUIRect(10, 10, 20, 20)};
  Hooked g{"G", log, k, vcUIRect(0, 0, 5, 5)};
  Family() {
    for (Hooked* t : {&p, &k, &g}) t->visible(true);
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
  auto p = std::make_unique<Hooked>("P", log, &root);
  Hooked a("A", log, *p, vcUIRect(10, 20, 30, 40));
  auto b = std::make_unique<Hooked>("B", log, *p, vcUIRect(50, 50, 10, 10));
  Hooked c("C", log, *p, vcUIRect(0, 0, 5, 5));
  Hooked g("G", log, a, vcUIRect(5, 5, 10, 10));
  EXPECT_EQ(p->numKids(), 3);
  EXPECT_EQ(p->firstKid(), &a);
  EXPECT_EQ(b->prevSib(), &a);
  EXPECT_EQ(b->nextSib(), &c);
  EXPECT_EQ(g.absRect(), vcUIRect(15, 25, 10, 10));
  EXPECT_EQ(a.currentScope(kOverlay), vcUIRect::null);
  EXPECT_EQ(recording(a.ownScope(kImage))->attachedRect(), vcUIRect(10, 20, 30, 40));

  // A visible kid is erased on its way out: the opaque parent repaints its area.
  p->visible(true);
  b->visible(true);
  b->modified(kImage, true);
  log.clear();
  b.reset();
  EXPECT_EQ(log, Strings({"P"}));
  EXPECT_EQ(clipRects(root), std::vector<vcUIRect>({vcUIRect(50, 50, 10, 10)}));
  EXPECT_EQ(a.nextSib(), &c);
  EXPECT_EQ(root.liveChildren().size(), 3u);

  // The parent going first leaves its kids alive, parentless and without scopes.
  p.reset();
  EXPECT_EQ(a.parent(), nullptr);
  EXPECT_EQ(g.parent(), &a);
  EXPECT_EQ(g.currentScope(kImage), vcUIRect::null);
  EXPECT_TRUE(root.liveChildren().empty());
  a.draw(vcPoint(1, 1), vcColor::red, kImage);
}

TEST(Tablet, SetParentMovesTheKidAndItsKidsOntoFreshScopesButMakesNoCycle) {
  Family f;
  Hooked q("Q", f.log, f.p, vcUIRect(30, 30, 40, 40));
  q.visible(true);
  f.k.modified(kImage, false);
  f.log.clear();
  f.k.setParent(q, vcUIRect(10, 10, 20, 20));
  EXPECT_EQ(f.k.oldParent, &f.p);
  EXPECT_EQ(f.p.numKids(), 1);
  EXPECT_EQ(q.lastKid(), &f.k);
  EXPECT_EQ(f.g.oldParent, &f.k);
  // Same rectangle, new parent: the absolute origins follow the parent.
  EXPECT_EQ(f.g.scopeOrg(), vcPair<long>(40, 40));
  EXPECT_EQ(recording(f.k.ownScope(kImage))->parent(), q.ownScope(kImage));
  EXPECT_EQ(recording(f.g.ownScope(kImage))->parent(), f.k.ownScope(kImage));
  EXPECT_EQ(f.root.liveChildren().size(), 3u);  // the old sub-scopes are gone
  // Each kid is shown again as it moves, then the tablet with its kids.
  EXPECT_EQ(f.log, Strings({"G", "K", "G"}));
  EXPECT_THROW(f.k.setParent(f.g, vcUIRect(0, 0, 5, 5)), vcBadArgument);
  EXPECT_THROW(f.k.setParent(f.k, vcUIRect(0, 0, 5, 5)), vcBadArgument);
  EXPECT_EQ(f.k.parent(), &q);
}

TEST(Tablet, HidesAndShowsAreCountedAndOnlyTransitionsEraseOrDraw) {
  Family f;
  EXPECT_TRUE(f.p.opaque(kImage));  // its repaint covered it whole
  EXPECT_FALSE(f.k.visible(true));
  EXPECT_TRUE(f.k.visible(false));
  EXPECT_EQ(f.log, Strings({"P"}));  // the parent repaints what the kid covered
  EXPECT_EQ(clipRects(f.root), std::vector<vcUIRect>({vcUIRect(10, 10, 20, 20)}));
  EXPECT_FALSE(f.k.modified(kImage));
  EXPECT_FALSE(f.k.visible(false));
  EXPECT_FALSE(f.k.visible(true));
  EXPECT_EQ(f.log, Strings({"P"}));
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
  EXPECT_EQ(f.g.scopeOrg(), vcPair<long>(15, 10));
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
  EXPECT_EQ(f.k.scaledMap(), vcXform<2>::I);
  f.p.scaleExact(vcPair<double>(1.0000005, 3.0));  // the x factor alone decides
  EXPECT_EQ(f.p.scaleMode(), vcUITablet::eNoScale);
  EXPECT_EQ(f.p.scaledMap(), base);
  f.p.scaleExact(vcPair<double>(0.5, 0.5));
  EXPECT_EQ(f.p.scaleMode(), vcUITablet::eSample);
  EXPECT_EQ(f.p.scale(), vcPair<long>(2, 2));
  EXPECT_EQ(f.p.scaledMap().mapPoint(vcVector<2>(1, 1)), vcVector<2>(3, 4));
  f.p.scaleExact(vcPair<double>(3, 2));
  EXPECT_EQ(f.p.scaleMode(), vcUITablet::eExpand);
  EXPECT_EQ(f.p.scaledMap().mapPoint(vcVector<2>(1, 1)), vcVector<2>(18, 16));
  // A zero factor has no whole form; asking for it must not overflow.
  f.p.scaleExact(vcPair<double>(0.0, 0.25));
  EXPECT_EQ(f.p.scale(), vcPair<long>(0, 4));

  vcUITablet t(&f.root, nullptr);
  vcUITablet k(t, vcUIRect(20, 30, 10, 10));
  EXPECT_EQ(t.scopeCoords(vcPoint(2.9999999999999, -0.5)), vcPair<long>(3, -1));
  EXPECT_EQ(t.scopeCoords(vcPoint(2.99999, 0.5)), vcPair<long>(2, 0));
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
  root->scaleMode(vcUITablet::eSample);
  root->scale(vcPair<long>(2, 4));
  root->interpolation(vcUITablet::eBilinear);
  root->recordOn() = true;
  root->recordOn().push(false);
  root->recordOn().push(true);
  root->visible(true);
  root->draw(vcPoint(1, 2), vcColor::red, kImage);
  auto kid = std::make_unique<vcUITablet>(*root, vcUIRect(10, 20, 30, 40));
  auto grandkid = std::make_unique<vcUITablet>(*kid, vcUIRect(1, 2, 3, 4));
  kid->scaleExact(vcPair<double>(3.0, 3.0));

  auto rootCopy = std::make_unique<vcUITablet>(*root);
  EXPECT_EQ(rootCopy->scaledMap(), root->scaledMap());
  EXPECT_EQ(rootCopy->interpolation(), vcUITablet::eBilinear);
  EXPECT_FALSE(rootCopy->recordOn()[1]);
  EXPECT_EQ(rootCopy->sketch().size(), root->sketch().size());
  EXPECT_EQ(rootCopy->numKids(), 0);
  EXPECT_EQ(rootCopy->currentScope(kOverlay), vcUIRect::null);
  image.clearLog();
  rootCopy->draw(vcPoint(0, 0), vcColor::red, kImage);
  EXPECT_EQ(pointDraws(image), 1u);

  const std::size_t subScopes = image.liveChildren().size();
  auto kidCopy = std::make_unique<vcUITablet>(*kid);
  EXPECT_EQ(root->lastKid(), kidCopy.get());
  EXPECT_EQ(kidCopy->numKids(), 0);
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
// its sub-scopes follow the new rectangle under its own parent.
TEST(Tablet, AssignmentKeepsTheTreeAndMovesTheOwnScopes) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(100, 100));
  vcUITablet root(&image, nullptr);
  vcUITablet a(root, vcUIRect(10, 20, 30, 40));
  vcUITablet b(root, vcUIRect(50, 50, 20, 20));
  vcUITablet bKid(b, vcUIRect(1, 1, 5, 5));
  vcUITablet inner(a, vcUIRect(2, 3, 4, 5));
  inner.baseMap(vcXform<2>::translation(vcVector<2>(7, 8)));
  const std::size_t subScopes = image.liveChildren().size();
  image.clearLog();
  b = inner;  // b stays root's kid, on top, with its own kid
  EXPECT_EQ(root.lastKid(), &b);
  EXPECT_EQ(b.firstKid(), &bKid);
  EXPECT_EQ(b.scopeRect(), vcUIRect(2, 3, 4, 5));
  // The same sub-scope, attached again at the new rectangle.
  EXPECT_EQ(image.liveChildren().size(), subScopes);
  ASSERT_FALSE(image.calls("attached").empty());
  EXPECT_EQ(image.calls("attached").front().rect, vcUIRect(2, 3, 4, 5));
  EXPECT_EQ(bKid.scopeOrg(), vcPair<long>(3, 4));
  EXPECT_EQ(b.baseMap().trans(), vcVector<2>(7, 8));
  // A root stays at the origin of its tree whatever it copies.
  root = inner;
  EXPECT_EQ(root.scopeOrg(), vcPair<long>(0, 0));
  EXPECT_EQ(root.numKids(), 2);
  EXPECT_EQ(root.currentScope(kImage), vcUIRect(0, 0, 100, 100));
  const vcUITablet& self = a;
  a = self;
  EXPECT_EQ(a.scopeRect(), vcUIRect(10, 20, 30, 40));
  EXPECT_EQ(a.firstKid(), &inner);
}
