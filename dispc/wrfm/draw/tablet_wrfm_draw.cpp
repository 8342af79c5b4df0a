// The tablet's operations for generalised polygons and wireframes: each is
// mapped to the layer's scope and drawn there as straight pieces, and
// recorded in client coordinates.
#include <vc/uitablet.h>

#include <vc/dispprop.h>
#include <vc/uiscope.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

#include "tablet_guards.h"
#include "tablet_record.h"
#include "tablet_shape_hook.h"
#include "genpoly_payload.h"

void vcUITablet::draw(const vcGenPoly& g, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) g.map(scaledMap_).drawToScope(props, *drawScope_[layer]);
  if (!recording()) return;
  if (props.fill())
    record_<38>(layer, props, vc_GenPolyCodec::of(g));
  else
    record_<34>(layer, props, vc_GenPolyCodec::of(g));
}

void vcUITablet::draw(const vc2Wireframe& w, const vcGraphicProps& props, Layers layer) {
  if (okToDraw(layer)) {
    const vcGenPoly& mapped = w.map(scaledMap_);
    mapped.drawToScope(props, *drawScope_[layer]);
  }
  if (recording()) record_<41>(layer, props, vc_WireframeCodec::of(w));
}

void vcUITablet::draw(const vcGenPoly& g, const vcColor& color, Layers layer, bool fill) {
  draw(g, vfPropsOf(color, fill), layer);
}
void vcUITablet::draw(const vc2Wireframe& w, const vcColor& color, Layers layer, bool fill) {
  draw(w, vfPropsOf(color, fill), layer);
}

namespace {

// The generic draw(const vcShape&) reaches the overloads above through this
// hook; a wireframe stays a wireframe.
bool claims(const vcShape& s) { return dynamic_cast<const vcGenPoly*>(&s) != nullptr; }

void drawShape(vcUITablet& t, const vcShape& s, const vcXform<2>* map, const vcGraphicProps& props,
               vcUITablet::Layers layer) {
  const auto& g = dynamic_cast<const vcGenPoly&>(s);
  if (const auto* w = dynamic_cast<const vc2Wireframe*>(&s))
    t.draw(map ? w->map(*map) : *w, props, layer);
  else
    t.draw(map ? g.map(*map) : g, props, layer);
}

const vc_TabletShapeHookSetter kHook({&claims, &drawShape});

}  // namespace
