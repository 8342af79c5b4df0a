// Arcs taken whole by the scan converter. An arc is cut into quarters of its
// circle, along each of which x and y run one way; a quarter is walked row by
// row and, within a row, cell by cell, from where it crosses one pixel border
// to where it crosses the next (a square root each). In each pixel it adds the
// area its chord there cuts off, less the circular segment between chord and
// arc, so the area is exact but for the fixed-point rounding: no chords
// stray from the circle, and a pixel's worth of arc costs about what a
// pixel's worth of straight edge does.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth_cells.h"
#include "synth_raster.h"

namespace {

constexpr double kHalfPi = std::numbers::pi / 2.0;

// The area between the chord of squared length l2 and its arc on a circle
// of radius r is l^3 / (12 r) (1 + 3 l^2 / (40 r^2)), within 2e-5 of a
// pixel (0.004 of a grey level) of the exact one for chords of at most 1.5
// pixels on radii of 4 or more; this is its part without the factor
// 1 / (12 r).
inline double segment(double l2, double k40) { return l2 * std::sqrt(l2) * (1.0 + l2 * k40); }

}  // namespace

// The quarters an arc passes through, from a to b: cut where it crosses the
// lines through the centre parallel to the axes.
void vc_SynthRaster::addArc_(const vcVector<2>& a, const vcVector<2>& b, const vc_SynthArc& arc) {
  const double end = arc.start + arc.span, step = arc.span >= 0 ? 1.0 : -1.0;
  // The quarter holding the start, and the first border turned toward.
  double q = std::floor(arc.start / kHalfPi);
  double border = arc.span >= 0 ? q + 1.0 : q;
  vcVector<2> from = a;
  const auto quarterOf = [](double k) { return static_cast<int>(k - 4.0 * std::floor(k / 4.0)); };
  while (step > 0 ? border * kHalfPi < end : border * kHalfPi > end) {
    const vcVector<2> to = vf_synthAxisEnd(arc.centre, arc.radius, quarterOf(border));
    addQuarter_(from, to, quarterOf(step > 0 ? border - 1.0 : border), arc);
    from = to;
    border += step;
  }
  addQuarter_(from, b, quarterOf(step > 0 ? border - 1.0 : border), arc);
}

void vc_SynthRaster::addQuarter_(const vcVector<2>& a, const vcVector<2>& b, int quarter, const vc_SynthArc& arc) {
  // Ends may stray outside the region by the rounding of its bounds only.
  double x0 = std::clamp(a.x() - rx_, 0.0, rw_), y0 = std::clamp(a.y() - ry_, 0.0, rh_);
  double x1 = std::clamp(b.x() - rx_, 0.0, rw_), y1 = std::clamp(b.y() - ry_, 0.0, rh_);
  if (!(std::fabs(y1 - y0) > 1e-17)) return;  // no height: nothing a pixel shows
  const double dir = y1 > y0 ? 1.0 : -1.0;
  if (y1 < y0) std::swap(x0, x1), std::swap(y0, y1);
  const ArcEdge e{x0,
                  y0,
                  x1,
                  y1,
                  dir,
                  arc.centre.x() - rx_,
                  arc.centre.y() - ry_,
                  arc.radius,
                  quarter == 0 || quarter == 3 ? 1.0 : -1.0,
                  quarter < 2 ? 1.0 : -1.0,
                  std::min(x0, x1),
                  std::max(x0, x1)};
  if (direct_) {
    walked_ = true;
    walkArc_(e, 0, region_.height(), directJob_.stride, directJob_.words, cells_.data(), marks_.data(), nullptr, 0);
  } else {
    arcs_.push_back(e);
  }
}

// The rows of quarter e in [top, bottom), each from where the arc enters it
// to where it leaves: as a straight edge's, each piece's height is rounded
// from the positions of its ends within the row, and each cell takes the
// running sum of the row's pieces rounded, so a closed outline adds up to
// whole pixels exactly. Every crossing is worked out from the circle alone,
// never carried from the band before, so bands of any height give the same
// sums.
void vc_SynthRaster::walkArc_(const ArcEdge& e, long top, long bottom, std::size_t stride, std::size_t words,
                              std::int32_t* cells, std::uint64_t* marks, const unsigned char* pels, long pitch) {
  const long r0 = static_cast<long>(e.y0), whole = static_cast<long>(e.y1);
  const long rl = static_cast<double>(whole) == e.y1 ? whole - 1 : whole;
  const long first = std::max(r0, top), last = std::min(rl, bottom - 1);
  if (first > last) return;
  const double r = e.radius, k40 = 3.0 / (40.0 * r * r);
  // Cell units of area taken from the right of a chord by its segment: the
  // arc bulges right of its chords on the circle's right side.
  const double segToCells = -e.sx * kSynthOne / (12.0 * r);
  // (r - d) (r + d) keeps its digits where d nears r.
  const auto offset = [r](double d) { return std::sqrt(std::max(0.0, (r - d) * (r + d))); };
  const auto xAt = [&](double y) {
    if (y <= e.y0) return e.x0;
    if (y >= e.y1) return e.x1;
    return std::clamp(e.cx + e.sx * offset(y - e.cy), e.xlo, e.xhi);
  };
  const std::int32_t sign = e.dir > 0 ? 1 : -1;
  cells += static_cast<std::size_t>(first - top) * stride;
  marks += static_cast<std::size_t>(first - top) * words;
  if (pels) pels += (first - top) * pitch;
  double ya = std::max(e.y0, static_cast<double>(first)), xa = xAt(ya);
  for (long row = first; row <= last; ++row, cells += stride, marks += words, pels += pels ? pitch : 0) {
    const double rowTop = static_cast<double>(row), yb = std::min(e.y1, rowTop + 1.0), xb = xAt(yb);
    const std::int32_t fa = vf_synthFixedRow(ya - rowTop), fb = vf_synthFixedRow(yb - rowTop);
    const double ra = ya, rb = yb;
    ya = yb;
    const double xs = xa;
    xa = xb;
    if (fa == fb) continue;
    // The row's pieces in order of x: y rises with x when `rising`.
    const bool rising = xs <= xb;
    const double lo = rising ? xs : xb, hi = rising ? xb : xs;
    const double yLo = rising ? ra : rb, yHi = rising ? rb : ra;
    const std::int32_t fHi = rising ? fb : fa;
    const long i0 = static_cast<long>(lo);
    long i1 = static_cast<long>(hi);
    if (i1 > i0 && static_cast<double>(i1) == hi) --i1;
    if (pels) __builtin_prefetch(pels + i0, 1);
    if (i1 == i0) {  // most rows of a steep stretch: one piece
      const std::int32_t h = fb - fa;
      const double dx = hi - lo, dy = rb - ra;
      const double area = static_cast<double>(h) * (1.0 - (0.5 * (lo + hi) - static_cast<double>(i0))) +
                          segToCells * segment(dx * dx + dy * dy, k40);
      const std::int32_t upTo = vf_synthRoundCell(sign * area);
      cells[i0] += upTo;
      cells[i0 + 1] += sign * h - upTo;
      vf_synthMarkCells(marks, i0, i0 + 1);
      continue;
    }
    double u = lo, v = yLo;
    std::int32_t f = rising ? fa : fb, sum = 0, done = 0;
    for (long i = i0; i <= i1; ++i) {
      double un = hi, vn = yHi;
      std::int32_t fn = fHi;
      if (i < i1) {
        un = static_cast<double>(i + 1);
        vn = std::clamp(e.cy + e.sy * offset(un - e.cx), ra, rb);
        fn = vf_synthFixedRow(vn - rowTop);
      }
      const std::int32_t h = rising ? fn - f : f - fn;
      const double dx = un - u, dy = vn - v;
      const double m = 0.5 * (u + un) - static_cast<double>(i);
      const double area = static_cast<double>(sum) + static_cast<double>(h) * (1.0 - m) +
                          segToCells * segment(dx * dx + dy * dy, k40);
      const std::int32_t upTo = vf_synthRoundCell(sign * area);
      cells[i] += upTo - done;
      done = upTo, sum += h;
      u = un, v = vn, f = fn;
    }
    cells[i1 + 1] += sign * sum - done;
    vf_synthMarkCells(marks, i0, i1 + 1);
  }
}
