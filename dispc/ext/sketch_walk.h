// Parsing one record of a sketch's byte stream: shared by the record walk
// (vcUISketchRecords), the single-record parser and replay.
#pragma once

#include <utility>

#include <vc/sketchop.h>
#include <vc/uierror.h>

#include "payload.h"

// Parses the record at p, offset bytes into its stream, whose props record
// and head header parses (unless headTaken, not 0, says it already holds
// them: that many bytes) and whose payload the object for its opcode
// (objectFor(opcode)) parses, in the older layout when version0. Returns the
// sizes of the props record and head together, and of the payload. Every
// failure throws vcUIError::InvalidUISketch naming the record.
template <class ObjectFor>
std::pair<long, long> vfParseRecord(const unsigned char* p, long available, long offset, vc_UISketchOpHeader& header,
                                    bool version0, long headTaken, ObjectFor&& objectFor) {
  long opcode = -1;
  try {
    const long head = headTaken ? headTaken : header.parseByteStream(p, available);
    opcode = header.opcode();
    vc_UISketchOpData& record = objectFor(opcode);
    const long payload = version0 ? record.parseVersion0ByteStream(p + head, available - head)
                                  : record.parseByteStream(p + head, available - head);
    if (payload < 0 || payload > available - head) vc_PayloadReader::fail("payload overruns the sketch");
    return {head, payload};
  } catch (const vcUIError::InvalidUISketch& e) {
    vfFailAtRecord(e, offset, opcode);
  }
}
