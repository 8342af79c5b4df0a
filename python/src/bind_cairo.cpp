// vcCairoScope, the reference scope, with its surface as a NumPy array, and
// the sketch rendering that vcdraw render does, to an array or a file.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <cairo.h>

#include <vc/cairo/cairoscope.h>
#include <vc/core/archive.h>
#include <vc/uitablet.h>

#include "vcpy.h"
#include "vcpy_image.h"

namespace {

using Layers = vcUITabletTypes::Layers;

// The raster surface's pixels as a (height, width, 4) uint8 array over
// Cairo's memory (B, G, R, A on little-endian machines); owner keeps it alive.
py::array surfaceArray(vcCairoScope& scope, py::handle owner) {
  cairo_surface_t* s = scope.surface();
  if (!scope.isRaster() || !s) throw vcCairoError("surfaceArray needs a raster surface");
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const long w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  const long stride = cairo_image_surface_get_stride(s);
  if (!data) throw vcCairoError("the surface has no pixels (finished?)");
  return py::array_t<unsigned char>({h, w, 4L}, {stride, 4L, 1L}, data, owner);
}

bool endsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

struct RenderOptions {
  vcPair<long> size;
  double scale;
  vcPoint offset;
  Layers layer;
  vcColor background;
};

RenderOptions options(const vcPair<long>& size, double scale, const vcPoint& offset, Layers layer,
                      const vcColor& background) {
  if (!(size.x() >= 1 && size.x() <= 16384 && size.y() >= 1 && size.y() <= 16384))
    throw vcBadArgument("render: size must be 1x1 to 16384x16384");
  if (!(scale > 0 && scale <= 1000)) throw vcBadArgument("render: scale must be above 0 and at most 1000");
  return {size, scale, offset, layer, background};
}

// The replay vcdraw render does: background on the image layer, then the sketch.
void replay(const RenderOptions& o, const vcUISketch& sketch, vcUIScope* image, vcUIScope* overlay) {
  vcUITablet tablet(image, overlay);
  if (o.scale != 1.0) tablet.scaleExact(vcPair<double>(o.scale, o.scale));
  tablet.visible(true);
  tablet.set(o.background, vcUITablet::eImage);
  tablet.draw(sketch, o.offset, o.layer);
}

std::unique_ptr<vcCairoScope> renderComposite(const RenderOptions& o, const vcUISketch& sketch) {
  vcCairoScope image(o.size, vcCairoScope::eImage);
  vcCairoScope overlay(o.size, vcCairoScope::eOverlay);
  replay(o, sketch, &image, &overlay);
  return vfCairoComposite(image, overlay);
}

py::array render(const vcUISketch& sketch, const vcPair<long>& size, double scale, const vcPoint& offset,
                 Layers layer, const vcColor& background) {
  const RenderOptions o = options(size, scale, offset, layer, background);
  std::unique_ptr<vcCairoScope> composite;
  {
    py::gil_scoped_release unlocked;
    composite = renderComposite(o, sketch);
  }
  py::object owner = py::cast(std::move(composite));
  return surfaceArray(owner.cast<vcCairoScope&>(), owner);
}

void renderToFile(const vcUISketch& sketch, const std::string& path, const vcPair<long>& size, double scale,
                  const vcPoint& offset, Layers layer, const vcColor& background) {
  const RenderOptions o = options(size, scale, offset, layer, background);
  const bool png = endsWith(path, ".png"), svg = endsWith(path, ".svg"), pdf = endsWith(path, ".pdf");
  if (!png && !svg && !pdf) throw vcBadArgument("render_to_file: the path must end in .png, .svg or .pdf");
  py::gil_scoped_release unlocked;
  if (png) {
    renderComposite(o, sketch)->writePng(path);
  } else {
    // A vector file has one surface: both layers draw on it, the overlay after the image.
    vcCairoScope vector(path, svg ? vcCairoScope::eSVG : vcCairoScope::ePDF, o.size);
    replay(o, sketch, &vector, &vector);
    vector.finish();
  }
}

// A PNG file's pixels as a (height, width, 4) uint8 array in the order of
// surfaceArray(): B, G, R, A (premultiplied) on little-endian machines. The
// file is read as archives are (a regular file, at most 1 GiB).
py::array readPng(const std::string& path) {
  std::unique_ptr<vcCairoScope> scope;
  {
    py::gil_scoped_release unlocked;
    // Every failure of read_png is a vcCairoError naming the file.
    try {
      scope = vfCairoReadPng(vfReadFile(path, vcFileArchive::kMaxLoadBytes));
    } catch (const vcArchive::IOError& e) {
      throw vcCairoError(e.message());
    } catch (const vcCairoError& e) {
      throw vcCairoError(path + ": " + e.message());
    }
  }
  cairo_surface_t* s = scope->surface();
  const cairo_format_t format = cairo_image_surface_get_format(s);
  const long w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  const long stride = cairo_image_surface_get_stride(s);
  py::array_t<unsigned char> out({h, w, 4L});
  const unsigned char* from = cairo_image_surface_get_data(s);
  unsigned char* to = out.mutable_data();
  for (long y = 0; y < h; ++y) std::memcpy(to + y * w * 4, from + y * stride, static_cast<std::size_t>(w * 4));
  // An RGB24 surface leaves the alpha byte undefined; the file is opaque.
  if (format == CAIRO_FORMAT_RGB24)
    for (long i = 0; i < w * h; ++i) to[i * 4 + 3] = 255;
  return out;
}

// PNG bytes of a uint8 picture: (h, w) grey, (h, w, 3) RGB or (h, w, 4) RGBA
// (straight alpha). Encoded by Cairo, so the package needs no image library.
py::bytes encodePng(const py::array& picture) {
  const py::array_t<unsigned char, py::array::c_style | py::array::forcecast> a(picture);
  const long dims = static_cast<long>(a.ndim());
  const long channels = dims == 2 ? 1 : dims == 3 ? static_cast<long>(a.shape(2)) : 0;
  if (channels != 1 && channels != 3 && channels != 4)
    throw vcBadArgument("encode_png: a picture is (h, w), (h, w, 3) or (h, w, 4) uint8");
  const long h = static_cast<long>(a.shape(0)), w = static_cast<long>(a.shape(1));
  if (!(w >= 1 && h >= 1 && w <= 32767 && h <= 32767))
    throw vcBadArgument("encode_png: width and height must be 1 to 32767 pixels");
  std::string png;
  {
    py::gil_scoped_release unlocked;
    const cairo_format_t format = channels == 4 ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> s(
        cairo_image_surface_create(format, static_cast<int>(w), static_cast<int>(h)), &cairo_surface_destroy);
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) throw vcCairoError("encode_png: out of memory");
    unsigned char* rows = cairo_image_surface_get_data(s.get());
    const long stride = cairo_image_surface_get_stride(s.get());
    const unsigned char* from = a.data();
    for (long y = 0; y < h; ++y) {
      auto* to = reinterpret_cast<std::uint32_t*>(rows + y * stride);
      for (long x = 0; x < w; ++x, from += channels) {
        const std::uint32_t r = from[0], g = from[channels >= 3 ? 1 : 0], b = from[channels >= 3 ? 2 : 0];
        const std::uint32_t al = channels == 4 ? from[3] : 255;
        // Cairo keeps premultiplied native-endian 0xAARRGGBB words.
        to[x] = al << 24 | (r * al + 127) / 255 << 16 | (g * al + 127) / 255 << 8 | (b * al + 127) / 255;
      }
    }
    cairo_surface_mark_dirty(s.get());
    const cairo_status_t st = cairo_surface_write_to_png_stream(
        s.get(),
        [](void* out, const unsigned char* data, unsigned int n) {
          static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), n);
          return CAIRO_STATUS_SUCCESS;
        },
        &png);
    if (st != CAIRO_STATUS_SUCCESS) throw vcCairoError(std::string("encode_png: ") + cairo_status_to_string(st));
  }
  return py::bytes(png);
}

}  // namespace

void vc_py_bindCairo(py::module_& m) {
  py::class_<vcCairoScope, vcUIScope> c(m, "vcCairoScope",
                                        "The reference scope: draws on a Cairo surface, readable as a NumPy array "
                                        "(surfaceArray), saved as PNG, or written as SVG or PDF.");
  py::enum_<vcCairoScope::VectorFormat>(c, "VectorFormat")
      .value("eSVG", vcCairoScope::eSVG)
      .value("ePDF", vcCairoScope::ePDF)
      .export_values();
  c.def(py::init<const vcPair<long>&, Layers, const vcPair<long>&>(), py::arg("size"),
        py::arg("layer") = vcUITabletTypes::eImage, py::arg("org") = vcPair<long>(),
        "A scope with a surface of its own: size (width, height) in pixels, 0 to 32767 each; eImage starts "
        "opaque black, eOverlay transparent; org is the scope coordinate at surface pixel (0, 0).")
      .def(py::init<const std::string&, vcCairoScope::VectorFormat, const vcPair<long>&, const vcPair<long>&>(),
           py::arg("path"), py::arg("format"), py::arg("size"), py::arg("org") = vcPair<long>(),
           "A scope writing an SVG or PDF file, complete after finish().")
      .def("layer", &vcCairoScope::layer)
      .def_property("antialias", py::overload_cast<>(&vcCairoScope::antialias, py::const_),
                    py::overload_cast<bool>(&vcCairoScope::antialias))
      .def_property("textSize", py::overload_cast<>(&vcCairoScope::textSize, py::const_),
                    py::overload_cast<double>(&vcCairoScope::textSize))
      .def("isRaster", &vcCairoScope::isRaster)
      .def("argb", &vcCairoScope::argb, py::arg("x"), py::arg("y"), "Surface pixel (x, y) as 0xAARRGGBB.")
      .def("argbOf", &vcCairoScope::argbOf, py::arg("color"))
      .def("palette", &vcCairoScope::palette)
      .def("colorMap", &vcCairoScope::colorMap, py::arg("map"))
      .def("writePng", &vcCairoScope::writePng, py::arg("path"), py::call_guard<py::gil_scoped_release>())
      .def("finish", &vcCairoScope::finish)
      .def("surfaceArray", [](py::object self) { return surfaceArray(self.cast<vcCairoScope&>(), self); },
           "The surface as a (height, width, 4) uint8 array viewing Cairo's pixels (no copy): B, G, R, A "
           "(premultiplied) on little-endian machines. Drawing after the call shows in the array; after "
           "writing into the array, call markDirty() before drawing again.")
      .def("markDirty", [](vcCairoScope& s) { cairo_surface_mark_dirty(s.surface()); },
           "Tells Cairo that the surface's pixels were changed through surfaceArray().");
  m.def("vfCairoComposite", &vfCairoComposite, py::arg("image"), py::arg("overlay"),
        "A new eImage scope showing image with overlay composited over it.");
  m.def("render", &render, py::arg("sketch"), py::arg("size") = vcPair<long>(640, 480), py::arg("scale") = 1.0,
        py::arg("offset") = vcPoint(), py::arg("layer") = vcUITabletTypes::eBoth,
        py::arg("background") = vcColor::blackColor(),
        "Replays the sketch as vcdraw render does (image and overlay layers composited) and returns the pixels "
        "as a (height, width, 4) uint8 array in the order of vcCairoScope.surfaceArray().");
  m.def("render_to_file", &renderToFile, py::arg("sketch"), py::arg("path"),
        py::arg("size") = vcPair<long>(640, 480), py::arg("scale") = 1.0, py::arg("offset") = vcPoint(),
        py::arg("layer") = vcUITabletTypes::eBoth, py::arg("background") = vcColor::blackColor(),
        "Replays the sketch as vcdraw render does into a .png, .svg or .pdf file.");
  m.def("encode_png", &encodePng, py::arg("picture"),
        "PNG bytes of a uint8 picture: (h, w) grey, (h, w, 3) RGB or (h, w, 4) RGBA with straight alpha.");
  m.def("read_png", &readPng, py::arg("path"),
        "A PNG file's pixels as a (height, width, 4) uint8 array in the order of vcCairoScope.surfaceArray().");
}
