// The display library's error classes: one table of class, base and error
// number, with the archive form each of them shares.
#include <ostream>
#include <string>

#include <vc/dimtol.h>
#include <vc/dispprop.h>
#include <vc/graphic.h>
#include <vc/uierror.h>

#include "error_impl.h"

VC_DEFINE_ERROR_SERIALIZE(vcUIError::Errors, vcException, "vcUIError::Errors")
VC_DEFINE_ERROR_SERIALIZE(vcGraphic::Errors, vcExceptionWithString, "vcGraphic::Errors")

VC_DEFINE_ERROR(vcUIError::BadLayer, vcUIError::Errors, 0x10002B00)
VC_DEFINE_ERROR(vcUIError::BadIconPattern, vcUIError::Errors, 0x10002B01)
VC_DEFINE_ERROR(vcUIError::FlagStackUnderflow, vcUIError::Errors, 0x10002B02)
VC_DEFINE_ERROR(vcUIError::FlagStackOverflow, vcUIError::Errors, 0x10002B03)
VC_DEFINE_ERROR(vcUIError::FlagStackOutOfRange, vcUIError::Errors, 0x10002B04)
VC_DEFINE_ERROR(vcUIError::NotAvailable, vcUIError::Errors, 0x10002B06)
VC_DEFINE_ERROR(vcUIError::NotEnabled, vcUIError::Errors, 0x10002B07)
VC_DEFINE_ERROR(vcUIError::BadKeyValue, vcUIError::Errors, 0x10002B08)
VC_DEFINE_ERROR(vcUIError::InvalidColorMapSize, vcUIError::Errors, 0x10002B09)
VC_DEFINE_ERROR(vcUIError::NotImplemented, vcUIError::Errors, 0x10002B12)
VC_DEFINE_ERROR(vcUIError::BadParams, vcUIError::Errors, 0x10002B13)
VC_DEFINE_ERROR(vcUIError::NotRGBColor, vcUIError::Errors, 0x10002B14)
VC_DEFINE_ERROR(vcUIError::NotIndexColor, vcUIError::Errors, 0x10002B15)
VC_DEFINE_ERROR(vcUIError::NoLongerSupported, vcUIError::Errors, 0x10002B16)
VC_DEFINE_ERROR(vcUIError::InvalidUISketch, vcUIError::Errors, 0x10002B17)
VC_DEFINE_ERROR(vcUIError::InitFailed, vcUIError::Errors, 0x10002B18)

namespace {
void appendReason(std::ostream& os, const std::string& reason) {
  if (!reason.empty()) os << ": " << reason;
}
}  // namespace

void vcUIError::InvalidUISketch::message_(std::ostream& os) const {
  Errors::message_(os);
  appendReason(os, reason_);
}

void vcUIError::BadParams::message_(std::ostream& os) const {
  Errors::message_(os);
  appendReason(os, reason_);
}

VC_DEFINE_ERROR(vcGraphicProps::BadParams, vcException, 0x10004513)

VC_DEFINE_ERROR(vcGraphic::BadParams, vcGraphic::Errors, 0x10009600)
VC_DEFINE_ERROR(vcGraphic::NoGraphicForShape, vcGraphic::Errors, 0x10009601)

VC_DEFINE_ERROR(vcSMDDimension::badDimensionValue, vcException, 0x11000B00)
void vcSMDDimension::badDimensionValue::message_(std::ostream& os) const { os << message_str_; }
