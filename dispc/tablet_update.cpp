// Change records, redraw and update of stacked tablets, the stacking order,
// the scope switches a tablet forwards, and icon patterns for hit testing.
//
// Update order rests on stamps taken from the process-wide timeStamp_: a
// tablet's drawnStamp says when it last began drawing, its redrawnStamp when
// it was last repainted. A tablet stacked over a changed area is repainted
// only when the change is at least as new as its own last repaint.
#include <vc/uitablet.h>

#include <cstring>
#include <memory>
#include <string_view>

#include <vc/core/exception.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/uierror.h>
#include <vc/uiscope.h>
#include "tablet_guards.h"

const char* vcUITablet::pointIconData_ =
    "/.....+0+...../.....+0+...../.....+0+...../...+00000+.../...0++0++0.../+++0++0++0+++/0000000000000/"
    "+++0++0++0+++/...0++0++0.../...+00000+.../.....+0+...../.....+0+...../.....+0+...../";

namespace {

constexpr vcUITablet::Layers kLayers[2] = {vcUITablet::eImage, vcUITablet::eOverlay};

// body with the screen updates of layer locked around it.
template <class Body>
void withScreenLocked(vcUITablet& t, vcUITablet::Layers layer, Body&& body) {
  t.lockScreenUpdatesPush(true, layer);
  runThen(body, [&] { t.lockScreenUpdatesPop(layer); });
}

// The layers a lock operation acts on: both for eBoth, one otherwise.
struct LockLayers {
  vcUITablet::Layers first, last;
};

LockLayers lockLayers(vcUITablet::Layers layer) {
  if (layer == vcUITablet::eBoth) return {vcUITablet::eImage, vcUITablet::eOverlay};
  if (layer != vcUITablet::eImage && layer != vcUITablet::eOverlay) throw vcUIError::BadLayer();
  return {layer, layer};
}

bool isBackground(char c) { return c == ' ' || c == '.' || c == '+'; }

}  // namespace

// ---- change records -------------------------------------------------------------

bool vcUITablet::recordChanges() const {
  for (Layers l : kLayers)
    if (drawScope_[l] && drawScope_[l]->clientChangeEnable()) return true;
  return false;
}

void vcUITablet::recordChanges(bool on) {
  for (Layers l : kLayers)
    if (drawScope_[l]) drawScope_[l]->clientChangeEnable(on);
}

void vcUITablet::changeListLimit(long maxRects, Layers layer) {
  const LockLayers ls = lockLayers(layer);
  if (maxRects < 0) throw vcBadArgument("vcUITablet::changeListLimit: a negative limit");
  for (Layers l : kLayers)
    if (l >= ls.first && l <= ls.last && ownScope_[l]) ownScope_[l]->changeListLimit(maxRects);
}

void vcUITablet::getChanges(vcUIRect* changes, bool keepTracking) {
  if (!changes) throw vcBadPointer("vcUITablet::getChanges needs an array of two rectangles");
  for (Layers l : kLayers) changes[l] = drawScope_[l] ? drawScope_[l]->clientChangedRect(keepTracking) : vcUIRect::null;
}

// ---- redraw ------------------------------------------------------------------------

void vcUITablet::redraw(Layers layer) {
  if (hideCount_ != 0 || !drawOn_) return;
  recordOn_.push(false);
  runThen(
      [&] {
        withScreenLocked(*this, layer, [&] {
          const Layers old = updateLayers(layer);
          runThen([&] { redraw_(); }, [&] { updateLayers(old); });
        });
      },
      [&] { recordOn_.pop(); });
  if (!updating_ && redrawnStamp_ != timeStamp_) redrawnStamp_ = ++timeStamp_;
}

void vcUITablet::fullDraw(Layers layer) {
  withScreenLocked(*this, layer, [&] {
    redraw(layer);
    for (vcUITablet* kid : kids_) kid->fullDraw(layer);
  });
}

// ---- update -------------------------------------------------------------------------

void vcUITablet::update(const vcUIRect& r, Layers layer, bool thisOnly) {
  checkLayer(layer);
  vcUIScope* const own = ownScope_[layer];
  if (!own) return;
  lockScreenUpdatesPush(true, layer);
  // An update may run inside another one's redraw; put back what was in force.
  vcUIScope* const previous = drawScope_[layer];
  const bool wasUpdating = updating_;
  updating_ = true;
  std::unique_ptr<vcUIScope> clip;
  runThen(
      [&] {
        const vcUIRect local = r - scopeOrg_;
        clip.reset(own->newChild(local, true));
        drawScope_[layer] = clip.get();
        if (!okToDraw(layer)) return;
        if (thisOnly) {
          redraw(layer);
          own->change(clip->changeRect() - own->org(), clip->opaque());
          drawnStamp_ = ++timeStamp_;
        } else {
          clip->allChange();
          redraw(layer);
          // What this tablet drew inside r is repainted now: nothing left to pass on.
          if (local.within(own->changeRect())) own->noChange();
          for (vcUITablet* kid : kids_) kid->update(r, layer, false);
        }
      },
      [&] {
        drawScope_[layer] = previous;
        clip.reset();
        updating_ = wasUpdating;
        lockScreenUpdatesPop(layer);
      });
}

void vcUITablet::update(Layers layer) {
  checkLayer(layer);
  vcUIScope* const own = ownScope_[layer];
  if (!own || hideCount_ != 0) return;
  withScreenLocked(*this, layer, [&] {
    if (own->someChanged()) {
      // Repaint what lies above each changed rectangle, or above their box
      // when the scope keeps no list.
      std::vector<vcUIRect> changed = own->changeList();
      if (changed.empty()) changed.push_back(own->changeRect());
      for (vcUIRect& r : changed) r += scopeOrg_;
      std::uint32_t since = drawnStamp_;
      auto cover = [&](vcUITablet* t) {
        if (since < t->redrawnStamp_) return;
        for (const vcUIRect& r : changed) t->update(r, layer, false);
        since = timeStamp_;
      };
      for (vcUITablet* kid : kids_) cover(kid);
      for (vcUITablet* t = this; t->parent_; t = t->parent_)
        for (vcUITablet* above = t->nextSib(); above; above = above->nextSib()) cover(above);
      own->noChange();
    }
    for (vcUITablet* kid : kids_) kid->update(layer);
  });
}

// ---- stacking order ----------------------------------------------------------------

void vcUITablet::front() {
  if (!parent_ || !nextSib()) return;
  std::list<vcUITablet*>& sibs = parent_->kids_;
  auto it = std::next(position_);
  sibs.splice(sibs.end(), sibs, position_);
  // Repaint where the tablets that covered this one overlapped it, then
  // itself (now last) if nothing covered it whole. A hidden tablet repaints
  // nothing but still reports the overlaps and takes its stamps, so that the
  // next update orders it above the siblings it passed.
  const vcUIRect mine = absRect();
  for (;; ++it) {
    vcUITablet* sib = *it;
    const vcUIRect a = sib->absRect() & mine;
    if (sib->visible() && !a.isNull()) {
      for (Layers l : kLayers) {
        if (!ownScope_[l]) continue;
        update(a, l, true);
        ownScope_[l]->change(a - scopeOrg_ - ownScope_[l]->org(), false);
        drawnStamp_ = ++timeStamp_;
      }
      if (a == mine) return;
    }
    if (sib == this) return;
  }
}

void vcUITablet::back() {
  if (!parent_ || !prevSib()) return;
  parent_->kids_.splice(parent_->kids_.begin(), parent_->kids_, position_);
  // The tablets now above must paint over all of this one at the next update.
  for (Layers l : kLayers)
    if (ownScope_[l]) ownScope_[l]->allChange();
  drawnStamp_ = ++timeStamp_;
}

// ---- forwarded scope switches --------------------------------------------------------

void vcUITablet::lockScreenUpdatesPush(bool lock, Layers layer) {
  const LockLayers ls = lockLayers(layer);
  for (int l = ls.first; l <= ls.last; ++l)
    if (drawScope_[l]) drawScope_[l]->lockScreenUpdatesPush(lock);
}

void vcUITablet::lockScreenUpdatesPop(Layers layer) {
  const LockLayers ls = lockLayers(layer);
  for (int l = ls.first; l <= ls.last; ++l)
    if (drawScope_[l]) drawScope_[l]->lockScreenUpdatesPop();
}

bool vcUITablet::screenUpdatesLocked(Layers layer) const {
  checkLayer(layer);
  const vcUIScope* s = drawScope_[layer];
  return s && !s->isNull() && s->screenUpdatesLocked();
}

void vcUITablet::optimizeDrawing(bool on, Layers layer) {
  checkLayer(layer);
  if (drawScope_[layer]) drawScope_[layer]->optimizeDrawing(on);
}

void vcUITablet::dragStart(Layers layer) {
  checkLayer(layer);
  vcUIScope* s = drawScope_[layer];
  if (s && !s->isNull()) s->dragStart();
}

void vcUITablet::dragStop(Layers layer) {
  checkLayer(layer);
  vcUIScope* s = drawScope_[layer];
  if (s && !s->isNull()) s->dragStop();
}

void vcUITablet::dragErase(Layers layer) {
  checkLayer(layer);
  vcUIScope* s = drawScope_[layer];
  if (s && !s->isNull()) s->dragErase();
}

void vcUITablet::dragAnimate(bool on, Layers layer) {
  checkLayer(layer);
  vcUIScope* s = drawScope_[layer];
  if (s && !s->isNull()) s->dragAnimate(on);
}

void vcUITablet::dragDel(const vcPair<long>& d) {
  setMap();
  scaledMap_.trans(scaledMap_.trans() + vcVector<2>(static_cast<double>(d.x()), static_cast<double>(d.y())));
  dragDel_ = d;
}

// ---- icons -------------------------------------------------------------------------------

vcRLEBuffer vcUITablet::makeIcon(const char* pattern, const std::vector<unsigned char>& colors) {
  if (!pattern || !*pattern) throw vcUIError::BadIconPattern();
  const char sep = pattern[0];
  std::vector<std::string_view> rows;
  for (const char* p = pattern + 1; *p;) {
    const char* end = p;
    while (*end && *end != sep) ++end;
    rows.emplace_back(p, static_cast<std::size_t>(end - p));
    p = *end ? end + 1 : end;
  }
  // An icon has at least one pixel, and every row the same number of cells.
  if (rows.empty() || rows.front().empty()) throw vcUIError::BadIconPattern();
  const std::size_t width = rows.front().size();
  vcPelBuffer<unsigned char> pels(static_cast<long>(width), static_cast<long>(rows.size()));
  long y = 0;
  for (std::string_view row : rows) {
    if (row.size() != width) throw vcUIError::BadIconPattern();
    unsigned char* pel = pels.pointToPel(0, y++);
    for (char c : row) {
      if (c >= '0' && c <= '9') {
        const auto d = static_cast<unsigned char>(c - '0');
        *pel++ = d < colors.size() ? colors[d] : d;
      } else if (isBackground(c)) {
        *pel++ = vcColor::passColor().index();
      } else {
        throw vcUIError::BadIconPattern();
      }
    }
  }
  return vcRLEBuffer::encode(pels);
}

bool vcUITablet::iconTouched(const char* pattern, const vcPair<long>& p, long stride) {
  if (!pattern || !*pattern) return false;
  const char* cells = pattern + 1;
  const auto n = static_cast<long>(std::strlen(cells));
  if (stride == -1) {
    const char* end = cells;
    while (*end && *end != pattern[0]) ++end;
    stride = static_cast<long>(end - cells) + 1;
  }
  // Written so that no operand can overflow: stride - 2 >= -1 once stride >= 1.
  if (stride < 1 || p.x() < 0 || p.x() > stride - 2 || p.y() < 0) return false;
  if (p.y() > n / stride) return false;
  const long index = p.y() * stride + p.x();
  if (index >= n) return false;
  return cells[index] != ' ' && cells[index] != '.';
}

bool vcUITablet::pointIconTouched(const vcPair<long>& d) {
  if (d.x() < -6 || d.x() > 6 || d.y() < -6 || d.y() > 6) return false;
  return iconTouched(pointIconData_, vcPair<long>(d.x() + 6, d.y() + 6), 14);
}
