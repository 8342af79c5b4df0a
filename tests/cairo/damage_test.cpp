// Damage lists on the Cairo scope: the rectangles a scope keeps must cover
// every pixel that changed and hug them, as a pixel diff of before and after
// shows; stacked tablets repaint only inside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/display.h>

#include "cairo/pixels.h"

namespace {

using Props = vcGraphicProps;
using V = vcVector<2>;

// Draws a scattered batch of small shapes, some overlapping, in two colors.
void scatter(vcUITablet& t, std::mt19937& rng, int count, const vcColor& ink, const vcColor& paint) {
  std::uniform_real_distribution<double> at(10.0, 390.0), size(2.0, 25.0);
  const Props pen(ink, 2, Props::ePenSolid, false);
  for (int i = 0; i < count; ++i) {
    const V c(at(rng), at(rng));
    switch (i % 3) {
      case 0: t.draw(vcLineSeg(c, c + V(size(rng), size(rng))), pen, vcUITablet::eImage); break;
      case 1: t.draw(vcCircle(c, size(rng) / 2), pen, vcUITablet::eImage); break;
      default: t.set(vcUIRect(long(c.x()), long(c.y()), long(size(rng)), 3), paint, vcUITablet::eImage);
    }
  }
}

}  // namespace

TEST(DamageList, CoversEveryChangedPixelAndHugsThem) {
  for (const long limit : {1L, 4L, 16L}) {
    vcCairoScope scope(vcPair<long>(400, 400));
    vcUITablet t(&scope, nullptr);
    t.visible(true);
    t.set(vcUIRect(0, 0, 400, 400), vcColor::blackColor(), vcUITablet::eImage);
    std::mt19937 rng(static_cast<unsigned>(limit));
    scatter(t, rng, 40, vcColor::blueColor(), vcColor::whiteColor());
    scope.changeListLimit(limit);
    scope.noChange();
    const vcPixels before(scope);
    scatter(t, rng, 12, vcColor::redColor(), vcColor::greenColor());
    const vcPixels after(scope);
    const std::vector<vcUIRect>& list = scope.changeList();
    ASSERT_FALSE(list.empty());
    EXPECT_LE(list.size(), static_cast<std::size_t>(limit));
    vcUIRect box;
    for (std::size_t i = 0; i < list.size(); ++i) {
      box |= list[i];
      for (std::size_t j = i + 1; j < list.size(); ++j) EXPECT_TRUE((list[i] & list[j]).isNull()) << i << " " << j;
    }
    EXPECT_EQ(box, scope.changeRect());
    const auto changed = [&](long x, long y) { return before.at(x, y) != after.at(x, y); };
    for (long y = 0; y < 400; ++y)
      for (long x = 0; x < 400; ++x)
        if (changed(x, y)) {
          EXPECT_TRUE(std::any_of(list.begin(), list.end(), [&](const vcUIRect& r) { return r.within(vcPair<long>(x, y)); }))
              << x << "," << y;
        }
    // Every rectangle is the box of the changed pixels it holds (the shapes
    // paint in colors the scene before does not have, so every pixel they
    // touch changes).
    for (const vcUIRect& r : list)
      EXPECT_EQ(after.boxWhere([&](long x, long y) { return r.within(vcPair<long>(x, y)) && changed(x, y); }), r);
  }
}

namespace {

// A tablet that paints its whole area blue whenever it is repainted.
class vcBlueTablet : public vcUITablet {
public:
  using vcUITablet::vcUITablet;

protected:
  void redraw_() override { set(vcUIRect(-10000, -10000, 20000, 20000), vcColor::blueColor(), eImage); }
};

}  // namespace

TEST(DamageList, StackedTabletsRepaintOnlyInsideTheRectangles) {
  for (const long limit : {0L, 8L}) {
    vcCairoScope scope(vcPair<long>(300, 300));
    vcUITablet root(&scope, nullptr);
    root.visible(true);
    vcBlueTablet above(root, vcUIRect(0, 0, 300, 300));
    above.visible(true);
    root.set(vcUIRect(0, 0, 300, 300), vcColor::blackColor(), vcUITablet::eImage);
    root.changeListLimit(limit, vcUITablet::eImage);
    scope.noChange();
    root.set(vcUIRect(10, 10, 5, 5), vcColor::redColor(), vcUITablet::eImage);
    root.set(vcUIRect(250, 260, 8, 4), vcColor::redColor(), vcUITablet::eImage);
    root.update(vcUITablet::eImage);
    const vcPixels after(scope);
    // The tablet above repaints the two marks, and with a list only them.
    EXPECT_EQ(after.count(kBlue), limit > 0 ? 5 * 5 + 8 * 4 : 248 * 254);
    EXPECT_TRUE(scope.changeList().empty());
  }
}
