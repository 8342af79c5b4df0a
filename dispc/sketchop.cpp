// The record-object base and the opcode table: which class stands for the
// payload of each opcode.
#include <array>
#include <cmath>
#include <string>

#include "sketchop_impl.h"

namespace {

using vc_MakeOp = vc_UISketchOpData* (*)();

struct vc_OpEntry {
  long opcode;
  vc_MakeOp make;
};

// Opcodes 13, 24, 36 and 40 (the props marker) have no record class.
// Generalised polygons (34, 38) and wireframes (41) are not recorded yet.
constexpr vc_OpEntry kOpTable[] = {
    {0, &vfNewSketchOp<vc_UISketchOpPoint>},
    {1, &vfNewSketchOp<vc_UISketchOpPointIcon>},
    {2, &vfNewSketchOp<vc_UISketchOpLineSeg>},
    {3, &vfNewSketchOp<vc_UISketchOpLine>},
    {4, &vfNewSketchOp<vc_UISketchOpCircle>},
    {5, &vfNewSketchOp<vc_UISketchOpEllipse>},
    {6, &vfNewSketchOp<vc_UISketchOpEllipseArc>},
    {7, &vfNewSketchOp<vc_UISketchOpEllipseAnnSect>},
    {8, &vfNewSketchOp<vc_UISketchOpGenRect>},
    {9, &vfNewSketchOp<vc_UISketchOpGenAnn>},
    {10, &vfNewSketchOp<vc_UISketchOpCoordAxes>},
    {11, &vfNewSketchOp<vc_UISketchOpString>},
    {12, &vfNewSketchOp<vc_UISketchOpPelBuf8>},
    {14, &vfNewSketchOp<vc_UISketchOpRleBuf>},
    {15, &vfNewSketchOp<vc_UISketchOpSketch>},
    {16, &vfNewSketchOp<vc_UISketchOpSet>},
    {17, &vfNewSketchOp<vc_UISketchOpSetAll>},
    {18, &vfNewSketchOp<vc_UISketchOpSetComp>},
    {19, &vfNewSketchOp<vc_UISketchOpFill>},
    {20, &vfNewSketchOp<vc_UISketchOpDrawStart>},
    {21, &vfNewSketchOp<vc_UISketchOpDrawTo>},
    {22, &vfNewSketchOp<vc_UISketchOpDrawToRelPels>},
    {23, &vfNewSketchOp<vc_UISketchOpMoveToRelPels>},
    {25, &vfNewSketchOp<vc_UISketchOpOutline3d>},
    {26, &vfNewSketchOp<vc_UISketchOpArrow>},
    {27, &vfNewSketchOp<vc_UISketchOpAffineRect>},
    {28, &vfNewSketchOp<vc_UISketchOpPolygon>},
    {29, &vfNewSketchOp<vc_UISketchOpCircle>},
    {30, &vfNewSketchOp<vc_UISketchOpEllipse>},
    {31, &vfNewSketchOp<vc_UISketchOpGenRect>},
    {32, &vfNewSketchOp<vc_UISketchOpRect>},
    {33, &vfNewSketchOp<vc_UISketchOpGenShape>},
    {35, &vfNewSketchOp<vc_UISketchOpUnicodeString>},
    {37, &vfNewSketchOp<vc_UISketchOpCross>},
    {39, &vfNewSketchOp<vc_UISketchOpEllipseAnnSectArrowheadFlag>},
    {42, &vfNewSketchOp<vc_UISketchOpBezierCurve>},
    {43, &vfNewSketchOp<vc_UISketchOpCubicSpline>},
    {44, &vfNewSketchOp<vc_UISketchOpPolyline>},
    {45, &vfNewSketchOp<vc_UISketchOpEllipse2>},
    {46, &vfNewSketchOp<vc_UISketchOpEllipseArc2>},
    {47, &vfNewSketchOp<vc_UISketchOpClipRect>},
};

constexpr long kOpcodeSlots = 48;

// The table indexed by opcode, for constant-time lookup.
constexpr std::array<vc_MakeOp, kOpcodeSlots> slots() {
  std::array<vc_MakeOp, kOpcodeSlots> s{};
  for (const vc_OpEntry& e : kOpTable) s[static_cast<std::size_t>(e.opcode)] = e.make;
  return s;
}
constexpr std::array<vc_MakeOp, kOpcodeSlots> kOpSlots = slots();

}  // namespace

vc_UISketchOpData* vfCreateUISketchOpData(long opcode) {
  if (opcode < 0 || opcode >= kOpcodeSlots || !kOpSlots[static_cast<std::size_t>(opcode)])
    throw vcUIError::InvalidUISketch();
  return kOpSlots[static_cast<std::size_t>(opcode)]();
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

void vfCheckFinite(const vcVector<2>& v, const char* what) {
  if (!std::isfinite(v.x()) || !std::isfinite(v.y()))
    throw vcShapesError::BadGeom(std::string("sketch record: ") + what + " is not finite");
}
