// vcGenShape: the registry of application shape kinds and the generic
// identity, copy and archive form built on shapeID(), data() and load().
#include <vc/core/genshape.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

namespace {

struct Registry {
  std::mutex lock;
  std::map<vcGenShape::tagShapeID, vcGenShape::Factory> factories;
};

// Built on first use, so registration from static initialisers is safe.
Registry& registry() {
  static Registry r;
  return r;
}

std::string hexID(const vcGenShape::tagShapeID& id) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (unsigned char b : id.bytes) {
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

}  // namespace

void vcGenShape::registerGenShape(const tagShapeID& id, Factory factory) {
  if (!factory) throw vcBadArgument("vcGenShape::registerGenShape: null factory for " + hexID(id));
  Registry& r = registry();
  std::lock_guard<std::mutex> g(r.lock);
  auto [it, added] = r.factories.emplace(id, factory);
  if (!added && it->second != factory)
    throw vcBadArgument("vcGenShape::registerGenShape: another factory is registered for " + hexID(id));
}

vcGenShape* vcGenShape::newGenShape(const tagShapeID& id) {
  Factory f = nullptr;
  {
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    auto it = r.factories.find(id);
    if (it == r.factories.end()) return nullptr;
    f = it->second;
  }
  return f();
}

vcShapeHandle vcGenShape::clone() const {
  std::unique_ptr<vcGenShape> copy(newGenShape(shapeID()));
  if (!copy) throw vcShapesError::BadGeom("vcGenShape::clone: kind " + hexID(shapeID()) + " is not registered");
  const std::vector<unsigned char> bytes = data();
  copy->load(bytes.data(), static_cast<long>(bytes.size()));
  return vcShapeHandle(copy.release());
}

bool vcGenShape::isEqual(const vcShape& other) const {
  const auto* o = dynamic_cast<const vcGenShape*>(&other);
  return o && o->shapeID() == shapeID() && o->data() == data();
}

void vcGenShape::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcGenShape))) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw vcArchive::UnknownVersion("core/genshape", __LINE__);
  vcShape::dispatchSerialize(ar);
  tagShapeID id = shapeID();
  ar.raw(id.bytes, 16);
  if (ar.isLoading() && !(id == shapeID()))
    vcArchive::fail("vcGenShape: stored kind " + hexID(id) + " is not this shape's kind " + hexID(shapeID()));
  std::vector<unsigned char> bytes = ar.isStoring() ? data() : std::vector<unsigned char>();
  vcExchangeCountedBytes(ar, bytes, 0x7FFFFFFFu);
  if (ar.isLoading()) {
    try {
      load(bytes.data(), static_cast<long>(bytes.size()));
    } catch (const vcShapesError::BadGeom& e) {
      vcArchive::fail("vcGenShape: stored data rejected (" + e.string() + ")");
    }
  }
  setVisited(this, sizeof(vcGenShape));
}
