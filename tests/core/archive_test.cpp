// The archive: primitives, counts, shared objects, hostile streams, and shapes
// of an application's own kinds through the registry.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/core/genshape.h>
#include <vc/core/rect.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

#include "support/archive_roundtrip.h"

namespace {

// A shared persistent node used to check pointer and handle exchange.
class TestNode : public vcRepBase, public virtual vcPersistent {
public:
  long value = 0;
  vcPtrHandle<TestNode> next;
  static int alive;
  TestNode() { ++alive; }
  ~TestNode() override { --alive; }
  void dispatchSerialize(vcArchive& ar) override {
    if (haveVisited(this, sizeof(TestNode))) return;
    unsigned char version = 0;
    ar || version;
    if (version != 0) throw vcArchive::UnknownVersion("tests/core/archive_test", __LINE__);
    ar || value || next;
    setVisited(this, sizeof(TestNode));
  }

private:
  static vcPersistent* make() { return new TestNode; }
  static const vc_Instantiator sExemplar;
};
int TestNode::alive = 0;
const vc_Instantiator TestNode::sExemplar(typeid(TestNode), &TestNode::make);

// A persistent class that is not shared, and not a TestNode.
class TestPlain : public virtual vcPersistent {
public:
  std::string text;
  void dispatchSerialize(vcArchive& ar) override { ar || text; }

private:
  static vcPersistent* make() { return new TestPlain; }
  static const vc_Instantiator sExemplar;
};
const vc_Instantiator TestPlain::sExemplar(typeid(TestPlain), &TestPlain::make);

using vc_test::store;

}  // namespace

// Each value comes back from its own bytes and uses all of them.
template <class T>
void expectRoundTrip(const T& v, T empty = T{}) {
  const std::vector<unsigned char> bytes = store(v);
  vcBufferArchive in(bytes);
  in || empty;
  EXPECT_EQ(empty, v);
  EXPECT_EQ(in.remaining(), 0u);
}

TEST(Archive, PrimitivesAreLittleEndianFixedWidthAndRoundTrip) {
  using B = std::vector<unsigned char>;
  EXPECT_EQ(store<long>(0x01020304), (B{4, 3, 2, 1}));
  EXPECT_EQ(store<int>(-2), (B{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(store<short>(0x0102), (B{2, 1}));
  EXPECT_EQ(store<double>(1.0), (B{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(store<float>(1.0f), (B{0, 0, 0x80, 0x3F}));
  EXPECT_EQ(store<std::string>("ab"), (B{2, 0, 0, 0, 'a', 'b'}));
  expectRoundTrip(-2147483647L - 1);
  expectRoundTrip(4294967295UL);
  expectRoundTrip(std::string("hello\0world", 11));
  expectRoundTrip(std::vector<long>{1, -2, 3});
  expectRoundTrip(vc2Rigid(vcRadian(0.5), vcVector<2>(-1, 2)));
}

TEST(Archive, BadValuesAndTruncatedInputAreRejectedLeavingTheTarget) {
  vcBufferArchive out(vcArchive::eStore);
  long big = 1L << 40;
  EXPECT_THROW(out || big, vcArchive::BadData);

  std::vector<unsigned char> cut = store<std::string>("abcdef");
  cut.pop_back();
  vc_test::expectRejected(std::string("keep"), cut, [](const std::string& a, const std::string& b) { EXPECT_EQ(a, b); });
  vc_test::expectRejected(7.0, {}, [](double a, double b) { EXPECT_EQ(a, b); });
  vc_test::expectRejected(false, {2}, [](bool a, bool b) { EXPECT_EQ(a, b); });
  const std::vector<unsigned char> nanXform = vc_test::withF64(store(vcXform<2>()), 24, std::nan(""));
  vc_test::expectRejected(vcXform<2>(), nanXform, [](const vcXform<2>& a, const vcXform<2>& b) { EXPECT_EQ(a, b); });
}

// Checked against the bytes left, item size included, before anything is allocated.
TEST(Archive, CountBeyondTheRemainingItemsIsRejectedUpFront) {
  const struct {
    std::uint32_t count;
    std::size_t bytesBehind;
  } cases[] = {{0xFFFFFFFFu, 4}, {2, 8}, {9, 64}};
  for (const auto& c : cases) {
    std::vector<unsigned char> bytes = store(static_cast<unsigned long>(c.count));
    bytes.resize(bytes.size() + c.bytesBehind, 0);
    vcBufferArchive in(bytes);
    std::vector<double> v{1.0};
    try {
      in || v;
      ADD_FAILURE() << "count " << c.count << " accepted";
    } catch (const vcArchive::BadData& e) {
      EXPECT_NE(std::string(e.what()).find("stored count " + std::to_string(c.count)), std::string::npos) << e.what();
    }
    EXPECT_EQ(v, std::vector<double>{1.0});
  }
}

// The counted exchange behind every counted vector: a signed count's limit,
// an item that fails part way and a byte run all leave the target unchanged;
// items see their index; bytes and items round-trip.
TEST(Archive, CountedSequenceChecksItsLimitAndSwapsInOnlyAWholeLoad) {
  const auto exchangeOdd = [](vcArchive& ar, std::vector<int>& v, std::uint32_t maxCount) {
    vcExchangeCounted(
        ar, v,
        [&ar](int& x, std::size_t i) {
          ar || x;
          if (ar.isLoading() && x != static_cast<int>(2 * i + 1)) vcArchive::fail("item " + std::to_string(i));
        },
        4, maxCount);
  };
  const std::vector<int> odd{1, 3, 5};
  vcBufferArchive out;
  std::vector<int> stored = odd;
  exchangeOdd(out, stored, 0x7FFFFFFFu);
  const std::vector<unsigned char> good = out.bytes();
  ASSERT_EQ(good.size(), 16u);

  std::vector<unsigned char> negative = good;
  negative[3] = 0x80;  // count as a signed 32-bit value: negative
  std::vector<unsigned char> badItem = good;
  badItem[8] = 4;  // the second item is no longer 3
  const struct {
    const std::vector<unsigned char>* bytes;
    std::uint32_t maxCount;
    bool accepted;
  } cases[] = {{&good, 0x7FFFFFFFu, true}, {&good, 3, true}, {&good, 2, false}, {&negative, 0x7FFFFFFFu, false},
               {&badItem, 0x7FFFFFFFu, false}};
  for (const auto& c : cases) {
    vcBufferArchive in(*c.bytes);
    std::vector<int> v{7};
    if (c.accepted) {
      exchangeOdd(in, v, c.maxCount);
      EXPECT_EQ(v, odd);
    } else {
      EXPECT_THROW(exchangeOdd(in, v, c.maxCount), vcArchive::BadData);
      EXPECT_EQ(v, std::vector<int>{7});
    }
  }

  std::vector<unsigned char> run{9, 0, 255};
  vcBufferArchive bytesOut;
  vcExchangeCountedBytes(bytesOut, run);
  EXPECT_EQ(bytesOut.bytes(), (std::vector<unsigned char>{3, 0, 0, 0, 9, 0, 255}));
  std::vector<unsigned char> back{1};
  vcBufferArchive bytesIn(bytesOut.bytes());
  vcExchangeCountedBytes(bytesIn, back);
  EXPECT_EQ(back, run);
  std::vector<unsigned char> cut = bytesOut.bytes();
  cut.pop_back();
  vcBufferArchive cutIn(cut);
  EXPECT_THROW(vcExchangeCountedBytes(cutIn, back), vcArchive::BadData);
  EXPECT_EQ(back, run);
}

// A persistent pair whose load goes through exchangeAside; a load that
// breaks off at any byte, or reads a pair its checks refuse, keeps the
// target and gives it no mutation notice; a whole load gives exactly one.
class AsidePair : public virtual vcPersistent {
public:
  long a = 0, b = 0;
  void dispatchSerialize(vcArchive& ar) override {
    ar.exchangeAside(*this, AsidePair(), [&ar](AsidePair& p) {
      ar || p.a || p.b;
      if (ar.isLoading() && p.b < p.a) vcArchive::fail("b below a");
    });
  }
};

TEST(Archive, ExchangeAsideSwapsInOnlyAWholeCheckedLoad) {
  AsidePair stored;
  stored.a = 3;
  stored.b = 9;
  const std::vector<unsigned char> good = store(stored);
  ASSERT_EQ(good.size(), 8u);
  std::vector<unsigned char> refused = good;
  refused[4] = 1;  // b = 1 < a
  for (std::size_t n = 0; n <= good.size() + 1; ++n) {
    const bool whole = n == good.size();
    const std::vector<unsigned char> bytes =
        n <= good.size() ? std::vector<unsigned char>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n))
                         : refused;
    SCOPED_TRACE(n);
    AsidePair target;
    target.a = -1;
    target.b = -2;
    target.mutationFlag(true);
    vcBufferArchive in(bytes);
    if (whole) {
      in || static_cast<vcPersistent&>(target);
      EXPECT_EQ(target.a, 3);
      EXPECT_EQ(target.b, 9);
      EXPECT_EQ(target.mutationCount(), 1u);
    } else {
      EXPECT_THROW(in || static_cast<vcPersistent&>(target), vcArchive::BadData);
      EXPECT_EQ(target.a, -1);
      EXPECT_EQ(target.b, -2);
      EXPECT_EQ(target.mutationCount(), 0u);
    }
  }
}

// A part guarded by the visited marks, inside an object that loads aside;
// several such objects read in one operation build their asides at the same
// address, and each must still read its part.
class MarkedPart : public virtual vcPersistent {
public:
  long v = 0;
  void dispatchSerialize(vcArchive& ar) override {
    if (haveVisited(this, sizeof(MarkedPart))) return;
    ar || v;
    setVisited(this, sizeof(MarkedPart));
  }
};
class AsideHolder : public virtual vcPersistent {
public:
  MarkedPart part;
  void dispatchSerialize(vcArchive& ar) override {
    ar.exchangeAside(*this, AsideHolder(), [&ar](AsideHolder& h) { ar || static_cast<vcPersistent&>(h.part); });
  }
};
struct HolderList : public virtual vcPersistent {
  std::vector<AsideHolder> items;
  void dispatchSerialize(vcArchive& ar) override { ar || items; }
};

TEST(Archive, AsidesReadInOneOperationEachReadTheirMarkedParts) {
  HolderList stored;
  stored.items.resize(3);
  for (std::size_t i = 0; i < 3; ++i) stored.items[i].part.v = static_cast<long>(10 + i);
  HolderList back;
  vcBufferArchive in(store(stored));
  in || static_cast<vcPersistent&>(back);
  ASSERT_EQ(back.items.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(back.items[i].part.v, static_cast<long>(10 + i));
  EXPECT_EQ(in.remaining(), 0u);
}

TEST(Archive, SharedObjectIsWrittenOnceAndSharedOnReadingAndChainsRoundTrip) {
  ASSERT_EQ(TestNode::alive, 0);
  std::vector<unsigned char> bytes;
  {
    auto shared = vfMakeHandle<TestNode>();
    shared->value = 42;
    shared->next = vfMakeHandle<TestNode>();
    shared->next->value = 2;
    vcPtrHandle<TestNode> none;
    vcBufferArchive out(vcArchive::eStore);
    out || shared || shared || none;
    bytes = out.bytes();
  }
  {
    vcPtrHandle<TestNode> a, b, none = vfMakeHandle<TestNode>();
    {
      vcBufferArchive in(bytes);
      in || a || b || none;
    }
    ASSERT_TRUE(a && a->next);
    EXPECT_EQ(a.ptr(), b.ptr());
    EXPECT_EQ(a->refCount(), 2);
    EXPECT_EQ(a->value * 10 + a->next->value, 422);
    EXPECT_FALSE(a->next->next || none);
  }
  EXPECT_EQ(TestNode::alive, 0);
}

TEST(Archive, HostileObjectStreamsThrowAndLeakNothing) {
  ASSERT_EQ(TestNode::alive, 0);
  const std::string node = vc_Instantiator::nameOf(typeid(TestNode));
  auto newObject = [](vcBufferArchive& ar, const std::string& name) {
    unsigned char tag = 1;
    std::string n = name;
    ar || tag || n;
  };
  const std::function<void(vcBufferArchive&)> streams[] = {
      // A node whose `next` refers back to itself while it is being read.
      [&](vcBufferArchive& out) {
        newObject(out, node);
        unsigned char version = 0, refTag = 2;
        long value = 5;
        unsigned int id = 0;
        out || version || value || refTag || id;
      },
      [&](vcBufferArchive& out) { newObject(out, "NoSuchClass"); },
      // A registered class of the wrong type for the handle.
      [&](vcBufferArchive& out) { newObject(out, vc_Instantiator::nameOf(typeid(TestPlain))); },
      // A long chain of nested objects must not exhaust the stack.
      [&](vcBufferArchive& out) {
        for (int i = 0; i < 100000; ++i) {
          newObject(out, node);
          unsigned char version = 0;
          long value = i;
          out || version || value;
        }
      },
      // A truncated object body.
      [&](vcBufferArchive& out) {
        auto n = vfMakeHandle<TestNode>();
        out || n;
      },
  };
  for (std::size_t k = 0; k < std::size(streams); ++k) {
    vcBufferArchive out(vcArchive::eStore);
    streams[k](out);
    std::vector<unsigned char> bytes = out.bytes();
    if (k + 1 == std::size(streams)) bytes.resize(bytes.size() - 2);
    vcBufferArchive in(bytes);
    vcPtrHandle<TestNode> h;
    EXPECT_THROW(in || h, vcArchive::BadData) << "stream " << k;
    EXPECT_FALSE(h);
  }
  EXPECT_EQ(TestNode::alive, 0);
}

namespace {

// An application's disc: centre and radius, 24 bytes of little-endian doubles.
class TestDisc : public vcGenShape {
public:
  static constexpr tagShapeID kID = {{0x6d, 0x3f, 0x01, 0x9a, 0x4e, 0x11, 0x42, 0x7c, 0x8b, 0x02, 0xd4, 0x55, 0x10,
                                      0xee, 0x73, 0x21}};
  TestDisc() = default;
  TestDisc(const vcVector<2>& c, double r) : c_(c), r_(r) {}

  tagShapeID shapeID() const override { return kID; }
  std::vector<unsigned char> data() const override {
    std::vector<unsigned char> b(24);
    vc_bytes::putF64(&b[0], c_.x());
    vc_bytes::putF64(&b[8], c_.y());
    vc_bytes::putF64(&b[16], r_);
    return b;
  }
  void load(const unsigned char* bytes, long n) override {
    if (n != 24) throw vcShapesError::BadGeom("TestDisc: " + std::to_string(n) + " bytes, 24 expected");
    const double x = vc_bytes::getF64(bytes), y = vc_bytes::getF64(bytes + 8), r = vc_bytes::getF64(bytes + 16);
    if (!std::isfinite(x) || !std::isfinite(y) || !(r >= 0.0) || !std::isfinite(r))
      throw vcShapesError::BadGeom("TestDisc: not a disc");
    c_ = vcVector<2>(x, y);
    r_ = r;
  }
  vcShapeHandle mapShape(const vcXform<2>& x) const override {
    return vcShapeHandle(new TestDisc(x.mapPoint(c_), r_ * std::sqrt(std::fabs(x.determinant()))));
  }
  vcRect boundingBox() const override { return vcRect(c_.x() - r_, c_.y() - r_, 2 * r_, 2 * r_); }
  double distanceToPoint(const vcVector<2>& p) const override { return std::max(0.0, p.distance(c_) - r_); }
  bool isRegion() const override { return true; }

private:
  static vcPersistent* make() { return new TestDisc; }
  static const vc_Instantiator sExemplar;

  vcVector<2> c_;
  double r_ = 0.0;
};
vcGenShape* makeTestDisc() { return new TestDisc; }
vcGenShape* otherFactory() { return new TestDisc; }

const vc_Instantiator TestDisc::sExemplar(typeid(TestDisc), &TestDisc::make);
const bool registered = (vcGenShape::registerGenShape(TestDisc::kID, &makeTestDisc), true);

}  // namespace

TEST(GenShape, RegistryMakesRegisteredKindsAndRefusesConflicts) {
  ASSERT_TRUE(registered);
  std::unique_ptr<vcGenShape> s(vcGenShape::newGenShape(TestDisc::kID));
  ASSERT_NE(dynamic_cast<TestDisc*>(s.get()), nullptr);
  vcGenShape::tagShapeID unknown = TestDisc::kID;
  unknown.bytes[15] ^= 1;
  EXPECT_EQ(vcGenShape::newGenShape(unknown), nullptr);
  EXPECT_TRUE(unknown < TestDisc::kID || TestDisc::kID < unknown);
  EXPECT_NO_THROW(vcGenShape::registerGenShape(TestDisc::kID, &makeTestDisc));
  EXPECT_THROW(vcGenShape::registerGenShape(TestDisc::kID, &otherFactory), vcBadArgument);
  EXPECT_THROW(vcGenShape::registerGenShape(unknown, nullptr), vcBadArgument);
  EXPECT_EQ(vcGenShape::newGenShape(unknown), nullptr);
}

// Stored: version, shape version, 16 identifier bytes, a 32-bit length, the data.
TEST(GenShape, ArchiveRoundTripsThroughHandlesAndRejectsForeignOrBadData) {
  vcShapeHandle_const h(new TestDisc(vcVector<2>(-7, 8), 2.5));
  vcBufferArchive out(vcArchive::eStore);
  out || h || h;
  vcShapeHandle_const a, b;
  vcBufferArchive in(out.bytes());
  in || a || b;
  ASSERT_TRUE(a);
  EXPECT_EQ(a.ptr(), b.ptr());
  EXPECT_TRUE(*a == *h);
  EXPECT_FALSE(*a == TestDisc(vcVector<2>(-7, 8), 2.0));

  const std::vector<unsigned char> bytes = vc_test::archiveBytes(TestDisc(vcVector<2>(1, 1), 1));
  ASSERT_EQ(bytes.size(), 2u + 16u + 4u + 24u);
  const TestDisc keep(vcVector<2>(9, 9), 9);
  const auto same = [](const TestDisc& x, const TestDisc& y) { EXPECT_TRUE(x == y); };
  for (const auto& bad : {vc_test::withU8(bytes, 2, bytes[2] ^ 0xFF), vc_test::withF64(bytes, 22 + 16, -2.0),
                          vc_test::withF64(bytes, 22, NAN), vc_test::withU32(bytes, 18, 0x7FFFFFF0u),
                          vc_test::withU32(bytes, 18, 23u)})
    vc_test::expectRejected(keep, bad, same);
  vc_test::expectEveryPrefixRejected(keep, bytes, same);
}

// Files are read only when they are regular and within the bound: a device
// would be read forever, a FIFO would block, a huge file would exhaust memory.
TEST(FileArchive, ReadsOnlyRegularFilesWithinTheBound) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(::testing::TempDir()) / "vc_file_archive_bounds";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::vector<unsigned char> bytes = store(3.25);
  std::ofstream(dir / "value", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  fs::create_symlink(dir / "value", dir / "link");
  fs::create_symlink("/dev/zero", dir / "zero");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  // Sparse: as large as it says, instantly.
  std::ofstream(dir / "huge").close();
  fs::resize_file(dir / "huge", vcFileArchive::kMaxLoadBytes + 1);

  double v = 0;
  vcFileArchive link(dir / "link", vcArchive::eLoad);
  link || v;
  EXPECT_EQ(v, 3.25);
  EXPECT_EQ(vfReadFile(dir / "value", bytes.size()), bytes);
  const struct {
    fs::path path;
    std::uint64_t limit;
    const char* says;
  } refused[] = {
      {dir / "value", bytes.size() - 1, "larger than 7 bytes"},
      {dir / "huge", vcFileArchive::kMaxLoadBytes, "larger than 1073741824 bytes"},
      {dir / "zero", vcFileArchive::kMaxLoadBytes, "is a character device, not a regular file"},
      {dir / "fifo", vcFileArchive::kMaxLoadBytes, "is a FIFO, not a regular file"},
      {dir, vcFileArchive::kMaxLoadBytes, "is a folder, not a regular file"},
      {dir / "missing", vcFileArchive::kMaxLoadBytes, "cannot open"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.path.string());
    try {
      if (r.limit == vcFileArchive::kMaxLoadBytes) {
        vcFileArchive in(r.path, vcArchive::eLoad);
      } else {
        vfReadFile(r.path, r.limit);
      }
      ADD_FAILURE() << "read";
    } catch (const vcArchive::IOError& e) {
      EXPECT_NE(std::string(e.what()).find(r.says), std::string::npos) << e.what();
    }
  }
  fs::remove_all(dir);
}
