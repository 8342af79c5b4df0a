// Vectors, angles, ranges, the numeric helpers, exceptions and the CPU level.
#include <cmath>
#include <memory>
#include <numbers>
#include <type_traits>

#include <gtest/gtest.h>

#include <vc/core/angle.h>
#include <vc/core/archive.h>
#include <vc/core/cputype.h>
#include <vc/core/exception.h>
#include <vc/core/mathutil.h>
#include <vc/core/range.h>
#include <vc/core/vector.h>

namespace {
constexpr double kPi = std::numbers::pi;

TEST(VectorTest, UnitAngleCrossPerpAndIndexing) {
  EXPECT_THROW(vcVector<2>().unit(), vcMathError);
  EXPECT_THROW(vcVector<2>(INFINITY, 0.0).unit(), vcMathError);
  const vcVector<2> u = vcVector<2>(3e-200, -4e-200).unit();  // no underflow on the way
  EXPECT_DOUBLE_EQ(u.x(), 0.6);
  EXPECT_DOUBLE_EQ(u.y(), -0.8);
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

TEST(AngleTest, UnitsConvertAndMixedArithmeticKeepsTheLeftUnit) {
  static_assert(!std::is_convertible_v<double, vcRadian>, "a bare number must not pick a unit");
  const auto r = vcRadian(1.0) + vcDegree(90.0);
  static_assert(std::is_same_v<decltype(r), const vcRadian>);
  EXPECT_DOUBLE_EQ(r.toDouble(), 1.0 + kPi / 2);
  const auto d = vcDegree(10.0) - vcRadian(kPi);
  static_assert(std::is_same_v<decltype(d), const vcDegree>);
  EXPECT_DOUBLE_EQ(d.toDouble(), -170.0);
}

TEST(RangeTest, EncloseIntersectAndContainIncludeTheEnds) {
  vcRange r;
  EXPECT_FALSE(r.contains(0.0));
  r.enclose(3.0).enclose(-1.0).enclose(NAN).enclose(vcRange(10.0, 5.0));  // NaN and empty ranges ignored
  EXPECT_EQ(r, vcRange(-1.0, 3.0));
  EXPECT_TRUE(r.contains(3.0) && !r.contains(3.0000001));
  EXPECT_EQ(r & vcRange(2.0, 9.0), vcRange(2.0, 3.0));
  EXPECT_EQ(r & vcRange(3.0, 9.0), vcRange(3.0, 3.0));
  EXPECT_TRUE((r & vcRange(3.5, 9.0)).isEmpty());
  EXPECT_TRUE((r & vcRange()).isEmpty());
}

// Counterclockwise from the start (clockwise for a negative span), through
// zero, both ends included despite rounding but not a real miss.
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

  std::unique_ptr<vcPersistent> made(vc_Instantiator::create("vcShapesError::BadRadius"));
  ASSERT_NE(dynamic_cast<vcShapesError::BadRadius*>(made.get()), nullptr);
  vcPersistent* p = new vcMathError("singular matrix");
  std::unique_ptr<vcPersistent> original(p);
  vcBufferArchive out(vcArchive::eStore);
  out.serializePointer(p);
  vcBufferArchive in(out.bytes());
  vcPersistent* q = nullptr;
  in.serializePointer(q);
  std::unique_ptr<vcPersistent> back(q);
  ASSERT_NE(dynamic_cast<vcMathError*>(q), nullptr);
  EXPECT_EQ(dynamic_cast<vcMathError*>(q)->string(), "singular matrix");

  vcException* heap = new vcBadPointer("null shape");
  EXPECT_THROW(heap->suicideAndRethrow(), vcBadPointer);
}

// A cap lowers the level for its scope only and never claims more than the processor has.
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
}  // namespace
