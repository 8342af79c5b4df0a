"""Finds the package of one build (build/python by default; VCDISPLAY_BUILD
names another) and shares helpers among the tests."""
import os
import pathlib
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("VCDISPLAY_BUILD", ROOT / "build" / "python"))
sys.path.insert(0, str(BUILD / "python"))

import vcdisplay  # noqa: E402


@pytest.fixture
def recording():
    """A tablet without scopes that records what is drawn on it."""
    tablet = vcdisplay.vcUITablet()
    tablet.recordOn().set(True)
    return tablet
