// Feeds arbitrary bytes to the archive readers of every persistent type, to
// the RLE row reader, to the fixed-size shape image readers, to the segment,
// dimension and SMD poly values, to graphic lists and to graphics. The first
// byte chooses the reader; the rest is its input. A read may fail only with
// the library's exceptions, and a failed load must leave its target exactly
// as it was.
#include <memory>
#include <string>
#include <vector>

#include <vc/core/affinerect.h>
#include <vc/core/archive.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/genrect.h>
#include <vc/core/points.h>
#include <vc/core/rect.h>
#include <vc/core/rle.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
#include <vc/display.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/lineseg.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/wireframe.h>

#include "fuzz_target.h"

namespace {

constexpr std::uint8_t kGeometrySelector = 0xF8;
// The selector of readers added later still: its next byte picks one of
// loadExtended's readers, so new families do not take the meaning of a
// selector that stored corpus files already use.
constexpr std::uint8_t kExtendedSelector = 0xF7;

// Loads a value of type T over a copy of `initial`; on failure the target
// must still equal `initial`.
template <class T>
void loadValue(const std::uint8_t* data, std::size_t size, const T& initial) {
  T target = initial;
  vcBufferArchive ar(data, size);
  try {
    ar || target;
  } catch (const vcException&) {
    if (!(target == initial)) vc_fuzzFailure("failed load changed its target");
    return;
  }
  // A successful load must store back to bytes that load to the same value.
  vcBufferArchive out(vcArchive::eStore);
  out || target;
  vcBufferArchive again(out.bytes());
  T back = initial;
  again || back;
  if (!(back == target)) vc_fuzzFailure("loaded value does not round-trip");
}

// Loads any registered class by name through the object exchange.
void loadObject(const std::uint8_t* data, std::size_t size) {
  vcBufferArchive ar(data, size);
  vcPersistent* p = nullptr;
  try {
    ar.serializePointer(p);
  } catch (const vcException&) {
    return;
  }
  // Shared representations stay owned by the archive; plain objects are ours.
  if (p && !dynamic_cast<vcRepBase*>(p)) delete p;
}

void loadRuns(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return;
  const long width = data[0] | (data[1] << 8);
  const long height = data[2] | (data[3] << 8);
  std::size_t used = 0;
  try {
    vcRLEBuffer rle = vcRLEBuffer::fromRows(width, height, data + 4, size - 4, &used);
    if (used > size - 4) vc_fuzzFailure("fromRows consumed more than it was given");
    if (!(vcRLEBuffer::encode(rle.decode()) == rle)) vc_fuzzFailure("RLE image does not round-trip");
  } catch (const vcException&) {
  }
}

// A fixed-size shape image: a valid one writes back to bytes that read to
// an equal shape; an invalid one throws.
template <class S>
void readImage(const std::uint8_t* data, std::size_t size) {
  if (size < S::kImageSize) return;
  try {
    const S shape = S::readImage(data);
    std::vector<unsigned char> out(S::kImageSize);
    shape.writeImage(out.data());
    if (!(S::readImage(out.data()) == shape)) vc_fuzzFailure("shape image does not round-trip");
  } catch (const vcException&) {
  }
}

void loadShapeImage(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::uint8_t* body = data + 1;
  const std::size_t n = size - 1;
  switch (data[0] % 8) {
    case 0: readImage<vcEllipse>(body, n); break;
    case 1: readImage<vcEllipseArc>(body, n); break;
    case 2: readImage<vcEllipseAnnulusSection>(body, n); break;
    case 3: readImage<vcGenRect>(body, n); break;
    case 4: readImage<vcGenAnnulus>(body, n); break;
    case 5: readImage<vcAffineRectangle>(body, n); break;
    case 6: readImage<vcRect>(body, n); break;
    case 7: readImage<vcCross>(body, n); break;
  }
}

// A closed poly with a rounded corner and an arc, placed by a transform.
vcGenPoly fuzzGenPoly() {
  vcGenPoly g;
  g.insertVertex(vcVector<2>(0, 0), 0, vcRadian(0));
  g.insertVertex(vcVector<2>(4, 0), 1, vcDegree(30));
  g.insertVertex(vcVector<2>(4, 4), 0, vcRadian(0));
  g.close(vcRadian(0));
  return g.map(vcXform<2>(vcMatrix<2>(1, 0.5, 0, 2), vcVector<2>(3, 4)));
}

// The wireframe segments, the SMD dimension values, the SMD polys, and the
// generalised polys and wireframes.
void loadGeometryValue(unsigned which, const std::uint8_t* data, std::size_t size) {
  switch (which % 8) {
    case 0: loadValue(data, size, vc2SegmentLine(vcVector<2>(1, 2), vcVector<2>(3, 4))); break;
    case 1: loadValue(data, size, vc2SegmentArc(vcVector<2>(1, 2), vcVector<2>(3, 4), vcDegree(90))); break;
    case 2: loadValue(data, size, vcDimTol(10, 1, 2, vcDimTol::eOffsets)); break;
    case 3: loadValue(data, size, vcDimTol::ePercentages); break;
    case 4: loadValue(data, size, vcSMDDimension(10, 9, 12, vcSMDDimension::eScaleNominal)); break;
    case 5: loadValue(data, size, vcSMDGDPoly::rectangle(4, 2, vcVector<2>(1, 1))); break;
    case 6: loadValue(data, size, vcSMDGDPolyVertex(vcVector<2>(1, 2), 0.5, 0.25, 0.75, 3)); break;
    case 7: loadValue(data, size, vcSMDColors()); break;
  }
}

std::vector<unsigned char> storedBytes(vcGraphicList& list) {
  vcBufferArchive out(vcArchive::eStore);
  out || list;
  return out.bytes();
}

// A graphic list read over one that holds two graphics: a failed read must
// leave it exactly as it was; a successful one must store back to bytes that
// read to the same stored form.
void loadGraphicList(const std::uint8_t* data, std::size_t size) {
  vcGraphicList target;
  target.append(vcGraphic::makeShapeGraphic(vcCircle(vcVector<2>(1, 2), 3), vcGraphicProps()), false);
  target.append(vcPtrHandle<vcGraphic>(), false);
  const std::vector<vcPtrHandle<vcGraphic>> before = target.items();
  const std::vector<unsigned char> beforeBytes = storedBytes(target);
  vcBufferArchive ar(data, size);
  try {
    ar || target;
  } catch (const vcException&) {
    if (target.items() != before || storedBytes(target) != beforeBytes)
      vc_fuzzFailure("failed graphic list load changed its target");
    return;
  }
  const std::vector<unsigned char> stored = storedBytes(target);
  vcGraphicList back;
  vcBufferArchive again(stored);
  again || back;
  if (storedBytes(back) != stored) vc_fuzzFailure("loaded graphic list does not round-trip");
}

// A graphic of one class (chosen by the first byte) read in place.
void loadGraphic(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const vcGraphicProps props(vcColor::redColor(), 2);
  const vcEllipse e(vcVector<2>(5, 5), vcVector<2>(4, 2), vcRadian(0.2));
  const vcEllipse in(vcVector<2>(5, 5), vcVector<2>(2, 1), vcRadian(0.2));
  vcPtrHandle<vcGraphic> made[] = {
      vcGraphic::makeShapeGraphic(vcLineSeg(vcVector<2>(0, 0), vcVector<2>(1, 1)), props),
      vcGraphic::makeShapeGraphic(vcRect(1, 2, 3, 4), props),
      vcGraphic::makeShapeGraphic(vcPolyline({vcVector<2>(0, 0), vcVector<2>(4, 1)}, true), props),
      vcGraphic::makeShapeGraphic(
          vcEllipseAnnulusSection(vcEllipseAnnulus(in, e), vcRadian(0.1), vcRadian(1), true), props),
      vcPtrHandle<vcGraphic>(new vcGraphicText("t", vcPoint(1, 1), vcColor::redColor(), vcColor::blueColor(),
                                               vcUIFormat(), vcVector<2>(1, 1))),
      vcPtrHandle<vcGraphic>(new vcGraphicGroup),
      vcPtrHandle<vcGraphic>(new vcGraphicPointIcon(vcPoint(1, 1), props)),
      vcPtrHandle<vcGraphic>(new vcGraphicCross(vcCross(vcVector<2>(1, 1), vcRadian(0), 4), props)),
  };
  vcPersistent& target = *made[data[0] % std::size(made)];
  auto bytesOf = [](vcPersistent& p) {
    vcBufferArchive out(vcArchive::eStore);
    out || p;
    return out.bytes();
  };
  const std::vector<unsigned char> before = bytesOf(target);
  vcBufferArchive ar(data + 1, size - 1);
  try {
    ar || target;
  } catch (const vcException&) {
    if (bytesOf(target) != before) vc_fuzzFailure("failed graphic load changed its target");
    return;
  }
  const std::vector<unsigned char> stored = bytesOf(target);
  vcBufferArchive again(stored);
  again || target;
  if (bytesOf(target) != stored) vc_fuzzFailure("loaded graphic does not round-trip");
}

// An SMD model in place; one that loads is also cropped both ways by a fixed
// outline, which may refuse it only with the library's exceptions.
void loadModel(const std::uint8_t* data, std::size_t size) {
  vcSMDGDModel initial("model");
  initial << vcSMDGDPoly::rectangle(4, 2, vcVector<2>(1, 1));
  loadValue(data, size, initial);
  vcSMDGDModel target = initial;
  vcBufferArchive ar(data, size);
  try {
    ar || target;
    const vcSMDGDPoly cropper = vcSMDGDPoly::circle(3, vcVector<2>(0, 0));
    vcSMDGDModelPrivate::crop(target, cropper, true);
    vcSMDGDModelPrivate::crop(target, cropper, false);
  } catch (const vcException&) {
  }
}

// 0: a graphic list, 1: a graphic in place, 2: a generalised poly, 3: a
// wireframe, 4: an SMD model.
void loadExtended(std::uint8_t which, const std::uint8_t* data, std::size_t size) {
  switch (which % 5) {
    case 0: loadGraphicList(data, size); break;
    case 1: loadGraphic(data, size); break;
    case 2: loadValue(data, size, fuzzGenPoly()); break;
    case 3: loadValue(data, size, vc2Wireframe(fuzzGenPoly(), vcDimTol(-1, 0.1, 0.1, vcDimTol::ePercentages))); break;
    case 4: loadModel(data, size); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t* body = data + 1;
  const std::size_t n = size - 1;
  // The top selectors were added last; below them every selector keeps the
  // reader it had, so the stored corpus keeps its meaning.
  if (data[0] == kExtendedSelector) {
    if (n > 0) loadExtended(body[0], body + 1, n - 1);
    return 0;
  }
  if (data[0] >= kGeometrySelector) {
    loadGeometryValue(data[0] - kGeometrySelector, body, n);
    return 0;
  }
  switch (data[0] % 13) {
    case 0: loadValue(body, n, vcColor::orangeColor()); break;
    case 1: loadValue(body, n, vcRGB(1, 2, 3)); break;
    case 2: loadValue(body, n, vcUIRect(1, 2, 3, 4)); break;
    case 3: loadValue(body, n, vcUIFormat(7, vcUIFormat::eCenter)); break;
    case 4: loadValue(body, n, vcGraphicProps(vcColor::redColor(), 3)); break;
    case 5: loadValue(body, n, vcUISketch().mark()); break;
    case 6: loadValue(body, n, vcXform<2>(vcMatrix<2>(1, 2, 3, 4), vcVector<2>(5, 6))); break;
    case 7: loadValue(body, n, std::string("keep")); break;
    case 8: loadValue(body, n, std::vector<long>{1, 2, 3}); break;
    case 9: loadValue(body, n, std::vector<vcUIRect>{vcUIRect(0, 0, 1, 1)}); break;
    case 10: loadObject(body, n); break;
    case 11: loadRuns(body, n); break;
    case 12: loadShapeImage(body, n); break;
  }
  return 0;
}
