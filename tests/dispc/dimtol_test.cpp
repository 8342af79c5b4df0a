#include <vc/dimtol.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <tuple>

#include <vc/wrfm/smdpoly.h>


namespace {

using Dim = vcSMDDimension;
using P = vcSMDGDPolyPrivate;

}  // namespace

// (10, 9, 12) as limits is (1, 2) as offsets and (0.1, 0.2) as fractions;
// every form converts to every other and back, and unset stays unset.
TEST(DimTolTest, ConversionsInvertWheneverTheNominalIsSet) {
  const vcDimTol t(10, 9, 12, vcDimTol::eLimits);
  EXPECT_DOUBLE_EQ(t.minPerc(), 0.1);
  EXPECT_DOUBLE_EQ(t.maxOffset(), 2);
  EXPECT_EQ(vcDimTol(10, -1, 0.5, vcDimTol::eOffsets).minPerc(), -1);
  std::mt19937 rng(41);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const vcDimTol::TolType forms[] = {vcDimTol::eLimits, vcDimTol::eOffsets, vcDimTol::ePercentages};
  for (int i = 0; i < 300; ++i) {
    const double nom = std::pow(10.0, 6 * u(rng) - 3);
    const double lo = (i % 5 == 0) ? -1 : nom * (0.01 + 0.9 * u(rng));
    const double hi = (i % 7 == 0) ? -1 : nom * (1 + 2 * u(rng));
    const vcDimTol base(nom, lo, hi, vcDimTol::eLimits);
    for (auto from : forms) {
      vcDimTol a = base;
      a.tolType(from);
      EXPECT_NEAR(a.minDim(), lo, 1e-12 * nom);
      EXPECT_NEAR(a.maxDim(), hi, 1e-12 * nom);
      for (auto to : forms) {
        vcDimTol b = a;
        b.tolType(to);
        b.tolType(from);
        EXPECT_NEAR(b.minTol(), a.minTol(), 1e-12 * std::fabs(a.minTol()) + 1e-15);
        EXPECT_NEAR(b.maxTol(), a.maxTol(), 1e-12 * std::fabs(a.maxTol()) + 1e-15);
        EXPECT_EQ(b.tolType(), from);
      }
      // Through the dimension and back, in every form.
      const vcDimTol again = P::dimTol(Dim(a));
      EXPECT_EQ(again.tolType(), from);
      EXPECT_NEAR(again.maxTol(), a.maxTol(), 1e-12 * nom);
      EXPECT_NEAR(again.minTol(), a.minTol(), 1e-12 * nom);
    }
  }
  EXPECT_EQ(P::scaleType(static_cast<vcDimTol::TolType>(9)), Dim::eScaleNominal);
  EXPECT_EQ(P::tolType(static_cast<Dim::ScaleType>(3)), vcDimTol::eOffsets);
}

TEST(DimTolTest, ValidationFollowsTheStandInNominalAndFailuresChangeNothing) {
  EXPECT_NO_THROW(vcDimTol(-1, 1, 2, vcDimTol::eOffsets));
  EXPECT_NO_THROW(vcDimTol(-1, 4, 6, vcDimTol::eLimits));
  const struct {
    double nom, min, max;
    vcDimTol::TolType type;
  } bads[] = {{-1, -1, 2, vcDimTol::eOffsets}, {-2, -1, -1, vcDimTol::eLimits}, {NAN, 1, 2, vcDimTol::eLimits},
              {10, 11, 12, vcDimTol::eLimits}};
  for (const auto& b : bads) EXPECT_THROW(vcDimTol(b.nom, b.min, b.max, b.type), vcShapesError::BadGeom) << b.nom;
  vcDimTol f(-1, 0.1, 0.2, vcDimTol::ePercentages);
  EXPECT_THROW(f.tolType(vcDimTol::eLimits), vcShapesError::BadGeom);
  EXPECT_EQ(f, vcDimTol(-1, 0.1, 0.2, vcDimTol::ePercentages));
  vcDimTol t(10, 9, 12, vcDimTol::eLimits);
  EXPECT_THROW(t.nomDim(13), vcShapesError::BadGeom);
  EXPECT_THROW(t.offsets(-3, 1), vcShapesError::BadGeom);
  EXPECT_EQ(t, vcDimTol(10, 9, 12, vcDimTol::eLimits));
  t.percentages(0.5, 0.25);
  EXPECT_DOUBLE_EQ(t.maxDim(), 12.5);
  // A dimension names the first rule it breaks.
  const struct {
    double nom, min, max;
    const char* message;
  } rules[] = {{5, 6, -1, "Nominal must be >= minimum"},          {-1, 2, -1, "Nominal must be set if minimum is > 0"},
               {0, -1, -1, "Nominal dimension must be > 0 or -1"}, {12, -1, 10, "Nominal must be <= maximum"},
               {-1, -1, 3, "Nominal must be set if maximum is >= 0"}, {5, -0.5, -1, "Minimum dimension must be > 0 or -1"},
               {5, -1, 0, "Maximum dimension must be > 0 or -1"},     {NAN, -1, -1, "Dimension values must be finite"}};
  for (const auto& r : rules) {
    Dim d(10, 9, 12, Dim::eScaleNone);
    try {
      d.set(r.nom, r.min, r.max, Dim::eScaleNominal);
      ADD_FAILURE() << r.message;
    } catch (const Dim::badDimensionValue& e) {
      EXPECT_EQ(e.string(), r.message);
    }
    EXPECT_EQ(d, Dim(10, 9, 12, Dim::eScaleNone));
  }
  EXPECT_NO_THROW(Dim(5, 5, 5, Dim::eScaleNone));
}

// isWithin includes the limits, withinTolerance excludes them, after scaling.
// A NaN measurement compares false with every limit, so without a check of
// its own it would pass any tolerance, even one without limits.
TEST(DimTolTest, IsWithinIsInclusiveAndWithinToleranceExclusiveAndNaNNeverPasses) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const vcDimTol lim(10, 9, 12, vcDimTol::eLimits), lowOnly(10, 9, -1, vcDimTol::eLimits),
      open(10, -1, -1, vcDimTol::eOffsets), frac(10, 0.1, 0.2, vcDimTol::ePercentages);
  const struct {
    vcDimTol t;
    double scale, v;
    bool isWithin, withinTolerance;
  } rows[] = {{lim, 1, 9, true, false},        {lim, 1, 12, true, false},      {lim, 1, 10, true, true},
              {lim, 1, 12.0001, false, false}, {lim, 1, 8.9999, false, false},
              {lowOnly, 1, 1e300, true, true},  {lowOnly, 1, 8, false, false}, {open, 3, -5, true, true},
              {frac, 2, 18, true, false},       {frac, 2, 18.01, true, true},  // frac at 2 is (20, 18, 24)
              {lim, 1, nan, false, false},      {lowOnly, 2, nan, false, false}, {open, 1, nan, false, false},
              {open, 2, nan, false, false}};
  for (const auto& r : rows) {
    if (r.scale == 1) {
      EXPECT_EQ(r.t.isWithin(r.v), r.isWithin) << r.v;
    }
    EXPECT_EQ(Dim(r.t).withinTolerance(r.v, r.scale), r.withinTolerance) << r.v;
  }
}

TEST(DimTolTest, ScalingChangesWhatTheScaleTypeSaysAndLeavesUnsetValuesUnset) {
  const Dim::ScaleType No = Dim::eScaleNone, N = Dim::eScaleNominal, Pr = Dim::eScaleProportional;
  const struct {
    double s;
    Dim d, expected;
  } rows[] = {{2, Dim(10, 9, 12, N), Dim(20, 19, 22, N)},   {2, Dim(10, 9, 12, Pr), Dim(20, 18, 24, Pr)},
              {2, Dim(10, 9, 12, No), Dim(10, 9, 12, No)},   {2, Dim(10, -1, 12, Pr), Dim(20, -1, 24, Pr)},
              {2, Dim(10, 9, -1, Pr), Dim(20, 18, -1, Pr)},  {3, Dim(10, 9, -1, N), Dim(30, 29, -1, N)},
              {3, Dim(10, -1, 12, N), Dim(30, -1, 32, N)},   {2.5, Dim(-1, -1, -1, N), Dim(-1, -1, -1, N)},
              {2.5, Dim(-1, -1, -1, Pr), Dim(-1, -1, -1, Pr)}, {2, Dim(10, 9, 12, static_cast<Dim::ScaleType>(7)), Dim()}};
  for (const auto& r : rows) EXPECT_EQ(r.s * r.d, r.expected) << r.s;
  EXPECT_THROW(-1 * Dim(10, 9, 12, Dim::eScaleProportional), Dim::badDimensionValue);
  EXPECT_THROW(0 * Dim(10, -1, -1, Dim::eScaleNominal), Dim::badDimensionValue);
  // A tolerance scales its nominal only, unvalidated.
  const vcDimTol lim = 2 * vcDimTol(10, 9, 12, vcDimTol::eLimits);
  EXPECT_EQ(std::tuple(lim.nomDim(), lim.minTol(), lim.maxTol(), lim.tolType()),
            std::tuple(20.0, 9.0, 12.0, vcDimTol::eLimits));
  EXPECT_EQ(2 * vcDimTol(10, 0.1, 0.2, vcDimTol::ePercentages), vcDimTol(20, 0.1, 0.2, vcDimTol::ePercentages));
  EXPECT_EQ(2 * vcDimTol(), vcDimTol());
}

