// Vectors, angles, ranges, transforms, the numeric helpers, exceptions and the
// CPU level.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <type_traits>

#include <vc/core/angle.h>
#include <vc/core/archive.h>
#include <vc/core/cputype.h>
#include <vc/core/exception.h>
#include <vc/core/mathutil.h>
#include <vc/core/range.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

namespace {
constexpr double kPi = std::numbers::pi;

TEST(VectorTest, UnitAngleCrossPerpAndIndexing) {
  EXPECT_THROW(vcVector<2>().unit(), vcMathError);
  EXPECT_THROW(vcVector<2>(INFINITY, 0.0).unit(), vcMathError);
  EXPECT_EQ(vcVector<2>(3e-200, -4e-200).unit(), vcVector<2>(0.6, -0.8));  // no underflow on the way
  EXPECT_DOUBLE_EQ(vcVector<2>(0.0, -2.0).angle().toDouble(), -kPi / 2);
  const vcVector<2> v(2.0, 1.0);
  EXPECT_NEAR((v.perp().angle() - v.angle()).toDouble(), kPi / 2, 1e-15);
  EXPECT_GT(v.cross(v.perp()), 0.0);
  EXPECT_EQ(vcPoint(5.0, 7.0) - vcPoint(1.0, 1.0), vcVector<2>(4.0, 6.0));
  EXPECT_THROW(v[2], vcBadArgument);
  EXPECT_THROW(v[-1], vcBadArgument);
}

TEST(MathUtilTest, FloorCeilAndRealEq) {
  const struct {
    double v;
    long floor, ceil;
  } cases[] = {{-0.5, -1, 0}, {-2.0, -2, -2}, {3.0, 3, 3}, {2.000001, 2, 3}, {-2147483648.0, -2147483648L, -2147483648L}};
  for (const auto& c : cases) {
    EXPECT_EQ(vfIFloor(c.v), c.floor) << c.v;
    EXPECT_EQ(vfICeil(c.v), c.ceil) << c.v;
  }
  EXPECT_EQ(vfIFloor(2147483647.5), 2147483647L);
  EXPECT_THROW(vfICeil(2147483647.5), vcMathError);
  EXPECT_THROW(vfIFloor(-2147483648.5), vcMathError);
  EXPECT_THROW(vfIFloor(NAN), vcMathError);
  EXPECT_THROW(vfICeil(-INFINITY), vcMathError);
  // Absolute near zero, relative for large values.
  EXPECT_TRUE(vfRealEq(0.0, 1e-13) && vfRealEq(1e6, 1e6 + 1e-7) && vfRealEq(INFINITY, INFINITY));
  EXPECT_FALSE(vfRealEq(0.0, 1e-11) || vfRealEq(1e6, 1e6 + 1e-5) || vfRealEq(NAN, NAN));
}

TEST(AngleTest, NormsLandInTheirHalfOpenRangesAndKeepTheDirection) {
  EXPECT_LT(vcRadian(-1e-20).norm().toDouble(), 2 * kPi);  // not rounded up to 2pi
  EXPECT_EQ(vcRadian(-1e-20).signedNorm().toDouble(), -1e-20);
  EXPECT_EQ(vcDegree(-90.0).norm(), vcDegree(270.0));
  EXPECT_EQ(vcRadian(kPi).signedNorm(), vcRadian(-kPi));
  EXPECT_EQ(vcDegree(-190.0).signedNorm(), vcDegree(170.0));
  for (double v = -1000.0; v <= 1000.0; v += 0.37) {
    const vcRadian n = vcRadian(v).norm(), s = vcRadian(v).signedNorm();
    ASSERT_TRUE(n >= 0.0 && n < 2 * kPi) << v;
    ASSERT_TRUE(s >= -kPi && s < kPi) << v;
    ASSERT_NEAR(cos(n), std::cos(v), 1e-9) << v;
    ASSERT_NEAR(sin(s), std::sin(v), 1e-9) << v;
  }
  EXPECT_THROW(vcRadian(INFINITY).norm(), vcMathError);
  EXPECT_THROW(vcDegree(NAN).signedNorm(), vcMathError);
}

// Mixed arithmetic keeps the left operand's unit; a bare number picks none.
static_assert(!std::is_convertible_v<double, vcRadian>);
static_assert(std::is_same_v<decltype(vcDegree(10.0) - vcRadian(kPi)), vcDegree>);
TEST(AngleTest, MixedArithmeticConvertsTheRightOperand) {
  EXPECT_DOUBLE_EQ((vcRadian(1.0) + vcDegree(90.0)).toDouble(), 1.0 + kPi / 2);
  EXPECT_DOUBLE_EQ((vcDegree(10.0) - vcRadian(kPi)).toDouble(), -170.0);
}

TEST(RangeTest, EncloseIntersectAndContainIncludeTheEnds) {
  vcRange r;
  EXPECT_FALSE(r.contains(0.0));
  r.enclose(3.0).enclose(-1.0).enclose(NAN).enclose(vcRange(10.0, 5.0));  // NaN and empty ranges ignored
  EXPECT_EQ(r, vcRange(-1.0, 3.0));
  EXPECT_TRUE(r.contains(3.0) && !r.contains(3.0000001));
  EXPECT_EQ(r & vcRange(3.0, 9.0), vcRange(3.0, 3.0));
  EXPECT_TRUE((r & vcRange(3.5, 9.0)).isEmpty());
  EXPECT_TRUE((r & vcRange()).isEmpty());
}

// Both ends are inside despite rounding, but not a real miss.
TEST(AngleRangeTest, ContainsFollowsTheSignedSpanAndKeepsBothEnds) {
  const struct {
    double start, span, angle;  // degrees
    bool inside;
  } cases[] = {
      {350, 20, 355, true}, {350, 20, 725, true},  {350, 20, 20, false}, {350, 20, 340, false}, {10, -20, 355, true},
      {10, -20, 15, false}, {10, -20, 180, false}, {45, 360, 44, true},  {45, 359, 44.5, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vcAngleRange(vcDegree(c.start), vcDegree(c.span)).contains(vcDegree(c.angle)), c.inside)
        << c.start << " + " << c.span << " at " << c.angle;
  const vcAngleRange r(vcRadian(0.1), vcRadian(0.2));
  for (double in : {0.1 + 2 * kPi, 0.1 - 1e-13, 0.3 + 1e-13}) EXPECT_TRUE(r.contains(vcRadian(in))) << in;
  for (double out : {0.1 - 1e-9, 0.3 + 1e-9}) EXPECT_FALSE(r.contains(vcRadian(out))) << out;
  EXPECT_TRUE(vcAngleRange(vcDegree(45.0), vcDegree(-400.0)).isFullCircle());
  EXPECT_THROW(vcAngleRange(vcRadian(NAN), vcRadian(1.0)), vcMathError);
}

TEST(CoreException, NamesBasesFactoryAndArchive) {
  EXPECT_STREQ(vcShapesError::BadGeom("radius is negative").what(), "vcShapesError::BadGeom: radius is negative");
  EXPECT_NE(std::string(vcArchive::UnknownVersion("dispc/color", 12).what()).find("dispc/color:12"), std::string::npos);
  EXPECT_THROW(throw vcShapesError::NotRegion("x"), vcShapesError::Errors);
  EXPECT_THROW(vfThrowExceptionOnFailure(-3), vcFailure);
  EXPECT_NO_THROW(vfThrowExceptionOnFailure(0));

  // A raw pointer read from an archive is the caller's, of the stored class.
  vcMathError original("singular matrix");
  vcPersistent* p = &original;
  vcBufferArchive out(vcArchive::eStore);
  out.serializePointer(p);
  vcPersistent* q = nullptr;
  vcBufferArchive(out.bytes()).serializePointer(q);
  std::unique_ptr<vcPersistent> back(q);
  EXPECT_EQ(dynamic_cast<vcMathError&>(*q).string(), "singular matrix");

  vcException* heap = new vcBadPointer("null shape");
  EXPECT_THROW(heap->suicideAndRethrow(), vcBadPointer);
}

TEST(CpuType, LimitLowersOnlyWithinItsScopeAndNeverRaises) {
  const vcCpuType::Level found = vcCpuType::detected();
  {
    vcCpuLimit scalar(vcCpuType::eScalar);
    EXPECT_FALSE(vcCpuType::avx2Present());
    {
      vcCpuLimit raise(vcCpuType::eAVX2);
      EXPECT_EQ(vcCpuType::level(), found);
    }
    EXPECT_EQ(vcCpuType::level(), vcCpuType::eScalar);
  }
  EXPECT_EQ(vcCpuType::level(), found);
  EXPECT_EQ(vcCpuType::avx2Present(), found >= vcCpuType::eAVX2);
}

using V = vcVector<2>;

void expectNear(const V& a, const V& b, double tol = 1e-12) { EXPECT_LT(a.distance(b), tol) << a << " vs " << b; }

void expectNear(const vcXform<2>& a, const vcXform<2>& b, double tol = 1e-12) {
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) EXPECT_NEAR(a.matrix().element(r, c), b.matrix().element(r, c), tol) << a;
  expectNear(a.trans(), b.trans(), tol);
}

void expectSameDirection(const vcRadian& a, const vcRadian& b) {
  EXPECT_NEAR((a - b).signedNorm().toDouble(), 0.0, 1e-12) << a << " vs " << b;
}

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
  // Through the shared base: linearised and inverted alike.
  const vcPtrHandle_const<vc2XformBase> h(vcPtrHandle<vc2XformBase>(vfMakeHandle<vc2Rigid>(r)));
  expectNear(h->linearXform(V(100.0, 100.0)).mapPoint(V(4.0, -1.0)), h->mapPoint(V(4.0, -1.0)));
  expectNear(h->inverseBase()->mapPoint(h->mapPoint(V(4.0, -1.0))), V(4.0, -1.0));
}
}  // namespace
