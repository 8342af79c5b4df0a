// Offsets of SMD models: every poly on its own, or the union of all (courtyards).
#include <vc/wrfm/smdmodel.h>

vcSMDGDModel vcSMDGDModelPrivate::offset(const vcSMDGDModel& m, double distance) {
  std::vector<vcSMDGDPoly> polys;
  for (const vcSMDGDPoly& p : m.polys())
    for (vcSMDGDPoly& q : vcSMDGDPolyPrivate::offset(p, distance)) polys.push_back(std::move(q));
  vcSMDGDModel out(m.name());
  out.polys(polys);
  out.position_ = m.position_;
  return out;
}

vcSMDGDModel vcSMDGDModelPrivate::courtyard(const vcSMDGDModel& m, double clearance) {
  vcSMDGDModel out(m.name());
  out.polys(vcSMDGDPolyPrivate::offsetUnion(m.polys(), clearance));
  out.position_ = m.position_;
  return out;
}
