#include <cmath>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <tuple>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "vcdraw.h"

std::string vcdrawEscape(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\\') {
      out += "\\\\";
    } else if (b >= 0x20 && b < 0x7F) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out;
}

double vcdrawNumber(const std::string& text, const char* what) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || !end || *end != '\0' || !std::isfinite(v))
    throw vcdrawUsageError(std::string("bad ") + what + " '" + text + "'");
  return v;
}

std::pair<double, double> vcdrawPair(const std::string& text, char sep, const char* what) {
  const auto at = text.find(sep);
  if (at == std::string::npos) throw vcdrawUsageError(std::string("bad ") + what + " '" + text + "'");
  return {vcdrawNumber(text.substr(0, at), what), vcdrawNumber(text.substr(at + 1), what)};
}

void vcdrawParseImageOptions(const std::vector<std::string>& args, const char* verb, const char* kind,
                             const char* outputs,
                             vcdrawImageOptions& o,
                             const std::function<bool(const std::string&, const std::function<const std::string&()>&)>& extra) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const std::function<const std::string&()> value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw vcdrawUsageError("option " + a + " needs a value");
      return args[++i];
    };
    if (a == "-o") {
      o.out = value();
    } else if (a == "--size") {
      const auto [w, h] = vcdrawPair(value(), 'x', "size");
      if (!(w >= 1 && w <= 16384 && h >= 1 && h <= 16384)) throw vcdrawUsageError("size must be 1x1 to 16384x16384");
      o.width = static_cast<long>(w);
      o.height = static_cast<long>(h);
    } else if (a == "--scale") {
      o.scale = vcdrawNumber(value(), "scale");
      if (!(o.scale > 0 && o.scale <= 1000)) throw vcdrawUsageError("scale must be above 0 and at most 1000");
    } else if (a == "--offset") {
      std::tie(o.offsetX, o.offsetY) = vcdrawPair(value(), ',', "offset");
      o.offsetGiven = true;
    } else if (!a.empty() && a[0] == '-') {
      if (!extra(a, value)) throw vcdrawUsageError("unknown option " + a);
    } else if (o.in.empty()) {
      o.in = a;
    } else {
      throw vcdrawUsageError(std::string(verb) + " takes one " + kind + " file");
    }
  }
  if (o.in.empty()) throw vcdrawUsageError(std::string(verb) + " needs a " + kind + " file");
  if (o.out.empty()) throw vcdrawUsageError(std::string(verb) + " needs -o " + outputs);
}

void vcdrawLoad(const std::string& path, const char* kind, const std::function<void(vcArchive&)>& read) {
  // Said plainly here: the archive alone could only say it cannot open or read the file.
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  if (st.type() == std::filesystem::file_type::not_found) throw vcdrawUsageError(path + ": no such file");
  if (st.type() == std::filesystem::file_type::directory)
    throw vcdrawUsageError(path + ": is a folder, not a " + kind + " file");
  try {
    vcFileArchive in(path, vcArchive::eLoad);
    read(in);
    if (in.remaining() != 0)
      throw vcdrawUsageError(path + ": " + std::to_string(in.remaining()) + " bytes after the " + kind);
  } catch (const vcException& e) {
    throw vcdrawUsageError(path + ": " + e.what());
  }
}

vcUISketch vcdrawLoadSketch(const std::string& path) {
  vcUISketch sketch;
  vcdrawLoad(path, "sketch", [&](vcArchive& in) { in || sketch; });
  return sketch;
}

void vcdrawSaveSketch(const vcUISketch& sketch, const std::string& path) {
  vcFileArchive out(path, vcArchive::eStore);
  out || const_cast<vcUISketch&>(sketch);
  out.close();
}

namespace {
struct NamedColor {
  const char* name;
  int code;
};
const NamedColor kColorNames[] = {{"black", 0},  {"dkGrey", 1},  {"grey", 2},    {"ltGrey", 3},   {"white", 4},
                                  {"red", 5},    {"dkRed", 6},   {"orange", 7},  {"yellow", 8},   {"green", 9},
                                  {"dkGreen", 10}, {"cyan", 11}, {"blue", 12},   {"purple", 13},  {"magenta", 14},
                                  {"pass", 15},  {"dkGray", 1},  {"gray", 2},    {"ltGray", 3}};
}  // namespace

vcColor vcdrawParseColor(const std::string& text) {
  for (const NamedColor& n : kColorNames)
    if (text == n.name) return vcColor::stockColor(n.code);
  if (text.size() == 7 && text[0] == '#') {
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str() + 1, &end, 16);
    if (end && *end == '\0')
      return vcColor(static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                     static_cast<unsigned char>(v));
  }
  throw vcdrawUsageError("bad color '" + text + "' (a stock color name or #RRGGBB)");
}

std::string vcdrawColorText(const vcColor& c) {
  if (c.isStockColor()) {
    for (const NamedColor& n : kColorNames)
      if (vcColor::stockColor(n.code).index() == c.index()) return n.name;
  }
  char buf[32];
  if (c.isRGBColor()) {
    std::snprintf(buf, sizeof buf, "#%06lX", c.rgb());
  } else {
    std::snprintf(buf, sizeof buf, "index %u", static_cast<unsigned>(c.index()));
  }
  return buf;
}
