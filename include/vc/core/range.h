// Ranges of values: vcRange, a closed interval of doubles, and vcAngleRange,
// an arc of directions.
#pragma once

#include <iosfwd>

#include <vc/core/angle.h>

// The closed interval [lo, hi] of doubles, in the caller's unit. Empty when
// lo > hi (or either end is NaN); the default range is empty, the neutral
// start for enclose().
class vcRange {
public:
  // The empty range.
  constexpr vcRange() = default;
  constexpr vcRange(double lo, double hi) : lo_(lo), hi_(hi) {}

  constexpr double lo() const { return lo_; }
  constexpr double hi() const { return hi_; }
  constexpr bool isEmpty() const { return !(lo_ <= hi_); }
  // hi - lo, or 0 for an empty range.
  constexpr double length() const { return isEmpty() ? 0.0 : hi_ - lo_; }

  // True when lo <= v <= hi.
  constexpr bool contains(double v) const { return lo_ <= v && v <= hi_; }
  // The same as contains(v).
  constexpr bool isWithin(double v) const { return contains(v); }

  // Grows the range to hold v; an empty range becomes [v, v]. NaN is ignored.
  vcRange& enclose(double v);
  // Grows the range to hold r; enclosing an empty r changes nothing.
  vcRange& enclose(const vcRange& r);

  // The common part; the default (empty) range when there is none.
  vcRange operator&(const vcRange& r) const;
  vcRange& operator&=(const vcRange& r) { return *this = *this & r; }

  // Exact comparison; all empty ranges are equal.
  constexpr bool operator==(const vcRange& r) const {
    return (isEmpty() && r.isEmpty()) || (lo_ == r.lo_ && hi_ == r.hi_);
  }

private:
  double lo_ = 0.0;
  double hi_ = -1.0;
};

std::ostream& operator<<(std::ostream& os, const vcRange& r);

// The directions swept from start through span: counter-clockwise (toward
// +y, see <vc/core/angle.h>) for a positive span, clockwise for a negative
// one. Both ends are inside. A span of magnitude 2pi or more is the full
// circle. The default is the single direction 0.
class vcAngleRange {
public:
  constexpr vcAngleRange() = default;
  // start and span in radians (vcDegree converts). Throws vcMathError when
  // either is not finite.
  vcAngleRange(const vcRadian& start, const vcRadian& span);

  constexpr const vcRadian& start() const { return start_; }
  constexpr const vcRadian& span() const { return span_; }
  // start + span.
  constexpr vcRadian end() const { return start_ + span_; }
  bool isFullCircle() const;

  // True when direction a (any multiple of 2pi away counts as the same) lies
  // on the swept arc. The ends are inside within a rounding tolerance of
  // 1e-12 radians. Throws vcMathError when a is not finite.
  bool contains(const vcRadian& a) const;
  // The same as contains(a).
  bool isWithin(const vcRadian& a) const { return contains(a); }

  constexpr bool operator==(const vcAngleRange& r) const { return start_ == r.start_ && span_ == r.span_; }

private:
  vcRadian start_;
  vcRadian span_;
};

std::ostream& operator<<(std::ostream& os, const vcAngleRange& r);
