// Drawings that record one of each record kind the tablet records (opcodes
// 0-33, 37, 39 and 42-47), for the seeds of the sketch and render targets.
#pragma once

#include <functional>
#include <vector>

#include <vc/uitablet.h>

using vc_FuzzDrawing = std::function<void(vcUITablet&, vcUITablet::Layers)>;
std::vector<vc_FuzzDrawing> vc_fuzzSketchDrawings();
