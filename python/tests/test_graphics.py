"""Graphic lists: shared or copied items, drawing and archiving."""
import pytest

import vcdisplay as vc


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
