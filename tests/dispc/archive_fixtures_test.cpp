// The archive bytes of segments, dimensions, SMD descriptions, generalised
// polygons, wireframes and every graphic class, pinned by fixture files
// (tests/data/archives; regenerate with scripts/regen_archive_fixtures.sh
// only for a deliberate format change). Round trips cannot see two fields of
// one type exchanged in both store and load; a fixture can, because every
// field of its object holds a value no other field of that type holds.
// Older versions that are still read have fixtures built field by field.
#include <concepts>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include <gtest/gtest.h>

#include <vc/core/archive.h>
#include <vc/core/core.h>
#include <vc/dimtol.h>
#include <vc/glist.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/graphic_wrfm.h>
#include <vc/wrfm/lineseg.h>
#include <vc/wrfm/smdmodel.h>

#include "support/bytes.h"

namespace {

using Bytes = std::vector<unsigned char>;
using V = vcVector<2>;
using GraphicH = vcPtrHandle<vcGraphic>;

std::string fixturePath(const std::string& name) {
  const char* dir = std::getenv("VC_TEST_DATA");
  return std::string(dir ? dir : VC_TEST_DATA_DIR) + "/archives/" + name + ".bin";
}

// The archive form of v: a persistent object's fields in place (no class
// name), a graphic handle with its class name, a value through its operator||.
// Taken by reference: copying a graphic list would clone its shared items.
template <class T>
Bytes stored(T& v) {
  vcBufferArchive out(vcArchive::eStore);
  if constexpr (std::is_base_of_v<vcPersistent, T>)
    out || static_cast<vcPersistent&>(v);
  else
    out || v;
  return out.bytes();
}

template <class T>
void loadInto(const Bytes& b, T& v) {
  vcBufferArchive in(b);
  if constexpr (std::is_base_of_v<vcPersistent, T>)
    in || static_cast<vcPersistent&>(v);
  else
    in || v;
}

constexpr unsigned char u8(int v) { return static_cast<unsigned char>(v); }

// Bytes written field by field through the archive's primitives, the way an
// older version laid them out.
template <class... F>
Bytes layout(F... fields) {
  vcBufferArchive out(vcArchive::eStore);
  (out || ... || fields);
  return out.bytes();
}

struct PinnedArchive {
  std::string name;                                   // the fixture file, without ".bin"
  std::function<Bytes()> bytes;                       // what the fixture must hold
  std::function<void(const Bytes&)> expectLoadsBack;  // loading it gives the object it was made from
};

// Loading b gives make()'s object: equal where the class compares, of the
// same class and props for a graphic, and storing the same bytes at the
// current version.
template <class T>
void expectLoads(const Bytes& b, const std::function<T()>& make) {
  T back{};
  loadInto(b, back);
  T made = make();
  if constexpr (std::is_same_v<T, GraphicH>) {
    ASSERT_TRUE(back);
    EXPECT_EQ(typeid(*back), typeid(*made));
    EXPECT_EQ(back->props(), made->props());
  } else if constexpr (std::equality_comparable<T>) {
    EXPECT_TRUE(back == made);
  }
  EXPECT_EQ(stored(back), stored(made)) << "loaded back, the object stores other bytes";
}

template <class T>
PinnedArchive current(const std::string& name, std::function<T()> make) {
  return {name,
          [make] {
            T v = make();
            return stored(v);
          },
          [make](const Bytes& b) { expectLoads(b, make); }};
}

template <class T>
PinnedArchive older(const std::string& name, std::function<T()> make, std::function<Bytes()> bytes) {
  return {name, bytes, [make](const Bytes& b) { expectLoads(b, make); }};
}

// ---- the representative objects: no two fields of one type equal --------------------

const vcDimTol kTol(12.5, 0.25, 0.75, vcDimTol::eOffsets);

vc2SegmentArc plainArc() { return vc2SegmentArc(V(1.5, -2.25), 2.75, vcDegree(10), vcDegree(-200)); }

vcSMDGDPolyVertex vertex(V p, double radius, double span, double prev, double next, long label,
                         const vcDimTol& tol = vcDimTol()) {
  return vcSMDGDPolyVertex(p, radius, vcDegree(span), prev, next, label, tol);
}

vcSMDColors colors() { return vcSMDColors(vcColor(11, 22, 33), vcColor::orangeColor(), vcColor(44, 55, 66)); }

vcSMDGDPoly poly(const std::string& name, V at, long label) {
  vcSMDGDPoly p(name);
  p.vertices({vertex(at, 1.25, 0, 0.5625, 0.1875, label, kTol), vertex(at + V(10, 0.5), -2, 30, 0.75, 0.125, label + 1),
              vertex(at + V(10.5, 9), 0.625, 0, 0.375, 0.875, label), vertex(at + V(-0.5, 10), 0, 0, 1, 0.0625, -1)});
  p.close();
  p.toggleDirection();
  p.weight(0.4375);
  p.colors(colors());
  p.positiveArrowColor(vcColor::purpleColor());
  p.negativeArrowColor(vcColor(77, 88, 99));
  return p;
}

vcSMDGDModel model() {
  vcSMDGDModel m("part");
  m << poly("pad", V(0.5, -1), 3) << poly("lead", V(30, 1), 8);
  return vc2Rigid(vcDegree(30), V(5, -2)) * m;
}

vcGenPoly genPoly() {
  return vcGenPoly(poly("gen", V(1, 2), 5), vcXform<2>(vcMatrix<2>(1.5, 0.25, -0.5, 2), V(3, -4)), false);
}

vc2Wireframe wireframe() {
  vc2Wireframe w(vcGenPoly(poly("wire", V(2, 1), 6), vcXform<2>(vcMatrix<2>(2, 0.5, 0.25, 1), V(-3, 7)), true), kTol);
  w.polarity(true);
  return w;
}

// Props whose integers differ; between the two patterns of the booleans
// (arrowHeadLikeFill or not) each pair of booleans differs in one.
vcGraphicProps props(bool arrowHeadLikeFill = false) {
  vcGraphicProps p(vcColor(10, 200, 30), 3, vcGraphicProps::ePenDashDotDot, true);
  p.penJoin(vcGraphicProps::eJoinBevel);
  p.penEndCap(vcGraphicProps::eCapFlat);
  p.arrowHead(arrowHeadLikeFill);
  p.arrowHeadForward(!arrowHeadLikeFill);
  p.showVertex(false);
  return p;
}

vcGraphicProps unfilledProps() {
  vcGraphicProps p = props();
  p.fill(false);
  return p;
}

const std::vector<V> kPts{{0.5, 0}, {10, 2.25}, {12.75, 9}, {3, 14.5}};
vcEllipse ellipse() { return vcEllipse(V(5, 6), V(4, 2), vcRadian(0.3)); }
vcEllipseAnnulus annulus() { return vcEllipseAnnulus(vcEllipse(V(5, 6), V(2, 1), vcRadian(0.3)), ellipse()); }
vcEllipseAnnulusSection section() { return vcEllipseAnnulusSection(annulus(), vcRadian(0.5), vcRadian(1.5), true); }

// A graphic, stored and loaded through its handle (class name, then fields).
template <class G, class... A>
PinnedArchive graphic(const std::string& name, A... args) {
  return current<GraphicH>("graphic_" + name, [=] { return GraphicH(new G(args...)); });
}
template <class S>
PinnedArchive simple(const std::string& name, const S& s) {
  return graphic<vcGraphicSimple<S>>("simple_" + name + ".v0", s, props());
}
template <class S, class U>
PinnedArchive withFill(const std::string& name, const S& s) {
  return graphic<vcGraphicWithFill<S, U>>("with_fill_" + name + ".v1", s, props());
}

GraphicH group() {
  GraphicH g(new vcGraphicGroup);
  static_cast<vcGraphicGroup&>(*g).items(
      {GraphicH(new vcGraphicPointIcon(vcPoint(7, 8), props(true))), GraphicH(),
       GraphicH(new vcGraphicSimple<vcLineSeg>(vcLineSeg(V(1, 2), V(8, 5)), props()))},
      false);
  return g;
}

vcGraphicList list() {
  vcGraphicList l;
  const GraphicH shared(new vcGraphicCross(vcCross(V(4, 5), vcRadian(0.25), 6), props()));
  l.append(shared, false);
  l.append(GraphicH(new vcGraphicPointIcon(vcPoint(-1, 2), props(true))), false);
  l.append(shared, false);
  return l;
}

std::vector<PinnedArchive> pinnedArchives() {
  const vcGenRect skewed(V(4, 5), vcMatrix<2>(3, 1, 0.5, 2), V(0.25, 0.75));
  return {
      current<vc2SegmentLine>("vc2SegmentLine.v0", [] { return vc2SegmentLine(V(-1.5, 2.25), V(7.75, -3.125)); }),
      current<vc2SegmentArc>("vc2SegmentArc.v1",
                             [] { return vcXform<2>(vcMatrix<2>(0.5, -2, 2, 0.25), V(3, 4)) * plainArc(); }),
      older<vc2SegmentArc>("vc2SegmentArc.v0", plainArc,
                           [] { return layout(u8(0), V(1.5, -2.25), 2.75, 10.0, -200.0); }),
      current<vcDimTol>("vcDimTol.v0", [] { return kTol; }),
      current<vcSMDDimension>("vcSMDDimension.v0",
                              [] { return vcSMDDimension(5.5, 4.25, 6.75, vcSMDDimension::eScaleProportional); }),
      current<vcSMDColors>("vcSMDColors.v1", colors),
      older<vcSMDColors>(
          "vcSMDColors.v0", [] { return vcSMDColors(); }, [] { return Bytes{0}; }),
      current<vcSMDGDPolyVertex>("vcSMDGDPolyVertex.v2",
                                 [] { return vertex(V(1.5, -2.5), 0.375, 30, 0.3125, 0.6875, 7, kTol); }),
      // Versions 1 and 0: the fields of version 2 with the tolerance as
      // offsets and a type, or without it.
      older<vcSMDGDPolyVertex>(
          "vcSMDGDPolyVertex.v1",
          [] {
            return vertex(V(1.5, -2.5), 0.375, 30, 0.3125, 0.6875, 7, vcDimTol(-1, 0.125, 0.625, vcDimTol::eOffsets));
          },
          [] {
            return layout(u8(1), u8(0), std::string(), 1.5, -2.5, 0.375, 30.0, 0.3125, 0.6875, 7L, 0.125, 0.625,
                          std::uint32_t{2});
          }),
      older<vcSMDGDPolyVertex>(
          "vcSMDGDPolyVertex.v0", [] { return vertex(V(1.5, -2.5), 0.375, 30, 0.3125, 0.6875, 7); },
          [] { return layout(u8(0), u8(0), std::string(), 1.5, -2.5, 0.375, 30.0, 0.3125, 0.6875, 7L); }),
      current<vcSMDGDPoly>("vcSMDGDPoly.v1", [] { return poly("pad", V(0.5, -1), 3); }),
      // Version 0: version 1 without the weight, which was 1.
      older<vcSMDGDPoly>(
          "vcSMDGDPoly.v0",
          [] {
            vcSMDGDPoly p = poly("pad", V(0.5, -1), 3);
            p.weight(1);
            return p;
          },
          [] {
            vcSMDGDPoly p = poly("pad", V(0.5, -1), 3);
            Bytes b = stored(p);
            b.front() = 0;
            b.resize(b.size() - 8);
            return b;
          }),
      current<vcSMDGDModel>("vcSMDGDModel.v0", model),
      current<vcGenPoly>("vcGenPoly.v0", genPoly),
      current<vc2Wireframe>("vc2Wireframe.v0", wireframe),

      simple<vcPoint>("point", vcPoint(3, 4)),
      simple<vc2Point>("2point", vc2Point(5, -6)),
      simple<vcLineSeg>("line_seg", vcLineSeg(V(1, 2), V(8, 5))),
      simple<vcLine>("line", vcLine(V(0.6, 0.8), V(2, 3))),
      simple<vcFLine>("fline", vcFLine(V(1, 1.5), V(5, 2))),
      simple<vcEllipseArc2>("ellipse_arc2", vcEllipseArc2(V(4, 2), vcRadian(0.2), V(1, 1.5), true, vcRadian(0),
                                                          vcRadian(0.5), vcRadian(2))),
      simple<vcGenAnnulus>("gen_annulus", vcGenAnnulus(V(5, 6), 2, 4)),
      simple<vcPolyline>("polyline", vcPolyline(kPts, true)),
      simple<vcAffineRectangle>("affine_rectangle", vcAffineRectangle(V(0.5, 0), V(6, 1), V(-1, 4))),
      simple<vcBezierCurve>("bezier", vcBezierCurve(kPts[0], kPts[1], kPts[2], kPts[3])),
      simple<vcDeBoorSpline>("de_boor", vcDeBoorSpline(kPts)),
      simple<vcInterpSpline>("interp", vcInterpSpline(kPts)),
      simple<vcHermiteSpline>("hermite", vcHermiteSpline(kPts, {V(1, 0.5), V(0, 1), V(-1, 0), V(0, -1.5)})),
      simple<vcLineSegSet>("line_seg_set", vcLineSegSet({vcLineSeg(V(0, 0.5), V(1, 1)), vcLineSeg(V(2, 0), V(3, 5))})),
      simple<vcCoordAxes>("coord_axes", vcCoordAxes(V(1, 2), V(9, 1), V(1, 7))),
      simple<vcPointSet>("point_set", vcPointSet(kPts)),
      simple<vcPolygon>("polygon", vcPolygon(kPts, vcPolygon::eWinding)),
      simple<vcEllipseArc>("ellipse_arc", vcEllipseArc(ellipse(), vcRadian(0.1), vcRadian(2))),
      simple<vcGenPoly>("gen_poly", genPoly()),
      simple<vc2Wireframe>("wireframe", wireframe()),
      withFill<vcRect, vcGenRect>("rect", vcRect(1, 2, 30, 20)),
      withFill<vcCircle, vcEllipse2>("circle", vcCircle(V(5, 6), 4)),
      withFill<vcAnnulus, vcGenAnnulus>("annulus", vcAnnulus(V(5, 6), 2, 4)),
      withFill<vcEllipse2, vcEllipse2>("ellipse2", vcEllipse2(V(4, 2), vcRadian(0.4), V(3, 3.5))),
      withFill<vcGenRect, vcGenRect>("gen_rect", skewed),
      withFill<vcGenAnnulus, vcGenAnnulus>("gen_annulus", vcGenAnnulus(V(5, 6), 2, 4)),
      withFill<vcEllipseAnnulus, vcEllipseAnnulus>("ellipse_annulus", annulus()),
      withFill<vcCircle, vcEllipse>("circle_to_ellipse", vcCircle(V(5, 6), 4)),
      withFill<vcEllipse, vcEllipse>("ellipse", ellipse()),
      graphic<vcGraphicEllipseAnnulusSection>("ellipse_annulus_section.v1", section(), props(true)),
      graphic<vcGraphicCross>("cross.v0", vcCross(V(4, 5), vcRadian(0.25), 6), props()),
      graphic<vcGraphicPointIcon>("point_icon.v0", vcPoint(7, 8), props()),
      graphic<vcGraphicText>("text.v0", std::string("label"), vcPoint(3, 4), vcColor::redColor(), vcColor::blueColor(),
                             vcUIFormat(11, vcUIFormat::eCenterRight), V(2, -3)),
      // Older graphic forms, read in place: a version-0 vcGraphic kept only
      // the pen color; version 0 of the filled and section graphics kept the
      // fill flag or the arrow switches after the item.
      older<vcGraphicPointIcon>(
          "graphic_point_icon.v0.graphic_v0",
          [] { return vcGraphicPointIcon(vcPoint(7, 8), vcGraphicProps(vcColor(10, 200, 30), 1)); },
          [] { return layout(u8(0), u8(0), vcColor(10, 200, 30), vcPoint(7, 8)); }),
      older<vcGraphicWithFill<vcCircle, vcEllipse2>>(
          "graphic_with_fill_circle.v0",
          [] { return vcGraphicWithFill<vcCircle, vcEllipse2>(vcCircle(V(5, 6), 4), props()); },
          [] { return layout(u8(0), u8(0), u8(1), unfilledProps(), vcCircle(V(5, 6), 4), true); }),
      older<vcGraphicEllipseAnnulusSection>(
          "graphic_ellipse_annulus_section.v0", [] { return vcGraphicEllipseAnnulusSection(section(), props(true)); },
          [] { return layout(u8(0), u8(1), props(), section(), true, false); }),
      current<GraphicH>("graphic_group.v0", group),
      current<vcGraphicList>("graphic_list.v0", list),
  };
}

TEST(ArchiveFixtures, EveryClassAndVersionHasPinnedBytesThatLoadBack) {
  const bool regenerate = std::getenv("VC_REGENERATE_ARCHIVE_FIXTURES") != nullptr;
  for (const PinnedArchive& p : pinnedArchives()) {
    SCOPED_TRACE(p.name);
    // A load that throws fails this entry only; the walk goes on.
    try {
      const Bytes got = p.bytes();
      if (regenerate) vfWriteTestFile(fixturePath(p.name), got);
      const Bytes pinned = vfReadTestFile(fixturePath(p.name));
      EXPECT_EQ(got, pinned) << "the archive layout of " << p.name << " changed";
      p.expectLoadsBack(pinned);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

}  // namespace
