// vcUIScopeAdapter: a base for scopes that only observe what a tablet asks of
// its surface (test doubles, benchmark sinks, surfaces that measure). It
// implements every pure operation of vcUIScope but newChild by routing it to
// a few hooks, each a no-op by default, so a new operation is routed once
// here and a new observer overrides only the hooks it needs.
#pragma once

#include <string>
#include <vector>

#include <vc/uiscope.h>

class vcShape;

class vcUIScopeAdapter : public vcUIScope {
public:
  // A root scope whose surface pixel (0, 0) shows scope coordinate org and
  // whose surface is size pixels (width, height); a null surface has none.
  vcUIScopeAdapter(const vcPair<long>& org, const vcPair<long>& size, bool nullSurface = false);

  void attached(const vcUIScope& parent, const vcUIRect& surfaceRect) override;
  void dragStart() override { onControl("dragStart", 0); }
  void dragStop() override { onControl("dragStop", 0); }
  void dragErase() override { onControl("dragErase", 0); }
  void dragAnimate(bool on) override { onControl("dragAnimate", on); }

  void draw(const vcEllipseArc& s, const vcGraphicProps& p) override;
  void draw(const vcEllipse& s, const vcGraphicProps& p) override;
  void draw(const vcPolygon& s, const vcGraphicProps& p) override;
  void draw(const vcPolyline& s, const vcGraphicProps& p) override;
  void draw(const vcGenRect& s, const vcGraphicProps& p) override;
  void draw(const vcEllipseArc2& s, const vcGraphicProps& p) override;
  void draw(const vcEllipse2& s, const vcGraphicProps& p) override;
  void draw(const vcLineSeg& s, const vcGraphicProps& p) override;
  void draw(const vcPoint& p, const vcGraphicProps& props) override { onPoint(p, props); }

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
            const vcUIFormat& format) override {
    onText(text, anchor, color, background, format);
  }
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

  void set(const vcUIRect& rect, const vcColor& color) override { onSet(&rect, color); }
  void set(const vcColor& color) override { onSet(nullptr, color); }
  void fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type) override {
    onFill(seed, color, color2, type);
  }
  // The hooks run with the pen where it was; then the pen moves.
  void drawTo(const vcPoint& p, const vcGraphicProps& props) override;
  void drawToRelPels(long dx, long dy, const vcGraphicProps& props) override;

  bool isNull() const override { return nullSurface_; }
  vcPair<long> size() const override { return size_; }

protected:
  // ---- the hooks ----
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
  vcPair<long> size_;
  bool nullSurface_;
};
