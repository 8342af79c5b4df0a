// vcCoordAxes: a drawn coordinate frame, two axes from a common origin.
//
// Points are client coordinates (see <vc/core/shape.h>). The axes need not be
// perpendicular nor of equal length: they show any affine frame, for example
// the image of the unit axes under a pose.
#pragma once

#include <vector>

#include <vc/core/lineseg.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;
class vcRect;

// The x axis runs from origin() to xEnd(), the y axis from origin() to
// yEnd(). Not a contour nor a region; distanceToPoint is the distance to the
// nearer axis segment and the bounding box holds the three points.
class vcCoordAxes : public vcShapeBase<vcCoordAxes> {
public:
  // All three points at (0, 0).
  vcCoordAxes() = default;
  // origin, xEnd, yEnd: client coordinates. Throws vcShapesError::BadGeom when
  // a coordinate is not finite.
  vcCoordAxes(const vcVector<2>& origin, const vcVector<2>& xEnd, const vcVector<2>& yEnd);

  const vcVector<2>& origin() const noexcept { return origin_; }
  const vcVector<2>& xEnd() const noexcept { return xEnd_; }
  const vcVector<2>& yEnd() const noexcept { return yEnd_; }
  vcLineSeg xAxis() const { return vcLineSeg(origin_, xEnd_); }
  vcLineSeg yAxis() const { return vcLineSeg(origin_, yEnd_); }
  // True when either axis has zero length (its end equals the origin), so it
  // has no direction to draw an arrow along.
  bool degen() const { return xEnd_ == origin_ || yEnd_ == origin_; }

  // The three points mapped.
  vcCoordAxes map(const vcXform<2>& x) const;

  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  vcRect boundingBox() const override;
  double distanceToPoint(const vcVector<2>& p) const override;
  // The two axes, x first, as vcLineSeg shapes.
  std::vector<vcShapeHandle> decompose() const override;

  bool operator==(const vcCoordAxes& o) const {
    return origin_ == o.origin_ && xEnd_ == o.xEnd_ && yEnd_ == o.yEnd_;
  }
  bool operator!=(const vcCoordAxes& o) const { return !(*this == o); }

private:
  friend class vcShapeBase<vcCoordAxes>;
  // Version byte, then origin, xEnd and yEnd (two doubles each).
  void archiveFields_(vcArchive& ar);

  vcVector<2> origin_;
  vcVector<2> xEnd_;
  vcVector<2> yEnd_;
};
extern template class vcShapeBase<vcCoordAxes>;

// The archive form of an axes value: its persistent form exchanged in place
// (version bytes and the three points, no class name).
vcArchive& operator||(vcArchive& ar, vcCoordAxes& a);
