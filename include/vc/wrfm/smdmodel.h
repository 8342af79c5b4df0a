// SMD models: several polys that together describe a component.
#pragma once

#include <vc/wrfm/smdpoly.h>

class vcSMDGDModel {
public:
  class Errors : public vcException {
  protected:
    Errors() = default;
  };
  VC_SMD_ERROR(invalidIndex);   // "Invalid poly index specified."
  VC_SMD_ERROR(crossingPolys);  // "At least two polys intersect."
  VC_SMD_ERROR(nestedPolys);    // "At least one of the polys is nested."
};
