// Synthetic images: outlines rendered into 8-bit images as machine-vision
// model images.
//
// Image frame: x to the right, y down, one unit per pixel; pixel (i, j)
// covers [i, i + 1) x [j, j + 1) and its centre is (i + 0.5, j + 0.5). A
// transform maps the outline's client coordinates into this frame. Nothing
// is written outside the image's window, and the outermost 2 pixels of the
// window never take intermediate values. Pel buffers are passed by value:
// a vcPelBuffer shares its pixels, so the writes reach the caller's image.
//
// A filled outline leaves every pixel at old + coverage * (value - old),
// rounded, where coverage is the exact fraction of the pixel's area inside
// the outline and old the pixel as it was: the interior takes exactly the
// value, the exterior is left alone, and outlines drawn later blend against
// what earlier ones left. Arcs are followed by chords that stray from them
// by less than 0.002 pixel and cut off as much area as they add.
//
// Grey levels are passed as signed char, as their 8-bit patterns: the value
// 200 may be passed as static_cast<signed char>(200).
#pragma once

#include <vc/core/handle.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/xform.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/lineseg.h>

class vcGenPoly;

// While an object lives, filled synthetic renderings made by the thread that
// made it may split the rows of a large outline over up to count threads
// (std::thread; the calling thread among them). The pixels written are the
// same whatever the count. With none alive a thread renders alone; objects
// nest, the innermost one counting. count < 1 throws vcBadArgument.
class vcSynthThreads {
public:
  explicit vcSynthThreads(int count);
  ~vcSynthThreads();
  vcSynthThreads(const vcSynthThreads&) = delete;
  vcSynthThreads& operator=(const vcSynthThreads&) = delete;

  // The count in force for the calling thread (1 when none is set).
  static int current() noexcept;

private:
  int previous_;
};

// Fills the closed generalised polygon g into image with grey level value.
// g's own xform (poly frame to client) is applied first, then x (client to
// image). An open polygon throws vcShapesError::BadGeom; a null handle
// throws vcBadPointer. A non-linear transform is followed piece by piece,
// each piece halved until it strays by at most 0.001 pixel; an outline that
// would so need more than 4,194,304 points throws vcShapesError::BadGeom, as
// do image coordinates that are not finite or exceed 1e300 in magnitude.
void vfDrawSynthetic(const vcGenPoly& g, const vcXform<2>& x, vcPelBuffer<unsigned char>& image, unsigned char value);
void vfDrawSynthetic(const vcGenPoly& g, const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image,
                     unsigned char value);

// Blends the pixels that one boundary segment passes through. The segment
// is mapped by x (client to image) and cut to the working rectangle, the
// window shrunk by 2 pixels on every side (nothing when that is empty).
// side > 0: a region of grey level value lies on the segment's +90 degree
// side (for a segment running along +x, toward +y); side < 0: on the other
// side. Each pixel the segment passes through then becomes
// old + a * (value - old), rounded, where a is the exact fraction of the
// pixel on the region's side of the segment's line. So a straight edge of
// an outline whose interior was filled by pixel centres, or not at all, gets
// exact boundary pixels; pixels where segments meet need the renderer.
// side == 0: no region, the pixels are set to value.
void drawLinePelBuf(vcPelBuffer<unsigned char> image, const vc2SegmentLine& line, const vcXform<2>& x,
                    signed char value, signed char side);

// The same for an arc, followed by chords as above (and of at most 5 degrees). A pixel is blended once for each time
// the arc passes through it, by the fraction on the region's side of the line through the points where the arc enters
// and leaves it. The four outputs, when not null, receive the image coordinates of the arc's first point (x0, y0) and
// last point (x1, y1) as drawn.
void drawArcPelBuf(vcPelBuffer<unsigned char> image, const vc2SegmentArc& arc, const vcXform<2>& x, signed char value,
                   signed char side, double* x0, double* y0, double* x1, double* y1);

// Marks, for each pixel row whose centre line y = j + 0.5 the segment (mapped
// by x) reaches, the pixel where it crosses that line: with the ends ordered
// so that y0 <= y1, rows from ceil(y0 - 0.5) to floor(y1 - 0.5) (rounded
// robustly: within a relative 1e-11 of an integer counts as it). When more
// than one row, row j gets pixel (floor(x), j) at the crossing x; the first
// and last rows also get the pixels nearest the ends' columns. Marked pixels
// are set to value; those outside the window are skipped.
void drawHorizontalExtentsPelBuf(vcPelBuffer<unsigned char> image, const vc2SegmentLine& line, const vcXform<2>& x,
                                 signed char value);
// The arc's chords (those drawArcPelBuf follows), each marked as above. The four outputs are those of drawArcPelBuf.
void drawHorizontalExtentsPelBuf(vcPelBuffer<unsigned char> image, const vc2SegmentArc& arc, const vcXform<2>& x,
                                 signed char value, double* x0, double* y0, double* x1, double* y1);
