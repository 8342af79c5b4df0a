// SMD colors and poly drawing at the record level: grey levels of colors,
// the arrow glyphs drawn into a graphic list against those drawn directly,
// and the extension pieces that drawNegWireframe draws.
#include <vc/wrfm/smdpoly.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include <vc/core/ellipsearc.h>
#include <vc/core/lineseg.h>
#include <vc/glist.h>
#include <vc/uierror.h>
#include <vc/uitablet.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/wireframe.h>

#include "support/recording_scope.h"

namespace {

using V = vcVector<2>;
using P = vcSMDGDPolyPrivate;
using Vx = vcSMDGDPolyVertex;

struct Poly : vcSMDGDPoly {
  Poly() = default;
  using vcSMDGDPoly::backwardPercExtension_;
  using vcSMDGDPoly::forwardPercExtension_;
  using vcSMDGDPoly::setExtensions_;
};

Vx vx(double x, double y, double radius = 0, double span = 0) {
  return Vx(V(x, y), radius, vcDegree(span), 0.5, 0.5, -1, vcDimTol());
}

std::vector<unsigned char> bytes(const vcUISketch& s) {
  return std::vector<unsigned char>(s.data(), s.data() + s.size());
}

TEST(SMDColors, GreyLevelsFollowTheStockTableForIndexesAndTheMeanForRGB) {
  // The stock colors in code order: black, dkGrey, grey, ltGrey, white, red,
  // dkRed, orange, yellow, green, dkGreen, cyan, blue, purple, magenta, pass.
  const int stock[vcColor::kNumStockColors] = {5, 50, 100, 150, 250, 120, 90, 180, 210, 130, 80, 200, 160, 90, 170, 0};
  for (int code = 0; code < vcColor::kNumStockColors; ++code)
    EXPECT_EQ(vcSMDColors::colorToGrayScale(vcColor::stockColor(code)), stock[code]) << code;
  struct Case {
    vcColor color;
    int grey;
  };
  // A palette index alone maps like the stock color that has it; RGB gives
  // the mean rounded half up.
  const Case cases[] = {{vcColor(vcColor::ltGreyColor().index()), 150},
                        {vcColor(100), 0},
                        {vcColor(10, 20, 31), 20},
                        {vcColor(255, 255, 255), 255},
                        {vcColor(1, 2, 2), 2},
                        {vcColor(1, 1, 2), 1}};
  for (const Case& c : cases) EXPECT_EQ(vcSMDColors::colorToGrayScale(c.color), c.grey) << c.color;

  const vcSMDGDPoly fresh;
  EXPECT_EQ(vcSMDColors::colorToGrayScale(fresh.colors().syntheticDefaultColor()), 150);
  EXPECT_EQ(fresh.colors().wireframeDefaultColor(), vcColor::greenColor());
}

TEST(SMDColors, AColorWithNeitherIndexNorRGBIsRefused) {
  // Such a value cannot be made through vcColor's constructors; it stands for
  // six bytes taken from elsewhere.
  vcColor none;
  const unsigned char raw[6] = {0, 9, 1, 2, 3, 0};
  std::memcpy(static_cast<void*>(&none), raw, sizeof raw);
  EXPECT_THROW(vcSMDColors::colorToGrayScale(none), vcUIError::NotIndexColor);
}

// A closed outline with rounded corners, an arc side and an extension on
// every sharp turn.
Poly sample(bool reversed) {
  Poly p;
  p.vertices({vx(0, 0, 2), vx(30, 0), vx(30, 20, 0, 50), vx(0, 20, 3)});
  p.close();
  if (reversed) p.toggleDirection();
  p.positiveArrowColor(vcColor::cyanColor());
  p.negativeArrowColor(vcColor::magentaColor());
  p.setExtensions_(0.5);
  return p;
}

TEST(SMDDrawing, ArrowsDrawnThroughAGraphicListRecordWhatDirectDrawingRecords) {
  const vcXform<2> placements[] = {vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(5, 7)),
                                   vcXform<2>(vcMatrix<2>(-2, 0.5, 0, 2), V(90, 10))};
  for (bool reversed : {false, true})
    for (const vcXform<2>& x : placements) {
      const Poly p = sample(reversed);
      vcUITablet direct, viaList;
      p.drawDirectionArrows(x, direct, 3.0);
      vcGraphicList list;
      p.drawDirectionArrows(x, list, 3.0);
      EXPECT_EQ(list.items().size(), 5u * static_cast<std::size_t>(p.numSegments()));
      list.draw(viaList, vcUITablet::eImage);
      ASSERT_GT(direct.sketch().size(), 0);
      EXPECT_EQ(bytes(viaList.sketch()), bytes(direct.sketch())) << "reversed " << reversed;
    }
}

TEST(SMDDrawing, WireframeThroughTheBaseClassIsTheMappedOutlineInItsColor) {
  Poly p = sample(false);
  p.colors(vcSMDColors(vcColor::orangeColor(), vcColor::greyColor(), vcColor::blackColor()));
  const vcXform<2> x(vcMatrix<2>(1, 0, 0, -1), V(10, 50));
  vcUITablet viaBase, direct;
  static_cast<const vcSMDGeometricDescription&>(p).drawWireframe(x, viaBase);
  direct.draw(vc2Wireframe(vcGenPoly(p, x, false)), vcColor::orangeColor(), vcUITablet::eImage, false);
  EXPECT_EQ(bytes(viaBase.sketch()), bytes(direct.sketch()));
}

TEST(SMDDrawing, NegWireframeDrawsEachNonZeroExtensionAlongItsSegment) {
  // A 10 x 10 square: every corner turns by 90 degrees, so every segment gets
  // both extensions; segment 1's forward one is then taken away.
  Poly p;
  p.vertices({vx(0, 0), vx(10, 0), vx(10, 10), vx(0, 10)});
  p.close();
  p.setExtensions_(0.5);
  p.forwardPercExtension_(1, 0.0);

  vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(100, 100));
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  scope.clearLog();
  const vcXform<2> x(vcMatrix<2>(2, 0, 0, 2), V(20, 30));
  P::drawNegWireframe(p, x, tablet, vcColor::redColor(), vcUITablet::eImage);

  std::vector<std::pair<V, V>> expected;
  for (int s = 0; s < 4; ++s) {
    const V a = p.vertex((s + 3) % 4).point(), b = p.vertex(s).point();
    if (s != 1) expected.push_back({x * b, x * (b + (b - a) * 0.5)});
    expected.push_back({x * (a - (b - a) * 0.5), x * a});
  }
  const auto drawn = scope.calls("draw(vcLineSeg)");
  ASSERT_EQ(drawn.size(), expected.size());
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    const auto* seg = dynamic_cast<const vcLineSeg*>(drawn[i].shape.ptr());
    ASSERT_NE(seg, nullptr);
    EXPECT_LT(seg->p1().distance(expected[i].first), 1e-12) << i;
    EXPECT_LT(seg->p2().distance(expected[i].second), 1e-12) << i;
    EXPECT_EQ(drawn[i].props.penColor(), vcColor::redColor());
  }
}

TEST(SMDDrawing, ArcExtensionsContinueAlongTheArcsCircle) {
  Poly p;
  p.vertices({vx(0, 0), vx(20, 0, 0, 90)});
  for (double fraction : {0.25, 1.0, 5.0}) {
    p.forwardPercExtension_(1, fraction);
    p.backwardPercExtension_(1, fraction);
    const vc2SegmentArc full = P::arcSegment_(p, 1);
    const vc2SegmentArc fwd = P::forwardArcSegmentExtension_(p, 1);
    const vc2SegmentArc bwd = P::backwardArcSegmentExtension_(p, 1);
    const double sweep = std::min(360.0, 90.0 * fraction);
    for (const vc2SegmentArc* piece : {&fwd, &bwd}) {
      EXPECT_LT(piece->center().distance(full.center()), 1e-9);
      EXPECT_NEAR(piece->radius(vcDegree(0)), full.radius(vcDegree(0)), 1e-9);
      EXPECT_NEAR(piece->angleSpan().toDouble(), sweep, 1e-9);
    }
    EXPECT_LT(fwd.p1().distance(full.p2()), 1e-9);
    EXPECT_LT(bwd.p2().distance(full.p1()), 1e-9);
  }
}

// A model draws its polys in order: through the base class, the outlines;
// its arrows at size 2; its extensions in red.
TEST(SMDDrawing, ModelsDrawEveryPolyInOrder) {
  Poly a = sample(false);
  vcSMDColors yellow;
  yellow.wireframeDefaultColor(vcColor::yellowColor());
  a.colors(yellow);
  const vcSMDGDPoly b = vcSMDGDPoly::circle(3, V(30, 0));
  vcSMDGDModel m("m");
  m << a << b;
  const vcXform<2> x(vcMatrix<2>(0, 2, -2, 0), V(40, 40));

  vcUITablet model, polys;
  static_cast<const vcSMDGeometricDescription&>(m).drawWireframe(x, model);
  m.drawDirectionArrows(x, model);
  vcSMDGDModelPrivate::drawNegWireframe(m, x, model);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b}) p->drawWireframe(x, polys);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b}) p->drawDirectionArrows(x, polys, 2.0);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b})
    P::drawNegWireframe(*p, x, polys, vcColor::redColor(), vcUITablet::eImage);
  ASSERT_GT(polys.sketch().size(), 0);
  EXPECT_EQ(bytes(model.sketch()), bytes(polys.sketch()));
}

}  // namespace
