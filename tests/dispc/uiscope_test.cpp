#include <vc/uiscope.h>

#include <gtest/gtest.h>

#include <memory>

#include "support/recording_scope.h"

namespace {
using Scope = vcRecordingScope;
}

// Changes come in surface pixels; both rectangles read back in scope coordinates.
TEST(UIScope, ChangeIsClippedWhileClientRectKeepsTheReport) {
  Scope s(vcPair<long>(3, 4), vcPair<long>(100, 100));
  s.clientChangeEnable(true);
  s.change(vcUIRect(-5, -5, 10, 10), false);
  EXPECT_EQ(s.changeRect(), vcUIRect(3, 4, 5, 5));
  EXPECT_EQ(s.clientChangedRect(true), vcUIRect(-2, -1, 10, 10));
  EXPECT_FALSE(s.allChanged());
  EXPECT_TRUE(s.anyChanged());
  // A change entirely off the surface changes nothing but the client rect.
  s.noChange();
  s.change(vcUIRect(200, 200, 5, 5), true);
  EXPECT_FALSE(s.someChanged());
  EXPECT_EQ(s.clientChangedRect(false), vcUIRect(-2, -1, 210, 210));
  EXPECT_FALSE(s.clientChangeEnable());
  s.setDisplayClipRect(vcUIRect(1, 2, 3, 4));
  EXPECT_EQ(s.displayClipRect(), vcUIRect(1, 2, 3, 4));
  EXPECT_EQ(s.calls("newDisplayClipRect").at(0).rect, vcUIRect(1, 2, 3, 4));
}

// Two halves make the whole surface; opaque only with the hint.
TEST(UIScope, WholeSurfaceChangesAndTheTreeFlag) {
  Scope c(vcPair<long>(0, 0), vcPair<long>(20, 10));
  c.change(vcUIRect(0, 0, 10, 10), true);
  EXPECT_FALSE(c.allChanged());
  c.change(vcUIRect(10, -1, 30, 30), false);
  EXPECT_TRUE(c.allChanged());
  EXPECT_FALSE(c.opaque());

  Scope s(vcPair<long>(0, 0), vcPair<long>(50, 50), true);  // without a surface
  s.allChange();
  EXPECT_FALSE(s.someChanged());
  EXPECT_TRUE(s.allChanged());
  EXPECT_TRUE(s.anyChanged());
  EXPECT_EQ(s.clientChangedRect(true), vcUIRect::inf);
  s.noChange();
  EXPECT_FALSE(s.allChanged());
  EXPECT_TRUE(s.anyChanged());
  s.clearAnyChanged();
  EXPECT_FALSE(s.anyChanged());
}

TEST(UIScope, MoveAndSubsetOriginsAndAttachedRect) {
  Scope parent(vcPair<long>(10, 10), vcPair<long>(100, 100));
  std::unique_ptr<vcUIScope> moved(parent.newChild(vcUIRect(5, 20, 30, 30), false));
  EXPECT_EQ(moved->org(), vcPair<long>(5, 0));
  EXPECT_EQ(static_cast<Scope*>(moved.get())->attachedRect(), vcUIRect(-5, 10, 30, 30));
  std::unique_ptr<vcUIScope> clipped(parent.newChild(vcUIRect(5, 20, 30, 30), true));
  EXPECT_EQ(clipped->org(), vcPair<long>(10, 20));
  EXPECT_EQ(parent.children().size(), 2u);
  // Re-attaching moves a scope from one parent to another.
  Scope other(vcPair<long>(0, 0), vcPair<long>(10, 10));
  moved->move(other, vcUIRect(0, 0, 5, 5));
  EXPECT_EQ(parent.children().size(), 1u);
  EXPECT_EQ(other.children().size(), 1u);
  moved.reset();
  EXPECT_TRUE(other.children().empty());
}

TEST(UIScope, DestroyingTheRootDetachesChildrenAndClearsTheirTreeFlag) {
  auto root = std::make_unique<Scope>(vcPair<long>(0, 0), vcPair<long>(100, 100));
  std::unique_ptr<vcUIScope> child(root->newChild(vcUIRect(0, 0, 50, 50), false));
  std::unique_ptr<vcUIScope> grandchild(child->newChild(vcUIRect(0, 0, 10, 10), false));
  grandchild->change(vcUIRect(0, 0, 1, 1));
  EXPECT_TRUE(child->anyChanged());
  root.reset();
  EXPECT_FALSE(child->anyChanged());
  EXPECT_FALSE(grandchild->anyChanged());
  grandchild->change(vcUIRect(0, 0, 2, 2));  // no root to tell: must not crash
  EXPECT_FALSE(grandchild->anyChanged());
  EXPECT_EQ(static_cast<Scope*>(child.get())->parent(), nullptr);
}

// The pen rounds to the pixel below (within the scope's tolerance). A pen
// moved by whole pixels can leave its double a hair below an integer;
// starting it again at its own point must not round it to another pixel,
// while an equal point that is not the pen's own object is rounded afresh.
TEST(UIScope, PenRoundsDownButKeepsThePixelAtItsOwnPoint) {
  Scope s(vcPair<long>(1, 0), vcPair<long>(10, 10));
  s.drawStart(vcPoint(3.9999999999999, -0.5));
  EXPECT_EQ(vcPair<long>(s.drawX(), s.drawY()), vcPair<long>(3, -1));
  s.moveToRel(2, 3);
  EXPECT_EQ(s.xCoord(s.drawPoint()), 5);
  EXPECT_DOUBLE_EQ(s.drawPoint().y(), 2.5);
  EXPECT_EQ(s.yCoord(vcPoint(s.drawPoint())), 2);

  Scope t(vcPair<long>(0, 0), vcPair<long>(10, 10));
  t.drawStart(vcPoint(2.9999999999999, 5));
  ASSERT_EQ(t.drawX(), 3);
  t.moveToRel(-3, 0);
  ASSERT_LT(t.drawPoint().x(), 0.0);  // the double went just below zero
  EXPECT_EQ(t.drawX(), 0);
  t.drawStart(t.drawPoint());
  EXPECT_EQ(vcPair<long>(t.drawX(), t.drawY()), vcPair<long>(0, 5));
  t.drawStart(vcPoint(t.drawPoint()));
  EXPECT_EQ(t.drawX(), -1);
}
