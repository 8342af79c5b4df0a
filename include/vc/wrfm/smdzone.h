// Profile tolerance zones of SMD models: the band of width t centred on the
// nominal outline, bounded by the model shrunk by t/2 and grown by t/2, and
// the check of measured edge points against it.
//
// Frame and units: the model's client coordinates (as <vc/wrfm/smdpoly.h>);
// tolerances, deviations and points are in those units.
#pragma once

#include <vector>

#include <vc/core/pelbuffer.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/uitypes.h>
#include <vc/wrfm/smdmodel.h>

class vcGraphicList;
class vcUITablet;

class vcSMDToleranceZone {
public:
  // nominal: the outlines (closed or open polys); tolerance: the full width
  // of the zone, finite and > 0, else vcShapesError::BadGeom.
  vcSMDToleranceZone(const vcSMDGDModel& nominal, double tolerance);

  const vcSMDGDModel& nominal() const noexcept { return nominal_; }
  double tolerance() const noexcept { return t_; }
  // The nominal shrunk by t/2 and grown by t/2 (vcSMDGDModelPrivate::offset):
  // for polys that bound material, the least and the most material outlines.
  // An open poly has no inner outline; its band is the outer one.
  const vcSMDGDModel& inner() const noexcept { return inner_; }
  const vcSMDGDModel& outer() const noexcept { return outer_; }

  // Signed deviation of p from the nominal: the distance to the nearest
  // outline, negative inside a closed poly (in material) and positive outside.
  double deviation(const vcVector<2>& p) const;
  // Whether p lies in the zone: |deviation(p)| <= t/2, ends included.
  bool inZone(const vcVector<2>& p) const;

  struct Report {
    long count = 0;               // points checked
    long inside = 0;              // of them in the zone
    double fractionInside = 1.0;  // inside / count; 1 for no points
    double worstDeviation = 0.0;  // the signed deviation of largest magnitude
    vcVector<2> worstPoint;       // the point that has it
    long worstIndex = -1;         // its index in the list; -1 for no points
  };
  // The measured edge points (client coordinates) against the zone.
  Report report(const std::vector<vcVector<2>>& points) const;

  // Drawing; xform maps the model's coordinates to the tablet's (or list's)
  // client coordinates. The band filled in bandColor, then the inner and
  // outer outlines as wireframes in lineColor, on layer.
  void draw(vcUITablet& tablet, const vcXform<2>& xform, const vcColor& lineColor, const vcColor& bandColor,
            vcUITabletTypes::Layers layer) const;
  // The same as graphics appended to list: the filled band, then the wireframes.
  void draw(vcGraphicList& list, const vcXform<2>& xform, const vcColor& lineColor, const vcColor& bandColor) const;

  // Synthetic images (see <vc/wrfm/synthetic.h>); x maps the model's
  // coordinates to image coordinates. Regions are filled with value and the
  // holes in them (outlines that an offset closed around a cavity) with
  // background, each outline as vcSMDGDPolyPrivate::drawSynthetic fills it.
  // The band: the outer region, then the inner one in background, so that a
  // zeroed image given 255 and 0 becomes the zone's mask with exact edges.
  void drawBandSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image, unsigned char value,
                         unsigned char background) const;
  // The inner (least material) and outer (most material) regions.
  void drawMinMaterialSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image, unsigned char value,
                                unsigned char background) const;
  void drawMaxMaterialSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image, unsigned char value,
                                unsigned char background) const;

private:
  vcSMDGDModel nominal_;
  double t_ = 0.0;
  vcSMDGDModel inner_;
  vcSMDGDModel outer_;
  std::vector<bool> innerHole_;  // per poly of inner_: it bounds a hole
  std::vector<bool> outerHole_;
};
