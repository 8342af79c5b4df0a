// vcUISketch: the display list. A flat, growable byte stream of drawing
// records (a props record when the pen properties change, an 8-byte head, the
// payload) that a recording tablet appends to, and that can be cut, joined,
// inserted, copied, archived and replayed.
#pragma once

#include <vc/dispprop.h>

class vcArchive;
class vcColor;
class vcUISketch;
class vc_UISketchOpHeader;

// A byte offset into a sketch. A mark taken with vcUISketch::mark() lies on a
// record boundary; marks are plain numbers, not tied to one sketch object.
class vcUISketchMark {
public:
  vcUISketchMark() noexcept = default;
  bool operator==(const vcUISketchMark& o) const noexcept { return offset_ == o.offset_; }
  bool operator!=(const vcUISketchMark& o) const noexcept { return offset_ != o.offset_; }
  bool operator<(const vcUISketchMark& o) const noexcept { return offset_ < o.offset_; }

  // The byte offset.
  long offset() const noexcept { return offset_; }

private:
  friend class vcUISketch;
  friend vcArchive& operator||(vcArchive& ar, vcUISketchMark& m);
  explicit vcUISketchMark(long offset) noexcept : offset_(offset) {}
  long mark() const noexcept { return offset_; }

  long offset_ = 0;
};

// A signed-char version (0; not examined on reading) and the offset as a long.
vcArchive& operator||(vcArchive& ar, vcUISketchMark& m);

class vcUISketch {
public:
  // The byte that opens a props record.
  static constexpr signed char kPropsMarker = 40;
  // Size of a record head: opcode, layer, 6-byte color.
  static constexpr long kHeadSize = 8;

  vcUISketch() noexcept = default;
  // Same bytes and capacity; default current props.
  vcUISketch(const vcUISketch& other);
  vcUISketch(vcUISketch&& other) noexcept;
  ~vcUISketch();
  // Copies other's bytes; the current props stay as they were.
  vcUISketch& operator=(const vcUISketch& other);
  vcUISketch& operator=(vcUISketch&& other) noexcept;

  // Reserves n bytes at the end and returns a pointer to the first of them,
  // valid until the next operation that can grow the buffer.
  unsigned char* append(long n) {
    // The common case, room to spare, stays inline: recording is on the
    // drawing path of every operation.
    if (n >= 0 && n <= capacity_ - size_) {
      unsigned char* at = data_ + size_;
      size_ += n;
      return at;
    }
    return appendSlow_(n);
  }
  void append(const void* bytes, long n);
  // Appends a record head: op, layer, then the 6-byte color (flags, index,
  // red, green, blue, spare byte 0).
  void opcode(signed char op, signed char layer, const vcColor& color);
  // Appends the marker op and the 21-byte props record body unless props
  // equal the current props; then props become the current props.
  void opcode(signed char op, const vcGraphicProps& props) {
    if (!(props == props_)) opcodeProps_(op, props);
  }

  vcUISketch& operator+=(const vcUISketch& other);
  // This sketch's bytes followed by other's, capacity exactly the sum of sizes.
  vcUISketch operator+(const vcUISketch& other) const;

  // The current size as a mark.
  vcUISketchMark mark() const noexcept { return vcUISketchMark(size_); }
  // Bytes from..to-1 as a new sketch (capacity to-from); empty unless from < to.
  vcUISketch subSketch(vcUISketchMark from, vcUISketchMark to) const;
  // Puts other's bytes at offset at, moving the rest up.
  vcUISketch& insert(const vcUISketch& other, vcUISketchMark at);
  // Removes bytes from..to-1; nothing when from >= to.
  vcUISketch& remove(vcUISketchMark from, vcUISketchMark to);
  // Size 0, default current props; the buffer is kept for reuse.
  vcUISketch& erase() noexcept;
  // Frees the buffer; size and capacity 0, default current props.
  vcUISketch& eraseAndDelete() noexcept;
  bool isNull() const noexcept { return size_ == 0; }

  // Read-only views of the buffer.
  const unsigned char* data() const noexcept { return data_; }
  long size() const noexcept { return size_; }
  long capacity() const noexcept { return capacity_; }

private:
  friend class vcUITablet;
  friend vcArchive& operator||(vcArchive& ar, vcUISketch& s);
  // The archive reader rebuilds props records exactly as they were stored.
  friend void vfAppendArchivedHead(vcUISketch& into, const vc_UISketchOpHeader& h);
  vcUISketch(const unsigned char* bytes, long n);
  const vcGraphicProps& props() const noexcept { return props_; }
  void props(const vcGraphicProps& p) { props_ = p; }

  unsigned char* appendSlow_(long n);
  void opcodeProps_(signed char op, const vcGraphicProps& props);
  // Grows the buffer by the growth rule so that n more bytes fit.
  void reserveMore_(long n);
  // Fails unless m lies within 0..size.
  void checkMark_(vcUISketchMark m) const;

  unsigned char* data_ = nullptr;
  long size_ = 0;
  long capacity_ = 0;
  vcGraphicProps props_;
};

// The archive form of a sketch: a signed-char version (1 is written), then
// the record count and, per record, the persistent header and the persistent
// record object. Reading appends the records to the sketch's contents in the
// current byte layout, and also accepts version 0 (a byte count and a raw byte
// stream in the older payload layouts). A failed load leaves the sketch as it
// was. Writing a sketch that holds a nested-sketch record (opcode 15) throws
// vcUIError::NotImplemented; another version throws vcArchive::UnknownVersion.
vcArchive& operator||(vcArchive& ar, vcUISketch& s);
