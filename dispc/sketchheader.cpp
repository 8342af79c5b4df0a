// vc_UISketchOpHeader: the props record and the 8-byte head of a sketch
// record, parsed from untrusted bytes, written back into sketches and
// archived field by field.
#include <vc/sketchop.h>

#include <cstdint>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>

namespace {

// Props record: marker, version, then the body that readRecord takes.
constexpr long kPropsRecordSize = 1 + vcGraphicProps::kRecordSize;
// Offsets of the flag bytes within the body after the version byte.
constexpr int kPropsFlagOffsets[] = {0, 17, 18, 19};

[[noreturn]] void malformed() { throw vcUIError::InvalidUISketch(); }

}  // namespace

const vc_Instantiator vc_UISketchOpHeader::sExemplar(typeid(vc_UISketchOpHeader), &vc_UISketchOpHeader::make);

vcPersistent* vc_UISketchOpHeader::make() { return new vc_UISketchOpHeader; }

vc_UISketchOpHeader::vc_UISketchOpHeader() : color_(vcColor::cyanColor()) {}

vc_UISketchOpHeader::vc_UISketchOpHeader(const vc_UISketchOpHeader& o)
    : vcPersistent(o),
      vcRepBase(o),
      hasProps_(o.hasProps_),
      propsVersion_(o.propsVersion_),
      props_(o.props_),
      layer_(o.layer_),
      color_(o.color_),
      opcode_(o.opcode_) {}

vc_UISketchOpHeader& vc_UISketchOpHeader::operator=(const vc_UISketchOpHeader& o) {
  if (this == &o) return *this;
  hasProps_ = o.hasProps_;
  propsVersion_ = o.propsVersion_;
  props_ = o.props_;
  layer_ = o.layer_;
  color_ = o.color_;
  opcode_ = o.opcode_;
  return *this;
}

long vc_UISketchOpHeader::parseByteStream(const unsigned char* p, long n) {
  if (!p || n < vcUISketch::kHeadSize) malformed();
  // Everything is read into locals and committed at the end, so a record
  // that turns out malformed leaves the header as it was.
  long used = 0;
  bool hasProps = hasProps_;
  signed char propsVersion = propsVersion_;
  vcGraphicProps props(props_);
  if (p[0] == static_cast<unsigned char>(vcUISketch::kPropsMarker)) {
    if (n < kPropsRecordSize + vcUISketch::kHeadSize) malformed();
    if (p[1] != vcGraphicProps::ckGraphicPropsVersion0) malformed();
    const unsigned char* body = p + 2;
    for (int at : kPropsFlagOffsets)
      if (body[at] > 1) malformed();
    try {
      vcGraphicProps::readRecord(props, body);
    } catch (const vcGraphicProps::BadParams&) {
      malformed();
    }
    hasProps = true;
    propsVersion = static_cast<signed char>(p[1]);
    used = kPropsRecordSize;
    if (p[used] == static_cast<unsigned char>(vcUISketch::kPropsMarker)) malformed();
  }
  const unsigned char* head = p + used;
  if (head[1] > vcUITabletTypes::eBoth) malformed();
  vcColor color;
  if (!vcColor::fromBytes(head + 2, color)) malformed();
  props.penColor(color);

  hasProps_ = hasProps;
  propsVersion_ = propsVersion;
  props_ = props;
  opcode_ = head[0];
  layer_ = static_cast<Layers>(head[1]);
  color_ = color;
  return used + vcUISketch::kHeadSize;
}

void vc_UISketchOpHeader::populateSketch(vcUISketch& sketch) const {
  if (hasProps_) sketch.opcode(vcUISketch::kPropsMarker, props_);
  sketch.opcode(static_cast<signed char>(opcode_), static_cast<signed char>(layer_), color_);
}

void vc_UISketchOpHeader::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vc_UISketchOpHeader))) return;
  unsigned char version = 0;
  ar || version;
  serialize_(ar, version);
  setVisited(this, sizeof(vc_UISketchOpHeader));
}

void vc_UISketchOpHeader::serialize_(vcArchive& ar, unsigned char version) {
  if (version != 0) throw vcArchive::UnknownVersion("dispc/sketchop", __LINE__);
  vcPersistent::dispatchSerialize(ar);
  bool hasProps = hasProps_;
  signed char propsVersion = propsVersion_;
  vcGraphicProps props(props_);
  long layer = layer_;
  vcColor color = color_;
  long opcode = opcode_;
  ar || hasProps;
  if (hasProps) ar || propsVersion || props;
  ar || layer || color || opcode;
  if (!ar.isLoading()) return;
  if (hasProps && propsVersion != static_cast<signed char>(vcGraphicProps::ckGraphicPropsVersion0))
    vcArchive::fail("sketch header with props record version " + std::to_string(propsVersion));
  if (layer < vcUITabletTypes::eImage || layer > vcUITabletTypes::eBoth)
    vcArchive::fail("sketch header with layer " + std::to_string(layer));
  if (opcode < 0 || opcode > 0xFF) vcArchive::fail("sketch header with opcode " + std::to_string(opcode));
  hasProps_ = hasProps;
  propsVersion_ = hasProps ? propsVersion : propsVersion_;
  props_ = props;
  layer_ = static_cast<Layers>(layer);
  color_ = color;
  opcode_ = opcode;
}
