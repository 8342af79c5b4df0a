// vcdraw dump FILE.vcs: one line per record.
#include <cstdio>
#include <string>

#include <vc/sketchop.h>

#include "vcdraw.h"

namespace {

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
  const vcUISketch sketch = vcdrawLoadSketch(args[0], "dump");
  std::printf("%s: %ld bytes\n", args[0].c_str(), sketch.size());
  static const char* kLayers[] = {"image", "overlay", "both"};
  long records = 0;
  for (const vcUISketchRecord& r : vcUISketchRecords(sketch)) {
    const vc_UISketchOpHeader& header = *r.header;
    const int layer = static_cast<int>(header.layer());
    std::printf("%8ld  %2ld %-14s %-7s %-10s %s\n", r.offset, r.opcode(), vfSketchOpcodeName(r.opcode()),
                layer >= 0 && layer <= 2 ? kLayers[layer] : "?", vcdrawColorText(header.color()).c_str(),
                r.data->describe().c_str());
    // The props record this record carries, rather than those in force.
    if (r.ownProps) std::printf("          props: %s\n", propsText(header.props()).c_str());
    ++records;
  }
  std::printf("%ld records\n", records);
  return 0;
}
