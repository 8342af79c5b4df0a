// Profile tolerance zones: the band about the nominal outlines and the check
// of measured points against it.
#include <vc/wrfm/smdzone.h>

#include <cmath>
#include <limits>

#include <vc/core/exception.h>

vcSMDToleranceZone::vcSMDToleranceZone(const vcSMDGDModel& nominal, double tolerance)
    : nominal_(nominal), t_(tolerance), inner_(nominal.name()), outer_(nominal.name()) {
  if (!(std::isfinite(tolerance) && tolerance > 0))
    throw vcShapesError::BadGeom("vcSMDToleranceZone: the tolerance must be finite and > 0");
  std::vector<vcSMDGDPoly> in, out;
  for (const vcSMDGDPoly& p : nominal.polys()) {
    // An open poly's shrink would be its band again: it has no inner outline.
    if (p.isClosed())
      for (vcSMDGDPoly& q : vcSMDGDPolyPrivate::offset(p, -0.5 * tolerance)) in.push_back(std::move(q));
    for (vcSMDGDPoly& q : vcSMDGDPolyPrivate::offset(p, 0.5 * tolerance)) out.push_back(std::move(q));
  }
  inner_.polys(in);
  outer_.polys(out);
}

double vcSMDToleranceZone::deviation(const vcVector<2>& p) const {
  double best = std::numeric_limits<double>::infinity();
  for (const vcSMDGDPoly& q : nominal_.polys()) {
    if (q.numVertices() == 0) continue;
    const double d = vcSMDGDPolyPrivate::signedDistance(q, p);
    if (std::abs(d) < std::abs(best)) best = d;
  }
  return best;
}

bool vcSMDToleranceZone::inZone(const vcVector<2>& p) const { return std::abs(deviation(p)) <= 0.5 * t_; }

vcSMDToleranceZone::Report vcSMDToleranceZone::report(const std::vector<vcVector<2>>& points) const {
  Report r;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double d = deviation(points[i]);
    ++r.count;
    if (std::abs(d) <= 0.5 * t_) ++r.inside;
    if (r.worstIndex < 0 || std::abs(d) > std::abs(r.worstDeviation)) {
      r.worstDeviation = d;
      r.worstPoint = points[i];
      r.worstIndex = static_cast<long>(i);
    }
  }
  if (r.count > 0) r.fractionInside = static_cast<double>(r.inside) / static_cast<double>(r.count);
  return r;
}
