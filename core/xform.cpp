// 2-D transforms: the affine vcXform<2> and the shared vc2XformBase family.
#include <vc/core/xform.h>

#include <cmath>
#include <ostream>
#include <string>

#include <vc/core/exception.h>

const vcXform<2> vcXform<2>::I{};

vcXform<2> vcXform<2>::rotation(const vcRadian& angle, const vcVector<2>& center) {
  const vcMatrix<2> r = vcMatrix<2>::rotation(angle);
  return vcXform(r, center - r * center);
}

vcXform<2> vcXform<2>::inverse() const {
  const vcMatrix<2> inv = m_.inverse();
  return vcXform(inv, -(inv * t_));
}

namespace {
vcRadian directionAngle(const vcVector<2>& d, const char* fn) {
  if (d == vcVector<2>() || !std::isfinite(d.x()) || !std::isfinite(d.y()))
    throw vcMathError(std::string(fn) + ": the transform collapses the direction");
  return d.angle();
}
}  // namespace

vcRadian vcXform<2>::mapAngle(const vcRadian& a) const {
  return directionAngle(m_ * vcVector<2>(cos(a), sin(a)), "vcXform<2>::mapAngle");
}

vcVector<2> vcXform<2>::invMapPoint(const vcVector<2>& p) const { return m_.inverse() * (p - t_); }

vcVector<2> vcXform<2>::invMapVector(const vcVector<2>& v) const { return m_.inverse() * v; }

vcRadian vcXform<2>::invMapAngle(const vcRadian& a) const {
  return directionAngle(m_.inverse() * vcVector<2>(cos(a), sin(a)), "vcXform<2>::invMapAngle");
}

std::ostream& operator<<(std::ostream& os, const vcXform<2>& x) {
  return os << "{matrix " << x.matrix() << ", trans " << x.trans() << '}';
}

vcPtrHandle_const<vc2XformBase> vc2XformLinear::inverseBase() const {
  return vcPtrHandle<vc2XformBase>(vfMakeHandle<vc2XformLinear>(x_.inverse()));
}

vcPtrHandle<vc2XformBase> vc2XformLinear::clone() const { return vfMakeHandle<vc2XformLinear>(*this); }

vc2Rigid::vc2Rigid(const vcRadian& angle, const vcVector<2>& trans)
    : vc2XformLinear(vcXform<2>(vcMatrix<2>::rotation(angle), trans)), angle_(angle) {}

vc2Rigid vc2Rigid::inverse() const {
  const vcRadian back = -angle_;
  return vc2Rigid(back, -(vcMatrix<2>::rotation(back) * trans()));
}

vc2Rigid vc2Rigid::operator*(const vc2Rigid& b) const {
  return vc2Rigid(angle_ + b.angle_, x_.matrix() * b.trans() + trans());
}

vcPtrHandle_const<vc2XformBase> vc2Rigid::inverseBase() const {
  return vcPtrHandle<vc2XformBase>(vfMakeHandle<vc2Rigid>(inverse()));
}

vcPtrHandle<vc2XformBase> vc2Rigid::clone() const { return vfMakeHandle<vc2Rigid>(*this); }

bool vc2Rigid::operator==(const vc2Rigid& o) const {
  return trans() == o.trans() && angle_.signedNorm() == o.angle_.signedNorm();
}
