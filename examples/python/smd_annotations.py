"""Builds the outline of an SMD component, draws it with annotations on a
Cairo scope and writes a PNG.

Usage: python3 smd_annotations.py OUT.png

The outline is a list of SMD polys (the body and two pads); the drawing goes
through a tablet, so the same calls could record a sketch instead.
"""
import sys

import numpy as np
import vcdisplay as vc

SIZE = (480, 320)
# Client units are millimetres; the tablet maps them to pixels.
PIXELS_PER_MM = 60.0
CENTER_PX = (SIZE[0] / 2, SIZE[1] / 2)


def build_outline():
    """The component: a 3.2 x 1.6 mm body with rounded corners and two pads."""
    body = vc.vcSMDGDPoly.rectangle(3.2, 1.6, (0.0, 0.0))
    for i in range(body.numVertices()):
        v = body.vertex(i)
        v.vertexRadius = 0.2
        body.replaceVertex(i, v)
    pads = [vc.vcSMDGDPoly.rectangle(0.6, 1.4, (x, 0.0)) for x in (-1.9, 1.9)]
    return [body] + pads


def client_to_scope():
    """Millimetres, y up, to scope pixels, y down, centred on the scope."""
    return vc.vcXform(vc.vcMatrix(PIXELS_PER_MM, 0, 0, -PIXELS_PER_MM), CENTER_PX)


def draw_background(tablet):
    """A grey-level ramp as the image under the annotations (any uint8 array works)."""
    ramp = np.tile(np.linspace(40, 90, SIZE[0]).astype(np.uint8), (SIZE[1], 1))
    tablet.draw(ramp, tablet.tabletCoords((0, 0)), layer=vc.vcUITablet.eImage)


def annotate(tablet, polys):
    image = vc.vcUITablet.eImage
    outline = vc.vcGraphicProps(vc.vcColor.green, 2)
    outline.arrowHead = False
    for poly in polys:
        tablet.draw(vc.vcGenPoly(poly), outline, image)
        box = poly.boundingBox()
        tablet.draw(box, vc.vcGraphicProps(vc.vcColor.yellow, 1, vc.vcGraphicProps.ePenDash), image)
        tablet.drawCross(box.center(), vc.vcRadian(0.0), vc.vcColor.red, image)
    body = polys[0].boundingBox()
    text = f"{body.width():.1f} x {body.height():.1f} mm"
    tablet.draw(text, (body.x(), body.y() - 0.3), vc.vcColor.white, vc.vcColor.pass_, vc.vcUIFormat(), image)


def main(out):
    scope = vc.vcCairoScope(SIZE)
    tablet = vc.vcUITablet(scope)
    tablet.baseMap(client_to_scope())
    tablet.visible(True)
    draw_background(tablet)
    annotate(tablet, build_outline())
    scope.writePng(out)
    return scope


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
