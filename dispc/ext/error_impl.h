// Definitions shared by the display library's exception classes: the
// versioned archive form that each of them has.
#pragma once

#include <vc/core/archive.h>

// Defines Class::dispatchSerialize and Class::serialize_: a version byte 0,
// then the base class part. Any other version throws UnknownVersion naming the
// class.
#define VC_DEFINE_ERROR_SERIALIZE(Class, Base, QualifiedName)                     \
  void Class::dispatchSerialize(vcArchive& ar) {                                  \
    if (haveVisited(this, sizeof(Class))) return;                                 \
    unsigned char version = 0;                                                    \
    ar || version;                                                                \
    if (version != 0) throw vcArchive::UnknownVersion(QualifiedName, 0);          \
    serialize_(ar, version);                                                      \
    setVisited(this, sizeof(Class));                                              \
  }                                                                               \
  void Class::serialize_(vcArchive& ar, unsigned char version) {                  \
    if (version != 0) throw vcArchive::UnknownVersion(QualifiedName, 0);          \
    Base::dispatchSerialize(ar);                                                  \
  }

// Defines everything of a leaf error class: number, rethrow, factory and archive form.
#define VC_DEFINE_ERROR(Class, Base, Number)                 \
  VC_DEFINE_EXCEPTION_LEAF(Class, Number)                    \
  VC_DEFINE_ERROR_SERIALIZE(Class, Base, #Class)
