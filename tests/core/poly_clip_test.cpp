// Polygons and polylines, and clipping polygons, paths and segments to a box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/clip.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>

#include "support/test_shapes.h"

namespace {
using V = vcVector<2>;
using Pts = std::vector<V>;

const vcRect kBox(10, 20, 100, 50);  // x 10 to 110, y 20 to 70

// A regular n-gon of circumradius r about c, counter-clockwise; step 2 of 5 makes a star.
Pts regular(int n, double r, const V& c = V(), int step = 1) {
  Pts v;
  for (int i = 0; i < n; ++i) v.push_back(c + V(std::cos(2 * std::numbers::pi * step * i / n), std::sin(2 * std::numbers::pi * step * i / n)) * r);
  return v;
}

Pts randomPath(std::mt19937& rng, int n) {
  std::uniform_real_distribution<double> coord(-50, 170);
  Pts path;
  for (int i = 0; i < n; ++i) path.push_back(V(coord(rng), coord(rng)));
  return path;
}

bool inBox(const V& p, double eps = 1e-9) {
  return p.x() >= kBox.x() - eps && p.x() <= kBox.corner().x() + eps && p.y() >= kBox.y() - eps &&
         p.y() <= kBox.corner().y() + eps;
}

// The winding number of the closed polygon around p (p not on an edge).
int winding(const Pts& poly, const V& p) {
  int w = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    const V &a = poly[i], &b = poly[(i + 1) % poly.size()];
    const double side = (b - a).cross(p - a);
    if (a.y() <= p.y() && b.y() > p.y() && side > 0) ++w;
    if (a.y() > p.y() && b.y() <= p.y() && side < 0) --w;
  }
  return w;
}
}  // namespace

TEST(PolyTest, FillRulesDifferOnlyWhereTheOutlineWindsTwice) {
  const Pts star = regular(5, 10.0, V(), 2);  // its centre is wound twice
  const vcPolygon eo(star, vcPolygon::eEvenOdd), nz(star, vcPolygon::eWinding);
  EXPECT_FALSE(eo.within(V(0.0, 0.0)));
  EXPECT_TRUE(nz.within(V(0.0, 0.0)));
  EXPECT_TRUE(eo.within(V(8.0, 0.5)) && nz.within(V(8.0, 0.5)));  // a point of the star, wound once
  // Either orientation of a simple outline holds the same points, edges included.
  const Pts sq{V(0, 0), V(4, 0), V(4, 4), V(0, 4)};
  for (auto mode : {vcPolygon::eEvenOdd, vcPolygon::eWinding})
    for (const Pts& outline : {sq, Pts(sq.rbegin(), sq.rend())}) {
      const vcPolygon a(outline, mode);
      EXPECT_TRUE(a.within(V(2, 2)) && a.within(V(4, 2)) && a.within(V(0, 0)));
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

TEST(PolyTest, SamplesKeepEveryVertexAndLieOnTheOutline) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> sp(1.0, 100.0);
  for (int i = 0; i < 60; ++i) {
    const Pts v = randomPath(rng, 3 + i % 7);
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
  vcShape::vcSampleParams capped(0.0, 0.01);
  capped.maxPoints(5);
  Pts pts;
  vcPolyline(v, false).sample(capped, pts);
  EXPECT_EQ(pts, (Pts{v[0], V(5, 0), v[1], V(10, 5), v[2]}));
}

TEST(PolyTest, PolylineContourQueriesDecomposeAndReverse) {
  const Pts v{V(0, 0), V(3, 4), V(3, 0)};
  const vcPolyline open(v, false), closed(v, true);
  EXPECT_EQ(open.length(), 9.0);
  EXPECT_EQ(closed.length(), 12.0);
  EXPECT_NEAR(open.distanceToPoint(V(1.5, -1.0)), 1.8, 1e-12);  // the closing edge is nearer: 1
  EXPECT_EQ(closed.distanceToPoint(V(1.5, -1.0)), 1.0);
  EXPECT_EQ(closed.tangentAt(V(1.0, -0.5)), V(-1.0, 0.0));
  EXPECT_TRUE(*closed.decompose().at(2) == vcLineSeg(v[2], v[0]));
  EXPECT_EQ(dynamic_cast<const vcPolyline&>(*open.reverse()).points(), (Pts{v[2], v[1], v[0]}));
  EXPECT_EQ(dynamic_cast<const vcPolyline&>(*closed.reverse()).points(), (Pts{v[0], v[2], v[1]}));
  EXPECT_THROW(vcPolyline().startPoint(), vcShapesError::DegenerateShape);
  EXPECT_THROW(vcPolyline(Pts{V(INFINITY, 0)}, true), vcShapesError::BadGeom);
}

TEST(ClipSegment, CutsToTheBoxOrRejects) {
  const struct {
    V p, q;
    bool kept;
    V p2, q2;
  } cases[] = {
      {{20, 30}, {50, 60}, true, {20, 30}, {50, 60}},       // inside: unchanged
      {{0, 10}, {120, 70}, true, {20, 20}, {110, 65}},      // through the top and the right
      {{120, 70}, {0, 10}, true, {110, 65}, {20, 20}},      // reversed keeps its direction
      {{10, 0}, {10, 100}, true, {10, 20}, {10, 70}},       // along the left border
      {{100, 0}, {130, 30}, false, {100, 0}, {130, 30}},    // misses the top-right corner
      {{110, 10}, {120, 20}, false, {110, 10}, {120, 20}},  // ends short of the corner
  };
  for (const auto& c : cases) {
    V p = c.p, q = c.q;
    EXPECT_EQ(vfClipSegment(p, q, kBox), c.kept) << c.p << " " << c.q;
    EXPECT_LT(p.distance(c.p2) + q.distance(c.q2), 1e-12) << c.p << " " << c.q;
  }
  V p(20, 30), q(40, 50);
  EXPECT_FALSE(vfClipSegment(p, q, vcRect()));
}

// Keeping the winding number keeps both fill rules' areas.
TEST(ClipPolygon, KeepsWindingInsideTheBox) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> inside(0, 1);
  for (int trial = 0; trial < 200; ++trial) {
    const Pts poly = randomPath(rng, 3 + trial % 9);
    const Pts cut = vfClipPolygon(poly, kBox);
    for (const V& v : cut) EXPECT_TRUE(inBox(v)) << "trial " << trial;
    for (int k = 0; k < 50; ++k) {
      const V p(kBox.x() + inside(rng) * kBox.width(), kBox.y() + inside(rng) * kBox.height());
      EXPECT_EQ(winding(cut, p), winding(poly, p)) << "trial " << trial << " at " << p;
    }
  }
  EXPECT_TRUE(vfClipPolygon(regular(3, 5.0, V(50, 50)), vcRect()).empty());
  EXPECT_EQ(vfClipPolygon({{0, 0}, {500, 0}, {500, 500}, {0, 500}}, kBox).size(), 4u);
}

TEST(ClipPath, RunsCoverThePartInsideTheBoxAndJoinAtInnerVertices) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 200; ++trial) {
    const Pts path = randomPath(rng, 2 + trial % 7);
    const bool closed = trial % 2 == 1;
    const auto runs = vfClipPath(path, closed, kBox);
    const vcPolyline along(path, closed);
    for (const Pts& run : runs) {
      ASSERT_GE(run.size(), 2u);
      for (const V& v : run) EXPECT_TRUE(inBox(v) && along.distanceToPoint(v) < 1e-9) << "trial " << trial << " " << v;
    }
    for (std::size_t i = 0; i + (closed ? 0 : 1) < path.size(); ++i)
      for (double t = 0; t <= 1.0; t += 1.0 / 64) {
        const V p = path[i] + (path[(i + 1) % path.size()] - path[i]) * t;
        if (!inBox(p, -1e-6)) continue;
        double nearest = INFINITY;
        for (const Pts& run : runs) nearest = std::min(nearest, vcPolyline(run, false).distanceToPoint(p));
        EXPECT_LT(nearest, 1e-9) << "trial " << trial << " " << p;
      }
  }
  const Pts inside{{20, 30}, {60, 35}, {90, 60}, {40, 50}};
  EXPECT_EQ(vfClipPath(inside, false, kBox), std::vector<Pts>{inside});
  EXPECT_EQ(vfClipPath(inside, true, kBox), (std::vector<Pts>{{inside[0], inside[1], inside[2], inside[3], inside[0]}}));
  // Leaving and coming back splits the path into two runs.
  EXPECT_EQ(vfClipPath({{20, 30}, {200, 30}, {200, 60}, {20, 60}}, false, kBox),
            (std::vector<Pts>{{{20, 30}, {110, 30}}, {{110, 60}, {20, 60}}}));
}
