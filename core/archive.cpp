#include <vc/core/archive.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include <vc/core/byteio.h>
#include <vc/core/angle.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

namespace {
constexpr unsigned char kNullTag = 0;
constexpr unsigned char kNewTag = 1;
constexpr unsigned char kRefTag = 2;
}  // namespace

vcArchive::UnknownVersion::UnknownVersion(const char* source, int line)
    : Errors(std::string("unknown archive version in ") + (source ? source : "?") +
             (line ? ":" + std::to_string(line) : std::string())),
      source_(source ? source : ""),
      line_(line) {}

void vcArchive::UnknownVersion::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(UnknownVersion))) return;
  unsigned char version = 0;
  ar || version;
  if (version != 0) throw UnknownVersion("vcArchive::UnknownVersion", 0);
  Errors::dispatchSerialize(ar);
  std::string source = source_;
  int line = line_;
  ar || source || line;
  source_.swap(source);
  line_ = line;
  setVisited(this, sizeof(UnknownVersion));
}

vcArchive::~vcArchive() = default;

void vcArchive::fail(const std::string& why) { throw BadData(why); }

void vcByteReader::fail(const std::string& why) const {
  fail_(why);
  throw vcBadArgument(why);  // a failure function must throw; this keeps the promise if it does not
}

void vcByteReader::failEnd() const { fail("unexpected end of input"); }

void vcArchive::forgetVisited_(const void* begin, std::size_t size) noexcept {
  const auto* from = static_cast<const unsigned char*>(begin);
  visited_.erase(visited_.lower_bound({from, 0u}), visited_.lower_bound({from + size, 0u}));
}

void vcArchive::raw(void* bytes, long n) {
  if (n < 0) fail("negative byte count");
  if (isStoring()) put_(bytes, static_cast<std::size_t>(n));
  else get_(bytes, static_cast<std::size_t>(n));
}

void vcArchive::requireItems(std::uint64_t count, std::uint64_t minSize) const {
  if (isLoading() && minSize != 0 && count > remaining_() / minSize)
    fail("stored count " + std::to_string(count) + " exceeds the remaining archive");
}

std::uint32_t vcArchive::exchangeCount(std::size_t size, std::uint64_t minSize, std::uint32_t maxCount) {
  std::uint32_t n = 0;
  if (isStoring()) {
    if (size > maxCount) fail(std::to_string(size) + " items are too many for an archive");
    n = static_cast<std::uint32_t>(size);
  }
  *this || n;
  if (isLoading()) {
    if (n > maxCount) fail("stored count " + std::to_string(n) + " is out of range");
    requireItems(n, minSize);
  }
  return n;
}

std::uint32_t vcArchive::exchangeSignedCount(std::size_t size, std::uint64_t minSize, std::uint32_t maxCount) {
  maxCount = std::min(maxCount, 0x7FFFFFFFu);
  if (isStoring()) return exchangeCount(size, minSize, maxCount);
  std::int32_t n = 0;
  *this || n;
  if (n <= 0) return 0;
  const auto count = static_cast<std::uint32_t>(n);
  if (count > maxCount) fail("stored count " + std::to_string(count) + " is out of range");
  requireItems(count, minSize);
  return count;
}

void vcExchangeCountedBytes(vcArchive& ar, std::vector<unsigned char>& v, std::uint32_t maxCount) {
  const std::uint32_t n = ar.exchangeCount(v.size(), 1, maxCount);
  if (ar.isStoring()) {
    ar.raw(v.data(), static_cast<long>(n));
    return;
  }
  std::vector<unsigned char> tmp(n);
  ar.raw(tmp.data(), static_cast<long>(n));
  v.swap(tmp);
}

void vcArchive::serializePointer(vcPersistent*& p) {
  if (isStoring()) storeObject_(p);
  else p = loadObject_(nullptr, nullptr);
}

void vcArchive::storeObject_(vcPersistent* p) {
  unsigned char tag = kNullTag;
  if (!p) {
    *this || tag;
    return;
  }
  const void* key = dynamic_cast<const void*>(p);
  auto it = storedIds_.find(key);
  if (it != storedIds_.end()) {
    tag = kRefTag;
    std::uint32_t id = it->second;
    *this || tag || id;
    return;
  }
  tag = kNewTag;
  std::string name = p->className();
  *this || tag || name;
  storedIds_.emplace(key, static_cast<std::uint32_t>(storedIds_.size()));
  exchange(*p);
}

vcPersistent* vcArchive::loadObject_(Accept accept, const std::type_info* expected) {
  unsigned char tag = 0;
  *this || tag;
  if (tag == kNullTag) return nullptr;
  if (tag == kRefTag) {
    std::uint32_t id = 0;
    *this || id;
    if (id >= loaded_.size()) fail("reference to an object not in the archive");
    const Loaded& entry = loaded_[id];
    if (!entry.complete || !entry.obj) fail("object refers to itself while being read (pointer cycle)");
    if (accept && !accept(entry.obj))
      fail("stored " + entry.obj->className() + " where " + vc_Instantiator::nameOf(*expected) +
           " is expected");
    return entry.obj;
  }
  if (tag != kNewTag) fail("bad object tag " + std::to_string(tag));

  std::string name;
  *this || name;
  std::unique_ptr<vcPersistent> made(vc_Instantiator::create(name));
  if (!made) fail("unknown class '" + name + "'");
  if (accept && !accept(made.get()))
    fail("stored " + name + " where " + vc_Instantiator::nameOf(*expected) + " is expected");

  // Shared representations are kept alive by the archive until it goes away,
  // so an object referenced again later, or abandoned by a failed load, is
  // neither dangling nor leaked.
  vcRepBase* rep = dynamic_cast<vcRepBase*>(made.get());
  if (rep) held_.emplace_back(rep);
  vcPersistent* obj = made.get();
  if (rep) made.release();

  std::size_t id = loaded_.size();
  loaded_.push_back({obj, false});
  try {
    exchange(*obj);
  } catch (...) {
    loaded_[id].obj = nullptr;  // a non-shared object is freed by `made`
    throw;
  }
  loaded_[id].complete = true;
  made.release();
  return obj;
}

// ---- primitive exchanges -------------------------------------------------

namespace {

template <std::size_t N>
void moveBytes(vcArchive& ar, unsigned char (&b)[N]) {
  ar.raw(b, N);
}

template <class U>
void exchangeUnsigned(vcArchive& ar, U& v, int width) {
  unsigned char b[8] = {};
  if (ar.isStoring()) {
    std::uint64_t u = static_cast<std::uint64_t>(v);
    for (int i = 0; i < width; ++i) b[i] = static_cast<unsigned char>(u >> (8 * i));
    ar.raw(b, width);
  } else {
    ar.raw(b, width);
    std::uint64_t u = 0;
    for (int i = width - 1; i >= 0; --i) u = (u << 8) | b[i];
    v = static_cast<U>(u);
  }
}

}  // namespace

vcArchive& operator||(vcArchive& ar, bool& v) {
  unsigned char b = v ? 1 : 0;
  ar.raw(&b, 1);
  if (ar.isLoading()) {
    if (b > 1) vcArchive::fail("bad boolean value " + std::to_string(b));
    v = b != 0;
  }
  return ar;
}

vcArchive& operator||(vcArchive& ar, char& v) {
  ar.raw(&v, 1);
  return ar;
}
vcArchive& operator||(vcArchive& ar, signed char& v) {
  ar.raw(&v, 1);
  return ar;
}
vcArchive& operator||(vcArchive& ar, unsigned char& v) {
  ar.raw(&v, 1);
  return ar;
}

vcArchive& operator||(vcArchive& ar, unsigned short& v) {
  exchangeUnsigned(ar, v, 2);
  return ar;
}
vcArchive& operator||(vcArchive& ar, short& v) {
  std::uint16_t u = static_cast<std::uint16_t>(v);
  exchangeUnsigned(ar, u, 2);
  v = static_cast<short>(u);
  return ar;
}
vcArchive& operator||(vcArchive& ar, unsigned int& v) {
  exchangeUnsigned(ar, v, 4);
  return ar;
}
vcArchive& operator||(vcArchive& ar, int& v) {
  std::uint32_t u = static_cast<std::uint32_t>(v);
  exchangeUnsigned(ar, u, 4);
  v = static_cast<int>(u);
  return ar;
}

vcArchive& operator||(vcArchive& ar, long& v) {
  if (ar.isStoring() && (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()))
    vcArchive::fail("long value " + std::to_string(v) + " does not fit in 32 bits");
  std::uint32_t u = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
  exchangeUnsigned(ar, u, 4);
  v = static_cast<std::int32_t>(u);
  return ar;
}

vcArchive& operator||(vcArchive& ar, unsigned long& v) {
  if (ar.isStoring() && v > std::numeric_limits<std::uint32_t>::max())
    vcArchive::fail("unsigned long value " + std::to_string(v) + " does not fit in 32 bits");
  std::uint32_t u = static_cast<std::uint32_t>(v);
  exchangeUnsigned(ar, u, 4);
  v = u;
  return ar;
}

vcArchive& operator||(vcArchive& ar, float& v) {
  unsigned char b[4];
  if (ar.isStoring()) vc_bytes::putF32(b, v);
  moveBytes(ar, b);
  if (ar.isLoading()) v = vc_bytes::getF32(b);
  return ar;
}

vcArchive& operator||(vcArchive& ar, double& v) {
  unsigned char b[8];
  if (ar.isStoring()) vc_bytes::putF64(b, v);
  moveBytes(ar, b);
  if (ar.isLoading()) v = vc_bytes::getF64(b);
  return ar;
}

vcArchive& operator||(vcArchive& ar, std::string& v) {
  const std::uint32_t n = ar.exchangeCount(v.size(), 1);
  if (ar.isStoring()) {
    ar.raw(v.data(), static_cast<long>(n));
  } else {
    std::string tmp(n, '\0');
    ar.raw(tmp.data(), static_cast<long>(n));
    v.swap(tmp);
  }
  return ar;
}

vcArchive& operator||(vcArchive& ar, vcVector<2>& v) {
  double x = v.x(), y = v.y();
  ar || x || y;
  v = vcVector<2>(x, y);
  return ar;
}

vcArchive& operator||(vcArchive& ar, vcPoint& v) {
  double x = v.x(), y = v.y();
  ar || x || y;
  v = vcPoint(x, y);
  return ar;
}

vcArchive& operator||(vcArchive& ar, vcXform<2>& v) {
  const vcMatrix<2>& m = v.matrix();
  double e[6] = {m.element(0, 0), m.element(0, 1), m.element(1, 0), m.element(1, 1), v.trans().x(), v.trans().y()};
  for (double& d : e) ar || d;
  if (ar.isLoading()) {
    for (double d : e)
      if (!std::isfinite(d)) vcArchive::fail("transform with a non-finite element");
    v = vcXform<2>(vcMatrix<2>(e[0], e[1], e[2], e[3]), vcVector<2>(e[4], e[5]));
  }
  return ar;
}

vcArchive& operator||(vcArchive& ar, vcRadian& v) {
  double d = v.toDouble();
  ar || d;
  v = vcRadian(d);
  return ar;
}

vcArchive& operator||(vcArchive& ar, vc2Rigid& v) {
  double e[3] = {v.angle().toDouble(), v.trans().x(), v.trans().y()};
  for (double& d : e) ar || d;
  if (ar.isLoading()) {
    for (double d : e)
      if (!std::isfinite(d)) vcArchive::fail("rigid transform with a non-finite value");
    v = vc2Rigid(vcRadian(e[0]), vcVector<2>(e[1], e[2]));
  }
  return ar;
}

vcArchive& operator||(vcArchive& ar, vcPersistent& v) {
  ar.exchange(v);
  return ar;
}

// ---- buffer and file archives ---------------------------------------------

vcBufferArchive::vcBufferArchive(Mode mode) : vcArchive(mode) {}
vcBufferArchive::vcBufferArchive(const std::vector<unsigned char>& bytes) : vcArchive(eLoad), buf_(bytes) {}
vcBufferArchive::vcBufferArchive(const unsigned char* bytes, std::size_t n)
    : vcArchive(eLoad), buf_(bytes, bytes + n) {}

void vcBufferArchive::put_(const void* bytes, std::size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  buf_.insert(buf_.end(), p, p + n);
}

void vcBufferArchive::get_(void* bytes, std::size_t n) {
  if (n > buf_.size() - pos_) fail("unexpected end of archive");
  if (n) std::memcpy(bytes, buf_.data() + pos_, n);
  pos_ += n;
}

struct vcFileArchive::File {
  std::FILE* f = nullptr;
  ~File() {
    if (f) std::fclose(f);
  }
};

namespace {

const char* fileKind(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}

struct FdCloser {
  int fd;
  ~FdCloser() { ::close(fd); }
};

}  // namespace

std::vector<unsigned char> vfReadFile(const std::string& path, std::uint64_t maxBytes) {
  // Opened without blocking (a FIFO would wait for a writer) and checked on
  // the open descriptor, so what is read is what was checked.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw vcArchive::IOError("cannot open '" + path + "': " + std::strerror(errno));
  const FdCloser closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw vcArchive::IOError("cannot read '" + path + "': " + std::strerror(errno));
  if (!S_ISREG(st.st_mode))
    throw vcArchive::IOError("'" + path + "' is " + fileKind(st.st_mode) + ", not a regular file");
  const auto tooLarge = [&] {
    return vcArchive::IOError("'" + path + "' is larger than " + std::to_string(maxBytes) + " bytes, the most read");
  };
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) throw tooLarge();
  std::vector<unsigned char> data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  unsigned char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw vcArchive::IOError("cannot read '" + path + "': " + std::strerror(errno));
    if (got == 0) break;
    // A file that grows while it is read is still held to the bound.
    if (static_cast<std::uint64_t>(got) > maxBytes - data.size()) throw tooLarge();
    data.insert(data.end(), chunk, chunk + got);
  }
  return data;
}

vcFileArchive::vcFileArchive(const std::string& path, Mode mode)
    : vcArchive(mode), file_(std::make_unique<File>()), path_(path) {
  if (mode == eLoad) {
    data_ = vfReadFile(path, kMaxLoadBytes);
    return;
  }
  file_->f = std::fopen(path.c_str(), "wb");
  if (!file_->f) throw IOError("cannot open '" + path + "'");
}

vcFileArchive::~vcFileArchive() = default;

void vcFileArchive::close() {
  if (!file_->f) return;
  std::FILE* f = file_->f;
  file_->f = nullptr;
  bool ok = std::fflush(f) == 0;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) throw IOError("cannot write '" + path_ + "'");
}

void vcFileArchive::put_(const void* bytes, std::size_t n) {
  if (!file_->f) throw IOError("archive '" + path_ + "' is closed");
  if (n && std::fwrite(bytes, 1, n, file_->f) != n) throw IOError("cannot write '" + path_ + "'");
}

void vcFileArchive::get_(void* bytes, std::size_t n) {
  if (n > data_.size() - pos_) fail("unexpected end of archive '" + path_ + "'");
  if (n) std::memcpy(bytes, data_.data() + pos_, n);
  pos_ += n;
}
