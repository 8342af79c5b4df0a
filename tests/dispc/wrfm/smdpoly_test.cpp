// SMD polys and models: roundings, edit rules, factories, extensions,
// tolerances, the archive forms, the poly utilities, sub-models and model
// measures, grey levels of colors, and the records that drawing makes.
#include <vc/wrfm/smdmodel.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <list>
#include <numbers>

#include <vc/core/archive.h>
#include <vc/core/lineseg.h>
#include <vc/glist.h>
#include <vc/uierror.h>
#include <vc/uitablet.h>
#include <vc/wrfm/wireframe.h>

#include "support/archive_roundtrip.h"
#include "support/recording_scope.h"

namespace {

using V = vcVector<2>;
using M = vcSMDGDModelPrivate;
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

struct Editable : vcSMDGDModel {
  using vcSMDGDModel::deletePoly;
  using vcSMDGDModel::replacePoly;
  using vcSMDGDModel::vcSMDGDModel;
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

// A rounded outline with a bowed side, so that mirroring has arcs to turn.
vcSMDGDPoly roundedBow() {
  vcSMDGDPoly p("bow");
  p << Vx(V(0, 0), 0.5, vcDegree(0.0), 0.5, 0.5, 4, vcDimTol());
  p << Vx(V(6, 1), 0.5, vcDegree(25.0), 0.3, 0.6, 5, vcDimTol(6.08, 0.1, 0.1, vcDimTol::eOffsets));
  p << Vx(V(5, 5), 0.0, vcDegree(0.0), 0.5, 0.5, 4, vcDimTol());
  p.close();
  return p;
}

vcSMDGDModel sample() {
  vcSMDGDModel m("part");
  m << roundedBow() << vcSMDGDPoly::rectangle(4, 2, V(-6, 3)) << vcSMDGDPoly::triangle(2, 3, V(10, -4));
  return vc2Rigid(vcRadian(0.3), V(1, -2)) * m;
}

std::vector<unsigned char> bytes(const vcUISketch& s) {
  return std::vector<unsigned char>(s.data(), s.data() + s.size());
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
  // Vertex 3 moved so that the segment open() grows back passes between the last vertex's rounding and corner.
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

// A long index is checked (or wrapped modulo the vertex count) whole: 2^32 cut to 32 bits would be vertex 0.
TEST(SMDPolyTest, LongIndicesBeyondIntAreRefusedOrWrappedWhole) {
  const vcSMDGDPoly tri = through({V(0, 0), V(4, 0), V(0, 3)}, true);
  const long big = 1L << 32;  // 2^32 = 1 modulo 3
  for (const long i : {big, big + 1, -big, big * 3})
    EXPECT_THROW(tri.vertex(i), vcSMDGDPoly::invalidIndex) << i;
  for (const long s : {big, big + 2, -big}) EXPECT_THROW(tri.segmentDimension(s), vcSMDGDPoly::invalidIndex) << s;
  EXPECT_EQ(tri.vertex(big, true), tri.vertex(1));
  EXPECT_EQ(tri.vertex(-big, true), tri.vertex(2));
  EXPECT_EQ(tri.vertex(big * 3, true), tri.vertex(0));
  EXPECT_NEAR(tri.segmentDimension(2).nomDim(), 5.0, 1e-12);
}

// Arcs whose spans differ from zero only by rounding, or are merely small, have circles of up to 1e16 times their
// chord, whose points are known only to a few units in the last place of that radius. Neighbours meeting at their
// shared sharp corner do not cross, and the outline is sized, oriented and filled as the straight one is (rounded
// corners too where the arcs' circles leave room to place a rounding).
TEST(SMDPolyTest, NearlyStraightArcsMeetTheirNeighboursOnlyAtTheirCorners) {
  const vcSMDGDPoly straight = square(0), straightCw = square(0, false);
  const double rad = 180 / kPi;
  for (const double span : {1e-16 * rad, -1e-16 * rad, 3e-15 * rad, 1e-12, -1e-9, 1e-6, 1e-3, -0.01})
    for (const double r : {0.0, 1.0})
      for (const bool ccw : {true, false}) {
        if (r > 0 && std::fabs(span) < 1e-9) continue;
        SCOPED_TRACE(std::to_string(span) + (ccw ? " ccw" : " cw") + " r " + std::to_string(r));
        std::vector<Vx> vs = {vx(0, 0, r, span), vx(10, 0, r, span), vx(10, 10, r, span), vx(0, 10, r, span)};
        if (!ccw) std::swap(vs[1], vs[3]);
        vcSMDGDPoly p;
        ASSERT_NO_THROW(p = make(vs, true));
        const vcRect box = p.boundingBox();
        const double slack = 10 * std::fabs(span) / rad + 1e-9;  // the arcs' bulge
        EXPECT_NEAR(box.x(), 0, slack);
        EXPECT_NEAR(box.y() + box.height(), 10, slack);
        EXPECT_EQ(p.isDirectionPositive(), (ccw ? straight : straightCw).isDirectionPositive());
        for (const V& q : {V(5, 5), V(0.5, 9.5), V(-0.5, 5), V(5, 10.5), V(11, 11)})
          EXPECT_EQ(P::inside(p, q), P::inside(straight, q)) << q;
      }
}

TEST(SMDPolyTest, FactoriesGiveTheirShapesAndShapeTests) {
  const vcSMDGDPoly r = vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  EXPECT_EQ(r.vertex(0).point(), V(2, 1));  // then counter-clockwise, labelled 0 to 3
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

// Equality (names aside, spans as directions, the direction flag counted) and the closed-only queries.
TEST(SMDPolyTest, DirectionEqualityAndClosedOnlyQueries) {
  vcSMDGDPoly p = vcSMDGDPoly::rectangle(4, 2, V(0, 0)), b("other");
  EXPECT_EQ(Poly(p).orientation_(), 180);
  b.vertices(p.vertices());
  b.close();
  EXPECT_EQ(p, b);
  EXPECT_EQ(vx(1, 2, 0, 360), vx(1, 2, 0, 0));
  b.toggleDirection();
  EXPECT_TRUE(b.isDirectionNegative() && !(b == p));
  p.open();
  EXPECT_THROW(P::inside(p, V(0, 0)), vcSMDGDPoly::notClosed);
  EXPECT_THROW(p.isDirectionPositive(), vcSMDGDPoly::notClosed);
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

// Version-0 colors keep the object's own; an empty poly reloads.
TEST(SMDPolyArchiveTest, OlderColorsKeepTheirOwnAndEmptyPolysReload) {
  EXPECT_EQ(archiveBytes(vc_test::valueRoundTrip(vcSMDGDPoly())), archiveBytes(vcSMDGDPoly()));
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

TEST(SMDModel, LabelsMergeAndPolyIndexErrorsChangeNothing) {
  Editable m("named");
  m << vcSMDGDPoly::rectangle(4, 2, V(0, 0)) << vcSMDGDPoly::triangle(2, 3, V(5, 5));
  EXPECT_EQ(m.numVertices(), 7);
  vcSMDGDPoly open("o");
  open << Vx(V(0, 0), 0.5, 0.5, 9) << Vx(V(1, 0), 0.5, 0.5, 2);
  m << open;
  EXPECT_TRUE(m.isOpen());
  EXPECT_EQ(m.subModelLabels(), (std::vector<long>{0, 1, 2, 3, 9}));  // in order of first appearance
  for (int bad : {-1, 3}) {
    EXPECT_THROW(m.poly(bad), vcSMDGDModel::invalidIndex);
    EXPECT_THROW(m.replacePoly(bad, roundedBow()), vcSMDGDModel::invalidIndex);
    EXPECT_THROW(m.deletePoly(bad), vcSMDGDModel::invalidIndex);
  }
  m.deletePoly(0);
  EXPECT_EQ(m.name(), "");  // edits empty the name
  m.replacePoly(0, roundedBow());
  EXPECT_EQ(m.subModelLabels(), (std::vector<long>{4, 5, 9, 2}));
}

TEST(SMDModel, SubModelsSitAtTheirOwnOriginAndMapBack) {
  const vcSMDGDModel m = sample();
  for (long label : {0L, 4L}) {
    vcSMDGDModel sub("x");
    m.subModel(label, sub);
    ASSERT_GT(sub.numPolys(), 0);
    // Each carried vertex returns to its place in m when mapped by the position.
    const vcSMDGDModel back = M::position(sub) * sub;
    for (const auto& p : back.polys()) {
      bool found = false;
      for (const auto& v : p.vertices())
        for (const auto& q : m.polys())
          for (const auto& w : q.vertices())
            found = found || (v.subModelLabel() == label && w.subModelLabel() == label &&
                              v.point().distance(w.point()) < 1e-9);
      EXPECT_TRUE(found) << label;
    }
  }
  // A rectangle's corner: three vertices, the corner at the origin of the piece, half of each side.
  vcSMDGDModel rect("r"), corner("c");
  rect << vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  rect.subModel(0, corner);
  EXPECT_NEAR(corner.poly(0).vertex(1).point().len() + M::position(corner).trans().distance(V(2, 1)), 0, 1e-12);
  EXPECT_NEAR(P::perimeter(corner.poly(0), 0.0), 0.5 * 4 + 0.5 * 2, 1e-12);
}

// Flipping mirrors about the x axis and reverses the direction; twice is
// nothing. Same polys at another position: equivalent, not equal.
TEST(SMDModel, FlipAndOperatorIdentities) {
  vcSMDGDModel r("r");
  r << vcSMDGDPoly::rectangle(4, 2, V(0, 5));
  EXPECT_TRUE(r.flip().poly(0).isDirectionReversed());
  EXPECT_NEAR(r.flip().boundingBox().y(), -6, 1e-12);
  const vcSMDGDModel m = sample();
  EXPECT_EQ(vc_test::archiveBytes(m.flip().flip()), vc_test::archiveBytes(m));
  const vc2Rigid r1(vcRadian(-1.1), V(2, 7));
  EXPECT_TRUE(vfRealEq((r1.inverse() * (r1 * m)).poly(0), m.poly(0), 1e-9));
  EXPECT_TRUE(M::position(r1 * m) == r1 * M::position(m));
  vcSMDGDModel moved("part");
  moved << m;
  EXPECT_TRUE(M::equivalent(moved, m) && !(moved == m));
}

TEST(SMDModel, FamilyMeasuresWireframesAndCorners) {
  vcSMDGDModel m("m");
  vcSMDGDPoly neg = vcSMDGDPoly::rectangle(2, 2, V(20, 0));
  neg.toggleDirection();
  m << vcSMDGDPoly::rectangle(10, 4, V(0, 0)) << neg;
  // Probes: perimeters 28 and 8, then again at twice the size.
  EXPECT_EQ(M::numPosProbesRequired(m, vcXform<2>::I, {}, 1.0), 36);
  EXPECT_EQ(M::numPosProbesRequired(m, vcXform<2>::I, {vcXform<2>(vcMatrix<2>(2, 0, 0, 2), V(0, 0))}, 1.0), 108);
  EXPECT_THROW(M::numPosProbesRequired(m, vcXform<2>::I, {}, 0.0), vcShapesError::BadGeom);
  EXPECT_EQ(M::boundingBoxPositive(m, vcXform<2>::I).x(), -5);
  EXPECT_EQ(M::boundingBoxNeg(m, vcXform<2>::I).x(), 19);
  EXPECT_EQ(M::boundingBox(m, {vcXform<2>::I, vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(0, 10))}).height(), 14);
  EXPECT_NEAR(M::dominantAngle(vc2Rigid(vcRadian(vcDegree(100.0)), V(0, 0)) * m).toDouble(), 10.0, 1e-9);
  // Weighted wireframes: the weight-0 one is left out of both lists alike.
  const vcXform<2> shift(vcMatrix<2>(0, -2, 2, 0), V(1, 1));  // a rotation by 90 degrees, scaled by 2
  std::vector<vc2Wireframe> w{vc2Wireframe(vcGenPoly(vcSMDGDPoly::circle(1, V(0, 0)), shift, true)),
                              vc2Wireframe(vcGenPoly(vcSMDGDPoly::rectangle(2, 2, V(0, 0)), vcXform<2>::I, true)),
                              vc2Wireframe(vcGenPoly(roundedBow(), vcXform<2>::I, true))};
  const vcSMDGDModel wm = M::weightedWireframesToModel(w, {0.5, 0.0, 2.0});
  const std::vector<vcXform<2>> xs = M::wireframeXforms(w, {0.5, 0.0, 2.0});
  ASSERT_EQ(wm.numPolys(), 2);
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_TRUE(xs[0] == shift);
  EXPECT_EQ(wm.poly(1).weight(), 2.0);
  EXPECT_NEAR(P::perimeter(wm.poly(0), 0.0), 2 * 2 * std::numbers::pi, 1e-9);
  EXPECT_THROW(M::weightedWireframesToModel(w, {1.0}), vcShapesError::BadGeom);
  EXPECT_THROW(M::wireframeXforms(w, {1.0, -1.0, 1.0}), vcShapesError::BadGeom);
  w.push_back(vc2Wireframe(vcGenPoly(roundedBow(), vcXform<2>(vcMatrix<2>(2, 0, 0, 1), V(0, 0)), true)));
  EXPECT_THROW(M::weightedWireframesToModel(w, {1, 1, 1, 1}), vcShapesError::BadGeom);
  vcSMDGDModel c("c");
  M::corner(m, c, 0, 1, true);
  EXPECT_EQ(c.name(), "m");
  EXPECT_NEAR(P::perimeter(c.poly(0), 0.0), 14, 1e-12);  // both whole sides of the corner
}

TEST(SMDModel, ArchiveRoundTripsAndRejectsBadBytesUnchanged) {
  const vcSMDGDModel m = sample();
  const vc_test::Bytes stored = vc_test::archiveBytes(m);
  const vcSMDGDModel target = vc2Rigid(vcRadian(2.0), V(5, 5)) * vcSMDGDModel("t");
  const auto same = [](const vcSMDGDModel& a, const vcSMDGDModel& b) {
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.name(), b.name());
  };
  vc_test::expectEveryPrefixRejected(target, stored, same);
  vc_test::expectUnknownVersion(vc_test::withU8(stored, 0, 1), target, "");
  vc_test::expectRejected(target, vc_test::withU8(stored, 1, 1), same);  // the description's version
  // The stored labels must be the polys' own: a changed first label is refused.
  const std::size_t labelsAt = stored.size() - 24 - 4 * m.subModelLabels().size();
  vc_test::expectRejected(target, vc_test::withU32(stored, labelsAt, 99), same);
  vc_test::expectRejected(target, vc_test::withU32(stored, labelsAt - 4, 0xFFFFFFFFu), same);
}

TEST(SMDColors, GreyLevelsFollowTheStockTableForIndexesAndTheMeanForRGB) {
  // The stock colors in code order: black, dkGrey, grey, ltGrey, white, red, dkRed, orange, yellow, green, dkGreen,
  // cyan, blue, purple, magenta, pass.
  const int stock[vcColor::kNumStockColors] = {5, 50, 100, 150, 250, 120, 90, 180, 210, 130, 80, 200, 160, 90, 170, 0};
  for (int code = 0; code < vcColor::kNumStockColors; ++code)
    EXPECT_EQ(vcSMDColors::colorToGrayScale(vcColor::stockColor(code)), stock[code]) << code;
  // A palette index alone maps like the stock color that has it; RGB gives the mean rounded.
  const std::pair<vcColor, int> cases[] = {{vcColor(vcColor::ltGreyColor().index()), 150}, {vcColor(1, 2, 2), 2}};
  for (const auto& [color, grey] : cases) EXPECT_EQ(vcSMDColors::colorToGrayScale(color), grey) << color;
  // Neither index nor RGB: six bytes taken from elsewhere.
  vcColor none;
  const unsigned char raw[6] = {0, 9, 1, 2, 3, 0};
  std::memcpy(static_cast<void*>(&none), raw, sizeof raw);
  EXPECT_THROW(vcSMDColors::colorToGrayScale(none), vcUIError::NotIndexColor);
}

// A closed outline with rounded corners, an arc side and an extension on every sharp turn.
Poly decorated(bool reversed) {
  Poly p;
  p.vertices({vx(0, 0, 2), vx(30, 0), vx(30, 20, 0, 50), vx(0, 20, 3)});
  p.close();
  if (reversed) p.toggleDirection();
  p.positiveArrowColor(vcColor::cyanColor());
  p.negativeArrowColor(vcColor::magentaColor());
  p.setExtensions_(0.5);
  return p;
}

// Arrows through a graphic list record what direct drawing records; a
// wireframe through the base class is the mapped outline in its color; a
// model draws its polys' outlines, arrows (size 2) and extensions in order.
TEST(SMDDrawing, ArrowsWireframesAndModelsRecordWhatDirectDrawingRecords) {
  for (bool reversed : {false, true}) {
    const Poly p = decorated(reversed);
    const vcXform<2> x(vcMatrix<2>(-2, 0.5, 0, 2), V(90, 10));
    vcUITablet direct, viaList;
    p.drawDirectionArrows(x, direct, 3.0);
    vcGraphicList list;
    p.drawDirectionArrows(x, list, 3.0);
    EXPECT_EQ(list.items().size(), 5u * static_cast<std::size_t>(p.numSegments()));
    list.draw(viaList, vcUITablet::eImage);
    ASSERT_GT(direct.sketch().size(), 0);
    EXPECT_EQ(bytes(viaList.sketch()), bytes(direct.sketch())) << "reversed " << reversed;
  }
  Poly a = decorated(false);
  a.colors(vcSMDColors(vcColor::orangeColor(), vcColor::greyColor(), vcColor::blackColor()));
  const vcSMDGDPoly b = vcSMDGDPoly::circle(3, V(30, 0));
  const vcXform<2> x(vcMatrix<2>(0, 2, -2, 0), V(40, 40));
  vcUITablet viaBase, direct;
  static_cast<const vcSMDGeometricDescription&>(a).drawWireframe(x, viaBase);
  direct.draw(vc2Wireframe(vcGenPoly(a, x, false)), vcColor::orangeColor(), vcUITablet::eImage, false);
  EXPECT_EQ(bytes(viaBase.sketch()), bytes(direct.sketch()));
  vcSMDGDModel m("m");
  m << a << b;
  vcUITablet model, polys;
  static_cast<const vcSMDGeometricDescription&>(m).drawWireframe(x, model);
  m.drawDirectionArrows(x, model);
  M::drawNegWireframe(m, x, model);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b}) p->drawWireframe(x, polys);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b}) p->drawDirectionArrows(x, polys, 2.0);
  for (const vcSMDGDPoly* p : {static_cast<const vcSMDGDPoly*>(&a), &b})
    P::drawNegWireframe(*p, x, polys, vcColor::redColor(), vcUITablet::eImage);
  EXPECT_EQ(bytes(model.sketch()), bytes(polys.sketch()));
}

TEST(SMDDrawing, NegWireframeDrawsEachNonZeroExtensionAlongItsSegment) {
  // A square turns 90 degrees at every corner: every segment gets both extensions; segment 1 loses its forward one.
  Poly p;
  p.vertices({vx(0, 0), vx(10, 0), vx(10, 10), vx(0, 10)});
  p.close();
  p.setExtensions_(0.5);
  p.forwardPercExtension_(1, 0.0);
  vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(100, 100));
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  const vcXform<2> x(vcMatrix<2>(2, 0, 0, 2), V(20, 30));
  P::drawNegWireframe(p, x, tablet, vcColor::redColor(), vcUITablet::eImage);
  std::vector<std::pair<V, V>> expected;
  for (int s = 0; s < 4; ++s) {
    const V a = p.vertex((s + 3) % 4).point(), b = p.vertex(s).point();
    if (s != 1) expected.push_back({x * b, x * (b + (b - a) * 0.5)});
    expected.push_back({x * (a - (b - a) * 0.5), x * a});
  }
  const auto drawn = scope.calls("draw(vcLineSeg)");
  ASSERT_EQ(drawn.size(), expected.size());
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    const auto& seg = dynamic_cast<const vcLineSeg&>(*drawn[i].shape);
    EXPECT_LT(seg.p1().distance(expected[i].first) + seg.p2().distance(expected[i].second), 1e-12) << i;
    EXPECT_EQ(drawn[i].props.penColor(), vcColor::redColor());
  }
}
