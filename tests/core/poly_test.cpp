#include <vc/core/poly.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/archive.h>
#include <vc/core/lineseg.h>
#include <vc/core/rect.h>

namespace {

using Pts = std::vector<vcVector<2>>;

vcVector<2> randomPoint(std::mt19937& rng, double r = 500.0) {
  std::uniform_real_distribution<double> u(-r, r);
  return vcVector<2>(u(rng), u(rng));
}

Pts randomPath(std::mt19937& rng, int n) {
  Pts v;
  for (int i = 0; i < n; ++i) v.push_back(randomPoint(rng));
  return v;
}

// A regular n-gon of circumradius r about c, counter-clockwise in the +angle sense.
Pts regular(int n, double r, const vcVector<2>& c = vcVector<2>()) {
  Pts v;
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * std::numbers::pi * i / n;
    v.push_back(c + vcVector<2>(std::cos(a), std::sin(a)) * r);
  }
  return v;
}

}  // namespace

TEST(PolyTest, FillRulesDifferOnlyWhereTheOutlineWindsTwice) {
  // The five-pointed star: its center is wound twice.
  Pts star;
  for (int i = 0; i < 5; ++i) {
    const double a = 2.0 * std::numbers::pi * (2 * i) / 5;
    star.push_back(vcVector<2>(std::cos(a), std::sin(a)) * 10.0);
  }
  const vcPolygon eo(star, vcPolygon::eEvenOdd), nz(star, vcPolygon::eWinding);
  EXPECT_FALSE(eo.within(vcVector<2>(0.0, 0.0)));
  EXPECT_TRUE(nz.within(vcVector<2>(0.0, 0.0)));
  const vcVector<2> tip(8.0, 0.5);  // inside one point of the star, wound once
  EXPECT_TRUE(eo.within(tip));
  EXPECT_TRUE(nz.within(tip));
  EXPECT_FALSE(nz.within(vcVector<2>(11.0, 0.0)));
  EXPECT_GT(eo.distanceToPoint(vcVector<2>(0.0, 0.0)), 0.0);
  EXPECT_EQ(nz.distanceToPoint(vcVector<2>(0.0, 0.0)), 0.0);

  // Either orientation of a simple outline holds the same points, edges included.
  const Pts sq{vcVector<2>(0, 0), vcVector<2>(4, 0), vcVector<2>(4, 4), vcVector<2>(0, 4)};
  for (auto mode : {vcPolygon::eEvenOdd, vcPolygon::eWinding}) {
    const vcPolygon a(sq, mode);
    const vcPolygon b(Pts(sq.rbegin(), sq.rend()), mode);
    for (const vcVector<2>& p : {vcVector<2>(2, 2), vcVector<2>(4, 2), vcVector<2>(0, 0), vcVector<2>(0.1, 3.9)}) {
      EXPECT_TRUE(a.within(p)) << p;
      EXPECT_TRUE(b.within(p)) << p;
    }
    EXPECT_FALSE(a.within(vcVector<2>(4.0000001, 2)));
    EXPECT_FALSE(b.within(vcVector<2>(-1, -1)));
  }
  const vcPolygon a(sq, vcPolygon::eEvenOdd);
  EXPECT_TRUE(a.isRegion() && a.isClosedContour());
  EXPECT_EQ(a.tangentAt(vcVector<2>(-1.0, 2.0)), vcVector<2>(0.0, -1.0)) << "the closing edge runs back down";
  EXPECT_THROW(vcPolygon(sq, static_cast<vcPolygon::PolyFillMode>(2)), vcShapesError::BadGeom);
}

TEST(PolyTest, AreaAndPerimeterMatchRegularPolygonsAndScaleWithTheMap) {
  std::mt19937 rng(41);
  for (int n = 3; n < 12; ++n) {
    const vcPolygon p(regular(n, 7.0, randomPoint(rng, 1e4)), vcPolygon::eWinding);
    EXPECT_NEAR(p.area(), 0.5 * n * 49.0 * std::sin(2.0 * std::numbers::pi / n), 1e-9);
    EXPECT_NEAR(p.perimeter(), n * 14.0 * std::sin(std::numbers::pi / n), 1e-9);
    const vcXform<2> x(vcMatrix<2>(1.5, -0.5, 2.0, -1.0), vcVector<2>(3.0, 4.0));  // mirrors, det -0.5
    EXPECT_NEAR(p.map(x).area(), 0.5 * p.area(), 1e-9);
  }
  EXPECT_EQ(vcPolygon(Pts{vcVector<2>(1, 1), vcVector<2>(5, 5)}, vcPolygon::eEvenOdd).area(), 0.0);
  const vcPolygon empty;
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_THROW(empty.boundingBox(), vcShapesError::DegenerateShape);
  EXPECT_THROW(empty.distanceToPoint(vcVector<2>()), vcShapesError::DegenerateShape);
}

// Every vertex is a sample, so no corner is cut, and the closing edge of a
// closed outline is sampled like the others.
TEST(PolyTest, SamplesKeepEveryVertexAndLieOnTheOutlineClosingEdgeIncluded) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> sp(1.0, 100.0);
  for (int i = 0; i < 60; ++i) {
    const Pts v = randomPath(rng, 3 + i % 7);
    const vcPolyline open(v, false), closed(v, true);
    const vcPolygon poly(v, vcPolygon::eEvenOdd);
    const vcShape::vcSampleParams params(0.01, sp(rng), 2, i % 2 == 0);
    for (const vcShape* s : {static_cast<const vcShape*>(&open), static_cast<const vcShape*>(&closed),
                             static_cast<const vcShape*>(&poly)}) {
      std::vector<vcVector<2>> pts;
      s->sample(params, pts);
      EXPECT_EQ(pts.back(), s == &open ? v.back() : v.front());
      // The polygon's own distance is 0 inside, so check against its outline.
      const vcPolyline outline(v, s != &open);
      for (std::size_t k = 1; k < pts.size(); ++k)
        EXPECT_NEAR(outline.distanceToPoint((pts[k] + pts[k - 1]) * 0.5), 0.0, 1e-9);
      for (const auto& p : v) EXPECT_NE(std::find(pts.begin(), pts.end(), p), pts.end());
    }
  }
}

TEST(PolyTest, SamplingDuplicatesInnerCornersAndSpreadsCappedPointsOverTheEdges) {
  const Pts v{vcVector<2>(0, 0), vcVector<2>(10, 0), vcVector<2>(10, 10)};
  std::vector<vcVector<2>> pts;
  vcPolyline(v, false).sample(vcShape::vcSampleParams(0.0, 0.0, 2, true), pts);
  EXPECT_EQ(pts, (Pts{v[0], v[1], v[1], v[2]}));
  pts.clear();
  vcPolygon(v, vcPolygon::eWinding).sample(vcShape::vcSampleParams(0.0, 0.0, 2, false, false), pts);
  EXPECT_EQ(pts, v) << "without the end, a closed outline stops before returning to vertex 0";
  pts.clear();
  vcShape::vcSampleParams capped(0.0, 0.01);
  capped.maxPoints(5);
  vcPolyline(v, false).sample(capped, pts);
  EXPECT_EQ(pts, (Pts{v[0], vcVector<2>(5, 0), v[1], vcVector<2>(10, 5), v[2]}));
}

TEST(PolyTest, PolylineContourQueriesDecomposeAndReverse) {
  const Pts v{vcVector<2>(0, 0), vcVector<2>(3, 4), vcVector<2>(3, 0)};
  const vcPolyline open(v, false), closed(v, true);
  EXPECT_TRUE(open.isOpenContour());
  EXPECT_TRUE(closed.isClosedContour());
  EXPECT_EQ(open.length(), 9.0);
  EXPECT_EQ(closed.length(), 12.0);
  EXPECT_EQ(open.endPoint(), v[2]);
  EXPECT_EQ(closed.endPoint(), v[0]);
  EXPECT_EQ(closed.distanceToPoint(vcVector<2>(1.5, -1.0)), 1.0);
  EXPECT_NEAR(open.distanceToPoint(vcVector<2>(1.5, -1.0)), 1.8, 1e-12);
  EXPECT_EQ(closed.tangentAt(vcVector<2>(1.0, -0.5)), vcVector<2>(-1.0, 0.0));

  const auto segs = closed.decompose();
  ASSERT_EQ(segs.size(), 3u);
  EXPECT_TRUE(*segs[2] == vcLineSeg(v[2], v[0]));
  EXPECT_EQ(open.decompose().size(), 2u);
  EXPECT_EQ(vcPolyline(Pts{v[1]}, false).decompose().size(), 1u);

  const vcShapeHandle roh = open.reverse(), rch = closed.reverse();
  const auto& ro = dynamic_cast<const vcPolyline&>(*roh);
  EXPECT_EQ(ro.points(), (Pts{v[2], v[1], v[0]}));
  const auto& rc = dynamic_cast<const vcPolyline&>(*rch);
  EXPECT_EQ(rc.points(), (Pts{v[0], v[2], v[1]}));
  EXPECT_EQ(rc.length(), closed.length());

  const vcPolyline flat(Pts{v[1], v[1]}, false);
  EXPECT_FALSE(flat.hasTangent());
  EXPECT_THROW(flat.tangentAt(vcVector<2>()), vcShapesError::NoTangent);
  EXPECT_THROW(vcPolyline().startPoint(), vcShapesError::DegenerateShape);
  EXPECT_THROW(vcPolyline(Pts{vcVector<2>(INFINITY, 0)}, true), vcShapesError::BadGeom);
}

