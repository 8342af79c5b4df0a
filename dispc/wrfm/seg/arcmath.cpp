#include "arcmath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace vc_arc {

vcVector<2> unitAt(double deg) {
  double r = std::fmod(deg, 360.0);  // exact
  if (r < 0.0) r += 360.0;
  if (r == 0.0 || r == 360.0) return vcVector<2>(1.0, 0.0);
  if (r == 90.0) return vcVector<2>(0.0, 1.0);
  if (r == 180.0) return vcVector<2>(-1.0, 0.0);
  if (r == 270.0) return vcVector<2>(0.0, -1.0);
  if (r > 180.0) r -= 360.0;  // exact; keeps the radian argument small
  const double rad = r * (std::numbers::pi / 180.0);
  return vcVector<2>(std::cos(rad), std::sin(rad));
}

double angleOf(const vcVector<2>& v) {
  // Exact answers on the axes, so that quarter-turn arcs keep round angles.
  if (v.y() == 0.0 && v.x() > 0.0) return 0.0;
  if (v.x() == 0.0 && v.y() != 0.0) return v.y() > 0.0 ? 90.0 : -90.0;
  if (v.y() == 0.0 && v.x() < 0.0) return 180.0;
  return std::atan2(v.y(), v.x()) * (180.0 / std::numbers::pi);
}

bool isSimilarity(const vcMatrix<2>& m, double* scale) {
  const double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
  const double size = std::fabs(a) + std::fabs(b) + std::fabs(c) + std::fabs(d);
  const double tol = 1e-14 * size;
  const bool rotating = std::fabs(a - d) <= tol && std::fabs(b + c) <= tol;
  const bool mirroring = std::fabs(a + d) <= tol && std::fabs(b - c) <= tol;
  if (!(rotating || mirroring) || !(size > 0.0)) return false;
  if (scale) *scale = std::sqrt(std::fabs(a * d - b * c));
  return true;
}

namespace {

constexpr double kGolden = 0.6180339887498949;

// Golden-section search for the minimum of g on [lo, hi].
double goldenMin(const std::function<double(double)>& g, double lo, double hi) {
  double x1 = hi - kGolden * (hi - lo), x2 = lo + kGolden * (hi - lo);
  double g1 = g(x1), g2 = g(x2);
  for (int i = 0; i < 200 && hi - lo > 4 * std::numeric_limits<double>::epsilon() * (std::fabs(lo) + std::fabs(hi));
       ++i) {
    if (g1 <= g2) {
      hi = x2, x2 = x1, g2 = g1;
      x1 = hi - kGolden * (hi - lo), g1 = g(x1);
    } else {
      lo = x1, x1 = x2, g1 = g2;
      x2 = lo + kGolden * (hi - lo), g2 = g(x2);
    }
  }
  return g1 <= g2 ? x1 : x2;
}

// The zero of f between a and b, where f(a) and f(b) differ in sign.
double bisect(const std::function<double(double)>& f, double a, double b) {
  double fa = f(a);
  for (int i = 0; i < 200; ++i) {
    const double m = 0.5 * (a + b);
    if (m == a || m == b) break;
    const double fm = f(m);
    if (fm == 0.0) return m;
    if ((fm < 0.0) == (fa < 0.0))
      a = m, fa = fm;
    else
      b = m;
  }
  return 0.5 * (a + b);
}

}  // namespace

double argMin(const std::function<double(double)>& g, double lo, double hi, int n) {
  std::vector<double> t(n + 1), v(n + 1);
  for (int i = 0; i <= n; ++i) {
    t[i] = i == n ? hi : lo + (hi - lo) * i / n;
    v[i] = g(t[i]);
  }
  double best = t[0], bestV = v[0];
  for (int i = 0; i <= n; ++i) {
    if (v[i] < bestV) best = t[i], bestV = v[i];
    const bool localMin = (i == 0 || v[i] <= v[i - 1]) && (i == n || v[i] <= v[i + 1]);
    if (!localMin) continue;
    const double x = goldenMin(g, t[i > 0 ? i - 1 : 0], t[i < n ? i + 1 : n]);
    if (const double gx = g(x); gx < bestV) best = x, bestV = gx;
  }
  return best;
}

std::vector<double> zeros(const std::function<double(double)>& f, double lo, double hi, int n, double tol) {
  std::vector<double> t(n + 1), v(n + 1), out;
  for (int i = 0; i <= n; ++i) {
    t[i] = i == n ? hi : lo + (hi - lo) * i / n;
    v[i] = f(t[i]);
  }
  auto add = [&](double x) {
    if (out.empty() || x != out.back()) out.push_back(x);
  };
  for (int i = 0; i < n; ++i) {
    if (v[i] == 0.0) {
      add(t[i]);
      continue;
    }
    if (v[i + 1] != 0.0 && (v[i] < 0.0) != (v[i + 1] < 0.0)) {
      add(bisect(f, t[i], t[i + 1]));
      continue;
    }
    // Same sign at both samples: look for an extremum between them that
    // reaches zero (a touching zero, or two zeros close together).
    const double s = v[i] < 0.0 ? -1.0 : 1.0;
    const double a = t[i > 0 ? i - 1 : 0], b = t[i + 1 < n ? i + 2 : n];
    const double x = goldenMin([&](double u) { return s * f(u); }, a, b);
    if (x <= t[i] || x >= t[i + 1]) continue;
    const double fx = f(x);
    if ((fx < 0.0) != (s < 0.0) && fx != 0.0) {
      add(bisect(f, t[i], x));
      add(bisect(f, x, t[i + 1]));
    } else if (std::fabs(fx) <= tol) {
      add(x);
    }
  }
  if (v[n] == 0.0) add(t[n]);
  return out;
}

std::vector<double> periodicZeros(const std::function<double(double)>& f, double lo, double hi, int n, double tol) {
  const double period = hi - lo, step = period / n;
  std::vector<double> all = zeros(f, lo, hi, n, tol);
  for (double& z : all)
    if (z >= hi) z -= period;
  std::sort(all.begin(), all.end());
  // Whether a and b (a <= b, b possibly one period on) are one meeting.
  auto same = [&](double a, double b) { return b - a <= step && std::fabs(f(0.5 * (a + b))) <= tol; };
  std::vector<double> out;
  for (double z : all) {
    if (!out.empty() && same(out.back(), z)) {
      if (std::fabs(f(z)) < std::fabs(f(out.back()))) out.back() = z;
      continue;
    }
    out.push_back(z);
  }
  // The last may be the first seen again across the end of the period.
  if (out.size() > 1 && same(out.back(), out.front() + period)) {
    if (std::fabs(f(out.back())) < std::fabs(f(out.front()))) out.front() = out.back();
    out.pop_back();
  }
  return out;
}

}  // namespace vc_arc
