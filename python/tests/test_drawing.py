"""Tablets and graphic lists: what is drawn is kept alive, shared or copied as
asked, and long calls run without the GIL."""
import gc
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest

import vcdisplay as vc


def test_a_kid_tablet_keeps_its_parent_and_the_scopes_alive():
    scope = vc.vcCairoScope((32, 32))
    pixels = scope.surfaceArray()  # keeps the scope, not the tablets
    parent = vc.vcUITablet(scope)
    kid = vc.vcUITablet(parent, vc.vcUIRect(8, 8, 16, 16))
    parent.visible(True)
    kid.visible(True)
    del scope, parent
    gc.collect()
    kid.set(vc.vcColor.red, vc.Layers.eImage)
    red = (pixels[..., :3] == (0, 0, 255)).all(axis=2)
    assert red[8:24, 8:24].all() and red.sum() == 16 * 16


def test_an_image_array_may_die_before_the_sketch_that_recorded_it(recording):
    image = np.arange(16, dtype=np.uint8).reshape(4, 4)
    recording.draw(image, (0, 0))
    del image
    gc.collect()
    drawn = vc.render(recording.sketch(), size=(4, 4), layer=vc.Layers.eImage)
    assert (drawn[..., 0] == np.arange(16).reshape(4, 4)).all()


def test_renders_in_threads_give_the_same_pixels(recording):
    for i in range(40):
        recording.drawCircle((50 + i, 40), 10 + i, vc.vcColor(i * 6, 255 - i * 6, 128), vc.Layers.eImage, i % 2 == 0)
    sketch = recording.sketch()
    expect = vc.render(sketch, size=(160, 120))
    with ThreadPoolExecutor(4) as pool:
        results = list(pool.map(lambda _: vc.render(sketch, size=(160, 120)), range(8)))
    assert all((r == expect).all() for r in results)


def test_appending_shares_and_copy_clones():
    g = vc.vcGraphic.makeShapeGraphic(vc.vcCircle((0, 0), 1), vc.vcGraphicProps())
    items = vc.vcGraphicList()
    items.append(g)
    items.append(g, copy=True)
    g.color = vc.vcColor.red
    assert [x.color for x in items] == [vc.vcColor.red, vc.vcGraphicProps().penColor]


def test_a_list_draws_what_its_sketch_replays_and_survives_its_archive_form():
    items = vc.vcGraphicList()
    props = vc.vcGraphicProps(vc.vcColor.cyan, 2)
    for shape in [vc.vcCircle((20, 20), 8), vc.vcRect(5, 5, 30, 10), vc.vcGenPoly(vc.vcSMDGDPoly.rectangle(10, 6, (30, 30)))]:
        items.append(vc.vcGraphic.makeShapeGraphic(shape, props))
    direct, replayed = vc.vcCairoScope((64, 48)), vc.vcCairoScope((64, 48))
    for scope in (direct, replayed):
        tablet = vc.vcUITablet(scope)
        tablet.visible(True)
        if scope is direct:
            items.draw(tablet, vc.Layers.eImage)
        else:
            tablet.draw(items.sketch(vc.Layers.eImage), (0, 0), vc.Layers.eImage)
    assert (direct.surfaceArray() == replayed.surfaceArray()).all()
    assert (direct.surfaceArray()[..., :3] != 0).any()
    back = vc.vcGraphicList.fromBytes(items.toBytes())
    assert back.sketch(vc.Layers.eImage) == items.sketch(vc.Layers.eImage)
    with pytest.raises(vc.vcArchiveError):
        vc.vcGraphicList.fromBytes(items.toBytes()[:-3])
