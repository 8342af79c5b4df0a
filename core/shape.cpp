#include <vc/core/shape.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

vcShape::vcSampleParams::vcSampleParams(double tolerance, double spacing, long minPoints, bool duplicateCorners,
                                        bool includeEnd)
    : tolerance_(tolerance),
      spacing_(spacing),
      minPoints_(minPoints),
      duplicateCorners_(duplicateCorners),
      includeEnd_(includeEnd) {}

long vcShape::vcSampleParams::chordsFor(double length, double maxCurvature) const {
  double chords = 1.0;
  if (std::isfinite(length) && length > 0.0) {
    // A chord of length c on a circle of radius r strays c^2 / (8 r) from it.
    if (tolerance_ > 0.0 && maxCurvature > 0.0) {
      const double c = std::sqrt(8.0 * tolerance_ / maxCurvature);
      chords = std::max(chords, std::ceil(length / c));
    }
    if (spacing_ > 0.0) chords = std::max(chords, std::ceil(length / spacing_));
  }
  const long minChords = std::max(1L, minPoints_ - 1);
  if (chords < static_cast<double>(minChords)) chords = static_cast<double>(minChords);
  if (maxPoints_ > 1 && chords > static_cast<double>(maxPoints_ - 1)) chords = static_cast<double>(maxPoints_ - 1);
  // Without a limit, a hostile tolerance must not ask for billions of points.
  const double hardLimit = 1e7;
  if (chords > hardLimit) chords = hardLimit;
  return static_cast<long>(chords);
}

vcVector<2> vcShape::startPoint() const { throw vcShapesError::NotOpenContour(className() + " has no start point"); }
vcVector<2> vcShape::endPoint() const { throw vcShapesError::NotOpenContour(className() + " has no end point"); }
double vcShape::perimeter() const { throw vcShapesError::BadGeom(className() + " has no perimeter"); }
double vcShape::area() const { throw vcShapesError::NotRegion(className() + " is not a region"); }
bool vcShape::within(const vcVector<2>&) const { throw vcShapesError::NotRegion(className() + " is not a region"); }
vcVector<2> vcShape::tangentAt(const vcVector<2>&) const {
  throw vcShapesError::NoTangent(className() + " has no tangent");
}
void vcShape::sample(const vcSampleParams&, std::vector<vcVector<2>>&) const {
  throw vcShapesError::BadGeom(className() + " cannot be sampled");
}
std::vector<vcShapeHandle> vcShape::decompose() const { return {clone()}; }
vcShapeHandle vcShape::reverse() const { return clone(); }

void vcShape::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcShape))) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("vcShape", 0);
  vcPersistent::dispatchSerialize(ar);
  setVisited(this, sizeof(vcShape));
}

void vcShape::exchangeShape_(vcArchive& ar, void* self, unsigned size, void (*exchange)(vcArchive&, void*)) {
  if (haveVisited(self, size)) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion(className().c_str(), 0);
  vcShape::dispatchSerialize(ar);
  if (ar.isStoring()) {
    exchange(ar, self);
  } else {
    try {
      exchange(ar, self);
    } catch (const vcShapesError::Errors& e) {
      vcArchive::fail(e.what());
    } catch (const vcBadArgument& e) {
      vcArchive::fail(e.what());
    }
  }
  setVisited(self, size);
}
