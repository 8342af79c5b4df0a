// Text and images on the tablet: placed at a mapped client point and, for
// images, magnified or reduced by the scope as the tablet's scale mode asks.
#include <vc/uitablet.h>

#include <optional>
#include <string>

#include <vc/core/pel.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/uiscope.h>
#include <vc/uistring.h>

#include "payloads.h"
#include "tablet_guards.h"
#include "tablet_record.h"

namespace {

using Modes = vcUITablet::ScaleModes;

// The scope operation for one pixel type under the scale mode. Both
// families get the stored factors as they are: sample reads factors above 1
// as whole reductions, as the tablet's own map does (vcUIScope::sampleScale).
template <class T, class Pass>
void drawImage(vcUIScope& scope, Modes mode, const vcPair<double>& scale, vcUITablet::InterpolationModes interpolation,
               const vcPelBuffer_const<T>& image, const vcPoint& at, bool passThrough, Pass passValue) {
  if (mode == vcUITablet::eExpand)
    scope.expand(image, at, scale, passThrough, passValue, interpolation);
  else if (mode == vcUITablet::eSample)
    scope.sample(image, at, scale, passThrough, passValue);
  else
    scope.draw(image, at, passThrough, passValue);
}

}  // namespace

// The payloads below copy the text, the image handle and the color table, so
// they are made only when the call is recorded; checked before anything draws.

// Text ends at its first NUL: that is where its record ends it, so drawing
// shows exactly what a replay of the record shows.
void vcUITablet::draw(const std::string& text, const vcPoint& p, const vcColor& color, const vcColor& background,
                      const vcUIFormat& format, Layers layer) {
  vfCheckPosition(p, "text position");
  const std::string shown = text.substr(0, text.find('\0'));
  std::optional<vc_StringPayload> payload;
  if (recording()) checkRecordable_<11>(payload.emplace(vc_StringPayload{vcVector<2>(p), background, format, shown}));
  if (okToDraw(layer)) {
    vcPoint scratch;
    drawScope_[layer]->draw(shown, mapPoint(p, layer, scratch), color, background, format);
  }
  if (payload) record_<11>(layer, vcGraphicProps(), color, *payload);
}

void vcUITablet::draw(const vcPelBuffer_const<unsigned char>& image, const vcPoint& p, bool passThrough,
                      unsigned char passValue, bool mapped, Layers layer) {
  vfCheckPosition(p, "image position");
  std::optional<vc_PelBuf8Payload> payload;
  if (recording())
    checkRecordable_<12>(payload.emplace(vc_PelBuf8Payload{vcVector<2>(p), passThrough, passValue, mapped, image}));
  if (okToDraw(layer)) {
    vcUIScope& scope = *drawScope_[layer];
    vcPoint scratch;
    const vcPoint& at = mapPoint(p, layer, scratch);
    if (scaleMode_ == eExpand)
      scope.expand(image, at, scale_, passThrough, passValue, mapped, interpolation_);
    else if (scaleMode_ == eSample)
      scope.sample(image, at, scale_, passThrough, passValue, mapped);
    else
      scope.draw(image, at, passThrough, passValue, mapped);
  }
  if (payload) record_<12>(layer, vcGraphicProps(), vcColor(0), *payload);
}

void vcUITablet::draw(const vcPelBuffer_const<unsigned short>& image, const vcPoint& p, bool passThrough,
                      unsigned short passValue, Layers layer) {
  vfCheckPosition(p, "image position");
  if (!okToDraw(layer)) return;
  vcPoint scratch;
  drawImage(*drawScope_[layer], scaleMode_, scale_, interpolation_, image, mapPoint(p, layer, scratch), passThrough,
            passValue);
}

void vcUITablet::draw(const vcPelBuffer_const<vcPackedRGB16Pel>& image, const vcPoint& p, bool passThrough,
                      unsigned short passValue, Layers layer) {
  vfCheckPosition(p, "image position");
  if (!okToDraw(layer)) return;
  vcPoint scratch;
  drawImage(*drawScope_[layer], scaleMode_, scale_, interpolation_, image, mapPoint(p, layer, scratch), passThrough,
            passValue);
}

void vcUITablet::draw(const vcPelBuffer_const<vcPackedRGB32Pel>& image, const vcPoint& p, bool passThrough,
                      unsigned long passValue, Layers layer) {
  vfCheckPosition(p, "image position");
  if (!okToDraw(layer)) return;
  vcPoint scratch;
  drawImage(*drawScope_[layer], scaleMode_, scale_, interpolation_, image, mapPoint(p, layer, scratch), passThrough,
            passValue);
}

void vcUITablet::draw(const vcRLEBuffer& image, const vcPoint& p, const std::vector<unsigned char>& colorMap,
                      bool passThrough, unsigned char passValue, bool mapped, Layers layer) {
  vfCheckPosition(p, "image position");
  std::optional<vc_RleBufPayload> payload;
  if (recording())
    checkRecordable_<14>(
        payload.emplace(vc_RleBufPayload{vcVector<2>(p), passThrough, passValue, mapped, colorMap, image}));
  if (okToDraw(layer)) {
    vcUIScope& scope = *drawScope_[layer];
    vcPoint scratch;
    const vcPoint& at = mapPoint(p, layer, scratch);
    if (scaleMode_ == eExpand)
      scope.expand(image, at, scale_, colorMap, passThrough, passValue);
    else if (scaleMode_ == eSample)
      scope.sample(image, at, scale_, colorMap, passThrough, passValue);
    else
      scope.draw(image, at, colorMap, passThrough, passValue);
  }
  if (payload) record_<14>(layer, vcGraphicProps(), vcColor(0), *payload);
}
