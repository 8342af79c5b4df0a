#!/usr/bin/env bash
# vcdraw end to end: the demo writes its files; dump and render read them; a
# truncated or corrupted sketch file exits 2 with one line on stderr and never
# crashes (the test build runs under the sanitizers).
# Usage: vcdraw_test.sh VCDRAW SCRATCH_DIR
set -euo pipefail
vcdraw=$1 dir=$2
rm -rf "$dir"
mkdir -p "$dir"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$vcdraw" --help > /dev/null
"$vcdraw" demo "$dir/demo" > "$dir/demo.log"
for f in showcase.png showcase.vcs replay-offset.png replay-2x.png showcase.svg; do
  [ -s "$dir/demo/$f" ] || fail "demo did not write $f"
done
"$vcdraw" dump "$dir/demo/showcase.vcs" > "$dir/dump.log"
grep -q "records$" "$dir/dump.log" || fail "dump printed no record count"
"$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/r.png" --size 320x200 --scale 0.5 --offset 5,5 \
  --layer overlay --background blue > /dev/null
[ -s "$dir/r.png" ] || fail "render wrote no PNG"
"$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/r.pdf" --size 320x200 > /dev/null
[ -s "$dir/r.pdf" ] || fail "render wrote no PDF"

# Expects exit code 2 and exactly one line on stderr.
expect_bad() {
  local what=$1; shift
  set +e
  "$@" > /dev/null 2> "$dir/err.txt"
  local rc=$?
  set -e
  [ "$rc" -eq 2 ] || fail "$what: exit $rc, expected 2 ($(cat "$dir/err.txt"))"
  [ "$(wc -l < "$dir/err.txt")" -eq 1 ] || fail "$what: expected one line on stderr, got: $(cat "$dir/err.txt")"
}

size=$(stat -c %s "$dir/demo/showcase.vcs")
for n in 0 1 5 9 100 4000 $((size / 2)) $((size - 1)); do
  head -c "$n" "$dir/demo/showcase.vcs" > "$dir/cut.vcs"
  expect_bad "dump of $n bytes" "$vcdraw" dump "$dir/cut.vcs"
  expect_bad "render of $n bytes" "$vcdraw" render "$dir/cut.vcs" -o "$dir/cut.png"
done
# Flip bytes in the records (past the image): every result is either a clean
# run or a one-line error with exit 2.
for at in 614500 614560 614700 615000 616000 618000; do
  [ "$at" -lt "$size" ] || continue
  cp "$dir/demo/showcase.vcs" "$dir/flip.vcs"
  printf '\xff\xff\xff\xff' | dd of="$dir/flip.vcs" bs=1 seek="$at" conv=notrunc status=none
  for cmd in dump render; do
    set +e
    if [ "$cmd" = dump ]; then "$vcdraw" dump "$dir/flip.vcs" > /dev/null 2> "$dir/err.txt"
    else "$vcdraw" render "$dir/flip.vcs" -o "$dir/flip.png" > /dev/null 2> "$dir/err.txt"; fi
    rc=$?
    set -e
    [ "$rc" -eq 0 ] || [ "$rc" -eq 2 ] || fail "$cmd of a corrupted file at $at: exit $rc ($(cat "$dir/err.txt"))"
    [ "$rc" -eq 0 ] || [ "$(wc -l < "$dir/err.txt")" -eq 1 ] || fail "$cmd at $at: not one line"
  done
done
expect_bad "missing file" "$vcdraw" dump "$dir/none.vcs"
expect_bad "bad option" "$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/x.png" --size 0x0
expect_bad "bad output" "$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/x.gif"
expect_bad "unknown command" "$vcdraw" frob
echo "vcdraw: all checks passed"
