#include <vc/core/exception.h>

#include <cstdio>
#include <sstream>

#include <vc/core/archive.h>

const char* vcException::what() const noexcept {
  try {
    std::string msg = message();
    what_ = className();
    if (!msg.empty()) what_ += ": " + msg;
  } catch (...) {
    return "vcException";
  }
  return what_.c_str();
}

std::string vcException::message() const {
  std::ostringstream os;
  message_(os);
  return os.str();
}

void vcException::message_(std::ostream& os) const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "error 0x%08lX", static_cast<unsigned long>(errorNumber()) & 0xFFFFFFFFul);
  os << buf;
}

// Archive form: a version byte 0 and the persistent base part.
void vcException::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcException))) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("vcException", 0);
  vcPersistent::dispatchSerialize(ar);
  setVisited(this, sizeof(vcException));
}

void vcExceptionWithString::message_(std::ostream& os) const { os << message_str_; }

// Archive form: a version byte 0, the vcException part, then the message.
void vcExceptionWithString::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcExceptionWithString))) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("vcExceptionWithString", 0);
  vcException::dispatchSerialize(ar);
  std::string text = message_str_;
  ar || text;
  message_str_.swap(text);
  setVisited(this, sizeof(vcExceptionWithString));
}

vcFailure::vcFailure(long code) : vcExceptionWithString("failure status " + std::to_string(code)), code_(code) {}

void vcFailure::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcFailure))) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("vcFailure", 0);
  vcExceptionWithString::dispatchSerialize(ar);
  long code = code_;
  ar || code;
  code_ = code;
  setVisited(this, sizeof(vcFailure));
}

void vfThrowExceptionOnFailure(long status) {
  if (status < 0) throw vcFailure(status);
}

// The core layer's own error numbers.
VC_DEFINE_EXCEPTION_LEAF(vcBadPointer, 0x10000001)
VC_DEFINE_EXCEPTION_LEAF(vcMathError, 0x10000002)
VC_DEFINE_EXCEPTION_LEAF(vcBadArgument, 0x10000003)
VC_DEFINE_EXCEPTION_LEAF(vcFailure, 0x10000004)
VC_DEFINE_EXCEPTION_LEAF(vcShapesError::BadGeom, 0x10000101)
VC_DEFINE_EXCEPTION_LEAF(vcShapesError::DegenerateShape, 0x10000102)
VC_DEFINE_EXCEPTION_LEAF(vcShapesError::NotOpenContour, 0x10000103)
VC_DEFINE_EXCEPTION_LEAF(vcShapesError::NoTangent, 0x10000104)
VC_DEFINE_EXCEPTION_LEAF(vcShapesError::NotRegion, 0x10000105)
VC_DEFINE_EXCEPTION_LEAF(vcShapesError::BadRadius, 0x10000106)
VC_DEFINE_EXCEPTION_LEAF(vcShapesError::BadCoef, 0x10000107)
VC_DEFINE_EXCEPTION_LEAF(vcArchive::UnknownVersion, 0x10000201)
VC_DEFINE_EXCEPTION_LEAF(vcArchive::BadData, 0x10000202)
VC_DEFINE_EXCEPTION_LEAF(vcArchive::IOError, 0x10000203)
