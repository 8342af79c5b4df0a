#include <gtest/gtest.h>

#include <functional>
#include <memory>
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

// A w x h image whose pixel (x, y) is pass when (x + y) % 3 == 0 or x == 0
// (a left column of pass pixels), else `on`.
template <class T>
vcPelBuffer<T> checker(long w, long h, T on, T pass) {
  vcPelBuffer<T> img(w, h);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) *img.pointToPel(x, y) = (x == 0 || (x + y) % 3 == 0) ? pass : on;
  return img;
}

// Checks that the image drawn at (x0, y0) left its pass pixels alone, drew
// the others in `on`, and reported exactly what changed.
void expectCheckerAt(const vcCairoScope& scope, long x0, long y0, long w, long h, std::uint32_t on,
                     const std::string& what) {
  const vcPixels px(scope);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x)
      ASSERT_EQ(px.at(x0 + x, y0 + y), (x == 0 || (x + y) % 3 == 0) ? kBackground : on) << what << " " << x << "," << y;
  EXPECT_EQ(px.boxWhere([&](long x, long y) { return px.at(x, y) != kBackground; }), vcUIRect(x0 + 1, y0, w - 1, h))
      << what;
  EXPECT_EQ(scope.changeRect(), vcUIRect(x0 + 1, y0, w - 1, h)) << what;
}

TEST(CairoImages, PassPixelsOfEveryImageKindAreLeftUntouched) {
  const std::vector<std::pair<std::string, std::function<void(vcCairoScope&, std::uint32_t&)>>> kinds{
      {"8-bit grey",
       [](vcCairoScope& s, std::uint32_t& on) {
         s.draw(checker<unsigned char>(6, 5, 200, 7), vcPoint(3, 4), true, 7, false);
         on = 0xFFC8C8C8u;
       }},
      {"8-bit mapped",
       [](vcCairoScope& s, std::uint32_t& on) {
         s.draw(checker<unsigned char>(6, 5, 249, 243), vcPoint(3, 4), true, 243, true);
         on = kRed;
       }},
      {"16-bit",
       [](vcCairoScope& s, std::uint32_t& on) {
         s.draw(checker<unsigned short>(6, 5, 0x4000, 0x1234), vcPoint(3.7, 4.2), true, 0x1234);
         on = 0xFF404040u;
       }},
      {"packed 16-bit RGB",
       [](vcCairoScope& s, std::uint32_t& on) {
         s.draw(checker(6, 5, vcPackedRGB16Pel(0, 0, 255), vcPackedRGB16Pel(255, 0, 0)), vcPoint(3, 4), true,
                vcPackedRGB16Pel(255, 0, 0).value());
         on = kBlue;
       }},
      {"32-bit RGB",
       [](vcCairoScope& s, std::uint32_t& on) {
         s.draw(checker(6, 5, vcPackedRGB32Pel(0, 255, 0), vcPackedRGB32Pel(1, 2, 3)), vcPoint(3, 4), true, 0x010203ul);
         on = kGreen;
       }},
      {"RLE with a byte map",
       [](vcCairoScope& s, std::uint32_t& on) {
         // Values 1 map to red's index, 0 to the pass value.
         const vcRLEBuffer rle = vcRLEBuffer::encode(checker<unsigned char>(6, 5, 1, 0));
         s.draw(rle, vcPoint(3, 4), std::vector<unsigned char>{243, 249}, true, 243);
         on = kRed;
       }},
      {"RLE with colors",
       [](vcCairoScope& s, std::uint32_t& on) {
         const vcRLEBuffer rle = vcRLEBuffer::encode(checker<unsigned char>(6, 5, 0, 243));
         s.draw(rle, vcPoint(3, 4), std::vector<vcColor>{vcColor(0, 0, 255)}, true, 243);
         on = kBlue;
       }},
  };
  for (const auto& [name, draw] : kinds) {
    vcCairoScope scope(vcPair<long>(20, 20));
    scope.set(vcColor(0x10, 0x20, 0x30));
    scope.noChange();
    std::uint32_t on = 0;
    draw(scope, on);
    expectCheckerAt(scope, 3, 4, 6, 5, on, name);
  }
}

TEST(CairoImages, ExpandAndSampleMapEachPixelToItsNearestSource) {
  vcPelBuffer<unsigned char> img(3, 2);
  const unsigned char values[2][3] = {{10, 20, 30}, {40, 50, 60}};
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 3; ++x) *img.pointToPel(x, y) = values[y][x];
  {
    vcCairoScope scope(vcPair<long>(20, 20));
    scope.expand(img, vcPoint(1, 2), vcPair<double>(3.0, 2.0), false, 0, false, vcUITablet::eNoInterpolation);
    const vcPixels px(scope);
    for (long y = 0; y < 4; ++y)
      for (long x = 0; x < 9; ++x) EXPECT_EQ(px.at(1 + x, 2 + y) & 0xFFu, values[y / 2][x / 3]) << x << "," << y;
    EXPECT_EQ(scope.changeRect(), vcUIRect(1, 2, 9, 4));
  }
  {
    vcCairoScope scope(vcPair<long>(20, 20));
    scope.sample(img, vcPoint(0, 0), vcPair<long>(2, 2), false, 0, false);  // the whole-factor form halves
    EXPECT_EQ(scope.changeRect(), vcUIRect(0, 0, 2, 1));
    EXPECT_EQ(scope.argb(0, 0) & 0xFFu, 10u);
    EXPECT_EQ(scope.argb(1, 0) & 0xFFu, 30u);
  }
  vcCairoScope scope(vcPair<long>(4, 4));
  EXPECT_THROW(
      scope.expand(img, vcPoint(0, 0), vcPair<double>(0.0, 1.0), false, 0, false, vcUITablet::eNoInterpolation),
      vcBadArgument);
}

TEST(CairoImages, ImagesThroughAScaledChildTabletStayInsideIt) {
  vcCairoScope scope(vcPair<long>(40, 40));
  vcUITablet root(&scope, nullptr);
  root.visible(true);
  vcUITablet child(root, vcUIRect(10, 10, 12, 8));
  child.visible(true);
  child.scaleExact(vcPair<double>(4.0, 4.0));
  child.draw(vcPelBuffer_const<unsigned char>(checker<unsigned char>(6, 6, 255, 0)), vcPoint(0, 0), false, 0, false,
             vcUITablet::eImage);
  const vcPixels px(scope);
  EXPECT_EQ(px.boxWhere([&](long x, long y) { return px.at(x, y) != kBlack; }), vcUIRect(14, 10, 8, 8));
}

}  // namespace

// A tablet reducing by whole factors set with scale() draws images at the
// same size and with the same pixels as one set with the fractions.
TEST(CairoImages, WholeReductionFactorsDrawLikeTheirFractions) {
  vcPelBuffer<unsigned char> grey(8, 8);
  vcPelBuffer<vcPackedRGB32Pel> rgb(8, 8);
  for (long y = 0; y < 8; ++y)
    for (long x = 0; x < 8; ++x) {
      *grey.pointToPel(x, y) = static_cast<unsigned char>(16 * y + 2 * (x / 2));  // pairs alike along rows
      *rgb.pointToPel(x, y) = vcPackedRGB32Pel(static_cast<unsigned char>(x), static_cast<unsigned char>(y), 9);
    }
  const vcRLEBuffer runs = vcRLEBuffer::encode(grey);
  std::vector<unsigned char> identity(256);
  for (unsigned v = 0; v < 256; ++v) identity[v] = static_cast<unsigned char>(v);
  const std::vector<std::pair<std::string, std::function<void(vcUITablet&)>>> kinds{
      {"8-bit", [&](vcUITablet& t) { t.draw(grey, vcPoint(2, 4), false, 0, false, vcUITablet::eImage); }},
      {"RGB32", [&](vcUITablet& t) { t.draw(rgb, vcPoint(2, 4), false, 0, vcUITablet::eImage); }},
      {"RLE", [&](vcUITablet& t) { t.draw(runs, vcPoint(2, 4), identity, false, 0, false, vcUITablet::eImage); }}};
  for (const auto& [name, draw] : kinds) {
    for (const vcPair<long> whole : {vcPair<long>(2, 2), vcPair<long>(2, 4)}) {
      // RLE images are reduced by their x factor alone on the run-length path.
      if (name == "RLE" && whole.y() != whole.x()) continue;
      std::vector<std::unique_ptr<vcCairoScope>> scopes;
      for (const bool asWhole : {true, false}) {
        scopes.push_back(std::make_unique<vcCairoScope>(vcPair<long>(20, 20)));
        vcUITablet t(scopes.back().get(), nullptr);
        t.visible(true);
        if (asWhole) {
          t.scaleMode(vcUITablet::eSample);
          t.scale(whole);
        } else {
          t.scaleExact(vcPair<double>(1.0 / static_cast<double>(whole.x()), 1.0 / static_cast<double>(whole.y())));
        }
        draw(t);
      }
      const std::string what = name + " by " + std::to_string(whole.x()) + "x" + std::to_string(whole.y());
      // The corner (2, 4) maps to (1, 4 / fy); 8 pixels become 8 / f.
      const vcUIRect expected(1, 4 / whole.y(), 8 / whole.x(), 8 / whole.y());
      EXPECT_EQ(scopes[0]->changeRect(), expected) << what;
      EXPECT_EQ(scopes[1]->changeRect(), expected) << what;
      EXPECT_EQ(vcPixels(*scopes[0]).argb, vcPixels(*scopes[1]).argb) << what;
    }
  }
}
