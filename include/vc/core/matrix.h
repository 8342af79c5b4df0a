// vcMatrix<2>, the linear part of a 2-D transform.
//
// vcMatrix<2>(a, b, c, d) is [[a b] [c d]] and maps a column vector (x, y) to
// (a x + b y, c x + d y). The images of the axes are the columns: (a, c) for
// +x and (b, d) for +y. Angles follow the convention of <vc/core/angle.h>.
#pragma once

#include <cmath>
#include <ostream>
#include <string>

#include <vc/core/angle.h>
#include <vc/core/exception.h>
#include <vc/core/vector.h>

template <int N>
class vcMatrix;

template <>
class vcMatrix<2> {
public:
  // The identity.
  constexpr vcMatrix() = default;
  constexpr vcMatrix(double a, double b, double c, double d) : e_{{a, b}, {c, d}} {}

  // The rotation by angle (radians, from +x toward +y).
  static vcMatrix rotation(const vcRadian& angle) {
    const double c = cos(angle), s = sin(angle);
    return vcMatrix(c, -s, s, c);
  }
  // Scales x by sx and y by sy.
  static constexpr vcMatrix scale(double sx, double sy) { return vcMatrix(sx, 0.0, 0.0, sy); }

  // Element at row r, column c (each 0 or 1); other indices throw vcBadArgument.
  double element(int r, int c) const {
    if (r < 0 || r > 1 || c < 0 || c > 1)
      throw vcBadArgument("vcMatrix<2>::element: index (" + std::to_string(r) + ", " + std::to_string(c) +
                          ") is outside the 2x2 matrix");
    return e_[r][c];
  }

  constexpr double determinant() const { return e_[0][0] * e_[1][1] - e_[0][1] * e_[1][0]; }

  // True when the determinant is zero or lost in rounding: |det| <= 1e-14 of
  // |a d| + |b c|, or not finite. Such a matrix has no usable inverse.
  bool isSingular() const {
    const double det = determinant();
    const double size = std::fabs(e_[0][0] * e_[1][1]) + std::fabs(e_[0][1] * e_[1][0]);
    return !std::isfinite(det) || !(std::fabs(det) > 1e-14 * size);
  }

  // Throws vcMathError when the matrix is singular (see isSingular()).
  vcMatrix inverse() const {
    if (isSingular())
      throw vcMathError("vcMatrix<2>::inverse: matrix is singular (determinant " + std::to_string(determinant()) +
                        ")");
    const double det = determinant();
    return vcMatrix(e_[1][1] / det, -e_[0][1] / det, -e_[1][0] / det, e_[0][0] / det);
  }

  constexpr vcMatrix transpose() const { return vcMatrix(e_[0][0], e_[1][0], e_[0][1], e_[1][1]); }

  // Angle of the image of the x axis: atan2(c, a).
  vcRadian xRot() const { return vcRadian(std::atan2(e_[1][0], e_[0][0])); }
  // Angle of the image of the y axis less pi/2: atan2(-b, d). Equal to xRot()
  // for a rotation; differs by about pi when the matrix mirrors.
  vcRadian yRot() const { return vcRadian(std::atan2(-e_[0][1], e_[1][1])); }
  // Length of the image of the x axis.
  double xScale() const { return std::hypot(e_[0][0], e_[1][0]); }
  // Length of the image of the y axis.
  double yScale() const { return std::hypot(e_[0][1], e_[1][1]); }

  constexpr bool isIdentity() const { return *this == vcMatrix(); }

  // The product: (m * n) applies n first.
  constexpr vcMatrix operator*(const vcMatrix& n) const {
    return vcMatrix(e_[0][0] * n.e_[0][0] + e_[0][1] * n.e_[1][0], e_[0][0] * n.e_[0][1] + e_[0][1] * n.e_[1][1],
                    e_[1][0] * n.e_[0][0] + e_[1][1] * n.e_[1][0], e_[1][0] * n.e_[0][1] + e_[1][1] * n.e_[1][1]);
  }
  constexpr vcVector<2> operator*(const vcVector<2>& v) const {
    return vcVector<2>(e_[0][0] * v.x() + e_[0][1] * v.y(), e_[1][0] * v.x() + e_[1][1] * v.y());
  }

  constexpr bool operator==(const vcMatrix& o) const {
    return e_[0][0] == o.e_[0][0] && e_[0][1] == o.e_[0][1] && e_[1][0] == o.e_[1][0] && e_[1][1] == o.e_[1][1];
  }

private:
  double e_[2][2] = {{1.0, 0.0}, {0.0, 1.0}};
};

inline std::ostream& operator<<(std::ostream& os, const vcMatrix<2>& m) {
  return os << "[[" << m.element(0, 0) << ' ' << m.element(0, 1) << "] [" << m.element(1, 0) << ' '
            << m.element(1, 1) << "]]";
}
