// The maths-library record stand-ins; layouts in <vgr/vmath.h>.
#include <vgr/vmath.h>

#include <cmath>
#include <cstring>

#include <vc/core/byteio.h>
#include <vgr/vgr.h>

namespace {

// Reads n doubles from rec at offset 0; false when one is not finite.
bool readFinite(const unsigned char* rec, double* out, int n) {
  for (int i = 0; i < n; ++i) {
    out[i] = vc_bytes::getF64(rec + 8 * i);
    if (!std::isfinite(out[i])) return false;
  }
  return true;
}

}  // namespace

int vmath_shapeEllipse_init(unsigned char* rec, double cx, double cy, double a, double b, double rotation) {
  if (!rec) return VGR_ERR_NULL;
  for (double v : {cx, cy, a, b, rotation})
    if (!std::isfinite(v)) return VGR_ERR_VALUE;
  if (a < 0.0 || b < 0.0) return VGR_ERR_VALUE;
  const double c = std::cos(rotation), s = std::sin(rotation);
  const double values[9] = {a * c, -b * s, a * s, b * c, cx, cy, a, b, rotation};
  std::memset(rec, 0, VGR_SHAPE_ELLIPSE_SIZE);
  for (int i = 0; i < 9; ++i) vc_bytes::putF64(rec + 8 * i, values[i]);
  return VGR_OK;
}

int vmath_shapeEllipse_getXform(const unsigned char* rec, double xform[6]) {
  if (!rec || !xform) return VGR_ERR_NULL;
  return readFinite(rec, xform, 6) ? VGR_OK : VGR_ERR_VALUE;
}

int vmath_shapeAffineRect_initPoints(unsigned char* rec, const double pts[6]) {
  if (!rec || !pts) return VGR_ERR_NULL;
  for (int i = 0; i < 6; ++i)
    if (!std::isfinite(pts[i])) return VGR_ERR_VALUE;
  for (int i = 0; i < 6; ++i) vc_bytes::putF64(rec + 8 * i, pts[i]);
  return VGR_OK;
}

int vmath_shapeAffineRect_getPoints(const unsigned char* rec, double pts[6]) {
  if (!rec || !pts) return VGR_ERR_NULL;
  return readFinite(rec, pts, 6) ? VGR_OK : VGR_ERR_VALUE;
}
