// Replay's read-and-draw functions against the record objects' way: the same
// sketches, sound, damaged and cut short, replayed both ways onto recording
// scopes must make the same scope calls and fail with the same error.
#include "sketch_direct.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <vc/display.h>

#include "support/opcode_catalogue.h"
#include "support/recording_scope.h"

namespace {

using L = vcUITablet::Layers;

// What one replay did: the calls each scope saw and the error, if any.
struct Outcome {
  std::string image, overlay, error;
  bool operator==(const Outcome&) const = default;
};

Outcome replay(const vcUISketch& s, L layer, bool direct) {
  vcRecordingScope image(vcPair<long>(0, 0), vcPair<long>(200, 100));
  vcRecordingScope overlay(vcPair<long>(0, 0), vcPair<long>(200, 100));
  vcUITablet tablet(&image, &overlay);
  tablet.visible(true);
  tablet.baseMap(vcXform<2>(vcMatrix<2>(2, 0, 0, 1.5), vcVector<2>(3, -4)));
  image.clearLog();
  overlay.clearLog();
  Outcome out;
  const bool before = vfSketchReplayDirect();
  vfSketchReplayDirect(direct);
  try {
    tablet.draw(s, vcPoint(1.5, -2), layer);
  } catch (const std::exception& e) {
    out.error = e.what();
  }
  vfSketchReplayDirect(before);
  out.image = image.logText();
  out.overlay = overlay.logText();
  return out;
}

// Every catalogue entry in random order, on random layers, with random
// props drawn between them so that props records come and go.
vcUISketch randomSketch(std::mt19937& rng) {
  const auto& entries = vfOpcodeCatalogue();
  vcUITablet rec;
  std::uniform_int_distribution<int> pick(0, static_cast<int>(entries.size()) - 1), layer(0, 2), width(0, 4),
      style(0, 2), coin(0, 1);
  for (int i = 0; i < 60; ++i) {
    const L l = static_cast<L>(layer(rng));
    if (coin(rng)) {
      const vcGraphicProps props(vcColor(static_cast<unsigned char>(i), 3, 7), width(rng),
                                 static_cast<vcGraphicProps::vePenStyle>(style(rng)), coin(rng) != 0);
      rec.draw(vcCircle(vcVector<2>(i, 2 * i), 1 + i % 5), props, l);
    }
    const vcCatalogueEntry& e = entries[static_cast<std::size_t>(pick(rng))];
    if (e.opcode != 15 || i % 8 == 0) e.draw(rec, l);  // nested sketches now and then
  }
  return rec.sketch();
}

// s with one fault: a byte changed, a double made NaN, a props marker put
// in, or the bytes cut short.
vcUISketch damaged(const vcUISketch& s, std::mt19937& rng) {
  std::vector<unsigned char> b(s.data(), s.data() + s.size());
  std::uniform_int_distribution<std::size_t> at(0, b.size() - 1);
  const std::size_t i = at(rng);
  switch (rng() % 4) {
    case 0:
      b[i] = static_cast<unsigned char>(rng());
      break;
    case 1:
      std::memset(b.data() + i, 0xFF, std::min<std::size_t>(8, b.size() - i));
      break;
    case 2:
      b[i] = static_cast<unsigned char>(vcUISketch::kPropsMarker);
      break;
    default:
      b.resize(i);
      break;
  }
  vcUISketch out;
  if (!b.empty()) out.append(b.data(), static_cast<long>(b.size()));
  return out;
}

}  // namespace

TEST(SketchDirect, BothReplayWaysDrawAndFailAlike) {
  std::mt19937 rng(29);
  int failures = 0, cases = 0;
  for (int round = 0; round < 12; ++round) {
    const vcUISketch sound = round == 0 ? vfSketchOfEveryOpcode() : randomSketch(rng);
    for (int variant = 0; variant < 40; ++variant) {
      const vcUISketch s = variant == 0 ? sound : damaged(sound, rng);
      for (const L layer : {vcUITablet::eImage, vcUITablet::eOverlay, vcUITablet::eBoth}) {
        const Outcome direct = replay(s, layer, true), objects = replay(s, layer, false);
        ASSERT_EQ(direct, objects) << "round " << round << ", variant " << variant << ", layer " << layer
                                   << "\nerror: " << direct.error << "\nvs:    " << objects.error;
        if (variant == 0) {
          EXPECT_EQ(direct.error, "") << round;
        }
        failures += !direct.error.empty();
        ++cases;
      }
    }
  }
  // The damage reaches both the payload checks and the draws.
  EXPECT_GT(failures, cases / 10);
  EXPECT_LT(failures, cases);
}
