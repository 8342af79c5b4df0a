#include <vc/uitablet.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include <vc/display.h>

#include "support/recording_scope.h"

namespace {

using L = vcUITablet::Layers;
using V = vcVector<2>;
constexpr L I = vcUITablet::eImage;

// One expected scope call: its op and whichever of the rest are set, points
// and pen to within 1e-9.
struct Call {
  std::string op;
  vcShapeHandle shape;
  std::vector<vcPoint> points;
  std::vector<long> ints;
  std::vector<double> reals;
  std::optional<vcPoint> from;
  std::optional<vcGraphicProps> props;

  Call(std::string o) : op(std::move(o)) {}
  Call& at(const V& p) {
    points.push_back(vcPoint(p));
    return *this;
  }
  Call& args(std::vector<long> i, std::vector<double> r = {}) {
    ints = std::move(i);
    reals = std::move(r);
    return *this;
  }
};

Call shape(const std::string& op, const vcShape& s) {
  Call c(op);
  c.shape = s.clone();
  return c;
}
Call lockPush() { return Call("lockScreenUpdatesPush").args({1}); }
Call lockPop() { return Call("lockScreenUpdatesPop"); }
Call rel(const V& from, std::vector<long> d = {}) {
  Call c("drawToRelPels");
  c.ints = std::move(d);
  c.from = vcPoint(from);
  return c;
}
Call to(const V& from, const V& p) {
  Call c("drawTo");
  c.from = vcPoint(from);
  return c.at(p);
}

void expectCalls(const std::vector<vcScopeCall>& log, const std::vector<Call>& want) {
  ASSERT_EQ(log.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    const vcScopeCall& got = log[i];
    const Call& w = want[i];
    SCOPED_TRACE(got.text);
    EXPECT_EQ(got.op, w.op);
    if (w.shape) { EXPECT_TRUE(got.shape && got.shape->isEqual(*w.shape)) << w.shape->className(); }
    if (w.from) { EXPECT_LE(V(got.from).distance(*w.from), 1e-9); }
    ASSERT_EQ(got.points.size(), w.points.empty() ? got.points.size() : w.points.size());
    for (std::size_t k = 0; k < w.points.size(); ++k) EXPECT_LE(V(got.points[k]).distance(w.points[k]), 1e-9);
    if (!w.ints.empty()) { EXPECT_EQ(got.ints, w.ints); }
    if (!w.reals.empty()) { EXPECT_EQ(got.reals, w.reals); }
    if (w.props) { EXPECT_EQ(got.props, *w.props); }
  }
}

// A visible, drawing and recording root tablet on a 200 x 100 image scope
// (no overlay scope), in one of the three scale modes.
struct Drawn {
  vcRecordingScope scope{vcPair<long>(0, 0), vcPair<long>(200, 100)};
  vcUITablet tablet{&scope, nullptr};
  explicit Drawn(vcUITablet::ScaleModes mode = vcUITablet::eNoScale) {
    tablet.visible(true);
    tablet.recordOn() = true;
    tablet.baseMap(vcXform<2>::translation(V(10, 20)));
    if (mode == vcUITablet::eExpand) tablet.scaleExact(vcPair<double>(2.0, 3.0));
    if (mode == vcUITablet::eSample) tablet.scaleExact(vcPair<double>(0.5, 0.25));
    tablet.sketch().erase();
    scope.clearLog();
  }
  std::vector<unsigned char> bytes() const {
    return std::vector<unsigned char>(tablet.sketch().data(), tablet.sketch().data() + tablet.sketch().size());
  }
};

struct Env {
  vcXform<2> m;  // the tablet's scaledMap
  vcUITablet::ScaleModes mode;
  V operator()(double x, double y) const { return m.mapPoint(V(x, y)); }
};

const vcGraphicProps P(vcColor(200, 10, 10), 2, vcGraphicProps::ePenDash, false);
const vcGraphicProps PF(vcColor(200, 10, 10), 2, vcGraphicProps::ePenDash, true);

vcGraphicProps noArrows() {
  vcGraphicProps p = P;
  p.arrowHead(false);
  return p;
}

class AppShape : public vcGenShape {
public:
  tagShapeID shapeID() const override { return {{7, 1, 2, 3}}; }
  std::vector<unsigned char> data() const override { return {9, 8, 7}; }
  void load(const unsigned char*, long) override {}
  vcShapeHandle mapShape(const vcXform<2>&) const override { return vfShapeHandle(*this); }
  vcRect boundingBox() const override { return vcRect(0, 0, 0, 0); }
  double distanceToPoint(const V&) const override { return 0; }
};

vcPelBuffer<unsigned char> image01() {
  vcPelBuffer<unsigned char> img(2, 2);
  *img.pointToPel(1, 0) = 1;
  *img.pointToPel(0, 1) = 1;
  return img;
}

vcPelBuffer<unsigned char> image2x2() {
  vcPelBuffer<unsigned char> img(2, 2);
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 2; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(1 + x + 2 * y);
  return img;
}

// The scope call an image drawing makes in each scale mode.
Call imageCall(const Env& e, const std::string& kind) {
  if (e.mode == vcUITablet::eExpand) return Call("expand(" + kind + ")").at(e(3, 4)).args({}, {2.0, 3.0});
  if (e.mode == vcUITablet::eSample) return Call("sample(" + kind + ")").at(e(3, 4)).args({}, {0.5, 0.25});
  return Call("draw(" + kind + ")").at(e(3, 4));
}

// Every drawing operation: what it draws, given the map, and what it records.
struct Case {
  const char* name;
  std::function<void(vcUITablet&, L)> draw;
  std::function<std::vector<Call>(const Env&)> calls;
};

const vcEllipse kEll(V(10, 10), V(4, 2), vcRadian(0.5));
const vcEllipseAnnulusSection kSect(vcEllipse(V(10, 10), V(2, 2), vcRadian(0)),
                                    vcEllipse(V(10, 10), V(6, 6), vcRadian(0)), vcRadian(0),
                                    vcRadian(std::numbers::pi / 2), true);
const vcGenRect kGr(V(10, 10), V(8, 4), vcRadian(0), V(0, 0));
const vcGenRect kGrHalf(V(10, 10), V(8, 4), vcRadian(0), V(0.5, 0.5));
const vcAffineRectangle kAff(V(0, 0), V(4, 1), V(1, 3));
const vcBezierCurve kBez(V(0, 0), V(10, 0), V(10, 10), V(0, 10));
const vcInterpSpline kSpline({V(0, 0), V(10, 5), V(20, 0)});

// The radial edges of kSect, at its end and then at its start.
std::vector<Call> sectionEdges(const Env& e) {
  const vcRadian end(std::numbers::pi / 2), start(0);
  const vcEllipse& o = kSect.outerEllipse();
  const vcEllipse& i = kSect.innerEllipse();
  return {shape("draw(vcLineSeg)", vcLineSeg(o.pointAt(end), i.pointAt(end)).map(e.m)),
          shape("draw(vcLineSeg)", vcLineSeg(o.pointAt(start), i.pointAt(start)).map(e.m))};
}

std::vector<Call> sectionArcs(const Env& e) {
  std::vector<Call> c = sectionEdges(e);
  for (const vcEllipse* el : {&kSect.outerEllipse(), &kSect.innerEllipse()})
    c.push_back(shape("draw(vcEllipseArc)", vcEllipseArc(*el, vcRadian(0), vcRadian(std::numbers::pi / 2)).map(e.m)));
  return c;
}

// A shape the tablet hands to the scope mapped whole.
template <class S>
Case mapped(const char* name, const std::string& op, const S& s) {
  return {name, [s](vcUITablet& t, L l) { t.draw(s, P, l); },
          [s, op](const Env& e) { return std::vector<Call>{shape(op, s.map(e.m))}; }};
}

const std::vector<Case>& cases() {
  static const std::vector<Case> all = {
      {"vc2Point", [](vcUITablet& t, L l) { t.draw(vc2Point(3, 4), P, l); },
       [](const Env& e) { return std::vector<Call>{Call("draw(vcPoint)").at(e(3, 4))}; }},
      {"vcLineSeg", [](vcUITablet& t, L l) { t.draw(vcLineSeg(V(1, 2), V(5, 7)), P, l); },
       [](const Env& e) { return std::vector<Call>{shape("draw(vcLineSeg)", vcLineSeg(e(1, 2), e(5, 7)))}; }},
      // A horizontal line spans the scope's width, offset by half a pixel.
      {"vcLine", [](vcUITablet& t, L l) { t.draw(vcLine(vcRadian(0), V(0, 5)), vcColor(3), l); },
       [](const Env& e) { return std::vector<Call>{to(V(0.5, e(0, 5).y()), V(200.5, e(0, 5).y()))}; }},
      {"vcCross", [](vcUITablet& t, L l) { t.draw(vcCross(V(5, 5), vcRadian(0), 3), P, l); },
       [](const Env& e) {
         const V c = e(5, 5);
         return std::vector<Call>{rel(c + V(3, 0), {-6, 0}), rel(c + V(0, 3), {0, -6})};
       }},
      {"filled vcCircle", [](vcUITablet& t, L l) { t.draw(vcCircle(V(10, 10), 4), PF, l); },
       [](const Env& e) {
         return std::vector<Call>{shape("draw(vcEllipse)", vcCircle(V(10, 10), 4).ellipse().map(e.m))};
       }},
      {"vcAnnulus", [](vcUITablet& t, L l) { t.draw(vcAnnulus(V(10, 10), 2, 4), P, l); },
       [](const Env& e) {
         return std::vector<Call>{shape("draw(vcEllipse)", vcCircle(V(10, 10), 4).ellipse().map(e.m)),
                                  shape("draw(vcEllipse)", vcCircle(V(10, 10), 2).ellipse().map(e.m))};
       }},
      mapped("vcEllipse", "draw(vcEllipse)", kEll),
      mapped("vcEllipseArc", "draw(vcEllipseArc)", vcEllipseArc(kEll, vcRadian(0.1), vcRadian(1))),
      mapped("vcEllipse2", "draw(vcEllipse2)", vcEllipse2(V(4, 2), vcRadian(0.5), V(10, 10))),
      mapped("vcEllipseArc2", "draw(vcEllipseArc2)",
             vcEllipseArc2(V(4, 2), vcRadian(0.5), V(10, 10), false, vcRadian(0.2), vcRadian(0.1), vcRadian(1))),
      {"vcPolygon", [](vcUITablet& t, L l) { t.draw(vcPolygon({V(0, 0), V(4, 0), V(0, 3)}, vcPolygon::eWinding), P, l); },
       [](const Env& e) {
         return std::vector<Call>{shape("draw(vcPolygon)", vcPolygon({e(0, 0), e(4, 0), e(0, 3)}, vcPolygon::eWinding))};
       }},
      {"vcPolyline", [](vcUITablet& t, L l) { t.draw(vcPolyline({V(0, 0), V(4, 0), V(0, 3)}, true), P, l); },
       [](const Env& e) {
         return std::vector<Call>{shape("draw(vcPolyline)", vcPolyline({e(0, 0), e(4, 0), e(0, 3)}, true))};
       }},
      {"vcRect outline", [](vcUITablet& t, L l) { t.draw(vcRect(1, 2, 10, 5), P, l); },
       [](const Env& e) {
         return std::vector<Call>{
             lockPush(), to(e(1, 2), e(11, 2)), to(e(11, 2), e(11, 7)), to(e(11, 7), e(1, 7)), to(e(1, 7), e(1, 2)),
             lockPop()};
       }},
      {"filled vcRect", [](vcUITablet& t, L l) { t.draw(vcRect(1, 2, 10, 5), vcColor(5), l, true); },
       [](const Env& e) {
         return std::vector<Call>{
             shape("draw(vcPolygon)", vcPolygon({e(1, 2), e(11, 2), e(11, 7), e(1, 7)}, vcPolygon::eWinding))};
       }},
      {"square vcGenRect", [](vcUITablet& t, L l) { t.draw(kGr, P, l); },
       [](const Env& e) {
         const vcGenRect::vcGenRectData d = kGr.map(e.m).data();
         const auto& c = d.corners;
         return std::vector<Call>{lockPush(),     to(c[0], c[1]), to(c[1], c[2]),
                                  to(c[2], c[3]), to(c[3], c[0]), lockPop()};
       }},
      {"filled half-round vcGenRect", [](vcUITablet& t, L l) { t.draw(kGrHalf, PF, l); },
       [](const Env& e) {
         return std::vector<Call>{lockPush(), shape("draw(vcGenRect)", kGrHalf.map(e.m)), lockPop()};
       }},
      // Its two fully rounded rectangles go to the scope as ellipses.
      {"vcGenAnnulus", [](vcUITablet& t, L l) { t.draw(vcGenAnnulus(V(10, 10), 2, 4), vcColor(6), l); },
       [](const Env& e) {
         const vcGenAnnulus a(V(10, 10), 2, 4);
         return std::vector<Call>{lockPush(), shape("draw(vcEllipse)", a.inner().map(e.m).ellipse()), lockPop(),
                                  lockPush(), shape("draw(vcEllipse)", a.outer().map(e.m).ellipse()), lockPop()};
       }},
      {"vcAffineRectangle", [](vcUITablet& t, L l) { t.draw(kAff, P, l); },
       [](const Env& e) {
         return std::vector<Call>{
             shape("draw(vcPolygon)", vcPolygon({e(0, 0), e(4, 1), e(5, 4), e(1, 3)}, vcPolygon::eWinding))};
       }},
      // Axes, then an arrow head at each end, its arms drawn from the tip.
      {"vcCoordAxes", [](vcUITablet& t, L l) { t.draw(vcCoordAxes(V(0, 0), V(10, 0), V(0, 10)), P, l); },
       [](const Env& e) {
         return std::vector<Call>{lockPush(), shape("draw(vcLineSeg)", vcLineSeg(e(0, 0), e(10, 0))),
                                  shape("draw(vcLineSeg)", vcLineSeg(e(0, 0), e(0, 10))), lockPush(), rel(e(10, 0)),
                                  rel(e(10, 0)), lockPop(), lockPush(), rel(e(0, 10)), rel(e(0, 10)), lockPop(),
                                  lockPop()};
       }},
      // The circle and segment through the first two points record themselves.
      {"vcPointSet", [](vcUITablet& t, L l) { t.draw(vcPointSet(std::vector<V>{V(1, 1), V(4, 5), V(7, 1)}), P, l); },
       [](const Env& e) {
         const vcGraphicProps dot(P.penColor(), 1);
         std::vector<Call> c{shape("draw(vcEllipse)", vcCircle(V(1, 1), 5).ellipse().map(e.m)),
                             shape("draw(vcLineSeg)", vcLineSeg(e(1, 1), e(4, 5)))};
         for (const V& p : {e(1, 1), e(4, 5), e(7, 1)}) {
           c.push_back(Call("draw(vcPoint)").at(p));
           c.back().props = dot;
         }
         return c;
       }},
      {"vcLineSegSet", [](vcUITablet& t, L l) { t.draw(vcLineSegSet({vcLineSeg(V(0, 0), V(1, 1)), vcLineSeg(V(2, 2), V(3, 1))}), P, l); },
       [](const Env& e) {
         return std::vector<Call>{shape("draw(vcLineSeg)", vcLineSeg(e(0, 0), e(1, 1))),
                                  shape("draw(vcLineSeg)", vcLineSeg(e(2, 2), e(3, 1)))};
       }},
      // A quarter section with its arrow: radial edges, two arcs, an arrow
      // at 45 degrees midway between the ellipses.
      {"vcEllipseAnnulusSection", [](vcUITablet& t, L l) { t.draw(kSect, P, l); },
       [](const Env& e) {
         std::vector<Call> c = sectionArcs(e);
         const double r = 4 * std::sqrt(0.5);
         for (const Call& x : {lockPush(), rel(e(10 + r, 10 + r)), rel(e(10 + r, 10 + r)), lockPop()}) c.push_back(x);
         return c;
       }},
      {"vcEllipseAnnulusSection without arrow", [](vcUITablet& t, L l) { t.draw(kSect, noArrows(), l); }, sectionArcs},
      // Curves are sampled into open polylines (within a pixel: BezierIsSampled...).
      {"vcBezierCurve", [](vcUITablet& t, L l) { t.draw(kBez, P, l); },
       [](const Env&) { return std::vector<Call>{Call("draw(vcPolyline)")}; }},
      {"vcCubicSpline", [](vcUITablet& t, L l) { t.draw(kSpline, P, l); },
       [](const Env&) { return std::vector<Call>{Call("draw(vcPolyline)"), Call("draw(vcPolyline)")}; }},
      {"arrowHead", [](vcUITablet& t, L l) { t.arrowHead(vcPoint(5, 5), V(1, 0), 10.0f, P, l); },
       [](const Env& e) { return std::vector<Call>{lockPush(), rel(e(5, 5)), rel(e(5, 5)), lockPop()}; }},
      {"vcGenShape", [](vcUITablet& t, L l) { t.draw(AppShape(), vcColor(9), l); },
       [](const Env&) { return std::vector<Call>{Call("draw(vcGenShape)")}; }},
      // Text and 8-bit images record with default props and their own head color.
      {"text", [](vcUITablet& t, L l) { t.draw("ab", vcPoint(3, 4), vcColor(1, 2, 3), vcColor(4), vcUIFormat(5, vcUIFormat::eBottomRight), l); },
       [](const Env& e) { return std::vector<Call>{Call("draw(text)").at(e(3, 4)).args({5, 8})}; }},
      {"8-bit image", [](vcUITablet& t, L l) { t.draw(image2x2(), vcPoint(3, 4), true, 7, true, l); },
       [](const Env& e) { return std::vector<Call>{imageCall(e, "u8")}; }},
      {"RLE image", [](vcUITablet& t, L l) { t.draw(vcRLEBuffer::encode(image01()), vcPoint(3, 4), {5, 6}, false, 9, false, l); },
       // Whole factors (2 and 1/2 in x) take the scope's run-length paths,
       // which hand the magnified or reduced runs to its RLE draw.
       [](const Env& e) { return std::vector<Call>{Call("draw(rle)").at(e(3, 4))}; }},
      // The 16-bit and packed RGB images draw the same way and record nothing.
      {"16-bit image",
       [](vcUITablet& t, L l) { t.draw(vcPelBuffer<unsigned short>(2, 2), vcPoint(3, 4), false, 0, l); },
       [](const Env& e) { return std::vector<Call>{imageCall(e, "u16")}; }},
      {"RGB32 image",
       [](vcUITablet& t, L l) { t.draw(vcPelBuffer<vcPackedRGB32Pel>(2, 2), vcPoint(3, 4), false, 0ul, l); },
       [](const Env& e) { return std::vector<Call>{imageCall(e, "rgb32")}; }},
  };
  return all;
}

// What a recording tablet without scopes records for c on layer.
std::vector<unsigned char> recordedAlone(const Case& c, L layer) {
  vcUITablet t;
  t.recordOn() = true;
  c.draw(t, layer);
  return std::vector<unsigned char>(t.sketch().data(), t.sketch().data() + t.sketch().size());
}

// Each operation in each scale mode draws what its map says and records what
// a tablet without scopes records (the record layouts themselves are pinned
// by opcodes_test); when drawing is not allowed nothing reaches any scope,
// and the record is written all the same, with the layer as given.
TEST(TabletShapes, EveryOperationDrawsMappedInEachScaleModeAndRecordsWhetherOrNotItDraws) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    const std::vector<unsigned char> want = recordedAlone(c, I);
    for (auto mode : {vcUITablet::eNoScale, vcUITablet::eExpand, vcUITablet::eSample}) {
      SCOPED_TRACE(mode);
      Drawn d(mode);
      c.draw(d.tablet, I);
      expectCalls(d.scope.log(), c.calls(Env{d.tablet.scaledMap(), mode}));
      EXPECT_EQ(d.bytes(), want);
    }
    const std::pair<const char*, std::function<L(Drawn&)>> refusals[] = {
        {"hidden", [](Drawn& d) { return d.tablet.visible(false), I; }},
        {"drawOn off", [](Drawn& d) { return d.tablet.drawOn() = false, I; }},
        {"both layers", [](Drawn&) { return vcUITablet::eBoth; }},
        {"negative layer", [](Drawn&) { return static_cast<L>(-1); }},
        {"no scope", [](Drawn&) { return vcUITablet::eOverlay; }},
    };
    for (const auto& [why, setUp] : refusals) {
      SCOPED_TRACE(why);
      Drawn d;
      const L layer = setUp(d);
      d.scope.clearLog();
      c.draw(d.tablet, layer);
      EXPECT_EQ(d.scope.logText(), "");
      EXPECT_EQ(d.bytes(), recordedAlone(c, layer));
    }
  }
}

// Lines are cut to the scope's rectangle (0, 0, 200, 100) wherever they cross it.
TEST(TabletShapes, LinesAreClippedToTheScopeEvenVerticalOrOblique) {
  Drawn d;
  d.tablet.baseMap(vcXform<2>::I);
  d.scope.clearLog();
  d.tablet.draw(vcLine(V(0, 1), V(30, 50)), P, I);
  d.tablet.draw(vcLine(V(1, 1), V(0, 0)), P, I);
  expectCalls(d.scope.log(), {to(V(30, 0.5), V(30, 100.5)), to(V(0.5, 0.5), V(100.5, 100.5))});
}

// ---- the generic dispatcher -------------------------------------------------------------------

std::vector<vcShapeHandle> drawnShapes(const vcShape& s, vcUITablet::ScaleModes mode = vcUITablet::eNoScale) {
  Drawn d(mode);
  d.tablet.draw(s, P, I);
  std::vector<vcShapeHandle> out;
  for (const vcScopeCall& c : d.scope.log()) out.push_back(c.shape);
  return out;
}

bool sameShapes(const std::vector<vcShapeHandle>& a, const std::vector<vcShapeHandle>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!a[i] || !b[i] || !a[i]->isEqual(*b[i])) return false;
  return true;
}

// Nested mapped shapes draw and record what the typed overload would for
// the shape mapped by the inner map, then the outer one.
TEST(TabletShapes, MappedShapesComposeOuterAfterInnerAndRecordTheMappedShape) {
  const vcXform<2> inner = vcXform<2>::rotation(vcRadian(0.3)), outer = vcXform<2>::translation(V(5, -2));
  const vcShapeHandle_const once(
      vfShapeHandle(vcMappedShape(vcShapeHandle_const(vfShapeHandle(vcCircle(V(1, 2), 3))), inner)));
  for (auto mode : {vcUITablet::eNoScale, vcUITablet::eExpand}) {
    Drawn direct(mode), generic(mode);
    direct.tablet.draw(vcCircle(V(1, 2), 3).map(outer * inner), P, I);
    generic.tablet.draw(vcMappedShape(once, outer), P, I);
    ASSERT_EQ(generic.scope.log().size(), 1u);
    EXPECT_TRUE(generic.scope.log()[0].shape->isEqual(*direct.scope.log().at(0).shape));
    EXPECT_EQ(generic.bytes(), direct.bytes());
  }
}

TEST(TabletShapes, ContourTreesJoinTheirMembersAndRegionTreesDrawTheirBoundaries) {
  const vcShapeHandle_const a(vfShapeHandle(vcLineSeg(V(0, 0), V(1, 0)))),
      b(vfShapeHandle(vcLineSeg(V(2, 0), V(2, 2))));
  const auto seg = [](V p, V q) { return vfShapeHandle(vcLineSeg(p + V(10, 20), q + V(10, 20))); };
  EXPECT_TRUE(sameShapes(drawnShapes(vcContourTree({a, b}, false)),
                         {seg(V(0, 0), V(1, 0)), seg(V(1, 0), V(2, 0)), seg(V(2, 0), V(2, 2))}));
  EXPECT_TRUE(sameShapes(drawnShapes(vcContourTree({a, b}, true)),
                         {seg(V(0, 0), V(1, 0)), seg(V(1, 0), V(2, 0)), seg(V(2, 0), V(2, 2)), seg(V(2, 2), V(0, 0))}));

  const vcShapeHandle_const box(vfShapeHandle(vcRect(0, 0, 10, 10))), hole(vfShapeHandle(vcRect(2, 2, 2, 2)));
  const vcShapeHandle_const inner(vfShapeHandle(vcRegionTree(hole, true, false)));
  vcRegionTree material(box, false, true);
  material.addChild(inner);
  vcRegionTree rootHole;
  rootHole.addChild(vcShapeHandle_const(vfShapeHandle(vcRegionTree(box, false, false))));
  std::vector<std::size_t> strokes;
  for (const vcShapeTree* t :
       {static_cast<const vcShapeTree*>(&material), static_cast<const vcShapeTree*>(&rootHole)}) {
    Drawn d;
    d.tablet.draw(*t, P, I);
    strokes.push_back(d.scope.calls("drawTo").size());
  }
  EXPECT_EQ(strokes, (std::vector<std::size_t>{8, 4}));
}

TEST(TabletShapes, DispatcherRejectsEmptyMappedShapesAndSkipsUnknownShapes) {
  Drawn d;
  EXPECT_THROW(d.tablet.draw(vcMappedShape(), P, I), vcBadPointer);
  EXPECT_THROW(d.tablet.draw(vcMappedShape(vcShapeHandle_const(), vcXform<2>::I), P, I), vcBadPointer);
  d.tablet.draw(static_cast<const vcShape&>(AppShape()), P, I);
  EXPECT_EQ(d.scope.logText(), "");
  EXPECT_EQ(d.bytes().size(), 0u);
  // Shapes with a typed overload beyond the sketch format's list are drawn too.
  d.tablet.draw(static_cast<const vcShape&>(vcPolygon({V(0, 0), V(1, 0), V(0, 1)}, vcPolygon::eEvenOdd)), P, I);
  EXPECT_EQ(d.scope.calls("draw(vcPolygon)").size(), 1u);
  // A graphic draws itself; an empty group has nothing to draw.
  const std::size_t recorded = d.bytes().size();
  d.tablet.draw(vcGraphicGroup(), I);
  EXPECT_EQ(d.bytes().size(), recorded);
}

}  // namespace
