// The contract every core shape keeps, one row per shape: archive and image
// round trips at their fixed layouts, malformed input rejected with the target
// unchanged, mapped bounds holding mapped samples, distances ~0 on the contour
// and bracketed off it, and sampling within its limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <vc/core/affinerect.h>
#include <vc/core/bezier.h>
#include <vc/core/circle.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/points.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/core/shapetree.h>
#include <vc/core/spline.h>

#include "support/archive_roundtrip.h"
#include "support/test_shapes.h"

namespace {

using vc_test::Bytes;
using V = vcVector<2>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A stored field: byte offset, width (1, 4 or 8 bytes) and value.
struct Field {
  std::size_t at;
  double value;
  int width = 8;
};

Bytes withField(Bytes b, const Field& f) {
  if (f.width == 8) return vc_test::withF64(std::move(b), f.at, f.value);
  if (f.width == 4) return vc_test::withU32(std::move(b), f.at, static_cast<std::uint32_t>(static_cast<std::int64_t>(f.value)));
  return vc_test::withU8(std::move(b), f.at, static_cast<std::uint8_t>(f.value));
}

double fieldOf(const Bytes& b, const Field& f) {
  if (f.width == 8) return vc_bytes::getF64(b.data() + f.at);
  if (f.width == 4) return static_cast<double>(static_cast<std::int32_t>(vc_bytes::get32(b.data() + f.at)));
  return b.at(f.at);
}

// The fixed byte image of a shape type.
struct Image {
  std::size_t size = 0;
  std::function<void(const vcShape&, unsigned char*)> write;
  std::function<vcShapeHandle(const unsigned char*)> read;
};

template <class S>
Image imageOf() {
  return {S::kImageSize, [](const vcShape& s, unsigned char* out) { dynamic_cast<const S&>(s).writeImage(out); },
          [](const unsigned char* in) { return vfShapeHandle(S::readImage(in)); }};
}

struct Row {
  std::string name;
  vcShapeHandle shape;
  std::vector<Field> pins;  // fields of the value archive (version bytes first)
  std::vector<Field> bad;   // each one alone makes the archive malformed
  Image image{};
  std::vector<Field> imagePins{};
  std::vector<Field> badImage{};
  std::vector<V> points{};  // where a shape without a contour lies
  std::vector<std::pair<std::size_t, std::size_t>> imageZero{};  // byte ranges an image leaves 0
};

// Rows print as their names in test listings and failure messages.
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

vcShapeHandle h(const vcShape& s) { return s.clone(); }

std::vector<Row> rows() {
  const vcEllipse ell(V(3, -2), V(5, 2), vcRadian(0.6));
  const vcEllipse inner(V(3, -2), V(2, 1), vcRadian(0.6));
  const vcEllipse half(V(3, -2), V(2.5, 1), vcRadian(0.6));  // a scaled copy: sections of it map exactly
  const vcGenRect gr(V(1.5, -2), vcMatrix<2>(3, -1, 0.25, 2), V(0.125, 1));
  const vcGenRect grIn(V(1.5, -2), vcMatrix<2>(0.9, -0.3, 0.075, 0.6), V(1, 1));
  const std::vector<V> zig{V(0, 0), V(4, 1), V(2, 5), V(-3, 2)};
  const vcLineSeg segA(V(1, 2), V(5, -1)), segB(V(-2, 0), V(-2, 7));
  // clang-format off
  std::vector<Row> all{
      {"Circle", h(vcCircle(V(1.5, -2.25), 7)), {{2, 1.5}, {10, -2.25}, {18, 7}}, {{18, -7}, {2, kNaN}}},
      {"Annulus", h(vcAnnulus(V(1, 1), 2, 5)), {{2, 1}, {18, 2}, {26, 5}}, {{18, 9}, {26, -1}, {10, kInf}}},
      {"Ellipse", h(ell), {{2, 3}, {10, -2}, {18, 5}, {26, 2}, {34, 0.6}, {42, 0, 1}, {43, 0, 1}},
       {{18, -1}, {42, 2, 1}, {43, 1, 1}, {34, kNaN}}, imageOf<vcEllipse>(),
       {{0, 3}, {8, -2}, {16, 5}, {24, 2}, {32, 0.6}, {40, 0, 1}, {41, 0, 1}},
       {{24, -2}, {0, kNaN}, {40, 7, 1}, {41, 1, 1}}},
      {"LeftHandedEllipse", h(vcEllipse(V(-1, 4), V(3, 0), vcRadian(2.0), true)), {{42, 1, 1}, {43, 1, 1}},
       {{43, 0, 1}}},
      {"Ellipse2", h(vcEllipse2(V(4, 1.5), vcRadian(-0.4), V(2, 3))), {{2, 4}, {10, 1.5}, {18, -0.4}, {26, 2}, {34, 3}},
       {{2, -1}, {34, kNaN}}},
      {"EllipseAnnulus", h(vcEllipseAnnulus(inner, ell)), {{18, 2}, {60, 5}}, {{18, 30}, {60, 1}}},
      {"EllipseArc", h(vcEllipseArc(ell, vcRadian(0.5), vcRadian(-4))), {{18, 5}, {44, 0.5}, {52, -4}},
       {{52, kInf}, {18, -3}}, imageOf<vcEllipseArc>(), {{16, 5}, {176, 0.5}, {184, -4}}, {{184, kNaN}, {40, 3, 1}}},
      {"EllipseArc2", h(vcEllipseArc2(V(4, 2), vcRadian(0.3), V(1, 1), false, vcRadian(0.2), vcRadian(1), vcRadian(2.5))),
       {{2, 4}, {18, 0.3}, {26, 1}, {42, 0, 1}, {43, 0.2}, {51, 1}, {59, 2.5}}, {{2, -3}, {59, kNaN}}},
      {"EllipseAnnulusSection", h(vcEllipseAnnulusSection(half, ell, vcRadian(0.25), vcRadian(2), true)),
       {{18, 5}, {60, 2.5}, {86, 0.25}, {94, 2}, {102, 1, 1}}, {{60, 9}, {94, kNaN}},
       imageOf<vcEllipseAnnulusSection>(), {{16, 5}, {192, 2.5}, {352, 0.25}, {360, 2}},
       {{200, -1}, {16, 1e-3}, {369, 1, 1}, {368, 2, 1}}},
      {"GenRect", h(gr), {{2, 1.5}, {10, -2}, {18, 3}, {26, -1}, {34, 0.25}, {42, 2}, {50, 0.125}, {58, 1}},
       {{50, -0.5}, {58, 1.5}, {18, kNaN}}, imageOf<vcGenRect>(),
       {{0, 1.5}, {8, -2}, {16, 3}, {24, -1}, {32, 0.25}, {40, 2}, {48, 6.25}, {56, 0.125}, {64, 1}},
       {{64, 1.5}, {24, kNaN}}},
      {"GenAnnulus", h(vcGenAnnulus(grIn, gr)), {{18, 0.9}, {66 + 16, 3}}, {{18, 30}, {66 + 48, -0.5}},
       imageOf<vcGenAnnulus>(), {{16, 0.9}, {124 + 16, 3}}, {{16, 30}}},
      {"Rect", h(vcRect(1.25, -3, 4, 2.5)), {{2, 1.25}, {10, -3}, {18, 4}, {26, 2.5}}, {{2, kNaN}, {26, kInf}},
       imageOf<vcRect>(), {{8, 1.25}, {16, -3}, {24, 4}, {32, 2.5}}, {{8, kNaN}}},
      {"AffineRectangle", h(vcAffineRectangle(V(1.25, -3), V(4, 2.5), V(0.5, 3e8))),
       {{2, 1.25}, {10, -3}, {18, 4}, {26, 2.5}, {34, 0.5}, {42, 3e8}}, {{10, kInf}}, imageOf<vcAffineRectangle>(),
       {{56, 1.25}, {64, -3}, {72, 4}, {80, 2.5}, {88, 0.5}, {96, 3e8}}, {{80, kNaN}}},
      {"LineSeg", h(segA), {{2, 1}, {10, 2}, {18, 5}, {26, -1}}, {{18, kNaN}, {2, kInf}}},
      {"LineSegSet", h(vcLineSegSet({segA, segB})), {{2, 2, 4}, {6, 1}, {22, 5}, {38, -2}, {62, 7}},
       {{22, kNaN}, {54, kInf}, {2, 0xFFFFFFFFu, 4}}},
      {"Polygon", h(vcPolygon(zig, vcPolygon::eWinding)), {{2, 1, 4}, {6, 4, 4}, {10, 0}, {26, 4}, {42, 2}},
       {{2, 2, 4}, {6, 0x10000000, 4}, {18, kNaN}}},
      {"Polyline", h(vcPolyline(zig, true)), {{2, 4, 4}, {6, 0}, {22, 4}, {70, 1, 1}}, {{70, 2, 1}, {22, kInf}}},
      {"Bezier", h(vcBezierCurve(V(0, 0), V(1, 4), V(5, 4), V(6, -1), 1, 2, 0.5, 1)),
       {{2, 0}, {18, 1}, {26, 4}, {50, 6}, {66, 1}, {74, 2}, {82, 0.5}, {90, 1}}, {{74, 0}, {82, -1}, {34, kNaN}}},
      {"DeBoorSpline", h(vcDeBoorSpline({V(0, 0), V(2, 3), V(5, 3), V(7, 0), V(9, -2)})),
       {{2, 0, 1}, {3, 5, 4}, {23, 2}, {31, 3}}, {{3, 2, 4}, {7, kNaN}, {2, 2, 1}}},
      {"InterpSpline", h(vcInterpSpline(zig, true)), {{2, 1, 1}, {3, 4, 4}, {23, 4}}, {{3, 2, 4}, {23, kInf}}},
      {"HermiteSpline", h(vcHermiteSpline({V(0, 0), V(4, 1), V(6, 5)}, {V(1, 0), V(0, 2), V(-1, 1)})),
       {{2, 0, 1}, {3, 3, 4}, {7, 0}, {39, 6}, {47, 5}, {55, 3, 4}, {59, 1}}, {{55, 2, 4}, {67, kNaN}}},
      {"Point", h(vc2Point(V(2.5, -1))), {{2, 2.5}, {10, -1}}, {{2, kInf}}, {}, {}, {}, {V(2.5, -1)}},
      {"PointSet", h(vcPointSet(zig)), {{2, 4, 4}, {6, 0}, {22, 4}}, {{22, kNaN}, {2, 0x10000000, 4}}, {}, {}, {},
       zig},
      {"Cross", h(vcCross(V(1, -2), vcRadian(0.75), 9)), {{2, 1}, {10, -2}, {18, 0.75}, {26, 9, 4}},
       {{26, -1, 4}, {18, kNaN}}, imageOf<vcCross>(), {{0, 1}, {8, -2}, {16, 0.75}, {24, 9, 4}},
       {{24, -1, 4}, {8, kInf}}, {V(1, -2)}},
      {"CoordAxes", h(vcCoordAxes(V(1, 1), V(4, 2), V(0, 5))), {{2, 1}, {18, 4}, {26, 2}, {34, 0}, {42, 5}},
       {{42, kNaN}}},
      {"Line", h(vcLine(V(0.6, 0.8), V(1, 2))), {{2, 0.6}, {10, 0.8}, {18, 1}, {26, 2}}, {{2, 2.0}, {26, kNaN}}, {},
       {}, {}, {V(1, 2), V(7, 10), V(-5, -6)}},
      {"FLine", h(vcFLine(V(0.6, 0.8), 5)), {{2, 0.6}, {10, 0.8}, {18, 5}}, {{2, 0.5}, {18, kInf}}, {}, {}, {},
       {V(3, 4), V(7, 1), V(-1, 7)}},
      // Hard cases for sampling and bounds: a needle-thin ellipse, and curves
      // with a cusp, a heavy weight and a loop.
      {"ThinEllipse", h(vcEllipse(V(1, 2), V(10, 1e-2), vcRadian(0.3))), {}, {}},
      {"CuspBezier", h(vcBezierCurve(V(0, 0), V(10, 10), V(0, 10), V(10, 0))), {}, {}},
      {"HeavyBezier", h(vcBezierCurve(V(0, 0), V(1, 40), V(30, 4), V(6, -1), 1, 1e3, 1, 1)), {}, {}},
      {"LoopBezier", h(vcBezierCurve(V(0, 0), V(20, 10), V(-10, 10), V(0, 0))), {}, {}},
      {"ContourTree",
       h(vcContourTree({vcShapeHandle_const(segA.clone()), vcShapeHandle_const(vcLineSeg(V(5, -1), V(1, 2)).clone())},
                       true)), {}, {}},
      {"MappedShape", h(vcMappedShape(vcShapeHandle_const(vcCircle(V(1, 1), 2).clone()), vcXform<2>::scale(2, 0.5))),
       {}, {}},
  // clang-format on
  };
  // Bytes of the fixed images that carry no field.
  const std::vector<std::pair<std::string, std::vector<std::pair<std::size_t, std::size_t>>>> zero{
      {"Ellipse", {{42, 48}}},      {"EllipseAnnulusSection", {{369, 500}}}, {"GenRect", {{72, 124}}},
      {"GenAnnulus", {{248, 284}}}, {"Rect", {{0, 8}, {40, 60}}},           {"AffineRectangle", {{0, 56}, {104, 204}}},
      {"Cross", {{28, 32}}}};
  for (Row& r : all)
    for (const auto& [name, ranges] : zero)
      if (r.name == name) r.imageZero = ranges;
  return all;
}

class ShapeContract : public testing::TestWithParam<Row> {};

// A default-made object of the row's type, through the class factory.
vcShapeHandle fresh(const vcShape& s) {
  vcPersistent* made = vc_Instantiator::create(s.className());
  auto* shape = dynamic_cast<vcShape*>(made);
  if (!shape) delete made;
  return vcShapeHandle(shape);
}

TEST_P(ShapeContract, ArchiveRoundTripsAtItsLayoutAndMalformedInputChangesNothing) {
  const Row& row = GetParam();
  const vcShape& s = *row.shape;
  ASSERT_TRUE(*s.clone() == s);
  EXPECT_TRUE(*vc_test::handleRoundTrip(s) == s);

  vcShapeHandle keep = s.clone();
  const Bytes bytes = vc_test::archiveBytes(static_cast<vcPersistent&>(*keep));
  for (const Field& f : row.pins) EXPECT_EQ(fieldOf(bytes, f), f.value) << "field at " << f.at;

  const vcShapeHandle blank = fresh(s);
  ASSERT_TRUE(blank) << s.className() << " is not registered";
  vcShapeHandle target = fresh(s);
  vc_test::loadInto(bytes, *target);
  EXPECT_TRUE(*target == s);

  auto rejected = [&](const Bytes& b, const std::string& what) {
    vcShapeHandle t = fresh(s);
    EXPECT_THROW(vc_test::loadInto(b, *t), vcArchive::Errors) << what;
    EXPECT_TRUE(*t == *blank) << what << " changed the target";
  };
  for (std::size_t n = 0; n < bytes.size(); ++n) rejected(Bytes(bytes.begin(), bytes.begin() + n), "cut at " + std::to_string(n));
  for (const Field& f : row.bad) rejected(withField(bytes, f), "bad field at " + std::to_string(f.at));
  vcShapeHandle t = fresh(s);
  EXPECT_THROW(vc_test::loadInto(vc_test::withU8(bytes, 0, 1), *t), vcArchive::UnknownVersion);
}

class ImageContract : public testing::TestWithParam<Row> {};

TEST_P(ImageContract, ImageRoundTripsAtItsLayoutAndBadImagesAreRefused) {
  const Row& row = GetParam();
  std::vector<unsigned char> img(row.image.size + 1, 0xAB);
  row.image.write(*row.shape, img.data());
  EXPECT_EQ(img.back(), 0xAB) << "wrote past the image";
  img.pop_back();
  EXPECT_TRUE(*row.image.read(img.data()) == *row.shape);
  for (const Field& f : row.imagePins) EXPECT_EQ(fieldOf(img, f), f.value) << "image field at " << f.at;
  for (const auto& [from, to] : row.imageZero)
    for (std::size_t k = from; k < to; ++k) EXPECT_EQ(img[k], 0) << "image byte " << k;
  for (const Field& f : row.badImage) {
    const Bytes bad = withField(img, f);
    EXPECT_THROW(row.image.read(bad.data()), vcShapesError::Errors) << "image field at " << f.at;
  }
}

double boxDistance(const vcRect& b, const V& p) {
  const double dx = std::max({b.x() - p.x(), 0.0, p.x() - (b.x() + b.width())});
  const double dy = std::max({b.y() - p.y(), 0.0, p.y() - (b.y() + b.height())});
  return std::hypot(dx, dy);
}

TEST_P(ShapeContract, MappedBoundsHoldMappedSamplesAndDistancesVanishOnlyThere) {
  const Row& row = GetParam();
  std::vector<V> pts = row.points;
  if (pts.empty()) vc_test::contourSamples(*row.shape, pts);
  ASSERT_FALSE(pts.empty());
  for (const vcXform<2>& x : vc_test::everyKindOfMap()) {
    const vcShapeHandle m = row.shape->mapShape(x);
    std::vector<V> mapped;
    for (const V& p : pts) mapped.push_back(x.mapPoint(p));
    double scale = 1.0;
    for (const V& p : mapped) scale = std::max({scale, std::fabs(p.x()), std::fabs(p.y())});
    for (const V& p : mapped) EXPECT_LE(m->distanceToPoint(p), 1e-7 * scale) << row.name << " at " << p.x() << ", " << p.y();
    if (!m->isFinite()) continue;
    const vcRect box = m->boundingBox();
    const double slack = 1e-9 * scale;
    vcRect held;
    for (const V& p : mapped) {
      EXPECT_GE(p.x(), box.x() - slack);
      EXPECT_GE(p.y(), box.y() - slack);
      EXPECT_LE(p.x(), box.x() + box.width() + slack);
      EXPECT_LE(p.y(), box.y() + box.height() + slack);
      held.enclose(p);
    }
    // Tight: the samples reach every side (chords stray 1e-3 from the curve).
    const double reach = 2e-3 * scale;
    EXPECT_NEAR(held.x(), box.x(), reach) << row.name;
    EXPECT_NEAR(held.y(), box.y(), reach) << row.name;
    EXPECT_NEAR(held.x() + held.width(), box.x() + box.width(), reach) << row.name;
    EXPECT_NEAR(held.y() + held.height(), box.y() + box.height(), reach) << row.name;
    // Off the shape: no nearer than its box, no farther than its nearest sample.
    const V c(box.x() + box.width() / 2, box.y() + box.height() / 2);
    const double far = box.width() + box.height() + 1.0;
    for (int k = 0; k < 8; ++k) {
      const V p = c + V(std::cos(0.8 * k + 0.1), std::sin(0.8 * k + 0.1)) * far;
      double nearest = std::numeric_limits<double>::infinity();
      for (const V& q : mapped) nearest = std::min(nearest, (p - q).len());
      const double d = m->distanceToPoint(p);
      EXPECT_GT(d, 0.0);
      EXPECT_GE(d, boxDistance(box, p) - slack);
      EXPECT_LE(d, nearest + 1e-3 * scale);
    }
  }
}

// Distance from p to the polyline through pts.
double polylineDistance(const std::vector<V>& pts, const V& p) {
  double best = pts.empty() ? std::numeric_limits<double>::infinity() : (p - pts.front()).len();
  for (std::size_t i = 1; i < pts.size(); ++i) {
    const V d = pts[i] - pts[i - 1];
    const double t = d.len2() > 0 ? std::clamp((p - pts[i - 1]).dot(d) / d.len2(), 0.0, 1.0) : 0.0;
    best = std::min(best, (pts[i - 1] + d * t - p).len());
  }
  return best;
}

std::vector<V> sampled(const vcShape& s, const vcShape::vcSampleParams& params) {
  std::vector<V> pts;
  s.sample(params, pts);
  return pts;
}

TEST_P(ShapeContract, SamplingHonoursToleranceSpacingPointLimitsAndTheEnd) {
  const vcShape& s = *GetParam().shape;
  if (!s.isOpenContour() && !s.isClosedContour()) return;
  const vcRect box = s.boundingBox();
  const double size = std::max(1.0, std::hypot(box.width(), box.height()));
  const double tol = 1e-3 * size;
  const std::vector<V> pts = sampled(s, vcShape::vcSampleParams(tol));
  const std::vector<V> dense = sampled(s, vcShape::vcSampleParams(1e-7 * size));
  ASSERT_GE(pts.size(), 2u);
  if (s.isOpenContour()) {
    EXPECT_EQ(pts.front(), s.startPoint());
    EXPECT_EQ(pts.back(), s.endPoint());
  } else {
    EXPECT_EQ(pts.front(), pts.back());
  }
  for (std::size_t k = 1; k < pts.size(); ++k)
    EXPECT_LE(polylineDistance(dense, (pts[k] + pts[k - 1]) * 0.5), tol * (1 + 1e-6)) << "chord " << k;

  const double spacing = 0.05 * size;
  const std::vector<V> spaced = sampled(s, vcShape::vcSampleParams(0.0, spacing));
  for (std::size_t k = 1; k < spaced.size(); ++k) EXPECT_LE((spaced[k] - spaced[k - 1]).len(), spacing * (1 + 1e-9));
  EXPECT_GE(sampled(s, vcShape::vcSampleParams(size, 0.0, 50)).size(), 50u);

  vcShape::vcSampleParams capped(1e-9 * size);
  const std::size_t free = sampled(s, capped).size();
  capped.maxPoints(9);
  const std::vector<V> few = sampled(s, capped);
  EXPECT_EQ(few.size(), std::min<std::size_t>(free, 9u));
  EXPECT_EQ(few.front(), pts.front());
  EXPECT_EQ(few.back(), pts.back());

  std::vector<V> open = sampled(s, vcShape::vcSampleParams(tol, 0.0, 2, false, false));
  open.push_back(pts.back());
  EXPECT_EQ(open, pts);
}

std::vector<Row> imageRows() {
  std::vector<Row> r = rows();
  r.erase(std::remove_if(r.begin(), r.end(), [](const Row& row) { return row.image.size == 0; }), r.end());
  return r;
}

std::string rowName(const testing::TestParamInfo<Row>& p) { return p.param.name; }

INSTANTIATE_TEST_SUITE_P(CoreShapes, ShapeContract, testing::ValuesIn(rows()), rowName);
INSTANTIATE_TEST_SUITE_P(CoreShapes, ImageContract, testing::ValuesIn(imageRows()), rowName);

}  // namespace
