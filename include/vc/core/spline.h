// Piecewise cubic splines: vcCubicSpline, the common base that keeps a spline
// as a chain of polynomial vcBezierCurve pieces, and its three kinds, which
// differ in the data that defines the pieces:
//   vcDeBoorSpline  — uniform cubic B-spline of control points;
//   vcInterpSpline  — interpolating cubic through given points;
//   vcHermiteSpline — cubic through given points with given tangents.
//
// Coordinates are client coordinates (see <vc/core/shape.h>). Every kind is
// built on a uniform parameter: piece i runs over one unit of it. Each piece
// is therefore an affine combination of the defining data, so an affine map of
// the data maps the curve exactly, and map() returns the same kind of spline.
// An open spline is an open contour from its first piece's start to its last
// piece's end; a closed one is a closed contour. A default-constructed spline
// has no data and no pieces: it isEmpty(), its boundingBox(), distanceToPoint()
// and startPoint() throw vcShapesError::DegenerateShape and sampling it
// appends nothing.
#pragma once

#include <utility>
#include <vector>

#include <vc/core/bezier.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

class vcCubicSpline : public vcShape {
public:
  long numBezierCurves() const noexcept { return static_cast<long>(pieces_.size()); }
  // Piece i (0 .. numBezierCurves() - 1); another index throws vcBadArgument.
  const vcBezierCurve& bezierCurve(long i) const;
  const std::vector<vcBezierCurve>& bezierCurves() const noexcept { return pieces_; }
  bool isClosed() const noexcept { return closed_; }
  // Arc length, client units: the sum of the pieces' lengths.
  double length() const;

  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  bool isOpenContour() const override { return !closed_ && !pieces_.empty(); }
  bool isClosedContour() const override { return closed_ && !pieces_.empty(); }
  bool isEmpty() const override { return pieces_.empty(); }
  bool hasTangent() const override;
  vcVector<2> startPoint() const override;
  vcVector<2> endPoint() const override;
  double perimeter() const override { return length(); }
  // The tangent of the piece nearest p (see vcBezierCurve::tangentAt).
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The pieces in order through vcBezierCurve::sampleChain; duplicateCorners
  // doubles the points where pieces meet.
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;
  // The Bézier pieces, in order.
  std::vector<vcShapeHandle> decompose() const override;

protected:
  vcCubicSpline() = default;
  vcCubicSpline(std::vector<vcBezierCurve> pieces, bool closed) : pieces_(std::move(pieces)), closed_(closed) {}
  bool samePieces(const vcCubicSpline& o) const { return closed_ == o.closed_ && pieces_ == o.pieces_; }

private:
  std::vector<vcBezierCurve> pieces_;
  bool closed_ = false;
};

// The uniform cubic B-spline of control points c_0 .. c_{n-1}.
// Open: clamped knots (0,0,0,0,1,2,...,n-4,n-3,n-3,n-3,n-3), so the curve
// starts at c_0 tangent to c_0 c_1, ends at c_{n-1} tangent to c_{n-2} c_{n-1},
// has n - 3 pieces and is C2 where they meet; n >= 4 (n = 4 is the Bézier
// curve of the four points). Closed: periodic, n pieces, C2 everywhere; piece
// i is shaped by c_{i-1} .. c_{i+2} (indices modulo n), so the curve starts
// near c_0, at (c_{n-1} + 4 c_0 + c_1) / 6; n >= 3.
class vcDeBoorSpline : public vcShapeBase<vcDeBoorSpline, vcCubicSpline> {
public:
  vcDeBoorSpline() = default;
  // Throws vcShapesError::BadCoef for too few points or a non-finite one.
  explicit vcDeBoorSpline(const std::vector<vcVector<2>>& controlPoints, bool closed = false);

  const std::vector<vcVector<2>>& controlPoints() const noexcept { return ctrl_; }

  vcDeBoorSpline map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // The control points reversed (a closed spline keeps c_0 first).
  vcShapeHandle reverse() const override;

  bool operator==(const vcDeBoorSpline& o) const { return ctrl_ == o.ctrl_ && isClosed() == o.isClosed(); }
  bool operator!=(const vcDeBoorSpline& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcDeBoorSpline, vcCubicSpline>;
  // Version byte 0, the vcShape part, the closed flag, the control points
  // (a 32-bit count, then each point).
  void archiveFields_(vcArchive& ar);

  std::vector<vcVector<2>> ctrl_;
};
extern template class vcShapeBase<vcDeBoorSpline, vcCubicSpline>;

// The cubic spline through points P_0 .. P_{n-1}, reached at parameters
// 0 .. n-1, C2 everywhere. Open: natural (zero second derivative at both
// ends), n >= 2 (two points give the straight segment). Closed: periodic,
// with a last piece from P_{n-1} back to P_0, n >= 3.
class vcInterpSpline : public vcShapeBase<vcInterpSpline, vcCubicSpline> {
public:
  vcInterpSpline() = default;
  // Throws vcShapesError::BadCoef for too few points or a non-finite one.
  explicit vcInterpSpline(const std::vector<vcVector<2>>& points, bool closed = false);

  const std::vector<vcVector<2>>& points() const noexcept { return pts_; }

  vcInterpSpline map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // The points reversed (a closed spline keeps P_0 first).
  vcShapeHandle reverse() const override;

  bool operator==(const vcInterpSpline& o) const { return pts_ == o.pts_ && isClosed() == o.isClosed(); }
  bool operator!=(const vcInterpSpline& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcInterpSpline, vcCubicSpline>;
  // Version byte 0, the vcShape part, the closed flag, the points.
  void archiveFields_(vcArchive& ar);

  std::vector<vcVector<2>> pts_;
};
extern template class vcShapeBase<vcInterpSpline, vcCubicSpline>;

// The cubic through points P_0 .. P_{n-1} with derivatives T_0 .. T_{n-1}:
// piece i has the Bézier control points P_i, P_i + T_i / 3, P_{i+1} - T_{i+1} / 3,
// P_{i+1}. A tangent is in client units per unit of the parameter (each piece
// spans one unit), so its length sets how far the curve follows it. Open:
// n - 1 pieces, n >= 2; closed: a last piece from P_{n-1} back to P_0, n >= 2.
class vcHermiteSpline : public vcShapeBase<vcHermiteSpline, vcCubicSpline> {
public:
  vcHermiteSpline() = default;
  // Throws vcShapesError::BadCoef for too few points, a tangent count that
  // differs from the point count, or a non-finite value.
  vcHermiteSpline(const std::vector<vcVector<2>>& points, const std::vector<vcVector<2>>& tangents,
                  bool closed = false);

  const std::vector<vcVector<2>>& points() const noexcept { return pts_; }
  const std::vector<vcVector<2>>& tangents() const noexcept { return tans_; }

  // Points mapped as points, tangents by the matrix alone.
  vcHermiteSpline map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // The points reversed and the tangents reversed and negated (a closed
  // spline keeps P_0 first).
  vcShapeHandle reverse() const override;

  bool operator==(const vcHermiteSpline& o) const {
    return pts_ == o.pts_ && tans_ == o.tans_ && isClosed() == o.isClosed();
  }
  bool operator!=(const vcHermiteSpline& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcHermiteSpline, vcCubicSpline>;
  // Version byte 0, the vcShape part, the closed flag, the points, the
  // tangents (each a 32-bit count, then the vectors).
  void archiveFields_(vcArchive& ar);

  std::vector<vcVector<2>> pts_;
  std::vector<vcVector<2>> tans_;
};
extern template class vcShapeBase<vcHermiteSpline, vcCubicSpline>;
