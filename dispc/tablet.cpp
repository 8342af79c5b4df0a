// The tablet model: construction and tree, per-layer scopes, maps and scale
// modes, visibility, and the permission check of the drawing path.
#include <vc/uitablet.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <vc/core/exception.h>
#include <vc/uierror.h>
#include <vc/uiscope.h>

#include "tablet_guards.h"

std::uint32_t vcUITablet::timeStamp_ = 0;
const vcPoint vcUITablet::drawPointArg_(1.234567e89, 9.876543e21);

namespace {
// The layers that are drawing targets, for loops over both.
constexpr vcUITablet::Layers kLayers[2] = {vcUITablet::eImage, vcUITablet::eOverlay};

vcUIRect scopeArea(const vcUIScope* s) {
  if (!s) return vcUIRect::null;
  return vcUIRect(s->org(), s->size());
}
}  // namespace

vcUITablet& vcUITablet::scratchPad() {
  static vcUITablet pad;
  return pad;
}

void vcUITablet::checkLayer(Layers layer) {
  if (layer != eImage && layer != eOverlay) throw vcUIError::BadLayer();
}

// ---- construction and the tree -------------------------------------------------

vcUITablet::vcUITablet() = default;

vcUITablet::vcUITablet(vcUIScope* image, vcUIScope* overlay)
    : drawOn_(true), recordOn_(false), drawOnOverlay_(true) {
  drawScope_[eImage] = ownScope_[eImage] = image;
  drawScope_[eOverlay] = ownScope_[eOverlay] = overlay;
  long w = 0, h = 0;
  for (vcUIScope* s : {image, overlay}) {
    if (!s) continue;
    const vcPair<long> sz = s->size();
    w = std::max(w, sz.x());
    h = std::max(h, sz.y());
  }
  scopeRect_ = vcUIRect(0, 0, w, h);
}

vcUITablet::vcUITablet(vcUITablet& parent, const vcUIRect& rect)
    : drawOn_(true), recordOn_(false), drawOnOverlay_(true) {
  for (Layers l : kLayers) {
    if (vcUIScope* ps = parent.ownScope_[l]) {
      drawScope_[l] = ownScope_[l] = ps->newChild(rect, false);
      owns_[l] = true;
    }
  }
  parent_ = &parent;
  position_ = parent.kids_.insert(parent.kids_.end(), this);
  scopeRect(rect);
}

void vcUITablet::copyValues_(const vcUITablet& o) {
  baseMap_ = o.baseMap_;
  scaleMode_ = o.scaleMode_;
  scaledMap_ = o.scaledMap_;
  scale_ = o.scale_;
  scopeRect_ = o.scopeRect_;
  dragDel_ = o.dragDel_;
  drawOn_ = o.drawOn_;
  recordOn_ = o.recordOn_;
  drawOnOverlay_ = o.drawOnOverlay_;
  updateLayers_ = o.updateLayers_;
  interpolation_ = o.interpolation_;
  sketch_ = o.sketch_;
  hideCount_ = o.hideCount_;
  drawnStamp_ = o.drawnStamp_;
  redrawnStamp_ = o.redrawnStamp_;
  clipRect_[eImage] = o.clipRect_[eImage];
  clipRect_[eOverlay] = o.clipRect_[eOverlay];
}

vcUITablet::vcUITablet(const vcUITablet& o) : vcUITabletTypes(o) {
  copyValues_(o);
  scopeOrg_ = o.scopeOrg_;
  if (!o.parent_) {
    // Scopes the original owns stay its own: sharing them would delete them twice.
    for (Layers l : kLayers)
      if (!o.owns_[l]) drawScope_[l] = ownScope_[l] = o.ownScope_[l];
    return;
  }
  // Fresh sub-scopes at the same rectangle of the same parent: scopeOrg holds.
  std::unique_ptr<vcUIScope> made[2];
  for (Layers l : kLayers)
    if (vcUIScope* ps = o.parent_->ownScope_[l]) made[l].reset(ps->newChild(scopeRect_, false));
  for (Layers l : kLayers) {
    owns_[l] = made[l] != nullptr;
    drawScope_[l] = ownScope_[l] = made[l].release();
  }
  parent_ = o.parent_;
  position_ = parent_->kids_.insert(parent_->kids_.end(), this);
}

vcUITablet& vcUITablet::operator=(const vcUITablet& o) {
  if (this == &o) return *this;
  copyValues_(o);
  // The own sub-scopes follow the new rectangle, and scopeOrg is recomputed from this tablet's parent.
  newScope(true);
  return *this;
}

vcUITablet::~vcUITablet() {
  hide_();
  if (parent_) parent_->kids_.erase(position_);
  for (auto it = kids_.begin(); it != kids_.end();) {
    vcUITablet* kid = *it++;
    kid->parent_ = nullptr;
    kid->parentScopesDeleted(eImage);
    kid->parentScopesDeleted(eOverlay);
  }
  for (Layers l : kLayers)
    if (owns_[l]) delete ownScope_[l];
}

vcUITablet* vcUITablet::nextSib() const noexcept {
  if (!parent_) return nullptr;
  auto next = std::next(position_);
  return next == parent_->kids_.end() ? nullptr : *next;
}

vcUITablet* vcUITablet::prevSib() const noexcept {
  if (!parent_ || position_ == parent_->kids_.begin()) return nullptr;
  return *std::prev(position_);
}

void vcUITablet::setParent(vcUITablet& newParent, const vcUIRect& rect) {
  // A tablet under itself would make the tree a cycle.
  for (const vcUITablet* t = &newParent; t; t = t->parent_)
    if (t == this) throw vcBadArgument("a tablet cannot become a kid of itself or of its own kids");
  hide_();
  vcUITablet* oldParent = parent_;
  if (parent_) parent_->kids_.erase(position_);
  for (Layers l : kLayers) {
    if (owns_[l]) delete ownScope_[l];
    owns_[l] = false;
    drawScope_[l] = ownScope_[l] = nullptr;
    if (vcUIScope* ps = newParent.ownScope_[l]) {
      drawScope_[l] = ownScope_[l] = ps->newChild(rect, false);
      owns_[l] = true;
    }
  }
  parent_ = &newParent;
  position_ = newParent.kids_.insert(newParent.kids_.end(), this);
  newParentTablet(oldParent);
  // Re-parenting a kid changes this list only by moving the kid back into it.
  const std::vector<vcUITablet*> kids(kids_.begin(), kids_.end());
  for (vcUITablet* kid : kids) kid->setParent(*this, kid->scopeRect_);
  // The same rectangle under another parent still moves the absolute origin.
  if (rect == scopeRect_) newScope(true);
  else scopeRect(rect);
  show_();
}

void vcUITablet::setScope(vcUIScope* image, vcUIScope* overlay, bool owns) {
  vcUITablet* root = this;
  while (root->parent_) root = root->parent_;
  vcUIScope* given[2] = {image, overlay};
  for (Layers l : kLayers) {
    // An owned scope given again stays: deleting it would leave the root on a dead scope.
    const bool oldGoes = root->owns_[l] && root->ownScope_[l] != given[l];
    if (oldGoes || !given[l])
      for (vcUITablet* kid : root->kids_) kid->parentScopesDeleted(l);
    if (oldGoes) delete root->ownScope_[l];
    root->ownScope_[l] = root->drawScope_[l] = given[l];
    root->owns_[l] = owns;
  }
  if (!image && !overlay) return;
  long w = 0, h = 0;
  for (vcUIScope* s : given) {
    if (!s) continue;
    const vcPair<long> sz = s->size();
    w = std::max(w, sz.x());
    h = std::max(h, sz.y());
  }
  const vcUIRect r(scopeRect_.left(), scopeRect_.top(), w, h);
  if (r == scopeRect_) root->newScope(true);
  else root->scopeRect(r);
}

void vcUITablet::setScope(Layers layer, vcUIScope* scope, bool owns) {
  checkLayer(layer);
  vcUITablet* root = this;
  while (root->parent_) root = root->parent_;
  vcUIScope* image = layer == eImage ? scope : root->ownScope_[eImage];
  vcUIScope* overlay = layer == eOverlay ? scope : root->ownScope_[eOverlay];
  // The other layer keeps its scope and its ownership.
  const Layers other = layer == eImage ? eOverlay : eImage;
  const bool otherOwned = root->owns_[other];
  root->owns_[other] = false;
  setScope(image, overlay, owns);
  root->owns_[other] = otherOwned;
}

void vcUITablet::parentDeleted() {
  parent_ = nullptr;
  parentScopesDeleted(eImage);
  parentScopesDeleted(eOverlay);
}

void vcUITablet::parentScopesDeleted(Layers layer) {
  for (vcUITablet* kid : kids_) kid->parentScopesDeleted(layer);
  if (owns_[layer]) delete ownScope_[layer];
  owns_[layer] = false;
  ownScope_[layer] = drawScope_[layer] = nullptr;
}

void vcUITablet::newScope(bool quiet) {
  if (!parent_) {
    for (vcUITablet* kid : kids_) kid->newScope(false);
    return;
  }
  vcUIRect before[2];
  if (!quiet)
    for (Layers l : kLayers) before[l] = currentScope(l);
  scopeOrg_ = parent_->scopeOrg_ + scopeRect_.ul();
  for (Layers l : kLayers) {
    vcUIScope* ps = parent_->ownScope_[l];
    if (!ps) continue;
    if (ownScope_[l]) {
      ownScope_[l]->move(*ps, scopeRect_);
    } else {
      ownScope_[l] = ps->newChild(scopeRect_, false);
      owns_[l] = true;
    }
    drawScope_[l] = ownScope_[l];
  }
  for (vcUITablet* kid : kids_) kid->newScope(false);
  if (!quiet && (currentScope(eImage) != before[eImage] || currentScope(eOverlay) != before[eOverlay])) clipped_();
}

// ---- geometry -----------------------------------------------------------------------

vcUITablet& vcUITablet::scopeRect(const vcUIRect& r) {
  if (r == scopeRect_) return *this;
  const bool moved = r.ul() != scopeRect_.ul();
  const bool resized = r.sz() != scopeRect_.sz();
  const bool hid = (r & scopeRect_) != scopeRect_;
  if (hid) hide_();
  scopeRect_ = r;
  newScope(true);
  if (moved) move_();
  if (resized) resize_();
  if (hid) show_();
  else redraw(eBoth);
  return *this;
}

vcUITablet& vcUITablet::moveAbs(const vcPair<long>& p) { return scopeRect(vcUIRect(p, scopeRect_.sz())); }
vcUITablet& vcUITablet::moveRel(const vcPair<long>& d) { return scopeRect(scopeRect_ + d); }
vcUITablet& vcUITablet::size(const vcPair<long>& s) { return scopeRect(vcUIRect(scopeRect_.ul(), s)); }

vcUIRect vcUITablet::activeScope(Layers layer) const {
  checkLayer(layer);
  return scopeArea(drawScope_[layer]);
}

vcUIRect vcUITablet::currentScope(Layers layer) const {
  checkLayer(layer);
  return scopeArea(ownScope_[layer]);
}

// ---- maps ------------------------------------------------------------------------------

void vcUITablet::setMap() {
  const double sx = scale_.x(), sy = scale_.y();
  switch (scaleMode_) {
    case eExpand:
      scaledMap_ = vcXform<2>::scale(sx, sy) * baseMap_;
      break;
    case eSample:
      scaledMap_ = (sx > 1 && sy > 1 ? vcXform<2>::scale(1 / sx, 1 / sy) : vcXform<2>::scale(sx, sy)) * baseMap_;
      break;
    default:
      scaledMap_ = baseMap_;
      break;
  }
  dragDel_ = vcPair<long>(0, 0);
}

void vcUITablet::newMap() {
  setMap();
  for (vcUITablet* kid : kids_) kid->parentMapChanged();
  redraw(eBoth);
}

vcUITablet& vcUITablet::baseMap(const vcXform<2>& m) {
  baseMap_ = m;
  newMap();
  return *this;
}

vcUITablet& vcUITablet::scaleMode(ScaleModes m) {
  scaleMode_ = m;
  newMap();
  return *this;
}

vcPair<long> vcUITablet::scale() const {
  // A zero, negative or non-finite factor has no whole form: it reports 0.
  auto whole = [](double f) {
    const double w = f >= 1 ? std::trunc(f) : std::trunc(1 / f);
    return f > 0 && std::isfinite(w) && w < 2147483648.0 ? static_cast<long>(w) : 0L;
  };
  return vcPair<long>(whole(scale_.x()), whole(scale_.y()));
}

vcUITablet& vcUITablet::scale(const vcPair<long>& s) {
  scale_ = vcPair<double>(static_cast<double>(s.x()), static_cast<double>(s.y()));
  newMap();
  return *this;
}

vcUITablet& vcUITablet::scaleExact(const vcPair<double>& s) {
  scale_ = s;
  if (std::fabs(1 - s.x()) <= 1e-6) scaleMode_ = eNoScale;
  else if (s.x() > 1) scaleMode_ = eExpand;
  else scaleMode_ = eSample;
  newMap();
  return *this;
}

void vcUITablet::interpolation(InterpolationModes m) {
  if (m == interpolation_) return;
  interpolation_ = m;
  fullDraw(eBoth);
}

vcPair<long> vcUITablet::scopeCoords(const vcPoint& p) const {
  const vcVector<2> q = scaledMap_.mapPoint(p);
  return vcPair<long>(vfScopePixel(q.x(), 0), vfScopePixel(q.y(), 0));
}

vcPoint vcUITablet::tabletCoords(const vcPair<long>& p) const {
  return scaledMap_.invMapPoint(vcVector<2>(static_cast<double>(p.x()), static_cast<double>(p.y())));
}

vcPoint vcUITablet::drawingPoint(Layers layer) const {
  checkLayer(layer);
  const vcUIScope* s = drawScope_[layer];
  if (!s) return vcPoint(0, 0);
  return scaledMap_.invMapPoint(s->drawPoint());
}

// ---- visibility and flags ----------------------------------------------------------------

bool vcUITablet::visible_(bool show) noexcept {
  if (!show) return hideCount_++ == 0;
  if (hideCount_ == 0) return false;
  return --hideCount_ == 0;
}

// Hiding takes the tablet off the screen but keeps its display list: the
// erase runs with recording off, so the sketch survives for the next show.
void vcUITablet::eraseScreen_() {
  recordOn_.push(false);
  try {
    erase(eBoth);
  } catch (...) {
    recordOn_.pop();
    throw;
  }
  recordOn_.pop();
}

void vcUITablet::hide_() {
  if (visible_(false)) eraseScreen_();
}

void vcUITablet::show_() {
  if (visible_(true)) fullDraw(eBoth);
}

bool vcUITablet::visible(bool show) {
  if (!visible_(show)) return false;
  if (show) fullDraw(eBoth);
  else eraseScreen_();
  return true;
}

bool vcUITablet::opaque(Layers layer) const { return ownScope_[layer] && ownScope_[layer]->opaque(); }

void vcUITablet::opaque(Layers layer, bool on) {
  if (ownScope_[layer]) ownScope_[layer]->opaque(on);
}

bool vcUITablet::modified(Layers layer) const {
  if (!ownScope_[layer]) return false;
  if (ownScope_[layer]->modified()) return true;
  return std::any_of(kids_.begin(), kids_.end(), [layer](const vcUITablet* k) { return k->modified(layer); });
}

void vcUITablet::modified(Layers layer, bool on) {
  if (drawScope_[layer]) drawScope_[layer]->modified(on);
}

vcUITablet::Layers vcUITablet::updateLayers(Layers l) noexcept {
  const Layers old = updateLayers_;
  updateLayers_ = l;
  return old;
}

bool vcUITablet::anyChanged(Layers layer) const { return ownScope_[layer] && ownScope_[layer]->anyChanged(); }

void vcUITablet::clearAnyChanged(Layers layer) {
  if (ownScope_[layer]) ownScope_[layer]->clearAnyChanged();
}

// ---- the drawing path ----------------------------------------------------------------------

void vcUITablet::stampDrawn_() noexcept {
  if (!updating_ && drawnStamp_ != timeStamp_) drawnStamp_ = ++timeStamp_;
}

bool vcUITablet::okToDrawScope_(Layers layer) {
  if (!(layer == eImage || (layer == eOverlay && drawOnOverlay_))) return false;
  const vcUIScope* s = drawScope_[layer];
  if (!s) return false;
  if (s->isNull() && !s->clientChangeEnable()) return false;
  stampDrawn_();
  return true;
}

const vcPoint& vcUITablet::mapPoint(const vcPoint& p, Layers layer, vcPoint& scratch) const {
  checkLayer(layer);
  const vcUIScope* s = drawScope_[layer];
  if (s && (&p == &drawPointArg_ || (p.x() == drawPointArg_.x() && p.y() == drawPointArg_.y())))
    return s->drawPoint();
  scratch = scaledMap_.mapPoint(p);
  // A far client point under a large scale leaves the doubles.
  vfCheckPosition(scratch, "position mapped to scope coordinates");
  return scratch;
}

void vfFailPosition(const vcPoint& p, const char* what) {
  throw vcUIError::BadParams(std::string("vcUITablet: ") + what + " (" + std::to_string(p.x()) + ", " +
                             std::to_string(p.y()) + ") is not finite");
}

void vfCheckRect(const vcRect& r) {
  vfCheckPosition(vcPoint(r.origin()), "rectangle origin");
  vfCheckPosition(vcPoint(r.size()), "rectangle size");
}

float vcUITablet::arrowArmLength(const vcGraphicProps& props) const {
  const double s = scaleMode_ == eSample ? scale_.x() : 1.0;
  return static_cast<float>(1.5 * static_cast<double>(props.penWidth()) + 6.0 * s);
}
