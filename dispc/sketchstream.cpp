// Walking a sketch's byte stream record by record, and the archive form of a
// sketch: one persistent header and one persistent record object per record,
// so that archives do not depend on payload byte layouts.
#include <vc/sketchop.h>

#include <array>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/handle.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>

#include "opcodes.h"

namespace {

// The sketch archive versions: 0 holds a raw byte stream in the older payload
// layouts, 1 a record count and persistent objects.
constexpr signed char kSketchVersion0 = 0;
constexpr signed char kSketchVersion1 = 1;

using vc_OpDataPtr = std::unique_ptr<vc_UISketchOpData>;

// Checks that an archived record object is of the class its header's opcode
// names, so that the bytes rebuilt from them parse again. Keeps one exemplar
// per opcode met.
class vc_RecordClassCheck {
public:
  void operator()(const vc_UISketchOpHeader& h, const vc_UISketchOpData& r) {
    const long op = h.opcode();
    if (op < 0 || op >= kSketchOpcodeSlots) vc_PayloadReader::fail("archived record with opcode " + std::to_string(op));
    vc_OpDataPtr& slot = exemplars_[static_cast<std::size_t>(op)];
    if (!slot) slot.reset(vfCreateUISketchOpData(op));
    const vc_UISketchOpData& exemplar = *slot;
    if (typeid(exemplar) != typeid(r))
      vcArchive::fail("sketch record of class " + r.className() + " under opcode " + std::to_string(op));
  }

private:
  std::array<vc_OpDataPtr, kSketchOpcodeSlots> exemplars_;
};

long countRecords(const vcUISketch& s) {
  long count = 0;
  for (long at = 0; at < s.size(); ++count) {
    vc_UISketchOpHeader header;
    at += vfParseUISketch(s, at, header, nullptr);
  }
  return count;
}

}  // namespace

// Appends the props record (when the header has one) and the head. Unlike the
// header's populateSketch, the props record is written even when its props
// equal the sketch's current ones: a record that had a props record gets one
// back, so the rebuilt bytes are those that were archived. (Whether the
// writer left one out depended on its pen color, which the stream does not
// carry.)
void vfAppendArchivedHead(vcUISketch& into, const vc_UISketchOpHeader& h) {
  if (h.hasProps()) into.opcodeProps_(vcUISketch::kPropsMarker, h.props());
  into.opcode(static_cast<signed char>(h.opcode()), static_cast<signed char>(h.layer()), h.color());
}

namespace {

void storeSketch(vcArchive& ar, const vcUISketch& s) {
  signed char version = kSketchVersion1;
  long count = countRecords(s);
  ar || version || count;
  // The archive tells stored objects apart by address, so every header and
  // record object stays alive until the last one is written.
  std::vector<vcPtrHandle<vc_UISketchOpHeader>> headers;
  std::vector<vcPtrHandle<vc_UISketchOpData>> records;
  headers.reserve(static_cast<std::size_t>(count));
  records.reserve(static_cast<std::size_t>(count));
  for (long at = 0; at < s.size();) {
    headers.push_back(vfMakeHandle<vc_UISketchOpHeader>());
    vc_UISketchOpData* made = nullptr;
    at += vfParseUISketch(s, at, *headers.back(), &made);
    records.emplace_back(made);
    ar || headers.back() || records.back();
  }
}

// Version 1: count, then header and record object per record.
void loadVersion1(vcArchive& ar, vcUISketch& into) {
  long count = 0;
  ar || count;
  if (count <= 0) return;
  // Each record takes at least the tag byte of each of its two objects.
  ar.requireItems(static_cast<std::uint64_t>(count), 2);
  vc_RecordClassCheck check;
  for (long i = 0; i < count; ++i) {
    vcPtrHandle<vc_UISketchOpHeader> header;
    ar || header;
    if (!header) throw vcBadPointer("sketch archive holds a null record header");
    vfAppendArchivedHead(into, *header);
    vcPtrHandle<vc_UISketchOpData> record;
    ar || record;
    if (!record) throw vcBadPointer("sketch archive holds a null record");
    check(*header, *record);
    record->populateSketch(into);
  }
}

// Version 0: a byte stream whose payloads are in the older layouts; each
// record is rebuilt in the current layout.
void loadVersion0(vcArchive& ar, vcUISketch& into) {
  long n = 0;
  ar || n;
  if (n <= 0) return;
  ar.requireItems(static_cast<std::uint64_t>(n), 1);
  std::vector<unsigned char> bytes(static_cast<std::size_t>(n));
  ar.raw(bytes.data(), n);
  const unsigned char* p = bytes.data();
  for (long at = 0; at < n;) {
    vc_UISketchOpHeader header;
    at += header.parseByteStream(p + at, n - at);
    vfAppendArchivedHead(into, header);
    const vc_OpDataPtr record(vfCreateUISketchOpData(header.opcode()));
    at += record->parseVersion0ByteStream(p + at, n - at);
    record->populateSketch(into);
  }
}

}  // namespace

long vfParseUISketch(const vcUISketch& sketch, long offset, vc_UISketchOpHeader& header, vc_UISketchOpData** out) {
  const long size = sketch.size();
  if (offset < 0 || offset >= size) throw vcUIError::InvalidUISketch();
  const unsigned char* p = sketch.data() + offset;
  const long available = size - offset;
  long opcode = -1;
  try {
    const long head = header.parseByteStream(p, available);
    opcode = header.opcode();
    vc_OpDataPtr record(vfCreateUISketchOpData(opcode));
    const long payload = record->parseByteStream(p + head, available - head);
    if (payload < 0 || payload > available - head) vc_PayloadReader::fail("payload overruns the sketch");
    if (out) *out = record.release();
    return head + payload;
  } catch (const vcUIError::InvalidUISketch& e) {
    vfFailAtRecord(e, offset, opcode);
  }
}

vcArchive& operator||(vcArchive& ar, vcUISketch& s) {
  if (ar.isStoring()) {
    storeSketch(ar, s);
    return ar;
  }
  signed char version = 0;
  ar || version;
  if (version != kSketchVersion0 && version != kSketchVersion1) throw vcArchive::UnknownVersion("dispc/uisketch", 286);
  // Built aside and appended only when the whole load succeeded.
  vcUISketch built;
  built.props_ = s.props_;
  if (version == kSketchVersion1) loadVersion1(ar, built);
  else loadVersion0(ar, built);
  if (built.isNull()) return ar;
  s += built;
  s.props_ = built.props_;
  return ar;
}
