// A vcUIScope that draws nothing and logs every virtual call with its
// arguments, so tests can assert exactly what a tablet asked of its surface.
// Sub-scopes made by newChild share their root's log and are attached with
// move/subset like the sub-scopes of a real surface.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <vc/core/shape.h>
#include <vc/dispprop.h>
#include <vc/uiscope_adapter.h>
#include <vc/uitablet.h>

struct vcScopeCall {
  const class vcRecordingScope* scope = nullptr;  // the scope that was called
  std::string op;                                 // the operation, e.g. "drawTo" or "draw(vcEllipse)"
  std::string text;                               // op with every argument, exactly
  vcShapeHandle shape;                            // a copy of the shape argument, if any
  std::vector<vcPoint> points;                    // point arguments
  vcPoint from;                                   // drawTo, drawToRelPels: the pen before the call (in text too)
  std::vector<long> ints;                         // integer arguments
  std::vector<double> reals;                      // real arguments
  vcGraphicProps props;                           // the props argument, if any
  vcColor color, color2;                          // color arguments, if any
  vcUIRect rect;                                  // the rectangle argument, if any
};

class vcRecordingScope : public vcUIScopeAdapter {
public:
  using Log = std::vector<vcScopeCall>;

  // A root scope with a surface of the given size (0 x 0 with isNullSurface:
  // a scope without a drawable surface).
  vcRecordingScope(const vcPair<long>& org, const vcPair<long>& size, bool isNullSurface = false);
  ~vcRecordingScope() override;

  // The calls made on this scope and every scope made from it.
  Log& log() { return *log_; }
  // The log as text, one call per line; calls of other scopes are marked with their depth.
  std::string logText() const;
  void clearLog() { log_->clear(); }
  // The calls of one operation.
  std::vector<vcScopeCall> calls(const std::string& op) const;

  // Sub-scopes made by newChild that are still alive.
  const std::vector<vcRecordingScope*>& liveChildren() const { return *live_; }
  // Nesting depth below the root (0 for the root).
  int depth() const noexcept { return depth_; }
  // The rectangle the last attached() call reported (parent surface pixels).
  const vcUIRect& attachedRect() const noexcept { return attachedRect_; }
  long lockDepth() const noexcept { return lockDepth_; }

  using vcUIScope::children;
  using vcUIScope::drawX;
  using vcUIScope::drawY;
  using vcUIScope::parent;
  using vcUIScope::xCoord;
  using vcUIScope::yCoord;

  // ---- the scope interface: the adapter forwards every call to onCall ----
  void attached(const vcUIScope& parent, const vcUIRect& surfaceRect) override;
  vcUIScope* newChild(const vcUIRect& rect, bool clipOnly) override;
  void lockScreenUpdatesPush(bool lock) override;
  bool lockScreenUpdatesPop() override;
  bool screenUpdatesLocked() const override { return lockDepth_ > 0; }
  // Reports 8 pixels per character by 12 pixels, placed by the format.
  vcUIRect textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format, vcUIRect& rect) override;
  // set reports the changed pixels, as a real surface would.
  void set(const vcUIRect& rect, const vcColor& color) override;
  void set(const vcColor& color) override;

private:
  vcRecordingScope(vcRecordingScope& root, const vcUIRect& rect, bool clipOnly);
  // Logs a call of op with its arguments.
  void onCall(const char* op, std::span<const Arg> args) override;

  std::shared_ptr<Log> log_;
  std::shared_ptr<std::vector<vcRecordingScope*>> live_;
  int depth_ = 0;
  vcUIRect attachedRect_;
  long lockDepth_ = 0;
};

// A tablet that notes its hooks in a shared log ("name" for a repaint, and
// "name:resize", "name:move", "name:parentMap") and paints its whole area when
// repainted, as an application's tablet replaying its picture does.
class vcLoggingTablet : public vcUITablet {
public:
  vcLoggingTablet(std::string name, std::vector<std::string>& log, vcUIScope* image, vcUIScope* overlay = nullptr)
      : vcUITablet(image, overlay), name_(std::move(name)), log_(log) {}
  vcLoggingTablet(std::string name, std::vector<std::string>& log, vcUITablet& parent, const vcUIRect& r)
      : vcUITablet(parent, r), name_(std::move(name)), log_(log) {}

  using vcUITablet::drawScope;
  using vcUITablet::ownScope;
  using vcUITablet::updateLayers;

  const std::string& name() const { return name_; }
  // Runs inside each repaint, before the painting.
  std::function<void(vcLoggingTablet&)> during;
  // The parent before the last newParentTablet call.
  vcUITablet* oldParent = nullptr;

protected:
  void redraw_() override {
    log_.push_back(name_);
    if (during) during(*this);
    set(vcUIRect(0, 0, scopeRect().width(), scopeRect().height()), vcColor(static_cast<unsigned char>(1)), eImage);
  }
  void resize_() override { log_.push_back(name_ + ":resize"); }
  void move_() override { log_.push_back(name_ + ":move"); }
  void newParentTablet(vcUITablet* old) override { oldParent = old; }
  void parentMapChanged() override { log_.push_back(name_ + ":parentMap"); }

private:
  std::string name_;
  std::vector<std::string>& log_;
};
