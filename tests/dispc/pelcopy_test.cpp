#include <vc/pelcopy.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include <vc/core/cputype.h>
#include <vc/core/exception.h>

namespace {

// Every kernel level the processor has, the plain one included.
std::vector<vcCpuType::Level> levels() {
  std::vector<vcCpuType::Level> all;
  for (int l = vcCpuType::eScalar; l <= vcCpuType::detected(); ++l) all.push_back(static_cast<vcCpuType::Level>(l));
  return all;
}

std::vector<unsigned char> noise(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<unsigned char> v(n);
  for (auto& b : v) b = static_cast<unsigned char>(rng());
  return v;
}

}  // namespace

// The vector copies move unaligned heads and tails that overlap the aligned
// middle; any slip in that arithmetic writes wrong bytes or bytes outside
// the rows, which the guard bytes around every row catch.
TEST(PelCopy, CopyVidEqualsAPlainCopyForEveryWidthStrideAndAlignment) {
  const std::vector<unsigned char> src = noise(4096, 7);
  for (vcCpuType::Level level : levels()) {
    vcCpuLimit cap(level);
    for (long width = 0; width <= 100; ++width)
      for (long misalign = 0; misalign < 33; misalign += (width < 40 ? 1 : 7))
        for (long extra : {0L, 3L, 64L}) {
          const long dstStride = width + extra, rows = 3;
          std::vector<unsigned char> got(static_cast<std::size_t>(64 + misalign + dstStride * rows + 64), 0xA5);
          std::vector<unsigned char> want = got;
          for (long srcStride : {width + extra + 5, 0L}) {
            const unsigned char* from = src.data() + 17 + misalign / 2;
            vf_PelCopyVid(got.data() + 64 + misalign, dstStride, from, srcStride, width, rows);
            for (long r = 0; r < rows; ++r)
              std::memcpy(want.data() + 64 + misalign + r * dstStride, from + r * srcStride,
                          static_cast<std::size_t>(width));
            ASSERT_EQ(got, want) << "level " << level << " width " << width << " misalign " << misalign;
          }
        }
  }
}

TEST(PelCopy, CopyVidWalksNegativeStridesAndSkipsEmptyWork) {
  const std::vector<unsigned char> src = noise(300, 3);
  std::vector<unsigned char> dst(300, 0);
  // Bottom-up destination: the last destination row receives the first source row.
  vf_PelCopyVid(dst.data() + 200, -100, src.data(), 100, 13, 3);
  for (long r = 0; r < 3; ++r) EXPECT_EQ(0, std::memcmp(dst.data() + 200 - 100 * r, src.data() + 100 * r, 13)) << r;
  vf_PelCopyVid(nullptr, 0, nullptr, 0, 10, 0);
  vf_PelCopyVid(nullptr, 0, nullptr, 0, 0, 5);
  EXPECT_THROW(vf_PelCopyVid(dst.data(), 0, src.data(), 0, -1, 1), vcBadArgument);
  EXPECT_THROW(vf_PelCopyVid(nullptr, 0, src.data(), 0, 4, 1), vcBadArgument);
}

// The replication kernels handle 16-byte blocks and leave the rest to the
// plain loop; every pixel size, factor, count and alignment must give the
// naive result and write nothing past count x factor pixels.
TEST(PelCopy, ReplicateRowEqualsNaiveReplicationAtEveryLevel) {
  const std::vector<unsigned char> src = noise(512, 11);
  for (vcCpuType::Level level : levels()) {
    vcCpuLimit cap(level);
    for (int pel : {1, 2, 4})
      for (long factor = 0; factor <= 9; ++factor)
        for (long count = 0; count <= 70; ++count)
          for (long misalign : {0L, 1L, 5L}) {
            const long bytes = count * factor * pel;
            std::vector<unsigned char> got(static_cast<std::size_t>(bytes + misalign + 32), 0x5A);
            std::vector<unsigned char> want = got;
            const unsigned char* from = src.data() + 3 + misalign;
            vf_PelReplicateRow(got.data() + misalign, from, count, factor, pel);
            for (long i = 0; i < count; ++i)
              for (long k = 0; k < factor; ++k)
                std::memcpy(want.data() + misalign + (i * factor + k) * pel, from + i * pel,
                            static_cast<std::size_t>(pel));
            ASSERT_EQ(got, want) << "level " << level << " pel " << pel << " factor " << factor << " count " << count;
          }
  }
  unsigned char b[4] = {};
  EXPECT_THROW(vf_PelReplicateRow(b, b, 1, 1, 3), vcBadArgument);
  EXPECT_THROW(vf_PelReplicateRow(b, b, -1, 1, 1), vcBadArgument);
  EXPECT_THROW(vf_PelReplicateRow(nullptr, b, 1, 2, 1), vcBadArgument);
}
