#include <vc/core/angle.h>

#include <cmath>
#include <numbers>
#include <type_traits>

#include <gtest/gtest.h>

#include <vc/core/exception.h>

namespace {
constexpr double kPi = std::numbers::pi;

TEST(AngleTest, NormLandsInHalfOpenRangeAtTheBoundaries) {
  EXPECT_EQ(vcRadian(2 * kPi).norm(), vcRadian(0.0));
  EXPECT_EQ(vcRadian(-2 * kPi).norm(), vcRadian(0.0));
  // A tiny negative angle must not come back as 2pi, which is out of range.
  EXPECT_LT(vcRadian(-1e-20).norm().toDouble(), 2 * kPi);
  EXPECT_EQ(vcDegree(360.0).norm(), vcDegree(0.0));
  EXPECT_EQ(vcDegree(-90.0).norm(), vcDegree(270.0));
  EXPECT_EQ(vcDegree(720.5).norm(), vcDegree(0.5));
}

TEST(AngleTest, SignedNormMapsPlusHalfTurnToMinusHalfTurn) {
  EXPECT_EQ(vcRadian(kPi).signedNorm(), vcRadian(-kPi));
  EXPECT_EQ(vcRadian(-kPi).signedNorm(), vcRadian(-kPi));
  EXPECT_EQ(vcDegree(180.0).signedNorm(), vcDegree(-180.0));
  EXPECT_EQ(vcDegree(-180.0).signedNorm(), vcDegree(-180.0));
  EXPECT_EQ(vcDegree(540.0).signedNorm(), vcDegree(-180.0));
  EXPECT_EQ(vcDegree(-190.0).signedNorm(), vcDegree(170.0));
}

TEST(AngleTest, NormalisingKeepsInRangeValuesExactAndDirectionsUnchanged) {
  EXPECT_EQ(vcRadian(-1e-20).signedNorm().toDouble(), -1e-20);
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
  EXPECT_DOUBLE_EQ(vcRadian(vcDegree(180.0)).toDouble(), kPi);
  const auto r = vcRadian(1.0) + vcDegree(90.0);
  static_assert(std::is_same_v<decltype(r), const vcRadian>);
  EXPECT_DOUBLE_EQ(r.toDouble(), 1.0 + kPi / 2);
  const auto d = vcDegree(10.0) - vcRadian(kPi);
  static_assert(std::is_same_v<decltype(d), const vcDegree>);
  EXPECT_DOUBLE_EQ(d.toDouble(), -170.0);
  EXPECT_DOUBLE_EQ((2.0 * vcDegree(30.0) + 1.0).toDouble(), 61.0);

  EXPECT_LT(vcDegree(179.0), vcRadian(kPi));
  EXPECT_GT(vcRadian(kPi), vcDegree(179.0));
  EXPECT_NEAR(sin(vcDegree(30.0)), 0.5, 1e-15);
}
}  // namespace
