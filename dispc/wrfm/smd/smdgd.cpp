// The base of SMD geometric descriptions and the SMD colors: names, colors
// and their archive forms; the SMD error classes.
#include <array>
#include <ostream>
#include <utility>

#include <vc/core/archive.h>
#include <vc/uierror.h>
#include <vc/wrfm/smdgd.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>

#include "error_impl.h"

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

// The SMD poly and model error classes: number, base and fixed message.
// The SMD errors each carry a fixed message.
#define VC_DEFINE_SMD_ERROR(Class, Number, Text)                     \
  VC_DEFINE_ERROR(Class, vcException, Number)                        \
  void Class::message_(std::ostream& os) const { os << Text; }

VC_DEFINE_SMD_ERROR(vcSMDGDPolyVertex::invalidSegmentLength, 0x11000350,
                    "Invalid poly segment length specified at vertex.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::invalidVertices, 0x11000360, "Invalid poly vertices.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::crossingSegments, 0x11000361, "Two or more poly segments cross.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::invalidIndex, 0x11000362, "Invalid index for poly vertex or segment.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::invalidRounding, 0x11000363, "Invalid radius for poly vertex rounding.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::noPelBuffer, 0x11000364, "No pel buffer to draw on.")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::badSubModel, 0x11000365, "The specified sub-model is not 2D")
VC_DEFINE_SMD_ERROR(vcSMDGDPoly::notClosed, 0x11000366,
                    "An operation was performed which requires a closed poly.")
VC_DEFINE_SMD_ERROR(vcSMDGDModel::invalidIndex, 0x11000370, "Invalid poly index specified.")
VC_DEFINE_SMD_ERROR(vcSMDGDModel::crossingPolys, 0x11000371, "At least two polys intersect.")
VC_DEFINE_SMD_ERROR(vcSMDGDModel::nestedPolys, 0x11000372, "At least one of the polys is nested.")
