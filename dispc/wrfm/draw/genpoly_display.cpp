// Generalised polygons and wireframes in the display layer: their sketch
// payload and its codec, the tablet's operations, the sketch record classes,
// the graphics, and the classes' registration for the tablet's generic draw
// and makeShapeGraphic.
#include <vc/uitablet.h>

#include <cmath>
#include <string>
#include <type_traits>
#include <vector>

#include <vc/core/exception.h>
#include <vc/dispprop.h>
#include <vc/uiscope.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/graphic_wrfm.h>
#include <vc/wrfm/sketchop_wrfm.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/wireframe.h>

#include "graphic_shapes_impl.h"
#include "payloads.h"
#include "shape_classes.h"
#include "sketchop_impl.h"
#include "tablet_guards.h"
#include "tablet_record.h"

// The sketch payload of generalised polygons and wireframes (opcodes 34, 38
// and 41): made from a poly by the tablet's recorder and by archive loads,
// and built back into a poly for replay, which so validates it.
struct vc_GenPolyCodec {
  using Payload = vc_GenPolyPayload;
  static Payload of(const vcGenPoly& g);
  // Throws a vcException for values no poly holds: non-finite numbers, an
  // invalid tolerance, vertices the SMD poly rejects, a singular transform.
  // The vertices' fractions, labels and extensions take their defaults.
  static vcGenPoly shape(const Payload& p);
};

// The payload has no place for the direction flag: a wireframe read back
// has its polarity not reversed.
struct vc_WireframeCodec {
  using Payload = vc_GenPolyPayload;
  static Payload of(const vc2Wireframe& w) { return vc_GenPolyCodec::of(w); }
  static vc2Wireframe shape(const Payload& p) { return vc2Wireframe(vc_GenPolyCodec::shape(p)); }
};

vc_GenPolyPayload vc_GenPolyCodec::of(const vcGenPoly& g) {
  const vcSMDGDPoly& poly = g.poly();
  vc_GenPolyPayload p;
  p.xform = g.xform();
  p.isMutable = g.isMutable();
  for (const vcSMDGDPolyVertex& v : poly.vertices()) {
    const vcDimTol& t = v.segmentLengthTol();
    p.vertices.push_back({v.point(), v.vertexRadius(), v.segmentAngleSpan().toDouble(), t.nomDim(), t.minTol(),
                          t.maxTol(), static_cast<long>(t.tolType())});
  }
  p.roundStart = poly.roundingStartPoints();
  p.roundEnd = poly.roundingEndPoints();
  p.roundSpan = poly.roundingSpans();
  p.open = poly.isOpen();
  return p;
}

vcGenPoly vc_GenPolyCodec::shape(const vc_GenPolyPayload& p) {
  std::vector<vcSMDGDPolyVertex> list;
  list.reserve(p.vertices.size());
  for (const vc_GenPolyVertexPayload& v : p.vertices) {
    if (!std::isfinite(v.point.x()) || !std::isfinite(v.point.y()) || !std::isfinite(v.radius) ||
        !std::isfinite(v.span))
      throw vcShapesError::BadGeom("sketch record: poly vertex value is not finite");
    for (double t : {v.nom, v.min, v.max})
      if (!std::isfinite(t)) throw vcShapesError::BadGeom("sketch record: poly tolerance is not finite");
    const vcDimTol tol(v.nom, v.min, v.max, static_cast<vcDimTol::TolType>(static_cast<std::uint32_t>(v.type)));
    list.emplace_back(v.point, v.radius, vcDegree(v.span), 0.5, 0.5, -1, tol);
  }
  vcSMDGDPoly poly;
  poly.vertices(list);
  if (!p.open) poly.close();
  return vcGenPoly(poly, p.xform, p.isMutable);
}

// The tablet's operations: each shape is mapped to the layer's scope and
// drawn there as straight pieces, and recorded in client coordinates.
void vcUITablet::draw(const vcGenPoly& g, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) g.map(scaledMap_).drawToScope(props, *drawScope_[layer]);
  if (!recording()) return;
  if (props.fill())
    record_<38>(layer, props, vc_GenPolyCodec::of(g));
  else
    record_<34>(layer, props, vc_GenPolyCodec::of(g));
}

void vcUITablet::draw(const vc2Wireframe& w, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) {
    const vcGenPoly& mapped = w.map(scaledMap_);
    mapped.drawToScope(props, *drawScope_[layer]);
  }
  if (recording()) record_<41>(layer, props, vc_WireframeCodec::of(w));
}

void vcUITablet::draw(const vcGenPoly& g, const vcColor& color, Layers layer, bool fill) {
  draw(g, vfPropsOf(color, fill), layer);
}
void vcUITablet::draw(const vc2Wireframe& w, const vcColor& color, Layers layer, bool fill) {
  draw(w, vfPropsOf(color, fill), layer);
}

// The record classes of generalised polygons and wireframes
// (<vc/wrfm/sketchop_wrfm.h>). Each forwards to an internal record object of
// the shared sketch-record machinery, which keeps the payload as parsed (so
// that it is written back byte for byte) and the shape built from it.
//
// The version-0 layout is the current one: each vertex's last 32 bytes are
// the tolerance's three doubles and a long, built into the tolerance through
// its constructor in both, so the version-0 reader is the default one.
class vc_UISketchOpPolyRecord::Held {
public:
  virtual ~Held() = default;
  virtual vc_UISketchOpData& record() = 0;
  // The record's archive form after the version byte.
  virtual void exchange(vcArchive& ar, unsigned char version) = 0;
};

namespace {

template <class S, class Codec>
class vc_PolyRecordHeld : public vc_UISketchOpPolyRecord::Held, public vc_UISketchOpShape<S, Codec> {
public:
  vc_UISketchOpData& record() override { return *this; }
  void exchange(vcArchive& ar, unsigned char version) override { this->serialize_(ar, version); }
};

}  // namespace

// Named after the public record, for the messages of failed loads.
class vc_UISketchOpGenPoly::Record final : public vc_PolyRecordHeld<vcGenPoly, vc_GenPolyCodec> {};
class vc_UISketchOpWireframe::Record final : public vc_PolyRecordHeld<vc2Wireframe, vc_WireframeCodec> {};

vc_UISketchOpPolyRecord::vc_UISketchOpPolyRecord(std::unique_ptr<Held> held) : held_(std::move(held)) {}
vc_UISketchOpPolyRecord::~vc_UISketchOpPolyRecord() = default;

long vc_UISketchOpPolyRecord::parseByteStream(const unsigned char* p, long n) {
  return held_->record().parseByteStream(p, n);
}
void vc_UISketchOpPolyRecord::populateSketch(vcUISketch& sketch) const { held_->record().populateSketch(sketch); }
void vc_UISketchOpPolyRecord::draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const {
  held_->record().draw(tablet, header);
}
std::string vc_UISketchOpPolyRecord::describe() const { return held_->record().describe(); }
void vc_UISketchOpPolyRecord::serialize_(vcArchive& ar, unsigned char version) { held_->exchange(ar, version); }

vc_UISketchOpGenPoly::vc_UISketchOpGenPoly() : vc_UISketchOpPolyRecord(std::make_unique<Record>()) {}
vcGenPoly vc_UISketchOpGenPoly::genPoly() const { return static_cast<const Record&>(held()).shape(); }
VC_SKETCH_OP_REGISTER(vc_UISketchOpGenPoly);

vc_UISketchOpWireframe::vc_UISketchOpWireframe() : vc_UISketchOpPolyRecord(std::make_unique<Record>()) {}
vc2Wireframe vc_UISketchOpWireframe::wireframe() const { return static_cast<const Record&>(held()).shape(); }
VC_SKETCH_OP_REGISTER(vc_UISketchOpWireframe);

template class vcGraphicBuiltin<vcGenPoly>;
template class vcGraphicBuiltin<vc2Wireframe>;
template class vcGraphicSimple<vcGenPoly>;
template class vcGraphicSimple<vc2Wireframe>;

namespace {

// A wireframe is a vcGenPoly but keeps its own class: as a poly it would draw,
// archive and record as a plain poly.
template <class S>
bool claims(const vcShape& s) {
  if constexpr (std::is_same_v<S, vcGenPoly>)
    return dynamic_cast<const vcGenPoly*>(&s) && !dynamic_cast<const vc2Wireframe*>(&s);
  else
    return dynamic_cast<const S*>(&s) != nullptr;
}

template <class S>
void drawShape(vcUITablet& t, const vcShape& s, const vcXform<2>* map, const vcGraphicProps& props,
               vcUITablet::Layers layer) {
  const auto& typed = dynamic_cast<const S&>(s);
  t.draw(map ? typed.map(*map) : typed, props, layer);
}

template <class S>
vcPtrHandle<vcGraphic> graphic(const vcShape& s, const vcGraphicProps& props) {
  return vcPtrHandle<vcGraphic>(new vcGraphicSimple<S>(dynamic_cast<const S&>(s), props));
}

// Steps 13 and 14 of makeShapeGraphic.
const vc_ShapeClassRegistration kGenPoly({13, &claims<vcGenPoly>, &drawShape<vcGenPoly>, &graphic<vcGenPoly>});
const vc_ShapeClassRegistration kWireframe({14, &claims<vc2Wireframe>, &drawShape<vc2Wireframe>,
                                            &graphic<vc2Wireframe>});

}  // namespace
