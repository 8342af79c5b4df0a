// The C++ side of bench/python_call_overhead.py: the same calls the script
// makes from Python, timed here without Python, so that the difference is the
// binding's per-call overhead. Prints one "name nanoseconds-per-call" line per
// call. Usage: python_native [REPEATS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/core/pelbuffer.h>
#include <vc/uitablet.h>

namespace {

constexpr long kSide = 2048;

template <class F>
double nsPerCall(long repeats, F&& f) {
  f();  // warm caches and first-touch pages
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < repeats; ++i) f();
  const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
  return took.count() / static_cast<double>(repeats);
}

}  // namespace

int main(int argc, char** argv) {
  const long repeats = argc > 1 ? std::atol(argv[1]) : 200;
  // A caller's image, as a NumPy array would hold it: rows packed, no alignment.
  std::vector<unsigned char> pixels(kSide * kSide);
  unsigned char value = 0;

  vcPelBuffer<unsigned char> held = vcPelBuffer<unsigned char>::wrap(pixels.data(), kSide, kSide, kSide, nullptr);
  std::printf("pelbuffer_fill %.1f\n", nsPerCall(repeats, [&] { held.fill(++value); }));
  std::printf("wrap_and_fill %.1f\n", nsPerCall(repeats, [&] {
                vcPelBuffer<unsigned char>::wrap(pixels.data(), kSide, kSide, kSide, std::make_shared<int>(0))
                    .fill(++value);
              }));

  vcCairoScope scope(vcPair<long>(kSide, kSide));
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  const vcColor colors[2] = {vcColor::redColor(), vcColor::blueColor()};
  std::printf("cairo_set %.1f\n", nsPerCall(repeats, [&] { tablet.set(colors[++value & 1], vcUITablet::eImage); }));
  std::printf("cheap_call %.1f\n", nsPerCall(repeats * 1000, [&] { value += static_cast<unsigned char>(tablet.visible()); }));
  std::printf("# checksum %d\n", value);
  return 0;
}
