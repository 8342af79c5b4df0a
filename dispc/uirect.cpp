// vcUIRect: intersection, bounding union and the archive form.
#include <vc/uirect.h>

#include <algorithm>
#include <ostream>

#include <vc/core/archive.h>

namespace {

// A pair's own archive form: version byte 0, then x and y as 32-bit values.
void serializePair(vcArchive& ar, vcPair<long>& p) {
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("vcPair", 0);
  long x = p.x(), y = p.y();
  ar || x || y;
  if (ar.isLoading()) p = vcPair<long>(x, y);
}

}  // namespace

bool vcUIRect::nullIntersection(const vcUIRect& r) const noexcept { return (*this & r).isNull(); }

vcUIRect vcUIRect::operator&(const vcUIRect& r) const noexcept {
  if (isNull() || r.isNull()) return null;
  const long l = std::max(left(), r.left());
  const long t = std::max(top(), r.top());
  return vcUIRect(l, t, std::min(right(), r.right()) - l, std::min(bottom(), r.bottom()) - t);
}

vcUIRect& vcUIRect::operator&=(const vcUIRect& r) noexcept {
  if (!isNull()) *this = *this & r;
  return *this;
}

vcUIRect vcUIRect::operator|(const vcUIRect& r) const noexcept {
  if (isNull()) return r;
  if (r.isNull()) return *this;
  const long l = std::min(left(), r.left());
  const long t = std::min(top(), r.top());
  return vcUIRect(l, t, std::max(right(), r.right()) - l, std::max(bottom(), r.bottom()) - t);
}

vcUIRect& vcUIRect::operator|=(const vcUIRect& r) noexcept { return *this = *this | r; }

vcArchive& operator||(vcArchive& ar, vcUIRect& r) {
  signed char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/uirect", __LINE__);
  vcPair<long> ul = r.ul_, sz = r.sz_;
  serializePair(ar, ul);
  serializePair(ar, sz);
  if (ar.isLoading()) {
    r.ul_ = ul;
    r.sz_ = sz;
  }
  return ar;
}

std::ostream& operator<<(std::ostream& os, const vcUIRect& r) {
  return os << '(' << r.left() << ", " << r.top() << ", " << r.width() << ", " << r.height() << ')';
}
