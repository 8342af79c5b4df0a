// Synthetic images of SMD polys and generalised polygons: the outline is
// turned into a chain of image points (arcs and non-linear maps followed
// within a thousandth of a pixel) and handed to the exact-area scan converter.
#include <algorithm>
#include <cmath>

#include <vc/core/exception.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/synthetic.h>

#include "smdpoly_piece.h"
#include "synth_arc.h"
#include "synth_raster.h"

using P = vcSMDGDPolyPrivate;

namespace {

// The outline's points, in a buffer of the calling thread reused from call
// to call, and their box; with arcs, the arcs the scan converter may follow
// exactly go there instead of their chords.
const std::vector<vcVector<2>>& linearOutline(const vcSMDGDPoly& p, const vcXform<2>& x,
                                              const vcRectangle<long>& window, vf_SynthBox& box,
                                              std::vector<vc_SynthArc>* arcs) {
  thread_local std::vector<vcVector<2>> pts;
  pts.clear();
  if (arcs) arcs->clear();
  const auto put = [&](const vcVector<2>& q) {
    pts.push_back(q);
    box.add(q);
  };
  vc_forEachOutlinePart(p, [&](const vc_SMDPiece& piece) {
    if (pts.empty()) put(x * piece.start());
    if (!piece.isArc)
      put(x * piece.line.p2());
    else if (!arcs || !vf_synthExactArc(piece.arc, x, window, pts, box, *arcs))
      vf_synthArcPoints(piece.arc, x, false, window, pts, box);
  });
  return pts;
}

// The most points a non-linear map may make of one outline (64 MiB of
// them): a map that will not settle, or a huge outline under one, is refused
// rather than followed for minutes.
constexpr std::size_t kMaxMappedPoints = std::size_t{1} << 22;

// Follows q(t), t in [t0, t1], halving until the middle of every piece lies
// within the chord tolerance of its chord.
template <class Curve>
void refine(const Curve& q, double t0, const vcVector<2>& q0, double t1, const vcVector<2>& q1, int depth,
            std::vector<vcVector<2>>& out) {
  const double tm = 0.5 * (t0 + t1);
  const vcVector<2> qm = q(tm);
  vf_synthCheckFinite(qm);
  if (out.size() >= kMaxMappedPoints)
    throw vcShapesError::BadGeom("synthetic drawing: the outline needs more than 4194304 points under this map");
  if (depth < 24 && qm.distance((q0 + q1) * 0.5) > kSynthChordTol) {
    refine(q, t0, q0, tm, qm, depth + 1, out);
    refine(q, tm, qm, t1, q1, depth + 1, out);
    return;
  }
  out.push_back(qm);
  out.push_back(q1);
}

// The outline mapped point by point through map (client to image): every
// part is cut into pieces of at most 5 degrees (two at least), each then
// refined where the map bends it.
template <class Map>
std::vector<vcVector<2>> mappedOutline(const vcSMDGDPoly& p, const Map& map) {
  std::vector<vcVector<2>> pts;
  vc_forEachOutlinePart(p, [&](const vc_SMDPiece& piece) {
    const auto q = [&](double t) { return map(piece.isArc ? piece.arc.segPoint(t) : piece.line.segPoint(t)); };
    long n = 2;
    // Spans are at most a turn; fmin also keeps a NaN one from the cast.
    if (piece.isArc) {
      const double pieces = std::ceil(std::fabs(piece.arc.localAngleSpan().toDouble()) / 5.0);
      n = static_cast<long>(std::fmax(2.0, std::fmin(72.0, pieces)));
    }
    vcVector<2> prev = q(0.0);
    vf_synthCheckFinite(prev);
    if (pts.empty()) pts.push_back(prev);
    for (long k = 1; k <= n; ++k) {
      const double t0 = static_cast<double>(k - 1) / static_cast<double>(n),
                   t1 = static_cast<double>(k) / static_cast<double>(n);
      const vcVector<2> next = q(t1);
      vf_synthCheckFinite(next);
      refine(q, t0, prev, t1, next, 0, pts);
      prev = next;
    }
  });
  return pts;
}

// Renders a chain of image points: a closed loop (the last point joins the
// first) or, without fill, an open path; box holds every point. Returns
// false, having written nothing, where the loop holds arcs that this
// rendering cannot take whole.
bool renderChain(const std::vector<vcVector<2>>& pts, const std::vector<vc_SynthArc>& arcs, const vf_SynthBox& box,
                 bool closed, vcPelBuffer<unsigned char>& image, unsigned char value, bool smooth, bool fill) {
  if (pts.size() < 2 || (fill && !closed)) return true;
  const vcRectangle<long>& w = image.window();
  if (!closed) {
    vf_synthPolyline(image, pts, value, 0);
    return true;
  }
  if (!box.surelyWithin(kSynthFarthest))
    for (const vcVector<2>& q : pts) vf_synthCheckFinite(q);
  const double x0 = box.x0, x1 = box.x1, y0 = box.y0, y1 = box.y1;
  // The box is cut to the window before rounding, so that far-away outlines
  // cannot overflow the pixel indices.
  const auto clampTo = [](double v, long lo, long hi) {
    return std::clamp(v, static_cast<double>(lo), static_cast<double>(hi));
  };
  const long l = vf_synthFloor(clampTo(x0, w.x(), w.right())), r = vf_synthCeil(clampTo(x1, w.x(), w.right()));
  const long t = vf_synthFloor(clampTo(y0, w.y(), w.bottom())), b = vf_synthCeil(clampTo(y1, w.y(), w.bottom()));
  const vcRectangle<long> region = vcRectangle<long>(l, t, r - l, b - t) & w;
  if (region.isEmpty()) return true;
  vc_SynthRaster raster(region, vcRectangle<long>(w.x() + 2, w.y() + 2, w.width() - 4, w.height() - 4));
  // An arc becomes at most five quarters of its circle.
  raster.plan(pts.size() + 5 * arcs.size(), smooth);
  if (!arcs.empty() && !raster.takesArcs()) return false;
  raster.addLoop(pts, arcs);
  raster.render(image, value, smooth, fill);
  return true;
}

void renderMapped(const std::vector<vcVector<2>>& pts, bool closed, vcPelBuffer<unsigned char>& image,
                  unsigned char value, bool smooth, bool fill) {
  vf_SynthBox box;
  for (const vcVector<2>& q : pts) box.add(q);
  renderChain(pts, {}, box, closed, image, value, smooth, fill);
}

}  // namespace

void vcSMDGeometricDescription::drawSynthetic(const vcXform<2>&, vcPelBuffer<unsigned char>&) const {}

void vcSMDGeometricDescription::drawSynthetic(const vcPtrHandle_const<vc2XformBase>& x,
                                              vcPelBuffer<unsigned char>& image) const {
  if (!x) throw vcBadPointer("drawSynthetic: null transform handle");
  drawSynthetic(x->linearXform(vcVector<2>(0, 0)), image);
}

void vcSMDGDPoly::drawSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image) const {
  P::drawSynthetic(*this, x, image, vcSMDColors::colorToGrayScale(colors().syntheticDefaultColor()), true, true);
}

void vcSMDGDPoly::drawSynthetic(const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image) const {
  P::drawSynthetic(*this, x, image, vcSMDColors::colorToGrayScale(colors().syntheticDefaultColor()), true, true);
}

void P::drawSynthetic(const vcSMDGDPoly& p, const vcXform<2>& x, vcPelBuffer<unsigned char>& image, unsigned char value,
                      bool smooth, bool fill) {
  if (fill && p.isOpen()) return;
  // Arcs are taken whole where the rendering allows, else followed by chords.
  thread_local std::vector<vc_SynthArc> arcs;
  arcs.clear();
  vf_SynthBox box;
  const std::vector<vcVector<2>>* pts = &linearOutline(p, x, image.window(), box, p.isClosed() ? &arcs : nullptr);
  if (renderChain(*pts, arcs, box, p.isClosed(), image, value, smooth, fill)) return;
  box = vf_SynthBox{};
  pts = &linearOutline(p, x, image.window(), box, nullptr);
  renderChain(*pts, {}, box, p.isClosed(), image, value, smooth, fill);
}

void P::drawSynthetic(const vcSMDGDPoly& p, const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image,
                      unsigned char value, bool smooth, bool fill) {
  if (!x) throw vcBadPointer("drawSynthetic: null transform handle");
  if (x->isLinear()) return drawSynthetic(p, x->linearXform(vcVector<2>(0, 0)), image, value, smooth, fill);
  if (fill && p.isOpen()) return;
  const vc2XformBase& map = *x;
  renderMapped(mappedOutline(p, [&](const vcVector<2>& q) { return map.mapPoint(q); }), p.isClosed(), image, value,
               smooth, fill);
}

void vfDrawSynthetic(const vcGenPoly& g, const vcXform<2>& x, vcPelBuffer<unsigned char>& image, unsigned char value) {
  if (g.isOpen()) throw vcShapesError::BadGeom("vfDrawSynthetic: the polygon is open");
  P::drawSynthetic(g.poly(), x * g.xform(), image, value, true, true);
}

void vfDrawSynthetic(const vcGenPoly& g, const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image,
                     unsigned char value) {
  if (!x) throw vcBadPointer("vfDrawSynthetic: null transform handle");
  if (x->isLinear()) return vfDrawSynthetic(g, x->linearXform(vcVector<2>(0, 0)), image, value);
  if (g.isOpen()) throw vcShapesError::BadGeom("vfDrawSynthetic: the polygon is open");
  const vc2XformBase& map = *x;
  const vcXform<2>& place = g.xform();
  renderMapped(mappedOutline(g.poly(), [&](const vcVector<2>& q) { return map.mapPoint(place * q); }), true, image,
               value, true, true);
}
