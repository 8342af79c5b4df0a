// Affine resampling of images: an area of a source image, given as an
// affine rectangle (a parallelogram), is sampled onto an upright grid of
// destination pixels, with nearest, bilinear or bicubic interpolation.
//
// Coordinates are image coordinates of the source (<vc/core/pelbuffer.h>):
// pixel (i, j) covers the unit square [i, i + 1) x [j, j + 1) and its value
// sits at the square's centre (i + 0.5, j + 0.5).
#pragma once

#include <vc/core/affinerect.h>
#include <vc/core/pel.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rect.h>
#include <vc/core/vector.h>

// What vfAffineTransformImage samples, how finely, and how it finds values
// between pixel centres.
class vcAffineSamplingParams {
public:
  // Interpolation values.
  enum Interpolation : int {
    eNearest = 1,   // the pixel whose square holds the sample point
    eBilinear = 2,  // the 2 x 2 pixels around the point, weighted linearly
    eBicubic = 3,   // the 4 x 4 pixels around the point, cubic convolution (a = -0.5)
  };

  // area: the source area, in source image coordinates; its corner Po goes to
  // the upper-left corner of the grid, Px to the upper-right and Py to the
  // lower-left. xSamples, ySamples: the grid size in destination pixels
  // (>= 0); destination pixel (i, j) samples the source at
  // Po + (i + 0.5) / xSamples * (Px - Po) + (j + 0.5) / ySamples * (Py - Po).
  // interpolation: one of Interpolation. Throws vcBadArgument for a negative
  // grid size or another interpolation value.
  vcAffineSamplingParams(const vcAffineRectangle& area, long xSamples, long ySamples, int interpolation);

  const vcAffineRectangle& area() const noexcept { return area_; }
  long xSamples() const noexcept { return xSamples_; }
  long ySamples() const noexcept { return ySamples_; }
  int interpolation() const noexcept { return interpolation_; }

  // The source point (image coordinates) that destination pixel (i, j) samples.
  vcVector<2> samplePoint(long i, long j) const;
  // The change of the sample point from one destination column to the next,
  // and from one row to the next (source pixels).
  vcVector<2> columnStep() const;
  vcVector<2> rowStep() const;

private:
  vcAffineRectangle area_;
  long xSamples_;
  long ySamples_;
  int interpolation_;
};

// Samples src as params say into the upper-left xSamples x ySamples pixels of
// dst's window. A destination pixel is written when its sample point lies in
// the area of src's window; the interpolation reads only pixels of the
// window, repeating the edge pixels where its kernel reaches past them, and
// rounds to the nearest value. Pixels whose sample point lies outside the
// window are left as they were. The 32-bit form interpolates red, green and
// blue alike and writes the spare byte as 0.
// Returns the smallest rectangle, in dst's image coordinates, that holds
// every pixel written: empty when none was (a null or empty source, an empty
// grid, or an area wholly outside the source), so the caller knows which
// part of dst it still has to fill. Throws vcBadArgument when dst is null or
// its window is smaller than the grid.
vcRectangle<long> vfAffineTransformImage(const vcPelBuffer_const<unsigned char>& src,
                                         const vcAffineSamplingParams& params, vcPelBuffer<unsigned char>& dst);
vcRectangle<long> vfAffineTransformImage(const vcPelBuffer_const<vcPackedRGB32Pel>& src,
                                         const vcAffineSamplingParams& params, vcPelBuffer<vcPackedRGB32Pel>& dst);
