// vcFlagStack: push, pop and indexed reads, each checked against the depth.
#include <vc/flagstack.h>

#include <vc/uierror.h>

void vcFlagStack::push(bool b) {
  if (depth_ >= maxDepth) throw vcUIError::FlagStackOverflow();
  bits_ = (bits_ << 1) | (b ? 1u : 0u);
  ++depth_;
}

bool vcFlagStack::pop() {
  if (depth_ <= 1) throw vcUIError::FlagStackUnderflow();
  const bool top = (bits_ & 1u) != 0;
  bits_ >>= 1;
  --depth_;
  return top;
}

bool vcFlagStack::operator[](long i) const {
  if (i < 0 || i >= depth_) throw vcUIError::FlagStackOutOfRange();
  return ((bits_ >> i) & 1u) != 0;
}
