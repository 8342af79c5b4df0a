#include <vc/uiscope.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <vc/core/exception.h>

#include "damage.h"

long vfScopePixel(double v, long o) {
  const double f = std::floor(v * (1.0 + std::copysign(1e-11, v)));
  // Coordinates beyond 32 bits cannot name a pixel; clamp rather than overflow.
  const double lo = static_cast<double>(INT32_MIN), hi = static_cast<double>(INT32_MAX);
  const double c = std::isnan(f) ? 0.0 : std::clamp(f, lo, hi);
  return static_cast<long>(static_cast<std::int32_t>(c)) - o;
}

vcUIScope::vcUIScope(const vcPair<long>& org) : org_(org), rootState_(this) {}

vcUIScope::vcUIScope(const vcUIScope& o)
    : org_(o.org_),
      flags_(o.flags_),
      changeRect_(o.changeRect_),
      changeList_(o.changeList_),
      changeListLimit_(o.changeListLimit_),
      clientChangedRect_(o.clientChangedRect_),
      drawPoint_(o.drawPoint_),
      drawX_(o.drawX_),
      drawY_(o.drawY_),
      rootState_(this),
      anyChanged_(o.anyChanged_),
      displayClipRect_(o.displayClipRect_) {}

vcUIScope& vcUIScope::operator=(const vcUIScope& o) {
  if (this == &o) return *this;
  org_ = o.org_;
  flags_ = o.flags_;
  changeRect_ = o.changeRect_;
  changeList_ = o.changeList_;
  changeListLimit_ = o.changeListLimit_;
  clientChangedRect_ = o.clientChangedRect_;
  drawPoint_ = o.drawPoint_;
  drawX_ = o.drawX_;
  drawY_ = o.drawY_;
  displayClipRect_ = o.displayClipRect_;
  return *this;
}

vcUIScope::~vcUIScope() {
  detachFromParent();
  for (vcUIScope* child : children_) child->parent_ = nullptr;
  if (rootState_ == this)
    for (vcUIScope* child : children_) child->rootDeleted();
}

void vcUIScope::detachFromParent() noexcept {
  if (!parent_) return;
  parent_->children_.remove(this);
  parent_ = nullptr;
}

void vcUIScope::rootDeleted() noexcept {
  rootState_ = nullptr;
  for (vcUIScope* child : children_) child->rootDeleted();
}

void vcUIScope::move(const vcUIScope& parent, const vcUIRect& rect) {
  const vcPair<long> d(rect.left() - parent.org_.x(), rect.top() - parent.org_.y());
  org_ = vcPair<long>(std::max(-d.x(), 0L), std::max(-d.y(), 0L));
  detachFromParent();
  vcUIScope& p = const_cast<vcUIScope&>(parent);
  parent_ = &p;
  p.children_.push_back(this);
  rootState_ = p.rootState_;
  attached(parent, vcUIRect(d.x(), d.y(), rect.width(), rect.height()));
  allChanged(false);
  changeRect_ = vcUIRect::null;
  changeList_.clear();
}

void vcUIScope::subset(const vcUIScope& parent, const vcUIRect& rect) {
  move(parent, rect);
  org_ = vcPair<long>(std::max(rect.left(), parent.org_.x()), std::max(rect.top(), parent.org_.y()));
}

// Handed its own pen point, the pen keeps its pixel: after whole-pixel moves
// the double can sit a hair off the integer and would round elsewhere.
void vcUIScope::drawStart(const vcPoint& p) {
  const long x = xCoord(p), y = yCoord(p);
  drawPoint_ = p;
  drawX_ = x;
  drawY_ = y;
}

void vcUIScope::moveToRel(long dx, long dy) {
  drawX_ += dx;
  drawY_ += dy;
  drawPoint_ = vcPoint(drawPoint_.x() + static_cast<double>(dx), drawPoint_.y() + static_cast<double>(dy));
}

long vcUIScope::xCoord(const vcPoint& p) const { return &p == &drawPoint_ ? drawX_ : vfScopePixel(p.x(), org_.x()); }
long vcUIScope::yCoord(const vcPoint& p) const { return &p == &drawPoint_ ? drawY_ : vfScopePixel(p.y(), org_.y()); }

void vcUIScope::setDisplayClipRect(const vcUIRect& r) {
  displayClipRect_ = r;
  newDisplayClipRect(displayClipRect_);
}

void vcUIScope::change(vcUIRect r, bool opaqueHint) {
  if (clientChangeEnable()) clientChangedRect_ |= r;
  const vcPair<long> sz = size();
  r &= vcUIRect(0, 0, sz.x(), sz.y());
  if (r.isNull()) return;
  if (opaqueHint && r.width() == sz.x() && r.height() == sz.y()) opaque(true);
  if (changeListLimit_ > 0) vf_AddDamage(changeList_, r + org_, static_cast<std::size_t>(changeListLimit_));
  changeRect_ |= r;
  allChanged(changeRect_.width() == sz.x() && changeRect_.height() == sz.y());
  if (rootState_) rootState_->anyChanged_ = true;
}

void vcUIScope::allChange() {
  allChanged(true);
  if (isNull()) {
    changeRect_ = vcUIRect::null;
  } else {
    const vcPair<long> sz = size();
    changeRect_ = vcUIRect(0, 0, sz.x(), sz.y());
  }
  changeList_.clear();
  if (changeListLimit_ > 0 && !changeRect_.isNull()) changeList_.push_back(changeRect());
  clientChangedRect_ = vcUIRect::inf;
  if (rootState_) rootState_->anyChanged_ = true;
}

void vcUIScope::noChange() noexcept {
  allChanged(false);
  changeRect_ = vcUIRect::null;
  changeList_.clear();
}

void vcUIScope::changeListLimit(long maxRects) {
  if (maxRects < 0) throw vcBadArgument("vcUIScope::changeListLimit: a negative limit");
  if (maxRects == changeListLimit_) return;
  changeListLimit_ = maxRects;
  changeList_.clear();
  if (maxRects > 0 && !changeRect_.isNull()) changeList_.push_back(changeRect());
}

bool vcUIScope::anyChanged() const noexcept { return rootState_ && rootState_->anyChanged_; }

void vcUIScope::clearAnyChanged() noexcept {
  if (rootState_) rootState_->anyChanged_ = false;
}

void vcUIScope::clientChangeEnable(bool on) noexcept {
  if (on) clientChangedRect_ = vcUIRect::null;
  setFlag(kClientChangeEnable, on);
}

vcUIRect vcUIScope::clientChangedRect(bool keepTracking) {
  if (!keepTracking) clientChangeEnable(false);
  return clientChangedRect_ + org_;
}
