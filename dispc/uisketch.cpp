#include <vc/uisketch.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include <vc/color.h>
#include <vc/core/archive.h>
#include <vc/core/exception.h>

#include "payloads.h"

namespace {

// Allocation failure of the sketch buffer, with the message users of the
// library know.
struct vc_SketchBadAlloc : std::bad_alloc {
  const char* what() const noexcept override { return "bad allocation"; }
};

unsigned char* reallocate(unsigned char* data, long capacity) {
  void* p = std::realloc(data, static_cast<std::size_t>(capacity));
  if (!p) throw vc_SketchBadAlloc();
  return static_cast<unsigned char*>(p);
}

}  // namespace

vcUISketch::vcUISketch(const unsigned char* bytes, long n) {
  if (n < 0) throw vcBadArgument("negative sketch size");
  if (n > 0) {
    data_ = reallocate(nullptr, n);
    std::memcpy(data_, bytes, static_cast<std::size_t>(n));
    size_ = capacity_ = n;
  }
}

vcUISketch::vcUISketch(const vcUISketch& o) {
  if (o.capacity_ > 0) {
    data_ = reallocate(nullptr, o.capacity_);
    capacity_ = o.capacity_;
    if (o.size_) std::memcpy(data_, o.data_, static_cast<std::size_t>(o.size_));
    size_ = o.size_;
  }
}

vcUISketch::vcUISketch(vcUISketch&& o) noexcept
    : data_(std::exchange(o.data_, nullptr)),
      size_(std::exchange(o.size_, 0)),
      capacity_(std::exchange(o.capacity_, 0)),
      props_(o.props_) {
  o.props_ = vcGraphicProps();
}

vcUISketch::~vcUISketch() { std::free(data_); }

vcUISketch& vcUISketch::operator=(const vcUISketch& o) {
  if (this == &o) return *this;
  if (o.size_ > capacity_) reserveMore_(o.size_ - size_);
  if (o.size_) std::memcpy(data_, o.data_, static_cast<std::size_t>(o.size_));
  size_ = o.size_;
  return *this;
}

vcUISketch& vcUISketch::operator=(vcUISketch&& o) noexcept {
  if (this == &o) return *this;
  std::free(data_);
  data_ = std::exchange(o.data_, nullptr);
  size_ = std::exchange(o.size_, 0);
  capacity_ = std::exchange(o.capacity_, 0);
  return *this;
}

void vcUISketch::reserveMore_(long n) {
  if (n < 0) throw vcBadArgument("negative byte count appended to a sketch");
  if (n > std::numeric_limits<long>::max() - size_) throw vc_SketchBadAlloc();
  const long need = size_ + n;
  if (need <= capacity_) return;
  long grown = capacity_ > std::numeric_limits<long>::max() / 2 ? need : 2 * capacity_;
  const long cap = grown > need ? grown : need;
  data_ = reallocate(data_, cap);
  capacity_ = cap;
}

unsigned char* vcUISketch::appendSlow_(long n) {
  reserveMore_(n);
  unsigned char* at = data_ + size_;
  size_ += n;
  return at;
}

void vcUISketch::append(const void* bytes, long n) {
  unsigned char* at = append(n);
  if (n) std::memcpy(at, bytes, static_cast<std::size_t>(n));
}

void vcUISketch::opcode(signed char op, signed char layer, const vcColor& color) {
  vc_HeadPayload head{static_cast<unsigned char>(op), static_cast<unsigned char>(layer), color};
  vfAppendPayload(*this, head);
}

void vcUISketch::opcodeProps_(signed char op, const vcGraphicProps& props) {
  // Grow first so that a failed allocation leaves the current props alone.
  reserveMore_(1 + vcGraphicProps::kRecordSize);
  props_ = props;
  *append(1) = static_cast<unsigned char>(op);
  props_.opcode(this, props);
}

vcUISketch& vcUISketch::operator+=(const vcUISketch& o) {
  if (this == &o) {
    const vcUISketch copy(o);
    append(copy.data_, copy.size_);
  } else {
    append(o.data_, o.size_);
  }
  return *this;
}

vcUISketch vcUISketch::operator+(const vcUISketch& o) const {
  vcUISketch out;
  const long total = size_ + o.size_;
  if (total > 0) {
    out.data_ = reallocate(nullptr, total);
    out.capacity_ = total;
    if (size_) std::memcpy(out.data_, data_, static_cast<std::size_t>(size_));
    if (o.size_) std::memcpy(out.data_ + size_, o.data_, static_cast<std::size_t>(o.size_));
    out.size_ = total;
  }
  return out;
}

void vcUISketch::checkMark_(vcUISketchMark m) const {
  if (m.offset_ < 0 || m.offset_ > size_)
    throw vcBadArgument("sketch mark " + std::to_string(m.offset_) + " outside the sketch of " +
                        std::to_string(size_) + " bytes");
}

vcUISketch vcUISketch::subSketch(vcUISketchMark from, vcUISketchMark to) const {
  if (!(from.offset_ < to.offset_)) return vcUISketch();
  checkMark_(from);
  checkMark_(to);
  return vcUISketch(data_ + from.offset_, to.offset_ - from.offset_);
}

vcUISketch& vcUISketch::insert(const vcUISketch& other, vcUISketchMark at) {
  checkMark_(at);
  if (this == &other) return insert(vcUISketch(other), at);
  const long n = other.size_;
  if (n == 0) return *this;
  const long oldSize = size_;
  append(n);
  if (at.offset_ < oldSize)
    std::memmove(data_ + at.offset_ + n, data_ + at.offset_, static_cast<std::size_t>(oldSize - at.offset_));
  std::memcpy(data_ + at.offset_, other.data_, static_cast<std::size_t>(n));
  return *this;
}

vcUISketch& vcUISketch::remove(vcUISketchMark from, vcUISketchMark to) {
  if (from.offset_ >= to.offset_) return *this;
  checkMark_(from);
  checkMark_(to);
  if (to.offset_ < size_)
    std::memmove(data_ + from.offset_, data_ + to.offset_, static_cast<std::size_t>(size_ - to.offset_));
  size_ -= to.offset_ - from.offset_;
  return *this;
}

vcUISketch& vcUISketch::erase() noexcept {
  size_ = 0;
  props_ = vcGraphicProps();
  return *this;
}

vcUISketch& vcUISketch::eraseAndDelete() noexcept {
  std::free(data_);
  data_ = nullptr;
  size_ = capacity_ = 0;
  props_ = vcGraphicProps();
  return *this;
}

vcArchive& operator||(vcArchive& ar, vcUISketchMark& m) {
  signed char version = 0;
  long offset = m.offset_;
  ar || version || offset;
  m.offset_ = offset;
  return ar;
}
