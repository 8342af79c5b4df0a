#include <vc/core/spline.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/rect.h>

namespace {

using Pts = std::vector<vcVector<2>>;

Pts randomPoints(std::mt19937& g, std::size_t n) {
  std::uniform_real_distribution<double> u(-50.0, 50.0);
  Pts p;
  for (std::size_t i = 0; i < n; ++i) p.emplace_back(u(g), u(g));
  return p;
}

// Cox-de Boor evaluation of the cubic B-spline (knots, ctrl) at u, the reference.
vcVector<2> deBoorReference(const std::vector<double>& k, const Pts& c, double u) {
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

// First and second derivatives of a polynomial Bézier piece at its ends.
vcVector<2> d1(const vcBezierCurve& b, bool end) {
  return end ? (b.controlPoint(3) - b.controlPoint(2)) * 3.0 : (b.controlPoint(1) - b.controlPoint(0)) * 3.0;
}
vcVector<2> d2(const vcBezierCurve& b, bool end) {
  return end ? (b.controlPoint(3) - b.controlPoint(2) * 2.0 + b.controlPoint(1)) * 6.0
             : (b.controlPoint(2) - b.controlPoint(1) * 2.0 + b.controlPoint(0)) * 6.0;
}

// Pieces meet with equal position, first and (when c2) second derivative, around the loop when closed.
void expectSmoothJoints(const vcCubicSpline& s, bool c2) {
  const long n = s.numBezierCurves();
  for (long i = 0; i + (s.isClosed() ? 0 : 1) < n; ++i) {
    const vcBezierCurve& a = s.bezierCurve(i);
    const vcBezierCurve& b = s.bezierCurve((i + 1) % n);
    EXPECT_NEAR(a.endPoint().distance(b.startPoint()), 0.0, 1e-9) << "joint " << i;
    EXPECT_NEAR(d1(a, true).distance(d1(b, false)), 0.0, 1e-8) << "joint " << i;
    if (c2) {
      EXPECT_NEAR(d2(a, true).distance(d2(b, false)), 0.0, 1e-7) << "joint " << i;
    }
  }
}

std::vector<std::unique_ptr<vcCubicSpline>> randomSplines(std::mt19937& g, int count) {
  std::vector<std::unique_ptr<vcCubicSpline>> r;
  for (int i = 0; i < count; ++i) {
    const bool closed = i % 2;
    const std::size_t n = 4 + g() % 6;
    switch (i % 3) {
      case 0: r.push_back(std::make_unique<vcDeBoorSpline>(randomPoints(g, n), closed)); break;
      case 1: r.push_back(std::make_unique<vcInterpSpline>(randomPoints(g, n), closed)); break;
      default: r.push_back(std::make_unique<vcHermiteSpline>(randomPoints(g, n), randomPoints(g, n), closed));
    }
  }
  return r;
}

template <class S>
std::vector<unsigned char> archived(S s) {
  vcBufferArchive out(vcArchive::eStore);
  out || s;
  return out.bytes();
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
      for (double t : {0.0, 0.3, 0.7}) {
        const vcVector<2> ref = deBoorReference(knots, c, static_cast<double>(i) + t);
        EXPECT_NEAR(s.bezierCurve(i).point(t).distance(ref), 0.0, 1e-9);
      }
    EXPECT_EQ(s.startPoint(), c.front());
    EXPECT_NEAR(s.endPoint().distance(c.back()), 0.0, 1e-12);
    expectSmoothJoints(s, true);
  }
  const Pts four{{0, 0}, {1, 2}, {3, 2}, {4, 0}};
  EXPECT_EQ(vcDeBoorSpline(four).bezierCurve(0), vcBezierCurve(four[0], four[1], four[2], four[3]));
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
      for (std::size_t k = 0; k < p.size(); ++k) {
        if (k + 1 < p.size() || closed) {
          EXPECT_EQ(in.bezierCurve(static_cast<long>(k)).startPoint(), p[k]);
        }
      }
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
  const vcInterpSpline line(Pts{{0, 0}, {3, 4}});
  EXPECT_NEAR(line.length(), 5.0, 1e-12);
  EXPECT_NEAR(line.distanceToPoint(vcVector<2>(3, 0)), 2.4, 1e-12);
}

// Over random splines of every kind: a map is exact piece by piece and
// keeps the kind; the reverse traces the same curve back; samples run over
// every piece within the tolerance, joins duplicated when asked.
TEST(CubicSpline, MapReverseAndSamplingFollowEveryPiece) {
  std::mt19937 g(12);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (const auto& s : randomSplines(g, 24)) {
    const vcXform<2> x(vcMatrix<2>(u(g), u(g), u(g), u(g)), vcVector<2>(u(g) * 10, u(g) * 10));
    const vcShapeHandle m = s->mapShape(x), r = s->reverse();
    for (const vcShapeHandle* h : {&m, &r}) {
      ASSERT_EQ(typeid(**h), typeid(*s));
      ASSERT_EQ(dynamic_cast<const vcCubicSpline&>(**h).numBezierCurves(), s->numBezierCurves());
    }
    const auto& ms = dynamic_cast<const vcCubicSpline&>(*m);
    EXPECT_EQ(ms.isClosed(), s->isClosed());
    for (long i = 0; i < s->numBezierCurves(); ++i)
      for (double t : {0.0, 0.4, 1.0})
        EXPECT_NEAR(ms.bezierCurve(i).point(t).distance(x.mapPoint(s->bezierCurve(i).point(t))), 0.0, 1e-9);

    const auto& rs = dynamic_cast<const vcCubicSpline&>(*r);
    if (!s->isClosed()) {
      EXPECT_NEAR(rs.startPoint().distance(s->endPoint()), 0.0, 1e-9);
      EXPECT_NEAR(rs.endPoint().distance(s->startPoint()), 0.0, 1e-9);
    }
    Pts back;
    rs.sample(vcShape::vcSampleParams(0.01), back);
    for (const vcVector<2>& q : back) EXPECT_LE(s->distanceToPoint(q), 1e-8);
    EXPECT_TRUE(*rs.reverse() == *s);

    for (double tol : {0.5, 0.01}) {
      Pts pts, dup;
      s->sample(vcShape::vcSampleParams(tol), pts);
      EXPECT_EQ(pts.front(), s->bezierCurve(0).startPoint());
      EXPECT_EQ(pts.back(), s->bezierCurves().back().endPoint());
      for (std::size_t i = 1; i < pts.size(); ++i)
        ASSERT_LE(s->distanceToPoint((pts[i] + pts[i - 1]) * 0.5), tol * (1 + 1e-9));
      s->sample(vcShape::vcSampleParams(tol, 0.0, 2, true), dup);
      EXPECT_EQ(dup.size(), pts.size() + static_cast<std::size_t>(s->numBezierCurves() - 1));
    }
  }
}

TEST(CubicSpline, BadCoefficientsThrowBadCoef) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Pts three{{0, 0}, {1, 1}, {2, 0}};
  EXPECT_THROW(vcDeBoorSpline{three}, vcShapesError::BadCoef);
  EXPECT_NO_THROW(vcDeBoorSpline(three, true));
  EXPECT_THROW(vcDeBoorSpline(Pts{{0, 0}, {1, 1}}, true), vcShapesError::BadCoef);
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}}), vcShapesError::BadCoef);
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}, {1, 0}}, true), vcShapesError::BadCoef);
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}, {nan, 0}, {1, 0}}), vcShapesError::BadCoef);
  EXPECT_THROW(vcHermiteSpline(three, Pts{{1, 0}}), vcShapesError::BadCoef);
  EXPECT_THROW(vcHermiteSpline(three, Pts{{1, 0}, {0, std::numeric_limits<double>::infinity()}, {1, 0}}),
               vcShapesError::BadCoef);
  EXPECT_THROW(vcInterpSpline(Pts{{0, 0}, {1e308, 0}, {-1e308, 0}}), vcShapesError::BadCoef);
  const vcInterpSpline s(three);
  EXPECT_THROW(s.bezierCurve(2), vcBadArgument);
  EXPECT_THROW(s.bezierCurve(-1), vcBadArgument);
}

TEST(CubicSpline, EmptySplineHasNoGeometryButArchives) {
  const vcHermiteSpline e;
  EXPECT_TRUE(e.isEmpty());
  EXPECT_FALSE(e.isOpenContour());
  EXPECT_THROW(e.boundingBox(), vcShapesError::DegenerateShape);
  EXPECT_THROW(e.distanceToPoint(vcVector<2>()), vcShapesError::DegenerateShape);
  EXPECT_THROW(e.startPoint(), vcShapesError::DegenerateShape);
  Pts pts;
  e.sample(vcShape::vcSampleParams(0.1), pts);
  EXPECT_TRUE(pts.empty());
  vcHermiteSpline back(Pts{{0, 0}, {1, 0}}, Pts{{1, 0}, {1, 0}});
  vcBufferArchive in(archived(e));
  in || back;
  EXPECT_EQ(back, e);
  const vcInterpSpline closed(Pts{{0, 0}, {1, 0}, {0, 1}}, true);
  EXPECT_THROW(closed.startPoint(), vcShapesError::NotOpenContour);
  EXPECT_TRUE(closed.isClosedContour());
}

