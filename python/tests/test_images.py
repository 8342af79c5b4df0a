"""Pixels cross between NumPy and the library without copies, both ways."""
import gc
import os

import numpy as np
import pytest

import vcdisplay as vc


def read_only():
    a = np.zeros((2, 2), np.uint8)
    a.flags.writeable = False
    return a


@pytest.mark.parametrize(
    "make",
    [lambda: np.zeros((3, 5), np.uint8), lambda: np.zeros((7, 9), np.uint8)[2:5, :], lambda: np.zeros((1, 1), np.uint8)],
    ids=["plain", "row-slice", "one-pixel"],
)
def test_a_buffer_over_an_array_reads_and_writes_the_arrays_memory(make):
    a = make()
    buf = vc.vcPelBuffer(a)
    h, w = a.shape
    assert (buf.width(), buf.height(), buf.rowPitch()) == (w, h, a.strides[0])
    buf.setPel(w - 1, h - 1, 200)
    assert a[h - 1, w - 1] == 200
    a[0, 0] = 17
    assert buf.pel(0, 0) == 17
    assert np.shares_memory(buf.array(), a)
    vc.vfPelSet(a, 3)  # an array is accepted where a buffer is, written in place
    assert (a == 3).all()


def test_views_keep_their_memory_alive_and_follow_the_window():
    buf = vc.vcPelBuffer(np.full((4, 4), 9, np.uint8))
    view = np.asarray(vc.vcPelBuffer(6, 2))
    gc.collect()
    assert buf.pel(3, 3) == 9
    view[1, 5] = 1
    assert view.sum() == 1
    win = vc.vcPelBuffer(10, 6)
    win.window(2, 1, 5, 3)
    view = np.asarray(win)
    assert view.shape == (3, 5)
    view[0, 0], view[1, 0] = 42, 43
    assert (win.pel(2, 1), win.pel(2, 2)) == (42, 43)
    assert np.shares_memory(view, win.array())
    with pytest.raises(vc.vcBadArgument):
        win.pel(0, 0)
    back = vc.vcPelBuffer.fromBytes(vc.vcPelBuffer(np.arange(12, dtype=np.uint8).reshape(3, 4)).toBytes())
    assert (np.asarray(back) == np.arange(12).reshape(3, 4)).all()


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
        (read_only(), ValueError),
    ],
    ids=["uint16", "float", "1-d", "3-d", "strided-columns", "transposed", "reversed", "read-only"],
)
def test_arrays_a_buffer_cannot_view_are_refused_not_copied(array, error):
    with pytest.raises(error):
        vc.vcPelBuffer(array)


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
    gray = np.arange(6 * 8, dtype=np.uint8).reshape(6, 8) * 5
    tablet.draw(gray, (0, 0))
    assert (pixels[..., :3] == gray[..., None]).all()


def test_functions_over_buffers_write_straight_into_the_callers_arrays():
    src = np.arange(12, dtype=np.uint8).reshape(3, 4)
    dst = np.zeros((5, 4), np.uint8)[1:4]  # rows of a larger array
    vc.vfPelMap(src, dst, list(range(255, 249, -1)))  # values 0..5 inverted, the rest kept
    assert (dst == np.where(src < 6, 255 - src, src)).all()
    assert (dst.base[0] == 0).all() and (dst.base[4] == 0).all()


@pytest.mark.parametrize("shape", [(0, 5), (5, 0), (0, 0)])
def test_an_empty_array_is_refused_as_empty(shape):
    with pytest.raises(ValueError, match=r"empty image: the array has shape \(\d+, \d+\)"):
        vc.vcPelBuffer(np.zeros(shape, np.uint8))
    with pytest.raises(ValueError, match="empty image"):
        vc.vcSMDGDPoly.rectangle(4, 2, (0, 0)).drawSynthetic(vc.vcXform.I, np.zeros(shape, np.uint8))


def test_a_truncated_png_raises_a_cairo_error(tmp_path):
    good = tmp_path / "good.png"
    vc.vcCairoScope((16, 8)).writePng(str(good))
    for cut in (8, 30, -12):
        (tmp_path / "bad.png").write_bytes(good.read_bytes()[:cut])
        with pytest.raises(vc.vcCairoError):
            vc.read_png(str(tmp_path / "bad.png"))
    # A header asking for more pixels than are read is refused before decoding.
    huge = bytearray(good.read_bytes())
    huge[16:24] = (30000).to_bytes(4, "big") * 2
    (tmp_path / "huge.png").write_bytes(huge)
    with pytest.raises(vc.vcCairoError, match="30000 x 30000"):
        vc.read_png(str(tmp_path / "huge.png"))


def test_files_are_read_only_when_regular_and_within_the_bound(tmp_path):
    """A device would be read forever, a FIFO would block: both are refused."""
    os.symlink("/dev/zero", tmp_path / "zero.vcs")
    os.mkfifo(tmp_path / "fifo.vcs")
    with open(tmp_path / "huge.vcs", "wb") as f:
        f.truncate(2**30 + 1)  # sparse
    for name, says in [("zero", "character device"), ("fifo", "a FIFO"), ("huge", "larger than 1073741824")]:
        with pytest.raises(vc.vcArchiveError, match=says):
            vc.vcUISketch.load(str(tmp_path / f"{name}.vcs"))
        with pytest.raises(vc.vcCairoError, match=says):
            vc.read_png(str(tmp_path / f"{name}.vcs"))
