// The vcdisplay extension module. Each class family binds itself in its own
// translation unit (bind_<family>.cpp defining vc_py_bind<Family>, declared in
// vcpy.h); the order puts every type before the signatures using it. A new
// exception family is one row of the table in bind_errors.cpp.
#include "vcpy.h"

PYBIND11_MODULE(_vcdisplay, m) {
  m.doc() = "Bindings of the vcdisplay C++ library; class and method names are those of C++.";
  vc_py_bindErrors(m);
  vc_py_bindGeometry(m);
  vc_py_bindColor(m);
  vc_py_bindSmd(m);
  vc_py_bindWrfm(m);
  vc_py_bindImage(m);
  vc_py_bindSketch(m);
  vc_py_bindTablet(m);
  vc_py_bindGraphics(m);
  vc_py_bindCairo(m);
  vc_py_bindModels(m);
  vc_py_bindSynthetic(m);
  vc_py_bindOffsets(m);
}
