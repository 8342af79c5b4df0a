// The exchange between graphic lists and the graphics-list library's
// vgr_list. Each record type (<vgr/vgr.h>) has here the graphic it becomes
// (graphicOf), the tablet call that draws it directly (kDraws) and, for the
// graphic classes that have one, the record a graphic becomes (recordOf).
#include <vc/glist.h>

#include <limits>
#include <optional>
#include <string>

#include <vc/color.h>
#include <vc/core/exception.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>
#include <vc/uitablet.h>
#include <vgr/vmath.h>

namespace {

using Layers = vcUITabletTypes::Layers;

vcVector<2> vec(const vgr_xy& p) { return vcVector<2>(p.x, p.y); }
vgr_xy xy(const vcVector<2>& v) { return {v.x(), v.y()}; }
vcLineSeg seg(const vgr_seg& s) { return vcLineSeg(vec(s.p1), vec(s.p2)); }
vgr_seg seg(const vcLineSeg& s) { return {xy(s.p1()), xy(s.p2())}; }

vcPtrHandle<vcGraphic> handle(vcGraphic* g) { return vcPtrHandle<vcGraphic>(g); }

vcGraphicProps propsOf(const vcColor& c) { return vcGraphicProps(c, 1, vcGraphicProps::ePenSolid, false); }

using Segs = vcGraphicSimple<vcLineSeg>;
using Lines = vcGraphicSimple<vcLine>;
using Rects = vcGraphicWithFill<vcRect, vcGenRect>;
using GenRects = vcGraphicWithFill<vcGenRect, vcGenRect>;
using Ellipses = vcGraphicWithFill<vcEllipse2, vcEllipse2>;
using Polylines = vcGraphicSimple<vcPolyline>;
using AffineRects = vcGraphicSimple<vcAffineRectangle>;
using SegSets = vcGraphicSimple<vcLineSegSet>;

// ---- record to graphic -------------------------------------------------------------

vcPtrHandle<vcGraphic> graphicOf(const vgr_pointRecord& r, const vcColor& c) {
  return handle(new vcGraphicPointIcon(vcPoint(vec(r.p)), c));
}
vcPtrHandle<vcGraphic> graphicOf(const vgr_lineSegRecord& r, const vcColor& c) { return handle(new Segs(seg(r.s), c)); }
vcPtrHandle<vcGraphic> graphicOf(const vgr_lineRecord& r, const vcColor& c) {
  return handle(new Lines(vcLine(vec(r.direction), vec(r.point)), c));
}
vcPtrHandle<vcGraphic> graphicOf(const vgr_rectRecord& r, const vcColor& c) {
  return handle(new Rects(vcRect(vec(r.origin), vec(r.size)), c, false));
}
vcPtrHandle<vcGraphic> graphicOf(const vgr_genRectRecord& r, const vcColor& c) {
  return handle(
      new GenRects(vcGenRect(vec(r.center), vec(r.sides), vcRadian(r.orientation), vec(r.rounding)), c, false));
}
vcPtrHandle<vcGraphic> graphicOf(const vgr_ellipseRecord& r, const vcColor& c) {
  return handle(new Ellipses(vcEllipse2(vcVector<2>(r.a, r.b), vcRadian(r.rotation), vec(r.center)), c, false));
}
// Through the ellipse's unit-circle map.
vcPtrHandle<vcGraphic> graphicOf(const vgr_shapeEllipseRecord& r, const vcColor& c) {
  double m[6];
  vfThrowExceptionOnFailure(vmath_shapeEllipse_getXform(r.bytes.data(), m));
  const vcXform<2> x(vcMatrix<2>(m[0], m[1], m[2], m[3]), vcVector<2>(m[4], m[5]));
  const vcEllipse2 unit(vcVector<2>(1.0, 1.0), vcRadian(0.0), vcVector<2>(0.0, 0.0));
  return handle(new Ellipses(unit.map(x), c, false));
}
vcPtrHandle<vcGraphic> graphicOf(const vgr_polylineRecord& r, const vcColor& c) {
  std::vector<vcVector<2>> points;
  points.reserve(r.points.size());
  for (const vgr_xy& p : r.points) points.push_back(vec(p));
  return handle(new Polylines(vcPolyline(points, r.closed), c));
}
// Through three of its corners.
vcPtrHandle<vcGraphic> graphicOf(const vgr_shapeAffineRectRecord& r, const vcColor& c) {
  double p[6];
  vfThrowExceptionOnFailure(vmath_shapeAffineRect_getPoints(r.bytes.data(), p));
  const vcAffineRectangle a(vcVector<2>(p[0], p[1]), vcVector<2>(p[2], p[3]), vcVector<2>(p[4], p[5]));
  return handle(new AffineRects(a, c));
}
vcPtrHandle<vcGraphic> graphicOf(const vgr_textRecord& r, const vcColor& c) {
  const vcUIFormat format(r.fontId, static_cast<vcUIFormat::Alignment>(r.alignment));
  return handle(new vcGraphicText(r.text, vcPoint(vec(r.location)), c, vfColor(r.background), format, vec(r.offset)));
}
vcPtrHandle<vcGraphic> graphicOf(const vgr_lineSegSetRecord& r, const vcColor& c) {
  std::vector<vcLineSeg> segs;
  segs.reserve(r.segments.size());
  for (const vgr_seg& s : r.segments) segs.push_back(seg(s));
  return handle(new SegSets(vcLineSegSet(segs), c));
}

// ---- direct drawing ----------------------------------------------------------------

// How the graphic of each record type draws directly, by type code. The
// direct draws use the tablet's color overloads, as the graphics-list
// library's own drawing does.
using DrawFn = void (*)(vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers layers);

template <class G>
const G& as(const vcGraphic& g) {
  return static_cast<const G&>(g);
}

void drawEllipse(vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
  t.draw(as<Ellipses>(g).item(), propsOf(c), l);
}

constexpr DrawFn kDraws[] = {
    [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
      t.drawPointIcon(as<vcGraphicPointIcon>(g).item(), c, l);
    },
    [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) { t.draw(as<Segs>(g).item(), c, l); },
    [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) { t.draw(as<Lines>(g).item(), c, l); },
    [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) { t.draw(as<Rects>(g).item(), c, l, false); },
    [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
      t.draw(as<GenRects>(g).item(), c, l, false);
    },
    &drawEllipse,
    &drawEllipse,
    [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
      t.draw(as<Polylines>(g).item(), propsOf(c), l);
    },
    [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) { t.draw(as<AffineRects>(g).item(), c, l); },
    [](vcUITablet& t, const vcGraphic& g, const vcColor&, Layers l) { t.draw(g, l); },
    [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
      t.draw(as<SegSets>(g).item(), propsOf(c), l);
    },
};
static_assert(std::size(kDraws) == std::variant_size_v<vgr_payload>, "one direct draw per record type");

struct Built {
  vcPtrHandle<vcGraphic> graphic;
  vcColor color;
  std::int32_t type;
};

// Reads and checks the whole of src, then builds the graphic of every record;
// throws before anything is used when any of it is malformed.
std::vector<Built> buildAll(const vgr_list* src) {
  if (!src) throw vcBadPointer("null vgr_list");
  std::vector<vgr_record> records;
  std::int32_t bad = -1;
  if (const int rc = vgr_list_decode(src, &records, &bad); rc != VGR_OK) {
    const std::string where = bad < 0 ? "count " + std::to_string(src->count) : "record " + std::to_string(bad);
    throw vcBadArgument("vgr_list, " + where + ": " + vgr_resultText(rc));
  }
  std::vector<Built> built;
  built.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const vgr_record& r = records[i];
    const vcColor color = vfColor(r.color);
    try {
      built.push_back({std::visit([&color](const auto& p) { return graphicOf(p, color); }, r.payload), color,
                       r.type()});
    } catch (const vcException& e) {
      // A shape's own complaint (a zero line direction, a rounding above 1, ...).
      throw vcBadArgument("vgr_list, record " + std::to_string(i) + ": " + e.what());
    }
  }
  return built;
}

// ---- graphic to record -------------------------------------------------------------

// The record of g; none for a graphic without a record form.
std::optional<vgr_payload> recordOf(const vcGraphic& g) {
  if (const auto* p = dynamic_cast<const vcGraphicPointIcon*>(&g)) return vgr_pointRecord{xy(p->item())};
  if (const auto* s = dynamic_cast<const Segs*>(&g)) return vgr_lineSegRecord{seg(s->item())};
  if (const auto* l = dynamic_cast<const Lines*>(&g))
    return vgr_lineRecord{xy(l->item().direction()), xy(l->item().point())};
  if (const auto* r = dynamic_cast<const Rects*>(&g)) return vgr_rectRecord{xy(r->item().origin()), xy(r->item().size())};
  if (const auto* gr = dynamic_cast<const GenRects*>(&g)) {
    // The record has no room for skew: the rectangle of the side lengths and
    // orientation is kept.
    const vcGenRect& b = gr->item();
    return vgr_genRectRecord{xy(b.center()), xy(b.sideLengths()), b.matrix().xRot().toDouble(), xy(b.rounding())};
  }
  if (const auto* a = dynamic_cast<const AffineRects*>(&g)) {
    const vcAffineRectangle& q = a->item();
    const double pts[6] = {q.cornerPo().x(), q.cornerPo().y(), q.cornerPx().x(),
                           q.cornerPx().y(), q.cornerPy().x(), q.cornerPy().y()};
    vgr_shapeAffineRectRecord rec;
    vfThrowExceptionOnFailure(vmath_shapeAffineRect_initPoints(rec.bytes.data(), pts));
    return rec;
  }
  if (const auto* pl = dynamic_cast<const Polylines*>(&g)) {
    const auto& v = pl->item().points();
    if (v.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
      throw vcBadArgument("vfGraphicListAppend: polyline too long for a vgr_list");
    vgr_polylineRecord rec;
    rec.closed = pl->item().isClosed();
    rec.points.reserve(v.size());
    for (const auto& p : v) rec.points.push_back(xy(p));
    return rec;
  }
  if (const auto* ss = dynamic_cast<const SegSets*>(&g)) {
    const auto& segs = ss->item().segments();
    if (segs.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
      throw vcBadArgument("vfGraphicListAppend: segment set too long for a vgr_list");
    vgr_lineSegSetRecord rec;
    rec.segments.reserve(segs.size());
    for (const auto& s : segs) rec.segments.push_back(seg(s));
    return rec;
  }
  if (const auto* t = dynamic_cast<const vcGraphicText*>(&g)) {
    // The record's text ends at its first zero: a text holding one cannot be
    // kept whole, so it is refused rather than cut short.
    if (t->item().find('\0') != std::string::npos)
      throw vcBadArgument("vfGraphicListAppend: a text holding a zero byte has no vgr_list record");
    const long font = t->format().fontId();
    if (font < std::numeric_limits<std::int32_t>::min() || font > std::numeric_limits<std::int32_t>::max())
      throw vcBadArgument("vfGraphicListAppend: font id does not fit a vgr_list record");
    return vgr_textRecord{vfColor(t->backgroundColor()), xy(t->location()), xy(t->offset()),
                          static_cast<std::int32_t>(font), static_cast<std::uint32_t>(t->format().alignment()),
                          t->item()};
  }
  return std::nullopt;
}

}  // namespace

void vfGraphicListAppend(vcGraphicList& list, const vgr_list* src) {
  std::vector<Built> built = buildAll(src);
  for (Built& b : built) list.append(std::move(b.graphic), false);
}

void vfUITabletDraw(vcUITablet& t, const vgr_list* src, Layers layers) {
  for (const Built& b : buildAll(src)) kDraws[b.type](t, *b.graphic, b.color, layers);
}

void vfGraphicListAppend(vgr_list* dst, const vcGraphicList& list) {
  if (!dst) throw vcBadPointer("null vgr_list");
  // Built aside and appended whole, so a failure leaves dst as it was.
  vgr_list added;
  for (const auto& g : list.items()) {
    if (!g) throw vcBadPointer("vfGraphicListAppend: null graphic");
    if (const std::optional<vgr_payload> rec = recordOf(*g))
      vfThrowExceptionOnFailure(vgr_list_append(&added, vfColor(g->color()), *rec));
  }
  if (added.count > std::numeric_limits<std::int32_t>::max() - dst->count ||
      added.records.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - dst->records.size())
    vfThrowExceptionOnFailure(VGR_ERR_FULL);
  dst->records.insert(dst->records.end(), added.records.begin(), added.records.end());
  dst->count += added.count;
}
