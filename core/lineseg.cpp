#include <vc/core/lineseg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/rect.h>

namespace {

bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }

// Without a maxPoints limit, a hostile spacing or minPoints must not ask for
// billions of points.
constexpr double kHardPointLimit = 1e7;

struct Edge {
  vcVector<2> a, b;
  double len;
  double chords;
};

// Samples the whole path evenly by arc length with count points, the first
// and last exactly at the path's ends.
void sampleEvenly(const std::vector<Edge>& edges, double total, long count, bool includeEnd,
                  std::vector<vcVector<2>>& result) {
  const long last = count - 1;
  std::size_t k = 0;
  double before = 0.0;  // path length before edge k
  result.push_back(edges.front().a);
  for (long i = 1; i < last; ++i) {
    const double s = total * static_cast<double>(i) / static_cast<double>(last);
    while (k + 1 < edges.size() && before + edges[k].len < s) before += edges[k++].len;
    const Edge& e = edges[k];
    const double t = e.len > 0.0 ? std::clamp((s - before) / e.len, 0.0, 1.0) : 0.0;
    result.push_back(t == 0.0 ? e.a : e.a + (e.b - e.a) * t);
  }
  if (includeEnd) result.push_back(edges.back().b);
}

}  // namespace

vcVector<2> vfSegmentClosestPoint(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p) {
  const vcVector<2> d = b - a;
  const double l2 = d.len2();
  if (!(l2 > 0.0)) return a;
  const double t = d.dot(p - a) / l2;
  if (t <= 0.0) return a;
  if (t >= 1.0) return b;
  return a + d * t;
}

void vfSamplePolyPath(const std::vector<vcVector<2>>& v, bool closed, const vcShape::vcSampleParams& params,
                      std::vector<vcVector<2>>& result) {
  if (v.empty()) throw vcShapesError::DegenerateShape("cannot sample a path without vertices");
  std::vector<Edge> edges;
  const std::size_t n = v.size();
  const std::size_t m = n == 1 ? 1 : (closed ? n : n - 1);
  edges.reserve(m);
  double total = 0.0;
  for (std::size_t k = 0; k < m; ++k) {
    const vcVector<2>& a = v[k];
    const vcVector<2>& b = v[(k + 1) % n];
    edges.push_back({a, b, a.distance(b), 1.0});
    total += edges.back().len;
  }
  if (!std::isfinite(total)) throw vcShapesError::BadGeom("path too long to sample");
  const bool dup = params.duplicateCorners();
  const double corners = dup ? static_cast<double>(m - 1) : 0.0;
  auto pointCount = [&] {
    double c = 1.0 + corners;
    for (const Edge& e : edges) c += e.chords;
    return c;
  };

  if (params.spacing() > 0.0)
    for (Edge& e : edges) e.chords = std::max(1.0, std::ceil(e.len / params.spacing()));

  const double minPts = static_cast<double>(std::max(2L, params.minPoints()));
  if (pointCount() < minPts) {
    if (total > 0.0 && std::isfinite(total)) {
      const double s = total / (minPts - 1.0 - corners);
      for (Edge& e : edges) e.chords = std::max(e.chords, std::ceil(e.len / s));
    }
    if (pointCount() < minPts) edges.front().chords += minPts - pointCount();
  }

  double limit = kHardPointLimit;
  if (params.maxPoints() > 1) limit = std::min(limit, static_cast<double>(params.maxPoints()));
  if (!(pointCount() <= limit)) {
    sampleEvenly(edges, total, static_cast<long>(limit), params.includeEnd(), result);
    return;
  }

  result.reserve(result.size() + static_cast<std::size_t>(pointCount()));
  for (std::size_t k = 0; k < m; ++k) {
    const Edge& e = edges[k];
    if (dup && k > 0) result.push_back(e.a);
    const long c = static_cast<long>(e.chords);
    result.push_back(e.a);
    for (long j = 1; j < c; ++j) result.push_back(e.a + (e.b - e.a) * (static_cast<double>(j) / static_cast<double>(c)));
  }
  if (params.includeEnd()) result.push_back(edges.back().b);
}

// ---- vcLineSeg ---------------------------------------------------------------

template class vcShapeBase<vcLineSeg>;

vcLineSeg::vcLineSeg() = default;

vcLineSeg::vcLineSeg(const vcVector<2>& p1, const vcVector<2>& p2) : p1_(p1), p2_(p2) {
  if (!finite(p1) || !finite(p2)) throw vcShapesError::BadGeom("vcLineSeg: end points are not finite");
}

vcFLine vcLineSeg::line() const { return vcFLine(p1_, p2_); }

vcLineSeg vcLineSeg::map(const vcXform<2>& x) const { return vcLineSeg(x.mapPoint(p1_), x.mapPoint(p2_)); }

vcShapeHandle vcLineSeg::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcLineSeg::boundingBox() const {
  const double x0 = std::min(p1_.x(), p2_.x()), y0 = std::min(p1_.y(), p2_.y());
  return vcRect(x0, y0, std::max(p1_.x(), p2_.x()) - x0, std::max(p1_.y(), p2_.y()) - y0);
}

double vcLineSeg::distanceToPoint(const vcVector<2>& p) const { return closestPoint(p).distance(p); }

vcVector<2> vcLineSeg::tangentAt(const vcVector<2>&) const {
  if (p1_ == p2_) throw vcShapesError::NoTangent("vcLineSeg: a zero-length segment has no tangent");
  return (p2_ - p1_).unit();
}

void vcLineSeg::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  vfSamplePolyPath({p1_, p2_}, false, params, result);
}

vcShapeHandle vcLineSeg::reverse() const { return vfShapeHandle(vcLineSeg(p2_, p1_)); }

void vcLineSeg::archiveFields_(vcArchive& ar) {
  vcVector<2> p1 = p1_, p2 = p2_;
  ar || p1 || p2;
  if (ar.isLoading()) *this = vcLineSeg(p1, p2);
}

// ---- vcLineSegSet ------------------------------------------------------------

template class vcShapeBase<vcLineSegSet>;

vcLineSegSet::vcLineSegSet(const std::vector<vcLineSeg>& segments) : segs_(segments) {}

const vcLineSeg& vcLineSegSet::segment(std::size_t i) const {
  if (i >= segs_.size())
    throw vcBadArgument("vcLineSegSet::segment: index " + std::to_string(i) + " of " +
                        std::to_string(segs_.size()) + " segments");
  return segs_[i];
}

vcLineSegSet vcLineSegSet::map(const vcXform<2>& x) const {
  vcLineSegSet r;
  r.segs_.reserve(segs_.size());
  for (const vcLineSeg& s : segs_) r.segs_.push_back(s.map(x));
  return r;
}

vcShapeHandle vcLineSegSet::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcLineSegSet::boundingBox() const {
  if (segs_.empty()) throw vcShapesError::DegenerateShape("vcLineSegSet: an empty set has no bounding box");
  vcRect r;
  for (const vcLineSeg& s : segs_) r.enclose(s.p1()).enclose(s.p2());
  return r;
}

double vcLineSegSet::distanceToPoint(const vcVector<2>& p) const {
  if (segs_.empty()) throw vcShapesError::DegenerateShape("vcLineSegSet: an empty set has no distance");
  double best = std::numeric_limits<double>::infinity();
  for (const vcLineSeg& s : segs_) best = std::min(best, s.distanceToPoint(p));
  return best;
}

std::vector<vcShapeHandle> vcLineSegSet::decompose() const {
  std::vector<vcShapeHandle> r;
  r.reserve(segs_.size());
  for (const vcLineSeg& s : segs_) r.push_back(s.clone());
  return r;
}

void vcLineSegSet::archiveFields_(vcArchive& ar) {
  vcExchangeCounted(
      ar, segs_,
      [&ar](vcLineSeg& s) {
        vcVector<2> p1 = s.p1(), p2 = s.p2();
        ar || p1 || p2;
        if (ar.isLoading()) s = vcLineSeg(p1, p2);
      },
      32);
}
