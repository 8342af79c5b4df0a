// Geometry kernels of the ellipse family (vcEllipse, vcEllipse2, the arcs and
// annuli): parametrisation, affine maps, nearest points, lengths, bounds and
// sampling of ellipses and of arcs given by parametric angles. Private to
// core/; each function works on an ellipse geom as documented in
// <vc/core/ellipse.h>.
#pragma once

#include <numbers>
#include <vector>

#include <vc/core/ellipse.h>
#include <vc/core/matrix.h>
#include <vc/core/rect.h>

namespace vc_ellipse {

using Geom = vcEllipse::vcEllipseGeom;
inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

// +1 for a right-handed geom, -1 for a left-handed one.
inline double hand(const Geom& g) { return g.leftHanded ? -1.0 : 1.0; }

// What makes g invalid (non-finite values, negative radii); null when valid.
const char* problem(const Geom& g);
// g with its degenerate flag set from the radii. Throws vcShapesError::BadRadius
// for a bad radius and BadGeom for a non-finite center or rotation.
Geom checked(const Geom& g, const char* who);

// The same checks for untrusted input: throws vcArchive::BadData (fromArchive)
// or vcShapesError::BadGeom, also for a degenerate flag that disagrees with
// the radii or, for images, a flag byte other than 0 or 1 (flagsOk false).
void checkStored(const Geom& g, bool fromArchive, bool flagsOk, const char* who);

// True when m is k R(theta), or k R(theta) diag(1, -1) (mirrors), within
// 1e-12 of its largest element.
bool isSimilarity(const vcMatrix<2>& m, double& k, double& theta, bool& mirrors);

// R(rotation) diag(a, s b): the linear part of the unit-circle map.
vcMatrix<2> unitMatrix(const Geom& g);
vcVector<2> point(const Geom& g, double t);
// dP/dt.
vcVector<2> velocity(const Geom& g, double t);
// Unit tangent at t in the direction of dir (+1 or -1) times increasing t;
// throws vcShapesError::NoTangent where the ellipse has none.
vcVector<2> tangent(const Geom& g, double t, double dir);

// The geom of the image of the unit circle under m; phase receives the
// parametric shift: m maps (cos t, sin t) to P(t + phase). A singular m takes
// the handedness leftIfSingular.
Geom fromUnitMap(const vcXform<2>& m, bool leftIfSingular, double& phase);
// The image of g under x; phase receives the parametric shift: x maps the
// point at t to the result's point at t + phase. A similarity keeps the
// radii in order and gives phase 0.
Geom mapped(const Geom& g, const vcXform<2>& x, double& phase);

// True when t lies on the arc from start over span (radians, either sign);
// spans of 2 pi or more cover the whole ellipse.
bool inArc(double t, double start, double span);
// Parametric angle of the point of the ellipse nearest p.
double nearestParam(const Geom& g, const vcVector<2>& p);
// Parametric angle, on the arc, of the arc's point nearest p.
double nearestParamOnArc(const Geom& g, double start, double span, const vcVector<2>& p);
// Distance from p to the contour.
double contourDistance(const Geom& g, const vcVector<2>& p);
// Distance from p to the arc.
double arcDistance(const Geom& g, double start, double span, const vcVector<2>& p);
// Inside or on the ellipse (a degenerate one is its segment), allowing 1e-12
// of its size for rounding.
bool insideOrOn(const Geom& g, const vcVector<2>& p);
// True when inner lies within outer, allowing 1e-9 of outer's size.
bool contains(const Geom& outer, const Geom& inner);

double perimeter(const Geom& g);
// Length of the arc between parametric angles t0 and t1.
double arcLength(const Geom& g, double t0, double t1);
// Half the integral of cross(P, dP) from t0 to t1: the arc's share of a
// closed boundary's signed area (Green's theorem).
double areaTerm(const Geom& g, double t0, double t1);
vcRect arcBox(const Geom& g, double start, double span);

// Chords that sampling an arc of the given span needs under params: evenly
// spaced parametric steps of h keep each chord within h^2 max(a, b) / 8 of
// the curve and no longer than h max(a, b).
long chords(const Geom& g, double span, const vcShape::vcSampleParams& params);
// Points at start + span * i / n for i = 0 .. n (n - 1 without the end).
void sampleArc(const Geom& g, double start, double span, long n, bool includeEnd, std::vector<vcVector<2>>& out);

// The closed contour from P(0) round to P(0) in n chords; the last point,
// present with includeEnd, is exactly the first.
void sampleClosed(const Geom& g, long n, bool includeEnd, std::vector<vcVector<2>>& out);

// Crossings of the ray from p toward +x by the arc, counted by the half-open
// rule of even-odd tests (a crossing where the curve passes from y <= p.y to
// y > p.y or back), so that a closed chain of pieces gives the parity of p.
int rayCrossings(const Geom& g, double start, double span, const vcVector<2>& p);
int rayCrossings(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p);

// Distance from p to the segment ab.
double segmentDistance(const vcVector<2>& a, const vcVector<2>& b, const vcVector<2>& p);

}  // namespace vc_ellipse
