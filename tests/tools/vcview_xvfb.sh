#!/usr/bin/env bash
# vcview in a real X window under Xvfb: the window is shown, the screen is
# grabbed, and the grab must hold a picture. Skipped (exit 77) without xvfb-run.
# Usage: vcview_xvfb.sh VCVIEW VCDRAW SCRATCH_DIR [SCREENSHOT.png]
set -euo pipefail
vcview=$1 vcdraw=$2 dir=$3 shot=${4:-$3/screen.png}
if ! command -v xvfb-run > /dev/null; then
  echo "skipped: xvfb-run not found (Debian: xvfb and xauth)"
  exit 77
fi
unset QT_QPA_PLATFORM
# shellcheck source=vcview_setup.sh
source "$(dirname "$0")/vcview_setup.sh"
# A camera-like image of the part, the model placed over it as it was
# rendered, and one of its polys picked.
"$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/part.pgm" --size 900x560 --scale 6 --rotate 8 \
  --offset 450,280 > /dev/null
xvfb-run -a -s "-screen 0 1024x768x24" \
  "$vcview" --screenshot "$shot" --size 900x600 --pick 468,110 "$dir/part.pgm" \
  --place 450,280,6,8 "$dir/demo/showcase-model.vcm" \
  > "$dir/out.log" 2>&1 || fail "vcview under Xvfb: $(cat "$dir/out.log")"
n=$(colors "$dir/out.log")
[ -n "$n" ] && [ "$n" -ge 8 ] || fail "a blank screen: $(cat "$dir/out.log")"
echo "vcview under Xvfb: $(grep '^wrote' "$dir/out.log")"
