// vcUIBitmap: a run-length image together with the color map and pass
// (transparent) value it is drawn with.
#pragma once

#include <vector>

#include <vc/core/rle.h>

class vcUIBitmap {
public:
  // No image, an empty color map, no pass value (passThrough false, passColor 0).
  vcUIBitmap();
  // colorMap maps the image's pixel values to display values (palette
  // indexes); when passThrough is set, pixels of value passColor are not drawn.
  vcUIBitmap(const vcRLEBuffer& image, const std::vector<unsigned char>& colorMap, bool passThrough,
             unsigned char passColor);

  const vcRLEBuffer& rleBuf() const noexcept { return image_; }
  void rleBuf(const vcRLEBuffer& image) { image_ = image; }
  const std::vector<unsigned char>& colorMap() const noexcept { return colorMap_; }
  void colorMap(const std::vector<unsigned char>& map) { colorMap_ = map; }
  bool passThrough() const noexcept { return passThrough_; }
  void passThrough(bool on) noexcept { passThrough_ = on; }
  unsigned char passColor() const noexcept { return passColor_; }
  void passColor(unsigned char value) noexcept { passColor_ = value; }

  // The image holds data.
  bool isInit() const;

private:
  vcRLEBuffer image_;
  std::vector<unsigned char> colorMap_;
  bool passThrough_ = false;
  unsigned char passColor_ = 0;
};
