#include "support/opcode_catalogue.h"

#include <numbers>

#include <vc/display.h>

#include "support/bytes.h"

namespace {

using L = vcUITablet::Layers;
using V = vcVector<2>;

// Props unlike the defaults in every field, so that a field written to the
// wrong place shows in the bytes.
vcGraphicProps odd(bool fill = false) {
  vcGraphicProps p(vcColor(200, 10, 30), 3, vcGraphicProps::ePenDashDot, fill);
  p.penJoin(vcGraphicProps::eJoinMiter);
  p.penEndCap(vcGraphicProps::eCapFlat);
  p.arrowHead(false);
  p.arrowHeadForward(true);
  p.showVertex(true);
  return p;
}

// An application shape kind known only to the tests; its data round-trips,
// so that a replay draws the shape the direct call drew.
class vcCatalogueShape : public vcGenShape {
public:
  static constexpr tagShapeID kId{{0x76, 0x63, 0x74, 0x73, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
  tagShapeID shapeID() const override { return kId; }
  std::vector<unsigned char> data() const override { return data_; }
  void load(const unsigned char* b, long n) override { data_.assign(b, b + n); }
  vcShapeHandle mapShape(const vcXform<2>&) const override { return vfShapeHandle(*this); }
  vcRect boundingBox() const override { return vcRect(1, 2, 3, 4); }
  double distanceToPoint(const V&) const override { return 0; }
  std::vector<unsigned char> data_{9, 8, 7, 6};
};
const bool kCatalogueShapeKnown =
    (vcGenShape::registerGenShape(vcCatalogueShape::kId, [] { return static_cast<vcGenShape*>(new vcCatalogueShape); }),
     true);

// A poly with sharp and rounded corners, an arc segment and a placement
// transform that is not a similarity.
vcGenPoly cataloguePoly(bool closed) {
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, vcRadian(0));
  g.insertVertex(V(20, 0), 3, vcRadian(0));
  g.insertVertex(V(20, 15), 2, vcRadian(0.8));
  g.insertVertex(V(0, 15), 0, vcRadian(0));
  if (closed) g.close(vcRadian(0));
  return g.map(vcXform<2>(vcMatrix<2>(1.5, 0.2, -0.1, 1.2), V(10, 5)));
}

// A closed wireframe with one segment toleranced.
vc2Wireframe catalogueWireframe(bool reversed) {
  vc2Wireframe w(cataloguePoly(true));
  w.segmentLengthTol(0, vcDimTol(20, 1, 2, vcDimTol::eOffsets));
  w.polarity(reversed);
  return w;
}

vcPelBuffer<unsigned char> gradient() {
  vcPelBuffer<unsigned char> img(5, 4);
  for (long y = 0; y < 4; ++y)
    for (long x = 0; x < 5; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(16 * y + 3 * x + 1);
  img.window(vcRectangle<long>(1, 1, 3, 2));
  img.clientFromImageXform(vcXform<2>(vcMatrix<2>(2, 0, 0.5, 3), V(-1, 7)));
  return img;
}

vcRLEBuffer runs() {
  vcPelBuffer<unsigned char> img(6, 3);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 6; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(x < 2 + y ? 1 : 2);
  return vcRLEBuffer::encode(img);
}

const vcEllipse kEllipse(V(30, 20), V(12, 5), vcRadian(0.5));
const vcEllipseAnnulusSection kSection(vcEllipse(V(40, 30), V(4, 3), vcRadian(0.25)),
                                       vcEllipse(V(40, 30), V(12, 9), vcRadian(0.25)), vcRadian(0.3),
                                       vcRadian(std::numbers::pi / 2), true);

// The text of the Unicode record: "Aé€" and a surrogate pair.
const std::u16string kWide = u"A\u00e9\u20ac\U0001F600";

void unicodeRecord(vcUITablet& t, L l) {
  vcUISketch& s = t.sketch();
  s.opcode(vcUISketch::kPropsMarker, vcGraphicProps(vcColor(4, 5, 6), 1));
  s.opcode(35, static_cast<signed char>(l), vcColor(4, 5, 6));
  vcTestBytes b;
  b.vec(12.5, 30).color(vcColor(7, 8, 9)).i32(2).i32(4);
  for (char16_t u : kWide) b.u16(u);
  b.u16(0);
  s.append(b.data(), static_cast<long>(b.size()));
}

#define VC_DRAW(...) [=](vcUITablet& t, L l) { __VA_ARGS__; }

std::vector<vcCatalogueEntry> build() {
  const vcGraphicProps P = odd(), PF = odd(true);
  vcGraphicProps PA = P;  // P with arrows
  PA.arrowHead(true);
  (void)kCatalogueShapeKnown;
  return {
      // First: on a recording tablet it starts the sketch afresh.
      {17, "set_all", VC_DRAW(t.set(vcColor(9, 1, 9), l))},
      {0, "point", VC_DRAW(t.draw(vcPoint(3.25, -4.5), P, l))},
      {1, "point_icon", VC_DRAW(t.drawPointIcon(vcPoint(10, 12), P, l))},
      {2, "line_seg", VC_DRAW(t.draw(vcLineSeg(V(1, 2), V(50, 70.5)), P, l))},
      {3, "line", VC_DRAW(t.draw(vcLine(vcRadian(0.3), V(5, 7)), P, l))},
      {4, "circle", VC_DRAW(t.draw(vcCircle(V(20, 25), 6.5), P, l))},
      {5, "ellipse", VC_DRAW(t.draw(kEllipse, P, l))},
      {6, "ellipse_arc", VC_DRAW(t.draw(vcEllipseArc(kEllipse, vcRadian(0.1), vcRadian(2.5)), P, l))},
      {7, "ellipse_annulus_section", VC_DRAW(t.draw(kSection, PA, l))},
      {8, "gen_rect", VC_DRAW(t.draw(vcGenRect(V(30, 20), V(16, 8), vcRadian(0.2), V(0.5, 0.25)), P, l))},
      {9, "gen_annulus", VC_DRAW(t.draw(vcGenAnnulus(V(30, 30), 4, 9), P, l))},
      {10, "coord_axes", VC_DRAW(t.draw(vcCoordAxes(V(5, 6), V(25, 6), V(5, 30)), P, l))},
      {11, "string",
       VC_DRAW(t.draw(std::string("vc text"), vcPoint(12.5, 30), vcColor(1, 2, 3), vcColor(7, 8, 9),
                      vcUIFormat(2, vcUIFormat::Alignment(4)), l))},
      {12, "pel_buf8", VC_DRAW(t.draw(gradient(), vcPoint(3, 4), true, 7, true, l))},
      {14, "rle_buf", VC_DRAW(t.draw(runs(), vcPoint(1, 2), {0, 40, 90}, true, 3, false, l))},
      {15, "sketch",
       [P](vcUITablet& t, L l) {
         vcUITablet inner;
         inner.recordOn() = true;
         inner.draw(vcLineSeg(V(1, 1), V(9, 4)), P, l);
         inner.drawStart(vcPoint(2, 2), l);
         t.draw(inner.sketch(), vcPoint(5, -3), l);
       }},
      {16, "set", VC_DRAW(t.set(vcUIRect(1, 2, 30, 40), vcColor(9, 9, 1), l))},
      {16, "set_client_rect", VC_DRAW(t.set(vcRect(1.5, 2.5, 30, 40), vcColor(9, 9, 2), l))},
      {18, "set_complement", VC_DRAW(t.setComplement(vcRect(1.5, 2, 30, 40), vcColor(1, 9, 9), l))},
      {18, "set_complement_pixels", VC_DRAW(t.setComplement(vcUIRect(2, 2, 50, 40), vcColor(2, 9, 9), l))},
      {19, "fill_from_point",
       VC_DRAW(t.fill(vcPoint(3.5, 4.5), vcColor(5, 6, 7), vcColor(8, 9, 10), vcUITablet::eFillSurface, l))},
      {19, "fill",
       VC_DRAW(t.fill(vcPair<long>(3, 4), vcColor(5, 6, 7), vcColor(8, 9, 10), vcUITablet::eFillToBorder, l))},
      {20, "draw_start", VC_DRAW(t.drawStart(vcPoint(7.5, 9), l))},
      {21, "draw_to", VC_DRAW(t.drawTo(vcPoint(30, 40.25), P, l))},
      {22, "draw_to_rel_pels", VC_DRAW(t.drawToRelPels(12, -5, P, l))},
      {23, "move_to_rel_pels", VC_DRAW(t.moveToRelPels(-3, 8, l))},
      {25, "outline3d", VC_DRAW(t.outline3D(vcUIRect(2, 3, 40, 30), vcColor(200, 200, 200), vcColor(50), 3, l))},
      {25, "outline3d_client", VC_DRAW(t.outline3D(vcRect(2.5, 3, 40, 30), vcColor(50), vcColor(200, 200, 200), 1, l))},
      {26, "arrow", VC_DRAW(t.arrowHead(vcPoint(40, 30), V(1, 0.5), 7.5f, PA, l))},
      {27, "affine_rect", VC_DRAW(t.draw(vcAffineRectangle(V(10, 10), V(14, 1), V(1, 9)), P, l))},
      {28, "polygon", VC_DRAW(t.draw(vcPolygon({V(1, 1), V(30, 4), V(12, 25)}, vcPolygon::eWinding), PF, l))},
      {29, "filled_circle", VC_DRAW(t.draw(vcCircle(V(20, 25), 6.5), PF, l))},
      {30, "filled_ellipse", VC_DRAW(t.draw(kEllipse, PF, l))},
      {31, "filled_gen_rect", VC_DRAW(t.draw(vcGenRect(V(30, 20), V(16, 8), vcRadian(0.2), V(0.5, 0.25)), PF, l))},
      {32, "rect", VC_DRAW(t.draw(vcRect(1, 2, 30, 15), P, l))},
      {33, "gen_shape", VC_DRAW(t.draw(vcCatalogueShape(), vcColor(3, 4, 5), l))},
      {34, "gen_poly", VC_DRAW(t.draw(cataloguePoly(false), P, l))},
      {35, "unicode_string", unicodeRecord,
       [](vcUITablet& t, L l) {
         t.draw(std::string("A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), vcPoint(12.5, 30), vcColor(4, 5, 6),
                vcColor(7, 8, 9), vcUIFormat(2, vcUIFormat::Alignment(4)), l);
       }},
      {37, "cross", VC_DRAW(t.draw(vcCross(V(20, 20), vcRadian(0.4), 6), P, l))},
      {38, "filled_gen_poly", VC_DRAW(t.draw(cataloguePoly(true), PF, l))},
      // Without the arrow the props ask for, the section records its own flags.
      {39, "ellipse_annulus_section_arrow_flags", VC_DRAW(t.draw(kSection, P, l))},
      // The record keeps no polarity: a reversed wireframe (recorded here
      // without drawing) replays unreversed, its direction figures pointing
      // the other way.
      {41, "wireframe",
       [PA](vcUITablet& t, L l) {
         t.drawOn().push(false);
         t.draw(catalogueWireframe(true), PA, l);
         t.drawOn().pop();
       },
       VC_DRAW(t.draw(catalogueWireframe(false), PA, l))},
      {42, "bezier_curve", VC_DRAW(t.draw(vcBezierCurve(V(0, 0), V(20, 0), V(20, 20), V(0, 20)), P, l))},
      {43, "cubic_spline", VC_DRAW(t.draw(vcInterpSpline({V(0, 0), V(10, 5), V(20, 0), V(30, 8)}), P, l))},
      {44, "polyline", VC_DRAW(t.draw(vcPolyline({V(1, 1), V(9, 3), V(4, 12)}, true), P, l))},
      {45, "ellipse2", VC_DRAW(t.draw(vcEllipse2(V(12, 5), vcRadian(0.5), V(30, 20)), P, l))},
      {46, "ellipse_arc2",
       VC_DRAW(t.draw(vcEllipseArc2(V(12, 5), vcRadian(0.5), V(30, 20), false, vcRadian(0.2), vcRadian(0.1),
                                    vcRadian(2)), P, l))},
      {47, "clip_rect", VC_DRAW(t.drawClipRect(vcRect(2, 3, 60, 50), l))},
  };
}
#undef VC_DRAW

}  // namespace

const std::vector<vcCatalogueEntry>& vfOpcodeCatalogue() {
  static const std::vector<vcCatalogueEntry> all = build();
  return all;
}

void vfDrawEveryOpcode(vcUITablet& t, vcUITablet::Layers layer) {
  for (const vcCatalogueEntry& e : vfOpcodeCatalogue()) {
    if (!e.direct) {
      e.draw(t, layer);
      continue;
    }
    t.recordOn().push(false);
    e.direct(t, layer);
    t.recordOn().pop();
    if (t.recordOn()) e.draw(t, layer);
  }
}

const vcUISketch& vfSketchOfEveryOpcode() {
  static const vcUISketch sketch = [] {
    vcUITablet t;
    vfDrawEveryOpcode(t, vcUITablet::eImage);
    return t.sketch();
  }();
  return sketch;
}

// at() on the field's last byte keeps a wrong offset from reading past the payload.
double vcTestRecord::f64(std::size_t at) const { return vfTestGetF64(&payload.at(at + 7) - 7); }
long vcTestRecord::i32(std::size_t at) const { return vfTestGet32(&payload.at(at + 3) - 3); }
std::vector<double> vcTestRecord::f64s(std::size_t at, int n) const {
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(f64(at + 8 * static_cast<std::size_t>(i)));
  return v;
}

std::vector<vcTestRecord> vfTestRecords(const vcUISketch& s) {
  std::vector<vcTestRecord> out;
  for (const vcUISketchRecord& r : vcUISketchRecords(s)) {
    const unsigned char* head = r.payload.data() - vcUISketch::kHeadSize;
    out.push_back({head[0], head[1], {head + 2, head + 8}, {r.payload.begin(), r.payload.end()}, r.ownProps});
  }
  return out;
}
