// The archive form of SMD models. Stored bytes are untrusted: the model is
// read into a fresh object (each poly checked by its own loader, the labels
// against the polys) and replaces the target only when all of it was read.
#include <algorithm>
#include <cstdint>

#include <vc/core/archive.h>
#include <vc/wrfm/smdmodel.h>

namespace {

constexpr unsigned char kModelVersion = 0;

}  // namespace

void vcSMDGDModel::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcSMDGDModel))) return;
  unsigned char version = kModelVersion;
  ar || version;
  if (version != kModelVersion) throw vcArchive::UnknownVersion(nullptr, 0);

  ar.exchangeAside(*this, vcSMDGDModel(""), [&](vcSMDGDModel& m) {
    m.exchangeDescription_(ar);
    unsigned char listVersion = 0;
    ar || listVersion;
    if (listVersion != 0) throw vcArchive::UnknownVersion(nullptr, 0);
    // A poly takes at least its version bytes, name length, counts and flags.
    vcExchangeCounted(ar, m.polys_, [&ar](vcSMDGDPoly& p) { vcSMDGDPolyPrivate::exchange_(ar, p); }, 40);
    ar || m.labels_ || m.position_;
    if (ar.isLoading()) {
      // The label list is derived from the polys; a stored one that disagrees is corrupt.
      const std::vector<long> stored = m.labels_;
      m.rebuildLabels_();
      if (stored != m.labels_) vcArchive::fail("vcSMDGDModel: sub-model labels do not match the polys");
    }
  });
  setVisited(this, sizeof(vcSMDGDModel));
}
