#include <vc/wrfm/wireframe.h>

#include <gtest/gtest.h>

#include <cmath>

#include <vc/core/archive.h>

#include "support/archive_roundtrip.h"

namespace {

using V = vcVector<2>;
const vcRadian kLine(0.0);
const vcDimTol kNone(-1, -1, -1, vcDimTol::eLimits);

bool sameTol(const vcDimTol& a, const vcDimTol& b) {
  return a.nomDim() == b.nomDim() && a.minTol() == b.minTol() && a.maxTol() == b.maxTol() &&
         a.tolType() == b.tolType();
}

// The stored tolerance of segment i, as the poly keeps it.
const vcDimTol& storedTol(const vc2Wireframe& w, long i) {
  return w.poly().vertex(w.nextVertexIndex(i)).segmentLengthTol();
}

vc2Wireframe square() {
  vc2Wireframe w;
  w.insertVertex(V(0, 0), 0, kLine, kNone);
  w.insertVertex(V(10, 0), 0, kLine, kNone);
  w.insertVertex(V(10, 10), 0, kLine, kNone);
  w.insertVertex(V(0, 10), 0, kLine, kNone);
  w.close(kLine, kNone);
  return w;
}

struct Counting : vc2Wireframe {
  int calls = 0;
  void polarity_(bool) override { ++calls; }
};

TEST(WireframeTest, PolarityTogglesOnceAndCallsTheHookOnce) {
  Counting w;
  w.polarity(true);
  w.polarity(true);
  EXPECT_TRUE(w.isPolarityReversed());
  EXPECT_EQ(w.calls, 1);
  w.polarity(false);
  EXPECT_FALSE(w.isPolarityReversed());
  EXPECT_EQ(w.calls, 2);
}

TEST(WireframeTest, InsidePolarityFollowsDirectionFlagAndMirroring) {
  vc2Wireframe w = square();
  const bool positive = w.isInsidePositive();
  const vc2Wireframe mirrored = w.map(vcXform<2>(vcMatrix<2>(-1, 0, 0, 1), V(5, 0)));
  EXPECT_EQ(mirrored.isInsidePositive(), !positive);
  EXPECT_EQ(mirrored.isPolarityReversed(), w.isPolarityReversed());
  // A rotation by 180 degrees is no mirror.
  EXPECT_EQ(w.map(vcXform<2>(vcMatrix<2>(-1, 0, 0, -1), V())).isInsidePositive(), positive);

  w.insidePolarity(!positive);
  EXPECT_EQ(w.isInsidePositive(), !positive);
  EXPECT_TRUE(w.isPolarityReversed());
  // Differing only in polarity makes them unequal.
  EXPECT_NE(w, square());
  EXPECT_THROW(vc2Wireframe().isInsidePositive(), vcShapesError::BadGeom);
}

TEST(WireframeTest, InsertingSplitsTheToleranceFirstPartTolSecondPartNone) {
  const vcDimTol t(10, 9, 11, vcDimTol::eLimits), tol(5, 0.5, 0.5, vcDimTol::eOffsets);
  vc2Wireframe w = square();
  w.segmentLengthTol(1, t);
  EXPECT_TRUE(sameTol(storedTol(w, 1), t));
  w.insertVertex(1, V(10, 5), 0, kLine, tol);
  ASSERT_EQ(w.numVertices(), 5);
  EXPECT_EQ(w.vertexPoint(2), V(10, 5));
  EXPECT_TRUE(sameTol(storedTol(w, 1), tol));
  EXPECT_TRUE(sameTol(storedTol(w, 2), kNone));
  // The getter reports the same range in its own form.
  const vcDimTol back = w.segmentLengthTol(1);
  EXPECT_NEAR(back.nomDim(), 5, 1e-12);
  EXPECT_NEAR(back.minOffset(), 0.5, 1e-12);
  EXPECT_NEAR(back.maxOffset(), 0.5, 1e-12);
}

TEST(WireframeTest, ToleranceEditsAreCheckedAndRejectedWithoutChange) {
  vc2Wireframe w = square();
  const vc2Wireframe before = w;
  // Segment 0 is 10 long; a tolerance of 1..2 is broken by its length.
  EXPECT_THROW(w.segmentLengthTol(0, vcDimTol(1.5, 1, 2, vcDimTol::eLimits)), vcShapesError::BadGeom);
  EXPECT_THROW(w.segmentLengthTol(9, kNone), vcShapesError::BadCoef);
  EXPECT_EQ(w, before);
  w.setMutable(false);
  EXPECT_THROW(w.segmentLengthTol(0, kNone), vcShapesError::BadGeom);
  EXPECT_THROW(w.insertVertex(0, V(5, 0), 0, kLine, kNone), vcShapesError::BadGeom);
}

TEST(WireframeTest, CloseOnAClosedWireframeChangesNothing) {
  vc2Wireframe w = square();
  const vc2Wireframe before = w;
  w.close(vcRadian(1.0), vcDimTol(10, 1, 1, vcDimTol::eOffsets));
  EXPECT_EQ(w, before);
  EXPECT_TRUE(sameTol(storedTol(w, 3), kNone));

  vc2Wireframe open;
  open.insertVertex(V(0, 0), 0, kLine, kNone);
  open.insertVertex(V(4, 0), 0, kLine, kNone);
  open.insertVertex(V(0, 3), 0, kLine, kNone);
  const vcDimTol closing(5, 1, 1, vcDimTol::eOffsets);
  open.close(kLine, closing);
  EXPECT_FALSE(open.isOpen());
  EXPECT_TRUE(sameTol(storedTol(open, 2), closing));
}

TEST(WireframeTest, ConstructionFromAPolySetsEveryTolerance) {
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, kLine);
  g.insertVertex(V(3, 0), 0, kLine);
  g.insertVertex(V(3, 4), 0, kLine);
  g.close(kLine);
  g.setMutable(false);
  const vcDimTol tol(-1, 0.1, 0.2, vcDimTol::ePercentages);
  const vc2Wireframe w(g, tol);
  EXPECT_FALSE(w.isMutable());
  for (long i = 0; i < w.numSegments(); ++i) EXPECT_TRUE(sameTol(storedTol(w, i), tol)) << i;
  EXPECT_EQ(vc2Wireframe(g).poly(), g.poly());
}

TEST(WireframeTest, ArchiveKeepsPolarityAndTypeAndRejectsUnknownVersions) {
  vc2Wireframe w = square();
  w.segmentLengthTol(2, vcDimTol(10, 1, 1, vcDimTol::eOffsets));
  w.polarity(true);
  const vc2Wireframe back = vc_test::valueRoundTrip(w);
  EXPECT_EQ(back, w);
  EXPECT_TRUE(back.isPolarityReversed());
  const vcShapeHandle h = vc_test::handleRoundTrip(w);
  ASSERT_NE(dynamic_cast<const vc2Wireframe*>(h.ptr()), nullptr);
  EXPECT_EQ(*h, w);
  EXPECT_NE(*h, vcGenPoly(w));

  const vc_test::Bytes bytes = vc_test::archiveBytes(w);
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 3), vc2Wireframe(), "dispc/wrfm/wirefrm", 148);
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 1, 3), vc2Wireframe(), "dispc/wrfm/genpoly", 751);
  const auto same = [](const vc2Wireframe& a, const vc2Wireframe& b) { EXPECT_TRUE(vfRealEq(a, b, 0)); };
  for (std::size_t n = 0; n < bytes.size(); n += 11)
    vc_test::expectRejected(square(), vc_test::Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)), same);
}

}  // namespace
