// vcGenShape: the base of application-defined shapes.
//
// The library knows such a shape only through a 16-byte identifier and a
// block of parameter bytes. An application derives a class from vcGenShape,
// implements the geometry (the pure virtuals of vcShape that are left) and the
// three members below, and registers a factory under the class's identifier,
// so that the shape can be rebuilt from an identifier and bytes that were
// recorded or archived (for instance by a drawing replayed elsewhere). For
// archives the class must also be registered with the class factory
// (vc_Instantiator), as every persistent class is.
#pragma once

#include <compare>
#include <vector>

#include <vc/core/shape.h>

class vcArchive;

class vcGenShape : public vcShape {
public:
  // The identifier of a kind of application shape: 16 opaque bytes (a UUID,
  // for instance). Compared bytewise.
  struct tagShapeID {
    unsigned char bytes[16];
    bool operator==(const tagShapeID&) const = default;
    auto operator<=>(const tagShapeID&) const = default;
  };
  // Makes a new default shape of one registered kind; the caller owns it.
  using Factory = vcGenShape* (*)();

  // Registers the factory for id (thread-safe). Registering the same factory
  // again does nothing; another factory for a registered id, or a null one,
  // throws vcBadArgument.
  static void registerGenShape(const tagShapeID& id, Factory factory);
  // A new default shape of the kind registered for id, or null for an
  // unknown id. The caller owns the result (delete it, or hand it to a
  // vcPtrHandle).
  static vcGenShape* newGenShape(const tagShapeID& id);

  // The identifier of this shape's kind.
  virtual tagShapeID shapeID() const = 0;
  // The shape's parameters as bytes, in the class's own portable format.
  virtual std::vector<unsigned char> data() const = 0;
  // Replaces the parameters by those in bytes[0 .. n) as data() writes them.
  // Bytes are untrusted: malformed ones throw vcShapesError::BadGeom and leave
  // the shape unchanged.
  virtual void load(const unsigned char* bytes, long n) = 0;

  // A new shape of the same kind, made by its registered factory and loaded
  // from data(). Throws vcShapesError::BadGeom when the kind is not registered.
  vcShapeHandle clone() const override;
  // Same identifier and same data bytes.
  bool isEqual(const vcShape& other) const override;

  // Version byte 0, the vcShape part, the 16 identifier bytes, the data
  // length (32 bits) and the data bytes. A stored identifier that differs
  // from this object's, or data that load() rejects, throws vcArchive::BadData.
  void dispatchSerialize(vcArchive& ar) override;

protected:
  vcGenShape() = default;
};

static_assert(sizeof(vcGenShape::tagShapeID) == 16);
