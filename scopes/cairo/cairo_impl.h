// What the sources of vcCairoScope share: the surface state of a scope tree,
// owning handles for Cairo objects, and the ARGB pixel helpers.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <vc/cairo/cairoscope.h>

#include "scope_kit.h"

struct vc_CairoSurfaceFree {
  void operator()(cairo_surface_t* s) const noexcept { cairo_surface_destroy(s); }
};
struct vc_CairoFree {
  void operator()(cairo_t* c) const noexcept { cairo_destroy(c); }
};
using vc_CairoSurfacePtr = std::unique_ptr<cairo_surface_t, vc_CairoSurfaceFree>;
using vc_CairoPtr = std::unique_ptr<cairo_t, vc_CairoFree>;

// A context on s; throws vcCairoError naming what when Cairo cannot make one.
vc_CairoPtr vfCairoContext(cairo_surface_t* s, const char* what);
// Throws vcCairoError "what: <Cairo's reason>".
[[noreturn]] void vfCairoThrow(cairo_status_t status, const std::string& what);
// Throws as vfCairoThrow unless status is success; the message is built only then.
inline void vfCairoCheck(cairo_status_t status, const char* what) {
  if (status != CAIRO_STATUS_SUCCESS) vfCairoThrow(status, what);
}
inline void vfCairoCheck(cairo_status_t status, const std::string& what) {
  if (status != CAIRO_STATUS_SUCCESS) vfCairoThrow(status, what);
}

// The pen, fill rule and antialiasing a context holds, so that calls
// repeating them skip Cairo's setters; -1: not known. Pen fields hold the
// vcGraphicProps values (width in pixels), antialias a cairo_antialias_t.
struct vc_CairoSettings {
  long width = -1;
  int join = -1, cap = -1, style = -1, fillRule = -1, antialias = -1;
};

// The state every scope of one tree shares.
struct vcCairoScope::Shared {
  vc_CairoSurfacePtr surface;
  bool raster = false;
  bool finished = false;
  std::vector<vcRGB> palette;
  // The scratch A8 mask painting draws through, grown as calls need; all its
  // pixels are 0 between calls.
  vc_CairoSurfacePtr mask;
  vc_CairoPtr maskContext;        // on mask; identity matrix, no clip and no path between calls
  vc_CairoSettings maskSettings;  // what maskContext holds
  // Working memory of the path drawing calls, kept from call to call.
  std::vector<vcVector<2>> samples;
  std::vector<std::pair<double, double>> path;

  explicit Shared(vc_CairoSurfacePtr s);
  ~Shared();
  Shared(const Shared&) = delete;
  Shared& operator=(const Shared&) = delete;
};

// An image ready to be painted: premultiplied ARGB pixels covering at (root
// pixels), row after row; pass pixels are 0. ink: the pixels that are not
// pass pixels, root pixels.
struct vc_CairoImage {
  vcUIRect at;
  std::vector<std::uint32_t> pels;
  vcUIRect ink;
};

// The integer rectangle covering [x0, x1) x [y0, y1), kept to what a surface
// can address (root pixels).
vcUIRect vfCairoCover(double x0, double y0, double x1, double y1);

// Sets the source to argb (0xAARRGGBB, not premultiplied).
void vfCairoSource(cairo_t* cr, std::uint32_t argb);
