// Angles as typed values: vcRadian and vcDegree.
//
// The library's one angle convention: an angle turns from the +x axis toward
// the +y axis, so a direction (x, y) has the angle atan2(y, x). Seen in a y-up
// frame that is counter-clockwise; in the y-down pixel frame of images and
// scopes the same angle appears clockwise on screen.
//
// Each type keeps its value in its own unit and converts implicitly to the
// other, so a vcDegree can be passed where a vcRadian is expected. Plain
// doubles convert only explicitly, so a number never silently picks a unit.
// Arithmetic between the two types gives the type of the left operand.
#pragma once

#include <cmath>
#include <compare>
#include <iosfwd>
#include <numbers>

class vcDegree;

class vcRadian {
public:
  constexpr vcRadian() = default;
  // rad: the angle in radians.
  constexpr explicit vcRadian(double rad) : v_(rad) {}
  constexpr vcRadian(const vcDegree& d);

  constexpr double toDouble() const { return v_; }

  // The same angle in [0, 2pi). Throws vcMathError when the value is not finite.
  vcRadian norm() const;
  // The same angle in [-pi, pi): pi maps to -pi. Throws vcMathError when the
  // value is not finite.
  vcRadian signedNorm() const;

  constexpr vcRadian operator-() const { return vcRadian(-v_); }
  constexpr vcRadian operator+(const vcRadian& o) const { return vcRadian(v_ + o.v_); }
  constexpr vcRadian operator-(const vcRadian& o) const { return vcRadian(v_ - o.v_); }
  // d is in radians.
  constexpr vcRadian operator+(double d) const { return vcRadian(v_ + d); }
  constexpr vcRadian operator-(double d) const { return vcRadian(v_ - d); }
  constexpr vcRadian operator*(double s) const { return vcRadian(v_ * s); }
  constexpr vcRadian operator/(double s) const { return vcRadian(v_ / s); }
  // The ratio of two angles.
  constexpr double operator/(const vcRadian& o) const { return v_ / o.v_; }

  constexpr vcRadian& operator+=(const vcRadian& o) { v_ += o.v_; return *this; }
  constexpr vcRadian& operator-=(const vcRadian& o) { v_ -= o.v_; return *this; }
  constexpr vcRadian& operator*=(double s) { v_ *= s; return *this; }
  constexpr vcRadian& operator/=(double s) { v_ /= s; return *this; }

  // Comparisons are of the raw values: 0 and 2pi differ (compare norm()s to
  // compare directions).
  constexpr bool operator==(const vcRadian& o) const { return v_ == o.v_; }
  constexpr std::partial_ordering operator<=>(const vcRadian& o) const { return v_ <=> o.v_; }
  constexpr bool operator==(const vcDegree& o) const;
  constexpr std::partial_ordering operator<=>(const vcDegree& o) const;
  // d is in radians.
  constexpr bool operator==(double d) const { return v_ == d; }
  constexpr std::partial_ordering operator<=>(double d) const { return v_ <=> d; }

private:
  double v_ = 0.0;
};

class vcDegree {
public:
  constexpr vcDegree() = default;
  // deg: the angle in degrees.
  constexpr explicit vcDegree(double deg) : v_(deg) {}
  constexpr vcDegree(const vcRadian& r) : v_(r.toDouble() * (180.0 / std::numbers::pi)) {}

  constexpr double toDouble() const { return v_; }

  // The same angle in [0, 360). Throws vcMathError when the value is not finite.
  vcDegree norm() const;
  // The same angle in [-180, 180): 180 maps to -180. Throws vcMathError when
  // the value is not finite.
  vcDegree signedNorm() const;

  constexpr vcDegree operator-() const { return vcDegree(-v_); }
  constexpr vcDegree operator+(const vcDegree& o) const { return vcDegree(v_ + o.v_); }
  constexpr vcDegree operator-(const vcDegree& o) const { return vcDegree(v_ - o.v_); }
  // d is in degrees.
  constexpr vcDegree operator+(double d) const { return vcDegree(v_ + d); }
  constexpr vcDegree operator-(double d) const { return vcDegree(v_ - d); }
  constexpr vcDegree operator*(double s) const { return vcDegree(v_ * s); }
  constexpr vcDegree operator/(double s) const { return vcDegree(v_ / s); }
  constexpr double operator/(const vcDegree& o) const { return v_ / o.v_; }

  constexpr vcDegree& operator+=(const vcDegree& o) { v_ += o.v_; return *this; }
  constexpr vcDegree& operator-=(const vcDegree& o) { v_ -= o.v_; return *this; }
  constexpr vcDegree& operator*=(double s) { v_ *= s; return *this; }
  constexpr vcDegree& operator/=(double s) { v_ /= s; return *this; }

  constexpr bool operator==(const vcDegree& o) const { return v_ == o.v_; }
  constexpr std::partial_ordering operator<=>(const vcDegree& o) const { return v_ <=> o.v_; }
  // d is in degrees.
  constexpr bool operator==(double d) const { return v_ == d; }
  constexpr std::partial_ordering operator<=>(double d) const { return v_ <=> d; }

private:
  double v_ = 0.0;
};

constexpr vcRadian::vcRadian(const vcDegree& d) : v_(d.toDouble() * (std::numbers::pi / 180.0)) {}
constexpr bool vcRadian::operator==(const vcDegree& o) const { return *this == vcRadian(o); }
constexpr std::partial_ordering vcRadian::operator<=>(const vcDegree& o) const { return *this <=> vcRadian(o); }

constexpr vcRadian operator*(double s, const vcRadian& r) { return r * s; }
constexpr vcDegree operator*(double s, const vcDegree& d) { return d * s; }

// Trigonometry of a typed angle; a vcDegree converts to vcRadian first.
inline double sin(const vcRadian& r) { return std::sin(r.toDouble()); }
inline double cos(const vcRadian& r) { return std::cos(r.toDouble()); }
inline double tan(const vcRadian& r) { return std::tan(r.toDouble()); }

std::ostream& operator<<(std::ostream& os, const vcRadian& r);
std::ostream& operator<<(std::ostream& os, const vcDegree& d);
