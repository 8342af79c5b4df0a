// vcRange and vcAngleRange.
#include <vc/core/range.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <ostream>
#include <string>

#include <vc/core/exception.h>

vcRange& vcRange::enclose(double v) {
  if (std::isnan(v)) return *this;
  if (isEmpty()) return *this = vcRange(v, v);
  lo_ = std::min(lo_, v);
  hi_ = std::max(hi_, v);
  return *this;
}

vcRange& vcRange::enclose(const vcRange& r) {
  if (r.isEmpty()) return *this;
  if (isEmpty()) return *this = r;
  lo_ = std::min(lo_, r.lo_);
  hi_ = std::max(hi_, r.hi_);
  return *this;
}

vcRange vcRange::operator&(const vcRange& r) const {
  const vcRange common(std::max(lo_, r.lo_), std::min(hi_, r.hi_));
  if (isEmpty() || r.isEmpty() || common.isEmpty()) return vcRange();
  return common;
}

std::ostream& operator<<(std::ostream& os, const vcRange& r) {
  if (r.isEmpty()) return os << "[empty]";
  return os << '[' << r.lo() << ", " << r.hi() << ']';
}

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kEndTolerance = 1e-12;
}  // namespace

vcAngleRange::vcAngleRange(const vcRadian& start, const vcRadian& span) : start_(start), span_(span) {
  if (!std::isfinite(start.toDouble()) || !std::isfinite(span.toDouble()))
    throw vcMathError("vcAngleRange: start " + std::to_string(start.toDouble()) + " and span " +
                      std::to_string(span.toDouble()) + " must be finite");
}

bool vcAngleRange::isFullCircle() const { return std::fabs(span_.toDouble()) >= kTwoPi; }

bool vcAngleRange::contains(const vcRadian& a) const {
  if (isFullCircle()) return true;
  // How far a lies past start in the sweep's own sense, in [0, 2pi).
  const bool ccw = span_.toDouble() >= 0.0;
  const double past = (ccw ? a - start_ : start_ - a).norm().toDouble();
  const double sweep = std::fabs(span_.toDouble());
  // A direction just short of start wraps to almost 2pi; it is on the start edge.
  return past <= sweep + kEndTolerance || past >= kTwoPi - kEndTolerance;
}

std::ostream& operator<<(std::ostream& os, const vcAngleRange& r) {
  return os << '[' << r.start() << " + " << r.span() << ']';
}
