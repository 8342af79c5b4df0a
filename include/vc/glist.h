// vcGraphicList: an ordered list of graphic handles, drawn, turned into a
// sketch or archived as a whole; and its exchange with the graphics-list
// library's vgr_list (<vgr/vgr.h>).
//
// Picking. A list answers "which graphic is under this point" from an index
// over its graphics' bounding boxes, built on the first pick and kept up to
// date by the list's own editing (append, insert, remove, reset) and by
// every change made through a graphic's setters. A pick measures with the
// graphic's own distToPoint; a graphic is picked only when that distance is
// below 1e308 (texts, null-valued graphics and collapsed shapes never are).
// Handing out the items for writing (items() on a non-const list) makes the
// next pick check the whole list, and re-index it when it changed; read
// through a const list to avoid that. Changes to graphics nested in a
// group, made through other handles, are not seen: set the group's items
// again.
#pragma once

#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include <vc/graphic.h>
#include <vc/uisketch.h>
#include <vc/uitypes.h>
#include <vgr/vgr.h>

class vcArchive;
class vcUITablet;
class vc_GraphicIndex;

// One picked graphic.
struct vcGraphicPick {
  vcPtrHandle<vcGraphic> graphic;
  // Its position in the list.
  long index = -1;
  // Its distToPoint from the pick point: client units, or screen pixels for
  // the picks given a tablet.
  double distance = 0.0;
};

class vcGraphicList {
public:
  vcGraphicList();
  // Deep copy: each graphic is cloned; null handles stay null.
  vcGraphicList(const vcGraphicList& o);
  vcGraphicList& operator=(const vcGraphicList& o);
  ~vcGraphicList();

  // The items for writing; the next pick checks them again (see above).
  std::vector<vcPtrHandle<vcGraphic>>& items() noexcept;
  const std::vector<vcPtrHandle<vcGraphic>>& items() const noexcept { return items_; }

  void reset();
  // Appends a clone of g when copy is set, else g itself (shared). A null g
  // is appended as a null handle.
  void append(vcPtrHandle<vcGraphic> g, bool copy);
  // Appends every item of other the same way.
  void append(vcGraphicList& other, bool copy);
  void append(const vcGraphicList& other);
  // Inserts g (a clone when copy is set) before position at, 0 to size;
  // removes count items from position at. Positions out of range throw
  // vcGraphic::BadParams and change nothing.
  void insert(long at, vcPtrHandle<vcGraphic> g, bool copy);
  void remove(long at, long count = 1);

  // Picks. p: client coordinates; distances in client units, inclusive.
  // The graphic nearest p within maxDistance (ties: the lower position).
  std::optional<vcGraphicPick> nearest(const vcVector<2>& p,
                                       double maxDistance = std::numeric_limits<double>::infinity()) const;
  // Every graphic within radius of p, nearest first (ties by position).
  std::vector<vcGraphicPick> within(const vcVector<2>& p, double radius) const;
  // Every graphic whose bounding box meets r (client coordinates, edges
  // included), nearest to r's center first: what repainting r must redraw.
  // Graphics without a box (texts, crosses by their center) are left out.
  std::vector<vcGraphicPick> intersecting(const vcRect& r) const;
  // The same picks on a tablet's view: scopePoint in the tablet's scope
  // coordinates (pixels, what its scaledMap() gives), radius and reported
  // distances in scope pixels, measured on the screen: exact under rotated,
  // scaled, mirrored and unevenly scaled maps (the last by mapping the
  // candidates). A map that cannot be inverted throws vcBadArgument.
  std::optional<vcGraphicPick> nearest(const vcUITablet& t, const vcVector<2>& scopePoint, double radiusPixels) const;
  std::vector<vcGraphicPick> within(const vcUITablet& t, const vcVector<2>& scopePoint, double radiusPixels) const;
  // Builds the pick index now rather than on the first pick.
  void buildPickIndex() const;

  // Draws each item in order on the tablet's given layers; a null item
  // throws vcBadPointer after the items before it were drawn.
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const;
  // The sketch that drawing the list on a new recording tablet records.
  vcUISketch sketch(vcUITabletTypes::Layers layers) const;

private:
  // The pick index, made on first use.
  vc_GraphicIndex& pickIndex() const;

  std::vector<vcPtrHandle<vcGraphic>> items_;
  mutable std::unique_ptr<vc_GraphicIndex> pickIndex_;
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
