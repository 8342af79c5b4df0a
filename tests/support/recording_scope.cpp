#include "support/recording_scope.h"

#include <algorithm>
#include <concepts>
#include <cstdio>

#include <vc/core/archive.h>
#include <vc/core/genshape.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/rle.h>
#include <vc/uistring.h>

namespace {

std::string hex(const unsigned char* p, std::size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string pointText(const vcPoint& p) { return "(" + num(p.x()) + "," + num(p.y()) + ")"; }

// A shape by its archive bytes: exact, and independent of its member layout.
std::string shapeText(const vcShape& s) {
  vcBufferArchive ar(vcArchive::eStore);
  ar || const_cast<vcShape&>(s);
  return s.className() + ":" + hex(ar.bytes().data(), ar.bytes().size());
}

// Text shown as it stands, quoted.
struct Quoted {
  const std::string& s;
};

// The pen before a stroke.
struct Pen {
  vcPoint at;
};

// Adds one argument of a call, in its field and exactly in its text. Colors
// fill color, then color2.
struct Args {
  vcScopeCall& c;
  int colors = 0;

  void text(const std::string& s) { c.text += s + " "; }
  template <std::integral T>
  void add(T v) {
    c.ints.push_back(static_cast<long>(v));
    text(std::to_string(static_cast<long>(v)));
  }
  void add(double v) {
    c.reals.push_back(v);
    text(num(v));
  }
  void add(const vcPoint& p) {
    c.points.push_back(p);
    text(pointText(p));
  }
  void add(const Pen& pen) {
    c.from = pen.at;
    text("pen" + pointText(pen.at));
  }
  void add(const vcPair<double>& v) {
    add(v.x());
    add(v.y());
  }
  void add(const vcPair<long>& v) {
    add(v.x());
    add(v.y());
  }
  void add(const vcUIRect& r) {
    c.rect = r;
    text("[" + std::to_string(r.left()) + "," + std::to_string(r.top()) + "," + std::to_string(r.width()) + "," +
         std::to_string(r.height()) + "]");
  }
  void add(const vcColor& col) {
    (colors++ == 0 ? c.color : c.color2) = col;
    unsigned char b[6];
    col.toBytes(b);
    text("c" + hex(b, 6));
  }
  void add(const std::vector<vcColor>& map) {
    for (const vcColor& m : map) add(m);
  }
  void add(const std::vector<unsigned char>& map) { text("map" + hex(map.data(), map.size())); }
  void add(const vcGraphicProps& p) {
    c.props = p;
    unsigned char col[6], rec[vcGraphicProps::kRecordSize];
    p.penColor().toBytes(col);
    vcGraphicProps::writeRecord(p, rec);
    text("p" + hex(col, 6) + hex(rec, sizeof rec));
  }
  // Application shapes are not copied: their kind need not be registered.
  void add(const vcGenShape& s) { text(shapeText(s)); }
  void add(const vcShape& s) {
    c.shape = s.clone();
    text(shapeText(s));
  }
  void add(const Quoted& q) { text("\"" + q.s + "\""); }
  void add(const vcRLEBuffer& r) {
    text("rle" + std::to_string(r.width()) + "x" + std::to_string(r.height()) + ":" +
         hex(r.runs().data(), r.runs().size()));
  }
  // Pixel contents of an image view by a checksum, with its window.
  template <class T>
  void add(const vcPelBuffer_const<T>& img) {
    unsigned long h = 1469598103u;
    for (long y = img.offset().y(); y < img.offset().y() + img.height(); ++y) {
      const auto* row = reinterpret_cast<const unsigned char*>(img.pointToPel(img.offset().x(), y));
      for (std::size_t i = 0; i < sizeof(T) * static_cast<std::size_t>(img.width()); ++i) h = (h ^ row[i]) * 16777619u;
    }
    text("img" + std::to_string(img.width()) + "x" + std::to_string(img.height()) + "@" +
         std::to_string(img.offset().x()) + "," + std::to_string(img.offset().y()) + "#" +
         std::to_string(h & 0xFFFFFFFFu));
  }
};

}  // namespace

template <class... A>
vcScopeCall& vcRecordingScope::note(const std::string& op, const A&... args) {
  log_->emplace_back();
  vcScopeCall& c = log_->back();
  c.scope = this;
  c.op = op;
  [[maybe_unused]] Args put{c};
  (put.add(args), ...);
  if (!c.text.empty()) c.text.pop_back();
  c.text = "[" + std::to_string(depth_) + "] " + op + "(" + c.text + ")";
  return c;
}

vcRecordingScope::vcRecordingScope(const vcPair<long>& org, const vcPair<long>& size, bool isNullSurface)
    : vcUIScopeAdapter(org, size, isNullSurface), log_(std::make_shared<Log>()),
      live_(std::make_shared<std::vector<vcRecordingScope*>>()) {}

vcRecordingScope::vcRecordingScope(vcRecordingScope& parent, const vcUIRect& rect, bool clipOnly)
    : vcUIScopeAdapter(vcPair<long>(0, 0), rect.sz()), log_(parent.log_), live_(parent.live_),
      depth_(parent.depth_ + 1) {
  live_->push_back(this);
  if (clipOnly) subset(parent, rect);
  else move(parent, rect);
}

vcRecordingScope::~vcRecordingScope() {
  if (depth_ > 0) live_->erase(std::remove(live_->begin(), live_->end(), this), live_->end());
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

void vcRecordingScope::onShape(const char* name, const vcShape& s, const vcGraphicProps& p) { note(name, s, p); }

void vcRecordingScope::attached(const vcUIScope&, const vcUIRect& surfaceRect) {
  attachedRect_ = surfaceRect;
  note("attached", surfaceRect);
}

vcUIScope* vcRecordingScope::newChild(const vcUIRect& r, bool clipOnly) {
  note("newChild", clipOnly, r);
  return new vcRecordingScope(*this, r, clipOnly);
}

void vcRecordingScope::dragStart() { note("dragStart"); }
void vcRecordingScope::dragStop() { note("dragStop"); }
void vcRecordingScope::dragErase() { note("dragErase"); }
void vcRecordingScope::dragAnimate(bool on) { note("dragAnimate", on); }
void vcRecordingScope::lockScreenUpdatesPush(bool lock) {
  ++lockDepth_;
  note("lockScreenUpdatesPush", lock);
}
bool vcRecordingScope::lockScreenUpdatesPop() {
  note("lockScreenUpdatesPop");
  if (lockDepth_ > 0) --lockDepth_;
  return lockDepth_ > 0;
}
void vcRecordingScope::invalidateScreen(const vcUIRect& r) { note("invalidateScreen", r); }
void vcRecordingScope::updateScreen() { note("updateScreen"); }
void vcRecordingScope::optimizeDrawing(bool on) { note("optimizeDrawing", on); }
void vcRecordingScope::draw(const vcGenShape& s, const vcColor& col) { note("draw(vcGenShape)", s, col); }
void vcRecordingScope::draw(const vcPoint& s, const vcGraphicProps& p) { note("draw(vcPoint)", s, p); }

void vcRecordingScope::draw(const vcRLEBuffer& img, const vcPoint& at, const std::vector<vcColor>& map,
                            bool pass, unsigned char passV) {
  note("draw(rle,colors)", at, pass, passV, img, map);
}
void vcRecordingScope::draw(const vcRLEBuffer& img, const vcPoint& at, const std::vector<unsigned char>& map,
                            bool pass, unsigned char passV) {
  note("draw(rle)", at, pass, passV, img, map);
}

// The image transfers differ only in pixel type, pass value type and name;
// the 8-bit forms take the mapped flag too.
#define VC_IMAGE_CALLS(T, PV, name)                                                                                  \
  void vcRecordingScope::draw(const vcPelBuffer_const<T>& img, const vcPoint& at, bool pass, PV passV) {              \
    note("draw(" name ")", at, pass, passV, img);                                                                    \
  }                                                                                                                  \
  void vcRecordingScope::sample(const vcPelBuffer_const<T>& img, const vcPoint& at, const vcPair<double>& scale,     \
                                bool pass, PV passV) {                                                               \
    note("sample(" name ")", at, scale, pass, passV, img);                                                           \
  }                                                                                                                  \
  void vcRecordingScope::expand(const vcPelBuffer_const<T>& img, const vcPoint& at, const vcPair<double>& scale,     \
                                bool pass, PV passV, InterpolationModes mode) {                                      \
    note("expand(" name ")", at, scale, pass, passV, static_cast<long>(mode), img);                                  \
  }
VC_IMAGE_CALLS(vcPackedRGB32Pel, unsigned long, "rgb32")
VC_IMAGE_CALLS(vcPackedRGB16Pel, unsigned short, "rgb16")
VC_IMAGE_CALLS(unsigned short, unsigned short, "u16")
#undef VC_IMAGE_CALLS
void vcRecordingScope::draw(const vcPelBuffer_const<unsigned char>& img, const vcPoint& at, bool pass,
                            unsigned char passV, bool mapped) {
  note("draw(u8)", at, pass, passV, mapped, img);
}
void vcRecordingScope::sample(const vcPelBuffer_const<unsigned char>& img, const vcPoint& at,
                              const vcPair<double>& scale, bool pass, unsigned char passV, bool mapped) {
  note("sample(u8)", at, scale, pass, passV, mapped, img);
}
void vcRecordingScope::expand(const vcPelBuffer_const<unsigned char>& img, const vcPoint& at,
                              const vcPair<double>& scale, bool pass, unsigned char passV, bool mapped,
                              InterpolationModes mode) {
  note("expand(u8)", at, scale, pass, passV, mapped, static_cast<long>(mode), img);
}

void vcRecordingScope::draw(const std::string& text, const vcPoint& anchor, const vcColor& col,
                            const vcColor& background, const vcUIFormat& format) {
  note("draw(text)", anchor, format.fontId(), static_cast<long>(format.alignment()), Quoted{text}, col, background);
}

void vcRecordingScope::draw(const vcGraphic&) { note("draw(vcGraphic)"); }

vcUIRect vcRecordingScope::textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format,
                                    vcUIRect& r) {
  note("textRect", anchor, Quoted{text});
  r = format.alignRect(vcUIRect(xCoord(anchor) + org().x(), yCoord(anchor) + org().y(),
                                8 * static_cast<long>(text.size()), 12));
  return r;
}

void vcRecordingScope::set(const vcUIRect& r, const vcColor& col) {
  note("set(rect)", r, col);
  change(r - org(), true);
}

void vcRecordingScope::set(const vcColor& col) {
  note("set(all)", col);
  change(vcUIRect(0, 0, size().x(), size().y()), true);
}

void vcRecordingScope::fill(const vcPair<long>& seed, const vcColor& col, const vcColor& col2, FillType type) {
  note("fill", seed, static_cast<long>(type), col, col2);
}

// The pen before the call is part of the call; the pen then moves as on a real surface.
void vcRecordingScope::drawTo(const vcPoint& p, const vcGraphicProps& pr) {
  const vcPoint to = p;  // p may be the pen itself
  note("drawTo", Pen{drawPoint()}, p, xCoord(p), yCoord(p), pr);
  drawStart(to);
}

void vcRecordingScope::drawToRelPels(long dx, long dy, const vcGraphicProps& pr) {
  note("drawToRelPels", Pen{drawPoint()}, dx, dy, pr);
  moveToRel(dx, dy);
}

void vcRecordingScope::colorMap(const std::vector<vcRGB>& map) { note("colorMap", map.size()); }
void vcRecordingScope::colorMapEx(const std::vector<vcRGB>& map) { note("colorMapEx", map.size()); }
void vcRecordingScope::newDisplayClipRect(const vcUIRect& r) { note("newDisplayClipRect", r); }
