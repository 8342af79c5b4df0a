#include <vc/wrfm/arc.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <sstream>

#include <vc/core/archive.h>
#include <vc/core/ellipse.h>
#include <vc/core/exception.h>

namespace {

using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;

// Random arcs over twelve orders of magnitude, with spans near 0, near a
// full turn either way, and in between.
struct ArcGen {
  std::mt19937 rng;
  std::uniform_real_distribution<double> unit{0.0, 1.0};
  explicit ArcGen(unsigned seed) : rng(seed) {}
  double u() { return unit(rng); }
  double size() { return std::pow(10.0, -6 + 12 * u()); }
  double span() {
    const double sign = u() < 0.5 ? -1.0 : 1.0;
    switch (rng() % 4) {
      case 0:
        return sign * std::pow(10.0, -6 * u());  // near 0
      case 1:
        return sign * (360.0 - std::pow(10.0, -6 * u()));  // near a full turn
      case 2:
        return sign * 360.0;
      default:
        return sign * (1 + 358 * u());
    }
  }
  vc2SegmentArc arc(double size) {
    return vc2SegmentArc(V(size * (u() - 0.5), size * (u() - 0.5)), size * (0.05 + u()), vcDegree(720 * u() - 360),
                         vcDegree(span()));
  }
  // Rotation by any angle times scale, mirrored or not, then shifted.
  vcXform<2> similarity(double size, bool mirror) {
    const double a = 2 * kPi * u(), k = std::pow(10.0, 2 * u() - 1);
    const vcMatrix<2> m = vcMatrix<2>::rotation(vcRadian(a)) * vcMatrix<2>::scale(k, mirror ? -k : k);
    return vcXform<2>(m, V(size * (u() - 0.5), size * (u() - 0.5)));
  }
  vcXform<2> affine(double size) {
    vcMatrix<2> m;
    do m = vcMatrix<2>(0.3 + u(), u() - 0.5, u() - 0.5, (u() < 0.5 ? -1 : 1) * (0.3 + u()));
    while (std::fabs(m.determinant()) < 0.05);
    return vcXform<2>(m, V(size * (u() - 0.5), size * (u() - 0.5)));
  }
};

// The arc's own extent: what "1e-9 of the size" is measured against.
double extent(const vc2SegmentArc& a) {
  return std::fmax(a.radius(a.startAngle()), std::fmax(a.center().len(), a.radius(a.midAngle())));
}

std::vector<unsigned char> store(vc2SegmentArc a) {
  vcBufferArchive out(vcArchive::eStore);
  out || a;
  return out.bytes();
}

void expectSameArc(const vc2SegmentArc& a, const vc2SegmentArc& b) {
  EXPECT_EQ(a.localCenter(), b.localCenter());
  EXPECT_EQ(a.localRadius(), b.localRadius());
  EXPECT_EQ(a.localStartAngle(), b.localStartAngle());
  EXPECT_EQ(a.localAngleSpan(), b.localAngleSpan());
  EXPECT_EQ(a.xform(), b.xform());
}

}  // namespace

TEST(SegmentArcTest, TwoPointConstructionFindsCenterAndSweepsTheAskedWay) {
  const vc2SegmentArc ccw(V(1, 0), V(-1, 0), vcDegree(180));
  EXPECT_EQ(ccw.center(), V(0, 0));
  EXPECT_EQ(ccw.localRadius(), 1.0);
  EXPECT_EQ(ccw.startAngle().toDouble(), 0.0);
  EXPECT_NEAR(ccw.midPoint().y(), 1.0, 1e-15);
  const vc2SegmentArc cw(V(1, 0), V(-1, 0), vcDegree(-180));
  EXPECT_EQ(cw.center(), V(0, 0));
  EXPECT_NEAR(cw.midPoint().y(), -1.0, 1e-15);
  for (double bad : {0.5e-15, -0.5e-15, 361.0, -360.5})
    EXPECT_THROW(vc2SegmentArc(V(0, 0), V(1, 0), vcDegree(bad)), vcShapesError::DegenerateShape) << bad;
  EXPECT_NO_THROW(vc2SegmentArc(V(0, 0), V(1, 0), vcDegree(360)));
  EXPECT_NO_THROW(vc2SegmentArc(V(0, 0), V(1, 0), vcDegree(-360)));
  EXPECT_THROW(vc2SegmentArc(V(2, 2), V(2, 2), vcDegree(90)), vcShapesError::DegenerateShape);
  EXPECT_THROW(vc2SegmentArc(V(0, 0), 0.0, vcDegree(0), vcDegree(90)), vcShapesError::DegenerateShape);

  // Random chords and spans: the arc runs from p1 to p2 with the span asked for.
  ArcGen g(3);
  for (int i = 0; i < 1000; ++i) {
    const double size = g.size();
    const V p1(size * g.u(), size * g.u()), p2(size * g.u(), size * g.u());
    double span = g.span();
    if (std::fabs(span) >= 360.0 - 1e-3 || std::fabs(span) < 1e-3) span = 1 + 358 * g.u();
    const vc2SegmentArc a(p1, p2, vcDegree(span));
    const double tol = 1e-9 * std::fmax(size, extent(a));
    EXPECT_LE(a.p1().distance(p1), tol);
    EXPECT_LE(a.p2().distance(p2), tol);
    EXPECT_DOUBLE_EQ(a.angleSpan().toDouble(), span);
  }
}

TEST(SegmentArcTest, AngleTestsHonourTheEndsAndFullTurns) {
  const vc2SegmentArc full(V(0, 0), 2.0, vcDegree(30), vcDegree(360));
  for (double a : {-180.0, 0.0, 29.0, 30.0, 359.0}) EXPECT_TRUE(full.validAngle(vcDegree(a), false));
  const vc2SegmentArc quarter(V(0, 0), 2.0, vcDegree(350), vcDegree(90));  // 350 through 80
  struct Row {
    double angle;
    bool inclusive, expected;
  } rows[] = {{0, false, true},  {350, true, true}, {350, false, false}, {80, true, true},        {80, false, false},
              {-10, true, true}, {81, true, false}, {349, true, false},  {80 + 1e-12, true, true}};
  for (const Row& r : rows) EXPECT_EQ(quarter.validAngle(vcDegree(r.angle), r.inclusive), r.expected) << r.angle;
  const vc2SegmentArc back(V(0, 0), 2.0, vcDegree(80), vcDegree(-90));  // the same points, clockwise
  for (const Row& r : rows) EXPECT_EQ(back.validAngle(vcDegree(r.angle), r.inclusive), r.expected) << r.angle;
  EXPECT_FALSE(quarter.inRange(V(0, 0), true));
  EXPECT_TRUE(quarter.inRange(V(5, 0.1), false));
  // The closest point to the center is the point at local angle 0.
  EXPECT_EQ(quarter.closestPoint(V(0, 0)), V(2, 0));
}

TEST(SegmentArcTest, ClosestPointIsTheArgMinOverDenseSamples) {
  ArcGen g(7);
  for (int i = 0; i < 300; ++i) {
    const double size = g.size();
    vc2SegmentArc a = g.arc(size);
    if (i % 3 == 1) a = g.similarity(size, true) * a;
    if (i % 3 == 2) a = g.affine(size) * a;
    const V p(size * (3 * g.u() - 1.5), size * (3 * g.u() - 1.5));
    double best = INFINITY;
    for (int k = 0; k <= 20000; ++k) best = std::fmin(best, a.segPoint(k / 20000.0).distance(p));
    const double tol = 1e-9 * std::fmax(size, extent(a));
    EXPECT_LE(a.distToPoint(p), best + tol) << i;
    EXPECT_GE(a.distToPoint(p), best - std::fmax(tol, 1e-3 * best + 2e-4 * a.length())) << i;
  }
}

// A mirror (or the half turn -I, which is not one) maps the arc onto an arc
// with the same swept points and the same length; the span changes sign only
// under a mirror.
TEST(SegmentArcTest, MappedArcsKeepTheirPointSetLengthAndOrientation) {
  ArcGen g(13);
  for (int i = 0; i < 400; ++i) {
    const double size = g.size();
    const vc2SegmentArc a = g.arc(size);
    const bool mirror = i % 2 == 0;
    vcXform<2> x = g.similarity(size, mirror);
    if (i % 10 == 1) x = vcXform<2>(vcMatrix<2>(-1, 0, 0, -1), V(0, 0));
    const vc2SegmentArc m = x * a;
    double scale = std::sqrt(std::fabs(x.determinant()));
    const double tol = 1e-9 * std::fmax(extent(a), extent(m));
    EXPECT_NEAR(m.length(), a.length() * scale, 1e-12 * m.length());
    EXPECT_EQ(m.angleSpan().toDouble(), mirror ? -a.angleSpan().toDouble() : a.angleSpan().toDouble());
    for (int k = 0; k <= 64; ++k) {
      EXPECT_LE(m.distToPoint(x * a.segPoint(k / 64.0)), tol);
      EXPECT_LE(a.distToPoint(x.inverse() * m.segPoint(k / 64.0)), tol / scale);
    }
  }
  // A shear close to a half turn is no mirror either.
  const vc2SegmentArc q(V(0, 0), 1.0, vcDegree(0), vcDegree(90));
  const vc2SegmentArc sheared = vcXform<2>(vcMatrix<2>(-1, 1e-3, 0.2, -1), V(0, 0)) * q;
  EXPECT_GT(sheared.angleSpan().toDouble(), 0.0);
  EXPECT_LT(std::fabs(sheared.angleSpan().toDouble() - 90.0), 15.0);
}

TEST(SegmentArcTest, LengthIsTheLimitOfChordSums) {
  ArcGen g(17);
  for (int i = 0; i < 60; ++i) {
    const double size = g.size();
    vc2SegmentArc a = g.arc(size);
    if (i % 2) a = g.affine(size) * a;
    const double length = a.length();
    double previous = 0.0, sum = 0.0;
    for (int n : {64, 512, 4096, 32768}) {
      // Each chord end carries a rounding error of about 1e-16 of the arc's extent.
      const double noise = n * 1e-15 * extent(a);
      sum = 0.0;
      for (int k = 0; k < n; ++k) sum += a.segPoint(double(k) / n).distance(a.segPoint(double(k + 1) / n));
      EXPECT_GE(sum, previous - noise) << i;  // refining never shortens
      EXPECT_LE(sum, length * (1 + 1e-12) + noise) << i;
      previous = sum;
    }
    EXPECT_NEAR(sum, length, 1e-7 * length + 32768 * 1e-15 * extent(a)) << i;
  }
}

// Lines and arcs built through a common point of an arc, crossing at any
// angle, down to touching and nearly touching: never reported disjoint, and
// every point reported lies on both.
TEST(SegmentArcTest, PrimitivesThatMeetAnArcAreFoundOnBoth) {
  ArcGen g(23);
  for (int i = 0; i < 3000; ++i) {
    const double size = g.size();
    vc2SegmentArc a = g.arc(size);
    if (i % 5 == 3) a = g.similarity(size, true) * a;
    const double t = 0.05 + 0.9 * g.u();
    const V x = a.segPoint(t);
    const double tol = 1e-9 * std::fmax(size, extent(a));
    const int kind = i % 4;
    if (kind < 2) {
      // A line segment through x: any direction, or the tangent turned by a hair.
      double dir = 360 * g.u();
      if (kind == 1) dir = a.direction(t).toDouble() + (g.u() < 0.3 ? 0.0 : std::pow(10.0, -8 * g.u()));
      const V d(std::cos(dir * kPi / 180), std::sin(dir * kPi / 180));
      const double len = extent(a) * (0.1 + g.u()), s = 0.05 + 0.9 * g.u();
      const vc2SegmentLine line(x - d * (len * s), x + d * (len * (1 - s)));
      const auto pts = a.intersection(line, false);
      ASSERT_FALSE(pts.empty()) << i;
      for (const V& p : pts) {
        EXPECT_LE(a.distToPoint(p), tol) << i;
        EXPECT_LE(line.distToPoint(p), tol) << i;
      }
    } else {
      // An arc through x, crossing or touching from outside or inside.
      const V radial = (x - a.center()) / (x - a.center()).len();
      const double r2 = extent(a) * (0.05 + g.u());
      V c2(x.x() + r2 * (2 * g.u() - 1), x.y() + r2 * (2 * g.u() - 1));
      if (kind == 3) c2 = g.u() < 0.5 ? x + radial * r2 : x - radial * std::fmin(r2, 0.5 * a.radius(a.startAngle()));
      const V toX = x - c2;
      const double span2 = g.u() < 0.5 ? 360.0 : (20 + 300 * g.u()) * (g.u() < 0.5 ? -1 : 1);
      const double at = std::atan2(toX.y(), toX.x()) * 180 / kPi - span2 * (0.1 + 0.8 * g.u());
      vc2SegmentArc b(c2, toX.len(), vcDegree(at), vcDegree(span2));
      if (i % 8 == 7) {
        // Both under one shear: the pair is still two circles in a's frame.
        const vcXform<2> shear = g.affine(size);
        a = shear * a;
        b = shear * b;
      }
      const double tol2 = 1e-9 * std::fmax(extent(a), extent(b));
      const auto pts = a.intersection(b, false);
      ASSERT_FALSE(pts.empty()) << i;
      for (const V& p : pts) {
        EXPECT_LE(a.distToPoint(p), tol2) << i;
        EXPECT_LE(b.distToPoint(p), tol2) << i;
      }
    }
  }
}

// Arbitrary pairs, elliptical ones included: whatever is reported is on both.
TEST(SegmentArcTest, EveryReportedIntersectionLiesOnBothPrimitives) {
  ArcGen g(29);
  int found = 0;
  for (int i = 0; i < 600; ++i) {
    const double size = g.size();
    vc2SegmentArc a = g.arc(size), b = g.arc(size);
    if (i % 3 == 1) b = g.affine(size) * b;
    if (i % 3 == 2) a = g.affine(size) * a;
    const vc2SegmentLine l(V(size * (g.u() - 0.5), size * (g.u() - 0.5)), V(size * g.u(), size * g.u()));
    const double tol = 1e-9 * std::fmax(extent(a), extent(b));
    for (const V& p : a.intersection(b, false)) {
      ++found;
      EXPECT_LE(a.distToPoint(p), tol) << i;
      EXPECT_LE(b.distToPoint(p), tol) << i;
    }
    for (const V& p : a.intersection(l, i % 2 == 0)) {
      ++found;
      EXPECT_LE(a.distToPoint(p), tol) << i;
      EXPECT_LE(l.distToPoint(p), tol) << i;
    }
  }
  EXPECT_GT(found, 200);
}

TEST(SegmentArcTest, TouchingConcentricAndEndPointCases) {
  const vc2SegmentArc unit(V(0, 0), 1.0, vcDegree(0), vcDegree(360));
  // Touching line and circles give their one point.
  const auto line = unit.intersection(vc2SegmentLine(V(-3, 1), V(3, 1)), false);
  ASSERT_EQ(line.size(), 1u);
  EXPECT_NEAR(line[0].x(), 0.0, 1e-15);
  const auto outside =
      unit.intersection(vc2SegmentArc(V(3e6 + 2, 0) - V(3e6, 0), 1.0, vcDegree(0), vcDegree(360)), false);
  ASSERT_EQ(outside.size(), 1u);
  EXPECT_EQ(outside[0], V(1, 0));
  EXPECT_TRUE(unit.intersection(vc2SegmentArc(V(0, 0), 1.0, vcDegree(0), vcDegree(90)), false).empty());
  // Arcs that share an end meet there unless the ends are excluded.
  const vc2SegmentArc left(V(0, 0), V(2, 0), vcDegree(90)), right(V(2, 0), V(4, 0), vcDegree(-90));
  EXPECT_EQ(left.intersection(right, false).size(), 1u);
  EXPECT_TRUE(left.intersection(right, true).empty());
}

TEST(SegmentArcTest, EllipseArcsKeepTheirSpanAndPoints) {
  const vcEllipse e(V(5, -2), V(4, 1.5), vcRadian(0.7));
  const vc2SegmentArc full{vcEllipseArc(e, vcRadian(0.3), vcRadian(2 * kPi))};
  EXPECT_DOUBLE_EQ(full.localAngleSpan().toDouble(), 360.0);
  EXPECT_NEAR(full.length(), e.perimeter(), 1e-9 * e.perimeter());
  for (double span : {-1.2, 2.5, -2 * kPi}) {
    const vcEllipseArc core(e, vcRadian(0.4), vcRadian(span));
    for (const vc2SegmentArc& a : {vc2SegmentArc(core), vc2SegmentArc(vcEllipseArc2(core))}) {
      EXPECT_LE(a.p1().distance(core.startPoint()), 1e-12);
      EXPECT_LE(a.p2().distance(core.endPoint()), 1e-12);
      EXPECT_NEAR(a.length(), core.perimeter(), 1e-9);
      for (int k = 0; k <= 16; ++k) EXPECT_LE(core.distanceToPoint(a.segPoint(k / 16.0)), 1e-9);
      EXPECT_LE(a.ellipseArc().startPoint().distance(core.startPoint()), 1e-12);
      EXPECT_LE(a.ellipseArc2().endPoint().distance(core.endPoint()), 1e-12);
    }
  }
}

TEST(SegmentArcTest, PrintsInClientTerms) {
  std::ostringstream os;
  os << vc2SegmentArc(V(1, 2), 3.0, vcDegree(90), vcDegree(-45));
  EXPECT_EQ(os.str(), "center=1 2\nradius=3\nstartAngle=90\nangleSpan=-45\n\n");
  const vc2SegmentArc a(V(0, 0), V(2, 0), vcDegree(180));
  EXPECT_NEAR(a.centerOfMass().y(), -2 / kPi, 1e-15);  // the half circle below the chord
}

TEST(SegmentArcTest, ArchiveRoundTripsEveryVersionAndRejectsBadInput) {
  const vc2SegmentArc a =
      vcXform<2>(vcMatrix<2>(0, -2, 2, 0), V(3, 4)) * vc2SegmentArc(V(1, 1), 2.5, vcDegree(10), vcDegree(-200));
  const std::vector<unsigned char> bytes = store(a);
  ASSERT_EQ(bytes[0], 1);
  vc2SegmentArc back;
  vcBufferArchive in(bytes);
  in >> back;
  expectSameArc(back, a);
  EXPECT_TRUE(back == a);

  // Version 0 has no transform and reads as the identity.
  std::vector<unsigned char> v0(bytes.begin(), bytes.begin() + 1 + 40);
  v0[0] = 0;
  vc2SegmentArc old = a;
  vcBufferArchive oldIn(v0);
  oldIn || old;
  EXPECT_EQ(old.xform(), vcXform<2>::I);
  EXPECT_EQ(old.localRadius(), 2.5);

  auto expectRejected = [&](const std::vector<unsigned char>& b) {
    vc2SegmentArc target = a;
    vcBufferArchive ar(b);
    EXPECT_THROW(ar || target, vcException);
    expectSameArc(target, a);
  };
  std::vector<unsigned char> v2 = bytes;
  v2[0] = 2;
  try {
    vc2SegmentArc target;
    vcBufferArchive ar(v2);
    ar || target;
    ADD_FAILURE() << "version 2 accepted";
  } catch (const vcArchive::UnknownVersion& e) {
    EXPECT_EQ(e.source(), "dispc/wrfm/arc");
    EXPECT_EQ(e.line(), 147);
  }
  expectRejected(v2);
  for (std::size_t n = 0; n < bytes.size(); n += 7)
    expectRejected(std::vector<unsigned char>(bytes.begin(), bytes.begin() + n));
  std::vector<unsigned char> zeroRadius = bytes;
  for (int k = 0; k < 8; ++k) zeroRadius[17 + k] = 0;
  expectRejected(zeroRadius);
  std::vector<unsigned char> singular = store(vc2SegmentArc());
  for (int k = 0; k < 32; ++k) singular[41 + k] = 0;  // all four matrix elements
  expectRejected(singular);
}
