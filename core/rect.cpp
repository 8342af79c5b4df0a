// vcRect: bounding, intersection and containment of closed double
// rectangles, and the rectangle as a shape.
#include <vc/core/rect.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/imagecodec.h>

namespace {
// The rectangle from corner lo to corner hi (lo <= hi on both axes).
vcRect fromCorners(const vcVector<2>& lo, const vcVector<2>& hi) { return vcRect(lo, hi - lo); }

// The size from lo to hi, rounded up where needed so that lo + size reaches
// hi: a rectangle that was grown to hold a point must then contain it.
double coveringSize(double lo, double hi) {
  double s = hi - lo;
  while (lo + s < hi) s = std::nextafter(s, std::numeric_limits<double>::infinity());
  return s;
}

// The smallest rectangle that holds both corners lo and hi (lo <= hi).
vcRect covering(const vcVector<2>& lo, const vcVector<2>& hi) {
  return vcRect(lo.x(), lo.y(), coveringSize(lo.x(), hi.x()), coveringSize(lo.y(), hi.y()));
}

vcVector<2> lower(const vcVector<2>& a, const vcVector<2>& b) {
  return vcVector<2>(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
}

vcVector<2> upper(const vcVector<2>& a, const vcVector<2>& b) {
  return vcVector<2>(std::max(a.x(), b.x()), std::max(a.y(), b.y()));
}
}  // namespace

vcRect& vcRect::enclose(const vcVector<2>& p) {
  notifyMutation_();
  if (isNull()) return *this = vcRect(p, vcVector<2>());
  return *this = covering(lower(o_, p), upper(corner(), p));
}

vcRect& vcRect::enclose(const vcRect& r) {
  if (r.isNull()) return *this;
  notifyMutation_();
  if (isNull()) return *this = r;
  return *this = covering(lower(o_, r.o_), upper(corner(), r.corner()));
}

vcRect vcRect::operator&(const vcRect& r) const {
  if (isNull() || r.isNull()) return vcRect();
  const vcVector<2> lo = upper(o_, r.o_);
  const vcVector<2> hi = lower(corner(), r.corner());
  if (!(lo.x() <= hi.x() && lo.y() <= hi.y())) return vcRect();
  return fromCorners(lo, hi);
}

bool vcRect::contains(const vcVector<2>& p) const {
  if (isNull()) return false;
  const vcVector<2> c = corner();
  return p.x() >= o_.x() && p.x() <= c.x() && p.y() >= o_.y() && p.y() <= c.y();
}

// ---- the rectangle as a shape ----------------------------------------------

template class vcShapeBase<vcRect>;

namespace {
void requireNotNull(const vcRect& r, const char* what) {
  if (r.isNull()) throw vcShapesError::DegenerateShape(std::string("vcRect::") + what + ": the rectangle is null");
}

// The corners in boundary order.
void cornersOf(const vcRect& r, vcVector<2> (&c)[4]) {
  const vcVector<2> o = r.origin(), k = r.corner();
  c[0] = o;
  c[1] = vcVector<2>(k.x(), o.y());
  c[2] = k;
  c[3] = vcVector<2>(o.x(), k.y());
}
}  // namespace

vcGenRect vcRect::map(const vcXform<2>& x) const { return vcGenRect(*this).map(x); }

vcShapeHandle vcRect::mapShape(const vcXform<2>& x) const {
  const vcMatrix<2>& m = x.matrix();
  const double sx = m.element(0, 0), sy = m.element(1, 1);
  if (m.element(0, 1) == 0.0 && m.element(1, 0) == 0.0 && sx > 0.0 && sy > 0.0)
    return vfShapeHandle(vcRect(x.mapPoint(o_), vcVector<2>(sx * s_.x(), sy * s_.y())));
  return vfShapeHandle(map(x));
}

double vcRect::distanceToPoint(const vcVector<2>& p) const {
  requireNotNull(*this, "distanceToPoint");
  const vcVector<2> k = corner();
  const double dx = std::max({o_.x() - p.x(), 0.0, p.x() - k.x()});
  const double dy = std::max({o_.y() - p.y(), 0.0, p.y() - k.y()});
  return std::hypot(dx, dy);
}

bool vcRect::isFinite() const {
  return std::isfinite(o_.x()) && std::isfinite(o_.y()) && std::isfinite(s_.x()) && std::isfinite(s_.y());
}

double vcRect::perimeter() const { return isNull() ? 0.0 : 2.0 * (s_.x() + s_.y()); }
double vcRect::area() const { return isNull() ? 0.0 : s_.x() * s_.y(); }
bool vcRect::within(const vcVector<2>& p) const { return contains(p); }

vcVector<2> vcRect::tangentAt(const vcVector<2>& p) const {
  requireNotNull(*this, "tangentAt");
  vcVector<2> c[4];
  cornersOf(*this, c);
  static const vcVector<2> dirs[4] = {{1.0, 0.0}, {0.0, 1.0}, {-1.0, 0.0}, {0.0, -1.0}};
  double best = std::numeric_limits<double>::infinity();
  int side = -1;
  for (int i = 0; i < 4; ++i) {
    const vcVector<2> a = c[i], b = c[(i + 1) % 4];
    if (a == b) continue;
    const vcVector<2> lo(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
    const vcVector<2> hi(std::max(a.x(), b.x()), std::max(a.y(), b.y()));
    const double d = std::hypot(std::max({lo.x() - p.x(), 0.0, p.x() - hi.x()}),
                                std::max({lo.y() - p.y(), 0.0, p.y() - hi.y()}));
    if (d < best) {
      best = d;
      side = i;
    }
  }
  if (side < 0) throw vcShapesError::NoTangent("vcRect::tangentAt: the rectangle is a single point");
  return dirs[side];
}

void vcRect::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  requireNotNull(*this, "sample");
  vcVector<2> c[4];
  cornersOf(*this, c);
  vcGenRect::sampleOutline(c, params, result);
}

template <class Codec>
void vcRect::image_(Codec& c) {
  double v[4] = {o_.x(), o_.y(), s_.x(), s_.y()};
  for (int i = 0; i < 4; ++i) c.f64(8 + 8 * static_cast<std::size_t>(i), v[i]);
  if constexpr (!Codec::isWriting) {
    o_ = vcVector<2>(v[0], v[1]);
    s_ = vcVector<2>(v[2], v[3]);
  }
}

void vcRect::writeImage(unsigned char* out) const {
  vc_ImageWriter w(out, kImageSize);
  const_cast<vcRect*>(this)->image_(w);
}

vcRect vcRect::readImage(const unsigned char* in) {
  vc_ImageReader rd(in, kImageSize);
  vcRect r;
  r.image_(rd);
  if (!r.isFinite()) throw vcShapesError::BadGeom("vcRect image holds a value that is not finite");
  return r;
}

void vcRect::archiveFields_(vcArchive& ar) {
  double v[4] = {o_.x(), o_.y(), s_.x(), s_.y()};
  for (double& d : v) ar || d;
  if (ar.isLoading()) {
    for (double d : v)
      if (!std::isfinite(d)) vcArchive::fail("vcRect: stored value is not finite");
    *this = vcRect(v[0], v[1], v[2], v[3]);
  }
}

vcArchive& operator||(vcArchive& ar, vcRect& r) {
  ar.exchange(r);
  return ar;
}

std::ostream& operator<<(std::ostream& os, const vcRect& r) {
  return os << '(' << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ')';
}
