// Pel buffers: shared aligned pixel storage, windowed views, fills and maps.
#include <vc/core/pelbuffer.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

namespace {
std::string rectText(const vcRectangle<long>& r) {
  return "(" + std::to_string(r.x()) + ", " + std::to_string(r.y()) + ", " + std::to_string(r.width()) + " x " +
         std::to_string(r.height()) + ")";
}

// Larger requests are refused up front with a clear message rather than left
// to the allocator.
constexpr long kMaxStorageBytes =
    static_cast<long>(std::min<long long>(1LL << 40, std::numeric_limits<long>::max() / 2));

// r lies inside area; written so that no sum can overflow.
bool inside(const vcRectangle<long>& r, const vcRectangle<long>& area) {
  return r.width() >= 0 && r.height() >= 0 && r.x() >= area.x() && r.y() >= area.y() && r.x() <= area.right() &&
         r.y() <= area.bottom() && r.width() <= area.right() - r.x() && r.height() <= area.bottom() - r.y();
}
}  // namespace

vc_PelStorage::vc_PelStorage(const vcRectangle<long>& area, std::size_t pelSize) : area_(area) {
  long right = 0, bottom = 0, rowBytes = 0, total = 0;
  if (area.width() < 0 || area.height() < 0)
    throw vcBadArgument("pel buffer: negative size " + rectText(area));
  if (__builtin_add_overflow(area.x(), area.width(), &right) ||
      __builtin_add_overflow(area.y(), area.height(), &bottom) ||
      __builtin_mul_overflow(area.width(), static_cast<long>(pelSize), &rowBytes) ||
      rowBytes > kMaxStorageBytes)
    throw vcBadArgument("pel buffer: area " + rectText(area) + " cannot be addressed");
  constexpr long align = static_cast<long>(kRowAlignment);
  pitchBytes_ = (rowBytes + align - 1) / align * align;
  if (__builtin_mul_overflow(pitchBytes_, area.height(), &total) || total > kMaxStorageBytes)
    throw vcBadArgument("pel buffer: " + std::to_string(area.width()) + " x " + std::to_string(area.height()) +
                        " pixels are more than one buffer can hold");
  if (total == 0) return;
  data_ = static_cast<unsigned char*>(::operator new(static_cast<std::size_t>(total), std::align_val_t(kRowAlignment)));
  std::memset(data_, 0, static_cast<std::size_t>(total));
}

vc_PelStorage::vc_PelStorage(const vcRectangle<long>& area, std::size_t pelSize, unsigned char* data, long pitchBytes,
                             std::shared_ptr<void> keepAlive)
    : area_(area), pitchBytes_(pitchBytes), data_(data), keepAlive_(std::move(keepAlive)) {
  long rowBytes = 0;
  if (area.width() < 0 || area.height() < 0)
    throw vcBadArgument("pel buffer: negative size " + rectText(area));
  if (__builtin_mul_overflow(area.width(), static_cast<long>(pelSize), &rowBytes) || pitchBytes < rowBytes)
    throw vcBadArgument("pel buffer: row pitch of " + std::to_string(pitchBytes) + " bytes is shorter than a row of " +
                        std::to_string(area.width()) + " pixels");
  if (!data && area.width() > 0 && area.height() > 0) throw vcBadArgument("pel buffer: no pixels to view");
  // Without this a buffer that owns nothing would look like one that must free its pixels.
  if (!keepAlive_) keepAlive_ = std::make_shared<int>(0);
}

vc_PelStorage::~vc_PelStorage() {
  if (data_ && !keepAlive_) ::operator delete(data_, std::align_val_t(kRowAlignment));
}

template <class T>
vcPelBuffer_const<T>::vcPelBuffer_const(const vcRectangle<long>& area)
    : store_(vfMakeHandle<vc_PelStorage>(area, sizeof(T))),
      base_(reinterpret_cast<T*>(store_->data())),
      pitch_(store_->pitchBytes() / static_cast<long>(sizeof(T))),
      area_(area),
      window_(area) {}

template <class T>
vcPelBuffer_const<T>::vcPelBuffer_const(vcPtrHandle<vc_PelStorage> store)
    : store_(std::move(store)),
      base_(reinterpret_cast<T*>(store_->data())),
      pitch_(store_->pitchBytes() / static_cast<long>(sizeof(T))),
      area_(store_->area()),
      window_(area_) {}

template <class T>
void vcPelBuffer_const<T>::window(const vcRectangle<long>& r) {
  if (!inside(r, area_))
    throw vcBadArgument("vcPelBuffer::window: " + rectText(r) + " is not inside the storage " + rectText(area_));
  window_ = r;
}

template <class T>
void vcPelBuffer_const<T>::throwOutsideWindow_(long x, long y) const {
  throw vcBadArgument("vcPelBuffer::pointToPel: image pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                      ") is outside the window " + rectText(window_));
}

template <class T>
vcPelBuffer<T> vcPelBuffer_const<T>::clone() const {
  if (isNull()) return vcPelBuffer<T>();
  vcPelBuffer<T> copy(window_);
  for (long y = window_.y(); y < window_.bottom(); ++y)
    std::copy_n(pel_(window_.x(), y), window_.width(), copy.pointToPel(window_.x(), y));
  copy.clientFromImageXform(xform_);
  return copy;
}

template <class T>
bool vcPelBuffer_const<T>::operator==(const vcPelBuffer_const& o) const {
  if (!(window_ == o.window_ && xform_ == o.xform_)) return false;
  if (window_.isEmpty() || store_ == o.store_) return true;
  for (long y = window_.y(); y < window_.bottom(); ++y) {
    const T* a = pel_(window_.x(), y);
    if (!std::equal(a, a + window_.width(), o.pel_(window_.x(), y))) return false;
  }
  return true;
}

template <class T>
vcPelBuffer<T>::vcPelBuffer(long width, long height) : vcPelBuffer(vcRectangle<long>(0, 0, width, height)) {}

template <class T>
vcPelBuffer<T>::vcPelBuffer(const vcRectangle<long>& area) : vcPelBuffer_const<T>(area) {}

template <class T>
vcPelBuffer<T> vcPelBuffer<T>::reuse(vcPelBuffer_const<T>&& view, const vcRectangle<long>& area) {
  vcPelBuffer_const<T> taken = std::move(view);
  view = vcPelBuffer_const<T>();
  if (!taken.isSoleView() || !(taken.storageArea() == area)) return vcPelBuffer(area);
  taken.window(area);
  taken.clientFromImageXform(vcXform<2>());
  vcPelBuffer out;
  static_cast<vcPelBuffer_const<T>&>(out) = std::move(taken);
  return out;
}

template <class T>
T* vcPelBuffer<T>::refillFresh_(vcPelBuffer_const<T>& view, const vcRectangle<long>& area) {
  vcPelBuffer fresh(area);
  T* first = fresh.base_;
  view = std::move(fresh);
  return first;
}

template <class T>
vcPelBuffer<T> vcPelBuffer<T>::wrap(T* pels, long width, long height, long rowPitch, std::shared_ptr<void> owner) {
  long pitchBytes = 0;
  if (__builtin_mul_overflow(rowPitch, static_cast<long>(sizeof(T)), &pitchBytes))
    throw vcBadArgument("vcPelBuffer::wrap: row pitch " + std::to_string(rowPitch) + " cannot be addressed");
  return vcPelBuffer(vfMakeHandle<vc_PelStorage>(vcRectangle<long>(0, 0, width, height), sizeof(T),
                                                 reinterpret_cast<unsigned char*>(pels), pitchBytes, std::move(owner)));
}

template <class T>
void vcPelBuffer<T>::fill(const T& v) {
  vfPelSet(*this, v);
}

template <class T>
void vfPelSet(vcPelBuffer<T>& buf, const std::type_identity_t<T>& value) {
  vfPelSet(buf, buf.window(), value);
}

template <class T>
void vfPelSet(vcPelBuffer<T>& buf, const vcRectangle<long>& area, const std::type_identity_t<T>& value) {
  const vcRectangle<long> r = area & buf.window();
  for (long y = r.y(); y < r.bottom(); ++y) std::fill_n(buf.pointToPel(r.x(), y), r.width(), value);
}

void vfPelMap(const vcPelBuffer_const<unsigned char>& src, vcPelBuffer<unsigned char>& dst,
              const std::vector<unsigned char>& map) {
  const long w = std::min(src.width(), dst.width()), h = std::min(src.height(), dst.height());
  if (w <= 0 || h <= 0) return;
  std::array<unsigned char, 256> table;
  for (std::size_t v = 0; v < table.size(); ++v)
    table[v] = v < map.size() ? map[v] : static_cast<unsigned char>(v);
  // Shifted windows on one storage could read pixels already mapped.
  const vcPelBuffer_const<unsigned char> from =
      src.sharesPels(dst) && src.offset() != dst.offset() ? vcPelBuffer_const<unsigned char>(src.clone()) : src;
  const vcPair<long> s = from.offset(), d = dst.offset();
  for (long j = 0; j < h; ++j) {
    const unsigned char* in = from.pointToPel(s.x(), s.y() + j);
    unsigned char* out = dst.pointToPel(d.x(), d.y() + j);
    for (long i = 0; i < w; ++i) out[i] = table[in[i]];
  }
}

namespace {

// The archive form shared by both 8-bit views; see <vc/core/pelbuffer.h>.
template <class View>
void exchangeImage(vcArchive& ar, View& image) {
  unsigned char version = 0;
  bool isNull = image.isNull();
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("core/pelbuffer", __LINE__);
  ar || isNull;
  const vcRectangle<long>& window = image.window();
  long x = window.x(), y = window.y(), width = window.width(), height = window.height();
  vcXform<2> xform = image.clientFromImageXform();
  if (ar.isStoring()) {
    if (isNull) return;
    ar || x || y || width || height || xform;
    for (long r = 0; r < height && width > 0; ++r)
      ar.raw(const_cast<unsigned char*>(image.pointToPel(x, y + r)), width);
    return;
  }
  if (isNull) {
    image = vcPelBuffer<unsigned char>();
    return;
  }
  ar || x || y || width || height || xform;
  if (width < 0 || height < 0)
    vcArchive::fail("vcPelBuffer: negative size " + rectText(vcRectangle<long>(x, y, width, height)));
  if (width > 0) ar.requireItems(static_cast<std::uint64_t>(height), static_cast<std::uint64_t>(width));
  vcPelBuffer<unsigned char> read;
  try {
    read = vcPelBuffer<unsigned char>(vcRectangle<long>(x, y, width, height));
  } catch (const vcBadArgument& e) {
    vcArchive::fail(e.what());
  }
  for (long r = 0; r < height && width > 0; ++r) ar.raw(read.pointToPel(x, y + r), width);
  read.clientFromImageXform(xform);
  image = read;
}

}  // namespace

vcArchive& operator||(vcArchive& ar, vcPelBuffer<unsigned char>& image) {
  exchangeImage(ar, image);
  return ar;
}

vcArchive& operator||(vcArchive& ar, vcPelBuffer_const<unsigned char>& image) {
  exchangeImage(ar, image);
  return ar;
}

#define VC_INSTANTIATE_PELBUFFER(T)                                                              \
  template class vcPelBuffer_const<T>;                                                           \
  template class vcPelBuffer<T>;                                                                 \
  template void vfPelSet<T>(vcPelBuffer<T>&, const std::type_identity_t<T>&);                    \
  template void vfPelSet<T>(vcPelBuffer<T>&, const vcRectangle<long>&, const std::type_identity_t<T>&)

VC_INSTANTIATE_PELBUFFER(unsigned char);
VC_INSTANTIATE_PELBUFFER(unsigned short);
VC_INSTANTIATE_PELBUFFER(vcPackedRGB16Pel);
VC_INSTANTIATE_PELBUFFER(vcPackedRGB32Pel);
