// vcview: a window onto sketch files (.vcs), SMD model files (.vcm) and
// images (PNG, PGM, ...), with zoom, pan and picking.
//
//   vcview FILE...                                  opens a window
//   vcview --grab OUT.png [--size WxH] FILE...      renders the window offscreen into OUT.png
//   vcview --screenshot OUT.png [--size WxH] FILE... shows the window, grabs the screen, exits
//   --place X,Y,S,DEG   models after it: origin at client X,Y, S pixels per unit, turned DEG degrees,
//                       drawn over the images (without it each model shows its own synthetic image)
//   --pick X,Y          picks at client X,Y once shown, as a click there does
//
// A file that cannot be read is reported and left out; the others are shown.
// Exit status: 0, 1 when a file could not be read or an output not written,
// 2 for a usage error.
#include <cstdio>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <vc/qt/qtview.h>

#include "scene.h"

namespace {

constexpr double kPickRadius = 6.0;  // widget pixels

const char* kUsage =
    "usage: vcview [--grab OUT.png | --screenshot OUT.png] [--size WxH] [--pick X,Y] [--place X,Y,S,DEG] FILE...\n"
    "  FILE: a sketch (.vcs), an SMD model (.vcm) or an image (PNG, PGM, ...)\n"
    "  --place: the models after it have their origin at client X,Y, S pixels per unit, turned DEG degrees\n"
    "  keys: F fit, 1 one pixel per pixel, + and - zoom; wheel zooms about the cursor;\n"
    "  left drag pans, left click picks, right drag (or Shift + left drag) draws a rubber band\n";

struct Options {
  std::string grab, screenshot;
  int width = 800, height = 600;
  bool pick = false;
  double pickX = 0, pickY = 0;
  // The files in order, each with the model placement in force for it.
  struct File {
    std::string path;
    bool placed = false;
    double place[4] = {0, 0, 1, 0};
  };
  std::vector<File> files;
};

bool parse(int argc, char** argv, Options& o) {
  bool placed = false;
  double place[4] = {0, 0, 1, 0};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (a == "--grab" || a == "--screenshot") {
      const char* v = value();
      if (!v) return false;
      (a == "--grab" ? o.grab : o.screenshot) = v;
    } else if (a == "--size") {
      const char* v = value();
      if (!v || std::sscanf(v, "%dx%d", &o.width, &o.height) != 2 || o.width < 1 || o.height < 1 || o.width > 8192 ||
          o.height > 8192)
        return false;
    } else if (a == "--pick") {
      const char* v = value();
      if (!v || std::sscanf(v, "%lf,%lf", &o.pickX, &o.pickY) != 2) return false;
      o.pick = true;
    } else if (a == "--place") {
      const char* v = value();
      if (!v || std::sscanf(v, "%lf,%lf,%lf,%lf", &place[0], &place[1], &place[2], &place[3]) != 4 ||
          !(place[2] > 0 && place[2] < 1e6))
        return false;
      placed = true;
    } else if (a == "-h" || a == "--help" || (!a.empty() && a[0] == '-')) {
      return false;
    } else {
      Options::File f{a, placed, {place[0], place[1], place[2], place[3]}};
      o.files.push_back(f);
    }
  }
  return !o.files.empty() && (o.grab.empty() || o.screenshot.empty());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  QApplication app(argc, argv);
  int status = 0;
  vcviewScene scene;
  for (const Options::File& f : o.files) {
    try {
      if (f.placed)
        scene.placeModels(vcXform<2>::translation(vcVector<2>(f.place[0], f.place[1])) *
                          vcXform<2>::rotation(vcRadian(f.place[3] * std::numbers::pi / 180)) *
                          vcXform<2>::scale(f.place[2], f.place[2]));
      scene.open(f.path);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vcview: cannot read %s\n", e.what());
      status = 1;
    }
  }

  QMainWindow window;
  auto* view = new vcQtView;
  window.setCentralWidget(view);
  window.setWindowTitle("vcview");
  auto* statusLine = new QLabel;
  window.statusBar()->addWidget(statusLine, 1);
  window.resize(o.width, o.height + window.statusBar()->sizeHint().height());
  QObject::connect(view, &vcQtView::status, statusLine, &QLabel::setText);
  view->setProbe([&scene](const vcPoint& p) { return scene.valueAt(p); });
  view->setScene([&scene](vcUITablet& t, vcUITablet::Layers layers) { scene.draw(t, layers); }, scene.bounds());

  // A click picks the nearest poly of a model and outlines it as drag feedback.
  const auto pickAt = [&, view](double x, double y) {
    vcUITablet& t = view->tablet();
    t.dragErase(vcUITablet::eOverlay);
    const vcviewScene::Pick p = scene.pick(vcPoint(x, y), kPickRadius / view->zoom());
    QString text = QString::asprintf("picked at %.2f, %.2f", x, y);
    if (p.found) {
      text += ": " + QString::fromStdString(p.text);
      t.dragStart(vcUITablet::eOverlay);
      t.recordOn().push(false);
      t.draw(p.box, vcGraphicProps(vcColor::cyanColor(), 2), vcUITablet::eOverlay);
      t.recordOn().pop();
      t.dragStop(vcUITablet::eOverlay);
    }
    statusLine->setText(text);
  };
  QObject::connect(view, &vcQtView::picked, pickAt);
  QObject::connect(view, &vcQtView::rubberBand, [statusLine](double x0, double y0, double x1, double y1) {
    statusLine->setText(QString::asprintf("band %.2f, %.2f to %.2f, %.2f", x0, y0, x1, y1));
  });

  const auto save = [&](const QImage& img, const std::string& path) {
    if (!img.save(QString::fromStdString(path), "PNG")) {
      std::fprintf(stderr, "vcview: cannot write %s\n", path.c_str());
      return false;
    }
    // The number of colours says at a glance whether anything was drawn.
    std::set<QRgb> colors;
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height() && colors.size() < 1000; ++y)
      for (int x = 0; x < rgb.width(); ++x) colors.insert(rgb.pixel(x, y));
    std::printf("wrote %s (%dx%d, %zu%s colors)\n", path.c_str(), img.width(), img.height(), colors.size(),
                colors.size() >= 1000 ? "+" : "");
    return true;
  };

  if (!o.grab.empty()) {
    // Laid out and drawn without a screen: the widget's own composite.
    view->setParent(nullptr);
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->resize(o.width, o.height);
    view->show();
    view->fit();
    if (o.pick) pickAt(o.pickX, o.pickY);
    const bool saved = save(view->composite(), o.grab);
    delete view;
    return saved ? status : 1;
  }
  window.show();
  view->fit();
  if (o.pick) pickAt(o.pickX, o.pickY);
  if (!o.screenshot.empty()) {
    // The real screen, once the window has been exposed and painted.
    QTimer::singleShot(1000, [&] {
      QScreen* screen = QGuiApplication::primaryScreen();
      const QRect r = window.frameGeometry();
      const QImage img = screen ? screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage() : QImage();
      if (!save(img, o.screenshot)) status = 1;
      app.quit();
    });
  }
  const int rc = app.exec();
  return rc != 0 ? rc : status;
}
