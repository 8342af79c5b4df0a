// The per-class registry of shape classes defined above the display layer.
#include "shape_classes.h"

#include <algorithm>

namespace {

std::vector<vc_ShapeClass>& registry() {
  static std::vector<vc_ShapeClass> classes;
  return classes;
}

}  // namespace

vc_ShapeClassRegistration::vc_ShapeClassRegistration(const vc_ShapeClass& c) {
  std::vector<vc_ShapeClass>& classes = registry();
  classes.insert(std::upper_bound(classes.begin(), classes.end(), c,
                                  [](const vc_ShapeClass& a, const vc_ShapeClass& b) { return a.step < b.step; }),
                 c);
}

const std::vector<vc_ShapeClass>& vf_registeredShapeClasses() { return registry(); }
