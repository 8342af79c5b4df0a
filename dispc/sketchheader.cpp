// vc_UISketchOpHeader: the props record and the 8-byte head of a sketch
// record, parsed from untrusted bytes, written back into sketches and
// archived field by field.
#include <vc/sketchop.h>

#include <cstdint>
#include <string>

#include <vc/core/archive.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>

#include "payloads.h"

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
  if (!p || n < 0) vc_PayloadReader::fail("no bytes for a record head");
  // Well-formed records whose bytes are all there take the short way;
  // anything else goes through the reader, which says what is wrong.
  if (const long used = vc_HeadReader::take(*this, p, n)) [[likely]]
    return used;
  // Everything is read before anything is committed, so a record that turns
  // out malformed leaves the header as it was; a props record's body is
  // applied last, and a bad one changes nothing.
  vc_PayloadReader reader(p, static_cast<std::size_t>(n));
  vc_HeadPayload head;
  if (n == 0 || p[0] != static_cast<unsigned char>(vcUISketch::kPropsMarker)) {
    head.io(reader);
    commitHead_(head.opcode, head.layer, head.color);
    return vcUISketch::kHeadSize;
  }
  vc_PropsPayload body;
  reader.take(1);
  body.io(reader);
  if (reader.remaining() > 0 && *reader.position() == static_cast<unsigned char>(vcUISketch::kPropsMarker))
    vc_PayloadReader::fail("props record followed by another");
  head.io(reader);
  try {
    body.applyTo(props_);
  } catch (const vcGraphicProps::BadParams&) {
    vc_PayloadReader::fail("props record with pen width " + std::to_string(body.width));
  }
  hasProps_ = true;
  propsVersion_ = static_cast<signed char>(body.version);
  commitHead_(head.opcode, head.layer, head.color);
  return static_cast<long>(reader.consumed());
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
