#include <vc/uiscope_adapter.h>

#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/lineseg.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/poly.h>
#include <vc/core/rle.h>

vcUIScopeAdapter::vcUIScopeAdapter(const vcPair<long>& org, const vcPair<long>& size, bool nullSurface)
    : vcUIScope(org), size_(nullSurface ? vcPair<long>(0, 0) : size), nullSurface_(nullSurface) {}

void vcUIScopeAdapter::attached(const vcUIScope&, const vcUIRect& surfaceRect) {
  forward_("attached", surfaceRect);
  onControl("attached", 0);
}

bool vcUIScopeAdapter::lockScreenUpdatesPop() {
  control_("lockScreenUpdatesPop");
  return false;
}

namespace {
const vcPair<double> kUnscaled(1.0, 1.0);
}

// The shapes drawn with a pen differ only in type and name.
#define VC_SHAPE_CALL(T)                                                   \
  void vcUIScopeAdapter::draw(const T& s, const vcGraphicProps& p) {       \
    forward_("draw(" #T ")", static_cast<const vcShape*>(&s), &p);         \
    onShape("draw(" #T ")", s, p);                                         \
  }
VC_SHAPE_CALL(vcEllipseArc)
VC_SHAPE_CALL(vcEllipse)
VC_SHAPE_CALL(vcPolygon)
VC_SHAPE_CALL(vcPolyline)
VC_SHAPE_CALL(vcGenRect)
VC_SHAPE_CALL(vcEllipseArc2)
VC_SHAPE_CALL(vcEllipse2)
VC_SHAPE_CALL(vcLineSeg)
#undef VC_SHAPE_CALL

void vcUIScopeAdapter::draw(const vcPoint& p, const vcGraphicProps& props) {
  forward_("draw(vcPoint)", p, &props);
  onPoint(p, props);
}

void vcUIScopeAdapter::draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<vcColor>& colorMap,
                            bool passThrough, unsigned char passValue) {
  forward_("draw(rle,colors)", corner, passThrough, passValue, &image, &colorMap);
  onImage("draw(rle,colors)", corner, image.width(), image.height(), kUnscaled);
}
void vcUIScopeAdapter::draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<unsigned char>& colorMap,
                            bool passThrough, unsigned char passValue) {
  forward_("draw(rle)", corner, passThrough, passValue, &image, &colorMap);
  onImage("draw(rle)", corner, image.width(), image.height(), kUnscaled);
}

// The pel-buffer transfers differ only in pixel type, pass value type and
// name; the 8-bit forms add the mapped flag after the pass value.
#define VC_IMAGE_CALLS(T, PV, name)                                                                                   \
  void vcUIScopeAdapter::draw(const vcPelBuffer_const<T>& image, const vcPoint& corner, bool passThrough,             \
                              PV passValue) {                                                                         \
    forward_("draw(" name ")", corner, passThrough, passValue, &image);                                               \
    onImage("draw(" name ")", corner, image.width(), image.height(), kUnscaled);                                      \
  }                                                                                                                   \
  void vcUIScopeAdapter::sample(const vcPelBuffer_const<T>& image, const vcPoint& corner, const vcPair<double>& scale, \
                                bool passThrough, PV passValue) {                                                     \
    forward_("sample(" name ")", corner, scale, passThrough, passValue, &image);                                      \
    onImage("sample(" name ")", corner, image.width(), image.height(), sampleScale(scale));                           \
  }                                                                                                                   \
  void vcUIScopeAdapter::expand(const vcPelBuffer_const<T>& image, const vcPoint& corner, const vcPair<double>& scale, \
                                bool passThrough, PV passValue, InterpolationModes mode) {                            \
    forward_("expand(" name ")", corner, scale, passThrough, passValue, mode, &image);                                \
    onImage("expand(" name ")", corner, image.width(), image.height(), scale);                                        \
  }
VC_IMAGE_CALLS(vcPackedRGB32Pel, unsigned long, "rgb32")
VC_IMAGE_CALLS(vcPackedRGB16Pel, unsigned short, "rgb16")
VC_IMAGE_CALLS(unsigned short, unsigned short, "u16")
#undef VC_IMAGE_CALLS

void vcUIScopeAdapter::draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, bool passThrough,
                            unsigned char passValue, bool mapped) {
  forward_("draw(u8)", corner, passThrough, passValue, mapped, &image);
  onImage("draw(u8)", corner, image.width(), image.height(), kUnscaled);
}
void vcUIScopeAdapter::sample(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped) {
  forward_("sample(u8)", corner, scale, passThrough, passValue, mapped, &image);
  onImage("sample(u8)", corner, image.width(), image.height(), sampleScale(scale));
}
void vcUIScopeAdapter::expand(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped,
                              InterpolationModes mode) {
  forward_("expand(u8)", corner, scale, passThrough, passValue, mapped, mode, &image);
  onImage("expand(u8)", corner, image.width(), image.height(), scale);
}

void vcUIScopeAdapter::draw(const std::string& text, const vcPoint& anchor, const vcColor& color,
                            const vcColor& background, const vcUIFormat& format) {
  forward_("draw(text)", anchor, &format, &text, color, background);
  onText(text, anchor, color, background, format);
}

vcUIRect vcUIScopeAdapter::textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat&,
                                    vcUIRect& rect) {
  forward_("textRect", anchor, &text);
  return rect;
}

void vcUIScopeAdapter::set(const vcUIRect& rect, const vcColor& color) {
  forward_("set(rect)", rect, color);
  onSet(&rect, color);
}
void vcUIScopeAdapter::set(const vcColor& color) {
  forward_("set(all)", color);
  onSet(nullptr, color);
}
void vcUIScopeAdapter::fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type) {
  forward_("fill", seed.x(), seed.y(), type, color, color2);
  onFill(seed, color, color2, type);
}

void vcUIScopeAdapter::drawTo(const vcPoint& p, const vcGraphicProps& props) {
  forward_("drawTo", Pen{drawPoint()}, p, xCoord(p), yCoord(p), &props);
  onStroke(&p, 0, 0, props);
  const vcPoint to = p;  // p may be the pen itself
  drawStart(to);
}

void vcUIScopeAdapter::drawToRelPels(long dx, long dy, const vcGraphicProps& props) {
  forward_("drawToRelPels", Pen{drawPoint()}, dx, dy, &props);
  onStroke(nullptr, dx, dy, props);
  moveToRel(dx, dy);
}
