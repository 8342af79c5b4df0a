"""SMD models, poly utilities and synthetic rendering from Python: rendering
writes the caller's array itself, models survive their archive form, and
crops and utilities give what the geometry says."""
import threading

import numpy as np
import pytest

import vcdisplay as vc


def component():
    """A body with a rounded pad and a round marker, each poly its own grey."""
    body = vc.vcSMDGDPoly.rectangle(40, 20, (0, 0))
    pad = vc.vcSMDGDPoly([vc.vcSMDGDPolyVertex(p, 2.0, 0.5, 0.5, -1) for p in [(25, -6), (15, -6), (15, 6), (25, 6)]])
    marker = vc.vcSMDGDPoly.circle(3, (-12, 0))
    for poly, color in [(pad, vc.vcColor.white), (marker, vc.vcColor(30, 60, 90))]:
        colors = poly.colors()
        colors.syntheticDefaultColor = color
        poly.colors(colors)
    return vc.vcSMDGDModel([body, pad, marker], "component")


TO_IMAGE = vc.vcXform(vc.vcMatrix(3, 0, 0, -3), (100, 60))  # client mm, y up -> pixels, y down


class Affine(vc.vc2XformBase):
    """An affine map offered through the non-linear interface."""

    def __init__(self, x):
        super().__init__()
        self.x = x

    def mapPoint(self, p):
        return self.x.mapPoint(p)

    def linearXform(self, at):
        return self.x

    def isLinear(self):
        return False  # makes the renderer follow the outline piece by piece


class Swirl(Affine):
    """A genuinely non-linear map: a rotation that grows with the radius."""

    def mapPoint(self, p):
        r = np.hypot(*p)
        c, s = np.cos(r / 200), np.sin(r / 200)
        return self.x.mapPoint((c * p[0] - s * p[1], s * p[0] + c * p[1]))

    def linearXform(self, at):
        h = 1e-4
        p0 = self.mapPoint(at)
        dx = (np.subtract(self.mapPoint((at[0] + h, at[1])), p0)) / h
        dy = (np.subtract(self.mapPoint((at[0], at[1] + h)), p0)) / h
        m = vc.vcMatrix(dx[0], dy[0], dx[1], dy[1])
        return vc.vcXform(m, np.subtract(p0, m * vc.vcVector(*at)))


def rendered_by_the_library(draw, shape=(120, 200)):
    """The same rendering into a buffer the library allocates itself."""
    buf = vc.vcPelBuffer(shape[1], shape[0])
    draw(buf)
    return np.asarray(buf).copy()


@pytest.mark.parametrize(
    "draw",
    [
        lambda img: component().drawSynthetic(TO_IMAGE, img),
        lambda img: component().poly(1).drawSynthetic(TO_IMAGE, img),
        lambda img: component().drawSynthetic(Affine(TO_IMAGE), img),
        lambda img: vc.vcSMDGDPolyPrivate.drawSynthetic(component().poly(2), TO_IMAGE, img, 77, True, True),
        lambda img: vc.vcSMDGDPolyPrivate.drawSynthetic(component().poly(0), Swirl(TO_IMAGE), img, 50, False, False),
        lambda img: vc.vfDrawSynthetic(vc.vcGenPoly(component().poly(1)), TO_IMAGE, img, 200),
        lambda img: vc.vfDrawSynthetic(vc.vcGenPoly(component().poly(0)), Swirl(TO_IMAGE), img, 99),
    ],
    ids=["model", "poly", "model-handle", "private", "private-handle", "genpoly", "genpoly-handle"],
)
def test_rendering_writes_the_callers_array_as_the_library_writes_its_own_buffer(draw):
    expected = rendered_by_the_library(draw)
    assert expected.any()
    # Rows of a larger array: only the viewed rows may change, the array object itself is written.
    parent = np.full((124, 200), 0, np.uint8)
    rows = parent[2:122]
    address = rows.__array_interface__["data"][0]
    draw(rows)
    assert rows.__array_interface__["data"][0] == address
    assert (rows == expected).all()
    assert not parent[:2].any() and not parent[122:].any()
    # A buffer viewing the array writes the same memory.
    again = np.zeros((120, 200), np.uint8)
    draw(vc.vcPelBuffer(again))
    assert (again == expected).all()


def test_a_model_fills_each_poly_with_the_grey_of_its_synthetic_color():
    image = np.zeros((120, 200), np.uint8)
    model = component()
    model.drawSynthetic(TO_IMAGE, image)
    grey = vc.vcSMDColors.colorToGrayScale
    assert grey(vc.vcColor(30, 60, 90)) == 60 and grey(vc.vcColor.white) == 250
    # Pixel centres well inside each poly: the colors set from Python reach the renderer.
    for point, poly in [((-5, 8), 0), ((20, 0), 1), ((-12, 0), 2)]:
        x, y = TO_IMAGE.mapPoint(point)
        assert image[int(y), int(x)] == grey(model.poly(poly).colors().syntheticDefaultColor)


def test_python_transforms_are_called_back_safely_from_renders_in_threads():
    images = [np.zeros((120, 200), np.uint8) for _ in range(4)]
    threads = [threading.Thread(target=component().drawSynthetic, args=(Swirl(TO_IMAGE), img)) for img in images]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert images[0].any() and all((img == images[0]).all() for img in images)


@pytest.mark.parametrize(
    "image, error",
    [
        (np.zeros((4, 4), np.int16), TypeError),
        (np.zeros((4, 4, 3), np.uint8), ValueError),
        (np.zeros((4, 8), np.uint8)[:, ::2], ValueError),
        ([[0, 0], [0, 0]], TypeError),
    ],
    ids=["dtype", "channels", "strided", "list"],
)
def test_images_that_cannot_be_written_in_place_are_refused(image, error):
    with pytest.raises(error):
        component().drawSynthetic(TO_IMAGE, image)
    with pytest.raises(error):
        vc.vfDrawSynthetic(vc.vcGenPoly(component().poly(0)), TO_IMAGE, image, 1)


def test_a_failing_python_transform_raises_its_own_exception():
    class Broken(Affine):
        def mapPoint(self, p):
            raise KeyError("no map here")

    with pytest.raises(KeyError):
        component().drawSynthetic(Broken(TO_IMAGE), np.zeros((8, 8), np.uint8))


def test_segment_functions_write_the_array_and_report_the_arcs_ends():
    image = np.zeros((20, 20), np.uint8)
    vc.drawLinePelBuf(image, vc.vc2SegmentLine((3, 10.5), (17, 10.5)), vc.vcXform.I, 200, 0)
    assert (image[10, 3:17] == 200).all() and image.sum() == image[10].sum()
    arc = vc.vc2SegmentArc((10, 10), 5, vc.vcDegree(0), vc.vcDegree(90))
    ends = vc.drawArcPelBuf(image, arc, vc.vcXform.I, 250, 1)
    assert ends == pytest.approx((15, 10, 10, 15))
    marks = np.zeros((20, 20), np.uint8)
    vc.drawHorizontalExtentsPelBuf(marks, vc.vc2SegmentLine((5.5, 2), (5.5, 8)), vc.vcXform.I, 9)
    assert (np.flatnonzero(marks[:, 5]) == np.arange(2, 8)).all()


def test_a_model_survives_its_archive_form_and_malformed_input_raises(tmp_path):
    model = component()
    data = model.toBytes()
    back = vc.vcSMDGDModel.fromBytes(data)
    assert back == model and back.name() == "component"
    assert [p.colors() for p in back] == [p.colors() for p in model]
    model.save(str(tmp_path / "m.bin"))
    assert vc.vcSMDGDModel.load(str(tmp_path / "m.bin")) == model
    # Truncations, trailing bytes, and a poly's archive form where a model is expected.
    for bad in [data[:cut] for cut in (0, 1, len(data) // 2, len(data) - 1)] + [data + b"\0", model.poly(0).toBytes()]:
        with pytest.raises(vc.vcArchiveError):
            vc.vcSMDGDModel.fromBytes(bad)
        (tmp_path / "bad.bin").write_bytes(bad)
        with pytest.raises(vc.vcArchiveError):
            vc.vcSMDGDModel.load(str(tmp_path / "bad.bin"))


def corners(poly):
    return sorted(tuple(round(c, 9) for c in v.point) for v in poly.vertices())


def test_crop_takes_a_poly_or_a_polygon_and_returns_a_model():
    model = vc.vcSMDGDModel([vc.vcSMDGDPoly.rectangle(4, 2, (0, 0))])
    right = vc.vcSMDGDPoly.rectangle(10, 10, (5, 0))  # x in [0, 10]
    inside = vc.vcSMDGDModelPrivate.crop(model, right, True)
    assert isinstance(inside, vc.vcSMDGDModel)
    assert [corners(p) for p in inside] == [[(0, -1), (0, 1), (2, -1), (2, 1)]]
    polygon = vc.vcPolygon([(0, -5), (10, -5), (10, 5), (0, 5)])
    assert vc.vcSMDGDModelPrivate.crop(model, polygon, True) == inside
    assert vc.vcSMDGDPolyPrivate.crop(right, model.poly(0), True) == inside
    assert vc.vcSMDGDModelPrivate.crop(model, right, False) != inside


def test_list_utilities_return_new_lists_and_in_place_editors_edit_the_argument():
    P = vc.vcSMDGDPolyPrivate
    small, large = vc.vcSMDGDPoly.rectangle(1, 1, (0, 0)), vc.vcSMDGDPoly.rectangle(5, 5, (9, 0))
    chain = vc.vcSMDGDPoly([vc.vcSMDGDPolyVertex(p) for p in [(0, 0), (2, 0), (2, 1)]], closed=False)
    polys = [small, large, chain]
    assert P.perimeterFilter(polys, vc.vcRange(3.9, 4.1)) == [small]  # perimeter 4
    assert P.closureFilter(polys, True, False) == [chain]
    assert polys == [small, large, chain]
    (piece,) = P.deleteSegments(small, [0])
    assert piece.isOpen() and corners(piece) == corners(small)
    with pytest.raises(vc.vcSMDGDPolyError):
        P.deleteSegments(small, [7])
    closed = vc.vcSMDGDPoly(chain.vertices(), closed=False)
    P.closeRectilinear(closed)
    assert closed.isClosed() and closed.numVertices() == 4 and chain.isOpen()
    assert P.reversePoly(P.reversePoly(chain)) == chain


def test_model_operators_and_errors_are_bound():
    model = component()
    assert len(model) == model.numPolys() == 3 and list(model)[1] == model.poly(1)
    assert model.boundingBox() == vc.vcSMDGDModelPrivate.boundingBox(model, vc.vcXform.I)
    assert (vc.vc2Rigid(vc.vcRadian(0), (5, 0)) * model).boundingBox().x() == pytest.approx(-15)
    assert (2 * model).boundingBox().width() == pytest.approx(90)
    assert [p.vertex(0).point.y for p in model.flip()] == [-p.vertex(0).point.y for p in model]
    assert vc.vcSMDGDModelPrivate.corner(model, 0, 0, True).numPolys() == 1
    with pytest.raises(vc.vcSMDGDModelError):
        vc.vcSMDGDModelPrivate.corner(model, 5, 0, True)


def test_wireframes_and_arrows_are_drawn_and_recorded(recording):
    model = component()
    model.drawWireframe(vc.vcXform.I, recording)
    vc.vcSMDGDModelPrivate.drawNegWireframe(model, vc.vcXform.I, recording)
    model.drawDirectionArrows(vc.vcXform.I, recording)
    assert len(list(recording.sketch())) > 3 * model.numPolys()
    items = vc.vcGraphicList()
    model.poly(0).drawDirectionArrows(vc.vcXform.I, items, 1.0)
    assert len(items) == 5 * model.poly(0).numSegments()
