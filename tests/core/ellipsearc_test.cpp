#include <vc/core/ellipsearc.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>


#include "support/test_shapes.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

vcEllipseArc randomArc(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double a = 1.0 + 10.0 * std::fabs(u(rng));
  const double b = a * (rng() % 5 == 0 ? 1e-3 : 0.1 + std::fabs(u(rng)));
  const vcEllipse e(vcVector<2>(20.0 * u(rng), 20.0 * u(rng)), vcVector<2>(a, b), vcRadian(4.0 * u(rng)),
                    rng() % 2 == 0);
  return vcEllipseArc(e, vcRadian(4.0 * u(rng)), vcRadian(6.0 * u(rng)));
}

double slowDistance(const vcEllipseArc& arc, const vcVector<2>& p) {
  double best = INFINITY;
  for (int k = 0; k <= 100000; ++k)
    best = std::min(best, (arc.pointAt(arc.start() + arc.span() * (k / 100000.0)) - p).len());
  return best;
}

}  // namespace

TEST(EllipseArc, MapCarriesEndsTangentsAndDirectionUnderAnyAffineMap) {
  std::mt19937 rng(31);
  for (int i = 0; i < 80; ++i) {
    const vcEllipseArc arc = randomArc(rng);
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipseArc m = arc.map(x);
    const double tol = 1e-9 * (1.0 + m.ellipse().radii().x() + m.ellipse().center().len());
    EXPECT_EQ(m.span(), arc.span());
    EXPECT_LT((m.startPoint() - x.mapPoint(arc.startPoint())).len(), tol);
    EXPECT_LT((m.endPoint() - x.mapPoint(arc.endPoint())).len(), tol);
    const vcVector<2> mid = arc.pointAt(arc.start() + arc.span() * 0.5);
    EXPECT_LT((m.pointAt(m.start() + m.span() * 0.5) - x.mapPoint(mid)).len(), tol);
    const vcVector<2> dir = x.mapVector(arc.tangentAt(mid));
    if (dir.len() > 1e-3 && m.ellipse().radii().y() > 1e-2) {
      EXPECT_GT(dir.unit().dot(m.tangentAt(x.mapPoint(mid))), 0.999);
    }
  }
}

TEST(EllipseArc, DistanceIsExactOnAndOffTheArc) {
  std::mt19937 rng(32);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 30; ++i) {
    const vcEllipseArc arc = randomArc(rng);
    const double r = arc.ellipse().radii().x();
    std::vector<vcVector<2>> pts;
    arc.sample(vcShape::vcSampleParams(0.0, 0.0, 40), pts);
    for (const vcVector<2>& p : pts) EXPECT_LE(arc.distanceToPoint(p), 1e-9 * (r + p.len()));
    const vcVector<2> p = arc.ellipse().center() + vcVector<2>(u(rng), u(rng)) * (1.5 * r);
    EXPECT_NEAR(arc.distToPoint(p), slowDistance(arc, p), 1e-6 * r);
  }
}

TEST(EllipseArc, SamplingBoundsAndLengthAgree) {
  std::mt19937 rng(33);
  for (int i = 0; i < 30; ++i) {
    const vcEllipseArc arc = randomArc(rng).map(vc_test::randomAffine(rng));
    const double tol = 1e-3 * (1.0 + arc.ellipse().radii().x());
    std::vector<vcVector<2>> pts;
    arc.sample(vcShape::vcSampleParams(tol), pts);
    ASSERT_GE(pts.size(), 2u);
    EXPECT_EQ(pts.front(), arc.startPoint());
    EXPECT_EQ(pts.back(), arc.endPoint());
    const vcRect box = arc.boundingBox();
    const double slack = 1e-12 * (1.0 + box.origin().len() + box.size().len());
    double chords = 0.0;
    for (std::size_t k = 0; k < pts.size(); ++k) {
      EXPECT_TRUE(vcRect(box.origin() - vcVector<2>(slack, slack), box.size() + vcVector<2>(2 * slack, 2 * slack))
                      .contains(pts[k]));
      if (k + 1 == pts.size()) break;
      EXPECT_LE(arc.distanceToPoint((pts[k] + pts[k + 1]) * 0.5), tol * (1.0 + 1e-9));
      chords += (pts[k + 1] - pts[k]).len();
    }
    EXPECT_LE(chords, arc.perimeter() * (1.0 + 1e-12));
    std::vector<vcVector<2>> dense;
    arc.sample(vcShape::vcSampleParams(1e-9 * (1.0 + arc.ellipse().radii().x())), dense);
    double fine = 0.0;
    for (std::size_t k = 0; k + 1 < dense.size(); ++k) fine += (dense[k + 1] - dense[k]).len();
    EXPECT_NEAR(fine, arc.perimeter(), 1e-6 * arc.perimeter());
  }
}

TEST(EllipseArc, ReverseSwapsTheEndsAndTheTangent) {
  std::mt19937 rng(34);
  const vcEllipseArc arc = randomArc(rng);
  const vcShapeHandle r = arc.reverse();
  EXPECT_LT((r->startPoint() - arc.endPoint()).len(), 1e-12 * 50);
  EXPECT_LT((r->endPoint() - arc.startPoint()).len(), 1e-12 * 50);
  const vcVector<2> mid = arc.pointAt(arc.start() + arc.span() * 0.5);
  EXPECT_LT((r->tangentAt(mid) + arc.tangentAt(mid)).len(), 1e-9);
}

TEST(EllipseArc2, PhaseAbsorbsMapsSoStartAndSpanStay) {
  std::mt19937 rng(36);
  for (int i = 0; i < 50; ++i) {
    const vcEllipseArc2 arc(vcVector<2>(5, 2), vcRadian(0.4), vcVector<2>(1, 1), i % 2 == 0, vcRadian(0.3 * i),
                            vcRadian(1.0), vcRadian(i % 3 == 0 ? -2.0 : 2.5));
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipseArc2 m = arc.map(vc2XformLinear(x));
    EXPECT_EQ(m.start(), arc.start());
    EXPECT_EQ(m.span(), arc.span());
    EXPECT_EQ(m.handedness(), arc.handedness() == (x.determinant() > 0.0));
    for (double t = 0.0; t < 6.0; t += 0.7) {
      const vcVector<2> want = x.mapPoint(arc.pointAt(vcRadian(t)));
      EXPECT_LT((m.pointAt(vcRadian(t)) - want).len(), 1e-9 * 40);
      EXPECT_LT((m.ellFromUnitCirc().mapPoint(vcVector<2>(std::cos(t), std::sin(t))) - want).len(), 1e-9 * 40);
    }
    // Both arc forms describe the same curve.
    const vcEllipseArc plain = m.ellipseArc();
    EXPECT_LT((plain.startPoint() - m.startPoint()).len(), 1e-9 * 40);
    EXPECT_LT((plain.endPoint() - m.endPoint()).len(), 1e-9 * 40);
    EXPECT_NEAR(plain.perimeter(), m.perimeter(), 1e-9 * m.perimeter());
    const vcEllipseArc2 again(plain);
    EXPECT_LT((again.pointAt(vcRadian(2.0)) - plain.pointAt(vcRadian(2.0))).len(), 1e-12 * 40);
  }
  EXPECT_THROW(
      vcEllipseArc2(vcVector<2>(-1, 1), vcRadian(0), vcVector<2>(), true, vcRadian(0), vcRadian(0), vcRadian(1)),
      vcShapesError::BadRadius);

}
