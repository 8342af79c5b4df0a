// The correspondence between a tolerance's form and a dimension's scale type,
// shared by the dimension classes and the SMD poly helpers.
#pragma once

#include <vc/dimtol.h>

// eLimits <-> eScaleNone, ePercentages <-> eScaleProportional; everything else
// (eOffsets and unknown values) <-> eScaleNominal.
inline vcSMDDimension::ScaleType vc_ScaleTypeOf(vcDimTol::TolType t) {
  switch (t) {
    case vcDimTol::eLimits:
      return vcSMDDimension::eScaleNone;
    case vcDimTol::ePercentages:
      return vcSMDDimension::eScaleProportional;
    default:
      return vcSMDDimension::eScaleNominal;
  }
}

inline vcDimTol::TolType vc_TolTypeOf(vcSMDDimension::ScaleType s) {
  switch (s) {
    case vcSMDDimension::eScaleNone:
      return vcDimTol::eLimits;
    case vcSMDDimension::eScaleProportional:
      return vcDimTol::ePercentages;
    default:
      return vcDimTol::eOffsets;
  }
}
