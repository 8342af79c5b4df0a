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
  VC_UI_ERROR(BadParams);
  VC_UI_ERROR(NotRGBColor);          // an RGB value asked of a color that carries none
  VC_UI_ERROR(NotIndexColor);        // a palette index asked of a color that carries none
  VC_UI_ERROR(NoLongerSupported);
  VC_UI_ERROR(InitFailed);
#undef VC_UI_ERROR

  // A sketch byte stream that cannot be parsed. The reason (which record, at
  // which byte offset, what was wrong) is part of the message; the archive
  // form holds the error alone, so a loaded one has no reason.
  class InvalidUISketch : public Errors {
  public:
    InvalidUISketch() = default;
    explicit InvalidUISketch(std::string reason) : reason_(std::move(reason)) {}
    const std::string& reason() const noexcept { return reason_; }
    VC_EXCEPTION_LEAF(InvalidUISketch);
    VC_ERROR_SERIALIZE_MEMBERS();

  protected:
    void message_(std::ostream& os) const override;

  private:
    std::string reason_;
  };
};
