#include "ellipsemath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

namespace vc_ellipse {
namespace {

constexpr double kPi = std::numbers::pi;

bool finite(double v) { return std::isfinite(v); }

// Local coordinates of p in the frame of g's axes (radius a along +x).
vcVector<2> toLocal(const Geom& g, const vcVector<2>& p) {
  const double c = std::cos(g.rotation), s = std::sin(g.rotation);
  const double dx = p.x() - g.x, dy = p.y() - g.y;
  return vcVector<2>(c * dx + s * dy, -s * dx + c * dy);
}

// The angle in [lo, hi] where f is least, found by sampling n intervals and
// refining every sampled local minimum by golden-section search. Distinct
// minima of a smooth f closer than the sampling step differ negligibly in value.
template <class F>
double minimise(F f, double lo, double hi, int n) {
  std::vector<double> fs(static_cast<std::size_t>(n) + 1);
  const double h = (hi - lo) / n;
  auto at = [&](int i) { return i == n ? hi : lo + h * i; };
  for (int i = 0; i <= n; ++i) fs[static_cast<std::size_t>(i)] = f(at(i));
  double bestT = lo, bestF = fs[0];
  if (fs[static_cast<std::size_t>(n)] < bestF) {
    bestT = hi;
    bestF = fs[static_cast<std::size_t>(n)];
  }
  const double invPhi = (std::sqrt(5.0) - 1.0) / 2.0;
  for (int i = 0; i <= n; ++i) {
    const double fi = fs[static_cast<std::size_t>(i)];
    if ((i > 0 && fs[static_cast<std::size_t>(i - 1)] < fi) || (i < n && fs[static_cast<std::size_t>(i + 1)] < fi))
      continue;
    double a = at(std::max(i - 1, 0)), b = at(std::min(i + 1, n));
    double c = b - invPhi * (b - a), d = a + invPhi * (b - a);
    double fc = f(c), fd = f(d);
    for (int k = 0; k < 100 && c < d; ++k) {
      if (fc < fd) {
        b = d;
        d = c;
        fd = fc;
        c = b - invPhi * (b - a);
        fc = f(c);
      } else {
        a = c;
        c = d;
        fc = fd;
        d = a + invPhi * (b - a);
        fd = f(d);
      }
    }
    const double t = fc < fd ? c : d, ft = std::min(fc, fd);
    if (ft < bestF) {
      bestF = ft;
      bestT = t;
    }
    if (fi < bestF) {
      bestF = fi;
      bestT = at(i);
    }
  }
  return bestT;
}

// Root of the nearest-point equation for the axis-aligned ellipse with
// semi-axes e0 >= e1 > 0 and a point in the open first quadrant, by bisection
// (robust for any eccentricity).
double nearestRoot(double r0, double z0, double z1, double g) {
  const double n0 = r0 * z0;
  double s0 = z1 - 1.0;
  double s1 = g < 0.0 ? 0.0 : std::hypot(n0, z1) - 1.0;
  double s = 0.0;
  for (int i = 0; i < 1100; ++i) {
    s = 0.5 * (s0 + s1);
    if (s == s0 || s == s1) break;
    const double ratio0 = n0 / (s + r0), ratio1 = z1 / (s + 1.0);
    const double gs = ratio0 * ratio0 + ratio1 * ratio1 - 1.0;
    if (gs > 0.0)
      s0 = s;
    else if (gs < 0.0)
      s1 = s;
    else
      break;
  }
  return s;
}

// Nearest point of the axis-aligned ellipse (e0 >= e1 > 0) to (y0, y1), both >= 0.
vcVector<2> nearestFirstQuadrant(double e0, double e1, double y0, double y1) {
  if (y1 > 0.0) {
    if (y0 > 0.0) {
      const double z0 = y0 / e0, z1 = y1 / e1;
      const double g = z0 * z0 + z1 * z1 - 1.0;
      if (g == 0.0) return vcVector<2>(y0, y1);
      const double r0 = (e0 / e1) * (e0 / e1);
      const double s = nearestRoot(r0, z0, z1, g);
      return vcVector<2>(r0 * y0 / (s + r0), y1 / (s + 1.0));
    }
    return vcVector<2>(0.0, e1);
  }
  const double numer0 = e0 * y0, denom0 = e0 * e0 - e1 * e1;
  if (numer0 < denom0) {
    const double xde0 = numer0 / denom0;
    return vcVector<2>(e0 * xde0, e1 * std::sqrt(std::max(0.0, 1.0 - xde0 * xde0)));
  }
  return vcVector<2>(e0, 0.0);
}

// Parametric angle of the nearest point of (a cos t, b sin t) to (u, w).
double nearestStandard(double a, double b, double u, double w) {
  if (a == 0.0 && b == 0.0) return 0.0;
  if (b == 0.0) return std::acos(std::clamp(u / a, -1.0, 1.0));
  if (a == 0.0) return std::asin(std::clamp(w / b, -1.0, 1.0));
  vcVector<2> q;
  if (a >= b) {
    q = nearestFirstQuadrant(a, b, std::fabs(u), std::fabs(w));
  } else {
    const vcVector<2> r = nearestFirstQuadrant(b, a, std::fabs(w), std::fabs(u));
    q = vcVector<2>(r.y(), r.x());
  }
  return std::atan2(std::copysign(q.y(), w) / b, std::copysign(q.x(), u) / a);
}

// Integral of sqrt(a^2 sin^2 t + b^2 cos^2 t) over [t0, t1], adaptively.
double speed(double a, double b, double t) { return std::hypot(a * std::sin(t), b * std::cos(t)); }

double gauss5(double a, double b, double t0, double t1) {
  static const double x[5] = {0.0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640, 0.9061798459386640};
  static const double w[5] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665, 0.2369268850561891,
                              0.2369268850561891};
  const double m = 0.5 * (t0 + t1), h = 0.5 * (t1 - t0);
  double sum = 0.0;
  for (int i = 0; i < 5; ++i) sum += w[i] * speed(a, b, m + h * x[i]);
  return sum * h;
}

double integrate(double a, double b, double t0, double t1, double whole, double tol, int depth) {
  const double m = 0.5 * (t0 + t1);
  const double left = gauss5(a, b, t0, m), right = gauss5(a, b, m, t1);
  if (depth <= 0 || std::fabs(left + right - whole) <= tol) return left + right;
  return integrate(a, b, t0, m, left, 0.5 * tol, depth - 1) + integrate(a, b, m, t1, right, 0.5 * tol, depth - 1);
}

// The y-monotone pieces of the arc, by their parametric ends in travel order.
std::vector<double> monotoneBreaks(const Geom& g, double start, double span) {
  const double sr = std::sin(g.rotation), cr = std::cos(g.rotation);
  // y(t) = cy + a sr cos t + s b cr sin t is extreme at ty and ty + pi.
  const double ty = std::atan2(hand(g) * g.b * cr, g.a * sr);
  const double lo = std::min(start, start + span), hi = std::max(start, start + span);
  std::vector<double> breaks{start};
  std::vector<double> inner;
  for (double k = std::ceil((lo - ty) / kPi); ty + k * kPi < hi; k += 1.0) {
    const double t = ty + k * kPi;
    if (t > lo) inner.push_back(t);
  }
  if (span < 0.0) std::reverse(inner.begin(), inner.end());
  breaks.insert(breaks.end(), inner.begin(), inner.end());
  breaks.push_back(start + span);
  return breaks;
}

}  // namespace

const char* problem(const Geom& g) {
  if (!finite(g.x) || !finite(g.y)) return "center is not finite";
  if (!finite(g.rotation)) return "rotation is not finite";
  if (!finite(g.a) || !finite(g.b)) return "radius is not finite";
  if (g.a < 0.0 || g.b < 0.0) return "radius is negative";
  return nullptr;
}

Geom checked(const Geom& g, const char* who) {
  if (const char* why = problem(g)) {
    const std::string msg = std::string(who) + ": " + why;
    if (std::string_view(why).starts_with("radius")) throw vcShapesError::BadRadius(msg);
    throw vcShapesError::BadGeom(msg);
  }
  Geom r = g;
  r.degenerate = g.a == 0.0 || g.b == 0.0;
  return r;
}

void checkStored(const Geom& g, bool fromArchive, bool flagsOk, const char* who) {
  const char* why = problem(g);
  if (!why && !flagsOk) why = "flag byte is not 0 or 1";
  if (!why && g.degenerate != (g.a == 0.0 || g.b == 0.0)) why = "degenerate flag disagrees with the radii";
  if (!why) return;
  const std::string msg = std::string(who) + ": " + why;
  if (fromArchive) throw vcArchive::BadData(msg);
  throw vcShapesError::BadGeom(msg);
}

bool isSimilarity(const vcMatrix<2>& m, double& k, double& theta, bool& mirrors) {
  const double p = m.element(0, 0), q = m.element(0, 1), r = m.element(1, 0), s = m.element(1, 1);
  const double tol = 1e-12 * std::max({std::fabs(p), std::fabs(q), std::fabs(r), std::fabs(s)});
  const bool turns = std::fabs(p - s) <= tol && std::fabs(q + r) <= tol;
  mirrors = !turns && std::fabs(p + s) <= tol && std::fabs(q - r) <= tol;
  if (!turns && !mirrors) return false;
  k = std::hypot(p, r);
  theta = std::atan2(r, p);
  return true;
}

vcMatrix<2> unitMatrix(const Geom& g) {
  const double c = std::cos(g.rotation), s = std::sin(g.rotation), sb = hand(g) * g.b;
  return vcMatrix<2>(c * g.a, -s * sb, s * g.a, c * sb);
}

vcVector<2> point(const Geom& g, double t) {
  const double c = std::cos(g.rotation), s = std::sin(g.rotation);
  const double u = g.a * std::cos(t), w = hand(g) * g.b * std::sin(t);
  return vcVector<2>(g.x + c * u - s * w, g.y + s * u + c * w);
}

vcVector<2> velocity(const Geom& g, double t) {
  const double c = std::cos(g.rotation), s = std::sin(g.rotation);
  const double u = -g.a * std::sin(t), w = hand(g) * g.b * std::cos(t);
  return vcVector<2>(c * u - s * w, s * u + c * w);
}

vcVector<2> tangent(const Geom& g, double t, double dir) {
  const vcVector<2> v = velocity(g, t) * dir;
  // The speed vanishes only at the ends of a degenerate ellipse.
  if (!(v.len() > 1e-14 * std::max(g.a, g.b)))
    throw vcShapesError::NoTangent("ellipse has no tangent at parametric angle " + std::to_string(t));
  return v.unit();
}

Geom fromUnitMap(const vcXform<2>& m, bool leftIfSingular, double& phase) {
  const vcMatrix<2>& mm = m.matrix();
  const double p = mm.element(0, 0), q = mm.element(0, 1), r = mm.element(1, 0), s = mm.element(1, 1);
  // The conic of the image has the matrix (M M^T)^-1; its eigenvectors are the axes.
  const double sp = p * p + q * q, sq = p * r + q * s, sr = r * r + s * s;
  const double s1 = std::sqrt(0.5 * (sp + sr) + std::hypot(0.5 * (sp - sr), sq));
  const double det = p * s - q * r;
  const double s2 = s1 > 0.0 ? std::fabs(det) / s1 : 0.0;
  const double alpha = 0.5 * std::atan2(2.0 * sq, sp - sr);
  Geom g;
  g.x = m.trans().x();
  g.y = m.trans().y();
  g.a = s1;
  g.b = std::min(s2, s1);
  g.rotation = alpha;
  g.leftHanded = det < 0.0 || (det == 0.0 && leftIfSingular);
  const double ca = std::cos(alpha), sa = std::sin(alpha);
  // M = R(alpha) diag(a, +-b) R(phase): R(-alpha) M e0 = (a cos phase, .),
  // R(-alpha) M e1 = (-a sin phase, .).
  const double v0 = ca * p + sa * r, v1 = ca * q + sa * s;
  phase = s1 > 0.0 ? std::atan2(-v1, v0) : 0.0;
  g.degenerate = g.a == 0.0 || g.b == 0.0;
  return g;
}

Geom mapped(const Geom& g, const vcXform<2>& x, double& phase) {
  const vcMatrix<2>& m = x.matrix();
  double k = 0.0, theta = 0.0;
  bool mirrors = false;
  if (isSimilarity(m, k, theta, mirrors)) {
    // k R(theta) diag(1, -1) turns R(rot) into R(theta - rot) diag(1, -1).
    Geom out = g;
    const vcVector<2> c = x.mapPoint(vcVector<2>(g.x, g.y));
    out.x = c.x();
    out.y = c.y();
    out.a = k * g.a;
    out.b = k * g.b;
    out.rotation = std::remainder(mirrors ? theta - g.rotation : g.rotation + theta, kTwoPi);
    out.leftHanded = mirrors != g.leftHanded;
    out.degenerate = out.a == 0.0 || out.b == 0.0;
    phase = 0.0;
    return out;
  }
  const vcXform<2> u(m * unitMatrix(g), x.mapPoint(vcVector<2>(g.x, g.y)));
  return fromUnitMap(u, (x.determinant() < 0.0) != g.leftHanded, phase);
}

bool inArc(double t, double start, double span) {
  if (std::fabs(span) >= kTwoPi) return true;
  double d = std::fmod(span >= 0.0 ? t - start : start - t, kTwoPi);
  if (d < 0.0) d += kTwoPi;
  // The ends themselves, computed as start and start + span, are on the arc.
  const double eps = 8.0 * std::numeric_limits<double>::epsilon() * (std::fabs(t) + std::fabs(start) + kTwoPi);
  return d <= std::fabs(span) + eps || d >= kTwoPi - eps;
}

double nearestParam(const Geom& g, const vcVector<2>& p) {
  const vcVector<2> l = toLocal(g, p);
  return nearestStandard(g.a, g.b, l.x(), hand(g) * l.y());
}

double nearestParamOnArc(const Geom& g, double start, double span, const vcVector<2>& p) {
  const double t = nearestParam(g, p);
  if (inArc(t, start, span)) return t;
  // A segment ellipse reaches each point at t and -t.
  if (g.b == 0.0 && inArc(-t, start, span)) return -t;
  auto d2 = [&](double s) { return (point(g, s) - p).len2(); };
  return minimise(d2, std::min(start, start + span), std::max(start, start + span), 128);
}

double contourDistance(const Geom& g, const vcVector<2>& p) { return (point(g, nearestParam(g, p)) - p).len(); }

double arcDistance(const Geom& g, double start, double span, const vcVector<2>& p) {
  return (point(g, nearestParamOnArc(g, start, span, p)) - p).len();
}

bool insideOrOn(const Geom& g, const vcVector<2>& p) {
  const vcVector<2> l = toLocal(g, p);
  if (g.a > 0.0 && g.b > 0.0) {
    const double u = l.x() / g.a, w = l.y() / g.b;
    const double level = u * u + w * w;
    if (level <= 1.0) return true;
    // Rounding moves a point of the contour by far less than this.
    if (level > 1.0 + 1e-6) return false;
  }
  return contourDistance(g, p) <= 1e-12 * std::max(g.a, g.b);
}

bool contains(const Geom& outer, const Geom& inner) {
  if (outer.a > 0.0 && outer.b > 0.0) {
    auto level = [&](double t) {
      const vcVector<2> l = toLocal(outer, point(inner, t));
      return -std::hypot(l.x() / outer.a, l.y() / outer.b);
    };
    return -level(minimise(level, 0.0, kTwoPi, 256)) <= 1.0 + 1e-9;
  }
  auto gap = [&](double t) {
    const vcVector<2> q = point(inner, t);
    return -(point(outer, nearestParam(outer, q)) - q).len();
  };
  return -gap(minimise(gap, 0.0, kTwoPi, 256)) <= 1e-9 * std::max(outer.a, outer.b);
}

double perimeter(const Geom& g) {
  double a = std::max(g.a, g.b), b = std::min(g.a, g.b);
  if (b == 0.0) return 4.0 * a;
  // Gauss-Kummer by the arithmetic-geometric mean: exact to rounding.
  const double a0 = a;
  double sum = 0.5 * (a * a - b * b), weight = 1.0;
  for (int i = 0; i < 64; ++i) {
    const double c = 0.5 * (a - b);
    const double an = 0.5 * (a + b);
    b = std::sqrt(a * b);
    a = an;
    sum += weight * c * c;
    weight *= 2.0;
    if (c <= 1e-17 * a0) break;
  }
  return kTwoPi * (a0 * a0 - sum) / a;
}

double arcLength(const Geom& g, double t0, double t1) {
  const double lo = std::min(t0, t1), len = std::fabs(t1 - t0);
  if (!(len > 0.0)) return 0.0;
  // The speed has period pi: whole half turns are half the perimeter each.
  const double halves = std::floor(len / kPi);
  double total = halves > 0.0 ? halves * 0.5 * perimeter(g) : 0.0;
  const double rest = len - halves * kPi;
  if (rest > 0.0) {
    const double from = lo + halves * kPi, to = from + rest;
    const double scale = std::max(g.a, g.b);
    total += integrate(g.a, g.b, from, to, gauss5(g.a, g.b, from, to), 1e-13 * scale * (1.0 + rest), 40);
  }
  return total;
}

double areaTerm(const Geom& g, double t0, double t1) {
  const vcMatrix<2> u = unitMatrix(g);
  const vcVector<2> d = u * vcVector<2>(std::cos(t1) - std::cos(t0), std::sin(t1) - std::sin(t0));
  return 0.5 * (vcVector<2>(g.x, g.y).cross(d) + u.determinant() * (t1 - t0));
}

vcRect arcBox(const Geom& g, double start, double span) {
  vcRect box;
  box.enclose(point(g, start));
  box.enclose(point(g, start + span));
  const double sr = std::sin(g.rotation), cr = std::cos(g.rotation), sb = hand(g) * g.b;
  // x(t) = cx + a cr cos t - s b sr sin t; y(t) = cy + a sr cos t + s b cr sin t.
  const double tx = std::atan2(-sb * sr, g.a * cr), ty = std::atan2(sb * cr, g.a * sr);
  for (double t : {tx, tx + kPi, ty, ty + kPi})
    if (inArc(t, start, span)) box.enclose(point(g, t));
  return box;
}

long chords(const Geom& g, double span, const vcShape::vcSampleParams& params) {
  const double r = std::max(g.a, g.b);
  if (!(r > 0.0)) return params.chordsFor(0.0, 0.0);
  return params.chordsFor(std::fabs(span) * r, 1.0 / r);
}

void sampleArc(const Geom& g, double start, double span, long n, bool includeEnd, std::vector<vcVector<2>>& out) {
  const long last = includeEnd ? n : n - 1;
  out.reserve(out.size() + static_cast<std::size_t>(std::max(0L, last + 1)));
  for (long i = 0; i <= last; ++i)
    out.push_back(point(g, i == n ? start + span : start + span * (static_cast<double>(i) / static_cast<double>(n))));
}

void sampleClosed(const Geom& g, long n, bool includeEnd, std::vector<vcVector<2>>& out) {
  const std::size_t first = out.size();
  sampleArc(g, 0.0, kTwoPi, n, false, out);
  if (includeEnd) out.push_back(out[first]);
}

int rayCrossings(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p) {
  if ((a.y() > p.y()) == (b.y() > p.y())) return 0;
  const double x = a.x() + (p.y() - a.y()) / (b.y() - a.y()) * (b.x() - a.x());
  return x > p.x() ? 1 : 0;
}

int rayCrossings(const Geom& g, double start, double span, const vcVector<2>& p) {
  const std::vector<double> breaks = monotoneBreaks(g, start, span);
  int count = 0;
  for (std::size_t i = 0; i + 1 < breaks.size(); ++i) {
    double t0 = breaks[i], t1 = breaks[i + 1];
    const vcVector<2> a = point(g, t0), b = point(g, t1);
    if ((a.y() > p.y()) == (b.y() > p.y())) continue;
    // y is monotone between t0 and t1: bisect for the crossing.
    const bool rising = b.y() > a.y();
    for (int k = 0; k < 200; ++k) {
      const double m = 0.5 * (t0 + t1);
      if (m == t0 || m == t1) break;
      if ((point(g, m).y() > p.y()) == rising)
        t1 = m;
      else
        t0 = m;
    }
    if (point(g, 0.5 * (t0 + t1)).x() > p.x()) ++count;
  }
  return count;
}

double segmentDistance(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p) {
  const vcVector<2> d = b - a;
  const double l2 = d.len2();
  const double t = l2 > 0.0 ? std::clamp((p - a).dot(d) / l2, 0.0, 1.0) : 0.0;
  return (a + d * t - p).len();
}

}  // namespace vc_ellipse
