// Persistence: the base of every class that can be written to and read from a
// vcArchive, and the class factory that recreates objects by class name.
#pragma once

#include <string>
#include <typeinfo>

class vcArchive;

// Base of every serialisable class; derived classes inherit it virtually.
//
// A class takes part in archiving by overriding dispatchSerialize(), which
// exchanges a version byte, its base parts and its own fields through the
// symmetric operator|| of vcArchive. haveVisited()/setVisited() mark a part
// of an object as done during one archive exchange, so a virtual base shared by
// several bases is exchanged once.
class vcPersistent {
public:
  virtual ~vcPersistent() = default;

  // Exchanges this object's fields with the archive (writes or reads by the
  // archive's direction). The base part carries no data.
  virtual void dispatchSerialize(vcArchive& ar);
  // Brings an object made by the factory back to its default state.
  virtual void reInit() {}
  // Reads an object that has no version of its own: the plain dispatch.
  virtual void loadSimple(vcArchive& ar) { dispatchSerialize(ar); }

  // The mutation flag asks setters to call mutating_() before they change a
  // field (for example so that a cache derived from the fields is dropped).
  bool mutationFlag() const noexcept { return (state_ & kMutationFlag) != 0; }
  void mutationFlag(bool on) noexcept {
    state_ = static_cast<unsigned char>(on ? (state_ | kMutationFlag) : (state_ & ~kMutationFlag));
  }
  // Number of times mutating_() ran on this object since it was made.
  unsigned long mutationCount() const noexcept { return mutations_; }

  // The qualified class name of the object's dynamic type ("vcUIError::BadLayer").
  std::string className() const;

  // Exchanges a pointer to a persistent object by its class name
  // (vcArchive::serializePointer): written once, shared again on reading.
  static void serializePointer(vcArchive& ar, vcPersistent*& p);

protected:
  vcPersistent() = default;
  // A copy starts with a fresh persistent state; the state is not copied.
  vcPersistent(const vcPersistent&) noexcept {}
  vcPersistent& operator=(const vcPersistent&) noexcept { return *this; }

  // Called by setters, when the mutation flag is set, before a field changes.
  virtual void mutating_() { ++mutations_; }
  // Calls mutating_() when the mutation flag asks for it.
  void notifyMutation_() {
    if (mutationFlag()) mutating_();
  }

  // True when the part (object address, part size) was already exchanged in
  // the archive operation in progress; false outside archive operations.
  static bool haveVisited(const void* object, unsigned size);
  static void setVisited(const void* object, unsigned size);

private:
  // Gives a target loaded aside its mutation notice (vcArchive::exchangeAside).
  friend class vcArchive;
  static constexpr unsigned char kMutationFlag = 1;
  unsigned char state_ = 0;
  unsigned long mutations_ = 0;
};

// The class factory. Each concrete persistent class registers its static
// make() through a static vc_Instantiator member, keyed by its qualified name.
class vc_Instantiator {
public:
  using MakeFn = vcPersistent* (*)();
  vc_Instantiator(const std::type_info& type, MakeFn make);

  // Makes a new object of the named class; null when no class has that name.
  static vcPersistent* create(const std::string& qualifiedName);
  static bool isRegistered(const std::string& qualifiedName);
  // The qualified (demangled) name of a type, as written into archives.
  static std::string nameOf(const std::type_info& type);
};
