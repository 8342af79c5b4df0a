// Numerical helpers of the segment geometry: degree trigonometry that is
// exact at the quarter turns, the similarity test of a linear map, and the
// one-dimensional searches used for elliptical arcs.
#pragma once

#include <functional>
#include <vector>

#include <vc/core/matrix.h>
#include <vc/core/vector.h>

namespace vc_arc {

// (cos, sin) of deg degrees; exact at multiples of 90, reduced in degrees
// first so that large angles lose nothing to the conversion.
vcVector<2> unitAt(double deg);
// atan2 of v in degrees, in (-180, 180].
double angleOf(const vcVector<2>& v);
// Whether m maps circles to circles (a rotation or a mirror, times a scale),
// within rounding; scale receives that factor.
bool isSimilarity(const vcMatrix<2>& m, double* scale = nullptr);

// The argument in [lo, hi] where g is smallest, from n samples refined by a
// golden-section search around each sampled local minimum.
double argMin(const std::function<double(double)>& g, double lo, double hi, int n);
// The zeros of f on [lo, hi], in increasing order: sign changes between n
// samples, refined by bisection, and touching zeros (local extrema with
// |f| <= tol) where f keeps its sign.
std::vector<double> zeros(const std::function<double(double)>& f, double lo, double hi, int n, double tol);
// The zeros of f, periodic with period hi - lo, on [lo, hi), each once: a
// zero at hi is the one at lo, and zeros that zeros() reports within one
// sample of each other with |f| <= tol half way between them (one touch,
// seen from two samples or from the extremum search) are kept as the one
// where |f| is smallest.
std::vector<double> periodicZeros(const std::function<double(double)>& f, double lo, double hi, int n, double tol);

}  // namespace vc_arc
