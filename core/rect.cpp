// vcRect: bounding, intersection and containment of closed double rectangles.
#include <vc/core/rect.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

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
  if (isNull()) return *this = vcRect(p, vcVector<2>());
  return *this = covering(lower(o_, p), upper(corner(), p));
}

vcRect& vcRect::enclose(const vcRect& r) {
  if (r.isNull()) return *this;
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

std::ostream& operator<<(std::ostream& os, const vcRect& r) {
  return os << '(' << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ')';
}
