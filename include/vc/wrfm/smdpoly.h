// SMD polys: closed or open outlines of line and arc segments with rounded
// corners and tolerances.
#pragma once

#include <vc/dimtol.h>
#include <vc/uierror.h>

// Declares an SMD error class with a fixed message.
#define VC_SMD_ERROR(Name)                          \
  class Name : public Errors {                      \
  public:                                           \
    Name() = default;                               \
    VC_EXCEPTION_LEAF(Name);                        \
    VC_ERROR_SERIALIZE_MEMBERS();                   \
                                                    \
  protected:                                        \
    void message_(std::ostream& os) const override; \
  }

class vcSMDGDPolyVertex {
public:
  class Errors : public vcException {
  protected:
    Errors() = default;
  };
  VC_SMD_ERROR(invalidSegmentLength);  // "Invalid poly segment length specified at vertex."
};

class vcSMDGDPoly {
public:
  class Errors : public vcException {
  protected:
    Errors() = default;
  };
  VC_SMD_ERROR(invalidVertices);   // "Invalid poly vertices."
  VC_SMD_ERROR(crossingSegments);  // "Two or more poly segments cross."
  VC_SMD_ERROR(invalidRounding);   // "Invalid radius for poly vertex rounding."
  VC_SMD_ERROR(invalidIndex);      // "Invalid index for poly vertex or segment."
  VC_SMD_ERROR(noPelBuffer);       // "No pel buffer to draw on."
  VC_SMD_ERROR(badSubModel);       // "The specified sub-model is not 2D"
  VC_SMD_ERROR(notClosed);         // "An operation was performed which requires a closed poly."
};

// Static helpers of the SMD poly family.
class vcSMDGDPolyPrivate {
public:
  // The scale type that corresponds to a tolerance form, and back:
  // eLimits/eScaleNone, eOffsets/eScaleNominal, ePercentages/eScaleProportional;
  // any other value maps to the middle one.
  static vcSMDDimension::ScaleType scaleType(vcDimTol::TolType t);
  static vcDimTol::TolType tolType(vcSMDDimension::ScaleType s);
  // d as a tolerance in the form of its scale type. Throws vcShapesError::BadGeom
  // when d's limits do not make a valid tolerance.
  static vcDimTol dimTol(const vcSMDDimension& d);
};
