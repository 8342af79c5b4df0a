#include <vc/core/rect.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/core/genrect.h>

namespace {
// The default rect is null and neutral for enclose; points, empty and
// zero-height boxes all count, and every enclosed point stays contained.
TEST(RectTest, EncloseAccumulatesPointsAndBoxesFromTheNullRect) {
  const vcRect none;
  EXPECT_TRUE(none.isNull());
  EXPECT_FALSE(none.contains(vcVector<2>(0.0, 0.0)));
  vcRect r;
  r.enclose(vcRect(1.0, 2.0, 3.0, 4.0));
  r.enclose(none);
  EXPECT_EQ(r, vcRect(1.0, 2.0, 3.0, 4.0));

  vcRect p;
  p.enclose(vcVector<2>(2.0, 3.0));
  EXPECT_EQ(p, vcRect(2.0, 3.0, 0.0, 0.0));
  EXPECT_TRUE(p.isEmpty() && !p.isNull() && p.contains(vcVector<2>(2.0, 3.0)));
  p.enclose(vcVector<2>(-1.0, 5.0));
  p.enclose(vcVector<2>(0.0, 4.0));
  EXPECT_EQ(p, vcRect(-1.0, 3.0, 3.0, 2.0));

  vcRect flat;
  flat.enclose(vcRect(0.0, 1.0, 5.0, 0.0));  // the box of a horizontal line
  flat.enclose(vcRect(2.0, 4.0, 0.0, 0.0));  // the box of a point
  EXPECT_EQ(flat, vcRect(0.0, 1.0, 5.0, 3.0));

  vcRect rounding;
  for (double v : {0.1, -0.39, 1.01, -0.02, 0.04, 1e-300, 12345.678901}) {
    rounding.enclose(vcVector<2>(v, -v));
    EXPECT_TRUE(rounding.contains(vcVector<2>(v, -v))) << v << ' ' << rounding;
  }
  EXPECT_TRUE(rounding.contains(vcVector<2>(1.01, 0.39)));
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

TEST(RectShapeTest, RegionMeasuresAndNullRectanglesHaveNoPoints) {
  const vcRect r(1.0, 2.0, 4.0, 3.0);
  EXPECT_TRUE(r.isRegion());
  EXPECT_DOUBLE_EQ(r.area(), 12.0);
  EXPECT_DOUBLE_EQ(r.perimeter(), 14.0);
  EXPECT_TRUE(r.within(vcVector<2>(5.0, 5.0)));
  EXPECT_EQ(r.distanceToPoint(vcVector<2>(3.0, 3.0)), 0.0);
  EXPECT_DOUBLE_EQ(r.distanceToPoint(vcVector<2>(8.0, 9.0)), 5.0);  // from the corner (5, 5)
  EXPECT_DOUBLE_EQ(r.distanceToPoint(vcVector<2>(3.0, -1.0)), 3.0);
  EXPECT_EQ(r.tangentAt(vcVector<2>(6.0, 3.5)), vcVector<2>(0.0, 1.0));
  EXPECT_EQ(r.tangentAt(vcVector<2>(2.0, 5.5)), vcVector<2>(-1.0, 0.0));

  const vcRect null(0.0, 0.0, -2.0, 3.0);
  EXPECT_EQ(null.area(), 0.0);
  EXPECT_EQ(null.perimeter(), 0.0);
  EXPECT_FALSE(null.within(vcVector<2>(-1.0, 1.0)));
  EXPECT_THROW(null.distanceToPoint(vcVector<2>()), vcShapesError::DegenerateShape);
  std::vector<vcVector<2>> pts;
  EXPECT_THROW(null.sample(vcShape::vcSampleParams(), pts), vcShapesError::DegenerateShape);
  EXPECT_EQ(null.boundingBox(), null);
}

TEST(RectShapeTest, MapShapeStaysARectOnlyUnderTranslationAndPositiveAxisScaling) {
  const vcRect r(1.0, 2.0, 4.0, 3.0);
  const vcShapeHandle moved = r.mapShape(vcXform<2>(vcMatrix<2>(2.0, 0.0, 0.0, 0.5), vcVector<2>(1.0, -1.0)));
  ASSERT_NE(dynamic_cast<const vcRect*>(moved.ptr()), nullptr);
  EXPECT_EQ(*moved, vcRect(3.0, 0.0, 8.0, 1.5));
  EXPECT_EQ(r.mapShape(vcXform<2>::translation(vcVector<2>(0.5, 0.25)))->boundingBox(),
            vcRect(1.5, 2.25, 4.0, 3.0));

  for (const vcXform<2>& x : {vcXform<2>::rotation(vcRadian(0.3)), vcXform<2>::scale(-1.0, 1.0),
                              vcXform<2>(vcMatrix<2>(1.0, 0.5, 0.0, 1.0), vcVector<2>())}) {
    const vcShapeHandle h = r.mapShape(x);
    const auto* g = dynamic_cast<const vcGenRect*>(h.ptr());
    ASSERT_NE(g, nullptr);
    // The general map keeps the corners in boundary order, corner 0 at the origin.
    const vcVector<2> corners[4] = {r.origin(), {5.0, 2.0}, r.corner(), {1.0, 5.0}};
    for (int k = 0; k < 4; ++k) EXPECT_LT(g->corner(k).distance(x.mapPoint(corners[k])), 1e-12) << k;
    EXPECT_NEAR(g->area(), r.area() * std::fabs(x.matrix().determinant()), 1e-12);
  }
}

// Samples start at the origin corner, pass every corner exactly and never
// leave the rectangle's box.
TEST(RectShapeTest, SamplingKeepsExactCornersInsideTheBox) {
  const vcRect r(-1.25, 0.5, 3.0, 2.0);
  std::vector<vcVector<2>> pts, bare, dup;
  r.sample(vcShape::vcSampleParams(0.1, 0.4), pts);
  EXPECT_EQ(pts.front(), r.origin());
  for (const vcVector<2>& p : pts) EXPECT_TRUE(r.contains(p)) << p;
  EXPECT_NE(std::find(pts.begin(), pts.end(), r.corner()), pts.end());
  r.sample(vcShape::vcSampleParams(0.0, 0.0, 2, false, false), bare);
  EXPECT_EQ(bare.size(), 4u);
  r.sample(vcShape::vcSampleParams(0.0, 0.0, 2, true, true), dup);
  EXPECT_EQ(dup.size(), 8u);  // three inner corners twice, the start at both ends
}

}  // namespace
