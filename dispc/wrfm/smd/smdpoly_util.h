// Helpers shared by the poly utility files.
#pragma once

#include <vector>

#include <vc/wrfm/smdpoly.h>

// An empty open poly with p's name, colors, arrow colors, weight and direction flag.
vcSMDGDPoly vf_SMDPolyLike(const vcSMDGDPoly& p);
// The pieces of p (each open, made like vf_SMDPolyLike(p)) left when the
// segments flagged in `removed` (indexed 0..n-1) are dropped, in outline
// order; with nothing flagged p comes back whole. `pieces` is replaced only
// on success.
void vf_SMDSplitPoly(const vcSMDGDPoly& p, const std::vector<bool>& removed, std::vector<vcSMDGDPoly>& pieces);
