// Profile tolerance zones: the band about the nominal outlines and the check
// of measured points against it, and the zones' synthetic images.
#include <vc/wrfm/smdzone.h>

#include <cmath>
#include <limits>

#include <vc/core/exception.h>

#include "smdpoly_offset_geom.h"

vcSMDToleranceZone::vcSMDToleranceZone(const vcSMDGDModel& nominal, double tolerance)
    : nominal_(nominal), t_(tolerance), inner_(nominal.name()), outer_(nominal.name()) {
  if (!(std::isfinite(tolerance) && tolerance > 0))
    throw vcShapesError::BadGeom("vcSMDToleranceZone: the tolerance must be finite and > 0");
  std::vector<vcSMDGDPoly> in, out;
  // An offset runs the way its poly does (an open poly's band
  // counter-clockwise); an outline that runs the other way bounds a hole.
  const auto add = [](const vcSMDGDPoly& p, double d, std::vector<vcSMDGDPoly>& to, std::vector<bool>& hole) {
    const bool ccw = p.isOpen() || vc_offset::twiceArea(vc_offset::outlineOf(p)) >= 0;
    for (vcSMDGDPoly& q : vcSMDGDPolyPrivate::offset(p, d)) {
      hole.push_back((vc_offset::twiceArea(vc_offset::outlineOf(q)) >= 0) != ccw);
      to.push_back(std::move(q));
    }
  };
  for (const vcSMDGDPoly& p : nominal.polys()) {
    if (p.numVertices() == 0) continue;
    // An open poly's shrink would be its band again: it has no inner outline.
    if (p.isClosed()) add(p, -0.5 * tolerance, in, innerHole_);
    add(p, 0.5 * tolerance, out, outerHole_);
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

// Synthetic images of tolerance zones, through the poly renderer.
namespace {

// The region of m: its outlines filled with value, then its holes with background.
void fill(const vcSMDGDModel& m, const std::vector<bool>& hole, const vcXform<2>& x,
          vcPelBuffer<unsigned char>& image, unsigned char value, unsigned char background) {
  for (bool holes : {false, true})
    for (std::size_t i = 0; i < m.polys().size(); ++i)
      if (hole[i] == holes)
        vcSMDGDPolyPrivate::drawSynthetic(m.polys()[i], x, image, holes ? background : value, true, true);
}

}  // namespace

void vcSMDToleranceZone::drawBandSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                           unsigned char value, unsigned char background) const {
  fill(outer_, outerHole_, x, image, value, background);
  fill(inner_, innerHole_, x, image, background, value);
}

void vcSMDToleranceZone::drawMinMaterialSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                                  unsigned char value, unsigned char background) const {
  fill(inner_, innerHole_, x, image, value, background);
}

void vcSMDToleranceZone::drawMaxMaterialSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image,
                                                  unsigned char value, unsigned char background) const {
  fill(outer_, outerHole_, x, image, value, background);
}
