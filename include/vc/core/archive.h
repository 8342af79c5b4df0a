// vcArchive: the symmetric archive. One operator|| per type both writes and
// reads, by the archive's direction, so each class describes its archive form
// once. The encoding is fixed and portable: little-endian, fixed width (a long
// is 32 bits, a double 8 bytes IEEE 754). Archives read from files are
// untrusted: every read is bounded, counts are checked against the remaining
// input before allocating, and malformed input throws a vcArchive error.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <unordered_map>
#include <utility>
#include <vector>

#include <vc/core/exception.h>
#include <vc/core/handle.h>
#include <vc/core/persistent.h>

template <int N> class vcVector;
template <int N> class vcXform;
class vcPoint;
class vcRadian;
class vc2Rigid;

class vcArchive {
public:
  enum Mode { eStore, eLoad };

  // Base of the archive errors.
  class Errors : public vcExceptionWithString {
  protected:
    Errors() = default;
    explicit Errors(const std::string& m) : vcExceptionWithString(m) {}
  };
  // A stored version byte that the reading class does not know. Built from the
  // source file and line that rejected it, or from a class name and 0.
  class UnknownVersion : public Errors {
  public:
    UnknownVersion() = default;
    UnknownVersion(const char* source, int line);
    const std::string& source() const noexcept { return source_; }
    int line() const noexcept { return line_; }
    void dispatchSerialize(vcArchive& ar) override;
    VC_EXCEPTION_LEAF(UnknownVersion);

  private:
    std::string source_;
    int line_ = 0;
  };
  // Malformed input: truncated data, impossible counts or values, unknown class
  // names, pointer cycles, nesting too deep.
  class BadData : public Errors {
  public:
    BadData() = default;
    explicit BadData(const std::string& m) : Errors(m) {}
    VC_EXCEPTION_LEAF(BadData);
  };
  // The file could not be opened, read or written.
  class IOError : public Errors {
  public:
    IOError() = default;
    explicit IOError(const std::string& m) : Errors(m) {}
    VC_EXCEPTION_LEAF(IOError);
  };

  // Objects nested deeper than this are rejected when reading.
  static constexpr int kMaxDepth = 200;

  virtual ~vcArchive();
  vcArchive(const vcArchive&) = delete;
  vcArchive& operator=(const vcArchive&) = delete;

  bool isStoring() const noexcept { return mode_ == eStore; }
  bool isLoading() const noexcept { return mode_ == eLoad; }

  // Moves n raw bytes (written as they are, or read into bytes).
  void raw(void* bytes, long n);
  // Bytes left to read; 0 when storing.
  std::uint64_t remaining() const { return isLoading() ? remaining_() : 0; }
  // Throws BadData unless count items of at least minSize bytes each can still
  // be read. Loaders call this before they allocate for a stored count.
  void requireItems(std::uint64_t count, std::uint64_t minSize) const;
  // Exchanges the 32-bit count of a sequence of `size` items and returns it.
  // Storing throws BadData when size exceeds maxCount; loading throws BadData
  // unless the stored count is at most maxCount and that many items of at least
  // minSize archive bytes each can still be read. A count written as a signed
  // 32-bit value passes maxCount 0x7FFFFFFF, so a negative one is rejected.
  std::uint32_t exchangeCount(std::size_t size, std::uint64_t minSize, std::uint32_t maxCount = 0xFFFFFFFFu);
  // As exchangeCount, for formats that store a signed 32-bit count and read one
  // of 0 or less as "no items" (sketch archives: older writers may store -1 for
  // an empty sketch): such a count loads as 0 and reads nothing more.
  std::uint32_t exchangeSignedCount(std::size_t size, std::uint64_t minSize, std::uint32_t maxCount = 0x7FFFFFFFu);
  [[noreturn]] static void fail(const std::string& why);

  // The one roll-back idiom of archive loads. Storing runs exchange(target)
  // on the target itself. Loading runs exchange(aside) on `aside`, a fresh
  // object, and only when that returns gives the target its mutation notice
  // and moves the loaded object in: a load that throws, wherever it stops,
  // leaves the target as it was. The visited marks set inside the aside go
  // with it, so that a later aside at the same address is exchanged in full.
  template <class T, class Exchange>
  void exchangeAside(T& target, T aside, Exchange&& exchange);

  // Exchanges a pointer to a persistent object. Stored as null, as a new object
  // (its qualified class name, then its fields) or as a back reference to an
  // object already exchanged through this archive, so a shared object is
  // written once and shared again on reading. A loaded object that is a
  // vcRepBase stays referenced by the archive until the archive is destroyed;
  // any other loaded object belongs to the caller.
  void serializePointer(vcPersistent*& p);

  // Exchanges one object in place, inside an archive operation (the scope of
  // the visited marks).
  void exchange(vcPersistent& obj);

  template <class T>
  void serializeHandle(vcPtrHandle<T>& h);
  template <class T>
  void serializeHandle(vcPtrHandle_const<T>& h);

protected:
  explicit vcArchive(Mode mode) : mode_(mode) {}
  virtual void put_(const void* bytes, std::size_t n) = 0;
  virtual void get_(void* bytes, std::size_t n) = 0;
  virtual std::uint64_t remaining_() const = 0;

private:
  friend class vcPersistent;
  struct Loaded {
    vcPersistent* obj = nullptr;
    bool complete = false;
  };
  using Accept = bool (*)(vcPersistent*);

  vcPersistent* loadObject_(Accept accept, const std::type_info* expected);
  // Drops the visited marks of the parts in [begin, begin + size).
  void forgetVisited_(const void* begin, std::size_t size) noexcept;
  void storeObject_(vcPersistent* p);

  Mode mode_;
  int depth_ = 0;
  std::set<std::pair<const void*, unsigned>> visited_;
  std::unordered_map<const void*, std::uint32_t> storedIds_;
  std::vector<Loaded> loaded_;
  std::vector<vcPtrHandle<vcRepBase>> held_;
};

// An archive in memory.
class vcBufferArchive : public vcArchive {
public:
  // A storing archive; bytes() returns what was written.
  explicit vcBufferArchive(Mode mode = eStore);
  // A loading archive over a copy of the given bytes.
  explicit vcBufferArchive(const std::vector<unsigned char>& bytes);
  vcBufferArchive(const unsigned char* bytes, std::size_t n);

  const std::vector<unsigned char>& bytes() const noexcept { return buf_; }

protected:
  void put_(const void* bytes, std::size_t n) override;
  void get_(void* bytes, std::size_t n) override;
  std::uint64_t remaining_() const override { return buf_.size() - pos_; }

private:
  std::vector<unsigned char> buf_;
  std::size_t pos_ = 0;
};

// The whole content of the regular file at path (a symbolic link is
// followed), read without blocking and without reading past maxBytes. Throws
// vcArchive::IOError when the file is missing or unreadable, is not a regular
// file (a folder, a device such as /dev/zero, a FIFO, a socket) or holds more
// than maxBytes bytes.
std::vector<unsigned char> vfReadFile(const std::string& path, std::uint64_t maxBytes);

// An archive in a file. A loading archive reads the whole file when opened
// (through vfReadFile, at most kMaxLoadBytes); a storing archive writes
// through to the file, and close() reports failures.
class vcFileArchive : public vcArchive {
public:
  // The largest file a loading archive reads: 1 GiB.
  static constexpr std::uint64_t kMaxLoadBytes = std::uint64_t(1) << 30;

  vcFileArchive(const std::string& path, Mode mode);
  ~vcFileArchive() override;

  // Flushes and closes a storing archive; throws IOError if the data did not reach the file.
  void close();

protected:
  void put_(const void* bytes, std::size_t n) override;
  void get_(void* bytes, std::size_t n) override;
  std::uint64_t remaining_() const override { return data_.size() - pos_; }

private:
  struct File;
  std::unique_ptr<File> file_;
  std::string path_;
  std::vector<unsigned char> data_;
  std::size_t pos_ = 0;
};

// Exchanges of the primitive types, in their fixed-width little-endian form.
vcArchive& operator||(vcArchive& ar, bool& v);
vcArchive& operator||(vcArchive& ar, char& v);
vcArchive& operator||(vcArchive& ar, signed char& v);
vcArchive& operator||(vcArchive& ar, unsigned char& v);
vcArchive& operator||(vcArchive& ar, short& v);
vcArchive& operator||(vcArchive& ar, unsigned short& v);
vcArchive& operator||(vcArchive& ar, int& v);
vcArchive& operator||(vcArchive& ar, unsigned int& v);
// 32 bits in the archive; storing a value that does not fit throws BadData.
vcArchive& operator||(vcArchive& ar, long& v);
vcArchive& operator||(vcArchive& ar, unsigned long& v);
vcArchive& operator||(vcArchive& ar, float& v);
vcArchive& operator||(vcArchive& ar, double& v);
// A 32-bit length, then the bytes.
vcArchive& operator||(vcArchive& ar, std::string& v);
vcArchive& operator||(vcArchive& ar, vcVector<2>& v);
vcArchive& operator||(vcArchive& ar, vcPoint& v);
// Matrix elements a, b, c, d then the translation; non-finite values are rejected on reading.
vcArchive& operator||(vcArchive& ar, vcXform<2>& v);
// The angle in radians, as a double.
vcArchive& operator||(vcArchive& ar, vcRadian& v);
// The angle (radians) then the translation; non-finite values are rejected on reading.
vcArchive& operator||(vcArchive& ar, vc2Rigid& v);
// An object of known type, exchanged in place (no class name is written).
vcArchive& operator||(vcArchive& ar, vcPersistent& v);

// Smallest number of archive bytes one item of T takes, for count checks.
template <class T>
constexpr std::uint64_t vcArchiveMinSize() {
  if constexpr (std::is_arithmetic_v<T>) return sizeof(T) > 4 && !std::is_same_v<T, double> ? 4 : sizeof(T);
  else return 1;
}

// Exchanges a counted sequence: its 32-bit count (see exchangeCount), then each
// item through item(T&) or item(T&, index). A load reads the items into a
// temporary and swaps it into v only when all were read, so a failed load
// leaves v as it was. minSize is the least archive bytes one item takes.
template <class T, class Item>
void vcExchangeCounted(vcArchive& ar, std::vector<T>& v, Item&& item, std::uint64_t minSize = vcArchiveMinSize<T>(),
                       std::uint32_t maxCount = 0xFFFFFFFFu) {
  const std::uint32_t n = ar.exchangeCount(v.size(), minSize, maxCount);
  auto each = [&item](std::vector<T>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
      if constexpr (std::is_invocable_v<Item&, T&, std::size_t>) item(items[i], i);
      else item(items[i]);
    }
  };
  if (ar.isStoring()) {
    each(v);
    return;
  }
  std::vector<T> tmp(n);
  each(tmp);
  v.swap(tmp);
}

// A counted run of bytes, moved in one piece; loads are checked and swapped in
// as vcExchangeCounted does.
void vcExchangeCountedBytes(vcArchive& ar, std::vector<unsigned char>& v, std::uint32_t maxCount = 0xFFFFFFFFu);

// A 32-bit count, then each element.
template <class T>
vcArchive& operator||(vcArchive& ar, std::vector<T>& v) {
  vcExchangeCounted(ar, v, [&ar](T& item) { ar || item; });
  return ar;
}

template <class T>
vcArchive& operator||(vcArchive& ar, vcPtrHandle<T>& h) {
  ar.serializeHandle(h);
  return ar;
}
template <class T>
vcArchive& operator||(vcArchive& ar, vcPtrHandle_const<T>& h) {
  ar.serializeHandle(h);
  return ar;
}

// Storing and loading spellings of the same exchange.
template <class T>
vcArchive& operator<<(vcArchive& ar, const T& v) {
  if (!ar.isStoring()) vcArchive::fail("operator<< on a loading archive");
  return ar || const_cast<T&>(v);
}
template <class T>
vcArchive& operator>>(vcArchive& ar, T& v) {
  if (!ar.isLoading()) vcArchive::fail("operator>> on a storing archive");
  return ar || v;
}

template <class T, class Exchange>
void vcArchive::exchangeAside(T& target, T aside, Exchange&& exchange) {
  if (isStoring()) {
    exchange(target);
    return;
  }
  struct Forget {
    vcArchive& ar;
    const T& aside;
    ~Forget() { ar.forgetVisited_(&aside, sizeof(T)); }
  } forget{*this, aside};
  exchange(aside);
  if constexpr (std::is_base_of_v<vcPersistent, T>) static_cast<vcPersistent&>(target).notifyMutation_();
  target = std::move(aside);
}

template <class T>
void vcArchive::serializeHandle(vcPtrHandle<T>& h) {
  if (isStoring()) {
    vcPersistent* p = nullptr;
    if (h) {
      p = dynamic_cast<vcPersistent*>(h.ptr());
      if (!p) fail("handle to an object that is not persistent");
    }
    storeObject_(p);
  } else {
    vcPersistent* p = loadObject_([](vcPersistent* o) { return dynamic_cast<T*>(o) != nullptr; },
                                  &typeid(T));
    h = vcPtrHandle<T>(p ? dynamic_cast<T*>(p) : nullptr);
  }
}

template <class T>
void vcArchive::serializeHandle(vcPtrHandle_const<T>& h) {
  if (isStoring()) {
    const vcPersistent* p = nullptr;
    if (h) {
      p = dynamic_cast<const vcPersistent*>(h.ptr());
      if (!p) fail("handle to an object that is not persistent");
    }
    storeObject_(const_cast<vcPersistent*>(p));
  } else {
    vcPersistent* p = loadObject_([](vcPersistent* o) { return dynamic_cast<T*>(o) != nullptr; },
                                  &typeid(T));
    h = vcPtrHandle_const<T>(p ? dynamic_cast<const T*>(p) : nullptr);
  }
}
