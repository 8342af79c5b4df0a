// Scopes: change tracking, sub-scopes and the pen; the image transfers the
// base class implements (run-length paths, pelExpand, pelScale) and the
// row copy kernels under them.
#include <vc/uiscope.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include <vc/core/cputype.h>
#include <vc/core/exception.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/pelcopy.h>

#include "support/recording_scope.h"

namespace {

using u8 = unsigned char;
using Modes = vcUITabletTypes::InterpolationModes;
using Scope = vcRecordingScope;

// The recording scope, keeping the images handed to the RLE draw and the
// 8-bit forms, and opening the buffer helpers to the tests.
class PixelScope : public vcRecordingScope {
public:
  using vcRecordingScope::draw;
  using vcRecordingScope::expand;
  using vcRecordingScope::sample;
  using vcRecordingScope::vcRecordingScope;
  using vcUIScope::nearestColor;
  using vcUIScope::pelExpand;
  using vcUIScope::pelScale;

  void draw(const vcRLEBuffer& img, const vcPoint& corner, const std::vector<u8>& map, bool passThrough,
            u8 passValue) override {
    runs.push_back(img);
    vcRecordingScope::draw(img, corner, map, passThrough, passValue);
  }
  void sample(const vcPelBuffer_const<u8>& img, const vcPoint& corner, const vcPair<double>& scale, bool passThrough,
              u8 passValue, bool mapped) override {
    pels.push_back(img.clone());
    vcRecordingScope::sample(img, corner, scale, passThrough, passValue, mapped);
  }
  void expand(const vcPelBuffer_const<u8>& img, const vcPoint& corner, const vcPair<double>& scale, bool passThrough,
              u8 passValue, bool mapped, Modes mode) override {
    pels.push_back(img.clone());
    vcRecordingScope::expand(img, corner, scale, passThrough, passValue, mapped, mode);
  }

  std::vector<vcRLEBuffer> runs;
  std::vector<vcPelBuffer<u8>> pels;
};

vcPelBuffer<u8> rows(const std::vector<std::vector<u8>>& v) {
  vcPelBuffer<u8> b(static_cast<long>(v[0].size()), static_cast<long>(v.size()));
  for (long y = 0; y < b.height(); ++y)
    for (long x = 0; x < b.width(); ++x)
      *b.pointToPel(x, y) = v[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
  return b;
}

// Random pixels of type T, in a window away from the storage origin. With
// runs, values repeat for a while, so that RLE images have runs of every length.
template <class T>
vcPelBuffer<T> randomImage(long w, long h, std::mt19937& rng, bool runs = true) {
  vcPelBuffer<T> b(vcRectangle<long>(-2, 3, w + 3, h + 1));
  T v{};
  const unsigned change = rng() % 2 == 0 ? 4 : 97;
  for (long y = 3; y < h + 4; ++y)
    for (long x = -2; x < w + 1; ++x) {
      if (!runs || rng() % change == 0) {
        const auto r = static_cast<unsigned>(rng());
        if constexpr (std::is_same_v<T, u8>)
          v = static_cast<u8>(runs ? r % 5 : r);
        else if constexpr (std::is_same_v<T, unsigned short>)
          v = static_cast<unsigned short>(r);
        else
          v = T(static_cast<u8>(r), static_cast<u8>(r >> 8), static_cast<u8>(r >> 16));
      }
      *b.pointToPel(x, y) = v;
    }
  b.window(vcRectangle<long>(-1, 4, w, h));
  return b;
}

template <class T>
const T& at(const vcPelBuffer_const<T>& b, long i, long j) {
  return *b.pointToPel(b.offset().x() + i, b.offset().y() + j);
}

long pick(std::mt19937& rng, long lo, long hi) {
  return lo + static_cast<long>(rng() % static_cast<unsigned>(hi - lo + 1));
}

// What pelExpand and pelScale must give: the scaled image (w x h) placed by
// offset from rect's corner, cut to rect; its pixel (x, y) shows source
// pixel (map(x), map(y)) with map(x) = trunc(x / scale).
template <class T>
void expectScaled(const vcPelBuffer_const<T>& src, bool made, const vcPelBuffer<T>& dst, const vcUIRect& got,
                  const vcUIRect& rect, const vcPair<long>& offset, long w, long h, double sx, double sy) {
  const vcUIRect placed(rect.left() + offset.x(), rect.top() + offset.y(), w, h);
  const vcUIRect want = placed & rect;
  ASSERT_EQ(made, !want.isNull());
  if (!made) return;
  ASSERT_EQ(got, want);
  ASSERT_EQ(dst.width(), want.width());
  ASSERT_EQ(dst.height(), want.height());
  for (long j = 0; j < want.height(); ++j)
    for (long i = 0; i < want.width(); ++i) {
      const auto x = static_cast<long>(static_cast<double>(want.left() + i - placed.left()) / sx);
      const auto y = static_cast<long>(static_cast<double>(want.top() + j - placed.top()) / sy);
      ASSERT_TRUE(at(dst, i, j) == at(src, x, y)) << "pixel " << i << ", " << j;
    }
}

struct Placement {
  vcUIRect rect;
  vcPair<long> offset;
};
Placement randomPlacement(std::mt19937& rng) {
  return {vcUIRect(pick(rng, -5, 5), pick(rng, -5, 5), pick(rng, 0, 90), pick(rng, 0, 40)),
          vcPair<long>(pick(rng, -30, 10), pick(rng, -12, 8))};
}

template <class T>
void checkExpand(unsigned seed) {
  std::mt19937 rng(seed);
  for (int trial = 0; trial < 150; ++trial) {
    const vcPelBuffer<T> src = randomImage<T>(pick(rng, 1, 23), pick(rng, 1, 9), rng);
    const long fx = pick(rng, 1, 5), fy = pick(rng, 1, 4);
    const Placement p = randomPlacement(rng);
    vcUIRect rect = p.rect;
    vcPelBuffer<T> dst;
    const bool made = PixelScope::pelExpand(src, dst, fx, fy, rect, p.offset);
    SCOPED_TRACE(testing::Message() << "trial " << trial << " factors " << fx << " x " << fy);
    expectScaled<T>(src, made, dst, rect, p.rect, p.offset, src.width() * fx, src.height() * fy,
                    static_cast<double>(fx), static_cast<double>(fy));
  }
}

// Columns x >= 0 with trunc(x / s) inside n source pixels, counted one by one.
long extent(long n, double s) {
  long x = 0;
  while (static_cast<long>(static_cast<double>(x) / s) < n) ++x;
  return x;
}

template <class T>
void checkScale(unsigned seed, long maxWidth = 20) {
  std::mt19937 rng(seed);
  constexpr bool smooths = std::is_same_v<T, u8> || std::is_same_v<T, vcPackedRGB32Pel>;
  for (double scale : {0.2, 0.25, 0.3, 1.0 / 3.0, 0.5, 0.7, 1.0, 1.5, 2.0, 2.5, 2.9999999, 3.0000001, 3.7}) {
    for (int trial = 0; trial < 25; ++trial) {
      const vcPelBuffer<T> src = randomImage<T>(pick(rng, 1, maxWidth), pick(rng, 1, 12), rng);
      const Placement p = randomPlacement(rng);
      // Reductions and 16-bit pixels never interpolate, whatever the mode.
      const Modes mode = smooths && scale > 1.0 ? vcUITabletTypes::eNoInterpolation : vcUITabletTypes::eBicubic;
      const double whole = std::round(scale), s = std::fabs(scale - whole) <= 1e-6 ? whole : scale;
      vcUIRect rect = p.rect;
      vcPelBuffer<T> dst;
      const bool made = PixelScope::pelScale(src, dst, scale, rect, p.offset, mode);
      SCOPED_TRACE(testing::Message() << "scale " << scale << " trial " << trial);
      expectScaled<T>(src, made, dst, rect, p.rect, p.offset, extent(src.width(), s), extent(src.height(), s), s, s);
    }
  }
}

}  // namespace

// Changes come in surface pixels; both rectangles read back in scope coordinates.
TEST(UIScope, ChangeIsClippedWhileClientRectKeepsTheReport) {
  Scope s(vcPair<long>(3, 4), vcPair<long>(100, 100));
  s.clientChangeEnable(true);
  s.change(vcUIRect(-5, -5, 10, 10), false);
  EXPECT_EQ(s.changeRect(), vcUIRect(3, 4, 5, 5));
  EXPECT_EQ(s.clientChangedRect(true), vcUIRect(-2, -1, 10, 10));
  EXPECT_FALSE(s.allChanged());
  EXPECT_TRUE(s.anyChanged());
  // A change entirely off the surface changes nothing but the client rect.
  s.noChange();
  s.change(vcUIRect(200, 200, 5, 5), true);
  EXPECT_FALSE(s.someChanged());
  EXPECT_EQ(s.clientChangedRect(false), vcUIRect(-2, -1, 210, 210));
  EXPECT_FALSE(s.clientChangeEnable());
  s.setDisplayClipRect(vcUIRect(1, 2, 3, 4));
  EXPECT_EQ(s.displayClipRect(), vcUIRect(1, 2, 3, 4));
  EXPECT_EQ(s.calls("newDisplayClipRect").at(0).rect, vcUIRect(1, 2, 3, 4));
}

// Two halves make the whole surface; opaque only with the hint.
TEST(UIScope, WholeSurfaceChangesAndTheTreeFlag) {
  Scope c(vcPair<long>(0, 0), vcPair<long>(20, 10));
  c.change(vcUIRect(0, 0, 20, 5), true);  // full width, not full height: no opaque hint
  EXPECT_FALSE(c.allChanged());
  c.change(vcUIRect(-1, 5, 30, 30), false);
  EXPECT_TRUE(c.allChanged());
  EXPECT_FALSE(c.opaque());

  Scope s(vcPair<long>(0, 0), vcPair<long>(50, 50), true);  // without a surface
  s.allChange();
  EXPECT_FALSE(s.someChanged());
  EXPECT_TRUE(s.allChanged());
  EXPECT_TRUE(s.anyChanged());
  EXPECT_EQ(s.clientChangedRect(true), vcUIRect::inf);
  s.noChange();
  EXPECT_FALSE(s.allChanged());
  EXPECT_TRUE(s.anyChanged());
  s.clearAnyChanged();
  EXPECT_FALSE(s.anyChanged());
}

TEST(UIScope, SubScopesMoveOrSubsetAndOutliveTheirRoot) {
  // A moved scope's origin is how far its rectangle starts before the parent's
  // origin; a subset keeps absolute coordinates, clipped to the parent's.
  Scope parent(vcPair<long>(10, 30), vcPair<long>(100, 100));
  std::unique_ptr<vcUIScope> moved(parent.newChild(vcUIRect(5, 20, 30, 30), false));
  EXPECT_EQ(moved->org(), vcPair<long>(5, 10));
  EXPECT_EQ(static_cast<Scope*>(moved.get())->attachedRect(), vcUIRect(-5, -10, 30, 30));
  std::unique_ptr<vcUIScope> clipped(parent.newChild(vcUIRect(5, 20, 30, 30), true));
  EXPECT_EQ(clipped->org(), vcPair<long>(10, 30));
  // Re-attaching moves a scope from one parent to another.
  Scope other(vcPair<long>(0, 0), vcPair<long>(10, 10));
  moved->move(other, vcUIRect(0, 0, 5, 5));
  EXPECT_EQ(parent.children().size(), 1u);
  EXPECT_EQ(other.children().size(), 1u);
  moved.reset();
  EXPECT_TRUE(other.children().empty());

  // Destroying the root detaches its children and clears their tree flag.
  auto root = std::make_unique<Scope>(vcPair<long>(0, 0), vcPair<long>(100, 100));
  std::unique_ptr<vcUIScope> child(root->newChild(vcUIRect(0, 0, 50, 50), false));
  std::unique_ptr<vcUIScope> grandchild(child->newChild(vcUIRect(0, 0, 10, 10), false));
  grandchild->change(vcUIRect(0, 0, 1, 1));
  EXPECT_TRUE(child->anyChanged());
  root.reset();
  EXPECT_FALSE(child->anyChanged());
  EXPECT_FALSE(grandchild->anyChanged());
  grandchild->change(vcUIRect(0, 0, 2, 2));  // no root to tell: must not crash
  EXPECT_FALSE(grandchild->anyChanged());
  EXPECT_EQ(static_cast<Scope*>(child.get())->parent(), nullptr);
}

// The pen rounds to the pixel below (within the scope's tolerance). A pen
// moved by whole pixels can leave its double a hair below an integer;
// starting it again at its own point must not round it to another pixel,
// while an equal point that is not the pen's own object is rounded afresh.
TEST(UIScope, PenRoundsDownButKeepsThePixelAtItsOwnPoint) {
  Scope s(vcPair<long>(1, 0), vcPair<long>(10, 10));
  s.drawStart(vcPoint(3.9999999999999, -0.5));
  EXPECT_EQ(vcPair<long>(s.drawX(), s.drawY()), vcPair<long>(3, -1));
  s.moveToRel(2, 3);
  EXPECT_EQ(s.xCoord(s.drawPoint()), 5);
  EXPECT_DOUBLE_EQ(s.drawPoint().y(), 2.5);
  EXPECT_EQ(s.yCoord(vcPoint(s.drawPoint())), 2);

  Scope t(vcPair<long>(0, 0), vcPair<long>(10, 10));
  t.drawStart(vcPoint(2.9999999999999, 5));
  ASSERT_EQ(t.drawX(), 3);
  t.moveToRel(-3, 0);
  ASSERT_LT(t.drawPoint().x(), 0.0);  // the double went just below zero
  EXPECT_EQ(t.drawX(), 0);
  t.drawStart(t.drawPoint());
  EXPECT_EQ(vcPair<long>(t.drawX(), t.drawY()), vcPair<long>(0, 5));
  t.drawStart(vcPoint(t.drawPoint()));
  EXPECT_EQ(t.drawX(), -1);
}

TEST(UIScopePixels, RleSampleCarriesRunRemaindersOrFallsBackToTheMappedImage) {
  PixelScope s(vcPair<long>(0, 0), vcPair<long>(100, 100));
  const vcRLEBuffer img = vcRLEBuffer::encode(rows({{1, 1, 1, 2, 2, 2}, {0, 0, 0, 0, 0, 0}}));
  const std::vector<u8> map{10, 20, 30};
  // Halving: the run of 3 leaves 1 pixel and carries 1 into the next run.
  s.sample(img, vcPoint(7.5, 8), vcPair<double>(0.5, 0.5), map, true, 9);
  s.sample(img, vcPoint(7.5, 8), vcPair<long>(2, 5), map, true, 9);
  ASSERT_EQ(s.runs.size(), 2u);
  EXPECT_EQ(s.runs[0].runs(), (std::vector<u8>{1, 1, 2, 2, 0, 0}));
  EXPECT_EQ(s.runs[1], s.runs[0]);
  EXPECT_EQ(s.log()[0].text.substr(0, 29), "[0] draw(rle)((7.5,8) 1 9 rle");
  // 0.4 is a reduction by 2.5, and 2.0 a magnification: both take the image.
  s.clearLog();
  s.sample(img, vcPoint(1, 1), vcPair<double>(0.4, 0.3), map, true, 9);
  s.sample(img, vcPoint(1, 1), vcPair<double>(2.0, 2.0), map, true, 9);
  ASSERT_EQ(s.log().size(), 2u);
  EXPECT_EQ(s.log()[0].op, "sample(u8)");
  EXPECT_EQ(s.log()[0].reals, (std::vector<double>{0.4, 0.3}));
  EXPECT_EQ(s.log()[0].ints, (std::vector<long>{1, 9, 1}));
  EXPECT_EQ(s.pels[0], rows({{20, 20, 20, 30, 30, 30}, {10, 10, 10, 10, 10, 10}}));
  // Reductions beyond the image's size draw nothing.
  s.clearLog();
  s.sample(img, vcPoint(1, 1), vcPair<double>(0.25, 0.25), map, true, 9);
  s.sample(img, vcPoint(1, 1), vcPair<double>(1e7, 1e7), map, true, 9);
  EXPECT_TRUE(s.log().empty());
}

// Reducing the runs must equal reducing the decoded image: every n-th row
// from the first, and in it the last pixel of every block of n.
TEST(UIScopePixels, RleSampleEqualsSubsamplingTheDecodedImage) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 300; ++trial) {
    const vcRLEBuffer img = vcRLEBuffer::encode(randomImage<u8>(pick(rng, 1, 700), pick(rng, 1, 9), rng));
    const long n = pick(rng, 1, 6);
    PixelScope s(vcPair<long>(0, 0), vcPair<long>(10, 10));
    s.sample(img, vcPoint(0, 0), vcPair<double>(1.0 / static_cast<double>(n), 1.0), {}, false, 0);
    const long w = img.width() / n, h = img.height() / n;
    ASSERT_EQ(s.runs.size(), w > 0 && h > 0 ? 1u : 0u);
    if (s.runs.empty()) continue;
    const vcPelBuffer<u8> src = img.decode(), got = s.runs[0].decode();
    ASSERT_EQ(got.width(), w);
    ASSERT_EQ(got.height(), h);
    for (long j = 0; j < h; ++j)
      for (long k = 0; k < w; ++k) ASSERT_EQ(at(got, k, j), at(src, (k + 1) * n - 1, j * n)) << trial;
  }
}

// The magnified runs drawn must agree with the decoded image magnified in
// place, cover every surface pixel it covers, and reach past the surface by
// less than one block on each side.
TEST(UIScopePixels, RleExpandDrawsTheVisiblePartOfTheDecodedMagnification) {
  std::mt19937 rng(8);
  for (int trial = 0; trial < 400; ++trial) {
    const vcRLEBuffer img = vcRLEBuffer::encode(randomImage<u8>(pick(rng, 1, 30), pick(rng, 1, 10), rng));
    const long n = pick(rng, 1, 4);
    const vcPair<long> org(pick(rng, -5, 5), pick(rng, -5, 5)), size(pick(rng, 1, 40), pick(rng, 1, 30));
    PixelScope s(org, size);
    const vcPoint corner(static_cast<double>(pick(rng, -60, 45) + org.x()) + 0.25,
                         static_cast<double>(pick(rng, -40, 35) + org.y()));
    s.expand(img, corner, vcPair<double>(static_cast<double>(n) + 1e-7, 9.0), {}, false, 0);
    const long px = static_cast<long>(std::floor(corner.x())) - org.x();
    const long py = static_cast<long>(std::floor(corner.y())) - org.y();
    const vcUIRect full(px, py, img.width() * n, img.height() * n);
    const vcUIRect seen = full & vcUIRect(0, 0, size.x(), size.y());
    SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n);
    ASSERT_EQ(s.runs.size(), seen.isNull() ? 0u : 1u);
    if (seen.isNull()) continue;
    const vcPoint at0 = s.log()[0].points.at(0);
    const vcUIRect drawn(static_cast<long>(at0.x()) - org.x(), static_cast<long>(at0.y()) - org.y(), s.runs[0].width(),
                         s.runs[0].height());
    EXPECT_EQ(drawn & seen, seen);
    EXPECT_GT(drawn.left(), -n);
    EXPECT_GT(drawn.top(), -n);
    EXPECT_LT(drawn.right(), size.x() + n);
    EXPECT_LT(drawn.bottom(), size.y() + n);
    const vcPelBuffer<u8> src = img.decode(), got = s.runs[0].decode();
    for (long b = 0; b < drawn.height(); ++b)
      for (long a = 0; a < drawn.width(); ++a) {
        const long x = drawn.left() + a - px, y = drawn.top() + b - py;
        ASSERT_TRUE(x >= 0 && y >= 0 && x < full.width() && y < full.height());
        ASSERT_EQ(at(got, a, b), at(src, x / n, y / n));
      }
  }
}

// Replication and the truncated mapping, for every pixel type.
TEST(UIScopePixels, PelExpandAndPelScaleEqualTheNaiveMappingForEveryPixelType) {
  checkExpand<u8>(1);
  checkExpand<vcPackedRGB16Pel>(2);
  checkExpand<vcPackedRGB32Pel>(3);
  checkScale<u8>(4);
  checkScale<unsigned short>(5);
  checkScale<vcPackedRGB16Pel>(6);
  checkScale<vcPackedRGB32Pel>(7);
  // Rows wide enough for the vector kernels of whole reductions.
  checkScale<u8>(8, 200);
  checkScale<vcPackedRGB32Pel>(9, 200);
}

// Interpolation samples at pixel centres: across a step from 0 to 100 the
// magnified pixels are (0, 25, 75, 100) bilinear, and bicubic (a = -0.5)
// undershoots to 0 (clamped), passes 20 and 80 and overshoots to 107.
TEST(UIScopePixels, PelScaleInterpolatesAtPixelCentres) {
  vcPelBuffer<u8> step(8, 8);
  for (long y = 0; y < 8; ++y)
    for (long x = 0; x < 8; ++x) *step.pointToPel(x, y) = x < 4 ? 0 : 100;
  const std::pair<Modes, std::vector<double>> rows[] = {{vcUITabletTypes::eBilinear, {0, 25, 75, 100}},
                                                        {vcUITabletTypes::eBicubic, {0, 20.3, 79.7, 107}}};
  for (const auto& [mode, want] : rows) {
    vcUIRect rect(0, 0, 16, 16);
    vcPelBuffer<u8> dst;
    ASSERT_TRUE(PixelScope::pelScale(step, dst, 2.0, rect, vcPair<long>(0, 0), mode));
    for (long y : {0L, 15L})
      for (long x = 6; x < 10; ++x)
        EXPECT_NEAR(at(dst, x, y), want[static_cast<std::size_t>(x - 6)], 1.0) << mode << " " << x;
  }
}

TEST(UIScopePixels, NearestColorKeepsTheFirstOfEqualDistances) {
  const auto index = [](const vcColor& c) { return c.isIndexColor() && !c.isRGBColor() ? int(c.index()) : -1; };
  EXPECT_EQ(index(PixelScope::nearestColor(vcColor(10, 10, 10), {vcRGB(0, 0, 0), vcRGB(20, 20, 20)})), 0);
  EXPECT_EQ(index(PixelScope::nearestColor(vcColor::redColor(), {vcRGB(0, 0, 0), vcRGB(250, 5, 0)})), 1);
}

// A kept buffer of the right size is written in place, unless it holds the
// source's own pixels, which would change while they are read.
TEST(UIScopePixels, BuffersOfTheRightSizeAreReusedUnlessTheyHoldTheSource) {
  std::mt19937 rng(12);
  const vcPelBuffer<u8> src = randomImage<u8>(6, 5, rng, false);
  vcPelBuffer<u8> kept(vcRectangle<long>(0, 0, 20, 20));
  kept.window(vcRectangle<long>(3, 4, 12, 10));
  const vcPelBuffer<u8> view = kept;
  vcUIRect rect(0, 0, 12, 10);
  ASSERT_TRUE(PixelScope::pelScale(src, kept, 2.0, rect, vcPair<long>(0, 0), vcUITabletTypes::eNoInterpolation));
  EXPECT_TRUE(kept.sharesPels(view));
  EXPECT_EQ(*kept.pointToPel(3 + 11, 4 + 9), at(src, 5, 4));
  vcPelBuffer<u8> whole = randomImage<u8>(6, 5, rng, false).clone(), before = whole.clone();
  vcPelBuffer<u8> part = whole, alias = whole;
  part.window(vcRectangle<long>(-1, 4, 3, 2));
  alias.window(vcRectangle<long>(-1, 4, 6, 4));
  rect = vcUIRect(0, 0, 6, 4);
  ASSERT_TRUE(PixelScope::pelExpand(part, alias, 2, 2, rect, vcPair<long>(0, 0)));
  EXPECT_FALSE(alias.sharesPels(whole));
  EXPECT_EQ(whole, before);
  EXPECT_EQ(at(alias, 5, 3), at(before, 2, 1));
}

TEST(UIScopePixels, BadScalesAreRefusedAndEmptyWorkChangesNothing) {
  vcPelBuffer<u8> src(4, 4), dst;
  vcUIRect rect(0, 0, 10, 10);
  for (double bad : {0.0, -1.0, std::nan(""), HUGE_VAL})
    EXPECT_THROW(PixelScope::pelScale(src, dst, bad, rect, vcPair<long>(0, 0), vcUITabletTypes::eNoInterpolation),
                 vcBadArgument);
  EXPECT_THROW(PixelScope::pelExpand(src, dst, 0, 1, rect, vcPair<long>(0, 0)), vcBadArgument);
  EXPECT_FALSE(PixelScope::pelExpand(src, dst, 2, 2, rect, vcPair<long>(10, 0)));
  EXPECT_TRUE(dst.isNull());
  EXPECT_EQ(rect, vcUIRect(0, 0, 10, 10));
}

// Scales so small that x / scale leaves a long still end: the image shrinks
// to its first pixel. Scales far beyond the coordinate range cover the whole
// rectangle with that pixel.
TEST(UIScopePixels, ExtremeScalesEndWithThePixelsTheyCover) {
  std::mt19937 rng(13);
  const vcPelBuffer<u8> src = randomImage<u8>(5, 4, rng, false);
  for (const double scale : {1e-19, 1e-20, 1e-300, 5e-324, 1e300}) {
    SCOPED_TRACE(scale);
    vcUIRect rect(0, 0, 10, 10);
    vcPelBuffer<u8> dst;
    ASSERT_TRUE(PixelScope::pelScale(src, dst, scale, rect, vcPair<long>(0, 0), vcUITabletTypes::eNoInterpolation));
    const long side = scale < 1 ? 1 : 10;
    ASSERT_EQ(rect, vcUIRect(0, 0, side, side));
    for (long y = 0; y < side; ++y)
      for (long x = 0; x < side; ++x) EXPECT_EQ(at(dst, x, y), at(src, 0, 0));
  }
}

namespace {

// Every kernel level the processor has, the plain one included.
std::vector<vcCpuType::Level> levels() {
  std::vector<vcCpuType::Level> all;
  for (int l = vcCpuType::eScalar; l <= vcCpuType::detected(); ++l) all.push_back(static_cast<vcCpuType::Level>(l));
  return all;
}

std::vector<unsigned char> noise(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<unsigned char> v(n);
  for (auto& b : v) b = static_cast<unsigned char>(rng());
  return v;
}

}  // namespace

// The vector copies move unaligned heads and tails that overlap the aligned
// middle; any slip in that arithmetic writes wrong bytes or bytes outside
// the rows, which the guard bytes around every row catch.
TEST(PelCopy, CopyVidEqualsAPlainCopyForEveryWidthStrideAndAlignment) {
  const std::vector<unsigned char> src = noise(4096, 7);
  for (vcCpuType::Level level : levels()) {
    vcCpuLimit cap(level);
    for (long width = 0; width <= 100; ++width)
      for (long misalign = 0; misalign < 33; misalign += (width < 40 ? 1 : 7))
        for (long extra : {0L, 3L, 64L}) {
          const long dstStride = width + extra, rows = 3;
          std::vector<unsigned char> got(static_cast<std::size_t>(64 + misalign + dstStride * rows + 64), 0xA5);
          std::vector<unsigned char> want = got;
          for (long srcStride : {width + extra + 5, 0L}) {
            const unsigned char* from = src.data() + 17 + misalign / 2;
            vf_PelCopyVid(got.data() + 64 + misalign, dstStride, from, srcStride, width, rows);
            for (long r = 0; r < rows; ++r)
              std::memcpy(want.data() + 64 + misalign + r * dstStride, from + r * srcStride,
                          static_cast<std::size_t>(width));
            ASSERT_EQ(got, want) << "level " << level << " width " << width << " misalign " << misalign;
          }
        }
  }
}

TEST(PelCopy, CopyVidWalksNegativeStridesAndSkipsEmptyWork) {
  const std::vector<unsigned char> src = noise(300, 3);
  std::vector<unsigned char> dst(300, 0);
  vf_PelCopyVid(dst.data() + 200, -100, src.data(), 100, 13, 3);  // bottom-up destination
  for (long r = 0; r < 3; ++r) EXPECT_EQ(0, std::memcmp(dst.data() + 200 - 100 * r, src.data() + 100 * r, 13)) << r;
  vf_PelCopyVid(nullptr, 0, nullptr, 0, 10, 0);
  EXPECT_THROW(vf_PelCopyVid(dst.data(), 0, src.data(), 0, -1, 1), vcBadArgument);
}

// The replication kernels handle 16-byte blocks and leave the rest to the
// plain loop; every pixel size, factor, count and alignment must give the
// naive result and write nothing past count x factor pixels.
TEST(PelCopy, ReplicateRowEqualsNaiveReplicationAtEveryLevel) {
  const std::vector<unsigned char> src = noise(512, 11);
  for (vcCpuType::Level level : levels()) {
    vcCpuLimit cap(level);
    for (int pel : {1, 2, 4})
      for (long factor = 0; factor <= 9; ++factor)
        for (long count = 0; count <= 70; ++count)
          for (long misalign : {0L, 1L, 5L}) {
            const long bytes = count * factor * pel;
            std::vector<unsigned char> got(static_cast<std::size_t>(bytes + misalign + 32), 0x5A);
            std::vector<unsigned char> want = got;
            const unsigned char* from = src.data() + 3 + misalign;
            vf_PelReplicateRow(got.data() + misalign, from, count, factor, pel);
            for (long i = 0; i < count; ++i)
              for (long k = 0; k < factor; ++k)
                std::memcpy(want.data() + misalign + (i * factor + k) * pel, from + i * pel,
                            static_cast<std::size_t>(pel));
            ASSERT_EQ(got, want) << "level " << level << " pel " << pel << " factor " << factor << " count " << count;
          }
  }
  unsigned char b[4] = {};
  EXPECT_THROW(vf_PelReplicateRow(b, b, 1, 1, 3), vcBadArgument);
  EXPECT_THROW(vf_PelReplicateRow(b, b, -1, 1, 1), vcBadArgument);
  EXPECT_THROW(vf_PelReplicateRow(nullptr, b, 1, 2, 1), vcBadArgument);
}
