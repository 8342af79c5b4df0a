// Drawing cost of vcCairoScope: 10,000 mixed shapes (stroked circles,
// segments, filled rectangles, triangles, ellipses and polylines, pen widths 1
// to 3, no anti-aliasing) drawn through a tablet onto a vcCairoScope, beside
// the baseline of plain Cairo drawing the same shapes with the same pen on the
// same kind of surface in the same run. The scope also finds the exact change
// rectangle of every call. Target: within 1.3x of plain Cairo.
#include <benchmark/benchmark.h>

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include <vc/cairo/cairoscope.h>
#include <vc/core/circle.h>
#include <vc/core/ellipse.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/dispprop.h>
#include <vc/uitablet.h>

namespace {

using V = vcVector<2>;
constexpr int kShapes = 10000;
constexpr int kSide = 1024;

struct Shape {
  int kind;  // 0 circle, 1 segment, 2 filled rectangle, 3 triangle, 4 ellipse, 5 polyline
  double x, y, a, b;
  long width;
};

// The same pseudo-random shapes every run.
const std::vector<Shape>& shapes() {
  static const std::vector<Shape> all = [] {
    std::vector<Shape> s;
    unsigned state = 12345u;
    const auto next = [&state](double range) {
      state = state * 1664525u + 1013904223u;
      return static_cast<double>(state >> 8) / 16777216.0 * range;
    };
    for (int i = 0; i < kShapes; ++i) {
      const double x = 40 + next(kSide - 80), y = 40 + next(kSide - 80);
      s.push_back({i % 6, x, y, 3 + next(30), 3 + next(20), 1 + (i / 6) % 3});
    }
    return s;
  }();
  return all;
}

vcColor colorOf(int i) { return vcColor(static_cast<unsigned char>(i * 37), static_cast<unsigned char>(i * 11), 200); }

// Every shape through a tablet onto the scope.
void drawOurs(vcUITablet& tablet) {
  const auto& all = shapes();
  for (int i = 0; i < kShapes; ++i) {
    const Shape& s = all[static_cast<std::size_t>(i)];
    const vcGraphicProps p(colorOf(i), s.width, vcGraphicProps::ePenSolid, s.kind == 2);
    switch (s.kind) {
      case 0:
        tablet.draw(vcCircle(V(s.x, s.y), s.a), p, vcUITablet::eImage);
        break;
      case 1:
        tablet.draw(vcLineSeg(V(s.x, s.y), V(s.x + s.a, s.y + s.b)), p, vcUITablet::eImage);
        break;
      case 2:
        tablet.draw(vcRect(s.x, s.y, s.a, s.b), p, vcUITablet::eImage);
        break;
      case 3:
        tablet.draw(vcPolygon({V(s.x, s.y), V(s.x + s.a, s.y), V(s.x, s.y + s.b)}, vcPolygon::eWinding), p,
                    vcUITablet::eImage);
        break;
      case 4:
        tablet.draw(vcEllipse2(V(s.a, s.b), vcRadian(0.4), V(s.x, s.y)), p, vcUITablet::eImage);
        break;
      default:
        tablet.draw(vcPolyline({V(s.x, s.y), V(s.x + s.a, s.y + s.b), V(s.x + 2 * s.a, s.y)}, false), p,
                    vcUITablet::eImage);
        break;
    }
  }
}

// The same shapes as a plain Cairo program draws them with the scope's pen
// (round joins and caps) and its rounding: corners land in the pixel their
// coordinates fall in, paths run through pixel centres for odd widths. Circles
// and ellipses are Cairo's own arcs, which the scope samples instead.
void drawPlain(cairo_t* cr) {
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const auto& all = shapes();
  for (int i = 0; i < kShapes; ++i) {
    const Shape& s = all[static_cast<std::size_t>(i)];
    const vcColor c = colorOf(i);
    cairo_set_source_rgb(cr, c.rgbStruct().r() / 255.0, c.rgbStruct().g() / 255.0, c.rgbStruct().b() / 255.0);
    cairo_set_line_width(cr, static_cast<double>(s.width));
    const double o = s.width % 2 ? 0.5 : 0.0;
    const auto px = [o](double v) { return std::floor(v) + o; };
    const double x = px(s.x), y = px(s.y);
    switch (s.kind) {
      case 0:
        cairo_arc(cr, s.x + o, s.y + o, s.a, 0, 2 * M_PI);
        break;
      case 1:
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, px(s.x + s.a), px(s.y + s.b));
        break;
      case 2:
        cairo_rectangle(cr, x, y, px(s.x + s.a) - x, px(s.y + s.b) - y);
        break;
      case 3:
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, px(s.x + s.a), y);
        cairo_line_to(cr, x, px(s.y + s.b));
        cairo_close_path(cr);
        break;
      case 4:
        cairo_save(cr);
        cairo_translate(cr, s.x + o, s.y + o);
        cairo_rotate(cr, 0.4);
        cairo_scale(cr, s.a, s.b);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        break;
      default:
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, px(s.x + s.a), px(s.y + s.b));
        cairo_line_to(cr, px(s.x + 2 * s.a), y);
        break;
    }
    if (s.kind == 2) cairo_fill_preserve(cr);
    cairo_stroke(cr);
  }
}

void BM_ScopeMixedShapes(benchmark::State& state) {
  vcCairoScope scope(vcPair<long>(kSide, kSide));
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  for (auto _ : state) {
    drawOurs(tablet);
    scope.noChange();
  }
  state.SetItemsProcessed(state.iterations() * kShapes);
  state.counters["target_vs_cairo"] = 1.3;
  // How far the two pictures are the same: the share of pixels (per cent)
  // unlike plain Cairo's, all on the outlines of circles and ellipses.
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSide, kSide);
  cairo_t* cr = cairo_create(surface);
  drawPlain(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  long unlike = 0;
  for (long y = 0; y < kSide; ++y)
    for (long x = 0; x < kSide; ++x)
      unlike += scope.argb(x, y) != (reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] | 0xFF000000u);
  cairo_surface_destroy(surface);
  state.counters["pixels_unlike_cairo_pct"] = 100.0 * static_cast<double>(unlike) / (kSide * kSide);
}
BENCHMARK(BM_ScopeMixedShapes)->Name("mixed_shapes/ours")->Unit(benchmark::kMillisecond);

void BM_PlainCairoMixedShapes(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSide, kSide);
  for (auto _ : state) {
    cairo_t* cr = cairo_create(surface);
    drawPlain(cr);
    cairo_destroy(cr);
  }
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  state.SetItemsProcessed(state.iterations() * kShapes);
}
BENCHMARK(BM_PlainCairoMixedShapes)->Name("mixed_shapes/cairo")->Unit(benchmark::kMillisecond);

}  // namespace
