// vcUIFormat: the process-wide default font, text placement and the archive form.
#include <vc/uistring.h>

#include <atomic>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/mutex.h>

namespace {

// The default font id is set up once under the global mutex; afterwards a
// read is one acquire load of the ready flag and one relaxed load of the value.
struct DefaultFont {
  std::atomic<bool> ready{false};
  std::atomic<long> id{0};
};
constinit DefaultFont gDefaultFont;

std::atomic<long>& defaultFontCell() noexcept {
  if (!gDefaultFont.ready.load(std::memory_order_acquire)) {
    vcLock lock(vcMutex::global());
    if (!gDefaultFont.ready.load(std::memory_order_relaxed)) {
      gDefaultFont.id.store(-1, std::memory_order_relaxed);
      gDefaultFont.ready.store(true, std::memory_order_release);
    }
  }
  return gDefaultFont.id;
}

vcUIFormat::Alignment checkedAlignment(vcUIFormat::Alignment a) {
  if (a > vcUIFormat::eBottomRight)
    throw vcBadArgument("text alignment " + std::to_string(static_cast<unsigned long>(a)) +
                        " is outside 0 to 8");
  return a;
}

}  // namespace

vcUIFormat::vcUIFormat(Alignment a) : fontId_(defaultFontId()), alignment_(checkedAlignment(a)) {}

vcUIFormat::vcUIFormat(long fontId, Alignment a) : fontId_(fontId), alignment_(checkedAlignment(a)) {}

void vcUIFormat::alignment(Alignment a) { alignment_ = checkedAlignment(a); }

long vcUIFormat::defaultFontId() noexcept { return defaultFontCell().load(std::memory_order_relaxed); }

void vcUIFormat::defaultFontId(long id) noexcept { defaultFontCell().store(id, std::memory_order_relaxed); }

vcUIRect vcUIFormat::alignRect(const vcUIRect& r) const noexcept {
  long dx = 0, dy = 0;
  switch (alignment_ % 3) {
    case 1: dx = r.width() / 2; break;
    case 2: dx = r.width(); break;
    default: break;
  }
  switch (alignment_ / 3) {
    case 1: dy = r.height() / 2; break;
    case 2: dy = r.height(); break;
    default: break;
  }
  return vcUIRect(r.left() - dx, r.top() - dy, r.width(), r.height());
}

vcArchive& operator||(vcArchive& ar, vcUIFormat& f) {
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("dispc/uistring", __LINE__);
  long fontId = f.fontId_;
  std::uint32_t alignment = f.alignment_;
  ar || fontId || alignment;
  if (ar.isLoading()) {
    if (alignment > vcUIFormat::eBottomRight)
      vcArchive::fail("dispc/uistring: stored text alignment " + std::to_string(alignment) +
                      " is outside 0 to 8");
    f.fontId_ = fontId;
    f.alignment_ = static_cast<vcUIFormat::Alignment>(alignment);
  }
  return ar;
}
