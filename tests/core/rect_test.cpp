#include <vc/core/rect.h>

#include <gtest/gtest.h>

namespace {
TEST(RectTest, DefaultIsNullAndNeutralForEnclose) {
  const vcRect none;
  EXPECT_TRUE(none.isNull());
  EXPECT_FALSE(none.contains(vcVector<2>(0.0, 0.0)));
  vcRect r;
  r.enclose(vcRect(1.0, 2.0, 3.0, 4.0));
  EXPECT_EQ(r, vcRect(1.0, 2.0, 3.0, 4.0));
  r.enclose(none);
  EXPECT_EQ(r, vcRect(1.0, 2.0, 3.0, 4.0));
}

TEST(RectTest, EnclosingPointsOneByOneAccumulatesThemAll) {
  vcRect r;
  r.enclose(vcVector<2>(2.0, 3.0));
  EXPECT_EQ(r, vcRect(2.0, 3.0, 0.0, 0.0));
  EXPECT_TRUE(r.isEmpty());
  EXPECT_FALSE(r.isNull());
  EXPECT_TRUE(r.contains(vcVector<2>(2.0, 3.0)));
  r.enclose(vcVector<2>(-1.0, 5.0));
  r.enclose(vcVector<2>(0.0, 4.0));
  EXPECT_EQ(r, vcRect(-1.0, 3.0, 3.0, 2.0));
}

TEST(RectTest, ZeroHeightRectsStillContributeToEnclose) {
  vcRect r;
  r.enclose(vcRect(0.0, 1.0, 5.0, 0.0));  // the box of a horizontal line
  r.enclose(vcRect(2.0, 4.0, 0.0, 0.0));  // the box of a point
  EXPECT_EQ(r, vcRect(0.0, 1.0, 5.0, 3.0));
}

TEST(RectTest, EnclosedPointsAreContainedDespiteRounding) {
  vcRect r;
  for (double v : {0.1, -0.39, 1.01, -0.02, 0.04, 1e-300, 12345.678901}) {
    r.enclose(vcVector<2>(v, -v));
    EXPECT_TRUE(r.contains(vcVector<2>(v, -v))) << v << ' ' << r;
  }
  EXPECT_TRUE(r.contains(vcVector<2>(1.01, 0.39)));
}

TEST(RectTest, IntersectionOfDisjointOrNullOperandsIsNull) {
  const vcRect a(0.0, 0.0, 4.0, 4.0);
  EXPECT_EQ(a & vcRect(2.0, 1.0, 5.0, 1.0), vcRect(2.0, 1.0, 2.0, 1.0));
  EXPECT_EQ(vcRect(2.0, 1.0, 5.0, 1.0) & a, vcRect(2.0, 1.0, 2.0, 1.0));
  EXPECT_TRUE((a & vcRect(5.0, 0.0, 1.0, 1.0)).isNull());
  EXPECT_TRUE((a & vcRect()).isNull());
  EXPECT_TRUE((vcRect() & a).isNull());
  const vcRect edge = a & vcRect(4.0, 1.0, 2.0, 2.0);  // closed rects share the edge x = 4
  EXPECT_EQ(edge, vcRect(4.0, 1.0, 0.0, 2.0));
  EXPECT_TRUE(edge.isEmpty());
}

TEST(RectTest, ContainsIncludesAllEdgesAndNegativeSizesAreNull) {
  const vcRect r(vcVector<2>(1.0, 1.0), vcVector<2>(2.0, 3.0));
  EXPECT_EQ(r.corner(), vcVector<2>(3.0, 4.0));
  EXPECT_TRUE(r.contains(vcVector<2>(1.0, 1.0)));
  EXPECT_TRUE(r.contains(vcVector<2>(3.0, 4.0)));
  EXPECT_FALSE(r.contains(vcVector<2>(3.000001, 2.0)));
  const vcRect reversed(10.0, 10.0, -6.0, -4.0);
  EXPECT_TRUE(reversed.isNull());
  EXPECT_FALSE(reversed.contains(vcVector<2>(8.0, 8.0)));
  EXPECT_EQ(reversed.size(), vcVector<2>(-6.0, -4.0));
}

TEST(RectangleTest, PixelRectanglesAreHalfOpenSoTouchingOnesDoNotIntersect) {
  const vcRectangle<long> w(0, 0, 10, 10);
  EXPECT_EQ(w.right(), 10);
  EXPECT_TRUE(w.contains(9, 9));
  EXPECT_FALSE(w.contains(vcPair<long>(10, 0)));
  EXPECT_FALSE(w.contains(-1, 5));
  EXPECT_TRUE(w.contains(vcRectangle<long>(5, 5, 5, 5)));
  EXPECT_FALSE(w.contains(vcRectangle<long>(5, 5, 6, 5)));
  EXPECT_EQ(w & vcRectangle<long>(5, -5, 10, 10), vcRectangle<long>(5, 0, 5, 5));
  EXPECT_EQ(w & vcRectangle<long>(10, 0, 5, 5), vcRectangle<long>());
  EXPECT_EQ(w & vcRectangle<long>(2, 2, 0, 5), vcRectangle<long>());
}
}  // namespace
