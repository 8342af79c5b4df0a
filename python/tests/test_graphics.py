"""Graphic lists: shared or copied items, drawing, recording and archiving."""
import pytest

import vcdisplay as vc


def sample_list():
    items = vc.vcGraphicList()
    props = vc.vcGraphicProps(vc.vcColor.cyan, 2)
    for shape in [vc.vcCircle((20, 20), 8), vc.vcRect(5, 5, 30, 10), vc.vcLineSeg((0, 0), (40, 30)),
                  vc.vcGenPoly(vc.vcSMDGDPoly.rectangle(10, 6, (30, 30)))]:
        items.append(vc.vcGraphic.makeShapeGraphic(shape, props))
    return items


def test_appending_shares_and_copy_clones():
    g = vc.vcGraphic.makeShapeGraphic(vc.vcCircle((0, 0), 1), vc.vcGraphicProps())
    items = vc.vcGraphicList()
    items.append(g)
    items.append(g, copy=True)
    g.color = vc.vcColor.red
    assert [x.color for x in items] == [vc.vcColor.red, vc.vcGraphicProps().penColor]


def test_a_list_draws_what_its_sketch_replays():
    items = sample_list()
    assert len(items) == 4 and items[-1] is not None
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


def test_the_archive_form_keeps_every_graphic():
    items = sample_list()
    back = vc.vcGraphicList.fromBytes(items.toBytes())
    assert [g.className() for g in back] == [g.className() for g in items]
    assert back.sketch(vc.Layers.eImage) == items.sketch(vc.Layers.eImage)
    with pytest.raises(vc.vcArchiveError):
        vc.vcGraphicList.fromBytes(items.toBytes()[:-3])
