// SMD models: labels, index errors, sub-models, mirroring and mapping,
// cropping forms, the implementer-chosen family and the archive form.
#include <cmath>

#include <gtest/gtest.h>

#include <vc/core/poly.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/wireframe.h>

#include "support/archive_roundtrip.h"

namespace {

using M = vcSMDGDModelPrivate;
using P = vcSMDGDPolyPrivate;
using V = vcVector<2>;

// Opens the protected editing to the tests.
struct Editable : vcSMDGDModel {
  using vcSMDGDModel::deletePoly;
  using vcSMDGDModel::replacePoly;
  using vcSMDGDModel::vcSMDGDModel;
};

// A rounded outline with a bowed side, so that mirroring has arcs to turn.
vcSMDGDPoly roundedBow() {
  vcSMDGDPoly p("bow");
  p << vcSMDGDPolyVertex(V(0, 0), 0.5, vcDegree(0.0), 0.5, 0.5, 4, vcDimTol());
  p << vcSMDGDPolyVertex(V(6, 1), 0.5, vcDegree(25.0), 0.3, 0.6, 5, vcDimTol(6.08, 0.1, 0.1, vcDimTol::eOffsets));
  p << vcSMDGDPolyVertex(V(5, 5), 0.0, vcDegree(0.0), 0.5, 0.5, 4, vcDimTol());
  p.close();
  return p;
}

vcSMDGDModel sample() {
  vcSMDGDModel m("part");
  m << roundedBow() << vcSMDGDPoly::rectangle(4, 2, V(-6, 3)) << vcSMDGDPoly::triangle(2, 3, V(10, -4));
  return vc2Rigid(vcRadian(0.3), V(1, -2)) * m;
}

TEST(SMDModel, EmptyModelAndLabelMerging) {
  vcSMDGDModel m("m");
  EXPECT_TRUE(m.isClosed());
  EXPECT_EQ(m.numVertices(), 0);
  EXPECT_EQ(M::normalizedPosition(m).trans(), V(0, 0));
  EXPECT_EQ(M::normalizedPosition(m).angle().toDouble(), 0.0);
  m << vcSMDGDPoly::rectangle(4, 2, V(0, 0)) << vcSMDGDPoly::triangle(2, 3, V(5, 5));
  EXPECT_EQ(m.subModelLabels(), (std::vector<long>{0, 1, 2, 3}));
  EXPECT_EQ(m.numVertices(), 7);
  vcSMDGDPoly open("o");
  open << vcSMDGDPolyVertex(V(0, 0), 0.5, 0.5, 9) << vcSMDGDPolyVertex(V(1, 0), 0.5, 0.5, 2);
  m << open;
  EXPECT_TRUE(m.isOpen());
  EXPECT_EQ(m.subModelLabels(), (std::vector<long>{0, 1, 2, 3, 9}));
}

TEST(SMDModel, PolyIndexErrorsAndEditsThatEmptyTheName) {
  Editable m("named");
  m << vcSMDGDPoly::rectangle(4, 2, V(0, 0)) << roundedBow();
  const vcSMDGDModel moved = vc2Rigid(vcRadian(0.5), V(3, 4)) * static_cast<const vcSMDGDModel&>(m);
  static_cast<vcSMDGDModel&>(m) = moved;
  for (int bad : {-1, 2}) {
    EXPECT_THROW(m.poly(bad), vcSMDGDModel::invalidIndex);
    EXPECT_THROW(m.replacePoly(bad, roundedBow()), vcSMDGDModel::invalidIndex);
    EXPECT_THROW(m.deletePoly(bad), vcSMDGDModel::invalidIndex);
    vcSMDGDModel out("kept");
    EXPECT_THROW(M::corner(m, out, bad, 0, false), vcSMDGDModel::invalidIndex);
    EXPECT_EQ(out.name(), "kept");
  }
  EXPECT_EQ(m.name(), "named");
  m.deletePoly(0);
  EXPECT_EQ(m.name(), "");
  EXPECT_EQ(m.subModelLabels(), (std::vector<long>{4, 5}));
  EXPECT_TRUE(M::position(m) == M::position(moved));
  m.replacePoly(0, vcSMDGDPoly::triangle(1, 1, V(0, 0)));
  EXPECT_EQ(m.subModelLabels(), (std::vector<long>{0, 1, 2}));
}

TEST(SMDModel, SubModelsSitAtTheirOwnOriginAndMapBack) {
  const vcSMDGDModel m = sample();
  vcSMDGDModel none("x");
  m.subModel(77, none);
  EXPECT_EQ(none.numPolys(), 0);
  for (long label : {0L, 4L}) {
    SCOPED_TRACE(label);
    vcSMDGDModel sub("x");
    m.subModel(label, sub);
    ASSERT_GT(sub.numPolys(), 0);
    const vc2Rigid at = M::position(sub);
    const vc2Rigid again = M::normalizedPosition(at * sub);
    EXPECT_NEAR(again.trans().distance(at.trans()), 0, 1e-9);
    EXPECT_NEAR(std::remainder(again.angle().toDouble() - at.angle().toDouble(), 2 * std::numbers::pi), 0, 1e-9);
    // Each carried vertex returns to its place in m when mapped by the position.
    const vcSMDGDModel back = at * sub;
    for (const auto& p : back.polys()) {
      bool found = false;
      for (const auto& v : p.vertices())
        for (const auto& q : m.polys())
          for (const auto& w : q.vertices())
            found = found || (v.subModelLabel() == label && w.subModelLabel() == label &&
                              v.point().distance(w.point()) < 1e-9);
      EXPECT_TRUE(found);
    }
  }
  // A rectangle's corner: three vertices, the corner at the origin of the piece.
  vcSMDGDModel rect("r"), corner("c");
  rect << vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  rect.subModel(0, corner);
  ASSERT_EQ(corner.numPolys(), 1);
  ASSERT_EQ(corner.poly(0).numVertices(), 3);
  EXPECT_NEAR(corner.poly(0).vertex(1).point().len(), 0, 1e-12);
  EXPECT_NEAR(M::position(corner).trans().distance(V(2, 1)), 0, 1e-12);
  EXPECT_NEAR(P::perimeter(corner.poly(0), 0.0), 0.5 * 4 + 0.5 * 2, 1e-12);
}

TEST(SMDModel, FlipAndOperatorIdentities) {
  vcSMDGDModel r("r");
  r << vcSMDGDPoly::rectangle(4, 2, V(0, 5));
  const vcSMDGDModel f = r.flip();
  EXPECT_TRUE(f.poly(0).isDirectionReversed());
  const vcRect box = f.boundingBox();
  EXPECT_NEAR(box.x() + box.width() / 2, 0, 1e-12);
  EXPECT_NEAR(box.y() + box.height() / 2, -5, 1e-12);

  const vcSMDGDModel m = sample();
  const vcSMDGDModel ff = m.flip().flip();
  EXPECT_EQ(vc_test::archiveBytes(ff), vc_test::archiveBytes(m));
  EXPECT_EQ(m.flip().name(), "part");
  EXPECT_TRUE(M::position(m.flip()) == M::position(m));
  EXPECT_FALSE(M::equivalent(m.flip(), m));

  const vc2Rigid r1(vcRadian(-1.1), V(2, 7));
  const vcSMDGDModel there = r1 * m, back = r1.inverse() * there;
  ASSERT_EQ(back.numPolys(), m.numPolys());
  for (int i = 0; i < m.numPolys(); ++i) EXPECT_TRUE(vfRealEq(back.poly(i), m.poly(i), 1e-9));
  EXPECT_TRUE(M::position(there) == r1 * M::position(m));
  const vcSMDGDModel big = 2.0 * m;
  EXPECT_NEAR(M::perimeter(big, 0.0), 2 * M::perimeter(m, 0.0), 1e-9);
  EXPECT_TRUE(M::position(big) == M::position(m));

  // Same polys at another position: equivalent, not equal.
  vcSMDGDModel moved("part");
  moved << m;
  EXPECT_TRUE(M::equivalent(moved, m));
  EXPECT_FALSE(moved == m);
  EXPECT_TRUE(vcSMDGDModel(m) == m);
}

TEST(SMDModel, CropFormsCheckNestingFirstAndKeepOrder) {
  vcSMDGDModel line("l");
  vcSMDGDPoly l("l");
  l << vcSMDGDPolyVertex(V(-10, 0), 0.5, 0.5, -1) << vcSMDGDPolyVertex(V(10, 0), 0.5, 0.5, -1);
  line << l;
  vcSMDGDModel nested("n");
  nested << vcSMDGDPoly::rectangle(10, 10, V(0, 0)) << vcSMDGDPoly::rectangle(2, 2, V(1, 0));
  EXPECT_THROW(M::crop(nested, line), vcSMDGDModel::nestedPolys);

  const std::vector<vcPolygon> boxes{vcPolygon({V(-6, -1), V(-4, -1), V(-4, 1), V(-6, 1)}, vcPolygon::eEvenOdd),
                                     vcPolygon({V(4, -1), V(6, -1), V(6, 1), V(4, 1)}, vcPolygon::eEvenOdd)};
  const vcSMDGDModel pieces = M::crop(line, boxes);
  ASSERT_EQ(pieces.numPolys(), 2);
  EXPECT_NEAR(pieces.poly(0).vertex(0).point().x(), -6, 1e-12);  // first box first
  EXPECT_NEAR(pieces.poly(1).vertex(1).point().x(), 6, 1e-12);
  EXPECT_TRUE(M::crop(M::convert(boxes), line) == pieces);
  const vcSMDGDModel outside = M::crop(line, boxes[0], false);
  EXPECT_EQ(outside.numPolys(), 2);
  EXPECT_NEAR(M::perimeter(outside, 0.0), 18, 1e-12);
}

TEST(SMDModel, ChosenFamilyDoesWhatItsHeaderSays) {
  vcSMDGDModel m("m");
  vcSMDGDPoly neg = vcSMDGDPoly::rectangle(2, 2, V(20, 0));
  neg.toggleDirection();
  m << vcSMDGDPoly::rectangle(10, 4, V(0, 0)) << neg;
  // Probes: perimeters 28 and 8, then again at twice the size.
  EXPECT_EQ(M::numPosProbesRequired(m, vcXform<2>::I, {}, 1.0), 36);
  EXPECT_EQ(M::numPosProbesRequired(m, vcXform<2>::I, {vcXform<2>(vcMatrix<2>(2, 0, 0, 2), V(0, 0))}, 1.0), 108);
  EXPECT_THROW(M::numPosProbesRequired(m, vcXform<2>::I, {}, 0.0), vcShapesError::BadGeom);
  const vcRect pos = M::boundingBoxPositive(m, vcXform<2>::I), negBox = M::boundingBoxNeg(m, vcXform<2>::I);
  EXPECT_EQ(pos.x(), -5);
  EXPECT_EQ(pos.width(), 10);
  EXPECT_EQ(negBox.x(), 19);
  EXPECT_EQ(negBox.width(), 2);
  const vcRect both = M::boundingBox(m, {vcXform<2>::I, vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(0, 10))});
  EXPECT_EQ(both.y(), -2);
  EXPECT_EQ(both.height(), 14);

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
  EXPECT_EQ(wm.poly(0).weight(), 0.5);
  EXPECT_NEAR(P::perimeter(wm.poly(0), 0.0), 2 * 2 * std::numbers::pi, 1e-9);
  EXPECT_NEAR(wm.poly(0).boundingBox().x(), -1, 1e-12);
  EXPECT_TRUE(wm.poly(1) == [] {
    vcSMDGDPoly p = roundedBow();
    p.weight(2.0);
    return p;
  }());
  EXPECT_THROW(M::weightedWireframesToModel(w, {1.0}), vcShapesError::BadGeom);
  EXPECT_THROW(M::wireframeXforms(w, {1.0, -1.0, 1.0}), vcShapesError::BadGeom);
  w.push_back(vc2Wireframe(vcGenPoly(roundedBow(), vcXform<2>(vcMatrix<2>(2, 0, 0, 1), V(0, 0)), true)));
  EXPECT_THROW(M::weightedWireframesToModel(w, {1, 1, 1, 1}), vcShapesError::BadGeom);

  // Dominant angle: the outlines' common tilt, whatever their own start.
  const vcSMDGDModel tilted = vc2Rigid(vcRadian(vcDegree(100.0)), V(0, 0)) * m;
  EXPECT_NEAR(M::dominantAngle(tilted).toDouble(), 10.0, 1e-9);
  EXPECT_EQ(M::dominantAngle(vcSMDGDModel()).toDouble(), 0.0);

  vcSMDGDModel c("c");
  M::corner(m, c, 0, 1, true);
  ASSERT_EQ(c.numPolys(), 1);
  EXPECT_EQ(c.name(), "m");
  EXPECT_NEAR(P::perimeter(c.poly(0), 0.0), 14, 1e-12);  // both whole sides of the corner
}

TEST(SMDModel, ArchiveRoundTripsAndRejectsBadBytesUnchanged) {
  const vcSMDGDModel m = sample();
  const vc_test::Bytes bytes = vc_test::archiveBytes(m);
  const vcSMDGDModel back = vc_test::load(bytes, vcSMDGDModel("other"));
  EXPECT_TRUE(back == m);
  EXPECT_EQ(back.name(), "part");
  EXPECT_EQ(back.subModelLabels(), m.subModelLabels());
  EXPECT_EQ(vc_test::archiveBytes(back), bytes);

  const vcSMDGDModel target = vc2Rigid(vcRadian(2.0), V(5, 5)) * vcSMDGDModel("t");
  const auto same = [](const vcSMDGDModel& a, const vcSMDGDModel& b) {
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.name(), b.name());
  };
  vc_test::expectEveryPrefixRejected(target, bytes, same);
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 1), target, "");
  vc_test::expectRejected(target, vc_test::withU8(bytes, 1, 1), same);  // the description's version
  // The stored labels must be the polys' own: a changed first label is refused.
  const std::size_t labelsAt = bytes.size() - 24 - 4 * m.subModelLabels().size();
  vc_test::expectRejected(target, vc_test::withU32(bytes, labelsAt, 99), same);
  vc_test::expectRejected(target, vc_test::withU32(bytes, labelsAt - 4, 0xFFFFFFFFu), same);
}

}  // namespace
