#include <vc/wrfm/smdpoly.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include <vc/core/archive.h>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
using P = vcSMDGDPolyPrivate;
using Vx = vcSMDGDPolyVertex;
constexpr double kPi = std::numbers::pi;

// Exposes the protected measures that models and drawing use.
struct Poly : vcSMDGDPoly {
  Poly() = default;
  Poly(const vcSMDGDPoly& p) : vcSMDGDPoly(p) {}
  using vcSMDGDPoly::backwardPercExtension_;
  using vcSMDGDPoly::checkExtensions_;
  using vcSMDGDPoly::extensionPerimeter_;
  using vcSMDGDPoly::forwardPercExtension_;
  using vcSMDGDPoly::intersection_;
  using vcSMDGDPoly::orientation_;
  using vcSMDGDPoly::setExtensions_;
};

Vx vx(double x, double y, double radius = 0, double span = 0, long label = -1, vcDimTol tol = vcDimTol()) {
  return Vx(V(x, y), radius, vcDegree(span), 0.5, 0.5, label, tol);
}

vcSMDGDPoly make(const std::vector<Vx>& vs, bool closed) {
  vcSMDGDPoly p;
  p.vertices(vs);
  if (closed) p.close();
  return p;
}

// A square of side 10 turning toward +angle (ccw) or -angle, radius r at every corner.
vcSMDGDPoly square(double r, bool ccw = true) {
  std::vector<Vx> vs = {vx(0, 0, r), vx(10, 0, r), vx(10, 10, r), vx(0, 10, r)};
  if (!ccw) std::swap(vs[1], vs[3]);
  return make(vs, true);
}

// The edit throws E and leaves the poly's archive bytes and value as they were.
template <class E>
void expectRefused(vcSMDGDPoly& p, const std::function<void(vcSMDGDPoly&)>& edit) {
  const auto before = vc_test::archiveBytes(p);
  const vcSMDGDPoly copy = p;
  EXPECT_THROW(edit(p), E);
  EXPECT_EQ(vc_test::archiveBytes(p), before);
  EXPECT_EQ(p, copy);
}

}  // namespace

// The rounding centre lies inside the corner: both turning senses give the
// tangent points 2 before and after each corner, +-90 degree spans and the
// perimeter 4 * 6 + 2 pi 2.
TEST(SMDPolyTest, RoundedSquareHasTangentRoundingsOnTheInnerSide) {
  for (bool ccw : {true, false}) {
    const vcSMDGDPoly p = square(2, ccw);
    for (int v = 0; v < 4; ++v) {
      const V at = p.vertex(v).point(), in = p.vertex(v - 1, true).point(), out = p.vertex(v + 1, true).point();
      EXPECT_NEAR(p.roundingStartPoints()[v].distance(at + (in - at).unit() * 2), 0, 1e-12);
      EXPECT_NEAR(p.roundingEndPoints()[v].distance(at + (out - at).unit() * 2), 0, 1e-12);
      EXPECT_NEAR(p.roundingSpans()[v], ccw ? 90 : -90, 1e-12);
      const V c = P::roundPoint(p, v);
      EXPECT_NEAR(c.distance(V(5, 5)), std::hypot(3, 3), 1e-12) << "centre inside the square";
    }
    EXPECT_NEAR(P::perimeter(p, 0.0), 24 + 4 * kPi, 1e-12);
    EXPECT_NEAR(P::perimeter(p, vcXform<2>(vcMatrix<2>(3, 0, 0, 3), V(1, 2))), 3 * (24 + 4 * kPi), 1e-9);
    EXPECT_EQ(p.isDirectionPositive(), ccw);
  }
}

// A rounding may take half of an interior side but all of a free end side;
// the radius of a free end vertex is ignored.
TEST(SMDPolyTest, RoundingLimitsFollowInteriorAndFreeSegments) {
  vcSMDGDPoly closed = square(0);
  expectRefused<vcSMDGDPoly::invalidRounding>(closed, [](vcSMDGDPoly& p) { p.replaceVertex(1, vx(10, 0, 6)); });
  const vcSMDGDPoly open = make({vx(0, 0, 5), vx(10, 0, 6), vx(10, 10, 3)}, false);
  EXPECT_NEAR(open.roundingSpans()[1], 90, 1e-12);
  EXPECT_EQ(open.roundingSpans()[0], 0);
  EXPECT_EQ(open.roundingStartPoints()[2], V(10, 10));
  EXPECT_NEAR(P::perimeter(open, 0.0), 4 + 4 + 3 * kPi, 1e-12);
}

// Index rules: wrapping, segment 0 of an open poly, insertion bounds.
TEST(SMDPolyTest, IndexRulesHoldForVerticesAndSegments) {
  vcSMDGDPoly p;
  EXPECT_THROW(p.vertex(0), vcSMDGDPoly::invalidIndex);
  EXPECT_THROW(p.insertVertex(0, vx(0, 0)), vcSMDGDPoly::invalidIndex);
  p.insertVertex(-1, vx(1, 1));
  EXPECT_EQ(p.vertex(0).point(), V(1, 1));
  p << vx(5, 1) << vx(5, 4);
  EXPECT_EQ(p.vertex(-1, true).point(), V(5, 4));
  EXPECT_EQ(p.vertex(3, true).point(), V(1, 1));
  EXPECT_EQ(p.vertex(-3, true).point(), V(1, 1));
  EXPECT_THROW(p.vertex(3), vcSMDGDPoly::invalidIndex);
  EXPECT_EQ(p.numSegments(), 2);
  EXPECT_THROW(p.segmentDimension(0), vcSMDGDPoly::invalidIndex);
  p.close();
  EXPECT_EQ(p.numSegments(), 3);
  EXPECT_DOUBLE_EQ(p.segmentDimension(0).nomDim(), 5.0);
  expectRefused<vcSMDGDPoly::invalidIndex>(p, [](vcSMDGDPoly& q) { q.deleteVertex(3); });
  expectRefused<vcSMDGDPoly::invalidVertices>(p, [](vcSMDGDPoly& q) { q.deleteAllVertices(); });
  expectRefused<vcSMDGDPoly::invalidVertices>(p, [](vcSMDGDPoly& q) { q.vertices({vx(0, 0)}); });
  p.open();
  p.deleteAllVertices();
  EXPECT_EQ(p.numVertices(), 0);
  EXPECT_THROW(p.close(), vcSMDGDPoly::invalidVertices);
}

// Degenerate segments are refused with the poly's own error, not a shape error.
TEST(SMDPolyTest, DegenerateSegmentsAreInvalidVertices) {
  vcSMDGDPoly p = square(0);
  expectRefused<vcSMDGDPoly::invalidVertices>(p, [](vcSMDGDPoly& q) { q.insertVertex(0, vx(0, 0)); });
  expectRefused<vcSMDGDPoly::invalidVertices>(p, [](vcSMDGDPoly& q) { q.replaceVertex(1, vx(10, 0, 0, 360)); });
  expectRefused<vcSMDGDPoly::invalidVertices>(p, [](vcSMDGDPoly& q) { q.replaceVertex(1, vx(NAN, 0)); });
  expectRefused<vcSMDGDPoly::crossingSegments>(p, [](vcSMDGDPoly& q) { q.replaceVertex(1, vx(0, 12)); });
}

// Factories, labels and the rectilinear family.
TEST(SMDPolyTest, FactoriesGiveTheirShapesAndShapeTests) {
  const vcSMDGDPoly r = vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  const V corners[] = {V(2, 1), V(-2, 1), V(-2, -1), V(2, -1)};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.vertex(i).point(), corners[i]);
    EXPECT_EQ(r.vertex(i).subModelLabel(), i);
  }
  EXPECT_EQ(r.subModelLabels(), (std::vector<long>{0, 1, 2, 3}));
  EXPECT_EQ(r.name(), "poly");
  EXPECT_TRUE(P::isRectangular(r));
  EXPECT_EQ(P::rectangle(r), vcRect(-2, -1, 4, 2));
  EXPECT_DOUBLE_EQ(P::rectLength(r).nomDim(), 4);
  EXPECT_DOUBLE_EQ(P::rectWidth(r).nomDim(), 2);
  const vcSMDGDPoly turned = vc2Rigid(vcDegree(90), V(0, 0)) * r;
  EXPECT_NEAR(P::rectLength(turned).nomDim(), 2, 1e-12) << "the length is the more horizontal side";
  EXPECT_NEAR(P::rectWidth(turned).nomDim(), 4, 1e-12);
  EXPECT_FALSE(vcSMDGDPoly::isCircle(r));
  EXPECT_FALSE(P::isRectangular(square(1)));
  EXPECT_EQ(P::rectDim(square(1), 0).nomDim(), -1);

  const vcSMDGDPoly t = vcSMDGDPoly::triangle(6, 3, V(1, 1));
  EXPECT_EQ(t.vertex(0).point(), V(1, 3));
  EXPECT_FALSE(P::isRectilinear(t));

  const vcSMDGDPoly c = vcSMDGDPoly::circle(2, V(1, 1));
  EXPECT_TRUE(vcSMDGDPoly::isCircle(c));
  EXPECT_NEAR(P::perimeter(c, 0.0), 4 * kPi, 1e-12);
  EXPECT_TRUE(P::inside(c, V(1, 2.9)));
  EXPECT_FALSE(P::inside(c, V(2.5, 2.5)));
  const vcSMDGDPoly almost = make({vx(-2, 0, 0, 179), vx(2, 0, 0, 179)}, true);
  EXPECT_FALSE(vcSMDGDPoly::isCircle(almost));
  EXPECT_TRUE(vcSMDGDPoly::isCircle(make({vx(-2, 0, 0, 179.6), vx(2, 0, 0, 179.6)}, true)));
}

// The dominant angle of a turned rectangle is its turn folded into
// [-45, 45]; a trapezoid whose one short side leans 10 degrees clockwise
// turns the result a little clockwise.
TEST(SMDPolyTest, DominantAngleFoldsTheOutlineOntoItsAxes) {
  EXPECT_EQ(P::dominantAngle(vcSMDGDPoly()).toDouble(), 0.0);
  const vcSMDGDPoly r = vcSMDGDPoly::rectangle(8, 2, V(3, 1));
  for (double turn : {-44.0, -30.0, 0.0, 17.0, 40.0, 60.0, 95.0, 200.0}) {
    const vcSMDGDPoly t = vc2Rigid(vcDegree(turn), V(0, 0)) * r;
    const double want = turn - 90.0 * std::round(turn / 90.0);
    EXPECT_NEAR(P::dominantAngle(t).toDouble(), want, 1e-9) << turn;
  }
  const double s = std::tan(10.0 * kPi / 180.0) * 2;
  const double a = P::dominantAngle(make({vx(0, 0), vx(20, 0), vx(20 + s, 2), vx(0, 2)}, true)).toDouble();
  EXPECT_LT(a, 0.0);
  EXPECT_GT(a, -2.0);
}

// Extensions: 45-degree corners and free ends, the perimeter of a 10 x 4
// rectangle, and the cut-back near parallel parts.
TEST(SMDPolyTest, ExtensionsFollowCornersAndAreCutBackNearParallelParts) {
  Poly r = vcSMDGDPoly::rectangle(10, 4, V(0, 0));
  r.setExtensions_(0.5);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(r.backwardPercExtension_(s) + r.forwardPercExtension_(s), 1.0);
  EXPECT_DOUBLE_EQ(r.extensionPerimeter_(), 28);

  std::vector<Vx> deca;
  for (int i = 0; i < 10; ++i) deca.push_back(vx(10 * std::cos(i * kPi / 5), 10 * std::sin(i * kPi / 5)));
  Poly d = make(deca, true);
  d.setExtensions_(0.5);
  EXPECT_EQ(d.extensionPerimeter_(), 0);

  Poly open = make({vx(0, 0), vx(10, 0), vx(10, 10)}, false);
  open.setExtensions_(0.5);
  EXPECT_EQ(open.backwardPercExtension_(1), 0);
  EXPECT_EQ(open.forwardPercExtension_(1), 0.5);
  EXPECT_EQ(open.forwardPercExtension_(2), 0);

  // A parallel line 0.5 beside segment 1's forward extension stops it after
  // the probes that stayed clear of it.
  Poly line = make({vx(0, 0), vx(10, 0), vx(10, 10)}, false);
  line.setExtensions_(0.5);
  Poly other = make({vx(12, 0.5), vx(20, 0.5)}, false);
  line.checkExtensions_(other, 1.0, vcDegree(5), 0.5, false);
  EXPECT_NEAR(line.forwardPercExtension_(1), 0.15, 1e-12);
  EXPECT_THROW(line.checkExtensions_(other, 1.0, vcDegree(5), 0.0, false), vcShapesError::BadGeom);
  EXPECT_THROW(line.checkExtensions_(other, 1.0, vcDegree(5), 1e-9, false), vcShapesError::BadGeom);
  // A crossing (perpendicular) part does not limit it.
  Poly across = make({vx(0, 0), vx(10, 0), vx(10, 10)}, false);
  across.setExtensions_(0.5);
  across.checkExtensions_(make({vx(12, -3), vx(12, 3)}, false), 1.0, vcDegree(5), 0.5, false);
  EXPECT_EQ(across.forwardPercExtension_(1), 0.5);
}

// Same-label fractions, tolerances and fraction setters.
TEST(SMDPolyTest, LabelsAndTolerancesAreChecked) {
  vcSMDGDPoly p = square(0);
  Vx a = p.vertex(0), b = p.vertex(1);
  a.subModelLabel(7), b.subModelLabel(7);
  a.percentNextSegment(0.6);
  p.replaceVertex(0, a);
  expectRefused<vcSMDGDPoly::crossingSegments>(p, [&](vcSMDGDPoly& q) { q.replaceVertex(1, b); });
  b.subModelLabel(8);
  p.replaceVertex(1, b);
  EXPECT_EQ(p.subModelLabels(), (std::vector<long>{7, 8}));

  Vx tight = p.vertex(1);
  tight.segmentLengthTol(vcDimTol(10, 9, 12, vcDimTol::eLimits));
  p.replaceVertex(1, tight);
  expectRefused<vcSMDGDPolyVertex::invalidSegmentLength>(p, [](vcSMDGDPoly& q) { q.replaceVertex(0, vx(2, 0)); });
  EXPECT_THROW(tight.percentPrevSegment(0.005), vcSMDGDPolyVertex::invalidSegmentLength);
  tight.percentPrevSegment(0.01);
  tight.percentPrevSegment(1.0);
  EXPECT_THROW(tight.percentNextSegment(1.01), vcSMDGDPolyVertex::invalidSegmentLength);
}

// Absolute limits do not scale: scaling a poly past them is refused, while
// offsets follow the nominal. Out-of-tolerance segments follow the two maps.
TEST(SMDPolyTest, ScalingAndToleranceChecksFollowTheToleranceForm) {
  vcSMDGDPoly limits = square(0), offsets = square(0);
  limits.replaceVertex(1, vx(10, 0, 0, 0, -1, vcDimTol(10, 9, 12, vcDimTol::eLimits)));
  offsets.replaceVertex(1, vx(10, 0, 0, 0, -1, vcDimTol(10, 1, 2, vcDimTol::eOffsets)));
  EXPECT_THROW(1.5 * limits, vcSMDGDPolyVertex::invalidSegmentLength);
  EXPECT_NO_THROW(1.1 * limits);
  const vcSMDGDPoly big = 1.5 * offsets;
  EXPECT_DOUBLE_EQ(big.segmentDimension(1).minDim(), 14);

  const vcXform<2> id = vcXform<2>::I, x2(vcMatrix<2>(2, 0, 0, 2), V(0, 0)), x13(vcMatrix<2>(1.3, 0, 0, 1.3), V(5, 5));
  EXPECT_TRUE(limits.segmentsOutOfTolerance(id, id).empty());
  EXPECT_EQ(limits.segmentsOutOfTolerance(x2, x13), (std::vector<long>{1})) << "13 is past the absolute 12";
  EXPECT_EQ(offsets.segmentsOutOfTolerance(x2, x2), (std::vector<long>{}));
  EXPECT_EQ(offsets.segmentsOutOfTolerance(x2, x13), (std::vector<long>{1})) << "13 is below 20 - 1";
}

// A failed open() leaves the poly closed: the last segment would grow back
// to its vertex across another segment.
TEST(SMDPolyTest, FailedOpenLeavesThePolyClosed) {
  vcSMDGDPoly p = make(
      {vx(10, 0), vx(10, 5), vx(1.5, 5), vx(1.5, 3), vx(-1, -1.5), vx(-5, -1.5), vx(-5, -10), vx(0, -10), vx(0, 0, 2)},
      true);
  // Vertex 3 moved so that its next segment passes between the rounding of
  // the last vertex and its corner.
  p.replaceVertex(3, vx(1.5, 1));
  expectRefused<vcSMDGDPoly::crossingSegments>(p, [](vcSMDGDPoly& q) { q.open(); });
  EXPECT_TRUE(p.isClosed());
  p.replaceVertex(3, vx(1.5, 3));
  p.open();
  EXPECT_TRUE(p.isOpen());
}

// Meeting points come in outline order, exact on the roundings, and a point
// at the joint of two parts (here where a rounding meets its side) once.
TEST(SMDPolyTest, IntersectionWalksTheOutlineInOrder) {
  const Poly p = square(2);
  const double d = std::sqrt(4 - 1.5 * 1.5);
  struct Row {
    double y;
    std::vector<V> expected;
  } rows[] = {{5, {V(10, 5), V(0, 5)}}, {0.5, {V(2 - d, 0.5), V(8 + d, 0.5)}}, {2, {V(0, 2), V(10, 2)}}};
  for (const Row& row : rows) {
    const std::vector<V> got = p.intersection_(make({vx(-1, row.y), vx(11, row.y)}, false));
    ASSERT_EQ(got.size(), row.expected.size()) << row.y;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i].distance(row.expected[i]), 0, 1e-12) << row.y;
  }
  const std::vector<V> circle = Poly(vcSMDGDPoly::circle(2, V(0, 0))).intersection_(make({vx(0, -3), vx(0, 3)}, false));
  ASSERT_EQ(circle.size(), 2u);
  EXPECT_NEAR(circle[0].distance(V(0, -2)), 0, 1e-12) << "the lower arc comes first";
  EXPECT_NEAR(circle[1].distance(V(0, 2)), 0, 1e-12);
}

// Direction: reversal of the flag, a point that is nowhere, open polys.
TEST(SMDPolyTest, DirectionAndInsideNeedAClosedPoly) {
  vcSMDGDPoly p = vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  EXPECT_TRUE(p.isDirectionPositive());
  const vcSMDGDPoly before = p;
  p.toggleDirection();
  EXPECT_TRUE(p.isDirectionNegative());
  EXPECT_NE(p, before);
  p.toggleDirection();
  EXPECT_EQ(p, before);
  EXPECT_FALSE(P::inside(p, V(NAN, 0)));
  EXPECT_EQ(Poly(p).orientation_(), 180);
  p.open();
  EXPECT_THROW(P::inside(p, V(0, 0)), vcSMDGDPoly::notClosed);
  EXPECT_THROW(p.isDirectionPositive(), vcSMDGDPoly::notClosed);
}

// Equality ignores the name and the derived data; vertices compare within
// 1e-11 and spans by direction.
TEST(SMDPolyTest, EqualityIgnoresNamesAndComparesSpansAsDirections) {
  vcSMDGDPoly a = square(1);
  vcSMDGDPoly b("other");
  b.vertices(a.vertices());
  b.close();
  EXPECT_EQ(a, b);
  EXPECT_EQ(vx(1, 2, 0, 360), vx(1, 2, 0, 0));
  EXPECT_NE(vx(1, 2), vx(1, 2 + 1e-10));
  EXPECT_TRUE(vfRealEq(vx(1, 2), vx(1, 2 + 1e-10), 1e-9));
  b.weight(2);
  EXPECT_NE(a, b);
  EXPECT_TRUE(vfRealEq(a, b, 1.5));
  a.reset();
  EXPECT_EQ(a, vcSMDGDPoly());
}

// ---- archive forms ---------------------------------------------------------------

TEST(SMDPolyArchiveTest, PolysRoundTripByteForByte) {
  vcSMDGDPoly p = make({vx(0, 0, 1, 0, 3), vx(10, 0, -2, 30, 4, vcDimTol(10.3, 1, 2, vcDimTol::eOffsets)),
                        vx(10, 10, 0.5, 0, 3), vx(0, 10)},
                       true);
  p.toggleDirection();
  p.weight(0.25);
  p.colors(vcSMDColors(vcColor::redColor(), vcColor(1, 2, 3), vcColor::blackColor()));
  p.negativeArrowColor(vcColor::blueColor());
  vcSMDGDPoly named("named");
  named.insertVertex(-1, vx(3, 4));
  for (const vcSMDGDPoly& q : {p, named, vcSMDGDPoly()}) {
    const auto bytes = vc_test::archiveBytes(q);
    const vcSMDGDPoly back = vc_test::valueRoundTrip(q);
    EXPECT_EQ(back, q);
    EXPECT_EQ(back.name(), q.name());
    EXPECT_EQ(back.roundingSpans(), q.roundingSpans());
    EXPECT_EQ(vc_test::archiveBytes(back), bytes);
  }
  // By class name, and twice in one archive (the second poly must not be
  // mistaken for the first).
  vcBufferArchive out(vcArchive::eStore);
  vcPersistent* obj = &p;
  out.serializePointer(obj);
  std::vector<vcSMDGDPoly> two = {p, named};
  out || two;
  vcBufferArchive in(out.bytes());
  vcPersistent* loaded = nullptr;
  in.serializePointer(loaded);  // shared: the archive keeps it
  ASSERT_NE(dynamic_cast<vcSMDGDPoly*>(loaded), nullptr);
  EXPECT_EQ(*dynamic_cast<vcSMDGDPoly*>(loaded), p);
  std::vector<vcSMDGDPoly> twoBack;
  in || twoBack;
  ASSERT_EQ(twoBack.size(), 2u);
  EXPECT_EQ(twoBack[1].name(), "named");
  EXPECT_EQ(twoBack[1], named);
}

// Every truncation, unknown version and inconsistent or invalid stored poly
// throws and leaves the target as it was.
TEST(SMDPolyArchiveTest, MalformedArchivesThrowAndLeaveTheTargetAlone) {
  const vcSMDGDPoly p = square(1);
  const auto bytes = vc_test::archiveBytes(p);
  const vcSMDGDPoly target = vcSMDGDPoly::rectangle(3, 2, V(7, 7));
  const auto same = [](const vcSMDGDPoly& a, const vcSMDGDPoly& b) {
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.roundingEndPoints(), b.roundingEndPoints());
  };
  vc_test::expectEveryPrefixRejected(target, bytes, same);
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 2), target, "");
  // Layout: poly version, name (1 + 4 + 4 bytes "poly"), the vertex vector's
  // version and count, then the first vertex: version, empty name, point.
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 10, 1), target, "");
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 15, 3), target, "");
  const std::size_t firstPoint = 21;
  vc_test::expectRejected(target, vc_test::withF64(bytes, firstPoint, NAN), same);
  vc_test::expectRejected(target, vc_test::withF64(bytes, firstPoint, 10.0), same);       // two vertices coincide
  vc_test::expectRejected(target, vc_test::withF64(bytes, firstPoint + 8, 20.0), same);   // segments cross
  vc_test::expectRejected(target, vc_test::withF64(bytes, firstPoint + 16, 6.0), same);   // radius too large
  vc_test::expectRejected(target, vc_test::withF64(bytes, bytes.size() - 8, NAN), same);  // weight
}

// Older forms: a version-0 poly has weight 1; version-1 and version-0
// vertices read their offsets or an unset tolerance; version-0 colors keep
// the object's own.
TEST(SMDPolyArchiveTest, OlderVersionsAreRead) {
  vcSMDGDPoly p = square(0);
  p.weight(3);
  auto bytes = vc_test::archiveBytes(p);
  bytes[0] = 0;
  bytes.resize(bytes.size() - 8);
  EXPECT_EQ(vc_test::load(bytes, vcSMDGDPoly()).weight(), 1.0);

  for (unsigned char version : {0, 1}) {
    vcBufferArchive out(vcArchive::eStore);
    unsigned char v = version, descVersion = 0;
    std::string name;
    double x = 1, y = 2, radius = 0.5, span = 10, prev = 0.5, next = 0.25, minOff = 0.5, maxOff = 1;
    long label = 4;
    std::uint32_t type = 0;
    out || v || descVersion || name || x || y || radius || span || prev || next || label;
    if (version == 1) out || minOff || maxOff || type;
    Vx back;
    vc_test::loadInto(out.bytes(), back);
    EXPECT_EQ(back.point(), V(1, 2));
    EXPECT_EQ(back.percentNextSegment(), 0.25);
    EXPECT_EQ(back.segmentLengthTol(), version == 1 ? vcDimTol(-1, 0.5, 1, vcDimTol::eOffsets) : vcDimTol());
  }

  const vcSMDColors mine(vcColor::redColor(), vcColor::redColor(), vcColor::blueColor());
  EXPECT_EQ(vc_test::load(vc_test::Bytes{0}, mine), mine);
  vc_test::expectUnknownVersion(vc_test::Bytes{2}, mine, "dispc/wrfm/colors");
}
