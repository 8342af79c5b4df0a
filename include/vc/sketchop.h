// The objects that stand for one sketch record while it is parsed, drawn again
// or archived: the header (opcode, layer, color, pen properties) and one record
// object per opcode (the payload). Sketch byte streams may come from files, so
// every parse is bounded by the bytes available and malformed records throw
// vcUIError::InvalidUISketch.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <vc/color.h>
#include <vc/core/handle.h>
#include <vc/core/persistent.h>
#include <vc/dispprop.h>
#include <vc/uitypes.h>

class vcArchive;
class vcUISketch;
class vcUITablet;

// The head of a record and the props record that may precede it. A header
// reused for consecutive records keeps the last props it parsed, so a record
// without a props record is drawn with the props in force.
class vc_UISketchOpHeader : public virtual vcPersistent, public virtual vcRepBase {
public:
  using Layers = vcUITabletTypes::Layers;

  vc_UISketchOpHeader();
  vc_UISketchOpHeader(const vc_UISketchOpHeader& other);
  vc_UISketchOpHeader& operator=(const vc_UISketchOpHeader& other);
  ~vc_UISketchOpHeader() override = default;

  // Parses the props record (when p starts with the props marker) and the
  // 8-byte head from the n bytes at p; returns the bytes consumed. The head's
  // color becomes the props' pen color. Throws vcUIError::InvalidUISketch when
  // the bytes do not hold a well-formed props record and head; the header is
  // then unchanged.
  virtual long parseByteStream(const unsigned char* p, long n);
  // Appends the props record (when the header has props and they differ from
  // the sketch's current ones) and the head to sketch.
  virtual void populateSketch(vcUISketch& sketch) const;

  bool hasProps() const noexcept { return hasProps_; }
  signed char propsVersion() const noexcept { return propsVersion_; }
  vcGraphicProps& props() noexcept { return props_; }
  const vcGraphicProps& props() const noexcept { return props_; }
  Layers layer() const noexcept { return layer_; }
  void layer(Layers l) noexcept { layer_ = l; }
  const vcColor& color() const noexcept { return color_; }
  long opcode() const noexcept { return opcode_; }

  void dispatchSerialize(vcArchive& ar) override;

protected:
  virtual void serialize_(vcArchive& ar, unsigned char version);

private:
  friend struct vc_HeadReader;
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;
  // Takes the head's opcode, layer and color (the props' pen color too).
  void commitHead_(unsigned char opcode, unsigned char layer, const vcColor& color) {
    props_.penColor(color);
    opcode_ = opcode;
    layer_ = static_cast<Layers>(layer);
    color_ = color;
  }

  bool hasProps_ = false;
  signed char propsVersion_ = 0;
  vcGraphicProps props_;
  Layers layer_ = vcUITabletTypes::eBoth;
  vcColor color_;
  long opcode_ = -1;
};

// The payload of one record. One concrete class per opcode holds the value
// the payload describes, in the form its draw passes to the tablet.
class vc_UISketchOpData : public virtual vcPersistent, public virtual vcRepBase {
public:
  ~vc_UISketchOpData() override = default;

  // Reads the payload (current layout) from the n bytes at p into this
  // object; returns the bytes consumed. Throws vcUIError::InvalidUISketch for
  // a payload that does not fit in n bytes or holds invalid values.
  virtual long parseByteStream(const unsigned char* p, long n) = 0;
  // Reads a payload written in the version-0 layout; by default the current one.
  virtual long parseVersion0ByteStream(const unsigned char* p, long n) { return parseByteStream(p, n); }
  // Appends this payload, in the current layout, to sketch.
  virtual void populateSketch(vcUISketch& sketch) const = 0;
  // Draws the operation on tablet with the header's props, color and layer.
  virtual void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const = 0;
  // The payload's fields in order, as text for people (tools that list
  // records); text fields are quoted with every unprintable byte escaped.
  virtual std::string describe() const = 0;

  void dispatchSerialize(vcArchive& ar) override;

protected:
  vc_UISketchOpData() = default;
  // The archive form of the concrete record; the base writes its own part.
  virtual void serialize_(vcArchive& ar, unsigned char version);
};

// The name of the record kind of opcode ("?" for a number without one), for
// tools that list records.
const char* vfSketchOpcodeName(long opcode) noexcept;

// A new record object for opcode, owned by the caller. Opcodes above 47 and
// 13, 24, 36 and 40 have no record class: vcUIError::InvalidUISketch.
vc_UISketchOpData* vfCreateUISketchOpData(long opcode);

// Parses the record starting at offset: the header parses the head (and a
// props record before it), a record object for its opcode parses the payload.
// Returns the record's length in bytes. When out is non-null the record object
// is stored there (the caller owns it); otherwise it is deleted. Pass the same
// header for consecutive records so that props carry over. Every read is
// bounded by the sketch's size: a record that does not fit throws
// vcUIError::InvalidUISketch.
long vfParseUISketch(const vcUISketch& sketch, long offset, vc_UISketchOpHeader& header, vc_UISketchOpData** out);

// One record of a sketch as a walk over it (vcUISketchRecords) meets it.
// The header and the payload object belong to the walk and hold this
// record until the walk moves on.
struct vcUISketchRecord {
  long offset = 0;          // byte offset of the record's first byte in the sketch
  long headSize = 0;        // bytes of its props record (when it has one) and its 8-byte head
  long size = 0;            // bytes of the whole record, payload included
  bool ownProps = false;    // the record starts with a props record of its own
  vc_UISketchOpHeader* header = nullptr;  // the head, with the props in force
  vc_UISketchOpData* data = nullptr;      // the payload, parsed
  std::span<const unsigned char> payload;  // the payload's bytes

  long opcode() const noexcept { return header->opcode(); }
};

// How a walk (vcUISketchRecords) reads records.
struct vcUISketchWalkOptions {
  bool freshHeaders = false;    // a default header for every record
  bool version0Layout = false;  // payloads in the older archive layout
};

// The records of a sketch, in order, each parsed once and checked against
// the bytes available: an input range for range-for loops. A malformed
// record throws vcUIError::InvalidUISketch naming its byte offset and
// opcode when the walk reaches it (at begin() or ++). The sketch must
// outlive the walk and stay unchanged during it.
//
// One header serves every record, so a props record stays in force for the
// records after it (as replay draws them), unless freshHeaders asks for a
// new header per record (as the archive stores them). One payload object per
// opcode is made when first met and reused, so a walk allocates per opcode,
// not per record.
class vcUISketchRecords {
public:
  using Options = vcUISketchWalkOptions;

  class iterator {
  public:
    using value_type = vcUISketchRecord;
    using difference_type = std::ptrdiff_t;
    using iterator_concept = std::input_iterator_tag;

    iterator() = default;
    const vcUISketchRecord& operator*() const noexcept { return walk_->record_; }
    const vcUISketchRecord* operator->() const noexcept { return &walk_->record_; }
    iterator& operator++() {
      walk_->next_();
      return *this;
    }
    void operator++(int) { ++*this; }
    bool operator==(std::default_sentinel_t) const noexcept { return walk_->record_.size == 0; }

  private:
    friend class vcUISketchRecords;
    explicit iterator(vcUISketchRecords* walk) noexcept : walk_(walk) {}
    vcUISketchRecords* walk_ = nullptr;
  };

  explicit vcUISketchRecords(const vcUISketch& sketch, Options options = {});
  ~vcUISketchRecords();
  vcUISketchRecords(const vcUISketchRecords&) = delete;
  vcUISketchRecords& operator=(const vcUISketchRecords&) = delete;

  // Parses the first record; call once.
  iterator begin();
  std::default_sentinel_t end() const noexcept { return {}; }

  // Hands the current record's payload object over to the caller (a later
  // record of its opcode gets a new one).
  std::unique_ptr<vc_UISketchOpData> takeData();

private:
  void next_();

  const unsigned char* data_;
  long size_;
  Options options_;
  long at_ = 0;
  vc_UISketchOpHeader header_;
  std::vector<std::unique_ptr<vc_UISketchOpData>> objects_;  // one per opcode met
  vcUISketchRecord record_;
};
