#include <vc/uirect.h>

#include <gtest/gtest.h>

#include <vector>

#include <vc/core/archive.h>

#include "support/archive_roundtrip.h"

using P = vcPair<long>;

TEST(UIRect, EmptySizesNormaliseToNull) {
  EXPECT_EQ(vcUIRect(5, 5, 0, 10), vcUIRect::null);
  EXPECT_EQ(vcUIRect(5, 5, 10, 0), vcUIRect::null);
  EXPECT_EQ(vcUIRect(5, 5, -3, 4), vcUIRect::null);
  EXPECT_EQ(vcUIRect(P(5, 5), P(4, -1)), vcUIRect::null);
  EXPECT_TRUE(vcUIRect().isNull());
  vcUIRect r(1, 2, 3, 4);
  r.sz(P(0, 4));
  EXPECT_EQ(r, vcUIRect::null);
  r.ul(P(7, 7));  // moving a null rectangle does nothing
  EXPECT_EQ(r, vcUIRect::null);
  vcUIRect s(1, 2, 3, 4);
  s.ul(P(-7, 8));
  EXPECT_EQ(s, vcUIRect(-7, 8, 3, 4));
}

TEST(UIRect, EdgesAndCornersAreExclusive) {
  const vcUIRect r(0, 0, 10, 10);
  EXPECT_EQ(r.right(), 10);
  EXPECT_FALSE(r.within(P(10, 0)));
  EXPECT_FALSE(r.within(P(0, 10)));
  EXPECT_FALSE(r.within(P(-1, 5)));
  EXPECT_TRUE(r.within(P(9, 9)));
  const vcUIRect s(-3, 4, 5, 6);
  EXPECT_EQ(s.ur(), P(2, 4));
  EXPECT_EQ(s.ll(), P(-3, 10));
  EXPECT_EQ(s.lr(), P(2, 10));
  EXPECT_TRUE(r.within(vcUIRect(0, 0, 10, 10)));
  EXPECT_TRUE(r.within(vcUIRect(9, 9, 1, 1)));
  EXPECT_FALSE(r.within(vcUIRect(5, 5, 6, 1)));
  EXPECT_FALSE(r.within(vcUIRect(-1, 0, 2, 2)));
}

TEST(UIRect, ConstantsAndTheirEdgesStayExact) {
  EXPECT_EQ(vcUIRect::inf, vcUIRect(-1073741823, -1073741823, 2147483647, 2147483647));
  EXPECT_EQ(vcUIRect::firstQuad, vcUIRect(0, 0, 1073741823, 1073741823));
  EXPECT_EQ(vcUIRect::inf.right(), 1073741824);
  EXPECT_TRUE(vcUIRect::inf.within(vcUIRect::firstQuad));
  // Shifted far enough, the edges pass 32 bits without wrapping.
  const vcUIRect far = vcUIRect::inf + P(2000000000, 0);
  EXPECT_EQ(far.right(), 3073741824L);
  EXPECT_TRUE(far.within(P(3073741823L, 0)));
  EXPECT_EQ((vcUIRect::inf | far).width(), 4147483647L);
}

TEST(UIRect, IntersectionIsTheOverlapOrNull) {
  EXPECT_EQ(vcUIRect(0, 0, 10, 10) & vcUIRect(10, 0, 5, 5), vcUIRect::null);
  EXPECT_EQ(vcUIRect(0, 0, 10, 10) & vcUIRect(4, -2, 10, 5), vcUIRect(4, 0, 6, 3));
  EXPECT_EQ(vcUIRect(0, 0, 10, 10) & vcUIRect::inf, vcUIRect(0, 0, 10, 10));
  EXPECT_EQ(vcUIRect::null & vcUIRect::inf, vcUIRect::null);
  EXPECT_TRUE(vcUIRect(0, 0, 10, 10).nullIntersection(vcUIRect(0, 10, 10, 10)));
  EXPECT_TRUE(vcUIRect::inf.nullIntersection(vcUIRect::null));
  EXPECT_FALSE(vcUIRect(0, 0, 10, 10).nullIntersection(vcUIRect(9, 9, 10, 10)));

  vcUIRect r(0, 0, 10, 10);
  r &= vcUIRect(5, 5, 10, 10);
  EXPECT_EQ(r, vcUIRect(5, 5, 5, 5));
  r &= vcUIRect(20, 20, 1, 1);
  EXPECT_EQ(r, vcUIRect::null);
  vcUIRect moved = vcUIRect::null;
  moved += P(3, 3);  // null but not (0, 0, 0, 0): &= leaves a null left operand alone
  moved &= vcUIRect::inf;
  EXPECT_EQ(moved.left(), 3);
  EXPECT_TRUE(moved.isNull());
}

TEST(UIRect, UnionIsTheBoundingBoxIgnoringNull) {
  EXPECT_EQ(vcUIRect(0, 0, 2, 2) | vcUIRect(5, 5, 1, 1), vcUIRect(0, 0, 6, 6));
  EXPECT_EQ(vcUIRect(-4, 3, 1, 1) | vcUIRect(2, -5, 2, 2), vcUIRect(-4, -5, 8, 9));
  EXPECT_EQ(vcUIRect::null | vcUIRect(3, 3, 1, 1), vcUIRect(3, 3, 1, 1));
  EXPECT_EQ(vcUIRect(3, 3, 1, 1) | vcUIRect::null, vcUIRect(3, 3, 1, 1));
  vcUIRect r;
  r |= vcUIRect(1, 1, 1, 1);
  r |= vcUIRect(4, 0, 1, 1);
  EXPECT_EQ(r, vcUIRect(1, 0, 4, 2));
}

TEST(UIRect, ShiftsNormaliseOnlyWhenCopying) {
  const vcUIRect r(1, 2, 3, 4);
  EXPECT_EQ(r + P(10, -20), vcUIRect(11, -18, 3, 4));
  EXPECT_EQ(r - P(1, 2), vcUIRect(0, 0, 3, 4));
  vcUIRect s = r;
  s += P(5, 5);
  s -= P(1, 1);
  EXPECT_EQ(s, vcUIRect(5, 6, 3, 4));
  EXPECT_EQ(vcUIRect::null + P(4, 4), vcUIRect::null);
  vcUIRect n;
  n -= P(4, 4);
  EXPECT_TRUE(n.isNull());
  EXPECT_EQ(n.ul(), P(-4, -4));
}

// A loaded rectangle is taken as stored, even when it is not in normal form;
// fields beyond 32 bits cannot be stored.
TEST(UIRect, ArchiveTakesRectanglesAsStoredAndRefusesWideFields) {
  const std::vector<unsigned char> unnormal{0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 0, 2, 1, 0, 0, 0, 0, 0, 0};
  const vcUIRect back = vc_test::load(unnormal, vcUIRect());
  EXPECT_EQ(back.ul(), P(-2, 3));
  EXPECT_EQ(back.sz(), P(258, 0));
  vcBufferArchive big(vcArchive::eStore);
  EXPECT_THROW(big << (vcUIRect::inf | (vcUIRect::inf + P(2000000000, 0))), vcArchive::BadData);
}

