// Archive helpers for tests: a value's stored bytes, a load into a copy, and
// the checks that rejected bytes throw and leave the target as it was.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <vc/core/archive.h>
#include <vc/core/exception.h>

namespace vc_test {

template <class T>
std::vector<unsigned char> store(T v) {
  vcBufferArchive out(vcArchive::eStore);
  out || v;
  return out.bytes();
}

template <class T>
T load(const std::vector<unsigned char>& bytes, T target) {
  vcBufferArchive in(bytes);
  in || target;
  return target;
}

// Loading `bytes` over a copy of `initial` throws, and `same(copy, initial)`
// checks that the copy is untouched.
template <class T, class Same>
void expectRejected(const T& initial, const std::vector<unsigned char>& bytes, Same same) {
  T target = initial;
  vcBufferArchive in(bytes);
  EXPECT_THROW(in || target, vcException);
  same(target, initial);
}

// Loading `bytes` throws vcArchive::UnknownVersion naming `source` (and
// `line`, when it is part of the stored-file contract).
template <class T>
void expectUnknownVersion(const std::vector<unsigned char>& bytes, T target, const std::string& source,
                          int line = -1) {
  vcBufferArchive in(bytes);
  try {
    in || target;
    ADD_FAILURE() << "an unknown version was accepted";
  } catch (const vcArchive::UnknownVersion& e) {
    EXPECT_EQ(e.source(), source);
    if (line >= 0) {
      EXPECT_EQ(e.line(), line);
    }
  }
}

}  // namespace vc_test
