// How tablet operations append their records to the tablet's sketch.
#pragma once

#include <type_traits>

#include <vc/uitablet.h>

#include "opcodes.h"

template <int Op, class P>
void vcUITablet::checkRecordable_(const P& payload) const {
  static_assert(std::is_same_v<P, typename vc_OpPayload<Op>::type>, "opcode checked with another opcode's payload");
  if (recording()) vfCheckRecordable(payload);
}

template <int Op, class P>
void vcUITablet::record_(Layers layer, const vcGraphicProps& props, const P& payload) {
  record_<Op>(layer, props, props.penColor(), payload);
}

template <int Op, class P>
void vcUITablet::record_(Layers layer, const vcGraphicProps& props, const vcColor& headColor, const P& payload) {
  static_assert(std::is_same_v<P, typename vc_OpPayload<Op>::type>, "opcode recorded with another opcode's payload");
  if (!recording()) return;
  sketch_.opcode(vcUISketch::kPropsMarker, props);
  // Head and payload go into one reservation.
  vc_PayloadSizer sizer;
  const_cast<P&>(payload).io(sizer);
  vc_HeadPayload head{static_cast<unsigned char>(Op), static_cast<unsigned char>(static_cast<signed char>(layer)),
                      headColor};
  vc_PayloadWriter writer(sketch_.append(vcUISketch::kHeadSize + static_cast<long>(sizer.size())));
  head.io(writer);
  const_cast<P&>(payload).io(writer);
}
