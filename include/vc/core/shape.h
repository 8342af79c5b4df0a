// vcShape: the base of the core library's geometric shapes.
//
// Conventions shared by every shape:
// - Coordinates are client coordinates, doubles; x grows to the right, y grows
//   downward (the pixel frame of images).
// - Angles are vcRadian values measured from the +x axis toward the +y axis.
//   In the y-down frame that turns clockwise on screen; in a y-up frame it is
//   the usual counter-clockwise sense.
// - A contour has a direction: it runs from startPoint() to endPoint(); a
//   closed contour ends where it starts.
// - Shapes are shared through vcPtrHandle<vcShape> and are persistent: each
//   concrete shape is registered with the class factory and has an archive
//   form (a version byte, then its fields).
#pragma once

#include <vector>

#include <vc/core/handle.h>
#include <vc/core/persistent.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcRect;
class vcShape;

using vcShapeHandle = vcPtrHandle<vcShape>;
using vcShapeHandle_const = vcPtrHandle_const<vcShape>;

class vcShape : public vcRepBase, public virtual vcPersistent {
public:
  // How a curve is turned into points by sample().
  class vcSampleParams {
  public:
    // tolerance: largest distance, in client units, allowed between the curve
    //   and the chords between consecutive samples (0: no tolerance bound);
    // spacing: largest distance between consecutive samples (0: no bound);
    // minPoints: fewest points a sampled curve yields (at least 2);
    // duplicateCorners: emit a corner point twice, once for each piece that meets there;
    // includeEnd: the curve's end point is the last sample.
    vcSampleParams(double tolerance = 0.0, double spacing = 0.0, long minPoints = 2, bool duplicateCorners = false,
                   bool includeEnd = true);

    double tolerance() const noexcept { return tolerance_; }
    void tolerance(double t) { tolerance_ = t; }
    double spacing() const noexcept { return spacing_; }
    void spacing(double s) { spacing_ = s; }
    long minPoints() const noexcept { return minPoints_; }
    void minPoints(long n) { minPoints_ = n; }
    // Most points a sampled curve yields (0: no limit). When the tolerance or
    // spacing would need more, the curve is sampled evenly with this many.
    long maxPoints() const noexcept { return maxPoints_; }
    void maxPoints(long n) { maxPoints_ = n; }
    bool duplicateCorners() const noexcept { return duplicateCorners_; }
    void duplicateCorners(bool d) { duplicateCorners_ = d; }
    bool includeEnd() const noexcept { return includeEnd_; }
    void includeEnd(bool e) { includeEnd_ = e; }

    // The number of evenly spaced chords that sampling a curve of the given
    // length and largest curvature (1 / smallest radius) needs under these
    // params, clamped to minPoints/maxPoints.
    long chordsFor(double length, double maxCurvature) const;

  private:
    double tolerance_;
    double spacing_;
    long minPoints_;
    long maxPoints_ = 0;
    bool duplicateCorners_;
    bool includeEnd_;
  };

  ~vcShape() override = default;

  // A new copy of this shape.
  virtual vcShapeHandle clone() const = 0;
  // This shape mapped by x, keeping the narrowest type that can represent the
  // result (a circle under a similarity stays a circle).
  virtual vcShapeHandle mapShape(const vcXform<2>& x) const = 0;
  // The smallest axis-aligned rectangle enclosing the shape. Infinite shapes
  // throw vcShapesError::BadGeom.
  virtual vcRect boundingBox() const = 0;
  // Distance from p to the nearest point of the shape (of its boundary for a
  // region's outline, 0 inside a region).
  virtual double distanceToPoint(const vcVector<2>& p) const = 0;
  // Type-aware equality; operator== of vcShape calls it.
  virtual bool isEqual(const vcShape& other) const = 0;

  virtual bool isOpenContour() const { return false; }
  virtual bool isClosedContour() const { return false; }
  virtual bool isRegion() const { return false; }
  virtual bool isEmpty() const { return false; }
  virtual bool isFinite() const { return true; }
  virtual bool hasTangent() const { return false; }

  // Ends of an open contour; other shapes throw vcShapesError::NotOpenContour.
  virtual vcVector<2> startPoint() const;
  virtual vcVector<2> endPoint() const;
  // Length of a contour (or of a region's boundary); throws BadGeom otherwise.
  virtual double perimeter() const;
  // Area of a region; throws NotRegion otherwise.
  virtual double area() const;
  // True when p lies inside a region (boundary included); throws NotRegion otherwise.
  virtual bool within(const vcVector<2>& p) const;
  // Tangent direction (unit vector) at the point of the contour nearest to p;
  // throws NoTangent when the shape has none.
  virtual vcVector<2> tangentAt(const vcVector<2>& p) const;
  // Appends points along the contour (or the boundary of a region) to result,
  // from start to end; throws BadGeom for shapes that are not curves.
  virtual void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const;
  // Simpler shapes that together make this one (a polyline gives its
  // segments); a shape that is already simple gives a copy of itself.
  virtual std::vector<vcShapeHandle> decompose() const;
  // The same contour run the other way; shapes without a direction give a copy.
  virtual vcShapeHandle reverse() const;

  bool operator==(const vcShape& o) const { return isEqual(o); }
  bool operator!=(const vcShape& o) const { return !isEqual(o); }

  // Archive part of the base: a version byte 0. Concrete shapes exchange it
  // first, then their own version byte and fields.
  void dispatchSerialize(vcArchive& ar) override;

protected:
  // The archive exchange of vcShapeBase (<vc/core/shapebase.h>), once for all
  // shapes: unless the part (self, size) was already exchanged, the version
  // byte and the vcShape part, then exchange(ar, self); a shape's own
  // complaint during a load (vcShapesError, vcBadArgument) becomes
  // vcArchive::BadData.
  void exchangeShape_(vcArchive& ar, void* self, unsigned size, void (*exchange)(vcArchive&, void*));

  vcShape() = default;
  vcShape(const vcShape&) : vcPersistent(), vcRepBase() {}
  vcShape& operator=(const vcShape&) { return *this; }
};

// Wraps a new copy of a concrete shape in a handle.
template <class S>
vcShapeHandle vfShapeHandle(const S& s) {
  return vcShapeHandle(new S(s));
}
