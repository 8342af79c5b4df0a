// The tablet's area operations: setting rectangles, the whole layer or its
// complement to a color, flood fills, flat and bevelled frames, erasing,
// the display clip rectangle and text extents.
#include <vc/uitablet.h>

#include <algorithm>
#include <cstdint>

#include <vc/core/mathutil.h>
#include <vc/uierror.h>
#include <vc/uiscope.h>

#include "payloads.h"
#include "shape_payloads.h"
#include "tablet_guards.h"
#include "tablet_record.h"

namespace {

vc_AreaRect areaOf(const vcUIRect& r) {
  vc_AreaRect a;
  a.kind = 1;
  a.ui = r;
  return a;
}

vc_AreaRect areaOf(const vcRect& r) {
  vc_AreaRect a;
  a.kind = 0;
  a.rect = r;
  return a;
}

// A clip rectangle that drawClipRect stored; the default (null) one was never set.
bool clipRectSet(const vcRect& r) {
  const vcRect unset;
  const bool isUnset =
      r.x() == unset.x() && r.y() == unset.y() && r.width() == unset.width() && r.height() == unset.height();
  return !isUnset && (r.width() != 0 || r.height() != 0);
}

// The scope pixels a client rectangle covers: from its origin's pixel to the
// pixel of its opposite corner.
vcUIRect scopeRectOf(const vcUITablet& t, const vcRect& r) {
  const vcPair<long> p = t.scopeCoords(vcPoint(r.origin()));
  const vcPair<long> q = t.scopeCoords(vcPoint(r.origin() + r.size()));
  return vcUIRect(p.x(), p.y(), q.x() - p.x(), q.y() - p.y());
}

// The rings of a bevelled frame: `total` are drawn (up to width, while both
// sides stay at least two pixels long), of which only those from `first` up
// to `end` can touch the scope's area; the ones before enclose it, the ones
// after lie beside it. Ring i is the outline of r shrunk by i on every side.
struct RingSpan {
  long first = 0, end = 0, total = 0;
};

RingSpan visibleRings(const vcUIRect& r, long width, const vcUIRect& area) {
  const auto fitting = [](long side) { return side >= 2 ? (side - 2) / 2 + 1 : 0L; };
  RingSpan k;
  k.total = std::max(0L, std::min({width, fitting(r.width()), fitting(r.height())}));
  const long l = r.left(), t = r.top(), rr = r.left() + r.width(), bb = r.top() + r.height();
  const long al = area.left(), at = area.top(), ar = area.left() + area.width(), ab = area.top() + area.height();
  // Ring i encloses the area while all its edges lie outside it, and has
  // left it once its box no longer meets the area.
  k.first = std::clamp(std::min({al - l, at - t, rr - ar, bb - ab}), 0L, k.total);
  k.end = std::clamp(std::min({ar - l, ab - t, rr - al, bb - at}), k.first, k.total);
  return k;
}

}  // namespace

// ---- set -----------------------------------------------------------------------------

void vcUITablet::set(const vcUIRect& r, const vcColor& color, Layers layer) {
  checkRecordable_<16>(areaOf(r));
  if (okToDraw(layer)) drawScope_[layer]->set(r, color);
  record_<16>(layer, vfPropsOf(color), areaOf(r));
}

void vcUITablet::set(const vcRect& r, const vcColor& color, Layers layer) {
  vfCheckRect(r);
  if (okToDraw(layer)) drawScope_[layer]->set(scopeRectOf(*this, r), color);
  record_<16>(layer, vfPropsOf(color), areaOf(r));
}

void vcUITablet::set(const vcColor& color, Layers layer) {
  if (okToDraw(layer)) drawScope_[layer]->set(color);
  if (!recording()) return;
  // The layer is covered now: what the sketch held is gone, except the clip
  // rectangle, which must come first in the new sketch to clip its replay.
  sketch_.erase();
  if ((layer == eImage || layer == eOverlay) && clipRectSet(clipRect_[layer]))
    drawClipRect(vcRect(clipRect_[layer]), layer);
  record_<17>(layer, vfPropsOf(color), vc_EmptyPayload{});
}

// ---- setComplement ---------------------------------------------------------------------

void vcUITablet::setComplement(const vcUIRect& r, const vcColor& color, Layers layer) {
  checkRecordable_<18>(areaOf(r));
  if (okToDraw(layer)) {
    vcUIScope* s = drawScope_[layer];
    const long W = scopeRect_.width(), H = scopeRect_.height();
    const long l = r.left(), t = r.top(), w = r.width(), h = r.height();
    const vc_ScreenLock lock(s);
    // Four bands that tile the area around r like a pinwheel.
    s->set(vcUIRect(0, 0, l + w, t), color);
    s->set(vcUIRect(l + w, 0, W - (l + w), t + h), color);
    s->set(vcUIRect(l, t + h, W - l, H - (t + h)), color);
    s->set(vcUIRect(0, t, l, H - t), color);
  }
  record_<18>(layer, vfPropsOf(color), areaOf(r));
}

void vcUITablet::setComplement(const vcRect& r, const vcColor& color, Layers layer) {
  vfCheckRect(r);
  {
    const vc_RecordingOff off(recordOn_);
    setComplement(scopeRectOf(*this, r), color, layer);
  }
  record_<18>(layer, vfPropsOf(color), areaOf(r));
}

// ---- fill --------------------------------------------------------------------------------

void vcUITablet::fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type,
                      Layers layer) {
  const vc_FillPayload payload{1, seed.x(), seed.y(), vcVector<2>(), color2, type};
  checkRecordable_<19>(payload);
  if (okToDraw(layer)) drawScope_[layer]->fill(seed, color, color2, type);
  record_<19>(layer, vfPropsOf(color), payload);
}

void vcUITablet::fill(const vcPoint& seed, const vcColor& color, const vcColor& color2, FillType type,
                      Layers layer) {
  vfCheckPosition(seed, "fill seed");
  if (okToDraw(layer)) drawScope_[layer]->fill(scopeCoords(seed), color, color2, type);
  record_<19>(layer, vfPropsOf(color), vc_FillPayload{0, 0, 0, seed, color2, type});
}

// ---- frames --------------------------------------------------------------------------------

void vcUITablet::outline3D(const vcUIRect& r, const vcColor& c1, const vcColor& c2, long width, Layers layer) {
  const vc_Outline3dPayload payload{areaOf(r), c1, c2, width};
  checkRecordable_<25>(payload);
  if (okToDraw(layer)) {
    vcUIScope* s = drawScope_[layer];
    const vcGraphicProps p1(c1, 1, vcGraphicProps::ePenSolid, false);
    const vcGraphicProps p2(c2, 1, vcGraphicProps::ePenSolid, false);
    s->drawStart(vcPoint(static_cast<double>(r.left()), static_cast<double>(r.top())));
    const vc_ScreenLock lock(s);
    // One-pixel rings, each inside the last: top and left edges in c1, right
    // and bottom edges in c2. Rings that cannot show are passed over by
    // moving the pen, so that a frame far wider than the scope costs no more
    // than one that fits.
    const RingSpan rings = visibleRings(r, width, vcUIRect(s->org(), s->size()));
    if (rings.first > 0) s->moveToRel(rings.first, rings.first);
    long a = r.width() - 1 - 2 * rings.first, b = r.height() - 1 - 2 * rings.first;
    for (long ring = rings.first; ring < rings.end; ++ring) {
      s->drawToRelPels(a, 0, p1);
      s->drawToRelPels(0, b, p2);
      s->drawToRelPels(-a, 0, p2);
      s->drawToRelPels(0, -b, p1);
      s->moveToRel(1, 1);
      a -= 2;
      b -= 2;
    }
    if (rings.total > rings.end) s->moveToRel(rings.total - rings.end, rings.total - rings.end);
  }
  record_<25>(layer, vfPropsOf(c1), payload);
}

void vcUITablet::outline3D(const vcRect& r, const vcColor& c1, const vcColor& c2, long width, Layers layer) {
  vfCheckRect(r);
  const vc_Outline3dPayload payload{areaOf(r), c1, c2, width};
  checkRecordable_<25>(payload);
  {
    const vc_RecordingOff off(recordOn_);
    outline3D(scopeRectOf(*this, r), c1, c2, width, layer);
  }
  record_<25>(layer, vfPropsOf(c1), payload);
}

void vcUITablet::outline(const vcUIRect& r, const vcColor& color, long width, Layers layer) {
  outline3D(r, color, color, width, layer);
}

void vcUITablet::outline(const vcRect& r, const vcColor& color, long width, Layers layer) {
  outline3D(r, color, color, width, layer);
}

// ---- erase -----------------------------------------------------------------------------------

void vcUITablet::erase(const vcUIRect& r, Layers layer) {
  const vc_ScreenLock lockImage(drawScope_[eImage]);
  const vc_ScreenLock lockOverlay(drawScope_[eOverlay]);
  // Hidden meanwhile, so that the repaint beneath does not draw this tablet.
  ++hideCount_;
  struct Show {
    std::uint32_t& count;
    ~Show() { --count; }
  } show{hideCount_};

  const vcUIRect whole(0, 0, scopeRect_.width(), scopeRect_.height());
  for (Layers l : {eImage, eOverlay}) {
    if (!shouldUpdate(l, layer) || !modified(l)) continue;
    vcUITablet* under = parent_;
    while (under && !under->opaque(l)) under = under->parent_;
    if (under) under->update(r + scopeOrg_, l, true);
    if (r == whole && ownScope_[l]) ownScope_[l]->modified(false);
  }
}

void vcUITablet::erase(Layers layer) {
  erase(vcUIRect(0, 0, scopeRect_.width(), scopeRect_.height()), layer);
  if (recording()) sketch_.erase();
}

// ---- the display clip rectangle -----------------------------------------------------------------

void vcUITablet::drawClipRect(const vcRect& r, Layers layer) {
  if (layer < eImage || layer > eBoth) throw vcUIError::BadLayer();
  vfCheckRect(r);
  for (Layers l : {eImage, eOverlay})
    if (shouldUpdate(l, layer)) clipRect_[l] = r;
  record_<47>(layer, vcGraphicProps(), vfPayloadOf(r));

  vcUIRect clip;
  bool mapped = false;
  for (Layers l : {eImage, eOverlay}) {
    if (!shouldUpdate(l, layer) || !okToDraw(l)) continue;
    if (!mapped) {
      const vcVector<2> o = r.origin();
      const vcVector<2> corners[4] = {scaledMap_.mapPoint(o), scaledMap_.mapPoint(o + vcVector<2>(r.width(), 0)),
                                      scaledMap_.mapPoint(o + r.size()),
                                      scaledMap_.mapPoint(o + vcVector<2>(0, r.height()))};
      double x0 = corners[0].x(), x1 = x0, y0 = corners[0].y(), y1 = y0;
      for (const vcVector<2>& c : corners) {
        x0 = std::min(x0, c.x());
        x1 = std::max(x1, c.x());
        y0 = std::min(y0, c.y());
        y1 = std::max(y1, c.y());
      }
      const long left = vfIFloor(x0), top = vfIFloor(y0);
      clip = vcUIRect(left, top, vfICeil(x1) - left, vfICeil(y1) - top);
      mapped = true;
    }
    drawScope_[l]->setDisplayClipRect(clip);
  }
}

// ---- text extents -------------------------------------------------------------------------------

vcUIRect vcUITablet::textRect(const std::string& text, const vcPoint& p, const vcUIFormat& format, vcUIRect& rect,
                              Layers layer) {
  checkLayer(layer);
  vcUIScope* s = drawScope_[layer];
  if (!s) return vcUIRect::null;
  vcPoint scratch;
  return s->textRect(text, mapPoint(p, layer, scratch), format, rect);
}
