// The members of the shape graphic templates, for the files that compile
// their instances: graphic_shapes.cpp for the core shapes, and the files of
// the shape classes above the display layer for theirs.
#pragma once

#include <vc/graphic_shapes.h>

#include <type_traits>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/uitablet.h>

// ---- vcGraphicBuiltin ----------------------------------------------------------

template <class T>
vcGraphicBuiltin<T>::vcGraphicBuiltin() = default;

template <class T>
vcGraphicBuiltin<T>::vcGraphicBuiltin(const T& item, const vcGraphicProps& props) : vcGraphic(props), item_(item) {}

template <class T>
vcGraphicBuiltin<T>::vcGraphicBuiltin(const T& item, const vcColor& color) : vcGraphic(color), item_(item) {}

template <class T>
vcGraphicBuiltin<T>::vcGraphicBuiltin(const vcGraphicBuiltin& o)
    : vcPersistent(), vcRepBase(), vcGraphic(o), item_(o.item_) {}

template <class T>
vcGraphicBuiltin<T>& vcGraphicBuiltin<T>::operator=(const vcGraphicBuiltin& o) {
  if (this == &o) return *this;
  vcGraphic::operator=(o);
  item_ = o.item_;
  return *this;
}

template <class T>
T& vcGraphicBuiltin<T>::item() {
  this->notifyMutation_();
  return item_;
}

template <class T>
vcRect vcGraphicBuiltin<T>::encloseRect() const {
  if constexpr (std::is_same_v<T, vcPoint>) {
    return vcRect(item_, vcVector<2>(0.0, 0.0));
  } else {
    try {
      return item_.boundingBox();
    } catch (const vcShapesError::DegenerateShape&) {
      return vcRect();
    }
  }
}

template <class T>
double vcGraphicBuiltin<T>::distToPoint(const vcVector<2>& p) const {
  if constexpr (std::is_same_v<T, vcPoint>)
    return (p - vcVector<2>(item_)).len();
  else
    return item_.distanceToPoint(p);
}

template <class T>
void vcGraphicBuiltin<T>::dispatchSerialize(vcArchive& ar) {
  static constexpr ArchiveForm kForm{0, nullptr, 0};
  exchangePart_(ar, this, sizeof(vcGraphicBuiltin<T>), kForm, [](vcArchive& a, void* self, unsigned char version) {
    static_cast<vcGraphicBuiltin<T>*>(self)->vcGraphicBuiltin<T>::serialize_(a, version);
  });
}

template <class T>
void vcGraphicBuiltin<T>::serialize_(vcArchive& ar, unsigned char) {
  vcGraphic::dispatchSerialize(ar);
  if constexpr (std::is_base_of_v<vcPersistent, T>)
    ar || static_cast<vcPersistent&>(item_);
  else
    ar || item_;
}

// ---- vcGraphicSimple -------------------------------------------------------------

template <class T>
vcPtrHandle<vcGraphic> vcGraphicSimple<T>::map(const vcXform<2>& x) const {
  if constexpr (std::is_same_v<T, vcPoint>)
    return vcPtrHandle<vcGraphic>(new vcGraphicSimple<T>(vcPoint(x.mapPoint(this->item())), this->props()));
  else if constexpr (std::is_same_v<T, vcEllipseArc2>)
    return vcPtrHandle<vcGraphic>(new vcGraphicSimple<T>(this->item().map(vc2XformLinear(x)), this->props()));
  else
    return vcPtrHandle<vcGraphic>(new vcGraphicSimple<T>(this->item().map(x), this->props()));
}

template <class T>
void vcGraphicSimple<T>::draw(vcUITablet& t, vcUITabletTypes::Layers layers) const {
  t.draw(this->item(), this->props(), layers);
}

// ---- vcGraphicWithFill -----------------------------------------------------------

template <class T, class U>
vcGraphicWithFill<T, U>::vcGraphicWithFill(const T& item, const vcColor& color, bool fill)
    : vcGraphicWithFill::vcGraphicBase(item, vcGraphicProps(color, 1, vcGraphicProps::ePenSolid, fill)) {}

template <class T, class U>
void vcGraphicWithFill<T, U>::fill(bool f) {
  this->props().fill(f);
}

template <class T, class U>
vcPtrHandle<vcGraphic> vcGraphicWithFill<T, U>::map(const vcXform<2>& x) const {
  if constexpr (std::is_same_v<U, vcEllipse>) {
    // The exact conic image, always an ellipse.
    return vcPtrHandle<vcGraphic>(new vcGraphicWithFill<vcEllipse, vcEllipse>(this->item().map(x), this->props()));
  } else {
    const vcShapeHandle mapped = this->item().mapShape(x);
    if constexpr (!std::is_same_v<T, U>) {
      if (const U* u = dynamic_cast<const U*>(mapped.ptr()))
        return vcPtrHandle<vcGraphic>(new vcGraphicWithFill<U, U>(*u, this->props()));
    }
    if (const T* t = dynamic_cast<const T*>(mapped.ptr()))
      return vcPtrHandle<vcGraphic>(new vcGraphicWithFill<T, U>(*t, this->props()));
    throw vcShapesError::DegenerateShape(this->className() + "::map: the mapped item is of another shape class");
  }
}

template <class T, class U>
void vcGraphicWithFill<T, U>::draw(vcUITablet& t, vcUITabletTypes::Layers layers) const {
  t.draw(this->item(), this->props(), layers);
}

template <class T, class U>
void vcGraphicWithFill<T, U>::archiveFields_(vcArchive& ar, unsigned char version) {
  if (version == 0) {
    // Version 0 stored the fill flag after the item; it is never written any more.
    bool f = false;
    ar || f;
    vcGraphicProps p = this->props();
    p.fill(f);
    this->restoreProps_(p);
  }
}
