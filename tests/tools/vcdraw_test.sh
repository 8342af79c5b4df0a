#!/usr/bin/env bash
# vcdraw end to end: the demo writes its files; dump and render read them;
# every failure (a truncated or corrupted sketch file, a missing file, a
# folder, an output that cannot be written) exits 2 with one line on stderr,
# bytes from the file escaped, and never crashes (the test build runs under
# the sanitizers).
# Usage: vcdraw_test.sh VCDRAW SCRATCH_DIR
set -euo pipefail
vcdraw=$1 dir=$2
# The leak checker's report of suppressed library allocations is not the
# tool's output: keep stderr to what vcdraw writes.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"
rm -rf "$dir"
mkdir -p "$dir"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$vcdraw" --help > /dev/null
"$vcdraw" demo "$dir/demo" > "$dir/demo.log"
for f in showcase.png showcase.vcs replay-offset.png replay-2x.png showcase.svg showcase-model.vcm \
  showcase-synthetic.png; do
  [ -s "$dir/demo/$f" ] || fail "demo did not write $f"
done
"$vcdraw" dump "$dir/demo/showcase.vcs" > "$dir/dump.log"
grep -q "records$" "$dir/dump.log" || fail "dump printed no record count"
"$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/r.png" --size 320x200 --scale 0.5 --offset 5,5 \
  --layer overlay --background blue > /dev/null
[ -s "$dir/r.png" ] || fail "render wrote no PNG"
"$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/r.pdf" --size 320x200 > /dev/null
[ -s "$dir/r.pdf" ] || fail "render wrote no PDF"

# synth: the model's origin (the body's centre) at the image centre, filled
# with the body's grey (150) on the model's background grey (50).
"$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/s.pgm" --size 100x80 > /dev/null
pel() { od -An -tu1 -j $((14 + $2 * 100 + $1)) -N1 "$dir/s.pgm" | tr -d ' '; }
[ "$(head -c 14 "$dir/s.pgm")" = "$(printf 'P5\n100 80\n255\n')" ] || fail "synth: bad PGM header"
[ "$(pel 50 40)" = 150 ] && [ "$(pel 0 0)" = 50 ] || fail "synth: body $(pel 50 40), background $(pel 0 0)"
"$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/s2.pgm" --size 100x80 --background 7 --rotate 90 \
  --offset 10,10 --scale 0.5 > /dev/null
[ "$(od -An -tu1 -j 14 -N1 "$dir/s2.pgm" | tr -d ' ')" = 7 ] || fail "synth: --background not used"
# --grow 4: the body (to y = 55) reaches over pixel row 58.
"$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/s.pgm" --size 100x80 --grow 4 > /dev/null
[ "$(pel 50 58)" = 150 ] || fail "synth: --grow gives $(pel 50 58) below the body"
"$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/s.pgm" --size 100x80 > /dev/null
[ "$(pel 50 58)" = 50 ] || fail "synth: $(pel 50 58) below the body without --grow"

# Expects exit code 2 and exactly one line on stderr, stdout going to OUT.
expect_bad_into() {
  local out=$1 what=$2; shift 2
  set +e
  "$@" > "$out" 2> "$dir/err.txt"
  local rc=$?
  set -e
  [ "$rc" -eq 2 ] || fail "$what: exit $rc, expected 2 ($(cat "$dir/err.txt"))"
  [ "$(wc -l < "$dir/err.txt")" -eq 1 ] || fail "$what: expected one line on stderr, got: $(cat "$dir/err.txt")"
}
expect_bad() { expect_bad_into /dev/null "$@"; }

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
msize=$(stat -c %s "$dir/demo/showcase-model.vcm")
for n in 0 1 7 $((msize / 2)) $((msize - 1)); do
  head -c "$n" "$dir/demo/showcase-model.vcm" > "$dir/cut.vcm"
  expect_bad "synth of $n bytes" "$vcdraw" synth "$dir/cut.vcm" -o "$dir/cut.png"
done
# A file of the wrong kind is named for what it is and what was needed.
said() { grep -qF -- "$1" "$dir/err.txt" || fail "expected '$1' on stderr, got: $(cat "$dir/err.txt")"; }
expect_bad "synth of a sketch" "$vcdraw" synth "$dir/demo/showcase.vcs" -o "$dir/x.png"
said "showcase.vcs is a sketch file, synth needs a model file (.vcm)"
expect_bad "render of a model" "$vcdraw" render "$dir/demo/showcase-model.vcm" -o "$dir/x.png"
said "showcase-model.vcm is a model file, render needs a sketch file (.vcs)"
expect_bad "dump of a model" "$vcdraw" dump "$dir/demo/showcase-model.vcm"
said "dump needs a sketch file (.vcs)"
expect_bad "dump of a PNG" "$vcdraw" dump "$dir/demo/showcase.png"
said "showcase.png is a PNG image, dump needs a sketch file (.vcs)"

# Only regular files are read, and at most 1 GiB of them: a link to a device
# would be read forever, a FIFO would block (timeout ends a hang as a failure).
ln -sf /dev/zero "$dir/zero.vcs"
rm -f "$dir/fifo.vcs" && mkfifo "$dir/fifo.vcs"
truncate -s $((1024 * 1024 * 1024 + 1)) "$dir/huge.vcs"  # sparse: takes no disk
for input in zero:"character device, not a regular file" fifo:"FIFO, not a regular file" huge:"larger than 1073741824"; do
  expect_bad "dump of ${input%%:*}" timeout 60 "$vcdraw" dump "$dir/${input%%:*}.vcs"
  said "${input#*:}"
  expect_bad "synth of ${input%%:*}" timeout 60 "$vcdraw" synth "$dir/${input%%:*}.vcs" -o "$dir/x.png"
done
rm -f "$dir/huge.vcs" "$dir/fifo.vcs"

# Every numeric option is parsed whole: nothing cut short, signs only where
# a number may have one, integers where the option counts pixels or levels.
for opt in "--size=1.5x1.5" "--size=10x10x10" "--size=1e1x10" "--size= 5x5" "--size=5x" "--scale=0x1p3" \
  "--scale=2," "--scale=1e400" "--offset=1,2,3" "--offset=1,,2" "--background=#-12345" "--background=#+12345" \
  "--background=#12345g" "--background=# 12345" "--background=#1234567"; do
  expect_bad "render ${opt%%=*} '${opt#*=}'" "$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/x.png" "${opt%%=*}" "${opt#*=}"
  said "bad "
done
for opt in "--background=7.0" "--background=0x10" "--background= 7" "--rotate=1e400" "--rotate=10deg"; do
  expect_bad "synth ${opt%%=*} '${opt#*=}'" "$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/x.png" \
    "${opt%%=*}" "${opt#*=}"
  said "bad "
done
"$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/x.png" --size 8x6 --scale +0.5 --offset -2.5e0,+3 \
  --background '#00fF7a' > /dev/null
expect_bad "synth to a gif" "$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/x.gif"
expect_bad "synth background" "$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/x.png" --background 256
expect_bad "synth rotation" "$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "$dir/x.png" --rotate nan
expect_bad "missing file" "$vcdraw" dump "$dir/none.vcs"
expect_bad "bad option" "$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/x.png" --size 0x0
expect_bad "bad output" "$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/x.gif"
expect_bad "unknown command" "$vcdraw" frob

# Every verb against an unwritable output, a missing input, a folder as input
# and a corrupt file.
: > "$dir/plain"  # a file where a folder is needed
mkdir -p "$dir/folder.vcs" "$dir/folder.png"
expect_bad "no command" "$vcdraw"
expect_bad "demo without a folder" "$vcdraw" demo
expect_bad "demo into /proc" "$vcdraw" demo /proc/forbidden
expect_bad "demo under a file" "$vcdraw" demo "$dir/plain/out"
expect_bad "demo onto a file" "$vcdraw" demo "$dir/plain"
# The reading verbs on FILE: dump lists it, render draws it to a PNG.
verb_on() {
  if [ "$1" = dump ]; then echo dump; echo "$2"; else echo render; echo "$2"; echo -o; echo "$dir/x.png"; fi
}
for verb in dump render; do
  for input in "$dir/missing.vcs" "$dir/folder.vcs" "$dir/demo/showcase.png"; do
    mapfile -t cmd < <(verb_on $verb "$input")
    expect_bad "$verb of $input" "$vcdraw" "${cmd[@]}"
  done
done
for out in "$dir/plain/x.png" "$dir/plain/x.svg" "$dir/plain/x.pdf" "$dir/folder.png" /proc/forbidden.png; do
  expect_bad "synth to $out" "$vcdraw" synth "$dir/demo/showcase-model.vcm" -o "${out%.*}.png"
  expect_bad "render to $out" "$vcdraw" render "$dir/demo/showcase.vcs" -o "$out"
done
if [ -w /dev/full ]; then
  expect_bad_into /dev/full "dump to a full disk" "$vcdraw" dump "$dir/demo/showcase.vcs"
  expect_bad_into /dev/full "render reporting to a full disk" "$vcdraw" render "$dir/demo/showcase.vcs" -o "$dir/x.png"
  expect_bad_into /dev/full "demo reporting to a full disk" "$vcdraw" demo "$dir/demo2"
  expect_bad_into /dev/full "help to a full disk" "$vcdraw" --help
fi

# Bytes quoted from a corrupt file reach the terminal escaped: a class name
# turned into escape sequences, and a text record ("TopLeft") whose first
# five bytes became control bytes.
at=$(grep -obUa "vc_UISketchOpHeader" "$dir/demo/showcase.vcs" | head -n 1 | cut -d: -f1)
[ -n "$at" ] || fail "no class name found in the archive"
cp "$dir/demo/showcase.vcs" "$dir/evil.vcs"
printf '\033[2J\007\r' | dd of="$dir/evil.vcs" bs=1 seek="$at" conv=notrunc status=none
for verb in dump render; do
  mapfile -t cmd < <(verb_on $verb "$dir/evil.vcs")
  expect_bad "$verb of a corrupt class name" "$vcdraw" "${cmd[@]}"
  ! LC_ALL=C grep -q "$(printf '[\001-\037\177]')" "$dir/err.txt" || fail "$verb: raw control bytes on stderr"
  grep -qF '\x1b[2J\x07\x0d' "$dir/err.txt" || fail "$verb: class name not shown escaped: $(cat "$dir/err.txt")"
done
at=$(grep -obUa "TopLeft" "$dir/demo/showcase.vcs" | head -n 1 | cut -d: -f1)
[ -n "$at" ] || fail "no text record found in the archive"
cp "$dir/demo/showcase.vcs" "$dir/text.vcs"
printf '\033[2J\007' | dd of="$dir/text.vcs" bs=1 seek="$at" conv=notrunc status=none
"$vcdraw" dump "$dir/text.vcs" > "$dir/text.log"
! LC_ALL=C grep -q "$(printf '[\001-\011\013-\037\177]')" "$dir/text.log" || fail "dump: raw control bytes on stdout"
grep -qF '"\x1b[2J\x07ft"' "$dir/text.log" || fail "dump: text not shown escaped"
echo "vcdraw: all checks passed"
