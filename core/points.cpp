#include <vc/core/points.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/imagecodec.h>
#include <vc/core/rect.h>

namespace {

bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }

void requireFinite(const vcVector<2>& p, const char* what) {
  if (!finite(p)) throw vcShapesError::BadGeom(std::string(what) + ": coordinates are not finite");
}

}  // namespace

void vfSerializePoints(vcArchive& ar, std::vector<vcVector<2>>& pts, const char* owner) {
  vcExchangeCounted(
      ar, pts,
      [&](vcVector<2>& p, std::size_t i) {
        ar || p;
        if (ar.isLoading() && !finite(p))
          vcArchive::fail(std::string(owner) + ": stored point " + std::to_string(i) + " is not finite");
      },
      16);
}

// ---- vc2Point ----------------------------------------------------------------

template class vcShapeBase<vc2Point>;

vc2Point::vc2Point(double x, double y) : vc2Point(vcVector<2>(x, y)) {}
vc2Point::vc2Point(const vcVector<2>& p) : p_(p) { requireFinite(p, "vc2Point"); }

vcShapeHandle vc2Point::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vc2Point::boundingBox() const { return vcRect(p_.x(), p_.y(), 0.0, 0.0); }

void vc2Point::archiveFields_(vcArchive& ar) {
  vcVector<2> p = p_;
  ar || p;
  if (ar.isLoading()) *this = vc2Point(p);
}

// ---- vcPointSet --------------------------------------------------------------

template class vcShapeBase<vcPointSet>;

vcPointSet::vcPointSet(const std::vector<vcVector<2>>& points) : pts_(points) {
  for (const vcVector<2>& p : pts_) requireFinite(p, "vcPointSet");
}

vcPointSet::vcPointSet(const std::vector<vcPoint>& points) : pts_(points.begin(), points.end()) {
  for (const vcVector<2>& p : pts_) requireFinite(p, "vcPointSet");
}

const vcVector<2>& vcPointSet::point(std::size_t i) const {
  if (i >= pts_.size())
    throw vcBadArgument("vcPointSet::point: index " + std::to_string(i) + " of " + std::to_string(pts_.size()) +
                        " points");
  return pts_[i];
}

void vcPointSet::addPoint(const vcVector<2>& p) {
  requireFinite(p, "vcPointSet::addPoint");
  pts_.push_back(p);
}

vcPointSet vcPointSet::map(const vcXform<2>& x) const {
  vcPointSet r;
  r.pts_.reserve(pts_.size());
  for (const vcVector<2>& p : pts_) r.pts_.push_back(x.mapPoint(p));
  return r;
}

vcShapeHandle vcPointSet::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcPointSet::boundingBox() const {
  if (pts_.empty()) throw vcShapesError::DegenerateShape("vcPointSet: an empty set has no bounding box");
  vcRect r;
  for (const vcVector<2>& p : pts_) r.enclose(p);
  return r;
}

double vcPointSet::distanceToPoint(const vcVector<2>& p) const {
  if (pts_.empty()) throw vcShapesError::DegenerateShape("vcPointSet: an empty set has no distance");
  double best = std::numeric_limits<double>::infinity();
  for (const vcVector<2>& q : pts_) best = std::min(best, q.distance(p));
  return best;
}

std::vector<vcShapeHandle> vcPointSet::decompose() const {
  std::vector<vcShapeHandle> r;
  r.reserve(pts_.size());
  for (const vcVector<2>& p : pts_) r.push_back(vfShapeHandle(vc2Point(p)));
  return r;
}

void vcPointSet::archiveFields_(vcArchive& ar) {
  vfSerializePoints(ar, pts_, "vcPointSet");
}

// ---- vcCross -----------------------------------------------------------------

template class vcShapeBase<vcCross>;

vcCross::vcCross(const vcVector<2>& center, const vcRadian& angle, long size)
    : center_(center), angle_(angle), size_(size) {
  check_();
}

void vcCross::check_() const {
  if (!finite(center_) || !std::isfinite(angle_.toDouble()))
    throw vcShapesError::BadGeom("vcCross: center or angle is not finite");
  if (size_ < 0 || size_ > std::numeric_limits<std::int32_t>::max())
    throw vcShapesError::BadGeom("vcCross: size " + std::to_string(size_) + " is outside 0 .. 2^31 - 1");
}

template <class Codec>
void vcCross::image_(Codec& c) {
  double cx = center_.x(), cy = center_.y(), a = angle_.toDouble();
  long s = size_;
  c.f64(0, cx);
  c.f64(8, cy);
  c.f64(16, a);
  c.i32(24, s);
  if constexpr (!Codec::isWriting) {
    center_ = vcVector<2>(cx, cy);
    angle_ = vcRadian(a);
    size_ = s;
  }
}

void vcCross::writeImage(unsigned char* out) const {
  vc_ImageWriter w(out, kImageSize);
  const_cast<vcCross*>(this)->image_(w);
}

vcCross vcCross::readImage(const unsigned char* in) {
  vc_ImageReader r(in, kImageSize);
  vcCross c;
  c.image_(r);
  c.check_();
  return c;
}

vcCross vcCross::map(const vcXform<2>& x) const { return vcCross(x.mapPoint(center_), x.mapAngle(angle_), size_); }

vcShapeHandle vcCross::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcCross::boundingBox() const { return vcRect(center_.x(), center_.y(), 0.0, 0.0); }

void vcCross::archiveFields_(vcArchive& ar) {
  vcVector<2> center = center_;
  double angle = angle_.toDouble();
  long size = size_;
  ar || center || angle || size;
  if (ar.isLoading()) *this = vcCross(center, vcRadian(angle), size);
}

vcArchive& operator||(vcArchive& ar, vcCross& c) {
  ar.exchange(c);
  return ar;
}
