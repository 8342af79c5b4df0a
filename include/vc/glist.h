// vcGraphicList: an ordered list of graphic handles, drawn, turned into a
// sketch or archived as a whole; and its exchange with the graphics-list
// library's vgr_list (<vgr/vgr.h>).
#pragma once

#include <vector>

#include <vc/graphic.h>
#include <vc/uisketch.h>
#include <vc/uitypes.h>
#include <vgr/vgr.h>

class vcArchive;
class vcUITablet;

class vcGraphicList {
public:
  vcGraphicList() = default;
  // Deep copy: each graphic is cloned; null handles stay null.
  vcGraphicList(const vcGraphicList& o);
  vcGraphicList& operator=(const vcGraphicList& o);
  ~vcGraphicList();

  std::vector<vcPtrHandle<vcGraphic>>& items() noexcept { return items_; }
  const std::vector<vcPtrHandle<vcGraphic>>& items() const noexcept { return items_; }

  void reset();
  // Appends a clone of g when copy is set, else g itself (shared). A null g
  // is appended as a null handle.
  void append(vcPtrHandle<vcGraphic> g, bool copy);
  // Appends every item of other the same way.
  void append(vcGraphicList& other, bool copy);
  void append(const vcGraphicList& other);

  // Draws each item in order on the tablet's given layers; a null item
  // throws vcBadPointer after the items before it were drawn.
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const;
  // The sketch that drawing the list on a new recording tablet records.
  vcUISketch sketch(vcUITabletTypes::Layers layers) const;

private:
  std::vector<vcPtrHandle<vcGraphic>> items_;
};

// Archive form: version byte 0, the count (32 bits), then each item as a
// shared object pointer, so a graphic held twice is read back as one. A
// failed read throws and leaves the list as it was.
vcArchive& operator||(vcArchive& ar, vcGraphicList& list);

// Appends to list a graphic for each record of src, in order (the record
// types and their graphics are listed in <vgr/vgr.h>; colors through
// vfColor). src's bytes are checked before anything is appended: a malformed
// list (see vgr_list_decode) or a record that describes no valid shape throws
// vcBadArgument naming the record, and list is left as it was. A null src
// throws vcBadPointer.
void vfGraphicListAppend(vcGraphicList& list, const vgr_list* src);
// Draws each record of src on the tablet's given layers. The whole list is
// checked first, as vfGraphicListAppend does, so a malformed list draws
// nothing.
void vfUITabletDraw(vcUITablet& t, const vgr_list* src, vcUITabletTypes::Layers layers);
// Appends to dst a record for each graphic of list that has one (point
// icons, segments, lines, rectangles, generalised rectangles, affine
// rectangles, polylines, segment sets and texts); other graphics are skipped.
// A generalised rectangle keeps its center, side lengths, orientation and
// rounding: its skew is lost. A null handle throws vcBadPointer and a failed
// append vcFailure; either way dst is left as it was.
void vfGraphicListAppend(vgr_list* dst, const vcGraphicList& list);
