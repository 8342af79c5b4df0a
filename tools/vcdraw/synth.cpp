// vcdraw synth MODEL.vcm -o OUT.png|OUT.pgm [options]: renders an archived SMD
// model into an 8-bit synthetic image.
#include <cstdio>
#include <numbers>
#include <string>

#include <vc/core/pelbuffer.h>
#include <vc/wrfm/smdmodel.h>

#include "vcdraw.h"

namespace {

struct SynthOptions : vcdrawImageOptions {
  double rotate = 0.0;
  int background = -1;  // -1: the model's own background grey
  double grow = 0.0;     // every poly offset by this (model units) before drawing
};

SynthOptions parse(const std::vector<std::string>& args) {
  SynthOptions o;
  vcdrawParseImageOptions(args, "synth", "model", "OUT.png or OUT.pgm", o,
                          [&](const std::string& a, const std::function<const std::string&()>& value) {
                            if (a == "--rotate") {
                              o.rotate = vcdrawNumber(value(), "rotation");
                            } else if (a == "--grow") {
                              o.grow = vcdrawNumber(value(), "grow distance");
                            } else if (a == "--background") {
                              o.background = static_cast<int>(vcdrawInteger(value(), "background grey", 0, 255));
                            } else {
                              return false;
                            }
                            return true;
                          });
  return o;
}

}  // namespace

int vcdrawSynth(const std::vector<std::string>& args) {
  const SynthOptions o = parse(args);
  vcSMDGDModel model;
  vcdrawLoad(o.in, "model", "synth", [&](vcArchive& in) { in || model; });
  if (o.grow != 0.0) model = vcSMDGDModelPrivate::offset(model, o.grow);

  // Model units to pixels: scaled, turned about the model's origin, which
  // lands on the offset (the image centre unless given).
  const vcVector<2> at = o.offsetGiven ? vcVector<2>(o.offsetX, o.offsetY) : vcVector<2>(o.width / 2.0, o.height / 2.0);
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
