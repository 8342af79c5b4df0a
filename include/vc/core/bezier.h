// vcBezierCurve: the rational cubic Bézier curve, and the sampler that every
// chain of Bézier pieces (the cubic splines of <vc/core/spline.h>) shares.
//
// Coordinates are client coordinates (see <vc/core/shape.h>). The curve is
//   P(t) = sum_i w_i B_i(t) P_i / sum_i w_i B_i(t),  t in [0, 1],
// with the cubic Bernstein polynomials B_i, control points P_0..P_3 and
// weights w_0..w_3 > 0. All weights equal give the polynomial cubic; scaling
// every weight by the same factor leaves the curve unchanged. The curve is an
// open contour from P_0 (t = 0) to P_3 (t = 1) and lies in the convex hull of
// its control points. Affine maps move the control points and keep the
// weights: the image is exact.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

class vcBezierCurve : public vcShapeBase<vcBezierCurve> {
public:
  using Points = std::array<vcVector<2>, 4>;
  using Weights = std::array<double, 4>;

  // The curve whose four control points are (0, 0), weights 1: a point.
  vcBezierCurve();
  // p0..p3: control points, client coordinates; w0..w3: weights, finite and
  // > 0. Throws vcShapesError::BadCoef for a non-finite point or a weight
  // that is not a finite positive number.
  vcBezierCurve(const vcVector<2>& p0, const vcVector<2>& p1, const vcVector<2>& p2, const vcVector<2>& p3,
                double w0 = 1.0, double w1 = 1.0, double w2 = 1.0, double w3 = 1.0);
  explicit vcBezierCurve(const Points& points, const Weights& weights = {1.0, 1.0, 1.0, 1.0});

  // Control point and weight i (0..3); another index throws vcBadArgument.
  const vcVector<2>& controlPoint(int i) const;
  double weight(int i) const;
  const Points& controlPoints() const noexcept { return p_; }
  const Weights& weights() const noexcept { return w_; }
  // True when every weight equals w0 (a polynomial cubic).
  bool isPolynomial() const noexcept;

  // The point at parameter t in [0, 1]; exactly P_0 at 0 and P_3 at 1.
  // Throws vcBadArgument for t outside [0, 1].
  vcVector<2> point(double t) const;
  // dP/dt at t in [0, 1], client units per unit of t (zero at a cusp).
  vcVector<2> derivative(double t) const;
  // The parameter of the curve point nearest p (the smallest such t on a tie).
  double nearestParam(const vcVector<2>& p) const;
  // The curve cut at t in [0, 1]: the piece over [0, t] and the piece over
  // [t, 1], each reparameterised to [0, 1]. Both are exact.
  std::pair<vcBezierCurve, vcBezierCurve> split(double t) const;
  // Arc length, by adaptive Gauss-Legendre quadrature (relative error ~1e-12).
  double length() const;

  vcBezierCurve map(const vcXform<2>& x) const;

  // Always a vcBezierCurve: the affine image is exact.
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // Tight: the curve's own extremes (roots of dx/dt and dy/dt), not its hull;
  // interior extremes are widened by a few units in the last place so that
  // every computed curve point lies inside.
  vcRect boundingBox() const override;
  // Exact to rounding: every stationary point of the squared distance (the
  // roots in [0, 1] of a degree-7 polynomial) and both ends are compared.
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isOpenContour() const override { return true; }
  // False when all control points coincide (the curve is a point).
  bool hasTangent() const override;
  vcVector<2> startPoint() const override { return p_[0]; }
  vcVector<2> endPoint() const override { return p_[3]; }
  double perimeter() const override { return length(); }
  // Unit tangent, in the direction of increasing t, at the curve point nearest
  // p; at a cusp the one-sided limit toward increasing t. Throws
  // vcShapesError::NoTangent when the curve is a point.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // Adaptive subdivision (see sampleChain).
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The same curve run from P_3 to P_0 (control points and weights reversed).
  vcShapeHandle reverse() const override;

  // Samples consecutive curves, each starting where the one before ends, as
  // one contour, appending to result. Each curve is cut in halves (in t) until
  // both inner control points lie within params.tolerance() of the chord
  // between its ends, so every chord stays within the tolerance of the curve
  // and the curve within the tolerance of its chord, and until every chord is
  // at most params.spacing() long. Too few points: every piece is cut evenly
  // in t and checked again. More than params.maxPoints() (or, without a limit,
  // 2^20): maxPoints() points spaced evenly along the curve's length, no
  // corner doubled. A point where two curves meet comes twice under
  // duplicateCorners; the last point is dropped unless includeEnd. Cutting
  // stops at 2^-40 of a curve's parameter range. Nothing is appended for an
  // empty chain.
  static void sampleChain(const std::vector<vcBezierCurve>& curves, const vcSampleParams& params,
                          std::vector<vcVector<2>>& result);

  // Same control points and weights, exactly.
  bool operator==(const vcBezierCurve& o) const { return p_ == o.p_ && w_ == o.w_; }
  bool operator!=(const vcBezierCurve& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcBezierCurve>;
  // Version byte 0, the vcShape part, the four control points, the four weights.
  void archiveFields_(vcArchive& ar);

  Points p_;
  Weights w_{1.0, 1.0, 1.0, 1.0};
};
extern template class vcShapeBase<vcBezierCurve>;
