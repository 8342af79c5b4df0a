// Pixel types, pel buffers, run-length images and affine resampling.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <vc/core/affine.h>
#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>

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

// A refilled buffer takes over the storage of its only view when it covers
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

// refill is reuse in place: the same storage only for a sole view of the same area.
TEST(PelBufferTest, RefillWritesIntoASoleViewsStorageAndNeverIntoSharedPixels) {
  const Area area(3, -2, 5, 4);
  CBuf view = numbered(5, 4);
  EXPECT_EQ(Buf::refill(view, Area(3, -2, 0, 4)), nullptr);  // empty: fresh storage, no pixels
  EXPECT_EQ(view.window(), Area(3, -2, 0, 4));
  Buf first(area);
  first.window(Area(4, -1, 2, 2));
  first.clientFromImageXform(vcXform<2>::translation(vcVector<2>(5, -1)));
  const unsigned char* pels = first.pointToPel(4, -1) - first.rowPitch() - 1;
  view = std::move(first);
  unsigned char* to = Buf::refill(view, area);
  EXPECT_EQ(to, pels);
  EXPECT_EQ(view.window(), area);
  EXPECT_TRUE(view.clientFromImageXform() == vcXform<2>());
  to[view.rowPitch() + 1] = 9;
  const CBuf other = view;
  unsigned char* fresh = Buf::refill(view, area);
  EXPECT_FALSE(view.sharesPels(other));
  EXPECT_EQ(fresh, view.pointToPel(3, -2));
  EXPECT_EQ(*view.pointToPel(4, -1), 0);
  EXPECT_EQ(*other.pointToPel(4, -1), 9);
  EXPECT_NE(Buf::refill(view, Area(3, -2, 6, 4)), fresh);  // another area: fresh storage
  EXPECT_EQ(view.storageArea(), Area(3, -2, 6, 4));
  const CBuf kept = view;
  EXPECT_THROW(Buf::refill(view, Area(0, 0, -1, 1)), vcBadArgument);
  EXPECT_TRUE(view.sharesPels(kept) && view.window() == kept.window());
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

// Random rows of runs up to 600 long, a few values, at an offset window.
vcPelBuffer<unsigned char> randomImage(std::mt19937& rng, long w, long h) {
  vcPelBuffer<unsigned char> img(w + 3, h + 2);
  img.window(vcRectangle<long>(2, 1, w, h));
  std::uniform_int_distribution<int> len(1, 600), value(0, 3);
  for (long y = 1; y <= h; ++y)
    for (long x = 2; x < w + 2;) {
      const auto v = static_cast<unsigned char>(value(rng) * 85);
      for (long end = std::min(w + 2, x + len(rng)); x < end; ++x) *img.pointToPel(x, y) = v;
    }
  return img;
}

// Each row: runs of 1..255 adding up to the width, the (0, 0) terminator,
// and no two neighbouring runs that could have been one.
void expectCanonicalRows(const vcRLEBuffer& r) {
  long runs = 0;
  for (long y = 0; y < r.height(); ++y) {
    const unsigned char* p = r.pointToRow(y);
    const long n = r.rowBytes(y);
    long sum = 0;
    for (long i = 0; i + 2 < n; i += 2, ++runs) {
      ASSERT_NE(p[i + 1], 0) << "row " << y;
      if (i > 0 && p[i] == p[i - 2]) {
        EXPECT_EQ(p[i - 1], 255) << "row " << y << " split a run";
      }
      sum += p[i + 1];
    }
    EXPECT_EQ(sum, r.width());
    EXPECT_EQ(Bytes(p + n - 2, p + n), (Bytes{0, 0}));
  }
  EXPECT_EQ(runs, r.numRuns());
}

TEST(RLEBufferTest, RandomImagesWithLongRunsRoundTrip) {
  std::mt19937 rng(12345);
  for (long w : {1L, 2L, 255L, 256L, 777L, 2000L}) {
    const vcPelBuffer<unsigned char> img = randomImage(rng, w, 9);
    const vcRLEBuffer r = vcRLEBuffer::encode(img);
    EXPECT_EQ(r.width(), w);
    EXPECT_EQ(r.offset(), vcPair<long>(2, 1));
    expectCanonicalRows(r);
    EXPECT_TRUE(r.decode() == img) << "width " << w;
  }
  vcPelBuffer<unsigned char> flat(1000, 2);
  flat.fill(7);
  const vcRLEBuffer r = vcRLEBuffer::encode(flat);
  EXPECT_EQ(Bytes(r.pointToRow(1), r.pointToRow(1) + r.rowBytes(1)), (Bytes{7, 255, 7, 255, 7, 255, 7, 235, 0, 0}));
  EXPECT_THROW(r.pointToRow(2), vcBadArgument);
  EXPECT_TRUE(vcRLEBuffer::encode(vcPelBuffer<unsigned char>()).isNull());
  EXPECT_EQ(vcRLEBuffer::encode(vcPelBuffer<unsigned char>(0, 3)).runs(), (Bytes{0, 0, 0, 0, 0, 0}));
}

TEST(RLEBufferTest, EqualityComparesPixelsAndReaderReportsWhatItConsumed) {
  const vcRLEBuffer split(3, 1, {5, 2, 5, 1, 0, 0});
  vcRLEBuffer whole(3, 1, {5, 3, 0, 0});
  EXPECT_TRUE(split == whole);
  EXPECT_FALSE(split == vcRLEBuffer(3, 1, {5, 2, 6, 1, 0, 0}));
  whole.offset(vcPair<long>(-4, 9));
  EXPECT_FALSE(split == whole);

  const Bytes bytes{1, 2, 9, 0, 3, 1, 4, 1, 0, 0, 0xEE};
  std::size_t used = 0;
  const vcRLEBuffer r = vcRLEBuffer::fromRows(2, 2, bytes.data(), bytes.size(), &used);
  EXPECT_EQ(used, 10u);
  EXPECT_EQ(*r.decode().pointToPel(1, 1), 4);
  EXPECT_THROW(vcRLEBuffer(2, 2, bytes), vcBadArgument);  // trailing bytes
}

TEST(RLEBufferTest, ReadingIntoAnImageReusesOnlyUnsharedStorage) {
  std::mt19937 rng(5);
  vcRLEBuffer into;
  const unsigned char* storage = nullptr;
  for (int trial = 0; trial < 20; ++trial) {
    // Largest first, so that every later image fits the kept storage.
    const Bytes bytes = vcRLEBuffer::encode(randomImage(rng, trial == 0 ? 3000 : 300 - 10 * trial, 4)).runs();
    const long w = trial == 0 ? 3000 : 300 - 10 * trial;
    if (!into.isNull()) into.offset(vcPair<long>(trial, -trial));
    into.assignRows(w, 4, bytes.data(), bytes.size(), nullptr);
    const vcRLEBuffer from = vcRLEBuffer::fromRows(w, 4, bytes.data(), bytes.size(), nullptr);
    EXPECT_EQ(into, from);
    EXPECT_EQ(into.runs(), from.runs());
    if (trial > 0) {
      EXPECT_EQ(into.runs().data(), storage) << trial;
    }
    storage = into.runs().data();
  }
  const vcRLEBuffer before = into, shared = into;
  const Bytes other = vcRLEBuffer::encode(randomImage(rng, 40, 2)).runs();
  into.assignRows(40, 2, other.data(), other.size(), nullptr);
  EXPECT_EQ(shared, before);
  EXPECT_NE(into.runs().data(), storage);
  const vcRLEBuffer kept = into;
  const Bytes bad{1, 2, 9, 0, 3, 7, 0, 0};  // the second row adds up to 7, not 2
  EXPECT_THROW(into.assignRows(2, 2, bad.data(), bad.size(), nullptr), vcBadArgument);
  EXPECT_EQ(into, kept);
  EXPECT_EQ(into.runs(), kept.runs());
  // Refused into storage of its own: the image and its row table stay as they were.
  vcRLEBuffer sole = vcRLEBuffer::fromRows(40, 2, other.data(), other.size(), nullptr);
  const vcRLEBuffer twin = vcRLEBuffer::fromRows(40, 2, other.data(), other.size(), nullptr);
  for (const Bytes& refused : {bad, Bytes{1, 2, 9, 0}, Bytes{1, 2, 0, 0, 1, 1}}) {
    EXPECT_THROW(sole.assignRows(2, 2, refused.data(), refused.size(), nullptr), vcBadArgument);
    EXPECT_EQ(sole, twin);
    for (long r = 0; r < 2; ++r)
      EXPECT_EQ(Bytes(sole.pointToRow(r), sole.pointToRow(r) + sole.rowBytes(r)),
                Bytes(twin.pointToRow(r), twin.pointToRow(r) + twin.rowBytes(r)))
          << r;
  }
}

TEST(RLEBufferTest, ReaderRejectsTruncationsBadSumsAndHugeSizes) {
  const struct {
    Bytes runs;
    const char* says;
  } cases[] = {{{5, 2, 0, 0}, "add up to 2"},
               {{5, 2, 5, 2, 0, 0}, "passes the width"},
               {{5, 4, 0, 0}, "passes the width"},
               {{5, 0, 0, 0, 0, 0}, "add up to 0"}};
  for (const auto& c : cases) {
    try {
      vcRLEBuffer::fromRows(3, 1, c.runs.data(), c.runs.size(), nullptr);
      ADD_FAILURE() << c.says << ": accepted";
    } catch (const vcBadArgument& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(vcRLEBuffer(-1, 1, {0, 0}), vcBadArgument);
  EXPECT_THROW(vcRLEBuffer::fromRows(0, 1, nullptr, 2, nullptr), vcBadArgument);
  std::mt19937 rng(7);
  const Bytes all = vcRLEBuffer::encode(randomImage(rng, 300, 3)).runs();
  for (std::size_t n = 0; n < all.size(); ++n) {
    const Bytes cut(all.begin(), all.begin() + static_cast<long>(n));  // its own allocation: reads past it show
    EXPECT_THROW(vcRLEBuffer::fromRows(300, 3, cut.data(), cut.size(), nullptr), vcBadArgument) << n;
  }
  const Bytes few{1, 255, 0, 0, 0, 0};
  const long huge = std::numeric_limits<long>::max();
  for (const auto& [w, h] : {std::pair{huge, 1L}, {0L, huge}, {huge, huge}, {1000L, 1L << 20}})
    EXPECT_THROW(vcRLEBuffer::fromRows(w, h, few.data(), few.size(), nullptr), vcBadArgument) << w << " x " << h;
}

// Rows read from untrusted bytes: accepted exactly when each of the rows,
// read one after another, adds up to the width before its terminator, and
// then read as that reading gives them, whatever the bytes after the last row.
TEST(RLEBufferTest, ReaderAcceptsExactlyTheWellFormedRowsOnRandomAndDamagedBytes) {
  // The rows as a plain reading of the format takes them: where each row ends, or none.
  const auto rowEnds = [](long width, long height, const Bytes& b) -> std::optional<std::vector<std::size_t>> {
    std::vector<std::size_t> ends;
    std::size_t at = 0;
    for (long y = 0; y < height; ++y) {
      long sum = 0;
      for (;; at += 2) {
        if (at + 2 > b.size()) return std::nullopt;
        if (b[at + 1] == 0) break;
        sum += b[at + 1];
      }
      if (sum != width) return std::nullopt;
      ends.push_back(at += 2);
    }
    return ends;
  };
  std::mt19937 rng(29);
  std::uniform_int_distribution<int> byte(0, 255), coin(0, 3);
  int accepted = 0, refused = 0;
  for (int trial = 0; trial < 600; ++trial) {
    const long widths[] = {0, 1, 3, 7, 8, 9, 16, 40, 255, 256, 700};
    const long w = widths[trial % 11], h = 1 + trial % 7;
    Bytes b = w > 0 ? vcRLEBuffer::encode(randomImage(rng, w, h)).runs() : Bytes(2 * h, 0);
    const Bytes clean(b);
    // Damage: a length or a value changed, bytes cut off or added.
    const int damage = coin(rng);
    if (damage == 1 && !b.empty()) b[static_cast<std::size_t>(byte(rng)) % b.size()] = static_cast<unsigned char>(byte(rng) % 4);
    if (damage == 2) b.resize(b.size() - static_cast<std::size_t>(byte(rng)) % (b.size() + 1));
    for (int k = coin(rng) * 7; k > 0; --k) b.push_back(static_cast<unsigned char>(byte(rng)));
    const Bytes held(b);  // its own allocation: a read past the end shows
    const auto expected = rowEnds(w, h, held);
    // Read into another image, into one holding the undamaged rows (which
    // takes bytes that begin with its own as they are) and into one holding
    // only their first row (whose bytes begin them too).
    for (vcRLEBuffer into : {vcRLEBuffer::fromRows(1, 1, Bytes{4, 1, 0, 0}.data(), 4, nullptr),
                             vcRLEBuffer::fromRows(w, h, clean.data(), clean.size(), nullptr),
                             vcRLEBuffer::fromRows(w, 1, clean.data(), clean.size(), nullptr)}) {
      const vcRLEBuffer before = into;
      const Bytes beforeRuns = into.runs();
      into.offset(vcPair<long>(3, -2));
      std::size_t used = 0;
      try {
        into.assignRows(w, h, held.data(), held.size(), &used);
      } catch (const vcBadArgument&) {
        EXPECT_FALSE(expected) << "trial " << trial;
        EXPECT_EQ(into.width(), before.width());
        EXPECT_EQ(into.runs(), beforeRuns);
        ++refused;
        continue;
      }
      ASSERT_TRUE(expected) << "trial " << trial;
      ++accepted;
      EXPECT_EQ(used, expected->back());
      EXPECT_EQ(into.offset(), vcPair<long>(0, 0));
      long runs = 0;
      for (long y = 0; y < h; ++y) {
        const std::size_t start = y == 0 ? 0 : (*expected)[static_cast<std::size_t>(y - 1)];
        EXPECT_EQ(into.rowBytes(y), static_cast<long>((*expected)[static_cast<std::size_t>(y)] - start));
        EXPECT_EQ(std::memcmp(into.pointToRow(y), held.data() + start, static_cast<std::size_t>(into.rowBytes(y)) - 2), 0);
        EXPECT_EQ(into.pointToRow(y)[into.rowBytes(y) - 2], 0);  // the terminator as stored
        runs += into.rowBytes(y) / 2 - 1;
      }
      EXPECT_EQ(into.numRuns(), runs);
    }
  }
  EXPECT_GT(accepted, 100);
  EXPECT_GT(refused, 100);
}

// An archive of the form's fields as given, for images no encoder makes.
Bytes handMade(unsigned char version, long width, long height, const Bytes& runs, long count) {
  vcBufferArchive out(vcArchive::eStore);
  bool isNull = false;
  long x = 0, y = 0;
  out || version || isNull || width || height || x || y || count;
  out.raw(const_cast<unsigned char*>(runs.data()), static_cast<long>(runs.size()));
  return out.bytes();
}

TEST(RLEBufferTest, ArchiveKeepsSizeOffsetRunsAndNullnessAndRejectsBadInputUnchanged) {
  std::mt19937 rng(3);
  const vcRLEBuffer r = vcRLEBuffer::encode(randomImage(rng, 400, 4));
  const vcRLEBuffer back = vc_test::load(vc_test::store(r), vcRLEBuffer());
  EXPECT_TRUE(back == r);
  EXPECT_EQ(back.runs(), r.runs());
  EXPECT_TRUE(vc_test::load(vc_test::store(vcRLEBuffer()), r).isNull());

  const vcRLEBuffer target(3, 1, {5, 3, 0, 0});
  const Bytes good = vc_test::store(vcRLEBuffer(2, 2, {1, 2, 0, 0, 3, 1, 4, 1, 0, 0}));
  std::vector<Bytes> bad{handMade(0, 3, 1, {5, 2, 0, 0}, 4), handMade(0, 2, 1, {5, 2, 0, 0, 9, 9}, 6),
                         handMade(0, 2, 1, {5, 2, 0, 0}, 1 << 30), handMade(0, 2, 1, {5, 2, 0, 0}, -4),
                         handMade(0, -2, 1, {0, 0}, 2)};
  for (std::size_t n = 0; n < good.size(); ++n) bad.emplace_back(good.begin(), good.begin() + static_cast<long>(n));
  for (const Bytes& b : bad) {
    vcRLEBuffer into = target;
    vcBufferArchive in(b);
    EXPECT_THROW(in || into, vcArchive::BadData) << b.size();
    EXPECT_TRUE(into == target);
  }
  vc_test::expectUnknownVersion(handMade(1, 2, 1, {5, 2, 0, 0}, 4), vcRLEBuffer(), "core/rle");
}
}  // namespace

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

// Pixel centres: a kernel off by half a pixel or reading outside the window fails here.
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

// The bicubic weights must add up to one.
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

// A quarter turn takes the general, non-upright path.
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
