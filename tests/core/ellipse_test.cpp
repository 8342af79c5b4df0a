// Ellipses, their arcs, annuli and annulus sections against slow references:
// dense sampling for nearest points and boxes, numeric integration for
// lengths, the polar form of the unit frame for membership.
#include <vc/core/ellipse.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/ellipsearc.h>

#include "support/test_shapes.h"

namespace {
using V = vcVector<2>;
constexpr double kPi = std::numbers::pi, kTwoPi = 2.0 * kPi;

// Rotated, mirrored, round and needle-thin ellipses.
vcEllipse randomEllipse(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double a = 1.0 + 10.0 * std::fabs(u(rng));
  const double b = a * (rng() % 5 == 0 ? 1e-3 : 0.1 + std::fabs(u(rng)));
  return vcEllipse(V(40.0 * u(rng), 40.0 * u(rng)), V(a, b), vcRadian(4.0 * u(rng)), rng() % 2 == 0);
}

vcEllipseArc whole(const vcEllipse& e) { return vcEllipseArc(e, vcRadian(0.0), vcRadian(kTwoPi)); }

// Distance to the contour itself (distanceToPoint of a region is 0 inside).
double contourDistance(const vcEllipse& e, const V& p) { return whole(e).distanceToPoint(p); }

// The smallest distance from p to the arc: dense sampling, then local refinement within the arc.
double slowDistance(const vcEllipseArc& arc, const V& p) {
  const double start = arc.start().toDouble(), span = arc.span().toDouble();
  const auto at = [&](double f) { return (arc.pointAt(vcRadian(start + span * std::clamp(f, 0.0, 1.0))) - p).len(); };
  const int n = 20000;
  double best = INFINITY, bestF = 0.0;
  for (int i = 0; i <= n; ++i)
    if (at(double(i) / n) < best) best = at(double(i) / n), bestF = double(i) / n;
  for (double h = 1.0 / n; h > 1e-18; h *= 0.5)
    for (double f : {bestF - h, bestF + h})
      if (at(f) < best) best = at(f), bestF = std::clamp(f, 0.0, 1.0);
  return best;
}

// Outer ellipse and a scaled copy about its center, so that membership
// follows from the polar form of the outer unit frame.
vcEllipseAnnulusSection randomSection(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const vcEllipse outer = randomEllipse(rng);
  const double k = 0.2 + 0.6 * std::fabs(u(rng));
  const vcEllipse inner(outer.center(), outer.radii() * k, outer.rotation(), outer.isLeftHanded());
  return vcEllipseAnnulusSection(inner, outer, vcRadian(3.0 * u(rng)), vcRadian(6.0 * u(rng)), rng() % 2 == 0);
}

bool referenceWithin(const vcEllipseAnnulusSection& s, const V& p) {
  const V q = s.outerEllipse().unit().invMapPoint(p);
  const double ratio = s.innerEllipse().radii().x() / s.outerEllipse().radii().x();
  if (q.len() > 1.0 || q.len() < ratio) return false;
  const double a = q.angle().toDouble(), start = s.start().toDouble();
  double d = std::fmod(s.span().toDouble() >= 0 ? a - start : start - a, kTwoPi);
  if (d < 0) d += kTwoPi;
  return d <= std::fabs(s.span().toDouble());
}

// Distance to the four boundary pieces.
double boundaryDistance(const vcEllipseAnnulusSection& s, const V& p) {
  auto seg = [&](const V& a, const V& b) {
    const V d = b - a;
    const double t = d.len2() > 0 ? std::clamp((p - a).dot(d) / d.len2(), 0.0, 1.0) : 0.0;
    return (a + d * t - p).len();
  };
  const vcRadian e = s.start() + s.span();
  return std::min({vcEllipseArc(s.outerEllipse(), s.start(), s.span()).distanceToPoint(p),
                   vcEllipseArc(s.innerEllipse(), s.start(), s.span()).distanceToPoint(p),
                   seg(s.pointOnOuter(e), s.pointOnInner(e)), seg(s.pointOnInner(s.start()), s.pointOnOuter(s.start()))});
}
}  // namespace

TEST(Ellipse, ConstructorsRejectBadValuesAndDeriveTheDegenerateFlag) {
  EXPECT_THROW(vcEllipse(V(0, 0), V(-1, 1), vcRadian(0)), vcShapesError::BadRadius);
  EXPECT_THROW(vcEllipse(V(0, 0), V(1, NAN), vcRadian(0)), vcShapesError::BadRadius);
  EXPECT_THROW(vcEllipse(V(INFINITY, 0), V(1, 1), vcRadian(0)), vcShapesError::BadGeom);
  EXPECT_THROW(vcEllipse(V(0, 0), V(1, 1), vcRadian(NAN)), vcShapesError::BadGeom);
  EXPECT_FALSE(vcEllipse(vcEllipse::vcEllipseGeom{.a = 2.0, .b = 1.0, .degenerate = true}).isDegenerate());  // derived
  EXPECT_TRUE(vcEllipse(V(1, 1), V(3, 0), vcRadian(0.5)).isDegenerate());
  EXPECT_THROW(vcEllipse2(V(4, -2), vcRadian(0), V()), vcShapesError::BadRadius);
}

TEST(Ellipse, MapsAndUnitMapsKeepHandednessAndTheDirectionOfTravel) {
  std::mt19937 rng(21);
  for (int i = 0; i < 60; ++i) {
    const vcEllipse e = randomEllipse(rng);
    vcXform<2> x = vc_test::randomAffine(rng);
    if (i % 10 == 0) x.matrix(vcMatrix<2>(1.0, 2.0, 0.5, 1.0));
    const vcEllipse m = e.map(x), fromMap(x);
    EXPECT_EQ(m.isLeftHanded(), e.isLeftHanded() != (x.determinant() < 0.0));
    EXPECT_GE(fromMap.radii().x(), fromMap.radii().y());
    if (x.determinant() != 0.0) {
      EXPECT_EQ(fromMap.isLeftHanded(), x.determinant() < 0.0);
    }
    for (double t = 0.1; t < kTwoPi; t += 0.7) {
      EXPECT_NEAR(contourDistance(fromMap, x.mapPoint(V(std::cos(t), std::sin(t)))), 0.0, 1e-9 * 10.0);
      const V dir = x.mapVector(e.tangentAt(e.pointAt(vcRadian(t))));
      if (dir.len() > 1e-3 && m.radii().y() > 1e-2) {
        EXPECT_GT(dir.dot(m.tangentAt(x.mapPoint(e.pointAt(vcRadian(t))))), 0.0);
      }
    }
    EXPECT_NEAR(contourDistance(m, m.unit().mapPoint(V(0.6, 0.8))), 0.0, 1e-9 * std::max(m.radii().x(), 1.0));
  }
  std::vector<V> a, b;  // the reverse runs back from the same start
  const vcEllipse e = randomEllipse(rng);
  e.sample(vcShape::vcSampleParams(0.0, 0.0, 9), a);
  e.reverse()->sample(vcShape::vcSampleParams(0.0, 0.0, 9), b);
  EXPECT_LT((a[0] - b[0]).len() + (a[1] - b[7]).len(), 1e-7);
  // Even when the image is a circle a vcEllipse2 stays one.
  const vcShapeHandle h = vcEllipse2(V(4, 2), vcRadian(0), V(1, -2)).mapShape(vcXform<2>::scale(0.5, 1));
  EXPECT_NE(vc_test::as<vcEllipse2>(h), nullptr);
}

TEST(Ellipse, DistanceIsTheTrueMinimumOnContoursArcsAndRegions) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 150; ++i) {
    const vcEllipse e = randomEllipse(rng);
    const double r = e.radii().x();
    const V p = e.center() + V(u(rng), u(rng)) * (1.5 * r);
    const vcEllipseArc arc = i % 3 == 0 ? whole(e) : vcEllipseArc(e, vcRadian(4.0 * u(rng)), vcRadian(6.0 * u(rng)));
    const double slow = slowDistance(arc, p);
    EXPECT_NEAR(arc.distanceToPoint(p), slow, 1e-9 * r) << "case " << i;
    if (i % 3 == 0) {
      EXPECT_EQ(e.within(p), e.distanceToPoint(p) == 0.0) << "case " << i;
      EXPECT_NEAR(e.distanceToPoint(p), e.within(p) ? 0.0 : slow, 1e-9 * r) << "case " << i;
    }
  }
}

TEST(EllipseArc, LengthsAndBoxesAgreeWithDenseSamples) {
  std::mt19937 rng(14);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 40; ++i) {
    const vcEllipse e = randomEllipse(rng);
    const vcEllipseArc arc(e, vcRadian(4.0 * u(rng)), vcRadian(7.0 * u(rng)));
    const int n = 100000;
    double length = 0.0;
    vcRect dense;
    V last = arc.startPoint();
    for (int k = 0; k <= n; ++k) {
      const V q = arc.pointAt(arc.start() + arc.span() * (double(k) / n));
      length += (q - last).len();
      dense.enclose(last = q);
    }
    EXPECT_NEAR(arc.perimeter(), length, 1e-6 * length) << i;
    const double more = vcEllipseArc(e, arc.start() + arc.span(), arc.span() * 0.5).perimeter();
    EXPECT_NEAR(vcEllipseArc(e, arc.start(), arc.span() * 1.5).perimeter(), length + more, 1e-6 * (length + more));
    const vcRect box = arc.boundingBox();
    const double tol = 1e-9 * e.radii().x(), tight = 1e-4 * e.radii().x();
    EXPECT_NEAR(box.x(), dense.x(), tight);
    EXPECT_NEAR(box.y(), dense.y(), tight);
    EXPECT_NEAR(box.corner().x(), dense.corner().x(), tight);
    EXPECT_NEAR(box.corner().y(), dense.corner().y(), tight);
    const vcRect grown(box.origin() - V(tol, tol), box.size() + V(2 * tol, 2 * tol));
    EXPECT_TRUE(grown.contains(dense.origin()) && grown.contains(dense.corner()));
  }
}

TEST(EllipseArc, MapCarriesEndsTangentsAndDirectionAndReverseTurnsThem) {
  std::mt19937 rng(31);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 80; ++i) {
    const vcEllipseArc arc(randomEllipse(rng), vcRadian(4.0 * u(rng)), vcRadian(6.0 * u(rng)));
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcEllipseArc m = arc.map(x);
    const double tol = 1e-9 * (1.0 + m.ellipse().radii().x() + m.ellipse().center().len());
    EXPECT_EQ(m.span(), arc.span());
    EXPECT_LT((m.startPoint() - x.mapPoint(arc.startPoint())).len(), tol);
    EXPECT_LT((m.endPoint() - x.mapPoint(arc.endPoint())).len(), tol);
    const V mid = arc.pointAt(arc.start() + arc.span() * 0.5);
    const V dir = x.mapVector(arc.tangentAt(mid));
    if (dir.len() > 1e-3 && m.ellipse().radii().y() > 1e-2) {
      EXPECT_GT(dir.unit().dot(m.tangentAt(x.mapPoint(mid))), 0.999);
    }
    const vcShapeHandle r = arc.reverse();
    EXPECT_LT((r->startPoint() - arc.endPoint()).len(), 1e-9);
    EXPECT_LT((r->tangentAt(mid) + arc.tangentAt(mid)).len(), 1e-9);
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
    EXPECT_LT((m.pointAt(vcRadian(2.0)) - x.mapPoint(arc.pointAt(vcRadian(2.0)))).len(), 1e-9 * 40);
    // Both arc forms describe the same curve.
    const vcEllipseArc plain = m.ellipseArc();
    EXPECT_LT((plain.endPoint() - m.endPoint()).len(), 1e-9 * 40);
    EXPECT_LT((vcEllipseArc2(plain).pointAt(vcRadian(2.0)) - plain.pointAt(vcRadian(2.0))).len(), 1e-12 * 40);
  }
  EXPECT_THROW(vcEllipseArc2(V(-1, 1), vcRadian(0), V(), true, vcRadian(0), vcRadian(0), vcRadian(1)),
               vcShapesError::BadRadius);
}

TEST(EllipseAnnulus, RegionDistanceAndContainmentRule) {
  const vcEllipse outer(V(0, 0), V(10, 5), vcRadian(0.0));
  const vcEllipse inner(V(1, 0), V(4, 2), vcRadian(0.3));
  EXPECT_THROW(vcEllipseAnnulus(outer, inner), vcShapesError::BadGeom);
  const vcEllipseAnnulus ring(inner, outer);
  EXPECT_TRUE(ring.within(inner.pointAt(vcRadian(1.0))));
  EXPECT_FALSE(ring.within(V(1, 0)));
  EXPECT_EQ(ring.distanceToPoint(V(8, 0)), 0.0);
  EXPECT_NEAR(ring.distanceToPoint(V(13, 0)), 3.0, 1e-12);
  EXPECT_NEAR(ring.distanceToPoint(V(1, 0)), contourDistance(inner, V(1, 0)), 1e-12);
  EXPECT_NEAR(ring.area(), kPi * (50.0 - 8.0), 1e-9);
  EXPECT_NE(vc_test::as<vcEllipseAnnulus>(ring.mapShape(vcXform<2>(vcMatrix<2>(1, 2, 0, -1), V(5, 5)))), nullptr);
}

TEST(EllipseAnnulusSection, WithinDistanceAreaAndCornersMatchTheSectorOfTheAnnulus) {
  std::mt19937 rng(41);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 40; ++i) {
    const vcEllipseAnnulusSection s = randomSection(rng);
    const V c = s.outerEllipse().center();
    const double r = s.outerEllipse().radii().x() + s.outerEllipse().radii().y();
    for (int k = 0; k < 60; ++k) {
      const V p = c + V(u(rng), u(rng)) * r;
      if (boundaryDistance(s, p) < 1e-9 * r) continue;
      EXPECT_EQ(s.within(p), referenceWithin(s, p)) << i << " " << p;
      EXPECT_NEAR(s.distanceToPoint(p), s.within(p) ? 0.0 : boundaryDistance(s, p), 1e-9 * r);
    }
    vcShape::vcSampleParams params(1e-6);
    std::vector<V> pts, dup;
    s.sample(params, pts);
    double twice = 0;
    for (std::size_t k = 0; k + 1 < pts.size(); ++k) twice += pts[k].cross(pts[k + 1]);
    EXPECT_NEAR(s.area(), 0.5 * std::fabs(twice), 1e-4 * (1.0 + s.area()));
    EXPECT_EQ(pts.front(), s.pointOnOuter(s.start()));
    params.duplicateCorners(true);
    s.sample(params, dup);
    EXPECT_EQ(dup.size(), pts.size() + 3);
    const vcXform<2> x = vc_test::randomAffine(rng);
    const vcShapeHandle h = s.mapShape(x);
    const auto* m = dynamic_cast<const vcEllipseAnnulusSection*>(h.ptr());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->forward(), s.forward());
    EXPECT_EQ(m->span(), s.span());
    EXPECT_NEAR(m->area(), s.area() * std::fabs(x.determinant()), 1e-8 * (1 + m->area()));
  }
  const vcEllipse outer(V(1, 2), V(6, 3), vcRadian(0.3)), inner(V(1.5, 2), V(2, 1), vcRadian(-0.2));
  const vcEllipseAnnulusSection full(inner, outer, vcRadian(1), vcRadian(kTwoPi), true);
  EXPECT_NEAR(full.area(), vcEllipseAnnulus(inner, outer).area(), 1e-9);
  EXPECT_NEAR(full.perimeter(), outer.perimeter() + inner.perimeter(), 1e-9);
}

TEST(EllipseAnnulusSection, DegenerateSectionsAreFlaggedAndAPointHoleMakesAPie) {
  const vcEllipse outer(V(0, 0), V(4, 2), vcRadian(0)), half(V(), V(2, 1), vcRadian(0));
  EXPECT_FALSE(vcEllipseAnnulusSection(half, outer, vcRadian(0), vcRadian(1), true).degen());
  EXPECT_TRUE(vcEllipseAnnulusSection(half, outer, vcRadian(0), vcRadian(0), true).degen());
  const vcEllipseAnnulusSection pie(vcEllipse(), outer, vcRadian(0), vcRadian(kPi / 2), true);
  EXPECT_TRUE(pie.degen());
  EXPECT_NEAR(pie.area(), kPi * 8 / 4, 1e-12);
  EXPECT_TRUE(pie.within(V(1, 0.5)));
  EXPECT_FALSE(pie.within(V(-1, 0.5)));
  EXPECT_THROW(vcEllipseAnnulusSection(outer, half, vcRadian(0), vcRadian(1), true), vcShapesError::BadGeom);
}
