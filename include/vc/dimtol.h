// Dimensions and tolerances of SMD geometric descriptions.
#pragma once

#include <string>

#include <vc/uierror.h>

// Base of the dimension errors.
class vcSMDDimensionErrors : public vcException {
protected:
  vcSMDDimensionErrors() = default;
};

class vcSMDDimension {
public:
  class Errors : public vcSMDDimensionErrors {
  protected:
    Errors() = default;
  };
  // A nominal, minimum or maximum value that breaks the dimension's rules; the
  // message says which. The message is not archived.
  class badDimensionValue : public Errors {
  public:
    badDimensionValue() = default;
    explicit badDimensionValue(const std::string& m) : message_str_(m) {}
    const std::string& string() const noexcept { return message_str_; }
    VC_EXCEPTION_LEAF(badDimensionValue);
    VC_ERROR_SERIALIZE_MEMBERS();

  protected:
    void message_(std::ostream& os) const override;

  private:
    std::string message_str_;
  };
};
