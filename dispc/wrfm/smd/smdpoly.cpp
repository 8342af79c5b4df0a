// SMD polys: construction, shape factories, index rules, editing with the
// strong guarantee, comparison and mapping.
#include <algorithm>
#include <cmath>

#include <vc/wrfm/smdpoly.h>

const vc_Instantiator vcSMDGDPoly::sExemplar(typeid(vcSMDGDPoly), &vcSMDGDPoly::make);

vcPersistent* vcSMDGDPoly::make() { return new vcSMDGDPoly; }

vcSMDGDPoly::vcSMDGDPoly(const std::string& name) : vcSMDGeometricDescription(name) {}

vcSMDGDPoly& vcSMDGDPoly::operator=(const vcSMDGDPoly& o) {
  if (this == &o) return *this;
  notifyMutation_();
  vcSMDGeometricDescription::operator=(o);
  vc_SMDPolyOutline::operator=(o);
  vc_SMDPolyLook::operator=(o);
  return *this;
}

// ---- shape factories ---------------------------------------------------------

namespace {

vcSMDGDPoly closedPoly(const std::vector<vcSMDGDPolyVertex>& vs) {
  vcSMDGDPoly p("poly");
  for (const auto& v : vs) p << v;
  p.close();
  return p;
}

}  // namespace

vcSMDGDPoly vcSMDGDPoly::rectangle(double length, double width, vcVector<2> c) {
  const double a = length / 2, b = width / 2;
  return closedPoly({vcSMDGDPolyVertex(c + vcVector<2>(a, b), 0.5, 0.5, 0),
                     vcSMDGDPolyVertex(c + vcVector<2>(-a, b), 0.5, 0.5, 1),
                     vcSMDGDPolyVertex(c + vcVector<2>(-a, -b), 0.5, 0.5, 2),
                     vcSMDGDPolyVertex(c + vcVector<2>(a, -b), 0.5, 0.5, 3)});
}

vcSMDGDPoly vcSMDGDPoly::triangle(double base, double height, vcVector<2> c) {
  const double a = base / 2, t = height / 3;
  return closedPoly({vcSMDGDPolyVertex(c + vcVector<2>(0, 2 * t), 0.5, 0.5, 0),
                     vcSMDGDPolyVertex(c + vcVector<2>(-a, -t), 0.5, 0.5, 1),
                     vcSMDGDPolyVertex(c + vcVector<2>(a, -t), 0.5, 0.5, 2)});
}

vcSMDGDPoly vcSMDGDPoly::circle(double radius, vcVector<2> c) {
  const vcDegree half(180.0);
  return closedPoly({vcSMDGDPolyVertex(c + vcVector<2>(-radius, 0), 0.0, half, 0.5, 0.5, 0, vcDimTol()),
                     vcSMDGDPolyVertex(c + vcVector<2>(radius, 0), 0.0, half, 0.5, 0.5, 0, vcDimTol())});
}

// ---- queries and index rules -------------------------------------------------

long vcSMDGDPoly::numSegments() const noexcept {
  const long n = numVertices();
  if (n < 2) return 0;
  return open_ ? n - 1 : n;
}

namespace {

// Vertex index i of n by the rules of vertexIndex_, worked in long so that an
// index beyond int's range is refused (or wrapped) rather than cut to 32 bits.
long vertexIndexOf(long i, long n, bool wrap) {
  if (n == 0) throw vcSMDGDPoly::invalidIndex();
  if (wrap) return ((i % n) + n) % n;
  if (i < 0 || i >= n) throw vcSMDGDPoly::invalidIndex();
  return i;
}

}  // namespace

const vcSMDGDPolyVertex& vcSMDGDPoly::vertex(long i, bool wrap) const {
  return v_[static_cast<std::size_t>(vertexIndexOf(i, numVertices(), wrap))];
}

int vcSMDGDPoly::vertexIndex_(int i, bool wrap) const {
  return static_cast<int>(vertexIndexOf(i, numVertices(), wrap));
}

int vcSMDGDPoly::segmentIndex_(int i, bool wrap) const {
  const int s = vertexIndex_(i, wrap);
  if (open_ && s == 0) throw invalidIndex();
  return s;
}

int vcSMDGDPoly::previousSegmentIndex_(int v) const {
  v = vertexIndex_(v, false);
  return open_ && v == 0 ? -1 : v;
}

int vcSMDGDPoly::nextSegmentIndex_(int v) const {
  v = vertexIndex_(v, false);
  if (open_ && v == lastVertexIndex_()) return -1;
  return vertexIndex_(v + 1, true);
}

void vcSMDGDPoly::getSegmentIndices_(int& prev, int& next, int v) const {
  prev = previousSegmentIndex_(v);
  next = nextSegmentIndex_(v);
}

int vcSMDGDPoly::previousVertexIndex_(int s) const { return vertexIndex_(segmentIndex_(s, false) - 1, true); }

int vcSMDGDPoly::nextVertexIndex_(int s) const { return segmentIndex_(s, false); }

void vcSMDGDPoly::getVertexIndices_(int& start, int& end, int s) const {
  start = previousVertexIndex_(s);
  end = nextVertexIndex_(s);
}

bool vcSMDGDPoly::isEndVertex(int v) const { return open_ && (v == 0 || v == lastVertexIndex_()); }

bool vcSMDGDPoly::vertexIsRounded_(int v) const {
  return vertex(v).hasRounding() && !isEndVertex(v);
}

bool vcSMDGDPoly::isLineSegment_(int s) const {
  return vertex(segmentIndex_(s, false)).endsStraightSegment();
}

double vcSMDGDPoly::vertexRadius_(int v) const { return std::abs(vertex(v).vertexRadius()); }

double vcSMDGDPoly::forwardPercExtension_(int s) const { return vertex(nextVertexIndex_(s)).forwardExtension(); }

void vcSMDGDPoly::forwardPercExtension_(int s, double e) {
  const int v = nextVertexIndex_(s);
  notifyMutation_();
  v_[static_cast<std::size_t>(v)].forwardExtension(e);
}

double vcSMDGDPoly::backwardPercExtension_(int s) const { return vertex(previousVertexIndex_(s)).backwardExtension(); }

void vcSMDGDPoly::backwardPercExtension_(int s, double e) {
  const int v = previousVertexIndex_(s);
  notifyMutation_();
  v_[static_cast<std::size_t>(v)].backwardExtension(e);
}

vcSMDDimension vcSMDGDPoly::segmentDimension(long s) const {
  const long checked = vertexIndexOf(s, numVertices(), false);
  const int seg = segmentIndex_(static_cast<int>(checked), false);
  const double length = segmentLength_(seg);
  try {
    vcDimTol t = vertex(seg).segmentLengthTol();
    t.nomDim(length);
    return vcSMDDimension(t);
  } catch (const vcException&) {
    throw vcSMDGDPolyVertex::invalidSegmentLength();
  }
}

// ---- labels --------------------------------------------------------------------

void vcSMDGDPoly::addLabel_(long label) {
  if (label != -1 && std::find(labels_.begin(), labels_.end(), label) == labels_.end()) labels_.push_back(label);
}

void vcSMDGDPoly::rebuildLabels_() {
  labels_.clear();
  for (const auto& v : v_) addLabel_(v.subModelLabel());
}

// ---- editing -------------------------------------------------------------------

template <class Edit>
void vcSMDGDPoly::edit_(Edit&& e) {
  const vcSMDGDPoly before(*this);
  notifyMutation_();
  try {
    e();
    check_(&before);
  } catch (...) {
    *this = before;
    throw;
  }
}

void vcSMDGDPoly::insertVertex(int after, const vcSMDGDPolyVertex& v) {
  if (after < -1 || after >= numVertices()) throw invalidIndex();
  edit_([&] {
    v_.insert(v_.begin() + static_cast<std::ptrdiff_t>(after + 1), v);
    addLabel_(v.subModelLabel());
  });
}

vcSMDGDPoly& vcSMDGDPoly::operator<<(const vcSMDGDPolyVertex& v) {
  insertVertex(static_cast<int>(numVertices()) - 1, v);
  return *this;
}

void vcSMDGDPoly::replaceVertex(int i, const vcSMDGDPolyVertex& v) {
  if (i < 0 || i >= numVertices()) throw invalidIndex();
  edit_([&] {
    v_[static_cast<std::size_t>(i)] = v;
    rebuildLabels_();
  });
}

void vcSMDGDPoly::deleteVertex(int i) {
  if (i < 0 || i >= numVertices()) throw invalidIndex();
  edit_([&] {
    v_.erase(v_.begin() + static_cast<std::ptrdiff_t>(i));
    rebuildLabels_();
  });
}

void vcSMDGDPoly::vertices(const std::vector<vcSMDGDPolyVertex>& list) {
  edit_([&] {
    v_ = list;
    rebuildLabels_();
  });
}

void vcSMDGDPoly::close() {
  if (v_.empty()) throw invalidVertices();
  edit_([&] { open_ = false; });
}

void vcSMDGDPoly::open() {
  // Restored to its closed state when the opened outline fails its checks.
  edit_([&] { open_ = true; });
}

void vcSMDGDPoly::toggleDirection() {
  notifyMutation_();
  reversed_ = !reversed_;
}

void vcSMDGDPoly::reset() { *this = vcSMDGDPoly("poly"); }

void vcSMDGDPoly::reInit() {
  notifyMutation_();
  vc_SMDPolyOutline::operator=(vc_SMDPolyOutline());
}

void vcSMDGDPoly::weight(double w) {
  notifyMutation_();
  weight_ = w;
}

void vcSMDGDPoly::colors(const vcSMDColors& c) {
  notifyMutation_();
  colors_ = c;
}

void vcSMDGDPoly::positiveArrowColor(const vcColor& c) {
  notifyMutation_();
  posColor_ = c;
}

void vcSMDGDPoly::negativeArrowColor(const vcColor& c) {
  notifyMutation_();
  negColor_ = c;
}

void vcSMDGDPoly::validateReplacement_(int v) {
  vertexIndex_(v, !open_);
  check_(nullptr);
}

void vcSMDGDPoly::validate_() { check_(nullptr); }

// ---- comparison and mapping ------------------------------------------------------

bool vfRealEq(const vcSMDGDPoly& a, const vcSMDGDPoly& b, double eps) {
  if (a.v_.size() != b.v_.size() || a.open_ != b.open_ || a.reversed_ != b.reversed_) return false;
  for (std::size_t i = 0; i < a.v_.size(); ++i)
    if (!vfRealEq(a.v_[i], b.v_[i], eps)) return false;
  return a.colors_ == b.colors_ && a.posColor_ == b.posColor_ && a.negColor_ == b.negColor_ &&
         std::abs(a.weight_ - b.weight_) <= eps;
}

namespace {

// Weights this close are the same weight.
constexpr double kSameWeight = 1e-15;

}  // namespace

bool vcSMDGDPoly::operator==(const vcSMDGDPoly& o) const {
  if (v_.size() != o.v_.size() || open_ != o.open_ || reversed_ != o.reversed_) return false;
  for (std::size_t i = 0; i < v_.size(); ++i)
    if (v_[i] != o.v_[i]) return false;
  return colors_ == o.colors_ && posColor_ == o.posColor_ && negColor_ == o.negColor_ &&
         std::abs(weight_ - o.weight_) <= kSameWeight;
}

namespace {

template <class Map>
vcSMDGDPoly mapped(const vcSMDGDPoly& p, Map map) {
  std::vector<vcSMDGDPolyVertex> vs;
  vs.reserve(p.vertices().size());
  for (const auto& v : p.vertices()) vs.push_back(map(v));
  vcSMDGDPoly r(p);
  r.vertices(vs);
  return r;
}

}  // namespace

vcSMDGDPoly operator*(double s, const vcSMDGDPoly& p) {
  return mapped(p, [s](const vcSMDGDPolyVertex& v) { return s * v; });
}

vcSMDGDPoly operator*(const vc2Rigid& r, const vcSMDGDPoly& p) {
  return mapped(p, [&r](const vcSMDGDPolyVertex& v) { return r * v; });
}
