// The base of SMD geometric descriptions and the SMD colors: names, colors
// and their archive forms.
#include <array>
#include <utility>

#include <vc/core/archive.h>
#include <vc/uierror.h>
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

void vcSMDGeometricDescription::drawWireframe(const vcXform<2>&, vcUITablet&) const {}

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

unsigned char vcSMDColors::colorToGrayScale(const vcColor& c) {
  if (c.isIndexColor()) {
    // Searched in this order, so that the first stock color with the index wins.
    using Stock = const vcColor& (*)();
    static constexpr std::array<std::pair<Stock, unsigned char>, 15> kLevels{{
        {&vcColor::blackColor, 5},    {&vcColor::dkGreyColor, 50},  {&vcColor::greyColor, 100},
        {&vcColor::ltGreyColor, 150}, {&vcColor::whiteColor, 250},  {&vcColor::redColor, 120},
        {&vcColor::dkRedColor, 90},   {&vcColor::orangeColor, 180}, {&vcColor::yellowColor, 210},
        {&vcColor::greenColor, 130},  {&vcColor::dkGreenColor, 80}, {&vcColor::cyanColor, 200},
        {&vcColor::blueColor, 160},   {&vcColor::purpleColor, 90},  {&vcColor::magentaColor, 170},
    }};
    const unsigned char index = c.index();
    for (const auto& [stock, level] : kLevels)
      if (stock().index() == index) return level;
    return 0;
  }
  if (!c.isRGBColor()) throw vcUIError::NotIndexColor();
  const vcRGB& v = c.rgbStruct();
  return static_cast<unsigned char>((v.r() + v.g() + v.b()) / 3.0 + 0.5);
}
