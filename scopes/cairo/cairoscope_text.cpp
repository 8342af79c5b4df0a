// vcCairoScope: text, through Cairo's toy font API in "DejaVu Sans".
#include <vc/cairo/cairoscope.h>

#include <algorithm>
#include <cmath>
#include <string>

#include <vc/uistring.h>

#include "cairo_impl.h"

namespace {

constexpr const char* kFontFamily = "DejaVu Sans";

// Cairo draws nothing for text that is not UTF-8.
bool isUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    unsigned long cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
      cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      cp = c & 0x07u;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0u) != 0x80u) return false;
      cp = (cp << 6) | (d & 0x3Fu);
    }
    const unsigned long least[] = {0, 0x80, 0x800, 0x10000};
    if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

// Text as Cairo takes it: UTF-8 as it is, anything else read as Latin-1.
std::string utf8Of(const std::string& s) {
  if (isUtf8(s)) return s;
  std::string out;
  out.reserve(s.size() * 2);
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0u | (c >> 6));
      out += static_cast<char>(0x80u | (c & 0x3Fu));
    }
  }
  return out;
}

void setFont(cairo_t* cr, double size, bool antialias) {
  cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_antialias(o, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr, o);
  cairo_font_options_destroy(o);
}

// The text's box around its baseline origin, in whole pixels: the font's
// ascent and descent and the advance, widened to hold every inked pixel.
struct TextBox {
  long left = 0, top = 0, width = 0, height = 0;
};

TextBox measure(const std::string& utf8, double size, bool antialias) {
  if (utf8.empty()) return {};
  vc_CairoSurfacePtr scratch(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  vc_CairoPtr cr = vfCairoContext(scratch.get(), "vcCairoScope: cannot measure text");
  setFont(cr.get(), size, antialias);
  cairo_font_extents_t fe;
  cairo_text_extents_t te;
  cairo_font_extents(cr.get(), &fe);
  cairo_text_extents(cr.get(), utf8.c_str(), &te);
  vfCairoCheck(cairo_status(cr.get()), "vcCairoScope: cannot measure text");
  const bool inked = te.width > 0.0 && te.height > 0.0;
  double x0 = 0.0, x1 = te.x_advance, y0 = -fe.ascent, y1 = fe.descent;
  if (inked) {
    x0 = std::min(x0, te.x_bearing);
    x1 = std::max(x1, te.x_bearing + te.width);
    y0 = std::min(y0, te.y_bearing);
    y1 = std::max(y1, te.y_bearing + te.height);
  }
  TextBox b;
  b.left = static_cast<long>(std::floor(x0));
  b.top = static_cast<long>(std::floor(y0));
  b.width = static_cast<long>(std::ceil(x1)) - b.left;
  b.height = static_cast<long>(std::ceil(y1)) - b.top;
  return b;
}

double fontSize(const vcUIFormat& format, double fallback) {
  return format.fontId() > 0 ? static_cast<double>(std::min(format.fontId(), 1000L)) : fallback;
}

}  // namespace

vcUIRect vcCairoScope::textRect(const std::string& text, const vcPoint& anchor, const vcUIFormat& format,
                                vcUIRect& rect) {
  const TextBox b = measure(utf8Of(text), fontSize(format, textSize_), antialias_);
  rect = format.alignRect(vcUIRect(xCoord(anchor) + org().x(), yCoord(anchor) + org().y(), b.width, b.height));
  return rect;
}

void vcCairoScope::draw(const std::string& text, const vcPoint& anchor, const vcColor& color, const vcColor& background,
                        const vcUIFormat& format) {
  const std::string utf8 = utf8Of(text);
  const double size = fontSize(format, textSize_);
  const TextBox b = measure(utf8, size, antialias_);
  const vcUIRect r =
      format.alignRect(vcUIRect(xCoord(anchor) + org().x(), yCoord(anchor) + org().y(), b.width, b.height));
  if (r.isNull()) return;
  const vcUIRect root = r - org() + base_;
  if (background != vcColor::passColor()) {
    const vcUIRect bound = vfCairoCover(static_cast<double>(root.left() - 1), static_cast<double>(root.top() - 1),
                                        static_cast<double>(root.right() + 1), static_cast<double>(root.bottom() + 1));
    paint_(
        [&root](cairo_t* cr, double dx, double dy) {
          // A rectangle fills the same under either fill rule.
          cairo_rectangle(cr, static_cast<double>(root.left()) + dx, static_cast<double>(root.top()) + dy,
                          static_cast<double>(root.width()), static_cast<double>(root.height()));
          cairo_fill(cr);
        },
        argbOf(background), &bound);
  }
  const double x = static_cast<double>(root.left() - b.left), y = static_cast<double>(root.top() - b.top);
  const bool aa = antialias_;
  paint_(
      [&](cairo_t* cr, double dx, double dy) {
        cairo_save(cr);
        setFont(cr, size, aa);
        cairo_move_to(cr, x + dx, y + dy);
        cairo_show_text(cr, utf8.c_str());
        cairo_restore(cr);
      },
      argbOf(color));
}
