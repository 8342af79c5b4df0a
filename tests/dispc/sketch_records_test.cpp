// The record walk over a sketch (vcUISketchRecords): what it yields against
// the one-record parse, its reuse of record objects, and where it stops on
// malformed bytes.
#include <vc/sketchop.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <vc/display.h>

#include "support/opcode_catalogue.h"

namespace {

using V = vcVector<2>;
constexpr vcUITablet::Layers I = vcUITablet::eImage;

// Records of several kinds under changing props, some with a props record of their own.
vcUISketch mixedSketch() {
  const vcGraphicProps thin(vcColor(200, 10, 10), 1), thick(vcColor(20, 100, 10), 3, vcGraphicProps::ePenDash);
  vcUITablet t;
  for (int i = 0; i < 12; ++i) {
    const vcGraphicProps& p = i % 3 ? thin : thick;
    const double x = i;
    if (i % 4 == 0) t.draw(vcPolygon({V(x, 0), V(x + 3, 1), V(x, 2)}, vcPolygon::eEvenOdd), p, I);
    else if (i % 4 == 1) t.draw(vcLineSeg(V(x, 1), V(2, x)), p, vcUITablet::eOverlay);
    else if (i % 4 == 2) t.draw(std::string("t") + std::to_string(i), vcPoint(x, 3), vcColor(3), vcColor(0), vcUIFormat(), I);
    else t.draw(vcCircle(V(x, 4), 1 + x), p, I);
  }
  return t.sketch();
}

// Every record the walk yields is the one vfParseUISketch parses at the same
// offset, with the same header state, and the records tile the sketch.
TEST(SketchRecords, YieldWhatTheOneRecordParseReads) {
  for (const vcUISketch& s : {mixedSketch(), vfSketchOfEveryOpcode()}) {
    for (const bool fresh : {false, true}) {
      SCOPED_TRACE(fresh ? "fresh headers" : "one header");
      vc_UISketchOpHeader shared;
      long at = 0, records = 0;
      for (const vcUISketchRecord& r : vcUISketchRecords(s, {.freshHeaders = fresh})) {
        vc_UISketchOpHeader freshHeader;
        vc_UISketchOpHeader& h = fresh ? freshHeader : shared;
        vc_UISketchOpData* made = nullptr;
        const long n = vfParseUISketch(s, at, h, &made);
        const std::unique_ptr<vc_UISketchOpData> want(made);
        ASSERT_EQ(r.offset, at);
        ASSERT_EQ(r.size, n);
        EXPECT_EQ(r.opcode(), h.opcode());
        EXPECT_EQ(r.header->layer(), h.layer());
        EXPECT_EQ(r.header->color(), h.color());
        EXPECT_EQ(r.header->props(), h.props());
        EXPECT_EQ(r.header->hasProps(), h.hasProps());
        EXPECT_EQ(r.ownProps, s.data()[at] == static_cast<unsigned char>(vcUISketch::kPropsMarker));
        if (fresh) {
          EXPECT_EQ(r.header->hasProps(), r.ownProps);
        }
        EXPECT_EQ(r.data->describe(), want->describe());
        EXPECT_EQ(r.headSize, (r.ownProps ? 1 + vcGraphicProps::kRecordSize : 0) + vcUISketch::kHeadSize);
        EXPECT_EQ(r.payload.data(), s.data() + at + r.headSize);
        EXPECT_EQ(static_cast<long>(r.payload.size()), r.size - r.headSize);
        at += n;
        ++records;
      }
      EXPECT_EQ(at, s.size());
      EXPECT_GT(records, 10);
    }
  }
}

// One record object per opcode serves every record of it, until handed over.
TEST(SketchRecords, ReuseOneObjectPerOpcodeUntilTaken) {
  vcUITablet t;
  for (int i = 0; i < 4; ++i) t.draw(vcPoint(i, 2 * i), vcColor(3), I);
  vcUISketchRecords walk(t.sketch());
  std::vector<const vc_UISketchOpData*> objects;
  std::unique_ptr<vc_UISketchOpData> taken;
  for (const vcUISketchRecord& r : walk) {
    objects.push_back(r.data);
    if (objects.size() == 2) taken = walk.takeData();
  }
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(objects[0], objects[1]);
  EXPECT_EQ(taken.get(), objects[1]);
  EXPECT_NE(objects[2], objects[1]);
  EXPECT_EQ(objects[2], objects[3]);
  EXPECT_EQ(taken->describe(), "(1, 2)");  // the second point, not overwritten by the later ones
}

vcUISketch prefix(const vcUISketch& s, long n) {
  vcUISketch out;
  out.append(s.data(), n);
  return out;
}

// A walk over malformed bytes yields every record before the bad one, then
// throws naming the bad record's offset.
TEST(SketchRecords, StopAtTheMalformedRecordNamingIt) {
  const vcUISketch good = mixedSketch();
  std::vector<long> starts;
  for (const vcUISketchRecord& r : vcUISketchRecords(good)) starts.push_back(r.offset);
  struct Case {
    std::string what;
    vcUISketch bytes;
    long badRecord;  // index into starts, or starts.size() for a record appended at the end
  };
  std::vector<Case> cases;
  for (std::size_t k = 1; k < starts.size(); ++k) {
    // Cut one byte into record k, and one byte before its end.
    cases.push_back({"cut into record " + std::to_string(k), prefix(good, starts[k] + 1), static_cast<long>(k)});
    cases.push_back({"cut short of record " + std::to_string(k - 1) + "'s end", prefix(good, starts[k] - 1),
                     static_cast<long>(k - 1)});
  }
  vcUISketch noClass(good);
  noClass.opcode(13, 0, vcColor(1));
  cases.push_back({"opcode without a record class", noClass, static_cast<long>(starts.size())});
  vcUISketch badLayer(good);
  badLayer.opcode(0, 7, vcColor(1));
  cases.push_back({"layer 7", badLayer, static_cast<long>(starts.size())});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const long badAt = c.badRecord < static_cast<long>(starts.size()) ? starts[static_cast<std::size_t>(c.badRecord)]
                                                                    : good.size();
    long seen = 0;
    try {
      for (const vcUISketchRecord& r : vcUISketchRecords(c.bytes)) {
        EXPECT_EQ(r.offset, starts[static_cast<std::size_t>(seen)]);
        ++seen;
      }
      ADD_FAILURE() << "malformed bytes walked";
    } catch (const vcUIError::InvalidUISketch& e) {
      EXPECT_EQ(seen, c.badRecord);
      EXPECT_NE(std::string(e.what()).find("record at byte " + std::to_string(badAt)), std::string::npos) << e.what();
    }
  }
}

}  // namespace
