// Walking a sketch's byte stream record by record, and the archive form of a
// sketch: one persistent header and one persistent record object per record,
// so that archives do not depend on payload byte layouts.
#include <vc/sketchop.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/handle.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>

#include "opcodes.h"
#include "payloads.h"
#include "sketch_walk.h"

namespace {

// The sketch archive versions: 0 holds a raw byte stream in the older payload
// layouts, 1 a record count and persistent objects.
constexpr signed char kSketchVersion0 = 0;
constexpr signed char kSketchVersion1 = 1;
// Counts of records, and of version 0's bytes, are signed 32-bit values.
constexpr std::uint32_t kMaxRecords = 0x7FFFFFFF;

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
  for ([[maybe_unused]] const vcUISketchRecord& r : vcUISketchRecords(s)) ++count;
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

// Each record gets a fresh header, so that a header has props exactly when a
// props record precedes its head.
void storeSketch(vcArchive& ar, const vcUISketch& s) {
  signed char version = kSketchVersion1;
  ar || version;
  const std::uint32_t count = ar.exchangeSignedCount(static_cast<std::size_t>(countRecords(s)), 2, kMaxRecords);
  // The archive tells stored objects apart by address, so every header and
  // record object stays alive until the last one is written.
  std::vector<vcPtrHandle<vc_UISketchOpHeader>> headers;
  std::vector<vcPtrHandle<vc_UISketchOpData>> records;
  headers.reserve(count);
  records.reserve(count);
  vcUISketchRecords walk(s, {.freshHeaders = true});
  for (const vcUISketchRecord& r : walk) {
    headers.push_back(vfMakeHandle<vc_UISketchOpHeader>(*r.header));
    records.emplace_back(walk.takeData().release());
    ar || headers.back() || records.back();
  }
}

// Version 1: count, then header and record object per record. Each record
// takes at least the tag byte of each of its two objects.
void loadVersion1(vcArchive& ar, vcUISketch& into) {
  const std::uint32_t count = ar.exchangeSignedCount(0, 2, kMaxRecords);
  vc_RecordClassCheck check;
  for (std::uint32_t i = 0; i < count; ++i) {
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
  const std::uint32_t n = ar.exchangeSignedCount(0, 1, kMaxRecords);
  if (n == 0) return;
  vcUISketch bytes;
  ar.raw(bytes.append(static_cast<long>(n)), static_cast<long>(n));
  vcUISketchRecords walk(bytes, {.freshHeaders = true, .version0Layout = true});
  for (const vcUISketchRecord& r : walk) {
    vfAppendArchivedHead(into, *r.header);
    r.data->populateSketch(into);
  }
}

}  // namespace

vcUISketchRecords::vcUISketchRecords(const vcUISketch& sketch, Options options)
    : data_(sketch.data()), size_(sketch.size()), options_(options) {}

vcUISketchRecords::~vcUISketchRecords() = default;

vcUISketchRecords::iterator vcUISketchRecords::begin() {
  // A head's opcode is one byte.
  if (objects_.empty()) objects_.resize(256);
  at_ = 0;
  record_ = vcUISketchRecord();
  next_();
  return iterator(this);
}

void vcUISketchRecords::next_() {
  at_ += record_.size;
  record_.size = 0;
  if (at_ >= size_) return;
  // Records are read in order: the bytes some records on are asked for now.
  __builtin_prefetch(data_ + std::min(at_ + 1024, size_ - 1));
  if (options_.freshHeaders) header_ = vc_UISketchOpHeader();
  const unsigned char* p = data_ + at_;
  const long available = size_ - at_;
  vc_UISketchOpData* data = nullptr;
  // Well-formed heads are taken here; anything else goes through the
  // header's parser, which says what is wrong.
  const long headTaken = vc_HeadReader::take(header_, p, available);
  const auto [head, payload] =
      vfParseRecord(p, available, at_, header_, options_.version0Layout, headTaken, [&](long op) -> vc_UISketchOpData& {
        vc_OpDataPtr& slot = objects_[static_cast<std::size_t>(op)];
        if (!slot) slot.reset(vfCreateUISketchOpData(op));
        return *(data = slot.get());
      });
  record_.offset = at_;
  record_.headSize = head;
  record_.size = head + payload;
  record_.ownProps = p[0] == static_cast<unsigned char>(vcUISketch::kPropsMarker);
  record_.header = &header_;
  record_.data = data;
  record_.payload = std::span<const unsigned char>(p + head, static_cast<std::size_t>(payload));
}

std::unique_ptr<vc_UISketchOpData> vcUISketchRecords::takeData() {
  if (record_.size == 0) return nullptr;
  return std::move(objects_[static_cast<std::size_t>(record_.opcode())]);
}

long vfParseUISketch(const vcUISketch& sketch, long offset, vc_UISketchOpHeader& header, vc_UISketchOpData** out) {
  const long size = sketch.size();
  if (offset < 0 || offset >= size) throw vcUIError::InvalidUISketch();
  vc_OpDataPtr made;
  const auto [head, payload] = vfParseRecord(sketch.data() + offset, size - offset, offset, header, false, 0,
                                             [&](long op) -> vc_UISketchOpData& {
                                               made.reset(vfCreateUISketchOpData(op));
                                               return *made;
                                             });
  if (out) *out = made.release();
  return head + payload;
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
