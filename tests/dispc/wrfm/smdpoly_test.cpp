// SMD polys: roundings, edit rules, factories, extensions, tolerances, the archive forms, and the poly utilities
// (filters, joins, rectilinear outlines).
#include <vc/wrfm/smdpoly.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <list>
#include <numbers>
#include <random>

#include <vc/core/archive.h>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
using P = vcSMDGDPolyPrivate;
using Vx = vcSMDGDPolyVertex;
using Polys = std::list<vcSMDGDPoly>;
using vc_test::archiveBytes;
constexpr double kPi = std::numbers::pi;

// Exposes the protected measures that models and drawing use.
struct Poly : vcSMDGDPoly {
  Poly() = default;
  Poly(const vcSMDGDPoly& p) : vcSMDGDPoly(p) {}
  using vcSMDGDPoly::backwardPercExtension_;
  using vcSMDGDPoly::checkExtensions_;
  using vcSMDGDPoly::extensionPerimeter_;
  using vcSMDGDPoly::forwardPercExtension_;
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

vcSMDGDPoly through(const std::vector<V>& pts, bool closed) {
  std::vector<Vx> vs;
  for (const V& q : pts) vs.push_back(vx(q.x(), q.y()));
  return make(vs, closed);
}

std::vector<V> points(const vcSMDGDPoly& p) {
  std::vector<V> out;
  for (const Vx& v : p.vertices()) out.push_back(v.point());
  return out;
}

// A square of side 10 turning toward +angle (ccw) or -angle, radius r at every corner.
vcSMDGDPoly square(double r, bool ccw = true) {
  std::vector<Vx> vs = {vx(0, 0, r), vx(10, 0, r), vx(10, 10, r), vx(0, 10, r)};
  if (!ccw) std::swap(vs[1], vs[3]);
  return make(vs, true);
}

// The edit throws E and leaves the poly's archive bytes as they were.
template <class E>
void expectRefused(vcSMDGDPoly& p, const std::function<void(vcSMDGDPoly&)>& edit) {
  const auto before = archiveBytes(p);
  EXPECT_THROW(edit(p), E);
  EXPECT_EQ(archiveBytes(p), before);
}

}  // namespace

// The rounding centre lies inside the corner: both turning senses give the tangent points 2 before and after each
// corner, +-90 degree spans and the perimeter 4 * 6 + 2 pi 2. A free end side may be taken whole.
TEST(SMDPolyTest, RoundingsAreTangentOnTheInnerSideWithinTheirLimits) {
  for (bool ccw : {true, false}) {
    const vcSMDGDPoly p = square(2, ccw);
    for (int v = 0; v < 4; ++v) {
      const V at = p.vertex(v).point(), in = p.vertex(v - 1, true).point(), out = p.vertex(v + 1, true).point();
      EXPECT_NEAR(p.roundingStartPoints()[v].distance(at + (in - at).unit() * 2), 0, 1e-12);
      EXPECT_NEAR(p.roundingEndPoints()[v].distance(at + (out - at).unit() * 2), 0, 1e-12);
      EXPECT_NEAR(p.roundingSpans()[v], ccw ? 90 : -90, 1e-12);
      EXPECT_NEAR(P::roundPoint(p, v).distance(V(5, 5)), std::hypot(3, 3), 1e-12);
    }
    EXPECT_NEAR(P::perimeter(p, 0.0), 24 + 4 * kPi, 1e-12);
    EXPECT_NEAR(P::perimeter(p, vcXform<2>(vcMatrix<2>(3, 0, 0, 3), V(1, 2))), 3 * (24 + 4 * kPi), 1e-9);
    EXPECT_EQ(p.isDirectionPositive(), ccw);
  }
  const vcSMDGDPoly open = make({vx(0, 0, 5), vx(10, 0, 6), vx(10, 10, 3)}, false);
  EXPECT_EQ(open.roundingSpans()[0], 0);
  EXPECT_EQ(open.roundingStartPoints()[2], V(10, 10));
  EXPECT_NEAR(P::perimeter(open, 0.0), 4 + 4 + 3 * kPi, 1e-12);
}

// Every refused edit throws the poly's own error and changes nothing.
TEST(SMDPolyTest, RefusedEditsThrowThePolysErrorsAndChangeNothing) {
  vcSMDGDPoly sq = square(0), labelled = square(0), tight = square(0);
  Vx a = labelled.vertex(0);
  a.subModelLabel(7), a.percentNextSegment(0.6);
  labelled.replaceVertex(0, a);
  Vx t = tight.vertex(1);
  t.segmentLengthTol(vcDimTol(10, 9, 12, vcDimTol::eLimits));
  tight.replaceVertex(1, t);
  // Vertex 3 moved so that the segment grown back by open() passes between the rounding of the last vertex and its
  // corner.
  vcSMDGDPoly folded = make(
      {vx(10, 0), vx(10, 5), vx(1.5, 5), vx(1.5, 3), vx(-1, -1.5), vx(-5, -1.5), vx(-5, -10), vx(0, -10), vx(0, 0, 2)},
      true);
  folded.replaceVertex(3, vx(1.5, 1));
  expectRefused<vcSMDGDPoly::invalidRounding>(sq, [](auto& q) { q.replaceVertex(1, vx(10, 0, 6)); });
  expectRefused<vcSMDGDPoly::invalidIndex>(sq, [](auto& q) { q.deleteVertex(4); });
  expectRefused<vcSMDGDPoly::invalidIndex>(sq, [](auto& q) { q.insertVertex(5, vx(1, 1)); });
  expectRefused<vcSMDGDPoly::invalidVertices>(sq, [](auto& q) { q.deleteAllVertices(); });
  expectRefused<vcSMDGDPoly::invalidVertices>(sq, [](auto& q) { q.vertices({vx(0, 0)}); });
  expectRefused<vcSMDGDPoly::invalidVertices>(sq, [](auto& q) { q.insertVertex(0, vx(0, 0)); });
  expectRefused<vcSMDGDPoly::invalidVertices>(sq, [](auto& q) { q.replaceVertex(1, vx(10, 0, 0, 360)); });
  expectRefused<vcSMDGDPoly::invalidVertices>(sq, [](auto& q) { q.replaceVertex(1, vx(NAN, 0)); });
  expectRefused<vcSMDGDPoly::crossingSegments>(sq, [](auto& q) { q.replaceVertex(1, vx(0, 12)); });
  // Two vertices of one label split their shared segment in fractions that must add up.
  expectRefused<vcSMDGDPoly::crossingSegments>(labelled, [](auto& q) { q.replaceVertex(1, vx(10, 0, 0, 0, 7)); });
  expectRefused<vcSMDGDPolyVertex::invalidSegmentLength>(tight, [](auto& q) { q.replaceVertex(0, vx(2, 0)); });
  expectRefused<vcSMDGDPoly::crossingSegments>(folded, [](auto& q) { q.open(); });
  EXPECT_THROW(t.percentNextSegment(1.01), vcSMDGDPolyVertex::invalidSegmentLength);
}

TEST(SMDPolyTest, FactoriesGiveTheirShapesAndShapeTests) {
  const vcSMDGDPoly r = vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  const V corners[] = {V(2, 1), V(-2, 1), V(-2, -1), V(2, -1)};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(r.vertex(i).point(), corners[i]);
  EXPECT_EQ(r.subModelLabels(), (std::vector<long>{0, 1, 2, 3}));
  EXPECT_EQ(P::rectangle(r), vcRect(-2, -1, 4, 2));
  // The length is the more horizontal side.
  EXPECT_NEAR(P::rectLength(vc2Rigid(vcDegree(90), V(0, 0)) * r).nomDim(), 2, 1e-12);
  EXPECT_TRUE(vcSMDGDPoly::isCircle(vcSMDGDPoly::circle(2, V(1, 1))));
  EXPECT_NEAR(P::perimeter(vcSMDGDPoly::circle(2, V(1, 1)), 0.0), 4 * kPi, 1e-12);
  EXPECT_FALSE(vcSMDGDPoly::isCircle(make({vx(-2, 0, 0, 179), vx(2, 0, 0, 179)}, true)));
  EXPECT_TRUE(vcSMDGDPoly::isCircle(make({vx(-2, 0, 0, 179.6), vx(2, 0, 0, 179.6)}, true)));
  // The dominant angle: a turned rectangle's turn folded into [-45, 45].
  EXPECT_EQ(P::dominantAngle(vcSMDGDPoly()).toDouble(), 0.0);
  for (double turn : {-44.0, 17.0, 60.0, 95.0, 200.0})
    EXPECT_NEAR(P::dominantAngle(vc2Rigid(vcDegree(turn), V(0, 0)) * r).toDouble(), turn - 90 * std::round(turn / 90),
                1e-9);
}

// Extensions on sharp turns and free ends, and their cut-back near parallel parts.
TEST(SMDPolyTest, ExtensionsFollowCornersAndAreCutBackNearParallelParts) {
  Poly r = vcSMDGDPoly::rectangle(10, 4, V(0, 0));
  r.setExtensions_(0.5);
  EXPECT_DOUBLE_EQ(r.extensionPerimeter_(), 28);
  Poly open = make({vx(0, 0), vx(10, 0), vx(10, 10)}, false);
  open.setExtensions_(0.5);
  EXPECT_EQ(open.backwardPercExtension_(1) + open.forwardPercExtension_(2), 0);  // free ends get none
  EXPECT_EQ(open.forwardPercExtension_(1), 0.5);
  // A parallel line 0.5 beside segment 1's forward extension stops it after the probes that stayed clear of it; a
  // crossing part does not.
  Poly across = open;
  across.checkExtensions_(make({vx(12, -3), vx(12, 3)}, false), 1.0, vcDegree(5), 0.5, false);
  EXPECT_EQ(across.forwardPercExtension_(1), 0.5);
  open.checkExtensions_(make({vx(12, 0.5), vx(20, 0.5)}, false), 1.0, vcDegree(5), 0.5, false);
  EXPECT_NEAR(open.forwardPercExtension_(1), 0.15, 1e-12);
}

// Absolute limits do not scale: scaling a poly past them is refused, while offsets follow the nominal. Out-of-tolerance
// segments follow the two maps.
TEST(SMDPolyTest, ScalingAndToleranceChecksFollowTheToleranceForm) {
  vcSMDGDPoly limits = square(0), offsets = square(0);
  limits.replaceVertex(1, vx(10, 0, 0, 0, -1, vcDimTol(10, 9, 12, vcDimTol::eLimits)));
  offsets.replaceVertex(1, vx(10, 0, 0, 0, -1, vcDimTol(10, 1, 2, vcDimTol::eOffsets)));
  EXPECT_THROW(1.5 * limits, vcSMDGDPolyVertex::invalidSegmentLength);
  EXPECT_NO_THROW(1.1 * limits);
  EXPECT_DOUBLE_EQ((1.5 * offsets).segmentDimension(1).minDim(), 14);
  const vcXform<2> id = vcXform<2>::I, x2(vcMatrix<2>(2, 0, 0, 2), V(0, 0)), x13(vcMatrix<2>(1.3, 0, 0, 1.3), V(5, 5));
  EXPECT_TRUE(limits.segmentsOutOfTolerance(id, id).empty());
  EXPECT_EQ(limits.segmentsOutOfTolerance(x2, x13), (std::vector<long>{1})) << "13 is past the absolute 12";
  EXPECT_EQ(offsets.segmentsOutOfTolerance(x2, x2), (std::vector<long>{}));
  EXPECT_EQ(offsets.segmentsOutOfTolerance(x2, x13), (std::vector<long>{1})) << "13 is below 20 - 1";
}

// Direction flag, equality (names and derived data aside; vertices within 1e-11, spans as directions) and the
// closed-only queries.
TEST(SMDPolyTest, DirectionEqualityAndClosedOnlyQueries) {
  vcSMDGDPoly p = vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  p.toggleDirection();
  EXPECT_TRUE(p.isDirectionNegative());
  p.toggleDirection();
  EXPECT_EQ(Poly(p).orientation_(), 180);
  vcSMDGDPoly b("other");
  b.vertices(p.vertices());
  b.close();
  EXPECT_EQ(p, b);
  EXPECT_EQ(vx(1, 2, 0, 360), vx(1, 2, 0, 0));
  p.open();
  EXPECT_THROW(P::inside(p, V(0, 0)), vcSMDGDPoly::notClosed);
  EXPECT_THROW(p.isDirectionPositive(), vcSMDGDPoly::notClosed);
}

TEST(SMDPolyArchiveTest, PolysRoundTripByteForByteAlsoByClassName) {
  vcSMDGDPoly p = make({vx(0, 0, 1, 0, 3), vx(10, 0, -2, 30, 4, vcDimTol(10.3, 1, 2, vcDimTol::eOffsets)),
                        vx(10, 10, 0.5, 0, 3), vx(0, 10)},
                       true);
  p.toggleDirection();
  p.weight(0.25);
  p.negativeArrowColor(vcColor::blueColor());
  vcSMDGDPoly named("named");
  named.insertVertex(-1, vx(3, 4));
  for (const vcSMDGDPoly& q : {p, named, vcSMDGDPoly()})
    EXPECT_EQ(archiveBytes(vc_test::valueRoundTrip(q)), archiveBytes(q));
  // By class name.
  vcBufferArchive out(vcArchive::eStore);
  vcPersistent* obj = &p;
  out.serializePointer(obj);
  vcBufferArchive in(out.bytes());
  vcPersistent* loaded = nullptr;
  in.serializePointer(loaded);  // shared: the archive keeps it
  ASSERT_NE(dynamic_cast<vcSMDGDPoly*>(loaded), nullptr);
  EXPECT_EQ(*dynamic_cast<vcSMDGDPoly*>(loaded), p);
}

// Every truncation, unknown version and inconsistent or invalid stored poly throws and leaves the target as it was.
TEST(SMDPolyArchiveTest, MalformedArchivesThrowAndLeaveTheTargetAlone) {
  const auto bytes = archiveBytes(square(1));
  const vcSMDGDPoly target = vcSMDGDPoly::rectangle(3, 2, V(7, 7));
  const auto same = [](const vcSMDGDPoly& a, const vcSMDGDPoly& b) {
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.roundingEndPoints(), b.roundingEndPoints());
  };
  vc_test::expectEveryPrefixRejected(target, bytes, same);
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 2), target, "");
  // Layout: poly version, name (1 + 4 + 4 bytes "poly"), the vertex vector's version and count, then the first vertex:
  // version, empty name, point.
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 10, 1), target, "");
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 15, 3), target, "");
  const std::size_t firstPoint = 21;
  vc_test::expectRejected(target, vc_test::withF64(bytes, firstPoint, 10.0), same);       // two vertices coincide
  vc_test::expectRejected(target, vc_test::withF64(bytes, firstPoint + 8, 20.0), same);   // segments cross
  vc_test::expectRejected(target, vc_test::withF64(bytes, firstPoint + 16, 6.0), same);   // radius too large
  vc_test::expectRejected(target, vc_test::withF64(bytes, bytes.size() - 8, NAN), same);  // weight
}

// Older forms: a version-0 poly has weight 1; version-1 and version-0 vertices read their offsets or an unset
// tolerance; version-0 colors keep the object's own.
TEST(SMDPolyArchiveTest, OlderVersionsAreRead) {
  auto bytes = archiveBytes(square(0));
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
    const Vx back = vc_test::load(out.bytes(), Vx());
    EXPECT_EQ(back.percentNextSegment(), 0.25);
    EXPECT_EQ(back.segmentLengthTol(), version == 1 ? vcDimTol(-1, 0.5, 1, vcDimTol::eOffsets) : vcDimTol());
  }
  const vcSMDColors mine(vcColor::redColor(), vcColor::redColor(), vcColor::blueColor());
  EXPECT_EQ(vc_test::load(vc_test::Bytes{0}, mine), mine);
  vc_test::expectUnknownVersion(vc_test::Bytes{2}, mine, "dispc/wrfm/colors");
}

// ---- utilities ---------------------------------------------------------------------

TEST(SMDPolyFilters, CrossedSegmentsGoAndThePiecesLeftFollowTheOutline) {
  // A square crossed top and bottom by a vertical line keeps its two sides.
  Polys polys{through({V(0, 0), V(10, 0), V(10, 10), V(0, 10)}, true)};
  P::crossingPolysResolve(polys, Polys{through({V(5, -5), V(5, 15)}, false)});
  ASSERT_EQ(polys.size(), 2u);
  EXPECT_EQ(points(polys.front()), (std::vector<V>{V(10, 0), V(10, 10)}));
  EXPECT_EQ(points(polys.back()), (std::vector<V>{V(0, 10), V(0, 0)}));
  std::vector<vcSMDGDPoly> pieces;
  const vcSMDGDPoly chain = through({V(0, 0), V(1, 0), V(2, 0), V(3, 1)}, false);
  P::deleteSegments(chain, {2}, pieces);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(points(pieces[1]), (std::vector<V>{V(2, 0), V(3, 1)}));
  EXPECT_THROW(P::deleteSegments(chain, {0}, pieces), vcSMDGDPoly::invalidIndex);
}

// Joining at the chosen ends; the join is straight even where the second poly's first segment was an arc; closed polys
// and bad tolerances are refused unchanged.
TEST(SMDPolyUtilities, ConnectAndOneToleranceJoinOrChangeNothing) {
  const vcSMDGDPoly a = through({V(0, 0), V(1, 0)}, false), b = through({V(2, 0), V(3, 0)}, false);
  vcSMDGDPoly r;
  P::connectPolys(a, true, b, false, r);
  EXPECT_EQ(points(r), (std::vector<V>{V(0, 0), V(1, 0), V(2, 0), V(3, 0)}));
  const vcSMDGDPoly c = make({vx(1, 1, 0, 30), vx(0, 1)}, false);  // the span no segment of c owns
  P::connectPolys(a, false, c, true, r);
  EXPECT_EQ(points(r), (std::vector<V>{V(1, 0), V(0, 0), V(0, 1), V(1, 1)}));
  EXPECT_EQ(r.vertex(2).segmentAngleSpan().toDouble(), 0.0);
  const auto before = archiveBytes(r);
  EXPECT_THROW(P::connectPolys(through({V(0, 5), V(5, 5), V(5, 9)}, true), true, b, false, r),
               vcSMDGDPoly::invalidVertices);
  EXPECT_EQ(archiveBytes(r), before);

  vcSMDGDPoly t = through({V(0, 0), V(10, 0), V(10, 4)}, true);
  const vcDimTol loose(-1, 1, 1, vcDimTol::eOffsets);
  P::autoSegmentLengthTolerance(t, loose);
  for (const Vx& v : t.vertices()) EXPECT_EQ(v.segmentLengthTol(), loose);
  const auto loosened = archiveBytes(t);
  // Limits of [3, 5] hold the side of 4 but not the others.
  EXPECT_THROW(P::autoSegmentLengthTolerance(t, vcDimTol(4, 3, 5, vcDimTol::eLimits)), vcException);
  EXPECT_EQ(archiveBytes(t), loosened);
}

TEST(SMDPolyRectilinear, CloseAddsOrMovesTheLastCornerAndReplacingMovesNeighbours) {
  const std::vector<V> corners{V(0, 0), V(10, 0), V(10, 5), V(0, 5)};
  for (const std::vector<V>& chain :
       {std::vector<V>{V(0, 0), V(10, 0), V(10, 5)}, std::vector<V>{V(0, 0), V(10, 0), V(10, 5), V(1, 6)}}) {
    vcSMDGDPoly p = through(chain, false);
    P::closeRectilinear(p);
    EXPECT_TRUE(p.isClosed());
    EXPECT_EQ(points(p), corners);
  }
  vcSMDGDPoly one = through({V(3, 3)}, false);
  const auto before = archiveBytes(one);
  EXPECT_THROW(P::closeRectilinear(one), vcSMDGDPoly::invalidVertices);
  EXPECT_EQ(archiveBytes(one), before);
  EXPECT_THROW(P::snapRectilinear(one), vcSMDGDPoly::invalidIndex);

  vcSMDGDPoly p = through(corners, true);
  P::replaceVertexRectilinear(p, 0, vx(-2, -1));
  EXPECT_EQ(points(p), (std::vector<V>{V(-2, -1), V(10, -1), V(10, 5), V(-2, 5)}));
  vcSMDGDPoly slanted = through({V(0, 0), V(10, 1), V(10, 5)}, true);
  EXPECT_THROW(P::replaceVertexRectilinear(slanted, 0, vx(1, 1)), vcSMDGDPoly::invalidVertices);
}

