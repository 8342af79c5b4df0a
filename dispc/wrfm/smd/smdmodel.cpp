// SMD models: the poly list and its labels, editing, sub-models, mirroring
// and mapping, whole-model measures and comparison; synthetic images,
// offsets and the archive form.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/pelbuffer.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/wireframe.h>

const vc_Instantiator vcSMDGDModel::sExemplar(typeid(vcSMDGDModel), &vcSMDGDModel::make);

vcPersistent* vcSMDGDModel::make() { return new vcSMDGDModel; }

vcSMDGDModel::vcSMDGDModel(const std::string& name) : vcSMDGeometricDescription(name) {}

vcSMDGDModel::vcSMDGDModel(const vcSMDGDModel& o)
    : vcPersistent(), vcSMDGeometricDescription(o), polys_(o.polys_), labels_(o.labels_), position_(o.position_) {}

vcSMDGDModel& vcSMDGDModel::operator=(const vcSMDGDModel& o) {
  if (this == &o) return *this;
  std::vector<vcSMDGDPoly> polys = o.polys_;
  notifyMutation_();
  vcSMDGeometricDescription::operator=(o);
  polys_.swap(polys);
  labels_ = o.labels_;
  position_ = o.position_;
  return *this;
}

const vcSMDGDPoly& vcSMDGDModel::poly(int i) const {
  if (i < 0 || i >= numPolys()) throw invalidIndex();
  return polys_[std::size_t(i)];
}

long vcSMDGDModel::numVertices() const noexcept {
  long n = 0;
  for (const auto& p : polys_) n += p.numVertices();
  return n;
}

bool vcSMDGDModel::isOpen() const noexcept {
  return std::any_of(polys_.begin(), polys_.end(), [](const vcSMDGDPoly& p) { return p.isOpen(); });
}

void vcSMDGDModel::addPolyLabels_(const vcSMDGDPoly& p) {
  for (long l : p.subModelLabels())
    if (std::find(labels_.begin(), labels_.end(), l) == labels_.end()) labels_.push_back(l);
}

void vcSMDGDModel::rebuildLabels_() {
  labels_.clear();
  for (const auto& p : polys_) addPolyLabels_(p);
}

vcSMDGDModel& vcSMDGDModel::operator<<(const vcSMDGDPoly& p) {
  notifyMutation_();
  polys_.push_back(p);
  addPolyLabels_(p);
  return *this;
}

vcSMDGDModel& vcSMDGDModel::operator<<(const vcSMDGDModel& m) {
  const std::vector<vcSMDGDPoly> add = m.polys_;  // m may be *this
  for (const auto& p : add) *this << p;
  return *this;
}

namespace {

// A wireframe's outline in client coordinates. Only a similarity keeps
// circles circles, so only a similarity can carry the arcs and roundings.
vcSMDGDPoly clientPoly(const vc2Wireframe& w, const std::string& name) {
  const vcXform<2>& x = w.xform();
  const vcMatrix<2>& a = x.matrix();
  const double c0 = std::hypot(a.element(0, 0), a.element(1, 0)), c1 = std::hypot(a.element(0, 1), a.element(1, 1));
  const double dot = a.element(0, 0) * a.element(0, 1) + a.element(1, 0) * a.element(1, 1);
  const double scale = std::sqrt(std::abs(a.determinant()));
  if (!(scale > 0) || std::abs(c0 - c1) > 1e-12 * scale || std::abs(dot) > 1e-12 * scale * scale)
    throw vcShapesError::BadGeom("vcSMDGDModel: a wireframe transform that is not a similarity bends its arcs");
  // A mirror turns arcs the other way; the poly's direction flag is kept,
  // so its inside follows the mirrored outline as the wireframe's does.
  const bool mirror = a.determinant() < 0;
  std::vector<vcSMDGDPolyVertex> vs;
  for (const auto& v : w.poly().vertices()) {
    vcSMDGDPolyVertex nv = scale * v;
    nv.point(x.mapPoint(v.point()));
    if (mirror) nv.segmentAngleSpan(-v.segmentAngleSpan());
    vs.push_back(nv);
  }
  vcSMDGDPoly p(name);
  p.vertices(vs);
  if (w.poly().isClosed()) p.close();
  if (w.poly().isDirectionReversed()) p.toggleDirection();
  p.colors(w.poly().colors());
  p.positiveArrowColor(w.poly().positiveArrowColor());
  p.negativeArrowColor(w.poly().negativeArrowColor());
  p.weight(w.poly().weight());
  return p;
}

}  // namespace

vcSMDGDModel& vcSMDGDModel::operator<<(const std::vector<vc2Wireframe>& w) {
  std::vector<vcSMDGDPoly> add;
  for (const auto& f : w) add.push_back(clientPoly(f, name()));
  for (const auto& p : add) *this << p;
  return *this;
}

void vcSMDGDModel::polys(const std::vector<vcSMDGDPoly>& list) {
  std::vector<vcSMDGDPoly> copy = list;
  notifyMutation_();
  polys_.swap(copy);
  rebuildLabels_();
}

void vcSMDGDModel::colors(const vcSMDColors& c) {
  notifyMutation_();
  for (auto& p : polys_) p.colors(c);
}

void vcSMDGDModel::positiveArrowColor(const vcColor& c) {
  notifyMutation_();
  for (auto& p : polys_) p.positiveArrowColor(c);
}

void vcSMDGDModel::negativeArrowColor(const vcColor& c) {
  notifyMutation_();
  for (auto& p : polys_) p.negativeArrowColor(c);
}

void vcSMDGDModel::replacePoly(int i, const vcSMDGDPoly& p) {
  if (i < 0 || i >= numPolys()) throw invalidIndex();
  vcSMDGDModel m("");
  m.polys_ = polys_;
  m.polys_[std::size_t(i)] = p;
  m.rebuildLabels_();
  m.position_ = position_;
  *this = m;
}

void vcSMDGDModel::deletePoly(int i) {
  if (i < 0 || i >= numPolys()) throw invalidIndex();
  vcSMDGDModel m("");
  m.polys_ = polys_;
  m.polys_.erase(m.polys_.begin() + i);
  m.rebuildLabels_();
  m.position_ = position_;
  *this = m;
}

void vcSMDGDModel::deleteAllPolys() {
  notifyMutation_();
  polys_.clear();
  labels_.clear();
}

void vcSMDGDModel::reset() { *this = vcSMDGDModel(""); }

void vcSMDGDModel::reInit() {
  notifyMutation_();
  polys_.clear();
  labels_.clear();
  position_ = vc2Rigid();
}

void vcSMDGDModel::subModel(long label, vcSMDGDModel& out) const {
  vcSMDGDModel m(out.name());
  for (const auto& p : polys_)
    for (int v = 0; v < static_cast<int>(p.numVertices()); ++v)
      if (p.vertices()[std::size_t(v)].subModelLabel() == label) m << vcSMDGDPolyPrivate::subPoly(p, v, false);
  const vc2Rigid at = vcSMDGDModelPrivate::normalizedPosition(m);
  m = at.inverse() * m;
  m.position_ = at;
  out = m;
}

vcSMDGDModel vcSMDGDModel::flip() const {
  vcSMDGDModel m(*this);
  for (auto& p : m.polys_) p = vcSMDGDPolyPrivate::flip(p);
  return m;
}

std::vector<int> vcSMDGDModel::polysOutOfTolerance(const vcXform<2>& nominal, const vcXform<2>& measured) const {
  std::vector<int> out;
  for (int i = 0; i < numPolys(); ++i)
    if (!polys_[std::size_t(i)].segmentsOutOfTolerance(nominal, measured).empty()) out.push_back(i);
  return out;
}

vcRect vcSMDGDModel::boundingBox(const vcXform<2>& x) const { return vcSMDGDModelPrivate::boundingBox(*this, x); }

bool vcSMDGDModel::operator==(const vcSMDGDModel& o) const {
  return vcSMDGDModelPrivate::equivalent(*this, o) && position_ == o.position_;
}

vcVector<2> vcSMDGDModel::centerOfMass_() const {
  vcVector<2> sum(0, 0);
  long n = 0;
  for (const auto& p : polys_)
    for (const auto& v : p.vertices()) {
      sum = sum + v.point();
      ++n;
    }
  return n ? sum * (1.0 / double(n)) : sum;
}

double vcSMDGDModel::orientation_() const { return polys_.empty() ? 0.0 : polys_.front().orientation_(); }

double vcSMDGDModel::perimeter_(double minLength) const {
  double s = 0.0;
  for (const auto& p : polys_) s += p.perimeter_(minLength);
  return s;
}

double vcSMDGDModel::extensionPerimeter_() const {
  double s = 0.0;
  for (const auto& p : polys_) s += p.extensionPerimeter_();
  return s;
}

void vcSMDGDModel::setExtensions_(double minDistance, const vcDegree& angleTol, double step, double e) {
  std::vector<vcSMDGDPoly> ps = polys_;
  for (auto& p : ps) p.setExtensions_(e);
  for (std::size_t i = 0; i < ps.size(); ++i)
    for (std::size_t j = 0; j < ps.size(); ++j) {
      const vcSMDGDPoly other = ps[j];
      ps[i].checkExtensions_(other, minDistance, angleTol, step, i == j);
    }
  notifyMutation_();
  polys_.swap(ps);
}

vcSMDGDModel operator*(double s, const vcSMDGDModel& m) {
  std::vector<vcSMDGDPoly> ps;
  for (const auto& p : m.polys()) ps.push_back(s * p);
  vcSMDGDModel out(m);
  out.polys(ps);
  return out;
}

vcSMDGDModel operator*(const vc2Rigid& r, const vcSMDGDModel& m) {
  std::vector<vcSMDGDPoly> ps;
  for (const auto& p : m.polys()) ps.push_back(r * p);
  vcSMDGDModel out(m);
  out.polys(ps);
  out.position_ = r * m.position_;
  return out;
}

// Synthetic images of SMD models: every poly rendered in turn.
void vcSMDGDModel::drawSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image) const {
  drawSynthetic(vcPtrHandle_const<vc2XformBase>(new vc2XformLinear(x)), image);
}

void vcSMDGDModel::drawSynthetic(const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image) const {
  if (!x) throw vcBadPointer("vcSMDGDModel::drawSynthetic: null transform handle");
  for (const vcSMDGDPoly& p : polys_) p.drawSynthetic(x, image);
}

// Offsets of SMD models: every poly on its own, or the union of all (courtyards).
vcSMDGDModel vcSMDGDModelPrivate::offset(const vcSMDGDModel& m, double distance) {
  std::vector<vcSMDGDPoly> polys;
  for (const vcSMDGDPoly& p : m.polys())
    for (vcSMDGDPoly& q : vcSMDGDPolyPrivate::offset(p, distance)) polys.push_back(std::move(q));
  vcSMDGDModel out(m.name());
  out.polys(polys);
  out.position_ = m.position_;
  return out;
}

vcSMDGDModel vcSMDGDModelPrivate::courtyard(const vcSMDGDModel& m, double clearance) {
  vcSMDGDModel out(m.name());
  out.polys(vcSMDGDPolyPrivate::offsetUnion(m.polys(), clearance));
  out.position_ = m.position_;
  return out;
}

// The archive form of SMD models. Stored bytes are untrusted: the model is
// read into a fresh object (each poly checked by its own loader, the labels
// against the polys) and replaces the target only when all of it was read.
namespace {

constexpr unsigned char kModelVersion = 0;

}  // namespace

void vcSMDGDModel::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcSMDGDModel))) return;
  unsigned char version = kModelVersion;
  ar || version;
  if (version != kModelVersion) throw vcArchive::UnknownVersion(nullptr, 0);

  ar.exchangeAside(*this, vcSMDGDModel(""), [&](vcSMDGDModel& m) {
    m.exchangeDescription_(ar);
    unsigned char listVersion = 0;
    ar || listVersion;
    if (listVersion != 0) throw vcArchive::UnknownVersion(nullptr, 0);
    // A poly takes at least its version bytes, name length, counts and flags.
    vcExchangeCounted(ar, m.polys_, [&ar](vcSMDGDPoly& p) { vcSMDGDPolyPrivate::exchange_(ar, p); }, 40);
    ar || m.labels_ || m.position_;
    if (ar.isLoading()) {
      // The label list is derived from the polys; a stored one that disagrees is corrupt.
      const std::vector<long> stored = m.labels_;
      m.rebuildLabels_();
      if (stored != m.labels_) vcArchive::fail("vcSMDGDModel: sub-model labels do not match the polys");
    }
  });
  setVisited(this, sizeof(vcSMDGDModel));
}
