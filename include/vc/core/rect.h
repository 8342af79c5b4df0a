// Axis-aligned rectangles: vcRect (doubles, geometric, a shape) and
// vcRectangle<T> (integers, pixel windows).
#pragma once

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <vector>

#include <vc/core/genrect.h>
#include <vc/core/pair.h>
#include <vc/core/shapebase.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>

class vcArchive;

// A rectangle of doubles: origin (lowest x and y) and size, in the caller's
// frame and unit. Sizes are kept as given, never normalised.
//
// As a point set the rectangle is closed: [x, x + width] x [y, y + height],
// right and bottom edges inside. So a rectangle of size 0 is the single point
// at its origin (or a line segment when one side is 0): isEmpty(), since it
// has no area, but not isNull(). A negative width or height (or NaN) makes the
// rectangle null: it holds no point at all. The default rectangle is null, so
// it is the neutral start for enclose().
//
// As a shape it is a region whose boundary runs from the origin along +x, then
// through (x + w, y + h) and (x, y + h) back to the origin. A null rectangle
// has area and perimeter 0, holds no point, and throws
// vcShapesError::DegenerateShape for distanceToPoint, tangentAt and sample.
class vcRect : public vcShapeBase<vcRect> {
public:
  // The null rectangle: origin (0, 0), size (-1, -1).
  vcRect() = default;
  // x, y: the origin; w, h: the size.
  vcRect(double x, double y, double w, double h) : o_(x, y), s_(w, h) {}
  vcRect(const vcVector<2>& origin, const vcVector<2>& size) : o_(origin), s_(size) {}

  const vcVector<2>& origin() const { return o_; }
  const vcVector<2>& size() const { return s_; }
  double x() const { return o_.x(); }
  double y() const { return o_.y(); }
  double width() const { return s_.x(); }
  double height() const { return s_.y(); }
  // The opposite corner: origin() + size().
  vcVector<2> corner() const { return o_ + s_; }
  vcVector<2> center() const { return o_ + s_ * 0.5; }

  void origin(const vcVector<2>& o) {
    notifyMutation_();
    o_ = o;
  }
  void size(const vcVector<2>& s) {
    notifyMutation_();
    s_ = s;
  }

  // No area: width or height <= 0 (or NaN).
  bool isEmpty() const override { return !(s_.x() > 0.0 && s_.y() > 0.0); }
  // No points: width or height < 0 (or NaN).
  bool isNull() const { return !(s_.x() >= 0.0 && s_.y() >= 0.0); }

  // Grows this rectangle to the smallest one that holds it and p. A null
  // rectangle becomes the size-0 rectangle at p.
  vcRect& enclose(const vcVector<2>& p);
  // Grows this rectangle to the smallest one that holds it and r. Enclosing
  // a null r changes nothing; a null rectangle becomes r.
  vcRect& enclose(const vcRect& r);

  // The intersection; a null rectangle when they have no point in common
  // (rectangles that only touch give a size-0 side).
  vcRect operator&(const vcRect& r) const;
  vcRect& operator&=(const vcRect& r) { return *this = *this & r; }

  // True when p lies in the closed rectangle (edges included).
  bool contains(const vcVector<2>& p) const;

  // Exact comparison of origin and size.
  bool operator==(const vcRect& r) const { return o_ == r.o_ && s_ == r.s_; }
  bool operator!=(const vcRect& r) const { return !(*this == r); }

  // The rectangle mapped by x: the vcGenRect through the mapped corners
  // (corner 0 at the mapped origin). A negative size maps to the
  // parallelogram that the corners span. Throws vcShapesError::BadGeom when a
  // value is not finite.
  vcGenRect map(const vcXform<2>& x) const;

  // A vcRect under a translation and positive scaling along the axes, else the
  // vcGenRect of map().
  vcShapeHandle mapShape(const vcXform<2>& x) const override;
  // The rectangle itself.
  vcRect boundingBox() const override { return *this; }
  // 0 inside, else the distance to the nearest edge.
  double distanceToPoint(const vcVector<2>& p) const override;

  bool isClosedContour() const override { return true; }
  bool isRegion() const override { return true; }
  bool isFinite() const override;
  bool hasTangent() const override { return true; }

  // 2 (w + h), 0 for a null rectangle.
  double perimeter() const override;
  // w h, 0 for a null rectangle.
  double area() const override;
  // The same as contains(p).
  bool within(const vcVector<2>& p) const override;
  // Direction of the edge nearest to p, following the boundary's direction.
  vcVector<2> tangentAt(const vcVector<2>& p) const override;
  // The boundary through the four corners (vcGenRect::sampleOutline).
  void sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const override;

  // Fixed image: x, y, width, height as little-endian doubles at bytes 8..39;
  // bytes 0..7 and 40..59 zero.
  static constexpr std::size_t kImageSize = 60;
  void writeImage(unsigned char* out) const;
  // Throws vcShapesError::BadGeom when a value is not finite.
  static vcRect readImage(const unsigned char* in);

private:
  friend class vcShapeBase<vcRect>;
  // Archive form: version byte 0, the vcShape part, x, y, width, height.
  // Loading rejects values that are not finite.
  void archiveFields_(vcArchive& ar);
  template <class Codec>
  void image_(Codec& c);

  vcVector<2> o_;
  vcVector<2> s_{-1.0, -1.0};
};
extern template class vcShapeBase<vcRect>;

// The archive form of a rectangle value: its persistent form, exchanged in place.
vcArchive& operator||(vcArchive& ar, vcRect& r);

std::ostream& operator<<(std::ostream& os, const vcRect& r);

// An integer rectangle, typically a window of pixels (vcRectangle<long>):
// origin (x, y) and size (width, height). As a set of pixels it is half-open:
// columns x .. right() - 1 and rows y .. bottom() - 1, so the right and
// bottom edges are outside. The default is the empty rectangle at (0, 0).
template <class T>
class vcRectangle {
public:
  constexpr vcRectangle() : x_(), y_(), w_(), h_() {}
  constexpr vcRectangle(T x, T y, T w, T h) : x_(x), y_(y), w_(w), h_(h) {}
  constexpr vcRectangle(const vcPair<T>& origin, const vcPair<T>& size)
      : x_(origin.x()), y_(origin.y()), w_(size.x()), h_(size.y()) {}

  constexpr T x() const { return x_; }
  constexpr T y() const { return y_; }
  constexpr T width() const { return w_; }
  constexpr T height() const { return h_; }
  // One past the last column and row.
  constexpr T right() const { return x_ + w_; }
  constexpr T bottom() const { return y_ + h_; }
  constexpr vcPair<T> origin() const { return vcPair<T>(x_, y_); }
  constexpr vcPair<T> size() const { return vcPair<T>(w_, h_); }

  // No pixel: width or height <= 0.
  constexpr bool isEmpty() const { return !(w_ > T() && h_ > T()); }

  // The common pixels; the default (empty) rectangle when there are none.
  constexpr vcRectangle operator&(const vcRectangle& r) const {
    if (isEmpty() || r.isEmpty()) return vcRectangle();
    const T l = std::max(x_, r.x_), t = std::max(y_, r.y_);
    const T rt = std::min(right(), r.right()), b = std::min(bottom(), r.bottom());
    if (!(l < rt && t < b)) return vcRectangle();
    return vcRectangle(l, t, rt - l, b - t);
  }
  constexpr vcRectangle& operator&=(const vcRectangle& r) { return *this = *this & r; }

  // True when pixel (px, py) is inside.
  constexpr bool contains(T px, T py) const { return px >= x_ && px < right() && py >= y_ && py < bottom(); }
  constexpr bool contains(const vcPair<T>& p) const { return contains(p.x(), p.y()); }
  // True when every pixel of r is inside; an empty r is inside any rectangle.
  constexpr bool contains(const vcRectangle& r) const {
    return r.isEmpty() ||
           (!isEmpty() && r.x_ >= x_ && r.y_ >= y_ && r.right() <= right() && r.bottom() <= bottom());
  }

  constexpr bool operator==(const vcRectangle& r) const {
    return x_ == r.x_ && y_ == r.y_ && w_ == r.w_ && h_ == r.h_;
  }

private:
  T x_, y_, w_, h_;
};

template <class T>
std::ostream& operator<<(std::ostream& os, const vcRectangle<T>& r) {
  return os << '(' << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ')';
}
