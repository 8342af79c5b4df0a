// Generalised polys and wireframes on the tablet and in sketches: the opcode
// each draw records, replay against direct drawing, what replay makes of a
// wireframe's polarity, and the payloads the records refuse.
#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <vc/core/byteio.h>
#include <vc/core/circle.h>
#include <vc/core/genrect.h>
#include <vc/core/rect.h>
#include <vc/core/shapetree.h>
#include <vc/sketchop.h>
#include <vc/uierror.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

#include "support/bytes.h"
#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

namespace {

using V = vcVector<2>;
using L = vcUITablet::Layers;
constexpr L I = vcUITablet::eImage;

struct Drawn {
  vcRecordingScope image{vcPair<long>(0, 0), vcPair<long>(200, 100)};
  vcUITablet tablet{&image, nullptr};
  explicit Drawn(const vcPair<double>& scale) {
    tablet.visible(true);
    tablet.baseMap(vcXform<2>(vcMatrix<2>(1, 0.1, 0, 1), V(3, -2)));
    tablet.scaleExact(scale);
    image.clearLog();
  }
  // The scope calls of replaying sketch, less the lock and optimisation
  // calls around them.
  std::string replay(const vcUISketch& sketch) {
    tablet.draw(sketch, vcPoint(0, 0), I);
    const vcRecordingScope::Log& log = image.log();
    EXPECT_GE(log.size(), 4u);
    std::string inner;
    for (std::size_t i = 2; i + 2 < log.size(); ++i) inner += log[i].text + "\n";
    return inner;
  }
};

vcGraphicProps props(bool fill, bool showVertex, bool arrows) {
  vcGraphicProps p(vcColor(10, 200, 30), 2, vcGraphicProps::ePenSolid, fill);
  p.showVertex(showVertex);
  p.arrowHead(arrows);
  return p;
}

vcGenPoly openRounded() {
  vcGenPoly g;
  g.insertVertex(V(0, 0), 0, vcRadian(0));
  g.insertVertex(V(30, 0), 4, vcRadian(0));
  g.insertVertex(V(30, 20), -2, vcRadian(-0.6));
  g.insertVertex(V(5, 25), 0, vcRadian(0));
  return g;
}

vcGenPoly oneVertex() {
  vcGenPoly g;
  g.insertVertex(V(4, 5), 0, vcRadian(0));
  return g;
}

vcGenPoly frozen() {
  vcGenPoly g(vcRect(2, 3, 20, 10));
  g.setMutable(false);
  return g;
}

vc2Wireframe wireframe(bool reversed) {
  vc2Wireframe w(vcGenPoly(vcGenRect(V(40, 30), V(15, 9), vcRadian(0.3), V(0.4, 0.4))));
  w.polarity(reversed);
  return w;
}

struct Case {
  const char* name;
  std::function<void(vcUITablet&, const vcGraphicProps&)> draw;
  bool fill;
  int opcode;
};

// Opcodes 34, 38 and 41 replay as the direct draw, in every scale mode and
// with every drawing option the poly code reads.
TEST(GenPolySketch, RecordsTheirOpcodeAndReplayLikeTheDirectDraw) {
  const auto poly = [](vcGenPoly g) { return [g](vcUITablet& t, const vcGraphicProps& p) { t.draw(g, p, I); }; };
  const std::vector<Case> cases = {
      {"default", poly(vcGenPoly()), false, 34},
      {"one vertex", poly(oneVertex()), false, 34},
      {"open rounded, arc", poly(openRounded()), false, 34},
      {"mapped", poly(openRounded().map(vcXform<2>(vcMatrix<2>(2, 0.5, -0.3, 1), V(9, 4)))), false, 34},
      {"not mutable", poly(frozen()), false, 34},
      {"filled circle", poly(vcGenPoly(vcCircle(V(50, 40), 12))), true, 38},
      {"wireframe", [](vcUITablet& t, const vcGraphicProps& p) { t.draw(wireframe(false), p, I); }, false, 41},
      {"filled wireframe", [](vcUITablet& t, const vcGraphicProps& p) { t.draw(wireframe(false), p, I); }, true, 41},
      {"color form", [](vcUITablet& t, const vcGraphicProps&) { t.draw(openRounded(), vcColor(1, 2, 3), I, true); },
       true, 38},
  };
  for (const Case& c : cases) {
    for (const vcPair<double> scale : {vcPair<double>(1, 1), vcPair<double>(2, 3), vcPair<double>(0.5, 0.25)}) {
      for (const bool showVertex : {false, true}) {
        SCOPED_TRACE(std::string(c.name) + " scale " + std::to_string(scale.y()) + (showVertex ? " vertices" : ""));
        const vcGraphicProps p = props(c.fill, showVertex, true);
        Drawn direct(scale), replayed(scale);
        direct.tablet.recordOn() = true;
        c.draw(direct.tablet, p);
        const std::vector<vcTestRecord> records = vfTestRecords(direct.tablet.sketch());
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].op, c.opcode);
        EXPECT_EQ(replayed.replay(direct.tablet.sketch()), direct.image.logText());
      }
    }
  }
}

// The record keeps no polarity: a reversed wireframe replays as the
// unreversed one, whose direction figures point the other way.
TEST(GenPolySketch, ReplayedWireframeLosesItsPolarity) {
  const vcPair<double> one(1, 1);
  const vcGraphicProps p = props(false, false, true);
  Drawn reversed(one), plain(one), replayed(one);
  reversed.tablet.recordOn() = true;
  reversed.tablet.draw(wireframe(true), p, I);
  plain.tablet.draw(wireframe(false), p, I);
  ASSERT_NE(reversed.image.logText(), plain.image.logText());
  EXPECT_EQ(replayed.replay(reversed.tablet.sketch()), plain.image.logText());
}

using vc_bytes::put32;
using vc_bytes::putF64;

// The payload of the catalogue's open poly, then one field spoiled per case.
std::vector<unsigned char> polyPayload() {
  vcUITablet t;
  for (const vcCatalogueEntry& e : vfOpcodeCatalogue())
    if (e.opcode == 34) e.draw(t, I);
  return vfTestRecords(t.sketch()).at(0).payload;
}

TEST(GenPolySketch, MalformedPayloadsAreRefused) {
  const std::vector<unsigned char> good = polyPayload();
  // Layout: transform 0..55, mutable flag 56, count 60, first vertex at 64
  // (point 64, radius 80, span 88, nominal 96, minimum 104, maximum 112, form 120).
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Spoil {
    const char* what;
    std::function<void(std::vector<unsigned char>&)> apply;
  };
  const std::vector<Spoil> spoils = {
      {"mutable flag 2", [](auto& b) { put32(&b[56], 2); }},
      {"open flag 7", [](auto& b) { put32(&b[b.size() - 4], 7); }},
      {"vertex count beyond the bytes", [](auto& b) { put32(&b[60], 1000); }},
      {"negative vertex count", [](auto& b) { put32(&b[60], 0xffffffffu); }},
      {"NaN point", [nan](auto& b) { putF64(&b[64], nan); }},
      {"infinite span", [](auto& b) { putF64(&b[88], std::numeric_limits<double>::infinity()); }},
      {"invalid tolerance", [](auto& b) {
         putF64(&b[96], 5);
         putF64(&b[104], 9);
         putF64(&b[112], 1);
       }},
      {"singular transform", [](auto& b) {
         for (int k = 0; k < 4; ++k) putF64(&b[8 * k], 0);
       }},
      {"cut short", [](auto& b) { b.pop_back(); }},
  };
  for (const long op : {34L, 41L}) {
    const std::unique_ptr<vc_UISketchOpData> record(vfCreateUISketchOpData(op));
    EXPECT_EQ(record->parseByteStream(good.data(), static_cast<long>(good.size())), static_cast<long>(good.size()));
    EXPECT_EQ(record->parseVersion0ByteStream(good.data(), static_cast<long>(good.size())),
              static_cast<long>(good.size()));
    for (const Spoil& s : spoils) {
      SCOPED_TRACE(s.what);
      std::vector<unsigned char> bad = good;
      s.apply(bad);
      EXPECT_THROW(record->parseByteStream(bad.data(), static_cast<long>(bad.size())), vcUIError::InvalidUISketch);
    }
  }
}

// The generic shape draw reaches the typed overloads, mapped by the
// accumulated transform; a wireframe keeps its class (opcode 41).
TEST(GenPolySketch, GenericDrawUsesTheTypedOverloads) {
  const vcXform<2> x(vcMatrix<2>(1.5, 0.2, 0, 1), V(5, -2));
  const vcGraphicProps p = props(false, false, true);
  const vcGenPoly g = openRounded();
  const vc2Wireframe w = wireframe(true);
  const struct {
    const vcShape& shape;
    std::function<void(vcUITablet&)> typedMapped;
    int opcode;
  } cases[] = {{g, [&](vcUITablet& t) { t.draw(g.map(x), p, I); }, 34},
               {w, [&](vcUITablet& t) { t.draw(w.map(x), p, I); }, 41}};
  for (const auto& c : cases) {
    Drawn generic(vcPair<double>(1, 1)), direct(vcPair<double>(1, 1));
    generic.tablet.recordOn() = true;
    direct.tablet.recordOn() = true;
    generic.tablet.draw(vcMappedShape(vcShapeHandle_const(c.shape.clone()), x), p, I);
    c.typedMapped(direct.tablet);
    EXPECT_FALSE(direct.image.log().empty());
    EXPECT_EQ(generic.image.logText(), direct.image.logText());
    const vcTestRecord a = vfTestRecords(generic.tablet.sketch()).at(0), b = vfTestRecords(direct.tablet.sketch()).at(0);
    EXPECT_EQ(a.op, c.opcode);
    EXPECT_EQ(a.payload, b.payload);
  }
}

TEST(GenPolySketch, PlacingAPolyNeedsAnInvertibleTransform) {
  const vcSMDGDPoly poly = vcSMDGDPoly::rectangle(4, 2, V(1, 1));
  const vcXform<2> x(vcMatrix<2>(2, 0, 0, 3), V(5, 6));
  const vcGenPoly g(poly, x, false);
  EXPECT_EQ(g.poly(), poly);
  EXPECT_EQ(g.xform(), x);
  EXPECT_FALSE(g.isMutable());
  EXPECT_THROW(vcGenPoly(poly, vcXform<2>(vcMatrix<2>(1, 2, 2, 4), V(0, 0)), true), vcShapesError::BadGeom);
}

}  // namespace
