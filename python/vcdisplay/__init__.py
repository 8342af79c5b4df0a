"""vcdisplay: the display and graphics class library for machine vision, from Python.

Class and method names are those of the C++ library, so its documentation
applies. Python conveniences: any sequence of two numbers is accepted where a
vcVector or vcPoint is expected; uint8 NumPy arrays are viewed, never copied,
where a vcPelBuffer is expected; sketches iterate over their records; every
library exception is a subclass of vcdisplay.Error. Sketches, models, polys,
generalised polygons, graphic lists and Cairo scopes show themselves in
Jupyter and have to_array()/to_png() (vcdisplay.pictures); archivable objects
pickle through their archive bytes; vcdisplay.batch renders many at once.
"""
from ._vcdisplay import *  # noqa: F401,F403
from . import _vcdisplay
from .pictures import Picture, to_array, to_png  # noqa: F401


def _restore(name, data):
    return getattr(_vcdisplay, name).fromBytes(data)


def _reduce(self):
    return _restore, (type(self).__name__, self.toBytes())


# Pickling (process pools, Dask) goes through the same archive bytes as save/load.
for _cls in vars(_vcdisplay).values():
    if isinstance(_cls, type) and hasattr(_cls, "toBytes") and hasattr(_cls, "fromBytes"):
        _cls.__reduce__ = _reduce
del _cls

__all__ = [name for name in dir() if not name.startswith("_")]
