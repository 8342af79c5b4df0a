// vcShapeBase: the members every concrete shape shares, written once.
//
// A concrete shape S derives from vcShapeBase<S>, or from vcShapeBase<S, B>
// when it extends an abstract shape B (itself a vcShape), and gets:
// - clone(): a copy of S in a new handle;
// - isEqual(): true for a shape of the same dynamic type equal by S::operator==;
// - registration with the class factory under S's qualified name;
// - dispatchSerialize(): version byte 0, the vcShape part, then S's fields.
//
// S supplies, besides its geometry:
// - a public default constructor and bool operator==(const S&) const;
// - a private void archiveFields_(vcArchive& ar), with
//   `friend class vcShapeBase<S>;` (or <S, B>): it exchanges S's fields in
//   their archive order through operator||, and when loading it builds the
//   shape from the values read through S's checking constructor
//   (`if (ar.isLoading()) *this = S(...)`), so loading checks exactly what
//   constructing checks.
// Loading runs archiveFields_() on a default-made temporary and replaces the
// target only when it succeeds (vcArchive::exchangeAside): a constructor's
// vcShapesError or vcBadArgument becomes vcArchive::BadData, and a failed load
// leaves the target unchanged.
//
// The members are compiled once, in the shape's own .cpp file:
//   template class vcShapeBase<S>;         // in s.cpp
//   extern template class vcShapeBase<S>;  // in s.h, after S
// Shapes that hold other shapes (trees, mapped shapes) and vcGenShape, whose
// kinds come from a registry of their own, implement these members themselves.
#pragma once

#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/shape.h>

template <class S, class B = vcShape>
class vcShapeBase : public B {
public:
  vcShapeHandle clone() const override { return vcShapeHandle(new S(self())); }
  bool isEqual(const vcShape& other) const override {
    return typeid(other) == typeid(*this) && self() == static_cast<const S&>(other);
  }
  void dispatchSerialize(vcArchive& ar) override {
    this->exchangeShape_(ar, static_cast<S*>(this), sizeof(S), &exchange_);
  }

protected:
  using B::B;
  vcShapeBase() = default;

private:
  const S& self() const { return static_cast<const S&>(*this); }
  static vcPersistent* make() { return new S; }
  static void exchange_(vcArchive& ar, void* s) {
    ar.exchangeAside(*static_cast<S*>(s), S(), [&ar](S& shape) { shape.archiveFields_(ar); });
  }
  static const vc_Instantiator sExemplar;
};

template <class S, class B>
const vc_Instantiator vcShapeBase<S, B>::sExemplar(typeid(S), &vcShapeBase<S, B>::make);
