// Profile tolerance zones: membership and reports against distances worked out by hand, the band drawn on a
// tablet, and the band mask's coverage against the zone's exact area.
#include <vc/core/poly.h>
#include <vc/glist.h>
#include <vc/wrfm/smdzone.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/recording_scope.h"
#include "support/smd_outline_ref.h"

namespace {

using V = vcVector<2>;
constexpr double kPi = std::numbers::pi;
using smd_ref::evenOdd;

// A 10 x 4 body at the origin and an open stroke from (20, 0) to (30, 0).
vcSMDGDModel model() {
  vcSMDGDPoly stroke;
  stroke << vcSMDGDPolyVertex(V(20, 0), 0.5, 0.5, -1) << vcSMDGDPolyVertex(V(30, 0), 0.5, 0.5, -1);
  vcSMDGDModel m("m");
  m << vcSMDGDPoly::rectangle(10, 4, V(0, 0)) << stroke;
  return m;
}

}  // namespace

TEST(SMDToleranceZoneTest, MembershipAndReportFollowTheDistanceToTheNominal) {
  const vcSMDToleranceZone z(model(), 0.4);
  EXPECT_EQ(z.inner().numPolys(), 1);  // the stroke has no inner outline
  EXPECT_EQ(z.outer().numPolys(), 2);
  struct Row {
    V p;
    double dev;
  };
  for (const Row& r : {Row{V(5.15, 0), 0.15}, Row{V(5.25, 1), 0.25}, Row{V(0, 1.85), -0.15}, Row{V(0, 1.75), -0.25},
                       Row{V(5.1, 2.1), 0.1 * std::sqrt(2.0)}, Row{V(25, 0.2), 0.2}, Row{V(31, 0), 1.0},
                       Row{V(12, 0), 7.0}}) {
    EXPECT_NEAR(z.deviation(r.p), r.dev, 1e-12) << r.p;
    EXPECT_EQ(z.inZone(r.p), std::abs(r.dev) <= 0.2) << r.p;
  }
  const auto rep = z.report({V(5.1, 0), V(5.3, 0), V(0, 1.9), V(-5.0, 0)});
  EXPECT_EQ(rep.count, 4);
  EXPECT_EQ(rep.inside, 3);
  EXPECT_DOUBLE_EQ(rep.fractionInside, 0.75);
  EXPECT_NEAR(rep.worstDeviation, 0.3, 1e-12);
  EXPECT_EQ(rep.worstIndex, 1);
  EXPECT_EQ(rep.worstPoint, V(5.3, 0));
  EXPECT_EQ(z.report({}).worstIndex, -1);
  EXPECT_THROW(vcSMDToleranceZone(model(), 0.0), vcShapesError::BadGeom);
}

// Mask pixels add up to the band's area: outer (10.4 x 4.4 less its rounded corners, plus the stroke's band)
// minus inner (9.6 x 3.6), at 10 pixels per unit; the most and least material images to the outer and inner areas.
TEST(SMDToleranceZoneTest, SyntheticBandAndMaterialImagesCoverTheExactAreas) {
  const vcSMDToleranceZone z(model(), 0.4);
  const vcXform<2> x(vcMatrix<2>(10, 0, 0, 10), V(80, 50));
  const double body = 10.4 * 4.4 - (4 - kPi) * 0.04, stroke = 0.4 * 10 + kPi * 0.04, inner = 9.6 * 3.6;
  const auto sum = [](vcPelBuffer<unsigned char>& im) {
    double s = 0;
    for (long j = 0; j < im.height(); ++j)
      for (long i = 0; i < im.width(); ++i) s += *im.pointToPel(i, j);
    return s / 255.0 / 100.0;
  };
  vcPelBuffer<unsigned char> band(400, 100), most(400, 100), least(400, 100);
  z.drawBandSynthetic(x, band, 255, 0);
  z.drawMaxMaterialSynthetic(x, most, 255, 0);
  z.drawMinMaterialSynthetic(x, least, 255, 0);
  EXPECT_NEAR(sum(band), body + stroke - inner, 0.05);
  EXPECT_NEAR(sum(most), body + stroke, 0.02);
  EXPECT_NEAR(sum(least), inner, 0.02);
  EXPECT_EQ(*band.pointToPel(80, 50), 0);      // the body's middle
  EXPECT_EQ(*band.pointToPel(80, 30), 255);    // on the edge y = -2
  EXPECT_EQ(*band.pointToPel(330, 50), 255);  // on the stroke

  // A cavity behind a mouth 2 wide: grown by 1.5 the mouth closes and the cavity stays a hole of the most material.
  vcSMDGDPoly bottle;
  for (V v : {V(0, 0), V(20, 0), V(20, 20), V(0, 20), V(0, 11), V(4, 11), V(4, 13), V(16, 13), V(16, 7), V(4, 7),
              V(4, 9), V(0, 9)})
    bottle << vcSMDGDPolyVertex(v, 0.5, 0.5, -1);
  bottle.close();
  vcSMDGDModel bm("bottle");
  bm << bottle;
  const vcSMDToleranceZone bz(bm, 3.0);
  ASSERT_EQ(bz.outer().numPolys(), 2);
  vcPelBuffer<unsigned char> grown(100, 100);
  bz.drawMaxMaterialSynthetic(vcXform<2>(vcMatrix<2>(4, 0, 0, 4), V(10, 10)), grown, 200, 20);
  EXPECT_EQ(*grown.pointToPel(50, 50), 20);  // the cavity's middle
  EXPECT_EQ(*grown.pointToPel(18, 18), 200);
  EXPECT_EQ(*grown.pointToPel(12, 50), 200);  // the closed mouth
}

TEST(SMDToleranceZoneTest, DrawsTheBandFilledUnderBothOutlines) {
  const vcSMDToleranceZone z(model(), 0.4);
  vcRecordingScope scope(vcPair<long>(0, 0), vcPair<long>(400, 100));
  vcUITablet tablet(&scope, nullptr);
  tablet.visible(true);
  const vcXform<2> x(vcMatrix<2>(10, 0, 0, 10), V(80, 50));
  z.draw(tablet, x, vcColor::greenColor(), vcColor::yellowColor(), vcUITablet::eImage);
  const auto polys = scope.calls("draw(vcPolygon)");
  ASSERT_EQ(polys.size(), 1u);
  EXPECT_TRUE(polys[0].props.fill());
  EXPECT_EQ(polys[0].props.penColor(), vcColor::yellowColor());
  const auto& ring = dynamic_cast<const vcPolygon&>(*polys[0].shape).vertices();
  EXPECT_TRUE(evenOdd(ring, x * V(5, 0)));
  EXPECT_TRUE(evenOdd(ring, x * V(25, 0.1)));
  EXPECT_FALSE(evenOdd(ring, x * V(0, 0)));
  EXPECT_FALSE(evenOdd(ring, x * V(5.3, 0)));
  EXPECT_GT(scope.log().size(), 1u);
  vcGraphicList list;
  z.draw(list, x, vcColor::greenColor(), vcColor::yellowColor());
  EXPECT_EQ(list.items().size(), 4u);  // the band, one inner and two outer outlines
}
