// How tablet operations append their records to the tablet's sketch.
#pragma once

#include <vc/uitablet.h>

#include "payload.h"

template <class P>
void vcUITablet::record_(signed char op, Layers layer, const vcGraphicProps& props, const P& payload) {
  record_(op, layer, props, props.penColor(), payload);
}

template <class P>
void vcUITablet::record_(signed char op, Layers layer, const vcGraphicProps& props, const vcColor& headColor,
                         const P& payload) {
  if (!recording()) return;
  sketch_.opcode(vcUISketch::kPropsMarker, props);
  // Head and payload go into one reservation.
  vc_PayloadSizer sizer;
  const_cast<P&>(payload).io(sizer);
  unsigned char* p = sketch_.append(vcUISketch::kHeadSize + static_cast<long>(sizer.size()));
  p[0] = static_cast<unsigned char>(op);
  p[1] = static_cast<unsigned char>(static_cast<signed char>(layer));
  headColor.toBytes(p + 2);
  vc_PayloadWriter writer(p + vcUISketch::kHeadSize);
  const_cast<P&>(payload).io(writer);
}

// A record without payload.
struct vc_EmptyPayload {
  template <class IO>
  void io(IO&) {}
};
