// vcXform<2>, its linear part vcMatrix<2>, and the shared transforms.
#include <vc/core/xform.h>

#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include <vc/core/exception.h>

namespace {
constexpr double kPi = std::numbers::pi;

void expectNear(const vcVector<2>& a, const vcVector<2>& b, double tol = 1e-12) {
  EXPECT_NEAR(a.x(), b.x(), tol) << a << " vs " << b;
  EXPECT_NEAR(a.y(), b.y(), tol) << a << " vs " << b;
}

void expectNear(const vcXform<2>& a, const vcXform<2>& b, double tol = 1e-12) {
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) EXPECT_NEAR(a.matrix().element(r, c), b.matrix().element(r, c), tol) << a;
  expectNear(a.trans(), b.trans(), tol);
}

void expectSameDirection(const vcRadian& a, const vcRadian& b) {
  EXPECT_NEAR((a - b).signedNorm().toDouble(), 0.0, 1e-12) << a << " vs " << b;
}

// Well-conditioned random transforms with a fixed seed.
vcXform<2> randomXform(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-3.0, 3.0);
  for (;;) {
    const vcMatrix<2> m(u(rng), u(rng), u(rng), u(rng));
    if (std::fabs(m.determinant()) > 0.1) return vcXform<2>(m, vcVector<2>(u(rng), u(rng)));
  }
}

TEST(MatrixTest, ProductAppliesTheRightFactorFirst) {
  const vcMatrix<2> rot = vcMatrix<2>::rotation(vcDegree(90.0)), sx = vcMatrix<2>::scale(2.0, 1.0);
  expectNear((rot * sx) * vcVector<2>(1.0, 0.0), vcVector<2>(0.0, 2.0));
  expectNear((sx * rot) * vcVector<2>(1.0, 0.0), vcVector<2>(0.0, 1.0));
}

TEST(MatrixTest, InverseUndoesAndSingularMatricesThrow) {
  const vcMatrix<2> m(2.0, 1.0, -1.0, 3.0);
  expectNear(vcXform<2>(m * m.inverse(), vcVector<2>()), vcXform<2>::I, 1e-15);
  EXPECT_THROW(vcMatrix<2>(1.0, 2.0, 2.0, 4.0).inverse(), vcMathError);
  // Rank 1 in exact arithmetic; rounding leaves a determinant of about 3e-17.
  EXPECT_THROW(vcMatrix<2>(0.1, 0.3, 0.7, 2.1).inverse(), vcMathError);
  EXPECT_NO_THROW(vcMatrix<2>::scale(1e8, 1e-8).inverse());
  EXPECT_THROW(m.element(2, 0), vcBadArgument);
}

TEST(MatrixTest, AxisRotationsRevealRotationAndMirroring) {
  const vcMatrix<2> r = vcMatrix<2>::rotation(vcRadian(0.7));
  EXPECT_DOUBLE_EQ(r.xRot().toDouble(), 0.7);
  EXPECT_DOUBLE_EQ(r.yRot().toDouble(), 0.7);
  const vcMatrix<2> mirror = r * vcMatrix<2>::scale(1.0, -1.0);
  EXPECT_NEAR(std::fabs((mirror.yRot() - mirror.xRot()).signedNorm().toDouble()), kPi, 1e-12);
  const vcMatrix<2> s = r * vcMatrix<2>::scale(3.0, 0.5);
  EXPECT_DOUBLE_EQ(s.xScale(), 3.0);
  EXPECT_DOUBLE_EQ(s.yScale(), 0.5);
}

TEST(XformTest, CompositionMapsByTheRightOperandFirst) {
  const vcXform<2> shift = vcXform<2>::translation(vcVector<2>(1.0, 0.0));
  const vcXform<2> turn = vcXform<2>::rotation(vcDegree(90.0));
  expectNear((shift * turn).mapPoint(vcVector<2>(1.0, 0.0)), vcVector<2>(1.0, 1.0));
  expectNear((turn * shift).mapPoint(vcVector<2>(1.0, 0.0)), vcVector<2>(0.0, 2.0));

  std::mt19937 rng(42);
  for (int i = 0; i < 50; ++i) {
    const vcXform<2> a = randomXform(rng), b = randomXform(rng);
    const vcVector<2> p(0.25 * i, -0.5 * i);
    expectNear((a * b).mapPoint(p), a.mapPoint(b.mapPoint(p)), 1e-9);
    expectNear((a * b).mapVector(p), a.mapVector(b.mapVector(p)), 1e-9);
    EXPECT_NEAR((a * b).determinant(), a.determinant() * b.determinant(), 1e-9);
  }
  vcXform<2> x = vcXform<2>::I;
  x.matrix(vcMatrix<2>::scale(2.0, -4.0));
  EXPECT_DOUBLE_EQ(x.determinant(), -8.0);
}

TEST(XformTest, InverseComposesToIdentityBothWays) {
  std::mt19937 rng(7);
  for (int i = 0; i < 50; ++i) {
    const vcXform<2> x = randomXform(rng);
    expectNear(x * x.inverse(), vcXform<2>::I, 1e-9);
    expectNear(x.inverse() * x, vcXform<2>::I, 1e-9);
    const vcVector<2> p(1.5 * i, 2.0 - i);
    expectNear(x.invMapPoint(x.mapPoint(p)), p, 1e-9);
    expectNear(x.invMapVector(x.mapVector(p)), p, 1e-9);
    expectSameDirection(x.invMapAngle(x.mapAngle(vcRadian(0.1 * i))), vcRadian(0.1 * i));
  }
}

TEST(XformTest, SingularTransformsRefuseInverseMapping) {
  const vcXform<2> flat(vcMatrix<2>(1.0, 2.0, 2.0, 4.0), vcVector<2>(1.0, 1.0));
  EXPECT_THROW(flat.inverse(), vcMathError);
  EXPECT_THROW(flat.invMapPoint(vcVector<2>()), vcMathError);
  EXPECT_THROW(flat.invMapAngle(vcRadian(0.0)), vcMathError);
  // (2, -1) lies in the null space: the mapped direction has no angle.
  EXPECT_THROW(flat.mapAngle(vcVector<2>(2.0, -1.0).angle()), vcMathError);
}

TEST(XformTest, MapAngleFollowsMirrorsAndNonUniformScale) {
  const vcRadian a = vcDegree(30.0);
  expectSameDirection(vcXform<2>::scale(1.0, -1.0).mapAngle(a), vcDegree(-30.0));
  expectSameDirection(vcXform<2>::scale(-1.0, 1.0).mapAngle(a), vcDegree(150.0));
  expectSameDirection(vcXform<2>::scale(2.0, 1.0).mapAngle(vcDegree(45.0)), vcRadian(std::atan(0.5)));
  const vcXform<2> x(vcMatrix<2>(1.0, 2.0, -0.5, 3.0), vcVector<2>(100.0, -7.0));
  expectSameDirection(x.mapAngle(a), x.mapVector(vcVector<2>(cos(a), sin(a))).angle());
}

TEST(XformTest, RotationAboutACenterKeepsTheCenter) {
  const vcVector<2> c(3.0, -2.0);
  const vcXform<2> x = vcXform<2>::rotation(vcDegree(90.0), c);
  expectNear(x.mapPoint(c), c);
  expectNear(x.mapPoint(c + vcVector<2>(1.0, 0.0)), c + vcVector<2>(0.0, 1.0));
  EXPECT_TRUE(vcXform<2>::I.isIdentity());
  EXPECT_FALSE(x.isIdentity());
}

TEST(RigidTest, RotatesThenTranslatesAndInvertsToIdentity) {
  const vc2Rigid r(vcDegree(90.0), vcVector<2>(10.0, 0.0));
  expectNear(r.mapPoint(vcVector<2>(1.0, 0.0)), vcVector<2>(10.0, 1.0));
  expectNear(r.mapVector(vcVector<2>(1.0, 0.0)), vcVector<2>(0.0, 1.0));
  expectNear((r * r.inverse()).xform(), vcXform<2>::I);
  const vc2Rigid s(vcRadian(-0.3), vcVector<2>(2.0, 5.0));
  expectNear((r * s).xform(), r.xform() * s.xform());
  EXPECT_DOUBLE_EQ((r * s).angle().toDouble(), vcRadian(vcDegree(90.0)).toDouble() - 0.3);
}

TEST(RigidTest, EqualityComparesDirectionsNotRawAngles) {
  EXPECT_EQ(vc2Rigid(vcRadian(kPi), vcVector<2>(1.0, 2.0)), vc2Rigid(vcRadian(-kPi), vcVector<2>(1.0, 2.0)));
  EXPECT_FALSE(vc2Rigid(vcRadian(0.5), vcVector<2>()) == vc2Rigid(vcRadian(0.5), vcVector<2>(0.0, 1.0)));
}

TEST(SharedXformTest, HandlesMapLineariseAndInvertThroughTheBase) {
  const vcPtrHandle_const<vc2XformBase> h(
      vcPtrHandle<vc2XformBase>(vfMakeHandle<vc2Rigid>(vcDegree(30.0), vcVector<2>(1.0, 2.0))));
  ASSERT_TRUE(h->isLinear());
  const vcVector<2> p(4.0, -1.0);
  expectNear(h->linearXform(vcVector<2>(100.0, 100.0)).mapPoint(p), h->mapPoint(p));
  const vcPtrHandle_const<vc2XformBase> inv = h->inverseBase();
  expectNear(inv->mapPoint(h->mapPoint(p)), p);
  expectNear(h->clone()->mapPoint(p), h->mapPoint(p));

  const vc2XformLinear flat = vcXform<2>::scale(0.0, 1.0);
  EXPECT_THROW(flat.inverseBase(), vcMathError);
}
}  // namespace
