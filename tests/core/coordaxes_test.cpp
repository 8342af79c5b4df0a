#include <vc/core/coordaxes.h>

#include <gtest/gtest.h>

#include <random>

#include <vc/core/archive.h>
#include <vc/core/rect.h>

namespace {

vcVector<2> randomPoint(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-300.0, 300.0);
  return vcVector<2>(u(rng), u(rng));
}

}  // namespace

TEST(CoordAxesTest, DistanceIsToTheNearerAxisAndBoundsHoldTheThreePoints) {
  std::mt19937 rng(51);
  for (int i = 0; i < 100; ++i) {
    const vcCoordAxes a(randomPoint(rng), randomPoint(rng), randomPoint(rng));
    EXPECT_EQ(a.xAxis(), vcLineSeg(a.origin(), a.xEnd()));
    EXPECT_EQ(a.yAxis(), vcLineSeg(a.origin(), a.yEnd()));
    const vcVector<2> p = randomPoint(rng);
    EXPECT_EQ(a.distanceToPoint(p), std::min(a.xAxis().distanceToPoint(p), a.yAxis().distanceToPoint(p)));
    vcRect box;
    box.enclose(a.origin()).enclose(a.xEnd()).enclose(a.yEnd());
    EXPECT_EQ(a.boundingBox(), box);
    const vcXform<2> x(vcMatrix<2>(1.0, 2.0, -0.5, 0.7), randomPoint(rng));
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

TEST(CoordAxesTest, ValueArchiveRoundTripsAndMalformedInputLeavesTargetUnchanged) {
  vcCoordAxes a(vcVector<2>(0.5, -1.0), vcVector<2>(10.0, 0.0), vcVector<2>(0.0, 10.0));
  vcBufferArchive out(vcArchive::eStore);
  out || a;
  const std::vector<unsigned char> good = out.bytes();
  ASSERT_EQ(good.size(), 2u + 48u);
  {
    vcBufferArchive in(good);
    vcCoordAxes back;
    in || back;
    EXPECT_EQ(back, a);
  }
  const vcCoordAxes keep(vcVector<2>(7.0, 7.0), vcVector<2>(8.0, 7.0), vcVector<2>(7.0, 8.0));
  for (std::size_t n = 0; n < good.size(); ++n) {
    vcCoordAxes target = keep;
    vcBufferArchive in(std::vector<unsigned char>(good.begin(), good.begin() + static_cast<long>(n)));
    EXPECT_THROW(in || target, vcArchive::BadData);
    EXPECT_EQ(target, keep);
  }
  std::vector<unsigned char> bad = good;
  bad[2 + 40 + 7] = 0x7F;
  bad[2 + 40 + 6] = 0xF0;  // yEnd.y is not finite
  vcCoordAxes target = keep;
  vcBufferArchive in(bad);
  EXPECT_THROW(in || target, vcArchive::BadData);
  EXPECT_EQ(target, keep);
  bad = good;
  bad[0] = 3;
  vcBufferArchive in2(bad);
  EXPECT_THROW(in2 || target, vcArchive::UnknownVersion);
  EXPECT_EQ(target, keep);
}
