// Valid inputs for the archive fuzz target: one per type it selects.
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include <vc/core/affinerect.h>
#include <vc/core/archive.h>
#include <vc/core/circle.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/points.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/display.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/lineseg.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/wireframe.h>

std::vector<std::vector<std::uint8_t>> vc_fuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  auto add = [&](std::uint8_t selector, auto value) {
    vcBufferArchive ar(vcArchive::eStore);
    ar || value;
    std::vector<std::uint8_t> s{selector};
    s.insert(s.end(), ar.bytes().begin(), ar.bytes().end());
    seeds.push_back(std::move(s));
  };
  auto addObject = [&](vcPersistent* obj) {
    vcBufferArchive ar(vcArchive::eStore);
    ar.serializePointer(obj);
    std::vector<std::uint8_t> s{10};
    s.insert(s.end(), ar.bytes().begin(), ar.bytes().end());
    seeds.push_back(std::move(s));
  };
  add(0, vcColor::purpleColor());
  add(0, vcColor(9, 8, 7));
  add(1, vcRGB(200, 100, 50));
  add(2, vcUIRect(-5, 6, 70, 80));
  add(3, vcUIFormat(3, vcUIFormat::eBottomRight));
  vcGraphicProps props(vcColor(1, 2, 3), 5, vcGraphicProps::ePenDashDot, true);
  props.showVertex(true);
  add(4, props);
  vcUISketch sketch;
  sketch.append(12);
  add(5, sketch.mark());
  add(6, vcXform<2>(vcMatrix<2>(0, -1, 1, 0), vcVector<2>(10, 20)));
  add(7, std::string("seed text"));
  add(8, std::vector<long>{-1, 0, 1, 2147483647});
  add(9, std::vector<vcUIRect>{vcUIRect(0, 0, 2, 2), vcUIRect(5, 5, 1, 1)});

  vcGraphicProps obj(vcColor::greenColor(), 2);
  addObject(&obj);
  vcGraphic::BadParams withMessage("Item index out of range");
  addObject(&withMessage);
  vcUIError::InvalidUISketch plain;
  addObject(&plain);

  // Shapes by class name, and their fixed-size images.
  const vcEllipse ellipse(vcVector<2>(10, 20), vcVector<2>(8, 3), vcRadian(0.3));
  const vcEllipse inner(vcVector<2>(10, 20), vcVector<2>(4, 1.5), vcRadian(0.3));
  const vcEllipseArc arc(ellipse, vcRadian(0.5), vcRadian(2.0));
  const vcEllipseAnnulusSection section(vcEllipseAnnulus(inner, ellipse), vcRadian(0.2), vcRadian(1.5), true);
  const vcGenRect genRect(vcVector<2>(5, 5), vcVector<2>(10, 6), vcRadian(0.4), vcVector<2>(0.5, 0.25));
  const vcGenAnnulus genAnnulus(vcVector<2>(0, 0), 2.0, 5.0);
  const vcAffineRectangle affine(vcVector<2>(0, 0), vcVector<2>(4, 1), vcVector<2>(1, 3));
  const vcRect rect(1, 2, 3, 4);
  const vcCross cross(vcVector<2>(3, 4), vcRadian(0.25), 7);
  std::vector<vcShapeHandle> shapes = {
      vfShapeHandle(ellipse), vfShapeHandle(arc), vfShapeHandle(section), vfShapeHandle(genRect),
      vfShapeHandle(genAnnulus), vfShapeHandle(affine), vfShapeHandle(rect), vfShapeHandle(cross),
      vfShapeHandle(vcCircle(vcVector<2>(1, 1), 2)), vfShapeHandle(vcAnnulus(vcVector<2>(0, 0), 1, 2)),
      vfShapeHandle(vcLineSeg(vcVector<2>(0, 0), vcVector<2>(3, 4))),
      vfShapeHandle(vcLine(vcRadian(0.5), vcVector<2>(1, 1))),
      vfShapeHandle(vcPolygon({vcVector<2>(0, 0), vcVector<2>(4, 0), vcVector<2>(0, 3)}, vcPolygon::eWinding)),
      vfShapeHandle(vcPolyline({vcVector<2>(0, 0), vcVector<2>(4, 0)}, false)),
      vfShapeHandle(vcCoordAxes(vcVector<2>(0, 0), vcVector<2>(5, 0), vcVector<2>(0, 5))),
      vfShapeHandle(vcEllipse2(vcVector<2>(3, 2), vcRadian(0.1), vcVector<2>(4, 4)))};
  for (const vcShapeHandle& shape : shapes) addObject(shape.ptr());
  auto addImage = [&](std::uint8_t which, const auto& shape) {
    std::vector<std::uint8_t> s{12, which};
    std::vector<unsigned char> image(std::decay_t<decltype(shape)>::kImageSize);
    shape.writeImage(image.data());
    s.insert(s.end(), image.begin(), image.end());
    seeds.push_back(std::move(s));
  };
  addImage(0, ellipse);
  addImage(1, arc);
  addImage(2, section);
  addImage(3, genRect);
  addImage(4, genAnnulus);
  addImage(5, affine);
  addImage(6, rect);
  addImage(7, cross);

  // Segments and dimensions (selectors 0xF8 onwards), the arc in both versions.
  add(0xF8, vc2SegmentLine(vcVector<2>(-1, 2), vcVector<2>(3.5, 4)));
  const vc2SegmentArc segArc = vcXform<2>(vcMatrix<2>(1, 0.5, 0, -2), vcVector<2>(1, 1)) *
                               vc2SegmentArc(vcVector<2>(0, 0), vcVector<2>(4, 0), vcDegree(-120));
  add(0xF9, segArc);
  {
    vcBufferArchive ar(vcArchive::eStore);
    vc2SegmentArc v0 = segArc;
    ar || v0;
    std::vector<std::uint8_t> s{0xF9, 0};
    s.insert(s.end(), ar.bytes().begin() + 1, ar.bytes().begin() + 41);  // without the transform
    seeds.push_back(std::move(s));
  }
  add(0xFA, vcDimTol(10, 0.1, 0.2, vcDimTol::ePercentages));
  add(0xFB, vcDimTol::eOffsets);
  add(0xFC, vcSMDDimension(5, 4.5, -1, vcSMDDimension::eScaleProportional));

  // SMD polys (rounded corners and arcs, open and closed), a vertex and colors.
  vcSMDGDPoly smd("seed");
  const vcDimTol offsets(10.5, 1, 2, vcDimTol::eOffsets);
  smd << vcSMDGDPolyVertex(vcVector<2>(0, 0), 1.0, vcDegree(0), 0.5, 0.5, 1, vcDimTol())
      << vcSMDGDPolyVertex(vcVector<2>(10, 0), -2.0, vcDegree(40), 0.5, 0.5, 2, offsets)
      << vcSMDGDPolyVertex(vcVector<2>(10, 10), 0.0, vcDegree(0), 0.3, 0.5, 1, vcDimTol())
      << vcSMDGDPolyVertex(vcVector<2>(0, 10), 1.5, vcDegree(-30), 0.5, 0.5, -1, vcDimTol());
  add(0xFD, smd);
  smd.close();
  smd.toggleDirection();
  add(0xFD, smd);
  add(0xFD, vcSMDGDPoly::circle(3, vcVector<2>(1, 1)));
  addObject(&smd);
  add(0xFE, smd.vertex(1));
  add(0xFF, vcSMDColors(vcColor(1, 2, 3), vcColor::whiteColor(), vcColor(7)));

  // Graphic lists (0xF7 0), one graphic shared twice, and graphics in place (0xF7 1).
  {
    vcGraphicList list;
    const vcPtrHandle<vcGraphic> shared = vcGraphic::makeShapeGraphic(rect, vcGraphicProps(vcColor(1, 2, 3), 2));
    list.append(shared, false);
    list.append(vcGraphic::makeShapeGraphic(vcCircle(vcVector<2>(1, 1), 2), vcGraphicProps()), false);
    list.append(vcPtrHandle<vcGraphic>(), false);
    list.append(shared, false);
    vcBufferArchive ar(vcArchive::eStore);
    ar || list;
    std::vector<std::uint8_t> s{0xF7, 0};
    s.insert(s.end(), ar.bytes().begin(), ar.bytes().end());
    seeds.push_back(std::move(s));
  }
  const vcGraphicProps red(vcColor::redColor(), 2);
  vcPtrHandle<vcGraphicGroup> group(new vcGraphicGroup);
  group->items({vcGraphic::makeShapeGraphic(rect, red), vcPtrHandle<vcGraphic>()}, false);
  std::vector<vcPtrHandle<vcGraphic>> graphics = {
      vcGraphic::makeShapeGraphic(vcLineSeg(vcVector<2>(0, 0), vcVector<2>(3, 4)), red),
      vcGraphic::makeShapeGraphic(rect, red),
      vcGraphic::makeShapeGraphic(vcPolyline({vcVector<2>(0, 0), vcVector<2>(4, 0)}, false), red),
      vcGraphic::makeShapeGraphic(section, red),
      vcPtrHandle<vcGraphic>(new vcGraphicText("seed", vcPoint(2, 3), vcColor::redColor(), vcColor::blackColor(),
                                               vcUIFormat(4, vcUIFormat::eCenter), vcVector<2>(2, -1))),
      vcPtrHandle<vcGraphic>(group),
      vcPtrHandle<vcGraphic>(new vcGraphicPointIcon(vcPoint(5, 6), red)),
      vcPtrHandle<vcGraphic>(new vcGraphicCross(cross, red)),
  };
  for (std::size_t i = 0; i < graphics.size(); ++i) {
    vcBufferArchive ar(vcArchive::eStore);
    ar || static_cast<vcPersistent&>(*graphics[i]);
    std::vector<std::uint8_t> s{0xF7, 1, static_cast<std::uint8_t>(i)};
    s.insert(s.end(), ar.bytes().begin(), ar.bytes().end());
    seeds.push_back(std::move(s));
    addObject(graphics[i].ptr());
  }

  // Generalised polys (0xF7 2) and wireframes (0xF7 3),
  // open and closed, with arcs, roundings, tolerances and reversed polarity.
  auto addExtended = [&](std::uint8_t slot, auto value) {
    vcBufferArchive ar(vcArchive::eStore);
    ar || value;
    std::vector<std::uint8_t> s{0xF7, slot};
    s.insert(s.end(), ar.bytes().begin(), ar.bytes().end());
    seeds.push_back(std::move(s));
  };
  vcGenPoly gen;
  gen.insertVertex(vcVector<2>(0, 0), 0, vcRadian(0));
  gen.insertVertex(vcVector<2>(6, 0), 1.5, vcDegree(-40));
  gen.insertVertex(vcVector<2>(6, 6), 0, vcRadian(0));
  addExtended(2, gen);
  gen.close(vcDegree(20));
  gen.setMutable(false);
  addExtended(2, gen.map(vcXform<2>(vcMatrix<2>(0, -2, 1, 0), vcVector<2>(5, 5))));
  vc2Wireframe wire(gen, vcDimTol(-1, 0.2, 0.3, vcDimTol::ePercentages));
  wire.polarity(true);
  addExtended(3, wire);
  addObject(&gen);
  addObject(&wire);
  // SMD models (0xF7 4): a rounded, bowed outline and an open one, moved.
  vcSMDGDModel model("model");
  model << vcSMDGDPoly::rectangle(4, 2, vcVector<2>(1, 1)) << wire.poly();
  vcSMDGDPoly open("open");
  open << vcSMDGDPolyVertex(vcVector<2>(-3, 0), 0.5, 0.5, 7) << vcSMDGDPolyVertex(vcVector<2>(3, 1), 0.5, 0.5, 8);
  model << open;
  addExtended(4, vc2Rigid(vcRadian(0.25), vcVector<2>(1, -1)) * model);
  addObject(&model);

  vcPelBuffer<unsigned char> img(9, 3);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 9; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(x < 4 ? 1 : y);
  const vcRLEBuffer rle = vcRLEBuffer::encode(img);
  std::vector<std::uint8_t> runs{11, 9, 0, 3, 0};
  runs.insert(runs.end(), rle.runs().begin(), rle.runs().end());
  seeds.push_back(std::move(runs));
  return seeds;
}
