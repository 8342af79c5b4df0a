// 2-D transforms.
//
// vcXform<2> is the affine value type: p -> M p + t. vc2XformBase is the
// shared, possibly non-linear, transform held through
// vcPtrHandle_const<vc2XformBase>; vc2XformLinear wraps a vcXform<2> and
// vc2Rigid is its rotation-plus-translation special case. Points and vectors
// are in the transform's source frame on input and its destination frame on
// output; angles follow the convention of <vc/core/angle.h>.
#pragma once

#include <iosfwd>

#include <vc/core/angle.h>
#include <vc/core/handle.h>
#include <vc/core/matrix.h>
#include <vc/core/vector.h>

template <int N>
class vcXform;

template <>
class vcXform<2> {
public:
  // The identity.
  constexpr vcXform() = default;
  // Maps p to m p + trans (trans in destination units).
  constexpr vcXform(const vcMatrix<2>& m, const vcVector<2>& trans) : m_(m), t_(trans), det_(m.determinant()) {}

  static const vcXform I;

  // p -> p + d.
  static constexpr vcXform translation(const vcVector<2>& d) { return vcXform(vcMatrix<2>(), d); }
  // Rotation by angle about the origin.
  static vcXform rotation(const vcRadian& angle) { return vcXform(vcMatrix<2>::rotation(angle), vcVector<2>()); }
  // Rotation by angle about center (source frame).
  static vcXform rotation(const vcRadian& angle, const vcVector<2>& center);
  // Scales about the origin: x by sx, y by sy.
  static constexpr vcXform scale(double sx, double sy) { return vcXform(vcMatrix<2>::scale(sx, sy), vcVector<2>()); }

  constexpr const vcMatrix<2>& matrix() const { return m_; }
  constexpr const vcVector<2>& trans() const { return t_; }
  void matrix(const vcMatrix<2>& m) { m_ = m; det_ = m.determinant(); }
  void trans(const vcVector<2>& t) { t_ = t; }
  // The determinant of matrix(), computed once when the matrix is set.
  constexpr double determinant() const { return det_; }

  // The composition: (a * b) maps by b first, then by a.
  vcXform operator*(const vcXform& b) const { return vcXform(m_ * b.m_, m_ * b.t_ + t_); }
  // The same as mapPoint(p).
  vcVector<2> operator*(const vcVector<2>& p) const { return mapPoint(p); }
  // Throws vcMathError when the matrix is singular (vcMatrix<2>::isSingular).
  vcXform inverse() const;

  vcVector<2> mapPoint(const vcVector<2>& p) const { return m_ * p + t_; }
  // Maps a displacement: the matrix alone.
  vcVector<2> mapVector(const vcVector<2>& v) const { return m_ * v; }
  // The angle of the image of the direction a. Throws vcMathError when the
  // matrix maps that direction to zero.
  vcRadian mapAngle(const vcRadian& a) const;
  // The inverse mappings; each throws vcMathError when the matrix is singular.
  vcVector<2> invMapPoint(const vcVector<2>& p) const;
  vcVector<2> invMapVector(const vcVector<2>& v) const;
  vcRadian invMapAngle(const vcRadian& a) const;

  constexpr bool isIdentity() const { return m_.isIdentity() && t_ == vcVector<2>(); }
  // Exact comparison of matrix and translation.
  constexpr bool operator==(const vcXform& o) const { return m_ == o.m_ && t_ == o.t_; }

private:
  vcMatrix<2> m_;
  vcVector<2> t_;
  double det_ = 1.0;
};

std::ostream& operator<<(std::ostream& os, const vcXform<2>& x);

// A 2-D transform that may be non-linear, shared through
// vcPtrHandle_const<vc2XformBase>. Immutable once made.
class vc2XformBase : public vcRepBase {
public:
  // Maps a point of the source frame into the destination frame.
  virtual vcVector<2> mapPoint(const vcVector<2>& p) const = 0;
  // The affine transform that best approximates this one near the source
  // point at (the transform itself when isLinear()).
  virtual vcXform<2> linearXform(const vcVector<2>& at) const = 0;
  virtual bool isLinear() const = 0;
  // The inverse transform as a new shared object. Throws vcMathError when
  // there is none.
  virtual vcPtrHandle_const<vc2XformBase> inverseBase() const = 0;
  // A new copy of this transform.
  virtual vcPtrHandle<vc2XformBase> clone() const = 0;
};

// A shared transform that is exactly one vcXform<2>. Converts implicitly from
// vcXform<2> so that an affine transform can be passed where one is expected.
class vc2XformLinear : public vc2XformBase {
public:
  // The identity.
  vc2XformLinear() = default;
  vc2XformLinear(const vcXform<2>& x) : x_(x) {}

  const vcXform<2>& xform() const { return x_; }

  vcVector<2> mapPoint(const vcVector<2>& p) const override { return x_.mapPoint(p); }
  vcXform<2> linearXform(const vcVector<2>&) const override { return x_; }
  bool isLinear() const override { return true; }
  vcPtrHandle_const<vc2XformBase> inverseBase() const override;
  vcPtrHandle<vc2XformBase> clone() const override;

  vcVector<2> mapVector(const vcVector<2>& v) const { return x_.mapVector(v); }
  vcRadian mapAngle(const vcRadian& a) const { return x_.mapAngle(a); }
  bool operator==(const vc2XformLinear& o) const { return x_ == o.x_; }

protected:
  vcXform<2> x_;
};

// A rigid motion: rotation by angle about the origin, then translation by
// trans. It keeps the angle as given.
class vc2Rigid : public vc2XformLinear {
public:
  // The identity.
  vc2Rigid() = default;
  // angle: radians (a vcDegree converts); trans: in destination units.
  vc2Rigid(const vcRadian& angle, const vcVector<2>& trans);

  const vcRadian& angle() const { return angle_; }
  const vcVector<2>& trans() const { return x_.trans(); }
  // This motion as a general affine transform (the same as xform()).
  const vcXform<2>& linear() const { return x_; }

  // The inverse motion: rotation by -angle, then translation by -R(-angle) trans.
  vc2Rigid inverse() const;
  // The composition: (a * b) moves by b first.
  vc2Rigid operator*(const vc2Rigid& b) const;

  vcPtrHandle_const<vc2XformBase> inverseBase() const override;
  vcPtrHandle<vc2XformBase> clone() const override;

  // Equal when the translations are equal and the angles are the same
  // direction (compared after signedNorm()).
  bool operator==(const vc2Rigid& o) const;

private:
  vcRadian angle_;
};
