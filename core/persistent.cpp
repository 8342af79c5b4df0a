#include <vc/core/persistent.h>

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <unordered_map>

#include <vc/core/archive.h>

namespace {

struct Registry {
  std::mutex lock;
  std::unordered_map<std::string, vc_Instantiator::MakeFn> byName;
  std::unordered_map<std::type_index, std::string> names;
};

// Built on first use so that registration from static initialisers in any
// translation unit finds it ready.
Registry& registry() {
  static Registry r;
  return r;
}

std::string demangle(const char* mangled) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> out(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                             std::free);
  return status == 0 && out ? std::string(out.get()) : std::string(mangled);
}

// The archive whose exchange is in progress on this thread; the visited marks
// belong to it.
thread_local vcArchive* tCurrentArchive = nullptr;

}  // namespace

void vcPersistent::dispatchSerialize(vcArchive&) {}

void vcPersistent::serializePointer(vcArchive& ar, vcPersistent*& p) { ar.serializePointer(p); }

std::string vcPersistent::className() const { return vc_Instantiator::nameOf(typeid(*this)); }

bool vcPersistent::haveVisited(const void* object, unsigned size) {
  vcArchive* ar = tCurrentArchive;
  return ar && ar->visited_.count({object, size}) != 0;
}

void vcPersistent::setVisited(const void* object, unsigned size) {
  if (vcArchive* ar = tCurrentArchive) ar->visited_.insert({object, size});
}

vc_Instantiator::vc_Instantiator(const std::type_info& type, MakeFn make) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.byName[demangle(type.name())] = make;
}

vcPersistent* vc_Instantiator::create(const std::string& qualifiedName) {
  MakeFn make = nullptr;
  {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.byName.find(qualifiedName);
    if (it != r.byName.end()) make = it->second;
  }
  return make ? make() : nullptr;
}

bool vc_Instantiator::isRegistered(const std::string& qualifiedName) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  return r.byName.count(qualifiedName) != 0;
}

std::string vc_Instantiator::nameOf(const std::type_info& type) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.names.find(std::type_index(type));
  if (it != r.names.end()) return it->second;
  std::string name = demangle(type.name());
  r.names.emplace(std::type_index(type), name);
  return name;
}

// Sets the thread's current archive for the duration of one exchange; the
// outermost exchange clears the visited marks when it ends.
class vcArchiveScope {
public:
  explicit vcArchiveScope(vcArchive* ar) : prev_(tCurrentArchive) { tCurrentArchive = ar; }
  ~vcArchiveScope() { tCurrentArchive = prev_; }
  vcArchiveScope(const vcArchiveScope&) = delete;
  vcArchiveScope& operator=(const vcArchiveScope&) = delete;

private:
  vcArchive* prev_;
};

void vcArchive::exchange(vcPersistent& obj) {
  if (depth_ >= kMaxDepth) fail("objects nested too deeply");
  vcArchiveScope scope(this);
  struct Depth {
    vcArchive& ar;
    explicit Depth(vcArchive& a) : ar(a) { ++ar.depth_; }
    ~Depth() {
      if (--ar.depth_ == 0) ar.visited_.clear();
    }
  } depth(*this);
  obj.dispatchSerialize(*this);
}
