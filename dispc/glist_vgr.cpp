// The exchange between graphic lists and the graphics-list library's
// vgr_list: one table of record types gives, for each, the graphic a record
// becomes and the tablet call that draws it directly.
#include <vc/glist.h>

#include <cstring>
#include <limits>
#include <string>

#include <vc/color.h>
#include <vc/core/exception.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>
#include <vc/uitablet.h>
#include <vgr/vmath.h>

namespace {

using Layers = vcUITabletTypes::Layers;
using Values = std::vector<double>;

vcVector<2> at(const Values& v, std::size_t i) { return vcVector<2>(v[i], v[i + 1]); }

vcPtrHandle<vcGraphic> handle(vcGraphic* g) { return vcPtrHandle<vcGraphic>(g); }

vcGraphicProps propsOf(const vcColor& c) { return vcGraphicProps(c, 1, vcGraphicProps::ePenSolid, false); }

std::vector<vcVector<2>> points(const Values& v) {
  std::vector<vcVector<2>> p;
  p.reserve(v.size() / 2);
  for (std::size_t i = 0; i + 1 < v.size(); i += 2) p.push_back(at(v, i));
  return p;
}

// The graphic of each record type, and how the record draws directly. The
// direct draws use the tablet's color overloads, as the graphics-list
// library's own drawing does.
struct RecordKind {
  vcPtrHandle<vcGraphic> (*make)(const vgr_record& r, const vcColor& c);
  void (*draw)(vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers layers);
};

template <class G>
const G& as(const vcGraphic& g) {
  return static_cast<const G&>(g);
}

using Segs = vcGraphicSimple<vcLineSeg>;
using Lines = vcGraphicSimple<vcLine>;
using Rects = vcGraphicWithFill<vcRect, vcGenRect>;
using GenRects = vcGraphicWithFill<vcGenRect, vcGenRect>;
using Ellipses = vcGraphicWithFill<vcEllipse2, vcEllipse2>;
using Polylines = vcGraphicSimple<vcPolyline>;
using AffineRects = vcGraphicSimple<vcAffineRectangle>;
using SegSets = vcGraphicSimple<vcLineSegSet>;

void drawEllipse(vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
  t.draw(as<Ellipses>(g).item(), propsOf(c), l);
}

const RecordKind kKinds[] = {
    // 0: point
    {[](const vgr_record& r, const vcColor& c) { return handle(new vcGraphicPointIcon(vcPoint(at(r.values, 0)), c)); },
     [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
       t.drawPointIcon(as<vcGraphicPointIcon>(g).item(), c, l);
     }},
    // 1: segment
    {[](const vgr_record& r, const vcColor& c) {
       return handle(new Segs(vcLineSeg(at(r.values, 0), at(r.values, 2)), c));
     },
     [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) { t.draw(as<Segs>(g).item(), c, l); }},
    // 2: line
    {[](const vgr_record& r, const vcColor& c) {
       return handle(new Lines(vcLine(at(r.values, 0), at(r.values, 2)), c));
     },
     [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) { t.draw(as<Lines>(g).item(), c, l); }},
    // 3: rectangle
    {[](const vgr_record& r, const vcColor& c) {
       return handle(new Rects(vcRect(at(r.values, 0), at(r.values, 2)), c, false));
     },
     [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) { t.draw(as<Rects>(g).item(), c, l, false); }},
    // 4: generalised rectangle
    {[](const vgr_record& r, const vcColor& c) {
       const Values& v = r.values;
       return handle(new GenRects(vcGenRect(at(v, 0), at(v, 2), vcRadian(v[4]), at(v, 5)), c, false));
     },
     [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
       t.draw(as<GenRects>(g).item(), c, l, false);
     }},
    // 5: ellipse
    {[](const vgr_record& r, const vcColor& c) {
       const Values& v = r.values;
       return handle(new Ellipses(vcEllipse2(at(v, 2), vcRadian(v[4]), at(v, 0)), c, false));
     },
     &drawEllipse},
    // 6: maths-library ellipse, through its unit-circle map
    {[](const vgr_record& r, const vcColor& c) {
       double m[6];
       vfThrowExceptionOnFailure(vmath_shapeEllipse_getXform(r.raw.data(), m));
       const vcXform<2> x(vcMatrix<2>(m[0], m[1], m[2], m[3]), vcVector<2>(m[4], m[5]));
       const vcEllipse2 unit(vcVector<2>(1.0, 1.0), vcRadian(0.0), vcVector<2>(0.0, 0.0));
       return handle(new Ellipses(unit.map(x), c, false));
     },
     &drawEllipse},
    // 7: polyline
    {[](const vgr_record& r, const vcColor& c) {
       return handle(new Polylines(vcPolyline(points(r.values), r.closed), c));
     },
     [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
       t.draw(as<Polylines>(g).item(), propsOf(c), l);
     }},
    // 8: maths-library affine rectangle, through three of its corners
    {[](const vgr_record& r, const vcColor& c) {
       double p[6];
       vfThrowExceptionOnFailure(vmath_shapeAffineRect_getPoints(r.raw.data(), p));
       const vcAffineRectangle a(vcVector<2>(p[0], p[1]), vcVector<2>(p[2], p[3]), vcVector<2>(p[4], p[5]));
       return handle(new AffineRects(a, c));
     },
     [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) { t.draw(as<AffineRects>(g).item(), c, l); }},
    // 9: text
    {[](const vgr_record& r, const vcColor& c) {
       const vcUIFormat format(r.fontId, static_cast<vcUIFormat::Alignment>(r.alignment));
       return handle(new vcGraphicText(r.text, vcPoint(at(r.values, 0)), c, vfColor(r.background), format,
                                       at(r.values, 2)));
     },
     [](vcUITablet& t, const vcGraphic& g, const vcColor&, Layers l) { t.draw(g, l); }},
    // 10: segment set
    {[](const vgr_record& r, const vcColor& c) {
       std::vector<vcLineSeg> segs;
       segs.reserve(r.values.size() / 4);
       for (std::size_t i = 0; i + 3 < r.values.size(); i += 4)
         segs.emplace_back(at(r.values, i), at(r.values, i + 2));
       return handle(new SegSets(vcLineSegSet(segs), c));
     },
     [](vcUITablet& t, const vcGraphic& g, const vcColor& c, Layers l) {
       t.draw(as<SegSets>(g).item(), propsOf(c), l);
     }},
};
static_assert(std::size(kKinds) == VGR_LINESEG_SET + 1, "one kind per record type");

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
      built.push_back({kKinds[r.type].make(r, color), color, r.type});
    } catch (const vcException& e) {
      // A shape's own complaint (a zero line direction, a rounding above 1, ...).
      throw vcBadArgument("vgr_list, record " + std::to_string(i) + ": " + e.what());
    }
  }
  return built;
}

// Appends one record of g to dst; false for a graphic without a record form.
bool appendRecord(vgr_list& dst, const vcGraphic& g) {
  const vgr_color c = vfColor(g.color());
  if (const auto* p = dynamic_cast<const vcGraphicPointIcon*>(&g)) {
    vfThrowExceptionOnFailure(vgr_list_appendPoint(&dst, c, p->item().x(), p->item().y()));
  } else if (const auto* s = dynamic_cast<const Segs*>(&g)) {
    const vcLineSeg& l = s->item();
    vfThrowExceptionOnFailure(vgr_list_appendLineSeg(&dst, c, l.p1().x(), l.p1().y(), l.p2().x(), l.p2().y()));
  } else if (const auto* ln = dynamic_cast<const Lines*>(&g)) {
    const vcLine& l = ln->item();
    vfThrowExceptionOnFailure(vgr_list_appendLineDirPoint(&dst, c, l.direction().x(), l.direction().y(),
                                                          l.point().x(), l.point().y()));
  } else if (const auto* r = dynamic_cast<const Rects*>(&g)) {
    const vcRect& b = r->item();
    vfThrowExceptionOnFailure(
        vgr_list_appendRect(&dst, c, b.origin().x(), b.origin().y(), b.size().x(), b.size().y()));
  } else if (const auto* gr = dynamic_cast<const GenRects*>(&g)) {
    // The record has no room for skew: the rectangle of the side lengths and
    // orientation is kept.
    const vcGenRect& b = gr->item();
    const vcVector<2> size = b.sideLengths();
    vfThrowExceptionOnFailure(vgr_list_appendGenRect(&dst, c, b.center().x(), b.center().y(), size.x(), size.y(),
                                                     b.matrix().xRot().toDouble(), b.rounding().x(),
                                                     b.rounding().y()));
  } else if (const auto* a = dynamic_cast<const AffineRects*>(&g)) {
    const vcAffineRectangle& q = a->item();
    const double pts[6] = {q.cornerPo().x(), q.cornerPo().y(), q.cornerPx().x(),
                           q.cornerPx().y(), q.cornerPy().x(), q.cornerPy().y()};
    unsigned char rec[VGR_SHAPE_AFFINE_RECT_SIZE];
    vfThrowExceptionOnFailure(vmath_shapeAffineRect_initPoints(rec, pts));
    vfThrowExceptionOnFailure(vgr_list_appendShapeAffineRect(&dst, c, rec));
  } else if (const auto* pl = dynamic_cast<const Polylines*>(&g)) {
    const auto& v = pl->item().points();
    if (v.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
      throw vcBadArgument("vfGraphicListAppend: polyline too long for a vgr_list");
    std::vector<double> xy;
    xy.reserve(2 * v.size());
    for (const auto& q2 : v) xy.insert(xy.end(), {q2.x(), q2.y()});
    vfThrowExceptionOnFailure(vgr_list_appendPolyline(&dst, c, static_cast<std::int32_t>(v.size()), xy.data(),
                                                      pl->item().isClosed()));
  } else if (const auto* ss = dynamic_cast<const SegSets*>(&g)) {
    const auto& segs = ss->item().segments();
    if (segs.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
      throw vcBadArgument("vfGraphicListAppend: segment set too long for a vgr_list");
    std::vector<double> xy;
    xy.reserve(4 * segs.size());
    for (const auto& s2 : segs) xy.insert(xy.end(), {s2.p1().x(), s2.p1().y(), s2.p2().x(), s2.p2().y()});
    vfThrowExceptionOnFailure(
        vgr_list_appendLineSegSet(&dst, c, static_cast<std::int32_t>(segs.size()), xy.data()));
  } else if (const auto* t = dynamic_cast<const vcGraphicText*>(&g)) {
    // The record's text ends at its first zero: a text holding one cannot be
    // kept whole, so it is refused rather than cut short.
    if (t->item().find('\0') != std::string::npos)
      throw vcBadArgument("vfGraphicListAppend: a text holding a zero byte has no vgr_list record");
    const long font = t->format().fontId();
    if (font < std::numeric_limits<std::int32_t>::min() || font > std::numeric_limits<std::int32_t>::max())
      throw vcBadArgument("vfGraphicListAppend: font id does not fit a vgr_list record");
    vfThrowExceptionOnFailure(vgr_list_appendTextEx(
        &dst, c, vfColor(t->backgroundColor()), t->item().c_str(), t->location().x(), t->location().y(),
        t->offset().x(), t->offset().y(), static_cast<std::int32_t>(font),
        static_cast<std::uint32_t>(t->format().alignment())));
  } else {
    return false;
  }
  return true;
}

}  // namespace

void vfGraphicListAppend(vcGraphicList& list, const vgr_list* src) {
  std::vector<Built> built = buildAll(src);
  for (Built& b : built) list.append(std::move(b.graphic), false);
}

void vfUITabletDraw(vcUITablet& t, const vgr_list* src, Layers layers) {
  for (const Built& b : buildAll(src)) kKinds[b.type].draw(t, *b.graphic, b.color, layers);
}

void vfGraphicListAppend(vgr_list* dst, const vcGraphicList& list) {
  if (!dst) throw vcBadPointer("null vgr_list");
  // Built aside and appended whole, so a failure leaves dst as it was.
  vgr_list added;
  for (const auto& g : list.items()) {
    if (!g) throw vcBadPointer("vfGraphicListAppend: null graphic");
    appendRecord(added, *g);
  }
  if (added.count > std::numeric_limits<std::int32_t>::max() - dst->count ||
      added.records.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - dst->records.size())
    vfThrowExceptionOnFailure(VGR_ERR_FULL);
  dst->records.insert(dst->records.end(), added.records.begin(), added.records.end());
  dst->count += added.count;
}
