#include <vc/core/shapetree.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/bezier.h>
#include <vc/core/lineseg.h>
#include <vc/core/rect.h>
#include <vc/core/spline.h>

#include "support/archive_roundtrip.h"
#include "support/test_shapes.h"

namespace {

using Pts = std::vector<vcVector<2>>;

// A non-linear transform with an exact inverse: x is bent by y^2.
class Bend : public vc2XformBase {
public:
  explicit Bend(double k) : k_(k) {}
  vcVector<2> mapPoint(const vcVector<2>& p) const override { return {p.x() + k_ * p.y() * p.y(), p.y()}; }
  vcXform<2> linearXform(const vcVector<2>& at) const override {
    const vcMatrix<2> j(1.0, 2.0 * k_ * at.y(), 0.0, 1.0);
    return vcXform<2>(j, mapPoint(at) - j * at);
  }
  bool isLinear() const override { return false; }
  vcPtrHandle_const<vc2XformBase> inverseBase() const override {
    return vcPtrHandle_const<vc2XformBase>(new Bend(-k_));
  }
  vcPtrHandle<vc2XformBase> clone() const override { return vcPtrHandle<vc2XformBase>(new Bend(k_)); }

private:
  double k_;
};

vcShapeHandle_const seg(double x0, double y0, double x1, double y1) {
  return vfShapeHandle(vcLineSeg(vcVector<2>(x0, y0), vcVector<2>(x1, y1)));
}

// The closed square [x, x + s] x [y, y + s] as four segments.
vcShapeHandle_const square(double x, double y, double s) {
  return vfShapeHandle(vcContourTree({seg(x, y, x + s, y), seg(x + s, y, x + s, y + s), seg(x + s, y + s, x, y + s),
                                      seg(x, y + s, x, y)},
                                     true));
}

vcBezierCurve randomCurve(std::mt19937& g) {
  std::uniform_real_distribution<double> u(-20.0, 20.0), w(0.2, 5.0);
  return vcBezierCurve(vcVector<2>(u(g), u(g)), vcVector<2>(u(g), u(g)), vcVector<2>(u(g), u(g)),
                       vcVector<2>(u(g), u(g)), w(g), w(g), w(g), w(g));
}

// The nested region: a square of side 10 with a hole of side 6 holding an island of side 2.
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
      const vcVector<2> p(u(g), u(g));
      EXPECT_DOUBLE_EQ(m.distanceToPoint(p), direct.distanceToPoint(p));
    }
    Pts pts, src;
    m.sample(vcShape::vcSampleParams(0.05), pts);
    for (const vcVector<2>& q : pts) EXPECT_LE(m.distanceToPoint(q), 1e-9 * (1 + q.len()));
    c.sample(vcShape::vcSampleParams(0.05), src);
    const vcRect box = m.boundingBox();
    for (const vcVector<2>& q : src) EXPECT_TRUE(box.contains(x.mapPoint(q)));
  }
  const vcXform<2> scale(vcMatrix<2>(2, 1, 0, 3), vcVector<2>(4, 5));
  const vcMappedShape region(vfShapeHandle(nestedRegion()), scale);
  EXPECT_NEAR(region.area(), 6.0 * (100 - 36 + 4), 1e-6);
  EXPECT_TRUE(region.within(scale.mapPoint(vcVector<2>(1, 1))));
  EXPECT_FALSE(region.within(scale.mapPoint(vcVector<2>(3, 3))));
}

TEST(MappedShape, MapComposesLinearAndNonLinearTransforms) {
  std::mt19937 g(2);
  const vcBezierCurve c = randomCurve(g);
  const vcXform<2> a = vc_test::randomAffine(g), b = vc_test::randomAffine(g);
  const vcMappedShape m(vfShapeHandle(c), a);
  const vcShapeHandle mm = m.mapShape(b);
  const auto& composed = dynamic_cast<const vcMappedShape&>(*mm);
  const auto* lin = dynamic_cast<const vc2XformLinear*>(composed.overallMapXform().ptr());
  ASSERT_NE(lin, nullptr);
  EXPECT_EQ(lin->xform(), b * a);
  EXPECT_EQ(composed.underlyingShape().ptr(), m.underlyingShape().ptr());

  const vcMappedShape bent(vfShapeHandle(c), vcXformHandle_const(new Bend(0.01)));
  const vcMappedShape bentThenB = bent.map(b);
  EXPECT_FALSE(bentThenB.overallMapXform()->isLinear());
  const vcVector<2> s = bent.startPoint();
  EXPECT_NEAR(bentThenB.startPoint().distance(b.mapPoint(s)), 0.0, 1e-9);
  EXPECT_THROW(vcMappedShape().map(b), vcBadPointer);
}

TEST(MappedShape, NonLinearTransformIsFollowedThroughSamples) {
  std::mt19937 g(3);
  const vcXformHandle_const bend(new Bend(0.02));
  for (int i = 0; i < 10; ++i) {
    const vcBezierCurve c = randomCurve(g);
    const vcMappedShape m(vfShapeHandle(c), bend);
    const double size = std::hypot(m.boundingBox().width(), m.boundingBox().height());
    EXPECT_EQ(m.startPoint(), bend->mapPoint(c.startPoint()));
    EXPECT_EQ(m.endPoint(), bend->mapPoint(c.endPoint()));
    Pts truth;
    for (int k = 0; k <= 500; ++k) truth.push_back(bend->mapPoint(c.point(k / 500.0)));
    const vcRect box = m.boundingBox();
    for (const vcVector<2>& q : truth) {
      EXPECT_LE(m.distanceToPoint(q), 2e-4 * size);
      vcRect grown(box.origin() - vcVector<2>(1e-3, 1e-3) * size, box.size() + vcVector<2>(2e-3, 2e-3) * size);
      EXPECT_TRUE(grown.contains(q));
    }
    // Samples lie on the bent curve, and their chords stay near it.
    const double tol = 0.05;
    Pts pts;
    m.sample(vcShape::vcSampleParams(tol), pts);
    const vcPtrHandle_const<vc2XformBase> back = bend->inverseBase();
    for (const vcVector<2>& q : pts) EXPECT_LE(c.distanceToPoint(back->mapPoint(q)), 1e-9 * size);
    for (std::size_t k = 1; k < pts.size(); ++k) {
      const vcVector<2> mid = (pts[k] + pts[k - 1]) * 0.5;
      double best = 1e300;
      for (std::size_t j = 1; j < truth.size(); ++j) {
        const vcVector<2> d = truth[j] - truth[j - 1];
        const double t = d.len2() > 0 ? std::clamp(d.dot(mid - truth[j - 1]) / d.len2(), 0.0, 1.0) : 0.0;
        best = std::min(best, (truth[j - 1] + d * t).distance(mid));
      }
      EXPECT_LE(best, 1.5 * tol);
    }
  }
  // A region tree is followed member by member, and within() maps points back exactly.
  const vcRegionTree region = nestedRegion();
  const vcMappedShape mr(vfShapeHandle(region), bend);
  std::uniform_real_distribution<double> u(-1.0, 11.0);
  for (int k = 0; k < 200; ++k) {
    const vcVector<2> p(u(g), u(g));
    EXPECT_EQ(mr.within(bend->mapPoint(p)), region.within(p)) << p;
  }
  EXPECT_THROW(vc_test::store(mr), vcArchive::BadData);
}

TEST(MappedShape, EmptyHandlesThrowBadPointer) {
  const vcMappedShape none;
  EXPECT_TRUE(none.isEmpty());
  EXPECT_THROW(none.boundingBox(), vcBadPointer);
  EXPECT_THROW(none.distanceToPoint(vcVector<2>()), vcBadPointer);
  const vcMappedShape noXform(seg(0, 0, 1, 1), vcXformHandle_const());
  EXPECT_THROW(noXform.startPoint(), vcBadPointer);
  Pts sink;
  EXPECT_THROW(noXform.sample(vcShape::vcSampleParams(0.1), sink), vcBadPointer);
}

TEST(MappedShape, ArchiveKeepsTheTransformKindAndSharesTheShape) {
  const vcShapeHandle_const curve = seg(1, 2, 3, 4);
  const vcXform<2> x(vcMatrix<2>(1, 2, 3, 4), vcVector<2>(5, 6));
  vcShapeHandle_const a(new vcMappedShape(curve, x));
  vcShapeHandle_const b(new vcMappedShape(curve, vcXformHandle_const(new vc2Rigid(vcRadian(0.75), vcVector<2>(1, -1)))));
  vcShapeHandle_const c(new vcMappedShape());
  vcBufferArchive out(vcArchive::eStore);
  out || a || b || c;
  vcShapeHandle_const a2, b2, c2;
  vcBufferArchive in(out.bytes());
  in || a2 || b2 || c2;
  EXPECT_TRUE(*a2 == *a);
  EXPECT_TRUE(*b2 == *b);
  EXPECT_TRUE(*c2 == *c);
  const auto& mb = dynamic_cast<const vcMappedShape&>(*b2);
  const auto* rigid = dynamic_cast<const vc2Rigid*>(mb.overallMapXform().ptr());
  ASSERT_NE(rigid, nullptr);
  EXPECT_EQ(rigid->angle(), vcRadian(0.75));
  EXPECT_EQ(dynamic_cast<const vcMappedShape&>(*a2).underlyingShape().ptr(), mb.underlyingShape().ptr());

  // version, shape version, null handle tag, kind
  std::vector<unsigned char> bytes = vc_test::store(vcMappedShape());
  ASSERT_EQ(bytes.size(), 4u);
  bytes.back() = 3;
  vcMappedShape target(curve, x);
  const vcMappedShape before = target;
  vcBufferArchive bad(bytes);
  EXPECT_THROW(bad || target, vcArchive::BadData);
  EXPECT_TRUE(target == before);
}

TEST(ShapeTree, BoundsAndDistancesCoverEveryMemberAndSkipEmptyOnes) {
  vcShapeTree t;
  EXPECT_TRUE(t.isEmpty());
  EXPECT_THROW(t.boundingBox(), vcShapesError::DegenerateShape);
  EXPECT_THROW(t.distanceToPoint(vcVector<2>()), vcShapesError::DegenerateShape);
  t.addChild(seg(0, 0, 1, 0));
  t.addChild(vcShapeTree());
  t.addChild(vcBezierCurve(vcVector<2>(5, 5), vcVector<2>(6, 9), vcVector<2>(7, 9), vcVector<2>(8, 5)));
  EXPECT_EQ(t.numChildren(), 3);
  vcRect expect = t.child(0)->boundingBox();
  expect.enclose(t.child(2)->boundingBox());
  EXPECT_EQ(t.boundingBox(), expect);
  EXPECT_DOUBLE_EQ(t.distanceToPoint(vcVector<2>(0.5, -2)), 2.0);
  EXPECT_DOUBLE_EQ(t.distanceToPoint(vcVector<2>(6.5, 10)), t.child(2)->distanceToPoint(vcVector<2>(6.5, 10)));
  Pts sink;
  EXPECT_THROW(t.sample(vcShape::vcSampleParams(0.1), sink), vcShapesError::BadGeom);
  EXPECT_THROW(t.child(3), vcBadArgument);
  EXPECT_EQ(t.decompose().size(), 3u);

  const vcXform<2> x = vcXform<2>::translation(vcVector<2>(3, 4));
  const vcShapeTree moved = t.map(x);
  const vcRect mb = moved.boundingBox();
  EXPECT_NEAR(mb.x(), expect.x() + 3, 1e-12);
  EXPECT_NEAR(mb.y(), expect.y() + 4, 1e-12);
  EXPECT_FALSE(moved == t);
  EXPECT_TRUE(t.clone()->isEqual(t));
  EXPECT_FALSE(vcShapeTree({seg(0, 0, 1, 1)}) == vcContourTree({seg(0, 0, 1, 1)}, false));
}

TEST(ShapeTree, NullMembersAndCyclesAreRejected) {
  vcShapeTree t;
  EXPECT_THROW(t.addChild(vcShapeHandle_const()), vcBadPointer);
  auto shared = vfMakeHandle<vcShapeTree>();
  vcShapeHandle_const self(shared);
  EXPECT_THROW(shared->addChild(self), vcBadArgument);
  auto outer = vfMakeHandle<vcShapeTree>();
  outer->addChild(vfShapeHandle(vcMappedShape(self, vcXform<2>())));
  EXPECT_THROW(shared->addChild(vcShapeHandle_const(outer)), vcBadArgument);
  EXPECT_EQ(shared->numChildren(), 0);
}

TEST(ContourTree, ImpliedSegmentsJoinMembersInOrder) {
  vcContourTree open({seg(0, 0, 10, 0), seg(10, 10, 0, 10)}, false);
  EXPECT_TRUE(open.isOpenContour());
  EXPECT_EQ(open.startPoint(), vcVector<2>(0, 0));
  EXPECT_EQ(open.endPoint(), vcVector<2>(0, 10));
  EXPECT_DOUBLE_EQ(open.perimeter(), 30.0);
  EXPECT_DOUBLE_EQ(open.distanceToPoint(vcVector<2>(10, 5)), 0.0);
  EXPECT_DOUBLE_EQ(open.distanceToPoint(vcVector<2>(-1, 5)), std::sqrt(26.0));
  EXPECT_NEAR(open.tangentAt(vcVector<2>(11, 5)).y(), 1.0, 1e-12);
  EXPECT_EQ(open.decompose().size(), 3u);

  vcContourTree closed = open;
  closed.setClosed(true);
  EXPECT_TRUE(closed.isClosedContour());
  EXPECT_THROW(closed.startPoint(), vcShapesError::NotOpenContour);
  EXPECT_DOUBLE_EQ(closed.perimeter(), 40.0);
  EXPECT_DOUBLE_EQ(closed.distanceToPoint(vcVector<2>(-1, 5)), 1.0);
  EXPECT_EQ(closed.decompose().size(), 4u);
  Pts pts;
  closed.sample(vcShape::vcSampleParams(0.1, 2.5), pts);
  EXPECT_EQ(pts.front(), vcVector<2>(0, 0));
  EXPECT_EQ(pts.back(), vcVector<2>(0, 0));
  EXPECT_EQ(pts.size(), 17u);
  for (std::size_t i = 1; i < pts.size(); ++i) EXPECT_LE(pts[i].distance(pts[i - 1]), 2.5 + 1e-12);
  Pts dup;
  closed.sample(vcShape::vcSampleParams(0.1, 0.0, 2, true), dup);
  EXPECT_EQ(dup, (Pts{{0, 0}, {10, 0}, {10, 0}, {10, 10}, {10, 10}, {0, 10}, {0, 10}, {0, 0}}));

  const vcShapeHandle rev = open.reverse();
  EXPECT_EQ(rev->startPoint(), vcVector<2>(0, 10));
  EXPECT_EQ(rev->endPoint(), vcVector<2>(0, 0));
  EXPECT_DOUBLE_EQ(rev->perimeter(), 30.0);

  vcContourTree empty;
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_THROW(empty.startPoint(), vcShapesError::DegenerateShape);
  empty.sample(vcShape::vcSampleParams(0.1), pts);
  EXPECT_EQ(pts.size(), 17u);
  EXPECT_THROW(empty.addChild(square(0, 0, 1)), vcShapesError::NotOpenContour);
  EXPECT_THROW(empty.addChild(vcInterpSpline({{0, 0}, {1, 0}, {0, 1}}, true)), vcShapesError::NotOpenContour);
  EXPECT_THROW(empty.addChild(vcContourTree(false)), vcShapesError::NotOpenContour);
}

TEST(ContourTree, SamplingCurvedMembersKeepsChordsWithinTolerance) {
  std::mt19937 g(9);
  for (int i = 0; i < 20; ++i) {
    vcContourTree t(i % 2 == 1);
    for (int k = 0; k < 3; ++k) t.addChild(randomCurve(g));
    for (double tol : {0.5, 0.01}) {
      Pts pts;
      t.sample(vcShape::vcSampleParams(tol, 4.0), pts);
      for (std::size_t k = 1; k < pts.size(); ++k) {
        EXPECT_LE(pts[k].distance(pts[k - 1]), 4.0 + 1e-9);
        EXPECT_LE(t.distanceToPoint((pts[k] + pts[k - 1]) * 0.5), tol * (1 + 1e-9));
      }
    }
  }
}

TEST(RegionTree, NestedHolesAndIslandsDecideMembership) {
  const vcRegionTree r = nestedRegion();
  EXPECT_TRUE(r.isRegion());
  EXPECT_TRUE(r.within(vcVector<2>(1, 1)));
  EXPECT_FALSE(r.within(vcVector<2>(3, 3)));
  EXPECT_TRUE(r.within(vcVector<2>(5, 5)));
  EXPECT_FALSE(r.within(vcVector<2>(11, 5)));
  EXPECT_TRUE(r.within(vcVector<2>(2, 5)));  // on the hole's boundary
  EXPECT_NEAR(r.area(), 100 - 36 + 4, 1e-9);
  EXPECT_DOUBLE_EQ(r.perimeter(), 40 + 24 + 8);
  EXPECT_DOUBLE_EQ(r.distanceToPoint(vcVector<2>(1, 1)), 0.0);
  EXPECT_DOUBLE_EQ(r.distanceToPoint(vcVector<2>(3.5, 3)), 1.0);
  EXPECT_DOUBLE_EQ(r.distanceToPoint(vcVector<2>(13, 5)), 3.0);
  EXPECT_EQ(r.boundingBox(), vcRect(0, 0, 10, 10));
  Pts sink;
  EXPECT_THROW(r.sample(vcShape::vcSampleParams(0.1), sink), vcShapesError::BadGeom);

  vcRegionTree islands;
  EXPECT_TRUE(islands.isEmpty());
  islands.addChild(vcRegionTree(square(0, 0, 1), false, false));
  islands.addChild(vcRegionTree(square(5, 5, 2), false, false));
  EXPECT_TRUE(islands.within(vcVector<2>(6, 6)));
  EXPECT_FALSE(islands.within(vcVector<2>(3, 3)));
  EXPECT_NEAR(islands.area(), 5.0, 1e-9);
  EXPECT_EQ(islands.boundingBox(), vcRect(0, 0, 7, 7));

  const vcRegionTree moved = r.map(vcXform<2>::translation(vcVector<2>(100, 0)));
  EXPECT_TRUE(moved.within(vcVector<2>(105, 5)));
  EXPECT_FALSE(moved.within(vcVector<2>(103, 3)));

  // A curved boundary: a closed spline is a closed contour.
  const vcRegionTree blob(vfShapeHandle(vcDeBoorSpline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true)));
  EXPECT_TRUE(blob.within(vcVector<2>(5, 5)));
  EXPECT_FALSE(blob.within(vcVector<2>(0.5, 0.5)));
}

TEST(RegionTree, BadBoundariesAndMembersAreRejected) {
  EXPECT_THROW(vcRegionTree(seg(0, 0, 1, 1)), vcShapesError::NotRegion);
  EXPECT_THROW(vcRegionTree{vcShapeHandle_const()}, vcBadPointer);
  EXPECT_NO_THROW(vcRegionTree(vcShapeHandle_const(), true, true));
  vcRegionTree r(square(0, 0, 4));
  EXPECT_THROW(r.addChild(square(1, 1, 1)), vcShapesError::NotRegion);
  EXPECT_THROW(r.addChild(vcRegionTree(square(1, 1, 1))), vcShapesError::BadGeom);
  EXPECT_EQ(r.numChildren(), 0);
}

TEST(ShapeTree, ArchivesRoundTripAndShareMembersWrittenOnce) {
  const vcShapeHandle_const shared = seg(0, 0, 3, 4);
  const vcShapeHandle_const trees[] = {
      vfShapeHandle(vcShapeTree({shared, shared, square(1, 1, 2)})),
      vfShapeHandle(vcContourTree({shared, seg(5, 5, 6, 6), shared}, true)),
      vfShapeHandle(nestedRegion()),
      vfShapeHandle(vcRegionTree()),
  };
  for (const vcShapeHandle_const& t : trees) {
    const vcShapeHandle_const back = vc_test::load(vc_test::store(t), vcShapeHandle_const());
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == *t);
  }
  const vcShapeHandle_const shared2 = vc_test::load(vc_test::store(trees[0]), vcShapeHandle_const());
  const auto& tree = dynamic_cast<const vcShapeTree&>(*shared2);
  EXPECT_EQ(tree.child(0).ptr(), tree.child(1).ptr());
}

TEST(ShapeTree, MalformedArchivesThrowAndLeaveTreesUnchanged) {
  // A group's archive plus a closed flag reads as a contour tree: its member must be an open contour.
  std::vector<unsigned char> bytes = vc_test::store(vcShapeTree({square(0, 0, 1)}));
  bytes.push_back(0);
  vcContourTree target({seg(0, 0, 1, 1)}, false);
  const vcContourTree before = target;
  {
    vcBufferArchive in(bytes);
    EXPECT_THROW(in || target, vcArchive::BadData);
    EXPECT_TRUE(target == before);
  }
  std::vector<unsigned char> huge = vc_test::store(before);
  huge[2] = huge[3] = huge[4] = huge[5] = 0xFF;
  vcBufferArchive inHuge(huge);
  EXPECT_THROW(inHuge || target, vcArchive::BadData);
  EXPECT_TRUE(target == before);

  // A region node that is not a root hole, stored without a boundary.
  std::vector<unsigned char> region = vc_test::store(vcRegionTree());
  ASSERT_EQ(region.size(), 2u + 4u + 1u + 2u);
  region[7] = 0;  // hole flag off
  vcRegionTree rt = nestedRegion();
  vcBufferArchive inRegion(region);
  EXPECT_THROW(inRegion || rt, vcArchive::BadData);
  EXPECT_TRUE(rt == nestedRegion());
}
