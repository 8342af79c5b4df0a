// SMD direction arrows as pixels: each glyph sits at the middle of its
// segment, points along the outline's travel (against it when the direction
// is reversed), and keeps its plus sign on the side of its positive arm, the
// inside of a positive outline, under plain and mirroring transforms.
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
constexpr double kSize = 8.0;
constexpr double kArcSpan = 40.0;  // degrees, on the side from (40, 0) to (40, 40)

// A square of side 40 turning toward +angle, its right side an outward arc.
vcSMDGDPoly outline(bool reversed) {
  vcSMDGDPoly p;
  p << vcSMDGDPolyVertex(V(0, 0), 0.5, 0.5, -1) << vcSMDGDPolyVertex(V(40, 0), 0.5, 0.5, -1)
    << vcSMDGDPolyVertex(V(40, 40), 0, vcDegree(kArcSpan), 0.5, 0.5, -1, vcDimTol())
    << vcSMDGDPolyVertex(V(0, 40), 0.5, 0.5, -1);
  p.close();
  if (reversed) p.toggleDirection();
  p.positiveArrowColor(vcColor::greenColor());
  p.negativeArrowColor(vcColor::redColor());
  return p;
}

struct Expected {
  V tip;      // the segment's middle, tablet coordinates
  V forward;  // unit direction the arrow should point, tablet coordinates
};

// Worked out from the vertices alone: a chord's middle, or for the arc the
// chord's middle pushed out by the sagitta (the arc turns toward +angle, so
// it bulges to the right of its chord).
std::vector<Expected> expectedArrows(const vcSMDGDPoly& p, const vcXform<2>& x) {
  std::vector<Expected> out;
  const long n = p.numVertices();
  for (long s = 0; s < n; ++s) {
    const V a = p.vertex((s + n - 1) % n).point(), b = p.vertex(s).point();
    const V d = b - a;
    V mid = (a + b) * 0.5;
    const double span = p.vertex(s).segmentAngleSpan().toDouble();
    if (span != 0.0) {
      const double sagitta = 0.5 * d.len() * std::tan(span * std::numbers::pi / 720.0);
      mid = mid + V(d.y(), -d.x()) * (sagitta / d.len());
    }
    V forward = x.mapVector(d).unit();
    if (p.isDirectionReversed()) forward = forward * -1.0;
    out.push_back({x * mid, forward});
  }
  return out;
}

V pixelCenter(long px, long py) { return V(static_cast<double>(px) + 0.5, static_cast<double>(py) + 0.5); }

struct Glyph {
  std::vector<V> green, red;
  bool plusFound = false;
  V plus;  // centre of the plus sign: a green pixel with green on all four sides
};

Glyph glyphNear(const vcPixels& px, const V& tip) {
  Glyph g;
  const double reach = 1.6 * kSize;
  const auto green = [&](long x, long y) { return px.at(x, y) == kGreen; };
  for (long y = 1; y + 1 < px.height; ++y)
    for (long x = 1; x + 1 < px.width; ++x) {
      const V c = pixelCenter(x, y);
      if (c.distance(tip) > reach) continue;
      if (px.at(x, y) == kRed) g.red.push_back(c);
      if (!green(x, y)) continue;
      g.green.push_back(c);
      if (green(x - 1, y) && green(x + 1, y) && green(x, y - 1) && green(x, y + 1)) g.plusFound = true, g.plus = c;
    }
  return g;
}

double cross(const V& a, const V& b) { return a.x() * b.y() - a.y() * b.x(); }

TEST(SMDArrows, SitAtSegmentMiddlesPointAlongTravelAndKeepThePlusWithThePositiveArm) {
  struct Case {
    const char* name;
    vcXform<2> x;
    bool reversed;
  };
  const std::vector<Case> cases = {
      {"placed", vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(40, 40)), false},
      {"placed, reversed", vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(40, 40)), true},
      {"mirrored", vcXform<2>(vcMatrix<2>(-1, 0, 0, 1), V(120, 40)), false},
      {"mirrored, reversed", vcXform<2>(vcMatrix<2>(-1, 0, 0, 1), V(120, 40)), true},
      {"turned and mirrored", vcXform<2>(vcMatrix<2>(0, 1, 1, 0), V(40, 40)), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const vcSMDGDPoly p = outline(c.reversed);
    vcCairoScope scope(vcPair<long>(160, 160));
    vcUITablet tablet(&scope, nullptr);
    tablet.visible(true);
    p.drawDirectionArrows(c.x, tablet, kSize);
    const vcPixels px(scope);
    const vcXform<2> back = c.x.inverse();

    for (const Expected& e : expectedArrows(p, c.x)) {
      const Glyph g = glyphNear(px, e.tip);
      ASSERT_GT(g.green.size(), 8u);
      ASSERT_GT(g.red.size(), 8u);
      // Nothing ahead of the tip; the farthest-forward pixel is the tip.
      double front = -1e9;
      for (const auto* set : {&g.green, &g.red})
        for (const V& q : *set) front = std::max(front, (q - e.tip).dot(e.forward));
      EXPECT_NEAR(front, 0.0, 1.5) << "tip at " << e.tip.x() << ", " << e.tip.y();

      // The plus sign lies beside the green arm, on the side that is inside
      // exactly when the outline's direction is positive.
      ASSERT_TRUE(g.plusFound);
      double armSide = 0.0;
      for (const V& q : g.green)
        if (q.distance(g.plus) > 1.5) armSide += cross(e.forward, q - e.tip);
      EXPECT_GT(cross(e.forward, g.plus - e.tip) * armSide, 0.0);
      EXPECT_EQ(vcSMDGDPolyPrivate::inside(p, back * g.plus), p.isDirectionPositive());
      double redSide = 0.0;
      for (const V& q : g.red) redSide += cross(e.forward, q - e.tip);
      EXPECT_LT(redSide * armSide, 0.0);
    }
  }
}

}  // namespace
