// Generalised polys and wireframes drawn: chords of arcs, direction figures,
// the opcode each tablet draw records, replay against direct drawing, and
// the payloads the records refuse.
#include <vc/wrfm/genpoly.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include <vc/core/circle.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/rect.h>
#include <vc/core/shapetree.h>
#include <vc/dispprop.h>
#include <vc/sketchop.h>
#include <vc/uierror.h>
#include <vc/uitablet.h>
#include <vc/wrfm/wireframe.h>

#include "support/bytes.h"
#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

namespace {

using V = vcVector<2>;
constexpr vcUITablet::Layers I = vcUITablet::eImage;
const vcRadian kLine(0.0);

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

vcGenPoly polyThrough(const std::vector<V>& pts, double rounding = 0, double lastSpan = 0) {
  vcGenPoly g;
  for (std::size_t k = 0; k < pts.size(); ++k)
    g.insertVertex(pts[k], rounding, k + 1 == pts.size() ? vcRadian(vcDegree(lastSpan)) : kLine);
  return g;
}

// Chords of arcs under any placement stay within 0.05 of the exact mapped
// arc, start and end on it, and take steps of at most 5 degrees.
TEST(GenPolyDrawTest, ArcChordsStayWithinTheToleranceOfTheMappedArcAtAnyZoom) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int trial = 0; trial < 60; ++trial) {
    const double zoom = std::pow(10.0, 3 * u(rng));
    const vcXform<2> x(vcMatrix<2>(zoom * (1 + 0.5 * u(rng)), zoom * u(rng), zoom * u(rng), zoom * (1 + 0.5 * u(rng))),
                       V(u(rng) * 100, u(rng) * 100));
    if (x.matrix().isSingular()) continue;
    const double span = (u(rng) > 0 ? 1 : -1) * (10 + std::fabs(u(rng)) * 340);
    const vcGenPoly g = polyThrough({V(0, 0), V(2, 0)}, 0, span).map(x);
    const vcEllipseArc2 exact = g.ellipseSegment(0, true);
    const std::vector<vcLineSeg> chords = drawn(g, true);
    SCOPED_TRACE(trial);
    ASSERT_FALSE(chords.empty());
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
  // Radius 100: the step is 2 acos(1 - 0.05 / 100), about 3.62 degrees, so a
  // quarter turn takes trunc(90 / 3.62) + 1 = 25 chords. Small radii keep 5 degrees.
  const struct {
    double scale, span;
    std::size_t chords;
  } cases[] = {{100 / std::sqrt(2.0), 90, 25}, {0.01, -90, 19}, {1.0, 180, 37}};
  for (const auto& c : cases) {
    const vcGenPoly g = polyThrough({V(0, 0), V(2, 0)}, 0, c.span).map(vcXform<2>(vcMatrix<2>(c.scale, 0, 0, c.scale), V()));
    EXPECT_EQ(drawn(g, true).size(), c.chords) << c.scale << " " << c.span;
  }
}

TEST(GenPolyDrawTest, SegmentsThenFiguresThenRoundingsWithFiguresAlongTheTravel) {
  vcGenPoly g = polyThrough({V(0, 0), V(40, 0), V(40, 40), V(0, 40)});
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
  EXPECT_GT(arm.p2().x(), arm.p1().x());
  EXPECT_NEAR(arm.p2().y(), 0, 1e-12);
  EXPECT_NEAR(std::fabs(arm.p2().x() - arm.p1().x()), 0.08 * 40, 1e-9);
  // A reversed direction turns the figures round.
  vcGenPoly sharp = g;
  sharp.vertexRoundingSizes(0);
  vc2Wireframe reversed(sharp);
  reversed.polarity(true);
  const std::vector<vcLineSeg> backward = drawn(reversed, false, true);
  ASSERT_EQ(backward.size(), 12u);
  EXPECT_LT(backward[4].p2().x(), backward[4].p1().x());
  // Sides under a fifth of the longest get no figure: sides 100, 19, 100 give two.
  EXPECT_EQ(drawn(polyThrough({V(0, 0), V(100, 0), V(100, 19), V(0, 19)}), false, true).size(), 3u + 4u);
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

vc2Wireframe wireframe(bool reversed) {
  vc2Wireframe w(vcGenPoly(vcGenRect(V(40, 30), V(15, 9), vcRadian(0.3), V(0.4, 0.4))));
  w.polarity(reversed);
  return w;
}

// Opcodes 34, 38 and 41 replay as the direct draw, in every scale mode and
// with every drawing option the poly code reads.
TEST(GenPolySketch, RecordsTheirOpcodeAndReplayLikeTheDirectDraw) {
  vcGenPoly openRounded = polyThrough({V(0, 0)});
  openRounded.insertVertex(V(30, 0), 4, kLine);
  openRounded.insertVertex(V(30, 20), -2, vcRadian(-0.6));
  openRounded.insertVertex(V(5, 25), 0, kLine);
  vcGenPoly frozen(vcRect(2, 3, 20, 10));
  frozen.setMutable(false);
  const auto poly = [](vcGenPoly g) { return [g](vcUITablet& t, const vcGraphicProps& p) { t.draw(g, p, I); }; };
  const auto frame = [](vcUITablet& t, const vcGraphicProps& p) { t.draw(wireframe(false), p, I); };
  const struct {
    const char* name;
    std::function<void(vcUITablet&, const vcGraphicProps&)> draw;
    bool fill;
    int opcode;
  } cases[] = {
      {"default", poly(vcGenPoly()), false, 34},
      {"one vertex", poly(polyThrough({V(4, 5)})), false, 34},
      {"mapped", poly(openRounded.map(vcXform<2>(vcMatrix<2>(2, 0.5, -0.3, 1), V(9, 4)))), false, 34},
      {"not mutable", poly(frozen), false, 34},
      {"filled circle", poly(vcGenPoly(vcCircle(V(50, 40), 12))), true, 38},
      {"wireframe", frame, false, 41},
      {"filled wireframe", frame, true, 41},
      {"color form", [&](vcUITablet& t, const vcGraphicProps&) { t.draw(openRounded, vcColor(1, 2, 3), I, true); },
       true, 38},
  };
  for (const auto& c : cases)
    for (const vcPair<double> scale : {vcPair<double>(1, 1), vcPair<double>(2, 3), vcPair<double>(0.5, 0.25)})
      for (const bool showVertex : {false, true}) {
        SCOPED_TRACE(std::string(c.name) + " scale " + std::to_string(scale.y()) + (showVertex ? " vertices" : ""));
        Drawn direct(scale, true), replayed(scale);
        c.draw(direct.tablet, props(c.fill, showVertex));
        const std::vector<vcTestRecord> records = vfTestRecords(direct.tablet.sketch());
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].op, c.opcode);
        EXPECT_EQ(replayed.replay(direct.tablet.sketch()), direct.image.logText());
      }
  // The record keeps no polarity: a reversed wireframe replays as the unreversed one.
  Drawn reversed(vcPair<double>(1, 1), true), plain(vcPair<double>(1, 1)), replayed(vcPair<double>(1, 1));
  reversed.tablet.draw(wireframe(true), props(false, false), I);
  plain.tablet.draw(wireframe(false), props(false, false), I);
  ASSERT_NE(reversed.image.logText(), plain.image.logText());
  EXPECT_EQ(replayed.replay(reversed.tablet.sketch()), plain.image.logText());
}

TEST(GenPolySketch, MalformedPayloadsAreRefused) {
  std::vector<unsigned char> good;
  vcUITablet t;
  for (const vcCatalogueEntry& e : vfOpcodeCatalogue())
    if (e.opcode == 34) e.draw(t, I);
  good = vfTestRecords(t.sketch()).at(0).payload;
  // Layout: transform 0..55, mutable flag 56, count 60, first vertex at 64
  // (point 64, radius 80, span 88, nominal 96, minimum 104, maximum 112, form 120).
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
      {"cut short", [](auto& b) { b.pop_back(); }},
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

// The generic shape draw reaches the typed overloads, mapped by the
// accumulated transform; a wireframe keeps its class (opcode 41).
TEST(GenPolySketch, GenericDrawUsesTheTypedOverloads) {
  const vcXform<2> x(vcMatrix<2>(1.5, 0.2, 0, 1), V(5, -2));
  const vcGenPoly g = polyThrough({V(0, 0), V(30, 0), V(30, 20)}, 3);
  const vc2Wireframe w = wireframe(true);
  const struct {
    const vcShape& shape;
    std::function<void(vcUITablet&)> typedMapped;
    int opcode;
  } cases[] = {{g, [&](vcUITablet& t) { t.draw(g.map(x), props(false, false), I); }, 34},
               {w, [&](vcUITablet& t) { t.draw(w.map(x), props(false, false), I); }, 41}};
  for (const auto& c : cases) {
    Drawn generic(vcPair<double>(1, 1), true), direct(vcPair<double>(1, 1), true);
    generic.tablet.draw(vcMappedShape(vcShapeHandle_const(c.shape.clone()), x), props(false, false), I);
    c.typedMapped(direct.tablet);
    EXPECT_FALSE(direct.image.log().empty());
    EXPECT_EQ(generic.image.logText(), direct.image.logText());
    const vcTestRecord a = vfTestRecords(generic.tablet.sketch()).at(0), b = vfTestRecords(direct.tablet.sketch()).at(0);
    EXPECT_EQ(a.op, c.opcode);
    EXPECT_EQ(a.payload, b.payload);
  }
  const vcSMDGDPoly poly = vcSMDGDPoly::rectangle(4, 2, V(1, 1));
  EXPECT_EQ(vcGenPoly(poly, x, false).xform(), x);
  EXPECT_THROW(vcGenPoly(poly, vcXform<2>(vcMatrix<2>(1, 2, 2, 4), V(0, 0)), true), vcShapesError::BadGeom);
}

}  // namespace
