#include <vc/core/ellipsearc.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>

namespace {

constexpr double kPi = std::numbers::pi;

// Outer ellipse and a scaled copy about its center, so that the reference
// below can tell membership by the polar form of the outer unit frame.
vcEllipseAnnulusSection randomSection(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const vcVector<2> c(10.0 * u(rng), 10.0 * u(rng));
  const vcVector<2> radii(2.0 + 5.0 * std::fabs(u(rng)), 1.0 + 3.0 * std::fabs(u(rng)));
  const vcRadian rot(3.0 * u(rng));
  const bool left = rng() % 2 == 0;
  const double k = 0.2 + 0.6 * std::fabs(u(rng));
  return vcEllipseAnnulusSection(vcEllipse(c, radii * k, rot, left), vcEllipse(c, radii, rot, left),
                                 vcRadian(3.0 * u(rng)), vcRadian(6.0 * u(rng)), rng() % 2 == 0);
}

bool referenceWithin(const vcEllipseAnnulusSection& s, const vcVector<2>& p) {
  const vcVector<2> q = s.outerEllipse().unit().invMapPoint(p);
  const double ratio = s.innerEllipse().radii().x() / s.outerEllipse().radii().x();
  if (q.len() > 1.0 || q.len() < ratio) return false;
  double d = std::fmod(s.span().toDouble() >= 0 ? q.angle().toDouble() - s.start().toDouble()
                                                : s.start().toDouble() - q.angle().toDouble(),
                       2 * kPi);
  if (d < 0) d += 2 * kPi;
  return d <= std::fabs(s.span().toDouble());
}

// Distance to the four boundary pieces.
double boundaryDistance(const vcEllipseAnnulusSection& s, const vcVector<2>& p) {
  auto seg = [&](const vcVector<2>& a, const vcVector<2>& b) {
    const vcVector<2> d = b - a;
    const double t = d.len2() > 0 ? std::clamp((p - a).dot(d) / d.len2(), 0.0, 1.0) : 0.0;
    return (a + d * t - p).len();
  };
  const vcRadian e = s.start() + s.span();
  return std::min({vcEllipseArc(s.outerEllipse(), s.start(), s.span()).distanceToPoint(p),
                   vcEllipseArc(s.innerEllipse(), s.start(), s.span()).distanceToPoint(p),
                   seg(s.pointOnOuter(e), s.pointOnInner(e)),
                   seg(s.pointOnInner(s.start()), s.pointOnOuter(s.start()))});
}

double shoelace(const std::vector<vcVector<2>>& pts) {
  double twice = 0;
  for (std::size_t k = 0; k + 1 < pts.size(); ++k) twice += pts[k].cross(pts[k + 1]);
  return 0.5 * std::fabs(twice);
}

}  // namespace

TEST(EllipseAnnulusSection, WithinAndDistanceMatchTheSectorOfTheAnnulus) {
  std::mt19937 rng(41);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int i = 0; i < 40; ++i) {
    const vcEllipseAnnulusSection s = randomSection(rng);
    const vcVector<2> c = s.outerEllipse().center();
    const double r = s.outerEllipse().radii().x() + s.outerEllipse().radii().y();
    for (int k = 0; k < 60; ++k) {
      const vcVector<2> p = c + vcVector<2>(u(rng), u(rng)) * r;
      if (boundaryDistance(s, p) < 1e-9 * r) continue;
      EXPECT_EQ(s.within(p), referenceWithin(s, p)) << i << " " << p;
      if (s.within(p)) {
        EXPECT_EQ(s.distanceToPoint(p), 0.0);
      } else {
        EXPECT_NEAR(s.distanceToPoint(p), boundaryDistance(s, p), 1e-9 * r);
      }
    }
  }
}

TEST(EllipseAnnulusSection, AreaMatchesItsSampledBoundaryAndTheWholeAnnulus) {
  std::mt19937 rng(42);
  for (int i = 0; i < 30; ++i) {
    const vcEllipseAnnulusSection s = randomSection(rng);
    std::vector<vcVector<2>> pts;
    s.sample(vcShape::vcSampleParams(1e-6), pts);
    EXPECT_NEAR(s.area(), shoelace(pts), 1e-4 * (1.0 + s.area()));
    EXPECT_EQ(pts.front(), pts.back());
    EXPECT_EQ(pts.front(), s.pointOnOuter(s.start()));
  }
  const vcEllipse outer(vcVector<2>(1, 2), vcVector<2>(6, 3), vcRadian(0.3));
  const vcEllipse inner(vcVector<2>(1.5, 2), vcVector<2>(2, 1), vcRadian(-0.2));
  const vcEllipseAnnulusSection whole(inner, outer, vcRadian(1), vcRadian(2 * kPi), true);
  EXPECT_NEAR(whole.area(), vcEllipseAnnulus(inner, outer).area(), 1e-9);
  EXPECT_NEAR(whole.perimeter(), outer.perimeter() + inner.perimeter(), 1e-9);
  EXPECT_TRUE(whole.within(vcVector<2>(6, 2)));
  EXPECT_FALSE(whole.within(vcVector<2>(1.5, 2)));
}

TEST(EllipseAnnulusSection, SamplingKeepsChordsNearTheBoundaryAndMarksCorners) {
  std::mt19937 rng(43);
  for (int i = 0; i < 15; ++i) {
    const vcEllipseAnnulusSection s = randomSection(rng);
    const double tol = 1e-2;
    vcShape::vcSampleParams params(tol);
    std::vector<vcVector<2>> pts, dup;
    s.sample(params, pts);
    for (std::size_t k = 0; k + 1 < pts.size(); ++k)
      EXPECT_LE(boundaryDistance(s, (pts[k] + pts[k + 1]) * 0.5), tol * (1 + 1e-9));
    params.duplicateCorners(true);
    s.sample(params, dup);
    EXPECT_EQ(dup.size(), pts.size() + 3);
  }
}

TEST(EllipseAnnulusSection, MapsKeepTheSectionUnderMirrorsAndScaledCopies) {
  std::mt19937 rng(44);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (int i = 0; i < 30; ++i) {
    const vcEllipseAnnulusSection s = randomSection(rng);
    const vcXform<2> x(vcMatrix<2>(u(rng), u(rng), u(rng), u(rng)), vcVector<2>(u(rng), u(rng)));
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
    const vcVector<2> inside = (s.pointOnInner(mid) + s.pointOnOuter(mid)) * 0.5;
    if (std::fabs(x.determinant()) > 1e-3) {
      EXPECT_TRUE(m->within(x.mapPoint(inside)));
    }
  }
}

TEST(EllipseAnnulusSection, DegenerateSectionsAreFlagged) {
  const vcEllipse outer(vcVector<2>(0, 0), vcVector<2>(4, 2), vcRadian(0));
  EXPECT_FALSE(vcEllipseAnnulusSection(vcEllipse(vcVector<2>(), vcVector<2>(2, 1), vcRadian(0)), outer, vcRadian(0),
                                       vcRadian(1), true)
                   .degen());
  EXPECT_TRUE(vcEllipseAnnulusSection(vcEllipse(), outer, vcRadian(0), vcRadian(1), true).degen());
  EXPECT_TRUE(vcEllipseAnnulusSection(vcEllipse(vcVector<2>(), vcVector<2>(2, 1), vcRadian(0)), outer, vcRadian(0),
                                      vcRadian(0), true)
                  .degen());
  // A point inner ellipse makes a pie slice.
  const vcEllipseAnnulusSection pie(vcEllipse(), outer, vcRadian(0), vcRadian(kPi / 2), true);
  EXPECT_NEAR(pie.area(), kPi * 8 / 4, 1e-12);
  EXPECT_TRUE(pie.within(vcVector<2>(1, 0.5)));
  EXPECT_FALSE(pie.within(vcVector<2>(-1, 0.5)));
  EXPECT_THROW(vcEllipseAnnulusSection(outer, vcEllipse(vcVector<2>(), vcVector<2>(2, 1), vcRadian(0)), vcRadian(0),
                                       vcRadian(1), true),
               vcShapesError::BadGeom);
}

