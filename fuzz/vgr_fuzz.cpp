// Feeds arbitrary bytes to the walk over a vgr_list: the first four bytes are
// the record count (little-endian), the rest the records. A malformed list
// may fail only with the library's exceptions and must leave the graphic list
// and the tablet it was given as they were; a list that reads must draw
// directly exactly what its graphics draw, and its graphics written back and
// read again must write the same records (a rotated generalised rectangle's
// side lengths and orientation within rounding).
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include <vc/core/byteio.h>
#include <vc/display.h>

#include "fuzz_target.h"

namespace {

std::vector<unsigned char> sketchBytes(const vcUISketch& s) {
  return std::vector<unsigned char>(s.data(), s.data() + s.size());
}

bool near(double a, double b, bool angle) {
  double d = std::fabs(a - b);
  if (angle) d = std::fabs(std::remainder(a - b, 2 * std::numbers::pi));
  return d <= 1e-9 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
}

// Equal records, except that a generalised rectangle's side lengths and
// orientation may differ by rounding.
bool sameRecords(const vgr_list& a, const vgr_list& b) {
  std::vector<vgr_record> ra, rb;
  if (vgr_list_decode(&a, &ra, nullptr) != VGR_OK || vgr_list_decode(&b, &rb, nullptr) != VGR_OK) return false;
  if (ra.size() != rb.size()) return false;
  for (std::size_t i = 0; i < ra.size(); ++i) {
    const auto* x = std::get_if<vgr_genRectRecord>(&ra[i].payload);
    const auto* y = std::get_if<vgr_genRectRecord>(&rb[i].payload);
    if (!x || !y) {
      if (ra[i] != rb[i]) return false;
      continue;
    }
    if (ra[i].color != rb[i].color || x->center != y->center || x->rounding != y->rounding ||
        !near(x->sides.x, y->sides.x, false) || !near(x->sides.y, y->sides.y, false) ||
        !near(x->orientation, y->orientation, true))
      return false;
  }
  return true;
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

  // Written back and read again, the records give graphics that write the
  // same records. Writing back may fail only with the library's exceptions
  // (a rectangle whose side length overflows when recomputed).
  vgr_list back, backAgain;
  try {
    vfGraphicListAppend(&back, list);
    vcGraphicList again;
    vfGraphicListAppend(again, &back);
    vfGraphicListAppend(&backAgain, again);
  } catch (const vcException&) {
    return 0;
  }
  if (backAgain.count != back.count || !sameRecords(back, backAgain))
    vc_fuzzFailure("vgr_list records do not round-trip");
  return 0;
}
