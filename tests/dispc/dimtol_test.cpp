#include <vc/dimtol.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/wrfm/smdpoly.h>

namespace {

using Dim = vcSMDDimension;

template <class T>
std::vector<unsigned char> store(T v) {
  vcBufferArchive out(vcArchive::eStore);
  out || v;
  return out.bytes();
}

template <class T>
T load(const std::vector<unsigned char>& bytes, T target) {
  vcBufferArchive in(bytes);
  in || target;
  return target;
}

std::string messageOf(double nom, double min, double max) {
  try {
    Dim(nom, min, max, Dim::eScaleNone);
  } catch (const Dim::badDimensionValue& e) {
    return e.string();
  }
  return "";
}

}  // namespace

TEST(DimTolTest, ConvertsBetweenForms) {
  const vcDimTol t(10, 9, 12, vcDimTol::eLimits);
  EXPECT_DOUBLE_EQ(t.minOffset(), 1);
  EXPECT_DOUBLE_EQ(t.maxOffset(), 2);
  EXPECT_DOUBLE_EQ(t.minPerc(), 0.1);
  EXPECT_DOUBLE_EQ(t.maxPerc(), 0.2);
  EXPECT_EQ(t.minDim(), 9);
  vcDimTol u = t;
  u.tolType(vcDimTol::eOffsets);
  EXPECT_EQ(u, vcDimTol(10, 1, 2, vcDimTol::eOffsets));
  u.tolType(vcDimTol::eLimits);
  EXPECT_EQ(u, t);
  // An unset tolerance stays unset in every form.
  const vcDimTol unset;
  EXPECT_EQ(unset.minDim(), -1);
  EXPECT_EQ(vcDimTol(10, -1, 0.5, vcDimTol::eOffsets).minPerc(), -1);
}

// Every form converts to every other and back to the same values.
TEST(DimTolTest, ConversionsInvertWheneverTheNominalIsSet) {
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
      for (auto to : forms) {
        vcDimTol b = a;
        b.tolType(to);
        b.tolType(from);
        EXPECT_NEAR(b.minTol(), a.minTol(), 1e-12 * std::fabs(a.minTol()) + 1e-15);
        EXPECT_NEAR(b.maxTol(), a.maxTol(), 1e-12 * std::fabs(a.maxTol()) + 1e-15);
        EXPECT_EQ(b.tolType(), from);
        EXPECT_NEAR(b.minDim(), base.minDim(), 1e-12 * nom);
      }
    }
    // The dimension and back.
    const vcDimTol again = vcSMDGDPolyPrivate::dimTol(vcSMDDimension(base));
    EXPECT_EQ(again.tolType(), vcDimTol::eLimits);
    EXPECT_NEAR(again.maxTol(), base.maxTol(), 1e-12 * nom);
  }
}

TEST(DimTolTest, ValidationFollowsTheStandInNominal) {
  EXPECT_NO_THROW(vcDimTol(-1, 1, 2, vcDimTol::eOffsets));
  EXPECT_THROW(vcDimTol(-1, -1, 2, vcDimTol::eOffsets), vcShapesError::BadGeom);
  const vcDimTol frac(-1, 0.1, 0.2, vcDimTol::ePercentages);
  EXPECT_THROW(frac.minDim(), vcShapesError::BadGeom);
  vcDimTol f = frac;
  EXPECT_THROW(f.tolType(vcDimTol::eLimits), vcShapesError::BadGeom);
  EXPECT_EQ(f, frac);
  EXPECT_THROW(vcDimTol(-2, -1, -1, vcDimTol::eLimits), vcShapesError::BadGeom);
  EXPECT_THROW(vcDimTol(10, 11, 12, vcDimTol::eLimits), vcShapesError::BadGeom);
  EXPECT_THROW(vcDimTol(NAN, 1, 2, vcDimTol::eLimits), vcShapesError::BadGeom);
  EXPECT_NO_THROW(vcDimTol(-1, 4, 6, vcDimTol::eLimits));

  vcDimTol t(10, 9, 12, vcDimTol::eLimits);
  EXPECT_THROW(t.nomDim(13), vcShapesError::BadGeom);
  EXPECT_THROW(t.limits(8, 7), vcShapesError::BadGeom);
  EXPECT_THROW(t.offsets(-3, 1), vcShapesError::BadGeom);
  EXPECT_EQ(t, vcDimTol(10, 9, 12, vcDimTol::eLimits));
  t.percentages(0.5, 0.25);
  EXPECT_EQ(t, vcDimTol(10, 0.5, 0.25, vcDimTol::ePercentages));
  EXPECT_DOUBLE_EQ(t.maxDim(), 12.5);
  t.offsets(20, 1, 3);
  EXPECT_DOUBLE_EQ(t.minDim(), 19);
}

TEST(DimTolTest, IsWithinIncludesTheLimitsAndWithinToleranceExcludesThem) {
  const vcDimTol t(10, 9, 12, vcDimTol::eLimits);
  struct Row {
    double v;
    bool isWithin, withinTolerance;
  } rows[] = {{9, true, false}, {12, true, false}, {10, true, true}, {12.0001, false, false}, {8.9999, false, false}};
  const Dim d(t);
  for (const Row& r : rows) {
    EXPECT_EQ(t.isWithin(r.v), r.isWithin) << r.v;
    EXPECT_EQ(d.withinTolerance(r.v, 1), r.withinTolerance) << r.v;
  }
  const vcDimTol lowOnly(10, 9, -1, vcDimTol::eLimits);
  EXPECT_TRUE(lowOnly.isWithin(1e300));
  EXPECT_FALSE(lowOnly.isWithin(8));
  const Dim open(10, -1, -1, Dim::eScaleNominal);
  for (double v : {-5.0, 0.0, 1e300}) EXPECT_TRUE(open.withinTolerance(v, 3));
  // The scale applies before the test: (10, 9, 12) proportional at 2 is (20, 18, 24).
  const Dim prop(10, 9, 12, Dim::eScaleProportional);
  EXPECT_FALSE(prop.withinTolerance(18, 2));
  EXPECT_TRUE(prop.withinTolerance(18.01, 2));
  EXPECT_FALSE(prop.withinTolerance(24, 2));
}

TEST(DimTolTest, DimensionRulesNameTheFirstBrokenOne) {
  EXPECT_EQ(messageOf(5, 6, -1), "Nominal must be >= minimum");
  EXPECT_EQ(messageOf(-1, 2, -1), "Nominal must be set if minimum is > 0");
  EXPECT_EQ(messageOf(0, -1, -1), "Nominal dimension must be > 0 or -1");
  EXPECT_EQ(messageOf(12, -1, 10), "Nominal must be <= maximum");
  EXPECT_EQ(messageOf(-1, -1, 3), "Nominal must be set if maximum is >= 0");
  EXPECT_EQ(messageOf(5, -0.5, -1), "Minimum dimension must be > 0 or -1");
  EXPECT_EQ(messageOf(5, -1, 0), "Maximum dimension must be > 0 or -1");
  EXPECT_EQ(messageOf(NAN, -1, -1), "Dimension values must be finite");
  EXPECT_EQ(messageOf(5, 5, 5), "");
  Dim d(10, 9, 12, Dim::eScaleNone);
  EXPECT_THROW(d.set(12, -1, 10, Dim::eScaleNominal), Dim::badDimensionValue);
  EXPECT_EQ(d, Dim(10, 9, 12, Dim::eScaleNone));
}

TEST(DimTolTest, ScalingChangesWhatTheScaleTypeSaysAndLeavesUnsetValuesUnset) {
  EXPECT_EQ(2 * Dim(10, 9, 12, Dim::eScaleNominal), Dim(20, 19, 22, Dim::eScaleNominal));
  EXPECT_EQ(2 * Dim(10, 9, 12, Dim::eScaleProportional), Dim(20, 18, 24, Dim::eScaleProportional));
  EXPECT_EQ(2 * Dim(10, 9, 12, Dim::eScaleNone), Dim(10, 9, 12, Dim::eScaleNone));
  EXPECT_EQ(2 * Dim(10, -1, 12, Dim::eScaleProportional), Dim(20, -1, 24, Dim::eScaleProportional));
  EXPECT_EQ(3 * Dim(10, 9, -1, Dim::eScaleNominal), Dim(30, 29, -1, Dim::eScaleNominal));
  for (auto s : {Dim::eScaleNone, Dim::eScaleNominal, Dim::eScaleProportional}) {
    EXPECT_EQ(2.5 * Dim(-1, -1, -1, s), Dim(-1, -1, -1, s));
    EXPECT_TRUE(Dim(-1, -1, -1, s).withinTolerance(7, 4));
  }
  EXPECT_EQ(2 * Dim(10, 9, 12, static_cast<Dim::ScaleType>(7)), Dim());
  EXPECT_THROW(-1 * Dim(10, 9, 12, Dim::eScaleProportional), Dim::badDimensionValue);
  EXPECT_THROW(0 * Dim(10, -1, -1, Dim::eScaleNominal), Dim::badDimensionValue);
  // A tolerance scales its nominal only, unvalidated.
  const vcDimTol scaled = 2 * vcDimTol(10, 9, 12, vcDimTol::eLimits);
  EXPECT_EQ(scaled.nomDim(), 20);
  EXPECT_EQ(scaled.minTol(), 9);
  EXPECT_EQ(scaled.maxTol(), 12);
  EXPECT_EQ(scaled.tolType(), vcDimTol::eLimits);
  EXPECT_EQ(2 * vcDimTol(), vcDimTol());
  EXPECT_EQ(2 * vcDimTol(10, 0.1, 0.2, vcDimTol::ePercentages), vcDimTol(20, 0.1, 0.2, vcDimTol::ePercentages));
}

TEST(DimTolTest, TypesMapOneToOneAndEverythingElseToTheMiddle) {
  using P = vcSMDGDPolyPrivate;
  EXPECT_EQ(P::scaleType(vcDimTol::eLimits), Dim::eScaleNone);
  EXPECT_EQ(P::scaleType(vcDimTol::eOffsets), Dim::eScaleNominal);
  EXPECT_EQ(P::scaleType(vcDimTol::ePercentages), Dim::eScaleProportional);
  EXPECT_EQ(P::scaleType(static_cast<vcDimTol::TolType>(9)), Dim::eScaleNominal);
  EXPECT_EQ(P::tolType(Dim::eScaleNone), vcDimTol::eLimits);
  EXPECT_EQ(P::tolType(Dim::eScaleNominal), vcDimTol::eOffsets);
  EXPECT_EQ(P::tolType(Dim::eScaleProportional), vcDimTol::ePercentages);
  EXPECT_EQ(P::tolType(static_cast<Dim::ScaleType>(3)), vcDimTol::eOffsets);
  EXPECT_EQ(P::dimTol(Dim(10, 9, 12, Dim::eScaleNominal)), vcDimTol(10, 1, 2, vcDimTol::eOffsets));
  EXPECT_EQ(Dim(vcDimTol(10, 0.1, 0.2, vcDimTol::ePercentages)), Dim(10, 9, 12, Dim::eScaleProportional));
}

TEST(DimTolTest, ArchivesRoundTripAndRejectBadInputUnchanged) {
  const vcDimTol t(10, 0.5, 1.5, vcDimTol::eOffsets);
  const std::vector<unsigned char> tb = store(t);
  ASSERT_EQ(tb.size(), 1u + 24u + 4u);
  EXPECT_EQ(load(tb, vcDimTol()), t);
  // A scaled tolerance is stored and reloaded as it is, though invalid.
  const vcDimTol scaled = 2 * vcDimTol(10, 9, 12, vcDimTol::eLimits);
  EXPECT_EQ(load(store(scaled), vcDimTol()), scaled);
  auto odd = static_cast<vcDimTol::TolType>(0xDEADBEEF);
  EXPECT_EQ(load(store(odd), vcDimTol::eLimits), odd);

  const Dim d(10, 9, 12, Dim::eScaleProportional);
  const std::vector<unsigned char> db = store(d);
  ASSERT_EQ(db.size(), 1u + 24u + 1u);
  EXPECT_EQ(load(db, Dim()), d);

  auto rejected = [](auto initial, const std::vector<unsigned char>& bytes) {
    auto target = initial;
    vcBufferArchive in(bytes);
    EXPECT_THROW(in || target, vcException);
    EXPECT_EQ(target, initial);
  };
  const vcDimTol keepT(3, 2, 4, vcDimTol::eLimits);
  const Dim keepD(3, 2, 4, Dim::eScaleNominal);
  for (std::size_t n = 0; n < tb.size(); ++n) rejected(keepT, std::vector<unsigned char>(tb.begin(), tb.begin() + n));
  for (std::size_t n = 0; n < db.size(); ++n) rejected(keepD, std::vector<unsigned char>(db.begin(), db.begin() + n));
  std::vector<unsigned char> v = tb;
  v[0] = 0xFF;  // version -1
  try {
    vcDimTol target;
    vcBufferArchive in(v);
    in || target;
    ADD_FAILURE() << "version -1 accepted";
  } catch (const vcArchive::UnknownVersion& e) {
    EXPECT_EQ(e.source(), "dispc/dimtol");
  }
  rejected(keepT, v);
  v = db;
  v[0] = 1;
  rejected(keepD, v);
  // A nominal below its minimum, and a NaN, are refused on loading.
  std::vector<unsigned char> belowMin = db;
  const unsigned char one[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};  // 1.0, below the stored minimum 9
  std::copy(one, one + 8, belowMin.begin() + 1);
  rejected(keepD, belowMin);
  std::vector<unsigned char> nan = tb;
  for (int k = 0; k < 8; ++k) nan[9 + k] = 0xFF;
  rejected(keepT, nan);
}
