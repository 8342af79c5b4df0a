#include <vc/core/genshape.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/byteio.h>
#include <vc/core/rect.h>

#include "support/archive_roundtrip.h"

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

// The registry makes registered kinds and nothing for unknown ones;
// registering the same factory again is harmless, another one or none is refused.
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

// Handles round-trip and share; the stored form is version, shape version,
// 16 identifier bytes, a 32-bit length and the data; an unknown identifier,
// data the shape refuses, a bad length or a cut stream change nothing.
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
