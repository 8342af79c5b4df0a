#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own.
#
# Layers, bottom up:
#   core       core/, include/vc/core/          may include only <vc/core/...>
#   vgr        vgr/                             may include core and <vgr/...>
#   display    dispc/*, include/vc/*.h          may not include <vc/wrfm/...> or <vc/cairo/...>
#   wrfm       dispc/wrfm/, include/vc/wrfm/    geometry may not include the tablet; only
#                                               drawing files (*_draw.cpp) may
#   scopes     scopes/common/                   what the Cairo and Qt scopes share: no Cairo or Qt header
#   cairo      scopes/cairo/, include/vc/cairo/ the reference scope
#   qt         scopes/qt/, include/vc/qt/       the Qt scope and view
# Nothing in the library includes test or tool code.
# Usage: scripts/check_layers.sh [SOURCE_ROOT]
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"

status=0
# check FILES... -- PATTERN MESSAGE: reports every include line matching PATTERN.
violations() {
  local pattern="$1" message="$2"
  shift 2
  local f
  for f in "$@"; do
    [ -f "$f" ] || continue
    grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" "$f" /dev/null |
      while IFS= read -r line; do
        echo "layering: $line: $message"
      done
  done
  return 0
}

collect() { find "$@" -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort; }

mapfile -t core_files < <(collect core include/vc/core)
mapfile -t vgr_files < <(collect vgr)
mapfile -t display_files < <(
  find dispc include/vc -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
mapfile -t wrfm_geometry < <(collect dispc/wrfm include/vc/wrfm | grep -v '_draw\.cpp$' || true)
mapfile -t scope_common < <(collect scopes/common)
mapfile -t library < <(collect core vgr dispc include scopes)

report=$(
  violations 'vc/[^c]|vc/c[^o]|vc/co[^r]|vgr/' "the core layer includes a header above it" "${core_files[@]}"
  violations 'vc/[^c]|vc/c[^o]|vc/co[^r]' "the graphics-list stand-in includes a display header" "${vgr_files[@]}"
  violations 'vc/wrfm/|vc/cairo/|vc/qt/' "the display layer includes a wireframe, Cairo or Qt header" \
    "${display_files[@]/include\/vc\/display.h/}"
  violations 'vc/uitablet\.h|vc/cairo/' "wireframe geometry includes drawing code" "${wrfm_geometry[@]}"
  violations 'vc/cairo/|vc/qt/|cairo|Q' "the scopes' shared code includes a Cairo or Qt header" "${scope_common[@]}"
  violations '(\.\./)+(tests|tools|bench|fuzz)/|support/recording_scope' "library code includes test or tool code" \
    "${library[@]}"
  true
)
if [ -n "$report" ]; then
  echo "$report"
  status=1
else
  echo "layering: ${#library[@]} library files, no include from a layer above"
fi
exit $status
