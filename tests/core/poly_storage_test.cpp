// Polygons and polylines refilled in place (assign, map into): the same
// shapes as the building forms give, their storage kept, and refusals that
// change nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <vc/core/exception.h>
#include <vc/core/poly.h>

namespace {

using V = vcVector<2>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<V> randomPoints(std::mt19937& rng, std::size_t n) {
  std::uniform_real_distribution<double> d(-100, 100);
  std::vector<V> v(n);
  for (V& p : v) p = V(d(rng), d(rng));
  return v;
}

vcXform<2> randomXform(std::mt19937& rng) {
  std::uniform_real_distribution<double> d(-3, 3);
  return vcXform<2>(vcMatrix<2>(d(rng), d(rng), d(rng), d(rng)), V(d(rng), d(rng)));
}

// The polygon and polyline forms under one interface.
struct PolygonForm {
  using S = vcPolygon;
  static S make(const std::vector<V>& v, int flag) { return S(v, static_cast<vcPolygon::PolyFillMode>(flag)); }
  static void assign(S& s, const std::vector<V>& v, int flag) { s.assign(v, static_cast<vcPolygon::PolyFillMode>(flag)); }
  static const std::vector<V>& points(const S& s) { return s.vertices(); }
};
struct PolylineForm {
  using S = vcPolyline;
  static S make(const std::vector<V>& v, int flag) { return S(v, flag != 0); }
  static void assign(S& s, const std::vector<V>& v, int flag) { s.assign(v, flag != 0); }
  static const std::vector<V>& points(const S& s) { return s.points(); }
};

template <class F>
void checkForm() {
  using S = typename F::S;
  std::mt19937 rng(11);
  S into = F::make(randomPoints(rng, 12), 1);  // room for every later shape
  for (int trial = 0; trial < 40; ++trial) {
    const std::vector<V> v = randomPoints(rng, static_cast<std::size_t>(trial % 9));
    const int flag = trial % 2;
    const vcXform<2> x = randomXform(rng);
    const S want = F::make(v, flag);
    const V* storage = F::points(into).data();

    F::assign(into, v, flag);
    EXPECT_EQ(into, want) << trial;
    if (!v.empty()) {
      EXPECT_EQ(F::points(into).data(), storage) << trial;
    }
    want.map(x, into);
    EXPECT_EQ(into, want.map(x)) << trial;
    S self = want;
    self.map(x, self);  // into itself
    EXPECT_EQ(self, want.map(x)) << trial;
  }

  // Refusals leave the target as it was, storage included.
  const S before = into;
  const V* storage = F::points(into).data();
  const std::vector<V> notFinite{V(1, 2), V(kNaN, 0), V(3, 4)};
  EXPECT_THROW(F::assign(into, notFinite, 0), vcShapesError::BadGeom);
  const S far = F::make({V(1e300, 1e300), V(0, 0)}, 0);
  EXPECT_THROW(far.map(vcXform<2>(vcMatrix<2>(1e10, 0, 0, 1e10), V(0, 0)), into), vcShapesError::BadGeom);
  EXPECT_EQ(into, before);
  EXPECT_EQ(F::points(into).data(), storage);
}

TEST(PolyStorage, RefilledInPlaceAsBuiltAndRefusalsChangeNothing) {
  checkForm<PolygonForm>();
  checkForm<PolylineForm>();
  vcPolygon p({V(0, 0), V(1, 0), V(0, 1)}, vcPolygon::eWinding);
  const vcPolygon before = p;
  EXPECT_THROW(p.assign({V(5, 5)}, static_cast<vcPolygon::PolyFillMode>(2)), vcShapesError::BadGeom);
  EXPECT_EQ(p, before);
}

}  // namespace
