// The sketch records of generalised polygons (opcodes 34, and 38 when drawn
// with filled props) and of wireframes (opcode 41), through which an
// application reads back the shape a parsed record holds:
//
//   vc_UISketchOpData* op = nullptr;
//   vfParseUISketch(sketch, offset, header, &op);
//   if (auto* g = dynamic_cast<vc_UISketchOpGenPoly*>(op)) use(g->genPoly());
//
// Both payloads share one layout: the transform (poly frame to client
// coordinates), the mutable flag, the vertices with their roundings, spans
// (degrees) and length tolerances, the derived rounding points and the open
// flag. It has no place for the poly's direction flag, so a wireframe read
// back has its polarity not reversed. Parsing builds, and so checks, the
// shape: a payload that no poly holds throws vcUIError::InvalidUISketch.
#pragma once

#include <memory>
#include <string>

#include <vc/core/persistent.h>
#include <vc/sketchop.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/wireframe.h>

// What the two records share: the payload, and the shape built from it when
// it was parsed, are kept by an internal record object that does the work.
class vc_UISketchOpPolyRecord : public vc_UISketchOpData {
public:
  vc_UISketchOpPolyRecord(const vc_UISketchOpPolyRecord&) = delete;
  vc_UISketchOpPolyRecord& operator=(const vc_UISketchOpPolyRecord&) = delete;
  ~vc_UISketchOpPolyRecord() override;

  long parseByteStream(const unsigned char* p, long n) override;
  void populateSketch(vcUISketch& sketch) const override;
  // Draws the shape with tablet.draw(shape, header.props(), header.layer()).
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override;
  std::string describe() const override;

  // The internal record object (defined in the library).
  class Held;

protected:
  explicit vc_UISketchOpPolyRecord(std::unique_ptr<Held> held);
  // Version byte 0, then the shape as a persistent object.
  void serialize_(vcArchive& ar, unsigned char version) override;
  Held& held() const noexcept { return *held_; }

private:
  std::unique_ptr<Held> held_;
};

class vc_UISketchOpGenPoly final : public vc_UISketchOpPolyRecord {
public:
  // Holds the default poly (no vertices) until a payload is read.
  vc_UISketchOpGenPoly();
  // The polygon of the last payload read (or loaded from an archive).
  vcGenPoly genPoly() const;

  static const vc_Instantiator sExemplar;

private:
  static vcPersistent* make();
  class Record;
};

class vc_UISketchOpWireframe final : public vc_UISketchOpPolyRecord {
public:
  // Holds the default wireframe (no vertices) until a payload is read.
  vc_UISketchOpWireframe();
  // The wireframe of the last payload read (or loaded from an archive);
  // its polarity is not reversed (the layout has no place for it).
  vc2Wireframe wireframe() const;

  static const vc_Instantiator sExemplar;

private:
  static vcPersistent* make();
  class Record;
};
