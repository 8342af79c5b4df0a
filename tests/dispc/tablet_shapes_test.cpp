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

V corner(const Env& e, int i) { return kGr.map(e.m).data().corners[static_cast<std::size_t>(i)]; }
std::vector<long> arm(const Env& e, long dy) {
  return e.mode == vcUITablet::eNoScale ? std::vector<long>{-8, dy} : std::vector<long>{};
}
Call dot(const V& p) {
  Call c = Call("draw(vcPoint)").at(p);
  c.props = vcGraphicProps(P.penColor(), 1);
  return c;
}

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

#define VC_DRAW(...) [](vcUITablet& t, L l) { __VA_ARGS__; }
#define VC_CALLS(...) [](const Env& e) -> std::vector<Call> { return {__VA_ARGS__}; }
#define VC_CALLS_ANY(...) [](const Env&) -> std::vector<Call> { return {__VA_ARGS__}; }

const std::vector<Case>& cases() {
  static const std::vector<Case> all = {
      {"vc2Point", VC_DRAW(t.draw(vc2Point(3, 4), P, l)), VC_CALLS(Call("draw(vcPoint)").at(e(3, 4)))},
      {"vcLineSeg", VC_DRAW(t.draw(vcLineSeg(V(1, 2), V(5, 7)), P, l)),
       VC_CALLS(shape("draw(vcLineSeg)", vcLineSeg(e(1, 2), e(5, 7))))},
      // A horizontal line spans the scope's width, offset by half a pixel.
      {"vcLine", VC_DRAW(t.draw(vcLine(vcRadian(0), V(0, 5)), vcColor(3), l)),
       VC_CALLS(to(V(0.5, e(0, 5).y()), V(200.5, e(0, 5).y())))},
      {"vcCross", VC_DRAW(t.draw(vcCross(V(5, 5), vcRadian(0), 3), P, l)),
       VC_CALLS(rel(e(5, 5) + V(3, 0), {-6, 0}), rel(e(5, 5) + V(0, 3), {0, -6}))},
      {"filled vcCircle", VC_DRAW(t.draw(vcCircle(V(10, 10), 4), PF, l)),
       VC_CALLS(shape("draw(vcEllipse)", vcCircle(V(10, 10), 4).ellipse().map(e.m)))},
      {"vcAnnulus", VC_DRAW(t.draw(vcAnnulus(V(10, 10), 2, 4), P, l)),
       VC_CALLS(shape("draw(vcEllipse)", vcCircle(V(10, 10), 4).ellipse().map(e.m)),
                shape("draw(vcEllipse)", vcCircle(V(10, 10), 2).ellipse().map(e.m)))},
      mapped("vcEllipse", "draw(vcEllipse)", kEll),
      mapped("vcEllipseArc", "draw(vcEllipseArc)", vcEllipseArc(kEll, vcRadian(0.1), vcRadian(1))),
      mapped("vcEllipse2", "draw(vcEllipse2)", vcEllipse2(V(4, 2), vcRadian(0.5), V(10, 10))),
      mapped("vcEllipseArc2", "draw(vcEllipseArc2)",
             vcEllipseArc2(V(4, 2), vcRadian(0.5), V(10, 10), false, vcRadian(0.2), vcRadian(0.1), vcRadian(1))),
      {"vcPolygon", VC_DRAW(t.draw(vcPolygon({V(0, 0), V(4, 0), V(0, 3)}, vcPolygon::eWinding), P, l)),
       VC_CALLS(shape("draw(vcPolygon)", vcPolygon({e(0, 0), e(4, 0), e(0, 3)}, vcPolygon::eWinding)))},
      {"vcPolyline", VC_DRAW(t.draw(vcPolyline({V(0, 0), V(4, 0), V(0, 3)}, true), P, l)),
       VC_CALLS(shape("draw(vcPolyline)", vcPolyline({e(0, 0), e(4, 0), e(0, 3)}, true)))},
      {"vcRect outline", VC_DRAW(t.draw(vcRect(1, 2, 10, 5), P, l)),
       VC_CALLS(lockPush(), to(e(1, 2), e(11, 2)), to(e(11, 2), e(11, 7)), to(e(11, 7), e(1, 7)),
                to(e(1, 7), e(1, 2)), lockPop())},
      {"filled vcRect", VC_DRAW(t.draw(vcRect(1, 2, 10, 5), vcColor(5), l, true)),
       VC_CALLS(shape("draw(vcPolygon)", vcPolygon({e(1, 2), e(11, 2), e(11, 7), e(1, 7)}, vcPolygon::eWinding)))},
      {"square vcGenRect", VC_DRAW(t.draw(kGr, P, l)),
       VC_CALLS(lockPush(), to(corner(e, 0), corner(e, 1)), to(corner(e, 1), corner(e, 2)),
                to(corner(e, 2), corner(e, 3)), to(corner(e, 3), corner(e, 0)), lockPop())},
      {"filled half-round vcGenRect", VC_DRAW(t.draw(kGrHalf, PF, l)),
       VC_CALLS(lockPush(), shape("draw(vcGenRect)", kGrHalf.map(e.m)), lockPop())},
      // Its two fully rounded rectangles go to the scope as ellipses.
      {"vcGenAnnulus", VC_DRAW(t.draw(vcGenAnnulus(V(10, 10), 2, 4), vcColor(6), l)),
       VC_CALLS(lockPush(), shape("draw(vcEllipse)", vcGenAnnulus(V(10, 10), 2, 4).inner().map(e.m).ellipse()),
                lockPop(), lockPush(),
                shape("draw(vcEllipse)", vcGenAnnulus(V(10, 10), 2, 4).outer().map(e.m).ellipse()), lockPop())},
      {"vcAffineRectangle", VC_DRAW(t.draw(kAff, P, l)),
       VC_CALLS(shape("draw(vcPolygon)", vcPolygon({e(0, 0), e(4, 1), e(5, 4), e(1, 3)}, vcPolygon::eWinding)))},
      // Axes, then an arrow head at each end, its arms drawn from the tip.
      {"vcCoordAxes", VC_DRAW(t.draw(vcCoordAxes(V(0, 0), V(10, 0), V(0, 10)), P, l)),
       VC_CALLS(lockPush(), shape("draw(vcLineSeg)", vcLineSeg(e(0, 0), e(10, 0))),
                shape("draw(vcLineSeg)", vcLineSeg(e(0, 0), e(0, 10))), lockPush(), rel(e(10, 0)), rel(e(10, 0)),
                lockPop(), lockPush(), rel(e(0, 10)), rel(e(0, 10)), lockPop(), lockPop())},
      // The circle and segment through the first two points record themselves;
      // the points are drawn with one-pixel props.
      {"vcPointSet", VC_DRAW(t.draw(vcPointSet(std::vector<V>{V(1, 1), V(4, 5), V(7, 1)}), P, l)),
       VC_CALLS(shape("draw(vcEllipse)", vcCircle(V(1, 1), 5).ellipse().map(e.m)),
                shape("draw(vcLineSeg)", vcLineSeg(e(1, 1), e(4, 5))), dot(e(1, 1)), dot(e(4, 5)), dot(e(7, 1)))},
      {"vcLineSegSet", VC_DRAW(t.draw(vcLineSegSet({vcLineSeg(V(0, 0), V(1, 1)), vcLineSeg(V(2, 2), V(3, 1))}), P, l)),
       VC_CALLS(shape("draw(vcLineSeg)", vcLineSeg(e(0, 0), e(1, 1))),
                shape("draw(vcLineSeg)", vcLineSeg(e(2, 2), e(3, 1))))},
      // A quarter section with its arrow: radial edges, two arcs, an arrow at
      // 45 degrees midway between the ellipses (radius 4).
      {"vcEllipseAnnulusSection", VC_DRAW(t.draw(kSect, P, l)),
       [](const Env& e) {
         std::vector<Call> c = sectionArcs(e);
         const V mid = e(10 + 4 * std::sqrt(0.5), 10 + 4 * std::sqrt(0.5));
         for (const Call& x : {lockPush(), rel(mid), rel(mid), lockPop()}) c.push_back(x);
         return c;
       }},
      {"vcEllipseAnnulusSection without arrow", VC_DRAW(t.draw(kSect, noArrows(), l)), sectionArcs},
      // Curves are sampled into open polylines.
      {"vcBezierCurve", VC_DRAW(t.draw(kBez, P, l)), VC_CALLS_ANY(Call("draw(vcPolyline)"))},
      {"vcCubicSpline", VC_DRAW(t.draw(kSpline, P, l)),
       VC_CALLS_ANY(Call("draw(vcPolyline)"), Call("draw(vcPolyline)"))},
      // Unscaled, the arms point back from the tip at half the direction's width.
      {"arrowHead", VC_DRAW(t.arrowHead(vcPoint(5, 5), V(1, 0), 10.0f, P, l)),
       VC_CALLS(lockPush(), rel(e(5, 5), arm(e, -4)), rel(e(5, 5), arm(e, 4)), lockPop())},
      {"vcGenShape", VC_DRAW(t.draw(AppShape(), vcColor(9), l)), VC_CALLS_ANY(Call("draw(vcGenShape)"))},
      // Text and 8-bit images record with default props and their own head color.
      {"text",
       VC_DRAW(t.draw("ab", vcPoint(3, 4), vcColor(1, 2, 3), vcColor(4), vcUIFormat(5, vcUIFormat::eBottomRight), l)),
       VC_CALLS(Call("draw(text)").at(e(3, 4)).args({5, 8}))},
      {"8-bit image", VC_DRAW(t.draw(image2x2(), vcPoint(3, 4), true, 7, true, l)), VC_CALLS(imageCall(e, "u8"))},
      // Whole factors (2 and 1/2 in x) take the scope's run-length paths,
      // which hand the magnified or reduced runs to its RLE draw.
      {"RLE image", VC_DRAW(t.draw(vcRLEBuffer::encode(image01()), vcPoint(3, 4), {5, 6}, false, 9, false, l)),
       VC_CALLS(Call("draw(rle)").at(e(3, 4)))},
      // The 16-bit and packed RGB images draw the same way and record nothing.
      {"16-bit image", VC_DRAW(t.draw(vcPelBuffer<unsigned short>(2, 2), vcPoint(3, 4), false, 0, l)),
       VC_CALLS(imageCall(e, "u16"))},
      {"RGB32 image", VC_DRAW(t.draw(vcPelBuffer<vcPackedRGB32Pel>(2, 2), vcPoint(3, 4), false, 0ul, l)),
       VC_CALLS(imageCall(e, "rgb32"))},
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
