// Stand-ins for the two maths-library shape records that graphics lists carry
// (record types 6 and 8 of <vgr/vgr.h>). Both are fixed-size, little-endian
// byte images; every value is an 8-byte IEEE 754 double (f64).
#pragma once

// vmath_shapeEllipse, VGR_SHAPE_ELLIPSE_SIZE (104) bytes: the map of the unit
// circle onto the ellipse, matrix m00 @0, m01 @8, m10 @16, m11 @24 and
// translation (the center) x @32, y @40; then the same ellipse as radii a @48,
// b @56 and rotation of radius a (radians) @64; 32 zero bytes @72. Readers use
// the map alone.
//
// vmath_shapeAffineRect, VGR_SHAPE_AFFINE_RECT_SIZE (48) bytes: the origin
// corner x @0, y @8; the corner at the end of the first side x @16, y @24;
// the corner at the end of the second side x @32, y @40.
//
// The functions return VGR_OK (0) or VGR_ERR_NULL / VGR_ERR_VALUE of <vgr/vgr.h>.

// Fills rec (104 bytes) with the ellipse of center (cx, cy), radii a, b >= 0
// and rotation of radius a (radians, from +x toward +y).
int vmath_shapeEllipse_init(unsigned char* rec, double cx, double cy, double a, double b, double rotation);
// The ellipse's unit-circle map: xform = {m00, m01, m10, m11, tx, ty}.
// VGR_ERR_VALUE when a value is not finite.
int vmath_shapeEllipse_getXform(const unsigned char* rec, double xform[6]);

// Fills rec (48 bytes) from the corners: pts = {Po x, Po y, Px x, Px y, Py x, Py y}.
int vmath_shapeAffineRect_initPoints(unsigned char* rec, const double pts[6]);
// Three corners of the rectangle, in the order of initPoints. VGR_ERR_VALUE
// when a value is not finite.
int vmath_shapeAffineRect_getPoints(const unsigned char* rec, double pts[6]);
