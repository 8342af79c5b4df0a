// The record classes of points and shapes: opcodes 0 to 10, 26 to 32, 37,
// 39 and 42 to 47. Each reads and writes its payload through the layout
// struct the tablet records with, draws through the tablet operation that
// recorded it, and archives its shape field by field.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <vc/core/affinerect.h>
#include <vc/core/bezier.h>
#include <vc/core/circle.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/imagecodec.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/points.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>

#include "shape_payloads.h"
#include "sketchop_impl.h"

namespace {

// A fixed-size block of a version-0 payload, taken whole from the reader and
// decoded at fixed offsets.
vc_ImageReader takeBlock(vc_PayloadReader& r, std::size_t size) { return vc_ImageReader(r.take(size), size); }

// The ellipse geometry whose five doubles and two flag bytes start at off.
vcEllipse geomAt(vc_ImageReader& block, std::size_t off) {
  vcEllipse::vcEllipseGeom g;
  g.image_(block, off);
  if (!block.ok()) vc_PayloadReader::fail("ellipse flag byte other than 0 or 1");
  return vcEllipse(g);
}

// The three vcGenRect constructor arguments at at: center, matrix elements
// (the stored determinant is not read), rounding.
vcGenRect genRectAt(vc_ImageReader& block, std::size_t at) {
  double v[8];
  const std::size_t offsets[8] = {0, 8, 16, 24, 32, 40, 56, 64};
  for (std::size_t i = 0; i < 8; ++i) block.f64(at + offsets[i], v[i]);
  return vcGenRect(vcVector<2>(v[0], v[1]), vcMatrix<2>(v[2], v[3], v[4], v[5]), vcVector<2>(v[6], v[7]));
}

vcVector<2> vectorAt(vc_ImageReader& block, std::size_t off) {
  double x = 0, y = 0;
  block.f64(off, x);
  block.f64(off + 8, y);
  return vcVector<2>(x, y);
}

// The version-0 section: outer and inner ellipse, the angles, the forward
// flag and a flag byte that is not used.
vcEllipseAnnulusSection sectionVersion0(vc_ImageReader& b) {
  double start = 0, span = 0;
  bool forward = true;
  b.f64(352, start);
  b.f64(360, span);
  b.flag(368, forward);
  const vcEllipse outer = geomAt(b, 0), inner = geomAt(b, 176);
  return vcEllipseAnnulusSection(vcEllipseAnnulus(inner, outer), vcRadian(start), vcRadian(span), forward);
}

}  // namespace

// ---- points ---------------------------------------------------------------------------------

class vc_UISketchOpPoint final : public vc_UISketchOpPointBase {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.draw(point(), header.props(), header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpPoint);

class vc_UISketchOpPointIcon final : public vc_UISketchOpPointBase {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.drawPointIcon(point(), header.props(), header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpPointIcon);

// ---- shapes built from their payload fields -----------------------------------------------------

// A record class whose only behaviour is its shape's codec.
#define VC_SHAPE_RECORD(Class, Shape, ...)                                                 \
  class Class final : public vc_UISketchOpShape<Shape, vc_ShapeCodec<Shape>, ##__VA_ARGS__> { \
    VC_SKETCH_OP_FACTORY();                                                                \
  };                                                                                       \
  VC_SKETCH_OP_REGISTER(Class)

VC_SHAPE_RECORD(vc_UISketchOpLineSeg, vcLineSeg);
VC_SHAPE_RECORD(vc_UISketchOpCircle, vcCircle);
VC_SHAPE_RECORD(vc_UISketchOpBezierCurve, vcBezierCurve);
VC_SHAPE_RECORD(vc_UISketchOpEllipse2, vcEllipse2);
VC_SHAPE_RECORD(vc_UISketchOpEllipseArc2, vcEllipseArc2);

class vc_UISketchOpLine final : public vc_UISketchOpShape<vcLine, vc_ShapeCodec<vcLine>> {
public:
  vc_UISketchOpLine() { payload_ = vc_ShapeCodec<vcLine>::of(vcLine()); }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpLine);

class vc_UISketchOpCoordAxes final
    : public vc_UISketchOpShape<vcCoordAxes, vc_ShapeCodec<vcCoordAxes>, vc_ShapeForm::eInPlace> {
public:
  // The same three vectors, made into axes by the constructor.
  long parseVersion0ByteStream(const unsigned char* p, long n) override { return parseByteStream(p, n); }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpCoordAxes);

// Rectangles (32) and clip rectangles (47). A version-0 payload has a
// leading byte that is skipped, then the four doubles.
class vc_RectRecord : public vc_UISketchOpShape<vcRect, vc_ShapeCodec<vcRect>> {
public:
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return read_(p, n, [this](vc_PayloadReader& r) {
      r.take(1);
      payload_.io(r);
    });
  }
};

class vc_UISketchOpRect final : public vc_RectRecord {
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpRect);

class vc_UISketchOpClipRect final : public vc_RectRecord {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.drawClipRect(shape(), header.layer());
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpClipRect);

// ---- shapes recorded as fixed-size images -------------------------------------------------------

template <class S, vc_ShapeForm Form = vc_ShapeForm::ePersistent>
class vc_ImageRecord : public vc_UISketchOpShape<S, vc_ImageCodec<S>, Form> {
protected:
  // Reads a version-0 payload: a block of the given size from which make
  // builds the shape.
  template <class Make>
  long readVersion0_(const unsigned char* p, long n, std::size_t size, Make&& make) {
    return this->read_(p, n, [&](vc_PayloadReader& r) {
      vc_ImageReader block = takeBlock(r, size);
      this->payload_.shape = make(block);
    });
  }
};

// Opcodes 5 and 30.
class vc_UISketchOpEllipse final : public vc_ImageRecord<vcEllipse, vc_ShapeForm::eInPlace> {
public:
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return readVersion0_(p, n, vcEllipse::kImageSize, [](vc_ImageReader& b) { return geomAt(b, 0); });
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpEllipse);

class vc_UISketchOpEllipseArc final : public vc_ImageRecord<vcEllipseArc, vc_ShapeForm::eInPlace> {
public:
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return readVersion0_(p, n, vcEllipseArc::kImageSize, [](vc_ImageReader& b) {
      double start = 0, span = 0;
      b.f64(176, start);
      b.f64(184, span);
      return vcEllipseArc(geomAt(b, 0), vcRadian(start), vcRadian(span));
    });
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpEllipseArc);

class vc_UISketchOpEllipseAnnSect final : public vc_ImageRecord<vcEllipseAnnulusSection> {
public:
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return readVersion0_(p, n, 440, &sectionVersion0);
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpEllipseAnnSect);

// Opcodes 8 and 31.
class vc_UISketchOpGenRect final : public vc_ImageRecord<vcGenRect> {
public:
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return readVersion0_(p, n, 96, [](vc_ImageReader& b) { return genRectAt(b, 0); });
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpGenRect);

class vc_UISketchOpGenAnn final : public vc_ImageRecord<vcGenAnnulus> {
public:
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return readVersion0_(p, n, 192, [](vc_ImageReader& b) { return vcGenAnnulus(genRectAt(b, 0), genRectAt(b, 96)); });
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpGenAnn);

class vc_UISketchOpAffineRect final : public vc_ImageRecord<vcAffineRectangle> {
public:
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return readVersion0_(p, n, 176, [](vc_ImageReader& b) {
      return vcAffineRectangle(vectorAt(b, 56), vectorAt(b, 72), vectorAt(b, 88));
    });
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpAffineRect);

class vc_UISketchOpCross final : public vc_ImageRecord<vcCross, vc_ShapeForm::eInPlace> {
public:
  // Center, angle and size; the last four bytes of the block are not read.
  long parseVersion0ByteStream(const unsigned char* p, long n) override {
    return readVersion0_(p, n, vcCross::kImageSize, [](vc_ImageReader& b) {
      double angle = 0;
      long size = 0;
      b.f64(16, angle);
      b.i32(24, size);
      return vcCross(vectorAt(b, 0), vcRadian(angle), size);
    });
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpCross);

// A section recorded with arrow properties other than the default ones: they
// override the header's for this record.
class vc_UISketchOpEllipseAnnSectArrowheadFlag final
    : public vc_UISketchOpPayload<vc_SectionArrowPayload<vcEllipseAnnulusSection>> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    header.props().arrowHead(payload_.arrowHead);
    header.props().arrowHeadForward(payload_.arrowHeadForward);
    tablet.draw(payload_.section, header.props(), header.layer());
  }

private:
  void archive_(vcArchive& ar) override {
    vfExchangeShape(ar, held_, payload_.section);
    ar || payload_.arrowHead || payload_.arrowHeadForward;
  }
  vcPtrHandle<vcEllipseAnnulusSection> held_;
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpEllipseAnnSectArrowheadFlag);

// ---- records of several values -------------------------------------------------------------------

class vc_UISketchOpArrow final : public vc_UISketchOpPayload<vc_ArrowPayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.arrowHead(vcPoint(payload_.tip), payload_.direction, payload_.length, header.props(), header.layer());
  }

private:
  void check_() override {
    vfCheckFinite(payload_.tip, "arrow tip");
    vfCheckFinite(payload_.direction, "arrow direction");
    if (!std::isfinite(payload_.length)) throw vcShapesError::BadGeom("sketch record: arrow length is not finite");
  }
  void archive_(vcArchive& ar) override {
    vcPoint tip(payload_.tip);
    ar || tip || payload_.direction || payload_.length;
    payload_.tip = vcVector<2>(tip);
  }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpArrow);

// The polygon and polyline records keep the shape built when their payload
// was checked, reusing its storage from record to record.
class vc_UISketchOpPolygon final : public vc_UISketchOpPayload<vc_PolygonPayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.draw(checked_, header.props(), header.layer());
  }

private:
  vcPolygon polygon() const {
    return vcPolygon(payload_.vertices, static_cast<vcPolygon::PolyFillMode>(payload_.mode));
  }
  void check_() override { checked_.assign(payload_.vertices, vfPolygonFillMode(payload_.mode)); }
  void reset_() override {
    vc_UISketchOpPayload::reset_();
    checked_ = vcPolygon();
  }
  void archive_(vcArchive& ar) override {
    long mode = payload_.mode, count = static_cast<long>(payload_.vertices.size());
    ar || mode || count;
    vcPolygon p = ar.isStoring() ? polygon() : vcPolygon();
    vfExchangeShape(ar, held_, p);
    if (ar.isStoring()) return;
    if (count != static_cast<long>(p.numVertices()) || mode != static_cast<long>(p.fillMode()))
      vcArchive::fail("polygon record: count or fill mode disagrees with its polygon");
    payload_.mode = mode;
    payload_.vertices = p.vertices();
  }
  vcPtrHandle<vcPolygon> held_;
  vcPolygon checked_;
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpPolygon);

class vc_UISketchOpPolyline final : public vc_UISketchOpPayload<vc_PolylinePayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    tablet.draw(checked_, header.props(), header.layer());
  }

private:
  vcPolyline polyline() const { return vcPolyline(payload_.points, payload_.closed); }
  void check_() override { checked_.assign(payload_.points, payload_.closed); }
  void reset_() override {
    vc_UISketchOpPayload::reset_();
    checked_ = vcPolyline();
  }
  void archive_(vcArchive& ar) override {
    long count = static_cast<long>(payload_.points.size());
    ar || count;
    vcPolyline p = ar.isStoring() ? polyline() : vcPolyline();
    vfExchangeShape(ar, held_, p);
    bool closed = payload_.closed;
    ar || closed;
    if (ar.isStoring()) return;
    if (count != static_cast<long>(p.numVertices()) || closed != p.isClosed())
      vcArchive::fail("polyline record: count or closed flag disagrees with its polyline");
    payload_.points = p.points();
    payload_.closed = closed;
  }
  vcPtrHandle<vcPolyline> held_;
  vcPolyline checked_;
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpPolyline);

// Drawn segment by segment, as the tablet draws a spline.
class vc_UISketchOpCubicSpline final : public vc_UISketchOpPayload<vc_CubicSplinePayload> {
public:
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    for (const vc_BezierPayload& s : payload_.segments)
      tablet.draw(vc_ShapeCodec<vcBezierCurve>::shape(s), header.props(), header.layer());
  }

private:
  void check_() override {
    for (const vc_BezierPayload& s : payload_.segments) (void)vc_ShapeCodec<vcBezierCurve>::shape(s);
  }
  void archive_(vcArchive& ar) override {
    // A signed segment count; each stored segment keeps a handle alive while
    // the archive can still refer back to it.
    if (ar.isStoring()) held_.assign(payload_.segments.size(), vcPtrHandle<vcBezierCurve>());
    vcPtrHandle<vcBezierCurve> unused;
    vcExchangeCounted(
        ar, payload_.segments,
        [&](vc_BezierPayload& s, std::size_t i) {
          vcBezierCurve c = ar.isStoring() ? vc_ShapeCodec<vcBezierCurve>::shape(s) : vcBezierCurve();
          vfExchangeShape(ar, ar.isStoring() ? held_[i] : unused, c);
          if (ar.isLoading()) s = vc_ShapeCodec<vcBezierCurve>::of(c);
        },
        1, 0x7FFFFFFFu);
  }
  std::vector<vcPtrHandle<vcBezierCurve>> held_;
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpCubicSpline);
