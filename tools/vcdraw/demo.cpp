// vcdraw demo OUTDIR: the showcase. Draws built-in data through a recording
// tablet onto Cairo scopes (an 8-bit image on the image layer, annotations of
// every shape kind on the overlay, generalised polygons and wireframes, text
// in the nine alignments, point icons, arrow heads, coordinate axes, and two
// child tablets, one magnified in eExpand mode and one reduced in eSample
// mode), archives the recorded sketch, reads it back, replays it at an offset
// and at 2x scale, and writes PNG and SVG files. An SMD component (body and
// pads with wireframes, extensions and direction arrows) is drawn on the
// image and again at 2x in a child tablet.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/display.h>

#include "vcdraw.h"

namespace {

constexpr long kWidth = 960, kHeight = 640;
using L = vcUITablet::Layers;
constexpr L kImage = vcUITablet::eImage;
constexpr L kOverlay = vcUITablet::eOverlay;

// A tablet that repaints itself by replaying its own content sketch.
class vcdrawSketchTablet : public vcUITablet {
public:
  vcdrawSketchTablet(vcUITablet& parent, const vcUIRect& rect) : vcUITablet(parent, rect) {}
  vcdrawSketchTablet(vcUIScope* image, vcUIScope* overlay) : vcUITablet(image, overlay) {}
  vcUISketch content;

protected:
  void redraw_() override { draw(content, vcPoint(0, 0), updateLayers()); }
};

// The built-in image: concentric rings over a diagonal ramp, 8-bit grey.
vcPelBuffer<unsigned char> sampleImage(long w, long h) {
  vcPelBuffer<unsigned char> img(w, h);
  for (long y = 0; y < h; ++y) {
    for (long x = 0; x < w; ++x) {
      const double dx = x - w / 2.0, dy = y - h / 2.0;
      const double ring = 0.5 + 0.5 * std::cos(std::sqrt(dx * dx + dy * dy) / 6.0);
      const double ramp = static_cast<double>(x + y) / static_cast<double>(w + h);
      *img.pointToPel(x, y) = static_cast<unsigned char>(30 + 140 * ramp + 80 * ring);
    }
  }
  return img;
}

vcGraphicProps pen(const vcColor& c, long width, vcGraphicProps::vePenStyle style = vcGraphicProps::ePenSolid,
                   bool fill = false) {
  return vcGraphicProps(c, width, style, fill);
}

// A generalised polygon (rounded corners, an arc side, placed by a shear)
// and a wireframe with its direction figures, on the overlay.
void drawOutlines(vcUITablet& t) {
  using V = vcVector<2>;
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, vcRadian(0));
  g.insertVertex(V(120, 0), 12, vcRadian(0));
  g.insertVertex(V(120, 70), 0, vcRadian(0.9));
  g.insertVertex(V(30, 80), 10, vcRadian(0));
  g.close(vcRadian(0));
  vcGraphicProps plain = pen(vcColor::orangeColor(), 2);
  plain.arrowHead(false);
  t.draw(g.map(vcXform<2>(vcMatrix<2>(1, 0.3, 0, 1), V(560, 380))), plain, kOverlay);

  vc2Wireframe w(vcGenPoly(vcPolygon({V(0, 0), V(120, 0), V(120, 60), V(0, 60)}, vcPolygon::eWinding)));
  w.segmentAngleSpan(1, vcRadian(0.8));
  w.vertexRoundingSize(3, 12);
  vcGraphicProps arrows = pen(vcColor::cyanColor(), 2);
  arrows.arrowHead(true);
  t.draw(w.map(vcXform<2>(vcMatrix<2>(1.2, 0, 0, 1), V(570, 510))), arrows, kOverlay);
}

// Every shape kind, on the overlay, in a grid of cells.
void drawShapes(vcUITablet& t) {
  using V = vcVector<2>;
  t.draw(vcPoint(40, 40), pen(vcColor::whiteColor(), 3), kOverlay);
  t.draw(vcLineSeg(V(60, 30), V(160, 60)), pen(vcColor::yellowColor(), 1), kOverlay);
  t.draw(vcLineSeg(V(60, 50), V(160, 80)), pen(vcColor::yellowColor(), 4, vcGraphicProps::ePenDash), kOverlay);
  t.draw(vcLine(vcRadian(0.15), V(0, 110)), pen(vcColor::dkGreyColor(), 1, vcGraphicProps::ePenDot), kOverlay);
  t.draw(vcCircle(V(220, 60), 30), pen(vcColor::redColor(), 2), kOverlay);
  t.draw(vcCircle(V(290, 60), 22), pen(vcColor::orangeColor(), 1, vcGraphicProps::ePenSolid, true), kOverlay);
  t.draw(vcEllipse(V(380, 60), V(45, 20), vcRadian(0.4)), pen(vcColor::greenColor(), 3), kOverlay);
  t.draw(vcEllipseArc(vcEllipse(V(480, 60), V(40, 28), vcRadian(0)), vcRadian(0.3), vcRadian(4.0)),
         pen(vcColor::cyanColor(), 2), kOverlay);
  t.draw(vcEllipse2(V(30, 15), vcRadian(-0.6), V(570, 60)), pen(vcColor::magentaColor(), 2), kOverlay);
  t.draw(vcEllipseArc2(V(35, 20), vcRadian(0.2), V(660, 60), true, vcRadian(0), vcRadian(-1), vcRadian(3.5)),
         pen(vcColor::blueColor(), 3), kOverlay);
  t.draw(vcPolygon({V(40, 150), V(110, 140), V(130, 200), V(70, 220), V(30, 190)}, vcPolygon::eWinding),
         pen(vcColor::purpleColor(), 1, vcGraphicProps::ePenSolid, true), kOverlay);
  t.draw(vcPolyline({V(150, 150), V(180, 210), V(210, 150), V(240, 210), V(270, 150)}, false),
         pen(vcColor::whiteColor(), 2, vcGraphicProps::ePenDashDot), kOverlay);
  t.draw(vcRect(290, 150, 70, 50), pen(vcColor::yellowColor(), 2), kOverlay);
  t.draw(vcRect(300, 160, 30, 20), pen(vcColor::dkGreenColor(), 1, vcGraphicProps::ePenSolid, true), kOverlay);
  t.draw(vcGenRect(V(420, 180), V(90, 50), vcRadian(0.3), V(0.4, 0.4)), pen(vcColor::redColor(), 2), kOverlay);
  t.draw(vcGenAnnulus(V(520, 180), 15, 32), pen(vcColor::cyanColor(), 1), kOverlay);
  t.draw(vcAffineRectangle(V(600, 155), V(660, 165), V(585, 210)), pen(vcColor::orangeColor(), 2), kOverlay);
  t.draw(vcAnnulus(V(720, 180), 12, 28), vcColor::greenColor(), kOverlay);
  t.draw(vcCoordAxes(V(60, 300), V(140, 300), V(60, 240)), pen(vcColor::whiteColor(), 1), kOverlay);
  t.draw(vcCross(V(190, 270), vcRadian(0.4), 10), pen(vcColor::redColor(), 1), kOverlay);
  t.draw(vcPointSet(std::vector<V>{V(240, 270), V(270, 250), V(290, 285), V(255, 300)}),
         pen(vcColor::yellowColor(), 1), kOverlay);
  t.draw(vcLineSegSet({vcLineSeg(V(320, 250), V(380, 250)), vcLineSeg(V(320, 265), V(380, 280)),
                       vcLineSeg(V(320, 295), V(380, 295))}),
         pen(vcColor::ltGreyColor(), 2, vcGraphicProps::ePenDashDotDot), kOverlay);
  const vcEllipse inner(V(460, 280), V(20, 12), vcRadian(0.2)), outer(V(460, 280), V(45, 30), vcRadian(0.2));
  t.draw(vcEllipseAnnulusSection(vcEllipseAnnulus(inner, outer), vcRadian(0.3), vcRadian(2.2), true),
         pen(vcColor::magentaColor(), 2), kOverlay);
  t.draw(vcBezierCurve(V(530, 300), V(560, 220), V(610, 330), V(640, 250)), pen(vcColor::cyanColor(), 3), kOverlay);
  t.draw(vcDeBoorSpline({V(660, 300), V(680, 240), V(720, 310), V(750, 240), V(780, 300)}),
         pen(vcColor::greenColor(), 2), kOverlay);
  t.arrowHead(vcPoint(860, 60), vcVector<2>(1, 0), 14, pen(vcColor::whiteColor(), 2), kOverlay);
  t.drawLineSeg(vcPair<double>(800, 60), vcPair<double>(860, 60), vcColor::whiteColor(), kOverlay);
  for (int i = 0; i < 4; ++i) t.drawPointIcon(vcPoint(820 + 30 * i, 150), vcColor::stockColor(5 + 2 * i), kOverlay);
  drawOutlines(t);
}

// An SMD component as users see one: a body with its segment extensions, a
// rectangular, a rounded and a round pad (component units, origin at the
// body's centre).
vcSMDGDModel showcaseModel() {
  using V = vcVector<2>;
  const auto extended = [](vcSMDGDPoly p, double fraction) {
    std::vector<vcSMDGDPolyVertex> vs = p.vertices();
    for (vcSMDGDPolyVertex& v : vs) {
      v.forwardExtension(fraction);
      v.backwardExtension(fraction);
    }
    p.vertices(vs);
    return p;
  };
  vcSMDGDPoly rounded;
  for (const V& corner : {V(46, -9), V(34, -9), V(34, 9), V(46, 9)})
    rounded << vcSMDGDPolyVertex(corner, 3.0, 0.5, 0.5, -1);
  rounded.close();

  std::vector<vcSMDGDPoly> polys = {extended(vcSMDGDPoly::rectangle(60, 30, V(0, 0)), 0.15),
                                    vcSMDGDPoly::rectangle(12, 18, V(-40, 0)), rounded,
                                    vcSMDGDPoly::circle(5, V(0, -24))};
  vcSMDColors padColors = polys[1].colors();
  padColors.wireframeDefaultColor(vcColor::yellowColor());
  padColors.syntheticDefaultColor(vcColor::whiteColor());
  for (std::size_t i = 0; i < polys.size(); ++i) {
    if (i > 0) polys[i].colors(padColors);
    polys[i].positiveArrowColor(vcColor::cyanColor());
    polys[i].negativeArrowColor(vcColor::orangeColor());
  }
  vcSMDGDModel model("showcase component");
  model.polys(polys);
  return model;
}

// The component's wireframes, extensions and direction arrows, placed by x
// (component units to tablet coordinates).
void drawSMDComponent(vcUITablet& t, const vcXform<2>& x) {
  const vcSMDGDModel model = showcaseModel();
  model.drawWireframe(x, t);
  vcSMDGDModelPrivate::drawNegWireframe(model, x, t);
  model.drawDirectionArrows(x, t);
}

// Text in the nine alignments around marked anchors.
void drawText(vcUITablet& t) {
  static const char* kNames[9] = {"TopLeft",    "TopCenter", "TopRight",     "CenterLeft", "Center",
                                  "CenterRight", "BottomLeft", "BottomCenter", "BottomRight"};
  for (int a = 0; a < 9; ++a) {
    const vcPoint anchor(120 + 160.0 * (a % 3), 380 + 45.0 * (a / 3));
    t.drawCross(vcPair<double>(anchor.x(), anchor.y()), vcRadian(0), vcColor::redColor(), kOverlay);
    t.draw(std::string(kNames[a]), anchor, vcColor::whiteColor(), vcColor::dkGreyColor(),
           vcUIFormat(static_cast<vcUIFormat::Alignment>(a)), kOverlay);
  }
}

// A child tablet showing part of the image through its own map and scale.
void addChild(vcUITablet& parent, std::vector<std::unique_ptr<vcdrawSketchTablet>>& kids, const vcUIRect& rect,
              const vcPelBuffer<unsigned char>& img, const vcPair<double>& scale, const char* label) {
  auto kid = std::make_unique<vcdrawSketchTablet>(parent, rect);
  kid->scaleExact(scale);
  vcUITablet& pad = vcUITablet::scratchPad();
  pad.sketch().erase();
  pad.draw(img, vcPoint(0, 0), false, 0, false, kImage);
  pad.draw(vcEllipse(vcVector<2>(40, 30), vcVector<2>(25, 12), vcRadian(0.5)), pen(vcColor::yellowColor(), 1),
           kOverlay);
  pad.outline(vcRect(0, 0, 96 / scale.x(), 96 / scale.y()), vcColor::whiteColor(), 1, kOverlay);
  pad.draw(std::string(label), vcPoint(2, 2), vcColor::yellowColor(), vcColor::passColor(), vcUIFormat(), kOverlay);
  kid->content = pad.sketch();
  kids.push_back(std::move(kid));
}

// A child tablet showing the SMD component at twice the size.
void addSMDChild(vcUITablet& parent, std::vector<std::unique_ptr<vcdrawSketchTablet>>& kids, const vcUIRect& rect) {
  auto kid = std::make_unique<vcdrawSketchTablet>(parent, rect);
  kid->scaleExact(vcPair<double>(2.0, 2.0));
  const double w = rect.width() / 2.0, h = rect.height() / 2.0;
  vcUITablet& pad = vcUITablet::scratchPad();
  pad.sketch().erase();
  pad.set(vcRect(0, 0, w, h), vcColor::blackColor(), kImage);
  drawSMDComponent(pad, vcXform<2>(vcMatrix<2>(1, 0, 0, 1), vcVector<2>(w / 2, h / 2 + 5)));
  pad.outline(vcRect(0, 0, w, h), vcColor::whiteColor(), 1, kOverlay);
  pad.draw(std::string("SMD x2"), vcPoint(2, 2), vcColor::yellowColor(), vcColor::passColor(), vcUIFormat(), kOverlay);
  kid->content = pad.sketch();
  kids.push_back(std::move(kid));
}

void writeComposite(const vcCairoScope& image, const vcCairoScope& overlay, const std::string& path) {
  vfCairoComposite(image, overlay)->writePng(path);
  std::printf("wrote %s\n", path.c_str());
}

// Replays a sketch onto fresh scopes at an offset and scale, as PNG.
void replayTo(const vcUISketch& sketch, const vcPoint& offset, double scale, const std::string& path) {
  vcCairoScope image(vcPair<long>(kWidth, kHeight), vcCairoScope::eImage);
  vcCairoScope overlay(vcPair<long>(kWidth, kHeight), vcCairoScope::eOverlay);
  vcUITablet t(&image, &overlay);
  if (scale != 1.0) t.scaleExact(vcPair<double>(scale, scale));
  t.visible(true);
  t.draw(sketch, offset, vcUITablet::eBoth);
  writeComposite(image, overlay, path);
}

}  // namespace

int vcdrawDemo(const std::vector<std::string>& args) {
  if (args.size() != 1) throw vcdrawUsageError("demo takes one output folder (vcdraw demo OUTDIR)");
  const std::filesystem::path dir(args[0]);
  std::filesystem::create_directories(dir);

  vcCairoScope image(vcPair<long>(kWidth, kHeight), vcCairoScope::eImage);
  vcCairoScope overlay(vcPair<long>(kWidth, kHeight), vcCairoScope::eOverlay);
  vcUITablet root(&image, &overlay);
  root.recordOn() = true;
  root.visible(true);

  const vcPelBuffer<unsigned char> img = sampleImage(kWidth, kHeight);
  root.draw(img, vcPoint(0, 0), false, 0, false, kImage);
  drawShapes(root);
  drawText(root);
  drawSMDComponent(root, vcXform<2>(vcMatrix<2>(1.5, 0, 0, 1.5), vcVector<2>(120, 572)));

  std::vector<std::unique_ptr<vcdrawSketchTablet>> kids;
  addChild(root, kids, vcUIRect(800, 360, 120, 120), img, vcPair<double>(3.0, 3.0), "x3 expand");
  addChild(root, kids, vcUIRect(800, 500, 120, 120), img, vcPair<double>(0.25, 0.25), "1/4 sample");
  addSMDChild(root, kids, vcUIRect(230, 500, 220, 130));
  for (auto& kid : kids) kid->visible(true);

  const vcUISketch sketch = root.sketch();
  writeComposite(image, overlay, (dir / "showcase.png").string());

  const std::string vcs = (dir / "showcase.vcs").string();
  vcdrawSaveSketch(sketch, vcs);
  std::printf("wrote %s (%ld bytes of records)\n", vcs.c_str(), sketch.size());
  const vcUISketch back = vcdrawLoadSketch(vcs, "demo");
  if (back.size() != sketch.size() || !std::equal(back.data(), back.data() + back.size(), sketch.data()))
    std::printf("note: the archived sketch reads back with different bytes\n");

  // The component as a model file, and its synthetic image, turned by 10
  // degrees at 4 pixels per unit.
  const std::string vcm = (dir / "showcase-model.vcm").string();
  {
    vcSMDGDModel model = showcaseModel();
    vcFileArchive out(vcm, vcArchive::eStore);
    out || model;
    out.close();
    std::printf("wrote %s\n", vcm.c_str());
  }
  vcdrawSynth({vcm, "-o", (dir / "showcase-synthetic.png").string(), "--size", "440x260", "--scale", "4", "--rotate",
               "10", "--offset", "220,150"});

  replayTo(back, vcPoint(40, 30), 1.0, (dir / "replay-offset.png").string());
  replayTo(back, vcPoint(0, 0), 2.0, (dir / "replay-2x.png").string());
  {
    const std::string svg = (dir / "showcase.svg").string();
    vcCairoScope vector(svg, vcCairoScope::eSVG, vcPair<long>(kWidth, kHeight));
    vcUITablet t(&vector, &vector);
    t.visible(true);
    t.draw(back, vcPoint(0, 0), vcUITablet::eBoth);
    vector.finish();
    std::printf("wrote %s\n", svg.c_str());
  }
  return 0;
}
