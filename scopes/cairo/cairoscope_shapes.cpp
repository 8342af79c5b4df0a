// vcCairoScope: the pen, points, lines and every shape form of the interface.
#include <vc/cairo/cairoscope.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <typeinfo>
#include <utility>
#include <vector>

#include <vc/core/clip.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/lineseg.h>
#include <vc/core/poly.h>
#include <vc/core/rect.h>
#include <vc/dispprop.h>

#include "cairo_impl.h"
#include "scope_paths.h"

namespace {

using Props = vcGraphicProps;

// Curves are sampled to within this distance (scope pixels) of the true curve.
constexpr double kSampleTolerance = 0.2;
constexpr long kMaxSamples = 20000;

long penWidth(const Props& p) { return vfScopePenWidth(p); }

double penCentre(long w) { return vfScopePenCentre(w); }

bool strokes(const Props& p) { return p.penStyle() != Props::ePenNull; }

struct Dashes {
  int count;
  std::array<double, 6> lengths;  // in pen widths: on, off, on, off, ...
};

// Indexed by pen style; ePenNull never reaches the pen.
constexpr std::array<Dashes, 5> kDashes{{
    {0, {}},
    {2, {6, 3}},
    {2, {1, 1}},
    {4, {6, 3, 1, 3}},
    {6, {6, 3, 1, 3, 1, 3}},
}};

constexpr double kMiterLimit = 10.0;

using Settings = vc_CairoSettings;

// Sets what of the pen differs from known (every setting when known is null)
// and notes it there.
void applyPen(cairo_t* cr, const Props& p, Settings* known) {
  Settings fresh;
  if (!known) known = &fresh;
  // The miter limit never changes: a context new to the pen gets it once.
  if (known->width < 0) cairo_set_miter_limit(cr, kMiterLimit);
  const long w = penWidth(p);
  const int join = static_cast<int>(p.penJoin()), cap = static_cast<int>(p.penEndCap());
  const int style = static_cast<int>(p.penStyle());
  const bool dashed = style > 0 && style < static_cast<int>(kDashes.size());
  // Dash lengths follow the width and the caps.
  const bool dashChanged = style != known->style || (dashed && (w != known->width || cap != known->cap));
  if (w != known->width) cairo_set_line_width(cr, static_cast<double>(w));
  if (join != known->join) {
    switch (p.penJoin()) {
      case Props::eJoinBevel:
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL);
        break;
      case Props::eJoinMiter:
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        break;
      default:
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        break;
    }
  }
  if (cap != known->cap) {
    switch (p.penEndCap()) {
      case Props::eCapSquare:
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
        break;
      case Props::eCapFlat:
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        break;
      default:
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        break;
    }
  }
  known->width = w;
  known->join = join;
  known->cap = cap;
  known->style = style;
  if (!dashChanged) return;
  if (!dashed) {
    cairo_set_dash(cr, nullptr, 0, 0.0);
    return;
  }
  // Caps add half a width at each end of a dash: take it from the dash, give it to the gap.
  const double capLength = p.penEndCap() == Props::eCapFlat ? 0.0 : 1.0;
  const Dashes& d = kDashes[static_cast<std::size_t>(style)];
  std::array<double, 6> lengths{};
  for (int i = 0; i < d.count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const double l = i % 2 == 0 ? std::max(0.0, d.lengths[k] - capLength) : d.lengths[k] + capLength;
    lengths[k] = l * static_cast<double>(w);
  }
  cairo_set_dash(cr, lengths.data(), d.count, 0.0);
}

void applyFillRule(cairo_t* cr, int rule, Settings* known) {
  if (known && known->fillRule == rule) return;
  cairo_set_fill_rule(cr, rule == vcPolygon::eEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  if (known) known->fillRule = rule;
}

// How far the pen's ink reaches from the path (pixels): half the width,
// times Cairo's miter limit at miter joins and the square root of 2 at square
// caps, whose corners stick out furthest.
double penReach(const Props& p) {
  const double half = static_cast<double>(penWidth(p)) / 2.0;
  double factor = p.penEndCap() == Props::eCapSquare ? std::sqrt(2.0) : 1.0;
  if (p.penJoin() == Props::eJoinMiter) factor = std::max(factor, kMiterLimit);
  return half * factor;
}

using DevPoint = std::pair<double, double>;
using DevPath = std::vector<DevPoint>;

// Cairo holds coordinates in 24.8 fixed point, which wraps beyond about 8
// million pixels: paths that reach that far are cut to the visible area,
// widened by what a pen (miter joins included) can reach, before Cairo sees them.
constexpr double kFar = 4194304.0;

// Keeps arithmetic on far coordinates finite.
constexpr double kFarthest = 1e15;

bool isFar(const DevPath& path) {
  return std::any_of(path.begin(), path.end(),
                     [](const DevPoint& p) { return !(std::fabs(p.first) < kFar && std::fabs(p.second) < kFar); });
}

DevPath devPathOf(const std::vector<vcVector<2>>& points) {
  DevPath out;
  out.reserve(points.size());
  for (const vcVector<2>& v : points) out.emplace_back(v.x(), v.y());
  return out;
}

// The path shifted by (dx, dy) pixels.
void addPath(cairo_t* cr, const DevPath& path, bool closed, double dx, double dy) {
  cairo_move_to(cr, path[0].first + dx, path[0].second + dy);
  for (std::size_t i = 1; i < path.size(); ++i) cairo_line_to(cr, path[i].first + dx, path[i].second + dy);
  if (closed) cairo_close_path(cr);
}

// A box holding every point of shape (scope coordinates). Ellipses and their
// arcs give the square about their centre reaching their larger radius, much
// cheaper than their exact box.
vcRect roughBox(const vcShape& shape) {
  const auto around = [](const vcVector<2>& c, const vcVector<2>& r) {
    const double reach = std::max(std::fabs(r.x()), std::fabs(r.y()));
    return vcRect(c.x() - reach, c.y() - reach, 2.0 * reach, 2.0 * reach);
  };
  const std::type_info& type = typeid(shape);
  if (type == typeid(vcEllipse)) {
    const auto& e = static_cast<const vcEllipse&>(shape);
    return around(e.center(), e.radii());
  }
  if (type == typeid(vcEllipse2)) {
    const auto& e = static_cast<const vcEllipse2&>(shape);
    return around(e.center(), e.radii());
  }
  if (type == typeid(vcEllipseArc)) {
    const vcEllipse& e = static_cast<const vcEllipseArc&>(shape).ellipse();
    return around(e.center(), e.radii());
  }
  if (type == typeid(vcEllipseArc2)) {
    const auto& e = static_cast<const vcEllipseArc2&>(shape);
    return around(e.center(), e.radii());
  }
  return shape.boundingBox();
}

}  // namespace

double vcCairoScope::devX_(const vcPoint& p, long w) const {
  const double c = penCentre(w) + static_cast<double>(base_.x());
  if (antialias_ && &p != &drawPoint() && std::isfinite(p.x()))
    return std::clamp(p.x() - static_cast<double>(org().x()), -kFarthest, kFarthest) + c;
  return static_cast<double>(xCoord(p)) + c;
}

double vcCairoScope::devY_(const vcPoint& p, long w) const {
  const double c = penCentre(w) + static_cast<double>(base_.y());
  if (antialias_ && &p != &drawPoint() && std::isfinite(p.y()))
    return std::clamp(p.y() - static_cast<double>(org().y()), -kFarthest, kFarthest) + c;
  return static_cast<double>(yCoord(p)) + c;
}

void vcCairoScope::drawPath_(const std::vector<vcVector<2>>& points, bool closed, bool fill, int fillRule,
                             const vcGraphicProps& props) {
  const long w = penWidth(props);
  DevPath& dev = shared_->path;
  dev.clear();
  for (const vcVector<2>& v : points) {
    const vcPoint p(v);
    dev.emplace_back(devX_(p, w), devY_(p, w));
  }
  drawDevPath_(dev, closed, fill, fillRule, props);
}

void vcCairoScope::drawDevPath_(DevPath& dev, bool closed, bool fill, int fillRule, const vcGraphicProps& props) {
  const bool stroke = strokes(props);
  dev.erase(std::unique(dev.begin(), dev.end()), dev.end());
  if (closed && dev.size() > 1 && dev.front() == dev.back()) dev.pop_back();
  if (dev.empty() || (!stroke && !fill)) return;
  const long w = penWidth(props);
  const std::uint32_t ink = argbOf(props.penColor());
  const bool far = isFar(dev);
  if (dev.size() == 1) {
    // A path within one pixel shows as that pixel, whatever the caps.
    if (far) return;
    const double half = static_cast<double>(w) / 2.0;
    const vcUIRect bound = vfCairoCover(dev[0].first - half - 1.0, dev[0].second - half - 1.0,
                                        dev[0].first + half + 1.0, dev[0].second + half + 1.0);
    paint_(
        [&](cairo_t* cr, double dx, double dy) {
          // A square fills the same under either fill rule.
          cairo_rectangle(cr, dev[0].first - half + dx, dev[0].second - half + dy, static_cast<double>(w),
                          static_cast<double>(w));
          cairo_fill(cr);
        },
        ink, &bound);
    return;
  }
  // What is drawn: the path itself, or far paths cut near the clip.
  struct Job {
    const DevPath* area = nullptr;  // filled when it has 3 points or more
    const DevPath* runs = nullptr;  // stroked, runCount of them
    std::size_t runCount = 0;
    bool closedRuns = false;
    int fillRule = vcPolygon::eWinding;
    const Props* props = nullptr;
    Shared* shared = nullptr;
  } job;
  job.shared = shared_.get();
  job.fillRule = fillRule;
  job.props = &props;
  DevPath cutArea;
  std::vector<DevPath> cutRuns;
  if (far) {
    const vcUIRect c = clipRect();
    const double m = 10.0 * static_cast<double>(w) + 4.0;
    const vcRect box(static_cast<double>(c.left()) - m, static_cast<double>(c.top()) - m,
                     static_cast<double>(c.width()) + 2 * m, static_cast<double>(c.height()) + 2 * m);
    std::vector<vcVector<2>> points;
    points.reserve(dev.size());
    for (const DevPoint& p : dev) points.emplace_back(p.first, p.second);
    if (fill) cutArea = devPathOf(vfClipPolygon(points, box));
    if (stroke)
      for (const auto& run : vfClipPath(points, closed, box)) cutRuns.push_back(devPathOf(run));
    job.area = &cutArea;
    job.runs = cutRuns.data();
    job.runCount = cutRuns.size();
  } else {
    if (fill) job.area = &dev;
    if (stroke) job.runs = &dev;
    job.runCount = stroke ? 1 : 0;
    job.closedRuns = closed;
  }
  if (job.area && job.area->size() < 3) job.area = nullptr;
  // Every pixel the ink can reach: the path's box, widened by how far the pen
  // reaches beyond the path and by a pixel for rounding.
  double x0 = kFarthest, y0 = kFarthest, x1 = -kFarthest, y1 = -kFarthest;
  const auto enclose = [&](const DevPath& path) {
    for (const DevPoint& p : path) {
      x0 = std::min(x0, p.first);
      y0 = std::min(y0, p.second);
      x1 = std::max(x1, p.first);
      y1 = std::max(y1, p.second);
    }
  };
  if (job.area) enclose(*job.area);
  for (std::size_t i = 0; i < job.runCount; ++i) enclose(job.runs[i]);
  if (x0 > x1) return;
  const double reach = job.runCount == 0 ? 1.0 : penReach(props) + 1.0;
  const vcUIRect bound = vfCairoCover(x0 - reach, y0 - reach, x1 + reach, y1 + reach);
  // One captured pointer keeps the render function free of allocation.
  paint_(
      [&job](cairo_t* cr, double dx, double dy) {
        Settings* known = cr == job.shared->maskContext.get() ? &job.shared->maskSettings : nullptr;
        if (job.area) {
          addPath(cr, *job.area, true, dx, dy);
          applyFillRule(cr, job.fillRule, known);
          cairo_fill(cr);
        }
        if (job.runCount == 0) return;
        for (std::size_t i = 0; i < job.runCount; ++i) addPath(cr, job.runs[i], job.closedRuns, dx, dy);
        applyPen(cr, *job.props, known);
        cairo_stroke(cr);
      },
      ink, &bound);
}

void vcCairoScope::drawSampled_(const vcShape& shape, bool closed, bool fill, const vcGraphicProps& props) {
  if (!strokes(props) && !fill) return;
  // A curve whose box, widened by what the pen reaches and a pixel of
  // rounding each way, misses the clip is not sampled: none of its ink could
  // show. Boxes that are null or not finite are left to the path's own bound.
  const vcRect box = roughBox(shape);
  const vcVector<2> lo = box.origin(), hi = box.corner();
  if (!box.isNull() && std::isfinite(lo.x()) && std::isfinite(lo.y()) && std::isfinite(hi.x()) &&
      std::isfinite(hi.y())) {
    if (isNull()) return;
    const long w = penWidth(props);
    const vcPoint first(lo), last(hi);
    const double m = penReach(props) + 2.0;
    const vcUIRect c = clipRect();
    if (c.isNull() || devX_(last, w) + m < static_cast<double>(c.left()) ||
        devY_(last, w) + m < static_cast<double>(c.top()) || devX_(first, w) - m > static_cast<double>(c.right()) ||
        devY_(first, w) - m > static_cast<double>(c.bottom()))
      return;
  }
  vcShape::vcSampleParams params(kSampleTolerance, 0.0, 2);
  params.maxPoints(kMaxSamples);
  std::vector<vcVector<2>>& points = shared_->samples;
  points.clear();
  shape.sample(params, points);
  drawPath_(points, closed, fill, vcPolygon::eWinding, props);
}

VC_SCOPE_PATH_FORMS(vcCairoScope)
