// Playback of a recorded sketch onto a tablet, and the rectangle a playback
// would cover.
#include <vc/uitablet.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include <vc/core/ellipse.h>
#include <vc/core/exception.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/lineseg.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/poly.h>
#include <vc/core/rle.h>
#include <vc/core/shape.h>
#include <vc/sketchop.h>
#include <vc/uierror.h>
#include <vc/uiscope_adapter.h>

#include "sketch_direct.h"
#include "sketch_walk.h"
#include "tablet_guards.h"
#include "tablet_record.h"

namespace {

// A surface that shows nothing and reports, as client changes, the pixels
// each drawing call would cover, so that replaying onto it measures a sketch.
// Text extents come from the real surface it stands in for.
class vc_BoundsScope : public vcUIScopeAdapter {
public:
  explicit vc_BoundsScope(vcUIScope& measure) : vcUIScopeAdapter(measure.org(), measure.size()), measure_(measure) {}

  vcUIScope* newChild(const vcUIRect& r, bool clipOnly) override {
    auto child = std::make_unique<vc_BoundsScope>(measure_);
    if (clipOnly) child->subset(*this, r);
    else child->move(*this, r);
    return child.release();
  }
  void draw(const vcGenShape& s, const vcColor&) override { shape(s, 1); }
  vcUIRect textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format,
                    vcUIRect& rect) override {
    return measure_.textRect(text, anchor, format, rect);
  }

private:
  void onShape(const char*, const vcShape& s, const vcGraphicProps& p) override { shape(s, p.penWidth()); }
  void onPoint(const vcPoint& s, const vcGraphicProps& p) override { span(s.x(), s.y(), s.x(), s.y(), p.penWidth()); }
  void onImage(const char*, const vcPoint& corner, long w, long h, const vcPair<double>& scale) override {
    const double sw = std::ceil(static_cast<double>(w) * scale.x()), sh = std::ceil(static_cast<double>(h) * scale.y());
    const double limit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    if (!(sw >= 1 && sh >= 1 && sw <= limit && sh <= limit)) return;
    change(vcUIRect(xCoord(corner), yCoord(corner), static_cast<long>(sw), static_cast<long>(sh)));
  }
  void onText(const std::string& text, const vcPoint& anchor, const vcColor&, const vcColor&,
              const vcUIFormat& format) override {
    vcUIRect r;
    change(textRect(text, anchor, format, r) - org());
  }
  // A set, and a flood (whose extent depends on pixels this surface does not
  // have), count as covering the whole surface when not given a rectangle.
  void onSet(const vcUIRect* rect, const vcColor&) override { change(rect ? *rect - org() : whole()); }
  void onFill(const vcPair<long>&, const vcColor&, const vcColor&, FillType) override { change(whole()); }
  void onStroke(const vcPoint* to, long dx, long dy, const vcGraphicProps& props) override {
    if (to) {
      span(drawPoint().x(), drawPoint().y(), to->x(), to->y(), props.penWidth());
    } else {
      const long x0 = drawX(), y0 = drawY();
      pixels(x0, y0, x0 + dx, y0 + dy, props.penWidth() / 2);
    }
  }

  vcUIRect whole() const { return vcUIRect(0, 0, size().x(), size().y()); }
  // Surface pixels from (x0, y0) to (x1, y1) inclusive, in either order,
  // widened by pad on every side.
  void pixels(long x0, long y0, long x1, long y1, long pad) {
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    change(vcUIRect(x0 - pad, y0 - pad, x1 - x0 + 1 + 2 * pad, y1 - y0 + 1 + 2 * pad));
  }
  // Scope coordinates from (x0, y0) to (x1, y1), drawn with a pen of penWidth.
  void span(double x0, double y0, double x1, double y1, long penWidth) {
    for (double v : {x0, y0, x1, y1})
      if (!std::isfinite(v)) return;
    pixels(vfScopePixel(x0, org().x()), vfScopePixel(y0, org().y()), vfScopePixel(x1, org().x()),
           vfScopePixel(y1, org().y()), penWidth / 2);
  }
  void shape(const vcShape& s, long penWidth) {
    const vcRect b = s.boundingBox();
    span(b.x(), b.y(), b.x() + b.width(), b.y() + b.height(), penWidth);
  }

  vcUIScope& measure_;
};

// A surface that shows nothing and measures, for each drawing call, how far
// its ink lies from one point (scope coordinates), keeping the nearest
// record. Strokes count their pen's half width; filled regions, images,
// texts and rectangles set count as covering their area; a flood fill
// covers an unknown area and counts as covering the point.
class vc_PickScope : public vcUIScopeAdapter {
public:
  vc_PickScope(vcUIScope& measure, const vcVector<2>& at)
      : vcUIScopeAdapter(measure.org(), measure.size()), measure_(measure), at_(at) {}

  vcUIScope* newChild(const vcUIRect& r, bool clipOnly) override {
    auto child = std::make_unique<vc_PickScope>(measure_, at_);
    if (clipOnly) child->subset(*this, r);
    else child->move(*this, r);
    return child.release();
  }
  void draw(const vcGenShape& s, const vcColor&) override { shape(s, 1, false); }
  vcUIRect textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format,
                    vcUIRect& rect) override {
    return measure_.textRect(text, anchor, format, rect);
  }

  void record(long ordinal, long offset) {
    ordinal_ = ordinal;
    offset_ = offset;
  }
  std::optional<vcUISketchPick> best;

private:
  void onShape(const char*, const vcShape& s, const vcGraphicProps& p) override { shape(s, p.penWidth(), p.fill()); }
  void onPoint(const vcPoint& s, const vcGraphicProps& p) override {
    ink((vcVector<2>(s.x(), s.y()) - at_).len(), p.penWidth());
  }
  void onImage(const char*, const vcPoint& corner, long w, long h, const vcPair<double>& scale) override {
    area(vcRect(corner.x(), corner.y(), static_cast<double>(w) * scale.x(), static_cast<double>(h) * scale.y()));
  }
  void onText(const std::string& text, const vcPoint& anchor, const vcColor&, const vcColor&,
              const vcUIFormat& format) override {
    vcUIRect r;
    pixels(textRect(text, anchor, format, r));
  }
  void onSet(const vcUIRect* rect, const vcColor&) override {
    if (rect) pixels(*rect);
    else ink(0.0, 1);
  }
  void onFill(const vcPair<long>&, const vcColor&, const vcColor&, FillType) override { ink(0.0, 1); }
  void onStroke(const vcPoint* to, long dx, long dy, const vcGraphicProps& props) override {
    const vcVector<2> from(drawPoint().x(), drawPoint().y());
    const vcVector<2> end = to ? vcVector<2>(to->x(), to->y())
                               : from + vcVector<2>(static_cast<double>(dx), static_cast<double>(dy));
    ink(vcLineSeg(from, end).distanceToPoint(at_), props.penWidth());
  }

  // Rectangles of scope pixels cover [left, right) x [top, bottom).
  void pixels(const vcUIRect& r) {
    if (r.isNull()) return;
    area(vcRect(static_cast<double>(r.left()), static_cast<double>(r.top()), static_cast<double>(r.width()),
                static_cast<double>(r.height())));
  }
  void area(const vcRect& r) {
    if (r.isNull()) return;
    const double dx = std::max({r.x() - at_.x(), 0.0, at_.x() - (r.x() + r.width())});
    const double dy = std::max({r.y() - at_.y(), 0.0, at_.y() - (r.y() + r.height())});
    ink(std::hypot(dx, dy), 1);
  }
  void shape(const vcShape& s, long penWidth, bool fill) {
    try {
      if (fill && s.isRegion() && s.within(at_)) return ink(0.0, 1);
      ink(s.distanceToPoint(at_), penWidth);
    } catch (const vcShapesError::DegenerateShape&) {
      // A collapsed shape draws no ink to measure.
    }
  }
  // A drawing whose centre line lies d from the point, drawn penWidth wide.
  void ink(double d, long penWidth) {
    if (!std::isfinite(d)) return;
    d = std::max(0.0, d - static_cast<double>(std::max(penWidth, 1L)) / 2.0);
    if (!best || d < best->distance) best = vcUISketchPick{ordinal_, offset_, d};
  }

  vcUIScope& measure_;
  vcVector<2> at_;
  long ordinal_ = 0, offset_ = 0;
};

// Draws every record of sketch on tablet. One header serves all records, so
// a props record stays in force for the records after it. Records of the
// kinds drawn most are read and drawn in one call (sketch_direct.h); the
// others are parsed into a record object, one per opcode reused from record
// to record, which then draws. Either way a record is checked whole before
// it draws, and a record of another layer is checked and not drawn.
// onRecord, when given, is told each record's ordinal and byte offset
// before the record draws.
void replaySketch(vcUITablet& tablet, const vcUISketch& sketch, vcUITablet::Layers layer,
                  const std::function<void(long, long)>* onRecord = nullptr) {
  const bool filter = layer != vcUITablet::eBoth;
  const bool direct = vfSketchReplayDirect();
  const unsigned char* const data = sketch.data();
  const long size = sketch.size();
  vc_UISketchOpHeader header;
  vc_DirectScratch scratch;
  std::array<std::unique_ptr<vc_UISketchOpData>, 256> objects;  // a head's opcode is one byte
  long ordinal = 0;
  for (long at = 0; at < size;) {
    // Records are read in order: the bytes some records on are asked for now.
    __builtin_prefetch(data + std::min(at + 1024, size - 1));
    const unsigned char* const p = data + at;
    const long available = size - at;
    long head = vc_HeadReader::take(header, p, available);
    const vc_DirectDraw draw = head && direct ? vfDirectDrawOf(static_cast<unsigned char>(header.opcode())) : nullptr;
    vc_UISketchOpData* record = nullptr;
    long payload = 0;
    if (!draw) {
      std::tie(head, payload) =
          vfParseRecord(p, available, at, header, false, head, [&](long op) -> vc_UISketchOpData& {
            std::unique_ptr<vc_UISketchOpData>& slot = objects[static_cast<std::size_t>(op)];
            if (!slot) slot.reset(vfCreateUISketchOpData(op));
            return *(record = slot.get());
          });
    }
    if (onRecord) (*onRecord)(ordinal, at);
    ++ordinal;
    bool show = !filter || header.layer() == layer;
    if (header.layer() == vcUITablet::eBoth) {
      header.layer(layer);
      show = true;
    }
    try {
      if (draw)
        payload = draw(p + head, available - head, show ? &tablet : nullptr, header, scratch);
      else if (show)
        record->draw(tablet, header);
    } catch (const vcUIError::InvalidUISketch& e) {
      // A malformed payload, or a nested sketch's malformed record, named
      // within this record.
      vfFailAtRecord(e, at, header.opcode());
    }
    at += head + payload;
  }
}

}  // namespace

void vcUITablet::draw(const vcUISketch& sketch, const vcPoint& offset, Layers layer) {
  if (sketch.isNull()) return;
  if (layer != eImage && layer != eOverlay && layer != eBoth) throw vcUIError::BadLayer();
  vfCheckPosition(offset, "sketch offset");
  checkRecordable_<15>(vc_SketchPayload{vcVector<2>(offset), &sketch, {}});

  if (drawOn_) {
    const vcXform<2> savedMap = scaledMap_;
    const vcXform<2> shifted = scaledMap_ * vcXform<2>::translation(vcVector<2>(offset));
    const auto optimize = [&](bool on) {
      if (layer != eBoth) {
        optimizeDrawing(on, layer);
        return;
      }
      for (vcUIScope* s : drawScope_)
        if (s) s->optimizeDrawing(on);
    };
    // Each step is undone when a later one throws, so a malformed sketch
    // leaves the map, the locks, the optimisation and recording as they were.
    recordOn_.push(false);
    runThen(
        [&] {
          lockScreenUpdatesPush(true, layer);
          runThen(
              [&] {
                optimize(true);
                runThen(
                    [&] {
                      scaledMap_ = shifted;
                      replaySketch(*this, sketch, layer);
                    },
                    [&] {
                      scaledMap_ = savedMap;
                      optimize(false);
                    });
              },
              [&] { lockScreenUpdatesPop(layer); });
        },
        [&] { recordOn_.pop(); });
  }

  if (recording()) {
    // Recording grows this tablet's own sketch: take the bytes from a copy.
    std::unique_ptr<vcUISketch> own;
    const vcUISketch* source = &sketch;
    if (&sketch == &sketch_) source = (own = std::make_unique<vcUISketch>(sketch)).get();
    record_<15>(layer, vcGraphicProps(), vcColor(), vc_SketchPayload{vcVector<2>(offset), source, {}});
  }
}

std::unique_ptr<vcUITablet> vcUITablet::measuringTablet_(vcUIScope& measure, Layers layer) const {
  auto t = std::make_unique<vcUITablet>(layer == eImage ? &measure : nullptr, layer == eOverlay ? &measure : nullptr);
  t->visible(true);
  if (!scaledMap_.isIdentity()) {
    t->baseMap_ = baseMap_;
    t->scaleMode_ = scaleMode_;
    t->scale_ = scale_;
    t->setMap();
  }
  return t;
}

vcUIRect vcUITablet::encloseRect(const vcUISketch& sketch, const vcPoint& offset, Layers layer) {
  checkLayer(layer);
  vcUIScope* real = drawScope_[layer];
  if (!real) return vcUIRect::null;
  vc_BoundsScope bounds(*real);
  const std::unique_ptr<vcUITablet> measure = measuringTablet_(bounds, layer);
  bounds.clientChangeEnable(true);
  measure->draw(sketch, offset, layer);
  return bounds.clientChangedRect(false);
}

std::optional<vcUISketchPick> vcUITablet::nearestRecord(const vcUISketch& sketch, const vcPoint& offset,
                                                        const vcVector<2>& scopePoint, double radiusPixels,
                                                        Layers layer) {
  checkLayer(layer);
  if (!std::isfinite(scopePoint.x()) || !std::isfinite(scopePoint.y()) || std::isnan(radiusPixels))
    throw vcBadArgument("vcUITablet::nearestRecord: the point must be finite and the radius a number");
  vcUIScope* real = drawScope_[layer];
  if (!real || sketch.isNull()) return std::nullopt;
  vc_PickScope pick(*real, scopePoint);
  const std::unique_ptr<vcUITablet> measure = measuringTablet_(pick, layer);
  measure->recordOn_.push(false);
  measure->scaledMap_ = measure->scaledMap_ * vcXform<2>::translation(vcVector<2>(offset));
  const std::function<void(long, long)> onRecord = [&](long ordinal, long at) { pick.record(ordinal, at); };
  replaySketch(*measure, sketch, layer, &onRecord);
  if (pick.best && !(pick.best->distance <= radiusPixels)) return std::nullopt;
  return pick.best;
}
