// vcdraw synth MODEL.vcm -o OUT.png|OUT.pgm [options]: renders an archived SMD
// model into an 8-bit synthetic image.
#include <cstdio>
#include <numbers>
#include <string>

#include <vc/core/pelbuffer.h>
#include <vc/wrfm/smdmodel.h>

#include "vcdraw.h"

namespace {

struct SynthOptions {
  std::string in, out;
  long width = 640, height = 480;
  double scale = 1.0, rotate = 0.0;
  bool offsetGiven = false;
  vcVector<2> offset;
  int background = -1;  // -1: the model's own background grey
};

SynthOptions parse(const std::vector<std::string>& args) {
  SynthOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
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
    } else if (a == "--rotate") {
      o.rotate = vcdrawNumber(value(), "rotation");
    } else if (a == "--offset") {
      const auto [x, y] = vcdrawPair(value(), ',', "offset");
      o.offset = vcVector<2>(x, y);
      o.offsetGiven = true;
    } else if (a == "--background") {
      const double g = vcdrawNumber(value(), "background");
      if (!(g >= 0 && g <= 255) || g != static_cast<int>(g))
        throw vcdrawUsageError("background must be a grey level from 0 to 255");
      o.background = static_cast<int>(g);
    } else if (!a.empty() && a[0] == '-') {
      throw vcdrawUsageError("unknown option " + a);
    } else if (o.in.empty()) {
      o.in = a;
    } else {
      throw vcdrawUsageError("synth takes one model file");
    }
  }
  if (o.in.empty()) throw vcdrawUsageError("synth needs a model file");
  if (o.out.empty()) throw vcdrawUsageError("synth needs -o OUT.png or OUT.pgm");
  return o;
}

}  // namespace

int vcdrawSynth(const std::vector<std::string>& args) {
  const SynthOptions o = parse(args);
  vcSMDGDModel model;
  vcdrawLoad(o.in, "model", [&](vcArchive& in) { in || model; });

  // Model units to pixels: scaled, turned about the model's origin, which
  // lands on the offset (the image centre unless given).
  const vcVector<2> at = o.offsetGiven ? o.offset : vcVector<2>(o.width / 2.0, o.height / 2.0);
  const vcXform<2> x = vcXform<2>::translation(at) * vcXform<2>::rotation(vcRadian(o.rotate * std::numbers::pi / 180)) *
                       vcXform<2>::scale(o.scale, o.scale);
  int background = o.background;
  if (background < 0)
    background = model.numPolys() > 0 ? vcSMDColors::colorToGrayScale(model.poly(0).colors().syntheticBackgroundColor())
                                      : vcSMDColors::colorToGrayScale(vcColor::dkGreyColor());
  vcPelBuffer<unsigned char> image(o.width, o.height);
  image.fill(static_cast<unsigned char>(background));
  model.drawSynthetic(x, image);
  vcdrawWriteGray(image, o.out);
  std::printf("wrote %s (%ldx%ld, %d polys)\n", o.out.c_str(), o.width, o.height, model.numPolys());
  return 0;
}
