// The record-object base and the opcode table's dispatcher: which class
// stands for the payload of each opcode, and its name.
#include <array>
#include <cmath>
#include <string>

#include "opcodes.h"
#include "sketchop_impl.h"

namespace {

using vc_MakeOp = vc_UISketchOpData* (*)();

struct vc_OpSlot {
  const char* name = "?";
  vc_MakeOp make = nullptr;
};

// The opcode table indexed by opcode, for constant-time lookup.
constexpr std::array<vc_OpSlot, kSketchOpcodeSlots> slots() {
  std::array<vc_OpSlot, kSketchOpcodeSlots> s{};
#define VC_SLOT_(op, label, P, size, R) s[op] = {#label, &vfNewSketchOp<R>};
  VC_SKETCH_OPCODES(VC_SLOT_)
#undef VC_SLOT_
#define VC_RESERVED_SLOT_(op, label) s[op].name = #label;
  VC_SKETCH_RESERVED_OPCODES(VC_RESERVED_SLOT_)
#undef VC_RESERVED_SLOT_
  return s;
}
constexpr std::array<vc_OpSlot, kSketchOpcodeSlots> kOpSlots = slots();

}  // namespace

const char* vfSketchOpcodeName(long opcode) noexcept {
  return opcode >= 0 && opcode < kSketchOpcodeSlots ? kOpSlots[static_cast<std::size_t>(opcode)].name : "?";
}

vc_UISketchOpData* vfCreateUISketchOpData(long opcode) {
  if (opcode < 0 || opcode >= kSketchOpcodeSlots || !kOpSlots[static_cast<std::size_t>(opcode)].make)
    vc_PayloadReader::fail("opcode " + std::to_string(opcode) + " has no record class");
  return kOpSlots[static_cast<std::size_t>(opcode)].make();
}

void vc_UISketchOpData::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vc_UISketchOpData))) return;
  unsigned char version = 0;
  ar || version;
  serialize_(ar, version);
  setVisited(this, sizeof(vc_UISketchOpData));
}

void vc_UISketchOpData::serialize_(vcArchive& ar, unsigned char version) {
  if (version != 0) throw vcArchive::UnknownVersion("dispc/sketchop", __LINE__);
  vcPersistent::dispatchSerialize(ar);
}

void vfFailNotFinite(const char* what) {
  throw vcShapesError::BadGeom(std::string("sketch record: ") + what + " is not finite");
}
