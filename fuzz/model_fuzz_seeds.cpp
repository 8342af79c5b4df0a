// Valid inputs for the model target: models of straight, rounded and round
// polys (with segment extensions and several polys), each under placements
// that put it inside the image, across its edge and far beyond it.
#include <cstdint>
#include <vector>

#include <vc/core/archive.h>
#include <vc/wrfm/smdmodel.h>

namespace {

using V = vcVector<2>;

// A body whose sides extend past its corners, a pad with rounded corners
// and a round pad.
vcSMDGDModel component() {
  vcSMDGDPoly body = vcSMDGDPoly::rectangle(60, 30, V(0, 0));
  std::vector<vcSMDGDPolyVertex> corners = body.vertices();
  for (vcSMDGDPolyVertex& c : corners) {
    c.forwardExtension(0.2);
    c.backwardExtension(0.1);
  }
  body.vertices(corners);
  vcSMDGDPoly pad;
  for (const V& at : {V(46, -9), V(34, -9), V(34, 9), V(46, 9)}) pad << vcSMDGDPolyVertex(at, 3.0, 0.5, 0.5, -1);
  pad.close();
  vcSMDGDModel m("component");
  m.polys({body, pad, vcSMDGDPoly::circle(5, V(0, -24))});
  return m;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> vc_fuzzSeeds() {
  std::vector<vcSMDGDModel> models = {component(), vcSMDGDModel("empty")};
  models.emplace_back("circle");
  models.back().polys({vcSMDGDPoly::circle(20, V(0, 0))});
  models.emplace_back("triangle");
  models.back().polys({vcSMDGDPoly::triangle(30, 20, V(3, 1))});
  std::vector<std::vector<std::uint8_t>> seeds;
  for (vcSMDGDModel& m : models) {
    vcBufferArchive out(vcArchive::eStore);
    out || m;
    for (const std::uint8_t placement : {32, 33, 41, 3, 7}) {
      std::vector<std::uint8_t> seed = {placement};
      seed.insert(seed.end(), out.bytes().begin(), out.bytes().end());
      seeds.push_back(seed);
    }
  }
  return seeds;
}
