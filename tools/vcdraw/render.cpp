// vcdraw render FILE.vcs -o OUT.png|OUT.svg|OUT.pdf [options]: replays a
// sketch file onto a Cairo surface.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <vc/cairo/cairoscope.h>
#include <vc/uitablet.h>

#include "vcdraw.h"

namespace {

struct RenderOptions : vcdrawImageOptions {
  vcUITablet::Layers layer = vcUITablet::eBoth;
  vcColor background = vcColor::blackColor();
};

RenderOptions parse(const std::vector<std::string>& args) {
  RenderOptions o;
  vcdrawParseImageOptions(args, "render", "sketch", "OUT.png, OUT.svg or OUT.pdf", o,
                          [&](const std::string& a, const std::function<const std::string&()>& value) {
                            if (a == "--layer") {
                              const std::string& l = value();
                              if (l == "image") o.layer = vcUITablet::eImage;
                              else if (l == "overlay") o.layer = vcUITablet::eOverlay;
                              else if (l == "both") o.layer = vcUITablet::eBoth;
                              else throw vcdrawUsageError("bad layer '" + l + "' (image, overlay or both)");
                            } else if (a == "--background") {
                              o.background = vcdrawParseColor(value());
                            } else {
                              return false;
                            }
                            return true;
                          });
  return o;
}

bool endsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// Replays the sketch on a tablet over the given scopes.
void replay(const RenderOptions& o, const vcUISketch& sketch, vcUIScope* image, vcUIScope* overlay) {
  vcUITablet tablet(image, overlay);
  if (o.scale != 1.0) tablet.scaleExact(vcPair<double>(o.scale, o.scale));
  tablet.visible(true);
  tablet.set(o.background, vcUITablet::eImage);
  tablet.draw(sketch, vcPoint(o.offsetX, o.offsetY), o.layer);
}

}  // namespace

int vcdrawRender(const std::vector<std::string>& args) {
  const RenderOptions o = parse(args);
  const vcUISketch sketch = vcdrawLoadSketch(o.in, "render");
  const vcPair<long> size(o.width, o.height);
  if (endsWith(o.out, ".png")) {
    vcCairoScope image(size, vcCairoScope::eImage);
    vcCairoScope overlay(size, vcCairoScope::eOverlay);
    replay(o, sketch, &image, &overlay);
    vfCairoComposite(image, overlay)->writePng(o.out);
  } else if (endsWith(o.out, ".svg") || endsWith(o.out, ".pdf")) {
    // A vector file has one surface: both layers draw on it, the overlay after the image.
    vcCairoScope vector(o.out, endsWith(o.out, ".svg") ? vcCairoScope::eSVG : vcCairoScope::ePDF, size);
    replay(o, sketch, &vector, &vector);
    vector.finish();
  } else {
    throw vcdrawUsageError("output must end in .png, .svg or .pdf");
  }
  std::printf("wrote %s (%ldx%ld)\n", o.out.c_str(), o.width, o.height);
  return 0;
}
