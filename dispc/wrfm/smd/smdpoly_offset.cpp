// Exact offsets of SMD outlines.
//
// The offset is the part of a raw curve that lies at exactly the offset
// distance. The raw curve holds every part of the outline moved sideways
// (lines parallel, arcs concentric), a round join about every corner the
// offset turns around and round caps at the ends of open outlines: every
// point at the distance lies on it. Its pieces are cut where they cross each
// other; a cut piece whose middle lies at the full distance from the outline,
// on the side asked for, belongs to the offset, any other piece lies inside
// the offset region. The kept pieces are chained into closed outlines. Cut
// pieces keep the exact line or circle they were made on.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include <vc/core/exception.h>
#include <vc/wrfm/smdpoly.h>

#include "smdpoly_offset_geom.h"
#include "smdpoly_util.h"

using namespace vc_offset;

namespace {

constexpr double kPi = std::numbers::pi;

// Right-hand normal of a direction of travel (direction - 90 degrees).
V rightOf(const V& t) { return V(t.y(), -t.x()); }

// One outline of the input with what the keep test needs.
struct Source {
  const vcSMDGDPoly* poly = nullptr;
  std::vector<Seg> parts;
  bool closed = false;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // box of the parts

  double distance(const V& q, double enough) const {
    double best = std::numeric_limits<double>::infinity();
    for (const Seg& g : parts) {
      if (q.x() < g.x0 - best || q.x() > g.x1 + best || q.y() < g.y0 - best || q.y() > g.y1 + best) continue;
      best = std::min(best, g.distance(q));
      if (best < enough) break;
    }
    return best;
  }
};

Source sourceOf(const vcSMDGDPoly& p) {
  Source s;
  s.poly = &p;
  s.closed = p.isClosed();
  s.parts = outlineOf(p);
  if (p.numVertices() == 1) {
    const V at = p.vertices().front().point();
    s.parts.push_back(lineSeg(at, at));
  }
  s.x0 = s.y0 = std::numeric_limits<double>::infinity();
  s.x1 = s.y1 = -std::numeric_limits<double>::infinity();
  for (const Seg& g : s.parts) {
    s.x0 = std::min(s.x0, g.x0);
    s.y0 = std::min(s.y0, g.y0);
    s.x1 = std::max(s.x1, g.x1);
    s.y1 = std::max(s.y1, g.y1);
  }
  return s;
}

// The piece g moved by s toward its right (s < 0: its left); false when an
// arc shrinks to nothing.
bool moved(const Seg& g, double s, Seg& out) {
  if (!g.arc) {
    const V n = rightOf((g.b - g.a).unit()) * s;
    out = lineSeg(g.a + n, g.b + n);
    return true;
  }
  const double r = g.r + (g.sp > 0 ? s : -s);
  if (!(r > 1e-12 * (g.r + std::abs(s)))) return false;
  out = arcSeg(g.c, r, g.a0, g.sp);
  return true;
}

// The join at the joint of g (ending) and h (starting) on the side s, when
// the outline turns away from that side there: an arc about the joint
// (reach 0), or the offsets continued along their tangents up to where they
// meet when that lies within reach x |s| of the joint, else up to the line
// across the corner at that reach. Passed to out, in order.
template <class Out>
void join(const Seg& g, const Seg& h, double s, double reach, Out&& out) {
  const V t1 = g.endTangent(), t2 = h.startTangent();
  const double turn = std::atan2(t1.cross(t2), t1.dot(t2));
  if (!(turn * s > 0) || std::abs(turn) < 1e-9) return;
  const double sign = s > 0 ? 1.0 : -1.0, d = std::abs(s);
  const V n1 = rightOf(t1) * sign, n2 = rightOf(t2) * sign, at = g.b;
  if (reach <= 0) {
    out(arcSeg(at, d, n1.angle().toDouble(), turn));
    return;
  }
  const double half = 0.5 * std::abs(turn);
  const V p1 = at + n1 * d, p2 = at + n2 * d;
  if (1.0 / std::cos(half) <= reach) {
    const V m = p1 + t1 * (d * std::tan(half));
    out(lineSeg(p1, m));
    out(lineSeg(m, p2));
    return;
  }
  const double u = (reach - std::cos(half)) / std::sin(half) * d;
  const V a = p1 + t1 * u, b = p2 - t2 * u;
  if (u > 0) out(lineSeg(p1, a));
  out(lineSeg(a, b));
  if (u > 0) out(lineSeg(b, p2));
}

// The raw offset curve of one outline: its pieces appended to `raw`.
// side: the signed move to the right for a closed outline, whose pieces run
// the other way when reverse is set; an open one gets both sides at |side|
// and round caps, running round the band counter-clockwise.
void rawCurve(const Source& src, int owner, double side, bool reverse, double reach, std::vector<Seg>& raw) {
  const std::vector<Seg>& parts = src.parts;
  const std::size_t n = parts.size();
  const auto push = [&](Seg g, bool back) {
    g = back ? g.reversed() : g;
    g.owner = owner;
    raw.push_back(g);
  };
  if (n == 0) return;
  if (src.closed) {
    for (std::size_t k = 0; k < n; ++k) {
      Seg g;
      if (moved(parts[k], side, g)) push(g, reverse);
      join(parts[k], parts[(k + 1) % n], side, reach, [&](const Seg& j) { push(j, reverse); });
    }
    return;
  }
  const double d = std::abs(side);
  if (n == 1 && parts[0].a == parts[0].b) {  // a single point: a circle
    push(arcSeg(parts[0].a, d, 0.0, kPi), false);
    push(arcSeg(parts[0].a, d, kPi, kPi), false);
    return;
  }
  for (double s : {d, -d}) {
    for (std::size_t k = 0; k < n; ++k) {
      Seg g;
      if (moved(parts[k], s, g)) push(g, s < 0);
      if (k + 1 < n) join(parts[k], parts[k + 1], s, reach, [&](const Seg& j) { push(j, s < 0); });
    }
  }
  push(arcSeg(parts.front().a, d, parts.front().startTangent().angle().toDouble() + 0.5 * kPi, kPi), false);
  push(arcSeg(parts.back().b, d, parts.back().endTangent().angle().toDouble() - 0.5 * kPi, kPi), false);
}

// Boxes on a uniform grid of cells: the boxes that may hold a point, and
// each pair of overlapping boxes once, without looking at every pair.
class BoxGrid {
public:
  // Every box grown by `grow` on each side; a box with x0 > x1 holds nothing.
  template <class T>
  BoxGrid(const std::vector<T>& boxes, double grow) {
    box_.reserve(boxes.size());
    double sum = 0.0;
    std::size_t count = 0;
    for (const T& b : boxes) {
      box_.push_back({b.x0 - grow, b.y0 - grow, b.x1 + grow, b.y1 + grow});
      if (!(b.x0 <= b.x1)) continue;
      x0_ = std::min(x0_, b.x0 - grow);
      y0_ = std::min(y0_, b.y0 - grow);
      x1_ = std::max(x1_, b.x1 + grow);
      y1_ = std::max(y1_, b.y1 + grow);
      sum += std::max(b.x1 - b.x0, b.y1 - b.y0) + 2 * grow;
      ++count;
    }
    if (count == 0) return;
    // Cells about the size of a box, at most a few per box.
    const double w = x1_ - x0_, h = y1_ - y0_, most = 4.0 * static_cast<double>(count) + 64.0;
    cell_ = std::max(sum / static_cast<double>(count), std::sqrt(w * h / most));
    if (!(cell_ > 0)) cell_ = std::max({w, h, 1.0});
    nx_ = std::max(1, static_cast<int>(std::min(w / cell_, most)) + 1);
    ny_ = std::max(1, static_cast<int>(std::min(h / cell_, most / nx_)) + 1);
    start_.assign(static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_) + 1, 0);
    const auto each = [&](const auto& f) {
      for (std::size_t i = 0; i < box_.size(); ++i) {
        const Box& b = box_[i];
        if (!(b.x0 <= b.x1)) continue;
        for (int y = row(b.y0); y <= row(b.y1); ++y)
          for (int x = col(b.x0); x <= col(b.x1); ++x) f(static_cast<std::size_t>(y * nx_ + x), i);
      }
    };
    each([&](std::size_t c, std::size_t) { ++start_[c + 1]; });
    for (std::size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
    items_.resize(start_.back());
    std::vector<std::size_t> fill(start_.begin(), start_.end() - 1);
    each([&](std::size_t c, std::size_t i) { items_[fill[c]++] = i; });
  }

  // f(i) for every box i that holds q.
  template <class F>
  void at(const V& q, F&& f) const {
    if (start_.empty() || !(q.x() >= x0_ && q.x() <= x1_ && q.y() >= y0_ && q.y() <= y1_)) return;
    const std::size_t c = static_cast<std::size_t>(row(q.y()) * nx_ + col(q.x()));
    for (std::size_t k = start_[c]; k < start_[c + 1]; ++k) {
      const Box& b = box_[items_[k]];
      if (q.x() >= b.x0 && q.x() <= b.x1 && q.y() >= b.y0 && q.y() <= b.y1) f(items_[k]);
    }
  }

  // f(i, j), i < j, once for every two boxes that overlap: in the cell that
  // holds the low corner of their overlap.
  template <class F>
  void pairs(F&& f) const {
    if (start_.empty()) return;
    for (int y = 0; y < ny_; ++y)
      for (int x = 0; x < nx_; ++x) {
        const std::size_t c = static_cast<std::size_t>(y * nx_ + x);
        for (std::size_t k = start_[c]; k < start_[c + 1]; ++k)
          for (std::size_t m = k + 1; m < start_[c + 1]; ++m) {
            const Box &a = box_[items_[k]], &b = box_[items_[m]];
            if (a.x0 > b.x1 || b.x0 > a.x1 || a.y0 > b.y1 || b.y0 > a.y1) continue;
            if (col(std::max(a.x0, b.x0)) != x || row(std::max(a.y0, b.y0)) != y) continue;
            f(std::min(items_[k], items_[m]), std::max(items_[k], items_[m]));
          }
      }
  }

private:
  struct Box {
    double x0, y0, x1, y1;
  };
  int col(double x) const { return static_cast<int>(std::clamp((x - x0_) / cell_, 0.0, nx_ - 1.0)); }
  int row(double y) const { return static_cast<int>(std::clamp((y - y0_) / cell_, 0.0, ny_ - 1.0)); }

  std::vector<Box> box_;
  double x0_ = std::numeric_limits<double>::infinity(), y0_ = x0_;
  double x1_ = -std::numeric_limits<double>::infinity(), y1_ = x1_;
  double cell_ = 1.0;
  int nx_ = 1, ny_ = 1;
  std::vector<std::size_t> start_, items_;
};

// Every raw piece cut where another crosses it: the cut parameters of piece
// i are t[start[i]] .. t[start[i + 1] - 1], sorted, from 0 to 1.
struct Cuts {
  std::vector<std::size_t> start;
  std::vector<double> t;
};

Cuts cutsOf(const std::vector<Seg>& raw, double slack) {
  std::vector<std::pair<std::size_t, double>> hits;
  hits.reserve(2 * raw.size());
  BoxGrid(raw, 0.5 * slack).pairs([&](std::size_t i, std::size_t j) {
    double ti[2], tj[2];
    const int n = crossings(raw[i], raw[j], ti, tj);
    for (int k = 0; k < n; ++k) {
      hits.emplace_back(i, ti[k]);
      hits.emplace_back(j, tj[k]);
    }
  });
  Cuts c;
  c.start.assign(raw.size() + 1, 0);
  for (const auto& h : hits) ++c.start[h.first + 1];
  for (std::size_t i = 0; i < raw.size(); ++i) c.start[i + 1] += c.start[i] + 2;
  c.t.resize(c.start.back());
  std::vector<std::size_t> fill(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    c.t[c.start[i]] = 0.0;
    c.t[c.start[i + 1] - 1] = 1.0;
    fill[i] = c.start[i] + 1;
  }
  for (const auto& h : hits) c.t[fill[h.first]++] = h.second;
  for (std::size_t i = 0; i < raw.size(); ++i)
    std::sort(c.t.begin() + static_cast<std::ptrdiff_t>(c.start[i]) + 1,
              c.t.begin() + static_cast<std::ptrdiff_t>(c.start[i + 1]) - 1);
  return c;
}

// The kept pieces chained into loops by matching ends. pinched is set when
// more than one piece starts where a loop goes on: the offset touches itself
// there.
std::vector<std::vector<Seg>> chain(std::vector<Seg> kept, double tol, bool& pinched) {
  // Starts sorted by column of width 2 tol, then by y: the starts within tol
  // of a point lie in three runs of the order.
  const double cell = 2.0 * tol;
  const auto column = [&](const V& q) { return static_cast<long long>(std::floor(q.x() / cell)); };
  {
    std::vector<std::pair<long long, double>> key(kept.size());
    std::vector<std::size_t> order(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
      key[i] = {column(kept[i].a), kept[i].a.y()};
      order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key[a] < key[b]; });
    std::vector<Seg> sorted;
    sorted.reserve(kept.size());
    for (std::size_t i : order) sorted.push_back(kept[i]);
    kept.swap(sorted);
  }
  std::vector<long long> columns(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) columns[i] = column(kept[i].a);
  // f(i) for every piece i that starts within tol of e.
  const auto startsNear = [&](const V& e, const auto& f) {
    const long long c0 = column(e);
    for (long long c = c0 - 1; c <= c0 + 1; ++c) {
      std::size_t lo = 0, hi = kept.size();
      while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (columns[mid] < c || (columns[mid] == c && kept[mid].a.y() < e.y() - tol))
          lo = mid + 1;
        else
          hi = mid;
      }
      for (; lo < kept.size() && columns[lo] == c && kept[lo].a.y() <= e.y() + tol; ++lo)
        if ((kept[lo].a - e).len2() <= tol * tol) f(lo);
    }
  };
  pinched = false;
  std::vector<char> used(kept.size(), 0);
  // The piece that starts nearest e and is not yet used. Two pieces starting
  // there make a pinch; one that begins a loop is not looked up, but a loop
  // that meets itself passes there again.
  const auto next = [&](const V& e) {
    std::size_t best = kept.size(), found = 0;
    double bestD = tol * tol;
    startsNear(e, [&](std::size_t i) {
      const double dd = (kept[i].a - e).len2();
      pinched = pinched || ++found > 1;
      if (!used[i] && dd <= bestD) {
        best = i;
        bestD = dd;
      }
    });
    return best;
  };
  std::vector<std::vector<Seg>> loops;
  for (std::size_t first = 0; first < kept.size(); ++first) {
    if (used[first]) continue;
    used[first] = 1;
    std::vector<Seg> loop{kept[first]};
    for (;;) {
      const V e = loop.back().b;
      if (loop.size() > 1 && e.distance(loop.front().a) <= tol) break;
      const std::size_t k = next(e);
      if (k == kept.size()) {
        if (e.distance(loop.front().a) <= tol) break;
        throw vcShapesError::BadGeom("vcSMDGDPolyPrivate::offset: the offset outline does not close");
      }
      used[k] = 1;
      loop.push_back(kept[k]);
    }
    loops.push_back(std::move(loop));
  }
  return loops;
}

// Whether line h continues line g straight on.
bool straightOn(const Seg& g, const Seg& h) {
  if (g.arc || h.arc) return false;
  const V u = (g.b - g.a).unit(), w = (h.b - h.a).unit();
  return std::abs(u.cross(w)) <= 1e-12 && u.dot(w) > 0;
}

// A loop as the vertices of a closed poly: a sharp vertex at the end of each
// piece, carrying the piece's sweep. Pieces too short to matter are dropped,
// lines that run straight on (a mitre's sides) joined and sweeps of more
// than a half turn halved.
std::vector<vcSMDGDPolyVertex> verticesOf(const std::vector<Seg>& loop, double tiny) {
  std::vector<Seg> joined;
  for (const Seg& g : loop) {
    if (g.length() <= tiny) continue;
    if (!joined.empty() && straightOn(joined.back(), g))
      joined.back() = lineSeg(joined.back().a, g.b);
    else
      joined.push_back(g);
  }
  if (joined.size() > 2 && straightOn(joined.back(), joined.front())) {
    joined.front() = lineSeg(joined.back().a, joined.front().b);
    joined.pop_back();
  }
  std::vector<Seg> pieces;
  for (const Seg& g : joined) {
    if (g.arc && std::abs(g.sp) > kPi) {
      pieces.push_back(g.sub(0.0, 0.5));
      pieces.push_back(g.sub(0.5, 1.0));
    } else {
      pieces.push_back(g);
    }
  }
  std::vector<vcSMDGDPolyVertex> vs;
  for (const Seg& g : pieces) {
    const double span = g.arc ? vcDegree(vcRadian(g.sp)).toDouble() : 0.0;
    vs.emplace_back(g.b, 0.0, vcDegree(span), 0.5, 0.5, -1, vcDimTol());
  }
  return vs;
}

struct Job {
  std::vector<Source> sources;
  double distance = 0.0;  // > 0 grows the union; < 0 shrinks the one closed outline
  double reach = 0.0;     // corners: 0 round, else mitred up to reach x |distance|
};

// The offset's loops as poly vertices, each with the index of the outline its
// first piece came from.
struct Loops {
  std::vector<std::pair<int, std::vector<vcSMDGDPolyVertex>>> loops;
  bool pinched = false;  // some loop touches itself or another loop
};

Loops run(const Job& job) {
  double size = std::abs(job.distance);
  for (const Source& s : job.sources)
    if (!s.parts.empty())
      size = std::max({size, std::abs(s.x0), std::abs(s.x1), std::abs(s.y0), std::abs(s.y1), s.x1 - s.x0, s.y1 - s.y0});
  const double tol = 1e-9 * size, tiny = 1e-11 * size;
  const double d = std::abs(job.distance);
  const bool shrink = job.distance < 0;

  std::vector<Seg> raw;
  std::size_t parts = 0;
  for (const Source& s : job.sources) parts += s.parts.size();
  raw.reserve(2 * parts + 2);
  for (std::size_t i = 0; i < job.sources.size(); ++i) {
    const Source& s = job.sources[i];
    // A lone outline's offset runs the way it does; in a union every
    // outline runs counter-clockwise, so that pieces of different outlines
    // chain where they meet.
    const bool ccw = !s.closed || twiceArea(s.parts) >= 0;
    rawCurve(s, static_cast<int>(i), ccw ? job.distance : -job.distance, !ccw && job.sources.size() > 1, job.reach,
             raw);
  }

  // Whether a point lies on the offset: at the full distance from every
  // outline (or farther, on a mitred corner), outside every closed one when
  // growing, inside when shrinking. Only the outlines whose box grown by the
  // distance holds the point, and their parts whose box grown so holds it,
  // can be that near; outlines of many parts have them on a grid.
  constexpr std::size_t kFewParts = 32;
  const BoxGrid near(job.sources, d + tol);
  std::vector<BoxGrid> partGrids;
  std::vector<std::size_t> gridOf(job.sources.size(), 0);
  for (std::size_t i = 0; i < job.sources.size(); ++i)
    if (job.sources[i].parts.size() > kFewParts) {
      gridOf[i] = partGrids.size() + 1;
      partGrids.emplace_back(job.sources[i].parts, d - tol);
    }
  const auto onOffset = [&](const V& q) {
    bool keep = true, any = false;
    near.at(q, [&](std::size_t i) {
      const Source& s = job.sources[i];
      any = true;
      if (!keep || (s.closed && vcSMDGDPolyPrivate::inside(*s.poly, q) != shrink)) {
        keep = false;
        return;
      }
      const auto closer = [&](const Seg& g) { return g.distance(q) < d - tol; };
      if (gridOf[i] > 0) {
        partGrids[gridOf[i] - 1].at(q, [&](std::size_t k) { keep = keep && !closer(s.parts[k]); });
        return;
      }
      for (const Seg& g : s.parts) {
        if (q.x() < g.x0 - d || q.x() > g.x1 + d || q.y() < g.y0 - d || q.y() > g.y1 + d) continue;
        if (closer(g)) {
          keep = false;
          return;
        }
      }
    });
    return keep && (any || !shrink);
  };

  const Cuts cuts = cutsOf(raw, tol);
  std::vector<Seg> kept;
  kept.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const Seg& g = raw[i];
    const double len = g.length();
    // Runs of kept pieces of one raw piece are kept whole; slivers between
    // cuts at the same place neither keep nor break a run.
    double from = -1.0, last = 0.0;
    for (std::size_t k = cuts.start[i]; k + 1 < cuts.start[i + 1]; ++k) {
      const double t0 = cuts.t[k], t1 = cuts.t[k + 1];
      if ((t1 - t0) * len <= tiny) continue;
      const bool keep = onOffset(g.pointAt(0.5 * (t0 + t1)));
      if (keep && from < 0) from = t0;
      if (!keep && from >= 0) {
        kept.push_back(g.sub(from, last));
        from = -1.0;
      }
      last = t1;
    }
    if (from >= 0) kept.push_back(g.sub(from, 1.0));
  }

  Loops out;
  for (const std::vector<Seg>& loop : chain(std::move(kept), tol, out.pinched)) {
    std::vector<vcSMDGDPolyVertex> vs = verticesOf(loop, tiny);
    if (vs.size() >= 2) out.loops.emplace_back(loop.front().owner, std::move(vs));
  }
  return out;
}

// The loops as closed polys, each like the outline it came from (likes[owner]).
// The pieces of a loop meet only at their ends, so a loop that touches
// nothing is a valid outline as it stands: `adopt` takes its vertices without
// the check of every pair of parts. Where loops touch, the full check of
// vertices() decides.
template <class Adopt>
std::vector<vcSMDGDPoly> polysOf(Loops loops, const std::vector<const vcSMDGDPoly*>& likes, Adopt&& adopt) {
  std::vector<vcSMDGDPoly> out;
  out.reserve(loops.loops.size());
  for (auto& [owner, vs] : loops.loops) {
    // Made in place: a poly is copied whole, never moved.
    vcSMDGDPoly& q = out.emplace_back();
    q = vf_SMDPolyLike(*likes[static_cast<std::size_t>(owner)]);
    adopt(q, std::move(vs), loops.pinched);
  }
  return out;
}

}  // namespace

// A closed poly made of the sharp corners vs (radius 0, no labels), checked
// in full when `check` is set.
void vcSMDGDPolyPrivate::adoptOffsetLoop_(vcSMDGDPoly& q, std::vector<vcSMDGDPolyVertex>&& vs, bool check) {
  q.open_ = false;
  if (check) {
    q.vertices(vs);
    return;
  }
  q.v_ = std::move(vs);
  q.rebuildLabels_();
  q.deriveRoundings_();
  q.resetInsideIndex_();
}

std::vector<vcSMDGDPoly> vcSMDGDPolyPrivate::offset(const vcSMDGDPoly& p, double distance, OffsetJoin join,
                                                    double mitreLimit) {
  if (!std::isfinite(distance)) throw vcShapesError::BadGeom("vcSMDGDPolyPrivate::offset: the distance is not finite");
  if (join == eMitreJoin && !(mitreLimit >= 1.0 && std::isfinite(mitreLimit)))
    throw vcShapesError::BadGeom("vcSMDGDPolyPrivate::offset: the mitre limit must be finite and at least 1");
  if (distance == 0.0) return {p};
  Job job;
  job.reach = join == eMitreJoin ? mitreLimit : join == eSquareJoin ? 1.0 : 0.0;
  job.sources.push_back(sourceOf(p));
  job.distance = p.isOpen() ? std::abs(distance) : distance;
  return polysOf(run(job), {&p}, adoptOffsetLoop_);
}

std::vector<vcSMDGDPoly> vcSMDGDPolyPrivate::offsetUnion(const std::vector<vcSMDGDPoly>& polys, double distance) {
  if (!(std::isfinite(distance) && distance > 0))
    throw vcShapesError::BadGeom("vcSMDGDPolyPrivate::offsetUnion: the distance must be finite and > 0");
  Job job;
  std::vector<const vcSMDGDPoly*> likes;
  for (const vcSMDGDPoly& p : polys) {
    job.sources.push_back(sourceOf(p));
    likes.push_back(&p);
  }
  job.distance = distance;
  return polysOf(run(job), likes, adoptOffsetLoop_);
}

double vcSMDGDPolyPrivate::signedDistance(const vcSMDGDPoly& p, const vcVector<2>& pt) {
  const Source s = sourceOf(p);
  if (s.parts.empty()) throw vcSMDGDPoly::invalidVertices();
  const double d = s.distance(pt, 0.0);
  return s.closed && inside(p, pt) ? -d : d;
}
