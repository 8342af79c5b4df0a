// Drawings that record one of each record kind the tablet records, shared
// by the seeds of the targets that read or replay sketches.
#include "sketch_drawings.h"

#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include <vc/core/affinerect.h>
#include <vc/core/archive.h>
#include <vc/core/bezier.h>
#include <vc/core/circle.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/points.h>
#include <vc/core/poly.h>
#include <vc/core/rle.h>
#include <vc/core/spline.h>
#include <vc/uistring.h>
#include <vc/uitablet.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

namespace {

using V = vcVector<2>;
using L = vcUITablet::Layers;

class SeedShape : public vcGenShape {
public:
  tagShapeID shapeID() const override { return {{0x53, 0x46, 1}}; }
  std::vector<unsigned char> data() const override { return {1, 2, 3}; }
  void load(const unsigned char*, long) override {}
  vcShapeHandle mapShape(const vcXform<2>&) const override { return vfShapeHandle(*this); }
  vcRect boundingBox() const override { return vcRect(0, 0, 1, 1); }
  double distanceToPoint(const V&) const override { return 0; }
};

vcRLEBuffer rleImage() {
  vcPelBuffer<unsigned char> img(5, 2);
  for (long x = 0; x < 5; ++x) *img.pointToPel(x, 1) = static_cast<unsigned char>(x < 3 ? 1 : 2);
  return vcRLEBuffer::encode(img);
}

vcPelBuffer<unsigned char> pelImage() {
  vcPelBuffer<unsigned char> img(2, 3);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 2; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(1 + x + 2 * y);
  return img;
}

}  // namespace

std::vector<vc_FuzzDrawing> vc_fuzzSketchDrawings() {
  vcGraphicProps p(vcColor(200, 10, 10), 2, vcGraphicProps::ePenDash, false);
  vcGraphicProps pf(vcColor(20, 100, 10), 3, vcGraphicProps::ePenSolid, true);
  vcGraphicProps noArrows = p;
  noArrows.arrowHead(false);
  const vcEllipse ell(V(10, 10), V(4, 2), vcRadian(0.5));
  const vcEllipseAnnulusSection sect(vcEllipse(V(10, 10), V(2, 2), vcRadian(0)), vcEllipse(V(10, 10), V(6, 6), vcRadian(0)),
                                     vcRadian(0), vcRadian(std::numbers::pi / 2), true);
  const vcColor c1(30, 60, 90), c2(9);
  return {
      [=](vcUITablet& t, L l) { t.set(c2, l); },
      [=](vcUITablet& t, L l) { t.draw(vcPoint(3, 4), p, l); },
      [=](vcUITablet& t, L l) { t.drawPointIcon(vcPoint(5, 6), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcLineSeg(V(1, 2), V(5, 7)), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcLine(vcRadian(0.3), V(0, 5)), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcCircle(V(10, 10), 4), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcCircle(V(10, 10), 4), pf, l); },
      [=](vcUITablet& t, L l) { t.draw(ell, p, l); },
      [=](vcUITablet& t, L l) { t.draw(ell, pf, l); },
      [=](vcUITablet& t, L l) { t.draw(vcEllipseArc(ell, vcRadian(0.1), vcRadian(1)), p, l); },
      [=](vcUITablet& t, L l) { t.draw(sect, p, l); },
      [=](vcUITablet& t, L l) { t.draw(sect, noArrows, l); },
      [=](vcUITablet& t, L l) { t.draw(vcGenRect(V(10, 10), V(8, 4), vcRadian(0), V(0, 0)), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcGenRect(V(10, 10), V(8, 4), vcRadian(0.2), V(0.5, 0.5)), pf, l); },
      [=](vcUITablet& t, L l) { t.draw(vcGenAnnulus(V(10, 10), 2, 4), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcCoordAxes(V(0, 0), V(10, 0), V(0, 10)), p, l); },
      [=](vcUITablet& t, L l) { t.draw(std::string("text"), vcPoint(2, 3), c1, c2, vcUIFormat(1, vcUIFormat::eCenter), l); },
      [=](vcUITablet& t, L l) { t.draw(pelImage(), vcPoint(3, 4), true, 2, false, l); },
      [=](vcUITablet& t, L l) { t.draw(rleImage(), vcPoint(6, 7), std::vector<unsigned char>{0, 5, 6}, true, 0, false, l); },
      [=](vcUITablet& t, L l) {
        vcUITablet inner;
        inner.draw(vcLineSeg(V(0, 0), V(3, 3)), p, l);
        t.draw(inner.sketch(), vcPoint(10, 5), l);
      },
      [=](vcUITablet& t, L l) { t.set(vcUIRect(1, 2, 3, 4), c1, l); },
      [=](vcUITablet& t, L l) { t.set(vcRect(1.5, 2.5, 3, 4), c1, l); },
      [=](vcUITablet& t, L l) { t.setComplement(vcUIRect(2, 2, 50, 40), c2, l); },
      [=](vcUITablet& t, L l) { t.fill(vcPair<long>(3, 4), c1, c2, vcUITablet::eFillToBorder, l); },
      [=](vcUITablet& t, L l) { t.fill(vcPoint(3.5, 4.5), c1, c2, vcUITablet::eFillSurface, l); },
      [=](vcUITablet& t, L l) {
        t.drawStart(vcPoint(1, 1), l);
        t.drawTo(vcPoint(9, 9), p, l);
        t.drawToRelPels(3, -2, p, l);
        t.moveToRelPels(2, 2, l);
      },
      [=](vcUITablet& t, L l) { t.outline3D(vcUIRect(5, 5, 20, 10), c1, c2, 2, l); },
      [=](vcUITablet& t, L l) { t.outline3D(vcRect(5, 5, 20, 10), c2, c1, 1, l); },
      [=](vcUITablet& t, L l) { t.arrowHead(vcPoint(5, 5), V(1, 0.5), 6.0f, p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcAffineRectangle(V(0, 0), V(4, 1), V(1, 3)), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcPolygon({V(0, 0), V(4, 0), V(0, 3)}, vcPolygon::eWinding), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcRect(1, 2, 10, 5), p, l); },
      [=](vcUITablet& t, L l) { t.draw(SeedShape(), c1, l); },
      [=](vcUITablet& t, L l) { t.draw(vcCross(V(5, 5), vcRadian(0.25), 3), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcBezierCurve(V(0, 0), V(10, 0), V(10, 10), V(0, 10)), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcInterpSpline({V(0, 0), V(10, 5), V(20, 0)}), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcPolyline({V(0, 0), V(4, 0), V(0, 3)}, true), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcEllipse2(V(4, 2), vcRadian(0.5), V(10, 10)), p, l); },
      [=](vcUITablet& t, L l) {
        t.draw(vcEllipseArc2(V(4, 2), vcRadian(0.5), V(10, 10), false, vcRadian(0.2), vcRadian(0.1), vcRadian(1)), p, l);
      },
      [=](vcUITablet& t, L l) { t.drawClipRect(vcRect(0, 0, 150, 80), l); },
      [=](vcUITablet& t, L l) { t.draw(vcGenPoly(vcGenRect(V(10, 10), V(8, 4), vcRadian(0.2), V(0.5, 0.5))), p, l); },
      [=](vcUITablet& t, L l) { t.draw(vcGenPoly(vcCircle(V(10, 10), 4)), pf, l); },
      [=](vcUITablet& t, L l) {
        vc2Wireframe w(vcGenPoly(vcRect(1, 2, 10, 10)), vcDimTol(10, 1, 1, vcDimTol::eOffsets));
        w.polarity(true);
        t.draw(w, p, l);
      },
  };
}
