// vcQtView: the widget over the two layer scopes and the root tablet.
#include <vc/qt/qtview.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <vc/dispprop.h>

namespace {

constexpr double kMinZoom = 1.0 / 64, kMaxZoom = 64.0;
constexpr int kClickSlop = 3;        // widget pixels a click may move and stay a click
constexpr int kMarchMs = 120;        // step of the marching dashes
constexpr double kWheelStep = 1.25;  // zoom per wheel notch and per key

vcPair<long> sizeOf(const QWidget& w) { return vcPair<long>(std::max(w.width(), 1), std::max(w.height(), 1)); }

QRect qrect(const vcUIRect& r) {
  return QRect(static_cast<int>(r.left()), static_cast<int>(r.top()), static_cast<int>(r.width()),
               static_cast<int>(r.height()));
}

// Drag feedback as shown: with animation, every other run of four pixels
// along the diagonals shows the inverse color, the runs moving with phase.
QImage feedback(const QImage& drag, const QRect& r, bool animate, int phase) {
  QImage part = drag.copy(r);
  if (!animate) return part;
  for (int y = 0; y < part.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(part.scanLine(y));
    for (int x = 0; x < part.width(); ++x)
      if (qAlpha(row[x]) && ((r.x() + x + r.y() + y + phase) / 4) % 2) row[x] = 0xFF000000u | (~row[x] & 0xFFFFFFu);
  }
  return part;
}

}  // namespace

// The root tablet: clears both layers and paints the view's scene.
class vcQtView::Tablet : public vcUITablet {
public:
  Tablet(vcQtView& view, vcQtScope* image, vcQtScope* overlay) : vcUITablet(image, overlay), view_(view) {}

protected:
  void redraw_() override {
    const Layers layers = updateLayers();
    if (layers != eOverlay) set(view_.background_, eImage);
    if (layers != eImage) set(vcColor::passColor(), eOverlay);
    if (view_.scene_) view_.scene_(*this, layers);
  }

private:
  vcQtView& view_;
};

vcQtView::vcQtView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  image_ = std::make_unique<vcQtScope>(sizeOf(*this), vcQtScope::eImage);
  overlay_ = std::make_unique<vcQtScope>(sizeOf(*this), vcQtScope::eOverlay);
  tablet_ = std::make_unique<Tablet>(*this, image_.get(), overlay_.get());
  tablet_->visible(true);
  image_->onScreen([this] { repaintDamage_(); });
  overlay_->onScreen([this] { repaintDamage_(); });
}

vcQtView::~vcQtView() {
  // The tablet goes first: it still talks to its scopes while it goes.
  tablet_.reset();
}

vcUITablet& vcQtView::tablet() noexcept { return *tablet_; }

void vcQtView::setScene(Scene paint, const vcRect& bounds, const vcColor& background) {
  scene_ = std::move(paint);
  bounds_ = bounds;
  background_ = background;
  tablet_->redraw(vcUITablet::eBoth);
}

// ---- maps ----------------------------------------------------------------------------------------

double vcQtView::zoom() const { return tablet_->scaleMode() == vcUITablet::eNoScale ? 1.0 : tablet_->scaleExact().x(); }

void vcQtView::setMaps_(double zoom, const vcXform<2>& base) {
  // One repaint: the scale alone is not drawn.
  tablet_->drawOn().push(false);
  tablet_->scaleExact(vcPair<double>(zoom, zoom));
  tablet_->drawOn().pop();
  tablet_->baseMap(base);
}

void vcQtView::zoomAbout(double zoom, const QPointF& about) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  const vcVector<2> p(about.x(), about.y());
  const vcVector<2> c = tablet_->scaledMap().invMapPoint(p);
  // The new map is scale(zoom) * T(d) * base; it must take c to p.
  const vcXform<2>& base = tablet_->baseMap();
  const vcVector<2> d = p * (1.0 / zoom) - base.mapPoint(c);
  setMaps_(zoom, vcXform<2>::translation(d) * base);
}

void vcQtView::fit() {
  if (!(bounds_.width() > 0 && bounds_.height() > 0)) return;
  const double z = std::clamp(std::min(width() / bounds_.width(), height() / bounds_.height()), kMinZoom, kMaxZoom);
  const vcVector<2> centre(bounds_.x() + bounds_.width() / 2, bounds_.y() + bounds_.height() / 2);
  const vcVector<2> screen(width() / 2.0, height() / 2.0);
  setMaps_(z, vcXform<2>::translation(screen * (1.0 / z) - centre));
}

void vcQtView::actualSize() { zoomAbout(1.0, QPointF(width() / 2.0, height() / 2.0)); }

vcPoint vcQtView::clientAt(const QPoint& p) const {
  return vcPoint(tablet_->scaledMap().invMapPoint(vcVector<2>(p.x() + 0.5, p.y() + 0.5)));
}

QString vcQtView::statusAt(const QPoint& p) const {
  const vcPoint c = clientAt(p);
  std::string value;
  if (probe_) {
    value = probe_(c);
  } else if (image_->surfaceArea().within(vcPair<long>(p.x(), p.y()))) {
    const std::uint32_t v = image_->argb(p.x(), p.y());
    char buf[32];
    std::snprintf(buf, sizeof buf, "RGB %u %u %u", (v >> 16) & 255u, (v >> 8) & 255u, v & 255u);
    value = buf;
  }
  return QString::asprintf("x %.2f  y %.2f  ", c.x(), c.y()) + QString::fromStdString(value) +
         QString::asprintf("  zoom %.3g", zoom());
}

// ---- repaints ------------------------------------------------------------------------------------

void vcQtView::repaintDamage_() {
  for (vcQtScope* s : {image_.get(), overlay_.get()}) {
    const std::vector<vcUIRect> rects = s->takeDamage();
    repaint_(rects);
  }
  const bool animate = image_->dragAnimated() || overlay_->dragAnimated();
  if (animate && !march_.isActive()) march_.start(kMarchMs, this);
  if (!animate) march_.stop();
}

void vcQtView::repaint_(std::span<const vcUIRect> rects) {
  for (const vcUIRect& r : rects) update(qrect(r));
}

void vcQtView::timerEvent(QTimerEvent* e) {
  if (e->timerId() != march_.timerId()) return QWidget::timerEvent(e);
  phase_ = (phase_ + 7) % 8;
  for (vcQtScope* s : {image_.get(), overlay_.get()})
    if (s->dragAnimated() && !s->dragInk().isNull()) update(qrect(s->dragInk()));
}

void vcQtView::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  for (const QRect& r : e->region()) {
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(r, image_->image(), r);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(r, overlay_->image(), r);
    for (const vcQtScope* s : {image_.get(), overlay_.get()}) {
      const QRect ink = r & qrect(s->dragInk());
      if (!ink.isEmpty()) p.drawImage(ink, feedback(s->dragImage(), ink, s->dragAnimated(), phase_));
    }
  }
}

QImage vcQtView::composite() const {
  QImage out = image_->image().convertToFormat(QImage::Format_RGB32);
  QPainter p(&out);
  p.drawImage(0, 0, overlay_->image());
  for (const vcQtScope* s : {image_.get(), overlay_.get()}) {
    const QRect ink = qrect(s->dragInk());
    if (!ink.isEmpty()) p.drawImage(ink, feedback(s->dragImage(), ink, s->dragAnimated(), phase_));
  }
  return out;
}

void vcQtView::resizeEvent(QResizeEvent*) {
  const vcPair<long> size = sizeOf(*this);
  if (size == image_->size()) return;
  tablet_->lockScreenUpdatesPush(true, vcUITablet::eBoth);
  image_->resize(size);
  overlay_->resize(size);
  tablet_->size(size);
  tablet_->redraw(vcUITablet::eBoth);
  tablet_->lockScreenUpdatesPop(vcUITablet::eBoth);
}

// ---- mouse and keys --------------------------------------------------------------------------------

void vcQtView::wheelEvent(QWheelEvent* e) {
  const double notches = e->angleDelta().y() / 120.0;
  if (notches != 0.0) zoomAbout(zoom() * std::pow(kWheelStep, notches), e->position());
  e->accept();
}

void vcQtView::mousePressEvent(QMouseEvent* e) {
  pressAt_ = e->position().toPoint();
  const bool band =
      e->button() == Qt::RightButton || (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier));
  if (band) {
    drag_ = Drag::band;
    tablet_->dragStart(vcUITablet::eOverlay);
    tablet_->dragAnimate(true, vcUITablet::eOverlay);
  } else if (e->button() == Qt::LeftButton) {
    drag_ = Drag::press;
  }
}

void vcQtView::drawBand_(const QPoint& to) {
  tablet_->dragErase(vcUITablet::eOverlay);
  const vcPoint a = clientAt(pressAt_), b = clientAt(to);
  const vcGraphicProps pen(vcColor::yellowColor(), 1, vcGraphicProps::ePenDash);
  // Feedback is no part of the picture the tablet records.
  tablet_->recordOn().push(false);
  tablet_->draw(
      vcRect(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::fabs(b.x() - a.x()), std::fabs(b.y() - a.y())), pen,
      vcUITablet::eOverlay);
  tablet_->recordOn().pop();
}

void vcQtView::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  emit status(statusAt(at));
  if (drag_ == Drag::press && (at - pressAt_).manhattanLength() > kClickSlop) drag_ = Drag::pan;
  if (drag_ == Drag::pan) {
    const QPoint d = at - pressAt_;
    tablet_->dragDel(vcPair<long>(d.x(), d.y()));
    tablet_->redraw(vcUITablet::eBoth);
  } else if (drag_ == Drag::band) {
    drawBand_(at);
  }
}

void vcQtView::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  if (drag_ == Drag::press) {
    const vcPoint c = clientAt(at);
    emit picked(c.x(), c.y());
  } else if (drag_ == Drag::pan) {
    const QPoint d = at - pressAt_;
    const vcXform<2> base = vcXform<2>::translation(vcVector<2>(d.x(), d.y()) * (1.0 / zoom())) * tablet_->baseMap();
    tablet_->baseMap(base);
  } else if (drag_ == Drag::band) {
    const vcPoint a = clientAt(pressAt_), b = clientAt(at);
    tablet_->dragAnimate(false, vcUITablet::eOverlay);
    tablet_->dragErase(vcUITablet::eOverlay);
    tablet_->dragStop(vcUITablet::eOverlay);
    emit rubberBand(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y()));
  }
  drag_ = Drag::none;
}

void vcQtView::keyPressEvent(QKeyEvent* e) {
  const QPointF centre(width() / 2.0, height() / 2.0);
  switch (e->key()) {
    case Qt::Key_F:
      fit();
      break;
    case Qt::Key_1:
      actualSize();
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      zoomAbout(zoom() * kWheelStep, centre);
      break;
    case Qt::Key_Minus:
      zoomAbout(zoom() / kWheelStep, centre);
      break;
    default:
      QWidget::keyPressEvent(e);
      return;
  }
  e->accept();
}
