// The ellipse kernels against slow references: dense sampling for nearest
// points and boxes, numeric integration for lengths, matrix products for
// decompositions.
#include "../../core/ellipsemath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace el = vc_ellipse;

namespace {

el::Geom randomGeom(std::mt19937& rng, bool allowThin = true) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  el::Geom g;
  g.x = 50.0 * u(rng);
  g.y = 50.0 * u(rng);
  g.a = 1.0 + 20.0 * std::fabs(u(rng));
  g.b = g.a * (allowThin && rng() % 4 == 0 ? 1e-4 : 0.05 + std::fabs(u(rng)) * 1.5);
  g.rotation = 4.0 * u(rng);
  g.leftHanded = rng() % 2 == 0;
  return g;
}

// The smallest distance from p to the arc, by dense sampling and local refinement.
double slowArcDistance(const el::Geom& g, double start, double span, const vcVector<2>& p) {
  const int n = 20000;
  double best = INFINITY, bestT = start;
  for (int i = 0; i <= n; ++i) {
    const double t = start + span * i / n, d = (el::point(g, t) - p).len();
    if (d < best) best = d, bestT = t;
  }
  double h = std::fabs(span) / n;
  for (int k = 0; k < 60; ++k, h *= 0.5)
    for (double t : {bestT - h, bestT + h}) {
      const double d = (el::point(g, t) - p).len();
      if (el::inArc(t, start, span) && d < best) best = d, bestT = t;
    }
  return best;
}

}  // namespace

// Whole contours (every third case) and arcs, thin and round, near and far.
TEST(EllipseMath, NearestPointIsTheTrueMinimumOnContoursAndArcs) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 200; ++i) {
    const el::Geom g = randomGeom(rng);
    const vcVector<2> p(g.x + 1.5 * g.a * u(rng), g.y + 1.5 * g.a * u(rng));
    if (i % 3 == 0) {
      EXPECT_NEAR(el::contourDistance(g, p), slowArcDistance(g, 0.0, el::kTwoPi, p), 1e-9 * g.a) << "case " << i;
      continue;
    }
    const double start = 4.0 * u(rng), span = 6.0 * u(rng);
    const double t = el::nearestParamOnArc(g, start, span, p);
    EXPECT_TRUE(el::inArc(t, start, span));
    EXPECT_NEAR((el::point(g, t) - p).len(), slowArcDistance(g, start, span, p), 1e-9 * g.a) << "case " << i;
  }
}

TEST(EllipseMath, UnitMapDecompositionRebuildsTheMatrixWithItsHandedness) {
  std::mt19937 rng(13);
  std::uniform_real_distribution<double> u(-3.0, 3.0);
  for (int i = 0; i < 200; ++i) {
    vcMatrix<2> m(u(rng), u(rng), u(rng), u(rng));
    if (i % 10 == 0) m = vcMatrix<2>(m.element(0, 0), 2.0 * m.element(0, 0), m.element(1, 0), 2.0 * m.element(1, 0));
    double phase = 0.0;
    const el::Geom g = el::fromUnitMap(vcXform<2>(m, vcVector<2>(1, 2)), true, phase);
    const vcMatrix<2> back = el::unitMatrix(g) * vcMatrix<2>::rotation(vcRadian(phase));
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 2; ++c) EXPECT_NEAR(back.element(r, c), m.element(r, c), 1e-12 * 6.0);
    EXPECT_GE(g.a, g.b);
    if (m.determinant() != 0.0) {
      EXPECT_EQ(g.leftHanded, m.determinant() < 0.0);
    }
  }
}

TEST(EllipseMath, LengthsAgreeWithNumericIntegration) {
  std::mt19937 rng(14);
  for (int i = 0; i < 12; ++i) {
    const el::Geom g = randomGeom(rng);
    const int n = 200000;
    double sum = 0.0;
    for (int k = 0; k < n; ++k) sum += (el::point(g, el::kTwoPi * (k + 1) / n) - el::point(g, el::kTwoPi * k / n)).len();
    EXPECT_NEAR(el::perimeter(g), sum, 1e-7 * sum);
    // Arc lengths add up, whatever the direction and the number of turns.
    EXPECT_NEAR(el::arcLength(g, 0.3, 2.0) + el::arcLength(g, 2.0, 9.0), el::arcLength(g, 9.0, 0.3), 1e-10 * sum);
    EXPECT_NEAR(el::arcLength(g, -1.0, -1.0 + 2.0 * el::kTwoPi), 2.0 * el::perimeter(g), 1e-10 * sum);
  }
  el::Geom seg;
  seg.a = 3.0;
  EXPECT_DOUBLE_EQ(el::perimeter(seg), 12.0);
}

TEST(EllipseMath, RayCrossingParityMatchesInsideTestAndContainmentHasATolerance) {
  std::mt19937 rng(15);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 40; ++i) {
    const el::Geom g = randomGeom(rng, false);
    for (int k = 0; k < 50; ++k) {
      const vcVector<2> p(g.x + 1.3 * g.a * u(rng), g.y + 1.3 * g.a * u(rng));
      EXPECT_EQ(el::rayCrossings(g, u(rng), el::kTwoPi, p) % 2 == 1, el::insideOrOn(g, p));
    }
    el::Geom inner = g;
    inner.a *= 0.5;
    inner.b *= 0.5;
    EXPECT_TRUE(el::contains(g, inner) && el::contains(g, g));
    inner.x += 0.6 * g.a * std::cos(g.rotation);
    inner.y += 0.6 * g.a * std::sin(g.rotation);
    EXPECT_FALSE(el::contains(g, inner));
  }
}

TEST(EllipseMath, ArcBoxIsTightAndHoldsTheArc) {
  std::mt19937 rng(16);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 100; ++i) {
    const el::Geom g = randomGeom(rng);
    const double start = 4.0 * u(rng), span = 7.0 * u(rng);
    const vcRect box = el::arcBox(g, start, span);
    vcRect dense;
    for (int k = 0; k <= 20000; ++k) dense.enclose(el::point(g, start + span * k / 20000));
    const double tol = 1e-9 * g.a, tight = 1e-4 * g.a;
    EXPECT_NEAR(box.x(), dense.x(), tight);
    EXPECT_NEAR(box.y(), dense.y(), tight);
    EXPECT_NEAR(box.corner().x(), dense.corner().x(), tight);
    EXPECT_NEAR(box.corner().y(), dense.corner().y(), tight);
    EXPECT_LE(box.x(), dense.x() + tol);
    EXPECT_LE(box.y(), dense.y() + tol);
    EXPECT_GE(box.corner().x(), dense.corner().x() - tol);
    EXPECT_GE(box.corner().y(), dense.corner().y() - tol);
  }
}
