"""Batch rendering throughput: 10,000 synthetic images of 256 x 256 (the
showcase component, each turned one degree further) through vcdisplay.batch
with 1 and 2 local worker processes and on a two-worker Dask LocalCluster,
beside the plain C++ loop on one core (bench/python_native.cpp batch). Also
the Dask scheduler's own cost per task, from tasks that do nothing, so that
a cluster of N machines can be estimated as N x the per-worker rate.

Usage: /usr/bin/python3 bench/python_batch.py [BUILD_DIR] [N]
BUILD_DIR is a configured build with VC_BUILD_PYTHON=ON (default build/python).
"""
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
BUILD = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "python"
N = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
sys.path.insert(0, str(BUILD / "python"))
sys.path.insert(0, str(ROOT / "bench"))

from python_call_overhead import showcase_model  # noqa: E402


def native_rate():
    subprocess.run(["cmake", "--build", str(BUILD), "--target", "_vcdisplay", "vcpy_bench_native"], check=True,
                   stdout=subprocess.DEVNULL)
    out = subprocess.run([str(BUILD / "python" / "vcpy_bench_native"), "batch", str(N)], check=True,
                         capture_output=True, text=True).stdout
    _, n, seconds = out.splitlines()[0].split()
    return int(n) / float(seconds)


def jobs(vc, batch):
    model = showcase_model(vc)
    scale = vc.vcXform(vc.vcMatrix(2.5, 0, 0, -2.5), (128, 128))
    return [batch.ModelJob(model, scale * vc.vcXform.rotation(vc.vcDegree(i % 360)), (256, 256)) for i in range(N)]


def rate(run):
    start = time.perf_counter()
    results = run()
    took = time.perf_counter() - start
    assert len(results) == N and all(r.ok for r in results)
    return N / took, results


def main():
    import vcdisplay as vc
    from vcdisplay import batch
    import distributed

    work = jobs(vc, batch)
    cpp = native_rate()
    rows = [("C++ loop, one core", 1, cpp)]
    reference = None
    for workers in (1, 2):
        r, results = rate(lambda: batch.render_models(work, workers=workers, progress=False))
        rows.append((f"vcdisplay.batch, {workers} local process{'es' if workers > 1 else ''}", workers, r))
        digest = [x.value.tobytes() for x in results[:50]]
        assert reference is None or digest == reference
        reference = digest
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as c, \
            distributed.Client(c) as client:
        client.map(abs, range(4))  # workers started and warm
        r, results = rate(lambda: batch.render_models(work, client=client, progress=False))
        assert [x.value.tobytes() for x in results[:50]] == reference
        rows.append(("vcdisplay.batch, Dask LocalCluster, 2 workers", 2, r))
        tasks = 2000
        start = time.perf_counter()
        client.gather(client.map(abs, range(tasks), pure=False))
        per_task = (time.perf_counter() - start) / tasks
    print(f"load average {os.getloadavg()[0]:.2f}; {N} images of 256 x 256")
    print(f"{'how':<48} {'images/s':>9} {'per worker':>11} {'vs C++':>7}")
    for how, workers, r in rows:
        print(f"{how:<48} {r:>9.0f} {r / workers:>11.0f} {r / cpp:>6.2f}x")
    print(f"Dask scheduler cost per task (empty tasks): {per_task * 1e3:.2f} ms; vcdisplay.batch sends "
          f"chunks of up to 64 images per task")
    dask_rate = rows[-1][2] / 2
    print(f"a cluster of N machines with 2 workers each: about N x {2 * dask_rate:.0f} images/s")


if __name__ == "__main__":
    main()
