// vcVector<2>, the 2-D double vector of all geometry, and vcPoint, a position.
//
// Coordinates are in whatever frame the caller works in (client, scope or
// image pixels); the types carry no frame. Angles follow the convention of
// <vc/core/angle.h>.
#pragma once

#include <cmath>
#include <ostream>
#include <string>

#include <vc/core/angle.h>
#include <vc/core/exception.h>
#include <vc/core/pair.h>

template <int N>
class vcVector;

template <>
class vcVector<2> {
public:
  // (0, 0).
  constexpr vcVector() = default;
  constexpr vcVector(double x, double y) : x_(x), y_(y) {}
  constexpr vcVector(const vcPair<double>& p) : x_(p.x()), y_(p.y()) {}

  constexpr double x() const { return x_; }
  constexpr double y() const { return y_; }
  constexpr void x(double v) { x_ = v; }
  constexpr void y(double v) { y_ = v; }

  // Component i: 0 is x, 1 is y; any other index throws vcBadArgument.
  double operator[](int i) const {
    checkIndex(i);
    return i == 0 ? x_ : y_;
  }
  double& operator[](int i) {
    checkIndex(i);
    return i == 0 ? x_ : y_;
  }

  double len() const { return std::hypot(x_, y_); }
  constexpr double len2() const { return x_ * x_ + y_ * y_; }
  // atan2(y, x); (0, 0) has the angle 0.
  vcRadian angle() const { return vcRadian(std::atan2(y_, x_)); }
  // The vector of length 1 in the same direction. Throws vcMathError for a
  // zero or non-finite vector, which has no direction.
  vcVector unit() const {
    const double l = len();
    if (!(l > 0.0) || !std::isfinite(l))
      throw vcMathError("vcVector<2>::unit: vector (" + std::to_string(x_) + ", " + std::to_string(y_) +
                        ") has no direction");
    return vcVector(x_ / l, y_ / l);
  }
  double distance(const vcVector& o) const { return std::hypot(x_ - o.x_, y_ - o.y_); }
  constexpr double dot(const vcVector& o) const { return x_ * o.x_ + y_ * o.y_; }
  // The z component of the 3-D cross product: positive when o lies at a
  // positive angle (toward +y) from this vector.
  constexpr double cross(const vcVector& o) const { return x_ * o.y_ - y_ * o.x_; }
  // This vector turned by +90 degrees: (-y, x).
  constexpr vcVector perp() const { return vcVector(-y_, x_); }

  constexpr vcVector operator-() const { return vcVector(-x_, -y_); }
  constexpr vcVector& operator+=(const vcVector& o) { x_ += o.x_; y_ += o.y_; return *this; }
  constexpr vcVector& operator-=(const vcVector& o) { x_ -= o.x_; y_ -= o.y_; return *this; }
  constexpr vcVector& operator*=(double s) { x_ *= s; y_ *= s; return *this; }
  // Division follows IEEE arithmetic: dividing by 0 gives infinities.
  constexpr vcVector& operator/=(double s) { x_ /= s; y_ /= s; return *this; }

  constexpr bool operator==(const vcVector& o) const { return x_ == o.x_ && y_ == o.y_; }

private:
  static void checkIndex(int i) {
    if (i != 0 && i != 1)
      throw vcBadArgument("vcVector<2>: component index " + std::to_string(i) + " is not 0 or 1");
  }

  double x_ = 0.0;
  double y_ = 0.0;
};

// Free operators, so that vcPoint operands convert to vectors too
// (the difference of two points is a vector).
constexpr vcVector<2> operator+(vcVector<2> a, const vcVector<2>& b) { return a += b; }
constexpr vcVector<2> operator-(vcVector<2> a, const vcVector<2>& b) { return a -= b; }
constexpr vcVector<2> operator*(vcVector<2> a, double s) { return a *= s; }
constexpr vcVector<2> operator*(double s, vcVector<2> a) { return a *= s; }
constexpr vcVector<2> operator/(vcVector<2> a, double s) { return a /= s; }

inline std::ostream& operator<<(std::ostream& os, const vcVector<2>& v) {
  return os << '(' << v.x() << ", " << v.y() << ')';
}

// A position. It converts implicitly to and from vcVector<2>, so every vector
// operation and transform accepts it; it stays a plain value of two doubles.
class vcPoint {
public:
  // (0, 0).
  constexpr vcPoint() = default;
  constexpr vcPoint(double x, double y) : x_(x), y_(y) {}
  constexpr vcPoint(const vcVector<2>& v) : x_(v.x()), y_(v.y()) {}
  constexpr vcPoint(const vcPair<double>& p) : x_(p.x()), y_(p.y()) {}

  constexpr double x() const { return x_; }
  constexpr double y() const { return y_; }
  constexpr void x(double v) { x_ = v; }
  constexpr void y(double v) { y_ = v; }

  constexpr operator vcVector<2>() const { return vcVector<2>(x_, y_); }

  constexpr bool operator==(const vcPoint& o) const { return x_ == o.x_ && y_ == o.y_; }
  constexpr bool operator==(const vcVector<2>& v) const { return x_ == v.x() && y_ == v.y(); }

private:
  double x_ = 0.0;
  double y_ = 0.0;
};

inline std::ostream& operator<<(std::ostream& os, const vcPoint& p) {
  return os << '(' << p.x() << ", " << p.y() << ')';
}
