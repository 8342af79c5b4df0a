"""Per-call overhead of the Python bindings on synthetic rendering: the
synthetic image of a model like vcdraw's showcase component, drawn with
vcSMDGDModel.drawSynthetic into a caller's uint8 array, timed from Python and
from C++ (bench/python_native.cpp). The overhead is measured on a 1 x 1 array,
where the call's own work is next to nothing (the bindings copy no pixels, so
it does not grow with the image); the 2048 x 2048 row shows the call at full
size, where the difference is within the machine's noise.
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
# The two halves run alternately this many times and each keeps its fastest, so
# that a busy machine slowing one half for a while does not count as overhead.
ROUNDS = 3


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


def showcase_model(vc):
    """The model python_native.cpp renders, built the same way."""
    body = vc.vcSMDGDPoly.rectangle(60, 30, (0, 0))
    vertices = body.vertices()
    for v in vertices:
        v.forwardExtension = v.backwardExtension = 0.15
    body.vertices(vertices)
    rounded = vc.vcSMDGDPoly([vc.vcSMDGDPolyVertex(p, 3.0, 0.5, 0.5, -1)
                              for p in [(46, -9), (34, -9), (34, 9), (46, 9)]])
    polys = [body, vc.vcSMDGDPoly.rectangle(12, 18, (-40, 0)), rounded, vc.vcSMDGDPoly.circle(5, (0, -24))]
    pad = polys[1].colors()
    pad.wireframeDefaultColor = vc.vcColor.yellow
    pad.syntheticDefaultColor = vc.vcColor.white
    for p in polys[1:]:
        p.colors(pad)
    return vc.vcSMDGDModel(polys, "showcase component")


def python():
    import vcdisplay as vc

    model = showcase_model(vc)
    to_image = vc.vcXform(vc.vcMatrix(20, 0, 0, -20), (1024, 1024))
    loop = per_call_ns(lambda: None, REPEATS * 100)  # the Python loop's own cost, subtracted below
    out = {}
    for side in (1, 2048):
        n = REPEATS * 100 if side == 1 else REPEATS
        pixels = np.zeros((side, side), np.uint8)
        out[("model_synthetic", side)] = per_call_ns(lambda: model.drawSynthetic(to_image, pixels), n) - loop
    return out


def fastest(runs):
    return {key: min(run[key] for run in runs) for key in runs[0]}


def main():
    sys.path.insert(0, str(BUILD / "python"))
    cpp_runs, py_runs = [], []
    for _ in range(ROUNDS):
        cpp_runs.append(native())
        py_runs.append(python())
    cpp, py = fastest(cpp_runs), fastest(py_runs)
    print(f"{'call':<16} {'image':>11} {'C++ us':>10} {'Python us':>10} {'difference us':>14}")
    worst = float("-inf")
    for (name, side) in sorted(cpp, key=lambda k: (k[1], k[0])):
        diff = (py[(name, side)] - cpp[(name, side)]) / 1000
        if side == 1:
            worst = max(worst, diff)
        print(f"{name:<16} {f'{side} x {side}':>11} {cpp[(name, side)] / 1000:>10.2f} {py[(name, side)] / 1000:>10.2f}"
              f" {diff:>14.2f}")
    print(f"largest per-call overhead (1 x 1): {worst:.2f} us (target < 5 us)")


if __name__ == "__main__":
    main()
