// vcFlagStack: a bounded stack of booleans whose top is a switch (drawing,
// recording, overlay drawing). Callers push a temporary setting, do their
// work, and pop back to whatever was in force.
#pragma once

#include <cstdint>

class vcFlagStack {
public:
  // Most entries a stack holds: the initial one and 31 pushes.
  static constexpr long maxDepth = 32;

  // One entry, b.
  explicit vcFlagStack(bool b = false) noexcept : bits_(b ? 1u : 0u), depth_(1) {}

  // The top entry.
  operator bool() const noexcept { return (bits_ & 1u) != 0; }
  // Replaces the top entry; the depth is kept.
  vcFlagStack& operator=(bool b) noexcept {
    bits_ = (bits_ & ~std::uint32_t{1}) | (b ? 1u : 0u);
    return *this;
  }

  // Puts b on top. Throws vcUIError::FlagStackOverflow, changing nothing,
  // when the stack already holds maxDepth entries.
  void push(bool b);
  // Removes and returns the top entry. Throws vcUIError::FlagStackUnderflow,
  // changing nothing, when only one entry is left.
  bool pop();
  // Entry i from the top (0 is the top). Throws vcUIError::FlagStackOutOfRange
  // unless 0 <= i < depth().
  bool operator[](long i) const;
  // Number of entries, 1 to maxDepth.
  long depth() const noexcept { return depth_; }

private:
  // Bit 0 is the top; bit i the entry i places below it.
  std::uint32_t bits_;
  std::int32_t depth_;
};
