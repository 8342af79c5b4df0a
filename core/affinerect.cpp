// vcAffineRectangle: parallelograms kept as three exact corners.
#include <vc/core/affinerect.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/imagecodec.h>
#include <vc/core/rect.h>

template class vcShapeBase<vcAffineRectangle>;

namespace {
bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }

void checkCorners(const vcVector<2>& v0, const vcVector<2>& v1, const vcVector<2>& v2) {
  if (!(finite(v0) && finite(v1) && finite(v2)))
    throw vcShapesError::BadGeom("vcAffineRectangle: corners must be finite");
}

// The corners in boundary order: Po, Px, Popp, Py.
void cornersOf(const vcAffineRectangle& r, vcVector<2> (&c)[4]) {
  c[0] = r.cornerPo();
  c[1] = r.cornerPx();
  c[2] = r.cornerPopp();
  c[3] = r.cornerPy();
}

// The distance from p to the side a -> b.
double sideDistance(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p) {
  const vcVector<2> d = b - a;
  const double l2 = d.len2();
  const double t = l2 > 0.0 ? std::clamp((p - a).dot(d) / l2, 0.0, 1.0) : 0.0;
  return p.distance(a + d * t);
}

// The side of r nearest to p (0..3, Po -> Px first) and its distance.
int nearestSide(const vcAffineRectangle& r, const vcVector<2>& p, double& dist) {
  vcVector<2> c[4];
  cornersOf(r, c);
  int best = 0;
  dist = std::numeric_limits<double>::infinity();
  for (int i = 0; i < 4; ++i) {
    const double d = sideDistance(c[i], c[(i + 1) % 4], p);
    // A side that collapsed to a point has no direction: prefer a real one.
    if (d < dist || (d == dist && c[best] == c[(best + 1) % 4])) {
      dist = d;
      best = i;
    }
  }
  return best;
}
}  // namespace

vcAffineRectangle::vcAffineRectangle() = default;

vcAffineRectangle::vcAffineRectangle(const vcVector<2>& center, double x, double y, const vcRadian& r1,
                                     const vcRadian& r2) {
  if (!(finite(center) && std::isfinite(x) && std::isfinite(y) && std::isfinite(r1.toDouble()) &&
        std::isfinite(r2.toDouble())))
    throw vcShapesError::BadGeom("vcAffineRectangle: center, sides and angles must be finite");
  if (x < 0.0 || y < 0.0) throw vcShapesError::BadGeom("vcAffineRectangle: side lengths must not be negative");
  const vcRadian a2 = r1 + r2 + std::numbers::pi / 2.0;
  const vcVector<2> sx = vcVector<2>(cos(r1), sin(r1)) * x;
  const vcVector<2> sy = vcVector<2>(cos(a2), sin(a2)) * y;
  v0_ = center - (sx + sy) * 0.5;
  v1_ = v0_ + sx;
  v2_ = v0_ + sy;
}

vcAffineRectangle::vcAffineRectangle(const vcVector<2>& v0, const vcVector<2>& v1, const vcVector<2>& v2)
    : v0_(v0), v1_(v1), v2_(v2) {
  checkCorners(v0_, v1_, v2_);
}

vcRadian vcAffineRectangle::skew() const {
  return ((v2_ - v0_).angle() - rotation() - std::numbers::pi / 2.0).signedNorm();
}

vcGenRect vcAffineRectangle::genRect() const {
  const vcVector<2> hx = (v1_ - v0_) * 0.5, hy = (v2_ - v0_) * 0.5;
  return vcGenRect(center(), vcMatrix<2>(hx.x(), hy.x(), hx.y(), hy.y()), vcVector<2>());
}

vcAffineRectangle vcAffineRectangle::map(const vcXform<2>& x) const {
  return vcAffineRectangle(x.mapPoint(v0_), x.mapPoint(v1_), x.mapPoint(v2_));
}

vcShapeHandle vcAffineRectangle::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcAffineRectangle::boundingBox() const {
  vcVector<2> c[4];
  cornersOf(*this, c);
  vcRect box;
  for (const vcVector<2>& p : c) box.enclose(p);
  return box;
}

double vcAffineRectangle::distanceToPoint(const vcVector<2>& p) const {
  if (within(p)) return 0.0;
  double d = 0.0;
  nearestSide(*this, p, d);
  return d;
}

bool vcAffineRectangle::isEmpty() const { return genRect().isEmpty(); }
double vcAffineRectangle::perimeter() const { return 2.0 * (xLength() + yLength()); }
double vcAffineRectangle::area() const { return std::fabs((v1_ - v0_).cross(v2_ - v0_)); }
bool vcAffineRectangle::within(const vcVector<2>& p) const { return genRect().within(p); }

vcVector<2> vcAffineRectangle::tangentAt(const vcVector<2>& p) const {
  vcVector<2> c[4];
  cornersOf(*this, c);
  double d = 0.0;
  const int side = nearestSide(*this, p, d);
  const vcVector<2> dir = c[(side + 1) % 4] - c[side];
  if (!(dir.len() > 0.0))
    throw vcShapesError::NoTangent("vcAffineRectangle::tangentAt: the parallelogram is a single point");
  return dir.unit();
}

void vcAffineRectangle::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  vcVector<2> c[4];
  cornersOf(*this, c);
  vcGenRect::sampleOutline(c, params, result);
}

template <class Codec>
void vcAffineRectangle::image_(Codec& c) {
  double v[6] = {v0_.x(), v0_.y(), v1_.x(), v1_.y(), v2_.x(), v2_.y()};
  for (std::size_t i = 0; i < 6; ++i) c.f64(56 + 8 * i, v[i]);
  if constexpr (!Codec::isWriting)
    *this = vcAffineRectangle(vcVector<2>(v[0], v[1]), vcVector<2>(v[2], v[3]), vcVector<2>(v[4], v[5]));
}

void vcAffineRectangle::writeImage(unsigned char* out) const {
  vc_ImageWriter w(out, kImageSize);
  const_cast<vcAffineRectangle*>(this)->image_(w);
}

vcAffineRectangle vcAffineRectangle::readImage(const unsigned char* in) {
  vc_ImageReader rd(in, kImageSize);
  vcAffineRectangle r;
  r.image_(rd);
  return r;
}

void vcAffineRectangle::archiveFields_(vcArchive& ar) {
  vcVector<2> v0 = v0_, v1 = v1_, v2 = v2_;
  ar || v0 || v1 || v2;
  if (ar.isLoading()) *this = vcAffineRectangle(v0, v1, v2);
}
