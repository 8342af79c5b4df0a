// vcSMDGeometricDescription: the common base of SMD models, polys and poly
// vertices, and vcSMDColors, the colors an SMD outline is shown with.
#pragma once

#include <string>

#include <vc/color.h>
#include <vc/core/handle.h>
#include <vc/core/persistent.h>

template <int N>
class vcXform;
class vcUITablet;
template <class T>
class vcPelBuffer;
class vc2XformBase;

// A named, persistent, reference-countable geometric description.
class vcSMDGeometricDescription : public virtual vcPersistent, public vcRepBase {
public:
  explicit vcSMDGeometricDescription(const std::string& name = std::string()) : name_(name) {}
  vcSMDGeometricDescription(const vcSMDGeometricDescription&) = default;
  vcSMDGeometricDescription& operator=(const vcSMDGeometricDescription&) = default;
  ~vcSMDGeometricDescription() override = default;

  const std::string& name() const noexcept { return name_; }
  // Draws the description's outline on the tablet, mapped by xform from its
  // own client coordinates to the tablet's. Here: nothing.
  virtual void drawWireframe(const vcXform<2>& xform, vcUITablet& tablet) const;

  // Renders the description into an 8-bit image as a synthetic (model)
  // image; x maps client coordinates to image coordinates (see
  // <vc/wrfm/synthetic.h>). The base draws nothing.
  virtual void drawSynthetic(const vcXform<2>& x, vcPelBuffer<unsigned char>& image) const;
  // The same through a shared, possibly non-linear transform. A null handle
  // throws vcBadPointer; the base draws with the transform's linear form at
  // the origin.
  virtual void drawSynthetic(const vcPtrHandle_const<vc2XformBase>& x, vcPelBuffer<unsigned char>& image) const;

  // Version byte 0, then the name. Any other version throws
  // vcArchive::UnknownVersion; a failed load leaves the name unchanged.
  void dispatchSerialize(vcArchive& ar) override;

protected:
  // The same exchange without the visited mark, for parts read into
  // temporaries (whose addresses the archive may see again).
  void exchangeDescription_(vcArchive& ar);

private:
  std::string name_;
};

// The three colors that govern how an SMD outline is shown: its wireframe on a
// tablet, its fill and the background of synthetic images.
class vcSMDColors : public virtual vcPersistent {
public:
  // Wireframe green, synthetic light grey, background dark grey.
  vcSMDColors();
  vcSMDColors(const vcColor& wireframe, const vcColor& synthetic, const vcColor& background)
      : wire_(wireframe), synth_(synthetic), back_(background) {}
  vcSMDColors(const vcSMDColors& o) : vcPersistent(), wire_(o.wire_), synth_(o.synth_), back_(o.back_) {}
  vcSMDColors& operator=(const vcSMDColors& o);

  const vcColor& wireframeDefaultColor() const noexcept { return wire_; }
  const vcColor& syntheticDefaultColor() const noexcept { return synth_; }
  const vcColor& syntheticBackgroundColor() const noexcept { return back_; }
  void wireframeDefaultColor(const vcColor& c);
  void syntheticDefaultColor(const vcColor& c);
  void syntheticBackgroundColor(const vcColor& c);

  // The grey level (0 to 255) that a color gives in synthetic images. A color
  // with a palette index (stock colors included) takes the level of the stock
  // color with that index: black 5, dkGrey 50, grey 100, ltGrey 150, white
  // 250, red 120, dkRed 90, orange 180, yellow 210, green 130, dkGreen 80,
  // cyan 200, blue 160, purple 90, magenta 170, any other index (pass
  // included) 0. An RGB color gives (r + g + b) / 3 rounded to nearest. A
  // color with neither throws vcUIError::NotIndexColor.
  static unsigned char colorToGrayScale(const vcColor& c);

  bool operator==(const vcSMDColors& o) const { return wire_ == o.wire_ && synth_ == o.synth_ && back_ == o.back_; }
  bool operator!=(const vcSMDColors& o) const { return !(*this == o); }

  // Version byte 1, then the three colors in the order above. Version 0
  // carries no colors (the object keeps its own); any other version throws
  // vcArchive::UnknownVersion naming "dispc/wrfm/colors". A failed load
  // leaves the colors unchanged.
  void dispatchSerialize(vcArchive& ar) override;

private:
  friend class vcSMDGDPoly;
  void exchange_(vcArchive& ar);
  static vcPersistent* make();
  static const vc_Instantiator sExemplar;

  vcColor wire_;
  vcColor synth_;
  vcColor back_;
};
