"""Pixels cross between NumPy and the library without copies, both ways."""
import gc

import numpy as np
import pytest

import vcdisplay as vc


def parent_of(view):
    """The memory a view ultimately covers (its base chain's last array)."""
    while isinstance(view.base, np.ndarray):
        view = view.base
    return view


@pytest.mark.parametrize(
    "make",
    [
        lambda: np.zeros((3, 5), np.uint8),
        lambda: np.zeros((7, 9), np.uint8)[2:5, :],  # rows of a larger array: pitch 9
        lambda: np.zeros((1, 1), np.uint8),
        lambda: np.arange(64 * 3, dtype=np.uint8).reshape(3, 64),
    ],
    ids=["plain", "row-slice", "one-pixel", "aligned"],
)
def test_a_buffer_over_an_array_reads_and_writes_the_arrays_memory(make):
    a = make()
    buf = vc.vcPelBuffer(a)
    h, w = a.shape
    assert (buf.width(), buf.height()) == (w, h)
    assert buf.rowPitch() == a.strides[0]
    buf.setPel(w - 1, h - 1, 200)
    assert a[h - 1, w - 1] == 200
    a[0, 0] = 17
    assert buf.pel(0, 0) == 17
    view = buf.array()
    assert np.shares_memory(view, a)
    buf.fill(3)
    assert (a == 3).all()


def test_the_buffer_keeps_the_array_alive_and_the_array_view_keeps_the_buffer():
    buf = vc.vcPelBuffer(np.full((4, 4), 9, np.uint8))
    gc.collect()
    assert buf.pel(3, 3) == 9
    view = np.asarray(vc.vcPelBuffer(6, 2))
    gc.collect()
    view[1, 5] = 1
    assert view.shape == (2, 6) and view.sum() == 1


def test_a_buffers_own_pixels_are_viewed_through_its_window():
    buf = vc.vcPelBuffer(10, 6)
    buf.window(2, 1, 5, 3)
    view = np.asarray(buf)
    assert view.shape == (3, 5)
    view[0, 0] = 42
    assert buf.pel(2, 1) == 42
    assert np.shares_memory(view, buf.array())
    with pytest.raises(vc.vcBadArgument):
        buf.pel(0, 0)


@pytest.mark.parametrize(
    "array, error",
    [
        (np.zeros((3, 4), np.uint16), TypeError),
        (np.zeros((3, 4), np.float32), TypeError),
        (np.zeros(12, np.uint8), ValueError),
        (np.zeros((3, 4, 4), np.uint8), ValueError),
        (np.zeros((3, 8), np.uint8)[:, ::2], ValueError),  # columns not contiguous
        (np.zeros((4, 3), np.uint8).T, ValueError),
        (np.zeros((3, 4), np.uint8)[::-1], ValueError),  # negative row stride
    ],
    ids=["uint16", "float", "1-d", "3-d", "strided-columns", "transposed", "reversed"],
)
def test_arrays_a_buffer_cannot_view_are_refused_not_copied(array, error):
    with pytest.raises(error):
        vc.vcPelBuffer(array)


def test_a_read_only_array_is_refused():
    a = np.zeros((2, 2), np.uint8)
    a.flags.writeable = False
    with pytest.raises(ValueError):
        vc.vcPelBuffer(a)


def test_the_cairo_surface_array_is_the_surface_the_scope_draws_on():
    scope = vc.vcCairoScope((8, 6))
    pixels = scope.surfaceArray()
    assert pixels.shape == (6, 8, 4) and pixels.dtype == np.uint8
    tablet = vc.vcUITablet(scope)
    tablet.visible(True)
    tablet.set(vc.vcColor(10, 20, 30), vc.vcUITablet.eImage)
    # The view taken before drawing shows the new pixels: B, G, R, A.
    assert (pixels[..., :3] == (30, 20, 10)).all()
    assert scope.argb(7, 5) == 0xFF0A141E


def test_an_image_array_drawn_on_a_tablet_lands_pixel_for_pixel():
    gray = (np.arange(6 * 8, dtype=np.uint8).reshape(6, 8) * 5)
    rgb = np.zeros((6, 8, 4), np.uint8)
    rgb[..., 2] = 255  # red
    for image, expect in [(gray, np.repeat(gray[..., None], 3, axis=2)), (rgb, rgb[..., :3])]:
        scope = vc.vcCairoScope((8, 6))
        tablet = vc.vcUITablet(scope)
        tablet.visible(True)
        tablet.draw(image, (0, 0))
        assert (scope.surfaceArray()[..., :3] == expect).all()


def test_the_archive_form_of_a_viewed_array_round_trips_its_pixels():
    a = np.arange(12, dtype=np.uint8).reshape(3, 4)
    back = vc.vcPelBuffer.fromBytes(vc.vcPelBuffer(a).toBytes())
    assert (np.asarray(back) == a).all()
    assert not np.shares_memory(np.asarray(back), a)


def test_functions_over_buffers_write_straight_into_the_callers_arrays():
    src = np.arange(12, dtype=np.uint8).reshape(3, 4)
    dst = np.zeros((5, 4), np.uint8)[1:4]  # rows of a larger array
    lut = list(range(255, 249, -1))  # values 0..5 inverted, the rest kept
    vc.vfPelMap(src, dst, lut)
    assert (dst == np.where(src < 6, 255 - src, src)).all()
    assert (dst.base[0] == 0).all() and (dst.base[4] == 0).all()
    vc.vfPelMap(src, src, [9] * 12)  # in place
    assert (src == 9).all()
    vc.vfPelSet(dst, 7)
    assert (dst == 7).all()


@pytest.mark.parametrize("cut", [0, 8, 33, -12])
def test_a_truncated_png_raises_a_cairo_error(tmp_path, cut):
    good = tmp_path / "good.png"
    vc.vcCairoScope((16, 8)).writePng(str(good))
    bad = tmp_path / "bad.png"
    bad.write_bytes(good.read_bytes()[:cut])
    with pytest.raises(vc.vcCairoError):
        vc.read_png(str(bad))
