// The scan converter behind synthetic images: closed outlines, given as
// chains of straight edges and circle arcs in image coordinates, are filled
// with the exact area they cover in every pixel. Scratch memory is the cells of the whole
// region when they take at most 2 MiB, else a band of its rows (at most 64
// rows and 1 MiB of cells), never an image, and is kept per thread from call
// to call.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <vc/core/pelbuffer.h>
#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/wrfm/arc.h>

#include "synth_sweep.h"

// Robust rounding: values within a relative 1e-11 of an integer count as it.
long vf_synthFloor(double v);
long vf_synthCeil(double v);

// The largest factor by which m stretches any vector.
double vf_synthMaxStretch(const vcMatrix<2>& m);

// Chord pieces for a circle arc of local radius r (and local span spanDeg
// degrees) seen through a map that stretches by at most `stretch`: at most 5
// degrees each, and few enough that no chord leaves the mapped curve by more
// than tol (same unit as stretch * r); at most 2^40. Throws
// vcShapesError::BadGeom when the span or the mapped radius is not finite.
std::int64_t vf_synthArcPieces(double r, double spanDeg, double stretch, double tol);

// How far, in pixels, the chords that follow a curve may stray from it:
// small enough that the area between chord and curve in any pixel stays
// under 0.3 of a grey level, so that after rounding every pixel lies within
// 0.8 of its exact value. Arcs under maps that stretch unequally use chords
// whose sagitta is kSynthArcSagitta with their inner points moved out so that
// each chord balances the area it cuts off (straying by at most two thirds of
// the sagitta, under 0.0011 pixel); under maps that keep shapes their steps
// come from the area bound itself (synth_arc.cpp); curves of non-linear maps
// are halved until within kSynthChordTol.
inline constexpr double kSynthChordTol = 1e-3;
inline constexpr double kSynthArcSagitta = 1.6e-3;

// Appends the points of arc mapped by x (client to image coordinates), its
// start (when withStart) to its end: chords of at most 5 degrees following
// the rules above, the inner points moved out.
// Where the chords keep more than 2 pixels clear of window (image
// coordinates), runs of them are replaced by two chords that keep clear too,
// so that the winding about every pixel of the window, and what the window
// shows of the path, stay the same while the work is bounded by the arc's
// length near the window.
void vf_synthArcPoints(const vc2SegmentArc& arc, const vcXform<2>& x, bool withStart, const vcRectangle<long>& window,
                       std::vector<vcVector<2>>& out);

// Blends the pixels of the path pts (image coordinates) as drawLinePelBuf
// does for one segment, inside the window shrunk by 2 pixels.
void vf_synthPolyline(vcPelBuffer<unsigned char>& image, const std::vector<vcVector<2>>& pts, unsigned char value,
                      signed char side);

// Throws vcShapesError::BadGeom unless both coordinates are finite and at
// most kSynthFarthest in magnitude.
inline constexpr double kSynthFarthest = 1e300;
void vf_synthCheckFinite(const vcVector<2>& p);

// An arc of a loop that the scan converter follows exactly rather than by
// chords (image coordinates): the circle about centre, from the loop's point
// `from` (at angle start, radians, measured from +x toward +y) turning by
// span radians to the next point.
struct vc_SynthArc {
  std::size_t from;
  vcVector<2> centre;
  double radius, start, span;
};

// The end of a circle's axis a quarter turn k from +x toward +y (k 0 to 3:
// +x, +y, -x, -y from the centre), where arcs cross into another quarter.
inline vcVector<2> vf_synthAxisEnd(const vcVector<2>& centre, double radius, int k) {
  return centre + vcVector<2>(k == 0 ? radius : k == 2 ? -radius : 0.0, k == 1 ? radius : k == 3 ? -radius : 0.0);
}

class vc_SynthRaster {
public:
  // region: the pixels (image coordinates) that may be written; blendArea:
  // where boundary pixels may take intermediate values. Outside blendArea a
  // pixel takes the fill value when its centre lies inside and is otherwise
  // left alone.
  vc_SynthRaster(const vcRectangle<long>& region, const vcRectangle<long>& blendArea);
  ~vc_SynthRaster();
  vc_SynthRaster(const vc_SynthRaster&) = delete;
  vc_SynthRaster& operator=(const vc_SynthRaster&) = delete;

  // May be called once, before the first addLoop, with at most how many
  // edges will come and whether render will be smooth: small regions then
  // take their edges straight into their cells as they come, instead of
  // keeping them. The bytes written are the same either way.
  void plan(std::size_t edges, bool smooth);
  // The edges of a closed loop of points (image coordinates): each point
  // joined to the next, the last to the first. Loops may come in any number,
  // order and orientation; parts outside the region are reduced to what they
  // contribute inside it. A point enclosed by loops of non-zero winding is
  // inside.
  void addLoop(const std::vector<vcVector<2>>& pts);
  // Whether, after plan, loops may hold exact arcs: when every pixel of the
  // region takes its exact area (smooth, the region inside the blend area).
  bool takesArcs() const { return arcsOk_; }
  // A loop some of whose edges are arcs (ordered by their start points), each
  // lying inside the region.
  void addLoop(const std::vector<vcVector<2>>& pts, const std::vector<vc_SynthArc>& arcs);

  // Writes the outline into image (whose window holds the region).
  // fill and smooth: every pixel gets old + coverage * (value - old),
  // rounded (the interior exactly value, the exterior unchanged); fill alone:
  // pixels whose centres lie inside are set to value. Without fill only the
  // pixels the outline passes through (partly covered ones) in blendArea are
  // written: blended when smooth, else set to value.
  void render(vcPelBuffer<unsigned char>& image, unsigned char value, bool smooth, bool fill);

private:
  struct Edge {
    double x0, y0, x1, y1, dxdy;  // region-relative, y0 < y1
    double dir;                   // +1 running toward +y, -1 toward -y
    double perX;                  // signed height per unit of x travelled
    double slope;                 // |perX| in cell units
    double dxdyOf() const { return dxdy; }
    double slopeOf() const { return slope; }
  };
  // A part of an arc within one quarter of its circle, so that x and y both
  // run one way along it.
  struct ArcEdge {
    double x0, y0, x1, y1, dir;  // region-relative, y0 < y1, as Edge
    double cx, cy, radius;       // the circle, region-relative
    double sx, sy;               // +1 or -1: the quarter's side of the centre in x and y
    double xlo, xhi;             // its columns
  };
  struct Crossing {
    long column;  // first pixel whose centre lies at or right of the crossing
    double dir;
  };

  void addEdge_(const vcVector<2>& a, const vcVector<2>& b);
  void addClipped_(double x0, double y0, double x1, double y1);
  void addOutside_(double x0, double y0, double x1, double y1);
  void addArc_(const vcVector<2>& a, const vcVector<2>& b, const vc_SynthArc& arc);
  void addQuarter_(const vcVector<2>& a, const vcVector<2>& b, int quarter, const vc_SynthArc& arc);
  // pels: the pixels of row top, fetched ahead for the sweep (or null).
  static void walkArc_(const ArcEdge& e, long top, long bottom, std::size_t stride, std::size_t words,
                       std::int32_t* cells, std::uint64_t* marks, const unsigned char* pels, long pitch);
  struct Scratch;
  static Scratch& scratch_();
  struct Span {
    long from, to;  // cells an edge passes through; acc_[to] may hold a spill
  };
  static Span accumulate_(double* acc, double xa, double xb, double dy, double perX);
  template <class E>
  static Span accumulateFixed_(std::int32_t* cells, double xa, double xb, std::int32_t dy, const E& e);
  void crossings_(const std::vector<const Edge*>& active, double yc);
  void fillCentreSpans_(unsigned char* row, long from, long to, unsigned char value) const;
  template <bool Clip>
  void sweep_(unsigned char* row, std::size_t count, bool sorted, long from, long to, unsigned char value, bool fill,
              bool smooth);
  void renderRows_(vcPelBuffer<unsigned char>& image, unsigned char value, bool smooth, bool fill);
  struct BandJob {
    std::size_t stride, words;  // per band row: cells and mark words
    long band;                  // rows per band
    long pitch;
    unsigned char* origin;  // the region's first pixel
    unsigned char value;
    bool fill;
    bool fixed;  // whole rows of long edges may be stepped in fixed point
    vf_SynthSweepFn sweep;
  };
  long bandRows_() const;
  void renderBands_(vcPelBuffer<unsigned char>& image, unsigned char value, bool fill);
  void renderBandRange_(const BandJob& job, long from, long to, std::int32_t* cells, std::uint64_t* marks,
                        std::vector<const Edge*>& active) const;
  template <class E>
  static long addPiece_(std::int32_t* cells, std::uint64_t* marks, double xa, double xb, std::int32_t dy, const E& e);
  template <bool Prefetch, class E>
  void walkBand_(const E& e, long top, long bottom, const BandJob& job, std::int32_t* cells,
                 std::uint64_t* marks) const;
  void renderDirect_(vcPelBuffer<unsigned char>& image, unsigned char value, bool fill);
  void sweepMarked_(unsigned char* row, std::int32_t* cells, std::uint64_t* marks, const BandJob& job) const;

  vcRectangle<long> region_;
  double rx_, ry_, rw_, rh_;  // the region's origin and size
  long bx0_, bx1_, by0_, by1_;  // blend area, region-relative, clipped to the region
  std::vector<Edge> edges_;
  std::vector<ArcEdge> arcs_;
  bool arcsOk_ = false;
  bool direct_ = false;  // edges go straight into the region's cells
  bool walked_ = false;  // and some have: the cells must be swept or cleared
  BandJob directJob_{};
  std::vector<double> acc_;  // per cell of a row: signed area to accumulate
  std::vector<std::int32_t> cells_;  // per cell of a band's rows: the same in units of 1 / kSynthOne
  std::vector<std::uint64_t> marks_;  // per band row: one bit per cell holding something
  std::vector<Span> spans_;  // one per active edge of the row
  std::vector<Crossing> cross_;
  std::vector<long> first_, chain_;  // edges by the row they start in
  std::vector<const Edge*> active_;  // edges of the row, ordered by x
};

// Whether small regions may take their edges straight into their cells (on
// unless a test compares with the banded way); returns the previous setting.
bool vf_synthAllowDirect(bool allow);

// Calls visit(i, j, in, out) for every pixel (i, j) whose square the segment
// a-b (image coordinates) passes through, in travel order, with the points
// where it enters and leaves that pixel. A piece running along a pixel
// border belongs to the pixel below or right of it.
template <class Visit>
void vf_synthWalk(const vcVector<2>& a, const vcVector<2>& b, Visit&& visit) {
  std::vector<double> t{0.0, 1.0};
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const auto cuts = [&](double from, double d) {
    if (d == 0.0) return;
    const double lo = std::min(from, from + d), hi = std::max(from, from + d);
    for (double k = std::floor(lo) + 1.0; k < hi; k += 1.0) t.push_back((k - from) / d);
  };
  cuts(a.x(), dx);
  cuts(a.y(), dy);
  std::sort(t.begin(), t.end());
  for (std::size_t k = 0; k + 1 < t.size(); ++k) {
    if (!(t[k + 1] > t[k])) continue;
    const double m = 0.5 * (t[k] + t[k + 1]);
    const long i = static_cast<long>(std::floor(a.x() + dx * m));
    const long j = static_cast<long>(std::floor(a.y() + dy * m));
    visit(i, j, a + (b - a) * t[k], a + (b - a) * t[k + 1]);
  }
}
