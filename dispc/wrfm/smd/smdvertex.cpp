// SMD poly vertices: checked fractions, comparison, mapping and archive form;
// the translation between tolerances and dimensions.
#include <cmath>

#include <vc/core/archive.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/smdvertex.h>

#include "dimtol_map.h"

namespace {

constexpr unsigned char kVertexVersion = 2;

void checkFraction(double f) {
  if (!(f >= 0.01 && f <= 1.0)) throw vcSMDGDPolyVertex::invalidSegmentLength();
}

bool near(double a, double b, double eps) { return std::abs(a - b) <= eps; }

}  // namespace

const vc_Instantiator vcSMDGDPolyVertex::sExemplar(typeid(vcSMDGDPolyVertex), &vcSMDGDPolyVertex::make);

vcPersistent* vcSMDGDPolyVertex::make() { return new vcSMDGDPolyVertex; }

vcSMDGDPolyVertex::vcSMDGDPolyVertex(const vcVector<2>& point, double percentPrev, double percentNext, long label)
    : vcSMDGDPolyVertex(point, 0.0, percentPrev, percentNext, label) {}

vcSMDGDPolyVertex::vcSMDGDPolyVertex(const vcVector<2>& point, double radius, double percentPrev, double percentNext,
                                     long label)
    : point_(point), radius_(radius), label_(label) {
  percentPrevSegment(percentPrev);
  percentNextSegment(percentNext);
  tol_.offsets(-1, -1, -1);
}

vcSMDGDPolyVertex::vcSMDGDPolyVertex(const vcVector<2>& point, double radius, const vcDegree& span, double percentPrev,
                                     double percentNext, long label, const vcDimTol& tolerance)
    : point_(point), radius_(radius), span_(span), label_(label), tol_(tolerance) {
  percentPrevSegment(percentPrev);
  percentNextSegment(percentNext);
}

void vcSMDGDPolyVertex::point(const vcVector<2>& p) {
  notifyMutation_();
  point_ = p;
}
void vcSMDGDPolyVertex::vertexRadius(double r) {
  notifyMutation_();
  radius_ = r;
}
void vcSMDGDPolyVertex::segmentAngleSpan(const vcDegree& span) {
  notifyMutation_();
  span_ = span;
}
void vcSMDGDPolyVertex::percentPrevSegment(double f) {
  checkFraction(f);
  notifyMutation_();
  prev_ = f;
}
void vcSMDGDPolyVertex::percentNextSegment(double f) {
  checkFraction(f);
  notifyMutation_();
  next_ = f;
}
void vcSMDGDPolyVertex::subModelLabel(long label) {
  notifyMutation_();
  label_ = label;
}
void vcSMDGDPolyVertex::segmentLengthTol(const vcDimTol& t) {
  notifyMutation_();
  tol_ = t;
}
void vcSMDGDPolyVertex::forwardExtension(double f) {
  notifyMutation_();
  fwd_ = f;
}
void vcSMDGDPolyVertex::backwardExtension(double f) {
  notifyMutation_();
  bwd_ = f;
}

bool vfRealEq(const vcSMDGDPolyVertex& a, const vcSMDGDPolyVertex& b, double eps) {
  const vcRadian sa(a.span_), sb(b.span_);
  return near(a.point_.x(), b.point_.x(), eps) && near(a.point_.y(), b.point_.y(), eps) &&
         near(a.radius_, b.radius_, eps) && near(sin(sa), sin(sb), eps) && near(cos(sa), cos(sb), eps) &&
         near(a.prev_, b.prev_, eps) && near(a.next_, b.next_, eps) && near(a.fwd_, b.fwd_, eps) &&
         near(a.bwd_, b.bwd_, eps) && a.label_ == b.label_ && a.tol_ == b.tol_;
}

bool vcSMDGDPolyVertex::operator==(const vcSMDGDPolyVertex& o) const { return vfRealEq(*this, o, 1e-11); }

vcSMDGDPolyVertex operator*(double s, const vcSMDGDPolyVertex& v) {
  vcSMDGDPolyVertex r = v;
  r.point(v.point() * s);
  r.vertexRadius(v.vertexRadius() * s);
  r.segmentLengthTol(s * v.segmentLengthTol());
  return r;
}

vcSMDGDPolyVertex operator*(const vc2Rigid& r, const vcSMDGDPolyVertex& v) {
  vcSMDGDPolyVertex m = v;
  m.point(r.mapPoint(v.point()));
  return m;
}

void vcSMDGDPolyVertex::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcSMDGDPolyVertex))) return;
  exchange_(ar);
  setVisited(this, sizeof(vcSMDGDPolyVertex));
}

void vcSMDGDPolyVertex::exchange_(vcArchive& ar) {
  unsigned char version = kVertexVersion;
  ar || version;
  serialize_(ar, version);
}

void vcSMDGDPolyVertex::serialize_(vcArchive& ar, unsigned char version) {
  if (version > kVertexVersion) throw vcArchive::UnknownVersion(nullptr, 0);
  // Read into a copy, so that a failed load leaves this vertex as it was.
  vcSMDGDPolyVertex v = *this;
  v.exchangeDescription_(ar);
  double x = point_.x(), y = point_.y(), span = span_.toDouble();
  ar || x || y || v.radius_ || span || v.prev_ || v.next_ || v.label_;
  if (version == 2) {
    ar || v.tol_;
  } else if (ar.isLoading() && version == 1) {
    double minOff = 0, maxOff = 0;
    vcDimTol::TolType unused{};
    ar || minOff || maxOff || unused;
    try {
      v.tol_.offsets(minOff, maxOff);
    } catch (const vcException& e) {
      vcArchive::fail(std::string("vcSMDGDPolyVertex: stored offsets are invalid: ") + e.what());
    }
  } else if (ar.isLoading()) {
    v.tol_ = vcDimTol();
  }
  if (ar.isLoading()) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(v.radius_) || !std::isfinite(span))
      vcArchive::fail("vcSMDGDPolyVertex: stored value is not finite");
    if (!(v.prev_ >= 0.01 && v.prev_ <= 1.0) || !(v.next_ >= 0.01 && v.next_ <= 1.0))
      vcArchive::fail("vcSMDGDPolyVertex: stored segment fraction outside [0.01, 1]");
    v.point_ = vcVector<2>(x, y);
    v.span_ = vcDegree(span);
    notifyMutation_();
    *this = v;
  }
}

// The SMD poly helpers that translate between tolerances and dimensions.
vcSMDDimension::ScaleType vcSMDGDPolyPrivate::scaleType(vcDimTol::TolType t) { return vc_ScaleTypeOf(t); }

vcDimTol::TolType vcSMDGDPolyPrivate::tolType(vcSMDDimension::ScaleType s) { return vc_TolTypeOf(s); }

vcDimTol vcSMDGDPolyPrivate::dimTol(const vcSMDDimension& d) {
  vcDimTol t(d.nomDim(), d.minDim(), d.maxDim(), vcDimTol::eLimits);
  t.tolType(tolType(d.scaleType()));
  return t;
}
