// The shape graphics: one core-library shape (the item) with its props.
//
// vcGraphicBuiltin<T> holds the item and the behaviour every shape graphic
// shares; vcGraphicSimple<T> and vcGraphicWithFill<T, U> are the concrete,
// registered and archived classes. U is the shape a mapped T may turn into
// (a circle under a non-uniform scale becomes a vcEllipse2). The members are
// compiled once, in the library, for these instances only:
//
//   graphic class                                  made by makeShapeGraphic (order)
//   vcGraphicSimple<vcPoint>                       -
//   vcGraphicSimple<vc2Point>                      1
//   vcGraphicSimple<vcLineSeg>                     2
//   vcGraphicSimple<vcLine>                        3
//   vcGraphicSimple<vcFLine>                       4
//   vcGraphicWithFill<vcRect, vcGenRect>           5
//   vcGraphicWithFill<vcCircle, vcEllipse2>        6
//   vcGraphicWithFill<vcAnnulus, vcGenAnnulus>     7
//   vcGraphicSimple<vcEllipseArc2>                 8
//   vcGraphicWithFill<vcEllipse2, vcEllipse2>      9
//   vcGraphicWithFill<vcGenRect, vcGenRect>        10
//   vcGraphicSimple<vcGenAnnulus>                  11
//   vcGraphicWithFill<vcGenAnnulus, vcGenAnnulus>  -
//   vcGraphicSimple<vcPolyline>                    12
//   vcGraphicSimple<vcAffineRectangle>             15
//   vcGraphicSimple<vcBezierCurve>                 16
//   vcGraphicSimple<vcDeBoorSpline>                17
//   vcGraphicSimple<vcInterpSpline>                18
//   vcGraphicSimple<vcHermiteSpline>               19
//   vcGraphicWithFill<vcEllipseAnnulus, vcEllipseAnnulus>  20
//   vcGraphicEllipseAnnulusSection (<vc/graphic_special.h>) 21
//   vcGraphicSimple<vcLineSegSet>                  22
//   vcGraphicSimple<vcCoordAxes>, <vcPointSet>, <vcPolygon>, <vcEllipseArc>,
//   vcGraphicWithFill<vcCircle, vcEllipse>, <vcEllipse, vcEllipse>        -
//
// Steps 13 and 14 (generalised polygons and wireframes) belong to the graphics
// of those types, which live beside them.
#pragma once

#include <vc/core/core.h>
#include <vc/graphic.h>

// The item and the behaviour every shape graphic shares; its archive part is
// a version byte 0, the vcGraphic part, then the item.
template <class T>
class vcGraphicBuiltin : public vcGraphic {
public:
  // Default item, default props.
  vcGraphicBuiltin();
  vcGraphicBuiltin(const T& item, const vcGraphicProps& props);
  // Props vcGraphicProps(color, 1, solid, unfilled).
  vcGraphicBuiltin(const T& item, const vcColor& color);
  vcGraphicBuiltin(const vcGraphicBuiltin& o);
  vcGraphicBuiltin& operator=(const vcGraphicBuiltin& o);

  // A modifiable item; notifies the persistent base first.
  T& item();
  const T& item() const noexcept { return item_; }

  // The item's bounding box; empty for a degenerate item.
  vcRect encloseRect() const override;
  double distToPoint(const vcVector<2>& p) const override;

  void dispatchSerialize(vcArchive& ar) override;

protected:
  void serialize_(vcArchive& ar, unsigned char version) override;

private:
  T item_;
};

template <class T>
class vcGraphicSimple : public vcGraphicBase<vcGraphicSimple<T>, vcGraphicBuiltin<T>> {
public:
  // Version byte 0, then the vcGraphicBuiltin<T> part.
  static constexpr vcGraphic::ArchiveForm kArchiveForm{0, nullptr, 0};

  vcGraphicSimple() = default;
  // Props as in vcGraphicBuiltin.
  using vcGraphicSimple::vcGraphicBase::vcGraphicBase;

  // The item mapped by the shape's own map, with the same props.
  vcPtrHandle<vcGraphic> map(const vcXform<2>& x) const override;

protected:
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const override;
  using vcGraphic::draw;

private:
  friend class vcGraphicBase<vcGraphicSimple<T>, vcGraphicBuiltin<T>>;
  void archiveFields_(vcArchive&, unsigned char) {}
};

template <class T, class U>
class vcGraphicWithFill : public vcGraphicBase<vcGraphicWithFill<T, U>, vcGraphicBuiltin<T>> {
public:
  // Version byte 1, then the vcGraphicBuiltin<T> part; version 0 (read only)
  // is followed by a bool that becomes the fill flag.
  static constexpr vcGraphic::ArchiveForm kArchiveForm{1, nullptr, 0};

  vcGraphicWithFill() = default;
  // Props as in vcGraphicBuiltin.
  using vcGraphicWithFill::vcGraphicBase::vcGraphicBase;
  // Props vcGraphicProps(color, 1, solid, fill).
  vcGraphicWithFill(const T& item, const vcColor& color, bool fill);

  // Sets the props' fill flag (notifying).
  void fill(bool f);
  bool fill() const noexcept { return this->props().fill(); }

  // The mapped item: a vcGraphicWithFill<U, U> when it turned into a U, of
  // this class when it stayed a T; vcShapesError::DegenerateShape otherwise.
  vcPtrHandle<vcGraphic> map(const vcXform<2>& x) const override;

protected:
  void draw(vcUITablet& t, vcUITabletTypes::Layers layers) const override;
  using vcGraphic::draw;

private:
  friend class vcGraphicBase<vcGraphicWithFill<T, U>, vcGraphicBuiltin<T>>;
  void archiveFields_(vcArchive& ar, unsigned char version);
};
