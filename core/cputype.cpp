// vcCpuType: run-time detection of the processor's vector units.
#include <vc/core/cputype.h>

#include <algorithm>
#include <atomic>

namespace {

vcCpuType::Level detect() noexcept {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("ssse3")) return vcCpuType::eAVX2;
  if (__builtin_cpu_supports("sse2")) return vcCpuType::eSSE2;
#endif
  return vcCpuType::eScalar;
}

std::atomic<int>& cap() noexcept {
  static std::atomic<int> c(vcCpuType::eAVX2);
  return c;
}

}  // namespace

vcCpuType::Level vcCpuType::detected() noexcept {
  static const Level found = detect();
  return found;
}

vcCpuType::Level vcCpuType::level() noexcept {
  return static_cast<Level>(std::min<int>(detected(), cap().load(std::memory_order_relaxed)));
}

vcCpuType::Level vcCpuType::limit(Level c) noexcept {
  return static_cast<Level>(cap().exchange(std::clamp<int>(c, eScalar, eAVX2), std::memory_order_relaxed));
}
