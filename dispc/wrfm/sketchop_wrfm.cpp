// The record classes of generalised polygons (opcodes 34 and 38, the second
// for filled props) and wireframes (41). Both payloads share one layout
// (vc_GenPolyPayload), which has no place for the poly's direction flag: a
// wireframe recorded with its polarity reversed replays unreversed, and
// its direction figures then point the other way. The layout is kept because
// stored sketches use it.
//
// The version-0 layout is the current one: each vertex's last 32 bytes are
// the tolerance's three doubles and a long, built into the tolerance through
// its constructor in both, so the version-0 reader is the default one.
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

#include "../sketchop_impl.h"
#include "genpoly_payload.h"

class vc_UISketchOpGenPoly final : public vc_UISketchOpShape<vcGenPoly, vc_GenPolyCodec> {
public:
  vcGenPoly genPoly() const { return shape(); }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpGenPoly);

class vc_UISketchOpWireframe final : public vc_UISketchOpShape<vc2Wireframe, vc_WireframeCodec> {
public:
  vc2Wireframe wireframe() const { return shape(); }
  VC_SKETCH_OP_FACTORY();
};
VC_SKETCH_OP_REGISTER(vc_UISketchOpWireframe);
