#include <vc/core/genshape.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/core/rect.h>

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

  // The disc through the map's mean scale: a disc stays a disc only under similarities.
  vcShapeHandle mapShape(const vcXform<2>& x) const override {
    return vcShapeHandle(new TestDisc(x.mapPoint(c_), r_ * std::sqrt(std::fabs(x.determinant()))));
  }
  vcRect boundingBox() const override { return vcRect(c_.x() - r_, c_.y() - r_, 2 * r_, 2 * r_); }
  double distanceToPoint(const vcVector<2>& p) const override { return std::max(0.0, p.distance(c_) - r_); }
  bool isRegion() const override { return true; }

  const vcVector<2>& center() const { return c_; }
  double radius() const { return r_; }

private:
  static vcPersistent* make() { return new TestDisc; }
  static const vc_Instantiator sExemplar;
  static const bool registered;

  vcVector<2> c_;
  double r_ = 0.0;
};
vcGenShape* makeTestDisc() { return new TestDisc; }
vcGenShape* otherFactory() { return new TestDisc; }

const vc_Instantiator TestDisc::sExemplar(typeid(TestDisc), &TestDisc::make);
const bool TestDisc::registered = (vcGenShape::registerGenShape(TestDisc::kID, &makeTestDisc), true);

}  // namespace

TEST(GenShape, RegistryMakesRegisteredKindsAndNothingForUnknownOnes) {
  std::unique_ptr<vcGenShape> s(vcGenShape::newGenShape(TestDisc::kID));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->shapeID(), TestDisc::kID);
  EXPECT_NE(dynamic_cast<TestDisc*>(s.get()), nullptr);

  vcGenShape::tagShapeID unknown = TestDisc::kID;
  unknown.bytes[15] ^= 1;
  EXPECT_EQ(vcGenShape::newGenShape(unknown), nullptr);
  EXPECT_TRUE(unknown != TestDisc::kID);
  EXPECT_TRUE(unknown < TestDisc::kID || TestDisc::kID < unknown);

  EXPECT_NO_THROW(vcGenShape::registerGenShape(TestDisc::kID, &makeTestDisc));
}

TEST(GenShape, ConflictingOrNullFactoriesAreRejected) {
  EXPECT_THROW(vcGenShape::registerGenShape(TestDisc::kID, &otherFactory), vcBadArgument);
  vcGenShape::tagShapeID fresh{};
  fresh.bytes[0] = 0xA5;
  EXPECT_THROW(vcGenShape::registerGenShape(fresh, nullptr), vcBadArgument);
  EXPECT_EQ(vcGenShape::newGenShape(fresh), nullptr);
}

TEST(GenShape, DataRebuildsAnEqualShapeThroughTheRegistry) {
  const TestDisc d(vcVector<2>(3.5, -2.0), 4.25);
  const std::vector<unsigned char> bytes = d.data();
  std::unique_ptr<vcGenShape> s(vcGenShape::newGenShape(d.shapeID()));
  s->load(bytes.data(), static_cast<long>(bytes.size()));
  EXPECT_TRUE(*s == d);
  const vcShapeHandle c = d.clone();
  EXPECT_NE(c.ptr(), static_cast<const vcShape*>(&d));
  EXPECT_TRUE(*c == d);
  EXPECT_FALSE(*c == TestDisc(vcVector<2>(3.5, -2.0), 4.0));
  EXPECT_NEAR(c->distanceToPoint(vcVector<2>(3.5, 10.0)), 12.0 - 4.25, 1e-12);
}

TEST(GenShape, MalformedBytesThrowBadGeomAndLeaveTheShapeUnchanged) {
  TestDisc d(vcVector<2>(1, 2), 3);
  std::vector<unsigned char> bytes = TestDisc(vcVector<2>(5, 5), 1).data();
  EXPECT_THROW(d.load(bytes.data(), 23), vcShapesError::BadGeom);
  vc_bytes::putF64(&bytes[16], -1.0);
  EXPECT_THROW(d.load(bytes.data(), 24), vcShapesError::BadGeom);
  vc_bytes::putF64(&bytes[16], 1.0);
  vc_bytes::putF64(&bytes[0], std::nan(""));
  EXPECT_THROW(d.load(bytes.data(), 24), vcShapesError::BadGeom);
  EXPECT_TRUE(d == TestDisc(vcVector<2>(1, 2), 3));
}

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

  TestDisc plain(vcVector<2>(1, 1), 1);
  vcBufferArchive store(vcArchive::eStore);
  store || plain;
  // version, shape version, 16 identifier bytes, 32-bit length, 24 data bytes
  const std::vector<unsigned char> bytes = store.bytes();
  ASSERT_EQ(bytes.size(), 2u + 16u + 4u + 24u);
  auto expectRejected = [](const std::vector<unsigned char>& bad) {
    TestDisc target(vcVector<2>(9, 9), 9);
    vcBufferArchive rd(bad);
    EXPECT_THROW(rd || target, vcArchive::BadData);
    EXPECT_TRUE(target == TestDisc(vcVector<2>(9, 9), 9));
  };
  std::vector<unsigned char> foreign = bytes;
  foreign[2] ^= 0xFF;
  expectRejected(foreign);
  std::vector<unsigned char> negative = bytes;
  vc_bytes::putF64(&negative[22 + 16], -2.0);
  expectRejected(negative);
  std::vector<unsigned char> huge = bytes;
  vc_bytes::put32(&huge[18], 0x7FFFFFF0u);
  expectRejected(huge);
  expectRejected(std::vector<unsigned char>(bytes.begin(), bytes.end() - 1));
}
