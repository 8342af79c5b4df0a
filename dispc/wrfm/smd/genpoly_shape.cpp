// vcGenPoly as a vcShape: the geometric queries, answered in client
// coordinates, mostly through the outline's decomposition into core shapes.
#include <cmath>
#include <string>

#include <vc/core/exception.h>
#include <vc/core/mathutil.h>
#include <vc/core/rect.h>
#include <vc/core/shapetree.h>
#include <vc/wrfm/genpoly.h>

namespace {

using P = vcSMDGDPolyPrivate;

bool xformRealEq(const vcXform<2>& a, const vcXform<2>& b, double tol) {
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c)
      if (!vfRealEq(a.matrix().element(r, c), b.matrix().element(r, c), tol)) return false;
  return vfRealEq(a.trans().x(), b.trans().x(), tol) && vfRealEq(a.trans().y(), b.trans().y(), tol);
}

}  // namespace

bool vcGenPoly::hasTangent() const {
  if (numVertices() < 2) return false;
  const vcVector<2>& first = poly_->vertex(0).point();
  for (const vcSMDGDPolyVertex& v : poly_->vertices())
    if (!(v.point() == first)) return true;
  return false;
}

vcVector<2> vcGenPoly::startPoint() const {
  if (!isOpenContour()) throw vcShapesError::NotOpenContour("vcGenPoly::startPoint: not an open contour");
  return vertexPoint(0);
}

vcVector<2> vcGenPoly::endPoint() const {
  if (!isOpenContour()) throw vcShapesError::NotOpenContour("vcGenPoly::endPoint: not an open contour");
  return vertexPoint(numVertices() - 1);
}

vcRadian vcGenPoly::startAngle() const {
  if (!isOpen()) throw vcShapesError::NotOpenContour("vcGenPoly::startAngle: the poly is closed");
  if (numVertices() < 2) throw vcShapesError::NoTangent("vcGenPoly::startAngle: fewer than two vertices");
  return vcRadian((vertexPoint(1) - vertexPoint(0)).angle());
}

vcRadian vcGenPoly::endAngle() const {
  if (!isOpen()) throw vcShapesError::NotOpenContour("vcGenPoly::endAngle: the poly is closed");
  const long n = numVertices();
  if (n < 2) throw vcShapesError::NoTangent("vcGenPoly::endAngle: fewer than two vertices");
  return vcRadian((vertexPoint(n - 1) - vertexPoint(n - 2)).angle());
}

bool vcGenPoly::within(const vcVector<2>& p) const {
  if (!isRegion()) throw vcShapesError::NotRegion("vcGenPoly::within: the poly is not closed");
  return smd_([&] { return P::inside(*poly_, xform_.invMapPoint(p)); });
}

double vcGenPoly::distanceToPoint(const vcVector<2>& p) const {
  if (isRegion() && within(p)) return 0.0;
  return decomposeShape()->distanceToPoint(p);
}

vcRect vcGenPoly::boundingBox() const { return decomposeShape()->boundingBox(); }
double vcGenPoly::perimeter() const { return decomposeShape()->perimeter(); }
vcVector<2> vcGenPoly::tangentAt(const vcVector<2>& p) const { return decomposeShape()->tangentAt(p); }

void vcGenPoly::sample(const vcSampleParams& params, std::vector<vcVector<2>>& result) const {
  decomposeShape()->sample(params, result);
}

vcRect vcGenPoly::encloseRect(const vcXform<2>& x) const {
  return smd_([&] { return poly_->boundingBox(x * xform_); });
}

vcShapeHandle vcGenPoly::decomposeShape() const {
  const long n = numVertices();
  if (n == 1) return vfShapeHandle(vcLineSeg(vertexPoint(0), vertexPoint(0)));
  std::vector<vcShapeHandle_const> parts;
  for (long i = 0; i < n; ++i) {
    if (vertexRoundingSize(i) != 0.0) parts.emplace_back(vfShapeHandle(roundedVertexArc(i)));
    if (isOpen() && i == n - 1) break;
    if (isLineSegment(i))
      parts.emplace_back(vfShapeHandle(lineSegment(i, false)));
    else
      parts.emplace_back(vfShapeHandle(ellipseSegment(i, false)));
  }
  return vfShapeHandle(vcContourTree(parts, !isOpen()));
}

std::vector<vcShapeHandle> vcGenPoly::decompose() const {
  const vcShapeHandle whole = decomposeShape();
  const auto* tree = dynamic_cast<const vcContourTree*>(whole.ptr());
  if (!tree) return {whole};
  std::vector<vcShapeHandle> r;
  for (const vcShapeHandle_const& c : tree->children()) r.push_back(c->clone());
  return r;
}

vcShapeHandle vcGenPoly::mapShape(const vcXform<2>& x) const { return vfShapeHandle(map(x)); }

vcShapeHandle vcGenPoly::reverse() const {
  // A clone keeps the dynamic type: a wireframe reverses into a wireframe.
  vcShapeHandle r = clone();
  vcSMDGDPoly& target = *static_cast<vcGenPoly&>(*r).poly_;
  smd_([&] { P::reversePoly(*poly_, target); });
  return r;
}

vcVector<2> vcGenPoly::center() const { return xform_ * P::position(*poly_).trans(); }

vcGenPoly vcGenPoly::map(const vcXform<2>& x) const {
  if (x.matrix().isSingular()) throw vcShapesError::BadGeom("vcGenPoly::map: the transform is singular");
  vcGenPoly r(*this);
  r.xform_ = x * xform_;
  return r;
}

vcGenPoly vcGenPoly::map(const vc2Rigid& rigid, double scale) const {
  vcGenPoly r(*this);
  smd_([&] { *r.poly_ = rigid * (scale * *poly_); });
  return r;
}

bool vcGenPoly::operator==(const vcGenPoly& o) const { return *poly_ == *o.poly_ && xform_ == o.xform_; }

bool vfRealEq(const vcGenPoly& a, const vcGenPoly& b, double tol) {
  return vfRealEq(*a.poly_, *b.poly_, tol) && xformRealEq(a.xform_, b.xform_, tol) && a.mutable_ == b.mutable_;
}
