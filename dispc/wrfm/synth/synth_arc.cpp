// Arcs followed by chords for synthetic images, with the work bounded by
// what the image can show: runs of chords far from the window are replaced
// by two chords around them, so a circle of radius 1e20 costs a handful of
// points and one whose edge crosses the image costs the chords near it.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include <vc/core/exception.h>

#include "synth_arc.h"
#include "synth_raster.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// Bounds the pieces of one arc whatever its radius: beyond this the chords
// are already longer than any image, and positions that far out are not
// known to a pixel anyway.
constexpr std::int64_t kMaxArcPieces = std::int64_t{1} << 40;

// Runs of at most this many pieces are emitted without looking further.
constexpr std::int64_t kLeafPieces = 8;

// The n pieces of an arc of the local circle (centre c, radius r) from angle
// t0 to t1, mapped by m. The ends lie on the circle and the points between
// them at radius rIn, h apart; the first and the last piece span lead + 1
// steps, so that point k (0 < k < n) lies at t0 + h (k + lead).
struct ArcChords {
  vcXform<2> m;
  vcVector<2> c;
  double r, rIn, t0, t1, h, lead, stretch;
  std::int64_t n;
  double minX, minY, maxX, maxY;  // the box whose pixels matter, with a margin
  vf_SynthBox* box;               // grows by every point appended

  double radius(std::int64_t k) const { return k == 0 || k == n ? r : rIn; }
  double angle(std::int64_t k) const { return k == 0 ? t0 : k == n ? t1 : t0 + h * (static_cast<double>(k) + lead); }
  vcVector<2> at(double t, double rad) const { return m * (c + vcVector<2>(std::cos(t), std::sin(t)) * rad); }
  vcVector<2> point(std::int64_t k) const { return at(angle(k), radius(k)); }

  // Appends points first + 1 .. last. The unit-circle point (u, v) turns by
  // h from one to the next and is mapped by the matrix scaled to the inner
  // radius, so no point needs its own sine, cosine or full mapping; it is
  // taken afresh from cos and sin every 64 steps, so that rounding cannot
  // drift (positions stay within about 1e-13 of the direct formula's, in
  // units of the arc's mapped size), and the end is computed exactly.
  void run(std::int64_t first, std::int64_t last, std::vector<vcVector<2>>& out) const {
    if (last <= first) return;
    const double cs = std::cos(h), sn = std::sin(h);
    const vcMatrix<2>& mm = m.matrix();
    const double a = mm.element(0, 0) * rIn, b = mm.element(0, 1) * rIn;
    const double d = mm.element(1, 0) * rIn, e = mm.element(1, 1) * rIn;
    const vcVector<2> o = m * c;
    double u = 0, v = 0;
    int sinceExact = 64;
    for (std::int64_t k = first + 1; k <= last; ++k) {
      if (k == n) {
        put(point(n), out);
        break;
      }
      if (++sinceExact >= 64) {
        const double t = angle(k);
        u = std::cos(t), v = std::sin(t), sinceExact = 0;
      } else {
        const double un = u * cs - v * sn;
        v = u * sn + v * cs, u = un;
      }
      put(vcVector<2>(o.x() + a * u + b * v, o.y() + d * u + e * v), out);
    }
  }

  void put(const vcVector<2>& p, std::vector<vcVector<2>>& out) const {
    out.push_back(p);
    box->add(p);
  }

  // Whether the chords of pieces k0 .. k1, and the two chords through the
  // middle of the arc that may replace them, keep clear of the box: all lie
  // within stretch * (r theta / 2 + rIn - r) of the arc's middle point, so
  // within a square that misses the box (and one path can be bent into the
  // other without crossing it: each pixel's winding is the same).
  bool clear(std::int64_t k0, std::int64_t k1, vcVector<2>& mid) const {
    const double theta = std::fabs(angle(k1) - angle(k0));
    mid = at(0.5 * (angle(k0) + angle(k1)), r);
    // A generous allowance for rounding of positions far from the origin.
    const double slack = 1e-9 * (std::fabs(mid.x()) + std::fabs(mid.y()) + stretch * rIn);
    const double d = stretch * (r * 0.5 * theta + (rIn - r)) * (1.0 + 1e-9) + slack;
    return mid.x() + d < minX || mid.x() - d > maxX || mid.y() + d < minY || mid.y() - d > maxY;
  }
};

// Under a map that keeps shapes (turns, mirrors and scales alike in every
// direction), arcs of mapped radius R >= kMinBalancedRadius pixels get steps
// chosen from the area error they leave in a pixel. Each piece is balanced:
// its inner points lie out by 2/3 of the sagitta s of a full step, and the
// first and last pieces, from the circle to such a point, span kEndPiece of a
// step (their sagitta, s / 2, then balances that offset as well). Along the
// chain the distance to the circle is then s times a fixed profile (between
// -2/3 and 1/3 on full steps) of the chord length L. A curve this flat runs
// through a pixel for at most 1.5 pixels (sqrt 2 and a little), and the area
// between chain and circle in the pixel is at most the integral of that
// distance over the run: s G(L), where G, the profile's largest integral
// over 1.5 pixels (arc ends and arcs meeting included), stays below
// max(0.46, 1 - 1.75 / L) (checked numerically for L from 0.1 to 40; beyond,
// G approaches 1 from below by about 2.2 / L). With s = L^2 / (8 R) the step
// is the longest whose bound is under kSynthAreaBudget, which leaves room
// for rounding (0.5) and the scan converter's fixed point within 0.8 of a
// grey level. An arc of at most half a step is one chord, whose sagitta is
// then at most s / 4.
//
// From R >= kCrossingRadius (where the curve turns by at most 0.19 radian in
// a pixel) a second bound often does better. The chain's stretch whose
// normals to the circle lie wholly in the pixel contributes the integral of
// the signed distance over one stretch, at most 0.14 L s; where the normals
// cross one of the pixel's four sides they contribute at most 2/3 s each,
// over a length of at most (4/3) s / sin(angle to that side). The run is at
// most 1/cos(angle to the nearer axis) long, which tightens the first bound
// near the axes, where the second is weak. With the better of the two in
// every direction, the bound stays under kCrossingFactor s for L <= 2 (again
// checked numerically, for s up to 0.004, which the budget keeps).
constexpr double kMinBalancedRadius = 4.0;
const double kEndPiece = std::sqrt(0.5);
constexpr double kSynthAreaBudget = 0.25 / 255.0;
constexpr double kCrossingRadius = 8.0;
constexpr double kCrossingFactor = 0.325;

// The step (radians) for mapped radius R, with 1 % kept for the rounding of
// s and L and for their approximations above.
double balancedStep(double R) {
  const double e = 8.0 * R * kSynthAreaBudget * 0.99;  // L^2 G(L) may reach this
  double L = std::sqrt(e / 0.46);
  if (R >= kCrossingRadius && L <= 2.0) L = std::min(2.0, std::sqrt(e / kCrossingFactor));
  if (1.0 - 1.75 / L > 0.46) L = 0.5 * (1.75 + std::sqrt(1.75 * 1.75 + 4.0 * e));  // L^2 - 1.75 L = e
  return 2.0 * std::asin(std::min(1.0, 0.5 * L / R));
}

// Whether m keeps shapes: |det| = stretch^2 up to rounding.
bool similar(const vcMatrix<2>& m, double stretch) {
  return std::fabs(m.determinant()) >= (1.0 - 1e-9) * stretch * stretch;
}

// Emits points k0 + 1 .. k1 (point k0 is out already), or the two chords
// around them where they are clear of the box; pending is the first point
// of a run not yet emitted.
void emit(const ArcChords& a, std::int64_t k0, std::int64_t k1, std::int64_t& pending, std::vector<vcVector<2>>& out) {
  vcVector<2> mid;
  if (k1 - k0 > kLeafPieces && a.clear(k0, k1, mid)) {
    a.run(pending, k0, out);
    a.put(mid, out);
    a.put(a.point(k1), out);
    pending = k1;
    return;
  }
  if (k1 - k0 <= kLeafPieces) return;  // joins the pending run
  const std::int64_t km = k0 + (k1 - k0) / 2;
  emit(a, k0, km, pending, out);
  emit(a, km, k1, pending, out);
}

}  // namespace

// Under a map that keeps shapes, arcs of mapped radius at least this many
// pixels are taken whole by the scan converter (the segment area formula it
// uses holds there). Measured against chords: twice as fast at radius 16,
// 30 % at 64, 5 to 10 % at 150 to 1000.
constexpr double kExactArcRadius = 4.0;

bool vf_synthExactArc(const vc2SegmentArc& arc, const vcXform<2>& x, const vcRectangle<long>& window,
                      std::vector<vcVector<2>>& out, vf_SynthBox& box, std::vector<vc_SynthArc>& arcs) {
  const vcXform<2> m = x * arc.xform();
  const double stretch = vf_synthMaxStretch(m.matrix());
  const double radius = arc.localRadius() * stretch, span = arc.localAngleSpan().toDouble() * kDeg;
  if (out.empty() || !(radius >= kExactArcRadius) || !std::isfinite(radius) || !std::isfinite(span) ||
      !similar(m.matrix(), stretch))
    return false;
  const vcVector<2> c = m * arc.localCenter();
  const double t1 = arc.localStartAngle().toDouble() * kDeg + span;
  const vcVector<2> end = m * (arc.localCenter() + vcVector<2>(std::cos(t1), std::sin(t1)) * arc.localRadius());
  const vcVector<2> start = out.back();
  // In the image the arc turns the other way under a mirror.
  const double a0 = std::atan2(start.y() - c.y(), start.x() - c.x());
  const double turn = m.matrix().determinant() < 0 ? -span : span;
  vf_SynthBox own;
  own.add(start), own.add(end);
  // The ends of the circle's axes that the arc passes.
  for (int k = 0; k < 4; ++k) {
    const double toward = (turn >= 0 ? 1.0 : -1.0) * (k * 0.5 * kPi - a0);
    if (std::fabs(turn) >= 2.0 * kPi || toward - 2.0 * kPi * std::floor(toward / (2.0 * kPi)) < std::fabs(turn))
      own.add(vf_synthAxisEnd(c, radius, k));
  }
  // Only arcs clear of the window's 2-pixel rim (where pixels are not
  // blended) and finite: the others need the chords' cutting.
  if (!own.surelyWithin(kSynthFarthest) || own.x0 < static_cast<double>(window.x()) + 2.0 ||
      own.x1 > static_cast<double>(window.right()) - 2.0 || own.y0 < static_cast<double>(window.y()) + 2.0 ||
      own.y1 > static_cast<double>(window.bottom()) - 2.0)
    return false;
  arcs.push_back(vc_SynthArc{out.size() - 1, c, radius, a0, turn});
  out.push_back(end);
  box.add(vcVector<2>(own.x0, own.y0)), box.add(vcVector<2>(own.x1, own.y1));
  return true;
}

std::int64_t vf_synthArcPieces(double r, double spanDeg, double stretch, double tol) {
  const double span = std::fabs(spanDeg) * kDeg;
  const double mapped = r * stretch;
  if (!std::isfinite(span) || !std::isfinite(mapped))
    throw vcShapesError::BadGeom("synthetic drawing: an arc maps to a non-finite image size");
  // A chord over the angle t leaves a circle of radius R by
  // R (1 - cos(t / 2)) = 2 R sin^2(t / 4); written so, the step stays
  // accurate (and above 0) for any radius.
  double step = 5.0 * kDeg;
  if (mapped > tol) step = std::min(step, 4.0 * std::asin(std::sqrt(0.5 * tol / mapped)));
  const double pieces = std::ceil(span / step - 1e-9);
  if (!(pieces >= 1.0)) return 1;
  return pieces < static_cast<double>(kMaxArcPieces) ? static_cast<std::int64_t>(pieces) : kMaxArcPieces;
}

void vf_synthArcPoints(const vc2SegmentArc& arc, const vcXform<2>& x, bool withStart, const vcRectangle<long>& window,
                       std::vector<vcVector<2>>& out) {
  vf_SynthBox box;
  vf_synthArcPoints(arc, x, withStart, window, out, box);
}

void vf_synthArcPoints(const vc2SegmentArc& arc, const vcXform<2>& x, bool withStart, const vcRectangle<long>& window,
                       std::vector<vcVector<2>>& out, vf_SynthBox& box) {
  ArcChords a;
  a.box = &box;
  a.m = x * arc.xform();
  a.c = arc.localCenter();
  a.r = arc.localRadius();
  a.stretch = vf_synthMaxStretch(a.m.matrix());
  const double span = arc.localAngleSpan().toDouble();
  a.t0 = arc.localStartAngle().toDouble() * kDeg;
  a.t1 = a.t0 + span * kDeg;
  a.lead = 0.0;
  const double mapped = a.r * a.stretch;
  if (similar(a.m.matrix(), a.stretch) && mapped >= kMinBalancedRadius && std::isfinite(mapped) &&
      std::isfinite(span)) {
    // Steps as long as the area bound allows, the end pieces shortened to
    // balance as the others do (see balancedStep).
    const double steps = std::fabs(span) * kDeg / std::min(5.0 * kDeg, balancedStep(mapped));
    const double pieces = steps <= 0.5 ? 1.0 : 2.0 + std::fmax(0.0, std::ceil(steps - 2.0 * kEndPiece - 1e-9));
    a.n = pieces < static_cast<double>(kMaxArcPieces) ? static_cast<std::int64_t>(pieces) : kMaxArcPieces;
    if (a.n > 1) a.lead = kEndPiece - 1.0;
    a.h = span * kDeg / (static_cast<double>(a.n) + 2.0 * a.lead);
  } else {
    a.n = vf_synthArcPieces(a.r, span, a.stretch, kSynthArcSagitta);
    a.h = span / static_cast<double>(a.n) * kDeg;
  }
  // The inner points move out by two thirds of the chords' sagitta: each
  // chord then cuts off as much area outside the arc as it leaves inside, and
  // strays from it by at most two thirds of the sagitta.
  // (1 - cos(h / 2) written as 2 sin^2(h / 4), which tiny steps keep.)
  const double q = std::sin(0.25 * a.h);
  a.rIn = a.r * (1.0 + (4.0 / 3.0) * q * q);
  // Pixels up to 2 outside the window still decide what is written in it
  // (rounding of marks and blends at its edge).
  a.minX = static_cast<double>(window.x()) - 2.0, a.maxX = static_cast<double>(window.right()) + 2.0;
  a.minY = static_cast<double>(window.y()) - 2.0, a.maxY = static_cast<double>(window.bottom()) + 2.0;
  const vcVector<2> first = a.point(0);
  vf_synthCheckFinite(first);
  if (withStart) a.put(first, out);
  std::int64_t pending = 0;
  // An arc wholly inside the box, the usual case, needs no search.
  const vcVector<2> centre = a.m * a.c;
  const double reach = a.stretch * a.rIn;
  if (centre.x() - reach < a.minX || centre.x() + reach > a.maxX || centre.y() - reach < a.minY ||
      centre.y() + reach > a.maxY)
    emit(a, 0, a.n, pending, out);
  a.run(pending, a.n, out);
}
