// vcVector<2>, vcPoint and the numeric helpers, all header-only.
#include <vc/core/vector.h>

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include <vc/core/mathutil.h>

namespace {
TEST(VectorTest, UnitOfAZeroOrNonFiniteVectorThrows) {
  EXPECT_THROW(vcVector<2>().unit(), vcMathError);
  EXPECT_THROW(vcVector<2>(INFINITY, 0.0).unit(), vcMathError);
  const vcVector<2> u = vcVector<2>(3e-200, -4e-200).unit();
  EXPECT_DOUBLE_EQ(u.x(), 0.6);
  EXPECT_DOUBLE_EQ(u.y(), -0.8);
}

TEST(VectorTest, AngleCrossAndPerpAgreeOnTheTurningSense) {
  EXPECT_DOUBLE_EQ(vcVector<2>(0.0, -2.0).angle().toDouble(), -std::numbers::pi / 2);
  const vcVector<2> v(2.0, 1.0);
  EXPECT_NEAR((v.perp().angle() - v.angle()).toDouble(), std::numbers::pi / 2, 1e-15);
  EXPECT_GT(v.cross(v.perp()), 0.0);
  EXPECT_DOUBLE_EQ(v.dot(v.perp()), 0.0);
}

TEST(VectorTest, IndexOutsideTheTwoComponentsThrows) {
  vcVector<2> v(1.0, 2.0);
  v[1] = 5.0;
  EXPECT_EQ(v, vcVector<2>(1.0, 5.0));
  EXPECT_THROW(v[2], vcBadArgument);
  EXPECT_THROW(static_cast<const vcVector<2>&>(v)[-1], vcBadArgument);
}

TEST(VectorTest, PointsConvertAndTheirDifferenceIsAVector) {
  const vcVector<2> a(1.0, 2.0), b(3.0, -1.0);
  EXPECT_EQ(2.0 * a - b / 2.0, vcVector<2>(0.5, 4.5));
  const vcPoint p(5.0, 7.0), q = vcVector<2>(1.0, 1.0);
  const vcVector<2> d = p - q;
  EXPECT_EQ(d, vcVector<2>(4.0, 6.0));
  EXPECT_EQ(p, vcPoint(q + d));
  EXPECT_DOUBLE_EQ(vcVector<2>(p).distance(q), std::hypot(4.0, 6.0));
  EXPECT_EQ(vcPoint(vcPair<double>(0.5, 1.5)), vcVector<2>(0.5, 1.5));
}

TEST(MathUtilTest, FloorAndCeilRoundTowardTheRightSideForNegatives) {
  EXPECT_EQ(vfIFloor(-0.5), -1);
  EXPECT_EQ(vfICeil(-0.5), 0);
  EXPECT_EQ(vfIFloor(-2.0), -2);
  EXPECT_EQ(vfICeil(-2.0), -2);
  EXPECT_EQ(vfIFloor(3.0), 3);
  EXPECT_EQ(vfICeil(3.0), 3);
  EXPECT_EQ(vfICeil(2.000001), 3);
}

TEST(MathUtilTest, FloorAndCeilRejectValuesOutsideThirtyTwoBits) {
  EXPECT_EQ(vfIFloor(-2147483648.0), -2147483648L);
  EXPECT_EQ(vfIFloor(2147483647.5), 2147483647L);
  EXPECT_THROW(vfICeil(2147483647.5), vcMathError);
  EXPECT_THROW(vfIFloor(-2147483648.5), vcMathError);
  EXPECT_THROW(vfIFloor(NAN), vcMathError);
  EXPECT_THROW(vfICeil(-INFINITY), vcMathError);
}

TEST(MathUtilTest, RealEqIsAbsoluteNearZeroAndRelativeForLargeValues) {
  EXPECT_TRUE(vfRealEq(0.0, 1e-13));
  EXPECT_FALSE(vfRealEq(0.0, 1e-11));
  EXPECT_TRUE(vfRealEq(1e6, 1e6 + 1e-7));
  EXPECT_FALSE(vfRealEq(1e6, 1e6 + 1e-5));
  EXPECT_TRUE(vfRealEq(INFINITY, INFINITY));
  EXPECT_FALSE(vfRealEq(INFINITY, 1e308));
  EXPECT_FALSE(vfRealEq(NAN, NAN));
}
}  // namespace
