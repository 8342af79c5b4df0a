// vcGraphicList: copying, drawing, sketching and archiving a list of graphics.
#include <vc/glist.h>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/uitablet.h>

#include "glist_index.h"

vcGraphicList::vcGraphicList() = default;

vcGraphicList::vcGraphicList(const vcGraphicList& o) { append(o); }

vcGraphicList& vcGraphicList::operator=(const vcGraphicList& o) {
  if (this == &o) return *this;
  vcGraphicList copy(o);
  items_.swap(copy.items_);
  pickIndex_.reset();
  return *this;
}

vcGraphicList::~vcGraphicList() = default;

std::vector<vcPtrHandle<vcGraphic>>& vcGraphicList::items() noexcept {
  if (pickIndex_) pickIndex_->mayHaveChanged();
  return items_;
}

void vcGraphicList::reset() {
  items_.clear();
  pickIndex_.reset();
}

void vcGraphicList::append(vcPtrHandle<vcGraphic> g, bool copy) {
  insert(static_cast<long>(items_.size()), std::move(g), copy);
}

void vcGraphicList::append(vcGraphicList& other, bool copy) {
  std::vector<vcPtrHandle<vcGraphic>> added;
  added.reserve(other.items_.size());
  for (const auto& g : other.items_) added.push_back(copy && g ? g->clone() : g);
  const long at = static_cast<long>(items_.size());
  items_.insert(items_.end(), added.begin(), added.end());
  if (pickIndex_) pickIndex_->inserted(at, static_cast<long>(added.size()));
}

void vcGraphicList::insert(long at, vcPtrHandle<vcGraphic> g, bool copy) {
  if (at < 0 || at > static_cast<long>(items_.size())) throw vcGraphic::BadParams("Item index out of range");
  // A null handle stays null: there is nothing to clone.
  items_.insert(items_.begin() + at, copy && g ? g->clone() : std::move(g));
  if (pickIndex_) pickIndex_->inserted(at, 1);
}

void vcGraphicList::remove(long at, long count) {
  const long n = static_cast<long>(items_.size());
  if (at < 0 || count < 0 || at > n || count > n - at) throw vcGraphic::BadParams("Item index out of range");
  items_.erase(items_.begin() + at, items_.begin() + at + count);
  if (pickIndex_) pickIndex_->removed(at, count);
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
  if (ar.isStoring()) {
    if (list.items().size() > 0x7FFFFFFFu) vcArchive::fail("graphic list too long for an archive");
    int n = static_cast<int>(list.items().size());
    ar || n;
    for (auto& g : list.items()) ar || g;
    return ar;
  }
  int n = 0;
  ar || n;
  if (n < 0) vcArchive::fail("negative graphic list count");
  ar.requireItems(static_cast<std::uint64_t>(n), 1);
  // Read aside: a failed read leaves the list as it was.
  std::vector<vcPtrHandle<vcGraphic>> items;
  items.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    vcPtrHandle<vcGraphic> g;
    ar || g;
    items.push_back(std::move(g));
  }
  list.items().swap(items);
  return ar;
}
