#!/usr/bin/env bash
# Builds the library and runs the showcase; its output goes to demo-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh demo
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVC_BUILD_TESTS=OFF -DVC_BUILD_EXAMPLES=ON
cmake --build "$build" -j2 --target vcshowcase
out=demo-output
mkdir -p "$out"
"$build/examples/vcshowcase" "$out"
