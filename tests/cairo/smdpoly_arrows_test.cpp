// SMD direction arrows as pixels: each glyph sits at its segment's middle, points along the travel (against it when
// reversed) and keeps its plus sign beside its positive arm, inside a positive outline, also under mirrors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/uitablet.h>
#include <vc/wrfm/smdpoly.h>

#include "cairo/pixels.h"

namespace {

using V = vcVector<2>;

double cross(const V& a, const V& b) { return a.x() * b.y() - a.y() * b.x(); }

TEST(SMDArrows, SitAtSegmentMiddlesPointAlongTravelAndKeepThePlusWithThePositiveArm) {
  const vcMatrix<2> plain(1, 0, 0, 1), mirror(-1, 0, 0, 1), swap(0, 1, 1, 0);
  const std::pair<vcXform<2>, bool> cases[] = {
      {vcXform<2>(plain, V(40, 40)), false},   {vcXform<2>(plain, V(40, 40)), true},
      {vcXform<2>(mirror, V(120, 40)), false}, {vcXform<2>(mirror, V(120, 40)), true},
      {vcXform<2>(swap, V(40, 40)), false}};
  int n = 0;
  for (const auto& [x, reversed] : cases) {
    SCOPED_TRACE(n++);
    // A square of side 40 turning toward +angle, its right side an outward arc of 40 degrees.
    vcSMDGDPoly p;
    p << vcSMDGDPolyVertex(V(0, 0), 0.5, 0.5, -1) << vcSMDGDPolyVertex(V(40, 0), 0.5, 0.5, -1)
      << vcSMDGDPolyVertex(V(40, 40), 0, vcDegree(40), 0.5, 0.5, -1, vcDimTol())
      << vcSMDGDPolyVertex(V(0, 40), 0.5, 0.5, -1);
    p.close();
    if (reversed) p.toggleDirection();
    p.positiveArrowColor(vcColor::greenColor());
    p.negativeArrowColor(vcColor::redColor());
    vcCairoScope scope(vcPair<long>(160, 160));
    vcUITablet tablet(&scope, nullptr);
    tablet.visible(true);
    p.drawDirectionArrows(x, tablet, 8.0);
    const vcPixels px(scope);
    for (long s = 0; s < 4; ++s) {
      // The chord's middle, for the arc pushed out by the sagitta (it bulges
      // to the right of its chord), and the direction of travel.
      const V a = p.vertex((s + 3) % 4).point(), b = p.vertex(s).point(), d = b - a;
      const double span = p.vertex(s).segmentAngleSpan().toDouble();
      const V tip = x * ((a + b) * 0.5 + V(d.y(), -d.x()) * (0.5 * std::tan(span * std::numbers::pi / 720.0)));
      const V forward = x.mapVector(d).unit() * (reversed ? -1.0 : 1.0);
      std::vector<V> green, red;
      std::vector<V> plus;  // green pixels with green on all four sides: the plus sign's centre
      const auto isGreen = [&](long i, long j) { return px.at(i, j) == kGreen; };
      for (long j = 1; j + 1 < px.height; ++j)
        for (long i = 1; i + 1 < px.width; ++i) {
          const V c(i + 0.5, j + 0.5);
          if (c.distance(tip) > 12.8) continue;
          if (px.at(i, j) == kRed) red.push_back(c);
          if (isGreen(i, j)) green.push_back(c);
          if (isGreen(i, j) && isGreen(i - 1, j) && isGreen(i + 1, j) && isGreen(i, j - 1) && isGreen(i, j + 1))
            plus.push_back(c);
        }
      ASSERT_GT(green.size(), 8u);
      ASSERT_GT(red.size(), 8u);
      ASSERT_FALSE(plus.empty());
      // Nothing ahead of the tip; the farthest-forward pixel is the tip.
      double front = -1e9, armSide = 0.0, redSide = 0.0;
      for (const auto* set : {&green, &red})
        for (const V& q : *set) front = std::max(front, (q - tip).dot(forward));
      EXPECT_NEAR(front, 0.0, 1.5) << "tip at " << tip;
      // The plus lies beside the green arm, the red arm on the other side.
      for (const V& q : green)
        if (q.distance(plus[0]) > 1.5) armSide += cross(forward, q - tip);
      for (const V& q : red) redSide += cross(forward, q - tip);
      EXPECT_GT(cross(forward, plus[0] - tip) * armSide, 0.0);
      EXPECT_LT(redSide * armSide, 0.0);
      EXPECT_EQ(vcSMDGDPolyPrivate::inside(p, x.inverse() * plus[0]), p.isDirectionPositive());
    }
  }
}

}  // namespace
