// vcRLEBuffer: encode/decode round trips and the checked reader of runs.
#include <vc/core/rle.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "support/archive_roundtrip.h"

namespace {
using Bytes = std::vector<unsigned char>;

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

// Equality compares pixels and place, not how the runs are split; the
// reader reports what it consumed.
TEST(RLEBufferTest, EqualityComparesPixelsAndReaderReportsWhatItConsumed) {
  const vcRLEBuffer split(3, 1, {5, 2, 5, 1, 0, 0});
  vcRLEBuffer whole(3, 1, {5, 3, 0, 0});
  EXPECT_TRUE(split == whole);
  EXPECT_FALSE(split == vcRLEBuffer(3, 1, {5, 2, 6, 1, 0, 0}));
  whole.offset(vcPair<long>(-4, 9));
  EXPECT_FALSE(split == whole);
  EXPECT_EQ(whole.decode().window(), vcRectangle<long>(-4, 9, 3, 1));

  const Bytes bytes{1, 2, 9, 0, 3, 1, 4, 1, 0, 0, 0xEE};
  std::size_t used = 0;
  const vcRLEBuffer r = vcRLEBuffer::fromRows(2, 2, bytes.data(), bytes.size(), &used);
  EXPECT_EQ(used, 10u);
  EXPECT_EQ(r.numRuns(), 3);
  EXPECT_EQ(*r.decode().pointToPel(1, 1), 4);
  EXPECT_THROW(vcRLEBuffer(2, 2, bytes), vcBadArgument);  // trailing bytes
}

// Reading into an image gives what fromRows gives, starts at the origin
// again, reuses the runs' storage only when no other image shares it, and
// leaves the image alone on bad input.
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
}

// Each malformed row is refused with what is wrong with it: a run that
// passes the width (even by one pixel), or runs that do not add up to it;
// every truncation and every size too large to allocate are refused too.
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
