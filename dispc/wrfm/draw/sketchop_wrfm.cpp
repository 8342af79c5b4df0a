// The record classes of generalised polygons and wireframes
// (<vc/wrfm/sketchop_wrfm.h>). Each forwards to an internal record object of
// the shared sketch-record machinery, which keeps the payload as parsed (so
// that it is written back byte for byte) and the shape built from it.
//
// The version-0 layout is the current one: each vertex's last 32 bytes are
// the tolerance's three doubles and a long, built into the tolerance through
// its constructor in both, so the version-0 reader is the default one.
#include <vc/wrfm/sketchop_wrfm.h>

#include "sketchop_impl.h"
#include "genpoly_payload.h"

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
