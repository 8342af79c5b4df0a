#include <vc/dispprop.h>

#include <cstdint>

#include <vc/core/archive.h>
#include <vc/uisketch.h>

#include "error_impl.h"
#include "payloads.h"

const vc_Instantiator vcGraphicProps::sExemplar(typeid(vcGraphicProps), &vcGraphicProps::make);

vcPersistent* vcGraphicProps::make() { return new vcGraphicProps; }

vcGraphicProps::vcGraphicProps() : penColor_(vcColor::cyanColor()) {}

vcGraphicProps::vcGraphicProps(const vcColor& color, long penWidth, vePenStyle penStyle, bool fill)
    : penColor_(color), penWidth_(penWidth), penStyle_(penStyle), fill_(fill) {
  if (penWidth < 0 || penWidth > kMaxPenWidth) throw BadParams();
}

vcGraphicProps::vcGraphicProps(const vcGraphicProps& o)
    : vcPersistent(),
      penColor_(o.penColor_),
      penWidth_(o.penWidth_),
      penStyle_(o.penStyle_),
      fill_(o.fill_),
      penJoin_(o.penJoin_),
      penEndCap_(o.penEndCap_),
      arrowHead_(o.arrowHead_),
      arrowHeadForward_(o.arrowHeadForward_),
      showVertex_(o.showVertex_) {}

vcGraphicProps& vcGraphicProps::operator=(const vcGraphicProps& o) {
  if (this == &o) return *this;
  notifyMutation_();
  penColor_ = o.penColor_;
  penWidth_ = o.penWidth_;
  penStyle_ = o.penStyle_;
  fill_ = o.fill_;
  penJoin_ = o.penJoin_;
  penEndCap_ = o.penEndCap_;
  arrowHead_ = o.arrowHead_;
  arrowHeadForward_ = o.arrowHeadForward_;
  showVertex_ = o.showVertex_;
  return *this;
}

// ---- the sketch props record ---------------------------------------------

void vcGraphicProps::writeRecord(const vcGraphicProps& p, unsigned char* out) {
  vc_PropsPayload body = vc_PropsPayload::of(p);
  vc_PayloadWriter writer(out);
  body.io(writer);
}

void vcGraphicProps::readRecord(vcGraphicProps& target, const unsigned char* b) {
  vc_PropsPayload body;
  vc_PayloadReader reader(b, kRecordSize - 1);
  body.fields(reader);
  vcGraphicProps next(target);
  body.applyTo(next);
  target = next;
}

long vcGraphicProps::opcode(vcUISketch* sketch, const vcGraphicProps& props) const {
  if (!sketch) return 0;
  writeRecord(props, sketch->append(kRecordSize));
  return kRecordSize;
}

long vcGraphicProps::opcode(vcGraphicProps* target, const unsigned char* bytes) const {
  if (!target || !bytes) return 0;
  readRecord(*target, bytes);
  return kRecordSize - 1;
}

// ---- archive form ----------------------------------------------------------

void vcGraphicProps::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcGraphicProps))) return;
  unsigned char version = ckGraphicPropsVersion0;
  ar || version;
  serialize_(ar, version);
  setVisited(this, sizeof(vcGraphicProps));
}

void vcGraphicProps::serialize_(vcArchive& ar, unsigned char version) {
  if (version != ckGraphicPropsVersion0) throw vcArchive::UnknownVersion("dispc/dispprop", 49);
  vcPersistent::dispatchSerialize(ar);
  // Exchanged through temporaries so that a failed load changes nothing.
  vcColor color = penColor_;
  long width = penWidth_;
  int style = penStyle_, join = penJoin_, cap = penEndCap_;
  bool fill = fill_, arrow = arrowHead_, forward = arrowHeadForward_, vertex = showVertex_;
  ar || color || width || style || fill || join || cap || arrow || forward || vertex;
  if (ar.isLoading()) {
    // A negative width cannot be set through the interface; an archive that
    // holds one is corrupt.
    if (width < 0) throw BadParams();
    notifyMutation_();
    penColor_ = color;
    penWidth_ = width;
    penStyle_ = static_cast<vePenStyle>(style);
    fill_ = fill;
    penJoin_ = static_cast<vePenJoin>(join);
    penEndCap_ = static_cast<vePenEndCap>(cap);
    arrowHead_ = arrow;
    arrowHeadForward_ = forward;
    showVertex_ = vertex;
  }
}
