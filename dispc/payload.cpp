#include "payload.h"

#include <vc/uierror.h>

namespace {
[[noreturn]] void failPayload(const std::string&) { throw vcUIError::InvalidUISketch(); }
}  // namespace

vc_PayloadReader::vc_PayloadReader(const unsigned char* data, std::size_t size)
    : start_(data), r_(data, size, &failPayload) {}

void vc_PayloadReader::fail(const std::string& why) { failPayload(why); }

void vc_PayloadReader::flag(bool& v) {
  const unsigned char b = r_.u8();
  if (b > 1) fail("flag byte other than 0 or 1");
  v = b != 0;
}

void vc_PayloadReader::color(vcColor& c) {
  if (!vcColor::fromBytes(r_.take(6), c)) fail("bad color kind");
}

void vc_PayloadReader::count(long& n, std::uint64_t itemSize) {
  const long v = r_.i32();
  if (v < 0) fail("negative count");
  r_.require(static_cast<std::uint64_t>(v), itemSize);
  n = v;
}
