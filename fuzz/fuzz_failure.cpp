// The libFuzzer build's report of a broken invariant.
#include <cstdio>
#include <cstdlib>

#include "fuzz_target.h"

void vc_fuzzFailure(const char* what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}
