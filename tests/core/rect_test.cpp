#include <vc/core/rect.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <vc/core/genrect.h>

namespace {
using V = vcVector<2>;

// The default rect is null and neutral for enclose; points, empty and
// zero-height boxes all count, and every enclosed point stays contained.
TEST(RectTest, EncloseAccumulatesPointsAndBoxesFromTheNullRect) {
  vcRect r;
  EXPECT_FALSE(r.contains(V(0.0, 0.0)));
  r.enclose(vcRect(1.0, 2.0, 3.0, 4.0)).enclose(vcRect());
  EXPECT_EQ(r, vcRect(1.0, 2.0, 3.0, 4.0));
  vcRect p;
  p.enclose(V(2.0, 3.0));
  EXPECT_TRUE(p.isEmpty() && !p.isNull() && p.contains(V(2.0, 3.0)));
  p.enclose(V(-1.0, 5.0)).enclose(V(0.0, 4.0));
  EXPECT_EQ(p, vcRect(-1.0, 3.0, 3.0, 2.0));
  vcRect flat;
  flat.enclose(vcRect(0.0, 1.0, 5.0, 0.0)).enclose(vcRect(2.0, 4.0, 0.0, 0.0));  // a horizontal line and a point
  EXPECT_EQ(flat, vcRect(0.0, 1.0, 5.0, 3.0));
  vcRect rounding;
  for (double v : {0.1, -0.39, 1.01, -0.02, 0.04, 1e-300, 12345.678901}) {
    rounding.enclose(V(v, -v));
    EXPECT_TRUE(rounding.contains(V(v, -v))) << v << ' ' << rounding;
  }
}

// Closed rects: edges are inside, rects sharing an edge meet in an empty
// one, negative sizes are null; pixel rectangles are half-open instead.
TEST(RectTest, IntersectionAndContainmentOfClosedAndPixelRectangles) {
  const vcRect a(0.0, 0.0, 4.0, 4.0);
  EXPECT_EQ(a & vcRect(2.0, 1.0, 5.0, 1.0), vcRect(2.0, 1.0, 2.0, 1.0));
  EXPECT_TRUE((a & vcRect(5.0, 0.0, 1.0, 1.0)).isNull());
  EXPECT_TRUE((vcRect() & a).isNull());
  EXPECT_EQ(a & vcRect(4.0, 1.0, 2.0, 2.0), vcRect(4.0, 1.0, 0.0, 2.0));
  EXPECT_TRUE(a.contains(V(4.0, 4.0)) && !a.contains(V(4.000001, 2.0)));
  EXPECT_TRUE(vcRect(10.0, 10.0, -6.0, -4.0).isNull());
  EXPECT_FALSE(vcRect(10.0, 10.0, -6.0, -4.0).contains(V(8.0, 8.0)));

  const vcRectangle<long> w(0, 0, 10, 10);
  EXPECT_TRUE(w.contains(9, 9));
  EXPECT_FALSE(w.contains(vcPair<long>(10, 0)));
  EXPECT_TRUE(w.contains(vcRectangle<long>(5, 5, 5, 5)));
  EXPECT_FALSE(w.contains(vcRectangle<long>(5, 5, 6, 5)));
  EXPECT_EQ(w & vcRectangle<long>(5, -5, 10, 10), vcRectangle<long>(5, 0, 5, 5));
  EXPECT_EQ(w & vcRectangle<long>(10, 0, 5, 5), vcRectangle<long>());
}

TEST(RectShapeTest, RegionMeasuresTangentsAndNullRectangles) {
  const vcRect r(1.0, 2.0, 4.0, 3.0);
  EXPECT_DOUBLE_EQ(r.area(), 12.0);
  EXPECT_DOUBLE_EQ(r.perimeter(), 14.0);
  EXPECT_EQ(r.distanceToPoint(V(3.0, 3.0)), 0.0);
  EXPECT_DOUBLE_EQ(r.distanceToPoint(V(8.0, 9.0)), 5.0);  // from the corner (5, 5)
  EXPECT_DOUBLE_EQ(r.distanceToPoint(V(3.0, -1.0)), 3.0);
  EXPECT_EQ(r.tangentAt(V(6.0, 3.5)), V(0.0, 1.0));
  EXPECT_EQ(r.tangentAt(V(2.0, 5.5)), V(-1.0, 0.0));
  const vcRect null(0.0, 0.0, -2.0, 3.0);
  EXPECT_EQ(null.area(), 0.0);
  EXPECT_FALSE(null.within(V(-1.0, 1.0)));
  EXPECT_THROW(null.distanceToPoint(V()), vcShapesError::DegenerateShape);
  std::vector<V> pts;
  EXPECT_THROW(null.sample(vcShape::vcSampleParams(), pts), vcShapesError::DegenerateShape);
  r.sample(vcShape::vcSampleParams(0.0, 0.0, 2, false, false), pts);
  EXPECT_EQ(pts, (std::vector<V>{r.origin(), V(5.0, 2.0), r.corner(), V(1.0, 5.0)}));
}

TEST(RectShapeTest, MapShapeStaysARectOnlyUnderTranslationAndPositiveAxisScaling) {
  const vcRect r(1.0, 2.0, 4.0, 3.0);
  const vcShapeHandle moved = r.mapShape(vcXform<2>(vcMatrix<2>(2.0, 0.0, 0.0, 0.5), V(1.0, -1.0)));
  ASSERT_NE(dynamic_cast<const vcRect*>(moved.ptr()), nullptr);
  EXPECT_EQ(*moved, vcRect(3.0, 0.0, 8.0, 1.5));
  for (const vcXform<2>& x : {vcXform<2>::rotation(vcRadian(0.3)), vcXform<2>::scale(-1.0, 1.0),
                              vcXform<2>(vcMatrix<2>(1.0, 0.5, 0.0, 1.0), V())}) {
    const vcShapeHandle h = r.mapShape(x);
    const auto* g = dynamic_cast<const vcGenRect*>(h.ptr());
    ASSERT_NE(g, nullptr);
    // Corners in boundary order, corner 0 at the origin.
    const V corners[4] = {r.origin(), {5.0, 2.0}, r.corner(), {1.0, 5.0}};
    for (int k = 0; k < 4; ++k) EXPECT_LT(g->corner(k).distance(x.mapPoint(corners[k])), 1e-12) << k;
  }
}

}  // namespace
