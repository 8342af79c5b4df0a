# Sourced by the vcview tests once $vcdraw and $dir are set: a fresh scratch
# folder with its own runtime folder, fail(), colors(), and vcdraw's demo
# files in $dir/demo.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"
rm -rf "$dir"
mkdir -p "$dir/runtime"
chmod 700 "$dir/runtime"
export XDG_RUNTIME_DIR=$dir/runtime
fail() { echo "FAIL: $*" >&2; exit 1; }
# colors OUTPUT: the colour count vcview reported for its picture.
colors() { sed -nE 's/^wrote .* \([0-9]+x[0-9]+, ([0-9]+)\+? colors\)$/\1/p' "$1"; }

"$vcdraw" demo "$dir/demo" > /dev/null
