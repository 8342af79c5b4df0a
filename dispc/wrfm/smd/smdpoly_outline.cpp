// The arc-length view of an SMD poly's outline and the stretch builder.
//
// A stretch is rebuilt from m's own vertices where it passes a whole corner,
// so that roundings, spans and labels survive; where it starts or ends inside
// a part, a sharp vertex is made at that point and the segment (or the
// rounding arc, entered at its tangent point) carries the swept part of its
// span. Every made segment lies on the original line or circle.
#include "smdpoly_outline.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

using P = vcSMDGDPolyPrivate;

namespace {

bool isLine(const vcSMDGDPolyVertex& v) { return v.endsStraightSegment(); }

double degOf(const vcVector<2>& d) { return vcDegree(vcRadian(d.angle())).toDouble(); }

// The fraction of the way along a part at which its point nearest q lies.
double fractionOn(const vc_SMDPiece& pc, const vcVector<2>& q) {
  if (!pc.isArc) {
    const vcVector<2> d = pc.line.p2() - pc.line.p1();
    const double l2 = d.dot(d);
    return l2 > 0 ? std::clamp((q - pc.line.p1()).dot(d) / l2, 0.0, 1.0) : 0.0;
  }
  const double span = pc.arc.localAngleSpan().toDouble();
  if (span == 0.0) return 0.0;
  double d = degOf(q - pc.arc.localCenter()) - pc.arc.localStartAngle().toDouble();
  d = vcDegree(span > 0 ? d : -d).norm().toDouble();
  const double a = std::abs(span);
  if (d <= a) return d / a;
  return (360.0 - d) < (d - a) ? 0.0 : 1.0;  // beyond the arc: the nearer end
}

vcVector<2> pointOn(const vc_SMDPiece& pc, double f) {
  if (!pc.isArc) return pc.line.segPoint(f);
  const double r = pc.arc.localRadius();
  const double a = vcRadian(pc.arc.localStartAngle() + pc.arc.localAngleSpan() * f).toDouble();
  return pc.arc.localCenter() + vcVector<2>(r * std::cos(a), r * std::sin(a));
}

}  // namespace

bool vc_samePoint(const vcVector<2>& a, const vcVector<2>& b) {
  return a.distance(b) <= 1e-12 * (1.0 + std::max(a.len(), b.len()));
}

double vc_subSpan(const vcVector<2>& centre, double span, const vcVector<2>& from, const vcVector<2>& to) {
  if (vc_samePoint(from, to)) return 0.0;
  const double d = degOf(to - centre) - degOf(from - centre);
  double sweep = span > 0 ? vcDegree(d).norm().toDouble() : -vcDegree(-d).norm().toDouble();
  // A sweep past the whole span is a point just short of `from` seen round the circle.
  if (std::abs(sweep) > std::abs(span) + 1e-9) sweep = 0.0;
  return sweep;
}

vcSMDGDPolyVertex vc_cutVertex(const vcVector<2>& p, double spanDeg) {
  return vcSMDGDPolyVertex(p, 0.0, vcDegree(spanDeg), 0.5, 0.5, -1, vcDimTol());
}

vc_SMDOutline::vc_SMDOutline(const vcSMDGDPoly& p) : poly(p), closed(p.isClosed()) {
  vc_walkOutline(p, vc_SMDWalkFrom::eCorner0, [&](const vc_SMDPart& w) {
    // An arc's ends as its circle gives them: stretches are cut on the circle.
    vc_SMDPiece piece = w.piece();
    if (piece.isArc) piece = vc_SMDPiece(piece.arc);
    Part part{piece, w.index, w.corner, length, piece.length()};
    length += part.len;
    parts.push_back(part);
  });
}

double vc_SMDOutline::along(int k, const vcVector<2>& q) const {
  const Part& part = parts[std::size_t(k)];
  return part.s0 + part.len * fractionOn(part.piece, q);
}

vcVector<2> vc_SMDOutline::pointAt(double s) const {
  if (closed && length > 0) s -= length * std::floor(s / length);
  s = std::clamp(s, 0.0, length);
  const Part& part = parts[std::size_t(partIndex(s, false) % static_cast<int>(parts.size()))];
  return pointOn(part.piece, part.len > 0 ? std::clamp((s - part.s0) / part.len, 0.0, 1.0) : 0.0);
}

double vc_SMDOutline::locate(const vcVector<2>& q, int& k, double& s) const {
  double best = std::numeric_limits<double>::infinity();
  for (int i = 0; i < static_cast<int>(parts.size()); ++i) {
    const double d = parts[std::size_t(i)].piece.closestPoint(q).distance(q);
    if (d < best) {
      best = d;
      k = i;
    }
  }
  if (best < std::numeric_limits<double>::infinity()) s = along(k, q);
  return best;
}

int vc_SMDOutline::partIndex(double s, bool endInclusive) const {
  const int n = static_cast<int>(parts.size());
  int base = 0;
  if (closed && (s > length || (s == length && !endInclusive))) {
    s -= length;
    base = n;
  }
  for (int k = 0; k < n; ++k) {
    const double end = parts[std::size_t(k)].s0 + parts[std::size_t(k)].len;
    if (endInclusive ? s <= end : s < end) return base + k;
  }
  return base + n - 1;
}

std::vector<vcSMDGDPolyVertex> vc_SMDOutline::stretch(double a, double b, bool atStart, bool atEnd,
                                                      bool explicitRoundings) const {
  const auto& vs = poly.vertices();
  const int n = static_cast<int>(parts.size());
  std::vector<vcSMDGDPolyVertex> out;
  auto push = [&](const vcSMDGDPolyVertex& v) {
    if (out.empty() || !vc_samePoint(out.back().point(), v.point())) out.push_back(v);
  };
  // A vertex of m, its incoming segment running from `from`.
  auto copyOf = [&](int w, const vcVector<2>& from, bool shortened) {
    vcSMDGDPolyVertex v = vs[std::size_t(w)];
    if (shortened && !isLine(v)) {
      const vc2SegmentArc full = P::arcSegment_(poly, w);
      v.segmentAngleSpan(vcDegree(vc_subSpan(full.localCenter(), v.segmentAngleSpan().toDouble(), from, v.point())));
    }
    if (shortened) v.segmentLengthTol(vcDimTol());  // a tolerance of the whole length no longer applies
    return v;
  };
  // The sweep of segment w (ending at vertex w) from `from` to `to`.
  auto segSpan = [&](int w, const vcVector<2>& from, const vcVector<2>& to) {
    if (isLine(vs[std::size_t(w)])) return 0.0;
    const vc2SegmentArc full = P::arcSegment_(poly, w);
    return vc_subSpan(full.localCenter(), full.localAngleSpan().toDouble(), from, to);
  };
  auto arcSpan = [](const vc_SMDPiece& pc, const vcVector<2>& from, const vcVector<2>& to) {
    return vc_subSpan(pc.arc.localCenter(), pc.arc.localAngleSpan().toDouble(), from, to);
  };

  const int ka = partIndex(a, false), kb = partIndex(b, true);
  vcVector<2> prev;
  if (atStart) {
    out.push_back(vs.front());
    prev = vs.front().point();
  } else {
    prev = pointAt(a);
    out.push_back(vc_cutVertex(prev, 0.0));
  }
  bool shortened = !atStart;  // the segment being walked lost its start
  for (int j = ka; j <= kb; ++j) {
    const Part& part = parts[std::size_t(j % n)];
    const bool last = j == kb;
    if (part.corner) {
      // Reached only where the stretch starts or ends inside the rounding.
      const vcVector<2> q = last ? pointAt(b) : part.piece.end();
      push(vc_cutVertex(q, arcSpan(part.piece, prev, q)));
      prev = q;
      shortened = true;
      if (last) break;
      continue;
    }
    const int w = part.vertex;
    if (last) {
      if (atEnd) {
        push(copyOf(w, prev, shortened));
      } else {
        const vcVector<2> q = pointAt(b);
        push(vc_cutVertex(q, segSpan(w, prev, q)));
      }
      break;
    }
    const bool roundedNext = j + 1 <= kb && parts[std::size_t((j + 1) % n)].corner;
    if (roundedNext && j + 1 == kb) {
      // The stretch ends inside w's rounding: enter it at its tangent point.
      const vcVector<2> t = part.piece.end();
      push(vc_cutVertex(t, segSpan(w, prev, t)));
      prev = t;
      continue;
    }
    if (roundedNext && explicitRoundings) {
      // The corner as sharp joints at its tangent points and its rounding arc
      // between them, which no rule about the room a rounding takes can refuse.
      const vc_SMDPiece& round = parts[std::size_t((j + 1) % n)].piece;
      vcSMDGDPolyVertex in = vs[std::size_t(w)];
      in.point(round.start());
      in.vertexRadius(0.0);
      in.segmentAngleSpan(vcDegree(segSpan(w, prev, round.start())));
      in.segmentLengthTol(vcDimTol());
      push(in);
      push(vc_cutVertex(round.end(), round.arc.localAngleSpan().toDouble()));
      prev = round.end();
      shortened = true;
      ++j;
      continue;
    }
    push(copyOf(w, prev, shortened));
    prev = vs[std::size_t(w)].point();
    shortened = false;
    if (roundedNext) ++j;
  }
  return out;
}
