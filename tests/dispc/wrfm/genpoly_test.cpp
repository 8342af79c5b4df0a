// Generalised polys and wireframes: edits and queries in client coordinates, constructors, archives, drawing, and the
// sketch records they make, replay and refuse.
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/circle.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/dispprop.h>
#include <vc/sketchop.h>
#include <vc/uierror.h>
#include <vc/uitablet.h>

#include "support/archive_roundtrip.h"
#include "support/bytes.h"
#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

namespace {

using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;
const vcRadian kLine(0.0);
const vcDimTol kNone(-1, -1, -1, vcDimTol::eLimits);

constexpr vcUITablet::Layers I = vcUITablet::eImage;

// An open chain through pts with the same rounding everywhere, its last segment an arc of lastSpan degrees.
vcGenPoly chain(const std::vector<V>& pts, double rounding = 0.0, double lastSpan = 0.0) {
  vcGenPoly g;
  for (std::size_t k = 0; k < pts.size(); ++k)
    g.insertVertex(pts[k], rounding, k + 1 == pts.size() ? vcRadian(vcDegree(lastSpan)) : kLine);
  return g;
}

// A 10 x 10 square with corner 2 rounded by 2 and an outward half-circle bulge on its first side.
vcGenPoly roundedSquare() {
  vcGenPoly g = chain({V(0, 0)});
  g.insertVertex(V(10, 0), 0, vcDegree(-180));
  g.insertVertex(V(10, 10), 2, kLine);
  g.insertVertex(V(0, 10), 0, kLine);
  g.close(kLine);
  return g;
}

vcXform<2> similarity(double angle, double scale, V t, bool mirror = false) {
  const double c = std::cos(angle) * scale, s = std::sin(angle) * scale, m = mirror ? -1.0 : 1.0;
  return vcXform<2>(vcMatrix<2>(c, -s * m, s, c * m), t);
}

template <class T>
bool isA(const vcException& e) {
  return dynamic_cast<const T*>(&e) != nullptr;
}

vc2Wireframe squareFrame() {
  vc2Wireframe w;
  for (const V& p : {V(0, 0), V(10, 0), V(10, 10), V(0, 10)}) w.insertVertex(p, 0, kLine, kNone);
  w.close(kLine, kNone);
  return w;
}

// The stored tolerance of segment i, as the poly keeps it.
vcDimTol storedTol(const vc2Wireframe& w, long i) {
  return w.poly().vertex(w.nextVertexIndex(i)).segmentLengthTol();
}

bool sameTol(const vcDimTol& a, const vcDimTol& b) {
  return a.nomDim() == b.nomDim() && a.minTol() == b.minTol() && a.maxTol() == b.maxTol() &&
         a.tolType() == b.tolType();
}

// The poly's own errors come out as the shape error of the same meaning, and a refused edit changes nothing; a frozen
// poly refuses every edit.
TEST(GenPolyTest, RejectedEditsThrowShapeErrorsAndChangeNothing) {
  const vcGenPoly square = roundedSquare(), sharp = chain({V(0, 0), V(10, 0), V(10, 10), V(0, 10)});
  const auto radius = isA<vcShapesError::BadRadius>, geom = isA<vcShapesError::BadGeom>,
             index = isA<vcShapesError::BadCoef>;
  vcGenPoly frozen = square;
  frozen.setMutable(false);
  const struct {
    const char* name;
    vcGenPoly base;
    std::function<void(vcGenPoly&)> edit;
    bool (*isOut)(const vcException&);
  } cases[] = {
      {"rounding too large", square, [](vcGenPoly& g) { g.replaceVertex(3, V(0, 10), 7); }, radius},
      {"crossing segment", sharp, [](vcGenPoly& g) { g.replaceVertex(3, V(5, -5), 0); }, geom},
      {"insert index above", square, [](vcGenPoly& g) { g.insertVertex(4, V(5, 5), 0, kLine); }, index},
      {"line of an arc", square, [](vcGenPoly& g) { (void)g.lineSegment(0, true); }, geom},
      {"full turn span", sharp, [](vcGenPoly& g) { g.segmentAngleSpan(0, vcDegree(360)); }, geom},
      {"frozen insert", frozen, [](vcGenPoly& g) { g.insertVertex(V(1, 1), 0, kLine); }, geom},
      {"frozen point", frozen, [](vcGenPoly& g) { g.vertexPoint(0, V(1, 1)); }, geom},
      {"frozen open", frozen, [](vcGenPoly& g) { g.open(); }, geom},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    vcGenPoly g = c.base;
    try {
      c.edit(g);
      ADD_FAILURE() << "accepted";
    } catch (const vcException& e) {
      EXPECT_TRUE(c.isOut(e)) << e.what();
    }
    EXPECT_TRUE(vfRealEq(g, c.base, 0));
  }
}

// Rounding sizes read and set in client units: zero at open ends, the arc radius elsewhere, three times larger on a
// poly shown three times larger.
TEST(GenPolyTest, RoundingSizesAndVertexSettersUseClientUnits) {
  vcGenPoly g = chain({V(0, 0), V(10, 0), V(10, 10), V(20, 10)}, 2.0);
  const double expected[] = {0, 2, 2, 0};
  for (long i = 0; i < 4; ++i) EXPECT_NEAR(g.vertexRoundingSize(i), expected[i], 1e-12) << i;
  g.replaceVertex(1, V(10, 0), -2.0);
  EXPECT_NEAR(g.vertexRoundingSize(1), -2.0, 1e-12);
  const vcGenPoly big = g.map(similarity(0.3, 3.0, V(5, 5)));
  EXPECT_NEAR(big.vertexRoundingSize(2), 6.0, 1e-12);
  const vcXform<2> x = similarity(0.7, 2.0, V(30, -4));
  vcGenPoly m = chain({V(0, 0), V(10, 0), V(10, 10), V(0, 10)}, 1.0).map(x);
  const double r1 = m.vertexRoundingSize(1);
  m.vertexPoint(1, m.vertexPoint(1) + V(1, 1));
  EXPECT_NEAR(m.vertexPoint(1).distance(x * V(10, 0) + V(1, 1)), 0, 1e-9);
  EXPECT_NEAR(m.vertexRoundingSize(1), r1, 1e-9);
  m.vertexRoundingSize(2, 3.0);
  EXPECT_NEAR(m.poly().vertex(2).vertexRadius(), 1.5, 1e-12);
}

// The answers for a mapped poly are the mapped answers of the poly as stored.
TEST(GenPolyTest, QueriesOfAMappedPolyAnswerInClientCoordinates) {
  std::mt19937 rng(15);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const vcGenPoly closed = roundedSquare(), open = chain({V(0, 0), V(10, 0), V(10, 10)}, 1.0);
  for (int trial = 0; trial < 40; ++trial) {
    const double scale = 0.5 + std::fabs(u(rng)) * 3;
    const vcXform<2> x = similarity(u(rng) * kPi, scale, V(u(rng) * 50, u(rng) * 50), trial % 2 == 1);
    const vcGenPoly mc = closed.map(x), mo = open.map(x);
    const V p(5 + u(rng) * 8, 5 + u(rng) * 8);
    SCOPED_TRACE(trial);
    EXPECT_EQ(mc.within(x * p), closed.within(p));
    EXPECT_NEAR(mc.distToPoint(x * p), scale * closed.distToPoint(p), 1e-9 * scale);
    EXPECT_NEAR(mo.distToPoint(x * p), scale * open.distToPoint(p), 1e-9 * scale);
    EXPECT_NEAR(mo.endPoint().distance(x * open.endPoint()), 0, 1e-9);
    EXPECT_NEAR(mc.center().distance(x * V(5, 5)), 0, 1e-9 * scale);  // the mean of the corners, mapped
  }
  EXPECT_EQ(vcGenPoly().map(vcXform<2>(vcMatrix<2>(2, 1, 0, 1), V(3, 4))).center(), V(3, 4));
  EXPECT_THROW(closed.startPoint(), vcShapesError::NotOpenContour);
  EXPECT_THROW(open.within(V(1, 1)), vcShapesError::NotRegion);
  // The rigid form moves the stored vertices themselves.
  const vcGenPoly rigid = closed.map(vc2Rigid(vcRadian(kPi / 2), V(1, 0)), 2.0);
  EXPECT_TRUE(rigid.xform().isIdentity() && rigid.vertexPoint(1).distance(V(1, 20)) < 1e-12);
}

// Each constructor's outline lies on the shape it was made from.
TEST(GenPolyTest, ConstructedOutlinesLieOnTheirShapes) {
  const vcEllipse ellipse(V(3, 4), V(5, 2), vcRadian(0.4));
  const vcEllipseArc arc(ellipse, vcRadian(0.5), vcRadian(2.0));
  const vcGenRect gr(V(2, 2), V(6, 4), vcRadian(0.3), V(0, 0));
  const auto on = [](std::vector<V> pts) {
    return [line = vcPolyline(pts, true)](const V& p) { return line.distanceToPoint(p); };
  };
  const struct {
    const char* name;
    vcGenPoly poly;
    std::function<double(const V&)> dist;
  } cases[] = {
      {"circle", vcGenPoly(vcCircle(V(1, 2), 3)), [](const V& p) { return std::fabs(p.distance(V(1, 2)) - 3); }},
      {"ellipse", vcGenPoly(ellipse), [&](const V& p) { return std::fabs(ellipse.unit().invMapPoint(p).len() - 1); }},
      {"ellipse arc", vcGenPoly(arc), [&](const V& p) { return arc.distToPoint(p); }},
      {"rect", vcGenPoly(vcRect(1, 2, 4, 3)), on({V(1, 2), V(5, 2), V(5, 5), V(1, 5)})},
      {"polygon", vcGenPoly(vcPolygon({V(0, 0), V(4, 0), V(0, 3)}, vcPolygon::eEvenOdd)),
       on({V(0, 0), V(4, 0), V(0, 3)})},
      {"line segment", vcGenPoly(vcLineSeg(V(1, 1), V(4, 5))), on({V(1, 1), V(4, 5)})},
      {"gen rect", vcGenPoly(gr), on({gr.corner(0), gr.corner(1), gr.corner(2), gr.corner(3)})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<V> pts;
    c.poly.sample(vcShape::vcSampleParams(1e-4), pts);
    ASSERT_GE(pts.size(), 2u);
    for (const V& p : pts) EXPECT_LT(c.dist(p), 1e-3);
  }
  // Equal roundings of a skewed rectangle: quarter circles of the unit square mapped like it.
  const vcGenRect rounded(V(2, 2), vcMatrix<2>(3, 1, 0.5, 2), V(0.4, 0.4));
  EXPECT_NEAR(vcGenPoly(rounded).perimeter(), rounded.perimeter(), 1e-6);
  const auto rings = vcGenPoly::convert(vcAnnulus(V(0, 0), 1, 2));
  ASSERT_EQ(rings.size(), 2u);
  EXPECT_TRUE(rings[0].within(V(0, 0.5)) && !rings[0].within(V(0, 1.5)) && rings[1].within(V(0, 1.5)));
}

// A section whose inner ellipse is a scaled copy of the outer becomes an
// outline of the same length; any other inner ellipse is refused, and so is
// a singular placement.
TEST(GenPolyTest, AnnulusSectionsAndPlacementsAreCheckedOnConstruction) {
  const vcEllipse outer(V(10, 20), V(8, 3), vcRadian(0.3)), inner(V(10, 20), V(4, 1.5), vcRadian(0.3));
  const vcEllipseAnnulusSection section(vcEllipseAnnulus(inner, outer), vcRadian(0.2), vcRadian(-2.5), true);
  EXPECT_NEAR(vcGenPoly(section).perimeter(), section.perimeter(), 1e-6 * section.perimeter());
  EXPECT_TRUE(vcGenPoly(section).within(V(10, 20) + V(std::cos(-1.2), std::sin(-1.2)) * 2.5));
  const vcEllipse skewed(V(10, 20), V(4, 2.5), vcRadian(0.3));
  EXPECT_THROW(vcGenPoly(vcEllipseAnnulusSection(vcEllipseAnnulus(skewed, outer), vcRadian(0), vcRadian(1), true)),
               vcShapesError::BadGeom);
  EXPECT_THROW(vcGenPoly(vcSMDGDPoly::rectangle(4, 2, V(1, 1)), vcXform<2>(vcMatrix<2>(1, 2, 2, 4), V()), true),
               vcShapesError::BadGeom);
}

TEST(GenPolyTest, SimpleArchiveFormAndBadBytesWithoutChange) {
  vcGenPoly g = roundedSquare().map(similarity(0.2, 1.5, V(1, 2), true));
  g.setMutable(false);
  const vc_test::Bytes bytes = vc_test::archiveBytes(g);
  // The simple form has neither the version nor the shape part.
  vcBufferArchive simple(vcArchive::eStore);
  g.serializeCommon(simple);
  EXPECT_EQ(simple.bytes().size(), bytes.size() - 2);
  vcBufferArchive simpleIn(simple.bytes());
  vcGenPoly simpleBack;
  simpleBack.loadSimple(simpleIn);
  EXPECT_TRUE(vfRealEq(simpleBack, g, 0));
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 1), vcGenPoly(), "dispc/wrfm/genpoly", 751);
  const auto same = [](const vcGenPoly& a, const vcGenPoly& b) { EXPECT_TRUE(vfRealEq(a, b, 0)); };
  const vcGenPoly target = chain({V(7, 7), V(8, 9)});
  for (std::size_t n = 0; n < bytes.size(); n += 7)
    vc_test::expectRejected(target, vc_test::Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)), same);
  // A singular placement: the transform's six doubles precede the flag byte.
  const vc_test::Bytes zeroRow = vc_test::withF64(bytes, bytes.size() - 49, 0.0);
  vc_test::expectRejected(target, vc_test::withF64(zeroRow, bytes.size() - 41, 0.0), same);
}

struct Counting : vc2Wireframe {
  int calls = 0;
  void polarity_(bool) override { ++calls; }
};

// The polarity hook runs once per change; a mirror flips the inside's side, a half turn does not.
TEST(WireframeTest, PolarityCallsItsHookOnceAndFollowsMirroring) {
  Counting c;
  c.polarity(true);
  c.polarity(true);
  EXPECT_EQ(c.calls, 1);
  const vc2Wireframe w = squareFrame();
  EXPECT_NE(w.map(vcXform<2>(vcMatrix<2>(-1, 0, 0, 1), V(5, 0))).isInsidePositive(), w.isInsidePositive());
  EXPECT_EQ(w.map(vcXform<2>(vcMatrix<2>(-1, 0, 0, -1), V())).isInsidePositive(), w.isInsidePositive());
  vc2Wireframe flipped = squareFrame();
  flipped.insidePolarity(!w.isInsidePositive());
  EXPECT_TRUE(flipped.isPolarityReversed());
  EXPECT_THROW(vc2Wireframe().isInsidePositive(), vcShapesError::BadGeom);
}

// Inserting splits a segment: the first part takes the given tolerance, the second none; closing sets the closing
// segment's; refused edits change nothing.
TEST(WireframeTest, TolerancesFollowInsertsAndClosingAndAreChecked) {
  const vcDimTol t(10, 9, 11, vcDimTol::eLimits), tol(5, 0.5, 0.5, vcDimTol::eOffsets);
  vc2Wireframe w = squareFrame();
  w.segmentLengthTol(1, t);
  w.insertVertex(1, V(10, 5), 0, kLine, tol);
  EXPECT_EQ(w.vertexPoint(2), V(10, 5));
  EXPECT_TRUE(sameTol(storedTol(w, 1), tol));
  EXPECT_TRUE(sameTol(storedTol(w, 2), kNone));
  const vc2Wireframe before = w;
  EXPECT_THROW(w.segmentLengthTol(0, vcDimTol(1.5, 1, 2, vcDimTol::eLimits)), vcShapesError::BadGeom);
  EXPECT_THROW(w.segmentLengthTol(9, kNone), vcShapesError::BadCoef);
  w.close(vcRadian(1.0), tol);  // already closed: nothing
  EXPECT_EQ(w, before);
  vc2Wireframe open;
  for (const V& p : {V(0, 0), V(4, 0), V(0, 3)}) open.insertVertex(p, 0, kLine, kNone);
  open.close(kLine, tol);
  EXPECT_TRUE(sameTol(storedTol(open, 2), tol));
  const vcDimTol percent(-1, 0.1, 0.2, vcDimTol::ePercentages);
  EXPECT_TRUE(sameTol(storedTol(vc2Wireframe(open, percent), 1), percent));
}

// Reversing runs the outline the other way in a shape of the same class and leaves the inside where it was: the
// direction flag toggles with the order, so a wireframe keeps its inside side under any placement; twice gives it back.
TEST(WireframeTest, ReversingKeepsTheInsideAndTheClass) {
  const vcXform<2> placements[] = {vcXform<2>::I, similarity(0.7, 2, V(5, -3), true),
                                   vcXform<2>(vcMatrix<2>(1, 0.6, -0.2, 0.8), V(1, 1))};
  for (const vcXform<2>& x : placements)
    for (const bool reversed : {false, true}) {
      vc2Wireframe w(roundedSquare());
      w.polarity(reversed);
      w = w.map(x);
      const vcShapeHandle h = w.reverse();
      const auto* r = dynamic_cast<const vc2Wireframe*>(h.ptr());
      ASSERT_NE(r, nullptr);
      EXPECT_EQ(r->isInsidePositive(), w.isInsidePositive());
      EXPECT_EQ(r->poly().isDirectionPositive(), w.poly().isDirectionPositive());
      EXPECT_NE(r->isPolarityReversed(), w.isPolarityReversed());
      const long n = w.numVertices();
      for (long i = 0; i < n; ++i) EXPECT_EQ(r->vertexPoint(i), w.vertexPoint(n - 1 - i));
      for (const V& p : {V(5, 5), V(5, -2), V(9.5, 9.5), V(11, 5)}) EXPECT_EQ(r->within(x * p), w.within(x * p));
      EXPECT_EQ(*r->reverse(), w);
    }
  const vcGenPoly open = chain({V(0, 0), V(10, 0), V(10, 10)}, 1.0, 40);
  const vcShapeHandle back = open.reverse();
  EXPECT_EQ(back->startPoint(), open.endPoint());
  EXPECT_EQ(*back->reverse(), open);
}

// An SMD poly made from a wireframe is a copy of the poly it holds, in its own frame, under the name given.
TEST(WireframeTest, SMDPolysCopyTheHeldPolyUnderTheirOwnName) {
  vc2Wireframe w = squareFrame();
  w.segmentLengthTol(1, vcDimTol(10, 1, 1, vcDimTol::eOffsets));
  w.polarity(true);
  const vcSMDGDPoly p(w.map(similarity(1, 3, V(7, 7))), "pad");
  EXPECT_EQ(p.name(), "pad");
  EXPECT_EQ(p, w.poly());
  EXPECT_TRUE(p.isDirectionReversed());
  EXPECT_EQ(vcSMDGDPoly(vc2Wireframe(), "empty").numVertices(), 0);
}

TEST(WireframeTest, ArchiveKeepsPolarityAndTypeAndRejectsUnknownVersions) {
  vc2Wireframe w = squareFrame();
  w.segmentLengthTol(2, vcDimTol(10, 1, 1, vcDimTol::eOffsets));
  w.polarity(true);
  const vcShapeHandle h = vc_test::handleRoundTrip(w);
  ASSERT_NE(dynamic_cast<const vc2Wireframe*>(h.ptr()), nullptr);
  EXPECT_EQ(*h, w);  // polarity included
  const vc_test::Bytes bytes = vc_test::archiveBytes(w);
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 3), vc2Wireframe(), "dispc/wrfm/wirefrm", 148);
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 1, 3), vc2Wireframe(), "dispc/wrfm/genpoly", 751);
  const auto same = [](const vc2Wireframe& a, const vc2Wireframe& b) { EXPECT_TRUE(vfRealEq(a, b, 0)); };
  for (std::size_t n = 0; n < bytes.size(); n += 11)
    vc_test::expectRejected(squareFrame(), vc_test::Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)), same);
}

struct Drawable : vcGenPoly {
  explicit Drawable(const vcGenPoly& g) : vcGenPoly(g) {}
  using vcGenPoly::drawToScope;
};

// The segments a poly draws, in order.
std::vector<vcLineSeg> drawn(const vcGenPoly& g, bool showVertex, bool arrows = false) {
  vcGraphicProps props(vcColor::redColor(), 1);
  props.showVertex(showVertex);
  props.arrowHead(arrows);
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

// Chords of arcs under any placement stay within 0.05 of the exact mapped arc, start and end on it, and take steps of
// at most 5 degrees.
TEST(GenPolyDrawTest, ArcChordsStayWithinTheToleranceOfTheMappedArcAtAnyZoom) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int trial = 0; trial < 60; ++trial) {
    const double zoom = std::pow(10.0, 3 * u(rng));
    const vcXform<2> x(vcMatrix<2>(zoom * (1 + 0.5 * u(rng)), zoom * u(rng), zoom * u(rng), zoom * (1 + 0.5 * u(rng))),
                       V(u(rng) * 100, u(rng) * 100));
    const double span = (u(rng) > 0 ? 1 : -1) * (10 + std::fabs(u(rng)) * 340);
    const vcGenPoly g = chain({V(0, 0), V(2, 0)}, 0, span).map(x);
    const vcEllipseArc2 exact = g.ellipseSegment(0, true);
    const std::vector<vcLineSeg> chords = drawn(g, true);
    SCOPED_TRACE(trial);
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
    EXPECT_GE(static_cast<double>(chords.size()), std::fabs(span) / 5);
  }
  // Radius 100: the step is 2 acos(1 - 0.05 / 100), about 3.62 degrees, so a quarter turn takes trunc(90 / 3.62) + 1 =
  // 25 chords. Small radii keep 5 degrees.
  const struct {
    double scale, span;
    std::size_t chords;
  } cases[] = {{100 / std::sqrt(2.0), 90, 25}, {0.01, -90, 19}, {1.0, 180, 37}};
  for (const auto& c : cases) {
    const vcGenPoly g = chain({V(0, 0), V(2, 0)}, 0, c.span).map(vcXform<2>(vcMatrix<2>(c.scale, 0, 0, c.scale), V()));
    EXPECT_EQ(drawn(g, true).size(), c.chords) << c.scale << " " << c.span;
  }
}

// A circle of radius r pixels whose top touches the middle of a 100 x 100
// scope: past some 1e5 pixels only the chords that can reach the scope are
// drawn, so a radius of 1e14 takes no hundreds of millions of chords and one
// of 1e16 no step of zero. What is drawn follows the circle (to the rounding
// of coordinates near r) across the whole scope.
TEST(GenPolyDrawTest, ArcsOfHugeRadiiDrawTheVisibleChordsOnly) {
  for (const double r : {1e6, 1e10, 1e14, 1e16, 1e20}) {
    SCOPED_TRACE(r);
    vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(100, 100));
    vcUITablet t(&scope, nullptr);
    t.visible(true);
    t.baseMap(vcXform<2>(vcMatrix<2>(r, 0, 0, r), V(50, 50)));
    scope.clearLog();
    vcGraphicProps plain(vcColor::redColor(), 1);
    plain.arrowHead(false);
    t.draw(vcGenPoly(vcCircle(V(0, 1), 1)), plain, I);
    const std::vector<vcScopeCall> calls = scope.calls("draw(vcLineSeg)");
    ASSERT_FALSE(calls.empty());
    EXPECT_LE(calls.size(), 100u);
    const V center(50, 50 + r);
    const double tol = 0.06 + 8e-16 * r;
    std::vector<bool> covered(11, false);
    for (const vcScopeCall& c : calls) {
      const vcLineSeg& s = dynamic_cast<const vcLineSeg&>(*c.shape);
      for (const double k : {0.0, 0.5, 1.0}) EXPECT_NEAR((s.p1() + (s.p2() - s.p1()) * k).distance(center), r, tol);
      const V d = s.p2() - s.p1();
      for (std::size_t i = 0; i < covered.size(); ++i) {
        const double u = (10.0 * static_cast<double>(i) - s.p1().x()) / d.x();
        if (u >= 0 && u <= 1 && std::fabs(s.p1().y() + u * d.y() - 50) <= 0.1 + tol) covered[i] = true;
      }
    }
    for (std::size_t i = 0; i < covered.size(); ++i) EXPECT_TRUE(covered[i]) << "x = " << 10 * i;
  }
}

TEST(GenPolyDrawTest, SegmentsThenFiguresThenRoundingsWithFiguresAlongTheTravel) {
  vcGenPoly g = chain({V(0, 0), V(40, 0), V(40, 40), V(0, 40)});
  g.vertexRoundingSize(2, 4);
  g.close(kLine);
  const std::vector<vcLineSeg> bare = drawn(g, false), full = drawn(g, true), arrows = drawn(g, false, true);
  // The rounded corner cuts two sides back unless vertices are shown.
  EXPECT_EQ(bare[1].p2(), V(40, 36));
  EXPECT_EQ(full[1].p2(), V(40, 40));
  // Four sides, two strokes of a chevron per side, then the rounding's chords.
  ASSERT_EQ(arrows.size(), bare.size() + 8);
  for (std::size_t k = 4; k < bare.size(); ++k) EXPECT_EQ(arrows[k + 8].p1(), bare[k].p1());
  // The first side runs toward +x: its chevron's tip lies ahead of its arms, on the side's middle.
  const vcLineSeg& arm = arrows[4];
  EXPECT_EQ(arm.p2(), arrows[5].p2());
  EXPECT_NEAR(arm.p2().y(), 0, 1e-12);
  EXPECT_NEAR(std::fabs(arm.p2().x() - arm.p1().x()), 0.08 * 40, 1e-9);
  // A reversed direction turns the figures round.
  vc2Wireframe reversed(g);
  reversed.polarity(true);
  EXPECT_LT(drawn(reversed, false, true)[4].p2().x(), drawn(reversed, false, true)[4].p1().x());
  // Sides under a fifth of the longest get no figure: sides 100, 19, 100 give two.
  EXPECT_EQ(drawn(chain({V(0, 0), V(100, 0), V(100, 19), V(0, 19)}), false, true).size(), 3u + 4u);
}

struct Drawn {
  vcRecordingScope image{vcPair<long>(0, 0), vcPair<long>(200, 100)};
  vcUITablet tablet{&image, nullptr};
  explicit Drawn(const vcPair<double>& scale, bool record = false) {
    tablet.visible(true);
    tablet.baseMap(vcXform<2>(vcMatrix<2>(1, 0.1, 0, 1), V(3, -2)));
    tablet.scaleExact(scale);
    tablet.recordOn() = record;
    image.clearLog();
  }
  // The scope calls of replaying sketch, less the lock and optimisation calls around them.
  std::string replay(const vcUISketch& sketch) {
    tablet.draw(sketch, vcPoint(0, 0), I);
    const vcRecordingScope::Log& log = image.log();
    EXPECT_GE(log.size(), 4u);
    std::string inner;
    for (std::size_t i = 2; i + 2 < log.size(); ++i) inner += log[i].text + "\n";
    return inner;
  }
};

vcGraphicProps props(bool fill, bool showVertex) {
  vcGraphicProps p(vcColor(10, 200, 30), 2, vcGraphicProps::ePenSolid, fill);
  p.showVertex(showVertex);
  p.arrowHead(true);
  return p;
}

// Opcodes 34 and 38 replay as the direct draw with either vertex option, for
// an empty poly and the color form too (every opcode in every scale mode:
// the sketch replay tests).
TEST(GenPolySketch, RecordsTheirOpcodeAndReplayLikeTheDirectDraw) {
  const vcGenPoly openRounded = chain({V(0, 0), V(30, 0), V(30, 20), V(5, 25)}, -2, -35);
  const auto poly = [](vcGenPoly g) { return [g](vcUITablet& t, const vcGraphicProps& p) { t.draw(g, p, I); }; };
  const struct {
    const char* name;
    std::function<void(vcUITablet&, const vcGraphicProps&)> draw;
    bool fill;
    int opcode;
  } cases[] = {
      {"default", poly(vcGenPoly()), false, 34},
      {"mapped", poly(openRounded.map(vcXform<2>(vcMatrix<2>(2, 0.5, -0.3, 1), V(9, 4)))), false, 34},
      {"filled circle", poly(vcGenPoly(vcCircle(V(50, 40), 12))), true, 38},
      {"color form", [&](vcUITablet& t, const vcGraphicProps&) { t.draw(openRounded, vcColor(1, 2, 3), I, true); },
       true, 38},
  };
  for (const auto& c : cases)
    for (const bool showVertex : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (showVertex ? " vertices" : ""));
      Drawn direct(vcPair<double>(2, 3), true), replayed(vcPair<double>(2, 3));
      c.draw(direct.tablet, props(c.fill, showVertex));
      const std::vector<vcTestRecord> records = vfTestRecords(direct.tablet.sketch());
      ASSERT_EQ(records.size(), 1u);
      EXPECT_EQ(records[0].op, c.opcode);
      EXPECT_EQ(replayed.replay(direct.tablet.sketch()), direct.image.logText());
    }
}

TEST(GenPolySketch, MalformedPayloadsAreRefused) {
  std::vector<unsigned char> good;
  vcUITablet t;
  for (const vcCatalogueEntry& e : vfOpcodeCatalogue())
    if (e.opcode == 34) e.draw(t, I);
  good = vfTestRecords(t.sketch()).at(0).payload;
  // Layout: transform 0..55, mutable flag 56, count 60, first vertex at 64 (point 64, radius 80, span 88, nominal 96,
  // minimum 104, maximum 112, form 120).
  using vc_bytes::put32;
  using vc_bytes::putF64;
  const std::pair<const char*, std::function<void(std::vector<unsigned char>&)>> spoils[] = {
      {"mutable flag 2", [](auto& b) { put32(&b[56], 2); }},
      {"open flag 7", [](auto& b) { put32(&b[b.size() - 4], 7); }},
      {"vertex count beyond the bytes", [](auto& b) { put32(&b[60], 1000); }},
      {"negative vertex count", [](auto& b) { put32(&b[60], 0xffffffffu); }},
      {"NaN point", [](auto& b) { putF64(&b[64], std::numeric_limits<double>::quiet_NaN()); }},
      {"infinite span", [](auto& b) { putF64(&b[88], std::numeric_limits<double>::infinity()); }},
      {"invalid tolerance", [](auto& b) { putF64(&b[96], 5), putF64(&b[104], 9), putF64(&b[112], 1); }},
      {"singular transform", [](auto& b) { for (int k = 0; k < 4; ++k) putF64(&b[8 * k], 0); }},
  };
  for (const long op : {34L, 41L}) {
    const std::unique_ptr<vc_UISketchOpData> record(vfCreateUISketchOpData(op));
    const long n = static_cast<long>(good.size());
    EXPECT_EQ(record->parseByteStream(good.data(), n), n);
    EXPECT_EQ(record->parseVersion0ByteStream(good.data(), n), n);
    for (const auto& [what, apply] : spoils) {
      std::vector<unsigned char> bad = good;
      apply(bad);
      EXPECT_THROW(record->parseByteStream(bad.data(), static_cast<long>(bad.size())), vcUIError::InvalidUISketch)
          << what;
    }
  }
}

}  // namespace
