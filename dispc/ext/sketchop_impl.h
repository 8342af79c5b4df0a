// The machinery shared by the sketch record classes (dispc/sketchop_*.cpp):
// a base that keeps one payload struct of payloads.h and reads, writes and
// archives through it, the record-class factory used by the opcode table, and
// the archive helpers for shapes and points.
#pragma once

#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <typeinfo>

#include <vc/core/archive.h>
#include <vc/core/exception.h>
#include <vc/core/handle.h>
#include <vc/core/persistent.h>
#include <vc/core/vector.h>
#include <vc/sketchop.h>
#include <vc/uierror.h>
#include <vc/uisketch.h>
#include <vc/uitablet.h>

#include "payload.h"
#include "payloads.h"

// A new, default record object of class R, owned by the caller. Each family
// file instantiates it for its classes, so that the opcode table, which
// refers to every instantiation, links every family in.
template <class R>
vc_UISketchOpData* vfNewSketchOp() {
  return new R;
}

// Declares a record class and its factory for the opcode table.
#define VC_SKETCH_OP_DECLARE(R) \
  class R;                      \
  extern template vc_UISketchOpData* vfNewSketchOp<R>()

// Declares the class-factory members of a record class.
#define VC_SKETCH_OP_FACTORY() \
private:                       \
  static vcPersistent* make(); \
  static const vc_Instantiator sExemplar

// Defines them, and instantiates the class's factory for the opcode table.
#define VC_SKETCH_OP_REGISTER(R)                           \
  vcPersistent* R::make() { return new R; }                \
  const vc_Instantiator R::sExemplar(typeid(R), &R::make); \
  template vc_UISketchOpData* vfNewSketchOp<R>()

// A record object that holds the payload struct P. Parsing reads straight into
// the held payload, so a record object reused for many records (as replay
// does) keeps its vectors' capacity instead of allocating per record.
template <class P>
class vc_UISketchOpPayload : public vc_UISketchOpData {
public:
  long parseByteStream(const unsigned char* p, long n) override {
    return read_(p, n, [this](vc_PayloadReader& r) { payload_.io(r); });
  }
  void populateSketch(vcUISketch& sketch) const override { vfAppendPayload(sketch, payload_); }
  std::string describe() const override {
    vc_PayloadPrinter printer;
    const_cast<P&>(payload_).io(printer);
    return printer.text();
  }
  const P& payload() const noexcept { return payload_; }

protected:
  // Throws a vcException for payload values that the record's tablet
  // operation cannot take (a NaN coordinate, a negative radius...); may keep
  // what it builds from a payload it accepts, for draw().
  virtual void check_() {}
  // Brings a record whose payload failed to read back to the default payload.
  virtual void reset_() { payload_ = P(); }
  // The class's own archived fields; they follow the version byte.
  virtual void archive_(vcArchive& ar) = 0;

  // Reads a payload through read(reader) from the n bytes at p and checks
  // it (through check(), by default check_()); returns the bytes consumed.
  // Malformed bytes throw vcUIError::InvalidUISketch and leave the default
  // payload.
  template <class Read>
  long read_(const unsigned char* p, long n, Read&& read) {
    return read_(p, n, read, [this] { check_(); });
  }
  template <class Read, class Check>
  long read_(const unsigned char* p, long n, Read&& read, Check&& check) {
    if (n < 0 || (!p && n > 0)) vc_PayloadReader::fail("bad payload extent");
    try {
      vc_PayloadReader reader(p, static_cast<std::size_t>(n));
      read(reader);
      check();
      return static_cast<long>(reader.consumed());
    } catch (const vcUIError::InvalidUISketch&) {
      reset_();
      throw;
    } catch (const vcException& e) {
      reset_();
      vc_PayloadReader::fail(e.what());
    }
  }

  // Version byte 0, the base part, then archive_(). A load that fails leaves
  // the payload as it was; values the parsers would reject throw
  // vcArchive::BadData.
  void serialize_(vcArchive& ar, unsigned char version) override {
    if (version != 0) throw vcArchive::UnknownVersion("dispc/sketchop", __LINE__);
    vc_UISketchOpData::serialize_(ar, version);
    if (ar.isStoring()) {
      archive_(ar);
      return;
    }
    const P saved = payload_;
    try {
      archive_(ar);
      check_();
    } catch (const vcArchive::Errors&) {
      payload_ = saved;
      throw;
    } catch (const vcBadPointer&) {
      payload_ = saved;
      throw;
    } catch (const vcException& e) {
      payload_ = saved;
      vcArchive::fail(className() + ": " + e.what());
    }
  }

  P payload_;
};

// Throws vcShapesError::BadGeom naming what.
[[noreturn]] void vfFailNotFinite(const char* what);
// Throws vcShapesError::BadGeom unless both coordinates of v are finite.
inline void vfCheckFinite(const vcVector<2>& v, const char* what) {
  if (!std::isfinite(v.x()) || !std::isfinite(v.y())) [[unlikely]] vfFailNotFinite(what);
}

// Exchanges a shape as a persistent object (its class name, then its fields).
// The stored copy is kept in held for as long as the record lives: the
// archive tells stored objects apart by address. Loading replaces shape; a
// null pointer read back throws vcBadPointer.
template <class S>
void vfExchangeShape(vcArchive& ar, vcPtrHandle<S>& held, S& shape) {
  if (ar.isStoring()) {
    held = vfMakeHandle<S>(shape);
    ar || held;
    return;
  }
  vcPtrHandle<S> loaded;
  ar || loaded;
  if (!loaded) throw vcBadPointer(vc_Instantiator::nameOf(typeid(S)) + " expected in a sketch record, null found");
  shape = *loaded;
}

// How a shape record archives its shape.
enum class vc_ShapeForm {
  ePersistent,  // as a persistent object, through a handle
  eInPlace      // through the shape's own operator|| (no class name)
};

// A record whose payload describes one shape, drawn with the header's props.
// Codec (shape_payloads.h) builds the shape from the payload, and so
// validates it, and turns a loaded shape back into the payload. The shape
// built when the payload was checked is the one drawn, so that a replayed
// record builds it once.
template <class S, class Codec, vc_ShapeForm Form = vc_ShapeForm::ePersistent>
class vc_UISketchOpShape : public vc_UISketchOpPayload<typename Codec::Payload> {
public:
  // The check is this class's own (final), so it is called directly: replay
  // parses a record of these kinds for most records it draws.
  long parseByteStream(const unsigned char* p, long n) override {
    return this->read_(p, n, [this](vc_PayloadReader& r) { this->payload_.io(r); },
                       [this] { vc_UISketchOpShape::check_(); });
  }
  S shape() const { return Codec::shape(this->payload_); }
  void draw(vcUITablet& tablet, vc_UISketchOpHeader& header) const override {
    if (checked_)
      tablet.draw(*checked_, header.props(), header.layer());
    else
      tablet.draw(shape(), header.props(), header.layer());
  }

protected:
  // A payload that fails to build keeps the shape of the one checked before it
  // (serialize_ restores that payload).
  void check_() final { checked_ = shape(); }
  void reset_() override {
    vc_UISketchOpPayload<typename Codec::Payload>::reset_();
    checked_.reset();
  }
  void archive_(vcArchive& ar) override {
    S s = ar.isStoring() ? shape() : S();
    if constexpr (Form == vc_ShapeForm::ePersistent)
      vfExchangeShape(ar, held_, s);
    else
      ar || s;
    if (ar.isLoading()) this->payload_ = Codec::of(s);
  }

private:
  vcPtrHandle<S> held_;
  std::optional<S> checked_;  // the shape of the checked payload
};

// The records whose payload is one client point: 0, 1, 20 and 21.
class vc_UISketchOpPointBase : public vc_UISketchOpPayload<vc_PointPayload> {
public:
  long parseByteStream(const unsigned char* p, long n) override {
    return read_(p, n, [this](vc_PayloadReader& r) { payload_.io(r); }, [this] { vc_UISketchOpPointBase::check_(); });
  }

protected:
  vcPoint point() const { return vcPoint(payload_.p); }
  void check_() final { vfCheckFinite(payload_.p, "point"); }
  void archive_(vcArchive& ar) override {
    vcPoint p = point();
    ar || p;
    if (ar.isLoading()) payload_.p = vcVector<2>(p);
  }
};

// The record classes, by family: sketchop_shapes.cpp, sketchop_area.cpp and
// wrfm/draw/genpoly_display.cpp.
VC_SKETCH_OP_DECLARE(vc_UISketchOpPoint);
VC_SKETCH_OP_DECLARE(vc_UISketchOpPointIcon);
VC_SKETCH_OP_DECLARE(vc_UISketchOpLineSeg);
VC_SKETCH_OP_DECLARE(vc_UISketchOpLine);
VC_SKETCH_OP_DECLARE(vc_UISketchOpCircle);
VC_SKETCH_OP_DECLARE(vc_UISketchOpEllipse);
VC_SKETCH_OP_DECLARE(vc_UISketchOpEllipseArc);
VC_SKETCH_OP_DECLARE(vc_UISketchOpEllipseAnnSect);
VC_SKETCH_OP_DECLARE(vc_UISketchOpGenRect);
VC_SKETCH_OP_DECLARE(vc_UISketchOpGenAnn);
VC_SKETCH_OP_DECLARE(vc_UISketchOpCoordAxes);
VC_SKETCH_OP_DECLARE(vc_UISketchOpString);
VC_SKETCH_OP_DECLARE(vc_UISketchOpPelBuf8);
VC_SKETCH_OP_DECLARE(vc_UISketchOpRleBuf);
VC_SKETCH_OP_DECLARE(vc_UISketchOpSketch);
VC_SKETCH_OP_DECLARE(vc_UISketchOpSet);
VC_SKETCH_OP_DECLARE(vc_UISketchOpSetAll);
VC_SKETCH_OP_DECLARE(vc_UISketchOpSetComp);
VC_SKETCH_OP_DECLARE(vc_UISketchOpFill);
VC_SKETCH_OP_DECLARE(vc_UISketchOpDrawStart);
VC_SKETCH_OP_DECLARE(vc_UISketchOpDrawTo);
VC_SKETCH_OP_DECLARE(vc_UISketchOpDrawToRelPels);
VC_SKETCH_OP_DECLARE(vc_UISketchOpMoveToRelPels);
VC_SKETCH_OP_DECLARE(vc_UISketchOpOutline3d);
VC_SKETCH_OP_DECLARE(vc_UISketchOpArrow);
VC_SKETCH_OP_DECLARE(vc_UISketchOpAffineRect);
VC_SKETCH_OP_DECLARE(vc_UISketchOpPolygon);
VC_SKETCH_OP_DECLARE(vc_UISketchOpRect);
VC_SKETCH_OP_DECLARE(vc_UISketchOpGenShape);
VC_SKETCH_OP_DECLARE(vc_UISketchOpUnicodeString);
VC_SKETCH_OP_DECLARE(vc_UISketchOpCross);
VC_SKETCH_OP_DECLARE(vc_UISketchOpEllipseAnnSectArrowheadFlag);
VC_SKETCH_OP_DECLARE(vc_UISketchOpBezierCurve);
VC_SKETCH_OP_DECLARE(vc_UISketchOpCubicSpline);
VC_SKETCH_OP_DECLARE(vc_UISketchOpPolyline);
VC_SKETCH_OP_DECLARE(vc_UISketchOpEllipse2);
VC_SKETCH_OP_DECLARE(vc_UISketchOpEllipseArc2);
VC_SKETCH_OP_DECLARE(vc_UISketchOpClipRect);
VC_SKETCH_OP_DECLARE(vc_UISketchOpGenPoly);
VC_SKETCH_OP_DECLARE(vc_UISketchOpWireframe);
