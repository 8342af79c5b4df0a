#include <vc/core/poly.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/lineseg.h>
#include <vc/core/rect.h>

#include "support/test_shapes.h"

namespace {
using V = vcVector<2>;
using Pts = std::vector<V>;

// A regular n-gon of circumradius r about c, counter-clockwise in the +angle sense.
Pts regular(int n, double r, const V& c = V(), int step = 1) {
  Pts v;
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * std::numbers::pi * step * i / n;
    v.push_back(c + V(std::cos(a), std::sin(a)) * r);
  }
  return v;
}
}  // namespace

TEST(PolyTest, FillRulesDifferOnlyWhereTheOutlineWindsTwice) {
  const Pts star = regular(5, 10.0, V(), 2);  // its centre is wound twice
  const vcPolygon eo(star, vcPolygon::eEvenOdd), nz(star, vcPolygon::eWinding);
  EXPECT_FALSE(eo.within(V(0.0, 0.0)));
  EXPECT_TRUE(nz.within(V(0.0, 0.0)));
  EXPECT_TRUE(eo.within(V(8.0, 0.5)) && nz.within(V(8.0, 0.5)));  // a point of the star, wound once
  EXPECT_GT(eo.distanceToPoint(V(0.0, 0.0)), 0.0);
  // Either orientation of a simple outline holds the same points, edges included.
  const Pts sq{V(0, 0), V(4, 0), V(4, 4), V(0, 4)};
  for (auto mode : {vcPolygon::eEvenOdd, vcPolygon::eWinding})
    for (const Pts& outline : {sq, Pts(sq.rbegin(), sq.rend())}) {
      const vcPolygon a(outline, mode);
      for (const V& p : {V(2, 2), V(4, 2), V(0, 0)}) EXPECT_TRUE(a.within(p)) << p;
      EXPECT_FALSE(a.within(V(4.0000001, 2)));
    }
  EXPECT_EQ(vcPolygon(sq, vcPolygon::eEvenOdd).tangentAt(V(-1.0, 2.0)), V(0.0, -1.0)) << "the closing edge runs back";
  EXPECT_THROW(vcPolygon(sq, static_cast<vcPolygon::PolyFillMode>(2)), vcShapesError::BadGeom);
}

TEST(PolyTest, AreaAndPerimeterMatchRegularPolygonsAndScaleWithTheMap) {
  std::mt19937 rng(41);
  for (int n = 3; n < 12; ++n) {
    const vcPolygon p(regular(n, 7.0, vc_test::randomPoint(rng, 1e4)), vcPolygon::eWinding);
    EXPECT_NEAR(p.area(), 0.5 * n * 49.0 * std::sin(2.0 * std::numbers::pi / n), 1e-9);
    EXPECT_NEAR(p.perimeter(), n * 14.0 * std::sin(std::numbers::pi / n), 1e-9);
    const vcXform<2> x(vcMatrix<2>(1.5, -0.5, 2.0, -1.0), V(3.0, 4.0));  // mirrors, det -0.5
    EXPECT_NEAR(p.map(x).area(), 0.5 * p.area(), 1e-9);
  }
  EXPECT_THROW(vcPolygon().boundingBox(), vcShapesError::DegenerateShape);
}

// Every vertex is a sample, so no corner is cut, and the closing edge of a
// closed outline is sampled like the others; inner corners are doubled and
// capped points spread over the edges.
TEST(PolyTest, SamplesKeepEveryVertexAndLieOnTheOutline) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> sp(1.0, 100.0);
  for (int i = 0; i < 60; ++i) {
    Pts v;
    for (int k = 0; k < 3 + i % 7; ++k) v.push_back(vc_test::randomPoint(rng, 500.0));
    const vcPolyline open(v, false), closed(v, true);
    const vcPolygon poly(v, vcPolygon::eEvenOdd);
    const vcShape::vcSampleParams params(0.01, sp(rng), 2, i % 2 == 0);
    for (const vcShape* s : {static_cast<const vcShape*>(&open), static_cast<const vcShape*>(&closed),
                             static_cast<const vcShape*>(&poly)}) {
      Pts pts;
      s->sample(params, pts);
      EXPECT_EQ(pts.back(), s == &open ? v.back() : v.front());
      const vcPolyline outline(v, s != &open);  // the polygon's own distance is 0 inside
      for (std::size_t k = 1; k < pts.size(); ++k)
        EXPECT_NEAR(outline.distanceToPoint((pts[k] + pts[k - 1]) * 0.5), 0.0, 1e-9);
      for (const auto& p : v) EXPECT_NE(std::find(pts.begin(), pts.end(), p), pts.end());
    }
  }
  const Pts v{V(0, 0), V(10, 0), V(10, 10)};
  Pts pts;
  vcPolyline(v, false).sample(vcShape::vcSampleParams(0.0, 0.0, 2, true), pts);
  EXPECT_EQ(pts, (Pts{v[0], v[1], v[1], v[2]}));
  vcShape::vcSampleParams capped(0.0, 0.01);
  capped.maxPoints(5);
  pts.clear();
  vcPolyline(v, false).sample(capped, pts);
  EXPECT_EQ(pts, (Pts{v[0], V(5, 0), v[1], V(10, 5), v[2]}));
}

TEST(PolyTest, PolylineContourQueriesDecomposeAndReverse) {
  const Pts v{V(0, 0), V(3, 4), V(3, 0)};
  const vcPolyline open(v, false), closed(v, true);
  EXPECT_EQ(open.length(), 9.0);
  EXPECT_EQ(closed.length(), 12.0);
  EXPECT_EQ(closed.endPoint(), v[0]);
  EXPECT_EQ(closed.distanceToPoint(V(1.5, -1.0)), 1.0);
  EXPECT_NEAR(open.distanceToPoint(V(1.5, -1.0)), 1.8, 1e-12);
  EXPECT_EQ(closed.tangentAt(V(1.0, -0.5)), V(-1.0, 0.0));
  const auto segs = closed.decompose();
  ASSERT_EQ(segs.size(), 3u);
  EXPECT_TRUE(*segs[2] == vcLineSeg(v[2], v[0]));
  EXPECT_EQ(open.decompose().size(), 2u);
  EXPECT_EQ(dynamic_cast<const vcPolyline&>(*open.reverse()).points(), (Pts{v[2], v[1], v[0]}));
  EXPECT_EQ(dynamic_cast<const vcPolyline&>(*closed.reverse()).points(), (Pts{v[0], v[2], v[1]}));
  EXPECT_FALSE(vcPolyline(Pts{v[1], v[1]}, false).hasTangent());
  EXPECT_THROW(vcPolyline().startPoint(), vcShapesError::DegenerateShape);
  EXPECT_THROW(vcPolyline(Pts{V(INFINITY, 0)}, true), vcShapesError::BadGeom);
}
