"""SMD models, poly utilities and synthetic rendering from Python: rendering
writes the caller's array itself, Python transforms are called back safely,
models survive their archive form, and each overload is reachable."""
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


@pytest.mark.parametrize(
    "draw",
    [
        lambda img: component().drawSynthetic(TO_IMAGE, img),
        lambda img: component().drawSynthetic(Affine(TO_IMAGE), img),
        lambda img: component().poly(1).drawSynthetic(TO_IMAGE, img),
        lambda img: vc.vcSMDGDPolyPrivate.drawSynthetic(component().poly(2), TO_IMAGE, img, 77, True, True),
        lambda img: vc.vfDrawSynthetic(vc.vcGenPoly(component().poly(0)), Swirl(TO_IMAGE), img, 99),
    ],
    ids=["model", "model-handle", "poly", "private", "genpoly-handle"],
)
def test_rendering_writes_the_callers_array_as_the_library_writes_its_own_buffer(draw):
    buf = vc.vcPelBuffer(200, 120)
    draw(buf)
    expected = np.asarray(buf).copy()
    assert expected.any()
    # Rows of a larger array: only the viewed rows change, in the array object itself.
    parent = np.zeros((124, 200), np.uint8)
    rows = parent[2:122]
    address = rows.__array_interface__["data"][0]
    draw(rows)
    assert rows.__array_interface__["data"][0] == address
    assert (rows == expected).all()
    assert not parent[:2].any() and not parent[122:].any()


def test_python_transforms_are_called_back_safely_from_renders_in_threads():
    images = [np.zeros((120, 200), np.uint8) for _ in range(4)]
    threads = [threading.Thread(target=component().drawSynthetic, args=(Swirl(TO_IMAGE), img)) for img in images]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert all((img == images[0]).all() for img in images)
    # Each poly gets the grey of the synthetic color set from Python.
    grey = vc.vcSMDColors.colorToGrayScale
    for point, color in [((20, 0), vc.vcColor.white), ((-12, 0), vc.vcColor(30, 60, 90))]:
        x, y = Swirl(TO_IMAGE).mapPoint(point)
        assert images[0][int(y), int(x)] == grey(color)

    class Broken(Affine):
        def mapPoint(self, p):
            raise KeyError("no map here")

    with pytest.raises(KeyError):
        component().drawSynthetic(Broken(TO_IMAGE), np.zeros((8, 8), np.uint8))


@pytest.mark.parametrize(
    "method, value, must",
    [
        ("mapPoint", None, "a point"),
        ("mapPoint", "here", "a point"),
        ("linearXform", None, "a vcXform"),
        ("linearXform", (1, 2), "a vcXform"),
        ("isLinear", None, "a bool"),
        ("isLinear", 1, "a bool"),
    ],
)
def test_a_python_transform_returning_the_wrong_type_says_which_method_returned_what(method, value, must):
    # The renderer asks linearXform only of a transform that says it is linear.
    methods = {"isLinear": lambda self: True} if method == "linearXform" else {}
    wrong = type("Wrong", (Affine,), {**methods, method: lambda self, *args: value})
    image = np.zeros((120, 200), np.uint8)
    with pytest.raises(TypeError) as e:
        component().drawSynthetic(wrong(TO_IMAGE), image)
    assert f"Wrong.{method}() returned {value!r}; it must return {must}" in str(e.value)
    assert not image.any()  # refused before anything was drawn


def test_segment_functions_write_the_array_and_report_the_arcs_ends():
    image = np.zeros((20, 20), np.uint8)
    vc.drawLinePelBuf(image, vc.vc2SegmentLine((3, 10.5), (17, 10.5)), vc.vcXform.I, 200, 0)
    assert (image[10, 3:17] == 200).all() and image.sum() == image[10].sum()
    arc = vc.vc2SegmentArc((10, 10), 5, vc.vcDegree(0), vc.vcDegree(90))
    assert vc.drawArcPelBuf(image, arc, vc.vcXform.I, 250, 1) == pytest.approx((15, 10, 10, 15))
    vc.drawHorizontalExtentsPelBuf(image, vc.vc2SegmentLine((5.5, 2), (5.5, 8)), vc.vcXform.I, 9)
    assert (np.flatnonzero(image[:10, 5] == 9) == np.arange(2, 8)).all()


def test_a_model_survives_its_archive_form_and_malformed_input_raises(tmp_path):
    model = component()
    data = model.toBytes()
    back = vc.vcSMDGDModel.fromBytes(data)
    assert back == model and [p.colors() for p in back] == [p.colors() for p in model]
    model.save(str(tmp_path / "m.bin"))
    assert vc.vcSMDGDModel.load(str(tmp_path / "m.bin")) == model
    for bad in [data[:1], data[:-1], data + b"\0", model.poly(0).toBytes()]:
        with pytest.raises(vc.vcArchiveError):
            vc.vcSMDGDModel.fromBytes(bad)
    (tmp_path / "bad.bin").write_bytes(data + b"\0")
    with pytest.raises(vc.vcArchiveError):
        vc.vcSMDGDModel.load(str(tmp_path / "bad.bin"))


def test_poly_and_model_utilities_take_each_overload_and_return_new_values():
    P, M = vc.vcSMDGDPolyPrivate, vc.vcSMDGDModelPrivate
    model = vc.vcSMDGDModel([vc.vcSMDGDPoly.rectangle(4, 2, (0, 0))])
    right = vc.vcSMDGDPoly.rectangle(10, 10, (5, 0))  # x in [0, 10]
    inside = M.crop(model, right, True)
    assert isinstance(inside, vc.vcSMDGDModel) and inside.numPolys() == 1
    assert M.crop(model, vc.vcPolygon([(0, -5), (10, -5), (10, 5), (0, 5)]), True) == inside
    assert P.crop(right, model.poly(0), True) == inside
    small = vc.vcSMDGDPoly.rectangle(1, 1, (0, 0))
    chain = vc.vcSMDGDPoly([vc.vcSMDGDPolyVertex(p) for p in [(0, 0), (2, 0), (2, 1)]], closed=False)
    polys = [small, chain]
    assert P.perimeterFilter(polys, vc.vcRange(3.9, 4.1)) == [small] and P.closureFilter(polys, True, False) == [chain]
    assert polys == [small, chain] and P.reversePoly(P.reversePoly(chain)) == chain
    with pytest.raises(vc.vcSMDGDPolyError):
        P.deleteSegments(small, [7])
    closed = vc.vcSMDGDPoly(chain.vertices(), closed=False)
    P.closeRectilinear(closed)  # edits its argument
    assert closed.isClosed() and chain.isOpen()
    two = component()
    assert len(two) == 3 and list(two)[1] == two.poly(1)
    assert (vc.vc2Rigid(vc.vcRadian(0), (5, 0)) * two).boundingBox().x() == pytest.approx(-15)
    assert (2 * two).boundingBox().width() == pytest.approx(90) and M.corner(two, 0, 0, True).numPolys() == 1


def test_wireframes_and_arrows_are_drawn_and_recorded(recording):
    model = component()
    model.drawWireframe(vc.vcXform.I, recording)
    vc.vcSMDGDModelPrivate.drawNegWireframe(model, vc.vcXform.I, recording)
    model.drawDirectionArrows(vc.vcXform.I, recording)
    assert len(list(recording.sketch())) > 3 * model.numPolys()
    items = vc.vcGraphicList()
    model.poly(0).drawDirectionArrows(vc.vcXform.I, items, 1.0)
    assert len(items) == 5 * model.poly(0).numSegments()
