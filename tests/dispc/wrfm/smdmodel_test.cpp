// SMD models and drawing: labels, sub-models, mirroring and mapping, the model family, the archive form, grey levels of
// colors, and the records that arrows, wireframes and extensions draw.
#include <vc/wrfm/smdmodel.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/glist.h>
#include <vc/uierror.h>
#include <vc/uitablet.h>
#include <vc/wrfm/wireframe.h>

#include "support/archive_roundtrip.h"
#include "support/recording_scope.h"

namespace {

using M = vcSMDGDModelPrivate;
using P = vcSMDGDPolyPrivate;
using V = vcVector<2>;
using Vx = vcSMDGDPolyVertex;

struct Editable : vcSMDGDModel {
  using vcSMDGDModel::deletePoly;
  using vcSMDGDModel::replacePoly;
  using vcSMDGDModel::vcSMDGDModel;
};

struct Poly : vcSMDGDPoly {
  Poly() = default;
  using vcSMDGDPoly::backwardPercExtension_;
  using vcSMDGDPoly::forwardPercExtension_;
  using vcSMDGDPoly::setExtensions_;
};

Vx vx(double x, double y, double radius = 0, double span = 0) {
  return Vx(V(x, y), radius, vcDegree(span), 0.5, 0.5, -1, vcDimTol());
}

// A rounded outline with a bowed side, so that mirroring has arcs to turn.
vcSMDGDPoly roundedBow() {
  vcSMDGDPoly p("bow");
  p << Vx(V(0, 0), 0.5, vcDegree(0.0), 0.5, 0.5, 4, vcDimTol());
  p << Vx(V(6, 1), 0.5, vcDegree(25.0), 0.3, 0.6, 5, vcDimTol(6.08, 0.1, 0.1, vcDimTol::eOffsets));
  p << Vx(V(5, 5), 0.0, vcDegree(0.0), 0.5, 0.5, 4, vcDimTol());
  p.close();
  return p;
}

vcSMDGDModel sample() {
  vcSMDGDModel m("part");
  m << roundedBow() << vcSMDGDPoly::rectangle(4, 2, V(-6, 3)) << vcSMDGDPoly::triangle(2, 3, V(10, -4));
  return vc2Rigid(vcRadian(0.3), V(1, -2)) * m;
}

std::vector<unsigned char> bytes(const vcUISketch& s) {
  return std::vector<unsigned char>(s.data(), s.data() + s.size());
}

TEST(SMDModel, LabelsMergeAndPolyIndexErrorsChangeNothing) {
  Editable m("named");
  m << vcSMDGDPoly::rectangle(4, 2, V(0, 0)) << vcSMDGDPoly::triangle(2, 3, V(5, 5));
  EXPECT_EQ(m.numVertices(), 7);
  vcSMDGDPoly open("o");
  open << Vx(V(0, 0), 0.5, 0.5, 9) << Vx(V(1, 0), 0.5, 0.5, 2);
  m << open;
  EXPECT_TRUE(m.isOpen());
  EXPECT_EQ(m.subModelLabels(), (std::vector<long>{0, 1, 2, 3, 9}));  // in order of first appearance
  for (int bad : {-1, 3}) {
    EXPECT_THROW(m.poly(bad), vcSMDGDModel::invalidIndex);
    EXPECT_THROW(m.replacePoly(bad, roundedBow()), vcSMDGDModel::invalidIndex);
    EXPECT_THROW(m.deletePoly(bad), vcSMDGDModel::invalidIndex);
  }
  EXPECT_EQ(m.name(), "named");
  m.deletePoly(0);  // edits empty the name
  EXPECT_EQ(m.name(), "");
  m.replacePoly(0, roundedBow());
  EXPECT_EQ(m.subModelLabels(), (std::vector<long>{4, 5, 9, 2}));
}

TEST(SMDModel, SubModelsSitAtTheirOwnOriginAndMapBack) {
  const vcSMDGDModel m = sample();
  vcSMDGDModel none("x");
  m.subModel(77, none);
  EXPECT_EQ(none.numPolys(), 0);
  for (long label : {0L, 4L}) {
    vcSMDGDModel sub("x");
    m.subModel(label, sub);
    ASSERT_GT(sub.numPolys(), 0);
    // Each carried vertex returns to its place in m when mapped by the position.
    const vcSMDGDModel back = M::position(sub) * sub;
    for (const auto& p : back.polys()) {
      bool found = false;
      for (const auto& v : p.vertices())
        for (const auto& q : m.polys())
          for (const auto& w : q.vertices())
            found = found || (v.subModelLabel() == label && w.subModelLabel() == label &&
                              v.point().distance(w.point()) < 1e-9);
      EXPECT_TRUE(found) << label;
    }
  }
  // A rectangle's corner: three vertices, the corner at the origin of the piece.
  vcSMDGDModel rect("r"), corner("c");
  rect << vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  rect.subModel(0, corner);
  ASSERT_EQ(corner.poly(0).numVertices(), 3);
  EXPECT_NEAR(corner.poly(0).vertex(1).point().len(), 0, 1e-12);
  EXPECT_NEAR(M::position(corner).trans().distance(V(2, 1)), 0, 1e-12);
  EXPECT_NEAR(P::perimeter(corner.poly(0), 0.0), 0.5 * 4 + 0.5 * 2, 1e-12);
}

// Flipping mirrors about the x axis and reverses the direction; twice is
// nothing. Same polys at another position: equivalent, not equal.
TEST(SMDModel, FlipAndOperatorIdentities) {
  vcSMDGDModel r("r");
  r << vcSMDGDPoly::rectangle(4, 2, V(0, 5));
  EXPECT_TRUE(r.flip().poly(0).isDirectionReversed());
  EXPECT_NEAR(r.flip().boundingBox().y(), -6, 1e-12);
  const vcSMDGDModel m = sample();
  EXPECT_EQ(vc_test::archiveBytes(m.flip().flip()), vc_test::archiveBytes(m));
  const vc2Rigid r1(vcRadian(-1.1), V(2, 7));
  EXPECT_TRUE(vfRealEq((r1.inverse() * (r1 * m)).poly(0), m.poly(0), 1e-9));
  EXPECT_TRUE(M::position(r1 * m) == r1 * M::position(m));
  vcSMDGDModel moved("part");
  moved << m;
  EXPECT_TRUE(M::equivalent(moved, m) && !(moved == m));
}

TEST(SMDModel, FamilyMeasuresWireframesAndCorners) {
  vcSMDGDModel m("m");
  vcSMDGDPoly neg = vcSMDGDPoly::rectangle(2, 2, V(20, 0));
  neg.toggleDirection();
  m << vcSMDGDPoly::rectangle(10, 4, V(0, 0)) << neg;
  // Probes: perimeters 28 and 8, then again at twice the size.
  EXPECT_EQ(M::numPosProbesRequired(m, vcXform<2>::I, {}, 1.0), 36);
  EXPECT_EQ(M::numPosProbesRequired(m, vcXform<2>::I, {vcXform<2>(vcMatrix<2>(2, 0, 0, 2), V(0, 0))}, 1.0), 108);
  EXPECT_THROW(M::numPosProbesRequired(m, vcXform<2>::I, {}, 0.0), vcShapesError::BadGeom);
  EXPECT_EQ(M::boundingBoxPositive(m, vcXform<2>::I).x(), -5);
  EXPECT_EQ(M::boundingBoxNeg(m, vcXform<2>::I).x(), 19);
  EXPECT_EQ(M::boundingBox(m, {vcXform<2>::I, vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(0, 10))}).height(), 14);
  EXPECT_NEAR(M::dominantAngle(vc2Rigid(vcRadian(vcDegree(100.0)), V(0, 0)) * m).toDouble(), 10.0, 1e-9);

  // Weighted wireframes: the weight-0 one is left out of both lists alike.
  const vcXform<2> shift(vcMatrix<2>(0, -2, 2, 0), V(1, 1));  // a rotation by 90 degrees, scaled by 2
  std::vector<vc2Wireframe> w{vc2Wireframe(vcGenPoly(vcSMDGDPoly::circle(1, V(0, 0)), shift, true)),
                              vc2Wireframe(vcGenPoly(vcSMDGDPoly::rectangle(2, 2, V(0, 0)), vcXform<2>::I, true)),
                              vc2Wireframe(vcGenPoly(roundedBow(), vcXform<2>::I, true))};
  const vcSMDGDModel wm = M::weightedWireframesToModel(w, {0.5, 0.0, 2.0});
  const std::vector<vcXform<2>> xs = M::wireframeXforms(w, {0.5, 0.0, 2.0});
  ASSERT_EQ(wm.numPolys(), 2);
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_TRUE(xs[0] == shift);
  EXPECT_EQ(wm.poly(1).weight(), 2.0);
  EXPECT_NEAR(P::perimeter(wm.poly(0), 0.0), 2 * 2 * std::numbers::pi, 1e-9);
  EXPECT_THROW(M::weightedWireframesToModel(w, {1.0}), vcShapesError::BadGeom);
  EXPECT_THROW(M::wireframeXforms(w, {1.0, -1.0, 1.0}), vcShapesError::BadGeom);
  w.push_back(vc2Wireframe(vcGenPoly(roundedBow(), vcXform<2>(vcMatrix<2>(2, 0, 0, 1), V(0, 0)), true)));
  EXPECT_THROW(M::weightedWireframesToModel(w, {1, 1, 1, 1}), vcShapesError::BadGeom);

  vcSMDGDModel c("c");
  M::corner(m, c, 0, 1, true);
  EXPECT_EQ(c.name(), "m");
  EXPECT_NEAR(P::perimeter(c.poly(0), 0.0), 14, 1e-12);  // both whole sides of the corner
}

TEST(SMDModel, ArchiveRoundTripsAndRejectsBadBytesUnchanged) {
  const vcSMDGDModel m = sample();
  const vc_test::Bytes stored = vc_test::archiveBytes(m);
  EXPECT_EQ(vc_test::archiveBytes(vc_test::load(stored, vcSMDGDModel("other"))), stored);
  const vcSMDGDModel target = vc2Rigid(vcRadian(2.0), V(5, 5)) * vcSMDGDModel("t");
  const auto same = [](const vcSMDGDModel& a, const vcSMDGDModel& b) {
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.name(), b.name());
  };
  vc_test::expectEveryPrefixRejected(target, stored, same);
  vc_test::expectUnknownVersion(vc_test::withU8(stored, 0, 1), target, "");
  vc_test::expectRejected(target, vc_test::withU8(stored, 1, 1), same);  // the description's version
  // The stored labels must be the polys' own: a changed first label is refused.
  const std::size_t labelsAt = stored.size() - 24 - 4 * m.subModelLabels().size();
  vc_test::expectRejected(target, vc_test::withU32(stored, labelsAt, 99), same);
  vc_test::expectRejected(target, vc_test::withU32(stored, labelsAt - 4, 0xFFFFFFFFu), same);
}

TEST(SMDColors, GreyLevelsFollowTheStockTableForIndexesAndTheMeanForRGB) {
  // The stock colors in code order: black, dkGrey, grey, ltGrey, white, red, dkRed, orange, yellow, green, dkGreen,
  // cyan, blue, purple, magenta, pass.
  const int stock[vcColor::kNumStockColors] = {5, 50, 100, 150, 250, 120, 90, 180, 210, 130, 80, 200, 160, 90, 170, 0};
  for (int code = 0; code < vcColor::kNumStockColors; ++code)
    EXPECT_EQ(vcSMDColors::colorToGrayScale(vcColor::stockColor(code)), stock[code]) << code;
  // A palette index alone maps like the stock color that has it; RGB gives the mean rounded half up.
  const std::pair<vcColor, int> cases[] = {
      {vcColor(vcColor::ltGreyColor().index()), 150}, {vcColor(100), 0}, {vcColor(1, 2, 2), 2}, {vcColor(1, 1, 2), 1}};
  for (const auto& [color, grey] : cases) EXPECT_EQ(vcSMDColors::colorToGrayScale(color), grey) << color;
  // Neither index nor RGB: six bytes taken from elsewhere.
  vcColor none;
  const unsigned char raw[6] = {0, 9, 1, 2, 3, 0};
  std::memcpy(static_cast<void*>(&none), raw, sizeof raw);
  EXPECT_THROW(vcSMDColors::colorToGrayScale(none), vcUIError::NotIndexColor);
}

// A closed outline with rounded corners, an arc side and an extension on every sharp turn.
Poly decorated(bool reversed) {
  Poly p;
  p.vertices({vx(0, 0, 2), vx(30, 0), vx(30, 20, 0, 50), vx(0, 20, 3)});
  p.close();
  if (reversed) p.toggleDirection();
  p.positiveArrowColor(vcColor::cyanColor());
  p.negativeArrowColor(vcColor::magentaColor());
  p.setExtensions_(0.5);
  return p;
}

// Arrows through a graphic list record what direct drawing records; a
// wireframe through the base class is the mapped outline in its color; a
// model draws its polys' outlines, arrows (size 2) and extensions in order.
TEST(SMDDrawing, ArrowsWireframesAndModelsRecordWhatDirectDrawingRecords) {
  for (bool reversed : {false, true}) {
    const Poly p = decorated(reversed);
    const vcXform<2> x(vcMatrix<2>(-2, 0.5, 0, 2), V(90, 10));
    vcUITablet direct, viaList;
    p.drawDirectionArrows(x, direct, 3.0);
    vcGraphicList list;
    p.drawDirectionArrows(x, list, 3.0);
    EXPECT_EQ(list.items().size(), 5u * static_cast<std::size_t>(p.numSegments()));
    list.draw(viaList, vcUITablet::eImage);
    ASSERT_GT(direct.sketch().size(), 0);
    EXPECT_EQ(bytes(viaList.sketch()), bytes(direct.sketch())) << "reversed " << reversed;
  }
  Poly a = decorated(false);
  a.colors(vcSMDColors(vcColor::orangeColor(), vcColor::greyColor(), vcColor::blackColor()));
  const vcSMDGDPoly b = vcSMDGDPoly::circle(3, V(30, 0));
  const vcXform<2> x(vcMatrix<2>(0, 2, -2, 0), V(40, 40));
  vcUITablet viaBase, direct;
  static_cast<const vcSMDGeometricDescription&>(a).drawWireframe(x, viaBase);
  direct.draw(vc2Wireframe(vcGenPoly(a, x, false)), vcColor::orangeColor(), vcUITablet::eImage, false);
  EXPECT_EQ(bytes(viaBase.sketch()), bytes(direct.sketch()));
  vcSMDGDModel m("m");
  m << a << b;
  vcUITablet model, polys;
  static_cast<const vcSMDGeometricDescription&>(m).drawWireframe(x, model);
  m.drawDirectionArrows(x, model);
  M::drawNegWireframe(m, x, model);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b}) p->drawWireframe(x, polys);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b}) p->drawDirectionArrows(x, polys, 2.0);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b})
    P::drawNegWireframe(*p, x, polys, vcColor::redColor(), vcUITablet::eImage);
  EXPECT_EQ(bytes(model.sketch()), bytes(polys.sketch()));
}

TEST(SMDDrawing, NegWireframeDrawsEachNonZeroExtensionAlongItsSegment) {
  // Every corner of a square turns by 90 degrees: every segment gets both extensions; segment 1's forward one is then
  // taken away.
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
    const auto& seg = dynamic_cast<const vcLineSeg&>(*drawn[i].shape);
    EXPECT_LT(seg.p1().distance(expected[i].first) + seg.p2().distance(expected[i].second), 1e-12) << i;
    EXPECT_EQ(drawn[i].props.penColor(), vcColor::redColor());
  }
}

}  // namespace
