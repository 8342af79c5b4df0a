// Drawing a generalised poly on a scope as straight pieces: lines as they
// are, arcs as chords fine enough to stay within 0.05 of the true curve, and
// optional direction figures at segment middles.
#include <algorithm>
#include <cmath>
#include <numbers>

#include <vc/dispprop.h>
#include <vc/uiscope.h>
#include <vc/wrfm/genpoly.h>

namespace {

using P = vcSMDGDPolyPrivate;
constexpr double kDeg = std::numbers::pi / 180.0;
constexpr long kMaxChords = 65536;

// Largest stretch of m: its largest singular value.
double maxStretch(const vcMatrix<2>& m) {
  const double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
  const double s = a * a + b * b + c * c + d * d;
  const double det = a * d - b * c;
  return std::sqrt(0.5 * (s + std::sqrt(std::max(0.0, s * s - 4 * det * det))));
}

}  // namespace

long vcGenPoly::chordCount_(const vc2SegmentArc& a, double& stepDeg) {
  // The chord of a circle arc of radius r over an angle t leaves the curve by
  // r (1 - cos(t / 2)); a linear map stretches that by at most its largest
  // singular value, so the radius that counts is the largest mapped one.
  const double r = a.localRadius() * maxStretch(a.xform().matrix());
  double step = 5.0;
  if (r > 0.05) step = std::min(step, 2.0 * std::acos(1.0 - 0.05 / r) / kDeg);
  const double span = a.localAngleSpan().toDouble();
  // A huge radius asks for more chords than anything shows (and its step can
  // round to 0): the count is capped, and never cast from a non-finite value.
  const double chords = std::trunc(std::fabs(span / step)) + 1;
  const long n = chords < kMaxChords ? static_cast<long>(chords) : kMaxChords;
  stepDeg = span / static_cast<double>(n);
  return n;
}

void vcGenPoly::drawArc_(const vc2SegmentArc& local, const vcGraphicProps& props, vcUIScope& scope) const {
  const vc2SegmentArc a = xform_ * local;
  double step = 0.0;
  const long n = chordCount_(a, step);
  const vcVector<2>& c = a.localCenter();
  const double r = a.localRadius(), start = a.localStartAngle().toDouble();
  const auto at = [&](long k) {
    const double t = (start + step * static_cast<double>(k)) * kDeg;
    return a.xform() * (c + vcVector<2>(std::cos(t), std::sin(t)) * r);
  };
  vcVector<2> from = at(0);
  for (long k = 1; k <= n; ++k) {
    const vcVector<2> to = at(k);
    scope.draw(vcLineSeg(from, to), props);
    from = to;
  }
}

void vcGenPoly::drawToScope(const vcGraphicProps& props, vcUIScope& scope) const {
  const bool full = props.showVertex();
  const long segments = numSegments();
  for (long i = 0; i < segments; ++i) {
    const int s = smdSegment_(i);
    if (isLineSegment(i))
      scope.draw(lineSegment(i, full), props);
    else
      drawArc_(smd_([&] { return full ? P::arcSegment_(*poly_, s) : P::roundedArcSegment_(*poly_, s); }), props,
               scope);
  }
  if (props.arrowHead()) drawDirectionFigures_(props, scope);
  for (long i = 0; i < numVertices(); ++i)
    if (vertexRoundingSize(i) != 0.0)
      drawArc_(smd_([&] { return P::roundedArcVertex_(*poly_, static_cast<int>(i)); }), props, scope);
}

void vcGenPoly::drawDirectionFigures_(const vcGraphicProps& props, vcUIScope& scope) const {
  const long segments = numSegments();
  double longest = 0.0;
  for (long i = 0; i < segments; ++i)
    longest = std::max(longest, vertexPoint(i).distance(vertexPoint(nextVertexIndex(i))));
  // Segments shorter than a fifth of the longest get no figure; the figure
  // is a chevron whose arms reach back 0.08 of the longest.
  const double minLength = 0.2 * longest, size = 0.08 * longest;
  if (!(size > 0.0)) return;
  for (long i = 0; i < segments; ++i) {
    if (vertexPoint(i).distance(vertexPoint(nextVertexIndex(i))) < minLength) continue;
    const int s = smdSegment_(i);
    vcVector<2> mid;
    double direction = 0.0;
    if (isLineSegment(i)) {
      const vcLineSeg l = lineSegment(i, false);
      mid = (l.p1() + l.p2()) * 0.5;
      direction = (l.p2() - l.p1()).angle().toDouble();
    } else {
      const vc2SegmentArc a = xform_ * smd_([&] { return P::roundedArcSegment_(*poly_, s); });
      mid = a.midPoint();
      direction = a.midDirection().toDouble() * kDeg;
    }
    if (poly_->isDirectionReversed()) direction += std::numbers::pi;
    const vc2Rigid place{vcRadian(direction), mid};
    const vcXform<2>& x = place.linear();
    const vcVector<2> tip = x * vcVector<2>(0.5 * size, 0.0);
    scope.draw(vcLineSeg(x * vcVector<2>(-0.5 * size, 0.5 * size), tip), props);
    scope.draw(vcLineSeg(x * vcVector<2>(-0.5 * size, -0.5 * size), tip), props);
  }
}
