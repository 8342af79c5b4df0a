// vcGenRect and vcGenAnnulus: geometry of affinely mapped rounded squares.
//
// The boundary of a vcGenRect is built as up to eight pieces in client
// coordinates: four sides (segments) and four corner arcs, each arc being
// o + A (cos t, sin t) over a quarter turn of t with A = M diag(rx, ry).
// Sampling, distances and tangents work on those pieces; containment and area
// work in the unit frame.
#include <vc/core/genrect.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/ellipse.h>
#include <vc/core/exception.h>
#include <vc/core/imagecodec.h>
#include <vc/core/rect.h>

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kQuarter = kPi / 2.0;
// Most chords one sampling produces, whatever the params ask.
constexpr double kHardLimit = 1e7;
// Relative slack of the unit-frame boundary test: points computed on the
// boundary must count as inside despite rounding.
constexpr double kUnitSlack = 1e-12;

bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }

bool finite(const vcMatrix<2>& m) {
  return std::isfinite(m.element(0, 0)) && std::isfinite(m.element(0, 1)) && std::isfinite(m.element(1, 0)) &&
         std::isfinite(m.element(1, 1));
}

vcVector<2> column(const vcMatrix<2>& m, int c) { return vcVector<2>(m.element(0, c), m.element(1, c)); }

// Singular values of a 2x2 matrix, largest first.
void singularValues(const vcMatrix<2>& m, double& s1, double& s2) {
  const double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
  const double p = std::hypot(a + d, c - b), q = std::hypot(a - d, c + b);
  s1 = 0.5 * (p + q);
  s2 = 0.5 * std::fabs(p - q);
}

// Perimeter of an ellipse with semi-axes a >= b >= 0 (arithmetic-geometric mean).
double ellipsePerimeter(double a, double b) {
  if (!(a > 0.0)) return 0.0;
  if (!(b > 0.0)) return 4.0 * a;
  double an = a, bn = b, sum = 0.5 * (a * a - b * b), pow2 = 0.5;
  for (int i = 0; i < 64 && std::fabs(an - bn) > 1e-16 * an; ++i) {
    const double cn = 0.5 * (an - bn);
    const double next = std::sqrt(an * bn);
    an = 0.5 * (an + bn);
    bn = next;
    pow2 *= 2.0;
    sum += pow2 * cn * cn;
  }
  return 2.0 * kPi / an * (a * a - sum);
}

// One piece of a boundary contour: a segment a -> b, or the arc
// o + A (cos t, sin t) for t from t0 over a quarter turn.
struct Piece {
  bool arc = false;
  vcVector<2> a, b;
  vcVector<2> o;
  vcMatrix<2> A;
  double t0 = 0.0;

  vcVector<2> at(double f) const {
    if (!arc) return f >= 1.0 ? b : a + (b - a) * f;
    const double t = t0 + f * kQuarter;
    return o + A * vcVector<2>(std::cos(t), std::sin(t));
  }
  // The derivative along the piece's direction (not normalised).
  vcVector<2> derivAt(double f) const {
    if (!arc) return b - a;
    const double t = t0 + f * kQuarter;
    return A * vcVector<2>(-std::sin(t), std::cos(t));
  }
  double length() const {
    if (!arc) return a.distance(b);
    // Simpson's rule; used only to share points between pieces.
    const int n = 32;
    double s = 0.0;
    for (int i = 0; i <= n; ++i) {
      const double w = (i == 0 || i == n) ? 1.0 : (i % 2 ? 4.0 : 2.0);
      s += w * derivAt(static_cast<double>(i) / n).len();
    }
    return s * kQuarter / (3.0 * n);
  }
  // Chords needed under the tolerance and spacing of params.
  double chords(const vcShape::vcSampleParams& params) const {
    double n = 1.0;
    if (!arc) {
      if (params.spacing() > 0.0) n = std::max(n, std::ceil(a.distance(b) / params.spacing()));
      return std::min(n, kHardLimit);
    }
    double s1 = 0.0, s2 = 0.0;
    singularValues(A, s1, s2);
    if (!(s1 > 0.0)) return n;
    // A chord over a parameter step h strays at most s1 (1 - cos(h / 2))
    // from the arc, and is at most 2 s1 sin(h / 2) long.
    if (params.tolerance() > 0.0) {
      const double r = params.tolerance() / s1;
      if (r < 1.0) n = std::max(n, std::ceil(kQuarter / (4.0 * std::asin(std::sqrt(0.5 * r)))));
    }
    if (params.spacing() > 0.0) {
      const double r = params.spacing() / (2.0 * s1);
      if (r < 1.0) n = std::max(n, std::ceil(kQuarter / (2.0 * std::asin(r))));
    }
    return std::min(n, kHardLimit);
  }
};

// The boundary pieces of r, and whether its corners are square.
std::vector<Piece> piecesOf(const vcGenRect& r, bool& square) {
  const vcVector<2> c = r.center();
  const vcMatrix<2>& m = r.matrix();
  double rx = r.rounding().x(), ry = r.rounding().y();
  square = rx == 0.0 || ry == 0.0;
  std::vector<Piece> out;
  out.reserve(8);
  if (square) {
    for (int k = 0; k < 4; ++k) {
      Piece p;
      p.a = r.corner(k);
      p.b = r.corner((k + 1) % 4);
      out.push_back(p);
    }
    return out;
  }
  // Side k runs from sideStart[k] to sideEnd[k]; the arc at its end corner is
  // centered at arcCenter[k] and starts at parameter -pi/2 + k pi/2.
  const vcVector<2> sideStart[4] = {{-1 + rx, -1}, {1, -1 + ry}, {1 - rx, 1}, {-1, 1 - ry}};
  const vcVector<2> sideEnd[4] = {{1 - rx, -1}, {1, 1 - ry}, {-1 + rx, 1}, {-1, -1 + ry}};
  const vcVector<2> arcCenter[4] = {{1 - rx, -1 + ry}, {1 - rx, 1 - ry}, {-1 + rx, 1 - ry}, {-1 + rx, -1 + ry}};
  const vcMatrix<2> A = m * vcMatrix<2>::scale(rx, ry);
  for (int k = 0; k < 4; ++k) {
    const bool sideExists = (k % 2 == 0) ? rx < 1.0 : ry < 1.0;
    if (sideExists) {
      Piece s;
      s.a = c + m * sideStart[k];
      s.b = c + m * sideEnd[k];
      out.push_back(s);
    }
    Piece a;
    a.arc = true;
    a.o = c + m * arcCenter[k];
    a.A = A;
    a.t0 = -kQuarter + k * kQuarter;
    out.push_back(a);
  }
  return out;
}

// The nearest point of a piece to p.
struct Foot {
  double dist = std::numeric_limits<double>::infinity();
  vcVector<2> tangent;
};

Foot footOn(const Piece& pc, const vcVector<2>& p) {
  Foot f;
  if (!pc.arc) {
    const vcVector<2> d = pc.b - pc.a;
    const double l2 = d.len2();
    const double t = l2 > 0.0 ? std::clamp((p - pc.a).dot(d) / l2, 0.0, 1.0) : 0.0;
    f.dist = p.distance(pc.at(t));
    f.tangent = d;
    return f;
  }
  // The squared distance along the arc has its minima where g changes sign
  // from - to +; g is bracketed on a fixed grid and each sign change refined
  // by bisection. Grid nodes and the ends are candidates too.
  auto g = [&](double s) { return (pc.at(s) - p).dot(pc.derivAt(s)); };
  auto consider = [&](double s) {
    const double d = p.distance(pc.at(s));
    if (d < f.dist) {
      f.dist = d;
      f.tangent = pc.derivAt(s);
    }
  };
  const int grid = 16;
  double s0 = 0.0, g0 = g(0.0);
  consider(0.0);
  for (int i = 1; i <= grid; ++i) {
    const double s1 = static_cast<double>(i) / grid, g1 = g(s1);
    consider(s1);
    if (g0 < 0.0 && g1 > 0.0) {
      double lo = s0, hi = s1;
      for (int it = 0; it < 100 && hi - lo > 1e-17; ++it) {
        const double mid = 0.5 * (lo + hi);
        (g(mid) < 0.0 ? lo : hi) = mid;
      }
      consider(0.5 * (lo + hi));
    }
    s0 = s1;
    g0 = g1;
  }
  return f;
}

Foot nearestOnBoundary(const vcGenRect& r, const vcVector<2>& p) {
  bool square = false;
  Foot best;
  for (const Piece& pc : piecesOf(r, square)) {
    const Foot f = footOn(pc, p);
    if (f.dist < best.dist || (f.dist == best.dist && best.tangent == vcVector<2>())) best = f;
  }
  return best;
}

// True when the unit-frame point u lies in the unit square rounded by (rx, ry),
// grown by slack (negative slack shrinks it).
bool inUnitShape(const vcVector<2>& u, double rx, double ry, double slack) {
  const double ax = std::fabs(u.x()), ay = std::fabs(u.y());
  if (!(ax <= 1.0 + slack && ay <= 1.0 + slack)) return false;
  if (rx == 0.0 || ry == 0.0 || ax <= 1.0 - rx || ay <= 1.0 - ry) return true;
  const double ex = (ax - (1.0 - rx)) / rx, ey = (ay - (1.0 - ry)) / ry;
  return ex * ex + ey * ey <= (1.0 + slack) * (1.0 + slack);
}

// Containment in r, boundary included, to a relative slack in r's unit frame.
// Singular rectangles, which have no unit frame, use the distance to their
// boundary against slack times their size.
bool insideWithSlack(const vcGenRect& r, const vcVector<2>& p, double slack) {
  const vcMatrix<2>& m = r.matrix();
  if (m.isSingular()) {
    double s1 = 0.0, s2 = 0.0;
    singularValues(m, s1, s2);
    return nearestOnBoundary(r, p).dist <= std::max(slack, 0.0) * s1;
  }
  return inUnitShape(m.inverse() * (p - r.center()), r.rounding().x(), r.rounding().y(), slack);
}

void check(bool ok, const std::string& why) {
  if (!ok) throw vcShapesError::BadGeom("vcGenRect: " + why);
}

void validate(const vcVector<2>& center, const vcMatrix<2>& m, const vcVector<2>& rounding) {
  check(finite(center) && finite(m), "center and matrix must be finite");
  check(rounding.x() >= 0.0 && rounding.x() <= 1.0 && rounding.y() >= 0.0 && rounding.y() <= 1.0,
        "rounding must lie in [0, 1]");
}

// Chord counts per piece for params; false when maxPoints forces even sampling.
bool planChords(const std::vector<Piece>& pcs, const std::vector<double>& len, bool square,
                const vcShape::vcSampleParams& params, std::vector<double>& n, double& evenChords) {
  const double endPt = params.includeEnd() ? 1.0 : 0.0;
  const double dups = (square && params.duplicateCorners()) ? static_cast<double>(pcs.size() - 1) : 0.0;
  double total = 0.0;
  for (std::size_t i = 0; i < pcs.size(); ++i) total += n[i] = pcs[i].chords(params);
  const double maxPts = params.maxPoints() > 1 ? static_cast<double>(params.maxPoints()) : kHardLimit;
  if (total + endPt + dups > std::min(maxPts, kHardLimit)) {
    evenChords = std::max(1.0, std::min(maxPts, kHardLimit) - endPt);
    return false;
  }
  const double need = static_cast<double>(std::max(2L, params.minPoints())) - endPt - dups;
  if (total >= need) return true;
  // Too few points: share the missing chords by length.
  double sumLen = 0.0;
  for (double l : len) sumLen += l;
  const double target = std::min(need, kHardLimit);
  total = 0.0;
  for (std::size_t i = 0; i < pcs.size(); ++i) {
    const double share = sumLen > 0.0 ? std::floor(target * len[i] / sumLen) : 0.0;
    total += n[i] = std::max(n[i], share);
  }
  if (!(sumLen > 0.0)) {
    n[0] += target - total;
    return true;
  }
  while (total < target) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < pcs.size(); ++i)
      if (len[i] / n[i] > len[best] / n[best]) best = i;
    n[best] += 1.0;
    total += 1.0;
  }
  return true;
}

void sampleContour(const std::vector<Piece>& pcs, bool square, const vcShape::vcSampleParams& params,
                   std::vector<vcVector<2>>& result) {
  std::vector<double> len(pcs.size()), n(pcs.size());
  for (std::size_t i = 0; i < pcs.size(); ++i) len[i] = pcs[i].length();
  double even = 0.0;
  if (planChords(pcs, len, square, params, n, even)) {
    double total = 0.0;
    for (double k : n) total += k;
    result.reserve(result.size() + static_cast<std::size_t>(total) + 2 * pcs.size());
    for (std::size_t i = 0; i < pcs.size(); ++i) {
      if (i > 0 && square && params.duplicateCorners()) result.push_back(pcs[i - 1].at(1.0));
      const long count = static_cast<long>(n[i]);
      for (long j = 0; j < count; ++j) result.push_back(pcs[i].at(static_cast<double>(j) / n[i]));
    }
  } else {
    // Evenly along the contour: each piece takes the share of the parameter
    // that its length has of the whole.
    double sumLen = 0.0;
    for (double l : len) sumLen += l;
    const long count = static_cast<long>(even);
    result.reserve(result.size() + static_cast<std::size_t>(count) + 1);
    std::size_t i = 0;
    double before = 0.0;
    for (long j = 0; j < count; ++j) {
      const double s = sumLen * static_cast<double>(j) / even;
      while (i + 1 < pcs.size() && s >= before + len[i]) before += len[i++];
      result.push_back(len[i] > 0.0 ? pcs[i].at(std::min(1.0, (s - before) / len[i])) : pcs[i].at(0.0));
    }
  }
  if (params.includeEnd()) result.push_back(pcs.front().at(0.0));
}

// Exchanges the fields of r in the archive form; on loading r is replaced only
// by a valid rectangle.
void exchangeFields(vcArchive& ar, vcGenRect& r) {
  const vcMatrix<2>& m = r.matrix();
  double v[8] = {r.center().x(), r.center().y(), m.element(0, 0), m.element(0, 1),
                 m.element(1, 0), m.element(1, 1), r.rounding().x(), r.rounding().y()};
  for (double& d : v) ar || d;
  if (ar.isLoading()) {
    try {
      r = vcGenRect(vcVector<2>(v[0], v[1]), vcMatrix<2>(v[2], v[3], v[4], v[5]), vcVector<2>(v[6], v[7]));
    } catch (const vcShapesError::Errors& e) {
      throw vcArchive::BadData(e.message());
    }
  }
}
}  // namespace

// ---- vcGenRect ------------------------------------------------------------

template class vcShapeBase<vcGenRect>;

vcGenRect::vcGenRect() = default;

vcGenRect::vcGenRect(const vcVector<2>& center, const vcMatrix<2>& m, const vcVector<2>& rounding)
    : center_(center), m_(m), rounding_(rounding) {
  validate(center_, m_, rounding_);
}

vcGenRect::vcGenRect(const vcVector<2>& center, const vcVector<2>& size, const vcRadian& angle,
                     const vcVector<2>& rounding)
    : center_(center), rounding_(rounding) {
  check(finite(size) && std::isfinite(angle.toDouble()), "size and angle must be finite");
  check(size.x() >= 0.0 && size.y() >= 0.0, "side lengths must not be negative");
  m_ = vcMatrix<2>::rotation(angle) * vcMatrix<2>::scale(0.5 * size.x(), 0.5 * size.y());
  validate(center_, m_, rounding_);
}

vcGenRect::vcGenRect(const vcRect& r)
    : center_(r.center()), m_(vcMatrix<2>::scale(0.5 * r.width(), 0.5 * r.height())) {
  check(r.isFinite(), "the rectangle has a value that is not finite");
}

vcVector<2> vcGenRect::sideLengths() const { return vcVector<2>(2.0 * m_.xScale(), 2.0 * m_.yScale()); }

vcVector<2> vcGenRect::corner(int k) const {
  static const vcVector<2> unit[4] = {{-1.0, -1.0}, {1.0, -1.0}, {1.0, 1.0}, {-1.0, 1.0}};
  if (k < 0 || k > 3) throw vcBadArgument("vcGenRect::corner: index " + std::to_string(k) + " is not 0..3");
  return center_ + m_ * unit[k];
}

vcGenRect::vcGenRectData vcGenRect::data() const {
  vcGenRectData d;
  for (int k = 0; k < 4; ++k) d.corners[k] = corner(k);
  d.xRounding = rounding_.x();
  d.yRounding = rounding_.y();
  d.orientation = m_.xRot();
  d.skew = (column(m_, 1).angle() - d.orientation - kQuarter).signedNorm();
  return d;
}

vcEllipse vcGenRect::ellipse() const { return vcEllipse(vcXform<2>(m_, center_)); }

vcGenRect vcGenRect::map(const vcXform<2>& x) const {
  return vcGenRect(x.mapPoint(center_), x.matrix() * m_, rounding_);
}

void vcGenRect::sampleOutline(const vcVector<2> (&corners)[4], const vcSampleParams& params,
                              std::vector<vcVector<2>>& result) {
  std::vector<Piece> pcs(4);
  for (int k = 0; k < 4; ++k) {
    pcs[k].a = corners[k];
    pcs[k].b = corners[(k + 1) % 4];
  }
  sampleContour(pcs, true, params, result);
}

vcShapeHandle vcGenRect::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcGenRect::boundingBox() const {
  const double rx = rounding_.x(), ry = rounding_.y();
  if (rx == 0.0 || ry == 0.0) {
    vcRect box;
    for (int k = 0; k < 4; ++k) box.enclose(corner(k));
    return box;
  }
  const double a = m_.element(0, 0), b = m_.element(0, 1), c = m_.element(1, 0), d = m_.element(1, 1);
  double hx = (1 - rx) * std::fabs(a) + (1 - ry) * std::fabs(b) + std::hypot(rx * a, ry * b);
  double hy = (1 - rx) * std::fabs(c) + (1 - ry) * std::fabs(d) + std::hypot(rx * c, ry * d);
  hx += 8.0 * DBL_EPSILON * (std::fabs(center_.x()) + hx);
  hy += 8.0 * DBL_EPSILON * (std::fabs(center_.y()) + hy);
  return vcRect(center_.x() - hx, center_.y() - hy, 2.0 * hx, 2.0 * hy);
}

double vcGenRect::distanceToPoint(const vcVector<2>& p) const {
  if (within(p)) return 0.0;
  return nearestOnBoundary(*this, p).dist;
}

bool vcGenRect::isEmpty() const { return m_.isSingular(); }

double vcGenRect::perimeter() const {
  const double rx = rounding_.x(), ry = rounding_.y();
  double s1 = 0.0, s2 = 0.0;
  singularValues(m_ * vcMatrix<2>::scale(rx, ry), s1, s2);
  return 4.0 * ((1 - rx) * m_.xScale() + (1 - ry) * m_.yScale()) + ellipsePerimeter(s1, s2);
}

double vcGenRect::area() const {
  // Each rounded corner takes rx ry (1 - pi/4) from the unit square's area 4.
  return std::fabs(m_.determinant()) * (4.0 - (4.0 - kPi) * rounding_.x() * rounding_.y());
}

bool vcGenRect::within(const vcVector<2>& p) const { return insideWithSlack(*this, p, kUnitSlack); }

vcVector<2> vcGenRect::tangentAt(const vcVector<2>& p) const {
  const Foot f = nearestOnBoundary(*this, p);
  if (!(f.tangent.len() > 0.0)) throw vcShapesError::NoTangent("vcGenRect::tangentAt: the boundary is a point there");
  return f.tangent.unit();
}

void vcGenRect::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  bool square = false;
  const std::vector<Piece> pcs = piecesOf(*this, square);
  sampleContour(pcs, square, params, result);
}

bool vcGenRect::operator==(const vcGenRect& o) const {
  return center_ == o.center_ && m_ == o.m_ && rounding_ == o.rounding_;
}

template <class Codec>
void vcGenRect::image_(Codec& c, std::size_t at) {
  double v[9] = {center_.x(),     center_.y(),       m_.element(0, 0), m_.element(0, 1), m_.element(1, 0),
                 m_.element(1, 1), m_.determinant(), rounding_.x(),    rounding_.y()};
  for (std::size_t i = 0; i < 9; ++i) c.f64(at + 8 * i, v[i]);
  if constexpr (!Codec::isWriting)
    *this = vcGenRect(vcVector<2>(v[0], v[1]), vcMatrix<2>(v[2], v[3], v[4], v[5]), vcVector<2>(v[7], v[8]));
}

void vcGenRect::writeImage(unsigned char* out) const {
  vc_ImageWriter w(out, kImageSize);
  const_cast<vcGenRect*>(this)->image_(w, 0);
}

vcGenRect vcGenRect::readImage(const unsigned char* in) {
  vc_ImageReader rd(in, kImageSize);
  vcGenRect r;
  r.image_(rd, 0);
  return r;
}

void vcGenRect::archiveFields_(vcArchive& ar) {
  exchangeFields(ar, *this);
}

// ---- vcGenAnnulus ---------------------------------------------------------

template class vcShapeBase<vcGenAnnulus>;

namespace {
// Relative slack of the nesting check, in outer's unit frame.
constexpr double kNestSlack = 1e-9;
// Points checked along each corner arc of the inner rectangle.
constexpr int kNestArcPoints = 64;

bool nested(const vcGenRect& inner, const vcGenRect& outer) {
  bool square = false;
  for (const Piece& pc : piecesOf(inner, square)) {
    const int steps = pc.arc ? kNestArcPoints : 1;
    for (int j = 0; j <= steps; ++j)
      if (!insideWithSlack(outer, pc.at(static_cast<double>(j) / steps), kNestSlack)) return false;
  }
  return true;
}
}  // namespace

vcGenAnnulus::vcGenAnnulus() : inner_(vcVector<2>(), vcMatrix<2>(0.0, 0.0, 0.0, 0.0), vcVector<2>()) {}

vcGenAnnulus::vcGenAnnulus(const vcGenRect& inner, const vcGenRect& outer) : inner_(inner), outer_(outer) {
  if (!nested(inner_, outer_)) throw vcShapesError::BadGeom("vcGenAnnulus: the inner rectangle leaves the outer one");
}

vcGenAnnulus::vcGenAnnulus(const vcVector<2>& center, double innerRadius, double outerRadius) {
  if (!(innerRadius >= 0.0 && innerRadius <= outerRadius && std::isfinite(outerRadius)))
    throw vcShapesError::BadRadius("vcGenAnnulus: radii " + std::to_string(innerRadius) + " and " +
                                   std::to_string(outerRadius) + " need 0 <= inner <= outer");
  const vcVector<2> round(1.0, 1.0);
  inner_ = vcGenRect(center, vcMatrix<2>::scale(innerRadius, innerRadius), round);
  outer_ = vcGenRect(center, vcMatrix<2>::scale(outerRadius, outerRadius), round);
}

vcGenAnnulus vcGenAnnulus::map(const vcXform<2>& x) const { return vcGenAnnulus(inner_.map(x), outer_.map(x)); }

vcShapeHandle vcGenAnnulus::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }
vcRect vcGenAnnulus::boundingBox() const { return outer_.boundingBox(); }

double vcGenAnnulus::distanceToPoint(const vcVector<2>& p) const {
  if (within(p)) return 0.0;
  return nearestOnBoundary(outer_.within(p) ? inner_ : outer_, p).dist;
}

bool vcGenAnnulus::isEmpty() const { return !(area() > 0.0); }
double vcGenAnnulus::perimeter() const { return inner_.perimeter() + outer_.perimeter(); }
double vcGenAnnulus::area() const { return outer_.area() - inner_.area(); }

bool vcGenAnnulus::within(const vcVector<2>& p) const {
  return outer_.within(p) && (inner_.isEmpty() || !insideWithSlack(inner_, p, -kUnitSlack));
}

vcVector<2> vcGenAnnulus::tangentAt(const vcVector<2>& p) const {
  const Foot in = nearestOnBoundary(inner_, p), out = nearestOnBoundary(outer_, p);
  const vcVector<2> t = in.dist < out.dist ? -in.tangent : out.tangent;
  if (!(t.len() > 0.0)) throw vcShapesError::NoTangent("vcGenAnnulus::tangentAt: the boundary is a point there");
  return t.unit();
}

void vcGenAnnulus::sample(const vcSampleParams&, std::vector<vcVector<2>>&) const {
  throw vcShapesError::BadGeom("vcGenAnnulus has two boundary contours: sample the rectangles of decompose()");
}

std::vector<vcShapeHandle> vcGenAnnulus::decompose() const { return {outer_.clone(), inner_.clone()}; }

template <class Codec>
void vcGenAnnulus::image_(Codec& c) {
  inner_.image_(c, 0);
  outer_.image_(c, vcGenRect::kImageSize);
}

void vcGenAnnulus::writeImage(unsigned char* out) const {
  vc_ImageWriter w(out, kImageSize);
  const_cast<vcGenAnnulus*>(this)->image_(w);
}

vcGenAnnulus vcGenAnnulus::readImage(const unsigned char* in) {
  vc_ImageReader rd(in, kImageSize);
  vcGenAnnulus a;
  a.image_(rd);
  return vcGenAnnulus(a.inner_, a.outer_);
}

void vcGenAnnulus::archiveFields_(vcArchive& ar) {
  vcGenRect in(inner_), out(outer_);
  exchangeFields(ar, in);
  exchangeFields(ar, out);
  if (ar.isLoading()) *this = vcGenAnnulus(in, out);
}
