// Pel buffers: views onto shared, reference-counted pixel storage.
//
// A buffer is a handle, not a container: copying one shares the pixels, so a
// write through one copy is seen by every other; clone() makes an independent
// copy. Each view carries its own window and client-from-image transform.
//
// Coordinates. Pixels are addressed in image coordinates (x to the right, y
// down, one unit per pixel). The storage covers an image rectangle that
// starts at image (0, 0) for buffers made with vcPelBuffer(width, height);
// the window is a sub-rectangle of it and bounds every access. Image
// coordinates are never relative to the window: the window's upper-left
// pixel is pointToPel(offset().x(), offset().y()).
//
// Pixel types: unsigned char, unsigned short, vcPackedRGB16Pel and
// vcPackedRGB32Pel (the library instantiates exactly these four).
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include <vc/core/handle.h>
#include <vc/core/pair.h>
#include <vc/core/pel.h>
#include <vc/core/rect.h>
#include <vc/core/xform.h>

class vcArchive;

// The shared pixels behind pel buffers: zero-filled rows of pitchBytes()
// bytes, each row starting on a 64-byte boundary.
class vc_PelStorage : public vcRepBase {
public:
  static constexpr std::size_t kRowAlignment = 64;

  // area: the image rectangle covered (image pixels, width and height >= 0);
  // pelSize: bytes per pixel, a divisor of 64. Throws vcBadArgument for a
  // negative size or one whose byte count cannot be addressed.
  vc_PelStorage(const vcRectangle<long>& area, std::size_t pelSize);
  // Storage over pixels that another owner keeps (a zero-copy view of another
  // library's image): rows pitchBytes bytes apart from data, with no
  // alignment. keepAlive is held until the storage goes, so that it can keep
  // the pixels valid. Throws vcBadArgument for a negative size, a pitch
  // shorter than a row or a null data pointer with pixels to hold.
  vc_PelStorage(const vcRectangle<long>& area, std::size_t pelSize, unsigned char* data, long pitchBytes,
                std::shared_ptr<void> keepAlive);
  ~vc_PelStorage() override;
  vc_PelStorage(const vc_PelStorage&) = delete;
  vc_PelStorage& operator=(const vc_PelStorage&) = delete;

  // Storage pixel of the area's upper-left corner; null when the area is empty.
  unsigned char* data() const noexcept { return data_; }
  const vcRectangle<long>& area() const noexcept { return area_; }
  long pitchBytes() const noexcept { return pitchBytes_; }

private:
  vcRectangle<long> area_;
  long pitchBytes_ = 0;
  unsigned char* data_ = nullptr;
  // Set for storage over another owner's pixels, which are not freed here.
  std::shared_ptr<void> keepAlive_;
};

template <class T>
class vcPelBuffer;

// A read-only view of pixels of type T. A vcPelBuffer<T> converts to it.
template <class T>
class vcPelBuffer_const {
public:
  using PelType = T;

  // The null buffer: no storage, window (0, 0, 0, 0).
  vcPelBuffer_const() = default;

  // True when the buffer has no storage (as opposed to an empty window).
  bool isNull() const noexcept { return !store_; }
  // Size of the window, in pixels.
  long width() const noexcept { return window_.width(); }
  long height() const noexcept { return window_.height(); }
  // The window, in image coordinates.
  const vcRectangle<long>& window() const noexcept { return window_; }
  // Moves or resizes the window within the storage (image coordinates; it may
  // also widen a narrowed window again). Throws vcBadArgument when r has a
  // negative size or reaches outside storageArea().
  void window(const vcRectangle<long>& r);
  // The window's upper-left corner in image coordinates.
  vcPair<long> offset() const noexcept { return window_.origin(); }
  // The image rectangle the shared storage covers.
  const vcRectangle<long>& storageArea() const noexcept { return area_; }
  // Distance between vertically adjacent pixels, in elements of T; every row
  // starts on a 64-byte boundary, except in storage made by vcPelBuffer::wrap.
  long rowPitch() const noexcept { return pitch_; }

  // The pixel at image coordinates (x, y), which must lie inside the window:
  // x in [offset().x(), offset().x() + width()), likewise y. Pixels of one
  // row follow each other; the next row is rowPitch() elements further.
  // Throws vcBadArgument outside the window.
  const T* pointToPel(long x, long y) const {
    if (!window_.contains(x, y)) throwOutsideWindow_(x, y);
    return base_ + (y - area_.y()) * pitch_ + (x - area_.x());
  }

  // The transform from image coordinates to the client coordinates of the
  // caller (identity by default). It belongs to the view, not the storage.
  const vcXform<2>& clientFromImageXform() const noexcept { return xform_; }
  void clientFromImageXform(const vcXform<2>& x) { xform_ = x; }

  // A deep copy of the window's pixels in fresh storage covering exactly the
  // window, with the same window and transform. A null buffer clones to null.
  vcPelBuffer<T> clone() const;

  // Equal when the windows (position and size) and the transforms are equal
  // and every pixel of the windows has the same value; where the storage
  // lies plays no part.
  bool operator==(const vcPelBuffer_const& o) const;

  // True when both views share one storage.
  bool sharesPels(const vcPelBuffer_const& o) const noexcept { return store_ && store_ == o.store_; }
  // True when this view holds storage that no other view shares.
  bool isSoleView() const noexcept { return store_ && store_->refCount() == 1; }

protected:
  friend class vcPelBuffer<T>;
  // Fresh zeroed storage covering area (image coordinates), window = area.
  explicit vcPelBuffer_const(const vcRectangle<long>& area);
  // A view of all of store, window = its area.
  explicit vcPelBuffer_const(vcPtrHandle<vc_PelStorage> store);

  T* pel_(long x, long y) const noexcept { return base_ + (y - area_.y()) * pitch_ + (x - area_.x()); }
  [[noreturn]] void throwOutsideWindow_(long x, long y) const;

private:
  vcPtrHandle<vc_PelStorage> store_;
  T* base_ = nullptr;
  long pitch_ = 0;
  vcRectangle<long> area_;
  vcRectangle<long> window_;
  vcXform<2> xform_;
};

// A writable view of pixels of type T. Constness is deep: a const
// vcPelBuffer gives only const pixels.
template <class T>
class vcPelBuffer : public vcPelBuffer_const<T> {
public:
  // The null buffer.
  vcPelBuffer() = default;
  // width x height zeroed pixels (each >= 0), storage and window at image
  // (0, 0). Throws vcBadArgument for a negative or unaddressable size.
  vcPelBuffer(long width, long height);
  // Zeroed pixels covering area (image coordinates); window = area.
  explicit vcPelBuffer(const vcRectangle<long>& area);

  using vcPelBuffer_const<T>::pointToPel;
  // The writable pixel at image coordinates (x, y) inside the window; see
  // vcPelBuffer_const::pointToPel.
  T* pointToPel(long x, long y) {
    if (!this->window().contains(x, y)) this->throwOutsideWindow_(x, y);
    return this->pel_(x, y);
  }

  // Sets every pixel of the window to v.
  void fill(const T& v);

  // A writable buffer over area (image coordinates; window = area, identity
  // transform) for a reader that refills one buffer again and again: the
  // storage of view when view is its only view and it covers exactly area
  // (the old pixels stay until overwritten), fresh zeroed storage otherwise.
  // view becomes null either way. Throws as vcPelBuffer(area) does.
  static vcPelBuffer reuse(vcPelBuffer_const<T>&& view, const vcRectangle<long>& area);
  // The same in place, for readers that fill each image as they read it:
  // view becomes a view over area (window = area, identity transform) whose
  // pixels the caller may overwrite, and the pixel at area's upper-left
  // corner is returned (rows rowPitch() elements apart; null for an empty
  // area). The storage is view's own when nothing else shares it and it
  // covers exactly area, fresh zeroed storage otherwise. Throws as
  // vcPelBuffer(area) does, leaving view unchanged.
  static T* refill(vcPelBuffer_const<T>& view, const vcRectangle<long>& area) {
    if (!view.isSoleView() || !(view.area_ == area)) return refillFresh_(view, area);
    view.window_ = area;
    view.xform_ = vcXform<2>();
    return view.base_;
  }
  // A buffer over width x height pixels that owner keeps, without copying:
  // pixel (x, y) is pels[y * rowPitch + x] (rowPitch in elements of T, at
  // least width); storage and window at image (0, 0). Every view made from it
  // shares owner, which is released with the last of them. Throws
  // vcBadArgument for a negative size, a pitch below width or a null pels
  // with pixels to hold.
  static vcPelBuffer wrap(T* pels, long width, long height, long rowPitch, std::shared_ptr<void> owner);

private:
  explicit vcPelBuffer(vcPtrHandle<vc_PelStorage> store) : vcPelBuffer_const<T>(std::move(store)) {}
  static T* refillFresh_(vcPelBuffer_const<T>& view, const vcRectangle<long>& area);
};

// Sets every pixel of buf's window to value.
template <class T>
void vfPelSet(vcPelBuffer<T>& buf, const std::type_identity_t<T>& value);
// Sets the pixels of area (image coordinates) that lie inside buf's window
// to value; the rest of area is ignored.
template <class T>
void vfPelSet(vcPelBuffer<T>& buf, const vcRectangle<long>& area, const std::type_identity_t<T>& value);

// dst = map[src] over the common window size: the pixel at window-relative
// (i, j) of src, value v, sets dst's pixel at window-relative (i, j) to
// map[v], or to v itself when v is beyond the end of map (so an empty map
// copies). i < min(widths), j < min(heights). dst may share pixels with src,
// overlapping or not.
void vfPelMap(const vcPelBuffer_const<unsigned char>& src, vcPelBuffer<unsigned char>& dst,
              const std::vector<unsigned char>& map);

// Archive form of an 8-bit image: version byte 0, a null flag, then for a
// non-null buffer its window (x, y, width, height in image coordinates, 32-bit
// each), its client-from-image transform and the window's pixels row by row.
// Loading gives fresh storage covering exactly the window; sizes the archive
// cannot hold throw vcArchive::BadData before anything is allocated, another
// version vcArchive::UnknownVersion. A failed load leaves image unchanged.
vcArchive& operator||(vcArchive& ar, vcPelBuffer<unsigned char>& image);
// The same form; a loaded read-only view gets fresh pixels of its own.
vcArchive& operator||(vcArchive& ar, vcPelBuffer_const<unsigned char>& image);

extern template class vcPelBuffer_const<unsigned char>;
extern template class vcPelBuffer_const<unsigned short>;
extern template class vcPelBuffer_const<vcPackedRGB16Pel>;
extern template class vcPelBuffer_const<vcPackedRGB32Pel>;
extern template class vcPelBuffer<unsigned char>;
extern template class vcPelBuffer<unsigned short>;
extern template class vcPelBuffer<vcPackedRGB16Pel>;
extern template class vcPelBuffer<vcPackedRGB32Pel>;
