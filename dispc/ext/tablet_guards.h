// Small helpers shared by the tablet's operation files.
#pragma once

#include <cmath>

#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/dispprop.h>
#include <vc/flagstack.h>
#include <vc/uiscope.h>

// Throws vcUIError::BadParams: position p, named what, is not finite.
[[noreturn, gnu::cold]] void vfFailPosition(const vcPoint& p, const char* what);
// Positions that are not finite cannot be drawn, and their records cannot be
// replayed: the tablet refuses them with vcUIError::BadParams naming what,
// before anything is drawn or recorded. Inline: every drawing call checks.
inline void vfCheckPosition(const vcPoint& p, const char* what) {
  if (!std::isfinite(p.x()) || !std::isfinite(p.y())) [[unlikely]]
    vfFailPosition(p, what);
}
// The same for the origin and size of a client rectangle.
void vfCheckRect(const vcRect& r);

// The default props with a pen color (and fill), as the color forms of the
// drawing operations use them.
inline vcGraphicProps vfPropsOf(const vcColor& color, bool fill = false) {
  vcGraphicProps p;
  p.penColor(color);
  p.fill(fill);
  return p;
}

// Pushes false on a recording stack while an operation draws through others
// that would record themselves, so that only the outer call is recorded.
class vc_RecordingOff {
public:
  explicit vc_RecordingOff(vcFlagStack& f) : f_(f) { f_.push(false); }
  ~vc_RecordingOff() { f_.pop(); }
  vc_RecordingOff(const vc_RecordingOff&) = delete;
  vc_RecordingOff& operator=(const vc_RecordingOff&) = delete;

private:
  vcFlagStack& f_;
};

// Holds a scope's screen updates (when there is a scope) while a shape is
// drawn in several calls, so that it appears at once.
class vc_ScreenLock {
public:
  explicit vc_ScreenLock(vcUIScope* s) : s_(s) {
    if (s_) s_->lockScreenUpdatesPush(true);
  }
  explicit vc_ScreenLock(vcUIScope& s) : vc_ScreenLock(&s) {}
  ~vc_ScreenLock() {
    if (s_) s_->lockScreenUpdatesPop();
  }
  vc_ScreenLock(const vc_ScreenLock&) = delete;
  vc_ScreenLock& operator=(const vc_ScreenLock&) = delete;

private:
  vcUIScope* s_;
};

// Runs body, then after; after also runs when body throws, and the body's
// exception is passed on.
template <class Body, class After>
void runThen(Body&& body, After&& after) {
  try {
    body();
  } catch (...) {
    after();
    throw;
  }
  after();
}
