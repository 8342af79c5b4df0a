// Polygon and path clipping to an axis-aligned rectangle.
#include <vc/core/clip.h>

#include <algorithm>
#include <utility>

namespace {

using V = vcVector<2>;

}  // namespace

std::vector<V> vfClipPolygon(std::vector<V> path, const vcRect& box) {
  if (box.isNull()) return {};
  const V lo = box.origin(), hi = box.corner();
  for (int edge = 0; edge < 4 && !path.empty(); ++edge) {
    const bool vertical = edge < 2;
    const double at = edge == 0 ? lo.x() : edge == 1 ? hi.x() : edge == 2 ? lo.y() : hi.y();
    const auto inside = [&](const V& p) {
      const double v = vertical ? p.x() : p.y();
      return edge % 2 == 0 ? v >= at : v <= at;
    };
    // Only called for p and q on opposite sides, so the divisor is not zero.
    const auto cross = [&](const V& p, const V& q) {
      if (vertical) return V(at, p.y() + (at - p.x()) / (q.x() - p.x()) * (q.y() - p.y()));
      return V(p.x() + (at - p.y()) / (q.y() - p.y()) * (q.x() - p.x()), at);
    };
    std::vector<V> out;
    out.reserve(path.size() + 4);
    for (std::size_t i = 0; i < path.size(); ++i) {
      const V& cur = path[i];
      const V& prev = path[(i + path.size() - 1) % path.size()];
      if (inside(cur) != inside(prev)) out.push_back(cross(prev, cur));
      if (inside(cur)) out.push_back(cur);
    }
    path = std::move(out);
  }
  return path;
}

bool vfClipSegment(V& p, V& q, const vcRect& box) {
  if (box.isNull()) return false;
  const V lo = box.origin(), hi = box.corner();
  const double dx = q.x() - p.x(), dy = q.y() - p.y();
  double t0 = 0.0, t1 = 1.0;
  const double pk[4] = {-dx, dx, -dy, dy};
  const double qk[4] = {p.x() - lo.x(), hi.x() - p.x(), p.y() - lo.y(), hi.y() - p.y()};
  for (int k = 0; k < 4; ++k) {
    if (pk[k] == 0.0) {
      if (qk[k] < 0.0) return false;
      continue;
    }
    const double r = qk[k] / pk[k];
    if (pk[k] < 0.0)
      t0 = std::max(t0, r);
    else
      t1 = std::min(t1, r);
    if (t0 > t1) return false;
  }
  // Ends that need no cut are kept exactly.
  const V from = p;
  if (t1 < 1.0) q = V(from.x() + t1 * dx, from.y() + t1 * dy);
  if (t0 > 0.0) p = V(from.x() + t0 * dx, from.y() + t0 * dy);
  return true;
}

std::vector<std::vector<V>> vfClipPath(const std::vector<V>& path, bool closed, const vcRect& box) {
  std::vector<std::vector<V>> runs;
  if (path.size() < 2) return runs;
  const std::size_t edges = closed ? path.size() : path.size() - 1;
  for (std::size_t i = 0; i < edges; ++i) {
    V p = path[i], q = path[(i + 1) % path.size()];
    if (!vfClipSegment(p, q, box)) continue;
    if (runs.empty() || !(runs.back().back() == p)) runs.push_back({p});
    runs.back().push_back(q);
  }
  return runs;
}
