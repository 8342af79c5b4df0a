// Groups, texts, crosses, point icons and ellipse annulus sections.
#include <vc/graphic_special.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_set>

#include <vc/core/archive.h>
#include <vc/uitablet.h>

namespace {

// A text's offset is drawn as a pen move of its whole pixels, and its font
// id goes with the text; each sits in a 4-byte field of its sketch record,
// so a value the field cannot hold would replay as another drawing.
bool fitsRecord(double v) {
  const double w = std::trunc(v);
  return w >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
         w <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
}
bool fitsRecord(long v) {
  return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

// Why a text with this offset and format cannot be drawn as recorded; empty when it can.
std::string textFault(const vcVector<2>& offset, const vcUIFormat& format) {
  if (!fitsRecord(offset.x()) || !fitsRecord(offset.y()))
    return "vcGraphicText: offset (" + std::to_string(offset.x()) + ", " + std::to_string(offset.y()) +
           ") is not a 32-bit pixel count";
  if (!fitsRecord(format.fontId())) return "vcGraphicText: font id " + std::to_string(format.fontId()) + " exceeds 32 bits";
  return {};
}

void requireDrawable(const vcVector<2>& offset, const vcUIFormat& format) {
  if (const std::string why = textFault(offset, format); !why.empty()) throw vcGraphic::BadParams(why);
}

constexpr const char* kHoldsItself = "vcGraphicGroup: a group cannot hold itself, directly or through a nested group";

// True when items hold group, directly or through nested groups: a group
// that holds itself cannot be drawn, measured, mapped, cloned or archived,
// since every walk over its items would never end. The walk keeps its own
// stack and visits each shared group once, so deep or wide nests cost no
// more than their size.

template <class Handle>
bool holdsGroup(const vcGraphicGroup& group, const std::vector<Handle>& items) {
  std::vector<const vcGraphic*> todo;
  for (const Handle& h : items)
    if (h) todo.push_back(h.ptr());
  std::unordered_set<const vcGraphic*> seen;
  std::vector<vcPtrHandle_const<vcGraphic>> nested;
  while (!todo.empty()) {
    const vcGraphic* g = todo.back();
    todo.pop_back();
    if (g == &group) return true;
    const auto* sub = dynamic_cast<const vcGraphicGroup*>(g);
    if (!sub || !seen.insert(sub).second) continue;
    sub->getItems(nested);
    for (const auto& h : nested)
      if (h) todo.push_back(h.ptr());
  }
  return false;
}

}  // namespace

// ---- vcGraphicGroup ------------------------------------------------------------

vcGraphicGroup::vcGraphicGroup() = default;

vcGraphicGroup::vcGraphicGroup(const vcGraphicGroup& o)
    : vcPersistent(), vcRepBase(), vcGraphicBase(o), isNull_(o.isNull_) {
  items_.reserve(o.items_.size());
  for (const auto& g : o.items_) items_.push_back(g ? g->clone() : vcPtrHandle<vcGraphic>());
}

vcGraphicGroup& vcGraphicGroup::operator=(const vcGraphicGroup& o) {
  if (this == &o) return *this;
  vcGraphicGroup copy(o);
  vcGraphic::operator=(o);
  items_.swap(copy.items_);
  isNull_ = o.isNull_;
  return *this;
}

vcGraphicGroup& vcGraphicGroup::operator=(vcGraphicGroup&& o) {
  if (this == &o) return *this;
  vcGraphic::operator=(o);
  items_.swap(o.items_);
  isNull_ = o.isNull_;
  return *this;
}

vcGraphicGroup::~vcGraphicGroup() = default;

void vcGraphicGroup::items(const std::vector<vcPtrHandle<vcGraphic>>& v, bool copy) {
  std::vector<vcPtrHandle<vcGraphic>> next;
  next.reserve(v.size());
  for (const auto& g : v) next.push_back(copy && g ? g->clone() : g);
  if (holdsGroup(*this, next)) throw vcGraphic::BadParams(kHoldsItself);
  notifyMutation_();
  items_.swap(next);
  itemsChanged_();
}

void vcGraphicGroup::items(const std::vector<vcPtrHandle_const<vcGraphic>>& v) {
  std::vector<vcPtrHandle<vcGraphic>> next;
  next.reserve(v.size());
  for (const auto& g : v) next.emplace_back(const_cast<vcGraphic*>(g.ptr()));
  if (holdsGroup(*this, next)) throw vcGraphic::BadParams(kHoldsItself);
  notifyMutation_();
  items_.swap(next);
  itemsChanged_();
}

void vcGraphicGroup::getItems(std::vector<vcPtrHandle_const<vcGraphic>>& out) const {
  out.assign(items_.begin(), items_.end());
}

vcPtrHandle_const<vcGraphic> vcGraphicGroup::item(long i) const {
  if (i < 0 || i >= numItems()) throw vcGraphic::BadParams("Item index out of range");
  return items_[static_cast<std::size_t>(i)];
}

void vcGraphicGroup::itemsChanged_() {
  isNull_ = true;
  bool first = true;
  for (const auto& g : items_) {
    if (!g) continue;
    if (!g->isNull()) {
      restoreProps_(g->props());
      isNull_ = false;
      return;
    }
    // A null-valued graphic lends its props only when nothing came before it.
    if (first) restoreProps_(g->props());
    first = false;
  }
}

void vcGraphicGroup::setProps_(const vcGraphicProps& p) {
  for (const auto& g : items_) {
    if (!g) continue;
    g->props() = p;
    g->setProps_(p);
  }
}

vcPtrHandle<vcGraphic> vcGraphicGroup::map(const vcXform<2>& x) const {
  vcPtrHandle<vcGraphicGroup> mapped(new vcGraphicGroup(*this));
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i]) mapped->items_[i] = items_[i]->map(x);
  return mapped;
}

vcRect vcGraphicGroup::encloseRect() const {
  vcRect box;
  if (isNull_) return box;
  for (const auto& g : items_)
    if (g) box.enclose(g->encloseRect());
  return box;
}

double vcGraphicGroup::distToPoint(const vcVector<2>& p) const {
  double best = HUGE_VAL;
  if (isNull_) return best;
  for (const auto& g : items_) {
    if (!g) continue;
    const double d = g->distToPoint(p);
    if (d < best) best = d;
  }
  return best;
}

void vcGraphicGroup::draw(vcUITablet& t, vcUITabletTypes::Layers layers) const {
  if (isNull_) return;
  for (const auto& g : items_)
    if (g) g->draw(t, layers);
}

void vcGraphicGroup::archiveFields_(vcArchive& ar, unsigned char) {
  unsigned char itemsVersion = 0;
  ar || itemsVersion;
  if (itemsVersion != 0) throw vcArchive::UnknownVersion("", 0);
  ar || items_ || isNull_;
}

// ---- vcGraphicText -------------------------------------------------------------

vcGraphicText::vcGraphicText() = default;

vcGraphicText::vcGraphicText(const std::string& text, const vcPoint& location, const vcColor& color,
                             const vcColor& backgroundColor, const vcUIFormat& format, const vcVector<2>& offset)
    : vcGraphicBase(color), text_(text), location_(location), background_(backgroundColor), format_(format),
      offset_(offset) {
  requireDrawable(offset_, format_);
}

std::string& vcGraphicText::item() {
  notifyMutation_();
  return text_;
}
void vcGraphicText::location(const vcPoint& p) {
  notifyMutation_();
  location_ = p;
}
void vcGraphicText::offset(const vcVector<2>& v) {
  requireDrawable(v, format_);
  notifyMutation_();
  offset_ = v;
}
void vcGraphicText::backgroundColor(const vcColor& c) {
  notifyMutation_();
  background_ = c;
}
void vcGraphicText::format(const vcUIFormat& f) {
  requireDrawable(offset_, f);
  notifyMutation_();
  format_ = f;
}

vcPtrHandle<vcGraphic> vcGraphicText::map(const vcXform<2>& x) const {
  return vcPtrHandle<vcGraphic>(new vcGraphicText(text_, vcPoint(x.mapPoint(location_)), color(), background_,
                                                  format_, vcVector<2>(0.0, 0.0)));
}

void vcGraphicText::draw(vcUITablet& t, vcUITabletTypes::Layers layers) const {
  t.drawStart(location_, layers);
  t.moveToRelPels(static_cast<long>(offset_.x()), static_cast<long>(offset_.y()), layers);
  t.draw(text_, vcUITablet::drawPointArg(), color(), background_, format_, layers);
}

void vcGraphicText::archiveFields_(vcArchive& ar, unsigned char) {
  ar || text_ || location_ || background_ || format_ || offset_;
  if (ar.isLoading())
    if (const std::string why = textFault(offset_, format_); !why.empty()) vcArchive::fail("stored " + why);
}

// ---- vcGraphicCross ------------------------------------------------------------

vcPtrHandle<vcGraphic> vcGraphicCross::map(const vcXform<2>& x) const {
  return vcPtrHandle<vcGraphic>(new vcGraphicCross(item().map(x), props()));
}
double vcGraphicCross::distToPoint(const vcVector<2>& p) const { return item().distanceToPoint(p); }

void vcGraphicCross::draw(vcUITablet& t, vcUITabletTypes::Layers layers) const { t.draw(item(), props(), layers); }

// ---- vcGraphicPointIcon --------------------------------------------------------

vcPtrHandle<vcGraphic> vcGraphicPointIcon::map(const vcXform<2>& x) const {
  return vcPtrHandle<vcGraphic>(new vcGraphicPointIcon(vcPoint(x.mapPoint(item())), props()));
}
vcRect vcGraphicPointIcon::encloseRect() const { return vcRect(item(), vcVector<2>(1.0, 1.0)); }
double vcGraphicPointIcon::distToPoint(const vcVector<2>& p) const { return (p - vcVector<2>(item())).len(); }

void vcGraphicPointIcon::draw(vcUITablet& t, vcUITabletTypes::Layers layers) const {
  t.drawPointIcon(item(), props(), layers);
}

// ---- vcGraphicEllipseAnnulusSection --------------------------------------------

vcGraphicEllipseAnnulusSection::vcGraphicEllipseAnnulusSection(const vcEllipseAnnulusSection& item,
                                                               const vcColor& color, bool arrowHead,
                                                               bool arrowHeadForward)
    : vcGraphicItem(item, color) {
  vcGraphicProps p = props();
  p.arrowHead(arrowHead);
  p.arrowHeadForward(arrowHeadForward);
  restoreProps_(p);
}

void vcGraphicEllipseAnnulusSection::drawArrowHead(bool arrowHead, bool forward) {
  vcGraphicProps& p = props();
  p.arrowHead(arrowHead);
  p.arrowHeadForward(forward);
}

vcPtrHandle<vcGraphic> vcGraphicEllipseAnnulusSection::map(const vcXform<2>& x) const {
  return vcPtrHandle<vcGraphic>(new vcGraphicEllipseAnnulusSection(item().map(x), props()));
}
vcRect vcGraphicEllipseAnnulusSection::encloseRect() const { return item().boundingBox(); }
double vcGraphicEllipseAnnulusSection::distToPoint(const vcVector<2>& p) const { return item().distToPoint(p); }

void vcGraphicEllipseAnnulusSection::draw(vcUITablet& t, vcUITabletTypes::Layers layers) const {
  t.draw(item(), props(), layers);
}

void vcGraphicEllipseAnnulusSection::archiveFields_(vcArchive& ar, unsigned char version) {
  vcGraphicItem::archiveFields_(ar, version);
  if (version == 0) {
    // Version 0 kept the arrow switches after the section; never written any more.
    bool arrowHead = false, forward = false;
    ar || arrowHead || forward;
    drawArrowHead(arrowHead, forward);
  }
}
