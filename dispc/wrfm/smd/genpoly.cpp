// vcGenPoly: construction from core shapes, vertex and segment access, and
// editing, and the archive form. The geometric queries live in
// genpoly_shape.cpp.
#include <vc/wrfm/genpoly.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/circle.h>
#include <vc/core/ellipse.h>
#include <vc/core/exception.h>
#include <vc/core/genrect.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>

namespace {

using P = vcSMDGDPolyPrivate;

vcSMDGDPolyVertex newVertex(const vcVector<2>& p, double rounding, const vcRadian& span) {
  return vcSMDGDPolyVertex(p, rounding, vcDegree(span), 0.5, 0.5, -1, vcDimTol(-1, -1, -1, vcDimTol::eLimits));
}

// An open poly of two vertices on the unit circle at parametric angles
// start and start + span, joined by an arc of that span.
vcSMDGDPoly unitArc(const vcRadian& start, const vcRadian& span) {
  const double a = start.toDouble(), b = a + span.toDouble();
  vcSMDGDPoly p;
  p << newVertex(vcVector<2>(std::cos(a), std::sin(a)), 0.0, vcRadian(0.0));
  p << newVertex(vcVector<2>(std::cos(b), std::sin(b)), 0.0, span);
  return p;
}

vcSMDGDPoly closedChain(const std::vector<vcVector<2>>& pts) {
  vcSMDGDPoly p;
  std::vector<vcSMDGDPolyVertex> v;
  v.reserve(pts.size());
  for (const vcVector<2>& q : pts) v.push_back(newVertex(q, 0.0, vcRadian(0.0)));
  p.vertices(v);
  p.close();
  return p;
}

}  // namespace

template class vcShapeBase<vcGenPoly>;

vcGenPoly::vcGenPoly() : poly_(std::make_unique<vcSMDGDPoly>("poly")) {}

vcGenPoly::vcGenPoly(const vcCircle& c) : vcGenPoly() {
  smd_([&] { *poly_ = vcSMDGDPoly::circle(c.radius(), c.center()); });
}

vcGenPoly::vcGenPoly(const vcEllipse& e) : vcGenPoly() {
  smd_([&] { *poly_ = vcSMDGDPoly::circle(1.0, vcVector<2>()); });
  xform_ = e.unit();
}

vcGenPoly::vcGenPoly(const vcEllipse2& e) : vcGenPoly() {
  smd_([&] { *poly_ = vcSMDGDPoly::circle(1.0, vcVector<2>()); });
  xform_ = e.ellFromUnitCirc();
}

vcGenPoly::vcGenPoly(const vcEllipseArc& a) : vcGenPoly() {
  smd_([&] { *poly_ = unitArc(a.start(), a.span()); });
  xform_ = a.ellipse().unit();
}

vcGenPoly::vcGenPoly(const vcEllipseArc2& a) : vcGenPoly() {
  smd_([&] { *poly_ = unitArc(a.start(), a.span()); });
  xform_ = a.ellFromUnitCirc();
}

vcGenPoly::vcGenPoly(const vcEllipseAnnulusSection& s) : vcGenPoly() {
  const vcXform<2> outer = s.outerEllipse().unit();
  if (outer.matrix().isSingular() || s.innerEllipse().isDegenerate())
    throw vcShapesError::BadGeom("vcGenPoly: the annulus section is degenerate");
  // The inner ellipse's unit-circle map seen from the outer unit frame must
  // be a rotation and scaling: then its image is a circle and equal
  // parametric steps are equal angles on it.
  const vcXform<2> inner = outer.inverse() * s.innerEllipse().unit();
  const vcMatrix<2>& m = inner.matrix();
  const double p = m.element(0, 0), q = m.element(1, 0);
  const double size = std::hypot(p, q);
  if (std::fabs(m.element(1, 1) - p) > 1e-9 * size || std::fabs(m.element(0, 1) + q) > 1e-9 * size)
    throw vcShapesError::BadGeom("vcGenPoly: the inner ellipse of the annulus section is not a circle in the outer "
                                 "ellipse's frame");
  const double a = s.start().toDouble(), b = a + s.span().toDouble();
  const vcVector<2> ua(std::cos(a), std::sin(a)), ub(std::cos(b), std::sin(b));
  smd_([&] {
    vcSMDGDPoly poly;
    poly << newVertex(ua, 0.0, vcRadian(0.0));
    poly << newVertex(ub, 0.0, s.span());
    poly << newVertex(inner * ub, 0.0, vcRadian(0.0));
    poly << newVertex(inner * ua, 0.0, -s.span());
    poly.close();
    *poly_ = poly;
  });
  xform_ = outer;
}

vcGenPoly::vcGenPoly(const vcRect& r) : vcGenPoly() {
  const double x = r.origin().x(), y = r.origin().y(), w = r.size().x(), h = r.size().y();
  smd_([&] {
    *poly_ = closedChain({vcVector<2>(x + w, y), vcVector<2>(x + w, y + h), vcVector<2>(x, y + h), vcVector<2>(x, y)});
  });
}

vcGenPoly::vcGenPoly(const vcGenRect& r) : vcGenPoly() {
  smd_([&] {
    vcSMDGDPoly p = vcSMDGDPoly::rectangle(2.0, 2.0, vcVector<2>());
    const double round = std::min({r.rounding().x(), r.rounding().y(), 1.0 - 1e-9});
    for (int v = 0; round > 0.0 && v < p.numVertices(); ++v) {
      vcSMDGDPolyVertex x = p.vertex(v);
      x.vertexRadius(round);
      p.replaceVertex(v, x);
    }
    *poly_ = p;
  });
  xform_ = vcXform<2>(r.matrix(), r.center());
}

vcGenPoly::vcGenPoly(const vcPolygon& p) : vcGenPoly() {
  smd_([&] { *poly_ = closedChain(p.vertices()); });
}

vcGenPoly::vcGenPoly(const vcLineSeg& s) : vcGenPoly() {
  smd_([&] {
    *poly_ << newVertex(s.p1(), 0.0, vcRadian(0.0));
    *poly_ << newVertex(s.p2(), 0.0, vcRadian(0.0));
  });
}

vcGenPoly::vcGenPoly(const vcSMDGDPoly& poly, const vcXform<2>& xform, bool isMutable)
    : poly_(std::make_unique<vcSMDGDPoly>(poly)), mutable_(isMutable), xform_(xform) {
  if (xform.matrix().isSingular()) throw vcShapesError::BadGeom("vcGenPoly: the transform is singular");
}

vcGenPoly::vcGenPoly(const vcGenPoly& o)
    : vcPersistent(), vcShapeBase<vcGenPoly>(o), poly_(std::make_unique<vcSMDGDPoly>(*o.poly_)),
      mutable_(o.mutable_), xform_(o.xform_) {}

vcGenPoly& vcGenPoly::operator=(const vcGenPoly& o) {
  if (this != &o) {
    auto p = std::make_unique<vcSMDGDPoly>(*o.poly_);
    notifyMutation_();
    poly_ = std::move(p);
    mutable_ = o.mutable_;
    xform_ = o.xform_;
  }
  return *this;
}

vcGenPoly::~vcGenPoly() = default;

std::vector<vcGenPoly> vcGenPoly::convert(const vcAnnulus& a) {
  return {vcGenPoly(a.innerCircle()), vcGenPoly(a.outerCircle())};
}
std::vector<vcGenPoly> vcGenPoly::convert(const vcGenAnnulus& a) { return {vcGenPoly(a.inner()), vcGenPoly(a.outer())}; }
std::vector<vcGenPoly> vcGenPoly::convert(const vcEllipseAnnulus& a) {
  return {vcGenPoly(a.inner()), vcGenPoly(a.outer())};
}

// ---- error translation and index checks ---------------------------------

void vcGenPoly::remapAndThrowError_(const vcException& e) const {
  const std::string why = std::string("vcGenPoly: ") + e.what();
  if (dynamic_cast<const vcSMDGDPoly::invalidRounding*>(&e)) throw vcShapesError::BadRadius(why);
  if (dynamic_cast<const vcSMDGDPoly::invalidIndex*>(&e)) throw vcShapesError::BadCoef(why);
  if (dynamic_cast<const vcSMDGDPoly::invalidVertices*>(&e) || dynamic_cast<const vcSMDGDPoly::crossingSegments*>(&e) ||
      dynamic_cast<const vcSMDGDPoly::notClosed*>(&e) ||
      dynamic_cast<const vcSMDGDPolyVertex::invalidSegmentLength*>(&e) ||
      dynamic_cast<const vcShapesError::DegenerateShape*>(&e))
    throw vcShapesError::BadGeom(why);
  throw;
}

void vcGenPoly::requireMutable_(const char* what) const {
  if (!mutable_) throw vcShapesError::BadGeom(std::string("vcGenPoly::") + what + ": the poly is not mutable");
}

int vcGenPoly::smdSegment_(long i) const {
  if (i < 0 || i >= numSegments())
    throw vcShapesError::BadCoef("vcGenPoly: segment " + std::to_string(i) + " does not exist (" +
                                 std::to_string(numSegments()) + " segments)");
  return static_cast<int>((i + 1) % numVertices());
}

int vcGenPoly::vertexIndex_(long i) const {
  if (i < 0 || i >= numVertices())
    throw vcShapesError::BadCoef("vcGenPoly: vertex " + std::to_string(i) + " does not exist (" +
                                 std::to_string(numVertices()) + " vertices)");
  return static_cast<int>(i);
}

double vcGenPoly::invScale_() const { return 1.0 / std::sqrt(std::fabs(xform_.matrix().determinant())); }

// ---- vertices and segments ------------------------------------------------

vcVector<2> vcGenPoly::vertexPoint(long i) const { return xform_ * poly_->vertex(vertexIndex_(i)).point(); }

double vcGenPoly::vertexRoundingSize(long i) const {
  const int v = vertexIndex_(i);
  const double r = poly_->vertex(v).vertexRadius();
  if (!poly_->vertex(v).hasRounding()) return 0.0;
  if (isOpen() && (v == 0 || v == numVertices() - 1)) return 0.0;
  const double radius = smd_([&] { return P::roundedArcVertex_(*poly_, v).localRadius(); }) / invScale_();
  return r < 0 ? -radius : radius;
}

long vcGenPoly::previousVertexIndex(long i) const {
  vertexIndex_(i);
  if (i > 0) return i - 1;
  return isOpen() ? -1 : numVertices() - 1;
}

long vcGenPoly::nextVertexIndex(long i) const {
  vertexIndex_(i);
  if (i + 1 < numVertices()) return i + 1;
  return isOpen() ? -1 : 0;
}

long vcGenPoly::previousSegmentIndex(long i) const { return numSegments() == 0 ? -1 : previousVertexIndex(i); }

long vcGenPoly::nextSegmentIndex(long i) const {
  vertexIndex_(i);
  if (numSegments() == 0) return -1;
  return nextVertexIndex(i) == -1 ? -1 : i;
}

bool vcGenPoly::isLineSegment(long i) const {
  return poly_->vertex(smdSegment_(i)).endsStraightSegment();
}

vcRadian vcGenPoly::segmentAngleSpan(long i) const { return vcRadian(poly_->vertex(smdSegment_(i)).segmentAngleSpan()); }

vcLineSeg vcGenPoly::lineSegment(long i, bool full) const {
  if (!isLineSegment(i))
    throw vcShapesError::BadGeom("vcGenPoly::lineSegment: segment " + std::to_string(i) + " is an arc");
  const int s = smdSegment_(i);
  const vc2SegmentLine l = smd_([&] { return full ? P::lineSegment_(*poly_, s) : P::roundedLineSegment_(*poly_, s); });
  return vcLineSeg(xform_ * l.p1(), xform_ * l.p2());
}

vcEllipseArc vcGenPoly::arcSegment(long i, bool full) const { return vcEllipseArc(ellipseSegment(i, full)); }

vcEllipseArc2 vcGenPoly::ellipseSegment(long i, bool full) const {
  if (isLineSegment(i))
    throw vcShapesError::BadGeom("vcGenPoly::arcSegment: segment " + std::to_string(i) + " is a line");
  const int s = smdSegment_(i);
  return smd_([&] {
    const vc2SegmentArc a = full ? P::arcSegment_(*poly_, s) : P::roundedArcSegment_(*poly_, s);
    return (xform_ * a).ellipseArc2();
  });
}

vcEllipseArc vcGenPoly::roundedVertex(long i) const { return vcEllipseArc(roundedVertexArc(i)); }

vcEllipseArc2 vcGenPoly::roundedVertexArc(long i) const {
  const int v = vertexIndex_(i);
  return smd_([&] { return (xform_ * P::roundedArcVertex_(*poly_, v)).ellipseArc2(); });
}

// ---- editing -----------------------------------------------------------------

void vcGenPoly::insertVertex(long i, const vcVector<2>& p, double roundingSize, const vcRadian& span) {
  requireMutable_("insertVertex");
  if (i < -1 || i > numVertices() - 1)
    throw vcShapesError::BadCoef("vcGenPoly::insertVertex: index " + std::to_string(i) + " is outside [-1, " +
                                 std::to_string(numVertices() - 1) + "]");
  editPoly_([&](vcSMDGDPoly& q) { q.insertVertex(static_cast<int>(i), newVertex(p, roundingSize, span)); });
}

void vcGenPoly::insertVertex(const vcVector<2>& p, double roundingSize, const vcRadian& span) {
  insertVertex(numVertices() - 1, p, roundingSize, span);
}

void vcGenPoly::replaceVertex(long i, const vcVector<2>& p, double roundingSize, const vcRadian& span) {
  requireMutable_("replaceVertex");
  const int v = vertexIndex_(i);
  editPoly_([&](vcSMDGDPoly& q) { q.replaceVertex(v, newVertex(p, roundingSize, span)); });
}

void vcGenPoly::replaceVertex(long i, const vcVector<2>& p, double roundingSize) {
  requireMutable_("replaceVertex");
  const int v = vertexIndex_(i);
  editPoly_([&](vcSMDGDPoly& q) {
    vcSMDGDPolyVertex x = q.vertex(v);
    x.point(p);
    x.vertexRadius(roundingSize);
    q.replaceVertex(v, x);
  });
}

void vcGenPoly::deleteVertex(long i) {
  requireMutable_("deleteVertex");
  const int v = vertexIndex_(i);
  editPoly_([&](vcSMDGDPoly& q) { q.deleteVertex(v); });
}

void vcGenPoly::vertexPoint(long i, const vcVector<2>& p) {
  requireMutable_("vertexPoint");
  const vcVector<2> local = smd_([&] { return xform_.invMapPoint(p); });
  replaceVertex(i, local, vertexRoundingSize(i) * invScale_());
}

void vcGenPoly::vertexRoundingSize(long i, double r) {
  requireMutable_("vertexRoundingSize");
  replaceVertex(i, poly_->vertex(vertexIndex_(i)).point(), r * invScale_());
}

void vcGenPoly::vertexRoundingSizes(double r) {
  requireMutable_("vertexRoundingSizes");
  const double local = r * invScale_();
  editPoly_([&](vcSMDGDPoly& q) {
    for (int v = 0; v < q.numVertices(); ++v) {
      vcSMDGDPolyVertex x = q.vertex(v);
      x.vertexRadius(local);
      q.replaceVertex(v, x);
    }
  });
}

void vcGenPoly::segmentAngleSpan(long i, const vcRadian& span) {
  requireMutable_("segmentAngleSpan");
  const int s = smdSegment_(i);
  editPoly_([&](vcSMDGDPoly& q) {
    vcSMDGDPolyVertex x = q.vertex(s);
    x.segmentAngleSpan(vcDegree(span));
    q.replaceVertex(s, x);
  });
}

void vcGenPoly::open() {
  requireMutable_("open");
  editPoly_([](vcSMDGDPoly& q) { q.open(); });
}

void vcGenPoly::close(const vcRadian& span) {
  requireMutable_("close");
  editPoly_([&](vcSMDGDPoly& q) {
    if (q.numVertices() > 0) {
      vcSMDGDPolyVertex x = q.vertex(0);
      x.segmentAngleSpan(vcDegree(span));
      q.replaceVertex(0, x);
    }
    q.close();
  });
}

// The archive form of vcGenPoly. Stored bytes are untrusted: the poly, the
// transform and the flag are read into temporaries and replace the shape's
// only when all three are sound.
void vcGenPoly::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcGenPoly))) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/wrfm/genpoly", 751);
  vcShape::dispatchSerialize(ar);
  serializeCommon(ar);
  setVisited(this, sizeof(vcGenPoly));
}

void vcGenPoly::serializeCommon(vcArchive& ar) {
  if (ar.isStoring()) {
    ar || *poly_ || xform_ || mutable_;
    return;
  }
  auto p = std::make_unique<vcSMDGDPoly>("poly");
  vcXform<2> x;
  bool m = true;
  ar || *p || x || m;
  if (x.matrix().isSingular()) vcArchive::fail("vcGenPoly: stored transform is singular");
  notifyMutation_();
  poly_ = std::move(p);
  xform_ = x;
  mutable_ = m;
}

void vcGenPoly::loadSimple(vcArchive& ar) {
  if (ar.isLoading())
    serializeCommon(ar);
  else
    dispatchSerialize(ar);
}
