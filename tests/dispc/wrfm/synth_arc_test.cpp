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
