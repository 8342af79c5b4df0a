#include <vc/core/shapetree.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/bezier.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/core/spline.h>

#include "support/archive_roundtrip.h"
#include "support/test_shapes.h"

namespace {

using V = vcVector<2>;
using Pts = std::vector<V>;

// A non-linear transform with an exact inverse: x is bent by y^2.
class Bend : public vc2XformBase {
public:
  explicit Bend(double k) : k_(k) {}
  V mapPoint(const V& p) const override { return {p.x() + k_ * p.y() * p.y(), p.y()}; }
  vcXform<2> linearXform(const V& at) const override {
    const vcMatrix<2> j(1.0, 2.0 * k_ * at.y(), 0.0, 1.0);
    return vcXform<2>(j, mapPoint(at) - j * at);
  }
  bool isLinear() const override { return false; }
  vcPtrHandle_const<vc2XformBase> inverseBase() const override { return vcPtrHandle_const<vc2XformBase>(new Bend(-k_)); }
  vcPtrHandle<vc2XformBase> clone() const override { return vcPtrHandle<vc2XformBase>(new Bend(k_)); }

private:
  double k_;
};

vcShapeHandle_const seg(double x0, double y0, double x1, double y1) {
  return vfShapeHandle(vcLineSeg(V(x0, y0), V(x1, y1)));
}

// The closed square [x, x + s] x [y, y + s] as four segments.
vcShapeHandle_const square(double x, double y, double s) {
  return vfShapeHandle(vcContourTree(
      {seg(x, y, x + s, y), seg(x + s, y, x + s, y + s), seg(x + s, y + s, x, y + s), seg(x, y + s, x, y)}, true));
}

vcBezierCurve randomCurve(std::mt19937& g) {
  std::uniform_real_distribution<double> u(-20.0, 20.0), w(0.2, 5.0);
  return vcBezierCurve(V(u(g), u(g)), V(u(g), u(g)), V(u(g), u(g)), V(u(g), u(g)), w(g), w(g), w(g), w(g));
}

// A square of side 10 with a hole of side 6 holding an island of side 2.
vcRegionTree nestedRegion() {
  vcRegionTree outer(square(0, 0, 10));
  vcRegionTree hole(square(2, 2, 6), true, false);
  hole.addChild(vcRegionTree(square(4, 4, 2), false, false));
  outer.addChild(hole);
  return outer;
}

}  // namespace

TEST(MappedShape, LinearTransformAnswersExactlyAsTheMappedShape) {
  std::mt19937 g(1);
  std::uniform_real_distribution<double> u(-60.0, 60.0);
  for (int i = 0; i < 20; ++i) {
    const vcBezierCurve c = randomCurve(g);
    const vcXform<2> x = vc_test::randomAffine(g);
    const vcMappedShape m(vfShapeHandle(c), x);
    const vcBezierCurve direct = c.map(x);
    EXPECT_EQ(m.boundingBox(), direct.boundingBox());
    EXPECT_EQ(m.startPoint(), x.mapPoint(c.startPoint()));
    EXPECT_DOUBLE_EQ(m.perimeter(), direct.perimeter());
    for (int k = 0; k < 5; ++k) {
      const V p(u(g), u(g));
      EXPECT_DOUBLE_EQ(m.distanceToPoint(p), direct.distanceToPoint(p));
    }
  }
  const vcXform<2> scale(vcMatrix<2>(2, 1, 0, 3), V(4, 5));
  const vcMappedShape region(vfShapeHandle(nestedRegion()), scale);
  EXPECT_NEAR(region.area(), 6.0 * (100 - 36 + 4), 1e-6);
  EXPECT_TRUE(region.within(scale.mapPoint(V(1, 1))));
  EXPECT_FALSE(region.within(scale.mapPoint(V(3, 3))));
}

TEST(MappedShape, NonLinearTransformIsFollowedThroughSamplesAndComposes) {
  std::mt19937 g(3);
  const vcXformHandle_const bend(new Bend(0.02));
  for (int i = 0; i < 10; ++i) {
    const vcBezierCurve c = randomCurve(g);
    const vcMappedShape m(vfShapeHandle(c), bend);
    const double size = std::hypot(m.boundingBox().width(), m.boundingBox().height());
    EXPECT_EQ(m.endPoint(), bend->mapPoint(c.endPoint()));
    Pts truth;
    for (int k = 0; k <= 500; ++k) truth.push_back(bend->mapPoint(c.point(k / 500.0)));
    for (const V& q : truth) EXPECT_LE(m.distanceToPoint(q), 2e-4 * size);
    Pts pts;
    m.sample(vcShape::vcSampleParams(0.05), pts);
    for (const V& q : pts) EXPECT_LE(c.distanceToPoint(bend->inverseBase()->mapPoint(q)), 1e-9 * size);
    const vcPolyline reference(truth, false);
    for (std::size_t k = 1; k < pts.size(); ++k) EXPECT_LE(reference.distanceToPoint((pts[k] + pts[k - 1]) * 0.5), 0.075);
  }
  const vcRegionTree region = nestedRegion();
  const vcMappedShape mr(vfShapeHandle(region), bend);
  std::uniform_real_distribution<double> u(-1.0, 11.0);
  for (int k = 0; k < 200; ++k) {
    const V p(u(g), u(g));
    EXPECT_EQ(mr.within(bend->mapPoint(p)), region.within(p)) << p;
  }
  EXPECT_THROW(vc_test::store(mr), vcArchive::BadData);

  // Linear after linear composes into one map of the same shape; after a bend it stays non-linear.
  const vcBezierCurve c = randomCurve(g);
  const vcXform<2> a = vc_test::randomAffine(g), b = vc_test::randomAffine(g);
  const vcMappedShape lin(vfShapeHandle(c), a);
  const vcShapeHandle mm = lin.mapShape(b);
  const auto& composed = dynamic_cast<const vcMappedShape&>(*mm);
  EXPECT_EQ(dynamic_cast<const vc2XformLinear&>(*composed.overallMapXform()).xform(), b * a);
  EXPECT_EQ(composed.underlyingShape().ptr(), lin.underlyingShape().ptr());
  const vcMappedShape bentThenB = vcMappedShape(vfShapeHandle(c), bend).map(b);
  EXPECT_FALSE(bentThenB.overallMapXform()->isLinear());
  EXPECT_NEAR(bentThenB.startPoint().distance(b.mapPoint(bend->mapPoint(c.startPoint()))), 0.0, 1e-9);
  EXPECT_THROW(vcMappedShape().boundingBox(), vcBadPointer);
  EXPECT_THROW(vcMappedShape(seg(0, 0, 1, 1), vcXformHandle_const()).startPoint(), vcBadPointer);
}

TEST(ShapeTree, BoundsAndDistancesCoverEveryMemberAndBadMembersAreRefused) {
  vcShapeTree t;
  EXPECT_THROW(t.boundingBox(), vcShapesError::DegenerateShape);
  t.addChild(seg(0, 0, 1, 0));
  t.addChild(vcShapeTree());
  t.addChild(vcBezierCurve(V(5, 5), V(6, 9), V(7, 9), V(8, 5)));
  vcRect expect = t.child(0)->boundingBox();
  expect.enclose(t.child(2)->boundingBox());
  EXPECT_EQ(t.boundingBox(), expect);  // the empty member adds nothing
  EXPECT_DOUBLE_EQ(t.distanceToPoint(V(0.5, -2)), 2.0);
  EXPECT_DOUBLE_EQ(t.distanceToPoint(V(6.5, 10)), t.child(2)->distanceToPoint(V(6.5, 10)));
  EXPECT_THROW(t.child(3), vcBadArgument);
  EXPECT_FALSE(vcShapeTree({seg(0, 0, 1, 1)}) == vcContourTree({seg(0, 0, 1, 1)}, false));

  EXPECT_THROW(t.addChild(vcShapeHandle_const()), vcBadPointer);
  auto shared = vfMakeHandle<vcShapeTree>();
  const vcShapeHandle_const self(shared);
  EXPECT_THROW(shared->addChild(self), vcBadArgument);
  auto outer = vfMakeHandle<vcShapeTree>();
  outer->addChild(vfShapeHandle(vcMappedShape(self, vcXform<2>())));
  EXPECT_THROW(shared->addChild(vcShapeHandle_const(outer)), vcBadArgument);  // a cycle through a map
  EXPECT_EQ(shared->numChildren(), 0);
}

TEST(ContourTree, ImpliedSegmentsJoinMembersInOrder) {
  vcContourTree open({seg(0, 0, 10, 0), seg(10, 10, 0, 10)}, false);
  EXPECT_EQ(open.endPoint(), V(0, 10));
  EXPECT_DOUBLE_EQ(open.perimeter(), 30.0);
  EXPECT_NEAR(open.tangentAt(V(11, 5)).y(), 1.0, 1e-12);
  EXPECT_EQ(open.decompose().size(), 3u);  // with the implied segment
  EXPECT_EQ(open.reverse()->startPoint(), V(0, 10));

  vcContourTree closed = open;
  closed.setClosed(true);
  EXPECT_THROW(closed.startPoint(), vcShapesError::NotOpenContour);
  EXPECT_DOUBLE_EQ(closed.perimeter(), 40.0);
  EXPECT_DOUBLE_EQ(closed.distanceToPoint(V(-1, 5)), 1.0);
  Pts dup;
  closed.sample(vcShape::vcSampleParams(0.1, 0.0, 2, true), dup);
  EXPECT_EQ(dup, (Pts{{0, 0}, {10, 0}, {10, 0}, {10, 10}, {10, 10}, {0, 10}, {0, 10}, {0, 0}}));

  vcContourTree empty;
  EXPECT_THROW(empty.startPoint(), vcShapesError::DegenerateShape);
  EXPECT_THROW(empty.addChild(square(0, 0, 1)), vcShapesError::NotOpenContour);
  EXPECT_THROW(empty.addChild(vcInterpSpline({{0, 0}, {1, 0}, {0, 1}}, true)), vcShapesError::NotOpenContour);
}

TEST(RegionTree, NestedHolesAndIslandsDecideMembership) {
  const vcRegionTree r = nestedRegion();
  for (const auto& [p, in] : {std::pair{V(1, 1), true}, {V(3, 3), false}, {V(5, 5), true}, {V(11, 5), false},
                              {V(2, 5), true} /* on the hole's boundary */})
    EXPECT_EQ(r.within(p), in) << p;
  EXPECT_NEAR(r.area(), 100 - 36 + 4, 1e-9);
  EXPECT_DOUBLE_EQ(r.perimeter(), 40 + 24 + 8);
  EXPECT_DOUBLE_EQ(r.distanceToPoint(V(3.5, 3)), 1.0);
  EXPECT_FALSE(r.map(vcXform<2>::translation(V(100, 0))).within(V(103, 3)));

  vcRegionTree islands;
  islands.addChild(vcRegionTree(square(0, 0, 1), false, false));
  islands.addChild(vcRegionTree(square(5, 5, 2), false, false));
  EXPECT_TRUE(islands.within(V(6, 6)) && !islands.within(V(3, 3)));
  EXPECT_NEAR(islands.area(), 5.0, 1e-9);
  const vcRegionTree blob(vfShapeHandle(vcDeBoorSpline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true)));
  EXPECT_TRUE(blob.within(V(5, 5)) && !blob.within(V(0.5, 0.5)));  // a curved boundary

  EXPECT_THROW(vcRegionTree(seg(0, 0, 1, 1)), vcShapesError::NotRegion);
  EXPECT_THROW(vcRegionTree{vcShapeHandle_const()}, vcBadPointer);
  vcRegionTree sq(square(0, 0, 4));
  EXPECT_THROW(sq.addChild(square(1, 1, 1)), vcShapesError::NotRegion);
  EXPECT_THROW(sq.addChild(vcRegionTree(square(1, 1, 1))), vcShapesError::BadGeom);  // a root inside a root
}

TEST(ShapeTree, ArchivesRoundTripShareMembersAndRefuseMalformedInput) {
  const vcShapeHandle_const shared = seg(0, 0, 3, 4);
  const vcShapeHandle_const trees[] = {
      vfShapeHandle(vcShapeTree({shared, shared, square(1, 1, 2)})),
      vfShapeHandle(vcContourTree({shared, seg(5, 5, 6, 6), shared}, true)),
      vfShapeHandle(nestedRegion()),
      vfShapeHandle(vcRegionTree()),
      vfShapeHandle(vcMappedShape(shared, vcXformHandle_const(new vc2Rigid(vcRadian(0.75), V(1, -1))))),
      vfShapeHandle(vcMappedShape()),
  };
  for (const vcShapeHandle_const& t : trees) {
    const vcShapeHandle_const back = vc_test::load(vc_test::store(t), vcShapeHandle_const());
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == *t);
  }
  const vcShapeHandle_const back = vc_test::load(vc_test::store(trees[0]), vcShapeHandle_const());
  const auto& tree = dynamic_cast<const vcShapeTree&>(*back);
  EXPECT_EQ(tree.child(0).ptr(), tree.child(1).ptr());
  const vcShapeHandle_const mapped = vc_test::load(vc_test::store(trees[4]), vcShapeHandle_const());
  EXPECT_NE(dynamic_cast<const vc2Rigid*>(dynamic_cast<const vcMappedShape&>(*mapped).overallMapXform().ptr()), nullptr);

  const vcContourTree before({seg(0, 0, 1, 1)}, false);
  std::vector<unsigned char> group = vc_test::store(vcShapeTree({square(0, 0, 1)}));
  group.push_back(0);  // reads as a contour tree whose member is not an open contour
  std::vector<unsigned char> huge = vc_test::store(before);
  huge[2] = huge[3] = huge[4] = huge[5] = 0xFF;  // member count
  for (const auto& bytes : {group, huge})
    vc_test::expectRejected(before, bytes, [](const vcContourTree& a, const vcContourTree& b) { EXPECT_TRUE(a == b); });
  std::vector<unsigned char> region = vc_test::store(vcRegionTree());
  ASSERT_EQ(region.size(), 2u + 4u + 1u + 2u);
  region[7] = 0;  // a node without a boundary that is not a root hole
  vc_test::expectRejected(nestedRegion(), region, [](const vcRegionTree& a, const vcRegionTree& b) { EXPECT_TRUE(a == b); });
  std::vector<unsigned char> kind = vc_test::store(vcMappedShape());
  ASSERT_EQ(kind.size(), 4u);  // version, shape version, null handle tag, transform kind
  kind.back() = 3;
  vc_test::expectRejected(vcMappedShape(shared, vcXform<2>()), kind,
                          [](const vcMappedShape& a, const vcMappedShape& b) { EXPECT_TRUE(a == b); });
}
