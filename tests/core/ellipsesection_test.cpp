#include <vc/core/ellipsearc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace {
using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;

// Outer ellipse and a scaled copy about its center, so that the reference
// below can tell membership by the polar form of the outer unit frame.
vcEllipseAnnulusSection randomSection(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const V c(10.0 * u(rng), 10.0 * u(rng));
  const V radii(2.0 + 5.0 * std::fabs(u(rng)), 1.0 + 3.0 * std::fabs(u(rng)));
  const vcRadian rot(3.0 * u(rng));
  const bool left = rng() % 2 == 0;
  const double k = 0.2 + 0.6 * std::fabs(u(rng));
  return vcEllipseAnnulusSection(vcEllipse(c, radii * k, rot, left), vcEllipse(c, radii, rot, left),
                                 vcRadian(3.0 * u(rng)), vcRadian(6.0 * u(rng)), rng() % 2 == 0);
}

bool referenceWithin(const vcEllipseAnnulusSection& s, const V& p) {
  const V q = s.outerEllipse().unit().invMapPoint(p);
  const double ratio = s.innerEllipse().radii().x() / s.outerEllipse().radii().x();
  if (q.len() > 1.0 || q.len() < ratio) return false;
  const double a = q.angle().toDouble(), start = s.start().toDouble();
  double d = std::fmod(s.span().toDouble() >= 0 ? a - start : start - a, 2 * kPi);
  if (d < 0) d += 2 * kPi;
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

// Membership and distance against the sector reference; the area against
// the shoelace of a fine sampling; the corners duplicated when asked.
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
  }
  const vcEllipse outer(V(1, 2), V(6, 3), vcRadian(0.3)), inner(V(1.5, 2), V(2, 1), vcRadian(-0.2));
  const vcEllipseAnnulusSection whole(inner, outer, vcRadian(1), vcRadian(2 * kPi), true);
  EXPECT_NEAR(whole.area(), vcEllipseAnnulus(inner, outer).area(), 1e-9);
  EXPECT_NEAR(whole.perimeter(), outer.perimeter() + inner.perimeter(), 1e-9);
}

TEST(EllipseAnnulusSection, MapsKeepTheSectionUnderMirrorsAndScaledCopies) {
  std::mt19937 rng(44);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (int i = 0; i < 30; ++i) {
    const vcEllipseAnnulusSection s = randomSection(rng);
    const vcXform<2> x(vcMatrix<2>(u(rng), u(rng), u(rng), u(rng)), V(u(rng), u(rng)));
    const vcShapeHandle h = s.mapShape(x);
    const auto* m = dynamic_cast<const vcEllipseAnnulusSection*>(h.ptr());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->forward(), s.forward());
    EXPECT_EQ(m->span(), s.span());
    const double tol = 1e-8 * (1 + m->boundingBox().size().len() + m->boundingBox().origin().len());
    const vcRadian mid = s.start() + s.span() * 0.5, mmid = m->start() + m->span() * 0.5;
    EXPECT_LT((m->pointOnOuter(m->start()) - x.mapPoint(s.pointOnOuter(s.start()))).len(), tol);
    EXPECT_LT((m->pointOnInner(mmid) - x.mapPoint(s.pointOnInner(mid))).len(), tol);
    EXPECT_NEAR(m->area(), s.area() * std::fabs(x.determinant()), 1e-8 * (1 + m->area()));
  }
}

TEST(EllipseAnnulusSection, DegenerateSectionsAreFlaggedAndAPointHoleMakesAPie) {
  const vcEllipse outer(V(0, 0), V(4, 2), vcRadian(0)), half(V(), V(2, 1), vcRadian(0));
  EXPECT_FALSE(vcEllipseAnnulusSection(half, outer, vcRadian(0), vcRadian(1), true).degen());
  EXPECT_TRUE(vcEllipseAnnulusSection(vcEllipse(), outer, vcRadian(0), vcRadian(1), true).degen());
  EXPECT_TRUE(vcEllipseAnnulusSection(half, outer, vcRadian(0), vcRadian(0), true).degen());
  const vcEllipseAnnulusSection pie(vcEllipse(), outer, vcRadian(0), vcRadian(kPi / 2), true);
  EXPECT_NEAR(pie.area(), kPi * 8 / 4, 1e-12);
  EXPECT_TRUE(pie.within(V(1, 0.5)));
  EXPECT_FALSE(pie.within(V(-1, 0.5)));
  EXPECT_THROW(vcEllipseAnnulusSection(outer, half, vcRadian(0), vcRadian(1), true), vcShapesError::BadGeom);
}
