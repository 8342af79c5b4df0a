// Picking parts of SMD outlines: the nearest segment, vertex and poly, with
// exact distances, checked against dense samples of the drawn outline.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include <vc/core/exception.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>

namespace {

using Pt = vcVector<2>;

vcSMDGDPoly roundedSquare() {
  vcSMDGDPoly p("square");
  for (const Pt& c : {Pt(0, 0), Pt(10, 0), Pt(10, 10), Pt(0, 10)}) p << vcSMDGDPolyVertex(c, 2.0, 0.5, 0.5, -1);
  p.close();
  return p;
}

// An open outline with an arc segment and a rounded corner.
vcSMDGDPoly openWithArc() {
  vcSMDGDPoly p("open");
  p << vcSMDGDPolyVertex(Pt(20, 0), 0.5, 0.5, -1);
  p << vcSMDGDPolyVertex(Pt(30, 0), 1.5, 0.5, 0.5, -1);
  p << vcSMDGDPolyVertex(Pt(30, 12), 0.0, vcDegree(120.0), 0.5, 0.5, -1, vcDimTol());
  return p;
}

// Points every step along the drawn outline, each tagged with its segment
// (-1 for a rounding arc).
struct Sample {
  Pt at;
  long segment;
};

void sampleArc(const vc2SegmentArc& a, long segment, double step, std::vector<Sample>& out) {
  const int n = std::max(2, static_cast<int>(a.length() / step));
  for (int i = 0; i <= n; ++i) out.push_back({a.segPoint(double(i) / n), segment});
}

std::vector<Sample> samples(const vcSMDGDPoly& p, double step) {
  std::vector<Sample> out;
  const long n = p.numVertices();
  for (long s = p.isOpen() ? 1 : 0; s < n; ++s) {
    if (std::abs(p.vertex(s).segmentAngleSpan().toDouble()) <= 1e-15) {
      const vc2SegmentLine l = vcSMDGDPolyPrivate::roundedLineSegment_(p, static_cast<int>(s));
      const int k = std::max(2, static_cast<int>(l.length() / step));
      for (int i = 0; i <= k; ++i) out.push_back({l.p1() + (l.p2() - l.p1()) * (double(i) / k), s});
    } else {
      sampleArc(vcSMDGDPolyPrivate::roundedArcSegment_(p, static_cast<int>(s)), s, step, out);
    }
  }
  for (long v = 0; v < n; ++v)
    if (p.roundingSpans()[static_cast<std::size_t>(v)] != 0.0)
      sampleArc(vcSMDGDPolyPrivate::roundedArcVertex_(p, static_cast<int>(v)), -1, step, out);
  return out;
}

}  // namespace

TEST(SMDPolyPick, NearestPartsAgreeWithDenseSamples) {
  const double step = 0.002;
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-5.0, 40.0);
  for (const vcSMDGDPoly& poly : {roundedSquare(), openWithArc(), vcSMDGDPoly::circle(4.0, Pt(5, 5))}) {
    const std::vector<Sample> dense = samples(poly, step);
    for (int q = 0; q < 40; ++q) {
      const Pt p(u(rng), u(rng) * 0.5);
      const vcSMDPolyPick pick = poly.nearestPart(p);
      double outline = 1e300;
      std::vector<double> perSegment(static_cast<std::size_t>(poly.numVertices()), 1e300);
      for (const Sample& s : dense) {
        const double d = (s.at - p).len();
        outline = std::min(outline, d);
        if (s.segment >= 0) perSegment[static_cast<std::size_t>(s.segment)] = std::min(perSegment[s.segment], d);
      }
      // Samples lie on the outline: never nearer than the exact distance, and
      // at most half a step farther.
      EXPECT_LE(pick.distance, outline + 1e-12);
      EXPECT_GE(pick.distance, outline - step);
      EXPECT_EQ(pick.poly, 0);
      ASSERT_GE(pick.segment, 0);
      EXPECT_NEAR(pick.segmentDistance, perSegment[static_cast<std::size_t>(pick.segment)], step);
      for (std::size_t s = 0; s < perSegment.size(); ++s) EXPECT_GE(perSegment[s], pick.segmentDistance - step);
      double vertex = 1e300;
      for (const vcSMDGDPolyVertex& v : poly.vertices()) vertex = std::min(vertex, (v.point() - p).len());
      EXPECT_EQ(pick.vertexDistance, vertex);
      EXPECT_EQ((poly.vertex(pick.vertex).point() - p).len(), vertex);
    }
  }
}

TEST(SMDPolyPick, ModelPicksThePolyWithTheNearestOutline) {
  vcSMDGDModel model;
  EXPECT_EQ(model.nearestPart(Pt(0, 0)).poly, -1);
  model << roundedSquare() << openWithArc();
  const vcSMDPolyPick inSquare = model.nearestPart(Pt(1, 5));
  EXPECT_EQ(inSquare.poly, 0);
  EXPECT_EQ(inSquare.segment, 0);  // the left side, from the last vertex to the first
  EXPECT_DOUBLE_EQ(inSquare.distance, 1.0);
  const vcSMDPolyPick nearArc = model.nearestPart(Pt(25, -3));
  EXPECT_EQ(nearArc.poly, 1);
  EXPECT_EQ(nearArc.segment, 1);
  EXPECT_DOUBLE_EQ(nearArc.distance, 3.0);
  EXPECT_THROW(model.nearestPart(Pt(INFINITY, 0)), vcBadArgument);
  EXPECT_EQ(vcSMDGDPoly("empty").nearestPart(Pt(0, 0)).vertex, -1);
}
