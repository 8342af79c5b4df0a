#include <vc/core/cputype.h>

#include <gtest/gtest.h>

// A cap lowers the level for its scope only and can never claim more than
// the processor has.
TEST(CpuType, LimitLowersOnlyWithinItsScopeAndNeverRaises) {
  const vcCpuType::Level found = vcCpuType::detected();
#if defined(__x86_64__)
  EXPECT_GE(found, vcCpuType::eSSE2);  // part of every x86-64 processor
#endif
  EXPECT_EQ(vcCpuType::level(), found);
  {
    vcCpuLimit scalar(vcCpuType::eScalar);
    EXPECT_FALSE(vcCpuType::mmxPresent());
    EXPECT_FALSE(vcCpuType::avx2Present());
    {
      vcCpuLimit raise(vcCpuType::eAVX2);
      EXPECT_EQ(vcCpuType::level(), found);
    }
    EXPECT_EQ(vcCpuType::level(), vcCpuType::eScalar);
  }
  EXPECT_EQ(vcCpuType::level(), found);
  EXPECT_EQ(vcCpuType::mmxPresent(), found >= vcCpuType::eSSE2);
  EXPECT_EQ(vcCpuType::avx2Present(), found >= vcCpuType::eAVX2);
}
