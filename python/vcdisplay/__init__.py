"""vcdisplay: the display and graphics class library for machine vision, from Python.

Class and method names are those of the C++ library, so its documentation
applies. Python conveniences: any sequence of two numbers is accepted where a
vcVector or vcPoint is expected; uint8 NumPy arrays are viewed, never copied,
where a vcPelBuffer is expected; sketches iterate over their records; every
library exception is a subclass of vcdisplay.Error.
"""
from ._vcdisplay import *  # noqa: F401,F403

__all__ = [name for name in dir() if not name.startswith("_")]
