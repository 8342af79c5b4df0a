#include <vc/core/coordaxes.h>

#include <gtest/gtest.h>

#include <random>

#include <vc/core/archive.h>
#include <vc/core/rect.h>

#include "support/test_shapes.h"

namespace {

}  // namespace

TEST(CoordAxesTest, DistanceIsToTheNearerAxisAndBoundsHoldTheThreePoints) {
  std::mt19937 rng(51);
  for (int i = 0; i < 100; ++i) {
    const vcCoordAxes a(vc_test::randomPoint(rng, 300.0), vc_test::randomPoint(rng, 300.0), vc_test::randomPoint(rng, 300.0));
    EXPECT_EQ(a.xAxis(), vcLineSeg(a.origin(), a.xEnd()));
    EXPECT_EQ(a.yAxis(), vcLineSeg(a.origin(), a.yEnd()));
    const vcVector<2> p = vc_test::randomPoint(rng, 300.0);
    EXPECT_EQ(a.distanceToPoint(p), std::min(a.xAxis().distanceToPoint(p), a.yAxis().distanceToPoint(p)));
    vcRect box;
    box.enclose(a.origin()).enclose(a.xEnd()).enclose(a.yEnd());
    EXPECT_EQ(a.boundingBox(), box);
    const vcXform<2> x(vcMatrix<2>(1.0, 2.0, -0.5, 0.7), vc_test::randomPoint(rng, 300.0));
    const vcShapeHandle m = a.mapShape(x);
    ASSERT_NE(dynamic_cast<const vcCoordAxes*>(m.ptr()), nullptr);
    EXPECT_EQ(dynamic_cast<const vcCoordAxes&>(*m),
              vcCoordAxes(x.mapPoint(a.origin()), x.mapPoint(a.xEnd()), x.mapPoint(a.yEnd())));
    EXPECT_NEAR(m->distanceToPoint(x.mapPoint((a.origin() + a.yEnd()) * 0.5)), 0.0, 1e-9);
  }
}

TEST(CoordAxesTest, DegenerateWhenEitherAxisHasNoLength) {
  const vcVector<2> o(1.0, 1.0);
  EXPECT_FALSE(vcCoordAxes(o, vcVector<2>(2.0, 1.0), vcVector<2>(1.0, 2.0)).degen());
  EXPECT_TRUE(vcCoordAxes(o, o, vcVector<2>(1.0, 2.0)).degen());
  EXPECT_TRUE(vcCoordAxes(o, vcVector<2>(2.0, 1.0), o).degen());
  // Collinear axes still have lengths: not degenerate.
  EXPECT_FALSE(vcCoordAxes(o, vcVector<2>(2.0, 1.0), vcVector<2>(3.0, 1.0)).degen());
  const auto parts = vcCoordAxes(o, o, vcVector<2>(1.0, 2.0)).decompose();
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_FALSE(parts[0]->hasTangent());
  EXPECT_THROW(vcCoordAxes(o, vcVector<2>(NAN, 0.0), o), vcShapesError::BadGeom);
}

