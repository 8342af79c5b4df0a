// vcCpuType: which vector instructions the processor offers, found once at
// run time, so that pixel kernels can pick the fastest path while the
// library itself is built for any x86-64 (or other) processor.
#pragma once

class vcCpuType {
public:
  // Vector levels, each including the ones below it.
  enum Level : int {
    eScalar = 0,  // plain C++ only
    eSSE2 = 1,    // 128-bit integer vectors
    eAVX2 = 2,    // 256-bit integer vectors (and SSSE3 byte shuffles)
  };

  // The best level the processor supports; eScalar on processors other than x86-64.
  static Level detected() noexcept;
  // The level the library's kernels use: detected(), lowered by limit().
  static Level level() noexcept;
  // Caps level() at cap (never raising it above detected()), for tests and
  // benchmarks that compare the paths; returns the previous cap. The cap is
  // process-wide; set it only while no other thread runs kernels.
  static Level limit(Level cap) noexcept;

  // True when the 128-bit vector unit may be used (SSE2; the row-copy and
  // replication kernels need nothing older).
  static bool mmxPresent() noexcept { return level() >= eSSE2; }
  // True when the 256-bit AVX2 unit may be used.
  static bool avx2Present() noexcept { return level() >= eAVX2; }
};

// Lowers vcCpuType::level() to at most cap for the guard's lifetime.
class vcCpuLimit {
public:
  explicit vcCpuLimit(vcCpuType::Level cap) noexcept : previous_(vcCpuType::limit(cap)) {}
  ~vcCpuLimit() { vcCpuType::limit(previous_); }
  vcCpuLimit(const vcCpuLimit&) = delete;
  vcCpuLimit& operator=(const vcCpuLimit&) = delete;

private:
  vcCpuType::Level previous_;
};
