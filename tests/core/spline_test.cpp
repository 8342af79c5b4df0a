#include <vc/core/spline.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/rect.h>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
using Pts = std::vector<V>;

Pts randomPoints(std::mt19937& g, std::size_t n) {
  std::uniform_real_distribution<double> u(-50.0, 50.0);
  Pts p;
  for (std::size_t i = 0; i < n; ++i) p.emplace_back(u(g), u(g));
  return p;
}

// Cox-de Boor evaluation of the cubic B-spline (knots, ctrl) at u, the reference.
V deBoorReference(const std::vector<double>& k, const Pts& c, double u) {
  std::size_t span = 3;
  while (span + 1 < c.size() && k[span + 1] <= u) ++span;
  Pts d(c.begin() + static_cast<std::ptrdiff_t>(span) - 3, c.begin() + static_cast<std::ptrdiff_t>(span) + 1);
  for (std::size_t r = 1; r <= 3; ++r)
    for (std::size_t j = 3; j >= r; --j) {
      const std::size_t i = span - 3 + j;
      const double a = (u - k[i]) / (k[i + 4 - r] - k[i]);
      d[j] = d[j - 1] * (1.0 - a) + d[j] * a;
    }
  return d[3];
}

// First and second derivatives of a polynomial Bézier piece at its start or end.
V d1(const vcBezierCurve& b, bool end) {
  return end ? (b.controlPoint(3) - b.controlPoint(2)) * 3.0 : (b.controlPoint(1) - b.controlPoint(0)) * 3.0;
}
V d2(const vcBezierCurve& b, bool end) {
  return end ? (b.controlPoint(3) - b.controlPoint(2) * 2.0 + b.controlPoint(1)) * 6.0
             : (b.controlPoint(2) - b.controlPoint(1) * 2.0 + b.controlPoint(0)) * 6.0;
}

// Pieces meet with equal position, first and (when c2) second derivative, around the loop when closed.
void expectSmoothJoints(const vcCubicSpline& s, bool c2) {
  const long n = s.numBezierCurves();
  for (long i = 0; i + (s.isClosed() ? 0 : 1) < n; ++i) {
    const vcBezierCurve &a = s.bezierCurve(i), &b = s.bezierCurve((i + 1) % n);
    EXPECT_NEAR(a.endPoint().distance(b.startPoint()), 0.0, 1e-9) << "joint " << i;
    EXPECT_NEAR(d1(a, true).distance(d1(b, false)), 0.0, 1e-8) << "joint " << i;
    if (c2) {
      EXPECT_NEAR(d2(a, true).distance(d2(b, false)), 0.0, 1e-7) << "joint " << i;
    }
  }
}

}  // namespace

TEST(CubicSpline, OpenDeBoorSplineMatchesTheClampedBSplineDefinition) {
  std::mt19937 g(41);
  for (std::size_t n = 4; n < 12; ++n) {
    const Pts c = randomPoints(g, n);
    const vcDeBoorSpline s(c);
    ASSERT_EQ(s.numBezierCurves(), static_cast<long>(n - 3));
    std::vector<double> knots(4, 0.0);
    for (std::size_t i = 1; i < n - 3; ++i) knots.push_back(static_cast<double>(i));
    knots.insert(knots.end(), 4, static_cast<double>(n - 3));
    for (long i = 0; i < s.numBezierCurves(); ++i)
      for (double t : {0.0, 0.3, 0.7})
        EXPECT_NEAR(s.bezierCurve(i).point(t).distance(deBoorReference(knots, c, static_cast<double>(i) + t)), 0.0, 1e-9);
    expectSmoothJoints(s, true);
  }
}

TEST(CubicSpline, ClosedSplinesAreC2AllAroundAndInterpolantsHitTheirPoints) {
  std::mt19937 g(8);
  for (int i = 0; i < 10; ++i) {
    const Pts p = randomPoints(g, 3 + g() % 7);
    const vcDeBoorSpline db(p, true);
    EXPECT_EQ(db.numBezierCurves(), static_cast<long>(p.size()));
    EXPECT_NEAR(db.bezierCurve(0).startPoint().distance((p.back() + p[0] * 4.0 + p[1]) / 6.0), 0.0, 1e-12);
    expectSmoothJoints(db, true);
    for (bool closed : {false, true}) {
      const vcInterpSpline in(p, closed);
      ASSERT_EQ(in.numBezierCurves(), static_cast<long>(closed ? p.size() : p.size() - 1));
      for (long k = 0; k < in.numBezierCurves(); ++k) EXPECT_EQ(in.bezierCurve(k).startPoint(), p[k]);
      expectSmoothJoints(in, true);
      if (!closed) {
        // Natural ends: no curvature.
        EXPECT_NEAR(d2(in.bezierCurves().front(), false).len(), 0.0, 1e-9);
        EXPECT_NEAR(d2(in.bezierCurves().back(), true).len(), 0.0, 1e-9);
      }
    }
    const Pts t = randomPoints(g, p.size());
    const vcHermiteSpline h(p, t, true);
    for (long k = 0; k < h.numBezierCurves(); ++k)
      EXPECT_NEAR(d1(h.bezierCurve(k), false).distance(t[static_cast<std::size_t>(k)]), 0.0, 1e-12);
    expectSmoothJoints(h, false);
  }
}

// Over splines of every kind: a map keeps the kind and the closure (the
// mapped points are the shape contract's); the reverse traces the same
// curve back; joins are duplicated when asked.
TEST(CubicSpline, MapReverseAndDuplicatedJoinsFollowEveryPiece) {
  std::mt19937 g(12);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (int i = 0; i < 24; ++i) {
    const bool closed = i % 2;
    const std::size_t n = 4 + g() % 6;
    std::unique_ptr<vcCubicSpline> s;
    if (i % 3 == 0) s = std::make_unique<vcDeBoorSpline>(randomPoints(g, n), closed);
    if (i % 3 == 1) s = std::make_unique<vcInterpSpline>(randomPoints(g, n), closed);
    if (i % 3 == 2) s = std::make_unique<vcHermiteSpline>(randomPoints(g, n), randomPoints(g, n), closed);
    const vcXform<2> x(vcMatrix<2>(u(g), u(g), u(g), u(g)), V(u(g) * 10, u(g) * 10));
    const vcShapeHandle m = s->mapShape(x), r = s->reverse();
    ASSERT_EQ(typeid(*m), typeid(*s));
    ASSERT_EQ(typeid(*r), typeid(*s));
    const auto& rs = dynamic_cast<const vcCubicSpline&>(*r);
    EXPECT_EQ(dynamic_cast<const vcCubicSpline&>(*m).isClosed(), s->isClosed());
    Pts back, pts, dup;
    rs.sample(vcShape::vcSampleParams(0.01), back);
    for (const V& q : back) EXPECT_LE(s->distanceToPoint(q), 1e-8);
    if (!closed) {
      EXPECT_NEAR(back.front().distance(s->endPoint()), 0.0, 1e-9);
    }
    EXPECT_TRUE(*rs.reverse() == *s);
    s->sample(vcShape::vcSampleParams(0.01), pts);
    s->sample(vcShape::vcSampleParams(0.01, 0.0, 2, true), dup);
    EXPECT_EQ(dup.size(), pts.size() + static_cast<std::size_t>(s->numBezierCurves() - 1));
  }
}

TEST(CubicSpline, BadCoefficientsAndEmptySplines) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Pts three{{0, 0}, {1, 1}, {2, 0}};
  EXPECT_THROW(vcDeBoorSpline{three}, vcShapesError::BadCoef);
  EXPECT_NO_THROW(vcDeBoorSpline(three, true));
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}, {1, 0}}, true), vcShapesError::BadCoef);
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}, {nan, 0}, {1, 0}}), vcShapesError::BadCoef);
  EXPECT_THROW(vcHermiteSpline(three, Pts{{1, 0}}), vcShapesError::BadCoef);
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}, {1e308, 0}, {-1e308, 0}}), vcShapesError::BadCoef);  // overflows
  EXPECT_THROW(vcInterpSpline(three).bezierCurve(2), vcBadArgument);
  EXPECT_THROW(vcInterpSpline(three, true).startPoint(), vcShapesError::NotOpenContour);

  const vcHermiteSpline e;
  EXPECT_THROW(e.boundingBox(), vcShapesError::DegenerateShape);
  Pts pts;
  e.sample(vcShape::vcSampleParams(0.1), pts);
  EXPECT_TRUE(pts.empty());
  EXPECT_EQ(vc_test::load(vc_test::store(e), vcHermiteSpline(Pts{{0, 0}, {1, 0}}, Pts{{1, 0}, {1, 0}})), e);
}
