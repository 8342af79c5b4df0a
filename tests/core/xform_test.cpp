// vcXform<2>, its linear part vcMatrix<2>, and the shared transforms.
#include <vc/core/xform.h>

#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include <vc/core/exception.h>

namespace {
using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;

void expectNear(const V& a, const V& b, double tol = 1e-12) { EXPECT_LT(a.distance(b), tol) << a << " vs " << b; }

void expectNear(const vcXform<2>& a, const vcXform<2>& b, double tol = 1e-12) {
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) EXPECT_NEAR(a.matrix().element(r, c), b.matrix().element(r, c), tol) << a;
  expectNear(a.trans(), b.trans(), tol);
}

void expectSameDirection(const vcRadian& a, const vcRadian& b) {
  EXPECT_NEAR((a - b).signedNorm().toDouble(), 0.0, 1e-12) << a << " vs " << b;
}

// Products apply the right factor first; composition and inversion agree
// with mapping step by step, for points, vectors and angles.
TEST(XformTest, CompositionAndInverseAgreeWithMappingStepByStep) {
  const vcXform<2> shift = vcXform<2>::translation(V(1.0, 0.0)), turn = vcXform<2>::rotation(vcDegree(90.0));
  expectNear((shift * turn).mapPoint(V(1.0, 0.0)), V(1.0, 1.0));
  expectNear((turn * shift).mapPoint(V(1.0, 0.0)), V(0.0, 2.0));
  expectNear((vcMatrix<2>::rotation(vcDegree(90.0)) * vcMatrix<2>::scale(2.0, 1.0)) * V(1.0, 0.0), V(0.0, 2.0));
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> u(-3.0, 3.0);
  for (int i = 0; i < 50; ++i) {
    const vcXform<2> a(vcMatrix<2>(u(rng), u(rng), u(rng), u(rng)), V(u(rng), u(rng)));
    const vcXform<2> b(vcMatrix<2>(u(rng), u(rng), u(rng), u(rng)), V(u(rng), u(rng)));
    if (std::fabs(a.determinant()) < 0.1) continue;
    const V p(0.25 * i, -0.5 * i);
    expectNear((a * b).mapPoint(p), a.mapPoint(b.mapPoint(p)), 1e-9);
    expectNear((a * b).mapVector(p), a.mapVector(b.mapVector(p)), 1e-9);
    EXPECT_NEAR((a * b).determinant(), a.determinant() * b.determinant(), 1e-9);
    expectNear(a * a.inverse(), vcXform<2>::I, 1e-9);
    expectNear(a.invMapPoint(a.mapPoint(p)), p, 1e-9);
    expectSameDirection(a.invMapAngle(a.mapAngle(vcRadian(0.1 * i))), vcRadian(0.1 * i));
    expectSameDirection(a.mapAngle(vcRadian(0.1 * i)), a.mapVector(V(std::cos(0.1 * i), std::sin(0.1 * i))).angle());
  }
}

TEST(XformTest, SingularMapsRefuseInversesAndMirrorsTurnAngles) {
  // Rank 1 in exact arithmetic; rounding leaves a determinant of about 3e-17.
  EXPECT_THROW(vcMatrix<2>(0.1, 0.3, 0.7, 2.1).inverse(), vcMathError);
  EXPECT_NO_THROW(vcMatrix<2>::scale(1e8, 1e-8).inverse());
  const vcXform<2> flat(vcMatrix<2>(1.0, 2.0, 2.0, 4.0), V(1.0, 1.0));
  EXPECT_THROW(flat.invMapPoint(V()), vcMathError);
  EXPECT_THROW(flat.mapAngle(V(2.0, -1.0).angle()), vcMathError);  // the null space: no mapped direction
  EXPECT_THROW(vc2XformLinear(vcXform<2>::scale(0.0, 1.0)).inverseBase(), vcMathError);
  expectSameDirection(vcXform<2>::scale(1.0, -1.0).mapAngle(vcDegree(30.0)), vcDegree(-30.0));
  expectSameDirection(vcXform<2>::scale(-1.0, 1.0).mapAngle(vcDegree(30.0)), vcDegree(150.0));
  const vcMatrix<2> r = vcMatrix<2>::rotation(vcRadian(0.7)), mirror = r * vcMatrix<2>::scale(3.0, -0.5);
  EXPECT_DOUBLE_EQ(r.yRot().toDouble(), 0.7);
  EXPECT_NEAR(std::fabs((mirror.yRot() - mirror.xRot()).signedNorm().toDouble()), kPi, 1e-12);
  EXPECT_DOUBLE_EQ(mirror.xScale(), 3.0);
  EXPECT_DOUBLE_EQ(mirror.yScale(), 0.5);
  expectNear(vcXform<2>::rotation(vcDegree(90.0), V(3.0, -2.0)).mapPoint(V(4.0, -2.0)), V(3.0, -1.0));
}

TEST(RigidTest, RotatesThenTranslatesComposesAndComparesDirections) {
  const vc2Rigid r(vcDegree(90.0), V(10.0, 0.0)), s(vcRadian(-0.3), V(2.0, 5.0));
  expectNear(r.mapPoint(V(1.0, 0.0)), V(10.0, 1.0));
  expectNear((r * r.inverse()).xform(), vcXform<2>::I);
  expectNear((r * s).xform(), r.xform() * s.xform());
  EXPECT_EQ(vc2Rigid(vcRadian(kPi), V(1.0, 2.0)), vc2Rigid(vcRadian(-kPi), V(1.0, 2.0)));
  EXPECT_FALSE(vc2Rigid(vcRadian(0.5), V()) == vc2Rigid(vcRadian(0.5), V(0.0, 1.0)));
  // Through the shared base: linearised, inverted and cloned alike.
  const vcPtrHandle_const<vc2XformBase> h(vcPtrHandle<vc2XformBase>(vfMakeHandle<vc2Rigid>(r)));
  ASSERT_TRUE(h->isLinear());
  const V p(4.0, -1.0);
  expectNear(h->linearXform(V(100.0, 100.0)).mapPoint(p), h->mapPoint(p));
  expectNear(h->inverseBase()->mapPoint(h->mapPoint(p)), p);
  expectNear(h->clone()->mapPoint(p), h->mapPoint(p));
}
}  // namespace
