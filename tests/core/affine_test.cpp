#include <vc/core/affine.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <vc/core/exception.h>

namespace {

using Params = vcAffineSamplingParams;

vcAffineRectangle box(double x, double y, double w, double h) {
  return vcAffineRectangle(vcVector<2>(x, y), vcVector<2>(x + w, y), vcVector<2>(x, y + h));
}

// Random pixels in a window that does not start at the storage origin, so
// that image coordinates and window-relative ones differ.
vcPelBuffer<unsigned char> randomImage(long w, long h, unsigned seed) {
  vcPelBuffer<unsigned char> img(vcRectangle<long>(-3, 5, w + 4, h + 2));
  std::mt19937 rng(seed);
  for (long y = 5; y < 5 + h + 2; ++y)
    for (long x = -3; x < -3 + w + 4; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(rng() & 255);
  img.window(vcRectangle<long>(-1, 6, w, h));
  return img;
}

}  // namespace

// Sampling the window itself at its own resolution hits pixel centres, where
// every kernel must give the pixel back unchanged (a kernel off by half a
// pixel or reading outside the window fails here).
TEST(Affine, WindowAtItsOwnResolutionIsReproducedByEveryKernel) {
  const vcPelBuffer<unsigned char> src = randomImage(9, 7, 1);
  for (int kind : {1, 2, 3}) {
    vcPelBuffer<unsigned char> dst(9, 7);
    const vcRectangle<long> done = vfAffineTransformImage(src, Params(box(-1, 6, 9, 7), 9, 7, kind), dst);
    EXPECT_EQ(done, vcRectangle<long>(0, 0, 9, 7));
    for (long y = 0; y < 7; ++y)
      for (long x = 0; x < 9; ++x) ASSERT_EQ(*dst.pointToPel(x, y), *src.pointToPel(x - 1, y + 6)) << kind;
  }
  vcPelBuffer<vcPackedRGB32Pel> rgb(3, 2), out(3, 2);
  *rgb.pointToPel(1, 1) = vcPackedRGB32Pel(10, 200, 30);
  vfAffineTransformImage(rgb, Params(box(0, 0, 3, 2), 3, 2, 3), out);
  EXPECT_EQ(out, rgb);
  // Bad grids and kernels, and destinations smaller than the grid, are refused.
  EXPECT_THROW(Params(box(0, 0, 1, 1), -1, 1, 2), vcBadArgument);
  EXPECT_THROW(Params(box(0, 0, 1, 1), 1, 1, 4), vcBadArgument);
  vcPelBuffer<unsigned char> small(3, 4);
  EXPECT_THROW(vfAffineTransformImage(src, Params(box(0, 0, 4, 4), 4, 4, 2), small), vcBadArgument);
  EXPECT_TRUE(vfAffineTransformImage(vcPelBuffer<unsigned char>(), Params(box(0, 0, 4, 4), 3, 4, 2), small).isEmpty());
}

// Linear ramps are reproduced exactly by bilinear interpolation between the
// centres, and flat areas stay flat under the bicubic kernel (its weights
// must add up to one).
TEST(Affine, BilinearKeepsRampsAndBicubicKeepsFlatAreas) {
  vcPelBuffer<unsigned char> ramp(8, 3);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 8; ++x) *ramp.pointToPel(x, y) = static_cast<unsigned char>(10 * x);
  vcPelBuffer<unsigned char> dst(28, 1);
  vfAffineTransformImage(ramp, Params(box(0.5, 1.0, 7.0, 1.0), 28, 1, 2), dst);
  for (long i = 0; i < 28; ++i) EXPECT_EQ(*dst.pointToPel(i, 0), std::floor(10.0 * (i + 0.5) / 4.0 + 0.5)) << i;
  vcPelBuffer<unsigned char> flat(8, 8), big(37, 29);
  flat.fill(77);
  vfAffineTransformImage(flat, Params(box(0.2, 0.3, 7.5, 7.6), 37, 29, 3), big);
  for (long y = 0; y < 29; ++y)
    for (long x = 0; x < 37; ++x) ASSERT_EQ(*big.pointToPel(x, y), 77);
}

// A quarter turn maps columns to rows (the general, non-upright path), and
// points outside the source leave their pixels alone and outside the result.
TEST(Affine, TurnedAreaTransposesAndUncoveredPixelsAreLeftAlone) {
  const vcPelBuffer<unsigned char> src = randomImage(5, 4, 2);
  // Po at the window's lower-left, Px up its left side, Py along its bottom.
  const vcAffineRectangle turned(vcVector<2>(-1, 10), vcVector<2>(-1, 6), vcVector<2>(4, 10));
  vcPelBuffer<unsigned char> dst(4, 5);
  EXPECT_EQ(vfAffineTransformImage(src, Params(turned, 4, 5, 1), dst), vcRectangle<long>(0, 0, 4, 5));
  for (long j = 0; j < 5; ++j)
    for (long i = 0; i < 4; ++i) ASSERT_EQ(*dst.pointToPel(i, j), *src.pointToPel(-1 + j, 9 - i));

  vcPelBuffer<unsigned char> wide(10, 4);
  wide.fill(9);
  // Twice the window's width: the right half of the grid falls outside.
  const vcRectangle<long> done = vfAffineTransformImage(src, Params(box(-1, 6, 10, 4), 10, 4, 2), wide);
  EXPECT_EQ(done, vcRectangle<long>(0, 0, 5, 4));
  for (long y = 0; y < 4; ++y)
    for (long x = 5; x < 10; ++x) EXPECT_EQ(*wide.pointToPel(x, y), 9);
  EXPECT_TRUE(vfAffineTransformImage(src, Params(box(20, 20, 3, 3), 3, 3, 2), wide).isEmpty());
}
