#include "support/recording_scope.h"

#include <algorithm>
#include <array>
#include <variant>
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

// Adds one argument of a call, in its field and exactly in its text. Colors
// fill color, then color2.
struct Args {
  vcScopeCall& c;
  int colors = 0;

  void text(const std::string& s) { c.text += s + " "; }
  void operator()(long v) {
    c.ints.push_back(v);
    text(std::to_string(v));
  }
  void operator()(double v) {
    c.reals.push_back(v);
    text(num(v));
  }
  void operator()(const vcPoint& p) {
    c.points.push_back(p);
    text(pointText(p));
  }
  void operator()(const vcUIScopeAdapter::Pen& pen) {
    c.from = pen.at;
    text("pen" + pointText(pen.at));
  }
  void operator()(const vcPair<double>& v) {
    (*this)(v.x());
    (*this)(v.y());
  }
  void operator()(const vcUIRect& r) {
    c.rect = r;
    text("[" + std::to_string(r.left()) + "," + std::to_string(r.top()) + "," + std::to_string(r.width()) + "," +
         std::to_string(r.height()) + "]");
  }
  void operator()(const vcColor& col) {
    (colors++ == 0 ? c.color : c.color2) = col;
    unsigned char b[6];
    col.toBytes(b);
    text("c" + hex(b, 6));
  }
  void operator()(const std::vector<vcColor>* map) {
    for (const vcColor& m : *map) (*this)(m);
  }
  void operator()(const std::vector<unsigned char>* map) { text("map" + hex(map->data(), map->size())); }
  void operator()(const std::vector<vcRGB>* map) { (*this)(static_cast<long>(map->size())); }
  void operator()(const vcGraphicProps* p) {
    c.props = *p;
    unsigned char col[6], rec[vcGraphicProps::kRecordSize];
    p->penColor().toBytes(col);
    vcGraphicProps::writeRecord(*p, rec);
    text("p" + hex(col, 6) + hex(rec, sizeof rec));
  }
  // Application shapes are not copied: their kind need not be registered.
  void operator()(const vcGenShape* s) { text(shapeText(*s)); }
  void operator()(const vcShape* s) {
    c.shape = s->clone();
    text(shapeText(*s));
  }
  void operator()(const vcGraphic*) {}
  void operator()(const vcUIFormat* f) {
    (*this)(f->fontId());
    (*this)(static_cast<long>(f->alignment()));
  }
  void operator()(const std::string* q) { text("\"" + *q + "\""); }
  void operator()(const vcRLEBuffer* r) {
    text("rle" + std::to_string(r->width()) + "x" + std::to_string(r->height()) + ":" +
         hex(r->runs().data(), r->runs().size()));
  }
  // Pixel contents of an image view by a checksum, with its window.
  template <class T>
  void operator()(const vcPelBuffer_const<T>* view) {
    const vcPelBuffer_const<T>& img = *view;
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

void vcRecordingScope::onCall(const char* op, std::span<const Arg> args) {
  log_->emplace_back();
  vcScopeCall& c = log_->back();
  c.scope = this;
  c.op = op;
  Args put{c};
  for (const Arg& a : args) std::visit(put, a);
  if (!c.text.empty()) c.text.pop_back();
  c.text = "[" + std::to_string(depth_) + "] " + c.op + "(" + c.text + ")";
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

void vcRecordingScope::attached(const vcUIScope& parent, const vcUIRect& surfaceRect) {
  attachedRect_ = surfaceRect;
  vcUIScopeAdapter::attached(parent, surfaceRect);
}

vcUIScope* vcRecordingScope::newChild(const vcUIRect& r, bool clipOnly) {
  const std::array<Arg, 2> args{Arg(static_cast<long>(clipOnly)), Arg(r)};
  onCall("newChild", args);
  return new vcRecordingScope(*this, r, clipOnly);
}

void vcRecordingScope::lockScreenUpdatesPush(bool lock) {
  ++lockDepth_;
  vcUIScopeAdapter::lockScreenUpdatesPush(lock);
}
bool vcRecordingScope::lockScreenUpdatesPop() {
  vcUIScopeAdapter::lockScreenUpdatesPop();
  if (lockDepth_ > 0) --lockDepth_;
  return lockDepth_ > 0;
}

vcUIRect vcRecordingScope::textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format,
                                    vcUIRect& r) {
  vcUIScopeAdapter::textRect(text, anchor, format, r);
  r = format.alignRect(vcUIRect(xCoord(anchor) + org().x(), yCoord(anchor) + org().y(),
                                8 * static_cast<long>(text.size()), 12));
  return r;
}

void vcRecordingScope::set(const vcUIRect& r, const vcColor& col) {
  vcUIScopeAdapter::set(r, col);
  change(r - org(), true);
}

void vcRecordingScope::set(const vcColor& col) {
  vcUIScopeAdapter::set(col);
  change(vcUIRect(0, 0, size().x(), size().y()), true);
}
