// Valid inputs for the vgr_list fuzz target: a list with every record type.
#include <cstdint>
#include <vector>

#include <vc/core/byteio.h>
#include <vgr/vgr.h>
#include <vgr/vmath.h>

std::vector<std::vector<std::uint8_t>> vc_fuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  auto add = [&](const vgr_list& l) {
    std::vector<std::uint8_t> s(4);
    vc_bytes::put32(s.data(), static_cast<std::uint32_t>(l.count));
    s.insert(s.end(), l.records.begin(), l.records.end());
    seeds.push_back(std::move(s));
  };
  vgr_list l;
  const double poly[] = {0, 0, 4, 1, 3, 5};
  const double segs[] = {0, 0, 1, 1, 5, 5, 6, 9};
  const double corners[] = {1, 1, 7, 2, 0, 5};
  unsigned char affine[48], ellipse[104];
  vmath_shapeAffineRect_initPoints(affine, corners);
  vmath_shapeEllipse_init(ellipse, 4, 5, 3, 1, 0.5);
  vgr_list_appendPoint(&l, 5, 1.5, 2.5);
  add(l);
  vgr_list_appendLineSeg(&l, -2147483520, 1, 2, 3, 4);
  vgr_list_appendLineDirPoint(&l, 5, 0.6, 0.8, 5, 6);
  vgr_list_appendRect(&l, 5, 1, 2, 30, 40);
  vgr_list_appendGenRect(&l, 9, 5, 6, 8, 4, 0.3, 0.25, 0.5);
  vgr_list_appendEllipse(&l, 5, 4, 5, 3, 1, 0.5);
  vgr_list_appendShapeEllipse(&l, 5, ellipse);
  vgr_list_appendPolyline(&l, 5, 3, poly, true);
  vgr_list_appendShapeAffineRect(&l, 12, affine);
  vgr_list_appendTextEx(&l, 5, 3, "hello", 3, 4, 2.5, -1.5, 7, 4);
  vgr_list_appendLineSegSet(&l, 5, 2, segs);
  add(l);
  return seeds;
}
