// vcUITablet: the client-coordinate drawing surface. A tablet maps its own
// client coordinates (doubles) onto one pixel surface (vcUIScope) per layer,
// and records every drawing call into its sketch (a vcUISketch display list)
// in client coordinates. Tablets form a tree: a child covers a rectangle of its
// parent's scope and draws through sub-scopes cut from its parent's.
//
// Every drawing operation runs two independent halves: it draws when
// okToDraw(layer) holds (visible, drawing on, a single drawable layer with a
// scope), mapping its geometry through scaledMap() into scope coordinates; and
// it records itself when the top of recordOn() is true, whether or not it drew.
//
// Refusals, each a vcUIError::BadParams thrown before anything is drawn or
// recorded: a position (point, pen, point icon, text, image, fill seed,
// sketch offset, client rectangle) that is not finite, or that maps to scope
// coordinates that are not finite when it is drawn; and, on a recording
// tablet, a value that a 4-byte field of the operation's record cannot hold
// (pixel offsets and rectangles, fill seeds, frame widths, font ids, image
// offsets and sizes, counts), which would otherwise replay as another drawing.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <vc/color.h>
#include <vc/core/pair.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/dispprop.h>
#include <vc/flagstack.h>
#include <vc/uirect.h>
#include <vc/uisketch.h>
#include <vc/uitypes.h>

class vcAffineRectangle;
class vcAnnulus;
class vcBezierCurve;
class vcCircle;
class vcCoordAxes;
class vcCross;
class vcCubicSpline;
class vcEllipse;
class vcEllipse2;
class vcEllipseAnnulus;
class vcEllipseAnnulusSection;
class vcEllipseArc;
class vcEllipseArc2;
class vcGenAnnulus;
class vcGenPoly;
class vcGenRect;
class vcGenShape;
class vcGraphic;
class vcLine;
class vcLineSeg;
class vcLineSegSet;
class vcPointSet;
class vcPolyline;
class vcRLEBuffer;
class vcShape;
class vcUIFormat;
class vcUIScope;
class vc2Point;
class vc2Wireframe;
class vc2XformBase;
class vcPackedRGB16Pel;
class vcPackedRGB32Pel;
template <class T>
class vcPelBuffer_const;
template <class T>
class vcPtrHandle_const;

// A record picked in a sketch (vcUITablet::nearestRecord).
struct vcUISketchPick {
  // Ordinal of the record (props records belong to the record they precede).
  long record = -1;
  // Byte offset of the record in the sketch, a record boundary.
  long offset = -1;
  // Scope pixels from the pick point to the record's ink.
  double distance = 0.0;
};

class vcUITablet : public vcUITabletTypes {
public:
  // ---- construction and the tree ---------------------------------------------

  // A tablet without scopes that records but does not draw (a sketch builder).
  vcUITablet();
  // A root tablet drawing on the given scopes (either may be null; not owned).
  // It draws, does not record, and is hidden until visible(true).
  vcUITablet(vcUIScope* image, vcUIScope* overlay);
  // A child covering rect (the parent's scope coordinates), with sub-scopes cut
  // from the parent's; appended on top of the parent's kids.
  vcUITablet(vcUITablet& parent, const vcUIRect& rect);
  // Copying takes the values of other member by member: maps, scale mode and
  // factors, the three flag stacks, updateLayers, interpolation, sketch,
  // hide count, stamps, scopeRect, drag displacement and clip rectangles.
  // The tree and the scopes are never shared in a way that could leave a
  // scope deleted twice or a parent or kid dangling:
  // - A copy of a child is a new child of the same parent at the same
  //   rectangle, stacked on top, with sub-scopes of its own cut from the
  //   parent's (owned), so scopeOrg comes out the same. A copy of a root is a
  //   root that draws on the scopes other was given without owning them (not
  //   owned by the copy either); a layer whose scope other owns has no scope
  //   in the copy. A copy has no kids and is not drawn on construction.
  // - Assignment keeps this tablet's place in the tree, its kids and its
  //   scopes with their owns flags; its sub-scopes follow the new scopeRect
  //   and scopeOrg stays derived from its own parent. Nothing is redrawn.
  vcUITablet(const vcUITablet& other);
  vcUITablet& operator=(const vcUITablet& other);
  // Erases itself if visible, leaves its parent, detaches its kids (they lose
  // their scopes but live on) and deletes the scopes it owns.
  virtual ~vcUITablet();

  // Moves the tablet under newParent at rect, with fresh sub-scopes.
  void setParent(vcUITablet& newParent, const vcUIRect& rect);
  // Gives the root of the tree new scopes; owns: the tablet deletes them.
  void setScope(vcUIScope* image, vcUIScope* overlay, bool owns);
  // The same for one layer; a layer other than eImage/eOverlay throws vcUIError::BadLayer.
  void setScope(Layers layer, vcUIScope* scope, bool owns);

  vcUITablet* parent() const noexcept { return parent_; }
  vcUITablet* firstKid() const noexcept { return kids_.empty() ? nullptr : kids_.front(); }
  vcUITablet* lastKid() const noexcept { return kids_.empty() ? nullptr : kids_.back(); }
  // The neighbours in the parent's stacking order (later kids are on top).
  vcUITablet* nextSib() const noexcept;
  vcUITablet* prevSib() const noexcept;
  long numKids() const noexcept { return static_cast<long>(kids_.size()); }

  // ---- geometry and maps -----------------------------------------------------------

  // This tablet's rectangle in its parent's scope coordinates (for a root: its
  // scope's origin and size).
  const vcUIRect& scopeRect() const noexcept { return scopeRect_; }
  vcUITablet& scopeRect(const vcUIRect& r);
  vcUITablet& moveAbs(const vcPair<long>& p);
  vcUITablet& moveRel(const vcPair<long>& d);
  vcUITablet& size(const vcPair<long>& s);
  // Absolute origin: the parent's scopeOrg plus scopeRect's corner; (0, 0) for a root.
  const vcPair<long>& scopeOrg() const noexcept { return scopeOrg_; }
  vcUIRect absRect() const { return vcUIRect(scopeOrg_, scopeRect_.sz()); }
  // (origin, size) of the layer's drawing scope / own scope; null without one.
  vcUIRect activeScope(Layers layer) const;
  vcUIRect currentScope(Layers layer) const;

  // Client coordinates to unscaled scope coordinates.
  const vcXform<2>& baseMap() const noexcept { return baseMap_; }
  vcUITablet& baseMap(const vcXform<2>& m);
  ScaleModes scaleMode() const noexcept { return scaleMode_; }
  vcUITablet& scaleMode(ScaleModes m);
  // Whole factors per axis: a factor below 1 reports its reciprocal (0.5 gives 2).
  vcPair<long> scale() const;
  vcUITablet& scale(const vcPair<long>& s);
  const vcPair<double>& scaleExact() const noexcept { return scale_; }
  // Also chooses the mode from the x factor: 1 (within 1e-6) eNoScale, above eExpand, below eSample.
  vcUITablet& scaleExact(const vcPair<double>& s);
  // Client coordinates to scope coordinates, from baseMap, the mode and the factors.
  const vcXform<2>& scaledMap() const noexcept { return scaledMap_; }
  InterpolationModes interpolation() const noexcept { return interpolation_; }
  void interpolation(InterpolationModes m);

  // The scope pixel of a client point (floor with the scope's 1e-11 rounding).
  vcPair<long> scopeCoords(const vcPoint& p) const;
  vcPair<long> screenCoords(const vcPoint& p) const { return scopeCoords(p) + scopeOrg_; }
  // A scope pixel back in client coordinates.
  vcPoint tabletCoords(const vcPair<long>& p) const;
  // The pen of the layer's scope in client coordinates; (0, 0) without a scope.
  vcPoint drawingPoint(Layers layer) const;

  // ---- visibility and switches ------------------------------------------------

  bool visible() const noexcept { return hideCount_ == 0; }
  // Counted: each hide needs a show. Hiding a visible tablet erases it, the
  // last show redraws it fully; returns true when visibility changed.
  bool visible(bool show);
  bool opaque(Layers layer) const;
  void opaque(Layers layer, bool on);
  vcFlagStack& drawOn() noexcept { return drawOn_; }
  vcFlagStack& drawOnOverlay() noexcept { return drawOnOverlay_; }
  vcFlagStack& recordOn() noexcept { return recordOn_; }
  vcUISketch& sketch() noexcept { return sketch_; }
  const vcUISketch& sketch() const noexcept { return sketch_; }
  bool updating() const noexcept { return updating_; }
  // True when the layer's own scope, or any kid's, was modified.
  bool modified(Layers layer) const;
  // Sets or clears the modified flag of the layer's drawing scope.
  void modified(Layers layer, bool on);

  // The value that stands for the scope's current pen position when passed
  // as a point (drawStart, drawTo, point draws, point icons, image positions).
  static const vcPoint& drawPointArg() noexcept { return drawPointArg_; }
  // A tablet without scopes, for building sketches.
  static vcUITablet& scratchPad();

  // ---- primitives ----------------------------------------------------------------

  void drawPixel(const vcPair<double>& p, const vcColor& color, Layers layer);
  void drawLineSeg(const vcPair<double>& p1, const vcPair<double>& p2, const vcColor& color, Layers layer);
  void drawLine(const vcPair<double>& p, vcRadian angle, const vcColor& color, Layers layer);
  void drawCircle(const vcPair<double>& center, double radius, const vcColor& color, Layers layer, bool fill = false);
  void drawEllipse(const vcPair<double>& center, const vcPair<double>& radii, vcRadian rotation, const vcColor& color,
                   Layers layer, bool fill = false);
  void drawEllipseArc(const vcPair<double>& center, const vcPair<double>& radii, vcRadian rotation, vcRadian a1,
                      vcRadian a2, const vcColor& color, Layers layer);
  void drawPolygon(const std::vector<vcVector<2>>& vertices, vcPolygon::PolyFillMode mode, const vcColor& color, Layers layer);
  void drawGenRect(const vcPair<double>& a, const vcPair<double>& b, vcRadian& angle, const vcPair<double>& c,
                   const vcColor& color, Layers layer);
  void drawAffineRect(const vcPair<double>& center, double x, double y, const vcRadian& r1, const vcRadian& r2,
                      const vcColor& color, Layers layer);
  // p1 is one corner, p2 the opposite one.
  void drawRect(const vcPair<double>& p1, const vcPair<double>& p2, const vcColor& color, Layers layer,
                bool fill = false);
  // A cross with arms of 7 pixels.
  void drawCross(const vcPair<double>& p, const vcRadian& angle, const vcColor& color, Layers layer);

  // ---- the pen ---------------------------------------------------------------------

  void drawStart(const vcPoint& p, Layers layer);
  void drawTo(const vcPoint& p, const vcGraphicProps& props, Layers layer);
  void drawTo(const vcPoint& p, const vcColor& color, Layers layer);
  // dx, dy in surface pixels.
  void drawToRelPels(long dx, long dy, const vcGraphicProps& props, Layers layer);
  void drawToRelPels(long dx, long dy, const vcColor& color, Layers layer);
  void moveToRelPels(long dx, long dy, Layers layer);
  // direction in client coordinates, length in surface pixels (truncated per axis).
  void drawToRelPels(const vcVector<2>& direction, float length, const vcGraphicProps& props, Layers layer);
  void drawToRelPels(const vcVector<2>& direction, float length, const vcColor& color, Layers layer);
  void moveToRelPels(const vcVector<2>& direction, float length, Layers layer);

  // A 13 x 13 marker centred on p.
  void drawPointIcon(const vcPoint& p, const vcGraphicProps& props, Layers layer);
  void drawPointIcon(const vcPoint& p, const vcColor& color, Layers layer);
  static const vcRLEBuffer& pointIcon();

  // ---- shapes --------------------------------------------------------------------------

  void draw(const vcPoint& p, const vcGraphicProps& props, Layers layer);
  void draw(const vc2Point& p, const vcGraphicProps& props, Layers layer);
  void draw(const vcLineSeg& s, const vcGraphicProps& props, Layers layer);
  void draw(const vcLine& l, const vcGraphicProps& props, Layers layer);
  void draw(const vcCross& c, const vcGraphicProps& props, Layers layer);
  void draw(const vcCircle& c, const vcGraphicProps& props, Layers layer);
  void draw(const vcAnnulus& a, const vcGraphicProps& props, Layers layer);
  void draw(const vcEllipse& e, const vcGraphicProps& props, Layers layer);
  void draw(const vcEllipseArc& a, const vcGraphicProps& props, Layers layer);
  void draw(const vcEllipse2& e, const vcGraphicProps& props, Layers layer);
  void draw(const vcEllipseArc2& a, const vcGraphicProps& props, Layers layer);
  void draw(const vcPolygon& p, const vcGraphicProps& props, Layers layer);
  void draw(const vcPolyline& p, const vcGraphicProps& props, Layers layer);
  void draw(const vcRect& r, const vcGraphicProps& props, Layers layer);
  void draw(const vcGenRect& r, const vcGraphicProps& props, Layers layer);
  void draw(const vcGenAnnulus& a, const vcGraphicProps& props, Layers layer);
  void draw(const vcAffineRectangle& r, const vcGraphicProps& props, Layers layer);
  void draw(const vcCoordAxes& a, const vcGraphicProps& props, Layers layer);
  void draw(const vcPointSet& s, const vcGraphicProps& props, Layers layer);
  void draw(const vcLineSegSet& s, const vcGraphicProps& props, Layers layer);
  void draw(const vcEllipseAnnulusSection& s, const vcGraphicProps& props, Layers layer);
  void draw(const vcBezierCurve& c, const vcGraphicProps& props, Layers layer);
  void draw(const vcCubicSpline& c, const vcGraphicProps& props, Layers layer);
  // Generalised polygons and wireframes (<vc/wrfm/genpoly.h>,
  // <vc/wrfm/wireframe.h>; client coordinates): mapped to the scope and drawn
  // as straight pieces, arcs as chords within 0.05 pixel of the curve (only
  // those that can reach the scope when an arc needs more than 4096). A
  // wireframe's direction figures (props.arrowHead()) follow its polarity on
  // screen; its record does not keep the polarity, so a replayed wireframe
  // points the unreversed way.
  void draw(const vcGenPoly& g, const vcGraphicProps& props, Layers layer);
  void draw(const vc2Wireframe& w, const vcGraphicProps& props, Layers layer);

  void draw(const vcPoint& p, const vcColor& color, Layers layer);
  void draw(const vcLineSeg& s, const vcColor& color, Layers layer);
  void draw(const vcLine& l, const vcColor& color, Layers layer);
  void draw(const vcCross& c, const vcColor& color, Layers layer);
  void draw(const vcEllipse& e, const vcColor& color, Layers layer, bool fill = false);
  void draw(const vcEllipseArc& a, const vcColor& color, Layers layer);
  void draw(const vcPolygon& p, const vcColor& color, Layers layer);
  void draw(const vcCircle& c, const vcColor& color, Layers layer, bool fill = false);
  void draw(const vcEllipseAnnulusSection& s, const vcColor& color, Layers layer, bool arrowHead = true,
            bool arrowHeadForward = true);
  void draw(const vcCoordAxes& a, const vcColor& color, Layers layer);
  void draw(const vcPointSet& s, const vcColor& color, Layers layer);
  void draw(const vcRect& r, const vcColor& color, Layers layer, bool fill = false);
  void draw(const vcGenRect& r, const vcColor& color, Layers layer, bool fill = false);
  void draw(const vcGenAnnulus& a, const vcColor& color, Layers layer);
  void draw(const vcAffineRectangle& r, const vcColor& color, Layers layer);
  void draw(const vcGenPoly& g, const vcColor& color, Layers layer, bool fill = false);
  void draw(const vc2Wireframe& w, const vcColor& color, Layers layer, bool fill = false);
  // Drawn as the vcGenAnnulus the annulus describes.
  void draw(const vcAnnulus& a, const vcColor& color, Layers layer);
  // Handed to the scope whole; recorded with the shape's identifier and data.
  void draw(const vcGenShape& s, const vcColor& color, Layers layer);

  // Any shape: finds the typed overload at run time, through mapped shapes
  // and shape trees. Unknown shape types draw nothing.
  void draw(const vcShape& shape, const vcGraphicProps& props, Layers layer);
  // A retained graphic that can draw itself; others throw vcUIError::NotImplemented.
  void draw(const vcGraphic& g, Layers layer);
  // Text at client point p, placed by format.
  void draw(const std::string& text, const vcPoint& p, const vcColor& color, const vcColor& background,
            const vcUIFormat& format, Layers layer);
  // Images with their upper-left corner at client point p. mapped: the values are already color-map results.
  void draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& p, bool passThrough, unsigned char passValue,
            bool mapped, Layers layer);
  void draw(const vcPelBuffer_const<unsigned short>& image, const vcPoint& p, bool passThrough,
            unsigned short passValue, Layers layer);
  void draw(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& p, bool passThrough,
            unsigned short passValue, Layers layer);
  void draw(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& p, bool passThrough,
            unsigned long passValue, Layers layer);
  void draw(const vcRLEBuffer& image, const vcPoint& p, const std::vector<unsigned char>& colorMap, bool passThrough,
            unsigned char passValue, bool mapped, Layers layer);
  // Replays a recorded sketch: each record is drawn again through the
  // operation that recorded it, under scaledMap with client points first
  // shifted by offset (client coordinates). On eImage or eOverlay only the
  // records of that layer are drawn; on eBoth each record on its own layer;
  // records made on eBoth are drawn on the replay layer. A recording tablet
  // records the whole replay as one nested-sketch record (opcode 15). A
  // malformed sketch throws vcUIError::InvalidUISketch with scaledMap, the
  // screen-update locks, drawing optimisation and recording as they were.
  void draw(const vcUISketch& sketch, const vcPoint& offset, Layers layer);
  // The pixels (scope coordinates of the layer's scope) that replaying
  // sketch at offset on layer would cover; null when the tablet has no scope
  // on layer. Draws nothing on this tablet. layer is eImage or eOverlay.
  vcUIRect encloseRect(const vcUISketch& sketch, const vcPoint& offset, Layers layer);
  // The record of sketch, replayed at offset on layer as draw would replay it
  // here, whose ink passes nearest scopePoint (scope coordinates of the
  // layer's scope) within radiusPixels (scope pixels, inclusive): what the
  // user clicked on. Each drawing call a record makes is measured on its own
  // shape (strokes less half their pen width; filled regions, images, texts
  // and set rectangles by their area); ties go to the earlier record; calls
  // of a nested sketch count for the record that holds it. None without a
  // scope on layer. Draws nothing on this tablet. layer is eImage or eOverlay.
  std::optional<vcUISketchPick> nearestRecord(const vcUISketch& sketch, const vcPoint& offset,
                                              const vcVector<2>& scopePoint, double radiusPixels, Layers layer);

  // An arrow head at tip pointing along direction (client coordinates), arms
  // of length pixels.
  void arrowHead(const vcPoint& tip, const vcVector<2>& direction, float length, const vcGraphicProps& props,
                 Layers layer);

  // ---- areas ---------------------------------------------------------------------------

  // r in this tablet's scope pixels.
  void set(const vcUIRect& r, const vcColor& color, Layers layer);
  // r in client coordinates.
  void set(const vcRect& r, const vcColor& color, Layers layer);
  // The whole layer; a recording tablet starts its sketch afresh.
  void set(const vcColor& color, Layers layer);
  void setComplement(const vcUIRect& r, const vcColor& color, Layers layer);
  void setComplement(const vcRect& r, const vcColor& color, Layers layer);
  void fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type, Layers layer);
  void fill(const vcPoint& seed, const vcColor& color, const vcColor& color2, FillType type, Layers layer);
  // A bevelled frame: top and left edges in c1, right and bottom in c2, width rings.
  void outline3D(const vcUIRect& r, const vcColor& c1, const vcColor& c2, long width, Layers layer);
  void outline3D(const vcRect& r, const vcColor& c1, const vcColor& c2, long width, Layers layer);
  void outline(const vcUIRect& r, const vcColor& color, long width, Layers layer);
  void outline(const vcRect& r, const vcColor& color, long width, Layers layer);
  // Repaints what lies beneath r (scope pixels) from the nearest opaque ancestor.
  void erase(const vcUIRect& r, Layers layer);
  void erase(Layers layer);
  // Clips the layer's display to r (client coordinates); eBoth for both layers.
  void drawClipRect(const vcRect& r, Layers layer);
  // The extent of text at client point p; null without a scope.
  vcUIRect textRect(const std::string& text, const vcPoint& p, const vcUIFormat& format, vcUIRect& rect,
                    Layers layer);

  // ---- change records, redraw and update ---------------------------------------------------

  bool recordChanges() const;
  void recordChanges(bool on);
  // changes[0] and changes[1] receive the client-changed rectangles of the image and overlay scopes.
  void getChanges(vcUIRect* changes, bool keepTracking);
  // Lets the own scope of layer (eBoth: of each layer) keep its changes as a
  // list of at most maxRects rectangles (vcUIScope::changeListLimit); update
  // then repaints the tablets above each rectangle rather than above their
  // bounding box. 0 stops it; a negative count throws vcBadArgument.
  void changeListLimit(long maxRects, Layers layer);
  // Repaints the tablet through the redraw_() hook with recording off.
  void redraw(Layers layer);
  // redraw, then fullDraw of every kid in stacking order.
  void fullDraw(Layers layer);
  // Repaints r (absolute scope pixels) of this tablet, and unless thisOnly, of its kids.
  void update(const vcUIRect& r, Layers layer, bool thisOnly);
  // Brings the tablets stacked over this tablet's changes up to date.
  void update(Layers layer);
  void front();
  void back();

  void lockScreenUpdatesPush(bool lock, Layers layer);
  void lockScreenUpdatesPop(Layers layer);
  bool screenUpdatesLocked(Layers layer) const;
  void optimizeDrawing(bool on, Layers layer);
  void dragStart(Layers layer);
  void dragStop(Layers layer);
  void dragErase(Layers layer);
  void dragAnimate(bool on, Layers layer);
  // Shifts scaledMap by d pixels (drag feedback); kids are not told.
  void dragDel(const vcPair<long>& d);
  const vcPair<long>& dragDel() const noexcept { return dragDel_; }

  // An RLE icon from a pattern: the first character separates rows; digits
  // are pixel values (mapped through colors), " ", "." and "+" the pass color.
  static vcRLEBuffer makeIcon(const char* pattern, const std::vector<unsigned char>& colors);
  // Whether pixel p of a pattern is part of the icon; stride -1: the first row's length plus one.
  static bool iconTouched(const char* pattern, const vcPair<long>& p, long stride);
  static bool pointIconTouched(const vcPair<long>& d);

  static bool shouldUpdate(Layers a, Layers b) noexcept { return a == b || b == eBoth; }
  static bool shouldUpdateImage(Layers l) noexcept { return l == eImage || l == eBoth; }
  static bool shouldUpdateOverlay(Layers l) noexcept { return l == eOverlay || l == eBoth; }
  static bool overlaySupported() noexcept { return true; }

  // The process-wide drawing counter behind the update order.
  static std::uint32_t timeStamp() noexcept { return timeStamp_; }

protected:
  // Hooks for derived tablets; the base does nothing.
  virtual void redraw_() {}
  virtual void resize_() {}
  virtual void move_() {}
  virtual void clipped_() {}
  virtual void newParentTablet(vcUITablet* oldParent) { (void)oldParent; }
  virtual void parentMapChanged() {}

  Layers updateLayers() const noexcept { return updateLayers_; }
  // Returns the old value.
  Layers updateLayers(Layers l) noexcept;
  bool anyChanged(Layers layer) const;
  void clearAnyChanged(Layers layer);
  vcUIScope* drawScope(Layers layer) const noexcept { return drawScope_[layer]; }
  vcUIScope* ownScope(Layers layer) const noexcept { return ownScope_[layer]; }

private:
  friend class vc_TabletAccess;
  // A tablet on scope measure (for layer) mapped as this one, for replays that measure.
  std::unique_ptr<vcUITablet> measuringTablet_(vcUIScope& measure, Layers layer) const;

  // A hidden or switched-off tablet fails at once, inline: it is the
  // common case of a tablet that only records.
  bool okToDraw(Layers layer) { return hideCount_ == 0 && drawOn_ && okToDrawScope_(layer); }
  bool okToDrawScope_(Layers layer);
  // The point to hand to the scope: its own pen position for drawPointArg(),
  // else p mapped by scaledMap into scratch.
  const vcPoint& mapPoint(const vcPoint& p, Layers layer, vcPoint& scratch) const;
  void setMap();
  void newMap();
  void newScope(bool quiet);
  void parentDeleted();
  void parentScopesDeleted(Layers layer);
  // The value members of copying; the tree, scopes and update state are the caller's.
  void copyValues_(const vcUITablet& other);
  bool visible_(bool show) noexcept;
  void hide_();
  void show_();
  void eraseScreen_();
  void stampDrawn_() noexcept;
  float arrowArmLength(const vcGraphicProps& props) const;
  static void checkLayer(Layers layer);
  bool recording() const noexcept { return static_cast<bool>(recordOn_); }
  // When recording: the props record (if the props changed), the head with Op,
  // layer and the props color, then the payload, which must be of Op's
  // payload type (dispc/tablet_record.h).
  template <int Op, class P>
  void record_(Layers layer, const vcGraphicProps& props, const P& payload);
  // The same with a head color other than the props color.
  template <int Op, class P>
  void record_(Layers layer, const vcGraphicProps& props, const vcColor& headColor, const P& payload);
  // Called before an operation draws: a recording tablet refuses a payload
  // of Op holding a value that its record's 4-byte fields cannot
  // (vcUIError::BadParams), so that nothing is drawn or recorded.
  template <int Op, class P>
  void checkRecordable_(const P& payload) const;

  // -- private helpers of tablet_prim.cpp

  // -- private helpers of tablet_area.cpp

  // -- private helpers of tablet_shapes.cpp

  // -- private helpers of tablet_update.cpp
  // The 13 x 13 point-icon pattern for makeIcon and iconTouched: "/", then
  // each row of cells followed by "/".
  static const char* pointIconData_;

  vcUIScope* drawScope_[2] = {nullptr, nullptr};
  vcUIScope* ownScope_[2] = {nullptr, nullptr};
  bool owns_[2] = {false, false};
  vcXform<2> baseMap_;
  ScaleModes scaleMode_ = eNoScale;
  vcXform<2> scaledMap_;
  vcPair<double> scale_{1.0, 1.0};
  vcUIRect scopeRect_;
  vcPair<long> scopeOrg_;
  vcPair<long> dragDel_;
  vcFlagStack drawOn_{false};
  vcFlagStack recordOn_{true};
  vcFlagStack drawOnOverlay_{false};
  Layers updateLayers_ = eBoth;
  InterpolationModes interpolation_ = eNoInterpolation;
  vcUISketch sketch_;
  std::uint32_t hideCount_ = 1;
  bool updating_ = false;
  std::uint32_t drawnStamp_ = 0;
  std::uint32_t redrawnStamp_ = 0;
  vcUITablet* parent_ = nullptr;
  std::list<vcUITablet*> kids_;
  std::list<vcUITablet*>::iterator position_;
  vcRect clipRect_[2];

  static std::uint32_t timeStamp_;
  static const vcPoint drawPointArg_;
};
