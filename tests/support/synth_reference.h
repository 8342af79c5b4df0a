// An exact-area reference for synthetic images, independent of the library's
// rasteriser: outlines densified until their chords leave the curve by less
// than 1e-4 pixel, each pixel square cut from them (Sutherland-Hodgman) and
// its area taken with the shoelace formula.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace synth_ref {

struct Pt {
  double x, y;
};
using Outline = std::vector<Pt>;

// Appends the arc of the circle (c, r) from angle a0 to a1 (radians), the
// start included, in steps whose chords leave it by at most 1e-4.
inline void arc(Outline& out, Pt c, double r, double a0, double a1) {
  const double step = 2.0 * std::sqrt(2.0 * 1e-4 / r);
  const int n = std::max(2, static_cast<int>(std::ceil(std::fabs(a1 - a0) / step)));
  for (int k = 0; k < n; ++k) {
    const double a = a0 + (a1 - a0) * k / n;
    out.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
}

// Splits every edge of the closed outline into pieces no longer than len.
inline Outline densify(const Outline& o, double len) {
  Outline r;
  for (std::size_t k = 0; k < o.size(); ++k) {
    const Pt a = o[k], b = o[(k + 1) % o.size()];
    const int n = std::max(1, static_cast<int>(std::ceil(std::hypot(b.x - a.x, b.y - a.y) / len)));
    for (int i = 0; i < n; ++i) r.push_back({a.x + (b.x - a.x) * i / n, a.y + (b.y - a.y) * i / n});
  }
  return r;
}

inline Outline map(const Outline& o, const std::function<Pt(Pt)>& f) {
  Outline r;
  r.reserve(o.size());
  for (const Pt& p : o) r.push_back(f(p));
  return r;
}

// Keeps the part of the polygon where s * (coordinate axis) - bound >= 0.
inline Outline clip(const Outline& poly, int axis, double bound, double s) {
  Outline r;
  const auto f = [&](const Pt& p) { return s * ((axis == 0 ? p.x : p.y) - bound); };
  for (std::size_t k = 0; k < poly.size(); ++k) {
    const Pt a = poly[k], b = poly[(k + 1) % poly.size()];
    const double fa = f(a), fb = f(b);
    if (fa >= 0) r.push_back(a);
    if ((fa >= 0) != (fb >= 0)) {
      const double t = fa / (fa - fb);
      r.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
    }
  }
  return r;
}

inline double area(const Outline& p) {
  double s = 0;
  for (std::size_t k = 0; k < p.size(); ++k) {
    const Pt a = p[k], b = p[(k + 1) % p.size()];
    s += a.x * b.y - a.y * b.x;
  }
  return std::fabs(0.5 * s);
}

namespace detail {

// Cuts poly into the cells of [i0, i1) x [j0, j1) by halving the range, so
// that each cut works on the part of the outline that is left, then adds
// each cell's area to cov.
inline void cells(const Outline& poly, long i0, long i1, long j0, long j1, long w, std::vector<double>& cov) {
  if (poly.size() < 3) return;
  // A block the outline covers whole (its area is the block's) needs no more cuts.
  if (area(poly) >= static_cast<double>((i1 - i0) * (j1 - j0)) - 1e-9) {
    for (long j = j0; j < j1; ++j)
      for (long i = i0; i < i1; ++i) cov[static_cast<std::size_t>(j * w + i)] = 1.0;
    return;
  }
  if (i1 - i0 == 1 && j1 - j0 == 1) {
    cov[static_cast<std::size_t>(j0 * w + i0)] = std::min(1.0, area(poly));
    return;
  }
  const bool splitRows = j1 - j0 >= i1 - i0;
  const int axis = splitRows ? 1 : 0;
  const long lo = splitRows ? j0 : i0, hi = splitRows ? j1 : i1, mid = (lo + hi) / 2;
  const Outline a = clip(poly, axis, static_cast<double>(mid), -1), b = clip(poly, axis, static_cast<double>(mid), 1);
  if (splitRows) {
    cells(a, i0, i1, j0, mid, w, cov);
    cells(b, i0, i1, mid, j1, w, cov);
  } else {
    cells(a, i0, mid, j0, j1, w, cov);
    cells(b, mid, i1, j0, j1, w, cov);
  }
}

}  // namespace detail

// Covered fraction of every pixel of a w x h image (row-major).
inline std::vector<double> coverage(const Outline& o, long w, long h) {
  std::vector<double> cov(static_cast<std::size_t>(w * h), 0.0);
  Outline inside = clip(clip(o, 0, 0.0, 1), 0, static_cast<double>(w), -1);
  inside = clip(clip(inside, 1, 0.0, 1), 1, static_cast<double>(h), -1);
  detail::cells(inside, 0, w, 0, h, w, cov);
  return cov;
}

// Winding number of the closed outline around p.
inline int winding(const Outline& o, Pt p) {
  int w = 0;
  for (std::size_t k = 0; k < o.size(); ++k) {
    const Pt a = o[k], b = o[(k + 1) % o.size()];
    const double c = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
    if (a.y <= p.y && b.y > p.y && c > 0) ++w;
    if (a.y > p.y && b.y <= p.y && c < 0) --w;
  }
  return w;
}

// Distance from p to the outline.
inline double distance(const Outline& o, Pt p) {
  double d = 1e300;
  for (std::size_t k = 0; k < o.size(); ++k) {
    const Pt a = o[k], b = o[(k + 1) % o.size()];
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
    d = std::min(d, std::hypot(a.x + dx * t - p.x, a.y + dy * t - p.y));
  }
  return d;
}

}  // namespace synth_ref
