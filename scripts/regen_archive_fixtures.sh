#!/bin/sh
# Rewrites tests/data/archives/*.bin, the pinned archive bytes of segments,
# dimensions, SMD descriptions, generalised polygons, wireframes and graphics,
# from what the current tree stores (older versions from their field-by-field
# layouts). Run it only for a deliberate format change (stored archives stop
# loading otherwise), and say why in the commit.
# Usage: scripts/regen_archive_fixtures.sh [build directory]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/test}
mkdir -p "$root/tests/data/archives"
cmake --build "$build" --target vcdisplay_tests
VC_TEST_DATA="$root/tests/data" VC_REGENERATE_ARCHIVE_FIXTURES=1 \
  "$build/tests/vcdisplay_tests" --gtest_filter='ArchiveFixtures.EveryClassAndVersionHasPinnedBytesThatLoadBack'
git -C "$root" status --short tests/data/archives
