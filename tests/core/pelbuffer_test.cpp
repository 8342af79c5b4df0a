// Pixel types and pel buffers: sharing, windows, alignment, fills and maps.
#include <vc/core/pelbuffer.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "support/archive_roundtrip.h"

namespace {
static_assert(std::is_same_v<decltype(std::declval<const vcPelBuffer<unsigned char>&>().pointToPel(0, 0)),
                             const unsigned char*>,
              "a const buffer must not hand out writable pixels");

TEST(PelTest, Packed16KeepsFullAndZeroIntensityAndItsBitLayout) {
  EXPECT_EQ(vcPackedRGB16Pel(255, 0, 0).value(), 0xF800);
  EXPECT_EQ(vcPackedRGB16Pel(0, 255, 0).value(), 0x07E0);
  EXPECT_EQ(vcPackedRGB16Pel(0, 0, 255).value(), 0x001F);
  const vcPackedRGB16Pel white(255, 255, 255), p(0x84, 0x41, 0x08);
  EXPECT_EQ(white.r() + white.g() + white.b(), 3 * 255);
  EXPECT_EQ(p.r(), 0x84);
  EXPECT_EQ(p.g(), 0x41);
  EXPECT_EQ(p.b(), 0x08);
  EXPECT_EQ(vcPackedRGB16Pel::fromValue(p.value()), p);
}

TEST(PelTest, Packed32LiesInMemoryAsBlueGreenRedSpare) {
  vcPackedRGB32Pel p(1, 2, 3);
  unsigned char bytes[4];
  std::memcpy(bytes, &p, sizeof bytes);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[1], 2);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[3], 0);
  p.g(9);
  EXPECT_EQ(p, vcPackedRGB32Pel(1, 9, 3));
  EXPECT_FALSE(p == vcPackedRGB32Pel(1, 9, 4));
}

template <class T>
class PelBufferTypedTest : public ::testing::Test {};
using PelTypes = ::testing::Types<unsigned char, unsigned short, vcPackedRGB16Pel, vcPackedRGB32Pel>;
TYPED_TEST_SUITE(PelBufferTypedTest, PelTypes);

TYPED_TEST(PelBufferTypedTest, RowsStartOn64ByteBoundariesAndStartZeroed) {
  for (long w : {1L, 31L, 32L, 33L, 100L}) {
    vcPelBuffer<TypeParam> b(w, 3);
    EXPECT_GE(b.rowPitch(), w);
    EXPECT_EQ(b.rowPitch() * static_cast<long>(sizeof(TypeParam)) % 64, 0);
    for (long y = 0; y < 3; ++y) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.pointToPel(0, y)) % 64, 0u);
      if (y > 0) {
        EXPECT_EQ(b.pointToPel(0, y - 1) + b.rowPitch(), b.pointToPel(0, y));
      }
      for (long x = 0; x < w; ++x) EXPECT_EQ(*b.pointToPel(x, y), TypeParam());
    }
  }
}

TYPED_TEST(PelBufferTypedTest, CopiesShareWritesButClonesDoNot) {
  vcPelBuffer<TypeParam> a(4, 3);
  vcPelBuffer<TypeParam> shared = a;
  const vcPelBuffer_const<TypeParam> view = a;
  vcPelBuffer<TypeParam> deep = a.clone();
  TypeParam v{};
  std::memset(static_cast<void*>(&v), 0x21, sizeof v);
  *shared.pointToPel(2, 1) = v;
  EXPECT_EQ(*a.pointToPel(2, 1), v);
  EXPECT_EQ(*view.pointToPel(2, 1), v);
  EXPECT_EQ(*deep.pointToPel(2, 1), TypeParam());
  EXPECT_TRUE(view.sharesPels(a));
  EXPECT_FALSE(deep.sharesPels(a));
  EXPECT_FALSE(deep == a);
  shared.fill(v);
  EXPECT_TRUE(a.clone() == a);
}

TEST(PelBufferTest, WindowNarrowsTheViewButKeepsImageCoordinates) {
  vcPelBuffer<unsigned char> full(10, 8);
  vcPelBuffer<unsigned char> win = full;
  win.window(vcRectangle<long>(2, 3, 4, 2));
  EXPECT_EQ(win.width(), 4);
  EXPECT_EQ(win.height(), 2);
  EXPECT_EQ(win.offset(), vcPair<long>(2, 3));
  EXPECT_EQ(win.pointToPel(2, 3), full.pointToPel(2, 3));
  EXPECT_THROW(win.pointToPel(0, 0), vcBadArgument);
  EXPECT_THROW(win.pointToPel(6, 3), vcBadArgument);

  for (const vcRectangle<long>& bad : {vcRectangle<long>(8, 0, 3, 1), vcRectangle<long>(-1, 0, 1, 1),
                                       vcRectangle<long>(0, 0, -1, 1), vcRectangle<long>(0, 7, 1, 2),
                                       vcRectangle<long>(0x7fffffffffffffffL, 0, 1, 1)})
    EXPECT_THROW(win.window(bad), vcBadArgument) << bad;
  win.window(vcRectangle<long>(0, 0, 10, 8));
  EXPECT_TRUE(win == full);
  EXPECT_THROW(vcPelBuffer<unsigned char>().window(vcRectangle<long>(0, 0, 1, 1)), vcBadArgument);
}

TEST(PelBufferTest, CloneOfAWindowKeepsItsPlaceTransformAndPixelsOnly) {
  vcPelBuffer<unsigned short> full(6, 5);
  for (long y = 0; y < 5; ++y)
    for (long x = 0; x < 6; ++x) *full.pointToPel(x, y) = static_cast<unsigned short>(100 * y + x);
  full.window(vcRectangle<long>(3, 2, 2, 3));
  const vcXform<2> t(vcMatrix<2>(2, 0, 0, 2), vcVector<2>(5, -1));
  full.clientFromImageXform(t);
  const vcPelBuffer<unsigned short> c = full.clone();
  EXPECT_EQ(c.window(), full.window());
  EXPECT_EQ(c.storageArea(), full.window());
  EXPECT_EQ(c.clientFromImageXform(), t);
  EXPECT_EQ(*c.pointToPel(4, 4), 404);
  EXPECT_TRUE(c == full);

  vcPelBuffer<unsigned short> untransformed = c;
  untransformed.clientFromImageXform(vcXform<2>::I);
  EXPECT_FALSE(untransformed == c);
  EXPECT_TRUE(vcPelBuffer<unsigned short>().clone().isNull());
}

// A refilled buffer takes over the storage of its only view when it covers
// exactly the area asked for, and never pixels another view can see.
TEST(PelBufferTest, ReuseTakesOverOnlyUnsharedStorageOfTheSameArea) {
  const vcRectangle<long> area(3, -2, 5, 4);
  vcPelBuffer<unsigned char> first(area);
  *first.pointToPel(4, -1) = 9;
  first.clientFromImageXform(vcXform<2>::translation(vcVector<2>(1, 2)));
  first.window(vcRectangle<long>(4, -1, 2, 2));
  const unsigned char* pels = first.pointToPel(4, -1);
  vcPelBuffer_const<unsigned char> view = std::move(first);
  EXPECT_TRUE(view.isSoleView());
  vcPelBuffer<unsigned char> again = vcPelBuffer<unsigned char>::reuse(std::move(view), area);
  EXPECT_TRUE(view.isNull());
  EXPECT_EQ(again.pointToPel(4, -1), pels);
  EXPECT_EQ(again.window(), area);
  EXPECT_EQ(again.clientFromImageXform(), vcXform<2>());

  // Shared: the other view keeps its pixels, the new buffer is fresh and zeroed.
  const vcPelBuffer_const<unsigned char> other = again;
  EXPECT_FALSE(other.isSoleView());
  vcPelBuffer_const<unsigned char> moved = again;
  again = vcPelBuffer<unsigned char>();
  vcPelBuffer<unsigned char> fresh = vcPelBuffer<unsigned char>::reuse(std::move(moved), area);
  EXPECT_FALSE(fresh.sharesPels(other));
  EXPECT_EQ(*fresh.pointToPel(4, -1), 0);
  EXPECT_EQ(*other.pointToPel(4, -1), 9);

  // Another area: fresh storage.
  vcPelBuffer_const<unsigned char> sole = fresh;
  fresh = vcPelBuffer<unsigned char>();
  const vcPelBuffer<unsigned char> wider = vcPelBuffer<unsigned char>::reuse(std::move(sole), vcRectangle<long>(3, -2, 6, 4));
  EXPECT_EQ(wider.window(), vcRectangle<long>(3, -2, 6, 4));
  EXPECT_TRUE(vcPelBuffer<unsigned char>::reuse(vcPelBuffer_const<unsigned char>(), area).window() == area);
}

TEST(PelBufferTest, NegativeOrUnaddressableSizesThrow) {
  EXPECT_THROW(vcPelBuffer<unsigned char>(-1, 4), vcBadArgument);
  EXPECT_THROW(vcPelBuffer<unsigned char>(4, -1), vcBadArgument);
  EXPECT_THROW(vcPelBuffer<vcPackedRGB32Pel>(0x7fffffffffffffffL, 2), vcBadArgument);
  EXPECT_THROW(vcPelBuffer<unsigned char>(1L << 30, 1L << 30), vcBadArgument);
  const vcPelBuffer<unsigned char> none(0, 3);
  EXPECT_FALSE(none.isNull());
  EXPECT_EQ(none.width(), 0);
  EXPECT_TRUE(vcPelBuffer<unsigned char>().isNull());
}

TEST(PelBufferTest, WrapViewsTheCallersPixelsAndReleasesTheOwnerWithTheLastView) {
  std::vector<unsigned char> pixels(5 * 3, 0);
  auto owner = std::make_shared<int>(0);
  std::weak_ptr<int> watch = owner;
  {
    vcPelBuffer<unsigned char> buf = vcPelBuffer<unsigned char>::wrap(pixels.data(), 4, 3, 5, std::move(owner));
    EXPECT_EQ(buf.rowPitch(), 5);
    *buf.pointToPel(3, 2) = 7;
    EXPECT_EQ(pixels[2 * 5 + 3], 7);
    vfPelSet(buf, 9);
    EXPECT_EQ(pixels[4], 0) << "the padding past each row stays untouched";
    EXPECT_EQ(pixels[5], 9);
    vcPelBuffer_const<unsigned char> view = buf;
    buf = vcPelBuffer<unsigned char>();
    EXPECT_FALSE(watch.expired()) << "a remaining view keeps the owner";
    EXPECT_EQ(*view.pointToPel(0, 1), 9);
  }
  EXPECT_TRUE(watch.expired());
  unsigned char one = 0;
  EXPECT_THROW(vcPelBuffer<unsigned char>::wrap(&one, 4, 1, 3, nullptr), vcBadArgument);
  EXPECT_THROW(vcPelBuffer<unsigned char>::wrap(nullptr, 1, 1, 1, nullptr), vcBadArgument);
  EXPECT_THROW(vcPelBuffer<unsigned char>::wrap(&one, -1, 1, 1, nullptr), vcBadArgument);
  EXPECT_TRUE(vcPelBuffer<unsigned char>::wrap(nullptr, 0, 0, 0, nullptr).width() == 0);
}

TEST(PelBufferTest, PelSetClipsTheAreaToTheWindow) {
  vcPelBuffer<unsigned char> full(8, 6);
  vcPelBuffer<unsigned char> win = full;
  win.window(vcRectangle<long>(2, 1, 4, 3));
  vfPelSet(win, vcRectangle<long>(-5, 2, 9, 10), 7);
  for (long y = 0; y < 6; ++y)
    for (long x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 4 && y >= 2 && y < 4;
      EXPECT_EQ(*full.pointToPel(x, y), inside ? 7 : 0) << x << "," << y;
    }
  vfPelSet(win, 9);
  EXPECT_EQ(*full.pointToPel(5, 3), 9);
  EXPECT_EQ(*full.pointToPel(6, 3), 0);
  vfPelSet(win, vcRectangle<long>(100, 100, 5, 5), 1);
}

TEST(PelBufferTest, PelMapKeepsValuesBeyondAShortMapAndWorksInPlace) {
  vcPelBuffer<unsigned char> src(4, 2);
  for (long x = 0; x < 4; ++x) {
    *src.pointToPel(x, 0) = static_cast<unsigned char>(x);
    *src.pointToPel(x, 1) = static_cast<unsigned char>(250 + x);
  }
  vcPelBuffer<unsigned char> dst(3, 5);
  vfPelMap(src, dst, {10, 11, 12});
  EXPECT_EQ(*dst.pointToPel(0, 0), 10);
  EXPECT_EQ(*dst.pointToPel(2, 0), 12);
  EXPECT_EQ(*dst.pointToPel(1, 1), 251);
  EXPECT_EQ(*dst.pointToPel(0, 2), 0);

  std::vector<unsigned char> invert(256);
  for (int v = 0; v < 256; ++v) invert[v] = static_cast<unsigned char>(255 - v);
  vfPelMap(src, src, invert);
  EXPECT_EQ(*src.pointToPel(3, 0), 252);
  EXPECT_EQ(*src.pointToPel(0, 1), 5);
  vfPelMap(src, src, {});
  EXPECT_EQ(*src.pointToPel(3, 0), 252);
}

TEST(PelBufferTest, PelMapBetweenOverlappingWindowsReadsTheOriginalPixels) {
  vcPelBuffer<unsigned char> img(6, 1);
  for (long x = 0; x < 6; ++x) *img.pointToPel(x, 0) = static_cast<unsigned char>(x + 1);
  vcPelBuffer<unsigned char> left = img, right = img;
  left.window(vcRectangle<long>(0, 0, 5, 1));
  right.window(vcRectangle<long>(1, 0, 5, 1));
  vfPelMap(left, right, {0, 1, 2, 3, 4, 5, 6});
  for (long x = 1; x < 6; ++x) EXPECT_EQ(*img.pointToPel(x, 0), x) << x;
}

using Bytes = std::vector<unsigned char>;

// A 7 x 5 image of distinct values viewed through a 3 x 2 window at (2, 1).
vcPelBuffer<unsigned char> windowedImage() {
  vcPelBuffer<unsigned char> img(7, 5);
  for (long y = 0; y < 5; ++y)
    for (long x = 0; x < 7; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(10 * y + x);
  img.window(vcRectangle<long>(2, 1, 3, 2));
  img.clientFromImageXform(vcXform<2>(vcMatrix<2>(0, -1, 1, 0), vcVector<2>(4, 5)));
  return img;
}

// An archive of the form's fields as given, then the pixel bytes.
Bytes handMade(unsigned char version, long x, long y, long width, long height, const Bytes& pixels) {
  vcBufferArchive out(vcArchive::eStore);
  bool isNull = false;
  vcXform<2> xform;
  out || version || isNull || x || y || width || height || xform;
  out.raw(const_cast<unsigned char*>(pixels.data()), static_cast<long>(pixels.size()));
  return out.bytes();
}

TEST(PelBufferTest, ArchiveKeepsTheWindowItsTransformAndOnlyItsPixelsAndBadInputChangesNothing) {
  const vcPelBuffer<unsigned char> img = windowedImage();
  const Bytes bytes = vc_test::store(img);
  EXPECT_EQ(bytes.size(), 2u + 16 + 48 + 6);
  const vcPelBuffer<unsigned char> back = vc_test::load(bytes, vcPelBuffer<unsigned char>());
  EXPECT_TRUE(back == img);
  EXPECT_EQ(back.storageArea(), img.window());
  EXPECT_FALSE(back.sharesPels(img));
  EXPECT_EQ(vc_test::store(vcPelBuffer_const<unsigned char>(img)), bytes);
  EXPECT_TRUE(vc_test::load(vc_test::store(vcPelBuffer<unsigned char>()), img).isNull());

  std::vector<Bytes> bad{handMade(0, 0, 0, -1, 2, {}), handMade(0, 0, 0, 1 << 20, 1 << 20, Bytes(64))};
  for (std::size_t n = 0; n < bytes.size(); ++n) bad.emplace_back(bytes.begin(), bytes.begin() + static_cast<long>(n));
  for (const Bytes& b : bad) {
    vcPelBuffer<unsigned char> into = img;
    vcBufferArchive in(b);
    EXPECT_THROW(in || into, vcArchive::BadData) << b.size();
    EXPECT_TRUE(into == img);
    EXPECT_TRUE(into.sharesPels(img));
  }
  vcPelBuffer<unsigned char> into;
  vcBufferArchive newer(handMade(1, 0, 0, 1, 1, {7}));
  EXPECT_THROW(newer || into, vcArchive::UnknownVersion);
}
}  // namespace
