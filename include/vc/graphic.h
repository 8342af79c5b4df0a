// Retained graphics: vcGraphic, the base of persistent, reference-counted
// drawing objects that pair a shape (or a composite) with the vcGraphicProps
// that say how to draw it. Graphics are shared through vcPtrHandle<vcGraphic>
// and draw themselves on a tablet through vcUITablet::draw(const vcGraphic&, Layers).
//
// Coordinates are client coordinates of the tablet that draws the graphic;
// angles follow <vc/core/shape.h>. The shape graphics are in
// <vc/graphic_shapes.h>, groups, text and the other special graphics in
// <vc/graphic_special.h>, lists of graphics in <vc/glist.h>.
#pragma once

#include <string>

#include <vc/core/handle.h>
#include <vc/core/persistent.h>
#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/dispprop.h>
#include <vc/uierror.h>
#include <vc/uitypes.h>

class vcShape;
class vcUITablet;
class vcGraphic;
class vcGraphicGroup;
class vcGraphicList;

// Told before a watched graphic changes (see vcGraphic::watch), so that
// what is derived from the graphic (a picking index) can be brought up to
// date before it is used again. Called before the change is made: read the
// graphic later, not inside the call. A watcher watches one graphic at a
// time and must stop (vcGraphic::unwatch) before either dies.
class vcGraphicWatcher {
public:
  virtual ~vcGraphicWatcher() = default;
  virtual void graphicChanging(const vcGraphic& g) noexcept = 0;
  // The graphic watched, or null.
  const vcGraphic* watched() const noexcept { return watched_; }

protected:
  vcGraphicWatcher() = default;
  // A copy watches nothing.
  vcGraphicWatcher(const vcGraphicWatcher&) noexcept {}
  vcGraphicWatcher& operator=(const vcGraphicWatcher&) noexcept { return *this; }

private:
  friend class vcGraphic;
  const vcGraphic* watched_ = nullptr;
  vcGraphicWatcher* next_ = nullptr;
};

class vcGraphic : public virtual vcPersistent, public virtual vcRepBase {
public:
  // Base of the graphic errors; carries the message given at the throw.
  class Errors : public vcExceptionWithString {
  protected:
    Errors() = default;
    explicit Errors(const std::string& m) : vcExceptionWithString(m) {}
    void dispatchSerialize(vcArchive& ar) override;

  private:
    void serialize_(vcArchive& ar, unsigned char version);
  };
  // An argument out of range, such as an item index of a group.
  class BadParams : public Errors {
  public:
    BadParams() = default;
    explicit BadParams(const std::string& m) : Errors(m) {}
    VC_EXCEPTION_LEAF(BadParams);
    VC_ERROR_SERIALIZE_MEMBERS();
  };
  // A shape for which no graphic class exists.
  class NoGraphicForShape : public Errors {
  public:
    NoGraphicForShape() = default;
    explicit NoGraphicForShape(const std::string& m) : Errors(m) {}
    VC_EXCEPTION_LEAF(NoGraphicForShape);
    VC_ERROR_SERIALIZE_MEMBERS();
  };

  // The archive version written by the vcGraphic part; version 0 held a pen
  // color instead of the props.
  static constexpr unsigned char ckGraphicVersion = 1;

  // Watchers still attached are let go.
  ~vcGraphic() override;

  const vcGraphicProps& props() const noexcept { return props_; }
  // A modifiable reference; notifies the persistent base first.
  vcGraphicProps& props();
  // Assigns p, then lets the graphic pass it on (a group to its items).
  void props(const vcGraphicProps& p);
  const vcColor& color() const noexcept { return props_.penColor(); }
  // Sets only the pen color, then passes the props on as props(p) does.
  void color(const vcColor& c);

  // A new graphic of this one mapped by x (x maps client coordinates).
  virtual vcPtrHandle<vcGraphic> map(const vcXform<2>& x) const = 0;
  virtual vcPtrHandle<vcGraphic> clone() const = 0;
  // The bounding box in client coordinates; empty when there is none.
  virtual vcRect encloseRect() const = 0;
  // Distance from p (client coordinates) to the graphic, in client units.
  virtual double distToPoint(const vcVector<2>& p) const = 0;
  // True for a graphic that has nothing to draw (an empty text or group).
  virtual bool isNull() const { return false; }

  // The graphic of shape drawn with props (see <vc/graphic_shapes.h> for the
  // classes, in the order they are tried): a group for a vcShapeTree, a null
  // handle for a null shape; vcGraphic::NoGraphicForShape for a shape that
  // has no graphic class.
  static vcPtrHandle<vcGraphic> makeShapeGraphic(const vcShape* shape, const vcGraphicProps& props);
  static vcPtrHandle<vcGraphic> makeShapeGraphic(const vcShape& shape, const vcGraphicProps& props);
  static vcPtrHandle<vcGraphic> makeShapeGraphic(const vcPtrHandle_const<vcShape>& shape,
                                                 const vcGraphicProps& props);

  // Archive part: version byte 1, the persistent part, the props.
  void dispatchSerialize(vcArchive& ar) override;

  // Registers w to be told before every change made through this graphic's
  // setters (it sets the mutation flag). A watcher that already watches a
  // graphic throws vcBadArgument. unwatch does nothing for a watcher of
  // another graphic. Copies of a graphic start unwatched.
  void watch(vcGraphicWatcher& w) const;
  void unwatch(vcGraphicWatcher& w) const noexcept;

protected:
  friend class vcUITablet;
  friend class vcGraphicGroup;
  friend class vcGraphicList;

  // Default props (<vc/dispprop.h>).
  vcGraphic();
  // Props vcGraphicProps(c, 1, solid, unfilled).
  explicit vcGraphic(const vcColor& c);
  explicit vcGraphic(const vcGraphicProps& p);
  vcGraphic(const vcGraphic& o);
  vcGraphic& operator=(const vcGraphic& o);

  // True for every graphic of this library: the tablet draws only those.
  bool builtin() const noexcept { return builtin_; }

  // A drawing hook for other surfaces; does nothing here.
  virtual void draw(void* surface) const;
  // Draws the graphic on the tablet's given layers.
  virtual void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const = 0;
  // Called after the props changed.
  virtual void setProps_(const vcGraphicProps& p);
  virtual void serialize_(vcArchive& ar, unsigned char version);

  // Sets the props without notifying or passing them on (archive loads and rollbacks).
  void restoreProps_(const vcGraphicProps& p) { props_ = p; }
  // Counts the change and tells the watchers.
  void mutating_() override;

private:
  vcGraphicProps props_;
  bool builtin_ = true;
  // Head of the watchers' chain (most graphics have none).
  mutable vcGraphicWatcher* watchers_ = nullptr;
};
