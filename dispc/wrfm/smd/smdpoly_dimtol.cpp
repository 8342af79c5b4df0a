// The SMD poly helpers that translate between tolerances and dimensions.
#include <vc/wrfm/smdpoly.h>

#include "dimtol_map.h"

vcSMDDimension::ScaleType vcSMDGDPolyPrivate::scaleType(vcDimTol::TolType t) { return vc_ScaleTypeOf(t); }

vcDimTol::TolType vcSMDGDPolyPrivate::tolType(vcSMDDimension::ScaleType s) { return vc_TolTypeOf(s); }

vcDimTol vcSMDGDPolyPrivate::dimTol(const vcSMDDimension& d) {
  vcDimTol t(d.nomDim(), d.minDim(), d.maxDim(), vcDimTol::eLimits);
  t.tolType(tolType(d.scaleType()));
  return t;
}
