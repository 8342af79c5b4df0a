// The archive forms of the display layer's value types, one table row per
// value: it stores to its pinned bytes and loads back over another value;
// every cut and every bad field is refused with the target unchanged; a
// version byte other than 0 names the source that refused it. Then the
// display layer's error classes: made by name, archived and rethrown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <vc/color.h>
#include <vc/dimtol.h>
#include <vc/dispprop.h>
#include <vc/graphic.h>
#include <vc/uierror.h>
#include <vc/uirect.h>
#include <vc/uisketch.h>
#include <vc/uistring.h>
#include <vc/wrfm/smdmodel.h>
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
       {"index", vcColor(9), {}, {}, {}}},
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
  // A loaded rectangle is taken as stored, even when it is not in normal
  // form; fields beyond 32 bits cannot be stored.
  const vcUIRect flat = vc_test::load(withU8(vc_test::store(vcUIRect(-2, 3, 258, 1)), 15, 0), vcUIRect());
  EXPECT_EQ(std::pair(flat.ul(), flat.sz()), std::pair(vcPair<long>(-2, 3), vcPair<long>(258, 0)));
  vcBufferArchive wide(vcArchive::eStore);
  EXPECT_THROW(wide << (vcUIRect::inf | (vcUIRect::inf + vcPair<long>(2000000000, 0))), vcArchive::BadData);
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

namespace {

struct ErrorRow {
  const char* name;
  long number;
  const char* message;  // what message() gives for a default-made object; null: not checked here
};

const std::vector<ErrorRow>& table() {
  static const std::vector<ErrorRow> rows = {
      {"vcUIError::BadLayer", 0x10002B00, nullptr}, {"vcUIError::BadIconPattern", 0x10002B01, nullptr},
      {"vcUIError::FlagStackUnderflow", 0x10002B02, nullptr}, {"vcUIError::FlagStackOverflow", 0x10002B03, nullptr},
      {"vcUIError::FlagStackOutOfRange", 0x10002B04, nullptr}, {"vcUIError::NotAvailable", 0x10002B06, nullptr},
      {"vcUIError::NotEnabled", 0x10002B07, nullptr}, {"vcUIError::BadKeyValue", 0x10002B08, nullptr},
      {"vcUIError::InvalidColorMapSize", 0x10002B09, nullptr}, {"vcUIError::NotImplemented", 0x10002B12, nullptr},
      {"vcUIError::BadParams", 0x10002B13, nullptr}, {"vcUIError::NotRGBColor", 0x10002B14, nullptr},
      {"vcUIError::NotIndexColor", 0x10002B15, nullptr}, {"vcUIError::NoLongerSupported", 0x10002B16, nullptr},
      {"vcUIError::InvalidUISketch", 0x10002B17, nullptr}, {"vcUIError::InitFailed", 0x10002B18, nullptr},
      {"vcGraphicProps::BadParams", 0x10004513, nullptr}, {"vcGraphic::BadParams", 0x10009600, ""},
      {"vcGraphic::NoGraphicForShape", 0x10009601, nullptr},
      {"vcSMDGDPolyVertex::invalidSegmentLength", 0x11000350, "Invalid poly segment length specified at vertex."},
      {"vcSMDGDPoly::invalidVertices", 0x11000360, nullptr}, {"vcSMDGDPoly::crossingSegments", 0x11000361, nullptr},
      {"vcSMDGDPoly::invalidIndex", 0x11000362, nullptr}, {"vcSMDGDPoly::invalidRounding", 0x11000363, nullptr},
      {"vcSMDGDPoly::noPelBuffer", 0x11000364, nullptr}, {"vcSMDGDPoly::badSubModel", 0x11000365, nullptr},
      {"vcSMDGDPoly::notClosed", 0x11000366, nullptr}, {"vcSMDGDModel::invalidIndex", 0x11000370, nullptr},
      {"vcSMDGDModel::crossingPolys", 0x11000371, nullptr}, {"vcSMDGDModel::nestedPolys", 0x11000372, nullptr},
      {"vcSMDDimension::badDimensionValue", 0x11000B00, nullptr},
  };
  return rows;
}

std::unique_ptr<vcException> make(const std::string& name) {
  vcPersistent* p = vc_Instantiator::create(name);
  std::unique_ptr<vcPersistent> owner(p);
  auto* e = dynamic_cast<vcException*>(p);
  if (!e) return nullptr;
  owner.release();
  return std::unique_ptr<vcException>(e);
}

}  // namespace

// Every error class is made by name, answers its number, name and message,
// and comes back from an archive as the same class.
TEST(DisplayErrors, FactoryMadeObjectsAnswerTheirNumberNameAndMessageAndRoundTrip) {
  for (const ErrorRow& row : table()) {
    SCOPED_TRACE(row.name);
    auto e = make(row.name);
    ASSERT_TRUE(e) << "not registered";
    EXPECT_EQ(e->errorNumber(), row.number);
    EXPECT_EQ(e->className(), row.name);
    EXPECT_EQ(std::string(e->what()).rfind(row.name, 0), 0u);
    if (row.message) {
      EXPECT_EQ(e->message(), row.message);
    }
    vcPersistent* p = e.get();
    vcBufferArchive out(vcArchive::eStore);
    out.serializePointer(p);
    vcBufferArchive in(out.bytes());
    vcPersistent* q = nullptr;
    in.serializePointer(q);
    std::unique_ptr<vcPersistent> back(q);
    EXPECT_EQ(back->className(), row.name);
    EXPECT_EQ(in.remaining(), 0u);
  }
  for (const char* name : {"vcUIError::Errors", "vcGraphic::Errors", "vcSMDGDPoly::Errors", "vcSMDDimensionErrors"})
    EXPECT_FALSE(vc_Instantiator::isRegistered(name)) << name;
}

// Each level of an error's archive form is one version byte; a string error
// adds its message.
TEST(DisplayErrors, ArchiveFormsHaveOneVersionBytePerLevelAndOtherVersionsAreRefused) {
  auto bytesOf = [](vcException&& e) {
    vcBufferArchive out(vcArchive::eStore);
    out || e;
    return out.bytes();
  };
  EXPECT_EQ(bytesOf(vcUIError::BadLayer()), (std::vector<unsigned char>{0, 0, 0}));
  const std::vector<unsigned char> g = bytesOf(vcGraphic::BadParams("Item index out of range"));
  ASSERT_EQ(g.size(), 4u + 4u + 23u);
  vcGraphic::BadParams back;
  vcBufferArchive in(g);
  in || back;
  EXPECT_EQ(back.string(), "Item index out of range");
  vc_test::expectUnknownVersion({1, 0, 0}, vcUIError::BadLayer(), "vcUIError::BadLayer", 0);
  vc_test::expectUnknownVersion({0, 3, 0}, vcUIError::BadLayer(), "vcUIError::Errors");
}

