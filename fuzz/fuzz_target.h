// The entry point every fuzz target defines, shared by libFuzzer builds and
// by the corpus replay that runs in the test suite.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Reports a broken invariant found while fuzzing: prints it and aborts, so
// both libFuzzer and the replay test see a crash.
[[noreturn]] void vc_fuzzFailure(const char* what);
