// The SMD poly and model error classes: number, base and fixed message.
#include <ostream>

#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>

#include "error_impl.h"

// The SMD errors each carry a fixed message.
#define VC_DEFINE_SMD_ERROR(Class, Number, Text)                     \
  VC_DEFINE_ERROR(Class, vcException, Number)                        \
  void Class::message_(std::ostream& os) const { os << Text; }

VC_DEFINE_SMD_ERROR(vcSMDGDPolyVertex::invalidSegmentLength, 0x11000350,
                    "Invalid poly segment length specified at vertex.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::invalidVertices, 0x11000360, "Invalid poly vertices.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::crossingSegments, 0x11000361, "Two or more poly segments cross.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::invalidIndex, 0x11000362, "Invalid index for poly vertex or segment.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::invalidRounding, 0x11000363, "Invalid radius for poly vertex rounding.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::noPelBuffer, 0x11000364, "No pel buffer to draw on.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::badSubModel, 0x11000365, "The specified sub-model is not 2D")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::notClosed, 0x11000366,
                    "An operation was performed which requires a closed poly.")
VC_DEFINE_SMD_ERROR(vcSMDGDModel::invalidIndex, 0x11000370, "Invalid poly index specified.")
VC_DEFINE_SMD_ERROR(vcSMDGDModel::crossingPolys, 0x11000371, "At least two polys intersect.")
VC_DEFINE_SMD_ERROR(vcSMDGDModel::nestedPolys, 0x11000372, "At least one of the polys is nested.")
