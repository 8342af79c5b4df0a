// Normalisation and printing of vcRadian and vcDegree.
#include <vc/core/angle.h>

#include <cmath>
#include <ostream>
#include <string>

#include <vc/core/exception.h>

namespace {
void requireFinite(double v, const char* fn) {
  if (!std::isfinite(v)) throw vcMathError(std::string(fn) + ": angle " + std::to_string(v) + " is not finite");
}

// v brought into [0, full). Values already in range come back unchanged, so
// normalising never costs precision there.
double wrapPositive(double v, double full) {
  if (v >= 0.0 && v < full) return v;
  double r = std::fmod(v, full);  // exact, in (-full, full)
  if (r < 0.0) r += full;
  // A tiny negative r rounds up to full, which is the same direction as 0.
  return r >= full ? 0.0 : r;
}

// v brought into [-full/2, full/2).
double wrapSigned(double v, double full) {
  const double half = full / 2.0;
  if (v >= -half && v < half) return v;
  double r = std::fmod(v, full);  // exact, in (-full, full)
  // Both corrections subtract numbers within a factor of two of each other,
  // which is exact, so the result cannot round onto half.
  if (r >= half) r -= full;
  else if (r < -half) r += full;
  return r;
}

constexpr double kTwoPi = 2.0 * std::numbers::pi;
}  // namespace

vcRadian vcRadian::norm() const {
  requireFinite(v_, "vcRadian::norm");
  return vcRadian(wrapPositive(v_, kTwoPi));
}

vcRadian vcRadian::signedNorm() const {
  requireFinite(v_, "vcRadian::signedNorm");
  return vcRadian(wrapSigned(v_, kTwoPi));
}

vcDegree vcDegree::norm() const {
  requireFinite(v_, "vcDegree::norm");
  return vcDegree(wrapPositive(v_, 360.0));
}

vcDegree vcDegree::signedNorm() const {
  requireFinite(v_, "vcDegree::signedNorm");
  return vcDegree(wrapSigned(v_, 360.0));
}

std::ostream& operator<<(std::ostream& os, const vcRadian& r) { return os << r.toDouble() << " rad"; }

std::ostream& operator<<(std::ostream& os, const vcDegree& d) { return os << d.toDouble() << " deg"; }
