#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/wrfm/smdmodel.h>

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

namespace {

// Numbers are parsed strictly: the whole text, no spaces, no hexadecimal, no
// infinities; what does not parse is refused rather than cut short.
template <class T>
bool parseWhole(const std::string& text, T& v) {
  const char* first = text.data();
  const char* last = first + text.size();
  // from_chars takes no '+'; allow one before a digit or a point.
  if (first != last && *first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+') ++first;
  const auto [end, ec] = std::from_chars(first, last, v);
  return ec == std::errc() && end == last && first != last;
}

}  // namespace

double vcdrawNumber(const std::string& text, const char* what) {
  double v = 0;
  if (!parseWhole(text, v) || !std::isfinite(v)) throw vcdrawUsageError(std::string("bad ") + what + " '" + text + "'");
  return v;
}

long vcdrawInteger(const std::string& text, const char* what, long lo, long hi) {
  long v = 0;
  if (!parseWhole(text, v) || v < lo || v > hi)
    throw vcdrawUsageError(std::string("bad ") + what + " '" + text + "' (a whole number from " + std::to_string(lo) +
                           " to " + std::to_string(hi) + ")");
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
      const std::string& v = value();
      const auto at = v.find('x');
      if (at == std::string::npos) throw vcdrawUsageError("bad size '" + v + "' (WxH, 1x1 to 16384x16384)");
      o.width = vcdrawInteger(v.substr(0, at), "size width", 1, 16384);
      o.height = vcdrawInteger(v.substr(at + 1), "size height", 1, 16384);
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

namespace {

// The files vcdraw reads: each the archive form of one object.
struct FileKind {
  const char* name;
  const char* ending;
  void (*probe)(vcArchive&);
};
const FileKind kKinds[] = {
    {"sketch", ".vcs", [](vcArchive& in) { vcUISketch s; in || s; }},
    {"model", ".vcm", [](vcArchive& in) { vcSMDGDModel m; in || m; }},
};

const FileKind& kindNamed(const char* name) {
  for (const FileKind& k : kKinds)
    if (std::string(name) == k.name) return k;
  throw std::logic_error(std::string("vcdraw reads no ") + name + " files");
}

// What bytes that did not read as `expected` hold instead: another of
// vcdraw's kinds read whole, or a file that vcdraw writes; empty if neither.
std::string whatItIs(const std::vector<unsigned char>& bytes, const FileKind& expected) {
  static const struct {
    std::string magic;
    const char* what;
  } kMagic[] = {{"\x89PNG", "a PNG image"}, {"%PDF", "a PDF document"}, {"<?xml", "an SVG image"},
                {"<svg", "an SVG image"},   {"P5\n", "a PGM image"}};
  const auto startsWith = [&](const std::string& magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin(), [](char m, unsigned char b) {
             return static_cast<unsigned char>(m) == b;
           });
  };
  for (const auto& m : kMagic)
    if (startsWith(m.magic)) return m.what;
  for (const FileKind& k : kKinds) {
    if (&k == &expected) continue;
    // A probe: failing to read as this kind is an answer, not an error.
    try {
      vcBufferArchive in(bytes);
      k.probe(in);
      if (in.remaining() == 0) return std::string("a ") + k.name + " file";
    } catch (const vcException&) {
    }
  }
  return {};
}

}  // namespace

void vcdrawLoad(const std::string& path, const char* kind, const char* verb,
                const std::function<void(vcArchive&)>& read) {
  const FileKind& expected = kindNamed(kind);
  std::vector<unsigned char> bytes;
  try {
    bytes = vfReadFile(path, vcFileArchive::kMaxLoadBytes);
  } catch (const vcArchive::IOError& e) {
    throw vcdrawUsageError(e.message());
  }
  std::string failure;
  try {
    vcBufferArchive in(bytes);
    read(in);
    if (in.remaining() == 0) return;
    failure = std::to_string(in.remaining()) + " bytes after the " + kind;
  } catch (const vcException& e) {
    failure = e.what();
  }
  const std::string found = whatItIs(bytes, expected);
  const std::string needs = std::string(verb) + " needs a " + kind + " file (" + expected.ending + ")";
  if (!found.empty()) throw vcdrawUsageError(path + " is " + found + ", " + needs);
  throw vcdrawUsageError(path + ": not a readable " + kind + " file (" + failure + ")");
}

vcUISketch vcdrawLoadSketch(const std::string& path, const char* verb) {
  vcUISketch sketch;
  vcdrawLoad(path, "sketch", verb, [&](vcArchive& in) { in || sketch; });
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
  // Exactly six hexadecimal digits (strtoul would also take "#-12345" or "# +1234").
  unsigned long v = 0;
  if (text.size() == 7 && text[0] == '#' && std::from_chars(text.data() + 1, text.data() + 7, v, 16).ptr == text.data() + 7)
    return vcColor(static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                   static_cast<unsigned char>(v));
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
