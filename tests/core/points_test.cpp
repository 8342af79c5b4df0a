#include <vc/core/points.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/archive.h>
#include <vc/core/rect.h>

namespace {

vcVector<2> randomPoint(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-500.0, 500.0);
  return vcVector<2>(u(rng), u(rng));
}

template <class S>
std::vector<unsigned char> storeShape(S s) {
  vcBufferArchive out(vcArchive::eStore);
  out || s;
  return out.bytes();
}

template <class S>
S loadShape(const std::vector<unsigned char>& bytes) {
  vcBufferArchive in(bytes);
  S s;
  in || s;
  return s;
}

}  // namespace

TEST(PointsTest, PointShapeIsItsPositionWithAZeroSizeBox) {
  const vc2Point p(3.0, -4.0);
  const vcPoint v = p;
  EXPECT_EQ(v, vcPoint(3.0, -4.0));
  EXPECT_EQ(p.boundingBox(), vcRect(3.0, -4.0, 0.0, 0.0));
  EXPECT_EQ(p.distanceToPoint(vcVector<2>(0.0, 0.0)), 5.0);
  EXPECT_FALSE(p.isOpenContour() || p.isClosedContour() || p.isRegion());
  EXPECT_EQ(p.map(vcXform<2>::translation(vcVector<2>(1.0, 1.0))), vc2Point(4.0, -3.0));
  EXPECT_THROW(vc2Point(std::nan(""), 0.0), vcShapesError::BadGeom);
  EXPECT_EQ(loadShape<vc2Point>(storeShape(p)), p);
}

TEST(PointsTest, PointSetDistanceIsToTheNearestPointAndBoxHoldsThemAll) {
  std::mt19937 rng(31);
  std::vector<vcVector<2>> pts;
  for (int i = 0; i < 40; ++i) pts.push_back(randomPoint(rng));
  const vcPointSet set(pts);
  const vcRect box = set.boundingBox();
  for (const auto& p : pts) {
    EXPECT_EQ(set.distanceToPoint(p), 0.0);
    EXPECT_TRUE(box.contains(p));
  }
  for (int k = 0; k < 50; ++k) {
    const vcVector<2> q = randomPoint(rng);
    double best = 1e300;
    for (const auto& p : pts) best = std::min(best, p.distance(q));
    EXPECT_EQ(set.distanceToPoint(q), best);
  }
  const vcXform<2> x(vcMatrix<2>(0.5, 2.0, -1.0, 0.25), vcVector<2>(3.0, 9.0));
  const vcRect mbox = set.map(x).boundingBox();
  for (const auto& p : pts) {
    const vcVector<2> q = x.mapPoint(p);
    EXPECT_TRUE(mbox.contains(q)) << q;
  }
  const auto parts = set.decompose();
  ASSERT_EQ(parts.size(), pts.size());
  EXPECT_TRUE(*parts[7] == vc2Point(pts[7]));
  EXPECT_THROW(set.point(40), vcBadArgument);

  const vcPointSet empty;
  EXPECT_THROW(empty.boundingBox(), vcShapesError::DegenerateShape);
  EXPECT_THROW(empty.distanceToPoint(vcVector<2>()), vcShapesError::DegenerateShape);
}

TEST(PointsTest, PointSetArchiveRejectsHugeCountsAndNonFinitePoints) {
  const vcPointSet set(std::vector<vcPoint>{vcPoint(1.0, 2.0), vcPoint(-3.5, 4.25), vcPoint(0.0, 1e300)});
  const std::vector<unsigned char> good = storeShape(set);
  EXPECT_EQ(loadShape<vcPointSet>(good), set);
  const vcPointSet keep(std::vector<vcVector<2>>{vcVector<2>(9.0, 9.0)});
  auto expectBadData = [&](const std::vector<unsigned char>& bytes) {
    vcPointSet target = keep;
    vcBufferArchive in(bytes);
    EXPECT_THROW(in || target, vcArchive::BadData);
    EXPECT_EQ(target, keep);
  };
  std::vector<unsigned char> bad = good;
  bad[5] = 0x10;  // 268 million points behind 48 bytes
  expectBadData(bad);
  bad = good;
  bad[6 + 16 + 8 + 6] = 0xF8;
  bad[6 + 16 + 8 + 7] = 0xFF;  // point 1's y is NaN
  expectBadData(bad);
  for (std::size_t n = 0; n < good.size(); ++n)
    expectBadData(std::vector<unsigned char>(good.begin(), good.begin() + static_cast<long>(n)));
}

TEST(PointsTest, CrossImageHasTheFixedLayout) {
  const vcCross c(vcVector<2>(1.0, -2.0), vcRadian(0.5), 7);
  unsigned char img[vcCross::kImageSize];
  c.writeImage(img);
  static_assert(vcCross::kImageSize == 32);
  const unsigned char expected[32] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F,  // 1.0
                                      0, 0, 0, 0, 0, 0, 0x00, 0xC0,  // -2.0
                                      0, 0, 0, 0, 0, 0, 0xE0, 0x3F,  // 0.5
                                      7, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<unsigned char>(img, img + 32), std::vector<unsigned char>(expected, expected + 32));
  EXPECT_EQ(vcCross::readImage(img), c);
}

TEST(PointsTest, MalformedCrossImagesAndValuesAreRejected) {
  unsigned char img[vcCross::kImageSize];
  vcCross(vcVector<2>(5.0, 6.0), vcRadian(1.0), 3).writeImage(img);
  unsigned char bad[vcCross::kImageSize];
  std::copy(img, img + 32, bad);
  bad[22] = 0xF0;
  bad[23] = 0x7F;  // angle = infinity
  EXPECT_THROW(vcCross::readImage(bad), vcShapesError::BadGeom);
  std::copy(img, img + 32, bad);
  bad[27] = 0x80;  // negative size
  EXPECT_THROW(vcCross::readImage(bad), vcShapesError::BadGeom);
  std::copy(img, img + 32, bad);
  bad[7] = 0xFF;
  bad[6] = 0xF8;  // center x = NaN
  EXPECT_THROW(vcCross::readImage(bad), vcShapesError::BadGeom);
  EXPECT_THROW(vcCross(vcVector<2>(), vcRadian(0.0), -1), vcShapesError::BadGeom);
  EXPECT_THROW(vcCross(vcVector<2>(), vcRadian(0.0), 1L << 40), vcShapesError::BadGeom);
}

TEST(PointsTest, CrossMapMovesCenterAndTurnsAngleButKeepsPixelSize) {
  const vcCross c(vcVector<2>(2.0, 0.0), vcRadian(0.0), 5);
  const vcXform<2> rot = vcXform<2>(vcMatrix<2>::rotation(vcRadian(std::numbers::pi / 2)), vcVector<2>()) *
                         vcXform<2>::scale(3.0, 3.0);
  const vcCross m = c.map(rot);
  EXPECT_NEAR(m.center().distance(vcVector<2>(0.0, 6.0)), 0.0, 1e-12);
  EXPECT_NEAR(m.angle().toDouble(), std::numbers::pi / 2, 1e-12);
  EXPECT_EQ(m.size(), 5);
  EXPECT_NE(dynamic_cast<const vcCross*>(c.mapShape(vcXform<2>::scale(1.0, 4.0)).ptr()), nullptr);
  EXPECT_EQ(c.boundingBox(), vcRect(2.0, 0.0, 0.0, 0.0));
  EXPECT_EQ(c.distanceToPoint(vcVector<2>(2.0, 3.0)), 3.0);
}

TEST(PointsTest, CrossValueArchiveRoundTripsAndRejectsNegativeSize) {
  std::mt19937 rng(32);
  std::uniform_real_distribution<double> a(-7.0, 7.0);
  for (int i = 0; i < 20; ++i) {
    vcCross c(randomPoint(rng), vcRadian(a(rng)), i * 3);
    vcBufferArchive out(vcArchive::eStore);
    out || c;
    vcBufferArchive in(out.bytes());
    vcCross back;
    in || back;
    EXPECT_EQ(back, c);

    vcShapeHandle h = c.clone();
    vcBufferArchive out2(vcArchive::eStore);
    out2 || h;
    vcBufferArchive in2(out2.bytes());
    vcShapeHandle h2;
    in2 || h2;
    ASSERT_TRUE(h2);
    EXPECT_TRUE(*h2 == c);
  }
  std::vector<unsigned char> bytes = storeShape(vcCross(vcVector<2>(1.0, 1.0), vcRadian(0.0), 4));
  bytes[2 + 24 + 3] = 0xFF;  // size's top byte
  const vcCross keep(vcVector<2>(8.0, 8.0), vcRadian(1.0), 2);
  vcCross target = keep;
  vcBufferArchive in(bytes);
  EXPECT_THROW(in || target, vcArchive::BadData);
  EXPECT_EQ(target, keep);
}
