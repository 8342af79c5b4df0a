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
#include <typeinfo>

#include <vc/core/archive.h>
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

  // How one class's part of a graphic is archived: the version byte written
  // (every version up to it is read) and what vcArchive::UnknownVersion names
  // for a later one: source and line, or with a null source the mangled
  // type name of the graphic and 0.
  struct ArchiveForm {
    unsigned char version;
    const char* source;
    int line;
  };

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

  // Sets the props without notifying or passing them on (archive loads).
  void restoreProps_(const vcGraphicProps& p) { props_ = p; }
  // The archive exchange of one class's part of a graphic, written once:
  // unless the part (self, size) was already exchanged, the version byte,
  // checked against form, then exchange(ar, self, version).
  void exchangePart_(vcArchive& ar, void* self, unsigned size, const ArchiveForm& form,
                     void (*exchange)(vcArchive& ar, void* self, unsigned char version));
  // Counts the change and tells the watchers.
  void mutating_() override;

private:
  vcGraphicProps props_;
  bool builtin_ = true;
  // Head of the watchers' chain (most graphics have none).
  mutable vcGraphicWatcher* watchers_ = nullptr;
};

// vcGraphicBase: what every concrete graphic class shares, written once.
//
// A concrete graphic G derives from vcGraphicBase<G>, or from
// vcGraphicBase<G, B> when it extends a graphic part B (itself a vcGraphic),
// and gets:
// - clone(): a copy of G in a new handle;
// - make() and sExemplar: registration with the class factory under G's
//   qualified name;
// - dispatchSerialize(): the version byte, B's part, then G's fields. A load
//   reads into a default-made G and replaces the target only when all of it
//   was read (vcArchive::exchangeAside), so a failed load changes nothing.
//
// G supplies, besides its drawing and measures (map, encloseRect,
// distToPoint, draw):
// - a public default constructor and a copy constructor;
// - `static constexpr vcGraphic::ArchiveForm kArchiveForm`, its version and
//   the source named by an unknown one;
// - a private void archiveFields_(vcArchive& ar, unsigned char version) that
//   exchanges G's own fields in their archive order (reading older versions
//   as they were written), with `friend class vcGraphicBase<G>;` (or <G, B>).
template <class G, class B = vcGraphic>
class vcGraphicBase : public B {
public:
  using Instantiator = vc_Instantiator;

  vcPtrHandle<vcGraphic> clone() const override {
    return vcPtrHandle<vcGraphic>(new G(static_cast<const G&>(*this)));
  }
  static vcPersistent* make() { return new G; }
  static const Instantiator sExemplar;

  void dispatchSerialize(vcArchive& ar) override {
    // Naming the registration here instantiates it wherever G's virtual
    // members are, so no class can be archived without being registered.
    static_cast<void>(&sExemplar);
    this->exchangePart_(ar, static_cast<G*>(this), sizeof(G), G::kArchiveForm, &exchange_);
  }

protected:
  using B::B;
  vcGraphicBase() = default;

  void serialize_(vcArchive& ar, unsigned char version) override {
    B::dispatchSerialize(ar);
    static_cast<G&>(*this).archiveFields_(ar, version);
  }

private:
  static void exchange_(vcArchive& ar, void* self, unsigned char version) {
    ar.exchangeAside(*static_cast<G*>(self), G(), [&](G& g) { g.vcGraphicBase::serialize_(ar, version); });
  }
};

template <class G, class B>
const vc_Instantiator vcGraphicBase<G, B>::sExemplar(typeid(G), &vcGraphicBase<G, B>::make);
