#include "support/recording_scope.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <vc/core/archive.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/lineseg.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/poly.h>
#include <vc/core/rle.h>
#include <vc/uistring.h>

namespace {

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string pt(const vcPoint& p) { return "(" + num(p.x()) + "," + num(p.y()) + ")"; }

std::string hex(const unsigned char* p, std::size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

std::string color(const vcColor& c) {
  unsigned char b[6];
  c.toBytes(b);
  return "c" + hex(b, 6);
}

std::string props(const vcGraphicProps& p) {
  unsigned char b[21];
  vcGraphicProps::writeRecord(p, b);
  return "p" + color(p.penColor()) + hex(b, 21);
}

std::string rect(const vcUIRect& r) {
  return "[" + std::to_string(r.left()) + "," + std::to_string(r.top()) + "," + std::to_string(r.width()) + "," +
         std::to_string(r.height()) + "]";
}

// A shape by its archive bytes: exact, and independent of its member layout.
std::string shapeText(const vcShape& s) {
  vcBufferArchive ar(vcArchive::eStore);
  ar || const_cast<vcShape&>(s);
  return s.className() + ":" + hex(ar.bytes().data(), ar.bytes().size());
}

// Pixel contents of an image view by a checksum, with its window.
template <class T>
std::string image(const vcPelBuffer_const<T>& img) {
  unsigned long h = 1469598103u;
  for (long y = img.offset().y(); y < img.offset().y() + img.height(); ++y) {
    const unsigned char* row = reinterpret_cast<const unsigned char*>(img.pointToPel(img.offset().x(), y));
    for (std::size_t i = 0; i < sizeof(T) * static_cast<std::size_t>(img.width()); ++i) h = (h ^ row[i]) * 16777619u;
  }
  return "img" + std::to_string(img.width()) + "x" + std::to_string(img.height()) + "@" +
         std::to_string(img.offset().x()) + "," + std::to_string(img.offset().y()) + "#" + std::to_string(h & 0xFFFFFFFFu);
}

std::string rle(const vcRLEBuffer& r) {
  return "rle" + std::to_string(r.width()) + "x" + std::to_string(r.height()) + ":" +
         hex(r.runs().data(), r.runs().size());
}

}  // namespace

vcRecordingScope::vcRecordingScope(const vcPair<long>& org, const vcPair<long>& size, bool isNullSurface)
    : vcUIScopeAdapter(org, size, isNullSurface),
      log_(std::make_shared<Log>()),
      live_(std::make_shared<std::vector<vcRecordingScope*>>()) {}

vcRecordingScope::vcRecordingScope(vcRecordingScope& parent, const vcUIRect& rect, bool clipOnly)
    : vcUIScopeAdapter(vcPair<long>(0, 0), rect.sz()),
      log_(parent.log_),
      live_(parent.live_),
      depth_(parent.depth_ + 1) {
  live_->push_back(this);
  if (clipOnly) subset(parent, rect);
  else move(parent, rect);
}

vcRecordingScope::~vcRecordingScope() {
  if (depth_ > 0) live_->erase(std::remove(live_->begin(), live_->end(), this), live_->end());
}

vcScopeCall& vcRecordingScope::add(const std::string& op) {
  log_->emplace_back();
  vcScopeCall& c = log_->back();
  c.scope = this;
  c.op = op;
  return c;
}

void vcRecordingScope::finish(vcScopeCall& c) {
  std::string t = "[" + std::to_string(depth_) + "] " + c.op + "(";
  for (const vcPoint& p : c.points) t += pt(p) + " ";
  for (long i : c.ints) t += std::to_string(i) + " ";
  for (double d : c.reals) t += num(d) + " ";
  c.text = t + c.text + ")";
}

std::string vcRecordingScope::logText() const {
  std::string s;
  for (const vcScopeCall& c : *log_) s += c.text + "\n";
  return s;
}

std::vector<vcScopeCall> vcRecordingScope::calls(const std::string& op) const {
  std::vector<vcScopeCall> out;
  std::copy_if(log_->begin(), log_->end(), std::back_inserter(out), [&](const vcScopeCall& c) { return c.op == op; });
  return out;
}

void vcRecordingScope::onShape(const char* name, const vcShape& s, const vcGraphicProps& p) {
  vcScopeCall& c = add(name);
  c.shape = s.clone();
  c.props = p;
  c.text = shapeText(s) + " " + props(p);
  finish(c);
}

void vcRecordingScope::attached(const vcUIScope&, const vcUIRect& surfaceRect) {
  attachedRect_ = surfaceRect;
  vcScopeCall& c = add("attached");
  c.rect = surfaceRect;
  c.text = rect(surfaceRect);
  finish(c);
}

vcUIScope* vcRecordingScope::newChild(const vcUIRect& r, bool clipOnly) {
  vcScopeCall& c = add("newChild");
  c.rect = r;
  c.ints = {clipOnly ? 1L : 0L};
  c.text = rect(r);
  finish(c);
  return new vcRecordingScope(*this, r, clipOnly);
}

void vcRecordingScope::dragStart() { finish(add("dragStart")); }
void vcRecordingScope::dragStop() { finish(add("dragStop")); }
void vcRecordingScope::dragErase() { finish(add("dragErase")); }
void vcRecordingScope::dragAnimate(bool on) {
  vcScopeCall& c = add("dragAnimate");
  c.ints = {on};
  finish(c);
}
void vcRecordingScope::lockScreenUpdatesPush(bool lock) {
  ++lockDepth_;
  vcScopeCall& c = add("lockScreenUpdatesPush");
  c.ints = {lock};
  finish(c);
}
bool vcRecordingScope::lockScreenUpdatesPop() {
  finish(add("lockScreenUpdatesPop"));
  if (lockDepth_ > 0) --lockDepth_;
  return lockDepth_ > 0;
}
void vcRecordingScope::invalidateScreen(const vcUIRect& r) {
  vcScopeCall& c = add("invalidateScreen");
  c.rect = r;
  c.text = rect(r);
  finish(c);
}
void vcRecordingScope::updateScreen() { finish(add("updateScreen")); }
void vcRecordingScope::optimizeDrawing(bool on) {
  vcScopeCall& c = add("optimizeDrawing");
  c.ints = {on};
  finish(c);
}
void vcRecordingScope::draw(const vcGenShape& s, const vcColor& col) {
  vcScopeCall& c = add("draw(vcGenShape)");
  c.color = col;
  c.text = shapeText(s) + " " + color(col);
  finish(c);
}
void vcRecordingScope::draw(const vcPoint& s, const vcGraphicProps& p) {
  vcScopeCall& c = add("draw(vcPoint)");
  c.points = {s};
  c.props = p;
  c.text = props(p);
  finish(c);
}

void vcRecordingScope::draw(const vcRLEBuffer& img, const vcPoint& corner, const std::vector<vcColor>& map,
                            bool passThrough, unsigned char passValue) {
  vcScopeCall& c = add("draw(rle,colors)");
  c.points = {corner};
  c.ints = {passThrough, passValue};
  c.text = rle(img);
  for (const vcColor& m : map) c.text += " " + color(m);
  finish(c);
}
void vcRecordingScope::draw(const vcRLEBuffer& img, const vcPoint& corner, const std::vector<unsigned char>& map,
                            bool passThrough, unsigned char passValue) {
  vcScopeCall& c = add("draw(rle)");
  c.points = {corner};
  c.ints = {passThrough, passValue};
  c.text = rle(img) + " map" + hex(map.data(), map.size());
  finish(c);
}

#define VC_RECORD_IMAGE_DRAW(Type, PassType, Name)                                                         \
  void vcRecordingScope::draw(const vcPelBuffer_const<Type>& img, const vcPoint& corner, bool passThrough, \
                              PassType passValue) {                                                       \
    vcScopeCall& c = add(Name);                                                                            \
    c.points = {corner};                                                                                   \
    c.ints = {passThrough, static_cast<long>(passValue)};                                                  \
    c.text = image(img);                                                                                   \
    finish(c);                                                                                             \
  }
VC_RECORD_IMAGE_DRAW(vcPackedRGB32Pel, unsigned long, "draw(rgb32)")
VC_RECORD_IMAGE_DRAW(vcPackedRGB16Pel, unsigned short, "draw(rgb16)")
VC_RECORD_IMAGE_DRAW(unsigned short, unsigned short, "draw(u16)")
#undef VC_RECORD_IMAGE_DRAW

void vcRecordingScope::draw(const vcPelBuffer_const<unsigned char>& img, const vcPoint& corner, bool passThrough,
                            unsigned char passValue, bool mapped) {
  vcScopeCall& c = add("draw(u8)");
  c.points = {corner};
  c.ints = {passThrough, passValue, mapped};
  c.text = image(img);
  finish(c);
}

void vcRecordingScope::draw(const std::string& text, const vcPoint& anchor, const vcColor& col,
                            const vcColor& background, const vcUIFormat& format) {
  vcScopeCall& c = add("draw(text)");
  c.points = {anchor};
  c.color = col;
  c.color2 = background;
  c.ints = {format.fontId(), static_cast<long>(format.alignment())};
  c.text = "\"" + text + "\" " + color(col) + " " + color(background);
  finish(c);
}

void vcRecordingScope::draw(const vcGraphic&) { finish(add("draw(vcGraphic)")); }

vcUIRect vcRecordingScope::textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format,
                                    vcUIRect& r) {
  vcScopeCall& c = add("textRect");
  c.points = {anchor};
  c.text = "\"" + text + "\"";
  finish(c);
  r = format.alignRect(vcUIRect(xCoord(anchor) + org().x(), yCoord(anchor) + org().y(),
                                8 * static_cast<long>(text.size()), 12));
  return r;
}

#define VC_RECORD_RESAMPLE(Op, Type, PassType, Name, ...)                                                     \
  void vcRecordingScope::Op(const vcPelBuffer_const<Type>& img, const vcPoint& corner,                       \
                            const vcPair<double>& scale, bool passThrough, PassType passValue __VA_ARGS__) { \
    vcScopeCall& c = add(Name);                                                                               \
    c.points = {corner};                                                                                      \
    c.reals = {scale.x(), scale.y()};                                                                         \
    c.ints = {passThrough, static_cast<long>(passValue)};                                                     \
    c.text = image(img);                                                                                      \
    finish(c);                                                                                                \
  }
VC_RECORD_RESAMPLE(sample, vcPackedRGB32Pel, unsigned long, "sample(rgb32)")
VC_RECORD_RESAMPLE(sample, vcPackedRGB16Pel, unsigned short, "sample(rgb16)")
VC_RECORD_RESAMPLE(sample, unsigned short, unsigned short, "sample(u16)")
#undef VC_RECORD_RESAMPLE

void vcRecordingScope::sample(const vcPelBuffer_const<unsigned char>& img, const vcPoint& corner,
                              const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped) {
  vcScopeCall& c = add("sample(u8)");
  c.points = {corner};
  c.reals = {scale.x(), scale.y()};
  c.ints = {passThrough, passValue, mapped};
  c.text = image(img);
  finish(c);
}

#define VC_RECORD_EXPAND(Type, PassType, Name)                                                                \
  void vcRecordingScope::expand(const vcPelBuffer_const<Type>& img, const vcPoint& corner,                  \
                                const vcPair<double>& scale, bool passThrough, PassType passValue,          \
                                InterpolationModes mode) {                                                  \
    vcScopeCall& c = add(Name);                                                                              \
    c.points = {corner};                                                                                     \
    c.reals = {scale.x(), scale.y()};                                                                        \
    c.ints = {passThrough, static_cast<long>(passValue), static_cast<long>(mode)};                           \
    c.text = image(img);                                                                                     \
    finish(c);                                                                                               \
  }
VC_RECORD_EXPAND(vcPackedRGB32Pel, unsigned long, "expand(rgb32)")
VC_RECORD_EXPAND(vcPackedRGB16Pel, unsigned short, "expand(rgb16)")
VC_RECORD_EXPAND(unsigned short, unsigned short, "expand(u16)")
#undef VC_RECORD_EXPAND

void vcRecordingScope::expand(const vcPelBuffer_const<unsigned char>& img, const vcPoint& corner,
                              const vcPair<double>& scale, bool passThrough, unsigned char passValue, bool mapped,
                              InterpolationModes mode) {
  vcScopeCall& c = add("expand(u8)");
  c.points = {corner};
  c.reals = {scale.x(), scale.y()};
  c.ints = {passThrough, passValue, mapped, static_cast<long>(mode)};
  c.text = image(img);
  finish(c);
}

void vcRecordingScope::set(const vcUIRect& r, const vcColor& col) {
  vcScopeCall& c = add("set(rect)");
  c.rect = r;
  c.color = col;
  c.text = rect(r) + " " + color(col);
  finish(c);
  change(r - org(), true);
}

void vcRecordingScope::set(const vcColor& col) {
  vcScopeCall& c = add("set(all)");
  c.color = col;
  c.text = color(col);
  finish(c);
  change(vcUIRect(0, 0, size().x(), size().y()), true);
}

void vcRecordingScope::fill(const vcPair<long>& seed, const vcColor& col, const vcColor& col2, FillType type) {
  vcScopeCall& c = add("fill");
  c.ints = {seed.x(), seed.y(), static_cast<long>(type)};
  c.color = col;
  c.color2 = col2;
  c.text = color(col) + " " + color(col2);
  finish(c);
}

void vcRecordingScope::drawTo(const vcPoint& p, const vcGraphicProps& pr) {
  vcScopeCall& c = add("drawTo");
  c.from = drawPoint();
  c.points = {p};
  c.props = pr;
  c.ints = {xCoord(p), yCoord(p)};
  c.text = props(pr);
  finish(c);
  const vcPoint to = p;  // p may be the pen itself
  drawStart(to);
}

void vcRecordingScope::drawToRelPels(long dx, long dy, const vcGraphicProps& pr) {
  vcScopeCall& c = add("drawToRelPels");
  c.from = drawPoint();
  c.ints = {dx, dy};
  c.props = pr;
  c.text = props(pr);
  finish(c);
  moveToRel(dx, dy);
}

void vcRecordingScope::colorMap(const std::vector<vcRGB>& map) {
  vcScopeCall& c = add("colorMap");
  c.ints = {static_cast<long>(map.size())};
  finish(c);
}
void vcRecordingScope::colorMapEx(const std::vector<vcRGB>& map) {
  vcScopeCall& c = add("colorMapEx");
  c.ints = {static_cast<long>(map.size())};
  finish(c);
}
void vcRecordingScope::newDisplayClipRect(const vcUIRect& r) {
  vcScopeCall& c = add("newDisplayClipRect");
  c.rect = r;
  c.text = rect(r);
  finish(c);
}
