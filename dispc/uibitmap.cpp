// vcUIBitmap: construction and the initialised test.
#include <vc/uibitmap.h>

vcUIBitmap::vcUIBitmap() = default;

vcUIBitmap::vcUIBitmap(const vcRLEBuffer& image, const std::vector<unsigned char>& colorMap, bool passThrough,
                       unsigned char passColor)
    : image_(image), colorMap_(colorMap), passThrough_(passThrough), passColor_(passColor) {}

bool vcUIBitmap::isInit() const { return !image_.isNull(); }
