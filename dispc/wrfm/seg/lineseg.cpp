// vc2SegmentLine: ranges, closest points and intersections of straight segments.
#include <vc/wrfm/lineseg.h>

#include <algorithm>
#include <cmath>
#include <ostream>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

namespace {

bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }

void checkEnds(const vcVector<2>& p1, const vcVector<2>& p2, const char* who) {
  if (!finite(p1) || !finite(p2)) throw vcShapesError::BadGeom(std::string(who) + ": an end point is not finite");
  if (p1 == p2) throw vcShapesError::DegenerateShape(std::string(who) + ": the end points coincide");
}

// Coordinates this close are the same coordinate.
constexpr double kSameCoordinate = 1e-15;

bool near(double a, double b) { return std::fabs(a - b) <= kSameCoordinate; }

}  // namespace

vc2SegmentLine::vc2SegmentLine(const vcVector<2>& p1, const vcVector<2>& p2) : p1_(p1), p2_(p2) {
  checkEnds(p1, p2, "vc2SegmentLine");
}

vc2SegmentLine::vc2SegmentLine(const vcLineSeg& s) : vc2SegmentLine(s.p1(), s.p2()) {}

vcRect vc2SegmentLine::boundingBox() const {
  return vcRect(std::min(p1_.x(), p2_.x()), std::min(p1_.y(), p2_.y()), std::fabs(p1_.x() - p2_.x()),
                std::fabs(p1_.y() - p2_.y()));
}

bool vc2SegmentLine::inRange(const vcVector<2>& p, bool inclusive) const {
  const vcVector<2> d = p2_ - p1_;
  const double len = d.len();
  if (!(len > 0.0)) return inclusive && p == p1_;
  // The coordinate of p along the segment, 0 at p1 and len at p2.
  const double u = (p - p1_).dot(d) / len;
  const double tol = len * 1e-14;
  const bool nearEnd = std::fabs(u) <= tol || std::fabs(u - len) <= tol;
  if (inclusive) return (u >= 0.0 && u <= len) || nearEnd;
  return u > 0.0 && u < len && !nearEnd;
}

vcVector<2> vc2SegmentLine::closestPoint(const vcVector<2>& p) const {
  if (p1_ == p2_) return p1_;
  const vcVector<2> foot = line().closestPoint(p);
  if (inRange(foot, true)) return foot;
  return p1_.distance(p) < p2_.distance(p) ? p1_ : p2_;
}

bool vc2SegmentLine::validPoint(const vcVector<2>& p, bool) const {
  return closestPoint(p).distance(p) <= length() * 1e-14;
}

std::vector<vcVector<2>> vc2SegmentLine::intersection(const vcFLine& f, bool exclusive) const {
  std::vector<vcVector<2>> out;
  for (const vcVector<2>& q : f.intersection(line()))
    if (inRange(q, !exclusive)) out.push_back(q);
  return out;
}

std::vector<vcVector<2>> vc2SegmentLine::intersection(const vc2SegmentLine& o, bool exclusive) const {
  std::vector<vcVector<2>> out;
  for (const vcVector<2>& q : o.intersection(line(), exclusive))
    if (inRange(q, !exclusive)) out.push_back(q);
  return out;
}

bool vc2SegmentLine::operator==(const vc2SegmentLine& o) const {
  return near(p1_.x(), o.p1_.x()) && near(p1_.y(), o.p1_.y()) && near(p2_.x(), o.p2_.x()) && near(p2_.y(), o.p2_.y());
}

vc2SegmentLine operator*(const vc2Rigid& r, const vc2SegmentLine& s) {
  return vc2SegmentLine(r.mapVector(s.p1()) + r.trans(), r.mapVector(s.p2()) + r.trans());
}

vc2SegmentLine operator*(const vcXform<2>& x, const vc2SegmentLine& s) {
  return vc2SegmentLine(x * s.p1(), x * s.p2());
}

std::ostream& operator<<(std::ostream& os, const vc2SegmentLine& s) {
  return os << "p1_=" << s.p1().x() << s.p1().y() << '\n' << "p2_=" << s.p2().x() << s.p2().y() << "\n\n";
}

vcArchive& operator||(vcArchive& ar, vc2SegmentLine& s) {
  unsigned char version = 0;
  ar || version;
  // The line number is part of the stored-file contract of this error.
  if (version != 0) throw vcArchive::UnknownVersion("dispc/wrfm/lineseg", 105);
  vcVector<2> p1 = s.p1_, p2 = s.p2_;
  ar || p1 || p2;
  if (ar.isLoading()) {
    // Equal ends are accepted: the default segment must reload as it was.
    if (!finite(p1) || !finite(p2)) vcArchive::fail("vc2SegmentLine: stored end point is not finite");
    s.p1_ = p1;
    s.p2_ = p2;
  }
  return ar;
}
