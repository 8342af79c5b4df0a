// vcQtScope against vcCairoScope pixel for pixel, and vcQtView's repaints,
// drag feedback, zoom and pan, under the offscreen platform.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>
#include <QWheelEvent>

#include <vc/cairo/cairoscope.h>
#include <vc/core/ellipse.h>
#include <vc/core/lineseg.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/dispprop.h>
#include <vc/qt/qtscope.h>
#include <vc/qt/qtview.h>
#include <vc/uitablet.h>

namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "vcqt_tests";
  static char* argv[] = {name, nullptr};
  // No screen is needed, whatever the environment offers.
  static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: Qt's own statics may go first at exit.
  static QApplication* a = new QApplication(argc, argv);
  (void)offscreen;
  return *a;
}

using Draw = std::function<void(vcUITablet&)>;
constexpr vcUITablet::Layers kImage = vcUITablet::eImage;

vcGraphicProps pen(long w, vcGraphicProps::vePenStyle style = vcGraphicProps::ePenSolid, bool fill = false) {
  return vcGraphicProps(vcColor::yellowColor(), w, style, fill);
}

vcPelBuffer<unsigned char> ramp(long w, long h) {
  vcPelBuffer<unsigned char> b(w, h);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) *b.pointToPel(x, y) = static_cast<unsigned char>(x * 16 + y * 3);
  return b;
}

struct Compared {
  long differing = 0;  // pixels of different color
  long inked = 0;      // pixels either scope changed
  vcUIRect qtChange, cairoChange;
};

// Draws on both scopes through a tablet each and compares every pixel and the change rectangles.
Compared compare(const Draw& draw) {
  const vcPair<long> size(96, 80);
  vcQtScope qt(size);
  vcCairoScope cairo(size);
  {
    vcUITablet a(&qt, nullptr), b(&cairo, nullptr);
    a.visible(true);
    b.visible(true);
    draw(a);
    draw(b);
  }
  Compared c{0, 0, qt.changeRect(), cairo.changeRect()};
  for (long y = 0; y < size.y(); ++y)
    for (long x = 0; x < size.x(); ++x) {
      const std::uint32_t p = qt.argb(x, y), q = cairo.argb(x, y);
      c.differing += p != q;
      c.inked += p != 0xFF000000u || q != 0xFF000000u;
    }
  return c;
}

struct Case {
  const char* name;
  Draw draw;
};

TEST(vcQtScope, CrispDrawingMatchesTheCairoScopePixelForPixel) {
  app();
  const vcPelBuffer<unsigned char> img = ramp(9, 7);
  const std::vector<Case> cases = {
      {"horizontal 1",
       [](vcUITablet& t) { t.draw(vcLineSeg(vcVector<2>(5, 10), vcVector<2>(60, 10)), pen(1), kImage); }},
      {"vertical 3", [](vcUITablet& t) { t.draw(vcLineSeg(vcVector<2>(20, 5), vcVector<2>(20, 70)), pen(3), kImage); }},
      {"horizontal 2 flat",
       [](vcUITablet& t) {
         vcGraphicProps p = pen(2);
         p.penEndCap(vcGraphicProps::eCapFlat);
         t.draw(vcLineSeg(vcVector<2>(5, 30), vcVector<2>(60, 30)), p, kImage);
       }},
      {"rect outline", [](vcUITablet& t) { t.draw(vcRect(10.2, 12.7, 40, 30), pen(1), kImage); }},
      {"rect filled",
       [](vcUITablet& t) { t.draw(vcRect(10, 12, 40, 30), pen(1, vcGraphicProps::ePenSolid, true), kImage); }},
      {"square polygon even-odd",
       [](vcUITablet& t) {
         t.draw(vcPolygon({{8, 8}, {70, 8}, {70, 60}, {8, 60}, {20, 20}, {50, 20}, {50, 40}, {20, 40}},
                          vcPolygon::eEvenOdd),
                pen(1, vcGraphicProps::ePenNull, true), kImage);
       }},
      {"point 3", [](vcUITablet& t) { t.draw(vcPoint(30.5, 40.5), pen(3), kImage); }},
      {"set", [](vcUITablet& t) { t.set(vcUIRect(3, 4, 50, 20), vcColor::redColor(), kImage); }},
      {"image",
       [&img](vcUITablet& t) {
         t.draw(vcPelBuffer_const<unsigned char>(img), vcPoint(7, 9), false, 0, false, kImage);
       }},
      {"image expanded 3x",
       [&img](vcUITablet& t) {
         t.scaleExact(vcPair<double>(3, 3));
         t.draw(vcPelBuffer_const<unsigned char>(img), vcPoint(2, 3), true, 16, false, kImage);
       }},
      {"dotted horizontal 2",
       [](vcUITablet& t) {
         t.draw(vcLineSeg(vcVector<2>(5, 60), vcVector<2>(90, 60)), pen(2, vcGraphicProps::ePenDot), kImage);
       }},
      {"line reaching far beyond the surface",
       [](vcUITablet& t) { t.draw(vcLineSeg(vcVector<2>(-1e12, 40), vcVector<2>(1e12, 40)), pen(3), kImage); }},
      {"dashed horizontal",
       [](vcUITablet& t) {
         t.draw(vcLineSeg(vcVector<2>(5, 50), vcVector<2>(90, 50)), pen(1, vcGraphicProps::ePenDash), kImage);
       }},
  };
  for (const Case& c : cases) {
    const Compared r = compare(c.draw);
    EXPECT_GT(r.inked, 0) << c.name;
    EXPECT_EQ(r.differing, 0) << c.name;
    EXPECT_EQ(r.qtChange, r.cairoChange) << c.name;
  }
}

// Slanted and curved edges meet different rasterisers: a pixel where the
// edge passes a pixel centre almost exactly may go either way.
TEST(vcQtScope, SlantedAndCurvedEdgesDifferOnlyAlongTheEdge) {
  app();
  const std::vector<Case> cases = {
      {"diagonal", [](vcUITablet& t) { t.draw(vcLineSeg(vcVector<2>(3, 5), vcVector<2>(90, 61)), pen(1), kImage); }},
      {"ellipse",
       [](vcUITablet& t) {
         t.draw(vcEllipse(vcVector<2>(48, 40), vcVector<2>(30, 20), vcRadian(0.3)), pen(2), kImage);
       }},
      {"ellipse across the edge",
       [](vcUITablet& t) {
         t.draw(vcEllipse(vcVector<2>(110, 40), vcVector<2>(30, 20), vcRadian(0)), pen(2), kImage);
       }},
      {"dotted diagonal",
       [](vcUITablet& t) {
         t.draw(vcLineSeg(vcVector<2>(3, 5), vcVector<2>(90, 61)), pen(1, vcGraphicProps::ePenDot), kImage);
       }},
      {"disc",
       [](vcUITablet& t) {
         t.draw(vcEllipse(vcVector<2>(48, 40), vcVector<2>(25, 25), vcRadian(0)),
                pen(1, vcGraphicProps::ePenSolid, true), kImage);
       }},
  };
  for (const Case& c : cases) {
    const Compared r = compare(c.draw);
    EXPECT_LE(r.differing * 10, r.inked) << c.name << ": " << r.differing << " of " << r.inked;
  }
}

// A view whose paint events are noted.
class NotingView : public vcQtView {
public:
  std::vector<QRegion> painted;

protected:
  void paintEvent(QPaintEvent* e) override {
    painted.push_back(e->region());
    vcQtView::paintEvent(e);
  }
};

QRect qrect(const vcUIRect& r) {
  return QRect(static_cast<int>(r.left()), static_cast<int>(r.top()), static_cast<int>(r.width()),
               static_cast<int>(r.height()));
}

struct ViewFixture : ::testing::Test {
  QApplication& application = app();  // before any widget
  NotingView view;
  void SetUp() override {
    view.resize(200, 150);
    view.setScene(
        [](vcUITablet& t, vcUITablet::Layers) {
          t.set(vcUIRect(0, 0, 100, 100), vcColor::dkGreyColor(), vcUITablet::eImage);
        },
        vcRect(0, 0, 100, 100));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QApplication::processEvents();
    view.painted.clear();
    view.overlayScope().noChange();
  }
  vcUITablet& t() { return view.tablet(); }
};

TEST_F(ViewFixture, RepaintsExactlyTheChangeRectangleAndHoldsItWhileLocked) {
  t().lockScreenUpdatesPush(true, vcUITablet::eOverlay);
  t().draw(vcEllipse(vcVector<2>(60, 50), vcVector<2>(20, 12), vcRadian(0)), pen(3), vcUITablet::eOverlay);
  QApplication::processEvents();
  EXPECT_TRUE(view.painted.empty());
  const vcUIRect changed = view.overlayScope().changeRect();
  ASSERT_FALSE(changed.isNull());
  t().lockScreenUpdatesPop(vcUITablet::eOverlay);
  QApplication::processEvents();
  ASSERT_EQ(view.painted.size(), 1u);
  EXPECT_EQ(view.painted[0], QRegion(qrect(changed)));
}

TEST_F(ViewFixture, DragFeedbackIsErasedWithoutATrace) {
  const QImage before = view.composite(), overlay = view.overlayScope().image();
  t().dragStart(vcUITablet::eOverlay);
  t().draw(vcLineSeg(vcVector<2>(10, 10), vcVector<2>(120, 90)), pen(3), vcUITablet::eOverlay);
  t().dragAnimate(true, vcUITablet::eOverlay);
  t().dragStop(vcUITablet::eOverlay);
  EXPECT_NE(view.composite(), before);
  EXPECT_EQ(view.overlayScope().image(), overlay);
  EXPECT_TRUE(view.overlayScope().changeRect().isNull());
  const vcUIRect ink = view.overlayScope().dragInk();
  t().dragErase(vcUITablet::eOverlay);
  EXPECT_EQ(view.composite(), before);
  QApplication::processEvents();
  ASSERT_FALSE(view.painted.empty());
  EXPECT_TRUE(view.painted.back().contains(qrect(ink)));
}

void send(QWidget& w, QEvent::Type type, const QPoint& at, Qt::MouseButton button, Qt::MouseButtons held,
          Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QMouseEvent e(type, QPointF(at), w.mapToGlobal(QPointF(at)), button, held, mods);
  QApplication::sendEvent(&w, &e);
}

TEST_F(ViewFixture, WheelZoomsAboutTheCursor) {
  for (const auto& [notches, at] :
       std::vector<std::pair<int, QPoint>>{{1, {30, 40}}, {2, {150, 20}}, {-3, {100, 100}}}) {
    const double zoom = view.zoom();
    const vcVector<2> under = t().scaledMap().invMapPoint(vcVector<2>(at.x(), at.y()));
    QWheelEvent e(QPointF(at), view.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &e);
    EXPECT_NEAR(view.zoom(), zoom * std::pow(1.25, notches), 1e-12);
    const vcVector<2> now = t().scaledMap().mapPoint(under);
    EXPECT_NEAR(now.x(), at.x(), 1e-9);
    EXPECT_NEAR(now.y(), at.y(), 1e-9);
  }
}

TEST_F(ViewFixture, DragPansThroughDragDelAndSetsTheMapOnRelease) {
  view.zoomAbout(2.0, QPointF(0, 0));
  const vcXform<2> base = t().baseMap();
  const QPoint from(50, 60), to(80, 40);
  send(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  send(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(t().dragDel(), vcPair<long>(30, -20));
  EXPECT_EQ(t().baseMap(), base);
  EXPECT_EQ(view.imageScope().argb(to.x(), to.y()), vcQtScope(vcPair<long>(1, 1)).argbOf(vcColor::dkGreyColor()));
  send(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(t().dragDel(), vcPair<long>(0, 0));
  EXPECT_EQ(t().baseMap().trans(), base.trans() + vcVector<2>(15, -10));
  EXPECT_EQ(t().baseMap().matrix(), base.matrix());
}

TEST_F(ViewFixture, ClickPicksAndRightDragReportsABandInClientCoordinates) {
  view.zoomAbout(2.0, QPointF(0, 0));
  std::vector<double> picked, band;
  QObject::connect(&view, &vcQtView::picked, [&](double x, double y) { picked = {x, y}; });
  QObject::connect(&view, &vcQtView::rubberBand, [&](double a, double b, double c, double d) { band = {a, b, c, d}; });
  send(view, QEvent::MouseButtonPress, {41, 21}, Qt::LeftButton, Qt::LeftButton);
  send(view, QEvent::MouseButtonRelease, {41, 21}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(picked, (std::vector<double>{20.75, 10.75}));
  send(view, QEvent::MouseButtonPress, {100, 20}, Qt::RightButton, Qt::RightButton);
  send(view, QEvent::MouseMove, {40, 60}, Qt::NoButton, Qt::RightButton);
  EXPECT_FALSE(view.overlayScope().dragInk().isNull());
  send(view, QEvent::MouseButtonRelease, {40, 60}, Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(band, (std::vector<double>{20.25, 10.25, 50.25, 30.25}));
  EXPECT_TRUE(view.overlayScope().dragInk().isNull());
  EXPECT_EQ(t().sketch().size(), 0);
}

TEST_F(ViewFixture, KeysFitAndRestoreOnePixelPerUnit) {
  QTest::keyClick(&view, Qt::Key_F);
  EXPECT_DOUBLE_EQ(view.zoom(), 1.5);
  EXPECT_NEAR(view.clientAt(QPoint(100, 75)).x(), 50, 1);
  QTest::keyClick(&view, Qt::Key_1);
  EXPECT_DOUBLE_EQ(view.zoom(), 1.0);
  QTest::keyClick(&view, Qt::Key_Plus);
  EXPECT_DOUBLE_EQ(view.zoom(), 1.25);
}

}  // namespace
