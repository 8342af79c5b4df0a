#!/usr/bin/env bash
# Builds everything with warnings as errors, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test; then builds the Python
# package in a plain configuration of its own (a sanitized extension cannot be
# loaded into a plain interpreter) and runs its tests with Debian's Python.
# Ends with one line that counts every test of both suites.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test cairo python || exit 1
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT

build=build/test
cxx_status=0
{
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DVC_WERROR=ON -DVC_SANITIZE=ON -DVC_BUILD_TESTS=ON -DVC_BUILD_EXAMPLES=ON -DVC_BUILD_PYTHON=OFF &&
    cmake --build "$build" -j2 &&
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --test-dir "$build" --output-on-failure -j2
} 2>&1 | tee "$log/cxx" || cxx_status=1

python=/usr/bin/python3
[ -x "$python" ] || python=python3
pybuild=build/python
py_status=0
{
  cmake -S . -B "$pybuild" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
    -DVC_WERROR=ON -DVC_BUILD_TESTS=OFF -DVC_BUILD_EXAMPLES=OFF -DVC_BUILD_PYTHON=ON -DVC_BUILD_QT=OFF \
    -DPython_EXECUTABLE="$python" &&
    cmake --build "$pybuild" -j2 --target _vcdisplay vcdraw &&
    VCDISPLAY_BUILD="$pybuild" "$python" -m pytest -q -p no:cacheprovider python/tests
} 2>&1 | tee "$log/python" || py_status=1

# ctest: "N% tests passed, F tests failed out of T"; pytest: "P passed, F failed".
read -r cxx_pass cxx_fail < <(sed -nE 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\2 \1/p' "$log/cxx" |
  tail -1 | awk '{ print $1 - $2, $2 }')
py_pass=$(grep -oE '[0-9]+ passed' "$log/python" | tail -1 | grep -oE '[0-9]+')
py_fail=$(grep -E '(passed|failed|errors?) in ' "$log/python" | tail -1 | grep -oE '[0-9]+ (failed|errors?)' |
  awk '{ s += $1 } END { print s + 0 }')
cxx_pass=${cxx_pass:-0} cxx_fail=${cxx_fail:-0} py_pass=${py_pass:-0} py_fail=${py_fail:-0}
[ "$cxx_status" -ne 0 ] && [ "$cxx_fail" -eq 0 ] && cxx_fail=1
[ "$py_status" -ne 0 ] && [ "$py_fail" -eq 0 ] && py_fail=1

echo "C++ (ctest): $cxx_pass passed, $cxx_fail failed; Python (pytest): $py_pass passed, $py_fail failed"
echo "all: $((cxx_pass + py_pass)) passed, $((cxx_fail + py_fail)) failed"
[ "$cxx_status" -eq 0 ] && [ "$py_status" -eq 0 ]
