// Retained graphics: the vcGraphic family.
#pragma once

#include <string>

#include <vc/uierror.h>

class vcGraphic {
public:
  // Base of the graphic errors; carries the message given at the throw.
  class Errors : public vcExceptionWithString {
  protected:
    Errors() = default;
    explicit Errors(const std::string& m) : vcExceptionWithString(m) {}
    void dispatchSerialize(vcArchive& ar) override;

  private:
    void serialize_(vcArchive& ar, unsigned char version);
  };
  // An argument out of range, such as an item index of a group.
  class BadParams : public Errors {
  public:
    BadParams() = default;
    explicit BadParams(const std::string& m) : Errors(m) {}
    VC_EXCEPTION_LEAF(BadParams);
    VC_ERROR_SERIALIZE_MEMBERS();
  };
  // A shape for which no graphic class exists.
  class NoGraphicForShape : public Errors {
  public:
    NoGraphicForShape() = default;
    explicit NoGraphicForShape(const std::string& m) : Errors(m) {}
    VC_EXCEPTION_LEAF(NoGraphicForShape);
    VC_ERROR_SERIALIZE_MEMBERS();
  };
};
