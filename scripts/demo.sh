#!/usr/bin/env bash
# Builds the library and the vcdraw tool in release mode and runs its showcase
# on built-in data; the PNG, SVG and sketch files go to demo-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh demo cairo
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVC_BUILD_TESTS=OFF -DVC_BUILD_EXAMPLES=OFF
cmake --build "$build" -j2 --target vcdraw
"$build/tools/vcdraw/vcdraw" demo demo-output
echo "Showcase written to $(pwd)/demo-output"
