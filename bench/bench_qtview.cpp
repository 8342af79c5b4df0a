// vcQtView frame costs, offscreen: panning a 4096 x 4096 8-bit image under
// 1,000 overlay graphics (each frame moves the map through dragDel, redraws
// the tablet onto both scopes and paints the 1024 x 768 widget), and the
// repaint when one graphic moves (the tablet redrawn clipped to the old and
// new places of the graphic, then those pixels painted). Baseline, in the
// same run: a plain QPainter drawImage of the same region of the same 8-bit
// image. Target: a pan frame within 16 ms.
#include <benchmark/benchmark.h>

#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <vc/core/circle.h>
#include <vc/core/lineseg.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rect.h>
#include <vc/dispprop.h>
#include <vc/glist.h>
#include <vc/graphic.h>
#include <vc/qt/qtview.h>

namespace {

constexpr long kSide = 4096;
constexpr int kGraphics = 1000;
constexpr int kWidth = 1024, kHeight = 768;

QApplication& app() {
  static int argc = 1;
  static char name[] = "bench_qtview";
  static char* argv[] = {name, nullptr};
  static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: Qt's own statics may go first at exit.
  static QApplication* a = new QApplication(argc, argv);
  (void)offscreen;
  return *a;
}

const vcPelBuffer<unsigned char>& bigImage() {
  static const vcPelBuffer<unsigned char> img = [] {
    vcPelBuffer<unsigned char> b(kSide, kSide);
    for (long y = 0; y < kSide; ++y)
      for (long x = 0; x < kSide; ++x) *b.pointToPel(x, y) = static_cast<unsigned char>((x ^ y) + (x >> 4));
    return b;
  }();
  return img;
}

// The same image as Qt holds it.
const QImage& bigQImage() {
  static const QImage img = [] {
    QImage q(kSide, kSide, QImage::Format_Grayscale8);
    for (long y = 0; y < kSide; ++y) std::copy_n(bigImage().pointToPel(0, y), kSide, q.scanLine(static_cast<int>(y)));
    return q;
  }();
  return img;
}

// Pseudo-random circles, segments and rectangles over the image, the same every run.
vcGraphicList makeGraphics() {
  vcGraphicList list;
  unsigned state = 2024u;
  const auto next = [&state](double range) {
    state = state * 1664525u + 1013904223u;
    return range * static_cast<double>(state >> 8) / 16777216.0;
  };
  for (int i = 0; i < kGraphics; ++i) {
    const double x = next(kSide), y = next(kSide), a = 5 + next(40);
    const vcGraphicProps props(vcColor::stockColor(1 + i % 15), 1 + i % 3);
    if (i % 3 == 0)
      list.append(vcGraphic::makeShapeGraphic(vcCircle(vcVector<2>(x, y), a), props), false);
    else if (i % 3 == 1)
      list.append(vcGraphic::makeShapeGraphic(vcLineSeg(vcVector<2>(x, y), vcVector<2>(x + a, y + a / 2)), props),
                  false);
    else
      list.append(vcGraphic::makeShapeGraphic(vcRect(x, y, a, a / 2), props), false);
  }
  return list;
}

struct Scene {
  QApplication& application = app();  // before any widget
  vcQtView view;
  vcGraphicList graphics = makeGraphics();
  Scene() {
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(kWidth, kHeight);
    view.show();
    view.setScene(
        [this](vcUITablet& t, vcUITablet::Layers layers) {
          if (layers != vcUITablet::eOverlay)
            t.draw(vcPelBuffer_const<unsigned char>(bigImage()), vcPoint(0, 0), false, 0, false, vcUITablet::eImage);
          if (layers != vcUITablet::eImage) graphics.draw(t, vcUITablet::eOverlay);
        },
        vcRect(0, 0, kSide, kSide));
    view.actualSize();
    QApplication::processEvents();
  }
};

void BM_PanFrame(benchmark::State& state) {
  Scene s;
  vcUITablet& t = s.view.tablet();
  long step = 0;
  for (auto _ : state) {
    ++step;
    t.dragDel(vcPair<long>(-(step % 64) * 7, -(step % 64) * 5));
    t.redraw(vcUITablet::eBoth);
    s.view.repaint();
  }
}
BENCHMARK(BM_PanFrame)->Name("pan_frame/ours")->Unit(benchmark::kMillisecond);

// The baseline: the same visible region of the same 8-bit image, drawn by QPainter.
void BM_PlainDrawImage(benchmark::State& state) {
  app();
  QImage target(kWidth, kHeight, QImage::Format_RGB32);
  long step = 0;
  for (auto _ : state) {
    ++step;
    QPainter p(&target);
    p.drawImage(QPoint(0, 0), bigQImage(),
                QRect(static_cast<int>((step % 64) * 7), static_cast<int>((step % 64) * 5), kWidth, kHeight));
  }
}
BENCHMARK(BM_PlainDrawImage)->Name("image_blit/qpainter")->Unit(benchmark::kMillisecond);

// One graphic moves by a few pixels: the tablet repaints the old and the new
// place only (clipped redraw), and the view paints those pixels.
void BM_MoveOneGraphic(benchmark::State& state) {
  Scene s;
  vcUITablet& t = s.view.tablet();
  const vcGraphicProps props(vcColor::yellowColor(), 2);
  long step = 0;
  const auto place = [&](long k) { return vcCircle(vcVector<2>(300 + (k % 20) * 3, 200), 25); };
  s.graphics.append(vcGraphic::makeShapeGraphic(place(0), props), false);
  vcPtrHandle<vcGraphic>& moving = s.graphics.items().back();
  for (auto _ : state) {
    ++step;
    moving = vcGraphic::makeShapeGraphic(place(step), props);
    const vcUIRect area(300 + ((step - 1) % 20) * 3 - 30, 170, 66, 66);
    const vcUIRect now(300 + (step % 20) * 3 - 30, 170, 66, 66);
    t.update(area | now, vcUITablet::eImage, true);
    t.update(area | now, vcUITablet::eOverlay, true);
    s.view.repaint(QRect(static_cast<int>((area | now).left()), 170, static_cast<int>((area | now).width()), 66));
  }
}
BENCHMARK(BM_MoveOneGraphic)->Name("move_graphic/ours")->Unit(benchmark::kMicrosecond);

// The baseline for it: the same region of the image drawn by QPainter.
void BM_PlainDrawImageRegion(benchmark::State& state) {
  app();
  QImage target(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&target);
    p.drawImage(QPoint(267, 170), bigQImage(), QRect(267, 170, 69, 66));
  }
}
BENCHMARK(BM_PlainDrawImageRegion)->Name("image_blit_region/qpainter")->Unit(benchmark::kMicrosecond);

}  // namespace
