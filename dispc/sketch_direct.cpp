// Replay's read-and-draw functions: points, the pen, shapes, polygons,
// polylines and text. Each reads the payload through the same layout struct
// and codec as its record class, and refuses the same payloads with the
// same messages, so that both ways draw alike (tests compare them).
#include "sketch_direct.h"

#include <vc/core/affinerect.h>
#include <vc/core/bezier.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/exception.h>
#include <vc/core/genrect.h>
#include <vc/core/line.h>
#include <vc/core/points.h>
#include <vc/uitablet.h>

#include "shape_payloads.h"
#include "sketchop_impl.h"

namespace {

thread_local bool tDirect = true;

// Reads payload from the n bytes at p into payload and returns
// check(payload), whose core exceptions become malformed-record errors as
// in the record classes' parsers; used is set to the bytes read.
template <class P, class Check>
auto readChecked(const unsigned char* p, long n, P& payload, long& used, Check&& check) {
  try {
    vc_PayloadReader reader(p, static_cast<std::size_t>(n));
    payload.io(reader);
    used = static_cast<long>(reader.consumed());
    return check(payload);
  } catch (const vcUIError::InvalidUISketch&) {
    throw;
  } catch (const vcException& e) {
    vc_PayloadReader::fail(e.what());
  }
}

// A shape that Codec builds from its payload, drawn with the header's props.
template <class S, class Codec = vc_ShapeCodec<S>>
long drawShape(const unsigned char* p, long n, vcUITablet* tablet, vc_UISketchOpHeader& header, vc_DirectScratch&) {
  typename Codec::Payload payload;
  long used = 0;
  const S shape = readChecked(p, n, payload, used, [](const auto& pl) { return Codec::shape(pl); });
  if (tablet) tablet->draw(shape, header.props(), header.layer());
  return used;
}

template <class S>
long drawImageShape(const unsigned char* p, long n, vcUITablet* tablet, vc_UISketchOpHeader& header,
                    vc_DirectScratch& scratch) {
  return drawShape<S, vc_ImageCodec<S>>(p, n, tablet, header, scratch);
}

// A record of one client point, drawn by Draw.
using vc_PointDraw = void (*)(vcUITablet&, const vcPoint&, vc_UISketchOpHeader&);

template <vc_PointDraw Draw>
long drawPoint(const unsigned char* p, long n, vcUITablet* tablet, vc_UISketchOpHeader& header, vc_DirectScratch&) {
  vc_PointPayload payload;
  long used = 0;
  const vcPoint at = readChecked(p, n, payload, used, [](const vc_PointPayload& pl) {
    vfCheckFinite(pl.p, "point");
    return vcPoint(pl.p);
  });
  if (tablet) Draw(*tablet, at, header);
  return used;
}

void point(vcUITablet& t, const vcPoint& at, vc_UISketchOpHeader& h) { t.draw(at, h.props(), h.layer()); }
void pointIcon(vcUITablet& t, const vcPoint& at, vc_UISketchOpHeader& h) { t.drawPointIcon(at, h.props(), h.layer()); }
void drawStart(vcUITablet& t, const vcPoint& at, vc_UISketchOpHeader& h) { t.drawStart(at, h.layer()); }
void drawTo(vcUITablet& t, const vcPoint& at, vc_UISketchOpHeader& h) { t.drawTo(at, h.props(), h.layer()); }

// A record whose payload is read into the scratch (Payload), so that its
// storage serves the next record of its kind; Check refuses what the record
// class refuses (and may build a shape in the scratch), Draw draws.
using vc_ScratchCheck = void (*)(vc_DirectScratch&);
using vc_ScratchDraw = void (*)(vcUITablet&, const vc_DirectScratch&, vc_UISketchOpHeader&);

template <class P, P vc_DirectScratch::*Payload, vc_ScratchCheck Check, vc_ScratchDraw Draw>
long drawScratch(const unsigned char* p, long n, vcUITablet* tablet, vc_UISketchOpHeader& header,
                 vc_DirectScratch& scratch) {
  long used = 0;
  readChecked(p, n, scratch.*Payload, used, [&](const P&) {
    Check(scratch);
    return 0;
  });
  if (tablet) Draw(*tablet, scratch, header);
  return used;
}

void buildPolygon(vc_DirectScratch& s) {
  s.polygon.assign(s.polygonPayload.vertices, vfPolygonFillMode(s.polygonPayload.mode));
}
void drawPolygon(vcUITablet& t, const vc_DirectScratch& s, vc_UISketchOpHeader& h) {
  t.draw(s.polygon, h.props(), h.layer());
}
void buildPolyline(vc_DirectScratch& s) { s.polyline.assign(s.polylinePayload.points, s.polylinePayload.closed); }
void drawPolyline(vcUITablet& t, const vc_DirectScratch& s, vc_UISketchOpHeader& h) {
  t.draw(s.polyline, h.props(), h.layer());
}

// Text in bytes (opcode 11), drawn in the head's color.
void checkString(vc_DirectScratch& s) { vfCheckFinite(s.stringPayload.position, "text position"); }
void drawString(vcUITablet& t, const vc_DirectScratch& s, vc_UISketchOpHeader& h) {
  const vc_StringPayload& p = s.stringPayload;
  t.draw(p.text, vcPoint(p.position), h.color(), p.background, p.format, h.layer());
}

// 8-bit and run-length images.
void checkPelBuf8(vc_DirectScratch& s) { vfCheckFinite(s.pelBuf8Payload.position, "image position"); }
void drawPelBuf8(vcUITablet& t, const vc_DirectScratch& s, vc_UISketchOpHeader& h) {
  const vc_PelBuf8Payload& p = s.pelBuf8Payload;
  t.draw(p.image, vcPoint(p.position), p.passThrough, p.passValue, p.mapped, h.layer());
}
void checkRleBuf(vc_DirectScratch& s) { vfCheckFinite(s.rleBufPayload.position, "image position"); }
void drawRleBuf(vcUITablet& t, const vc_DirectScratch& s, vc_UISketchOpHeader& h) {
  const vc_RleBufPayload& p = s.rleBufPayload;
  t.draw(p.image, vcPoint(p.position), p.colorMap, p.passThrough, p.passValue, p.mapped, h.layer());
}

using S = vc_DirectScratch;

constexpr std::array<vc_DirectDraw, 256> directTable() {
  std::array<vc_DirectDraw, 256> t{};
  t[0] = &drawPoint<&point>;
  t[1] = &drawPoint<&pointIcon>;
  t[2] = &drawShape<vcLineSeg>;
  t[3] = &drawShape<vcLine>;
  t[4] = t[29] = &drawShape<vcCircle>;
  t[5] = t[30] = &drawImageShape<vcEllipse>;
  t[6] = &drawImageShape<vcEllipseArc>;
  t[7] = &drawImageShape<vcEllipseAnnulusSection>;
  t[8] = t[31] = &drawImageShape<vcGenRect>;
  t[9] = &drawImageShape<vcGenAnnulus>;
  t[10] = &drawShape<vcCoordAxes>;
  t[11] = &drawScratch<vc_StringPayload, &S::stringPayload, &checkString, &drawString>;
  t[12] = &drawScratch<vc_PelBuf8Payload, &S::pelBuf8Payload, &checkPelBuf8, &drawPelBuf8>;
  t[14] = &drawScratch<vc_RleBufPayload, &S::rleBufPayload, &checkRleBuf, &drawRleBuf>;
  t[20] = &drawPoint<&drawStart>;
  t[21] = &drawPoint<&drawTo>;
  t[27] = &drawImageShape<vcAffineRectangle>;
  t[28] = &drawScratch<vc_PolygonPayload, &S::polygonPayload, &buildPolygon, &drawPolygon>;
  t[32] = &drawShape<vcRect>;
  t[37] = &drawImageShape<vcCross>;
  t[42] = &drawShape<vcBezierCurve>;
  t[44] = &drawScratch<vc_PolylinePayload, &S::polylinePayload, &buildPolyline, &drawPolyline>;
  t[45] = &drawShape<vcEllipse2>;
  t[46] = &drawShape<vcEllipseArc2>;
  return t;
}

}  // namespace

constinit const std::array<vc_DirectDraw, 256> kSketchDirectDraws = directTable();

bool vfSketchReplayDirect() noexcept { return tDirect; }
void vfSketchReplayDirect(bool on) noexcept { tDirect = on; }
