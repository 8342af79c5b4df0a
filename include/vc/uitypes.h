// The enumerations shared by tablets and scopes. vcUITablet derives from
// vcUITabletTypes, so they are also reachable as vcUITablet::Layers,
// vcUITablet::eOverlay and so on; their values are recorded in sketches and
// passed across the scope interface.
#pragma once

struct vcUITabletTypes {
  // The drawing layers. eBoth names both layers where an operation accepts it
  // (redraw, erase, screen-update locks); it is never a drawing target.
  enum Layers : int { eImage = 0, eOverlay = 1, eBoth = 2 };

  // How the tablet's scaled map is derived from its base map.
  enum ScaleModes : int {
    eNoScale = 0,  // the scaled map is the base map
    eExpand = 1,   // magnify by the scale factors; images go to the scope's expand
    eSample = 2,   // reduce; images go to the scope's sample
  };

  // Image resampling asked of a scope when it magnifies: 0 replicates pixels,
  // 1 interpolates bilinearly, other values bicubically.
  enum InterpolationModes : int { eNoInterpolation = 0, eBilinear = 1, eBicubic = 2 };

  // How a scope floods from a seed pixel; the tablet passes the value through
  // and records it. eFillToBorder fills up to pixels of the second color;
  // eFillSurface fills the connected region of the seed pixel's color.
  enum FillType : int { eFillToBorder = 0, eFillSurface = 1 };
};
