#include <vc/core/clip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using V = vcVector<2>;
using Pts = std::vector<V>;

const vcRect kBox(10, 20, 100, 50);  // x 10 to 110, y 20 to 70

bool inBox(const V& p, double eps = 1e-9) {
  return p.x() >= kBox.x() - eps && p.x() <= kBox.corner().x() + eps && p.y() >= kBox.y() - eps &&
         p.y() <= kBox.corner().y() + eps;
}

// The winding number of the closed polygon around p (p not on an edge).
int winding(const Pts& poly, const V& p) {
  int w = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    const V& a = poly[i];
    const V& b = poly[(i + 1) % poly.size()];
    const double side = (b - a).cross(p - a);
    if (a.y() <= p.y() && b.y() > p.y() && side > 0) ++w;
    if (a.y() > p.y() && b.y() <= p.y() && side < 0) --w;
  }
  return w;
}

double distance(const V& p, const V& a, const V& b) {
  const V d = b - a;
  const double t = d.len2() > 0 ? std::clamp((p - a).dot(d) / d.len2(), 0.0, 1.0) : 0.0;
  return (a + d * t - p).len();
}

Pts randomPath(std::mt19937& rng, int n) {
  std::uniform_real_distribution<double> coord(-50, 170);
  Pts path;
  for (int i = 0; i < n; ++i) path.push_back(V(coord(rng), coord(rng)));
  return path;
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
      {{0, 0}, {5, 100}, false, {0, 0}, {5, 100}},          // passes left of the box
      {{10, 0}, {10, 100}, true, {10, 20}, {10, 70}},       // along the left border
      {{5, 40}, {5, 40}, false, {5, 40}, {5, 40}},          // a point outside
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

// Clipping keeps the winding number of every point inside the box, so both
// fill rules fill the same area; a polygon around the box becomes the box.
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
  const Pts tri{{20, 30}, {60, 30}, {40, 60}};
  EXPECT_EQ(vfClipPolygon(tri, kBox), tri);
  EXPECT_TRUE(vfClipPolygon(tri, vcRect()).empty());
  const Pts around = vfClipPolygon({{0, 0}, {500, 0}, {500, 500}, {0, 500}}, kBox);
  ASSERT_EQ(around.size(), 4u);
  for (const V& v : around) EXPECT_TRUE((v.x() == 10 || v.x() == 110) && (v.y() == 20 || v.y() == 70)) << v;
}

// Every point of the path inside the box lies on a run and every run lies on
// the path in the box; vertices inside are kept exactly, so edges meeting
// inside stay one run.
TEST(ClipPath, RunsCoverThePartInsideTheBoxAndJoinAtInnerVertices) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 200; ++trial) {
    const Pts path = randomPath(rng, 2 + trial % 7);
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
      for (const V& v : run) EXPECT_TRUE(inBox(v) && onPath(v)) << "trial " << trial << " " << v;
    }
    for (std::size_t i = 0; i < edges; ++i)
      for (double t = 0; t <= 1.0; t += 1.0 / 64) {
        const V p = path[i] + (path[(i + 1) % path.size()] - path[i]) * t;
        if (inBox(p, -1e-6)) {
          EXPECT_TRUE(onRuns(p)) << "trial " << trial << " " << p;
        }
      }
  }
  const Pts inside{{20, 30}, {60, 35}, {90, 60}, {40, 50}};
  EXPECT_EQ(vfClipPath(inside, false, kBox), std::vector<Pts>{inside});
  EXPECT_EQ(vfClipPath(inside, true, kBox), (std::vector<Pts>{{inside[0], inside[1], inside[2], inside[3], inside[0]}}));
  EXPECT_TRUE(vfClipPath({{50, 40}}, false, kBox).empty());
  // Leaving and coming back splits the path into two runs.
  EXPECT_EQ(vfClipPath({{20, 30}, {200, 30}, {200, 60}, {20, 60}}, false, kBox),
            (std::vector<Pts>{{{20, 30}, {110, 30}}, {{110, 60}, {20, 60}}}));
}

}  // namespace
