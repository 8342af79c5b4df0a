"""Exact offsets, courtyards and tolerance zones from Python: results come back
as lists and models of polys, zone reports as plain values, and the zone's
images are written into the caller's buffer."""
import math

import numpy as np
import pytest

import vcdisplay as vc


def pad():
    return vc.vcSMDGDPoly([vc.vcSMDGDPolyVertex(p, 1.0, 0.5, 0.5, -1) for p in [(5, -2), (-5, -2), (-5, 2), (5, 2)]])


def test_offsets_grow_shrink_split_and_vanish():
    grown = vc.vcSMDGDPolyPrivate.offset(pad(), 0.5)
    assert len(grown) == 1 and grown[0].isClosed()
    # Every vertex of the grown pad lies 0.5 outside the pad.
    for v in grown[0].vertices():
        assert vc.vcSMDGDPolyPrivate.signedDistance(pad(), v.point) == pytest.approx(0.5, abs=1e-9)
    assert vc.vcSMDGDPolyPrivate.offset(pad(), -2.5) == []
    mitred = vc.vcSMDGDPolyPrivate.offset(vc.vcSMDGDPoly.rectangle(10, 4, (0, 0)), 1.0,
                                          vc.vcSMDGDPolyPrivate.eMitreJoin)
    assert sorted((v.point.x, v.point.y) for v in mitred[0].vertices())[0] == pytest.approx((-6, -3))
    with pytest.raises(vc.vcShapesError):
        vc.vcSMDGDPolyPrivate.offsetUnion([pad()], -1.0)


def test_courtyard_merges_and_model_offset_keeps_each_poly():
    left, right = pad(), vc.vc2Rigid(vc.vcRadian(0.0), (11, 0)) * pad()
    model = vc.vcSMDGDModel([left, right], "pair")
    assert len(vc.vcSMDGDModelPrivate.courtyard(model, 1.0)) == 1
    assert len(vc.vcSMDGDModelPrivate.courtyard(model, 0.25)) == 2
    assert len(vc.vcSMDGDModelPrivate.offset(model, -0.5)) == 2


def test_zone_reports_and_draws_its_band():
    zone = vc.vcSMDToleranceZone(vc.vcSMDGDModel([vc.vcSMDGDPoly.rectangle(10, 4, (0, 0))], "body"), 0.4)
    assert zone.inZone((5.1, 0)) and not zone.inZone((5.3, 0))
    report = zone.report([(5.1, 0), (5.3, 0), (0, 1.9)])
    assert (report.count, report.inside, report.worstIndex) == (3, 2, 1)
    assert report.worstDeviation == pytest.approx(0.3)
    assert report.fractionInside == pytest.approx(2 / 3)
    image = vc.vcPelBuffer(200, 100)
    zone.drawBandSynthetic(vc.vcXform(vc.vcMatrix(10, 0, 0, 10), (100, 50)), image, 255, 0)
    pixels = np.asarray(image)
    band = 100 * (10.4 * 4.4 - (4 - math.pi) * 0.04 - 9.6 * 3.6)
    assert pixels.sum() / 255 == pytest.approx(band, rel=0.01)
    assert pixels[50, 100] == 0 and pixels[30, 100] == 255
