// What vcview shows: the files it opened, drawn in one client frame whose
// unit is an image pixel, and what can be picked in them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <vc/core/pelbuffer.h>
#include <vc/core/rect.h>
#include <vc/glist.h>
#include <vc/uisketch.h>
#include <vc/uitablet.h>
#include <vc/wrfm/smdmodel.h>

class vcviewScene {
public:
  // Opens one file by its ending: .vcs (a sketch), .vcm (an SMD model), any
  // other as an image Qt can read (PNG, PGM, ...). Throws std::runtime_error
  // with "PATH: reason" when the file cannot be read; the scene is then as
  // it was.
  void open(const std::string& path);
  // Models opened after this call are drawn over the images at this
  // placement (model units to client coordinates), without a synthetic image
  // of their own.
  void placeModels(const vcXform<2>& place) {
    placed_ = true;
    place_ = place;
  }

  // Draws what lies on layers (eImage, eOverlay or eBoth): images, then
  // models, then sketches.
  void draw(vcUITablet& t, vcUITablet::Layers layers) const;
  // The client rectangle holding what was opened (a 640 x 480 default when empty).
  vcRect bounds() const;
  // The 8-bit value or RGB of the topmost image at a client point, or "".
  std::string valueAt(const vcPoint& p) const;
  // What lies nearest to a client point within `within` client units: the
  // picked item's text, and its outline drawn on the overlay by highlight.
  struct Pick {
    bool found = false;
    std::string text;
    vcRect box;
  };
  Pick pick(const vcPoint& p, double within) const;

private:
  struct Image {
    vcPelBuffer<unsigned char> grey;    // 8-bit images
    vcPelBuffer<vcPackedRGB32Pel> rgb;  // colour images
    bool isGrey = true;
  };
  struct Model {
    std::string name;
    vcSMDGDModel model;
    vcXform<2> place;  // model units to client coordinates
    vcPelBuffer<unsigned char> synthetic;
    vcGraphicList arrows;           // the pickable glyphs, poly by poly
    std::vector<long> polyOfArrow;  // for each item of arrows, its poly
  };

  std::vector<Image> images_;
  std::vector<Model> models_;
  std::vector<vcUISketch> sketches_;
  vcRect bounds_;
  bool empty_ = true;
  bool placed_ = false;
  vcXform<2> place_;
};

// The position of the graphic of list nearest p (client coordinates) within
// `within`, or -1; answered by the list's pick index.
long vfNearestGraphic(const vcGraphicList& list, const vcVector<2>& p, double within);
