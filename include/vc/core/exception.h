// The core exception classes. Every failure in the library is an exception
// object thrown by value; every exception class is persistent, so it can be
// archived and recreated by its qualified class name.
#pragma once

#include <exception>
#include <iosfwd>
#include <string>

#include <vc/core/persistent.h>

// Base of every exception of the library. what() gives the qualified class
// name followed by the message.
class vcException : public std::exception, public virtual vcPersistent {
public:
  ~vcException() override = default;

  // The class's fixed error number.
  virtual long errorNumber() const = 0;
  // Rethrows a copy of this heap-allocated object by value after deleting it.
  [[noreturn]] virtual void suicideAndRethrow() = 0;

  // "<qualified class name>: <message>", or the name alone when the message is empty.
  const char* what() const noexcept override;
  // The message text alone.
  std::string message() const;

  void dispatchSerialize(vcArchive& ar) override;

protected:
  vcException() = default;
  vcException(const vcException& other) : vcPersistent(), std::exception(other) {}
  vcException& operator=(const vcException&) { return *this; }

  // Writes the message; by default "error 0x<number>".
  virtual void message_(std::ostream& os) const;

private:
  mutable std::string what_;
};

// An exception that carries a message string given at the throw.
class vcExceptionWithString : public vcException {
public:
  const std::string& string() const noexcept { return message_str_; }
  void dispatchSerialize(vcArchive& ar) override;

protected:
  vcExceptionWithString() = default;
  explicit vcExceptionWithString(const std::string& message) : message_str_(message) {}
  void message_(std::ostream& os) const override;

private:
  std::string message_str_;
};

// Declares the members every concrete exception class has: its error number,
// suicideAndRethrow, the factory's make() and its registration.
#define VC_EXCEPTION_LEAF(Class)                      \
public:                                               \
  long errorNumber() const override;                  \
  [[noreturn]] void suicideAndRethrow() override;     \
                                                      \
private:                                              \
  static vcPersistent* make();                        \
  static const vc_Instantiator sExemplar

// Defines, in one source file, the members declared by VC_EXCEPTION_LEAF.
#define VC_DEFINE_EXCEPTION_LEAF(Class, Number)                              \
  long Class::errorNumber() const { return Number; }                         \
  void Class::suicideAndRethrow() {                                          \
    Class copy(*this);                                                       \
    delete this;                                                             \
    throw copy;                                                              \
  }                                                                          \
  vcPersistent* Class::make() { return new Class; }                          \
  const vc_Instantiator Class::sExemplar(typeid(Class), &Class::make);

// A null or dangling pointer or handle was passed where an object is needed.
class vcBadPointer : public vcExceptionWithString {
public:
  vcBadPointer() = default;
  explicit vcBadPointer(const std::string& m) : vcExceptionWithString(m) {}
  VC_EXCEPTION_LEAF(vcBadPointer);
};

// A numeric failure: a singular matrix, a value out of range, a non-finite number.
class vcMathError : public vcExceptionWithString {
public:
  vcMathError() = default;
  explicit vcMathError(const std::string& m) : vcExceptionWithString(m) {}
  VC_EXCEPTION_LEAF(vcMathError);
};

// An argument outside what the operation accepts.
class vcBadArgument : public vcExceptionWithString {
public:
  vcBadArgument() = default;
  explicit vcBadArgument(const std::string& m) : vcExceptionWithString(m) {}
  VC_EXCEPTION_LEAF(vcBadArgument);
};

// A failure status code from a lower layer.
class vcFailure : public vcExceptionWithString {
public:
  vcFailure() = default;
  explicit vcFailure(long code);
  long code() const noexcept { return code_; }
  void dispatchSerialize(vcArchive& ar) override;
  VC_EXCEPTION_LEAF(vcFailure);

private:
  long code_ = 0;
};

// Throws vcFailure when status is negative (a failure code); returns otherwise.
void vfThrowExceptionOnFailure(long status);

// Geometry errors of the shapes.
class vcShapesError {
public:
  class Errors : public vcExceptionWithString {
  protected:
    Errors() = default;
    explicit Errors(const std::string& m) : vcExceptionWithString(m) {}
  };
#define VC_SHAPES_ERROR(Name)                                  \
  class Name : public Errors {                                 \
  public:                                                      \
    Name() = default;                                          \
    explicit Name(const std::string& m) : Errors(m) {}         \
    VC_EXCEPTION_LEAF(Name);                                   \
  }
  VC_SHAPES_ERROR(BadGeom);          // parameters that describe no valid shape
  VC_SHAPES_ERROR(DegenerateShape);  // the shape collapsed to a point or a line
  VC_SHAPES_ERROR(NotOpenContour);   // an operation that needs an open contour
  VC_SHAPES_ERROR(NoTangent);        // the shape has no tangent there
  VC_SHAPES_ERROR(NotRegion);        // an operation that needs a region
  VC_SHAPES_ERROR(BadRadius);        // a negative or non-finite radius
  VC_SHAPES_ERROR(BadCoef);          // spline or curve coefficients that are not usable
#undef VC_SHAPES_ERROR
};
