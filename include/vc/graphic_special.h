// Graphics that are not one shape drawn through its tablet overload: a group
// of graphics that behaves as one, a text label, a cross, a point icon and an
// ellipse annulus section with arrow heads. Coordinates are client
// coordinates unless stated otherwise.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include <vc/core/ellipsearc.h>
#include <vc/core/points.h>
#include <vc/graphic.h>
#include <vc/uistring.h>

// A graphic of one item, exchanged after the vcGraphic part (as a persistent
// object when it is one): the crosses, point icons and sections below.
template <class G, class T>
class vcGraphicItem : public vcGraphicBase<G> {
public:
  vcGraphicItem() = default;
  // Props vcGraphicProps(color, 1, solid, unfilled).
  vcGraphicItem(const T& item, const vcColor& color) : vcGraphicBase<G>(color), item_(item) {}
  vcGraphicItem(const T& item, const vcGraphicProps& props) : vcGraphicBase<G>(props), item_(item) {}

  // A modifiable item; notifies the persistent base first.
  T& item() {
    this->notifyMutation_();
    return item_;
  }
  const T& item() const noexcept { return item_; }

protected:
  void archiveFields_(vcArchive& ar, unsigned char) {
    if constexpr (std::is_base_of_v<vcPersistent, T>)
      ar || static_cast<vcPersistent&>(item_);
    else
      ar || item_;
  }

private:
  friend class vcGraphicBase<G>;
  T item_;
};

// An ordered group of graphics drawn, measured and mapped as one. Items may
// be null handles, which every operation skips. Setting the group's props
// sets the props of every item, nested groups included.
class vcGraphicGroup : public vcGraphicBase<vcGraphicGroup> {
public:
  // Version byte 0, the vcGraphic part, the items (version byte 0, an
  // unsigned 32-bit count, each item as a shared object pointer), isNull.
  static constexpr ArchiveForm kArchiveForm{0, "dispc/glist", 325};

  // An empty group: isNull() is true.
  vcGraphicGroup();
  // Deep copies: each non-null item is cloned, null items stay null.
  vcGraphicGroup(const vcGraphicGroup& o);
  vcGraphicGroup& operator=(const vcGraphicGroup& o);
  // Takes o's items as they are (shared, not cloned).
  vcGraphicGroup& operator=(vcGraphicGroup&& o);
  ~vcGraphicGroup() override;

  // With copy the items become clones of v's non-null elements (null ones
  // stay null), else the group shares v's handles. The group then takes the
  // props of its first non-null item (see isNull()). Items that hold this
  // group, directly or through nested groups, throw vcGraphic::BadParams
  // and leave the group as it was (an archive cannot hold such a group: a
  // stored object that refers to itself while it is read is refused).
  void items(const std::vector<vcPtrHandle<vcGraphic>>& v, bool copy);
  // Shares the graphics of v (a graphic of v may be changed through the
  // group); refuses items holding the group as above.
  void items(const std::vector<vcPtrHandle_const<vcGraphic>>& v);
  void getItems(std::vector<vcPtrHandle_const<vcGraphic>>& out) const;
  // Item i; vcGraphic::BadParams "Item index out of range" unless 0 <= i < numItems().
  vcPtrHandle_const<vcGraphic> item(long i) const;
  long numItems() const noexcept { return static_cast<long>(items_.size()); }

  vcPtrHandle<vcGraphic> map(const vcXform<2>& x) const override;
  // Empty when the group is null; else the union of the items' rectangles.
  vcRect encloseRect() const override;
  // +infinity when the group is null; else the smallest item distance.
  double distToPoint(const vcVector<2>& p) const override;
  // True when no item is a non-null graphic that has something to draw, or
  // the group was set up that way.
  bool isNull() const override { return isNull_; }

protected:
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const override;
  using vcGraphic::draw;
  void setProps_(const vcGraphicProps& p) override;

private:
  friend class vcGraphic;
  friend class vcGraphicBase<vcGraphicGroup>;
  void itemsChanged_();
  void archiveFields_(vcArchive& ar, unsigned char version);

  std::vector<vcPtrHandle<vcGraphic>> items_;
  bool isNull_ = true;
};

// A text label drawn at location, moved by offset display pixels.
class vcGraphicText : public vcGraphicBase<vcGraphicText> {
public:
  // Version byte 0, the vcGraphic part, text, location, background color,
  // format, offset.
  static constexpr ArchiveForm kArchiveForm{0, "dispc/glist", 338};

  // An empty text at (0, 0): isNull().
  vcGraphicText();
  // location: client coordinates; offset: display pixels from the location
  // (truncated toward zero when drawn). Props vcGraphicProps(color, 1, solid, unfilled).
  // An offset that is not finite or whose whole pixels do not fit 32 bits,
  // or a font id beyond 32 bits, throws vcGraphic::BadParams: the sketch
  // record of the drawn text holds each in 4 bytes. The setters of offset
  // and format refuse them the same way and change nothing; loading them
  // throws a vcArchive error.
  vcGraphicText(const std::string& text, const vcPoint& location, const vcColor& color,
                const vcColor& backgroundColor, const vcUIFormat& format, const vcVector<2>& offset);

  std::string& item();
  const std::string& item() const noexcept { return text_; }
  const vcPoint& location() const noexcept { return location_; }
  void location(const vcPoint& p);
  const vcVector<2>& offset() const noexcept { return offset_; }
  void offset(const vcVector<2>& v);
  const vcColor& backgroundColor() const noexcept { return background_; }
  void backgroundColor(const vcColor& c);
  const vcUIFormat& format() const noexcept { return format_; }
  void format(const vcUIFormat& f);

  // The location mapped; offset (0, 0).
  vcPtrHandle<vcGraphic> map(const vcXform<2>& x) const override;
  // A text has no extent in client units: an empty rectangle.
  vcRect encloseRect() const override { return vcRect(); }
  // 1e308: a text is never the nearest graphic.
  double distToPoint(const vcVector<2>&) const override { return 1e308; }
  bool isNull() const override { return text_.empty(); }

protected:
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const override;
  using vcGraphic::draw;

private:
  friend class vcGraphicBase<vcGraphicText>;
  void archiveFields_(vcArchive& ar, unsigned char version);

  std::string text_;
  vcPoint location_;
  vcColor background_;
  vcUIFormat format_;
  vcVector<2> offset_;
};

// A cross: a center, an angle and an arm length in display pixels.
class vcGraphicCross : public vcGraphicItem<vcGraphicCross, vcCross> {
public:
  // Version byte 0, the vcGraphic part, the cross.
  static constexpr ArchiveForm kArchiveForm{0, "dispc/glist", 430};

  vcGraphicCross() = default;
  using vcGraphicItem::vcGraphicItem;

  vcPtrHandle<vcGraphic> map(const vcXform<2>& x) const override;
  // Its arms are display pixels: an empty rectangle in client units.
  vcRect encloseRect() const override { return vcRect(); }
  // Distance to the center.
  double distToPoint(const vcVector<2>& p) const override;

protected:
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const override;
  using vcGraphic::draw;
};

// The tablet's point icon at a point.
class vcGraphicPointIcon : public vcGraphicItem<vcGraphicPointIcon, vcPoint> {
public:
  // Version byte 0, the vcGraphic part, the point.
  static constexpr ArchiveForm kArchiveForm{0, "dispc/glist", 389};

  vcGraphicPointIcon() = default;
  using vcGraphicItem::vcGraphicItem;

  vcPtrHandle<vcGraphic> map(const vcXform<2>& x) const override;
  // The unit rectangle with its origin at the point.
  vcRect encloseRect() const override;
  double distToPoint(const vcVector<2>& p) const override;

protected:
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const override;
  using vcGraphic::draw;
};

// An ellipse annulus section; its arrow heads follow the props' arrowHead
// and arrowHeadForward switches.
class vcGraphicEllipseAnnulusSection
    : public vcGraphicItem<vcGraphicEllipseAnnulusSection, vcEllipseAnnulusSection> {
public:
  // Version byte 1, the vcGraphic part, the section; version 0 (read only)
  // adds two bools, arrowHead then arrowHeadForward.
  static constexpr ArchiveForm kArchiveForm{1, "dispc/glist", 473};

  vcGraphicEllipseAnnulusSection() = default;
  using vcGraphicItem::vcGraphicItem;
  vcGraphicEllipseAnnulusSection(const vcEllipseAnnulusSection& item, const vcColor& color, bool arrowHead,
                                 bool arrowHeadForward);

  // Sets the props' arrowHead and arrowHeadForward (notifying).
  void drawArrowHead(bool arrowHead, bool forward);
  bool drawArrowHead() const noexcept { return props().arrowHead(); }
  bool drawArrowHeadForward() const noexcept { return props().arrowHeadForward(); }

  vcPtrHandle<vcGraphic> map(const vcXform<2>& x) const override;
  vcRect encloseRect() const override;
  double distToPoint(const vcVector<2>& p) const override;

protected:
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const override;
  using vcGraphic::draw;

private:
  friend class vcGraphicBase<vcGraphicEllipseAnnulusSection>;
  void archiveFields_(vcArchive& ar, unsigned char version);
};
