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

void vcUIScopeAdapter::attached(const vcUIScope&, const vcUIRect&) { onControl("attached", 0); }

void vcUIScopeAdapter::draw(const vcEllipseArc& s, const vcGraphicProps& p) { onShape("draw(vcEllipseArc)", s, p); }
void vcUIScopeAdapter::draw(const vcEllipse& s, const vcGraphicProps& p) { onShape("draw(vcEllipse)", s, p); }
void vcUIScopeAdapter::draw(const vcPolygon& s, const vcGraphicProps& p) { onShape("draw(vcPolygon)", s, p); }
void vcUIScopeAdapter::draw(const vcPolyline& s, const vcGraphicProps& p) { onShape("draw(vcPolyline)", s, p); }
void vcUIScopeAdapter::draw(const vcGenRect& s, const vcGraphicProps& p) { onShape("draw(vcGenRect)", s, p); }
void vcUIScopeAdapter::draw(const vcEllipseArc2& s, const vcGraphicProps& p) { onShape("draw(vcEllipseArc2)", s, p); }
void vcUIScopeAdapter::draw(const vcEllipse2& s, const vcGraphicProps& p) { onShape("draw(vcEllipse2)", s, p); }
void vcUIScopeAdapter::draw(const vcLineSeg& s, const vcGraphicProps& p) { onShape("draw(vcLineSeg)", s, p); }

namespace {
const vcPair<double> kUnscaled(1.0, 1.0);
}

void vcUIScopeAdapter::draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<vcColor>&, bool,
                            unsigned char) {
  onImage("draw(rle,colors)", corner, image.width(), image.height(), kUnscaled);
}
void vcUIScopeAdapter::draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<unsigned char>&, bool,
                            unsigned char) {
  onImage("draw(rle)", corner, image.width(), image.height(), kUnscaled);
}
void vcUIScopeAdapter::draw(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner, bool,
                            unsigned long) {
  onImage("draw(rgb32)", corner, image.width(), image.height(), kUnscaled);
}
void vcUIScopeAdapter::draw(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner, bool,
                            unsigned short) {
  onImage("draw(rgb16)", corner, image.width(), image.height(), kUnscaled);
}
void vcUIScopeAdapter::draw(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner, bool,
                            unsigned short) {
  onImage("draw(u16)", corner, image.width(), image.height(), kUnscaled);
}
void vcUIScopeAdapter::draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, bool, unsigned char,
                            bool) {
  onImage("draw(u8)", corner, image.width(), image.height(), kUnscaled);
}

vcUIRect vcUIScopeAdapter::textRect(const std::string&, const vcPoint&, const vcUIFormat&, vcUIRect& rect) {
  return rect;
}

void vcUIScopeAdapter::sample(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool, unsigned long) {
  onImage("sample(rgb32)", corner, image.width(), image.height(), sampleScale(scale));
}
void vcUIScopeAdapter::sample(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool, unsigned short) {
  onImage("sample(rgb16)", corner, image.width(), image.height(), sampleScale(scale));
}
void vcUIScopeAdapter::sample(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool, unsigned short) {
  onImage("sample(u16)", corner, image.width(), image.height(), sampleScale(scale));
}
void vcUIScopeAdapter::sample(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool, unsigned char, bool) {
  onImage("sample(u8)", corner, image.width(), image.height(), sampleScale(scale));
}
void vcUIScopeAdapter::expand(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool, unsigned long, InterpolationModes) {
  onImage("expand(rgb32)", corner, image.width(), image.height(), scale);
}
void vcUIScopeAdapter::expand(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool, unsigned short, InterpolationModes) {
  onImage("expand(rgb16)", corner, image.width(), image.height(), scale);
}
void vcUIScopeAdapter::expand(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool, unsigned short, InterpolationModes) {
  onImage("expand(u16)", corner, image.width(), image.height(), scale);
}
void vcUIScopeAdapter::expand(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                              const vcPair<double>& scale, bool, unsigned char, bool, InterpolationModes) {
  onImage("expand(u8)", corner, image.width(), image.height(), scale);
}

void vcUIScopeAdapter::drawTo(const vcPoint& p, const vcGraphicProps& props) {
  onStroke(&p, 0, 0, props);
  const vcPoint to = p;  // p may be the pen itself
  drawStart(to);
}

void vcUIScopeAdapter::drawToRelPels(long dx, long dy, const vcGraphicProps& props) {
  onStroke(nullptr, dx, dy, props);
  moveToRel(dx, dy);
}
