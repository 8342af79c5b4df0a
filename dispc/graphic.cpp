// vcGraphic: props, archive part and the shape-to-graphic factory.
#include <vc/graphic.h>

#include <utility>
#include <vector>

#include <vc/core/archive.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>

#include "shape_classes.h"

vcGraphic::vcGraphic() = default;

vcGraphic::vcGraphic(const vcColor& c) : props_(c, 1, vcGraphicProps::ePenSolid, false) {}

vcGraphic::vcGraphic(const vcGraphicProps& p) : props_(p) {}

vcGraphic::vcGraphic(const vcGraphic& o) : vcPersistent(), vcRepBase(), props_(o.props_), builtin_(o.builtin_) {}

vcGraphic& vcGraphic::operator=(const vcGraphic& o) {
  if (this == &o) return *this;
  notifyMutation_();
  props_ = o.props_;
  builtin_ = o.builtin_;
  return *this;
}

vcGraphicProps& vcGraphic::props() {
  notifyMutation_();
  return props_;
}

void vcGraphic::props(const vcGraphicProps& p) {
  notifyMutation_();
  props_ = p;
  setProps_(props_);
}

void vcGraphic::color(const vcColor& c) {
  notifyMutation_();
  props_.penColor(c);
  setProps_(props_);
}

vcGraphic::~vcGraphic() {
  for (vcGraphicWatcher* w = watchers_; w; w = std::exchange(w->next_, nullptr)) w->watched_ = nullptr;
}

void vcGraphic::watch(vcGraphicWatcher& w) const {
  if (w.watched_) throw vcBadArgument("vcGraphic::watch: the watcher already watches a graphic");
  w.watched_ = this;
  w.next_ = watchers_;
  watchers_ = &w;
  const_cast<vcGraphic*>(this)->mutationFlag(true);
}

void vcGraphic::unwatch(vcGraphicWatcher& w) const noexcept {
  if (w.watched_ != this) return;
  for (vcGraphicWatcher** at = &watchers_; *at; at = &(*at)->next_)
    if (*at == &w) {
      *at = w.next_;
      break;
    }
  w.watched_ = nullptr;
  w.next_ = nullptr;
}

void vcGraphic::mutating_() {
  vcPersistent::mutating_();
  for (vcGraphicWatcher* w = watchers_; w; w = w->next_) w->graphicChanging(*this);
}

void vcGraphic::draw(void*) const {}

void vcGraphic::setProps_(const vcGraphicProps&) {}

void vcGraphic::exchangePart_(vcArchive& ar, void* self, unsigned size, const ArchiveForm& form,
                              void (*exchange)(vcArchive& ar, void* self, unsigned char version)) {
  if (haveVisited(self, size)) return;
  unsigned char version = form.version;
  ar || version;
  if (version > form.version) {
    if (form.source) throw vcArchive::UnknownVersion(form.source, form.line);
    throw vcArchive::UnknownVersion(typeid(*this).name(), 0);
  }
  exchange(ar, self, version);
  setVisited(self, size);
}

void vcGraphic::dispatchSerialize(vcArchive& ar) {
  static constexpr ArchiveForm kForm{ckGraphicVersion, "dispc/glist", 29};
  exchangePart_(ar, this, sizeof(vcGraphic), kForm, [](vcArchive& a, void* self, unsigned char version) {
    static_cast<vcGraphic*>(self)->vcGraphic::serialize_(a, version);
  });
}

void vcGraphic::serialize_(vcArchive& ar, unsigned char version) {
  vcPersistent::dispatchSerialize(ar);
  if (version == 0) {
    // Version 0 kept only the pen color; it is never written any more.
    vcColor c = props_.penColor();
    ar || c;
    props_ = vcGraphicProps(c, 1, vcGraphicProps::ePenSolid, false);
    return;
  }
  ar || static_cast<vcPersistent&>(props_);
}

// ---- makeShapeGraphic ------------------------------------------------------------

namespace {

using MakeFn = vcPtrHandle<vcGraphic> (*)(const vcShape& shape, const vcGraphicProps& props);

// One step of the factory: the graphic G of a shape of class S, with S
// matching derived classes too.
template <class S, class G>
vcPtrHandle<vcGraphic> tryMake(const vcShape& shape, const vcGraphicProps& props) {
  if (const S* s = dynamic_cast<const S*>(&shape)) return vcPtrHandle<vcGraphic>(new G(*s, props));
  return vcPtrHandle<vcGraphic>();
}

// One step of the factory's order: the graphic of the step's shape class.
struct Step {
  int number;
  MakeFn make;
};

// Tried in order of their step numbers; the first match wins.
constexpr Step kSteps[] = {
    {1, &tryMake<vc2Point, vcGraphicSimple<vc2Point>>},
    {2, &tryMake<vcLineSeg, vcGraphicSimple<vcLineSeg>>},
    {3, &tryMake<vcLine, vcGraphicSimple<vcLine>>},
    {4, &tryMake<vcFLine, vcGraphicSimple<vcFLine>>},
    {5, &tryMake<vcRect, vcGraphicWithFill<vcRect, vcGenRect>>},
    {6, &tryMake<vcCircle, vcGraphicWithFill<vcCircle, vcEllipse2>>},
    {7, &tryMake<vcAnnulus, vcGraphicWithFill<vcAnnulus, vcGenAnnulus>>},
    {8, &tryMake<vcEllipseArc2, vcGraphicSimple<vcEllipseArc2>>},
    {9, &tryMake<vcEllipse2, vcGraphicWithFill<vcEllipse2, vcEllipse2>>},
    {10, &tryMake<vcGenRect, vcGraphicWithFill<vcGenRect, vcGenRect>>},
    {11, &tryMake<vcGenAnnulus, vcGraphicSimple<vcGenAnnulus>>},
    {12, &tryMake<vcPolyline, vcGraphicSimple<vcPolyline>>},
    // Steps 13 (vcGenPoly) and 14 (vc2Wireframe) are registered by those
    // classes, beside their graphics (vc_ShapeClassRegistration).
    {15, &tryMake<vcAffineRectangle, vcGraphicSimple<vcAffineRectangle>>},
    {16, &tryMake<vcBezierCurve, vcGraphicSimple<vcBezierCurve>>},
    {17, &tryMake<vcDeBoorSpline, vcGraphicSimple<vcDeBoorSpline>>},
    {18, &tryMake<vcInterpSpline, vcGraphicSimple<vcInterpSpline>>},
    {19, &tryMake<vcHermiteSpline, vcGraphicSimple<vcHermiteSpline>>},
    {20, &tryMake<vcEllipseAnnulus, vcGraphicWithFill<vcEllipseAnnulus, vcEllipseAnnulus>>},
    {21, &tryMake<vcEllipseAnnulusSection, vcGraphicEllipseAnnulusSection>},
    {22, &tryMake<vcLineSegSet, vcGraphicSimple<vcLineSegSet>>},
};

}  // namespace

vcPtrHandle<vcGraphic> vcGraphic::makeShapeGraphic(const vcShape* shape, const vcGraphicProps& props) {
  if (!shape) return vcPtrHandle<vcGraphic>();
  if (const auto* tree = dynamic_cast<const vcShapeTree*>(shape)) {
    vcPtrHandle<vcGraphicGroup> group(new vcGraphicGroup);
    group->props_ = props;
    group->setProps_(props);
    std::vector<vcPtrHandle<vcGraphic>> items;
    items.reserve(tree->children().size());
    for (const vcShapeHandle_const& child : tree->children()) items.push_back(makeShapeGraphic(child.ptr(), props));
    group->items_ = std::move(items);
    group->itemsChanged_();
    return group;
  }
  // The built-in steps and the registered classes, merged in step order.
  const std::vector<vc_ShapeClass>& extra = vf_registeredShapeClasses();
  auto next = extra.begin();
  for (const Step& step : kSteps) {
    for (; next != extra.end() && next->step < step.number; ++next)
      if (next->claims(*shape)) return next->graphic(*shape, props);
    if (vcPtrHandle<vcGraphic> g = step.make(*shape, props)) return g;
  }
  for (; next != extra.end(); ++next)
    if (next->claims(*shape)) return next->graphic(*shape, props);
  throw NoGraphicForShape("");
}

vcPtrHandle<vcGraphic> vcGraphic::makeShapeGraphic(const vcShape& shape, const vcGraphicProps& props) {
  return makeShapeGraphic(&shape, props);
}

vcPtrHandle<vcGraphic> vcGraphic::makeShapeGraphic(const vcPtrHandle_const<vcShape>& shape,
                                                   const vcGraphicProps& props) {
  return makeShapeGraphic(shape.ptr(), props);
}
