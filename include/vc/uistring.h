// vcUIFormat: how a text string is placed at its anchor point, and in which font.
#pragma once

#include <cstdint>

#include <vc/uirect.h>

class vcArchive;

class vcUIFormat {
public:
  // Which point of the text rectangle sits at the anchor. value / 3 is the
  // vertical choice (top, middle, bottom), value % 3 the horizontal one
  // (left, centre, right).
  enum Alignment : std::uint32_t {
    eTopLeft = 0,
    eTopCenter = 1,
    eTopRight = 2,
    eCenterLeft = 3,
    eCenter = 4,
    eCenterRight = 5,
    eBottomLeft = 6,
    eBottomCenter = 7,
    eBottomRight = 8,
  };

  // The current process-wide default font, alignment a. Throws vcBadArgument
  // for an alignment outside eTopLeft..eBottomRight (as do the other members
  // that take one).
  vcUIFormat(Alignment a = eTopLeft);
  // fontId: interpreted by the application's scope when it draws text.
  vcUIFormat(long fontId, Alignment a);

  long fontId() const noexcept { return fontId_; }
  void fontId(long id) noexcept { fontId_ = id; }
  Alignment alignment() const noexcept { return alignment_; }
  void alignment(Alignment a);

  // The font id that formats take when built without one; -1 until set.
  // Setting it affects formats built later, not existing ones. Safe to call
  // from any thread.
  static long defaultFontId() noexcept;
  static void defaultFontId(long id) noexcept;

  // r is a text rectangle (scope pixels) whose left and top hold the anchor
  // point. Returns r moved so that the point named by the alignment sits at
  // the anchor: centre alignments move left by width / 2, right alignments by
  // the width; middle alignments move up by height / 2, bottom alignments by
  // the height (halves truncated toward zero). The size is kept; the result
  // is normalised.
  vcUIRect alignRect(const vcUIRect& r) const noexcept;

  bool operator==(const vcUIFormat& o) const noexcept {
    return fontId_ == o.fontId_ && alignment_ == o.alignment_;
  }
  bool operator!=(const vcUIFormat& o) const noexcept { return !(*this == o); }

private:
  friend vcArchive& operator||(vcArchive& ar, vcUIFormat& f);

  long fontId_;
  Alignment alignment_;
};

// Archive form (ar << f stores, ar >> f loads): version byte 0, the font id as
// a signed 32-bit value, the alignment as an unsigned 32-bit value. A stored
// version other than 0 throws vcArchive::UnknownVersion, an alignment above
// eBottomRight vcArchive::BadData; a failed load leaves f unchanged. A font
// id that does not fit in 32 bits cannot be stored (vcArchive::BadData).
vcArchive& operator||(vcArchive& ar, vcUIFormat& f);
