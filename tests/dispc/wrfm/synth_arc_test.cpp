// How closely the chords that follow arcs in synthetic images keep to the exact area, over radii from a few pixels to
// thousands, under maps that keep shapes and one that does not.
#include <vc/wrfm/synthetic.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include <vc/wrfm/smdpoly.h>

#include "support/synth_reference.h"

namespace {

using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;

// The largest difference, in grey levels, between a fill of 255 on 0 and 255 times the exact coverage, the window's
// 2-pixel rim (never blended) left out.
double worstError(const vcPelBuffer<unsigned char>& img, const std::vector<double>& cov) {
  double worst = 0;
  for (long j = 2; j < img.height() - 2; ++j)
    for (long i = 2; i < img.width() - 2; ++i)
      worst = std::max(worst, std::fabs(*img.pointToPel(i, j) - 255.0 * cov[static_cast<std::size_t>(j * img.width() + i)]));
  return worst;
}

// A square of side 2 a about the origin, corners rounded by r, its vertices in either turning order; and the exact
// outline: quarter circles about the corners moved in by r.
vcSMDGDPoly roundedSquare(double a, double r, bool backward) {
  const double sx[4] = {1, -1, -1, 1}, sy[4] = {1, 1, -1, -1};
  vcSMDGDPoly p;
  for (int k = 0; k < 4; ++k) {
    const int i = backward ? 3 - k : k;
    p << vcSMDGDPolyVertex(V(sx[i] * a, sy[i] * a), r, 0.5, 0.5, -1);
  }
  p.close();
  return p;
}

synth_ref::Outline roundedSquareOutline(double a, double r) {
  synth_ref::Outline o;
  for (int k = 0; k < 4; ++k) synth_ref::arc(o, {(k == 0 || k == 3 ? 1 : -1) * (a - r), (k < 2 ? 1 : -1) * (a - r)}, r,
                                              (0.25 + 0.5 * k) * kPi - kPi / 4, (0.25 + 0.5 * k) * kPi + kPi / 4);
  return o;
}

}  // namespace

// A circle's edge laid across the middle of the image at random places (fixed seed), under a turn with a scale, a
// mirror with a scale, and a shear that stretches unequally: every pixel within 0.8 of a grey level of its exact
// value (rounding takes up to 0.5, the chords may take up to 0.25 in a pixel).
TEST(Synthetic, ArcsOfEverySizeStayWithinEightTenthsOfAGreyLevel) {
  constexpr long kSide = 96;
  const double c = std::cos(0.3), s = std::sin(0.3);
  const struct {
    const char* name;
    vcMatrix<2> m;
    double longest;  // at least the most the map stretches a vector, so that the reference stays within 1e-4
  } maps[] = {{"turned", vcMatrix<2>(1.3 * c, -1.3 * s, 1.3 * s, 1.3 * c), 1.3},
              {"mirrored", vcMatrix<2>(-0.8, 0, 0, 0.8), 0.8},
              {"sheared", vcMatrix<2>(1.6, 0.3, -0.2, 0.7), 1.7}};
  std::mt19937 rng(290);
  std::uniform_real_distribution<double> u(0, 1);
  for (const double r : {4.5, 11.0, 37.0, 150.0, 640.0, 2600.0})
    for (const auto& map : maps)
      for (int place = 0; place < 4; ++place) {
        // The local point at angle phi of the circle about the origin lands near the image's middle.
        const double phi = 2 * kPi * u(rng);
        const V at(44 + 8 * u(rng), 44 + 8 * u(rng));
        const vcXform<2> x(map.m, at - map.m * V(r * std::cos(phi), r * std::sin(phi)));
        synth_ref::Outline exact;
        synth_ref::arc(exact, {0, 0}, r * map.longest, 0, 2 * kPi);
        exact = synth_ref::map(exact, [&](synth_ref::Pt p) {
          const V q = x * (V(p.x, p.y) * (1 / map.longest));
          return synth_ref::Pt{q.x(), q.y()};
        });
        vcPelBuffer<unsigned char> img(kSide, kSide);
        vcSMDGDPolyPrivate::drawSynthetic(vcSMDGDPoly::circle(r, V(0, 0)), x, img, 255, true, true);
        EXPECT_LE(worstError(img, synth_ref::coverage(exact, kSide, kSide)), 0.8)
            << "radius " << r << ", " << map.name << ", place " << place;
      }
}

// Corners rounded by a few pixels to a few hundred, the outline running either way round, so that arcs turn both
// ways and meet straight sides: the same bound.
TEST(Synthetic, RoundedCornersEitherWayRoundStayWithinEightTenthsOfAGreyLevel) {
  constexpr long kSide = 120;
  std::mt19937 rng(291);
  std::uniform_real_distribution<double> u(0, 1);
  for (const double r : {3.0, 9.5, 41.0, 300.0})
    for (const bool backward : {false, true}) {
      // The square's corner near the image's middle, turned by a random angle and scaled by 1.2.
      const double a = r + 20, turn = 2 * kPi * u(rng), c = 1.2 * std::cos(turn), s = 1.2 * std::sin(turn);
      const vcMatrix<2> m(c, -s, s, c);
      const vcXform<2> x(m, V(60 + 4 * u(rng), 60 + 4 * u(rng)) - m * V(a - 0.3 * r, a - 0.3 * r));
      const synth_ref::Outline exact = synth_ref::map(roundedSquareOutline(a, r), [&](synth_ref::Pt p) {
        const V q = x * V(p.x, p.y);
        return synth_ref::Pt{q.x(), q.y()};
      });
      vcPelBuffer<unsigned char> img(kSide, kSide);
      vcSMDGDPolyPrivate::drawSynthetic(roundedSquare(a, r, backward), x, img, 255, true, true);
      EXPECT_LE(worstError(img, synth_ref::coverage(exact, kSide, kSide)), 0.8)
          << "corner radius " << r << (backward ? ", backward" : ", forward");
    }
}

// Arcs of mapped radius 4 or more lying inside the image are followed exactly, not by chords: whole circles turned,
// scaled and mirrored, at random places (fixed seed), each pixel within the rounding (half a grey level, and a little
// for fixed point) of its exact value. Chords would take up to 0.25 more.
TEST(Synthetic, ArcsInsideTheImageAreExactButForRounding) {
  constexpr long kSide = 460;
  std::mt19937 rng(292);
  std::uniform_real_distribution<double> u(0, 1);
  for (const double r : {4.0, 6.5, 17.0, 60.0, 205.0})
    for (const bool mirror : {false, true}) {
      const double turn = 2 * kPi * u(rng), c = 1.05 * std::cos(turn), s = 1.05 * std::sin(turn);
      const vcMatrix<2> m = mirror ? vcMatrix<2>(c, s, s, -c) : vcMatrix<2>(c, -s, s, c);
      const vcXform<2> x(m, V(kSide / 2 + 4 * u(rng), kSide / 2 + 4 * u(rng)));
      synth_ref::Outline exact;
      synth_ref::arc(exact, {0, 0}, r, 0, 2 * kPi);
      exact = synth_ref::map(exact, [&](synth_ref::Pt p) {
        const V q = x * V(p.x, p.y);
        return synth_ref::Pt{q.x(), q.y()};
      });
      vcPelBuffer<unsigned char> img(kSide, kSide);
      vcSMDGDPolyPrivate::drawSynthetic(vcSMDGDPoly::circle(r, V(0, 0)), x, img, 255, true, true);
      EXPECT_LE(worstError(img, synth_ref::coverage(exact, kSide, kSide)), 0.53)
          << "radius " << r << (mirror ? ", mirrored" : "");
    }
}
