// Replay's short way through the record kinds drawn most often: one function
// per opcode reads a record's payload straight from the stream, checks it as
// the opcode's record class checks it, and draws it, in one call and without
// filling a record object. Other opcodes take the record objects' way.
#pragma once

#include <array>

#include <vc/core/poly.h>
#include <vc/sketchop.h>

#include "payloads.h"

class vcUITablet;

// What the functions reuse from record to record, so that replay does not
// allocate per record: payloads of variable length and the shapes built
// from them.
struct vc_DirectScratch {
  vc_PolygonPayload polygonPayload;
  vc_PolylinePayload polylinePayload;
  vc_StringPayload stringPayload;
  vc_PelBuf8Payload pelBuf8Payload;
  vc_RleBufPayload rleBufPayload;
  vcPolygon polygon;
  vcPolyline polyline;
};

// Reads the payload at p (n bytes, those left in the stream) and, when tablet
// is not null, draws it with the header's props, color and layer. Returns the
// payload's size in bytes. A payload the record class's parser would reject
// throws vcUIError::InvalidUISketch (before anything is drawn); what the
// tablet throws while drawing passes through.
using vc_DirectDraw = long (*)(const unsigned char* p, long n, vcUITablet* tablet, vc_UISketchOpHeader& header,
                               vc_DirectScratch& scratch);

// The functions by opcode; null where records take the record objects' way.
extern const std::array<vc_DirectDraw, 256> kSketchDirectDraws;

// The function for opcode, or null when its records take the record objects' way.
inline vc_DirectDraw vfDirectDrawOf(unsigned char opcode) noexcept { return kSketchDirectDraws[opcode]; }

// Whether replays started on this thread take the short way (default true).
// Tests turn it off to compare both ways on the same sketches.
bool vfSketchReplayDirect() noexcept;
void vfSketchReplayDirect(bool on) noexcept;
