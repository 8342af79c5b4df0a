// Row transfer kernels for display buffers: copying rows between buffers of
// different pitch, and widening a row by whole-pixel replication; and the
// extent of a nearest-neighbour scaled image, shared by every scope. Both pick
// the processor's vector instructions at run time (vcCpuType) and give the
// same bytes as the plain loops they replace.
#pragma once

// Copies rows rows of widthBytes bytes each from src to dst.
// dstStride, srcStride: bytes from the start of one row to the start of the
// next (any sign; a source stride of 0 copies one row into every destination
// row). No destination row may overlap a source row. Nothing is copied when
// rows < 1 or widthBytes is 0. Throws vcBadArgument for a negative width or
// a null pointer when there is something to copy.
void vf_PelCopyVid(void* dst, long dstStride, const void* src, long srcStride, long widthBytes, long rows);

// Writes count pixels of pelBytes bytes each (1, 2 or 4) from src to dst,
// each repeated factor times: dst receives count x factor pixels. The two
// ranges must not overlap. Nothing is written when count or factor is 0.
// Throws vcBadArgument for another pixel size, a negative count or factor,
// or a null pointer when there is something to write.
void vf_PelReplicateRow(void* dst, const void* src, long count, long factor, int pelBytes);

// The number of destination pixels x >= 0 of n source pixels scaled by s
// (s > 0) that show a source pixel, that is with x / s < n, compared as
// doubles so that the smallest scales end; at most limit.
long vfScaledExtent(long n, double s, long limit);
