"""Finds the package and the vcdraw tool of one build (build/python by default;
VCDISPLAY_BUILD names another) and shares helpers among the tests."""
import os
import pathlib
import subprocess
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("VCDISPLAY_BUILD", ROOT / "build" / "python"))
sys.path.insert(0, str(BUILD / "python"))

import vcdisplay  # noqa: E402


@pytest.fixture(scope="session")
def vcdraw():
    """Runs the vcdraw tool of the same build; returns its stdout."""
    tool = BUILD / "tools" / "vcdraw" / "vcdraw"
    if not tool.exists():
        pytest.fail(f"{tool} is missing: build the vcdraw target of {BUILD}")

    def run(*args):
        done = subprocess.run([str(tool), *map(str, args)], capture_output=True, text=True, timeout=120)
        assert done.returncode == 0, done.stderr
        return done.stdout

    return run


@pytest.fixture
def recording():
    """A tablet without scopes that records what is drawn on it."""
    tablet = vcdisplay.vcUITablet()
    tablet.recordOn().set(True)
    return tablet
