// vcUIScope: the pixel surface that tablets draw on. Applications derive one
// class per kind of surface (window, off-screen bitmap, overlay plane) and
// supply its pixel operations; the base keeps the origin, the pen position,
// the tree of sub-scopes, the display clip rectangle and change tracking.
//
// Coordinate frames:
// - scope coordinates: doubles in the frame of the tablet that owns the scope
//   (its scaledMap produces them); drawing operations receive geometry in it;
// - surface pixels: integer indices, (0, 0) at the surface's upper-left pixel,
//   up to size() exclusive; change rectangles are in surface pixels;
// - org() links them: surface pixel = scope pixel - org().
#pragma once

#include <list>
#include <string>
#include <vector>

#include <vc/color.h>
#include <vc/core/pair.h>
#include <vc/core/vector.h>
#include <vc/uirect.h>
#include <vc/uitypes.h>

class vcEllipse;
class vcEllipse2;
class vcEllipseArc;
class vcEllipseArc2;
class vcGenRect;
class vcGenShape;
class vcGraphic;
class vcGraphicProps;
class vcLineSeg;
class vcPolygon;
class vcPolyline;
class vcRLEBuffer;
class vcUIFormat;
class vcPackedRGB16Pel;
class vcPackedRGB32Pel;
template <class T>
class vcPelBuffer_const;
template <class T>
class vcPelBuffer;

class vcUIScope {
public:
  using Layers = vcUITabletTypes::Layers;
  using FillType = vcUITabletTypes::FillType;
  using InterpolationModes = vcUITabletTypes::InterpolationModes;

  // A root scope whose surface pixel (0, 0) shows scope coordinate org.
  explicit vcUIScope(const vcPair<long>& org);
  // Copies every member; the copy is a root of its own with no parent and no
  // children, so that no scope is ever listed twice in a tree.
  vcUIScope(const vcUIScope& other);
  vcUIScope& operator=(const vcUIScope& other);
  // Leaves the parent, detaches the children (they are not deleted: their
  // tablets own them), and when this is a root, tells every descendant.
  virtual ~vcUIScope();

  // ---- the tree ------------------------------------------------------------

  // Called by move/subset: this scope now shows surfaceRect of the parent's
  // surface (parent surface pixels; it may reach outside the parent).
  virtual void attached(const vcUIScope& parent, const vcUIRect& surfaceRect) = 0;
  // A new sub-scope showing rect (this scope's coordinates), set up as move()
  // does (clipOnly false: its coordinates start at rect's corner) or as
  // subset() does (clipOnly true: it keeps this scope's coordinates). The
  // caller owns it.
  virtual vcUIScope* newChild(const vcUIRect& rect, bool clipOnly) = 0;

  // Attaches this scope under parent to show rect (parent's scope
  // coordinates); the scope's own coordinates start at rect's corner.
  void move(const vcUIScope& parent, const vcUIRect& rect);
  // As move, but the scope keeps the parent's coordinates and only clips.
  void subset(const vcUIScope& parent, const vcUIRect& rect);

  // ---- drag feedback and screen updates -------------------------------------

  virtual void dragStart() = 0;
  virtual void dragStop() = 0;
  virtual void dragErase() = 0;
  virtual void dragAnimate(bool on) = 0;
  // The base keeps no count: a scope that locks must count pushes and pops itself.
  virtual void lockScreenUpdatesPush(bool) {}
  virtual bool lockScreenUpdatesPop() { return false; }
  virtual bool screenUpdatesLocked() const { return false; }
  virtual void invalidateScreen(const vcUIRect&) {}
  virtual void updateScreen() {}
  virtual void optimizeDrawing(bool) {}

  // ---- drawing, geometry already in scope coordinates ------------------------

  virtual void draw(const vcGenShape&, const vcColor&) {}
  virtual void draw(const vcEllipseArc&, const vcGraphicProps&) = 0;
  virtual void draw(const vcEllipse&, const vcGraphicProps&) = 0;
  virtual void draw(const vcPolygon&, const vcGraphicProps&) = 0;
  // The point icon: color map entries are whole colors.
  virtual void draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<vcColor>& colorMap,
                    bool passThrough, unsigned char passValue) = 0;
  virtual void draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<unsigned char>& colorMap,
                    bool passThrough, unsigned char passValue) = 0;
  virtual void draw(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner, bool passThrough,
                    unsigned long passValue) = 0;
  virtual void draw(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner, bool passThrough,
                    unsigned short passValue) = 0;
  virtual void draw(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner, bool passThrough,
                    unsigned short passValue) = 0;
  // mapped: the values are already color-map results.
  virtual void draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, bool passThrough,
                    unsigned char passValue, bool mapped) = 0;
  // text at a mapped anchor point, in color on background, placed by format.
  virtual void draw(const std::string& text, const vcPoint& anchor, const vcColor& color,
                    const vcColor& background, const vcUIFormat& format) = 0;
  virtual void draw(const vcGraphic&) {}
  virtual void draw(const vcPolyline&, const vcGraphicProps&) = 0;
  // A generalised rectangle whose rounding is neither 0 nor 1.
  virtual void draw(const vcGenRect&, const vcGraphicProps&) = 0;
  virtual void draw(const vcEllipseArc2&, const vcGraphicProps&) = 0;
  virtual void draw(const vcEllipse2&, const vcGraphicProps&) = 0;
  virtual void draw(const vcLineSeg&, const vcGraphicProps&) = 0;
  virtual void draw(const vcPoint&, const vcGraphicProps&) = 0;
  // The extent of text at a mapped anchor point, in scope coordinates; also stored in rect.
  virtual vcUIRect textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format,
                            vcUIRect& rect) = 0;

  // ---- image transfer ---------------------------------------------------------
  // sample reduces and expand magnifies. The vcPair<long> forms take whole
  // factors (sample: 2 halves the image) and call the vcPair<double> forms,
  // which take the plain scale (0.5 halves, 2.0 doubles). A tablet in eSample
  // mode hands sample its stored factors unchanged: fractions (0.5) when they
  // were set with scaleExact, whole reduction factors (2.0) when set with
  // scale. A derived scope's double forms of sample read them through
  // sampleScale, as the tablet's map does; the RLE double form reads its x
  // factor as a plain scale, so 2.0 goes through the 8-bit double form.

  // The plain scale (x and y, below 1 reduces) of the factors handed to
  // sample: factors above 1 on both axes are whole reductions and become
  // their reciprocals ((2, 4) gives (0.5, 0.25)); others are already scales.
  static vcPair<double> sampleScale(const vcPair<double>& factors);

  virtual void sample(const vcRLEBuffer& image, const vcPoint& corner, const vcPair<double>& scale,
                      const std::vector<unsigned char>& colorMap, bool passThrough, unsigned char passValue);
  virtual void sample(const vcRLEBuffer& image, const vcPoint& corner, const vcPair<long>& factors,
                      const std::vector<unsigned char>& colorMap, bool passThrough, unsigned char passValue);
  virtual void sample(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                      const vcPair<double>& scale, bool passThrough, unsigned long passValue) = 0;
  virtual void sample(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                      const vcPair<long>& factors, bool passThrough, unsigned long passValue);
  virtual void sample(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                      const vcPair<double>& scale, bool passThrough, unsigned short passValue) = 0;
  virtual void sample(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                      const vcPair<long>& factors, bool passThrough, unsigned short passValue);
  virtual void sample(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                      const vcPair<double>& scale, bool passThrough, unsigned short passValue) = 0;
  virtual void sample(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                      const vcPair<long>& factors, bool passThrough, unsigned short passValue);
  virtual void sample(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                      const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped) = 0;
  virtual void sample(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                      const vcPair<long>& factors, bool passThrough, unsigned char passValue, bool mapped);

  virtual void expand(const vcRLEBuffer& image, const vcPoint& corner, const vcPair<double>& scale,
                      const std::vector<unsigned char>& colorMap, bool passThrough, unsigned char passValue);
  virtual void expand(const vcRLEBuffer& image, const vcPoint& corner, const vcPair<long>& factors,
                      const std::vector<unsigned char>& colorMap, bool passThrough, unsigned char passValue);
  virtual void expand(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                      const vcPair<double>& scale, bool passThrough, unsigned long passValue,
                      InterpolationModes mode) = 0;
  virtual void expand(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                      const vcPair<long>& factors, bool passThrough, unsigned long passValue, InterpolationModes mode);
  virtual void expand(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                      const vcPair<double>& scale, bool passThrough, unsigned short passValue,
                      InterpolationModes mode) = 0;
  virtual void expand(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                      const vcPair<long>& factors, bool passThrough, unsigned short passValue,
                      InterpolationModes mode);
  virtual void expand(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                      const vcPair<double>& scale, bool passThrough, unsigned short passValue,
                      InterpolationModes mode) = 0;
  virtual void expand(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                      const vcPair<long>& factors, bool passThrough, unsigned short passValue,
                      InterpolationModes mode);
  virtual void expand(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                      const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped,
                      InterpolationModes mode) = 0;
  virtual void expand(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                      const vcPair<long>& factors, bool passThrough, unsigned char passValue, bool mapped,
                      InterpolationModes mode);

  // ---- areas and the pen --------------------------------------------------------

  // rect in scope coordinates.
  virtual void set(const vcUIRect& rect, const vcColor& color) = 0;
  virtual void set(const vcColor& color) = 0;
  // seed in scope pixels.
  virtual void fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type) = 0;
  // Draws from the pen to p and moves the pen there.
  virtual void drawTo(const vcPoint& p, const vcGraphicProps& props) = 0;
  // Draws from the pen by a pixel offset and moves the pen.
  virtual void drawToRelPels(long dx, long dy, const vcGraphicProps& props) = 0;
  // True while the scope has no drawable surface.
  virtual bool isNull() const = 0;
  // Width and height of the surface, in pixels.
  virtual vcPair<long> size() const = 0;
  virtual void colorMap(const std::vector<vcRGB>&) {}
  virtual void colorMapEx(const std::vector<vcRGB>&) {}
  // Called after setDisplayClipRect changed the display clip rectangle.
  virtual void newDisplayClipRect(const vcUIRect&) {}

  // ---- the pen -------------------------------------------------------------------

  const vcPair<long>& org() const noexcept { return org_; }
  // The pen position in scope coordinates.
  const vcPoint& drawPoint() const noexcept { return drawPoint_; }
  // Moves the pen to p (scope coordinates). Given drawPoint() itself, the
  // pen keeps its pixel position.
  void drawStart(const vcPoint& p);
  // Moves the pen by whole pixels.
  void moveToRel(long dx, long dy);

  const vcUIRect& displayClipRect() const noexcept { return displayClipRect_; }
  void setDisplayClipRect(const vcUIRect& r);

  // ---- change tracking -------------------------------------------------------------

  // Reports the changed surface pixels r. opaqueHint: r was painted opaquely.
  void change(vcUIRect r, bool opaqueHint = false);
  // The changed area in scope coordinates.
  vcUIRect changeRect() const { return changeRect_ + org_; }
  // Marks the whole surface changed.
  void allChange();
  bool allChanged() const noexcept { return flag(kAllChanged); }
  void allChanged(bool on) noexcept { setFlag(kAllChanged, on); }
  bool someChanged() const noexcept { return !changeRect_.isNull(); }
  // Forgets the changed area (the tree-wide flag stays).
  void noChange() noexcept;
  // The tree-wide changed flag kept by the root; false once the root is gone.
  bool anyChanged() const noexcept;
  void clearAnyChanged() noexcept;
  bool clientChangeEnable() const noexcept { return flag(kClientChangeEnable); }
  // Turning tracking on starts a new client-changed rectangle.
  void clientChangeEnable(bool on) noexcept;
  // The union of the reported (unclipped) changes in scope coordinates; stops
  // tracking unless keepTracking.
  vcUIRect clientChangedRect(bool keepTracking);
  // Damage list. With a limit above 0 the scope also keeps its changes as at
  // most maxRects disjoint rectangles, in scope coordinates, that cover every
  // reported pixel and whose bounding box is changeRect(): a change that
  // meets a rectangle, or whose merge with one wastes little area, merges
  // with it, and when the list is full the two whose merge wastes least
  // merge. The list is cleared with the change rectangle (noChange, update
  // of the tablet above). 0, the default, keeps no list; turning it on
  // starts the list with changeRect().
  void changeListLimit(long maxRects);
  long changeListLimit() const noexcept { return changeListLimit_; }
  const std::vector<vcUIRect>& changeList() const noexcept { return changeList_; }
  bool modified() const noexcept { return flag(kModified); }
  void modified(bool on) noexcept { setFlag(kModified, on); }
  bool opaque() const noexcept { return flag(kOpaque); }
  void opaque(bool on) noexcept { setFlag(kOpaque, on); }

protected:
  long drawX() const noexcept { return drawX_; }
  long drawY() const noexcept { return drawY_; }
  vcUIScope* parent() const noexcept { return parent_; }
  const std::list<vcUIScope*>& children() const noexcept { return children_; }
  // False only when every further change is already covered (all changed and
  // no client tracking).
  bool trackChanges() const noexcept { return !(allChanged() && !clientChangeEnable()); }

  // The surface pixel of a scope coordinate: the pen's own pixel for the
  // scope's drawPoint() object, otherwise floor(v * (1 + copysign(1e-11, v)))
  // less the origin, so values a hair below an integer count as it.
  long xCoord(const vcPoint& p) const;
  long yCoord(const vcPoint& p) const;

  // ---- buffers for the image transfers of derived scopes ----------------------
  // Both helpers scale src's window into a buffer covering only what is
  // wanted. rect: the destination area wanted, in destination pixels (any
  // frame, usually surface pixels); offset: where the scaled image's
  // upper-left corner falls, relative to rect's upper-left corner
  // (destination pixels, negative when the image starts before rect). The
  // covered area D is the scaled image placed by offset, intersected with
  // rect. On success dst holds D's pixels, its window's upper-left pixel
  // showing D's upper-left pixel, rect becomes D, and the result is true;
  // when the source window or D is empty nothing changes and the result is
  // false. A dst whose window already has D's size and whose pixels are not
  // src's is overwritten in place (every view sharing them sees the new
  // pixels), so a scope can keep one display buffer from call to call; any
  // other dst becomes a new buffer.

  // Integer magnification: each source pixel becomes a block of fx x fy
  // pixels (fx, fy >= 1; otherwise vcBadArgument). The blocks cut by D's
  // edges keep only their part inside D.
  static bool pelExpand(const vcPelBuffer_const<unsigned char>& src, vcPelBuffer<unsigned char>& dst, long fx,
                        long fy, vcUIRect& rect, const vcPair<long>& offset);
  static bool pelExpand(const vcPelBuffer_const<vcPackedRGB16Pel>& src, vcPelBuffer<vcPackedRGB16Pel>& dst,
                        long fx, long fy, vcUIRect& rect, const vcPair<long>& offset);
  static bool pelExpand(const vcPelBuffer_const<vcPackedRGB32Pel>& src, vcPelBuffer<vcPackedRGB32Pel>& dst,
                        long fx, long fy, vcUIRect& rect, const vcPair<long>& offset);

  // Scaling by scale (> 0, finite; otherwise vcBadArgument) on both axes.
  // A scale within 1e-6 of a whole number above 1 counts as that number and
  // replicates pixels. Otherwise destination pixel x of the scaled image
  // (x >= 0, counted from its upper-left corner) shows source column
  // trunc(x / scale), and likewise for rows. With mode not eNoInterpolation,
  // a magnification (scale > 1) of an 8-bit or 32-bit RGB source of at least
  // 8 x 8 pixels interpolates instead (eBilinear bilinearly, other modes
  // bicubically, sampling at pixel centres); destination pixels whose centre
  // falls outside the source become grey 128. The 16-bit forms ignore mode.
  // Every positive finite scale is taken: the work follows the pixels of
  // rect, so scales far below 1 show the first source pixel alone and scales
  // far above 1 cover rect with it.
  static bool pelScale(const vcPelBuffer_const<unsigned char>& src, vcPelBuffer<unsigned char>& dst, double scale,
                       vcUIRect& rect, const vcPair<long>& offset, InterpolationModes mode);
  static bool pelScale(const vcPelBuffer_const<unsigned short>& src, vcPelBuffer<unsigned short>& dst,
                       double scale, vcUIRect& rect, const vcPair<long>& offset, InterpolationModes mode);
  static bool pelScale(const vcPelBuffer_const<vcPackedRGB16Pel>& src, vcPelBuffer<vcPackedRGB16Pel>& dst,
                       double scale, vcUIRect& rect, const vcPair<long>& offset, InterpolationModes mode);
  static bool pelScale(const vcPelBuffer_const<vcPackedRGB32Pel>& src, vcPelBuffer<vcPackedRGB32Pel>& dst,
                       double scale, vcUIRect& rect, const vcPair<long>& offset, InterpolationModes mode);

  // The index color vcColor(i) of the palette entry nearest to c's red,
  // green and blue (Euclidean distance; the first of equally near entries;
  // an exact match ends the search). An empty palette gives vcColor(0).
  static vcColor nearestColor(const vcColor& c, const std::vector<vcRGB>& palette);

private:
  static constexpr unsigned kAllChanged = 1, kModified = 2, kOpaque = 4, kClientChangeEnable = 8;
  bool flag(unsigned f) const noexcept { return (flags_ & f) != 0; }
  void setFlag(unsigned f, bool on) noexcept { flags_ = on ? (flags_ | f) : (flags_ & ~f); }
  void rootDeleted() noexcept;
  void detachFromParent() noexcept;

  vcPair<long> org_;
  unsigned flags_ = 0;
  vcUIRect changeRect_;
  std::vector<vcUIRect> changeList_;
  long changeListLimit_ = 0;
  vcUIRect clientChangedRect_;
  vcPoint drawPoint_;
  long drawX_ = 0;
  long drawY_ = 0;
  vcUIScope* rootState_;
  vcUIScope* parent_ = nullptr;
  std::list<vcUIScope*> children_;
  bool anyChanged_ = false;
  vcUIRect displayClipRect_;
};

// The surface pixel of a scope coordinate value v with origin o:
// floor(v * (1 + copysign(1e-11, v))) - o, truncated to 32 bits.
long vfScopePixel(double v, long o);
