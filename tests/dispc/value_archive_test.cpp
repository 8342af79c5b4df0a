// The archive forms of the display layer's value types, one table row per
// value: it stores to its pinned bytes and loads back over another value;
// every cut and every bad field is refused with the target unchanged; a
// version byte other than 0 names the source that refused it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <vc/color.h>
#include <vc/dimtol.h>
#include <vc/dispprop.h>
#include <vc/uirect.h>
#include <vc/uisketch.h>
#include <vc/uistring.h>
#include <vc/wrfm/smdpoly.h>

#include "support/archive_roundtrip.h"

namespace {

using vc_test::Bytes;
using vc_test::withU8;

template <class T>
struct Row {
  const char* name;
  T value;
  Bytes bytes;  // the pinned archive form; empty: not pinned here
  std::vector<std::pair<std::size_t, const char*>> versions;  // version byte, source it names
  std::vector<Bytes> bad;                                     // each refused
};

template <class T>
void expectArchiveContract(const std::vector<Row<T>>& rows, const T& other,
                           std::function<void(const T&, const T&)> same = [](const T& a, const T& b) {
                             EXPECT_EQ(a, b);
                           }) {
  for (const Row<T>& row : rows) {
    SCOPED_TRACE(row.name);
    const Bytes bytes = row.bytes.empty() ? vc_test::store(row.value) : row.bytes;
    EXPECT_EQ(vc_test::store(row.value), bytes);
    same(vc_test::load(bytes, other), row.value);
    vc_test::expectEveryPrefixRejected(other, bytes, same);
    for (const auto& [at, source] : row.versions) {
      vc_test::expectUnknownVersion(withU8(bytes, at, 1), other, source);
      vc_test::expectRejected(other, withU8(bytes, at, 1), same);
    }
    for (const Bytes& b : row.bad) vc_test::expectRejected(other, b, same);
  }
}

}  // namespace

// Stock colors compare by index, so the kind, index and RGB are compared
// one by one.
TEST(ValueArchive, Colors) {
  const Bytes rgb{0, 2, 0, 0, 1, 2, 3};
  std::vector<Bytes> badFlags;
  for (unsigned char flags : {0, 1, 3, 6, 0x82}) badFlags.push_back(withU8(rgb, 1, flags));
  expectArchiveContract<vcColor>(
      {{"stock", vcColor::orangeColor(), {0, 7, 245, 0, 250, 125, 50}, {}, {}},
       {"rgb", vcColor(1, 2, 3), rgb, {{0, "dispc/color"}, {3, "dispc/color"}}, badFlags},
       {"index", vcColor(9), {}, {}, {}},
       {"purple", vcColor::purpleColor(), {}, {}, {}}},
      vcColor(200), [](const vcColor& a, const vcColor& b) {
        EXPECT_EQ(a.flags(), b.flags());
        EXPECT_EQ(a, b);
        EXPECT_EQ(a.rgbStruct(), b.rgbStruct());
      });
  expectArchiveContract<vcRGB>({{"rgb", vcRGB(7, 8, 9), {0, 7, 8, 9}, {}, {}}}, vcRGB(1, 1, 1));
}

TEST(ValueArchive, RectanglesFormatsAndMarks) {
  expectArchiveContract<vcUIRect>({{"rect",
                                    vcUIRect(-2, 3, 258, 1),
                                    {0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 0, 2, 1, 0, 0, 1, 0, 0, 0},
                                    {{0, "dispc/uirect"}, {1, "vcPair"}, {10, "vcPair"}},
                                    {}}},
                                  vcUIRect(9, 9, 9, 9));
  const Bytes format{0, 0xFE, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0};
  expectArchiveContract<vcUIFormat>(
      {{"format", vcUIFormat(-2, vcUIFormat::eBottomCenter), format, {{0, "dispc/uistring"}}, {withU8(format, 5, 9)}}},
      vcUIFormat(44, vcUIFormat::eCenterRight));
  vcUISketch three;
  three.append(3);
  expectArchiveContract<vcUISketchMark>({{"mark", three.mark(), {0, 3, 0, 0, 0}, {}, {}}}, vcUISketchMark());
}

TEST(ValueArchive, PropsAndDimensions) {
  vcGraphicProps p(vcColor(1, 2, 3), 7, vcGraphicProps::ePenNull, true);
  p.arrowHeadForward(false);
  expectArchiveContract<vcGraphicProps>({{"props", p, {}, {{0, "dispc/dispprop"}}, {}}}, vcGraphicProps());

  // Version, nominal, minimum, maximum, then the form (4 bytes) or the scale (1).
  const vcDimTol t(10, 0.5, 1.5, vcDimTol::eOffsets);
  Bytes tb = vc_test::store(t);
  ASSERT_EQ(tb.size(), 1u + 24u + 4u);
  expectArchiveContract<vcDimTol>(
      {{"offsets", t, tb, {{0, "dispc/dimtol"}}, {vc_test::withF64(tb, 9, std::nan(""))}}},
      vcDimTol(3, 2, 4, vcDimTol::eLimits));
  const vcSMDDimension d(10, 9, 12, vcSMDDimension::eScaleProportional);
  const Bytes db = vc_test::store(d);
  ASSERT_EQ(db.size(), 1u + 24u + 1u);
  EXPECT_EQ(vc_bytes::getF64(db.data() + 9), 9.0);  // the minimum
  expectArchiveContract<vcSMDDimension>({{"dimension", d, db, {}, {withU8(db, 0, 1), vc_test::withF64(db, 1, 1.0)}}},
                                        vcSMDDimension(3, 2, 4, vcSMDDimension::eScaleNominal));
}
