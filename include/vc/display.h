// The whole public interface of the display library.
#pragma once

#include <vc/color.h>
#include <vc/core/core.h>
#include <vc/dimtol.h>
#include <vc/dispprop.h>
#include <vc/flagstack.h>
#include <vc/glist.h>
#include <vc/graphic.h>
#include <vc/graphic_shapes.h>
#include <vc/graphic_special.h>
#include <vc/pelcopy.h>
#include <vc/sketchop.h>
#include <vc/uibitmap.h>
#include <vc/uierror.h>
#include <vc/uirect.h>
#include <vc/uiscope.h>
#include <vc/uisketch.h>
#include <vc/uistring.h>
#include <vc/uitablet.h>
#include <vc/uitypes.h>
#include <vc/wrfm/arc.h>
#include <vc/wrfm/genpoly.h>
#include <vc/wrfm/lineseg.h>
#include <vc/wrfm/smdmodel.h>
#include <vc/wrfm/smdpoly.h>
#include <vc/wrfm/wireframe.h>
