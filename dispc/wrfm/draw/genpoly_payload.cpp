#include "genpoly_payload.h"

#include <string>

vc_GenPolyPayload vc_GenPolyCodec::of(const vcGenPoly& g) {
  const vcSMDGDPoly& poly = g.poly();
  vc_GenPolyPayload p;
  p.xform = g.xform();
  p.isMutable = g.isMutable();
  for (const vcSMDGDPolyVertex& v : poly.vertices()) {
    const vcDimTol& t = v.segmentLengthTol();
    p.vertices.push_back({v.point(), v.vertexRadius(), v.segmentAngleSpan().toDouble(), t.nomDim(), t.minTol(),
                          t.maxTol(), static_cast<long>(t.tolType())});
  }
  p.roundStart = poly.roundingStartPoints();
  p.roundEnd = poly.roundingEndPoints();
  p.roundSpan = poly.roundingSpans();
  p.open = poly.isOpen();
  return p;
}

vcGenPoly vc_GenPolyCodec::shape(const vc_GenPolyPayload& p) {
  std::vector<vcSMDGDPolyVertex> list;
  list.reserve(p.vertices.size());
  for (const vc_GenPolyVertexPayload& v : p.vertices) {
    if (!std::isfinite(v.point.x()) || !std::isfinite(v.point.y()) || !std::isfinite(v.radius) ||
        !std::isfinite(v.span))
      throw vcShapesError::BadGeom("sketch record: poly vertex value is not finite");
    for (double t : {v.nom, v.min, v.max})
      if (!std::isfinite(t)) throw vcShapesError::BadGeom("sketch record: poly tolerance is not finite");
    const vcDimTol tol(v.nom, v.min, v.max, static_cast<vcDimTol::TolType>(static_cast<std::uint32_t>(v.type)));
    list.emplace_back(v.point, v.radius, vcDegree(v.span), 0.5, 0.5, -1, tol);
  }
  vcSMDGDPoly poly;
  poly.vertices(list);
  if (!p.open) poly.close();
  return vcGenPoly(poly, p.xform, p.isMutable);
}
