// 8-bit grey images as PGM or PNG files, written exactly: every pixel value
// reaches the file unchanged (no palette, no color management). The PNG is
// written with stored (uncompressed) deflate blocks, which every reader
// accepts and which needs no compression library.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <vc/core/pelbuffer.h>

#include "vcdraw.h"

namespace {

std::uint32_t crc32(const unsigned char* p, std::size_t n, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void putBE32(std::vector<unsigned char>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<unsigned char>(v >> s));
}

void chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  putBE32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBE32(out, crc32(out.data() + start, out.size() - start));
}

std::vector<unsigned char> pngBytes(const vcPelBuffer_const<unsigned char>& img) {
  const long w = img.width(), h = img.height();
  // Rows with filter byte 0, as the image data to be stored.
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<std::size_t>((w + 1) * h));
  for (long y = 0; y < h; ++y) {
    raw.push_back(0);
    const unsigned char* row = img.pointToPel(img.offset().x(), img.offset().y() + y);
    raw.insert(raw.end(), row, row + w);
  }
  std::vector<unsigned char> z = {0x78, 0x01};
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n));
    z.push_back(static_cast<unsigned char>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  putBE32(z, (b << 16) | a);

  std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> ihdr;
  putBE32(ihdr, static_cast<std::uint32_t>(w));
  putBE32(ihdr, static_cast<std::uint32_t>(h));
  ihdr.insert(ihdr.end(), {8, 0, 0, 0, 0});  // 8-bit grey, deflate, no filter choice, no interlace
  chunk(out, "IHDR", ihdr);
  chunk(out, "IDAT", z);
  chunk(out, "IEND", {});
  return out;
}

std::vector<unsigned char> pgmBytes(const vcPelBuffer_const<unsigned char>& img) {
  const std::string head = "P5\n" + std::to_string(img.width()) + " " + std::to_string(img.height()) + "\n255\n";
  std::vector<unsigned char> out(head.begin(), head.end());
  for (long y = 0; y < img.height(); ++y) {
    const unsigned char* row = img.pointToPel(img.offset().x(), img.offset().y() + y);
    out.insert(out.end(), row, row + img.width());
  }
  return out;
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void vcdrawWriteGray(const vcPelBuffer_const<unsigned char>& image, const std::string& path) {
  std::vector<unsigned char> bytes;
  if (endsWith(path, ".png")) {
    bytes = pngBytes(image);
  } else if (endsWith(path, ".pgm")) {
    bytes = pgmBytes(image);
  } else {
    throw vcdrawUsageError("output must end in .png or .pgm");
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) throw vcdrawUsageError(path + ": cannot open for writing");
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
  if (!ok || std::fclose(f.release()) != 0) throw vcdrawUsageError(path + ": cannot write");
}
