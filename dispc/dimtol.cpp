// vcDimTol and vcSMDDimension: validation, conversion between the tolerance
// forms, scaling and the archive forms.
#include <vc/dimtol.h>

#include <cmath>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "dimtol_map.h"

namespace {

// Stored values this close are the same value (-1 within it is the unset mark).
constexpr double kSameValue = 1e-15;

bool unset(double v) { return std::fabs(v - -1.0) <= kSameValue; }
bool near(double a, double b) { return std::fabs(a - b) <= kSameValue; }

}  // namespace

// ---- vcDimTol -------------------------------------------------------------------

vcDimTol::vcDimTol(double nom, double minTol, double maxTol, TolType type)
    : nom_(nom), min_(minTol), max_(maxTol), type_(type) {
  if (nom == -1.0 && minTol == -1.0 && maxTol == -1.0) return;
  if (!isValid_(nom, minTol, maxTol, type)) throw vcShapesError::BadGeom("vcDimTol: invalid dimension tolerance");
}

double vcDimTol::newTol_(double value, TolType newType, double sign) const {
  if (newType == type_ || unset(value)) return value;
  if (unset(nom_)) throw vcShapesError::BadGeom("vcDimTol: converting a tolerance needs the nominal");
  double d = 0.0;  // distance from the nominal
  switch (type_) {
    case eLimits:
      d = std::fabs(nom_ - value);
      break;
    case eOffsets:
      d = value;
      break;
    case ePercentages:
      d = nom_ * value;
      break;
    default:
      break;
  }
  switch (newType) {
    case eLimits:
      return nom_ + sign * d;
    case eOffsets:
      return d;
    case ePercentages:
      return nom_ == 0.0 ? 0.0 : d / nom_;
    default:
      return 0.0;
  }
}

bool vcDimTol::isValid_(double nom, double min, double max, TolType type) {
  for (double v : {nom, min, max})
    if (v < 0.0 && !unset(v)) return false;
  vcDimTol work(Raw{}, nom, min, max, type);
  // A tolerance given without its nominal is checked against a stand-in
  // nominal that fits it.
  if (unset(nom) && (!unset(min) || !unset(max))) {
    switch (type) {
      case eLimits:
        work.nom_ = !unset(min) && !unset(max) ? (min + max) * 0.5 : !unset(min) ? min + 1.0 : max - 1.0;
        break;
      case eOffsets:
        if (!unset(min)) work.nom_ = min + 1.0;
        break;
      case ePercentages:
        work.nom_ = 1.0;
        break;
      default:
        break;
    }
  }
  try {
    vcSMDDimension check(work);
  } catch (const vcException&) {
    return false;
  }
  return true;
}

void vcDimTol::assign_(double nom, double min, double max, TolType type) {
  if (!isValid_(nom, min, max, type)) throw vcShapesError::BadGeom("vcDimTol: invalid dimension tolerance");
  nom_ = nom, min_ = min, max_ = max, type_ = type;
}

void vcDimTol::tolType(TolType t) {
  if (t == type_) return;
  const double min = newTol_(min_, t, -1.0), max = newTol_(max_, t, +1.0);
  min_ = min, max_ = max, type_ = t;
}

bool vcDimTol::isWithin(double v) const {
  if (std::isnan(v)) return false;  // it would pass every comparison below
  if (min_ >= 0.0 && v < minDim()) return false;
  if (max_ >= 0.0 && v > maxDim()) return false;
  return true;
}

bool vcDimTol::operator==(const vcDimTol& o) const {
  return near(nom_, o.nom_) && near(min_, o.min_) && near(max_, o.max_) && type_ == o.type_;
}

vcDimTol operator*(double s, const vcDimTol& t) {
  vcDimTol r(t);
  if (!unset(r.nom_)) r.nom_ *= s;
  return r;
}

vcArchive& operator||(vcArchive& ar, vcDimTol::TolType& t) {
  std::uint32_t v = t;
  ar || v;
  t = static_cast<vcDimTol::TolType>(v);
  return ar;
}

vcArchive& operator||(vcArchive& ar, vcDimTol& t) {
  signed char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/dimtol", __LINE__);
  double nom = t.nom_, min = t.min_, max = t.max_;
  vcDimTol::TolType type = t.type_;
  ar || nom || min || max || type;
  if (ar.isLoading()) {
    // Values are not re-validated: a scaled tolerance is stored as it is.
    if (!std::isfinite(nom) || !std::isfinite(min) || !std::isfinite(max))
      vcArchive::fail("vcDimTol: stored value is not finite");
    t.nom_ = nom, t.min_ = min, t.max_ = max, t.type_ = type;
  }
  return ar;
}

// ---- vcSMDDimension --------------------------------------------------------------

vcSMDDimension::vcSMDDimension(const vcDimTol& t) {
  const double min = t.minDim(), max = t.maxDim();
  set(t.nomDim(), min, max, vc_ScaleTypeOf(t.tolType()));
}

void vcSMDDimension::set(double nom, double min, double max, ScaleType scale) {
  if (!std::isfinite(nom) || !std::isfinite(min) || !std::isfinite(max))
    throw badDimensionValue("Dimension values must be finite");
  if (nom <= 0 && nom != -1) throw badDimensionValue("Nominal dimension must be > 0 or -1");
  if (min <= 0 && min != -1) throw badDimensionValue("Minimum dimension must be > 0 or -1");
  if (max <= 0 && max != -1) throw badDimensionValue("Maximum dimension must be > 0 or -1");
  if (min > 0 && nom < 0) throw badDimensionValue("Nominal must be set if minimum is > 0");
  if (min > 0 && nom < min) throw badDimensionValue("Nominal must be >= minimum");
  if (max > 0 && nom < 0) throw badDimensionValue("Nominal must be set if maximum is >= 0");
  if (max > 0 && nom > max) throw badDimensionValue("Nominal must be <= maximum");
  nom_ = nom, min_ = min, max_ = max, scale_ = scale;
}

bool vcSMDDimension::withinTolerance(double value, double scale) const {
  // A NaN compares false with every limit, so it would pass them all.
  if (std::isnan(value)) return false;
  const vcSMDDimension scaled = scale * *this;
  if (scaled.min_ != -1 && value <= scaled.min_) return false;
  if (scaled.max_ != -1 && value >= scaled.max_) return false;
  return true;
}

bool vcSMDDimension::operator==(const vcSMDDimension& o) const {
  return near(nom_, o.nom_) && near(min_, o.min_) && near(max_, o.max_) && scale_ == o.scale_;
}

vcSMDDimension operator*(double s, const vcSMDDimension& d) {
  // Unset values stay unset: scaling the -1 mark would make it an invalid
  // negative value.
  const double nom = d.nom_ == -1 ? -1.0 : s * d.nom_;
  switch (d.scale_) {
    case vcSMDDimension::eScaleNone:
      return d;
    case vcSMDDimension::eScaleNominal:
      return vcSMDDimension(nom, d.min_ == -1 ? -1.0 : nom - std::fabs(d.nom_ - d.min_),
                            d.max_ == -1 ? -1.0 : nom + std::fabs(d.max_ - d.nom_), d.scale_);
    case vcSMDDimension::eScaleProportional:
      return vcSMDDimension(nom, d.min_ == -1 ? -1.0 : s * d.min_, d.max_ == -1 ? -1.0 : s * d.max_, d.scale_);
    default:
      return vcSMDDimension();
  }
}

vcArchive& operator||(vcArchive& ar, vcSMDDimension& d) {
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion(nullptr, 0);
  double nom = d.nom_, min = d.min_, max = d.max_;
  unsigned char scale = static_cast<unsigned char>(d.scale_);
  ar || nom || min || max || scale;
  if (ar.isLoading()) {
    vcSMDDimension loaded;
    try {
      loaded.set(nom, min, max, static_cast<vcSMDDimension::ScaleType>(scale));
    } catch (const vcSMDDimension::badDimensionValue& e) {
      vcArchive::fail("vcSMDDimension: " + e.string());
    }
    d = loaded;
  }
  return ar;
}
