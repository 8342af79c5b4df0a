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

// Ranges run counterclockwise from their start (clockwise for a negative
// span), wrap through zero, include both ends despite rounding but not a real
// miss, and cover the whole circle from a span of a full turn.
TEST(AngleRangeTest, ContainsFollowsTheSignedSpanAndKeepsBothEnds) {
  const struct {
    double start, span, angle;  // degrees
    bool inside;
  } cases[] = {
      {350, 20, 355, true},   {350, 20, -5, true},    {350, 20, 725, true},     {350, 20, 20, false},
      {350, 20, 340, false},  {10, -20, 0, true},     {10, -20, 355, true},     {10, -20, 15, false},
      {10, -20, 180, false},  {45, 360, 44, true},    {45, 359, 44.5, false},
  };
  const double deg = kPi / 180;
  for (const auto& c : cases)
    EXPECT_EQ(vcAngleRange(vcRadian(c.start * deg), vcRadian(c.span * deg)).contains(vcRadian(c.angle * deg)), c.inside)
        << c.start << " + " << c.span << " at " << c.angle;
  EXPECT_DOUBLE_EQ(vcDegree(vcAngleRange(vcDegree(350.0), vcDegree(20.0)).end()).toDouble(), 370.0);
  const vcAngleRange r(vcRadian(0.1), vcRadian(0.2));
  for (double in : {0.3, 0.1 + 2 * kPi, 0.1 - 1e-13, 0.3 + 1e-13}) EXPECT_TRUE(r.contains(vcRadian(in))) << in;
  for (double out : {0.1 - 1e-9, 0.3 + 1e-9}) EXPECT_FALSE(r.contains(vcRadian(out))) << out;
  EXPECT_TRUE(vcAngleRange(vcRadian(-kPi), vcRadian(0.0)).contains(vcRadian(kPi)));
  EXPECT_TRUE(vcAngleRange(vcDegree(45.0), vcDegree(-400.0)).isFullCircle());
  EXPECT_THROW(vcAngleRange(vcRadian(NAN), vcRadian(1.0)), vcMathError);
}
}  // namespace
