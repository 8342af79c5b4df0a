#!/usr/bin/env bash
# Installs the Debian packages a build needs, when they are missing.
# Usage: scripts/deps.sh [test|demo|bench|fuzz|cairo|python]...
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config)
for what in "$@"; do
  case "$what" in
    # Qt 6 Widgets and Qt Test for the Qt scope, view and vcview; Xvfb for vcview in a real X window.
    test) packages+=(libgtest-dev libgmock-dev qt6-base-dev xvfb xauth) ;;
    demo) ;;
    # Qt for bench_qtview's vcQtView, Clipper and Boost.Geometry for the offset and picking baselines.
    bench) packages+=(libbenchmark-dev libopencv-dev libcairo2-dev libgeos-dev libpolyclipping-dev
                    libboost-dev qt6-base-dev) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    cairo) packages+=(libcairo2-dev fonts-dejavu-core) ;;
    # Debian's interpreter with its own pybind11, NumPy and pytest; Dask and a
    # notebook kernel for the batch and notebook tests.
    python) packages+=(python3 python3-dev pybind11-dev python3-numpy python3-pytest libcairo2-dev
                     python3-distributed python3-nbclient python3-ipykernel) ;;
    *) echo "deps.sh: unknown set '$what'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
