"""Pictures of the library's objects as NumPy arrays and PNG bytes.

to_array(obj) and to_png(obj) draw a sketch, an SMD model or poly, a
generalised polygon or wireframe, a graphic list or a Cairo scope; each of
these classes also has them as methods, and _repr_png_, through which Jupyter
shows the object inline. Without a size the picture fits the content's bounds
with a margin, its longest side DEFAULT_SIDE pixels; without a transform the
content is scaled and centred into the picture. Pictures are RGB (height,
width, 3) uint8 arrays, except synthetic images, which are grey (height, width).
"""
import numpy as np

from . import _vcdisplay as _vc

DEFAULT_SIDE = 480
# The share of each side kept free around fitted content.
MARGIN = 0.06
# Grey level behind synthetic images (0 to 255).
SYNTHETIC_BACKGROUND = 40

_OUTLINES = (_vc.vcSMDGDModel, _vc.vcSMDGDPoly, _vc.vcGenPoly)
KINDS = ("overlay", "wireframe", "synthetic")


def _bounds(obj):
    """The content's bounding box (x0, y0, x1, y1) in its own coordinates."""
    if isinstance(obj, _vc.vcUISketch):
        return _sketch_bounds(obj)
    if isinstance(obj, _vc.vcGraphicList):
        boxes = [g.encloseRect() for g in obj if g is not None]
    elif isinstance(obj, _vc.vcGenPoly):
        boxes = [obj.encloseRect()]
    else:
        boxes = [obj.boundingBox()]
    corners = [(b.origin()[0], b.origin()[1], b.size()[0], b.size()[1]) for b in boxes]
    corners = [(x, y, x + w, y + h) for x, y, w, h in corners if w > 0 or h > 0]
    if not corners:
        return 0.0, 0.0, 1.0, 1.0
    box = np.array(corners, dtype=float)
    if not np.isfinite(box).all():
        raise _vc.vcBadArgument("the content has no finite bounds to fit a picture to")
    return box[:, 0].min(), box[:, 1].min(), box[:, 2].max(), box[:, 3].max()


def _sketch_bounds(sketch):
    # Replayed unscaled onto a measuring tablet: the pixels each layer would cover.
    image = _vc.vcCairoScope((1, 1), _vc.Layers.eImage)
    overlay = _vc.vcCairoScope((1, 1), _vc.Layers.eOverlay)
    tablet = _vc.vcUITablet(image, overlay)
    boxes = [tablet.encloseRect(sketch, (0, 0), layer) for layer in (_vc.Layers.eImage, _vc.Layers.eOverlay)]
    boxes = [b for b in boxes if not b.isNull()]
    if not boxes:
        return 0.0, 0.0, 1.0, 1.0
    x0 = min(b.ul()[0] for b in boxes)
    y0 = min(b.ul()[1] for b in boxes)
    x1 = max(b.ul()[0] + b.sz()[0] for b in boxes)
    y1 = max(b.ul()[1] + b.sz()[1] for b in boxes)
    return float(x0), float(y0), float(x1), float(y1)


def _default_size(bounds, fixed_scale=None):
    x0, y0, x1, y1 = bounds
    w, h = max(x1 - x0, 1e-9), max(y1 - y0, 1e-9)
    if fixed_scale is not None:
        # Pixel content (sketches) keeps its scale up to the default side.
        s = min(fixed_scale, DEFAULT_SIDE * (1 - 2 * MARGIN) / max(w, h))
        return (max(16, round(w * s / (1 - 2 * MARGIN))), max(16, round(h * s / (1 - 2 * MARGIN))))
    if w >= h:
        return DEFAULT_SIDE, max(16, round(DEFAULT_SIDE * h / w))
    return max(16, round(DEFAULT_SIDE * w / h)), DEFAULT_SIDE


def _fit(bounds, size, max_scale=None):
    """The transform that centres bounds in a picture of size, scaled to fit within the margin."""
    x0, y0, x1, y1 = bounds
    w, h = max(x1 - x0, 1e-9), max(y1 - y0, 1e-9)
    s = min(size[0] * (1 - 2 * MARGIN) / w, size[1] * (1 - 2 * MARGIN) / h)
    if max_scale is not None:
        s = min(s, max_scale)
    tx = size[0] / 2 - s * (x0 + x1) / 2
    ty = size[1] / 2 - s * (y0 + y1) / 2
    return _vc.vcXform(_vc.vcMatrix(s, 0, 0, s), (tx, ty))


def _rgb(bgra):
    # Cairo's little-endian B, G, R, A words, opaque here, as R, G, B.
    return np.ascontiguousarray(bgra[:, :, 2::-1])


def _check_size(size):
    w, h = (int(v) for v in size)
    if (w, h) != tuple(size) or not (1 <= w <= 16384 and 1 <= h <= 16384):
        raise _vc.vcBadArgument(f"picture size must be two whole numbers of pixels, 1 to 16384 each, not {size!r}")
    return w, h


def _tablet(size):
    image = _vc.vcCairoScope(size, _vc.Layers.eImage)
    overlay = _vc.vcCairoScope(size, _vc.Layers.eOverlay)
    tablet = _vc.vcUITablet(image, overlay)
    tablet.visible(True)
    return tablet, image, overlay


def _wireframe(obj, x, size, over=None):
    """The outline's wireframe (with direction arrows) drawn in x, over a grey image or black."""
    scope = _vc.vcCairoScope(size, _vc.Layers.eImage if over is None else _vc.Layers.eOverlay)
    tablet = _vc.vcUITablet(scope)
    tablet.visible(True)
    if isinstance(obj, _vc.vcGenPoly):
        tablet.draw(obj.map(x), _vc.vcGraphicProps(_vc.vcColor.green, 1), _vc.Layers.eImage)
    else:
        obj.drawWireframe(x, tablet)
        if isinstance(obj, _vc.vcSMDGDModel):
            obj.drawDirectionArrows(x, tablet)
    pixels = scope.surfaceArray()
    if over is None:
        return _rgb(pixels)
    # Premultiplied overlay over the opaque grey picture.
    alpha = pixels[:, :, 3:4].astype(np.uint16)
    below = np.repeat(over[:, :, None], 3, axis=2).astype(np.uint16)
    return (pixels[:, :, 2::-1].astype(np.uint16) + (below * (255 - alpha) + 127) // 255).astype(np.uint8)


def _synthetic(obj, x, size):
    image = np.full((size[1], size[0]), SYNTHETIC_BACKGROUND, dtype=np.uint8)
    if isinstance(obj, _vc.vcGenPoly):
        _vc.vfDrawSynthetic(obj, x, image, 255)
    else:
        obj.drawSynthetic(x, image)
    return image


def to_array(obj, size=None, xform=None, kind="overlay"):
    """A picture of obj as a uint8 array.

    size: (width, height) in pixels; by default the content's bounds fitted
    with a margin, the longest side DEFAULT_SIDE. xform: maps obj's
    coordinates to picture pixels (a vcXform; for a sketch or a graphic list
    the tablet's base map); by default the content is scaled and centred.
    kind, for models, polys and generalised polygons: "overlay" (the
    wireframe over the synthetic image, RGB), "wireframe" (RGB, on black) or
    "synthetic" (grey). A Cairo scope gives its surface as it is (RGB; RGBA
    with straight alpha for an overlay scope) and takes no size or xform.
    """
    if isinstance(obj, _vc.vcCairoScope):
        if size is not None or xform is not None:
            raise _vc.vcBadArgument("a scope's picture is its surface: it takes no size or xform")
        return _scope_array(obj)
    if kind not in KINDS:
        raise _vc.vcBadArgument(f"kind must be one of {', '.join(KINDS)}, not {kind!r}")
    if not isinstance(obj, _OUTLINES + (_vc.vcUISketch, _vc.vcGraphicList)):
        raise TypeError(f"no picture for a {type(obj).__name__}")
    bounds = _bounds(obj) if size is None or xform is None else None
    sketch = isinstance(obj, _vc.vcUISketch)
    size = _check_size(size) if size is not None else _default_size(bounds, 1.0 if sketch else None)
    if xform is None:
        xform = _fit(bounds, size, 1.0 if sketch else None)
    if isinstance(obj, _OUTLINES):
        if kind == "synthetic":
            return _synthetic(obj, xform, size)
        return _wireframe(obj, xform, size, None if kind == "wireframe" else _synthetic(obj, xform, size))
    tablet, image, overlay = _tablet(size)
    tablet.baseMap(xform)
    if sketch:
        tablet.draw(obj, (0, 0), _vc.Layers.eBoth)
    else:
        obj.draw(tablet, _vc.Layers.eOverlay)
    return _rgb(_vc.vfCairoComposite(image, overlay).surfaceArray())


def _scope_array(scope):
    pixels = scope.surfaceArray()
    if scope.layer() == _vc.Layers.eImage:
        return _rgb(pixels)
    # Straight alpha from Cairo's premultiplied words.
    alpha = pixels[:, :, 3].astype(np.uint32)
    rgb = pixels[:, :, 2::-1].astype(np.uint32)
    safe = np.maximum(alpha, 1)[:, :, None]
    straight = np.where(alpha[:, :, None] > 0, (rgb * 255 + safe // 2) // safe, 0)
    return np.dstack([straight.astype(np.uint8), pixels[:, :, 3]])


def to_png(obj, path=None, size=None, xform=None, kind="overlay"):
    """PNG bytes of to_array(obj, size, xform, kind) (or of obj itself when it
    is already an array); with path, also written to that file."""
    picture = obj if isinstance(obj, np.ndarray) else to_array(obj, size, xform, kind)
    png = _vc.encode_png(picture)
    if path is not None:
        with open(path, "wb") as f:
            f.write(png)
    return png


class Picture:
    """A uint8 array (grey, RGB or RGBA) that Jupyter shows as an image."""

    def __init__(self, array):
        self.array = np.asarray(array)

    def _repr_png_(self):
        return _vc.encode_png(self.array)


def _attach():
    def as_array(self, size=None, xform=None, kind="overlay"):
        return to_array(self, size, xform, kind)

    def as_png(self, path=None, size=None, xform=None, kind="overlay"):
        return to_png(self, path, size, xform, kind)

    as_array.__doc__, as_png.__doc__ = to_array.__doc__, to_png.__doc__
    for cls in _OUTLINES + (_vc.vcUISketch, _vc.vcGraphicList, _vc.vcCairoScope):
        cls.to_array, cls.to_png = as_array, as_png
        cls._repr_png_ = lambda self: to_png(self)


_attach()
