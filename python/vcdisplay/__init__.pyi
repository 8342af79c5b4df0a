from ._vcdisplay import *
from .pictures import Picture as Picture, to_array as to_array, to_png as to_png
