#include <vc/core/archive.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

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

TEST(Archive, PrimitivesAreLittleEndianFixedWidth) {
  EXPECT_EQ(store<long>(0x01020304), (std::vector<unsigned char>{4, 3, 2, 1}));
  EXPECT_EQ(store<int>(-2), (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(store<short>(0x0102), (std::vector<unsigned char>{2, 1}));
  EXPECT_EQ(store<unsigned long>(7).size(), 4u);
  EXPECT_EQ(store<double>(1.0), (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(store<float>(1.0f), (std::vector<unsigned char>{0, 0, 0x80, 0x3F}));
  EXPECT_EQ(store<bool>(true), (std::vector<unsigned char>{1}));
  EXPECT_EQ(store<std::string>("ab"), (std::vector<unsigned char>{2, 0, 0, 0, 'a', 'b'}));
}

TEST(Archive, RoundTripOfEveryPrimitiveType) {
  vcBufferArchive out(vcArchive::eStore);
  bool b = true;
  signed char sc = -5;
  unsigned char uc = 250;
  short s = -1234;
  int i = -123456;
  long l = -2147483647L - 1;
  unsigned long ul = 4294967295UL;
  float f = 1.5f;
  double d = -3.25e100;
  std::string str("hello\0world", 11);
  std::vector<long> vec{1, -2, 3};
  vcVector<2> v(1.5, -2.5);
  vcPoint p(3, 4);
  vcXform<2> x(vcMatrix<2>(1, 2, 3, 4), vcVector<2>(5, 6));
  vc2Rigid rigid(vcRadian(0.5), vcVector<2>(-1, 2));
  out || b || sc || uc || s || i || l || ul || f || d || str || vec || v || p || x || rigid;

  vcBufferArchive in(out.bytes());
  bool b2 = false;
  signed char sc2 = 0;
  unsigned char uc2 = 0;
  short s2 = 0;
  int i2 = 0;
  long l2 = 0;
  unsigned long ul2 = 0;
  float f2 = 0;
  double d2 = 0;
  std::string str2;
  std::vector<long> vec2;
  vcVector<2> v2;
  vcPoint p2(0, 0);
  vcXform<2> x2;
  vc2Rigid rigid2;
  in || b2 || sc2 || uc2 || s2 || i2 || l2 || ul2 || f2 || d2 || str2 || vec2 || v2 || p2 || x2 || rigid2;
  EXPECT_EQ(rigid2, rigid);
  EXPECT_EQ(b2, b);
  EXPECT_EQ(sc2, sc);
  EXPECT_EQ(uc2, uc);
  EXPECT_EQ(s2, s);
  EXPECT_EQ(i2, i);
  EXPECT_EQ(l2, l);
  EXPECT_EQ(ul2, ul);
  EXPECT_EQ(f2, f);
  EXPECT_EQ(d2, d);
  EXPECT_EQ(str2, str);
  EXPECT_EQ(vec2, vec);
  EXPECT_EQ(v2, v);
  EXPECT_EQ(p2, p);
  EXPECT_EQ(x2, x);
  EXPECT_EQ(in.remaining(), 0u);
}

TEST(Archive, LongOutsideThirtyTwoBitsIsRejectedNotTruncated) {
  vcBufferArchive out(vcArchive::eStore);
  long big = 1L << 40;
  EXPECT_THROW(out || big, vcArchive::BadData);
}

TEST(Archive, TruncatedInputThrowsAndLeavesTargetUnchanged) {
  std::vector<unsigned char> bytes = store<std::string>("abcdef");
  bytes.pop_back();
  vcBufferArchive in(bytes);
  std::string target = "keep";
  EXPECT_THROW(in || target, vcArchive::BadData);
  EXPECT_EQ(target, "keep");

  vcBufferArchive empty(std::vector<unsigned char>{});
  double d = 7;
  EXPECT_THROW(empty || d, vcArchive::BadData);
  EXPECT_EQ(d, 7);
}

TEST(Archive, HugeCountIsRejectedBeforeAllocating) {
  // A count of 4 billion elements with four bytes behind it.
  vcBufferArchive in(std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4});
  std::vector<double> v{1.0};
  EXPECT_THROW(in || v, vcArchive::BadData);
  EXPECT_EQ(v.size(), 1u);
}

TEST(Archive, BadBooleanAndNonFiniteTransformAreRejected) {
  vcBufferArchive in(std::vector<unsigned char>{2});
  bool b = false;
  EXPECT_THROW(in || b, vcArchive::BadData);

  vcBufferArchive out(vcArchive::eStore);
  double e[6] = {1, 0, 0, std::nan(""), 0, 0};
  for (double& d : e) out || d;
  vcBufferArchive in2(out.bytes());
  vcXform<2> x;
  EXPECT_THROW(in2 || x, vcArchive::BadData);
  EXPECT_EQ(x, vcXform<2>());
}

TEST(Archive, SharedObjectIsWrittenOnceAndSharedOnReading) {
  ASSERT_EQ(TestNode::alive, 0);
  std::vector<unsigned char> bytes;
  {
    auto shared = vfMakeHandle<TestNode>();
    shared->value = 42;
    vcPtrHandle<TestNode> a = shared, b = shared, none;
    vcBufferArchive out(vcArchive::eStore);
    out || a || b || none;
    bytes = out.bytes();
  }
  {
    vcPtrHandle<TestNode> a, b, none = vfMakeHandle<TestNode>();
    {
      vcBufferArchive in(bytes);
      in || a || b || none;
    }
    ASSERT_TRUE(a);
    EXPECT_EQ(a.ptr(), b.ptr());
    EXPECT_EQ(a->value, 42);
    EXPECT_FALSE(none);
    EXPECT_EQ(a->refCount(), 2);
  }
  EXPECT_EQ(TestNode::alive, 0);
}

TEST(Archive, ChainOfHandlesRoundTrips) {
  auto head = vfMakeHandle<TestNode>();
  head->value = 1;
  head->next = vfMakeHandle<TestNode>();
  head->next->value = 2;
  vcBufferArchive out(vcArchive::eStore);
  out || head;
  vcBufferArchive in(out.bytes());
  vcPtrHandle<TestNode> back;
  in || back;
  ASSERT_TRUE(back && back->next);
  EXPECT_EQ(back->next->value, 2);
  EXPECT_FALSE(back->next->next);
}

TEST(Archive, HostileObjectStreamsThrowAndLeakNothing) {
  ASSERT_EQ(TestNode::alive, 0);
  const std::string node = vc_Instantiator::nameOf(typeid(TestNode));
  auto newObject = [&](vcBufferArchive& ar, const std::string& name) {
    unsigned char tag = 1;
    std::string n = name;
    ar || tag || n;
  };
  {
    // A node whose `next` refers back to itself while it is being read.
    vcBufferArchive out(vcArchive::eStore);
    newObject(out, node);
    unsigned char version = 0, refTag = 2;
    long value = 5;
    unsigned int id = 0;
    out || version || value || refTag || id;
    vcBufferArchive in(out.bytes());
    vcPtrHandle<TestNode> h;
    EXPECT_THROW(in || h, vcArchive::BadData);
    EXPECT_FALSE(h);
  }
  {
    vcBufferArchive out(vcArchive::eStore);
    newObject(out, "NoSuchClass");
    vcBufferArchive in(out.bytes());
    vcPtrHandle<TestNode> h;
    EXPECT_THROW(in || h, vcArchive::BadData);
  }
  {
    // A registered class of the wrong type for the handle.
    vcBufferArchive out(vcArchive::eStore);
    newObject(out, vc_Instantiator::nameOf(typeid(TestPlain)));
    vcBufferArchive in(out.bytes());
    vcPtrHandle<TestNode> h;
    EXPECT_THROW(in || h, vcArchive::BadData);
  }
  {
    // A long chain of nested objects must not exhaust the stack.
    vcBufferArchive out(vcArchive::eStore);
    for (int i = 0; i < 100000; ++i) {
      newObject(out, node);
      unsigned char version = 0;
      long value = i;
      out || version || value;
    }
    vcBufferArchive in(out.bytes());
    vcPtrHandle<TestNode> h;
    EXPECT_THROW(in || h, vcArchive::BadData);
  }
  {
    // A truncated object body.
    auto n = vfMakeHandle<TestNode>();
    vcBufferArchive out(vcArchive::eStore);
    out || n;
    std::vector<unsigned char> bytes = out.bytes();
    bytes.resize(bytes.size() - 2);
    vcBufferArchive in(bytes);
    vcPtrHandle<TestNode> h;
    EXPECT_THROW(in || h, vcArchive::BadData);
  }
  EXPECT_EQ(TestNode::alive, 0);
}

TEST(Archive, RawPointerOfPlainObjectBelongsToCaller) {
  TestPlain original;
  original.text = "owned";
  vcPersistent* p = &original;
  vcBufferArchive out(vcArchive::eStore);
  out.serializePointer(p);
  vcBufferArchive in(out.bytes());
  vcPersistent* q = nullptr;
  in.serializePointer(q);
  std::unique_ptr<vcPersistent> owned(q);
  auto* plain = dynamic_cast<TestPlain*>(q);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->text, "owned");
}

TEST(Archive, FileArchiveRoundTripAndMissingFile) {
  const auto path = std::filesystem::temp_directory_path() / "vc_archive_test.bin";
  {
    vcFileArchive out(path.string(), vcArchive::eStore);
    std::string s = "file";
    long n = 12;
    out || s || n;
    out.close();
  }
  vcFileArchive in(path.string(), vcArchive::eLoad);
  std::string s;
  long n = 0;
  in || s || n;
  EXPECT_EQ(s, "file");
  EXPECT_EQ(n, 12);
  long extra = 0;
  EXPECT_THROW(in || extra, vcArchive::BadData);
  std::filesystem::remove(path);
  EXPECT_THROW(vcFileArchive("/nonexistent/dir/x.bin", vcArchive::eLoad), vcArchive::IOError);
}
