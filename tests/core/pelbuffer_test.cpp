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
using Buf = vcPelBuffer<unsigned char>;
using CBuf = vcPelBuffer_const<unsigned char>;
using Area = vcRectangle<long>;
using Bytes = std::vector<unsigned char>;
static_assert(std::is_same_v<decltype(std::declval<const Buf&>().pointToPel(0, 0)), const unsigned char*>,
              "a const buffer must not hand out writable pixels");

// An image whose pixel (x, y) is 10 y + x.
Buf numbered(long w, long h) {
  Buf img(w, h);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(10 * y + x);
  return img;
}

TEST(PelTest, PackedPixelsKeepTheirBitAndByteLayouts) {
  EXPECT_EQ(vcPackedRGB16Pel(255, 0, 0).value(), 0xF800);
  EXPECT_EQ(vcPackedRGB16Pel(0, 255, 0).value(), 0x07E0);
  EXPECT_EQ(vcPackedRGB16Pel(0, 0, 255).value(), 0x001F);
  const vcPackedRGB16Pel white(255, 255, 255), p(0x84, 0x41, 0x08);
  EXPECT_EQ(white.r() + white.g() + white.b(), 3 * 255);  // full intensity survives the narrow fields
  EXPECT_EQ(p.r() * 65536 + p.g() * 256 + p.b(), 0x844108);
  vcPackedRGB32Pel q(1, 2, 3);
  unsigned char bytes[4];
  std::memcpy(bytes, &q, sizeof bytes);
  EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{3, 2, 1, 0}));  // blue, green, red, spare
  q.g(9);
  EXPECT_EQ(q, vcPackedRGB32Pel(1, 9, 3));
}

template <class T>
class PelBufferTypedTest : public ::testing::Test {};
using PelTypes = ::testing::Types<unsigned char, unsigned short, vcPackedRGB16Pel, vcPackedRGB32Pel>;
TYPED_TEST_SUITE(PelBufferTypedTest, PelTypes);

// Rows start on 64-byte boundaries, zeroed; copies share writes, clones do not.
TYPED_TEST(PelBufferTypedTest, AlignedZeroedRowsSharedByCopiesNotClones) {
  for (long w : {1L, 31L, 33L, 100L}) {
    vcPelBuffer<TypeParam> b(w, 3);
    EXPECT_EQ(b.rowPitch() * static_cast<long>(sizeof(TypeParam)) % 64, 0);
    for (long y = 0; y < 3; ++y) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.pointToPel(0, y)) % 64, 0u);
      for (long x = 0; x < w; ++x) EXPECT_EQ(*b.pointToPel(x, y), TypeParam());
    }
  }
  vcPelBuffer<TypeParam> a(4, 3), shared = a, deep = a.clone();
  TypeParam v{};
  std::memset(static_cast<void*>(&v), 0x21, sizeof v);
  *shared.pointToPel(2, 1) = v;
  EXPECT_EQ(*a.pointToPel(2, 1), v);
  EXPECT_EQ(*deep.pointToPel(2, 1), TypeParam());
  EXPECT_FALSE(deep.sharesPels(a) || deep == a);
}

TEST(PelBufferTest, WindowNarrowsTheViewButKeepsImageCoordinates) {
  Buf full(10, 8), win = full;
  win.window(Area(2, 3, 4, 2));
  EXPECT_EQ(win.offset(), vcPair<long>(2, 3));
  EXPECT_EQ(win.pointToPel(2, 3), full.pointToPel(2, 3));
  EXPECT_THROW(win.pointToPel(0, 0), vcBadArgument);
  EXPECT_THROW(win.pointToPel(6, 3), vcBadArgument);
  for (const Area& bad : {Area(8, 0, 3, 1), Area(-1, 0, 1, 1), Area(0, 0, -1, 1), Area(0, 7, 1, 2),
                          Area(0x7fffffffffffffffL, 0, 1, 1)})
    EXPECT_THROW(win.window(bad), vcBadArgument) << bad;
  win.window(Area(0, 0, 10, 8));
  EXPECT_TRUE(win == full);
  EXPECT_THROW(Buf().window(Area(0, 0, 1, 1)), vcBadArgument);
  EXPECT_THROW(Buf(-1, 4), vcBadArgument);
  EXPECT_THROW(vcPelBuffer<vcPackedRGB32Pel>(0x7fffffffffffffffL, 2), vcBadArgument);
  EXPECT_THROW(Buf(1L << 30, 1L << 30), vcBadArgument);
  EXPECT_FALSE(Buf(0, 3).isNull());
}

// A clone of a window keeps its place and transform in storage of its own;
// a refilled buffer takes over the storage of its only view when it covers
// exactly the area asked for, and never pixels another view can see.
TEST(PelBufferTest, ClonesAndReusedBuffersKeepTheirPlaceButNeverShareVisiblePixels) {
  Buf full = numbered(6, 5);
  full.window(Area(3, 2, 2, 3));
  full.clientFromImageXform(vcXform<2>::translation(vcVector<2>(5, -1)));
  const Buf c = full.clone();
  EXPECT_EQ(c.storageArea(), full.window());
  EXPECT_EQ(*c.pointToPel(4, 4), 44);
  EXPECT_TRUE(c == full && !c.sharesPels(full));

  const Area area(3, -2, 5, 4);
  Buf first(area);
  *first.pointToPel(4, -1) = 9;
  first.window(Area(4, -1, 2, 2));
  const unsigned char* pels = first.pointToPel(4, -1);
  Buf again = Buf::reuse(CBuf(std::move(first)), area);
  EXPECT_EQ(again.pointToPel(4, -1), pels);
  EXPECT_EQ(again.window(), area);
  const CBuf other = again;
  const Buf fresh = Buf::reuse(CBuf(std::move(again)), area);
  EXPECT_FALSE(fresh.sharesPels(other));
  EXPECT_EQ(*fresh.pointToPel(4, -1), 0);
  EXPECT_EQ(*other.pointToPel(4, -1), 9);
  EXPECT_EQ(Buf::reuse(CBuf(fresh), Area(3, -2, 6, 4)).window(), Area(3, -2, 6, 4));
}

TEST(PelBufferTest, WrapViewsTheCallersPixelsAndReleasesTheOwnerWithTheLastView) {
  std::vector<unsigned char> pixels(5 * 3, 0);
  auto owner = std::make_shared<int>(0);
  std::weak_ptr<int> watch = owner;
  {
    Buf buf = Buf::wrap(pixels.data(), 4, 3, 5, std::move(owner));
    vfPelSet(buf, 9);
    EXPECT_EQ(pixels[2 * 5 + 3], 9);
    EXPECT_EQ(pixels[4], 0) << "the padding past each row stays untouched";
    CBuf view = buf;
    buf = Buf();
    EXPECT_FALSE(watch.expired()) << "a remaining view keeps the owner";
  }
  EXPECT_TRUE(watch.expired());
  unsigned char one = 0;
  EXPECT_THROW(Buf::wrap(&one, 4, 1, 3, nullptr), vcBadArgument);
}

// Fills clip to the window; maps keep values beyond a short map, work in
// place, and read the original pixels when windows of one storage overlap.
TEST(PelBufferTest, PelSetAndPelMapStayInTheirWindows) {
  Buf full(8, 6), win = full;
  win.window(Area(2, 1, 4, 3));
  vfPelSet(win, Area(-5, 2, 9, 10), 7);
  for (long y = 0; y < 6; ++y)
    for (long x = 0; x < 8; ++x) EXPECT_EQ(*full.pointToPel(x, y), x >= 2 && x < 4 && y >= 2 && y < 4 ? 7 : 0);

  Buf src = numbered(4, 2), dst(3, 5);
  vfPelMap(src, dst, {10, 11, 12});
  EXPECT_EQ(*dst.pointToPel(2, 0), 12);
  EXPECT_EQ(*dst.pointToPel(1, 1), 11);
  EXPECT_EQ(*dst.pointToPel(0, 1), 10);
  EXPECT_EQ(*dst.pointToPel(2, 1), 12);
  EXPECT_EQ(*dst.pointToPel(0, 2), 0);
  vfPelMap(src, src, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  EXPECT_EQ(*src.pointToPel(0, 1), 1);
  EXPECT_EQ(*src.pointToPel(3, 1), 13);

  Buf img = numbered(6, 1), left = img, right = img;
  left.window(Area(0, 0, 5, 1));
  right.window(Area(1, 0, 5, 1));
  vfPelMap(left, right, {});  // a shift by one pixel
  for (long x = 1; x < 6; ++x) EXPECT_EQ(*img.pointToPel(x, 0), x - 1) << x;
}

// An archive of the form's fields as given, then the pixel bytes.
Bytes handMade(unsigned char version, long width, long height, const Bytes& pixels) {
  vcBufferArchive out(vcArchive::eStore);
  bool isNull = false;
  long x = 0, y = 0;
  vcXform<2> xform;
  out || version || isNull || x || y || width || height || xform;
  out.raw(const_cast<unsigned char*>(pixels.data()), static_cast<long>(pixels.size()));
  return out.bytes();
}

TEST(PelBufferTest, ArchiveKeepsTheWindowItsTransformAndOnlyItsPixelsAndBadInputChangesNothing) {
  Buf img = numbered(7, 5);
  img.window(Area(2, 1, 3, 2));
  img.clientFromImageXform(vcXform<2>(vcMatrix<2>(0, -1, 1, 0), vcVector<2>(4, 5)));
  const Bytes bytes = vc_test::store(img);
  EXPECT_EQ(bytes.size(), 2u + 16 + 48 + 6);
  const Buf back = vc_test::load(bytes, Buf());
  EXPECT_TRUE(back == img);
  EXPECT_EQ(back.storageArea(), img.window());
  EXPECT_EQ(vc_test::store(CBuf(img)), bytes);
  EXPECT_TRUE(vc_test::load(vc_test::store(Buf()), img).isNull());

  std::vector<Bytes> bad{handMade(0, -1, 2, {}), handMade(0, 1 << 20, 1 << 20, Bytes(64))};
  for (std::size_t n = 0; n < bytes.size(); ++n) bad.emplace_back(bytes.begin(), bytes.begin() + static_cast<long>(n));
  for (const Bytes& b : bad) {
    Buf into = img;
    vcBufferArchive in(b);
    EXPECT_THROW(in || into, vcArchive::BadData) << b.size();
    EXPECT_TRUE(into == img && into.sharesPels(img));
  }
  Buf into;
  vcBufferArchive newer(handMade(1, 1, 1, {7}));
  EXPECT_THROW(newer || into, vcArchive::UnknownVersion);
}
}  // namespace
