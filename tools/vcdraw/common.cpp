#include <cstdio>
#include <cstdlib>
#include <string>

#include <vc/core/archive.h>

#include "vcdraw.h"

vcUISketch vcdrawLoadSketch(const std::string& path) {
  vcFileArchive in(path, vcArchive::eLoad);
  vcUISketch sketch;
  in || sketch;
  if (in.remaining() != 0) throw vcdrawUsageError(path + ": " + std::to_string(in.remaining()) + " bytes after the sketch");
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
