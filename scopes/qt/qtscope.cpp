// vcQtScope: the tree, the screen updates, the pen and the shapes. Shapes are
// rendered aliased into a scratch mask with Cairo's pixel rule and pen, then
// the color is stamped through the mask, so the touched pixels are known
// exactly.
#include <vc/qt/qtscope.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <vc/core/clip.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/exception.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/dispprop.h>

#include "qt_impl.h"
#include "scope_paths.h"

namespace {

using Props = vcGraphicProps;

constexpr long kMaxSide = 32767;
constexpr double kSampleTolerance = 0.2;
constexpr long kMaxSamples = 20000;
constexpr double kMiterLimit = 10.0;
// Cairo's aliased fills take a pixel whose centre lies on a left or top edge,
// Qt's the one on a right or bottom edge: paths are shifted by less than
// Cairo's coordinate resolution (1/256 pixel) to make Qt take Cairo's.
constexpr double kEdgeShift = 1.0 / 64;

long penWidth(const Props& p) { return vfScopePenWidth(p); }
double penCentre(long w) { return vfScopePenCentre(w); }
bool strokes(const Props& p) { return p.penStyle() != Props::ePenNull; }

// Dash lengths in pen widths (on, off, ...), indexed by pen style.
const std::array<std::vector<qreal>, 5> kDashes{{{}, {6, 3}, {1, 1}, {6, 3, 1, 3}, {6, 3, 1, 3, 1, 3}}};

void checkSize(const vcPair<long>& size) {
  if (size.x() < 0 || size.y() < 0 || size.x() > kMaxSide || size.y() > kMaxSide)
    throw vcBadArgument("vcQtScope: size " + std::to_string(size.x()) + " x " + std::to_string(size.y()) +
                        " is outside 0 to 32767 pixels");
}

QImage newSurface(const vcPair<long>& size, vcUITabletTypes::Layers layer) {
  QImage img(static_cast<int>(size.x()), static_cast<int>(size.y()),
             layer == vcUITabletTypes::eOverlay ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  img.fill(layer == vcUITabletTypes::eOverlay ? 0u : 0xFF000000u);
  return img;
}

QImage newDrag(const vcPair<long>& size) {
  QImage img(static_cast<int>(size.x()), static_cast<int>(size.y()), QImage::Format_ARGB32_Premultiplied);
  img.fill(0u);
  return img;
}

QPainterPath pathOf(const std::vector<std::pair<double, double>>& pts, bool closed, const vcPair<long>& shift) {
  QPainterPath path;
  const auto at = [&](const std::pair<double, double>& p) {
    return QPointF(p.first - static_cast<double>(shift.x()), p.second - static_cast<double>(shift.y()));
  };
  path.moveTo(at(pts[0]));
  for (std::size_t i = 1; i < pts.size(); ++i) path.lineTo(at(pts[i]));
  if (closed) path.closeSubpath();
  return path;
}

// Farther than this (pixels) from the surface's origin a path is cut first.
constexpr double kFar = 4194304.0;

bool isFar(const std::vector<std::pair<double, double>>& path) {
  return std::any_of(path.begin(), path.end(),
                     [](const auto& p) { return !(std::fabs(p.first) < kFar && std::fabs(p.second) < kFar); });
}

std::vector<std::pair<double, double>> devOf(const std::vector<vcVector<2>>& points) {
  std::vector<std::pair<double, double>> out;
  for (const vcVector<2>& v : points) out.emplace_back(v.x(), v.y());
  return out;
}

QPainterPath strokeOf(const QPainterPath& path, const Props& p) {
  QPainterPathStroker s;
  s.setWidth(static_cast<qreal>(penWidth(p)));
  s.setMiterLimit(kMiterLimit);
  s.setJoinStyle(p.penJoin() == Props::eJoinBevel   ? Qt::BevelJoin
                 : p.penJoin() == Props::eJoinMiter ? Qt::MiterJoin
                                                    : Qt::RoundJoin);
  const Props::vePenEndCap cap = p.penEndCap();
  s.setCapStyle(cap == Props::eCapSquare ? Qt::SquareCap : cap == Props::eCapFlat ? Qt::FlatCap : Qt::RoundCap);
  const int style = static_cast<int>(p.penStyle());
  if (style > 0 && style < static_cast<int>(kDashes.size())) {
    // Caps add half a width at each end of a dash: take it from the dash, give it to the gap.
    const double capLength = cap == Props::eCapFlat ? 0.0 : 1.0;
    // Qt drops dashes of length 0, whose caps are Cairo's dots: they get a
    // sliver of length, taken back from the gap after them.
    constexpr double kSliver = 1.0 / 256;
    QList<qreal> d;
    const auto& lengths = kDashes[static_cast<std::size_t>(style)];
    for (std::size_t i = 0; i < lengths.size(); i += 2) {
      const double on = std::max(kSliver, lengths[i] - capLength);
      d.push_back(on);
      d.push_back(lengths[i + 1] + capLength - (on - std::max(0.0, lengths[i] - capLength)));
    }
    s.setDashPattern(d);
  }
  return s.createStroke(path);
}

}  // namespace

// ---- the tree -------------------------------------------------------------------------------

vcQtScope::vcQtScope(const vcPair<long>& size, Layers layer, const vcPair<long>& org)
    : vcUIScope(org), layer_(layer), size_(size) {
  if (layer != eImage && layer != eOverlay)
    throw vcBadArgument("vcQtScope: layer " + std::to_string(static_cast<int>(layer)) +
                        " is neither eImage nor eOverlay");
  checkSize(size);
  shared_ = std::make_shared<Shared>();
  shared_->surface = newSurface(size, layer);
  shared_->drag = newDrag(size);
  shared_->palette = vfScopeDefaultPalette();
}

vcQtScope::vcQtScope(std::shared_ptr<Shared> shared, Layers layer, double textSize)
    : vcUIScope(vcPair<long>()), shared_(std::move(shared)), layer_(layer), textSize_(textSize) {}

vcQtScope::~vcQtScope() = default;

const QImage& vcQtScope::image() const noexcept { return shared_->surface; }
const QImage& vcQtScope::dragImage() const noexcept { return shared_->drag; }
bool vcQtScope::dragging() const noexcept { return shared_->dragging; }
bool vcQtScope::dragAnimated() const noexcept { return shared_->animate; }
vcUIRect vcQtScope::dragInk() const noexcept { return shared_->dragInk; }
void vcQtScope::onScreen(std::function<void()> callback) { shared_->screen = std::move(callback); }

void vcQtScope::resize(const vcPair<long>& size) {
  if (parent()) throw vcBadArgument("vcQtScope::resize: only a root scope has an image of its own");
  checkSize(size);
  shared_->surface = newSurface(size, layer_);
  shared_->drag = newDrag(size);
  shared_->dragInk = vcUIRect();
  size_ = size;
  allChange();
  touched_(surfaceArea(), false);
}

void vcQtScope::textSize(double pixels) {
  if (!(pixels >= 1.0 && pixels <= 1000.0))
    throw vcBadArgument("vcQtScope::textSize: " + std::to_string(pixels) + " is outside 1 to 1000 pixels");
  textSize_ = pixels;
}

void vcQtScope::attached(const vcUIScope& parent, const vcUIRect& surfaceRect) {
  const auto* p = dynamic_cast<const vcQtScope*>(&parent);
  if (!p) throw vcBadArgument("vcQtScope: a sub-scope's parent must be a vcQtScope");
  shared_ = p->shared_;
  const vcUIRect shown = surfaceRect & vcUIRect(0, 0, p->size_.x(), p->size_.y());
  base_ = p->base_ + shown.ul();
  size_ = shown.sz();
}

vcUIScope* vcQtScope::newChild(const vcUIRect& rect, bool clipOnly) {
  std::unique_ptr<vcQtScope> child(new vcQtScope(shared_, layer_, textSize_));
  if (clipOnly)
    child->subset(*this, rect);
  else
    child->move(*this, rect);
  return child.release();
}

vcUIRect vcQtScope::clipRect() const {
  vcUIRect r = surfaceArea();
  if (!displayClipRect().isNull()) r = r & (displayClipRect() - org() + base_);
  if (const auto* p = dynamic_cast<const vcQtScope*>(parent())) r = r & p->clipRect();
  return r;
}

// ---- screen updates and drag feedback ----------------------------------------------------------

void vcQtScope::lockScreenUpdatesPush(bool lock) { shared_->locks.push_back(lock); }

bool vcQtScope::lockScreenUpdatesPop() {
  if (!shared_->locks.empty()) shared_->locks.pop_back();
  const bool locked = screenUpdatesLocked();
  if (shared_->locks.empty()) flush_();
  return locked;
}

bool vcQtScope::screenUpdatesLocked() const { return !shared_->locks.empty() && shared_->locks.back(); }

void vcQtScope::invalidateScreen(const vcUIRect& rect) {
  shared_->damage = shared_->damage | ((rect - org() + base_) & surfaceArea());
  flush_();
}

void vcQtScope::updateScreen() { flush_(); }

std::vector<vcUIRect> vcQtScope::takeDamage() {
  std::vector<vcUIRect> out;
  if (!shared_->damage.isNull()) out.push_back(shared_->damage);
  shared_->damage = vcUIRect();
  return out;
}

void vcQtScope::flush_() {
  if (screenUpdatesLocked() || shared_->damage.isNull() || !shared_->screen) return;
  shared_->screen();
}

void vcQtScope::touched_(const vcUIRect& root, bool opaqueHint) {
  if (root.isNull()) return;
  if (shared_->dragging) {
    // Feedback is not drawing: the surface and its change records stay as they are.
    shared_->dragInk = shared_->dragInk | root;
  } else {
    change(root - base_, opaqueHint);
  }
  shared_->damage = shared_->damage | root;
  flush_();
}

void vcQtScope::dragStart() { shared_->dragging = true; }
void vcQtScope::dragStop() { shared_->dragging = false; }
void vcQtScope::dragAnimate(bool on) {
  shared_->animate = on;
  shared_->damage = shared_->damage | shared_->dragInk;
  flush_();
}

void vcQtScope::dragErase() {
  const vcUIRect ink = shared_->dragInk;
  if (ink.isNull()) return;
  QPainter p(&shared_->drag);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(QRect(static_cast<int>(ink.left()), static_cast<int>(ink.top()), static_cast<int>(ink.width()),
                   static_cast<int>(ink.height())),
             Qt::transparent);
  p.end();
  shared_->dragInk = vcUIRect();
  shared_->damage = shared_->damage | ink;
  flush_();
}

QImage& vcQtScope::target_() { return shared_->dragging ? shared_->drag : shared_->surface; }

// ---- colors -------------------------------------------------------------------------------------

void vcQtScope::setPalette_(const std::vector<vcRGB>& map, bool keepStock) {
  vfScopeColorMap(shared_->palette, map, keepStock, "vcQtScope");
}

void vcQtScope::colorMap(const std::vector<vcRGB>& map) { setPalette_(map, true); }
void vcQtScope::colorMapEx(const std::vector<vcRGB>& map) { setPalette_(map, false); }

std::uint32_t vcQtScope::argbOf(const vcColor& c) const {
  // Drag feedback is drawn on a transparent image: the pass color erases there too.
  if ((layer_ == eOverlay || shared_->dragging) && c == vcColor::passColor()) return 0;
  if (c.isRGBColor()) return vfScopeOpaque(c.rgbStruct());
  return vfScopeOpaque(shared_->palette[c.index()]);
}

std::uint32_t vcQtScope::argb(long x, long y) const {
  if (x < 0 || y < 0 || x >= size_.x() || y >= size_.y())
    throw vcBadArgument("vcQtScope::argb: pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                        ") is outside the surface");
  const QRgb v = shared_->surface.pixel(static_cast<int>(x + base_.x()), static_cast<int>(y + base_.y()));
  return layer_ == eImage ? (v | 0xFF000000u) : qUnpremultiply(v);
}

// ---- painting -----------------------------------------------------------------------------------

vcUIRect vcQtScope::stamp_(const QImage& mask, const vcUIRect& box, std::uint32_t argb) {
  QImage& out = target_();
  long x0 = box.width(), y0 = box.height(), x1 = -1, y1 = -1;
  for (long j = 0; j < box.height(); ++j) {
    const uchar* m = mask.constScanLine(static_cast<int>(j));
    auto* o = reinterpret_cast<std::uint32_t*>(out.scanLine(static_cast<int>(box.top() + j))) + box.left();
    for (long i = 0; i < box.width(); ++i) {
      if (!m[i]) continue;
      o[i] = argb;
      x0 = std::min(x0, i);
      x1 = std::max(x1, i);
      y0 = std::min(y0, j);
      y1 = j;
    }
  }
  if (x1 < 0) return vcUIRect();
  const vcUIRect ink(box.left() + x0, box.top() + y0, x1 - x0 + 1, y1 - y0 + 1);
  touched_(ink, false);
  return ink;
}

double vcQtScope::devX_(const vcPoint& p, long w) const {
  return static_cast<double>(xCoord(p) + base_.x()) + penCentre(w);
}
double vcQtScope::devY_(const vcPoint& p, long w) const {
  return static_cast<double>(yCoord(p) + base_.y()) + penCentre(w);
}

void vcQtScope::drawPath_(const std::vector<vcVector<2>>& points, bool closed, bool fill, int fillRule,
                          const vcGraphicProps& props) {
  const long w = penWidth(props);
  std::vector<std::pair<double, double>> dev;
  dev.reserve(points.size());
  for (const vcVector<2>& v : points) {
    const vcPoint p(v);
    dev.emplace_back(devX_(p, w), devY_(p, w));
  }
  drawDevPath_(std::move(dev), closed, fill, fillRule, props);
}

void vcQtScope::drawDevPath_(std::vector<std::pair<double, double>> dev, bool closed, bool fill, int fillRule,
                             const vcGraphicProps& props) {
  const bool stroke = strokes(props);
  dev.erase(std::unique(dev.begin(), dev.end()), dev.end());
  if (closed && dev.size() > 1 && dev.front() == dev.back()) dev.pop_back();
  if (dev.empty() || (!stroke && !fill) || isNull()) return;
  const vcUIRect clip = clipRect();
  if (clip.isNull()) return;
  const long w = penWidth(props);
  const double half = static_cast<double>(w) / 2.0;
  // Every pixel the ink can reach: the path's box widened by the pen's reach
  // (miter joins and square caps stick out furthest) and a pixel for rounding.
  double x0 = dev[0].first, y0 = dev[0].second, x1 = x0, y1 = y0;
  for (const auto& [x, y] : dev) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
  }
  double reach = half * (props.penJoin() == Props::eJoinMiter     ? kMiterLimit
                         : props.penEndCap() == Props::eCapSquare ? std::sqrt(2.0)
                                                                  : 1.0);
  if (!stroke) reach = 0.0;
  reach += 1.0;
  const vcUIRect box = vfQtCover(x0 - reach, y0 - reach, x1 + reach, y1 + reach) & clip;
  if (box.isNull()) return;

  QImage& mask = vfQtScratchMask(shared_->mask, box.sz());
  QPainter p(&mask);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setClipRect(QRect(0, 0, static_cast<int>(box.width()), static_cast<int>(box.height())));
  p.translate(-kEdgeShift, -kEdgeShift);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  if (dev.size() == 1) {
    // A path within one pixel shows as that pixel, whatever the caps.
    p.drawRect(QRectF(dev[0].first - half - static_cast<double>(box.left()),
                      dev[0].second - half - static_cast<double>(box.top()), static_cast<double>(w),
                      static_cast<double>(w)));
  } else {
    // Qt's rasteriser holds coordinates in fixed point: paths reaching far
    // beyond the clip are cut to it, widened by what a pen can reach, first.
    QPainterPath path, area;
    if (isFar(dev)) {
      const double m = 10.0 * static_cast<double>(w) + 4.0;
      const vcRect near(static_cast<double>(clip.left()) - m, static_cast<double>(clip.top()) - m,
                        static_cast<double>(clip.width()) + 2 * m, static_cast<double>(clip.height()) + 2 * m);
      std::vector<vcVector<2>> points;
      for (const auto& [x, y] : dev) points.emplace_back(x, y);
      if (fill) {
        const std::vector<std::pair<double, double>> cut = devOf(vfClipPolygon(points, near));
        if (cut.size() >= 3) area = pathOf(cut, true, box.ul());
      }
      for (const auto& run : vfClipPath(points, closed, near))
        if (run.size() >= 2) path.addPath(pathOf(devOf(run), false, box.ul()));
    } else {
      path = pathOf(dev, closed, box.ul());
      if (fill && dev.size() >= 3) area = path;
    }
    if (!area.isEmpty()) {
      area.closeSubpath();
      area.setFillRule(fillRule == vcPolygon::eEvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
      p.drawPath(area);
    }
    if (stroke && !path.isEmpty()) {
      QPainterPath outline = strokeOf(path, props);
      outline.setFillRule(Qt::WindingFill);
      p.drawPath(outline);
    }
  }
  p.end();
  stamp_(mask, box, argbOf(props.penColor()));
  vfQtClearMask(mask, box.sz());
}

void vcQtScope::drawSampled_(const vcShape& shape, bool closed, bool fill, const vcGraphicProps& props) {
  if (!strokes(props) && !fill) return;
  // Shapes wholly outside the clip are not sampled at all.
  const vcRect b = shape.boundingBox();
  const double reach = static_cast<double>(penWidth(props)) * kMiterLimit / 2 + 2;
  const double dx = static_cast<double>(base_.x() - org().x()), dy = static_cast<double>(base_.y() - org().y());
  if (std::isfinite(b.x() + b.y() + b.width() + b.height()) &&
      (vfQtCover(b.x() + dx - reach, b.y() + dy - reach, b.x() + b.width() + dx + reach,
                 b.y() + b.height() + dy + reach) &
       clipRect())
          .isNull())
    return;
  vcShape::vcSampleParams params(kSampleTolerance, 0.0, 2);
  params.maxPoints(kMaxSamples);
  std::vector<vcVector<2>> points;
  shape.sample(params, points);
  drawPath_(points, closed, fill, vcPolygon::eWinding, props);
}

VC_SCOPE_PATH_FORMS(vcQtScope)

// ---- set and flood fill ---------------------------------------------------------------------------

void vcQtScope::setRoot_(const vcUIRect& r, const vcColor& color) {
  if (isNull()) return;
  const vcUIRect area = r & clipRect();
  if (area.isNull()) return;
  const std::uint32_t v = argbOf(color);
  QImage& out = target_();
  for (long y = area.top(); y < area.bottom(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(out.scanLine(static_cast<int>(y)));
    std::fill(row + area.left(), row + area.right(), v);
  }
  touched_(area, true);
}

void vcQtScope::set(const vcUIRect& rect, const vcColor& color) { setRoot_(rect - org() + base_, color); }
void vcQtScope::set(const vcColor& color) { setRoot_(surfaceArea(), color); }

void vcQtScope::fill(const vcPair<long>& seed, const vcColor& color, const vcColor& color2, FillType type) {
  if (type != vcUITabletTypes::eFillToBorder && type != vcUITabletTypes::eFillSurface)
    throw vcBadArgument("vcQtScope::fill: fill type " + std::to_string(static_cast<int>(type)) +
                        " is neither eFillToBorder nor eFillSurface");
  if (isNull()) return;
  const vcUIRect clip = clipRect();
  const vcPair<long> start = seed - org() + base_;
  if (!clip.within(start)) return;
  QImage& img = target_();
  // RGB32 pixels carry an undefined top byte.
  const std::uint32_t mask = img.format() == QImage::Format_RGB32 ? 0x00FFFFFFu : 0xFFFFFFFFu;
  const auto pel = [&](long x, long y) -> std::uint32_t& {
    return reinterpret_cast<std::uint32_t*>(img.scanLine(static_cast<int>(y)))[x];
  };
  const vcUIRect filled = vfScopeFloodFill(clip, start, pel, mask, argbOf(color), argbOf(color2) & mask,
                                           type == vcUITabletTypes::eFillToBorder);
  if (!filled.isNull()) touched_(filled, false);
}
