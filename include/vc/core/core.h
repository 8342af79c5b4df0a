// The whole core library layer: geometry, shapes, images, persistence,
// exceptions, handles and locking.
#pragma once

#include <vc/core/affinerect.h>
#include <vc/core/angle.h>
#include <vc/core/archive.h>
#include <vc/core/bezier.h>
#include <vc/core/byteio.h>
#include <vc/core/circle.h>
#include <vc/core/coordaxes.h>
#include <vc/core/ellipse.h>
#include <vc/core/ellipsearc.h>
#include <vc/core/exception.h>
#include <vc/core/genrect.h>
#include <vc/core/genshape.h>
#include <vc/core/handle.h>
#include <vc/core/imagecodec.h>
#include <vc/core/line.h>
#include <vc/core/lineseg.h>
#include <vc/core/mathutil.h>
#include <vc/core/matrix.h>
#include <vc/core/mutex.h>
#include <vc/core/pair.h>
#include <vc/core/pel.h>
#include <vc/core/pelbuffer.h>
#include <vc/core/persistent.h>
#include <vc/core/points.h>
#include <vc/core/poly.h>
#include <vc/core/range.h>
#include <vc/core/rect.h>
#include <vc/core/rle.h>
#include <vc/core/shape.h>
#include <vc/core/shapetree.h>
#include <vc/core/spline.h>
#include <vc/core/vector.h>
#include <vc/core/xform.h>
