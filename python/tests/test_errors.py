"""Every C++ exception family arrives as its own Python class, with the
library's message; nothing raised from C++ escapes as a crash."""
import numpy as np
import pytest

import vcdisplay as vc


def null_item_drawn():
    items = vc.vcGraphicList()
    items.append(None)
    items.draw(vc.vcUITablet(), vc.Layers.eImage)


# (what raises, Python class, C++ class name the exception reports)
CASES = [
    (lambda: vc.vcColor(5).rgb(), vc.vcUIError, "vcUIError::NotRGBColor"),
    (lambda: vc.vcUITablet().recordOn().pop(), vc.vcUIError, "vcUIError::FlagStackUnderflow"),
    (lambda: vc.vcSMDGDPoly.fromBytes(b"\x01"), vc.vcArchiveError, "vcArchive::"),
    (lambda: vc.vcDimTol(5, 6, 4, vc.vcDimTol.eLimits), vc.vcShapesError, "vcShapesError::BadGeom"),
    (lambda: vc.vc2SegmentLine((1, 1), (1, 1)), vc.vcShapesError, "vcShapesError::DegenerateShape"),
    (lambda: vc.vcGraphicProps(vc.vcColor.red, -1), vc.vcGraphicPropsError, "vcGraphicProps::BadParams"),
    (lambda: vc.vcGraphic.makeGroup([]).item(0), vc.vcGraphicError, "vcGraphic::BadParams"),
    (lambda: vc.vcSMDDimension(5, 6, 4, vc.vcSMDDimension.eScaleNone), vc.vcSMDDimensionError,
     "vcSMDDimension::badDimensionValue"),
    (lambda: vc.vcSMDGDPoly().vertex(3), vc.vcSMDGDPolyError, "vcSMDGDPoly::invalidIndex"),
    (lambda: vc.vcSMDGDPolyVertex((0, 0), 2.0, 0.5, -1), vc.vcSMDGDPolyVertexError,
     "vcSMDGDPolyVertex::invalidSegmentLength"),
    (lambda: vc.vcSMDGDModel().poly(0), vc.vcSMDGDModelError, "vcSMDGDModel::invalidIndex"),
    (lambda: vc.vcCairoScope((4, 4)).writePng("/nonexistent-dir/x.png"), vc.vcCairoError, "vcCairoError"),
    (lambda: vc.vcColor.stockColor(99), vc.vcBadArgument, "vcBadArgument"),
    (null_item_drawn, vc.vcBadPointer, "vcBadPointer"),
    (lambda: vc.vcVector(0, 0).unit(), vc.vcMathError, "vcMathError"),
    (lambda: vc.vfThrowExceptionOnFailure(-3), vc.vcFailure, "vcFailure"),
]


@pytest.mark.parametrize("action, cls, cpp", CASES, ids=[c[2] for c in CASES])
def test_each_family_raises_its_class_with_the_library_message(action, cls, cpp):
    with pytest.raises(cls) as caught:
        action()
    err = caught.value
    assert isinstance(err, vc.Error)
    assert err.cpp_class.startswith(cpp)
    assert str(err).startswith(err.cpp_class)
    assert err.message and err.message in str(err)
    others = {c for _, c, _ in CASES if c is not cls}
    assert not any(isinstance(err, other) for other in others)
    # Bad values and failed arithmetic are also the Python errors of their kind.
    assert isinstance(err, {vc.vcBadArgument: ValueError, vc.vcMathError: ArithmeticError}.get(cls, Exception))


@pytest.mark.parametrize(
    "action",
    [
        lambda: vc.vcUITablet(None, None).draw(vc.vcLineSeg((0, 0), (1, 1)), None, vc.Layers.eImage),
        lambda: vc.vcGraphicList()[0],
        lambda: vc.vcVector(1, 2)[2],
        lambda: vc.vcVector("ab"),
        lambda: vc.vcUITablet().draw(np.zeros((2, 2, 3), np.uint8), (0, 0)),
        lambda: vc.vcUITablet().draw(np.zeros((2, 2), np.uint8), (0, 0), passValue=300),
    ],
    ids=["none-props", "empty-list-index", "vector-index", "string-vector", "three-channels", "pass-value"],
)
def test_bad_python_input_raises_python_errors(action):
    with pytest.raises((TypeError, ValueError, IndexError)):
        action()
