// The errors of the display classes. Each is a nested class of vcUIError with
// a fixed error number; all derive from vcUIError::Errors.
#pragma once

#include <string>
#include <utility>

#include <vc/core/exception.h>

class vcArchive;

// Declares the archive members of a versioned exception class (version 0 only).
#define VC_ERROR_SERIALIZE_MEMBERS()                           \
protected:                                                     \
  void dispatchSerialize(vcArchive& ar) override;              \
                                                               \
private:                                                       \
  void serialize_(vcArchive& ar, unsigned char version)

class vcUIError {
public:
  // Base of every display error; not thrown itself.
  class Errors : public vcException {
  protected:
    Errors() = default;
    void dispatchSerialize(vcArchive& ar) override;

  private:
    void serialize_(vcArchive& ar, unsigned char version);
  };

#define VC_UI_ERROR(Name)            \
  class Name : public Errors {       \
  public:                            \
    Name() = default;                \
    VC_EXCEPTION_LEAF(Name);         \
    VC_ERROR_SERIALIZE_MEMBERS();    \
  }
  VC_UI_ERROR(BadLayer);             // a layer value outside the operation's range
  VC_UI_ERROR(BadIconPattern);       // a malformed icon pattern
  VC_UI_ERROR(FlagStackUnderflow);   // pop of a flag stack holding one entry
  VC_UI_ERROR(FlagStackOverflow);    // push onto a full flag stack
  VC_UI_ERROR(FlagStackOutOfRange);  // flag stack index outside the depth
  VC_UI_ERROR(NotAvailable);
  VC_UI_ERROR(NotEnabled);
  VC_UI_ERROR(BadKeyValue);
  VC_UI_ERROR(InvalidColorMapSize);
  VC_UI_ERROR(NotImplemented);       // an operation this library does not implement
  VC_UI_ERROR(NotRGBColor);          // an RGB value asked of a color that carries none
  VC_UI_ERROR(NotIndexColor);        // a palette index asked of a color that carries none
  VC_UI_ERROR(NoLongerSupported);
  VC_UI_ERROR(InitFailed);
#undef VC_UI_ERROR

// Errors that carry an optional reason, made part of the message; the
// archive form holds the error alone, so a loaded one has no reason.
#define VC_UI_ERROR_WITH_REASON(Name)                                          \
  class Name : public Errors {                                                 \
  public:                                                                      \
    Name() = default;                                                          \
    explicit Name(std::string reason) : reason_(std::move(reason)) {}          \
    const std::string& reason() const noexcept { return reason_; }             \
    VC_EXCEPTION_LEAF(Name);                                                   \
    VC_ERROR_SERIALIZE_MEMBERS();                                              \
                                                                               \
  protected:                                                                   \
    void message_(std::ostream& os) const override;                            \
                                                                               \
  private:                                                                     \
    std::string reason_;                                                       \
  }

  // A value a tablet operation cannot take: a position that is not finite
  // (in client or in scope coordinates), or a value that the 4-byte field of
  // the operation's sketch record cannot hold.
  VC_UI_ERROR_WITH_REASON(BadParams);
  // A sketch byte stream that cannot be parsed; the reason tells which
  // record, at which byte offset, and what was wrong.
  VC_UI_ERROR_WITH_REASON(InvalidUISketch);
#undef VC_UI_ERROR_WITH_REASON
};
