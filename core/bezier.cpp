// vcBezierCurve: evaluation in homogeneous coordinates, exact subdivision,
// polynomial root finding for distances and bounds, adaptive sampling.
#include <vc/core/bezier.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/rect.h>

namespace {

// Gauss-Legendre nodes and weights on [-1, 1], five points.
constexpr double kGLx[5] = {0.0, 0.5384693101056831, -0.5384693101056831, 0.9061798459386640, -0.9061798459386640};
constexpr double kGLw[5] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665, 0.2369268850561891,
                            0.2369268850561891};

bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }

// A control point in homogeneous form (w x, w y, w): de Casteljau on these
// is exact subdivision of the rational curve.
struct Hom {
  double x, y, w;
  vcVector<2> point() const { return vcVector<2>(x / w, y / w); }
};
using HomPoints = std::array<Hom, 4>;

Hom lerp(const Hom& a, const Hom& b, double t) {
  const double s = 1.0 - t;
  return {s * a.x + t * b.x, s * a.y + t * b.y, s * a.w + t * b.w};
}

HomPoints homogeneous(const vcBezierCurve::Points& p, const vcBezierCurve::Weights& w) {
  HomPoints h;
  for (int i = 0; i < 4; ++i) h[i] = {w[i] * p[i].x(), w[i] * p[i].y(), w[i]};
  return h;
}

// Splits h at t into the pieces over [0, t] and [t, 1].
void splitHom(const HomPoints& h, double t, HomPoints& left, HomPoints& right) {
  const Hom a = lerp(h[0], h[1], t), b = lerp(h[1], h[2], t), c = lerp(h[2], h[3], t);
  const Hom d = lerp(a, b, t), e = lerp(b, c, t);
  const Hom m = lerp(d, e, t);
  left = {h[0], a, d, m};
  right = {m, e, c, h[3]};
}

// ---- polynomials in the power basis, for t in [0, 1] ----------------------

struct Poly {
  std::array<double, 10> c{};
  int deg = 0;

  double operator()(double t) const {
    double v = c[deg];
    for (int i = deg - 1; i >= 0; --i) v = v * t + c[i];
    return v;
  }
  Poly derivative() const {
    Poly d;
    d.deg = std::max(0, deg - 1);
    for (int i = 1; i <= deg; ++i) d.c[i - 1] = c[i] * i;
    return d;
  }
};

// The cubic with Bernstein coefficients b0..b3.
Poly fromBernstein(double b0, double b1, double b2, double b3) {
  Poly p;
  p.deg = 3;
  p.c = {b0, 3.0 * (b1 - b0), 3.0 * (b2 - 2.0 * b1 + b0), b3 - 3.0 * b2 + 3.0 * b1 - b0};
  return p;
}

Poly operator*(const Poly& a, const Poly& b) {
  Poly r;
  r.deg = a.deg + b.deg;
  for (int i = 0; i <= a.deg; ++i)
    for (int j = 0; j <= b.deg; ++j) r.c[i + j] += a.c[i] * b.c[j];
  return r;
}

Poly operator-(const Poly& a, const Poly& b) {
  Poly r;
  r.deg = std::max(a.deg, b.deg);
  for (int i = 0; i <= r.deg; ++i) r.c[i] = (i <= a.deg ? a.c[i] : 0.0) - (i <= b.deg ? b.c[i] : 0.0);
  return r;
}

Poly operator+(const Poly& a, const Poly& b) {
  Poly r;
  r.deg = std::max(a.deg, b.deg);
  for (int i = 0; i <= r.deg; ++i) r.c[i] = (i <= a.deg ? a.c[i] : 0.0) + (i <= b.deg ? b.c[i] : 0.0);
  return r;
}

double bisect(const Poly& p, double a, double b, double fa) {
  for (int i = 0; i < 200; ++i) {
    const double m = 0.5 * (a + b);
    if (m <= a || m >= b) break;
    const double fm = p(m);
    if (fm == 0.0) return m;
    if ((fm < 0.0) == (fa < 0.0)) {
      a = m;
      fa = fm;
    } else {
      b = m;
    }
  }
  return 0.5 * (a + b);
}

// Every t in [0, 1] where p changes sign or vanishes, found between the
// roots of its derivative, where p is monotone.
void roots01(const Poly& p, std::vector<double>& out) {
  if (p.deg <= 0) return;
  if (p.deg == 1) {
    if (p.c[1] != 0.0) {
      const double r = -p.c[0] / p.c[1];
      if (r >= 0.0 && r <= 1.0) out.push_back(r);
    }
    return;
  }
  std::vector<double> knots{0.0};
  roots01(p.derivative(), knots);
  knots.push_back(1.0);
  std::sort(knots.begin(), knots.end());
  double fa = p(knots[0]);
  if (fa == 0.0) out.push_back(knots[0]);
  for (std::size_t i = 1; i < knots.size(); ++i) {
    const double fb = p(knots[i]);
    if (fb == 0.0) out.push_back(knots[i]);
    else if (fa != 0.0 && (fa < 0.0) != (fb < 0.0)) out.push_back(bisect(p, knots[i - 1], knots[i], fa));
    fa = fb;
  }
}

double segmentDistance(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p) {
  const vcVector<2> d = b - a;
  const double l2 = d.len2();
  double t = l2 > 0.0 ? d.dot(p - a) / l2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return (a + d * t).distance(p);
}

// ---- adaptive sampling of a chain of curves --------------------------------

constexpr long kHardPointLimit = 1L << 20;
constexpr double kSmallestPiece = 1.0 / 1099511627776.0;  // 2^-40 of a curve's t range

struct Piece {
  HomPoints h;
  double t0, t1;
};

struct Leaf {
  std::size_t curve;
  double t1;
  vcVector<2> end;
};

class ChainSampler {
public:
  ChainSampler(const std::vector<vcBezierCurve>& curves, const vcShape::vcSampleParams& params)
      : curves_(curves), tol_(params.tolerance()), spacing_(params.spacing()) {
    limit_ = params.maxPoints() > 1 ? std::min(params.maxPoints(), kHardPointLimit) : kHardPointLimit;
    dup_ = params.duplicateCorners();
  }

  // Leaves of the adaptive subdivision, in order; false when the point limit was passed.
  bool subdivide(long minPoints) {
    for (std::size_t k = 0; k < curves_.size(); ++k)
      if (!refine(k, whole(k))) return false;
    const long have = pointCount();
    if (have >= minPoints) return true;
    const long extra = dup_ ? static_cast<long>(curves_.size()) - 1 : 0;
    const long cuts = (minPoints - 1 - extra + static_cast<long>(leaves_.size()) - 1) /
                      static_cast<long>(leaves_.size());
    std::vector<Leaf> coarse;
    coarse.swap(leaves_);
    double t0 = 0.0;
    for (std::size_t i = 0; i < coarse.size(); ++i) {
      const Leaf& l = coarse[i];
      if (i == 0 || coarse[i - 1].curve != l.curve) t0 = 0.0;
      if (!cutEvenly(l.curve, t0, l.t1, cuts)) return false;
      t0 = l.t1;
    }
    return true;
  }

  long pointCount() const {
    return 1 + static_cast<long>(leaves_.size()) + (dup_ ? static_cast<long>(curves_.size()) - 1 : 0);
  }

  void emit(std::vector<vcVector<2>>& out) const {
    out.reserve(out.size() + static_cast<std::size_t>(pointCount()));
    out.push_back(curves_.front().startPoint());
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
      const Leaf& l = leaves_[i];
      if (dup_ && i > 0 && leaves_[i - 1].curve != l.curve) out.push_back(curves_[l.curve].startPoint());
      const bool lastOfCurve = i + 1 == leaves_.size() || leaves_[i + 1].curve != l.curve;
      out.push_back(lastOfCurve ? curves_[l.curve].endPoint() : l.end);
    }
  }

  // count points spaced evenly along the chain's length, from a table of
  // arc lengths over even steps of t.
  void emitEvenly(long count, std::vector<vcVector<2>>& out) const {
    struct Step {
      std::size_t curve;
      double t0, t1, s0, len;
    };
    const long perCurve = std::clamp(4 * count / static_cast<long>(curves_.size()), 16L, 4096L);
    std::vector<Step> steps;
    steps.reserve(curves_.size() * static_cast<std::size_t>(perCurve));
    double total = 0.0;
    for (std::size_t k = 0; k < curves_.size(); ++k) {
      for (long j = 0; j < perCurve; ++j) {
        const double a = static_cast<double>(j) / static_cast<double>(perCurve);
        const double b = static_cast<double>(j + 1) / static_cast<double>(perCurve);
        // One Gauss-Legendre rule per step: the table only needs to place
        // points evenly, and an adaptive length per step would cost
        // thousands of evaluations on extreme curves.
        double len = 0.0;
        const double h = 0.5 * (b - a), m = 0.5 * (a + b);
        for (int g = 0; g < 5; ++g) len += kGLw[g] * curves_[k].derivative(m + h * kGLx[g]).len();
        len *= h;
        steps.push_back({k, a, b, total, len});
        total += len;
      }
    }
    out.reserve(out.size() + static_cast<std::size_t>(count));
    out.push_back(curves_.front().startPoint());
    if (!(total > 0.0) || !std::isfinite(total)) {
      // No usable length (a point, or coordinates near overflow): even steps of t instead.
      const double pieces = static_cast<double>(curves_.size());
      for (long j = 1; j + 1 < count; ++j) {
        const double u = pieces * static_cast<double>(j) / static_cast<double>(count - 1);
        const std::size_t c = std::min(curves_.size() - 1, static_cast<std::size_t>(u));
        out.push_back(curves_[c].point(std::clamp(u - static_cast<double>(c), 0.0, 1.0)));
      }
      out.push_back(curves_.back().endPoint());
      return;
    }
    std::size_t k = 0;
    for (long j = 1; j + 1 < count; ++j) {
      const double s = total * static_cast<double>(j) / static_cast<double>(count - 1);
      while (k + 1 < steps.size() && steps[k].s0 + steps[k].len < s) ++k;
      const Step& st = steps[k];
      const double f = st.len > 0.0 ? std::clamp((s - st.s0) / st.len, 0.0, 1.0) : 0.0;
      out.push_back(curves_[st.curve].point(st.t0 + (st.t1 - st.t0) * f));
    }
    out.push_back(curves_.back().endPoint());
  }

  long limit() const { return limit_; }

private:
  Piece whole(std::size_t k) const {
    return {homogeneous(curves_[k].controlPoints(), curves_[k].weights()), 0.0, 1.0};
  }

  bool done(const Piece& pc) const {
    if (pc.t1 - pc.t0 <= kSmallestPiece) return true;
    const vcVector<2> q0 = pc.h[0].point(), q1 = pc.h[1].point(), q2 = pc.h[2].point(), q3 = pc.h[3].point();
    if (tol_ > 0.0 && (segmentDistance(q0, q3, q1) > tol_ || segmentDistance(q0, q3, q2) > tol_)) return false;
    if (spacing_ > 0.0 && q0.distance(q1) + q1.distance(q2) + q2.distance(q3) > spacing_) return false;
    return true;
  }

  bool refine(std::size_t curve, const Piece& start) {
    std::vector<Piece> stack{start};
    while (!stack.empty()) {
      const Piece pc = stack.back();
      stack.pop_back();
      if (done(pc)) {
        leaves_.push_back({curve, pc.t1, pc.h[3].point()});
        if (pointCount() > limit_) return false;
        continue;
      }
      Piece l, r;
      splitHom(pc.h, 0.5, l.h, r.h);
      const double tm = 0.5 * (pc.t0 + pc.t1);
      l.t0 = pc.t0, l.t1 = tm, r.t0 = tm, r.t1 = pc.t1;
      stack.push_back(r);
      stack.push_back(l);
    }
    return true;
  }

  // Cuts the piece [t0, t1] of a curve into n parts of equal t and refines each.
  bool cutEvenly(std::size_t curve, double t0, double t1, long n) {
    HomPoints rest = whole(curve).h, left, right;
    if (t1 < 1.0) {
      splitHom(rest, t1, left, right);
      rest = left;
    }
    if (t0 > 0.0) {
      splitHom(rest, t0 / t1, left, right);
      rest = right;
    }
    double a = t0;
    for (long i = n; i > 1; --i) {
      splitHom(rest, 1.0 / static_cast<double>(i), left, right);
      const double b = a + (t1 - a) / static_cast<double>(i);
      if (!refine(curve, {left, a, b})) return false;
      rest = right;
      a = b;
    }
    return refine(curve, {rest, a, t1});
  }

  const std::vector<vcBezierCurve>& curves_;
  double tol_, spacing_;
  long limit_;
  bool dup_;
  std::vector<Leaf> leaves_;
};


}  // namespace

// ---- vcBezierCurve --------------------------------------------------------

template class vcShapeBase<vcBezierCurve>;

vcBezierCurve::vcBezierCurve() = default;

vcBezierCurve::vcBezierCurve(const vcVector<2>& p0, const vcVector<2>& p1, const vcVector<2>& p2,
                             const vcVector<2>& p3, double w0, double w1, double w2, double w3)
    : vcBezierCurve(Points{p0, p1, p2, p3}, Weights{w0, w1, w2, w3}) {}

vcBezierCurve::vcBezierCurve(const Points& points, const Weights& weights) : p_(points), w_(weights) {
  for (int i = 0; i < 4; ++i) {
    if (!finite(p_[i]))
      throw vcShapesError::BadCoef("vcBezierCurve: control point " + std::to_string(i) + " is not finite");
    if (!(w_[i] > 0.0) || !std::isfinite(w_[i]))
      throw vcShapesError::BadCoef("vcBezierCurve: weight " + std::to_string(i) + " is " + std::to_string(w_[i]) +
                                   ", not a finite positive number");
  }
}

const vcVector<2>& vcBezierCurve::controlPoint(int i) const {
  if (i < 0 || i > 3) throw vcBadArgument("vcBezierCurve::controlPoint: index " + std::to_string(i) + " is not 0..3");
  return p_[i];
}

double vcBezierCurve::weight(int i) const {
  if (i < 0 || i > 3) throw vcBadArgument("vcBezierCurve::weight: index " + std::to_string(i) + " is not 0..3");
  return w_[i];
}

bool vcBezierCurve::isPolynomial() const noexcept { return w_[1] == w_[0] && w_[2] == w_[0] && w_[3] == w_[0]; }

vcVector<2> vcBezierCurve::point(double t) const {
  if (!(t >= 0.0 && t <= 1.0)) throw vcBadArgument("vcBezierCurve::point: t = " + std::to_string(t) + " is outside [0, 1]");
  if (t == 0.0) return p_[0];
  if (t == 1.0) return p_[3];
  if (isPolynomial()) {
    const double s = 1.0 - t;
    const vcVector<2> a = p_[0] * s + p_[1] * t, b = p_[1] * s + p_[2] * t, c = p_[2] * s + p_[3] * t;
    return (a * s + b * t) * s + (b * s + c * t) * t;
  }
  HomPoints l, r;
  splitHom(homogeneous(p_, w_), t, l, r);
  return l[3].point();
}

vcVector<2> vcBezierCurve::derivative(double t) const {
  if (!(t >= 0.0 && t <= 1.0))
    throw vcBadArgument("vcBezierCurve::derivative: t = " + std::to_string(t) + " is outside [0, 1]");
  const HomPoints h = homogeneous(p_, w_);
  const Hom a = lerp(h[0], h[1], t), b = lerp(h[1], h[2], t), c = lerp(h[2], h[3], t);
  const Hom d = lerp(a, b, t), e = lerp(b, c, t);
  const Hom m = lerp(d, e, t);
  const double dx = 3.0 * (e.x - d.x), dy = 3.0 * (e.y - d.y), dw = 3.0 * (e.w - d.w);
  return vcVector<2>((dx * m.w - m.x * dw) / (m.w * m.w), (dy * m.w - m.y * dw) / (m.w * m.w));
}

std::pair<vcBezierCurve, vcBezierCurve> vcBezierCurve::split(double t) const {
  if (!(t >= 0.0 && t <= 1.0)) throw vcBadArgument("vcBezierCurve::split: t = " + std::to_string(t) + " is outside [0, 1]");
  HomPoints l, r;
  splitHom(homogeneous(p_, w_), t, l, r);
  vcBezierCurve a, b;
  for (int i = 0; i < 4; ++i) {
    a.p_[i] = l[i].point(), a.w_[i] = l[i].w;
    b.p_[i] = r[i].point(), b.w_[i] = r[i].w;
  }
  if (isPolynomial()) a.w_ = b.w_ = w_;
  a.p_[0] = p_[0];
  b.p_[3] = p_[3];
  a.p_[3] = b.p_[0] = point(t);
  return {a, b};
}

double vcBezierCurve::nearestParam(const vcVector<2>& p) const {
  // f(t) = |P(t) - p|^2 has f' = 2 g / W^3 with the degree-7 polynomial
  // g = X (X' W - X W') + Y (Y' W - Y W'), X, Y the homogeneous coordinates relative to p.
  const Poly W = fromBernstein(w_[0], w_[1], w_[2], w_[3]);
  Poly X = fromBernstein(w_[0] * (p_[0].x() - p.x()), w_[1] * (p_[1].x() - p.x()), w_[2] * (p_[2].x() - p.x()),
                         w_[3] * (p_[3].x() - p.x()));
  Poly Y = fromBernstein(w_[0] * (p_[0].y() - p.y()), w_[1] * (p_[1].y() - p.y()), w_[2] * (p_[2].y() - p.y()),
                         w_[3] * (p_[3].y() - p.y()));
  const Poly dW = W.derivative();
  const Poly g = X * (X.derivative() * W - X * dW) + Y * (Y.derivative() * W - Y * dW);
  std::vector<double> cand{0.0, 1.0};
  roots01(g, cand);
  double bestT = 0.0, best = std::numeric_limits<double>::infinity();
  for (double t : cand) {
    const double d = point(t).distance(p);
    if (d < best || (d == best && t < bestT)) best = d, bestT = t;
  }
  return bestT;
}

double vcBezierCurve::distanceToPoint(const vcVector<2>& p) const { return point(nearestParam(p)).distance(p); }

double vcBezierCurve::length() const {
  auto gauss = [this](double a, double b) {
    const double h = 0.5 * (b - a), m = 0.5 * (a + b);
    double s = 0.0;
    for (int i = 0; i < 5; ++i) s += kGLw[i] * derivative(m + h * kGLx[i]).len();
    return s * h;
  };
  struct Span {
    double a, b, whole;
    int depth;
  };
  std::vector<Span> stack{{0.0, 1.0, gauss(0.0, 1.0), 0}};
  double total = 0.0;
  const double scale = p_[0].distance(p_[1]) + p_[1].distance(p_[2]) + p_[2].distance(p_[3]);
  // A bounded amount of work whatever the control points: extreme or
  // non-finite values that never meet the tolerance must not stall callers
  // (sketch files replay curves from untrusted bytes).
  long budget = 1 << 14;
  while (!stack.empty()) {
    const Span s = stack.back();
    stack.pop_back();
    const double m = 0.5 * (s.a + s.b);
    const double l = gauss(s.a, m), r = gauss(m, s.b);
    if (--budget <= 0 || s.depth >= 30 || !std::isfinite(l + r) || std::fabs(l + r - s.whole) <= 1e-13 * scale) {
      total += l + r;
      continue;
    }
    stack.push_back({s.a, m, l, s.depth + 1});
    stack.push_back({m, s.b, r, s.depth + 1});
  }
  return total;
}

vcBezierCurve vcBezierCurve::map(const vcXform<2>& x) const {
  return vcBezierCurve(Points{x.mapPoint(p_[0]), x.mapPoint(p_[1]), x.mapPoint(p_[2]), x.mapPoint(p_[3])}, w_);
}

vcShapeHandle vcBezierCurve::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcBezierCurve::boundingBox() const {
  double lo[2] = {std::min(p_[0].x(), p_[3].x()), std::min(p_[0].y(), p_[3].y())};
  double hi[2] = {std::max(p_[0].x(), p_[3].x()), std::max(p_[0].y(), p_[3].y())};
  double mag = 0.0;
  for (const vcVector<2>& q : p_) mag = std::max({mag, std::fabs(q.x()), std::fabs(q.y())});
  const double pad = 8.0 * DBL_EPSILON * mag;
  const Poly W = fromBernstein(w_[0], w_[1], w_[2], w_[3]);
  const Poly dW = W.derivative();
  for (int axis = 0; axis < 2; ++axis) {
    // Control points inside the span of the ends: no interior extreme on this axis.
    const double c1 = p_[1][axis], c2 = p_[2][axis];
    if (c1 >= lo[axis] && c1 <= hi[axis] && c2 >= lo[axis] && c2 <= hi[axis]) continue;
    const double o = p_[0][axis];
    const Poly C = fromBernstein(0.0, w_[1] * (p_[1][axis] - o), w_[2] * (p_[2][axis] - o), w_[3] * (p_[3][axis] - o));
    std::vector<double> ts;
    roots01(C.derivative() * W - C * dW, ts);
    for (double t : ts) {
      const double v = point(t)[axis];
      if (v < lo[axis]) lo[axis] = v - pad;
      if (v > hi[axis]) hi[axis] = v + pad;
    }
  }
  vcRect r;
  r.enclose(vcVector<2>(lo[0], lo[1]));
  r.enclose(vcVector<2>(hi[0], hi[1]));
  return r;
}

bool vcBezierCurve::hasTangent() const { return !(p_[1] == p_[0] && p_[2] == p_[0] && p_[3] == p_[0]); }

vcVector<2> vcBezierCurve::tangentAt(const vcVector<2>& p) const {
  if (!hasTangent()) throw vcShapesError::NoTangent("vcBezierCurve: a curve that is a point has no tangent");
  const double t = nearestParam(p);
  const vcVector<2> d = derivative(t);
  double scale = 0.0;
  for (const vcVector<2>& q : p_) scale = std::max(scale, q.distance(p_[0]));
  if (d.len() > 1e-9 * scale) return d.unit();
  // A cusp or a doubled control point: the direction of the chord to a point just beyond.
  for (double h = 1e-7; h <= 0.5; h *= 16.0) {
    const vcVector<2> chord = t + h <= 1.0 ? point(t + h) - point(t) : point(t) - point(t - h);
    if (chord.len() > 1e-12 * scale) return chord.unit();
  }
  throw vcShapesError::NoTangent("vcBezierCurve: no tangent direction at the nearest point");
}

void vcBezierCurve::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  sampleChain({*this}, params, result);
}

vcShapeHandle vcBezierCurve::reverse() const {
  return vfShapeHandle(vcBezierCurve(Points{p_[3], p_[2], p_[1], p_[0]}, Weights{w_[3], w_[2], w_[1], w_[0]}));
}

void vcBezierCurve::sampleChain(const std::vector<vcBezierCurve>& curves, const vcSampleParams& params,
                                std::vector<vcVector<2>>& result) {
  if (curves.empty()) return;
  ChainSampler s(curves, params);
  std::vector<vcVector<2>> pts;
  if (s.subdivide(std::max(2L, params.minPoints()))) s.emit(pts);
  else s.emitEvenly(s.limit(), pts);
  if (!params.includeEnd()) pts.pop_back();
  result.insert(result.end(), pts.begin(), pts.end());
}

void vcBezierCurve::archiveFields_(vcArchive& ar) {
  Points p = p_;
  Weights w = w_;
  for (vcVector<2>& q : p) ar || q;
  for (double& v : w) ar || v;
  if (ar.isLoading()) *this = vcBezierCurve(p, w);
}
