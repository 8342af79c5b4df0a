// Point-in-poly and direction tests of SMD polys, and the points where an
// outline meets another.
//
// The closed outline is kept as pieces that are monotone in y: its rounded
// line segments, and its arcs cut at their top and bottom points. A
// horizontal ray then crosses each piece at most once, and the crossing count
// follows the usual half-open rule on the piece ends, which are shared
// exactly between neighbouring pieces, so that a ray through a joint is
// counted once. Arcs stay exact: a crossing's x comes from the circle.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <utility>

#include <vc/wrfm/smdpoly.h>

#include "smdpoly_piece.h"

// The index of a closed outline for the inside test: its box, known from the
// check of the poly, and its y-monotone pieces in horizontal bands, built on
// the first test. Copies of the poly share the index, and const inside tests
// may run on several threads at once: the first to need the bands builds
// them under the lock, and once `built` is set they are only read.
struct vc_SMDInsideIndex {
  // A line from a to b, or an arc piece on the circle (c, r) whose x is
  // c.x + side * sqrt(r^2 - (y - c.y)^2).
  struct Piece {
    vcVector<2> a, b, c;
    double r = 0.0;
    double side = 0.0;  // 0 for a line, +1 or -1 for an arc piece
  };
  vcRect box{0, 0, -1, -1};
  std::atomic<bool> built{false};
  std::mutex building;
  std::vector<Piece> pieces;
  std::vector<int> bandStart;  // band k lists bandItems[bandStart[k] .. bandStart[k + 1])
  std::vector<int> bandItems;
  double bandScale = 0.0;
};

namespace {

using Index = vc_SMDInsideIndex;

// The band of y among `bands` bands of height 1 / scale from y0, clamped to
// the first and the last; never casts a value outside int's range (or NaN).
int bandOf(double y, double y0, double scale, int bands) {
  const double t = (y - y0) * scale;
  if (!(t > 0.0)) return 0;
  return t < bands - 1 ? static_cast<int>(t) : bands - 1;
}

bool isFinite(const vcRect& r) {
  return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

// The parts as the crossing count takes them: a nearly straight arc is its
// chord, as its huge circle's x would cancel.
template <class Visit>
void forEachMeetingPart(const vcSMDGDPoly& p, Visit visit) {
  vc_forEachOutlinePart(p, [&](const vc_SMDPiece& exact) { visit(exact.forMeeting(), exact.from, exact.to); });
}

// Cuts an arc piece where its y turns back (local angles 90 + 180 k).
void addArcPieces(Index& idx, const vc2SegmentArc& arc, const vcVector<2>& from, const vcVector<2>& to) {
  const vcVector<2> c = arc.localCenter();
  const double r = arc.localRadius();
  const double s0 = arc.localStartAngle().toDouble(), span = arc.localAngleSpan().toDouble();
  const double lo = std::min(s0, s0 + span), hi = std::max(s0, s0 + span);
  std::vector<double> cuts;
  const double first = std::ceil((lo - 90.0) / 180.0);
  for (int j = 0; j < 3; ++j) {  // a span of at most a turn has at most two cuts
    const double cut = 90.0 + 180.0 * (first + j);
    if (cut > lo && cut < hi) cuts.push_back(cut);
  }
  if (span < 0) std::reverse(cuts.begin(), cuts.end());
  double prevAngle = s0;
  vcVector<2> prevPoint = from;
  auto add = [&](double angle, const vcVector<2>& point) {
    const double mid = vcRadian(vcDegree(0.5 * (prevAngle + angle))).toDouble();
    idx.pieces.push_back(Index::Piece{prevPoint, point, c, r, std::cos(mid) > 0 ? 1.0 : -1.0});
    prevAngle = angle;
    prevPoint = point;
  };
  for (double cut : cuts) {
    // The top of the circle at 90 + 360 k, the bottom at 270 + 360 k.
    const bool top = std::fmod((cut - 90.0) / 180.0, 2.0) == 0.0;
    add(cut, c + vcVector<2>(0.0, top ? r : -r));
  }
  add(s0 + span, to);
}

// About four pieces per band, fewer bands when tall pieces would repeat too often.
void buildBands(Index& idx) {
  const double y0 = idx.box.y(), height = idx.box.height();
  const int count = static_cast<int>(idx.pieces.size());
  for (int bands = std::clamp(count / 4, 1, 1024);; bands /= 2) {
    idx.bandScale = height > 0 ? bands / height : 0.0;
    idx.bandStart.assign(std::size_t(bands) + 1, 0);
    auto band = [&](double y) { return bandOf(y, y0, idx.bandScale, bands); };
    for (const Index::Piece& e : idx.pieces)
      for (int k = band(std::min(e.a.y(), e.b.y())); k <= band(std::max(e.a.y(), e.b.y())); ++k)
        ++idx.bandStart[std::size_t(k) + 1];
    for (int k = 0; k < bands; ++k) idx.bandStart[std::size_t(k) + 1] += idx.bandStart[std::size_t(k)];
    if (bands > 1 && idx.bandStart.back() > 16 * count) continue;
    idx.bandItems.assign(std::size_t(idx.bandStart.back()), 0);
    std::vector<int> fill(idx.bandStart.begin(), idx.bandStart.end() - 1);
    for (int i = 0; i < count; ++i) {
      const Index::Piece& e = idx.pieces[std::size_t(i)];
      for (int k = band(std::min(e.a.y(), e.b.y())); k <= band(std::max(e.a.y(), e.b.y())); ++k)
        idx.bandItems[std::size_t(fill[std::size_t(k)]++)] = i;
    }
    return;
  }
}

void build(Index& idx, const vcSMDGDPoly& p) {
  forEachMeetingPart(p, [&](const vc_SMDPiece& piece, const vcVector<2>& from, const vcVector<2>& to) {
    if (piece.isArc)
      addArcPieces(idx, piece.arc, from, to);
    else
      idx.pieces.push_back(Index::Piece{from, to, vcVector<2>(), 0.0, 0.0});
  });
  buildBands(idx);
}

const Index& built(Index& idx, const vcSMDGDPoly& p) {
  if (!idx.built.load(std::memory_order_acquire)) {
    const std::lock_guard<std::mutex> lock(idx.building);
    if (!idx.built.load(std::memory_order_relaxed)) {
      build(idx, p);
      idx.built.store(true, std::memory_order_release);
    }
  }
  return idx;
}

}  // namespace

void vcSMDGDPoly::resetInsideIndex_() {
  insideIndex_.reset();
  if (open_ || v_.size() < 2) return;
  auto idx = std::make_shared<Index>();
  forEachMeetingPart(*this, [&](const vc_SMDPiece& piece, const vcVector<2>&, const vcVector<2>&) {
    idx->box.enclose(piece.isArc ? piece.arc.boundingBox() : piece.line.boundingBox());
  });
  // Vertices near the end of double's range can make an outline whose box
  // overflows; the bands, and the inside test, need a finite one.
  if (!isFinite(idx->box)) throw invalidVertices();
  insideIndex_ = std::move(idx);
}

bool vcSMDGDPoly::inside_(const vcVector<2>& p) const {
  if (open_) throw notClosed();
  // Every accepted change of a closed poly leaves it an index.
  const Index& idx = built(*insideIndex_, *this);
  if (!idx.box.contains(p)) return false;
  const double px = p.x(), py = p.y();
  // Only pieces that reach into p's band can cross its ray.
  const int bands = int(idx.bandStart.size()) - 1;
  const std::size_t k = std::size_t(bandOf(py, idx.box.y(), idx.bandScale, bands));
  bool in = false;
  for (int b = idx.bandStart[k]; b < idx.bandStart[k + 1]; ++b) {
    const Index::Piece& e = idx.pieces[std::size_t(idx.bandItems[std::size_t(b)])];
    if ((e.a.y() > py) == (e.b.y() > py)) continue;
    double x;
    if (e.side == 0.0) {
      x = e.a.x() + (py - e.a.y()) * (e.b.x() - e.a.x()) / (e.b.y() - e.a.y());
    } else {
      const double dy = py - e.c.y();
      // (r - dy)(r + dy) rather than r^2 - dy^2, which overflows for radii past 1e154.
      x = e.c.x() + e.side * std::sqrt(std::max(0.0, (e.r - dy) * (e.r + dy)));
    }
    if (x > px) in = !in;
  }
  return in;
}

bool vcSMDGDPoly::isDirectionPositive() const {
  if (open_) throw notClosed();
  // Twice the signed area enclosed: positive when the interior lies to the
  // left of the travel (toward +angle), for lines and arcs alike.
  double area2 = 0.0;
  vc_forEachOutlinePart(*this, [&](const vc_SMDPiece& piece) {
    const vcVector<2> from = piece.from, to = piece.to;
    if (!piece.isArc) {
      area2 += from.cross(to);
      return;
    }
    // The chord's part, and the circular segment between chord and arc,
    // r^2 (d - sin d): no terms in the centre that cancel for huge circles.
    const double r = piece.arc.localRadius();
    const double d = vcRadian(piece.arc.localAngleSpan()).toDouble();
    const double dMinusSin = std::fabs(d) < 1e-3 ? d * d * d / 6 * (1 - d * d / 20) : d - std::sin(d);
    area2 += from.cross(to) + r * r * dMinusSin;
  });
  return (area2 > 0) != reversed_;
}

double vcSMDGDPoly::orientation_() const {
  if (v_.size() < 2) return 0.0;
  return vcDegree((v_[1].point() - v_[0].point()).angle()).toDouble();
}

// ---- meeting points with another outline -------------------------------------------

namespace {

std::vector<vc_SMDPiece> partsOf(const vcSMDGDPoly& p) {
  std::vector<vc_SMDPiece> parts;
  vc_forEachOutlinePart(p, [&](const vc_SMDPiece& piece) { parts.push_back(piece); });
  return parts;
}

// The points where `piece` meets any of `others`, ordered from its start.
std::vector<vcVector<2>> along(const vc_SMDPiece& piece, const std::vector<vc_SMDPiece>& others) {
  std::vector<std::pair<double, vcVector<2>>> hits;
  for (const vc_SMDPiece& o : others) {
    for (const vcVector<2>& q : vc_intersect(piece, o, false)) {
      double t;
      if (piece.isArc) {
        const double span = piece.arc.localAngleSpan().toDouble();
        const double d =
            vcDegree((q - piece.arc.localCenter()).angle()).toDouble() - piece.arc.localStartAngle().toDouble();
        t = vcDegree(span > 0 ? d : -d).norm().toDouble();
      } else {
        t = (q - piece.line.p1()).dot(piece.line.p2() - piece.line.p1());
      }
      hits.emplace_back(t, q);
    }
  }
  std::stable_sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<vcVector<2>> out;
  for (const auto& h : hits) out.push_back(h.second);
  return out;
}

// Appends pts, leaving out a point that repeats the last one (a joint met twice).
void appendOnce(std::vector<vcVector<2>>& out, const std::vector<vcVector<2>>& pts) {
  for (const vcVector<2>& q : pts)
    if (out.empty() || out.back().distance(q) > 1e-12 * (1.0 + q.len())) out.push_back(q);
}

}  // namespace

std::vector<vcVector<2>> vcSMDGDPoly::intersectionVertex_(int v, const vcSMDGDPoly& other) const {
  if (!vertexIsRounded_(v)) return {};
  return along(vc_roundedCornerPiece(*this, v), partsOf(other));
}

std::vector<vcVector<2>> vcSMDGDPoly::intersectionSegment_(int s, const vcSMDGDPoly& other) const {
  return along(vc_roundedSegmentPiece(*this, s), partsOf(other));
}

std::vector<vcVector<2>> vcSMDGDPoly::intersection_(const vcSMDGDPoly& other) const {
  const std::vector<vc_SMDPiece> others = partsOf(other);
  std::vector<vcVector<2>> out;
  vc_walkOutline(*this, vc_SMDWalkFrom::eCorner0,
                 [&](const vc_SMDPart& part) { appendOnce(out, along(part.piece(), others)); });
  // A closed outline's last point may repeat its first.
  if (out.size() > 1 && !open_ && out.back().distance(out.front()) <= 1e-12 * (1.0 + out.front().len())) out.pop_back();
  return out;
}
