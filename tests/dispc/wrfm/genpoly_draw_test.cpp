#include <vc/wrfm/genpoly.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <vc/core/ellipsearc.h>
#include <vc/dispprop.h>
#include <vc/wrfm/wireframe.h>

#include "support/recording_scope.h"

namespace {

using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;
const vcRadian kLine(0.0);

struct Drawable : vcGenPoly {
  explicit Drawable(const vcGenPoly& g) : vcGenPoly(g) {}
  using vcGenPoly::drawToScope;
};

// The segments a poly draws, in order.
std::vector<vcLineSeg> drawn(const vcGenPoly& g, const vcGraphicProps& props) {
  vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(100, 100));
  Drawable(g).drawToScope(props, scope);
  std::vector<vcLineSeg> out;
  for (const vcScopeCall& c : scope.log()) {
    EXPECT_EQ(c.op, "draw(vcLineSeg)");
    EXPECT_EQ(c.props, props);
    out.push_back(dynamic_cast<const vcLineSeg&>(*c.shape));
  }
  return out;
}

vcGraphicProps plain(bool showVertex = false, bool arrows = false) {
  vcGraphicProps p(vcColor::redColor(), 1);
  p.showVertex(showVertex);
  p.arrowHead(arrows);
  return p;
}

vcGenPoly arcPoly(double span) {
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, kLine);
  g.insertVertex(V(2, 0), 0, vcDegree(span));
  return g;
}

// Chords of arcs under any placement stay within 0.05 of the exact mapped
// arc, start and end on it, and are no finer than the step rule needs.
TEST(GenPolyDrawTest, ArcChordsStayWithinTheToleranceOfTheMappedArcAtAnyZoom) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int trial = 0; trial < 60; ++trial) {
    const double zoom = std::pow(10.0, 3 * u(rng));  // 0.001 .. 1000
    const vcXform<2> x(vcMatrix<2>(zoom * (1 + 0.5 * u(rng)), zoom * u(rng), zoom * u(rng), zoom * (1 + 0.5 * u(rng))),
                       V(u(rng) * 100, u(rng) * 100));
    if (x.matrix().isSingular()) continue;
    const double span = (u(rng) > 0 ? 1 : -1) * (10 + std::fabs(u(rng)) * 340);
    const vcGenPoly g = arcPoly(span).map(x);
    const vcEllipseArc2 exact = g.ellipseSegment(0, true);
    const std::vector<vcLineSeg> chords = drawn(g, plain(true));
    SCOPED_TRACE(trial);
    ASSERT_FALSE(chords.empty());
    EXPECT_NEAR(chords.front().p1().distance(g.vertexPoint(0)), 0, 1e-9 * zoom);
    EXPECT_NEAR(chords.back().p2().distance(g.vertexPoint(1)), 0, 1e-9 * zoom);
    double worst = 0;
    for (std::size_t k = 0; k < chords.size(); ++k) {
      if (k > 0) {
        EXPECT_EQ(chords[k].p1(), chords[k - 1].p2());
      }
      for (double t : {0.25, 0.5, 0.75})
        worst = std::max(worst, exact.distanceToPoint(chords[k].p1() + (chords[k].p2() - chords[k].p1()) * t));
    }
    EXPECT_LE(worst, 0.05 + 1e-9);
    // Steps of at most 5 degrees: never fewer chords than that needs.
    EXPECT_GE(static_cast<double>(chords.size()), std::fabs(span) / 5);
  }
}

TEST(GenPolyDrawTest, CircleChordCountFollowsTheStepRule) {
  // Radius 100: the step is 2 acos(1 - 0.05 / 100), about 3.62 degrees, so a
  // quarter turn takes trunc(90 / 3.62) + 1 = 25 chords. Small radii keep 5 degrees.
  const struct {
    double scale;
    double span;
    std::size_t chords;
  } cases[] = {{100 / std::sqrt(2.0), 90, 25}, {0.01, 90, 19}, {0.01, -90, 19}, {1.0, 180, 37}};
  for (const auto& c : cases) {
    // Chord 2 with span 90 has radius sqrt(2); span 180 radius 1.
    const vcGenPoly g = arcPoly(c.span).map(vcXform<2>(vcMatrix<2>(c.scale, 0, 0, c.scale), V()));
    EXPECT_EQ(drawn(g, plain(true)).size(), c.chords) << c.scale << " " << c.span;
  }
}

TEST(GenPolyDrawTest, SegmentsThenFiguresThenRoundingsWithFiguresAlongTheTravel) {
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, kLine);
  g.insertVertex(V(40, 0), 0, kLine);
  g.insertVertex(V(40, 40), 4, kLine);
  g.insertVertex(V(0, 40), 0, kLine);
  g.close(kLine);
  const std::vector<vcLineSeg> bare = drawn(g, plain());
  const std::vector<vcLineSeg> full = drawn(g, plain(true));
  const std::vector<vcLineSeg> arrows = drawn(g, plain(false, true));
  // The rounded corner cuts two sides back unless vertices are shown.
  EXPECT_EQ(bare[1].p2(), V(40, 36));
  EXPECT_EQ(full[1].p2(), V(40, 40));
  // Four sides, two strokes of a chevron per side, then the rounding's chords.
  ASSERT_EQ(arrows.size(), bare.size() + 8);
  for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(arrows[k].p1(), bare[k].p1());
  for (std::size_t k = 4; k < bare.size(); ++k) EXPECT_EQ(arrows[k + 8].p1(), bare[k].p1());
  // The first side runs toward +x: its chevron's tip (the shared end) lies
  // ahead of its arms, on the side's middle.
  const vcLineSeg& arm = arrows[4];
  EXPECT_EQ(arm.p2(), arrows[5].p2());
  EXPECT_GT(arm.p2().x(), arm.p1().x());
  EXPECT_NEAR(arm.p2().y(), 0, 1e-12);
  EXPECT_NEAR(std::fabs(arm.p2().x() - arm.p1().x()), 0.08 * 40, 1e-9);

  // A reversed direction turns the figures round.
  vcGenPoly sharp = g;
  sharp.vertexRoundingSizes(0);
  vc2Wireframe reversed(sharp);
  reversed.polarity(true);
  const std::vector<vcLineSeg> forward = drawn(sharp, plain(false, true));
  const std::vector<vcLineSeg> backward = drawn(reversed, plain(false, true));
  ASSERT_EQ(forward.size(), 12u);
  ASSERT_EQ(backward.size(), 12u);
  EXPECT_GT(forward[4].p2().x(), forward[4].p1().x());
  EXPECT_LT(backward[4].p2().x(), backward[4].p1().x());
}

TEST(GenPolyDrawTest, ShortSegmentsGetNoFigure) {
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, kLine);
  g.insertVertex(V(100, 0), 0, kLine);
  g.insertVertex(V(100, 19), 0, kLine);  // under a fifth of the longest
  g.insertVertex(V(0, 19), 0, kLine);
  // Sides 100, 19, 100: two figures.
  EXPECT_EQ(drawn(g, plain(false, true)).size(), 3u + 4u);
}

}  // namespace
