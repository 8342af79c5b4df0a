"""Objects as pictures (what a notebook shows) and batch rendering: the same
bytes whichever runs the batch, failures reported per item."""
import os
import pathlib
import pickle

import numpy as np
import pytest

import vcdisplay as vc
from vcdisplay import batch
from conftest import BUILD, ROOT


def part():
    pad = vc.vcSMDGDPoly.rectangle(12, 18, (-40, 0))
    colors = pad.colors()
    colors.syntheticDefaultColor = vc.vcColor.white
    pad.colors(colors)
    return vc.vcSMDGDModel([vc.vcSMDGDPoly.rectangle(60, 30, (0, 0)), pad, vc.vcSMDGDPoly.circle(5, (0, -24))], "p")


def sketch():
    tablet = vc.vcUITablet()
    tablet.recordOn().set(True)
    tablet.draw(vc.vcCircle((300, 200), 40), vc.vcGraphicProps(vc.vcColor.yellow, 3), vc.Layers.eOverlay)
    tablet.drawRect((250, 150), (420, 260), vc.vcColor.green, vc.Layers.eImage, True)
    return vc.vcUISketch(tablet.sketch())


def graphics():
    items = vc.vcGraphicList()
    items.append(vc.vcGraphic.makeShapeGraphic(vc.vcCircle((5, 5), 2), vc.vcGraphicProps(vc.vcColor.red, 1)))
    items.append(vc.vcGraphic.makeShapeGraphic(vc.vcRect(8, 1, 6, 3), vc.vcGraphicProps(vc.vcColor.cyan, 1)))
    return items


def decoded(png, tmp_path):
    (tmp_path / "p.png").write_bytes(png)
    return vc.read_png(str(tmp_path / "p.png"))[:, :, 2::-1]


def test_every_kind_shows_itself_fitted_and_not_blank(tmp_path):
    poly = vc.vcSMDGDPoly.rectangle(40, 10, (3, 4))
    scope = vc.vcCairoScope((30, 20))
    tablet = vc.vcUITablet(scope)
    tablet.visible(True)
    tablet.drawRect((2, 2), (12, 12), vc.vcColor.red, vc.Layers.eImage, True)
    # (object, expected size): outlines fit the default side (the part is 76 x 44 units); a sketch keeps its scale.
    cases = [(part(), (480, 278)), (poly, (480, 120)), (vc.vcGenPoly(poly), (480, 120)),
             (vc.vc2Wireframe(vc.vcGenPoly(poly)), (480, 120)), (graphics(), None), (scope, (30, 20)),
             (sketch(), None)]
    for obj, size in cases:
        picture = decoded(obj._repr_png_(), tmp_path)
        if size is not None:
            assert picture.shape[:2] == (size[1], size[0]), type(obj)
        assert len(np.unique(picture.reshape(-1, 3), axis=0)) >= 2, type(obj)
    # The sketch's content (a 170 x 110 pixel box with a circle over it) is framed at scale 1 with a margin.
    h, w = decoded(sketch()._repr_png_(), tmp_path).shape[:2]
    assert 170 < w < 220 and 110 < h < 150
    assert (decoded(scope._repr_png_(), tmp_path)[5, 5] == (255, 0, 0)).all()


def test_explicit_size_and_xform_draw_exactly_what_the_library_draws():
    model, x = part(), vc.vcXform(vc.vcMatrix(2, 0, 0, 2), (100, 60))
    direct = np.full((120, 200), vc.pictures.SYNTHETIC_BACKGROUND, dtype=np.uint8)
    model.drawSynthetic(x, direct)
    assert (model.to_array(size=(200, 120), xform=x, kind="synthetic") == direct).all()
    overlay = model.to_array(size=(200, 120), xform=x)
    assert overlay.shape == (120, 200, 3) and (overlay[60, 100] == direct[60, 100]).all()  # inside the body
    with pytest.raises(vc.vcBadArgument, match="kind"):
        model.to_array(kind="outline")
    with pytest.raises(vc.vcBadArgument, match="size"):
        model.to_array(size=(0, 5))
    with pytest.raises(vc.vcBadArgument):
        vc.encode_png(np.zeros((4, 4, 2), dtype=np.uint8))


def test_archivable_objects_pickle_through_their_archive_bytes():
    model = part()
    assert pickle.loads(pickle.dumps(model)) == model
    s = sketch()
    assert pickle.loads(pickle.dumps(s)) == s


def one_by_one(jobs):
    out = []
    for model, x, (w, h) in jobs:
        image = np.full((h, w), vc.pictures.SYNTHETIC_BACKGROUND, dtype=np.uint8)
        model.drawSynthetic(x, image)
        out.append(image)
    return out


def poses(n=10):
    model = part()
    return [(model, vc.vcXform(vc.vcMatrix(1.5, 0, 0, 1.5), (64, 40)) * vc.vcXform.rotation(vc.vcDegree(17 * i)),
             (128, 80)) for i in range(n)]


@pytest.mark.parametrize("workers", [0, 2])
def test_local_batches_equal_one_by_one_rendering(workers, tmp_path):
    jobs = poses()
    results = batch.render_models(jobs, workers=workers, progress=False)
    assert [r.item for r in results] == list(range(len(jobs)))
    for r, expected in zip(results, one_by_one(jobs)):
        assert r.ok and r.value.tobytes() == expected.tobytes()


def test_a_dask_cluster_gives_the_same_bytes_and_reports_failures_per_item(tmp_path):
    distributed = pytest.importorskip("distributed")
    jobs = poses(6)
    bad = tmp_path / "bad.vcm"
    bad.write_bytes(b"\x07not a model")
    jobs_with_failure = jobs[:3] + [(str(bad), jobs[0][1], (128, 80))] + jobs[3:]
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=False, dashboard_address=None) as c, \
            distributed.Client(c) as client:
        results = batch.render_models(jobs_with_failure, client=client, progress=False)
    expected = one_by_one(jobs)
    assert [r.ok for r in results] == [True] * 3 + [False] + [True] * 3
    assert "bad.vcm" in results[3].error or "vcArchiveError" in results[3].error
    good = [r.value.tobytes() for r in results if r.ok]
    assert good == [e.tobytes() for e in expected]


def test_a_corrupt_sketch_file_is_reported_and_the_rest_rendered(tmp_path):
    files = []
    for i in range(3):
        s = sketch()
        files.append(tmp_path / f"s{i}.vcs")
        s.save(str(files[-1]))
    (tmp_path / "broken.vcs").write_bytes(files[0].read_bytes()[:-3])
    files.insert(1, tmp_path / "broken.vcs")
    results = batch.render_sketches(files, tmp_path / "out", size=(480, 300), workers=2, progress=False)
    assert [r.ok for r in results] == [True, False, True, True]
    assert results[1].item == str(files[1]) and "vcArchiveError" in results[1].error
    vc.render_to_file(sketch(), str(tmp_path / "direct.png"), size=(480, 300))
    assert pathlib.Path(results[0].value).read_bytes() == (tmp_path / "direct.png").read_bytes()
    arrays = batch.render_sketches(files[:1], size=(480, 300), workers=0, progress=False)
    assert (arrays[0].value == vc.render(sketch(), size=(480, 300))[:, :, 2::-1]).all()


def test_the_example_notebook_runs_and_shows_its_pictures(monkeypatch):
    nbformat = pytest.importorskip("nbformat")
    nbclient = pytest.importorskip("nbclient")
    notebook = nbformat.read(str(ROOT / "examples" / "python" / "tour.ipynb"), as_version=4)
    # The kernel inherits the environment: it imports the package of this build.
    monkeypatch.setenv("PYTHONPATH", str(BUILD / "python"))
    nbclient.NotebookClient(notebook, timeout=300, kernel_name="python3").execute()
    pictures = [o for cell in notebook.cells if cell.cell_type == "code" for o in cell.outputs
                if "image/png" in o.get("data", {})]
    assert len(pictures) == 5
