// Feeds arbitrary bytes to the sketch readers. The first byte chooses the
// reader (and, for replay, the layer); the rest is its input:
// - a record-by-record walk, rebuilt with populateSketch;
// - a replay onto a recording tablet drawing into recording scopes, made
//   both by the read-and-draw functions and through record objects;
// - the sketch archive reader.
// Malformed input may fail only with the library's exceptions: a walk with
// vcUIError::InvalidUISketch, a failed replay with the tablet's state
// restored, a failed load with the target sketch unchanged.
#include <cstring>
#include <string>
#include <vector>

#include <vc/core/archive.h>
#include <vc/sketchop.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>
#include <vc/uitablet.h>

#include "fuzz_target.h"
#include "sketch_direct.h"
#include "support/recording_scope.h"

namespace {

vcUISketch sketchOf(const std::uint8_t* data, std::size_t size) {
  vcUISketch s;
  s.append(data, static_cast<long>(size));
  return s;
}

bool sameBytes(const vcUISketch& a, const vcUISketch& b) {
  return a.size() == b.size() && (a.size() == 0 || std::memcmp(a.data(), b.data(), static_cast<std::size_t>(a.size())) == 0);
}

// Parses every record of s with a fresh header (and, alongside, one header
// shared by all records) and appends each to a new sketch through
// populateSketch. Throws what the parsers throw.
vcUISketch rebuild(const vcUISketch& s) {
  vcUISketch out;
  vcUISketchRecords fresh(s, {.freshHeaders = true}), shared(s);
  auto other = shared.begin();
  for (const vcUISketchRecord& r : fresh) {
    if (r.size <= 0 || r.size > s.size() - r.offset) vc_fuzzFailure("record length outside the sketch");
    if (other == shared.end() || other->offset != r.offset || other->size != r.size)
      vc_fuzzFailure("record length depends on the props in force");
    r.header->populateSketch(out);
    r.data->populateSketch(out);
    ++other;
  }
  return out;
}

void walk(const std::uint8_t* data, std::size_t size) {
  vcUISketch once;
  try {
    once = rebuild(sketchOf(data, size));
  } catch (const vcUIError::InvalidUISketch&) {
    return;
  }
  // What the writers wrote, the readers read back to the same bytes.
  if (!sameBytes(rebuild(once), once)) vc_fuzzFailure("rebuilt sketch does not rebuild to itself");
}

long optimizeBalance(vcRecordingScope& s) {
  long balance = 0;
  for (const vcScopeCall& c : s.calls("optimizeDrawing")) balance += c.ints.at(0) ? 1 : -1;
  return balance;
}

// Replays the bytes onto recording scopes, by the read-and-draw functions
// when direct, else through record objects; returns the calls the scopes
// saw and the error, if any, as text.
std::string replayOnce(const vcUISketch& s, vcUITablet::Layers layer, bool direct) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(64, 48));
  vcRecordingScope overlay(vcPair<long>(0, 0), vcPair<long>(64, 48));
  vcUITablet tablet(&image, &overlay);
  tablet.visible(true);
  tablet.baseMap(vcXform<2>(vcMatrix<2>(2, 0, 0, 1.5), vcVector<2>(3, -4)));
  tablet.recordOn() = true;
  const vcXform<2> map = tablet.scaledMap();
  const long depth = tablet.recordOn().depth();
  image.clearLog();
  overlay.clearLog();
  vfSketchReplayDirect(direct);
  try {
    tablet.draw(s, vcPoint(1.5, -2), layer);
  } catch (const vcException& e) {
    vfSketchReplayDirect(true);
    if (!(tablet.scaledMap() == map)) vc_fuzzFailure("failed replay left the map shifted");
    if (tablet.recordOn().depth() != depth || !tablet.recordOn()) vc_fuzzFailure("failed replay left recording changed");
    if (image.lockDepth() != 0 || overlay.lockDepth() != 0) vc_fuzzFailure("failed replay left a screen lock");
    if (optimizeBalance(image) != 0 || optimizeBalance(overlay) != 0)
      vc_fuzzFailure("failed replay left drawing optimised");
    if (!tablet.sketch().isNull()) vc_fuzzFailure("failed replay was recorded");
    return image.logText() + overlay.logText() + e.what();
  }
  vfSketchReplayDirect(true);
  // A replay that succeeded is recorded as one nested-sketch record.
  if (s.isNull()) {
    if (!tablet.sketch().isNull()) vc_fuzzFailure("empty replay was recorded");
  } else {
    vc_UISketchOpHeader h;
    const long n = vfParseUISketch(tablet.sketch(), 0, h, nullptr);
    if (h.opcode() != 15 || n != tablet.sketch().size()) vc_fuzzFailure("replay not recorded as one nested sketch");
  }
  return image.logText() + overlay.logText();
}

// Both ways of replaying draw alike and fail alike.
void replay(const std::uint8_t* data, std::size_t size, vcUITablet::Layers layer) {
  const vcUISketch s = sketchOf(data, size);
  if (replayOnce(s, layer, true) != replayOnce(s, layer, false))
    vc_fuzzFailure("replay through record objects differs from the direct replay");
}

void load(const std::uint8_t* data, std::size_t size) {
  vcUISketch target;
  // A point record (index color 3) at the origin.
  unsigned char point[8 + 16] = {0, 0, 4, 3};
  target.append(point, sizeof point);
  const vcUISketch before = target;
  try {
    vcBufferArchive ar(data, size);
    ar || target;
  } catch (const vcException&) {
    if (!sameBytes(target, before)) vc_fuzzFailure("failed load changed the sketch");
    return;
  }
  try {
    rebuild(target);
  } catch (const vcUIError::InvalidUISketch&) {
    vc_fuzzFailure("loaded sketch does not parse");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t* body = data + 1;
  const std::size_t n = size - 1;
  switch (data[0] % 3) {
    case 0: walk(body, n); break;
    case 1: replay(body, n, static_cast<vcUITablet::Layers>(data[0] / 3 % 3)); break;
    case 2: load(body, n); break;
  }
  return 0;
}
