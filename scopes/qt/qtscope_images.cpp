// vcQtScope: images of every pixel type, plain and resampled, and text.
#include <vc/qt/qtscope.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <vc/core/exception.h>
#include <vc/core/pel.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/pelcopy.h>
#include <vc/uistring.h>

#include "qt_impl.h"

namespace {

// The scaled pixels that show a source pixel (the display layer's rule).
long scaledExtent(long n, double s) { return vfScaledExtent(n, s, 1L << 30); }

const vcPair<double> kUnscaled(1.0, 1.0);

}  // namespace

void vcQtScope::blit_(const vcUIRect& at, const std::uint32_t* pels) {
  QImage& out = target_();
  long x0 = at.width(), y0 = at.height(), x1 = -1, y1 = -1;
  for (long j = 0; j < at.height(); ++j) {
    const std::uint32_t* in = pels + j * at.width();
    auto* o = reinterpret_cast<std::uint32_t*>(out.scanLine(static_cast<int>(at.top() + j))) + at.left();
    long first = -1, last = -1;
    for (long i = 0; i < at.width(); ++i) {
      if (in[i] == vkScopePass) continue;
      o[i] = in[i];
      if (first < 0) first = i;
      last = i;
    }
    if (first < 0) continue;
    x0 = std::min(x0, first);
    x1 = std::max(x1, last);
    y0 = std::min(y0, j);
    y1 = j;
  }
  if (x1 >= 0) touched_(vcUIRect(at.left() + x0, at.top() + y0, x1 - x0 + 1, y1 - y0 + 1), false);
}

// Converts only the visible part of the (scaled) image, with nearest-neighbour
// columns and rows worked out once per call.
template <class T, class Convert>
void vcQtScope::drawPels_(const vcPelBuffer_const<T>& image, const vcPoint& corner, const vcPair<double>& scale,
                          const Convert& convert) {
  if (isNull() || image.isNull() || image.width() == 0 || image.height() == 0) return;
  const double sx = vfScopeSettled(scale.x()), sy = vfScopeSettled(scale.y());
  const vcUIRect whole(xCoord(corner) + base_.x(), yCoord(corner) + base_.y(), scaledExtent(image.width(), sx),
                       scaledExtent(image.height(), sy));
  const vcUIRect at = whole & clipRect();
  if (at.isNull()) return;
  std::vector<long> cols(static_cast<std::size_t>(at.width()));
  for (long i = 0; i < at.width(); ++i)
    cols[static_cast<std::size_t>(i)] =
        std::min(image.width() - 1, static_cast<long>(static_cast<double>(at.left() - whole.left() + i) / sx));
  std::vector<std::uint32_t> pels(static_cast<std::size_t>(at.width() * at.height()));
  std::uint32_t* o = pels.data();
  for (long j = 0; j < at.height(); ++j) {
    const long row =
        std::min(image.height() - 1, static_cast<long>(static_cast<double>(at.top() - whole.top() + j) / sy));
    const T* in = image.pointToPel(image.offset().x(), image.offset().y() + row);
    for (long i = 0; i < at.width(); ++i) *o++ = convert(in[cols[static_cast<std::size_t>(i)]]);
  }
  blit_(at, pels.data());
}

void vcQtScope::draw(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& corner, bool passThrough,
                     unsigned long passValue) {
  drawPels_(image, corner, kUnscaled, vc_ScopeRgb32{passThrough, passValue});
}
void vcQtScope::draw(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& corner, bool passThrough,
                     unsigned short passValue) {
  drawPels_(image, corner, kUnscaled, vc_ScopeRgb16{passThrough, passValue});
}
void vcQtScope::draw(const vcPelBuffer_const<unsigned short>& image, const vcPoint& corner, bool passThrough,
                     unsigned short passValue) {
  drawPels_(image, corner, kUnscaled, vc_ScopeGrey16{passThrough, passValue});
}
void vcQtScope::draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner, bool passThrough,
                     unsigned char passValue, bool mapped) {
  drawPels_(image, corner, kUnscaled, vfScopeTable8(shared_->palette, mapped, passThrough, passValue));
}
void vcQtScope::draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<vcColor>& colorMap,
                     bool passThrough, unsigned char passValue) {
  if (image.isNull()) return;
  vc_ScopeTable8 t = vfScopeTable8(shared_->palette, true, passThrough, passValue);
  for (std::size_t v = 0; v < std::min<std::size_t>(colorMap.size(), 256); ++v) t.table[v] = argbOf(colorMap[v]);
  drawPels_(vcPelBuffer_const<unsigned char>(image.decode()), corner, kUnscaled, t);
}
void vcQtScope::draw(const vcRLEBuffer& image, const vcPoint& corner, const std::vector<unsigned char>& colorMap,
                     bool passThrough, unsigned char passValue) {
  if (image.isNull()) return;
  vcPelBuffer<unsigned char> pels = image.decode();
  vfPelMap(pels, pels, colorMap);
  drawPels_(vcPelBuffer_const<unsigned char>(pels), corner, kUnscaled,
            vfScopeTable8(shared_->palette, true, passThrough, passValue));
}

// sample takes a tablet's stored factors: whole reductions (2.0) or scales (0.5).
#define VC_SCALED(T, PV, CONVERT)                                                                               \
  void vcQtScope::sample(const vcPelBuffer_const<T>& image, const vcPoint& corner, const vcPair<double>& scale, \
                         bool passThrough, PV passValue) {                                                      \
    vfScopeCheckScale(scale, "vcQtScope::sample");                                                              \
    drawPels_(image, corner, sampleScale(scale), CONVERT{passThrough, passValue});                              \
  }                                                                                                             \
  void vcQtScope::expand(const vcPelBuffer_const<T>& image, const vcPoint& corner, const vcPair<double>& scale, \
                         bool passThrough, PV passValue, InterpolationModes) {                                  \
    vfScopeCheckScale(scale, "vcQtScope::expand");                                                              \
    drawPels_(image, corner, scale, CONVERT{passThrough, passValue});                                           \
  }
VC_SCALED(vcPackedRGB32Pel, unsigned long, vc_ScopeRgb32)
VC_SCALED(vcPackedRGB16Pel, unsigned short, vc_ScopeRgb16)
VC_SCALED(unsigned short, unsigned short, vc_ScopeGrey16)
#undef VC_SCALED

void vcQtScope::sample(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                       const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped) {
  vfScopeCheckScale(scale, "vcQtScope::sample");
  drawPels_(image, corner, sampleScale(scale), vfScopeTable8(shared_->palette, mapped, passThrough, passValue));
}
void vcQtScope::expand(const vcPelBuffer_const<unsigned char>& image, const vcPoint& corner,
                       const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped,
                       InterpolationModes) {
  vfScopeCheckScale(scale, "vcQtScope::expand");
  drawPels_(image, corner, scale, vfScopeTable8(shared_->palette, mapped, passThrough, passValue));
}

// ---- text ------------------------------------------------------------------------------------------

namespace {

QFont fontFor(const vcUIFormat& format, double textSize) {
  QFont f;
  f.setPixelSize(static_cast<int>(std::lround(format.fontId() > 0 ? static_cast<double>(format.fontId()) : textSize)));
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

// Bytes as Qt takes them: UTF-8 when they are, Latin-1 otherwise.
QString textOf(const std::string& s) {
  const QByteArray bytes(s.data(), static_cast<qsizetype>(s.size()));
  const QString utf = QString::fromUtf8(bytes);
  return utf.toUtf8() == bytes ? utf : QString::fromLatin1(bytes);
}

}  // namespace

vcUIRect vcQtScope::textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format, vcUIRect& rect) {
  if (text.empty()) return rect = vcUIRect();
  const QFontMetrics m(fontFor(format, textSize_));
  const long w = m.horizontalAdvance(textOf(text)), h = m.height();
  rect = format.alignRect(vcUIRect(xCoord(anchor) + org().x(), yCoord(anchor) + org().y(), w, h));
  return rect;
}

void vcQtScope::draw(const std::string& text, const vcPoint& anchor, const vcColor& color, const vcColor& background,
                     const vcUIFormat& format) {
  vcUIRect r;
  textRect(text, anchor, format, r);
  if (r.isNull() || isNull()) return;
  if (!(background == vcColor::passColor())) set(r, background);
  const vcUIRect box = (r - org() + base_) & clipRect();
  if (box.isNull()) return;
  QImage& mask = vfQtScratchMask(shared_->mask, box.sz());
  QPainter p(&mask);
  p.setClipRect(QRect(0, 0, static_cast<int>(box.width()), static_cast<int>(box.height())));
  const QFont f = fontFor(format, textSize_);
  p.setFont(f);
  p.setPen(Qt::black);
  const vcPair<long> at = r.ul() - org() + base_ - box.ul();
  p.drawText(QPointF(static_cast<double>(at.x()), static_cast<double>(at.y() + QFontMetrics(f).ascent())),
             textOf(text));
  p.end();
  stamp_(mask, box, argbOf(color));
  vfQtClearMask(mask, box.sz());
}
