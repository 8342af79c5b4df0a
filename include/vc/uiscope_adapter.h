// vcUIScopeAdapter: a base for scopes that only observe what a tablet asks of
// its surface (test doubles, benchmark sinks, surfaces that measure). It
// implements every operation of vcUIScope but newChild by forwarding it, so
// the operations are listed once, here, and an observer overrides only the
// hooks it needs, each a no-op by default:
// - onCall sees every operation with every argument (a call log);
// - the typed hooks (onShape, onImage, onText...) see the drawing grouped by
//   kind (surfaces that measure).
#pragma once

#include <array>
#include <span>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include <vc/uiscope.h>

class vcShape;

class vcUIScopeAdapter : public vcUIScope {
public:
  // The pen (scope coordinates) before a stroke, as an argument of onCall.
  struct Pen {
    vcPoint at;
  };
  // One argument of a forwarded call. Integers, flags, pass values and
  // enumerations arrive as long; objects arrive by pointer, valid for the call.
  using Arg = std::variant<long, double, vcPoint, Pen, vcPair<double>, vcUIRect, vcColor, const vcGraphicProps*,
                           const vcShape*, const vcGenShape*, const vcGraphic*, const std::string*, const vcUIFormat*,
                           const vcRLEBuffer*, const std::vector<vcColor>*, const std::vector<unsigned char>*,
                           const std::vector<vcRGB>*, const vcPelBuffer_const<vcPackedRGB32Pel>*,
                           const vcPelBuffer_const<vcPackedRGB16Pel>*, const vcPelBuffer_const<unsigned short>*,
                           const vcPelBuffer_const<unsigned char>*>;

  // A root scope whose surface pixel (0, 0) shows scope coordinate org and
  // whose surface is size pixels (width, height); a null surface has none.
  vcUIScopeAdapter(const vcPair<long>& org, const vcPair<long>& size, bool nullSurface = false);

  void attached(const vcUIScope& parent, const vcUIRect& surfaceRect) override;
  void dragStart() override { control_("dragStart"); }
  void dragStop() override { control_("dragStop"); }
  void dragErase() override { control_("dragErase"); }
  void dragAnimate(bool on) override { control_("dragAnimate", on); }
  // The lock calls are forwarded only: a derived scope that holds repaints
  // counts them itself.
  void lockScreenUpdatesPush(bool lock) override { control_("lockScreenUpdatesPush", lock); }
  bool lockScreenUpdatesPop() override;
  void invalidateScreen(const vcUIRect& r) override { forward_("invalidateScreen", r); }
  void updateScreen() override { forward_("updateScreen"); }
  void optimizeDrawing(bool on) override { forward_("optimizeDrawing", on); }
  void colorMap(const std::vector<vcRGB>& map) override { forward_("colorMap", &map); }
  void colorMapEx(const std::vector<vcRGB>& map) override { forward_("colorMapEx", &map); }
  void newDisplayClipRect(const vcUIRect& r) override { forward_("newDisplayClipRect", r); }

  void draw(const vcGenShape& s, const vcColor& c) override { forward_("draw(vcGenShape)", &s, c); }
  void draw(const vcGraphic& g) override { forward_("draw(vcGraphic)", &g); }

  void draw(const vcEllipseArc& s, const vcGraphicProps& p) override;
  void draw(const vcEllipse& s, const vcGraphicProps& p) override;
  void draw(const vcPolygon& s, const vcGraphicProps& p) override;
  void draw(const vcPolyline& s, const vcGraphicProps& p) override;
  void draw(const vcGenRect& s, const vcGraphicProps& p) override;
  void draw(const vcEllipseArc2& s, const vcGraphicProps& p) override;
  void draw(const vcEllipse2& s, const vcGraphicProps& p) override;
  void draw(const vcLineSeg& s, const vcGraphicProps& p) override;
  void draw(const vcPoint& p, const vcGraphicProps& props) override;

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
  void draw(const std::string& text, const vcPoint& anchor, const vcColor& color, const vcColor& background,
            const vcUIFormat& format) override;
  // Leaves rect as it is and returns it, unless a derived scope measures text.
  vcUIRect textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format,
                    vcUIRect& rect) override;

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

  void set(const vcUIRect& rect, const vcColor& color) override;
  void set(const vcColor& color) override;
  void fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type) override;
  // The hooks run with the pen where it was; then the pen moves.
  void drawTo(const vcPoint& p, const vcGraphicProps& props) override;
  void drawToRelPels(long dx, long dy, const vcGraphicProps& props) override;

  bool isNull() const override { return nullSurface_; }
  vcPair<long> size() const override { return size_; }

protected:
  // ---- the hooks ----
  // Every operation above, named as in its hook below or by itself
  // ("drawTo", "set(rect)", "sample(u8)"...), with its arguments in a fixed
  // order: placement first, then the flags and values, the image last but for
  // an RLE image's color map; a text's format before the text; a stroke's pen
  // before its end (drawTo also passes the end's surface pixel, x then y).
  virtual void onCall(const char* /*op*/, std::span<const Arg> /*args*/) {}
  // Tree and screen operations without drawing: name is the operation
  // ("attached", "dragStart", "dragAnimate"...), arg its flag (0 when none).
  virtual void onControl(const char* /*name*/, long /*arg*/) {}
  // A shape drawn with a pen, in scope coordinates; name is the operation,
  // e.g. "draw(vcEllipse)".
  virtual void onShape(const char* /*name*/, const vcShape& /*shape*/, const vcGraphicProps& /*props*/) {}
  virtual void onPoint(const vcPoint& /*p*/, const vcGraphicProps& /*props*/) {}
  // An image of width x height pixels placed with its upper-left corner at
  // corner (scope coordinates), its size multiplied by scale (1, 1 for draw;
  // for sample, the multipliers its reduction factors stand for); name is
  // the operation, e.g. "draw(u8)", "sample(rgb32)".
  virtual void onImage(const char* /*name*/, const vcPoint& /*corner*/, long /*width*/, long /*height*/,
                       const vcPair<double>& /*scale*/) {}
  virtual void onText(const std::string& /*text*/, const vcPoint& /*anchor*/, const vcColor& /*color*/,
                      const vcColor& /*background*/, const vcUIFormat& /*format*/) {}
  // set: rect in scope coordinates, or null for the whole surface.
  virtual void onSet(const vcUIRect* /*rect*/, const vcColor& /*color*/) {}
  virtual void onFill(const vcPair<long>& /*seed*/, const vcColor& /*color*/, const vcColor& /*color2*/,
                      FillType /*type*/) {}
  // A pen stroke from drawPoint() to *to (drawTo), or from the pen's pixel
  // (drawX(), drawY()) by dx, dy pixels (drawToRelPels: to is null).
  virtual void onStroke(const vcPoint* /*to*/, long /*dx*/, long /*dy*/, const vcGraphicProps& /*props*/) {}

private:
  static Arg arg_(bool v) { return Arg(std::in_place_type<long>, static_cast<long>(v)); }
  template <class T>
  static Arg arg_(const T& v) {
    if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) return Arg(std::in_place_type<long>, static_cast<long>(v));
    else return Arg(v);
  }
  template <class... A>
  void forward_(const char* op, const A&... args) {
    const std::array<Arg, sizeof...(A)> list{arg_(args)...};
    onCall(op, list);
  }
  void control_(const char* op) {
    forward_(op);
    onControl(op, 0);
  }
  void control_(const char* op, bool on) {
    forward_(op, on);
    onControl(op, on);
  }

  vcPair<long> size_;
  bool nullSurface_;
};
