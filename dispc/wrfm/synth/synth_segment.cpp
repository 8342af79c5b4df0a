// Boundary segments drawn on their own into 8-bit images: edge blending of
// one line or arc, and the row-crossing marks of a segment.
#include <cmath>

#include <vc/core/clip.h>
#include <vc/core/exception.h>
#include <vc/wrfm/synthetic.h>

#include "synth_raster.h"

void vf_synthCheckFinite(const vcVector<2>& p) {
  // Beyond 1e300 differences of coordinates could overflow.
  if (!(std::fabs(p.x()) <= kSynthFarthest) || !(std::fabs(p.y()) <= kSynthFarthest))
    throw vcShapesError::BadGeom(
        "synthetic drawing: an outline point maps to a non-finite image coordinate or one "
        "beyond 1e300");
}

namespace {

// The window shrunk by 2 pixels on every side, as a closed box of pixel
// squares; null when nothing is left.
bool workBox(const vcPelBuffer<unsigned char>& image, vcRectangle<long>& pixels, vcRect& box) {
  const vcRectangle<long>& w = image.window();
  pixels = vcRectangle<long>(w.x() + 2, w.y() + 2, w.width() - 4, w.height() - 4);
  if (pixels.isEmpty()) return false;
  box = vcRect(static_cast<double>(pixels.x()), static_cast<double>(pixels.y()), static_cast<double>(pixels.width()),
               static_cast<double>(pixels.height()));
  return true;
}

// The area of pixel (i, j) on the side s (+1: the +90 degree side) of the
// line through p with direction d.
double sideArea(long i, long j, const vcVector<2>& p, const vcVector<2>& d, double s) {
  const double x = static_cast<double>(i), y = static_cast<double>(j);
  const vcVector<2> sq[4] = {{x, y}, {x + 1, y}, {x + 1, y + 1}, {x, y + 1}};
  const auto f = [&](const vcVector<2>& q) { return s * (d.x() * (q.y() - p.y()) - d.y() * (q.x() - p.x())); };
  vcVector<2> poly[8];
  int n = 0;
  for (int k = 0; k < 4; ++k) {
    const vcVector<2>& a = sq[k];
    const vcVector<2>& b = sq[(k + 1) % 4];
    const double fa = f(a), fb = f(b);
    if (fa >= 0) poly[n++] = a;
    if ((fa >= 0) != (fb >= 0)) poly[n++] = a + (b - a) * (fa / (fa - fb));
  }
  double area = 0.0;
  for (int k = 0; k < n; ++k) {
    const vcVector<2>& a = poly[k];
    const vcVector<2>& b = poly[(k + 1) % n];
    area += a.x() * b.y() - a.y() * b.x();
  }
  return std::min(1.0, std::fabs(0.5 * area));
}

// Blends (or, for side 0, sets) the pixels the polyline runs through, each
// once per visit, by the area on the side of the line through the points
// where the polyline enters and leaves it.
void blendRun(vcPelBuffer<unsigned char>& image, const vcRectangle<long>& work, const std::vector<vcVector<2>>& run,
              unsigned char value, signed char side) {
  long ci = 0, cj = 0;
  bool open = false;
  vcVector<2> in, out, chord;
  const auto finish = [&]() {
    if (!open || !work.contains(ci, cj)) return;
    unsigned char* p = image.pointToPel(ci, cj);
    if (side == 0) {
      *p = value;
      return;
    }
    const vcVector<2> d = (out - in).len() > 1e-9 ? out - in : chord;
    const double a = sideArea(ci, cj, in, d, side > 0 ? 1.0 : -1.0);
    const double old = *p;
    *p = static_cast<unsigned char>(old + std::floor(a * (static_cast<double>(value) - old) + 0.5));
  };
  for (std::size_t k = 0; k + 1 < run.size(); ++k) {
    chord = run[k + 1] - run[k];
    vf_synthWalk(run[k], run[k + 1], [&](long i, long j, const vcVector<2>& a, const vcVector<2>& b) {
      if (open && i == ci && j == cj) {
        out = b;
        return;
      }
      finish();
      ci = i, cj = j, in = a, out = b, open = true;
    });
  }
  finish();
}

}  // namespace

void vf_synthPolyline(vcPelBuffer<unsigned char>& image, const std::vector<vcVector<2>>& pts, unsigned char value,
                      signed char side) {
  vcRectangle<long> work;
  vcRect box;
  if (!workBox(image, work, box)) return;
  for (const vcVector<2>& p : pts) vf_synthCheckFinite(p);
  for (const auto& run : vfClipPath(pts, false, box)) blendRun(image, work, run, value, side);
}

namespace {

// Robust rounding kept in double, so that far-away values cannot overflow.
double rfloor(double v) { return std::floor((1.0 + std::copysign(1e-11, v)) * v); }
double rceil(double v) { return std::ceil((1.0 - std::copysign(1e-11, v)) * v); }

void setPel(vcPelBuffer<unsigned char>& image, double i, double j, unsigned char v) {
  const vcRectangle<long>& w = image.window();
  if (i >= static_cast<double>(w.x()) && i < static_cast<double>(w.right()) && j >= static_cast<double>(w.y()) &&
      j < static_cast<double>(w.bottom()))
    *image.pointToPel(static_cast<long>(i), static_cast<long>(j)) = v;
}

// Row-crossing marks of a segment already in image coordinates.
void markRows(vcPelBuffer<unsigned char>& image, vcVector<2> a, vcVector<2> b, unsigned char v) {
  vf_synthCheckFinite(a);
  vf_synthCheckFinite(b);
  if (b.y() < a.y()) std::swap(a, b);
  const double x0 = a.x(), y0 = a.y(), x1 = b.x(), y1 = b.y();
  const double first = rceil(y0 - 0.5), last = rfloor(y1 - 0.5);
  if (first > last) return;
  const vcRectangle<long>& w = image.window();
  if (last > first) {
    const double from = std::max(first, static_cast<double>(w.y()));
    const double to = std::min(last, static_cast<double>(w.bottom() - 1));
    for (double j = from; j <= to; j += 1.0) setPel(image, rfloor((j + 0.5 - y0) * (x1 - x0) / (y1 - y0) + x0), j, v);
  }
  if (x0 < x1) {
    setPel(image, rceil(x0 - 0.5), first, v);
    setPel(image, rfloor(x1 - 0.5), last, v);
  } else {
    setPel(image, rceil(x1 - 0.5), last, v);
    setPel(image, rfloor(x0 - 0.5), first, v);
  }
}

void reportEnds(const std::vector<vcVector<2>>& pts, double* x0, double* y0, double* x1, double* y1) {
  if (x0) *x0 = pts.front().x();
  if (y0) *y0 = pts.front().y();
  if (x1) *x1 = pts.back().x();
  if (y1) *y1 = pts.back().y();
}

}  // namespace

void drawLinePelBuf(vcPelBuffer<unsigned char> image, const vc2SegmentLine& line, const vcXform<2>& x,
                    signed char value, signed char side) {
  std::vector<vcVector<2>> pts{x * line.p1(), x * line.p2()};
  vf_synthPolyline(image, pts, static_cast<unsigned char>(value), side);
}

void drawArcPelBuf(vcPelBuffer<unsigned char> image, const vc2SegmentArc& arc, const vcXform<2>& x, signed char value,
                   signed char side, double* x0, double* y0, double* x1, double* y1) {
  std::vector<vcVector<2>> pts;
  vf_synthArcPoints(arc, x, true, image.window(), pts);
  vf_synthPolyline(image, pts, static_cast<unsigned char>(value), side);
  reportEnds(pts, x0, y0, x1, y1);
}

void drawHorizontalExtentsPelBuf(vcPelBuffer<unsigned char> image, const vc2SegmentLine& line, const vcXform<2>& x,
                                 signed char value) {
  markRows(image, x * line.p1(), x * line.p2(), static_cast<unsigned char>(value));
}

void drawHorizontalExtentsPelBuf(vcPelBuffer<unsigned char> image, const vc2SegmentArc& arc, const vcXform<2>& x,
                                 signed char value, double* x0, double* y0, double* x1, double* y1) {
  std::vector<vcVector<2>> pts;
  vf_synthArcPoints(arc, x, true, image.window(), pts);
  for (std::size_t k = 0; k + 1 < pts.size(); ++k)
    markRows(image, pts[k], pts[k + 1], static_cast<unsigned char>(value));
  reportEnds(pts, x0, y0, x1, y1);
}
