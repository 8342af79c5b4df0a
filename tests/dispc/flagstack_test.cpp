#include <vc/flagstack.h>

#include <gtest/gtest.h>

#include <vc/uierror.h>

TEST(FlagStack, PushPopKeepsTheOrderOfEntries) {
  vcFlagStack s(true);
  s.push(false);
  s.push(true);
  EXPECT_EQ(s.depth(), 3);
  EXPECT_TRUE(s[0]);
  EXPECT_FALSE(s[1]);
  EXPECT_TRUE(s[2]);
  EXPECT_TRUE(s.pop());
  EXPECT_FALSE(s);
  EXPECT_FALSE(s.pop());
  EXPECT_TRUE(s);
  EXPECT_EQ(s.depth(), 1);
  EXPECT_FALSE(vcFlagStack());
}

TEST(FlagStack, AssigningTheTopKeepsTheEntriesBelow) {
  vcFlagStack s(true);
  s.push(true);
  s.push(true);
  s = false;
  EXPECT_EQ(s.depth(), 3);
  EXPECT_FALSE(s[0]);
  EXPECT_TRUE(s[1]);
  EXPECT_TRUE(s[2]);
  vcFlagStack copy;
  copy = s;
  EXPECT_EQ(copy.depth(), 3);
  EXPECT_FALSE(copy.pop());
  EXPECT_TRUE(copy.pop());
}

TEST(FlagStack, UnderflowAndOverflowThrowAndChangeNothing) {
  vcFlagStack s(true);
  EXPECT_THROW(s.pop(), vcUIError::FlagStackUnderflow);
  EXPECT_EQ(s.depth(), 1);
  EXPECT_TRUE(s);
  // Alternating values make a lost or shifted bit visible.
  for (int i = 1; i < vcFlagStack::maxDepth; ++i) s.push(i % 2 == 0);
  EXPECT_EQ(s.depth(), vcFlagStack::maxDepth);
  EXPECT_THROW(s.push(true), vcUIError::FlagStackOverflow);
  EXPECT_EQ(s.depth(), vcFlagStack::maxDepth);
  for (long i = 0; i < vcFlagStack::maxDepth; ++i) EXPECT_EQ(s[i], (31 - i) % 2 == 0) << i;
  EXPECT_THROW(s[32], vcUIError::FlagStackOutOfRange);
  EXPECT_THROW(s[-1], vcUIError::FlagStackOutOfRange);
  for (int i = vcFlagStack::maxDepth - 1; i >= 1; --i) EXPECT_EQ(s.pop(), i % 2 == 0) << i;
  EXPECT_TRUE(s);
  EXPECT_THROW(s[1], vcUIError::FlagStackOutOfRange);
}
