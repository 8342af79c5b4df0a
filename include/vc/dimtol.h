// Dimensions and tolerances of SMD geometric descriptions.
//
// Every length of an SMD outline (a segment length, a rectangle's length or
// width) has a nominal value and an allowed range. vcDimTol is the editable
// form: a nominal and a lower and an upper tolerance in one of three forms.
// vcSMDDimension is the checked form: nominal, minimum and maximum in
// absolute units, and how the range follows when the nominal is scaled.
//
// All values are lengths in the outline's client units (fractions are plain
// ratios). -1 marks a value as not given ("unset") throughout.
#pragma once

#include <cstdint>
#include <string>

#include <vc/uierror.h>

class vcArchive;

// The editable tolerance of one dimension.
class vcDimTol {
public:
  // The form of the two tolerance values. Other values are carried as they
  // are but convert to 0.
  enum TolType : std::uint32_t {
    eLimits = 0,       // absolute minimum and maximum dimension
    eOffsets = 1,      // distance below and above the nominal, >= 0
    ePercentages = 2,  // fraction of the nominal below and above it: 0.1 is ten per cent
  };

  // All unset, eLimits.
  vcDimTol() = default;
  // Stores the values; unless all three are exactly -1, they must form a
  // valid dimension (see the class comment of vcSMDDimension) or
  // vcShapesError::BadGeom is thrown.
  vcDimTol(double nom, double minTol, double maxTol, TolType type);

  // The stored values, in the form of tolType().
  double nomDim() const noexcept { return nom_; }
  double minTol() const noexcept { return min_; }
  double maxTol() const noexcept { return max_; }
  TolType tolType() const noexcept { return type_; }

  // The tolerances converted to each form; an unset tolerance stays -1.
  // Throw vcShapesError::BadGeom when a set tolerance needs an unset nominal.
  double minDim() const { return newTol_(min_, eLimits, -1.0); }
  double maxDim() const { return newTol_(max_, eLimits, +1.0); }
  double minOffset() const { return newTol_(min_, eOffsets, -1.0); }
  double maxOffset() const { return newTol_(max_, eOffsets, +1.0); }
  double minPerc() const { return newTol_(min_, ePercentages, -1.0); }
  double maxPerc() const { return newTol_(max_, ePercentages, +1.0); }

  // Replace nominal and both tolerances and set the form. Invalid values
  // throw vcShapesError::BadGeom and change nothing.
  void limits(double nom, double min, double max) { assign_(nom, min, max, eLimits); }
  void offsets(double nom, double min, double max) { assign_(nom, min, max, eOffsets); }
  void percentages(double nom, double min, double max) { assign_(nom, min, max, ePercentages); }
  // The same with the current nominal.
  void limits(double min, double max) { assign_(nom_, min, max, eLimits); }
  void offsets(double min, double max) { assign_(nom_, min, max, eOffsets); }
  void percentages(double min, double max) { assign_(nom_, min, max, ePercentages); }
  // Replaces the nominal; the tolerances keep their stored values. Throws
  // vcShapesError::BadGeom, changing nothing, when the result is invalid.
  void nomDim(double nom) { assign_(nom, min_, max_, type_); }
  // Converts both tolerances to the form t. Throws vcShapesError::BadGeom,
  // changing nothing, when a set tolerance needs an unset nominal.
  void tolType(TolType t);

  // minDim() <= v <= maxDim(), ends included; an unset bound is open. A NaN
  // v is never within.
  bool isWithin(double v) const;

  // Values within 1e-15 and the same form.
  bool operator==(const vcDimTol& o) const;
  bool operator!=(const vcDimTol& o) const { return !(*this == o); }

  // A copy with the nominal, when set, multiplied by s; the tolerances are
  // copied as they are, in every form, and the result is not validated.
  friend vcDimTol operator*(double s, const vcDimTol& t);
  // Version byte 0 (signed), nominal, min, max, then the form as 32 bits.
  // Loading rejects non-finite values with vcArchive::BadData and leaves t
  // unchanged on any failure.
  friend vcArchive& operator||(vcArchive& ar, vcDimTol& t);

private:
  struct Raw {};
  vcDimTol(Raw, double nom, double min, double max, TolType type) : nom_(nom), min_(min), max_(max), type_(type) {}

  static bool isValid_(double nom, double min, double max, TolType type);
  // value (a tolerance in the current form) expressed in newType; sign is
  // -1 for the lower and +1 for the upper tolerance.
  double newTol_(double value, TolType newType, double sign) const;
  void assign_(double nom, double min, double max, TolType type);

  double nom_ = -1.0;
  double min_ = -1.0;
  double max_ = -1.0;
  TolType type_ = eLimits;
};

// The tolerance form alone: 32 bits, any value carried.
vcArchive& operator||(vcArchive& ar, vcDimTol::TolType& t);

// Base of the dimension errors.
class vcSMDDimensionErrors : public vcException {
protected:
  vcSMDDimensionErrors() = default;
};

// The checked range of one dimension. Nominal, minimum and maximum are each
// -1 (unset) or > 0, with minimum <= nominal <= maximum where set, and a set
// bound needs a set nominal.
class vcSMDDimension {
public:
  class Errors : public vcSMDDimensionErrors {
  protected:
    Errors() = default;
  };
  // A nominal, minimum or maximum value that breaks the dimension's rules; the
  // message says which. The message is not archived.
  class badDimensionValue : public Errors {
  public:
    badDimensionValue() = default;
    explicit badDimensionValue(const std::string& m) : message_str_(m) {}
    const std::string& string() const noexcept { return message_str_; }
    VC_EXCEPTION_LEAF(badDimensionValue);
    VC_ERROR_SERIALIZE_MEMBERS();

  protected:
    void message_(std::ostream& os) const override;

  private:
    std::string message_str_;
  };

  // How the range follows the nominal under scaling (operator*).
  enum ScaleType : std::uint32_t {
    eScaleNone = 0,          // nothing changes
    eScaleNominal = 1,       // the nominal scales; min and max keep their distances from it
    eScaleProportional = 2,  // nominal, min and max all scale
  };

  // All unset, eScaleNone.
  vcSMDDimension() { set(-1.0, -1.0, -1.0, eScaleNone); }
  // Throws badDimensionValue when the values break the rules (see set).
  vcSMDDimension(double nom, double min, double max, ScaleType scale) { set(nom, min, max, scale); }
  // The limits of t, its nominal, and the scale type of its form. Throws
  // vcShapesError::BadGeom when t cannot be converted and badDimensionValue
  // when the limits break the rules.
  explicit vcSMDDimension(const vcDimTol& t);

  // Checks the values in a fixed order and throws badDimensionValue naming
  // the first rule broken (a non-finite value breaks the first rule of all);
  // stores all four only when every check passes.
  void set(double nom, double min, double max, ScaleType scale);

  double nomDim() const noexcept { return nom_; }
  double minDim() const noexcept { return min_; }
  double maxDim() const noexcept { return max_; }
  ScaleType scaleType() const noexcept { return scale_; }

  // Whether value lies strictly between the minimum and the maximum of
  // scale * (*this); an unset bound is open. Both ends are excluded. A NaN
  // value is never within.
  bool withinTolerance(double value, double scale) const;

  // Values within 1e-15 and the same scale type.
  bool operator==(const vcSMDDimension& o) const;
  bool operator!=(const vcSMDDimension& o) const { return !(*this == o); }

  // The dimension scaled by s according to its scale type; unset values stay
  // unset. An unknown scale type gives the all-unset dimension. Throws
  // badDimensionValue when the result breaks the rules (s <= 0, for instance).
  friend vcSMDDimension operator*(double s, const vcSMDDimension& d);
  // Version byte 0, nominal, min, max, then the scale type as one byte.
  // Loading checks the values as set() does (vcArchive::BadData with its
  // message) and leaves d unchanged on any failure.
  friend vcArchive& operator||(vcArchive& ar, vcSMDDimension& d);

private:
  double nom_ = -1.0;
  double min_ = -1.0;
  double max_ = -1.0;
  ScaleType scale_ = eScaleNone;
};
