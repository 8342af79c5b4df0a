// Replaying a recorded sketch at an offset on a real surface gives the same
// image shifted by the offset.
#include <gtest/gtest.h>

#include <vc/cairo/cairoscope.h>
#include <vc/display.h>

#include "pixels.h"

namespace {

void drawScene(vcUITablet& t) {
  using V = vcVector<2>;
  const vcUITablet::Layers l = vcUITablet::eImage;
  t.draw(vcLineSeg(V(5, 5), V(40, 20)), vcGraphicProps(vcColor::redColor(), 1), l);
  t.draw(vcCircle(V(30, 40), 12), vcGraphicProps(vcColor::greenColor(), 2), l);
  t.draw(vcRect(50, 10, 20, 15), vcGraphicProps(vcColor::blueColor(), 1, vcGraphicProps::ePenSolid, true), l);
  t.draw(vcEllipseArc(vcEllipse(V(70, 50), V(15, 8), vcRadian(0.3)), vcRadian(0.5), vcRadian(3)),
         vcGraphicProps(vcColor::yellowColor(), 3), l);
  t.draw(vcPolygon({V(10, 60), V(30, 70), V(15, 80)}, vcPolygon::eEvenOdd),
         vcGraphicProps(vcColor::cyanColor(), 1, vcGraphicProps::ePenSolid, true), l);
  t.drawPointIcon(vcPoint(60, 70), vcColor::magentaColor(), l);
}

}  // namespace

TEST(CairoReplay, ReplayAtAnOffsetShiftsTheImageByIt) {
  const vcPair<long> size(120, 100);
  vcCairoScope direct(size);
  vcUITablet recorder(&direct, nullptr);
  recorder.recordOn() = true;
  recorder.visible(true);
  drawScene(recorder);
  const vcPixels original(direct);

  const long dx = 7, dy = 5;
  vcCairoScope replayed(size);
  vcUITablet player(&replayed, nullptr);
  player.visible(true);
  player.draw(recorder.sketch(), vcPoint(dx, dy), vcUITablet::eImage);
  const vcPixels shifted(replayed);

  long inked = 0;
  for (long y = 0; y + dy < size.y(); ++y) {
    for (long x = 0; x + dx < size.x(); ++x) {
      ASSERT_EQ(shifted.at(x + dx, y + dy), original.at(x, y)) << "pixel " << x << "," << y;
      if (original.at(x, y) != original.at(0, size.y() - 1)) ++inked;
    }
  }
  EXPECT_GT(inked, 500);  // the scene drew something to compare
  // Nothing lands in the uncovered left and top bands.
  const std::uint32_t background = original.at(size.x() - 1, size.y() - 1);
  for (long y = 0; y < size.y(); ++y)
    for (long x = 0; x < size.x(); ++x)
      if (x < dx || y < dy) {
        ASSERT_EQ(shifted.at(x, y), background) << "pixel " << x << "," << y;
      }
}
