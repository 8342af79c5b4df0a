#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <vc/core/exception.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/uiscope.h>

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
  std::vector<vcScopeCall>& log() { return scope.log(); }
};

const vcUITablet::Layers I = vcUITablet::eImage;

}  // namespace

TEST(TabletPrim, PenRecordsCarryClientValuesIndexColorZeroAndPropsOnlyWhenChanged) {
  vcUITablet t;  // records, draws nothing
  t.drawStart(vcPoint(1.5, -2), I);
  t.drawTo(vcPoint(3, 4), vcColor::red, I);
  t.drawTo(vcPoint(5, 6), vcColor::red, vcUITablet::eOverlay);
  t.moveToRelPels(3, -4, I);
  t.drawToRelPels(-7, 8, vcColor::red, I);
  t.drawPixel(vcPair<double>(2, 2), vcColor::red, I);
  const std::vector<Rec> r = vfTestRecords(t.sketch());
  ASSERT_EQ(r.size(), 6u);
  const int ops[6] = {20, 21, 21, 23, 22, 0};
  const bool props[6] = {false, true, false, true, true, false};  // the sketch starts with default props
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(r[i].op, ops[i]) << i;
    EXPECT_EQ(r[i].withProps, props[i]) << i;
  }
  EXPECT_EQ(r[0].color, bytesOf(vcColor()));
  EXPECT_EQ(r[3].color, bytesOf(vcColor()));
  EXPECT_EQ(r[1].color, bytesOf(vcColor::red));
  EXPECT_EQ(r[2].layer, 1);
  EXPECT_EQ(r[0].f64(0), 1.5);
  EXPECT_EQ(r[0].f64(8), -2.0);
  EXPECT_EQ(r[3].i32(4), -4);
  EXPECT_EQ(r[4].i32(0), -7);
  EXPECT_EQ(r[5].f64(8), 2.0);
}

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
  EXPECT_EQ(d.log()[0].op, "drawTo");
  EXPECT_EQ(d.log()[0].points[0], vcPoint(20, 24));
  EXPECT_EQ(d.log()[0].props.penColor(), vcColor::blue);
  EXPECT_EQ(d.log()[1].ints, (std::vector<long>{3, -1}));
}

TEST(TabletPrim, DrawPointArgMeansThePenEvenUnderASingularMapAndIsRecordedAsIs) {
  Drawn d;
  d.tablet.drawStart(vcPoint(7, 9), I);
  d.tablet.baseMap(vcXform<2>(vcMatrix<2>(0, 0, 0, 0), vcVector<2>(50, 50)));
  d.scope.clearLog();
  d.tablet.drawTo(vcUITablet::drawPointArg(), vcColor::green, I);
  d.tablet.draw(vcUITablet::drawPointArg(), vcColor::green, I);
  ASSERT_EQ(d.log().size(), 2u);
  EXPECT_EQ(d.log()[0].ints, (std::vector<long>{7, 9}));
  EXPECT_EQ(d.log()[1].op, "draw(vcPoint)");
  EXPECT_EQ(d.log()[1].points[0], vcPoint(7, 9));
  const std::vector<Rec> r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[2].op, 0);
  for (std::size_t i : {1u, 2u}) {
    EXPECT_EQ(r[i].f64(0), 1.234567e89);
    EXPECT_EQ(r[i].f64(8), 9.876543e21);
  }
}

TEST(TabletPrim, DirectionFormsTruncateTowardZeroInSurfacePixelsWhateverTheScale) {
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
}

TEST(TabletPrim, DirectionWithoutLengthOrOffsetBeyond32BitsThrowsAndRecordsNothing) {
  Drawn d;
  EXPECT_THROW(d.tablet.drawToRelPels(vcVector<2>(0, 0), 3.0f, vcColor::red, I), vcMathError);
  EXPECT_THROW(d.tablet.moveToRelPels(vcVector<2>(1, 0), 1e20f, I), vcMathError);
  d.tablet.baseMap(vcXform<2>(vcMatrix<2>(0, 0, 0, 0), vcVector<2>()));
  EXPECT_THROW(d.tablet.drawToRelPels(vcVector<2>(1, 0), 3.0f, vcColor::red, I), vcMathError);
  EXPECT_EQ(d.tablet.sketch().size(), 0);
  EXPECT_TRUE(d.scope.calls("drawToRelPels").empty());
}

TEST(TabletPrim, PointIconIsBuiltOnceAsThe13By13PatternAndCentredInThePropsColor) {
  const vcRLEBuffer& icon = vcUITablet::pointIcon();
  EXPECT_EQ(&icon, &vcUITablet::pointIcon());
  ASSERT_EQ(icon.width(), 13);
  ASSERT_EQ(icon.height(), 13);
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
  const std::vector<Rec> r = vfTestRecords(d.tablet.sketch());
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].op, 1);
  EXPECT_EQ(r[0].color, bytesOf(vcColor::magenta));
  EXPECT_EQ(r[0].f64(8), 30.0);
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
  const std::vector<Rec> r = vfTestRecords(t.sketch());
  ASSERT_EQ(r.size(), 9u);
  const int opcodes[9] = {2, 32, 29, 5, 8, 28, 6, 27, 37};  // 8, not 31: a generalised rectangle never fills
  for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(r[i].op, opcodes[i]) << i;
  EXPECT_EQ(r[0].f64(16), 3.0);
  EXPECT_EQ(r[1].f64(16), -6.0);  // p2 is the opposite corner: size p2 - p1
  EXPECT_EQ(r[1].f64(24), -4.0);
  EXPECT_EQ(r[2].f64(16), 7.0);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(r[3].f64(8 * k), (std::vector<double>{1, 2, 3, 4, 0.5})[k]);
  EXPECT_EQ(r[5].i32(0), static_cast<long>(vcPolygon::eWinding));
  EXPECT_EQ(r[8].f64(16), 0.5);
  EXPECT_EQ(r[8].i32(24), 7);  // arms of 7 pixels
}

TEST(TabletPrim, CrossAtAngleZeroDrawsTwo14PixelStrokesThroughTheMappedPoint) {
  Drawn d;
  d.tablet.scaleExact(vcPair<double>(3.0, 3.0));
  d.scope.clearLog();
  d.tablet.drawCross(vcPair<double>(10, 20), vcRadian(0), vcColor::red, I);
  const auto c = d.scope.calls("drawToRelPels");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].ints, (std::vector<long>{-14, 0}));
  EXPECT_EQ(c[1].ints, (std::vector<long>{0, -14}));
  // The second stroke ends 7 pixels above the mapped center (30, 60).
  EXPECT_EQ(vcPair<long>(d.scope.drawX(), d.scope.drawY()), vcPair<long>(30, 53));
}

