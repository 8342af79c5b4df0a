"""Rendering many sketch files or model variants at once.

render_sketches() replays sketch files (.vcs) as vcdraw render does;
render_models() renders (model, transform, size) jobs into synthetic images.
Both run on a local process pool by default, in this process with workers=0,
or on a Dask cluster when a dask.distributed Client is passed. Every item
gives one Result, in the order given: its value (an array, or the path of the
PNG file written) or the error that stopped it; one failure never stops the
rest. The renderers are deterministic, so the results are byte for byte the
same whichever runs them.
"""
import concurrent.futures
import dataclasses
import os
import pathlib
import sys

import numpy as np

from . import _vcdisplay as _vc
from . import pictures

__all__ = ["Result", "ModelJob", "render_sketches", "render_models"]


@dataclasses.dataclass(frozen=True)
class Result:
    """What became of one item: value on success, error (the exception's
    class name and message) on failure."""

    item: object
    value: object = None
    error: str = None

    @property
    def ok(self):
        return self.error is None


@dataclasses.dataclass(frozen=True)
class ModelJob:
    """One synthetic image: model (a vcSMDGDModel or the path of a .vcm file),
    xform (model to image pixel coordinates; a vcXform or the six numbers
    a, b, c, d, tx, ty), size (width, height) in pixels, background grey
    level, and name (the output file's stem; the job's index by default)."""

    model: object
    xform: object
    size: tuple
    background: int = pictures.SYNTHETIC_BACKGROUND
    name: str = None


def _failure(item, e):
    return Result(item, None, f"{type(e).__name__}: {e}")


# The work items travel to other processes as plain values: paths, archive
# bytes and numbers, never library objects.

def _sketch_task(chunk):
    out = []
    for path, target, size, scale, background in chunk:
        try:
            sketch = _vc.vcUISketch.load(path)
            color = _vc.vcColor(*background)
            if target is None:
                out.append(Result(path, _vc.render(sketch, size=size, scale=scale, background=color)[:, :, 2::-1]
                                  .copy()))
            else:
                _vc.render_to_file(sketch, target, size=size, scale=scale, background=color)
                out.append(Result(path, target))
        except Exception as e:  # reported per item; the batch goes on
            out.append(_failure(path, e))
    return out


def _model_task(chunk):
    out = []
    cache = {}
    for label, model, xform, size, background, target in chunk:
        try:
            if model not in cache:
                cache[model] = _vc.vcSMDGDModel.load(model) if isinstance(model, str) else \
                    _vc.vcSMDGDModel.fromBytes(model)
            a, b, c, d, tx, ty = xform
            image = np.full((size[1], size[0]), background, dtype=np.uint8)
            cache[model].drawSynthetic(_vc.vcXform(_vc.vcMatrix(a, b, c, d), (tx, ty)), image)
            if target is None:
                out.append(Result(label, image))
            else:
                pictures.to_png(image, target)
                out.append(Result(label, target))
        except Exception as e:  # reported per item; the batch goes on
            out.append(_failure(label, e))
    return out


def _xform_numbers(x):
    if isinstance(x, _vc.vcXform):
        m, t = x.matrix(), x.trans()
        return (m.element(0, 0), m.element(0, 1), m.element(1, 0), m.element(1, 1), t[0], t[1])
    numbers = tuple(float(v) for v in x)
    if len(numbers) != 6:
        raise ValueError("a transform is a vcXform or six numbers a, b, c, d, tx, ty")
    return numbers


class _Progress:
    """A one-line bar on the terminal; silent when stderr is not one."""

    def __init__(self, total, enabled):
        self.total, self.done = total, 0
        self.enabled = sys.stderr.isatty() if enabled is None else bool(enabled)

    def advance(self, n):
        self.done += n
        if self.enabled and self.total:
            filled = 30 * self.done // self.total
            sys.stderr.write(f"\r[{'#' * filled}{'.' * (30 - filled)}] {self.done}/{self.total}")
            if self.done >= self.total:
                sys.stderr.write("\n")
            sys.stderr.flush()


def _chunks(items, workers):
    # Enough chunks to keep every worker busy and the bar moving, few enough
    # that the cost of handing out a task stays small beside its work.
    size = max(1, min(64, len(items) // (max(workers, 1) * 8)))
    return [items[i:i + size] for i in range(0, len(items), size)]


def _run(task, items, workers, client, progress):
    # Every item's first field is its label.
    workers = (os.cpu_count() or 1) if workers is None else int(workers)
    if workers < 0:
        raise ValueError("workers must be 0 (this process) or more")
    chunks = _chunks(items, workers if client is None else len(client.scheduler_info().get("workers", {})) or 1)
    bar = _Progress(len(items), progress)
    results = [None] * len(chunks)

    def collect(i, outcome, error=None):
        # A chunk whose worker died reports every item it held.
        results[i] = outcome if error is None else [_failure(item[0], error) for item in chunks[i]]
        bar.advance(len(chunks[i]))

    if client is not None:
        from dask.distributed import as_completed
        futures = client.map(task, chunks, pure=False)
        index = {f.key: i for i, f in enumerate(futures)}
        for future in as_completed(futures):
            try:
                collect(index[future.key], future.result())
            except Exception as e:  # the task itself failed (a lost worker): its items fail, the rest go on
                collect(index[future.key], None, e)
    elif workers == 0:
        for i, chunk in enumerate(chunks):
            collect(i, task(chunk))
    else:
        with concurrent.futures.ProcessPoolExecutor(max_workers=workers) as pool:
            futures = {pool.submit(task, chunk): i for i, chunk in enumerate(chunks)}
            for future in concurrent.futures.as_completed(futures):
                try:
                    collect(futures[future], future.result())
                except Exception as e:  # a worker process died: its items fail, the rest go on
                    collect(futures[future], None, e)
    return [r for chunk in results for r in chunk]


def render_sketches(paths, out_dir=None, *, size=(640, 480), scale=1.0, background=(0, 0, 0), workers=None,
                    client=None, progress=None):
    """Replays each sketch file as vcdraw render does (both layers, the
    overlay composited over the image layer).

    out_dir: write OUT_DIR/<file stem>.png for each and give its path;
    without it each Result holds an RGB (height, width, 3) uint8 array.
    size: (width, height) in pixels; scale: client to pixel scale; background:
    the image layer's (r, g, b). workers: local processes (default: one per
    core; 0 renders in this process); client: a dask.distributed Client to
    run on instead. progress: a bar on stderr (default: when it is a terminal).
    """
    paths = [str(p) for p in paths]
    targets = [None] * len(paths)
    if out_dir is not None:
        out_dir = pathlib.Path(out_dir)
        out_dir.mkdir(parents=True, exist_ok=True)
        targets = [str(out_dir / (pathlib.Path(p).stem + ".png")) for p in paths]
        if len(set(targets)) != len(targets):
            raise ValueError("two sketch files share a stem: their PNG files would overwrite each other")
    items = [(p, t, tuple(size), float(scale), tuple(background)) for p, t in zip(paths, targets)]
    return _run(_sketch_task, items, workers, client, progress)


def render_models(jobs, out_dir=None, *, workers=None, client=None, progress=None):
    """Renders each job (a ModelJob, or a (model, xform, size) tuple) into a
    synthetic 8-bit image.

    out_dir: write OUT_DIR/<name>.png for each and give its path; without it
    each Result holds a (height, width) uint8 array. Results are labelled by
    the job's name, or its index in jobs. workers, client and progress as for
    render_sketches().
    """
    jobs = [j if isinstance(j, ModelJob) else ModelJob(*j) for j in jobs]
    encoded = {}
    items = []
    for i, job in enumerate(jobs):
        label = job.name if job.name is not None else i
        try:
            model = job.model if isinstance(job.model, (str, os.PathLike)) else None
            if model is None:
                # Each distinct model crosses to the workers once per chunk, as its archive bytes.
                if id(job.model) not in encoded:
                    encoded[id(job.model)] = job.model.toBytes()
                model = encoded[id(job.model)]
            target = None
            if out_dir is not None:
                target = str(pathlib.Path(out_dir) / f"{label}.png")
            w, h = (int(v) for v in job.size)
            items.append((label, str(model) if isinstance(model, os.PathLike) else model, _xform_numbers(job.xform),
                          (w, h), int(job.background), target))
        except Exception as e:  # a job that cannot even be described fails alone
            items.append((label, None, None, None, None, _failure(label, e)))
    if out_dir is not None:
        pathlib.Path(out_dir).mkdir(parents=True, exist_ok=True)
    ready = [it for it in items if not isinstance(it[-1], Result)]
    done = iter(_run(_model_task, ready, workers, client, progress))
    return [it[-1] if isinstance(it[-1], Result) else next(done) for it in items]
