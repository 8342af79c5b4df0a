"""Builds an SMD component model, renders its synthetic image into a NumPy
array, draws annotations over it on a Cairo scope and writes a PNG.

Usage: python3 smd_annotations.py OUT.png

The model is a body with rounded corners and two pads, each an SMD poly.
The synthetic image is what a vision tool would train on; the annotations go
through a tablet, so the same calls could record a sketch instead.
"""
import sys

import numpy as np
import vcdisplay as vc

SIZE = (480, 320)
# Client units are millimetres; the tablet and the renderer map them to pixels.
PIXELS_PER_MM = 60.0
CENTER_PX = (SIZE[0] / 2, SIZE[1] / 2)


def build_model():
    """The component: a 3.2 x 1.6 mm body with rounded corners and two brighter pads."""
    body = vc.vcSMDGDPoly.rectangle(3.2, 1.6, (0.0, 0.0))
    for i in range(body.numVertices()):
        v = body.vertex(i)
        v.vertexRadius = 0.2
        body.replaceVertex(i, v)
    pads = [vc.vcSMDGDPoly.rectangle(0.6, 1.4, (x, 0.0)) for x in (-1.9, 1.9)]
    for pad in pads:
        colors = pad.colors()
        colors.syntheticDefaultColor = vc.vcColor.white
        pad.colors(colors)
    return vc.vcSMDGDModel([body] + pads, "0603 resistor")


def client_to_scope():
    """Millimetres, y up, to scope pixels, y down, centred on the scope."""
    return vc.vcXform(vc.vcMatrix(PIXELS_PER_MM, 0, 0, -PIXELS_PER_MM), CENTER_PX)


def synthetic_image(model):
    """The model's synthetic image, rendered straight into a uint8 array on its background grey."""
    background = vc.vcSMDColors.colorToGrayScale(model.poly(0).colors().syntheticBackgroundColor)
    image = np.full((SIZE[1], SIZE[0]), background, np.uint8)
    model.drawSynthetic(client_to_scope(), image)
    return image


def annotate(tablet, model):
    image = vc.vcUITablet.eImage
    model.drawWireframe(vc.vcXform.I, tablet)  # each outline in its wireframe color (green)
    for poly in model:
        box = poly.boundingBox()
        tablet.draw(box, vc.vcGraphicProps(vc.vcColor.yellow, 1, vc.vcGraphicProps.ePenDash), image)
        tablet.drawCross(box.center(), vc.vcRadian(0.0), vc.vcColor.red, image)
    body = model.boundingBox()
    text = f"{model.name()}: {body.width():.1f} x {body.height():.1f} mm"
    tablet.draw(text, (body.x(), body.y() - 0.3), vc.vcColor.white, vc.vcColor.pass_, vc.vcUIFormat(), image)


def main(out):
    model = build_model()
    scope = vc.vcCairoScope(SIZE)
    tablet = vc.vcUITablet(scope)
    tablet.baseMap(client_to_scope())
    tablet.visible(True)
    tablet.draw(synthetic_image(model), tablet.tabletCoords((0, 0)), layer=vc.vcUITablet.eImage)
    annotate(tablet, model)
    scope.writePng(out)
    return scope


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
