#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own.
#
# Layers, bottom up:
#   core       core/, include/vc/core/          may include only <vc/core/...>
#   vgr        vgr/                             may include core and <vgr/...>
#   display    dispc/*, include/vc/*.h          may not include <vc/wrfm/...> or <vc/cairo/...>
#   wrfm       dispc/wrfm/, include/vc/wrfm/    four layers, bottom up, each including only
#                                               its own and lower layers' headers:
#     seg      line and arc segments            core
#     synth    the synthetic rasteriser         core, seg
#     smd      SMD polys, models, zones,        core, seg, synth, the display base types
#              generalised polygons             (color, dimtol, uierror, uitypes) and two
#                                               extension headers (error_impl, dimtol_map)
#     draw     tablets, graphics, sketches      everything of the display layer
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

# The wireframe layers: each one's public headers (include/vc/wrfm/NAME.h) and
# folder (dispc/wrfm/FOLDER/, whose headers are private to it and the layers
# above).
wrfm_layers=(seg synth smd draw)
declare -A wrfm_public=(
  [seg]="lineseg arc"
  [synth]="synthetic"
  [smd]="smdgd smdvertex smdpoly smdmodel smdzone genpoly wireframe"
  [draw]="graphic_wrfm sketchop_wrfm")
# What each layer may include besides the standard library and the layers
# below it (an extended regular expression on the included name).
declare -A wrfm_extra=(
  [seg]='vc/core/.*'
  [synth]=''
  [smd]='vc/(color|dimtol|uierror|uitypes)\.h|(error_impl|dimtol_map)\.h'
  [draw]='')

# The include lines of FILES... that name a project header (quoted or under
# vc/ or vgr/), as FILE:LINE:NAME.
project_includes() {
  local f
  for f in "$@"; do
    [ -f "$f" ] || continue
    grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*("|<(vc|vgr)/)' "$f" |
      sed -E "s@^([0-9]+):[^<\"]*[<\"]([^>\"]*)[>\"].*@$f:\\1:\\2@" || true
  done
}

# wrfm_check: every project include of every layer's files is a header of
# that layer or of one below it, or in its extras.
wrfm_check() {
  local allowed="" layer name f
  for layer in "${wrfm_layers[@]}"; do
    [ -n "${wrfm_extra[$layer]}" ] && allowed="$allowed|${wrfm_extra[$layer]}"
    for name in ${wrfm_public[$layer]}; do allowed="$allowed|vc/wrfm/$name\.h"; done
    for f in dispc/wrfm/"$layer"/*.h; do
      [ -f "$f" ] && allowed="$allowed|$(basename "$f" | sed 's/\./\\./g')"
    done
    [ "$layer" = draw ] && continue
    local files=(dispc/wrfm/"$layer"/*.cpp dispc/wrfm/"$layer"/*.h)
    for name in ${wrfm_public[$layer]}; do files+=("include/vc/wrfm/$name.h"); done
    project_includes "${files[@]}" | grep -vE ":(${allowed#|})\$" |
      while IFS= read -r line; do
        echo "layering: $line: the wireframe layer $layer includes a header of a layer above it"
      done
  done
  # Every wireframe file belongs to a layer.
  local known=" ${wrfm_public[*]} "
  for f in include/vc/wrfm/*.h; do
    name=$(basename "$f" .h)
    [[ "$known" == *" $name "* ]] || echo "layering: $f: a public wireframe header in no layer (list it in wrfm_public)"
  done
  find dispc/wrfm -mindepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | sort |
    grep -vE "^dispc/wrfm/($(IFS='|'; echo "${wrfm_layers[*]}"))/[^/]*$" |
    sed 's/$/: a wireframe source outside the layer folders/; s/^/layering: /' || true
}
mapfile -t wrfm_draw < <(collect dispc/wrfm/draw include/vc/wrfm/graphic_wrfm.h include/vc/wrfm/sketchop_wrfm.h)
mapfile -t library < <(collect core vgr dispc include scopes)

report=$(
  violations 'vc/[^c]|vc/c[^o]|vc/co[^r]|vgr/' "the core layer includes a header above it" "${core_files[@]}"
  violations 'vc/[^c]|vc/c[^o]|vc/co[^r]' "the graphics-list stand-in includes a display header" "${vgr_files[@]}"
  violations 'vc/wrfm/|vc/cairo/|vc/qt/' "the display layer includes a wireframe, Cairo or Qt header" \
    "${display_files[@]/include\/vc\/display.h/}"
  wrfm_check
  violations 'vc/cairo/|vc/qt/' "wireframe drawing includes a Cairo or Qt header" "${wrfm_draw[@]}"
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
