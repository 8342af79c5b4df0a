#!/bin/sh
# Rewrites tests/data/records/*.bin, the pinned bytes of every sketch record
# kind, from what the current tree records. Run it only for a deliberate
# format change (stored sketches stop replaying otherwise), and say why in the
# commit. Usage: scripts/regen_record_fixtures.sh [build directory]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/test}
cmake --build "$build" --target vcdisplay_tests
VC_TEST_DATA="$root/tests/data" VC_REGENERATE_RECORD_FIXTURES=1 \
  "$build/tests/vcdisplay_tests" --gtest_filter='Opcodes.EveryRecordKindHasOneCatalogueEntryWhoseBytesArePinned'
git -C "$root" status --short tests/data/records
