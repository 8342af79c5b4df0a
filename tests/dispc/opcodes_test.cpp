// The sketch record formats, every kind at once: the bytes of each catalogue
// entry are pinned by a fixture file (tests/data/records; regenerate with
// scripts/regen_record_fixtures.sh only for a deliberate format change), each
// record parses and writes back to the same bytes, survives an archive and is
// refused when cut short. Replay against direct drawing: sketch_replay_test.
#include <vc/sketchop.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <vc/core/archive.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>
#include <vc/uitablet.h>

#include "../../dispc/ext/opcodes.h"
#include "support/bytes.h"
#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

namespace {

using L = vcUITablet::Layers;
using Bytes = std::vector<unsigned char>;

std::string fixturePath(const vcCatalogueEntry& e) {
  const char* dir = std::getenv("VC_TEST_DATA");
  char num[8];
  std::snprintf(num, sizeof num, "%02d", e.opcode);
  return std::string(dir ? dir : VC_TEST_DATA_DIR) + "/records/" + num + "_" + e.name + ".bin";
}

Bytes bytesOf(const vcUISketch& s) { return Bytes(s.data(), s.data() + s.size()); }

vcUISketch sketchOf(const Bytes& b, std::size_t n) {
  vcUISketch s;
  s.append(b.data(), static_cast<long>(n));
  return s;
}

// What a scopeless recording tablet records for the entry on the overlay
// layer (so the layer byte is not 0).
Bytes recorded(const vcCatalogueEntry& e) {
  vcUITablet t;
  t.recordOn() = true;
  e.draw(t, vcUITablet::eOverlay);
  return bytesOf(t.sketch());
}

// A visible recording tablet on a 200 x 100 recording scope under a map
// that scales and shifts, so that client and scope coordinates differ.
struct Surface {
  vcRecordingScope scope{vcPair<long>(0, 0), vcPair<long>(200, 100)};
  vcUITablet tablet{&scope, nullptr};
  Surface() {
    tablet.visible(true);
    tablet.baseMap(vcXform<2>(vcMatrix<2>(2, 0, 0, 1.5), vcVector<2>(7, -3)));
    scope.clearLog();
  }
};

TEST(Opcodes, EveryRecordKindHasOneCatalogueEntryWhoseBytesArePinned) {
  std::set<int> kinds, listed;
#define VC_KIND_(op, ...) kinds.insert(op);
  VC_SKETCH_OPCODES(VC_KIND_)
#undef VC_KIND_
  const bool regenerate = std::getenv("VC_REGENERATE_RECORD_FIXTURES") != nullptr;
  for (const vcCatalogueEntry& e : vfOpcodeCatalogue()) {
    SCOPED_TRACE(e.name);
    listed.insert(e.opcode);
    const Bytes got = recorded(e);
    if (regenerate) vfWriteTestFile(fixturePath(e), got);
    EXPECT_EQ(got, vfReadTestFile(fixturePath(e))) << "the layout of opcode " << e.opcode << " changed";
  }
  EXPECT_EQ(kinds, listed);
}

// Each fixture holds one record of its opcode; fixed-size payloads have the
// size the table gives; parsing and writing back, or an archive round trip,
// give the fixture's bytes.
TEST(Opcodes, EachRecordParsesAndWritesBackItsBytes) {
  std::map<int, long> fixed;
#define VC_FIXED_(op, name, P, size, R) fixed[op] = size;
  VC_SKETCH_OPCODES(VC_FIXED_)
#undef VC_FIXED_
  for (const vcCatalogueEntry& e : vfOpcodeCatalogue()) {
    SCOPED_TRACE(e.name);
    const Bytes b = vfReadTestFile(fixturePath(e));
    const vcUISketch s = sketchOf(b, b.size());
    vc_UISketchOpHeader header;
    vc_UISketchOpData* raw = nullptr;
    ASSERT_EQ(vfParseUISketch(s, 0, header, &raw), static_cast<long>(b.size()));
    const std::unique_ptr<vc_UISketchOpData> record(raw);
    EXPECT_EQ(header.opcode(), e.opcode);
    EXPECT_EQ(header.layer(), vcUITablet::eOverlay);
    vc_UISketchOpHeader probe;
    const long head = probe.parseByteStream(b.data(), static_cast<long>(b.size()));
    if (fixed[e.opcode] != kVariablePayload) {
      EXPECT_EQ(static_cast<long>(b.size()) - head, fixed[e.opcode]);
    }
    vcUISketch back;
    header.populateSketch(back);
    record->populateSketch(back);
    EXPECT_EQ(bytesOf(back), b);
    if (static_cast<long>(b.size()) > head) {
      EXPECT_FALSE(record->describe().empty());
    }
    if (e.opcode == 15) continue;  // nested sketches have no archive form
    vcBufferArchive out(vcArchive::eStore);
    out || back;
    vcBufferArchive in(out.bytes());
    vcUISketch loaded;
    in || loaded;
    EXPECT_EQ(bytesOf(loaded), b);
    // The record object's own archive form is refused cut short or at another version.
    vcBufferArchive recordOut(vcArchive::eStore);
    vcPersistent* p = record.get();
    recordOut.serializePointer(p);
    Bytes stored = recordOut.bytes();
    vcPersistent* q = nullptr;
    for (std::size_t n = 0; n < stored.size(); ++n) {
      vcBufferArchive cut(Bytes(stored.begin(), stored.begin() + static_cast<long>(n)));
      EXPECT_THROW(cut.serializePointer(q), vcArchive::Errors) << "cut at " << n;
    }
    stored[1 + 4 + record->className().size()] = 1;  // tag, name length, name, then the version
    vcBufferArchive newer(stored);
    EXPECT_THROW(newer.serializePointer(q), vcArchive::UnknownVersion);
  }
}

// A record cut anywhere, or with a bad field, is refused, and the error says
// which record (and what was wrong).
TEST(Opcodes, EveryCutShortRecordIsRefusedNamingTheRecord) {
  for (const vcCatalogueEntry& e : vfOpcodeCatalogue()) {
    SCOPED_TRACE(e.name);
    Bytes b = vfReadTestFile(fixturePath(e));
    // Behind a whole record, so that the place named is not 0.
    const Bytes first = vfReadTestFile(fixturePath(vfOpcodeCatalogue().front()));
    b.insert(b.begin(), first.begin(), first.end());
    for (std::size_t n = first.size() + 1; n < b.size(); ++n) {
      const vcUISketch s = sketchOf(b, n);
      vc_UISketchOpHeader header;
      const long next = vfParseUISketch(s, 0, header, nullptr);
      try {
        vfParseUISketch(s, next, header, nullptr);
        ADD_FAILURE() << "a record cut to " << n - first.size() << " bytes was accepted";
      } catch (const vcUIError::InvalidUISketch& x) {
        EXPECT_EQ(x.reason().rfind("record at byte " + std::to_string(first.size()), 0), 0u) << x.reason();
      }
      Surface replay;
      EXPECT_THROW(replay.tablet.draw(s, vcPoint(0, 0), vcUITablet::eBoth), vcUIError::InvalidUISketch);
    }
    // A malformed field is reported with its record and what was wrong.
    vc_UISketchOpHeader probe;
    const long head = probe.parseByteStream(b.data() + first.size(), static_cast<long>(b.size() - first.size()));
    b[first.size() + static_cast<std::size_t>(head) - vcUISketch::kHeadSize + 1] = 7;  // the layer
    try {
      const vcUISketch s = sketchOf(b, b.size());
      vc_UISketchOpHeader header;
      vfParseUISketch(s, vfParseUISketch(s, 0, header, nullptr), header, nullptr);
      ADD_FAILURE() << "layer 7 accepted";
    } catch (const vcUIError::InvalidUISketch& x) {
      EXPECT_NE(std::string(x.what()).find("record at byte " + std::to_string(first.size()) + ": layer 7"),
                std::string::npos) << x.what();
    }
  }
}

TEST(Opcodes, NamesComeFromTheTable) {
  EXPECT_STREQ(vfSketchOpcodeName(29), "Circle");
  EXPECT_STREQ(vfSketchOpcodeName(41), "Wireframe");
  for (long op : {-1L, 13L, 48L, 255L}) EXPECT_STREQ(vfSketchOpcodeName(op), "?");
}

}  // namespace
