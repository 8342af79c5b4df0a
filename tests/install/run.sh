#!/usr/bin/env bash
# Installs the build tree into a scratch prefix, then builds and runs a consumer
# through find_package(vcdisplay) and through pkg-config.
# Usage: run.sh BUILD_DIR SOURCE_DIR SCRATCH_DIR CXX_FLAGS
set -euo pipefail
build=$1 src=$2 scratch=$3 flags=${4:-}
rm -rf "$scratch"
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null

cmake -S "$src/tests/install/consumer" -B "$scratch/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" > /dev/null
cmake --build "$scratch/cmake" > /dev/null
LD_LIBRARY_PATH="$prefix/lib:${LD_LIBRARY_PATH:-}" "$scratch/cmake/consumer"

libdir=$(find "$prefix" -name vcdisplay.pc -printf '%h\n' | head -1)
PKG_CONFIG_PATH="$libdir" pkg-config --exists vcdisplay
# shellcheck disable=SC2046
c++ $flags "$src/tests/install/consumer/main.cpp" -o "$scratch/pc-consumer" \
  $(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs vcdisplay)
LD_LIBRARY_PATH="$prefix/lib:$libdir:${LD_LIBRARY_PATH:-}" "$scratch/pc-consumer"
