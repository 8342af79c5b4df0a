#include <vc/core/clip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using V = vcVector<2>;
using Pts = std::vector<V>;

const vcRect kBox(10, 20, 100, 50);  // x 10 to 110, y 20 to 70

bool inBox(const V& p, const vcRect& b, double eps = 1e-9) {
  return p.x() >= b.x() - eps && p.x() <= b.corner().x() + eps && p.y() >= b.y() - eps && p.y() <= b.corner().y() + eps;
}

// The winding number of the closed polygon around p (p not on an edge).
int winding(const Pts& poly, const V& p) {
  int w = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    const V& a = poly[i];
    const V& b = poly[(i + 1) % poly.size()];
    const double side = (b.x() - a.x()) * (p.y() - a.y()) - (p.x() - a.x()) * (b.y() - a.y());
    if (a.y() <= p.y() && b.y() > p.y() && side > 0) ++w;
    if (a.y() > p.y() && b.y() <= p.y() && side < 0) --w;
  }
  return w;
}

// Distance from p to the segment a-b.
double distance(const V& p, const V& a, const V& b) {
  const double dx = b.x() - a.x(), dy = b.y() - a.y(), l2 = dx * dx + dy * dy;
  const double t = l2 > 0 ? std::clamp(((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / l2, 0.0, 1.0) : 0.0;
  return std::hypot(a.x() + t * dx - p.x(), a.y() + t * dy - p.y());
}

TEST(ClipSegment, CutsToTheBoxOrRejects) {
  struct Case {
    V p, q;
    bool kept;
    V p2, q2;
  };
  const Case cases[] = {
      {{20, 30}, {50, 60}, true, {20, 30}, {50, 60}},       // inside: unchanged
      {{0, 30}, {50, 30}, true, {10, 30}, {50, 30}},        // enters through the left
      {{0, 10}, {120, 70}, true, {20, 20}, {110, 65}},      // through the top and the right
      {{120, 70}, {0, 10}, true, {110, 65}, {20, 20}},      // the same reversed keeps its direction
      {{0, 0}, {5, 100}, false, {0, 0}, {5, 100}},          // passes left of the box
      {{10, 0}, {10, 100}, true, {10, 20}, {10, 70}},       // along the left border
      {{50, 40}, {50, 40}, true, {50, 40}, {50, 40}},       // a point inside
      {{5, 40}, {5, 40}, false, {5, 40}, {5, 40}},          // a point outside
      {{0, 70}, {200, 70}, true, {10, 70}, {110, 70}},      // along the bottom border
      {{100, 0}, {130, 30}, false, {100, 0}, {130, 30}},    // misses the top-right corner
      {{110, 10}, {120, 20}, false, {110, 10}, {120, 20}},  // ends short of the corner
  };
  for (const Case& c : cases) {
    V p = c.p, q = c.q;
    EXPECT_EQ(vfClipSegment(p, q, kBox), c.kept) << c.p << " " << c.q;
    EXPECT_NEAR(p.x(), c.p2.x(), 1e-12) << c.p << " " << c.q;
    EXPECT_NEAR(p.y(), c.p2.y(), 1e-12) << c.p << " " << c.q;
    EXPECT_NEAR(q.x(), c.q2.x(), 1e-12) << c.p << " " << c.q;
    EXPECT_NEAR(q.y(), c.q2.y(), 1e-12) << c.p << " " << c.q;
  }
  V p(20, 30), q(40, 50);
  EXPECT_FALSE(vfClipSegment(p, q, vcRect()));
}

// Clipping keeps the winding number of every point inside the box, so both
// fill rules fill the same area, and the result stays within the box.
TEST(ClipPolygon, KeepsWindingInsideTheBox) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coord(-50, 170);
  std::uniform_real_distribution<double> inside(0, 1);
  for (int trial = 0; trial < 200; ++trial) {
    Pts poly;
    const int n = 3 + trial % 9;
    for (int i = 0; i < n; ++i) poly.push_back(V(coord(rng), coord(rng)));
    const Pts cut = vfClipPolygon(poly, kBox);
    for (const V& v : cut) EXPECT_TRUE(inBox(v, kBox)) << "trial " << trial;
    for (int k = 0; k < 50; ++k) {
      const V p(kBox.x() + inside(rng) * kBox.width(), kBox.y() + inside(rng) * kBox.height());
      EXPECT_EQ(winding(cut, p), winding(poly, p)) << "trial " << trial << " at " << p;
    }
  }
}

TEST(ClipPolygon, InsideKeptOutsideGoneAroundBecomesTheBox) {
  const Pts inside{{20, 30}, {60, 30}, {40, 60}};
  EXPECT_EQ(vfClipPolygon(inside, kBox), inside);
  EXPECT_TRUE(vfClipPolygon({{200, 200}, {300, 200}, {250, 300}}, kBox).empty());
  EXPECT_TRUE(vfClipPolygon(inside, vcRect()).empty());
  // A polygon around the box is cut to the box's four corners.
  const Pts around = vfClipPolygon({{0, 0}, {500, 0}, {500, 500}, {0, 500}}, kBox);
  ASSERT_EQ(around.size(), 4u);
  for (const V& v : around) EXPECT_TRUE((v.x() == 10 || v.x() == 110) && (v.y() == 20 || v.y() == 70)) << v;
}

// Every point of the path inside the box lies on a run, every run lies on the
// path and in the box, and vertices inside the box are kept exactly, so edges
// meeting inside stay one run.
TEST(ClipPath, RunsCoverThePartInsideTheBox) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> coord(-50, 170);
  for (int trial = 0; trial < 200; ++trial) {
    Pts path;
    const int n = 2 + trial % 7;
    for (int i = 0; i < n; ++i) path.push_back(V(coord(rng), coord(rng)));
    const bool closed = trial % 2 == 1;
    const auto runs = vfClipPath(path, closed, kBox);
    const std::size_t edges = closed ? path.size() : path.size() - 1;
    const auto onPath = [&](const V& p) {
      for (std::size_t i = 0; i < edges; ++i)
        if (distance(p, path[i], path[(i + 1) % path.size()]) < 1e-9) return true;
      return false;
    };
    const auto onRuns = [&](const V& p) {
      for (const Pts& run : runs)
        for (std::size_t i = 0; i + 1 < run.size(); ++i)
          if (distance(p, run[i], run[i + 1]) < 1e-9) return true;
      return false;
    };
    for (const Pts& run : runs) {
      ASSERT_GE(run.size(), 2u);
      for (const V& v : run) EXPECT_TRUE(inBox(v, kBox) && onPath(v)) << "trial " << trial << " " << v;
    }
    for (std::size_t i = 0; i < edges; ++i)
      for (double t = 0; t <= 1.0; t += 1.0 / 64) {
        const V& a = path[i];
        const V& b = path[(i + 1) % path.size()];
        const V p(a.x() + t * (b.x() - a.x()), a.y() + t * (b.y() - a.y()));
        if (inBox(p, kBox, -1e-6)) {
          EXPECT_TRUE(onRuns(p)) << "trial " << trial << " " << p;
        }
      }
  }
}

TEST(ClipPath, PathInsideIsOneRunWithItsExactVertices) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> x(10, 110), y(20, 70);
  for (int trial = 0; trial < 50; ++trial) {
    Pts path;
    for (int i = 0; i < 6; ++i) path.push_back(V(x(rng), y(rng)));
    const auto open = vfClipPath(path, false, kBox);
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0], path);
    const auto closed = vfClipPath(path, true, kBox);
    ASSERT_EQ(closed.size(), 1u);
    Pts round = path;
    round.push_back(path[0]);
    EXPECT_EQ(closed[0], round);
  }
  EXPECT_TRUE(vfClipPath({{50, 40}}, false, kBox).empty());
  // Leaving and coming back splits the path into two runs.
  const auto twice = vfClipPath({{20, 30}, {200, 30}, {200, 60}, {20, 60}}, false, kBox);
  ASSERT_EQ(twice.size(), 2u);
  EXPECT_EQ(twice[0], (Pts{{20, 30}, {110, 30}}));
  EXPECT_EQ(twice[1], (Pts{{110, 60}, {20, 60}}));
}

}  // namespace
