"""Per-call overhead of the Python bindings: the same calls timed from Python
and from C++ (bench/python_native.cpp). The overhead is measured on a 1 x 1
image, where the call's own work is next to nothing (the bindings copy no
pixels, so it does not grow with the image); the 2048 x 2048 rows show the
calls at full size, where the difference is within the machine's noise.
Target: overhead under 5 microseconds per call.

Usage: /usr/bin/python3 bench/python_call_overhead.py [BUILD_DIR]
BUILD_DIR is a configured build with VC_BUILD_PYTHON=ON (default build/python);
the script builds the extension and the native half there first.
"""
import pathlib
import subprocess
import sys
import timeit

import numpy as np

ROOT = pathlib.Path(__file__).resolve().parents[1]
BUILD = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "python"
REPEATS = 200


def native():
    subprocess.run(["cmake", "--build", str(BUILD), "--target", "_vcdisplay", "vcpy_bench_native"], check=True,
                   stdout=subprocess.DEVNULL)
    out = subprocess.run([str(BUILD / "python" / "vcpy_bench_native"), str(REPEATS)], check=True,
                         capture_output=True, text=True).stdout
    return {(name, int(side)): float(ns)
            for name, side, ns in (line.split() for line in out.splitlines() if not line.startswith("#"))}


def per_call_ns(stmt, repeats):
    stmt()
    return min(timeit.repeat(stmt, number=repeats, repeat=5)) / repeats * 1e9


def python():
    sys.path.insert(0, str(BUILD / "python"))
    import vcdisplay as vc

    state = {"v": 0}

    def bump():
        state["v"] = (state["v"] + 1) & 255
        return state["v"]

    loop = per_call_ns(bump, REPEATS * 100)  # the Python loop's own cost, subtracted below
    out = {}
    for side in (1, 2048):
        n = REPEATS * 100 if side == 1 else REPEATS
        pixels = np.zeros((side, side), np.uint8)
        held = vc.vcPelBuffer(pixels)
        scope = vc.vcCairoScope((side, side))
        tablet = vc.vcUITablet(scope)
        tablet.visible(True)
        colors = [vc.vcColor.red, vc.vcColor.blue]
        image = vc.vcUITablet.eImage
        out[("pelbuffer_fill", side)] = per_call_ns(lambda: held.fill(bump()), n) - loop
        out[("wrap_and_fill", side)] = per_call_ns(lambda: vc.vcPelBuffer(pixels).fill(bump()), n) - loop
        out[("cairo_set", side)] = per_call_ns(lambda: tablet.set(colors[bump() & 1], image), n) - loop
    return out


def main():
    cpp, py = native(), python()
    print(f"{'call':<16} {'image':>11} {'C++ us':>10} {'Python us':>10} {'difference us':>14}")
    worst = 0.0
    for (name, side) in sorted(cpp, key=lambda k: (k[1], k[0])):
        diff = (py[(name, side)] - cpp[(name, side)]) / 1000
        if side == 1:
            worst = max(worst, diff)
        print(f"{name:<16} {f'{side} x {side}':>11} {cpp[(name, side)] / 1000:>10.2f} {py[(name, side)] / 1000:>10.2f}"
              f" {diff:>14.2f}")
    print(f"largest per-call overhead (1 x 1): {worst:.2f} us (target < 5 us)")


if __name__ == "__main__":
    main()
