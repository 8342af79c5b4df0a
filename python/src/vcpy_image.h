// Zero-copy links between NumPy arrays and the library's pixel buffers.
#pragma once

#include <memory>

#include <vc/core/pelbuffer.h>

#include <pybind11/numpy.h>

#include "vcpy.h"

// A keep-alive token for owner: holds a reference, dropped (under the GIL)
// when the last pixel view made over owner's memory goes.
std::shared_ptr<void> vc_py_keepAlive(py::handle owner);

// Where a checked array's pixels are: rows of width pixels, rowStride bytes apart.
struct vc_PyArrayView {
  unsigned char* data;
  long height;
  long width;
  long rowStride;
};

// The pixels of a writable uint8 array of `dims` dimensions (the last one of
// size lastDim when dims is 3) whose rows are contiguous; raises TypeError or
// ValueError naming `what` otherwise. Never copies. Reads the array's header
// directly: this runs on every call that takes an array.
vc_PyArrayView vc_py_checkedArray(const py::array& a, int dims, long lastDim, const char* what);

// An 8-bit buffer viewing a (height, width) uint8 array's memory.
vcPelBuffer<unsigned char> vc_py_bufferOfArray(const py::array& a);
