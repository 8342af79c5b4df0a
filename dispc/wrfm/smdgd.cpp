// The base of SMD geometric descriptions and the SMD colors: names, colors
// and their archive forms.
#include <vc/core/archive.h>
#include <vc/wrfm/smdgd.h>

void vcSMDGeometricDescription::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcSMDGeometricDescription))) return;
  exchangeDescription_(ar);
  setVisited(this, sizeof(vcSMDGeometricDescription));
}

void vcSMDGeometricDescription::exchangeDescription_(vcArchive& ar) {
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion(nullptr, 0);
  std::string name = name_;
  ar || name;
  if (ar.isLoading()) {
    notifyMutation_();
    name_ = std::move(name);
  }
}

const vc_Instantiator vcSMDColors::sExemplar(typeid(vcSMDColors), &vcSMDColors::make);

vcPersistent* vcSMDColors::make() { return new vcSMDColors; }

vcSMDColors::vcSMDColors()
    : wire_(vcColor::greenColor()), synth_(vcColor::ltGreyColor()), back_(vcColor::dkGreyColor()) {}

vcSMDColors& vcSMDColors::operator=(const vcSMDColors& o) {
  if (this != &o) {
    notifyMutation_();
    wire_ = o.wire_, synth_ = o.synth_, back_ = o.back_;
  }
  return *this;
}

void vcSMDColors::wireframeDefaultColor(const vcColor& c) {
  notifyMutation_();
  wire_ = c;
}
void vcSMDColors::syntheticDefaultColor(const vcColor& c) {
  notifyMutation_();
  synth_ = c;
}
void vcSMDColors::syntheticBackgroundColor(const vcColor& c) {
  notifyMutation_();
  back_ = c;
}

void vcSMDColors::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcSMDColors))) return;
  exchange_(ar);
  setVisited(this, sizeof(vcSMDColors));
}

void vcSMDColors::exchange_(vcArchive& ar) {
  unsigned char version = 1;
  ar || version;
  if (version > 1) throw vcArchive::UnknownVersion("dispc/wrfm/colors", __LINE__);
  vcPersistent::dispatchSerialize(ar);
  if (version == 1) {
    vcColor w = wire_, s = synth_, b = back_;
    ar || w || s || b;
    if (ar.isLoading()) {
      notifyMutation_();
      wire_ = w, synth_ = s, back_ = b;
    }
  }
}
