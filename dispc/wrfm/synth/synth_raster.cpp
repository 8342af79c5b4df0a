// Exact-area scan conversion of closed outlines into 8-bit images.
//
// Each edge adds, to every cell of a row it crosses, the signed area between
// itself and the cell's right side (and the rest of its height to the next
// cell); a running sum along the row then gives each pixel the area that the
// outline covers in it. Corners, slivers and tiny roundings inside one pixel
// so come out exactly, which blending each edge on its own does not.
#include "synth_raster.h"

#include "synth_cells.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>

#include <vc/core/exception.h>
#include <vc/wrfm/synthetic.h>

namespace {
thread_local int tSynthThreads = 1;
std::atomic<bool> gAllowDirect{true};
}  // namespace

bool vf_synthAllowDirect(bool allow) { return gAllowDirect.exchange(allow, std::memory_order_relaxed); }

vcSynthThreads::vcSynthThreads(int count) : previous_(tSynthThreads) {
  if (count < 1) throw vcBadArgument("vcSynthThreads: the thread count must be at least 1");
  tSynthThreads = count;
}
vcSynthThreads::~vcSynthThreads() { tSynthThreads = previous_; }
int vcSynthThreads::current() noexcept { return tSynthThreads; }

long vf_synthFloor(double v) { return static_cast<long>(std::floor((1.0 + std::copysign(1e-11, v)) * v)); }
long vf_synthCeil(double v) { return static_cast<long>(std::ceil((1.0 - std::copysign(1e-11, v)) * v)); }

double vf_synthMaxStretch(const vcMatrix<2>& m) {
  const double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
  const double s = a * a + b * b + c * c + d * d;
  const double det = a * d - b * c;
  return std::sqrt(0.5 * (s + std::sqrt(std::max(0.0, s * s - 4 * det * det))));
}

// Buffers handed from one raster of a thread to the next, so that repeated
// renderings allocate nothing once warm. A raster made while another one of
// the same thread is alive simply starts with empty buffers. The cells and
// marks are all zero between renderings: each sweep resets what it used.
struct vc_SynthRaster::Scratch {
  std::vector<Edge> edges;
  std::vector<ArcEdge> arcs;
  std::vector<double> acc;
  std::vector<std::int32_t> cells;
  std::vector<std::uint64_t> marks;
  std::vector<Span> spans;
  std::vector<Crossing> cross;
  std::vector<long> first, chain;
  std::vector<const Edge*> active;
};

vc_SynthRaster::Scratch& vc_SynthRaster::scratch_() {
  thread_local Scratch s;
  return s;
}

vc_SynthRaster::vc_SynthRaster(const vcRectangle<long>& region, const vcRectangle<long>& blendArea)
    : region_(region),
      rx_(static_cast<double>(region.x())),
      ry_(static_cast<double>(region.y())),
      rw_(static_cast<double>(region.width())),
      rh_(static_cast<double>(region.height())) {
  const vcRectangle<long> b = blendArea & region;
  bx0_ = b.x() - region.x(), bx1_ = b.right() - region.x();
  by0_ = b.y() - region.y(), by1_ = b.bottom() - region.y();
  if (b.isEmpty()) bx0_ = bx1_ = by0_ = by1_ = 0;
  Scratch& s = scratch_();
  edges_.swap(s.edges), arcs_.swap(s.arcs), acc_.swap(s.acc), cells_.swap(s.cells), marks_.swap(s.marks), spans_.swap(s.spans), cross_.swap(s.cross);
  first_.swap(s.first), chain_.swap(s.chain), active_.swap(s.active);
  edges_.clear(), arcs_.clear(), spans_.clear(), cross_.clear(), first_.clear(), chain_.clear(), active_.clear();
}

vc_SynthRaster::~vc_SynthRaster() {
  // Edges taken in but never rendered (a throw between the two) leave cells
  // the next raster must find zero.
  if (walked_) {
    std::fill_n(cells_.begin(), directJob_.stride * static_cast<std::size_t>(directJob_.band), 0);
    std::fill_n(marks_.begin(), directJob_.words * static_cast<std::size_t>(directJob_.band), 0);
  }
  Scratch& s = scratch_();
  // The larger buffers stay for the next raster.
  const auto keep = [](auto& mine, auto& kept) {
    if (mine.capacity() > kept.capacity()) mine.swap(kept);
  };
  keep(edges_, s.edges), keep(arcs_, s.arcs), keep(acc_, s.acc), keep(cells_, s.cells), keep(marks_, s.marks), keep(spans_, s.spans), keep(cross_, s.cross);
  keep(first_, s.first), keep(chain_, s.chain), keep(active_, s.active);
}

void vc_SynthRaster::addOutside_(double x0, double y0, double x1, double y1) {
  const double h = rh_, w = rw_;
  if (y0 == y1 || (y0 <= 0 && y1 <= 0) || (y0 >= h && y1 >= h)) return;
  // Rows outside the region take nothing from the edge: cut it to them.
  const auto cutY = [&](double yc) {
    const double t = (yc - y0) / (y1 - y0);
    return x0 + (x1 - x0) * t;
  };
  if (y0 < 0 || y1 < 0) {
    const double x = cutY(0.0);
    (y0 < 0 ? x0 : x1) = x;
    (y0 < 0 ? y0 : y1) = 0.0;
  }
  if (y0 > h || y1 > h) {
    const double x = cutY(h);
    (y0 > h ? x0 : x1) = x;
    (y0 > h ? y0 : y1) = h;
  }
  // Split where the edge leaves the region's columns: what lies left of them
  // covers whole pixels of the region, so it becomes a vertical edge on the
  // left side; what lies right of them covers none and is dropped.
  double t[4] = {0.0, 1.0, 1.0, 1.0};
  int n = 1;
  for (const double xs : {0.0, w}) {
    if ((x0 < xs && x1 > xs) || (x0 > xs && x1 < xs)) t[n++] = (xs - x0) / (x1 - x0);
  }
  t[n] = 1.0;
  if (n == 3 && t[2] < t[1]) std::swap(t[1], t[2]);
  for (int i = 0; i < n; ++i) {
    const double ya = y0 + (y1 - y0) * t[i], yb = i + 1 == n ? y1 : y0 + (y1 - y0) * t[i + 1];
    double xa = x0 + (x1 - x0) * t[i], xb = i + 1 == n ? x1 : x0 + (x1 - x0) * t[i + 1];
    const double mid = 0.5 * (xa + xb);
    if (mid > w) continue;
    if (mid < 0) xa = xb = 0.0;
    addClipped_(std::clamp(xa, 0.0, w), ya, std::clamp(xb, 0.0, w), yb);
  }
}

// One piece of an edge within a row, from x = xa to x = xb (region columns,
// within [0, width]), spanning the signed height dy. Each cell it crosses
// gets its share of dy split so that the running sum gives, for the cell,
// the area right of the piece and, for every cell after it, the full share.
inline vc_SynthRaster::Span vc_SynthRaster::accumulate_(double* acc, double xa, double xb, double dy, double perX) {
  const double lo = std::min(xa, xb), hi = std::max(xa, xb);
  const long i0 = static_cast<long>(lo);
  long i1 = static_cast<long>(hi);
  if (i1 > i0 && static_cast<double>(i1) == hi) --i1;
  if (i0 == i1) {
    const double m = 0.5 * (lo + hi) - static_cast<double>(i0);
    acc[i0] += dy * (1.0 - m);
    acc[i0 + 1] += dy * m;
    return Span{i0, i0 + 1};
  }
  // The first and last cells take their partial widths; every full cell in
  // between gives half of its share to itself and half to the next cell.
  const double e0 = static_cast<double>(i0 + 1), s1 = static_cast<double>(i1);
  const double part0 = perX * (e0 - lo), m0 = 0.5 * (lo + e0) - static_cast<double>(i0);
  const double part1 = perX * (hi - s1), m1 = 0.5 * (s1 + hi) - s1;
  // Each cell written once: repeated additions to one cell would wait on
  // each other through memory.
  acc[i0] += part0 * (1.0 - m0);
  if (i1 == i0 + 1) {
    acc[i1] += part0 * m0 + part1 * (1.0 - m1);
  } else {
    acc[i0 + 1] += part0 * m0 + 0.5 * perX;
    for (long i = i0 + 2; i < i1; ++i) acc[i] += perX;
    acc[i1] += 0.5 * perX + part1 * (1.0 - m1);
  }
  acc[i1 + 1] += part1 * m1;
  return Span{i0, i1 + 1};
}

// Where the active edges cross the horizontal line yc (region rows), each as
// the first column whose pixel centre lies at or right of the crossing.
void vc_SynthRaster::crossings_(const std::vector<const Edge*>& active, double yc) {
  cross_.clear();
  for (const Edge* e : active) {
    if (e->y0 <= yc && yc < e->y1) {
      const double x = e->x0 + (yc - e->y0) * e->dxdy;
      cross_.push_back(Crossing{vf_synthCeil(x - 0.5), e->dir});
    }
  }
  std::sort(cross_.begin(), cross_.end(), [](const Crossing& a, const Crossing& b) { return a.column < b.column; });
}

// Sets the pixels of columns [from, to) whose centres lie inside.
void vc_SynthRaster::fillCentreSpans_(unsigned char* row, long from, long to, unsigned char value) const {
  double winding = 0.0;
  for (std::size_t k = 0; k < cross_.size(); ++k) {
    winding += cross_[k].dir;
    if (winding == 0.0) continue;
    const long a = std::max(from, cross_[k].column);
    const long b = std::min(to, k + 1 < cross_.size() ? cross_[k + 1].column : to);
    if (a < b) std::memset(row + a, value, static_cast<std::size_t>(b - a));
  }
}

namespace {

// Coverage below this (or above 1 minus it) changes no pixel by half a level.
constexpr double kNoChange = 1.0 / 512.0;

// old + cover * (value - old), rounded to nearest; the offset keeps the
// truncation a floor.
inline void blendPixel(unsigned char& p, double cover, int value) {
  const int old = p;
  p = static_cast<unsigned char>(old + static_cast<int>(cover * (value - old) + 256.5) - 256);
}

inline double coverage(double running) { return std::min(1.0, std::fabs(running)); }

// Pixels [a, b) of constant coverage c: covered ones set when filling;
// partly covered ones (under an edge running along the row, which no other
// edge crosses there) blended, or set when not smooth, in either mode.
inline void constantRun(unsigned char* row, long a, long b, double c, unsigned char value, bool fill, bool smooth) {
  if (a >= b || c <= kNoChange) return;
  if (c >= 1.0 - kNoChange) {
    if (fill) std::memset(row + a, value, static_cast<std::size_t>(b - a));
  } else if (smooth) {
    for (long i = a; i < b; ++i) blendPixel(row[i], c, value);
  } else {
    std::memset(row + a, value, static_cast<std::size_t>(b - a));
  }
}

}  // namespace

// The accumulated row. Spans hold the cells that edges pass through, whose
// coverage changes from cell to cell; from the cell after a span to the next
// span the coverage is constant. Only columns [from, to) are written (Clip
// false: all of them); every used cell is reset. Without fill only partly
// covered pixels are written: blended when smooth, else set.
template <bool Clip>
void vc_SynthRaster::sweep_(unsigned char* row, std::size_t count, bool sorted, long from, long to, unsigned char value,
                            bool fill, bool smooth) {
  Span* const spans = spans_.data();
  for (std::size_t k = 1; !sorted && k < count; ++k) {  // few, mostly in order
    const Span sp = spans[k];
    std::size_t j = k;
    for (; j > 0 && spans[j - 1].from > sp.from; --j) spans[j] = spans[j - 1];
    spans[j] = sp;
  }
  double* const acc = acc_.data();
  const int v = value;
  double running = 0.0;
  long next = 0;
  for (std::size_t k = 0; k < count;) {
    const long a = spans[k].from;
    long b = spans[k].to;
    for (++k; k < count && spans[k].from <= b; ++k) b = std::max(b, spans[k].to);
    // The run [next, a) of constant coverage.
    constantRun(row, Clip ? std::max(next, from) : next, Clip ? std::min(a, to) : a, coverage(running), value, fill,
                smooth);
    for (long i = a; i < b; ++i) {
      running += acc[i];
      acc[i] = 0.0;
      if ((Clip && i < from) || i >= to) continue;  // cells up to width + 1 exist, pixels do not
      const double c = coverage(running);
      if (fill) {
        blendPixel(row[i], c, v);  // no branch: 0 and 1 blend exactly
      } else if (c > kNoChange && c < 1.0 - kNoChange) {
        if (smooth)
          blendPixel(row[i], c, v);
        else
          row[i] = value;
      }
    }
    // The cell after a span holds only what spills over from its last cell:
    // from there on the coverage is constant again.
    running += acc[b];
    acc[b] = 0.0;
    next = b;
  }
  constantRun(row, Clip ? std::max(next, from) : next, to, coverage(running), value, fill, smooth);
}

// The bands hold sums of at most one pixel per edge and row in 32-bit cells:
// outlines of more edges take the rows in doubles instead.
constexpr std::size_t kMaxBandEdges = std::size_t{1} << 16;

void vc_SynthRaster::render(vcPelBuffer<unsigned char>& image, unsigned char value, bool smooth, bool fill) {
  if (direct_) {
    if (walked_) renderDirect_(image, value, fill);
    return;
  }
  if (region_.isEmpty() || (edges_.empty() && arcs_.empty())) return;
  // Everything that may allocate happens before the first cell is touched,
  // so that the cells stay zero for the next raster whatever happens.
  active_.reserve(edges_.size());
  if (smooth && bx0_ == 0 && by0_ == 0 && bx1_ == region_.width() && by1_ == region_.height() &&
      edges_.size() < kMaxBandEdges)
    renderBands_(image, value, fill);
  else
    renderRows_(image, value, smooth, fill);
}

// A band's size: its rows share the walk over the edges; only the cells
// an edge passes through are touched, so the band may be larger than a
// cache, but the scratch kept per thread stays bounded (1 MiB of cells).
// Low bands keep their cells and pixels in the nearer caches between walk
// and sweep, but take up every edge crossing them once more.
constexpr long kBandRows = 64;
constexpr std::size_t kBandBytes = 1024 * 1024;
constexpr long kRowsPerThread = 256;
// Cells of a row beyond its pixels: a piece ending in the last pixel spills
// into the next cell, and a whole-row step (walkNarrow) may touch one more.
constexpr long kSpillCells = 3;
// Rows of regions narrower than this may be stepped in fixed point.
constexpr long kFixedWidth = 1L << 30;

// Regions whose cells take at most this many bytes take their edges as they
// come: no edge is kept, listed or walked band by band.
constexpr std::size_t kDirectBytes = 2 * 1024 * 1024;

void vc_SynthRaster::plan(std::size_t edges, bool smooth) {
  const long width = region_.width(), height = region_.height();
  const std::size_t stride = static_cast<std::size_t>(width) + kSpillCells;
  const bool whole = bx0_ == 0 && by0_ == 0 && bx1_ == width && by1_ == height;
  // Arcs go to bands only (or a region's single band).
  arcsOk_ = smooth && whole && !region_.isEmpty() && edges < kMaxBandEdges;
  // Direct rendering is the banded one with a single band, on one thread.
  const bool direct = smooth && whole && !region_.isEmpty() && edges < kMaxBandEdges &&
                      stride * static_cast<std::size_t>(height) * sizeof(std::int32_t) <= kDirectBytes &&
                      (vcSynthThreads::current() == 1 || height < 2 * kRowsPerThread) &&
                      gAllowDirect.load(std::memory_order_relaxed);
  if (!direct) {
    edges_.reserve(edges);
    return;
  }
  BandJob& job = directJob_;
  job.stride = stride, job.words = (stride + 63) / 64, job.band = height;
  job.fixed = width < kFixedWidth;
  job.pitch = 0, job.origin = nullptr;
  const std::size_t cellSize = job.stride * static_cast<std::size_t>(height);
  const std::size_t markSize = job.words * static_cast<std::size_t>(height);
  if (cells_.size() < cellSize) cells_.resize(cellSize, 0);
  if (marks_.size() < markSize) marks_.resize(markSize, 0);
  direct_ = true;
}

namespace {

// An edge walked as soon as it comes: its slopes are worked out only where a
// piece needs them (most arc chords need at most one of the two), by the
// same formulas as a kept edge's, so the cells get the same sums.
struct LazyEdge {
  double x0, y0, x1, y1, dir;  // region-relative, y0 < y1
  double dxdyOf() const { return (x1 - x0) / (y1 - y0); }
  double slopeOf() const {
    const double dx = x1 - x0, perX = dx != 0.0 ? dir * (y1 - y0) / std::fabs(dx) : 0.0;
    return std::fabs(perX) * kSynthOne;
  }
};

}  // namespace

void vc_SynthRaster::renderDirect_(vcPelBuffer<unsigned char>& image, unsigned char value, bool fill) {
  BandJob& job = directJob_;
  job.pitch = image.rowPitch();
  job.origin = image.pointToPel(region_.x(), region_.y());
  job.value = value, job.fill = fill;
  job.sweep = vf_synthSweepFor(vf_synthIsa());
  for (long y = 0; y < region_.height(); ++y) {
    const std::size_t r = static_cast<std::size_t>(y);
    sweepMarked_(job.origin + y * job.pitch, cells_.data() + r * job.stride, marks_.data() + r * job.words, job);
  }
  walked_ = false;
}

// The band height, 16, 32 or 64 rows: the lowest whose extra edge set-ups
// (edges crossing band borders, against 64-row bands) number at most half
// the region's rows; a set-up costs about as much as two rows gain from the
// nearer caches (measured on circles and stars of 10 to 1000 points).
long vc_SynthRaster::bandRows_() const {
  std::size_t crossings[3] = {0, 0, 0};  // border crossings at 16, 32 and 64 rows
  for (const Edge& e : edges_) {
    const auto a = static_cast<std::size_t>(e.y0), b = static_cast<std::size_t>(e.y1);
    crossings[0] += (b >> 4) - (a >> 4), crossings[1] += (b >> 5) - (a >> 5), crossings[2] += (b >> 6) - (a >> 6);
  }
  const auto rows = static_cast<std::size_t>(region_.height());
  if (2 * (crossings[0] - crossings[2]) <= rows) return 16;
  if (2 * (crossings[1] - crossings[2]) <= rows) return 32;
  return kBandRows;
}

// Every pixel may take intermediate values: rows are taken in bands, each
// edge walked once over the rows of a band, adding its cells to that row's
// accumulator and marking them; each row is then swept through its marks in
// cell order. Edges need no order and no per-row bookkeeping. Runs of bands
// may go to threads of their own: rows do not share cells, and the sums are
// integers, so the pixels are the same.
void vc_SynthRaster::renderBands_(vcPelBuffer<unsigned char>& image, unsigned char value, bool fill) {
  const long width = region_.width(), height = region_.height();
  BandJob job;
  job.stride = static_cast<std::size_t>(width) + kSpillCells, job.words = (job.stride + 63) / 64;
  job.fixed = width < kFixedWidth;
  job.band = std::clamp(static_cast<long>(kBandBytes / (job.stride * sizeof(std::int32_t))), 1L, bandRows_());
  const long bands = (height + job.band - 1) / job.band;
  const std::size_t cellSize = job.stride * static_cast<std::size_t>(job.band);
  const std::size_t markSize = job.words * static_cast<std::size_t>(job.band);
  if (cells_.size() < cellSize) cells_.resize(cellSize, 0);
  if (marks_.size() < markSize) marks_.resize(markSize, 0);
  first_.assign(static_cast<std::size_t>(bands), -1);
  chain_.assign(edges_.size(), -1);
  // Each edge listed under the band of its first row, found by a product
  // rather than a division per edge; rounding can only move an edge to the
  // band before, where it simply waits.
  const double perBand = 1.0 / static_cast<double>(job.band);
  for (std::size_t k = edges_.size(); k-- > 0;) {
    const double row = static_cast<double>(static_cast<long>(edges_[k].y0));  // y0 >= 0
    const std::size_t b = static_cast<std::size_t>(std::min(bands - 1, static_cast<long>(row * perBand)));
    chain_[k] = first_[b];
    first_[b] = static_cast<long>(k);
  }
  job.pitch = image.rowPitch();
  job.origin = image.pointToPel(region_.x(), region_.y());
  job.value = value, job.fill = fill;
  job.sweep = vf_synthSweepFor(vf_synthIsa());
  // A thread pays for itself only over enough rows.
  const long parts =
      std::clamp(std::min(static_cast<long>(vcSynthThreads::current()), height / kRowsPerThread), 1L, bands);
  const auto split = [&](long p) { return bands * p / parts; };
  struct Worker {
    std::vector<std::int32_t> cells;
    std::vector<std::uint64_t> marks;
    std::vector<const Edge*> active;
  };
  std::vector<Worker> workers(static_cast<std::size_t>(parts - 1));
  for (Worker& w : workers) {
    w.cells.assign(cellSize, 0), w.marks.assign(markSize, 0);
    w.active.reserve(edges_.size());
  }
  std::vector<std::thread> threads;
  threads.reserve(workers.size());
  struct Joiner {
    std::vector<std::thread>& threads;
    ~Joiner() {
      for (std::thread& t : threads) t.join();
    }
  } joiner{threads};
  for (long p = 1; p < parts; ++p) {
    Worker& w = workers[static_cast<std::size_t>(p - 1)];
    const auto run = [this, &job, &w, from = split(p), to = split(p + 1)] {
      renderBandRange_(job, from, to, w.cells.data(), w.marks.data(), w.active);
    };
    try {
      threads.emplace_back(run);
    } catch (const std::system_error&) {
      run();  // no thread to spare: this one renders the run itself
    }
  }
  renderBandRange_(job, 0, split(1), cells_.data(), marks_.data(), active_);
}

// Bands [from, to): the edges met before band from that reach into it are
// taken up in the order a single pass would hold them.
void vc_SynthRaster::renderBandRange_(const BandJob& job, long from, long to, std::int32_t* cells,
                                      std::uint64_t* marks, std::vector<const Edge*>& active) const {
  const long height = region_.height();
  active.clear();
  const double start = static_cast<double>(from * job.band);
  for (long b = 0; b < from; ++b)
    for (long k = first_[static_cast<std::size_t>(b)]; k >= 0; k = chain_[static_cast<std::size_t>(k)])
      if (edges_[static_cast<std::size_t>(k)].y1 > start) active.push_back(&edges_[static_cast<std::size_t>(k)]);
  for (long b = from; b < to; ++b) {
    const long top = b * job.band, bottom = std::min(height, top + job.band);
    std::erase_if(active, [top](const Edge* e) { return e->y1 <= static_cast<double>(top); });
    for (long k = first_[static_cast<std::size_t>(b)]; k >= 0; k = chain_[static_cast<std::size_t>(k)])
      active.push_back(&edges_[static_cast<std::size_t>(k)]);
    bool any = !active.empty();
    for (const Edge* e : active) walkBand_<true>(*e, top, bottom, job, cells, marks);
    for (const ArcEdge& e : arcs_) {
      if (e.y1 <= static_cast<double>(top) || e.y0 >= static_cast<double>(bottom)) continue;
      walkArc_(e, top, bottom, job.stride, job.words, cells, marks, job.origin + top * job.pitch, job.pitch);
      any = true;
    }
    if (!any) continue;
    for (long y = top; y < bottom; ++y) {
      const std::size_t r = static_cast<std::size_t>(y - top);
      sweepMarked_(job.origin + y * job.pitch, cells + r * job.stride, marks + r * job.words, job);
    }
  }
}

// One piece of an edge within a row, as accumulate_ but in cell units, its
// height dy already rounded to them; e gives its height per unit of x.
// The running sum over the cells is rounded rather than each share, so
// every prefix stays within half a unit of its exact value and the cells
// add up to dy exactly.
template <class E>
inline vc_SynthRaster::Span vc_SynthRaster::accumulateFixed_(std::int32_t* cells, double xa, double xb,
                                                             std::int32_t dy, const E& e) {
  const double lo = std::min(xa, xb), hi = std::max(xa, xb);
  const long i0 = static_cast<long>(lo);
  long i1 = static_cast<long>(hi);
  if (i1 > i0 && static_cast<double>(i1) == hi) --i1;
  const double h = static_cast<double>(dy);
  if (i0 == i1) {
    const double m = 0.5 * (lo + hi) - static_cast<double>(i0);
    const std::int32_t a = vf_synthRoundCell(h * (1.0 - m));
    cells[i0] += a;
    cells[i0 + 1] += dy - a;
    return Span{i0, i0 + 1};
  }
  const double slope = e.slopeOf();
  const double perX = dy < 0 ? -slope : slope;
  const double e0 = static_cast<double>(i0 + 1), s1 = static_cast<double>(i1);
  const double part0 = perX * (e0 - lo), m0 = 0.5 * (lo + e0) - static_cast<double>(i0);
  const double part1 = perX * (hi - s1), m1 = 0.5 * (s1 + hi) - s1;
  std::int32_t done = vf_synthRoundCell(part0 * (1.0 - m0));
  cells[i0] += done;
  // Cell i0 + 1 + k ends with the sum start + k perX (the full cells giving
  // half their share to themselves and half to the next cell).
  const double start = part0 + 0.5 * perX;
  for (long i = i0 + 1; i < i1; ++i) {
    const std::int32_t upTo = vf_synthRoundCell(start + static_cast<double>(i - i0 - 1) * perX);
    cells[i] += upTo - done;
    done = upTo;
  }
  const std::int32_t upTo = vf_synthRoundCell(h - part1 * m1);
  cells[i1] += upTo - done;
  cells[i1 + 1] += dy - upTo;
  return Span{i0, i1 + 1};
}

namespace {

// Columns in 32.32 fixed point: whole rows step an edge's crossing by one
// integer add; the step is off by at most 2^-33 pixel, so a million rows
// stray by about 1e-4 pixel.
constexpr int kFixBits = 32;
constexpr std::int64_t kFixOne = std::int64_t{1} << kFixBits;
constexpr double kFix = 4294967296.0, kInvFix = 1.0 / kFix;

inline std::int64_t toFixed(double x) { return static_cast<std::int64_t>(x < 0 ? x * kFix - 0.5 : x * kFix + 0.5); }

// Where a run of whole rows writes: the first row's cells, marks and pixels,
// and how far apart rows lie.
struct RowCursor {
  std::int32_t* cells;
  std::uint64_t* marks;
  const unsigned char* pels;
  std::size_t stride, words;
  long pitch;
  void next() { cells += stride, marks += words, pels += pitch; }
};

// Whole rows of a steep edge, at most a pixel across each (step, fixed
// point): count rows from the crossing x on, each adding dy. A row's piece
// touches two cells at most and gives its shares to cells i0 .. i0 + 2
// without a branch: in one cell from the mean position of its ends (exact
// however steep the edge), over two from the triangles it cuts off either
// side of the border, their areas d^2 / (2 w) taken with a reciprocal of
// the width w (16.16).
template <bool Rising, bool Prefetch>
void walkNarrow(RowCursor at, long count, std::int64_t x, std::int64_t step, std::int32_t dy) {
  const std::int64_t w = (Rising ? step : -step) >> 16;
  // A division in doubles: an integer one of 64 bits costs as much as
  // several rows. None under 2^-16 pixel across.
  const std::int64_t inv = w > 0 ? static_cast<std::int64_t>(0x1p40 / static_cast<double>(w)) : 0;
  const std::int64_t sign = dy < 0 ? -1 : 1;
  const auto triangle = [&](std::int64_t d) {  // d: 16.16, at most w
    const std::uint64_t dd = static_cast<std::uint64_t>(d * d) * static_cast<std::uint64_t>(inv);
    return sign * static_cast<std::int64_t>((dd + (std::uint64_t{1} << 42)) >> 43);
  };
  for (long k = 0; k < count; ++k) {
    const std::int64_t xa = x;
    x += step;
    const std::int64_t lo = Rising ? xa : x, hi = Rising ? x : xa;
    const long i0 = static_cast<long>(lo >> kFixBits);
    const std::int64_t base = std::int64_t{i0} << kFixBits, fa = lo - base, fb = hi - base;
    const auto one =
        static_cast<std::int32_t>((dy * ((std::int64_t{2} << kFixBits) - fa - fb) + kFixOne) >> (kFixBits + 1));
    const auto first = static_cast<std::int32_t>(triangle(std::min(kFixOne - fa, w << 16) >> 16));
    const auto last = static_cast<std::int32_t>(triangle(std::max(fb - kFixOne, std::int64_t{0}) >> 16));
    // Chosen by a mask: which case holds is as good as random from row to row.
    const std::int32_t two = -static_cast<std::int32_t>(fb > kFixOne);
    const std::int32_t c0 = one + ((first - one) & two), c1 = dy - (last & two);
    at.cells[i0] += c0;
    at.cells[i0 + 1] += c1 - c0;
    at.cells[i0 + 2] += dy - c1;
    vf_synthMarkCells(at.marks, i0, i0 + 2);
    if constexpr (Prefetch) __builtin_prefetch(at.pels + i0, 1);
    at.next();
  }
}

// Whole rows of a flat edge (more than a pixel across per row), as
// walkNarrow: each row's piece gives the first cell the triangle it cuts off
// there, the cells it crosses whole their running share of the row's height
// (stepped in 1/65536 of a cell unit), and the last the rest.
template <bool Rising, bool Prefetch>
void walkFlat(RowCursor at, long count, std::int64_t x, std::int64_t step, std::int32_t dy) {
  // Height per pixel of width: kSynthOne * 2^16 per step, in 2^-16 cell units.
  const auto perX = static_cast<std::int64_t>(0x1p62 / static_cast<double>(Rising ? step : -step));
  const std::int32_t sign = dy < 0 ? -1 : 1;
  const auto triangle = [perX](std::int64_t d) {  // d: 32.32, at most a pixel
    return static_cast<std::int32_t>(((((perX * d) >> kFixBits) * (d >> 16) >> 17) + (1 << 15)) >> 16);
  };
  for (long k = 0; k < count; ++k) {
    const std::int64_t xa = x;
    x += step;
    const std::int64_t lo = Rising ? xa : x, hi = Rising ? x : xa;
    const long i0 = static_cast<long>(lo >> kFixBits), i1 = static_cast<long>((hi - 1) >> kFixBits);
    const std::int64_t d0 = (std::int64_t{i0 + 1} << kFixBits) - lo;
    std::int32_t done = triangle(d0);
    at.cells[i0] += sign * done;
    std::int64_t upTo = ((perX * d0) >> kFixBits) + perX / 2 + (1 << 15);
    for (long i = i0 + 1; i < i1; ++i, upTo += perX) {
      const auto u = static_cast<std::int32_t>(upTo >> 16);
      at.cells[i] += sign * (u - done);
      done = u;
    }
    const std::int32_t last = kSynthOne - triangle(hi - (std::int64_t{i1} << kFixBits));
    at.cells[i1] += sign * (last - done);
    at.cells[i1 + 1] += sign * (kSynthOne - last);
    vf_synthMarkCells(at.marks, i0, i1 + 1);
    if constexpr (Prefetch) __builtin_prefetch(at.pels + i0, 1);
    at.next();
  }
}

}  // namespace

// One piece of e within a row, accumulated into the row's cells and marked;
// returns its first cell.
template <class E>
inline long vc_SynthRaster::addPiece_(std::int32_t* cells, std::uint64_t* marks, double xa, double xb, std::int32_t dy,
                                      const E& e) {
  const Span sp = accumulateFixed_(cells, xa, xb, dy, e);
  vf_synthMarkCells(marks, sp.from, sp.to);
  return sp.from;
}

// Adds the pieces of edge e in rows [top, bottom) to their rows' cells. Each
// piece's height is rounded from the positions of its ends within the row,
// so that the pieces of a closed outline add up to whole pixels exactly.
// With Prefetch the pixels the sweep will blend are fetched meanwhile.
template <bool Prefetch, class E>
void vc_SynthRaster::walkBand_(const E& e, long top, long bottom, const BandJob& job, std::int32_t* cellBase,
                               std::uint64_t* markBase) const {
  const double ys = std::max(e.y0, static_cast<double>(top)), ye = std::min(e.y1, static_cast<double>(bottom));
  if (!(ys < ye)) return;
  const double w = rw_;
  const std::int32_t sign = e.dir > 0 ? 1 : -1;
  long y = static_cast<long>(ys);
  std::int32_t* cells = cellBase + static_cast<std::size_t>(y - top) * job.stride;
  std::uint64_t* marks = markBase + static_cast<std::size_t>(y - top) * job.words;
  const unsigned char* pels = Prefetch ? job.origin + y * job.pitch : nullptr;
  const auto piece = [&](double xa, double xb, std::int32_t dy) {
    if (dy != 0) {
      const long from = addPiece_(cells, marks, xa, xb, dy * sign, e);
      if constexpr (Prefetch) __builtin_prefetch(pels + from, 1);
    }
    cells += job.stride, marks += job.words;
    if constexpr (Prefetch) pels += job.pitch;
  };
  const auto xAt = [&](double yy, double dxdy) { return std::clamp(e.x0 + (yy - e.y0) * dxdy, 0.0, w); };
  // The edge's rows: r0 holding its start, whole rows r0 + 1 .. rl - 1, rl
  // holding its end; this band takes those in [top, bottom). Where a row
  // starts is worked out from the edge alone, never from the band, so bands
  // of any height (one for a small region) give the same sums.
  const long r0 = static_cast<long>(e.y0), whole = static_cast<long>(e.y1);
  const long rl = static_cast<double>(whole) == e.y1 ? whole - 1 : whole, wholeRows = rl - r0 - 1;
  const double row = static_cast<double>(r0);
  // Most chords of arcs lie within one row.
  if (rl == r0) {
    if (const std::int32_t dy = vf_synthFixedRow(e.y1 - row) - vf_synthFixedRow(e.y0 - row); dy != 0) {
      const long from = addPiece_(cells, marks, e.x0, e.x1, dy * sign, e);
      if constexpr (Prefetch) __builtin_prefetch(pels + from, 1);
    }
    return;
  }
  const double dxdy = e.dxdyOf();
  // Whole rows step in fixed point where every crossing stays inside the
  // region (it does but for rounding; else the clamped rows below serve).
  // Across a whole row an edge travels at most the region's width.
  bool fixed = job.fixed && wholeRows >= 4;
  std::int64_t from = 0, step = 0;
  if (fixed) {
    from = toFixed(xAt(static_cast<double>(r0 + 1), dxdy)), step = toFixed(dxdy);
    const double to = static_cast<double>(from) + static_cast<double>(step) * static_cast<double>(wholeRows);
    fixed = to >= 0 && to <= w * kFix;
  }
  // Where row r (r0 < r <= rl) starts.
  const auto start = [&](long r) {
    return fixed && r > r0 + 1 ? static_cast<double>(from + (r - r0 - 1) * step) * kInvFix
                               : xAt(static_cast<double>(r), dxdy);
  };
  const long lastHere = std::min(rl, bottom - 1);
  if (y == r0) {
    piece(e.x0, start(r0 + 1), kSynthOne - vf_synthFixedRow(e.y0 - row));
    ++y;
  }
  if (const long count = std::min(rl, lastHere + 1) - y; count > 0) {
    if (fixed) {
      const RowCursor at{cells, marks, pels, job.stride, job.words, Prefetch ? job.pitch : 0};
      const std::int32_t dy = sign * kSynthOne;
      const std::int64_t x = from + (y - r0 - 1) * step;
      const bool narrow = std::fabs(dxdy) <= 1.0;
      if (narrow && step >= 0)
        walkNarrow<true, Prefetch>(at, count, x, step, dy);
      else if (narrow)
        walkNarrow<false, Prefetch>(at, count, x, step, dy);
      else if (step >= 0)
        walkFlat<true, Prefetch>(at, count, x, step, dy);
      else
        walkFlat<false, Prefetch>(at, count, x, step, dy);
      cells += static_cast<std::ptrdiff_t>(count) * static_cast<std::ptrdiff_t>(job.stride);
      marks += static_cast<std::ptrdiff_t>(count) * static_cast<std::ptrdiff_t>(job.words);
      if constexpr (Prefetch) pels += count * job.pitch;
    } else {
      for (long r = y; r < y + count; ++r) piece(start(r), start(r + 1), kSynthOne);
    }
    y += count;
  }
  if (y == rl && rl <= lastHere) piece(start(rl), e.x1, vf_synthFixedRow(e.y1 - static_cast<double>(rl)));
}

void vc_SynthRaster::addLoop(const std::vector<vcVector<2>>& pts) { addLoop(pts, {}); }

void vc_SynthRaster::addLoop(const std::vector<vcVector<2>>& pts, const std::vector<vc_SynthArc>& arcs) {
  const std::size_t n = pts.size();
  std::size_t next = 0;
  for (std::size_t k = 0; k < n && n > 1; ++k) {
    const vcVector<2>& b = pts[k + 1 < n ? k + 1 : 0];
    if (next < arcs.size() && arcs[next].from == k)
      addArc_(pts[k], b, arcs[next++]);
    else
      addEdge_(pts[k], b);
  }
}

inline void vc_SynthRaster::addEdge_(const vcVector<2>& a, const vcVector<2>& b) {
  const double x0 = a.x() - rx_, y0 = a.y() - ry_, x1 = b.x() - rx_, y1 = b.y() - ry_;
  // Most edges lie wholly inside the region: no cutting needed.
  if (y0 >= 0 && y1 >= 0 && y0 <= rh_ && y1 <= rh_ && x0 >= 0 && x1 >= 0 && x0 <= rw_ && x1 <= rw_)
    addClipped_(x0, y0, x1, y1);
  else
    addOutside_(x0, y0, x1, y1);
}

inline void vc_SynthRaster::addClipped_(double x0, double y0, double x1, double y1) {
  // An edge this flat adds nothing a pixel shows (and reaches no row's
  // centre line from below), while its slope might not be finite.
  if (!(std::fabs(y1 - y0) > 1e-17)) return;
  const double dir = y1 > y0 ? 1.0 : -1.0;
  if (y1 < y0) std::swap(x0, x1), std::swap(y0, y1);
  if (direct_) {
    walked_ = true;
    const LazyEdge e{x0, y0, x1, y1, dir};
    // Most chords of arcs lie within one row: taken here as walkBand_ takes
    // them, without its set-up.
    const auto y = static_cast<long>(y0);
    const double row = static_cast<double>(y);
    if (y1 > row + 1.0) {
      walkBand_<false>(e, 0, region_.height(), directJob_, cells_.data(), marks_.data());
      return;
    }
    const std::size_t r = static_cast<std::size_t>(y);
    const std::int32_t dy = vf_synthFixedRow(y1 - row) - vf_synthFixedRow(y0 - row);
    if (dy != 0)
      addPiece_(cells_.data() + r * directJob_.stride, marks_.data() + r * directJob_.words, x0, x1,
                dy * static_cast<std::int32_t>(dir), e);
    return;
  }
  // Two independent divisions rather than one waiting for the other.
  const double dx = x1 - x0, dy = y1 - y0;
  const double dxdy = dx / dy, perX = dx != 0.0 ? dir * dy / std::fabs(dx) : 0.0;
  edges_.push_back(Edge{x0, y0, x1, y1, dxdy, dir, perX, std::fabs(perX) * kSynthOne});
}

// One accumulated row of a band: the marked cells in order, each adding its
// share to the running coverage; between marks the coverage is constant.
// Marks and cells are reset as they are read.
void vc_SynthRaster::sweepMarked_(unsigned char* row, std::int32_t* cells, std::uint64_t* marks,
                                  const BandJob& job) const {
  const long width = region_.width();
  const int v = job.value;
  const bool fill = job.fill;
  std::int32_t running = 0;
  long next = 0;  // the first pixel not yet written
  // Outline only: partly covered pixels, those a blend would change.
  constexpr std::int32_t kNoChangeFixed = kSynthOne / 512;
  // Pixels [a, b) of the coverage of the running sum.
  const auto constant = [&](long a, long b) {
    const std::int32_t q = vf_synthCover(running);
    if (a >= b || q == 0 || (!fill && (q <= kNoChangeFixed || q >= kSynthOne - kNoChangeFixed))) return;
    if (q == kSynthOne) {
      if (fill) std::memset(row + a, job.value, static_cast<std::size_t>(b - a));
      return;
    }
    for (long i = a; i < b; ++i) row[i] = vf_synthBlend(row[i], q, v);
  };
  for (std::size_t k = 0; k < job.words; ++k) {
    std::uint64_t bits = marks[k];
    if (bits == 0) continue;
    marks[k] = 0;
    // Runs of marked cells at a time. A run's last cell holds only what
    // spills over from the cells before it (every piece marks its spill
    // cell last), so the coverage is constant from there to the next run.
    // (A run cut at the end of a word goes on in the next one; its cut cell
    // then opens a constant stretch of one pixel, which blends it alike.)
    do {
      const int s = std::countr_zero(bits);
      const int n = std::min(64 - s, std::countr_one(bits >> s));
      bits = n + s == 64 ? 0 : bits & (~std::uint64_t{0} << (s + n));
      const long a = static_cast<long>(k * 64) + s, e = a + n - 1;
      constant(next, std::min(a, width));
      // The crossed cells, then the spill. Cells past the width exist,
      // pixels do not.
      const long b = std::min(e, width);
      if (fill && b - a >= 8) {
        running = job.sweep(row, cells, a, b, running, v);
      } else if (fill) {
        for (long i = a; i < b; ++i) {
          running += cells[i];
          cells[i] = 0;
          row[i] = vf_synthBlend(row[i], vf_synthCover(running), v);
        }
      } else {
        for (long i = a; i < b; ++i) {
          running += cells[i];
          cells[i] = 0;
          const std::int32_t q = vf_synthCover(running);
          if (q > kNoChangeFixed && q < kSynthOne - kNoChangeFixed) row[i] = vf_synthBlend(row[i], q, v);
        }
      }
      for (long i = std::max(a, b); i < e; ++i) cells[i] = 0;
      running += cells[e], cells[e] = 0;
      next = e;
    } while (bits != 0);
  }
  constant(next, width);
}

// Rows one at a time, for renderings where some pixels follow the
// pixel-centre rule: the active edges kept in order of x, their pieces
// accumulated into one row of cells.
void vc_SynthRaster::renderRows_(vcPelBuffer<unsigned char>& image, unsigned char value, bool smooth, bool fill) {
  // Edges listed by the row they start in: one list head per row of the
  // region, chained through the edges, in place of a sort.
  const long height = region_.height();
  if (acc_.size() < static_cast<std::size_t>(region_.width()) + 2)
    acc_.resize(static_cast<std::size_t>(region_.width()) + 2, 0.0);
  std::vector<long>& first = first_;
  std::vector<long>& chain = chain_;
  first.assign(static_cast<std::size_t>(height), -1);
  chain.assign(edges_.size(), -1);
  for (std::size_t k = edges_.size(); k-- > 0;) {
    const long row = std::min(height - 1, static_cast<long>(edges_[k].y0));
    chain[k] = first[static_cast<std::size_t>(row)];
    first[static_cast<std::size_t>(row)] = static_cast<long>(k);
  }
  const long width = region_.width();
  const long pitch = image.rowPitch();
  unsigned char* const origin = image.pointToPel(region_.x(), region_.y());
  std::vector<const Edge*>& active = active_;
  const bool ring = bx0_ > 0 || bx1_ < width;
  spans_.resize(edges_.size());
  double* const acc = acc_.data();
  double nextEnd = 0.0;  // the first row bottom at which an active edge ends
  for (long y = 0; y < region_.height(); ++y) {
    const double top = static_cast<double>(y), bottom = top + 1.0;
    if (top >= nextEnd) {
      std::erase_if(active, [top](const Edge* e) { return e->y1 <= top; });
      nextEnd = 1e300;
      for (const Edge* e : active) nextEnd = std::min(nextEnd, e->y1);
    }
    // Edges do not cross, so ordered by x they stay ordered from row to row
    // and only new edges need placing; their pieces then come in order and
    // the spans need little sorting. (The order only saves work: spans and
    // crossings are sorted where it matters.)
    const double mid = top + 0.5;
    const auto key = [mid](const Edge* e) { return e->x0 + (std::clamp(mid, e->y0, e->y1) - e->y0) * e->dxdy; };
    for (long k = first[static_cast<std::size_t>(y)]; k >= 0; k = chain[static_cast<std::size_t>(k)]) {
      const Edge* e = &edges_[static_cast<std::size_t>(k)];
      nextEnd = std::min(nextEnd, e->y1);
      const double x = key(e);
      std::size_t j = active.size();
      active.push_back(e);
      for (; j > 0 && key(active[j - 1]) > x; --j) active[j] = active[j - 1];
      active[j] = e;
    }
    if (active.empty()) continue;
    unsigned char* const row = origin + y * pitch;
    const bool blendRow = y >= by0_ && y < by1_ && bx0_ < bx1_;
    if (fill && (!smooth || !blendRow)) {
      crossings_(active, top + 0.5);
      fillCentreSpans_(row, 0, width, value);
      continue;
    }
    if (!blendRow) continue;
    // Pieces mostly come in order of x; noting that here, from values still
    // in registers, spares the sweep reloading spans just stored.
    std::size_t count = 0;
    bool sorted = true;
    long lastFrom = 0;
    for (const Edge* e : active) {
      const double ya = std::max(e->y0, top), yb = std::min(e->y1, bottom);
      if (ya >= yb) continue;
      const double xa = std::clamp(e->x0 + (ya - e->y0) * e->dxdy, 0.0, static_cast<double>(width));
      const double xb = std::clamp(e->x0 + (yb - e->y0) * e->dxdy, 0.0, static_cast<double>(width));
      const Span sp = accumulate_(acc, xa, xb, (yb - ya) * e->dir, e->perX);
      sorted = sorted && sp.from >= lastFrom;
      lastFrom = sp.from;
      spans_[count++] = sp;
    }
    if (ring)
      sweep_<true>(row, count, sorted, bx0_, bx1_, value, fill, smooth);
    else
      sweep_<false>(row, count, sorted, 0, width, value, fill, smooth);
    if (fill && ring) {
      crossings_(active, top + 0.5);
      fillCentreSpans_(row, 0, bx0_, value);
      fillCentreSpans_(row, bx1_, width, value);
    }
  }
}
