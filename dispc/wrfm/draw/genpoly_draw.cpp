// Drawing a generalised poly on a scope as straight pieces: lines as they
// are, arcs as chords fine enough to stay within 0.05 of the true curve, and
// optional direction figures at segment middles.
#include <algorithm>
#include <cmath>
#include <numbers>

#include <vc/core/exception.h>
#include <vc/dispprop.h>
#include <vc/uiscope.h>
#include <vc/wrfm/genpoly.h>

#include "smdpoly_piece.h"

namespace {

using P = vcSMDGDPolyPrivate;
constexpr double kDeg = std::numbers::pi / 180.0;
// Arcs of more chords than this are drawn only where they can show.
constexpr long kClipAbove = 4096;
// The most chords an arc is cut into (2^52, while chord indices stay exact
// doubles); only radii past 1e29 pixels need more to keep the tolerance.
constexpr double kMaxChords = 4503599627370496.0;

// Largest stretch of m: its largest singular value.
double maxStretch(const vcMatrix<2>& m) {
  const double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
  const double s = a * a + b * b + c * c + d * d;
  const double det = a * d - b * c;
  return std::sqrt(0.5 * (s + std::sqrt(std::max(0.0, s * s - 4 * det * det))));
}

// The surface pixels an arc's chords are clipped to: the scope's rectangle
// widened by the pen and a pixel of rounding.
struct ClipBox {
  double left, top, right, bottom;
  ClipBox(const vcUIScope& scope, const vcGraphicProps& props) {
    const double m = static_cast<double>(props.penWidth()) + 2.0;
    left = static_cast<double>(scope.org().x()) - m;
    top = static_cast<double>(scope.org().y()) - m;
    right = static_cast<double>(scope.org().x() + scope.size().x()) + m;
    bottom = static_cast<double>(scope.org().y() + scope.size().y()) + m;
  }
  // Whether something within reach of the segment p-q can be inside.
  bool near(const vcVector<2>& p, const vcVector<2>& q, double reach) const {
    return std::min(p.x(), q.x()) - reach <= right && std::max(p.x(), q.x()) + reach >= left &&
           std::min(p.y(), q.y()) - reach <= bottom && std::max(p.y(), q.y()) + reach >= top;
  }
};

}  // namespace

long vcGenPoly::chordCount_(const vc2SegmentArc& a, double& stepDeg) {
  // The chord of a circle arc of radius r over an angle t leaves the curve by
  // r (1 - cos(t / 2)) = 2 r sin^2(t / 4); a linear map stretches that by at
  // most its largest singular value, so the radius that counts is the
  // largest mapped one. The sine form keeps its precision for radii where
  // 1 - 0.05 / r rounds to 1.
  const double r = a.localRadius() * maxStretch(a.xform().matrix());
  if (!std::isfinite(r)) throw vcShapesError::BadGeom("vcGenPoly: an arc's radius on the surface is not finite");
  double step = 5.0;
  if (r > 0.05) step = std::min(step, 4.0 * std::asin(std::sqrt(0.025 / r)) / kDeg);
  const double span = a.localAngleSpan().toDouble();
  const double n = std::min(std::trunc(std::fabs(span / step)) + 1.0, kMaxChords);
  stepDeg = span / n;
  return static_cast<long>(n);
}

// Chord k runs from the arc's point at start + k step to the next. Up to
// kClipAbove chords are all drawn; an arc needing more (a radius of some
// 1e5 pixels and beyond) is split in halves by chord index, and halves whose
// arc cannot reach the scope are dropped, so the work follows the visible
// chords rather than the arc's size.
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
  if (n <= kClipAbove) {
    vcVector<2> from = at(0);
    for (long k = 1; k <= n; ++k) {
      const vcVector<2> to = at(k);
      scope.draw(vcLineSeg(from, to), props);
      from = to;
    }
    return;
  }
  const ClipBox clip(scope, props);
  const double mappedRadius = r * maxStretch(a.xform().matrix());
  // Points are computed to about 1e-16 of the radius, which the reach allows for.
  const double slack = 1e-12 * mappedRadius + 1.0;
  const auto chords = [&](const auto& self, long k0, const vcVector<2>& p0, long k1, const vcVector<2>& p1) -> void {
    if (k1 - k0 == 1) {
      scope.draw(vcLineSeg(p0, p1), props);
      return;
    }
    // The arc between stays within 2 R sin^2(t / 4) of its chord below a
    // half turn, and within 2 R of its first point otherwise.
    const double t = std::fabs(step) * static_cast<double>(k1 - k0) * kDeg;
    const double s = std::sin(0.25 * t);
    const double bulge = t < std::numbers::pi ? 2.0 * mappedRadius * s * s : 2.0 * mappedRadius;
    if (!clip.near(p0, p1, bulge + slack)) return;
    const long km = k0 + (k1 - k0) / 2;
    const vcVector<2> pm = at(km);
    self(self, k0, p0, km, pm);
    self(self, km, pm, k1, p1);
  };
  chords(chords, 0, at(0), n, at(n));
}

void vcGenPoly::drawToScope(const vcGraphicProps& props, vcUIScope& scope) const {
  const bool full = props.showVertex();
  // The segments in the shape's order (vertex 0's outgoing one first), then
  // the direction figures over them, then the roundings.
  vc_walkOutline(*poly_, vc_SMDWalkFrom::eCorner0, [&](const vc_SMDPart& part) {
    if (part.corner) return;
    const vc_SMDPiece piece = smd_([&] { return full ? vc_fullSegmentPiece(*poly_, part.index) : part.piece(); });
    if (piece.isArc)
      drawArc_(piece.arc, props, scope);
    else
      scope.draw(vcLineSeg(xform_ * piece.line.p1(), xform_ * piece.line.p2()), props);
  });
  if (props.arrowHead()) drawDirectionFigures_(props, scope);
  vc_walkOutline(*poly_, vc_SMDWalkFrom::eCorner0, [&](const vc_SMDPart& part) {
    if (part.corner) drawArc_(smd_([&] { return part.piece(); }).arc, props, scope);
  });
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
