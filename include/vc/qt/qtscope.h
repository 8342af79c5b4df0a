// vcQtScope: a vcUIScope on a QImage, for windows. It keeps the pixel and pen
// contract of vcCairoScope with anti-aliasing off (see <vc/cairo/cairoscope.h>):
// the same pixel rule, pen widths, dashes, joins, caps, fill rules, palette,
// pass color, and change reports that are exactly the bounding box of the
// pixels touched. Where the two differ:
// - text is drawn with Qt's fonts, so its pixels and extents are Qt's own;
// - on slanted and curved edges a pixel whose centre lies almost exactly on
//   the edge may go the other way (a handful along a whole outline);
// - a 1-pixel dotted pen shows as a solid line (wider dots, and dashes, match);
// - scaled images are always nearest-neighbour (no interpolation modes).
//
// Frames. Scope coordinates and surface pixels are those of <vc/uiscope.h>.
// Sub-scopes made by newChild draw on their root's image; "root pixels" are
// pixel indices of that shared image, (0, 0) at its upper-left pixel.
//
// Screen updates. Every scope of a tree shares one stack of screen-update
// locks and one damage rectangle (root pixels), the union of what was drawn
// since it was last taken. When drawing happens with no lock held, and when
// the last lock is popped, the tree's screen callback runs (a window
// schedules a repaint of the damage there).
//
// Drag feedback. Between dragStart and dragStop the tree draws into a drag
// image of its own, shown over the surface; dragErase clears it without
// touching the surface; dragAnimate asks the window to animate it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QImage>

#include <vc/color.h>
#include <vc/core/pair.h>
#include <vc/core/vector.h>
#include <vc/uirect.h>
#include <vc/uiscope.h>

class vcShape;

class vcQtScope : public vcUIScope {
public:
  static constexpr Layers eImage = vcUITabletTypes::eImage;
  static constexpr Layers eOverlay = vcUITabletTypes::eOverlay;

  // A root scope with an image of its own: size in pixels (0 to 32767 each,
  // else vcBadArgument); eImage makes an opaque RGB32 image that starts
  // black, eOverlay an ARGB32 premultiplied image that starts transparent;
  // org: the scope coordinate shown at surface pixel (0, 0).
  explicit vcQtScope(const vcPair<long>& size, Layers layer = eImage, const vcPair<long>& org = vcPair<long>());
  ~vcQtScope() override;
  vcQtScope(const vcQtScope&) = delete;
  vcQtScope& operator=(const vcQtScope&) = delete;

  // ---- the window's side ------------------------------------------------------

  Layers layer() const noexcept { return layer_; }
  // The tree's image and its drag image (same size).
  const QImage& image() const noexcept;
  const QImage& dragImage() const noexcept;
  // Gives a root scope a new image of size (pixels), cleared, and the whole
  // of it as damage; sub-scopes keep their rectangles on the old one and
  // should be made again. Throws vcBadArgument for a bad size or a sub-scope.
  void resize(const vcPair<long>& size);
  // This scope's surface in root pixels.
  vcUIRect surfaceArea() const noexcept { return vcUIRect(base_, size_); }
  // The pixels drawing may touch, in root pixels.
  vcUIRect clipRect() const;
  // The damage of the tree since the last call (root pixels), and clears it.
  // Today one rectangle at most.
  std::vector<vcUIRect> takeDamage();
  // Run when the tree's damage should reach the screen (see above).
  void onScreen(std::function<void()> callback);
  // Whether drag feedback is being drawn, and whether it should be animated.
  bool dragging() const noexcept;
  bool dragAnimated() const noexcept;
  // The pixels of the drag image that hold feedback (root pixels).
  vcUIRect dragInk() const noexcept;
  // Text height in pixels for formats whose fontId is not positive; a
  // positive fontId is itself the height. 13 by default.
  double textSize() const noexcept { return textSize_; }
  void textSize(double pixels);
  // The color c draws in on this scope, as 0xAARRGGBB (alpha 0 or 255).
  std::uint32_t argbOf(const vcColor& c) const;
  // Surface pixel (x, y) as 0xAARRGGBB, not premultiplied; vcBadArgument outside size().
  std::uint32_t argb(long x, long y) const;

  // ---- the scope interface ----------------------------------------------------

  void attached(const vcUIScope& parent, const vcUIRect& surfaceRect) override;
  vcUIScope* newChild(const vcUIRect& rect, bool clipOnly) override;
  void dragStart() override;
  void dragStop() override;
  void dragErase() override;
  void dragAnimate(bool on) override;
  void lockScreenUpdatesPush(bool lock) override;
  bool lockScreenUpdatesPop() override;
  bool screenUpdatesLocked() const override;
  // Both bring the damage to the screen now, unless locked.
  void invalidateScreen(const vcUIRect& rect) override;
  void updateScreen() override;

  void draw(const vcGenShape& shape, const vcColor& color) override;
  void draw(const vcEllipseArc& arc, const vcGraphicProps& props) override;
  void draw(const vcEllipse& ellipse, const vcGraphicProps& props) override;
  void draw(const vcPolygon& polygon, const vcGraphicProps& props) override;
  void draw(const vcPolyline& polyline, const vcGraphicProps& props) override;
  void draw(const vcGenRect& rect, const vcGraphicProps& props) override;
  void draw(const vcEllipseArc2& arc, const vcGraphicProps& props) override;
  void draw(const vcEllipse2& ellipse, const vcGraphicProps& props) override;
  void draw(const vcLineSeg& segment, const vcGraphicProps& props) override;
  void draw(const vcPoint& point, const vcGraphicProps& props) override;
  // The images as in vcCairoScope: RLE values through the color map then the
  // palette; 16-bit grey shows its top 8 bits; 8-bit images are grey levels,
  // or palette indices when mapped; pass pixels are left alone.
  void draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<vcColor>& colorMap, bool passThrough,
            unsigned char passValue) override;
  void draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<unsigned char>& colorMap,
            bool passThrough, unsigned char passValue) override;
  void draw(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner, bool passThrough,
            unsigned long passValue) override;
  void draw(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner, bool passThrough,
            unsigned short passValue) override;
  void draw(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner, bool passThrough,
            unsigned short passValue) override;
  void draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, bool passThrough,
            unsigned char passValue, bool mapped) override;
  // Text in the application's default sans font, its rectangle first filled
  // with background unless that is the pass color.
  void draw(const std::string& text, const vcPoint& anchor, const vcColor& color, const vcColor& background,
            const vcUIFormat& format) override;
  using vcUIScope::draw;
  vcUIRect textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format, vcUIRect& rect) override;

  // Scaled pixel i from the corner shows source pixel trunc(i / scale), only
  // the visible part being scaled; non-positive or non-finite scales throw
  // vcBadArgument. No interpolation.
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

  // rect: scope coordinates; the pixels are replaced (the pass color clears an overlay).
  void set(const vcUIRect& rect, const vcColor& color) override;
  void set(const vcColor& color) override;
  // 4-connected flood fill from seed (scope pixels), as vcCairoScope's.
  void fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type) override;
  void drawTo(const vcPoint& p, const vcGraphicProps& props) override;
  void drawToRelPels(long dx, long dy, const vcGraphicProps& props) override;
  bool isNull() const override { return size_.x() <= 0 || size_.y() <= 0; }
  vcPair<long> size() const override { return size_; }
  // The palette: 256 entries, starting as vcCairoScope's; colorMap keeps the
  // stock colors at their indices, colorMapEx replaces them too.
  void colorMap(const std::vector<vcRGB>& map) override;
  void colorMapEx(const std::vector<vcRGB>& map) override;

  struct Shared;

private:
  vcQtScope(std::shared_ptr<Shared> shared, Layers layer, double textSize);
  // The image drawing goes to now (the drag image while dragging).
  QImage& target_();
  // Stamps argb (0 clears) where mask, covering box (root pixels), is set;
  // reports and returns the touched pixels.
  vcUIRect stamp_(const QImage& mask, const vcUIRect& box, std::uint32_t argb);
  void touched_(const vcUIRect& root, bool opaqueHint);
  void flush_();
  double devX_(const vcPoint& p, long w) const;
  double devY_(const vcPoint& p, long w) const;
  void drawPath_(const std::vector<vcVector<2>>& points, bool closed, bool fill, int fillRule,
                 const vcGraphicProps& props);
  void drawDevPath_(std::vector<std::pair<double, double>> points, bool closed, bool fill, int fillRule,
                    const vcGraphicProps& props);
  void drawSampled_(const vcShape& shape, bool closed, bool fill, const vcGraphicProps& props);
  // Paints at.width() x at.height() argb pixels (0: pass), row after row,
  // at root pixels at, which lies within the clip.
  void blit_(const vcUIRect& at, const std::uint32_t* pels);
  template <class T, class Convert>
  void drawPels_(const vcPelBuffer_const<T>& image, const vcPoint& corner, const vcPair<double>& scale,
                 const Convert& convert);
  void setRoot_(const vcUIRect& r, const vcColor& color);
  void setPalette_(const std::vector<vcRGB>& map, bool keepStock);

  std::shared_ptr<Shared> shared_;
  Layers layer_;
  double textSize_ = 13.0;
  vcPair<long> base_;
  vcPair<long> size_;
};
