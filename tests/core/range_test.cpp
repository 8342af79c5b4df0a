#include <vc/core/range.h>

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include <vc/core/exception.h>

namespace {
constexpr double kPi = std::numbers::pi;

TEST(RangeTest, DefaultIsEmptyAndNeutralForEnclose) {
  vcRange r;
  EXPECT_TRUE(r.isEmpty());
  EXPECT_FALSE(r.contains(0.0));
  EXPECT_EQ(r.length(), 0.0);
  r.enclose(3.0);
  EXPECT_EQ(r, vcRange(3.0, 3.0));
  r.enclose(-1.0).enclose(2.0).enclose(NAN);
  EXPECT_EQ(r, vcRange(-1.0, 3.0));
  r.enclose(vcRange(10.0, 5.0));  // empty: ignored
  EXPECT_EQ(r, vcRange(-1.0, 3.0));
  EXPECT_DOUBLE_EQ(r.length(), 4.0);
}

TEST(RangeTest, EndsAreInsideAndDisjointIntersectionIsEmpty) {
  const vcRange r(1.0, 2.0);
  EXPECT_TRUE(r.isWithin(1.0));
  EXPECT_TRUE(r.contains(2.0));
  EXPECT_FALSE(r.contains(2.0000001));
  EXPECT_EQ(r & vcRange(1.5, 9.0), vcRange(1.5, 2.0));
  EXPECT_EQ(r & vcRange(2.0, 9.0), vcRange(2.0, 2.0));
  EXPECT_TRUE((r & vcRange(2.5, 9.0)).isEmpty());
  EXPECT_TRUE((r & vcRange()).isEmpty());
  EXPECT_EQ(vcRange(5.0, 4.0), vcRange());
}

TEST(AngleRangeTest, CounterClockwiseRangeWrapsThroughZero) {
  const vcAngleRange r(vcDegree(350.0), vcDegree(20.0));
  EXPECT_TRUE(r.contains(vcDegree(355.0)));
  EXPECT_TRUE(r.contains(vcDegree(-5.0)));
  EXPECT_TRUE(r.contains(vcDegree(725.0)));
  EXPECT_FALSE(r.contains(vcDegree(20.0)));
  EXPECT_FALSE(r.contains(vcDegree(340.0)));
  EXPECT_DOUBLE_EQ(vcDegree(r.end()).toDouble(), 370.0);
}

TEST(AngleRangeTest, NegativeSpanSweepsClockwise) {
  const vcAngleRange r(vcDegree(10.0), vcDegree(-20.0));
  EXPECT_TRUE(r.contains(vcDegree(0.0)));
  EXPECT_TRUE(r.contains(vcDegree(355.0)));
  EXPECT_FALSE(r.contains(vcDegree(15.0)));
  EXPECT_FALSE(r.contains(vcDegree(180.0)));
}

TEST(AngleRangeTest, EndsAreInsideDespiteRounding) {
  const vcAngleRange r(vcRadian(0.1), vcRadian(0.2));
  EXPECT_TRUE(r.contains(vcRadian(0.3)));
  EXPECT_TRUE(r.contains(vcRadian(0.1 + 2 * kPi)));
  // Rounding error on either side of an end stays inside; a real miss does not.
  EXPECT_TRUE(r.contains(vcRadian(0.1 - 1e-13)));
  EXPECT_TRUE(r.contains(vcRadian(0.3 + 1e-13)));
  EXPECT_FALSE(r.contains(vcRadian(0.1 - 1e-9)));
  EXPECT_FALSE(r.contains(vcRadian(0.3 + 1e-9)));
  const vcAngleRange point(vcRadian(-kPi), vcRadian(0.0));
  EXPECT_TRUE(point.contains(vcRadian(kPi)));
}

TEST(AngleRangeTest, SpanOfAFullTurnOrMoreIsTheWholeCircle) {
  EXPECT_TRUE(vcAngleRange(vcDegree(45.0), vcDegree(360.0)).contains(vcDegree(44.0)));
  EXPECT_TRUE(vcAngleRange(vcDegree(45.0), vcDegree(-400.0)).isFullCircle());
  EXPECT_FALSE(vcAngleRange(vcDegree(45.0), vcDegree(359.0)).contains(vcDegree(44.5)));
  EXPECT_THROW(vcAngleRange(vcRadian(NAN), vcRadian(1.0)), vcMathError);
}
}  // namespace
