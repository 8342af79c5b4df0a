"""Value types behave as Python values: sequences convert, repr evaluates back
to an equal value, and rejected edits change nothing."""
import numpy as np
import pytest

import vcdisplay as vc

VALUES = [
    vc.vcVector(1.5, -2), vc.vcPoint(0.25, 3), vc.vcRadian(0.5), vc.vcDegree(-30), vc.vcRect(1, 2, 3.5, 4),
    vc.vcUIRect(3, 4, 5, 6), vc.vcLineSeg((0, 1), (2, 3)), vc.vcCircle((1, 1), 2.5),
    vc.vcDimTol(2.0, 0.1, 0.2, vc.vcDimTol.eOffsets), vc.vcSMDDimension(2.0, 1.5, 2.5, vc.vcSMDDimension.eScaleNominal),
    vc.vcRGB(1, 2, 3), vc.vcColor(7), vc.vcColor(1, 2, 3), vc.vcColor.pass_,
]


@pytest.mark.parametrize("value", VALUES, ids=[type(v).__name__ for v in VALUES])
def test_repr_evaluates_to_an_equal_value(value):
    again = eval(repr(value), vars(vc))
    assert again == value and not (again != value)


@pytest.mark.parametrize("xy", [(3, 4), [3.0, 4.0], np.array([3, 4]), vc.vcPoint(3, 4), vc.vcVector(3, 4)])
def test_any_two_number_sequence_is_a_vector_or_point(xy):
    assert vc.vcXform.translation(xy).mapPoint(xy) == vc.vcVector(6, 8)
    assert vc.vcRect(xy, (1, 1)).origin() == vc.vcVector(3, 4)
    assert tuple(vc.vcVector(*xy)) == (3, 4)


def test_operators_and_properties_act_as_in_cpp():
    p = (vc.vcXform.translation((10, 0)) * vc.vcXform.rotation(vc.vcDegree(90))).mapPoint((1, 0))
    assert (p.x, p.y) == pytest.approx((10, 1))
    assert vc.vcColor.red == vc.vcColor(255, 0, 0) and vc.vcColor(5) != vc.vcColor(5, 5, 5)
    props = vc.vcGraphicProps(vc.vcColor.red, 3)
    props.fill = True
    assert props != vc.vcGraphicProps(vc.vcColor.red, 3)


def test_rejected_edits_raise_and_change_nothing():
    poly = vc.vcSMDGDPoly.rectangle(4, 2, (0, 0))
    before = vc.vcSMDGDPoly.fromBytes(poly.toBytes())
    with pytest.raises(vc.vcSMDGDPolyError):
        poly.replaceVertex(0, vc.vcSMDGDPolyVertex((5, -5)))  # the first side would cross the third
    assert poly == before
    assert [v.point for v in poly] == [v.point for v in before.vertices()]
    g = vc.vcGenPoly(poly, vc.vcXform.translation((10, 10)))
    assert g.within((10, 10)) and not g.within((0, 0))
    wire = vc.vc2Wireframe(g, vc.vcDimTol(3, 1.5, 4.5, vc.vcDimTol.eLimits))  # sides of 4 and 2 fit
    assert vc.vc2Wireframe.fromBytes(wire.toBytes()) == wire
    with pytest.raises(vc.vcShapesError):
        vc.vc2Wireframe(g, vc.vcDimTol(4, 3.5, 4.5, vc.vcDimTol.eLimits))  # the sides of 2 do not
