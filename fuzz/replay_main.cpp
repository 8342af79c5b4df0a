// Runs a fuzz target over every file of its corpus directories, so the test
// suite replays each corpus (and every crash found) under the sanitizers.
// With --write-seeds DIR, writes the target's seed inputs instead.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_target.h"

// Each target provides its seeds: valid inputs that cover every branch it selects.
std::vector<std::vector<std::uint8_t>> vc_fuzzSeeds();

namespace {

std::vector<std::uint8_t> readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void runOne(const std::vector<std::uint8_t>& bytes) {
  // Every prefix too: truncation is the commonest corruption of a file.
  for (std::size_t n = 0; n <= bytes.size(); ++n) LLVMFuzzerTestOneInput(bytes.data(), n);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-seeds") {
    int i = 0;
    for (const auto& seed : vc_fuzzSeeds()) {
      char name[32];
      std::snprintf(name, sizeof name, "seed-%03d", i++);
      std::ofstream(std::filesystem::path(argv[2]) / name, std::ios::binary)
          .write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
    }
    return 0;
  }
  std::size_t files = 0;
  for (const auto& seed : vc_fuzzSeeds()) runOne(seed), ++files;
  for (int a = 1; a < argc; ++a) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[a])) {
      if (!entry.is_regular_file()) continue;
      runOne(readFile(entry.path()));
      ++files;
    }
  }
  std::printf("replayed %zu inputs\n", files);
  return files > 0 ? 0 : 1;
}
