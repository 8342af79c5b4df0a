// Images on a vcCairoScope: pass pixels of every image kind, expansion and sampling.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/core/pel.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/uitablet.h>

#include "cairo/pixels.h"

namespace {

constexpr std::uint32_t kBackground = 0xFF102030u;

// A w x h image whose pixel (x, y) is pass when (x + y) % 3 == 0 or x == 0, else `on`.
template <class T>
vcPelBuffer<T> checker(long w, long h, T on, T pass) {
  vcPelBuffer<T> img(w, h);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) *img.pointToPel(x, y) = (x == 0 || (x + y) % 3 == 0) ? pass : on;
  return img;
}

// The image drawn at (3, 4) left its pass pixels alone, drew the others in `on`, and reported exactly what changed.
TEST(CairoImages, PassPixelsOfEveryImageKindAreLeftUntouched) {
  using Draw = std::function<void(vcCairoScope&)>;
  const std::vector<std::tuple<std::string, Draw, std::uint32_t>> kinds{
      {"8-bit grey", [](auto& s) { s.draw(checker<unsigned char>(6, 5, 200, 7), vcPoint(3, 4), true, 7, false); },
       0xFFC8C8C8u},
      {"8-bit mapped", [](auto& s) { s.draw(checker<unsigned char>(6, 5, 249, 243), vcPoint(3, 4), true, 243, true); },
       kRed},
      {"16-bit",
       [](auto& s) { s.draw(checker<unsigned short>(6, 5, 0x4000, 0x1234), vcPoint(3.7, 4.2), true, 0x1234); },
       0xFF404040u},
      {"packed 16-bit RGB",
       [](auto& s) {
         s.draw(checker(6, 5, vcPackedRGB16Pel(0, 0, 255), vcPackedRGB16Pel(255, 0, 0)), vcPoint(3, 4), true,
                vcPackedRGB16Pel(255, 0, 0).value());
       },
       kBlue},
      {"32-bit RGB",
       [](auto& s) {
         s.draw(checker(6, 5, vcPackedRGB32Pel(0, 255, 0), vcPackedRGB32Pel(1, 2, 3)), vcPoint(3, 4), true, 0x010203ul);
       },
       kGreen},
      {"RLE with a byte map",  // 1 maps to red's index, 0 to the pass value
       [](auto& s) {
         s.draw(vcRLEBuffer::encode(checker<unsigned char>(6, 5, 1, 0)), vcPoint(3, 4),
                std::vector<unsigned char>{243, 249}, true, 243);
       },
       kRed},
      {"RLE with colors",
       [](auto& s) {
         s.draw(vcRLEBuffer::encode(checker<unsigned char>(6, 5, 0, 243)), vcPoint(3, 4),
                std::vector<vcColor>{vcColor(0, 0, 255)}, true, 243);
       },
       kBlue},
  };
  for (const auto& [name, draw, on] : kinds) {
    vcCairoScope scope(vcPair<long>(20, 20));
    scope.set(vcColor(0x10, 0x20, 0x30));
    scope.noChange();
    draw(scope);
    const vcPixels px(scope);
    for (long y = 0; y < 5; ++y)
      for (long x = 0; x < 6; ++x)
        ASSERT_EQ(px.at(3 + x, 4 + y), (x == 0 || (x + y) % 3 == 0) ? kBackground : on) << name << " " << x << "," << y;
    EXPECT_EQ(px.boxWhere([&](long x, long y) { return px.at(x, y) != kBackground; }), vcUIRect(4, 4, 5, 5)) << name;
    EXPECT_EQ(scope.changeRect(), vcUIRect(4, 4, 5, 5)) << name;
  }
}

TEST(CairoImages, ExpandAndSampleMapEachPixelToItsSource) {
  vcPelBuffer<unsigned char> img(3, 2);
  const unsigned char values[2][3] = {{10, 20, 30}, {40, 50, 60}};
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 3; ++x) *img.pointToPel(x, y) = values[y][x];
  vcCairoScope expanded(vcPair<long>(20, 20)), sampled(vcPair<long>(20, 20));
  expanded.expand(img, vcPoint(1, 2), vcPair<double>(3.0, 2.0), false, 0, false, vcUITablet::eNoInterpolation);
  const vcPixels px(expanded);
  for (long y = 0; y < 4; ++y)
    for (long x = 0; x < 9; ++x) EXPECT_EQ(px.at(1 + x, 2 + y) & 0xFFu, values[y / 2][x / 3]) << x << "," << y;
  EXPECT_EQ(expanded.changeRect(), vcUIRect(1, 2, 9, 4));
  sampled.sample(img, vcPoint(0, 0), vcPair<long>(2, 2), false, 0, false);  // the whole-factor form halves
  EXPECT_EQ(sampled.changeRect(), vcUIRect(0, 0, 2, 1));
  EXPECT_EQ(sampled.argb(1, 0) & 0xFFu, 30u);
  // Scales so small that column / scale overflows a long (unequal axes: the scope's own scaling) still end.
  vcCairoScope tiny(vcPair<long>(4, 4));
  tiny.expand(img, vcPoint(1, 1), vcPair<double>(1e-300, 2e-300), false, 0, false, vcUITablet::eNoInterpolation);
  EXPECT_EQ(tiny.changeRect(), vcUIRect(1, 1, 1, 1));
  EXPECT_EQ(tiny.argb(1, 1) & 0xFFu, 10u);
}

}  // namespace
