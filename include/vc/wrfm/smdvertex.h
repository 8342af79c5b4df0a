// vcSMDGDPolyVertex: one corner of an SMD poly, with the attributes of the
// segment that ends at it.
//
// Points and radii are in the poly's client units; angles are vcDegree values
// from +x toward +y (the convention of <vc/core/angle.h>).
#pragma once

#include <cmath>

#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/dimtol.h>
#include <vc/uierror.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/smdgd.h>

// The largest |radius| (client units) of a sharp corner.
inline constexpr double vcSharpRadius = 1e-15;

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

class vcSMDGDPolyVertex : public vcSMDGeometricDescription {
public:
  class Errors : public vcException {
  protected:
    Errors() = default;
  };
  VC_SMD_ERROR(invalidSegmentLength);  // "Invalid poly segment length specified at vertex."

  // Point (0, 0), sharp, straight incoming segment, both fractions 0.5, no
  // label, all-unset eLimits tolerance.
  vcSMDGDPolyVertex() = default;
  // point: client units; percentPrev/percentNext: fractions in [0.01, 1]
  // (else invalidSegmentLength); label: sub-model label, -1 for none. The
  // tolerance is the all-unset eOffsets one.
  vcSMDGDPolyVertex(const vcVector<2>& point, double percentPrev, double percentNext, long label);
  // The same with a corner radius (client units; negative: rounded, radius uncertain).
  vcSMDGDPolyVertex(const vcVector<2>& point, double radius, double percentPrev, double percentNext, long label);
  // Everything given: span is the signed sweep of the incoming segment, 0 for a line.
  vcSMDGDPolyVertex(const vcVector<2>& point, double radius, const vcDegree& span, double percentPrev,
                    double percentNext, long label, const vcDimTol& tolerance);

  const vcVector<2>& point() const noexcept { return point_; }
  void point(const vcVector<2>& p);
  // Radius of the corner rounding, client units; 0 is sharp, < 0 rounded with
  // an uncertain radius (its magnitude is used).
  double vertexRadius() const noexcept { return radius_; }
  void vertexRadius(double r);
  // Whether the radius asks for a rounding (|radius| > vcSharpRadius); a poly
  // still leaves the two ends of an open outline sharp.
  bool hasRounding() const noexcept { return std::abs(radius_) > vcSharpRadius; }
  // Signed sweep of the segment ending here: |span| <= vcStraightSpan is a straight line.
  const vcDegree& segmentAngleSpan() const noexcept { return span_; }
  void segmentAngleSpan(const vcDegree& span);
  bool endsStraightSegment() const noexcept { return std::abs(span_.toDouble()) <= vcStraightSpan; }
  // Fractions of the incoming and outgoing segments that belong to this
  // vertex's sub-model piece; [0.01, 1], else invalidSegmentLength and no change.
  double percentPrevSegment() const noexcept { return prev_; }
  void percentPrevSegment(double f);
  double percentNextSegment() const noexcept { return next_; }
  void percentNextSegment(double f);
  long subModelLabel() const noexcept { return label_; }
  void subModelLabel(long label);
  // Tolerance of the length of the segment ending here.
  const vcDimTol& segmentLengthTol() const noexcept { return tol_; }
  void segmentLengthTol(const vcDimTol& t);
  // Extensions as fractions of the segment's own length: forward beyond the
  // end of the incoming segment, backward before the start of the outgoing one.
  double forwardExtension() const noexcept { return fwd_; }
  void forwardExtension(double f);
  double backwardExtension() const noexcept { return bwd_; }
  void backwardExtension(double f);

  // Points, radii, fractions and extensions within 1e-11, spans by their
  // sines and cosines within 1e-11, equal labels and tolerances.
  bool operator==(const vcSMDGDPolyVertex& o) const;
  bool operator!=(const vcSMDGDPolyVertex& o) const { return !(*this == o); }
  friend bool vfRealEq(const vcSMDGDPolyVertex& a, const vcSMDGDPolyVertex& b, double eps);

  // Version 2: base, point, radius, span, fractions, label, tolerance.
  // Versions 0 and 1 are read; extensions are not stored. Loading rejects
  // non-finite values and fractions outside [0.01, 1] with
  // vcArchive::BadData and leaves the vertex unchanged on any failure.
  void dispatchSerialize(vcArchive& ar) override;

private:
  friend class vcSMDGDPoly;
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;
  // Version byte and fields, without the visited mark.
  void exchange_(vcArchive& ar);
  void serialize_(vcArchive& ar, unsigned char version);

  vcVector<2> point_;
  double radius_ = 0.0;
  vcDegree span_;
  double prev_ = 0.5;
  double next_ = 0.5;
  long label_ = -1;
  vcDimTol tol_;
  double fwd_ = 0.0;
  double bwd_ = 0.0;
};

bool vfRealEq(const vcSMDGDPolyVertex& a, const vcSMDGDPolyVertex& b, double eps);
// Point and radius times s, tolerance nominal times s; the rest copied.
vcSMDGDPolyVertex operator*(double s, const vcSMDGDPolyVertex& v);
// The point moved by r; the rest copied.
vcSMDGDPolyVertex operator*(const vc2Rigid& r, const vcSMDGDPolyVertex& v);
