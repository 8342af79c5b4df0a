// Groups: the props they take from their items and pass down, deep copies,
// sharing in archives, and the null group; texts and point icons.
#include <vc/graphic_special.h>

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include <vc/core/core.h>
#include <vc/graphic_shapes.h>
#include <vc/uitablet.h>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
using GraphicH = vcPtrHandle<vcGraphic>;
using Circle = vcGraphicWithFill<vcCircle, vcEllipse2>;

GraphicH circle(const vcColor& c, double x = 0) { return GraphicH(new Circle(vcCircle(V(x, 0), 1), c, false)); }
GraphicH emptyText(const vcColor& c) {
  return GraphicH(new vcGraphicText("", vcPoint(), c, vcColor::blackColor(), vcUIFormat(), V(0, 0)));
}

TEST(GraphicGroup, TakesThePropsOfTheFirstItemThatDraws) {
  struct Row {
    const char* name;
    std::vector<GraphicH> items;
    vcColor expected;  // pen color the group takes
    bool isNull;
  };
  const vcColor start = vcGraphicProps().penColor();
  const std::vector<Row> rows{
      {"empty text then circle", {emptyText(vcColor::redColor()), circle(vcColor::greenColor())},
       vcColor::greenColor(), false},
      {"null handle first", {GraphicH(), circle(vcColor::blueColor())}, vcColor::blueColor(), false},
      {"only empty texts", {emptyText(vcColor::redColor()), emptyText(vcColor::greenColor())},
       vcColor::redColor(), true},
      {"only null handles", {GraphicH(), GraphicH()}, start, true},
      {"nothing", {}, start, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    vcGraphicGroup g;
    g.items(r.items, false);
    EXPECT_EQ(g.color(), r.expected);
    EXPECT_EQ(g.isNull(), r.isNull);
  }
}

TEST(GraphicGroup, PropsReachItemsOfNestedGroups) {
  vcPtrHandle<vcGraphicGroup> inner(new vcGraphicGroup);
  inner->items({circle(vcColor::redColor()), GraphicH()}, false);
  vcGraphicGroup outer;
  outer.items({GraphicH(inner), circle(vcColor::greenColor())}, false);
  const vcGraphicProps p(vcColor::orangeColor(), 4, vcGraphicProps::ePenDot, true);
  outer.props(p);
  EXPECT_EQ(outer.item(1)->props(), p);
  EXPECT_EQ(inner->props(), p);
  EXPECT_EQ(inner->item(0)->props(), p);
  outer.color(vcColor::cyanColor());
  EXPECT_EQ(inner->item(0)->color(), vcColor::cyanColor());
}

TEST(GraphicGroup, CopiesAreDeepItemsShareOnlyWhenAskedAndBadIndexesThrow) {
  vcGraphicGroup g;
  g.items({circle(vcColor::redColor()), GraphicH()}, false);
  const vcGraphicGroup copy(g);
  const GraphicH mapped = g.map(vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(5, 0)));
  for (const vcGraphicGroup* c : {&copy, dynamic_cast<const vcGraphicGroup*>(mapped.ptr())}) {
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->numItems(), 2);
    EXPECT_NE(c->item(0).ptr(), g.item(0).ptr());
    EXPECT_FALSE(c->item(1));
  }
  const GraphicH shared = circle(vcColor::redColor());
  vcGraphicGroup byCopy, byShare;
  byCopy.items({shared}, true);
  byShare.items({shared}, false);
  EXPECT_NE(byCopy.item(0).ptr(), shared.ptr());
  EXPECT_EQ(byShare.item(0).ptr(), shared.ptr());
  for (long i : {-1L, 1L}) EXPECT_THROW(byShare.item(i), vcGraphic::BadParams) << i;
}

TEST(GraphicGroup, MeasuresAsTheUnionOfItsItemsAndANullGroupIsNowhere) {
  vcGraphicGroup g;
  g.items({circle(vcColor::redColor(), 0), GraphicH(), circle(vcColor::redColor(), 10)}, false);
  EXPECT_EQ(g.encloseRect(), vcRect(-1, -1, 12, 2));
  EXPECT_DOUBLE_EQ(g.distToPoint(V(13, 0)), 2.0);
  const vcGraphicGroup none;
  vcUITablet t;
  t.draw(none, vcUITablet::eOverlay);
  EXPECT_EQ(t.sketch().size(), 0);
  EXPECT_EQ(none.encloseRect(), vcRect());
  EXPECT_EQ(none.distToPoint(V(1, 1)), HUGE_VAL);
}

TEST(GraphicGroup, SharedItemsReadBackShared) {
  const GraphicH shared = circle(vcColor::redColor());
  vcPtrHandle<vcGraphicGroup> g(new vcGraphicGroup);
  g->items({shared, GraphicH(), shared}, false);
  GraphicH h(g), back;
  vcBufferArchive out(vcArchive::eStore);
  out || h;
  vcBufferArchive in(out.bytes());
  in || back;
  const auto& group = dynamic_cast<const vcGraphicGroup&>(*back);
  ASSERT_EQ(group.numItems(), 3);
  EXPECT_EQ(group.item(0).ptr(), group.item(2).ptr());
  EXPECT_FALSE(group.item(1));
}

// A text maps its location and drops its offset, and occupies no area; a
// point icon is a one-pixel cell at its point.
TEST(GraphicText, TextsAndPointIconsMapAndMeasure) {
  const vcGraphicText t("abc", vcPoint(1, 2), vcColor::redColor(), vcColor::whiteColor(), vcUIFormat(), V(4, 5));
  const GraphicH m = t.map(vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(10, 20)));
  const auto& mt = dynamic_cast<const vcGraphicText&>(*m);
  EXPECT_EQ(mt.item(), "abc");
  EXPECT_EQ(mt.location(), vcPoint(11, 22));
  EXPECT_EQ(mt.offset(), V(0, 0));
  EXPECT_EQ(mt.backgroundColor(), vcColor::whiteColor());
  EXPECT_EQ(t.encloseRect(), vcRect());
  EXPECT_EQ(t.distToPoint(V(1, 2)), 1e308);
  const vcGraphicPointIcon p(vcPoint(3, 4), vcColor::redColor());
  EXPECT_EQ(p.encloseRect(), vcRect(3, 4, 1, 1));
  EXPECT_DOUBLE_EQ(p.distToPoint(V(6, 8)), 5.0);
  const GraphicH pm = p.map(vcXform<2>::scale(2, 2));
  EXPECT_EQ(dynamic_cast<const vcGraphicPointIcon&>(*pm).item(), vcPoint(6, 8));
  vcGraphicEllipseAnnulusSection s;
  s.drawArrowHead(true, false);  // the arrow switches live in the props
  EXPECT_FALSE(s.props().arrowHeadForward());
}

}  // namespace
