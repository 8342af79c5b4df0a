// The C++ side of bench/python_call_overhead.py: the synthetic image of a
// model like vcdraw's showcase component, rendered into a caller's image
// without Python, on a 1 x 1 image (where the call's own work is next to
// nothing, so the difference is the binding's fixed per-call cost) and on a
// 2048 x 2048 image. Prints "name side nanoseconds" per call.
// With "batch N" it is the one-core baseline of bench/python_batch.py instead:
// N synthetic images of 256 x 256, each of the next pose, and prints
// "batch N seconds".
// Usage: python_native [REPEATS] | python_native batch N
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include <vc/core/pelbuffer.h>
#include <vc/wrfm/smdmodel.h>

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

// The showcase component: an extended body, a pad, a rounded pad and a round
// marker (bench/python_call_overhead.py builds the same model).
vcSMDGDModel showcaseModel() {
  using V = vcVector<2>;
  vcSMDGDPoly body = vcSMDGDPoly::rectangle(60, 30, V(0, 0));
  std::vector<vcSMDGDPolyVertex> vs = body.vertices();
  for (vcSMDGDPolyVertex& v : vs) {
    v.forwardExtension(0.15);
    v.backwardExtension(0.15);
  }
  body.vertices(vs);
  vcSMDGDPoly rounded;
  for (const V& corner : {V(46, -9), V(34, -9), V(34, 9), V(46, 9)})
    rounded << vcSMDGDPolyVertex(corner, 3.0, 0.5, 0.5, -1);
  rounded.close();
  std::vector<vcSMDGDPoly> polys = {body, vcSMDGDPoly::rectangle(12, 18, V(-40, 0)), rounded,
                                    vcSMDGDPoly::circle(5, V(0, -24))};
  vcSMDColors padColors = polys[1].colors();
  padColors.wireframeDefaultColor(vcColor::yellowColor());
  padColors.syntheticDefaultColor(vcColor::whiteColor());
  for (std::size_t i = 1; i < polys.size(); ++i) polys[i].colors(padColors);
  vcSMDGDModel model("showcase component");
  model.polys(polys);
  return model;
}

// The poses bench/python_batch.py renders: turned one degree further each
// time, 2.5 pixels per unit, y up, centred in 256 x 256.
int batch(long n) {
  const vcSMDGDModel model = showcaseModel();
  std::vector<unsigned char> pixels(256 * 256);
  long checksum = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < n; ++i) {
    vcPelBuffer<unsigned char> image = vcPelBuffer<unsigned char>::wrap(pixels.data(), 256, 256, 256, nullptr);
    image.fill(40);
    const vcXform<2> pose = vcXform<2>(vcMatrix<2>(2.5, 0, 0, -2.5), vcVector<2>(128, 128)) *
                            vcXform<2>::rotation(vcDegree(static_cast<double>(i % 360)));
    model.drawSynthetic(pose, image);
    checksum += pixels[128 * 256 + 128];
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("batch %ld %.6f\n# checksum %ld\n", n, took.count(), checksum);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "batch") return batch(std::atol(argv[2]));
  const long repeats = argc > 1 ? std::atol(argv[1]) : 200;
  const vcSMDGDModel model = showcaseModel();
  // 20 pixels per unit, y up, centred: the model fills most of a 2048 x 2048 image.
  const vcXform<2> toImage(vcMatrix<2>(20, 0, 0, -20), vcVector<2>(1024, 1024));
  long checksum = 0;
  for (const long side : {1L, 2048L}) {
    // Many repeats where a call is cheap, so that the clock's resolution does not matter.
    const long n = side == 1 ? repeats * 100 : repeats;
    // A caller's image, as a NumPy array holds it: rows packed, no alignment.
    std::vector<unsigned char> pixels(static_cast<std::size_t>(side * side));
    vcPelBuffer<unsigned char> image = vcPelBuffer<unsigned char>::wrap(pixels.data(), side, side, side, nullptr);
    std::printf("model_synthetic %ld %.1f\n", side, nsPerCall(n, [&] { model.drawSynthetic(toImage, image); }));
    checksum += std::accumulate(pixels.begin(), pixels.end(), 0L);
  }
  std::printf("# checksum %ld\n", checksum);
  return 0;
}
