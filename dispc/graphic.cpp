// vcGraphic: props, archive part and the shape-to-graphic factory.
#include <vc/graphic.h>

#include <vc/core/archive.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>

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

void vcGraphic::draw(void*) const {}

void vcGraphic::setProps_(const vcGraphicProps&) {}

void vcGraphic::dispatchSerialize(vcArchive& ar) {
  if (haveVisited(this, sizeof(vcGraphic))) return;
  unsigned char version = ckGraphicVersion;
  ar || version;
  vcGraphic::serialize_(ar, version);
  setVisited(this, sizeof(vcGraphic));
}

void vcGraphic::serialize_(vcArchive& ar, unsigned char version) {
  if (version > ckGraphicVersion) throw vcArchive::UnknownVersion("dispc/glist", 29);
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

// One step of the factory: the graphic G of a shape of class S, with S
// matching derived classes too.
template <class S, class G>
vcPtrHandle<vcGraphic> tryMake(const vcShape& shape, const vcGraphicProps& props) {
  if (const S* s = dynamic_cast<const S*>(&shape)) return vcPtrHandle<vcGraphic>(new G(*s, props));
  return vcPtrHandle<vcGraphic>();
}

using MakeFn = vcPtrHandle<vcGraphic> (*)(const vcShape&, const vcGraphicProps&);

// Tried in order; the first match wins. Steps 13 (vcGenPoly) and 14
// (vc2Wireframe) join here from the graphics of those types once they exist.
constexpr MakeFn kMakers[] = {
    &tryMake<vc2Point, vcGraphicSimple<vc2Point>>,                                  // 1
    &tryMake<vcLineSeg, vcGraphicSimple<vcLineSeg>>,                                // 2
    &tryMake<vcLine, vcGraphicSimple<vcLine>>,                                      // 3
    &tryMake<vcFLine, vcGraphicSimple<vcFLine>>,                                    // 4
    &tryMake<vcRect, vcGraphicWithFill<vcRect, vcGenRect>>,                         // 5
    &tryMake<vcCircle, vcGraphicWithFill<vcCircle, vcEllipse2>>,                    // 6
    &tryMake<vcAnnulus, vcGraphicWithFill<vcAnnulus, vcGenAnnulus>>,                // 7
    &tryMake<vcEllipseArc2, vcGraphicSimple<vcEllipseArc2>>,                        // 8
    &tryMake<vcEllipse2, vcGraphicWithFill<vcEllipse2, vcEllipse2>>,                // 9
    &tryMake<vcGenRect, vcGraphicWithFill<vcGenRect, vcGenRect>>,                   // 10
    &tryMake<vcGenAnnulus, vcGraphicSimple<vcGenAnnulus>>,                          // 11
    &tryMake<vcPolyline, vcGraphicSimple<vcPolyline>>,                              // 12
    &tryMake<vcAffineRectangle, vcGraphicSimple<vcAffineRectangle>>,                // 15
    &tryMake<vcBezierCurve, vcGraphicSimple<vcBezierCurve>>,                        // 16
    &tryMake<vcDeBoorSpline, vcGraphicSimple<vcDeBoorSpline>>,                      // 17
    &tryMake<vcInterpSpline, vcGraphicSimple<vcInterpSpline>>,                      // 18
    &tryMake<vcHermiteSpline, vcGraphicSimple<vcHermiteSpline>>,                    // 19
    &tryMake<vcEllipseAnnulus, vcGraphicWithFill<vcEllipseAnnulus, vcEllipseAnnulus>>,  // 20
    &tryMake<vcEllipseAnnulusSection, vcGraphicEllipseAnnulusSection>,              // 21
    &tryMake<vcLineSegSet, vcGraphicSimple<vcLineSegSet>>,                          // 22
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
  for (MakeFn make : kMakers)
    if (vcPtrHandle<vcGraphic> g = make(*shape, props)) return g;
  throw NoGraphicForShape("");
}

vcPtrHandle<vcGraphic> vcGraphic::makeShapeGraphic(const vcShape& shape, const vcGraphicProps& props) {
  return makeShapeGraphic(&shape, props);
}

vcPtrHandle<vcGraphic> vcGraphic::makeShapeGraphic(const vcPtrHandle_const<vcShape>& shape,
                                                   const vcGraphicProps& props) {
  return makeShapeGraphic(shape.ptr(), props);
}
