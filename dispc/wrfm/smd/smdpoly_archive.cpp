// The archive form of SMD polys. Stored bytes are untrusted: the poly is read
// into a fresh object, its derived rounding data is worked out again, and it
// replaces the target only when it passes the same checks as an edit.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include <vc/core/archive.h>
#include <vc/wrfm/smdpoly.h>

namespace {

constexpr unsigned char kPolyVersion = 1;

// A vector as version byte 0, a 32-bit count and the elements.
template <class T, class Item>
void exchangeVector(vcArchive& ar, std::vector<T>& v, std::uint64_t minItemSize, Item item) {
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion(nullptr, 0);
  vcExchangeCounted(ar, v, item, minItemSize);
}

}  // namespace

void vcSMDGDPoly::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcSMDGDPoly))) return;
  unsigned char version = kPolyVersion;
  ar || version;
  serialize_(ar, version);
  setVisited(this, sizeof(vcSMDGDPoly));
}

void vcSMDGDPoly::serialize_(vcArchive& ar, unsigned char version) {
  if (version > kPolyVersion) throw vcArchive::UnknownVersion(nullptr, 0);
  ar.exchangeAside(*this, vcSMDGDPoly(""), [&](vcSMDGDPoly& p) {
    p.exchangeDescription_(ar);
    // A vertex takes at least its version bytes, name length and fields.
    exchangeVector(ar, p.v_, 30, [&](vcSMDGDPolyVertex& v) { v.exchange_(ar); });
    exchangeVector(ar, p.labels_, 4, [&](long& l) { ar || l; });
    exchangeVector(ar, p.rStart_, 16, [&](vcVector<2>& x) { ar || x; });
    exchangeVector(ar, p.rEnd_, 16, [&](vcVector<2>& x) { ar || x; });
    exchangeVector(ar, p.rSpan_, 8, [&](double& x) { ar || x; });
    ar || p.open_ || p.reversed_;
    p.colors_.exchange_(ar);
    ar || p.posColor_ || p.negColor_;
    if (version >= 1)
      ar || p.weight_;
    else if (ar.isLoading())
      p.weight_ = 1.0;
    if (ar.isStoring()) return;

    // A poly with a NaN weight would not even equal itself.
    if (!std::isfinite(p.weight_)) vcArchive::fail("vcSMDGDPoly: stored weight is not finite");
    const std::size_t n = p.v_.size();
    if (p.rStart_.size() != n || p.rEnd_.size() != n || p.rSpan_.size() != n)
      vcArchive::fail("vcSMDGDPoly: rounding data does not match the vertices");
    // The label list may be in any order, but must hold exactly the vertices' labels.
    const std::vector<long> order = p.labels_;
    std::vector<long> stored = order;
    p.rebuildLabels_();
    std::vector<long> expected = p.labels_;
    std::sort(stored.begin(), stored.end());
    std::sort(expected.begin(), expected.end());
    if (stored != expected || std::adjacent_find(stored.begin(), stored.end()) != stored.end())
      vcArchive::fail("vcSMDGDPoly: sub-model labels do not match the vertices");
    p.labels_ = order;
    try {
      p.check_(nullptr);
    } catch (const vcException& e) {
      vcArchive::fail(std::string("vcSMDGDPoly: stored poly is invalid: ") + e.what());
    }
  });
}
