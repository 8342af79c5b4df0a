#include <vc/core/coordaxes.h>

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/rect.h>

namespace {
bool finite(const vcVector<2>& v) { return std::isfinite(v.x()) && std::isfinite(v.y()); }
}  // namespace

template class vcShapeBase<vcCoordAxes>;

vcCoordAxes::vcCoordAxes(const vcVector<2>& origin, const vcVector<2>& xEnd, const vcVector<2>& yEnd)
    : origin_(origin), xEnd_(xEnd), yEnd_(yEnd) {
  if (!finite(origin) || !finite(xEnd) || !finite(yEnd))
    throw vcShapesError::BadGeom("vcCoordAxes: points are not finite");
}

vcCoordAxes vcCoordAxes::map(const vcXform<2>& x) const {
  return vcCoordAxes(x.mapPoint(origin_), x.mapPoint(xEnd_), x.mapPoint(yEnd_));
}

vcShapeHandle vcCoordAxes::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcRect vcCoordAxes::boundingBox() const {
  vcRect r;
  r.enclose(origin_).enclose(xEnd_).enclose(yEnd_);
  return r;
}

double vcCoordAxes::distanceToPoint(const vcVector<2>& p) const {
  return std::min(vfSegmentClosestPoint(origin_, xEnd_, p).distance(p),
                  vfSegmentClosestPoint(origin_, yEnd_, p).distance(p));
}

std::vector<vcShapeHandle> vcCoordAxes::decompose() const {
  return {vfShapeHandle(xAxis()), vfShapeHandle(yAxis())};
}

void vcCoordAxes::archiveFields_(vcArchive& ar) {
  vcVector<2> origin = origin_, xEnd = xEnd_, yEnd = yEnd_;
  ar || origin || xEnd || yEnd;
  if (ar.isLoading()) *this = vcCoordAxes(origin, xEnd, yEnd);
}

vcArchive& operator||(vcArchive& ar, vcCoordAxes& a) {
  ar.exchange(a);
  return ar;
}
