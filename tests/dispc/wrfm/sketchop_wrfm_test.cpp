// The public records of generalised polys and wireframes: what a parsed or loaded record gives back, and the records
// whose outline no poly can hold; the classes' registration for the tablet's generic draw and makeShapeGraphic.
#include <vc/wrfm/sketchop_wrfm.h>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/core/circle.h>
#include <vc/core/shapetree.h>
#include <vc/dispprop.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>
#include <vc/uitablet.h>
#include <vc/wrfm/graphic_wrfm.h>

#include "../../../dispc/ext/shape_classes.h"
#include "support/opcode_catalogue.h"

namespace {

using V = vcVector<2>;
using OpPtr = std::unique_ptr<vc_UISketchOpData>;
constexpr vcUITablet::Layers I = vcUITablet::eImage;

// The record object of the one record drawing g makes (opcode 34, or 38 with fill; 41 for a wireframe).
template <class G>
OpPtr recordOf(const G& g, bool fill) {
  vcUITablet t;
  t.draw(g, vcGraphicProps(vcColor::redColor(), 1, vcGraphicProps::ePenSolid, fill), I);
  vc_UISketchOpHeader header;
  vc_UISketchOpData* op = nullptr;
  EXPECT_EQ(vfParseUISketch(t.sketch(), 0, header, &op), t.sketch().size());
  return OpPtr(op);
}

std::vector<unsigned char> recorded(const std::function<void(vcUITablet&)>& draw) {
  vcUITablet t;
  draw(t);
  return std::vector<unsigned char>(t.sketch().data(), t.sketch().data() + t.sketch().size());
}

vcGenPoly sample() {
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, vcRadian(0));
  g.insertVertex(V(10, 0), 0, vcRadian(-1));
  g.insertVertex(V(10, 10), 2, vcRadian(0));
  g.insertVertex(V(0, 10), 0, vcRadian(0));
  g.close(vcRadian(0.3));
  return g.map(vcXform<2>(vcMatrix<2>(2, 0.5, -0.3, 1), V(9, 4)));
}

}  // namespace

// An application reaches the shape a record holds through the public classes, after parsing and after an archive.
TEST(WrfmSketchRecords, ParsedAndLoadedRecordsGiveBackTheirShapes) {
  const vcGenPoly g = sample();
  vc2Wireframe w(g);
  for (const bool fill : {false, true}) {
    const OpPtr op = recordOf(g, fill);
    const auto* record = dynamic_cast<const vc_UISketchOpGenPoly*>(op.get());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->genPoly(), g);
  }
  OpPtr op = recordOf(w, false);
  ASSERT_NE(dynamic_cast<const vc_UISketchOpWireframe*>(op.get()), nullptr);
  EXPECT_EQ(dynamic_cast<const vc_UISketchOpWireframe&>(*op).wireframe(), w);

  vcBufferArchive out(vcArchive::eStore);
  vcPersistent* stored = op.get();
  out.serializePointer(stored);
  vcBufferArchive in(out.bytes());
  vcPersistent* loaded = nullptr;
  in.serializePointer(loaded);
  const vcPtrHandle<vc_UISketchOpData> back(dynamic_cast<vc_UISketchOpData*>(loaded));  // shared with the archive
  ASSERT_NE(dynamic_cast<const vc_UISketchOpWireframe*>(back.ptr()), nullptr);
  EXPECT_EQ(dynamic_cast<const vc_UISketchOpWireframe&>(*back).wireframe(), w);
  EXPECT_EQ(back->className(), "vc_UISketchOpWireframe");
  EXPECT_EQ(vc_UISketchOpGenPoly().genPoly(), vcGenPoly());
  EXPECT_TRUE(vc_Instantiator::isRegistered("vc_UISketchOpGenPoly"));
}

// Corners at +-1e308 make an outline 2e308 wide and high, which no band of the inside test can cover (its index
// would be NaN cast to int), and whose squared lengths overflow. Every reader refuses such a poly with its own error
// and leaves its target alone.
TEST(WrfmSketchRecords, OutlinesWhoseBoxOverflowsAreRefusedByEveryReader) {
  constexpr double kHuge = 1e308;
  const std::vector<V> small = {V(-3, 0), V(0, 3), V(3, 0), V(0, -3)};
  std::vector<vcSMDGDPolyVertex> huge;
  for (const V& p : small) huge.emplace_back(p * (kHuge / 3), 0.0, vcDegree(0), 0.5, 0.5, -1, vcDimTol());
  vcSMDGDPoly p = vcSMDGDPoly::rectangle(4, 2, V(0, 0));
  const vcSMDGDPoly kept = p;
  EXPECT_THROW(p.vertices(huge), vcSMDGDPoly::Errors);
  EXPECT_EQ(p, kept);

  vcGenPoly g;
  for (const V& q : small) g.insertVertex(q, 0, vcRadian(0));
  g.close(vcRadian(0));
  EXPECT_THROW(g.map(vc2Rigid(vcRadian(0), V(0, 0)), kHuge / 3), vcException);

  // The same diamond in a record's payload and in an archive, its corners' coordinates patched to +-1e308.
  const auto blowUp = [&](std::vector<unsigned char> bytes) {
    for (const double v : {3.0, -3.0})
      for (std::size_t at = 0; at + 8 <= bytes.size(); ++at)
        if (vc_bytes::getF64(&bytes[at]) == v) vc_bytes::putF64(&bytes[at], v / 3 * kHuge);
    return bytes;
  };
  for (const long opcode : {34L, 41L}) {
    vcUITablet t;
    if (opcode == 34)
      t.draw(g, vcGraphicProps(), I);
    else
      t.draw(vc2Wireframe(g), vcGraphicProps(), I);
    const std::vector<vcTestRecord> records = vfTestRecords(t.sketch());
    ASSERT_EQ(records.size(), 1u);
    const std::vector<unsigned char> bad = blowUp(records[0].payload);
    ASSERT_NE(bad, records[0].payload);
    const OpPtr op(vfCreateUISketchOpData(opcode));
    EXPECT_THROW(op->parseByteStream(bad.data(), static_cast<long>(bad.size())), vcUIError::InvalidUISketch);
  }
  vcBufferArchive out(vcArchive::eStore);
  vcSMDGDPoly stored = g.poly();
  out || stored;
  vcBufferArchive in(blowUp(out.bytes()));
  EXPECT_THROW(in || p, vcArchive::Errors);
  EXPECT_EQ(p, kept);
}

// Drawn as a vcShape, plain or mapped, each class records what its typed
// overload records for the (mapped) shape: a wireframe stays a wireframe
// (opcode 41), a poly stays a poly (34, or 38 filled).
TEST(ShapeClasses, GenericDrawRecordsWhatTheTypedOverloadRecords) {
  const vcGenPoly g = sample();
  const vc2Wireframe w(g);
  const vcXform<2> x(vcMatrix<2>(2, 0.5, -0.3, 1), V(9, 4));
  for (const bool fill : {false, true}) {
    const vcGraphicProps props(vcColor::redColor(), 1, vcGraphicProps::ePenSolid, fill);
    const struct {
      std::string name;
      const vcShape& shape;
      std::function<void(vcUITablet&)> typed, typedMapped;
    } cases[] = {
        {"genpoly", g, [&](vcUITablet& t) { t.draw(g, props, I); }, [&](vcUITablet& t) { t.draw(g.map(x), props, I); }},
        {"wireframe", w, [&](vcUITablet& t) { t.draw(w, props, I); },
         [&](vcUITablet& t) { t.draw(w.map(x), props, I); }},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name + (fill ? " filled" : ""));
      const std::vector<unsigned char> typed = recorded(c.typed);
      ASSERT_FALSE(typed.empty());
      EXPECT_EQ(recorded([&](vcUITablet& t) { t.draw(c.shape, props, I); }), typed);
      const vcMappedShape mapped(vcShapeHandle_const(c.shape.clone()), x);
      EXPECT_EQ(recorded([&](vcUITablet& t) { t.draw(mapped, props, I); }), recorded(c.typedMapped));
    }
  }
}

// The registry is in step order and claims each shape at most once: a
// wireframe only by its own entry (the graphic makeShapeGraphic makes of each:
// the graphic table).
TEST(ShapeClasses, EachShapeIsClaimedByItsOwnEntryOnly) {
  const std::vector<vc_ShapeClass>& classes = vf_registeredShapeClasses();
  for (std::size_t i = 1; i < classes.size(); ++i) EXPECT_LT(classes[i - 1].step, classes[i].step);
  const vcGenPoly g = sample();
  const vc2Wireframe w(g);
  const vcCircle c(V(1, 2), 3);
  const struct {
    const vcShape& shape;
    std::vector<int> steps;
  } cases[] = {{g, {13}}, {w, {14}}, {c, {}}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.shape.className());
    std::vector<int> claimed;
    for (const vc_ShapeClass& e : classes)
      if (e.claims(k.shape)) claimed.push_back(e.step);
    EXPECT_EQ(claimed, k.steps);
  }
}
