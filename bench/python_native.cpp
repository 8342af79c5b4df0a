// The C++ side of bench/python_call_overhead.py: the calls the script makes
// from Python, timed here without Python, on a 1 x 1 image (where the call's
// own work is next to nothing, so the difference is the binding's fixed
// per-call cost) and on a 2048 x 2048 image. Prints "name side nanoseconds"
// per call. Usage: python_native [REPEATS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/core/pelbuffer.h>
#include <vc/uitablet.h>

namespace {

// The fastest of five batches, as the Python side measures (timeit's minimum).
template <class F>
double nsPerCall(long repeats, F&& f) {
  f();  // warm caches and first-touch pages
  double best = 0;
  for (int batch = 0; batch < 5; ++batch) {
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < repeats; ++i) f();
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    const double each = took.count() / static_cast<double>(repeats);
    if (batch == 0 || each < best) best = each;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const long repeats = argc > 1 ? std::atol(argv[1]) : 200;
  unsigned char value = 0;
  for (const long side : {1L, 2048L}) {
    // Many repeats where a call is cheap, so that the clock's resolution does not matter.
    const long n = side == 1 ? repeats * 100 : repeats;
    // A caller's image, as a NumPy array holds it: rows packed, no alignment.
    std::vector<unsigned char> pixels(static_cast<std::size_t>(side * side));
    vcPelBuffer<unsigned char> held = vcPelBuffer<unsigned char>::wrap(pixels.data(), side, side, side, nullptr);
    std::printf("pelbuffer_fill %ld %.1f\n", side, nsPerCall(n, [&] { held.fill(++value); }));
    std::printf("wrap_and_fill %ld %.1f\n", side, nsPerCall(n, [&] {
                  vcPelBuffer<unsigned char>::wrap(pixels.data(), side, side, side, std::make_shared<int>(0))
                      .fill(++value);
                }));
    vcCairoScope scope(vcPair<long>(side, side));
    vcUITablet tablet(&scope, nullptr);
    tablet.visible(true);
    const vcColor colors[2] = {vcColor::redColor(), vcColor::blueColor()};
    std::printf("cairo_set %ld %.1f\n", side,
                nsPerCall(n, [&] { tablet.set(colors[++value & 1], vcUITablet::eImage); }));
  }
  std::printf("# checksum %d\n", value);
  return 0;
}
