from ._vcdisplay import *
