// vcQtView: a widget that shows a root tablet drawn on two vcQtScopes, an
// image layer under an overlay layer, with zoom, pan, picking and a rubber
// band. All of it goes through the tablet's map, so tablets below the root
// follow.
//
// Frames. Widget pixels are the root scopes' surface pixels (the scopes have
// the widget's size and origin (0, 0)). Client coordinates are the root
// tablet's: scaledMap() takes them to widget pixels.
//
// Repaints. What the scopes report as damage (the pixels drawing touched,
// held back while screen updates are locked) becomes update() of exactly
// those rectangles; paintEvent composites the image layer, the overlay and
// any drag feedback over the exposed region only.
//
// Mouse and keys. Wheel: zoom about the cursor (the client point under it
// stays under it). Left drag: pan (through the tablet's dragDel while
// dragging, the map on release). Left click: picked(). Right drag, or left
// drag with Shift: a rubber band drawn as animated drag feedback on the
// overlay, then rubberBand(). Keys: F fit, 1 one image pixel per widget pixel,
// + and - zoom about the centre.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>

#include <QBasicTimer>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <vc/core/rect.h>
#include <vc/qt/qtscope.h>
#include <vc/uitablet.h>

class vcQtView : public QWidget {
  Q_OBJECT

public:
  // What the root tablet draws when it is redrawn, in client coordinates, on
  // the layers asked for (eImage, eOverlay or eBoth; those layers are
  // cleared first: the image layer to the background, the overlay to
  // transparent).
  using Scene = std::function<void(vcUITablet&, vcUITablet::Layers)>;
  // probe: text for the pixel value at a client point, shown in the status
  // line (by default the image layer's color there).
  using Probe = std::function<std::string(const vcPoint&)>;

  explicit vcQtView(QWidget* parent = nullptr);
  ~vcQtView() override;

  vcUITablet& tablet() noexcept;
  vcQtScope& imageScope() noexcept { return *image_; }
  vcQtScope& overlayScope() noexcept { return *overlay_; }

  // The scene and its extent in client coordinates (what fit() shows);
  // redraws.
  void setScene(Scene paint, const vcRect& bounds, const vcColor& background = vcColor::blackColor());
  void setProbe(Probe probe) { probe_ = std::move(probe); }

  // Widget pixels per client unit.
  double zoom() const;
  // Sets the zoom (clamped to 1/64 .. 64) keeping the client point shown at
  // widget pixel `about` where it is.
  void zoomAbout(double zoom, const QPointF& about);
  // The whole scene, centred; one scene unit per widget pixel, centred on
  // what the centre shows.
  void fit();
  void actualSize();
  // The client point shown at the centre of widget pixel p.
  vcPoint clientAt(const QPoint& p) const;
  // The status line for widget pixel p: client coordinates and pixel value.
  QString statusAt(const QPoint& p) const;

  // The widget as shown: image layer, overlay and drag feedback composited.
  QImage composite() const;

signals:
  // A left click, in client coordinates.
  void picked(double x, double y);
  // A rubber band released: its corners in client coordinates.
  void rubberBand(double x0, double y0, double x1, double y1);
  void status(const QString& text);

protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void timerEvent(QTimerEvent* e) override;

private:
  class Tablet;
  enum class Drag { none, press, pan, band };

  // Brings the scopes' damage to the screen as update() calls.
  void repaintDamage_();
  void repaint_(std::span<const vcUIRect> rects);
  void drawBand_(const QPoint& to);
  void setMaps_(double zoom, const vcXform<2>& base);

  std::unique_ptr<vcQtScope> image_, overlay_;
  std::unique_ptr<Tablet> tablet_;
  Scene scene_;
  Probe probe_;
  vcRect bounds_;
  vcColor background_ = vcColor::blackColor();
  Drag drag_ = Drag::none;
  QPoint pressAt_;
  QBasicTimer march_;
  int phase_ = 0;
};
