// Valid inputs for the PNG target: images that vcCairoScope writes, opaque
// and transparent, small and one row high.
#include <unistd.h>

#include <cstdint>
#include <string>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/core/lineseg.h>
#include <vc/dispprop.h>
#include <vc/uitablet.h>

namespace {

std::vector<std::uint8_t> pngOf(const vcCairoScope& scope) {
  const std::filesystem::path p =
      std::filesystem::temp_directory_path() / ("vc_png_seed_" + std::to_string(::getpid()) + ".png");
  scope.writePng(p.string());
  std::ifstream in(p, std::ios::binary);
  std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
  std::filesystem::remove(p);
  return bytes;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> vc_fuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  for (const auto layer : {vcCairoScope::eImage, vcCairoScope::eOverlay}) {
    for (const vcPair<long> size : {vcPair<long>(5, 3), vcPair<long>(17, 1)}) {
      vcCairoScope scope(size, layer);
      vcUITablet t(&scope, &scope);
      t.visible(true);
      t.draw(vcLineSeg(vcVector<2>(0, 0), vcVector<2>(4, 2)), vcGraphicProps(vcColor::redColor(), 1),
             vcUITablet::eImage);
      seeds.push_back(pngOf(scope));
    }
  }
  return seeds;
}
