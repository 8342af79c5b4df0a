// The per-class registry through which shape classes defined above the
// display layer (generalised polygons and wireframes) join the tablet's
// generic draw(const vcShape&) and vcGraphic::makeShapeGraphic.
#pragma once

#include <vector>

#include <vc/core/xform.h>
#include <vc/graphic.h>
#include <vc/uitablet.h>

struct vc_ShapeClass {
  // The class's place among makeShapeGraphic's steps (the built-in ones are
  // numbered 1 to 22, leaving gaps for these); the tablet also tries the
  // registered classes in this order.
  int step;
  // Whether s is of the class. A subclass with an entry of its own is
  // left to that entry.
  bool (*claims)(const vcShape& s);
  // Draws the claimed s through the tablet's typed overload, first mapped by
  // *map when map is not null (the linearised accumulated transform, client
  // coordinates to client coordinates).
  void (*draw)(vcUITablet& t, const vcShape& s, const vcXform<2>* map, const vcGraphicProps& props,
               vcUITablet::Layers layer);
  // The graphic of the claimed s with props.
  vcPtrHandle<vcGraphic> (*graphic)(const vcShape& s, const vcGraphicProps& props);
};

// A static object of this type, in the file that defines the class's tablet
// overloads and graphic, registers the class.
struct vc_ShapeClassRegistration {
  explicit vc_ShapeClassRegistration(const vc_ShapeClass& c);
};

// The registered classes in step order. Written only while libraries load.
const std::vector<vc_ShapeClass>& vf_registeredShapeClasses();
