// Test shapes shared by the test programs: random points and maps with fixed
// seeds, a set of maps that exercise every kind of affine map, and the points
// that sample a shape's contour.
#pragma once

#include <random>
#include <typeinfo>
#include <vector>

#include <vc/core/exception.h>
#include <vc/core/shape.h>
#include <vc/core/xform.h>

namespace vc_test {

// The handle's shape as S, null when it is another type.
template <class S>
const S* as(const vcShapeHandle& h) {
  return dynamic_cast<const S*>(h.ptr());
}

inline vcVector<2> randomPoint(std::mt19937& rng, double range) {
  std::uniform_real_distribution<double> u(-range, range);
  return vcVector<2>(u(rng), u(rng));
}

// An affine map with entries in [-2, 2] and a shift in [-20, 20].
inline vcXform<2> randomAffine(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  return vcXform<2>(vcMatrix<2>(u(rng), u(rng), u(rng), u(rng)), vcVector<2>(10.0 * u(rng), 10.0 * u(rng)));
}

// Similarities: rotation, a mirror with scale, uniform scale, translation, and
// a turned mirror with scale and shift.
inline std::vector<vcXform<2>> similarities() {
  return {vcXform<2>::rotation(vcRadian(0.7)), vcXform<2>(vcMatrix<2>(0, 3, 3, 0), vcVector<2>(1, 2)),
          vcXform<2>::scale(2.5, 2.5), vcXform<2>::translation(vcVector<2>(-4, 9)),
          vcXform<2>(vcMatrix<2>::rotation(vcRadian(2.0)) * vcMatrix<2>(-0.5, 0, 0, 0.5), vcVector<2>(3, 3))};
}

// The identity, the similarities, a stretch and a shear.
inline std::vector<vcXform<2>> everyKindOfMap() {
  std::vector<vcXform<2>> maps{vcXform<2>()};
  for (const vcXform<2>& x : similarities()) maps.push_back(x);
  maps.emplace_back(vcMatrix<2>(2, 0, 0, 0.5), vcVector<2>(-3, 1));
  maps.emplace_back(vcMatrix<2>(1, 1.5, -0.25, 2), vcVector<2>(7, -5));
  return maps;
}

// Points along the contour of s (of each piece of decompose() when s itself
// cannot be sampled); empty for shapes without a contour.
inline void contourSamples(const vcShape& s, std::vector<vcVector<2>>& out, int depth = 0) {
  try {
    s.sample(vcShape::vcSampleParams(1e-3, 0.0, 24), out);
  } catch (const vcShapesError::BadGeom&) {
    if (depth > 2) return;
    for (const vcShapeHandle& piece : s.decompose())
      if (typeid(*piece) != typeid(s)) contourSamples(*piece, out, depth + 1);
  }
}

}  // namespace vc_test
