// Feeds arbitrary bytes to the PNG reader (vfCairoReadPng, which Python's
// read_png uses): the image size is checked from the header before decoding,
// so no input may allocate beyond the pixel budget; malformed bytes may fail
// only with vcCairoError. An image that reads has the size its header
// states, and every pixel can be read and composited.
#include <cstdint>
#include <vector>

#include <vc/cairo/cairoscope.h>

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> png(data, data + size);
  std::unique_ptr<vcCairoScope> scope;
  try {
    scope = vfCairoReadPng(png, 1L << 20);
  } catch (const vcCairoError&) {
    return 0;
  }
  const auto be32 = [&](std::size_t at) {
    return long(png[at]) << 24 | long(png[at + 1]) << 16 | long(png[at + 2]) << 8 | long(png[at + 3]);
  };
  if (scope->size().x() != be32(16) || scope->size().y() != be32(20)) vc_fuzzFailure("PNG read at another size");
  for (long y = 0; y < scope->size().y(); ++y)
    for (long x = 0; x < scope->size().x(); ++x) scope->argb(x, y);
  vfCairoComposite(*scope, *scope);
  return 0;
}
