#include <vc/core/archive.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>

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
  EXPECT_EQ(store<unsigned long>(7).size(), 4u);
  EXPECT_EQ(store<double>(1.0), (B{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(store<float>(1.0f), (B{0, 0, 0x80, 0x3F}));
  EXPECT_EQ(store<std::string>("ab"), (B{2, 0, 0, 0, 'a', 'b'}));
  expectRoundTrip<signed char>(-5);
  expectRoundTrip(-2147483647L - 1);
  expectRoundTrip(4294967295UL);
  expectRoundTrip(-3.25e100);
  expectRoundTrip(std::string("hello\0world", 11));
  expectRoundTrip(std::vector<long>{1, -2, 3});
  expectRoundTrip(vcPoint(3, 4), vcPoint(0, 0));
  expectRoundTrip(vcXform<2>(vcMatrix<2>(1, 2, 3, 4), vcVector<2>(5, 6)));
  expectRoundTrip(vc2Rigid(vcRadian(0.5), vcVector<2>(-1, 2)));
}

// Values that cannot be stored or read are refused, and a failed read leaves
// its target as it was.
TEST(Archive, BadValuesAndTruncatedInputAreRejectedLeavingTheTarget) {
  vcBufferArchive out(vcArchive::eStore);
  long big = 1L << 40;
  EXPECT_THROW(out || big, vcArchive::BadData);

  std::vector<unsigned char> cut = store<std::string>("abcdef");
  cut.pop_back();
  vc_test::expectRejected(std::string("keep"), cut, [](const std::string& a, const std::string& b) { EXPECT_EQ(a, b); });
  vc_test::expectRejected(7.0, {}, [](double a, double b) { EXPECT_EQ(a, b); });
  vc_test::expectRejected(false, {2}, [](bool a, bool b) { EXPECT_EQ(a, b); });
  std::vector<unsigned char> nanXform;
  for (double d : {1.0, 0.0, 0.0, std::nan(""), 0.0, 0.0}) {
    const std::vector<unsigned char> b = store(d);
    nanXform.insert(nanXform.end(), b.begin(), b.end());
  }
  vc_test::expectRejected(vcXform<2>(), nanXform, [](const vcXform<2>& a, const vcXform<2>& b) { EXPECT_EQ(a, b); });
}

// A stored count is checked against the bytes left, item size included,
// before anything is allocated for it.
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
