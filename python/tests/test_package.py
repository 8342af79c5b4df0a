"""The package as shipped: the example script runs, and the type stubs match
the extension."""
import os
import pathlib
import re
import subprocess
import sys


import vcdisplay as vc
from conftest import BUILD, ROOT


def test_the_example_and_the_readme_example_run(tmp_path, monkeypatch):
    out = tmp_path / "smd.png"
    env = {**os.environ, "PYTHONPATH": str(BUILD / "python")}
    script = ROOT / "examples" / "python" / "smd_annotations.py"
    subprocess.run([sys.executable, str(script), str(out)], check=True, env=env, timeout=120)
    pixels = vc.read_png(str(out))
    bgr = pixels[..., :3].reshape(-1, 3)
    for color in (vc.vcColor.green, vc.vcColor.yellow, vc.vcColor.red):
        rgb = color.rgbStruct()
        assert (bgr == (rgb.b, rgb.g, rgb.r)).all(axis=1).any(), color
    # Under the annotations, a white pad (250) at (1.9, 0.5) mm, 60 pixels per mm from the centre, y up.
    assert (pixels[160 - 30, 240 + 114, :3] == 250).all()
    text = (ROOT / "README.md").read_text()
    code = re.search(r"^## Python$.*?^```python\n(.*?)^```", text, re.S | re.M).group(1)
    monkeypatch.chdir(tmp_path)
    exec(compile(code, "README.md", "exec"), {})
    assert vc.read_png("outline.png").shape == (240, 320, 4)


def test_the_checked_in_stubs_are_those_of_the_built_extension(tmp_path):
    out = tmp_path / "_vcdisplay.pyi"
    subprocess.run([sys.executable, str(ROOT / "python" / "tools" / "stubgen.py"), str(BUILD / "python"), str(out)],
                   check=True, timeout=120)
    shipped = ROOT / "python" / "vcdisplay" / "_vcdisplay.pyi"
    assert out.read_text() == shipped.read_text(), "run python/tools/stubgen.py to regenerate the stubs"
    assert (pathlib.Path(vc.__file__).parent / "py.typed").exists()


def test_every_public_class_and_function_is_documented():
    """pybind11 writes signatures itself; this wants the prose beside them."""
    missing = []
    for name in dir(vc):
        obj = getattr(vc, name)
        if name.startswith("_") or not callable(obj):
            continue
        prose = [line for line in (obj.__doc__ or "").splitlines()
                 if line.strip() and not line.startswith(name + "(") and "Overloaded function" not in line
                 and not line[:3].rstrip(". ").isdigit()]
        if not prose:
            missing.append(name)
    assert not missing, missing


def samples():
    poly = vc.vcSMDGDPoly.rectangle(4, 2, (0, 0))
    gen = vc.vcGenPoly(poly)
    tablet = vc.vcUITablet()
    tablet.drawLineSeg((0, 0), (3, 3), vc.vcColor.red, vc.Layers.eImage)
    graphic = vc.vcGraphic.makeShapeGraphic(vc.vcCircle((0, 0), 1), vc.vcGraphicProps())
    items = vc.vcGraphicList()
    items.append(graphic)
    return [
        vc.vcVector(3, 4), vc.vcPoint(1, 2), vc.vcRadian(1), vc.vcDegree(30), vc.vcMatrix(1, 2, 3, 4),
        vc.vcXform.rotation(vc.vcRadian(1)), vc.vc2Rigid(vc.vcRadian(0.5), (1, 2)), vc.vcRect(0, 0, 2, 3),
        vc.vcCircle((0, 0), 1), vc.vcLineSeg((0, 0), (1, 1)), vc.vcPolygon([(0, 0), (1, 0), (0, 1)]),
        vc.vcRGB(1, 2, 3), vc.vcColor.red, vc.vcGraphicProps(), vc.vcUIRect(0, 0, 2, 2), vc.vcUIFormat(),
        vc.vcDimTol(3, 1, 5, vc.vcDimTol.eLimits), vc.vcSMDDimension(), vc.vcSMDColors(), poly.vertex(0), poly,
        vc.vc2SegmentLine((0, 0), (1, 0)), vc.vc2SegmentArc((0, 0), 1, vc.vcDegree(0), vc.vcDegree(90)), gen,
        vc.vc2Wireframe(gen), vc.vcPelBuffer(4, 4), list(tablet.sketch())[0], tablet.recordOn(), graphic, items,
        vc.vcCairoScope((4, 4)), tablet.sketch().mark(), tablet.sketch(), tablet,
        vc.vcSMDGDModel([poly], "model"), vc.vcRange(0, 1), vc.vcAngleRange(),
    ]


def self_only_methods(cls):
    for name, value in vars(cls).items():
        if not name.startswith("_") and callable(value) and re.search(rf"^(\d+\. )?{name}\(self: [\w.]+\) ->",
                                                                      value.__doc__ or "", re.M):
            yield name


def test_every_method_without_arguments_accepts_its_own_class():
    """Catches members bound through a base class that is not bound itself."""
    called = 0
    for obj in samples():
        for cls in type(obj).__mro__:
            for name in self_only_methods(cls):
                try:
                    getattr(obj, name)()
                except vc.Error:
                    pass
                except TypeError as e:  # what the method says of this object, not of its own binding
                    assert "incompatible function arguments" not in str(e), f"{type(obj).__name__}.{name}"
                called += 1
    assert called > 150


def test_the_installed_package_imports_and_draws(tmp_path):
    env = {**os.environ, "DESTDIR": str(tmp_path)}
    subprocess.run(["cmake", "--install", str(BUILD)], check=True, env=env, stdout=subprocess.DEVNULL, timeout=300)
    init = next(tmp_path.rglob("vcdisplay/__init__.py"))
    for shipped in ("__init__.pyi", "_vcdisplay.pyi", "py.typed"):
        assert (init.parent / shipped).exists()
    libs = {str(p.parent) for p in tmp_path.rglob("libvcdisplay.so*")}
    env = {**os.environ, "PYTHONPATH": str(init.parent.parent), "LD_LIBRARY_PATH": ":".join(libs)}
    code = "import vcdisplay as vc; print(vc.render(vc.vcUISketch(), size=(3, 2)).shape, vc.__file__)"
    out = subprocess.run([sys.executable, "-c", code], check=True, env=env, capture_output=True, text=True).stdout
    assert out.startswith("(2, 3, 4) " + str(tmp_path))
