// Cropping an SMD poly by a closed one.
//
// The points where m meets the cropper cut m's outline into stretches. Each
// stretch is kept or dropped by the side of the cropper its middle lies on,
// and neighbouring kept stretches are joined again. Deciding per stretch,
// rather than flipping a state at every meeting point, makes a touch (or a
// meeting point reported twice where two parts join) harmless: it only
// splits a stretch into two that are then joined back.
#include <algorithm>
#include <cmath>
#include <optional>

#include <vc/wrfm/smdmodel.h>

#include "smdpoly_outline.h"
#include "smdpoly_util.h"

namespace {

// A stretch of an outline between arc lengths a and b (a < b).
struct Stretch {
  double a, b;
};

// A box a little larger than r, so that parts that only touch are still tried.
vcRect grown(const vcRect& r) {
  const double e = 1e-9 * (1.0 + std::abs(r.x()) + std::abs(r.y()) + r.width() + r.height());
  return vcRect(r.x() - e, r.y() - e, r.width() + 2 * e, r.height() + 2 * e);
}

bool overlap(const vcRect& a, const vcRect& b) {
  return a.x() <= b.x() + b.width() && b.x() <= a.x() + a.width() && a.y() <= b.y() + b.height() &&
         b.y() <= a.y() + a.height();
}

// Where the parts of o meet those of oc, as arc lengths along o, in order;
// boxes first, so that only parts that come near each other are intersected.
std::vector<double> meetingPoints(const vc_SMDOutline& o, const vc_SMDOutline& oc) {
  std::vector<vcRect> cBoxes;
  for (const auto& part : oc.parts) cBoxes.push_back(grown(part.piece.looseBox()));
  std::vector<double> at;
  for (int k = 0; k < static_cast<int>(o.parts.size()); ++k) {
    const vc_SMDPiece& piece = o.parts[std::size_t(k)].piece;
    const vcRect box = grown(piece.looseBox());
    for (std::size_t i = 0; i < oc.parts.size(); ++i)
      if (overlap(box, cBoxes[i]))
        for (const vcVector<2>& q : vc_intersect(piece, oc.parts[i].piece, false)) at.push_back(o.along(k, q));
  }
  std::sort(at.begin(), at.end());
  return at;
}

// The cuts among sorted meeting points: points within eps of the previous
// one are the same cut, an open outline is not cut at its ends, and a closed
// one is cut once where its end meets its start.
std::vector<double> distinctCuts(const std::vector<double>& at, const vc_SMDOutline& o, double eps) {
  const double L = o.length;
  std::vector<double> x;
  for (double t : at)
    if ((x.empty() || t - x.back() > eps) && (o.closed || (t > eps && t < L - eps))) x.push_back(t);
  if (o.closed && x.size() > 1 && x.front() + L - x.back() <= eps) x.pop_back();
  return x;
}

// The stretches between the cuts x; on a closed outline the last wraps past
// its length to the first cut, and no cut leaves no stretch.
std::vector<Stretch> stretchesBetween(const std::vector<double>& x, const vc_SMDOutline& o) {
  std::vector<Stretch> all;
  if (o.closed) {
    for (std::size_t i = 0; i < x.size(); ++i)
      all.push_back({x[i], i + 1 < x.size() ? x[i + 1] : x.front() + o.length});
    return all;
  }
  double from = 0.0;
  for (double t : x) {
    all.push_back({from, t});
    from = t;
  }
  all.push_back({from, o.length});
  return all;
}

// The kept stretches, each joined with its kept neighbours. On a closed
// outline the joining starts after a dropped stretch (there is one), so that a
// run across the wrap point is one piece, and pieces start within [0, length).
std::vector<Stretch> joinKept(const std::vector<Stretch>& all, const std::vector<char>& keep, const vc_SMDOutline& o) {
  const double L = o.length;
  std::size_t first = 0;
  if (o.closed)
    while (keep[first]) ++first;
  std::vector<Stretch> pieces;
  bool open = false;
  for (std::size_t j = 0; j < all.size(); ++j) {
    const std::size_t i = (first + j) % all.size();
    if (!keep[i]) {
      open = false;
      continue;
    }
    Stretch s = all[i];
    if (o.closed && s.a >= L) s = {s.a - L, s.b - L};
    if (open) {
      pieces.back().b = s.b + (s.b < pieces.back().b ? L : 0.0);
    } else {
      pieces.push_back(s);
      open = true;
    }
  }
  if (o.closed)
    for (Stretch& s : pieces)
      if (s.a >= L) s = {s.a - L, s.b - L};
  return pieces;
}

// Puts a closed outline's pieces in the order of the walk along it, which
// starts at vertex 0, or at the middle of its rounding.
void inWalkOrder(std::vector<Stretch>& pieces, const vc_SMDOutline& o) {
  if (!o.closed) return;
  const double L = o.length;
  const double start = o.parts.front().corner ? 0.5 * o.parts.front().len : 0.0;
  const auto key = [&](double b) { return b - start - L * std::floor((b - start) / L); };
  std::stable_sort(pieces.begin(), pieces.end(), [&](const Stretch& p, const Stretch& q) { return key(p.b) < key(q.b); });
}

// The open poly of stretch s of m, with m's name, direction flag, colors and
// weight; none when the stretch is too short to leave two vertices.
std::optional<vcSMDGDPoly> pieceOf(const vcSMDGDPoly& m, const vc_SMDOutline& o, const Stretch& s) {
  const bool atStart = !o.closed && s.a <= 0.0, atEnd = !o.closed && s.b >= o.length;
  std::vector<vcSMDGDPolyVertex> vs = o.stretch(s.a, s.b, atStart, atEnd, false);
  if (vs.size() < 2) return std::nullopt;
  vcSMDGDPoly piece = vf_SMDPolyLike(m);
  try {
    piece.vertices(vs);
  } catch (const vcSMDGDPoly::invalidRounding&) {
    // A rounding may take at most half of a segment that is not a free end,
    // and a cut can leave less than that beside a whole corner.
    piece.vertices(o.stretch(s.a, s.b, atStart, atEnd, true));
  }
  return piece;
}

}  // namespace

vcSMDGDModel vcSMDGDPolyPrivate::crop(const vcSMDGDPoly& c, const vcSMDGDPoly& m, bool keepInside) {
  if (c.isOpen()) throw vcSMDGDPoly::notClosed();
  vcSMDGDModel out("");
  const auto kept = [&](const vcVector<2>& q) { return c.inside_(q) == keepInside; };
  if (m.numVertices() < 2) {
    if (m.numVertices() == 1 && kept(m.vertices().front().point())) out << m;
    return out;
  }

  const vc_SMDOutline o(m), oc(c);
  const double eps = 1e-12 * (1.0 + o.length + m.boundingBox().size().len());
  const std::vector<Stretch> all = stretchesBetween(distinctCuts(meetingPoints(o, oc), o, eps), o);
  // A closed outline that nothing meets is on one side throughout.
  if (all.empty()) {
    if (kept(o.pointAt(0.0))) out << m;
    return out;
  }
  // Each stretch is on one side of c: its middle tells which.
  std::vector<char> keep(all.size());
  for (std::size_t i = 0; i < all.size(); ++i) keep[i] = kept(o.pointAt(0.5 * (all[i].a + all[i].b)));
  if (std::all_of(keep.begin(), keep.end(), [](char k) { return k != 0; })) {
    out << m;
    return out;
  }
  std::vector<Stretch> pieces = joinKept(all, keep, o);
  inWalkOrder(pieces, o);
  for (const Stretch& s : pieces)
    if (std::optional<vcSMDGDPoly> piece = pieceOf(m, o, s)) out << *piece;
  return out;
}

bool vcSMDGDPolyPrivate::pointContact(const vcSMDGDPoly& a, const vcVector<2>& p, const vcSMDGDPoly& b) {
  const vc_SMDOutline oa(a);
  int k = 0;
  double s = 0.0;
  if (oa.parts.empty() || oa.locate(p, k, s) > 0.001) return false;
  // Probe a little way either side of p along a: far enough to leave the
  // rounding noise of p, near enough not to reach another meeting point.
  const double step = std::min(1e-7 * (1.0 + p.len() + oa.length), 0.25 * oa.length);
  if (!oa.closed && (s - step < 0.0 || s + step > oa.length)) return true;
  const vcVector<2> before = oa.pointAt(s - step), after = oa.pointAt(s + step);
  if (b.isClosed()) return b.inside_(before) == b.inside_(after);
  const vc_SMDOutline ob(b);
  int kb = 0;
  double sb = 0.0;
  if (ob.parts.empty()) return true;
  ob.locate(p, kb, sb);
  const vc_SMDPiece& pc = ob.parts[std::size_t(kb)].piece;
  const vcVector<2> near = pc.closestPoint(p);
  const double dir = vcRadian(pc.directionNear(near)).toDouble();
  const vcVector<2> t(std::cos(dir), std::sin(dir));
  return (t.cross(before - near) > 0) == (t.cross(after - near) > 0);
}
