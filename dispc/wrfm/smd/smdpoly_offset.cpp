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
// across the corner at that reach. Appended to out, in order.
void join(const Seg& g, const Seg& h, double s, double reach, std::vector<Seg>& out) {
  const V t1 = g.endTangent(), t2 = h.startTangent();
  const double turn = std::atan2(t1.cross(t2), t1.dot(t2));
  if (!(turn * s > 0) || std::abs(turn) < 1e-9) return;
  const double sign = s > 0 ? 1.0 : -1.0, d = std::abs(s);
  const V n1 = rightOf(t1) * sign, n2 = rightOf(t2) * sign, at = g.b;
  if (reach <= 0) {
    out.push_back(arcSeg(at, d, n1.angle().toDouble(), turn));
    return;
  }
  const double half = 0.5 * std::abs(turn);
  const V p1 = at + n1 * d, p2 = at + n2 * d;
  if (1.0 / std::cos(half) <= reach) {
    const V m = p1 + t1 * (d * std::tan(half));
    out.push_back(lineSeg(p1, m));
    out.push_back(lineSeg(m, p2));
    return;
  }
  const double u = (reach - std::cos(half)) / std::sin(half) * d;
  const V a = p1 + t1 * u, b = p2 - t2 * u;
  if (u > 0) out.push_back(lineSeg(p1, a));
  out.push_back(lineSeg(a, b));
  if (u > 0) out.push_back(lineSeg(b, p2));
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
      std::vector<Seg> js;
      join(parts[k], parts[(k + 1) % n], side, reach, js);
      for (const Seg& j : js) push(j, reverse);
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
      std::vector<Seg> js;
      if (k + 1 < n) join(parts[k], parts[k + 1], s, reach, js);
      for (const Seg& j : js) push(j, s < 0);
    }
  }
  push(arcSeg(parts.front().a, d, parts.front().startTangent().angle().toDouble() + 0.5 * kPi, kPi), false);
  push(arcSeg(parts.back().b, d, parts.back().endTangent().angle().toDouble() - 0.5 * kPi, kPi), false);
}

// Every raw piece cut where another crosses it: the cut parameters, sorted.
std::vector<std::vector<double>> cutsOf(const std::vector<Seg>& raw, double slack) {
  std::vector<std::vector<double>> cuts(raw.size());
  std::vector<std::size_t> order(raw.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return raw[a].x0 < raw[b].x0; });
  for (std::size_t i = 0; i < order.size(); ++i) {
    const Seg& p = raw[order[i]];
    for (std::size_t j = i + 1; j < order.size() && raw[order[j]].x0 <= p.x1 + slack; ++j) {
      const Seg& q = raw[order[j]];
      if (q.y0 > p.y1 + slack || p.y0 > q.y1 + slack) continue;
      crossings(p, q, cuts[order[i]], cuts[order[j]]);
    }
  }
  for (auto& c : cuts) {
    c.push_back(0.0);
    c.push_back(1.0);
    std::sort(c.begin(), c.end());
  }
  return cuts;
}

// The kept pieces chained into loops by matching ends.
std::vector<std::vector<Seg>> chain(std::vector<Seg> kept, double tol) {
  std::sort(kept.begin(), kept.end(), [](const Seg& a, const Seg& b) { return a.a.x() < b.a.x(); });
  std::vector<char> used(kept.size(), 0);
  const auto next = [&](const V& e) {
    auto it = std::lower_bound(kept.begin(), kept.end(), e.x() - tol,
                               [](const Seg& s, double x) { return s.a.x() < x; });
    std::size_t best = kept.size();
    double bestD = tol;
    for (; it != kept.end() && it->a.x() <= e.x() + tol; ++it) {
      const std::size_t i = static_cast<std::size_t>(it - kept.begin());
      const double dd = it->a.distance(e);
      if (!used[i] && dd <= bestD) {
        best = i;
        bestD = dd;
      }
    }
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

std::vector<std::pair<int, std::vector<vcSMDGDPolyVertex>>> run(const Job& job) {
  double size = std::abs(job.distance);
  for (const Source& s : job.sources)
    if (!s.parts.empty())
      size = std::max({size, std::abs(s.x0), std::abs(s.x1), std::abs(s.y0), std::abs(s.y1), s.x1 - s.x0, s.y1 - s.y0});
  const double tol = 1e-9 * size, tiny = 1e-11 * size;
  const double d = std::abs(job.distance);

  std::vector<Seg> raw;
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
  // growing, inside when shrinking.
  const auto onOffset = [&](const V& q) {
    for (const Source& s : job.sources) {
      if (s.parts.empty()) continue;
      if (q.x() < s.x0 - d - tol || q.x() > s.x1 + d + tol || q.y() < s.y0 - d - tol || q.y() > s.y1 + d + tol) {
        if (job.distance < 0) return false;
        continue;
      }
      if (s.closed && vcSMDGDPolyPrivate::inside(*s.poly, q) != (job.distance < 0)) return false;
      if (s.distance(q, d - tol) < d - tol) return false;
    }
    return true;
  };

  const auto cuts = cutsOf(raw, tol);
  std::vector<Seg> kept;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const Seg& g = raw[i];
    const std::vector<double>& c = cuts[i];
    const double len = g.length();
    // Runs of kept pieces of one raw piece are kept whole; slivers between
    // cuts at the same place neither keep nor break a run.
    double from = -1.0, last = 0.0;
    for (std::size_t k = 0; k + 1 < c.size(); ++k) {
      if ((c[k + 1] - c[k]) * len <= tiny) continue;
      const bool keep = onOffset(g.pointAt(0.5 * (c[k] + c[k + 1])));
      if (keep && from < 0) from = c[k];
      if (!keep && from >= 0) {
        kept.push_back(g.sub(from, last));
        from = -1.0;
      }
      last = c[k + 1];
    }
    if (from >= 0) kept.push_back(g.sub(from, 1.0));
  }

  std::vector<std::pair<int, std::vector<vcSMDGDPolyVertex>>> out;
  for (const std::vector<Seg>& loop : chain(std::move(kept), tol)) {
    std::vector<vcSMDGDPolyVertex> vs = verticesOf(loop, tiny);
    if (vs.size() >= 2) out.emplace_back(loop.front().owner, std::move(vs));
  }
  return out;
}

}  // namespace

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
  std::vector<vcSMDGDPoly> out;
  for (auto& [owner, vs] : run(job)) {
    vcSMDGDPoly q = vf_SMDPolyLike(p);
    q.open_ = false;
    q.vertices(vs);
    out.push_back(std::move(q));
  }
  return out;
}

std::vector<vcSMDGDPoly> vcSMDGDPolyPrivate::offsetUnion(const std::vector<vcSMDGDPoly>& polys, double distance) {
  if (!(std::isfinite(distance) && distance > 0))
    throw vcShapesError::BadGeom("vcSMDGDPolyPrivate::offsetUnion: the distance must be finite and > 0");
  Job job;
  for (const vcSMDGDPoly& p : polys) job.sources.push_back(sourceOf(p));
  job.distance = distance;
  std::vector<vcSMDGDPoly> out;
  for (auto& [owner, vs] : run(job)) {
    vcSMDGDPoly q = vf_SMDPolyLike(polys[static_cast<std::size_t>(owner)]);
    q.open_ = false;
    q.vertices(vs);
    out.push_back(std::move(q));
  }
  return out;
}

double vcSMDGDPolyPrivate::signedDistance(const vcSMDGDPoly& p, const vcVector<2>& pt) {
  const Source s = sourceOf(p);
  if (s.parts.empty()) throw vcSMDGDPoly::invalidVertices();
  const double d = s.distance(pt, 0.0);
  return s.closed && inside(p, pt) ? -d : d;
}
