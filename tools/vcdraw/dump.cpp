// vcdraw dump FILE.vcs: one line per record.
#include <cstdio>
#include <memory>
#include <string>

#include <vc/core/byteio.h>
#include <vc/sketchop.h>

#include "vcdraw.h"

namespace {

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

std::string point(const unsigned char* p) {
  return "(" + num(vc_bytes::getF64(p)) + ", " + num(vc_bytes::getF64(p + 8)) + ")";
}

// A short description of the payload of the common records; others give their size.
std::string summary(long opcode, const unsigned char* p, long n) {
  switch (opcode) {
    case 0: case 1: case 20: case 21:
      return "at " + point(p);
    case 2:
      return "from " + point(p) + " to " + point(p + 16);
    case 4: case 29:
      return "center " + point(p) + " radius " + num(vc_bytes::getF64(p + 16));
    case 22: case 23:
      return "by (" + std::to_string(static_cast<int>(vc_bytes::get32(p))) + ", " +
             std::to_string(static_cast<int>(vc_bytes::get32(p + 4))) + ") pixels";
    case 32: case 47:
      return "origin " + point(p) + " size " + point(p + 16);
    case 11:
      return "\"" + vcdrawEscape(std::string(reinterpret_cast<const char*>(p + 30))) + "\" at " + point(p);
    default:
      return std::to_string(n) + " payload bytes";
  }
}

std::string propsText(const vcGraphicProps& p) {
  static const char* kStyles[] = {"solid", "dash", "dot", "dash-dot", "dash-dot-dot", "null"};
  const int style = static_cast<int>(p.penStyle());
  return "width " + std::to_string(p.penWidth()) + ", " + (style >= 0 && style <= 5 ? kStyles[style] : "style ?") +
         (p.fill() ? ", filled" : "") + ", join " + std::to_string(static_cast<int>(p.penJoin())) + ", cap " +
         std::to_string(static_cast<int>(p.penEndCap())) + (p.arrowHead() ? ", arrows" : ", no arrows") +
         (p.arrowHeadForward() ? "" : " backward") + (p.showVertex() ? ", vertices" : "");
}

}  // namespace

int vcdrawDump(const std::vector<std::string>& args) {
  if (args.size() != 1) throw vcdrawUsageError("dump takes one sketch file (vcdraw dump FILE.vcs)");
  const vcUISketch sketch = vcdrawLoadSketch(args[0]);
  std::printf("%s: %ld bytes\n", args[0].c_str(), sketch.size());
  static const char* kLayers[] = {"image", "overlay", "both"};
  vc_UISketchOpHeader header;
  long records = 0;
  for (long offset = 0; offset < sketch.size();) {
    vc_UISketchOpData* raw = nullptr;
    const long length = vfParseUISketch(sketch, offset, header, &raw);
    const std::unique_ptr<vc_UISketchOpData> record(raw);
    const int layer = static_cast<int>(header.layer());
    // The payload is the tail of the record, after the props record and head.
    vc_UISketchOpHeader probe;
    const long headLength = probe.parseByteStream(sketch.data() + offset, sketch.size() - offset);
    std::printf("%8ld  %2ld %-14s %-7s %-10s %s\n", offset, header.opcode(), vcdrawOpcodeName(header.opcode()),
                layer >= 0 && layer <= 2 ? kLayers[layer] : "?", vcdrawColorText(header.color()).c_str(),
                summary(header.opcode(), sketch.data() + offset + headLength, length - headLength).c_str());
    if (probe.hasProps()) std::printf("          props: %s\n", propsText(probe.props()).c_str());
    offset += length;
    ++records;
  }
  std::printf("%ld records\n", records);
  return 0;
}
