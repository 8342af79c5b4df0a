// vcGraphicList: copying, drawing, sketching and archiving a list of graphics.
#include <vc/glist.h>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/uitablet.h>

vcGraphicList::vcGraphicList(const vcGraphicList& o) { append(o); }

vcGraphicList& vcGraphicList::operator=(const vcGraphicList& o) {
  if (this == &o) return *this;
  vcGraphicList copy(o);
  items_.swap(copy.items_);
  return *this;
}

vcGraphicList::~vcGraphicList() = default;

void vcGraphicList::reset() { items_.clear(); }

void vcGraphicList::append(vcPtrHandle<vcGraphic> g, bool copy) {
  // A null handle stays null: there is nothing to clone.
  items_.push_back(copy && g ? g->clone() : std::move(g));
}

void vcGraphicList::append(vcGraphicList& other, bool copy) {
  std::vector<vcPtrHandle<vcGraphic>> added;
  added.reserve(other.items_.size());
  for (const auto& g : other.items_) added.push_back(copy && g ? g->clone() : g);
  items_.insert(items_.end(), added.begin(), added.end());
}

void vcGraphicList::append(const vcGraphicList& other) { append(const_cast<vcGraphicList&>(other), true); }

void vcGraphicList::draw(vcUITablet& t, vcUITabletTypes::Layers layers) const {
  for (const auto& g : items_) {
    if (!g) throw vcBadPointer("vcGraphicList::draw: null graphic");
    g->draw(t, layers);
  }
}

vcUISketch vcGraphicList::sketch(vcUITabletTypes::Layers layers) const {
  vcUITablet t;
  draw(t, layers);
  return t.sketch();
}

vcArchive& operator||(vcArchive& ar, vcGraphicList& list) {
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/glist", 606);
  // A signed count; a failed read leaves the list as it was.
  vcExchangeCounted(ar, list.items(), [&ar](vcPtrHandle<vcGraphic>& g) { ar || g; }, 1, 0x7FFFFFFFu);
  return ar;
}
