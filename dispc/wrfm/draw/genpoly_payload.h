// The sketch payload of generalised polygons and wireframes (opcodes 34, 38
// and 41): made from a poly by the tablet's recorder and by archive loads,
// and built back into a poly for replay, which so validates it.
#pragma once

#include <cmath>
#include <vector>

#include <vc/core/exception.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/wireframe.h>

#include "payloads.h"

struct vc_GenPolyCodec {
  using Payload = vc_GenPolyPayload;
  static Payload of(const vcGenPoly& g);
  // Throws a vcException for values no poly holds: non-finite numbers, an
  // invalid tolerance, vertices the SMD poly rejects, a singular transform.
  // The vertices' fractions, labels and extensions take their defaults.
  static vcGenPoly shape(const Payload& p);
};

// The payload has no place for the direction flag: a wireframe read back
// has its polarity not reversed.
struct vc_WireframeCodec {
  using Payload = vc_GenPolyPayload;
  static Payload of(const vc2Wireframe& w) { return vc_GenPolyCodec::of(w); }
  static vc2Wireframe shape(const Payload& p) { return vc2Wireframe(vc_GenPolyCodec::shape(p)); }
};
