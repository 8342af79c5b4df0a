#include <vc/core/ellipsearc.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/test_shapes.h"

namespace {
using V = vcVector<2>;

vcEllipseArc randomArc(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double a = 1.0 + 10.0 * std::fabs(u(rng));
  const double b = a * (rng() % 5 == 0 ? 1e-3 : 0.1 + std::fabs(u(rng)));
  const vcEllipse e(V(20.0 * u(rng), 20.0 * u(rng)), V(a, b), vcRadian(4.0 * u(rng)), rng() % 2 == 0);
  return vcEllipseArc(e, vcRadian(4.0 * u(rng)), vcRadian(6.0 * u(rng)));
}

double chordLength(const std::vector<V>& pts) {
  double sum = 0.0;
  for (std::size_t k = 1; k < pts.size(); ++k) sum += (pts[k] - pts[k - 1]).len();
  return sum;
}
}  // namespace

// Under any affine map the ends, the middle and the direction of travel
// follow; the reverse swaps the ends and the tangent.
TEST(EllipseArc, MapCarriesEndsTangentsAndDirectionAndReverseTurnsThem) {
  std::mt19937 rng(31);
  for (int i = 0; i < 80; ++i) {
    const vcEllipseArc arc = randomArc(rng);
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipseArc m = arc.map(x);
    const double tol = 1e-9 * (1.0 + m.ellipse().radii().x() + m.ellipse().center().len());
    EXPECT_EQ(m.span(), arc.span());
    EXPECT_LT((m.startPoint() - x.mapPoint(arc.startPoint())).len(), tol);
    EXPECT_LT((m.endPoint() - x.mapPoint(arc.endPoint())).len(), tol);
    const V mid = arc.pointAt(arc.start() + arc.span() * 0.5);
    EXPECT_LT((m.pointAt(m.start() + m.span() * 0.5) - x.mapPoint(mid)).len(), tol);
    const V dir = x.mapVector(arc.tangentAt(mid));
    if (dir.len() > 1e-3 && m.ellipse().radii().y() > 1e-2) {
      EXPECT_GT(dir.unit().dot(m.tangentAt(x.mapPoint(mid))), 0.999);
    }
    const vcShapeHandle r = arc.reverse();
    EXPECT_LT((r->startPoint() - arc.endPoint()).len(), 1e-10);
    EXPECT_LT((r->tangentAt(mid) + arc.tangentAt(mid)).len(), 1e-9);
  }
}

// The distance off the arc is the true minimum; the fine sampling's length
// is the perimeter, which no coarser sampling exceeds.
TEST(EllipseArc, DistanceAndLengthAgreeWithDenseSamples) {
  std::mt19937 rng(32);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 30; ++i) {
    const vcEllipseArc arc = randomArc(rng).map(vc_test::randomAffine(rng));
    const double r = arc.ellipse().radii().x();
    const V p = arc.ellipse().center() + V(u(rng), u(rng)) * (1.5 * r);
    double slow = INFINITY;
    for (int k = 0; k <= 100000; ++k) slow = std::min(slow, (arc.pointAt(arc.start() + arc.span() * (k / 1e5)) - p).len());
    EXPECT_NEAR(arc.distToPoint(p), slow, 1e-6 * r);
    std::vector<V> coarse, fine;
    arc.sample(vcShape::vcSampleParams(1e-3 * (1.0 + r)), coarse);
    arc.sample(vcShape::vcSampleParams(1e-9 * (1.0 + r)), fine);
    EXPECT_LE(chordLength(coarse), arc.perimeter() * (1.0 + 1e-12));
    EXPECT_NEAR(chordLength(fine), arc.perimeter(), 1e-6 * arc.perimeter());
  }
}

TEST(EllipseArc2, PhaseAbsorbsMapsSoStartAndSpanStay) {
  std::mt19937 rng(36);
  for (int i = 0; i < 50; ++i) {
    const vcEllipseArc2 arc(V(5, 2), vcRadian(0.4), V(1, 1), i % 2 == 0, vcRadian(0.3 * i), vcRadian(1.0),
                            vcRadian(i % 3 == 0 ? -2.0 : 2.5));
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipseArc2 m = arc.map(vc2XformLinear(x));
    EXPECT_EQ(m.start(), arc.start());
    EXPECT_EQ(m.span(), arc.span());
    EXPECT_EQ(m.handedness(), arc.handedness() == (x.determinant() > 0.0));
    for (double t = 0.0; t < 6.0; t += 0.7) {
      const V want = x.mapPoint(arc.pointAt(vcRadian(t)));
      EXPECT_LT((m.pointAt(vcRadian(t)) - want).len(), 1e-9 * 40);
      EXPECT_LT((m.ellFromUnitCirc().mapPoint(V(std::cos(t), std::sin(t))) - want).len(), 1e-9 * 40);
    }
    // Both arc forms describe the same curve.
    const vcEllipseArc plain = m.ellipseArc();
    EXPECT_LT((plain.startPoint() - m.startPoint()).len(), 1e-9 * 40);
    EXPECT_LT((plain.endPoint() - m.endPoint()).len(), 1e-9 * 40);
    EXPECT_LT((vcEllipseArc2(plain).pointAt(vcRadian(2.0)) - plain.pointAt(vcRadian(2.0))).len(), 1e-12 * 40);
  }
  EXPECT_THROW(vcEllipseArc2(V(-1, 1), vcRadian(0), V(), true, vcRadian(0), vcRadian(0), vcRadian(1)),
               vcShapesError::BadRadius);
}
