// Rectilinear outlines: closing a rectilinear chain, snapping a nearly
// rectilinear poly onto the axes of its dominant angle, and moving one
// corner of a rectilinear poly while keeping it rectilinear.
#include <cmath>
#include <numbers>
#include <vector>

#include <vc/wrfm/smdpoly.h>

#include "smdpoly_util.h"

namespace {

using P = vcSMDGDPolyPrivate;
using V = vcVector<2>;

// Whether d runs nearer the x axis than the y axis.
bool nearerX(const V& d) { return std::abs(std::cos(d.angle().toDouble())) > std::cos(std::numbers::pi / 4); }

}  // namespace

void P::closeRectilinear(vcSMDGDPoly& poly) {
  const int n = static_cast<int>(poly.numVertices());
  // A closed poly keeps at least two vertices.
  if (n == 1) throw vcSMDGDPoly::invalidVertices();
  vcSMDGDPoly p = poly;
  if (n >= 3) {
    const V f = p.vertexPoint_(0), l = p.vertexPoint_(n - 1), s = p.vertexPoint_(n - 2);
    if (n % 2 == 1) {
      const V corner = nearerX(l - s) ? V(l.x(), f.y()) : V(f.x(), l.y());
      p.insertVertex(n - 1, vcSMDGDPolyVertex(corner, 0.5, 0.5, -1));
    } else if (n >= 4) {
      const V t = p.vertexPoint_(n - 3);
      const V corner = nearerX(s - t) ? V(s.x(), f.y()) : V(f.x(), s.y());
      // The last vertex moves; its rounding, label and tolerance stay.
      vcSMDGDPolyVertex last = p.vertex(n - 1);
      if (!(last.point() == corner) || last.segmentAngleSpan().toDouble() != 0.0) {
        last.point(corner);
        last.segmentAngleSpan(vcDegree(0.0));
        p.replaceVertex(n - 1, last);
      }
    }
  }
  p.close();
  poly = p;
}

void P::snapRectilinear(vcSMDGDPoly& poly) {
  if (isRectilinear(poly)) return;
  if (poly.numVertices() < 2) throw vcSMDGDPoly::invalidIndex();
  const vc2Rigid turn(vcRadian(vcDegree(-dominantAngle(poly).toDouble())), V(0, 0));
  const vcSMDGDPoly p = turn * poly;
  const int n = static_cast<int>(p.numVertices());
  const bool wasClosed = p.isClosed();
  // An odd outline cannot alternate all the way round: it is walked open and
  // closeRectilinear adds the missing corner.
  const bool open = p.isOpen() || n % 2 == 1;
  bool horizontal =
      std::abs(std::sin((p.vertexPoint_(0) - p.vertexPoint_(1)).angle().toDouble())) < std::sin(std::numbers::pi / 4);
  std::vector<vcSMDGDPolyVertex> vs;
  vs.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const V pi = p.vertexPoint_(i);
    V prev, next;
    if (!(open && i == 0)) {
      const V d = pi - p.vertexPoint_((i + n - 1) % n);
      prev = horizontal ? V(d.x(), 0) : V(0, d.y());
    }
    if (!(open && i == n - 1)) {
      const V e = pi - p.vertexPoint_((i + 1) % n);
      next = horizontal ? V(0, e.y()) : V(e.x(), 0);
    }
    vcSMDGDPolyVertex v = p.vertex(i);
    v.point(pi - prev * 0.5 - next * 0.5);
    v.segmentAngleSpan(vcDegree(0.0));
    vs.push_back(v);
    horizontal = !horizontal;
  }
  vcSMDGDPoly q = vf_SMDPolyLike(poly);
  q.vertices(vs);
  if (wasClosed) closeRectilinear(q);
  poly = turn.inverse() * q;
}

void P::replaceVertexRectilinear(vcSMDGDPoly& poly, long i, const vcSMDGDPolyVertex& v) {
  const long n = poly.numVertices();
  if (i < 0 || i >= n) throw vcSMDGDPoly::invalidIndex();
  if (!isRectilinear(poly)) throw vcSMDGDPoly::invalidVertices();
  std::vector<vcSMDGDPolyVertex> vs = poly.vertices();
  const V old = vs[static_cast<std::size_t>(i)].point(), to = v.point();
  vs[static_cast<std::size_t>(i)] = v;
  for (long k : {i - 1, i + 1}) {
    if (poly.isOpen() && (k < 0 || k >= n)) continue;
    vcSMDGDPolyVertex& w = vs[static_cast<std::size_t>((k + n) % n)];
    if (&w == &vs[static_cast<std::size_t>(i)]) continue;
    const V d = w.point() - old;
    w.point(std::abs(d.x()) >= std::abs(d.y()) ? V(w.point().x(), to.y()) : V(to.x(), w.point().y()));
  }
  vcSMDGDPoly p = poly;
  p.vertices(vs);
  poly = p;
}
