#include <vc/wrfm/genpoly.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>

#include <vc/core/archive.h>
#include <vc/core/circle.h>
#include <vc/core/ellipse.h>
#include <vc/core/genrect.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/core/shapetree.h>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;
const vcRadian kLine(0.0);

// An open chain through pts with the same rounding everywhere.
vcGenPoly chain(const std::vector<V>& pts, double rounding = 0.0) {
  vcGenPoly g;
  for (const V& p : pts) g.insertVertex(p, rounding, kLine);
  return g;
}

// A 10 x 10 square with corner 2 rounded by 2 and an outward half-circle
// bulge on its first side.
vcGenPoly roundedSquare() {
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, kLine);
  g.insertVertex(V(10, 0), 0, vcDegree(-180));
  g.insertVertex(V(10, 10), 2, kLine);
  g.insertVertex(V(0, 10), 0, kLine);
  g.close(kLine);
  return g;
}

vcXform<2> similarity(double angle, double scale, V t, bool mirror = false) {
  const double c = std::cos(angle) * scale, s = std::sin(angle) * scale;
  const double m = mirror ? -1.0 : 1.0;
  return vcXform<2>(vcMatrix<2>(c, -s * m, s, c * m), t);
}

// Exposes the error translation to check it case by case.
struct Probe : vcGenPoly {
  void translate(const std::exception_ptr& e) const {
    try {
      std::rethrow_exception(e);
    } catch (const vcException& x) {
      remapAndThrowError_(x);
    }
  }
};

template <class T>
bool isA(const vcException& e) {
  return dynamic_cast<const T*>(&e) != nullptr;
}

// The SMD poly's errors thrown through the translation come out as the shape
// error of the same meaning; any other error passes unchanged.
TEST(GenPolyTest, SmdErrorsBecomeShapeErrorsCaseByCase) {
  const Probe p;
  using Is = bool (*)(const vcException&);
  const Is geom = isA<vcShapesError::BadGeom>;
  const struct {
    const char* name;
    std::exception_ptr in;
    Is isOut;
  } cases[] = {
      {"invalidVertices", std::make_exception_ptr(vcSMDGDPoly::invalidVertices()), geom},
      {"crossingSegments", std::make_exception_ptr(vcSMDGDPoly::crossingSegments()), geom},
      {"invalidRounding", std::make_exception_ptr(vcSMDGDPoly::invalidRounding()), isA<vcShapesError::BadRadius>},
      {"invalidIndex", std::make_exception_ptr(vcSMDGDPoly::invalidIndex()), isA<vcShapesError::BadCoef>},
      {"notClosed", std::make_exception_ptr(vcSMDGDPoly::notClosed()), geom},
      {"invalidSegmentLength", std::make_exception_ptr(vcSMDGDPolyVertex::invalidSegmentLength()), geom},
      {"DegenerateShape", std::make_exception_ptr(vcShapesError::DegenerateShape()), geom},
      {"BadData", std::make_exception_ptr(vcArchive::BadData()), isA<vcArchive::BadData>},
      {"noPelBuffer", std::make_exception_ptr(vcSMDGDPoly::noPelBuffer()), isA<vcSMDGDPoly::noPelBuffer>},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      p.translate(c.in);
      ADD_FAILURE() << "nothing thrown";
    } catch (const vcException& e) {
      EXPECT_TRUE(c.isOut(e)) << e.what();
    }
  }
}

TEST(GenPolyTest, RejectedEditsThrowShapeErrorsAndChangeNothing) {
  const vcGenPoly square = roundedSquare();
  const vcGenPoly sharp = chain({V(0, 0), V(10, 0), V(10, 10), V(0, 10)});
  const auto radius = isA<vcShapesError::BadRadius>, geom = isA<vcShapesError::BadGeom>,
             index = isA<vcShapesError::BadCoef>;
  const struct {
    const char* name;
    vcGenPoly base;
    std::function<void(vcGenPoly&)> edit;
    bool (*isOut)(const vcException&);
  } cases[] = {
      {"rounding too large", square, [](vcGenPoly& g) { g.replaceVertex(3, V(0, 10), 7); }, radius},
      {"crossing segment", sharp, [](vcGenPoly& g) { g.replaceVertex(3, V(5, -5), 0); }, geom},
      {"insert index above", square, [](vcGenPoly& g) { g.insertVertex(4, V(5, 5), 0, kLine); }, index},
      {"insert index below", square, [](vcGenPoly& g) { g.insertVertex(-2, V(5, 5), 0, kLine); }, index},
      {"delete missing vertex", square, [](vcGenPoly& g) { g.deleteVertex(4); }, index},
      {"span of missing segment", square, [](vcGenPoly& g) { g.segmentAngleSpan(4, kLine); }, index},
      {"line of an arc", square, [](vcGenPoly& g) { (void)g.lineSegment(0, true); }, geom},
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
    EXPECT_EQ(g, c.base);
  }
}

TEST(GenPolyTest, EveryEditOfAnImmutablePolyThrowsBadGeom) {
  const std::function<void(vcGenPoly&)> edits[] = {
      [](vcGenPoly& g) { g.insertVertex(V(1, 1), 0, kLine); },
      [](vcGenPoly& g) { g.replaceVertex(0, V(1, 1), 0, kLine); },
      [](vcGenPoly& g) { g.replaceVertex(0, V(1, 1), 0); },
      [](vcGenPoly& g) { g.deleteVertex(0); },
      [](vcGenPoly& g) { g.vertexPoint(0, V(1, 1)); },
      [](vcGenPoly& g) { g.vertexRoundingSize(1, 1.0); },
      [](vcGenPoly& g) { g.vertexRoundingSizes(1.0); },
      [](vcGenPoly& g) { g.segmentAngleSpan(0, vcDegree(10)); },
      [](vcGenPoly& g) { g.open(); },
      [](vcGenPoly& g) { g.close(kLine); },
  };
  vcGenPoly frozen = roundedSquare();
  frozen.setMutable(false);
  for (const auto& edit : edits) {
    vcGenPoly g = frozen;
    EXPECT_THROW(edit(g), vcShapesError::BadGeom);
    EXPECT_TRUE(vfRealEq(g, frozen, 0));
  }
}

TEST(GenPolyTest, DefaultAndOneVertexPolysDecomposeAsDocumented) {
  const vcGenPoly empty;
  EXPECT_TRUE(empty.degen());
  EXPECT_TRUE(empty.isOpen());
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_FALSE(empty.isOpenContour());
  EXPECT_FALSE(empty.isRegion());
  const vcShapeHandle whole = empty.decomposeShape();
  const auto* tree = dynamic_cast<const vcContourTree*>(whole.ptr());
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->numChildren(), 0);
  EXPECT_FALSE(tree->isClosed());

  const vcGenPoly one = chain({V(3, 4)});
  const vcShapeHandle single = one.decomposeShape();
  const auto* seg = dynamic_cast<const vcLineSeg*>(single.ptr());
  ASSERT_NE(seg, nullptr);
  EXPECT_EQ(seg->p1(), V(3, 4));
  EXPECT_EQ(seg->p2(), V(3, 4));
  EXPECT_FALSE(one.hasTangent());
  EXPECT_THROW(one.startAngle(), vcShapesError::NoTangent);
}

TEST(GenPolyTest, RoundingSizeAsReadIsZeroAtOpenEndsAndTheArcRadiusElsewhere) {
  vcGenPoly g = chain({V(0, 0), V(10, 0), V(10, 10), V(20, 10)}, 2.0);
  const double expected[] = {0, 2, 2, 0};
  for (long i = 0; i < 4; ++i) EXPECT_NEAR(g.vertexRoundingSize(i), expected[i], 1e-12) << i;
  g.replaceVertex(1, V(10, 0), -2.0);
  EXPECT_NEAR(g.vertexRoundingSize(1), -2.0, 1e-12);
  // Read in client units: a poly shown three times larger reads three times larger.
  const vcGenPoly big = g.map(similarity(0.3, 3.0, V(5, 5)));
  EXPECT_NEAR(big.vertexRoundingSize(2), 6.0, 1e-12);
  EXPECT_NEAR(big.roundedVertex(2).ellipse().radii().x(), 6.0, 1e-12);
}

TEST(GenPolyTest, FullLineSegmentsRunVertexToVertexAndRoundedOnesStopAtTheRoundings) {
  const vcGenPoly g = chain({V(0, 0), V(10, 0), V(10, 10), V(0, 10)}, 2.0);
  const vcLineSeg full = g.lineSegment(1, true);
  EXPECT_EQ(full.p1(), V(10, 0));
  EXPECT_EQ(full.p2(), V(10, 10));
  // Both corners of segment 1 turn by 90 degrees: the rounding takes r off each end.
  const vcLineSeg cut = g.lineSegment(1, false);
  EXPECT_NEAR(cut.p1().distance(V(10, 2)), 0, 1e-12);
  EXPECT_NEAR(cut.p2().distance(V(10, 8)), 0, 1e-12);
  // The rounded pieces join up in the decomposition.
  const vcEllipseArc2 corner = g.roundedVertexArc(1);
  EXPECT_NEAR(corner.endPoint().distance(cut.p1()), 0, 1e-12);
  EXPECT_NEAR(g.lineSegment(0, false).p2().distance(corner.startPoint()), 0, 1e-12);
}

// A full turn between two distinct vertices would have to come back to its
// start: the poly rejects it, like the SMD poly, instead of drawing a line.
TEST(GenPolyTest, FullTurnSpanIsRejectedAndJustUnderAFullTurnIsAnArc) {
  vcGenPoly g = chain({V(0, 0), V(2, 0)});
  const vcGenPoly before = g;
  EXPECT_THROW(g.segmentAngleSpan(0, vcDegree(360)), vcShapesError::BadGeom);
  EXPECT_THROW(g.insertVertex(V(4, 0), 0, vcDegree(-360)), vcShapesError::BadGeom);
  EXPECT_EQ(g, before);
  g.segmentAngleSpan(0, vcDegree(359));
  EXPECT_TRUE(g.isArcSegment(0));
  EXPECT_THROW(g.lineSegment(0, true), vcShapesError::BadGeom);
  EXPECT_NEAR(g.segmentAngleSpan(0).toDouble(), 359 * kPi / 180, 1e-12);
  // Nearly a whole circle through both vertices: the chord of 2 subtends the
  // remaining degree, so the radius is 1 / sin(0.5 degrees).
  const double radius = 1.0 / std::sin(0.5 * kPi / 180);
  EXPECT_NEAR(g.perimeter(), radius * 359 * kPi / 180, 1e-9 * radius);
  EXPECT_NEAR(g.arcSegment(0, true).startPoint().distance(V(0, 0)), 0, 1e-9);
}

// Queries answer in client coordinates for any placement: the answers for
// a mapped poly are the mapped answers of the poly as stored.
TEST(GenPolyTest, QueriesOfAMappedPolyAnswerInClientCoordinates) {
  std::mt19937 rng(15);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const vcGenPoly closed = roundedSquare();
  const vcGenPoly open = chain({V(0, 0), V(10, 0), V(10, 10)}, 1.0);
  for (int trial = 0; trial < 40; ++trial) {
    const double scale = 0.5 + std::fabs(u(rng)) * 3;
    const vcXform<2> x = similarity(u(rng) * kPi, scale, V(u(rng) * 50, u(rng) * 50), trial % 2 == 1);
    const vcGenPoly mc = closed.map(x), mo = open.map(x);
    const V p(5 + u(rng) * 8, 5 + u(rng) * 8);
    SCOPED_TRACE(trial);
    EXPECT_EQ(mc.within(x * p), closed.within(p));
    EXPECT_NEAR(mc.distToPoint(x * p), scale * closed.distToPoint(p), 1e-9 * scale);
    EXPECT_NEAR(mo.distToPoint(x * p), scale * open.distToPoint(p), 1e-9 * scale);
    EXPECT_NEAR(mo.startPoint().distance(x * open.startPoint()), 0, 1e-9);
    EXPECT_NEAR(mo.endPoint().distance(x * open.endPoint()), 0, 1e-9);
    const vcRect b = mc.boundingBox(), e = mc.encloseRect();
    EXPECT_NEAR(b.origin().distance(e.origin()), 0, 1e-9);
    EXPECT_NEAR(b.size().distance(e.size()), 0, 1e-9);
  }
  EXPECT_THROW(closed.startPoint(), vcShapesError::NotOpenContour);
  EXPECT_THROW(open.within(V(1, 1)), vcShapesError::NotRegion);
}

TEST(GenPolyTest, VertexSettersTakeClientCoordinatesLikeTheGetters) {
  const vcXform<2> x = similarity(0.7, 2.0, V(30, -4));
  vcGenPoly g = chain({V(0, 0), V(10, 0), V(10, 10), V(0, 10)}, 1.0).map(x);
  const V before0 = g.vertexPoint(0), before2 = g.vertexPoint(2);
  const double r1 = g.vertexRoundingSize(1);
  g.vertexPoint(1, g.vertexPoint(1) + V(1, 1));
  EXPECT_NEAR(g.vertexPoint(1).distance(x * V(10, 0) + V(1, 1)), 0, 1e-9);
  EXPECT_EQ(g.vertexPoint(0), before0);
  EXPECT_EQ(g.vertexPoint(2), before2);
  EXPECT_NEAR(g.vertexRoundingSize(1), r1, 1e-9);
  g.vertexRoundingSize(2, 3.0);
  EXPECT_NEAR(g.vertexRoundingSize(2), 3.0, 1e-9);
  EXPECT_NEAR(g.poly().vertex(2).vertexRadius(), 1.5, 1e-12);
}

TEST(GenPolyTest, MapByIdentityIsEqualAndByATranslationKeepsTheStoredVertices) {
  const vcGenPoly g = roundedSquare();
  EXPECT_EQ(g.map(vcXform<2>::I), g);
  const vcGenPoly moved = g.map(vcXform<2>(vcMatrix<2>(1, 0, 0, 1), V(3, 4)));
  EXPECT_NE(moved, g);
  EXPECT_EQ(moved.poly(), g.poly());
  EXPECT_EQ(moved.vertexPoint(2), V(13, 14));
  EXPECT_THROW(g.map(vcXform<2>(vcMatrix<2>(1, 1, 1, 1), V())), vcShapesError::BadGeom);
  // The rigid form moves the stored vertices themselves.
  const vcGenPoly rigid = g.map(vc2Rigid(vcRadian(kPi / 2), V(1, 0)), 2.0);
  EXPECT_TRUE(rigid.xform().isIdentity());
  EXPECT_NEAR(rigid.vertexPoint(1).distance(V(1, 20)), 0, 1e-12);
}

TEST(GenPolyTest, ReverseRunsTheOutlineBackOverTheSamePoints) {
  for (const vcGenPoly& g : {roundedSquare(), chain({V(0, 0), V(10, 0), V(10, 10), V(0, 12)}, 1.0)}) {
    const vcShapeHandle r = g.reverse();
    const auto& back = dynamic_cast<const vcGenPoly&>(*r);
    EXPECT_NEAR(back.perimeter(), g.perimeter(), 1e-9);
    std::vector<V> a, b;
    g.sample(vcShape::vcSampleParams(0.01), a);
    back.sample(vcShape::vcSampleParams(0.01), b);
    const vcShapeHandle outline = g.decomposeShape(), backOutline = back.decomposeShape();
    for (const V& p : b) EXPECT_LT(outline->distanceToPoint(p), 1e-6);
    for (const V& p : a) EXPECT_LT(backOutline->distanceToPoint(p), 1e-6);
    EXPECT_NEAR(a.front().distance(g.isOpen() ? b.back() : b.front()), 0, 1e-9);
    EXPECT_EQ(*back.reverse(), g);
  }
}

// Each constructor's outline lies on the shape it was made from.
TEST(GenPolyTest, ConstructedOutlinesLieOnTheirShapes) {
  const vcEllipse ellipse(V(3, 4), V(5, 2), vcRadian(0.4));
  const vcEllipseArc arc(ellipse, vcRadian(0.5), vcRadian(2.0));
  const struct {
    const char* name;
    vcGenPoly poly;
    std::function<double(const V&)> dist;
  } cases[] = {
      {"circle", vcGenPoly(vcCircle(V(1, 2), 3)), [](const V& p) { return std::fabs(p.distance(V(1, 2)) - 3); }},
      {"ellipse", vcGenPoly(ellipse), [&](const V& p) { return std::fabs(ellipse.unit().invMapPoint(p).len() - 1); }},
      {"ellipse arc", vcGenPoly(arc), [&](const V& p) { return arc.distToPoint(p); }},
      {"ellipse arc 2", vcGenPoly(vcEllipseArc2(arc)), [&](const V& p) { return arc.distToPoint(p); }},
      {"rect", vcGenPoly(vcRect(1, 2, 4, 3)),
       [](const V& p) { return vcPolyline({V(1, 2), V(5, 2), V(5, 5), V(1, 5)}, true).distanceToPoint(p); }},
      {"polygon", vcGenPoly(vcPolygon({V(0, 0), V(4, 0), V(0, 3)}, vcPolygon::eEvenOdd)),
       [](const V& p) { return vcPolyline({V(0, 0), V(4, 0), V(0, 3)}, true).distanceToPoint(p); }},
      {"line segment", vcGenPoly(vcLineSeg(V(1, 1), V(4, 5))),
       [](const V& p) { return vcLineSeg(V(1, 1), V(4, 5)).distanceToPoint(p); }},
      {"gen rect", vcGenPoly(vcGenRect(V(2, 2), V(6, 4), vcRadian(0.3), V(0, 0))),
       [](const V& p) {
         const vcGenRect r(V(2, 2), V(6, 4), vcRadian(0.3), V(0, 0));
         return vcPolyline({r.corner(0), r.corner(1), r.corner(2), r.corner(3)}, true).distanceToPoint(p);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<V> pts;
    c.poly.sample(vcShape::vcSampleParams(1e-4), pts);
    ASSERT_GE(pts.size(), 2u);
    for (const V& p : pts) EXPECT_LT(c.dist(p), 1e-3);
  }
  // Equal roundings of a skewed rectangle are quarter circles of the unit
  // square mapped like the rectangle: the same outline.
  const vcGenRect rounded(V(2, 2), vcMatrix<2>(3, 1, 0.5, 2), V(0.4, 0.4));
  EXPECT_NEAR(vcGenPoly(rounded).perimeter(), rounded.perimeter(), 1e-6);
  EXPECT_NEAR(vcGenPoly(rounded).boundingBox().size().distance(rounded.boundingBox().size()), 0, 1e-9);
  EXPECT_EQ(vcGenPoly(vcRect(1, 2, 4, 3)).vertexPoint(0), V(5, 2));
  EXPECT_NEAR(vcGenPoly(arc).startPoint().distance(arc.startPoint()), 0, 1e-9);
  EXPECT_NEAR(vcGenPoly(arc).endPoint().distance(arc.endPoint()), 0, 1e-9);
  const auto rings = vcGenPoly::convert(vcAnnulus(V(0, 0), 1, 2));
  ASSERT_EQ(rings.size(), 2u);
  EXPECT_TRUE(rings[0].within(V(0, 0.5)));
  EXPECT_FALSE(rings[0].within(V(0, 1.5)));
  EXPECT_TRUE(rings[1].within(V(0, 1.5)));
}

// A section whose inner ellipse is a scaled copy of the outer becomes an
// outline of the same region; any other inner ellipse is refused.
TEST(GenPolyTest, AnnulusSectionKeepsItsRegionOrIsRefused) {
  const vcEllipse outer(V(10, 20), V(8, 3), vcRadian(0.3));
  const vcEllipse inner(V(10, 20), V(4, 1.5), vcRadian(0.3));
  for (const double span : {1.5, -2.5, 5.0}) {
    const vcEllipseAnnulusSection section(vcEllipseAnnulus(inner, outer), vcRadian(0.2), vcRadian(span), true);
    const vcGenPoly g(section);
    SCOPED_TRACE(span);
    EXPECT_NEAR(g.perimeter(), section.perimeter(), 1e-6 * section.perimeter());
    std::mt19937 rng(6);
    std::uniform_real_distribution<double> u(-9.0, 9.0);
    for (int k = 0; k < 200; ++k) {
      const V p = V(10, 20) + V(u(rng), u(rng) / 2);
      EXPECT_EQ(g.within(p), section.within(p)) << p.x() << " " << p.y();
    }
  }
  const vcEllipse skewed(V(10, 20), V(4, 2.5), vcRadian(0.3));
  EXPECT_THROW(vcGenPoly(vcEllipseAnnulusSection(vcEllipseAnnulus(skewed, outer), vcRadian(0), vcRadian(1), true)),
               vcShapesError::BadGeom);
}

TEST(GenPolyTest, ArchiveRoundTripsAndRejectsBadBytesWithoutChange) {
  vcGenPoly g = roundedSquare().map(similarity(0.2, 1.5, V(1, 2), true));
  g.setMutable(false);
  const vc_test::Bytes bytes = vc_test::archiveBytes(g);
  const vcGenPoly back = vc_test::valueRoundTrip(g);
  EXPECT_TRUE(vfRealEq(back, g, 0));
  EXPECT_EQ(vc_test::archiveBytes(back), bytes);
  const vcShapeHandle h = vc_test::handleRoundTrip(g);
  EXPECT_EQ(*h, g);

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
  vc_test::Bytes singular = vc_test::withF64(bytes, bytes.size() - 1 - 48, 0.0);
  singular = vc_test::withF64(singular, bytes.size() - 1 - 40, 0.0);
  vc_test::expectRejected(target, singular, same);
}

}  // namespace
