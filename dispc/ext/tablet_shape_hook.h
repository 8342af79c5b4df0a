// How shapes whose classes live above the display layer (generalised polygons
// and wireframes) join the tablet's generic draw(const vcShape&).
#pragma once

#include <vc/core/xform.h>
#include <vc/uitablet.h>

struct vc_TabletShapeHook {
  // Whether the hook draws shapes of s's class.
  bool (*claims)(const vcShape& s);
  // Draws s through its typed overload, first mapped by *map when map is
  // not null (the linearised accumulated transform).
  void (*draw)(vcUITablet& t, const vcShape& s, const vcXform<2>* map, const vcGraphicProps& props,
               vcUITablet::Layers layer);
};

// A static object of this type, in the file that defines the overloads,
// installs the hook; there is one.
struct vc_TabletShapeHookSetter {
  explicit vc_TabletShapeHookSetter(const vc_TabletShapeHook& hook);
};
