// vcCairoScope: the reference vcUIScope. It draws everything a tablet hands
// it onto a Cairo surface, so that what the library draws can be seen, saved
// as PNG, or written as SVG or PDF.
//
// Frames. Scope coordinates and surface pixels are those of <vc/uiscope.h>.
// Sub-scopes made by newChild draw on their root's surface; "root pixels" are
// pixel indices of that shared surface, (0, 0) at its upper-left pixel.
//
// Pixel rule. A scope coordinate v lands in surface pixel floor(v) less the
// origin, with the rounding of vfScopePixel (xCoord, yCoord). A path runs
// through the centres of those pixels (the pixel corners for even pen
// widths), so with anti-aliasing off (the default) a pen of width w covers
// exactly w pixels across a horizontal or vertical line and a 1-pixel line
// leaves its neighbours untouched. With anti-aliasing on, coordinates keep
// their fractions and edges are blended.
//
// Pen (vcGraphicProps). Width w in surface pixels, 0 drawing as 1 and widths
// beyond 32767 as 32767. Styles, by value: 0 ePenSolid; 1 ePenDash (6w on,
// 3w off); 2 ePenDot (w on, w off); 3 ePenDashDot (6w, 3w, w, 3w);
// 4 ePenDashDotDot (6w, 3w, w, 3w, w, 3w); 5 ePenNull draws no outline
// (fills still fill); other values draw solid. Dash lengths are the visible
// ink, caps included. Joins: 0 eJoinRound, 1 eJoinBevel, 2 eJoinMiter (other
// values round). End caps: 0 eCapRound and 1 eCapSquare reach w/2 beyond the
// end point, 2 eCapFlat stops at it (other values round). A filled closed
// shape (props.fill(): a polygon, ellipse, generalised rectangle or closed
// polyline) is filled in the pen color, with the polygon's fill mode
// (0 even-odd, 1 winding; the others wind once), and then outlined with the
// pen. A path that collapses to one pixel draws that pixel as a w x w dot.
// Curves are drawn through samples within 0.2 pixels of the true curve.
//
// Colors. RGB and stock colors draw in their RGB value; index colors are
// looked up in the palette (colorMap, colorMapEx), which starts as a grey
// ramp, entry i = (i, i, i), with the sixteen stock colors at their indices.
// On an overlay scope the pass color (vcColor::passColor(), or the index
// color 243) paints transparent pixels.
//
// Change reporting. Every operation reports through change() exactly the
// bounding box of the pixels it touched, in this scope's surface pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <vc/color.h>
#include <vc/core/exception.h>
#include <vc/core/pair.h>
#include <vc/core/vector.h>
#include <vc/uirect.h>
#include <vc/uiscope.h>

// Cairo's own handle types, so that this header needs no Cairo headers.
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

class vcShape;
struct vc_CairoImage;

// A Cairo surface could not be made or written, or an operation needs a
// raster surface and the scope has a vector one.
class vcCairoError : public vcExceptionWithString {
public:
  vcCairoError() = default;
  explicit vcCairoError(const std::string& message) : vcExceptionWithString(message) {}
  VC_EXCEPTION_LEAF(vcCairoError);
};

class vcCairoScope : public vcUIScope {
public:
  enum VectorFormat { eSVG = 0, ePDF = 1 };
  static constexpr Layers eImage = vcUITabletTypes::eImage;
  static constexpr Layers eOverlay = vcUITabletTypes::eOverlay;
  static constexpr FillType eFillToBorder = vcUITabletTypes::eFillToBorder;
  static constexpr FillType eFillSurface = vcUITabletTypes::eFillSurface;
  static constexpr InterpolationModes eNoInterpolation = vcUITabletTypes::eNoInterpolation;

  // A root scope with a surface of its own. size: width and height in
  // pixels, each 0 to 32767 (else vcBadArgument); layer: eImage makes an
  // opaque RGB surface that starts black, eOverlay an ARGB surface that
  // starts transparent (alpha 0); org: the scope coordinate shown at surface
  // pixel (0, 0).
  explicit vcCairoScope(const vcPair<long>& size, Layers layer = eImage, const vcPair<long>& org = vcPair<long>());
  // A root scope drawing on any Cairo surface, which it references (the
  // caller keeps its own reference). size: the pixels (for vector surfaces,
  // the points) the scope covers from the surface's (0, 0). Image surfaces
  // of format RGB24 or ARGB32 are raster surfaces; any other surface is a
  // vector surface (see isRaster()).
  vcCairoScope(cairo_surface_t* surface, const vcPair<long>& size, Layers layer = eImage,
               const vcPair<long>& org = vcPair<long>());
  // A root scope writing an SVG or PDF file at path, one point per pixel.
  // The file is complete after finish() or the scope's destruction.
  // Throws vcCairoError when the file cannot be made.
  vcCairoScope(const std::string& path, VectorFormat format, const vcPair<long>& size,
               const vcPair<long>& org = vcPair<long>());
  ~vcCairoScope() override;
  vcCairoScope(const vcCairoScope&) = delete;
  vcCairoScope& operator=(const vcCairoScope&) = delete;

  // ---- options and state of this scope ----------------------------------------

  Layers layer() const noexcept { return layer_; }
  // Anti-aliased edges and text; off by default. Sub-scopes start with their
  // parent's setting.
  bool antialias() const noexcept { return antialias_; }
  void antialias(bool on) noexcept { antialias_ = on; }
  // Text height in pixels for formats whose fontId is not positive; a
  // positive fontId is itself the height in pixels. 13 by default; a value
  // outside 1 to 1000 throws vcBadArgument.
  double textSize() const noexcept { return textSize_; }
  void textSize(double pixels);
  // True when the surface holds pixels (flood fill, pixel reads and PNG
  // output need it). A vector surface records shapes, pen lines, points,
  // text, set and images as vector operations; images are embedded as
  // bitmaps, and change reports are then Cairo's (slightly generous) extents.
  bool isRaster() const noexcept;
  // The shared surface; owned by the scope tree.
  cairo_surface_t* surface() const noexcept;
  // This scope's surface in root pixels.
  vcUIRect surfaceArea() const noexcept { return vcUIRect(base_, size_); }
  // The pixels drawing may touch, in root pixels: the scope's surface within
  // every ancestor's clip and the display clip rectangle, if one is set.
  vcUIRect clipRect() const;
  // The palette shared by the scope tree: 256 entries.
  const std::vector<vcRGB>& palette() const noexcept;
  // The palette every surface starts with.
  static std::vector<vcRGB> defaultPalette();
  // The color c draws in on this scope, as 0xAARRGGBB (alpha 0 or 255).
  std::uint32_t argbOf(const vcColor& c) const;
  // Surface pixel (x, y) of this scope as 0xAARRGGBB, not premultiplied
  // (alpha 255 on eImage scopes). Throws vcBadArgument outside size() and
  // vcCairoError on a vector surface.
  std::uint32_t argb(long x, long y) const;
  // Writes this scope's surface as a PNG file. Throws vcCairoError on a
  // vector surface or when the file cannot be written.
  void writePng(const std::string& path) const;
  // Completes the surface (a vector file is then written); drawing after it
  // does nothing. Throws vcCairoError when Cairo reports a failure.
  void finish();

  // ---- the scope interface ----------------------------------------------------

  void attached(const vcUIScope& parent, const vcUIRect& surfaceRect) override;
  // A sub-scope on the same surface, showing the part of rect that lies on
  // this scope's surface (none: a null scope); the caller owns it.
  vcUIScope* newChild(const vcUIRect& rect, bool clipOnly) override;
  // Drag feedback needs a screen; on a surface these do nothing.
  void dragStart() override {}
  void dragStop() override {}
  void dragErase() override {}
  void dragAnimate(bool) override {}
  // A stack of lock states: push(lock) enters one, pop leaves it and returns
  // whether updates are still locked (a pop with none pushed returns false).
  // The surface is always current, so the locks only count.
  void lockScreenUpdatesPush(bool lock) override;
  bool lockScreenUpdatesPop() override;
  bool screenUpdatesLocked() const override { return !locks_.empty() && locks_.back(); }
  // Flushes pending drawing to the surface.
  void updateScreen() override;

  // The shape's outline, sampled, with a solid 1-pixel pen in color.
  void draw(const vcGenShape& shape, const vcColor& color) override;
  void draw(const vcEllipseArc& arc, const vcGraphicProps& props) override;
  void draw(const vcEllipse& ellipse, const vcGraphicProps& props) override;
  void draw(const vcPolygon& polygon, const vcGraphicProps& props) override;
  // The point icon: value v draws colorMap[v] (the palette entry v when the
  // map is shorter); pixels whose value is passValue are left alone when
  // passThrough is set.
  void draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<vcColor>& colorMap, bool passThrough,
            unsigned char passValue) override;
  // Values go through colorMap (values beyond it stay), then the palette;
  // passValue is compared with the mapped value.
  void draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<unsigned char>& colorMap,
            bool passThrough, unsigned char passValue) override;
  // passValue: r * 65536 + g * 256 + b.
  void draw(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner, bool passThrough,
            unsigned long passValue) override;
  // passValue: the packed 5-6-5 value.
  void draw(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner, bool passThrough,
            unsigned short passValue) override;
  // Grey levels; the top 8 bits are shown.
  void draw(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner, bool passThrough,
            unsigned short passValue) override;
  // mapped: values are palette indices; otherwise grey levels.
  void draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, bool passThrough,
            unsigned char passValue, bool mapped) override;
  // Text in "DejaVu Sans" (Cairo's toy font API), its rectangle (textRect)
  // first filled with background unless that is the pass color.
  void draw(const std::string& text, const vcPoint& anchor, const vcColor& color, const vcColor& background,
            const vcUIFormat& format) override;
  void draw(const vcPolyline& polyline, const vcGraphicProps& props) override;
  void draw(const vcGenRect& rect, const vcGraphicProps& props) override;
  void draw(const vcEllipseArc2& arc, const vcGraphicProps& props) override;
  void draw(const vcEllipse2& ellipse, const vcGraphicProps& props) override;
  void draw(const vcLineSeg& segment, const vcGraphicProps& props) override;
  // A w x w dot on the point's pixel.
  void draw(const vcPoint& point, const vcGraphicProps& props) override;
  using vcUIScope::draw;
  // The rectangle, in scope pixels, that holds the text's ink and its font's
  // ascent and descent: its upper-left corner at the anchor's pixel, moved by
  // format.alignRect. Invalid UTF-8 is read as Latin-1. Empty text gives the
  // null rectangle.
  vcUIRect textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format, vcUIRect& rect) override;

  // The scaled forms place the image's upper-left corner on the corner's
  // pixel; scaled pixel i (from that corner) shows source pixel
  // trunc(i / scale) on each axis (the plain scale: 0.5 halves, 2 doubles;
  // non-positive or non-finite scales throw vcBadArgument). Equal scales on
  // both axes interpolate when mode asks for it (8-bit unmapped and 32-bit
  // RGB images of at least 8 x 8 pixels).
  using vcUIScope::expand;
  using vcUIScope::sample;
  void sample(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner, const vcPair<double>& scale,
              bool passThrough, unsigned long passValue) override;
  void sample(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner, const vcPair<double>& scale,
              bool passThrough, unsigned short passValue) override;
  void sample(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner, const vcPair<double>& scale,
              bool passThrough, unsigned short passValue) override;
  void sample(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, const vcPair<double>& scale,
              bool passThrough, unsigned char passValue, bool mapped) override;
  void expand(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner, const vcPair<double>& scale,
              bool passThrough, unsigned long passValue, InterpolationModes mode) override;
  void expand(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner, const vcPair<double>& scale,
              bool passThrough, unsigned short passValue, InterpolationModes mode) override;
  void expand(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner, const vcPair<double>& scale,
              bool passThrough, unsigned short passValue, InterpolationModes mode) override;
  void expand(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, const vcPair<double>& scale,
              bool passThrough, unsigned char passValue, bool mapped, InterpolationModes mode) override;

  // rect: scope coordinates. Both forms replace the pixels (on an overlay
  // the pass color makes them transparent).
  void set(const vcUIRect& rect, const vcColor& color) override;
  void set(const vcColor& color) override;
  // Flood fill from seed (scope pixels) with color, over the 4-connected
  // pixels: eFillToBorder fills up to pixels of color2 (the border color);
  // eFillSurface fills the region of the seed pixel's color (color2 unused).
  // A seed outside the clip fills nothing. Needs a raster surface
  // (vcCairoError otherwise).
  void fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type) override;
  void drawTo(const vcPoint& p, const vcGraphicProps& props) override;
  void drawToRelPels(long dx, long dy, const vcGraphicProps& props) override;
  bool isNull() const override;
  vcPair<long> size() const override { return size_; }
  // Entries 0 to n - 1 of the palette from map (n at most 256, else
  // vcBadArgument); colorMap keeps the stock colors at their indices,
  // colorMapEx replaces them too.
  void colorMap(const std::vector<vcRGB>& map) override;
  void colorMapEx(const std::vector<vcRGB>& map) override;

private:
  struct Shared;
  // Renders ink onto cr, whose user space is root pixels shifted by (dx, dy)
  // pixels: a root pixel (x, y) lies at (x + dx, y + dy). It consumes its
  // path and leaves cr's state as it found it, but for the pen, fill rule
  // and antialiasing settings (which the scratch mask's context keeps track of).
  using Render = std::function<void(cairo_t* cr, double dx, double dy)>;

  vcCairoScope(std::shared_ptr<Shared> shared, Layers layer, bool antialias, double textSize);
  void checkLayer_() const;
  void setPalette_(const std::vector<vcRGB>& map, bool keepStock);

  // Draws what render inks in argb, clipped; reports and returns the touched
  // pixels (root pixels). bound, when given, holds every pixel render can ink
  // (root pixels); without it Cairo measures a recording of render first.
  vcUIRect paint_(const Render& render, std::uint32_t argb, const vcUIRect* bound = nullptr);
  // The tree's scratch mask, at least size (pixels), all 0.
  cairo_surface_t* scratchMask_(const vcPair<long>& size);
  // Replaces the pixels of r (root pixels) within the clip.
  void setRoot_(const vcUIRect& r, const vcColor& color);
  // Where a scope coordinate lands in root-pixel space under a pen of width w.
  double devX_(const vcPoint& p, long w) const;
  double devY_(const vcPoint& p, long w) const;
  // A path through points (scope coordinates) stroked with the pen, and
  // filled when fill is set.
  void drawPath_(const std::vector<vcVector<2>>& points, bool closed, bool fill, int fillRule,
                 const vcGraphicProps& props);
  // The same with the points already in root-pixel space; points is working
  // memory the call may change.
  void drawDevPath_(std::vector<std::pair<double, double>>& points, bool closed, bool fill, int fillRule,
                    const vcGraphicProps& props);
  void drawSampled_(const vcShape& shape, bool closed, bool fill, const vcGraphicProps& props);
  // The root-pixel rectangle an image of size covers from corner, clipped.
  vcUIRect imageArea_(const vcPoint& corner, long width, long height) const;
  void blit_(const vc_CairoImage& image);
  template <class T, class Convert>
  void drawPels_(const vcPelBuffer_const<T>& image, const vcPoint& corner, Convert convert);
  template <class T, class Convert>
  void drawScaled_(const vcPelBuffer_const<T>& image, const vcPoint& corner, const vcPair<double>& scale,
                   InterpolationModes mode, Convert convert);

  std::shared_ptr<Shared> shared_;
  Layers layer_;
  bool antialias_ = false;
  double textSize_ = 13.0;
  vcPair<long> base_;
  vcPair<long> size_;
  std::vector<bool> locks_;
};

// A new eImage root scope of image's size showing image's surface with
// overlay's composited over it (overlay's (0, 0) on image's (0, 0)), ready
// for writePng. Both need raster surfaces (else vcCairoError).
std::unique_ptr<vcCairoScope> vfCairoComposite(const vcCairoScope& image, const vcCairoScope& overlay);

// The PNG image held in png (the bytes of a .png file) as a new eImage root
// scope of the image's size in pixels, its surface holding the pixels as
// Cairo decodes them (alpha premultiplied). An image wider or higher than
// 32767 pixels or of more than maxPixels pixels is refused from its header,
// before any pixel is decoded; bytes that are not a readable PNG image, or
// one without 8-bit color channels, throw vcCairoError.
std::unique_ptr<vcCairoScope> vfCairoReadPng(const std::vector<unsigned char>& png, long maxPixels = 1L << 26);
