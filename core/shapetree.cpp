// Shape containers: mapped shapes, groups, contour trees and region trees.
#include <vc/core/shapetree.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/lineseg.h>
#include <vc/core/rect.h>

namespace {

using Polyline = std::vector<vcVector<2>>;
constexpr double kInf = std::numeric_limits<double>::infinity();

double segDist(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p) {
  const vcVector<2> d = b - a;
  const double l2 = d.len2();
  const double t = l2 > 0.0 ? std::clamp(d.dot(p - a) / l2, 0.0, 1.0) : 0.0;
  return (a + d * t).distance(p);
}

double polyDistance(const Polyline& pts, const vcVector<2>& p) {
  if (pts.size() == 1) return pts[0].distance(p);
  double best = kInf;
  for (std::size_t i = 1; i < pts.size(); ++i) best = std::min(best, segDist(pts[i - 1], pts[i], p));
  return best;
}

double polyLength(const Polyline& pts) {
  double s = 0.0;
  for (std::size_t i = 1; i < pts.size(); ++i) s += pts[i - 1].distance(pts[i]);
  return s;
}

// Even-odd rule over the closed polygon of pts.
bool insidePolygon(const Polyline& pts, const vcVector<2>& p) {
  bool in = false;
  for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    const vcVector<2>& a = pts[i];
    const vcVector<2>& b = pts[j];
    if ((a.y() > p.y()) != (b.y() > p.y()) && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
      in = !in;
  }
  return in;
}

double polygonArea(const Polyline& pts) {
  double s = 0.0;
  for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) s += pts[j].cross(pts[i]);
  return std::fabs(0.5 * s);
}

vcRect polyBox(const Polyline& pts) {
  vcRect r;
  for (const vcVector<2>& q : pts) r.enclose(q);
  return r;
}

double diagonal(const vcRect& r) { return std::hypot(r.width(), r.height()); }

bool isCurve(const vcShape& s) { return s.isOpenContour() || s.isClosedContour() || s.isRegion(); }

// Samples a closed contour finely enough that its polygon separates p from
// the contour as the contour itself does.
Polyline separatingPolygon(const vcShape& contour, double distance) {
  const double size = diagonal(contour.boundingBox());
  vcShape::vcSampleParams params(std::max(0.5 * distance, 1e-9 * size));
  Polyline pts;
  contour.sample(params, pts);
  return pts;
}

// True when p is inside (or on) a region or closed contour.
bool insideBoundary(const vcShape& b, const vcVector<2>& p) {
  if (b.isRegion()) return b.within(p);
  const double d = b.distanceToPoint(p);
  if (d == 0.0) return true;
  return insidePolygon(separatingPolygon(b, d), p);
}

double boundaryArea(const vcShape& b) {
  if (b.isRegion()) return b.area();
  const double size = diagonal(b.boundingBox());
  Polyline pts;
  b.sample(vcShape::vcSampleParams(1e-7 * size), pts);
  return polygonArea(pts);
}

// The largest singular value of m.
double stretchOf(const vcMatrix<2>& m) {
  const double a = m.element(0, 0), b = m.element(0, 1), c = m.element(1, 0), d = m.element(1, 1);
  const double s = a * a + b * b + c * c + d * d, det = a * d - b * c;
  return std::sqrt(0.5 * (s + std::sqrt(std::max(0.0, s * s - 4.0 * det * det))));
}

// The transform `second` applied after `first`.
class ChainXform : public vc2XformBase {
public:
  ChainXform(const vcXformHandle_const& first, const vcXformHandle_const& second) : first_(first), second_(second) {}
  vcVector<2> mapPoint(const vcVector<2>& p) const override { return second_->mapPoint(first_->mapPoint(p)); }
  vcXform<2> linearXform(const vcVector<2>& at) const override {
    return second_->linearXform(first_->mapPoint(at)) * first_->linearXform(at);
  }
  bool isLinear() const override { return false; }
  vcPtrHandle_const<vc2XformBase> inverseBase() const override {
    return vcPtrHandle_const<vc2XformBase>(new ChainXform(second_->inverseBase(), first_->inverseBase()));
  }
  vcPtrHandle<vc2XformBase> clone() const override { return vcPtrHandle<vc2XformBase>(new ChainXform(*this)); }

private:
  vcXformHandle_const first_, second_;
};

const vc2XformLinear* asLinear(const vcXformHandle_const& x) { return dynamic_cast<const vc2XformLinear*>(x.ptr()); }

bool sameXform(const vcXformHandle_const& a, const vcXformHandle_const& b) {
  if (a.ptr() == b.ptr()) return true;
  const vc2XformLinear* la = asLinear(a);
  const vc2XformLinear* lb = asLinear(b);
  return la && lb && typeid(*la) == typeid(*lb) && la->xform() == lb->xform();
}

bool sameShape(const vcShapeHandle_const& a, const vcShapeHandle_const& b) {
  if (!a || !b) return !a && !b;
  return a->isEqual(*b);
}

// True when s is target or holds it, directly or through nested containers.
bool holds(const vcShape& s, const vcShape* target) {
  if (&s == target) return true;
  if (const auto* m = dynamic_cast<const vcMappedShape*>(&s))
    return m->underlyingShape() && holds(*m->underlyingShape(), target);
  if (const auto* r = dynamic_cast<const vcRegionTree*>(&s))
    if (r->boundary() && holds(*r->boundary(), target)) return true;
  if (const auto* t = dynamic_cast<const vcShapeTree*>(&s))
    for (const vcShapeHandle_const& c : t->children())
      if (holds(*c, target)) return true;
  return false;
}

void beginArchive(vcArchive& ar, int line) {
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("core/shapetree", line);
}

}  // namespace

// ---- vcMappedShape -------------------------------------------------------------

// What a query works on: the image shape, or the mapped samples of a curve.
struct vcMappedShape::View {
  vcShapeHandle_const shape;
  Polyline poly;
};

const vc_Instantiator vcMappedShape::sExemplar(typeid(vcMappedShape), &vcMappedShape::make);
vcPersistent* vcMappedShape::make() { return new vcMappedShape; }

vcMappedShape::vcMappedShape(const vcShapeHandle_const& shape, const vcXformHandle_const& xform)
    : shape_(shape), xform_(xform) {}

vcMappedShape::vcMappedShape(const vcShapeHandle_const& shape, const vcXform<2>& xform)
    : shape_(shape), xform_(new vc2XformLinear(xform)) {}

void vcMappedShape::require_() const {
  if (!shape_) throw vcBadPointer("vcMappedShape: no underlying shape");
  if (!xform_) throw vcBadPointer("vcMappedShape: no transform");
}

vcMappedShape::View vcMappedShape::view_() const {
  require_();
  if (const vc2XformLinear* lin = asLinear(xform_)) return {shape_->mapShape(lin->xform()), {}};
  const auto* tree = dynamic_cast<const vcShapeTree*>(shape_.ptr());
  if (tree && !dynamic_cast<const vcContourTree*>(tree)) return {tree->mapMembers(xform_), {}};
  if (isCurve(*shape_)) {
    const vcRect box = shape_->boundingBox();
    const double size = diagonal(polyBox({xform_->mapPoint(box.origin()), xform_->mapPoint(box.corner()),
                                          xform_->mapPoint(vcVector<2>(box.x(), box.corner().y())),
                                          xform_->mapPoint(vcVector<2>(box.corner().x(), box.y()))}));
    vcSampleParams params(1e-4 * size);
    params.maxPoints(1L << 16);
    View v;
    sampleThrough_(params, v.poly);
    if (v.poly.empty()) throw vcShapesError::DegenerateShape("vcMappedShape: the underlying shape has no points");
    return v;
  }
  const vcVector<2> at = shape_->isFinite() ? shape_->boundingBox().center() : vcVector<2>();
  return {shape_->mapShape(xform_->linearXform(at)), {}};
}

vcMappedShape vcMappedShape::map(const vcXform<2>& x) const {
  if (!xform_) throw vcBadPointer("vcMappedShape::map: no transform");
  if (const vc2XformLinear* lin = asLinear(xform_)) return vcMappedShape(shape_, x * lin->xform());
  return vcMappedShape(shape_, vcXformHandle_const(new ChainXform(xform_, vcXformHandle_const(new vc2XformLinear(x)))));
}

vcShapeHandle vcMappedShape::clone() const { return vfShapeHandle(*this); }
vcShapeHandle vcMappedShape::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcMappedShape::boundingBox() const {
  const View v = view_();
  return v.shape ? v.shape->boundingBox() : polyBox(v.poly);
}

double vcMappedShape::distanceToPoint(const vcVector<2>& p) const {
  const View v = view_();
  if (v.shape) return v.shape->distanceToPoint(p);
  if (shape_->isRegion() && within(p)) return 0.0;
  return polyDistance(v.poly, p);
}

bool vcMappedShape::isEqual(const vcShape& other) const {
  if (typeid(other) != typeid(*this)) return false;
  const auto& o = static_cast<const vcMappedShape&>(other);
  return sameShape(shape_, o.shape_) && sameXform(xform_, o.xform_);
}

bool vcMappedShape::isOpenContour() const { return shape_ && shape_->isOpenContour(); }
bool vcMappedShape::isClosedContour() const { return shape_ && shape_->isClosedContour(); }
bool vcMappedShape::isRegion() const { return shape_ && shape_->isRegion(); }
bool vcMappedShape::isEmpty() const { return !shape_ || !xform_ || shape_->isEmpty(); }
bool vcMappedShape::isFinite() const { return !shape_ || shape_->isFinite(); }
bool vcMappedShape::hasTangent() const { return shape_ && shape_->hasTangent(); }

vcVector<2> vcMappedShape::startPoint() const {
  require_();
  return xform_->mapPoint(shape_->startPoint());
}

vcVector<2> vcMappedShape::endPoint() const {
  require_();
  return xform_->mapPoint(shape_->endPoint());
}

double vcMappedShape::perimeter() const {
  const View v = view_();
  return v.shape ? v.shape->perimeter() : polyLength(v.poly);
}

double vcMappedShape::area() const {
  require_();
  if (!shape_->isRegion()) throw vcShapesError::NotRegion("vcMappedShape: the underlying shape is not a region");
  const View v = view_();
  return v.shape ? v.shape->area() : polygonArea(v.poly);
}

bool vcMappedShape::within(const vcVector<2>& p) const {
  require_();
  if (!shape_->isRegion()) throw vcShapesError::NotRegion("vcMappedShape: the underlying shape is not a region");
  if (const vc2XformLinear* lin = asLinear(xform_)) return shape_->mapShape(lin->xform())->within(p);
  vcXformHandle_const inverse;
  try {
    inverse = xform_->inverseBase();
  } catch (const vcMathError&) {
    const View v = view_();
    return v.shape ? v.shape->within(p) : insidePolygon(v.poly, p) || polyDistance(v.poly, p) == 0.0;
  }
  return shape_->within(inverse->mapPoint(p));
}

vcVector<2> vcMappedShape::tangentAt(const vcVector<2>& p) const {
  const View v = view_();
  if (v.shape) return v.shape->tangentAt(p);
  double best = kInf;
  vcVector<2> dir;
  for (std::size_t i = 1; i < v.poly.size(); ++i) {
    const vcVector<2> d = v.poly[i] - v.poly[i - 1];
    if (d.len2() == 0.0) continue;
    const double dist = segDist(v.poly[i - 1], v.poly[i], p);
    if (dist < best) best = dist, dir = d;
  }
  if (!(best < kInf)) throw vcShapesError::NoTangent("vcMappedShape: the mapped shape has no tangent");
  return dir.unit();
}

void vcMappedShape::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  require_();
  const auto* tree = dynamic_cast<const vcShapeTree*>(shape_.ptr());
  if (asLinear(xform_) || (tree && !dynamic_cast<const vcContourTree*>(tree)) || !isCurve(*shape_)) {
    view_().shape->sample(params, result);
    return;
  }
  Polyline pts;
  sampleThrough_(params, pts);
  result.insert(result.end(), pts.begin(), pts.end());
}

void vcMappedShape::sampleThrough_(const vcSampleParams& params, std::vector<vcVector<2>>& out) const {
  const vcRect box = shape_->boundingBox();
  double stretch = 0.0;
  for (const vcVector<2>& at : {box.origin(), box.corner(), box.center(), vcVector<2>(box.x(), box.corner().y()),
                                vcVector<2>(box.corner().x(), box.y())})
    stretch = std::max(stretch, stretchOf(xform_->linearXform(at).matrix()));
  if (!(stretch > 0.0) || !std::isfinite(stretch)) stretch = 1.0;
  // Half the tolerance for the underlying curve, half for the bending of each chord.
  const double tol = params.tolerance();
  vcSampleParams local = params;
  local.tolerance(0.5 * tol / stretch);
  local.spacing(params.spacing() / stretch);
  for (int round = 0; round < 8; ++round) {
    out.clear();
    shape_->sample(local, out);
    if (!(tol > 0.0)) break;
    // The bend of a chord grows with the square of its length: shorten the worst ones enough.
    double need = kInf;
    for (std::size_t i = 1; i < out.size(); ++i) {
      const double len = out[i].distance(out[i - 1]);
      const vcVector<2> mid = xform_->mapPoint((out[i] + out[i - 1]) * 0.5);
      const double bend = mid.distance((xform_->mapPoint(out[i]) + xform_->mapPoint(out[i - 1])) * 0.5);
      if (bend > 0.5 * tol) need = std::min(need, 0.9 * len * std::sqrt(0.5 * tol / bend));
    }
    if (!(need < kInf)) break;
    local.spacing(local.spacing() > 0.0 ? std::min(local.spacing(), need) : need);
  }
  for (vcVector<2>& q : out) q = xform_->mapPoint(q);
}

std::vector<vcShapeHandle> vcMappedShape::decompose() const {
  require_();
  if (const vc2XformLinear* lin = asLinear(xform_)) return shape_->mapShape(lin->xform())->decompose();
  std::vector<vcShapeHandle> r;
  for (const vcShapeHandle& piece : shape_->decompose()) r.push_back(vfShapeHandle(vcMappedShape(piece, xform_)));
  return r;
}

vcShapeHandle vcMappedShape::reverse() const {
  require_();
  return vfShapeHandle(vcMappedShape(shape_->reverse(), xform_));
}

void vcMappedShape::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcMappedShape))) return;
  unsigned char kind = 0;
  vcXform<2> x;
  double angle = 0.0;
  vcVector<2> trans;
  if (ar.isStoring() && xform_) {
    if (const auto* rigid = dynamic_cast<const vc2Rigid*>(xform_.ptr())) {
      kind = 2;
      angle = rigid->angle().toDouble();
      trans = rigid->trans();
    } else if (const vc2XformLinear* lin = asLinear(xform_)) {
      kind = 1;
      x = lin->xform();
    } else {
      vcArchive::fail("vcMappedShape: a non-linear transform cannot be archived");
    }
  }
  beginArchive(ar, __LINE__);
  vcShape::dispatchSerialize(ar);
  vcShapeHandle_const shape = shape_;
  ar || shape || kind;
  if (kind == 1) ar || x;
  else if (kind == 2) ar || angle || trans;
  if (ar.isLoading()) {
    vcXformHandle_const xf;
    if (kind == 1) {
      xf = vcXformHandle_const(new vc2XformLinear(x));
    } else if (kind == 2) {
      if (!std::isfinite(angle) || !std::isfinite(trans.x()) || !std::isfinite(trans.y()))
        vcArchive::fail("vcMappedShape: stored rigid transform is not finite");
      xf = vcXformHandle_const(new vc2Rigid(vcRadian(angle), trans));
    } else if (kind != 0) {
      vcArchive::fail("vcMappedShape: stored transform kind " + std::to_string(kind) + " is not 0, 1 or 2");
    }
    shape_ = shape;
    xform_ = xf;
  }
  setVisited(this, sizeof(vcMappedShape));
}

// ---- vcShapeTree ------------------------------------------------------------------

const vc_Instantiator vcShapeTree::sExemplar(typeid(vcShapeTree), &vcShapeTree::make);
vcPersistent* vcShapeTree::make() { return new vcShapeTree; }

vcShapeTree::vcShapeTree(const std::vector<vcShapeHandle_const>& children) {
  for (const vcShapeHandle_const& c : children) addChild(c);
}

const vcShapeHandle_const& vcShapeTree::child(long i) const {
  if (i < 0 || i >= numChildren())
    throw vcBadArgument("vcShapeTree::child: index " + std::to_string(i) + " of " + std::to_string(children_.size()) +
                        " members");
  return children_[static_cast<std::size_t>(i)];
}

void vcShapeTree::checkChild_(const vcShape&) const {}

void vcShapeTree::addChild(const vcShapeHandle_const& c) {
  if (!c) throw vcBadPointer("vcShapeTree::addChild: empty shape handle");
  if (holds(*c, this)) throw vcBadArgument("vcShapeTree::addChild: the member contains this tree");
  checkChild_(*c);
  notifyMutation_();
  children_.push_back(c);
}

vcShapeTree vcShapeTree::map(const vcXform<2>& x) const {
  vcShapeTree r;
  for (const vcShapeHandle_const& c : children_) r.children_.push_back(c->mapShape(x));
  return r;
}

vcShapeHandle vcShapeTree::mapMembers(const vcXformHandle_const& xform) const {
  vcShapeTree r;
  for (const vcShapeHandle_const& c : children_) r.children_.push_back(vfShapeHandle(vcMappedShape(c, xform)));
  return vfShapeHandle(r);
}

vcShapeHandle vcShapeTree::clone() const { return vfShapeHandle(*this); }
vcShapeHandle vcShapeTree::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcShapeTree::boundingBox() const {
  vcRect r;
  bool any = false;
  for (const vcShapeHandle_const& c : children_) {
    if (c->isEmpty()) continue;
    r.enclose(c->boundingBox());
    any = true;
  }
  if (!any) throw vcShapesError::DegenerateShape(className() + ": no member has a bounding box");
  return r;
}

double vcShapeTree::distanceToPoint(const vcVector<2>& p) const {
  double best = kInf;
  bool any = false;
  for (const vcShapeHandle_const& c : children_) {
    if (c->isEmpty()) continue;
    best = std::min(best, c->distanceToPoint(p));
    any = true;
  }
  if (!any) throw vcShapesError::DegenerateShape(className() + ": no member to measure a distance to");
  return best;
}

bool vcShapeTree::sameChildren_(const vcShapeTree& o) const {
  if (children_.size() != o.children_.size()) return false;
  for (std::size_t i = 0; i < children_.size(); ++i)
    if (!children_[i]->isEqual(*o.children_[i])) return false;
  return true;
}

bool vcShapeTree::isEqual(const vcShape& other) const {
  return typeid(other) == typeid(*this) && sameChildren_(static_cast<const vcShapeTree&>(other));
}

bool vcShapeTree::isEmpty() const {
  return std::all_of(children_.begin(), children_.end(), [](const vcShapeHandle_const& c) { return c->isEmpty(); });
}

std::vector<vcShapeHandle> vcShapeTree::decompose() const {
  std::vector<vcShapeHandle> r;
  r.reserve(children_.size());
  for (const vcShapeHandle_const& c : children_) r.push_back(c->clone());
  return r;
}

void vcShapeTree::exchangeChildren_(vcArchive& ar, std::vector<vcShapeHandle_const>& children) const {
  vcExchangeCounted(ar, children, [&](vcShapeHandle_const& c) {
    ar || c;
    if (ar.isStoring()) return;
    if (!c) vcArchive::fail(className() + ": a stored member is null");
    try {
      checkChild_(*c);
    } catch (const vcShapesError::Errors& e) {
      vcArchive::fail(className() + ": a stored member is not accepted (" + e.string() + ")");
    }
  });
}

void vcShapeTree::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcShapeTree))) return;
  beginArchive(ar, __LINE__);
  vcShape::dispatchSerialize(ar);
  std::vector<vcShapeHandle_const> c = children_;
  exchangeChildren_(ar, c);
  if (ar.isLoading()) children_.swap(c);
  setVisited(this, sizeof(vcShapeTree));
}

// ---- vcContourTree ----------------------------------------------------------------

namespace {

// The straight segment implied after member `after` (a == b when there is none).
struct Gap {
  vcVector<2> a, b;
};

std::vector<Gap> gapsOf(const std::vector<vcShapeHandle_const>& c, bool closed) {
  std::vector<Gap> g;
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (i + 1 < c.size()) g.push_back({c[i]->endPoint(), c[i + 1]->startPoint()});
    else if (closed) g.push_back({c[i]->endPoint(), c[0]->startPoint()});
  }
  return g;
}

// Appends the points of the straight run from out.back() to b: the ones the
// spacing needs between, then b.
void appendRun(std::vector<vcVector<2>>& out, vcVector<2> b, const vcShape::vcSampleParams& params) {
  const vcVector<2> a = out.back();
  if (params.duplicateCorners()) out.push_back(a);
  const double len = a.distance(b);
  if (params.spacing() > 0.0 && len > params.spacing()) {
    const long k = static_cast<long>(std::min(std::ceil(len / params.spacing()), 1e7));
    for (long j = 1; j < k; ++j) out.push_back(a + (b - a) * (static_cast<double>(j) / static_cast<double>(k)));
  }
  out.push_back(b);
}

}  // namespace

const vc_Instantiator vcContourTree::sExemplar(typeid(vcContourTree), &vcContourTree::make);
vcPersistent* vcContourTree::make() { return new vcContourTree; }

vcContourTree::vcContourTree(const std::vector<vcShapeHandle_const>& children, bool closed) : closed_(closed) {
  for (const vcShapeHandle_const& c : children) addChild(c);
}

void vcContourTree::checkChild_(const vcShape& s) const {
  if (!s.isOpenContour())
    throw vcShapesError::NotOpenContour("vcContourTree: a " + s.className() + " is not an open contour");
  if (s.isEmpty()) throw vcShapesError::NotOpenContour("vcContourTree: an empty " + s.className() + " has no ends");
}

void vcContourTree::setClosed(bool closed) {
  notifyMutation_();
  closed_ = closed;
}

vcContourTree vcContourTree::map(const vcXform<2>& x) const {
  vcContourTree r(closed_);
  std::vector<vcShapeHandle_const> c;
  for (const vcShapeHandle_const& m : children()) c.push_back(m->mapShape(x));
  r.setChildren_(std::move(c));
  return r;
}

vcShapeHandle vcContourTree::mapMembers(const vcXformHandle_const& xform) const {
  vcContourTree r(closed_);
  std::vector<vcShapeHandle_const> c;
  for (const vcShapeHandle_const& m : children()) c.push_back(vfShapeHandle(vcMappedShape(m, xform)));
  r.setChildren_(std::move(c));
  return vfShapeHandle(r);
}

vcShapeHandle vcContourTree::clone() const { return vfShapeHandle(*this); }
vcShapeHandle vcContourTree::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

double vcContourTree::distanceToPoint(const vcVector<2>& p) const {
  if (children().empty()) throw vcShapesError::DegenerateShape("vcContourTree: an empty contour has no distance");
  double best = kInf;
  for (const vcShapeHandle_const& c : children()) best = std::min(best, c->distanceToPoint(p));
  for (const Gap& g : gapsOf(children(), closed_)) best = std::min(best, segDist(g.a, g.b, p));
  return best;
}

bool vcContourTree::isEqual(const vcShape& other) const {
  if (typeid(other) != typeid(*this)) return false;
  const auto& o = static_cast<const vcContourTree&>(other);
  return closed_ == o.closed_ && sameChildren_(o);
}

bool vcContourTree::hasTangent() const {
  for (const vcShapeHandle_const& c : children())
    if (c->hasTangent()) return true;
  for (const Gap& g : gapsOf(children(), closed_))
    if (!(g.a == g.b)) return true;
  return false;
}

vcVector<2> vcContourTree::startPoint() const {
  if (closed_) return vcShape::startPoint();
  if (children().empty()) throw vcShapesError::DegenerateShape("vcContourTree: an empty contour has no start point");
  return children().front()->startPoint();
}

vcVector<2> vcContourTree::endPoint() const {
  if (closed_) return vcShape::endPoint();
  if (children().empty()) throw vcShapesError::DegenerateShape("vcContourTree: an empty contour has no end point");
  return children().back()->endPoint();
}

double vcContourTree::perimeter() const {
  double s = 0.0;
  for (const vcShapeHandle_const& c : children()) s += c->perimeter();
  for (const Gap& g : gapsOf(children(), closed_)) s += g.a.distance(g.b);
  return s;
}

vcVector<2> vcContourTree::tangentAt(const vcVector<2>& p) const {
  double best = kInf;
  const vcShape* nearest = nullptr;
  vcVector<2> gapDir;
  for (const vcShapeHandle_const& c : children()) {
    if (!c->hasTangent()) continue;
    const double d = c->distanceToPoint(p);
    if (d < best) best = d, nearest = c.ptr();
  }
  for (const Gap& g : gapsOf(children(), closed_)) {
    if (g.a == g.b) continue;
    const double d = segDist(g.a, g.b, p);
    if (d < best) best = d, nearest = nullptr, gapDir = g.b - g.a;
  }
  if (!(best < kInf)) throw vcShapesError::NoTangent("vcContourTree: the contour has no tangent");
  return nearest ? nearest->tangentAt(p) : gapDir.unit();
}

void vcContourTree::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  const std::vector<vcShapeHandle_const>& c = children();
  if (c.empty()) return;
  const long n = static_cast<long>(c.size());
  vcSampleParams each = params;
  each.includeEnd(true);
  each.minPoints(std::max(2L, (params.minPoints() + 2 * n - 2) / n));
  std::vector<vcVector<2>> out, piece;
  for (const vcShapeHandle_const& m : c) {
    piece.clear();
    m->sample(each, piece);
    if (piece.empty()) continue;
    if (out.empty()) {
      out = piece;
      continue;
    }
    if (!(out.back() == piece.front())) appendRun(out, piece.front(), params);
    if (params.duplicateCorners()) out.push_back(piece.front());
    out.insert(out.end(), piece.begin() + 1, piece.end());
  }
  if (out.empty()) return;
  if (closed_ && !(out.back() == out.front())) appendRun(out, out.front(), params);
  // Too many or too few: the same polyline, resampled or with its chords split.
  const bool tooMany = params.maxPoints() > 1 && static_cast<long>(out.size()) > params.maxPoints();
  if (tooMany || static_cast<long>(out.size()) < params.minPoints()) {
    vcSampleParams even(0.0, 0.0, params.minPoints());
    even.maxPoints(params.maxPoints());
    std::vector<vcVector<2>> resampled;
    vfSamplePolyPath(out, false, even, resampled);
    out.swap(resampled);
  }
  if (!params.includeEnd()) out.pop_back();
  result.insert(result.end(), out.begin(), out.end());
}

std::vector<vcShapeHandle> vcContourTree::decompose() const {
  const std::vector<Gap> gaps = gapsOf(children(), closed_);
  std::vector<vcShapeHandle> r;
  for (std::size_t i = 0; i < children().size(); ++i) {
    r.push_back(children()[i]->clone());
    if (i < gaps.size() && !(gaps[i].a == gaps[i].b)) r.push_back(vfShapeHandle(vcLineSeg(gaps[i].a, gaps[i].b)));
  }
  return r;
}

vcShapeHandle vcContourTree::reverse() const {
  vcContourTree r(closed_);
  std::vector<vcShapeHandle_const> c;
  for (auto it = children().rbegin(); it != children().rend(); ++it) c.push_back((*it)->reverse());
  r.setChildren_(std::move(c));
  return vfShapeHandle(r);
}

void vcContourTree::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcContourTree))) return;
  beginArchive(ar, __LINE__);
  vcShape::dispatchSerialize(ar);
  std::vector<vcShapeHandle_const> c = children();
  bool closed = closed_;
  exchangeChildren_(ar, c);
  ar || closed;
  if (ar.isLoading()) {
    setChildren_(std::move(c));
    closed_ = closed;
  }
  setVisited(this, sizeof(vcContourTree));
}

// ---- vcRegionTree -----------------------------------------------------------------

const vc_Instantiator vcRegionTree::sExemplar(typeid(vcRegionTree), &vcRegionTree::make);
vcPersistent* vcRegionTree::make() { return new vcRegionTree; }

namespace {
void checkBoundary(const vcShapeHandle_const& b, bool hole, bool root) {
  if (hole && root) return;
  if (!b) throw vcBadPointer("vcRegionTree: a node other than a root hole needs a boundary");
  if (!b->isClosedContour() && !b->isRegion())
    throw vcShapesError::NotRegion("vcRegionTree: a " + b->className() + " boundary is neither a closed contour nor a region");
}
}  // namespace

vcRegionTree::vcRegionTree() = default;

vcRegionTree::vcRegionTree(const vcShapeHandle_const& boundary, bool isHole, bool isRoot)
    : boundary_(boundary), hole_(isHole), root_(isRoot) {
  checkBoundary(boundary_, hole_, root_);
}

void vcRegionTree::checkChild_(const vcShape& s) const {
  const auto* r = dynamic_cast<const vcRegionTree*>(&s);
  if (!r) throw vcShapesError::NotRegion("vcRegionTree: a " + s.className() + " member is not a vcRegionTree");
  if (r->isRoot()) throw vcShapesError::BadGeom("vcRegionTree: a root cannot be a member");
}

vcRegionTree vcRegionTree::map(const vcXform<2>& x) const {
  vcRegionTree r;
  r.hole_ = hole_;
  r.root_ = root_;
  if (boundary_) r.boundary_ = boundary_->mapShape(x);
  std::vector<vcShapeHandle_const> c;
  for (const vcShapeHandle_const& m : children()) c.push_back(m->mapShape(x));
  r.setChildren_(std::move(c));
  return r;
}

vcShapeHandle vcRegionTree::mapMembers(const vcXformHandle_const& xform) const {
  vcRegionTree r;
  r.hole_ = hole_;
  r.root_ = root_;
  if (boundary_) r.boundary_ = vfShapeHandle(vcMappedShape(boundary_, xform));
  std::vector<vcShapeHandle_const> c;
  for (const vcShapeHandle_const& m : children()) c.push_back(static_cast<const vcRegionTree&>(*m).mapMembers(xform));
  r.setChildren_(std::move(c));
  return vfShapeHandle(r);
}

vcShapeHandle vcRegionTree::clone() const { return vfShapeHandle(*this); }
vcShapeHandle vcRegionTree::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcRegionTree::boundingBox() const {
  if (!hole_) return boundary_->boundingBox();
  return vcShapeTree::boundingBox();
}

bool vcRegionTree::isEmpty() const { return hole_ && vcShapeTree::isEmpty(); }

int vcRegionTree::classify_(const vcVector<2>& p) const {
  if (hasBoundary_() && !insideBoundary(*boundary_, p)) return -1;
  for (const vcShapeHandle_const& c : children()) {
    const int r = static_cast<const vcRegionTree&>(*c).classify_(p);
    if (r >= 0) return r;
  }
  return hole_ ? 0 : 1;
}

bool vcRegionTree::onBoundary_(const vcVector<2>& p) const {
  if (hasBoundary_() && boundary_->distanceToPoint(p) == 0.0) return true;
  return std::any_of(children().begin(), children().end(), [&p](const vcShapeHandle_const& c) {
    return static_cast<const vcRegionTree&>(*c).onBoundary_(p);
  });
}

double vcRegionTree::boundaryDistance_(const vcVector<2>& p) const {
  double best = hasBoundary_() ? boundary_->distanceToPoint(p) : kInf;
  for (const vcShapeHandle_const& c : children())
    best = std::min(best, static_cast<const vcRegionTree&>(*c).boundaryDistance_(p));
  return best;
}

bool vcRegionTree::within(const vcVector<2>& p) const { return classify_(p) == 1 || onBoundary_(p); }

double vcRegionTree::distanceToPoint(const vcVector<2>& p) const {
  if (isEmpty()) throw vcShapesError::DegenerateShape("vcRegionTree: an empty region has no distance");
  return within(p) ? 0.0 : boundaryDistance_(p);
}

double vcRegionTree::material_() const {
  double a = hole_ ? 0.0 : boundaryArea(*boundary_);
  for (const vcShapeHandle_const& c : children()) {
    const auto& r = static_cast<const vcRegionTree&>(*c);
    a += hole_ ? r.material_() : r.material_() - boundaryArea(*r.boundary_);
  }
  return a;
}

double vcRegionTree::area() const { return material_(); }

double vcRegionTree::perimeter() const {
  double s = hasBoundary_() ? boundary_->perimeter() : 0.0;
  for (const vcShapeHandle_const& c : children()) s += c->perimeter();
  return s;
}

bool vcRegionTree::isEqual(const vcShape& other) const {
  if (typeid(other) != typeid(*this)) return false;
  const auto& o = static_cast<const vcRegionTree&>(other);
  return hole_ == o.hole_ && root_ == o.root_ && sameShape(boundary_, o.boundary_) && sameChildren_(o);
}

void vcRegionTree::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcRegionTree))) return;
  beginArchive(ar, __LINE__);
  vcShape::dispatchSerialize(ar);
  std::vector<vcShapeHandle_const> c = children();
  vcShapeHandle_const boundary = boundary_;
  bool hole = hole_, root = root_;
  exchangeChildren_(ar, c);
  ar || boundary || hole || root;
  if (ar.isLoading()) {
    try {
      checkBoundary(boundary, hole, root);
    } catch (const vcException& e) {
      vcArchive::fail(std::string("vcRegionTree: stored boundary is not usable (") + e.what() + ")");
    }
    setChildren_(std::move(c));
    boundary_ = boundary;
    hole_ = hole;
    root_ = root;
  }
  setVisited(this, sizeof(vcRegionTree));
}
