// Valid inputs for the archive fuzz target: one per type it selects.
#include <cstdint>
#include <string>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/display.h>

std::vector<std::vector<std::uint8_t>> vc_fuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  auto add = [&](std::uint8_t selector, auto value) {
    vcBufferArchive ar(vcArchive::eStore);
    ar || value;
    std::vector<std::uint8_t> s{selector};
    s.insert(s.end(), ar.bytes().begin(), ar.bytes().end());
    seeds.push_back(std::move(s));
  };
  auto addObject = [&](vcPersistent* obj) {
    vcBufferArchive ar(vcArchive::eStore);
    ar.serializePointer(obj);
    std::vector<std::uint8_t> s{10};
    s.insert(s.end(), ar.bytes().begin(), ar.bytes().end());
    seeds.push_back(std::move(s));
  };
  add(0, vcColor::purpleColor());
  add(0, vcColor(9, 8, 7));
  add(1, vcRGB(200, 100, 50));
  add(2, vcUIRect(-5, 6, 70, 80));
  add(3, vcUIFormat(3, vcUIFormat::eBottomRight));
  vcGraphicProps props(vcColor(1, 2, 3), 5, vcGraphicProps::ePenDashDot, true);
  props.showVertex(true);
  add(4, props);
  vcUISketch sketch;
  sketch.append(12);
  add(5, sketch.mark());
  add(6, vcXform<2>(vcMatrix<2>(0, -1, 1, 0), vcVector<2>(10, 20)));
  add(7, std::string("seed text"));
  add(8, std::vector<long>{-1, 0, 1, 2147483647});
  add(9, std::vector<vcUIRect>{vcUIRect(0, 0, 2, 2), vcUIRect(5, 5, 1, 1)});

  vcGraphicProps obj(vcColor::greenColor(), 2);
  addObject(&obj);
  vcGraphic::BadParams withMessage("Item index out of range");
  addObject(&withMessage);
  vcUIError::InvalidUISketch plain;
  addObject(&plain);

  vcPelBuffer<unsigned char> img(9, 3);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 9; ++x) *img.pointToPel(x, y) = static_cast<unsigned char>(x < 4 ? 1 : y);
  const vcRLEBuffer rle = vcRLEBuffer::encode(img);
  std::vector<std::uint8_t> runs{11, 9, 0, 3, 0};
  runs.insert(runs.end(), rle.runs().begin(), rle.runs().end());
  seeds.push_back(std::move(runs));
  return seeds;
}
