// Feeds arbitrary bytes to the walk over a vgr_list: the first four bytes are
// the record count (little-endian), the rest the records. A malformed list
// may fail only with the library's exceptions and must leave the graphic list
// and the tablet it was given as they were; a list that reads must draw
// directly exactly what its graphics draw, and write back to records that
// read to the same graphics.
#include <cstring>
#include <vector>

#include <vc/core/byteio.h>
#include <vc/display.h>

#include "fuzz_target.h"

namespace {

std::vector<unsigned char> sketchBytes(const vcUISketch& s) {
  return std::vector<unsigned char>(s.data(), s.data() + s.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  vgr_list src;
  src.count = static_cast<std::int32_t>(vc_bytes::get32(data));
  src.records.assign(data + 4, data + size);

  vcGraphicList list;
  list.append(vcGraphic::makeShapeGraphic(vcCircle(vcVector<2>(1, 2), 3), vcGraphicProps()), false);
  const auto before = list.items();
  try {
    vfGraphicListAppend(list, &src);
  } catch (const vcException&) {
    if (list.items() != before) vc_fuzzFailure("failed vgr_list walk changed the graphic list");
    vcUITablet t;
    try {
      vfUITabletDraw(t, &src, vcUITablet::eOverlay);
    } catch (const vcException&) {
      if (t.sketch().size() != 0) vc_fuzzFailure("failed vgr_list walk drew on the tablet");
      return 0;
    }
    vc_fuzzFailure("a vgr_list that does not append draws");
  }
  list.items().erase(list.items().begin());

  vcUITablet direct;
  vfUITabletDraw(direct, &src, vcUITablet::eImage);
  if (sketchBytes(direct.sketch()) != sketchBytes(list.sketch(vcUITablet::eImage)))
    vc_fuzzFailure("drawing a vgr_list differs from drawing its graphics");

  // Written back and read again, the records give graphics that write the same records.
  vgr_list back;
  vfGraphicListAppend(&back, list);
  vcGraphicList again;
  vfGraphicListAppend(again, &back);
  vgr_list backAgain;
  vfGraphicListAppend(&backAgain, again);
  if (backAgain.count != back.count || backAgain.records != back.records)
    vc_fuzzFailure("vgr_list records do not round-trip");
  return 0;
}
