// Graphic lists: copies, drawing, sketches and archives; and their exchange
// with vgr_list, including lists whose bytes are malformed.
#include <vc/glist.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include <vc/color.h>
#include <vc/core/core.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>
#include <vc/uitablet.h>
#include <vgr/vmath.h>

#include "support/archive_roundtrip.h"
#include "support/bytes.h"

namespace {

using V = vcVector<2>;
using Bytes = std::vector<unsigned char>;
using GraphicH = vcPtrHandle<vcGraphic>;
using Layers = vcUITabletTypes::Layers;

Bytes sketchBytes(const vcUISketch& s) { return Bytes(s.data(), s.data() + s.size()); }

GraphicH circle(const vcColor& c, double r = 1) {
  return GraphicH(new vcGraphicWithFill<vcCircle, vcEllipse2>(vcCircle(V(2, 3), r), c, false));
}

// ---- the list itself ---------------------------------------------------------

TEST(GraphicList, CopiesCloneAndKeepNullHandlesNull) {
  vcGraphicList list;
  const GraphicH g = circle(vcColor::redColor());
  list.append(g, false);
  list.append(GraphicH(), true);
  list.append(g, true);
  EXPECT_EQ(list.items()[0].ptr(), g.ptr());
  EXPECT_NE(list.items()[2].ptr(), g.ptr());
  EXPECT_FALSE(list.items()[1]);

  vcGraphicList copy;
  copy = list;
  ASSERT_EQ(copy.items().size(), 3u);
  EXPECT_NE(copy.items()[0].ptr(), g.ptr());
  EXPECT_FALSE(copy.items()[1]);
  // Drawing stops at a null item, after the items before it.
  vcUITablet t;
  EXPECT_THROW(list.draw(t, vcUITablet::eOverlay), vcBadPointer);
  vcUITablet one;
  one.draw(*g, vcUITablet::eOverlay);
  EXPECT_EQ(sketchBytes(t.sketch()), sketchBytes(one.sketch()));
  vcGraphicList shared;
  shared.append(list, false);
  EXPECT_EQ(shared.items()[0].ptr(), g.ptr());
}

vcGraphicList sharingList() {
  vcGraphicList list;
  const GraphicH g = circle(vcColor::redColor());
  list.append(g, false);
  list.append(GraphicH(new vcGraphicPointIcon(vcPoint(1, 1), vcColor::blueColor())), false);
  list.append(g, false);
  return list;
}

// A failed read leaves the list as it was (what a whole read gives, shared
// items included: the archive fixtures).
TEST(GraphicList, FailedReadsLeaveTheListAsItWas) {
  vcGraphicList source = sharingList();
  vcBufferArchive out(vcArchive::eStore);
  out || source;
  const Bytes bytes = out.bytes();
  vcGraphicList target;
  target.append(circle(vcColor::greenColor(), 7), false);
  vc_test::expectEveryPrefixRejected(target, bytes, [](const vcGraphicList& a, const vcGraphicList& b) {
    EXPECT_EQ(sketchBytes(a.sketch(vcUITablet::eOverlay)), sketchBytes(b.sketch(vcUITablet::eOverlay)));
  });
  vc_test::expectUnknownVersion(vc_test::withU8(bytes, 0, 1), vcGraphicList(), "dispc/glist", 606);
  // A negative count is refused before anything is read.
  EXPECT_THROW(vc_test::load(vc_test::withU32(bytes, 1, 0xFFFFFFFFu), vcGraphicList()), vcArchive::BadData);
}

// ---- vgr_list ---------------------------------------------------------------

const vgr_color kRed = vfColor(vcColor::redColor());
const vgr_color kRGB = vfColor(vcColor(10, 20, 30));

// One record of every type that has a graphic with a record form.
vgr_list everyRecordForm() {
  vgr_list l;
  const double poly[] = {0, 0, 4, 1, 3, 5};
  const double segs[] = {0, 0, 1, 1, 5, 5, 6, 9};
  const double corners[] = {1, 1, 7, 2, 0, 5};
  unsigned char affine[VGR_SHAPE_AFFINE_RECT_SIZE];
  EXPECT_EQ(vmath_shapeAffineRect_initPoints(affine, corners), VGR_OK);
  EXPECT_EQ(vgr_list_appendPoint(&l, kRed, 1.5, 2.5), VGR_OK);
  EXPECT_EQ(vgr_list_appendLineSeg(&l, kRGB, 1, 2, 3, 4), VGR_OK);
  EXPECT_EQ(vgr_list_appendLineDirPoint(&l, kRed, 0.6, 0.8, 5, 6), VGR_OK);
  EXPECT_EQ(vgr_list_appendRect(&l, kRed, 1, 2, 30, 40), VGR_OK);
  EXPECT_EQ(vgr_list_appendGenRect(&l, kRGB, 5, 6, 8, 4, 0.0, 0.25, 0.5), VGR_OK);
  EXPECT_EQ(vgr_list_appendPolyline(&l, kRed, 3, poly, true), VGR_OK);
  EXPECT_EQ(vgr_list_appendShapeAffineRect(&l, kRGB, affine), VGR_OK);
  EXPECT_EQ(vgr_list_appendTextEx(&l, kRed, kRGB, "hello", 3, 4, 2.5, -1.5, 7, 4), VGR_OK);
  EXPECT_EQ(vgr_list_appendLineSegSet(&l, kRed, 2, segs), VGR_OK);
  return l;
}

// A record written byte by byte: type, color, payload doubles.
void appendRaw(vgr_list& l, std::int32_t type, vgr_color color, std::initializer_list<double> values) {
  unsigned char b[8];
  vc_bytes::put32(b, static_cast<std::uint32_t>(type));
  l.records.insert(l.records.end(), b, b + 4);
  vc_bytes::put32(b, static_cast<std::uint32_t>(color));
  l.records.insert(l.records.end(), b, b + 4);
  for (double v : values) {
    vc_bytes::putF64(b, v);
    l.records.insert(l.records.end(), b, b + 8);
  }
  ++l.count;
}

// Every record type, the read-only ones (ellipses, an unknown code) included.
vgr_list everyRecordType() {
  vgr_list l = everyRecordForm();
  unsigned char ellipse[VGR_SHAPE_ELLIPSE_SIZE];
  EXPECT_EQ(vmath_shapeEllipse_init(ellipse, 4, 5, 3, 1, 0.5), VGR_OK);
  EXPECT_EQ(vgr_list_appendEllipse(&l, kRed, 4, 5, 3, 1, 0.5), VGR_OK);
  EXPECT_EQ(vgr_list_appendShapeEllipse(&l, kRGB, ellipse), VGR_OK);
  appendRaw(l, 12, kRed, {8, 9});
  return l;
}

// Every record type once, and the edge forms (an empty polyline, an empty
// text at the largest alignment), as the appenders write them.
vgr_list pinnedRecords() {
  vgr_list l;
  const double poly[] = {0, 0, 4, 1, 3, 5};
  const double segs[] = {0, 0, 1, 1, 5, 5, 6, 9};
  const double corners[] = {1, 1, 7, 2, 0, 5};
  unsigned char affine[VGR_SHAPE_AFFINE_RECT_SIZE], ellipse[VGR_SHAPE_ELLIPSE_SIZE];
  EXPECT_EQ(vmath_shapeAffineRect_initPoints(affine, corners), VGR_OK);
  EXPECT_EQ(vmath_shapeEllipse_init(ellipse, 4, 5, 3, 1, 0.5), VGR_OK);
  const int rcs[] = {
      vgr_list_appendPoint(&l, 5, 1.5, 2.5),
      vgr_list_appendLineSeg(&l, -2147483520, 1, 2, 3, 4),
      vgr_list_appendLineDirPoint(&l, 5, 0.6, 0.8, 5, 6),
      vgr_list_appendRect(&l, 5, 1, 2, 30, 40),
      vgr_list_appendGenRect(&l, 9, 5, 6, 8, 4, 0.3, 0.25, 0.5),
      vgr_list_appendEllipse(&l, 5, 4, 5, 3, 1, 0.5),
      vgr_list_appendShapeEllipse(&l, 5, ellipse),
      vgr_list_appendPolyline(&l, 5, 3, poly, true),
      vgr_list_appendShapeAffineRect(&l, 12, affine),
      vgr_list_appendTextEx(&l, 5, 3, "hello", 3, 4, 2.5, -1.5, 7, 4),
      vgr_list_appendLineSegSet(&l, 5, 2, segs),
      vgr_list_appendPolyline(&l, 7, 0, nullptr, false),
      vgr_list_appendTextEx(&l, 0x11223380, 15, "", -3, 4e5, 0, 0, -1, 8),
  };
  for (int rc : rcs) EXPECT_EQ(rc, VGR_OK);
  return l;
}

// The layout of every record type is pinned: the appenders write the
// checked-in bytes, each record read from them names its fields as written,
// and written back through vgr_list_append gives the same bytes.
TEST(VgrList, RecordBytesArePinnedAndReadRecordsWriteThemAgain) {
  const char* dir = std::getenv("VC_TEST_DATA");
  const Bytes pinned = vfReadTestFile(std::string(dir ? dir : VC_TEST_DATA_DIR) + "/vgr/records.bin");
  const vgr_list l = pinnedRecords();
  EXPECT_EQ(l.records, pinned);
  std::vector<vgr_record> records;
  ASSERT_EQ(vgr_list_decode(&l, &records, nullptr), VGR_OK);
  std::vector<std::int32_t> types;
  for (const vgr_record& r : records) types.push_back(r.type());
  EXPECT_EQ(types, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 7, 9}));
  EXPECT_EQ(records[1].color, -2147483520);
  EXPECT_EQ(std::get<vgr_lineRecord>(records[2].payload), (vgr_lineRecord{{0.6, 0.8}, {5, 6}}));
  EXPECT_EQ(std::get<vgr_genRectRecord>(records[4].payload), (vgr_genRectRecord{{5, 6}, {8, 4}, 0.3, {0.25, 0.5}}));
  EXPECT_EQ(std::get<vgr_ellipseRecord>(records[5].payload), (vgr_ellipseRecord{{4, 5}, 3, 1, 0.5f}));
  EXPECT_EQ(std::get<vgr_polylineRecord>(records[7].payload),
            (vgr_polylineRecord{{{0, 0}, {4, 1}, {3, 5}}, true}));
  EXPECT_EQ(std::get<vgr_textRecord>(records[9].payload), (vgr_textRecord{3, {3, 4}, {2.5, -1.5}, 7, 4, "hello"}));
  EXPECT_EQ(std::get<vgr_lineSegSetRecord>(records[10].payload),
            (vgr_lineSegSetRecord{{{{0, 0}, {1, 1}}, {{5, 5}, {6, 9}}}}));
  EXPECT_EQ(std::get<vgr_textRecord>(records[12].payload), (vgr_textRecord{15, {-3, 4e5}, {0, 0}, -1, 8, ""}));
  vgr_list again;
  for (const vgr_record& r : records) ASSERT_EQ(vgr_list_append(&again, r.color, r.payload), VGR_OK);
  EXPECT_EQ(again.count, l.count);
  EXPECT_EQ(again.records, pinned);
}

// A record holding a value its layout cannot is refused with VGR_ERR_VALUE
// and the list keeps what it had.
TEST(VgrList, AppendingAnUnrecordableValueChangesNothing) {
  const double nan = std::nan("");
  vgr_shapeEllipseRecord badEllipse;
  vc_bytes::putF64(badEllipse.bytes.data() + 8, nan);
  const struct {
    const char* name;
    vgr_payload payload;
  } rows[] = {
      {"NaN point", vgr_pointRecord{{1, nan}}},
      {"infinite rounding", vgr_genRectRecord{{0, 0}, {1, 1}, 0, {0, HUGE_VAL}}},
      {"ellipse radius past float range", vgr_ellipseRecord{{0, 0}, 1e39, 1, 0}},
      {"shape ellipse its reader refuses", badEllipse},
      {"NaN polyline vertex", vgr_polylineRecord{{{0, 0}, {nan, 1}}, false}},
      {"alignment 9", vgr_textRecord{0, {0, 0}, {0, 0}, 0, 9, "a"}},
      {"text holding a zero", vgr_textRecord{0, {0, 0}, {0, 0}, 0, 0, std::string("a\0b", 3)}},
      {"text past 2^20 bytes", vgr_textRecord{0, {0, 0}, {0, 0}, 0, 0, std::string((1u << 20) + 1, 'x')}},
      {"NaN segment end", vgr_lineSegSetRecord{{{{0, 0}, {1, 1}}, {{0, 0}, {1, nan}}}}},
  };
  vgr_list l = pinnedRecords();
  const vgr_list before = l;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(vgr_list_append(&l, 5, row.payload), VGR_ERR_VALUE);
    EXPECT_EQ(l.count, before.count);
    EXPECT_EQ(l.records, before.records);
  }
  EXPECT_EQ(vgr_list_append(nullptr, 5, vgr_pointRecord{}), VGR_ERR_NULL);
}

TEST(VgrList, RecordsSurviveAGraphicListRoundTripByteForByte) {
  const vgr_list src = everyRecordForm();
  vcGraphicList list;
  vfGraphicListAppend(list, &src);
  ASSERT_EQ(list.items().size(), static_cast<std::size_t>(src.count));
  vgr_list back;
  vfGraphicListAppend(&back, list);
  EXPECT_EQ(back.count, src.count);
  EXPECT_EQ(back.records, src.records);
}

TEST(VgrList, EachRecordBecomesItsGraphic) {
  const vgr_list src = everyRecordType();
  vcGraphicList list;
  vfGraphicListAppend(list, &src);
  const std::vector<const std::type_info*> expected{
      &typeid(vcGraphicPointIcon),       &typeid(vcGraphicSimple<vcLineSeg>),
      &typeid(vcGraphicSimple<vcLine>),  &typeid(vcGraphicWithFill<vcRect, vcGenRect>),
      &typeid(vcGraphicWithFill<vcGenRect, vcGenRect>), &typeid(vcGraphicSimple<vcPolyline>),
      &typeid(vcGraphicSimple<vcAffineRectangle>),      &typeid(vcGraphicText),
      &typeid(vcGraphicSimple<vcLineSegSet>),           &typeid(vcGraphicWithFill<vcEllipse2, vcEllipse2>),
      &typeid(vcGraphicWithFill<vcEllipse2, vcEllipse2>), &typeid(vcGraphicPointIcon),
  };
  ASSERT_EQ(list.items().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(typeid(*list.items()[i]), *expected[i]) << i;
  EXPECT_EQ(list.items()[1]->color(), vcColor(10, 20, 30));
  // Both ellipse forms describe the same ellipse.
  const auto& e5 = dynamic_cast<const vcGraphicWithFill<vcEllipse2, vcEllipse2>&>(*list.items()[9]).item();
  const auto& e6 = dynamic_cast<const vcGraphicWithFill<vcEllipse2, vcEllipse2>&>(*list.items()[10]).item();
  for (double t = 0; t < 6.3; t += 0.7) {
    const V p = e5.ellFromUnitCirc().mapPoint(V(std::cos(t), std::sin(t)));
    EXPECT_NEAR(e6.distanceToPoint(p), 0.0, 1e-5) << t;
  }
  // Drawing the records records what drawing their graphics records.
  for (Layers l : {vcUITablet::eImage, vcUITablet::eOverlay}) {
    vcUITablet t;
    vfUITabletDraw(t, &src, l);
    EXPECT_EQ(sketchBytes(t.sketch()), sketchBytes(list.sketch(l))) << l;
  }
}

// Graphics without a record form are skipped; a skewed rectangle loses its
// skew only; a failed append leaves the vgr_list as it was.
TEST(VgrList, ExportSkipsUnrecordableGraphicsDropsSkewAndFailsWhole) {
  const vcGenRect skewed(V(4, 5), vcMatrix<2>(3, 1, 0.5, 2), V(0.25, 0.5));
  vcGraphicList list;
  list.append(GraphicH(new vcGraphicSimple<vcPolygon>(vcPolygon({V(0, 0), V(1, 0), V(0, 1)}, vcPolygon::eEvenOdd),
                                                      vcColor::redColor())),
              false);
  list.append(circle(vcColor::redColor()), false);
  list.append(GraphicH(new vcGraphicWithFill<vcGenRect, vcGenRect>(skewed, vcColor::redColor(), false)), false);
  vgr_list dst;
  vfGraphicListAppend(&dst, list);
  ASSERT_EQ(dst.count, 1);
  vcGraphicList back;
  vfGraphicListAppend(back, &dst);
  const vcGenRect& r = dynamic_cast<const vcGraphicWithFill<vcGenRect, vcGenRect>&>(*back.items()[0]).item();
  EXPECT_NEAR(r.data().skew.toDouble(), 0.0, 1e-12);
  EXPECT_EQ(r.rounding(), skewed.rounding());
  EXPECT_NEAR(r.sideLengths().x(), skewed.sideLengths().x(), 1e-12);

  const vgr_list before = dst;
  list.append(GraphicH(), false);
  EXPECT_THROW(vfGraphicListAppend(&dst, list), vcBadPointer);
  vcGraphicList zeroText;
  zeroText.append(GraphicH(new vcGraphicText(std::string("a\0b", 3), vcPoint(), vcColor::redColor(),
                                             vcColor::blackColor(), vcUIFormat(), V(0, 0))),
                  false);
  EXPECT_THROW(vfGraphicListAppend(&dst, zeroText), vcBadArgument);
  EXPECT_EQ(dst.records, before.records);
}

// Offsets into everyRecordForm(): record starts, by type.
std::size_t recordStart(const vgr_list& l, int index) {
  std::vector<vgr_record> records;
  std::size_t at = 0;
  vgr_list prefix;
  for (int i = 0; i < index; ++i) {
    // Each prefix of whole records decodes; its size is where record i starts.
    prefix.count = i + 1;
    for (std::size_t n = at + 1; n <= l.records.size(); ++n) {
      prefix.records.assign(l.records.begin(), l.records.begin() + static_cast<std::ptrdiff_t>(n));
      if (vgr_list_decode(&prefix, &records, nullptr) == VGR_OK) {
        at = n;
        break;
      }
    }
  }
  return at;
}

TEST(VgrList, MalformedListsThrowAndChangeNothing) {
  const vgr_list good = everyRecordForm();
  const std::size_t text = recordStart(good, 7), line = recordStart(good, 2), poly = recordStart(good, 5);
  const std::size_t genrect = recordStart(good, 4), segset = recordStart(good, 8);
  auto edited = [&](auto edit) {
    vgr_list l = good;
    edit(l);
    return l;
  };
  auto putF64 = [](vgr_list& l, std::size_t at, double v) { vc_bytes::putF64(l.records.data() + at, v); };
  auto put32 = [](vgr_list& l, std::size_t at, std::uint32_t v) { vc_bytes::put32(l.records.data() + at, v); };
  struct Row {
    const char* name;
    vgr_list list;
  };
  const std::vector<Row> rows{
      {"count one too many", edited([](vgr_list& l) { ++l.count; })},
      {"negative count", edited([](vgr_list& l) { l.count = -1; })},
      {"count beyond the bytes", edited([](vgr_list& l) { l.count = std::numeric_limits<std::int32_t>::max(); })},
      {"last byte missing", edited([](vgr_list& l) { l.records.pop_back(); })},
      {"text without its zero", edited([&](vgr_list& l) {
         l.records.resize(segset);
         l.records.back() = 'x';
         l.count = 8;
       })},
      {"alignment above 8", edited([&](vgr_list& l) { put32(l, text + 8 + 40, 9); })},
      {"text offset past 32 bits", edited([&](vgr_list& l) { putF64(l, text + 8 + 20, 3e9); })},
      {"NaN coordinate", edited([&](vgr_list& l) { putF64(l, line + 8 + 16, std::nan("")); })},
      {"negative vertex count", edited([&](vgr_list& l) { put32(l, poly + 8, 0xFFFFFFFFu); })},
      {"vertex count past the end", edited([&](vgr_list& l) { put32(l, poly + 8, 0x7FFFFFFFu); })},
      {"segment count past the end", edited([&](vgr_list& l) { put32(l, segset + 8, 1000); })},
      {"zero line direction", edited([&](vgr_list& l) {
         putF64(l, line + 8, 0);
         putF64(l, line + 16, 0);
       })},
      {"rounding above 1", edited([&](vgr_list& l) { putF64(l, genrect + 8 + 40, 2.0); })},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    vcGraphicList list;
    list.append(circle(vcColor::redColor()), false);
    EXPECT_THROW(vfGraphicListAppend(list, &r.list), vcBadArgument);
    EXPECT_EQ(list.items().size(), 1u);
    vcUITablet t;
    EXPECT_THROW(vfUITabletDraw(t, &r.list, vcUITablet::eOverlay), vcBadArgument);
    EXPECT_EQ(t.sketch().size(), 0);
  }
  vcGraphicList list;
  EXPECT_THROW(vfGraphicListAppend(list, static_cast<const vgr_list*>(nullptr)), vcBadPointer);
}

}  // namespace
