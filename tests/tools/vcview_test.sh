#!/usr/bin/env bash
# vcview --grab end to end, offscreen: a sketch, a model, an 8-bit and an RGB
# image, each alone and together, give non-blank pictures; a truncated sketch,
# a corrupted model and a broken image are refused with one message each while
# the other files are still shown.
# Usage: vcview_test.sh VCVIEW VCDRAW SCRATCH_DIR
set -euo pipefail
vcview=$1 vcdraw=$2 dir=$3
export QT_QPA_PLATFORM=offscreen
# shellcheck source=vcview_setup.sh
source "$(dirname "$0")/vcview_setup.sh"
vcs=$dir/demo/showcase.vcs vcm=$dir/demo/showcase-model.vcm rgb=$dir/demo/showcase.png
"$vcdraw" synth "$vcm" -o "$dir/grey.pgm" --size 120x90 > /dev/null

for input in "$vcs" "$vcm" "$dir/grey.pgm" "$rgb" "$rgb $vcs"; do
  # shellcheck disable=SC2086
  "$vcview" --grab "$dir/g.png" --size 320x240 $input > "$dir/out.log" || fail "grab of $input failed"
  [ -s "$dir/g.png" ] || fail "no picture for $input"
  [ "$(colors "$dir/out.log")" -ge 3 ] || fail "a blank picture for $input: $(cat "$dir/out.log")"
done

head -c 100 "$vcs" > "$dir/cut.vcs"
printf 'not a model' > "$dir/bad.vcm"
printf '\x89PNG\r\n\x1a\nbroken' > "$dir/bad.png"
for bad in "$dir/cut.vcs" "$dir/bad.vcm" "$dir/bad.png" "$dir/missing.vcs"; do
  status=0
  "$vcview" --grab "$dir/g.png" --size 320x240 "$bad" "$vcm" > "$dir/out.log" 2> "$dir/err.log" || status=$?
  [ "$status" = 1 ] || fail "$bad: exit status $status"
  grep -q "^vcview: cannot read $bad: " "$dir/err.log" || fail "$bad: no message: $(cat "$dir/err.log")"
  [ "$(grep -c '^vcview:' "$dir/err.log")" = 1 ] || fail "$bad: more than one message: $(cat "$dir/err.log")"
  [ "$(colors "$dir/out.log")" -ge 3 ] || fail "$bad: the model was not shown"
done

status=0
"$vcview" --grab "$dir/g.png" > /dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "no file: exit status $status"
echo "vcview: all checks passed"
