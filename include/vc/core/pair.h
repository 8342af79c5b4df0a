// vcPair: two values of one type, used for integer pixel corners and sizes
// (vcPair<long>) and for exact per-axis factors (vcPair<double>).
#pragma once

#include <ostream>

template <class T>
class vcPair {
public:
  // (0, 0).
  constexpr vcPair() : x_(), y_() {}
  // x and y in the caller's frame and unit (usually pixels).
  constexpr vcPair(T x, T y) : x_(x), y_(y) {}

  constexpr T x() const { return x_; }
  constexpr T y() const { return y_; }
  constexpr void x(T v) { x_ = v; }
  constexpr void y(T v) { y_ = v; }

  constexpr bool operator==(const vcPair& o) const { return x_ == o.x_ && y_ == o.y_; }
  constexpr bool operator!=(const vcPair& o) const { return !(*this == o); }

  constexpr vcPair operator+(const vcPair& o) const { return vcPair(x_ + o.x_, y_ + o.y_); }
  constexpr vcPair operator-(const vcPair& o) const { return vcPair(x_ - o.x_, y_ - o.y_); }
  constexpr vcPair& operator+=(const vcPair& o) { return *this = *this + o; }
  constexpr vcPair& operator-=(const vcPair& o) { return *this = *this - o; }

private:
  T x_;
  T y_;
};

template <class T>
std::ostream& operator<<(std::ostream& os, const vcPair<T>& p) {
  return os << '(' << p.x() << ", " << p.y() << ')';
}
